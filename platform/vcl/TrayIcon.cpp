// vcl/TrayIcon.cpp: the tray icon over Shell_NotifyIconW; clicks arrive as the callback message of a
// window of its own.
#include "vcl/TrayIcon.h"
#include "vcl/Menus.h"
#include "win/shell32/trayapi.h"

#include <algorithm>

namespace vcl {

TTrayIcon::TTrayIcon(rtl::TComponent* AOwner) : rtl::TComponent(AOwner), FIcon(std::make_unique<TIcon>()) {
    FHandle = AllocateHWnd(TWndMethod(this, &TTrayIcon::WindowProc));
    FIcon->OnChange = rtl::TNotifyEvent(this, &TTrayIcon::IconChanged);
}

TTrayIcon::~TTrayIcon() {
    if (FShown) Notify(NIM_DELETE, 0);
    if (FHandle) DeallocateHWnd(FHandle);
}

bool TTrayIcon::Notify(DWORD Message, UINT Flags) {
    NOTIFYICONDATAW d{};
    d.cbSize = sizeof d;
    d.hWnd = FHandle;
    d.uID = 0;
    d.uFlags = Flags;
    d.uCallbackMessage = WM_SYSTEM_TRAY_MESSAGE;
    d.hIcon = FIcon->Empty() ? nullptr : FIcon->Handle();
    const std::u16string hint = FHint.left(127).toStdU16String();
    std::copy(hint.begin(), hint.end(), d.szTip);
    if (Flags & NIF_INFO) {
        const std::u16string text = FBalloonHint.left(255).toStdU16String();
        const std::u16string title = FBalloonTitle.left(63).toStdU16String();
        std::copy(text.begin(), text.end(), d.szInfo);
        std::copy(title.begin(), title.end(), d.szInfoTitle);
        d.uTimeout = UINT(std::max(FBalloonTimeout, 0));
        d.dwInfoFlags = DWORD(FBalloonFlags);
    }
    return Shell_NotifyIconW(Message, &d) != FALSE;
}

void TTrayIcon::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    if (ComponentState().Contains(rtl::csDesigning)) return;
    if (Value) FShown = Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    else if (FShown) {
        Notify(NIM_DELETE, 0);
        FShown = false;
    }
}

void TTrayIcon::SetHint(const rtl::String& Value) {
    if (FHint == Value) return;
    FHint = Value;
    if (FShown) Notify(NIM_MODIFY, NIF_TIP);
}

void TTrayIcon::SetIcon(TIcon* Value) {
    FIcon->Assign(Value);  // OnChange shows it
}

void TTrayIcon::IconChanged(rtl::TObject* Sender) {
    (void)Sender;
    if (FShown) Notify(NIM_MODIFY, NIF_ICON);
}

void TTrayIcon::SetPopupMenu(TPopupMenu* Value) {
    if (FPopupMenu) RemoveFreeNotification(FPopupMenu);
    FPopupMenu = Value;
    if (Value) Value->FreeNotification(this);
}

void TTrayIcon::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    rtl::TComponent::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TTrayIcon::ShowBalloonHint() {
    if (FShown) Notify(NIM_MODIFY, NIF_INFO);
}

void TTrayIcon::WindowProc(TMessage& Message) {
    if (Message.Msg != WM_SYSTEM_TRAY_MESSAGE) {
        Message.Result = DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    POINT p{0, 0};
    GetCursorPos(&p);
    const TShiftState shift = KeyDataToShiftState(0);
    try {
        switch (UINT(Message.LParam)) {
        case WM_LBUTTONDOWN: OnMouseDown(this, mbLeft, shift, p.x, p.y); break;
        case WM_RBUTTONDOWN: OnMouseDown(this, mbRight, shift, p.x, p.y); break;
        case WM_LBUTTONUP:
            OnMouseUp(this, mbLeft, shift, p.x, p.y);
            OnClick(this);
            break;
        case WM_LBUTTONDBLCLK: OnDblClick(this); break;
        case WM_RBUTTONUP:
            OnMouseUp(this, mbRight, shift, p.x, p.y);
            if (FPopupMenu && FPopupMenu->AutoPopup()) {
                // The menu closes when the user clicks elsewhere only while the program is in front.
                SetForegroundWindow(FHandle);
                FPopupMenu->SetPopupComponent(this);
                FPopupMenu->Popup(p.x, p.y);
                PostMessageW(FHandle, WM_NULL, 0, 0);
            }
            break;
        case NIN_BALLOONUSERCLICK: OnBalloonClick(this); break;
        default: break;
        }
    } catch (...) {
        HandleControlException(this);
    }
}

} // namespace vcl
