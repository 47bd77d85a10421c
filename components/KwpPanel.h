// components/KwpPanel.h: the pack's container panel: a plain colour or two stacked gradients, a border
// whose four sides are switched one by one, decorations drawn over the background (vertical and
// horizontal lines, captions, horizontal bars) and companion controls kept around it.
#pragma once
#include "components/Common.h"
#include "components/KwpAnchoredControls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Messages.h"

#include <memory>

namespace components {

using vcl::TFont;

enum TKwpVerticalLinePosition : uint8_t { vlpFromLeft, vlpCenter, vlpFromRight };
enum TKwpHorizontalLinePosition : uint8_t { hlpFromTop, hlpCenter, hlpFromBottom };
enum TKwpTextHorizontalPosition : uint8_t { thpFromLeft, thpCenter, thpFromRight };
enum TKwpTextVerticalPosition : uint8_t { tvpFromTop, tvpCenter, tvpFromBottom };
enum TKwpHorizontalBarPosition : uint8_t {
    hbpFromTop,
    hbpCenter,
    hbpFromBottom,
    hbpPercentFromTop,
    hbpPercentFromBottom
};

// ---- appearance ----

// One side of the border: its pen's width is the number of lines, Border3D shortens them ring by ring.
class TKwpPanelBorder : public rtl::TPersistent {
public:
    explicit TKwpPanelBorder(rtl::TComponent* AOwner = nullptr);
    ~TKwpPanelBorder() override;

    void Assign(rtl::TPersistent* Source) override;

    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* Value); // copies the pen's attributes
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Border3D() const { return FBorder3D; }
    void SetBorder3D(bool Value);

    rtl::TNotifyEvent OnChange;

private:
    void Changed();
    void PenChanged(rtl::TObject*) { Changed(); }

    std::unique_ptr<TPen> FPen;
    bool FVisible = true;
    bool FBorder3D = true;
};

class TKwpPanelBorders : public rtl::TPersistent {
public:
    explicit TKwpPanelBorders(rtl::TComponent* AOwner = nullptr);
    ~TKwpPanelBorders() override;

    void Assign(rtl::TPersistent* Source) override;

    TKwpPanelBorder* Left() const { return FLeft.get(); }
    TKwpPanelBorder* Right() const { return FRight.get(); }
    TKwpPanelBorder* Top() const { return FTop.get(); }
    TKwpPanelBorder* Bottom() const { return FBottom.get(); }
    // Each copies the given side into its own.
    void SetLeft(TKwpPanelBorder* Value) { SetSide(FLeft.get(), Value); }
    void SetRight(TKwpPanelBorder* Value) { SetSide(FRight.get(), Value); }
    void SetTop(TKwpPanelBorder* Value) { SetSide(FTop.get(), Value); }
    void SetBottom(TKwpPanelBorder* Value) { SetSide(FBottom.get(), Value); }

    rtl::TNotifyEvent OnChange;

private:
    void SideChanged(rtl::TObject*);
    void SetSide(TKwpPanelBorder* Own, TKwpPanelBorder* Value);

    std::unique_ptr<TKwpPanelBorder> FLeft, FRight, FTop, FBottom;
};

class TKwpPanelAppearance : public rtl::TPersistent {
public:
    explicit TKwpPanelAppearance(rtl::TComponent* AOwner);
    ~TKwpPanelAppearance() override;

    void Assign(rtl::TPersistent* Source) override;

