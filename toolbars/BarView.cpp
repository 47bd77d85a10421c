// toolbars/BarView.cpp: views: the viewers of one item level kept in step with the item tree,
// lazy layout, painting (single viewers through an off-screen bitmap) and hints.
#include "toolbars/BarAcc.h"
#include "toolbars/BarItem.h"
#include "toolbars/BarPopup.h"

#include "rtl/Math.h"

namespace bars {

TBarView::TBarView(rtl::TComponent* AOwner, TBarView* AParentView, TBarCustomItem* AParentItem,
                   vcl::TWinControl* AWindow, bool AIsToolbar, bool ACustomizing, bool AUsePriorityList)
    : rtl::TComponent(AOwner),
      FCustomizing(ACustomizing),
      FIsPopup(!AIsToolbar),
      FIsToolbar(AIsToolbar),
      FParentView(AParentView),
      FParentItem(AParentItem),
      FUsePriorityList(AUsePriorityList),
      FWindow(AWindow),
      FItemNotifyProc(this, &TBarView::ItemNotification),
      FParentItemNotifyProc(this, &TBarView::ParentItemNotification) {
    if (FParentItem) {
        FParentItem->RegisterNotification(FParentItemNotifyProc);
        FParentItem->FreeNotification(this);
    }
    UpdateCurParentItem();
}

TBarView::~TBarView() {
    CloseChildPopups();
    if (TBarBaseAccObject* object = FAccObjectInstance) {
        FAccObjectInstance = nullptr;
        object->ClientIsDestroying();
        object->Release();
    }
    if (FParentView && FParentView->FIsToolbar) {
        // Only the first popup opened from a bar during one menu loop animates.
        FParentView->State.Include(vsNoAnimation);
        if (FParentView->FOpenViewer) FParentView->Invalidate(FParentView->FOpenViewer);
    }
    if (FCurParentItem) FCurParentItem->UnregisterNotification(FItemNotifyProc);
    if (FParentItem) {
        FParentItem->UnregisterNotification(FParentItemNotifyProc);
        RemoveFreeNotification(FParentItem);
    }
    if (FChevronParentView) RemoveFreeNotification(FChevronParentView);
    FPriorityList.reset();
    FreeViewers();
    if (FParentView) FParentView->NotifyFocusEvent();
}

// ---- which level is shown ----

void TBarView::UpdateCurParentItem() {
    TBarCustomItem* item = LinkedItem(FParentItem);
    if (item == FCurParentItem) return;
    CloseChildPopups();
    if (FCurParentItem) FCurParentItem->UnregisterNotification(FItemNotifyProc);
    FCurParentItem = item;
    if (item) item->RegisterNotification(FItemNotifyProc);
    RecreateAllViewers();
    if (item && !item->ComponentState().Contains(rtl::csDesigning)) InitiateViewerActions();
}

void TBarView::InitiateViewerActions() {
    for (TBarItemViewer* v : std::vector<TBarItemViewer*>(FViewers)) v->Item()->InitiateAction();
}

void TBarView::ParentItemNotification(TBarCustomItem*, bool, TBarItemChangedAction Action, int, TBarCustomItem*) {
    if (Action == tbicSubitemsChanged)
        UpdateCurParentItem();
    else if (Action == tbicSubMenuImagesChanged && FParentItem != FCurParentItem)
        ImagesChanged();
}

void TBarView::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    rtl::TComponent::Notification(AComponent, Operation);
    if (Operation != rtl::opRemove) return;
    if (AComponent == FChevronParentView) FChevronParentView = nullptr;
    if (AComponent == FOpenViewerWindow) {
        FOpenViewer = nullptr;
        FOpenViewerView = nullptr;
        FOpenViewerWindow = nullptr;
    }
    if (AComponent == FParentItem) {
        // The item is going: forget it without calling into it (its listener list goes with it).
        FParentItem = nullptr;
        if (FCurParentItem == AComponent) {
            FCurParentItem = nullptr;
            RecreateAllViewers();
        } else
            UpdateCurParentItem();
        // Last: closing the parent's child popups may free this view.
        if (FParentView) FParentView->CloseChildPopups();
    }
}

void TBarView::SetChevronParentView(TBarView* Value) {
    if (FChevronParentView == Value) return;
    if (FChevronParentView) RemoveFreeNotification(FChevronParentView);
    FChevronParentView = Value;
    if (Value) Value->FreeNotification(this);
}

