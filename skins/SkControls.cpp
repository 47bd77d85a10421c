// skins/SkControls.cpp: the text object, button control, push button and speed buttons.
#include "skins/SkControls.h"

#include "skins/SkItem.h"
#include "skins/SkSkinsFaces.h"
#include "skins/SkSkinsPaint.h"
#include "skins/SkSkinsText.h"

#include "vcl/Forms.h"
#include "win/windows.h"

#include <vector>

namespace skins {

using namespace vcl;

namespace {

TSkSkinType SkinType() { return GetSkinManager()->GetSkinType(); }

constexpr int RepeatFirstDelay = 400;
constexpr int RepeatInterval = 100;

} // namespace

// ---------------------------------------------------------------------------------------------------
// TSkTextObjectActionLink

TSkTextObjectActionLink::TSkTextObjectActionLink(rtl::TObject* AClient) : TControlActionLink(AClient) {
    AssignClient(AClient);
}

void TSkTextObjectActionLink::AssignClient(rtl::TObject* AClient) {
    TControlActionLink::AssignClient(AClient);
    FTextObject = dynamic_cast<TSkTextObject*>(AClient);
}

bool TSkTextObjectActionLink::IsCheckedLinked() {
    auto* action = CustomAction();
    return TControlActionLink::IsCheckedLinked() && FTextObject && action &&
           FTextObject->Checked() == action->Checked();
}

bool TSkTextObjectActionLink::IsImageIndexLinked() {
    auto* action = CustomAction();
    return TControlActionLink::IsImageIndexLinked() && FTextObject && action &&
           FTextObject->ImageIndex() == action->ImageIndex();
}

void TSkTextObjectActionLink::SetChecked(bool Value) {
    if (IsCheckedLinked()) FTextObject->SetCheckedValue(Value);
}

void TSkTextObjectActionLink::SetImageIndex(TImageIndex Value) {
    if (IsImageIndexLinked()) FTextObject->SetImageIndex(Value);
}

// ---------------------------------------------------------------------------------------------------
// TSkTextObject

TSkTextObject::TSkTextObject(rtl::TComponent* AOwner) : TSkCustomControl(AOwner) {
    TControlStyle style = ControlStyle();
    style.Exclude(csAcceptsControls);
    style.Exclude(csOpaque);
    style.Include(csClickEvents);
    style.Include(csDoubleClicks);
    style.Include(csSetCaption);
    style.Include(csCaptureMouse);
    SetControlStyle(style);
    FImageChangeLink = std::make_unique<TChangeLink>();
    FImageChangeLink->OnChange = rtl::TNotifyEvent(this, &TSkTextObject::ImageListChange);
    SetAutoSize(true);
    SetColor(clNone);
    SetParentColor(false);
    SetTabStop(true);
    SetWidth(100);
    GetSkinManager()->AddSkinNotification(this);
}

TSkTextObject::~TSkTextObject() {
    GetSkinManager()->RemoveSkinNotification(this);
    if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
}

void TSkTextObject::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TSkTextObject::SetCaptionGlow(TSkGlowDirection Value) {
    if (FCaptionGlow == Value) return;
    FCaptionGlow = Value;
    Invalidate();
}

void TSkTextObject::SetCaptionGlowColor(TColor Value) {
    if (FCaptionGlowColor == Value) return;
    FCaptionGlowColor = Value;
    Invalidate();
}

void TSkTextObject::SetDisabledIconCorrection(bool Value) {
    if (FDisabledIconCorrection == Value) return;
    FDisabledIconCorrection = Value;
    Invalidate();
}

void TSkTextObject::SetGlyphLayout(TSkGlyphLayout Value) {
    if (FGlyphLayout == Value) return;
    FGlyphLayout = Value;
    Invalidate();
}

void TSkTextObject::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    if (FImages) {
        FImages->UnRegisterChanges(FImageChangeLink.get());
        FImages->RemoveFreeNotification(this);
    }
    FImages = Value;
    if (FImages) {
        FImages->RegisterChanges(FImageChangeLink.get());
        FImages->FreeNotification(this);
    }
    Invalidate();
    AdjustBounds();
}

void TSkTextObject::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    Invalidate();
    AdjustBounds();
}

void TSkTextObject::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value) return;
    FShowAccelChar = Value;
    Invalidate();
    AdjustBounds();
}

void TSkTextObject::SetWrapping(TTextWrapping Value) {
    if (FWrapping == Value) return;
    FWrapping = Value;
    Invalidate();
    AdjustBounds();
}

