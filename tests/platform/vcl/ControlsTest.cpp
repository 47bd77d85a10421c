// The control layer: dispatch and the window link, alignment, anchors, windowless controls, focus and
// tab order, keys, reflection.
#include "tests/support/windows/FormHarness.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "rtl/Math.h"

#include <gtest/gtest.h>

using namespace vcl;
using testing_support::FormHarness;

namespace {

// A windowless control that paints a colour and records what happens to it.
class TBox : public TGraphicControl {
public:
    explicit TBox(TComponent* AOwner, TColor Fill = clRed) : TGraphicControl(AOwner), FFill(Fill) {}
    std::vector<std::string> log;
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        Canvas()->Brush()->SetColor(FFill);
        Canvas()->FillRect(ClientRect());
    }
    void MouseEnter() override {
        log.push_back("enter");
        TGraphicControl::MouseEnter();
    }
    void MouseLeave() override {
        log.push_back("leave");
        TGraphicControl::MouseLeave();
    }
    void Click() override {
        log.push_back("click");
        TGraphicControl::Click();
    }

private:
    TColor FFill;
};

// A windowed control with its own painting that takes the focus.
class TPad : public TCustomControl {
public:
    explicit TPad(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
    std::vector<std::string> log;
    int created = 0;

protected:
    void CreateWnd() override {
        TCustomControl::CreateWnd();
        ++created;
        log.push_back("create:" + Name().toStdString());
    }
    void Paint() override {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
    void DoEnter() override {
        log.push_back("enter");
        TCustomControl::DoEnter();
    }
    void DoExit() override {
        log.push_back("exit");
        TCustomControl::DoExit();
    }
    void KeyDown(WORD& Key, TShiftState Shift) override {
        log.push_back("key:" + std::to_string(Key));
        TCustomControl::KeyDown(Key, Shift);
    }
};

} // namespace

TEST(ControlDispatch, PerformReachesHandlersThroughReplaceableWindowProc) {
    int seen = 0; // outlives the harness, whose form still sends the box messages as it goes
    FormHarness h;
    auto* form = h.Create<TForm>();
    auto* box = new TBox(form);
    box->SetParent(form);
    // Replacing WindowProc sees every message first, as subclassing a control does.
    box->WindowProc = [box, &seen](TMessage& m) {
        if (m.Msg == CM_TEXTCHANGED) ++seen;
        box->WndProc(m);
    };
    box->SetCaption(u"one"_qs);
    box->SetCaption(u"one"_qs);  // unchanged: no notice
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(box->Perform(CM_HITTEST), HTCLIENT);
    EXPECT_EQ(box->Perform(WM_GETTEXTLENGTH), 3);
}

namespace {

// A form built in code the way the program's forms are: components made with their owner and
// parent inside the loading bracket, then Loaded once for each.
class TLayoutForm : public TForm {
public:
    explicit TLayoutForm(TComponent* AOwner) : TForm(AOwner) {
        BeginLoading();
        SetName(u"LayoutForm"_qs);
        SetPosition(poDesigned);
        SetBounds(100, 100, 400, 300);
        top = Add<TPad>(u"top"_qs, alTop, 0, 0, 10, 30);
        bottom = Add<TPad>(u"bottom"_qs, alBottom, 0, 0, 10, 20);
        left = Add<TPad>(u"left"_qs, alLeft, 0, 0, 50, 10);
        client = Add<TPad>(u"client"_qs, alClient, 0, 0, 10, 10);
        client->SetAlignWithMargins(true);
        client->Margins()->SetBounds(5, 6, 7, 8);
        // Anchored inside the client panel.
        // Tab order given with each control as it is made, before its later siblings exist, as form
        // descriptions do.
        okButton = Add<TPad>(u"ok"_qs, alNone, 200, 150, 60, 20, client);
        okButton->SetAnchors({akRight, akBottom});
        okButton->SetTabOrder(2);
        stretch = Add<TPad>(u"stretch"_qs, alNone, 10, 10, 100, 20, client);
        stretch->SetAnchors({akLeft, akTop, akRight});
        stretch->SetTabOrder(1);
        centred = Add<TPad>(u"centred"_qs, alNone, 100, 60, 20, 20, client);
        centred->SetAnchors({});
        centred->SetTabOrder(0);
        box = new TBox(this);
        box->SetName(u"box"_qs);
        box->SetBounds(10, 100, 40, 30);
        box->SetParent(client);
        EndLoading();
    }

