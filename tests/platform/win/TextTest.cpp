// Fonts, text output and DrawText measured with DejaVu Sans.
#include "Canvas.h"

#include <QFontDatabase>

#include <cstring>

using wintest::Canvas;
using wintest::Selected;

namespace {

HFONT MakeFont(LONG height, const char16_t* face, LONG escapement = 0, LONG weight = FW_NORMAL) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfEscapement = escapement;
    lf.lfOrientation = escapement;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::memcpy(lf.lfFaceName, face, std::char_traits<char16_t>::length(face) * 2);
    return CreateFontIndirectW(&lf);
}

std::u16string Face(HDC dc) {
    WCHAR name[64] = {};
    GetTextFaceW(dc, 64, name);
    return name;
}

int Extent(HDC dc, const std::u16string& s) {
    SIZE sz{};
    GetTextExtentPoint32W(dc, s.c_str(), int(s.size()), &sz);
    return sz.cx;
}

// Bounds of the pixels that are not the background colour, or an empty rect.
RECT Ink(const Canvas& c, COLORREF background = RGB(255, 255, 255)) {
    RECT r{c.w, c.h, -1, -1};
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            if (c.At(x, y) != background) {
                r.left = std::min<LONG>(r.left, x), r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1), r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
    return r.right < 0 ? RECT{0, 0, 0, 0} : r;
}

class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans")))
            GTEST_SKIP() << "DejaVu fonts are not installed";
    }
};

TEST_F(TextTest, MapsWindowsFamiliesToDejaVu) {
    Canvas c(4, 4);
    {
        Selected f(c.dc, MakeFont(-12, u"Tahoma"));
        EXPECT_EQ(Face(c.dc), u"DejaVu Sans");
    }
    {
        Selected f(c.dc, MakeFont(-12, u"Courier New"));
        EXPECT_EQ(Face(c.dc), u"DejaVu Sans Mono");
        EXPECT_EQ(Extent(c.dc, u"WWW"), 3 * Extent(c.dc, u"i")); // one width for every character
    }
}

TEST_F(TextTest, NegativeHeightIsTheCharacterHeightAndPositiveTheCellHeight) {
    Canvas c(4, 4);
    TEXTMETRICW tm{};
    {
        Selected f(c.dc, MakeFont(-12, u"Segoe UI"));
        ASSERT_TRUE(GetTextMetricsW(c.dc, &tm));
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 12);
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
        EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH); // set for variable pitch, as on Windows
        SIZE sz{};
        GetTextExtentPoint32W(c.dc, u"Wq", 2, &sz);
        EXPECT_EQ(sz.cy, tm.tmHeight);
        EXPECT_GT(sz.cx, 0);
    }
    {
        Selected f(c.dc, MakeFont(20, u"Segoe UI"));
        GetTextMetricsW(c.dc, &tm);
        EXPECT_NEAR(tm.tmHeight, 20, 1);
    }
    {
        Selected f(c.dc, MakeFont(-12, u"Segoe UI", 0, FW_BOLD));
        GetTextMetricsW(c.dc, &tm);
        EXPECT_EQ(tm.tmWeight, FW_BOLD);
    }
}

TEST_F(TextTest, ExtentsAddCharacterExtraAndReportWhatFits) {
    Canvas c(4, 4);
    Selected f(c.dc, MakeFont(-12, u"Arial"));
    const std::u16string s = u"Hello";
    const int plain = Extent(c.dc, s);
    SetTextCharacterExtra(c.dc, 2);
    EXPECT_EQ(Extent(c.dc, s), plain + 10);
    SetTextCharacterExtra(c.dc, 0);
    int fit = -1, dx[5] = {};
    SIZE sz{};
    ASSERT_TRUE(GetTextExtentExPointW(c.dc, s.c_str(), 5, Extent(c.dc, u"Hel"), &fit, dx, &sz));
    EXPECT_EQ(fit, 3);
    EXPECT_EQ(dx[4], sz.cx);
    EXPECT_LT(dx[0], dx[1]);
}

// One text measured in turn with fonts of other sizes, and with a font made after another was
// deleted, takes each font's own width.
TEST_F(TextTest, TheSameTextTakesTheWidthOfTheFontItIsMeasuredWith) {
    Canvas c(4, 4);
    const std::u16string s = u"Measured";
    int small = 0, large = 0;
    {
        Selected f(c.dc, MakeFont(-10, u"Arial"));
        small = Extent(c.dc, s);
    }
    {
        Selected f(c.dc, MakeFont(-20, u"Arial"));
        large = Extent(c.dc, s);
    }
    EXPECT_GT(large, small + small / 2);
    for (int i = 0; i < 3; ++i) {
        Selected f(c.dc, MakeFont(i % 2 ? -20 : -10, u"Arial"));
        EXPECT_EQ(Extent(c.dc, s), i % 2 ? large : small) << i;
    }
}

