// components/KwpLinkLabel.cpp
#include "components/KwpLinkLabel.h"

#include "win/shell32/shellapi.h"

namespace components {

TKwpCustomLinkLabel::TKwpCustomLinkLabel(rtl::TComponent* AOwner)
    : vcl::TCustomLabel(AOwner), FTagExt(std::make_unique<TKwpTagExt>(this)),
      FFontHot(std::make_unique<vcl::TFont>()), FFontNormal(std::make_unique<vcl::TFont>()),
      FFontDisabled(std::make_unique<vcl::TFont>()), FFontVisitedNormal(std::make_unique<vcl::TFont>()),
      FFontVisitedHot(std::make_unique<vcl::TFont>()), FAnchoredControls(std::make_unique<TKwpAnchoredControls>(this)) {
    FFontNormal->SetColor(vcl::clBlue);
    FFontNormal->SetStyle({});
    FFontHot->SetColor(vcl::clBlue);
    FFontHot->SetStyle(vcl::TFontStyles{vcl::fsUnderline});
    FFontDisabled->SetColor(vcl::clBtnShadow);
    FFontDisabled->SetStyle(vcl::TFontStyles{vcl::fsUnderline});
    FFontVisitedNormal->SetColor(vcl::clPurple);
    FFontVisitedNormal->SetStyle(FFontNormal->Style());
    FFontVisitedHot->SetColor(FFontVisitedNormal->Color());
    FFontVisitedHot->SetStyle(FFontHot->Style());
    FFontNormal->OnChange = rtl::TNotifyEvent(this, &TKwpCustomLinkLabel::FontNormalChanged);
    FFontVisitedNormal->OnChange = rtl::TNotifyEvent(this, &TKwpCustomLinkLabel::FontVisitedNormalChanged);
    ShowFont(FFontNormal.get());
    SetCursor(vcl::crHandPoint);
}

TKwpCustomLinkLabel::~TKwpCustomLinkLabel() {
    FFontNormal->OnChange = nullptr;
    FFontVisitedNormal->OnChange = nullptr;
}

void TKwpCustomLinkLabel::CopyFont(vcl::TFont* Own, vcl::TFont* Value) {
    if (Own && Value) Own->Assign(Value);
}

void TKwpCustomLinkLabel::ShowRestingFont() {
    ShowFont(FVisited ? FFontVisitedNormal.get() : FFontNormal.get());
}

void TKwpCustomLinkLabel::SetEnabled(bool Value) {
    FEnabled = Value;
    if (Value) {
        ShowRestingFont();
        SetCursor(FCursorHot);
    } else {
        ShowFont(FFontDisabled.get());
        SetCursor(FCursorDisabled);
    }
}

void TKwpCustomLinkLabel::SetVisited(bool Value) {
    FVisited = Value;
    if (FEnabled) ShowRestingFont();
}

void TKwpCustomLinkLabel::FontNormalChanged(rtl::TObject*) {
    if (FEnabled) ShowRestingFont();
}

void TKwpCustomLinkLabel::FontVisitedNormalChanged(rtl::TObject*) {
    if (FEnabled && FVisited) ShowFont(FFontVisitedNormal.get());
}

void TKwpCustomLinkLabel::MouseEnter() {
    vcl::TCustomLabel::MouseEnter();
    if (FEnabled) {
        ShowFont(FVisited ? FFontVisitedHot.get() : FFontHot.get());
        SetCursor(FCursorHot);
    } else {
        ShowFont(FFontDisabled.get());
        SetCursor(FCursorDisabled);
    }
}

void TKwpCustomLinkLabel::MouseLeave() {
    vcl::TCustomLabel::MouseLeave();
    if (FEnabled) {
        ShowRestingFont();
        SetCursor(FCursorHot);
    } else {
        ShowFont(FFontDisabled.get());
        SetCursor(FCursorDisabled);
    }
}

void TKwpCustomLinkLabel::Click() {
    vcl::TCustomLabel::Click();
    if (ComponentState().Contains(rtl::csDesigning) || !FEnabled) return;
    if (FClickActionType == catGoToURL && !FURL.isEmpty()) {
        FVisited = true;
        ShowFont(FFontVisitedHot.get());
        // The desktop's result is not looked at: a link that cannot be opened stays visited.
        const std::u16string url = FURL.toStdU16String();
        ShellExecuteW(nullptr, u"open", url.c_str(), u"", u"", SW_SHOW);
    } else if (FClickActionType == catExecuteAction && FAction) {
        FVisited = true;
        ShowFont(FFontVisitedHot.get());
        FAction->Execute();
    }
}

void TKwpCustomLinkLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    vcl::TCustomLabel::SetBounds(ALeft, ATop, AWidth, AHeight);
    FollowHostBounds(this, FAnchoredControls.get());
}

void TKwpCustomLinkLabel::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    vcl::TCustomLabel::Notification(AComponent, Operation);
    ForgetRemovedCompanion(this, FAnchoredControls.get(), AComponent, Operation);
}

void SetLinkLabelFontColors(TKwpCustomLinkLabel* LinkLabel, vcl::TColor Normal, vcl::TColor Hot, vcl::TColor Disabled,
                            vcl::TColor VisitedNormal, vcl::TColor VisitedHot) {
    LinkLabel->FontNormal()->SetColor(Normal);
    LinkLabel->FontHot()->SetColor(Hot);
    LinkLabel->FontDisabled()->SetColor(Disabled);
    LinkLabel->FontVisitedNormal()->SetColor(VisitedNormal);
    LinkLabel->FontVisitedHot()->SetColor(VisitedHot);
}

void SetLinkLabelFonts(TKwpCustomLinkLabel* LinkLabel, const rtl::String& FontName, int FontSize) {
    for (vcl::TFont* f : {LinkLabel->FontNormal(), LinkLabel->FontHot(), LinkLabel->FontDisabled(),
                          LinkLabel->FontVisitedNormal(), LinkLabel->FontVisitedHot()}) {
        f->SetName(FontName);
        f->SetSize(FontSize);
    }
}

} // namespace components
