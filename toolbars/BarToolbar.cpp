// toolbars/BarToolbar.cpp: the toolbar and the menu bar: construction, hosted controls, mouse and
// keyboard, the application-wide shortcut hook, placement facts for the view's layout, floating
// sizes, and the chevron.
#include "toolbars/BarToolbar.h"

#include "toolbars/BarModal.h"

#include <algorithm>

namespace bars {

const uint8_t ChevronGlyph[2][8] = {
    {0xCC, 0x66, 0x33, 0x66, 0xCC, 0x00, 0x00, 0x00},
    {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20},
};

namespace {

bool Designing(const rtl::TComponent* C) { return C->ComponentState().Contains(rtl::csDesigning); }

TBarViewOrientation OrientationFor(TBarDockKind Kind) {
    switch (Kind) {
    case dkFloating: return tbvoFloating;
    case dkLeftRight: return tbvoVertical;
    default: return tbvoHorizontal;
    }
}

std::unique_ptr<std::vector<TBarCustomToolbar*>>& ShortCutList() {
    static std::unique_ptr<std::vector<TBarCustomToolbar*>> list;
    return list;
}

// The form of the active window; a floating frame stands for the form it floats over.
vcl::TCustomForm* ActiveWindowForm() {
    vcl::TWinControl* control = vcl::FindControl(GetActiveWindow());
    if (auto* frame = dynamic_cast<TBarFloatingWindowParent*>(control)) return frame->ParentForm();
    return dynamic_cast<vcl::TCustomForm*>(control);
}

bool MainWindowHook(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case vcl::CM_APPKEYDOWN: {
        if (!ShortCutList()) return false;
        vcl::TCustomForm* mainForm = vcl::Application ? vcl::Application->MainForm() : nullptr;
        vcl::TCustomForm* form = ActiveWindowForm();
        vcl::TMessage key = Message;
        key.Msg = WM_KEYDOWN;
        auto& keyMessage = vcl::MessageAs<vcl::TWMKey>(key);
        // The class library here has no MDI children, so the frame's active child is never asked.
        if ((form && ProcessToolbarShortCuts(form, keyMessage)) ||
            (mainForm && form != mainForm && ProcessToolbarShortCuts(mainForm, keyMessage))) {
            Message.Result = 1;
            return true;
        }
        return false;
    }
    case vcl::CM_APPSYSCOMMAND: {
        vcl::TCustomForm* form = ActiveWindowForm();
        if (form && form->HandleAllocated() && IsWindowEnabled(form->WindowHandle()) &&
            IsWindowVisible(form->WindowHandle()) && FindMenuBarFor(form, Message.WParam, Message.LParam)) {
            Message.Result = 1;
            return true;
        }
        return false;
    }
    default: return false;
    }
}

// The main form's MDI client window: this class library has none, so Alt+letter in a child window
// already reaches the main form through its own system command.
HWND MDIClientWindow(vcl::TCustomForm*) { return nullptr; }

void MDISysCharHook(THookProcCode, HWND, WPARAM, LPARAM LParam) {
    auto* msg = reinterpret_cast<MSG*>(LParam);
    if (!msg || msg->message != WM_SYSCHAR || !msg->hwnd || GetCapture()) return;
    vcl::TCustomForm* mainForm = vcl::Application ? vcl::Application->MainForm() : nullptr;
    if (!mainForm || !mainForm->HandleAllocated()) return;
    const HWND client = MDIClientWindow(mainForm);
    if (!client) return;
    if (msg->hwnd == client || (msg->wParam == u'-' && IsChild(client, msg->hwnd)))
        msg->hwnd = mainForm->WindowHandle();
}

struct TCounterGuard {
    int& Counter;
    explicit TCounterGuard(int& C) : Counter(C) { ++Counter; }
    ~TCounterGuard() { --Counter; }
};

} // namespace

// ---- the view ----

TBarToolbarView::TBarToolbarView(rtl::TComponent* AOwner, TBarView* AParentView, TBarCustomItem* AParentItem,
                                 vcl::TWinControl* AWindow, bool AIsToolbar, bool ACustomizing, bool AUsePriorityList)
    : TBarView(AOwner, AParentView, AParentItem, AWindow, AIsToolbar, ACustomizing, AUsePriorityList),
      FToolbar(dynamic_cast<TBarCustomToolbar*>(AOwner)) {
    RecreateAllViewers();  // the base constructor could not see the chevron yet
}

void TBarToolbarView::FitWindowToContent(int W, int H) {
    if (!FToolbar) return;
    FToolbar->FBaseSize = FBaseSize;
    if (FToolbar->SizesItself()) FToolbar->ApplyArrangedSize(TPoint(W, H));
}

