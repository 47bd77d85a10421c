// components/KwpPngButton.h: the pack's push button: an owner-drawn bitmap button with a PNG glyph,
// drawn either in the system or style look or from five per-state parameter sets (its appearance),
// with its colours readable and writable as one colour map chosen from the visual style's name.
// Also the pack's check box, drawn by itself.
#pragma once
#include "components/Common.h"
#include "components/KwpAnchorHost.h"
#include "components/PngButtonColorMaps.h"
#include "components/PngUtils.h"
#include "vcl/Buttons.h"
#include "vcl/PngImage.h"
#include "vcl/Themes.h"

#include <memory>

namespace components {

// The look of one button state.
class TKwpItemStateParams : public rtl::TPersistent {
public:
    explicit TKwpItemStateParams(rtl::TComponent* AOwner = nullptr);
    ~TKwpItemStateParams() override;

    TPen* Border() const { return FBorder.get(); }
    void SetBorder(TPen* Value);               // copies the pen's attributes
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    vcl::TFont* Font() const { return FFont.get(); }
    void SetFont(vcl::TFont* Value);
    TKwpGradientEx* UpperGradient() const { return FUpperGradient.get(); }
    void SetUpperGradient(TKwpGradientEx* Value);
    TKwpGradientEx* BottomGradient() const { return FBottomGradient.get(); }
    void SetBottomGradient(TKwpGradientEx* Value);
    bool GradientEnabled() const { return FGradientEnabled; }
    void SetGradientEnabled(bool Value);
    uint8_t UpperGradientPercent() const { return FUpperGradientPercent; }
    void SetUpperGradientPercent(uint8_t Value);
    int32_t BorderToGradientMargin() const { return FBorderToGradientMargin; }
    void SetBorderToGradientMargin(int32_t Value);
    bool TransparentBackground() const { return FTransparentBackground; }
    void SetTransparentBackground(bool Value);
    bool TransparentFrame() const { return FTransparentFrame; }
    void SetTransparentFrame(bool Value);

    rtl::TNotifyEvent OnChange;

    void PropsChanged(rtl::TObject* Sender);

private:
    TColor FColor = 0;
    std::unique_ptr<vcl::TFont> FFont;
    std::unique_ptr<TPen> FBorder;
    bool FGradientEnabled = true;
    std::unique_ptr<TKwpGradientEx> FUpperGradient;
    std::unique_ptr<TKwpGradientEx> FBottomGradient;
    uint8_t FUpperGradientPercent = 0;
    int32_t FBorderToGradientMargin = 2;
    bool FTransparentBackground = false;
    bool FTransparentFrame = false;
};

// The whole look of a PNG button: five states, the focus rectangle, the default button's frame, the
// glyph's factors and a few switches. Every change inside ends in OnChange.
class TKwpButtonAppearance : public rtl::TPersistent {
public:
    explicit TKwpButtonAppearance(rtl::TComponent* AOwner = nullptr);
    ~TKwpButtonAppearance() override;

    // Copies another appearance's values through the setters; the handlers stay.
    void Assign(rtl::TPersistent* Source) override;

    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);
    TKwpItemStateParams* Normal() const { return FNormal.get(); }
    TKwpItemStateParams* Hot() const { return FHot.get(); }
    TKwpItemStateParams* Down() const { return FDown.get(); }
    TKwpItemStateParams* Disabled() const { return FDisabled.get(); }
    TKwpItemStateParams* Focused() const { return FFocused.get(); }
    TKwpFocusRectParams* FocusRect() const { return FFocusRect.get(); }
    TPen* BorderWhenDefault() const { return FBorderWhenDefault.get(); }
    uint8_t GlyphDisabledGrayscaleFactor() const { return FGlyphDisabledGrayscaleFactor; }
    void SetGlyphDisabledGrayscaleFactor(uint8_t Value);
    uint8_t GlyphDisabledBlendFactor() const { return FGlyphDisabledBlendFactor; }
    void SetGlyphDisabledBlendFactor(uint8_t Value);
    uint8_t GlyphHotGammaFactor() const { return FGlyphHotGammaFactor; }
    void SetGlyphHotGammaFactor(uint8_t Value);
    bool MoveWhenDown() const { return FMoveWhenDown; }
    void SetMoveWhenDown(bool Value);
    const rtl::TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(const rtl::TNotifyEvent& Value);  // the new handler is called at once
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);

    void PropsChanged(rtl::TObject* Sender);

