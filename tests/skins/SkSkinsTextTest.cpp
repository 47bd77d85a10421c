// Skin text: the caption helpers, rotated and glowing text, and the caption and glyph layout.
#include "skins/SkSkinsText.h"

#include "tests/components/Paper.h"
#include "tests/support/windows/FormHarness.h"
#include "tests/support/windows/HeadlessApp.h"
#include "vcl/ExtCtrls.h"

#include <gtest/gtest.h>

#include <climits>

using namespace skins;
using components_test::kPaper;
using components_test::Paper;
using vcl::TRect;
using vcl::TSize;

namespace {

constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000;

// The box around the pixels of one colour (or, with Not, of every other colour); empty when there are none.
TRect BoxOf(vcl::TCanvas* C, int W, int H, TColor Color, bool Not = false) {
    TRect box(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if ((C->Pixels(x, y) == Color) != Not) box = TRect(std::min(box.Left, x), std::min(box.Top, y),
                                                     std::max(box.Right, x + 1), std::max(box.Bottom, y + 1));
    return box.Left == INT_MAX ? TRect() : box;
}

class SkinText : public ::testing::Test {
protected:
    std::unique_ptr<vcl::TBitmap> Page(int W, int H) {
        auto bmp = Paper(W, H);
        bmp->Canvas()->Font()->SetColor(kRed);
        bmp->Canvas()->Font()->SetSize(10);
        return bmp;
    }
    static int Width(vcl::TCanvas* C, const QString& S) { return GetTextExtent(C->Handle(), S, false).cx; }
    static int CellHeight(vcl::TCanvas* C) {
        TEXTMETRICW tm{};
        GetTextMetricsW(C->Handle(), &tm);
        return tm.tmHeight;
    }

    testing_support::HeadlessApp app;
};

} // namespace

// ---- helpers ----

TEST(SkinTextHelpers, AcceleratorsTabsAndCaptionTails) {
    const std::pair<QString, QString> accel[] = {
        {"&&", "&"}, {"a&", "a"}, {"&File", "File"}, {"Save && Exit", "Save & Exit"}, {"a&&&b", "a&b"}, {"", ""}};
    for (const auto& [in, out] : accel) EXPECT_EQ(RemoveAccelMarkers(in), out) << in.toStdString();
    EXPECT_EQ(CutAtTab(QStringLiteral("Open\tCtrl+O\tmore")), QStringLiteral("Open"));
    EXPECT_EQ(CutAtTab(QStringLiteral("Open")), QStringLiteral("Open"));
    const std::pair<QString, QString> tails[] = {{"Name:", "Name"}, {":", ":"}, {"Open...", "Open"}, {"...", "..."},
                                                 {"a...", "a"},     {"x:...", "x:"}, {"Plain", "Plain"}};
    for (const auto& [in, out] : tails) EXPECT_EQ(TrimCaptionTail(in), out) << in.toStdString();
}

TEST_F(SkinText, ExtentStripsAcceleratorsOnRequest) {
    auto bmp = Page(10, 10);
    HDC dc = bmp->Canvas()->Handle();
    EXPECT_EQ(GetTextExtent(dc, QStringLiteral("&File"), true).cx, Width(bmp->Canvas(), QStringLiteral("File")));
    EXPECT_EQ(GetTextExtent(dc, QStringLiteral("&File"), false).cx, Width(bmp->Canvas(), QStringLiteral("&File")));
}

// ---- rotated text ----

TEST_F(SkinText, RotatedTextMeasuresTurnedAndCutsWithAnEllipsis) {
    auto bmp = Page(10, 10);
    HDC dc = bmp->Canvas()->Handle();
    const int h = CellHeight(bmp->Canvas());
    TRect r(3, 4, 50, 500);
    EXPECT_EQ(DrawRotatedText(dc, QStringLiteral("Save && E&xit"), r, DT_CALCRECT, tra90), h);
    EXPECT_EQ(r, TRect(3, 4, 3 + h, 4 + Width(bmp->Canvas(), QStringLiteral("Save & Exit"))));

    TRect flat(0, 0, 30, 2);   // two pixels high: the first character and the dots
    DrawRotatedText(dc, QStringLiteral("Options"), flat, DT_CALCRECT | DT_END_ELLIPSIS, tra270);
    EXPECT_EQ(flat.Height(), Width(bmp->Canvas(), QStringLiteral("O...")));

    const int room = Width(bmp->Canvas(), QStringLiteral("Opti..."));   // an exact fit stays
    TRect some(0, 0, 30, room);
    DrawRotatedText(dc, QStringLiteral("Options"), some, DT_CALCRECT | DT_END_ELLIPSIS, tra270);
    EXPECT_EQ(some.Height(), room);

    TRect fits(0, 0, 30, 500);
    DrawRotatedText(dc, QStringLiteral("Options"), fits, DT_CALCRECT | DT_END_ELLIPSIS, tra270);
    EXPECT_EQ(fits.Height(), Width(bmp->Canvas(), QStringLiteral("Options")));

    TRect none(1, 2, 3, 4);
    EXPECT_EQ(DrawRotatedText(dc, QString(), none, 0, tra90), 0);
    EXPECT_EQ(none, TRect(1, 2, 3, 4));
}

TEST_F(SkinText, RotatedTextFillsItsColumnEitherWayAndIsClipped) {
    for (TSkTextRotationAngle angle : {tra90, tra270}) {
        auto bmp = Page(40, 120);
        vcl::TCanvas* c = bmp->Canvas();
        const int h = CellHeight(c), w = Width(c, QStringLiteral("Wide text"));
        const UINT align = GetTextAlign(c->Handle());
        TRect r(0, 0, 40, 120);
        DrawRotatedText(c->Handle(), QStringLiteral("Wide text"), r, 0, angle);
        const TRect box = BoxOf(c, 40, 120, kRed);
        const int X = (40 - h) / 2;
        ASSERT_FALSE(box.IsEmpty()) << angle;
        EXPECT_GE(box.Left, X - 1) << angle;
        EXPECT_LE(box.Right, X + h + 1) << angle;
        EXPECT_LE(box.Bottom, w + 1) << angle;
        EXPECT_GT(box.Height(), w / 2) << angle;   // turned: the text runs down the column
        EXPECT_EQ(GetTextAlign(c->Handle()), align);

        auto clipped = Page(40, 120);
        TRect top(0, 0, 40, 10);
        DrawRotatedText(clipped->Canvas()->Handle(), QStringLiteral("Wide text"), top, 0, angle);
        EXPECT_LE(BoxOf(clipped->Canvas(), 40, 120, kRed).Bottom, 10) << angle;
    }
}

TEST_F(SkinText, AcceleratorIsUnderlinedOnTheSideBelowTheBaselineEitherWay) {
    struct Case {
        TSkTextRotationAngle angle;
        bool hide;
    };
    for (const Case& k : {Case{tra270, false}, Case{tra270, true}, Case{tra90, false}}) {
        auto bmp = Page(40, 120);
        vcl::TCanvas* c = bmp->Canvas();
        TEXTMETRICW tm{};
        GetTextMetricsW(c->Handle(), &tm);
        SetTextColor(c->Handle(), kBlue);
        TRect r(0, 0, 40, 120);
        DrawRotatedText(c->Handle(), QStringLiteral("Ab&cd"), r, k.hide ? DT_HIDEPREFIX : 0, k.angle);
        const int X = (40 - tm.tmHeight) / 2;
        const int x = k.angle == tra270 ? X + tm.tmDescent - 2 : X + tm.tmAscent + 1;
        const int w = Width(c, QStringLiteral("Abcd")), from = Width(c, QStringLiteral("Ab"));
        const int cw = Width(c, QStringLiteral("c"));
        int under = 0;
        for (int y = 0; y < 120; ++y) under += c->Pixels(x, y) == kBlue;
        EXPECT_EQ(under, k.hide ? 0 : cw) << k.angle << k.hide;
        if (k.hide) continue;
        // Downwards "c" follows "Ab"; upwards it lies above it.
        const int first = k.angle == tra270 ? from : w - from, beyond = k.angle == tra270 ? from - 1 : w - from + 1;
        EXPECT_EQ(c->Pixels(x, first), kBlue) << k.angle;
        EXPECT_NE(c->Pixels(x, beyond), kBlue) << k.angle;
    }
}

// ---- skin text ----

TEST_F(SkinText, GlowGoesAroundOrToOneSideOfTheText) {
    struct Case {
        TSkGlowDirection glow;
        int left, top, right, bottom;   // the glow's box against the text's
    };
    for (const Case& g : {Case{gldAll, -1, -1, 1, 1}, Case{gldTopLeft, -1, -1, 0, 0}, Case{gldBottomRight, 0, 0, 1, 1}}) {
        auto plain = Page(80, 30);
        TRect r(5, 5, 75, 25);
        DrawSkinText(plain->Canvas(), QStringLiteral("Glow"), r, DT_SINGLELINE);
        const TRect text = BoxOf(plain->Canvas(), 80, 30, kPaper, true);

        auto bmp = Page(80, 30);
        bmp->Canvas()->Brush()->SetStyle(vcl::bsSolid);
        r = TRect(5, 5, 75, 25);
        DrawSkinText(bmp->Canvas(), QStringLiteral("Glow"), r, DT_SINGLELINE, g.glow, kBlue);
        const TRect all = BoxOf(bmp->Canvas(), 80, 30, kPaper, true);
        EXPECT_EQ(all, TRect(text.Left + g.left, text.Top + g.top, text.Right + g.right, text.Bottom + g.bottom))
            << g.glow;
        EXPECT_FALSE(BoxOf(bmp->Canvas(), 80, 30, kBlue).IsEmpty()) << g.glow;
        EXPECT_EQ(bmp->Canvas()->Font()->Color(), kRed);
        EXPECT_EQ(bmp->Canvas()->Brush()->Style(), vcl::bsSolid);
    }
}

TEST_F(SkinText, MeasuringDrawsNothingAndItalicGetsRoomForItsSlant) {
    auto bmp = Page(80, 30);
    TRect r(0, 0, 200, 1);
    const int height = DrawSkinText(bmp->Canvas(), QStringLiteral("Measure"), r, DT_CALCRECT, gldAll, kBlue);
    EXPECT_EQ(height, r.Height());
    EXPECT_EQ(r.Width(), Width(bmp->Canvas(), QStringLiteral("Measure")));
    EXPECT_TRUE(BoxOf(bmp->Canvas(), 80, 30, kBlue).IsEmpty());

    bmp->Canvas()->Font()->SetStyle({vcl::fsItalic});
    bmp->Canvas()->Font()->SetSize(16);
    RECT plain{0, 0, 200, 1};
    DrawTextW(bmp->Canvas()->Handle(), reinterpret_cast<LPCWSTR>(u"Slanted"), -1, &plain, DT_CALCRECT);
    TRect italic(0, 0, 200, 1);
    DrawSkinText(bmp->Canvas(), QStringLiteral("Slanted"), italic, DT_CALCRECT);
    EXPECT_EQ(italic.Right, plain.right + 16 / 8 * 2 + 1);

    TRect empty(5, 5, 5, 20);
    EXPECT_EQ(DrawSkinText(bmp->Canvas(), QStringLiteral("Nothing"), empty, 0), 0);
}

TEST_F(SkinText, RotatedSkinTextGoesThroughTheTurnedFont) {
    auto bmp = Page(40, 120);
    TRect r(0, 0, 40, 120);
    EXPECT_EQ(DrawSkinText(bmp->Canvas(), QStringLiteral("Up"), r, DT_CALCRECT, gldNone, vcl::clNone, tra90),
              CellHeight(bmp->Canvas()));
    EXPECT_EQ(r.Width(), CellHeight(bmp->Canvas()));
    EXPECT_EQ(r.Height(), Width(bmp->Canvas(), QStringLiteral("Up")));
}

TEST_F(SkinText, CompositedTextMeasuresLikeTheCanvasAndBlendsOverIt) {
    TwSetThemeActive(TRUE);
    auto bmp = Page(80, 30);
    TRect r(0, 0, 200, 1);
    DrawGlassText(bmp->Canvas(), QStringLiteral("Glass"), r, DT_CALCRECT | DT_SINGLELINE, 10);
    EXPECT_EQ(r.Width(), Width(bmp->Canvas(), QStringLiteral("Glass")));
    TRect draw(0, 0, 80, 30);
    EXPECT_EQ(DrawCompositedText(bmp->Canvas(), QStringLiteral("Glass"), draw, DT_SINGLELINE, 10), 30);
    // The text is blended over what was there: red letters, the rest of R untouched (no black box).
    int paper = 0, reddish = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            const TColor p = bmp->Canvas()->Pixels(x, y);
            paper += p == kPaper;
            reddish += p != kPaper && (p & 0xFF) >= 0xF0;
        }
    EXPECT_GT(reddish, 10);
    EXPECT_GT(paper, 80 * 30 * 3 / 4);
    TwSetThemeActive(FALSE);
}

