// skins/SkTitleBar.cpp: the skinned title bar and its buttons, window-procedure subclassing that
// survives later subclasses, and the title bar's sizing hit table.
#include "skins/SkTitleBar.h"

#include "skins/SkItemPaint.h"
#include "toolbars/BarCommon.h"

#include <map>

namespace skins {

// One installed procedure. The owner is cleared when it removes itself while still chained; the link
// then only forwards, until its window goes.
struct TSkWindowSubclass::TLink {
    WNDPROC Saved = nullptr;
    TSkWindowSubclass* Owner = nullptr;
    THandler Handler;
};

namespace {

std::map<HWND, TSkWindowSubclass::TLink*>& Links() {
    static std::map<HWND, TSkWindowSubclass::TLink*> links;
    return links;
}

LRESULT CALLBACK SubclassProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto it = Links().find(Wnd);
    if (it == Links().end()) return DefWindowProcW(Wnd, Msg, WParam, LParam);
    TSkWindowSubclass::TLink* link = it->second;
    const WNDPROC saved = link->Saved;
    if (Msg == WM_NCDESTROY) {
        // The window goes: so does its link; an owner still installed forgets it.
        Links().erase(it);
        if (link->Owner) link->Owner->Remove();
        else delete link;
        return CallWindowProcW(saved, Wnd, Msg, WParam, LParam);
    }
    if (link->Owner && link->Handler) {
        LRESULT result = 0;
        // The handler may remove the subclass; the saved procedure is kept above.
        const TSkWindowSubclass::THandler handler = link->Handler;
        if (handler(Wnd, Msg, WParam, LParam, result)) return result;
    }
    return CallWindowProcW(saved, Wnd, Msg, WParam, LParam);
}

} // namespace

bool TSkWindowSubclass::Install(HWND Wnd, THandler Handler) {
    if (FLink || !Wnd || !IsWindow(Wnd)) return false;
    if (auto it = Links().find(Wnd); it != Links().end()) {
        // A forwarder left by an earlier owner is taken over; a live owner keeps its window.
        if (it->second->Owner) return false;
        it->second->Owner = this;
        it->second->Handler = std::move(Handler);
        FWnd = Wnd;
        FLink = it->second;
        return true;
    }
    auto* link = new TLink;
    link->Owner = this;
    link->Handler = std::move(Handler);
    link->Saved = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Wnd, GWLP_WNDPROC));
    Links()[Wnd] = link;
    SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc));
    FWnd = Wnd;
    FLink = link;
    return true;
}

void TSkWindowSubclass::Remove() {
    TLink* link = FLink;
    if (!link) return;
    FLink = nullptr;
    const HWND wnd = FWnd;
    FWnd = nullptr;
    auto it = Links().find(wnd);
    const bool chained = it != Links().end() && it->second == link;
    if (chained && IsWindow(wnd) &&
        GetWindowLongPtrW(wnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassProc)) {
        // Still the window's own procedure: the saved one goes back.
        SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->Saved));
        Links().erase(it);
        delete link;
        return;
    }
    if (chained && IsWindow(wnd)) {
        // Someone subclassed after us and will call us: stay as a forwarder without an owner.
        link->Owner = nullptr;
        link->Handler = nullptr;
        return;
    }
    if (chained) Links().erase(it);
    delete link;
}

LRESULT TSkWindowSubclass::CallSaved(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!FLink) return 0;
    return CallWindowProcW(FLink->Saved, FWnd, Msg, WParam, LParam);
}

