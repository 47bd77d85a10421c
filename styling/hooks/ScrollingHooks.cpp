// styling/hooks/ScrollingHooks.cpp
#include "styling/hooks/ScrollingHooks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "styling/hooks/DialogHook.h"
#include "styling/hooks/StyleGraphics.h"
#include "styling/hooks/StyleMisc.h"
#include "styling/hooks/SysControls.h"
#include "vcl/ExtCtrls.h"

namespace styling {

using namespace vcl;

namespace {

// Number * Numerator / Denominator rounded half away from zero, as the system's MulDiv; 0 instead of its
// -1 for an empty range: a bar whose range is empty is disabled, and its geometry must not follow -1.
int Scale(int Number, int Numerator, int Denominator) {
    if (Denominator == 0) return 0;
    return int(std::llround(double(int64_t(Number) * Numerator) / Denominator));
}

SCROLLINFO ScrollInfoOf(HWND Window, int Bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(Window, Bar, &info);
    return info;
}

// Nothing to scroll: the page holds the whole range, or the range is empty.
bool NothingToScroll(const SCROLLINFO& Info) { return Info.nMax < int(Info.nPage) || Info.nMax <= Info.nMin; }

} // namespace

TSysScrollingStyleHook::TSysScrollingStyleHook(HWND AHandle) : TMouseTrackSysControlStyleHook(AHandle) {}

TSysScrollingStyleHook::~TSysScrollingStyleHook() = default;

// ---- geometry ----

SCROLLINFO TSysScrollingStyleHook::HorzScrollInfo() const { return ScrollInfoOf(FHandle, SB_HORZ); }
SCROLLINFO TSysScrollingStyleHook::VertScrollInfo() const { return ScrollInfoOf(FHandle, SB_VERT); }

TPoint TSysScrollingStyleHook::BtnSize() const {
    return TPoint(GetSysMetricsForDpi(SM_CXVSCROLL), GetSysMetricsForDpi(SM_CYVSCROLL));
}

bool TSysScrollingStyleHook::LeftScrollBar() const { return FSysControl->ExStyle() & WS_EX_LEFTSCROLLBAR; }

bool TSysScrollingStyleHook::HorzScrollDisabled() const { return FHorzScrollBar && NothingToScroll(HorzScrollInfo()); }
bool TSysScrollingStyleHook::VertScrollDisabled() const { return FVertScrollBar && NothingToScroll(VertScrollInfo()); }

TRect TSysScrollingStyleHook::HorzScrollRect() {
    const TPoint b = BtnSize();
    const TRect bw = GetBorderWidths();
    const TRect w = FSysControl->WindowRect();
    TRect r(w.Left, w.Bottom - b.Y, w.Right, w.Bottom);
    if (bw.Left > 0 || bw.Top > 0 || bw.Right > 0 || bw.Bottom > 0) {
        r.Left += bw.Left;
        r.Right -= bw.Right;
        r.Bottom -= bw.Bottom;
        r.Top = r.Bottom - b.Y;
    }
    if (FVertScrollBar) {
        if (LeftScrollBar()) r.Left += b.X;
        else r.Right -= b.X;
    }
    return r;
}

TRect TSysScrollingStyleHook::VertScrollRect() {
    const TPoint b = BtnSize();
    const TRect bw = GetBorderWidths();
    const TRect w = FSysControl->WindowRect();
    const bool left = LeftScrollBar();
    TRect r(left ? w.Left : w.Right - b.X, w.Top, 0, w.Bottom);
    r.Left += left ? bw.Left : -bw.Right;
    r.Top += bw.Top;
    r.Bottom -= bw.Bottom;
    r.Right = r.Left + b.X;
    if (FHorzScrollBar) r.Bottom -= b.Y;
    return r;
}

TRect TSysScrollingStyleHook::HorzTrackRect() {
    TRect r = HorzScrollRect();
    if (r.Width() <= 0) return TRect();
    const int thumb = GetSysMetricsForDpi(SM_CXHTHUMB);
    r.Left += thumb;
    r.Right -= thumb;
    return r;
}

TRect TSysScrollingStyleHook::VertTrackRect() {
    TRect r = VertScrollRect();
    if (r.Width() <= 0) return TRect();
    const int thumb = GetSysMetricsForDpi(SM_CYVTHUMB);
    r.Top += thumb;
    r.Bottom -= thumb;
    return r;
}

TRect TSysScrollingStyleHook::HorzLeftRect() {
    TRect r = HorzScrollRect();
    r.Right = r.Left + BtnSize().X;
    return r;
}

TRect TSysScrollingStyleHook::HorzRightRect() {
    TRect r = HorzScrollRect();
    r.Left = r.Right - BtnSize().X;
    return r;
}

TRect TSysScrollingStyleHook::VertUpRect() {
    TRect r = VertScrollRect();
    r.Bottom = r.Top + BtnSize().Y;
    return r;
}

TRect TSysScrollingStyleHook::VertDownRect() {
    TRect r = VertScrollRect();
    r.Top = r.Bottom - BtnSize().Y;
    return r;
}

int TSysScrollingStyleHook::HorzSliderLength() {
    const SCROLLINFO i = HorzScrollInfo();
    const TPoint b = BtnSize();
    return std::max<int>(Scale(int(i.nPage), HorzScrollRect().Width() - 2 * b.X, i.nMax - i.nMin), b.Y);
}

int TSysScrollingStyleHook::VertSliderLength() {
    const SCROLLINFO i = VertScrollInfo();
    return std::max<int>(Scale(int(i.nPage), VertTrackRect().Height(), i.nMax - i.nMin), BtnSize().Y);
}

int TSysScrollingStyleHook::HorzSliderOffset() {
    const SCROLLINFO i = HorzScrollInfo();
    return Scale(i.nPos, HorzTrackRect().Width(), i.nMax - i.nMin);
}

int TSysScrollingStyleHook::VertSliderOffset() {
    const SCROLLINFO i = VertScrollInfo();
    return Scale(i.nPos, VertTrackRect().Height(), i.nMax - i.nMin);
}

TRect TSysScrollingStyleHook::HorzSliderRect() {
    const TRect t = HorzTrackRect();
    const int left = t.Left + HorzSliderOffset();
    return TRect(left, t.Top, left + HorzSliderLength(), t.Bottom);
}

TRect TSysScrollingStyleHook::VertSliderRect() {
    const TRect t = VertTrackRect();
    const int top = t.Top + VertSliderOffset();
    return TRect(t.Left, top, t.Right, top + VertSliderLength());
}

int TSysScrollingStyleHook::HorzPosToPixel(int Pos) {
    const SCROLLINFO i = HorzScrollInfo();
    return Scale(Pos, HorzTrackRect().Width(), i.nMax - i.nMin) + BtnSize().X;
}

int TSysScrollingStyleHook::VertPosToPixel(int Pos) {
    const SCROLLINFO i = VertScrollInfo();
    return Scale(Pos, VertTrackRect().Height(), i.nMax - i.nMin) + BtnSize().Y;
}

TPoint TSysScrollingStyleHook::ScreenToWindow(const TPoint& Point) const {
    const TRect w = FSysControl->WindowRect();
    return TPoint(Point.X - w.Left, Point.Y - w.Top);
}

int TSysScrollingStyleHook::HorzPointToPos(const TPoint& Point) {
    const SCROLLINFO i = HorzScrollInfo();
    const TRect w = FSysControl->WindowRect();
    const int d = Point.X - FDownDis - w.Left;
    TRect track = HorzTrackRect();
    track.Offset(-w.Left, -w.Top);
    const int length = HorzSliderLength();
    const int t = d - (HorzScrollRect().Left - w.Left);
    FTrackingRect = TRect(t, 0, t + length, BtnSize().Y);
    const int range = i.nMax - i.nMin;
    int pos = range < 1 ? d - track.Left : Scale(d - track.Left, range - int(i.nPage) + 1, track.Width() - length);
    pos = std::min(pos, i.nMax - int(i.nPage) + 1);
    return std::max(pos, 0);
}

int TSysScrollingStyleHook::VertPointToPos(const TPoint& Point) {
    const SCROLLINFO i = VertScrollInfo();
    const TRect w = FSysControl->WindowRect();
    const int d = Point.Y - FDownDis - w.Top;
    TRect track = VertTrackRect();
    track.Offset(-w.Left, -w.Top);
    const int length = VertSliderLength();
    const int t = d - (VertScrollRect().Top - w.Top);
    FTrackingRect = TRect(0, t, BtnSize().X, t + length);
    const int range = i.nMax - i.nMin;
    int pos = range < 1 ? d - track.Top : Scale(d - track.Top, range - int(i.nPage) + 2, track.Height() - length);
    pos = std::min(pos, i.nMax - int(i.nPage) + 1);
    return std::max(pos, 0);
}

// ---- scrolling ----

void TSysScrollingStyleHook::Scroll(TScrollBarKind Kind, TSysScrollingType ScrollType, int Pos, int) {
    const UINT msg = Kind == sbVertical ? WM_VSCROLL : WM_HSCROLL;
    int code = -1;
    switch (ScrollType) {
    case skTracking:
        FLstPos = Pos;
        FAllowScrolling = true;
        SendMessageW(FHandle, msg, MAKEWPARAM(SB_THUMBTRACK, Pos), 0);
        FAllowScrolling = false;
        return;
    case skLineUp: code = Kind == sbVertical ? SB_LINEUP : -1; break;
    case skLineLeft: code = Kind == sbHorizontal ? SB_LINELEFT : -1; break;
    case skLineDown: code = Kind == sbVertical ? SB_LINEDOWN : -1; break;
    case skLineRight: code = Kind == sbHorizontal ? SB_LINERIGHT : -1; break;
    case skPageUp: code = Kind == sbVertical ? SB_PAGEUP : -1; break;
    case skPageLeft: code = Kind == sbHorizontal ? SB_PAGELEFT : -1; break;
    case skPageDown: code = Kind == sbVertical ? SB_PAGEDOWN : -1; break;
    case skPageRight: code = Kind == sbHorizontal ? SB_PAGERIGHT : -1; break;
    default: break;
    }
    if (code >= 0) SendMessageW(FHandle, msg, WPARAM(code), 0);
}

// ---- timers ----

void TSysScrollingStyleHook::StartTimer(void (TSysScrollingStyleHook::*Tick)(rtl::TObject*)) {
    StopTrackTimer();
    FTrackTimer = std::make_unique<TTimer>(nullptr);
    FTrackTimer->SetInterval(100);
    FTrackTimer->SetOnTimer(rtl::TNotifyEvent(this, Tick));
    FTrackTimer->SetEnabled(true);
}

void TSysScrollingStyleHook::StartRepeatTimer() { StartTimer(&TSysScrollingStyleHook::RepeatTick); }
void TSysScrollingStyleHook::StartPageTimer() { StartTimer(&TSysScrollingStyleHook::PageTick); }
void TSysScrollingStyleHook::StartTrackTimer() { StartTimer(&TSysScrollingStyleHook::TrackTick); }

void TSysScrollingStyleHook::StopTrackTimer() { FTrackTimer.reset(); }

void TSysScrollingStyleHook::RepeatTick(rtl::TObject*) { Scroll(FScrollKind, FScrollingType, 0, 0); }

void TSysScrollingStyleHook::PageTick(rtl::TObject*) {
    POINT p{};
    GetCursorPos(&p);
    if (FVertScrollBar && VertSliderRect().Contains(p)) return;
    if (FHorzScrollBar && HorzSliderRect().Contains(p)) return;
    if (FScrollingType != skNone) Scroll(FScrollKind, FScrollingType, 0, 0);
}

void TSysScrollingStyleHook::TrackTick(rtl::TObject*) {
    POINT p{};
    GetCursorPos(&p);
    const TPoint cursor(p);
    if (cursor == FPrevPoint || cursor == FDownPoint) return;
    SendMessageW(FHandle, CM_SCROLL_TRACKING, MAKEWPARAM(p.x, p.y), 0);
    FPrevPoint = cursor;
    FDownPoint = TPoint(-1, -1);
}

// ---- drawing ----

void TSysScrollingStyleHook::PaintNC(TCanvas* Canvas) {
    if (!Canvas->HandleAllocated() || FTracking) return;
    if (FVertScrollBar) DrawVertBar(Canvas->Handle());
    if (FHorzScrollBar) DrawHorzBar(Canvas->Handle());
}

void TSysScrollingStyleHook::DrawBarCorner(HDC DC, const TRect& R) {
    FillSolidRect(DC, R, StyleServices()->GetStyleColor(scWindow));
}

void TSysScrollingStyleHook::DrawHorzBar(HDC DC) { DrawBar(DC, false); }
void TSysScrollingStyleHook::DrawVertBar(HDC DC) { DrawBar(DC, true); }

void TSysScrollingStyleHook::DrawBar(HDC DC, bool Vertical) {
    if (Vertical ? !FVertScrollBar : !FHorzScrollBar) return;
    const TRect bar = Vertical ? VertScrollRect() : HorzScrollRect();
    if (bar.Width() <= 0) return;
    const bool own = DC == nullptr;
    HDC dc = own ? GetWindowDC(FHandle) : DC;
    if (!dc) return;
    TCustomStyleServices* style = StyleServices();
    const TPoint b = BtnSize();
    const TPoint at = ScreenToWindow(bar.TopLeft());
    if (!Vertical && FVertScrollBar) {
        if (LeftScrollBar()) {
            const TPoint c = ScreenToWindow(TPoint(bar.Left - b.X, bar.Top));
            FillSolidRect(dc, TRect(c.X, c.Y, c.X + b.X, c.Y + b.Y), FColor);
        } else {
            const TPoint c = ScreenToWindow(TPoint(bar.Right, bar.Top));
            DrawBarCorner(dc, TRect(c.X, c.Y, c.X + b.X, c.Y + b.Y));
        }
    }
    const bool disabled = !FSysControl->Enabled() || (Vertical ? VertScrollDisabled() : HorzScrollDisabled());
    const int w = bar.Width(), h = bar.Height();
    auto bitmap = std::make_unique<TBitmap>(w, h);
    HDC bdc = bitmap->Canvas()->Handle();
    auto draw = [&](TThemedScrollBar Detail, const TRect& R) {
        style->DrawElement(bdc, style->GetElementDetails(Detail), R);
    };
    const bool barDisabled = Vertical ? VertScrollDisabled() : HorzScrollDisabled();
    if (Vertical) {
        draw(disabled ? tsUpperTrackVertDisabled : tsUpperTrackVertNormal, TRect(0, 0, w, h));
        draw(disabled ? tsArrowBtnUpDisabled : FBtnUpDetail, TRect(0, 0, b.X, b.Y));
        if (!barDisabled) {
            TRect thumb = FTracking ? FTrackingRect : TRect(0, b.Y + VertSliderOffset(), w, b.Y + VertSliderOffset() + VertSliderLength());
            if (thumb.Top < b.Y) thumb.Offset(0, b.Y - thumb.Top);
            if (thumb.Bottom > h - b.Y) thumb.Offset(0, h - b.Y - thumb.Bottom);
            draw(disabled ? tsThumbBtnVertDisabled : FVertBtnSliderDetail, thumb);
        }
        draw(disabled ? tsArrowBtnDownDisabled : FBtnDownDetail, TRect(0, h - b.Y, w, h));
    } else {
        draw(disabled ? tsUpperTrackHorzDisabled : tsUpperTrackHorzNormal, TRect(0, 0, w, h));
        draw(disabled ? tsArrowBtnLeftDisabled : FBtnLeftDetail, TRect(0, 0, b.X, b.Y));
        if (!barDisabled) {
            TRect thumb = FTracking ? FTrackingRect : TRect(b.X + HorzSliderOffset(), 0, b.X + HorzSliderOffset() + HorzSliderLength(), h);
            if (thumb.Left < b.X) thumb.Offset(b.X - thumb.Left, 0);
            if (thumb.Right > w - b.X) thumb.Offset(w - b.X - thumb.Right, 0);
            draw(disabled ? tsThumbBtnHorzDisabled : FHorzBtnSliderDetail, thumb);
        }
        draw(disabled ? tsArrowBtnRightDisabled : FBtnRightDetail, TRect(w - b.X, 0, w, h));
    }
    BitBlt(dc, at.X, at.Y, w, h, bdc, 0, 0, SRCCOPY);
    if (own) ReleaseDC(FHandle, dc);
}

// ---- messages ----

void TSysScrollingStyleHook::ResetBarDetails(bool NeedEnabled) {
    if (FNCMouseDown || (NeedEnabled && !FSysControl->Enabled())) return;
    if (FVertScrollBar && !VertScrollDisabled() &&
        (FBtnUpDetail != tsArrowBtnUpNormal || FBtnDownDetail != tsArrowBtnDownNormal ||
         FVertBtnSliderDetail != tsThumbBtnVertNormal)) {
        FBtnUpDetail = tsArrowBtnUpNormal;
        FBtnDownDetail = tsArrowBtnDownNormal;
        FVertBtnSliderDetail = tsThumbBtnVertNormal;
        DrawVertBar(nullptr);
    }
    if (FHorzScrollBar && !HorzScrollDisabled() &&
        (FBtnLeftDetail != tsArrowBtnLeftNormal || FBtnRightDetail != tsArrowBtnRightNormal ||
         FHorzBtnSliderDetail != tsThumbBtnHorzNormal)) {
        FBtnLeftDetail = tsArrowBtnLeftNormal;
        FBtnRightDetail = tsArrowBtnRightNormal;
        FHorzBtnSliderDetail = tsThumbBtnHorzNormal;
        DrawHorzBar(nullptr);
    }
}

void TSysScrollingStyleHook::MouseLeave() {
    if (!FNCMouseDown) ResetBarDetails(false);
}

void TSysScrollingStyleHook::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE: WMNCCalcSize(Message); break;
    case WM_NCHITTEST: WMNCHitTest(Message); break;
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(Message); break;
    case WM_NCLBUTTONUP: WMNCLButtonUp(Message); break;
    case CM_SCROLL_TRACKING: WMTracking(Message); break;
    default: TMouseTrackSysControlStyleHook::Dispatch(Message); break;
    }
}

