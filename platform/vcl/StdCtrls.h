// vcl/StdCtrls.h: the standard controls: labels (windowless), push buttons, check boxes, radio buttons
// and group boxes over the platform's "Button" class, edits and memos over "Edit", list boxes, combo
// boxes and scroll bars.
#pragma once
#include "vcl/Controls.h"
#include "vcl/Forms.h"

namespace vcl {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
using TLeftRight = TAlignment;
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TEllipsisPosition { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
// Scoped: ssHorizontal is a shift state too. The others are at hand unscoped as well.
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
constexpr TScrollStyle ssNone = TScrollStyle::ssNone, ssVertical = TScrollStyle::ssVertical,
                       ssBoth = TScrollStyle::ssBoth;
enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
// The low 16 bits of an owner-drawn item's ODS_* state, bit for bit.
enum TOwnerDrawStateItem {
    odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
    odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = rtl::TSet<TOwnerDrawStateItem>;
inline TOwnerDrawState OwnerDrawStateOf(UINT ItemState) { return TOwnerDrawState::FromBits(ItemState & 0xFFFF); }

using TDrawItemEvent = rtl::TEvent<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = rtl::TEvent<void(TWinControl* Control, int Index, int& Height)>;
using TScrollBarInc = short;
using TScrollEvent = rtl::TEvent<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// True when the caption marks Key as its accelerator ("&F" in "&File"; "&&" is a plain ampersand).
bool IsAccel(WORD Key, const String& Caption);

class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TEllipsisPosition EllipsisPosition() const { return FEllipsisPosition; }
    void SetEllipsisPosition(TEllipsisPosition Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    // The glow behind the caption on glass; kept, not drawn (there is no glass here).
    int GlowSize() const { return FGlowSize; }
    void SetGlowSize(int Value) { FGlowSize = Value; }

protected:
    // The label's own resizing step after a change of its text or its layout (with AutoSize).
    virtual void AdjustBounds();
    void Paint() override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void Dispatch(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void Notification(TComponent* AComponent, rtl::TOperation Operation) override;
    virtual void CMDialogChar(TCMDialogChar& Message);
    // The DT_ flags the text is drawn and measured with.
    UINT DrawTextFlags() const;

private:
    // Not TControl::Changed (which tells the parent): the label refits and repaints itself.
    void TextLayoutChanged();
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    TEllipsisPosition FEllipsisPosition = epNone;
    TWinControl* FFocusControl = nullptr;
    int FGlowSize = 0;
};

class TLabel : public TCustomLabel {
public:
    using TCustomLabel::TCustomLabel;
};

// A control over a platform "Button" window; ClicksDisabled keeps programmatic changes from clicking.
class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* AOwner);

protected:
    bool ClicksDisabled() const { return FClicksDisabled; }
    void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    virtual void CNCommand(TWMCommand& Message) { (void)Message; }
    bool FClicksDisabled = false;
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* AOwner);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    void Click() override;

protected:
    // The window's look of the default button (called when Default changes).
    virtual void SetButtonStyle(bool ADefault);
    void CreateParams(TCreateParams& Params) override;
    void CNCommand(TWMCommand& Message) override;
    void CMDialogKey(TCMDialogKey& Message) override;

private:
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
};

class TCustomCheckBox : public TButtonControl {
public:
    explicit TCustomCheckBox(TComponent* AOwner);
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight Value);

protected:
    // The next state a click gives: unchecked, checked, then grayed where allowed.
    virtual void Toggle();
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CNCommand(TWMCommand& Message) override;

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TLeftRight FAlignment = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
public:
    using TCustomCheckBox::TCustomCheckBox;
};

// Checking one unchecks its siblings that are radio buttons too.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CNCommand(TWMCommand& Message) override;

private:
    bool FChecked = false;
};

class TCustomGroupBox : public TCustomControl {
public:
    explicit TCustomGroupBox(TComponent* AOwner);

protected:
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;
};

class TGroupBox : public TCustomGroupBox {
public:
    using TCustomGroupBox::TCustomGroupBox;
};

