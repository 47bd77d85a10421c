// grid/TextEdit.cpp
#include "grid/TextEdit.h"

#include "grid/shared/DrawHelpers.h"
#include "rtl/DateUtils.h"
#include "vcl/Forms.h"
#include "vcl/ResourceStream.h"

#include <cmath>

namespace grid {

using vcl::TRect;

// ---- TRgEditMargins ----

void TRgEditMargins::Assign(rtl::TPersistent* Source) {
    if (auto* Other = dynamic_cast<TRgEditMargins*>(Source)) {
        FLeft = Other->FLeft;
        FRight = Other->FRight;
        if (FOwner && FOwner->HandleAllocated()) FOwner->RecreateWnd();
        return;
    }
    rtl::TPersistent::Assign(Source);
}

void TRgEditMargins::SetLeft(int Value) {
    FLeft = Value;
    if (FOwner && FOwner->HandleAllocated()) FOwner->RecreateWnd();
}

void TRgEditMargins::SetRight(int Value) {
    FRight = Value;
    if (FOwner && FOwner->HandleAllocated()) FOwner->RecreateWnd();
}

// ---- TRgEditInfo ----

TRgEditInfo::TRgEditInfo(TRgCustomEdit* AOwner) : vcl::TCustomControl(AOwner), FOwner(AOwner) {
    SetControlStyle(ControlStyle() - vcl::TControlStyle{vcl::csSetCaption});
}

void TRgEditInfo::Paint() {
    vcl::TCanvas* C = Canvas();
    C->Brush()->SetColor(FOwner->Color());
    C->FillRect(ClientRect());
    int Start = 0;
    vcl::TBitmap* Glyph = FOwner->Glyph();
    if (!Glyph->Empty()) {
        const int Y = int(std::nearbyint(Height() / 2.0 - Glyph->Height() / 2.0));
        DrawAlphaBitmap(C, 0, Y, Glyph);
        Start = Glyph->Width() + 2;
    }
    if (!FOwner->ShowPreview()) return;
    TRect R(Start, 0, Start + 20, ClientHeight());
    if (FOwner->PreviewBorder()) {
        C->Brush()->SetColor(vcl::TColor(0x808080));
        C->FrameRect(R);
        R.Inflate(-1, -1);
    }
    FOwner->DrawPreview(C, R);
}

void TRgEditInfo::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    vcl::TBitmap* Glyph = FOwner->Glyph();
    if (Button == vcl::mbLeft && !Glyph->Empty() && X >= 0 && Y >= 0 && X < Glyph->Width() && Y < Height())
        FOwner->DoGlyphClick();
    vcl::TCustomControl::MouseDown(Button, Shift, X, Y);
}

// ---- TRgCustomEdit ----

TRgCustomEdit::TRgCustomEdit(rtl::TComponent* AOwner)
    : vcl::TCustomEdit(AOwner), FCanvas(std::make_unique<vcl::TControlCanvas>()),
      FEditMargins(std::make_unique<TRgEditMargins>(this)), FGlyph(std::make_unique<vcl::TBitmap>()) {
    FCanvas->SetControl(this);
    SetAutoSize(true);
    SetBorderStyle(vcl::bsSingle);
    SetColor(vcl::clWindow);
    SetBounds(Left(), Top(), 121, 20);
    SetParentColor(false);
    SetTabStop(true);
    FEditInfo = new TRgEditInfo(this);
    FEditInfo->SetVisible(false);
    FEditInfo->SetParent(this);
    FEditInfo->OnMouseDown = vcl::TMouseEvent(this, &TRgCustomEdit::EditInfoMouseDown);
    if (vcl::Screen) {
        // The reversed arrow is the program's own cursor; without it the default one shows.
        if (HCURSOR Cursor = LoadCursorW(vcl::HInstance, u"REVERSEDARROW"))
            vcl::Screen->SetCursors(crReversedArrow, Cursor);
    }
}

TRgCustomEdit::~TRgCustomEdit() {
    FCanvas->SetControl(nullptr);
    FCanvas.reset();
    FGlyph.reset();
    delete FEditInfo;
    FEditInfo = nullptr;
}

bool TRgCustomEdit::GetAsBoolean() { return rtl::StrToBool(Text()); }

