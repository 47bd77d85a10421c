// tests/styling/hooks/StyleGraphicsTest.cpp: colour and bitmap helpers, DC shortcuts and the small
// window helpers of the style hooks.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "styling/hooks/StyleGraphics.h"
#include "styling/hooks/StyleMisc.h"
#include "vcl/Forms.h"

using namespace vcl;
using namespace styling;

namespace {

// A 32-bit bitmap filled with one colour, alpha included.
std::unique_ptr<TBitmap> Filled(int W, int H, TColor Color, uint8_t Alpha = 255) {
    auto bmp = std::make_unique<TBitmap>(W, H);
    bmp->SetPixelFormat(pf32bit);
    FillBitmapColor(bmp.get(), Alpha, Color);
    return bmp;
}

// Blue, green, red and alpha of a 32-bit bitmap's pixel.
struct Bgra {
    int B, G, R, A;
    friend bool operator==(const Bgra&, const Bgra&) = default;
};
Bgra At(TBitmap& Bmp, int X, int Y) {
    const auto* p = static_cast<const uint8_t*>(Bmp.ScanLine(Y)) + X * 4;
    return {p[0], p[1], p[2], p[3]};
}
void Put(TBitmap& Bmp, int X, int Y, Bgra V) {
    auto* p = static_cast<uint8_t*>(Bmp.ScanLine(Y)) + X * 4;
    p[0] = uint8_t(V.B), p[1] = uint8_t(V.G), p[2] = uint8_t(V.R), p[3] = uint8_t(V.A);
}
std::ostream& operator<<(std::ostream& S, const Bgra& V) {
    return S << "(b" << V.B << " g" << V.G << " r" << V.R << " a" << V.A << ")";
}

COLORREF Pixel(TBitmap& Bmp, int X, int Y) { return GetPixel(Bmp.Canvas()->Handle(), X, Y) & 0xFFFFFF; }

} // namespace

TEST(StyleColours, LightnessClampAndSplit) {
    EXPECT_TRUE(IsLightColor(clWhite));
    EXPECT_FALSE(IsLightColor(clBlack));
    EXPECT_TRUE(IsLightColor(TColor(0x808080)));  // 0.498: light
    EXPECT_FALSE(IsLightColor(TColor(0x7F7F7F))); // 0.502: dark
    EXPECT_FALSE(IsLightColor(TColor(0xFF0000))); // pure blue is dark, pure green light
    EXPECT_TRUE(IsLightColor(TColor(0x00FF00)));

    const int clamps[][2] = {{256, 255}, {255, 255}, {1000, 255}, {0, 0}, {-1, 0}, {-300, 0}, {77, 77}};
    for (auto [in, out] : clamps) EXPECT_EQ(ClampByte(in), out) << in;

    uint8_t r, g, b;
    SplitRGB(TColor(0x00332211), r, g, b);
    EXPECT_EQ(r, 0x11);
    EXPECT_EQ(g, 0x22);
    EXPECT_EQ(b, 0x33);
    SplitRGB(clBtnFace, r, g, b); // a system colour is resolved first
    EXPECT_EQ(RGB(r, g, b), COLORREF(GetSysColor(COLOR_BTNFACE)) & 0xFFFFFF);
}

TEST(StyleBitmaps, FillAlphaKeyAndGrey) {
    auto bmp = Filled(3, 2, TColor(0x00336699), 7);
    EXPECT_EQ(At(*bmp, 2, 1), (Bgra{0x33, 0x66, 0x99, 7}));

    Put(*bmp, 0, 0, {1, 2, 3, 9});
    SetBitmapAlpha(bmp.get(), 200, TColor(0x00336699));
    EXPECT_EQ(At(*bmp, 0, 0), (Bgra{1, 2, 3, 200}));
    EXPECT_EQ(At(*bmp, 1, 1), (Bgra{0x33, 0x66, 0x99, 7})) << "the key colour keeps its alpha";

    Put(*bmp, 0, 0, {30, 20, 10, 40});  // 2.99 + 11.74 + 3.42 = 18.15
    Put(*bmp, 1, 0, {0, 0, 250, 41});   // 74.75
    Put(*bmp, 2, 0, {255, 255, 255, 42});
    GrayscaleBitmap(bmp.get());
    EXPECT_EQ(At(*bmp, 0, 0), (Bgra{18, 18, 18, 40}));
    EXPECT_EQ(At(*bmp, 1, 0), (Bgra{75, 75, 75, 41}));
    EXPECT_EQ(At(*bmp, 2, 0), (Bgra{255, 255, 255, 42}));
}