    template <class T>
    T* Add(const QString& name, TAlign align, int x, int y, int w, int h, TWinControl* parent = nullptr) {
        auto* c = new T(this);
        c->SetName(name);
        c->SetBounds(x, y, w, h);
        c->SetAlign(align);
        c->SetParent(parent ? parent : this);
        return c;
    }

    int loaded = 0;
    TPad *top, *bottom, *left, *client, *okButton, *stretch, *centred;
    TBox* box;

protected:
    void Loaded() override {
        ++loaded;
        TForm::Loaded();
    }
};

TRect BoundsOf(TControl* c) { return c->BoundsRect(); }

} // namespace

TEST(ControlLayout, LoadedOnceAndAlignsWithMarginsAndAnchors) {
    FormHarness h;
    auto* form = h.Show<TLayoutForm>();
    EXPECT_EQ(form->loaded, 1);
    EXPECT_EQ(form->ClientWidth(), 400);
    EXPECT_EQ(form->ClientHeight(), 300);
    EXPECT_EQ(BoundsOf(form->top), Rect(0, 0, 400, 30));
    EXPECT_EQ(BoundsOf(form->bottom), Rect(0, 280, 400, 300));
    EXPECT_EQ(BoundsOf(form->left), Rect(0, 30, 50, 280));
    // The margins surround the client control inside the space left.
    EXPECT_EQ(BoundsOf(form->client), Rect(50 + 5, 30 + 6, 400 - 7, 280 - 8));

    const TRect ok = BoundsOf(form->okButton), stretch = BoundsOf(form->stretch), centred = BoundsOf(form->centred);
    form->SetBounds(form->Left(), form->Top(), 500, 360);
    h.Pump();
    EXPECT_EQ(BoundsOf(form->client), Rect(55, 36, 493, 332));
    const int dx = 100, dy = 60;  // the client control grew as much as the form
    EXPECT_EQ(BoundsOf(form->okButton), Rect(ok.Left + dx, ok.Top + dy, ok.Right + dx, ok.Bottom + dy));
    EXPECT_EQ(BoundsOf(form->stretch), Rect(stretch.Left, stretch.Top, stretch.Right + dx, stretch.Bottom));
    // Anchored on no side: the centre keeps its proportion.
    const int oldW = 400 - 7 - 55, oldH = 280 - 8 - 36;
    EXPECT_EQ(form->centred->Left() + form->centred->Width() / 2, rtl::MulDiv(110, oldW + dx, oldW));
    EXPECT_EQ(form->centred->Top() + form->centred->Height() / 2, rtl::MulDiv(70, oldH + dy, oldH));
    EXPECT_EQ(form->centred->Width(), centred.Width());
    // Windowless controls keep their place (default anchors).
    EXPECT_EQ(BoundsOf(form->box), Rect(10, 100, 50, 130));
}

TEST(ControlLayout, DesktopResizeReachesTheModelAndRealigns) {
    FormHarness h;
    auto* form = h.Show<TLayoutForm>();
    const TRect ok = BoundsOf(form->okButton);
    h.DesktopResize(form, 450, 320);
    EXPECT_EQ(form->Width(), 450);
    EXPECT_EQ(form->Height(), 320);
    EXPECT_EQ(BoundsOf(form->top), Rect(0, 0, 450, 30));
    EXPECT_EQ(BoundsOf(form->okButton).Left, ok.Left + 50);
    EXPECT_EQ(BoundsOf(form->okButton).Top, ok.Top + 20);
}

TEST(ControlLayout, HandlesAreCreatedParentFirstInControlOrder) {
    FormHarness h;
    auto* form = h.Create<TLayoutForm>();
    std::vector<std::string> order;
    for (TPad* p : {form->top, form->bottom, form->left, form->client, form->okButton, form->stretch, form->centred})
        EXPECT_FALSE(p->HandleAllocated());
    form->Show();
    h.Pump();
    auto created = [](TPad* p) { return p->created; };
    for (TPad* p : {form->top, form->bottom, form->left, form->client, form->okButton, form->stretch, form->centred})
        EXPECT_EQ(created(p), 1) << p->Name().toStdString();
    // Child windows sit in z-order as the controls were inserted.
    HWND first = GetWindow(form->Handle(), GW_CHILD);
    EXPECT_EQ(first, form->top->Handle());
    EXPECT_EQ(GetParent(form->okButton->Handle()), form->client->Handle());
    // A control recreated gets a new window with the same place.
    HWND old = form->stretch->Handle();
    const TRect bounds = BoundsOf(form->stretch);
    form->stretch->RecreateWnd();
    EXPECT_EQ(form->stretch->created, 2);
    EXPECT_NE(form->stretch->Handle(), old);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(BoundsOf(form->stretch), bounds);
    // A parent recreated takes its children along into the new window.
    form->client->RecreateWnd();
    EXPECT_EQ(form->okButton->created, 2);
    EXPECT_EQ(GetParent(form->okButton->Handle()), form->client->Handle());
    EXPECT_TRUE(IsWindowVisible(form->okButton->Handle()));
}

TEST(ControlFocus, TabOrderFollowsTabOrderAndEnterExitFire) {
    FormHarness h;
    auto* form = h.Show<TLayoutForm>();
    std::vector<TWinControl*> list;
    form->client->GetTabOrderList(list);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], form->centred);
    EXPECT_EQ(list[1], form->stretch);
    EXPECT_EQ(list[2], form->okButton);

    form->centred->SetFocus();
    h.Pump();
    EXPECT_TRUE(form->centred->Focused());
    EXPECT_EQ(form->ActiveControl(), form->centred);
    h.Keys(VK_TAB);
    EXPECT_TRUE(form->stretch->Focused());
    EXPECT_EQ(form->centred->log.back(), "exit");
    EXPECT_EQ(form->stretch->log.back(), "enter");
    h.Keys(VK_TAB, {VK_SHIFT});
    EXPECT_TRUE(form->centred->Focused());
    // Hidden and disabled controls are skipped.
    form->stretch->SetEnabled(false);
    form->okButton->Hide();
    h.Keys(VK_TAB);
    EXPECT_TRUE(form->top->Focused());  // past the client panel's children, on to the next of the form
    EXPECT_EQ(Screen->ActiveControl(), form->top);
}

