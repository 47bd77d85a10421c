// Pixel tests of the GDI stand-in against GDI's documented results.
#include "Canvas.h"

#include <QImage>

#include <functional>

using wintest::Canvas;
using wintest::Rows;
using wintest::Selected;

namespace {

const COLORREF Black = RGB(0, 0, 0), White = RGB(255, 255, 255), Red = RGB(255, 0, 0);

TEST(GdiFill, FrameRectPaintsOnlyTheOuterColumnsAndRows) {
    Canvas c(12, 12);
    RECT r{0, 0, 10, 10};
    HBRUSH b = CreateSolidBrush(Black);
    FrameRect(c.dc, &r, b);
    DeleteObject(b);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool onFrame = (x < 10 && y < 10) && (x == 0 || x == 9 || y == 0 || y == 9);
            EXPECT_EQ(c.At(x, y), onFrame ? Black : White) << x << "," << y;
        }
}

TEST(GdiFill, FillRectExcludesRightAndBottomAndTakesSystemColourIndexes) {
    Canvas c(6, 4);
    RECT r{1, 1, 4, 3};
    FillRect(c.dc, &r, reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1));
    EXPECT_EQ(c.Map(GetSysColor(COLOR_HIGHLIGHT)), Rows({"......", ".###..", ".###..", "......"}));
}

TEST(GdiLines, LineToLeavesItsEndPixel) {
    Canvas c(8, 6);
    MoveToEx(c.dc, 1, 1, nullptr);
    LineTo(c.dc, 5, 1);
    LineTo(c.dc, 5, 4);
    MoveToEx(c.dc, 0, 5, nullptr);
    LineTo(c.dc, 0, 5); // a zero-length line paints nothing
    // The corner is the first pixel of the second line.
    EXPECT_EQ(c.Map(Black), Rows({"........", ".#####..", ".....#..", ".....#..", "........", "........"}));
    POINT p;
    GetCurrentPositionEx(c.dc, &p);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 5);
}

TEST(GdiLines, DiagonalLineStopsBeforeItsEnd) {
    Canvas c(5, 5);
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 4, 4);
    EXPECT_EQ(c.Map(Black), Rows({"#....", ".#...", "..#..", "...#.", "....."}));
}

TEST(GdiLines, PolylineDoesNotPaintItsLastPoint) {
    Canvas c(5, 4);
    const POINT pts[] = {{0, 0}, {3, 0}, {3, 3}};
    Polyline(c.dc, pts, 3);
    EXPECT_EQ(c.Map(Black), Rows({"####.", "...#.", "...#.", "....."}));
}

TEST(GdiLines, DottedPenLeavesGapsInTransparentModeAndFillsThemWhenOpaque) {
    Canvas c(14, 2);
    Selected pen(c.dc, CreatePen(PS_DOT, 1, Black));
    SetBkMode(c.dc, TRANSPARENT);
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 13, 0);
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, Red);
    MoveToEx(c.dc, 0, 1, nullptr);
    LineTo(c.dc, 13, 1);
    EXPECT_EQ(c.Map(Black), Rows({"###...###...#.", "###...###...#."}));
    EXPECT_EQ(c.Map(Red), Rows({"..............", "...###...###.."}));
}

struct Rop2Case {
    int rop;
    COLORREF expected; // pen RGB(FF,00,00) over RGB(55,AA,FF)
};

class Rop2Table : public ::testing::TestWithParam<Rop2Case> {};

TEST_P(Rop2Table, CombinesPenAndDestinationBitwise) {
    Canvas c(2, 1, RGB(0x55, 0xAA, 0xFF));
    Selected pen(c.dc, CreatePen(PS_SOLID, 1, RGB(0xFF, 0, 0)));
    SetROP2(c.dc, GetParam().rop);
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 1, 0);
    EXPECT_EQ(c.At(0, 0), GetParam().expected);
    EXPECT_EQ(c.At(1, 0), RGB(0x55, 0xAA, 0xFF));
}

