#include "tests/support/windows/TooltipDouble.h"

#include "win/comctl32/commctrl.h"

namespace testing_support {

namespace {

LRESULT CALLBACK TooltipProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Wnd, &ps);
        RECT client;
        GetClientRect(Wnd, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_INFOBK));
        FrameRect(dc, &client, GetSysColorBrush(COLOR_INFOTEXT));
        RECT text = client;
        SendMessageW(Wnd, TTM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&text));
        WCHAR buffer[256];
        const int n = GetWindowTextW(Wnd, buffer, 256);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        DrawTextW(dc, buffer, n, &text, 0);
        EndPaint(Wnd, &ps);
        return 0;
    }
    case TTM_ADJUSTRECT: {
        auto* r = reinterpret_cast<RECT*>(LParam);
        if (!r) return 0;
        const int sign = WParam ? -1 : 1;  // TRUE: text rectangle to window rectangle
        r->left += sign * TooltipTextMargins.left;
        r->top += sign * TooltipTextMargins.top;
        r->right -= sign * TooltipTextMargins.right;
        r->bottom -= sign * TooltipTextMargins.bottom;
        return 1;
    }
    default: return DefWindowProcW(Wnd, Msg, WParam, LParam);
    }
}

} // namespace

bool RegisterTooltipDouble() {
    WNDCLASSW probe{};
    if (GetClassInfoW(nullptr, TOOLTIPS_CLASSW, &probe)) return true;
    WNDCLASSW cls{};
    cls.style = CS_SAVEBITS;
    cls.lpfnWndProc = &TooltipProc;
    cls.lpszClassName = TOOLTIPS_CLASSW;
    return RegisterClassW(&cls) != 0;
}

HWND CreateTooltipDouble(LPCWSTR Text, int X, int Y, int Width, int Height, DWORD Style) {
    if (!RegisterTooltipDouble()) return nullptr;
    return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, Text, WS_POPUP | WS_VISIBLE | Style, X, Y, Width, Height,
                           nullptr, nullptr, nullptr, nullptr);
}

} // namespace testing_support
