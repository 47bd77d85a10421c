// Registers the module under its Windows library name when it is loaded.
#include "win/kernel32/modules.h"
#include "win/uxtheme/uxtheme.h"

namespace {
const bool registered = [] {
    TwRegisterModule(u"uxtheme.dll", reinterpret_cast<const void*>(&OpenThemeData));
    // Older systems give the DPI-aware open only by this number.
    TwSetExportOrdinal(TwFindModule(u"uxtheme.dll"), 129, "OpenThemeDataForDpi");
    return true;
}();
} // namespace
