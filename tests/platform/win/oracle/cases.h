/* Drawing cases shared by the reference probe (C, built for the real platform) and OracleTest.cpp
 * (C++, built against our stand-in), so both sides draw exactly the same calls.
 *
 * Every case draws into a 32 bpp top-down DIB section filled with white (alpha 0). Backgrounds and
 * source images are written as raw pixels, not drawn, so one broken primitive cannot spoil the
 * others' inputs. Pixel values below are the DIB's 0x00RRGGBB words. Include windows.h first. */

#include <stdint.h>
#include <string.h>

typedef struct OracleCanvas {
    HDC dc;
    uint32_t* bits;
    int w, h;
    int arg;
} OracleCanvas;

typedef void (*OracleDraw)(const OracleCanvas* c);

typedef struct OracleCase {
    const char* name;
    int w, h;
    OracleDraw draw;
    int arg;
    int alpha; /* the alpha byte is part of the result */
} OracleCase;

/* Four background colours, one per quadrant, and four source colours with varied bits. */
static const uint32_t kOracleDst[4] = {0x00FFFFFF, 0x00C08040, 0x00000000, 0x003399CC};
static const uint32_t kOracleSrc[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00A5A55A};

static void oracle_quadrants(const OracleCanvas* c) {
    int x, y;
    GdiFlush();
    for (y = 0; y < c->h; ++y)
        for (x = 0; x < c->w; ++x) c->bits[y * c->w + x] = kOracleDst[(y >= c->h / 2) * 2 + (x >= c->w / 2)];
}

/* A 32 bpp top-down DIB section of w x h; its pixels are returned through bits. */
static HBITMAP oracle_dib(int w, int h, uint32_t** bits) {
    BITMAPINFO bmi;
    void* p = NULL;
    HBITMAP bm;
    memset(&bmi, 0, sizeof bmi);
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bm = CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &p, NULL, 0);
    *bits = (uint32_t*)p;
    return bm;
}

/* 8x8 colour source: 2x2 blocks of the four source colours along diagonals. */
static HBITMAP oracle_colour_source(void) {
    uint32_t* bits;
    HBITMAP bm = oracle_dib(8, 8, &bits);
    int x, y;
    for (y = 0; y < 8; ++y)
        for (x = 0; x < 8; ++x) bits[y * 8 + x] = kOracleSrc[(x / 2 + y / 2) % 4];
    return bm;
}

/* 8x8 monochrome source, rows padded to 16 bits as device bitmaps require. */
static const BYTE kOracleMonoRows[8] = {0xF0, 0xCC, 0xAA, 0x0F, 0x33, 0x55, 0xFF, 0x00};

static HBITMAP oracle_mono_source(void) {
    BYTE rows[16];
    int y;
    for (y = 0; y < 8; ++y) {
        rows[y * 2] = kOracleMonoRows[y];
        rows[y * 2 + 1] = 0;
    }
    return CreateBitmap(8, 8, 1, 1, rows);
}

static void oracle_select_delete(HDC dc, HGDIOBJ obj) {
    DeleteObject(SelectObject(dc, obj));
}

/* ---- user32 rectangles ---- */

static void case_fillrect(const OracleCanvas* c) {
    RECT r = {2, 3, 13, 11}, empty = {10, 10, 5, 5}, thin = {14, 0, 15, 16};
    HBRUSH b = CreateSolidBrush(RGB(0x20, 0x40, 0x80));
    FillRect(c->dc, &r, b);
    FillRect(c->dc, &empty, b);
    FillRect(c->dc, &thin, b);
    DeleteObject(b);
}

static void case_framerect(const OracleCanvas* c) {
    RECT r = {1, 1, 12, 9}, narrow = {13, 1, 14, 12}, flat = {2, 12, 10, 13};
    HBRUSH b = CreateSolidBrush(RGB(0xC0, 0, 0));
    FrameRect(c->dc, &r, b);
    FrameRect(c->dc, &narrow, b);
    FrameRect(c->dc, &flat, b);
    DeleteObject(b);
}

static void case_invertrect(const OracleCanvas* c) {
    RECT r = {3, 2, 12, 14};
    oracle_quadrants(c);
    InvertRect(c->dc, &r);
}

/* arg: how many times the focus rectangle is drawn; odd and even sizes. */
static void case_drawfocusrect(const OracleCanvas* c) {
    RECT a = {1, 1, 15, 11}, b = {2, 12, 11, 15}, d = {12, 12, 13, 16};
    int i;
    oracle_quadrants(c);
    for (i = 0; i < c->arg; ++i) {
        DrawFocusRect(c->dc, &a);
        DrawFocusRect(c->dc, &b);
        DrawFocusRect(c->dc, &d);
    }
}

/* ---- lines ---- */

static const int kOracleLines[][4] = {
    /* the eight directions from the centre */
    {8, 8, 15, 8},
    {8, 8, 15, 1},
    {8, 8, 8, 1},
    {8, 8, 1, 1},
    {8, 8, 1, 8},
    {8, 8, 1, 15},
    {8, 8, 8, 15},
    {8, 8, 15, 15},
    /* slopes of 1/2 and 2, where the ideal line passes exactly between two pixels */
    {2, 4, 14, 10},
    {14, 10, 2, 4},
    {2, 10, 14, 4},
    {14, 4, 2, 10},
    {4, 2, 10, 14},
    {10, 14, 4, 2},
    {10, 2, 4, 14},
    {4, 14, 10, 2},
    /* shallow and steep slopes */
    {1, 3, 15, 8},
    {15, 8, 1, 3},
    {3, 1, 7, 15},
    {7, 15, 3, 1},
};

static void case_line(const OracleCanvas* c) {
    const int* l = kOracleLines[c->arg];
    MoveToEx(c->dc, l[0], l[1], NULL);
    LineTo(c->dc, l[2], l[3]);
}

static void case_polyline(const OracleCanvas* c) {
    static const POINT pts[] = {{1, 1}, {14, 1}, {14, 14}, {3, 9}, {9, 4}};
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0x80, 0));
    HGDIOBJ old = SelectObject(c->dc, pen);
    Polyline(c->dc, pts, 5);
    oracle_select_delete(c->dc, old);
}

static void case_wide_line(const OracleCanvas* c) {
    HPEN pen = CreatePen(PS_SOLID, 3 + 2 * (c->arg & 1), RGB(0, 0, 0xC0));
    HGDIOBJ old = SelectObject(c->dc, pen);
    if (c->arg < 2) {
        MoveToEx(c->dc, 3, 4, NULL);
        LineTo(c->dc, 12, 4);
        LineTo(c->dc, 12, 12);
    } else {
        MoveToEx(c->dc, 3, 3, NULL);
        LineTo(c->dc, 12, 10);
    }
    oracle_select_delete(c->dc, old);
}

/* ---- rectangles, ellipses, arcs ---- */

/* arg: 0 one-pixel pen, 1 three-pixel solid pen, 2 three-pixel inside-frame pen, 3 null pen,
 * 4 null brush, 5 four-pixel inside-frame pen */
static void case_rectangle(const OracleCanvas* c) {
    static const int styles[] = {PS_SOLID, PS_SOLID, PS_INSIDEFRAME, PS_NULL, PS_SOLID, PS_INSIDEFRAME};
    static const int widths[] = {1, 3, 3, 1, 1, 4};
    HPEN pen = CreatePen(styles[c->arg], widths[c->arg], RGB(0xC0, 0, 0));
    HBRUSH brush = c->arg == 4 ? (HBRUSH)GetStockObject(NULL_BRUSH) : CreateSolidBrush(RGB(0x80, 0x80, 0x80));
    HGDIOBJ oldPen = SelectObject(c->dc, pen), oldBrush = SelectObject(c->dc, brush);
    Rectangle(c->dc, 3, 3, 13, 11);
    /* a rectangle narrower than an inside-frame pen has no defined drawing */
    if (styles[c->arg] != PS_INSIDEFRAME) Rectangle(c->dc, 2, 13, 5, 15);
    oracle_select_delete(c->dc, oldPen);
    oracle_select_delete(c->dc, oldBrush);
}