TSkSizingHit GetSizingHitInfo(int X, int Y, int W, int H, const vcl::TPoint& Frame) {
    TSkSizingHit hit;
    if (X >= Frame.X && X < W - Frame.X && Y >= Frame.Y && Y < H - Frame.Y) return hit;
    const int c = W - 10;
    if (X <= 9 && Y <= 9) hit.Edge = WMSZ_TOPLEFT;
    else if (X > c && Y < 10) hit.Edge = WMSZ_TOPRIGHT;
    else if (X < 10 && Y > H - 10) hit.Edge = WMSZ_BOTTOMLEFT;
    else if (X > c && Y > H - 10) hit.Edge = WMSZ_BOTTOMRIGHT;
    else if (X > 10 && X < c && Y < 10) hit.Edge = WMSZ_TOP;
    else if (X > 10 && X < c && Y > H - 10) hit.Edge = WMSZ_BOTTOM;
    else if (Y > 10 && Y < H - 10 && X < 10) hit.Edge = WMSZ_LEFT;
    else if (Y > 10 && Y < H - 10 && X > c) hit.Edge = WMSZ_RIGHT;
    switch (hit.Edge) {
    case WMSZ_LEFT:
    case WMSZ_RIGHT: hit.Cursor = vcl::crSizeWE; break;
    case WMSZ_TOP:
    case WMSZ_BOTTOM: hit.Cursor = vcl::crSizeNS; break;
    case WMSZ_TOPLEFT:
    case WMSZ_BOTTOMRIGHT: hit.Cursor = vcl::crSizeNWSE; break;
    case WMSZ_TOPRIGHT:
    case WMSZ_BOTTOMLEFT: hit.Cursor = vcl::crSizeNESW; break;
    default: break;
    }
    return hit;
}

bool (*TaskbarInfoProbe)(UINT& Edge, TRect& Rect, UINT& State) = &GetTaskbarInfo;

namespace {

bool Designing(const rtl::TComponent* C) { return C->ComponentState().Contains(rtl::csDesigning); }
bool IsDestroying(const rtl::TComponent* C) { return C->ComponentState().Contains(rtl::csDestroying); }

} // namespace

// ---------------------------------------------------------------------------------------------------
// TSkButtonOptions

TSkButtonOptions::TSkButtonOptions(vcl::TWinControl* AParent) : FParentControl(AParent) {
    if (auto* compound = dynamic_cast<TSkCompoundItemsControl*>(AParent)) FToolbar = compound->Toolbar();
}

TSkButtonOptions::~TSkButtonOptions() = default;

void TSkButtonOptions::CreateButtons() {
    if (!FToolbar) return;
    FRightAlignSpacer = new TSkRightAlignSpacerItem(FToolbar);
    FRightAlignSpacer->FontSettings()->SetStyle(vcl::TFontStyles{vcl::fsBold});
    FRightAlignSpacer->SetWrapping(twEndEllipsis);
    FToolbar->Items()->Add(FRightAlignSpacer);
    SetupButtonIcon(FRightAlignSpacer);
    FEditableItems = new bars::TBarGroupItem(FToolbar);
    FToolbar->Items()->Add(FEditableItems);
    for (TSkItem** button : {&FMinimizeButton, &FMaximizeButton, &FCloseButton}) {
        *button = new TSkItem(FToolbar);
        SetupButton(*button);
    }
    FMinimizeButton->SetVisible(FMinimize);
    FMaximizeButton->SetVisible(FMaximize);
    FCloseButton->SetVisible(FClose);
    UpdateSpacerVisibility();
    SetTitleBarMaxSize(FTitleBarMaxSize);
}

void TSkButtonOptions::SetupButton(TSkCustomItem* B) {
    B->SetCustomWidth(17);
    B->SetCustomHeight(FTitleBarMaxSize);
    B->SetDisplayMode(bars::nbdmImageAndText);
    B->OnDrawImage = TSkDrawImageEvent(this, &TSkButtonOptions::DrawButtonImage);
    B->OnDrawItem = TSkDrawItemEvent(this, &TSkButtonOptions::DrawButtonBackground);
    B->OnClick = rtl::TNotifyEvent(this, &TSkButtonOptions::ButtonClick);
    if (FToolbar) FToolbar->Items()->Add(B);
    B->SetVisible(false);
    SetupButtonIcon(B);
}