    rtl::TComponent* Owner() const { return FOwner; }
    TKwpGradientEx* UpperGradient() const { return FUpperGradient.get(); }
    void SetUpperGradient(TKwpGradientEx* Value);
    TKwpGradientEx* BottomGradient() const { return FBottomGradient.get(); }
    void SetBottomGradient(TKwpGradientEx* Value);
    // Also tells both gradients (bottom first), then the appearance's own listener.
    uint8_t UpperGradientPercent() const { return FUpperGradientPercent; }
    void SetUpperGradientPercent(uint8_t Value);
    TKwpPanelBorders* Borders() const { return FBorders.get(); }
    void SetBorders(TKwpPanelBorders* Value);
    int32_t BorderToGradientMargin() const { return FBorderToGradientMargin; }
    void SetBorderToGradientMargin(int32_t Value) { Set(FBorderToGradientMargin, Value); }
    TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor Value) { Set(FBackgroundColor, Value); }
    bool DrawGradient() const { return FDrawGradient; }
    void SetDrawGradient(bool Value) { Set(FDrawGradient, Value); }
    bool DrawBorder() const { return FDrawBorder; }
    void SetDrawBorder(bool Value) { Set(FDrawBorder, Value); }

    rtl::TNotifyEvent OnChange;

private:
    // Every setter stores and tells, also for an unchanged value.
    template <class T> void Set(T& Field, T Value) {
        Field = Value;
        Changed(this);
    }
    void Changed(rtl::TObject*);

    rtl::TComponent* FOwner;
    std::unique_ptr<TKwpGradientEx> FUpperGradient;
    std::unique_ptr<TKwpGradientEx> FBottomGradient;
    uint8_t FUpperGradientPercent = 50;
    std::unique_ptr<TKwpPanelBorders> FBorders;
    int32_t FBorderToGradientMargin = 0;
    TColor FBackgroundColor = vcl::clBtnFace;
    bool FDrawGradient = true;
    bool FDrawBorder = true;
};

// ---- decorations ----

// What the decoration items share: their own change event, fired by every setter.
class TKwpPanelItem : public rtl::TCollectionItem {
public:
    using rtl::TCollectionItem::TCollectionItem;

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { Set(FVisible, Value); }

    rtl::TNotifyEvent OnChange;

protected:
    template <class T> void Set(T& Field, T Value) {
        Field = Value;
        Changed(this);
    }
    void Changed(rtl::TObject*);

    bool FVisible = true;
};

class TKwpPanelVerticalLine : public TKwpPanelItem {
public:
    explicit TKwpPanelVerticalLine(rtl::TCollection* ACollection);
    ~TKwpPanelVerticalLine() override;

    void Assign(rtl::TPersistent* Source) override;

    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* Value);
    int32_t TopMargin() const { return FTopMargin; }
    void SetTopMargin(int32_t Value) { Set(FTopMargin, Value); }
    int32_t BottomMargin() const { return FBottomMargin; }
    void SetBottomMargin(int32_t Value) { Set(FBottomMargin, Value); }
    int32_t PosX() const { return FPosX; }
    void SetPosX(int32_t Value) { Set(FPosX, Value); }
    TKwpVerticalLinePosition LinePosition() const { return FLinePosition; }
    void SetLinePosition(TKwpVerticalLinePosition Value) { Set(FLinePosition, Value); }

private:
    std::unique_ptr<TPen> FPen;
    int32_t FTopMargin = 0;
    int32_t FBottomMargin = 0;
    int32_t FPosX = 10;
    TKwpVerticalLinePosition FLinePosition = vlpFromLeft;
};

class TKwpPanelHorizontalLine : public TKwpPanelItem {
public:
    explicit TKwpPanelHorizontalLine(rtl::TCollection* ACollection);
    ~TKwpPanelHorizontalLine() override;

    void Assign(rtl::TPersistent* Source) override;

    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* Value);
    int32_t LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int32_t Value) { Set(FLeftMargin, Value); }
    int32_t RightMargin() const { return FRightMargin; }
    void SetRightMargin(int32_t Value) { Set(FRightMargin, Value); }
    int32_t PosY() const { return FPosY; }
    void SetPosY(int32_t Value) { Set(FPosY, Value); }
    TKwpHorizontalLinePosition LinePosition() const { return FLinePosition; }
    void SetLinePosition(TKwpHorizontalLinePosition Value) { Set(FLinePosition, Value); }

