// toolbars/BarModal.cpp: the modal menu loop, the two ways into it (an item's popup menu and a
// toolbar's menu mode) and the done action carried out after it.
#include "toolbars/BarModal.h"
#include "toolbars/BarPopup.h"

#include "vcl/Forms.h"

namespace bars {

TPoint LastPos;

namespace {

constexpr UINT ViewTimerFirst = 9000;
constexpr UINT ViewTimerLast = 9003;

TBarView* InnermostView(TBarView* Root) {
    TBarView* v = Root;
    while (v->OpenViewerView()) v = v->OpenViewerView();
    return v;
}

TBarView* CaptureView(TBarView* Root) {
    for (TBarView* v = Root; v; v = v->OpenViewerView())
        if (v->Capture()) return v;
    return nullptr;
}

void UpdateAllSelections(TBarView* Root, const TPoint& P, bool AllowNewSelection) {
    if (TBarView* capture = CaptureView(Root)) {
        capture->UpdateSelection(P, AllowNewSelection);
        return;
    }
    for (TBarView* v = InnermostView(Root); v; v = v->ParentView()) v->UpdateSelection(P, AllowNewSelection);
}

// The view and viewer the mouse acts on; true when a viewer is found.
bool FindSelectedViewer(TBarView* Root, TBarView*& View, TBarItemViewer*& Viewer) {
    View = nullptr;
    Viewer = nullptr;
    if (TBarView* capture = CaptureView(Root)) {
        View = capture;
        Viewer = capture->Selected();
        return Viewer != nullptr;
    }
    for (TBarView* v = Root; v; v = v->OpenViewerView()) {
        if (v->Selected() && v->MouseOverSelected()) {
            View = v;
            Viewer = v->Selected();
            return true;
        }
        if (v->State.Contains(vsMouseInWindow)) {
            View = v;
            return false;
        }
    }
    return false;
}

void CancelHint() {
    if (vcl::Application) vcl::Application->CancelHint();
}

void SetHint(const String& Hint) {
    if (vcl::Application) vcl::Application->SetHint(Hint);
}

void UpdateAppHint(TBarView* Root) {
    TBarView* v = Root;
    while (v->OpenViewerView() && v->OpenViewerView()->Selected()) v = v->OpenViewerView();
    SetHint(v->Selected() ? vcl::GetLongHint(v->Selected()->Item()->Hint()) : String());
}

void MouseMoved(TBarView* Root) {
    UpdateAllSelections(Root, LastPos, true);
    TBarView* view;
    TBarItemViewer* viewer;
    HCURSOR cursor = nullptr;
    TPoint inViewer;
    if (FindSelectedViewer(Root, view, viewer)) {
        POINT p{LastPos.X, LastPos.Y};
        vcl::TWinControl* window = view->Window();
        if (window) ScreenToClient(window->Handle(), &p);
        const auto options = viewer->Item()->EffectiveOptions();
        if ((view->Style.Contains(vsAlwaysShowHints) || options.Contains(tboShowHint)) && !view->Capture() && window) {
            window->Update();
            vcl::TMessage m;
            m.Msg = WM_MOUSEMOVE;
            m.WParam = 0;
            m.LParam = MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
            if (vcl::Application) vcl::Application->HintMouseMessage(window, m);
        } else
            CancelHint();
        inViewer = TPoint(p.x - viewer->BoundsRect().Left, p.y - viewer->BoundsRect().Top);
        viewer->GetCursor(inViewer, cursor);
    } else
        CancelHint();
    SetCursor(cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW));
    if (viewer) viewer->MouseMove(inViewer.X, inViewer.Y);
}

// A press outside the chain of open views ends the loop and stays queued for the window below.
bool PressEndsLoop(TBarView* Root, const MSG& Msg) {
    const TPoint p(Msg.pt.x, Msg.pt.y);
    vcl::TControl* control = vcl::FindDragTarget(p, true);
    if (auto* popup = dynamic_cast<TBarPopupWindow*>(control); popup && Root->ContainsView(popup->View()))
        return false;
    if (Root->IsPopup() || !Root->Window() || control != Root->Window()) return true;
    POINT client{p.X, p.Y};
    ScreenToClient(Root->Window()->Handle(), &client);
    RECT r{};
    GetClientRect(Root->Window()->Handle(), &r);
    if (!PtInRect(&r, client)) return true;
    if (Msg.message != WM_LBUTTONDOWN) return false;
    UpdateAllSelections(Root, p, true);
    TBarItemViewer* selected = Root->Selected();
    return !selected || !Root->MouseOverSelected() || selected->Item()->ItemStyle().Contains(tbisClicksTransparent);
}

bool ButtonDown(bool TrackRightButton) {
    return GetKeyState(VK_LBUTTON) < 0 || (TrackRightButton && GetKeyState(VK_RBUTTON) < 0);
}

void TimerStep(const MSG& Msg) {
    auto* window = dynamic_cast<TBarPopupWindow*>(vcl::FindControl(Msg.hwnd));
    TBarView* view = window ? window->View() : nullptr;
    if (!view) return;
    switch (Msg.wParam - ViewTimerFirst) {
    case 0:
        view->CloseChildPopups();
        view->OpenChildPopup(false);
        break;
    case 1:
        view->CloseChildPopups();
        break;
    case 2:
        if (view->ShowUpArrow())
            view->Scroll(false);
        else
            view->StopTimer(2);
        break;
    case 3:
        if (view->ShowDownArrow())
            view->Scroll(true);
        else
            view->StopTimer(3);
        break;
    default:
        break;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// The handler

TBarModalHandler::TBarModalHandler(HWND AExistingWnd) {
    try {
        LastPos = MessagePosAsPoint();
        if (AExistingWnd)
            FWnd = AExistingWnd;
        else {
            FWnd = vcl::AllocateHWnd(vcl::TWndMethod(this, &TBarModalHandler::WndProc));
            FCreatedWnd = true;
        }
        const HWND focus = GetFocus();
        if (focus && GetWindowThreadProcessId(focus, nullptr) != GetCurrentThreadId()) {
            FSaveFocusWnd = focus;
            SetFocus(nullptr);
        }
        CallLockSetForegroundWindow(true);
        SetCapture(FWnd);
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        NotifyWinEvent(EVENT_SYSTEM_MENUSTART, FWnd, OBJID_CLIENT, CHILDID_SELF);
        FInited = true;
    } catch (...) {
        Release();
        throw;
    }
}

TBarModalHandler::~TBarModalHandler() { Release(); }

void TBarModalHandler::Release() {
    CallLockSetForegroundWindow(false);
    if (FWnd) {
        if (GetCapture() == FWnd) ReleaseCapture();
        if (FInited) NotifyWinEvent(EVENT_SYSTEM_MENUEND, FWnd, OBJID_CLIENT, CHILDID_SELF);
        if (FCreatedWnd) vcl::DeallocateHWnd(FWnd);
        FWnd = nullptr;
    }
    if (FSaveFocusWnd && !GetFocus()) SetFocus(FSaveFocusWnd);
    FSaveFocusWnd = nullptr;
}

void TBarModalHandler::WndProc(vcl::TMessage& Message) {
    Message.Result = DefWindowProcW(FWnd, Message.Msg, Message.WParam, Message.LParam);
    if (Message.Msg != WM_CANCELMODE || !FRootPopup) return;
    try {
        FRootPopup->View()->CancelMode();
    } catch (...) {
        if (vcl::Application) vcl::Application->HandleException(this);
    }
}

// ---------------------------------------------------------------------------------------------------
// The loop

void TBarModalHandler::Loop(TBarView* RootView, bool AMouseDown, bool AExecuteSelected, bool AFromMSAA,
                            bool TrackRightButton) {
    RootView->FDoneActionData.DoneAction = tbdaNone;
    RootView->ValidatePositions();
    bool quit = false;
    int quitCode = 0;

    auto outerCleanup = [&] {
        RootView->FCaptureWnd = nullptr;
        SetHint(String());
        RemoveMessages(WM_CHAR, WM_DEADCHAR);
        RemoveMessages(WM_SYSCHAR, WM_SYSDEADCHAR);
        RemoveMessages(WM_KEYF1, WM_KEYF1);
    };
    auto body = [&] {
        RootView->FCaptureWnd = FWnd;
        bool didDrag = false;
        if (AMouseDown) {
            if (TBarItemViewer* selected = RootView->Selected()) {
                const TPoint p = selected->ScreenToClient(MessagePosAsPoint());
                selected->MouseDown({}, p.X, p.Y, didDrag);
            }
            if (RootView->IsModalEnding()) return;
            didDrag = false;
        } else if (AExecuteSelected) {
            RootView->ExecuteSelected(!AFromMSAA);
            if (RootView->IsModalEnding()) return;
        }
        const HWND activeWnd = GetActiveWindow();
        auto goOn = [&] {
            return GetCapture() == FWnd && GetActiveWindow() == activeWnd && !RootView->IsModalEnding();
        };

        while (goOn()) {
            StepPopupAnimation();
            MSG msg{};
            if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
                if (PopupAnimationRunning())
                    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
                else
                    WaitMessage();
                continue;
            }
            if (msg.message == WM_QUIT) {
                // A quit while the menu is open ends the menu as a cancel; the quit is posted again
                // once the loop has cleaned up, so the program still ends.
                PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE | PM_NOYIELD);
                quit = true;
                quitCode = static_cast<int>(msg.wParam);
                RootView->EndModal();
                return;
            }
            if ((msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN) && PressEndsLoop(RootView, msg))
                return;
            if (!PeekMessageW(&msg, nullptr, msg.message, msg.message, PM_REMOVE | PM_NOYIELD)) continue;

            const UINT m = msg.message;
            const TPoint pt(msg.pt.x, msg.pt.y);
            const bool rightButton = m == WM_RBUTTONDOWN || m == WM_RBUTTONUP;
            if (m == WM_MOUSEMOVE) {
                if (pt != LastPos) {
                    LastPos = pt;
                    MouseMoved(RootView);
                }
            } else if (m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDOWN) {
                if (!rightButton || TrackRightButton) {
                    CancelHint();
                    didDrag = false;
                    RootView->State.Exclude(vsIgnoreFirstMouseUp);
                    UpdateAllSelections(RootView, pt, true);
                    TBarView* view;
                    TBarItemViewer* viewer;
                    if (FindSelectedViewer(RootView, view, viewer)) {
                        const TPoint p = viewer->ScreenToClient(pt);
                        vcl::TShiftState shift;
                        if (m == WM_LBUTTONDBLCLK) shift.Include(vcl::ssDouble);
                        viewer->MouseDown(shift, p.X, p.Y, didDrag);
                        LastPos = pt;
                    }
                }
            } else if (m == WM_LBUTTONUP || m == WM_RBUTTONUP) {
                if (!rightButton || TrackRightButton) {
                    UpdateAllSelections(RootView, pt, false);
                    TBarView* view;
                    TBarItemViewer* viewer;
                    if (FindSelectedViewer(RootView, view, viewer)) {
                        const TPoint p = viewer->ScreenToClient(pt);
                        viewer->MouseUp(p.X, p.Y, didDrag);
                    } else if (!view || (view == RootView && RootView->IsToolbar())) {
                        if (RootView->State.Contains(vsIgnoreFirstMouseUp))
                            RootView->State.Exclude(vsIgnoreFirstMouseUp);
                        else
                            RootView->EndModal();
                    }
                }
            } else if (m == WM_MOUSEWHEEL) {
                TBarView* view;
                TBarItemViewer* viewer;
                if (FindSelectedViewer(RootView, view, viewer)) {
                    const TPoint p = viewer->ScreenToClient(pt);
                    viewer->MouseWheel(static_cast<short>(HIWORD(msg.wParam)), p.X, p.Y);
                }
            } else if ((m >= 0x0206 && m <= 0x0209) || (m >= 0x020B && m <= 0x020E)) {
                // other buttons and the horizontal wheel: dropped
            } else if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) {
                CancelHint();
                WPARAM wp = msg.wParam;
                if (wp == VK_PROCESSKEY) wp = ImmGetVirtualKey(msg.hwnd);
                WORD key = LOWORD(wp);
                if (!ButtonDown(TrackRightButton) || key == VK_F1) {
                    TBarView* view = InnermostView(RootView);
                    const vcl::TShiftState shift = vcl::KeyDataToShiftState(static_cast<LONG>(msg.lParam));
                    if (TBarItemViewer* selected = view->Selected()) {
                        selected->KeyDown(key, shift);
                        if (RootView->IsModalEnding()) return;
                    }
                    if (key != 0) {
                        view->KeyDown(key, shift);
                        if (RootView->IsModalEnding()) return;
                    }
                    if (key != 0) TranslateMessage(&msg);
                }
            } else if (m == WM_CHAR || m == WM_SYSCHAR) {
                CancelHint();
                if (!ButtonDown(TrackRightButton)) {
                    TBarView* view = InnermostView(RootView);
                    const char16_t ch = static_cast<char16_t>(msg.wParam);
                    bool only = false;
                    if (TBarItemViewer* v = view->NextSelectableWithAccel(view->Selected(), ch, false, only)) {
                        view->SetSelected(v);
                        view->ScrollSelectedIntoView();
                        if (only) view->ExecuteSelected(true);
                    } else if ((ch == u' ' || ch == u'-') && !RootView->IsPopup() && view == RootView &&
                               GetActiveWindow()) {
                        RootView->EndModalWithSystemMenu(GetActiveWindow(), ch);
                        return;
                    } else
                        MessageBeep(0);
                }
            } else if (m == WM_KEYUP || m == WM_DEADCHAR || m == WM_SYSKEYUP || m == WM_SYSDEADCHAR || m == 0x0108 ||
                       m == 0x0109) {
                CancelHint();
            } else if (m == WM_TIMER) {
                if (dynamic_cast<TBarPopupWindow*>(vcl::FindControl(msg.hwnd)) && msg.wParam >= ViewTimerFirst &&
                    msg.wParam <= ViewTimerLast)
                    TimerStep(msg);
                else
                    DispatchMessageW(&msg);
            } else if (m == WM_KEYF1 || m == WM_CONTEXTMENU || m == WM_SYSTIMER) {
                // dropped
            } else
                DispatchMessageW(&msg);

            if (!goOn()) return;
            if (LastPos.X == NoPosition) {
                LastPos = MessagePosAsPoint();
                MouseMoved(RootView);
            }
            UpdateAppHint(RootView);
        }
    };

