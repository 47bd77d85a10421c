// components/KwThemeLib.cpp
#include "components/KwThemeLib.h"

#include "grid/shared/DrawHelpers.h"

#include <cstring>

namespace components::KwThemeLib {

const char* const EntryNames[45] = {
    "OpenThemeData", "CloseThemeData", "DrawThemeBackground", "DrawThemeText",
    "GetThemeBackgroundContentRect", "GetThemeBackgroundExtent", "GetThemeTextExtent", "GetThemeTextMetrics",
    "GetThemeBackgroundRegion", "HitTestThemeBackground", "DrawThemeEdge", "DrawThemeIcon", "IsThemePartDefined",
    "IsThemeBackgroundPartiallyTransparent", "GetThemeColor", "GetThemeMetric", "GetThemeString", "GetThemeBool",
    "GetThemeInt", "GetThemeEnumValue", "GetThemePosition", "GetThemeFont", "GetThemeRect", "GetThemeMargins",
    "GetThemeIntList", "SetWindowTheme", "GetThemeFilename", "GetThemeSysColor", "GetThemeSysColorBrush",
    "GetThemeSysBool", "GetThemeSysSize", "GetThemeSysFont", "GetThemeSysString", "GetThemeSysInt",
    "IsThemeActive", "IsAppThemed", "GetWindowTheme", "EnableThemeDialogTexture", "IsThemeDialogTextureEnabled",
    "GetThemeAppProperties", "SetThemeAppProperties", "GetCurrentThemeName", "GetThemeDocumentationProperty",
    "DrawThemeParentBackground", "EnableTheming",
};

namespace {

TThemeLib Load() {
    TThemeLib lib;
    // The library is loaded once per process, by the binding the grid and the panels share; the pack
    // looks its further entry points up in that module.
    lib.Module = grid::ThemeLibrary().Module;
    if (!lib.Module) return lib;
    for (int i = 0; i < 45; ++i) lib.Entries[i] = GetProcAddress(lib.Module, EntryNames[i]);
    // A library that lacks an entry point the pack never calls still serves; one that lacks a painting
    // entry point counts as absent rather than stopping the program.
    lib.OpenThemeData = reinterpret_cast<TOpenThemeData>(reinterpret_cast<void*>(lib.Entries[0]));
    lib.CloseThemeData = reinterpret_cast<TCloseThemeData>(reinterpret_cast<void*>(lib.Entries[1]));
    lib.DrawThemeBackground = reinterpret_cast<TDrawThemeBackground>(reinterpret_cast<void*>(lib.Entries[2]));
    lib.IsThemeActive = reinterpret_cast<TIsThemeActive>(reinterpret_cast<void*>(lib.Entries[34]));
    lib.Loaded = lib.OpenThemeData && lib.CloseThemeData && lib.DrawThemeBackground && lib.IsThemeActive;
    return lib;
}

} // namespace

const TThemeLib& ThemeLib() {
    static const TThemeLib lib = Load();
    return lib;
}

} // namespace components::KwThemeLib
