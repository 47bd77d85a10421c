// styling/hooks/StdCtrlHooks.cpp
#include "styling/hooks/StdCtrlHooks.h"

#include <cmath>
#include <vector>

#include "styling/hooks/StyleGraphics.h"
#include "styling/hooks/StyleMisc.h"
#include "styling/hooks/SysControls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "win/comctl32/commctrl.h"

namespace styling {

using namespace vcl;

namespace {

bool Holds(LONG_PTR Style, LONG_PTR Mask) { return (Style & Mask) == Mask; }

// The notifications of the class library that reach a hooked control.
constexpr UINT CM_FOCUSCHANGED = 0xB007;
constexpr UINT CM_ENABLEDCHANGED = 0xB00C;
constexpr UINT CN_COMMAND = 0xBD11;
constexpr UINT CN_DRAWITEM = 0xBC2B;
constexpr UINT CN_CTLCOLORMSGBOX = 0xBD32;
constexpr UINT CN_CTLCOLORSTATIC = 0xBD38;

TColor Font(TStyleFont F) { return StyleServices()->GetStyleFontColor(F); }
TColor Colour(TStyleColor C) { return StyleServices()->GetStyleColor(C); }

// A pen of the colour for one line drawing, put back afterwards.
void Line(HDC DC, TColor Color, int X1, int Y1, int X2, int Y2) {
    HPEN pen = CreatePen(PS_SOLID, 1, COLORREF(ColorToRGB(Color)) & 0xFFFFFF);
    HGDIOBJ old = SelectObject(DC, pen);
    MoveToEx(DC, X1, Y1, nullptr);
    LineTo(DC, X2, Y2);
    SelectObject(DC, old);
    DeleteObject(pen);
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// buttons

TSysButtonKind ButtonKind(LONG_PTR Style) {
    switch (Style & 0xF) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: return bkCheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return bkRadioButton;
    case BS_GROUPBOX: return bkGroupBox;
    case BS_OWNERDRAW: return bkOwnerDrawn;
    case BS_SPLITBUTTON:
    case BS_DEFSPLITBUTTON: return bkSplitButton;
    case BS_COMMANDLINK:
    case BS_DEFCOMMANDLINK: return bkCommandLink;
    default: return bkPushButton;  // push, default push, user button and push box
    }
}

TSysButtonStyleHook::TSysButtonStyleHook(HWND AHandle) : TMouseTrackSysControlStyleHook(AHandle) {
    SetStyleElements(TStyleElements{seFont, seClient, seBorder});
    FParentColor = true;
    UpdateColors();
}

TSysCheckBoxState TSysButtonStyleHook::CheckState() const {
    const LRESULT r = SendMessageW(FHandle, BM_GETCHECK, 0, 0);
    return r == BST_CHECKED ? cbChecked : r == BST_INDETERMINATE ? cbGrayed : cbUnchecked;
}

TThemedButton TSysButtonStyleHook::CheckElement() const {
    const bool check = Kind() == bkCheckBox;
    int base = check ? tbCheckBoxUncheckedNormal : tbRadioButtonUncheckedNormal;
    // Normal, Hot, Pressed and Disabled follow each other.
    if (FMouseDown) base += 2;
    else if (FMouseInControl) base += 1;
    else if (!FSysControl->Enabled()) base += 3;
    const TSysCheckBoxState state = CheckState();
    if (state == cbChecked) base += 4;
    else if (state == cbGrayed && check) base += 8;
    return TThemedButton(base);
}

void TSysButtonStyleHook::CheckLayout(const TRect& R, TRect& Box, TRect& Text) const {
    Box = CenterRectVertically(TRect(0, 0, GetSysMetricsForDpi(SM_CXMENUCHECK), GetSysMetricsForDpi(SM_CYMENUCHECK)), R);
    if (Holds(FSysControl->Style(), BS_LEFTTEXT)) {
        Box.Left = R.Right - Box.Width() - 2;
        Box.Right = R.Right;
        Text = TRect(R.Left + 1, R.Top, Box.Left, R.Bottom);
    } else {
        Box.Offset(1, 0);
        Text = TRect(Box.Right + 2, R.Top, R.Right, R.Bottom);
    }
}

UINT TSysButtonStyleHook::CheckTextFlags() const {
    const LONG_PTR s = FSysControl->Style();
    UINT flags = DT_VCENTER | DT_HIDEPREFIX | (Holds(s, BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE);
    if (Holds(s, BS_CENTER)) flags |= DT_CENTER;
    else if (Holds(s, BS_LEFT)) flags |= DT_LEFT;
    else if (Holds(s, BS_RIGHT)) flags |= DT_RIGHT;
    return flags;
}

void TSysButtonStyleHook::DrawCheckText(HDC DC, const rtl::String& Text, const TThemedElementDetails& Details, TRect R) {
    DrawText(DC, Details, Text, R, CheckTextFlags());
}

void TSysButtonStyleHook::Paint(TCanvas* Canvas) {
    const TSysButtonKind kind = Kind();
    if (kind == bkGroupBox) return;
    PaintBackground(Canvas);
    if (kind == bkCheckBox) PaintCheckBox(Canvas);
    else if (kind == bkRadioButton) PaintRadioButton(Canvas);
    else PaintButton(Canvas);
}

void TSysButtonStyleHook::PaintBackground(TCanvas* Canvas) {
    if (Kind() == bkGroupBox) return;
    Canvas->Brush()->SetColor(FColor);
    Canvas->FillRect(FSysControl->ClientRect());
}

void TSysButtonStyleHook::PaintNC(TCanvas* Canvas) {
    if (Kind() == bkGroupBox) PaintGroupBox(Canvas);
}

void TSysButtonStyleHook::PaintButton(TCanvas* Canvas) {
    TCustomStyleServices* style = StyleServices();
    Canvas->Font()->Assign(FSysControl->Font());
    const rtl::String text = FSysControl->Text();
    TRect r = FSysControl->ClientRect();
    const TThemedButton element = FMouseDown ? tbPushButtonPressed
                                  : FMouseInControl ? tbPushButtonHot
                                  : FSysControl->Focused() ? tbPushButtonDefaulted
                                  : FSysControl->Enabled() ? tbPushButtonNormal
                                                           : tbPushButtonDisabled;
    const TThemedElementDetails details = style->GetElementDetails(element);
    DrawStyleElement(Canvas->Handle(), details, r, true);
    const TSysButtonKind kind = Kind();
    const bool link = kind == bkCommandLink;
    TRect r2 = r;
    bool images = false;
    BUTTON_IMAGELIST list{};
    int iw = 0, ih = 0;
    if (SendMessageW(FHandle, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list)) && list.himl &&
        ImageList_GetIconSize(static_cast<HIMAGELIST>(list.himl), &iw, &ih)) {
        images = true;
        const int y = link ? r2.Top + 15 : r2.Top + (r2.Height() - ih) / 2;
        ImageList_Draw(static_cast<HIMAGELIST>(list.himl), 0, Canvas->Handle(), r2.Left + 3, y, ILD_NORMAL);
        r2.Left += iw + 3;
    }
    if (link) {
        if (!images) r2.Left += 35;
        r2.Top += 15;
        r2.Left += 5;
        Canvas->Font()->Assign(FSysControl->Font());
        TColor c = clNone;
        if (style->GetElementColor(details, ecTextColor, c) && c != clNone) Canvas->Font()->SetColor(c);
        Canvas->Refresh();
        TRect t = r2;
        style->DrawText(Canvas->Handle(), details, text, t, TTextFormat(), Canvas->Font()->Color());
        const LRESULT length = SendMessageW(FHandle, BCM_GETNOTELENGTH, 0, 0);
        std::vector<WCHAR> note(size_t(std::max<LRESULT>(length, 0)) + 1, 0);
        DWORD size = DWORD(note.size());
        if (SendMessageW(FHandle, BCM_GETNOTE, reinterpret_cast<WPARAM>(&size), reinterpret_cast<LPARAM>(note.data()))) {
            r2.Top += Canvas->TextHeight(QStringLiteral("Wq")) + 2;
            Canvas->Font()->SetSize(8);
            Canvas->Refresh();
            TRect n = r2;
            style->DrawText(Canvas->Handle(), details, QString::fromUtf16(reinterpret_cast<const char16_t*>(note.data())), n,
                            TTextFormat{tfWordBreak}, Canvas->Font()->Color());
        }
        if (!images) {
            const TThemedButton glyph = FMouseDown ? tbCommandLinkGlyphPressed
                                        : FMouseInControl ? tbCommandLinkGlyphHot
                                        : FSysControl->Enabled() ? tbCommandLinkGlyphNormal
                                                                 : tbCommandLinkGlyphDisabled;
            style->DrawElement(Canvas->Handle(), style->GetElementDetails(glyph), TRect(3, 10, 35, 42));
        }
        return;
    }
    if (kind == bkSplitButton) {
        const int w = FSysControl->Width(), h = FSysControl->Height();
        const HDC dc = Canvas->Handle();
        const TColor font = FSysControl->Font()->Color();
        Line(dc, style->GetSystemColor(clBtnShadow), w - 15, 3, w - 15, h - 3);
        Line(dc, FSysControl->Enabled() ? style->GetSystemColor(clBtnHighlight) : font, w - 14, 3, w - 14, h - 3);
        for (int n = 3; n >= 0; --n) {
            const int y = h / 2 - n + 1;
            Line(dc, font, w - 8 - n, y, w - 8 + n + 1, y);
        }
    }
    DrawText(Canvas->Handle(), details, text, r,
             DT_CENTER | DT_VCENTER | DT_HIDEPREFIX | (Holds(FSysControl->Style(), BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE));
}

void TSysButtonStyleHook::PaintCheckBox(TCanvas* Canvas) {
    Canvas->Font()->Assign(FSysControl->Font());
    const TRect r = FSysControl->ClientRect();
    Canvas->Brush()->SetColor(FColor);
    Canvas->FillRect(r);
    const TThemedElementDetails details = StyleServices()->GetElementDetails(CheckElement());
    TRect box, text;
    CheckLayout(r, box, text);
    DrawStyleElement(Canvas->Handle(), details, box, true);
    if (FSysControl->Focused()) {
        const RECT f = r;
        DrawFocusRect(Canvas->Handle(), &f);
    }
    DrawCheckText(Canvas->Handle(), FSysControl->Text(), details, text);
}

void TSysButtonStyleHook::PaintGroupBox(TCanvas* Canvas) {
    TCustomStyleServices* style = StyleServices();
    Canvas->Font()->Assign(FSysControl->Font());
    const rtl::String text = FSysControl->Text();
    const int w = FSysControl->Width(), h = FSysControl->Height();
    const TSize extent = Canvas->TextExtent(text);
    TRect c = FSysControl->UseRightToLeftAlignment() ? TRect(w - extent.cx - 12, 0, w - 12, extent.cy)
                                                     : TRect(12, 0, 12 + extent.cx, extent.cy);
    SIZE own{0, 0};
    HDC wdc = GetDC(FHandle);
    GetTextExtentPoint32W(wdc, reinterpret_cast<LPCWSTR>(text.utf16()), int(text.size()), &own);
    ReleaseDC(FHandle, wdc);
    const TRect f(0, own.cy / 2 + 1, w, h);
    const TThemedElementDetails details = style->GetElementDetails(FSysControl->Enabled() ? tbGroupBoxNormal : tbGroupBoxDisabled);
    const HDC dc = Canvas->Handle();
    auto background = [&](const TRect& R) {
        if (FSysControl->ParentHandle()) TSysStyleHook::DrawParentBackground(dc, &R);
        else FillRectColor(dc, R, Colour(scWindow));
    };
    background(c);
    ExcludeClipRect(dc, f.Left + 4, c.Height() + 2, f.Right - 4, f.Height() - 2);
    background(f);
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, c.Left, c.Top, c.Right, c.Bottom);
    style->DrawElement(dc, details, f);
    RestoreDC(dc, saved);
    c.Top += 3;
    style->DrawText(dc, details, text, c, TTextFormat{tfLeft, tfSingleLine, tfVerticalCenter, tfHidePrefix}, clNone);
}

void TSysButtonStyleHook::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND: {
        const TSysButtonKind kind = Kind();
        if (kind != bkOwnerDrawn && kind != bkGroupBox && ParentPaintsBackground()) {
            Message.Result = 1;
            FHandled = true;
        }
        return;
    }
    case WM_NCPAINT:
    case WM_PAINT:
        if (Kind() == bkOwnerDrawn || !ParentPaintsBackground()) return;
        TMouseTrackSysControlStyleHook::Dispatch(Message);
        return;
    default: TMouseTrackSysControlStyleHook::Dispatch(Message); return;
    }
}

