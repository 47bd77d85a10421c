#include "win/user32/controls/Controls.h"
namespace twuser::controls {
LRESULT CALLBACK ListBoxProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
LRESULT CALLBACK ComboBoxProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
LRESULT CALLBACK ComboLBoxProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
LRESULT CALLBACK ScrollBarProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
LRESULT CALLBACK UpDownProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
}
extern "C" BOOL WINAPI GetComboBoxInfo(HWND, PCOMBOBOXINFO) { return FALSE; }
