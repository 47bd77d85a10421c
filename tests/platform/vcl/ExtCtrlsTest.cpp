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

TEST(ExtLabeledEdit, TheLabelStandsBesideTheEditAndFollowsIt) {
    FormHarness h;
    auto* form = h.Show<TExtForm>();
    auto* edit = new TLabeledEdit(form);
    edit->SetBounds(100, 200, 120, 21);
    edit->SetParent(form);
    TBoundLabel* label = edit->EditLabel();
    EXPECT_EQ(label->Parent(), form);
    EXPECT_EQ(label->Name(), u"SubLabel"_qs);
    label->SetCaption(u"&Name"_qs);
    EXPECT_EQ(label->Left(), 100);
    EXPECT_EQ(label->Top() + label->Height() + 3, 200);
    struct Case { TLabelPosition position; int left, top; };
    for (const Case& c : {Case{lpBelow, 100, 224}, {lpLeft, 100 - label->Width() - 3, 200 + (21 - label->Height()) / 2},
                          {lpRight, 223, 200 + (21 - label->Height()) / 2}}) {
        edit->SetLabelPosition(c.position);
        EXPECT_EQ(label->Left(), c.left) << c.position;
        EXPECT_EQ(label->Top(), c.top) << c.position;
    }
    // A longer caption on the left keeps the label's right end by the edit.
    edit->SetLabelPosition(lpLeft);
    label->SetCaption(u"A much longer name"_qs);
    EXPECT_EQ(label->Left() + label->Width() + 3, 100);
    edit->SetLabelPosition(lpAbove);
    edit->SetLeft(50);
    EXPECT_EQ(label->Left(), 50);
    edit->SetVisible(false);
    EXPECT_FALSE(label->Visible());
    edit->SetEnabled(false);
    EXPECT_FALSE(label->Enabled());
    edit->SetVisible(true);
    edit->SetEnabled(true);
    // The label's accelerator focuses the edit.
    label->SetCaption(u"&Name"_qs);
    EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'n'), 1);
    EXPECT_TRUE(edit->Focused());
    delete label;
    EXPECT_EQ(edit->EditLabel(), nullptr);
    edit->SetLeft(60); // no label to move, nothing breaks
}

namespace {
class TSplitForm : public TForm {
public:
    explicit TSplitForm(TComponent* AOwner) : TForm(AOwner) {
        BeginLoading();
        SetPosition(poDesigned);
        SetBounds(100, 100, 400, 300);
        left = new TPanel(this);
        left->SetBounds(0, 0, 100, 100);
        left->SetAlign(alLeft);
        left->SetParent(this);
        splitter = new TSplitter(this);
        splitter->SetLeft(150);
        splitter->SetParent(this);
        splitter->SetMinSize(40);
        splitter->OnMoved = [this](TObject*) { ++moved; };
        client = new TPanel(this);
        client->SetAlign(alClient);
        client->SetParent(this);
        EndLoading();
    }
    TPanel *left, *client;
    TSplitter* splitter;
    int moved = 0;
};

// Presses on a control, moves by each step, and releases (unless told not to).
void Drag(FormHarness& h, TControl* control, std::initializer_list<int> dxs, bool release = true) {
    const auto t = FormHarness::TargetOf(control);
    POINT p = testing_support::HeadlessApp::ToScreen(t.hwnd, t.point);
    TwInputMouseMove(p.x, p.y);
    TwInputMouseButton(p.x, p.y, TW_BUTTON_LEFT, TRUE);
    h.Pump();
    for (int dx : dxs) {
        p.x += dx;
        TwInputMouseMove(p.x, p.y);
        h.Pump();
    }
    if (!release) return;
    TwInputMouseButton(p.x, p.y, TW_BUTTON_LEFT, FALSE);
    h.Pump();
}
} // namespace

TEST(ExtSplitter, DraggingResizesTheNeighbourWithinItsLimits) {
    FormHarness h;
    auto* form = h.Show<TSplitForm>();
    TSplitter* s = form->splitter;
    EXPECT_EQ(s->Left(), 100); // aligned right after the panel
    EXPECT_EQ(s->Cursor(), crHSplit);
    // rsPattern: the neighbour changes only on release.
    Drag(h, s, {10, 20}, false);
    EXPECT_EQ(s->ResizeControl(), form->left);
    EXPECT_EQ(form->left->Width(), 100);
    TwInputMouseButton(0, 0, TW_BUTTON_LEFT, FALSE);
    h.Pump();
    EXPECT_EQ(form->left->Width(), 130);
    EXPECT_EQ(s->Left(), 130);
    EXPECT_GE(form->moved, 1);
    // rsUpdate: it follows every move; it leaves MinSize to the client control.
    s->SetResizeStyle(rsUpdate);
    Drag(h, s, {50, 1000});
    EXPECT_EQ(form->left->Width(), form->ClientWidth() - 3 - 40);
    // Below MinSize it snaps shut with AutoSnap, and stops at MinSize without.
    Drag(h, s, {-1000});
    EXPECT_EQ(form->left->Width(), 0);
    s->SetAutoSnap(false);
    form->left->SetWidth(100);
    Drag(h, s, {-1000});
    EXPECT_EQ(form->left->Width(), 40);
    // OnCanResize may refuse.
    s->OnCanResize = [](TObject*, int&, bool& Accept) { Accept = false; };
    Drag(h, s, {30});
    EXPECT_EQ(form->left->Width(), 40);
}

// A right-aligned panel with its splitter made after it (the settings column's layout): the splitter
// stays at the panel's left through a live drag in both directions, because right-aligned controls keep
// their order by their right edges.
TEST(ExtSplitter, ARightSplitterStaysLeftOfItsPanelWhileDraggedLive) {
    class TRightForm : public TForm {
    public:
        explicit TRightForm(TComponent* AOwner) : TForm(AOwner) {
            SetPosition(poDesigned);
            SetBounds(100, 100, 400, 300);
            client = new TPanel(this);
            client->SetAlign(alClient);
            client->SetParent(this);
            right = new TPanel(this);
            right->SetParent(this);
            right->SetAlign(alRight);
            right->SetWidth(120);
            splitter = new TSplitter(this);
            splitter->SetParent(this);
            splitter->SetWidth(6);
            splitter->SetAlign(alRight);
            splitter->SetResizeStyle(rsUpdate);
        }
        TPanel *client, *right;
        TSplitter* splitter;
    };
    FormHarness h;
    auto* form = h.Show<TRightForm>();
    TSplitter* s = form->splitter;
    EXPECT_EQ(s->Left() + s->Width(), form->right->Left());
    Drag(h, s, {-30, -20, 40});
    EXPECT_EQ(form->right->Width(), 130);
    EXPECT_EQ(s->Left() + s->Width(), form->right->Left());
    EXPECT_EQ(form->right->Left() + form->right->Width(), form->ClientWidth());
}

TEST(ExtSplitter, EscapeCancelsALineDrag) {
    FormHarness h;
    auto* form = h.Show<TSplitForm>();
    auto* edit = new TEdit(form);
    edit->SetParent(form->client);
    edit->SetFocus();
    TSplitter* s = form->splitter;
    s->SetResizeStyle(rsLine);
    Drag(h, s, {25}, false);
    h.Keys(VK_ESCAPE);
    EXPECT_EQ(s->ResizeControl(), nullptr);
    TwInputMouseButton(0, 0, TW_BUTTON_LEFT, FALSE);
    h.Pump();
    EXPECT_EQ(form->left->Width(), 100);
    EXPECT_FALSE(edit->OnKeyDown); // the edit's own handler is back
}