void TBarToolbarView::LayoutAndResize(TPoint& NewSize) {
    if (!FToolbar) {
        TBarView::LayoutAndResize(NewSize);
        return;
    }
    FToolbar->FCurrentSize = 0;
    TPoint base = FToolbar->GetRowCrossSize();
    if (FToolbar->FullSize()) {
        if (FOrientation == tbvoVertical)
            base.Y = std::max(base.Y, FWrapOffset);
        else
            base.X = std::max(base.X, FWrapOffset);
    }
    FBaseSize = base;
    TCounterGuard guard(FToolbar->FDisableAlignArrange);
    TBarView::LayoutAndResize(NewSize);
}

void TBarToolbarView::InvalidatePositions() {
    if (FToolbar) FToolbar->FCurrentSize = 0;
    TBarView::InvalidatePositions();
}

vcl::TFont* TBarToolbarView::GetFont() {
    if (!FToolbar || FToolbar->SystemFont()) return TBarView::GetFont();
    return FToolbar->Font();
}

TBarCustomItem* TBarToolbarView::ChevronItem() { return FToolbar ? FToolbar->FChevronItem : nullptr; }
TBarCustomItem* TBarToolbarView::MDIButtonsItem() { return FToolbar ? FToolbar->FMDIButtonsItem : nullptr; }
TBarCustomItem* TBarToolbarView::MDISystemMenuItem() { return FToolbar ? FToolbar->FMDISystemMenuItem : nullptr; }

// ---- the chevron ----

TBarChevronItem::TBarChevronItem(rtl::TComponent* AOwner)
    : TBarCustomItem(AOwner), FToolbar(dynamic_cast<TBarCustomToolbar*>(AOwner)) {
    FItemStyle.Include(tbisSubmenu).Include(tbisNoAutoOpen);
    const String hint = String::fromUtf16(STBarChevronHint);
    SetHint(hint);
    SetCaption(EscapeAmpersands(hint.section(u'|', 0, 0)));
}

TBarView* TBarChevronItem::GetChevronParentView() { return FToolbar ? FToolbar->View() : nullptr; }

TBarItemViewerClass TBarChevronItem::GetItemViewerClass(TBarView*) {
    return TBarItemViewerClass::Of<TBarChevronItemViewer>();
}

void TBarChevronItemViewer::Paint(vcl::TCanvas* Canvas, const TRect& ClientAreaRect, bool IsSelected, bool IsPushed,
                                  bool) {
    const HDC dc = Canvas->Handle();
    RECT r{ClientAreaRect.Left, ClientAreaRect.Top, ClientAreaRect.Right, ClientAreaRect.Bottom};
    const bool enabled = Item()->Enabled();
    if (enabled) {
        if (IsPushed)
            DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        else if (IsSelected && !Designing(Item()))
            DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    }
    const bool vertical = View()->Orientation() == tbvoVertical;
    TRect g = vertical ? TRect(r.right - 9, r.top + 2, r.right - 4, r.top + 10) : TRect(r.left + 2, 4, r.left + 10, 9);
    if (IsPushed) g.Offset(1, 1);
    WORD rows[8];  // monochrome rows are word-aligned
    for (int i = 0; i < 8; ++i) rows[i] = ChevronGlyph[vertical ? 1 : 0][i];
    const HBITMAP bitmap = CreateMonoBitmap(8, 8, rows);
    const HDC bitmapDC = CreateCompatibleDC(dc);
    const HGDIOBJ oldBitmap = SelectObject(bitmapDC, bitmap);
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    auto blit = [&](int sysColor, int dy) {
        const HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(sysColor));
        BitBlt(dc, g.Left, g.Top + dy, g.Width(), g.Height(), bitmapDC, 0, 0, 0x00E20746);  // DSPDxax
        SelectObject(dc, oldBrush);
    };
    if (enabled)
        blit(COLOR_BTNTEXT, 0);
    else {
        blit(COLOR_BTNHIGHLIGHT, 1);
        blit(COLOR_BTNSHADOW, 0);
    }
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
    SelectObject(bitmapDC, oldBitmap);
    DeleteDC(bitmapDC);
    DeleteObject(bitmap);
}

// ---- construction ----

TBarCustomToolbar::TBarCustomToolbar(rtl::TComponent* AOwner) : TBarCustomDockableWindow(AOwner) {
    FControlStyle.Include(vcl::csAcceptsControls).Include(vcl::csActionClient);
    FControlStyle.Exclude(vcl::csCaptureMouse);
    FDockableWindowStyles.Exclude(tbdsResizeEightCorner).Exclude(tbdsResizeClipCursor);
    FItem = RootItemClass(this);
    FItem->SetParentComponentOfRoot(this);
    FChevronItem = ChevronItemClass(this);
    FChevronItem->SetLinkSubitems(FItem);
    FView = static_cast<TBarToolbarView*>(ViewClass()(this, nullptr, FItem, this, true, false, !Designing(this)));
    FView->SetBackgroundColor(vcl::clBtnFace);
    SetColor(vcl::clBtnFace);
    SetBounds(Left(), Top(), ScaleForDPI(23), ScaleForDPI(22));
}

