// win/user32/winwindow.h: the window model of the user32 stand-in: classes, windows, messages, the
// queue, hooks, timers, painting, input, scroll bars, carets, cursors, the clipboard and file drops.
// Declarations follow the Win32 names and values; the Tw* functions at the end are the stand-in's own
// entry points for the presentation backend and for tests.
#pragma once

#include "win/windef.h"
#include "win/gdi32/wingdi.h"

extern "C" {

// ---- window styles ----
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_TILED WS_OVERLAPPED
#define WS_ICONIC WS_MINIMIZE
#define WS_SIZEBOX WS_THICKFRAME
#define WS_OVERLAPPEDWINDOW (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_POPUPWINDOW (WS_POPUP | WS_BORDER | WS_SYSMENU)
#define WS_CHILDWINDOW WS_CHILD

#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_NOPARENTNOTIFY 0x00000004L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_ACCEPTFILES 0x00000010L
#define WS_EX_TRANSPARENT 0x00000020L
#define WS_EX_MDICHILD 0x00000040L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_CONTEXTHELP 0x00000400L
#define WS_EX_RIGHT 0x00001000L
#define WS_EX_LEFT 0x00000000L
#define WS_EX_RTLREADING 0x00002000L
#define WS_EX_LEFTSCROLLBAR 0x00004000L
#define WS_EX_CONTROLPARENT 0x00010000L
#define WS_EX_STATICEDGE 0x00020000L
#define WS_EX_APPWINDOW 0x00040000L
#define WS_EX_OVERLAPPEDWINDOW (WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE)
#define WS_EX_PALETTEWINDOW (WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST)
#define WS_EX_LAYERED 0x00080000L
#define WS_EX_NOINHERITLAYOUT 0x00100000L
#define WS_EX_LAYOUTRTL 0x00400000L
#define WS_EX_COMPOSITED 0x02000000L
#define WS_EX_NOACTIVATE 0x08000000L

// ---- class styles ----
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_OWNDC 0x0020
#define CS_CLASSDC 0x0040
#define CS_PARENTDC 0x0080
#define CS_NOCLOSE 0x0200
#define CS_SAVEBITS 0x0800
#define CS_BYTEALIGNCLIENT 0x1000
#define CS_BYTEALIGNWINDOW 0x2000
#define CS_GLOBALCLASS 0x4000
#define CS_DROPSHADOW 0x00020000

#define CW_USEDEFAULT ((int)0x80000000)
#define HWND_DESKTOP ((HWND)0)
#define HWND_MESSAGE ((HWND)(LONG_PTR)-3)
#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)(LONG_PTR)-1)
#define HWND_NOTOPMOST ((HWND)(LONG_PTR)-2)
#define HWND_BROADCAST ((HWND)0xffff)

// ---- window longs ----
#define GWL_WNDPROC (-4)
#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_HWNDPARENT (-8)
#define GWL_ID (-12)
#define GWLP_ID (-12)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_USERDATA (-21)
#define GWLP_USERDATA (-21)
#define GCLP_MENUNAME (-8)
#define GCLP_HBRBACKGROUND (-10)
#define GCLP_HCURSOR (-12)
#define GCLP_HICON (-14)
#define GCLP_HMODULE (-16)
#define GCL_CBWNDEXTRA (-18)
#define GCL_CBCLSEXTRA (-20)
#define GCLP_WNDPROC (-24)
#define GCL_STYLE (-26)
#define GCLP_HICONSM (-34)
#define GCW_ATOM (-32)

// ---- GetWindow / GetAncestor / ChildWindowFromPointEx ----
#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5
#define GW_ENABLEDPOPUP 6
#define GA_PARENT 1
#define GA_ROOT 2
#define GA_ROOTOWNER 3
#define CWP_ALL 0x0000
#define CWP_SKIPINVISIBLE 0x0001
#define CWP_SKIPDISABLED 0x0002
#define CWP_SKIPTRANSPARENT 0x0004

// ---- messages ----
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETREDRAW 0x000B
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUERYENDSESSION 0x0011
#define WM_QUIT 0x0012
#define WM_QUERYOPEN 0x0013
#define WM_ERASEBKGND 0x0014
#define WM_SYSCOLORCHANGE 0x0015
#define WM_ENDSESSION 0x0016
#define WM_SHOWWINDOW 0x0018
#define WM_CTLCOLOR 0x0019
#define WM_SETTINGCHANGE 0x001A
#define WM_WININICHANGE WM_SETTINGCHANGE
#define WM_ACTIVATEAPP 0x001C
#define WM_FONTCHANGE 0x001D
#define WM_TIMECHANGE 0x001E
#define WM_CANCELMODE 0x001F
#define WM_SETCURSOR 0x0020
#define WM_MOUSEACTIVATE 0x0021
#define WM_CHILDACTIVATE 0x0022
#define WM_QUEUESYNC 0x0023
#define WM_GETMINMAXINFO 0x0024
#define WM_PAINTICON 0x0026
#define WM_ICONERASEBKGND 0x0027
#define WM_NEXTDLGCTL 0x0028
#define WM_DRAWITEM 0x002B
#define WM_MEASUREITEM 0x002C
#define WM_DELETEITEM 0x002D
#define WM_VKEYTOITEM 0x002E
#define WM_CHARTOITEM 0x002F
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_QUERYDRAGICON 0x0037
#define WM_COMPAREITEM 0x0039
#define WM_GETOBJECT 0x003D
#define WM_WINDOWPOSCHANGING 0x0046
#define WM_WINDOWPOSCHANGED 0x0047
#define WM_COPYDATA 0x004A
#define WM_CANCELJOURNAL 0x004B
#define WM_KEYF1 0x004D
#define WM_NOTIFY 0x004E
#define WM_INPUTLANGCHANGEREQUEST 0x0050
#define WM_INPUTLANGCHANGE 0x0051
#define WM_HELP 0x0053
#define WM_USERCHANGED 0x0054
#define WM_NOTIFYFORMAT 0x0055
#define WM_CONTEXTMENU 0x007B
#define WM_STYLECHANGING 0x007C
#define WM_STYLECHANGED 0x007D
#define WM_DISPLAYCHANGE 0x007E
#define WM_GETICON 0x007F
#define WM_SETICON 0x0080
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_NCCALCSIZE 0x0083
#define WM_NCHITTEST 0x0084
#define WM_NCPAINT 0x0085
#define WM_NCACTIVATE 0x0086
#define WM_GETDLGCODE 0x0087
#define WM_SYNCPAINT 0x0088
#define WM_NCMOUSEMOVE 0x00A0
#define WM_NCLBUTTONDOWN 0x00A1
#define WM_NCLBUTTONUP 0x00A2
#define WM_NCLBUTTONDBLCLK 0x00A3
#define WM_NCRBUTTONDOWN 0x00A4
#define WM_NCRBUTTONUP 0x00A5
#define WM_NCRBUTTONDBLCLK 0x00A6
#define WM_NCMBUTTONDOWN 0x00A7
#define WM_NCMBUTTONUP 0x00A8
#define WM_NCMBUTTONDBLCLK 0x00A9
#define WM_NCXBUTTONDOWN 0x00AB
#define WM_NCXBUTTONUP 0x00AC
#define WM_NCXBUTTONDBLCLK 0x00AD
#define WM_KEYFIRST 0x0100
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_DEADCHAR 0x0103
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCHAR 0x0106
#define WM_SYSDEADCHAR 0x0107
#define WM_UNICHAR 0x0109
#define WM_KEYLAST 0x0109
#define WM_IME_STARTCOMPOSITION 0x010D
#define WM_IME_ENDCOMPOSITION 0x010E
#define WM_IME_COMPOSITION 0x010F
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_HSCROLL 0x0114
#define WM_VSCROLL 0x0115
#define WM_INITMENU 0x0116
#define WM_INITMENUPOPUP 0x0117
#define WM_SYSTIMER 0x0118
#define WM_GESTURE 0x0119
#define WM_MENUSELECT 0x011F
#define WM_MENUCHAR 0x0120
#define WM_ENTERIDLE 0x0121
#define WM_CHANGEUISTATE 0x0127
#define WM_UPDATEUISTATE 0x0128
#define WM_QUERYUISTATE 0x0129
#define WM_CTLCOLORMSGBOX 0x0132
#define WM_CTLCOLOREDIT 0x0133
#define WM_CTLCOLORLISTBOX 0x0134
#define WM_CTLCOLORBTN 0x0135
#define WM_CTLCOLORDLG 0x0136
#define WM_CTLCOLORSCROLLBAR 0x0137
#define WM_CTLCOLORSTATIC 0x0138
#define WM_MOUSEFIRST 0x0200
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_RBUTTONDBLCLK 0x0206
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_MBUTTONDBLCLK 0x0209
#define WM_MOUSEWHEEL 0x020A
#define WM_XBUTTONDOWN 0x020B
#define WM_XBUTTONUP 0x020C
#define WM_XBUTTONDBLCLK 0x020D
#define WM_MOUSEHWHEEL 0x020E
#define WM_MOUSELAST 0x020E
#define WM_PARENTNOTIFY 0x0210
#define WM_ENTERMENULOOP 0x0211
#define WM_EXITMENULOOP 0x0212
#define WM_SIZING 0x0214
#define WM_CAPTURECHANGED 0x0215
#define WM_MOVING 0x0216
#define WM_ENTERSIZEMOVE 0x0231
#define WM_EXITSIZEMOVE 0x0232
#define WM_DROPFILES 0x0233
#define WM_MDIACTIVATE 0x0222
#define WM_NCMOUSEHOVER 0x02A0
#define WM_MOUSEHOVER 0x02A1
#define WM_NCMOUSELEAVE 0x02A2
#define WM_MOUSELEAVE 0x02A3
#define WM_CUT 0x0300
#define WM_COPY 0x0301
#define WM_PASTE 0x0302
#define WM_CLEAR 0x0303
#define WM_UNDO 0x0304
#define WM_QUERYNEWPALETTE 0x030F
#define WM_PALETTECHANGED 0x0311
#define WM_PRINT 0x0317
#define WM_PRINTCLIENT 0x0318
#define WM_THEMECHANGED 0x031A
#define WM_DPICHANGED 0x02E0
#define WM_USER 0x0400
#define WM_APP 0x8000

// ---- message parameters ----
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2
#define MA_ACTIVATE 1
#define MA_ACTIVATEANDEAT 2
#define MA_NOACTIVATE 3
#define MA_NOACTIVATEANDEAT 4
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10
#define SW_FORCEMINIMIZE 11
#define SW_PARENTCLOSING 1
#define SW_OTHERZOOM 2
#define SW_PARENTOPENING 3
#define SW_OTHERUNZOOM 4
// ScrollWindowEx flags
#define SW_SCROLLCHILDREN 0x0001
#define SW_INVALIDATE 0x0002
#define SW_ERASE 0x0004
#define SW_SMOOTHSCROLL 0x0010

#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_DRAWFRAME SWP_FRAMECHANGED
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
#define SWP_NOCOPYBITS 0x0100
#define SWP_NOOWNERZORDER 0x0200
#define SWP_NOREPOSITION SWP_NOOWNERZORDER
#define SWP_NOSENDCHANGING 0x0400
#define SWP_DEFERERASE 0x2000
#define SWP_ASYNCWINDOWPOS 0x4000

#define HTERROR (-2)
#define HTTRANSPARENT (-1)
#define HTNOWHERE 0
#define HTCLIENT 1
#define HTCAPTION 2
#define HTSYSMENU 3
#define HTGROWBOX 4
#define HTSIZE HTGROWBOX
#define HTMENU 5
#define HTHSCROLL 6
#define HTVSCROLL 7
#define HTMINBUTTON 8
#define HTMAXBUTTON 9
#define HTLEFT 10
#define HTRIGHT 11
#define HTTOP 12
#define HTTOPLEFT 13
#define HTTOPRIGHT 14
#define HTBOTTOM 15
#define HTBOTTOMLEFT 16
#define HTBOTTOMRIGHT 17
#define HTBORDER 18
#define HTREDUCE HTMINBUTTON
#define HTZOOM HTMAXBUTTON
#define HTCLOSE 20
#define HTHELP 21

#define SC_SIZE 0xF000
#define SC_MOVE 0xF010
#define WMSZ_LEFT 1
#define WMSZ_RIGHT 2
#define WMSZ_TOP 3
#define WMSZ_TOPLEFT 4
#define WMSZ_TOPRIGHT 5
#define WMSZ_BOTTOM 6
#define WMSZ_BOTTOMLEFT 7
#define WMSZ_BOTTOMRIGHT 8
#define SC_MINIMIZE 0xF020
#define SC_MAXIMIZE 0xF030
#define SC_NEXTWINDOW 0xF040
#define SC_PREVWINDOW 0xF050
#define SC_CLOSE 0xF060
#define SC_VSCROLL 0xF070
#define SC_HSCROLL 0xF080
#define SC_MOUSEMENU 0xF090
#define SC_KEYMENU 0xF100
#define SC_RESTORE 0xF120
#define SC_TASKLIST 0xF130
#define SC_CONTEXTHELP 0xF180

#define WVR_ALIGNTOP 0x0010
#define WVR_ALIGNLEFT 0x0020
#define WVR_ALIGNBOTTOM 0x0040
#define WVR_ALIGNRIGHT 0x0080
#define WVR_HREDRAW 0x0100
#define WVR_VREDRAW 0x0200
#define WVR_REDRAW (WVR_HREDRAW | WVR_VREDRAW)
#define WVR_VALIDRECTS 0x0400

#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010
#define MK_XBUTTON1 0x0020
#define MK_XBUTTON2 0x0040
#define WHEEL_DELTA 120
#define GET_WHEEL_DELTA_WPARAM(wParam) ((short)HIWORD(wParam))
#define GET_KEYSTATE_WPARAM(wParam) (LOWORD(wParam))

#define UIS_SET 1
#define UIS_CLEAR 2
#define UIS_INITIALIZE 3
#define UISF_HIDEFOCUS 0x1
#define UISF_HIDEACCEL 0x2
#define UISF_ACTIVE 0x4

#define PRF_CHECKVISIBLE 0x00000001L
#define PRF_NONCLIENT 0x00000002L
#define PRF_CLIENT 0x00000004L
#define PRF_ERASEBKGND 0x00000008L
#define PRF_CHILDREN 0x00000010L
#define PRF_OWNED 0x00000020L

#define DLGC_WANTARROWS 0x0001
#define DLGC_WANTTAB 0x0002
#define DLGC_WANTALLKEYS 0x0004
#define DLGC_WANTMESSAGE 0x0004
#define DLGC_HASSETSEL 0x0008
#define DLGC_DEFPUSHBUTTON 0x0010
#define DLGC_UNDEFPUSHBUTTON 0x0020
#define DLGC_RADIOBUTTON 0x0040
#define DLGC_WANTCHARS 0x0080
#define DLGC_STATIC 0x0100
#define DLGC_BUTTON 0x2000

#define ICON_SMALL 0
#define ICON_BIG 1
#define ICON_SMALL2 2

// ---- queue ----
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define PM_NOYIELD 0x0002
#define QS_KEY 0x0001
#define QS_MOUSEMOVE 0x0002
#define QS_MOUSEBUTTON 0x0004
#define QS_POSTMESSAGE 0x0008
#define QS_TIMER 0x0010
#define QS_PAINT 0x0020
#define QS_SENDMESSAGE 0x0040
#define QS_HOTKEY 0x0080
#define QS_ALLPOSTMESSAGE 0x0100
#define QS_RAWINPUT 0x0400
#define QS_MOUSE (QS_MOUSEMOVE | QS_MOUSEBUTTON)
#define QS_INPUT (QS_MOUSE | QS_KEY | QS_RAWINPUT)
#define QS_ALLEVENTS (QS_INPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY)
#define QS_ALLINPUT (QS_INPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY | QS_SENDMESSAGE)
#define MWMO_WAITALL 0x0001
#define MWMO_ALERTABLE 0x0002
#define MWMO_INPUTAVAILABLE 0x0004
#define SMTO_NORMAL 0x0000
#define SMTO_BLOCK 0x0001
#define SMTO_ABORTIFHUNG 0x0002

// ---- hooks ----
#define WH_MSGFILTER (-1)
#define WH_GETMESSAGE 3
#define WH_CALLWNDPROC 4
#define WH_CBT 5
#define WH_SYSMSGFILTER 6
#define WH_MOUSE 7
#define WH_KEYBOARD 2
#define WH_CALLWNDPROCRET 12
#define HC_ACTION 0
#define HC_GETNEXT 1
#define HC_SKIP 2
#define HC_NOREMOVE 3
#define HCBT_MOVESIZE 0
#define HCBT_MINMAX 1
#define HCBT_QS 2
#define HCBT_CREATEWND 3
#define HCBT_DESTROYWND 4
#define HCBT_ACTIVATE 5
#define HCBT_CLICKSKIPPED 6
#define HCBT_KEYSKIPPED 7
#define HCBT_SYSCOMMAND 8
#define HCBT_SETFOCUS 9
#define MSGF_DIALOGBOX 0
#define MSGF_MESSAGEBOX 1
#define MSGF_MENU 2
#define MSGF_MOVE 3
#define MSGF_SIZE 4
#define MSGF_SCROLLBAR 5
#define MSGF_NEXTWINDOW 6
#define MSGF_USER 4096

// ---- scroll bars ----
#define SB_HORZ 0
#define SB_VERT 1
#define SB_CTL 2
#define SB_BOTH 3
#define SB_LINEUP 0
#define SB_LINELEFT 0
#define SB_LINEDOWN 1
#define SB_LINERIGHT 1
#define SB_PAGEUP 2
#define SB_PAGELEFT 2
#define SB_PAGEDOWN 3
#define SB_PAGERIGHT 3
#define SB_THUMBPOSITION 4
#define SB_THUMBTRACK 5
#define SB_TOP 6
#define SB_LEFT 6
#define SB_BOTTOM 7
#define SB_RIGHT 7
#define SB_ENDSCROLL 8
#define SIF_RANGE 0x0001
#define SIF_PAGE 0x0002
#define SIF_POS 0x0004
#define SIF_DISABLENOSCROLL 0x0008
#define SIF_TRACKPOS 0x0010
#define SIF_ALL (SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS)
#define ESB_ENABLE_BOTH 0x0000
#define ESB_DISABLE_BOTH 0x0003
#define ESB_DISABLE_LEFT 0x0001
#define ESB_DISABLE_RIGHT 0x0002
#define ESB_DISABLE_UP 0x0001
#define ESB_DISABLE_DOWN 0x0002
#define ESB_DISABLE_LTUP ESB_DISABLE_LEFT
#define ESB_DISABLE_RTDN ESB_DISABLE_RIGHT
#define OBJID_WINDOW ((LONG)0x00000000)
#define OBJID_HSCROLL ((LONG)0xFFFFFFFA)
#define OBJID_VSCROLL ((LONG)0xFFFFFFFB)
#define OBJID_CLIENT ((LONG)0xFFFFFFFC)

// ---- painting ----
#define RDW_INVALIDATE 0x0001
#define RDW_INTERNALPAINT 0x0002
#define RDW_ERASE 0x0004
#define RDW_VALIDATE 0x0008
#define RDW_NOINTERNALPAINT 0x0010
#define RDW_NOERASE 0x0020
#define RDW_NOCHILDREN 0x0040
#define RDW_ALLCHILDREN 0x0080
#define RDW_UPDATENOW 0x0100
#define RDW_ERASENOW 0x0200
#define RDW_FRAME 0x0400
#define RDW_NOFRAME 0x0800
#define DCX_WINDOW 0x00000001L
#define DCX_CACHE 0x00000002L
#define DCX_NORESETATTRS 0x00000004L
#define DCX_CLIPCHILDREN 0x00000008L
#define DCX_CLIPSIBLINGS 0x00000010L
#define DCX_PARENTCLIP 0x00000020L
#define DCX_EXCLUDERGN 0x00000040L
#define DCX_INTERSECTRGN 0x00000080L
#define DCX_EXCLUDEUPDATE 0x00000100L
#define DCX_INTERSECTUPDATE 0x00000200L
#define DCX_LOCKWINDOWUPDATE 0x00000400L
#define DCX_VALIDATE 0x00200000L

typedef struct tagPAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
} PAINTSTRUCT, *PPAINTSTRUCT, *LPPAINTSTRUCT;

