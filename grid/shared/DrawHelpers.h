// grid/shared/DrawHelpers.h: the low-level drawing every part of the grid suite shares, and the styled panels
// too: text measuring and hint routines, theme access and the colour schemes, colour blending,
// gradients, aligned and vertical text, alpha bitmaps, glass effects, clipping and parent backgrounds.
// Nothing here keeps state between calls but the theme function table, the scheme table and the
// panel registry.
#pragma once
#include "grid/shared/Classes.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "win/uxtheme/uxtheme.h"

#include <cstdint>
#include <vector>

namespace grid {

using vcl::TBitmap;
using vcl::TCanvas;
using vcl::TColor;
using vcl::TPoint;
using vcl::TRect;
using vcl::TSize;

// ---- text measuring, hints and small helpers ------------------------------------------------------------

// Shows Text in the hint window at Rect; a nil window does nothing.
void ShowHintText(vcl::THintWindow* HintWindow, const TRect& Rect, const rtl::String& Text);
// The size the hint window needs for Text; empty without a window.
TRect CalcHintTextRect(vcl::THintWindow* HintWindow, int MaxWidth, const rtl::String& Text);
// Lets the window's handle go; the window object stays.
void ReleaseHintWindow(vcl::THintWindow* HintWindow);
void SwapIntegers(int& A, int& B);
TSize GetTextSize(TCanvas* Canvas, const rtl::String& Text);
int GetTextWidthW(TCanvas* Canvas, const rtl::String& Text);
int GetTextHeightW(TCanvas* Canvas, const rtl::String& Text);
// The width of the widest line of a text that may hold line breaks.
int GetMultiLineTextWidth(TCanvas* Canvas, const rtl::String& Text);
bool IsParentFormActive(vcl::TControl* Control);
// Raises Value to Min, then lowers it to Max (Max wins when Min > Max).
void ClampValue(int& Value, int Min, int Max);
// (-1, y) and (x, -1) mark no point.
bool IsNoPoint(const TPoint& P);

// ---- theme access, colour schemes, panel registry ---------------------------------------------------------

enum TColorScheme { csDefault, csBlack, csBlue, csSilver, csBlue2010, csSilver2010, csBlack2010 };

// The theme library and the entry points bound from it by name; an entry the library lacks stays nil.
struct TThemeLibrary {
    HMODULE Module = nullptr;
    HRESULT (*CloseThemeData)(HTHEME) = nullptr;
    HRESULT (*DrawThemeBackground)(HTHEME, HDC, int, int, LPCRECT, LPCRECT) = nullptr;
    HRESULT (*DrawThemeEdge)(HTHEME, HDC, int, int, LPCRECT, UINT, UINT, LPRECT) = nullptr;
    int (*GetThemeSysSize)(HTHEME, int) = nullptr;
    BOOL (*IsThemeActive)() = nullptr;
    BOOL (*IsAppThemed)() = nullptr;
    HTHEME (*OpenThemeData)(HWND, LPCWSTR) = nullptr;
};

// The table, loaded from "uxtheme.dll" the first time it is asked for (the suite's start-up).
TThemeLibrary& ThemeLibrary();
// Loads the library and binds the entry points unless a library is loaded already.
void LoadThemeLibrary(const char16_t* LibraryName = u"uxtheme.dll");
// Both the application and the desktop themed; false without the library or an entry point.
bool IsThemingActive();
// The class library's active style is enabled (native themes in use, or a custom style).
bool IsActiveStyleEnabled();
// Draws one theme part (nothing without the theme library or when the class opens no theme).
void DrawThemedPart(HWND Wnd, HDC DC, const TRect& Rect, const rtl::String& ClassName, int PartId, int StateId);
// Entry Index (0..23) of a scheme; csDefault reads the current global scheme, csBlue.
TColor GetSchemeColor(uint8_t Index, TColorScheme Scheme = csDefault);

void RegisterCollectionControl(vcl::TControl* Panel);
void UnregisterCollectionControl(vcl::TControl* Panel);
const std::vector<vcl::TControl*>& CollectionControls();

// ---- shared drawing: the stateless provider classes -------------------------------------------------------

class TCalcProvider {
public:
    // The closed rectangles overlap or touch.
    static bool IsRectInRect(const TRect& GuestRect, const TRect& HostRect);
    // Where an item of Width by Height goes in ARect; Margin does not apply to centring.
    static TPoint PosInRect(int Width, int Height, int Margin, const TRect& ARect, TAlignment Alignment,
                            TVerticalAlignment VerticalAlignment);
    static TRect ResizeRect(const TRect& ARect, int DeltaLeft, int DeltaTop, int DeltaRight, int DeltaBottom);
};

class TGraphicsProvider {
public:
    // Amount 0..255 weighs Color1 (raises EAssertionFailed otherwise).
    static TColor BlendColor(TColor Color1, TColor Color2, int Amount);
    // Ratio 0 gives Color1, 1 gives Color2.
    static TColor BlendColor(TColor Color1, TColor Color2, double Ratio);
    static void DrawButton(TCanvas* Canvas, const TRect& ARect, bool OldStyle);
    static void DrawFocused(TCanvas* Canvas, const TRect& R, bool XPStyle);
    // Top to bottom.
    static void DrawGradient(TCanvas* Canvas, const TRect& ARect, TColor FromColor, TColor ToColor);
    // Left to right, one vertical line per column.
    static void DrawVertGradient(TCanvas* Canvas, const TRect& ARect, TColor FromColor, TColor ToColor);
    static void DrawTextRect(TCanvas* Canvas, const TRect& ARect, TAlignment Alignment,
                             const rtl::String& Text, TBiDiMode BiDiMode);
};

class TMaskProvider {
public:
    static TColor MixColors(TColor C1, TColor C2, int W1);
};

class TDrawProvider {
public:
    // A 32-bit bitmap is composed over the canvas with its alpha; others are drawn as they are; a nil
    // or empty bitmap draws nothing.
    static void ApplyBitmap(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap);
};

// ---- plain routines ---------------------------------------------------------------------------------------

// The mouse's drag threshold: P lies outside Origin +- Tolerance (both ends inside).
bool IsOutsideTolerance(const TPoint& P, const TPoint& Origin, int Tolerance);
// Text rotated to read upward; with MultiLine each line stands right of the one before.
void DrawVerticalText(TCanvas* Canvas, TRect ARect, const rtl::String& Text, bool MultiLine);
void DrawTextInRect(TCanvas* Canvas, const TRect& ARect, TAlignment Alignment, const rtl::String& Text,
                    bool RightToLeft);
// ARect in logical coordinates becomes the clip region.
void SetClipRect(TCanvas* Canvas, const TRect& ARect);
// A 32-bit bitmap blended over the canvas with the integer blend; others drawn as they are; a nil or
// empty bitmap draws nothing.
void DrawAlphaBitmap(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap);

TColor AlphaBlendColor(TColor Color1, TColor Color2, int Alpha);
TColor BlendColorRatio(TColor Color1, TColor Color2, double Ratio);
void DrawTopBottomGradient(TCanvas* Canvas, const TRect& ARect, TColor FromColor, TColor ToColor);
void DrawTextAligned(TCanvas* Canvas, const TRect& ARect, TAlignment Alignment, const rtl::String& Text,
                     bool NoPrefix);
void DrawTextBiDi(TCanvas* Canvas, const TRect& ARect, const rtl::String& Text, TBiDiMode BiDiMode);
void DrawGlassGradient(TCanvas* Canvas, const TRect& ARect, TColor FromColor, TColor ToColor, int GlossRows);
// Whitens the upper half of ARect, most at the top, at most 22 rows.
void DrawGlassShine(TCanvas* Canvas, const TRect& ARect);
void DrawGlowGradient(TCanvas* Canvas, const TRect& ARect, TColor FromColor, TColor ToColor, int GlossRows);
// ARect in device coordinates becomes the clip region.
void SelectClipRect(TCanvas* Canvas, const TRect& ARect);
// Lets the control's parent paint itself behind the control onto Canvas.
void PaintParentBackground(vcl::TControl* Control, TCanvas* Canvas);

// The DT_ flags of the single-line text routines.
UINT TextRectFlags(TAlignment Alignment, bool RightToLeft);
UINT TextAlignedFlags(TAlignment Alignment, bool NoPrefix);
UINT TextBiDiFlags(TBiDiMode BiDiMode);
constexpr UINT VerticalTextFlags = DT_BOTTOM | DT_SINGLELINE | DT_EXTERNALLEADING | DT_NOPREFIX;

} // namespace grid