// A single-line edit over the platform's "Edit" window; OnChange follows EN_CHANGE, once per change of
// the text, whoever made it.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);

    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);
    String SelText();
    void SetSelText(const String& Value);
    void SelectAll();
    void Clear() { SetText(String()); }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    rtl::Char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(rtl::Char Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool NumbersOnly() const { return FNumbersOnly; }
    void SetNumbersOnly(bool Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool Modified();
    void SetModified(bool Value);
    String TextHint() const { return FTextHint; }
    void SetTextHint(const String& Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The whole text is selected when the focus arrives other than by a click (single-line edits).
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    // With AutoSize, the height holds one line of the font with its margins and the frame.
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void CMFontChanged(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage& Message) override;

private:
    void GetSel(int& Start, int& End);
    void PaintTextHint(HDC DC);
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

    int FMaxLength = 0;
    rtl::Char FPasswordChar = 0;
    bool FReadOnly = false;
    bool FNumbersOnly = false;
    TEditCharCase FCharCase = ecNormal;
    bool FModified = false;
    bool FCreating = false;
    String FTextHint;
    TBorderStyle FBorderStyle = bsSingle;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSelect = true;
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};

// A multi-line edit. Lines reads and writes the window's lines (as the window breaks them, so a
// word-wrapped memo counts its wrapped lines); an empty last line is not counted.
class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    rtl::TStrings* Lines() const { return FLines.get(); }
    void SetLines(rtl::TStrings* Value) { FLines->Assign(Value); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    // Line and column of the caret, both from 0.
    TPoint CaretPos();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void KeyPress(rtl::Char& Key) override;

private:
    std::unique_ptr<rtl::TStrings> FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
};

class TMemo : public TCustomMemo {
public:
    using TCustomMemo::TCustomMemo;
};

namespace detail {
class TItemStrings;  // the items of a list box or a combo box, kept by the window while it exists
}

// What list boxes and combo boxes share: items kept by the window while it exists and by the control
// between windows, and owner-drawn items painted on the control's canvas.
class TCustomListControl : public TWinControl {
public:
    ~TCustomListControl() override;
    rtl::TStrings* Items() const;
    void SetItems(rtl::TStrings* Value);
    TCanvas* Canvas() const { return FCanvas.get(); }

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    TCustomListControl(TComponent* AOwner, bool Combo);
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    virtual bool VariableItemHeight() const = 0;
    // CN_DRAWITEM and CN_MEASUREITEM: true when Message was one of them (and is answered).
    bool OwnerDrawMessage(TMessage& Message);

    std::unique_ptr<detail::TItemStrings> FItems;
    std::unique_ptr<TControlCanvas> FCanvas;
    int FItemHeight = 16;
};

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };

// A list over the platform's "ListBox". Items live in the window while it exists and are kept by the
// control between windows; OnClick follows a selection the user changes, not one set in code.
class TCustomListBox : public TCustomListControl {
public:
    explicit TCustomListBox(TComponent* AOwner);

    int Count() const;
    int ItemIndex();
    void SetItemIndex(int Value);
    bool Selected(int Index);
    void SetSelected(int Index, bool Value);
    int SelCount();
    void ClearSelection();
    void SelectAll();
    void DeleteSelected();
    void Clear();
    int TopIndex();
    void SetTopIndex(int Value);
    // The item at a client point: -1 when none, or with Existing false the index after the last item.
    int ItemAtPos(const TPoint& Pos, bool Existing);
    TRect ItemRect(int Index);

    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value) { SetWindowField(FMultiSelect, Value); }
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool Value) { SetWindowField(FExtendedSelect, Value); }
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value) { SetWindowField(FStyle, Value); }
    int ItemHeight();
    void SetItemHeight(int Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value) { SetWindowField(FBorderStyle, Value); }

protected:
    bool VariableItemHeight() const override { return FStyle == lbOwnerDrawVariable || FStyle == lbVirtualOwnerDraw; }
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage& Message) override;

private:
    template <class T> void SetWindowField(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        RecreateWnd();
    }
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) { return SendMessageW(WindowHandle(), Msg, WParam, LParam); }

    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    bool FSorted = false;
    TListBoxStyle FStyle = lbStandard;
    TBorderStyle FBorderStyle = bsSingle;
    int FSavedIndex = -1;
    int FSavedTop = 0;
    std::vector<int> FSavedSelection;
};

