// Glyph buttons: where glyph and caption go, speed buttons that stay down in their group, bitmap
// buttons with standard kinds, drawn by the control.
#include "tests/support/windows/FormHarness.h"
#include "vcl/Buttons.h"

#include <gtest/gtest.h>

using namespace vcl;
using testing_support::FormHarness;

namespace {

class TButtonsForm : public TForm {
public:
    explicit TButtonsForm(TComponent* AOwner) : TForm(AOwner) {
        BeginLoading();
        SetPosition(poDesigned);
        SetBounds(100, 100, 400, 300);
        for (int i = 0; i < 3; ++i) {
            auto* b = new TSpeedButton(this);
            b->SetBounds(10 + 30 * i, 10, 25, 25);
            b->SetGroupIndex(1);
            b->SetParent(this);
            b->OnClick = [this, i](TObject*) { clicks.push_back(i); };
            group[i] = b;
        }
        bit = new TBitBtn(this);
        bit->SetBounds(10, 100, 100, 30);
        bit->SetParent(this);
        EndLoading();
    }
    TSpeedButton* group[3];
    TBitBtn* bit;
    std::vector<int> clicks;
};

// A 16x16 glyph: a red square inside, its corners (and the bottom-left pixel) green.
std::unique_ptr<TBitmap> RedGlyph(int images = 1) {
    auto bmp = std::make_unique<TBitmap>(16 * images, 16);
    bmp->Canvas()->Brush()->SetColor(clLime);
    bmp->Canvas()->FillRect(TRect(0, 0, 16 * images, 16));
    bmp->Canvas()->Brush()->SetColor(clRed);
    bmp->Canvas()->FillRect(TRect(4, 4, 12, 12));
    if (images > 1) {
        bmp->Canvas()->Brush()->SetColor(clBlue);
        bmp->Canvas()->FillRect(TRect(20, 4, 28, 12));
    }
    return bmp;
}

std::unique_ptr<TBitmap> Snapshot(TWinControl* control) {
    auto bmp = std::make_unique<TBitmap>(control->ClientWidth(), control->ClientHeight());
    control->PaintTo(bmp->Canvas()->Handle(), 0, 0);
    return bmp;
}

// How many pixels of a colour lie in a rectangle of a picture.
int Count(TBitmap* bmp, const TRect& r, TColor colour) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) n += bmp->Canvas()->Pixels(x, y) == ColorToRGB(colour);
    return n;
}

// The same for a window as it shows on the screen.
int Count(const QImage& image, TColor colour) {
    const TColor c = ColorToRGB(colour);
    const QRgb want = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF);
    return n;
}

// The top-left corner of the red pixels in a rectangle of a picture.
TPoint RedCorner(TBitmap* bmp, const TRect& r) {
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (bmp->Canvas()->Pixels(x, y) == ColorToRGB(clRed)) return TPoint(x, y);
    return TPoint(-1, -1);
}

} // namespace

TEST(ButtonGlyph, LayoutPlacesGlyphAndCaptionByMarginAndSpacing) {
    TButtonGlyph glyph;
    auto red = RedGlyph();
    glyph.SetGlyph(red.get());
    TBitmap surface(10, 10);
    TCanvas* canvas = surface.Canvas();
    const TRect client(0, 0, 100, 40);
    struct Case { TButtonLayout layout; int margin, spacing; const char16_t* caption; TPoint glyph; };
    // Without a caption the spacing is nothing and the margins are exact numbers.
    for (const Case& c : {Case{blGlyphLeft, -1, 4, u"", TPoint(42, 12)}, {blGlyphRight, 5, 4, u"", TPoint(79, 12)},
                          {blGlyphTop, -1, -1, u"", TPoint(42, 12)}, {blGlyphBottom, 2, 4, u"", TPoint(42, 22)},
                          {blGlyphLeft, 3, 4, u"", TPoint(3, 12)}}) {
        TPoint pos;
        TRect text;
        glyph.CalcButtonLayout(canvas, client, TPoint(0, 0), String::fromUtf16(c.caption), c.layout, c.margin,
                               c.spacing, pos, text);
        EXPECT_EQ(pos, c.glyph) << c.layout << " " << c.margin;
    }
    // With a caption: the pair centred, the spacing between them, the offset moving both.
    const int tw = canvas->TextWidth(u"Go"_qs);
    TPoint pos;
    TRect text;
    glyph.CalcButtonLayout(canvas, client, TPoint(1, 1), u"Go"_qs, blGlyphLeft, -1, 4, pos, text);
    EXPECT_EQ(pos.X, (100 - (16 + 4 + tw) + 1) / 2 + 1);
    EXPECT_EQ(text.Left, pos.X + 16 + 4);
    EXPECT_EQ(text.Width(), tw);
    glyph.CalcButtonLayout(canvas, client, TPoint(0, 0), u"Go"_qs, blGlyphRight, 6, 2, pos, text);
    EXPECT_EQ(pos.X, 100 - 6 - 16);
    EXPECT_EQ(text.Right, pos.X - 2);
    glyph.CalcButtonLayout(canvas, client, TPoint(0, 0), u"Go"_qs, blGlyphTop, -1, -1, pos, text);
    EXPECT_EQ(text.Top - (pos.Y + 16), pos.Y); // spread evenly: margin = spacing
    // A strip of square images tells how many it holds.
    auto two = RedGlyph(2);
    glyph.SetGlyph(two.get());
    EXPECT_EQ(glyph.NumGlyphs(), 2);
}