    try {
        try {
            body();
        } catch (...) {
            RootView->CancelCapture();
            throw;
        }
        RootView->CancelCapture();
    } catch (...) {
        outerCleanup();
        throw;
    }
    outerCleanup();
    if (quit) PostQuitMessage(quitCode);
}

// ---------------------------------------------------------------------------------------------------
// After the loop

TBarCustomItem* ExecuteDoneAction(const TBarDoneActionData& Data, bool ReturnClickedItemOnly) {
    switch (Data.DoneAction) {
    case tbdaNone:
    case tbdaCancel:
        return nullptr;
    case tbdaClickItem: {
        const String sound = QStringLiteral("MenuCommand");
        if (Data.Sound && IsMenuSoundConfigured(sound)) PlayMenuSound(sound);
        if (!ReturnClickedItemOnly) Data.ClickItem->PostClick();
        return Data.ClickItem;
    }
    case tbdaOpenSystemMenu:
        SendMessageW(Data.Wnd, WM_SYSCOMMAND, SC_KEYMENU, Data.Key);
        return nullptr;
    case tbdaHelpContext: {
        vcl::TCustomForm* form = vcl::Screen ? vcl::Screen->ActiveForm() : nullptr;
        if (form && form->BorderIcons().Contains(vcl::biHelp))
            vcl::Application->HelpCommand(8 /* HELP_CONTEXTPOPUP */, Data.ContextID);
        else if (vcl::Application)
            vcl::Application->HelpContext(Data.ContextID);
        return nullptr;
    }
    }
    return nullptr;
}

