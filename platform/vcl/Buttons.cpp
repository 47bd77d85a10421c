// vcl/Buttons.cpp: button glyphs and their layout, speed buttons, bitmap buttons.
#include "vcl/Buttons.h"

#include "vcl/Themes.h"

#include <algorithm>

namespace vcl {

namespace {
std::u16string Wide(const String& s) { return s.toStdU16String(); }

// A face the active custom style draws; the room inside it for glyph and caption.
RECT StyledFace(HDC DC, const TThemedElementDetails& Details, const RECT& R) {
    TCustomStyleServices* style = StyleServices();
    style->DrawElement(DC, Details, TRect(R));
    TRect content(R);
    style->GetElementContentRect(DC, Details, TRect(R), content);
    return content;
}
} // namespace

// ---- TButtonGlyph ----

TButtonGlyph::TButtonGlyph() : FGlyph(std::make_unique<TBitmap>()) {
    FGlyph->OnChange = TNotifyEvent(this, &TButtonGlyph::GlyphChanged);
}

TButtonGlyph::~TButtonGlyph() = default;

void TButtonGlyph::GlyphChanged(TObject* Sender) {
    (void)Sender;
    // A strip of square images tells how many it holds.
    if (FGlyph->Height() > 0 && FGlyph->Width() % FGlyph->Height() == 0) {
        const int n = FGlyph->Width() / FGlyph->Height();
        if (n >= 1 && n <= 4) FNumGlyphs = n;
    }
    OnChange(this);
}

void TButtonGlyph::SetGlyph(TBitmap* Value) {
    if (Value) FGlyph->Assign(Value);
    else FGlyph->SetSize(0, 0);
}

void TButtonGlyph::SetNumGlyphs(TNumGlyphs Value) {
    Value = std::clamp(Value, 1, 4);
    if (FNumGlyphs == Value) return;
    FNumGlyphs = Value;
    OnChange(this);
}

TSize TButtonGlyph::GlyphSize() const {
    if (FGlyph->Empty()) return TSize{0, 0};
    return TSize{FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
}

void TButtonGlyph::CalcButtonLayout(TCanvas* Canvas, const TRect& Client, const TPoint& Offset,
                                    const String& Caption, TButtonLayout Layout, int Margin, int Spacing,
                                    TPoint& GlyphPos, TRect& TextBounds, UINT TextFlags) {
    TSize textSize{0, 0};
    if (!Caption.isEmpty()) {
        RECT r{0, 0, Client.Width(), 0};
        const std::u16string text = Wide(Caption);
        DrawTextW(Canvas->Handle(), reinterpret_cast<LPCWSTR>(text.c_str()), int(text.size()), &r,
                  DT_CALCRECT | TextFlags);
        textSize = TSize{r.right - r.left, r.bottom - r.top};
    }
    const TSize glyphSize = GlyphSize();
    const TPoint clientSize(Client.Width(), Client.Height());
    const bool sideways = Layout == blGlyphLeft || Layout == blGlyphRight;
    TPoint textPos;
    if (sideways) {
        GlyphPos.Y = (clientSize.Y - glyphSize.cy + 1) / 2;
        textPos.Y = (clientSize.Y - textSize.cy + 1) / 2;
    } else {
        GlyphPos.X = (clientSize.X - glyphSize.cx + 1) / 2;
        textPos.X = (clientSize.X - textSize.cx + 1) / 2;
    }
    // With only one of the two there is nothing to space.
    if (textSize.cx == 0 || glyphSize.cx == 0) Spacing = 0;
    if (Margin == -1) {
        if (Spacing == -1) {
            const TPoint total(glyphSize.cx + textSize.cx, glyphSize.cy + textSize.cy);
            Margin = sideways ? (clientSize.X - total.X) / 3 : (clientSize.Y - total.Y) / 3;
            Spacing = Margin;
        } else {
            const TPoint total(glyphSize.cx + Spacing + textSize.cx, glyphSize.cy + Spacing + textSize.cy);
            Margin = sideways ? (clientSize.X - total.X + 1) / 2 : (clientSize.Y - total.Y + 1) / 2;
        }
    } else if (Spacing == -1) {
        const TPoint total(clientSize.X - (Margin + glyphSize.cx), clientSize.Y - (Margin + glyphSize.cy));
        Spacing = sideways ? (total.X - textSize.cx) / 2 : (total.Y - textSize.cy) / 2;
    }
    switch (Layout) {
    case blGlyphLeft:
        GlyphPos.X = Margin;
        textPos.X = GlyphPos.X + glyphSize.cx + Spacing;
        break;
    case blGlyphRight:
        GlyphPos.X = clientSize.X - Margin - glyphSize.cx;
        textPos.X = GlyphPos.X - Spacing - textSize.cx;
        break;
    case blGlyphTop:
        GlyphPos.Y = Margin;
        textPos.Y = GlyphPos.Y + glyphSize.cy + Spacing;
        break;
    case blGlyphBottom:
        GlyphPos.Y = clientSize.Y - Margin - glyphSize.cy;
        textPos.Y = GlyphPos.Y - Spacing - textSize.cy;
        break;
    }
    GlyphPos.X += Client.Left + Offset.X;
    GlyphPos.Y += Client.Top + Offset.Y;
    textPos.X += Client.Left + Offset.X;
    textPos.Y += Client.Top + Offset.Y;
    TextBounds = TRect(textPos.X, textPos.Y, textPos.X + textSize.cx, textPos.Y + textSize.cy);
}

void TButtonGlyph::DrawButtonGlyph(TCanvas* Canvas, const TPoint& GlyphPos, TButtonState State) {
    if (FGlyph->Empty()) return;
    const TSize size = GlyphSize();
    const int index = int(State) < FNumGlyphs ? int(State) : 0;
    TBitmap image(size.cx, size.cy);
    BitBlt(image.Canvas()->Handle(), 0, 0, size.cx, size.cy, FGlyph->Canvas()->Handle(), index * size.cx, 0,
           SRCCOPY);
    const TColor transparent = FGlyph->TransparentColor();
    if (State == bsDisabled && FNumGlyphs < 2) {
        // No image of its own: the up image embossed, light below right and shadow where it has pixels.
        for (auto [dx, colour] : {std::pair{1, clBtnHighlight}, std::pair{0, clBtnShadow}})
            for (int y = 0; y < size.cy; ++y)
                for (int x = 0; x < size.cx; ++x)
                    if (image.Canvas()->Pixels(x, y) != transparent)
                        Canvas->SetPixels(GlyphPos.X + x + dx, GlyphPos.Y + y + dx, colour);
        return;
    }
    image.SetTransparentColor(transparent);
    image.SetTransparent(true);
    Canvas->Draw(GlyphPos.X, GlyphPos.Y, &image);
}

void TButtonGlyph::DrawButtonText(TCanvas* Canvas, const String& Caption, TRect TextBounds, TButtonState State,
                                  UINT Flags) {
    if (Caption.isEmpty()) return;
    HDC dc = Canvas->Handle();
    SetBkMode(dc, TRANSPARENT);
    const std::u16string text = Wide(Caption);
    auto draw = [&](RECT r, TColor colour) {
        SetTextColor(dc, ColorToRGB(colour));
        DrawTextW(dc, reinterpret_cast<LPCWSTR>(text.c_str()), int(text.size()), &r, DT_CENTER | DT_VCENTER | Flags);
    };
    RECT r{TextBounds.Left, TextBounds.Top, TextBounds.Right, TextBounds.Bottom};
    if (State == bsDisabled) {
        draw(RECT{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1}, clBtnHighlight);
        draw(r, clBtnShadow);
    } else {
        draw(r, Canvas->Font()->Color());
    }
}

TRect TButtonGlyph::Draw(TCanvas* Canvas, const TRect& Client, const TPoint& Offset, const String& Caption,
                         TButtonLayout Layout, int Margin, int Spacing, TButtonState State, bool Transparent,
                         UINT TextFlags) {
    (void)Transparent;  // the glyph's own transparent colour decides
    TPoint glyphPos;
    TRect textBounds;
    CalcButtonLayout(Canvas, Client, Offset, Caption, Layout, Margin, Spacing, glyphPos, textBounds, TextFlags);
    DrawButtonGlyph(Canvas, glyphPos, State);
    DrawButtonText(Canvas, Caption, textBounds, State, TextFlags);
    return textBounds;
}

// ---- TSpeedButton ----

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TButtonGlyph>()) {
    SetBounds(Left(), Top(), 23, 22);
    SetControlStyle(TControlStyle{csCaptureMouse, csDoubleClicks, csOpaque});
    SetParentFont(true);
    FGlyph->OnChange = TNotifyEvent(this, &TSpeedButton::GlyphChanged);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    SetControlStyle(Value ? ControlStyle() - TControlStyle{csOpaque} : ControlStyle() + TControlStyle{csOpaque});
    Invalidate();
}

void TSpeedButton::SetFlat(bool Value) {
    if (FFlat == Value) return;
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::UpdateExclusive() {
    // The others of the group let go.
    if (FGroupIndex == 0 || !Parent()) return;
    TMessage msg;
    msg.Msg = CM_BUTTONPRESSED;
    msg.WParam = WPARAM(FGroupIndex);
    msg.LParam = LPARAM(this);
    Parent()->Broadcast(msg);
}

void TSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0) Value = false;
    if (Value == FDown) return;
    if (FDown && !FAllowAllUp) return;
    FDown = Value;
    if (Value) {
        if (FState == bsUp) Invalidate();
        FState = bsExclusive;
        UpdateExclusive();
    } else {
        FState = bsUp;
        Repaint();
    }
}