TBarCustomToolbar::~TBarCustomToolbar() {
    Destroying();
    UninstallHookProcedure(this, MDISysCharHook);
    UninstallMainWindowHook();
    TBarToolbarView* view = FView;
    FView = nullptr;
    delete view;
    TBarChevronItem* chevron = FChevronItem;
    FChevronItem = nullptr;
    delete chevron;
    TBarRootItem* root = FItem;
    FItem = nullptr;
    delete root;
}

TBarChevronItem* TBarCustomToolbar::ChevronItemClass(rtl::TComponent* AOwner) { return new TBarChevronItem(AOwner); }
TBarRootItem* TBarCustomToolbar::RootItemClass(rtl::TComponent* AOwner) { return new TBarRootItem(AOwner); }

TBarViewClass TBarCustomToolbar::ViewClass() {
    return [](rtl::TComponent* O, TBarView* PV, TBarCustomItem* PI, vcl::TWinControl* W, bool T, bool C,
              bool P) -> TBarView* { return new TBarToolbarView(O, PV, PI, W, T, C, P); };
}

// ---- hosted controls ----

void TBarCustomToolbar::CreateWrappersForAllControls() {
    for (int i = 0; i < ControlCount(); ++i) {
        vcl::TControl* control = Controls(i);
        bool wrapped = false;
        for (int j = 0; j < FItem->Count() && !wrapped; ++j)
            if (auto* c = dynamic_cast<TBarControlItem*>(FItem->GetItem(j))) wrapped = c->Control() == control;
        if (!wrapped) CreateWrapper(FItem->Count(), control);
    }
}

void TBarCustomToolbar::CreateWrapper(int Index, vcl::TControl* Control) {
    auto* item = new TBarControlItem(Owner());
    item->SetControl(Control);
    if (Designing(this) && Owner())
        for (int n = 1;; ++n) {
            const String name = QStringLiteral("BarControlItem%1").arg(n);
            if (!Owner()->FindComponent(name)) {
                item->SetName(name);
                break;
            }
        }
    FItem->Insert(Index, item);
}

void TBarCustomToolbar::CMControlChange(vcl::TCMControlChange& Message) {
    TBarCustomDockableWindow::CMControlChange(Message);
    if (!Message.Inserting() || !FItem || ComponentState().Contains(rtl::csLoading) ||
        ComponentState().Contains(rtl::csUpdating) || ComponentState().Contains(rtl::csDestroying))
        return;
    for (int j = 0; j < FItem->Count(); ++j)
        if (auto* c = dynamic_cast<TBarControlItem*>(FItem->GetItem(j)); c && c->Control() == Message.Control()) return;
    CreateWrapper(FItem->Count(), Message.Control());
}

void TBarCustomToolbar::CMControlListChange(vcl::TCMControlListChange& Message) {
    TBarCustomDockableWindow::CMControlListChange(Message);
    if (Message.Inserting() || !FItem || ComponentState().Contains(rtl::csDestroying)) return;
    for (int j = FItem->Count() - 1; j >= 0; --j)
        if (auto* c = dynamic_cast<TBarControlItem*>(FItem->GetItem(j)); c && c->Control() == Message.Control()) {
            c->SetDontFreeControl(true);
            delete c;
        }
}

void TBarCustomToolbar::Loaded() {
    CreateWrappersForAllControls();
    TBarCustomDockableWindow::Loaded();
}

void TBarCustomToolbar::GetChildren(const rtl::TGetChildProc& Proc, rtl::TComponent* Root) {
    FItem->GetChildren(Proc, Root);
    TBarCustomDockableWindow::GetChildren(Proc, Root);
}

void TBarCustomToolbar::SetChildOrder(rtl::TComponent* Child, int Order) {
    if (dynamic_cast<TBarCustomItem*>(Child)) FItem->SetChildOrder(Child, Order);
}

void TBarCustomToolbar::GetTabOrderList(std::vector<vcl::TWinControl*>& List) {
    TBarCustomDockableWindow::GetTabOrderList(List);
    std::vector<vcl::TControl*> offEdge;
    FView->GetOffEdgeControlList(offEdge);
    for (vcl::TControl* c : offEdge) {
        auto* off = dynamic_cast<vcl::TWinControl*>(c);
        if (!off) continue;
        List.erase(std::remove_if(List.begin(), List.end(),
                                  [off](vcl::TWinControl* w) {
                                      for (vcl::TWinControl* p = w; p; p = p->Parent())
                                          if (p == off) return true;
                                      return false;
                                  }),
                   List.end());
    }
}