void TSysButtonStyleHook::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TMouseTrackSysControlStyleHook::WndProc(Message);
        Invalidate();
        return;
    case WM_ENABLE:
        if (FSysControl->Visible()) Invalidate();
        return;
    case WM_SETTEXT:
        SetRedraw(false);
        Message.Result = CallDefaultProc(Message);
        SetRedraw(true);
        Invalidate();
        return;
    case WM_STYLECHANGING:
    case WM_STYLECHANGED: Invalidate(); return;
    default: TMouseTrackSysControlStyleHook::WndProc(Message); return;
    }
}

// ---------------------------------------------------------------------------------------------------
// edits

TSysEditStyleHook::TSysEditStyleHook(HWND AHandle) : TMouseTrackSysControlStyleHook(AHandle) {
    SetStyleElements(TStyleElements{seFont, seBorder});
    UpdateColors();
}

TRect TSysEditStyleHook::GetBorderWidths() { return FSysControl->HasBorder() ? TRect(2, 2, 2, 2) : TRect(0, 0, 0, 0); }

void TSysEditStyleHook::UpdateColors() {
    const bool enabled = FSysControl->Enabled();
    SetColor(Colour(enabled ? scEdit : scEditDisabled));
    FFontColor = FOverrideFont ? Font(enabled ? sfEditBoxTextNormal : sfEditBoxTextDisabled) : clWindowText;
}

