// app/shell/ButtonStyles.h: how the secondary windows' PNG buttons follow the visual style.
#pragma once
#include <initializer_list>

#include "components/KwpPngButton.h"

namespace shell {

// Each button takes the PNG-button look of the style (SetButtonStyle); under the system style, when the main window's
// template button is given, they copy its look instead.
void SetButtonsStyle(std::initializer_list<components::TKwpPngButton*> Buttons, const rtl::String& StyleName,
                     components::TKwpPngButton* Template);

} // namespace shell