void TBarView::SetCustomizing(bool Value) {
    if (FCustomizing == Value) return;
    FCustomizing = Value;
    RecreateAllViewers();
}

void TBarView::SetUsePriorityList(bool Value) {
    if (FUsePriorityList == Value) return;
    FUsePriorityList = Value;
    RecreateAllViewers();
}

void TBarView::SetOrientation(TBarViewOrientation Value) {
    if (FOrientation == Value) return;
    FOrientation = Value;
    InvalidatePositions();
}

// ---- building the viewers ----

void TBarView::RecreateAllViewers() {
    CloseChildPopups();
    SetSelected(nullptr);
    InvalidatePositions();
    FPriorityList.reset();
    FreeViewers();
    FInternalViewersAtFront = 0;
    FInternalViewersAtEnd = 0;
    if (TBarCustomItem* item = MDISystemMenuItem())
        FInternalViewersAtFront += InsertViewer(ViewerCount(), item, 0, false, false);
    if (FCurParentItem)
        for (int i = 0; i < FCurParentItem->Count(); ++i)
            InsertViewer(ViewerCount(), FCurParentItem->GetItem(i), 0, true, false);
    if (TBarCustomItem* buttons = MDIButtonsItem())
        for (int i = 0; i < buttons->Count(); ++i)
            FInternalViewersAtEnd += InsertViewer(ViewerCount(), buttons->GetItem(i), 0, false, false);
    if (TBarCustomItem* chevron = ChevronItem())
        FInternalViewersAtEnd += InsertViewer(ViewerCount(), chevron, 0, false, false);
}

int TBarView::InsertViewer(int Index, TBarCustomItem* Item, int GroupLevel, bool AddToPriority, bool AtFront) {
    if (GroupLevel > 10) return 0;
    TBarItemViewer* viewer = Item->GetItemViewerClass(this).Create(this, Item, GroupLevel);
    FViewers.insert(FViewers.begin() + Index, viewer);
    int inserted = 1;
    if (AddToPriority && FUsePriorityList) {
        if (AtFront)
            AddToFrontOfList(FPriorityList, viewer);
        else
            AddToList(FPriorityList, viewer);
    }
    if (!FCustomizing && Item->ItemStyle().Contains(tbisEmbeddedGroup)) {
        TBarCustomItem* linked = LinkedItem(Item);
        for (int i = 0; i < linked->Count(); ++i)
            inserted += InsertViewer(Index + inserted, linked->GetItem(i), GroupLevel + 1, AddToPriority, AtFront);
    }
    return inserted;
}

void TBarView::InsertItemViewers(TBarCustomItem* Sender, int Index, TBarCustomItem* Item) {
    InvalidatePositions();
    const int count = ViewerCount();
    int level = 0, start = 0, limit = count;
    if (Sender != FCurParentItem) {
        // Relayed from an embedded group: find an occurrence of it that lacks the item.
        for (;;) {
            int g = start;
            while (g < count && !(FViewers[g]->Item() == Sender && Sender->ItemStyle().Contains(tbisEmbeddedGroup))) ++g;
            if (g >= count) return;
            level = FViewers[g]->GroupLevel() + 1;
            start = g + 1;
            limit = start;
            while (limit < count && FViewers[limit]->GroupLevel() >= level) ++limit;
            bool present = false;
            for (int i = start; i < limit; ++i)
                if (FViewers[i]->Item() == Item && FViewers[i]->GroupLevel() == level) present = true;
            if (!present) break;
        }
    }
    if (limit == count) limit = std::max(0, limit - FInternalViewersAtEnd);
    TBarCustomItem* parent = Item->Parent();
    if (parent && Index + 1 < parent->Count()) {
        TBarCustomItem* next = parent->GetItem(Index + 1);
        while (start < limit && !(FViewers[start]->Item() == next && FViewers[start]->GroupLevel() == level)) ++start;
    } else
        start = limit;
    const bool atFront = !Item->ComponentState().Contains(rtl::csLoading) && FNewViewersGetHighestPriority;
    InsertViewer(start, Item, level, true, atFront);
}

void TBarView::RemoveItemViewers(TBarCustomItem* Item) {
    InvalidatePositions();
    int i = 0;
    while (i < ViewerCount()) {
        if (FViewers[i]->Item() != Item) {
            ++i;
            continue;
        }
        const int level = FViewers[i]->GroupLevel();
        FreeViewer(i);
        while (i < ViewerCount() && FViewers[i]->GroupLevel() > level) FreeViewer(i);
    }
}