TEST(StyleBitmaps, OtherPixelFormatsAreLeftAlone) {
    TBitmap bmp(4, 3);
    bmp.SetPixelFormat(pf24bit);
    bmp.Canvas()->Brush()->SetColor(TColor(0x102030));
    bmp.Canvas()->FillRect(Rect(0, 0, 4, 3));
    std::vector<uint8_t> before(static_cast<uint8_t*>(bmp.ScanLine(0)), static_cast<uint8_t*>(bmp.ScanLine(0)) + 12);
    FillBitmapColor(&bmp, 255, clWhite);
    SetBitmapAlpha(&bmp, 255, clBlack);
    GrayscaleBitmap(&bmp);
    DarkenBitmap(&bmp, 200);
    EXPECT_EQ(0, std::memcmp(before.data(), bmp.ScanLine(0), before.size()));
}

TEST(StyleBitmaps, FiltersChangeColourAndKeepAlpha) {
    auto bmp = Filled(2, 2, TColor(0x00FF80C8), 33); // red 200, green 128, blue 255
    DarkenBitmap(bmp.get(), 128);
    // c - c * 128 div 255: 200 -> 100, 128 -> 64, 255 -> 127
    EXPECT_EQ(At(*bmp, 1, 1), (Bgra{127, 64, 100, 33}));

    struct Case {
        uint32_t Base, Top, Burnt;
    } burns[] = {
        {0x00FFFFFF, 0x00102030, 0x00FFFFFF}, // white stays white
        {0x00000000, 0x00FFFFFF, 0x00000000}, // 255 - 255*256/255 < 0
        {0x00808080, 0x00FF0000, 0x00800000}, // zero top channels burn to 0; 255 - 127*256 div 255
        {0x00C0C0C0, 0x00FFFFFF, 0x00C0C0C0}, // 255 - 63*256 div 255 = 255 - 63
        {0x00808080, 0x00808080, 0x00010101}, // 255 - 127*256 div 128 = 1
    };
    for (const auto& c : burns) EXPECT_EQ(ColorBurnFilter(c.Base, c.Top), c.Burnt) << std::hex << c.Base;

    auto burnt = Filled(2, 2, TColor(0x00C0C0C0), 99);
    ApplyBitmapFilter(burnt.get(), 0x00FF00FF, &ColorBurnFilter);
    EXPECT_EQ(At(*burnt, 0, 1), (Bgra{0xC0, 0, 0xC0, 99}));
}

TEST(StyleBitmaps, HalfTurnKeepsTheSizeAndQuarterTurnSwapsIt) {
    auto bmp = Filled(20, 10, clWhite);
    bmp->Canvas()->Brush()->SetColor(TColor(0x0000FF));
    bmp->Canvas()->FillRect(Rect(0, 0, 4, 3));
    RotateBitmap(bmp.get(), float(M_PI), false, clLime);
    ASSERT_EQ(bmp->Width(), 20);
    ASSERT_EQ(bmp->Height(), 10);
    EXPECT_EQ(Pixel(*bmp, 18, 8), RGB(255, 0, 0)) << "the top-left corner turns to the bottom right";
    EXPECT_EQ(Pixel(*bmp, 1, 1), RGB(255, 255, 255));

    auto tall = Filled(20, 10, clWhite);
    tall->Canvas()->Brush()->SetColor(TColor(0x0000FF));
    tall->Canvas()->FillRect(Rect(0, 0, 4, 3));
    RotateBitmap(tall.get(), float(M_PI / 2), true, clLime);
    ASSERT_EQ(tall->Width(), 10);
    ASSERT_EQ(tall->Height(), 20);
    // A quarter turn clockwise on screen (y down): the top-left corner goes to the top right.
    EXPECT_EQ(Pixel(*tall, 8, 1), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(*tall, 1, 18), RGB(255, 255, 255)) << "the whole picture is turned, not a W' x H' piece";

    auto wide = Filled(20, 10, clWhite);
    RotateBitmap(wide.get(), float(M_PI / 2), false, clLime);
    EXPECT_EQ(wide->Width(), 20);
    EXPECT_EQ(Pixel(*wide, 1, 5), RGB(0, 255, 0)) << "what the turned picture leaves uncovered is BackColor";
}

