// toolbars/BarPopup.cpp: popup windows (creation, placement on the monitor, showing with sound and
// animation, frame, scroll arrows, printing), the popup menu component and the state image list.
#include "toolbars/BarPopup.h"

#include "rtl/Math.h"
#include "rtl/Filer.h"
#include "vcl/Forms.h"

namespace bars {

bool PopupSoundPlayedOnce = false;

namespace {

std::unique_ptr<vcl::TFont>& MenuFontHolder() {
    static std::unique_ptr<vcl::TFont> font;
    return font;
}

void ReadSystemMenuFont(vcl::TFont* Font) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = 504;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        Font->SetHandle(CreateFontIndirectW(&metrics.lfMenuFont));
}

TRect ToScreen(vcl::TWinControl* Window, TRect R) {
    if (Window && Window->HandleAllocated()) {
        POINT pts[2] = {{R.Left, R.Top}, {R.Right, R.Bottom}};
        MapWindowPoints(Window->Handle(), nullptr, pts, 2);
        R = TRect(pts[0].x, pts[0].y, pts[1].x, pts[1].y);
    }
    return R;
}

bool Overlaps(int X, int Y, int W, int H, const TRect& R) {
    return Y < R.Bottom && Y + H > R.Top && X < R.Right && X + W > R.Left;
}

// How many of the parent's shown viewers a popup at (X, Y) would hide completely.
int CountCoveredViewers(TBarView* ParentView, int X, int Y, int W, int H) {
    if (!ParentView) return 0;
    TRect candidate(X, Y, X + W, Y + H);
    if (vcl::TWinControl* window = ParentView->Window(); window && window->HandleAllocated()) {
        POINT origin{0, 0};
        ClientToScreen(window->Handle(), &origin);
        candidate.Offset(-origin.x, -origin.y);
    }
    int covered = 0;
    for (int i = 0; i < ParentView->ViewerCount(); ++i) {
        TBarItemViewer* v = ParentView->GetViewer(i);
        const TRect& b = v->BoundsRect();
        if (v->Show() && b.Left >= candidate.Left && b.Top >= candidate.Top && b.Right <= candidate.Right &&
            b.Bottom <= candidate.Bottom)
            ++covered;
    }
    return covered;
}

} // namespace

vcl::TFont* SharedMenuFont() {
    auto& font = MenuFontHolder();
    if (!font) {
        font = std::make_unique<vcl::TFont>();
        ReadSystemMenuFont(font.get());
    }
    return font.get();
}

void RefreshSharedMenuFont() { ReadSystemMenuFont(SharedMenuFont()); }

// ---------------------------------------------------------------------------------------------------
// The popup view

void TBarPopupView::FitWindowToContent(int W, int H) {
    // The 3-pixel frame on each side is not scaled.
    if (vcl::TWinControl* window = Window()) window->SetBounds(window->Left(), window->Top(), W + 6, H + 6);
}

vcl::TFont* TBarPopupView::GetFont() { return Window() ? Window()->Font() : nullptr; }

// ---------------------------------------------------------------------------------------------------
// The popup window

TBarPopupWindow::TBarPopupWindow(rtl::TComponent* AOwner, TBarView*, TBarCustomItem*, bool)
    : vcl::TCustomControl(AOwner) {
    SetVisible(false);
    SetBounds(0, 0, ScaleForDPI(320), ScaleForDPI(240));
    FControlStyle.Exclude(vcl::csCaptureMouse);
    SetShowHint(true);
    SetColor(vcl::clMenu);
    HWND owner = nullptr;
    if (vcl::Application) owner = vcl::Application->Handle();
    SetParentWindow(owner ? owner : GetDesktopWindow());
}

void TBarPopupWindowClass::FinishPopupWindow(TBarPopupWindow* Window, TBarView* AParentView, TBarCustomItem* AItem,
                                             bool ACustomizing) {
    try {
        Window->CreateView(AParentView, AItem, ACustomizing);
    } catch (...) {
        delete Window;
        throw;
    }
}