// ---- layered windows ----
#define LWA_COLORKEY 0x00000001
#define LWA_ALPHA 0x00000002
#define ULW_COLORKEY 0x00000001
#define ULW_ALPHA 0x00000002
#define ULW_OPAQUE 0x00000004

// ---- keys ----
#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_CANCEL 0x03
#define VK_MBUTTON 0x04
#define VK_XBUTTON1 0x05
#define VK_XBUTTON2 0x06
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_CLEAR 0x0C
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_SELECT 0x29
#define VK_PRINT 0x2A
#define VK_SNAPSHOT 0x2C
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_HELP 0x2F
#define VK_LWIN 0x5B
#define VK_RWIN 0x5C
#define VK_APPS 0x5D
#define VK_NUMPAD0 0x60
#define VK_NUMPAD1 0x61
#define VK_NUMPAD2 0x62
#define VK_NUMPAD3 0x63
#define VK_NUMPAD4 0x64
#define VK_NUMPAD5 0x65
#define VK_NUMPAD6 0x66
#define VK_NUMPAD7 0x67
#define VK_NUMPAD8 0x68
#define VK_NUMPAD9 0x69
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SEPARATOR 0x6C
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91
#define VK_LSHIFT 0xA0
#define VK_RSHIFT 0xA1
#define VK_LCONTROL 0xA2
#define VK_RCONTROL 0xA3
#define VK_LMENU 0xA4
#define VK_RMENU 0xA5
#define VK_OEM_1 0xBA
#define VK_OEM_PLUS 0xBB
#define VK_OEM_COMMA 0xBC
#define VK_OEM_MINUS 0xBD
#define VK_OEM_PERIOD 0xBE
#define VK_OEM_2 0xBF
#define VK_OEM_3 0xC0
#define VK_OEM_4 0xDB
#define VK_OEM_5 0xDC
#define VK_OEM_6 0xDD
#define VK_OEM_7 0xDE
#define VK_PROCESSKEY 0xE5
#define KF_EXTENDED 0x0100
#define KF_ALTDOWN 0x2000
#define KF_REPEAT 0x4000
#define KF_UP 0x8000
#define MAPVK_VK_TO_VSC 0
#define MAPVK_VSC_TO_VK 1
#define MAPVK_VK_TO_CHAR 2

