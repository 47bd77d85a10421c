/* The classic looks of the standard controls, written once in the C that also compiles as C++: the probe
 * (probe.c, built with mingw-w64 and run under Wine by scripts/make-controls-looks-oracle.sh) and
 * ControlsLooksTest.cpp create the same control in the same state, let it paint and copy its window's
 * pixels into a 32-bit DIB. The up-down class is the common controls' (the probe loads their library).
 * The controls have no text, so that the fonts of the two platforms do not
 * enter the picture. The includer provides T("...") for a UTF-16 literal. */

#include <string.h>

typedef struct LooksCase {
    const char* name;
    const WCHAR* cls;
    DWORD style, exStyle;
    int w, h;
    int check;   /* BM_SETCHECK, or -1 */
    int pushed;  /* BM_SETSTATE TRUE; on an up-down control, its upper (1) or lower (2) half held down */
    int focus;   /* SetFocus */
    int disabled;
} LooksCase;

static const LooksCase kLooksCases[] = {
    {"push", T("Button"), BS_PUSHBUTTON, 0, 40, 20, -1, 0, 0, 0},
    {"push_pressed", T("Button"), BS_PUSHBUTTON, 0, 40, 20, -1, 1, 0, 0},
    {"push_default", T("Button"), BS_DEFPUSHBUTTON, 0, 40, 20, -1, 0, 0, 0},
    {"push_focused", T("Button"), BS_PUSHBUTTON, 0, 40, 20, -1, 0, 1, 0},
    {"push_disabled", T("Button"), BS_PUSHBUTTON, 0, 40, 20, -1, 0, 0, 1},
    {"check", T("Button"), BS_CHECKBOX, 0, 20, 16, 0, 0, 0, 0},
    {"check_checked", T("Button"), BS_CHECKBOX, 0, 20, 16, 1, 0, 0, 0},
    {"check_pressed", T("Button"), BS_CHECKBOX, 0, 20, 16, 0, 1, 0, 0},
    {"check_disabled", T("Button"), BS_CHECKBOX, 0, 20, 16, 1, 0, 0, 1},
    {"check_indeterminate", T("Button"), BS_3STATE, 0, 20, 16, 2, 0, 0, 0},
    {"radio", T("Button"), BS_RADIOBUTTON, 0, 20, 16, 0, 0, 0, 0},
    {"radio_checked", T("Button"), BS_RADIOBUTTON, 0, 20, 16, 1, 0, 0, 0},
    {"radio_disabled", T("Button"), BS_RADIOBUTTON, 0, 20, 16, 1, 0, 0, 1},
    {"group", T("Button"), BS_GROUPBOX, 0, 40, 30, -1, 0, 0, 0},
    {"edit_clientedge", T("Edit"), ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 40, 20, -1, 0, 0, 0},
    {"edit_border", T("Edit"), ES_AUTOHSCROLL | WS_BORDER, 0, 40, 20, -1, 0, 0, 0},
    {"edit_disabled", T("Edit"), ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 40, 20, -1, 0, 0, 1},
    {"updown_up_pressed", T("msctls_updown32"), 0, 0, 16, 22, -1, 1, 0, 0},
    {"updown_down_pressed", T("msctls_updown32"), 0, 0, 16, 22, -1, 2, 0, 0},
    {"updown_disabled", T("msctls_updown32"), 0, 0, 16, 22, -1, 0, 0, 1},
};
#define LOOKS_CASE_COUNT ((int)(sizeof kLooksCases / sizeof kLooksCases[0]))

/* A 32-bit top-down DIB section of w x h, its pixels in *bits. */
static HBITMAP LooksDib(int w, int h, DWORD** bits) {
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(0, &bi, DIB_RGB_COLORS, (void**)bits, 0, 0);
}

/* The colours the controls draw with, set alike on both platforms (the real one's defaults differ). */
static void LooksColors(void) {
    static const INT which[] = {COLOR_WINDOW, COLOR_WINDOWFRAME, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNSHADOW,
                                COLOR_GRAYTEXT, COLOR_BTNTEXT, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT};
    static const COLORREF values[] = {RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0), RGB(240, 240, 240),
                                      RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0), RGB(255, 255, 255),
                                      RGB(105, 105, 105), RGB(227, 227, 227)};
    SetSysColors((int)(sizeof which / sizeof which[0]), which, values);
}

static int LooksIsUpDown(const LooksCase* lc) {
    static const char name[] = "msctls_updown32";
    int i;
    for (i = 0; name[i]; ++i)
        if (lc->cls[i] != (WCHAR)name[i]) return 0;
    return lc->cls[i] == 0;
}

/* Makes one case's control in `host` (shown and active) and copies its window's pixels, frame included,
 * from the screen into `out` (w x h, 0x00RRGGBB). `settle` lets the control paint. */
static void LooksDraw(const LooksCase* lc, HWND host, void (*settle)(void), DWORD* out) {
    DWORD* bits = 0;
    HWND c;
    HDC dc, win;
    HBITMAP bm, old;
    int i;
    c = CreateWindowExW(lc->exStyle, lc->cls, T(""), WS_CHILD | WS_VISIBLE | lc->style, 10, 10, lc->w, lc->h, host,
                        (HMENU)(INT_PTR)1, GetModuleHandleW(0), 0);
    /* Keyboard cues shown, as after the first key press. */
    SendMessageW(host, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    if (lc->check >= 0) SendMessageW(c, BM_SETCHECK, (WPARAM)lc->check, 0);
    if (lc->pushed && LooksIsUpDown(lc))
        SendMessageW(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(lc->w / 2, lc->pushed == 1 ? 2 : lc->h - 3));
    else if (lc->pushed)
        SendMessageW(c, BM_SETSTATE, TRUE, 0);
    if (lc->focus) SetFocus(c);
    if (lc->disabled) EnableWindow(c, FALSE);
    settle();
    bm = LooksDib(lc->w, lc->h, &bits);
    dc = CreateCompatibleDC(0);
    old = (HBITMAP)SelectObject(dc, bm);
    win = GetWindowDC(c);
    BitBlt(dc, 0, 0, lc->w, lc->h, win, 0, 0, SRCCOPY);
    ReleaseDC(c, win);
    GdiFlush();
    for (i = 0; i < lc->w * lc->h; ++i) out[i] = bits[i] & 0xFFFFFF;
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bm);
    if (GetCapture() == c) ReleaseCapture();
    DestroyWindow(c);
    SetFocus(host);
    settle();
}