// ---- caption and glyph layout ----

TEST_F(SkinText, CaptionAndGlyphLayout) {
    auto bmp = Page(10, 10);
    vcl::TCanvas* c = bmp->Canvas();
    const QString caption = QStringLiteral("Caption");
    RECT m{0, 0, 1, 1};
    DrawTextW(c->Handle(), reinterpret_cast<LPCWSTR>(caption.utf16()), -1, &m, DT_CALCRECT);
    const int tw = m.right, th = m.bottom;
    const TRect R(0, 0, 100, 30);
    const int ty = (30 - th) / 2;
    struct Case {
        const char* name;
        vcl::TAlignment alignment;
        TSkGlyphLayout layout;
        TSize right;
        bool pushed;
        TRect caption, glyph, rightGlyph;
    };
    const Case cases[] = {
        {"left", vcl::taLeftJustify, ghlGlyphLeft, {0, 0}, false, {20, ty, 20 + tw, ty + th}, {0, 7, 16, 23}, {}},
        {"right", vcl::taRightJustify, ghlGlyphLeft, {0, 0}, false, {80 - tw, ty, 100 - 20, ty + th}, {84, 7, 100, 23}, {}},
        {"centre", vcl::taCenter, ghlGlyphLeft, {0, 0}, false,
         {(100 - tw) / 2 + 10, ty, (100 - tw) / 2 + 10 + tw, ty + th}, {(80 - tw) / 2, 7, (80 - tw) / 2 + 16, 23}, {}},
        {"top ignores the right glyph", vcl::taLeftJustify, ghlGlyphTop, {8, 4}, false,
         {0, ty + 8, tw, ty + 8 + th}, {42, (13 - th) / 2, 58, (13 - th) / 2 + 16}, {}},
        {"left with a right glyph", vcl::taLeftJustify, ghlGlyphLeft, {8, 4}, false, {20, ty, std::min(20 + tw, 88), ty + th},
         {0, 7, 16, 23}, {92, 13, 100, 17}},
        {"pushed", vcl::taLeftJustify, ghlGlyphLeft, {0, 0}, true, {21, ty + 1, 21 + tw, ty + 1 + th}, {1, 8, 17, 24}, {}},
    };
    for (const Case& k : cases) {
        UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        TRect cr, gr, rr;
        const int height =
            CalcCaptionGlyphLayout(c, R, caption, k.alignment, flags, {16, 16}, k.right, k.layout, k.pushed, cr, gr, rr, false);
        EXPECT_EQ(height, th) << k.name;
        EXPECT_EQ(cr, k.caption) << k.name;
        EXPECT_EQ(gr, k.glyph) << k.name;
        EXPECT_EQ(rr, k.rightGlyph) << k.name;
        EXPECT_EQ(flags, UINT(DT_SINGLELINE | (k.alignment == vcl::taRightJustify ? DT_RIGHT : 0))) << k.name;
    }
}