// ---- mouse tracking ----
#define TME_HOVER 0x00000001
#define TME_LEAVE 0x00000002
#define TME_NONCLIENT 0x00000010
#define TME_QUERY 0x40000000
#define TME_CANCEL 0x80000000
#define HOVER_DEFAULT 0xFFFFFFFF

// ---- cursors ----
#define IDC_ARROW MAKEINTRESOURCEW(32512)
#define IDC_IBEAM MAKEINTRESOURCEW(32513)
#define IDC_WAIT MAKEINTRESOURCEW(32514)
#define IDC_CROSS MAKEINTRESOURCEW(32515)
#define IDC_UPARROW MAKEINTRESOURCEW(32516)
#define IDC_SIZE MAKEINTRESOURCEW(32640)
#define IDC_ICON MAKEINTRESOURCEW(32641)
#define IDC_SIZENWSE MAKEINTRESOURCEW(32642)
#define IDC_SIZENESW MAKEINTRESOURCEW(32643)
#define IDC_SIZEWE MAKEINTRESOURCEW(32644)
#define IDC_SIZENS MAKEINTRESOURCEW(32645)
#define IDC_SIZEALL MAKEINTRESOURCEW(32646)
#define IDC_NO MAKEINTRESOURCEW(32648)
#define IDC_HAND MAKEINTRESOURCEW(32649)
#define IDC_APPSTARTING MAKEINTRESOURCEW(32650)
#define IDC_HELP MAKEINTRESOURCEW(32651)

