// styling/hooks/Hooks.h: system colours, colour brushes, fills, edges, frame controls, icons and the
// explorer frame's bitmaps answered from the active style, by patching the platform's exports.
#pragma once
#include <cstdint>
#include <optional>

#include "vcl/Themes.h"
#include "win/windows.h"

namespace styling {

// The decisions, apart from the patched calls so that tests can read them as tables.

// The style's answer for GetSysColor(Index) (26, the hot-tracking colour, is the highlight); none
// when the style does not map that colour, which then goes to the platform.
std::optional<vcl::TColor> StyleSysColor(int Index);
// The element DrawFrameControl draws for (uType, uState); none when the call stays classic.
std::optional<vcl::TThemedElementDetails> FrameControlElement(UINT uType, UINT uState);
// The glyph that replaces a standard icon (0 for none): by identifier for any module, and the
// system's own icons (hInstance 0) by their identifiers.
uint16_t DialogIconGlyph(bool SystemModule, uintptr_t Identifier);
// The accent text colour of the active style: its button text on a light face, else a light
// highlight, else the button text.
vcl::TColor GetAccentTextColor();

// Installed: the interceptions are in place (the active style was available at start-up).
bool ApiDetoursInstalled();
// Whether GetSysColor is intercepted (the theme colours rely on it).
bool SysColorIntercepted();
void InstallApiDetours();
void RemoveApiDetours();

} // namespace styling