static const int kOracleEllipses[][4] = {
    {1, 1, 4, 4}, {1, 1, 6, 6}, {1, 1, 9, 5}, {1, 1, 11, 11}, {2, 2, 22, 16}, {3, 1, 8, 22}, {1, 1, 2, 8},
    /* wide ones, as gradients draw them */
    {0, 4, 24, 20}, {1, 1, 31, 9}, {1, 3, 23, 9},
    /* circles, as the rings of a radial gradient over 24 x 16 */
    {1, 1, 17, 17}, {1, 1, 15, 15}, {1, 1, 7, 7},
    /* tall and narrow: no tip pixel */
    {1, 1, 4, 9},
};

static void case_ellipse(const OracleCanvas* c) {
    const int* e = kOracleEllipses[c->arg];
    HBRUSH brush = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
    HGDIOBJ old = SelectObject(c->dc, brush);
    Ellipse(c->dc, e[0], e[1], e[2], e[3]);
    oracle_select_delete(c->dc, old);
}

static const int kOracleRoundRects[][6] = {
    {1, 1, 15, 12, 4, 4}, {1, 1, 12, 14, 6, 10}, {1, 1, 10, 10, 20, 20},
    {2, 2, 22, 20, 7, 5}, {1, 1, 8, 8, 2, 2},
};

static void case_roundrect(const OracleCanvas* c) {
    const int* r = kOracleRoundRects[c->arg];
    HBRUSH brush = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
    HGDIOBJ old = SelectObject(c->dc, brush);
    RoundRect(c->dc, r[0], r[1], r[2], r[3], r[4], r[5]);
    oracle_select_delete(c->dc, old);
}

/* arg: quadrant (0 upper right ... 3 lower right, counter-clockwise) + 4 * shape (arc, pie, chord)
 * + 16 for a clockwise arc direction. */
static void case_arc(const OracleCanvas* c) {
    static const POINT radial[5] = {{22, 12}, {12, 2}, {2, 12}, {12, 22}, {22, 12}};
    const int q = c->arg & 3, shape = (c->arg >> 2) & 3;
    const POINT a = radial[q], b = radial[q + 1];
    HBRUSH brush = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
    HGDIOBJ old = SelectObject(c->dc, brush);
    if (c->arg & 16) SetArcDirection(c->dc, AD_CLOCKWISE);
    if (shape == 0)
        Arc(c->dc, 2, 2, 22, 22, a.x, a.y, b.x, b.y);
    else if (shape == 1)
        Pie(c->dc, 2, 2, 22, 22, a.x, a.y, b.x, b.y);
    else
        Chord(c->dc, 2, 2, 22, 22, a.x, a.y, b.x, b.y);
    oracle_select_delete(c->dc, old);
}

/* Radials off the axes, on a box whose sides are uneven. */
static void case_arc_oblique(const OracleCanvas* c) {
    HBRUSH brush = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
    HGDIOBJ old = SelectObject(c->dc, brush);
    if (c->arg == 0) Arc(c->dc, 1, 3, 23, 19, 20, 0, 0, 20);
    if (c->arg == 1) Pie(c->dc, 1, 3, 23, 19, 0, 0, 24, 10);
    if (c->arg == 2) Chord(c->dc, 1, 3, 23, 19, 3, 23, 23, 0);
    oracle_select_delete(c->dc, old);
}

/* arg: bit 0 winding, bit 1 null pen */
static void case_star(const OracleCanvas* c) {
    static const POINT star[] = {{12, 1}, {18, 21}, {2, 9}, {22, 9}, {6, 21}};
    HBRUSH brush = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
    HGDIOBJ oldBrush = SelectObject(c->dc, brush);
    if (c->arg & 2) SelectObject(c->dc, GetStockObject(NULL_PEN));
    SetPolyFillMode(c->dc, (c->arg & 1) ? WINDING : ALTERNATE);
    Polygon(c->dc, star, 5);
    oracle_select_delete(c->dc, oldBrush);
}

/* ---- styled pens ---- */

/* arg: PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, or PS_ALTERNATE (through ExtCreatePen). */
static void case_pen_style(const OracleCanvas* c) {
    static const POINT corner[] = {{2, 14}, {20, 14}, {20, 22}, {5, 22}};
    HPEN pen;
    HGDIOBJ old;
    if (c->arg == PS_ALTERNATE) {
        LOGBRUSH lb;
        lb.lbStyle = BS_SOLID;
        lb.lbColor = RGB(0, 0, 0);
        lb.lbHatch = 0;
        pen = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, NULL);
    } else {
        pen = CreatePen(c->arg, 1, RGB(0, 0, 0));
    }
    old = SelectObject(c->dc, pen);
    SetBkMode(c->dc, TRANSPARENT);
    MoveToEx(c->dc, 0, 0, NULL);
    LineTo(c->dc, 40, 0);
    SetBkMode(c->dc, OPAQUE);
    SetBkColor(c->dc, RGB(0xFF, 0, 0));
    MoveToEx(c->dc, 0, 2, NULL);
    LineTo(c->dc, 40, 2);
    /* a vertical and a diagonal line, then two segments drawn by separate calls */
    SetBkMode(c->dc, TRANSPARENT);
    MoveToEx(c->dc, 39, 4, NULL);
    LineTo(c->dc, 39, 24);
    MoveToEx(c->dc, 24, 4, NULL);
    LineTo(c->dc, 36, 24);
    MoveToEx(c->dc, 0, 5, NULL);
    LineTo(c->dc, 7, 5);
    LineTo(c->dc, 7, 12);
    LineTo(c->dc, 22, 12);
    Polyline(c->dc, corner, 4);
    oracle_select_delete(c->dc, old);
}

static void case_dotted_rectangle(const OracleCanvas* c) {
    HPEN pen = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(c->dc, pen), oldBrush = SelectObject(c->dc, GetStockObject(NULL_BRUSH));
    SetBkMode(c->dc, TRANSPARENT);
    Rectangle(c->dc, 1, 1, 15, 12);
    oracle_select_delete(c->dc, oldPen);
    SelectObject(c->dc, oldBrush);
}

/* ---- brushes ---- */

/* arg: hatch style + 8 for a brush origin of (3, 5) + 16 for a transparent background. */
static void case_hatch(const OracleCanvas* c) {
    RECT r = {1, 1, 15, 15};
    HBRUSH brush = CreateHatchBrush(c->arg & 7, RGB(0, 0, 0xA0));
    if (c->arg & 16) oracle_quadrants(c);
    SetBkColor(c->dc, RGB(0xFF, 0xFF, 0));
    SetBkMode(c->dc, (c->arg & 16) ? TRANSPARENT : OPAQUE);
    if (c->arg & 8) SetBrushOrgEx(c->dc, 3, 5, NULL);
    FillRect(c->dc, &r, brush);
    DeleteObject(brush);
}

/* arg: bit 0 brush origin (3, 5), bit 1 monochrome pattern (drawn in the text and background colours) */
static void case_pattern_brush(const OracleCanvas* c) {
    RECT r = {1, 1, 19, 19};
    HBITMAP bm;
    HBRUSH brush;
    if (c->arg & 2) {
        bm = oracle_mono_source();
    } else {
        uint32_t* bits;
        int x, y;
        bm = oracle_dib(8, 8, &bits);
        for (y = 0; y < 8; ++y)
            for (x = 0; x < 8; ++x)
                bits[y * 8 + x] =
                    x == 0 || y == 1 ? kOracleSrc[(x + y) % 4] : 0x00FFFFFFu - (uint32_t)y * 0x00100800u;
    }
    brush = CreatePatternBrush(bm);
    SetTextColor(c->dc, RGB(0xC0, 0, 0));
    SetBkColor(c->dc, RGB(0, 0, 0xC0));
    if (c->arg & 1) SetBrushOrgEx(c->dc, 3, 5, NULL);
    FillRect(c->dc, &r, brush);
    DeleteObject(brush);
    DeleteObject(bm);
}

