// win/comctl32/commctrl.h: the common-controls part of the Win32 stand-in. For now the image lists.
#pragma once

#include "win/gdi32/wingdi.h"
#include "win/windef.h"

extern "C" {

// Tooltips: no such window class here; tests stand in with a double that answers these.
#define TOOLTIPS_CLASSW u"tooltips_class32"
#define TTS_ALWAYSTIP 0x01
#define TTS_NOPREFIX 0x02
#define TTS_BALLOON 0x40
#define TTM_ADJUSTRECT (0x0400 + 31)

#define CLR_NONE 0xFFFFFFFFL
#define CLR_DEFAULT 0xFF000000L

#define ILC_MASK 0x00000001
#define ILC_COLOR 0x00000000
#define ILC_COLORDDB 0x000000FE
#define ILC_COLOR4 0x00000004
#define ILC_COLOR8 0x00000008
#define ILC_COLOR16 0x00000010
#define ILC_COLOR24 0x00000018
#define ILC_COLOR32 0x00000020
#define ILC_PALETTE 0x00000800
#define ILC_MIRROR 0x00002000
#define ILC_PERITEMMIRROR 0x00008000

#define ILD_NORMAL 0x00000000
#define ILD_TRANSPARENT 0x00000001
#define ILD_MASK 0x00000010
#define ILD_IMAGE 0x00000020
#define ILD_ROP 0x00000040
#define ILD_BLEND25 0x00000002
#define ILD_BLEND50 0x00000004
#define ILD_OVERLAYMASK 0x00000F00
#define INDEXTOOVERLAYMASK(i) ((i) << 8)
#define ILD_PRESERVEALPHA 0x00001000
#define ILD_SCALE 0x00002000
#define ILD_DPISCALE 0x00004000
#define ILD_ASYNC 0x00008000
#define ILD_SELECTED ILD_BLEND50
#define ILD_FOCUS ILD_BLEND25
#define ILD_BLEND ILD_BLEND50
#define CLR_HILIGHT CLR_DEFAULT

typedef struct _IMAGEINFO {
    HBITMAP hbmImage;
    HBITMAP hbmMask;
    int Unused1;
    int Unused2;
    RECT rcImage;
} IMAGEINFO, *LPIMAGEINFO;

HIMAGELIST WINAPI ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow);
BOOL WINAPI ImageList_Destroy(HIMAGELIST himl);
int WINAPI ImageList_GetImageCount(HIMAGELIST himl);
BOOL WINAPI ImageList_SetImageCount(HIMAGELIST himl, UINT uNewCount);
int WINAPI ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask);
int WINAPI ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask);
int WINAPI ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON hicon);
BOOL WINAPI ImageList_Replace(HIMAGELIST himl, int i, HBITMAP hbmImage, HBITMAP hbmMask);
BOOL WINAPI ImageList_Remove(HIMAGELIST himl, int i);
COLORREF WINAPI ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk);
COLORREF WINAPI ImageList_GetBkColor(HIMAGELIST himl);
BOOL WINAPI ImageList_SetOverlayImage(HIMAGELIST himl, int iImage, int iOverlay);
BOOL WINAPI ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle);
BOOL WINAPI ImageList_DrawEx(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, int dx, int dy, COLORREF rgbBk,
                             COLORREF rgbFg, UINT fStyle);
HICON WINAPI ImageList_GetIcon(HIMAGELIST himl, int i, UINT flags);
BOOL WINAPI ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
BOOL WINAPI ImageList_SetIconSize(HIMAGELIST himl, int cx, int cy);
BOOL WINAPI ImageList_GetImageInfo(HIMAGELIST himl, int i, IMAGEINFO* pImageInfo);
HIMAGELIST WINAPI ImageList_Duplicate(HIMAGELIST himl);

#define ImageList_AddIcon(himl, hicon) ImageList_ReplaceIcon(himl, -1, hicon)
#define ImageList_RemoveAll(himl) ImageList_Remove(himl, -1)

} // extern "C"

