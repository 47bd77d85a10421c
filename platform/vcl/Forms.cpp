// vcl/Forms.cpp: forms, the application object, the screen and the hint window.
#include "vcl/Forms.h"
#include "vcl/ControlsInternal.h"
#include "vcl/Menus.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontDatabase>

#include <algorithm>
#include <cstdio>

namespace vcl {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;
THintWindowClass HintWindowClass = &MakeHintWindow<THintWindow>;

namespace {

// The library's globals exist before any unit's code runs, as the class library makes them.
struct GlobalsInit {
    GlobalsInit() {
        Screen = new TScreen(nullptr);
        Application = new TApplication(nullptr);
    }
};
const GlobalsInit globalsInit;

constexpr UINT_PTR HintTimerId = 1;
constexpr int HintShowMode = 1;
constexpr int HintHideMode = 2;

String GetHint(TControl* Control) {
    for (; Control; Control = Control->Parent())
        if (!Control->Hint().isEmpty()) return Control->Hint();
    return String();
}

TControl* GetHintControl(TControl* Control) {
    while (Control && !Control->ShowHint()) Control = Control->Parent();
    if (Control && Control->ComponentState().Contains(rtl::csDesigning)) return nullptr;
    return Control;
}

} // namespace

String GetShortHint(const String& Hint) {
    const int i = Hint.indexOf(u'|');
    return i < 0 ? Hint : Hint.left(i);
}

String GetLongHint(const String& Hint) {
    const int i = Hint.indexOf(u'|');
    return i < 0 ? Hint : Hint.mid(i + 1);
}

TCustomForm* GetParentForm(TControl* Control, bool TopForm) {
    TCustomForm* found = nullptr;
    for (TControl* c = Control; c; c = c->Parent()) {
        if (auto* form = dynamic_cast<TCustomForm*>(c)) {
            found = form;
            if (!TopForm) break;
        }
    }
    return found;
}

TCustomForm* ValidParentForm(TControl* Control, bool TopForm) {
    TCustomForm* form = GetParentForm(Control, TopForm);
    if (!form)
        throw rtl::EInvalidOperation(QStringLiteral("Control '%1' has no parent window").arg(Control ? Control->Name() : String()));
    return form;
}

// ---------------------------------------------------------------------------------------------------
// TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner), FIcon(std::make_unique<TIcon>()), FCanvas(std::make_unique<TControlCanvas>()) {
    FCanvas->SetControl(this);
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FVisible = false;
    FParentColor = false;
    FParentFont = false;
    FColor = clBtnFace;
    FBrush->SetColor(FColor);
    FWidth = 320;
    FHeight = 240;
    FFormState.Include(fsCreating);
    if (Screen) Screen->AddForm(this);
}

TCustomForm* TCustomForm::CreateNew(TComponent* AOwner) { return new TCustomForm(AOwner); }

TCustomForm::~TCustomForm() {
    if (FCreated) {
        try {
            DoDestroy();
        } catch (...) {
            if (Application) Application->HandleException(this);
        }
    }
    // The controls go while the form is still whole: they tell it as they leave.
    Destroying();
    DestroyComponents();
    if (Screen) Screen->RemoveForm(this);
    if (Application && Application->FMainForm == this) Application->FMainForm = nullptr;
    FCanvas->SetControl(nullptr);
}

void TCustomForm::AfterConstruction() {
    FFormState.Exclude(fsCreating);
    if (FCreated) return;
    FCreated = true;
    try {
        DoCreate();
    } catch (...) {
        if (Application) Application->HandleException(this);
    }
}

void TCustomForm::DoCreate() { OnCreate(this); }
void TCustomForm::DoDestroy() { OnDestroy(this); }
void TCustomForm::DoShow() { OnShow(this); }
void TCustomForm::DoHide() { OnHide(this); }
void TCustomForm::DoClose(TCloseAction& Action) { OnClose(this, Action); }
void TCustomForm::Activate() { OnActivate(this); }
void TCustomForm::Deactivate() { OnDeactivate(this); }

void TCustomForm::Loaded() {
    TWinControl::Loaded();
    if (FActiveControl && !FActiveControl->CanFocus() && !FVisible) {
        // Kept: it becomes focusable once the form shows.
    }
}

void TCustomForm::Notification(TComponent* AComponent, rtl::TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != rtl::opRemove) return;
    if (AComponent == FMenu) FMenu = nullptr;
}

void TCustomForm::SetMenu(TComponent* Value) {
    if (FMenu == Value) return;
    if (auto* old = dynamic_cast<TMainMenu*>(FMenu); old && FHandle) old->SetWindowHandle(nullptr);
    if (FMenu) FMenu->RemoveFreeNotification(this);
    FMenu = Value;
    if (FMenu) FMenu->FreeNotification(this);
    if (auto* menu = dynamic_cast<TMainMenu*>(FMenu); menu && FHandle) menu->SetWindowHandle(FHandle);
}

