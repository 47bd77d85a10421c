/* Draws every control of cases.h with the real platform and writes one table per case into the
 * current folder: "<name>.txt", a line "W H", then H rows of W pixels as 8-digit hex DIB words. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#define T(s) L##s
#include "cases.h"

static LRESULT CALLBACK HostProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }

static void Settle(void) {
    MSG msg;
    int i;
    for (i = 0; i < 10; ++i) {
        while (PeekMessageW(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
}

int main(void) {
    WNDCLASSW wc;
    HWND host;
    int i, x, y;
    LoadLibraryW(L"comctl32.dll"); /* registers the up-down class */
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = HostProc;
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"LooksHost";
    RegisterClassW(&wc);
    host = CreateWindowExW(0, L"LooksHost", L"", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, 0, 0, 0, 0);
    LooksColors();
    SetForegroundWindow(host);
    Settle();
    for (i = 0; i < LOOKS_CASE_COUNT; ++i) {
        const LooksCase* lc = &kLooksCases[i];
        DWORD* px = (DWORD*)malloc(sizeof(DWORD) * (size_t)(lc->w * lc->h));
        char path[128];
        FILE* f;
        LooksDraw(lc, host, Settle, px);
        snprintf(path, sizeof path, "%s.txt", lc->name);
        f = fopen(path, "w");
        if (!f) return 1;
        fprintf(f, "%d %d\n", lc->w, lc->h);
        for (y = 0; y < lc->h; ++y)
            for (x = 0; x < lc->w; ++x)
                fprintf(f, "%08lx%c", (unsigned long)px[y * lc->w + x], x + 1 < lc->w ? ' ' : '\n');
        fclose(f);
        free(px);
    }
    printf("probe: %d cases\n", LOOKS_CASE_COUNT);
    return 0;
}
