// tests/toolbars/dockdemo/DockDemo.cpp: a form at (40, 40) with a top dock holding two bars, for input
// from outside (xdotool under Xvfb). Every change of the second bar's placement is printed when its
// OnDockChanged or OnMove comes: its row when docked, the middle of its frame's caption when floating
// (a new row in the same dock is a move, not a change of dock). Quits after the third change.
#include "tests/toolbars/DemoMain.h"
#include "toolbars/BarDock.h"
#include "vcl/Forms.h"

#include <cstdio>
#include <string>

using namespace bars;

namespace {

class TDemoBar : public TBarCustomDockableWindow {
public:
    using TBarCustomDockableWindow::TBarCustomDockableWindow;
    TPoint ArrangeContents(bool, TBarDockKind, bool, TBarDock*) override { return TPoint(60, 20); }
    void GetBaseSize(TPoint& ASize) override { ASize = TPoint(60, 20); }

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(vcl::clTeal);
        Canvas()->FillRect(ClientRect());
    }
};

class TDemoForm : public vcl::TForm {
public:
    explicit TDemoForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetBorderStyle(vcl::bsNone);
        SetPosition(vcl::poDesigned);
        SetBounds(40, 40, 400, 200);
        auto* dock = new TBarDock(this);
        dock->SetParent(this);
        auto* first = new TDemoBar(this);
        first->SetDockPos(0);
        first->SetParent(dock);
        FBar = new TDemoBar(this);
        FBar->SetCaption(u"Moved"_qs);
        FBar->SetDockPos(100);
        FBar->SetParent(dock);
        FBar->OnDockChanged = rtl::TNotifyEvent(this, &TDemoForm::Report);
        FBar->OnMove = rtl::TNotifyEvent(this, &TDemoForm::Report);
        FLast = "docked row 0";
    }

private:
    void Report(rtl::TObject*) {
        if (FBar->DragMode() && !FBar->Floating() && !FBar->Docked()) return;  // between two placements
        const std::string state = FBar->Floating() ? std::string("floating")
                                                   : "docked row " + std::to_string(FBar->EffectiveDockRow());
        if (state == FLast || (FBar->Docked() && FBar->EffectiveDockRow() < 0)) return;
        FLast = state;
        if (FBar->Floating()) {
            TBarFloatingWindowParent* frame = FBar->FloatParent();
            const TRect c = frame->CaptionRect(true, true);
            std::printf("floating caption %d %d\n", int(frame->Left() + (c.Left + c.Right) / 2),
                        int(frame->Top() + (c.Top + c.Bottom) / 2));
        } else
            std::printf("%s\n", state.c_str());
        std::fflush(stdout);
        if (++FChanges == 3) vcl::Application->Terminate();
    }
    TDemoBar* FBar;
    std::string FLast;
    int FChanges = 0;
};

} // namespace

int main(int argc, char** argv) {
    return RunDemo<TDemoForm>(argc, argv);
}