/* ---- raster operations ---- */

/* arg: the binary raster operation, for a line and a filled rectangle over two colours. */
static void case_rop2(const OracleCanvas* c) {
    int x, y;
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x5A, 0xC3, 0x3C));
    HBRUSH brush = CreateSolidBrush(RGB(0x0F, 0x99, 0xE1));
    HGDIOBJ oldPen = SelectObject(c->dc, pen), oldBrush = SelectObject(c->dc, brush);
    GdiFlush();
    for (y = 0; y < c->h; ++y)
        for (x = 0; x < c->w; ++x) c->bits[y * c->w + x] = x < c->w / 2 ? 0x00C08040 : 0x003399CC;
    SetROP2(c->dc, c->arg);
    MoveToEx(c->dc, 0, 1, NULL);
    LineTo(c->dc, c->w, 1);
    SelectObject(c->dc, GetStockObject(NULL_PEN));
    Rectangle(c->dc, 1, 3, 11, 6);
    SelectObject(c->dc, oldPen);
    DeleteObject(pen);
    oracle_select_delete(c->dc, oldBrush);
}

static const DWORD kOracleRops[] = {SRCCOPY,   SRCPAINT, SRCAND,    SRCINVERT, NOTSRCCOPY,
                                    MERGECOPY, PATCOPY,  PATINVERT, DSTINVERT, 0x00E20746};

/* arg: index into kOracleRops + 16 for the monochrome source (drawn in the text and background
 * colours) + 32 for a hatched brush. The 8x8 source lands across the four background quadrants. */
static void case_bitblt(const OracleCanvas* c) {
    HDC src = CreateCompatibleDC(c->dc);
    HBITMAP bm = (c->arg & 16) ? oracle_mono_source() : oracle_colour_source();
    HGDIOBJ oldBm = SelectObject(src, bm);
    HBRUSH brush = (c->arg & 32) ? CreateHatchBrush(HS_DIAGCROSS, RGB(0x55, 0xAA, 0x0F))
                                 : CreateSolidBrush(RGB(0x55, 0xAA, 0x0F));
    HGDIOBJ oldBrush = SelectObject(c->dc, brush);
    oracle_quadrants(c);
    SetTextColor(c->dc, RGB(0xC8, 0x10, 0x00));
    SetBkColor(c->dc, RGB(0x00, 0x20, 0xC8));
    BitBlt(c->dc, 4, 4, 8, 8, src, 0, 0, kOracleRops[c->arg & 15]);
    /* a part of the source, offset inside it */
    BitBlt(c->dc, 0, 13, 5, 3, src, 3, 2, kOracleRops[c->arg & 15]);
    oracle_select_delete(c->dc, oldBrush);
    SelectObject(src, oldBm);
    DeleteObject(bm);
    DeleteDC(src);
}

/* Colour to monochrome: pixels in the source's background colour become 1, the rest 0; then the
 * monochrome image is shown in black and white. */
static void case_mono_from_colour(const OracleCanvas* c) {
    HDC src = CreateCompatibleDC(c->dc), mono = CreateCompatibleDC(c->dc);
    HBITMAP colour = oracle_colour_source(), bits1 = CreateBitmap(8, 8, 1, 1, NULL);
    HGDIOBJ oldSrc = SelectObject(src, colour), oldMono = SelectObject(mono, bits1);
    SetBkColor(src, RGB(0, 0xFF, 0));
    BitBlt(mono, 0, 0, 8, 8, src, 0, 0, SRCCOPY);
    SetTextColor(c->dc, RGB(0, 0, 0));
    SetBkColor(c->dc, RGB(0xFF, 0xFF, 0xFF));
    BitBlt(c->dc, 0, 0, 8, 8, mono, 0, 0, SRCCOPY);
    /* and in colour, through the destination's text and background colours */
    SetTextColor(c->dc, RGB(0x10, 0x20, 0x30));
    SetBkColor(c->dc, RGB(0xE0, 0xD0, 0xC0));
    BitBlt(c->dc, 8, 8, 8, 8, mono, 0, 0, SRCCOPY);
    SelectObject(src, oldSrc);
    SelectObject(mono, oldMono);
    DeleteObject(colour);
    DeleteObject(bits1);
    DeleteDC(src);
    DeleteDC(mono);
}

/* ---- clipping ---- */

static void case_clip(const OracleCanvas* c) {
    RECT all = {0, 0, 16, 16};
    HBRUSH brush = CreateSolidBrush(RGB(0x20, 0x40, 0x80));
    HGDIOBJ old = SelectObject(c->dc, brush);
    IntersectClipRect(c->dc, 2, 2, 14, 14);
    ExcludeClipRect(c->dc, 5, 5, 9, 9);
    ExcludeClipRect(c->dc, 10, 0, 11, 16);
    FillRect(c->dc, &all, brush);
    MoveToEx(c->dc, 0, 8, NULL);
    LineTo(c->dc, 16, 8);
    PatBlt(c->dc, 0, 0, 16, 4, DSTINVERT);
    oracle_select_delete(c->dc, old);
}

static void case_clip_savedc(const OracleCanvas* c) {
    RECT all = {0, 0, 16, 16}, top = {0, 0, 16, 4}, bottom = {0, 14, 16, 16};
    HBRUSH b1 = CreateSolidBrush(RGB(0xC0, 0, 0)), b2 = CreateSolidBrush(RGB(0, 0xC0, 0)),
           b3 = CreateSolidBrush(RGB(0, 0, 0xC0)), b4 = CreateSolidBrush(RGB(0x40, 0x40, 0x40));
    SaveDC(c->dc);
    IntersectClipRect(c->dc, 1, 1, 15, 15);
    SaveDC(c->dc);
    ExcludeClipRect(c->dc, 4, 0, 8, 16);
    SaveDC(c->dc);
    IntersectClipRect(c->dc, 0, 6, 16, 10);
    FillRect(c->dc, &all, b1);
    RestoreDC(c->dc, -1);
    FillRect(c->dc, &top, b2);
    RestoreDC(c->dc, -1);
    FillRect(c->dc, &bottom, b4);
    RestoreDC(c->dc, 1);
    FillRect(c->dc, &bottom, b3);
    DeleteObject(b1);
    DeleteObject(b2);
    DeleteObject(b3);
    DeleteObject(b4);
}

/* The clip region a DC gets from SelectClipRgn (device coordinates) and then narrows with
 * ExcludeClipRect (logical coordinates): a two-part region with a hole, the same under a viewport
 * origin, and the whole surface once the region is dropped. */
static void case_clip_select_exclude(const OracleCanvas* c) {
    RECT all = {-4, -4, 20, 20};
    HRGN rgn = CreateRectRgn(1, 1, 10, 9), part = CreateRectRgn(6, 5, 15, 10);
    HBRUSH b1 = CreateSolidBrush(RGB(0xC0, 0, 0)), b2 = CreateSolidBrush(RGB(0, 0xA0, 0)),
           b3 = CreateSolidBrush(RGB(0, 0, 0xC0));
    CombineRgn(rgn, rgn, part, RGN_OR);
    SelectClipRgn(c->dc, rgn);
    ExcludeClipRect(c->dc, 4, 3, 8, 7);
    FillRect(c->dc, &all, b1);
    /* the DC keeps a copy: the region can be set anew */
    SetRectRgn(rgn, 0, 11, 16, 16);
    SetViewportOrgEx(c->dc, 2, 1, NULL);
    SelectClipRgn(c->dc, rgn);
    ExcludeClipRect(c->dc, 4, 11, 8, 13);
    FillRect(c->dc, &all, b2);
    SelectClipRgn(c->dc, NULL);
    ExcludeClipRect(c->dc, 0, 0, 13, 15);
    FillRect(c->dc, &all, b3);
    SetViewportOrgEx(c->dc, 0, 0, NULL);
    DeleteObject(rgn);
    DeleteObject(part);
    DeleteObject(b1);
    DeleteObject(b2);
    DeleteObject(b3);
}

