// skins/SkBars.cpp: skinned docks and toolbars, their backgrounds and docked non-client areas, the
// right-align spacer and anchored items, customizing by drag and drop, and the floating frame.
#include "skins/SkBars.h"

#include "skins/SkPopup.h"
#include "skins/SkSkinsPaint.h"
#include "skins/SkStatusBar.h"

#include <algorithm>

namespace skins {

using bars::TBarCustomItem;
using bars::TBarItemViewer;
using vcl::TCanvas;

const uint8_t CloseGlyph[7] = {0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00};

namespace {

bool Designing(const rtl::TComponent* C) { return C->ComponentState().Contains(rtl::csDesigning); }

TSkSkinType SkinType() { return GetSkinManager()->GetSkinType(); }

// A canvas on a DC for the length of one paint.
struct TDCCanvas {
    TCanvas Canvas;
    explicit TDCCanvas(HDC DC) {
        Canvas.Lock();
        Canvas.SetHandle(DC);
    }
    ~TDCCanvas() {
        Canvas.SetHandle(nullptr);
        Canvas.Unlock();
    }
};

int ViewerLength(TBarItemViewer* V, bool Vertical) {
    const TRect& r = V->BoundsRect();
    return Vertical ? r.Bottom - r.Top : r.Right - r.Left;
}

TBarItemViewer* LastSelectable(bars::TBarView* View) {
    return View ? View->NextSelectable(nullptr, false) : nullptr;
}

int FarEdge(TBarItemViewer* V, bool Vertical) {
    if (!V) return 0;
    return Vertical ? V->BoundsRect().Bottom : V->BoundsRect().Right;
}

// The control item of Root (groups searched) that wraps Control.
bars::TBarControlItem* FindControlItem(TBarCustomItem* Root, vcl::TControl* Control) {
    for (int i = 0; i < Root->Count(); ++i) {
        TBarCustomItem* item = Root->GetItem(i);
        if (dynamic_cast<bars::TBarGroupItem*>(item)) {
            if (auto* found = FindControlItem(item, Control)) return found;
        } else if (auto* c = dynamic_cast<bars::TBarControlItem*>(item); c && c->Control() == Control)
            return c;
    }
    return nullptr;
}

} // namespace

bool (*DwmCompositionProbe)() = nullptr;

bool IsDwmCompositionEnabled() {
    if (DwmCompositionProbe) return DwmCompositionProbe();
    HMODULE dwm = LoadLibraryW(u"dwmapi.dll");
    if (!dwm) return false;
    using IsEnabledProc = HRESULT (*)(BOOL*);
    auto isEnabled =
        reinterpret_cast<IsEnabledProc>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
    BOOL composition = FALSE;
    const bool on = isEnabled && isEnabled(&composition) == S_OK && composition;
    FreeLibrary(dwm);
    return on;
}

// ---------------------------------------------------------------------------------------------------
// Painting a dockable window

int GetDragHandleSize(bars::TBarCustomDockableWindow* Window) {
    bars::TBarDock* dock = Window ? Window->CurrentDock() : nullptr;
    if (!dock || !dock->AllowDrag()) return 0;
    if (Window->CloseButtonWhenDocked()) return 14;
    switch (Window->DragHandleStyle()) {
    case bars::dhDouble: return 9;
    case bars::dhNone: return 0;
    case bars::dhSingle: return 6;
    }
    return 0;
}

bool IsDockedVertically(bars::TBarCustomDockableWindow* Window) {
    bars::TBarDock* dock = Window ? Window->CurrentDock() : nullptr;
    return dock && (dock->Position() == bars::dpLeft || dock->Position() == bars::dpRight);
}

bool IsDockBackgroundValid(bars::TBarDock* Dock) { return Dock && Dock->Background() && Dock->Background()->InUse(); }

namespace {

int DockedBorderOf(bars::TBarCustomDockableWindow* Window) {
    if (auto* toolbar = dynamic_cast<TSkToolbar*>(Window)) return toolbar->DefaultToolbarBorderSize();
    if (auto* panel = dynamic_cast<TSkCustomToolWindow*>(Window)) return panel->DefaultToolbarBorderSize();
    return 2;
}

void CallDoDrawBackground(bars::TBarCustomDockableWindow* Window, TCanvas* ACanvas, const TRect& R,
                          TSkPaintStage Stage, bool& PaintDefault) {
    if (auto* toolbar = dynamic_cast<TSkToolbar*>(Window))
        toolbar->DoDrawBackground(ACanvas, R, Stage, PaintDefault);
    else if (auto* panel = dynamic_cast<TSkCustomToolWindow*>(Window))
        panel->DoDrawBackground(ACanvas, R, Stage, PaintDefault);
}

// The window rectangle less the docked border and the grip, in window coordinates.
TRect DockedClientPartOf(bars::TBarCustomDockableWindow* Window, int Border) {
    RECT wr;
    GetWindowRect(Window->WindowHandle(), &wr);
    TRect r(Border, Border, wr.right - wr.left - Border, wr.bottom - wr.top - Border);
    const int grip = GetDragHandleSize(Window);
    if (IsDockedVertically(Window))
        r.Top += grip;
    else
        r.Left += grip;
    return r;
}

// A docked bar's frame: its background under the border and the grip with the close button, the
// client part left alone. The window's own DC (clipped to the caller's region) without one given.
template <class TWindow>
void PaintDockedFrame(TWindow* Window, bool DrawToDC, HDC DC, HRGN Clip, int Border, bool Hover, bool Held) {
    const HWND wnd = Window->WindowHandle();
    HDC dc = DrawToDC ? DC : GetWindowDC(wnd);
    const int saved = SaveDC(dc);
    if (!DrawToDC) bars::SelectNCPaintClipRgn(wnd, dc, Clip);
    const TRect client = DockedClientPartOf(Window, Border);
    ExcludeClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
    RECT wr;
    GetWindowRect(wnd, &wr);
    const TRect r(0, 0, wr.right - wr.left, wr.bottom - wr.top);
    {
        TDCCanvas c(dc);
        Window->DrawBackground(&c.Canvas, r, true, true);
        DrawDragHandleAndCloseButton(Window, &c.Canvas, r, Hover, Held);
    }
    RestoreDC(dc, saved);
    if (!DrawToDC) ReleaseDC(wnd, dc);
}

// The client background, grown under the docked border and grip so that it meets the frame's.
template <class TWindow> void EraseDockedBackground(TWindow* Window, HDC DC, int Border) {
    TRect r = Window->ClientRect();
    if (Window->Docked()) {
        const int grip = GetDragHandleSize(Window);
        r = TRect(r.Left - Border, r.Top - Border, r.Right + Border, r.Bottom + Border);
        if (IsDockedVertically(Window))
            r.Top -= grip;
        else
            r.Left -= grip;
    }
    TDCCanvas c(DC);
    Window->DrawBackground(&c.Canvas, r, false, true);
}

// A floating bar's border: the skin's own size under a skin. The size is used as loaded; this is the
// one place a cap would go.
TPoint SkinnedFloatingBorderSize(TPoint Base) {
    if (SkinType() == sknSkin) {
        const int size = GetCurrentSkin()->FloatingWindowBorderSize();
        return TPoint(size, size);
    }
    return Base;
}

} // namespace

void DrawDockableWindowBackground(bars::TBarCustomDockableWindow* Window, TCanvas* ACanvas, const TRect& ARect,
                                  bool PaintOnNCArea, bool PaintBorders, TSkSkinComponentsType Component) {
    const bool docked = Window->Docked() && Window->CurrentDock();
    const bool floating = Window->Floating();
    bool drawBody = true;
    if (docked) {
        bars::TBarDock* dock = Window->CurrentDock();
        TRect r(0, 0, dock->ClientWidth(), dock->ClientHeight());
        r.Offset(-Window->Left(), -Window->Top());
        if (!PaintOnNCArea) {
            const int border = DockedBorderOf(Window);
            const int grip = GetDragHandleSize(Window);
            const bool vertical = IsDockedVertically(Window);
            r.Offset(-border - (vertical ? 0 : grip), -border - (vertical ? grip : 0));
        }
        if (auto* skinned = dynamic_cast<TSkDock*>(dock)) skinned->DrawBackground(ACanvas->Handle(), r);
        drawBody = !(dock->BackgroundOnToolbars() && IsDockBackgroundValid(dock));
    } else if (!floating) {
        ACanvas->Brush()->SetColor(Window->Parent() ? Window->Parent()->Color() : vcl::clBtnFace);
        ACanvas->FillRect(ARect);
    } else if (SkinType() != sknSkin) {
        ACanvas->Brush()->SetColor(Window->Color() == vcl::clNone ? vcl::clBtnFace : Window->Color());
        ACanvas->FillRect(ARect);
    }
    TSkSkinOptions* skin = GetCurrentSkin();
    if (skin->Options(Component)->Body()->IsEmpty()) Component = skncToolbar;
    if (auto* toolbar = dynamic_cast<TSkToolbar*>(Window); toolbar && toolbar->MenuBar()) Component = skncMenuBar;
    bool paintDefault = true;
    CallDoDrawBackground(Window, ACanvas, ARect, pstPrePaint, paintDefault);
    if (paintDefault) {
        if (Window->Color() == vcl::clNone)
            DrawToolbarBackground(ACanvas, ARect, docked, floating, IsDockedVertically(Window), drawBody, PaintBorders,
                                  Component);
        else {
            ACanvas->Brush()->SetColor(Window->Color());
            ACanvas->FillRect(ARect);
        }
    }
    paintDefault = true;
    CallDoDrawBackground(Window, ACanvas, ARect, pstPostPaint, paintDefault);
}

void DrawDragHandleAndCloseButton(bars::TBarCustomDockableWindow* Window, TCanvas* ACanvas, const TRect& R, bool Hover,
                                  bool Held) {
    const int size = GetDragHandleSize(Window);
    if (size < 1) return;
    const bool vertical = IsDockedVertically(Window);
    TRect grip = vertical ? TRect(R.Left + 2, R.Top, R.Right - 2, R.Top + size)
                          : TRect(R.Left, R.Top + 2, R.Left + size, R.Bottom - 2);
    const bool closeButton = Window->CloseButtonWhenDocked();
    if (Window->DragHandleStyle() == bars::dhNone && !closeButton) return;
    TRect close;
    if (closeButton) {
        if (vertical) {
            close = TRect(R.Right - size, R.Top + 2, R.Right - 2, R.Top + size);
            grip.Right -= size - 1;
        } else {
            close = TRect(R.Left + 2, R.Top + 2, R.Left + size, R.Top + size);
            grip.Top += size - 1;
        }
    }
    const bool drawGrip = Window->DragHandleStyle() != bars::dhNone;
    TColor glyph = vcl::clBtnText;
    const TSkSkinType type = SkinType();
    if (type == sknSkin) {
        TSkSkinOptions* skin = GetCurrentSkin();
        if (drawGrip) {
            TRect strip = grip;
            if (vertical) {
                strip.Left += 3;
                strip.Right -= 3;
                strip.Offset(0, 2);
                const int mid = (strip.Top + strip.Bottom) / 2;
                strip.Top = mid - 2;
                strip.Bottom = mid + 2;
            } else {
                strip.Top += 3;
                strip.Bottom -= 3;
                strip.Offset(2, 0);
                const int mid = (strip.Left + strip.Right) / 2;
                strip.Left = mid - 2;
                strip.Right = mid + 2;
            }
            TSkSkinOptionCategory* dots = skin->Options(skncToolbarGrip);
            DrawGripDots(ACanvas, strip, dots->Body()->Color1(), dots->Body()->Color2());
        }
        if (closeButton) {
            const TSkSkinStatesType state = Held ? sknsPushed : Hover ? sknsHotTrack : sknsNormal;
            skin->PaintBackground(ACanvas, close, skncToolbarItem, state, true, true);
            if (Held) close.Offset(1, 1);
            glyph = skin->GetTextColor(skncToolbarItem, state);
        }
    } else {
        // Classic edges; the themed skin types draw the same grip here.
        if (closeButton) close.Offset(-1, -1);
        if (drawGrip) {
            int start = 3;
            if (closeButton) start += Window->DragHandleStyle() == bars::dhDouble ? 1 : 3;
            for (int n = 0; n < (Window->DragHandleStyle() == bars::dhDouble ? 2 : 1); ++n) {
                const int at = start + 3 * n;
                RECT e = vertical ? RECT{grip.Left, grip.Top + at, grip.Right, grip.Top + at + 3}
                                  : RECT{grip.Left + at, grip.Top, grip.Left + at + 3, grip.Bottom};
                DrawEdge(ACanvas->Handle(), &e, BDR_RAISEDINNER, BF_RECT);
                SetPixel(ACanvas->Handle(), e.left, e.bottom - 1, vcl::ColorToRGB(vcl::clBtnHighlight));
            }
        }
        if (closeButton) {
            RECT e = close;
            if (Held)
                DrawEdge(ACanvas->Handle(), &e, BDR_SUNKENOUTER, BF_RECT);
            else if (Hover)
                DrawEdge(ACanvas->Handle(), &e, BDR_RAISEDINNER, BF_RECT);
            if (Held) close.Offset(1, 1);
        }
    }
    if (closeButton) {
        // Each glyph row as a 16-bit word, the used bits leftmost.
        uint8_t bits[16] = {};
        for (int i = 0; i < 7; ++i) {
            bits[2 * i] = CloseGlyph[i];
            bits[2 * i + 1] = 0;
        }
        DrawMonoPattern(ACanvas->Handle(), close, 7, 7, bits, glyph);
    }
}

// ---------------------------------------------------------------------------------------------------
// TSkDock

TSkDock::TSkDock(rtl::TComponent* AOwner) : bars::TBarDock(AOwner) {
    SetColor(vcl::clNone);
    GetSkinManager()->AddSkinNotification(this);
}

TSkDock::~TSkDock() { GetSkinManager()->RemoveSkinNotification(this); }

void TSkDock::DoDrawBackground(TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage, bool& PaintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, ACanvas, ARect, PaintStage, PaintDefault);
}