rtl::TDateTime TRgCustomEdit::GetAsDateTime() {
    const rtl::String S = Text();
    return S.isEmpty() ? 0 : rtl::StrToDateTime(S);
}

double TRgCustomEdit::GetAsFloat() {
    const rtl::String S = Text();
    return S.isEmpty() ? 0 : rtl::StrToFloat(S);
}

int TRgCustomEdit::GetAsInteger() {
    const rtl::String S = Text();
    return S.isEmpty() ? 0 : rtl::StrToInt(S);
}

rtl::String TRgCustomEdit::GetAsString() { return Text(); }

void TRgCustomEdit::SetAsBoolean(bool Value) { SetText(rtl::BoolToStr(Value, true)); }
void TRgCustomEdit::SetAsDateTime(rtl::TDateTime Value) { SetText(rtl::DateTimeToStr(Value)); }
void TRgCustomEdit::SetAsFloat(double Value) { SetText(rtl::FloatToStr(Value)); }
void TRgCustomEdit::SetAsInteger(int Value) { SetText(rtl::IntToStr(Value)); }
void TRgCustomEdit::SetAsString(const rtl::String& Value) { SetText(Value); }

int TRgCustomEdit::GlyphSpace() const { return FGlyph->Empty() ? 0 : FGlyph->Width() + 4; }

TRect TRgCustomEdit::GetPreviewRect() {
    TRect R = ClientRect();
    R.Left += GlyphSpace();
    R.Right = R.Left + 20;
    return R;
}

void TRgCustomEdit::RefreshPreview() { FEditInfo->Invalidate(); }

void TRgCustomEdit::DrawPreview(vcl::TCanvas* Canvas, const TRect& R) {
    (void)Canvas;
    DoCustomPreviewDraw(R);
}

void TRgCustomEdit::DoCustomPreviewDraw(const TRect& R) { OnCustomPreviewDraw(this, R); }

void TRgCustomEdit::DoGlyphClick() { OnGlyphClick(this); }

void TRgCustomEdit::AdjustMargins(int& Left, int& Right) {
    (void)Right;
    if (FShowPreview) Left = Left * 2 + 25;
    if (!FGlyph->Empty()) Left += FGlyph->Width() + 4;
}

void TRgCustomEdit::UpdateMargins() {
    if (!HandleAllocated()) return;
    int L = FEditMargins->Left(), R = FEditMargins->Right();
    AdjustMargins(L, R);
    Perform(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(WORD(L), WORD(R)));
}

void TRgCustomEdit::UpdateEditInfo() {
    int W = GlyphSpace();
    if (FShowPreview) W += 20;
    FEditInfo->SetBounds(0, 0, W, ClientHeight());
    FEditInfo->SetVisible(FShowPreview || !FGlyph->Empty());
}

void TRgCustomEdit::SetGlyph(vcl::TBitmap* Value) {
    if (Value) FGlyph->Assign(Value);
    else FGlyph = std::make_unique<vcl::TBitmap>();
    if (!FGlyph->Empty()) {
        FGlyph->SetTransparentColor(FGlyph->Canvas()->Pixels(0, FGlyph->Height() - 1));
        FGlyph->SetTransparent(true);
    }
    UpdateMargins();
    UpdateEditInfo();
    if (HandleAllocated()) RecreateWnd();
}

void TRgCustomEdit::SetPreviewBorder(bool Value) {
    if (FPreviewBorder == Value) return;
    FPreviewBorder = Value;
    RefreshPreview();
}

void TRgCustomEdit::SetShowPreview(bool Value) {
    if (FShowPreview == Value) return;
    FShowPreview = Value;
    UpdateMargins();
    UpdateEditInfo();
    RefreshPreview();
}

void TRgCustomEdit::CreateParams(vcl::TCreateParams& Params) {
    vcl::TCustomEdit::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
}

void TRgCustomEdit::CreateWnd() {
    vcl::TCustomEdit::CreateWnd();
    UpdateMargins();
    UpdateEditInfo();
}

void TRgCustomEdit::CMEnabledChanged(vcl::TMessage& Message) {
    vcl::TCustomEdit::CMEnabledChanged(Message);
    // The strip and the buttons draw the editor's state, not their own.
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* Control = dynamic_cast<vcl::TControl*>(Components(i))) Control->Invalidate();
}

