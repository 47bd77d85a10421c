/* tests/components/oracle/probe.c: draws the band and frame cases of the component painters with the
 * platform's own GDI (FillRect, Ellipse, MoveToEx/LineTo, MulDiv) into a memory bitmap and writes each
 * as a table of pixels: "<name>.txt" holding the width and height, then one row per line of
 * hexadecimal 0x00BBGGRR values. The band arithmetic is written out here as the painters do it. */
#include <windows.h>
#include <math.h>
#include <stdio.h>

#define NONE 0x1FFFFFFF

static HDC dc;
static HBITMAP bmp;
static int W, H;

static void begin(int w, int h) {
    BITMAPINFO bi;
    void *bits;
    HBRUSH paper;
    RECT r = {0, 0, w, h};
    ZeroMemory(&bi, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    dc = CreateCompatibleDC(NULL);
    bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    SelectObject(dc, bmp);
    paper = CreateSolidBrush(0x123456);
    FillRect(dc, &r, paper);
    DeleteObject(paper);
    W = w;
    H = h;
}

static void end(const char *name) {
    char file[64];
    FILE *f;
    int x, y;
    sprintf(file, "%s.txt", name);
    f = fopen(file, "w");
    fprintf(f, "%d %d\n", W, H);
    for (y = 0; y < H; ++y) {
        for (x = 0; x < W; ++x) fprintf(f, "%s%06lX", x ? " " : "", (unsigned long)GetPixel(dc, x, y));
        fprintf(f, "\n");
    }
    fclose(f);
    DeleteDC(dc);
    DeleteObject(bmp);
    printf("probe: %s\n", name);
}

static void fill(int l, int t, int r, int b, COLORREF c) {
    RECT rc = {l, t, r, b};
    HBRUSH br = CreateSolidBrush(c);
    FillRect(dc, &rc, br);
    DeleteObject(br);
}

static COLORREF rgb3(int r, int g, int b) { return RGB((BYTE)r, (BYTE)g, (BYTE)b); }

/* The linear bands: band i ends at MulDiv(i + 1, extent, n); its colour is from + MulDiv(i, delta, n). */
static void step(RECT R, COLORREF from, COLORREF to, int bands, int vertical) {
    int fr = GetRValue(from), fg = GetGValue(from), fb = GetBValue(from);
    int dr = GetRValue(to) - fr, dg = GetGValue(to) - fg, db = GetBValue(to) - fb;
    int extent = vertical ? R.bottom - R.top : R.right - R.left;
    int start = vertical ? R.top : R.left, stop = vertical ? R.bottom : R.right;
    int n = bands < extent ? bands : extent, i, edge = start;
    for (i = 1; i <= n; ++i) {
        int next = i == n ? stop : start + MulDiv(i + 1, extent, n);
        COLORREF c = rgb3(fr + MulDiv(i, dr, n), fg + MulDiv(i, dg, n), fb + MulDiv(i, db, n));
        if (vertical) fill(R.left, edge, R.right, next, c);
        else fill(edge, R.top, next, R.bottom, c);
        edge = next;
    }
}

static void concentric(RECT outer, COLORREF from, COLORREF to, int bands, RECT inner, int shape) {
    int fr = GetRValue(from), fg = GetGValue(from), fb = GetBValue(from);
    int dr = GetRValue(to) - fr, dg = GetGValue(to) - fg, db = GetBValue(to) - fb;
    int dx = abs((outer.right - outer.left) - (inner.right - inner.left)) / 2;
    int dy = abs((outer.bottom - outer.top) - (inner.bottom - inner.top)) / 2;
    int m = dx > dy ? dx : dy, n = m < bands ? m + 1 : bands, i;
    for (i = 1; i <= n; ++i) {
        RECT b = outer;
        COLORREF c;
        int filled = shape == 1;
        if (i == 1) c = from;
        else if (i == n) {
            b = inner;
            c = to;
            if (inner.right - inner.left == 1 || inner.bottom - inner.top == 1) filled = 1;
        } else {
            InflateRect(&b, -MulDiv(i - 1, dx, n), -MulDiv(i - 1, dy, n));
            c = rgb3(fr + MulDiv(i - 1, dr, n), fg + MulDiv(i - 1, dg, n), fb + MulDiv(i - 1, db, n));
        }
        if (filled) fill(b.left, b.top, b.right, b.bottom, c);
        else {
            HBRUSH br = CreateSolidBrush(c);
            HPEN pen = CreatePen(PS_SOLID, 1, c);
            HGDIOBJ ob = SelectObject(dc, br), op = SelectObject(dc, pen);
            Ellipse(dc, b.left, b.top, b.right, b.bottom);
            SelectObject(dc, ob);
            SelectObject(dc, op);
            DeleteObject(br);
            DeleteObject(pen);
        }
    }
}

/* The centre of a rectangle as the painters collapse it (factor -1, halves to even, truncating div). */
static RECT collapsed(RECT r) {
    int dx = (int)rint(-(double)(r.right - r.left)) / 2, dy = (int)rint(-(double)(r.bottom - r.top)) / 2;
    InflateRect(&r, dx, dy);
    return r;
}

static RECT grown(RECT inner, RECT outer) {
    int g = abs(inner.left - outer.left), v;
    if ((v = abs(inner.top - outer.top)) > g) g = v;
    if ((v = abs(inner.right - outer.right)) > g) g = v;
    if ((v = abs(inner.bottom - outer.bottom)) > g) g = v;
    InflateRect(&inner, g, g);
    return inner;
}

static void frame(RECT *r, COLORREF left, COLORREF right, COLORREF top, COLORREF bottom, int width) {
    int i;
    COLORREF sides[4];
    sides[0] = top; sides[1] = right; sides[2] = bottom; sides[3] = left;
    r->bottom -= 1;
    r->right -= 1;
    for (i = 0; i < width; ++i) {
        POINT p[4];
        int s;
        p[0].x = r->right; p[0].y = r->top;
        p[1].x = r->right; p[1].y = r->bottom;
        p[2].x = r->left; p[2].y = r->bottom;
        p[3].x = r->left; p[3].y = r->top;
        MoveToEx(dc, r->left, r->top, NULL);
        for (s = 0; s < 4; ++s) {
            if (sides[s] == NONE) MoveToEx(dc, p[s].x, p[s].y, NULL);
            else {
                HPEN pen = CreatePen(PS_SOLID, 1, sides[s]);
                HGDIOBJ old = SelectObject(dc, pen);
                LineTo(dc, p[s].x, p[s].y);
                SelectObject(dc, old);
                DeleteObject(pen);
            }
        }
        InflateRect(r, -1, -1);
    }
    r->bottom += 1;
    r->right += 1;
}

int main(void) {
    RECT r;
    begin(3, 10);
    SetRect(&r, 0, 0, 3, 10);
    step(r, 0, 0xFFFFFF, 255, 1);
    end("vgrad10");

    begin(10, 3);
    SetRect(&r, 0, 0, 10, 3);
    step(r, 0, 0xFFFFFF, 255, 0);
    end("hgrad10");

    /* balance 30, bmNormal, speed 100 over 100 rows: 77 and 178 bands around the mid colours */
    begin(4, 100);
    {
        int d = MulDiv(255, 50, 100), h1 = MulDiv(30, 100, 100);
        int s1 = (BYTE)MulDiv(255, 30, 100), s2 = (BYTE)(255 - s1);
        RECT a = {0, 0, 4, h1}, b = {0, h1, 4, 100};
        step(a, 0, rgb3(d, d, d), s1, 1);
        step(b, rgb3(255 - d, 255 - d, 255 - d), 0xFFFFFF, s2, 1);
    }
    end("vgrad_balance30");

    /* bmMirror at balance 50 over 20 rows */
    begin(4, 20);
    {
        RECT a = {0, 0, 4, 10}, b = {0, 10, 4, 20};
        step(a, 0, 0xFFFFFF, (BYTE)MulDiv(255, 50, 100), 1);
        step(b, 0xFFFFFF, 0, (BYTE)(255 - MulDiv(255, 50, 100)), 1);
    }
    end("vgrad_mirror");

    /* radial in the strip (0, 10, 21, 11) of a 21 x 21 bitmap */
    begin(21, 21);
    {
        RECT strip = {0, 10, 21, 11}, inner = collapsed(strip);
        fill(0, 10, 21, 11, 0);
        concentric(grown(inner, strip), 0, 0xFFFFFF, 255, inner, 0);
    }
    end("radial21x1");

    /* radial in a 24 x 16 rectangle: ellipses wider than tall reach past it */
    begin(24, 16);
    {
        RECT all = {0, 0, 24, 16}, inner = collapsed(all);
        fill(0, 0, 24, 16, 0x0000FF);
        concentric(grown(inner, all), 0x0000FF, 0xFF0000, 255, inner, 0);
    }
    end("radial24x16");

    begin(9, 9);
    {
        RECT all = {0, 0, 9, 9}, inner = collapsed(all);
        fill(0, 0, 9, 9, 0);
        concentric(all, 0, 0xFFFFFF, 255, inner, 1);
    }
    end("rect9");

    begin(10, 10);
    SetRect(&r, 0, 0, 10, 10);
    frame(&r, 0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF, 2);
    end("frame2");

    begin(8, 7);
    SetRect(&r, 1, 1, 8, 7);
    frame(&r, 0x0000FF, 0x00FF00, NONE, 0xFF0000, 2);
    end("frame4colors");
    return 0;
}
