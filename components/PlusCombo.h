// components/PlusCombo.h: a combo box with a caption label it creates, places (15 placements) and keeps
// in step with its enabled state, focus colours, a grey hint text while empty, Enter acting as Tab, a
// wider drop-down list and label-font scaling for the screen's DPI.
#pragma once
#include "vcl/StdCtrls.h"

#include <memory>

namespace components {

using vcl::TColor;

// The pack's own placements (the class library's TLabelPosition has only four).
enum TPlusLabelPosition {
    lpLeftTop, lpLeftCenter, lpLeftBottom, lpTopLeft, lpBottomLeft, lpLeftTopLeft, lpLeftCenterLeft,
    lpLeftBottomLeft, lpTopCenter, lpBottomCenter, lpRightTop, lpRightCenter, lpRighBottom, lpTopRight,
    lpBottomRight
};

class TPlusCustomCombo : public vcl::TCustomComboBox {
public:
    explicit TPlusCustomCombo(rtl::TComponent* AOwner);
    ~TPlusCustomCombo() override;

    bool GetEnabled() const override { return vcl::TCustomComboBox::GetEnabled(); }
    void SetEnabled(bool Value) { DoSetEnabled(Value); }

    rtl::String LabelCaption() const;
    void SetLabelCaption(const rtl::String& Value);
    vcl::TLabel* Label() const { return FLabel; }
    vcl::TFont* LabelFont() const { return FLabelFont.get(); }
    void SetLabelFont(vcl::TFont* Value);
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int Value) { SetAndUpdate(FLabelMargin, Value); }
    TPlusLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TPlusLabelPosition Value) { SetAndUpdate(FLabelPosition, Value); }
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool Value) { SetAndUpdate(FLabelTransparent, Value); }
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool Value) { SetAndUpdate(FLabelAlwaysEnabled, Value); }

    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value); // 14..32, other values are ignored
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool Etched() const { return FEtched; }
    void SetEtched(bool Value) { SetAndInvalidate(FEtched, Value); }
    rtl::String EmptyText() const { return FEmptyText; }
    void SetEmptyText(const rtl::String& Value) { SetAndInvalidate(FEmptyText, Value); }
    vcl::TFontStyles EmptyTextStyle() const { return FEmptyTextStyle; }
    void SetEmptyTextStyle(vcl::TFontStyles Value) { SetAndInvalidate(FEmptyTextStyle, Value); }
    bool EmptyTextFocused() const { return FEmptyTextFocused; }
    void SetEmptyTextFocused(bool Value) { FEmptyTextFocused = Value; }
    TColor FlatLineColor() const { return FFlatLineColor; }
    void SetFlatLineColor(TColor Value) { FFlatLineColor = Value; Invalidate(); }
    bool FlatParentColor() const { return FFlatParentColor; }
    void SetFlatParentColor(bool Value) { FFlatParentColor = Value; Invalidate(); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    int DropWidth() const { return FDropWidth; }
    void SetDropWidth(int Value);
    rtl::String Version() const { return QStringLiteral("1.8.0.1"); }
    void SetVersion(const rtl::String&) {}

    // Store only.
    bool AutoFocus = false;
    bool FocusBorder = false;
    TColor FocusColor = vcl::clNone;
    TColor FocusBorderColor = vcl::clNone;
    TColor FocusFontColor = vcl::clNone;
    bool FocusLabel = false;
    bool DisabledBorder = true;
    bool ReturnIsTab = false;
    TColor ButtonColor = vcl::clNone;
    TColor ButtonColorHot = vcl::clNone;
    TColor ButtonColorDown = vcl::clNone;
    TColor ButtonTextColor = vcl::clNone;
    TColor ButtonTextColorHot = vcl::clNone;
    TColor ButtonTextColorDown = vcl::clNone;
    TColor ButtonBorderColor = vcl::clNone;
    rtl::TNotifyEvent OnDropUp;

    // The item of exactly this text becomes the chosen one and OnChange fires; false when none matches.
    bool SelectItemText(const rtl::String& AString);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Loaded() override;

    // The screen's DPI against 96, measured on the "0" of a 9-point font; 1.0 at 96.
    float GetDpiScale();
    static int TextHeightAtDpi(int Dpi, int Size);
    // Tests stand in for the screen's LOGPIXELSX; 0 = ask the screen.
    static int ScreenDpiOverride;

    void UpdateLabel();
    void UpdateLabelPos();

protected:
    void CreateWnd() override;
    void CloseUp() override;
    void DropDown() override;
    void KeyDown(WORD& Key, vcl::TShiftState Shift) override;
    void KeyPress(rtl::Char& Key) override;
    void EditWndProc(vcl::TMessage& Message) override;
    void DoSetEnabled(bool Value) override;
    void DoExit() override;
    void ChangeScale(int M, int D) override;
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    void Dispatch(vcl::TMessage& Message) override;
    void CMEnter(vcl::TMessage& Message) override;
    void CMExit(vcl::TMessage& Message) override;
    void WMSetFocus(vcl::TWMSetFocus& Message) override;
    void CMVisibleChanged(vcl::TMessage& Message) override;
    void CMColorChanged(vcl::TMessage& Message) override;
    void CMEnabledChanged(vcl::TMessage& Message) override;
    void CMFontChanged(vcl::TMessage& Message) override;
    void CMParentFontChanged(vcl::TMessage& Message) override;
    void CMMouseEnter(vcl::TCMMouseEnterLeave& Message) override;
    void CMMouseLeave(vcl::TCMMouseEnterLeave& Message) override;
    void MouseMove(vcl::TShiftState Shift, int X, int Y) override;

private:
    template <class T> void SetAndUpdate(T& Field, T Value) {
        Field = Value;
        if (FLabel) UpdateLabel();
    }
    template <class T> void SetAndInvalidate(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        Invalidate();
    }
    void CreateLabel();
    void LabelFontChanged(rtl::TObject* Sender);
    void SetLabelBold(bool Value);
    void InvalidateButton();
    // Painting of the flat look, the custom borders and the custom button.
    bool Hot();
    bool FocusBorderShown();
    void DrawBorders();
    void DrawBorder(HDC DC);
    void DrawButton(HDC DC);
    void PaintClientButton(HDC DC);
    bool NeedsOwnPaint();
    bool ShowsEmptyText(HWND Window);
    void PaintEmptyText(HWND Window); // the button's strip, without erasing

    bool FFlat = false;
    bool FEtched = false;
    TColor FOldColor = vcl::clWindow;
    TColor FLoadedColor = vcl::clWindow;
    bool FOldParentColor = false;
    int FButtonWidth;
    int FDropWidth = 0;
    bool FLabelAlwaysEnabled = false;
    bool FLabelTransparent = false;
    int FLabelMargin = 4;
    std::unique_ptr<vcl::TFont> FLabelFont;
    TPlusLabelPosition FLabelPosition = lpLeftTop;
    vcl::TLabel* FLabel = nullptr;
    TColor FFlatLineColor = 0;
    bool FFlatParentColor = true;
    TColor FBorderColor = vcl::clNone;
    TColor FNormalColor = vcl::clNone;
    bool FHasFocus = false;
    bool FMouseInControl = false;
    bool FButtonHover = false;
    bool FParentFnt = true;
    TColor FFontColor = vcl::clNone;
    vcl::TFontStyles FEmptyTextStyle;
    rtl::String FEmptyText;
    bool FEmptyTextFocused = false;
    bool FGotReturn = false;
    bool FLblUpdate = false;
    int FLblFntHeight = 0;
};

class TPlusComboBox : public TPlusCustomCombo {
public:
    using TPlusCustomCombo::TPlusCustomCombo;
};

} // namespace components
