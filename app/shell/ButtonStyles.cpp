#include "app/shell/ButtonStyles.h"

#include "app/engine/Procs.h"
#include "app/shell/VisualStyles.h"

namespace shell {

void SetButtonsStyle(std::initializer_list<components::TKwpPngButton*> Buttons, const rtl::String& StyleName,
                     components::TKwpPngButton* Template) {
    const bool copy = Template && engine::IsSystemStyleName(StyleName);
    for (auto* button : Buttons) {
        SetButtonStyle(button, StyleName);
        // the template's whole look: every state's colours and fonts, the focus and default frames
        if (copy) button->Appearance()->Assign(Template->Appearance());
    }
}

} // namespace shell
