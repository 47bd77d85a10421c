// Registers the module under its Windows library name when it is loaded.
#include "win/kernel32/modules.h"

namespace {
void Anchor() {}
const bool registered = [] {
    TwRegisterModule(u"wmvcore.dll", reinterpret_cast<const void*>(&Anchor));
    return true;
}();
} // namespace