void TBarView::ViewerDestroying(TBarItemViewer* Viewer) {
    if (FSelected == Viewer) SetSelected(nullptr);
    if (FOpenViewer == Viewer) CloseChildPopups();
}

void TBarView::FreeViewer(int Index) {
    TBarItemViewer* viewer = FViewers[Index];
    ViewerDestroying(viewer);
    RemoveFromList(FPriorityList, viewer);
    FViewers.erase(FViewers.begin() + Index);
    delete viewer;
}

void TBarView::FreeViewers() {
    while (!FViewers.empty()) {
        TBarItemViewer* viewer = FViewers.back();
        if (FSelected == viewer) FSelected = nullptr;
        if (FOpenViewer == viewer) CloseChildPopups();
        FViewers.pop_back();
        delete viewer;
    }
}

void TBarView::RecreateViewer(int Index) {
    TBarItemViewer* old = FViewers[Index];
    ViewerDestroying(old);
    TBarItemViewer* viewer = old->Item()->GetItemViewerClass(this).Create(this, old->Item(), old->GroupLevel());
    FViewers[Index] = viewer;
    if (FPriorityList) std::replace(FPriorityList->begin(), FPriorityList->end(), old, viewer);
    delete old;
}

void TBarView::ItemNotification(TBarCustomItem* Sender, bool Relayed, TBarItemChangedAction Action, int Index,
                                TBarCustomItem* Item) {
    switch (Action) {
    case tbicInserted:
        InsertItemViewers(Sender, Index, Item);
        break;
    case tbicDeleting:
        RemoveItemViewers(Item);
        break;
    case tbicSubitemsChanged:
        if (Relayed) RecreateAllViewers();
        break;
    case tbicSubitemsBeginUpdate:
        BeginUpdate();
        break;
    case tbicSubitemsEndUpdate:
        EndUpdate();
        break;
    case tbicInvalidate:
        for (TBarItemViewer* v : FViewers)
            if (v->Item() == Item) Invalidate(v);
        break;
    case tbicInvalidateAndResize:
        InvalidatePositions();
        break;
    case tbicRecreateItemViewers:
        InvalidatePositions();
        for (int i = 0; i < ViewerCount(); ++i)
            if (FViewers[i]->Item() == Item) RecreateViewer(i);
        break;
    case tbicNameChanged:
        return;
    case tbicSubMenuImagesChanged:
        ImagesChanged();
        break;
    }
    TryValidatePositions();
}

void TBarView::ImagesChanged() {
    for (TBarView* v = this; v; v = v->FOpenViewerView) {
        v->InvalidatePositions();
        v->TryValidatePositions();
    }
}

// ---- layout state ----

void TBarView::BeginUpdate() { ++FUpdating; }

void TBarView::EndUpdate() {
    if (--FUpdating == 0) TryValidatePositions();
}

void TBarView::InvalidatePositions() {
    if (!FValidated) return;
    FValidated = false;
    if (FWindow && FWindow->HandleAllocated()) InvalidateRect(FWindow->Handle(), nullptr, TRUE);
}

void TBarView::ValidatePositions() {
    if (!FValidated) UpdatePositions();
}

void TBarView::TryValidatePositions() {
    if (FUpdating > 0) return;
    if (FParentItem) {
        if (FParentItem->ComponentState().Contains(rtl::csLoading)) return;
        if (FParentItem->Owner() && FParentItem->Owner()->ComponentState().Contains(rtl::csLoading)) return;
    }
    ValidatePositions();
}

TPoint TBarView::UpdatePositions() {
    TPoint size;
    LayoutAndResize(size);
    return size;
}

void TBarView::LayoutAndResize(TPoint& NewSize) {
    int lines = 0;
    LayoutViewers(true, FOrientation, FWrapOffset, FChevronOffset, FChevronSize, FBaseSize, NewSize, lines);
    FValidated = true;
    if (FWindow && FWindow->HandleAllocated()) ValidateRect(FWindow->Handle(), nullptr);
    FitWindowToContent(NewSize.X, NewSize.Y);
    if (FWindow && FWindow->HandleAllocated()) {
        // Inside an update more layouts follow: the window is painted once, after them.
        if (FUpdating > 0)
            InvalidateRect(FWindow->Handle(), nullptr, TRUE);
        else
            PaintWindowBuffered(FWindow->Handle());
    }
}

