// win/uxtheme/uxtheme.h: the visual-styles (theme) part of the Win32 stand-in.
// Theming is off by default, so every painter's classic path runs; TwSetThemeActive switches it on.
#pragma once

#include "win/gdi32/wingdi.h"
#include "win/windef.h"

extern "C" {

#define DTBG_CLIPRECT 0x00000001
#define DTBG_DRAWSOLID 0x00000002
#define DTBG_OMITBORDER 0x00000004
#define DTBG_OMITCONTENT 0x00000008
#define DTBG_COMPUTINGREGION 0x00000010
#define DTBG_MIRRORDC 0x00000020
#define DTBG_NOMIRROR 0x00000040

#define DTT_TEXTCOLOR (1UL << 0)
#define DTT_BORDERCOLOR (1UL << 1)
#define DTT_SHADOWCOLOR (1UL << 2)
#define DTT_SHADOWTYPE (1UL << 3)
#define DTT_SHADOWOFFSET (1UL << 4)
#define DTT_BORDERSIZE (1UL << 5)
#define DTT_FONTPROP (1UL << 6)
#define DTT_COLORPROP (1UL << 7)
#define DTT_STATEID (1UL << 8)
#define DTT_CALCRECT (1UL << 9)
#define DTT_APPLYOVERLAY (1UL << 10)
#define DTT_GLOWSIZE (1UL << 11)
#define DTT_CALLBACK (1UL << 12)
#define DTT_COMPOSITED (1UL << 13)

#define OTD_FORCE_RECT_SIZING 0x00000001
#define OTD_NONCLIENT 0x00000002

#define STAP_ALLOW_NONCLIENT (1UL << 0)
#define STAP_ALLOW_CONTROLS (1UL << 1)
#define STAP_ALLOW_WEBCONTENT (1UL << 2)

// Property ids
#define TMT_BORDERSIZE 2403
#define TMT_BORDERCOLOR 3801
#define TMT_FILLCOLOR 3802
#define TMT_TEXTCOLOR 3803
#define TMT_EDGELIGHTCOLOR 3804
#define TMT_EDGEHIGHLIGHTCOLOR 3805
#define TMT_EDGESHADOWCOLOR 3806
#define TMT_EDGEDKSHADOWCOLOR 3807
#define TMT_EDGEFILLCOLOR 3808
#define TMT_GLOWCOLOR 3816
#define TMT_FILLCOLORHINT 3821
#define TMT_BORDERCOLORHINT 3822
#define TMT_GRADIENTCOLOR1 3810
#define TMT_GRADIENTCOLOR2 3811
#define TMT_SIZINGBORDERWIDTH 1201
#define TMT_SCROLLBARWIDTH 1202
#define TMT_SCROLLBARHEIGHT 1203
#define TMT_CAPTIONBARWIDTH 1204
#define TMT_CAPTIONBARHEIGHT 1205

typedef enum THEMESIZE { TS_MIN, TS_TRUE, TS_DRAW } THEMESIZE;

typedef struct _DTBGOPTS {
    DWORD dwSize;
    DWORD dwFlags;
    RECT rcClip;
} DTBGOPTS, *PDTBGOPTS;

typedef int(CALLBACK* DTT_CALLBACK_PROC)(HDC hdc, LPWSTR pszText, int cchText, LPRECT prc, UINT dwFlags,
                                         LPARAM lParam);

typedef struct _DTTOPTS {
    DWORD dwSize;
    DWORD dwFlags;
    COLORREF crText;
    COLORREF crBorder;
    COLORREF crShadow;
    int iTextShadowType;
    POINT ptShadowOffset;
    int iBorderSize;
    int iFontPropId;
    int iColorPropId;
    int iStateId;
    BOOL fApplyOverlay;
    int iGlowSize;
    DTT_CALLBACK_PROC pfnDrawTextCallback;
    LPARAM lParam;
} DTTOPTS, *PDTTOPTS;

#define E_PROP_ID_UNSUPPORTED ((HRESULT)0x80070490L)
#define TMT_SIZINGMARGINS 3601
#define TMT_CONTENTMARGINS 3602
#define TMT_CAPTIONMARGINS 3603
#define ETDT_DISABLE 0x00000001
#define ETDT_ENABLE 0x00000002
#define HTTB_BACKGROUND 0x0000
#define MAX_INTLIST_COUNT 402

typedef struct INTLIST {
    int iValueCount;
    int iValues[MAX_INTLIST_COUNT];
} INTLIST, *PINTLIST;

typedef struct _MARGINS {
    int cxLeftWidth;
    int cxRightWidth;
    int cyTopHeight;
    int cyBottomHeight;
} MARGINS, *PMARGINS;

TW_PATCHABLE HTHEME WINAPI OpenThemeData(HWND hwnd, LPCWSTR pszClassList);
TW_PATCHABLE HTHEME WINAPI OpenThemeDataEx(HWND hwnd, LPCWSTR pszClassList, DWORD dwFlags);
TW_PATCHABLE HTHEME WINAPI OpenThemeDataForDpi(HWND hwnd, LPCWSTR pszClassList, UINT dpi);
TW_PATCHABLE HRESULT WINAPI CloseThemeData(HTHEME hTheme);
TW_PATCHABLE HRESULT WINAPI DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                                LPCRECT pRect, LPCRECT pClipRect);
TW_PATCHABLE HRESULT WINAPI DrawThemeBackgroundEx(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                                  LPCRECT pRect, const DTBGOPTS* pOptions);
TW_PATCHABLE HRESULT WINAPI DrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                          LPCRECT pDestRect, UINT uEdge, UINT uFlags, LPRECT pContentRect);
TW_PATCHABLE HRESULT WINAPI DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText,
                                          int cchText, DWORD dwTextFlags, DWORD dwTextFlags2, LPCRECT pRect);
