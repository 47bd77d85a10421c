// vcl/Messages.h: the class library's message record and its typed views (TWM…, TCM…), and the
// library's own notifications: CM_* (sent between controls) and CN_* (a parent reflecting a control's
// notification back to the control, at CN_BASE + the original message number).
#pragma once
#include "win/windows.h"

#include <cstdint>

namespace vcl {

// The record every window procedure of the library passes along. The typed views below add no data:
// a handler takes `TWMMouse&` where the message is known to be a mouse message, reading the same
// words through names.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;

    WORD WParamLo() const { return LOWORD(WParam); }
    WORD WParamHi() const { return HIWORD(WParam); }
    WORD LParamLo() const { return LOWORD(LParam); }
    WORD LParamHi() const { return HIWORD(LParam); }
};

// A view of a message as one of the typed records (they add no data members, so this is safe).
template <class T> T& MessageAs(TMessage& Message) {
    static_assert(sizeof(T) == sizeof(TMessage), "message views add no data");
    return static_cast<T&>(Message);
}

// ---- the library's own messages ----
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_INVOKEHELP = CM_BASE + 31;
constexpr UINT CM_WINDOWHOOK = CM_BASE + 32;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr UINT CM_WININICHANGE = CM_BASE + 37;
constexpr UINT CM_FONTCHANGE = CM_BASE + 38;
constexpr UINT CM_TIMECHANGE = CM_BASE + 39;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_UIACTIVATE = CM_BASE + 41;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 42;
constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 43;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_GETDATALINK = CM_BASE + 45;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;
constexpr UINT CM_DRAG = CM_BASE + 47;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;
constexpr UINT CM_DIALOGHANDLE = CM_BASE + 49;
constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 50;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 53;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_CHANGED = CM_BASE + 55;
constexpr UINT CM_DOCKCLIENT = CM_BASE + 56;
constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 57;
constexpr UINT CM_FLOAT = CM_BASE + 58;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 63;
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 64;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;
constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 66;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;
constexpr UINT CM_ISSHORTCUT = CM_BASE + 68;
constexpr UINT CM_INVALIDATEDOCKHOST = CM_BASE + 70;
constexpr UINT CM_SETACTIVECONTROL = CM_BASE + 71;
constexpr UINT CM_POPUPHWNDDESTROY = CM_BASE + 72;
constexpr UINT CM_CREATEPOPUP = CM_BASE + 73;
constexpr UINT CM_DESTROYHANDLE = CM_BASE + 74;
constexpr UINT CM_MOUSEACTIVATE = CM_BASE + 75;
constexpr UINT CM_CONTROLLISTCHANGING = CM_BASE + 76;
constexpr UINT CM_BUFFEREDPRINTCLIENT = CM_BASE + 77;
constexpr UINT CM_UNTHEMECONTROL = CM_BASE + 78;
constexpr UINT CM_DOUBLEBUFFEREDCHANGED = CM_BASE + 79;
constexpr UINT CM_PARENTDOUBLEBUFFEREDCHANGED = CM_BASE + 80;
constexpr UINT CM_GESTURE = CM_BASE + 82;
constexpr UINT CM_CUSTOMGESTURESCHANGED = CM_BASE + 83;
constexpr UINT CM_GESTUREMANAGERCHANGED = CM_BASE + 84;
constexpr UINT CM_STANDARDGESTURESCHANGED = CM_BASE + 85;
constexpr UINT CM_INPUTLANGCHANGE = CM_BASE + 86;
constexpr UINT CM_STYLECHANGED = CM_BASE + 87;
constexpr UINT CM_TABLETOPTIONSCHANGED = CM_BASE + 88;
constexpr UINT CM_PARENTTABLETOPTIONSCHANGED = CM_BASE + 89;
constexpr UINT CM_CUSTOMSTYLECHANGED = CM_BASE + 90;

// Reflected notifications: the parent sends them to the control the notification is about.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// ---- typed views ----

// WM_KEYDOWN/UP, WM_CHAR, WM_SYS*, CN_KEY*, CM_DIALOGKEY, CM_DIALOGCHAR, CM_WANTSPECIALKEY.
struct TWMKey : TMessage {
    WORD CharCode() const { return WORD(WParam); }
    void SetCharCode(WORD Value) { WParam = Value; }
    LONG KeyData() const { return LONG(LParam); }
};
using TWMChar = TWMKey;
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TWMSysChar = TWMKey;
using TWMSysKeyDown = TWMKey;
using TCMDialogKey = TWMKey;
using TCMDialogChar = TWMKey;
using TCMWantSpecialKey = TWMKey;

