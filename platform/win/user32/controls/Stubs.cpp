#include "win/user32/controls/Controls.h"
namespace twuser::controls {
LRESULT CALLBACK ScrollBarProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
LRESULT CALLBACK UpDownProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
}