INSTANTIATE_TEST_SUITE_P(
    All16, Rop2Table,
    ::testing::Values(
        Rop2Case{R2_BLACK, RGB(0, 0, 0)}, Rop2Case{R2_NOTMERGEPEN, RGB(0x00, 0x55, 0x00)},
        Rop2Case{R2_MASKNOTPEN, RGB(0x00, 0xAA, 0xFF)}, Rop2Case{R2_NOTCOPYPEN, RGB(0x00, 0xFF, 0xFF)},
        Rop2Case{R2_MASKPENNOT, RGB(0xAA, 0x00, 0x00)}, Rop2Case{R2_NOT, RGB(0xAA, 0x55, 0x00)},
        Rop2Case{R2_XORPEN, RGB(0xAA, 0xAA, 0xFF)}, Rop2Case{R2_NOTMASKPEN, RGB(0xAA, 0xFF, 0xFF)},
        Rop2Case{R2_MASKPEN, RGB(0x55, 0x00, 0x00)}, Rop2Case{R2_NOTXORPEN, RGB(0x55, 0x55, 0x00)},
        Rop2Case{R2_NOP, RGB(0x55, 0xAA, 0xFF)}, Rop2Case{R2_MERGENOTPEN, RGB(0x55, 0xFF, 0xFF)},
        Rop2Case{R2_COPYPEN, RGB(0xFF, 0x00, 0x00)}, Rop2Case{R2_MERGEPENNOT, RGB(0xFF, 0x55, 0x00)},
        Rop2Case{R2_MERGEPEN, RGB(0xFF, 0xAA, 0xFF)}, Rop2Case{R2_WHITE, RGB(0xFF, 0xFF, 0xFF)}));

TEST(GdiLines, NotPenDrawnTwiceRestoresThePixels) {
    Canvas c(10, 10, RGB(12, 34, 56));
    const auto before = c.Pixels();
    SetROP2(c.dc, R2_NOT);
    for (int pass = 0; pass < 2; ++pass) {
        MoveToEx(c.dc, 5, 0, nullptr);
        LineTo(c.dc, 5, 10);
        if (pass == 0) {
            EXPECT_EQ(c.At(5, 3), RGB(255 - 12, 255 - 34, 255 - 56));
        }
    }
    EXPECT_EQ(c.Pixels(), before);
}

TEST(GdiShapes, RectangleDrawsAOnePixelPenInsideAndFillsTheRest) {
    Canvas c(7, 6);
    Selected brush(c.dc, CreateSolidBrush(Red));
    Rectangle(c.dc, 1, 1, 6, 5);
    EXPECT_EQ(c.Map(Black), Rows({".......", ".#####.", ".#...#.", ".#...#.", ".#####.", "......."}));
    EXPECT_EQ(c.Map(Red), Rows({".......", ".......", "..###..", "..###..", ".......", "......."}));
}

TEST(GdiShapes, RectangleWithoutPenFillsOnePixelLess) {
    Canvas c(5, 4);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    Rectangle(c.dc, 0, 0, 4, 3);
    EXPECT_EQ(c.Map(Black), Rows({"###..", "###..", ".....", "....."}));
}

TEST(GdiShapes, InsideFramePenOfThreePixelsStaysInsideTheBounds) {
    Canvas c(12, 12);
    SelectObject(c.dc, GetStockObject(NULL_BRUSH));
    {
        Selected pen(c.dc, CreatePen(PS_INSIDEFRAME, 3, Black));
        Rectangle(c.dc, 1, 1, 11, 11);
    }
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 1 && x < 11 && y >= 1 && y < 11;
            // The joins are round: the outermost corner pixels stay unpainted.
            const bool corner = (x == 1 || x == 10) && (y == 1 || y == 10);
            const bool band = inside && !corner && (x < 4 || x >= 8 || y < 4 || y >= 8);
            EXPECT_EQ(c.At(x, y), band ? Black : White) << x << "," << y;
        }
}

TEST(GdiShapes, SolidWidePenIsCentredOnTheOutline) {
    Canvas c(12, 12);
    SelectObject(c.dc, GetStockObject(NULL_BRUSH));
    Selected pen(c.dc, CreatePen(PS_SOLID, 3, Black));
    Rectangle(c.dc, 2, 2, 10, 10);
    EXPECT_EQ(c.At(1, 5), Black);  // one pixel outside the left edge
    EXPECT_EQ(c.At(10, 5), Black); // and one outside the right one (path at 9)
    EXPECT_EQ(c.At(0, 5), White);
    EXPECT_EQ(c.At(11, 5), White);
    EXPECT_EQ(c.At(5, 5), White);
}