TBarCustomItem* TBarCustomItem::Popup(int X, int Y, bool TrackRightButton, TBarPopupAlignment Alignment,
                                      bool ReturnClickedItemOnly) {
    auto* handler = new TBarModalHandler(nullptr);
    TBarPopupWindow* window = nullptr;
    TBarDoneActionData data;
    auto cleanup = [&] {
        handler->SetRootPopup(nullptr);
        if (window) {
            window->View()->State.Exclude(vsModal);
            delete window;
        }
        delete handler;
    };
    try {
        window = CreatePopup(nullptr, nullptr, false, false, false, TPoint(X, Y), Alignment);
        window->View()->State.Include(vsIgnoreFirstMouseUp);
        handler->SetRootPopup(window);
        handler->Loop(window->View(), false, false, false, TrackRightButton);
        data = window->View()->DoneActionData();
    } catch (...) {
        cleanup();
        throw;
    }
    cleanup();
    return ExecuteDoneAction(data, ReturnClickedItemOnly);
}

void TBarView::EnterToolbarLoop(TBarEnterToolbarLoopOptions Options) {
    if (State.Contains(vsModal)) return;
    auto* handler = new TBarModalHandler(FWindow->Handle());
    auto after = [&] {
        State.Exclude(vsModal);
        StopAllTimers();
        CloseChildPopups();
        UpdateSelection(TPoint(NoPosition, 0), true);
        delete handler;
    };
    try {
        const bool showAccels = State.Contains(vsShowAccels);
        State = TBarViewState{vsModal};
        if (showAccels) State.Include(vsShowAccels);
        FDoneActionData.DoneAction = tbdaNone;
        if (FSelected) NotifyFocusEvent();
        handler->Loop(this, Options.Contains(tbetMouseDown), Options.Contains(tbetExecuteSelected),
                      Options.Contains(tbetFromMSAA), false);
    } catch (...) {
        after();
        throw;
    }
    after();
    SetAccelsVisibility(false);
    const TBarDoneActionData data = FDoneActionData;
    ExecuteDoneAction(data, false);
}

} // namespace bars