// WM_MOUSEMOVE, WM_[LRM]BUTTON*: Keys (MK_*) and the client position.
struct TWMMouse : TMessage {
    WPARAM Keys() const { return WParam; }
    SHORT XPos() const { return SHORT(LOWORD(LParam)); }
    SHORT YPos() const { return SHORT(HIWORD(LParam)); }
    POINT Pos() const { return POINT{XPos(), YPos()}; }
    void SetPos(int X, int Y) { LParam = MAKELPARAM(WORD(SHORT(X)), WORD(SHORT(Y))); }
};
using TWMMouseMove = TWMMouse;
using TWMLButtonDown = TWMMouse;
using TWMLButtonUp = TWMMouse;
using TWMLButtonDblClk = TWMMouse;
using TWMRButtonDown = TWMMouse;
using TWMRButtonUp = TWMMouse;
using TWMMButtonDown = TWMMouse;
using TWMMButtonUp = TWMMouse;

// WM_MOUSEWHEEL and CM_MOUSEWHEEL: the position is in screen coordinates.
struct TWMMouseWheel : TMessage {
    WORD Keys() const { return LOWORD(WParam); }
    SHORT WheelDelta() const { return SHORT(HIWORD(WParam)); }
    SHORT XPos() const { return SHORT(LOWORD(LParam)); }
    SHORT YPos() const { return SHORT(HIWORD(LParam)); }
};
using TCMMouseWheel = TWMMouseWheel;

struct TWMPaint : TMessage {
    HDC DC() const { return reinterpret_cast<HDC>(WParam); }
};
struct TWMEraseBkgnd : TMessage {
    HDC DC() const { return reinterpret_cast<HDC>(WParam); }
};
struct TWMNCPaint : TMessage {
    HRGN RGN() const { return reinterpret_cast<HRGN>(WParam); }
};
struct TWMNCHitTest : TMessage {
    SHORT XPos() const { return SHORT(LOWORD(LParam)); }
    SHORT YPos() const { return SHORT(HIWORD(LParam)); }
};
struct TWMNCCalcSize : TMessage {
    BOOL CalcValidRects() const { return BOOL(WParam); }
    NCCALCSIZE_PARAMS* CalcSize_Params() const { return reinterpret_cast<NCCALCSIZE_PARAMS*>(LParam); }
};
struct TWMSysCommand : TMessage {
    WPARAM CmdType() const { return WParam & 0xFFF0; }
    SHORT XPos() const { return SHORT(LOWORD(LParam)); }
    SHORT YPos() const { return SHORT(HIWORD(LParam)); }
    WORD Key() const { return LOWORD(LParam); }
};
struct TWMSetCursor : TMessage {
    HWND CursorWnd() const { return reinterpret_cast<HWND>(WParam); }
    SHORT HitTest() const { return SHORT(LOWORD(LParam)); }
    WORD MouseMsg() const { return HIWORD(LParam); }
};
struct TWMMouseActivate : TMessage {
    HWND TopLevel() const { return reinterpret_cast<HWND>(WParam); }
    SHORT HitTestCode() const { return SHORT(LOWORD(LParam)); }
    WORD MouseMsg() const { return HIWORD(LParam); }
};
struct TWMActivate : TMessage {
    WORD Active() const { return LOWORD(WParam); }
    BOOL Minimized() const { return HIWORD(WParam) != 0; }
    HWND ActiveWindow() const { return reinterpret_cast<HWND>(LParam); }
};
struct TWMActivateApp : TMessage {
    BOOL Active() const { return BOOL(WParam); }
};
struct TWMGetMinMaxInfo : TMessage {
    MINMAXINFO* MinMaxInfo() const { return reinterpret_cast<MINMAXINFO*>(LParam); }
};
struct TWMWindowPosMsg : TMessage {
    WINDOWPOS* WindowPos() const { return reinterpret_cast<WINDOWPOS*>(LParam); }
};
using TWMWindowPosChanged = TWMWindowPosMsg;
using TWMWindowPosChanging = TWMWindowPosMsg;
struct TWMSize : TMessage {
    WPARAM SizeType() const { return WParam; }
    WORD Width() const { return LOWORD(LParam); }
    WORD Height() const { return HIWORD(LParam); }
};
struct TWMMove : TMessage {
    SHORT XPos() const { return SHORT(LOWORD(LParam)); }
    SHORT YPos() const { return SHORT(HIWORD(LParam)); }
};
struct TWMTimer : TMessage {
    WPARAM TimerID() const { return WParam; }
    TIMERPROC TimerProc() const { return reinterpret_cast<TIMERPROC>(LParam); }
};
struct TWMCommand : TMessage {
    WORD ItemID() const { return LOWORD(WParam); }
    WORD NotifyCode() const { return HIWORD(WParam); }
    HWND Ctl() const { return reinterpret_cast<HWND>(LParam); }
};
// WM_DRAWITEM and WM_MEASUREITEM carry the platform's item structures in LParam.
struct TWMDrawItem : TMessage {
    UINT Ctl() const { return UINT(WParam); }
    void* DrawItemStruct() const { return reinterpret_cast<void*>(LParam); }
};
struct TWMMeasureItem : TMessage {
    UINT IDCtl() const { return UINT(WParam); }
    void* MeasureItemStruct() const { return reinterpret_cast<void*>(LParam); }
};
struct TWMNotify : TMessage {
    int IDCtrl() const { return int(WParam); }
    void* NMHdr() const { return reinterpret_cast<void*>(LParam); }
};
struct TWMCtlColor : TMessage {
    HDC ChildDC() const { return reinterpret_cast<HDC>(WParam); }
    HWND ChildWnd() const { return reinterpret_cast<HWND>(LParam); }
};
struct TWMScroll : TMessage {
    SHORT ScrollCode() const { return SHORT(LOWORD(WParam)); }
    SHORT Pos() const { return SHORT(HIWORD(WParam)); }
    HWND ScrollBar() const { return reinterpret_cast<HWND>(LParam); }
};
using TWMHScroll = TWMScroll;
using TWMVScroll = TWMScroll;
struct TWMDropFiles : TMessage {
    HDROP Drop() const { return reinterpret_cast<HDROP>(WParam); }
};
struct TWMSetFocus : TMessage {
    HWND FocusedWnd() const { return reinterpret_cast<HWND>(WParam); }
};
struct TWMKillFocus : TMessage {
    HWND FocusedWnd() const { return reinterpret_cast<HWND>(WParam); }
};
struct TWMGetDlgCode : TMessage {};
struct TWMContextMenu : TMessage {
    HWND hWnd() const { return reinterpret_cast<HWND>(WParam); }
    SHORT XPos() const { return SHORT(LOWORD(LParam)); }
    SHORT YPos() const { return SHORT(HIWORD(LParam)); }
};