void TSkDock::DrawBackground(HDC DC, const TRect& DrawRect) {
    if (ComponentState().Contains(rtl::csDestroying)) return;
    TDCCanvas c(DC);
    bool paintDefault = true;
    DoDrawBackground(&c.Canvas, DrawRect, pstPrePaint, paintDefault);
    if (paintDefault) {
        if (IsDockBackgroundValid(this))
            bars::TBarDock::DrawBackground(DC, DrawRect);
        else if (Color() == vcl::clNone)
            DrawDockBackground(&c.Canvas, DrawRect, Vertical());
        else {
            c.Canvas.Brush()->SetColor(Color());
            c.Canvas.FillRect(DrawRect);
        }
    }
    paintDefault = true;
    DoDrawBackground(&c.Canvas, DrawRect, pstPostPaint, paintDefault);
}

bool TSkDock::CanResize(int& NewWidth, int& NewHeight) {
    FPrevWidth = Width();
    FPrevHeight = Height();
    return bars::TBarDock::CanResize(NewWidth, NewHeight);
}

void TSkDock::Resize() {
    bars::TBarDock::Resize();
    const bool shrank = Vertical() ? Height() < FPrevHeight : Width() < FPrevWidth;
    std::vector<bars::TBarCustomDockableWindow*> bars;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* bar = dynamic_cast<bars::TBarCustomDockableWindow*>(Controls(i))) bars.push_back(bar);
    if (shrank)
        for (auto* bar : bars)
            if (auto* toolbar = dynamic_cast<TSkToolbar*>(bar)) toolbar->Resize();
    if (HandleAllocated()) InvalidateRect(WindowHandle(), nullptr, TRUE);
    for (auto* bar : bars) {
        if (auto* toolbar = dynamic_cast<TSkToolbar*>(bar))
            toolbar->RepaintWithoutFlicker();
        else if (bar->HandleAllocated())
            RedrawWindow(bar->WindowHandle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
    }
}