void TSysEditStyleHook::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_NCCALCSIZE) {
        if (!IsStyled() || !FOverridePaintNC) return;
        if (FSysControl->HasBorder()) InflateRect(reinterpret_cast<RECT*>(Message.LParam), -2, -2);
        FHandled = true;
        return;
    }
    TMouseTrackSysControlStyleHook::Dispatch(Message);
}

void TSysEditStyleHook::PaintNC(TCanvas* Canvas) {
    if (!IsStyled() || !FSysControl->HasBorder()) return;
    const TThemedEdit element = FSysControl->Focused() ? teEditBorderNoScrollFocused
                                : FMouseInControl ? teEditBorderNoScrollHot
                                : FSysControl->Enabled() ? teEditBorderNoScrollNormal
                                                         : teEditBorderNoScrollDisabled;
    const int w = FSysControl->Width(), h = FSysControl->Height();
    ExcludeClipRect(Canvas->Handle(), 2, 2, w - 2, h - 2);
    DrawStyleElement(Canvas->Handle(), StyleServices()->GetElementDetails(element), TRect(0, 0, w, h), true);
}

// ---------------------------------------------------------------------------------------------------
// list boxes

TSysListBoxStyleHook::TSysListBoxStyleHook(HWND AHandle) : TSysScrollingStyleHook(AHandle) {
    SetStyleElements(TStyleElements{seBorder});
    UpdateColors();
}

