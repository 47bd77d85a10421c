// components/PlusCombo.cpp
#include "components/PlusCombo.h"

#include "components/KwThemeLib.h"
#include "components/KwpComboBox.h" // TabOnEnterKey
#include "vcl/Forms.h"

#include <cmath>

namespace components {

int TPlusCustomCombo::ScreenDpiOverride = 0;

TPlusCustomCombo::TPlusCustomCombo(rtl::TComponent* AOwner)
    : vcl::TCustomComboBox(AOwner),
      FButtonWidth(GetSystemMetrics(SM_CXVSCROLL) + 2),
      FLabelFont(std::make_unique<vcl::TFont>()) {
    FLabelFont->OnChange = rtl::TNotifyEvent(this, &TPlusCustomCombo::LabelFontChanged);
    FLblFntHeight = FLabelFont->Height();
}

TPlusCustomCombo::~TPlusCustomCombo() {
    FLabelFont->OnChange = {};
    delete FLabel; // owned by us; its Notification clears FLabel first
}

void TPlusCustomCombo::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    vcl::TCustomComboBox::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FLabel) FLabel = nullptr;
}

rtl::String TPlusCustomCombo::LabelCaption() const { return FLabel ? FLabel->Caption() : rtl::String(); }

void TPlusCustomCombo::SetLabelCaption(const rtl::String& Value) {
    if (!FLabel) CreateLabel();
    FLabel->SetCaption(Value);
    UpdateLabel();
}

void TPlusCustomCombo::CreateLabel() {
    FLabel = new vcl::TLabel(this);
    FLabel->SetParent(Parent());
    FLabel->SetFocusControl(this);
    FLabel->Font()->Assign(FLabelFont.get());
    FLabel->SetParentFont(ParentFont());
}

void TPlusCustomCombo::SetLabelFont(vcl::TFont* Value) {
    if (ParentFont()) return;
    FLabelFont->Assign(Value);
    if (FLabel) UpdateLabel();
}

void TPlusCustomCombo::LabelFontChanged(rtl::TObject*) {
    const rtl::TComponentState state = ComponentState();
    if (state.Contains(rtl::csDesigning) && !state.Contains(rtl::csLoading)) {
        SetParentFont(false);
        FParentFnt = false;
    }
    if (FLabel) UpdateLabel();
    if (!FLblUpdate) FLblFntHeight = FLabelFont->Height();
}

void TPlusCustomCombo::UpdateLabel() {
    if (!FLabel) return;
    FLabel->SetTransparent(FLabelTransparent);
    FLabel->Font()->Assign(FParentFnt ? Font() : FLabelFont.get());
    if (FLabel->Parent() && FLabel->Parent()->HandleAllocated()) UpdateLabelPos();
}

void TPlusCustomCombo::UpdateLabelPos() {
    if (!FLabel) return;
    // A caption given before the control had a parent: the label joins it now, or waits.
    if (!FLabel->Parent()) FLabel->SetParent(Parent());
    if (!FLabel->Parent()) return;
    // The text's own width, not the label's: an auto-size label may not have followed its text yet.
    vcl::TCanvas* cv = FLabel->Canvas();
    cv->Font()->Assign(FLabel->Font());
    const rtl::String text = FLabel->Caption();
    RECT r{0, 0, 1000, 255};
    DrawTextW(cv->Handle(), reinterpret_cast<LPCWSTR>(text.utf16()), int(text.size()), &r,
              DT_CALCRECT | DT_HIDEPREFIX);
    const int w = r.right - r.left;
    const int lw = FLabel->Width(), lh = FLabel->Height();
    const int l = Left(), t = Top(), cw = Width(), ch = Height(), m = FLabelMargin;
    const int middleY = lh < ch ? t + (ch - lh) / 2 : t - (lh - ch) / 2;
    const int middleX = lw < cw ? l + (cw - lw) / 2 : l - (lw - cw) / 2;
    int top = t, left = l;
    switch (FLabelPosition) {
    case lpLeftTop: top = t; left = l - w - m; break;
    case lpLeftCenter: top = middleY; left = l - w - m; break;
    case lpLeftBottom: top = t + ch - lh; left = l - w - m; break;
    case lpTopLeft: top = t - lh - m; left = l; break;
    case lpBottomLeft: top = t + ch + m; left = l; break;
    case lpLeftTopLeft: top = t; left = l - m; break;
    case lpLeftCenterLeft: top = middleY; left = l - m; break;
    case lpLeftBottomLeft: top = t + ch - lh; left = l - m; break;
    case lpTopCenter: top = t - lh - m; left = middleX; break;
    case lpBottomCenter: top = t + ch + m; left = middleX; break;
    case lpRightTop: top = t; left = l + cw + m; break;
    case lpRightCenter: top = middleY; left = l + cw + m; break;
    case lpRighBottom: top = t + ch - lh; left = l + cw + m; break;
    case lpTopRight: top = t - lh - m; left = l + cw - lw; break;
    case lpBottomRight: top = t + ch + m; left = l + cw - lw; break;
    }
    FLabel->SetTop(top);
    FLabel->SetLeft(left);
    FLabel->SetVisible(Visible());
}

