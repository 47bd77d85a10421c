// Registers the module under its Windows library name when it is loaded.
#include "win/comctl32/commctrl.h"
#include "win/kernel32/modules.h"

namespace {
const bool registered = [] {
    TwRegisterModule(u"comctl32.dll", reinterpret_cast<const void*>(&ImageList_Create));
    return true;
}();
} // namespace