TEST(GdiShapes, EllipseIsSymmetricAndTouchesItsBounds) {
    Canvas c(11, 9);
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    Ellipse(c.dc, 1, 1, 10, 8);
    const std::string map = c.Map(Black);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 11; ++x) {
            EXPECT_EQ(c.At(x, y), c.At(10 - x, y)) << x << "," << y;
            EXPECT_EQ(c.At(x, y), c.At(x, 8 - y)) << x << "," << y;
            if (x == 0 || y == 0 || x == 10 || y == 8) {
                EXPECT_EQ(c.At(x, y), White);
            }
        }
    EXPECT_EQ(c.At(5, 1), Black);
    EXPECT_EQ(c.At(1, 4), Black);
    EXPECT_EQ(c.At(1, 1), White) << map;
}

TEST(GdiShapes, RoundRectLeavesItsCornerPixelsAlone) {
    Canvas c(10, 10);
    Selected brush(c.dc, CreateSolidBrush(Red));
    RoundRect(c.dc, 0, 0, 10, 10, 6, 6);
    for (auto [x, y] : {std::pair{0, 0}, {9, 0}, {0, 9}, {9, 9}}) EXPECT_EQ(c.At(x, y), White);
    EXPECT_EQ(c.At(5, 0), Black);
    EXPECT_EQ(c.At(0, 5), Black);
    EXPECT_EQ(c.At(9, 5), Black);
    EXPECT_EQ(c.At(5, 9), Black);
    EXPECT_EQ(c.At(5, 5), Red);
}

TEST(GdiShapes, PieFillsOnlyItsSector) {
    Canvas c(21, 21);
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    // From the right (0°) counter-clockwise to the top (90°): the upper-right quarter.
    Pie(c.dc, 0, 0, 21, 21, 20, 10, 10, 0);
    EXPECT_EQ(c.At(15, 5), Black);
    EXPECT_EQ(c.At(5, 5), White);
    EXPECT_EQ(c.At(5, 15), White);
    EXPECT_EQ(c.At(15, 15), White);
}

TEST(GdiShapes, PolygonFillFollowsTheTopLeftRule) {
    Canvas c(6, 5);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    const POINT tri[] = {{0, 0}, {4, 0}, {0, 4}};
    Polygon(c.dc, tri, 3);
    EXPECT_EQ(c.Map(Black), Rows({"####..", "###...", "##....", "#.....", "......"}));
}

TEST(GdiShapes, FillModeDecidesTheCentreOfAPentagram) {
    // Five points of a star in drawing order: the centre pentagon is wound twice.
    const POINT star[] = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
    HRGN alt = CreatePolygonRgn(star, 5, ALTERNATE);
    HRGN wind = CreatePolygonRgn(star, 5, WINDING);
    EXPECT_FALSE(PtInRegion(alt, 50, 50));
    EXPECT_TRUE(PtInRegion(wind, 50, 50));
    EXPECT_TRUE(PtInRegion(alt, 50, 10));
    EXPECT_TRUE(PtInRegion(wind, 50, 10));
    DeleteObject(alt);
    DeleteObject(wind);

    Canvas c(100, 100);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    SetPolyFillMode(c.dc, WINDING);
    Polygon(c.dc, star, 5);
    EXPECT_EQ(c.At(50, 50), Black);
    SetPolyFillMode(c.dc, ALTERNATE);
    c.Fill(White);
    Polygon(c.dc, star, 5);
    EXPECT_EQ(c.At(50, 50), White);
    EXPECT_EQ(c.At(50, 10), Black);
}

TEST(GdiBrushes, HatchBrushFillsItsGapsOnlyInOpaqueMode) {
    Canvas c(8, 8);
    Selected brush(c.dc, CreateHatchBrush(HS_CROSS, Black));
    SetBkColor(c.dc, Red);
    SetBkMode(c.dc, TRANSPARENT);
    PatBlt(c.dc, 0, 0, 8, 8, PATCOPY);
    EXPECT_EQ(c.At(4, 0), Black);
    EXPECT_EQ(c.At(0, 3), Black); // the horizontal bar is row 3 of the cell
    EXPECT_EQ(c.At(0, 7), White);
    EXPECT_EQ(c.At(0, 0), White);
    SetBkMode(c.dc, OPAQUE);
    PatBlt(c.dc, 0, 0, 8, 8, PATCOPY);
    EXPECT_EQ(c.At(0, 0), Red);
}