TW_PATCHABLE HRESULT WINAPI DrawThemeTextEx(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                            LPCWSTR pszText, int cchText, DWORD dwTextFlags, LPRECT pRect,
                                            const DTTOPTS* pOptions);
TW_PATCHABLE HRESULT WINAPI DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* prc);
TW_PATCHABLE HRESULT WINAPI GetThemeColor(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                                          COLORREF* pColor);
TW_PATCHABLE COLORREF WINAPI GetThemeSysColor(HTHEME hTheme, int iColorId);
TW_PATCHABLE HBRUSH WINAPI GetThemeSysColorBrush(HTHEME hTheme, int iColorId);
TW_PATCHABLE int WINAPI GetThemeSysSize(HTHEME hTheme, int iSizeId);
TW_PATCHABLE HRESULT WINAPI GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT prc,
                                             THEMESIZE eSize, SIZE* psz);
TW_PATCHABLE HRESULT WINAPI GetThemeBackgroundContentRect(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                                          LPCRECT pBoundingRect, LPRECT pContentRect);
TW_PATCHABLE HRESULT WINAPI GetThemeBackgroundRegion(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                                     LPCRECT pRect, HRGN* pRegion);
TW_PATCHABLE HRESULT WINAPI GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars,
                                                LPWSTR pszColorBuff, int cchMaxColorChars, LPWSTR pszSizeBuff,
                                                int cchMaxSizeChars);
TW_PATCHABLE BOOL WINAPI IsThemePartDefined(HTHEME hTheme, int iPartId, int iStateId);
TW_PATCHABLE BOOL WINAPI IsThemeBackgroundPartiallyTransparent(HTHEME hTheme, int iPartId, int iStateId);
TW_PATCHABLE BOOL WINAPI IsThemeActive(void);
TW_PATCHABLE BOOL WINAPI IsAppThemed(void);
TW_PATCHABLE HRESULT WINAPI SetWindowTheme(HWND hwnd, LPCWSTR pszSubAppName, LPCWSTR pszSubIdList);
TW_PATCHABLE DWORD WINAPI GetThemeAppProperties(void);
TW_PATCHABLE void WINAPI SetThemeAppProperties(DWORD dwFlags);
TW_PATCHABLE HRESULT WINAPI EnableTheming(BOOL fEnable);
TW_PATCHABLE HTHEME WINAPI GetWindowTheme(HWND hwnd);
TW_PATCHABLE HRESULT WINAPI EnableThemeDialogTexture(HWND hwnd, DWORD dwFlags);
TW_PATCHABLE BOOL WINAPI IsThemeDialogTextureEnabled(HWND hwnd);
TW_PATCHABLE HRESULT WINAPI GetThemeBackgroundExtent(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                                     LPCRECT pContentRect, LPRECT pExtentRect);
TW_PATCHABLE HRESULT WINAPI GetThemeTextExtent(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText,
                                               int cchCharCount, DWORD dwTextFlags, LPCRECT pBoundingRect,
                                               LPRECT pExtentRect);