void TPlusCustomCombo::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (FLabel) {
        const vcl::TAlign a = Align();
        const int lw = FLabel->Width(), lh = FLabel->Height();
        switch (FLabelPosition) {
        case lpLeftTop:
        case lpLeftCenter:
        case lpLeftBottom:
            if (a == vcl::alTop || a == vcl::alBottom || a == vcl::alClient) {
                ALeft += lw + FLabelMargin;
                AWidth -= lw + FLabelMargin;
            }
            break;
        case lpTopLeft:
        case lpTopCenter:
            if (a == vcl::alTop || a == vcl::alLeft || a == vcl::alRight || a == vcl::alClient) ATop += lh;
            break;
        case lpRightTop:
        case lpRightCenter:
        case lpRighBottom:
            if (a == vcl::alTop || a == vcl::alBottom || a == vcl::alClient) AWidth -= lw + FLabelMargin;
            break;
        default: break;
        }
    }
    vcl::TCustomComboBox::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!ComponentState().Contains(rtl::csDestroying)) UpdateLabel();
}

void TPlusCustomCombo::SetButtonWidth(int Value) {
    if (Value < 14 || Value > 32) return;
    FButtonWidth = Value;
    Invalidate();
}

void TPlusCustomCombo::SetFlat(bool Value) {
    if (FFlat == Value) return;
    FFlat = Value;
    SetCtl3D(!Value);
    if (FFlatParentColor && Value) {
        if (Parent()) SetColor(Parent()->Brush()->Color());
    } else {
        SetColor(FLoadedColor);
    }
    Invalidate();
}

void TPlusCustomCombo::SetBorderColor(TColor Value) {
    if (FBorderColor == Value) return;
    FBorderColor = Value;
    if (HandleAllocated()) SendMessageW(Handle(), WM_NCPAINT, 1, 0);
}

void TPlusCustomCombo::SetDropWidth(int Value) {
    FDropWidth = Value;
    if (Value > 0 && HandleAllocated()) SendMessageW(Handle(), CB_SETDROPPEDWIDTH, WPARAM(Value), 0);
}

bool TPlusCustomCombo::SelectItemText(const rtl::String& AString) {
    const int i = Items()->IndexOf(AString);
    if (i < 0) return false;
    SetItemIndex(i);
    Change();
    return true;
}

void TPlusCustomCombo::DoSetEnabled(bool Value) {
    const bool was = Enabled();
    vcl::TCustomComboBox::DoSetEnabled(Value);
    const rtl::TComponentState state = ComponentState();
    if (state.Contains(rtl::csLoading) || state.Contains(rtl::csDesigning) || was == Value) return;
    if (FLabel && !FLabelAlwaysEnabled) {
        FLabel->SetEnabled(Value);
        UpdateLabel();
    }
}