TEST_F(TextTest, TextOutAlignsOnTheGivenPointAndPaintsTheOpaqueBox) {
    Canvas c(120, 40);
    Selected f(c.dc, MakeFont(-16, u"Arial"));
    TEXTMETRICW tm{};
    GetTextMetricsW(c.dc, &tm);
    const int w = Extent(c.dc, u"Text");
    SetBkColor(c.dc, RGB(0, 0, 255));
    SetBkMode(c.dc, OPAQUE);
    TextOutW(c.dc, 10, 5, u"Text", 4);
    // The background box is exactly the text cell.
    EXPECT_EQ(c.At(10, 5), RGB(0, 0, 255));
    EXPECT_EQ(c.At(10 + w - 1, 5 + tm.tmHeight - 1), RGB(0, 0, 255));
    EXPECT_EQ(c.At(10 + w, 5), RGB(255, 255, 255));
    EXPECT_EQ(c.At(9, 5), RGB(255, 255, 255));
    EXPECT_EQ(c.At(10, 5 + tm.tmHeight), RGB(255, 255, 255));

    c.Fill(RGB(255, 255, 255));
    SetBkMode(c.dc, TRANSPARENT);
    SetTextAlign(c.dc, TA_RIGHT | TA_BOTTOM);
    TextOutW(c.dc, 100, 30, u"Text", 4);
    const RECT ink = Ink(c);
    EXPECT_LE(ink.right, 100);
    EXPECT_GE(ink.right, 100 - 3);
    EXPECT_LE(ink.bottom, 30);
    EXPECT_GE(ink.left, 100 - w - 1);
}

TEST_F(TextTest, ExtTextOutClipsAndFillsItsRectangle) {
    Canvas c(80, 30);
    Selected f(c.dc, MakeFont(-16, u"Arial"));
    SetBkColor(c.dc, RGB(0, 255, 0));
    SetBkMode(c.dc, TRANSPARENT);
    const RECT r{5, 2, 20, 25};
    ExtTextOutW(c.dc, 0, 2, ETO_CLIPPED | ETO_OPAQUE, &r, u"WWWWWW", 6, nullptr);
    EXPECT_EQ(c.At(5, 2), RGB(0, 255, 0));
    EXPECT_EQ(c.At(19, 24), RGB(0, 255, 0));
    const RECT ink = Ink(c);
    EXPECT_EQ(ink.left, 5);
    EXPECT_EQ(ink.right, 20);
}

TEST_F(TextTest, EscapementTurnsTextCounterClockwise) {
    Canvas c(60, 80);
    Selected f(c.dc, MakeFont(-16, u"Arial", 900));
    SetBkMode(c.dc, TRANSPARENT);
    TextOutW(c.dc, 10, 70, u"Rotated", 7);
    const RECT ink = Ink(c);
    // The line runs upwards from (10, 70); the glyphs' tops face left, so with TA_TOP the cell lies
    // right of x = 10 and above y = 70.
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 10 + 20);
    EXPECT_LE(ink.bottom, 71);
    EXPECT_GT(ink.bottom - ink.top, ink.right - ink.left);
}

// ---- DrawText ----

class DrawTextTest : public TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        if (IsSkipped()) return;
        font_ = MakeFont(-12, u"Segoe UI");
        old_ = SelectObject(c_.dc, font_);
        GetTextMetricsW(c_.dc, &tm_);
    }
    void TearDown() override {
        if (font_) {
            SelectObject(c_.dc, old_);
            DeleteObject(font_);
        }
    }
    RECT Calc(const std::u16string& s, UINT flags, RECT r = {0, 0, 0, 0}) {
        DrawTextW(c_.dc, s.c_str(), int(s.size()), &r, flags | DT_CALCRECT);
        return r;
    }
    int Width(const std::u16string& s) { return Extent(c_.dc, s); }

    Canvas c_{200, 60};
    HFONT font_ = nullptr;
    HGDIOBJ old_ = nullptr;
    TEXTMETRICW tm_{};
};

TEST_F(DrawTextTest, CalcRectMeasuresOneLine) {
    RECT r{10, 20, 11, 21};
    const int h = DrawTextW(c_.dc, u"Convert", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(h, tm_.tmHeight);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right, 10 + Width(u"Convert"));
    EXPECT_EQ(r.bottom, 20 + tm_.tmHeight);
}

