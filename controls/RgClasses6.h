// controls/RgClasses6.h: the second control family's colour schemes, text and background drawing,
// DPI factor and locale accessor.
#pragma once
#include "controls/RgTypes6.h"
#include "rtl/Classes.h"
#include "vcl/StdCtrls.h"

#include <cstdint>

namespace controls {

enum TRgEditOption { edPaste, edTyping };
using TRgEditOptions = rtl::TSet<TRgEditOption>;

// Entry Index (0..18) of scheme 1..5; Scheme 0 is the current scheme (2, which nothing changes).
vcl::TColor GetSchemeColor6(int Index, int Scheme = 0);

// Single-line text with the wide-character text call. EllipsisMode: 0 none, 1 end, 2 path, 3 word.
void DrawText6(vcl::TCanvas* Canvas, vcl::TRect R, vcl::TAlignment HorzAlign, TVerticalAlignment VertAlign,
               const rtl::String& Text, int EllipsisMode = 0, bool ProcessPrefix = false);
vcl::TSize GetTextSize6(vcl::TCanvas* Canvas, const rtl::String& Text, bool NoPrefix = true);
void PaintParentBackground6(vcl::TControl* Control, vcl::TCanvas* Canvas);
// Clips the canvas to R, given in logical coordinates.
void ClipCanvasToRect6(vcl::TCanvas* Canvas, const vcl::TRect& R);

// Sizes scale by the screen's pixels per inch div 72: 1 at 96 and 120, 2 at 144 and 192.
int ScaleValue6(int V);
vcl::TPoint ScalePoint6(const vcl::TPoint& P);

// The run-time locale's separators and time format.
class TRgFormatSettings {
public:
    static rtl::Char DateSeparator();
    static rtl::Char DecimalSeparator();
    static rtl::Char ListSeparator();
    static rtl::String LongTimeFormat();
    static rtl::Char TimeSeparator();
};

class TRgStringList : public rtl::TStringList {};

} // namespace controls