bool TSkTextObject::GetChecked() { return FChecked; }

void TSkTextObject::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    Invalidate();
}

TAlignment TSkTextObject::GetRealAlignment() const {
    if (!UseRightToLeftAlignment()) return FAlignment;
    if (FAlignment == taLeftJustify) return taRightJustify;
    if (FAlignment == taRightJustify) return taLeftJustify;
    return FAlignment;
}

UINT TSkTextObject::GetTextFlags() {
    UINT flags = 0;
    switch (FWrapping) {
    case twNone: flags = DT_SINGLELINE; break;
    case twEndEllipsis: flags = DT_SINGLELINE | DT_END_ELLIPSIS; break;
    case twPathEllipsis: flags = DT_SINGLELINE | DT_PATH_ELLIPSIS; break;
    case twWrap: flags = DT_WORDBREAK; break;
    }
    flags |= DT_EXPANDTABS;
    switch (GetRealAlignment()) {
    case taLeftJustify: flags |= DT_LEFT; break;
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
    }
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    if (HandleAllocated() && (SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL)) flags |= DT_HIDEPREFIX;
    return DrawTextBiDiModeFlags(flags);
}

void TSkTextObject::DoGetImageIndex(TCustomImageList*& AImageList, int& AImageIndex) {
    OnGetImageIndex(this, AImageList, AImageIndex);
}

bool TSkTextObject::HasGlyph() const { return FImages && FImageIndex >= 0 && FImageIndex < FImages->Count(); }

TSize TSkTextObject::GetGlyphSize() {
    TCustomImageList* list = FImages;
    int index = FImageIndex;
    DoGetImageIndex(list, index);
    if (list && index >= 0 && index < list->Count()) return TSize{list->Width(), list->Height()};
    return TSize{0, 0};
}

TRect TSkTextObject::GetTextMargins() { return TRect(); }

TRect TSkTextObject::LayoutCaption(TCanvas* ACanvas, const TRect& R, UINT Flags, TRect& TextR, TRect& GlyphR) {
    TRect rightGlyph;
    const bool pushed = FDrawPushedCaption && GetPushed();
    CalcCaptionGlyphLayout(ACanvas, R, Caption(), GetRealAlignment(), Flags, GetGlyphSize(), TSize{0, 0},
                           FGlyphLayout, pushed, TextR, GlyphR, rightGlyph, FCaptionRotationAngle != tra0);
    TRect total = TextR;
    if (total.IsEmpty()) total = GlyphR;
    else if (!GlyphR.IsEmpty()) total = TRect(std::min(TextR.Left, GlyphR.Left), std::min(TextR.Top, GlyphR.Top),
                                              std::max(TextR.Right, GlyphR.Right), std::max(TextR.Bottom, GlyphR.Bottom));
    return total;
}

void TSkTextObject::GetSize(TRect& TotalR, TRect& TextR, TRect& GlyphR) {
    const TRect margins = GetTextMargins();
    TRect R = GetClientRect();
    R.Left += margins.Left;
    R.Top += margins.Top;
    R.Right -= margins.Right;
    R.Bottom -= margins.Bottom;
    Canvas()->Font()->Assign(Font());
    AdjustFont(Canvas()->Font());
    TotalR = LayoutCaption(Canvas(), R, GetTextFlags(), TextR, GlyphR);
    if (AutoSize()) {
        TotalR.Right += Margins()->Left() + Margins()->Right();
        TotalR.Bottom += Margins()->Top() + Margins()->Bottom();
    }
}

void TSkTextObject::CalcAutoSize(int& AWidth, int& AHeight) {
    TRect total, text, glyph;
    GetSize(total, text, glyph);
    AHeight = total.Height();
    if (FWrapping == twNone) AWidth = total.Width();
}

void TSkTextObject::AdjustBounds() {
    if (!HandleAllocated() || FUpdating || !AutoSize()) return;
    if (ComponentState().Contains(rtl::csLoading) || ComponentState().Contains(rtl::csReading)) return;
    FUpdating = true;
    int width = Width(), height = 0;
    CalcAutoSize(width, height);
    SetBounds(Left(), Top(), width, height);
    FUpdating = false;
}