// The main menu's part of the form's messages: true when the menu took the message.
bool TCustomForm::DispatchToMenu(TMessage& Message) {
    auto* menu = dynamic_cast<TMenu*>(FMenu);
    if (!menu) return false;
    switch (Message.Msg) {
    case WM_COMMAND:
        // A menu command has no control window and notification code 0.
        return Message.LParam == 0 && HIWORD(Message.WParam) == 0 && menu->DispatchCommand(LOWORD(Message.WParam));
    case WM_INITMENUPOPUP: return menu->DispatchPopup(reinterpret_cast<HMENU>(Message.WParam));
    case WM_MEASUREITEM: {
        auto* info = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        return info && info->CtlType == ODT_MENU && menu->DispatchMeasure(*info);
    }
    case WM_DRAWITEM: {
        const auto* info = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
        return info && info->CtlType == ODT_MENU && menu->DispatchDraw(*info);
    }
    default: return false;
    }
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    if (FParent) return;  // a form inside another control is a child window
    Params.Style &= ~DWORD(WS_CHILD | WS_GROUP | WS_TABSTOP);
    Params.ExStyle &= ~DWORD(WS_EX_CONTROLPARENT);
    Params.WndParent = FParentWindow;
    if (!Params.WndParent) {
        if (FFormState.Contains(fsModal) && FModalActiveWindow)
            Params.WndParent = FModalActiveWindow;
        else if (Application && Application->MainForm() && Application->MainForm() != this &&
                 Application->MainForm()->HandleAllocated())
            Params.WndParent = Application->MainForm()->WindowHandle();
    }
    if (FPosition == poDefault || FPosition == poDefaultPosOnly) {
        Params.X = CW_USEDEFAULT;
        Params.Y = CW_USEDEFAULT;
    }
    switch (FBorderStyle) {
    case bsNone: Params.Style |= WS_POPUP; break;
    case bsSingle:
    case bsToolWindow: Params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable:
    case bsSizeToolWin: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION;
        Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    }
    if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) Params.ExStyle |= WS_EX_TOOLWINDOW;
    if (FBorderStyle != bsNone) {
        if (FBorderIcons.Contains(biSystemMenu)) Params.Style |= WS_SYSMENU;
        if (FBorderStyle != bsDialog && FBorderStyle != bsToolWindow && FBorderStyle != bsSizeToolWin) {
            if (FBorderIcons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
            if (FBorderIcons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
        }
        if (FBorderIcons.Contains(biHelp)) Params.ExStyle |= WS_EX_CONTEXTHELP;
    }
    if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
    if (FAcceptFiles) Params.ExStyle |= WS_EX_ACCEPTFILES;
    if (FAlphaBlend) Params.ExStyle |= WS_EX_LAYERED;
}

void TCustomForm::CreateWnd() {
    TWinControl::CreateWnd();
    if (!FIcon->Empty()) SendMessageW(FHandle, WM_SETICON, ICON_BIG, LPARAM(FIcon->Handle()));
    if (FAcceptFiles) DragAcceptFiles(FHandle, TRUE);
    if (FAlphaBlend) SetLayeredWindowAttributes(FHandle, 0, FAlphaBlendValue, 0x2 /* LWA_ALPHA */);
    if (auto* menu = dynamic_cast<TMainMenu*>(FMenu)) menu->SetWindowHandle(FHandle);
    // A form placed by the desktop learns its place now.
    UpdateBounds();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (FFormStyle == Value) return;
    FFormStyle = Value;
    if (FHandle)
        SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (FBorderIcons == Value) return;
    FBorderIcons = Value;
    RecreateWnd();
}

TWindowState TCustomForm::WindowState() const {
    if (FHandle && IsWindowVisible(FHandle)) {
        if (IsIconic(FHandle)) return wsMinimized;
        if (IsZoomed(FHandle)) return wsMaximized;
        return wsNormal;
    }
    return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value) {
    if (FWindowState == Value && WindowState() == Value) return;
    FWindowState = Value;
    if (FHandle && FShowing) {
        static const int commands[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
        ShowWindow(FHandle, commands[Value]);
    }
}

void TCustomForm::SetAlphaBlend(bool Value) {
    if (FAlphaBlend == Value) return;
    FAlphaBlend = Value;
    RecreateWnd();
}

void TCustomForm::SetAlphaBlendValue(uint8_t Value) {
    FAlphaBlendValue = Value;
    if (FHandle && FAlphaBlend) SetLayeredWindowAttributes(FHandle, 0, Value, 0x2);
}

void TCustomForm::SetIcon(TIcon* Value) {
    FIcon->Assign(Value);
    if (FHandle) SendMessageW(FHandle, WM_SETICON, ICON_BIG, LPARAM(FIcon->Empty() ? nullptr : FIcon->Handle()));
}

void TCustomForm::SetAcceptFiles(bool Value) {
    if (FAcceptFiles == Value) return;
    FAcceptFiles = Value;
    if (FHandle) DragAcceptFiles(FHandle, Value);
}

TMonitor* TCustomForm::Monitor() {
    if (!Screen) return nullptr;
    if (FHandle) return Screen->MonitorFromWindow(FHandle);
    return Screen->MonitorFromRect(BoundsRect());
}

void TCustomForm::Show() {
    AfterConstruction();
    SetVisible(true);
    BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::MoveToPosition() {
    if (!Screen) return;
    auto centreIn = [this](const TRect& area) {
        SetBounds(area.Left + (area.Width() - FWidth) / 2, area.Top + (area.Height() - FHeight) / 2, FWidth, FHeight);
    };
    auto monitorArea = [this]() -> TRect {
        TMonitor* monitor = nullptr;
        switch (FDefaultMonitor) {
        case dmDesktop: return Screen->WorkAreaRect();
        case dmPrimary: monitor = Screen->PrimaryMonitor(); break;
        case dmMainForm:
            if (Application && Application->MainForm() && Application->MainForm() != this)
                monitor = Application->MainForm()->Monitor();
            break;
        case dmActiveForm:
            if (Screen->ActiveForm() && Screen->ActiveForm() != this) monitor = Screen->ActiveForm()->Monitor();
            break;
        }
        if (!monitor) monitor = Screen->PrimaryMonitor();
        return monitor ? monitor->WorkareaRect() : Screen->WorkAreaRect();
    };
    TCustomForm* centreOn = nullptr;
    switch (FPosition) {
    case poScreenCenter: centreIn(monitorArea()); return;
    case poDesktopCenter: centreIn(Screen->DesktopRect()); return;
    case poOwnerFormCenter: centreOn = dynamic_cast<TCustomForm*>(Owner()); [[fallthrough]];
    case poMainFormCenter:
        if (!centreOn && Application) centreOn = Application->MainForm();
        if (centreOn && centreOn != this && centreOn->Visible()) {
            centreIn(centreOn->BoundsRect());
            // Keep the form on the work area it landed on.
            const TRect area = monitorArea();
            int left = std::clamp(FLeft, area.Left, std::max(area.Left, area.Right - FWidth));
            int top = std::clamp(FTop, area.Top, std::max(area.Top, area.Bottom - FHeight));
            SetBounds(left, top, FWidth, FHeight);
        } else
            centreIn(monitorArea());
        return;
    default: return;
    }
}

void TCustomForm::CMShowingChanged(TMessage& Message) {
    (void)Message;
    if (FShowing) {
        try {
            DoShow();
        } catch (...) {
            if (Application) Application->HandleException(this);
        }
        if (!FPositioned) {
            FPositioned = true;
            MoveToPosition();
        }
        if (FFormStyle == fsStayOnTop)
            SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        int command = SW_SHOWNORMAL;
        if (FWindowState == wsMaximized)
            command = SW_SHOWMAXIMIZED;
        else if (FWindowState == wsMinimized)
            command = SW_SHOWMINIMIZED;
        FFormState.Include(fsShowing);
        ShowWindow(FHandle, command);
        FFormState.Exclude(fsShowing);
        FFormState.Include(fsVisible);
    } else {
        try {
            DoHide();
        } catch (...) {
            if (Application) Application->HandleException(this);
        }
        FFormState.Exclude(fsVisible);
        if (Screen && Screen->FocusedForm() == this) Screen->FFocusedForm = nullptr;
        ShowWindow(FHandle, SW_HIDE);
    }
}

void TCustomForm::Close() {
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else if (action == caHide)
        Hide();
    else if (action == caMinimize)
        SetWindowState(wsMinimized);
    else
        Release();
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Release() {
    if (FHandle)
        PostMessageW(FHandle, CM_RELEASE, 0, 0);
    else
        delete this;
}

void TCustomForm::CMRelease(TMessage& Message) {
    (void)Message;
    delete this;
}

void TCustomForm::CMActionExecute(TMessage& Message) {
    auto* action = reinterpret_cast<TBasicAction*>(Message.LParam);
    Message.Result = (FActiveControl && FActiveControl->ExecuteAction(action)) || ExecuteAction(action) ? 1 : 0;
}

void TCustomForm::CMActionUpdate(TMessage& Message) {
    auto* action = reinterpret_cast<TBasicAction*>(Message.LParam);
    Message.Result = (FActiveControl && FActiveControl->UpdateAction(action)) || UpdateAction(action) ? 1 : 0;
}

void TCustomForm::CloseModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    switch (action) {
    case caNone: FModalResult = mrNone; break;
    case caFree: Release(); break;
    default: break;
    }
}

namespace {

struct DisabledWindows {
    HWND except;
    std::vector<HWND> list;
};

BOOL CALLBACK DisableTaskWindow(HWND wnd, LPARAM data) {
    auto* d = reinterpret_cast<DisabledWindows*>(data);
    if (wnd != d->except && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
        d->list.push_back(wnd);
        EnableWindow(wnd, FALSE);
    }
    return TRUE;
}

} // namespace

TModalResult TCustomForm::ShowModal() {
    if (FVisible || !FEnabled || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
        throw rtl::EInvalidOperation(QStringLiteral("Cannot make a visible window modal"));
    if (HWND capture = GetCapture()) {
        SendMessageW(capture, WM_CANCELMODE, 0, 0);
        ReleaseCapture();
    }
    AfterConstruction();
    FFormState.Include(fsModal);
    FModalActiveWindow = GetActiveWindow();
    HWND activeWindow = FModalActiveWindow;
    if (Screen) {
        Screen->FSaveFocusedList.insert(Screen->FSaveFocusedList.begin(), Screen->FFocusedForm);
        Screen->FFocusedForm = this;
    }
    DisabledWindows disabled{FHandle, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableTaskWindow, LPARAM(&disabled));
    TModalResult result = mrNone;
    auto restore = [&]() {
        for (HWND wnd : disabled.list)
            if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
        if (Screen && !Screen->FSaveFocusedList.empty()) {
            Screen->FFocusedForm = Screen->FSaveFocusedList.front();
            Screen->FSaveFocusedList.erase(Screen->FSaveFocusedList.begin());
        }
        if (activeWindow && IsWindow(activeWindow)) SetActiveWindow(activeWindow);
        FFormState.Exclude(fsModal);
        FModalActiveWindow = nullptr;
    };
    try {
        Show();
        FModalResult = mrNone;
        do {
            Application->HandleMessage();
            if (Application->Terminated())
                FModalResult = mrCancel;
            else if (FModalResult != mrNone)
                CloseModal();
        } while (FModalResult == mrNone);
        result = FModalResult;
        if (GetActiveWindow() != FHandle) activeWindow = nullptr;
        Hide();
    } catch (...) {
        Hide();
        restore();
        throw;
    }
    restore();
    return result;
}

void TCustomForm::SetActive(bool Value) {
    FActive = Value;
    if (Value) {
        if (!FActiveControl && !FComponentState.Contains(rtl::csDesigning))
            FActiveControl = FindNextControl(nullptr, true, true, false);
        SetWindowFocus();
        if (Screen) Screen->SetActiveForm(this);
        Perform(CM_ACTIVATE);
    } else
        Perform(CM_DEACTIVATE);
}

void TCustomForm::CMActivate(TMessage& Message) {
    (void)Message;
    FFormState.Include(fsActivated);
    Activate();
}

void TCustomForm::CMDeactivate(TMessage& Message) {
    (void)Message;
    Deactivate();
}

void TCustomForm::WMActivate(TWMActivate& Message) {
    // The form decides where the focus goes: its active control, not the window itself.
    SetActive(Message.Active() != WA_INACTIVE);
}

void TCustomForm::SetWindowFocus() {
    HWND target = (FActiveControl && FActiveControl->HandleAllocated()) ? FActiveControl->WindowHandle() : FHandle;
    if (FActiveControl && !FActiveControl->HandleAllocated() && FActiveControl->Showing()) target = FActiveControl->Handle();
    if (target && IsWindowVisible(FHandle)) ::SetFocus(target);
}

void TCustomForm::SetFocus() {
    if (!FActive) {
        if (!(FVisible && FEnabled)) throw rtl::EInvalidOperation(QStringLiteral("Cannot focus a disabled or invisible window"));
        SetWindowFocus();
    }
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (FActiveControl == Control) return;
    if (Control && (Control == this || GetParentForm(Control) != this ||
                    (!FComponentState.Contains(rtl::csLoading) && !Control->CanFocus())))
        throw rtl::EInvalidOperation(QStringLiteral("Cannot focus a disabled or invisible window"));
    FActiveControl = Control;
    if (!FComponentState.Contains(rtl::csLoading) && FActive) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) {
    const bool wasActive = FActive;
    SetActiveControl(Control);
    if (!wasActive) SetFocus();
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
    if (Removing && FFocusedControl && Control->ContainsControl(FFocusedControl)) FFocusedControl = Control->Parent();
    if (FActiveControl && Control->ContainsControl(FActiveControl)) {
        FActiveControl = nullptr;
        if (FActive && !FComponentState.Contains(rtl::csDestroying) && FHandle && Control->Focused()) ::SetFocus(FHandle);
    }
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
    if (FComponentState.Contains(rtl::csDestroying)) return false;
    FActiveControl = Control != this ? Control : nullptr;
    if (Screen) {
        Screen->SetActiveControl(Control);
        Screen->SetActiveForm(this);
        Screen->FFocusedForm = this;
    }
    if (Control->FControlState.Contains(csFocusing)) return true;
    Control->FControlState.Include(csFocusing);
    struct Clear {
        TWinControl* c;
        ~Clear() {
            if (c) c->FControlState.Exclude(csFocusing);
        }
    } clear{Control};
    if (!FFocusedControl) FFocusedControl = this;
    if (FFocusedControl != Control) {
        // Exits from the old focus up to the common parent, then enters down to the new focus.
        while (FFocusedControl && !FFocusedControl->ContainsControl(Control)) {
            HWND focusHandle = FFocusedControl->WindowHandle();
            FFocusedControl->Perform(CM_EXIT);
            // The focus may be on a platform window inside Control (a combo box's edit).
            if (focusHandle && GetFocus() != focusHandle && GetFocus() != Control->WindowHandle() &&
                !(Control->WindowHandle() && IsChild(Control->WindowHandle(), GetFocus())))
                return false;
            FFocusedControl = FFocusedControl->Parent();
        }
        std::vector<TWinControl*> chain;
        for (TWinControl* c = Control; c && c != FFocusedControl; c = c->Parent()) chain.push_back(c);
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            FFocusedControl = *it;
            HWND focusHandle = GetFocus();
            (*it)->Perform(CM_ENTER);
            if (GetFocus() != focusHandle) return false;  // a handler moved the focus on
        }
        FFocusedControl = Control;
    }
    Perform(CM_FOCUSCHANGED, 0, LPARAM(Control));
    return true;
}

bool TCustomForm::IsShortCut(TWMKey& Message) {
    bool handled = false;
    OnShortCut(Message, handled);
    // The action lists the form owns run the action of the shortcut (once; a disabled one lets it go).
    if (!handled) handled = DispatchShortCut(this, ShortCutFromKeyMessage(Message.CharCode(), Message.KeyData()));
    return handled;
}

void TCustomForm::MouseWheelHandler(TMessage& Message) {
    TControl* target = FFocusedControl ? static_cast<TControl*>(FFocusedControl) : this;
    Message.Result = target->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
}

void TCustomForm::CMDialogKey(TCMDialogKey& Message) {
    if (GetKeyState(VK_MENU) >= 0) {
        switch (Message.CharCode()) {
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
                Message.Result = 1;
                return;
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (FActiveControl && FActiveControl->Parent()) {
                FActiveControl->Parent()->SelectNext(FActiveControl,
                                                     Message.CharCode() == VK_RIGHT || Message.CharCode() == VK_DOWN, false);
                Message.Result = 1;
            }
            return;
        default: break;
        }
    }
    TWinControl::CMDialogKey(Message);
}

void TCustomForm::WMClose(TMessage& Message) {
    (void)Message;
    Close();
}

void TCustomForm::WMDropFiles(TWMDropFiles& Message) {
    HDROP drop = Message.Drop();
    QStringList files;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::u16string name(size_t(length) + 1, u'\0');
        DragQueryFileW(drop, i, name.data(), length + 1);
        name.resize(length);
        files << String::fromStdU16String(name);
    }
    POINT pt{};
    DragQueryPoint(drop, &pt);
    DragFinish(drop);
    Message.Result = 0;
    OnDropFiles(this, files, TPoint(pt));
}

void TCustomForm::WMNextDlgCtl(TMessage& Message) {
    if (Message.LParam & 0xFFFF) {
        if (TWinControl* control = FindControl(reinterpret_cast<HWND>(Message.WParam)); control && control->CanFocus())
            control->SetFocus();
    } else
        SelectNext(FActiveControl, Message.WParam == 0, true);
}

namespace {
// Set while the main form offers one of its menu keys to the application's window.
bool MainFormSysCommand = false;
} // namespace

void TCustomForm::WMSysCommand(TWMSysCommand& Message) {
    // Alt+letter on another form goes to the main form's menu, through the application's window.
    if (Message.CmdType() == SC_KEYMENU && Message.Key() != VK_SPACE && Message.Key() != u'-' && !IsIconic(FHandle) &&
        !GetCapture() && Application && Application->MainForm() && Application->MainForm() != this) {
        SendMessageW(Application->Handle(), CM_APPSYSCOMMAND, Message.WParam, Message.LParam);
        Message.Result = 1;
        return;
    }
    // The main form without a window menu offers its own keys to the application's window first,
    // whose hooks may hand them to a menu bar of the form; what nobody takes is the default's.
    if (Message.CmdType() == SC_KEYMENU && Message.Key() != VK_SPACE && !IsIconic(FHandle) && !GetCapture() &&
        !MainFormSysCommand && Application && Application->MainForm() == this && !GetMenu(FHandle)) {
        MainFormSysCommand = true;
        const LRESULT taken = SendMessageW(Application->Handle(), CM_APPSYSCOMMAND, Message.WParam, Message.LParam);
        MainFormSysCommand = false;
        if (taken) {
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

void TCustomForm::WMSize(TWMSize& Message) {
    if (IsWindowVisible(FHandle)) {
        switch (Message.SizeType()) {
        case SIZE_MINIMIZED: FWindowState = wsMinimized; break;
        case SIZE_MAXIMIZED: FWindowState = wsMaximized; break;
        case SIZE_RESTORED: FWindowState = wsNormal; break;
        default: break;
        }
    }
    TWinControl::WMSize(Message);
}

void TCustomForm::WMPaint(TWMPaint& Message) {
    FControlState.Include(csCustomPaint);
    try {
        TWinControl::WMPaint(Message);
    } catch (...) {
        FControlState.Exclude(csCustomPaint);
        throw;
    }
    FControlState.Exclude(csCustomPaint);
}

void TCustomForm::PaintWindow(HDC DC) { FCanvas->PaintOn(DC, [this] { Paint(); }); }

void TCustomForm::Dispatch(TMessage& Message) {
    if (DispatchToMenu(Message)) {
        Message.Result = Message.Msg == WM_MEASUREITEM || Message.Msg == WM_DRAWITEM;
        return;
    }
    switch (Message.Msg) {
    case WM_ACTIVATE: WMActivate(MessageAs<TWMActivate>(Message)); return;
    case WM_CLOSE: WMClose(Message); return;
    case WM_DROPFILES: WMDropFiles(MessageAs<TWMDropFiles>(Message)); return;
    case WM_NEXTDLGCTL: WMNextDlgCtl(Message); return;
    case WM_SYSCOMMAND: WMSysCommand(MessageAs<TWMSysCommand>(Message)); return;
    case CM_ACTIVATE: CMActivate(Message); return;
    case CM_DEACTIVATE: CMDeactivate(Message); return;
    case CM_RELEASE: CMRelease(Message); return;
    case CM_ACTIONEXECUTE: CMActionExecute(Message); return;
    case CM_ACTIONUPDATE: CMActionUpdate(Message); return;
    default: TWinControl::Dispatch(Message); return;
    }
}

// ---------------------------------------------------------------------------------------------------
// THintWindow

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    FVisible = false;
    FParentColor = false;
    FParentFont = false;
    FColor = clInfoBk;
    FBrush->SetColor(FColor);
    if (Screen) FFont->Assign(Screen->HintFont());
    FFont->SetColor(clInfoText);
    FControlStyle.Exclude(csCaptureMouse);
}

void THintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WndParent = nullptr;
    Params.WindowClass.style |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const String& AHint, void* AData) {
    (void)AData;
    RECT r{0, 0, MaxWidth, 0};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FFont->Handle());
    DrawTextW(dc, reinterpret_cast<LPCWSTR>(AHint.utf16()), int(AHint.size()), &r,
              DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteDC(dc);
    r.right += 6;   // the text's margins and the border
    r.bottom += 2;
    r.right += 2;
    r.bottom += 2;
    return TRect(r);
}

void THintWindow::ActivateHint(TRect Rect, const String& AHint) {
    FActive = true;
    SetText(AHint);
    // Keep the hint on the screen.
    const TRect screen = Screen ? Screen->DesktopRect() : TRect(0, 0, 1 << 15, 1 << 15);
    if (Rect.Right > screen.Right) Rect.Offset(screen.Right - Rect.Right, 0);
    if (Rect.Left < screen.Left) Rect.Offset(screen.Left - Rect.Left, 0);
    if (Rect.Bottom > screen.Bottom) Rect.Offset(0, screen.Bottom - Rect.Bottom);
    if (Rect.Top < screen.Top) Rect.Offset(0, screen.Top - Rect.Top);
    SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
    HandleNeeded();
    SetWindowPos(FHandle, HWND_TOPMOST, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(),
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
}

void THintWindow::ActivateHintData(const TRect& Rect, const String& AHint, void* AData) {
    (void)AData;
    ActivateHint(Rect, AHint);
}

void THintWindow::Paint() {
    TRect r = ClientRect();
    r.Inflate(-2, -1);
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(FFont.get());
    canvas->Brush()->SetStyle(bsClear);
    RECT rc = r;
    const String text = Text();
    DrawTextW(canvas->Handle(), reinterpret_cast<LPCWSTR>(text.utf16()), int(text.size()), &rc,
              DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

void THintWindow::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTTRANSPARENT;  // the pointer goes through to what lies beneath
        return;
    }
    if (Message.Msg == WM_NCDESTROY) FActive = false;
    TCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------------
// TMonitor and TScreen

TRect TMonitor::BoundsRect() const {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(FHandle, &info);
    return TRect(info.rcMonitor);
}

TRect TMonitor::WorkareaRect() const {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(FHandle, &info);
    return TRect(info.rcWork);
}

bool TMonitor::Primary() const {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(FHandle, &info);
    return (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
}

int TMonitor::PixelsPerInch() const { return Screen ? Screen->PixelsPerInch() : 96; }

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

void TScreen::EnsureFonts() const {
    if (FHintFont) return;
    // Made on first use: the screen object exists before the drawing layer is up.
    auto* self = const_cast<TScreen*>(this);
    self->FHintFont = std::make_unique<TFont>();
    self->FMenuFont = std::make_unique<TFont>();
    self->FIconFont = std::make_unique<TFont>();
    self->FMessageFont = std::make_unique<TFont>();
    self->ResetFonts();
}

TScreen::~TScreen() = default;

void TScreen::AddForm(TCustomForm* Form) { FForms.push_back(Form); }

void TScreen::RemoveForm(TCustomForm* Form) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    FSaveFocusedList.erase(std::remove(FSaveFocusedList.begin(), FSaveFocusedList.end(), Form), FSaveFocusedList.end());
    if (FFocusedForm == Form) FFocusedForm = nullptr;
    if (FActiveForm == Form) SetActiveForm(nullptr);
    if (FActiveControl && GetParentForm(FActiveControl) == Form) SetActiveControl(nullptr);
}

void TScreen::SetActiveForm(TCustomForm* Form) {
    if (FActiveForm == Form) return;
    FActiveForm = Form;
    // The active form goes to the front of the list, as the class library keeps it.
    if (Form) {
        auto it = std::find(FForms.begin(), FForms.end(), Form);
        if (it != FForms.end()) std::rotate(FForms.begin(), it, it + 1);
    }
    OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* Control) {
    if (FActiveControl == Control) return;
    FActiveControl = Control;
    OnActiveControlChange(this);
}

TRect TScreen::DesktopRect() const {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return Bounds(x, y, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

TRect TScreen::WorkAreaRect() const {
    RECT r{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) r = RECT{0, 0, Width(), Height()};
    return TRect(r);
}

namespace {
BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    reinterpret_cast<std::vector<HMONITOR>*>(data)->push_back(monitor);
    return TRUE;
}
} // namespace

void TScreen::RefreshMonitors() {
    std::vector<HMONITOR> handles;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, LPARAM(&handles));
    std::vector<std::unique_ptr<TMonitor>> monitors;
    for (size_t i = 0; i < handles.size(); ++i) {
        auto m = std::make_unique<TMonitor>();
        m->FHandle = handles[i];
        m->FMonitorNum = int(i);
        monitors.push_back(std::move(m));
    }
    FMonitors = std::move(monitors);
}

int TScreen::MonitorCount() {
    RefreshMonitors();
    return int(FMonitors.size());
}

TMonitor* TScreen::Monitors(int Index) {
    RefreshMonitors();
    return FMonitors.at(size_t(Index)).get();
}

TMonitor* TScreen::FindMonitor(HMONITOR Handle) {
    if (!Handle) return nullptr;
    RefreshMonitors();
    for (auto& m : FMonitors)
        if (m->FHandle == Handle) return m.get();
    return nullptr;
}

TMonitor* TScreen::PrimaryMonitor() { return FindMonitor(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY)); }

static DWORD MonitorFlags(TMonitorDefaultTo Default) {
    switch (Default) {
    case mdNull: return MONITOR_DEFAULTTONULL;
    case mdPrimary: return MONITOR_DEFAULTTOPRIMARY;
    default: return MONITOR_DEFAULTTONEAREST;
    }
}

TMonitor* TScreen::MonitorFromPoint(const TPoint& Point, TMonitorDefaultTo Default) {
    return FindMonitor(::MonitorFromPoint(POINT(Point), MonitorFlags(Default)));
}

TMonitor* TScreen::MonitorFromRect(const TRect& Rect, TMonitorDefaultTo Default) {
    const RECT r = Rect;
    return FindMonitor(::MonitorFromRect(&r, MonitorFlags(Default)));
}

TMonitor* TScreen::MonitorFromWindow(HWND Handle, TMonitorDefaultTo Default) {
    return FindMonitor(::MonitorFromWindow(Handle, MonitorFlags(Default)));
}

int TScreen::PixelsPerInch() const {
    HDC dc = GetDC(nullptr);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

rtl::TStrings* TScreen::Fonts() {
    if (!FFonts) {
        FFonts = std::make_unique<rtl::TStringList>();
        QStringList families = QFontDatabase::families();
        families.sort(Qt::CaseInsensitive);
        for (const QString& family : families) FFonts->Add(family);
    }
    return FFonts.get();
}

void TScreen::ResetFonts() {
    if (!FHintFont) {
        EnsureFonts();
        return;
    }
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        FHintFont->SetHandle(CreateFontIndirectW(&metrics.lfStatusFont));
        FMenuFont->SetHandle(CreateFontIndirectW(&metrics.lfMenuFont));
        FMessageFont->SetHandle(CreateFontIndirectW(&metrics.lfMessageFont));
    }
    LOGFONTW icon{};
    if (SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof icon, &icon, 0))
        FIconFont->SetHandle(CreateFontIndirectW(&icon));
}

HCURSOR TScreen::Cursors(TCursor Index) {
    for (const auto& entry : FCursors)
        if (entry.first == Index) return entry.second;
    LPCWSTR id = nullptr;
    switch (Index) {
    case crNone: return nullptr;
    case crDefault:
    case crArrow:
    case crDrag:
    case crMultiDrag: id = IDC_ARROW; break;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS:
    case crVSplit: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE:
    case crHSplit: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass:
    case crSQLWait: id = IDC_WAIT; break;
    case crNoDrop:
    case crNo: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: return Cursors(crDefault);
    }
    HCURSOR cursor = LoadCursorW(nullptr, id);
    FCursors.emplace_back(Index, cursor);
    return cursor;
}

void TScreen::SetCursors(TCursor Index, HCURSOR Handle) {
    for (auto& entry : FCursors)
        if (entry.first == Index) {
            entry.second = Handle;
            return;
        }
    FCursors.emplace_back(Index, Handle);
}

void TScreen::SetCursor(TCursor Value) {
    FCursor = Value;
    ::SetCursor(Cursors(Value == crDefault ? crArrow : Value));
}

// ---------------------------------------------------------------------------------------------------
// TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FIcon(std::make_unique<TIcon>()) {
    auto& hooks = ApplicationHooks();
    hooks.HintMouseMessage = [this](TControl* Control, TMessage& Message) { HintMouseMessage(Control, Message); };
    // Through the application's window, where hooks see it, as the class library sends it.
    hooks.IsShortCut = [this](TWMKey& Message) {
        return SendMessageW(Handle(), CM_APPKEYDOWN, Message.WParam, Message.LParam) != 0;
    };
    hooks.ControlDestroyed = [this](TControl* Control) { ControlDestroyed(Control); };
    SetExceptionHandler([this](TObject* Sender) { HandleException(Sender); });
    // Actions that work on a target are offered to the active form, then to the main form.
    auto offer = [this](UINT Msg) {
        return [this, Msg](TBasicAction* Action) {
            TCustomForm* active = Screen ? Screen->ActiveForm() : nullptr;
            if (active && active->Perform(Msg, 0, LPARAM(Action)) != 0) return true;
            return FMainForm && FMainForm != active && FMainForm->Perform(Msg, 0, LPARAM(Action)) != 0;
        };
    };
    ActionDispatch().ExecuteMessage = offer(CM_ACTIONEXECUTE);
    ActionDispatch().UpdateMessage = offer(CM_ACTIONUPDATE);
}

TApplication::~TApplication() {
    CancelHint();
    delete FHintWindow;
    FHintWindow = nullptr;
    // Forms first, while the application that owns them is still whole.
    Destroying();
    DestroyComponents();
    if (FHandle) DeallocateHWnd(FHandle);
    if (Application == this) {
        ApplicationHooks() = TApplicationHooks{};
        SetExceptionHandler(nullptr);
        ActionDispatch().ExecuteMessage = nullptr;
        ActionDispatch().UpdateMessage = nullptr;
    }
}

HWND TApplication::Handle() {
    if (!FHandle || !IsWindow(FHandle)) FHandle = AllocateHWnd(TWndMethod(this, &TApplication::WndProc));
    return FHandle;
}

String TApplication::ExeName() const { return QCoreApplication::applicationFilePath(); }

String TApplication::Title() const {
    return FTitle.isEmpty() ? QFileInfo(ExeName()).completeBaseName() : FTitle;
}

void TApplication::SetTitle(const String& Value) {
    FTitle = Value;
    if (FHandle) SetWindowTextW(FHandle, reinterpret_cast<LPCWSTR>(Value.utf16()));
}

void TApplication::Notification(TComponent* AComponent, rtl::TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FMainForm) FMainForm = nullptr;
}

void TApplication::ControlDestroyed(TControl* Control) {
    if (Control == FHintWindow) FHintWindow = nullptr;
    if (Control == FHintControl) {
        StopHintTimer();
        FHintControl = nullptr;
        if (FHintWindow) FHintWindow->ReleaseHandle();
        FHintActive = false;
    }
    if (Control == FMouseControl) FMouseControl = nullptr;
    if (Control == FMainForm) FMainForm = nullptr;
    // Called from destructors: compare as controls, the object may no longer be a windowed one.
    if (!Screen) return;
    if (static_cast<TControl*>(Screen->FActiveControl) == Control) Screen->FActiveControl = nullptr;
    for (TCustomForm* form : Screen->FForms) {
        if (static_cast<TControl*>(form->FActiveControl) == Control) form->FActiveControl = nullptr;
        if (static_cast<TControl*>(form->FFocusedControl) == Control) form->FFocusedControl = nullptr;
    }
}

void TApplication::Run() {
    FRunning = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{FRunning};
    if (FMainForm && FShowMainForm) {
        try {
            FMainForm->Show();
        } catch (...) {
            HandleException(this);
        }
    }
    while (!FTerminate) {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(this);
        }
    }
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

void TApplication::HandleMessage() {
    MSG msg;
    if (!ProcessMessage(msg)) Idle(msg);
}

bool TApplication::ProcessMessage(MSG& Msg) {
    if (!PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (Msg.message == WM_QUIT) {
        FTerminate = true;
        return true;
    }
    bool handled = false;
    try {
        OnMessage(Msg, handled);
    } catch (...) {
        HandleException(this);
        handled = true;
    }
    if (!IsHintMsg(Msg) && !handled && !IsKeyMsg(Msg)) {
        TranslateMessage(&Msg);
        DispatchMessageW(&Msg);
    }
    return true;
}

void TApplication::Idle(const MSG& Msg) {
    (void)Msg;
    bool done = true;
    try {
        OnIdle(this, done);
    } catch (...) {
        HandleException(this);
    }
    FreeDeviceContexts();
    if (done) {
        try {
            UpdateActions();
        } catch (...) {
            HandleException(this);
        }
    }
    if (done && !FTerminate) WaitMessage();
}

bool TApplication::IsKeyMsg(MSG& Msg) {
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
    HWND wnd = GetCapture();
    if (wnd) {
        // A window holding the capture (a combo box's open list) gets the key itself or nobody does.
        TWinControl* captured = FindControl(wnd);
        return captured && captured->Perform(CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
    }
    wnd = Msg.hwnd;
    TWinControl* control = FindControl(wnd);
    while (!control && wnd) {
        wnd = GetParent(wnd);
        control = FindControl(wnd);
    }
    if (!control) return false;
    return control->Perform(CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::IsHintMsg(MSG& Msg) {
    if (!FHintWindow || !FHintWindow->Active()) return false;
    switch (Msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_MOUSEWHEEL: CancelHint(); break;
    default: break;
    }
    return false;
}

bool TApplication::IsShortCut(TWMKey& Message) {
    bool handled = false;
    OnShortCut(Message, handled);
    if (handled) return true;
    // The main form's shortcuts work from every form, but only once: the active form asked first.
    TCustomForm* active = Screen ? Screen->ActiveForm() : nullptr;
    if (FMainForm && FMainForm != active && FMainForm->HandleAllocated() && IsWindowEnabled(FMainForm->WindowHandle()) &&
        FMainForm->WindowState() != wsMinimized)
        return FMainForm->IsShortCut(Message);
    return false;
}

void TApplication::HandleException(TObject* Sender) {
    std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
        std::rethrow_exception(current);
    } catch (const rtl::EAbort&) {
    } catch (rtl::Exception& e) {
        if (OnException)
            OnException(Sender, &e);
        else
            ShowException(&e);
    } catch (const std::exception& e) {
        rtl::Exception wrapped(String::fromUtf8(e.what()));
        if (OnException)
            OnException(Sender, &wrapped);
        else
            ShowException(&wrapped);
    } catch (...) {
        rtl::Exception wrapped(QStringLiteral("Unknown exception"));
        if (OnException)
            OnException(Sender, &wrapped);
        else
            ShowException(&wrapped);
    }
}

void TApplication::ShowException(rtl::Exception* E) {
    String message = E->Message();
    if (!message.isEmpty() && message.back() > u'.') message += u'.';
    MessageBox(message, Title(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const String& Text, const String& Caption, UINT Flags) {
    HWND owner = nullptr;
    if (Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated()) owner = Screen->ActiveForm()->WindowHandle();
    const String caption = Caption.isEmpty() ? Title() : Caption;
    return MessageBoxW(owner, reinterpret_cast<LPCWSTR>(Text.utf16()), reinterpret_cast<LPCWSTR>(caption.utf16()), Flags);
}

bool TApplication::HelpCommand(WORD Command, intptr_t Data) {
    bool callHelp = true;
    return OnHelp && OnHelp(Command, Data, callHelp);
}

bool TApplication::HelpKeyword(const String& Keyword) {
    // The keyword travels as the address of its text while the handler runs, as the help call passes it.
    const std::u16string text = Keyword.toStdU16String();
    return HelpCommand(0x0101 /* HELP_KEY */, reinterpret_cast<intptr_t>(text.c_str()));
}

void TApplication::Minimize() {
    if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->WindowHandle(), SW_MINIMIZE);
    OnMinimize(this);
}

void TApplication::Restore() {
    if (FMainForm && FMainForm->HandleAllocated() && IsIconic(FMainForm->WindowHandle()))
        ShowWindow(FMainForm->WindowHandle(), SW_RESTORE);
    OnRestore(this);
}

void TApplication::BringToFront() {
    if (TCustomForm* form = Screen && Screen->ActiveForm() ? Screen->ActiveForm() : FMainForm)
        if (form->HandleAllocated()) SetForegroundWindow(form->WindowHandle());
}

void TApplication::HookMainWindow(const TWindowHook& Hook) { FWindowHooks.push_back(Hook); }

void TApplication::UnhookMainWindow(const TWindowHook& Hook) {
    auto it = std::find(FWindowHooks.begin(), FWindowHooks.end(), Hook);
    if (it != FWindowHooks.end()) FWindowHooks.erase(it);
}

namespace {
void InitiateActions(TControl* Control) {
    Control->InitiateAction();
    if (!Control->IsWindowed()) return;
    auto* win = static_cast<TWinControl*>(Control);
    for (int i = 0; i < win->ControlCount(); ++i)
        if (win->Controls(i)->Visible()) InitiateActions(win->Controls(i));
}
} // namespace

void TApplication::UpdateActions() {
    if (!Screen) return;
    for (TCustomForm* form : std::vector<TCustomForm*>(Screen->FForms))
        if (form->HandleAllocated() && IsWindowVisible(form->WindowHandle()) && IsWindowEnabled(form->WindowHandle()))
            InitiateActions(form);
}

void TApplication::WndProc(TMessage& Message) {
    for (const TWindowHook& hook : std::vector<TWindowHook>(FWindowHooks))
        if (hook(Message)) return;
    switch (Message.Msg) {
    case WM_TIMER:
        if (Message.WParam == HintTimerId) {
            const int mode = FHintTimerMode;
            StopHintTimer();
            if (mode == HintShowMode)
                ActivateHint(Mouse->CursorPos());
            else
                CancelHint();
            return;
        }
        break;
    case CM_APPKEYDOWN: {
        TMessage key = Message;
        key.Msg = WM_KEYDOWN;
        Message.Result = IsShortCut(MessageAs<TWMKey>(key)) ? 1 : 0;
        return;
    }
    case CM_APPSYSCOMMAND:
        if (MainFormSysCommand) {  // asked by the main form, or forwarded to it: it handles the key itself
            Message.Result = 0;
            return;
        }
        if (FMainForm && FMainForm->HandleAllocated() && FMainForm->Enabled() && IsWindowVisible(FMainForm->WindowHandle())) {
            MainFormSysCommand = true;  // the hooks have seen it: the main form does not offer it again
            FMainForm->Perform(WM_SYSCOMMAND, Message.WParam, Message.LParam);
            MainFormSysCommand = false;
        }
        Message.Result = 1;
        return;
    case WM_ACTIVATEAPP:
        if (Message.WParam)
            OnActivate(this);
        else {
            CancelHint();
            OnDeactivate(this);
        }
        break;
    default: break;
    }
    Message.Result = DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

// ---- hints ----

void TApplication::SetHint(const String& Value) {
    if (FHint == Value) return;
    FHint = Value;
    OnHint(this);
}

void TApplication::SetShowHint(bool Value) {
    if (FShowHint == Value) return;
    FShowHint = Value;
    if (!Value) CancelHint();
}

void TApplication::StartHintTimer(int Pause, int Mode) {
    StopHintTimer();
    FHintTimerMode = Mode;
    if (SetTimer(Handle(), HintTimerId, UINT(std::max(Pause, 1)), nullptr) == 0) FHintTimerMode = 0;
}

void TApplication::StopHintTimer() {
    if (FHintTimerMode != 0 && FHandle && IsWindow(FHandle)) KillTimer(FHandle, HintTimerId);
    FHintTimerMode = 0;
}

void TApplication::CancelHint() {
    StopHintTimer();
    if (FHintWindow && FHintWindow->HandleAllocated()) FHintWindow->ReleaseHandle();
    FHintActive = false;
    FHintControl = nullptr;
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
    if (!Control->IsWindowed() && !Control->Parent()) return;
    const TPoint screen = Control->ClientToScreen(TPoint(SHORT(LOWORD(Message.LParam)), SHORT(HIWORD(Message.LParam))));
    TControl* target = FindDragTarget(screen, true);
    SetHint(GetLongHint(GetHint(target)));
    TControl* hintControl = FShowHint ? GetHintControl(target) : nullptr;
    if (!hintControl) {
        CancelHint();
        return;
    }
    if (hintControl == FHintControl && (FHintTimerMode == HintShowMode || FHintCursorRect.Contains(screen))) return;
    int pause = FHintActive ? FHintShortPause : FHintPause;
    hintControl->Perform(CM_HINTSHOWPAUSE, WPARAM(FHintActive), LPARAM(&pause));
    const bool wasActive = FHintActive;
    if (FHintWindow && FHintWindow->HandleAllocated()) FHintWindow->ReleaseHandle();
    FHintActive = wasActive;
    FHintControl = hintControl;
    FHintCursorRect = TRect();
    StartHintTimer(pause, HintShowMode);
}

void TApplication::ActivateHint(const TPoint& CursorPos) {
    StopHintTimer();
    if (!FHintControl) return;
    if (GetHintControl(FindDragTarget(CursorPos, true)) != FHintControl) {
        CancelHint();
        return;
    }
    THintInfo info;
    info.HintControl = FHintControl;
    info.HintWindowClass = HintWindowClass;
    info.HintPos = TPoint(CursorPos.X, CursorPos.Y + 20);  // below the pointer
    info.HintMaxWidth = Screen ? Screen->Width() : 1024;
    info.HintColor = FHintColor;
    info.CursorRect = FHintControl->ClientRect();
    info.CursorPos = FHintControl->ScreenToClient(CursorPos);
    info.HintStr = GetShortHint(GetHint(FHintControl));
    info.HideTimeout = FHintHidePause;
    bool canShow = FHintControl->Perform(CM_HINTSHOW, 0, LPARAM(&info)) == 0;
    if (canShow) OnShowHint(info.HintStr, canShow, info);
    FHintActive = canShow && !info.HintStr.isEmpty();
    if (!FHintActive || !info.HintWindowClass) {
        CancelHint();
        return;
    }
    if (!FHintWindow || FHintWindowClass != info.HintWindowClass) {
        delete FHintWindow;
        FHintWindow = info.HintWindowClass(this);
        FHintWindowClass = info.HintWindowClass;
    }
    FHintWindow->SetColor(info.HintColor);
    TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    r.Offset(info.HintPos.X, info.HintPos.Y);
    FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
    const TPoint topLeft = FHintControl->ClientToScreen(info.CursorRect.TopLeft());
    const TPoint bottomRight = FHintControl->ClientToScreen(info.CursorRect.BottomRight());
    FHintCursorRect = TRect(topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y);
    if (info.HideTimeout > 0) StartHintTimer(info.HideTimeout, HintHideMode);
}

} // namespace vcl