TEST_F(DrawTextTest, LinesBreakAtCrLfAndTheWidestLineWins) {
    const RECT r = Calc(u"one\r\nthree\nxx\rlast", 0);
    EXPECT_EQ(r.bottom, 4 * tm_.tmHeight);
    EXPECT_EQ(r.right, std::max({Width(u"one"), Width(u"three"), Width(u"xx"), Width(u"last")}));
    const RECT single = Calc(u"one\r\nthree", DT_SINGLELINE);
    EXPECT_EQ(single.bottom, tm_.tmHeight);
}

TEST_F(DrawTextTest, WordBreakWrapsBetweenWordsAndKeepsLongWordsWholeUnlessEditControl) {
    const int full = Width(u"alpha beta");
    RECT r = Calc(u"alpha beta", DT_WORDBREAK, RECT{0, 0, full - 1, 0});
    EXPECT_EQ(r.bottom, 2 * tm_.tmHeight);
    EXPECT_EQ(r.right, std::max(Width(u"alpha"), Width(u"beta"))); // the space at the break is dropped
    r = Calc(u"alpha beta", DT_WORDBREAK, RECT{0, 0, full, 0});
    EXPECT_EQ(r.bottom, tm_.tmHeight);
    // A word wider than the line stays whole (and widens the result) ...
    r = Calc(u"extraordinarily", DT_WORDBREAK, RECT{0, 0, 20, 0});
    EXPECT_EQ(r.bottom, tm_.tmHeight);
    EXPECT_EQ(r.right, Width(u"extraordinarily"));
    // ... unless the layout is an edit control's.
    r = Calc(u"extraordinarily", DT_WORDBREAK | DT_EDITCONTROL, RECT{0, 0, 20, 0});
    EXPECT_GT(r.bottom, tm_.tmHeight);
    EXPECT_LE(r.right, 20);
}

struct PrefixCase {
    const char16_t* text;
    UINT flags;
    const char16_t* shown;
};

class PrefixTable : public DrawTextTest, public ::testing::WithParamInterface<PrefixCase> {};

