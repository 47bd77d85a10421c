#include "app/shell/ButtonStyles.h"

#include "app/engine/Procs.h"
#include "app/shell/VisualStyles.h"
#include "components/PngButtonColorMaps.h"

namespace shell {

void SetButtonsStyle(std::initializer_list<components::TKwpPngButton*> Buttons, const rtl::String& StyleName,
                     components::TKwpPngButton* Template) {
    const bool copy = Template && engine::IsSystemStyleName(StyleName);
    components::TKwpPngButtonColorMap map{};
    if (copy) components::GetButtonColorMap(Template, map);
    for (auto* button : Buttons) {
        SetButtonStyle(button, StyleName);
        if (copy) components::SetButtonColorMap(button, map);
    }
}

} // namespace shell