// An 8×8 checkerboard pattern brush, as the program builds its halftone brush.
HBRUSH Checkerboard() {
    const BYTE rows[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
    HBITMAP bm = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH b = CreatePatternBrush(bm);
    DeleteObject(bm); // the brush keeps its own copy
    return b;
}

TEST(GdiBrushes, PatInvertWithACheckerboardInvertsEveryOtherPixelAndUndoesItself) {
    Canvas c(8, 4, RGB(10, 20, 30));
    const auto before = c.Pixels();
    Selected brush(c.dc, Checkerboard());
    SetTextColor(c.dc, Black); // 0 bits: XOR black leaves the pixel
    SetBkColor(c.dc, White);   // 1 bits: XOR white inverts it
    PatBlt(c.dc, 0, 0, 8, 4, PATINVERT);
    EXPECT_EQ(c.Map(RGB(245, 235, 225)), Rows({".#.#.#.#", "#.#.#.#.", ".#.#.#.#", "#.#.#.#."}));
    PatBlt(c.dc, 0, 0, 8, 4, PATINVERT);
    EXPECT_EQ(c.Pixels(), before);
    SetBrushOrgEx(c.dc, 1, 0, nullptr); // shifts the pattern one pixel right
    PatBlt(c.dc, 0, 0, 8, 4, PATINVERT);
    EXPECT_EQ(c.Map(RGB(245, 235, 225)), Rows({"#.#.#.#.", ".#.#.#.#", "#.#.#.#.", ".#.#.#.#"}));
}

struct Rop3Case {
    const char* name;
    DWORD rop;
    std::function<uint8_t(uint8_t p, uint8_t s, uint8_t d)> f;
};

class Rop3Table : public ::testing::TestWithParam<Rop3Case> {};

TEST_P(Rop3Table, EvaluatesTheNamedOperation) {
    const auto& k = GetParam();
    const COLORREF s = RGB(0x0F, 0xF0, 0x3C), p = RGB(0xFF, 0x00, 0xAA), d = RGB(0x55, 0xAA, 0xCC);
    Canvas src(2, 2, s);
    Canvas dst(2, 2, d);
    Selected brush(dst.dc, CreateSolidBrush(p));
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, k.rop));
    const COLORREF expected =
        RGB(k.f(GetRValue(p), GetRValue(s), GetRValue(d)), k.f(GetGValue(p), GetGValue(s), GetGValue(d)),
            k.f(GetBValue(p), GetBValue(s), GetBValue(d)));
    EXPECT_EQ(dst.At(0, 0), expected) << k.name;
    EXPECT_EQ(dst.At(1, 1), d);
}

INSTANTIATE_TEST_SUITE_P(
    Named, Rop3Table,
    ::testing::Values(
        Rop3Case{"SRCCOPY", SRCCOPY, [](uint8_t, uint8_t s, uint8_t) { return s; }},
        Rop3Case{"SRCPAINT", SRCPAINT, [](uint8_t, uint8_t s, uint8_t d) { return uint8_t(s | d); }},
        Rop3Case{"SRCAND", SRCAND, [](uint8_t, uint8_t s, uint8_t d) { return uint8_t(s & d); }},
        Rop3Case{"SRCINVERT", SRCINVERT, [](uint8_t, uint8_t s, uint8_t d) { return uint8_t(s ^ d); }},
        Rop3Case{"SRCERASE", SRCERASE, [](uint8_t, uint8_t s, uint8_t d) { return uint8_t(s & ~d); }},
        Rop3Case{"NOTSRCCOPY", NOTSRCCOPY, [](uint8_t, uint8_t s, uint8_t) { return uint8_t(~s); }},
        Rop3Case{"NOTSRCERASE", NOTSRCERASE, [](uint8_t, uint8_t s, uint8_t d) { return uint8_t(~(s | d)); }},
        Rop3Case{"MERGECOPY", MERGECOPY, [](uint8_t p, uint8_t s, uint8_t) { return uint8_t(p & s); }},
        Rop3Case{"MERGEPAINT", MERGEPAINT, [](uint8_t, uint8_t s, uint8_t d) { return uint8_t(~s | d); }},
        Rop3Case{"PATCOPY", PATCOPY, [](uint8_t p, uint8_t, uint8_t) { return p; }},
        Rop3Case{"PATPAINT", PATPAINT, [](uint8_t p, uint8_t s, uint8_t d) { return uint8_t(p | ~s | d); }},
        Rop3Case{"PATINVERT", PATINVERT, [](uint8_t p, uint8_t, uint8_t d) { return uint8_t(p ^ d); }},
        Rop3Case{"DSTINVERT", DSTINVERT, [](uint8_t, uint8_t, uint8_t d) { return uint8_t(~d); }},
        Rop3Case{"BLACKNESS", BLACKNESS, [](uint8_t, uint8_t, uint8_t) { return uint8_t(0); }},
        Rop3Case{"WHITENESS", WHITENESS, [](uint8_t, uint8_t, uint8_t) { return uint8_t(0xFF); }},
        Rop3Case{"DSPDxax", 0x00E20746,
                 [](uint8_t p, uint8_t s, uint8_t d) { return uint8_t((s & p) | (~s & d)); }}));

