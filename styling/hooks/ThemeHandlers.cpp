// styling/hooks/ThemeHandlers.cpp: one handler per theme class. Each picks its drawing by part, then
// by state; a part or state it does not list goes to the theme library unchanged.
#include "styling/hooks/ThemeHandlers.h"

#include <cstdio>
#include <initializer_list>

#include "styling/hooks/GlyphFont.h"
#include "styling/hooks/Hooks.h"
#include "styling/hooks/StyleGraphics.h"
#include "styling/hooks/StyleMisc.h"
#include "vcl/GraphUtil.h"
#include "vcl/Themes.h"

namespace styling {

using namespace vcl;

namespace {

TCustomStyleServices* Active() { return TStyleManager::ActiveStyle(); }
TColor StyleOf(TColor C) { return Active()->GetSystemColor(C); }
COLORREF Converted(TColor C) { return COLORREF(Active()->ColorToRGB(C)) & 0xFFFFFF; }

bool Same(const rtl::String& A, const char* B) { return A.compare(QLatin1String(B), Qt::CaseInsensitive) == 0; }
bool In(int Value, std::initializer_list<int> Set) {
    for (int v : Set)
        if (v == Value) return true;
    return false;
}
bool Between(int Value, int Low, int High) { return Value >= Low && Value <= High; }

bool Windows6Or61() {
    DWORD major = 0, minor = 0, build = 0;
    GetOSVersion(major, minor, build);
    return major == 6 && minor <= 1;
}

// One intercepted call and the drawing vocabulary the handlers share. Every drawing answers S_OK.
struct TCall {
    HTHEME Theme;
    HDC DC;
    int Part;
    int State;
    LPCRECT Rect;
    const void* Clip;
    TDrawThemeBackgroundTrampoline Trampoline;
    const rtl::String& ClassName;
    HWND Window;

    TRect R() const { return TRect(*Rect); }
    HRESULT Forward() const { return Trampoline(Theme, DC, Part, State, Rect, Clip); }

