// Fills and blits on 32-bit targets run a span at a time; these check them pixel by pixel against
// the operations' definitions: every ternary and binary code, pattern brushes that start mid-period
// in clipped spans, and blits that read and write one surface.
#include "Canvas.h"

#include <vector>

using wintest::Canvas;
using wintest::Selected;

namespace {

// Bit (p << 2 | s << 1 | d) of a ternary code, taken bit by bit over the whole 32-bit words.
uint32_t Ternary(unsigned code, uint32_t p, uint32_t s, uint32_t d) {
    uint32_t r = 0;
    for (int bit = 0; bit < 32; ++bit) {
        const unsigned i = ((p >> bit) & 1) << 2 | ((s >> bit) & 1) << 1 | ((d >> bit) & 1);
        r |= uint32_t((code >> i) & 1) << bit;
    }
    return r;
}

// A 3x2 colour pattern: an odd width, so that spans start at every phase of it.
const uint32_t PatternPixels[2][3] = {{0x123456, 0xA0B0C0, 0x00FF7F}, {0xFEDCBA, 0x0F0F0F, 0x808000}};

HBRUSH PatternBrush() {
    HBITMAP bm = CreateBitmap(3, 2, 1, 32, PatternPixels);
    HBRUSH b = CreatePatternBrush(bm);
    DeleteObject(bm);
    return b;
}

uint32_t PatternAt(int x, int y, POINT org) {
    return PatternPixels[((y - org.y) % 2 + 2) % 2][((x - org.x) % 3 + 3) % 3];
}

// Distinct words, top byte included: 32-bit blits carry it.
uint32_t Noise(int i, uint32_t seed) {
    return uint32_t(i + 1) * 2654435761u ^ seed;
}

TEST(GdiSpans, EveryTernaryCodeMatchesItsTruthTableWithAPatternBrushAndAClippedBlit) {
    constexpr int W = 13, H = 5;
    Canvas src(W, H), dst(W, H);
    const POINT org{1, 0};
    Selected brush(dst.dc, PatternBrush());
    SetBrushOrgEx(dst.dc, org.x, org.y, nullptr);
    // A hole splits the rows into two spans each; the second starts mid-pattern.
    ExcludeClipRect(dst.dc, 4, 1, 6, 4);
    for (int i = 0; i < W * H; ++i) src.bits[i] = Noise(i, 0x5A5A5A5A);
    for (unsigned code = 0; code < 256; ++code) {
        for (int i = 0; i < W * H; ++i) dst.bits[i] = Noise(i, code * 0x01010101u);
        const auto before = dst.Pixels();
        const DWORD rop = code << 16;
        ASSERT_TRUE(BitBlt(dst.dc, 1, 0, W - 2, H, src.dc, 2, 0, rop)) << code;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const bool painted = x >= 1 && x < W - 1 && !(x >= 4 && x < 6 && y >= 1 && y < 4);
                const uint32_t d = before[size_t(y * W + x)];
                const uint32_t want =
                    painted ? Ternary(code, PatternAt(x, y, org), src.Raw(x + 1, y), d) : d;
                ASSERT_EQ(dst.Raw(x, y), want) << "code " << std::hex << code << std::dec << " at " << x << "," << y;
            }
    }
}

TEST(GdiSpans, EveryBinaryOperationPaintsSolidAndPatternBrushesBitwise) {
    constexpr int W = 11, H = 4;
    Canvas c(W, H);
    HRGN rgn = CreateRectRgn(1, 1, W - 1, H);
    const POINT org{2, 1};
    SetBrushOrgEx(c.dc, org.x, org.y, nullptr);
    for (const bool pattern : {false, true}) {
        Selected brush(c.dc, pattern ? PatternBrush() : CreateSolidBrush(RGB(0x12, 0xC3, 0x7E)));
        for (int rop2 = R2_BLACK; rop2 <= R2_WHITE; ++rop2) {
            for (int i = 0; i < W * H; ++i) c.bits[i] = Noise(i, uint32_t(rop2) << 24 | 0x00A5C3);
            const auto before = c.Pixels();
            SetROP2(c.dc, rop2);
            PaintRgn(c.dc, rgn);
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    const uint32_t d = before[size_t(y * W + x)];
                    const uint32_t p = pattern ? PatternAt(x, y, org) : 0x12C37Eu;
                    // Binary codes are ternary ones that ignore the source: 0xF0 is the pen, 0xAA the destination.
                    const unsigned t = unsigned(rop2 - 1);
                    const unsigned code = ((t & 1) ? 0x05 : 0) | ((t & 2) ? 0x0A : 0) | ((t & 4) ? 0x50 : 0) |
                                          ((t & 8) ? 0xA0 : 0);
                    const bool inside = x >= 1 && x < W - 1 && y >= 1;
                    ASSERT_EQ(c.Raw(x, y), inside ? Ternary(code, p, 0, d) : d)
                        << (pattern ? "pattern" : "solid") << " rop2 " << rop2 << " at " << x << "," << y;
                }
        }
        SetROP2(c.dc, R2_COPYPEN);
    }
    DeleteObject(rgn);
}

