// skins/SkStatusBar.h: one skinned toolbar inside one skinned dock, as a single control: the compound
// items control and bar, and the status bar built on it, with its size grip and separators.
#pragma once
#include "skins/SkBars.h"

namespace skins {

using TSkToolbarFactory = TSkToolbar* (*)(rtl::TComponent* AOwner);

// A dock and its one toolbar, owned and laid out by the control. The toolbar's class is chosen by the
// derived control when it is built (a base constructor cannot ask a derived one).
class TSkCompoundItemsControl : public TSkCustomControl {
public:
    explicit TSkCompoundItemsControl(rtl::TComponent* AOwner, TSkToolbarFactory MakeToolbar = nullptr);
    ~TSkCompoundItemsControl() override;

    TSkDock* Dock() const { return FDock; }
    TSkToolbar* Toolbar() const { return FToolbar; }
    bars::TBarRootItem* Items() const { return FToolbar ? FToolbar->Items() : nullptr; }
    TSkToolbarView* View() const { return FToolbar ? FToolbar->SkView() : nullptr; }

    // Where a user's items go: the toolbar's root, unless a derived control keeps them in a group.
    virtual bars::TBarCustomItem* GetRootItems();
    virtual void InvalidateBackground(bool InvalidateChildren);
    void SetName(const rtl::String& Value) override;

protected:
    void CreateParams(vcl::TCreateParams& Params) override;
    void Loaded() override;
    void Dispatch(vcl::TMessage& Message) override;

    TSkDock* FDock = nullptr;
    TSkToolbar* FToolbar = nullptr;
};

class TSkCompoundBar : public TSkCompoundItemsControl {
public:
    explicit TSkCompoundBar(rtl::TComponent* AOwner, TSkToolbarFactory MakeToolbar = nullptr);

    vcl::TCustomImageList* Images() const { return FToolbar ? FToolbar->Images() : nullptr; }
    void SetImages(vcl::TCustomImageList* Value) {
        if (FToolbar) FToolbar->SetImages(Value);
    }
    virtual void DoDrawDockBackground(vcl::TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage,
                                      bool& PaintDefault);

    TSkDrawEvent OnDrawDockBackground;

private:
    void DockDrawBackground(rtl::TObject* Sender, vcl::TCanvas* ACanvas, TRect ARect, TSkPaintStage PaintStage,
                            bool& PaintDefault);
};

// ---- the status bar ----

class TSkStatusToolbar : public TSkToolbar {
public:
    explicit TSkStatusToolbar(rtl::TComponent* AOwner);

    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    // In the dock's client coordinates; empty when the form cannot be sized from here.
    TRect GetGripRect();
    bool NeedsSeparatorRepaint();

    TColor GetItemsTextColor(TSkSkinStatesType State) override;
    int GetRightAlignMargin() override;
    void DoItemNotification(bars::TBarCustomItem* Ancestor, bool Relayed, bars::TBarItemChangedAction Action,
                            int Index, bars::TBarCustomItem* Item) override;

protected:
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void Dispatch(vcl::TMessage& Message) override;

private:
    vcl::TCustomForm* Form();
    bool InGrip(POINT ScreenPoint);
    void StartGripSizing();

    bool FSizeGrip = true;
};

class TSkCustomStatusBar : public TSkCompoundBar {
public:
    explicit TSkCustomStatusBar(rtl::TComponent* AOwner);

    TSkStatusToolbar* StatusToolbar() const { return static_cast<TSkStatusToolbar*>(FToolbar); }
    bool SizeGrip() const { return StatusToolbar()->SizeGrip(); }
    void SetSizeGrip(bool Value) { StatusToolbar()->SetSizeGrip(Value); }

    bool CanResize(int& NewWidth, int& NewHeight) override;
    void DoDrawDockBackground(vcl::TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage,
                              bool& PaintDefault) override;
    virtual void DrawSeparators(vcl::TCanvas* ACanvas, const TRect& R);

protected:
    void Dispatch(vcl::TMessage& Message) override;
};

class TSkStatusBar : public TSkCustomStatusBar {
public:
    using TSkCustomStatusBar::TSkCustomStatusBar;
};

} // namespace skins
