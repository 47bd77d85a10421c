// components/KwpMemo.h: the class library's memo with a bound caption label, Enter as Tab, a colour
// flash, and a background and text colour for each of its states (normal, focused, hot, disabled).
#pragma once
#include "components/KwpComboBox.h"

namespace components {

class TKwpCustomMemoAppearance : public TKwpPersistent {
public:
    explicit TKwpCustomMemoAppearance(rtl::TComponent* AOwner = nullptr) : FOwner(AOwner) {}

    vcl::TColor NormalBgColor() const { return FNormalBgColor; }
    void SetNormalBgColor(vcl::TColor Value) { Set(FNormalBgColor, Value); }
    vcl::TColor NormalTextColor() const { return FNormalTextColor; }
    void SetNormalTextColor(vcl::TColor Value) { Set(FNormalTextColor, Value); }
    vcl::TColor FocusedBgColor() const { return FFocusedBgColor; }
    void SetFocusedBgColor(vcl::TColor Value) { Set(FFocusedBgColor, Value); }
    vcl::TColor FocusedTextColor() const { return FFocusedTextColor; }
    void SetFocusedTextColor(vcl::TColor Value) { Set(FFocusedTextColor, Value); }
    vcl::TColor HotBgColor() const { return FHotBgColor; }
    void SetHotBgColor(vcl::TColor Value) { Set(FHotBgColor, Value); }
    vcl::TColor HotTextColor() const { return FHotTextColor; }
    void SetHotTextColor(vcl::TColor Value) { Set(FHotTextColor, Value); }
    vcl::TColor DisabledBgColor() const { return FDisabledBgColor; }
    void SetDisabledBgColor(vcl::TColor Value) { Set(FDisabledBgColor, Value); }
    vcl::TColor DisabledTextColor() const { return FDisabledTextColor; }
    void SetDisabledTextColor(vcl::TColor Value) { Set(FDisabledTextColor, Value); }
    void Assign(rtl::TPersistent* Source) override;

private:
    void Set(vcl::TColor& Field, vcl::TColor Value) {
        if (Field != Value) Field = Value;
        NotifyChanged(this);
    }
    [[maybe_unused]] rtl::TComponent* FOwner;
    vcl::TColor FNormalBgColor = vcl::clWindow, FFocusedBgColor = vcl::clWindow;
    vcl::TColor FNormalTextColor = vcl::clWindowText, FFocusedTextColor = vcl::clWindowText;
    vcl::TColor FHotBgColor = vcl::clWindow, FHotTextColor = vcl::clWindowText;
    vcl::TColor FDisabledBgColor = vcl::clWindow, FDisabledTextColor = vcl::clGrayText;
};

class TKwpCustomMemo;
using TKwpFlashMemo = TKwpFlashControl<TKwpCustomMemo>;

class TKwpCustomMemo : public TKwpBoundLabelControl<vcl::TCustomMemo> {
public:
    explicit TKwpCustomMemo(rtl::TComponent* AOwner);
    ~TKwpCustomMemo() override;

    TKwpCustomMemoAppearance* Appearance() const { return FAppearance.get(); }
    // Takes the given appearance's colours (the memo keeps its own object).
    void SetAppearance(TKwpCustomMemoAppearance* Value);
    TKwpFlashMemo* Flash() const { return FFlash.get(); }
    void FlashBackground();

protected:
    void Loaded() override;
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override { ApplyStateColors(); }
    void HoverChanged() override { ApplyStateColors(); }

private:
    void AppearanceChanged(rtl::TObject* Sender);
    void ApplyStateColors();

    std::unique_ptr<TKwpCustomMemoAppearance> FAppearance;
    std::unique_ptr<TKwpFlashMemo> FFlash;
};

class TKwpMemo : public TKwpCustomMemo {
public:
    using TKwpCustomMemo::TKwpCustomMemo;
};

} // namespace components