bool TSkTextObject::CanAutoSize(int& NewWidth, int& NewHeight) {
    // Measuring needs the window's canvas: without the window there is nothing to measure yet.
    if (FUpdating || ComponentState().Contains(rtl::csLoading) || !AutoSize() || !HandleAllocated()) return false;
    FUpdating = true;
    CalcAutoSize(NewWidth, NewHeight);
    FUpdating = false;
    return true;
}

void TSkTextObject::Loaded() {
    TSkCustomControl::Loaded();
    AdjustBounds();
}

void TSkTextObject::AdjustFont(TFont* AFont) {
    if (!FLinkText.isEmpty() && FMouseInControl) {
        AFont->SetColor(clBlue);
        AFont->SetStyle(AFont->Style() + TFontStyles{fsUnderline});
    }
}

TRect TSkTextObject::GetFocusRect(const TRect& ClientR, const TRect& TextR, const TRect& GlyphR) {
    (void)ClientR;
    (void)GlyphR;
    if (Caption().isEmpty()) return TRect();
    TRect r = TextR;
    r.Inflate(1, 1);
    return r;
}

bool TSkTextObject::ShowFocusRect() { return Focused(); }
bool TSkTextObject::GetPushed() { return FPushed && FMouseInControl; }
bool TSkTextObject::IsGlassCaption() { return false; }

bool TSkTextObject::DoDraw(TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage) {
    bool paintDefault = true;
    OnDraw(this, ACanvas, ARect, PaintStage, paintDefault);
    return paintDefault;
}

bool TSkTextObject::DoDrawHint(TBitmap* AHintBitmap, String& AHint) {
    bool paintDefault = true;
    OnDrawHint(this, AHintBitmap, AHint, paintDefault);
    return paintDefault;
}

void TSkTextObject::Paint() {
    const TRect R = GetClientRect();
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    AdjustFont(canvas->Font());
    DoDraw(canvas, R, pstPrePaint);
    const TRect margins = GetTextMargins();
    TRect R2(R.Left + margins.Left, R.Top + margins.Top, R.Right - margins.Right, R.Bottom - margins.Bottom);
    DoDrawText(canvas, R2, GetTextFlags());
    DoDraw(canvas, R, pstPostPaint);
}

int TSkTextObject::DoDrawText(TCanvas* ACanvas, TRect& ARect, UINT Flags) {
    String caption = Caption();
    if (Flags & DT_CALCRECT) return DrawSkinText(ACanvas, caption, ARect, Flags);
    ACanvas->Brush()->SetStyle(bsClear);
    const TSkSkinStatesType state = TSkSkinOptions::GetState(Enabled(), GetPushed(), FMouseInControl, GetChecked());
    const TRect client = GetClientRect();
    TRect R = ARect;
    UINT flags = Flags;
    bool paintDefault = true;
    OnDrawCaption(this, ACanvas, client, state, caption, R, flags, false, pstPrePaint, paintDefault);
    TRect textR, glyphR, rightGlyph;
    int result = 0;
    if (paintDefault) {
        const bool pushed = FDrawPushedCaption && GetPushed();
        CalcCaptionGlyphLayout(ACanvas, R, caption, GetRealAlignment(), flags, GetGlyphSize(), TSize{0, 0},
                               FGlyphLayout, pushed, textR, glyphR, rightGlyph, FCaptionRotationAngle != tra0);
        if (IsGlassCaption()) {
            result = DrawGlassText(ACanvas, caption, textR, flags, 8);
        } else {
            if (!Enabled() && SkinType() == sknNone) {
                // Engraved: a highlight one pixel down and right, the grey text over it.
                TRect shadow = textR;
                shadow.Offset(1, 1);
                const TColor color = ACanvas->Font()->Color();
                ACanvas->Font()->SetColor(clBtnHighlight);
                DrawSkinText(ACanvas, caption, shadow, flags, FCaptionGlow, FCaptionGlowColor, FCaptionRotationAngle);
                ACanvas->Font()->SetColor(color);
                ACanvas->Font()->SetColor(clGrayText);
            }
            result = DrawSkinText(ACanvas, caption, textR, flags, FCaptionGlow, FCaptionGlowColor, FCaptionRotationAngle);
        }
        DoDrawGlyph(ACanvas, glyphR);
    }
    paintDefault = true;
    OnDrawCaption(this, ACanvas, client, state, caption, R, flags, false, pstPostPaint, paintDefault);
    if (paintDefault && ShowFocusRect()) {
        const TRect focus = GetFocusRect(client, textR, glyphR);
        if (!focus.IsEmpty()) DrawFocusRectangle(ACanvas, focus);
    }
    return result;
}