// ---- forwarders and setters ----

void TBarCustomToolbar::SetChevronHint(const String& Value) {
    FChevronItem->SetHint(Value);
    FChevronItem->SetCaption(EscapeAmpersands(Value.section(u'|', 0, 0)));
}

bool TBarCustomToolbar::IsChevronHintStored() const {
    return FChevronItem->Hint() != String::fromUtf16(STBarChevronHint);
}

void TBarCustomToolbar::SetChevronMoveItems(bool Value) {
    if (FChevronMoveItems == Value) return;
    FChevronMoveItems = Value;
    FView->SetUsePriorityList(Value && !Designing(this));
}

void TBarCustomToolbar::SetChevronPriorityForNewItems(TBarChevronPriorityForNewItems Value) {
    FChevronPriorityForNewItems = Value;
    FView->SetNewViewersGetHighestPriority(Value == tbcpHighest);
}

void TBarCustomToolbar::SetProcessShortCuts(bool Value) {
    if (FProcessShortCuts == Value) return;
    FProcessShortCuts = Value;
    UpdateMainWindowHook();
}

void TBarCustomToolbar::SetSystemFont(bool Value) {
    if (FSystemFont == Value) return;
    FSystemFont = Value;
    RecalcArrangement();
}

void TBarCustomToolbar::SetShrinkMode(TBarShrinkMode Value) {
    if (FShrinkMode == Value) return;
    FShrinkMode = Value;
    if (FDocked) {
        // The view takes the new mode's wrapping or chevron before the dock measures it: the dock lays the
        // items out again only when it changes the bar's length, and would otherwise keep the old mode's.
        UpdateViewProperties();
        FView->InvalidatePositions();
        FCurrentDock->ArrangeToolbars();
    } else if (!FFloating)
        RecalcArrangement();
}

void TBarCustomToolbar::SetFloatingWidth(int Value) {
    if (FFloatingWidth == Value) return;
    FFloatingWidth = Value;
    if (FFloating) {
        UpdateViewProperties();
        RecalcArrangement();
    }
}

// ---- messages ----

void TBarCustomToolbar::InitiateAction() {
    TBarCustomDockableWindow::InitiateAction();
    if (FUpdateActions && FView)
        for (int i = 0; i < FView->ViewerCount(); ++i) FView->GetViewer(i)->Item()->InitiateAction();
}

void TBarCustomToolbar::AlignControls(vcl::TControl* AControl, TRect& Rect) {
    if (FDisableAlignArrange == 0) TBarCustomDockableWindow::AlignControls(AControl, Rect);
}

void TBarCustomToolbar::Paint() {
    vcl::TCanvas* canvas = Canvas();
    if (Designing(this) && !FDocked) {
        canvas->Pen()->SetStyle(vcl::psDot);
        canvas->Pen()->SetColor(vcl::clBtnShadow);
        canvas->Brush()->SetStyle(vcl::bsClear);
        const TRect r = ClientRect();
        canvas->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
        canvas->Pen()->SetStyle(vcl::psSolid);
        canvas->Brush()->SetStyle(vcl::bsSolid);
    }
    FView->DrawSubitems(canvas);
}