void TSkDock::Dispatch(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOVE: {
        FMoving = true;
        bars::TBarDock::Dispatch(Message);
        FMoving = false;
        return;
    }
    case WM_SIZE: {
        FResizing = true;
        bars::TBarDock::Dispatch(Message);
        FResizing = false;
        return;
    }
    case WM_ERASEBKGND:
        // The base shifts the rectangle to the parent's origin, which only a background picture anchored
        // to the parent wants; the skin's own background is the dock's client area, wherever the dock is.
        if (!IsDockBackgroundValid(this)) {
            DrawBackground(reinterpret_cast<HDC>(Message.WParam), ClientRect());
            Message.Result = 1;
            return;
        }
        bars::TBarDock::Dispatch(Message);
        return;
    case WM_SKINCHANGED:
        Invalidate();
        return;
    default: bars::TBarDock::Dispatch(Message);
    }
}

// ---------------------------------------------------------------------------------------------------
// TSkToolbarView

TSkToolbarView::TSkToolbarView(rtl::TComponent* AOwner, bars::TBarView* AParentView, TBarCustomItem* AParentItem,
                               vcl::TWinControl* AWindow, bool AIsToolbar, bool ACustomizing, bool AUsePriorityList)
    : bars::TBarToolbarView(AOwner, AParentView, AParentItem, AWindow, AIsToolbar, ACustomizing, AUsePriorityList) {}

void TSkToolbarView::SetMaxSize(int Value) {
    if (FMaxSize == Value) return;
    FMaxSize = Value;
    UpdatePositions();
}

void TSkToolbarView::LayoutAndResize(TPoint& NewSize) {
    FTallestItemSize = 0;
    vcl::TWinControl* window = Window();
    if (window && window->HandleAllocated() && !window->ClientRect().IsEmpty() && ViewerCount() > 2 && !IsUpdating()) {
        vcl::TControlCanvas canvas;
        canvas.SetControl(window);
        canvas.Font()->Assign(GetFont());
        const bool vertical = Orientation() == bars::tbvoVertical;
        for (int i = 0; i < ViewerCount(); ++i) {
            TBarItemViewer* v = GetViewer(i);
            if (!v->Item()->Visible()) continue;
            int w = 0, h = 0;
            if (auto* skinned = dynamic_cast<TSkItemViewer*>(v))
                skinned->CalcItemViewerSize(&canvas, false, w, h);
            else
                v->MeasureSize(&canvas, w, h);
            FTallestItemSize = std::max(FTallestItemSize, vertical ? w : h);
        }
    }
    bars::TBarToolbarView::LayoutAndResize(NewSize);
}

void TSkToolbarView::BeginUpdate() {
    ++FUpdating;
    bars::TBarView::BeginUpdate();
}

void TSkToolbarView::EndUpdate() {
    --FUpdating;
    bars::TBarView::EndUpdate();
    if (FUpdating == 0)
        if (auto* toolbar = dynamic_cast<TSkToolbar*>(Owner())) {
            toolbar->RightAlignItems();
            toolbar->AnchorItems(true);
        }
}

// ---------------------------------------------------------------------------------------------------
// TSkToolbar

TSkToolbar::TSkToolbar(rtl::TComponent* AOwner) : bars::TBarCustomToolbar(AOwner) {
    // The base could not ask for the skinned chevron and view while it was being built.
    delete FView;
    FView = nullptr;
    delete FChevronItem;
    FChevronItem = ChevronItemClass(this);
    FChevronItem->SetLinkSubitems(FItem);
    FView = static_cast<bars::TBarToolbarView*>(ViewClass()(this, nullptr, FItem, this, true, false, !Designing(this)));
    FView->SetBackgroundColor(vcl::clBtnFace);

    FControlStyle.Exclude(vcl::csOpaque);
    SetColor(vcl::clNone);
    FItem->RegisterNotification(bars::TBarItemChangedProc(this, &TSkToolbar::ItemNotification));
    FAnchoredControlItems = std::make_unique<TSkItemCacheCollection>();
    GetSkinManager()->AddSkinNotification(this);
}

TSkToolbar::~TSkToolbar() {
    Destroying();
    GetSkinManager()->RemoveSkinNotification(this);
    FItem->UnregisterNotification(bars::TBarItemChangedProc(this, &TSkToolbar::ItemNotification));
    FAnchoredControlItems.reset();
}

bars::TBarChevronItem* TSkToolbar::ChevronItemClass(rtl::TComponent* AOwner) { return new TSkChevronItem(AOwner); }