// The messages, flags and structures of the common controls that style hooks read: list views and
// their headers, trees, tabs, rebars, status bars, track bars and toolbars. The stand-in has none of
// these windows; foreign windows of these classes (and test doubles) answer them. Sizes are those of
// the 64-bit system headers.
extern "C" {

// Common to all.
#define WC_HEADERW u"SysHeader32"
#define WC_LISTVIEWW u"SysListView32"
#define WC_TREEVIEWW u"SysTreeView32"
#define WC_TABCONTROLW u"SysTabControl32"
#define REBARCLASSNAMEW u"ReBarWindow32"
#define STATUSCLASSNAMEW u"msctls_statusbar32"
#define TRACKBAR_CLASSW u"msctls_trackbar32"
#define TOOLBARCLASSNAMEW u"ToolbarWindow32"

// List views.
#define LVM_FIRST 0x1000
#define LVM_SETBKCOLOR (LVM_FIRST + 1)
#define LVM_GETITEMRECT (LVM_FIRST + 14)
#define LVM_SCROLL (LVM_FIRST + 20)
#define LVM_GETHEADER (LVM_FIRST + 31)
#define LVM_SETTEXTCOLOR (LVM_FIRST + 36)
#define LVM_SETTEXTBKCOLOR (LVM_FIRST + 38)
#define LVM_UPDATE (LVM_FIRST + 42)
#define LVM_SETSELECTEDCOLUMN (LVM_FIRST + 140)
#define LVM_SETVIEW (LVM_FIRST + 142)
#define LVM_GETVIEW (LVM_FIRST + 143)
#define LVIR_BOUNDS 0
#define LV_VIEW_ICON 0
#define LV_VIEW_DETAILS 1
#define LV_VIEW_SMALLICON 2
#define LV_VIEW_LIST 3
#define LV_VIEW_TILE 4
#define LVS_ICON 0x0000
#define LVS_REPORT 0x0001
#define LVS_SMALLICON 0x0002
#define LVS_LIST 0x0003

// Headers.
#define HDM_FIRST 0x1200
#define HDM_GETITEMCOUNT (HDM_FIRST + 0)
#define HDM_HITTEST (HDM_FIRST + 6)
#define HDM_GETITEMRECT (HDM_FIRST + 7)
#define HDM_GETIMAGELIST (HDM_FIRST + 9)
#define HDM_GETITEMW (HDM_FIRST + 11)
#define HDM_GETORDERARRAY (HDM_FIRST + 17)
#define HDM_GETITEMDROPDOWNRECT (HDM_FIRST + 25)
#define HDI_WIDTH 0x0001
#define HDI_TEXT 0x0002
#define HDI_FORMAT 0x0004
#define HDI_LPARAM 0x0008
#define HDI_BITMAP 0x0010
#define HDI_IMAGE 0x0020
#define HDI_ORDER 0x0080
#define HDF_LEFT 0x0000
#define HDF_RIGHT 0x0001
#define HDF_CENTER 0x0002
#define HDF_JUSTIFYMASK 0x0003
#define HDF_RTLREADING 0x0004
#define HDF_BITMAP_ON_RIGHT 0x1000
#define HDF_BITMAP 0x2000
#define HDF_STRING 0x4000
#define HDF_OWNERDRAW 0x8000
#define HDF_IMAGE 0x0800
#define HDF_SPLITBUTTON 0x1000000
#define HHT_NOWHERE 0x0001
#define HHT_ONHEADER 0x0002
#define HHT_ONDIVIDER 0x0004
#define HHT_ONDIVOPEN 0x0008

typedef struct _HD_ITEMW {
    UINT mask;
    int cxy;
    LPWSTR pszText;
    HBITMAP hbm;
    int cchTextMax;
    int fmt;
    LPARAM lParam;
    int iImage;
    int iOrder;
    UINT type;
    void* pvFilter;
    UINT state;
} HDITEMW, *LPHDITEMW;

typedef struct _HD_HITTESTINFO {
    POINT pt;
    UINT flags;
    int iItem;
} HDHITTESTINFO, *LPHDHITTESTINFO;

// Trees.
#define TV_FIRST 0x1100
#define TVM_SETBKCOLOR (TV_FIRST + 29)
#define TVM_SETTEXTCOLOR (TV_FIRST + 30)
#define TVM_GETBKCOLOR (TV_FIRST + 31)
#define TVM_GETTEXTCOLOR (TV_FIRST + 32)

// Tabs.
#define TCM_FIRST 0x1300
#define TCM_GETITEMCOUNT (TCM_FIRST + 4)
#define TCM_GETITEMRECT (TCM_FIRST + 10)
#define TCM_GETCURSEL (TCM_FIRST + 11)
#define TCM_SETCURSEL (TCM_FIRST + 12)
#define TCM_ADJUSTRECT (TCM_FIRST + 40)
#define TCM_GETITEMW (TCM_FIRST + 60)
#define TCM_INSERTITEMW (TCM_FIRST + 62)
#define TCIF_TEXT 0x0001
#define TCIF_IMAGE 0x0002
#define TCS_BOTTOM 0x0002
#define TCS_VERTICAL 0x0080

typedef struct tagTCITEMW {
    UINT mask;
    DWORD dwState;
    DWORD dwStateMask;
    LPWSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
} TCITEMW, *LPTCITEMW;

// Rebars.
#define RB_GETRECT (WM_USER + 9)
#define RB_GETBANDCOUNT (WM_USER + 12)
#define RB_GETBANDINFOW (WM_USER + 28)
#define RB_GETBANDBORDERS (WM_USER + 34)
#define RBBIM_STYLE 0x0001
#define RBBIM_COLORS 0x0002
#define RBBIM_TEXT 0x0004

typedef struct tagREBARBANDINFOW {
    UINT cbSize;
    UINT fMask;
    UINT fStyle;
    COLORREF clrFore;
    COLORREF clrBack;
    LPWSTR lpText;
    UINT cch;
    int iImage;
    HWND hwndChild;
    UINT cxMinChild;
    UINT cyMinChild;
    UINT cx;
    HBITMAP hbmBack;
    UINT wID;
    UINT cyChild;
    UINT cyMaxChild;
    UINT cyIntegral;
    UINT cxIdeal;
    LPARAM lParam;
    UINT cxHeader;
    RECT rcChevronLocation;  // from version 6.1
    UINT uChevronState;
} REBARBANDINFOW, *LPREBARBANDINFOW;
// The structure as versions before 6.1 know it: up to cxHeader.
#define REBARBANDINFOW_V6_SIZE (offsetof(REBARBANDINFOW, cxHeader) + sizeof(UINT))

// Status bars.
#define SB_GETPARTS (WM_USER + 6)
#define SB_GETBORDERS (WM_USER + 7)
#define SB_GETRECT (WM_USER + 10)
#define SB_GETTEXTW (WM_USER + 13)
#define SB_GETTEXTLENGTHW (WM_USER + 12)
#define SB_ISSIMPLE (WM_USER + 14)
#define SB_SETTEXTW (WM_USER + 11)
#define SB_SETPARTS (WM_USER + 4)
#define SB_SIMPLE (WM_USER + 9)
#define SBT_OWNERDRAW 0x1000
#define SBT_NOBORDERS 0x0100
#define SBT_POPOUT 0x0200
#define SBARS_SIZEGRIP 0x0100

// Track bars.
#define TBM_GETNUMTICS (WM_USER + 16)
#define TBM_GETTHUMBRECT (WM_USER + 25)
#define TBM_GETCHANNELRECT (WM_USER + 26)
#define TBS_AUTOTICKS 0x0001
#define TBS_VERT 0x0002
#define TBS_HORZ 0x0000
#define TBS_TOP 0x0004
#define TBS_BOTTOM 0x0000
#define TBS_LEFT 0x0004
#define TBS_RIGHT 0x0000
#define TBS_BOTH 0x0008
#define TBS_NOTICKS 0x0010
#define TBS_NOTHUMB 0x0080

// Toolbars.
#define TB_GETBUTTON (WM_USER + 23)
#define TB_BUTTONCOUNT (WM_USER + 24)
#define TB_GETITEMRECT (WM_USER + 29)
#define TB_GETIMAGELIST (WM_USER + 49)
#define TB_GETDISABLEDIMAGELIST (WM_USER + 55)
#define TB_GETBUTTONINFOW (WM_USER + 63)
#define TB_GETBUTTONTEXTW (WM_USER + 75)
#define TB_GETITEMDROPDOWNRECT (WM_USER + 103)
#define TBSTATE_CHECKED 0x01
#define TBSTATE_PRESSED 0x02
#define TBSTATE_ENABLED 0x04
#define TBSTATE_HIDDEN 0x08
#define BTNS_BUTTON 0x00
#define BTNS_SEP 0x01
#define BTNS_CHECK 0x02
#define BTNS_GROUP 0x04
#define BTNS_CHECKGROUP (BTNS_GROUP | BTNS_CHECK)
#define BTNS_DROPDOWN 0x08
#define BTNS_WHOLEDROPDOWN 0x80
#define TBSTYLE_TOOLTIPS 0x0100
#define TBSTYLE_WRAPABLE 0x0200
#define TBSTYLE_FLAT 0x0800
#define TBSTYLE_LIST 0x1000
#define TBSTYLE_TRANSPARENT 0x8000
#define TBIF_IMAGE 0x00000001
#define TBIF_TEXT 0x00000002
#define TBIF_STATE 0x00000004
#define TBIF_STYLE 0x00000008
#define TBIF_COMMAND 0x00000020
#define TBIF_SIZE 0x00000040
#define TBIF_BYINDEX 0x80000000

typedef struct _TBBUTTON {
    int iBitmap;
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[6];
    DWORD_PTR dwData;
    INT_PTR iString;
} TBBUTTON, *LPTBBUTTON;

typedef struct {
    UINT cbSize;
    DWORD dwMask;
    int idCommand;
    int iImage;
    BYTE fsState;
    BYTE fsStyle;
    WORD cx;
    DWORD_PTR lParam;
    LPWSTR pszText;
    int cchText;
} TBBUTTONINFOW, *LPTBBUTTONINFOW;

} // extern "C"

static_assert(sizeof(HDITEMW) == 72 && sizeof(HDHITTESTINFO) == 16 && sizeof(TCITEMW) == 40);
static_assert(sizeof(REBARBANDINFOW) == 128 && REBARBANDINFOW_V6_SIZE == 108);
static_assert(sizeof(TBBUTTON) == 32 && sizeof(TBBUTTONINFOW) == 48);