TBarViewClass TBarPopupWindow::ViewClass() {
    return [](rtl::TComponent* O, TBarView* PV, TBarCustomItem* PI, vcl::TWinControl* W, bool T, bool C,
              bool P) -> TBarView* { return new TBarPopupView(O, PV, PI, W, T, C, P); };
}

void TBarPopupWindow::CreateView(TBarView* AParentView, TBarCustomItem* AItem, bool ACustomizing) {
    FView = ViewClass()(this, AParentView, AItem, this, false, ACustomizing, false);
    FView->State.Include(vsModal);
    Font()->Assign(AParentView ? AParentView->GetFont() : SharedMenuFont());
    if (AParentView) {
        if (AParentView->Style.Contains(vsUseHiddenAccels)) FView->Style.Include(vsUseHiddenAccels);
        if (AParentView->State.Contains(vsShowAccels)) FView->State.Include(vsShowAccels);
    } else
        FView->Style.Include(vsUseHiddenAccels);
}

TBarPopupWindow::~TBarPopupWindow() {
    if (FView) FView->CloseChildPopups();
    if (HandleAllocated()) DestroyHandle();
    delete FView;
    FView = nullptr;
}

void TBarPopupWindow::CreateParams(vcl::TCreateParams& Params) {
    vcl::TCustomControl::CreateParams(Params);
    Params.Style = (Params.Style & 0xBFFCFFFF) | WS_POPUP;
    // Not activating is what the model's show calls ask already; the desktop must not activate it either.
    Params.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    Params.WindowClass.style |= CS_SAVEBITS;
    if (IsWindowsXPOrLater()) Params.WindowClass.style |= CS_DROPSHADOW;
}

void TBarPopupWindow::CreateWnd() {
    vcl::TCustomControl::CreateWnd();
    if (!FView || FView->ParentView() || FAccelsVisibilitySet) return;
    FAccelsVisibilitySet = true;
    SendMessageW(Handle(), WM_CHANGEUISTATE, UIS_INITIALIZE, 0);
    const LRESULT state = SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0);
    FView->SetAccelsVisibility((state & UISF_HIDEACCEL) == 0);
}

void TBarPopupWindow::DestroyWindowHandle() {
    EndPopupAnimationFor(Handle());
    if (FView) FView->StopAllTimers();
    NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPEND, Handle(), OBJID_CLIENT, CHILDID_SELF);
    vcl::TCustomControl::DestroyWindowHandle();
}

void TBarPopupWindow::Paint() {
    if (!FView) return;
    FView->DrawSubitems(Canvas());
    PaintScrollArrows();
}