bars::TBarViewClass TSkToolbar::ViewClass() {
    return [](rtl::TComponent* O, bars::TBarView* PV, TBarCustomItem* PI, vcl::TWinControl* W, bool T, bool C,
              bool P) -> bars::TBarView* { return new TSkToolbarView(O, PV, PI, W, T, C, P); };
}

bars::TBarFloatingWindowParentClass TSkToolbar::FloatingParentClass() {
    return bars::TBarFloatingWindowParentClass::Of<TSkFloatingWindowParent>();
}

void TSkToolbar::SetMenuBar(bool Value) {
    bars::TBarCustomToolbar::SetMenuBar(Value);
    FMenuBar = bars::TBarCustomToolbar::MenuBar();
    FCustomizable = !FMenuBar;
}

void TSkToolbar::SetCustomizable(bool Value) {
    if (FCustomizable == Value) return;
    FCustomizable = FMenuBar ? false : Value;
}

void TSkToolbar::SetDisplayMode(TSkToolbarDisplayMode Value) {
    if (FDisplayMode == Value) return;
    FDisplayMode = Value;
    bars::TBarItemOptions options = Options();
    if (Value == tbdmImageAboveCaption)
        options.Include(bars::tboImageAboveCaption).Include(bars::tboSameWidth);
    else
        options.Exclude(bars::tboImageAboveCaption).Exclude(bars::tboSameWidth);
    SetOptions(options);
    View()->UpdatePositions();
}

int TSkToolbar::MaxSize() const { return SkView() ? SkView()->MaxSize() : -1; }

void TSkToolbar::SetMaxSize(int Value) {
    if (SkView()) SkView()->SetMaxSize(Value);
}

void TSkToolbar::ReadPositionData(const bars::TBarReadPositionData& Data) {
    bars::TBarCustomToolbar::ReadPositionData(Data);
    if (Data.ReadIntProc)
        SetDisplayMode(TSkToolbarDisplayMode(
            std::clamp(Data.ReadIntProc(Name(), QStringLiteral("DisplayMode"), 0, Data.ExtraData), 0, 3)));
}

void TSkToolbar::WritePositionData(const bars::TBarWritePositionData& Data) {
    bars::TBarCustomToolbar::WritePositionData(Data);
    if (Data.WriteIntProc) Data.WriteIntProc(Name(), QStringLiteral("DisplayMode"), int(FDisplayMode), Data.ExtraData);
}

int TSkToolbar::GetRightAlignMargin() { return IsVertical() ? NonClientHeight() : NonClientWidth(); }

void TSkToolbar::RightAlignItems() {
    if (Destroying() || FState.Contains(tstRightAligning)) return;
    bars::TBarDock* dock = CurrentDock();
    if (!dock || FItem->Count() == 0 || !Stretch() || ShrinkMode() != bars::tbsmNone) return;
    if (dock->Width() < 1 || dock->Height() < 1 || !SkView() || SkView()->IsUpdating()) return;
    FState.Include(tstRightAligning);
    bars::TBarView* view = View();
    view->ValidatePositions();
    view->BeginUpdate();
    const bool vertical = IsVertical();
    int total = 0;
    TSkRightAlignSpacerItem* spacer = nullptr;
    int spacerLength = 0;
    for (int i = 0; i < view->ViewerCount(); ++i) {
        TBarItemViewer* v = view->GetViewer(i);
        if (!v->Item()->Visible()) continue;
        total += ViewerLength(v, vertical);
        if (!spacer)
            if (auto* s = dynamic_cast<TSkRightAlignSpacerItem*>(v->Item())) {
                spacer = s;
                spacerLength = ViewerLength(v, vertical);
            }
    }
    if (spacer) {
        const int dockLength = vertical ? dock->Height() : dock->Width();
        spacer->SetCustomWidth(std::max(0, dockLength + spacerLength - GetRightAlignMargin() - total));
    }
    view->UpdatePositions();
    view->EndUpdate();
    FState.Exclude(tstRightAligning);
}

void TSkToolbar::AnchorItems(bool UpdateControlItems) {
    if (Destroying() || FState.Contains(tstAnchoring)) return;
    bars::TBarDock* dock = CurrentDock();
    if (!dock || dock->Width() == 0 || dock->Height() == 0 || !Stretch() || ShrinkMode() != bars::tbsmNone) return;
    if (!SkView() || SkView()->IsUpdating()) return;
    FState.Include(tstAnchoring);
    bars::TBarView* view = View();
    view->BeginUpdate();
    view->ValidatePositions();
    const bool vertical = IsVertical();
    const int dockLength = vertical ? dock->Height() : dock->Width();
    int delta = 0;
    if (UpdateControlItems && FLastSelectableWidth > 0) {
        TBarItemViewer* last = LastSelectable(view);
        delta = last ? FLastSelectableWidth - FarEdge(last, vertical) : 0;
    }
    for (int i = 0; i < view->ViewerCount(); ++i) {
        TBarItemViewer* v = view->GetViewer(i);
        auto* skinned = dynamic_cast<TSkItemViewer*>(v);
        if (skinned && skinned->SkItem() && skinned->SkItem()->Anchored()) {
            if (skinned->FAnchorSize.X == 0 && skinned->FAnchorSize.Y == 0)
                skinned->FAnchorSize = TPoint(dock->Width(), dock->Height());
            int& coordinate = vertical ? skinned->FAnchorSize.Y : skinned->FAnchorSize.X;
            const int oldSize = coordinate;
            coordinate = oldSize - delta;
            skinned->FAnchorDelta = delta + dockLength - oldSize;
            continue;
        }
        auto* controlItem = dynamic_cast<bars::TBarControlItem*>(v->Item());
        vcl::TControl* control = controlItem ? controlItem->Control() : nullptr;
        const bool qualifies = control && Docked() &&
                               (control->Align() == vcl::alClient || control->Anchors().Contains(vcl::akRight));
        const int index = FAnchoredControlItems->IndexOf(controlItem);
        if (!qualifies) {
            if (index >= 0) FAnchoredControlItems->Delete(index);
            continue;
        }
        TSkItemCache* entry = index >= 0 ? FAnchoredControlItems->Items(index) : nullptr;
        if (!entry) {
            entry = FAnchoredControlItems->Items(FAnchoredControlItems->Add(controlItem));
            entry->SetWidth(control->Width());
            entry->SetHeight(control->Height());
            entry->SetParentWidth(dock->Width());
            entry->SetParentHeight(dock->Height());
            entry->SetDock(dock);
        }
        if (entry->Dock() == dock) {
            entry->SetWidth(entry->Width() + delta);
            control->SetWidth(dock->Width() + entry->Width() - entry->ParentWidth());
        }
    }
    view->UpdatePositions();
    view->EndUpdate();
    FState.Exclude(tstAnchoring);
    FLastSelectableWidth = FarEdge(LastSelectable(view), vertical);
}

