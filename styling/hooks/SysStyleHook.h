// styling/hooks/SysStyleHook.h: the base of every style hook of a foreign window: a window wrapper,
// the subclassing hook with its dispatcher, painting steps and colour reflection, and mouse tracking.
#pragma once
#include <memory>

#include "rtl/System.h"
#include "vcl/Controls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Graphics.h"
#include "vcl/Themes.h"
#include "win/windows.h"

namespace styling {

using vcl::TColor;
using vcl::TMessage;
using vcl::TRect;

// Messages and markers the hooks and the manager exchange.
constexpr UINT CM_CTLCOLOR_REFLECT = 1299;    // WM_CTLCOLOR* + 1299: a hooked parent's reflected request
constexpr UINT CM_HOOKED_TEST = 1659;         // 1659 and 1660: every hook answers HookedAnswer
constexpr UINT CM_IS_HOOKED = 1660;
constexpr UINT CM_HOOK_DEFERRED = 1661;       // hook the deferred children of this window now
constexpr UINT CM_HOOKED_DIRECTLY = 1662;     // sent by the manager: hooked at creation
constexpr LRESULT HookedAnswer = 119;
constexpr LPARAM EraseOnlyMarker = 147;       // WM_ERASEBKGND lParam: the background only, no Paint
constexpr int ProbeQuestion = 147;            // the integer a background probe points to
constexpr int ProbeAnswer = 17;               // written over it by a hook that paints its background

// The private message of the background probe: WM_ERASEBKGND carries DCs, not pointers, so the
// probe that writes through its lParam has a message of its own that only hooks answer.
UINT BackgroundProbeMessage();

enum TBidiModeDirection { bmLeftToRight, bmRightToLeft };

// Which parts of a window the style controls.
enum TStyleElement { seFont, seClient, seBorder };
using TStyleElements = rtl::TSet<TStyleElement>;

class TSysControl {
public:
    explicit TSysControl(HWND AHandle) : FHandle(AHandle) {}
    virtual ~TSysControl() = default;
    TSysControl(const TSysControl&) = delete;
    TSysControl& operator=(const TSysControl&) = delete;

    HWND Handle() const { return FHandle; }
    LONG_PTR Style() const { return GetWindowLongPtrW(FHandle, GWL_STYLE); }
    void SetStyle(LONG_PTR Value) { SetWindowLongPtrW(FHandle, GWL_STYLE, Value); }
    LONG_PTR ExStyle() const { return GetWindowLongPtrW(FHandle, GWL_EXSTYLE); }
    void SetExStyle(LONG_PTR Value) { SetWindowLongPtrW(FHandle, GWL_EXSTYLE, Value); }
    LONG_PTR WndProc() const { return GetWindowLongPtrW(FHandle, GWLP_WNDPROC); }
    void SetWndProc(LONG_PTR Value);
    HWND ParentHandle() const { return GetParent(FHandle); }
    // A fresh wrapper of the parent on each call (the previous one is freed); null without a parent.
    TSysControl* Parent();
    TRect WindowRect() const;
    int Left() const { return WindowRect().Left; }
    int Top() const { return WindowRect().Top; }
    int Width() const { return WindowRect().Width(); }
    int Height() const { return WindowRect().Height(); }
    TRect BoundsRect() const { return TRect(Left(), Top(), Left() + Width(), Top() + Height()); }
    TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Right; }
    int ClientHeight() const { return ClientRect().Bottom; }
    // Cut at 1024 characters.
    rtl::String Text() const;
    bool Visible() const { return IsWindowVisible(FHandle); }
    bool Enabled() const { return FHandle && IsWindowEnabled(FHandle); }
    LONG_PTR ControlID() const { return GetWindowLongPtrW(FHandle, GWLP_ID); }
    const rtl::String& ControlClassName();
    bool HasBorder() const { return (Style() & WS_BORDER) || (ExStyle() & WS_EX_CLIENTEDGE); }
    bool HasClientEdge() const { return ExStyle() & WS_EX_CLIENTEDGE; }
    bool IsChild() const { return Style() & WS_CHILD; }
    TBidiModeDirection BidiMode() const;
    // The window's font (WM_GETFONT), read once and kept.
    vcl::TFont* Font();
    virtual bool Focused() const { return FHandle && FHandle == GetFocus(); }
    virtual bool UseRightToLeftAlignment() const;
    bool UseRightToLeftReading() const { return UseRightToLeftAlignment(); }
    UINT DrawTextBiDiModeFlagsReadingOnly() const { return UseRightToLeftReading() ? DT_RTLREADING : 0; }
    UINT DrawTextBiDiModeFlags(UINT Flags) const;

    bool FDestroyed = false;  // kept for the dialog hook's WM_DESTROY handling

private:
    std::unique_ptr<vcl::TFont> FFont;
    std::unique_ptr<TSysControl> FParent;
    HWND FHandle;
    rtl::String FWindowClassName;
};

struct TWindowThunk;

class TSysStyleHook : public rtl::TObject {
public:
    explicit TSysStyleHook(HWND AHandle);
    // Gives the window its own procedure back when the hook's procedure is still the current one;
    // under a later subclass the thunk stays and passes messages through until the window dies.
    ~TSysStyleHook() override;
    TSysStyleHook(const TSysStyleHook&) = delete;
    TSysStyleHook& operator=(const TSysStyleHook&) = delete;

