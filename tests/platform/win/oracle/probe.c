/* Draws every case of cases.h with the real platform and writes one table per case into the
 * current folder: "<name>.txt", a line "W H", then H rows of W pixels as 8-digit hex DIB words.
 * Built with mingw-w64 and run under Wine by scripts/make-gdi-oracle.sh. */
#include <windows.h>

#include <stdio.h>

#define ORACLE_T(s) L##s
#include "cases.h"

/* Lets the window system deliver a new window's first paint and its X events. */
static void oracle_settle(void) {
    MSG msg;
    int i;
    for (i = 0; i < 10; ++i) {
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
}

static int write_case(const OracleCase* oc) {
    OracleCanvas c;
    HBITMAP bm, oldBm;
    char path[256];
    FILE* f;
    int i, x, y;
    c.w = oc->w;
    c.h = oc->h;
    c.arg = oc->arg;
    bm = oracle_dib(oc->w, oc->h, &c.bits);
    if (!bm) return 0;
    for (i = 0; i < c.w * c.h; ++i) c.bits[i] = 0x00FFFFFF;
    c.dc = CreateCompatibleDC(NULL);
    oldBm = (HBITMAP)SelectObject(c.dc, bm);
    oc->draw(&c);
    GdiFlush();
    snprintf(path, sizeof path, "%s.txt", oc->name);
    f = fopen(path, "w");
    if (!f) return 0;
    fprintf(f, "%d %d\n", c.w, c.h);
    for (y = 0; y < c.h; ++y)
        for (x = 0; x < c.w; ++x)
            fprintf(f, "%08lx%c", (unsigned long)c.bits[y * c.w + x], x + 1 < c.w ? ' ' : '\n');
    fclose(f);
    SelectObject(c.dc, oldBm);
    DeleteDC(c.dc);
    DeleteObject(bm);
    return 1;
}

int main(void) {
    int i, failed = 0;
    for (i = 0; i < ORACLE_CASE_COUNT; ++i)
        if (!write_case(&kOracleCases[i])) {
            fprintf(stderr, "probe: %s failed\n", kOracleCases[i].name);
            failed = 1;
        }
    printf("probe: %d cases\n", ORACLE_CASE_COUNT);
    return failed;
}