void TSpeedButton::SetGroupIndex(int Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool Value) {
    if (FAllowAllUp == Value) return;
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging) return;
    // Pressed while the pointer is over it, up again when it leaves.
    const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
    TButtonState state = FDown ? bsExclusive : bsUp;
    if (inside) state = FDown ? bsExclusive : bsDown;
    if (state != FState) {
        FState = state;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging) return;
    FDragging = false;
    const bool doClick = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
    if (FGroupIndex == 0) {
        FState = bsUp;
        FMouseInControl = doClick;
        Invalidate();
    } else if (doClick) {
        SetDown(!FDown);
        if (FDown) Repaint();
    } else {
        if (FDown) FState = bsExclusive;
        Repaint();
    }
    if (doClick) Click();
}

void TSpeedButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_BUTTONPRESSED:
        if (int(Message.WParam) == FGroupIndex) {
            auto* sender = reinterpret_cast<TSpeedButton*>(Message.LParam);
            if (sender != this) {
                if (sender->Down() && FDown) {
                    FDown = false;
                    FState = bsUp;
                    Invalidate();
                }
                FAllowAllUp = sender->AllowAllUp();
            }
        }
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(WORD(Message.WParam), Caption()) && Enabled() && Visible() && Parent() && Parent()->Showing()) {
            Click();
            Message.Result = 1;
            return;
        }
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        TGraphicControl::Dispatch(Message);
        // Only a flat button changes its look under the mouse.
        if (Message.LParam == 0) {
            FMouseInControl = Message.Msg == CM_MOUSEENTER && Enabled();
            if (FFlat) Invalidate();
        }
        return;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
        Invalidate();
        break;
    default: break;
    }
    TGraphicControl::Dispatch(Message);
}