/* ---- windows ----
 * A borderless or bordered pop-up of the case's size, whose class paints nothing, so that what the
 * case draws through its DCs stays as drawn; the window's pixels are then copied into the canvas
 * through its window DC. The includer defines ORACLE_T("...") for a UTF-16 literal and
 * oracle_settle(), which lets a new window finish its first paint. */

static void oracle_settle(void);

static LRESULT CALLBACK oracle_window_proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_ERASEBKGND) return 1;
    return DefWindowProcW(h, m, w, l);
}

static HWND oracle_window(int w, int h, DWORD style) {
    static ATOM atom;
    HWND wnd;
    if (!atom) {
        WNDCLASSW wc;
        memset(&wc, 0, sizeof wc);
        wc.lpfnWndProc = oracle_window_proc;
        wc.lpszClassName = ORACLE_T("OracleWindow");
        atom = RegisterClassW(&wc);
    }
    wnd = CreateWindowExW(0, ORACLE_T("OracleWindow"), ORACLE_T(""), WS_POPUP | style, 40, 40, w, h, NULL, NULL,
                          GetModuleHandleW(NULL), NULL);
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    UpdateWindow(wnd);
    oracle_settle();
    return wnd;
}

/* Copies the window's pixels, frame included, into the canvas at (0, y). */
static void oracle_window_pixels(const OracleCanvas* c, HWND wnd, int y) {
    RECT wr;
    HDC dc = GetWindowDC(wnd);
    GetWindowRect(wnd, &wr);
    BitBlt(c->dc, 0, y, wr.right - wr.left, wr.bottom - wr.top, dc, 0, 0, SRCCOPY);
    ReleaseDC(wnd, dc);
}

/* Every pixel of the window's client area a colour of its own: red from x, green from y. */
static void oracle_window_grid(HWND wnd, int w, int h) {
    uint32_t* bits;
    HBITMAP bm = oracle_dib(w, h, &bits);
    HDC src = CreateCompatibleDC(NULL), dc = GetDC(wnd);
    HGDIOBJ old = SelectObject(src, bm);
    int x, y;
    for (y = 0; y < h; ++y)
        for (x = 0; x < w; ++x) bits[y * w + x] = (uint32_t)(x * 9) << 16 | (uint32_t)(y * 9) << 8 | 0x60;
    BitBlt(dc, 0, 0, w, h, src, 0, 0, SRCCOPY);
    ReleaseDC(wnd, dc);
    SelectObject(src, old);
    DeleteObject(bm);
    DeleteDC(src);
}

/* The update region a scroll left: the window's own (GetUpdateRgn) painted magenta over its pixels in
 * the upper half; in the lower half, the region the call returned in blue and the rectangle it
 * returned inverted over it (yellow where both are, black in the rectangle only). */
static void oracle_scroll_result(const OracleCanvas* c, HWND wnd, HRGN returned, const RECT* returnedRect) {
    const int half = c->h / 2;
    HRGN pending = CreateRectRgn(0, 0, 0, 0);
    HBRUSH magenta = CreateSolidBrush(RGB(0xFF, 0, 0xFF)), blue = CreateSolidBrush(RGB(0, 0, 0xFF));
    RECT r = *returnedRect;
    oracle_window_pixels(c, wnd, 0);
    GetUpdateRgn(wnd, pending, FALSE);
    FillRgn(c->dc, pending, magenta);
    OffsetRgn(returned, 0, half);
    FillRgn(c->dc, returned, blue);
    OffsetRect(&r, 0, half);
    InvertRect(c->dc, &r);
    DeleteObject(magenta);
    DeleteObject(blue);
    DeleteObject(pending);
}

/* ScrollWindowEx with a clip rectangle and SW_INVALIDATE, on a window of w x h/2. arg 0: the scrolled
 * and the clip rectangle are one (as a grid scrolls its body sideways), 1: they overlap in part and
 * the move is diagonal, 2: the clip lies wholly inside the scrolled rectangle. */
static void case_scroll_clip(const OracleCanvas* c) {
    static const RECT scroll[3] = {{3, 4, 22, 14}, {2, 2, 18, 12}, {1, 1, 23, 15}};
    static const RECT clip[3] = {{3, 4, 22, 14}, {5, 0, 24, 10}, {6, 3, 16, 12}};
    static const POINT move[3] = {{-5, 0}, {3, -2}, {4, 3}};
    const int h = c->h / 2;
    HWND wnd = oracle_window(c->w, h, 0);
    HRGN returned = CreateRectRgn(0, 0, 0, 0);
    RECT rect = {0, 0, 0, 0};
    oracle_window_grid(wnd, c->w, h);
    ScrollWindowEx(wnd, move[c->arg].x, move[c->arg].y, &scroll[c->arg], &clip[c->arg], returned, &rect,
                   SW_INVALIDATE);
    oracle_scroll_result(c, wnd, returned, &rect);
    DeleteObject(returned);
    DestroyWindow(wnd);
}

/* A focus frame drawn before a sideways scroll (inside the scrolled rectangle, as a grid's current
 * cell) and drawn again where the scroll took it, which must give back the pixels under it. arg: the
 * distance moved (an even one and an odd one). */
static void case_focusrect_scroll(const OracleCanvas* c) {
    const RECT area = {2, 2, 22, 14};
    RECT frame = {6, 4, 17, 11};
    const int h = c->h / 2;
    HWND wnd = oracle_window(c->w, h, 0);
    HRGN returned = CreateRectRgn(0, 0, 0, 0);
    RECT rect = {0, 0, 0, 0};
    HDC dc;
    oracle_window_grid(wnd, c->w, h);
    dc = GetDC(wnd);
    DrawFocusRect(dc, &frame);
    ReleaseDC(wnd, dc);
    ScrollWindowEx(wnd, c->arg, 0, &area, &area, returned, &rect, SW_INVALIDATE);
    OffsetRect(&frame, c->arg, 0);
    dc = GetDC(wnd);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    DrawFocusRect(dc, &frame);
    ReleaseDC(wnd, dc);
    oracle_scroll_result(c, wnd, returned, &rect);
    DeleteObject(returned);
    DestroyWindow(wnd);
}

/* Frames on a bordered window: the window DC starts at the window's corner, over the border, the
 * client DC inside it; an edge painted through the window DC with its inside excluded (as a control
 * paints its own flat or themed border). */
static void case_frame_window_dc(const OracleCanvas* c) {
    const RECT whole = {0, 0, c->w, c->h};
    RECT client, r;
    HWND wnd = oracle_window(c->w, c->h, WS_BORDER);
    HBRUSH grey = CreateSolidBrush(RGB(0x80, 0x80, 0x80)), red = CreateSolidBrush(RGB(0xC0, 0, 0)),
           blue = CreateSolidBrush(RGB(0, 0, 0xC0)), green = CreateSolidBrush(RGB(0, 0xA0, 0));
    HDC dc = GetWindowDC(wnd);
    FillRect(dc, &whole, grey);
    FrameRect(dc, &whole, red);
    ExcludeClipRect(dc, 6, 6, c->w - 6, c->h - 6);
    SetRect(&r, 5, 5, c->w - 5, c->h - 5);
    FillRect(dc, &r, green);
    ReleaseDC(wnd, dc);
    dc = GetDC(wnd);
    GetClientRect(wnd, &client);
    InflateRect(&client, -2, -2);
    FrameRect(dc, &client, blue);
    ReleaseDC(wnd, dc);
    oracle_window_pixels(c, wnd, 0);
    DestroyWindow(wnd);
    DeleteObject(grey);
    DeleteObject(red);
    DeleteObject(blue);
    DeleteObject(green);
}

/* ---- gradients and blending ---- */