void TSkTextObject::DoDrawGlyph(TCanvas* ACanvas, const TRect& ARect) {
    TCustomImageList* list = FImages;
    int index = FImageIndex;
    DoGetImageIndex(list, index);
    if (list && index >= 0 && index < list->Count())
        DrawImageListImage(ACanvas, ARect, list, index, Enabled(), FDisabledIconCorrection);
}

void TSkTextObject::DoMouseEnter() {
    Invalidate();
    OnMouseEnter(this);
}

void TSkTextObject::DoMouseLeave() {
    Invalidate();
    OnMouseLeave(this);
}

void TSkTextObject::DoLinkClick() {
    if (FLinkText.isEmpty()) return;
    const std::u16string file = FLinkText.toStdU16String();
    const std::u16string params = FLinkTextParams.toStdU16String();
    ShellExecuteW(Application ? Application->Handle() : nullptr, u"open", file.c_str(),
                  params.empty() ? nullptr : params.c_str(), u"", SW_SHOWNORMAL);
}

void TSkTextObject::Click() {
    if (ComponentState().Contains(rtl::csLoading)) return;
    Invalidate();
    TSkCustomControl::Click();
    DoLinkClick();
}

void TSkTextObject::UpdateTracking(bool ForceLeave) {
    if (ForceLeave) {
        Perform(CM_MOUSELEAVE, 0, LPARAM(0));
        return;
    }
    if (!Enabled()) return;
    POINT pos{};
    GetCursorPos(&pos);
    bool over = false;
    if (HandleAllocated()) {
        RECT window{};
        GetWindowRect(Handle(), &window);
        over = PtInRect(&window, pos) && FindVCLWindow(TPoint(pos)) == this;
    }
    if (over != FMouseInControl) Perform(over ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, LPARAM(0));
}

void TSkTextObject::WMMouseButton(TWMMouse& Message) {
    if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) {
        if (Enabled() && !FPushed) {
            FPushed = true;
            if (Focused() || !CanFocus())
                Invalidate();
            else
                SetFocus();
        }
    } else if (Message.Msg == WM_LBUTTONUP) {
        FPushed = false;
        Invalidate();
    }
    TSkCustomControl::WMMouseButton(Message);
}

void TSkTextObject::WMMouseMove(TWMMouse& Message) {
    if (FPushed) UpdateTracking(false);
    TSkCustomControl::WMMouseMove(Message);
}

void TSkTextObject::KeyDown(WORD& Key, TShiftState Shift) {
    if (Key == VK_SPACE && FSpaceAsClick) {
        FPushed = true;
        FMouseInControl = true;
        Invalidate();
    }
    TSkCustomControl::KeyDown(Key, Shift);
}

void TSkTextObject::KeyUp(WORD& Key, TShiftState Shift) {
    if (Key == VK_SPACE && FSpaceAsClick && FPushed) {
        FPushed = false;
        FMouseInControl = false;
        Click();
        Invalidate();
    }
    TSkCustomControl::KeyUp(Key, Shift);
}

void TSkTextObject::WMSetFocus(TWMSetFocus& Message) {
    TSkCustomControl::WMSetFocus(Message);
    Invalidate();
}

void TSkTextObject::WMKillFocus(TWMKillFocus& Message) {
    TSkCustomControl::WMKillFocus(Message);
    FPushed = false;
    Invalidate();
}

void TSkTextObject::WMEraseBkgnd(TWMEraseBkgnd& Message) {
    HDC dc = Message.DC();
    if (Color() == clNone && Parent()) {
        FillParentBackground(this, dc, GetClientRect());
    } else {
        RECT rc = GetClientRect();
        FillRect(dc, &rc, Brush()->Handle());
    }
    Message.Result = 1;
}

void TSkTextObject::WMSetCursor(TWMSetCursor& Message) {
    if (!FLinkText.isEmpty() && FMouseInControl && Screen && Screen->Cursor() == crDefault &&
        !ComponentState().Contains(rtl::csDesigning)) {
        ::SetCursor(Screen->Cursors(crSkinHandPoint));
        Message.Result = 1;
        return;
    }
    TSkCustomControl::WMSetCursor(Message);
}

void TSkTextObject::CMMouseEnter(TCMMouseEnterLeave& Message) {
    TSkCustomControl::CMMouseEnter(Message);
    if (Message.Child() || FMouseInControl) return;
    FMouseInControl = true;
    DoMouseEnter();
}