TRect TSysListBoxStyleHook::GetBorderWidths() {
    TRect r(0, 0, 0, 0);
    if (FSysControl->HasBorder()) r = TRect(2, 2, 2, 2);
    // A drop-down list gets no styled frame; a simple combo box's list keeps it.
    if (FSysControl->ControlClassName().compare(QStringLiteral("ComboLBox"), Qt::CaseInsensitive) == 0) {
        const HWND parent = GetParent(FHandle);
        if (!parent || !Holds(GetWindowLongPtrW(parent, GWL_STYLE), CBS_SIMPLE)) r = TRect(0, 0, 0, 0);
    }
    return r;
}

void TSysListBoxStyleHook::UpdateColors() {
    const bool enabled = FSysControl->Enabled();
    if (FBrush) FBrush->SetColor(Colour(enabled ? scListBox : scListBoxDisabled));
    FFontColor = Font(enabled ? sfListItemTextNormal : sfListItemTextDisabled);
}

// ---------------------------------------------------------------------------------------------------
// combo boxes

TSysComboBoxStyleHook::TSysComboBoxStyleHook(HWND AHandle) : TMouseTrackSysControlStyleHook(AHandle) {
    if (ComboStyle() == csSimple) FOverrideEraseBkgnd = true;
    FOverrideFont = true;
    UpdateColors();
}

TComboBoxStyle TSysComboBoxStyleHook::ComboStyle() const {
    if (!FHandle) return csDropDown;
    const LONG_PTR s = FSysControl->Style();
    TComboBoxStyle result = csDropDown;
    if (Holds(s, 2)) result = csDropDown;
    if (Holds(s, 1)) result = csSimple;
    if (Holds(s, 3)) result = csDropDownList;
    if (Holds(s, 0x13)) result = csOwnerDrawFixed;
    if (Holds(s, 0x23)) result = csOwnerDrawVariable;
    return result;
}