void TBarCustomToolbar::Dispatch(vcl::TMessage& Message) {
    const bool designing = Designing(this);
    switch (Message.Msg) {
    case vcl::CM_COLORCHANGED:
        if (FView) FView->SetBackgroundColor(Color());
        break;
    case vcl::CM_FONTCHANGED:
        TBarCustomDockableWindow::Dispatch(Message);
        if (!FSystemFont) RecalcArrangement();
        return;
    case vcl::CM_SHOWHINTCHANGED:
        TBarCustomDockableWindow::Dispatch(Message);
        if (ShowHint())
            FView->Style.Include(vsAlwaysShowHints);
        else
            FView->Style.Exclude(vsAlwaysShowHints);
        return;
    case vcl::CM_HINTSHOW: FView->HandleHintShowMessage(vcl::MessageAs<vcl::TCMHintShow>(Message)); return;
    case WM_GETOBJECT:
        if (FView && FView->HandleWMGetObject(Message)) return;
        break;
    case WM_SETCURSOR:
        if (!designing && reinterpret_cast<HWND>(Message.WParam) == WindowHandle() && LOWORD(Message.LParam) == HTCLIENT) {
            POINT p;
            GetCursorPos(&p);
            ::ScreenToClient(WindowHandle(), &p);
            if (TBarItemViewer* v = FView->ViewerFromPoint(TPoint(p))) {
                HCURSOR cursor = nullptr;
                v->GetCursor(TPoint(p.x - v->BoundsRect().Left, p.y - v->BoundsRect().Top), cursor);
                if (cursor) {
                    ::SetCursor(cursor);
                    Message.Result = 1;
                    return;
                }
            }
        }
        break;
    case WM_CANCELMODE:
        TBarCustomDockableWindow::Dispatch(Message);
        if (FView->State.Contains(vsModal)) FView->CancelMode();
        return;
    case vcl::CM_WININICHANGE:
        TBarCustomDockableWindow::Dispatch(Message);
        if (Message.WParam == SPI_SETNONCLIENTMETRICS) {
            RefreshSharedMenuFont();
            RecalcArrangement();
        }
        return;
    case WM_MOUSELEAVE:
        if (!FIgnoreMouseLeave) ClearHotItem();
        break;
    case vcl::CM_MOUSELEAVE: ClearHotItem(); break;
    case WM_NCMOUSEMOVE:
        ClearHotItem();
        SetHint(String());
        break;
    case vcl::CM_DIALOGCHAR: {
        const auto key = char16_t(Message.WParam);
        if (!designing && !FMenuBar && CanFocus() && key != 0 && KeyboardOpen(key, true)) {
            Message.Result = 1;
            return;
        }
        break;
    }
    case vcl::CM_DIALOGKEY:
        if (!designing && Message.WParam == VK_MENU && FMenuBar && CanFocus()) FView->SetAccelsVisibility(true);
        break;
    case WM_SYSCOMMAND: WMSysCommand(Message); return;
    default: break;
    }
    TBarCustomDockableWindow::Dispatch(Message);
}

void TBarCustomToolbar::WMSysCommand(vcl::TMessage& Message) {
    Message.Result = 0;
    if (!FMenuBar || !CanFocus() || (Message.WParam & 0xFFF0) != SC_KEYMENU) return;
    const WORD key = LOWORD(Message.LParam);
    if (key == VK_SPACE || GetCapture()) return;
    if (KeyboardOpen(char16_t(key), false)) {
        Message.Result = 1;
        return;
    }
    if (key == u'-') return;  // the system opens the child window's system menu
    MessageBeep(0);
    Message.Result = 1;
}

// ---- mouse ----

void TBarCustomToolbar::MouseMove(vcl::TShiftState Shift, int X, int Y) {
    if (!Designing(this)) {
        POINT p{X, Y};
        ::ClientToScreen(WindowHandle(), &p);
        FView->UpdateSelection(TPoint(p), true);
        TBarItemViewer* selected = FView->Selected();
        if (selected && !selected->Item()->EffectiveOptions().Contains(tboLongHintInMenuOnly))
            SetHint(selected->Item()->Hint());
        else
            SetHint(String());
    }
    StartMouseTracking(WindowHandle(), TME_LEAVE);
    TBarCustomDockableWindow::MouseMove(Shift, X, Y);
}

void TBarCustomToolbar::ClearHotItem() {
    if (!FView || (HandleAllocated() && GetCapture() == WindowHandle())) return;
    FView->UpdateSelection(TPoint(NoPosition, NoPosition), true);
}

void TBarCustomToolbar::DoContextPopup(const TPoint& MousePos, bool& Handled) {
    ClearHotItem();
    TBarCustomDockableWindow::DoContextPopup(MousePos, Handled);
}

void TBarCustomToolbar::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    vcl::TWinControl* parent = Parent();
    TBarCustomDockableWindow::MouseDown(Button, Shift, X, Y);
    if (Parent() != parent || Designing(this) || Button != vcl::mbLeft) return;
    POINT p{X, Y};
    ::ClientToScreen(WindowHandle(), &p);
    FView->UpdateSelection(TPoint(p), true);
    TBarItemViewer* selected = FView->Selected();
    if (!selected || selected->Item()->ItemStyle().Contains(tbisClicksTransparent)) return;
    FIgnoreMouseLeave = true;
    struct TClear {
        bool& Flag;
        ~TClear() { Flag = false; }
    } clear{FIgnoreMouseLeave};
    FView->EnterToolbarLoop({tbetMouseDown});
}

void TBarCustomToolbar::HitTestChildControls(const TPoint& P, bool& Found) {
    TBarCustomDockableWindow::HitTestChildControls(P, Found);
    if (Found || Designing(this)) return;
    POINT p{P.X, P.Y};
    ::ClientToScreen(WindowHandle(), &p);
    FView->UpdateSelection(TPoint(p), true);
    TBarItemViewer* selected = FView->Selected();
    Found = selected && !selected->Item()->ItemStyle().Contains(tbisClicksTransparent);
}

// ---- keyboard ----