void TSkToolbar::Resize() {
    FState.Include(tstResizing);
    RightAlignItems();
    AnchorItems(true);
    FState.Exclude(tstResizing);
    bars::TBarCustomToolbar::Resize();
}

void TSkToolbar::ItemNotification(TBarCustomItem* Sender, bool Relayed, bars::TBarItemChangedAction Action, int Index,
                                  TBarCustomItem* Item) {
    DoItemNotification(Sender, Relayed, Action, Index, Item);
}

void TSkToolbar::DoItemNotification(TBarCustomItem* Ancestor, bool Relayed, bars::TBarItemChangedAction Action,
                                    int Index, TBarCustomItem* Item) {
    if (Destroying() || ComponentState().Contains(rtl::csReading) || FState.Contains(tstResizing) || IsItemMoving())
        return;
    if (OnItemNotification) OnItemNotification(this, Ancestor, Relayed, Action, Index, Item);
    switch (Action) {
    case bars::tbicInserted:
        RightAlignItems();
        AnchorItems(true);
        break;
    case bars::tbicDeleting: {
        if (FAnchoredControlItems) {
            const int index = FAnchoredControlItems->IndexOf(Item);
            if (index >= 0) FAnchoredControlItems->Delete(index);
        }
        RightAlignItems();
        AnchorItems(true);
        break;
    }
    case bars::tbicInvalidateAndResize: RightAlignItems(); break;
    default: break;
    }
}

TColor TSkToolbar::GetItemsTextColor(TSkSkinStatesType State) {
    const bool menuBar = View() && View()->Style.Contains(bars::vsMenuBar);
    return GetCurrentSkin()->GetTextColor(menuBar ? skncMenuBarItem : skncToolbarItem, State);
}

void TSkToolbar::DoDrawBackground(TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage,
                                  bool& PaintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, ACanvas, ARect, PaintStage, PaintDefault);
}

void TSkToolbar::DrawBackground(TCanvas* ACanvas, const TRect& ARect, bool PaintOnNCArea, bool PaintBorders) {
    DrawDockableWindowBackground(this, ACanvas, ARect, PaintOnNCArea, PaintBorders && BorderStyle() == vcl::bsSingle,
                                 skncToolbar);
}

void TSkToolbar::PaintDockedNCArea(bool DrawToDC, HDC DC, HRGN Clip) {
    if (Destroying() || !Docked() || !CurrentDock() || !HandleAllocated()) return;
    PaintDockedFrame(this, DrawToDC, DC, Clip, FDefaultToolbarBorderSize, FCloseButtonHover, FCloseButtonDown);
}

TPoint TSkToolbar::GetFloatingBorderSize() {
    return SkinnedFloatingBorderSize(bars::TBarCustomToolbar::GetFloatingBorderSize());
}

void TSkToolbar::RepaintWithoutFlicker() {
    if (!HandleAllocated() || !View()) return;
    const HWND wnd = WindowHandle();
    std::vector<TRect> items;
    for (int i = 0; i < View()->ViewerCount(); ++i) {
        TBarItemViewer* v = View()->GetViewer(i);
        if (!v->Show() || v->BoundsRect().IsEmpty() || dynamic_cast<bars::TBarControlItem*>(v->Item())) continue;
        View()->Invalidate(v);
        items.push_back(v->BoundsRect());
    }
    UpdateWindow(wnd);
    RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
    for (const TRect& r : items) {
        RECT rr = r;
        ValidateRect(wnd, &rr);
    }
}

void TSkToolbar::Dispatch(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (Destroying()) break;
        EraseDockedBackground(this, reinterpret_cast<HDC>(Message.WParam), FDefaultToolbarBorderSize);
        Message.Result = 1;
        return;
    case WM_SIZE: {
        bars::TBarCustomToolbar::Dispatch(Message);
        if (auto* dock = dynamic_cast<TSkDock*>(CurrentDock()); dock && !dock->Resizing()) RepaintWithoutFlicker();
        return;
    }
    case WM_SKINCHANGED:
        if (HandleAllocated() && !Floating())
            RedrawWindow(WindowHandle(), nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
        return;
    case vcl::CM_TEXTCHANGED:
        bars::TBarCustomToolbar::Dispatch(Message);
        if (auto* frame = dynamic_cast<TSkFloatingWindowParent*>(FloatParent()); frame && Floating())
            frame->RedrawFloatingFrame();
        return;
    case vcl::CM_DIALOGCHAR:
        if (Enabled() && Visible())
            for (int i = 0; i < FItem->Count(); ++i)
                if (auto* item = dynamic_cast<TSkCustomItem*>(FItem->GetItem(i));
                    item && item->DialogChar(WORD(Message.WParam))) {
                    Message.Result = 1;
                    return;
                }
        break;
    case vcl::CM_MOUSELEAVE:
        bars::TBarCustomToolbar::Dispatch(Message);
        if (IsCustomizing() && FCustomizable && HandleAllocated() && !FLastDropMark.IsEmpty()) {
            RECT r = FLastDropMark;
            InvalidateRect(WindowHandle(), &r, TRUE);
        }
        return;
    default: break;
    }
    bars::TBarCustomToolbar::Dispatch(Message);
}

// ---- mouse ----

void TSkToolbar::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    if (Designing(this)) return;
    if (CanDragCustomize(Button, Shift, X, Y)) return;
    vcl::TWinControl* parent = Parent();
    const TPoint screen = ClientToScreen(TPoint(0, 0));
    TBarItemViewer* selected = View()->Selected();
    CanItemClick(selected ? selected->Item() : nullptr, Button, Shift, X, Y);
    bars::TBarCustomToolbar::MouseDown(Button, Shift, X, Y);
    if (Destroying() || parent != Parent() || !View()) return;
    if (ClientToScreen(TPoint(0, 0)) != screen) return;
    if (TBarItemViewer* v = View()->Selected()) DoItemClick(v->Item(), Button, Shift, X, Y);
}

bool TSkToolbar::CanItemClick(TBarCustomItem*, vcl::TMouseButton, vcl::TShiftState, int, int) { return true; }

void TSkToolbar::DoItemClick(TBarCustomItem* Item, vcl::TMouseButton Button, vcl::TShiftState, int, int) {
    if (Button == vcl::mbLeft && Item && Item->Enabled() && Item->ItemStyle().Contains(bars::tbisClicksTransparent) &&
        Item->OnClick)
        Item->OnClick(Item);
}

void TSkToolbar::MouseMove(vcl::TShiftState Shift, int X, int Y) {
    bars::TBarCustomToolbar::MouseMove(Shift, X, Y);
    if (Designing(this) || !View()) return;
    TBarItemViewer* v = View()->Selected();
    if (!v) return;
    if (!v->Item()->EffectiveOptions().Contains(bars::tboLongHintInMenuOnly)) SetHint(v->Item()->Hint());
    if (auto* skinned = dynamic_cast<TSkItemViewer*>(v)) skinned->InternalMouseMove(Shift, X, Y);
}