void TSysScrollingStyleHook::WMNCCalcSize(TMessage& Message) {
    if (!FOverridePaintNC || !IsStyled()) return;
    const TRect b = GetBorderWidths();
    const LONG_PTR style = FSysControl->Style();
    FVertScrollBar = style & WS_VSCROLL;
    FHorzScrollBar = style & WS_HSCROLL;
    if (FVertScrollBar || FHorzScrollBar) {
        // The window's own calculation must not count the bars this hook draws.
        FSysControl->SetStyle(style & ~LONG_PTR(WS_VSCROLL | WS_HSCROLL));
        if (!FHookedDirectly) Message.Result = CallDefaultProc(Message);
        FSysControl->SetStyle(style);
    }
    auto* r = reinterpret_cast<RECT*>(Message.LParam);
    const TPoint btn = BtnSize();
    if (FVertScrollBar) {
        if (LeftScrollBar()) r->left += btn.X;
        else r->right -= btn.X;
    }
    if (FHorzScrollBar) r->bottom -= btn.Y;
    if (FSysControl->HasBorder()) {
        r->left += b.Left;
        r->top += b.Top;
        r->right -= b.Right;
        r->bottom -= b.Bottom;
    }
    FHandled = true;
}

bool TSysScrollingStyleHook::HotTrackBar(const TPoint& P, bool Vertical) {
    const bool active = FSysControl->Enabled() && !FNCMouseDown && !(Vertical ? VertScrollDisabled() : HorzScrollDisabled());
    if (!active) return false;
    TThemedScrollBar& first = Vertical ? FBtnUpDetail : FBtnLeftDetail;
    TThemedScrollBar& last = Vertical ? FBtnDownDetail : FBtnRightDetail;
    TThemedScrollBar& thumb = Vertical ? FVertBtnSliderDetail : FHorzBtnSliderDetail;
    const TThemedScrollBar firstNormal = Vertical ? tsArrowBtnUpNormal : tsArrowBtnLeftNormal;
    const TThemedScrollBar lastNormal = Vertical ? tsArrowBtnDownNormal : tsArrowBtnRightNormal;
    const TThemedScrollBar thumbNormal = Vertical ? tsThumbBtnVertNormal : tsThumbBtnHorzNormal;
    const TThemedScrollBar firstHot = Vertical ? tsArrowBtnUpHot : tsArrowBtnLeftHot;
    const TThemedScrollBar lastHot = Vertical ? tsArrowBtnDownHot : tsArrowBtnRightHot;
    const TThemedScrollBar thumbHot = Vertical ? tsThumbBtnVertHot : tsThumbBtnHorzHot;
    bool redraw = false;
    if ((Vertical ? VertUpRect() : HorzLeftRect()).Contains(P)) {
        redraw = first != firstHot;
        thumb = thumbNormal;
        first = firstHot;
    } else if ((Vertical ? VertDownRect() : HorzRightRect()).Contains(P)) {
        redraw = last != lastHot;
        thumb = thumbNormal;
        last = lastHot;
    } else if ((Vertical ? VertSliderRect() : HorzSliderRect()).Contains(P)) {
        redraw = thumb != thumbHot;
        first = firstNormal;
        last = lastNormal;
        thumb = thumbHot;
    } else {
        redraw = first != firstNormal || last != lastNormal || thumb != thumbNormal;
        first = firstNormal;
        last = lastNormal;
        thumb = thumbNormal;
    }
    return redraw;
}

