// Registers the module under its Windows library name when it is loaded.
#include "win/gdi32/wingdi.h"
#include "win/kernel32/modules.h"

namespace {
const bool registered = [] {
    TwRegisterModule(u"msimg32.dll", reinterpret_cast<const void*>(&AlphaBlend));
    return true;
}();
} // namespace
