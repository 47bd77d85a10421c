// components/KwThemeLib.h: the visual-styles library's entry points, looked up by name in the module
// the shared theme binding loaded, so the pack paints themed parts only where the library is there.
#pragma once
#include "win/windows.h"

namespace components::KwThemeLib {

using TOpenThemeData = HTHEME(*)(HWND, LPCWSTR);
using TCloseThemeData = HRESULT(*)(HTHEME);
using TDrawThemeBackground = HRESULT(*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
using TIsThemeActive = BOOL(*)();

struct TThemeLib {
    bool Loaded = false;
    HMODULE Module = nullptr;
    TOpenThemeData OpenThemeData = nullptr;
    TCloseThemeData CloseThemeData = nullptr;
    TDrawThemeBackground DrawThemeBackground = nullptr;
    TIsThemeActive IsThemeActive = nullptr;
    // Every entry point of the library's list, in its order; null where the library lacks one.
    FARPROC Entries[45] = {};
};

// Binds the entry points on first use. Without the library, or without one of the four entry points painting uses,
// Loaded stays false and callers paint the classic way.
const TThemeLib& ThemeLib();
// The list's names, in order.
extern const char* const EntryNames[45];

} // namespace components::KwThemeLib