private:
    std::unique_ptr<TKwpItemStateParams> FNormal;
    std::unique_ptr<TKwpItemStateParams> FHot;
    bool FDefaultDrawing = false;
    std::unique_ptr<TKwpFocusRectParams> FFocusRect;
    std::unique_ptr<TPen> FBorderWhenDefault;
    std::unique_ptr<TKwpItemStateParams> FDown;
    std::unique_ptr<TKwpItemStateParams> FDisabled;
    uint8_t FGlyphDisabledGrayscaleFactor = 255;
    uint8_t FGlyphDisabledBlendFactor = 127;
    bool FMoveWhenDown = false;
    uint8_t FGlyphHotGammaFactor = 130;
    rtl::TNotifyEvent FOnChange;
    std::unique_ptr<TKwpItemStateParams> FFocused;
    bool FShowCaption = true;
};

class TKwpPngButton : public TKwpAnchorHost<vcl::TBitBtn> {
public:
    explicit TKwpPngButton(rtl::TComponent* AOwner);
    ~TKwpPngButton() override;

    vcl::TPngImage* PngImage() const { return FPngImage.get(); }
    // Copies the image (nullptr empties it) and drops its gamma chunk; the glyph is the form's now.
    void SetPngImage(vcl::TPngImage* Value);
    TPngOptions PngOptions() const { return FPngOptions; }
    void SetPngOptions(TPngOptions Value);
    TKwpTagExt* TagExt() const { return FTagExt.get(); }
    TKwpButtonAppearance* Appearance() const { return FAppearance.get(); }
    TKwpPngButtonColorMapType ColorMapType() const { return FColorMapType; }
    // A predefined map also writes its colours; cmtCustom only records the choice.
    void SetColorMapType(TKwpPngButtonColorMapType Value);
    void ApplyColorMap(TKwpPngButtonColorMap ColorMap);

    bool ImageFromAction() const { return FImageFromAction; }
    bool MouseOver() const { return bOver; }
    bool IsFocused() const { return FIsFocusedStyle; }

    rtl::TNotifyEvent OnMouseEnter;
    rtl::TNotifyEvent OnMouseLeave;

protected:
    void SetButtonStyle(bool ADefault) override;
    void DrawItem(const DRAWITEMSTRUCT& DrawItemStruct) override;
    void CMMouseEnter(vcl::TCMMouseEnterLeave& Message) override;
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override;
    void ActionChange(rtl::TObject* Sender, bool CheckDefaults) override;

private:
    void AppearanceChanged(rtl::TObject* Sender);
    void DrawParameters(const DRAWITEMSTRUCT& DIS, bool Down, bool IsDefault);
    void DrawDefault(const DRAWITEMSTRUCT& DIS, bool Down, bool IsDefault);
    void DrawGlyph(vcl::TCanvas* Canvas, const vcl::TPoint& At);

    bool bOver = false;
    std::unique_ptr<vcl::TPngImage> FPngImage;
    TPngOptions FPngOptions{pngBlendOnDisabled};
    std::unique_ptr<vcl::TControlCanvas> FCanvas;
    vcl::TBitBtnKind FLastKind = vcl::bkCustom;
    bool FImageFromAction = false;
    bool FMouseInControl = false;
    bool FIsFocusedStyle = false;
    std::unique_ptr<TKwpTagExt> FTagExt;
    std::unique_ptr<TKwpButtonAppearance> FAppearance;
    TKwpPngButtonColorMapType FColorMapType = cmtCustom;

    friend class TKwpPngButtonStyleHook;
};

// Paints a PNG button while a custom style draws the button class.
class TKwpPngButtonStyleHook : public vcl::TButtonStyleHook {
public:
    using vcl::TButtonStyleHook::TButtonStyleHook;

protected:
    void DrawButton(vcl::TCanvas* Canvas, bool AMouseInControl) override;
};

// Where the glyph and the caption go in Client; Pressed or Down moves both one pixel right and down.
// Only measures the caption on the canvas.
void CalcPngButtonLayout(vcl::TCanvas* Canvas, vcl::TPngImage* Png, const vcl::TRect& Client, bool Pressed, bool Down,
                         const rtl::String& Caption, vcl::TButtonLayout Layout, int Margin, int Spacing,
                         vcl::TPoint& GlyphPos, vcl::TPoint& TextPos, UINT BiDiFlags);

// Palette and true-colour glyphs are drawn without the file's gamma: their gAMA chunk is removed.
void DropGamma(vcl::TPngImage* Png);
// Copies the action's image from its list's images into Png; false when the action has none.
bool CopyImageFromAction(rtl::TObject* Action, vcl::TPngImage* Png);

void GetButtonColorMap(TKwpPngButton* Button, TKwpPngButtonColorMap& ColorMap);
void SetButtonColorMap(TKwpPngButton* Button, const TKwpPngButtonColorMap& ColorMap);
// The system look for the plain Windows style; otherwise the painted look in the style's colours.
void ApplyColorMapForStyle(TKwpPngButton* Button, const rtl::String& StyleName);
// Sets the font name and size of the button and of its five state fonts.
void SetButtonFonts(TKwpPngButton* Button, const rtl::String& FontName, int Size);

} // namespace components
