// controls/RgStyles6.h: the painters of the second control family. Each draws its element through the
// application style, the platform's visual styles, or with plain system colours, in that order of
// preference as the style options allow.
#pragma once
#include "controls/RgTypes6.h"

namespace controls {

enum TRgStyleOption { soNativeStyles, soVCLStyles };
using TRgStyleOptions = rtl::TSet<TRgStyleOption>;

bool IsNativeThemeActive();
bool IsVCLStyleActive6();
bool CanUseStyle6(TRgStyleOptions Options);

struct TRgDropButtonStyledView6 {
    static void Paint(vcl::TCanvas* Canvas, HWND Handle, const vcl::TRect& Dest, TRgButtonState State,
                      TRgStyleOptions Options);
};

struct TRgTrackBarStyle6 {
    static void PaintTrack(vcl::TCanvas* Canvas, HWND Handle, const vcl::TRect& TrackRect, TRgStyleOptions Options);
    static void PaintThumb(vcl::TCanvas* Canvas, HWND Handle, const vcl::TRect& Dest, TRgButtonState State,
                           TRgStyleOptions Options);
};

struct TRgPageControlStyle6 {
    static void PaintBackground(vcl::TCanvas* Canvas, HWND Handle, const vcl::TRect& Dest, TRgStyleOptions Options);
    static void PaintButton(vcl::TCanvas* Canvas, HWND Handle, const vcl::TRect& Dest, TRgButtonState State,
                            TRgStyleOptions Options);
    static void PaintTab(vcl::TCanvas* Canvas, HWND Handle, const vcl::TRect& Dest, TRgButtonState State,
                         TRgStyleOptions Options, TRgTabsLocation TabsLocation);
};

} // namespace controls