void TPlusCustomCombo::CMVisibleChanged(vcl::TMessage& Message) {
    vcl::TCustomComboBox::CMVisibleChanged(Message);
    if (FLabel) FLabel->SetVisible(Visible());
}

void TPlusCustomCombo::CMColorChanged(vcl::TMessage& Message) {
    if (ComponentState().Contains(rtl::csLoading)) FLoadedColor = Color();
    vcl::TCustomComboBox::CMColorChanged(Message);
}

void TPlusCustomCombo::CMEnabledChanged(vcl::TMessage& Message) {
    if (FFlat && !ComponentState().Contains(rtl::csLoading)) {
        if (Enabled()) {
            SetParentColor(FOldParentColor);
            SetColor(FOldColor);
        } else {
            FOldParentColor = ParentColor();
            FOldColor = Color();
            SetParentColor(true);
        }
    }
    vcl::TCustomComboBox::CMEnabledChanged(Message);
}

void TPlusCustomCombo::SetLabelBold(bool Value) {
    if (!FocusLabel || !FLabel) return;
    vcl::TFontStyles style = FLabel->Font()->Style();
    if (Value) style.Include(vcl::fsBold);
    else style.Exclude(vcl::fsBold);
    FLabel->Font()->SetStyle(style);
    UpdateLabelPos();
}

void TPlusCustomCombo::CMEnter(vcl::TMessage& Message) {
    vcl::TCustomComboBox::CMEnter(Message);
    if (ComponentState().Contains(rtl::csDesigning)) return;
    FHasFocus = true;
    // The border changes now, not at the next repaint.
    DrawBorders();
    if (FocusColor != vcl::clNone) SetColor(FocusColor);
    SetLabelBold(true);
}

void TPlusCustomCombo::WMSetFocus(vcl::TWMSetFocus& Message) {
    vcl::TCustomComboBox::WMSetFocus(Message);
    if (FocusBorderColor != vcl::clNone) Invalidate();
    if (FocusColor != vcl::clNone) SetColor(FocusColor);
    if (FocusFontColor != vcl::clNone && FocusFontColor != Font()->Color()) {
        FFontColor = Font()->Color();
        Font()->SetColor(FocusFontColor);
        if (FLabel) UpdateLabel();
    }
    SetLabelBold(true);
}

void TPlusCustomCombo::CMExit(vcl::TMessage& Message) {
    vcl::TCustomComboBox::CMExit(Message); // runs DoExit
    if (ComponentState().Contains(rtl::csDesigning)) return;
    FHasFocus = false;
    DrawBorders();
    if (FocusColor != vcl::clNone && FNormalColor != vcl::clNone) SetColor(FNormalColor);
    SetLabelBold(false);
}

void TPlusCustomCombo::DoExit() {
    vcl::TCustomComboBox::DoExit();
    if (FocusColor != vcl::clNone && FNormalColor != vcl::clNone) SetColor(FNormalColor);
    if (FocusFontColor != vcl::clNone && FFontColor != vcl::clNone) {
        Font()->SetColor(FFontColor);
        if (FLabel) UpdateLabel();
    }
    SetLabelBold(false);
    Invalidate();
}

void TPlusCustomCombo::CMFontChanged(vcl::TMessage& Message) {
    const rtl::TComponentState state = ComponentState();
    if (FLabel && ParentFont() && (state.Contains(rtl::csDesigning) || state.Contains(rtl::csLoading)))
        FLabel->Font()->Assign(Font());
    vcl::TCustomComboBox::CMFontChanged(Message);
}

void TPlusCustomCombo::CMParentFontChanged(vcl::TMessage& Message) {
    vcl::TCustomComboBox::CMParentFontChanged(Message);
    if (FLabel && ParentFont()) {
        FLabel->Font()->Assign(Font());
        UpdateLabel();
    }
}

void TPlusCustomCombo::ChangeScale(int M, int D) {
    vcl::TCustomComboBox::ChangeScale(M, D);
    if (!ComponentState().Contains(rtl::csLoading)) FLabelFont->SetSize(Font()->Size());
}