TEST(ControlKeys, KeyDownReachesFocusedControlAndKeyPreviewComesFirst) {
    FormHarness h;
    auto* form = h.Show<TLayoutForm>();
    form->stretch->SetFocus();
    h.Pump();
    std::vector<std::string> seen;
    form->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
        seen.push_back("form:" + std::to_string(Key));
        if (Key == 'Q') Key = 0;  // swallowed by the form
    };
    h.Keys('A');
    EXPECT_TRUE(seen.empty());  // no preview yet
    EXPECT_EQ(form->stretch->log.back(), "key:65");
    form->SetKeyPreview(true);
    form->stretch->log.clear();
    h.Keys('A');
    h.Keys('Q');
    EXPECT_EQ(seen, (std::vector<std::string>{"form:65", "form:81"}));
    EXPECT_EQ(form->stretch->log, (std::vector<std::string>{"key:65"}));
}

TEST(ControlMouse, WindowlessControlGetsClickEnterAndLeave) {
    // The counters outlive the harness: the form's destruction still sends the client messages.
    int clicks = 0;
    int parentNotices = 0;
    FormHarness h;
    auto* form = h.Show<TLayoutForm>();
    TBox* box = form->box;
    box->OnClick = [box, &clicks](TObject* Sender) {
        EXPECT_EQ(Sender, box);
        ++clicks;
    };
    TPad* client = form->client;
    client->WindowProc = [client, box, &parentNotices](TMessage& m) {
        if (m.Msg == CM_MOUSEENTER && m.LParam == LPARAM(box)) ++parentNotices;
        client->WndProc(m);
    };
    h.MoveTo(client, POINT{5, 5});
    h.MoveTo(box, POINT{3, 3});
    EXPECT_EQ(box->log, (std::vector<std::string>{"enter"}));
    EXPECT_EQ(parentNotices, 1);
    EXPECT_TRUE(box->MouseInClient());
    h.Click(box);
    EXPECT_EQ(clicks, 1);
    h.MoveTo(client, POINT{5, 5});
    EXPECT_EQ(box->log, (std::vector<std::string>{"enter", "click", "leave"}));
    // Pressed inside, released outside: the capture keeps the control, but it is no click.
    h.MoveTo(box);
    const auto t = FormHarness::TargetOf(box, POINT{2, 2});
    const POINT in = testing_support::HeadlessApp::ToScreen(t.hwnd, t.point);
    TwInputMouseButton(in.x, in.y, TW_BUTTON_LEFT, TRUE);
    h.Pump();
    EXPECT_TRUE(box->MouseCapture());
    box->log.clear();
    TwInputMouseMove(in.x + 200, in.y);
    h.Pump();
    EXPECT_EQ(box->log, (std::vector<std::string>{"leave"}));  // left while it still holds the capture
    EXPECT_TRUE(box->MouseCapture());
    TwInputMouseMove(in.x, in.y);
    h.Pump();
    EXPECT_EQ(box->log, (std::vector<std::string>{"leave", "enter"}));
    TwInputMouseMove(in.x + 200, in.y);
    TwInputMouseButton(in.x + 200, in.y, TW_BUTTON_LEFT, FALSE);
    h.Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(box->MouseCapture());
}