void TRgCustomEdit::WMWindowPosChanged(vcl::TWMWindowPosMsg& Message) {
    vcl::TCustomEdit::WMWindowPosChanged(Message);
    if (ComponentState().Contains(rtl::csLoading)) return;
    Invalidate();
    FEditInfo->Invalidate();
    UpdateEditInfo();
}

void TRgCustomEdit::Dispatch(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        vcl::TCustomEdit::Dispatch(Message);
        Message.Result |= DLGC_WANTARROWS;
        if (FWantTabs) Message.Result |= DLGC_WANTTAB;
        else Message.Result &= ~LRESULT(DLGC_WANTTAB);
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        vcl::TCustomEdit::Dispatch(Message);
        if (FEditInfo->Visible()) FEditInfo->Invalidate();
        return;
    case WM_SETFONT:
        vcl::TCustomEdit::Dispatch(Message);
        // A new font resets the window's margins.
        UpdateMargins();
        return;
    default: vcl::TCustomEdit::Dispatch(Message);
    }
}

// ---- TRgEdit ----

void TRgEdit::BeginEditing() { SetSelStart(Text().size()); }

void TRgEdit::EditInfoMouseDown(rtl::TObject*, vcl::TMouseButton Button, vcl::TShiftState, int, int) {
    if (Button != vcl::mbLeft) return;
    if (!Focused() && CanFocus()) SetFocus();
    SelectAll();
}

void TRgEdit::Change() {
    TRgCustomEdit::Change();
    DoChange();
}

void TRgEdit::Resize() {
    TRgCustomEdit::Resize();
    UpdateMargins();
}

int TRgEdit::StripEdge() const { return EditInfo()->Visible() ? EditInfo()->Left() + EditInfo()->Width() : 0; }

void TRgEdit::PaintBorderFrames() {
    RECT W;
    GetWindowRect(WindowHandle(), &W);
    TRect R(0, 0, W.right - W.left, W.bottom - W.top);
    R.Inflate(BorderStyle() == vcl::bsSingle ? -1 : 1, BorderStyle() == vcl::bsSingle ? -1 : 1);
    HDC DC = GetWindowDC(WindowHandle());
    HBRUSH Brush = CreateSolidBrush(vcl::ColorToRGB(Color()));
    for (int i = 0; i < BorderWidth(); ++i) {
        RECT F = R;
        FrameRect(DC, &F, Brush);
        R.Inflate(-1, -1);
    }
    DeleteObject(Brush);
    ReleaseDC(WindowHandle(), DC);
}

void TRgEdit::PaintThemedBorder() {
    if (!IsThemingActive() || BorderStyle() != vcl::bsSingle) return;
    RECT W;
    GetWindowRect(WindowHandle(), &W);
    const TRect R(0, 0, W.right - W.left, W.bottom - W.top);
    HDC DC = GetWindowDC(WindowHandle());
    ExcludeClipRect(DC, R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
    DrawThemedPart(WindowHandle(), DC, R, QStringLiteral("edit"), 1, 1);
    ReleaseDC(WindowHandle(), DC);
}

void TRgEdit::Dispatch(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCPAINT:
        TRgCustomEdit::Dispatch(Message);
        PaintThemedBorder();
        return;
    case WM_PAINT:
        if (BorderWidth() > 0) PaintBorderFrames();
        TRgCustomEdit::Dispatch(Message);
        return;
    case WM_SETCURSOR: {
        POINT P;
        GetCursorPos(&P);
        ::ScreenToClient(WindowHandle(), &P);
        if (LOWORD(Message.LParam) == HTCLIENT && P.x <= StripEdge() + 2) {
            ::SetCursor(vcl::Screen->Cursors(crReversedArrow));
            Message.Result = 1;
            return;
        }
        TRgCustomEdit::Dispatch(Message);
        return;
    }
    case WM_LBUTTONDOWN: {
        const int X = vcl::MessageAs<vcl::TWMMouse>(Message).XPos();
        TRgCustomEdit::Dispatch(Message);
        if (X <= StripEdge() + 2) SelectAll();
        return;
    }
    default: TRgCustomEdit::Dispatch(Message);
    }
}

} // namespace grid
