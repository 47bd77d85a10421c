// controls/RgStyles6.h: the painters of the second control family. Each draws its element through the
// application style, the platform's visual styles, or with plain system colours, in that order of
// preference as the style options allow.
#pragma once
#include "controls/RgTypes6.h"

namespace controls {

enum TRgStyleOption { soNativeStyles, soVCLStyles };
using TRgStyleOptions = rtl::TSet<TRgStyleOption>;

// The suite's view of the theme library: its module and seven entry points, taken from the one
// binding the grid and the panels share (the library is loaded once per process, there). Nothing
// draws through them (the painters call the theme functions directly); a missing library leaves them
// empty.
struct TRgThemeLibrary6 {
    HMODULE Module = nullptr;
    FARPROC OpenThemeData = nullptr, CloseThemeData = nullptr, DrawThemeBackground = nullptr,
            DrawThemeEdge = nullptr, GetThemeSysSize = nullptr, IsThemeActive = nullptr, IsAppThemed = nullptr;
};
const TRgThemeLibrary6& ThemeLibrary6();
// Takes the entry points from the shared binding, loading the library there when it is not loaded
// yet (the program calls it at start-up).
void LoadThemeLibrary6();
// Clears the suite's entry points (at shut-down). The library itself stays loaded: the grid and the
// panels draw with it until the process ends.
void FreeThemeLibrary6();

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
