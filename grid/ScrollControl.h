// grid/ScrollControl.h: the grid's scrolling base: a custom control whose window owns the standard
// horizontal and vertical scroll bars, with one model object per direction that keeps range, page,
// position and steps, mirrors them into the window's bar, and scrolls the content by the pixels its
// owner says a position change is worth. Middle-button roll scrolling and the scroll events too.
#pragma once
#include "rtl/Classes.h"
#include "rtl/Event.h"
#include "vcl/Controls.h"
#include "vcl/ExtCtrls.h"

namespace grid {

using vcl::TPoint;
using vcl::TRect;

enum TScrollBarKind { skHorizontal, skVertical };
// What the user's last action on a bar was.
enum TScrollKind { rkIdle, rkLine, rkPage, rkThumb, rkTopBottom };
enum TRollDirectionItem { rdUp, rdDown };
using TRollDirection = rtl::TSet<TRollDirectionItem>;
enum TRgScrollStyleItem { rsRoll };
using TRgScrollStyle = rtl::TSet<TRgScrollStyleItem>;
enum TViewStateItem { vsRolling };
using TViewState = rtl::TSet<TViewStateItem>;
using TScrollEvent = rtl::TEvent<void(rtl::TObject* Sender, int Position)>;

// The roll cursors, registered in the screen's cursor list by the first scroll control.
constexpr vcl::TCursor crRoll = 4003;
constexpr vcl::TCursor crRollUp = 4004;
constexpr vcl::TCursor crRollDown = 4005;

class TRgCustomScrollControl;
class TRollShadow;

// One direction's model. Valid positions run from 0 to Max - PageSize + 1, the platform's rule for a
// proportional bar whose range ends at Max; the direct Position setter clamps to Max only.
class TRgCustomScrollBar : public rtl::TPersistent {
public:
    TRgCustomScrollBar(TRgCustomScrollControl* AOwnerScrollView, vcl::TCanvas* ACanvas);

    bool AutoHide() const { return FAutoHide; }
    void SetAutoHide(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    bool ManualScroll() const { return FManualScroll; }
    void SetManualScroll(bool Value) { FManualScroll = Value; }
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    // Takes the position the content already shows (after rows came or went above it): stored as
    // given, mirrored into the bar, nothing scrolled.
    void SyncPosition(int Value);
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value) { FLargeChange = Value; }
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value) { FSmallChange = Value; }
    bool Visible() const { return FVisible; }
    int OldPosition() const { return FOldPosition; }
    TScrollKind ScrollKind() const { return FScrollKind; }
    int BarFlag() const { return FBarFlag; }
    int UpdateCount() const { return FUpdateCount; }
    TRgCustomScrollControl* Owner() const { return FOwner; }
    vcl::TCanvas* Canvas() const { return FCanvas; }

    void Assign(rtl::TPersistent* Source) override;
    virtual void SetVisible(bool Value) { FVisible = Value; }
    virtual void UpdateScrollBar() {}
    virtual void PageDown();
    virtual void PageUp();
    // Stores the three values as given (no clamping, no visibility change), then updates the bar.
    virtual void SetValues(int AMax, int APageSize, int ALargeChange);

    void First() { SetPosition(0); }
    void Last() { SetPosition(FMax - FPageSize + 1); }
    void MoveBy(int Distance) { SetPosition(FPosition + Distance); }
    // Prior/Next/PageUp/PageDown act as the user's clicks on the bar: through the scroll message.
    void Prior();
    void Next();
    bool IsFirst() const { return FPosition == 0; }
    bool IsLast() const { return FPosition + FPageSize > FMax; }
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate() { --FUpdateCount; }
    // The window bar's track position (the position while not tracking); the model's without a window.
    int GetTrackPos() const;

protected:
    friend class TRgScrollControl;
    void SendScroll(int Code);

    bool FAutoHide = true;
    bool FManualScroll = false;
    int FBarFlag = -1;
    vcl::TCanvas* FCanvas;
    bool FEnabled = true;
    TScrollBarKind FKind = skHorizontal;
    int FLargeChange = 1;
    int FMax = 0;
    int FMin = 0;
    int FOldPosition = 0;
    TRgCustomScrollControl* FOwner;
    int FPageSize = 0;
    int FPosition = 0;
    int FSmallChange = 1;
    TScrollKind FScrollKind = rkIdle;
    int FUpdateCount = 0;
    bool FVisible = false;
    bool IsUpdating = false;
    // What the window bar showed after the last update, for an owner without a window yet.
    int FShownPosition = 0;
};

