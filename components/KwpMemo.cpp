// components/KwpMemo.cpp
#include "components/KwpMemo.h"

namespace components {

void TKwpCustomMemoAppearance::Assign(rtl::TPersistent* Source) {
    auto* src = dynamic_cast<TKwpCustomMemoAppearance*>(Source);
    if (!src) {
        TKwpPersistent::Assign(Source);
        return;
    }
    SetNormalBgColor(src->NormalBgColor());
    SetNormalTextColor(src->NormalTextColor());
    SetFocusedBgColor(src->FocusedBgColor());
    SetFocusedTextColor(src->FocusedTextColor());
    SetHotBgColor(src->HotBgColor());
    SetHotTextColor(src->HotTextColor());
    SetDisabledBgColor(src->DisabledBgColor());
    SetDisabledTextColor(src->DisabledTextColor());
}

TKwpCustomMemo::TKwpCustomMemo(rtl::TComponent* AOwner)
    : TKwpBoundLabelControl<vcl::TCustomMemo>(AOwner),
      FAppearance(std::make_unique<TKwpCustomMemoAppearance>(AOwner)),
      FFlash(std::make_unique<TKwpFlashMemo>(this)) {
    FAppearance->OnChange = rtl::TNotifyEvent(this, &TKwpCustomMemo::AppearanceChanged);
}

TKwpCustomMemo::~TKwpCustomMemo() = default;

void TKwpCustomMemo::SetAppearance(TKwpCustomMemoAppearance* Value) {
    if (Value && Value != FAppearance.get()) FAppearance->Assign(Value);
    AppearanceChanged(FAppearance.get());
}

void TKwpCustomMemo::AppearanceChanged(rtl::TObject*) {
    if (!ComponentState().Contains(rtl::csLoading)) ApplyStateColors();
}

void TKwpCustomMemo::Loaded() {
    TKwpBoundLabelControl<vcl::TCustomMemo>::Loaded();
    SetColor(FAppearance->NormalBgColor());
    Font()->SetColor(FAppearance->NormalTextColor());
}

void TKwpCustomMemo::DoEnter() {
    SetColor(FAppearance->FocusedBgColor());
    Font()->SetColor(FAppearance->FocusedTextColor());
    TKwpBoundLabelControl<vcl::TCustomMemo>::DoEnter();
}

void TKwpCustomMemo::DoExit() {
    SetColor(FAppearance->NormalBgColor());
    Font()->SetColor(FAppearance->NormalTextColor());
    TKwpBoundLabelControl<vcl::TCustomMemo>::DoExit();
}

void TKwpCustomMemo::ApplyStateColors() {
    const TKwpCustomMemoAppearance* a = FAppearance.get();
    vcl::TColor bg, text;
    if (!Enabled()) {
        bg = a->DisabledBgColor();
        text = a->DisabledTextColor();
    } else if (Focused()) {
        bg = a->FocusedBgColor();
        text = a->FocusedTextColor();
    } else if (MouseOverControl()) {
        bg = a->HotBgColor();
        text = a->HotTextColor();
    } else {
        bg = a->NormalBgColor();
        text = a->NormalTextColor();
    }
    if (Color() != bg) SetColor(bg);
    if (Font()->Color() != text) Font()->SetColor(text);
}

void TKwpCustomMemo::FlashBackground() {
    FFlash->SetOriginalColor(Color());
    FFlash->Flash();
}

} // namespace components