class TListBox : public TCustomListBox {
public:
    using TCustomListBox::TCustomListBox;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

// A combo box over the platform's "ComboBox". OnChange follows an edit of the text and a choice from
// the list (unless OnSelect takes the choice); setting ItemIndex or Text in code fires nothing.
class TCustomComboBox : public TCustomListControl {
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    int ItemIndex();
    void SetItemIndex(int Value);
    void Clear();
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    int ItemHeight();
    void SetItemHeight(int Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    bool DroppedDown();
    void SetDroppedDown(bool Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);
    void SelectAll();
    // The edit inside a drop-down or simple combo box (none in a drop-down list).
    HWND EditHandle() const { return FEditHandle; }
    // Typing completes from Items: the item that starts with what was typed is chosen and, in an edit,
    // its untyped tail is shown selected. A drop-down list gathers keys typed within AutoCompleteDelay.
    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool Value) { FAutoComplete = Value; }
    unsigned AutoCompleteDelay() const { return FAutoCompleteDelay; }
    void SetAutoCompleteDelay(unsigned Value) { FAutoCompleteDelay = Value; }
    // Typing drops the list down; typing an item's whole text closes it.
    bool AutoDropDown() const { return FAutoDropDown; }
    void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
    bool AutoCloseUp() const { return FAutoCloseUp; }
    void SetAutoCloseUp(bool Value) { FAutoCloseUp = Value; }
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool Focused() const override;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();
    // Chooses the first item starting with AnItem (any case); false when none does.
    virtual bool SelectItem(const String& AnItem);
    void KeyPress(rtl::Char& Key) override;
    bool VariableItemHeight() const override { return FStyle == csOwnerDrawVariable; }
    // Every message of the inner edit passes here; DefEditHandler is the edit's own procedure.
    virtual void EditWndProc(TMessage& Message);
    void DefEditHandler(TMessage& Message);
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage& Message) override;

private:
    bool OwnerDrawn() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
    void AdjustDropDown();
    void HookEdit();
    void UnhookEdit();
    static LRESULT CALLBACK EditHook(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void GetSel(int& Start, int& End);
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) { return SendMessageW(WindowHandle(), Msg, WParam, LParam); }

    TComboBoxStyle FStyle = csDropDown;
    HWND FEditHandle = nullptr;
    WNDPROC FDefEditProc = nullptr;
    int FDropDownCount = 8;
    bool FSorted = false;
    int FMaxLength = 0;
    int FSavedIndex = -1;
    bool FCreating = false;
    bool FQuiet = false; // the edit's changes are our own, not the user's
    bool FAutoComplete = true;
    unsigned FAutoCompleteDelay = 500;
    bool FAutoDropDown = false;
    bool FAutoCloseUp = false;
    TEditCharCase FCharCase = ecNormal;
    String FFilter;
    DWORD FLastTime = 0;
};

class TComboBox : public TCustomComboBox {
public:
    using TCustomComboBox::TCustomComboBox;
};

// A scroll bar as a control: Position within Min..Max (less a page), moved by the user in SmallChange
// and LargeChange steps; OnScroll may change where a step lands, OnChange follows every new position.
class TScrollBar : public TWinControl {
public:
    explicit TScrollBar(TComponent* AOwner);

    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
    int Min() const { return FMin; }
    void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    TScrollBarInc SmallChange() const { return FSmallChange; }
    void SetSmallChange(TScrollBarInc Value) { FSmallChange = Value; }
    TScrollBarInc LargeChange() const { return FLargeChange; }
    void SetLargeChange(TScrollBarInc Value) { FLargeChange = Value; }
    // Raises EInvalidOperation when Max is below Min or below the page.
    void SetParams(int APosition, int AMin, int AMax);

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

protected:
    virtual void Change();
    virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;

private:
    void DoScroll(TWMScroll& Message);
    void UpdateWindow();
    int LastPosition() const { return FMax - (FPageSize > 0 ? FPageSize - 1 : 0); }

    TScrollBarKind FKind = sbHorizontal;
    int FPosition = 0;
    int FMin = 0;
    int FMax = 100;
    int FPageSize = 0;
    TScrollBarInc FSmallChange = 1;
    TScrollBarInc FLargeChange = 1;
};

} // namespace vcl