private:
    std::unique_ptr<TPen> FPen;
    int32_t FLeftMargin = 0;
    int32_t FRightMargin = 0;
    int32_t FPosY = 10;
    TKwpHorizontalLinePosition FLinePosition = hlpFromTop;
};

class TKwpPanelCaption : public TKwpPanelItem {
public:
    explicit TKwpPanelCaption(rtl::TCollection* ACollection);
    ~TKwpPanelCaption() override;

    // Font and placement only; the text, visibility and listener stay, and nothing is told.
    void Assign(rtl::TPersistent* Source) override;

    rtl::String Text() const { return FText; }
    void SetText(const rtl::String& Value) { Set(FText, Value); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    int32_t PosX() const { return FPosX; }
    void SetPosX(int32_t Value) { Set(FPosX, Value); }
    int32_t PosY() const { return FPosY; }
    void SetPosY(int32_t Value) { Set(FPosY, Value); }
    int32_t MarginX() const { return FMarginX; }
    void SetMarginX(int32_t Value) { Set(FMarginX, Value); }
    int32_t MarginY() const { return FMarginY; }
    void SetMarginY(int32_t Value) { Set(FMarginY, Value); }
    TKwpTextVerticalPosition VerticalPosition() const { return FVerticalPosition; }
    void SetVerticalPosition(TKwpTextVerticalPosition Value) { Set(FVerticalPosition, Value); }
    TKwpTextHorizontalPosition HorizontalPosition() const { return FHorizontalPosition; }
    void SetHorizontalPosition(TKwpTextHorizontalPosition Value) { Set(FHorizontalPosition, Value); }

private:
    rtl::String FText;
    std::unique_ptr<TFont> FFont;
    int32_t FPosX = 10;
    int32_t FPosY = 10;
    int32_t FMarginX = 0;
    int32_t FMarginY = 0;
    TKwpTextVerticalPosition FVerticalPosition = tvpFromTop;
    TKwpTextHorizontalPosition FHorizontalPosition = thpFromLeft;
};

class TKwpPanelHorizontalBar : public TKwpPanelItem {
public:
    explicit TKwpPanelHorizontalBar(rtl::TCollection* ACollection);
    ~TKwpPanelHorizontalBar() override;

    TPen* Border() const { return FBorder.get(); }
    void SetBorder(TPen* Value);
    int32_t Height() const { return FHeight; }
    void SetHeight(int32_t Value) { Set(FHeight, Value); }
    int32_t PosY() const { return FPosY; }
    void SetPosY(int32_t Value) { Set(FPosY, Value); }
    TKwpHorizontalBarPosition BarPosition() const { return FBarPosition; }
    void SetBarPosition(TKwpHorizontalBarPosition Value) { Set(FBarPosition, Value); }
    TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor Value) { Set(FBackgroundColor, Value); }
    TKwpGradientEx* Gradient() const { return FGradient.get(); }
    void SetGradient(TKwpGradientEx* Value);
    bool DrawGradient() const { return FDrawGradient; }
    void SetDrawGradient(bool Value) { Set(FDrawGradient, Value); }
    int32_t LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int32_t Value) { Set(FLeftMargin, Value); }
    int32_t RightMargin() const { return FRightMargin; }
    void SetRightMargin(int32_t Value) { Set(FRightMargin, Value); }

private:
    std::unique_ptr<TPen> FBorder;
    int32_t FHeight = 20;
    int32_t FPosY = 20;
    TKwpHorizontalBarPosition FBarPosition = hbpFromTop;
    TColor FBackgroundColor = vcl::clBtnFace;
    std::unique_ptr<TKwpGradientEx> FGradient;
    bool FDrawGradient = true;
    int32_t FLeftMargin = 0;
    int32_t FRightMargin = 0;
};