void TSkButtonOptions::SetupButtonIcon(TSkCustomItem* B) {
    if (!B) return;
    int index = -1, builtIn = -1;
    if (B == FRightAlignSpacer)
        index = FCaptionImageIndex;
    else if (B == FCloseButton)
        index = FCloseImageIndex, builtIn = 0;
    else if (B == FMaximizeButton)
        IsRestoreButton(B) ? (index = FRestoreImageIndex, builtIn = 3) : (index = FMaximizeImageIndex, builtIn = 1);
    else if (B == FMinimizeButton)
        IsRestoreButton(B) ? (index = FRestoreImageIndex, builtIn = 3) : (index = FMinimizeImageIndex, builtIn = 2);
    else
        return;
    if (index < 0 && builtIn >= 0) {
        B->SetImages(TitleButtonImages());
        B->SetImageIndex(builtIn);
    } else {
        B->SetImages(nullptr);
        B->SetImageIndex(index);
    }
}

void TSkButtonOptions::UpdateSpacerVisibility() {
    if (FRightAlignSpacer) FRightAlignSpacer->SetVisible(FCaption || FClose || FMinimize || FMaximize);
}

void TSkButtonOptions::SetCaption(bool Value) {
    FCaption = Value;
    if (FRightAlignSpacer) FRightAlignSpacer->SetCaption(Value ? FCaptionLabel : rtl::String());
    UpdateSpacerVisibility();
}

void TSkButtonOptions::SetClose(bool Value) {
    FClose = Value;
    if (FCloseButton) FCloseButton->SetVisible(Value);
    UpdateSpacerVisibility();
}

void TSkButtonOptions::SetMinimize(bool Value) {
    FMinimize = Value;
    if (FMinimizeButton) FMinimizeButton->SetVisible(Value);
    UpdateSpacerVisibility();
}

void TSkButtonOptions::SetMaximize(bool Value) {
    FMaximize = Value;
    if (FMaximizeButton) FMaximizeButton->SetVisible(Value);
    UpdateSpacerVisibility();
}

void TSkButtonOptions::SetCaptionLabel(const rtl::String& Value) {
    FCaptionLabel = Value;
    if (FRightAlignSpacer) FRightAlignSpacer->SetCaption(Value);
}

void TSkButtonOptions::SetCaptionImageIndex(int Value) {
    FCaptionImageIndex = std::max(-1, Value);
    SetupButtonIcon(FRightAlignSpacer);
}

void TSkButtonOptions::SetCloseImageIndex(int Value) {
    FCloseImageIndex = std::max(-1, Value);
    SetupButtonIcon(FCloseButton);
}

void TSkButtonOptions::SetMinimizeImageIndex(int Value) {
    FMinimizeImageIndex = std::max(-1, Value);
    SetupButtonIcon(FMinimizeButton);
}

void TSkButtonOptions::SetMaximizeImageIndex(int Value) {
    FMaximizeImageIndex = std::max(-1, Value);
    SetupButtonIcon(FMaximizeButton);
}

void TSkButtonOptions::SetRestoreImageIndex(int Value) {
    FRestoreImageIndex = std::max(-1, Value);
    SetupButtonIcon(FMinimizeButton);
    SetupButtonIcon(FMaximizeButton);
}

void TSkButtonOptions::SetTitleBarMaxSize(int Value) {
    FTitleBarMaxSize = Value;
    if (FToolbar && FToolbar->SkView()) FToolbar->SkView()->SetMaxSize(Value);
}

void TSkButtonOptions::DrawButtonBackground(rtl::TObject*, vcl::TCanvas*, TRect, TSkMenuItemInfo,
                                            TSkPaintStage PaintStage, bool& PaintDefault) {
    if (PaintStage == pstPrePaint && !FButtonBorders) PaintDefault = false;
}

void TSkButtonOptions::MoveItemToTheLeft(TSkCustomItem* B) {
    if (!FToolbar || !B) return;
    bars::TBarRootItem* items = FToolbar->Items();
    if (items->IndexOf(B) > 0) {
        items->Remove(B);
        items->Insert(0, B);
    }
}

// ---------------------------------------------------------------------------------------------------
// TSkTitleBarButtonOptions

