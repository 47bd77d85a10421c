// skins/SkStatusBar.cpp: the compound items control and bar, and the status bar.
#include "skins/SkStatusBar.h"

#include "skins/SkItemPaint.h"
#include "skins/SkTitleBar.h"

#include <algorithm>

namespace skins {

using bars::TBarCustomItem;
using bars::TBarItemViewer;
using vcl::TCanvas;

namespace {

bool Designing(const rtl::TComponent* C) { return C->ComponentState().Contains(rtl::csDesigning); }
bool IsDestroying(const rtl::TComponent* C) { return C->ComponentState().Contains(rtl::csDestroying); }
TSkSkinType SkinType() { return GetSkinManager()->GetSkinType(); }

TSkToolbar* MakePlainToolbar(rtl::TComponent* AOwner) { return new TSkToolbar(AOwner); }

} // namespace

// ---------------------------------------------------------------------------------------------------
// TSkCompoundItemsControl

TSkCompoundItemsControl::TSkCompoundItemsControl(rtl::TComponent* AOwner, TSkToolbarFactory MakeToolbar)
    : TSkCustomControl(AOwner) {
    FDock = new TSkDock(this);
    FDock->SetParent(this);
    FDock->SetAllowDrag(false);   // the one toolbar stays where the control puts it
    // The dock takes no bar but this control's own.
    FDock->OnRequestDock = [this](rtl::TObject*, bars::TBarCustomDockableWindow* Bar, bool& Accept) {
        Accept = Bar == FToolbar;
    };
    FToolbar = (MakeToolbar ? MakeToolbar : &MakePlainToolbar)(this);
    FToolbar->SetCompoundToolbar(true);
    FToolbar->SetCustomizable(false);
    FToolbar->SetBorderStyle(vcl::bsNone);
    FToolbar->SetDockMode(bars::dmCannotFloatOrChangeDocks);
    FToolbar->SetDragHandleStyle(bars::dhNone);
    FToolbar->SetStretch(true);
    FToolbar->SetShrinkMode(bars::tbsmNone);
    FToolbar->SetShowCaption(false);
    FToolbar->SetParent(FDock);
    GetSkinManager()->AddSkinNotification(this);
}

TSkCompoundItemsControl::~TSkCompoundItemsControl() {
    GetSkinManager()->RemoveSkinNotification(this);
    delete FToolbar;
    FToolbar = nullptr;
    delete FDock;
    FDock = nullptr;
}

TBarCustomItem* TSkCompoundItemsControl::GetRootItems() { return Items(); }

void TSkCompoundItemsControl::InvalidateBackground(bool InvalidateChildren) {
    if (IsDestroying(this) || !HandleAllocated()) return;
    RedrawWindow(WindowHandle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | (InvalidateChildren ? RDW_ALLCHILDREN : 0));
}

void TSkCompoundItemsControl::SetName(const rtl::String& Value) {
    TSkCustomControl::SetName(Value);
    if (FToolbar) FToolbar->SetName(Value.isEmpty() ? rtl::String() : Value + QStringLiteral("Toolbar"));
}

void TSkCompoundItemsControl::CreateParams(vcl::TCreateParams& Params) {
    TSkCustomControl::CreateParams(Params);
    if (Designing(this)) return;
    Params.Style |= WS_CLIPCHILDREN;
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TSkCompoundItemsControl::Loaded() {
    TSkCustomControl::Loaded();
    // Controls wrapped by items come home to the inner toolbar.
    TBarCustomItem* root = GetRootItems();
    for (int i = 0; root && i < root->Count(); ++i)
        if (auto* item = dynamic_cast<bars::TBarControlItem*>(root->GetItem(i)))
            if (vcl::TControl* control = item->Control(); control && control->Parent() != FToolbar)
                control->SetParent(FToolbar);
}

void TSkCompoundItemsControl::Dispatch(vcl::TMessage& Message) {
    if (Message.Msg == WM_SKINCHANGED) {
        InvalidateBackground(true);
        return;
    }
    TSkCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------------
// TSkCompoundBar

TSkCompoundBar::TSkCompoundBar(rtl::TComponent* AOwner, TSkToolbarFactory MakeToolbar)
    : TSkCompoundItemsControl(AOwner, MakeToolbar) {
    SetHeight(FDock->Height());
    FDock->OnResize = [this](rtl::TObject*) {
        if (FDock->Height() != Height()) SetHeight(FDock->Height());
    };
    FDock->OnDrawBackground = TSkDrawEvent(this, &TSkCompoundBar::DockDrawBackground);
    // The inner toolbar shows the dock's background through it.
    FToolbar->OnDrawBackground = [](rtl::TObject*, TCanvas*, TRect, TSkPaintStage Stage, bool& PaintDefault) {
        if (Stage == pstPrePaint) PaintDefault = false;
    };
}

void TSkCompoundBar::DockDrawBackground(rtl::TObject*, TCanvas* ACanvas, TRect ARect, TSkPaintStage PaintStage,
                                        bool& PaintDefault) {
    if (PaintStage != pstPrePaint) return;
    ACanvas->Brush()->SetColor(vcl::clBtnFace);
    DoDrawDockBackground(ACanvas, ARect, pstPrePaint, PaintDefault);
    bool post = true;
    DoDrawDockBackground(ACanvas, ARect, pstPostPaint, post);
}

void TSkCompoundBar::DoDrawDockBackground(TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage,
                                          bool& PaintDefault) {
    if (OnDrawDockBackground) OnDrawDockBackground(this, ACanvas, ARect, PaintStage, PaintDefault);
}

// ---------------------------------------------------------------------------------------------------
// TSkStatusToolbar

TSkStatusToolbar::TSkStatusToolbar(rtl::TComponent* AOwner) : TSkToolbar(AOwner) {}

void TSkStatusToolbar::SetSizeGrip(bool Value) {
    if (FSizeGrip == Value) return;
    FSizeGrip = Value;
    if (auto* bar = dynamic_cast<TSkStatusBar*>(Owner())) bar->InvalidateBackground(true);
    RightAlignItems();
}

vcl::TCustomForm* TSkStatusToolbar::Form() { return vcl::GetParentForm(this); }

TRect TSkStatusToolbar::GetGripRect() {
    vcl::TCustomForm* form = Form();
    bars::TBarDock* dock = CurrentDock();
    if (IsDestroying(this) || !FSizeGrip || !Docked() || !dock || !form || !form->HandleAllocated()) return TRect();
    TRect bounds;
    const vcl::TWindowState state = GetWindowNormalBounds(form, bounds);
    bool shows;
    auto* title = FindParentOfClass<TSkCustomTitleBar>(this);
    if (title && title->Active() && !title->FixedSize())
        shows = !(state == vcl::wsMinimized || (state == vcl::wsMaximized && title->MouseActive()));
    else
        shows = state == vcl::wsNormal && (GetWindowLongW(form->WindowHandle(), GWL_STYLE) & WS_THICKFRAME);
    if (!shows) return TRect();
    TRect r = dock->ClientRect();
    r.Left = std::max(r.Left, r.Right - GetSystemMetrics(SM_CXVSCROLL));
    return r;
}

bool TSkStatusToolbar::NeedsSeparatorRepaint() {
    if (!dynamic_cast<TSkCustomStatusBar*>(Owner())) return false;
    const TSkSkinType type = SkinType();
    return type == sknNone || (type == sknSkin && GetCurrentSkin()->OfficeStatusBar());
}

TColor TSkStatusToolbar::GetItemsTextColor(TSkSkinStatesType State) {
    if (dynamic_cast<TSkCustomStatusBar*>(Owner())) return GetCurrentSkin()->GetTextColor(skncStatusBar, State);
    return vcl::clNone;
}

int TSkStatusToolbar::GetRightAlignMargin() {
    const TRect grip = GetGripRect();
    return grip.IsEmpty() ? 4 : grip.Right - grip.Left;
}

void TSkStatusToolbar::DoItemNotification(TBarCustomItem* Ancestor, bool Relayed, bars::TBarItemChangedAction Action,
                                          int Index, TBarCustomItem* Item) {
    TSkToolbar::DoItemNotification(Ancestor, Relayed, Action, Index, Item);
    if (Action != bars::tbicInvalidateAndResize || IsDestroying(this) || ComponentState().Contains(rtl::csReading) ||
        State().Contains(tstResizing) || IsItemMoving())
        return;
    if (NeedsSeparatorRepaint())
        if (auto* bar = dynamic_cast<TSkCustomStatusBar*>(Owner())) bar->InvalidateBackground(true);
}

bool TSkStatusToolbar::InGrip(POINT ScreenPoint) {
    bars::TBarDock* dock = CurrentDock();
    const TRect grip = GetGripRect();
    if (!dock || grip.IsEmpty() || !dock->HandleAllocated()) return false;
    ::ScreenToClient(dock->WindowHandle(), &ScreenPoint);
    return grip.Contains(TPoint(ScreenPoint.x, ScreenPoint.y));
}

void TSkStatusToolbar::StartGripSizing() {
    ReleaseCapture();
    SendMessageW(Form()->WindowHandle(), WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, 0);
}

void TSkStatusToolbar::MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    if (Button == vcl::mbLeft && !Designing(this) && HandleAllocated()) {
        POINT p{X, Y};
        ::ClientToScreen(WindowHandle(), &p);
        if (InGrip(p)) {
            StartGripSizing();
            return;
        }
    }
    TSkToolbar::MouseDown(Button, Shift, X, Y);
}

void TSkStatusToolbar::Dispatch(vcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCLBUTTONDOWN: {
        const DWORD pos = GetMessagePos();
        if (InGrip(POINT{short(LOWORD(pos)), short(HIWORD(pos))})) {
            StartGripSizing();
            return;
        }
        break;
    }
    case WM_SETCURSOR: {
        POINT p;
        if (LOWORD(Message.LParam) == HTCLIENT && vcl::Screen->Cursor() == vcl::crDefault && GetCursorPos(&p) &&
            InGrip(p)) {
            ::SetCursor(vcl::Screen->Cursors(vcl::crSizeNWSE));
            Message.Result = 1;
            return;
        }
        break;
    }
    default: break;
    }
    TSkToolbar::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------------
// TSkCustomStatusBar

namespace {
TSkToolbar* MakeStatusToolbar(rtl::TComponent* AOwner) { return new TSkStatusToolbar(AOwner); }
} // namespace

TSkCustomStatusBar::TSkCustomStatusBar(rtl::TComponent* AOwner) : TSkCompoundBar(AOwner, &MakeStatusToolbar) {
    SetAlign(vcl::alBottom);
}

bool TSkCustomStatusBar::CanResize(int& NewWidth, int& NewHeight) {
    if (FDock && NewHeight != FDock->Height()) return false;
    return TSkCompoundBar::CanResize(NewWidth, NewHeight);
}

void TSkCustomStatusBar::DoDrawDockBackground(TCanvas* ACanvas, const TRect& ARect, TSkPaintStage PaintStage,
                                              bool& PaintDefault) {
    TSkCompoundBar::DoDrawDockBackground(ACanvas, ARect, PaintStage, PaintDefault);
    if (PaintStage != pstPrePaint || !PaintDefault) return;
    PaintDefault = false;
    TRect grip = StatusToolbar()->GetGripRect();
    if (ARect.Left == -2 && ARect.Top == -2) grip.Offset(-2, -2);
    DrawStatusBarBackground(ACanvas, ARect, grip);
    if (StatusToolbar()->NeedsSeparatorRepaint()) DrawSeparators(ACanvas, ARect);
}

void TSkCustomStatusBar::DrawSeparators(TCanvas* ACanvas, const TRect& R) {
    const HDC dc = ACanvas->Handle();
    const int saved = SaveDC(dc);
    const TSkSkinType type = SkinType();
    bars::TBarView* view = FToolbar->View();
    for (int i = 0; view && i < view->ViewerCount(); ++i) {
        TBarItemViewer* v = view->GetViewer(i);
        auto* separator = dynamic_cast<bars::TBarSeparatorItem*>(v->Item());
        if (!separator || separator->Blank() || v->BoundsRect().IsEmpty()) continue;
        TRect s = v->BoundsRect();
        s.Offset(R.Left + 2, R.Top + 2);
        s.Top = R.Top;
        s.Bottom = R.Bottom;
        const int x = (s.Left + s.Right) / 2;
        s.Left = x - 2;
        s.Right = x + 2;
        if (type != sknNone) {
            if (R.Top == 0) ++s.Top;
            ACanvas->Pen()->SetColor(vcl::clWindow);
            for (int column : {s.Left, s.Right - 1}) {
                ACanvas->MoveTo(column, s.Top);
                ACanvas->LineTo(column, s.Bottom);
            }
            ExcludeClipRect(dc, s.Left, s.Top, s.Right, s.Bottom);
        } else {
            ACanvas->Brush()->SetColor(vcl::clBtnFace);
            ACanvas->FillRect(s);
            ACanvas->Pen()->SetColor(vcl::clWindow);
            ACanvas->MoveTo(s.Left, s.Top);
            ACanvas->LineTo(s.Left, s.Bottom);
            ACanvas->Pen()->SetColor(vcl::clBtnShadow);
            ACanvas->MoveTo(s.Right - 1, s.Top);
            ACanvas->LineTo(s.Right - 1, s.Bottom);
        }
    }
    if (type == sknSkin) {
        ACanvas->Brush()->SetColor(vcl::clWindow);
        ACanvas->FrameRect(TRect(R.Left, R.Top + 1, R.Right, R.Bottom));
    }
    RestoreDC(dc, saved);
}

void TSkCustomStatusBar::Dispatch(vcl::TMessage& Message) {
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return;
    }
    TSkCompoundBar::Dispatch(Message);
}

} // namespace skins
