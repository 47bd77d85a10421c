// app/shell/MainStyle.h: the main window following the visual style: the built-in skins registered
// and chosen to match the style, the dimmed toolbar pictures of dark styles, the colours of its
// panels, grid, splitter, buttons and track bar, and the style switch made from the options window.
#pragma once
#include <array>
#include <functional>

#include "rtl/System.h"

namespace components {
class TKwpPanel;
class TKwpPngButton;
class TKWPlusSplitter;
class TPngImageList;
} // namespace components
namespace controls {
class TKWRgFlipPanel;
class TKWRgTrackBar6;
} // namespace controls
namespace vcl {
class TShape;
}

namespace shell {

using rtl::String;
class TFormMain;

// The resource names of the built-in skins, in the order they register.
extern const std::array<const char16_t*, 10> BuiltInSkinResources;

// Registers every built-in skin whose resource exists and unpacks (the others are skipped), then
// selects "main". FindSkin replaces the program's resources (tests): it gives a resource's bytes, or
// false when there is none.
void PrepareSkins(const std::function<bool(const String& Name, QByteArray& Bytes)>& FindSkin = {});

// Dark becomes a copy of Light with every picture's opacity scaled by 190 (alpha / 256 x 191), index for
// index.
void PrepareImageList_Dark(components::TPngImageList* Light, components::TPngImageList* Dark);

// The settings column's controls the style reaches; a null entry is left alone (the column is built
// piece by piece).
struct TMainStyleControls {
    // fpOutput, fpProfile, fpAudio, fpAdditional, fpTag
    std::array<controls::TKWRgFlipPanel*, 5> FlipPanels{};
    components::TKwpPanel* pnNav = nullptr;
    // shLine_Output, shLine_Profile, shLine_Audio, shLine_Additional, shLine_Metadata
    std::array<vcl::TShape*, 5> SeparatorLines{};
    components::TKwpPanel *pnAudioTrack = nullptr, *pnAudioVolume = nullptr;
    controls::TKWRgTrackBar6* tbVolume = nullptr;
    components::TKWPlusSplitter* spMain = nullptr;
    // btnBrowseOutDir, btnEditOutputDirList, btnTagCopy, btnTagPaste, btnTagClear, btnTagFileName
    std::array<components::TKwpPngButton*, 6> Buttons{};
};

// Applies the style to the main window (skin, colours, pictures).
void SetMainStyleColors(TFormMain& Form, const TMainStyleControls& Controls, const String& StyleName);

// The style chosen at run time: the style list switches, then the options window, the main window
// and each other window that exists take its colours, in that order.
void ChangeVisualStyle(const String& StyleName);
// Told the name of each window as the switch reaches it (tests).
extern std::function<void(const char* Window)> OnStyleReachedWindow;

} // namespace shell
