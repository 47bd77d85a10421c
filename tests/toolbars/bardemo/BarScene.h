// tests/toolbars/bardemo/BarScene.h: the scene of the bar pictures, shared by the demo program (the X
// server's half, driven by xdotool) and ToolbarScreenshotTest (the model's half): a form at (40, 40),
// too narrow for the six buttons of the toolbar in its top dock, and a floating toolbar of six buttons
// at (320, 60) that PlaceFloatingOnTwoLines puts on two lines.
#pragma once
#include "toolbars/BarToolbar.h"
#include "vcl/Forms.h"

#include <functional>
#include <vector>

namespace bars {

class TBarSceneForm : public vcl::TForm {
public:
    TBarCustomToolbar* Tools = nullptr;
    TBarCustomToolbar* Floating = nullptr;
    TBarCustomItem* Hidden = nullptr;  // Analyse: new buttons come first, so the first go behind the chevron
    std::function<void(TBarCustomItem*)> OnCommand;

    explicit TBarSceneForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetBorderStyle(vcl::bsNone);  // no window manager frame: the picture is the form alone
        SetPosition(vcl::poDesigned);
        SetBounds(40, 40, 200, 120);
        auto* dock = new TBarDock(this);
        dock->SetParent(this);
        Tools = new TBarCustomToolbar(this);
        for (const char16_t* caption : {u"Convert", u"Analyse", u"Play", u"Tags", u"Options", u"Help"})
            Command(Tools, caption);
        Hidden = Tools->Items()->GetItem(1);
        Tools->SetParent(dock);
        Floating = new TBarCustomToolbar(this);
        Floating->SetCaption(u"Floating"_qs);
        for (const char16_t* caption : {u"A", u"B", u"C", u"D", u"E", u"F"}) Command(Floating, caption);
        Floating->SetFloatingPosition(TPoint(320, 60));
        Floating->SetParent(this);
        Floating->SetFloating(true);
    }

    // The floating toolbar at its listed width for two lines, placed again; returns the listed sizes.
    std::vector<TPoint> PlaceFloatingOnTwoLines() {
        std::vector<TPoint> sizes;
        Floating->ListFloatingSizes(sizes);
        Floating->SetFloatingWidth(sizes.size() > 1 ? sizes[1].X : 0);
        Floating->SetFloating(false);
        Floating->SetFloating(true);
        return sizes;
    }

    // The screen area of the chevron picture: the form and the popup below its toolbar.
    static TRect ChevronPictureArea() { return TRect(40, 40, 300, 220); }

private:
    void Command(TBarCustomToolbar* Bar, const char16_t* Caption) {
        auto* item = new TBarCustomItem(this);
        item->SetCaption(String::fromUtf16(Caption));
        item->OnClick = [this, item](rtl::TObject*) {
            if (OnCommand) OnCommand(item);
        };
        Bar->Items()->Add(item);
    }
};

} // namespace bars
