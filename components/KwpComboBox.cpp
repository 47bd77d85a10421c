// components/KwpComboBox.cpp
#include "components/KwpComboBox.h"

namespace components {

void PlaceBoundLabel(vcl::TControl* Control, TKwpControlBoundLabel* Label, TLabelPosition Position, int Spacing) {
    const int w = Label->Width(), h = Label->Height();
    int left = Control->Left(), top = Control->Top();
    switch (Position) {
    case vcl::lpAbove: top = Control->Top() - h - Spacing; break;
    case vcl::lpBelow: top = Control->Top() + Control->Height() + Spacing; break;
    case vcl::lpLeft:
        left = Control->Left() - w - Spacing;
        top = Control->Top() + (Control->Height() - h) / 2;
        break;
    case vcl::lpRight:
        left = Control->Left() + Control->Width() + Spacing;
        top = Control->Top() + (Control->Height() - h) / 2;
        break;
    }
    Label->SetBounds(left, top, w, h);
}

void TabOnEnterKey(rtl::TComponent* Owner, rtl::Char& Key) {
    auto* owner = dynamic_cast<vcl::TWinControl*>(Owner);
    if (!owner || Key != rtl::Char(13)) return;
    PostMessageW(owner->Handle(), WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, 0);
    Key = rtl::Char(0);
}

TKwpCustomComboBox::TKwpCustomComboBox(rtl::TComponent* AOwner)
    : TKwpBoundLabelControl<vcl::TCustomComboBox>(AOwner), FFlash(std::make_unique<TKwpFlashKwpComboBox>(this)) {
    SetDropDownCount(16);
}

TKwpCustomComboBox::~TKwpCustomComboBox() = default;

void TKwpCustomComboBox::SetColorEnabled(vcl::TColor Value) {
    if (Value == FColorEnabled) return;
    FColorEnabled = Value;
    if (Enabled()) SetColor(Value);
}

void TKwpCustomComboBox::SetColorDisabled(vcl::TColor Value) {
    if (Value == FColorDisabled) return;
    FColorDisabled = Value;
    if (!Enabled()) SetColor(Value);
}

void TKwpCustomComboBox::EnabledChanged() { SetColor(Enabled() ? FColorEnabled : FColorDisabled); }

void TKwpCustomComboBox::FlashBackground() {
    FFlash->SetOriginalColor(Color());
    FFlash->Flash();
}

} // namespace components