// The model that mirrors itself into the owner window's scroll bar.
class TRgScrollBar : public TRgCustomScrollBar {
public:
    using TRgCustomScrollBar::TRgCustomScrollBar;
    void SetVisible(bool Value) override;
    void UpdateScrollBar() override;
};

class TRgCustomScrollControl : public vcl::TCustomControl {
public:
    explicit TRgCustomScrollControl(rtl::TComponent* AOwner) : vcl::TCustomControl(AOwner) {}

    virtual int GetHorzScrollDelta(int OldPosition, int NewPosition) {
        (void)OldPosition, (void)NewPosition;
        return 0;
    }
    virtual int GetVertScrollDelta(int OldPosition, int NewPosition) {
        (void)OldPosition, (void)NewPosition;
        return 0;
    }
    virtual void AfterScroll(TScrollBarKind Kind) { (void)Kind; }
    virtual void BeforeScroll(TScrollBarKind Kind, int DeltaX, int DeltaY) { (void)Kind, (void)DeltaX, (void)DeltaY; }
    // Scrolls the window content; the uncovered strip is invalidated and painted later.
    virtual void ScrollContent(TRgCustomScrollBar* Bar, int DeltaX, int DeltaY);

    void FocusWindow();
    void SelectNextInParent();
    void SelectPriorInParent();

    const TRect& HorzScrollClipRect() const { return FHorzScrollClipRect; }
    void SetHorzScrollClipRect(const TRect& Value) { FHorzScrollClipRect = Value; }
    const TRect& VertScrollClipRect() const { return FVertScrollClipRect; }
    void SetVertScrollClipRect(const TRect& Value) { FVertScrollClipRect = Value; }

protected:
    TRect FHorzScrollClipRect;
    bool FMouseEnteredControl = false;
    TRect FVertScrollClipRect;
};

class TRgScrollControl : public TRgCustomScrollControl {
public:
    explicit TRgScrollControl(rtl::TComponent* AOwner);
    ~TRgScrollControl() override;

    TRgScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
    void SetHorzScrollBar(TRgScrollBar* Value) { FHorzScrollBar->Assign(Value); }
    TRgScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
    void SetVertScrollBar(TRgScrollBar* Value) { FVertScrollBar->Assign(Value); }
    bool MouseWheelEnabled() const { return FMouseWheelEnabled; }
    void SetMouseWheelEnabled(bool Value) { FMouseWheelEnabled = Value; }
    TRgScrollStyle ScrollStyle() const { return FScrollStyle; }
    void SetScrollStyle(TRgScrollStyle Value) { FScrollStyle = Value; }
    TViewState ViewState() const { return FViewState; }
    TRollDirection RollDirection() const { return FRollDirection; }
    vcl::TTimer* RollTimer() const { return FRollTimer; }
    TRollShadow* RollShadow() const { return FRollShadow; }

    TScrollEvent OnHorizontalScroll;
    TScrollEvent OnVerticalScroll;

    // The change notifications the bars call with their new position.
    virtual void HorzScrollChanged(int Position);
    virtual void VertScrollChanged(int Position);

protected:
    void CreateParams(vcl::TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(vcl::TMessage& Message) override;
    void CMEnabledChanged(vcl::TMessage& Message) override;
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void MouseMove(vcl::TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(vcl::TShiftState Shift, const TPoint& MousePos) override;
    bool DoMouseWheelUp(vcl::TShiftState Shift, const TPoint& MousePos) override;
    virtual void WMScroll(vcl::TWMScroll& Message, TRgCustomScrollBar* Bar);
    // The roll marker shown at a client point with the roll's cursor, and hidden again.
    virtual void ShowRollMarker(const TPoint& ClientPoint, vcl::TCursor Cursor);
    virtual void HideRollMarker();
    void RollTimerTick(rtl::TObject* Sender);

    std::unique_ptr<TRgScrollBar> FHorzScrollBar;
    bool FMouseWheelEnabled = true;
    TRollDirection FRollDirection;
    TPoint FRollPoint;
    TRollShadow* FRollShadow = nullptr;
    vcl::TTimer* FRollTimer = nullptr;
    TRgScrollStyle FScrollStyle{rsRoll};
    std::unique_ptr<TRgScrollBar> FVertScrollBar;
    TViewState FViewState;
};

} // namespace grid
