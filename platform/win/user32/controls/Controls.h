// win/user32/controls/Controls.h: the built-in window classes of user32 and what their procedures share.
// Internal to user32.
#pragma once

#include "win/user32/winctrl.h"
#include "win/user32/winuser.h"

#include <string>

namespace twuser::controls {

// One row of the built-in class table.
struct BuiltinClass {
    const char16_t* name;
    UINT style;
    WNDPROC proc;
    int wndExtra;
    int cursor;      // IDC_* number
    int background;  // COLOR_* + 1, or 0 for none
};

// Registers every built-in class that is not registered yet (at start-up, and again after a reset).
void RegisterBuiltinClasses();

LRESULT CALLBACK ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ListBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ComboBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ComboLBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ScrollBarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK UpDownProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK DialogClassProc(HWND, UINT, WPARAM, LPARAM);

// Each control keeps its state in an object whose pointer is the first extra long of the window.
template <class T> T* StateOf(HWND hwnd) { return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, 0)); }
template <class T> T* AttachState(HWND hwnd) {
    T* s = new T();
    SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(s));
    return s;
}
template <class T> void FreeState(HWND hwnd) {
    delete StateOf<T>(hwnd);
    SetWindowLongPtrW(hwnd, 0, 0);
}

// WM_COMMAND with a notification code to the parent.
void NotifyParent(HWND hwnd, WORD code);
// Asks the parent for the colours of a control (WM_CTLCOLOR*), falling back to DefWindowProcW's answer.
HBRUSH ControlColor(HWND hwnd, HDC hdc, UINT msg);
// The font a control draws with: the one WM_SETFONT gave, or the dialog font.
HFONT DefaultGuiFont();
// The text height of a font (null: the dialog font) as the window's DC measures it.
int FontHeight(HWND hwnd, HFONT font);
std::u16string TextOf(HWND hwnd);
// WM_GETTEXT answered from a string: copies at most max-1 units and a terminator.
LRESULT CopyText(const std::u16string& text, WPARAM max, LPARAM buffer);
UINT DrawItemState(HWND hwnd);  // ODS_DISABLED / ODS_NOACCEL / ODS_NOFOCUSRECT from the window's state
void PaintOrPrint(HWND hwnd, WPARAM wp, void (*paint)(HWND, HDC));  // WM_PAINT and WM_PRINTCLIENT
// Draws a part of the control in the visual style when themes are on; false: draw the classic look.
bool ThemedPart(HWND hwnd, HDC hdc, const char16_t* themeClass, int part, int state, const RECT& rect);

} // namespace twuser::controls