void TSpeedButton::Paint() {
    if (!Enabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    RECT paint{0, 0, Width(), Height()};
    const bool pressed = FState == bsDown || FState == bsExclusive;
    const bool hot = FMouseInControl && FState != bsDisabled;
    // Under a custom style the style draws the face: a push button, or a tool-bar button when flat.
    const bool styled = TStyleManager::IsCustomStyleActive() && (!FFlat || pressed || hot || !FTransparent);
    if (styled) {
        TCustomStyleServices* style = StyleServices();
        const TThemedElementDetails face =
            FFlat ? style->GetElementDetails(FState == bsDisabled   ? ttbButtonDisabled
                                             : FState == bsExclusive ? ttbButtonChecked
                                             : pressed               ? ttbButtonPressed
                                             : hot                   ? ttbButtonHot
                                                                     : ttbButtonNormal)
                  : style->GetElementDetails(FState == bsDisabled ? tbPushButtonDisabled
                                             : pressed             ? tbPushButtonPressed
                                             : hot                 ? tbPushButtonHot
                                                                   : tbPushButtonNormal);
        paint = StyledFace(canvas->Handle(), face, paint);
    } else if (!FFlat) {
        DrawFrameControl(canvas->Handle(), &paint, DFC_BUTTON,
                         DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
    } else {
        if (pressed || (FMouseInControl && FState != bsDisabled)) {
            DrawEdge(canvas->Handle(), &paint, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                     (FTransparent ? 0 : BF_MIDDLE) | BF_RECT);
        } else if (!FTransparent) {
            canvas->Brush()->SetColor(Color());
            canvas->FillRect(TRect(paint.left, paint.top, paint.right, paint.bottom));
        }
        InflateRect(&paint, -1, -1);
    }
    TPoint offset(0, 0);
    if (pressed) {
        if (!styled && FState == bsExclusive && (!FFlat || !FMouseInControl)) {
            // A button that stays down shows a checkered face.
            TBitmap pattern(8, 8);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) pattern.Canvas()->SetPixels(x, y, (x + y) % 2 ? clBtnHighlight : clBtnFace);
            canvas->Brush()->SetBitmap(&pattern);
            canvas->FillRect(TRect(paint.left, paint.top, paint.right, paint.bottom));
            canvas->Brush()->SetBitmap(nullptr);
        }
        offset = TPoint(1, 1);
    }
    canvas->Brush()->SetStyle(bsClear);
    FTextBounds = FGlyph->Draw(canvas, TRect(paint.left, paint.top, paint.right, paint.bottom), offset, Caption(),
                               FLayout, FMargin, FSpacing, FState, FTransparent, DT_SINGLELINE);
}

// ---- TBitBtn ----

namespace {
struct TKindDefaults {
    const char16_t* Caption;
    TModalResult ModalResult;
};
constexpr TKindDefaults KindDefaults[] = {
    {nullptr, mrNone},     {u"OK", mrOk},       {u"Cancel", mrCancel}, {u"&Help", mrNone},
    {u"&Yes", mrYes},      {u"&No", mrNo},      {u"&Close", mrNone},   {u"Abort", mrAbort},
    {u"&Retry", mrRetry},  {u"&Ignore", mrIgnore}, {u"&All", mrAll}};
bool DefaultKind(TBitBtnKind Kind) { return Kind == bkOK || Kind == bkYes; }
bool CancelKind(TBitBtnKind Kind) { return Kind == bkCancel || Kind == bkNo; }
} // namespace

TBitBtn::TBitBtn(TComponent* AOwner)
    : TButton(AOwner), FGlyph(std::make_unique<TButtonGlyph>()), FCanvas(std::make_unique<TControlCanvas>()) {
    FGlyph->OnChange = TNotifyEvent(this, &TBitBtn::GlyphChanged);
    FCanvas->SetControl(this);
}

TBitBtn::~TBitBtn() = default;

void TBitBtn::CreateParams(TCreateParams& Params) {
    TButton::CreateParams(Params);
    Params.Style = (Params.Style & ~DWORD(BS_TYPEMASK)) | BS_OWNERDRAW;
}

TBitBtnKind TBitBtn::Kind() {
    // A kind whose caption role or result was changed since is a custom button now.
    if (FKind != bkCustom &&
        (DefaultKind(FKind) != Default() || CancelKind(FKind) != Cancel() ||
         ModalResult() != KindDefaults[FKind].ModalResult || FModifiedGlyph))
        FKind = bkCustom;
    return FKind;
}

void TBitBtn::SetKind(TBitBtnKind Value) {
    if (Value == FKind) return;
    if (Value != bkCustom) {
        SetDefault(DefaultKind(Value));
        SetCancel(CancelKind(Value));
        // A form being loaded keeps a caption it gives; otherwise the kind's caption replaces it.
        if (!ComponentState().Contains(rtl::csLoading) || Caption().isEmpty())
            SetCaption(String::fromUtf16(KindDefaults[Value].Caption));
        SetModalResult(KindDefaults[Value].ModalResult);
        FModifiedGlyph = false;
    }
    FKind = Value;
    Invalidate();
}

void TBitBtn::SetGlyph(TBitmap* Value) {
    FGlyph->SetGlyph(Value);
    FModifiedGlyph = true;
}

void TBitBtn::Click() {
    if (FKind == bkClose) {
        if (TCustomForm* form = GetParentForm(this)) {
            form->Close();
            return;
        }
    }
    TButton::Click();
}

void TBitBtn::SetButtonStyle(bool ADefault) {
    // The frame of the default button is drawn here; the window's style stays owner-draw.
    if (ADefault == FIsFocused) return;
    FIsFocused = ADefault;
    Refresh();
}

void TBitBtn::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CN_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam));
        Message.Result = 1;
        return;
    case CN_MEASUREITEM:
        Message.Result = 1;
        return;
    case WM_LBUTTONDBLCLK:
        // An owner-drawn button takes a double click as a second press.
        Message.Msg = WM_LBUTTONDOWN;
        DefaultHandler(Message);
        return;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
        TButton::Dispatch(Message);
        Invalidate();
        return;
    default: TButton::Dispatch(Message);
    }
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& DrawItemStruct) {
    const bool isDown = DrawItemStruct.itemState & ODS_SELECTED;
    const bool isDefault = DrawItemStruct.itemState & ODS_FOCUS;
    const bool disabled = DrawItemStruct.itemState & ODS_DISABLED;
    FCanvas->PaintOn(DrawItemStruct.hDC, [&] {
        TCanvas* canvas = FCanvas.get();
        RECT r = DrawItemStruct.rcItem;
        UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
        if (isDown) flags |= DFCS_PUSHED;
        if (disabled) flags |= DFCS_INACTIVE;
        if (TStyleManager::IsCustomStyleActive()) {
            // The style's push button; its defaulted look stands for the dark ring.
            TCustomStyleServices* style = StyleServices();
            r = StyledFace(DrawItemStruct.hDC,
                           style->GetElementDetails(disabled                 ? tbPushButtonDisabled
                                                    : isDown                  ? tbPushButtonPressed
                                                    : FIsFocused || isDefault ? tbPushButtonDefaulted
                                                                              : tbPushButtonNormal),
                           r);
        } else {
            // The frame control has no default look: the dark ring is ours.
            if (FIsFocused || isDefault) {
                canvas->Pen()->SetColor(clWindowFrame);
                canvas->Pen()->SetWidth(1);
                canvas->Brush()->SetStyle(bsClear);
                canvas->Rectangle(r.left, r.top, r.right, r.bottom);
                InflateRect(&r, -1, -1);
            }
            if (isDown) {
                canvas->Pen()->SetColor(clBtnShadow);
                canvas->Brush()->SetColor(clBtnFace);
                canvas->Rectangle(r.left, r.top, r.right, r.bottom);
                InflateRect(&r, -1, -1);
            } else {
                DrawFrameControl(DrawItemStruct.hDC, &r, DFC_BUTTON, flags);
            }
        }
        if (FIsFocused) {
            r = DrawItemStruct.rcItem;
            InflateRect(&r, -1, -1);
        }
        canvas->Font()->Assign(Font());
        if (isDown) OffsetRect(&r, 1, 1);
        const TButtonState state = disabled ? bsDisabled : isDown ? bsDown : bsUp;
        canvas->Brush()->SetStyle(bsClear);
        FTextBounds = FGlyph->Draw(canvas, TRect(r.left, r.top, r.right, r.bottom), TPoint(0, 0), Caption(), FLayout,
                                   FMargin, FSpacing, state, false, FWordWrap ? DT_WORDBREAK : DT_SINGLELINE);
        if (FIsFocused && isDefault) {
            RECT focus = DrawItemStruct.rcItem;
            InflateRect(&focus, -4, -4);
            canvas->Pen()->SetColor(clWindowFrame);
            canvas->Brush()->SetColor(clBtnFace);
            DrawFocusRect(DrawItemStruct.hDC, &focus);
        }
    });
}

} // namespace vcl