TEST(ControlPaint, WindowlessControlIsPaintedByItsParent) {
    FormHarness h;
    auto* form = h.Show<TLayoutForm>();
    form->client->SetColor(clWhite);
    form->client->Repaint();
    h.Pump();
    EXPECT_GT(form->box->paints, 0);
    const HWND wnd = form->client->Handle();
    EXPECT_EQ(h.App().Pixel(wnd, 10 + 5, 100 + 5), 0xFF0000u);   // inside the box: red (RGB)
    EXPECT_EQ(h.App().Pixel(wnd, 10 + 45, 100 + 5), 0xFFFFFFu);  // beside it: the panel's colour
    // Hidden: the parent paints over it.
    form->box->Hide();
    h.Pump();
    EXPECT_EQ(h.App().Pixel(wnd, 15, 105), 0xFFFFFFu);
}

TEST(ControlReflection, CommandNotificationGoesBackToTheChildAsCN) {
    std::vector<UINT> got; // outlives the harness, whose form still sends the child messages as it goes
    FormHarness h;
    auto* form = h.Show<TLayoutForm>();
    TPad* child = form->okButton;
    child->WindowProc = [child, &got](TMessage& m) {
        if (m.Msg >= CN_BASE && m.Msg < CN_BASE + 0x400) got.push_back(m.Msg);
        if (m.Msg == CN_CTLCOLORBTN) m.Result = 77;
        else child->WndProc(m);
    };
    HWND parent = form->client->Handle(), hwnd = child->Handle();
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(1, 0), LPARAM(hwnd));
    EXPECT_EQ(SendMessageW(parent, WM_CTLCOLORBTN, 0, LPARAM(hwnd)), 77);
    struct { HWND from; UINT_PTR id; UINT code; } nm{hwnd, 1, 0};
    SendMessageW(parent, WM_NOTIFY, 1, LPARAM(&nm));
    EXPECT_EQ(got, (std::vector<UINT>{CN_COMMAND, CN_CTLCOLORBTN, CN_NOTIFY}));
}

TEST(ControlBounds, ConstraintsAndScalingApplyToEveryWayOfSettingTheSize) {
    FormHarness h;
    auto* form = h.Show<TLayoutForm>();
    TPad* pad = form->stretch;
    pad->Constraints()->SetMinWidth(50);
    pad->Constraints()->SetMaxHeight(40);
    struct Case { int w, h, expectW, expectH; };
    for (const Case& c : {Case{30, 30, 50, 30}, Case{80, 100, 80, 40}, Case{60, 20, 60, 20}}) {
        pad->SetBounds(pad->Left(), pad->Top(), c.w, c.h);
        EXPECT_EQ(pad->Width(), c.expectW);
        EXPECT_EQ(pad->Height(), c.expectH);
        RECT r;
        GetWindowRect(pad->Handle(), &r);
        EXPECT_EQ(r.right - r.left, c.expectW);  // the window agrees with the control
    }
    // Scaling to 150 %: position, size and limits; a fixed-width control keeps its width.
    form->box->SetControlStyle(form->box->ControlStyle() + TControlStyle{csFixedWidth});
    form->client->ScaleBy(3, 2);
    EXPECT_EQ(pad->Constraints()->MinWidth(), 75);
    EXPECT_EQ(pad->Constraints()->MaxHeight(), 60);
    EXPECT_EQ(form->box->Left(), 15);
    EXPECT_EQ(form->box->Top(), 150);
    EXPECT_EQ(form->box->Width(), 40);
    EXPECT_EQ(form->box->Height(), 45);
}

