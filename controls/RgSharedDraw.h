// controls/RgSharedDraw.h: what the first-generation panels draw with: the colour schemes, the theme
// queries, the registry of live panels, colour blends, gradients, glass effects, alpha bitmaps,
// aligned text and the parent's background. The report grid has the same routines for itself; the
// panels keep their own copy so that this folder stands on the class library alone.
#pragma once
#include "rtl/Classes.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"
#include "vcl/StdCtrls.h"

#include <cstdint>
#include <vector>

namespace controls {

using vcl::TCanvas;
using vcl::TColor;
using vcl::TPoint;
using vcl::TRect;

enum TColorScheme { csDefault, csBlack, csBlue, csSilver, csBlue2010, csSilver2010, csBlack2010 };
enum TDirection { diLeftToRight, diRightToLeft };
enum TButtonStateItem { btHover, btDown };
using TButtonState = rtl::TSet<TButtonStateItem>;

// Entry Index (0..23) of a scheme's colours; csDefault is the current scheme (csBlue).
TColor GetSchemeColor(uint8_t Index, TColorScheme Scheme);

// Themes are on and the application is themed.
bool IsThemingActive();
// Draws a part of a theme class into Rect (also the clip); nothing when the class does not open.
void DrawThemedPart(HWND Wnd, HDC DC, const TRect& Rect, const rtl::String& ClassName, int PartId, int StateId);

// The list of live panels: each adds itself when made and removes itself when freed.
void RegisterCollectionControl(vcl::TControl* Control);
void UnregisterCollectionControl(vcl::TControl* Control);
const std::vector<vcl::TControl*>& CollectionControls();

// (Alpha * C1 + (255 - Alpha) * C2) shr 8 per channel; Alpha outside 0..255 fails an assertion.
TColor AlphaBlendColor(TColor C1, TColor C2, int Alpha);
// Round(Ratio * C2 + (1 - Ratio) * C1) per channel, halves to even.
TColor BlendColorRatio(TColor C1, TColor C2, double Ratio);

// One pen line per row from FromColor toward ToColor (the last row stops one step short).
void DrawTopBottomGradient(TCanvas* Canvas, const TRect& R, TColor FromColor, TColor ToColor);

struct TGraphicsProvider {
    static void DrawFocused(TCanvas* Canvas, const TRect& R, bool XPStyle);
    static void DrawGradient(TCanvas* Canvas, const TRect& R, TColor FromColor, TColor ToColor) {
        DrawTopBottomGradient(Canvas, R, FromColor, ToColor);
    }
    // Left to right, one pen line per column, in spite of its name.
    static void DrawVertGradient(TCanvas* Canvas, const TRect& R, TColor FromColor, TColor ToColor);
};

struct TDrawProvider {
    // A 32-bit bitmap blended by its alpha (rounded per channel); others drawn plainly.
    static void ApplyBitmap(TCanvas* Canvas, int X, int Y, vcl::TBitmap* Bitmap);
};
// A 32-bit bitmap blended by its alpha (the integer blend); others drawn plainly.
void DrawAlphaBitmap(TCanvas* Canvas, int X, int Y, vcl::TBitmap* Bitmap);

// Single-line text, vertically centred, end ellipsis; the brush is clear for the call.
void DrawTextAligned(TCanvas* Canvas, TRect R, vcl::TAlignment Alignment, const rtl::String& Text, bool NoPrefix);
void DrawTextBiDi(TCanvas* Canvas, TRect R, const rtl::String& Text, vcl::TBiDiMode BiDiMode);

void DrawGlassGradient(TCanvas* Canvas, const TRect& R, TColor FromColor, TColor ToColor, int GlossRows);
void DrawGlassShine(TCanvas* Canvas, const TRect& R);
void DrawGlowGradient(TCanvas* Canvas, const TRect& R, TColor FromColor, TColor ToColor, int GlossRows);

// The parent's erase and paint, drawn into the control's canvas at the control's place.
void PaintParentBackground(vcl::TControl* Control, TCanvas* Canvas);

// The point lies in the rectangle; right and bottom edges count only when Inclusive.
bool PointInRectEx(const TPoint& P, const TRect& R, bool Inclusive);

} // namespace controls