TEST(SpeedButton, GroupKeepsOneDownAndAllowAllUpLetsItGo) {
    FormHarness h;
    auto* form = h.Show<TButtonsForm>();
    auto& g = form->group;
    h.Click(g[0]);
    EXPECT_TRUE(g[0]->Down());
    h.Click(g[1]);
    EXPECT_TRUE(g[1]->Down());
    EXPECT_FALSE(g[0]->Down());
    EXPECT_EQ(g[0]->State(), bsUp);
    h.Click(g[1]); // stays down
    EXPECT_TRUE(g[1]->Down());
    g[1]->SetAllowAllUp(true); // the whole group learns it
    h.Click(g[1]);
    EXPECT_FALSE(g[1]->Down());
    EXPECT_TRUE(g[2]->AllowAllUp());
    EXPECT_EQ(form->clicks, (std::vector<int>{0, 1, 1, 1}));
    g[2]->SetDown(true); // from code: no click, the group follows
    g[0]->SetDown(true);
    EXPECT_FALSE(g[2]->Down());
    EXPECT_EQ(form->clicks.size(), 4u);
    // Without a group it never stays down; released outside it does not click.
    g[0]->SetAllowAllUp(true);
    g[0]->SetDown(false);
    g[0]->SetGroupIndex(0);
    g[0]->SetDown(true);
    EXPECT_FALSE(g[0]->Down());
    const auto t = FormHarness::TargetOf(g[0]);
    const POINT p = testing_support::HeadlessApp::ToScreen(t.hwnd, t.point);
    TwInputMouseButton(p.x, p.y, TW_BUTTON_LEFT, TRUE);
    h.Pump();
    EXPECT_EQ(g[0]->State(), bsDown);
    TwInputMouseMove(p.x + 100, p.y);
    h.Pump();
    EXPECT_EQ(g[0]->State(), bsUp);
    TwInputMouseButton(p.x + 100, p.y, TW_BUTTON_LEFT, FALSE);
    h.Pump();
    EXPECT_EQ(form->clicks.size(), 4u);
}

TEST(SpeedButton, GlyphDrawnTransparentAndEmbossedWhenDisabled) {
    FormHarness h;
    auto* form = h.Show<TButtonsForm>();
    TSpeedButton* b = form->group[0];
    auto red = RedGlyph();
    b->SetGlyph(red.get());
    const TRect r = b->BoundsRect();
    auto shot = Snapshot(form);
    EXPECT_EQ(Count(shot.get(), r, clRed), 64);
    EXPECT_EQ(Count(shot.get(), r, clLime), 0); // the bottom-left colour is see-through
    const TPoint up = RedCorner(shot.get(), r);
    // Down, the face moves by a pixel.
    b->SetDown(true);
    shot = Snapshot(form);
    EXPECT_EQ(Count(shot.get(), r, clRed), 64);
    EXPECT_EQ(RedCorner(shot.get(), r), TPoint(up.X + 1, up.Y + 1));
    b->SetEnabled(false);
    shot = Snapshot(form);
    EXPECT_EQ(Count(shot.get(), r, clRed), 0);
    EXPECT_GE(Count(shot.get(), r, clBtnShadow), 64);
    // With a disabled image of its own, that one is drawn.
    auto two = RedGlyph(2);
    b->SetGlyph(two.get());
    shot = Snapshot(form);
    EXPECT_EQ(Count(shot.get(), r, clBlue), 64);
}

