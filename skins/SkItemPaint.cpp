// skins/SkItemPaint.cpp: the bar painters that need no bar, the item font settings and the window
// utilities.
#include "skins/SkItemPaint.h"

#include "skins/SkSkinsPaint.h"
#include "toolbars/BarCommon.h"

#include "win/windows.h"

#include <algorithm>

namespace skins {

using namespace vcl;

namespace {

TSkSkinType SkinType() { return GetSkinManager()->GetSkinType(); }

// "Themed": the system's visual styles from Vista on, or always under a style.
bool IsThemed(TSkSkinType Type) { return (Type == sknWindows && IsWindowsVistaOrLater()) || Type == sknDelphiStyle; }

template <class E> TThemedElementDetails Element(E Detail) { return ActiveStyleServices()->GetElementDetails(Detail); }

void Edge(TCanvas* ACanvas, TRect R, UINT EdgeKind, UINT Flags) {
    RECT rc = R;
    DrawEdge(ACanvas->Handle(), &rc, EdgeKind, Flags);
}

// The sides the two halves of a split button meet on are square.
TAnchors SquareSides(TSkComboPart ComboPart) {
    if (ComboPart == cpSplitLeft) return TAnchors{akRight};
    if (ComboPart == cpSplitRight) return TAnchors{akLeft};
    return TAnchors{};
}

// Normal, Hot, Pressed, Disabled, Checked, CheckedHot follow each other in the toolbar's button groups.
int ToolbarStateOffset(TSkSkinStatesType State) {
    switch (State) {
    case sknsHotTrack: return 1;
    case sknsPushed: return 2;
    case sknsDisabled: return 3;
    case sknsChecked: return 4;
    case sknsCheckedAndHotTrack: return 5;
    default: return 0;
    }
}

void FillWith(TCanvas* ACanvas, const TRect& R, TColor Color) {
    TCanvasColorsSaver saver(ACanvas);
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Brush()->SetColor(Color);
    ACanvas->FillRect(R);
}

// The element painted into a bitmap of R's width and Height, for stretching or turning.
std::unique_ptr<TBitmap> ElementBitmap(const TThemedElementDetails& Details, int Width, int Height) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetSize(std::max(Width, 1), std::max(Height, 1));
    TSkSkinOptions::PaintThemedElementBackground(bitmap->Canvas(), TRect(0, 0, Width, Height), Details);
    return bitmap;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TSkFontSettings

void TSkFontSettings::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    Changed();
}

void TSkFontSettings::SetName(const TFontName& Value) {
    if (FName == Value) return;
    FName = Value;
    Changed();
}

void TSkFontSettings::SetSize(int Value) {
    const auto size = TSkFontSize(std::clamp(Value, int(MinSize), int(MaxSize)));
    if (FSize == size) return;
    FSize = size;
    Changed();
}

void TSkFontSettings::SetStyle(TFontStyles Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Changed();
}

void TSkFontSettings::Changed() { OnChange(this); }

void TSkFontSettings::Apply(TFont* AFont) const {
    AFont->SetCharset(DEFAULT_CHARSET);
    AFont->SetColor(FColor);
    if (FSize != 100) AFont->SetSize((AFont->Size() * FSize + 50) / 100);
    if (!FName.isEmpty()) AFont->SetName(FName);
    if (!FStyle.Empty()) AFont->SetStyle(FStyle);
}

void TSkFontSettings::Assign(rtl::TPersistent* Src) {
    auto* source = dynamic_cast<TSkFontSettings*>(Src);
    if (!source) {
        rtl::TPersistent::Assign(Src);
        return;
    }
    FColor = source->FColor;
    FName = source->FName;
    FSize = source->FSize;
    FStyle = source->FStyle;
    Changed();
}

// ---------------------------------------------------------------------------------------------------
// Painters

void DrawToolbarItemBackground(TCanvas* ACanvas, const TRect& R, TSkSkinStatesType State, TSkComboPart ComboPart) {
    switch (SkinType()) {
    case sknNone:
        switch (State) {
        case sknsHotTrack: Edge(ACanvas, R, BDR_RAISEDINNER, BF_RECT); break;
        case sknsChecked: {
            TCanvasColorsSaver saver(ACanvas);
            ACanvas->Brush()->SetBitmap(AllocPatternBitmap(clBtnFace, clBtnHighlight));
            ACanvas->FillRect(R);
            ACanvas->Brush()->SetBitmap(nullptr);
            Edge(ACanvas, R, BDR_SUNKENOUTER, BF_RECT);
            break;
        }
        case sknsPushed:
        case sknsCheckedAndHotTrack: Edge(ACanvas, R, BDR_SUNKENOUTER, BF_RECT); break;
        default: break;
        }
        break;
    case sknSkin:
        GetCurrentSkin()->PaintBackground(ACanvas, R, skncToolbarItem, State, true, true, false, SquareSides(ComboPart));
        break;
    default: {
        if (ComboPart == cpNone) {
            TSkSkinOptions::PaintThemedElementBackground(ACanvas, R, skncToolbarItem, State);
            break;
        }
        const TThemedToolBar first = ComboPart == cpCombo       ? ttbDropDownButtonNormal
                                     : ComboPart == cpSplitLeft ? ttbSplitButtonNormal
                                                                : ttbSplitButtonDropDownNormal;
        TSkSkinOptions::PaintThemedElementBackground(
            ACanvas, R, Element(TThemedToolBar(int(first) + ToolbarStateOffset(State))));
        break;
    }
    }
}

void DrawSeparator(TCanvas* ACanvas, const TRect& R, bool IsPopup, bool Vertical) {
    const int X = (R.Left + R.Right) / 2 - 1, Y = (R.Top + R.Bottom) / 2 - 1;
    auto etched = [&] {
        TRect r = R;
        if (Vertical) {
            r.Left = X;
            Edge(ACanvas, r, EDGE_ETCHED, BF_LEFT);
        } else {
            r.Top = Y;
            Edge(ACanvas, r, EDGE_ETCHED, BF_TOP);
        }
    };
    const TSkSkinType type = SkinType();
    switch (type) {
    case sknNone: etched(); break;
    case sknSkin: {
        TSkSkinOptionEntry* body = GetCurrentSkin()->Options(skncSeparator)->Body();
        if (Vertical) {
            DrawColoredLine(ACanvas, X, R.Top + 3, X, R.Bottom - 3, body->Color1());
            DrawColoredLine(ACanvas, X + 1, R.Top + 3, X + 1, R.Bottom - 3, body->Color2());
        } else {
            DrawColoredLine(ACanvas, R.Left, Y, R.Right, Y, body->Color1());
            DrawColoredLine(ACanvas, R.Left, Y + 1, R.Right, Y + 1, body->Color2());
        }
        break;
    }
    default:
        if (IsPopup) {
            if (!IsThemed(type)) {
                etched();
                break;
            }
            const TThemedElementDetails details = Element(tmPopupSeparator);
            const TSize size = TSkSkinOptions::GetThemedElementSize(ACanvas, details);
            TSkSkinOptions::PaintThemedElementBackground(ACanvas, CenteredRectVert(R, size.cy), details);
        } else {
            // The separator of a horizontal bar is a vertical line.
            TSkSkinOptions::PaintThemedElementBackground(ACanvas, R, skncSeparator, Vertical, false, false, false,
                                                         false, false, false);
        }
        break;
    }
}

void DrawMenuGutter(TCanvas* ACanvas, const TRect& R) {
    const TSkSkinType type = SkinType();
    if (type == sknSkin) {
        TSkSkinOptionCategory* gutter = GetCurrentSkin()->Options(skncGutter);
        if (!gutter->Body()->IsEmpty()) PaintSkinBody(ACanvas, R, gutter, false);
        const TColor c1 = gutter->Borders()->Color1(), c2 = gutter->Borders()->Color2();
        if (c2 != clNone) DrawColoredLine(ACanvas, R.Right, R.Top, R.Right, R.Bottom, c2);
        if (c1 != clNone) {
            const int x = c2 != clNone ? R.Right - 1 : R.Right;
            DrawColoredLine(ACanvas, x, R.Top, x, R.Bottom, c1);
        }
        return;
    }
    if (IsThemed(type)) TSkSkinOptions::PaintThemedElementBackground(ACanvas, R, skncGutter, sknsNormal);
}

void DrawPopupBackground(TCanvas* ACanvas, const TRect& R, const TRect& OpenItemRect, bool DrawGutter,
                         int ImageSize) {
    TSkSkinType type = SkinType();
    if (type == sknWindows && !IsWindowsVistaOrLater()) type = sknNone;
    switch (type) {
    case sknNone:
        if (bars::IsFlatMenuStyleOn()) {
            FillRectFramed(ACanvas, R, clMenu, clBtnShadow);
        } else {
            RECT rc = R;
            DrawEdge(ACanvas->Handle(), &rc, EDGE_RAISED, BF_RECT | BF_ADJUST);
            FillWith(ACanvas, TRect(rc), clBtnFace);
        }
        break;
    case sknSkin: {
        TSkSkinOptions* skin = GetCurrentSkin();
        if (OpenItemRect.Top < 0) {
            skin->PaintBackground(ACanvas, R, skncPopup, sknsNormal, true, false);
            // The open toolbar item above and the popup share one outline: no border under the item.
            HDC dc = ACanvas->Handle();
            const int saved = SaveDC(dc);
            ExcludeClipRect(dc, OpenItemRect.Left + 1, R.Top, OpenItemRect.Right - 1, R.Top + 1);
            skin->PaintBackground(ACanvas, R, skncPopup, sknsNormal, false, true);
            RestoreDC(dc, saved);
        } else {
            skin->PaintBackground(ACanvas, R, skncPopup, sknsNormal, true, true);
        }
        if (DrawGutter && !skin->Options(skncGutter)->IsEmpty()) {
            int width = 16;
            if (ImageSize > 0) {
                TSkMenuItemMarginsInfo margins;
                skin->GetMenuItemMargins(ACanvas, ImageSize, margins);
                width = margins.GutterSize + margins.LeftCaptionMargin + 1;
            }
            TRect gutter = R;
            gutter.Inflate(-1, -1);
            gutter.Right = gutter.Left + width;
            DrawMenuGutter(ACanvas, gutter);
        }
        break;
    }
    default: {
        TSkSkinOptions::PaintThemedElementBackground(ACanvas, R, skncPopup, sknsNormal);
        HDC dc = ACanvas->Handle();
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
        TSkSkinOptions::PaintThemedElementBackground(ACanvas, R, Element(tmPopupBorders));
        RestoreDC(dc, saved);
        break;
    }
    }
}

void DrawDockBackground(TCanvas* ACanvas, const TRect& R, bool Vertical) {
    switch (SkinType()) {
    case sknNone: FillWith(ACanvas, R, clBtnFace); break;
    case sknSkin: GetCurrentSkin()->PaintBackground(ACanvas, R, skncDock, sknsNormal, true, true, Vertical); break;
    default: {
        TRect fill = R;
        if (Vertical) ++fill.Bottom;
        FillWith(ACanvas, fill, TSkSkinOptions::GetThemedSystemColor(clBtnFace));
        TSkSkinOptions::PaintThemedElementBackground(ACanvas, R, skncDock, !Vertical, false, false, false, false,
                                                     false, false);
        break;
    }
    }
}

void DrawToolbarBackground(TCanvas* ACanvas, const TRect& R, bool Docked, bool Floating, bool Vertical, bool DrawBody,
                           bool DrawBorders, TSkSkinComponentsType Component) {
    const bool framed = Docked && DrawBorders;
    const TSkSkinType type = SkinType();
    switch (type) {
    case sknNone:
        if (framed) {
            RECT rc = R;
            DrawEdge(ACanvas->Handle(), &rc, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        }
        break;
    case sknSkin: {
        if (!Docked && !Floating) break;
        TSkSkinOptions* skin = GetCurrentSkin();
        if (Floating && skin->Options(Component)->Body()->IsEmpty())
            PaintSkinBody(ACanvas, R, skin->Options(skncDock), false);
        else
            skin->PaintBackground(ACanvas, R, Component, sknsNormal, DrawBody, DrawBorders && !Floating, Vertical);
        break;
    }
    default:
        if (framed) {
            TColor light, dark;
            if (type == sknDelphiStyle) {
                light = TSkSkinOptions::GetThemedSystemColor(cl3DLight);
                dark = TSkSkinOptions::GetThemedSystemColor(cl3DDkShadow);
            } else {
                light = LightenColor(clBtnFace, 24);
                dark = LightenColor(clBtnFace, -32);
            }
            DrawSkinFrame(ACanvas, R, 0, light, dark, clNone, clNone);
        }
        break;
    }
}

void DrawWindowFrame(TCanvas* ACanvas, const TRect& R, bool Active, const TPoint& Border, bool FillBackground) {
    const TSkSkinType type = SkinType();
    if (type == sknNone) {
        if (FillBackground) {
            FillWith(ACanvas, R, clBtnFace);
        } else {
            HDC dc = ACanvas->Handle();
            const int saved = SaveDC(dc);
            ExcludeClipRect(dc, R.Left + Border.X, R.Top + Border.Y, R.Right - Border.X, R.Bottom - Border.Y);
            FillWith(ACanvas, R, clBtnFace);
            RestoreDC(dc, saved);
        }
        Edge(ACanvas, R, EDGE_RAISED, BF_RECT);
        return;
    }
    if (type == sknSkin) {
        GetCurrentSkin()->PaintWindowFrame(ACanvas, R, Active, FillBackground, Border.X);
        return;
    }
    const bool small = type == sknWindows;
    const int inactive = Active ? 0 : 1;
    const auto left = TThemedWindow((small ? twSmallFrameLeftActive : twFrameLeftActive) + inactive);
    const auto right = TThemedWindow((small ? twSmallFrameRightActive : twFrameRightActive) + inactive);
    const auto bottom = TThemedWindow((small ? twSmallFrameBottomActive : twFrameBottomActive) + inactive);
    TSkSkinOptions::PaintThemedElementBackground(
        ACanvas, TRect(R.Left, R.Top + Border.Y, R.Left + Border.X, R.Bottom - Border.Y), Element(left));
    TSkSkinOptions::PaintThemedElementBackground(
        ACanvas, TRect(R.Right - Border.X, R.Top + Border.Y, R.Right, R.Bottom - Border.Y), Element(right));
    TSkSkinOptions::PaintThemedElementBackground(ACanvas, TRect(R.Left, R.Bottom - Border.Y, R.Right, R.Bottom),
                                                 Element(bottom));
    if (Border.Y > 0 && R.Width() > 0) {
        // The top edge is the bottom one turned upside down.
        auto bitmap = ElementBitmap(Element(bottom), R.Width(), Border.Y);
        StretchBlt(ACanvas->Handle(), R.Left, R.Top, R.Width(), Border.Y, bitmap->Canvas()->Handle(), 0, Border.Y - 1,
                   R.Width(), -Border.Y, SRCCOPY);
    }
}

void DrawTitleBarBackground(TCanvas* ACanvas, const TRect& R, bool Active, bool DrawBorders) {
    switch (SkinType()) {
    case sknNone: {
        UINT flags = DC_TEXT;
        if (Active) flags |= DC_ACTIVE;
        BOOL gradient = FALSE;
        if (SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0) && gradient) flags |= DC_GRADIENT;
        RECT rc = R;
        DrawCaption(GetDesktopWindow(), ACanvas->Handle(), &rc, flags);
        break;
    }
    case sknSkin:
        GetCurrentSkin()->PaintBackground(ACanvas, R, skncWindowTitleBar, sknsNormal, true, DrawBorders);
        break;
    case sknWindows:
        TSkSkinOptions::PaintThemedElementBackground(ACanvas, R, skncWindowTitleBar, Active, false, false, false,
                                                     false, false, false);
        break;
    case sknDelphiStyle: {
        TThemedElementDetails details;
        if (!GetCurrentSkin()->GetThemedElementDetails(skncWindowTitleBar, Active, false, false, false, false, false,
                                                       false, details))
            break;
        const TSize size = TSkSkinOptions::GetThemedElementSize(ACanvas, details);
        const int height = size.cy > 0 ? size.cy : R.Height();
        auto bitmap = ElementBitmap(details, R.Width(), height);
        StretchBlt(ACanvas->Handle(), R.Left, R.Top, R.Width(), R.Height(), bitmap->Canvas()->Handle(), 0, 0,
                   R.Width(), height, SRCCOPY);
        break;
    }
    }
}

void DrawStatusBarBackground(TCanvas* ACanvas, const TRect& R, const TRect& Grip) {
    switch (SkinType()) {
    case sknNone:
        if (!R.IsEmpty()) {
            FillWith(ACanvas, R, clBtnFace);
            DrawSkinFrame(ACanvas, R, 0, clBtnShadow, clWindow, clNone, clNone);
        }
        if (!Grip.IsEmpty()) {
            RECT rc = Grip;
            InflateRect(&rc, 0, -1);
            DrawFrameControl(ACanvas->Handle(), &rc, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        }
        break;
    case sknSkin: {
        TSkSkinOptions* skin = GetCurrentSkin();
        if (!R.IsEmpty()) skin->PaintBackground(ACanvas, R, skncStatusBar, sknsNormal, true, true);
        if (!Grip.IsEmpty()) {
            TSkSkinOptionEntry* body = skin->Options(skncStatusBarGrip)->Body();
            // Three rows of dots stepping up to the corner: 12, 8 and 4 pixels wide.
            for (int row = 0; row < 3; ++row) {
                const int width = 12 - 4 * row;
                const TRect dots(Grip.Right - width, Grip.Bottom - 4 * (row + 1), Grip.Right, Grip.Bottom - 4 * row);
                DrawGripDots(ACanvas, dots, body->Color1(), body->Color2());
            }
        }
        break;
    }
    default:
        if (!R.IsEmpty()) TSkSkinOptions::PaintThemedElementBackground(ACanvas, R, skncStatusBar, sknsNormal);
        if (!Grip.IsEmpty()) TSkSkinOptions::PaintThemedElementBackground(ACanvas, Grip, skncStatusBarGrip, sknsNormal);
        break;
    }
}

void DrawHintBackground(TCanvas* ACanvas, const TRect& R) {
    const TSkSkinType type = SkinType();
    if (type == sknDelphiStyle) {
        const TThemedElementDetails details = Element(thHintNormal);
        TColor c1 = clInfoBk, c2 = clInfoBk;
        if (!ActiveStyleServices()->GetElementColor(details, ecGradientColor1, c1) || c1 == clNone) c1 = clInfoBk;
        if (!ActiveStyleServices()->GetElementColor(details, ecGradientColor2, c2) || c2 == clNone) c2 = clInfoBk;
        DrawGradient(ACanvas, R, c1, c2, true);
        return;
    }
    if (type == sknWindows && IsWindowsVistaOrLater()) {
        HDC dc = ACanvas->Handle();
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, R.Left, R.Top, R.Right, R.Bottom);
        TRect big = R;
        big.Inflate(4, 4);
        TSkSkinOptions::PaintThemedElementBackground(ACanvas, big, Element(tttStandardNormal));
        RestoreDC(dc, saved);
        return;
    }
    ACanvas->FillRect(R);
}

// ---------------------------------------------------------------------------------------------------
// Window utilities

bool CanFocusControl(TWinControl* Control) {
    if (!Control || Control->Focused()) return false;
    TCustomForm* form = GetParentForm(Control);
    return form && form->Enabled() && form->Visible() && Control->CanFocus();
}

int IndexOfChildControl(TWinControl* Parent, TControl* Child) {
    if (!Parent) return -1;
    for (int i = 0; i < Parent->ControlCount(); ++i)
        if (Parent->Controls(i) == Child) return i;
    return -1;
}

void RecalcWindowFrame(TWinControl* Control) {
    if (!Control || !Control->HandleAllocated()) return;
    SetWindowPos(Control->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

TWindowState GetWindowNormalBounds(TCustomForm* Form, TRect& Bounds) {
    Bounds = TRect();
    if (!Form || !Form->HandleAllocated()) return wsNormal;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(Form->Handle(), &placement)) return wsNormal;
    const RECT& r = placement.rcNormalPosition;
    Bounds = TRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (placement.showCmd == SW_SHOWMINIMIZED) return wsMinimized;
    if (placement.showCmd == SW_SHOWMAXIMIZED) return wsMaximized;
    return wsNormal;
}

void SetWindowNormalBounds(TCustomForm* Form, TWindowState State, const TRect& Bounds) {
    if (!Form || !Form->HandleAllocated()) return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(Form->Handle(), &placement);   // what is not set here stays as it is
    placement.length = sizeof placement;
    placement.showCmd = State == wsMinimized ? SW_SHOWMINIMIZED : State == wsMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    // Bounds holds left, top, width and height.
    if (Bounds.Left != 0 || Bounds.Top != 0 || Bounds.Right != 0 || Bounds.Bottom != 0)
        placement.rcNormalPosition = RECT{Bounds.Left, Bounds.Top, Bounds.Left + Bounds.Right, Bounds.Top + Bounds.Bottom};
    SetWindowPlacement(Form->Handle(), &placement);
}

bool GetTaskbarInfo(UINT& Edge, TRect& Rect, UINT& State) {
    HWND tray = FindWindowW(u"Shell_TrayWnd", nullptr);
    if (!tray) return false;
    APPBARDATA data{};
    data.cbSize = sizeof data;
    data.hWnd = tray;
    if (!SHAppBarMessage(ABM_GETTASKBARPOS, &data)) return false;
    Edge = data.uEdge;
    Rect = TRect(data.rc);
    State = UINT(SHAppBarMessage(ABM_GETSTATE, &data));
    return true;
}

void SetDwmNCRendering(TCustomForm* Form, bool Enabled) {
    if (!Form || !Form->HandleAllocated()) return;
    // Composition lives in a library this desktop may not have; without it there is nothing to switch.
    HMODULE dwm = LoadLibraryW(u"dwmapi.dll");
    if (!dwm) return;
    using IsEnabledProc = HRESULT (*)(BOOL*);
    using SetAttributeProc = HRESULT (*)(HWND, DWORD, const void*, DWORD);
    auto isEnabled = reinterpret_cast<IsEnabledProc>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
    auto setAttribute =
        reinterpret_cast<SetAttributeProc>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmSetWindowAttribute")));
    BOOL composition = FALSE;
    if (isEnabled && setAttribute && isEnabled(&composition) == S_OK && composition) {
        constexpr DWORD DWMWA_NCRENDERING_POLICY = 2;
        const DWORD policy = Enabled ? 0 : 1;   // use the window style, or disabled
        setAttribute(Form->Handle(), DWMWA_NCRENDERING_POLICY, &policy, sizeof policy);
    }
    FreeLibrary(dwm);
}

} // namespace skins
