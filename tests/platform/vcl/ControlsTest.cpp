// The control layer: dispatch and the window link, alignment, anchors, windowless controls, focus and
// tab order, keys, reflection.
#include "tests/support/windows/FormHarness.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"

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
    FormHarness h;
    auto* form = h.Create<TForm>();
    auto* box = new TBox(form);
    box->SetParent(form);
    int seen = 0;
    // Replacing WindowProc sees every message first, as subclassing a control does.
    box->WindowProc = [&](TMessage& m) {
        if (m.Msg == CM_TEXTCHANGED) ++seen;
        box->WndProc(m);
    };
    box->SetCaption(u"one"_qs);
    box->SetCaption(u"one"_qs);  // unchanged: no notice
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(box->Perform(CM_HITTEST), HTCLIENT);
    EXPECT_EQ(box->Perform(WM_GETTEXTLENGTH), 3);
}