TEST(ControlLayout, DesktopSizeIsHeldToTheFormsConstraints) {
    FormHarness h;
    auto* form = h.Show<TLayoutForm>();
    form->Constraints()->SetMinWidth(300);
    form->Constraints()->SetMaxHeight(400);
    h.DesktopResize(form, 200, 500);
    EXPECT_EQ(form->Width(), 300);
    EXPECT_EQ(form->Height(), 400);
    EXPECT_EQ(BoundsOf(form->top), Rect(0, 0, 300, 30));
}

namespace {
// Answers the dialog character 'x', as an accelerator of a caption does.
class TAccel : public TBox {
public:
    using TBox::TBox;
    int hits = 0;

protected:
    void Dispatch(TMessage& Message) override {
        if (Message.Msg == CM_DIALOGCHAR && (Message.WParam == 'x' || Message.WParam == 'X')) {
            ++hits;
            Message.Result = 1;
            return;
        }
        TBox::Dispatch(Message);
    }
};
} // namespace

TEST(ControlKeys, DialogCharacterGoesToTheControlThatAnswersIt) {
    FormHarness h;
    auto* form = h.Show<TLayoutForm>();
    auto* accel = new TAccel(form);
    accel->SetParent(form->client);
    std::u16string typed;
    form->stretch->OnKeyPress = [&](TObject*, rtl::Char& Key) { typed += Key; };
    h.Type(form->stretch, u"axb"_qs);
    EXPECT_EQ(accel->hits, 1);
    EXPECT_EQ(typed, u"ab");  // the accelerator's character never reached the focused control
}

TEST(ControlPaint, CanvasOutsidePaintingDrawsAtTheControlAndGivesItsDCBack) {
    FormHarness h;
    auto* form = h.Show<TLayoutForm>();
    form->client->SetColor(clWhite);
    form->client->Repaint();
    h.Pump();
    TCanvas* canvas = form->box->Canvas();
    canvas->Brush()->SetColor(clLime);
    canvas->FillRect(Rect(0, 0, 5, 5));  // the box's own coordinates, on its parent's window
    EXPECT_TRUE(canvas->HandleAllocated());
    EXPECT_EQ(h.App().Pixel(form->client->Handle(), 10 + 2, 100 + 2), 0x00FF00u);
    EXPECT_EQ(h.App().Pixel(form->client->Handle(), 10 + 6, 100 + 6), 0xFF0000u);  // clipped to the drawing
    FreeDeviceContexts();
    EXPECT_FALSE(canvas->HandleAllocated());
    // The parent's window going takes the DC along.
    canvas->FillRect(Rect(0, 0, 1, 1));
    form->client->RecreateWnd();
    EXPECT_FALSE(canvas->HandleAllocated());
}

namespace {
class TCheckingParent : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<rtl::TComponent*> Validated;
    bool Refuse = false;

protected:
    void ValidateInsert(rtl::TComponent* AComponent) override {
        if (Refuse) throw rtl::EComponentError(QStringLiteral("refused"));
        Validated.push_back(AComponent);
    }
};
} // namespace

TEST(ControlLayout, AParentValidatesEveryControlPutIntoIt) {
    TCheckingParent parent(nullptr);
    TCustomControl child(nullptr);
    TControl plain(nullptr);
    child.SetParent(&parent);
    plain.SetParent(&parent);
    EXPECT_EQ(parent.Validated, (std::vector<rtl::TComponent*>{&child, &plain}));
    parent.Refuse = true;
    TCustomControl refused(nullptr);
    EXPECT_THROW(refused.SetParent(&parent), rtl::EComponentError);
    EXPECT_EQ(refused.Parent(), nullptr);
    EXPECT_EQ(parent.ControlCount(), 2);
    child.SetParent(nullptr);
    plain.SetParent(nullptr);
}