bool TSysComboBoxStyleHook::IsDroppedDown() const { return FHandle && SendMessageW(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0; }

TRect TSysComboBoxStyleHook::DropButtonRect() const {
    TRect r = FSysControl->ClientRect();
    r.Inflate(-2, -2);
    const int w = GetSysMetricsForDpi(SM_CXVSCROLL);
    if (FSysControl->BidiMode() == bmRightToLeft) r.Right = r.Left + w - 1;
    else r.Left = r.Right - w + 1;
    return r;
}

void TSysComboBoxStyleHook::UpdateColors() {
    const bool enabled = FSysControl->Enabled();
    SetColor(Colour(enabled ? scComboBox : scComboBoxDisabled));
    FFontColor = FOverrideFont ? Font(sfComboBoxItemNormal) : clWindowText;
}

void TSysComboBoxStyleHook::DrawComboBox(TCanvas* Canvas) {
    TCustomStyleServices* style = StyleServices();
    if (!style->Available()) return;
    const bool enabled = FSysControl->Enabled();
    const TThemedComboBox button = !enabled ? tcDropDownButtonDisabled
                                   : IsDroppedDown() ? tcDropDownButtonPressed
                                   : FMouseOnButton && FMouseInControl ? tcDropDownButtonHot
                                                                        : tcDropDownButtonNormal;
    const TThemedComboBox border = !enabled ? tcBorderDisabled
                                   : FSysControl->Focused() ? tcBorderFocused
                                   : FMouseInControl ? tcBorderHot
                                                     : tcBorderNormal;
    const int w = FSysControl->Width(), h = FSysControl->Height();
    auto bitmap = std::make_unique<TBitmap>(w, h);
    style->DrawElement(bitmap->Canvas()->Handle(), style->GetElementDetails(border), TRect(0, 0, w, h));
    const TRect drop = DropButtonRect();
    if (ComboStyle() != csSimple) style->DrawElement(bitmap->Canvas()->Handle(), style->GetElementDetails(button), drop);
    if (SendMessageW(FHandle, CB_GETCURSEL, 0, 0) >= 0) {
        TRect text = FSysControl->ClientRect();
        text.Inflate(-3, -3);
        text.Right = drop.Left - 2;
        ExcludeClipRect(Canvas->Handle(), text.Left, text.Top, text.Right, text.Bottom);
    }
    Canvas->Draw(0, 0, bitmap.get());
}

void TSysComboBoxStyleHook::WMPaintCombo(TMessage& Message) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    PAINTSTRUCT ps{};
    const bool own = dc == nullptr;
    if (own) dc = BeginPaint(FHandle, &ps);
    auto canvas = std::make_unique<TCanvas>();
    canvas->SetHandle(dc);
    const int saved = SaveDC(dc);
    DrawComboBox(canvas.get());
    RestoreDC(dc, saved);
    if (ComboStyle() != csSimple) {
        const TRect drop = DropButtonRect();
        TRect t = FSysControl->ClientRect();
        t.Inflate(-3, -3);
        if (FSysControl->BidiMode() == bmRightToLeft) t.Left = drop.Right + 1;
        else t.Right = drop.Left - 1;
        IntersectClipRect(dc, t.Left, t.Top, t.Right, t.Bottom);
        FillRectColor(dc, t, StyleServices()->GetSystemColor(clWindow));
        canvas->Font()->Assign(FSysControl->Font());
        if (TCustomForm* main = Application ? Application->MainForm() : nullptr) {
            const int dpi = main->Monitor() ? main->Monitor()->PixelsPerInch() : Screen->PixelsPerInch();
            canvas->Font()->SetSize(int(std::lround(double(canvas->Font()->Size()) * dpi / Screen->PixelsPerInch())));
        }
        SelectObject(dc, canvas->Font()->Handle());
        DrawText(dc, StyleServices()->GetElementDetails(tcComboBoxDontCare), FSysControl->Text(), t,
                 DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    }
    canvas->SetHandle(nullptr);
    if (own) EndPaint(FHandle, &ps);
    Message.Result = 0;
    FHandled = true;
}

void TSysComboBoxStyleHook::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT: WMPaintCombo(Message); return;
    case WM_MOUSEMOVE: {
        Message.Result = CallDefaultProc(Message);
        TMouseTrackSysControlStyleHook::Dispatch(Message);
        const bool on = DropButtonRect().Contains(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
        if (on != FMouseOnButton) {
            FMouseOnButton = on;
            const RECT r = DropButtonRect();
            InvalidateRect(FHandle, &r, FALSE);
        }
        FHandled = true;
        return;
    }
    case WM_COMMAND:
    case CN_COMMAND: {
        const WORD code = HIWORD(Message.WParam);
        if (code == 1 || (code >= 7 && code <= 10)) {
            FMouseOnButton = false;
            Invalidate();
        }
        return;
    }
    case WM_DRAWITEM:
    case CN_DRAWITEM:
        Message.Result = CallDefaultProc(Message);
        FHandled = true;
        return;
    default: TMouseTrackSysControlStyleHook::Dispatch(Message); return;
    }
}