TEST(GdiBlits, MonochromeSourceWithDSPDxaxPaintsTheBrushWhereBitsAreSet) {
    // A glyph in a monochrome bitmap: 1 bits where the brush should show.
    const BYTE rows[4] = {0xA0, 0, 0x40, 0}; // "#.#" and ".#.", rows WORD aligned
    HBITMAP glyph = CreateBitmap(3, 2, 1, 1, rows);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, glyph);
    Canvas c(3, 2, RGB(1, 2, 3));
    Selected brush(c.dc, CreateSolidBrush(Red));
    SetTextColor(c.dc, Black);
    SetBkColor(c.dc, White);
    BitBlt(c.dc, 0, 0, 3, 2, mem, 0, 0, 0x00E20746);
    EXPECT_EQ(c.Map(Red), Rows({"#.#", ".#."}));
    EXPECT_EQ(c.Map(RGB(1, 2, 3)), Rows({".#.", "#.#"}));
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(glyph);
}

TEST(GdiBlits, ColourToMonochromeMakesTheSourceBackgroundWhite) {
    Canvas src(3, 1, Red);
    SetPixel(src.dc, 1, 0, RGB(0, 0, 255));
    SetBkColor(src.dc, Red);
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateCompatibleBitmap(mem, 3, 1); // a new memory DC makes monochrome bitmaps
    BITMAP info{};
    GetObjectW(mono, sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel, 1);
    HGDIOBJ old = SelectObject(mem, mono);
    BitBlt(mem, 0, 0, 3, 1, src.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(mem, 0, 0), White);
    EXPECT_EQ(GetPixel(mem, 1, 0), Black);
    // Back to colour: 0 bits take the text colour, 1 bits the background colour.
    Canvas dst(3, 1);
    SetTextColor(dst.dc, RGB(0, 128, 0));
    SetBkColor(dst.dc, RGB(0, 0, 128));
    BitBlt(dst.dc, 0, 0, 3, 1, mem, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.At(0, 0), RGB(0, 0, 128));
    EXPECT_EQ(dst.At(1, 0), RGB(0, 128, 0));
    SelectObject(mem, old);
    DeleteObject(mono);
    DeleteDC(mem);
}

TEST(GdiBlits, StretchBltScalesAndMirrors) {
    Canvas src(2, 1);
    SetPixel(src.dc, 0, 0, Red);
    SetPixel(src.dc, 1, 0, Black);
    Canvas dst(4, 2);
    StretchBlt(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, 2, 1, SRCCOPY);
    StretchBlt(dst.dc, 3, 1, -4, 1, src.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(dst.Map(Red), Rows({"##..", "..##"}));
}

TEST(GdiBlits, BitBltHonoursARotatingWorldTransform) {
    Canvas src(3, 1);
    SetPixel(src.dc, 0, 0, Red);
    Canvas dst(3, 3);
    SetGraphicsMode(dst.dc, GM_ADVANCED);
    const XFORM quarter{0, 1, -1, 0, 1, 0}; // (x, y) -> (1 - y, x): a quarter turn clockwise on screen
    ASSERT_TRUE(SetWorldTransform(dst.dc, &quarter));
    BitBlt(dst.dc, 0, 0, 3, 1, src.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.Map(Red), Rows({"#..", "...", "..."}));
    EXPECT_EQ(dst.Map(White), Rows({".##", "###", "###"}));
    EXPECT_EQ(dst.At(0, 1), White);
}

TEST(GdiBitmaps, BottomUpDibKeepsTheTopRowLastInMemory) {
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 3, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(bm);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    SetPixel(dc, 1, 0, RGB(1, 2, 3));
    const auto* b = static_cast<const uint8_t*>(bits);
    const int stride = 8;            // 2 × 3 bytes rounded up to 4
    EXPECT_EQ(b[2 * stride + 3], 3); // blue first
    EXPECT_EQ(b[2 * stride + 4], 2);
    EXPECT_EQ(b[2 * stride + 5], 1);
    // GetDIBits into a top-down 32-bit buffer puts it first.
    BITMAPINFO want{};
    want.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -3, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    uint32_t out[6] = {};
    SelectObject(dc, old);
    EXPECT_EQ(GetDIBits(dc, bm, 0, 3, out, &want, DIB_RGB_COLORS), 3);
    EXPECT_EQ(out[1], 0x010203u);
    EXPECT_EQ(out[5], 0xFFFFFFu & 0);
    DeleteDC(dc);
    DeleteObject(bm);
}

TEST(GdiBitmaps, SetDibitsFillsABitmapFromBottomUpRows) {
    HBITMAP bm = CreateCompatibleBitmap(nullptr, 2, 2);
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const uint32_t rows[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0x000000}; // bottom row first
    EXPECT_EQ(SetDIBits(nullptr, bm, 0, 2, rows, &bmi, DIB_RGB_COLORS), 2);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 255, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bm);
}