// ---- clipboard ----
#define CF_TEXT 1
#define CF_BITMAP 2
#define CF_OEMTEXT 7
#define CF_DIB 8
#define CF_UNICODETEXT 13
#define CF_HDROP 15
#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

// ---- monitors ----
#define MONITOR_DEFAULTTONULL 0x00000000
#define MONITOR_DEFAULTTOPRIMARY 0x00000001
#define MONITOR_DEFAULTTONEAREST 0x00000002
#define MONITORINFOF_PRIMARY 0x00000001

// ---- message boxes ----
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_ICONHAND 0x00000010L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_TOPMOST 0x00040000L
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDCLOSE 8
#define IDHELP 9

// ---- structures ----
typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *PMSG, *LPMSG;

typedef struct tagWNDCLASSEXW {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
    HICON hIconSm;
} WNDCLASSEXW, *PWNDCLASSEXW, *LPWNDCLASSEXW;

typedef struct tagWNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
} WNDCLASSW, *PWNDCLASSW, *LPWNDCLASSW;

typedef struct tagCREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTW, *LPCREATESTRUCTW;

typedef struct tagCBT_CREATEWNDW {
    LPCREATESTRUCTW lpcs;
    HWND hwndInsertAfter;
} CBT_CREATEWNDW, *LPCBT_CREATEWNDW;

typedef struct tagCBTACTIVATESTRUCT {
    BOOL fMouse;
    HWND hWndActive;
} CBTACTIVATESTRUCT, *LPCBTACTIVATESTRUCT;

typedef struct tagWINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
} WINDOWPOS, *LPWINDOWPOS, *PWINDOWPOS;

typedef struct tagNCCALCSIZE_PARAMS {
    RECT rgrc[3];
    PWINDOWPOS lppos;
} NCCALCSIZE_PARAMS, *LPNCCALCSIZE_PARAMS;

typedef struct tagMINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
} MINMAXINFO, *PMINMAXINFO, *LPMINMAXINFO;

typedef struct tagWINDOWPLACEMENT {
    UINT length;
    UINT flags;
    UINT showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
} WINDOWPLACEMENT, *PWINDOWPLACEMENT, *LPWINDOWPLACEMENT;

typedef struct tagSTYLESTRUCT {
    DWORD styleOld;
    DWORD styleNew;
} STYLESTRUCT, *LPSTYLESTRUCT;

typedef struct tagSCROLLINFO {
    UINT cbSize;
    UINT fMask;
    int nMin;
    int nMax;
    UINT nPage;
    int nPos;
    int nTrackPos;
} SCROLLINFO, *LPSCROLLINFO;
typedef const SCROLLINFO* LPCSCROLLINFO;

typedef struct tagCWPSTRUCT {
    LPARAM lParam;
    WPARAM wParam;
    UINT message;
    HWND hwnd;
} CWPSTRUCT, *PCWPSTRUCT, *LPCWPSTRUCT;

typedef struct tagCWPRETSTRUCT {
    LRESULT lResult;
    LPARAM lParam;
    WPARAM wParam;
    UINT message;
    HWND hwnd;
} CWPRETSTRUCT, *PCWPRETSTRUCT, *LPCWPRETSTRUCT;

typedef struct tagMOUSEHOOKSTRUCT {
    POINT pt;
    HWND hwnd;
    UINT wHitTestCode;
    ULONG_PTR dwExtraInfo;
} MOUSEHOOKSTRUCT, *LPMOUSEHOOKSTRUCT, *PMOUSEHOOKSTRUCT;