class TControl;
class TWinControl;

// CM_CONTROLCHANGE: a control inserted into (Inserting) or removed from the receiver.
struct TCMControlChange : TMessage {
    TControl* Control() const { return reinterpret_cast<TControl*>(WParam); }
    bool Inserting() const { return LParam != 0; }
};
// CM_CONTROLLISTCHANGE: the same, sent before the change (LParam: inserting).
using TCMControlListChange = TCMControlChange;
// CM_FOCUSCHANGED: the control that now has the focus in the form.
struct TCMFocusChanged : TMessage {
    TWinControl* Sender() const { return reinterpret_cast<TWinControl*>(LParam); }
};
// CM_MOUSEENTER / CM_MOUSELEAVE: LParam is 0 when the notice is about the receiver itself, otherwise
// the child control the pointer entered or left.
struct TCMMouseEnterLeave : TMessage {
    TControl* Child() const { return reinterpret_cast<TControl*>(LParam); }
};
struct THintInfo;
struct TCMHintShow : TMessage {
    THintInfo* HintInfo() const { return reinterpret_cast<THintInfo*>(LParam); }
};
struct TCMHintShowPause : TMessage {
    BOOL WasActive() const { return BOOL(WParam); }
    int* Pause() const { return reinterpret_cast<int*>(LParam); }
};
struct TCMCancelMode : TMessage {
    TControl* Sender() const { return reinterpret_cast<TControl*>(LParam); }
};
struct TCMHitTest : TMessage {
    SHORT XPos() const { return SHORT(LOWORD(LParam)); }
    SHORT YPos() const { return SHORT(HIWORD(LParam)); }
};
using TCMDesignHitTest = TWMMouse;

} // namespace vcl