void TSysComboBoxStyleHook::MouseLeave() {
    if (!IsDroppedDown() && FMouseOnButton) {
        FMouseOnButton = false;
        Invalidate();
    }
}

void TSysComboBoxStyleHook::WndProc(TMessage& Message) {
    const UINT msg = Message.Msg;
    if (msg == WM_KILLFOCUS || msg == CB_SETCURSEL) {
        SetRedraw(false);
        Message.Result = CallDefaultProc(Message);
        SetRedraw(true);
        Invalidate();
        return;
    }
    if ((msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || (msg >= CN_CTLCOLORMSGBOX && msg <= CN_CTLCOLORSTATIC)) {
        const HDC dc = reinterpret_cast<HDC>(Message.WParam);
        SetTextColor(dc, COLORREF(ColorToRGB(FFontColor)) & 0xFFFFFF);
        const TColor back = Colour(FSysControl->Enabled() ? scComboBox : scEditDisabled);
        FBrush->SetColor(back);
        SetBkColor(dc, COLORREF(ColorToRGB(back)) & 0xFFFFFF);
        Message.Result = reinterpret_cast<LRESULT>(BrushHandle());
        return;
    }
    if (msg == CM_FOCUSCHANGED) {
        Invalidate();
        Message.Result = CallDefaultProc(Message);
        return;
    }
    if (msg == CM_ENABLEDCHANGED) {
        UpdateColors();
        Message.Result = CallDefaultProc(Message);
        return;
    }
    TMouseTrackSysControlStyleHook::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------------
// statics

bool IsImageStatic(LONG_PTR Style) {
    const LONG_PTR type = Style & SS_TYPEMASK;
    return type == SS_ICON || type == SS_BITMAP || type == SS_ENHMETAFILE;
}

TSysStaticStyleHook::TSysStaticStyleHook(HWND AHandle)
    : TSysStyleHook(IsImageStatic(GetWindowLongPtrW(AHandle, GWL_STYLE)) ? nullptr : AHandle) {
    // An image static is not subclassed: the hook has no wrapper, brush or font, and does nothing.
    if (!FSysControl) return;
    SetStyleElements(TStyleElements{seFont, seClient, seBorder});
    UpdateColors();
}

bool TSysStaticStyleHook::IsTextStatic() const {
    if (!FSysControl) return false;
    const LONG_PTR type = FSysControl->Style() & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP;
}

bool TSysStaticStyleHook::IsFrameOrLineStatic() const {
    if (!FSysControl) return false;
    const LONG_PTR s = FSysControl->Style(), type = s & SS_TYPEMASK;
    return type == SS_ETCHEDHORZ || type == SS_ETCHEDVERT || type == SS_ETCHEDFRAME || Holds(s, SS_SUNKEN);
}

TTextFormat TSysStaticStyleHook::StaticTextFlags() const {
    TTextFormat f{tfHidePrefix};
    if (!FSysControl) return f;
    const LONG_PTR s = FSysControl->Style(), type = s & SS_TYPEMASK;
    f.Include(type == SS_RIGHT ? tfRight : type == SS_CENTER ? tfCenter : tfLeft);
    if (Holds(s, SS_ENDELLIPSIS)) f.Include(tfEndEllipsis);
    if (Holds(s, SS_PATHELLIPSIS)) f.Include(tfPathEllipsis);
    if (Holds(s, SS_WORDELLIPSIS)) f.Include(tfWordEllipsis);
    if (Holds(s, SS_NOPREFIX)) f.Include(tfNoPrefix);
    if (Holds(s, SS_EDITCONTROL)) f.Include(tfEditControl);
    if (!Holds(s, SS_ENDELLIPSIS) && !Holds(s, SS_PATHELLIPSIS)) {
        if (type == SS_LEFTNOWORDWRAP) f.Include(tfSingleLine);
        else f.Include(tfWordBreak);
    }
    return f;
}

void TSysStaticStyleHook::UpdateColors() {
    if (!FSysControl) return;
    SetColor(Colour(scWindow));
    FFontColor = StyleServices()->GetSystemColor(clWindowText);
}

void TSysStaticStyleHook::Paint(TCanvas* Canvas) {
    if (!FSysControl) return;
    const TRect r = FSysControl->ClientRect();
    if (GetBkMode(Canvas->Handle()) == TRANSPARENT) {
        const TThemedElementDetails d = StyleServices()->GetElementDetails(tbCheckBoxUncheckedNormal);
        StyleServices()->DrawParentBackground(FHandle, Canvas->Handle(), &d, false);
        Canvas->Brush()->SetStyle(bsClear);
    } else {
        FillRectColor(Canvas->Handle(), r, Colour(scWindow));
    }
    const TThemedElementDetails details =
        StyleServices()->GetElementDetails(FSysControl->Enabled() ? ttlTextLabelNormal : ttlTextLabelDisabled);
    Canvas->Font()->Assign(FSysControl->Font());
    SelectObject(Canvas->Handle(), Canvas->Font()->Handle());
    TRect t = r;
    DrawText(Canvas->Handle(), details, FSysControl->Text(), t, TTextFormatFlags(StaticTextFlags()));
}

void TSysStaticStyleHook::PaintNC(TCanvas* Canvas) {
    if (!IsFrameOrLineStatic()) return;
    const int w = FSysControl->Width(), h = FSysControl->Height();
    auto bitmap = std::make_unique<TBitmap>(w, h);
    TRect r(0, 0, w, h);
    Frame3D(bitmap->Canvas(), r, StyleServices()->ColorToRGB(clBtnShadow), StyleServices()->ColorToRGB(clBtnHighlight), 1);
    ExcludeClipRect(Canvas->Handle(), 1, 1, w - 1, h - 1);
    Canvas->Draw(0, 0, bitmap.get());
}

void TSysStaticStyleHook::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ENABLE:
        if (FSysControl->Visible()) Invalidate();
        return;
    case WM_SETTEXT:
        Message.Result = CallDefaultProc(Message);
        if (FSysControl->Visible()) Invalidate();
        return;
    case WM_PAINT:
        if (FOverridePaint && IsStyled() && IsTextStatic() && !FSysControl->Text().isEmpty()) TSysStyleHook::WndProc(Message);
        else Message.Result = CallDefaultProc(Message);
        return;
    default: TSysStyleHook::WndProc(Message); return;
    }
}