// A collection of one decoration kind, reporting the panel as its owner. Its OnChange is kept for
// the panel; the collection itself never fires it (each item tells its own listener).
template <class TItem> class TKwpPanelItems : public rtl::TOwnedCollection {
public:
    explicit TKwpPanelItems(rtl::TComponent* AOwner)
        : rtl::TOwnedCollection(AOwner, rtl::TCollection::ItemClassOf<TItem>()) {}

    TItem* Add() { return static_cast<TItem*>(rtl::TCollection::Add()); }
    TItem* GetItem(int Index) const { return static_cast<TItem*>(Items(Index)); }

    rtl::TNotifyEvent OnChange;
};

using TKwpPanelVerticalLines = TKwpPanelItems<TKwpPanelVerticalLine>;
using TKwpPanelHorizontalLines = TKwpPanelItems<TKwpPanelHorizontalLine>;
using TKwpPanelCaptions = TKwpPanelItems<TKwpPanelCaption>;
using TKwpPanelHorizontalBars = TKwpPanelItems<TKwpPanelHorizontalBar>;

// ---- the panels ----

using TProcOnOnDragDropFiles = rtl::TEvent<void(rtl::TObject* Sender, vcl::TWMDropFiles& msg)>;

// The paint sequence and the events every panel of the pack shares: background, then the
// after-background event, the caption, and the paint event; dropped files, mouse enter and leave
// (for the panel and for the controls in it) and visibility changes reported as events.
class TKwpPaintedPanel : public vcl::TCustomPanel {
public:
    explicit TKwpPaintedPanel(rtl::TComponent* AOwner);

    rtl::TNotifyEvent OnPaint;
    rtl::TNotifyEvent OnVisibleChanging;
    rtl::TNotifyEvent OnAfterDrawBackground;
    // Only forwarded: the window that uses it registers for drops and reads and finishes them.
    TProcOnOnDragDropFiles OnDragDropFiles;

protected:
    void Paint() override;
    virtual void DrawBackground(const TRect& R) { (void)R; }
    virtual void DrawCaption(TRect R) { (void)R; }
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();

    // The control's own OnMouseEnter and OnMouseLeave are the panel's, fired by DoMouseEnter and
    // DoMouseLeave after the inherited handling.
    void MouseEnter() override {}
    void MouseLeave() override {}
    void CMMouseEnter(vcl::TCMMouseEnterLeave& Message) override;
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override;
    void VisibleChanging() override;
    void Dispatch(vcl::TMessage& Message) override;

    bool Loading() const { return ComponentState().Contains(rtl::csLoading); }
    bool Destroying() const { return ComponentState().Contains(rtl::csDestroying); }
};

class TKwpBasePanel : public TKwpPaintedPanel {
public:
    explicit TKwpBasePanel(rtl::TComponent* AOwner);

    vcl::TTextLayout Layout() const { return FLayout; }
    void SetLayout(vcl::TTextLayout Value); // stores and repaints; painting does not use it
    bool WordWrap() const { return FWordWrap; }

private:
    vcl::TTextLayout FLayout = vcl::tlCenter;
    bool FWordWrap = false;
};

// Whole-object assignments keep the receiving control's own objects: the values are copied.
void CopyTagExt(TKwpTagExt* Source, TKwpTagExt* Dest);
void CopyAnchoredControls(TKwpAnchoredControls* Source, TKwpAnchoredControls* Dest);

// A panel with the tag object and the companions every panel of the pack keeps: the companions
// follow every move and resize, and one that is destroyed is let go.
template <class TBase> class TKwpHostPanel : public TBase {
public:
    explicit TKwpHostPanel(rtl::TComponent* AOwner)
        : TBase(AOwner), FTagExt(std::make_unique<TKwpTagExt>(AOwner)),
          FAnchoredControls(std::make_unique<TKwpAnchoredControls>(this)) {
        this->SetParentBackground(false);
    }

    TKwpTagExt* TagExt() const { return FTagExt.get(); }
    void SetTagExt(TKwpTagExt* Value) { CopyTagExt(Value, FTagExt.get()); }
    TKwpAnchoredControls* AnchoredControls() const { return FAnchoredControls.get(); }
    void SetAnchoredControls(TKwpAnchoredControls* Value) { CopyAnchoredControls(Value, FAnchoredControls.get()); }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override {
        TBase::SetBounds(ALeft, ATop, AWidth, AHeight);
        if (FAnchoredControls && !this->Destroying()) FAnchoredControls->UpdateAllControlsPos();
    }

protected:
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override {
        TBase::Notification(AComponent, Operation);
        if (Operation == rtl::opRemove && FAnchoredControls && !this->Destroying())
            FAnchoredControls->ControlRemoved(AComponent);
    }

private:
    std::unique_ptr<TKwpTagExt> FTagExt;
    std::unique_ptr<TKwpAnchoredControls> FAnchoredControls;
};