void TSysScrollingStyleHook::WMNCHitTest(TMessage& Message) {
    if (!FOverridePaintNC || !IsStyled()) return;
    Message.Result = CallDefaultProc(Message);
    const TPoint p(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    if (FVertScrollBar && VertScrollRect().Contains(p)) {
        Message.Result = HTVSCROLL;
        if (HotTrackBar(p, true)) DrawVertBar(nullptr);
    }
    if (FHorzScrollBar && HorzScrollRect().Contains(p)) {
        Message.Result = HTHSCROLL;
        if (HotTrackBar(p, false)) DrawHorzBar(nullptr);
    }
    FHandled = true;
}

void TSysScrollingStyleHook::PressBar(TMessage& Message, bool Vertical) {
    // Where the press was, from the message: with input queued the pointer may be elsewhere by now.
    const TPoint cursor(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    const SCROLLINFO info = Vertical ? VertScrollInfo() : HorzScrollInfo();
    FScrollKind = Vertical ? sbVertical : sbHorizontal;
    FDownPoint = cursor;
    FDownDis = Vertical ? cursor.Y - VertSliderRect().Top : cursor.X - HorzSliderRect().Left;
    FPrevPos = info.nPos;
    auto redraw = [&] { Vertical ? DrawVertBar(nullptr) : DrawHorzBar(nullptr); };
    TThemedScrollBar& first = Vertical ? FBtnUpDetail : FBtnLeftDetail;
    TThemedScrollBar& last = Vertical ? FBtnDownDetail : FBtnRightDetail;
    TThemedScrollBar& thumb = Vertical ? FVertBtnSliderDetail : FHorzBtnSliderDetail;
    const TRect slider = Vertical ? VertSliderRect() : HorzSliderRect();
    if (slider.Contains(cursor)) {
        thumb = Vertical ? tsThumbBtnVertPressed : tsThumbBtnHorzPressed;
        // A press without a move ends at the position it started from.
        FLstPos = info.nPos;
        StartTrackTimer();
        redraw();
        FTracking = true;
        if (Vertical) FAllowScrolling = false;
        Message.Result = CallDefaultProc(Message);
        StopTrackTimer();
        thumb = Vertical ? tsThumbBtnVertNormal : tsThumbBtnHorzNormal;
        FTracking = false;
        redraw();
    } else if ((Vertical ? VertUpRect() : HorzLeftRect()).Contains(cursor) ||
               (Vertical ? VertDownRect() : HorzRightRect()).Contains(cursor)) {
        const bool up = (Vertical ? VertUpRect() : HorzLeftRect()).Contains(cursor);
        if (up) {
            FScrollingType = Vertical ? skLineUp : skLineLeft;
            first = Vertical ? tsArrowBtnUpPressed : tsArrowBtnLeftPressed;
            if (!Vertical) last = tsArrowBtnRightNormal;
        } else {
            FScrollingType = Vertical ? skLineDown : skLineRight;
            last = Vertical ? tsArrowBtnDownPressed : tsArrowBtnRightPressed;
            if (!Vertical) first = tsArrowBtnLeftNormal;
        }
        redraw();
        StartRepeatTimer();
        Message.Result = CallDefaultProc(Message);
        StopTrackTimer();
        first = Vertical ? tsArrowBtnUpNormal : tsArrowBtnLeftNormal;
        last = Vertical ? tsArrowBtnDownNormal : tsArrowBtnRightNormal;
        redraw();
    } else {
        const int at = Vertical ? cursor.Y : cursor.X;
        const int start = Vertical ? slider.Top : slider.Left;
        const int end = Vertical ? slider.Bottom : slider.Right;
        FScrollingType = at >= end   ? (Vertical ? skPageDown : skPageRight)
                         : at < start ? (Vertical ? skPageUp : skPageLeft)
                                      : skNone;
        redraw();
        StartPageTimer();
        Message.Result = CallDefaultProc(Message);
        StopTrackTimer();
    }
    FTracking = false;
    redraw();
}

void TSysScrollingStyleHook::WMNCLButtonDown(TMessage& Message) {
    if (!FOverridePaintNC || !IsStyled()) return;
    if (!FSysControl->Enabled()) {
        Message.Result = CallDefaultProc(Message);
        FHandled = true;
        return;
    }
    FNCMouseDown = true;
    FTracking = false;
    if (Message.WParam == HTVSCROLL && !VertScrollDisabled()) PressBar(Message, true);
    else if (Message.WParam == HTHSCROLL && !HorzScrollDisabled()) PressBar(Message, false);
    else Message.Result = CallDefaultProc(Message);
    FTracking = false;
    FNCMouseDown = false;
    FAllowScrolling = true;
    FHandled = true;
}

void TSysScrollingStyleHook::WMNCLButtonUp(TMessage& Message) {
    Message.Result = CallDefaultProc(Message);
    FHandled = true;
}

void TSysScrollingStyleHook::WMTracking(TMessage& Message) {
    if (!FOverridePaintNC || !IsStyled()) return;
    POINT cp{};
    GetCursorPos(&cp);
    const TPoint cursor(cp);
    if (FScrollKind == sbVertical && cursor.Y >= 0) {
        const int pos = VertPointToPos(cursor);
        FTrackingPos = VertPosToPixel(pos);
        DrawVertBar(nullptr);
        Scroll(sbVertical, skTracking, pos, pos - FPrevPos);
        FPrevPos = VertScrollInfo().nPos;
    } else if (FScrollKind == sbHorizontal && cursor.X >= 0) {
        const int pos = HorzPointToPos(cursor);
        FTrackingPos = HorzPosToPixel(pos);
        DrawHorzBar(nullptr);
        Scroll(sbHorizontal, skTracking, pos, pos - FPrevPos);
        FPrevPos = HorzScrollInfo().nPos;
    }
    Message.Result = 0;
    FHandled = true;
}

void TSysScrollingStyleHook::WndProc(TMessage& Message) {
    const bool styled = FOverridePaintNC && IsStyled();
    switch (Message.Msg) {
    case WM_PAINT:
        if (!styled) {
            Message.Result = CallDefaultProc(Message);
            return;
        }
        TMouseTrackSysControlStyleHook::WndProc(Message);
        if (!FTracking) {
            if (FVertScrollBar) DrawVertBar(nullptr);
            if (FHorzScrollBar) DrawHorzBar(nullptr);
        }
        return;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (LOWORD(Message.WParam) == SB_THUMBPOSITION) {
            // A thumb let go before the tracking timer's next tick ends where the pointer let go, not
            // where the last tick left it.
            if (FTracking && FOverridePaintNC && styled) {
                POINT cp{};
                GetCursorPos(&cp);
                FLstPos = FScrollKind == sbVertical ? VertPointToPos(TPoint(cp)) : HorzPointToPos(TPoint(cp));
            }
            Message.WParam = MAKEWPARAM(SB_THUMBPOSITION, FLstPos);
            Message.Result = CallDefaultProc(Message);
        } else if (styled) {
            TMouseTrackSysControlStyleHook::WndProc(Message);
        } else {
            Message.Result = CallDefaultProc(Message);
        }
        return;
    case WM_MOUSEMOVE:
    case WM_NCMOUSELEAVE:
        if (!styled) {
            Message.Result = CallDefaultProc(Message);
            return;
        }
        ResetBarDetails(true);
        TMouseTrackSysControlStyleHook::WndProc(Message);
        return;
    case WM_MOUSEWHEEL:
        TMouseTrackSysControlStyleHook::WndProc(Message);
        if (FVertScrollBar) DrawVertBar(nullptr);
        return;
    default: TMouseTrackSysControlStyleHook::WndProc(Message); return;
    }
}

// ---------------------------------------------------------------------------------------------------
// TSysScrollBarStyleHook

TSysScrollBarStyleHook::TSysScrollBarStyleHook(HWND AHandle) : TSysStyleHook(AHandle) {
    SetStyleElements(TStyleElements{seClient});
}

void TSysScrollBarStyleHook::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        if (FOverridePaint && (FSysControl->Style() & (SBS_SIZEBOX | SBS_SIZEGRIP))) {
            PAINTSTRUCT ps{};
            BeginPaint(FHandle, &ps);
            HDC dc = GetDC(FHandle);
            DrawStyleElement(dc, StyleServices()->GetElementDetails(tsSizeBoxLeftAlign), FSysControl->ClientRect(), true);
            ReleaseDC(FHandle, dc);
            EndPaint(FHandle, &ps);
            Message.Result = 0;
            return;
        }
        Message.Result = CallDefaultProc(Message);
        return;
    case WM_ERASEBKGND:
        Message.Result = FOverridePaint ? 1 : CallDefaultProc(Message);
        return;
    default: TSysStyleHook::WndProc(Message); return;
    }
}