namespace {

void Frame(HDC DC, const RECT& R, TColor Color) {
    HBRUSH b = CreateSolidBrush(COLORREF(vcl::ColorToRGB(Color)));
    FrameRect(DC, &R, b);
    DeleteObject(b);
}

void Fill(HDC DC, const RECT& R, TColor Color) {
    HBRUSH b = CreateSolidBrush(COLORREF(vcl::ColorToRGB(Color)));
    FillRect(DC, &R, b);
    DeleteObject(b);
}

bool MouseButtonDown() { return GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0; }

RECT WindowRectAtOrigin(HWND Window) {
    RECT r;
    GetWindowRect(Window, &r);
    OffsetRect(&r, -r.left, -r.top);
    return r;
}

} // namespace

// The common controls are version 6 here, so only the visual-styles library decides.
static bool Themed() {
    const KwThemeLib::TThemeLib& lib = KwThemeLib::ThemeLib();
    return lib.Loaded && lib.IsThemeActive() != 0;
}

bool TPlusCustomCombo::Hot() {
    if (ComponentState().Contains(rtl::csDesigning)) return Enabled();
    return FMouseInControl || (vcl::Screen && vcl::Screen->ActiveControl() == this);
}

bool TPlusCustomCombo::FocusBorderShown() {
    return !ComponentState().Contains(rtl::csDesigning) &&
           (FMouseInControl || (vcl::Screen && vcl::Screen->ActiveControl() == this)) && FocusBorder;
}

void TPlusCustomCombo::DrawBorders() {
    if (!HandleAllocated()) return;
    if (Enabled() && !FFlat && FBorderColor == vcl::clNone && FocusBorderColor == vcl::clNone) return;
    HDC dc = GetWindowDC(Handle());
    DrawBorder(dc);
    if (Style() != vcl::csSimple && !Themed()) DrawButton(dc);
    ReleaseDC(Handle(), dc);
}

