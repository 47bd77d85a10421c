// components/PngButtonColorMaps.h: the 37 colours of a PNG button's painted look as one record, and the
// predefined maps that match the shipped visual styles.
#pragma once
#include "vcl/Graphics.h"

#include <cstdint>

namespace components {

struct TKwpPngButtonStateColors {
    vcl::TColor BorderColor = 0;
    vcl::TColor FontColor = 0;
    vcl::TColor Color = 0;
    vcl::TColor BottomGradientColorFrom = 0;
    vcl::TColor BottomGradientColorTo = 0;
    vcl::TColor UpperGradientColorFrom = 0;
    vcl::TColor UpperGradientColorTo = 0;
};

struct TKwpPngButtonColorMap {
    vcl::TColor BorderWhenDefaultColor = 0;
    vcl::TColor FocusRectColor = 0;
    TKwpPngButtonStateColors Normal, Hot, Down, Focused, Disabled;
};

enum TKwpPngButtonColorMapType : uint8_t {
    cmtCustom,
    cmtAero,
    cmtAeroMod1,
    cmtBlack,
    cmtBlueVeryDark,
    cmtBlue,
    cmtGray,
    cmtGrayDark,
    cmtGrayVeryDark,
    cmtGray_Blue,
    cmtGray_Yellow,
    cmtGreenDark,
    cmtGreenVeryDark,
    cmtGreen,
    cmtHighContrastBlack,
    cmtHighContrastWhite,
    cmtVclAquaLightSlate,
    cmtVclAuric,
    cmtVclCarbon,
    cmtVclCharcoalDarkSlate,
    cmtVclCobaltXEMedia,
    cmtVclCoral,
    cmtVclEmerald,
    cmtVclGlossy,
    cmtVclGoldenGraphite,
    cmtVclIcebergClassico,
    cmtVclJet,
    cmtVclLight,
    cmtVclLuna,
    cmtVclMetropolisUIBlack,
    cmtVclMetropolisUIDark,
    cmtVclMetropolisUIBlue,
    cmtVclMetropolisUIGreen,
    cmtVclRubyGraphite,
    cmtVclSilver,
    cmtVclSlateClassico,
    cmtVclTurquoiseGray
};

constexpr int PredefinedColorMapCount = 36;

// For the predefined maps (1..36) ColorMap becomes a copy of the map; any other value leaves it as it is.
void GetPredefinedColorMap(TKwpPngButtonColorMapType ColorMapType, TKwpPngButtonColorMap& ColorMap);

} // namespace components
