#include "controls/RgEdit6.h"

namespace controls {

namespace {

constexpr vcl::TColor ValidColor = vcl::TColor(0x0050B000);
constexpr vcl::TColor InvalidColor = vcl::TColor(0x000000FF);
constexpr int PreviewWidth = 20, PreviewIndent = 23;

bool IsCaretKey(WORD Key) {
    return Key == VK_END || Key == VK_HOME || Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN;
}

} // namespace

// ---- TRgCustomEdit6 ----

namespace {

// The in-place operations over the edit's own members.
class TInplaceEdit final : public IRgInplaceEdit {
public:
    explicit TInplaceEdit(TRgCustomEdit6* AEdit) : E(AEdit) {}
    rtl::TNotifyEvent GetOnChange() override { return E->OnChange; }
    vcl::TPadding* GetPadding() override { return E->Padding(); }
    bool GetShowing() override { return E->Showing(); }
    rtl::String GetEditText() override { return E->GetEditText(); }
    void SetAlignment(vcl::TAlignment Value) override { E->SetAlignment(Value); }
    void SetAutoSelect(bool Value) override { E->SetAutoSelect(Value); }
    void SetEditOptions(TRgEditOptions Value) override { E->SetEditOptions(Value); }
    void SetOnChange(const rtl::TNotifyEvent& Value) override { E->OnChange = Value; }
    void SetReadOnly(bool Value) override { E->SetReadOnly(Value); }
    void SetText(const rtl::String& Value) override { E->SetText(Value); }
    void SetWantTabs(bool Value) override { E->SetWantTabs(Value); }
    HWND GetHandle() override { return E->Handle(); }
    void SetColor(vcl::TColor Value) override { E->SetColor(Value); }
    void SetFont(vcl::TFont* Value) override { E->SetFont(Value); }
    void SetPadding(vcl::TPadding* Value) override { E->Padding()->Assign(Value); }
    void SetEnabled(bool Value) override { E->SetEnabled(Value); }
    void SetParent(vcl::TWinControl* Value) override { E->SetParent(Value); }
    void Assign(rtl::TPersistent* Source) override { E->Assign(Source); }
    void AssignValue(IRgBase* Source) override { E->AssignValue(Source); }
    void PrepareInplaceEdit() override { E->PrepareInplaceEdit(); }
    void BeginEditWithKey(rtl::Char Key) override { E->BeginEditWithKey(Key); }
    bool CanDispatchKey(WORD Key) override { return E->CanDispatchKey(Key); }
    void EndEditing() override { E->EndEditing(); }
    bool Focused() override { return E->Focused(); }
    void Free() override { delete E; }
    void Hide() override { E->Hide(); }
    void SelectAll() override { E->SelectAll(); }
    void SetEditMargins(uint16_t Leading, uint16_t Trailing) override { E->SetEditMargins(Leading, Trailing); }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override { E->SetBounds(ALeft, ATop, AWidth, AHeight); }
    void SetFocus() override { E->SetFocus(); }
    void Show() override { E->Show(); }

private:
    TRgCustomEdit6* E;
};

class TEditButtonFace final : public IRgEditButton {
public:
    explicit TEditButtonFace(TRgEditButton* AButton) : B(AButton) {}
    vcl::TAlign GetAlign() override { return B->Align(); }
    bool GetAutoUp() override { return B->AutoUp(); }
    rtl::String GetCaption() override { return B->Caption(); }
    bool GetDown() override { return B->Down(); }
    IRgInplaceEdit* GetEdit() override { return B->Edit(); }
    HWND GetHandle() override { return B->Handle(); }
    bool GetHover() override { return B->Hover(); }
    int GetLeft() override { return B->Left(); }
    rtl::TNotifyEvent GetOnButtonClick() override { return B->OnButtonClick; }
    rtl::TNotifyEvent GetOnDown() override { return B->OnDown; }
    rtl::TNotifyEvent GetOnUp() override { return B->OnUp; }
    vcl::TWinControl* GetParent() override { return B->Parent(); }
    bool GetVisible() override { return B->Visible(); }
    int GetWidth() override { return B->Width(); }
    void SetAlign(vcl::TAlign Value) override { B->SetAlign(Value); }
    void SetAutoUp(bool Value) override { B->SetAutoUp(Value); }
    void SetCaption(const rtl::String& Value) override { B->SetCaption(Value); }
    void SetDown(bool Value) override { B->SetDown(Value); }
    void SetEdit(IRgInplaceEdit* Value) override { B->SetEdit(Value); }
    void SetHover(bool Value) override { B->SetHover(Value); }
    void SetLeft(int Value) override { B->SetLeft(Value); }
    void SetOnButtonClick(const rtl::TNotifyEvent& Value) override { B->OnButtonClick = Value; }
    void SetOnDown(const rtl::TNotifyEvent& Value) override { B->OnDown = Value; }
    void SetOnUp(const rtl::TNotifyEvent& Value) override { B->OnUp = Value; }
    void SetParent(vcl::TWinControl* Value) override { B->SetParent(Value); }
    void SetVisible(bool Value) override { B->SetVisible(Value); }
    void SetWidth(int Value) override { B->SetWidth(Value); }
    void Invalidate() override { B->Invalidate(); }

private:
    TRgEditButton* B;
};

class TButtonEditFace final : public IRgButtonEdit {
public:
    explicit TButtonEditFace(TRgCustomButtonEdit6* AEdit) : E(AEdit) {}
    void SetOnButtonClick(const rtl::TNotifyEvent& Value) override { E->OnButtonClick = Value; }

private:
    TRgCustomButtonEdit6* E;
};

} // namespace

TRgCustomEdit6::TRgCustomEdit6(rtl::TComponent* AOwner)
    : vcl::TCustomEdit(AOwner), FCanvas(new vcl::TControlCanvas), FInplaceEdit(std::make_unique<TInplaceEdit>(this)) {
    FCanvas->SetControl(this);
    SetControlStyle(ControlStyle() + vcl::TControlStyle{vcl::csAcceptsControls});
    Padding()->OnChange = rtl::TNotifyEvent(this, &TRgCustomEdit6::PaddingChanged);
}

TRgCustomEdit6::~TRgCustomEdit6() { delete FCanvas; }

void TRgCustomEdit6::PaddingChanged(rtl::TObject*) {
    UpdateMargins();
    UpdateFrame();
}

void TRgCustomEdit6::SetShowPreview(bool Value) {
    if (Value == FShowPreview) return;
    FShowPreview = Value;
    UpdateFrame();
}

void TRgCustomEdit6::SetStyleOptions(TRgStyleOptions Value) {
    if (Value == FStyleOptions) return;
    FStyleOptions = Value;
    Invalidate();
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->Invalidate();
}

bool TRgCustomEdit6::CanStyle(TRgStyleOption Option) {
    if (!FStyleOptions.Contains(Option)) return false;
    if (Option == soNativeStyles) return IsNativeThemeActive();
    return !ComponentState().Contains(rtl::csDesigning) && IsVCLStyleActive6();
}

void TRgCustomEdit6::SetValidationResult(TRgValidationResult Value) {
    if (Value == FValidationResult) return;
    FValidationResult = Value;
    if (HandleAllocated()) RedrawFrame(vcl::TRect(1, 1, Width() - 1, Height() - 1));
}

// RedrawWindow takes client coordinates; the frame and the preview box lie outside the client area, so
// a rectangle in client terms would leave them as they were.
void TRgCustomEdit6::RedrawFrame(const vcl::TRect& WindowRect) {
    RECT wr;
    GetWindowRect(WindowHandle(), &wr);
    const vcl::TPoint origin = ScreenToClient(vcl::TPoint(wr.left, wr.top));
    RECT r = WindowRect;
    OffsetRect(&r, origin.X, origin.Y);
    RedrawWindow(WindowHandle(), &r, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

TRgValidationResult TRgCustomEdit6::Validate(const rtl::String& Value) {
    TRgValidationResult result = vrUnchecked;
    if (FValidator) result = FValidator->Validate(this);
    DoValidate(Value, result);
    SetValidationResult(result);
    return result;
}

void TRgCustomEdit6::Assign(rtl::TPersistent* Source) {
    auto* edit = dynamic_cast<TRgCustomEdit6*>(Source);
    if (!edit) {
        vcl::TCustomEdit::Assign(Source);
        return;
    }
    SetAlignment(edit->Alignment());
    FEditOptions = edit->FEditOptions;
    Padding()->Assign(edit->Padding());
    SetShowPreview(edit->FShowPreview);
    SetValidationResult(edit->FValidationResult);
    FValidationTriggers = edit->FValidationTriggers;
    FWantReturns = edit->FWantReturns;
    FWantTabs = edit->FWantTabs;
}

bool TRgCustomEdit6::GetAsBoolean() { return Text() == u"1"_qs; }

rtl::TDateTime TRgCustomEdit6::GetAsDateTime() { return rtl::StrToDateTimeDef(Text(), 0); }

double TRgCustomEdit6::GetAsFloat() { return rtl::StrToFloatDef(Text(), 0); }

int TRgCustomEdit6::GetAsInteger() {
    int v = 0;
    return rtl::TryStrToInt(Text(), v) ? v : 0;
}

void TRgCustomEdit6::PrepareInplaceEdit() {
    SetAutoSelect(true);
    SetAutoSize(false);
    SetBorderStyle(vcl::bsNone);
    SetWantTabs(true);
}

void TRgCustomEdit6::BeginEditWithKey(rtl::Char Key) {
    SetText(rtl::String());
    PrepareInplaceEdit();
    SetAutoSelect(false);
    SendMessageW(Handle(), WM_CHAR, WPARAM(Key), 0);
    SetSelStart(Text().length());
}

vcl::TRect TRgCustomEdit6::GetEditRect() {
    vcl::TRect r = ClientRect();
    const int offset = BorderOffset();
    r.Offset(offset + Padding()->Left(), offset + Padding()->Top());
    const LRESULT margins = HandleAllocated() ? SendMessageW(WindowHandle(), EM_GETMARGINS, 0, 0) : 0;
    r.Left += LOWORD(margins);
    r.Right -= FShowPreview ? 1 : HIWORD(margins);
    if (FShowPreview) r.Left = offset + PreviewIndent;
    return r;
}

bool TRgCustomEdit6::CanDispatchKey(WORD Key) {
    switch (Key) {
    case VK_BACK:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_DELETE: return false;
    case VK_UP:
    case VK_DOWN: return GetKeyState(VK_MENU) >= 0;
    default: return true;
    }
}

void TRgCustomEdit6::SetEditMargins(uint16_t Leading, uint16_t Trailing) {
    FEditPadding.Leading = Leading;
    FEditPadding.Trailing = Trailing;
    UpdateMargins();
}

vcl::TRect TRgCustomEdit6::GetPreviewRect() {
    vcl::TRect r(0, 0, Width(), Height());
    const int shrink = BorderOffset() + 1;
    r.Left += shrink;
    r.Top += shrink;
    r.Right -= shrink;
    r.Bottom -= shrink;
    r.Right = r.Left + PreviewWidth;
    return r;
}

void TRgCustomEdit6::UpdateMargins() {
    if (!HandleAllocated()) return;
    int left = FEditPadding.Leading, right = FEditPadding.Trailing;
    for (int i = 0; i < ControlCount(); ++i) {
        vcl::TControl* c = Controls(i);
        if (!c->Visible()) continue;
        if (c->Align() == vcl::alLeft) left += c->Width();
        if (c->Align() == vcl::alRight) right += c->Width();
    }
    SendMessageW(WindowHandle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(left, right));
}

void TRgCustomEdit6::UpdateFrame() {
    if (!HandleAllocated()) return;
    SetWindowPos(WindowHandle(), nullptr, Left(), Top(), Width(), Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
}

void TRgCustomEdit6::RefreshPreview() {
    if (!FShowPreview || !HandleAllocated()) return;
    vcl::TRect r = GetPreviewRect();
    r.Inflate(-1, -1);
    RedrawFrame(r);
}

void TRgCustomEdit6::CreateParams(vcl::TCreateParams& Params) {
    vcl::TCustomEdit::CreateParams(Params);
    Params.Style |= ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_CLIPCHILDREN;
}

void TRgCustomEdit6::CreateWnd() {
    vcl::TCustomEdit::CreateWnd();
    UpdateMargins();
}

void TRgCustomEdit6::AlignControls(vcl::TControl* AControl, vcl::TRect& Rect) {
    vcl::TCustomEdit::AlignControls(AControl, Rect);
    UpdateMargins();
}

void TRgCustomEdit6::Change() {
    vcl::TCustomEdit::Change();
    RefreshPreview();
}

void TRgCustomEdit6::DoExit() {
    vcl::TCustomEdit::DoExit();
    if (FValidationTriggers.Contains(vtLeave)) Validate(Text());
}

void TRgCustomEdit6::KeyDown(WORD& Key, vcl::TShiftState Shift) {
    if (FEditOptions.Contains(edTyping) || IsCaretKey(Key)) vcl::TCustomEdit::KeyDown(Key, Shift);
}

void TRgCustomEdit6::KeyUp(WORD& Key, vcl::TShiftState Shift) {
    vcl::TCustomEdit::KeyUp(Key, Shift);
    if (FValidationTriggers.Contains(vtTyping)) Validate(Text());
}

void TRgCustomEdit6::CMTextChanged(vcl::TMessage& Message) {
    vcl::TCustomEdit::CMTextChanged(Message);
    RefreshPreview();
    if (FValidationTriggers.Contains(vtTextChanged)) Validate(Text());
}

bool TRgCustomEdit6::InPreview(LPARAM ScreenPoint) {
    RECT wr;
    GetWindowRect(WindowHandle(), &wr);
    const vcl::TPoint p(static_cast<short>(LOWORD(ScreenPoint)) - wr.left,
                        static_cast<short>(HIWORD(ScreenPoint)) - wr.top);
    return GetPreviewRect().Contains(p);
}

void TRgCustomEdit6::NCPaint(vcl::TMessage& Message) {
    vcl::TCustomEdit::Dispatch(Message);
    PaintNonClient();
    if (!FShowPreview) return;
    HWND wnd = WindowHandle();
    HDC dc = GetWindowDC(wnd);
    FCanvas->Lock();
    FCanvas->SetHandle(dc);
    struct Unbind {
        vcl::TControlCanvas* c;
        HWND w;
        HDC dc;
        ~Unbind() {
            c->SetHandle(nullptr);
            c->Unlock();
            ReleaseDC(w, dc);
        }
    } unbind{FCanvas, wnd, dc};
    PaintPreview();
}

void TRgCustomEdit6::Dispatch(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_PASTE:
        if (FEditOptions.Contains(edPaste)) vcl::TCustomEdit::Dispatch(Message);
        return;
    case WM_GETDLGCODE:
        vcl::TCustomEdit::Dispatch(Message);
        if (FWantTabs)
            Message.Result |= DLGC_WANTTAB;
        else
            Message.Result &= ~LRESULT(DLGC_WANTTAB);
        if (FWantReturns) Message.Result |= DLGC_WANTALLKEYS;
        return;
    case WM_NCCALCSIZE: {
        vcl::TCustomEdit::Dispatch(Message);
        if (!Message.LParam) return;
        RECT& r = Message.WParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                                 : *reinterpret_cast<RECT*>(Message.LParam);
        const int extra = HasValidation() ? 1 : 0;
        r.left += Padding()->Left() + (FShowPreview ? PreviewIndent : 0) + extra;
        r.top += Padding()->Top() + extra;
        r.right -= Padding()->Right() + extra;
        r.bottom -= Padding()->Bottom() + extra;
        return;
    }
    case WM_NCPAINT: NCPaint(Message); return;
    case WM_NCACTIVATE:
        DefaultHandler(Message);
        if (FShowPreview && HandleAllocated()) {
            HDC dc = GetWindowDC(WindowHandle());
            FCanvas->SetHandle(dc);
            PaintPreview();
            FCanvas->SetHandle(nullptr);
            ReleaseDC(WindowHandle(), dc);
        }
        return;
    case WM_NCLBUTTONDOWN:
        vcl::TCustomEdit::Dispatch(Message);
        if (FShowPreview && InPreview(Message.LParam)) FNCLButtonDown = true;
        return;
    case WM_NCLBUTTONUP: {
        DefaultHandler(Message);
        const bool click = FNCLButtonDown && FShowPreview && InPreview(Message.LParam);
        FNCLButtonDown = false;
        if (click) OnPreviewClick(this);
        return;
    }
    case WM_SIZE:
        vcl::TCustomEdit::Dispatch(Message);
        UpdateMargins();
        return;
    default: vcl::TCustomEdit::Dispatch(Message);
    }
}

void TRgCustomEdit6::PaintNonClient() {
    PaintPadding();
    if (BorderStyle() == vcl::bsSingle) PaintValidationFrame();
}

void TRgCustomEdit6::PaintPadding() {
    if (BorderStyle() == vcl::bsNone || !HandleAllocated()) return;
    HWND wnd = WindowHandle();
    HDC dc = GetWindowDC(wnd);
    HPEN pen = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(vcl::ColorToRGB(Color())));
    HGDIOBJ old = SelectObject(dc, pen);
    const int w = ClientWidth();
    for (int y = BorderStyle() == vcl::bsSingle ? 1 : 0; y <= Padding()->Top(); ++y) {
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, w, y);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
    ReleaseDC(wnd, dc);
}

void TRgCustomEdit6::PaintValidationFrame() {
    if (!HandleAllocated()) return;
    const vcl::TColor c = FValidationResult == vrValid     ? ValidColor
                          : FValidationResult == vrInvalid ? InvalidColor
                                                           : Color();
    HWND wnd = WindowHandle();
    HDC dc = GetWindowDC(wnd);
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(vcl::ColorToRGB(c)));
    RECT r{1, 1, Width() - 1, Height() - 1};
    FrameRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(wnd, dc);
}

void TRgCustomEdit6::PaintPreview() {
    vcl::TRect r = GetPreviewRect();
    vcl::TCanvas* c = FCanvas;
    c->Brush()->SetColor(Color());
    vcl::TRect outer = r;
    outer.Inflate(1, 1);
    c->FrameRect(outer);
    c->Pen()->SetColor(Color());
    c->MoveTo(r.Right, r.Top);
    c->LineTo(r.Right, r.Bottom);
    c->Brush()->SetColor(vcl::TColor(0x00808080));
    c->FrameRect(r);
    r.Inflate(-1, -1);
    DoPreviewDraw(r);
}

// ---- TRgEditButton ----

TRgEditButton::TRgEditButton(rtl::TComponent* AOwner)
    : vcl::TCustomControl(AOwner), FEditButton(std::make_unique<TEditButtonFace>(this)) {
    auto* edit = dynamic_cast<TRgCustomEdit6*>(AOwner);
    FEdit = edit ? edit->InplaceEdit() : nullptr;
}

void TRgEditButton::SetCaption(const rtl::String& Value) {
    FCaption = Value;
    Invalidate();
}

void TRgEditButton::SetDown(bool Value) {
    if (Value == FDown) return;
    FDown = Value;
    Repaint();
    if (FDown)
        DoDown();
    else
        DoUp();
}

void TRgEditButton::SetHover(bool Value) {
    if (Value == FHover) return;
    FHover = Value;
    Invalidate();
}

void TRgEditButton::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    vcl::TCustomControl::MouseDown(Button, Shift, X, Y);
    SetDown(!FDown);
    FMouseDown = true;
    if (FEdit && FEdit->GetShowing()) FEdit->SetFocus();
}