void TSkTextObject::CMMouseLeave(TCMMouseEnterLeave& Message) {
    TSkCustomControl::CMMouseLeave(Message);
    if (Message.Child() || !FMouseInControl) return;
    FMouseInControl = false;
    DoMouseLeave();
}

void TSkTextObject::CMEnabledChanged(TMessage& Message) {
    TSkCustomControl::CMEnabledChanged(Message);
    if (!Enabled() && FMouseInControl) {
        FMouseInControl = false;
        DoMouseLeave();
        Perform(WM_CANCELMODE);
    } else {
        Invalidate();
    }
}

void TSkTextObject::CMFontChanged(TMessage& Message) {
    TSkCustomControl::CMFontChanged(Message);
    Invalidate();
    AdjustBounds();
}

void TSkTextObject::CMTextChanged(TMessage& Message) {
    TSkCustomControl::CMTextChanged(Message);
    Invalidate();
    AdjustBounds();
}

void TSkTextObject::ImageListChange(rtl::TObject* Sender) {
    if (Sender != FImages) return;
    Invalidate();
    AdjustBounds();
}

void TSkTextObject::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    TSkCustomControl::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FImages) {
        FImages = nullptr;
        Invalidate();
    }
}

void TSkTextObject::ActionChange(rtl::TObject* Sender, bool CheckDefaults) {
    TSkCustomControl::ActionChange(Sender, CheckDefaults);
    if (auto* action = dynamic_cast<TCustomAction*>(Sender)) {
        if (!CheckDefaults || !GetChecked()) SetChecked(action->Checked());
        if (!CheckDefaults || FImageIndex == -1) SetImageIndex(action->ImageIndex());
    }
}

std::unique_ptr<TControlActionLink> TSkTextObject::CreateActionLink() {
    return std::make_unique<TSkTextObjectActionLink>(this);
}

void TSkTextObject::CMHintShow(TCMHintShow& Message) {
    THintInfo* info = Message.HintInfo();
    String hint = Hint();
    const int bar = hint.indexOf(u'|');
    if (bar >= 0) hint = hint.left(bar);
    TBitmap* bitmap = StockHintBitmap();
    TCanvas* canvas = bitmap->Canvas();
    auto prepare = [&] {
        canvas->Font()->Assign(Screen->HintFont());
        TColor text = clInfoText;
        if (SkinType() == sknDelphiStyle)
            TSkSkinOptions::GetThemedElementTextColor(ActiveStyleServices()->GetElementDetails(thHintNormal), text);
        canvas->Font()->SetColor(text);
        canvas->Pen()->SetColor(clBlack);
        canvas->Brush()->SetColor(clInfoBk);
        TRect measure(0, 0, 1, 1);
        DrawSkinText(canvas, hint, measure, DT_CALCRECT | DT_NOPREFIX);
        bitmap->SetSize(measure.Width() + 8, measure.Height() + 4);
        DrawHintBackground(canvas, TRect(0, 0, bitmap->Width(), bitmap->Height()));
    };
    prepare();
    const String original = hint;
    if (!DoDrawHint(bitmap, hint)) {
        TSkCustomControl::CMHintShow(Message);
        return;
    }
    if (!info) return;
    if (hint != original) prepare();
    info->HintStr = hint;
    info->CursorRect = GetClientRect();
    info->HintWindowClass = HintWindowClass;
    info->HintData = bitmap;
    info->HideTimeout = 60000;
    TRect R(0, 0, bitmap->Width(), bitmap->Height());
    R.Offset(-2, 0);
    canvas->Brush()->SetStyle(bsClear);
    DrawSkinText(canvas, hint, R, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    Message.Result = 0;
}

void TSkTextObject::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_SKINCHANGED) {
        if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
        return;
    }
    TSkCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------------
// TSkButtonControl

TSkButtonControl::TSkButtonControl(rtl::TComponent* AOwner) : TSkTextObject(AOwner) {
    TControlStyle style = ControlStyle();
    style.Exclude(csDoubleClicks);
    SetControlStyle(style);
}

void TSkButtonControl::SetAllowAllUp(bool Value) {
    if (FAllowAllUp == Value) return;
    FAllowAllUp = Value;
    Invalidate();
    UpdateExclusive();
}

void TSkButtonControl::SetGroupIndex(int Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    Invalidate();
    UpdateExclusive();
}

