// app/shell/VisualStyles.h: the visual styles of the styles folder loaded into the style engine, the
// active style, the tests the windows use to adapt their colours to a style's name, and the PNG
// buttons' look per style.
#pragma once
#include <memory>
#include <vector>

#include "rtl/System.h"

#include "app/engine/StyleColors.h"

namespace components {
class TKwpPngButton;
class TKwpCustomLinkLabel;
} // namespace components
namespace grid {
class TRgCustomGrid;
}
namespace controls {
class TKWRgFlipPanel;
class TRgHeaderPanel;
class TKWRgTrackBar6;
} // namespace controls

namespace shell {

using rtl::String;

struct TVisualStyle {
    String Name;
    String FileName; // never filled
    int Index = 0;   // the position in the engine's list
};

class TVisualStyles {
public:
    // Loads the folder's style files and lists the engine's styles.
    explicit TVisualStyles(const String& Directory);

    bool WindowsStyleFirst() const { return FWindowsStyleFirst; }
    void SetWindowsStyleFirst(bool Value) { FWindowsStyleFirst = Value; }
    const String& Directory() const { return FDirectory; }
    void SetDirectory(const String& Value) { FDirectory = Value; } // no reloading
    int Count() const { return int(FVSList.size()); }
    const TVisualStyle& ActiveStyle() const { return FActiveStyle; }
    const TVisualStyle& Item(int Index) const { return FVSList.at(size_t(Index)); }

    void ClearAll();
    void GetStyles();
    // The first engine style of that name (any case); -1 when there is none.
    int GetStyleIndex(const String& Name) const;
    // Activates the engine style of that name (any case; nothing happens for an unknown one); the main
    // window stays where it is.
    void SetStyle(const String& Name);
    // The listed style after the last one cycled to (the first after the last).
    void SetNextStyle();
    void SetWindowsStyle();
    void StyleChanged();
    String AsText() const;

private:
    std::vector<TVisualStyle> FVSList;
    int FActiveStyleIndex = 0;
    bool FWindowsStyleFirst = true;
    String FDirectory;
    TVisualStyle FActiveStyle;
    bool FChangingStyle = false;
};

// The one instance, made by the main window over the styles folder.
extern std::unique_ptr<TVisualStyles> VisualStyles;

bool IsWindowsStyle(const String& StyleName);
bool IsDarkStyle(const String& StyleName);
bool IsAuricStyle(const String& StyleName);
bool IsCarbonStyle(const String& StyleName);

// The button draws in every style element; under the Windows style it goes back to the default
// drawing, under one of the styles with a colour map of their own it takes that map and "Segoe UI" 8.
void SetButtonStyle(components::TKwpPngButton* Button, const String& StyleName);

// The colours of a style's scheme copied into the controls that keep colours of their own. StyledLook:
// the style is not the Windows style (gradient header with a border, hot end colour from the scheme).
// A grid without columns keeps every colour.
void SetGridStyleColors(grid::TRgCustomGrid* Grid, engine::TStyleColorScheme Scheme);
void SetFlipPanelStyleColors(controls::TKWRgFlipPanel* Panel, engine::TStyleColorScheme Scheme, bool StyledLook);
void SetHeaderPanelStyleColors(controls::TRgHeaderPanel* Panel, engine::TStyleColorScheme Scheme);
void SetLinkLabelStyleColors(components::TKwpCustomLinkLabel* Label, engine::TStyleColorScheme Scheme);
void SetTrackBarStyleColors(controls::TKWRgTrackBar6* TrackBar, engine::TStyleColorScheme Scheme);

} // namespace shell