void TBarPopupWindow::CMShowingChanged(vcl::TMessage& Message) {
    const bool showing = Message.WParam != 0;
    const HWND wnd = Handle();
    const bool animate = (!FView->ParentView() || !FView->ParentView()->State.Contains(vsNoAnimation)) && showing &&
                         !FView->Selected() && !IsWindowVisible(wnd) &&
                         GetSystemParamBool(SPI_GETMENUANIMATION, false);
    if (animate) {
        const bool fade = GetSystemParamBool(SPI_GETMENUFADE, false);
        if (fade || !FAnimationDirection.Empty()) {
            try {
                StartPopupAnimation(wnd, fade, FAnimationDirection);
                return;
            } catch (...) {
                // The animation has ended itself: the menu still opens, only plainly.
            }
        }
    }
    if (!showing) EndPopupAnimationFor(wnd);
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (showing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TBarPopupWindow::Dispatch(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETOBJECT:
        if (FView && FView->HandleWMGetObject(Message)) return;
        break;
    case WM_ERASEBKGND:
    case WM_PAINT:
        EndPopupAnimationFor(Handle());
        break;
    case WM_CLOSE:
        return;  // a popup cannot be closed by a close request
    case WM_NCCALCSIZE: {
        RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                                 : reinterpret_cast<RECT*>(Message.LParam);
        InflateRect(r, -3, -3);
        break;
    }
    case WM_NCPAINT: {
        HDC dc = GetWindowDC(Handle());
        try {
            SelectNCPaintClipRgn(Handle(), dc, reinterpret_cast<HRGN>(Message.WParam));
            PaintNCFrame(dc);
        } catch (...) {
            ReleaseDC(Handle(), dc);
            throw;
        }
        ReleaseDC(Handle(), dc);
        Message.Result = 0;
        return;
    }
    case WM_PRINT:
        HandlePrintRequest(Handle(), Message, &TBarPopupWindow::NCPaintProc, reinterpret_cast<LPARAM>(this));
        return;
    case WM_PRINTCLIENT:
        HandlePrintClientRequest(vcl::TWndMethod([this](vcl::TMessage& M) { Dispatch(M); }), Message);
        return;
    case vcl::CM_HINTSHOW:
        if (FView) FView->HandleHintShowMessage(vcl::MessageAs<vcl::TCMHintShow>(Message));
        return;
    default:
        break;
    }
    vcl::TCustomControl::Dispatch(Message);
}

void TBarPopupWindow::NCPaintProc(HWND, HDC DC, LPARAM AppData) {
    reinterpret_cast<TBarPopupWindow*>(AppData)->PaintNCFrame(DC);
}

void TBarPopupWindow::PaintNCFrame(HDC DC) {
    RECT r{0, 0, Width(), Height()};
    if (IsFlatMenuStyleOn()) {
        FrameRect(DC, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        HBRUSH brush = CreateSolidBrush(COLORREF(vcl::ColorToRGB(Color())));
        // Each inner frame one pixel further in, so the three fill the unscaled 3-pixel frame.
        for (int i = 0; i < 2; ++i) {
            InflateRect(&r, -1, -1);
            FrameRect(DC, &r, brush);
        }
        DeleteObject(brush);
    } else {
        DrawEdge(DC, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        FrameRect(DC, &r, GetSysColorBrush(COLOR_BTNFACE));
    }
}

void TBarPopupWindow::PaintScrollArrows() {
    if (!FView) return;
    const int a = PopupScrollArrowHeight();
    const int w = ClientWidth(), h = ClientHeight();
    vcl::TCanvas* canvas = Canvas();
    auto arrow = [&](const TRect& strip, bool up) {
        const int cx = (strip.Left + strip.Right) / 2;
        const int cy = (strip.Top + strip.Bottom) / 2 - ScaleForDPI(1);
        const int d = ScaleForDPI(3);
        canvas->Pen()->SetColor(vcl::clMenuText);
        canvas->Brush()->SetColor(vcl::clMenuText);
        if (up)
            canvas->Polygon({TPoint(cx - d, cy + d), TPoint(cx + d, cy + d), TPoint(cx, cy)});
        else
            canvas->Polygon({TPoint(cx - d, cy), TPoint(cx + d, cy), TPoint(cx, cy + d)});
    };
    if (FView->ShowUpArrow()) arrow(TRect(0, 0, w, a), true);
    if (FView->ShowDownArrow()) arrow(TRect(0, h - a, w, h), false);
}

// ---------------------------------------------------------------------------------------------------
// Opening a popup

TBarPopupWindow* TBarCustomItem::CreatePopup(TBarView* ParentView, TBarItemViewer* ParentViewer,
                                             bool PositionAsSubmenu, bool SelectFirstItem, bool Customizing,
                                             const TPoint& APopupPoint, TBarPopupAlignment Alignment) {
    TBarCustomItem* linked = LinkedItem(this);
    if (linked != this) linked->DoPopup(this, true);
    DoPopup(this, false);
    // A chevron shows the hidden part of its toolbar: the toolbar's own level.
    TBarView* chevronParent = GetChevronParentView();
    TBarCustomItem* shown = chevronParent ? chevronParent->ParentItem() : this;
    bool opposite = ParentView && ParentView->State.Contains(vsOppositePopup);
    TBarPopupWindow* window = GetPopupWindowClass().Create(nullptr, ParentView, shown, Customizing);
    try {
        TBarView* view = window->View();
        if (chevronParent) {
            view->SetChevronParentView(chevronParent);
            view->FIsToolbar = true;
            if (chevronParent->Style.Contains(vsAlwaysShowHints)) view->Style.Include(vsAlwaysShowHints);
            window->SetColor(vcl::clBtnFace);
        }

        // The anchor R and the whole monitor M (popups may cover the task bar).
        TRect R, M;
        if (ParentView) {
            ParentView->ValidatePositions();
            if (ParentViewer) R = ToScreen(ParentView->Window(), ParentViewer->BoundsRect());
            M = !ParentView->FMonitorRect.IsEmpty() ? ParentView->FMonitorRect : MonitorRectForRect(R, false);
        } else {
            R = TRect(APopupPoint.X, APopupPoint.Y, APopupPoint.X, APopupPoint.Y);
            M = MonitorRectForPoint(APopupPoint, false);
        }
        view->FMonitorRect = M;
        if (chevronParent)
            view->FWrapOffset = M.Width() - 6;
        else
            view->FMaxHeight = M.Height() - 6;
        if (SelectFirstItem) view->SetSelected(view->FirstSelectable());
        view->UpdatePositions();
        const int W = window->Width(), H = window->Height();
        const bool parentVertical = ParentView && ParentView->Orientation() == tbvoVertical;

        int X, Y;
        if (PositionAsSubmenu) {
            X = R.Right - 3;
            Y = R.Top - 3;
        } else if (chevronParent && chevronParent->Orientation() == tbvoVertical) {
            X = R.Left - W;
            Y = R.Top;
        } else if (chevronParent) {
            X = R.Right - W;
            Y = R.Bottom;
        } else if (parentVertical) {
            X = R.Left - W;
            Y = R.Top;
        } else if (ParentView) {
            X = GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0 ? R.Right - W : R.Left;
            Y = R.Bottom;
        } else {
            X = APopupPoint.X;
            if (Alignment == tbpaRight)
                X -= W;
            else if (Alignment == tbpaCenter)
                X -= W / 2;
            Y = APopupPoint.Y;
        }

        // Vertical fit: above the item (or point) when there is no room below.
        if (Y + H > M.Bottom && !parentVertical) {
            const int above = PositionAsSubmenu ? R.Bottom + 3 - H : R.Top - H;
            if (above >= M.Top) Y = above;
        }
        if (Y + H > M.Bottom) Y = M.Bottom - H;
        if (Y < M.Top) Y = M.Top;

        if (PositionAsSubmenu) {
            // To the right, overlapping the item by 3 pixels; to the left when there is no room or the
            // parent opened to the left, until the left side has no room either.
            for (;;) {
                int x = X;
                if (opposite || x + W > M.Right) {
                    x = ParentView ? R.Left + 3 - W : X - W;
                    if (opposite && x < M.Left) {
                        opposite = false;
                        continue;
                    }
                    view->State.Include(vsOppositePopup);
                }
                X = std::max(x, M.Left);
                break;
            }
        } else {
            if (!ParentView && Alignment == tbpaRight && X < M.Left) X += W;
            if (X + W > M.Right) {
                if (ParentView || Alignment != tbpaLeft)
                    X = M.Right - W;
                else
                    X -= W;
            }
            if (X < M.Left) X = M.Left;
            if (!parentVertical) {
                const int above = R.Top - H;
                if (above >= M.Top && (CountCoveredViewers(ParentView, X, above, W, H) <
                                           CountCoveredViewers(ParentView, X, Y, W, H) ||
                                       Overlaps(X, Y, W, H, R)))
                    Y = above;
                if (Overlaps(X, Y, W, H, R)) X = R.Right + W <= M.Right ? R.Right : R.Left - W;
                X = std::max(X, M.Left);
            } else {
                const int right = R.Right;
                if (right + W <= M.Right && (CountCoveredViewers(ParentView, right, Y, W, H) <
                                                 CountCoveredViewers(ParentView, X, Y, W, H) ||
                                             Overlaps(X, Y, W, H, R)))
                    X = right;
                if (Overlaps(X, Y, W, H, R)) Y = R.Bottom + H <= M.Bottom ? R.Bottom : R.Top - H;
                Y = std::max(Y, M.Top);
            }
        }

        TBarAnimationDirection direction;
        if (PositionAsSubmenu)
            direction.Include(X + W / 2 >= R.Left + (R.Right - R.Left) / 2 ? tbadRight : tbadLeft);
        else {
            if (Y >= R.Bottom)
                direction.Include(tbadDown);
            else if (Y + H <= R.Top)
                direction.Include(tbadUp);
            if (X >= R.Right)
                direction.Include(tbadRight);
            else if (X + W <= R.Left)
                direction.Include(tbadLeft);
        }
        window->SetAnimationDirection(direction);
        window->SetBounds(X, Y, W, H);

        if (ParentView) {
            window->FreeNotification(ParentView);
            ParentView->FOpenViewerWindow = window;
            ParentView->FOpenViewerView = view;
            ParentView->FOpenViewer = ParentViewer;
            if (ParentView->FIsToolbar) {
                // The item shows pressed before the popup becomes visible.
                ParentView->State.Include(vsDropDownMenus);
                if (ParentViewer) ParentView->Invalidate(ParentViewer);
                if (ParentView->Window() && ParentView->Window()->HandleAllocated()) ParentView->Window()->Update();
            }
        }
        view->State.Include(vsDrawInOrder);

        const String sound = QStringLiteral("MenuPopup");
        if (IsMenuSoundConfigured(sound)) {
            if (!PopupSoundPlayedOnce) {
                PopupSoundPlayedOnce = true;
                window->SetVisible(true);
                window->Update();
                PlayMenuSound(sound);
            } else {
                PlayMenuSound(sound);
                window->SetVisible(true);
            }
        } else
            window->SetVisible(true);
        NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, window->Handle(), OBJID_CLIENT, CHILDID_SELF);
        if (view->Selected()) view->NotifyFocusEvent();
    } catch (...) {
        delete window;
        throw;
    }
    return window;
}

// ---------------------------------------------------------------------------------------------------
// The popup menu component

TBarPopupMenu::TBarPopupMenu(rtl::TComponent* AOwner) : vcl::TPopupMenu(AOwner) {
    FItem = RootItemClass(this);
    FItem->SetParentComponentOfRoot(this);
    FItem->OnPopup = TBarPopupEvent(this, &TBarPopupMenu::RootItemPopup);
}

TBarPopupMenu::~TBarPopupMenu() {
    delete FItem;
    FItem = nullptr;
}

TBarRootItem* TBarPopupMenu::RootItemClass(rtl::TComponent* AOwner) { return new TBarRootItem(AOwner); }

void TBarPopupMenu::RootItemPopup(TBarCustomItem* Sender, bool) {
    DoPopup(Sender == FItem ? static_cast<rtl::TObject*>(this) : Sender);
}

void TBarPopupMenu::Popup(int X, int Y) { PopupEx(X, Y, false); }

TBarCustomItem* TBarPopupMenu::PopupEx(int X, int Y, bool ReturnClickedItemOnly) {
    SetPopupPoint(TPoint(X, Y));
    static const TBarPopupAlignment alignments[] = {tbpaLeft, tbpaRight, tbpaCenter};
    return FItem->Popup(X, Y, TrackButton() == vcl::tbRightButton, alignments[Alignment()], ReturnClickedItemOnly);
}

bool TBarPopupMenu::IsShortCut(vcl::TWMKey& Message) { return FItem->IsShortCut(Message); }

void TBarPopupMenu::GetChildren(const rtl::TGetChildProc& Proc, rtl::TComponent* Root) {
    FItem->GetChildren(Proc, Root);
}

void TBarPopupMenu::SetChildOrder(rtl::TComponent* Child, int Order) { FItem->SetChildOrder(Child, Order); }

// ---------------------------------------------------------------------------------------------------
// The image list with state images

TBarCustomImageList::TBarCustomImageList(rtl::TComponent* AOwner) : vcl::TImageList(AOwner) { Init(); }

TBarCustomImageList::TBarCustomImageList(rtl::TComponent* AOwner, int AWidth, int AHeight)
    : vcl::TImageList(AOwner, AWidth, AHeight) {
    Init();
}

void TBarCustomImageList::Init() {
    for (auto* link : {&FCheckedImagesChangeLink, &FDisabledImagesChangeLink, &FHotImagesChangeLink}) {
        *link = std::make_unique<vcl::TChangeLink>();
        (*link)->OnChange = rtl::TNotifyEvent(this, &TBarCustomImageList::LinkedListChanged);
    }
    FImagesBitmap = std::make_unique<vcl::TBitmap>();
    FImagesBitmap->OnChange = rtl::TNotifyEvent(this, &TBarCustomImageList::ImagesBitmapChanged);
}

TBarCustomImageList::~TBarCustomImageList() {
    FComponentState.Include(rtl::csDestroying);
    SetCheckedImages(nullptr);
    SetDisabledImages(nullptr);
    SetHotImages(nullptr);
}

void TBarCustomImageList::DrawState(vcl::TCanvas* Canvas, int X, int Y, int Index, bool Enabled, bool Selected,
                                    bool Checked) {
    if (!Enabled && FDisabledImages)
        FDisabledImages->Draw(Canvas, X, Y, Index, true);
    else if (Checked && FCheckedImages)
        FCheckedImages->Draw(Canvas, X, Y, Index, Enabled);
    else if (Selected && FHotImages)
        FHotImages->Draw(Canvas, X, Y, Index, Enabled);
    else
        Draw(Canvas, X, Y, Index, Enabled);
}

void TBarCustomImageList::SetStateList(vcl::TCustomImageList*& Field, vcl::TChangeLink* Link,
                                       vcl::TCustomImageList* Value) {
    if (Value == this) Value = nullptr;
    if (Field == Value) return;
    if (Field) {
        Field->UnRegisterChanges(Link);
        RemoveFreeNotification(Field);
    }
    Field = Value;
    if (Value) {
        Value->RegisterChanges(Link);
        Value->FreeNotification(this);
    }
    if (!ComponentState().Contains(rtl::csLoading) && !ComponentState().Contains(rtl::csDestroying)) Change();
}

void TBarCustomImageList::SetCheckedImages(vcl::TCustomImageList* Value) {
    SetStateList(FCheckedImages, FCheckedImagesChangeLink.get(), Value);
}
void TBarCustomImageList::SetDisabledImages(vcl::TCustomImageList* Value) {
    SetStateList(FDisabledImages, FDisabledImagesChangeLink.get(), Value);
}
void TBarCustomImageList::SetHotImages(vcl::TCustomImageList* Value) {
    SetStateList(FHotImages, FHotImagesChangeLink.get(), Value);
}

void TBarCustomImageList::SetImagesBitmap(vcl::TBitmap* Value) { FImagesBitmap->Assign(Value); }

void TBarCustomImageList::SetImagesBitmapMaskColor(vcl::TColor Value) {
    if (FImagesBitmapMaskColor == Value) return;
    FImagesBitmapMaskColor = Value;
    ImagesBitmapChanged(nullptr);
}

void TBarCustomImageList::ImagesBitmapChanged(rtl::TObject*) {
    if (FImagesBitmap->Empty()) return;
    Clear();
    AddMasked(FImagesBitmap.get(), FImagesBitmapMaskColor);
}

void TBarCustomImageList::LinkedListChanged(rtl::TObject*) { Change(); }

void TBarCustomImageList::DefineProperties(rtl::TFiler* Filer) {
    // A strip bitmap replaces the list's own images in the stream.
    if (!dynamic_cast<rtl::TReader*>(Filer) && !FImagesBitmap->Empty()) {
        rtl::TComponent::DefineProperties(Filer);
        return;
    }
    vcl::TImageList::DefineProperties(Filer);
}

void TBarCustomImageList::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    vcl::TImageList::Notification(AComponent, Operation);
    if (Operation != rtl::opRemove) return;
    if (AComponent == FCheckedImages) FCheckedImages = nullptr;
    if (AComponent == FDisabledImages) FDisabledImages = nullptr;
    if (AComponent == FHotImages) FHotImages = nullptr;
}

std::vector<TBarPopupWindow*> PopupWindows() {
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    std::vector<TBarPopupWindow*> popups;
    for (HWND h : windows)
        if (auto* w = dynamic_cast<TBarPopupWindow*>(vcl::FindControl(h))) popups.push_back(w);
    return popups;
}

} // namespace bars