class TKwpCustomPanel : public TKwpHostPanel<TKwpBasePanel> {
public:
    explicit TKwpCustomPanel(rtl::TComponent* AOwner);
    ~TKwpCustomPanel() override;

    TKwpPanelAppearance* Appearance() const { return FAppearance.get(); }
    void SetAppearance(TKwpPanelAppearance* Value) { FAppearance->Assign(Value); }
    TKwpPanelVerticalLines* VerticalLines() const { return FVerticalLines.get(); }
    void SetVerticalLines(TKwpPanelVerticalLines* Value) { FVerticalLines->Assign(Value); }
    TKwpPanelHorizontalLines* HorizontalLines() const { return FHorizontalLines.get(); }
    void SetHorizontalLines(TKwpPanelHorizontalLines* Value) { FHorizontalLines->Assign(Value); }
    TKwpPanelCaptions* Captions() const { return FCaptions.get(); }
    void SetCaptions(TKwpPanelCaptions* Value) { FCaptions->Assign(Value); }
    TKwpPanelHorizontalBars* HorizontalBars() const { return FHorizontalBars.get(); }
    void SetHorizontalBars(TKwpPanelHorizontalBars* Value) { FHorizontalBars->Assign(Value); }

    rtl::TNotifyEvent OnGradientChange; // kept for form files; never fired

protected:
    void DrawBackground(const TRect& R) override;
    void WMMouseWheel(vcl::TWMMouseWheel& Message) override;

private:
    void AppearanceChanged(rtl::TObject* Sender);
    void GradientChanged(rtl::TObject* Sender);
    void DrawPanelBars(const TRect& R);
    void DrawPanelVerticalLines(const TRect& R);
    void DrawPanelHorizontalLines(const TRect& R);
    void DrawPanelCaptions(const TRect& R);

    std::unique_ptr<TKwpPanelAppearance> FAppearance;
    std::unique_ptr<TKwpPanelVerticalLines> FVerticalLines;
    std::unique_ptr<TKwpPanelHorizontalLines> FHorizontalLines;
    std::unique_ptr<TKwpPanelCaptions> FCaptions;
    std::unique_ptr<TKwpPanelHorizontalBars> FHorizontalBars;
};

class TKwpPanel : public TKwpCustomPanel {
public:
    using TKwpCustomPanel::TKwpCustomPanel;
};

// ---- painting shared with the basic panel ----

struct TKwpBorderWidths {
    int Left = 0, Right = 0, Top = 0, Bottom = 0;
};
// Each side's pen width when the side is visible (whether or not the border is drawn at all).
TKwpBorderWidths GetPanelBorderWidths(const TKwpPanelAppearance* Appearance);
// True when a visual style other than "Windows" paints the panel's client area.
bool PanelStyledBackground(vcl::TCustomPanel* Panel);
// The class library's panel background in the active style's panel colours.
void DrawStyledPanelBackground(vcl::TCustomPanel* Panel, TCanvas* Canvas, TRect R);
// The appearance's own background: a plain fill, or the two gradients split at the percentage.
void DrawPanelOwnBackground(TCanvas* Canvas, const TRect& R, const TKwpPanelAppearance* Appearance);
void DrawPanelBorders(TCanvas* Canvas, const TRect& R, const TKwpPanelAppearance* Appearance);

} // namespace components
