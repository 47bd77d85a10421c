// controls/RgControls6.h: the base classes of the second control family: a custom-drawn window control,
// one with its own non-client border and paint event, and one that chooses its drawing way through
// style options.
#pragma once
#include "controls/RgClasses6.h"
#include "controls/RgStyles6.h"
#include "vcl/Controls.h"

#include <memory>

namespace vcl {
class THintWindow;
class TTimer;
} // namespace vcl

namespace controls {

enum TRgPaintStateItem { ptPainting };
using TRgPaintState = rtl::TSet<TRgPaintStateItem>;

class TRgUserControl6 : public vcl::TCustomControl {
public:
    explicit TRgUserControl6(rtl::TComponent* AOwner);

    // The form holding the control exists and is showing.
    bool IsParentFormShowing();
    // Invalidates R without erasing, unless there is no window or the control is painting.
    void InvalidateRectNoErase(const vcl::TRect& R);
    bool Painting() const { return FPaintingState.Contains(ptPainting); }

protected:
    virtual void PaddingChanged(rtl::TObject* Sender);
    void PaintWindow(HDC DC) override;
    void WMEraseBkgnd(vcl::TWMEraseBkgnd& Message) override { Message.Result = 1; }

private:
    TRgPaintState FPaintingState;
};

class TRgControl6 : public TRgUserControl6 {
public:
    explicit TRgControl6(rtl::TComponent* AOwner);
    ~TRgControl6() override;

    vcl::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(vcl::TColor Value);
    int BorderSize() const { return FBorderSize; }
    void SetBorderSize(int Value);
    TRgBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TRgBorderStyle Value);
    rtl::String TagString() const { return FTagString; }
    void SetTagString(const rtl::String& Value) { FTagString = Value; }

    rtl::TNotifyEvent OnPaint;

protected:
    // Fills R with C, or with Color when C is clNone.
    void FillBackground(const vcl::TRect& R, vcl::TColor C);
    void FreeHintWindow();
    virtual void DoPaint() { OnPaint(this); }
    void PaintWindow(HDC DC) override;
    void Dispatch(vcl::TMessage& Message) override;
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override;

    vcl::TPoint FHintLocation;
    vcl::TTimer* FHintPauseTimer = nullptr;  // made by descendants, owned here
    rtl::String FHintText;
    vcl::THintWindow* FHintWindow = nullptr;

private:
    void PaintBorder();
    vcl::TColor FBorderColor = vcl::clBtnShadow;
    int FBorderSize = 0;
    TRgBorderStyle FBorderStyle = btSolid;
    rtl::String FTagString;
};

class TRgStyledControl6 : public TRgControl6 {
public:
    explicit TRgStyledControl6(rtl::TComponent* AOwner) : TRgControl6(AOwner) {}

    TRgStyleOptions StyleOptions() const { return FStyleOptions; }
    void SetStyleOptions(TRgStyleOptions Value);
    bool CanStyle(TRgStyleOption Option) const;
    // The colour scheme changed: repaint.
    void ColorSchemeChanged() { Invalidate(); }

protected:
    virtual void StyleOptionsChanged() { Invalidate(); }

private:
    TRgStyleOptions FStyleOptions{soNativeStyles};
};

enum TRgScrollType {
    stSmallDecrement, stSmallIncrement, stLargeDecrement, stLargeIncrement, stThumbPosition, stThumbTrack, stFirst,
    stLast, stEndScroll
};
// The scroll type of a platform scroll code.
TRgScrollType ScrollCodeToType(int Code);

class TRgScrollBar;

// What a scroll bar asks of the control whose window bar it drives.
class IRgScrollingControl {
public:
    virtual ~IRgScrollingControl() = default;
    virtual bool GetEnabled() const = 0;
    virtual HWND GetHandle() = 0;
    virtual bool HasContentToScroll() = 0;
    virtual TRgScrollBar* GetVertScrollBar() = 0;
    virtual bool IsHandleAllocated() const = 0;
    virtual bool IsDestroying() const = 0;
    virtual bool IsLoading() const = 0;
    virtual void DoContentScroll(int DeltaX, int DeltaY) = 0;
    virtual void ScrollContentRect(vcl::TRect& Source, vcl::TRect& Dest) = 0;
};