void TPlusCustomCombo::DrawBorder(HDC DC) {
    RECT r = WindowRectAtOrigin(Handle());
    const bool focused = FHasFocus;
    if (!Enabled() && Themed() && !DisabledBorder) {
        Frame(DC, r, 0xB99D7F);
    } else if (FBorderColor != vcl::clNone && (!focused || FocusBorderColor == vcl::clNone)) {
        Frame(DC, r, FBorderColor);
    } else if (FocusBorderColor != vcl::clNone) {
        if (focused) Frame(DC, r, FocusBorderColor);
    } else {
        const TColor a = FocusBorderShown() ? vcl::clBtnFace : (Parent() ? Parent()->Brush()->Color() : vcl::clBtnFace);
        const TColor b = Color();
        if (FocusBorderShown()) {
            DrawEdge(DC, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
            Frame(DC, r, a);
            InflateRect(&r, -1, -1);
            Frame(DC, r, b);
        } else {
            Frame(DC, r, a);
            InflateRect(&r, -1, -1);
            r.right -= FButtonWidth;
            Frame(DC, r, a);
            InflateRect(&r, -1, -1);
            Frame(DC, r, b);
        }
    }
    if (FFlat && FFlatLineColor != vcl::clNone) {
        HPEN pen = CreatePen(PS_SOLID, 1, COLORREF(vcl::ColorToRGB(FFlatLineColor)));
        HGDIOBJ old = SelectObject(DC, pen);
        MoveToEx(DC, 0, Height() - 1, nullptr);
        LineTo(DC, Width() - FButtonWidth - 3, Height() - 1);
        SelectObject(DC, old);
        DeleteObject(pen);
    }
}

void TPlusCustomCombo::DrawButton(HDC DC) {
    const int cw = ClientWidth(), ch = ClientHeight();
    ExcludeClipRect(DC, 0, 0, cw - FButtonWidth + 4, ch); // the client area but the button
    ExcludeClipRect(DC, cw - FButtonWidth + 4, 4, cw - 4, ch - 4);
    RECT b = WindowRectAtOrigin(Handle());
    b.left += cw - FButtonWidth - 2;
    InflateRect(&b, -2, -2);
    if (Hot()) {
        DrawEdge(DC, &b, FEtched ? EDGE_ETCHED : EDGE_RAISED, BF_RECT | (DroppedDown() ? BF_FLAT : 0));
    } else {
        RECT f = b;
        InflateRect(&f, 0, -1);
        f.right -= 1;
        Fill(DC, f, vcl::clBtnFace);
    }
    ExcludeClipRect(DC, b.left, b.top, b.right, b.bottom);
}

void TPlusCustomCombo::PaintClientButton(HDC DC) {
    const int cw = ClientWidth(), ch = ClientHeight();
    RECT b = WindowRectAtOrigin(Handle());
    b.left += cw - FButtonWidth + 2;
    InflateRect(&b, -1, -1);
    if (ButtonColor == vcl::clNone && Themed()) {
        const KwThemeLib::TThemeLib& lib = KwThemeLib::ThemeLib();
        const bool down = MouseButtonDown();
        int state = 1;
        if (!Enabled()) state = 4;
        else if (down && DroppedDown()) state = 3;
        else if (!down && FButtonHover && !DroppedDown()) state = 2;
        HTHEME theme = lib.OpenThemeData(Handle(), u"combobox");
        lib.DrawThemeBackground(theme, DC, 1, state, &b, nullptr);
        lib.CloseThemeData(theme);
    } else if (ButtonColor == vcl::clNone) {
        DrawFrameControl(DC, &b, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (Enabled() ? DFCS_FLAT : DFCS_INACTIVE));
    } else {
        const bool down = MouseButtonDown();
        TColor face = ButtonColor;
        if (FButtonHover) face = down ? ButtonColorDown : ButtonColorHot;
        b.left -= 1;
        b.top += 1;
        b.right -= 1;
        b.bottom -= 1;
        Fill(DC, b, face);
        HPEN edge = CreatePen(PS_SOLID, 1, COLORREF(vcl::ColorToRGB(ButtonBorderColor)));
        HGDIOBJ oldPen = SelectObject(DC, edge);
        MoveToEx(DC, b.left, b.top, nullptr);
        LineTo(DC, b.left, b.bottom);
        const COLORREF arrow = COLORREF(vcl::ColorToRGB(down ? ButtonTextColorDown : ButtonTextColor));
        HPEN arrowPen = CreatePen(PS_SOLID, 1, arrow);
        HBRUSH arrowBrush = CreateSolidBrush(arrow);
        SelectObject(DC, arrowPen);
        HGDIOBJ oldBrush = SelectObject(DC, arrowBrush);
        const POINT tri[3] = {{b.left + 4, b.top + 7}, {b.left + 10, b.top + 7}, {b.left + 7, b.top + 10}};
        Polygon(DC, tri, 3);
        SelectObject(DC, oldBrush);
        SelectObject(DC, oldPen);
        DeleteObject(arrowBrush);
        DeleteObject(arrowPen);
        DeleteObject(edge);
    }
    ExcludeClipRect(DC, cw - FButtonWidth - 4, 0, cw + 2, ch);
}

bool TPlusCustomCombo::NeedsOwnPaint() {
    return FFlat || ButtonColor != vcl::clNone || FBorderColor != vcl::clNone ||
           (FocusBorderColor != vcl::clNone && FHasFocus) || (!Enabled() && Themed() && !DisabledBorder);
}

bool TPlusCustomCombo::ShowsEmptyText(HWND Window) {
    return !FEmptyText.isEmpty() && GetWindowTextLengthW(Window) == 0 &&
           (FEmptyTextFocused || GetFocus() != Window);
}

void TPlusCustomCombo::PaintEmptyText(HWND Window) {
    HDC dc = GetDC(Window);
    vcl::TFont font;
    font.Assign(Font());
    font.SetStyle(FEmptyTextStyle);
    HGDIOBJ old = SelectObject(dc, font.Handle());
    SetTextColor(dc, COLORREF(vcl::clGray));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, 3, 1, reinterpret_cast<LPCWSTR>(FEmptyText.utf16()), int(FEmptyText.size()));
    SelectObject(dc, old);
    ReleaseDC(Window, dc);
}

