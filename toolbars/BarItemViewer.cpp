// toolbars/BarItemViewer.cpp: one item in one view: measuring and the plain look, split-button hit
// tests, mouse presses and releases, hints and accessible roles.
#include "toolbars/BarAcc.h"
#include "toolbars/BarItem.h"
#include "toolbars/BarInternal.h"
#include "toolbars/BarPopup.h"

#include "rtl/Math.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

namespace bars {

int MenuItemExtraHeight() { return ScaleForDPI(4); }
int MenuImageGap() { return ScaleForDPI(1); }
int MenuCaptionIndent() { return ScaleForDPI(2); }
int MenuCaptionEndGap() { return ScaleForDPI(3); }
int MenuSeparatorIndent() { return ScaleForDPI(12); }
int PopupScrollArrowHeight() { return ScaleForDPI(19); }
int DropdownArrowWidth() { return ScaleForDPI(8); }
int DropdownArrowMargin() { return ScaleForDPI(3); }
int SplitArrowWidth() { return ScaleForDPI(11); }
int SplitArrowMargin() { return ScaleForDPI(2); }
int LineBreakSeparatorSize() { return ScaleForDPI(6); }
int FloatingSeparatorInset() { return ScaleForDPI(1); }
int ToolbarSeparatorInset() { return ScaleForDPI(4); }

namespace {

TEXTMETRICW TextMetrics(HDC DC) { return TextMetricsOf(DC); }

// BDR_SUNKENOUTER for a pressed look, BDR_RAISEDINNER otherwise.
UINT Edge(bool Sunken) { return Sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER; }

void DrawEdgeRect(HDC DC, const TRect& R, UINT EdgeKind, UINT Flags) {
    RECT r{R.Left, R.Top, R.Right, R.Bottom};
    DrawEdge(DC, &r, EdgeKind, Flags);
}

// The checked look of the plain style: a checkerboard of the button face and highlight colours.
void DitherFill(HDC DC, const TRect& R) {
    HBRUSH brush = CreateHalftoneBrush();
    const COLORREF oldText = SetTextColor(DC, GetSysColor(COLOR_BTNFACE));
    const COLORREF oldBk = SetBkColor(DC, GetSysColor(COLOR_BTNHIGHLIGHT));
    RECT r{R.Left, R.Top, R.Right, R.Bottom};
    FillRect(DC, &r, brush);
    SetBkColor(DC, oldBk);
    SetTextColor(DC, oldText);
    DeleteObject(brush);
}

void FillTriangle(HDC DC, const POINT (&Pts)[3], COLORREF Color) {
    HPEN pen = CreatePen(PS_SOLID, 1, Color);
    HBRUSH brush = CreateSolidBrush(Color);
    HGDIOBJ oldPen = SelectObject(DC, pen);
    HGDIOBJ oldBrush = SelectObject(DC, brush);
    Polygon(DC, Pts, 3);
    SelectObject(DC, oldBrush);
    SelectObject(DC, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

// The menu's submenu arrow: the system glyph drawn into a monochrome bitmap, copied in one colour.
void DrawMenuArrow(HDC DC, int X, int Y, int CX, int CY, COLORREF Color) {
    HBITMAP mono = CreateBitmap(CX, CY, 1, 1, nullptr);
    HDC monoDC = CreateCompatibleDC(DC);
    HGDIOBJ oldBitmap = SelectObject(monoDC, mono);
    RECT r{0, 0, CX, CY};
    DrawFrameControl(monoDC, &r, DFC_MENU, DFCS_MENUARROW);
    HBRUSH brush = CreateSolidBrush(Color);
    HGDIOBJ oldBrush = SelectObject(DC, brush);
    const COLORREF oldText = SetTextColor(DC, RGB(0, 0, 0));
    const COLORREF oldBk = SetBkColor(DC, RGB(255, 255, 255));
    // Black glyph pixels take the brush, white ones keep the destination.
    BitBlt(DC, X, Y, CX, CY, monoDC, 0, 0, 0x00B8074A);
    SetBkColor(DC, oldBk);
    SetTextColor(DC, oldText);
    SelectObject(DC, oldBrush);
    DeleteObject(brush);
    SelectObject(monoDC, oldBitmap);
    DeleteDC(monoDC);
    DeleteObject(mono);
}

void DrawPolyline(HDC DC, std::initializer_list<POINT> Points, int DX, int DY, COLORREF Color) {
    std::vector<POINT> pts(Points);
    for (auto& p : pts) {
        p.x = ScaleForDPI(p.x) + DX;
        p.y = ScaleForDPI(p.y) + DY;
    }
    HPEN pen = CreatePen(PS_SOLID, 1, Color);
    HGDIOBJ oldPen = SelectObject(DC, pen);
    Polyline(DC, pts.data(), static_cast<int>(pts.size()));
    SelectObject(DC, oldPen);
    DeleteObject(pen);
}

} // namespace

TBarItemViewer::TBarItemViewer(TBarView* AView, TBarCustomItem* AItem, int AGroupLevel)
    : FGroupLevel(AGroupLevel), FItem(AItem), FView(AView) {
    internal::ClickQueueAddLive();
}

TBarItemViewer::~TBarItemViewer() {
    RemoveFromClickQueue(this);
    if (TBarBaseAccObject* object = FAccObjectInstance) {
        FAccObjectInstance = nullptr;
        object->ClientIsDestroying();
    }
    internal::ClickQueueReleaseLive();
}

// ---- style questions ----

bool TBarItemViewer::IsToolbarStyle() {
    return FView->IsToolbar() || FItem->EffectiveOptions().Contains(tboToolbarStyle);
}

bool TBarItemViewer::IsToolbarSize() {
    return FView->IsToolbar() || FItem->EffectiveOptions().Contains(tboToolbarSize);
}

bool TBarItemViewer::ShowsImage() {
    const auto mode = FItem->DisplayMode();
    return FItem->ImageIndex() >= 0 &&
           (mode == nbdmDefault || mode == nbdmImageAndText || (mode == nbdmTextOnlyInMenus && IsToolbarStyle()));
}

bool TBarItemViewer::ShowsCaption() {
    const auto mode = FItem->DisplayMode();
    return (!CaptionText().isEmpty() &&
            (!IsToolbarSize() || FItem->ImageIndex() < 0 || mode == nbdmTextOnly || mode == nbdmImageAndText)) ||
           FItem->EffectiveOptions().Contains(tboImageAboveCaption);
}

vcl::TCustomImageList* TBarItemViewer::EffectiveImages() {
    if (FItem->Images()) return FItem->Images();
    for (TBarView* v = FView; v; v = v->ParentView()) {
        if (v->CurParentItem() && v->CurParentItem()->SubMenuImages()) return v->CurParentItem()->SubMenuImages();
        if (v->ParentItem() && v->ParentItem()->SubMenuImages()) return v->ParentItem()->SubMenuImages();
    }
    return nullptr;
}

bool TBarItemViewer::DrawsRotated() {
    const auto options = FItem->EffectiveOptions();
    return FView->Orientation() == tbvoVertical && !options.Contains(tboNoRotation) &&
           !options.Contains(tboImageAboveCaption);
}

bool TBarItemViewer::UsesSameWidth() {
    const auto options = FItem->EffectiveOptions();
    return options.Contains(tboImageAboveCaption) && options.Contains(tboSameWidth) && IsToolbarSize();
}

int TBarItemViewer::PositionInView() { return FView->IndexOf(this); }

TPoint TBarItemViewer::ScreenToClient(const TPoint& P) {
    POINT p{P.X, P.Y};
    if (FView->Window()) ::ScreenToClient(FView->Window()->Handle(), &p);
    return TPoint(p.x - FBoundsRect.Left, p.y - FBoundsRect.Top);
}

String TBarItemViewer::CaptionText() {
    const String& caption = FItem->Caption();
    const qsizetype tab = caption.indexOf(u'\t');
    return tab >= 0 ? caption.left(tab) : caption;
}

// ---- measuring ----

void TBarItemViewer::MeasureSize(vcl::TCanvas* Canvas, int& AWidth, int& AHeight) {
    const bool toolbar = IsToolbarStyle();
    vcl::TCustomImageList* images = EffectiveImages();
    const HDC dc = Canvas->Handle();
    // Every constant of the measure is a 96-dpi distance.
    const int pad = toolbar ? ScaleForDPI(6) : 0;
    AWidth = pad;
    AHeight = pad;
    const TEXTMETRICW tm = TextMetrics(dc);
    if (!toolbar || ShowsCaption()) {
        const String caption = CaptionText();
        if (DrawsRotated()) {
            HFONT font = CreateVerticalTextFont(dc);
            HGDIOBJ old = SelectObject(dc, font);
            AWidth += TextMetrics(dc).tmHeight;
            AHeight += GetTextWidth(dc, caption, true) + pad;
            SelectObject(dc, old);
            DeleteObject(font);
        } else {
            AWidth += GetTextWidth(dc, caption, true) + pad;
            AHeight += tm.tmHeight;
        }
    }
    const auto options = FItem->EffectiveOptions();
    if (toolbar) {
        if (ShowsImage() && images) {
            if (DrawsRotated() || options.Contains(tboImageAboveCaption)) {
                AHeight += images->Height();
                AWidth = std::max(AWidth, images->Width() + ScaleForDPI(7));
            } else {
                AWidth += images->Width() + ScaleForDPI(1);
                AHeight = std::max(AHeight, images->Height() + ScaleForDPI(6));
            }
        }
        if (FItem->ItemStyle().Contains(tbisSubmenu)) {
            if (FItem->ItemStyle().Contains(tbisCombo))
                AWidth += SplitArrowWidth();
            else if (options.Contains(tboDropdownArrow)) {
                if (FView->Orientation() == tbvoVertical)
                    AHeight += DropdownArrowWidth();
                else
                    AWidth += DropdownArrowWidth();
            }
        }
        return;
    }
    AHeight += MenuItemExtraHeight() + tm.tmExternalLeading;
    int imageColumn;
    if (images) {
        AHeight = std::max(AHeight, images->Height() + ScaleForDPI(3));
        imageColumn = rtl::MulDiv(images->Width() + ScaleForDPI(3), AHeight, images->Height() + ScaleForDPI(3));
    } else
        imageColumn = AHeight;
    AWidth += imageColumn + MenuImageGap() + MenuCaptionIndent() + MenuCaptionEndGap();
    const String shortCut = FItem->GetShortCutText();
    if (!shortCut.isEmpty()) AWidth += AHeight + GetTextWidth(dc, shortCut, false) - ScaleForDPI(6);
    AWidth += AHeight;
}

void TBarSeparatorItemViewer::MeasureSize(vcl::TCanvas*, int& AWidth, int& AHeight) {
    if (IsToolbarStyle()) {
        AWidth = 6;
        AHeight = 6;
    } else
        AHeight = 10;
}

// ---- painting ----

void TBarItemViewer::DrawCaptionText(vcl::TCanvas* Canvas, TRect ARect, const String& ACaption,
                                     bool AUseDisabledShadow, UINT AFormat) {
    const HDC dc = Canvas->Handle();
    auto draw = [&](const TRect& R) {
        if (DrawsRotated())
            DrawVerticalText(dc, ACaption, R, AFormat);
        else {
            RECT r{R.Left, R.Top, R.Right, R.Bottom};
            DrawTextStr(dc, ACaption, r, AFormat);
        }
    };
    if (!AUseDisabledShadow) {
        draw(ARect);
        return;
    }
    const COLORREF oldColor = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    TRect shadow = ARect;
    shadow.Offset(1, 1);
    draw(shadow);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    draw(ARect);
    SetTextColor(dc, oldColor);
}

void TBarItemViewer::Paint(vcl::TCanvas* Canvas, const TRect& ClientAreaRect, bool IsSelected, bool IsPushed,
                           bool UseDisabledShadow) {
    const HDC dc = Canvas->Handle();
    const TRect R = ClientAreaRect;
    const bool toolbar = IsToolbarStyle();
    const bool enabled = FItem->Enabled() || FView->Customizing();
    const auto style = FItem->ItemStyle();
    const auto options = FItem->EffectiveOptions();
    const bool isSubmenu = style.Contains(tbisSubmenu);
    const bool isSplit = isSubmenu && style.Contains(tbisCombo);
    const bool hasArrow = isSubmenu && (style.Contains(tbisCombo) || options.Contains(tboDropdownArrow));
    vcl::TCustomImageList* images = EffectiveImages();
    const bool showImage = ShowsImage() && images;
    const int checkW = GetSystemMetrics(SM_CXMENUCHECK), checkH = GetSystemMetrics(SM_CYMENUCHECK);
    const bool checked = FItem->Checked();
    const bool designing = FItem->ComponentState().Contains(rtl::csDesigning);
    const bool vertical = FView->Orientation() == tbvoVertical;
    const bool selectedEnabled = IsSelected && enabled;
    // Every distance of the look is a 96-dpi one.
    const int one = ScaleForDPI(1);
    int menuColumn = 0;
    if (!toolbar)
        menuColumn = images ? rtl::MulDiv(images->Width() + ScaleForDPI(3), R.Bottom, images->Height() + ScaleForDPI(3))
                            : R.Bottom;
    TRect itemRect = R;
    const COLORREF fontColor = GetTextColor(dc);

    if (toolbar) {
        TRect arrow;
        bool anyArrow = false;
        if (hasArrow) {
            anyArrow = true;
            if (isSplit) {
                arrow = TRect(R.Right - SplitArrowWidth(), R.Top, R.Right - SplitArrowMargin(), R.Bottom);
                itemRect.Right = R.Right - SplitArrowWidth();
            } else if (vertical)
                arrow = TRect(0, R.Bottom - ScaleForDPI(8) - ScaleForDPI(3), R.Right, R.Bottom - ScaleForDPI(3));
            else
                arrow = TRect(R.Right - ScaleForDPI(8) - ScaleForDPI(3), 0, R.Right - ScaleForDPI(3), R.Bottom);
        }
        if (selectedEnabled || checked || designing) {
            if (isSplit) {
                DrawEdgeRect(dc, itemRect, Edge((IsPushed && FView->Capture()) || checked), BF_RECT);
                if (selectedEnabled || designing)
                    DrawEdgeRect(dc, arrow, Edge(IsPushed && !FView->Capture()), BF_RECT);
            } else
                DrawEdgeRect(dc, itemRect, Edge(IsPushed || checked), BF_RECT);
        }
        if (anyArrow) {
            if (IsPushed && !isSplit) arrow.Offset(one, one);
            const int cx = (arrow.Left + arrow.Right) / 2, cy = (arrow.Top + arrow.Bottom) / 2;
            auto triangle = [&](int dx, int dy, COLORREF color) {
                const int d1 = ScaleForDPI(1), d2 = ScaleForDPI(2), d3 = ScaleForDPI(3);
                if (vertical && !isSplit) {
                    const POINT pts[3] = {{cx - d1 + dx, cy + d2 + dy}, {cx - d1 + dx, cy - d2 + dy}, {cx - d3 + dx, cy + dy}};
                    FillTriangle(dc, pts, color);
                } else {
                    const POINT pts[3] = {{cx - d2 + dx, cy - d1 + dy}, {cx + d2 + dx, cy - d1 + dy}, {cx + dx, cy + d1 + dy}};
                    FillTriangle(dc, pts, color);
                }
            };
            if (UseDisabledShadow) {
                triangle(one, one, GetSysColor(COLOR_BTNHIGHLIGHT));
                triangle(0, 0, GetSysColor(COLOR_BTNSHADOW));
            } else
                triangle(0, 0, fontColor);
        }
        itemRect.Inflate(-one, -one);
        if (checked && !selectedEnabled) DitherFill(dc, itemRect);
        itemRect.Inflate(-one, -one);
        if (checked || (IsSelected && IsPushed && (!isSplit || FView->Capture()))) itemRect.Offset(one, one);
        if (hasArrow && !isSplit) {
            if (vertical)
                itemRect.Bottom -= DropdownArrowWidth();
            else
                itemRect.Right -= DropdownArrowWidth();
        }
    } else if (IsSelected) {
        TRect highlight = R;
        if (showImage || checked) highlight.Left = menuColumn + MenuImageGap();
        if (selectedEnabled && isSplit) highlight.Right -= checkW;
        Canvas->FillRect(highlight);
    }

    Canvas->Brush()->SetStyle(vcl::bsClear);
    if (options.Contains(tboDefault)) Canvas->Font()->SetStyle(Canvas->Font()->Style() + vcl::TFontStyles{vcl::fsBold});

    const TEXTMETRICW tm = TextMetrics(Canvas->Handle());
    UINT prefix = 0;
    if (!AlwaysUnderlineAccelKeys() && FView->Style.Contains(vsUseHiddenAccels) && !FView->State.Contains(vsShowAccels))
        prefix = DT_HIDEPREFIX;
    // Menu text stands one pixel higher when the item has exactly its natural height.
    auto menuTextRect = [&](TRect r) {
        if (r.Height() == tm.tmHeight + tm.tmExternalLeading + MenuItemExtraHeight()) r.Bottom -= one;
        r.Top += tm.tmExternalLeading;
        return r;
    };
    if (ShowsCaption()) {
        TRect textRect = itemRect;
        UINT format;
        if (toolbar) {
            if (showImage) {
                if (DrawsRotated() || options.Contains(tboImageAboveCaption))
                    textRect.Top += images->Height() + one;
                else
                    textRect.Left += images->Width() + one;
            }
            format = prefix | DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        } else {
            textRect.Left += menuColumn + MenuImageGap() + MenuCaptionIndent();
            textRect = menuTextRect(textRect);
            format = prefix | DT_VCENTER | DT_SINGLELINE;
        }
        DrawCaptionText(Canvas, textRect, CaptionText(), UseDisabledShadow, format);
    }

    if (!toolbar) {
        const String shortCut = FItem->GetShortCutText();
        if (!shortCut.isEmpty()) {
            TRect r = menuTextRect(itemRect);
            r.Left = itemRect.Right - itemRect.Height() - GetTextWidth(Canvas->Handle(), shortCut, false);
            DrawCaptionText(Canvas, r, shortCut, UseDisabledShadow, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
        if (isSubmenu) {
            if (isSplit) {
                TRect part(itemRect.Right - checkW, itemRect.Top, itemRect.Right, itemRect.Bottom);
                if (selectedEnabled)
                    DrawEdgeRect(dc, part, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE);
                else {
                    part.Offset(-one, 0);
                    DrawEdgeRect(dc, part, IsSelected ? BDR_SUNKENOUTER : EDGE_ETCHED, BF_LEFT);
                }
            }
            const int x = itemRect.Right - checkW, y = itemRect.Top + (itemRect.Height() - checkH) / 2;
            if (UseDisabledShadow) {
                DrawMenuArrow(dc, x + one, y + one, checkW, checkH, GetSysColor(COLOR_BTNHIGHLIGHT));
                DrawMenuArrow(dc, x, y, checkW, checkH, GetSysColor(COLOR_BTNSHADOW));
            } else if (selectedEnabled && isSplit)
                DrawMenuArrow(dc, x + one, y + one, checkW, checkH, GetSysColor(COLOR_BTNTEXT));
            else
                DrawMenuArrow(dc, x, y, checkW, checkH, fontColor);
        }
    }

    if (showImage || (!toolbar && checked)) {
        TRect box = itemRect;
        if (toolbar) {
            if (DrawsRotated() || options.Contains(tboImageAboveCaption))
                box.Bottom = box.Top + images->Height() + ScaleForDPI(2);
            else
                box.Right = box.Left + images->Width() + ScaleForDPI(2);
        } else {
            box.Right = box.Left + menuColumn;
            if (selectedEnabled || checked) DrawEdgeRect(dc, box, Edge(checked), BF_RECT | BF_MIDDLE);
            if (checked && !IsSelected) {
                TRect inner = box;
                inner.Inflate(-one, -one);
                DitherFill(dc, inner);
            }
            if (checked) box.Offset(one, one);
        }
        if (showImage) {
            const int x = box.Left + (box.Width() - images->Width()) / 2;
            const int y = box.Top + (box.Height() - images->Height()) / 2;
            if (auto* stateImages = dynamic_cast<TBarCustomImageList*>(images))
                stateImages->DrawState(Canvas, x, y, FItem->ImageIndex(), FItem->Enabled(), IsSelected, checked);
            else
                images->Draw(Canvas, x, y, FItem->ImageIndex(), FItem->Enabled());
        } else {
            const int cx = box.Left + box.Width() / 2, cy = box.Top + box.Height() / 2;
            if (FItem->RadioItem()) {
                const COLORREF text = GetSysColor(COLOR_BTNTEXT), light = GetSysColor(COLOR_BTNHIGHLIGHT);
                HPEN pen = CreatePen(PS_SOLID, 1, text);
                HBRUSH brush = CreateSolidBrush(text);
                HGDIOBJ oldPen = SelectObject(dc, pen);
                HGDIOBJ oldBrush = SelectObject(dc, brush);
                auto S = [](int n) { return ScaleForDPI(n); };
                RoundRect(dc, cx - S(3), cy - S(3), cx + S(2), cy + S(2), S(2), S(2));
                HPEN lightPen = CreatePen(PS_SOLID, 1, light);
                SelectObject(dc, lightPen);
                SelectObject(dc, GetStockObject(NULL_BRUSH));
                RoundRect(dc, cx - S(4), cy - S(4), cx + S(3), cy + S(3), S(6), S(6));
                SelectObject(dc, oldBrush);
                SelectObject(dc, oldPen);
                DeleteObject(lightPen);
                DeleteObject(brush);
                DeleteObject(pen);
            } else {
                const int ox = cx - ScaleForDPI(2), oy = cy + one;
                DrawPolyline(dc, {{-2, -2}, {0, 0}, {4, -4}, {4, -3}, {0, 1}, {-2, -1}, {-2, -2}}, ox, oy,
                             GetSysColor(COLOR_BTNTEXT));
                DrawPolyline(dc, {{-3, -2}, {-3, -1}, {0, 2}, {5, -3}, {5, -5}}, ox, oy, GetSysColor(COLOR_BTNHIGHLIGHT));
            }
        }
    }
}

void TBarSeparatorItemViewer::Paint(vcl::TCanvas* Canvas, const TRect& ClientAreaRect, bool, bool, bool) {
    auto* separator = dynamic_cast<TBarSeparatorItem*>(FItem);
    if (separator && separator->Blank()) return;
    const HDC dc = Canvas->Handle();
    const TRect R = ClientAreaRect;
    const bool lineBreak = State.Contains(tbvsLineBreak);
    bool horizontal = !IsToolbarStyle() || FView->Orientation() == tbvoVertical;
    if (lineBreak) horizontal = !horizontal;
    if (horizontal) {
        TRect line(R.Left, R.Bottom / 2 - 1, R.Right, R.Bottom);
        int inset = 0;
        if (!IsToolbarStyle())
            inset = MenuSeparatorIndent();
        else if (lineBreak)
            inset = FView->Orientation() == tbvoFloating ? FloatingSeparatorInset() : ToolbarSeparatorInset();
        line.Left += inset;
        line.Right -= inset;
        DrawEdgeRect(dc, line, EDGE_ETCHED, BF_TOP);
    } else {
        TRect line(R.Right / 2 - 1, R.Top, R.Right, R.Bottom);
        if (lineBreak) {
            line.Top += ToolbarSeparatorInset();
            line.Bottom -= ToolbarSeparatorInset();
        }
        DrawEdgeRect(dc, line, EDGE_ETCHED, BF_LEFT);
    }
}

// ---- hit tests, mouse ----

bool TBarItemViewer::PointInButtonPart(int X, int) {
    const auto style = FItem->ItemStyle();
    if (!style.Contains(tbisCombo) || !style.Contains(tbisSubmenu)) return !style.Contains(tbisSubmenu);
    const int w = IsToolbarStyle() ? SplitArrowWidth() : GetSystemMetrics(SM_CXMENUCHECK);
    return X < FBoundsRect.Width() - w;
}

void TBarItemViewer::MouseDown(vcl::TShiftState Shift, int X, int Y, bool& DidDrag) {
    const bool top = !FView->ParentView() && !FView->IsPopup();
    if (!FItem->Enabled()) {
        if (top) FView->EndModal();
        return;
    }
    if (PointInButtonPart(X, Y)) {
        if (IsToolbarStyle()) {
            FView->CancelChildPopups();
            FView->SetCapture();
            FView->Invalidate(this);
        }
        return;
    }
    const bool wasOpen = FView->OpenViewer() == this;
    FView->OpenChildPopup(false);
    TBarView* popupView = FView->OpenViewerView();
    if (!popupView) return;
    if (wasOpen && top) DidDrag = true;
    const auto style = FItem->ItemStyle();
    if (Shift.Contains(vcl::ssDouble) && !style.Contains(tbisCombo)) {
        // A double click on a submenu item runs the popup's default item.
        for (int i = 0; i < popupView->ViewerCount(); ++i) {
            TBarItemViewer* v = popupView->GetViewer(i);
            TBarCustomItem* item = v->Item();
            if ((v->Show() || v->Clipped()) && item->EffectiveOptions().Contains(tboDefault) &&
                item->ItemStyle().Contains(tbisSelectable) && item->Enabled() && item->Visible()) {
                v->Execute(true);
                break;
            }
        }
    }
}

void TBarItemViewer::MouseUp(int X, int Y, bool DidDrag) {
    const bool had = FView->Capture();
    FView->CancelCapture();
    const bool top = !FView->ParentView() && !FView->IsPopup();
    if (FView->MouseOverSelected() && FItem->Enabled() && !FItem->ItemStyle().Contains(tbisClicksTransparent)) {
        if (!FItem->ItemStyle().Contains(tbisSubmenu) || PointInButtonPart(X, Y)) {
            // A toolbar button runs only when the press began on it.
            if (had || !IsToolbarStyle()) Execute(true);
        } else if (DidDrag && top)
            FView->EndModal();
        return;
    }
    if (top) FView->EndModal();
}

// ---- executing, selection, capture ----

bool TBarItemViewer::PerformExecute() {
    FView->EndModalWithClick(this);
    return true;
}

void TBarItemViewer::Execute(bool AGivePriority) {
    if (PerformExecute() && AGivePriority) FView->GivePriority(this);
}

void TBarItemViewer::SelectionEntered() { FItem->OnSelect(FItem, this, true); }
void TBarItemViewer::SelectionLeft() { FItem->OnSelect(FItem, this, false); }
void TBarItemViewer::CaptureLost() { FView->Invalidate(this); }

// ---- hints, accessibility ----

int TBarItemViewer::AccessibleRole() {
    if (dynamic_cast<TBarControlItem*>(FItem)) return 10;                     // client
    if (FItem->ItemStyle().Contains(tbisSeparator)) return 21;                 // separator
    if (FView->IsPopup() || FView->Style.Contains(vsMenuBar)) return 12;       // menu item
    if (FItem->ItemStyle().Contains(tbisSubmenu)) return 57;                   // button menu
    return 43;                                                                 // push button
}

String TBarItemViewer::GetHintText() {
    String text = vcl::GetShortHint(FItem->Hint());
    const auto style = FItem->ItemStyle();
    if (text.isEmpty() && !FItem->EffectiveOptions().Contains(tboNoAutoHint) &&
        (!style.Contains(tbisSubmenu) || style.Contains(tbisCombo) || !ShowsCaption()))
        text = StripAccelChars(StripTrailingPunctuation(CaptionText()));
    if (auto* action = dynamic_cast<vcl::TCustomAction*>(FItem->Action()))
        if (!action->DoHint(text)) text.clear();
    if (!text.isEmpty() && vcl::Application && vcl::Application->HintShortCuts() && FItem->ShortCut() != 0)
        text = rtl::Format(u"%s (%s)", {text, vcl::ShortCutToText(FItem->ShortCut())});
    return text;
}

TBarBaseAccObject* TBarItemViewer::GetAccObject() {
    if (!FAccObjectInstance && InitOleAcc()) FAccObjectInstance = new TBarItemViewerAccObject(this);
    return FAccObjectInstance;
}

void TBarItemViewer::PostAccSelect(WPARAM Flag) { QueueDeferredClick(this, Flag); }

void TBarItemViewer::HandleAccSelect(WPARAM Flag) {
    if (FAccObjectInstance) static_cast<TBarItemViewerAccObject*>(FAccObjectInstance)->HandleAccSelect(Flag != 0);
}

} // namespace bars
