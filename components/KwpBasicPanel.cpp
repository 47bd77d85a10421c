// components/KwpBasicPanel.cpp
#include "components/KwpBasicPanel.h"

namespace components {

TKwpCustomBasicPanel::TKwpCustomBasicPanel(rtl::TComponent* AOwner)
    : TKwpHostPanel<TKwpCustomBasePanel>(AOwner), FAppearance(std::make_unique<TKwpBasicPanelAppearance>(this)) {
    FAppearance->OnChange = rtl::MakeEvent(this, &TKwpCustomBasicPanel::AppearanceChanged);
    FAppearance->UpperGradient()->OnChange = rtl::MakeEvent(this, &TKwpCustomBasicPanel::GradientChanged);
    FAppearance->BottomGradient()->OnChange = rtl::MakeEvent(this, &TKwpCustomBasicPanel::GradientChanged);
}

TKwpCustomBasicPanel::~TKwpCustomBasicPanel() = default;

void TKwpCustomBasicPanel::AppearanceChanged(rtl::TObject*) {
    if (!Loading()) Invalidate();
}

void TKwpCustomBasicPanel::GradientChanged(rtl::TObject*) {
    Invalidate();
}

void TKwpCustomBasicPanel::DrawBackground(const TRect& R) {
    if (!ParentBackground()) {
        if (PanelStyledBackground(this))
            DrawStyledPanelBackground(this, Canvas(), R);
        else
            DrawPanelOwnBackground(Canvas(), R, FAppearance.get());
    }
    DrawPanelBorders(Canvas(), R, FAppearance.get());
}

} // namespace components