void TSkButtonControl::UpdateExclusive() {
    if (!CanUpdateExclusive() || !Parent()) return;
    TMessage message;
    message.Msg = CM_SKGROUPINDEXUPDATE;
    message.WParam = WPARAM(FGroupIndex);
    message.LParam = reinterpret_cast<LPARAM>(this);
    TWinControl* parent = Parent();
    for (int i = 0; i < parent->ControlCount(); ++i) parent->Controls(i)->Dispatch(message);
}

void TSkButtonControl::SetChecked(bool Value) {
    if (GetChecked() == Value) return;
    TSkTextObject::SetChecked(Value);
    if (Value) UpdateExclusive();
}

bool TSkButtonControl::CanFocus() {
    TCustomForm* form = GetParentForm(this);
    if (!form || !form->Visible() || !form->Enabled()) return false;
    for (TControl* c = this; c; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) return false;
        if (c == form) break;
    }
    return true;
}

void TSkButtonControl::CMDialogChar(TCMDialogChar& Message) {
    if (Enabled() && Visible() && ShowAccelChar() && CanFocus() && IsAccel(Message.CharCode(), Caption())) {
        SetFocus();
        Click();
        Message.Result = 1;
        return;
    }
    TSkTextObject::CMDialogChar(Message);
}

void TSkButtonControl::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_SKGROUPINDEXUPDATE) {
        auto* sender = reinterpret_cast<TSkButtonControl*>(Message.LParam);
        if (int(Message.WParam) == FGroupIndex && sender != this && sender && typeid(*sender) == typeid(*this)) {
            FAllowAllUp = sender->FAllowAllUp;
            if (sender->GetChecked() && GetChecked()) {
                FChecked = false;
                Invalidate();
            }
        }
        return;
    }
    TSkTextObject::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------------
// TSkCustomButton

TSkCustomButton::TSkCustomButton(rtl::TComponent* AOwner) : TSkButtonControl(AOwner) {
    FBitmap = std::make_unique<TBitmap>();
    FBitmap->OnChange = rtl::TNotifyEvent(this, &TSkCustomButton::BitmapChanged);
    FPopupControl = this;
    SetAlignment(taCenter);
    SetAutoSize(false);
    FSpaceAsClick = true;
    SetBounds(Left(), Top(), 75, 25);
}

TSkCustomButton::~TSkCustomButton() {
    FInRepeatTick = false;
    StopRepeat();
}

void TSkCustomButton::BitmapChanged(rtl::TObject* Sender) {
    (void)Sender;
    Invalidate();
}

void TSkCustomButton::SetBitmap(TBitmap* Value) {
    FBitmap->Assign(Value);
    Invalidate();
}

void TSkCustomButton::SetDefault(bool Value) {
    FDefault = Value;
    if (!HandleAllocated()) return;
    if (TCustomForm* form = GetParentForm(this)) form->Perform(CM_FOCUSCHANGED, 0, form->ActiveControl());
}

void TSkCustomButton::SetDropDownArrow(bool Value) {
    if (FDropDownArrow == Value) return;
    FDropDownArrow = Value;
    Invalidate();
}

void TSkCustomButton::SetDropDownMenu(TPopupMenu* Value) {
    if (FDropDownMenu == Value) return;
    if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
    FDropDownMenu = Value;
    if (FDropDownMenu) FDropDownMenu->FreeNotification(this);
    Invalidate();
}

void TSkCustomButton::SetFlat(bool Value) {
    if (FFlat == Value) return;
    FFlat = Value;
    Invalidate();
}

void TSkCustomButton::SetToolbarStyle(bool Value) {
    if (FToolbarStyle == Value) return;
    FToolbarStyle = Value;
    Invalidate();
}

void TSkCustomButton::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    Invalidate();
}

bool TSkCustomButton::IsBitmapSkinned() const {
    return !FBitmap->Empty() && FBitmap->Height() % 4 == 0;
}

TRect TSkCustomButton::GetSkinStateRect() const {
    const int h = FBitmap->Height() / 4;
    int row = 0;
    if (!Enabled())
        row = 3;
    else if (FChecked || (FPushed && FMouseInControl) || FDropDownMenuVisible)
        row = 2;
    else if (FMouseInControl)
        row = 1;
    return TRect(0, row * h, FBitmap->Width(), (row + 1) * h);
}

bool TSkCustomButton::GetPushed() { return IsDroppedDown() || TSkButtonControl::GetPushed(); }