TEST_F(SkinText, LongCaptionStopsBeforeTheRightGlyphAndRotationTurnsTheLayout) {
    auto bmp = Page(10, 10);
    vcl::TCanvas* c = bmp->Canvas();
    const QString caption = QStringLiteral("A caption far too long to fit");
    UINT flags = DT_SINGLELINE | DT_END_ELLIPSIS;
    TRect cr, gr, rr;
    CalcCaptionGlyphLayout(c, TRect(0, 0, 100, 30), caption, vcl::taLeftJustify, flags, {16, 16}, {8, 4}, ghlGlyphLeft,
                           false, cr, gr, rr, false);
    EXPECT_EQ(rr, TRect(92, 13, 100, 17));
    EXPECT_EQ(cr.Right, 88);
    EXPECT_EQ(cr.Left, 20);

    // The same layout in a column: every rectangle comes back turned round the diagonal.
    TRect tcr, tgr, trr;
    flags = DT_SINGLELINE | DT_END_ELLIPSIS;
    CalcCaptionGlyphLayout(c, TRect(0, 0, 30, 100), caption, vcl::taLeftJustify, flags, {16, 16}, {8, 4}, ghlGlyphLeft,
                           false, tcr, tgr, trr, true);
    EXPECT_EQ(tgr, TRect(gr.Top, gr.Left, gr.Bottom, gr.Right));
    EXPECT_EQ(trr, TRect(rr.Top, rr.Left, rr.Bottom, rr.Right));
    EXPECT_EQ(tcr.Left, cr.Top);
    EXPECT_EQ(tcr.Top, cr.Left);
}