typedef struct tagTRACKMOUSEEVENT {
    DWORD cbSize;
    DWORD dwFlags;
    HWND hwndTrack;
    DWORD dwHoverTime;
} TRACKMOUSEEVENT, *LPTRACKMOUSEEVENT;

typedef struct tagMONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
} MONITORINFO, *LPMONITORINFO;

typedef struct _DROPFILES {
    DWORD pFiles;  // offset of the file list from the start of this structure
    POINT pt;
    BOOL fNC;
    BOOL fWide;
} DROPFILES, *LPDROPFILES;

typedef struct tagBLENDFUNCTION_ULW {
    BYTE BlendOp;
    BYTE BlendFlags;
    BYTE SourceConstantAlpha;
    BYTE AlphaFormat;
} TW_ULW_BLENDFUNCTION;

typedef LRESULT(CALLBACK* HOOKPROC)(int code, WPARAM wParam, LPARAM lParam);
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);
typedef BOOL(CALLBACK* WNDENUMPROC)(HWND, LPARAM);
typedef BOOL(CALLBACK* MONITORENUMPROC)(HMONITOR, HDC, LPRECT, LPARAM);

// ---- classes ----
TW_PATCHABLE ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* lpwcx);
TW_PATCHABLE ATOM WINAPI RegisterClassW(const WNDCLASSW* lpWndClass);
TW_PATCHABLE BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE hInstance);
TW_PATCHABLE BOOL WINAPI GetClassInfoExW(HINSTANCE hInstance, LPCWSTR lpszClass, LPWNDCLASSEXW lpwcx);
TW_PATCHABLE BOOL WINAPI GetClassInfoW(HINSTANCE hInstance, LPCWSTR lpClassName, LPWNDCLASSW lpWndClass);
TW_PATCHABLE int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount);
TW_PATCHABLE ULONG_PTR WINAPI GetClassLongPtrW(HWND hWnd, int nIndex);
TW_PATCHABLE ULONG_PTR WINAPI SetClassLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong);

// ---- windows ----
TW_PATCHABLE HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle,
                                         int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                                         HINSTANCE hInstance, LPVOID lpParam);
TW_PATCHABLE BOOL WINAPI DestroyWindow(HWND hWnd);
TW_PATCHABLE BOOL WINAPI IsWindow(HWND hWnd);
TW_PATCHABLE LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex);
TW_PATCHABLE LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong);
TW_PATCHABLE LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex);
TW_PATCHABLE LONG WINAPI SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong);
TW_PATCHABLE LRESULT WINAPI CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
TW_PATCHABLE LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
TW_PATCHABLE BOOL WINAPI SetPropW(HWND hWnd, LPCWSTR lpString, HANDLE hData);
TW_PATCHABLE HANDLE WINAPI GetPropW(HWND hWnd, LPCWSTR lpString);
TW_PATCHABLE HANDLE WINAPI RemovePropW(HWND hWnd, LPCWSTR lpString);
TW_PATCHABLE int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount);
TW_PATCHABLE int WINAPI GetWindowTextLengthW(HWND hWnd);
TW_PATCHABLE BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString);
TW_PATCHABLE HWND WINAPI GetParent(HWND hWnd);
TW_PATCHABLE HWND WINAPI SetParent(HWND hWndChild, HWND hWndNewParent);
TW_PATCHABLE HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags);
TW_PATCHABLE HWND WINAPI GetWindow(HWND hWnd, UINT uCmd);
TW_PATCHABLE HWND WINAPI GetTopWindow(HWND hWnd);
TW_PATCHABLE HWND WINAPI GetDesktopWindow(void);
TW_PATCHABLE BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd);
TW_PATCHABLE HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem);
TW_PATCHABLE int WINAPI GetDlgCtrlID(HWND hWnd);
TW_PATCHABLE BOOL WINAPI EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam);
TW_PATCHABLE BOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam);
TW_PATCHABLE BOOL WINAPI EnumThreadWindows(DWORD dwThreadId, WNDENUMPROC lpfn, LPARAM lParam);
TW_PATCHABLE HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName);
TW_PATCHABLE HWND WINAPI FindWindowExW(HWND hWndParent, HWND hWndChildAfter, LPCWSTR lpszClass, LPCWSTR lpszWindow);
TW_PATCHABLE DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId);
TW_PATCHABLE DWORD WINAPI GetCurrentThreadId(void);

// ---- geometry ----
TW_PATCHABLE BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect);
TW_PATCHABLE BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect);
TW_PATCHABLE BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);
TW_PATCHABLE BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint);
TW_PATCHABLE BOOL WINAPI BringWindowToTop(HWND hWnd);
TW_PATCHABLE BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow);
TW_PATCHABLE BOOL WINAPI IsWindowVisible(HWND hWnd);
TW_PATCHABLE BOOL WINAPI IsIconic(HWND hWnd);
TW_PATCHABLE BOOL WINAPI IsZoomed(HWND hWnd);
TW_PATCHABLE BOOL WINAPI GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl);
TW_PATCHABLE BOOL WINAPI SetWindowPlacement(HWND hWnd, const WINDOWPLACEMENT* lpwndpl);
TW_PATCHABLE BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint);
TW_PATCHABLE BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint);
TW_PATCHABLE int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints);
TW_PATCHABLE HWND WINAPI WindowFromPoint(POINT Point);
TW_PATCHABLE HWND WINAPI ChildWindowFromPoint(HWND hWndParent, POINT Point);
TW_PATCHABLE HWND WINAPI ChildWindowFromPointEx(HWND hwnd, POINT pt, UINT flags);
TW_PATCHABLE int WINAPI SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw);
TW_PATCHABLE int WINAPI GetWindowRgn(HWND hWnd, HRGN hRgn);
TW_PATCHABLE BOOL WINAPI SetLayeredWindowAttributes(HWND hwnd, COLORREF crKey, BYTE bAlpha, DWORD dwFlags);
TW_PATCHABLE BOOL WINAPI GetLayeredWindowAttributes(HWND hwnd, COLORREF* pcrKey, BYTE* pbAlpha, DWORD* pdwFlags);
TW_PATCHABLE BOOL WINAPI UpdateLayeredWindow(HWND hWnd, HDC hdcDst, POINT* pptDst, SIZE* psize, HDC hdcSrc,
                                             POINT* pptSrc, COLORREF crKey, TW_ULW_BLENDFUNCTION* pblend, DWORD dwFlags);
TW_PATCHABLE BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle);

// ---- state: enabled, focus, activation, capture ----
TW_PATCHABLE BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable);
TW_PATCHABLE BOOL WINAPI IsWindowEnabled(HWND hWnd);
TW_PATCHABLE HWND WINAPI SetFocus(HWND hWnd);
TW_PATCHABLE HWND WINAPI GetFocus(void);
TW_PATCHABLE HWND WINAPI SetActiveWindow(HWND hWnd);
TW_PATCHABLE HWND WINAPI GetActiveWindow(void);
TW_PATCHABLE BOOL WINAPI SetForegroundWindow(HWND hWnd);
TW_PATCHABLE HWND WINAPI GetForegroundWindow(void);
TW_PATCHABLE BOOL WINAPI LockSetForegroundWindow(UINT uLockCode);
TW_PATCHABLE HWND WINAPI SetCapture(HWND hWnd);
TW_PATCHABLE HWND WINAPI GetCapture(void);
TW_PATCHABLE BOOL WINAPI ReleaseCapture(void);
TW_PATCHABLE BOOL WINAPI LockWindowUpdate(HWND hWndLock);