TEST(GdiBitmaps, GetDibitsWithAVersion4HeaderKeepsTheAlphaByte) {
    Canvas c(2, 2);
    c.bits[3] = 0x80112233;
    SelectObject(c.dc, c.old); // GetDIBits reads a bitmap selected nowhere
    BITMAPV4HEADER v4{};
    v4.bV4Size = sizeof v4;
    v4.bV4Width = 2;
    v4.bV4Height = -2;
    v4.bV4Planes = 1;
    v4.bV4BitCount = 32;
    v4.bV4V4Compression = BI_BITFIELDS;
    uint32_t out[4] = {};
    EXPECT_EQ(GetDIBits(c.dc, c.bm, 0, 2, out, reinterpret_cast<BITMAPINFO*>(&v4), DIB_RGB_COLORS), 2);
    EXPECT_EQ(out[3], 0x80112233u);
    EXPECT_EQ(v4.bV4RedMask, 0xFF0000u);
    c.old = SelectObject(c.dc, c.bm);
}

TEST(GdiBitmaps, RejectsDibsItCannotHold) {
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 100000, 100000, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, 4, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
    EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(GdiObjects, DeletingSelectedObjectsIsDeferredOrRefused) {
    const int before = TwGdiObjectCount();
    Canvas c(3, 1);
    const int withCanvas = TwGdiObjectCount();
    HPEN pen = CreatePen(PS_SOLID, 1, Red);
    HGDIOBJ old = SelectObject(c.dc, pen);
    EXPECT_TRUE(DeleteObject(pen)); // still selected: goes when deselected
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 2, 0);
    EXPECT_EQ(c.At(1, 0), Red);
    EXPECT_FALSE(DeleteObject(c.bm)); // a selected bitmap cannot be deleted
    SelectObject(c.dc, old);
    EXPECT_EQ(TwGdiObjectCount(), withCanvas);
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN))); // harmless
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(0x12345)));
    (void)before;
}

TEST(GdiClipping, SaveAndRestoreNestClipsAndOrigins) {
    Canvas c(10, 1);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT all{0, 0, 10, 1};
    EXPECT_EQ(SaveDC(c.dc), 1);
    IntersectClipRect(c.dc, 2, 0, 8, 1);
    EXPECT_EQ(SaveDC(c.dc), 2);
    ExcludeClipRect(c.dc, 4, 0, 6, 1);
    SetWindowOrgEx(c.dc, -1, 0, nullptr);
    FillRect(c.dc, &all, black);
    EXPECT_EQ(c.Map(Black, 'x'), "..xx..xx..\n");
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 1); // logical: the window origin moved by -1
    EXPECT_EQ(box.right, 7);
    EXPECT_TRUE(RestoreDC(c.dc, -1));
    c.Fill(White);
    FillRect(c.dc, &all, black);
    EXPECT_EQ(c.Map(Black, 'x'), "..xxxxxx..\n");
    EXPECT_TRUE(RestoreDC(c.dc, 1));
    EXPECT_FALSE(RestoreDC(c.dc, 1)); // nothing left to restore
    FillRect(c.dc, &all, black);
    EXPECT_EQ(c.Map(Black, 'x'), "xxxxxxxxxx\n");
}

