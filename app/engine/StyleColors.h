// app/engine/StyleColors.h: the colour schemes of the visual styles: the colours of the controls that
// the style engine does not colour (grid, panels, link labels, progress bar, track bar, splitter), one
// scheme per family of styles. The progress window takes its bar colours from here; the shell's windows
// take the rest.
#pragma once
#include <array>
#include <cstdint>

#include "app/engine/Types.h"
#include "components/PlusProgressBar.h"

namespace engine {

// 62 entries of 32 bits, in this order; FlipPanelHeaderHotPercent is a signed percentage, every other
// entry a colour.
struct TStyleColorScheme {
    TColor GridColor = 0;
    TColor GridHeaderColor = 0;
    TColor GridHeaderBorderColor = 0;
    TColor GridHeaderFontColor = 0;
    TColor GridCellColor = 0;
    TColor GridLinesColor = 0;
    TColor GridFontColor = 0;
    TColor GridHighlightedTextColor = 0;
    TColor GridSelectionColor = 0;
    TColor GridInactiveSelectionColor = 0;
    TColor Spare10 = 0;
    TColor Spare11 = 0;
    TColor Spare12 = 0;
    TColor GridFooterColor = 0;
    TColor GridFooterSplitterColor = 0;
    TColor GridNumberFooterColor = 0;
    TColor GridFooterBorderColor = 0;
    TColor GridIndicatorColor = 0;
    TColor GridIndicatorLineColor = 0;
    TColor GridIndicatorSelectedLineColor = 0;
    TColor GridIndicatorHotColor = 0;
    TColor GridIndicatorHotTriangleColor = 0;
    TColor GridSortColor = 0;
    TColor FlipPanelColor = 0;
    TColor FlipPanelHeaderColor = 0;
    TColor FlipPanelHeaderColorTo = 0;
    TColor FlipPanelBorderColor = 0;
    TColor FlipPanelHeaderHotBorderColor = 0;
    int32_t FlipPanelHeaderHotPercent = 0;
    TColor FlipPanelHeaderFontColor = 0;
    TColor FlipPanelHeaderHotColor = 0;
    TColor FlipPanelTriangleColor = 0;
    TColor FlipPanelTriangleHotColor = 0;
    TColor HeaderPanelColor = 0;
    TColor HeaderPanelHeaderColor = 0;
    TColor HeaderPanelBorderColor = 0;
    TColor SplitterColor = 0;
    TColor SplitterHotColor = 0;
    TColor SplitterGripColor = 0;
    TColor LinkNormalColor = 0;
    TColor LinkHotColor = 0;
    TColor LinkDisabledColor = 0;
    TColor LinkVisitedColor = 0;
    TColor LinkVisitedHotColor = 0;
    TColor ProgressBackgroundColor = 0;
    TColor ProgressBorderColor = 0;
    TColor ProgressFontColor = 0;
    TColor ProgressLevel0Color = 0;
    TColor ProgressLevel0ColorTo = 0;
    TColor ProgressLevel1Color = 0;
    TColor ProgressLevel1ColorTo = 0;
    TColor ProgressLevel2Color = 0;
    TColor ProgressLevel2ColorTo = 0;
    TColor TrackProgressColor = 0;
    TColor TrackColor = 0;
    TColor TrackBorderColor = 0;
    TColor TrackThumbColor = 0;
    TColor TrackThumbBorderColor = 0;
    TColor TrackThumbHotColor = 0;
    TColor TrackThumbHotBorderColor = 0;
    TColor TrackTickMarkColor = 0;
    TColor TrackSignsColor = 0;
};
static_assert(sizeof(TStyleColorScheme) == 62 * sizeof(int32_t));

// 0 Auric, 1 Carbon, 2 Charcoal, 3 Iceberg, 4 Luna, 5 Silver, 6 Slate, 7 TabletDark, 8 Windows, 9 Cobalt.
using TStyleColorSchemes = std::array<TStyleColorScheme, 10>;
constexpr int WindowsSchemeIndex = 8;

// The program's table. Scheme 8 is captured from the windows' designed colours as they are created.
extern TStyleColorSchemes StyleColorSchemes;

// Fills every scheme but the Windows one, which it leaves as it is.
void InitStyleColorSchemes(TStyleColorSchemes& Schemes);
// The index of the scheme a style name selects (its first word, any letter case); the Windows scheme
// for an empty name and for every style without a scheme of its own.
int StyleColorSchemeIndex(const String& StyleName);
// A copy of that scheme.
TStyleColorScheme GetStyleColors(const String& StyleName, const TStyleColorSchemes& Schemes = StyleColorSchemes);

void SetProgressBarStyleColors(components::TPlusProgressBar* Bar, TStyleColorScheme Scheme);

} // namespace engine