// ---- messages and the queue ----
TW_PATCHABLE LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
TW_PATCHABLE BOOL WINAPI SendNotifyMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
TW_PATCHABLE LRESULT WINAPI SendMessageTimeoutW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam, UINT fuFlags,
                                                UINT uTimeout, PDWORD_PTR lpdwResult);
TW_PATCHABLE BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
TW_PATCHABLE BOOL WINAPI PostThreadMessageW(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam);
TW_PATCHABLE void WINAPI PostQuitMessage(int nExitCode);
TW_PATCHABLE BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax);
TW_PATCHABLE BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
TW_PATCHABLE BOOL WINAPI WaitMessage(void);
TW_PATCHABLE DWORD WINAPI MsgWaitForMultipleObjects(DWORD nCount, const HANDLE* pHandles, BOOL fWaitAll,
                                                    DWORD dwMilliseconds, DWORD dwWakeMask);
TW_PATCHABLE DWORD WINAPI MsgWaitForMultipleObjectsEx(DWORD nCount, const HANDLE* pHandles, DWORD dwMilliseconds,
                                                      DWORD dwWakeMask, DWORD dwFlags);
TW_PATCHABLE DWORD WINAPI GetQueueStatus(UINT flags);
TW_PATCHABLE BOOL WINAPI TranslateMessage(const MSG* lpMsg);
TW_PATCHABLE LRESULT WINAPI DispatchMessageW(const MSG* lpMsg);
TW_PATCHABLE DWORD WINAPI GetMessagePos(void);
TW_PATCHABLE LONG WINAPI GetMessageTime(void);
TW_PATCHABLE LPARAM WINAPI GetMessageExtraInfo(void);
TW_PATCHABLE BOOL WINAPI InSendMessage(void);
TW_PATCHABLE UINT WINAPI RegisterWindowMessageW(LPCWSTR lpString);
TW_PATCHABLE BOOL WINAPI CallMsgFilterW(LPMSG lpMsg, int nCode);

// ---- hooks ----
TW_PATCHABLE HHOOK WINAPI SetWindowsHookExW(int idHook, HOOKPROC lpfn, HINSTANCE hmod, DWORD dwThreadId);
TW_PATCHABLE BOOL WINAPI UnhookWindowsHookEx(HHOOK hhk);
TW_PATCHABLE LRESULT WINAPI CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam);

// ---- timers and time ----
TW_PATCHABLE UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
TW_PATCHABLE BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent);
TW_PATCHABLE DWORD WINAPI GetTickCount(void);
TW_PATCHABLE ULONGLONG WINAPI GetTickCount64(void);
TW_PATCHABLE UINT WINAPI GetDoubleClickTime(void);
TW_PATCHABLE BOOL WINAPI SetDoubleClickTime(UINT uInterval);
TW_PATCHABLE UINT WINAPI GetCaretBlinkTime(void);

// ---- painting ----
TW_PATCHABLE HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
TW_PATCHABLE BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
TW_PATCHABLE HDC WINAPI GetDC(HWND hWnd);
TW_PATCHABLE HDC WINAPI GetDCEx(HWND hWnd, HRGN hrgnClip, DWORD flags);
TW_PATCHABLE HDC WINAPI GetWindowDC(HWND hWnd);
TW_PATCHABLE int WINAPI ReleaseDC(HWND hWnd, HDC hDC);
TW_PATCHABLE HWND WINAPI WindowFromDC(HDC hDC);
TW_PATCHABLE BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
TW_PATCHABLE BOOL WINAPI InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase);
TW_PATCHABLE BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect);
TW_PATCHABLE BOOL WINAPI ValidateRgn(HWND hWnd, HRGN hRgn);
TW_PATCHABLE BOOL WINAPI UpdateWindow(HWND hWnd);
TW_PATCHABLE BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags);
TW_PATCHABLE BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase);
TW_PATCHABLE int WINAPI GetUpdateRgn(HWND hWnd, HRGN hRgn, BOOL bErase);
TW_PATCHABLE int WINAPI ExcludeUpdateRgn(HDC hDC, HWND hWnd);
TW_PATCHABLE int WINAPI ScrollWindowEx(HWND hWnd, int dx, int dy, const RECT* prcScroll, const RECT* prcClip,
                                       HRGN hrgnUpdate, LPRECT prcUpdate, UINT flags);
TW_PATCHABLE BOOL WINAPI ScrollWindow(HWND hWnd, int XAmount, int YAmount, const RECT* lpRect, const RECT* lpClipRect);
// DrawCaption's flags.
#define DC_ACTIVE 0x0001
#define DC_SMALLCAP 0x0002
#define DC_ICON 0x0004
#define DC_TEXT 0x0008
#define DC_INBUTTON 0x0010
#define DC_GRADIENT 0x0020
#define DC_BUTTONS 0x1000
TW_PATCHABLE BOOL WINAPI DrawCaption(HWND hwnd, HDC hdc, const RECT* lprect, UINT flags);

// ---- non-client area and scroll bars ----
TW_PATCHABLE int WINAPI SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw);
TW_PATCHABLE BOOL WINAPI GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi);
TW_PATCHABLE int WINAPI SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw);
TW_PATCHABLE int WINAPI GetScrollPos(HWND hWnd, int nBar);
TW_PATCHABLE BOOL WINAPI SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw);
TW_PATCHABLE BOOL WINAPI GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos);
TW_PATCHABLE BOOL WINAPI ShowScrollBar(HWND hWnd, int wBar, BOOL bShow);
TW_PATCHABLE BOOL WINAPI EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows);

// ---- input ----
TW_PATCHABLE SHORT WINAPI GetKeyState(int nVirtKey);
TW_PATCHABLE SHORT WINAPI GetAsyncKeyState(int vKey);
TW_PATCHABLE BOOL WINAPI GetKeyboardState(PBYTE lpKeyState);
TW_PATCHABLE UINT WINAPI MapVirtualKeyW(UINT uCode, UINT uMapType);
TW_PATCHABLE int WINAPI GetKeyNameTextW(LONG lParam, LPWSTR lpString, int cchSize);
TW_PATCHABLE BOOL WINAPI TrackMouseEvent(LPTRACKMOUSEEVENT lpEventTrack);
// The common-controls name of TrackMouseEvent; callers look it up through "comctl32.dll".
TW_PATCHABLE BOOL WINAPI _TrackMouseEvent(LPTRACKMOUSEEVENT lpEventTrack);
TW_PATCHABLE BOOL WINAPI GetCursorPos(LPPOINT lpPoint);
TW_PATCHABLE BOOL WINAPI SetCursorPos(int X, int Y);
TW_PATCHABLE BOOL WINAPI ClipCursor(const RECT* lpRect);
TW_PATCHABLE BOOL WINAPI GetClipCursor(LPRECT lpRect);
TW_PATCHABLE BOOL WINAPI MessageBeep(UINT uType);