    HWND Handle() const { return FHandle; }
    TSysControl* SysControl() const { return FSysControl.get(); }
    WNDPROC OrgWndProc() const { return FOrgWndProc; }
    WNDPROC ProcInstance() const;

    virtual void WndProc(TMessage& Message);
    LRESULT CallDefaultProc(TMessage& Message);
    // The active style is available and custom, and the window is not one of the application's own
    // controls unless those are included.
    bool IsStyled() const;
    void SetRedraw(bool Redraw) { SetRedraw(FHandle, Redraw); }
    bool HasFocus() const { return GetFocus() == FHandle; }
    bool UseLeftScrollBar() const;
    void DrawParentBackground(HDC DC, const TRect* R = nullptr);
    void PaintBorder(TSysControl* Control, bool EraseLRCorner);
    int DrawText(HDC DC, const vcl::TThemedElementDetails& Details, const rtl::String& S, TRect& R, UINT Flags);
    int DrawTextCentered(HDC DC, const vcl::TThemedElementDetails& Details, const TRect& R, const rtl::String& S, UINT Flags);
    void DrawControlText(vcl::TCanvas* Canvas, const vcl::TThemedElementDetails& Details, const rtl::String& S, TRect& R, UINT Flags);

    TStyleElements StyleElements() const { return FStyleElements; }
    void SetStyleElements(TStyleElements Value);
    bool OverridePaint() const { return FOverridePaint; }
    void SetOverridePaint(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TColor FontColor() const { return FFontColor; }
    void SetFont(vcl::TFont* Value);
    HBRUSH BrushHandle() const;
    bool HookedDirectly() const { return FHookedDirectly; }
    bool MustRemove() const { return FMustRemove; }

    virtual TRect GetBorderWidths() { return TRect(0, 0, 0, 0); }
    bool ParentPaintsBackground();
    virtual void Paint(vcl::TCanvas*) {}
    virtual void PaintNCBorder(vcl::TCanvas* Canvas);
    virtual void PaintBackground(vcl::TCanvas* Canvas);
    virtual void PaintNC(vcl::TCanvas*) {}
    virtual void SetRedraw(HWND AHandle, bool Redraw) { SendMessageW(AHandle, WM_SETREDRAW, Redraw, 0); }
    virtual bool CustomPaint(HDC) { return false; }
    virtual void UpdateColors();
    virtual void Invalidate();
    virtual void InvalidateNC() { SendMessageW(FHandle, WM_NCPAINT, 0, 0); }
    virtual void Refresh() { SendMessageW(FHandle, WM_PAINT, 0, 0); }

protected:
    // The message handlers by number; a handler that does the work sets FHandled.
    virtual void Dispatch(TMessage& Message);
    virtual void WMPaint(TMessage& Message);
    virtual void WMNCPaint(TMessage& Message);
    virtual void WMEraseBkgnd(TMessage& Message);

    HWND FHandle;
    WNDPROC FOrgWndProc = nullptr;
    std::unique_ptr<TSysControl> FSysControl;
    bool FOverrideEraseBkgnd = false;
    bool FOverridePaint = false;
    bool FOverridePaintNC = false;
    bool FOverrideFont = false;
    bool FDoubleBuffered = false;
    bool FPaintOnEraseBkgnd = false;
    TColor FFontColor = TColor(0);
    std::unique_ptr<vcl::TBrush> FBrush;
    bool FHandled = false;
    bool FParentColor = false;
    TStyleElements FStyleElements;
    TColor FColor = vcl::clBtnFace;
    std::unique_ptr<vcl::TFont> FFont;
    rtl::String FText;
    bool FHookedDirectly = false;
    bool FMustRemove = false;

private:
    void ReflectColor(TMessage& Message);
    void HookDeferredChildren(TMessage& Message);
    void ClipChildren(HDC DC);

    TWindowThunk* FProcInstance = nullptr;
};

using TSysStyleHookClass = TSysStyleHook* (*)(HWND AHandle);
// The constructor of a hook class as a registry value.
template <class THook> TSysStyleHook* CreateHook(HWND AHandle) { return new THook(AHandle); }

class TMouseTrackSysControlStyleHook : public TSysStyleHook {
public:
    explicit TMouseTrackSysControlStyleHook(HWND AHandle) : TSysStyleHook(AHandle) {}
    ~TMouseTrackSysControlStyleHook() override;

    bool MouseInControl() const { return FMouseInControl; }
    bool MouseDown() const { return FMouseDown; }

protected:
    void Dispatch(TMessage& Message) override;
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual bool IsChildHandle(HWND) { return false; }
    virtual void HotTrackTimerTick(rtl::TObject* Sender);
    void StartHotTrackTimer();
    void StopHotTrackTimer();

    bool FMouseInControl = false;
    bool FMouseInNCArea = false;
    std::unique_ptr<vcl::TTimer> FHotTrackTimer;
    bool FMouseDown = false;
};

// Whether a window answers the hooked test.
bool IsControlHooked(HWND Handle);

} // namespace styling