TSkTitleBarButtonOptions::TSkTitleBarButtonOptions(TSkCustomTitleBar* ATitleBar)
    : TSkButtonOptions(ATitleBar), FTitleBar(ATitleBar) {}

void TSkTitleBarButtonOptions::CreateButtons() {
    if (FToolbar) {
        FSystemButton = new TSkSystemMenuItem(FToolbar);
        SetupButton(FSystemButton);
        FSystemButton->SetVisible(FSystemMenu);
    }
    TSkButtonOptions::CreateButtons();
}

void TSkTitleBarButtonOptions::SetSystemMenu(bool Value) {
    FSystemMenu = Value;
    if (FSystemButton) FSystemButton->SetVisible(Value);
    UpdateSpacerVisibility();
}

void TSkTitleBarButtonOptions::UpdateSpacerVisibility() {
    if (FRightAlignSpacer)
        FRightAlignSpacer->SetVisible(Caption() || Close() || Minimize() || Maximize() || FSystemMenu);
}

void TSkTitleBarButtonOptions::DrawButtonBackground(rtl::TObject* Sender, vcl::TCanvas* ACanvas, TRect ARect,
                                                    TSkMenuItemInfo ItemInfo, TSkPaintStage PaintStage,
                                                    bool& PaintDefault) {
    TSkButtonOptions::DrawButtonBackground(Sender, ACanvas, ARect, ItemInfo, PaintStage, PaintDefault);
    if (PaintStage == pstPrePaint && GetSkinManager()->GetSkinType() == sknNone) PaintDefault = false;
}

bool TSkTitleBarButtonOptions::IsRestoreButton(TSkCustomItem* B) {
    return B && B == FMaximizeButton && FTitleBar && FTitleBar->FormMaximized();
}

void TSkTitleBarButtonOptions::ButtonClick(rtl::TObject* Sender) {
    vcl::TCustomForm* form = FTitleBar ? FTitleBar->ParentForm() : nullptr;
    if (!form || !FTitleBar->Active()) return;
    if (Sender == FSystemButton)
        FSystemButton->SetShowSize(!FTitleBar->FixedSize());
    else if (Sender == FMinimizeButton)
        FTitleBar->SysCommand(SC_MINIMIZE);
    else if (Sender == FMaximizeButton)
        form->SetWindowState(FTitleBar->FormMaximized() ? vcl::wsNormal : vcl::wsMaximized);
    else if (Sender == FCloseButton)
        form->Close();
}

// ---------------------------------------------------------------------------------------------------
// TSkTitleToolbar

TSkTitleToolbar::TSkTitleToolbar(rtl::TComponent* AOwner) : TSkToolbar(AOwner) {}

TSkCustomTitleBar* TSkTitleToolbar::TitleBar() const { return dynamic_cast<TSkCustomTitleBar*>(Owner()); }

TColor TSkTitleToolbar::GetItemsTextColor(TSkSkinStatesType State) {
    return GetCurrentSkin()->GetTextColor(skncWindowTitleBar, State);
}

int TSkTitleToolbar::GetRightAlignMargin() {
    TSkCustomTitleBar* bar = TitleBar();
    return bar && bar->FormMaximized() ? 0 : TSkToolbar::GetRightAlignMargin();
}

void TSkTitleToolbar::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    TSkCustomTitleBar* bar = TitleBar();
    if (!bar || Designing(this)) {
        TSkToolbar::MouseDown(Button, Shift, X, Y);
        return;
    }
    vcl::TCustomForm* form = bar->ParentForm();
    if (!form || !bar->Active()) return;
    TSkTitleBarButtonOptions* options = bar->Options();
    bars::TBarItemViewer* viewer = View() ? View()->ViewerFromPoint(TPoint(X, Y)) : nullptr;
    const bool empty = !viewer || viewer->Item()->ItemStyle().Contains(bars::tbisClicksTransparent) ||
                       viewer->Item() == options->RightAlignSpacer();
    const bool twice = Shift.Contains(vcl::ssDouble);
    if (Button == vcl::mbLeft && empty) {
        if (twice) {
            if (options->Maximize() && !bar->FixedSize()) options->MaximizeButton()->Click();
        } else if (!bar->FormMaximized()) {
            bar->SysCommand(SC_MOVE | HTCAPTION);
        }
        return;
    }
    if (Button == vcl::mbLeft && twice && options->SystemMenu() && viewer &&
        viewer->Item() == options->SystemButton()) {
        form->Close();
        return;
    }
    if (Button == vcl::mbRight && empty && options->SystemMenu()) {
        POINT p{X, Y};
        ::ClientToScreen(WindowHandle(), &p);
        bar->PopupSystemMenu(TPoint(p.x, p.y));
        return;
    }
    TSkToolbar::MouseDown(Button, Shift, X, Y);
}