TW_PATCHABLE HRESULT WINAPI GetThemeTextMetrics(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                                TEXTMETRICW* ptm);
TW_PATCHABLE HRESULT WINAPI HitTestThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                                   DWORD dwOptions, LPCRECT pRect, HRGN hrgn, POINT ptTest,
                                                   WORD* pwHitTestCode);
TW_PATCHABLE HRESULT WINAPI DrawThemeIcon(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pRect,
                                          HIMAGELIST himl, int iImageIndex);
// Property reads: the stand-in's looks carry colours and margins only; any other property answers
// E_PROP_ID_UNSUPPORTED and leaves the caller's value alone.
TW_PATCHABLE HRESULT WINAPI GetThemeMetric(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId,
                                           int* piVal);
TW_PATCHABLE HRESULT WINAPI GetThemeString(HTHEME hTheme, int iPartId, int iStateId, int iPropId, LPWSTR pszBuff,
                                           int cchMaxBuffChars);
TW_PATCHABLE HRESULT WINAPI GetThemeBool(HTHEME hTheme, int iPartId, int iStateId, int iPropId, BOOL* pfVal);
TW_PATCHABLE HRESULT WINAPI GetThemeInt(HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal);
TW_PATCHABLE HRESULT WINAPI GetThemeEnumValue(HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal);
TW_PATCHABLE HRESULT WINAPI GetThemePosition(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                                             POINT* pPoint);
TW_PATCHABLE HRESULT WINAPI GetThemeFont(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId,
                                         LOGFONTW* pFont);
TW_PATCHABLE HRESULT WINAPI GetThemeRect(HTHEME hTheme, int iPartId, int iStateId, int iPropId, LPRECT pRect);
TW_PATCHABLE HRESULT WINAPI GetThemeMargins(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId,
                                            LPCRECT prc, MARGINS* pMargins);
TW_PATCHABLE HRESULT WINAPI GetThemeIntList(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                                            INTLIST* pIntList);
TW_PATCHABLE HRESULT WINAPI GetThemeFilename(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                                             LPWSTR pszThemeFileName, int cchMaxBuffChars);
TW_PATCHABLE BOOL WINAPI GetThemeSysBool(HTHEME hTheme, int iBoolId);
TW_PATCHABLE HRESULT WINAPI GetThemeSysFont(HTHEME hTheme, int iFontId, LOGFONTW* plf);
TW_PATCHABLE HRESULT WINAPI GetThemeSysString(HTHEME hTheme, int iStringId, LPWSTR pszStringBuff,
                                              int cchMaxStringChars);
TW_PATCHABLE HRESULT WINAPI GetThemeSysInt(HTHEME hTheme, int iIntId, int* piValue);
TW_PATCHABLE HRESULT WINAPI GetThemeDocumentationProperty(LPCWSTR pszThemeName, LPCWSTR pszPropertyName,
                                                          LPWSTR pszValueBuff, int cchMaxValChars);

// ---- stand-in extension (not Win32) ----
// Switch visual styles on or off for the whole process (off at start).
void WINAPI TwSetThemeActive(BOOL active);
// The standard controls ask this painter for their parts, whether visual styles are on or off, until
// it is set back to null (a style of the class library that draws the controls itself).
void WINAPI TwSetStylePartPainter(BOOL(CALLBACK* painter)(HWND hwnd, HDC hdc, LPCWSTR themeClass, int part,
                                                           int state, const RECT* rect));

} // extern "C"
