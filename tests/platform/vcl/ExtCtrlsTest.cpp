// Panels, shapes and images: the panel's frames and client area, the 3-D frame routine pixel by pixel,
// shapes drawn with their pen and brush, and where an image puts its picture.
#include "tests/support/windows/FormHarness.h"
#include "vcl/ExtCtrls.h"

#include <gtest/gtest.h>

using namespace vcl;
using testing_support::FormHarness;

namespace {

class TExtForm : public TForm {
public:
    explicit TExtForm(TComponent* AOwner) : TForm(AOwner) {
        BeginLoading();
        SetPosition(poDesigned);
        SetBounds(100, 100, 400, 300);
        panel = new TPanel(this);
        panel->SetBounds(10, 10, 100, 60);
        panel->SetParent(this);
        inside = new TPanel(this);
        inside->SetBevelOuter(bvNone);
        inside->SetAlign(alClient);
        inside->SetParent(panel);
        shape = new TShape(this);
        shape->SetBounds(200, 10, 60, 30);
        shape->SetParent(this);
        image = new TImage(this);
        image->SetBounds(200, 100, 100, 100);
        image->SetParent(this);
        EndLoading();
    }
    TPanel *panel, *inside;
    TShape* shape;
    TImage* image;
};

// What the form shows, painted into a bitmap.
std::unique_ptr<TBitmap> Snapshot(TWinControl* control) {
    auto bmp = std::make_unique<TBitmap>(control->ClientWidth(), control->ClientHeight());
    control->PaintTo(bmp->Canvas()->Handle(), 0, 0);
    return bmp;
}

TColor Rgb(TColor c) { return ColorToRGB(c); }

} // namespace

TEST(ExtFrame3D, TopLeftAndBottomRightRingsShrinkTheRect) {
    TBitmap bmp(6, 6);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(TRect(0, 0, 6, 6));
    TRect r(0, 0, 6, 6);
    Frame3D(bmp.Canvas(), r, clRed, clBlue, 2);
    EXPECT_EQ(r, TRect(2, 2, 4, 4));
    struct Case { int x, y; TColor expected; };
    for (const Case& c : {Case{0, 0, clRed}, {1, 1, clRed}, {0, 4, clRed}, {4, 0, clRed}, {5, 5, clBlue},
                          {4, 4, clBlue}, {5, 0, clBlue}, {0, 5, clBlue}, {2, 2, clWhite}, {3, 3, clWhite}})
        EXPECT_EQ(bmp.Canvas()->Pixels(c.x, c.y), Rgb(c.expected)) << c.x << "," << c.y;
}

TEST(ExtPanel, BevelsAndBorderInsetTheClientAreaAndArePainted) {
    FormHarness h;
    auto* form = h.Show<TExtForm>();
    TPanel* p = form->panel;
    struct Case { TBevelCut outer, inner; int bevelWidth, borderWidth, inset; };
    for (const Case& c : {Case{bvRaised, bvNone, 1, 0, 1}, {bvNone, bvNone, 3, 0, 0}, {bvRaised, bvLowered, 2, 0, 4},
                          {bvLowered, bvSpace, 1, 5, 7}}) {
        p->SetBevelOuter(c.outer);
        p->SetBevelInner(c.inner);
        p->SetBevelWidth(c.bevelWidth);
        p->SetBorderWidth(c.borderWidth);
        EXPECT_EQ(form->inside->BoundsRect(), TRect(c.inset, c.inset, 100 - c.inset, 60 - c.inset))
            << c.outer << c.inner << c.bevelWidth << c.borderWidth;
    }
    // Raised outside, lowered inside, with the panel's colour between.
    p->SetBorderWidth(2);
    p->SetBevelWidth(1);
    p->SetBevelOuter(bvRaised);
    p->SetBevelInner(bvLowered);
    p->SetColor(clYellow);
    auto bmp = Snapshot(p);
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(bmp->Canvas()->Pixels(99, 59), Rgb(clBtnShadow));
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 1), Rgb(clYellow));
    EXPECT_EQ(bmp->Canvas()->Pixels(3, 3), Rgb(clBtnShadow));
    EXPECT_EQ(bmp->Canvas()->Pixels(96, 56), Rgb(clBtnHighlight));
}

TEST(ExtShape, DrawnWithItsPenAndBrushInsideItsBounds) {
    FormHarness h;
    auto* form = h.Show<TExtForm>();
    TShape* s = form->shape;
    s->Pen()->SetColor(clRed);
    s->Brush()->SetColor(clBlue);
    form->SetColor(clWhite);
    auto bmp = Snapshot(form);
    EXPECT_EQ(bmp->Canvas()->Pixels(200, 10), Rgb(clRed));
    EXPECT_EQ(bmp->Canvas()->Pixels(259, 39), Rgb(clRed));
    EXPECT_EQ(bmp->Canvas()->Pixels(230, 25), Rgb(clBlue));
    EXPECT_EQ(bmp->Canvas()->Pixels(260, 40), Rgb(clWhite));
    // A circle is the square centred in the bounds: the left end stays empty.
    s->SetShape(stCircle);
    bmp = Snapshot(form);
    EXPECT_EQ(bmp->Canvas()->Pixels(203, 25), Rgb(clWhite));
    EXPECT_EQ(bmp->Canvas()->Pixels(230, 25), Rgb(clBlue));
}

TEST(ExtImage, PictureLandsWhereCentreStretchAndProportionalSay) {
    FormHarness h;
    auto* form = h.Show<TExtForm>();
    TImage* img = form->image;
    TBitmap pic(40, 20);
    img->Picture()->SetGraphic(&pic);
    struct Case { bool center, stretch, proportional; TRect expected; };
    for (const Case& c : {Case{false, false, false, TRect(0, 0, 40, 20)}, {true, false, false, TRect(30, 40, 70, 60)},
                          {false, true, false, TRect(0, 0, 100, 100)}, {false, true, true, TRect(0, 0, 100, 50)},
                          {true, true, true, TRect(0, 25, 100, 75)}, {false, false, true, TRect(0, 0, 40, 20)}}) {
        img->SetCenter(c.center);
        img->SetStretch(c.stretch);
        img->SetProportional(c.proportional);
        EXPECT_EQ(img->DestRect(), c.expected) << c.center << c.stretch << c.proportional;
    }
    img->SetAutoSize(true);
    EXPECT_EQ(img->Width(), 40);
    EXPECT_EQ(img->Height(), 20);
    TBitmap bigger(50, 30);
    img->Picture()->SetGraphic(&bigger);
    EXPECT_EQ(img->Width(), 50);
    EXPECT_EQ(img->Height(), 30);
}
