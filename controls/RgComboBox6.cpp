#include "controls/RgComboBox6.h"

#include "vcl/Forms.h"

namespace controls {

// ---- TRgDropDownButton6 ----

TRgDropDownButton6::TRgDropDownButton6(rtl::TComponent* AOwner) : TRgEditButton(AOwner) { SetBounds(0, 0, 16, 19); }

void TRgDropDownButton6::PaintContent() {
    TRgButtonState state;
    if (Hover()) state.Include(bsHover);
    if (Down()) state.Include(bsPressed);
    // The in-place interface sets the edit's state but does not report it: ask the owning edit.
    auto* edit = dynamic_cast<vcl::TControl*>(Owner());
    if (Edit() && edit && !edit->Enabled()) state.Include(bsDisabled);
    TRgDropButtonStyledView6::Paint(Canvas(), Handle(), ClientRect(), state, {soNativeStyles, soVCLStyles});
}

// ---- TRgDropDownEdit6 ----

TRgDropDownEdit6::TRgDropDownEdit6(rtl::TComponent* AOwner) : TRgCustomButtonEdit6(AOwner) { Init(); }

TRgDropDownEdit6::~TRgDropDownEdit6() = default;

TRgEditButton* TRgDropDownEdit6::CreateButton() {
    auto* button = new TRgDropDownButton6(this);
    button->SetAutoUp(false);
    return button;
}

void TRgDropDownEdit6::SetStyle(TRgDropDownStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    SetCursor(Value == dsDropDownList ? vcl::crArrow : vcl::crDefault);
    if (HandleAllocated()) SendMessageW(WindowHandle(), EM_SETREADONLY, Value == dsDropDownList, 0);
}

void TRgDropDownEdit6::SetDroppedDown(bool Value) {
    if (Value == FDroppedDown) return;
    FDroppedDown = Value;
    if (Value)
        DropDown();
    else
        CloseUp();
    if (FButton) FButton->SetDown(Value);
}

void TRgDropDownEdit6::DropDown() {
    if (!FPopupControl) {
        FPopupControl = CreatePopupControl();
        FPopupControl->Font()->Assign(Font());
    }
    BeforeDropDown();
    vcl::TPoint p(FPopupAnchor == paLeft ? Left() : Left() + Width(), Top() + Height());
    if (Parent()) p = Parent()->ClientToScreen(p);
    FPopupControl->Popup(p, FPopupAnchor);
    DoDropDown();
}

void TRgDropDownEdit6::CloseUp() {
    ReleaseCapture();
    TRgPopupControl6* popup = FPopupControl;
    FPopupControl = nullptr;
    // The popup may be inside its own mouse handling: it goes once that is done.
    if (popup) popup->Release();
    DoCloseUp();
}

bool TRgDropDownEdit6::CanDispatchKey(WORD Key) { return !FDroppedDown && TRgCustomButtonEdit6::CanDispatchKey(Key); }

void TRgDropDownEdit6::DoEnter() {
    TRgCustomButtonEdit6::DoEnter();
    if (FAutoDropDown) SetDroppedDown(true);
}

void TRgDropDownEdit6::KeyDown(WORD& Key, vcl::TShiftState Shift) {
    TRgCustomButtonEdit6::KeyDown(Key, Shift);
    if (Shift.Contains(vcl::ssAlt) && (Key == VK_UP || Key == VK_DOWN))
        SetDroppedDown(!FDroppedDown);
    else if (Key == VK_RETURN || Key == VK_ESCAPE)
        SetDroppedDown(false);
}

void TRgDropDownEdit6::CMFontChanged(vcl::TMessage& Message) {
    TRgCustomButtonEdit6::CMFontChanged(Message);
    if (FPopupControl) FPopupControl->Font()->Assign(Font());
}

void TRgDropDownEdit6::Dispatch(vcl::TMessage& Message) {
    const bool list = FStyle == dsDropDownList;
    switch (Message.Msg) {
    case WM_SETFOCUS:
        SendMessageW(WindowHandle(), EM_SETREADONLY, list, 0);
        TRgCustomButtonEdit6::Dispatch(Message);
        if (list) {
            DestroyCaret();
            Repaint();
        }
        return;
    case WM_KILLFOCUS:
        TRgCustomButtonEdit6::Dispatch(Message);
        if (list) Repaint();
        return;
    case WM_LBUTTONDOWN:
        TRgCustomButtonEdit6::Dispatch(Message);
        if (list) SetDroppedDown(!FDroppedDown);
        return;
    case WM_ERASEBKGND:
        if (list) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_PAINT:
        TRgCustomButtonEdit6::Dispatch(Message);
        if (list) PaintList();
        return;
    default: break;
    }
    TRgCustomButtonEdit6::Dispatch(Message);
}

void TRgDropDownEdit6::PaintList() {
    if (!HandleAllocated()) return;
    HWND wnd = WindowHandle();
    HDC dc = GetWindowDC(wnd);
    vcl::TCanvas canvas;
    canvas.SetHandle(dc);
    PaintListText(&canvas);
    canvas.SetHandle(nullptr);
    ReleaseDC(wnd, dc);
}

void TRgDropDownEdit6::PaintListText(vcl::TCanvas* Canvas) {
    Canvas->Font()->Assign(Font());
    if (Focused()) {
        Canvas->Brush()->SetColor(vcl::clHighlight);
        Canvas->Font()->SetColor(vcl::clHighlightText);
    } else {
        Canvas->Brush()->SetColor(Color());
    }
    vcl::TRect r = GetEditRect();
    Canvas->FillRect(r);
    r.Offset(2, 2);
    DrawText6(Canvas, r, vcl::taLeftJustify, taAlignTop, Text());
}

// ---- TRgComboBox6 ----

TRgComboBox6::TRgComboBox6(rtl::TComponent* AOwner) : TRgDropDownEdit6(AOwner), FItems(new TRgStringList) {
    FItems->OnChange = rtl::TNotifyEvent(this, &TRgComboBox6::DoItemsChange);
}

TRgComboBox6::~TRgComboBox6() {
    FItems->OnChange = nullptr;
    delete FItems;
}

TRgPopupControl6* TRgComboBox6::CreatePopupControl() { return new TRgStringsPopupControl6(this); }

rtl::String TRgComboBox6::GetDisplayText(int Index) {
    if (Index < 0 || Index >= FItems->Count()) return rtl::String();
    const rtl::String item = FItems->Strings(Index);
    const int eq = item.indexOf(u'=');
    const rtl::String name = eq < 0 ? rtl::String() : item.left(eq);
    switch (FDisplayMode) {
    case dmDefault: return item;
    case dmNameList: return name;
    default: return item.mid(name.length() + 1);  // after "name="; an item without one loses a character
    }
}

void TRgComboBox6::SetTextFromIndex(const rtl::String& Value) {
    const bool saved = FUpdatingIndex;
    FUpdatingIndex = true;
    SetText(Value);
    FUpdatingIndex = saved;
}

void TRgComboBox6::SetItemIndex(int Value) {
    if (!FUpdatingIndex) ChangeItemIndex(Value, false);
}

void TRgComboBox6::ChangeItemIndex(int Index, bool Notify) {
    if (Index < 0 || Index > FItems->Count() - 1 || Index == FItemIndex) return;
    FItemIndex = Index;
    SetTextFromIndex(GetDisplayText(Index));
    if (DroppedDown() && FPopupControl) {
        FPopupControl->UpdatePopup();
        Repaint();
    }
    if (Notify) DoSelect();
}

void TRgComboBox6::DoItemsChange(rtl::TObject*) {
    FItemIndex = -1;
    if (Style() == dsDropDownList) SetTextFromIndex(rtl::String());
}

bool TRgComboBox6::DrawItem(int Index, const vcl::TRect& Rect, vcl::TOwnerDrawState State) {
    vcl::TCanvas* c = ListCanvas();
    if (FDrawingOptions.Contains(doBackground)) {
        const bool selected = State.Contains(vcl::odSelected);
        c->Font()->SetColor(selected ? FSelectionTextColor : vcl::clWindowText);
        c->Brush()->SetColor(selected ? FSelectionColor : Color());
        c->FillRect(Rect);
    }
    if (FDrawingOptions.Contains(doContent)) DrawItemContent(Index, Rect, State);
    if (FDrawingOptions.Contains(doCustom)) DoDrawItem(Index, Rect, State);
    return true;
}

void TRgComboBox6::DrawItemContent(int Index, const vcl::TRect& Rect, vcl::TOwnerDrawState) {
    vcl::TRect r = Rect;
    r.Left += 2;
    DrawText6(ListCanvas(), r, FItemsAlignment, taVerticalCenter, GetDisplayText(Index));
}

void TRgComboBox6::DoDrawItem(int Index, const vcl::TRect& Rect, vcl::TOwnerDrawState State) {
    OnDrawItem(ListCanvas(), Index, Rect, State);
}

void TRgComboBox6::KeyDown(WORD& Key, vcl::TShiftState Shift) {
    TRgDropDownEdit6::KeyDown(Key, Shift);
    if (!Shift.Contains(vcl::ssAlt)) {
        switch (Key) {
        case VK_END: ChangeItemIndex(FItems->Count() - 1, true); break;
        case VK_HOME: ChangeItemIndex(0, true); break;
        case VK_UP: ChangeItemIndex(FItemIndex - 1, true); break;
        case VK_DOWN: ChangeItemIndex(FItemIndex + 1, true); break;
        default: break;
        }
    }
    if (DroppedDown() && FPopupControl && (Key == VK_PRIOR || Key == VK_NEXT)) FPopupControl->PopupKeyDown(Key, Shift);
}

bool TRgComboBox6::DoMouseWheelDown(vcl::TShiftState Shift, const vcl::TPoint& MousePos) {
    const bool result = TRgDropDownEdit6::DoMouseWheelDown(Shift, MousePos);
    WheelStep(true);
    return result;
}

bool TRgComboBox6::DoMouseWheelUp(vcl::TShiftState Shift, const vcl::TPoint& MousePos) {
    const bool result = TRgDropDownEdit6::DoMouseWheelUp(Shift, MousePos);
    WheelStep(false);
    return result;
}

// Over the open list the wheel scrolls it; over the closed box it selects and notifies, as the arrow keys
// do (a window that applies its choice in OnSelect must see every change).
void TRgComboBox6::WheelStep(bool Down) {
    if (!DroppedDown()) {
        ChangeItemIndex(FItemIndex + (Down ? 1 : -1), true);
    } else if (auto* list = dynamic_cast<IRgListPopup*>(FPopupControl)) {
        if (Down)
            list->ScrollPrior();
        else
            list->ScrollNext();
    }
}

void TRgComboBox6::CMTextChanged(vcl::TMessage& Message) {
    TRgDropDownEdit6::CMTextChanged(Message);
    if (FUpdatingIndex) return;
    if (FDisplayMode != dmDefault) {
        SetItemIndex(-1);
        return;
    }
    const rtl::String text = Text();
    for (int i = 0; i < FItems->Count(); ++i) {
        if (FItems->Strings(i).compare(text, Qt::CaseInsensitive) == 0) {
            SetItemIndex(i);
            return;
        }
    }
    SetItemIndex(-1);
}

namespace {
// Removes the last character of S (both halves of a surrogate pair) before Pos.
int CharBefore(const rtl::String& S, int Pos) {
    return Pos >= 2 && S[Pos - 1].isLowSurrogate() && S[Pos - 2].isHighSurrogate() ? 2 : 1;
}
} // namespace

// The Backspace of auto-completion; true when the key is used up here.
bool TRgComboBox6::Backspace() {
    const bool dropDown = Style() == dsDropDown;
    if (dropDown && SelLength() > 0) {
        const int start = SelStart();
        rtl::String t = Text();
        t.remove(start, SelLength());
        SetText(t);
        SetSelStart(start);
        return false;
    }
    if (dropDown && !Text().isEmpty()) {
        rtl::String t = Text();
        const int caret = SelStart();
        if (caret > 0) {
            const int n = CharBefore(t, caret);
            t.remove(caret - n, n);
            SetText(t);
            SetSelStart(caret - n);
        }
        FFilter = Text();
    } else if (!FFilter.isEmpty()) {
        FFilter.chop(CharBefore(FFilter, FFilter.length()));
    }
    Change();
    return true;
}

void TRgComboBox6::KeyPress(rtl::Char& Key) {
    TRgDropDownEdit6::KeyPress(Key);
    if (Key == 0) return;  // a handler took the key
    const bool dropDown = Style() == dsDropDown;
    if (dropDown) {
        FFilter = Text();
    } else {
        const DWORD now = GetTickCount();
        if (now - FLastTime >= FAutoCompleteDelay) FFilter.clear();
        FLastTime = now;
    }
    switch (Key) {
    case VK_BACK:
        if (FAutoComplete && Backspace()) Key = 0;
        return;
    case VK_TAB:
        if (AutoDropDown() && DroppedDown()) SetDroppedDown(false);
        return;
    case VK_RETURN:
    case VK_ESCAPE: return;
    default: break;
    }
    if (AutoDropDown()) SetDroppedDown(true);
    if (!FAutoComplete) return;
    rtl::String s = (dropDown && SelLength() > 0 ? FFilter.left(SelStart()) : FFilter) + rtl::String(Key);
    if (rtl::String(Key).front().isHighSurrogate()) {
        // The second half of the character waits in the queue; it is taken only on a match.
        MSG next;
        if (!HandleAllocated() || !PeekMessageW(&next, WindowHandle(), WM_CHAR, WM_CHAR, PM_NOREMOVE)) return;
        s += rtl::Char(static_cast<char16_t>(next.wParam));
        if (SelectText(s)) {
            PeekMessageW(&next, WindowHandle(), WM_CHAR, WM_CHAR, PM_REMOVE);
            Key = 0;
        }
        return;
    }
    if (SelectText(s)) Key = 0;
}

bool TRgComboBox6::SelectText(rtl::String& S) {
    if (S.isEmpty()) {
        SetItemIndex(-1);
        Change();
        return false;
    }
    int found = -1;
    for (int i = 0; i < FItems->Count() && found < 0; ++i) {
        const rtl::String candidate = FDisplayMode == dmValueList ? GetDisplayText(i) : FItems->Strings(i);
        if (candidate.startsWith(S, Qt::CaseInsensitive)) found = i;
    }
    if (found < 0) return false;
    const bool changed = found != FItemIndex;
    SetItemIndex(found);
    if (FDisplayMode == dmDefault || FDisplayMode == dmValueList) {
        const rtl::String t = FDisplayMode == dmDefault ? FItems->Strings(found) : GetDisplayText(found);
        S = t.left(S.length());
        if (Style() == dsDropDown) {
            SetTextFromIndex(S + t.mid(S.length()));
            SendMessageW(Handle(), EM_SETSEL, WPARAM(S.length()), LPARAM(-1));
        } else {
            SetItemIndex(found);
            FFilter = S;
        }
    }
    if (changed) {
        Click();
        if (OnSelect)
            OnSelect(this);
        else
            Change();
    }
    return true;
}

// ---- TRgFontComboBox6 ----

TRgFontComboBox6::TRgFontComboBox6(rtl::TComponent* AOwner) : TRgComboBox6(AOwner) {
    if (vcl::Screen) Items()->Assign(vcl::Screen->Fonts());
}

void TRgFontComboBox6::DrawItemContent(int Index, const vcl::TRect& Rect, vcl::TOwnerDrawState State) {
    if (!FPaintInFont) {
        TRgComboBox6::DrawItemContent(Index, Rect, State);
        return;
    }
    vcl::TCanvas* c = ListCanvas();
    c->Font()->SetName(Items()->Strings(Index));
    vcl::TRect r = Rect;
    r.Left += 2;
    DrawText6(c, r, vcl::taLeftJustify, taVerticalCenter, Items()->Strings(Index));
}

void TRgFontComboBox6::DoPreviewDraw(const vcl::TRect& Rect) {
    TRgComboBox6::DoPreviewDraw(Rect);
    vcl::TCanvas* c = EditCanvas();
    c->Brush()->SetColor(vcl::clHighlight);
    c->Font()->SetSize(8);
    c->Font()->SetColor(vcl::clHighlightText);
    c->Font()->SetName(Text());
    c->TextRect(Rect, Rect.Left, Rect.Top, u"ab"_qs);
}

} // namespace controls