struct Move {
    int dx, dy; // where the pixels go
};

class OneSurfaceBlit : public ::testing::TestWithParam<Move> {};

// A blit within one surface reads every pixel before it is overwritten, whatever the direction, also
// through a second DC on the same pixels with its own device origin (two DCs of one window).
TEST_P(OneSurfaceBlit, MovesThePixelsAsIfFromACopy) {
    constexpr int W = 9, H = 7;
    const Move m = GetParam();
    for (const bool twoDCs : {false, true}) {
        std::vector<uint32_t> pixels(W * H);
        for (int i = 0; i < W * H; ++i) pixels[size_t(i)] = Noise(i, 0x11223344);
        const auto before = pixels;
        TwSurface s{pixels.data(), W, H, W * 4};
        HDC dst = TwCreateSurfaceDC(&s);
        HDC src = twoDCs ? TwCreateSurfaceDC(&s) : dst;
        if (twoDCs) TwSetDCDeviceOrigin(src, 1, 1);
        const int so = twoDCs ? 1 : 0;
        // A clip with a hole gives rows of two spans, so spans on one row must go in the right order too.
        ExcludeClipRect(dst, 4, 2, 5, 5);
        // Source rectangle (1, 1)-(8, 6) on the surface, moved by (dx, dy).
        BitBlt(dst, 1 + m.dx, 1 + m.dy, 7, 5, src, 1 - so, 1 - so, SRCCOPY);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const int sx = x - m.dx, sy = y - m.dy;
                const bool moved = sx >= 1 && sx < 8 && sy >= 1 && sy < 6 && !(x == 4 && y >= 2 && y < 5);
                const uint32_t want = moved ? before[size_t(sy * W + sx)] : before[size_t(y * W + x)];
                ASSERT_EQ(pixels[size_t(y * W + x)], want)
                    << "move " << m.dx << "," << m.dy << (twoDCs ? " (two DCs)" : "") << " at " << x << "," << y;
            }
        // A ternary operation reads the old pixels too.
        for (int i = 0; i < W * H; ++i) pixels[size_t(i)] = before[size_t(i)];
        BitBlt(dst, 1 + m.dx, 1 + m.dy, 7, 5, src, 1 - so, 1 - so, SRCINVERT);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const int sx = x - m.dx, sy = y - m.dy;
                const bool moved = sx >= 1 && sx < 8 && sy >= 1 && sy < 6 && !(x == 4 && y >= 2 && y < 5);
                const uint32_t d = before[size_t(y * W + x)];
                ASSERT_EQ(pixels[size_t(y * W + x)], moved ? before[size_t(sy * W + sx)] ^ d : d)
                    << "xor move " << m.dx << "," << m.dy << (twoDCs ? " (two DCs)" : "") << " at " << x << "," << y;
            }
        if (twoDCs) DeleteDC(src);
        DeleteDC(dst);
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, OneSurfaceBlit,
                         ::testing::Values(Move{0, -1}, Move{0, 2}, Move{-2, 0}, Move{2, 0}, Move{1, 1},
                                           Move{-1, -1}, Move{2, -1}, Move{0, 0}));