TEST(StyleDrawing, FillFrameAndBlend) {
    auto bmp = Filled(20, 20, clBlack);
    HDC dc = bmp->Canvas()->Handle();
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);

    FrameRectColor(dc, Rect(2, 2, 10, 8), TColor(0x0000FF));
    EXPECT_EQ(Pixel(*bmp, 2, 2), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(*bmp, 9, 7), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(*bmp, 10, 8), RGB(0, 0, 0)) << "right and bottom are exclusive";
    EXPECT_EQ(Pixel(*bmp, 5, 5), RGB(0, 0, 0)) << "no fill";

    FillRectColor(dc, Rect(12, 0, 20, 4), clWhite);
    EXPECT_EQ(Pixel(*bmp, 19, 3), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(*bmp, 19, 4), RGB(0, 0, 0));

    AlphaFillRect(dc, clWhite, Rect(0, 10, 10, 20), 128);
    const COLORREF half = Pixel(*bmp, 5, 15);
    EXPECT_NEAR(GetRValue(half), 128, 2);
    EXPECT_EQ(Pixel(*bmp, 11, 15), RGB(0, 0, 0));

    AlphaFrameRect(dc, TColor(0x00FF00), Rect(10, 10, 20, 20), 255);
    EXPECT_EQ(Pixel(*bmp, 15, 15), RGB(0, 255, 0));
    EXPECT_EQ(Pixel(*bmp, 10, 19), RGB(0, 255, 0));

    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
}

TEST(StyleDrawing, ArrowsPointWhereAsked) {
    struct Case {
        TStyleArrowDirection Direction;
        POINT Tip, Back;  // a pixel at the point and one the triangle leaves empty
    } cases[] = {
        {TStyleArrowDirection::Left, {10, 14}, {10, 10}},
        {TStyleArrowDirection::Right, {14, 14}, {14, 10}},
        {TStyleArrowDirection::Up, {14, 10}, {10, 10}},
        {TStyleArrowDirection::Down, {14, 14}, {10, 14}},
    };
    for (const auto& c : cases) {
        auto bmp = Filled(30, 30, clBlack);
        HDC dc = bmp->Canvas()->Handle();
        const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
        DrawStyleArrow(dc, c.Direction, TPoint(10, 10), 4, clWhite);
        EXPECT_EQ(Pixel(*bmp, c.Tip.x, c.Tip.y), RGB(255, 255, 255)) << int(c.Direction);
        EXPECT_EQ(Pixel(*bmp, c.Back.x, c.Back.y), RGB(0, 0, 0)) << int(c.Direction);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    }

    auto bmp = Filled(30, 20, clBlack);
    HDC dc = bmp->Canvas()->Handle();
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    DrawDropDownArrow(dc, Rect(0, 0, 30, 20), clWhite);
    // Rows 8..11 hold 7, 5, 3 and 1 pixels, from x = 19..25 down to x = 22.
    const struct {
        int Y, From, To;
    } rows[] = {{8, 19, 25}, {9, 20, 24}, {10, 21, 23}, {11, 22, 22}};
    for (const auto& r : rows) {
        EXPECT_EQ(Pixel(*bmp, r.From - 1, r.Y), RGB(0, 0, 0)) << r.Y;
        EXPECT_EQ(Pixel(*bmp, r.From, r.Y), RGB(255, 255, 255)) << r.Y;
        EXPECT_EQ(Pixel(*bmp, r.To, r.Y), RGB(255, 255, 255)) << r.Y;
        EXPECT_EQ(Pixel(*bmp, r.To + 1, r.Y), RGB(0, 0, 0)) << r.Y;
    }
    EXPECT_EQ(Pixel(*bmp, 22, 7), RGB(0, 0, 0));
    EXPECT_EQ(Pixel(*bmp, 22, 12), RGB(0, 0, 0));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
}

namespace {
LRESULT CALLBACK StripedParent(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) {
        // White, with a red square at (20, 20)-(30, 30) of the parent.
        HDC dc = HDC(wp);
        RECT all{0, 0, 100, 100}, square{20, 20, 30, 30};
        FillRect(dc, &all, HBRUSH(GetStockObject(WHITE_BRUSH)));
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &square, red);
        DeleteObject(red);
        return 1;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}
} // namespace

