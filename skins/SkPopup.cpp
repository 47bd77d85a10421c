// skins/SkPopup.cpp: skinned popup windows, the chevron, and the skinned popup menu.
#include "skins/SkPopup.h"

#include "skins/SkBars.h"
#include "skins/SkSkinsPaint.h"
#include "toolbars/BarAnim.h"
#include "toolbars/BarCommon.h"

#include <algorithm>

namespace skins {

using bars::TBarCustomItem;
using bars::TBarItemViewer;
using vcl::TCanvas;

const uint8_t SkChevronGlyphHorizontal[16] = {0xCC, 0, 0x66, 0, 0x33, 0, 0x66, 0, 0xCC, 0};
const uint8_t SkChevronGlyphVertical[16] = {0x88, 0, 0xD8, 0, 0x70, 0, 0x20, 0, 0x88, 0, 0xD8, 0, 0x70, 0, 0x20, 0};

namespace {

TSkSkinType SkinType() { return GetSkinManager()->GetSkinType(); }

bool ParentHasToolBoxPopup(bars::TBarView* View) {
    TBarCustomItem* parent = View->ParentItem();
    if (auto* item = dynamic_cast<TSkCustomItem*>(parent)) return item->ToolBoxPopup();
    if (auto* root = dynamic_cast<TSkRootItem*>(parent)) return root->ToolBoxPopup();
    return false;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// The popup view and window

void TSkPopupWindowView::FitWindowToContent(int W, int H) {
    if (auto* submenu = dynamic_cast<TSkSubmenuItem*>(ParentItem());
        submenu && submenu->HideEmptyPopup() && ViewerCount() == 0) {
        bars::TBarPopupView::FitWindowToContent(-6, -6);
        return;
    }
    bars::TBarPopupView::FitWindowToContent(W, H);
}

TSkPopupWindow::TSkPopupWindow(rtl::TComponent* AOwner, bars::TBarView* AParentView, TBarCustomItem* AItem,
                               bool ACustomizing)
    : bars::TBarPopupWindow(AOwner, AParentView, AItem, ACustomizing) {}

TSkPopupWindow::~TSkPopupWindow() {
    if (FShownOnce) DoPopupShowingChanged(false);
}

bars::TBarViewClass TSkPopupWindow::ViewClass() {
    return [](rtl::TComponent* O, bars::TBarView* PV, TBarCustomItem* PI, vcl::TWinControl* W, bool T, bool C,
              bool P) -> bars::TBarView* { return new TSkPopupWindowView(O, PV, PI, W, T, C, P); };
}

void TSkPopupWindow::ViewCreated(TBarCustomItem* AItem) {
    auto* view = dynamic_cast<TSkPopupWindowView*>(View());
    if (auto* item = dynamic_cast<TSkCustomItem*>(AItem); item && item->ToolbarStylePopup() && view)
        view->SetIsToolbar(true);
    FMaximumImageSize = vcl::TSize{0, 0};
    if (!View()) return;
    for (int i = 0; i < View()->ViewerCount(); ++i) {
        TBarItemViewer* v = View()->GetViewer(i);
        const bool shown = dynamic_cast<TSkItemViewer*>(v) ? static_cast<TSkItemViewer*>(v)->GetImageShown()
                                                            : v->ShowsImage();
        vcl::TCustomImageList* images = v->EffectiveImages();
        if (!shown || !images) continue;
        FMaximumImageSize.cx = std::max<LONG>(FMaximumImageSize.cx, images->Width());
        FMaximumImageSize.cy = std::max<LONG>(FMaximumImageSize.cy, images->Height());
    }
}

void TSkPopupWindow::DoPopupShowingChanged(bool IsVisible) {
    if (!View()) return;
    TBarCustomItem* parent = View()->ParentItem();
    if (auto* item = dynamic_cast<TSkCustomItem*>(parent)) {
        item->DoPopupShowingChanged(this, IsVisible);
        if (HandleAllocated()) RedrawWindow(WindowHandle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
    } else if (auto* root = dynamic_cast<TSkRootItem*>(parent))
        root->DoPopupShowingChanged(this, IsVisible);
}

void TSkPopupWindow::PaintBackground(TCanvas* ACanvas, const TRect& ARect) {
    TRect openItem;
    bool drawGutter = false;
    if (bars::TBarView* view = View()) {
        ACanvas->Font()->Assign(bars::SharedMenuFont());
        drawGutter = !view->IsToolbar() && !ParentHasToolBoxPopup(view);
        bars::TBarView* parentView = view->ParentView();
        TBarItemViewer* open = parentView ? parentView->OpenViewer() : nullptr;
        if (open && GetCurrentSkin()->OfficePopup() && open->IsToolbarStyle() &&
            (dynamic_cast<TSkItemViewer*>(open) || dynamic_cast<TSkChevronItemViewer*>(open)) &&
            parentView->Window() && parentView->Window()->HandleAllocated() && HandleAllocated()) {
            POINT tl{open->BoundsRect().Left, open->BoundsRect().Top};
            POINT br{open->BoundsRect().Right, open->BoundsRect().Bottom};
            ::ClientToScreen(parentView->Window()->WindowHandle(), &tl);
            ::ClientToScreen(parentView->Window()->WindowHandle(), &br);
            ::ScreenToClient(WindowHandle(), &tl);
            ::ScreenToClient(WindowHandle(), &br);
            openItem = TRect(tl.x, tl.y, br.x, br.y);
            openItem.Offset(3 + ARect.Left, 3);
        }
    }
    DrawPopupBackground(ACanvas, ARect, openItem, drawGutter, FMaximumImageSize.cx);
}

void TSkPopupWindow::PaintPopupNC(HDC DC) {
    TCanvas canvas;
    canvas.Lock();
    canvas.SetHandle(DC);
    TRect r(0, 0, Width(), Height());
    if (FPaintingClientArea) {
        r.Offset(-3, -3);
        FPaintingClientArea = false;
    }
    PaintBackground(&canvas, r);
    canvas.SetHandle(nullptr);
    canvas.Unlock();
}

void TSkPopupWindow::PaintNCFrame(HDC DC) {
    FPaintingClientArea = false;
    PaintPopupNC(DC);
}

void TSkPopupWindow::CMShowingChanged(vcl::TMessage& Message) {
    const bool showing = Message.WParam != 0;
    auto* submenu = View() ? dynamic_cast<TSkSubmenuItem*>(View()->ParentItem()) : nullptr;
    if (showing && submenu && submenu->HideEmptyPopup() && View()->ViewerCount() == 0)
        SetWindowPos(WindowHandle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    else
        bars::TBarPopupWindow::CMShowingChanged(Message);
    if (showing && HandleAllocated() && IsWindowVisible(WindowHandle())) {
        FShownOnce = true;
        DoPopupShowingChanged(true);
    }
}

void TSkPopupWindow::Dispatch(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND: {
        const TSkSkinType type = SkinType();
        if (type == sknNone || (type == sknWindows && !IsWindowsVistaOrLater())) break;
        Message.Result = 1;
        FPaintingClientArea = true;
        bars::EndPopupAnimationFor(WindowHandle());
        PaintPopupNC(reinterpret_cast<HDC>(Message.WParam));
        return;
    }
    case vcl::CM_HINTSHOW: {
        auto& hint = vcl::MessageAs<vcl::TCMHintShow>(Message);
        hint.HintInfo()->HintStr.clear();
        TBarItemViewer* v = View() ? View()->Selected() : nullptr;
        if (!v) return;
        hint.HintInfo()->CursorRect = v->BoundsRect();
        hint.HintInfo()->HintStr = v->GetHintText();
        if (auto* skinned = dynamic_cast<TSkItemViewer*>(v)) skinned->Dispatch(Message);
        return;
    }
    default: break;
    }
    bars::TBarPopupWindow::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------------
// The chevron

bars::TBarItemViewerClass TSkChevronItem::GetItemViewerClass(bars::TBarView*) {
    return bars::TBarItemViewerClass::Of<TSkChevronItemViewer>();
}

bars::TBarPopupWindowClass TSkChevronItem::GetPopupWindowClass() {
    return TSkPopupWindow::ClassOf<TSkChevronPopupWindow>();
}

TColor TSkChevronItemViewer::GetTextColor(TSkSkinStatesType State) {
    if (IsToolbarStyle()) {
        if (auto* toolbar = dynamic_cast<TSkToolbar*>(View()->Window())) {
            const TColor c = toolbar->GetItemsTextColor(State);
            if (c != vcl::clNone) return c;
        }
        return GetCurrentSkin()->GetTextColor(skncToolbarItem, State);
    }
    return GetCurrentSkin()->GetTextColor(skncMenuItem, State);
}

void TSkChevronItemViewer::Paint(TCanvas* Canvas, const TRect& ClientAreaRect, bool, bool, bool) {
    TSkMenuItemInfo info;
    FillMenuItemInfo(Canvas, this, info);
    DrawMenuItem(Canvas, ClientAreaRect, info);
    const TRect& R = ClientAreaRect;
    TRect glyph;
    int w, h;
    const uint8_t* bits;
    if (info.IsVertical) {
        w = 5;
        h = 8;
        bits = SkChevronGlyphVertical;
        glyph = TRect(R.Right - 9, R.Top, R.Right - 4, R.Bottom);
    } else {
        w = 8;
        h = 5;
        bits = SkChevronGlyphHorizontal;
        glyph = TRect(R.Left, R.Top + 4, R.Right, R.Top + 9);
    }
    glyph = TRect(glyph.Left + (glyph.Width() - w) / 2, glyph.Top + (glyph.Height() - h) / 2, 0, 0);
    glyph.Right = glyph.Left + w;
    glyph.Bottom = glyph.Top + h;
    if (info.Pushed) glyph.Offset(1, 1);
    const TColor color = SkinType() == sknSkin ? GetTextColor(info.State) : vcl::clBtnText;
    if (!info.Enabled) {
        TRect shadow = glyph;
        shadow.Offset(1, 1);
        DrawMonoPattern(Canvas->Handle(), shadow, w, h, bits, vcl::clBtnHighlight);
        DrawMonoPattern(Canvas->Handle(), glyph, w, h, bits, vcl::clBtnShadow);
    } else
        DrawMonoPattern(Canvas->Handle(), glyph, w, h, bits, color);
}

void TSkChevronPopupWindow::Dispatch(vcl::TMessage& Message) {
    TSkPopupWindow::Dispatch(Message);
    if (Message.Msg != vcl::CM_COLORCHANGED) return;
    auto* view = dynamic_cast<TSkPopupWindowView*>(View());
    if (!view || !view->IsToolbar() || Color() != vcl::clBtnFace) return;
    bars::TBarView* parent = view->ParentView();
    auto* toolbar = parent ? dynamic_cast<TSkToolbar*>(parent->Window()) : nullptr;
    if (!toolbar || !toolbar->ChevronVertical()) return;
    view->SetIsToolbar(false);
    SetColor(vcl::clMenu);
}

// ---------------------------------------------------------------------------------------------------
// The popup menu

TSkPopupMenu::TSkPopupMenu(rtl::TComponent* AOwner) : bars::TBarPopupMenu(AOwner) {
    // The base made a plain root item before this class existed.
    auto onPopup = FItem->OnPopup;
    delete FItem;
    FItem = new TSkRootItem(this);
    FItem->SetParentComponentOfRoot(this);
    FItem->OnPopup = onPopup;
}

TSkPopupMenu::~TSkPopupMenu() {
    if (FWatchedControl) FWatchedControl->RemoveFreeNotification(this);
}

void TSkPopupMenu::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    bars::TBarPopupMenu::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FWatchedControl) FWatchedControl = nullptr;
}

void TSkPopupMenu::Popup(int X, int Y) { PopupEx(X, Y, nullptr, false); }

TBarCustomItem* TSkPopupMenu::PopupEx(int X, int Y, vcl::TControl* PopupControl, bool ReturnClickedItemOnly) {
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{FReturnClickedItemOnly};
    FReturnClickedItemOnly = ReturnClickedItemOnly;
    InternalPopup(X, Y, false, PopupControl);
    return FClickedItem;
}

bool TSkPopupMenu::InternalPopup(int X, int Y, bool, vcl::TControl* PopupControl) {
    FClickedItem = nullptr;
    SetPopupPoint(TPoint(X, Y));
    TPoint at(X, Y);
    vcl::TWinControl* target = nullptr;
    if (PopupControl && PopupControl->Parent()) {
        const TPoint tl = PopupControl->Parent()->ClientToScreen(TPoint(PopupControl->Left(), PopupControl->Top()));
        at = TPoint(tl.X, tl.Y + PopupControl->Height());
        target = dynamic_cast<vcl::TWinControl*>(PopupControl);
    }
    // The chosen item's or an OnPopup handler may free the control: watch it for the call.
    FWatchedControl = target;
    if (target) target->FreeNotification(this);
    struct TUnwatch {
        TSkPopupMenu* Menu;
        ~TUnwatch() {
            if (Menu->FWatchedControl) Menu->FWatchedControl->RemoveFreeNotification(Menu);
            Menu->FWatchedControl = nullptr;
        }
    } unwatch{this};

    SkItems()->SetToolBoxPopup(FToolBoxPopup);
    static const bars::TBarPopupAlignment alignments[] = {bars::tbpaLeft, bars::tbpaRight, bars::tbpaCenter};
    FClickedItem = FItem->Popup(at.X, at.Y, TrackButton() == vcl::tbRightButton, alignments[Alignment()],
                                FReturnClickedItemOnly);

    if (vcl::TWinControl* control = FWatchedControl) {
        // A queued message carries the window, not the control: a window gone by then drops it.
        if (control->HandleAllocated())
            PostMessageW(control->WindowHandle(), CM_POPUPMENUCLOSED, reinterpret_cast<WPARAM>(this), 0);
        vcl::TMessage closed{CM_POPUPMENUCLOSED, reinterpret_cast<WPARAM>(this), 0, 0};
        control->Broadcast(closed);
    }
    return true;
}

} // namespace skins