    template <class E> HRESULT Element(E Detail, const TRect& Where) const {
        DrawStyleElement(DC, Active()->GetElementDetails(Detail), Where, true);
        return S_OK;
    }
    template <class E> HRESULT Element(E Detail) const { return Element(Detail, R()); }
    // The parent's background behind the element first, when the handle has a window.
    template <class E> HRESULT ParentFirst(E Detail) const {
        TSavedDC saved(DC);
        if (Window) EraseParentBackground(Window, DC, R());
        return Element(Detail);
    }
    HRESULT Fill(TColor C, const TRect& Where) const {
        FillRectColor(DC, Where, C);
        return S_OK;
    }
    HRESULT Fill(TColor C) const { return Fill(C, R()); }
    HRESULT Wash(TColor C, uint8_t Alpha, const TRect& Where) const {
        AlphaFrameRect(DC, C, Where, Alpha);
        return S_OK;
    }
    HRESULT Arrow(TStyleArrowDirection Direction, TPoint At, int Size, TColor C) const {
        DrawStyleArrow(DC, Direction, At, Size, C);
        return S_OK;
    }
    HRESULT Glyph(uint16_t Code, const TRect& Where, TColor C) const { return GlyphOn(DC, Code, Where, C); }
    static HRESULT GlyphOn(HDC Target, uint16_t Code, const TRect& Where, TColor C) {
        if (TGlyphFont* font = GlyphFont()) font->DrawChar(Target, Code, Where, C, TGlyphOrientation::Horizontal, TGlyphAlignment::Left);
        return S_OK;
    }
    HRESULT Gradient(TColor From, TColor To, const TRect& Where, TGradientDirection Direction) const {
        TSavedDC saved(DC);
        TCanvas canvas;
        canvas.SetHandle(DC);
        GradientFillCanvas(&canvas, From, To, Where, Direction);
        canvas.SetHandle(nullptr);
        return S_OK;
    }
};

TRect Shrunk(TRect R, int By) {
    R.Inflate(-By, -By);
    return R;
}

TColor PanelFill() {
    TColor c = clNone;
    Active()->GetElementColor(Active()->GetElementDetails(tpPanelBackground), ecFillColor, c);
    return c;
}

TColor ButtonText() {
    TColor c = clNone;
    if (Active()->GetElementColor(Active()->GetElementDetails(tbPushButtonNormal), ecTextColor, c) && c != clNone) return c;
    return StyleOf(clBtnText);
}

// A Size x Size rectangle centred in R.
TRect CentredSquare(const TRect& R, int Size) {
    TRect g = CenterRectVertically(TRect(0, 0, Size, Size), R);
    g.Offset((R.Width() - Size) / 2, 0);
    return g;
}

// Draws Paint's picture on a 24-bit bitmap of R's size, whose (0, 0) stands for R's top-left, and puts
// the bitmap at R's top-left on the caller's DC. Transparent: the button face around the picture lets
// the DC show through.
template <class PaintOnBitmap> void ThroughBitmap(const TCall& C, bool Transparent, PaintOnBitmap Paint) {
    const TRect r = C.R();
    if (r.IsEmpty()) return;
    TSavedDC saved(C.DC);
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(r.Width(), r.Height());
    const TRect local(0, 0, r.Width(), r.Height());
    FillRectColor(b.Canvas()->Handle(), local, StyleOf(clBtnFace));
    if (Transparent) {
        b.SetTransparentColor(ColorToRGB(StyleOf(clBtnFace)));
        b.SetTransparent(true);
        if (C.Window) EraseParentBackground(C.Window, C.DC, r);
    }
    Paint(b.Canvas()->Handle(), local);
    TCanvas canvas;
    canvas.SetHandle(C.DC);
    canvas.Draw(r.Left, r.Top, &b);
    canvas.SetHandle(nullptr);
}

// ---- common controls ----------------------------------------------------------------------------------

HRESULT ListView(const TCall& C) {
    const TRect inner = Same(C.ClassName, "LISTVIEW") ? C.R() : Shrunk(C.R(), 1);
    switch (C.Part) {
    case 1:
        if (In(C.State, {2, 3, 5, 6})) return C.Wash(StyleOf(clHighlight), C.State == 6 ? 96 : 50, inner);
        break;
    case 3:
        if (In(C.State, {1, 2})) return C.Wash(StyleOf(clHighlight), C.State == 2 ? 96 : 50, inner);
        break;
    case 6:
        if (In(C.State, {2, 3, 4, 6, 8}) || Between(C.State, 10, 16)) return C.Wash(StyleOf(clHighlight), 96, Shrunk(C.R(), 1));
        break;
    case 7:
        if (Between(C.State, 1, 12) || Between(C.State, 14, 16))
            return C.Gradient(StyleOf(clWindowText), Active()->GetStyleColor(scEdit), C.R(), gdHorizontal);
        break;
    case 8:
        return C.ParentFirst(C.State == 2 ? tcpThemedChevronOpenedHot : C.State == 3 ? tcpThemedChevronOpenedPressed : tcpThemedChevronOpenedNormal);
    case 9:
        return C.ParentFirst(C.State == 2 ? tcpThemedChevronClosedHot : C.State == 3 ? tcpThemedChevronClosedPressed : tcpThemedChevronClosedNormal);
    case 10: return C.Fill(StyleOf(clWindow));
    }
    return C.Forward();
}

HRESULT Tab(const TCall& C) {
    switch (C.Part) {
    case 5:
        if (Between(C.State, 1, 3)) return C.Element(TThemedTab(ttTabItemNormal + C.State - 1));
        break;
    case 6:
        if (Between(C.State, 1, 4)) return C.Element(TThemedTab(ttTabItemLeftEdgeNormal + C.State - 1));
        break;
    case 7:
        if (Between(C.State, 1, 4)) return C.Element(TThemedTab(ttTabItemRightEdgeNormal + C.State - 1));
        break;
    case 9: return C.Element(ttPane);
    }
    return C.Forward();
}

HRESULT ListViewPopup(const TCall& C) {
    if (C.Part != 0) return C.Forward();
    C.Fill(StyleOf(clWindow));
    if (Windows6Or61()) SetTextColor(C.DC, Converted(StyleOf(clWindowText)));
    return S_OK;
}

HRESULT Header(const TCall& C) {
    switch (C.Part) {
    case 0: return C.Element(tcpThemedHeader);
    case 1: {
        const int group = Between(C.State, 1, 12) ? (C.State - 1) % 3 : 0;
        return C.ParentFirst(group == 1 ? thHeaderItemHot : group == 2 ? thHeaderItemPressed : thHeaderItemNormal);
    }
    case 4:
        return C.Arrow(C.State == 1 ? TStyleArrowDirection::Up : TStyleArrowDirection::Down,
                       TPoint(C.R().Left, C.R().Top + 3), 3, GetAccentTextColor());
    case 5:
    case 6:
        if (Between(C.State, 1, 3)) return C.Element(C.State == 1 ? ttbSplitButtonDropDownNormal : ttbSplitButtonDropDownHot);
        break;
    }
    return C.Forward();
}

HRESULT ToolTip(const TCall& C) {
    const TColor panel = Active()->GetStyleColor(scPanel);
    const TColor light = GetHighLightColor(panel, 10);
    switch (C.Part) {
    case 1: return C.Fill(panel);
    case 3: {
        const TRect r = C.R();
        return C.Gradient(light, panel, TRect(r.Left, r.Top, r.Width(), r.Bottom), gdVertical);
    }
    case 6: return C.Fill(light);
    }
    return C.Forward();
}

HRESULT TrackBar(const TCall& C) {
    if (C.Part == 2 && C.State == 1) return C.Element(ttbTrackVert);
    if (C.Part == 8 && Between(C.State, 1, 5)) return C.Element(TThemedTrackBar(ttbThumbRightNormal + C.State - 1));
    return C.Forward();
}

HRESULT ToolBar(const TCall& C) {
    switch (C.Part) {
    case 0:
        if (C.State != 0) break;
        if (C.Window) EraseParentBackground(C.Window, C.DC, C.R());
        return C.Element(tmPopupBackground);
    case 1:
        if (In(C.State, {1, 2, 3, 7}))
            return C.Element(C.State == 1 ? ttbButtonNormal : C.State == 3 ? ttbButtonPressed : ttbButtonHot);
        break;
    case 3:
        if (In(C.State, {1, 2, 3, 7, 8}))
            return C.Element(C.State == 1 ? ttbSplitButtonNormal : C.State == 3 ? ttbSplitButtonPressed : ttbSplitButtonHot);
        break;
    case 4:
        if (C.State == 1)
            return C.Arrow(TStyleArrowDirection::Down, TPoint(C.R().Left + 3, C.R().Top + 9), 3, StyleOf(clWindowText));
        if (In(C.State, {2, 3, 8}))
            return C.Element(C.State == 3 ? ttbSplitButtonDropDownPressed : ttbSplitButtonDropDownHot);
        break;
    }
    return C.Forward();
}

HRESULT Rebar(const TCall& C) {
    if (C.Part == 3 || C.Part == 6) return C.Fill(StyleOf(clBtnFace));
    return C.Forward();
}

HRESULT MonthCal(const TCall& C) {
    const TRect r = C.R();
    const int half = r.Width() / 2;
    switch (C.Part) {
    case 1:
    case 3: return C.Fill(Active()->GetStyleColor(scGrid));
    case 2: return C.Element(teEditBorderNoScrollNormal);
    case 4:
        C.Gradient(StyleOf(clWindow), StyleOf(clHighlight), TRect(r.Left, r.Top, half, r.Bottom), gdHorizontal);
        return C.Gradient(StyleOf(clHighlight), StyleOf(clWindow), TRect(half, r.Top, r.Width(), r.Bottom), gdHorizontal);
    case 5: return C.Wash(StyleOf(clHighlight), C.State == 5 ? 200 : 96, r);
    case 10:
        if (Between(C.State, 1, 4)) return C.Element(TThemedScrollBar(tsArrowBtnRightNormal + C.State - 1));
        break;
    case 11:
        if (Between(C.State, 1, 4)) return C.Element(TThemedScrollBar(tsArrowBtnLeftNormal + C.State - 1));
        break;
    }
    return C.Forward();
}

HRESULT DatePicker(const TCall& C) {
    if (!Between(C.State, 1, 4)) return C.Forward();
    if (C.Part == 2) return C.Element(TThemedEdit(teEditBorderNoScrollNormal + C.State - 1));
    if (C.Part != 3) return C.Forward();
    C.Element(C.State == 1 ? tcBorderNormal : C.State == 4 ? tcBorderDisabled : tcBorderHot);
    C.Fill(Active()->GetStyleColor(scEdit), Shrunk(C.R(), 2));
    const TColor glyph = C.State == 1 ? StyleOf(clWindowText) : C.State == 4 ? StyleOf(clGrayText) : GetAccentTextColor();
    return C.Glyph(0xF133, CentredSquare(C.R(), 14), glyph);
}

HRESULT ComboBox(const TCall& C) {
    if (!Between(C.State, 1, 4)) return C.Forward();
    if (C.Part == 4) return C.Element(TThemedComboBox(tcBorderNormal + C.State - 1));
    if (C.Part == 6) return C.Element(TThemedComboBox(tcDropDownButtonNormal + C.State - 1), Shrunk(C.R(), 2));
    return C.Forward();
}

HRESULT Spin(const TCall& C) {
    if ((C.Part != 1 && C.Part != 2) || !Between(C.State, 1, 4)) return C.Forward();
    static const TStyleFont text[] = {sfButtonTextNormal, sfButtonTextHot, sfButtonTextPressed, sfButtonTextDisabled};
    const bool up = C.Part == 1;
    C.Element(TThemedSpin((up ? tsUpNormal : tsDownNormal) + C.State - 1));
    return C.Arrow(up ? TStyleArrowDirection::Up : TStyleArrowDirection::Down, TPoint(C.R().Left + 5, C.R().Top + 3), 2,
                   Active()->GetStyleFontColor(text[C.State - 1]));
}

HRESULT ListBox(const TCall& C) {
    static const TThemedEdit border[] = {teEditBorderNoScrollNormal, teEditBorderNoScrollFocused, teEditBorderNoScrollHot,
                                         teEditBorderNoScrollDisabled};
    if (C.Part == 3 && Between(C.State, 1, 4)) return C.Element(border[C.State - 1]);
    return C.Forward();
}

HRESULT TreeView(const TCall& C) {
    switch (C.Part) {
    case 1:
        if (In(C.State, {2, 3, 5, 6})) return C.Wash(StyleOf(clHighlight), 96, C.R());
        break;
    case 2:
    case 4:
        return C.Arrow(C.State == 2 ? TStyleArrowDirection::Down : TStyleArrowDirection::Right,
                       TPoint(C.R().Left + 5, C.R().Top + 5), 3, StyleOf(C.Part == 2 ? clWindowText : clHighlightText));
    }
    return C.Forward();
}

HRESULT Button(const TCall& C) {
    switch (C.Part) {
    case 1:
    case 6:
        if (!Between(C.State, 1, 6)) break;
        ThroughBitmap(C, true, [&](HDC Target, const TRect& Local) {
            static const TThemedButton face[] = {tbPushButtonNormal, tbPushButtonHot, tbPushButtonPressed,
                                                 tbPushButtonDisabled, tbPushButtonDefaulted, tbPushButtonDefaultedAnimating};
            DrawStyleElement(Target, Active()->GetElementDetails(face[C.State - 1]), Local, true);
        });
        return S_OK;
    case 2:
        if (Between(C.State, 1, 8)) return C.Element(TThemedButton(tbRadioButtonUncheckedNormal + C.State - 1));
        break;
    case 3:
        if (Between(C.State, 1, 20)) return C.Element(TThemedButton(tbCheckBoxUncheckedNormal + C.State - 1));
        break;
    case 7:
        if (Between(C.State, 1, 5)) return C.ParentFirst(TThemedButton(tbCommandLinkGlyphNormal + C.State - 1));
        break;
    }
    return C.Forward();
}

HRESULT Progress(const TCall& C) {
    const bool plain = Same(C.ClassName, "PROGRESS");
    switch (C.Part) {
    case 1:
    case 11: return C.ParentFirst(tpBar);
    case 2:
    case 12: return C.ParentFirst(tpBarVert);
    case 3: return C.ParentFirst(tpChunk);
    case 4:
    case 6: return C.ParentFirst(tpChunkVert);
    case 5: return C.ParentFirst(plain ? tpChunk : tpBar);
    case 8: return C.ParentFirst(plain ? tpMoveOverlay : tpChunk);
    }
    return C.Forward();
}

// Parts 2 to 7 and 9: four states in the order normal, hot, pressed, disabled, with state 5 normal.
TThemedScrollBar FourStates(TThemedScrollBar Normal, int State) {
    if (State == 5) return Normal;
    return Between(State, 1, 4) ? TThemedScrollBar(Normal + State - 1) : tsScrollBarRoot;
}

TThemedScrollBar ScrollBarValue(int Part, int State) {
    switch (Part) {
    case 1:
        if (Between(State, 1, 16)) return TThemedScrollBar(tsArrowBtnUpNormal + State - 1);
        if (Between(State, 17, 20)) return TThemedScrollBar(tsArrowBtnUpNormal + (State - 17) * 4);
        return tsScrollBarRoot;
    case 2: return FourStates(tsThumbBtnHorzNormal, State);
    case 3: return FourStates(tsThumbBtnVertNormal, State);
    case 4: return FourStates(tsLowerTrackHorzNormal, State);
    case 5: return FourStates(tsUpperTrackHorzNormal, State);
    case 6: return FourStates(tsLowerTrackVertNormal, State);
    case 7: return FourStates(tsUpperTrackVertNormal, State);
    case 8: return Between(State, 1, 5) ? TThemedScrollBar(tsGripperHorzNormal + State - 1) : tsScrollBarRoot;
    case 9: return FourStates(tsGripperVertNormal, State);
    case 10: return Between(State, 1, 8) ? TThemedScrollBar(tsSizeBoxRightAlign + State - 1) : tsScrollBarRoot;
    }
    return tsScrollBarRoot;
}

HRESULT ScrollBar(const TCall& C) {
    if (C.Part == 2) C.Element(tsUpperTrackHorzNormal);
    if (C.Part == 3) C.Element(tsUpperTrackVertNormal);
    return C.Element(ScrollBarValue(C.Part, C.State));
}

HRESULT Edit(const TCall& C) {
    if ((C.Part == 5 || C.Part == 6) && Between(C.State, 1, 3)) return C.Element(TThemedEdit(teEditBorderNoScrollNormal + C.State - 1));
    if ((C.Part == 5 || C.Part == 6) && C.State == 4) return C.Fill(StyleOf(clWindow));
    if (!Between(C.State, 1, 4)) return C.Forward();
    if (C.Part == 7) return C.Element(TThemedEdit(teEditBorderHScrollNormal + C.State - 1));
    if (C.Part == 8) return C.Element(TThemedEdit(teEditBorderVScrollNormal + C.State - 1));
    if (C.Part == 9) return C.Element(TThemedEdit(teEditBorderHVScrollNormal + C.State - 1));
    return C.Forward();
}

// The clip rectangle of a menu call: a DrawThemeBackgroundEx call carries its options in that slot,
// whose rectangle counts only when its flags say so.
const RECT* MenuClip(const TCall& C) {
    if (!IsDrawThemeBackgroundEx(C.Trampoline)) return static_cast<const RECT*>(C.Clip);
    const auto* options = static_cast<const DTBGOPTS*>(C.Clip);
    if (!options || options->dwSize < sizeof(DTBGOPTS) || !(options->dwFlags & DTBG_CLIPRECT)) return nullptr;
    return &options->rcClip;
}

HRESULT Menu(const TCall& C) {
    switch (C.Part) {
    case 9: {
        const RECT* clip = MenuClip(C);
        if (clip && clip->right - clip->left != 0 && clip->bottom - clip->top != 0) {
            C.Fill(StyleOf(clMenu), TRect(*clip));
            if (Windows6Or61()) SetTextColor(C.DC, Converted(Active()->GetStyleFontColor(sfPopupMenuItemTextNormal)));
            return S_OK;
        }
        return C.Element(tmPopupBackground);
    }
    case 10: return C.Element(tmPopupBorders);
    case 11:
        if (Between(C.State, 1, 4))
            return C.Glyph(C.State <= 2 ? 0xF00C : 0xF111, C.R(), StyleOf(C.State % 2 ? clMenuText : clGrayText));
        break;
    case 12:
        if (Between(C.State, 1, 3)) return S_OK;
        break;
    case 13: {
        const RECT* clip = MenuClip(C);
        const bool usable = clip && clip->right > clip->left && clip->bottom > clip->top;
        return C.Fill(StyleOf(clMenu), usable ? TRect(*clip) : C.R());
    }
    case 14:
        if (Between(C.State, 1, 4)) {
            static const TThemedMenu item[] = {tmPopupItemNormal, tmPopupItemHot, tmPopupItemDisabled, tmPopupItemHot};
            return C.Element(item[C.State - 1]);
        }
        break;
    case 15: return C.Element(tmPopupSeparator);
    case 16:
        if (C.State == 1 || C.State == 2)
            return C.Arrow(TStyleArrowDirection::Right, TPoint(C.R().Left, C.R().Top + 3), 3,
                           Active()->GetStyleFontColor(C.State == 2 ? sfPopupMenuItemTextDisabled : sfPopupMenuItemTextNormal));
        break;
    case 17:
    case 18:
    case 19:
    case 20:
        if (C.State == 1 || C.State == 2) {
            static const char16_t glyph[] = {114, 49, 48, 50};
            TRect r = C.R();
            r.Top += 3;
            r.Right = r.Left + 10;
            r.Bottom = r.Top + 10;
            DrawMarlettGlyph(C.DC, glyph[C.Part - 17], r, false, C.State == 2);
            return S_OK;
        }
        break;
    }
    return C.Forward();
}

// ---- shell and dialog classes -------------------------------------------------------------------------

HRESULT InfoBar(const TCall& C) {
    if (C.Part == 1 && Between(C.State, 1, 4)) return C.Fill(PanelFill());
    return C.Forward();
}

HRESULT BreadcrumbBar(const TCall& C) {
    if (C.Part != 1) return C.Forward();
    if (C.State == 1 || C.State == 2) {
        C.Element(ttbButtonNormal);
        return C.Element(tsArrowBtnLeftNormal);
    }
    if (C.State == 3) {
        C.Element(ttbButtonPressed);
        return C.Element(tsArrowBtnLeftPressed);
    }
    if (C.State == 8) {
        C.Element(ttbButtonHot);
        return C.Element(tsArrowBtnLeftHot);
    }
    return C.Forward();
}

HRESULT TryHarder(const TCall& C) { return C.Part == 0 ? C.Fill(StyleOf(clWindow)) : C.Forward(); }

HRESULT PreviewPane(const TCall& C) {
    if (C.Part == 1 && C.State == 1) return C.Element(tcpThemedHeader);
    if ((C.Part == 3 || C.Part == 4) && C.State == 0) return C.Fill(PanelFill());
    return C.Forward();
}

HRESULT AddressBand(const TCall& C) {
    if (C.Part != 1 || !In(C.State, {1, 2, 4})) return C.Forward();
    C.Fill(StyleOf(clWindow));
    FrameRectColor(C.DC, C.R(), StyleOf(clBtnShadow));
    return S_OK;
}

HRESULT SearchBox(const TCall& C) {
    if (C.Part == 1 && In(C.State, {1, 2, 4}))
        return C.Element(C.State == 1 ? teEditBorderNoScrollNormal : C.State == 2 ? teEditBorderNoScrollHot : teEditBorderNoScrollFocused);
    if (C.Part == 3 && C.State == 1) return C.Glyph(0xF002, C.R(), StyleOf(clHighlight));
    return C.Forward();
}

HRESULT Navigation(const TCall& C) {
    if ((C.Part == 1 || C.Part == 2) && Between(C.State, 1, 4)) {
        static const TThemedToolBar face[] = {ttbButtonNormal, ttbButtonHot, ttbButtonPressed, ttbButtonDisabled};
        static const TColor glyph[] = {clBtnText, clHighlight, clHighlight, clGrayText};
        ThroughBitmap(C, false, [&](HDC Target, const TRect& Local) {
            DrawStyleElement(Target, Active()->GetElementDetails(face[C.State - 1]), Local, true);
            TCall::GlyphOn(Target, C.Part == 1 ? 0xF060 : 0xF061, CentredSquare(Local, 16), StyleOf(glyph[C.State - 1]));
        });
        return S_OK;
    }
    if (C.Part == 3 && Between(C.State, 1, 4)) {
        C.Fill(StyleOf(clBtnFace));
        return C.Element(TThemedToolBar(ttbSplitButtonDropDownNormal + C.State - 1));
    }
    return C.Forward();
}

HRESULT CommonItemsDialog(const TCall& C) {
    if (C.Part == 1 && C.State == 0) return C.Element(twWindowRoot);
    return C.Forward();
}

HRESULT CommandModule(const TCall& C) {
    auto framed = [&] {
        C.Element(tbPushButtonNormal);
        FrameRectColor(C.DC, Shrunk(C.R(), 1), StyleOf(clHighlight));
        return S_OK;
    };
    auto dropDown = [&](int Shift) {
        TRect r = C.R();
        r.Offset(Shift, 0);
        DrawDropDownArrow(C.DC, r, ButtonText());
        return S_OK;
    };
    switch (C.Part) {
    case 1:
        if (C.State == 0) return C.Element(tcpThemedHeader);
        break;
    case 3:
        if (C.State == 1) return C.Element(tbPushButtonNormal);
        if (Between(C.State, 2, 4)) return framed();
        break;
    case 4:
    case 5:
    case 9:
        if (C.State == 1) return C.Element(tbPushButtonNormal);
        if (Between(C.State, 2, 5)) return framed();
        break;
    case 6:
        if (C.State == 0 || C.State == 1) return dropDown(C.State == 0 ? 5 : 2);
        break;
    case 8:
        if (C.State == 1 || C.State == 2) return dropDown(5);
        break;
    case 11:
    case 12:
        if (C.State == 0) return C.Fill(PanelFill());
        break;
    }
    return C.Forward();
}

HRESULT TaskDialog(const TCall& C) {
    switch (C.Part) {
    case 1: {
        const TColor edit = Active()->GetStyleColor(scEdit);
        return C.Fill(edit == Active()->GetStyleColor(scBorder) ? Active()->GetStyleColor(scPanel) : edit);
    }
    case 8:
    case 15: return C.Fill(PanelFill());
    case 13:
        if (Between(C.State, 1, 6)) {
            static const TThemedCategoryPanelGroup chevron[] = {
                tcpThemedChevronClosedNormal, tcpThemedChevronClosedHot, tcpThemedChevronClosedPressed,
                tcpThemedChevronOpenedNormal, tcpThemedChevronOpenedHot, tcpThemedChevronOpenedPressed};
            return C.ParentFirst(chevron[C.State - 1]);
        }
        return C.Forward();
    case 17: {
        TSavedDC saved(C.DC);
        const TRect r = C.R();
        auto line = [&](int Y, TColor Colour) {
            HPEN pen = CreatePen(PS_SOLID, 1, Converted(Colour));
            HGDIOBJ old = SelectObject(C.DC, pen);
            MoveToEx(C.DC, r.Left, Y, nullptr);
            LineTo(C.DC, r.Right, Y);
            SelectObject(C.DC, old);
            DeleteObject(pen);
        };
        line(r.Top, StyleOf(clBtnShadow));
        line(r.Top + 1, StyleOf(clBtnHighlight));
        return S_OK;
    }
    }
    const QString text = QStringLiteral("UxTheme_TaskDialog  class %1 hTheme %2 iPartId %3 iStateId %4")
                             .arg(C.ClassName)
                             .arg(int(reinterpret_cast<intptr_t>(C.Theme)))
                             .arg(C.Part)
                             .arg(C.State);
    OutputDebugStringW(reinterpret_cast<LPCWSTR>(text.utf16()));
    return C.Forward();
}

template <HRESULT (*Handler)(const TCall&)>
HRESULT Entry(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pRect, const void* Clip,
              TDrawThemeBackgroundTrampoline Trampoline, const rtl::String& ClassName, HWND hwnd) {
    const TCall call{hTheme, hdc, iPartId, iStateId, pRect, Clip, Trampoline, ClassName, hwnd};
    // Without a rectangle there is nothing to place a drawing in: the library answers such a call.
    if (!pRect) return call.Forward();
    return Handler(call);
}

} // namespace

std::vector<std::pair<rtl::String, TFuncDrawThemeBackground>> ThemeClassHandlerTable() {
    std::vector<std::pair<rtl::String, TFuncDrawThemeBackground>> table;
    auto add = [&](std::initializer_list<const char*> Keys, TFuncDrawThemeBackground Handler) {
        for (const char* key : Keys) table.emplace_back(QString::fromLatin1(key), Handler);
    };
    add({"InfoBar"}, &Entry<InfoBar>);
    add({"BreadcrumbBar"}, &Entry<BreadcrumbBar>);
    add({"TryHarder"}, &Entry<TryHarder>);
    add({"TAB"}, &Entry<Tab>);
    add({"TOOLTIP"}, &Entry<ToolTip>);
    add({"TRACKBAR"}, &Entry<TrackBar>);
    add({"PreviewPane"}, &Entry<PreviewPane>);
    add({"TOOLBAR"}, &Entry<ToolBar>);
    add({"AddressBand"}, &Entry<AddressBand>);
    add({"SearchBox", "SearchBoxCompositedSearchBox::SearchBox", "SearchBoxComposited::SearchBox",
         "InactiveSearchBoxCompositedSearchBox::SearchBox"},
        &Entry<SearchBox>);
    add({"CommandModule"}, &Entry<CommandModule>);
    add({"MENU"}, &Entry<Menu>);
    add({"REBAR"}, &Entry<Rebar>);
    add({"EDIT"}, &Entry<Edit>);
    add({"LISTBOX"}, &Entry<ListBox>);
    add({"SPIN"}, &Entry<Spin>);
    add({"COMBOBOX"}, &Entry<ComboBox>);
    add({"ListViewPopup"}, &Entry<ListViewPopup>);
    add({"HEADER", "ItemsView::Header"}, &Entry<Header>);
    add({"LISTVIEW", "ItemsView", "ItemsView::ListView", "Explorer::ListView"}, &Entry<ListView>);
    add({"DATEPICKER"}, &Entry<DatePicker>);
    add({"MONTHCAL"}, &Entry<MonthCal>);
    add({"SCROLLBAR"}, &Entry<ScrollBar>);
    add({"PROGRESS", "Indeterminate::Progress"}, &Entry<Progress>);
    add({"TASKDIALOG"}, &Entry<TaskDialog>);
    add({"BUTTON", "Button-OK;Button", "Button-CANCEL;Button"}, &Entry<Button>);
    add({"TREEVIEW"}, &Entry<TreeView>);
    DWORD major = 0, minor = 0, build = 0;
    GetOSVersion(major, minor, build);
    if (major > 6 || (major == 6 && minor >= 2)) {
        add({"Navigation"}, &Entry<Navigation>);
        add({"CommonItemsDialog"}, &Entry<CommonItemsDialog>);
    }
    return table;
}

void RegisterThemeClassHandlers() {
    for (const auto& [key, handler] : ThemeClassHandlerTable()) RegisterThemeClassHandler(key, handler);
}

void DrawMarlettChar(HDC DC, char16_t Char, const TRect& R, bool Bold, TColor Color) {
    LOGFONTW lf{};
    lf.lfHeight = R.Height();
    lf.lfWeight = Bold ? 700 : 400;
    lf.lfCharSet = 1;
    lf.lfQuality = 4;
    const char16_t face[] = u"Marlett";
    std::copy(std::begin(face), std::end(face), lf.lfFaceName);
    HFONT font = CreateFontIndirectW(&lf);
    if (!font) return;
    const COLORREF oldColour = SetTextColor(DC, Converted(Color));
    HGDIOBJ oldFont = SelectObject(DC, font);
    const int oldMode = SetBkMode(DC, TRANSPARENT);
    RECT r = R;
    DrawTextW(DC, reinterpret_cast<LPCWSTR>(&Char), 1, &r, DT_SINGLELINE);
    SetBkMode(DC, oldMode);
    SetTextColor(DC, oldColour);
    SelectObject(DC, oldFont);
    DeleteObject(font);
}

void DrawMarlettGlyph(HDC DC, char16_t Char, const TRect& R, bool Bold, bool Disabled) {
    DrawMarlettChar(DC, Char, R, Bold, Active()->GetStyleFontColor(Disabled ? sfPopupMenuItemTextDisabled : sfPopupMenuItemTextNormal));
}

} // namespace styling