TEST_F(SkinText, BitmapFacesTurnAsTahomaOfTheSameCellHeight) {
    auto bmp = Page(10, 10);
    vcl::TCanvas* c = bmp->Canvas();
    struct Case {
        const char* face;
        int height;
        const char* turned;
    };
    for (const Case& k : {Case{"MS Sans Serif", -11, "Tahoma"}, Case{"microsoft sans serif", 13, "Tahoma"},
                          Case{"DejaVu Sans", -12, "DejaVu Sans"}}) {
        c->Font()->SetName(QString::fromLatin1(k.face));
        c->Font()->SetHeight(k.height);
        HDC dc = c->Handle();
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        HFONT font = CreateRotatedFont(dc, 2700);
        ASSERT_NE(font, nullptr) << k.face;
        LOGFONTW lf{};
        ASSERT_GT(GetObjectW(font, sizeof lf, &lf), 0);
        EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(lf.lfFaceName)), QString::fromLatin1(k.turned));
        EXPECT_EQ(lf.lfEscapement, 2700);
        EXPECT_EQ(lf.lfOrientation, 2700);
        EXPECT_EQ(lf.lfOutPrecision, OUT_TT_ONLY_PRECIS);
        const bool replaced = QString::fromLatin1(k.face) != QString::fromLatin1(k.turned);
        const int height = !replaced ? k.height : k.height > 0 ? int(tm.tmHeight) : -int(tm.tmHeight - tm.tmInternalLeading);
        EXPECT_EQ(lf.lfHeight, height) << k.face;
        DeleteObject(font);
    }
}