bool TBarCustomToolbar::KeyboardOpen(char16_t Key, bool RequirePrimaryAccel) {
    if (FView->State.Contains(vsModal)) return false;
    FView->SetAccelsVisibility(true);
    TBarItemViewer* viewer = nullptr;
    TBarEnterToolbarLoopOptions options;
    if (Key == 0)
        viewer = FView->FirstSelectable();
    else {
        bool only = false;
        viewer = FView->NextSelectableWithAccel(nullptr, Key, RequirePrimaryAccel, only);
        if (viewer && !viewer->Item()->Enabled())
            viewer = nullptr;
        else if (viewer && only)
            options.Include(tbetExecuteSelected);
        else if (viewer && !FMenuBar)
            viewer = nullptr;  // a plain toolbar leaves a shared accelerator to the form
    }
    // A refused key never leaves the bar underlined.
    if (!viewer) {
        FView->SetAccelsVisibility(false);
        return false;
    }
    try {
        FView->SetSelected(viewer);
        FView->EnterToolbarLoop(options);
    } catch (...) {
        if (FView) FView->SetAccelsVisibility(false);
        throw;
    }
    FView->SetAccelsVisibility(false);
    return true;
}

bool TBarCustomToolbar::IsShortCut(vcl::TWMKey& Message) {
    bool handled = false;
    if (OnShortCut) OnShortCut(Message, handled);
    return handled || FItem->IsShortCut(Message);
}

// ---- the menu bar and the application's keys ----

void TBarCustomToolbar::SetMenuBar(bool Value) {
    if (FMenuBar == Value) return;
    FMenuBar = Value;
    if (Value) {
        FControlStyle.Include(vcl::csMenuEvents);
        FView->Style.Include(vsMenuBar).Include(vsUseHiddenAccels);
    } else {
        FControlStyle.Exclude(vcl::csMenuEvents);
        FView->Style.Exclude(vsMenuBar).Exclude(vsUseHiddenAccels);
    }
    if (!ComponentState().Contains(rtl::csLoading)) {
        SetFullSize(Value);
        SetShrinkMode(Value ? tbsmWrap : tbsmChevron);
        SetCloseButton(!Value);
        SetProcessShortCuts(Value);
    }
    if (Value && !Designing(this))
        InstallHookProcedure(this, MDISysCharHook, {hpGetMessage});
    else
        UninstallHookProcedure(this, MDISysCharHook);
    UpdateMainWindowHook();
}

void TBarCustomToolbar::UpdateMainWindowHook() {
    if ((FProcessShortCuts || FMenuBar) && !Designing(this))
        InstallMainWindowHook();
    else
        UninstallMainWindowHook();
}

void TBarCustomToolbar::InstallMainWindowHook() {
    if (FMainWindowHookInstalled) return;
    auto& list = ShortCutList();
    if (!list && vcl::Application) vcl::Application->HookMainWindow(MainWindowHook);
    AddToList(list, this);
    FMainWindowHookInstalled = true;
}

void TBarCustomToolbar::UninstallMainWindowHook() {
    if (!FMainWindowHookInstalled) return;
    FMainWindowHookInstalled = false;
    auto& list = ShortCutList();
    RemoveFromList(list, this);
    if (!list && vcl::Application) vcl::Application->UnhookMainWindow(MainWindowHook);
}

const std::vector<TBarCustomToolbar*>& ShortCutToolbars() {
    static const std::vector<TBarCustomToolbar*> none;
    return ShortCutList() ? *ShortCutList() : none;
}

bool ProcessToolbarShortCuts(vcl::TCustomForm* Form, vcl::TWMKey& Message) {
    if (!ShortCutList()) return false;
    for (TBarCustomToolbar* tb : std::vector<TBarCustomToolbar*>(*ShortCutList())) {
        if (!tb->ProcessShortCuts() || ParentFormOf(tb) != Form) continue;
        if (!Form->HandleAllocated() || !IsWindowEnabled(Form->WindowHandle())) continue;
        if (tb->IsShortCut(Message)) {
            Message.Result = 1;
            return true;
        }
    }
    return false;
}

bool FindMenuBarFor(vcl::TWinControl* Control, WPARAM WParam, LPARAM LParam) {
    for (int i = 0; i < Control->ControlCount(); ++i) {
        auto* child = dynamic_cast<vcl::TWinControl*>(Control->Controls(i));
        if (!child || !child->Showing()) continue;
        // A dock takes the key only for its floating bars: the bars docked on it are searched inside.
        if ((dynamic_cast<TBarDock*>(child) || dynamic_cast<TBarCustomToolbar*>(child)) && child->Visible() &&
            child->Enabled() && child->ControlStyle().Contains(vcl::csMenuEvents) &&
            child->Perform(WM_SYSCOMMAND, WParam, LParam) != 0)
            return true;
        if (FindMenuBarFor(child, WParam, LParam)) return true;
    }
    return false;
}