// ---------------------------------------------------------------------------------------------------
// TSkCustomTitleBar

namespace {
TSkToolbar* MakeTitleToolbar(rtl::TComponent* AOwner) { return new TSkTitleToolbar(AOwner); }
} // namespace

TSkCustomTitleBar::TSkCustomTitleBar(rtl::TComponent* AOwner) : TSkCompoundBar(AOwner, &MakeTitleToolbar) {
    FControlStyle.Include(vcl::csAcceptsControls);
    SetAlign(vcl::alClient);
    FDock->OnResize = nullptr;   // the bar does not follow the dock's height
    FParentForm = dynamic_cast<vcl::TCustomForm*>(AOwner);
    FOptions = std::make_unique<TSkTitleBarButtonOptions>(this);
    FOptions->CreateButtons();
    FOptions->SetCaptionLabel(Caption());
}

TSkCustomTitleBar::~TSkCustomTitleBar() {
    ChangeTitleBarState(false);
    FOptions.reset();
    FFormSubclass.Remove();
    FAppSubclass.Remove();
    if (FRegion) DeleteObject(FRegion);
}

bars::TBarCustomItem* TSkCustomTitleBar::GetRootItems() { return FOptions ? FOptions->EditableItems() : nullptr; }

bool TSkCustomTitleBar::FormMaximized() {
    if (!FParentForm || !FParentForm->HandleAllocated()) return false;
    TRect bounds;
    return GetWindowNormalBounds(FParentForm, bounds) == vcl::wsMaximized;
}

void TSkCustomTitleBar::SysCommand(WPARAM Command) {
    if (!FParentForm || !FParentForm->HandleAllocated()) return;
    ReleaseCapture();
    SendMessageW(FParentForm->WindowHandle(), WM_SYSCOMMAND, Command, 0);
}

void TSkCustomTitleBar::HookForm() {
    // The hook sits on the form's window: a new window (a frame change makes one) is hooked again.
    if (!FParentForm || FFormSubclass.Installed() || IsDestroying(FParentForm)) return;
    FFormSubclass.Install(FParentForm->Handle(), [this](HWND, UINT Msg, WPARAM W, LPARAM L, LRESULT& Result) {
        return ParentFormWndProc(Msg, W, L, Result);
    });
}

void TSkCustomTitleBar::Loaded() {
    TSkCompoundBar::Loaded();
    if (Designing(this)) return;
    FParentForm = vcl::GetParentForm(this);
    if (!FParentForm) return;
    HookForm();
    if (vcl::Application && !vcl::Application->MainForm() && !FAppSubclass.Installed()) {
        const HWND app = vcl::Application->Handle();
        if (app && IsWindow(app))
            FAppSubclass.Install(app, [this](HWND, UINT Msg, WPARAM W, LPARAM L, LRESULT& Result) {
                return AppWndProc(Msg, W, L, Result);
            });
    }
    ChangeTitleBarState(FActive);
}

vcl::TPoint TSkCustomTitleBar::GetFrameSize() {
    if (GetSkinManager()->GetSkinType() == sknSkin) {
        const int size = GetCurrentSkin()->FloatingWindowBorderSize();
        return vcl::TPoint(size, size);
    }
    return vcl::TPoint(GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME));
}