bool TSkToolbar::CanDragCustomize(vcl::TMouseButton, vcl::TShiftState, int X, int Y) {
    FBeginDragIV = nullptr;
    if (Designing(this) || !IsCustomizing()) return false;
    if (!FCustomizable) return true;
    TBarItemViewer* v = GetDropViewer(FItem, View(), TPoint(X, Y), false);
    if (!v || !v->Item() || v->Item() == FChevronItem) return true;
    FBeginDragIV = v;
    BeginDrag(true, -1);
    return true;
}

// ---- customizing drag and drop ----

void TSkToolbar::DoStartDrag(vcl::TDragObject*& DragObject) {
    if (!IsCustomizing() || !FCustomizable || !FBeginDragIV || !FBeginDragIV->Item()) return;
    DragObject = new TSkItemDragObject(this, FBeginDragIV->Item());
    bars::TBarCustomToolbar::DoStartDrag(DragObject);
}

void TSkToolbar::DragOver(rtl::TObject* Source, int X, int Y, vcl::TDragState State, bool& Accept) {
    bars::TBarCustomToolbar::DragOver(Source, X, Y, State, Accept);
    if (!IsCustomizing() || !FCustomizable) return;
    Accept = true;
    TBarItemViewer* viewer = nullptr;
    int index = -1;
    TRect mark;
    GetDropPosition(FItem, View(), TPoint(X, Y), viewer, index, mark);
    if (mark == FLastDropMark || !HandleAllocated()) return;
    RECT old = FLastDropMark;
    if (!FLastDropMark.IsEmpty()) InvalidateRect(WindowHandle(), &old, TRUE);
    if (!mark.IsEmpty()) {
        vcl::TControlCanvas canvas;
        canvas.SetControl(this);
        DrawDropMark(&canvas, mark);
    }
    FLastDropMark = mark;
}

void TSkToolbar::DragDrop(rtl::TObject* Source, int X, int Y) {
    if (auto* drag = dynamic_cast<TSkItemDragObject*>(Source)) {
        X = std::max(X, 0);
        Y = std::max(Y, 0);
        TBarItemViewer* viewer = nullptr;
        int index = -1;
        TRect mark;
        GetDropPosition(FItem, View(), TPoint(X, Y), viewer, index, mark);
        TBarCustomItem* item = drag->SourceItem();
        TBarCustomItem* oldParent = item ? item->Parent() : nullptr;
        const int oldIndex = oldParent ? oldParent->IndexOf(item) : -1;
        if (item && oldParent == FItem) {
            if (oldIndex < index) --index;
            if (oldIndex == index) {
                if (HandleAllocated() && !FLastDropMark.IsEmpty()) {
                    RECT r = FLastDropMark;
                    InvalidateRect(WindowHandle(), &r, TRUE);
                }
                return;
            }
        }
        if (viewer && index < 0) return;
        if (item) {
            if (oldParent) oldParent->Remove(item);
            try {
                if (viewer)
                    FItem->Insert(index, item);
                else
                    FItem->Add(item);
                if (auto* c = dynamic_cast<bars::TBarControlItem*>(item); c && c->Control() && c->Control()->Parent() != this)
                    c->Control()->SetParent(this);
                item->SetVisible(true);
                FLastDropMark = TRect();
            } catch (const std::exception&) {
                if (item->Parent()) item->Parent()->Remove(item);
                if (oldParent) oldParent->Insert(std::min(oldIndex, oldParent->Count()), item);
            }
        }
    }
    bars::TBarCustomToolbar::DragDrop(Source, X, Y);
}

TBarItemViewer* GetDropViewer(TBarCustomItem* Root, bars::TBarView* View, const TPoint& P, bool ResolveGroups) {
    if (!Root || !View) return nullptr;
    TBarItemViewer* v = View->ViewerFromPoint(P);
    if (!ResolveGroups || !v || v->Item() == View->ChevronItem() || v->Item()->Parent() == Root) return v;
    for (int i = View->IndexOf(v); i >= 0; --i)
        if (dynamic_cast<bars::TBarGroupItem*>(View->GetViewer(i)->Item())) return View->GetViewer(i);
    return nullptr;
}

void GetDropPosition(TBarCustomItem* Root, bars::TBarView* View, const TPoint& P, TBarItemViewer*& Viewer, int& Index,
                     TRect& Mark) {
    Index = -1;
    Mark = TRect();
    Viewer = GetDropViewer(Root, View, P, true);
    if (!Viewer) return;
    Index = Root->IndexOf(Viewer->Item());
    TRect r = Viewer->BoundsRect();
    if (dynamic_cast<bars::TBarGroupItem*>(Viewer->Item())) {
        r = TRect();
        for (int i = View->IndexOf(Viewer) + 1; i < View->ViewerCount(); ++i) {
            TBarItemViewer* v = View->GetViewer(i);
            if (v->Item()->Parent() == Root) break;
            if (!v->Show() || dynamic_cast<bars::TBarGroupItem*>(v->Item())) continue;
            const TRect& b = v->BoundsRect();
            r = r.IsEmpty() ? b
                            : TRect(std::min(r.Left, b.Left), std::min(r.Top, b.Top), std::max(r.Right, b.Right),
                                    std::max(r.Bottom, b.Bottom));
        }
    }
    const TPoint base = View->BaseSize();
    if (View->Orientation() == bars::tbvoVertical) {
        const bool after = r.Top + (r.Bottom - r.Top) / 2 < P.Y;
        if (after) ++Index;
        const int y = after ? r.Bottom : r.Top;
        Mark = TRect(0, y, base.X, y + 4);
    } else {
        const bool after = r.Left + (r.Right - r.Left) / 2 < P.X;
        if (after) ++Index;
        const int x = after ? r.Right : r.Left;
        Mark = TRect(x, 0, x + 4, base.Y);
    }
}

// ---- control items ----

void TSkToolbar::AddControlItem(int Index, vcl::TControl* Control) {
    TBarCustomItem* root = FItem;
    if (FCompoundToolbar) {
        if (auto* items = dynamic_cast<bars::IBarItems*>(Owner()))
            root = items->GetItems();
        else if (auto* compound = dynamic_cast<TSkCompoundItemsControl*>(Owner()))
            root = compound->GetRootItems();
        if (!root) root = FItem;
        if (Index > root->Count()) Index = 0;
    }
    if (!Control || FindControlItem(FItem, Control) || FindControlItem(root, Control)) return;
    // The item belongs to the form: the owner of the compound bar that owns this toolbar.
    rtl::TComponent* formOwner = Owner() ? Owner()->Owner() : nullptr;
    auto* item = new bars::TBarControlItem(formOwner);
    item->SetControl(Control);
    if (Designing(this) && formOwner)
        for (int n = 1;; ++n) {
            const String name = QStringLiteral("BarControlItem%1").arg(n);
            if (!formOwner->FindComponent(name)) {
                item->SetName(name);
                break;
            }
        }
    root->Insert(std::clamp(Index, 0, root->Count()), item);
}