TEST(GdiClipping, SelectClipRgnTakesDeviceCoordinatesAndCopiesTheRegion) {
    Canvas c(10, 1);
    SetWindowOrgEx(c.dc, 5, 0, nullptr);
    HRGN rgn = CreateRectRgn(0, 0, 3, 1);
    EXPECT_EQ(SelectClipRgn(c.dc, rgn), SIMPLEREGION);
    DeleteObject(rgn); // the DC has its own copy
    const RECT r{0, 0, 20, 1};
    FillRect(c.dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(c.Map(Black, 'x'), "xxx.......\n");
    HRGN got = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(c.dc, got), 1);
    EXPECT_TRUE(PtInRegion(got, 2, 0));
    SelectClipRgn(c.dc, nullptr);
    EXPECT_EQ(GetClipRgn(c.dc, got), 0);
    DeleteObject(got);
}

TEST(GdiClipping, ViewportOriginMovesDrawingAndClipBox) {
    Canvas c(6, 1);
    OffsetViewportOrgEx(c.dc, 2, 0, nullptr);
    SetPixel(c.dc, 0, 0, Red);
    EXPECT_EQ(c.At(2, 0), Red);
    RECT box;
    GetClipBox(c.dc, &box);
    EXPECT_EQ(box.left, -2);
    EXPECT_EQ(box.right, 4);
}

struct CombineCase {
    int mode;
    int complexity;
    RECT box;
};

class CombineTable : public ::testing::TestWithParam<CombineCase> {};

TEST_P(CombineTable, CombinesTwoOverlappingRectangles) {
    HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15), d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d, a, b, GetParam().mode), GetParam().complexity);
    RECT box;
    GetRgnBox(d, &box);
    EXPECT_TRUE(EqualRect(&box, &GetParam().box));
    for (HRGN h : {a, b, d}) DeleteObject(h);
}

INSTANTIATE_TEST_SUITE_P(Modes, CombineTable,
                         ::testing::Values(CombineCase{RGN_AND, SIMPLEREGION, {5, 5, 10, 10}},
                                           CombineCase{RGN_OR, COMPLEXREGION, {0, 0, 15, 15}},
                                           CombineCase{RGN_XOR, COMPLEXREGION, {0, 0, 15, 15}},
                                           CombineCase{RGN_DIFF, COMPLEXREGION, {0, 0, 10, 10}},
                                           CombineCase{RGN_COPY, SIMPLEREGION, {0, 0, 10, 10}}));

TEST(GdiRegions, QueriesAndMovesRegions) {
    HRGN e = CreateEllipticRgn(5, 9, 10, 14);
    EXPECT_TRUE(PtInRegion(e, 7, 11));
    EXPECT_FALSE(PtInRegion(e, 5, 9));
    OffsetRgn(e, 10, 0);
    EXPECT_TRUE(PtInRegion(e, 17, 11));
    const RECT inside{16, 10, 18, 12}, outside{0, 0, 4, 4};
    EXPECT_TRUE(RectInRegion(e, &inside));
    EXPECT_FALSE(RectInRegion(e, &outside));
    HRGN r1 = CreateRectRgn(0, 0, 4, 4), r2 = CreateRectRgnIndirect(&outside);
    EXPECT_TRUE(EqualRgn(r1, r2));
    const DWORD size = GetRegionData(e, 0, nullptr);
    std::vector<char> buf(size);
    ASSERT_EQ(GetRegionData(e, size, reinterpret_cast<RGNDATA*>(buf.data())), size);
    HRGN copy = ExtCreateRegion(nullptr, size, reinterpret_cast<RGNDATA*>(buf.data()));
    EXPECT_TRUE(EqualRgn(copy, e));
    for (HRGN h : {e, r1, r2, copy}) DeleteObject(h);
}

TEST(GdiRegions, FillRgnAndFrameRgnPaintInLogicalCoordinates) {
    Canvas c(6, 6);
    HRGN r = CreateRectRgn(1, 1, 5, 5);
    HBRUSH b = CreateSolidBrush(Red);
    FrameRgn(c.dc, r, b, 1, 1);
    EXPECT_EQ(c.Map(Red), Rows({"......", ".####.", ".#..#.", ".#..#.", ".####.", "......"}));
    SetViewportOrgEx(c.dc, 1, 1, nullptr);
    FillRgn(c.dc, r, b);
    EXPECT_EQ(c.At(5, 5), Red);
    DeleteObject(b);
    DeleteObject(r);
}