// ---------------------------------------------------------------------------------------------------
// helpers of the dialog hook

void FillSolidRect(HDC DC, const TRect& R, TColor Color) {
    HBRUSH brush = CreateSolidBrush(COLORREF(ColorToRGB(Color)) & 0xFFFFFF);
    const RECT r = R;
    FillRect(DC, &r, brush);
    DeleteObject(brush);
}

bool IsMenuItemDisabled(HMENU Menu, int Position) {
    if (!Menu || Position < 0) return false;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    if (!GetMenuItemInfoW(Menu, UINT(Position), TRUE, &info)) return false;
    return info.fState & (MF_GRAYED | MF_DISABLED);
}

int MenuItemPosition(HMENU Menu, UINT Command) {
    if (!Menu) return -1;
    const int count = GetMenuItemCount(Menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID;
        if (GetMenuItemInfoW(Menu, UINT(i), TRUE, &info) && info.wID == Command) return i;
    }
    return -1;
}

bool IsSimpleDialog(HWND Window) {
    return !FindWindowExW(Window, nullptr, u"Edit", nullptr) && GetDlgItem(Window, 0xFFFF) &&
           GetWindowLongPtrW(Window, GWLP_USERDATA) != 0;
}

// ---------------------------------------------------------------------------------------------------
// registration

void RegisterFormStyleHooks() {
    TSystemHooks hooks = TStyleManager::SystemHooks();
    hooks.Exclude(shDialogs);
    TStyleManager::SetSystemHooks(hooks);
    TCustomStyleServices* style = TStyleManager::ActiveStyle();
    if (!style || !style->Available()) return;
    TSysStyleManager::RegisterSysStyleHook(QStringLiteral("#32770"), &CreateHook<TSysDialogStyleHook>);
    TSysStyleManager::RegisterSysStyleHook(QStringLiteral("ScrollBar"), &CreateHook<TSysScrollBarStyleHook>);
}

void UnRegisterFormStyleHooks() {
    TSysStyleManager::UnRegisterSysStyleHook(QStringLiteral("#32770"), &CreateHook<TSysDialogStyleHook>);
    TSysStyleManager::UnRegisterSysStyleHook(QStringLiteral("ScrollBar"), &CreateHook<TSysScrollBarStyleHook>);
}

} // namespace styling
