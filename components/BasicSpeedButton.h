// components/BasicSpeedButton.h: a windowless button with a PNG glyph and its own caption, four looks
// (normal, under the mouse, pressed, disabled), a brightened glyph while hot or pressed, a faded and
// greyed one while disabled, and a width that can follow its content.
#pragma once
#include "components/Common.h"
#include "components/Graphics.h"
#include "components/KwpAnchorHost.h"
#include "components/PngLegacy.h"
#include "components/PngUtils.h"
#include "vcl/Buttons.h"
#include "vcl/PngImage.h"

#include <memory>

namespace components {

enum TKwpBasicSpeedButtonState { bssNormal, bssOver, bssDown, bssDisabled };

class TKwpBasicSpeedButtonStateParams : public rtl::TPersistent {
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    bool TransparentBorder() const { return FTransparentBorder; }
    void SetTransparentBorder(bool Value);
    bool TransparentBackground() const { return FTransparentBackground; }
    void SetTransparentBackground(bool Value);
    void Assign(rtl::TPersistent* Source) override;

    rtl::TNotifyEvent OnChange;

private:
    template <class T> void Set(T& Field, T Value) {
        Field = Value;
        if (OnChange) OnChange(this);
    }
    TColor FFontColor = 0;
    TColor FBorderColor = 0;
    int FBorderWidth = 0;
    bool FTransparentBorder = false;
    bool FTransparentBackground = false;
    TColor FColor = 0;
};

class TKwpBasicSpeedButtonAppearance : public rtl::TPersistent {
public:
    TKwpBasicSpeedButtonAppearance();
    ~TKwpBasicSpeedButtonAppearance() override;

    TKwpBasicSpeedButtonStateParams* Normal() const { return FNormal.get(); }
    TKwpBasicSpeedButtonStateParams* Hot() const { return FHot.get(); }
    TKwpBasicSpeedButtonStateParams* Down() const { return FDown.get(); }
    TKwpBasicSpeedButtonStateParams* Disabled() const { return FDisabled.get(); }
    // The state objects are filled in place; assigning one copies its values.
    void SetNormal(TKwpBasicSpeedButtonStateParams* Value) { FNormal->Assign(Value); }
    void SetHot(TKwpBasicSpeedButtonStateParams* Value) { FHot->Assign(Value); }
    void SetDown(TKwpBasicSpeedButtonStateParams* Value) { FDown->Assign(Value); }
    void SetDisabled(TKwpBasicSpeedButtonStateParams* Value) { FDisabled->Assign(Value); }
    uint8_t GlyphHotGammaFactor() const { return FGlyphHotGammaFactor; }
    void SetGlyphHotGammaFactor(uint8_t Value);
    bool MoveWhenDown() const { return FMoveWhenDown; }
    void SetMoveWhenDown(bool Value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    TKwpBlendIntensity GlyphDisabledBlendIntensity() const { return FGlyphDisabledBlendIntensity; }
    void SetGlyphDisabledBlendIntensity(TKwpBlendIntensity Value);
    TKwpGrayscaleIntensity GlyphDisabledGrayscaleIntensity() const { return FGlyphDisabledGrayscaleIntensity; }
    void SetGlyphDisabledGrayscaleIntensity(TKwpGrayscaleIntensity Value);

    rtl::TNotifyEvent OnChange;

private:
    void PropsChanged(rtl::TObject* Sender);

    TKwpBlendIntensity FGlyphDisabledBlendIntensity = biNormal;
    TKwpGrayscaleIntensity FGlyphDisabledGrayscaleIntensity = gi90Percent;
    std::unique_ptr<TKwpBasicSpeedButtonStateParams> FNormal, FHot, FDown, FDisabled;
    uint8_t FGlyphHotGammaFactor = 130;
    bool FMoveWhenDown = false;
    bool FShowCaption = true;
};

class TKwpBasicSpeedButton : public TKwpAnchorHost<vcl::TGraphicControl> {
public:
    explicit TKwpBasicSpeedButton(rtl::TComponent* AOwner);
    ~TKwpBasicSpeedButton() override;

    TKwpBasicSpeedButtonState ButtonState() const { return FButtonState; }
    TKwpTagExt* TagExt() const { return FTagExt.get(); }
    TKwpBasicSpeedButtonAppearance* Appearance() const { return FAppearance.get(); }
    // The button's own caption, not the control's text.
    rtl::String Caption() const { return FCaption; }
    void SetCaption(const rtl::String& Value);
    vcl::TPngImage* PngImage() const { return FPngImage.get(); }
    void SetPngImage(vcl::TPngImage* Value);
    bool ImageFromAction() const { return FImageFromAction; }
    TPngOptions PngOptions() const { return FPngOptions; }
    void SetPngOptions(TPngOptions Value);
    vcl::TButtonLayout Layout() const { return FLayout; }
    void SetLayout(vcl::TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool AutoWidth() const { return FAutoWidth; }
    void SetAutoWidth(bool Value);
    int8_t AutoWidthMargin() const { return FAutoWidthMargin; }
    void SetAutoWidthMargin(int8_t Value);
    bool AutoWidthRightJustify() const { return FAutoWidthRightJustify; }
    void SetAutoWidthRightJustify(bool Value);
    bool MouseInControl() const { return FMouseInControl; }

    rtl::TNotifyEvent OnMouseEnter;
    rtl::TNotifyEvent OnMouseLeave;

protected:
    void Loaded() override;
    void Paint() override;
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void ActionChange(rtl::TObject* Sender, bool CheckDefaults) override;
    void CMEnabledChanged(vcl::TMessage& Message) override;
    void CMFontChanged(vcl::TMessage& Message) override;
    void CMMouseEnter(vcl::TCMMouseEnterLeave& Message) override;
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override;

private:
    void AppearanceChanged(rtl::TObject*) {
        AdjustAutoWidth();
        Repaint();
    }
    // The width follows the content; done when the content changes, since a paint cannot move the
    // control it paints.
    void AdjustAutoWidth();
    TKwpBasicSpeedButtonState RestState() const { return Enabled() ? bssNormal : bssDisabled; }

    std::unique_ptr<TKwpTagExt> FTagExt;
    TKwpBasicSpeedButtonState FButtonState = bssNormal;
    rtl::String FCaption;
    bool FMouseInControl = false;
    std::unique_ptr<TKwpBasicSpeedButtonAppearance> FAppearance;
    bool FImageFromAction = false;
    std::unique_ptr<vcl::TPngImage> FPngImage;
    TPngOptions FPngOptions{pngBlendOnDisabled, pngGrayscaleOnDisabled};
    vcl::TButtonLayout FLayout = vcl::blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FAutoWidth = true;
    int8_t FAutoWidthMargin = 6;
    bool FAutoWidthRightJustify = false;
};

} // namespace components