bool TSkCustomButton::DoDraw(TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage) {
    const bool paintDefault = TSkButtonControl::DoDraw(ACanvas, ARect, PaintStage);
    if (!paintDefault) return paintDefault;
    if (PaintStage == pstPostPaint) {
        DrawDropDownArrow(ACanvas, ARect);
        return paintDefault;
    }
    const bool pushed = GetPushed(), checked = GetChecked();
    if (FFlat && !FMouseInControl && !Focused() && !pushed && !checked) return paintDefault;
    if (IsBitmapSkinned()) {
        const TRect source = GetSkinStateRect();
        TBitmap face;
        face.SetPixelFormat(pf32bit);
        face.SetSize(ARect.Width(), ARect.Height());
        HDC dc = face.Canvas()->Handle();
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, ARect.Width(), ARect.Height(), FBitmap->Canvas()->Handle(), source.Left, source.Top,
                   source.Width(), source.Height(), SRCCOPY);
        face.SetTransparent(FBitmapTransparent);
        ACanvas->Draw(0, 0, &face);
    } else if (FFlat && FToolbarStyle) {
        DrawToolbarItemBackground(ACanvas, ARect,
                                  TSkSkinOptions::GetState(Enabled(), pushed, FMouseInControl, checked), cpNone);
    } else {
        DrawButtonFace(ACanvas, ARect, Enabled(), pushed, FMouseInControl, checked, false,
                       SkinType() == sknSkin ? false : FActive);
    }
    return paintDefault;
}

void TSkCustomButton::AdjustFont(TFont* AFont) {
    if (!LinkText().isEmpty() && FMouseInControl) {
        TSkButtonControl::AdjustFont(AFont);
        return;
    }
    if (AFont->Color() == clWindowText || AFont->Color() == clNone)
        AFont->SetColor(GetCurrentSkin()->GetTextColor(
            skncButton, TSkSkinOptions::GetState(Enabled(), GetPushed(), FMouseInControl, GetChecked())));
}

TRect TSkCustomButton::GetTextMargins() {
    TRect margins(8, 2, 8, 2);
    if (FDropDownArrow && FDropDownMenu) margins.Right += 9;
    return margins;
}

TRect TSkCustomButton::GetFocusRect(const TRect& ClientR, const TRect& TextR, const TRect& GlyphR) {
    (void)TextR;
    (void)GlyphR;
    TRect r = ClientR;
    const int inset = SkinType() == sknNone ? 4 : 3;
    r.Inflate(-inset, -inset);
    return r;
}

void TSkCustomButton::DrawDropDownArrow(TCanvas* ACanvas, const TRect& R) {
    if (!FDropDownArrow || !FDropDownMenu) return;
    const int rightMargin = GetTextMargins().Right;
    const int x = ((R.Right - rightMargin) + R.Right) / 2 - 1;
    const int y = (R.Top + R.Bottom) / 2 - 1;
    DrawArrowTriangle(ACanvas, x, y, ACanvas->Font()->Color(), true, false, 2);
}

void TSkCustomButton::DiscardPendingClicks() {
    RECT window{};
    if (HandleAllocated()) GetWindowRect(Handle(), &window);
    std::vector<MSG> kept;
    MSG msg{};
    // The mouse buttons' messages (down, up and double-click of all three) are taken out in order.
    while (PeekMessageW(&msg, nullptr, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));   // not ours to take
            break;
        }
        const bool press = msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK ||
                           msg.message == WM_RBUTTONDOWN || msg.message == WM_RBUTTONDBLCLK ||
                           msg.message == WM_MBUTTONDOWN || msg.message == WM_MBUTTONDBLCLK;
        if (press && PtInRect(&window, msg.pt)) continue;
        kept.push_back(msg);
    }
    for (const MSG& m : kept) PostMessageW(m.hwnd, m.message, m.wParam, m.lParam);
}

void TSkCustomButton::Click() {
    if (FRepeating) {
        TSkTextObject::Click();
        return;
    }
    if (TPopupMenu* menu = GetDropDownMenu()) {
        FDropDownMenuVisible = true;
        UpdateTracking(true);
        if (MouseCapture()) SetMouseCapture(false);
        ReleaseCapture();
        menu->SetPopupComponent(this);
        if (auto* skinned = dynamic_cast<ISkPopupMenu*>(menu)) {
            if (!skinned->InternalPopup(0, 0, false, FPopupControl)) FDropDownMenuVisible = false;
        } else {
            const TPoint pos = ClientToScreen(TPoint(0, Height()));
            menu->Popup(pos.X, pos.Y);
            FDropDownMenuVisible = false;
        }
        Invalidate();
        DiscardPendingClicks();
        return;
    }
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
    TSkTextObject::Click();
}