void TPlusCustomCombo::Dispatch(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT: {
        vcl::TCustomComboBox::Dispatch(Message);
        if (!HandleAllocated()) return;
        if (NeedsOwnPaint()) {
            // Our client fill and button first; the button is then clipped out of the system's own
            // painting of the text, and the borders go on top.
            HDC dc = GetDC(Handle());
            if (Style() != vcl::csSimple) {
                RECT client;
                ::GetClientRect(Handle(), &client);
                FillRect(dc, &client, Brush()->Handle());
                PaintClientButton(dc);
            }
            PaintWindow(dc);
            ReleaseDC(Handle(), dc);
            DrawBorders();
        }
        // A drop-down list is its own item window: the hint text goes straight on it.
        if (!EditHandle() && Style() != vcl::csSimple && ItemIndex() < 0 && ShowsEmptyText(Handle()))
            PaintEmptyText(Handle());
        return;
    }
    case vcl::CN_KEYDOWN:
    case WM_KEYDOWN:
        // Tab in an open list: close it on the highlighted item, then move on as Tab does.
        if (Message.WParam == VK_TAB && Style() != vcl::csSimple && DroppedDown()) {
            const int index = ItemIndex();
            SetDroppedDown(false);
            SetItemIndex(index);
            if (vcl::TCustomForm* form = vcl::GetParentForm(this); form && form->HandleAllocated())
                PostMessageW(form->Handle(), WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, 0);
            Message.Result = 1;
            return;
        }
        vcl::TCustomComboBox::Dispatch(Message);
        return;
    case WM_NCPAINT:
        vcl::TCustomComboBox::Dispatch(Message);
        if (FFlat || (!Enabled() && Themed() && !DisabledBorder)) DrawBorders();
        if ((FocusBorderColor != vcl::clNone && GetFocus() == Handle()) || FBorderColor != vcl::clNone) DrawBorders();
        return;
    default: vcl::TCustomComboBox::Dispatch(Message);
    }
}

void TPlusCustomCombo::CMMouseEnter(vcl::TCMMouseEnterLeave& Message) {
    vcl::TCustomComboBox::CMMouseEnter(Message);
    if (!FMouseInControl && Enabled()) {
        FMouseInControl = true;
        DrawBorders();
    }
    if (AutoFocus && !ComponentState().Contains(rtl::csDesigning)) {
        vcl::TCustomForm* form = vcl::GetParentForm(this);
        if ((!form || (form->HandleAllocated() && form->Handle() == GetActiveWindow())) && CanFocus()) SetFocus();
    }
    Invalidate();
}

void TPlusCustomCombo::CMMouseLeave(vcl::TCMMouseEnterLeave& Message) {
    vcl::TCustomComboBox::CMMouseLeave(Message);
    if (FMouseInControl && Enabled()) {
        FMouseInControl = false;
        DrawBorders();
    }
    FButtonHover = false;
    Invalidate();
}

void TPlusCustomCombo::MouseMove(vcl::TShiftState Shift, int X, int Y) {
    vcl::TCustomComboBox::MouseMove(Shift, X, Y);
    const bool over = Width() - FButtonWidth < X && X < Width();
    if (over == FButtonHover) return;
    FButtonHover = over;
    Invalidate();
}

void TPlusCustomCombo::InvalidateButton() {
    if (HandleAllocated()) {
        const RECT r{ClientWidth() - FButtonWidth, 0, ClientWidth(), ClientHeight()};
        InvalidateRect(Handle(), &r, FALSE);
    }
}

void TPlusCustomCombo::DropDown() {
    vcl::TCustomComboBox::DropDown();
    InvalidateButton();
}

void TPlusCustomCombo::CloseUp() {
    vcl::TCustomComboBox::CloseUp();
    InvalidateButton();
    OnDropUp(this);
}

