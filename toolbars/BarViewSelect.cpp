// toolbars/BarViewSelect.cpp: the interactive side of a view: selection and mouse-over, moving the
// selection by keys and accelerators, priorities, child popups and their timers, the menu keys, ending
// the modal menu loop, capture, scrolling a tall popup, accelerator underlines and focus events.
#include "toolbars/BarItem.h"
#include "toolbars/BarModal.h"

namespace bars {

namespace {

constexpr UINT ViewTimerBase = 9000;

bool IsSelectableViewer(TBarItemViewer* V) {
    return (V->Show() || V->Clipped()) && V->Item()->Visible() && V->Item()->ItemStyle().Contains(tbisSelectable);
}

} // namespace

// ---- selection ----

void TBarView::Select(TBarItemViewer* Value, bool ViaMouse) {
    TBarItemViewer* old = FSelected;
    const bool modal = State.Contains(vsModal);
    if (Value != old) {
        if (Value && FParentView && FParentView->FOpenViewer && FParentView->FOpenViewer != FParentView->FSelected) {
            // The item that opened this popup stays highlighted. A popup selects its first item before
            // its parent knows it as open: that must not clear the parent's selection. Through the
            // parent's Select, so its select and focus events see the change.
            FParentView->Select(FParentView->FOpenViewer, false);
            FParentView->StopTimer(1);
            FParentView->StopTimer(0);
        }
        if (modal) {
            if (FIsToolbar || !ViaMouse) {
                StopTimer(1);
                if (Value != FOpenViewer) CloseChildPopups();
            } else if (FOpenViewer && !(FActiveTimers & (1u << 1)))
                StartTimer(1, static_cast<UINT>(GetMenuShowDelay()));  // the open submenu closes after the delay
        }
        CancelCapture();
        if (old) old->SelectionLeft();
        FSelected = Value;
        FSelectedViaMouse = ViaMouse;
    }
    bool over = false;
    if (Value && FWindow) {
        const TPoint p = MessagePosAsPoint();
        if (vcl::FindDragTarget(p, true) == FWindow) {
            POINT client = p;
            ::ScreenToClient(FWindow->Handle(), &client);
            over = ViewerFromPoint(TPoint(client)) == Value;
            if (FCapture)
                over = over && Value->PointInButtonPart(client.x - Value->BoundsRect().Left,
                                                        client.y - Value->BoundsRect().Top);
        }
    }
    if (Value == old) {
        if (over != FMouseOverSelected) {
            FMouseOverSelected = over;
            if (Value && FCapture && Value->Item()->ItemStyle().Contains(tbisRedrawOnMouseOverChange)) Invalidate(Value);
        }
        return;
    }
    FMouseOverSelected = over;
    if (old && old->Item()->ItemStyle().Contains(tbisRedrawOnSelChange)) Invalidate(old);
    if (Value) {
        if (Value->Item()->ItemStyle().Contains(tbisRedrawOnSelChange)) Invalidate(Value);
        Value->SelectionEntered();
    }
    NotifyFocusEvent();
    if (!modal) return;
    if (FIsPopup) {
        StopTimer(0);
        if (ViaMouse && Value && Value->Item()->ItemStyle().Contains(tbisSubmenu))
            StartTimer(0, static_cast<UINT>(GetMenuShowDelay()));  // the submenu opens after the delay
    } else if (Value) {
        if (ViaMouse && FParentView) State.Include(vsDropDownMenus);
        if (State.Contains(vsDropDownMenus) && (ViaMouse || !Value->Item()->ItemStyle().Contains(tbisNoAutoOpen)))
            OpenChildPopup(!ViaMouse);
    }
}

void TBarView::UpdateSelection(const TPoint& P, bool AllowNewSelection) {
    ValidatePositions();
    const bool hasPosition = P.X != NoPosition;
    TBarItemViewer* candidate;
    if (FCapture) {
        candidate = FSelected;
        State.Include(vsMouseInWindow);
    } else {
        candidate = State.Contains(vsModal) ? FSelected : nullptr;
        if (hasPosition && FWindow && vcl::FindDragTarget(P, true) == FWindow) {
            State.Include(vsMouseInWindow);
            if (FIsPopup) candidate = nullptr;
            if (AllowNewSelection || FSelected) {
                POINT client = P;
                ::ScreenToClient(FWindow->Handle(), &client);
                if (TBarItemViewer* v = ViewerFromPoint(TPoint(client))) candidate = v;
            }
        } else {
            const bool wasIn = State.Contains(vsMouseInWindow);
            State.Exclude(vsMouseInWindow);
            if (FIsPopup && wasIn &&
                !(FOpenViewer && candidate && candidate->Item()->ItemStyle().Contains(tbisSubmenu)))
                candidate = nullptr;
        }
    }
    Select(candidate, true);
    if (State.Contains(vsModal) && State.Contains(vsMouseInWindow) && !FCapture && hasPosition && FWindow) {
        POINT client = P;
        ::ScreenToClient(FWindow->Handle(), &client);
        if (client.x >= 0 && client.y >= 0 && client.x < FWindow->ClientWidth() && client.y < FWindow->ClientHeight()) {
            if (FShowUpArrow && client.y < PopupScrollArrowHeight()) {
                StopTimer(3);
                if (!(FActiveTimers & (1u << 2))) StartTimer(2, 100);
            } else if (FShowDownArrow && client.y >= FWindow->ClientHeight() - PopupScrollArrowHeight()) {
                StopTimer(2);
                if (!(FActiveTimers & (1u << 3))) StartTimer(3, 100);
            } else {
                StopTimer(2);
                StopTimer(3);
            }
        }
    }
}

// ---- moving the selection ----

TBarItemViewer* TBarView::NextSelectable(TBarItemViewer* CurViewer, bool GoForward) {
    ValidatePositions();
    const int count = ViewerCount();
    if (count == 0) return nullptr;
    int i = IndexOf(CurViewer);
    for (int n = 0; n < count; ++n) {
        if (GoForward)
            i = (i + 1) % count;
        else
            i = i <= 0 ? count - 1 : i - 1;
        if (IsSelectableViewer(FViewers[i])) return FViewers[i];
    }
    return nullptr;
}

TBarItemViewer* TBarView::FirstSelectable() {
    TBarItemViewer* first = NextSelectable(nullptr, true);
    TBarItemViewer* v = first;
    while (v && v->Item()->ItemStyle().Contains(tbisDontSelectFirst)) {
        v = NextSelectable(v, true);
        if (v == first) break;
    }
    return v;
}

TBarItemViewer* TBarView::NextSelectableWithAccel(TBarItemViewer* CurViewer, char16_t Key, bool RequirePrimaryAccel,
                                                  bool& IsOnlyItemWithAccel) {
    ValidatePositions();
    IsOnlyItemWithAccel = false;
    const int count = ViewerCount();
    if (count == 0) return nullptr;
    const char16_t key = CharToLower(Key);
    const int start = IndexOf(CurViewer);
    auto isCandidate = [](TBarItemViewer* v) {
        return (v->Show() || v->Clipped()) && v->Item()->ItemStyle().Contains(tbisSelectable) && v->Item()->Visible() &&
               v->ShowsCaption() && !v->CaptionText().isEmpty();
    };
    for (int pass = 1; pass <= 4; ++pass) {
        if (pass >= 3 && (RequirePrimaryAccel || Key == u' ')) break;
        const bool wantEnabled = pass == 1 || pass == 3;
        auto matches = [&](TBarItemViewer* v) {
            if (!isCandidate(v) || v->Item()->Enabled() != wantEnabled) return false;
            const String caption = v->CaptionText();
            const char16_t accel = FindAccelChar(caption);
            if (pass <= 2) return accel != 0 && CharToLower(accel) == key;
            return accel == 0 && CharToLower(caption[0].unicode()) == key;
        };
        // One round after `from`, wrapping; -1 when nothing matches.
        auto round = [&](int from) {
            for (int n = 1; n <= count; ++n) {
                const int i = ((from + n) % count + count) % count;
                if (matches(FViewers[i])) return i;
            }
            return -1;
        };
        const int found = round(start < 0 ? -1 : start);
        if (found < 0) continue;
        IsOnlyItemWithAccel = !wantEnabled || round(found) == found;
        return FViewers[found];
    }
    return nullptr;
}

// ---- priorities ----

void TBarView::GivePriority(TBarItemViewer* AViewer) {
    if (FChevronParentView) {
        // A command used from the chevron moves back onto the bar.
        const int j = IndexOf(AViewer) + FChevronParentView->FInternalViewersAtFront;
        if (j >= 0 && j < FChevronParentView->ViewerCount())
            FChevronParentView->GivePriority(FChevronParentView->FViewers[j]);
        return;
    }
    if (FPriorityList) {
        auto it = std::find(FPriorityList->begin(), FPriorityList->end(), AViewer);
        if (it != FPriorityList->end()) {
            FPriorityList->erase(it);
            FPriorityList->insert(FPriorityList->begin(), AViewer);
            if (!FValidated || AViewer->OffEdge()) UpdatePositions();
        }
    }
    if (FParentView && FParentView->FOpenViewer) FParentView->GivePriority(FParentView->FOpenViewer);
}

TBarItemViewer* TBarView::HighestPriorityViewer() {
    ValidatePositions();
    const std::vector<TBarItemViewer*>& order = FPriorityList ? *FPriorityList : FViewers;
    for (TBarItemViewer* v : order)
        if (v->Show() && !v->Item()->ItemStyle().Contains(tbisSeparator)) return v;
    return nullptr;
}

// ---- child popups ----

bool TBarView::OpenChildPopup(bool SelectFirstItem) {
    StopTimer(1);
    StopTimer(0);
    if (FSelected != FOpenViewer) {
        CloseChildPopups();
        if (FSelected && FSelected->Item()->Enabled() && FSelected->Item()->ItemStyle().Contains(tbisSubmenu))
            FSelected->Item()->CreatePopup(this, FSelected, !FIsToolbar, SelectFirstItem, false, TPoint(0, 0), tbpaLeft);
    }
    return FOpenViewer != nullptr;
}

void TBarView::CloseChildPopups() {
    if (FOpenViewerView) FOpenViewerView->CloseChildPopups();
    StopTimer(1);
    TBarPopupWindow* window = FOpenViewerWindow;
    TBarItemViewer* viewer = FOpenViewer;
    FOpenViewer = nullptr;
    FOpenViewerView = nullptr;
    FOpenViewerWindow = nullptr;
    if (window) {
        RemoveFreeNotification(window);
        delete window;
    }
    if (viewer && IndexOf(viewer) >= 0) Invalidate(viewer);
}

void TBarView::CancelChildPopups() {
    if (FIsToolbar) State.Exclude(vsDropDownMenus);
    CloseChildPopups();
}

// ---- timers ----

bool TBarView::IsTimerWindow() const {
    return dynamic_cast<TBarPopupWindow*>(FWindow) && FWindow->HandleAllocated();
}

void TBarView::StartTimer(int N, UINT Interval) {
    StopTimer(N);
    if (!IsTimerWindow()) return;
    if (SetTimer(FWindow->Handle(), ViewTimerBase + static_cast<UINT>(N), Interval, nullptr) && N <= 7)
        FActiveTimers |= static_cast<uint8_t>(1u << N);
}

void TBarView::StopTimer(int N) {
    if (N > 7 || !(FActiveTimers & (1u << N))) return;
    if (FWindow && FWindow->HandleAllocated()) KillTimer(FWindow->Handle(), ViewTimerBase + static_cast<UINT>(N));
    FActiveTimers &= static_cast<uint8_t>(~(1u << N));
}

void TBarView::StopAllTimers() {
    for (int n = 0; n <= 3; ++n) StopTimer(n);
}

// ---- keys ----

void TBarView::SelectNextInView(TBarView* V, bool GoForward) {
    V->SetSelected(V->NextSelectable(V->FSelected, GoForward));
    V->ScrollSelectedIntoView();
}

void TBarView::KeyDown(WORD& Key, vcl::TShiftState) {
    TBarView* tv = ToolbarViewOf();
    auto isVertical = [](TBarView* v) { return v->FOrientation == tbvoVertical; };
    switch (Key) {
    case VK_TAB:
        SetSelected(NextSelectable(FSelected, GetKeyState(VK_SHIFT) >= 0));
        ScrollSelectedIntoView();
        break;
    case VK_RETURN:
        ExecuteSelected(true);
        break;
    case VK_ESCAPE:
        if (FParentView)
            FParentView->CancelChildPopups();  // back one level
        else
            EndModal();
        break;
    case VK_MENU:
    case VK_F10:
        EndModal();
        break;
    case VK_HOME:
    case VK_END:
        SetSelected(NextSelectable(nullptr, Key == VK_HOME));
        ScrollSelectedIntoView();
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if (tv == this && isVertical(this))
            OpenChildPopup(true);
        else if (Key == VK_LEFT) {
            if (!tv || isVertical(tv)) {
                if (FParentView) FParentView->CancelChildPopups();
            } else if (tv == this || tv == FParentView)
                SelectNextInView(tv, false);
            else if (FParentView)
                FParentView->CloseChildPopups();
        } else if ((tv == this || !OpenChildPopup(true)) && tv && !isVertical(tv))
            SelectNextInView(tv, true);
        break;
    case VK_UP:
    case VK_DOWN:
        if (tv == this && !isVertical(this))
            OpenChildPopup(true);
        else
            SelectNextInView(this, Key == VK_DOWN);
        break;
    case VK_F1:
        for (TBarView* v = this; v; v = v->FParentView)
            if (v->FSelected && v->FSelected->Item()->HelpContext() != 0) {
                EndModalWithHelp(v->FSelected->Item()->HelpContext());
                break;
            }
        break;
    default:
        return;
    }
    Key = 0;
}

// ---- executing and ending ----

void TBarView::ExecuteSelected(bool AGivePriority) {
    if (FSelected && FSelected->Item()->Enabled()) {
        const auto style = FSelected->Item()->ItemStyle();
        if (!style.Contains(tbisCombo) && OpenChildPopup(true)) return;
        if (style.Contains(tbisSelectable)) {
            FSelected->Execute(AGivePriority);
            return;
        }
    }
    EndModal();
}

void TBarView::EndModal() { RootView()->FDoneActionData.DoneAction = tbdaCancel; }

void TBarView::EndModalWithClick(TBarItemViewer* AViewer) {
    TBarDoneActionData& data = RootView()->FDoneActionData;
    data.ClickItem = AViewer->Item();
    data.Sound = AViewer->View()->IsPopup();
    data.DoneAction = tbdaClickItem;
}

void TBarView::EndModalWithHelp(int AContextID) {
    TBarDoneActionData& data = RootView()->FDoneActionData;
    data.ContextID = AContextID;
    data.DoneAction = tbdaHelpContext;
}

void TBarView::EndModalWithSystemMenu(HWND AWnd, WORD AKey) {
    TBarDoneActionData& data = RootView()->FDoneActionData;
    data.Wnd = AWnd;
    data.Key = AKey;
    data.DoneAction = tbdaOpenSystemMenu;
}

bool TBarView::IsModalEnding() { return RootView()->FDoneActionData.DoneAction != tbdaNone; }

void TBarView::CancelMode() {
    EndModal();
    TBarView* v = this;
    while (v->FOpenViewerView) v = v->FOpenViewerView;
    for (; v; v = v->FParentView) {
        v->StopAllTimers();
        if (dynamic_cast<TBarPopupWindow*>(v->FWindow) && v->FWindow->HandleAllocated())
            ShowWindow(v->FWindow->Handle(), SW_HIDE);
    }
}

// ---- capture and scrolling ----

void TBarView::CancelCapture() {
    if (!FCapture) return;
    FCapture = false;
    LastPos.X = NoPosition;  // the menu loop reads the mouse position again
    if (FSelected) FSelected->CaptureLost();
}

void TBarView::Scroll(bool Down) {
    ValidatePositions();
    const int arrow = PopupScrollArrowHeight();
    bool found = false;
    int edge = 0;
    for (TBarItemViewer* v : FViewers) {
        if (!v->Clipped() || v->Item()->ItemStyle().Contains(tbisSeparator)) continue;
        const TRect& b = v->BoundsRect();
        if (Down && b.Bottom > FMaxHeight - arrow && (!found || b.Bottom < edge)) {
            edge = b.Bottom;
            found = true;
        } else if (!Down && b.Top < arrow && (!found || b.Top > edge)) {
            edge = b.Top;
            found = true;
        }
    }
    if (!found) return;
    FScrollOffset += Down ? edge + arrow - FMaxHeight : edge - arrow;
    UpdatePositions();
}

void TBarView::ScrollSelectedIntoView() {
    ValidatePositions();
    if (!FSelected || !FSelected->Clipped()) return;
    const int arrow = PopupScrollArrowHeight();
    const TRect& b = FSelected->BoundsRect();
    if (b.Top < arrow)
        FScrollOffset += b.Top - arrow;
    else if (b.Bottom > FMaxHeight - arrow)
        FScrollOffset += b.Bottom - (FMaxHeight - arrow);
    UpdatePositions();
}

// ---- underlines and focus events ----

void TBarView::SetAccelsVisibility(bool Show) {
    const bool effective = Show || !Style.Contains(vsUseHiddenAccels) || AlwaysUnderlineAccelKeys();
    if (effective == State.Contains(vsShowAccels)) return;
    if (effective)
        State.Include(vsShowAccels);
    else
        State.Exclude(vsShowAccels);
    if (FWindow && FWindow->HandleAllocated() && IsWindowVisible(FWindow->Handle()))
        for (TBarItemViewer* v : FViewers)
            if (v->ShowsCaption() && FindAccelChar(v->CaptionText()) != 0) Invalidate(v);
}

void TBarView::NotifyFocusEvent() {
    if (!State.Contains(vsModal) || !RootView()->State.Contains(vsModal) || IsModalEnding()) return;
    if (!FWindow || !FWindow->HandleAllocated() || !IsWindowVisible(FWindow->Handle())) return;
    LONG child = 0;
    if (FSelected && FSelected->IsAccessible()) {
        for (TBarItemViewer* v : FViewers) {
            if (v->IsAccessible()) ++child;
            if (v == FSelected) break;
        }
    } else if (FParentView) {
        FParentView->NotifyFocusEvent();
        return;
    }
    NotifyWinEvent(EVENT_OBJECT_FOCUS, FWindow->Handle(), OBJID_CLIENT, child);
}

} // namespace bars
