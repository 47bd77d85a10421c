// styling/hooks/ScrollingHooks.h: the non-client scroll bars of a hooked window drawn in the style
// (the base of the dialog, list-box and other scrolling hooks), the size box of scroll-bar controls,
// the menu and dialog helpers of the dialog hook, and the registration of dialogs and scroll bars.
#pragma once
#include <memory>

#include "styling/hooks/SysStyleHook.h"
#include "vcl/StdCtrls.h"

namespace styling {

// The scroll action of the current button press.
enum TSysScrollingType {
    skNone, skTracking, skLineUp, skLineDown, skLineLeft, skLineRight, skPageUp, skPageDown, skPageLeft, skPageRight
};

// The message the tracking timer sends while the thumb is dragged (cursor x, y in wParam).
constexpr UINT CM_SCROLL_TRACKING = 1649;

class TSysScrollingStyleHook : public TMouseTrackSysControlStyleHook {
public:
    explicit TSysScrollingStyleHook(HWND AHandle);
    ~TSysScrollingStyleHook() override;

    void PaintNC(vcl::TCanvas* Canvas) override;
    void WndProc(TMessage& Message) override;

    // Geometry, read from the window at each call (screen coordinates).
    SCROLLINFO HorzScrollInfo() const;
    SCROLLINFO VertScrollInfo() const;
    vcl::TPoint BtnSize() const;
    bool LeftScrollBar() const;
    bool HorzScrollDisabled() const;
    bool VertScrollDisabled() const;
    TRect HorzScrollRect();
    TRect VertScrollRect();
    TRect HorzTrackRect();
    TRect VertTrackRect();
    TRect HorzLeftRect();
    TRect HorzRightRect();
    TRect VertUpRect();
    TRect VertDownRect();
    TRect HorzSliderRect();
    TRect VertSliderRect();
    int HorzSliderLength();
    int VertSliderLength();
    int HorzSliderOffset();
    int VertSliderOffset();
    int HorzPosToPixel(int Pos);
    int VertPosToPixel(int Pos);
    int HorzPointToPos(const vcl::TPoint& Point);
    int VertPointToPos(const vcl::TPoint& Point);
    vcl::TPoint ScreenToWindow(const vcl::TPoint& Point) const;

    bool Tracking() const { return FTracking; }
    TRect TrackingRect() const { return FTrackingRect; }
    int TrackingPos() const { return FTrackingPos; }
    bool HasVertScrollBar() const { return FVertScrollBar; }
    bool HasHorzScrollBar() const { return FHorzScrollBar; }
    vcl::TThemedScrollBar VertThumbDetail() const { return FVertBtnSliderDetail; }
    vcl::TThemedScrollBar UpDetail() const { return FBtnUpDetail; }
    int LastTrackPos() const { return FLstPos; }

    virtual void Scroll(vcl::TScrollBarKind Kind, TSysScrollingType ScrollType, int Pos, int Delta);
    virtual void DrawHorzBar(HDC DC);
    virtual void DrawVertBar(HDC DC);
    virtual void DrawBarCorner(HDC DC, const TRect& R);

protected:
    void Dispatch(TMessage& Message) override;
    void MouseEnter() override { ResetBarDetails(false); }
    void MouseLeave() override;

    void WMNCCalcSize(TMessage& Message);
    void WMNCHitTest(TMessage& Message);
    void WMNCLButtonDown(TMessage& Message);
    void WMNCLButtonUp(TMessage& Message);
    void WMTracking(TMessage& Message);

    void ResetBarDetails(bool NeedEnabled);
    void StartRepeatTimer();
    void StartPageTimer();
    void StartTrackTimer();
    void StopTrackTimer();

    bool FVertScrollBar = false;
    bool FHorzScrollBar = false;
    std::unique_ptr<vcl::TTimer> FTrackTimer;
    vcl::TPoint FPrevPoint{-1, -1};
    int FPrevPos = 0;
    int FDownDis = 0;
    vcl::TPoint FDownPoint{-1, -1};
    int FTrackingPos = 0;
    TRect FTrackingRect;
    bool FTracking = false;
    TSysScrollingType FScrollingType = skNone;
    vcl::TScrollBarKind FScrollKind = vcl::sbVertical;
    vcl::TThemedScrollBar FBtnUpDetail = vcl::tsArrowBtnUpNormal;
    vcl::TThemedScrollBar FBtnDownDetail = vcl::tsArrowBtnDownNormal;
    vcl::TThemedScrollBar FVertBtnSliderDetail = vcl::tsThumbBtnVertNormal;
    vcl::TThemedScrollBar FBtnLeftDetail = vcl::tsArrowBtnLeftNormal;
    vcl::TThemedScrollBar FBtnRightDetail = vcl::tsArrowBtnRightNormal;
    vcl::TThemedScrollBar FHorzBtnSliderDetail = vcl::tsThumbBtnHorzNormal;
    bool FNCMouseDown = false;
    bool FAllowScrolling = true;
    int FLstPos = 0;

private:
    void StartTimer(void (TSysScrollingStyleHook::*Tick)(rtl::TObject*));
    void RepeatTick(rtl::TObject*);
    void PageTick(rtl::TObject*);
    void TrackTick(rtl::TObject*);
    void DrawBar(HDC DC, bool Vertical);
    void PressBar(TMessage& Message, bool Vertical);
    bool HotTrackBar(const vcl::TPoint& P, bool Vertical);
};

// Stand-alone "ScrollBar" controls: only their size-box form is painted in the style.
class TSysScrollBarStyleHook : public TSysStyleHook {
public:
    explicit TSysScrollBarStyleHook(HWND AHandle);
    void WndProc(TMessage& Message) override;
};

// Helpers of the dialog hook.
void FillSolidRect(HDC DC, const TRect& R, TColor Color);
bool IsMenuItemDisabled(HMENU Menu, int Position);
int MenuItemPosition(HMENU Menu, UINT Command);
// No "Edit" child, an item 0xFFFF (a message box's icon) and user data set: a message box.
bool IsSimpleDialog(HWND Window);

// Takes dialogs out of the class library's own hooks and registers "#32770" and "ScrollBar" when the
// active style is available; the end unregisters both.
void RegisterFormStyleHooks();
void UnRegisterFormStyleHooks();

} // namespace styling