TEST(GdiSpans, BlitLeavesThePixelsWhoseSourceLiesOutsideTheSourceBitmap) {
    Canvas src(4, 3, RGB(255, 0, 0));
    Canvas dst(6, 5, RGB(0, 0, 255));
    BitBlt(dst.dc, 0, 0, 6, 5, src.dc, -1, 1, SRCCOPY);
    EXPECT_EQ(dst.Map(RGB(255, 0, 0)), wintest::Rows({".####.", ".####.", "......", "......", "......"}));
}

// A DIB of the given depth selected into a memory DC, every pixel white.
struct DeepCanvas {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bm = nullptr;
    HGDIOBJ old = nullptr;
    DeepCanvas(int W, int H, int Bpp) {
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = W;
        bmi.bmiHeader.biHeight = -H;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = WORD(Bpp);
        void* bits = nullptr;
        bm = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bm);
        RECT r{0, 0, W, H};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~DeepCanvas() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bm);
    }
};

// Lines along rows and columns, drawn either way, through a clip with holes: every pixel from the
// start up to the end point left out, where the clip lets it through, on 32- and 24-bit targets.
TEST(GdiSpans, StraightLinesEitherWayThroughAClipWithHoles) {
    constexpr int W = 10, H = 8;
    const struct {
        POINT a, b;
    } Lines[] = {{{1, 1}, {9, 1}}, {{8, 2}, {0, 2}}, {{2, 0}, {2, 7}}, {{7, 7}, {7, 0}}, {{0, 3}, {10, 3}}};
    const auto clipped = [](int x, int y) { return (x >= 4 && x < 6) || (y == 5 && x < 3); };
    const auto onLine = [&](int x, int y) {
        for (const auto& l : Lines) {
            if (l.a.y == l.b.y && y == l.a.y &&
                (l.a.x < l.b.x ? x >= l.a.x && x < l.b.x : x > l.b.x && x <= l.a.x))
                return true;
            if (l.a.x == l.b.x && x == l.a.x &&
                (l.a.y < l.b.y ? y >= l.a.y && y < l.b.y : y > l.b.y && y <= l.a.y))
                return true;
        }
        return false;
    };
    for (int bpp : {32, 24}) {
        DeepCanvas c(W, H, bpp);
        ExcludeClipRect(c.dc, 4, 0, 6, H);
        ExcludeClipRect(c.dc, 0, 5, 3, 6);
        for (const auto& l : Lines) {
            MoveToEx(c.dc, l.a.x, l.a.y, nullptr);
            LineTo(c.dc, l.b.x, l.b.y);
        }
        SelectClipRgn(c.dc, nullptr);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                EXPECT_EQ(GetPixel(c.dc, x, y), onLine(x, y) && !clipped(x, y) ? RGB(0, 0, 0) : RGB(255, 255, 255))
                    << bpp << " bits at " << x << "," << y;
    }
}

// Copies from 24-bit to 32-bit targets and back: each pixel from its source, none where the clip
// has a hole or the source has no pixel.
TEST(GdiSpans, CopiesBetweenTwentyFourAndThirtyTwoBitTargetsKeepEveryColour) {
    constexpr int SW = 6, SH = 4, DW = 8, DH = 6;
    const auto colour = [](int x, int y) { return RGB(10 + x * 30, 200 - y * 40, 7 * (x + y)); };
    for (const auto& [from, to] : {std::pair{24, 32}, std::pair{32, 24}}) {
        DeepCanvas src(SW, SH, from), dst(DW, DH, to);
        for (int y = 0; y < SH; ++y)
            for (int x = 0; x < SW; ++x) SetPixelV(src.dc, x, y, colour(x, y));
        ExcludeClipRect(dst.dc, 3, 0, 4, DH);
        ASSERT_TRUE(BitBlt(dst.dc, 0, 0, DW, DH, src.dc, -1, 1, SRCCOPY));
        SelectClipRgn(dst.dc, nullptr);
        for (int y = 0; y < DH; ++y)
            for (int x = 0; x < DW; ++x) {
                const int sx = x - 1, sy = y + 1;
                const bool copied = x != 3 && sx >= 0 && sx < SW && sy < SH;
                EXPECT_EQ(GetPixel(dst.dc, x, y), copied ? colour(sx, sy) : RGB(255, 255, 255))
                    << from << " to " << to << " bits at " << x << "," << y;
            }
    }
}

} // namespace
