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

// What a drawing helper asks of the control it draws for.
class IRgViewOwner {
public:
    virtual ~IRgViewOwner() = default;
    virtual vcl::TCanvas* GetCanvas() = 0;
    virtual HWND GetHandle() = 0;
    virtual void InvalidateRectNoErase(const vcl::TRect& R) = 0;
};

// A control told that the colour scheme changed.
class IRgColorSchemedControl {
public:
    virtual ~IRgColorSchemedControl() = default;
    virtual void ColorSchemeChanged() = 0;
};

// A control that chooses its drawing way through style options.
class IRgStyledControl {
public:
    virtual ~IRgStyledControl() = default;
    virtual bool CanStyle(TRgStyleOption Option) const = 0;
    virtual TRgStyleOptions GetStyleOptions() const = 0;
    virtual void SetStyleOptions(TRgStyleOptions Value) = 0;
};

class TRgUserControl6 : public vcl::TCustomControl, public IRgViewOwner {
public:
    explicit TRgUserControl6(rtl::TComponent* AOwner);

    // The form holding the control exists and is showing.
    bool IsParentFormShowing();
    // Invalidates R without erasing, unless there is no window or the control is painting.
    void InvalidateRectNoErase(const vcl::TRect& R) override;
    // IRgViewOwner
    vcl::TCanvas* GetCanvas() override { return Canvas(); }
    HWND GetHandle() override { return Handle(); }
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

class TRgStyledControl6 : public TRgControl6, public IRgColorSchemedControl, public IRgStyledControl {
public:
    explicit TRgStyledControl6(rtl::TComponent* AOwner) : TRgControl6(AOwner) {}

    TRgStyleOptions StyleOptions() const { return FStyleOptions; }
    TRgStyleOptions GetStyleOptions() const override { return FStyleOptions; }
    void SetStyleOptions(TRgStyleOptions Value) override;
    bool CanStyle(TRgStyleOption Option) const override;
    // The colour scheme changed: repaint.
    void ColorSchemeChanged() override { Invalidate(); }

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

// A scroll bar as the controls drive it.
class IRgScrollBar {
public:
    virtual ~IRgScrollBar() = default;
    virtual int GetPosition() = 0;
    virtual bool IsBarShown() = 0;
    virtual void SetPosition(int Value) = 0;
    virtual void Clear(bool DoUpdate) = 0;
    virtual void First() = 0;
    virtual void Hide() = 0;
    virtual bool IsFirst() = 0;
    virtual bool IsLast() = 0;
    virtual void Last() = 0;
    virtual void Lock() = 0;
    virtual void MoveBy(int Delta) = 0;
    virtual void Next() = 0;
    virtual void PageDown() = 0;
    virtual void PageUp() = 0;
    virtual void Prior() = 0;
    virtual void Scroll(TRgScrollType Type) = 0;
    virtual void SetValues(int AMax, int APageSize) = 0;
    virtual void Show() = 0;
    virtual void Unlock(bool DoUpdate) = 0;
    virtual void Update() = 0;
};

// One of the window's own scroll bars, seen as an object.
class TRgCustomScrollBar : public rtl::TPersistent, public IRgScrollBar {
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

    int GetPosition() override;
    void SetPosition(int Value) override;
    bool IsBarShown() override;
    void Clear(bool DoUpdate = true) override;
    void First() override;
    void Last() override;
    void Next() override;
    void Prior() override;
    void PageDown() override;
    void PageUp() override;
    void Hide() override;
    void Show() override;
    bool IsFirst() override;
    bool IsLast() override;
    void Lock() override { FLocked = true; }
    void Unlock(bool DoUpdate = true) override;
    void MoveBy(int Delta) override { SetPosition(GetPosition() + Delta); }
    void Scroll(TRgScrollType Type) override;
    void SetValues(int AMax, int APageSize) override;
    void Update() override;
    virtual void SetVisible(bool Value);
    int SnapshotOrPosition() { return FSnapshotPosition == -1 ? GetPosition() : FSnapshotPosition; }
    // A position to come back to: the current one is kept until erased.
    void Snapshot() { FSnapshotPosition = GetPosition(); }
    void EraseSnapshot() { FSnapshotPosition = -1; }
    bool IsUpdating() const { return FUpdating; }

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