void TPlusCustomCombo::KeyDown(WORD& Key, vcl::TShiftState Shift) {
    FGotReturn = Key == VK_RETURN;
    vcl::TCustomComboBox::KeyDown(Key, Shift);
}

void TPlusCustomCombo::KeyPress(rtl::Char& Key) {
    if (ReturnIsTab && Key == rtl::Char(13)) {
        // Enter inserts nothing and moves on, as Tab does.
        FGotReturn = false;
        TabOnEnterKey(vcl::GetParentForm(this), Key);
        Key = rtl::Char(0);
        return;
    }
    vcl::TCustomComboBox::KeyPress(Key);
}

void TPlusCustomCombo::EditWndProc(vcl::TMessage& Message) {
    if (Message.Msg == WM_LBUTTONDOWN && FEmptyTextFocused && !FEmptyText.isEmpty() &&
        GetWindowTextLengthW(EditHandle()) == 0) {
        SetFocus();
        InvalidateRect(EditHandle(), nullptr, TRUE);
        Message.Result = 1;
        return;
    }
    if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONUP) {
        vcl::TShiftState shift;
        if (Message.WParam & MK_SHIFT) shift.Include(vcl::ssShift);
        if (Message.WParam & MK_CONTROL) shift.Include(vcl::ssCtrl);
        const int x = short(LOWORD(Message.LParam)), y = short(HIWORD(Message.LParam));
        if (Message.Msg == WM_LBUTTONDOWN) OnMouseDown(this, vcl::mbLeft, shift, x, y);
        else OnMouseUp(this, vcl::mbLeft, shift, x, y);
    }
    vcl::TCustomComboBox::EditWndProc(Message);
    if (Message.Msg == WM_PAINT && ShowsEmptyText(EditHandle())) PaintEmptyText(EditHandle());
}

void TPlusCustomCombo::CreateWnd() {
    vcl::TCustomComboBox::CreateWnd();
    const rtl::TComponentState state = ComponentState();
    vcl::TCustomForm* form = vcl::GetParentForm(this);
    const bool scaled = !form || form->Scaled();
    if (!ParentFont() && FLabel && !FLabel->Caption().isEmpty() && !state.Contains(rtl::csDesigning) && scaled) {
        FLblUpdate = true;
        FLabelFont->SetHeight(int(std::nearbyint(FLblFntHeight * GetDpiScale())));
        FLblUpdate = false;
    }
    if (FLabel) UpdateLabelPos();
}

int TPlusCustomCombo::TextHeightAtDpi(int Dpi, int Size) {
    vcl::TBitmap bmp;
    bmp.SetPixelFormat(vcl::pf24bit);
    bmp.SetSize(1, 1);
    vcl::TFont* f = bmp.Canvas()->Font();
    f->SetPixelsPerInch(Dpi);
    f->SetSize(Size);
    return bmp.Canvas()->TextHeight(QStringLiteral("0"));
}

float TPlusCustomCombo::GetDpiScale() {
    int dpi = ScreenDpiOverride;
    if (dpi == 0) {
        HDC dc = GetDC(nullptr);
        dpi = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(nullptr, dc);
    }
    if (dpi == 96) return 1.0f;
    const int base = TextHeightAtDpi(96, 9);
    if (base <= 0) return 1.0f; // no font to measure: leave the label as it is
    return float(TextHeightAtDpi(dpi, 9)) / float(base);
}

void TPlusCustomCombo::Loaded() {
    vcl::TCustomComboBox::Loaded();
    if (FDropWidth > 0) SetDropWidth(FDropWidth);
    FOldColor = FLoadedColor;
    if (!(FFlatParentColor && !FFlat)) SetColor(FLoadedColor);
    if (FLabel) {
        if (!FLabelAlwaysEnabled) FLabel->SetEnabled(Enabled());
        FLabel->Font()->Assign(ParentFont() ? Font() : FLabelFont.get());
    }
    FParentFnt = ParentFont();
    UpdateLabel();
    FLblFntHeight = FLabel ? FLabel->Font()->Height() : FLabelFont->Height();
    FNormalColor = Color();
}

} // namespace components
