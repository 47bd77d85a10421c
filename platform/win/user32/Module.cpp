// Registers the module under its Windows library name when it is loaded.
#include "win/kernel32/modules.h"
#include "win/user32/winuser.h"

namespace {
const bool registered = [] {
    TwRegisterModule(u"user32.dll", reinterpret_cast<const void*>(&FillRect));
    return true;
}();
} // namespace
