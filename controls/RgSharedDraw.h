// controls/RgSharedDraw.h: what the first-generation panels draw with, taken from the drawing the
// report grid shares (colour schemes, theme queries, the registry of live panels, blends, gradients,
// glass effects, alpha bitmaps, aligned text and the parent's background).
#pragma once
#include "controls/RgPoints.h"
#include "grid/shared/DrawHelpers.h"

namespace controls {

using vcl::TCanvas;
using vcl::TColor;
using vcl::TPoint;
using vcl::TRect;

using grid::TColorScheme;
using enum grid::TColorScheme;
using grid::TDirection;
using enum grid::TDirection;
using grid::TButtonStateItem;
using enum grid::TButtonStateItem;
using grid::TButtonState;

using grid::GetSchemeColor;
using grid::IsThemingActive;
using grid::DrawThemedPart;
using grid::RegisterCollectionControl;
using grid::UnregisterCollectionControl;
using grid::CollectionControls;

using grid::AlphaBlendColor;
using grid::BlendColorRatio;
using grid::DrawTopBottomGradient;
using grid::TGraphicsProvider;
using grid::TDrawProvider;
using grid::DrawAlphaBitmap;
using grid::DrawTextAligned;
using grid::DrawTextBiDi;
using grid::DrawGlassGradient;
using grid::DrawGlassShine;
using grid::DrawGlowGradient;
using grid::PaintParentBackground;

} // namespace controls