/* arg: 0 horizontal, 1 vertical, 2 a narrow horizontal one with all channels moving */
static void case_gradient(const OracleCanvas* c) {
    TRIVERTEX v[2];
    GRADIENT_RECT g;
    memset(v, 0, sizeof v);
    g.UpperLeft = 0;
    g.LowerRight = 1;
    if (c->arg == 0) {
        v[0].x = 1, v[0].y = 1, v[0].Red = 0xFF00;
        v[1].x = 23, v[1].y = 4, v[1].Blue = 0xFF00, v[1].Green = 0x4000;
    } else if (c->arg == 1) {
        v[0].x = 1, v[0].y = 2, v[0].Green = 0x8000, v[0].Alpha = 0x1000;
        v[1].x = 4, v[1].y = 23, v[1].Red = 0xFF00, v[1].Blue = 0x3000, v[1].Alpha = 0xFF00;
    } else {
        v[0].x = 2, v[0].y = 0, v[0].Red = 0x1234, v[0].Green = 0xFFFF, v[0].Blue = 0x8080;
        v[1].x = 9, v[1].y = 3, v[1].Red = 0xFEDC, v[1].Green = 0x0000, v[1].Blue = 0x7F7F;
    }
    GradientFill(c->dc, v, 2, &g, 1, c->arg == 1 ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

/* arg: the constant alpha + 0x100 for per-pixel alpha from a premultiplied source. */
static void case_alphablend(const OracleCanvas* c) {
    static const BYTE alphas[8] = {0x00, 0x20, 0x40, 0x7F, 0x80, 0xC0, 0xFE, 0xFF};
    HDC src = CreateCompatibleDC(c->dc);
    uint32_t* bits;
    HBITMAP bm = oracle_dib(8, 8, &bits);
    HGDIOBJ old = SelectObject(src, bm);
    BLENDFUNCTION bf;
    int x, y;
    for (y = 0; y < 8; ++y)
        for (x = 0; x < 8; ++x) {
            const uint32_t s = kOracleSrc[(x / 2 + y / 2) % 4];
            if (c->arg & 0x100) {
                const uint32_t a = alphas[x];
                const uint32_t r = ((s >> 16) & 0xFF) * a / 255, g = ((s >> 8) & 0xFF) * a / 255,
                               b = (s & 0xFF) * a / 255;
                bits[y * 8 + x] = a << 24 | r << 16 | g << 8 | b;
            } else {
                bits[y * 8 + x] = s;
            }
        }
    oracle_quadrants(c);
    bf.BlendOp = AC_SRC_OVER;
    bf.BlendFlags = 0;
    bf.SourceConstantAlpha = (BYTE)(c->arg & 0xFF);
    bf.AlphaFormat = (c->arg & 0x100) ? AC_SRC_ALPHA : 0;
    AlphaBlend(c->dc, 4, 4, 8, 8, src, 0, 0, 8, 8, bf);
    SelectObject(src, old);
    DeleteObject(bm);
    DeleteDC(src);
}

/* Frame-control glyphs, which the real platform draws from the "Marlett" face: DFC_MENU glyphs are
 * black on white; the caption buttons draw their face and the glyph in the button-text colour. The
 * styling compares its own Marlett glyphs with these tables. arg: type << 16 | state. */
static void case_frame_control(const OracleCanvas* c) {
    RECT r;
    r.left = 2;
    r.top = 2;
    r.right = c->w - 2;
    r.bottom = c->h - 2;
    DrawFrameControl(c->dc, &r, (UINT)(c->arg >> 16), (UINT)(c->arg & 0xFFFF));
}

/* A control's edge around a rectangle inset by 2 on light grey: arg is the edge kind in the low word and
 * the border flags in the high word. */
static void case_draw_edge(const OracleCanvas* c) {
    RECT r;
    int i;
    GdiFlush();
    for (i = 0; i < c->w * c->h; ++i) c->bits[i] = 0x00C0C0C0;
    r.left = 2;
    r.top = 2;
    r.right = c->w - 2;
    r.bottom = c->h - 2;
    DrawEdge(c->dc, &r, (UINT)(c->arg & 0xFFFF), (UINT)(c->arg >> 16));
}

/* A caption bar over the whole canvas, no text (the window's text and the caption font differ between
 * implementations): arg holds the DC_ flags. The gradient is asked for by the flag alone. */
static void case_draw_caption(const OracleCanvas* c) {
    RECT r;
    r.left = 0;
    r.top = 0;
    r.right = c->w;
    r.bottom = c->h;
    DrawCaption(GetDesktopWindow(), c->dc, &r, (UINT)c->arg);
}

/* The system colours themselves, one pixel each (0x00RRGGBB) for indices 0..30, so a comparison can
 * give our stand-in the same colours before it draws with them. */
static void case_sys_colours(const OracleCanvas* c) {
    int i;
    GdiFlush();
    for (i = 0; i < c->w; ++i) {
        const COLORREF v = GetSysColor(i);
        c->bits[i] = (uint32_t)GetRValue(v) << 16 | (uint32_t)GetGValue(v) << 8 | GetBValue(v);
    }
}

/* A toolbar's chevron button of w x h on green: its 8 x 8 pattern (a byte per row, leftmost pixel in
 * the high bit) as a monochrome bitmap blitted with DSPDxax through a system-colour brush, text black
 * and background white. arg 0: plain, in COLOR_BTNTEXT; 1: hot, raised inner edge; 2: pushed, sunken
 * outer edge and the glyph one pixel down and right; 3: disabled, COLOR_BTNHIGHLIGHT one pixel lower,
 * then COLOR_BTNSHADOW in place; 4: the vertical pattern, at the right. */
static void case_chevron(const OracleCanvas* c) {
    static const BYTE pattern[2][8] = {{0xCC, 0x66, 0x33, 0x66, 0xCC, 0x00, 0x00, 0x00},
                                       {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20}};
    const int vertical = c->arg == 4;
    RECT r = {0, 0, 0, 0};
    WORD rows[8];
    int i, gx, gy;
    HDC src = CreateCompatibleDC(c->dc);
    HBITMAP bm;
    HGDIOBJ oldBm, oldBrush;
    r.right = c->w;
    r.bottom = c->h;
    GdiFlush();
    for (i = 0; i < c->w * c->h; ++i) c->bits[i] = 0x00008000;
    if (c->arg == 1) DrawEdge(c->dc, &r, BDR_RAISEDINNER, BF_RECT);
    if (c->arg == 2) DrawEdge(c->dc, &r, BDR_SUNKENOUTER, BF_RECT);
    gx = vertical ? r.right - 9 : r.left + 2;
    gy = vertical ? r.top + 2 : 4;
    if (c->arg == 2) {
        ++gx;
        ++gy;
    }
    for (i = 0; i < 8; ++i) rows[i] = pattern[vertical][i]; /* rows are word-aligned */
    bm = CreateBitmap(8, 8, 1, 1, rows);
    oldBm = SelectObject(src, bm);
    SetTextColor(c->dc, RGB(0, 0, 0));
    SetBkColor(c->dc, RGB(0xFF, 0xFF, 0xFF));
    if (c->arg == 3) {
        oldBrush = SelectObject(c->dc, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
        BitBlt(c->dc, gx, gy + 1, vertical ? 5 : 8, vertical ? 8 : 5, src, 0, 0, 0x00E20746);
        SelectObject(c->dc, GetSysColorBrush(COLOR_BTNSHADOW));
    } else
        oldBrush = SelectObject(c->dc, GetSysColorBrush(COLOR_BTNTEXT));
    BitBlt(c->dc, gx, gy, vertical ? 5 : 8, vertical ? 8 : 5, src, 0, 0, 0x00E20746);
    SelectObject(c->dc, oldBrush);
    SelectObject(src, oldBm);
    DeleteObject(bm);
    DeleteDC(src);
}

/* One character of the "Marlett" face as the styled menus draw it: a font as tall as the rectangle
 * (weight 400, quality 4), black, transparent, DrawTextW single line into the square at (2, 2) of
 * that height. The styling asks for the default character set, which takes the face by its name; the
 * reference asks for the symbol set (2), the only one for which Wine gives this face and no other.
 * arg: height << 8 | character. */
static void case_marlett(const OracleCanvas* c) {
    LOGFONTW lf;
    HFONT font, old;
    RECT r;
    WCHAR ch = (WCHAR)(c->arg & 0xFF);
    memset(&lf, 0, sizeof lf);
    lf.lfHeight = c->arg >> 8;
    lf.lfWeight = 400;
    lf.lfCharSet = 2;
    lf.lfQuality = 4;
    memcpy(lf.lfFaceName, L"Marlett", sizeof L"Marlett");
    font = CreateFontIndirectW(&lf);
    if (!font) return;
    old = (HFONT)SelectObject(c->dc, font);
    SetTextColor(c->dc, RGB(0, 0, 0));
    SetBkMode(c->dc, TRANSPARENT);
    r.left = 2;
    r.top = 2;
    r.right = 2 + (c->arg >> 8);
    r.bottom = 2 + (c->arg >> 8);
    DrawTextW(c->dc, &ch, 1, &r, DT_SINGLELINE);
    SelectObject(c->dc, old);
    DeleteObject(font);
}

#define ORACLE_N(name, w, h, fn, arg)                                                                        \
    { name, w, h, fn, arg, 0 }
#define ORACLE_A(name, w, h, fn, arg)                                                                        \
    { name, w, h, fn, arg, 1 }

/* The scroll arrow of a tall popup menu: a triangle filled and outlined in one colour, centred in its
 * strip a pixel above the middle, half-width d. arg: d << 1 | up. */
static void case_menu_scroll_arrow(const OracleCanvas* c) {
    const int d = c->arg >> 1, cx = c->w / 2, cy = c->h / 2 - 1;
    POINT tri[3];
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ oldBrush = SelectObject(c->dc, brush), oldPen = SelectObject(c->dc, pen);
    if (c->arg & 1) {
        tri[0].x = cx - d; tri[0].y = cy + d;
        tri[1].x = cx + d; tri[1].y = cy + d;
        tri[2].x = cx; tri[2].y = cy;
    } else {
        tri[0].x = cx - d; tri[0].y = cy;
        tri[1].x = cx + d; tri[1].y = cy;
        tri[2].x = cx; tri[2].y = cy + d;
    }
    Polygon(c->dc, tri, 3);
    oracle_select_delete(c->dc, oldPen);
    oracle_select_delete(c->dc, oldBrush);
}

/* The docked bar's 8x8 close glyph on button face: a monochrome cross blitted with DSPDxax under black text
 * and a white background, so that its set bits take the brush (the button text colour) and the rest
 * leave the destination; arg 1 offsets it by a pixel, as a pushed button does. */
static void case_close_glyph(const OracleCanvas* c) {
    static const WORD pattern[8] = {0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00, 0x00};
    HBITMAP glyph = CreateBitmap(8, 8, 1, 1, pattern);
    HDC mem = CreateCompatibleDC(c->dc);
    HGDIOBJ oldBm = SelectObject(mem, glyph);
    HGDIOBJ oldBrush = SelectObject(c->dc, CreateSolidBrush(GetSysColor(COLOR_BTNTEXT)));
    int i;
    GdiFlush();
    for (i = 0; i < c->w * c->h; ++i) c->bits[i] = 0x00C0C0C0;
    SetTextColor(c->dc, RGB(0, 0, 0));
    SetBkColor(c->dc, RGB(255, 255, 255));
    BitBlt(c->dc, 2 + c->arg, 2 + c->arg, 8, 8, mem, 0, 0, 0x00E20746);
    oracle_select_delete(c->dc, oldBrush);
    SelectObject(mem, oldBm);
    DeleteObject(glyph);
    DeleteDC(mem);
}

static const OracleCase kOracleCases[] = {
    ORACLE_N("fillrect", 16, 16, case_fillrect, 0),
    ORACLE_N("framerect", 16, 16, case_framerect, 0),
    ORACLE_N("invertrect", 16, 16, case_invertrect, 0),
    ORACLE_N("drawfocusrect_once", 16, 16, case_drawfocusrect, 1),
    ORACLE_N("drawfocusrect_twice", 16, 16, case_drawfocusrect, 2),

    ORACLE_N("line_e", 16, 16, case_line, 0),
    ORACLE_N("line_ne", 16, 16, case_line, 1),
    ORACLE_N("line_n", 16, 16, case_line, 2),
    ORACLE_N("line_nw", 16, 16, case_line, 3),
    ORACLE_N("line_w", 16, 16, case_line, 4),
    ORACLE_N("line_sw", 16, 16, case_line, 5),
    ORACLE_N("line_s", 16, 16, case_line, 6),
    ORACLE_N("line_se", 16, 16, case_line, 7),
    ORACLE_N("line_half_down_right", 16, 16, case_line, 8),
    ORACLE_N("line_half_up_left", 16, 16, case_line, 9),
    ORACLE_N("line_half_up_right", 16, 16, case_line, 10),
    ORACLE_N("line_half_down_left", 16, 16, case_line, 11),
    ORACLE_N("line_two_down_right", 16, 16, case_line, 12),
    ORACLE_N("line_two_up_left", 16, 16, case_line, 13),
    ORACLE_N("line_two_down_left", 16, 16, case_line, 14),
    ORACLE_N("line_two_up_right", 16, 16, case_line, 15),
    ORACLE_N("line_shallow_forward", 16, 16, case_line, 16),
    ORACLE_N("line_shallow_backward", 16, 16, case_line, 17),
    ORACLE_N("line_steep_forward", 16, 16, case_line, 18),
    ORACLE_N("line_steep_backward", 16, 16, case_line, 19),
    ORACLE_N("polyline", 16, 16, case_polyline, 0),
    ORACLE_N("wide_line_3", 16, 16, case_wide_line, 0),
    ORACLE_N("wide_line_5", 16, 16, case_wide_line, 1),
    ORACLE_N("wide_line_3_diagonal", 16, 16, case_wide_line, 2),

    ORACLE_N("rectangle_pen1", 16, 16, case_rectangle, 0),
    ORACLE_N("rectangle_pen3", 16, 16, case_rectangle, 1),
    ORACLE_N("rectangle_insideframe3", 16, 16, case_rectangle, 2),
    ORACLE_N("rectangle_nullpen", 16, 16, case_rectangle, 3),
    ORACLE_N("rectangle_nullbrush", 16, 16, case_rectangle, 4),
    ORACLE_N("rectangle_insideframe4", 16, 16, case_rectangle, 5),
    ORACLE_N("ellipse_3x3", 24, 24, case_ellipse, 0),
    ORACLE_N("ellipse_5x5", 24, 24, case_ellipse, 1),
    ORACLE_N("ellipse_8x4", 24, 24, case_ellipse, 2),
    ORACLE_N("ellipse_10x10", 24, 24, case_ellipse, 3),
    ORACLE_N("ellipse_20x14", 24, 24, case_ellipse, 4),
    ORACLE_N("ellipse_5x21", 24, 24, case_ellipse, 5),
    ORACLE_N("ellipse_1x7", 24, 24, case_ellipse, 6),
    ORACLE_N("ellipse_24x16", 24, 24, case_ellipse, 7),
    ORACLE_N("ellipse_30x8", 32, 12, case_ellipse, 8),
    ORACLE_N("ellipse_22x6", 24, 12, case_ellipse, 9),
    ORACLE_N("ellipse_16x16", 18, 18, case_ellipse, 10),
    ORACLE_N("ellipse_14x14", 18, 18, case_ellipse, 11),
    ORACLE_N("ellipse_6x6", 18, 18, case_ellipse, 12),
    ORACLE_N("ellipse_3x8", 8, 12, case_ellipse, 13),
    ORACLE_N("roundrect_4", 24, 24, case_roundrect, 0),
    ORACLE_N("roundrect_6x10", 24, 24, case_roundrect, 1),
    ORACLE_N("roundrect_oversized", 24, 24, case_roundrect, 2),
    ORACLE_N("roundrect_7x5", 24, 24, case_roundrect, 3),
    ORACLE_N("roundrect_2", 24, 24, case_roundrect, 4),
    ORACLE_N("arc_q1", 24, 24, case_arc, 0),
    ORACLE_N("arc_q2", 24, 24, case_arc, 1),
    ORACLE_N("arc_q3", 24, 24, case_arc, 2),
    ORACLE_N("arc_q4", 24, 24, case_arc, 3),
    ORACLE_N("pie_q1", 24, 24, case_arc, 4),
    ORACLE_N("pie_q2", 24, 24, case_arc, 5),
    ORACLE_N("pie_q3", 24, 24, case_arc, 6),
    ORACLE_N("pie_q4", 24, 24, case_arc, 7),
    ORACLE_N("chord_q1", 24, 24, case_arc, 8),
    ORACLE_N("chord_q2", 24, 24, case_arc, 9),
    ORACLE_N("chord_q3", 24, 24, case_arc, 10),
    ORACLE_N("chord_q4", 24, 24, case_arc, 11),
    ORACLE_N("arc_q1_clockwise", 24, 24, case_arc, 16),
    ORACLE_N("pie_q1_clockwise", 24, 24, case_arc, 20),
    ORACLE_N("arc_oblique", 24, 24, case_arc_oblique, 0),
    ORACLE_N("pie_oblique", 24, 24, case_arc_oblique, 1),
    ORACLE_N("chord_oblique", 24, 24, case_arc_oblique, 2),
    ORACLE_N("star_alternate", 24, 24, case_star, 0),
    ORACLE_N("star_winding", 24, 24, case_star, 1),
    ORACLE_N("star_alternate_nullpen", 24, 24, case_star, 2),
    ORACLE_N("star_winding_nullpen", 24, 24, case_star, 3),

    ORACLE_N("pen_dash", 40, 24, case_pen_style, PS_DASH),
    ORACLE_N("pen_dot", 40, 24, case_pen_style, PS_DOT),
    ORACLE_N("pen_dashdot", 40, 24, case_pen_style, PS_DASHDOT),
    ORACLE_N("pen_dashdotdot", 40, 24, case_pen_style, PS_DASHDOTDOT),
    ORACLE_N("pen_alternate", 40, 24, case_pen_style, PS_ALTERNATE),
    ORACLE_N("pen_dot_rectangle", 16, 16, case_dotted_rectangle, 0),

    ORACLE_N("hatch_horizontal", 16, 16, case_hatch, HS_HORIZONTAL),
    ORACLE_N("hatch_vertical", 16, 16, case_hatch, HS_VERTICAL),
    ORACLE_N("hatch_fdiagonal", 16, 16, case_hatch, HS_FDIAGONAL),
    ORACLE_N("hatch_bdiagonal", 16, 16, case_hatch, HS_BDIAGONAL),
    ORACLE_N("hatch_cross", 16, 16, case_hatch, HS_CROSS),
    ORACLE_N("hatch_diagcross", 16, 16, case_hatch, HS_DIAGCROSS),
    ORACLE_N("hatch_horizontal_org", 16, 16, case_hatch, 8 + HS_HORIZONTAL),
    ORACLE_N("hatch_vertical_org", 16, 16, case_hatch, 8 + HS_VERTICAL),
    ORACLE_N("hatch_fdiagonal_org", 16, 16, case_hatch, 8 + HS_FDIAGONAL),
    ORACLE_N("hatch_bdiagonal_org", 16, 16, case_hatch, 8 + HS_BDIAGONAL),
    ORACLE_N("hatch_cross_org", 16, 16, case_hatch, 8 + HS_CROSS),
    ORACLE_N("hatch_diagcross_org", 16, 16, case_hatch, 8 + HS_DIAGCROSS),
    ORACLE_N("hatch_diagcross_transparent", 16, 16, case_hatch, 16 + HS_DIAGCROSS),
    ORACLE_N("pattern_colour", 20, 20, case_pattern_brush, 0),
    ORACLE_N("pattern_colour_org", 20, 20, case_pattern_brush, 1),
    ORACLE_N("pattern_mono", 20, 20, case_pattern_brush, 2),
    ORACLE_N("pattern_mono_org", 20, 20, case_pattern_brush, 3),

    ORACLE_N("rop2_black", 12, 6, case_rop2, R2_BLACK),
    ORACLE_N("rop2_notmergepen", 12, 6, case_rop2, R2_NOTMERGEPEN),
    ORACLE_N("rop2_masknotpen", 12, 6, case_rop2, R2_MASKNOTPEN),
    ORACLE_N("rop2_notcopypen", 12, 6, case_rop2, R2_NOTCOPYPEN),
    ORACLE_N("rop2_maskpennot", 12, 6, case_rop2, R2_MASKPENNOT),
    ORACLE_N("rop2_not", 12, 6, case_rop2, R2_NOT),
    ORACLE_N("rop2_xorpen", 12, 6, case_rop2, R2_XORPEN),
    ORACLE_N("rop2_notmaskpen", 12, 6, case_rop2, R2_NOTMASKPEN),
    ORACLE_N("rop2_maskpen", 12, 6, case_rop2, R2_MASKPEN),
    ORACLE_N("rop2_notxorpen", 12, 6, case_rop2, R2_NOTXORPEN),
    ORACLE_N("rop2_nop", 12, 6, case_rop2, R2_NOP),
    ORACLE_N("rop2_mergenotpen", 12, 6, case_rop2, R2_MERGENOTPEN),
    ORACLE_N("rop2_copypen", 12, 6, case_rop2, R2_COPYPEN),
    ORACLE_N("rop2_mergepennot", 12, 6, case_rop2, R2_MERGEPENNOT),
    ORACLE_N("rop2_mergepen", 12, 6, case_rop2, R2_MERGEPEN),
    ORACLE_N("rop2_white", 12, 6, case_rop2, R2_WHITE),

    ORACLE_N("blt_srccopy", 16, 16, case_bitblt, 0),
    ORACLE_N("blt_srcpaint", 16, 16, case_bitblt, 1),
    ORACLE_N("blt_srcand", 16, 16, case_bitblt, 2),
    ORACLE_N("blt_srcinvert", 16, 16, case_bitblt, 3),
    ORACLE_N("blt_notsrccopy", 16, 16, case_bitblt, 4),
    ORACLE_N("blt_mergecopy", 16, 16, case_bitblt, 5),
    ORACLE_N("blt_patcopy", 16, 16, case_bitblt, 6),
    ORACLE_N("blt_patinvert", 16, 16, case_bitblt, 7),
    ORACLE_N("blt_dstinvert", 16, 16, case_bitblt, 8),
    ORACLE_N("blt_e20746", 16, 16, case_bitblt, 9),
    ORACLE_N("blt_mono_srccopy", 16, 16, case_bitblt, 16 + 0),
    ORACLE_N("blt_mono_srcpaint", 16, 16, case_bitblt, 16 + 1),
    ORACLE_N("blt_mono_srcand", 16, 16, case_bitblt, 16 + 2),
    ORACLE_N("blt_mono_srcinvert", 16, 16, case_bitblt, 16 + 3),
    ORACLE_N("blt_mono_notsrccopy", 16, 16, case_bitblt, 16 + 4),
    ORACLE_N("blt_mono_mergecopy", 16, 16, case_bitblt, 16 + 5),
    ORACLE_N("blt_mono_patcopy", 16, 16, case_bitblt, 16 + 6),
    ORACLE_N("blt_mono_patinvert", 16, 16, case_bitblt, 16 + 7),
    ORACLE_N("blt_mono_dstinvert", 16, 16, case_bitblt, 16 + 8),
    ORACLE_N("blt_mono_e20746", 16, 16, case_bitblt, 16 + 9),
    ORACLE_N("blt_hatch_patcopy", 16, 16, case_bitblt, 32 + 6),
    ORACLE_N("blt_hatch_patinvert", 16, 16, case_bitblt, 32 + 7),
    ORACLE_N("blt_hatch_mergecopy", 16, 16, case_bitblt, 32 + 5),
    ORACLE_N("blt_mono_hatch_e20746", 16, 16, case_bitblt, 32 + 16 + 9),
    ORACLE_N("mono_from_colour", 16, 16, case_mono_from_colour, 0),

    ORACLE_N("clip_intersect_exclude", 16, 16, case_clip, 0),
    ORACLE_N("clip_savedc_nesting", 16, 16, case_clip_savedc, 0),
    ORACLE_N("clip_select_exclude", 16, 16, case_clip_select_exclude, 0),

    ORACLE_N("scroll_clip_same", 24, 32, case_scroll_clip, 0),
    ORACLE_N("scroll_clip_overlapping", 24, 32, case_scroll_clip, 1),
    ORACLE_N("scroll_clip_inside", 24, 32, case_scroll_clip, 2),
    ORACLE_N("focusrect_scroll_even", 24, 32, case_focusrect_scroll, -4),
    ORACLE_N("focusrect_scroll_odd", 24, 32, case_focusrect_scroll, -3),
    ORACLE_N("frame_window_dc", 24, 18, case_frame_window_dc, 0),

    ORACLE_A("gradient_h", 24, 6, case_gradient, 0),
    ORACLE_A("gradient_v", 6, 24, case_gradient, 1),
    ORACLE_A("gradient_h_narrow", 12, 4, case_gradient, 2),
    ORACLE_A("alphablend_const_80", 16, 16, case_alphablend, 0x80),
    ORACLE_A("alphablend_const_40", 16, 16, case_alphablend, 0x40),
    ORACLE_A("alphablend_const_c0", 16, 16, case_alphablend, 0xC0),
    ORACLE_A("alphablend_const_ff", 16, 16, case_alphablend, 0xFF),
    ORACLE_A("alphablend_pixel", 16, 16, case_alphablend, 0x1FF),
    ORACLE_A("alphablend_pixel_const_80", 16, 16, case_alphablend, 0x180),

    ORACLE_N("frame_menu_check", 20, 20, case_frame_control, DFC_MENU << 16 | DFCS_MENUCHECK),
    ORACLE_N("frame_menu_bullet", 20, 20, case_frame_control, DFC_MENU << 16 | DFCS_MENUBULLET),
    ORACLE_N("frame_menu_arrow", 20, 20, case_frame_control, DFC_MENU << 16 | DFCS_MENUARROW),
    ORACLE_N("frame_caption_close", 20, 18, case_frame_control, DFC_CAPTION << 16 | DFCS_CAPTIONCLOSE),
    ORACLE_N("frame_caption_min", 20, 18, case_frame_control, DFC_CAPTION << 16 | DFCS_CAPTIONMIN),
    ORACLE_N("frame_caption_max", 20, 18, case_frame_control, DFC_CAPTION << 16 | DFCS_CAPTIONMAX),
    ORACLE_N("frame_caption_restore", 20, 18, case_frame_control, DFC_CAPTION << 16 | DFCS_CAPTIONRESTORE),
    ORACLE_N("frame_caption_help", 20, 18, case_frame_control, DFC_CAPTION << 16 | DFCS_CAPTIONHELP),

    ORACLE_N("marlett_check_16", 20, 20, case_marlett, 16 << 8 | 'a'),
    ORACLE_N("marlett_bullet_16", 20, 20, case_marlett, 16 << 8 | 'h'),
    ORACLE_N("marlett_arrow_16", 20, 20, case_marlett, 16 << 8 | '8'),
    ORACLE_N("marlett_close_14", 18, 18, case_marlett, 14 << 8 | 'r'),
    ORACLE_N("marlett_min_14", 18, 18, case_marlett, 14 << 8 | '0'),
    ORACLE_N("marlett_max_14", 18, 18, case_marlett, 14 << 8 | '1'),
    ORACLE_N("marlett_restore_14", 18, 18, case_marlett, 14 << 8 | '2'),
    ORACLE_N("marlett_close_10", 14, 14, case_marlett, 10 << 8 | 'r'),
    ORACLE_N("marlett_min_10", 14, 14, case_marlett, 10 << 8 | '0'),
    ORACLE_N("marlett_max_10", 14, 14, case_marlett, 10 << 8 | '1'),
    ORACLE_N("marlett_restore_10", 14, 14, case_marlett, 10 << 8 | '2'),

    ORACLE_N("sys_colours", 31, 1, case_sys_colours, 0),
    ORACLE_N("chevron", 12, 16, case_chevron, 0),
    ORACLE_N("chevron_hot", 12, 16, case_chevron, 1),
    ORACLE_N("chevron_pushed", 12, 16, case_chevron, 2),
    ORACLE_N("chevron_disabled", 12, 16, case_chevron, 3),
    ORACLE_N("chevron_vertical", 16, 12, case_chevron, 4),
    ORACLE_N("edge_raisedinner", 16, 12, case_draw_edge, BF_RECT << 16 | BDR_RAISEDINNER),
    ORACLE_N("edge_sunkenouter", 16, 12, case_draw_edge, BF_RECT << 16 | BDR_SUNKENOUTER),
    ORACLE_N("edge_etched", 16, 12, case_draw_edge, BF_RECT << 16 | EDGE_ETCHED),
    ORACLE_N("edge_raised", 16, 12, case_draw_edge, BF_RECT << 16 | EDGE_RAISED),
    ORACLE_N("edge_raisedinner_soft", 16, 12, case_draw_edge, (BF_RECT | BF_SOFT) << 16 | BDR_RAISEDINNER),
    /* The spin button's halves: 16 x 11 with the 2-pixel margin gives 12 x 7, as the filter field draws. */
    ORACLE_N("frame_scroll_up", 16, 11, case_frame_control, DFC_SCROLL << 16 | DFCS_SCROLLUP),
    ORACLE_N("frame_scroll_up_pushed", 16, 11, case_frame_control, DFC_SCROLL << 16 | DFCS_SCROLLUP | DFCS_PUSHED),
    ORACLE_N("frame_scroll_up_inactive", 16, 11, case_frame_control, DFC_SCROLL << 16 | DFCS_SCROLLUP | DFCS_INACTIVE),
    ORACLE_N("frame_scroll_down", 16, 11, case_frame_control, DFC_SCROLL << 16 | DFCS_SCROLLDOWN),
    ORACLE_N("frame_scroll_down_pushed", 16, 11, case_frame_control, DFC_SCROLL << 16 | DFCS_SCROLLDOWN | DFCS_PUSHED),
    ORACLE_N("frame_scroll_down_inactive", 16, 11, case_frame_control, DFC_SCROLL << 16 | DFCS_SCROLLDOWN | DFCS_INACTIVE),
    ORACLE_N("frame_scroll_sizegrip", 20, 20, case_frame_control, DFC_SCROLL << 16 | DFCS_SCROLLSIZEGRIP),
    ORACLE_N("caption_active", 40, 18, case_draw_caption, DC_ACTIVE),
    ORACLE_N("caption_inactive", 40, 18, case_draw_caption, 0),
    ORACLE_N("caption_active_gradient", 40, 18, case_draw_caption, DC_ACTIVE | DC_GRADIENT),
    ORACLE_N("menu_scroll_arrow_up", 16, 10, case_menu_scroll_arrow, 3 << 1 | 1),
    ORACLE_N("menu_scroll_arrow_down", 16, 10, case_menu_scroll_arrow, 3 << 1),
    ORACLE_N("menu_scroll_arrow_up_144", 20, 13, case_menu_scroll_arrow, 5 << 1 | 1),
    ORACLE_N("menu_scroll_arrow_down_144", 20, 13, case_menu_scroll_arrow, 5 << 1),
    ORACLE_N("frame_caption_close_pushed", 20, 18, case_frame_control, DFC_CAPTION << 16 | DFCS_CAPTIONCLOSE | DFCS_PUSHED),
    ORACLE_N("close_glyph_e20746", 12, 12, case_close_glyph, 0),
    ORACLE_N("close_glyph_e20746_pushed", 12, 12, case_close_glyph, 1),
};

#define ORACLE_CASE_COUNT ((int)(sizeof kOracleCases / sizeof kOracleCases[0]))
