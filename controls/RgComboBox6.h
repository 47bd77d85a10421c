// controls/RgComboBox6.h: the second family's drop-down edit (an edit whose button opens a popup under
// it), the combo box over a strings popup (name=value display, keyboard and wheel selection, type-ahead
// and auto-completion, owner-drawn rows), and the font combo box that shows each name in its own font.
#pragma once
#include "controls/RgEdit6.h"
#include "controls/RgPopupCtrls6.h"

namespace controls {

class TRgDropDownButton6 : public TRgEditButton {
public:
    explicit TRgDropDownButton6(rtl::TComponent* AOwner);

protected:
    void PaintContent() override;
};

// A drop-down whose look a host may set.
class IRgStyledDropDown {
public:
    virtual ~IRgStyledDropDown() = default;
    virtual void SetStyle(TRgDropDownStyle Value) = 0;
};

// A drop-down that tells a host when it opens.
class IRgDropDownNotify {
public:
    virtual ~IRgDropDownNotify() = default;
    virtual void SetOnDropDown(const rtl::TNotifyEvent& Value) = 0;
};

// A control whose rows its owner may draw.
class IRgOwnerDrawn {
public:
    virtual ~IRgOwnerDrawn() = default;
    virtual TRgDrawingOptions GetDrawingOptions() = 0;
};

class TRgDropDownEdit6 : public TRgCustomButtonEdit6,
                         public IRgStyledDropDown,
                         public IRgDropDownNotify,
                         public IRgDropDown {
public:
    explicit TRgDropDownEdit6(rtl::TComponent* AOwner);
    ~TRgDropDownEdit6() override;

    bool AutoDropDown() const { return FAutoDropDown; }
    void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
    TRgPopupAnchor PopupAnchor() const { return FPopupAnchor; }
    void SetPopupAnchor(TRgPopupAnchor Value) { FPopupAnchor = Value; }
    TRgDropDownStyle Style() const { return FStyle; }
    void SetStyle(TRgDropDownStyle Value) override;
    void SetOnDropDown(const rtl::TNotifyEvent& Value) override { OnDropDown = Value; }
    bool DroppedDown() const { return FDroppedDown; }
    TRgPopupControl6* PopupControl() const { return FPopupControl; }
    bool CanDispatchKey(WORD Key) override;

    // IRgDropDown
    bool GetAutoClose() override { return FAutoClose; }
    bool GetDroppedDown() override { return FDroppedDown; }
    void SetDroppedDown(bool Value) override;
    void DoCloseUp() override { OnCloseUp(this); }
    void DoSelect() override { OnSelect(this); }

    rtl::TNotifyEvent OnCloseUp;
    rtl::TNotifyEvent OnDropDown;
    rtl::TNotifyEvent OnSelect;

protected:
    TRgEditButton* CreateButton() override;
    virtual TRgPopupControl6* CreatePopupControl() = 0;
    virtual void CloseUp();
    virtual void DropDown();
    virtual void PaintListText(vcl::TCanvas* Canvas);
    virtual void BeforeDropDown() {}
    virtual void DoDropDown() { OnDropDown(this); }
    void DoButtonDown() override { SetDroppedDown(true); }
    void DoButtonUp() override { SetDroppedDown(false); }
    void DoEnter() override;
    void KeyDown(WORD& Key, vcl::TShiftState Shift) override;
    void CMFontChanged(vcl::TMessage& Message) override;
    void Dispatch(vcl::TMessage& Message) override;

    TRgPopupControl6* FPopupControl = nullptr;

private:
    void PaintList();

    bool FAutoClose = true;
    bool FAutoDropDown = false;
    bool FDroppedDown = false;
    TRgPopupAnchor FPopupAnchor = paLeft;
    TRgDropDownStyle FStyle = dsDropDown;
};

using TRgDrawComboBoxItemEvent =
    rtl::TEvent<void(vcl::TCanvas* Canvas, int Index, const vcl::TRect& Rect, vcl::TOwnerDrawState State)>;

class TRgComboBox6 : public TRgDropDownEdit6, public IRgOwnerDrawn, public IRgStringsControl {
public:
    explicit TRgComboBox6(rtl::TComponent* AOwner);
    ~TRgComboBox6() override;