TRect TSkCustomTitleBar::GetClientAreaRect() {
    TRect r = ClientRect();
    if (FActive && !(FMouseActive && FormMaximized())) {
        const vcl::TPoint f = GetFrameSize();
        r = TRect(r.Left + f.X, r.Top + f.Y, r.Right - f.X, r.Bottom - f.Y);
    }
    return r;
}

void TSkCustomTitleBar::AdjustClientRect(TRect& Rect) {
    TSkCompoundBar::AdjustClientRect(Rect);
    Rect = GetClientAreaRect();
}

void TSkCustomTitleBar::ChangeTitleBarState(bool Activate) {
    vcl::TCustomForm* form = FParentForm;
    if (!form || !form->HandleAllocated() || IsDestroying(form) || Designing(form)) return;
    if (FMouseActive) {
        const rtl::TNotifyEvent onShow = form->OnShow;
        form->OnShow = nullptr;
        TRect bounds;
        const vcl::TWindowState state = GetWindowNormalBounds(form, bounds);
        const vcl::TPoint f = GetFrameSize();
        const int dw = 2 * f.X, dh = GetSystemMetrics(SM_CYCAPTION) + 2 * f.Y;
        const bool resize = state != vcl::wsMaximized && form->FormStyle() != vcl::fsMDIChild;
        if (Activate && form->BorderStyle() != vcl::bsNone) {
            form->SetBorderStyle(vcl::bsNone);
            if (resize) form->SetBounds(form->Left(), form->Top(), form->Width() - dw, form->Height() - dh);
        } else if (!Activate && form->BorderStyle() == vcl::bsNone) {
            form->SetBorderStyle(vcl::bsSizeable);
            if (resize) form->SetBounds(form->Left(), form->Top(), form->Width() + dw, form->Height() + dh);
        }
        if (Activate)
            SetWindowLongW(form->Handle(), GWL_STYLE, GetWindowLongW(form->Handle(), GWL_STYLE) | WS_SYSMENU);
        if (state == vcl::wsMaximized) SetWindowNormalBounds(form, state, bounds);
        form->OnShow = onShow;
        HookForm();
        InvalidateBackground(true);
    }
    if (FDock) FDock->SetVisible(Activate);
}

void TSkCustomTitleBar::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    ChangeTitleBarState(Value);
}

void TSkCustomTitleBar::SetMouseActive(bool Value) {
    if (FMouseActive == Value) return;
    FMouseActive = Value;
    ChangeTitleBarState(FActive);
}

void TSkCustomTitleBar::SetFullScreenMaximize(bool Value) {
    if (FFullScreenMaximize == Value) return;
    FFullScreenMaximize = Value;
    if (!FActive || !FParentForm || !FParentForm->HandleAllocated()) return;
    FParentForm->Constraints()->SetMaxWidth(0);
    FParentForm->Constraints()->SetMaxHeight(0);
    if (FormMaximized() && !Designing(this)) {
        FParentForm->RecreateWnd();
        HookForm();
    }
}

void TSkCustomTitleBar::PopupSystemMenu(const vcl::TPoint& P) {
    if (FOptions && FOptions->SystemButton()) FOptions->SystemButton()->Popup(P.X, P.Y, false);
}

bool TSkCustomTitleBar::FormHasMenuBar() {
    if (!FParentForm) return false;
    if (FParentForm->Menu()) return true;
    if (FToolbar && FToolbar->View() && FToolbar->View()->Style.Contains(bars::vsMenuBar)) return true;
    for (int i = 0; i < FParentForm->ComponentCount(); ++i)
        if (auto* toolbar = dynamic_cast<bars::TBarCustomToolbar*>(FParentForm->Components(i)))
            if (toolbar->View() && toolbar->View()->Style.Contains(bars::vsMenuBar)) return true;
    return false;
}

