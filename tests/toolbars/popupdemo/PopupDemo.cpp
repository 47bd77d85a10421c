// tests/toolbars/popupdemo/PopupDemo.cpp: a form at (40, 40) that opens a popup menu (First, Second,
// More > Inner) at the pointer on a right click, with a control below the menu's place, for input from
// outside (xdotool under Xvfb). It prints the centre of each item as its menu level opens, each command
// as it runs, each press that reaches the control, and "closed" each time the menu has closed; after
// the third menu it says which window has the focus and quits.
#include "tests/toolbars/DemoMain.h"
#include "toolbars/BarPopup.h"
#include "vcl/Forms.h"

#include <cstdio>
#include <string>

using namespace bars;

namespace {

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

TBarCustomItem* shownLevel = nullptr;  // the level whose items are printed when its timer comes

// Prints the centre of each item of the open level that shows shownLevel's items.
void CALLBACK PrintLevel(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    for (TBarPopupWindow* w : PopupWindows()) {
        if (!IsWindowVisible(w->Handle()) || !w->View() || w->View()->ParentItem() != shownLevel) continue;
        for (int i = 0; i < shownLevel->Count(); ++i) {
            TBarItemViewer* v = w->View()->Find(shownLevel->GetItem(i));
            if (!v) continue;
            const TRect r = v->BoundsRect();
            POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
            ClientToScreen(w->Handle(), &p);
            Say("item " + StripAccelChars(shownLevel->GetItem(i)->Caption()).toStdString() + " " +
                std::to_string(p.x) + " " + std::to_string(p.y));
        }
    }
}

class TBelow : public vcl::TCustomControl {
public:
    using vcl::TCustomControl::TCustomControl;

protected:
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override {
        Say("press below");
        vcl::TCustomControl::MouseDown(Button, Shift, X, Y);
    }
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
        SetBounds(40, 40, 400, 300);
        auto* below = new TBelow(this);
        below->SetBounds(150, 150, 200, 100);
        below->SetParent(this);
        FMenu = new TBarPopupMenu(this);
        Command(FMenu->Items(), u"&First");
        Command(FMenu->Items(), u"&Second");
        auto* more = new TSubmenu(this);
        more->SetCaption(u"&More"_qs);
        more->OnPopup = [more](TBarCustomItem*, bool) {
            shownLevel = more;
            SetTimer(nullptr, 0, 200, &PrintLevel);
        };
        FMenu->Items()->Add(more);
        Command(more, u"&Inner");
    }

protected:
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override {
        vcl::TForm::MouseDown(Button, Shift, X, Y);
        if (Button != vcl::mbRight) return;
        POINT p{X, Y};
        ::ClientToScreen(Handle(), &p);
        shownLevel = FMenu->Items();
        SetTimer(nullptr, 0, 200, &PrintLevel);
        FMenu->Popup(p.x, p.y);
        Say("closed");
        if (++FMenus == 3) SetTimer(nullptr, 0, 300, &Finish);  // after what the last menu left queued
    }
    static void CALLBACK Finish(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        HWND focus = GetFocus(), form = vcl::Application->MainForm()->Handle();
        Say(focus == form || IsChild(form, focus) ? "focus on the form" : "focus elsewhere");
        vcl::Application->Terminate();
    }

private:
    class TSubmenu : public TBarCustomItem {
    public:
        explicit TSubmenu(rtl::TComponent* AOwner) : TBarCustomItem(AOwner) { FItemStyle.Include(tbisSubmenu); }
    };
    void Command(TBarCustomItem* Parent, const char16_t* Caption) {
        auto* item = new TBarCustomItem(this);
        item->SetCaption(String::fromUtf16(Caption));
        item->OnClick = [item](rtl::TObject*) { Say("click " + StripAccelChars(item->Caption()).toStdString()); };
        Parent->Add(item);
    }
    TBarPopupMenu* FMenu = nullptr;
    int FMenus = 0;
};

} // namespace

int main(int argc, char** argv) {
    return RunDemo<TDemoForm>(argc, argv);
}