    unsigned AutoCompleteDelay() const { return FAutoCompleteDelay; }
    void SetAutoCompleteDelay(unsigned Value) { FAutoCompleteDelay = Value; }
    TRgStringsDisplayMode DisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(TRgStringsDisplayMode Value) { FDisplayMode = Value; }
    TRgDrawingOptions DrawingOptions() const { return FDrawingOptions; }
    void SetDrawingOptions(TRgDrawingOptions Value) { FDrawingOptions = Value; }
    TRgDrawingOptions GetDrawingOptions() override { return FDrawingOptions; }
    rtl::TStrings* Items() const { return FItems; }
    int ItemIndex() const { return FItemIndex; }
    vcl::TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(vcl::TColor Value) { FSelectionColor = Value; }
    vcl::TColor SelectionTextColor() const { return FSelectionTextColor; }
    void SetSelectionTextColor(vcl::TColor Value) { FSelectionTextColor = Value; }
    void SetListWidth(int Value) { FListWidth = Value; }
    rtl::String GetDisplayText(int Index);

    int GetAsInteger() override { return FItemIndex; }
    void SetAsInteger(int Value) override { SetItemIndex(Value); }

    // IRgStringsControl
    bool GetAutoComplete() override { return FAutoComplete; }
    int GetDropDownCount() override { return FDropDownCount; }
    int GetItemHeight() override { return FItemHeight; }
    int GetItemIndex() override { return FItemIndex; }
    rtl::TStrings* GetItems() override { return FItems; }
    vcl::TAlignment GetItemsAlignment() override { return FItemsAlignment; }
    int GetListWidth() override { return FListWidth; }
    void SetAutoComplete(bool Value) override { FAutoComplete = Value; }
    void SetDropDownCount(int Value) override { FDropDownCount = Value; }
    void SetItemHeight(int Value) override { FItemHeight = Value; }
    void SetItemIndex(int Value) override;
    void SetItems(rtl::TStrings* Value) override { FItems->Assign(Value); }
    void SetItemsAlignment(vcl::TAlignment Value) override { FItemsAlignment = Value; }
    bool DrawItem(int Index, const vcl::TRect& Rect, vcl::TOwnerDrawState State) override;
    void ChangeItemIndex(int Index, bool Notify) override;

    TRgDrawComboBoxItemEvent OnDrawItem;

protected:
    TRgPopupControl6* CreatePopupControl() override;
    virtual void DrawItemContent(int Index, const vcl::TRect& Rect, vcl::TOwnerDrawState State);
    virtual bool SelectText(rtl::String& S);
    virtual void DoItemsChange(rtl::TObject* Sender);
    virtual void DoDrawItem(int Index, const vcl::TRect& Rect, vcl::TOwnerDrawState State);
    vcl::TCanvas* ListCanvas() { return FPopupControl ? FPopupControl->GetCanvas() : EditCanvas(); }

    void KeyDown(WORD& Key, vcl::TShiftState Shift) override;
    void KeyPress(rtl::Char& Key) override;
    bool DoMouseWheelDown(vcl::TShiftState Shift, const vcl::TPoint& MousePos) override;
    bool DoMouseWheelUp(vcl::TShiftState Shift, const vcl::TPoint& MousePos) override;
    void CMTextChanged(vcl::TMessage& Message) override;

private:
    // Sets the text from the selection without the text change moving the selection again.
    void SetTextFromIndex(const rtl::String& Value);
    bool Backspace();
    void WheelStep(bool Down);

    unsigned FAutoCompleteDelay = 750;
    bool FAutoComplete = false;
    TRgStringsDisplayMode FDisplayMode = dmDefault;
    TRgDrawingOptions FDrawingOptions{doBackground, doContent};
    int FDropDownCount = 8;
    rtl::String FFilter;
    int FItemHeight = 13;
    int FItemIndex = -1;
    TRgStringList* FItems;
    vcl::TAlignment FItemsAlignment = vcl::taLeftJustify;
    DWORD FLastTime = 0;
    int FListWidth = 0;
    bool FUpdatingIndex = false;
    vcl::TColor FSelectionTextColor = vcl::clHighlightText;
    vcl::TColor FSelectionColor = vcl::clHighlight;
};

class TRgFontComboBox6 : public TRgComboBox6 {
public:
    explicit TRgFontComboBox6(rtl::TComponent* AOwner);

    bool PaintInFont() const { return FPaintInFont; }
    void SetPaintInFont(bool Value) { FPaintInFont = Value; }

protected:
    void DrawItemContent(int Index, const vcl::TRect& Rect, vcl::TOwnerDrawState State) override;
    void DoPreviewDraw(const vcl::TRect& Rect) override;

private:
    bool FPaintInFont = true;
};

} // namespace controls