// One of the window's own scroll bars, seen as an object.
class TRgCustomScrollBar : public rtl::TPersistent {
public:
    TRgCustomScrollBar(IRgScrollingControl* Control, vcl::TScrollBarKind Kind);

    bool AutoHide() const { return FAutoHide; }
    void SetAutoHide(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool) {}
    vcl::TScrollBarKind Kind() const { return FKind; }
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value) { FLargeChange = Value; }
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value) { FSmallChange = Value; }
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    bool Visible() const { return FVisible; }
    bool Locked() const { return FLocked; }

    virtual int GetPosition();
    void SetPosition(int Value);
    bool IsBarShown();
    void Clear(bool DoUpdate = true);
    void First();
    void Last();
    void Next();
    void Prior();
    virtual void PageDown();
    virtual void PageUp();
    void Hide();
    void Show();
    bool IsFirst();
    bool IsLast();
    void Lock() { FLocked = true; }
    void Unlock(bool DoUpdate = true);
    void MoveBy(int Delta) { SetPosition(GetPosition() + Delta); }
    virtual void Scroll(TRgScrollType Type);
    virtual void SetValues(int AMax, int APageSize);
    virtual void Update();
    virtual void SetVisible(bool Value);
    int SnapshotOrPosition() { return FSnapshotPosition == -1 ? GetPosition() : FSnapshotPosition; }

protected:
    virtual int GetScrollBarForKind() const { return FKind == vcl::sbHorizontal ? SB_HORZ : SB_VERT; }

private:
    void SendScroll(int Code);
    int ReadTrackPosition();
    void ValidatePosition();

    bool FAutoHide = true;
    IRgScrollingControl* FControl;
    bool FEnabled = true;
    vcl::TScrollBarKind FKind;
    int FLargeChange = 10;
    bool FLocked = false;
    int FMax = 0, FMin = 0, FPageSize = 0, FPosition = 0;
    int FSmallChange = 1;
    int FSnapshotPosition = -1;
    bool FUpdating = false;
    bool FVisible = true;
};

class TRgScrollBar : public TRgCustomScrollBar {
public:
    using TRgCustomScrollBar::TRgCustomScrollBar;
};

using TRgContentScrollEvent = rtl::TEvent<void(rtl::TObject* Sender, int DeltaX, int DeltaY)>;

class TRgScrollControl6 : public TRgStyledControl6, public IRgScrollingControl {
public:
    explicit TRgScrollControl6(rtl::TComponent* AOwner);
    ~TRgScrollControl6() override;

    TRgScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
    TRgScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
    TRgScrollBars ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TRgScrollBars Value);

    TRgContentScrollEvent OnContentScroll;
    rtl::TNotifyEvent OnHorizontalScroll;
    rtl::TNotifyEvent OnVerticalScroll;

    // IRgScrollingControl
    bool GetEnabled() const override { return TRgStyledControl6::GetEnabled(); }
    HWND GetHandle() override { return Handle(); }
    bool HasContentToScroll() override { return false; }
    TRgScrollBar* GetVertScrollBar() override { return FVertScrollBar.get(); }
    bool IsHandleAllocated() const override { return HandleAllocated(); }
    bool IsDestroying() const override { return ComponentState().Contains(rtl::csDestroying); }
    bool IsLoading() const override { return ComponentState().Contains(rtl::csReading); }
    void DoContentScroll(int DeltaX, int DeltaY) override { OnContentScroll(this, DeltaX, DeltaY); }
    void ScrollContentRect(vcl::TRect&, vcl::TRect&) override {}

protected:
    void CreateParams(vcl::TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(vcl::TMessage& Message) override;
    bool DoMouseWheelDown(vcl::TShiftState, const vcl::TPoint&) override { return true; }
    bool DoMouseWheelUp(vcl::TShiftState, const vcl::TPoint&) override { return true; }
    virtual void DoHorizontalScroll() { OnHorizontalScroll(this); }
    virtual void DoVerticalScroll() { OnVerticalScroll(this); }

private:
    std::unique_ptr<TRgScrollBar> FHorzScrollBar;
    std::unique_ptr<TRgScrollBar> FVertScrollBar;
    TRgScrollBars FScrollBars{vcl::sbHorizontal, vcl::sbVertical};
};

} // namespace controls