// ---------------------------------------------------------------------------------------------------
// registration

namespace {

int Registrations = 0;

struct TStdClass {
    const char16_t* Name;
    TSysStyleHookClass Hook;
};
const TStdClass StdClasses[] = {
    {u"Button", &CreateHook<TSysButtonStyleHook>},   {u"Edit", &CreateHook<TSysEditStyleHook>},
    {u"ComboLBox", &CreateHook<TSysListBoxStyleHook>}, {u"ComboBox", &CreateHook<TSysComboBoxStyleHook>},
    {u"ListBox", &CreateHook<TSysListBoxStyleHook>},  {u"Static", &CreateHook<TSysStaticStyleHook>},
};

} // namespace

void RegisterStdCtrlStyleHooks() {
    if (Registrations++ > 0) return;
    TCustomStyleServices* style = TStyleManager::ActiveStyle();
    if (!style || !style->Available()) return;
    for (const TStdClass& c : StdClasses) TSysStyleManager::RegisterSysStyleHook(QString::fromUtf16(c.Name), c.Hook);
}

void UnRegisterStdCtrlStyleHooks() {
    if (Registrations == 0 || --Registrations > 0) return;
    for (const TStdClass& c : StdClasses) TSysStyleManager::UnRegisterSysStyleHook(QString::fromUtf16(c.Name), c.Hook);
}

} // namespace styling