void TBarView::ContentMargins(TBarViewOrientation AOrientation, int& Left, int& Top, int& Right, int& Bottom) {
    if (AOrientation == tbvoFloating) {
        Left = ScaleForDPI(4);
        Top = ScaleForDPI(2);
        Right = ScaleForDPI(4);
        Bottom = ScaleForDPI(1);
    } else
        Left = Top = Right = Bottom = 0;
}

// ---- lookups ----

TBarItemViewer* TBarView::GetViewer(int Index) const {
    if (Index < 0 || Index >= ViewerCount()) throw EBarItemError(String::fromUtf16(STBarItemIndexOutOfRange));
    return FViewers[Index];
}

int TBarView::IndexOf(TBarItemViewer* AViewer) const {
    if (!AViewer) return -1;
    auto it = std::find(FViewers.begin(), FViewers.end(), AViewer);
    return it == FViewers.end() ? -1 : static_cast<int>(it - FViewers.begin());
}

TBarItemViewer* TBarView::Find(TBarCustomItem* Item) const {
    for (TBarItemViewer* v : FViewers)
        if (v->Item() == Item) return v;
    throw EBarItemError(String::fromUtf16(STBarViewerNotFound));
}

TBarItemViewer* TBarView::ViewerFromPoint(const TPoint& P) {
    ValidatePositions();
    for (TBarItemViewer* v : FViewers)
        if (v->Show() && v->BoundsRect().Contains(P)) return v;
    return nullptr;
}

bool TBarView::ContainsView(TBarView* AView) const {
    for (TBarView* v = AView; v; v = v->FParentView)
        if (v == this) return true;
    return false;
}

TBarView* TBarView::RootView() {
    TBarView* v = this;
    while (v->FParentView) v = v->FParentView;
    return v;
}

TBarView* TBarView::ToolbarViewOf() {
    for (TBarView* v = this; v; v = v->FParentView)
        if (v->FIsToolbar) return v;
    return nullptr;
}

vcl::TFont* TBarView::GetFont() { return SharedMenuFont(); }

TBarBaseAccObject* TBarView::GetAccObject() {
    if (!FAccObjectInstance && InitOleAcc()) {
        FAccObjectInstance = new TBarViewAccObject(this);
        FAccObjectInstance->AddRef();
    }
    return FAccObjectInstance;
}

bool TBarView::HandleWMGetObject(vcl::TMessage& Message) {
    if (LONG(Message.LParam) != OBJID_CLIENT || !InitOleAcc()) return false;
    TBarBaseAccObject* object = GetAccObject();
    if (!object) return false;
    Message.Result = LresultFromObject(IID_IAccessible, Message.WParam, object);
    return true;
}

void TBarView::GetOffEdgeControlList(std::vector<vcl::TControl*>& List) {
    for (TBarItemViewer* v : FViewers)
        if (auto* item = dynamic_cast<TBarControlItem*>(v->Item()))
            if (v->OffEdge() && item->Control() && dynamic_cast<vcl::TWinControl*>(item->Control()))
                List.push_back(item->Control());
}

void TBarView::HandleHintShowMessage(vcl::TCMHintShow& Message) {
    vcl::THintInfo* info = Message.HintInfo();
    info->HintStr.clear();
    if (TBarItemViewer* v = ViewerFromPoint(info->CursorPos)) {
        info->CursorRect = v->BoundsRect();
        info->HintStr = v->GetHintText();
        info->HintData = v;
    }
}

// ---- painting ----

void TBarView::Invalidate(TBarItemViewer* AViewer) {
    if (!FValidated || !FWindow || !FWindow->HandleAllocated() || !AViewer->Show() || AViewer->BoundsRect().IsEmpty() ||
        dynamic_cast<TBarControlItem*>(AViewer->Item()))
        return;
    AViewer->State.Include(tbvsInvalidated);
    const TRect& b = AViewer->BoundsRect();
    RECT r{b.Left, b.Top, b.Right, b.Bottom};
    InvalidateRect(FWindow->Handle(), &r, FALSE);
}

