// skins/SkItemViewer.cpp: what one item paint needs to know, the item backgrounds and images in every
// skin type, and the viewers that measure and paint the skinned items and build their hint bitmaps.
#include "skins/SkItem.h"

#include "skins/SkBars.h"
#include "skins/SkPopup.h"

#include "skins/SkSkinsPaint.h"
#include "skins/SkSkinsText.h"
#include "skins/SkStatusBar.h"
#include "toolbars/BarCommon.h"
#include "vcl/ActnList.h"
#include "vcl/Menus.h"

#include "win/windows.h"

#include <algorithm>

namespace skins {

using namespace vcl;
using bars::TBarItemViewer;
using bars::TBarView;

namespace {

TSkSkinType SkinType() { return GetSkinManager()->GetSkinType(); }

// The image width menu margins are measured for: a skinned popup's largest image, else the item's own.
int MenuImageWidth(TBarView* View, int ImageWidth) {
    if (auto* popup = dynamic_cast<TSkPopupWindow*>(View->Window())) return popup->MaximumImageSize().cx;
    return ImageWidth;
}

bool IsThemed(TSkSkinType Type) { return (Type == sknWindows && IsWindowsVistaOrLater()) || Type == sknDelphiStyle; }

TAnchors SquareSides(TSkComboPart ComboPart) {
    if (ComboPart == cpSplitLeft) return TAnchors{akRight};
    if (ComboPart == cpSplitRight) return TAnchors{akLeft};
    return TAnchors{};
}

void FillWith(TCanvas* ACanvas, const TRect& R, TColor Color) {
    TCanvasColorsSaver saver(ACanvas);
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Brush()->SetColor(Color);
    ACanvas->FillRect(R);
}

bool Positive(const TSize& S) { return S.cx > 0 && S.cy > 0; }

TEXTMETRICW Metrics(TCanvas* ACanvas) {
    TEXTMETRICW tm{};
    GetTextMetricsW(ACanvas->Handle(), &tm);
    return tm;
}

// One piece of a toolbar-style item: the whole button, or one half of a split button.
void PaintToolbarStylePiece(TCanvas* ACanvas, const TRect& R, const TSkMenuItemInfo& Info, TSkComboPart Part,
                            TSkSkinStatesType State) {
    TSkSkinOptions* skin = GetCurrentSkin();
    const TAnchors sides = SquareSides(Part);
    switch (Info.SkinType) {
    case sknNone: {
        TSkSkinStatesType state = State;
        if (Info.Checked && (!Info.HotTrack || (!Info.Enabled && Info.ToolbarStyle))) state = sknsChecked;
        if (state != sknsNormal)
            DrawToolbarItemBackground(ACanvas, R, state, Part);
        else if (Info.IsDesigning) {
            RECT rc = R;
            DrawEdge(ACanvas->Handle(), &rc, BDR_RAISEDINNER, BF_RECT);
        }
        break;
    }
    case sknSkin:
        if (Info.IsOpen && skin->OfficePopup()) {
            // Reaches into the popup below, whose top border leaves a gap for it.
            TRect open = R;
            open.Bottom += 2;
            skin->PaintBackground(ACanvas, open, skncOpenToolbarItem, sknsNormal, true, true);
            break;
        }
        if (Info.IsDesigning) DrawSkinFrame(ACanvas, R, 2, clBtnShadow, clBtnShadow, clNone, clNone);
        if (Info.IsOnMenuBar)
            skin->PaintBackground(ACanvas, R, skncMenuBarItem, State, true, true, false, sides);
        else
            DrawToolbarItemBackground(ACanvas, R, State, Part);
        break;
    default:
        if (Info.IsDesigning) DrawSkinFrame(ACanvas, R, 2, clBtnShadow, clBtnShadow, clNone, clNone);
        if (!Info.IsOnMenuBar)
            DrawToolbarItemBackground(ACanvas, R, State, Part);
        else if (IsThemed(Info.SkinType)) {
            if (State != sknsNormal) TSkSkinOptions::PaintThemedElementBackground(ACanvas, R, skncMenuBarItem, State);
        } else if (State == sknsHotTrack || State == sknsPushed || State == sknsChecked ||
                   State == sknsCheckedAndHotTrack)
            FillWith(ACanvas, R, clHighlight);
        break;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// One item paint

void FillMenuItemInfo(TCanvas* ACanvas, TBarItemViewer* Viewer, TSkMenuItemInfo& Info) {
    Info = TSkMenuItemInfo();
    TBarView* view = Viewer->View();
    bars::TBarCustomItem* item = Viewer->Item();
    auto* skinned = dynamic_cast<TSkItemViewer*>(Viewer);
    const auto style = item->ItemStyle();
    const bool combo = style.Contains(bars::tbisCombo);
    const bool toolbarStyle = skinned ? skinned->IsToolbarStyle() : Viewer->IsToolbarStyle();

    Info.Enabled = item->Enabled() || view->Customizing();
    Info.HotTrack = view->Selected() == Viewer;
    const bool pushed = Info.HotTrack && (view->OpenViewer() == Viewer ||
                                          (view->MouseOverSelected() && view->Capture() && toolbarStyle));
    // The arrow of a split button is held: its popup is open and the mouse let go.
    const bool captureFree = pushed && combo && !view->Capture();
    Info.Pushed = pushed && !captureFree;
    Info.Checked = item->Checked();
    Info.HasArrow = item->EffectiveOptions().Contains(bars::tboDropdownArrow) ||
                    (style.Contains(bars::tbisSubmenu) && combo);
    if (skinned) {
        const bool shown = skinned->GetImageShown();
        const TSize size = skinned->GetImageSize();
        Info.ImageShown = shown && Positive(size);
        Info.ImageSize = shown ? size : TSize{0, 0};
        Info.RightImageSize = skinned->GetRightImageSize();
        Info.IsOnToolbox = skinned->IsOnToolBox();
    }
    Info.ImageOrCheckShown = Info.ImageShown || (!toolbarStyle && Info.Checked);
    Info.IsDesigning = view->ComponentState().Contains(rtl::csDesigning);
    Info.IsOnMenuBar = view->Style.Contains(bars::vsMenuBar);
    Info.IsOpen = view->OpenViewer() == Viewer;
    Info.IsSplit = combo;
    Info.IsVertical = view->Orientation() == bars::tbvoVertical && !combo;
    if (!toolbarStyle)
        GetCurrentSkin()->GetMenuItemMargins(ACanvas, MenuImageWidth(view, Info.ImageSize.cx), Info.MenuMargins);
    if (toolbarStyle) {
        if (Info.HasArrow) Info.ComboPart = cpCombo;
        if (Info.IsSplit) Info.ComboPart = cpSplitLeft;
    }
    Info.State = style.Contains(bars::tbisClicksTransparent)
                     ? TSkSkinOptions::GetState(Info.Enabled, false, false, false)
                     : TSkSkinOptions::GetState(Info.Enabled, Info.Pushed, Info.HotTrack, Info.Checked);
    if (Info.IsSplit) {
        if (captureFree)
            Info.ComboState = sknsPushed;
        else
            switch (Info.State) {
            case sknsPushed:
            case sknsCheckedAndHotTrack: Info.ComboState = sknsHotTrack; break;
            case sknsChecked: Info.ComboState = sknsNormal; break;
            default: Info.ComboState = Info.State; break;
            }
    }
    Info.ToolbarStyle = toolbarStyle;
    Info.SkinType = SkinType();
    Info.IsSunkenCaption = (Info.Pushed || Info.Checked) && toolbarStyle &&
                           (Info.SkinType == sknNone || (Info.SkinType == sknWindows && !Info.IsOnMenuBar));
}

void DrawMenuItem(TCanvas* ACanvas, const TRect& ARect, const TSkMenuItemInfo& Info) {
    TSkSkinOptions* skin = GetCurrentSkin();
    if (Info.ToolbarStyle) {
        TRect R = ARect;
        if (!Info.IsSplit) {
            PaintToolbarStylePiece(ACanvas, R, Info, Info.ComboPart, Info.State);
            return;
        }
        if (Info.IsOpen && skin->OfficePopup()) {
            R.Right = Info.ComboRect.Right;
            PaintToolbarStylePiece(ACanvas, R, Info, cpNone, Info.State);
            return;
        }
        // The left half reaches under the arrow half, so their edges meet square.
        if (Info.SkinType == sknSkin || Info.IsDesigning) R.Right += 2;
        PaintToolbarStylePiece(ACanvas, R, Info, cpSplitLeft, Info.State);
        PaintToolbarStylePiece(ACanvas, Info.ComboRect, Info, cpSplitRight, Info.ComboState);
        return;
    }

    const TSkSkinType type = Info.SkinType;
    const bool themed = IsThemed(type);
    bool checkArea;
    switch (type) {
    case sknNone: checkArea = Info.Checked || Info.ImageOrCheckShown; break;
    case sknSkin: checkArea = Info.Enabled && Info.Checked; break;
    default:
        checkArea = themed ? Info.Enabled && Info.Checked : Info.Enabled && (Info.Checked || Info.ImageOrCheckShown);
        break;
    }
    const int gutter = Info.MenuMargins.GutterSize;
    if (Info.HotTrack && (Info.Enabled || !skin->OfficeMenu())) {
        TRect R = ARect;
        if (checkArea) {
            if (type == sknNone)
                R.Left += gutter + 1;
            else if (type == sknSkin &&
                     skin->Options(skncMenuItem, sknsCheckedAndHotTrack)->Borders()->Color1() != clNone)
                R.Left += 3;
        }
        if (type == sknSkin)
            skin->PaintBackground(ACanvas, R, skncMenuItem, sknsHotTrack, true, true);
        else if (themed)
            TSkSkinOptions::PaintThemedElementBackground(ACanvas, R, skncMenuItem, Info.Enabled, false, true, false,
                                                         false, false, false);
        else
            FillWith(ACanvas, R, clHighlight);
    }
    if (checkArea) {
        const TRect check(ARect.Left, ARect.Top, ARect.Left + gutter, ARect.Bottom);
        if (type == sknSkin)
            skin->PaintBackground(ACanvas, check, skncMenuItem, Info.State, true, true);
        else if (themed) {
            const TThemedMenu part = !Info.Enabled   ? tmPopupCheckBackgroundDisabled
                                     : Info.ImageShown ? tmPopupCheckBackgroundBitmap
                                                       : tmPopupCheckBackgroundNormal;
            TSkSkinOptions::PaintThemedElementBackground(ACanvas, check,
                                                         ActiveStyleServices()->GetElementDetails(part));
        } else
            PaintToolbarStylePiece(ACanvas, check, Info, cpNone, Info.State);
    }
    if (Info.IsSplit) {
        const TColor color = type == sknSkin ? skin->Options(skncMenuItem, Info.State)->Borders()->Color1()
                                             : clBtnShadow;
        const int x = ARect.Right - 14;
        DrawColoredLine(ACanvas, x, ARect.Top + 1, x, ARect.Bottom - 1, color);
    }
}

void DrawMenuItemImage(TCanvas* ACanvas, TRect R, const TSkMenuItemInfo& Info, TCustomImageList* ImageList,
                       int ImageIndex) {
    // The toolbar library's own lists pick the picture for the item's state themselves.
    if (auto* stateList = dynamic_cast<bars::TBarCustomImageList*>(ImageList)) {
        if (ImageIndex < 0 || ImageIndex >= stateList->Count()) return;
        if (Info.IsSunkenCaption) R.Offset(1, 1);
        stateList->DrawState(ACanvas, R.Left, R.Top, ImageIndex, Info.Enabled, Info.HotTrack, Info.Checked);
        return;
    }
    if (Info.Enabled && GetCurrentSkin()->OfficeIcons()) {
        if (Info.HotTrack && !Info.Pushed) {
            TRect shadow = R;
            shadow.Offset(1, 1);
            DrawImageShadow(ACanvas, shadow, ImageList, ImageIndex);
            R.Offset(-1, -1);
        }
    } else if (Info.IsSunkenCaption)
        R.Offset(1, 1);
    DrawImageListImage(ACanvas, R, ImageList, ImageIndex, Info.Enabled, false);
}

// ---------------------------------------------------------------------------------------------------
// TSkItemViewer: style questions

bool TSkItemViewer::IsToolbarStyle() {
    if (auto* item = SkItem(); item && item->ToolBoxPopup() && !View()->IsToolbar() && View()->ParentItem() &&
                               !View()->ParentItem()->EffectiveOptions().Contains(bars::tboToolbarStyle))
        return false;
    return TBarItemViewer::IsToolbarStyle();
}

bool TSkItemViewer::IsOnToolBox() {
    bars::TBarCustomItem* parent = View()->ParentItem();
    if (auto* item = dynamic_cast<TSkCustomItem*>(parent)) return item->ToolBoxPopup();
    if (auto* root = dynamic_cast<TSkRootItem*>(parent)) return root->ToolBoxPopup();
    return false;
}

bool TSkItemViewer::ShowsCaption() {
    if (auto* toolbar = dynamic_cast<TSkToolbar*>(View()->Owner())) {
        if (toolbar->DisplayMode() == tbdmImageOnly && GetImageShown()) return false;
        if (toolbar->DisplayMode() == tbdmTextOnly) return true;
    }
    return TBarItemViewer::ShowsCaption();
}

bool TSkItemViewer::GetImageShown() {
    if (auto* toolbar = dynamic_cast<TSkToolbar*>(View()->Owner()); toolbar && toolbar->DisplayMode() == tbdmTextOnly)
        return false;
    const auto mode = Item()->DisplayMode();
    return Item()->ImageIndex() >= 0 &&
           (mode == bars::nbdmDefault || mode == bars::nbdmImageAndText ||
            (IsToolbarStyle() && mode == bars::nbdmTextOnlyInMenus));
}

TSize TSkItemViewer::GetImageSize() {
    if (TCustomImageList* images = EffectiveImages()) return TSize{images->Width(), images->Height()};
    return TSize{0, 0};
}

TColor TSkItemViewer::GetTextColor(TSkSkinStatesType State) {
    if (TSkCustomItem* item = SkItem(); item && item->FontSettings()->Color() != clNone)
        return item->FontSettings()->Color();
    if (!IsToolbarStyle()) return GetCurrentSkin()->GetTextColor(skncMenuItem, State);
    if (auto* toolbar = dynamic_cast<TSkToolbar*>(View()->Window())) {
        const TColor color = toolbar->GetItemsTextColor(State);
        if (color != clNone) return color;
    }
    return GetCurrentSkin()->GetTextColor(skncToolbarItem, State);
}

void TSkItemViewer::AdjustFont(TFont* AFont, TSkSkinStatesType State) {
    TSkCustomItem* item = SkItem();
    if (item) item->FontSettings()->Apply(AFont);
    if (Item()->EffectiveOptions().Contains(bars::tboDefault)) {
        auto style = AFont->Style();
        style.Include(fsBold);
        AFont->SetStyle(style);
    }
    if (AFont->Color() == clNone) AFont->SetColor(GetTextColor(State));
    if (item) item->DoAdjustFont(AFont, State);
}

String TSkItemViewer::GetCaptionText() { return CutAtTab(Item()->Caption()); }

TSkSkinStatesType TSkItemViewer::PaintState() {
    const bool hot = View()->Selected() == this;
    const bool pushed = hot && (View()->OpenViewer() == this || (View()->MouseOverSelected() && View()->Capture()));
    return TSkSkinOptions::GetState(Item()->Enabled(), pushed, hot, Item()->Checked());
}

// ---- owner draw: forwarded to the item ----

void TSkItemViewer::DoDrawItem(TCanvas* ACanvas, const TRect& ARect, const TSkMenuItemInfo& ItemInfo,
                               TSkPaintStage PaintStage, bool& PaintDefault) {
    if (TSkCustomItem* item = SkItem()) item->DoDrawItem(ACanvas, ARect, ItemInfo, PaintStage, PaintDefault);
}

void TSkItemViewer::DoDrawCaption(TCanvas* ACanvas, const TRect& ClientAreaRect, TSkSkinStatesType State,
                                  String& ACaption, TRect& CaptionRect, uint32_t& CaptionFormat, bool IsTextRotated,
                                  TSkPaintStage PaintStage, bool& PaintDefault) {
    if (TSkCustomItem* item = SkItem())
        item->DoDrawCaption(ACanvas, ClientAreaRect, State, ACaption, CaptionRect, CaptionFormat, IsTextRotated,
                            PaintStage, PaintDefault);
}

void TSkItemViewer::DoDrawImage(TCanvas* ACanvas, TSkSkinStatesType State, TSkPaintStage PaintStage,
                                TCustomImageList*& AImageList, int& AImageIndex, TRect& ARect, bool& PaintDefault) {
    if (TSkCustomItem* item = SkItem())
        item->DoDrawImage(ACanvas, State, PaintStage, AImageList, AImageIndex, ARect, PaintDefault);
}

void TSkItemViewer::DoDrawHint(TBitmap* AHintBitmap, String& AHint, bool& PaintDefault) {
    if (TSkCustomItem* item = SkItem()) item->DoDrawHint(AHintBitmap, AHint, PaintDefault);
}

// ---- measuring ----

TSkTextInfo TSkItemViewer::GetItemTextInfo(TCanvas* ACanvas, TSkSkinStatesType State) {
    TSkTextInfo info;
    if (TFont* font = View()->GetFont()) ACanvas->Font()->Assign(font);
    AdjustFont(ACanvas->Font(), State);
    if (!bars::AlwaysUnderlineAccelKeys() && View()->Style.Contains(bars::vsUseHiddenAccels) &&
        !View()->State.Contains(bars::vsShowAccels))
        info.TextFlags = DT_HIDEPREFIX;
    info.TextFlags |= DT_VCENTER;
    switch (SkItem() ? SkItem()->Wrapping() : twWrap) {
    case twNone: break;
    case twEndEllipsis: info.TextFlags |= DT_SINGLELINE | DT_END_ELLIPSIS; break;
    case twPathEllipsis: info.TextFlags |= DT_SINGLELINE | DT_PATH_ELLIPSIS; break;
    case twWrap: info.TextFlags |= DT_WORDBREAK; break;
    }
    info.IsCaptionShown = ShowsCaption();
    if (info.IsCaptionShown) {
        info.Text = GetCaptionText();
        info.IsTextRotated = DrawsRotated();
        if (info.IsTextRotated || !IsToolbarStyle()) info.TextFlags |= DT_SINGLELINE;
        TRect r(0, 0, 1, 1);
        const UINT measure = (info.TextFlags & ~UINT(DT_SINGLELINE | DT_WORDBREAK | DT_END_ELLIPSIS | DT_PATH_ELLIPSIS)) |
                             DT_CALCRECT;
        DrawSkinText(ACanvas, info.Text, r, measure, gldNone, clNone, info.IsTextRotated ? tra270 : tra0);
        // The turned measure already gives the turned box: its width is the line height.
        info.TextSize = TSize{r.Width(), r.Height()};
    }
    info.TextAngle = info.IsTextRotated ? tra270 : tra0;
    return info;
}

void TSkItemViewer::CalcItemViewerSize(TCanvas* ACanvas, bool AStretch, int& AWidth, int& AHeight) {
    TSkSkinOptions* skin = GetCurrentSkin();
    int dropDownArrowSize, dropDownArrowMargin, splitBtnArrowSize;
    skin->GetDropDownArrowSize(dropDownArrowSize, dropDownArrowMargin, splitBtnArrowSize);
    TSize image = GetImageSize(), rightImage = GetRightImageSize();
    if (!Positive(image)) image = TSize{0, 0};
    if (!Positive(rightImage)) rightImage = TSize{0, 0};
    const auto options = Item()->EffectiveOptions();
    const auto style = Item()->ItemStyle();
    const bool above = options.Contains(bars::tboImageAboveCaption);
    const bool rotated = DrawsRotated();
    const bool vertical = View()->Orientation() == bars::tbvoVertical;
    const bool submenu = style.Contains(bars::tbisSubmenu);
    const TSkTextInfo text = GetItemTextInfo(ACanvas, PaintState());
    const bool toolbar = IsToolbarStyle();
    TSkCustomItem* item = SkItem();

    int W, H;
    if (toolbar) {
        W = H = 6;
        if (text.IsCaptionShown) {
            W += text.TextSize.cx;
            H += text.TextSize.cy;
            (rotated ? H : W) += 4;
        }
        if (GetImageShown() && Positive(image)) {
            if (above) {
                H += image.cy;
                W = std::max(W, image.cx + 7);
            } else if (rotated) {
                H += image.cy + 1;
                W = std::max(W, image.cx + 6);
            } else {
                W += image.cx + 1;
                H = std::max(H, image.cy + 6);
            }
        }
        if (Positive(rightImage)) {
            if (vertical)
                H += rightImage.cy + 4;
            else
                W += rightImage.cx + 4;
        }
        if (submenu && style.Contains(bars::tbisCombo))
            W += splitBtnArrowSize;
        else if (options.Contains(bars::tboDropdownArrow)) {
            if (above && image.cx != 0 && !rotated) {
                if (!vertical) {
                    if (W - 7 < image.cx + dropDownArrowSize + 2) W = image.cx + dropDownArrowSize + 9;
                } else if (H - 7 < image.cy + dropDownArrowSize + 2)
                    H = image.cy + dropDownArrowSize + 9;
            } else if (vertical)
                H += dropDownArrowSize;
            else
                W += dropDownArrowSize;
        }
        if (submenu && View()->Style.Contains(bars::vsMenuBar)) W += 6;
        if (auto* view = dynamic_cast<TSkToolbarView*>(View());
            AStretch && view && item && item->Stretch() && view->ViewerCount() > 2) {
            if (vertical)
                W = std::max(W, view->TallestItemSize());
            else
                H = std::max(H, view->TallestItemSize());
        }
    } else {
        const TEXTMETRICW tm = Metrics(ACanvas);
        W = text.TextSize.cx;
        H = text.TextSize.cy + tm.tmExternalLeading;
        H = std::max(H, image.cy == 0 ? 16 : image.cy);
        TSkMenuItemMarginsInfo m;
        skin->GetMenuItemMargins(ACanvas, MenuImageWidth(View(), image.cx), m);
        W += m.Margins.Left + m.Margins.Right + m.GutterSize + m.ImageTextSpace + m.LeftCaptionMargin +
             m.RightCaptionMargin;
        H += m.Margins.Top + m.Margins.Bottom;
        const String shortCut = item ? item->GetShortCutText() : Item()->GetShortCutText();
        if (!shortCut.isEmpty()) W += H + GetTextExtent(ACanvas->Handle(), shortCut, true).cx - 6;
        W += H;   // room for the submenu arrow
    }
    const int minWidth = item ? item->MinWidth() : 0, minHeight = item ? item->MinHeight() : 0;
    W = std::max(W, minWidth);
    H = std::max(H, minHeight);
    const int margins = item ? item->Margins() : 0;
    int length = rotated ? H : W + margins;
    int thickness = rotated ? W + margins : H;
    if (item) {
        if (item->CustomWidth() >= 0) length = item->CustomWidth();
        if (item->CustomHeight() >= 0) thickness = item->CustomHeight();
        if (toolbar && item->Anchored()) length += FAnchorDelta;
    }
    length = std::max(length, minWidth);
    thickness = std::max(thickness, minHeight);
    if (auto* toolbar = dynamic_cast<TSkToolbar*>(View()->Window()); toolbar && toolbar->MaxSize() >= 0) {
        const int cap = toolbar->MaxSize() - toolbar->NonClientHeight();
        if (cap >= 0 && cap < thickness) thickness = cap;
    }
    AWidth = rotated ? thickness : length;
    AHeight = rotated ? length : thickness;
}

void TSkItemViewer::MeasureSize(TCanvas* Canvas, int& AWidth, int& AHeight) {
    CalcItemViewerSize(Canvas, true, AWidth, AHeight);
}

// ---- painting ----

void TSkItemViewer::Paint(TCanvas* Canvas, const TRect& ClientAreaRect, bool IsSelected, bool, bool) {
    TSkSkinOptions* skin = GetCurrentSkin();
    TSkCustomItem* item = SkItem();
    TRect R = ClientAreaRect;
    int dropDownArrowSize, dropDownArrowMargin, splitBtnArrowSize;
    skin->GetDropDownArrowSize(dropDownArrowSize, dropDownArrowMargin, splitBtnArrowSize);
    TSkMenuItemInfo Info;
    FillMenuItemInfo(Canvas, this, Info);
    const TSkTextInfo text = GetItemTextInfo(Canvas, Info.State);
    const TColor C = Canvas->Font()->Color();
    const bool toolbar = Info.ToolbarStyle;
    const bool rotated = DrawsRotated();
    const bool vertical = View()->Orientation() == bars::tbvoVertical;
    const auto options = Item()->EffectiveOptions();
    const auto style = Item()->ItemStyle();
    const bool above = options.Contains(bars::tboImageAboveCaption);
    const bool transparent = style.Contains(bars::tbisClicksTransparent);
    String caption = GetCaptionText();
    const bool arrowBesideImage = Info.HasArrow && !Info.IsSplit && toolbar && above && Info.ImageSize.cx > 0 &&
                                  !rotated && !caption.isEmpty();

    if (toolbar && Info.HasArrow) {
        if (Info.IsSplit) {
            Info.ComboRect = TRect(R.Right - splitBtnArrowSize, R.Top, R.Right, R.Bottom);
            R.Right -= splitBtnArrowSize;
        } else if (arrowBesideImage) {
            const int c = (R.Left + R.Right + Info.ImageSize.cx + dropDownArrowSize + 4) / 2;
            const int d = (R.Top + R.Bottom - Info.ImageSize.cy - text.TextSize.cy - 2) / 2;
            Info.ComboRect = TRect(c - dropDownArrowSize, d, c, d + Info.ImageSize.cy);
        } else if (vertical)
            Info.ComboRect = TRect(R.Left, R.Bottom - dropDownArrowMargin - dropDownArrowSize, R.Right,
                                   R.Bottom - dropDownArrowMargin);
        else
            Info.ComboRect = TRect(R.Right - dropDownArrowMargin - dropDownArrowSize, R.Top,
                                   R.Right - dropDownArrowMargin, R.Bottom);
    }

    bool PaintDefault = true;
    DoDrawItem(Canvas, R, Info, pstPrePaint, PaintDefault);
    if (PaintDefault) DrawMenuItem(Canvas, R, Info);
    PaintDefault = true;
    DoDrawItem(Canvas, R, Info, pstPostPaint, PaintDefault);

    if (toolbar) {
        if (PaintDefault && Info.HasArrow &&
            !(Info.IsSplit && (Info.SkinType == sknWindows || Info.SkinType == sknDelphiStyle))) {
            int x = (Info.ComboRect.Left + Info.ComboRect.Right) / 2 - 1;
            int y = (Info.ComboRect.Top + Info.ComboRect.Bottom) / 2 - 1;
            if (Info.IsSunkenCaption) {
                ++x;
                ++y;
            }
            const TColor color = Info.IsSplit && Info.Enabled ? GetTextColor(Info.ComboState) : C;
            DrawArrowTriangle(Canvas, x, y, color, !Info.IsVertical, false, 2);
        }
        if (Info.HasArrow && !Info.IsSplit && !arrowBesideImage) (vertical ? R.Bottom : R.Right) -= dropDownArrowSize;
        R.Inflate(-4, -4);
    } else {
        if (PaintDefault && style.Contains(bars::tbisSubmenu))
            DrawArrowTriangle(Canvas, R.Right - 10, R.Bottom / 2, C, false, false, 3);
        if (!transparent) {
            const TRect& m = Info.MenuMargins.Margins;
            R = TRect(R.Left + m.Left, R.Top + m.Top, R.Right - m.Right, R.Bottom - m.Bottom);
        }
    }

    const TEXTMETRICW tm = Metrics(Canvas);
    const TSkMenuItemMarginsInfo& margins = Info.MenuMargins;
    // A disabled item under the classic look gets its text embossed, unless hot in a menu.
    auto drawText = [&](String& S, TRect& Rect, UINT Flags) {
        if (!Info.Enabled && Info.SkinType == sknNone && (!IsSelected || toolbar)) {
            TRect shadow = Rect;
            shadow.Offset(1, 1);
            Canvas->Font()->SetColor(clBtnHighlight);
            DrawSkinText(Canvas, S, shadow, Flags, gldNone, clNone, text.TextAngle);
            Canvas->Font()->SetColor(clGrayText);
        }
        if (IsGlassPainting(View()->Window()))
            DrawGlassText(Canvas, S, Rect, Flags, 0);
        else
            DrawSkinText(Canvas, S, Rect, Flags, item ? item->CaptionGlow() : gldNone,
                         item ? item->CaptionGlowColor() : clNone, text.TextAngle);
    };
    auto drawOwnerText = [&](String S, TRect Rect, uint32_t Flags) {
        Canvas->Font()->SetColor(C);
        bool paintDefault = true;
        DoDrawCaption(Canvas, ClientAreaRect, Info.State, S, Rect, Flags, text.IsTextRotated, pstPrePaint, paintDefault);
        if (paintDefault) drawText(S, Rect, Flags);
        paintDefault = true;
        DoDrawCaption(Canvas, ClientAreaRect, Info.State, S, Rect, Flags, text.IsTextRotated, pstPostPaint,
                      paintDefault);
    };

    TRect imageRect, rightImageRect;
    if (text.IsCaptionShown) {
        UINT flags = text.TextFlags;
        TRect captionRect;
        if (toolbar) {
            flags &= ~UINT(DT_VCENTER);
            TAlignment alignment = item ? item->Alignment() : taCenter;
            if (Positive(Info.RightImageSize)) alignment = taLeftJustify;
            if (alignment == taRightJustify)
                flags |= DT_RIGHT;
            else if (alignment == taCenter && above)
                flags |= DT_CENTER;
            CalcCaptionGlyphLayout(Canvas, R, caption, alignment, flags, Info.ImageSize, Info.RightImageSize,
                                   above ? ghlGlyphTop : ghlGlyphLeft, false, captionRect, imageRect, rightImageRect,
                                   rotated);
            if (Info.IsSunkenCaption) captionRect.Offset(1, 1);
        } else if (transparent) {
            flags |= DT_CENTER;
            captionRect = R;
        } else {
            flags |= DT_VCENTER;
            captionRect = R;
            captionRect.Left += margins.GutterSize + margins.ImageTextSpace + margins.LeftCaptionMargin;
            captionRect.Top += tm.tmExternalLeading;
            captionRect.Right = captionRect.Left + text.TextSize.cx;
            if (R.Height() - tm.tmExternalLeading - tm.tmHeight == margins.Margins.Bottom) captionRect.Bottom -= 1;
        }
        drawOwnerText(caption, captionRect, flags);
    }

    if (!toolbar && item) {
        const String shortCut = item->GetShortCutText();
        if (!shortCut.isEmpty()) {
            const int width = GetTextExtent(Canvas->Handle(), shortCut, true).cx;
            TRect rect(R.Right - R.Height() - width, R.Top + tm.tmExternalLeading, R.Right - R.Height(), R.Bottom);
            if (R.Height() - tm.tmExternalLeading - tm.tmHeight == margins.Margins.Bottom) rect.Bottom -= 1;
            drawOwnerText(shortCut, rect, (text.TextFlags & ~UINT(DT_WORDBREAK)) | DT_SINGLELINE | DT_VCENTER);
        }
    }

    if (Info.ImageOrCheckShown) {
        TRect rect;
        if (toolbar) {
            rect = imageRect.IsEmpty() ? R : imageRect;
            if (arrowBesideImage) rect.Offset(-(dropDownArrowSize - 1) / 2, 0);
        } else
            rect = TRect(R.Left, R.Top, R.Left + margins.GutterSize, R.Bottom);
        if (Info.ImageShown)
            DrawItemImage(Canvas, CenteredRect(rect, Info.ImageSize.cx, Info.ImageSize.cy), Info, Item()->ImageIndex());
        else if (Info.Checked && !toolbar) {
            if (Item()->RadioItem())
                skin->PaintMenuRadioMark(Canvas, rect, true, true, Info.State);
            else
                skin->PaintMenuCheckMark(Canvas, rect, true, false, true, Info.State);
        }
    }

    if (toolbar && Positive(Info.RightImageSize)) {
        TRect rect = rightImageRect;
        if (rect.IsEmpty()) {
            rect = CenteredRectVert(TRect(R.Right - Info.RightImageSize.cx, R.Top, R.Right, R.Bottom),
                                    Info.RightImageSize.cy);
        }
        DrawItemRightImage(Canvas, rect, Info);
    }
}

void TSkItemViewer::DrawItemImage(TCanvas* ACanvas, TRect ARect, const TSkMenuItemInfo& ItemInfo, int ImageIndex) {
    TCustomImageList* images = EffectiveImages();
    bool PaintDefault = true;
    DoDrawImage(ACanvas, ItemInfo.State, pstPrePaint, images, ImageIndex, ARect, PaintDefault);
    if (PaintDefault && images) {
        if (images == TitleButtonImages()) {
            const TColor color = !ItemInfo.Enabled || ItemInfo.ToolbarStyle || ItemInfo.SkinType == sknSkin
                                     ? GetTextColor(ItemInfo.State)
                                     : clMenuText;
            DrawTitleButtonGlyph(ACanvas, ARect, ImageIndex, color);
        } else if (ImageIndex >= 0 && ImageIndex < images->Count())
            DrawMenuItemImage(ACanvas, ARect, ItemInfo, images, ImageIndex);
    }
    PaintDefault = true;
    DoDrawImage(ACanvas, ItemInfo.State, pstPostPaint, images, ImageIndex, ARect, PaintDefault);
}

// ---- hints ----

String TSkItemViewer::GetHintText() {
    String text = GetShortHint(Item()->Hint());
    const auto style = Item()->ItemStyle();
    if (text.isEmpty() && !Item()->EffectiveOptions().Contains(bars::tboNoAutoHint) &&
        (!style.Contains(bars::tbisSubmenu) || style.Contains(bars::tbisCombo) || !ShowsCaption()))
        text = TrimCaptionTail(RemoveAccelMarkers(GetCaptionText()));
    if (auto* action = dynamic_cast<TCustomAction*>(Item()->Action()))
        if (action->OnHint && !action->DoHint(text)) text.clear();
    if (!text.isEmpty() && Application && Application->HintShortCuts() && Item()->ShortCut() != 0)
        text += QStringLiteral(" (") + ShortCutToText(Item()->ShortCut()) + QStringLiteral(")");
    return text;
}

namespace {

THintWindow* CreateBitmapHint(rtl::TComponent* AOwner) { return new TBitmapHint(AOwner); }

TSize HintTextSize(TCanvas* ACanvas, const String& Text) {
    RECT r{0, 0, 0, 0};
    DrawTextW(ACanvas->Handle(), reinterpret_cast<LPCWSTR>(Text.utf16()), int(Text.size()), &r,
              DT_CALCRECT | DT_NOPREFIX);
    return TSize{r.right - r.left, r.bottom - r.top};
}

void PrepareHintBitmap(TBitmap* Bitmap, const TSize& TextSize) {
    Bitmap->SetSize(TextSize.cx + 8, TextSize.cy + 4);
    DrawHintBackground(Bitmap->Canvas(), TRect(0, 0, Bitmap->Width(), Bitmap->Height()));
}

} // namespace

void TSkItemViewer::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_HINTSHOW) CMHintShow(static_cast<TCMHintShow&>(Message));
}

void TSkItemViewer::CMHintShow(TCMHintShow& Message) {
    THintInfo* info = Message.HintInfo();
    if (!info) return;
    String hint = GetHintText();
    info->HintStr = hint;
    info->CursorRect = BoundsRect();
    info->HintWindowClass = &CreateBitmapHint;
    TBitmap* bitmap = StockHintBitmap();
    info->HintData = bitmap;
    info->HideTimeout = 60000;

    TCanvas* canvas = bitmap->Canvas();
    if (Screen) canvas->Font()->Assign(Screen->HintFont());
    TColor textColor = clInfoText;
    canvas->Font()->SetColor(textColor);
    canvas->Pen()->SetColor(clBlack);
    canvas->Brush()->SetColor(clInfoBk);
    TSize size = HintTextSize(canvas, hint);
    PrepareHintBitmap(bitmap, size);

    bool PaintDefault = true;
    const String before = hint;
    DoDrawHint(bitmap, hint, PaintDefault);
    if (!PaintDefault) return;   // the handler's picture stands
    info->HintStr = hint;
    info->CursorRect = BoundsRect();
    if (hint != before) {
        size = HintTextSize(canvas, hint);
        PrepareHintBitmap(bitmap, size);
    }
    canvas->Brush()->SetStyle(bsClear);
    RECT r{(bitmap->Width() - size.cx) / 2 - 2, (bitmap->Height() - size.cy) / 2, 0, 0};
    r.right = r.left + size.cx;
    r.bottom = r.top + size.cy;
    DrawTextW(canvas->Handle(), reinterpret_cast<LPCWSTR>(hint.utf16()), int(hint.size()), &r, DT_NOPREFIX);
}

// ---------------------------------------------------------------------------------------------------
// The other viewers

void TSkLabelItemViewer::MeasureSize(TCanvas* Canvas, int& AWidth, int& AHeight) {
    TSkItemViewer::MeasureSize(Canvas, AWidth, AHeight);
    TSkCustomItem* item = SkItem();
    if (!IsToolbarStyle() && !GetCaptionText().isEmpty() && item && item->CustomHeight() < 0)
        AHeight = Metrics(Canvas).tmHeight;
}

void TSkSeparatorItemViewer::MeasureSize(TCanvas*, int& AWidth, int& AHeight) {
    if (IsToolbarStyle()) {
        AWidth = 6;
        AHeight = 6;
    } else
        AHeight = GetCurrentSkin()->OfficeMenu() ? 4 : 10;
}

void TSkSeparatorItemViewer::Paint(TCanvas* Canvas, const TRect& ClientAreaRect, bool, bool, bool) {
    auto* separator = dynamic_cast<bars::TBarSeparatorItem*>(Item());
    if (separator && separator->Blank()) return;
    // A status bar that paints its separators with its background needs none here.
    if (auto* status = dynamic_cast<TSkStatusToolbar*>(View()->Window()); status && status->NeedsSeparatorRepaint())
        return;
    TRect R = ClientAreaRect;
    if (!View()->IsPopup()) {
        DrawSeparator(Canvas, R, false, View()->Orientation() != bars::tbvoVertical);
        return;
    }
    const TSkSkinType type = SkinType();
    const bool menuStyle = !Item()->EffectiveOptions().Contains(bars::tboToolbarStyle);
    TSkSkinOptions* skin = GetCurrentSkin();
    if (type != sknNone && menuStyle && (IsWindowsVistaOrLater() || !skin->Options(skncGutter)->IsEmpty())) {
        TSkMenuItemMarginsInfo m;
        skin->GetMenuItemMargins(Canvas, 0, m);
        R.Left = m.GutterSize + m.ImageTextSpace + (IsWindowsVistaOrLater() ? 0 : m.LeftCaptionMargin);
    } else if (type == sknNone && menuStyle) {
        const int inset = bars::ScaleForDPI(12);
        R.Left += inset;
        R.Right -= inset;
    }
    DrawSeparator(Canvas, R, true, false);
}

void TSkSystemMenuItemViewer::MeasureSize(TCanvas*, int& AWidth, int& AHeight) {
    AWidth = GetSystemMetrics(SM_CXSMICON) + 2;
    AHeight = GetSystemMetrics(SM_CYSMICON) + 2;
}

void TSkSystemMenuItemViewer::Paint(TCanvas* Canvas, const TRect& ClientAreaRect, bool, bool, bool) {
    TRect R = ClientAreaRect;
    R.Inflate(-1, -1);
    HICON icon = nullptr;
    if (Application && Application->MainForm() && !Application->MainForm()->Icon()->Empty())
        icon = Application->MainForm()->Icon()->Handle();
    else if (Application && !Application->Icon()->Empty())
        icon = Application->Icon()->Handle();
    else
        icon = LoadIconW(nullptr, IDI_APPLICATION);
    if (!icon) return;
    HICON copy = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, R.Width(), R.Height(), LR_COPYFROMRESOURCE));
    if (!copy) return;
    DrawIconEx(Canvas->Handle(), R.Left, R.Top, copy, R.Width(), R.Height(), 0, nullptr, DI_NORMAL);
    // The copy is the viewer's own: keeping it would lose an icon handle on every paint.
    DestroyIcon(copy);
}

} // namespace skins