// ---- cursors and carets ----
TW_PATCHABLE HCURSOR WINAPI LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName);
TW_PATCHABLE HCURSOR WINAPI SetCursor(HCURSOR hCursor);
TW_PATCHABLE HCURSOR WINAPI GetCursor(void);
TW_PATCHABLE int WINAPI ShowCursor(BOOL bShow);
TW_PATCHABLE HCURSOR WINAPI CreateCursor(HINSTANCE hInst, int xHotSpot, int yHotSpot, int nWidth, int nHeight,
                                         const void* pvANDPlane, const void* pvXORPlane);
TW_PATCHABLE BOOL WINAPI DestroyCursor(HCURSOR hCursor);
TW_PATCHABLE HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName);
TW_PATCHABLE BOOL WINAPI CreateCaret(HWND hWnd, HBITMAP hBitmap, int nWidth, int nHeight);
TW_PATCHABLE BOOL WINAPI DestroyCaret(void);
TW_PATCHABLE BOOL WINAPI ShowCaret(HWND hWnd);
TW_PATCHABLE BOOL WINAPI HideCaret(HWND hWnd);
TW_PATCHABLE BOOL WINAPI SetCaretPos(int X, int Y);
TW_PATCHABLE BOOL WINAPI GetCaretPos(LPPOINT lpPoint);

// Where the keyboard's input goes: active, focus and capture windows and the caret's window and place.
typedef struct tagGUITHREADINFO {
    DWORD cbSize;
    DWORD flags;
    HWND hwndActive;
    HWND hwndFocus;
    HWND hwndCapture;
    HWND hwndMenuOwner;
    HWND hwndMoveSize;
    HWND hwndCaret;
    RECT rcCaret;
} GUITHREADINFO, *PGUITHREADINFO, *LPGUITHREADINFO;
#define GUI_CARETBLINKING 0x00000001
#define GUI_INMOVESIZE 0x00000002
#define GUI_INMENUMODE 0x00000004
#define GUI_SYSTEMMENUMODE 0x00000008
#define GUI_POPUPMENUMODE 0x00000010
TW_PATCHABLE BOOL WINAPI GetGUIThreadInfo(DWORD idThread, PGUITHREADINFO pgui);

// ---- clipboard (text and file lists) ----
TW_PATCHABLE BOOL WINAPI OpenClipboard(HWND hWndNewOwner);
TW_PATCHABLE BOOL WINAPI CloseClipboard(void);
TW_PATCHABLE BOOL WINAPI EmptyClipboard(void);
TW_PATCHABLE HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem);
TW_PATCHABLE HANDLE WINAPI GetClipboardData(UINT uFormat);
TW_PATCHABLE BOOL WINAPI IsClipboardFormatAvailable(UINT format);
TW_PATCHABLE HWND WINAPI GetClipboardOwner(void);
// Movable memory for clipboard data and drops (the stand-in keeps every block fixed).
HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
HGLOBAL WINAPI GlobalFree(HGLOBAL hMem);
LPVOID WINAPI GlobalLock(HGLOBAL hMem);
BOOL WINAPI GlobalUnlock(HGLOBAL hMem);
SIZE_T WINAPI GlobalSize(HGLOBAL hMem);

// ---- file drops (shell32 in Windows) ----
void WINAPI DragAcceptFiles(HWND hWnd, BOOL fAccept);
UINT WINAPI DragQueryFileW(HDROP hDrop, UINT iFile, LPWSTR lpszFile, UINT cch);
BOOL WINAPI DragQueryPoint(HDROP hDrop, LPPOINT ppt);
void WINAPI DragFinish(HDROP hDrop);

// ---- monitors ----
TW_PATCHABLE HMONITOR WINAPI MonitorFromPoint(POINT pt, DWORD dwFlags);
TW_PATCHABLE HMONITOR WINAPI MonitorFromRect(LPCRECT lprc, DWORD dwFlags);
TW_PATCHABLE HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD dwFlags);
TW_PATCHABLE BOOL WINAPI GetMonitorInfoW(HMONITOR hMonitor, LPMONITORINFO lpmi);
TW_PATCHABLE BOOL WINAPI GetMonitorInfoA(HMONITOR hMonitor, LPMONITORINFO lpmi);
TW_PATCHABLE BOOL WINAPI EnumDisplayMonitors(HDC hdc, LPCRECT lprcClip, MONITORENUMPROC lpfnEnum, LPARAM dwData);

// ---- message boxes ----
TW_PATCHABLE int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);

// ======== stand-in extensions (not Win32) ========

// -- time: one clock for GetTickCount, timers, double clicks and caret blinks --
// A manual clock stands still until TwAdvanceClock moves it; timers fall due as it moves.
void WINAPI TwUseManualClock(ULONGLONG startMs);
void WINAPI TwUseRealClock(void);
BOOL WINAPI TwClockIsManual(void);
void WINAPI TwAdvanceClock(ULONGLONG ms);
// Called when the queue would wait while the manual clock runs: a test moves time or injects input
// there. Without it (or when it changes nothing), waiting jumps the clock to the next due timer, and
// aborts the process when nothing could ever arrive (a test that would hang).
typedef void(CALLBACK* TwIdleProc)(void* context);
void WINAPI TwSetIdleHook(TwIdleProc proc, void* context);
// When the earliest live timer falls due (clock milliseconds); FALSE when there is no timer.
BOOL WINAPI TwNextTimerDue(ULONGLONG* due);

// -- input, in screen coordinates; the queue hit-tests (or uses the capture) when it delivers --
#define TW_BUTTON_LEFT 1
#define TW_BUTTON_RIGHT 2
#define TW_BUTTON_MIDDLE 3
#define TW_BUTTON_X1 4
#define TW_BUTTON_X2 5
void WINAPI TwInputMouseMove(int x, int y);
void WINAPI TwInputMouseButton(int x, int y, int button, BOOL down);
// Wheel steps in WHEEL_DELTA units; horizontal when `horizontal` is TRUE.
void WINAPI TwInputMouseWheel(int x, int y, int delta, BOOL horizontal);
// The pointer left every window of the program (Qt leave event).
void WINAPI TwInputMouseLeft(void);
// A key press or release by virtual-key code. `text` (may be null) is what the key types, used by
// TranslateMessage instead of the built-in US layout; `autoRepeat` marks a held key's repeats.
void WINAPI TwInputKey(UINT vk, BOOL down, BOOL extended, LPCWSTR text, BOOL autoRepeat);
// Files dropped on the screen point: a null-separated list of UTF-16 paths ending with an empty one.
BOOL WINAPI TwInputDropFiles(int x, int y, LPCWSTR fileList);
// The desktop activated one of the program's windows, or every window of the program lost activation.
void WINAPI TwInputActivate(HWND hwnd);
void WINAPI TwInputDeactivateApp(void);
// Modifier keys as the presentation sees them (resynchronises the key state after focus returns).
void WINAPI TwSyncModifiers(BOOL shift, BOOL control, BOOL alt);