bool TSkCustomTitleBar::ParentFormWndProc(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
    switch (Msg) {
    case WM_GETMINMAXINFO: {
        if (!FActive || FFullScreenMaximize) return false;
        Result = FFormSubclass.CallSaved(Msg, WParam, LParam);
        auto* info = reinterpret_cast<MINMAXINFO*>(LParam);
        const HWND wnd = FParentForm->WindowHandle();
        const TRect monitor = bars::MonitorRectForWindow(wnd, false);
        const TRect work = bars::MonitorRectForWindow(wnd, true);
        int w = work.Right - work.Left, h = work.Bottom - work.Top;
        UINT edge = 0, state = 0;
        TRect taskbar;
        if (TaskbarInfoProbe && TaskbarInfoProbe(edge, taskbar, state) && (state & ABS_AUTOHIDE)) {
            if (edge == ABE_LEFT || edge == ABE_RIGHT)
                w -= 2;
            else
                h -= 2;
        }
        info->ptMaxPosition = POINT{work.Left - monitor.Left, work.Top - monitor.Top};
        info->ptMaxSize = POINT{w, h};
        if (FormMaximized()) {
            info->ptMaxTrackSize = POINT{w, h};
            FParentForm->Constraints()->SetMaxWidth(w);
            FParentForm->Constraints()->SetMaxHeight(h);
        } else {
            FParentForm->Constraints()->SetMaxWidth(0);
            FParentForm->Constraints()->SetMaxHeight(0);
        }
        Result = 0;
        return true;
    }
    case WM_SYSCOMMAND:
        if ((WParam & 0xFFF0) == SC_KEYMENU && FActive && FOptions->SystemMenu()) {
            if (LParam == VK_SPACE) {
                bars::TBarView* view = FToolbar->View();
                POINT p{0, 0};
                for (int i = 0; view && i < view->ViewerCount(); ++i)
                    if (view->GetViewer(i)->Item() == FOptions->SystemButton()) {
                        const TRect& b = view->GetViewer(i)->BoundsRect();
                        p = POINT{b.Left, b.Bottom};
                    }
                if (FToolbar->HandleAllocated()) ::ClientToScreen(FToolbar->WindowHandle(), &p);
                PopupSystemMenu(vcl::TPoint(p.x, p.y));
                Result = 0;
                return true;
            }
            if (LParam == 0 && !GetCapture() && !FormHasMenuBar()) {
                Result = 0;
                return true;
            }
        }
        return false;
    case 0x313: {
        const DWORD pos = GetMessagePos();
        PopupSystemMenu(vcl::TPoint(short(LOWORD(pos)), short(HIWORD(pos))));
        Result = 0;
        return true;
    }
    case WM_WINDOWPOSCHANGED:
        Result = FFormSubclass.CallSaved(Msg, WParam, LParam);
        WindowPosChanged();
        return true;
    default: return false;
    }
}

bool TSkCustomTitleBar::AppWndProc(UINT Msg, WPARAM, LPARAM, LRESULT& Result) {
    if (Msg != 0x313 || !FParentForm || !FOptions) return false;
    const DWORD pos = GetMessagePos();
    PopupSystemMenu(vcl::TPoint(short(LOWORD(pos)), short(HIWORD(pos))));
    Result = 0;
    return true;
}

void TSkCustomTitleBar::UpdateRegion() {
    if (FUpdateRegionCalled || !FParentForm || !FParentForm->HandleAllocated()) return;
    FUpdateRegionCalled = true;
    // Maximized, or framed by a skin, the form keeps its plain rectangle; the style engine here gives
    // the caption element no shape of its own, so the rectangle is the region elsewhere too.
    HRGN region = nullptr;
    if (!FormMaximized() && GetSkinManager()->GetSkinType() != sknSkin)
        region = CreateRectRgn(0, 0, FParentForm->Width(), FParentForm->Height());
    SetWindowRgn(FParentForm->WindowHandle(), region, TRUE);
    if (FRegion) DeleteObject(FRegion);
    FRegion = nullptr;   // the window owns the region it was given
    FUpdateRegionCalled = false;
}

void TSkCustomTitleBar::WindowPosChanged() {
    if (IsDestroying(this)) return;
    UpdateRegion();
    InvalidateBackground(false);
    if (FOptions->Maximize()) FOptions->SetupButtonIcon(FOptions->MaximizeButton());
    if (FParentForm && FParentForm->FormStyle() == vcl::fsMDIChild && FDock) FDock->SetVisible(!FormMaximized());
}

