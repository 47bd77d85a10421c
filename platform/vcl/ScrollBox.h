// vcl/ScrollBox.h: windows whose children may reach past the client area and are scrolled into view
// (the Forms unit's scrolling controls): the scroll bars of such a window and the scroll box.
#pragma once
#include "vcl/Controls.h"
#include "vcl/StdCtrls.h"

namespace vcl {

class TScrollingWinControl;

// One of the window's own scroll bars. Range is the extent of the content (found from the children with
// AutoScroll); Position is how far the content is scrolled, 0 to Range less the client size.
class TControlScrollBar : public rtl::TPersistent {
public:
    TControlScrollBar(TScrollingWinControl* AControl, TScrollBarKind AKind);

    TScrollBarKind Kind() const { return FKind; }
    int Range() const { return FRange; }
    void SetRange(int Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Tracking() const { return FTracking; }
    void SetTracking(bool Value) { FTracking = Value; }
    // Shown: visible and the content larger than the client area.
    bool IsScrollBarVisible();
    // How far Position can go.
    int ScrollRange();

    void Assign(rtl::TPersistent* Source) override;

private:
    friend class TScrollingWinControl;
    int ControlSize();
    void CalcAutoRange();
    void DoSetRange(int Value);
    void ScrollMessage(TWMScroll& Message);
    void Update();

    TScrollingWinControl* FControl;
    TScrollBarKind FKind;
    int FRange = 0;
    int FPosition = 0;
    int FIncrement = 8;
    int FMargin = 0;
    bool FVisible = true;
    bool FTracking = false;
};

class TScrollingWinControl : public TWinControl {
public:
    explicit TScrollingWinControl(TComponent* AOwner);
    ~TScrollingWinControl() override;

    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value);
    TControlScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
    void SetHorzScrollBar(TControlScrollBar* Value) { FHorzScrollBar->Assign(Value); }
    TControlScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
    void SetVertScrollBar(TControlScrollBar* Value) { FVertScrollBar->Assign(Value); }

    // Scrolls so that the control (a child at any depth) and the bars' margins around it show.
    void ScrollInView(TControl* AControl);
    // Moves every child by the distance (the content scrolls the other way).
    void ScrollBy(int DeltaX, int DeltaY);
    void DisableAutoRange();
    void EnableAutoRange();

protected:
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void AutoScrollInView(TControl* AControl);
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    void Resize() override;

private:
    friend class TControlScrollBar;
    void CalcAutoRange();
    void UpdateScrollBars();

    std::unique_ptr<TControlScrollBar> FHorzScrollBar;
    std::unique_ptr<TControlScrollBar> FVertScrollBar;
    bool FAutoScroll = true;
    int FAutoRangeCount = 0;
    bool FUpdatingScrollBars = false;
};

class TScrollBox : public TScrollingWinControl {
public:
    explicit TScrollBox(TComponent* AOwner);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    TBorderStyle FBorderStyle = bsSingle;
};

} // namespace vcl