void TBarView::DrawSubitems(vcl::TCanvas* ACanvas) {
    ValidatePositions();
    const TRect clip = ACanvas->ClipRect();
    auto paint = [&](TBarItemViewer* v) {
        RECT meet, a = v->BoundsRect(), b = clip;
        if (!v->Show() || !IntersectRect(&meet, &a, &b)) {
            v->State.Exclude(tbvsInvalidated);
            return;
        }
        PaintViewer(v, ACanvas, false);
    };
    const bool inOrder = State.Contains(vsDrawInOrder);
    for (TBarItemViewer* v : std::vector<TBarItemViewer*>(FViewers))
        if (inOrder || v != FSelected) paint(v);
    if (!inOrder && FSelected && IndexOf(FSelected) >= 0) paint(FSelected);
    State.Exclude(vsDrawInOrder);
}

void TBarView::PaintViewer(TBarItemViewer* Viewer, vcl::TCanvas* Canvas, bool Offscreen) {
    ValidatePositions();
    if (Viewer->State.Contains(tbvsInvalidated)) {
        Offscreen = true;
        Viewer->State.Exclude(tbvsInvalidated);
    }
    const TRect bounds = Viewer->BoundsRect();
    if (!Viewer->Show() || bounds.IsEmpty() || dynamic_cast<TBarControlItem*>(Viewer->Item())) return;
    const bool isOpen = Viewer == FOpenViewer;
    const bool isSelected = Viewer == FSelected;
    const bool isPushed = isSelected && (isOpen || (FMouseOverSelected && FCapture));
    const bool toolbar = Viewer->IsToolbarStyle();

    const HDC dc = Canvas->Handle();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, bounds.Left, bounds.Top, bounds.Right, bounds.Bottom);
    RECT box{};
    if (GetClipBox(dc, &box) == NULLREGION || IsRectEmpty(&box)) {
        RestoreDC(dc, saved);
        return;
    }
    vcl::TCanvas offscreen;
    HBITMAP bitmap = nullptr;
    HDC memDC = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    vcl::TCanvas* target = Canvas;
    if (Offscreen) {
        bitmap = CreateCompatibleBitmap(dc, bounds.Width(), bounds.Height());
        memDC = CreateCompatibleDC(dc);
        oldBitmap = SelectObject(memDC, bitmap);
        SetWindowOrgEx(memDC, bounds.Left, bounds.Top, nullptr);
        if (FWindow && FWindow->HandleAllocated())
            SendMessageW(FWindow->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC), 0);
        SetWindowOrgEx(memDC, 0, 0, nullptr);
        offscreen.SetHandle(memDC);
        target = &offscreen;
    } else {
        POINT org;
        GetWindowOrgEx(dc, &org);
        SetWindowOrgEx(dc, org.x - bounds.Left, org.y - bounds.Top, nullptr);
        SetBrushOrgEx(dc, bounds.Left, bounds.Top, nullptr);
    }

    if (toolbar || !isSelected)
        target->Brush()->SetStyle(vcl::bsClear);
    else
        target->Brush()->SetColor(IsFlatMenuStyleOn() ? vcl::clMenuHighlight : vcl::clHighlight);
    if (vcl::TFont* font = GetFont()) target->SetFont(font);
    bool useDisabledShadow = false;
    vcl::TColor textColor;
    if (Viewer->Item()->Enabled()) {
        textColor = (isSelected && !toolbar) ? vcl::clHighlightText : toolbar ? vcl::clBtnText : vcl::clMenuText;
    } else {
        textColor = vcl::clGrayText;
        if (toolbar)
            useDisabledShadow = true;
        else if (FWindow) {
            const COLORREF windowColor = COLORREF(vcl::ColorToRGB(FWindow->Color()));
            useDisabledShadow = windowColor == GetSysColor(COLOR_GRAYTEXT) ||
                                (!isSelected && windowColor == GetSysColor(COLOR_BTNFACE));
        }
    }
    target->Font()->SetColor(textColor);
    Viewer->Paint(target, TRect(0, 0, bounds.Width(), bounds.Height()), isSelected, isPushed, useDisabledShadow);

    if (Offscreen) {
        offscreen.SetHandle(nullptr);
        SetWindowOrgEx(memDC, 0, 0, nullptr);
        BitBlt(dc, bounds.Left, bounds.Top, bounds.Width(), bounds.Height(), memDC, 0, 0, SRCCOPY);
        SelectObject(memDC, oldBitmap);
        DeleteDC(memDC);
        DeleteObject(bitmap);
    }
    RestoreDC(dc, saved);
    // The restored DC has lost the brush, font and background mode the canvas set while the viewer
    // painted; the canvas must select them again, or the next caption is drawn on an opaque background.
    Canvas->Refresh();
}

} // namespace bars