void TRgEditButton::MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    vcl::TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FAutoUp) SetDown(false);
    if (!FMouseDown) return;
    FMouseDown = false;
    DoButtonClick();
}

void TRgEditButton::CMMouseEnter(vcl::TCMMouseEnterLeave& Message) {
    vcl::TCustomControl::CMMouseEnter(Message);
    if (!ComponentState().Contains(rtl::csDesigning)) SetHover(true);
}

void TRgEditButton::CMMouseLeave(vcl::TCMMouseEnterLeave& Message) {
    vcl::TCustomControl::CMMouseLeave(Message);
    if (!ComponentState().Contains(rtl::csDesigning)) SetHover(false);
}

void TRgEditButton::Dispatch(vcl::TMessage& Message) {
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return;
    }
    vcl::TCustomControl::Dispatch(Message);
}

// ---- TRgCustomButtonEdit6 ----

TRgCustomButtonEdit6::TRgCustomButtonEdit6(rtl::TComponent* AOwner)
    : TRgEdit6(AOwner), FButtonEdit(std::make_unique<TButtonEditFace>(this)) {}

void TRgCustomButtonEdit6::Init() {
    FButton = CreateButton();
    if (!FButton) return;
    FButtonWidth = FButton->Width();
    FButton->SetAlign(vcl::alRight);
    FButton->SetParent(this);
    FButton->SetVisible(FShowButton);
    FButton->OnButtonClick = rtl::TNotifyEvent([this](rtl::TObject*) { DoButtonClick(); });
    FButton->OnDown = rtl::TNotifyEvent([this](rtl::TObject*) { DoButtonDown(); });
    FButton->OnUp = rtl::TNotifyEvent([this](rtl::TObject*) { DoButtonUp(); });
}

