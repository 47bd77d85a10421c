// components/KwpLinkLabel.h: a label that looks and acts like a hyperlink: five state fonts (normal,
// hot, disabled, visited normal, visited hot), a hand cursor, and a click that opens its URL through
// the desktop or executes an action.
#pragma once
#include "components/KwpLabel.h"
#include "vcl/ActnList.h"

namespace components {

enum TKwpLinkLabelClickActionType : uint8_t { catGoToURL, catExecuteAction };

class TKwpCustomLinkLabel : public vcl::TCustomLabel {
public:
    explicit TKwpCustomLinkLabel(rtl::TComponent* AOwner);
    ~TKwpCustomLinkLabel() override;

    TKwpTagExt* TagExt() const { return FTagExt.get(); }
    TKwpAnchoredControls* AnchoredControls() const { return FAnchoredControls.get(); }

    // The five state fonts; their setters copy the given font (nothing when it is missing).
    vcl::TFont* FontNormal() const { return FFontNormal.get(); }
    void SetFontNormal(vcl::TFont* Value) { CopyFont(FFontNormal.get(), Value); }
    vcl::TFont* FontHot() const { return FFontHot.get(); }
    void SetFontHot(vcl::TFont* Value) { CopyFont(FFontHot.get(), Value); }
    vcl::TFont* FontDisabled() const { return FFontDisabled.get(); }
    void SetFontDisabled(vcl::TFont* Value) { CopyFont(FFontDisabled.get(), Value); }
    vcl::TFont* FontVisitedNormal() const { return FFontVisitedNormal.get(); }
    void SetFontVisitedNormal(vcl::TFont* Value) { CopyFont(FFontVisitedNormal.get(), Value); }
    vcl::TFont* FontVisitedHot() const { return FFontVisitedHot.get(); }
    void SetFontVisitedHot(vcl::TFont* Value) { CopyFont(FFontVisitedHot.get(), Value); }

    rtl::String URL() const { return FURL; }
    void SetURL(const rtl::String& Value) { FURL = Value; }
    // The label's own action reference, apart from the control's action link; not watched for freeing.
    vcl::TBasicAction* Action() const { return FAction; }
    void SetAction(vcl::TBasicAction* Value) { FAction = Value; }
    TKwpLinkLabelClickActionType ClickActionType() const { return FClickActionType; }
    void SetClickActionType(TKwpLinkLabelClickActionType Value) { FClickActionType = Value; }
    // The link's own enabled state: the control stays enabled, so a disabled link still gets the mouse
    // and OnClick, but looks disabled and opens nothing.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    vcl::TCursor CursorHot() const { return FCursorHot; }
    void SetCursorHot(vcl::TCursor Value) { FCursorHot = Value; }
    vcl::TCursor CursorDisabled() const { return FCursorDisabled; }
    void SetCursorDisabled(vcl::TCursor Value) { FCursorDisabled = Value; }
    bool Visited() const { return FVisited; }
    void SetVisited(bool Value);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Click() override;

protected:
    void MouseEnter() override;
    void MouseLeave() override;
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

private:
    static void CopyFont(vcl::TFont* Own, vcl::TFont* Value);
    void ShowFont(vcl::TFont* Value) { vcl::TCustomLabel::SetFont(Value); }
    void ShowRestingFont();
    void FontNormalChanged(rtl::TObject* Sender);
    void FontVisitedNormalChanged(rtl::TObject* Sender);

    std::unique_ptr<TKwpTagExt> FTagExt;
    std::unique_ptr<vcl::TFont> FFontHot, FFontNormal, FFontDisabled;
    rtl::String FURL;
    vcl::TBasicAction* FAction = nullptr;
    TKwpLinkLabelClickActionType FClickActionType = catGoToURL;
    bool FEnabled = true;
    vcl::TCursor FCursorDisabled = vcl::crDefault;
    vcl::TCursor FCursorHot = vcl::crHandPoint;
    std::unique_ptr<vcl::TFont> FFontVisitedNormal;
    bool FVisited = false;
    std::unique_ptr<vcl::TFont> FFontVisitedHot;
    std::unique_ptr<TKwpAnchoredControls> FAnchoredControls;
};

class TKwpLinkLabel : public TKwpCustomLinkLabel {
public:
    using TKwpCustomLinkLabel::TKwpCustomLinkLabel;

private:
    // The shown font is always a copy of a state font.
    using TKwpCustomLinkLabel::SetFont;
};

// Colours in the order normal, hot, disabled, visited normal, visited hot.
void SetLinkLabelFontColors(TKwpCustomLinkLabel* LinkLabel, vcl::TColor Normal, vcl::TColor Hot, vcl::TColor Disabled,
                            vcl::TColor VisitedNormal, vcl::TColor VisitedHot);
// Name and size in points of all five fonts.
void SetLinkLabelFonts(TKwpCustomLinkLabel* LinkLabel, const rtl::String& FontName, int FontSize);

} // namespace components
