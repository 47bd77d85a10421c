// components/FlatHint.h: a component that, once made, gives the whole application flat hint windows:
// borderless, with a coloured arrow box in the corner that points at the mouse.
#pragma once
#include "components/FlatUtils.h"
#include "vcl/Forms.h"

#include <memory>

namespace components {

class TFlatHint : public rtl::TComponent {
public:
    explicit TFlatHint(rtl::TComponent* AOwner);
    ~TFlatHint() override;

    vcl::TFont* Font() const { return FHintFont.get(); }
    void SetFont(vcl::TFont* Value) { FHintFont->Assign(Value); }
    vcl::TColor ColorBackground() const { return FBackgroundColor; }
    void SetColorBackground(vcl::TColor Value) { FBackgroundColor = Value; }
    vcl::TColor ColorBorder() const { return FBorderColor; }
    void SetColorBorder(vcl::TColor Value) { FBorderColor = Value; }
    vcl::TColor ColorArrowBackground() const { return FArrowBackgroundColor; }
    void SetColorArrowBackground(vcl::TColor Value) { FArrowBackgroundColor = Value; }
    vcl::TColor ColorArrow() const { return FArrowColor; }
    void SetColorArrow(vcl::TColor Value) { FArrowColor = Value; }
    int32_t MaxHintWidth() const { return FHintWidth; }
    void SetMaxHintWidth(int32_t Value) { FHintWidth = Value; }
    // 0 background, 1 border, 2 arrow background, 3 arrow; other indexes do nothing.
    void SetColorByIndex(int Index, vcl::TColor Value);

    vcl::TShowHintEvent OnShowHint;

private:
    void GetHintInfo(rtl::String& HintStr, bool& CanShow, vcl::THintInfo& HintInfo);

    std::unique_ptr<vcl::TFont> FHintFont;
    vcl::TColor FBackgroundColor = vcl::clWhite;
    vcl::TColor FBorderColor = vcl::clBlack;
    vcl::TColor FArrowBackgroundColor = 0x53D2FF;
    vcl::TColor FArrowColor = vcl::clBlack;
    int32_t FHintWidth = 200;
    // What the application had before, put back when this component goes first.
    bool FInstalled = false;
    vcl::THintWindowClass FPreviousHintClass = nullptr;
    vcl::TShowHintEvent FPreviousShowHint;
};

// The flat hint of the first form (in the screen's order) that holds one; nullptr when none does.
TFlatHint* FindFlatHint();

class TFlatHintWindow : public vcl::THintWindow {
public:
    explicit TFlatHintWindow(rtl::TComponent* AOwner) : vcl::THintWindow(AOwner) {}

    void ActivateHint(vcl::TRect Rect, const rtl::String& AHint) override;
    TArrowPos ArrowPos() const { return FArrowPos; }
    vcl::TPoint ArrowPoint() const { return FArrowPoint; }

protected:
    void CreateParams(vcl::TCreateParams& Params) override;
    void Paint() override;

private:
    TArrowPos FArrowPos = NE;
    vcl::TPoint FArrowPoint;
    TFlatHint* FHint = nullptr;
};

} // namespace components