TEST(SpeedButton, FlatShowsItsEdgeOnlyUnderTheMouse) {
    FormHarness h;
    auto* form = h.Show<TButtonsForm>();
    TSpeedButton* b = form->group[2];
    b->SetFlat(true);
    form->SetColor(clBtnFace);
    const TRect r = b->BoundsRect();
    auto edge = [&] { return Count(Snapshot(form).get(), TRect(r.Left, r.Top, r.Right, r.Top + 1), clBtnHighlight); };
    EXPECT_EQ(edge(), 0);
    h.MoveTo(b);
    EXPECT_TRUE(b->MouseInControl());
    EXPECT_GT(edge(), 10);
    h.MouseOut();
    EXPECT_EQ(edge(), 0);
}

TEST(BitBtn, KindGivesCaptionResultAndRoleUntilOneIsChanged) {
    FormHarness h;
    auto* form = h.Show<TButtonsForm>();
    TBitBtn* b = form->bit;
    struct Case { TBitBtnKind kind; const char16_t* caption; TModalResult result; bool isDefault, isCancel; };
    for (const Case& c : {Case{bkOK, u"OK", mrOk, true, false}, {bkCancel, u"Cancel", mrCancel, false, true},
                          {bkYes, u"&Yes", mrYes, true, false}, {bkNo, u"&No", mrNo, false, true},
                          {bkAbort, u"Abort", mrAbort, false, false}, {bkAll, u"&All", mrAll, false, false},
                          {bkClose, u"&Close", mrNone, false, false}}) {
        b->SetKind(c.kind);
        EXPECT_EQ(b->Caption(), String::fromUtf16(c.caption)) << c.kind;
        EXPECT_EQ(b->ModalResult(), c.result) << c.kind;
        EXPECT_EQ(b->Default(), c.isDefault) << c.kind;
        EXPECT_EQ(b->Cancel(), c.isCancel) << c.kind;
        EXPECT_EQ(b->Kind(), c.kind);
    }
    b->SetKind(bkOK);
    b->SetModalResult(mrRetry);
    EXPECT_EQ(b->Kind(), bkCustom);
    // The window stays owner-drawn whatever the default role does.
    b->SetKind(bkCancel);
    EXPECT_EQ(GetWindowLongW(b->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    b->SetDefault(true);
    EXPECT_EQ(GetWindowLongW(b->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    h.Click(b);
    EXPECT_EQ(form->ModalResult(), mrCancel);
    // bkClose closes its form.
    b->SetKind(bkClose);
    bool closed = false;
    form->OnClose = [&](TObject*, TCloseAction&) { closed = true; };
    h.Click(b);
    EXPECT_TRUE(closed);
}

TEST(BitBtn, DrawsGlyphCaptionAndTheDefaultRing) {
    FormHarness h;
    auto* form = h.Show<TButtonsForm>();
    TBitBtn* b = form->bit;
    auto red = RedGlyph();
    b->SetGlyph(red.get());
    b->SetCaption(u"Convert"_qs);
    auto* edit = new TEdit(form); // the focus elsewhere: a focused button looks like the default one
    edit->SetTop(200);
    edit->SetParent(form);
    edit->SetFocus();
    h.Pump();
    QImage shot = h.App().Grab(b->Handle());
    EXPECT_EQ(Count(shot, clRed), 64);
    EXPECT_EQ(Count(shot, clLime), 0);
    const TRect text = b->TextBounds();
    EXPECT_GT(text.Width(), 0);
    EXPECT_LT(text.Right, b->Width());
    EXPECT_GT(Count(shot.copy(text.Left, text.Top, text.Width(), text.Height()), clBtnText), 0);
    // The glyph stands left of the caption, Spacing away.
    int glyphRight = -1;
    for (int x = 0; x < shot.width(); ++x)
        if ((shot.pixel(x, shot.height() / 2) & 0xFFFFFF) == 0xFF0000) glyphRight = x;
    EXPECT_EQ(text.Left, glyphRight + 4 + 4 + 1); // the red square ends 4 pixels inside the glyph
    const TColor frame = ColorToRGB(clWindowFrame);
    const QRgb ring = qRgb(GetRValue(frame), GetGValue(frame), GetBValue(frame)) & 0xFFFFFF;
    EXPECT_NE(shot.pixel(0, 0) & 0xFFFFFF, ring);
    b->SetDefault(true);
    h.Pump();
    shot = h.App().Grab(b->Handle());
    EXPECT_EQ(shot.pixel(0, 0) & 0xFFFFFF, ring);
    EXPECT_EQ(shot.pixel(shot.width() - 1, shot.height() - 1) & 0xFFFFFF, ring);
}