TEST(StyleDrawing, ParentBackgroundLandsBehindTheChild) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = StripedParent;
    wc.lpszClassName = u"TwStyleStripedParent";
    RegisterClassW(&wc);
    HWND parent = CreateWindowExW(0, u"TwStyleStripedParent", u"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND child = CreateWindowExW(0, u"Static", u"", WS_CHILD, 15, 15, 20, 20, parent, nullptr, nullptr, nullptr);
    ASSERT_TRUE(parent && child);
    auto bmp = Filled(20, 20, clBlue);
    HDC dc = bmp->Canvas()->Handle();
    EraseParentBackground(child, dc, Rect(2, 2, 20, 20));
    EXPECT_EQ(Pixel(*bmp, 1, 1), RGB(0, 0, 255)) << "outside R stays";
    EXPECT_EQ(Pixel(*bmp, 3, 3), RGB(255, 255, 255));   // the parent's (18, 18)
    EXPECT_EQ(Pixel(*bmp, 10, 10), RGB(255, 0, 0));     // the parent's (25, 25)
    EraseParentBackground(child, dc, Rect(5, 5, 5, 10)); // empty: nothing
    EraseParentBackground(parent, dc, Rect(0, 0, 4, 4)); // no parent: nothing
    EXPECT_EQ(Pixel(*bmp, 1, 1), RGB(0, 0, 255));

    EXPECT_EQ(GetWindowClassName(child).toLower(), QStringLiteral("static"));
    EXPECT_EQ(GetWindowClassName(parent), QStringLiteral("TwStyleStripedParent"));
    DestroyWindow(parent);
    EXPECT_TRUE(GetWindowClassName(parent).isEmpty());
    EXPECT_TRUE(GetWindowClassName(nullptr).isEmpty());
}

TEST(StyleMisc, CentringAndOrigin) {
    const struct {
        TRect R, Bounds, Want;
    } cases[] = {
        {Rect(50, 50, 60, 54), Rect(0, 10, 100, 30), Rect(0, 18, 10, 22)},
        {Rect(0, 0, 10, 5), Rect(3, 10, 100, 20), Rect(3, 12, 13, 17)}, // odd difference rounds down
        {Rect(0, 0, 10, 40), Rect(0, 10, 100, 30), Rect(0, 0, 10, 40)}, // taller: above Bounds.Top
    };
    for (const auto& c : cases) EXPECT_EQ(CenterRectVertically(c.R, c.Bounds), c.Want) << c.Want.Top;

    auto bmp = Filled(4, 4, clBlack);
    HDC dc = bmp->Canvas()->Handle();
    SetWindowOrgEx(dc, 5, 7, nullptr);
    MoveWindowOrg(dc, 2, -3);
    POINT origin{};
    GetWindowOrgEx(dc, &origin);
    EXPECT_EQ(origin.x, 3);
    EXPECT_EQ(origin.y, 10);
}

TEST(StyleMisc, MetricsFollowTheScreenDpi) {
    const UINT dpi = UINT(Screen ? Screen->PixelsPerInch() : 96);
    EXPECT_EQ(GetSysMetricsForDpi(SM_CXVSCROLL), GetSystemMetricsForDpi(SM_CXVSCROLL, dpi));
}

namespace {
// The system style, recording what it is asked to draw and changing the DC's text colour as it does.
class RecordingStyle : public TUxThemeStyle {
public:
    int Calls = 0;
    TRect Drawn;
    bool Clipped = true;
    int Dpi = -1;
    bool DrawElement(HDC DC, const TThemedElementDetails&, const TRect& R, const TRect* ClipRect,
                     int DPI) override {
        ++Calls, Drawn = R, Clipped = ClipRect != nullptr, Dpi = DPI;
        SetTextColor(DC, RGB(1, 2, 3));
        return true;
    }
};
} // namespace

TEST(StyleDrawing, ElementGoesToTheGivenStyleWithTheDcSavedOnRequest) {
    RecordingStyle style;
    auto bmp = Filled(10, 10, clBlack);
    HDC dc = bmp->Canvas()->Handle();
    SetTextColor(dc, RGB(9, 9, 9));
    const auto details = style.GetElementDetails(tbPushButtonNormal);
    DrawStyleElement(dc, details, Rect(1, 2, 8, 9), true, &style);
    EXPECT_EQ(style.Calls, 1);
    EXPECT_EQ(style.Drawn, Rect(1, 2, 8, 9));
    EXPECT_FALSE(style.Clipped);
    EXPECT_EQ(style.Dpi, 0);
    EXPECT_EQ(GetTextColor(dc), RGB(9, 9, 9)) << "state saved and restored";
    DrawStyleElement(dc, details, Rect(1, 2, 8, 9), false, &style);
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3)) << "state left as the style left it";
}