// ---- placement facts ----

void TBarCustomToolbar::UpdateViewProperties() {
    FView->SetOrientation(OrientationFor(DockKindOf(FCurrentDock, FFloating)));
    FView->SetChevronSize(ScaleForDPI(12));
    if (FDocked || FFloating) {
        FView->SetChevronOffset(GetChevronOffset(FCurrentDock, FView->Orientation()));
        FView->SetWrapOffset(GetWrapOffset(FFloating ? nullptr : FCurrentDock));
        return;
    }
    FView->SetChevronOffset(0);
    FView->SetWrapOffset(0);
    if (FAutoResize && !(Anchors().Contains(vcl::akLeft) && Anchors().Contains(vcl::akRight))) return;
    const int room = Width() - NonClientWidth();
    if (FShrinkMode == tbsmChevron)
        FView->SetChevronOffset(room);
    else if (FShrinkMode == tbsmWrap)
        FView->SetWrapOffset(room);
}

int TBarCustomToolbar::GetWrapOffset(TBarDock* Dock) {
    if (!Dock) return FFloatingWidth;
    if (FShrinkMode != tbsmWrap) return 0;
    if (Dock->Vertical()) return Dock->Height() - Dock->NonClientHeight() - NonClientHeight();
    return Dock->Width() - Dock->NonClientWidth() - NonClientWidth();
}

int TBarCustomToolbar::GetChevronOffset(TBarDock* Dock, TBarViewOrientation Orientation) {
    if (FShrinkMode != tbsmChevron || !FDocked || Dock != FCurrentDock) return 0;
    const int result = FCurrentSize - (Orientation == tbvoVertical ? NonClientHeight() : NonClientWidth());
    return std::max(result, 0);
}

TPoint TBarCustomToolbar::GetRowCrossSize() {
    if (!FDocked) return TPoint(0, 0);
    const int size = FCurrentDock->GetMinRowSize(FEffectiveDockRow, this);
    return FCurrentDock->Vertical() ? TPoint(size, 0) : TPoint(0, size);
}

// ---- answers to the dock ----

TPoint TBarCustomToolbar::ArrangeContents(bool Apply, TBarDockKind, bool NewFloating, TBarDock* NewDock) {
    if (!FView) return TPoint(0, 0);
    if (Apply) {
        UpdateViewProperties();
        return FView->UpdatePositions();
    }
    const TBarViewOrientation orientation = OrientationFor(DockKindOf(NewDock, NewFloating));
    TPoint base, total;
    int lines = 1;
    TBarDock* dock = NewFloating ? nullptr : NewDock;
    FView->LayoutViewers(false, orientation, GetWrapOffset(dock), GetChevronOffset(dock, orientation),
                         ScaleForDPI(12), base, total, lines);
    FLastWrappedLines = lines;
    return total;
}

void TBarCustomToolbar::GetBaseSize(TPoint& ASize) {
    FView->ValidatePositions();
    ASize = FBaseSize;
}

void TBarCustomToolbar::GetMinimumLength(int& AMinimumSize) {
    const bool leftRight = FCurrentDock && FCurrentDock->Vertical();
    if (TBarItemViewer* v = FView->HighestPriorityViewer())
        AMinimumSize += leftRight ? v->BoundsRect().Height() : v->BoundsRect().Width();
    AMinimumSize += leftRight ? NonClientHeight() : NonClientWidth();
    AMinimumSize += ScaleForDPI(12);
}

void TBarCustomToolbar::ListFloatingSizes(std::vector<TPoint>& List) {
    int left = 0, top = 0, right = 0, bottom = 0;
    FView->ContentMargins(tbvoFloating, left, top, right, bottom);
    const int minWidth = left + right;
    struct TRestore {
        int& Field;
        int Saved;
        ~TRestore() { Field = Saved; }
    } restore{FFloatingWidth, FFloatingWidth};
    FFloatingWidth = 0;
    TPoint s = ArrangeContents(false, dkFloating, true, nullptr);
    List.push_back(s);
    int lines = 1;
    int w = s.X - 1;
    while (w >= minWidth) {
        FFloatingWidth = w;
        s = ArrangeContents(false, dkFloating, true, nullptr);
        if (s.X > w) break;
        if (s.X == w) {
            if (FLastWrappedLines == lines)
                List.back() = s;
            else
                List.push_back(s);
            lines = FLastWrappedLines;
            --w;
        } else
            w = s.X;
    }
}

// ---- sizing a floating toolbar ----