void TSkToolbar::CMControlChange(vcl::TCMControlChange& Message) {
    const rtl::TComponentState state = ComponentState();
    if (FCompoundToolbar && Message.Inserting() && !state.Contains(rtl::csLoading) &&
        !state.Contains(rtl::csUpdating) && !state.Contains(rtl::csDestroying)) {
        bars::TBarCustomDockableWindow::CMControlChange(Message);
        AddControlItem(FItem->Count(), Message.Control());
        return;
    }
    bars::TBarCustomToolbar::CMControlChange(Message);
}

// ---------------------------------------------------------------------------------------------------
// TSkCustomToolWindow

TSkCustomToolWindow::TSkCustomToolWindow(rtl::TComponent* AOwner) : bars::TBarCustomDockableWindow(AOwner) {
    SetBounds(Left(), Top(), 32, 32);
    SetColor(vcl::clNone);
    GetSkinManager()->AddSkinNotification(this);
}

TSkCustomToolWindow::~TSkCustomToolWindow() { GetSkinManager()->RemoveSkinNotification(this); }

TPoint TSkCustomToolWindow::CalcSize(bars::TBarDock* ADock) {
    if (!ADock || !(FullSize() || Stretch())) return FBarSize;
    // Stretched along the dock: only the thickness is the window's own.
    if (ADock->Vertical()) return TPoint(FBarSize.X, FMinClientHeight);
    return TPoint(FMinClientWidth, FBarSize.Y);
}

TPoint TSkCustomToolWindow::ArrangeContents(bool, bars::TBarDockKind, bool NewFloating, bars::TBarDock* NewDock) {
    return CalcSize(NewFloating ? nullptr : NewDock);
}

void TSkCustomToolWindow::GetBaseSize(TPoint& ASize) { ASize = CalcSize(CurrentDock()); }

void TSkCustomToolWindow::GetSizeLimits(int& MinClientWidth, int& MinClientHeight, int& MaxClientWidth,
                                        int& MaxClientHeight) {
    MinClientWidth = FMinClientWidth;
    MinClientHeight = FMinClientHeight;
    MaxClientWidth = FMaxClientWidth;
    MaxClientHeight = FMaxClientHeight;
}

void TSkCustomToolWindow::BoundsSizeChanging(int AWidth, int AHeight) {
    FBarSize = TPoint(AWidth, AHeight);
    if (Parent()) {
        FBarSize.X += ClientWidth() - Width();
        FBarSize.Y += ClientHeight() - Height();
    }
}

void TSkCustomToolWindow::SetClientSize(int AWidth, int AHeight) {
    if (Parent())
        SetBounds(Left(), Top(), Width() + AWidth - ClientWidth(), Height() + AHeight - ClientHeight());
    else
        SetBounds(Left(), Top(), AWidth, AHeight);
}

TPoint TSkCustomToolWindow::GetFloatingBorderSize() {
    return SkinnedFloatingBorderSize(bars::TBarCustomDockableWindow::GetFloatingBorderSize());
}

void TSkCustomToolWindow::ReadPositionData(const bars::TBarReadPositionData& Data) {
    bars::TBarCustomDockableWindow::ReadPositionData(Data);
    if (!Resizable() || !Data.ReadIntProc) return;
    int w = Data.ReadIntProc(Name(), QStringLiteral("ClientWidth"), FBarSize.X, Data.ExtraData);
    int h = Data.ReadIntProc(Name(), QStringLiteral("ClientHeight"), FBarSize.Y, Data.ExtraData);
    // Saved sizes are outside input: keep them within the window's own limits.
    w = std::max(w, FMinClientWidth);
    h = std::max(h, FMinClientHeight);
    if (FMaxClientWidth > 0) w = std::min(w, FMaxClientWidth);
    if (FMaxClientHeight > 0) h = std::min(h, FMaxClientHeight);
    SetClientSize(w, h);
}

void TSkCustomToolWindow::WritePositionData(const bars::TBarWritePositionData& Data) {
    bars::TBarCustomDockableWindow::WritePositionData(Data);
    if (!Data.WriteIntProc) return;
    Data.WriteIntProc(Name(), QStringLiteral("ClientWidth"), Parent() ? ClientWidth() : Width(), Data.ExtraData);
    Data.WriteIntProc(Name(), QStringLiteral("ClientHeight"), Parent() ? ClientHeight() : Height(), Data.ExtraData);
}

bars::TBarFloatingWindowParentClass TSkCustomToolWindow::FloatingParentClass() {
    return bars::TBarFloatingWindowParentClass::Of<TSkFloatingWindowParent>();
}

void TSkCustomToolWindow::DrawBackground(TCanvas* ACanvas, const TRect& ARect, bool PaintOnNCArea,
                                         bool PaintBorders) {
    DrawDockableWindowBackground(this, ACanvas, ARect, PaintOnNCArea, PaintBorders && BorderStyle() == vcl::bsSingle,
                                 skncToolbar);
}

void TSkCustomToolWindow::DoDrawBackground(TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage,
                                           bool& PaintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, ACanvas, ARect, PaintStage, PaintDefault);
}

void TSkCustomToolWindow::InvalidateBackground(bool InvalidateChildren) {
    if (Destroying() || !HandleAllocated()) return;
    RedrawWindow(WindowHandle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | (InvalidateChildren ? RDW_ALLCHILDREN : 0));
}

void TSkCustomToolWindow::PaintDockedNCArea(bool DrawToDC, HDC DC, HRGN Clip) {
    if (Destroying() || !Docked() || !CurrentDock() || !HandleAllocated()) return;
    PaintDockedFrame(this, DrawToDC, DC, Clip, FDefaultToolbarBorderSize, FCloseButtonHover, FCloseButtonDown);
}

void TSkCustomToolWindow::Paint() {
    if (!Designing(this)) return;
    TCanvas* canvas = Canvas();
    canvas->Pen()->SetColor(vcl::clBtnShadow);
    canvas->Pen()->SetStyle(vcl::psDot);
    canvas->Brush()->SetStyle(vcl::bsClear);
    canvas->Rectangle(ClientRect());
}

