// skins/SkSkinsFaces.cpp: the skin's text colours, check and radio marks and theme-element map, and
// the shared button, edit-frame and list-item faces.
#include "skins/SkSkinsFaces.h"

#include "skins/SkSkinsPaint.h"

#include "win/windows.h"

#include <vector>

namespace skins {

using namespace vcl;

namespace {

// Combo-box theme part and states of the edit frame.
constexpr int CP_BORDER = 4;
constexpr int CBB_NORMAL = 1, CBB_HOT = 2, CBB_DISABLED = 4;

TSkSkinType SkinType() { return GetSkinManager()->GetSkinType(); }

template <class E> TThemedElementDetails Element(E Detail) { return ActiveStyleServices()->GetElementDetails(Detail); }

// Normal, Hot, Pressed, Disabled follow each other in a check or radio box group.
TThemedButton BoxMember(TThemedButton Normal, int Offset) { return TThemedButton(int(Normal) + Offset); }

bool IsThemedType(TSkSkinType Type) { return Type == sknWindows || Type == sknDelphiStyle; }

// The theme path of the menu marks: menu items under the system theme, everything under a style.
bool MarksThemed(bool MenuItemStyle) {
    const TSkSkinType type = SkinType();
    return (MenuItemStyle && type == sknWindows && IsWindowsVistaOrLater()) || type == sknDelphiStyle;
}

void PaintIn(TCanvas* ACanvas, TColor Color) {
    ACanvas->Brush()->SetColor(Color);
    ACanvas->Pen()->SetColor(Color);
}

// A menu item's mark: menu text, under the system theme the box's text colour, under a skin the item's.
TColor MenuMarkColor(TSkSkinOptions* Skin, TSkSkinComponentsType Box, TSkSkinStatesType State) {
    switch (SkinType()) {
    case sknWindows: return Skin->GetTextColor(Box, State);
    case sknSkin: return Skin->GetTextColor(skncMenuItem, State);
    default: return clMenuText;
    }
}

void DrawCenteredElement(TCanvas* ACanvas, const TRect& ARect, const TThemedElementDetails& Details) {
    const TSize size = TSkSkinOptions::GetThemedElementSize(ACanvas, Details);
    TSkSkinOptions::PaintThemedElementBackground(ACanvas, CenteredRect(ARect, size.cx, size.cy), Details);
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Theme elements

bool TSkSkinOptions::GetThemedElementDetails(TSkSkinComponentsType Component, bool Enabled, bool Pushed,
                                             bool HotTrack, bool Checked, bool Focused, bool Defaulted, bool Grayed,
                                             TThemedElementDetails& Details) const {
    const bool style = SkinType() == sknDelphiStyle;
    const bool modern = style || IsWindowsVistaOrLater();
    const bool E = Enabled, P = Pushed, H = HotTrack, C = Checked;
    switch (Component) {
    case skncDock: Details = style ? Element(ttbToolBarDontCare) : Element(trRebarDontCare); return true;
    case skncDockablePanel: Details = Element(tcpBackground); return true;
    case skncDockablePanelTitleBar: Details = Element(tcpThemedHeader); return true;
    case skncGutter: Details = Element(tmPopupGutter); return true;
    case skncPanel: Details = Element(E ? tbGroupBoxNormal : tbGroupBoxDisabled); return true;
    case skncPopup: Details = Element(tmPopupBackground); return true;
    // Enabled carries the separator's horizontality and the grip's verticality.
    case skncSeparator: Details = Element(E ? ttbSeparatorNormal : ttbSeparatorVertNormal); return true;
    case skncStatusBar: Details = Element(tsStatusRoot); return true;
    case skncStatusBarGrip: Details = Element(tsGripper); return true;
    case skncToolbar: Details = Element(trBand); return true;
    case skncToolbarGrip: Details = Element(E ? trGripperVert : trGripper); return true;
    case skncWindowTitleBar:
        if (style)
            Details = Element(E ? twCaptionActive : twCaptionInactive);
        else
            Details = Element(E ? twSmallCaptionActive : twSmallCaptionInactive);
        return true;
    case skncMenuBarItem:
        if (!modern)
            Details = Element(tmMenuBarItem);
        else
            Details = Element(!E ? tmMenuBarItemDisabled : P ? tmMenuBarItemPushed : !H ? tmMenuBarItemNormal : tmMenuBarItemHot);
        return true;
    case skncMenuItem:
        if (!modern)
            Details = Element(!H ? tmMenuItemNormal : tmMenuItemSelected);
        else
            Details = Element(H && !E ? tmPopupItemDisabledHot : !E ? tmPopupItemDisabled : !H ? tmPopupItemNormal : tmPopupItemHot);
        return true;
    case skncToolbarItem:
        Details = Element(!E        ? ttbButtonDisabled
                          : P       ? ttbButtonPressed
                          : H && C  ? ttbButtonCheckedHot
                          : H       ? ttbButtonHot
                          : C       ? ttbButtonChecked
                                    : ttbButtonNormal);
        return true;
    case skncButton:
    case skncEditButton:
        Details = Element(!E           ? tbPushButtonDisabled
                          : P || C     ? tbPushButtonPressed
                          : H          ? tbPushButtonHot
                          : Focused || Defaulted ? tbPushButtonDefaulted
                                                 : tbPushButtonNormal);
        return true;
    case skncCheckBox: {
        const TThemedButton group = Grayed ? tbCheckBoxMixedNormal : C ? tbCheckBoxCheckedNormal : tbCheckBoxUncheckedNormal;
        Details = Element(BoxMember(group, !E ? 3 : P ? 2 : H ? 1 : 0));
        return true;
    }
    case skncLabel: Details = Element(E ? tbCheckBoxUncheckedNormal : tbCheckBoxUncheckedDisabled); return true;
    case skncRadioButton: {
        const TThemedButton group = C ? tbRadioButtonCheckedNormal : tbRadioButtonUncheckedNormal;
        Details = Element(BoxMember(group, !E ? 3 : P ? 2 : !H ? 0 : 1));
        return true;
    }
    case skncTab:
        Details = Element(!E ? ttTabItemDisabled : P || C ? ttTabItemSelected : H ? ttTabItemHot : ttTabItemNormal);
        return true;
    default: return false;
    }
}

bool TSkSkinOptions::GetThemedElementDetails(TSkSkinComponentsType Component, TSkSkinStatesType State,
                                             TThemedElementDetails& Details) const {
    bool enabled, pushed, hot, checked;
    GetState(State, enabled, pushed, hot, checked);
    return GetThemedElementDetails(Component, enabled, pushed, hot, checked, false, false, false, Details);
}

TSize TSkSkinOptions::GetThemedElementSize(TCanvas* ACanvas, const TThemedElementDetails& Details) {
    TSize size{0, 0};
    ActiveStyleServices()->GetElementSize(ACanvas->Handle(), Details, esActual, size);
    return size;
}

void TSkSkinOptions::GetThemedElementTextColor(const TThemedElementDetails& Details, TColor& AColor) {
    TColor color = AColor;
    if (ActiveStyleServices()->GetElementColor(Details, ecTextColor, color)) AColor = color;
}

TColor TSkSkinOptions::GetThemedSystemColor(TColor AColor) { return ActiveStyleServices()->GetSystemColor(AColor); }

void TSkSkinOptions::PaintThemedElementBackground(TCanvas* ACanvas, const TRect& ARect,
                                                  const TThemedElementDetails& Details) {
    HDC dc = ACanvas->Handle();
    const int saved = SaveDC(dc);
    ActiveStyleServices()->DrawElement(dc, Details, ARect);
    RestoreDC(dc, saved);
}

void TSkSkinOptions::PaintThemedElementBackground(TCanvas* ACanvas, const TRect& ARect,
                                                  TSkSkinComponentsType Component, bool Enabled, bool Pushed,
                                                  bool HotTrack, bool Checked, bool Focused, bool Defaulted,
                                                  bool Grayed) {
    TThemedElementDetails details;
    if (GetCurrentSkin()->GetThemedElementDetails(Component, Enabled, Pushed, HotTrack, Checked, Focused, Defaulted,
                                                  Grayed, details))
        PaintThemedElementBackground(ACanvas, ARect, details);
}

void TSkSkinOptions::PaintThemedElementBackground(TCanvas* ACanvas, const TRect& ARect,
                                                  TSkSkinComponentsType Component, TSkSkinStatesType State) {
    TThemedElementDetails details;
    if (GetCurrentSkin()->GetThemedElementDetails(Component, State, details))
        PaintThemedElementBackground(ACanvas, ARect, details);
}

// ---------------------------------------------------------------------------------------------------
// Text colours

TColor TSkSkinOptions::GetTextColor(TSkSkinComponentsType Component, TSkSkinStatesType State) {
    const TSkSkinType type = SkinType();
    if (type == sknSkin) {
        if (!IsValidSkinState(Component, State)) return clNone;
        const TColor own = Options(Component, State)->TextColor();
        if (own != clNone) return own;
    }
    const bool disabled = State == sknsDisabled;
    const TColor start = disabled ? clGrayText : clBtnText;
    auto themed = [&] {
        TColor color = start;
        TThemedElementDetails details;
        if (GetThemedElementDetails(Component, State, details)) GetThemedElementTextColor(details, color);
        return color;
    };
    const TColor menuText = disabled ? start : clMenuText;
    switch (Component) {
    case skncDockablePanelTitleBar:
    case skncWindowTitleBar:
        if (type == sknSkin) return GetTextColor(skncToolbarItem, State);
        return IsThemedType(type) ? themed() : start;
    case skncStatusBar:
        if (type == sknSkin) return GetTextColor(skncToolbarItem, State);
        if (IsThemedType(type)) {
            TColor color = start;
            GetThemedElementTextColor(Element(tsPane), color);
            return color;
        }
        return start;
    case skncTabToolbar:
        if (type == sknSkin) return GetTextColor(skncToolbarItem, State);
        return IsThemedType(type) ? GetTextColor(skncTab, State) : start;
    case skncMenuBarItem:
    case skncMenuItem: {
        if (type == sknDelphiStyle || (type == sknWindows && IsWindowsVistaOrLater())) return themed();
        if (disabled) return start;
        // Classic menus highlight the hot and pushed item (the classic bar also its open, checked one);
        // the skin and the classic bar keep menu text.
        const bool highlights = Component == skncMenuItem ? type != sknSkin : type == sknWindows;
        const bool hot = State == sknsHotTrack || State == sknsPushed || State == sknsCheckedAndHotTrack ||
                         (State == sknsChecked && Component == skncMenuBarItem);
        return highlights && hot ? clHighlightText : clMenuText;
    }
    case skncToolbarItem: return type == sknDelphiStyle ? themed() : menuText;
    case skncButton:
    case skncCheckBox:
    case skncEditButton:
    case skncLabel:
    case skncRadioButton:
    case skncTab: return IsThemedType(type) ? themed() : start;
    case skncListItem: {
        const bool selected = State == sknsChecked || State == sknsCheckedAndHotTrack;
        if (type == sknSkin) return start;
        if (type == sknDelphiStyle)
            return ActiveStyleServices()->GetStyleFontColor(selected ? sfListItemTextSelected : sfListItemTextNormal);
        return selected ? clHighlightText : start;
    }
    default: return start;
    }
}

// ---------------------------------------------------------------------------------------------------
// Check and radio marks

void TSkSkinOptions::PaintMenuCheckMark(TCanvas* ACanvas, const TRect& ARect, bool Checked, bool Grayed,
                                        bool MenuItemStyle, TSkSkinStatesType State) {
    if (MarksThemed(MenuItemStyle)) {
        DrawCenteredElement(ACanvas, ARect, Element(State == sknsDisabled ? tmPopupCheckDisabled : tmPopupCheckNormal));
        return;
    }
    TCanvasColorsSaver saver(ACanvas);
    const int X = ARect.Left + ARect.Width() / 2 - 1, Y = ARect.Top + ARect.Height() / 2 + 1;
    if (MenuItemStyle) {
        PaintIn(ACanvas, MenuMarkColor(this, skncCheckBox, State));
        ACanvas->Polygon({TPoint(X - 3, Y - 2), TPoint(X - 1, Y), TPoint(X + 3, Y - 4), TPoint(X + 3, Y - 3),
                          TPoint(X - 1, Y + 1), TPoint(X - 3, Y - 1)});
        return;
    }
    const TColor mark = GetTextColor(skncCheckBox, State);
    PaintBackground(ACanvas, ARect, skncCheckBox, State, true, true, false, {});
    PaintIn(ACanvas, mark);
    if (Checked) {
        ACanvas->Polygon({TPoint(X - 2, Y), TPoint(X, Y + 2), TPoint(X + 4, Y - 2), TPoint(X + 4, Y - 4), TPoint(X, Y),
                          TPoint(X - 2, Y - 2)});
    } else if (Grayed) {
        TRect r = ARect;
        r.Inflate(-3, -3);
        ACanvas->FillRect(r);
    }
}

void TSkSkinOptions::PaintMenuRadioMark(TCanvas* ACanvas, const TRect& ARect, bool Checked, bool MenuItemStyle,
                                        TSkSkinStatesType State) {
    if (MarksThemed(MenuItemStyle)) {
        DrawCenteredElement(ACanvas, ARect,
                            Element(State == sknsDisabled ? tmPopupBulletDisabled : tmPopupBulletNormal));
        return;
    }
    TCanvasColorsSaver saver(ACanvas);
    if (MenuItemStyle) {
        PaintIn(ACanvas, MenuMarkColor(this, skncRadioButton, State));
        const int X = ARect.Left + ARect.Width() / 2, Y = ARect.Top + ARect.Height() / 2;
        ACanvas->RoundRect(X - 3, Y - 3, X + 3, Y + 3, 2, 2);
        return;
    }
    const TRect B = CenteredRect(ARect, 13, 13);
    const int x = B.Left, y = B.Top;
    const std::vector<TPoint> outline{
        {x, y + 8},       {x, y + 4},       {x + 1, y + 3},   {x + 1, y + 2},   {x + 2, y + 1},   {x + 3, y + 1},
        {x + 4, y},       {x + 8, y},       {x + 9, y + 1},   {x + 10, y + 1},  {x + 11, y + 2},  {x + 11, y + 3},
        {x + 12, y + 4},  {x + 12, y + 8},  {x + 11, y + 9},  {x + 11, y + 10}, {x + 10, y + 11}, {x + 9, y + 11},
        {x + 8, y + 12},  {x + 4, y + 12},  {x + 3, y + 11},  {x + 2, y + 11},  {x + 1, y + 10},  {x + 1, y + 8}};
    HDC dc = ACanvas->Handle();
    // The body is clipped to the round outline; the caller's clip comes back afterwards.
    const int saved = SaveDC(dc);
    const std::vector<POINT> points(outline.begin(), outline.end());
    BeginPath(dc);
    Polyline(dc, points.data(), int(points.size()));
    EndPath(dc);
    SelectClipPath(dc, RGN_AND);
    PaintBackground(ACanvas, B, skncRadioButton, State, true, false, false, {});
    RestoreDC(dc, saved);
    const TColor border = Options(skncRadioButton, State)->Borders()->Color1();
    if (border != clNone) {
        ACanvas->Pen()->SetColor(border);
        ACanvas->Polyline(outline);
    }
    if (Checked) {
        PaintIn(ACanvas, GetTextColor(skncRadioButton, State));
        const int X = (B.Left + B.Right) / 2, Y = (B.Top + B.Bottom) / 2 + 1;
        ACanvas->RoundRect(X - 2, Y - 3, X + 3, Y + 2, 2, 2);
    }
}

// ---------------------------------------------------------------------------------------------------
// Faces

void DrawButtonFace(TCanvas* ACanvas, const TRect& R, bool Enabled, bool Pushed, bool HotTrack, bool Checked,
                    bool Focused, bool Defaulted) {
    switch (SkinType()) {
    case sknNone: {
        TRect r = R;
        FillRectFramed(ACanvas, r, clBtnFace, clNone);
        if (Focused || Defaulted) {
            FillRectFramed(ACanvas, r, clNone, clWindowFrame);
            r.Inflate(-1, -1);
        }
        if (Pushed || Checked) {
            FillRectFramed(ACanvas, r, clNone, clBtnShadow);
        } else {
            RECT rc = r;
            DrawFrameControl(ACanvas->Handle(), &rc, DFC_BUTTON, DFCS_BUTTONPUSH);
        }
        break;
    }
    case sknSkin:
        GetCurrentSkin()->PaintBackground(ACanvas, R, skncButton,
                                          TSkSkinOptions::GetState(Enabled, Pushed, HotTrack, Checked), true, true);
        break;
    default:
        TSkSkinOptions::PaintThemedElementBackground(ACanvas, R, skncButton, Enabled, Pushed, HotTrack, Checked,
                                                     Focused, Defaulted, false);
        break;
    }
    if (Focused) {
        TRect focus = R;
        focus.Inflate(-3, -3);
        DrawFocusRectangle(ACanvas, focus);
    }
}

void DrawEditFrame(TCanvas* ACanvas, const TRect& R, bool Enabled, bool HotTrack) {
    const TSkSkinType type = SkinType();
    if (type == sknSkin) {
        const TSkSkinStatesType state = !Enabled ? sknsDisabled : HotTrack ? sknsHotTrack : sknsNormal;
        GetCurrentSkin()->PaintBackground(ACanvas, R, skncEditFrame, state, true, true);
        return;
    }
    if (IsThemedType(type)) {
        // Without the combo-box theme class the classic frame stands in.
        if (HTHEME theme = OpenThemeData(nullptr, u"COMBOBOX")) {
            const bool modern = IsWindowsVistaOrLater();
            const int part = modern ? CP_BORDER : 0;
            const int state = !modern ? 0 : !Enabled ? CBB_DISABLED : HotTrack ? CBB_HOT : CBB_NORMAL;
            RECT rc = R;
            DrawThemeBackground(theme, ACanvas->Handle(), part, state, &rc, nullptr);
            CloseThemeData(theme);
            return;
        }
    }
    if (HotTrack)
        DrawSkinFrame(ACanvas, R, 0, clBtnShadow, clBtnHighlight, clBtnFace, clBtnFace);
    else
        DrawSkinFrame(ACanvas, R, 0, clBtnFace, clBtnFace, clBtnFace, clBtnFace);
}

void PaintEditFrameNC(TWinControl* AEdit, bool HotTrack, bool NoBorder) {
    if (!AEdit || !AEdit->HandleAllocated()) return;
    HWND wnd = AEdit->Handle();
    HDC dc = GetWindowDC(wnd);
    if (!dc) return;
    RECT window{};
    GetWindowRect(wnd, &window);
    const TRect R(0, 0, window.right - window.left, window.bottom - window.top);
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
    {
        TCanvas canvas;
        canvas.SetHandle(dc);
        if (NoBorder) {
            FillRectFramed(&canvas, R, AEdit->Color(), clNone);
        } else {
            FillParentBackground(AEdit, dc, R);
            DrawEditFrame(&canvas, R, AEdit->Enabled(), HotTrack);
        }
        canvas.SetHandle(nullptr);
    }
    RestoreDC(dc, saved);
    ReleaseDC(wnd, dc);
}

void DrawListItemBackground(TCanvas* ACanvas, const TRect& R, bool Selected, bool HotTrack, bool Focused,
                            bool SquareCorners, bool Borders) {
    const TSkSkinStatesType state = TSkSkinOptions::GetState(true, false, HotTrack, Selected);
    ACanvas->Font()->SetColor(GetCurrentSkin()->GetTextColor(skncListItem, state));
    const TSkSkinType type = SkinType();
    if (type == sknSkin) {
        ACanvas->FillRect(R);
        if (Selected || HotTrack) {
            const TAnchors square = SquareCorners ? TAnchors{akLeft, akTop, akRight, akBottom} : TAnchors{};
            GetCurrentSkin()->PaintBackground(ACanvas, R, skncListItem, state, true, Borders, false, square);
        }
        return;
    }
    if (type == sknDelphiStyle)
        ACanvas->Brush()->SetColor(Selected ? TSkSkinOptions::GetThemedSystemColor(clHighlight)
                                            : ActiveStyleServices()->GetStyleColor(scListBox));
    else if (Selected)
        ACanvas->Brush()->SetColor(clHighlight);
    ACanvas->FillRect(R);
    if (Focused) DrawFocusRectangle(ACanvas, R);
}

} // namespace skins