void TBarCustomToolbar::SizingStarted(TBarSizeHandle SizeHandle) {
    FSizeData = std::make_unique<TToolbarSizeData>();
    TToolbarSizeData& d = *FSizeData;
    d.SizeHandle = SizeHandle;
    if (FFloatParent && FFloatParent->HandleAllocated()) {
        RECT frame;
        GetWindowRect(FFloatParent->WindowHandle(), &frame);
        d.OrigWidth = frame.right - frame.left;
        d.OrigHeight = frame.bottom - frame.top;
        POINT client{0, 0};
        ::ClientToScreen(WindowHandle(), &client);
        d.NCXDiff = client.x - frame.left;
    }
    d.CurRightX = FFloatingWidth;
    ListFloatingSizes(d.NewSizes);
    for (TPoint& s : d.NewSizes) AddFloatingNCAreaToSize(s);
    const bool byHeight = SizeHandle == twshTop || SizeHandle == twshBottom;
    std::stable_sort(d.NewSizes.begin(), d.NewSizes.end(),
                     [byHeight](const TPoint& a, const TPoint& b) { return byHeight ? a.Y > b.Y : a.X > b.X; });
    const auto at = std::find(d.NewSizes.begin(), d.NewSizes.end(), TPoint(d.OrigWidth, d.OrigHeight));
    if (at == d.NewSizes.end()) return;
    const bool alongX = SizeHandle == twshLeft || SizeHandle == twshRight;
    auto extent = [alongX](const TPoint& p) { return alongX ? p.X : p.Y; };
    const int limit = ScaleForDPI(12);
    if (at != d.NewSizes.begin()) d.DistanceToLargerSize = std::min(extent(*(at - 1)) - extent(*at), limit);
    if (at + 1 != d.NewSizes.end()) d.DistanceToSmallerSize = std::min(extent(*at) - extent(*(at + 1)), limit);
}

void TBarCustomToolbar::SizingTracked(TRect& NewRect, const TRect& OrigRect) {
    if (!FSizeData) return;
    TToolbarSizeData& d = *FSizeData;
    const bool alongX = d.SizeHandle == twshLeft || d.SizeHandle == twshRight;
    int extent = alongX ? NewRect.Width() : NewRect.Height();
    const int orig = alongX ? d.OrigWidth : d.OrigHeight;
    const bool smaller = extent < orig;
    if (!(d.DisableSensCheck && smaller == d.OpSide)) {
        d.DisableSensCheck = false;
        d.OpSide = smaller;
        if (extent > orig - d.DistanceToSmallerSize && extent < orig + d.DistanceToLargerSize) extent = orig;
    }
    NewRect = OrigRect;
    const int n = int(d.NewSizes.size());
    if (n == 0) return;
    auto along = [alongX](const TPoint& p) { return alongX ? p.X : p.Y; };
    int chosen = 0;
    if (extent > orig) {
        for (int i = n - 1; i >= 0; --i) {
            chosen = i;
            if (along(d.NewSizes[size_t(i)]) >= extent) break;
        }
    } else
        for (int i = 0; i < n; ++i) {
            chosen = i;
            if (along(d.NewSizes[size_t(i)]) <= extent) break;
        }
    const TPoint s = d.NewSizes[size_t(chosen)];
    if (alongX) {
        if (d.SizeHandle == twshRight)
            NewRect.Right = NewRect.Left + s.X;
        else
            NewRect.Left = NewRect.Right - s.X;
        NewRect.Bottom = NewRect.Top + s.Y;
        d.CurRightX = chosen == 0 ? 0 : s.X - 2 * d.NCXDiff;
    } else {
        if (d.SizeHandle == twshBottom)
            NewRect.Bottom = NewRect.Top + s.Y;
        else
            NewRect.Top = NewRect.Bottom - s.Y;
        NewRect.Right = NewRect.Left + s.X;
        d.CurRightX = chosen == n - 1 ? 0 : s.X - 2 * d.NCXDiff;
    }
    d.DisableSensCheck = NewRect != OrigRect;
}

void TBarCustomToolbar::SizingAccepted() {
    if (FSizeData) SetFloatingWidth(FSizeData->CurRightX);
}

void TBarCustomToolbar::SizingEnded() { FSizeData.reset(); }

// ---- position data ----

void TBarCustomToolbar::ReadPositionData(const TBarReadPositionData& Data) {
    TBarCustomDockableWindow::ReadPositionData(Data);
    if (Data.ReadIntProc) SetFloatingWidth(Data.ReadIntProc(Name(), QStringLiteral("FloatRightX"), 0, Data.ExtraData));
}

void TBarCustomToolbar::WritePositionData(const TBarWritePositionData& Data) {
    TBarCustomDockableWindow::WritePositionData(Data);
    if (Data.WriteIntProc) Data.WriteIntProc(Name(), QStringLiteral("FloatRightX"), FFloatingWidth, Data.ExtraData);
}

} // namespace bars
