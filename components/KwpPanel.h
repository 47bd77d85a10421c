// components/KwpPanel.h: the pack's panel: a filled area with a border whose sides can be shown one by
// one, each with its own pen colour.
#pragma once
#include "vcl/Controls.h"

namespace components {

struct TKwpPanelBorder {
    bool Visible = false;
    vcl::TColor Color = vcl::clBtnShadow;
    void SetVisible(bool Value) { Visible = Value; }
};

struct TKwpPanelAppearance {
    bool DrawBorder = false;
    struct {
        TKwpPanelBorder Left, Right, Top, Bottom;
    } Borders;
    void SetDrawBorder(bool Value) { DrawBorder = Value; }
};

class TKwpPanel : public vcl::TCustomControl {
public:
    explicit TKwpPanel(rtl::TComponent* AOwner);
    TKwpPanelAppearance& Appearance() { return FAppearance; }

protected:
    void Paint() override;

private:
    TKwpPanelAppearance FAppearance;
};

} // namespace components