void TSkCustomTitleBar::DoDrawBackground(vcl::TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage,
                                         bool& PaintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, ACanvas, ARect, PaintStage, PaintDefault);
}

void TSkCustomTitleBar::DoDrawDockBackground(vcl::TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage,
                                             bool& PaintDefault) {
    TSkCompoundBar::DoDrawDockBackground(ACanvas, ARect, PaintStage, PaintDefault);
    if (PaintStage != pstPrePaint || !PaintDefault) return;
    PaintDefault = false;
    TRect r = ARect;
    const TSkSkinType type = GetSkinManager()->GetSkinType();
    if (type == sknWindows || type == sknDelphiStyle) {
        const vcl::TPoint f = GetFrameSize();
        r = TRect(r.Left - f.X, r.Top - f.Y, r.Right + f.X, r.Bottom + f.Y);
    }
    DrawTitleBarBackground(ACanvas, r, true, true);
}

void TSkCustomTitleBar::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    TSkCompoundBar::MouseDown(Button, Shift, X, Y);
    if (Button != vcl::mbLeft || FFixedSize || !IsActive() || FormMaximized() || Designing(this)) return;
    const TSkSizingHit hit = GetSizingHitInfo(X, Y, Width(), Height(), GetFrameSize());
    if (hit.Edge) SysCommand(SC_SIZE + hit.Edge);
}

void TSkCustomTitleBar::Dispatch(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND: {
        const HDC dc = reinterpret_cast<HDC>(Message.WParam);
        const TRect client = ClientRect();
        vcl::TBitmap buffer;
        buffer.SetSize(client.Right, client.Bottom);
        vcl::TCanvas* c = buffer.Canvas();
        c->Brush()->SetColor(Color());
        c->FillRect(client);
        bool paintDefault = true;
        DoDrawBackground(c, client, pstPrePaint, paintDefault);
        if (paintDefault) {
            const bool maximized = FMouseActive && FormMaximized();
            TRect r = client;
            if (maximized) r = TRect(r.Left - 4, r.Top - 4, r.Right + 4, r.Bottom + 4);
            if (FActive) {
                const vcl::TPoint f = GetFrameSize();
                DrawWindowFrame(c, r, true, f, false);
                const TSkSkinType type = GetSkinManager()->GetSkinType();
                if ((type == sknWindows || type == sknDelphiStyle) && !maximized)
                    DrawTitleBarBackground(c, TRect(r.Left, r.Top, r.Right, r.Top + FDock->Height() + f.Y), true,
                                           true);
            }
        }
        paintDefault = true;
        DoDrawBackground(c, client, pstPostPaint, paintDefault);
        BitBlt(dc, 0, 0, client.Right, client.Bottom, c->Handle(), 0, 0, SRCCOPY);
        Message.Result = 1;
        return;
    }
    case WM_SETCURSOR:
        if (!FFixedSize && IsActive() && !FormMaximized() && !Designing(this) && LOWORD(Message.LParam) == HTCLIENT &&
            vcl::Screen && vcl::Screen->Cursor() == vcl::crDefault) {
            POINT p;
            GetCursorPos(&p);
            ::ScreenToClient(WindowHandle(), &p);
            const TSkSizingHit hit = GetSizingHitInfo(p.x, p.y, Width(), Height(), GetFrameSize());
            if (hit.Edge) {
                ::SetCursor(vcl::Screen->Cursors(hit.Cursor));
                Message.Result = 1;
                return;
            }
        }
        break;
    case vcl::CM_TEXTCHANGED:
        TSkCompoundBar::Dispatch(Message);
        if (FOptions) FOptions->SetCaptionLabel(Caption());
        return;
    case WM_SKINCHANGED:
        RecalcWindowFrame(this);
        Realign();
        InvalidateBackground(true);
        return;
    default: break;
    }
    TSkCompoundBar::Dispatch(Message);
}

} // namespace skins
