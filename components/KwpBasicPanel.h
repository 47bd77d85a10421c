// components/KwpBasicPanel.h: the pack's panel without decorations: a background colour or two
// stacked gradients, four switchable border sides, the tag object and companion controls.
#pragma once
#include "components/KwpPanel.h"

namespace components {

// The basic panel's sub-objects behave exactly as the panel's: the same classes serve both.
using TKwpBasicPanelBorder = TKwpPanelBorder;
using TKwpBasicPanelBorders = TKwpPanelBorders;
using TKwpBasicPanelAppearance = TKwpPanelAppearance;
using TKwpCustomBasePanel = TKwpBasePanel;

class TKwpCustomBasicPanel : public TKwpHostPanel<TKwpCustomBasePanel> {
public:
    explicit TKwpCustomBasicPanel(rtl::TComponent* AOwner);
    ~TKwpCustomBasicPanel() override;

    TKwpBasicPanelAppearance* Appearance() const { return FAppearance.get(); }
    void SetAppearance(TKwpBasicPanelAppearance* Value) { FAppearance->Assign(Value); }

    rtl::TNotifyEvent OnGradientChange; // kept for form files; never fired

protected:
    void DrawBackground(const TRect& R) override;

private:
    void AppearanceChanged(rtl::TObject* Sender);
    void GradientChanged(rtl::TObject* Sender);

    std::unique_ptr<TKwpBasicPanelAppearance> FAppearance;
};

class TKwpBasicPanel : public TKwpCustomBasicPanel {
public:
    using TKwpCustomBasicPanel::TKwpCustomBasicPanel;
};

} // namespace components