void TSkCustomToolWindow::Dispatch(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (Destroying()) break;
        EraseDockedBackground(this, reinterpret_cast<HDC>(Message.WParam), FDefaultToolbarBorderSize);
        Message.Result = 1;
        return;
    case WM_SKINCHANGED:
        if (HandleAllocated() && !Floating())
            RedrawWindow(WindowHandle(), nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
        return;
    case vcl::CM_TEXTCHANGED:
        bars::TBarCustomDockableWindow::Dispatch(Message);
        if (auto* frame = dynamic_cast<TSkFloatingWindowParent*>(FloatParent()); frame && Floating())
            frame->RedrawFloatingFrame();
        return;
    case WM_WINDOWPOSCHANGED: {
        bars::TBarCustomDockableWindow::Dispatch(Message);
        InvalidateBackground(true);
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
        if (pos && !(pos->flags & SWP_NOSIZE)) {
            Realign();
            Update();
        }
        return;
    }
    default: break;
    }
    bars::TBarCustomDockableWindow::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------------
// TSkFloatingWindowParent

TSkFloatingWindowParent::TSkFloatingWindowParent(rtl::TComponent* AOwner) : bars::TBarFloatingWindowParent(AOwner) {
    GetSkinManager()->AddSkinNotification(this);
}

TSkFloatingWindowParent::~TSkFloatingWindowParent() { GetSkinManager()->RemoveSkinNotification(this); }

void TSkFloatingWindowParent::CreateWnd() {
    bars::TBarFloatingWindowParent::CreateWnd();
    UpdateFrameStyle();
}

void TSkFloatingWindowParent::UpdateFrameStyle() {
    if (!HandleAllocated()) return;
    const HWND wnd = WindowHandle();
    LONG style = GetWindowLongW(wnd, GWL_STYLE);
    const bool thick = DockableWindow() && DockableWindow()->Resizable() && SkinType() == sknWindows &&
                       IsDwmCompositionEnabled();
    style = thick ? (style | WS_THICKFRAME) : (style & ~LONG(WS_THICKFRAME));
    SetWindowLongW(wnd, GWL_STYLE, style);
    RecalcWindowFrame(this);
    if (DockableWindow()) DockableWindow()->RecalcArrangement();
    RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
    SetDwmNCRendering(this, SkinType() == sknWindows);
}

void TSkFloatingWindowParent::PaintNCArea(bool DrawToDC, HDC DC, HRGN Clip, bars::TBarFrameParts Parts) {
    if (!HandleAllocated() || !DockableWindow()) return;
    const HWND wnd = WindowHandle();
    HDC dc = DrawToDC ? DC : GetWindowDC(wnd);
    const int saved = SaveDC(dc);
    if (!DrawToDC) bars::SelectNCPaintClipRgn(wnd, dc, Clip);
    RECT wr;
    GetWindowRect(wnd, &wr);
    const TRect r(0, 0, wr.right - wr.left, wr.bottom - wr.top);
    IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    {
        TDCCanvas c(dc);
        TCanvas* canvas = &c.Canvas;
        canvas->Brush()->SetColor(Color());
        bars::TBarCustomDockableWindow* docked = DockableWindow();
        const TPoint border = docked->GetFloatingBorderSize();
        const bool active = !docked->InactiveCaption();
        const TSkSkinType type = SkinType();
        if (Parts.Contains(bars::tbfpBorder)) DrawWindowFrame(canvas, r, active, border, false);
        if (docked->ShowCaption()) {
            TRect caption = r;
            caption.Bottom = caption.Top + border.Y + GetSystemMetrics(SM_CYSMCAPTION);
            const auto shrink = [&] {
                caption.Left += border.X;
                caption.Right -= border.X;
                caption.Top += border.Y;
            };
            if (type == sknWindows || type == sknDelphiStyle) {
                if (Parts.Contains(bars::tbfpBorder)) DrawTitleBarBackground(canvas, caption, active, false);
                shrink();
            } else {
                shrink();
                DrawTitleBarBackground(canvas, caption, active, false);
            }
            if (Parts.Contains(bars::tbfpCaption)) {
                TRect text = caption;
                text.Left += 2;
                if (docked->CloseButton()) text.Right -= GetSystemMetrics(SM_CYSMCAPTION) + 2;
                canvas->Brush()->SetStyle(vcl::bsClear);
                canvas->Font()->Assign(SmallCaptionFont());
                canvas->Font()->SetColor(
                    GetCurrentSkin()->GetTextColor(skncWindowTitleBar, active ? sknsNormal : sknsDisabled));
                const String title = docked->Caption();
                RECT tr = text;
                DrawTextW(canvas->Handle(), reinterpret_cast<LPCWSTR>(title.utf16()), int(title.size()), &tr,
                          DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX);
                canvas->Brush()->SetStyle(vcl::bsSolid);
            }
            if (Parts.Contains(bars::tbfpCloseButton) && docked->CloseButton()) {
                const int s = caption.Height() - 5;
                TRect button(caption.Right - 2 - s, caption.Top + 2, caption.Right - 2, caption.Top + 2 + s);
                if (type == sknSkin) {
                    const TSkSkinStatesType state =
                        TSkSkinOptions::GetState(true, CloseButtonDown(), FCloseButtonHover, false);
                    GetCurrentSkin()->PaintBackground(canvas, button, skncToolbarItem, state, true, true);
                    TColor glyph = GetCurrentSkin()->GetTextColor(skncWindowTitleBar, state);
                    if (glyph == vcl::clNone) glyph = GetCurrentSkin()->GetTextColor(skncToolbarItem, state);
                    DrawTitleButtonGlyph(canvas, button, 0, glyph);
                } else {
                    RECT b = button;
                    DrawFrameControl(dc, &b, DFC_CAPTION, DFCS_CAPTIONCLOSE | (CloseButtonDown() ? DFCS_PUSHED : 0));
                }
            }
        }
    }
    RestoreDC(dc, saved);
    if (!DrawToDC) ReleaseDC(wnd, dc);
}

void TSkFloatingWindowParent::RedrawFloatingFrame() {
    if (HandleAllocated() && IsWindowVisible(WindowHandle()) && SkinType() != sknNone)
        PaintNCArea(false, nullptr, nullptr, bars::TBarFrameParts{bars::tbfpBorder, bars::tbfpCaption,
                                                                    bars::tbfpCloseButton});
}

void TSkFloatingWindowParent::CancelCloseButtonHover() {
    if (!FCloseButtonHover) return;
    FCloseButtonHover = false;
    RedrawFloatingFrame();
}

void TSkFloatingWindowParent::Dispatch(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCMOUSEMOVE: {
        bars::TBarFloatingWindowParent::Dispatch(Message);
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE | TME_NONCLIENT, WindowHandle(), 0};
        TrackMouseEvent(&tme);
        const bool hover = Message.WParam == WPARAM(bars::HT_TB2k_Close);
        if (hover != FCloseButtonHover) {
            FCloseButtonHover = hover;
            RedrawFloatingFrame();
        }
        return;
    }
    case WM_NCMOUSELEAVE:
        if (!GetCapture()) CancelCloseButtonHover();
        break;
    case vcl::CM_MOUSELEAVE: CancelCloseButtonHover(); break;
    case WM_CLOSE:
        if (FCloseOnAltF4 && DockableWindow()) {
            DockableWindow()->QueryCloseAndHide();
            return;
        }
        break;
    case WM_SKINCHANGED:
        UpdateFrameStyle();
        break;
    case WM_ERASEBKGND: Message.Result = 1; return;
    default: break;
    }
    bars::TBarFloatingWindowParent::Dispatch(Message);
}

} // namespace skins