TEST(ControlText, MeasuredOnTheControlWithACopyOfTheFont) {
    testing_support::FormHarness forms;
    auto* form = forms.Show<vcl::TForm>();
    auto* panel = new vcl::TPanel(form);
    panel->SetParent(form);
    forms.Pump();
    vcl::TFont font;
    font.SetSize(18);
    font.SetColor(kRed);
    auto bmp = Paper(4, 4);
    bmp->Canvas()->Font()->Assign(&font);
    const TSize expected = bmp->Canvas()->TextExtent(QStringLiteral("&Measured"));
    const TSize size = GetControlTextSize(panel, &font, QStringLiteral("&Measured"));
    EXPECT_EQ(size.cx, expected.cx);
    EXPECT_EQ(size.cy, expected.cy);
    EXPECT_EQ(GetFontTextHeight(panel, &font), bmp->Canvas()->TextExtent(QStringLiteral("WQqJ")).cy);
    EXPECT_GT(GetFontTextHeight(panel, &font), GetFontTextHeight(panel, form->Font()));
    EXPECT_EQ(font.Size(), 18);
}

TEST_F(SkinText, ANarrowItemStillLaysOutItsGlyph) {
    auto bmp = Page(10, 10);
    for (UINT base : {UINT(DT_WORDBREAK), UINT(DT_END_ELLIPSIS | DT_SINGLELINE), UINT(DT_PATH_ELLIPSIS | DT_SINGLELINE)}) {
        UINT flags = base;
        TRect cr, gr, rr;
        CalcCaptionGlyphLayout(bmp->Canvas(), TRect(0, 0, 10, 20), QStringLiteral("Too wide words"), vcl::taLeftJustify,
                               flags, {16, 16}, {8, 4}, ghlGlyphLeft, false, cr, gr, rr, false);
        EXPECT_EQ(gr, TRect(0, 2, 16, 18)) << base;
    }
}
