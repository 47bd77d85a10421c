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

/* ---- the platform's own primitives the packs draw with ---- */

static void dfc(const char *name, UINT state) {
    RECT r = {0, 0, 17, 17};
    begin(17, 17);
    DrawFrameControl(dc, &r, DFC_SCROLL, state);
    end(name);
}

static void edge(const char *name, UINT kind, UINT flags) {
    RECT r = {0, 0, 14, 10};
    begin(14, 10);
    DrawEdge(dc, &r, kind, flags);
    /* what BF_ADJUST leaves inside */
    if (flags & BF_ADJUST) fill(r.left, r.top, r.right, r.bottom, 0x0000FF);
    end(name);
}

/* The quadrants red, green, blue, white of a 12 x 12 picture, turned as RotateBitmapPlg does: corners
 * from float cosine and sine, rounded half to even. */
static void plg(const char *name, double degrees) {
    const float t = (float)(degrees * 3.14159265358979323846 / 180), c = cosf(t), s = sinf(t);
    const double w = 12, h = 12, x0 = (w - w * c + h * s) / 2, y0 = (h - w * s - h * c) / 2;
    POINT p[3];
    HDC src;
    HBITMAP sbmp;
    BITMAPINFO bi;
    void *bits;
    begin(12, 12);
    ZeroMemory(&bi, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 12;
    bi.bmiHeader.biHeight = -12;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    src = CreateCompatibleDC(NULL);
    sbmp = CreateDIBSection(src, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    SelectObject(src, sbmp);
    /* the picture is turned over itself, from a copy */
    {
        HDC keep = dc;
        int k;
        for (k = 0; k < 2; ++k) {
            dc = k ? src : keep;
            fill(0, 0, 6, 6, 0x0000FF);
            fill(6, 0, 12, 6, 0x00FF00);
            fill(0, 6, 6, 12, 0xFF0000);
            fill(6, 6, 12, 12, 0xFFFFFF);
        }
        dc = keep;
    }
    p[0].x = (LONG)rint(x0); p[0].y = (LONG)rint(y0);
    p[1].x = (LONG)rint(x0 + w * c); p[1].y = (LONG)rint(y0 + w * s);
    p[2].x = (LONG)rint(x0 - h * s); p[2].y = (LONG)rint(y0 + h * c);
    PlgBlt(dc, p, src, 0, 0, 12, 12, NULL, 0, 0);
    DeleteDC(src);
    DeleteObject(sbmp);
    end(name);
}

/* The system colours of the platform stand-in, so that frames and glyphs read alike on both sides. */
static void colours(void) {
    static const INT which[] = {COLOR_WINDOW, COLOR_WINDOWFRAME, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNSHADOW,
                                COLOR_GRAYTEXT, COLOR_BTNTEXT, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT};
    static const COLORREF values[] = {RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0), RGB(240, 240, 240),
                                      RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0), RGB(255, 255, 255),
                                      RGB(105, 105, 105), RGB(227, 227, 227)};
    SetSysColors((int)(sizeof which / sizeof which[0]), which, values);
}

int main(void) {
    RECT r;
    colours();
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

    dfc("dfc_combo", DFCS_SCROLLCOMBOBOX);
    dfc("dfc_combo_flat", DFCS_SCROLLCOMBOBOX | DFCS_FLAT);
    dfc("dfc_combo_inactive", DFCS_SCROLLCOMBOBOX | DFCS_INACTIVE);
    edge("edge_raised", EDGE_RAISED, BF_RECT);
    edge("edge_etched", EDGE_ETCHED, BF_RECT);
    edge("edge_sunkenouter_adjust", BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);

    /* the progress bar's rounded frame: black pen, white brush */
    begin(20, 14);
    {
        HPEN pen = CreatePen(PS_SOLID, 1, 0);
        HBRUSH br = CreateSolidBrush(0xFFFFFF);
        HGDIOBJ op = SelectObject(dc, pen), ob = SelectObject(dc, br);
        RoundRect(dc, 1, 1, 19, 13, 6, 6);
        SelectObject(dc, op);
        SelectObject(dc, ob);
        DeleteObject(pen);
        DeleteObject(br);
    }
    end("roundrect6");

    begin(16, 10);
    {
        RECT f = {1, 1, 15, 9};
        DrawFocusRect(dc, &f);
    }
    end("focusrect");

    /* the flat hint's arrow in the top-right corner, its point at (12, 3), in red */
    begin(16, 12);
    {
        static const int o[18][2] = {{0, 0}, {0, 6}, {-1, 6}, {-1, 0}, {-6, 0}, {-6, 1}, {-2, 1}, {-2, 4}, {-5, 7},
                                     {-6, 7}, {-3, 4}, {-3, 3}, {-6, 6}, {-7, 6}, {-3, 2}, {-4, 2}, {-7, 5}, {-7, 6}};
        POINT p[18];
        int i;
        HPEN pen = CreatePen(PS_SOLID, 1, 0x0000FF);
        HGDIOBJ op = SelectObject(dc, pen);
        for (i = 0; i < 18; ++i) {
            p[i].x = 12 + o[i][0];
            p[i].y = 3 + o[i][1];
        }
        Polyline(dc, p, 18);
        SelectObject(dc, op);
        DeleteObject(pen);
    }
    end("hint_arrow");

    plg("plg45", 45);
    plg("plg90", 90);
    return 0;
}