// -- what the desktop did to a top-level window, heard through the window's own paths --
// Moved or sized by the desktop (screen rectangle of the window): WM_WINDOWPOSCHANGING/CHANGED, WM_MOVE
// and WM_SIZE as SetWindowPos sends them, with the size held to the window's WM_GETMINMAXINFO limits
// (the presentation is told the size the window kept). Nothing happens when the rectangle is the model's.
void WINAPI TwDesktopPlaced(HWND hwnd, int x, int y, int cx, int cy);
// Minimised (SW_MINIMIZE), maximised (SW_MAXIMIZE) or restored (SW_RESTORE) by the desktop, as
// ShowWindow does it; the screen is not told again.
void WINAPI TwDesktopShowState(HWND hwnd, int cmd);
// The tracking limits the window asks for (WM_GETMINMAXINFO), for the desktop's own sizing; FALSE for
// a window the desktop does not size.
BOOL WINAPI TwGetTrackLimits(HWND hwnd, SIZE* minTrack, SIZE* maxTrack);
// A top-level window that paints its own caption and frame (a styled dialog): the desktop shows it
// without decorations and it gets the Windows non-client layout, hit codes, caption-button, move and
// size loops. FALSE gives it back to the desktop. Call SetWindowPos with SWP_FRAMECHANGED afterwards.
BOOL WINAPI TwSetOwnFrame(HWND hwnd, BOOL ownFrame);
BOOL WINAPI TwHasOwnFrame(HWND hwnd);
// AdjustWindowRectEx for a window that exists: grows the client rectangle r by the window's present
// non-client area, whoever computes it (a styled dialog's frame is its hook's, a decorated window has
// none of its own).
BOOL WINAPI TwAdjustWindowRectFor(HWND hwnd, LPRECT r);
// Where Windows places a caption button (HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP, or HTSYSMENU for the
// system-menu icon) inside a caption rectangle: SM_CXSIZE by SM_CYSIZE less the margins, close at the
// right, maximise and minimise left of it, help in maximise's place. FALSE for another code.
BOOL WINAPI TwCaptionButtonRect(const RECT* caption, int hitCode, RECT* button);

// -- pixels: a window's backing image (the top-level window it belongs to) --
// The top-level image and where the window's top-left corner lies in it. FALSE without an image.
BOOL WINAPI TwGetWindowSurface(HWND hwnd, TwSurface* surface, POINT* windowOrigin);
// Makes every pending WM_PAINT happen now (sent in the queue's order) and presents the result.
void WINAPI TwFlushPainting(void);

// -- monitors: a provider lists them (the presentation gives its screens; tests give their own) --
typedef struct TwMonitorDesc {
    RECT rcMonitor;
    RECT rcWork;
    BOOL primary;
} TwMonitorDesc;
// Fills at most `max` monitors and returns how many there are; the first primary one is the primary.
typedef int(CALLBACK* TwMonitorsProc)(TwMonitorDesc* monitors, int max);
// Null puts back the default: one monitor of SM_CXSCREEN x SM_CYSCREEN with SPI_GETWORKAREA.
void WINAPI TwSetMonitorProvider(TwMonitorsProc proc);

// -- ending the session and accessibility events --
#define EWX_LOGOFF 0x00000000
#define EWX_SHUTDOWN 0x00000001
#define EWX_REBOOT 0x00000002
#define EWX_FORCE 0x00000004
#define EWX_POWEROFF 0x00000008
#define EWX_FORCEIFHUNG 0x00000010
#define EVENT_SYSTEM_MENUSTART 0x0004
#define EVENT_SYSTEM_MENUEND 0x0005
#define EVENT_SYSTEM_MENUPOPUPSTART 0x0006
#define EVENT_SYSTEM_MENUPOPUPEND 0x0007
#define EVENT_OBJECT_FOCUS 0x8005
#define OBJID_CLIENT ((LONG)0xFFFFFFFC)
#define OBJID_MENU ((LONG)0xFFFFFFFD)
#define CHILDID_SELF 0
// Asks the login manager to power off, reboot or end the session. It may ask the user for
// authorisation and never forces: EWX_FORCE and EWX_FORCEIFHUNG are ignored.
TW_PATCHABLE BOOL WINAPI ExitWindowsEx(UINT uFlags, DWORD dwReason);
// Delivered at once to the program's own SetWinEventHook hooks whose range holds the event (no other
// accessibility clients listen).
TW_PATCHABLE void WINAPI NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild);
typedef HANDLE HWINEVENTHOOK;
typedef void(CALLBACK* WINEVENTPROC)(HWINEVENTHOOK hWinEventHook, DWORD event, HWND hwnd, LONG idObject,
                                     LONG idChild, DWORD idEventThread, DWORD dwmsEventTime);
#define WINEVENT_OUTOFCONTEXT 0x0000
#define WINEVENT_INCONTEXT 0x0004
HWINEVENTHOOK WINAPI SetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE hmodWinEventProc,
                                     WINEVENTPROC pfnWinEventProc, DWORD idProcess, DWORD idThread, DWORD dwFlags);
BOOL WINAPI UnhookWinEvent(HWINEVENTHOOK hWinEventHook);
// What ExitWindowsEx does instead of calling the login manager (tests); null puts the call back.
typedef BOOL(CALLBACK* TwExitWindowsProc)(UINT uFlags);
TwExitWindowsProc WINAPI TwSetExitWindowsHandler(TwExitWindowsProc proc);

// -- message boxes go through one replaceable handler (tests script the answers) --
typedef int(CALLBACK* TwMessageBoxProc)(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);
TwMessageBoxProc WINAPI TwSetMessageBoxHandler(TwMessageBoxProc proc);

// -- calls that have no effect here, recorded for tests: MessageBeep (arg: the type),
// LockSetForegroundWindow (arg: the code), PlaySoundW (text: the sound, arg: the flags) --
typedef void(CALLBACK* TwCallRecorder)(LPCWSTR name, LPCWSTR text, ULONG_PTR arg);
// Null stops recording; returns the recorder that was set.
TwCallRecorder WINAPI TwSetCallRecorder(TwCallRecorder proc);
void WINAPI TwRecordCall(LPCWSTR name, LPCWSTR text, ULONG_PTR arg);

// -- input methods: Linux input methods never hand a key over as VK_PROCESSKEY, so the key an input
// method held back is whatever a test sets (0 by default) --
UINT WINAPI ImmGetVirtualKey(HWND hWnd);
void WINAPI TwSetImmVirtualKey(UINT vk);

// -- forgetting state between tests: destroys every window, timer, hook and class of the program --
void WINAPI TwResetWindowing(void);
// The handle the next CreateWindowExW will give (handles are never reused): tests plant state under it.
HWND WINAPI TwPeekNextWindowHandle(void);

} // extern "C"
