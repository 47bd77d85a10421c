// styling/hooks/ThemeHandlers.h: the background handlers of the theme classes: each draws the parts
// and states it knows with the active style's elements and colours and hands every other call on to
// the theme library.
#pragma once
#include <utility>
#include <vector>

#include "styling/hooks/UxTheme.h"
#include "vcl/Graphics.h"

namespace styling {

// The handler table for the running system version, in registration order: class text and handler.
// "Navigation" and "CommonItemsDialog" join from version 6.2 on.
std::vector<std::pair<rtl::String, TFuncDrawThemeBackground>> ThemeClassHandlerTable();
// Puts the table into the background dispatch.
void RegisterThemeClassHandlers();

// One character of the system's "Marlett" glyph face, R's height tall, into R, in the pop-up menu's
// text colour (its disabled colour when Disabled). Nothing is drawn when the face cannot be had.
void DrawMarlettGlyph(HDC DC, char16_t Char, const vcl::TRect& R, bool Bold, bool Disabled);
// The same in any colour.
void DrawMarlettChar(HDC DC, char16_t Char, const vcl::TRect& R, bool Bold, vcl::TColor Color);

} // namespace styling