void TRgCustomButtonEdit6::Assign(rtl::TPersistent* Source) {
    TRgEdit6::Assign(Source);
    if (auto* edit = dynamic_cast<TRgCustomButtonEdit6*>(Source)) SetButtonWidth(edit->FButtonWidth);
}

void TRgCustomButtonEdit6::SetButtonWidth(int Value) {
    if (Value == FButtonWidth) return;
    FButtonWidth = Value;
    if (FButton) FButton->SetWidth(Value);
    UpdateMargins();
}

void TRgCustomButtonEdit6::SetShowButton(bool Value) {
    if (Value == FShowButton) return;
    FShowButton = Value;
    if (FButton) {
        FButton->SetVisible(Value);
        if (HandleAllocated() && FButton->HandleAllocated())
            ShowWindow(FButton->Handle(), Value ? SW_SHOW : SW_HIDE);
    }
    UpdateMargins();
}

void TRgCustomButtonEdit6::CreateWnd() {
    TRgEdit6::CreateWnd();
    if (FButton) FButton->SetLeft(ClientWidth());
}

void TRgCustomButtonEdit6::Dispatch(vcl::TMessage& Message) {
    TRgEdit6::Dispatch(Message);
    if (Message.Msg == WM_KILLFOCUS && FButton)
        FButton->SetDown(false);
    else if (Message.Msg == WM_SHOWWINDOW && FShowButton)
        UpdateMargins();
}

} // namespace controls