TEST(GdiSurface, DrawsIntoAPlainImageAtItsDeviceOriginInsideItsVisibleRegion) {
    std::vector<uint32_t> pixels(8 * 4, 0xFFFFFF);
    TwSurface s{pixels.data(), 8, 4, 8 * 4};
    HDC dc = TwCreateSurfaceDC(&s);
    ASSERT_TRUE(dc);
    TwSetDCDeviceOrigin(dc, 2, 1);
    HRGN vis = CreateRectRgn(0, 0, 3, 2);
    TwSetDCVisibleRegion(dc, vis);
    DeleteObject(vis);
    const RECT r{-5, -5, 20, 20};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(pixels[size_t(y * 8 + x)], (x >= 2 && x < 5 && y >= 1 && y < 3) ? 0u : 0xFFFFFFu)
                << x << "," << y;
    EXPECT_EQ(GetObjectType(dc), DWORD(OBJ_DC));
    DeleteDC(dc);
}

TEST(GdiDebug, WritesATargetToAPngFile) {
    Canvas c(4, 4, Red);
    const std::string path = testing::TempDir() + "gdi-debug.png";
    EXPECT_TRUE(TwSaveDCToPng(c.dc, path.c_str()));
    QImage img(QString::fromStdString(path));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.pixel(3, 3), 0xFFFF0000u);
}

} // namespace

namespace {

TEST(GdiObjects, BitmapIsFreeAgainAfterItsDcWithSavedStatesIsDeleted) {
    HBITMAP bm = CreateBitmap(2, 2, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bm);
    SaveDC(dc);
    SaveDC(dc);
    EXPECT_FALSE(DeleteObject(bm)); // still selected
    DeleteDC(dc);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_NE(SelectObject(other, bm), nullptr); // selectable again
    DeleteDC(other);
    EXPECT_TRUE(DeleteObject(bm));
}

} // namespace

namespace {

TEST(GdiLines, FarAwayEndPointsDrawOnlyTheVisiblePartAndKeepTheDashes) {
    Canvas c(14, 3);
    // A line to a point a billion pixels away: only the visible part costs anything.
    MoveToEx(c.dc, 0, 1, nullptr);
    LineTo(c.dc, 1000000000, 1);
    EXPECT_EQ(c.Map(RGB(0, 0, 0)), wintest::Rows({"..............", "##############", ".............."}));
    // A dotted line entering from far left keeps the phase it would have had.
    Selected pen(c.dc, CreatePen(PS_DOT, 1, RGB(0, 0, 0)));
    SetBkMode(c.dc, TRANSPARENT);
    MoveToEx(c.dc, -600000, 0, nullptr); // a multiple of the 6-pixel period
    LineTo(c.dc, 14, 0);
    EXPECT_EQ(c.Map(RGB(0, 0, 0)).substr(0, 14), "###...###...##");
    const POINT huge[] = {{-2000000000, -2000000000}, {2000000000, -2000000000}, {0, 2000000000}};
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(Polygon(c.dc, huge, 3));
    EXPECT_EQ(c.At(7, 1), RGB(0, 0, 0));
}

} // namespace

namespace {

TEST(GdiPath, RecordedFiguresDrawNothingAndClipAsTheirClosedShape) {
    Canvas c(10, 10);
    SetWindowOrgEx(c.dc, -2, -2, nullptr);   // the path follows the logical coordinates
    HPEN pen = CreatePen(PS_SOLID, 1, Black);
    HGDIOBJ old = SelectObject(c.dc, pen);
    ASSERT_TRUE(BeginPath(c.dc));
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 6, 0);
    const POINT triangle[] = {{0, 0}, {6, 0}, {0, 6}};
    Polyline(c.dc, triangle, 3);
    ASSERT_TRUE(EndPath(c.dc));
    EXPECT_EQ(c.At(2, 2), White);   // nothing drawn while recording
    ASSERT_TRUE(SelectClipPath(c.dc, RGN_AND));
    EXPECT_FALSE(SelectClipPath(c.dc, RGN_AND));   // the path is used up
    RECT all{-2, -2, 8, 8};
    HBRUSH red = CreateSolidBrush(Red);
    FillRect(c.dc, &all, red);
    EXPECT_EQ(c.At(3, 3), Red);
    EXPECT_EQ(c.At(7, 7), White);
    EXPECT_EQ(c.At(0, 0), White);
    SelectClipRgn(c.dc, nullptr);
    SelectObject(c.dc, old);
    DeleteObject(pen);
    DeleteObject(red);
    EXPECT_FALSE(EndPath(c.dc));
    EXPECT_TRUE(AbortPath(c.dc));
}

} // namespace
