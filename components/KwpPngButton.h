// components/KwpPngButton.h: the pack's push button (drawn flat, caption centred); a click runs its
// action or OnClick.
#pragma once
#include "vcl/Controls.h"

namespace components {

class TKwpPngButton : public vcl::TCustomControl {
public:
    explicit TKwpPngButton(rtl::TComponent* AOwner);

protected:
    void Paint() override;
    void CMTextChanged(vcl::TMessage&) override { Invalidate(); }
};

// Sets the button's font name and size (the state fonts follow the button's font here).
void SetButtonFonts(TKwpPngButton* Button, const rtl::String& FontName, int Size);

// A check box drawn by itself: a box with a tick and the caption beside it; a click toggles it.
class TKwpCheckBox : public vcl::TCustomControl {
public:
    explicit TKwpCheckBox(rtl::TComponent* AOwner);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);

protected:
    void Paint() override;
    void CMTextChanged(vcl::TMessage&) override { Invalidate(); }
    void Click() override;

private:
    bool FChecked = false;
};

} // namespace components