TEST_P(PrefixTable, MeasuresTheTextAsShown) {
    const auto& k = GetParam();
    EXPECT_EQ(Calc(k.text, k.flags | DT_SINGLELINE).right, Width(k.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Prefixes, PrefixTable,
    ::testing::Values(PrefixCase{u"&File", 0, u"File"}, PrefixCase{u"Save && Exit", 0, u"Save & Exit"},
                      PrefixCase{u"Tom &", 0, u"Tom &"}, PrefixCase{u"&File", DT_NOPREFIX, u"&File"},
                      PrefixCase{u"&File", DT_HIDEPREFIX, u"File"}, PrefixCase{u"a&&&b", 0, u"a&b"}));

TEST_F(DrawTextTest, PrefixUnderlinesTheCharacterUnlessHidden) {
    SetBkMode(c_.dc, TRANSPARENT);
    RECT r{0, 0, 200, 60};
    DrawTextW(c_.dc, u"&W", -1, &r, DT_SINGLELINE);
    const auto underlined = c_.Pixels();
    c_.Fill(RGB(255, 255, 255));
    DrawTextW(c_.dc, u"&W", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
    const auto hidden = c_.Pixels();
    c_.Fill(RGB(255, 255, 255));
    DrawTextW(c_.dc, u"W", -1, &r, DT_SINGLELINE);
    EXPECT_EQ(hidden, c_.Pixels());
    EXPECT_NE(underlined, hidden);
    // The underline sits below the baseline, as wide as the character.
    EXPECT_EQ(c_.At(1, tm_.tmAscent + 1), RGB(255, 255, 255));
    c_.Fill(RGB(255, 255, 255));
    DrawTextW(c_.dc, u"&W", -1, &r, DT_SINGLELINE);
    EXPECT_EQ(c_.At(1, tm_.tmAscent + 1), RGB(0, 0, 0));
}

// Draws text and returns the pixels, for comparing two ways of drawing.
std::vector<uint32_t> Drawn(Canvas& c, const std::u16string& s, RECT r, UINT flags) {
    c.Fill(RGB(255, 255, 255));
    DrawTextW(c.dc, s.c_str(), int(s.size()), &r, flags);
    return c.Pixels();
}

TEST_F(DrawTextTest, EndEllipsisKeepsWhatFitsBeforeThreeDots) {
    SetBkMode(c_.dc, TRANSPARENT);
    const std::u16string s = u"Conversion finished";
    const RECT r{0, 0, Width(u"Conversion fi") + 2, 20};
    std::u16string expected;
    for (size_t k = s.size(); k > 0; --k)
        if (Width(s.substr(0, k) + u"...") <= r.right) {
            expected = s.substr(0, k) + u"...";
            break;
        }
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(Drawn(c_, s, r, DT_SINGLELINE | DT_END_ELLIPSIS), Drawn(c_, expected, r, DT_SINGLELINE));
    // A text that fits is left alone, and measuring ignores the ellipsis.
    EXPECT_EQ(Drawn(c_, u"Done", r, DT_SINGLELINE | DT_END_ELLIPSIS), Drawn(c_, u"Done", r, DT_SINGLELINE));
    EXPECT_EQ(Calc(s, DT_SINGLELINE | DT_END_ELLIPSIS, r).right, Width(s));
}

TEST_F(DrawTextTest, PathEllipsisKeepsTheLastPathElement) {
    SetBkMode(c_.dc, TRANSPARENT);
    const std::u16string s = u"/home/user/Music/Album/track01.webm";
    const RECT r{0, 0, Width(u"/home/u.../track01.webm") + 1, 20};
    const std::u16string head = u"/home/user/Music/Album", tail = u"/track01.webm";
    std::u16string expected;
    for (size_t k = head.size(); k > 0; --k)
        if (Width(head.substr(0, k) + u"..." + tail) <= r.right) {
            expected = head.substr(0, k) + u"..." + tail;
            break;
        }
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(Drawn(c_, s, r, DT_SINGLELINE | DT_PATH_ELLIPSIS), Drawn(c_, expected, r, DT_SINGLELINE));
}

TEST_F(DrawTextTest, VerticalPlacementAndReturnValueOfSingleLines) {
    RECT r{0, 0, 200, 40};
    EXPECT_EQ(DrawTextW(c_.dc, u"Mid", -1, &r, DT_SINGLELINE | DT_VCENTER),
              (40 - tm_.tmHeight) / 2 + tm_.tmHeight);
    EXPECT_EQ(DrawTextW(c_.dc, u"Low", -1, &r, DT_SINGLELINE | DT_BOTTOM), 40);
    EXPECT_EQ(DrawTextW(c_.dc, u"Top", -1, &r, DT_SINGLELINE), tm_.tmHeight);
}

TEST_F(DrawTextTest, CentredAndRightAlignedLinesAndClipping) {
    SetBkMode(c_.dc, TRANSPARENT);
    RECT r{0, 0, 100, 20};
    const int w = Width(u"II");
    DrawTextW(c_.dc, u"II", -1, &r, DT_SINGLELINE | DT_CENTER);
    RECT ink = Ink(c_);
    EXPECT_NEAR(ink.left, (100 - w) / 2, 2);
    c_.Fill(RGB(255, 255, 255));
    DrawTextW(c_.dc, u"II", -1, &r, DT_SINGLELINE | DT_RIGHT);
    ink = Ink(c_);
    EXPECT_LE(ink.right, 100);
    EXPECT_GE(ink.right, 100 - 3);
    // Without DT_NOCLIP nothing leaves the rectangle.
    c_.Fill(RGB(255, 255, 255));
    r = RECT{0, 0, 10, 20};
    DrawTextW(c_.dc, u"WWWWWW", -1, &r, DT_SINGLELINE);
    EXPECT_LE(Ink(c_).right, 10);
    c_.Fill(RGB(255, 255, 255));
    DrawTextW(c_.dc, u"WWWWWW", -1, &r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(Ink(c_).right, 10);
}

TEST_F(DrawTextTest, EmptyTextDrawsNothingAndMeasuresEmpty) {
    RECT r{5, 5, 50, 50};
    EXPECT_EQ(DrawTextW(c_.dc, u"", -1, &r, DT_CALCRECT), 0);
    EXPECT_EQ(r.right, 5);
    EXPECT_EQ(r.bottom, 5);
    const auto before = c_.Pixels();
    r = RECT{0, 0, 50, 50};
    SetBkMode(c_.dc, OPAQUE);
    DrawTextW(c_.dc, u"", 0, &r, 0);
    EXPECT_EQ(c_.Pixels(), before);
}

TEST_F(DrawTextTest, DrawTextExAddsMarginsAndReportsTheLength) {
    DRAWTEXTPARAMS p{sizeof(DRAWTEXTPARAMS), 0, 3, 4, 0};
    WCHAR text[] = u"Margins";
    RECT r{0, 0, 0, 0};
    DrawTextExW(c_.dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE, &p);
    EXPECT_EQ(r.right, 3 + Width(u"Margins") + 4);
    EXPECT_EQ(p.uiLengthDrawn, 7u);
    p.cbSize = 12;
    EXPECT_EQ(DrawTextExW(c_.dc, text, -1, &r, 0, &p), 0); // a wrong size is refused
}

TEST_F(DrawTextTest, ExpandsTabsToEightAverageCharacters) {
    const RECT r = Calc(u"a\tb", DT_SINGLELINE | DT_EXPANDTABS);
    EXPECT_EQ(r.right, 8 * tm_.tmAveCharWidth + Width(u"b"));
}

} // namespace
