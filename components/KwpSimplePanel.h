// components/KwpSimplePanel.h: the pack's lightest panel: a background colour or a vertical
// two-colour gradient, a one-colour border whose sides are switched separately, and a caption of
// its own placed by Alignment and CaptionMargin.
#pragma once
#include "components/KwpPanel.h"

namespace components {

class TKwpCustomBaseSimplePanel : public TKwpPaintedPanel {
public:
    explicit TKwpCustomBaseSimplePanel(rtl::TComponent* AOwner);

    int32_t CaptionMargin() const { return FCaptionMargin; }
    void SetCaptionMargin(int32_t Value);

protected:
    void DrawCaption(TRect R) override;

private:
    int32_t FCaptionMargin = 6;
};

class TKwpSimplePanelAppearance : public rtl::TPersistent {
public:
    explicit TKwpSimplePanelAppearance(rtl::TComponent* AOwner);

    void Assign(rtl::TPersistent* Source) override;

    rtl::TComponent* Owner() const { return FOwner; }
    TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor Value); // tells also for an unchanged value
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { Set(FBorderColor, Value); }
    bool DrawTopBorder() const { return FDrawTopBorder; }
    void SetDrawTopBorder(bool Value) { Set(FDrawTopBorder, Value); }
    bool DrawBottomBorder() const { return FDrawBottomBorder; }
    void SetDrawBottomBorder(bool Value) { Set(FDrawBottomBorder, Value); }
    bool DrawLeftBorder() const { return FDrawLeftBorder; }
    void SetDrawLeftBorder(bool Value) { Set(FDrawLeftBorder, Value); }
    bool DrawRightBorder() const { return FDrawRightBorder; }
    void SetDrawRightBorder(bool Value) { Set(FDrawRightBorder, Value); }
    vcl::TPenStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(vcl::TPenStyle Value) { Set(FBorderStyle, Value); }
    // clNone: no gradient. (The name is the one form files store.)
    TColor BackroundColorTo() const { return FBackroundColorTo; }
    void SetBackroundColorTo(TColor Value) { Set(FBackroundColorTo, Value); }

    rtl::TNotifyEvent OnChange;

private:
    template <class T> void Set(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        Changed();
    }
    void Changed();

    rtl::TComponent* FOwner;
    TColor FBackgroundColor = vcl::clBtnFace;
    TColor FBorderColor = vcl::clGray;
    bool FDrawTopBorder = true;
    bool FDrawBottomBorder = true;
    bool FDrawLeftBorder = true;
    bool FDrawRightBorder = true;
    vcl::TPenStyle FBorderStyle = vcl::psSolid;
    TColor FBackroundColorTo = vcl::clNone;
};

class TKwpCustomSimplePanel : public TKwpHostPanel<TKwpCustomBaseSimplePanel> {
public:
    explicit TKwpCustomSimplePanel(rtl::TComponent* AOwner);
    ~TKwpCustomSimplePanel() override;

    TKwpSimplePanelAppearance* Appearance() const { return FAppearance.get(); }
    void SetAppearance(TKwpSimplePanelAppearance* Value) { FAppearance->Assign(Value); }

protected:
    void DrawBackground(const TRect& R) override;

private:
    void SimpleAppearanceChanged(rtl::TObject* Sender);

    std::unique_ptr<TKwpSimplePanelAppearance> FAppearance;
};

class TKwpSimplePanel : public TKwpCustomSimplePanel {
public:
    using TKwpCustomSimplePanel::TKwpCustomSimplePanel;
};

} // namespace components
