// The grid's text editor: values read and written through the text, margins and the info strip,
// the keys it takes, the caret at the start of editing, and clicks left of the text.
#include "grid/shared/DrawHelpers.h"
#include "grid/TextEdit.h"
#include "rtl/DateUtils.h"
#include "tests/grid/EditForm.h"
#include "vcl/ResourceStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

using namespace grid;
using grid_test::TEditForm;
using vcl::TRect;
using testing_support::FormHarness;

namespace {

using TEdForm = TEditForm<TRgEdit>;

struct ReadCase {
    const char16_t* text;
    const char* accessor;
    std::optional<double> expected;  // nullopt: a conversion error
};

double Read(TRgEdit& E, const std::string& Accessor) {
    if (Accessor == "AsInteger") return E.AsInteger();
    if (Accessor == "AsFloat") return E.AsFloat();
    if (Accessor == "AsBoolean") return E.AsBoolean() ? 1 : 0;
    return E.AsDateTime();
}

class EditValueRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(EditValueRead, ReadsTheTextOrRaisesAConversionError) {
    const ReadCase& c = GetParam();
    TRgEdit E(nullptr);
    E.SetText(QString::fromUtf16(c.text));
    if (c.expected) EXPECT_DOUBLE_EQ(Read(E, c.accessor), *c.expected);
    else EXPECT_THROW(Read(E, c.accessor), rtl::EConvertError);
}

INSTANTIATE_TEST_SUITE_P(Cases, EditValueRead, ::testing::Values(
    ReadCase{u"", "AsInteger", 0}, ReadCase{u"42", "AsInteger", 42}, ReadCase{u"x", "AsInteger", std::nullopt},
    ReadCase{u"", "AsFloat", 0}, ReadCase{u"-2.5", "AsFloat", -2.5}, ReadCase{u"2,5", "AsFloat", std::nullopt},
    ReadCase{u"", "AsDateTime", 0}, ReadCase{u"noon", "AsDateTime", std::nullopt},
    ReadCase{u"True", "AsBoolean", 1}, ReadCase{u"0", "AsBoolean", 0}, ReadCase{u"", "AsBoolean", std::nullopt}));

TEST(EditValueWrite, WritesTheLocaleTextsThatReadBack) {
    TRgEdit E(nullptr);
    E.SetAsBoolean(true);
    EXPECT_EQ(E.Text(), u"True"_qs);
    E.SetAsBoolean(false);
    EXPECT_EQ(E.Text(), u"False"_qs);
    E.SetAsInteger(-7);
    EXPECT_EQ(E.Text(), u"-7"_qs);
    E.SetAsFloat(0.1);
    EXPECT_EQ(E.Text(), u"0.1"_qs);
    const rtl::TDateTime When = rtl::EncodeDate(2024, 2, 29) + rtl::EncodeTime(13, 5, 9, 0);
    E.SetAsDateTime(When);
    EXPECT_EQ(E.Text(), rtl::DateTimeToStr(When));
    EXPECT_NEAR(E.AsDateTime(), When, 1e-8);
    E.SetAsString(u"plain"_qs);
    EXPECT_EQ(E.AsString(), u"plain"_qs);
}

TEST(EditMargins, PreviewAndGlyphWidenTheLeftMarginAndSizeTheStrip) {
    FormHarness h;
    auto* form = h.Show<TEdForm>();
    TRgEdit* E = form->Editor;
    auto Margins = [&] { return DWORD(SendMessageW(E->Handle(), EM_GETMARGINS, 0, 0)); };
    EXPECT_EQ(Margins(), 0u);
    EXPECT_FALSE(E->EditInfo()->Visible());

    E->EditMargins()->SetLeft(3);
    E->EditMargins()->SetRight(5);
    EXPECT_EQ(LOWORD(Margins()), 3);
    EXPECT_EQ(HIWORD(Margins()), 5);

    E->SetShowPreview(true);
    EXPECT_EQ(LOWORD(Margins()), 3 * 2 + 25);
    EXPECT_TRUE(E->EditInfo()->Visible());
    EXPECT_EQ(E->EditInfo()->Width(), 20);

    vcl::TBitmap Glyph(16, 16);
    E->SetGlyph(&Glyph);
    EXPECT_EQ(LOWORD(Margins()), 51);
    EXPECT_EQ(HIWORD(Margins()), 5);
    EXPECT_EQ(E->EditInfo()->Width(), 16 + 4 + 20);
    EXPECT_EQ(E->EditInfo()->Height(), E->ClientHeight());
    EXPECT_EQ(E->GetPreviewRect().Left, 20);
    EXPECT_EQ(E->GetPreviewRect().Right, 40);

    // The margins survive a new window, a resize and a new font.
    E->SetWidth(200);
    h.Pump();
    EXPECT_EQ(LOWORD(Margins()), 51);
    E->Font()->SetSize(14);
    h.Pump();
    EXPECT_EQ(LOWORD(Margins()), 51);
    EXPECT_EQ(E->EditInfo()->Height(), E->ClientHeight());
    E->SetShowPreview(false);
    EXPECT_EQ(LOWORD(Margins()), 3 + 20);
    EXPECT_EQ(E->EditInfo()->Width(), 20);
    E->SetGlyph(nullptr);
    EXPECT_EQ(LOWORD(Margins()), 3);
    EXPECT_FALSE(E->EditInfo()->Visible());
}

TEST(EditWindow, AlignmentAndStylesReachTheWindow) {
    FormHarness h;
    auto* form = h.Show<TEdForm>();
    TRgEdit* E = form->Editor;
    const LONG Style = GetWindowLongW(E->Handle(), GWL_STYLE);
    EXPECT_EQ(Style & (WS_CLIPCHILDREN | ES_AUTOVSCROLL | ES_AUTOHSCROLL), WS_CLIPCHILDREN | ES_AUTOVSCROLL | ES_AUTOHSCROLL);
    EXPECT_EQ(Style & (ES_RIGHT | ES_CENTER), 0);
    E->SetAlignment(vcl::taRightJustify);
    EXPECT_EQ(GetWindowLongW(E->Handle(), GWL_STYLE) & (ES_RIGHT | ES_CENTER), ES_RIGHT);
    E->SetAlignment(vcl::taCenter);
    EXPECT_EQ(GetWindowLongW(E->Handle(), GWL_STYLE) & (ES_RIGHT | ES_CENTER), ES_CENTER);
    EXPECT_TRUE(E->TabStop());
}

TEST(EditKeys, TabLeavesTheEditorUnlessItWantsTabs) {
    FormHarness h;
    auto* form = h.Show<TEdForm>();
    TRgEdit* E = form->Editor;
    EXPECT_NE(E->Perform(WM_GETDLGCODE) & DLGC_WANTARROWS, 0);
    EXPECT_EQ(E->Perform(WM_GETDLGCODE) & DLGC_WANTTAB, 0);
    E->SetFocus();
    h.Keys(VK_TAB);
    EXPECT_TRUE(form->Other->Focused());

    // Wanted, the key stays with the editor and reaches its key events (a single-line window
    // itself drops the tab character).
    E->SetWantTabs(true);
    std::vector<rtl::Char> Pressed;
    E->OnKeyPress = [&](rtl::TObject*, rtl::Char& Key) { Pressed.push_back(Key); };
    E->SetFocus();
    h.Pump();
    TwInputKey(VK_TAB, TRUE, FALSE, u"\t", FALSE);
    TwInputKey(VK_TAB, FALSE, FALSE, nullptr, FALSE);
    h.Pump();
    EXPECT_TRUE(E->Focused());
    EXPECT_EQ(Pressed, std::vector<rtl::Char>{u'\t'});
}

TEST(EditEditing, BeginEditingPutsTheCaretAfterTheText) {
    FormHarness h;
    auto* form = h.Show<TEdForm>();
    TRgEdit* E = form->Editor;
    E->SetText(u"abc"_qs);
    grid_test::Select(E, 0, 2);
    E->BeginEditing();
    EXPECT_EQ(E->SelStart(), 3);
    EXPECT_EQ(E->SelLength(), 0);
    EXPECT_TRUE(E->CanDispatchKey(VK_RETURN));
}

TEST(EditMouse, ClickBesideTheStripSelectsAllAndTheGlyphClickFires) {
    FormHarness h;
    auto* form = h.Show<TEdForm>();
    TRgEdit* E = form->Editor;
    E->EditMargins()->SetLeft(6);
    vcl::TBitmap Glyph(16, 16);
    E->SetGlyph(&Glyph);
    E->SetText(u"some text"_qs);
    int GlyphClicks = 0;
    E->OnGlyphClick = [&](rtl::TObject* Sender) { EXPECT_EQ(Sender, E); ++GlyphClicks; };
    h.Pump();
    const int Strip = E->EditInfo()->Width();
    ASSERT_EQ(Strip, 20);

    // Just right of the strip: the whole text.
    h.Click(E, POINT{Strip + 2, 5});
    EXPECT_EQ(E->SelStart(), 0);
    EXPECT_EQ(E->SelLength(), 9);
    EXPECT_EQ(GlyphClicks, 0);
    // Over the text: a caret.
    h.Click(E, POINT{E->ClientWidth() - 5, 5});
    EXPECT_EQ(E->SelLength(), 0);
    // Over the glyph the glyph's click fires and the text is selected; right of the glyph inside
    // the strip only the text is.
    h.Click(E->EditInfo(), POINT{8, 8});
    EXPECT_EQ(GlyphClicks, 1);
    EXPECT_EQ(E->SelLength(), 9);
    h.Click(E, POINT{E->ClientWidth() - 5, 5});
    form->Other->SetFocus();
    h.Click(E->EditInfo(), POINT{18, 8});
    EXPECT_EQ(GlyphClicks, 1);
    EXPECT_TRUE(E->Focused());
    EXPECT_EQ(E->SelLength(), 9);
    // Other buttons leave the selection.
    h.Click(E, POINT{E->ClientWidth() - 5, 5});
    h.Click(E->EditInfo(), POINT{8, 8}, TW_BUTTON_RIGHT);
    EXPECT_EQ(E->SelLength(), 0);
    EXPECT_EQ(GlyphClicks, 1);
}

TEST(EditMouse, ThePointerLeftOfTheTextIsTheReversedArrow) {
    FormHarness h;
    auto* form = h.Show<TEdForm>();
    TRgEdit* E = form->Editor;
    // The program's own cursor, from its resources.
    const HCURSOR Reversed = vcl::Screen->Cursors(crReversedArrow);
    ASSERT_NE(Reversed, nullptr);
    EXPECT_EQ(Reversed, LoadCursorW(vcl::HInstance, u"REVERSEDARROW"));
    EXPECT_NE(Reversed, vcl::Screen->Cursors(vcl::crArrow));
    h.MoveTo(E, POINT{1, 5});
    EXPECT_EQ(GetCursor(), Reversed);
    h.MoveTo(E, POINT{40, 5});
    EXPECT_NE(GetCursor(), Reversed);
    vcl::TBitmap Glyph(16, 16);
    E->SetGlyph(&Glyph);
    h.Pump();
    h.MoveTo(E, POINT{22, 5});
    EXPECT_EQ(GetCursor(), Reversed);
    h.MoveTo(E->EditInfo(), POINT{5, 5});  // over the strip
    EXPECT_EQ(GetCursor(), Reversed);
    h.MoveTo(E, POINT{23, 5});
    EXPECT_NE(GetCursor(), Reversed);
}

TEST(EditPaint, TheStripDrawsTheGlyphAndAFramedPreview) {
    FormHarness h;
    auto* form = h.Show<TEdForm>();
    TRgEdit* E = form->Editor;
    vcl::TBitmap Glyph(8, 8);
    Glyph.Canvas()->Brush()->SetColor(vcl::clRed);
    Glyph.Canvas()->FillRect(TRect(0, 0, 8, 8));
    Glyph.Canvas()->SetPixels(0, 7, vcl::clLime);  // the transparent colour
    E->SetGlyph(&Glyph);
    E->SetShowPreview(true);
    std::vector<TRect> Drawn;
    E->OnCustomPreviewDraw = [&](rtl::TObject*, TRect R) { Drawn.push_back(R); };
    E->EditInfo()->Invalidate();
    h.Pump();
    ASSERT_FALSE(Drawn.empty());
    const int H = E->ClientHeight();
    EXPECT_EQ(Drawn.back(), TRect(8 + 2 + 1, 1, 8 + 2 + 20 - 1, H - 1));
    HWND Strip = E->EditInfo()->Handle();
    const int GlyphTop = int(std::nearbyint(H / 2.0 - 4));
    EXPECT_EQ(h.App().Pixel(Strip, 3, GlyphTop + 3), 0xFF0000u);
    EXPECT_EQ(h.App().Pixel(Strip, 10, 0), 0x808080u);
    EXPECT_EQ(h.App().Pixel(Strip, 29, H - 1), 0x808080u);
    E->SetPreviewBorder(false);
    h.Pump();
    EXPECT_EQ(Drawn.back(), TRect(10, 0, 30, H));
}


TEST(EditPaint, WithVisualStylesTheFrameIsTheThemesEditBorder) {
    FormHarness h;
    TRgEdit* E = h.Show<TEdForm>()->Editor;
    const HWND W = E->Handle();
    const QImage Classic = h.App().Grab(W);
    grid_test::TVisualStylesOn Styles;
    RedrawWindow(W, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    h.Pump();
    const QImage Themed = h.App().Grab(W);
    vcl::TBitmap Expected(E->Width(), E->Height());
    DrawThemedPart(W, Expected.Canvas()->Handle(), TRect(0, 0, E->Width(), E->Height()), QStringLiteral("edit"), 1, 1);
    EXPECT_NE(Themed, Classic);
    // The two-pixel ring outside the client area.
    for (int y = 0; y < E->Height(); ++y)
        for (int x = 0; x < E->Width(); ++x) {
            if (x >= 2 && y >= 2 && x < E->Width() - 2 && y < E->Height() - 2) continue;
            ASSERT_EQ(Themed.pixel(x, y) & 0xFFFFFF, grid_test::ToRgb(Expected.Canvas()->Pixels(x, y))) << x << "," << y;
        }
}

TEST(EditPaint, ABorderWidthIsFramedInTheEditorsColour) {
    FormHarness h;
    auto* form = h.Show<TEdForm>();
    TRgEdit* E = form->Editor;
    form->Other->SetFocus();
    E->SetColor(vcl::clYellow);
    E->SetBorderWidth(2);
    h.Pump();
    E->Invalidate();
    h.Pump();
    const QImage Frame = h.App().Grab(E->Handle());
    const QRgb Yellow = grid_test::ToRgb(vcl::clYellow);
    const int W = E->Width(), H = E->Height();
    // The first ring lies inside the single border's outer line, over its inner one.
    const POINT Ring[] = {{1, H / 2}, {W - 2, H / 2}, {W / 2, 1}, {W / 2, H - 2}};
    for (POINT P : Ring) EXPECT_EQ(Frame.pixel(P.x, P.y) & 0xFFFFFF, Yellow) << P.x << "," << P.y;
    const POINT Outer[] = {{0, H / 2}, {W - 1, H / 2}, {W / 2, 0}, {W / 2, H - 1}};
    for (POINT P : Outer) EXPECT_NE(Frame.pixel(P.x, P.y) & 0xFFFFFF, Yellow) << P.x << "," << P.y;
}

} // namespace
