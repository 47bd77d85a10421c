// styling/hooks/UxTheme.h: the theme library's open, draw, text and colour functions answered from
// the active style: every opened theme handle is recorded with its class text, background drawing
// goes to one handler per class text, text and colours follow per-class rules.
#pragma once
#include <map>

#include "rtl/System.h"
#include "win/uxtheme/uxtheme.h"
#include "win/windows.h"

namespace styling {

// Forwards with the caller's arguments: the trampoline of DrawThemeBackground or of
// DrawThemeBackgroundEx, whichever was called (Clip then carries that call's options).
using TDrawThemeBackgroundTrampoline = HRESULT (*)(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pRect,
                                                    const void* Clip);
using TFuncDrawThemeBackground = HRESULT (*)(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pRect,
                                             const void* Clip, TDrawThemeBackgroundTrampoline Trampoline,
                                             const rtl::String& ClassName, HWND hwnd);

// Whether a handler's trampoline is that of DrawThemeBackgroundEx (its clip slot holds the options).
bool IsDrawThemeBackgroundEx(TDrawThemeBackgroundTrampoline Trampoline);
// The background handlers by class text (keys without case; the whole recorded text must match).
void RegisterThemeClassHandler(const rtl::String& ClassText, TFuncDrawThemeBackground Handler);
void UnregisterThemeClassHandler(const rtl::String& ClassText);
// What is recorded for a handle: its class text (empty when none) and window.
rtl::String RecordedThemeClass(HTHEME Theme);
HWND RecordedThemeWindow(HTHEME Theme);
// The class of a handle opened before recording began, found by opening the probe classes; empty
// when none gives the same handle.
rtl::String FindThemeClassName(HTHEME Theme);

// GetThemeColor's answer from the class table for a class text, part and state: the colour to write,
// or none when the call is forwarded. Exposed as a table for tests.
struct TThemeColorAnswer {
    bool Matched = false;     // a class group matched (else forwarded untouched)
    bool Found = false;       // a row matched: Color is written, 0 returned
    COLORREF Color = 0;
};
TThemeColorAnswer ThemeClassColor(const rtl::String& ClassText, int iPartId, int iStateId);

// The open by number on systems that give it no name; null at any failure.
void* HookFunctionByOrdinal(const rtl::String& ModuleName, WORD Ordinal, void* InterceptProc, bool LoadModule,
                            uint8_t Options);

bool UxThemeDetoursInstalled();
// Which of the opens are intercepted (tests of the version gates).
bool OpenThemeDataForDpiIntercepted();
void InstallUxThemeDetours();
void RemoveUxThemeDetours();

} // namespace styling