void TSkCustomButton::CreateWnd() {
    TSkButtonControl::CreateWnd();
    FActive = FDefault;
}

void TSkCustomButton::CMDialogKey(TCMDialogKey& Message) {
    const WORD key = Message.CharCode();
    if (((key == VK_RETURN && FActive) || (key == VK_ESCAPE && FCancel)) &&
        KeyDataToShiftState(Message.KeyData()).Empty() && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    TSkButtonControl::CMDialogKey(Message);
}

void TSkCustomButton::CMFocusChanged(TCMFocusChanged& Message) {
    if (dynamic_cast<TSkCustomButton*>(Message.Sender()))
        SetActive(Message.Sender() == this);
    else
        SetActive(FDefault);
    TSkButtonControl::CMFocusChanged(Message);
}

void TSkCustomButton::StopRepeat() {
    if (!FRepeatTimer) return;
    FRepeatTimer->SetEnabled(false);
    if (FInRepeatTick) {
        // The timer's own tick is running: it is freed once the tick has returned.
        if (!FRepeatTimerDoomed && HandleAllocated()) PostMessageW(Handle(), CM_SKFREETIMER, 0, 0);
        FRepeatTimerDoomed = true;
        return;
    }
    delete FRepeatTimer;
    FRepeatTimer = nullptr;
    FRepeatTimerDoomed = false;
}

void TSkCustomButton::RepeatTimerTick(rtl::TObject* Sender) {
    (void)Sender;
    FInRepeatTick = true;
    FRepeatTimer->SetInterval(RepeatInterval);
    if (!FRepeating)
        StopRepeat();
    else if (GetPushed())
        Click();
    FInRepeatTick = false;
}

void TSkCustomButton::WMMouseButton(TWMMouse& Message) {
    if (Message.Msg == WM_LBUTTONUP) StopRepeat();
    TSkButtonControl::WMMouseButton(Message);
    if (Message.Msg == WM_LBUTTONDOWN && FRepeating && Enabled()) {
        Click();
        TControlState state = ControlState();
        state.Exclude(csClicked);
        SetControlState(state);
        if (!FRepeatTimer) {
            FRepeatTimer = new TTimer(this);
            FRepeatTimer->SetOnTimer(rtl::TNotifyEvent(this, &TSkCustomButton::RepeatTimerTick));
        }
        FRepeatTimerDoomed = false;   // pressed again before a stopped timer went: it serves again
        FRepeatTimer->SetInterval(RepeatFirstDelay);
        FRepeatTimer->SetEnabled(true);
    }
}

void TSkCustomButton::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    TSkButtonControl::Notification(AComponent, Operation);
    if (Operation != rtl::opRemove) return;
    if (AComponent == FDropDownMenu) FDropDownMenu = nullptr;
    if (AComponent == FPopupControl) FPopupControl = nullptr;
    if (AComponent == FRepeatTimer) FRepeatTimer = nullptr;
}

void TSkCustomButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_POPUPMENUCLOSED:
        FDropDownMenuVisible = false;
        Invalidate();
        return;
    case CM_SKFREETIMER:
        if (FRepeatTimerDoomed) StopRepeat();
        return;
    case WM_CANCELMODE:
        StopRepeat();
        UpdateTracking(true);
        break;
    default: break;
    }
    TSkButtonControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------------
// Speed buttons

TSkCustomSpeedButton::TSkCustomSpeedButton(rtl::TComponent* AOwner) : TSkCustomButton(AOwner) {
    TControlStyle style = ControlStyle();
    style.Exclude(csSetCaption);
    SetControlStyle(style);
    SetBounds(0, 0, 23, 22);
    SetToolbarStyle(true);
    SetTabStop(false);
}

void TSkCustomSpeedButton::Click() {
    if (GroupIndex() != 0) {
        if (AllowAllUp())
            SetChecked(!GetChecked());
        else
            SetChecked(true);
    }
    TSkCustomButton::Click();
}

bool TSkCustomSpeedButton::IsGlassCaption() {
    const TSkSkinType type = SkinType();
    if (type == sknWindows || type == sknDelphiStyle) return Flat() && IsGlassPainting(this);
    return Flat() && !FMouseInControl && IsGlassPainting(this);
}

} // namespace skins
