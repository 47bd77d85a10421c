// vcl/TrayIcon.h: an icon of the program in the desktop's notification area, with its hint, pop-up
// menu, balloon messages and click events (part of the ExtCtrls unit, which includes it).
#pragma once
#include "vcl/Controls.h"
#include "vcl/Graphics.h"

#include <memory>

namespace vcl {

class TPopupMenu;

enum TBalloonFlags { bfNone, bfInfo, bfWarning, bfError };

class TTrayIcon : public rtl::TComponent {
public:
    explicit TTrayIcon(rtl::TComponent* AOwner);
    ~TTrayIcon() override;  // the icon leaves the notification area

    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value);  // a copy; the shown icon follows
    const rtl::String& Hint() const { return FHint; }
    void SetHint(const rtl::String& Value);
    // Shown while true, when the desktop has a notification area (Shown tells whether it took the icon).
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Shown() const { return FShown; }
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);

    const rtl::String& BalloonHint() const { return FBalloonHint; }
    void SetBalloonHint(const rtl::String& Value) { FBalloonHint = Value; }
    const rtl::String& BalloonTitle() const { return FBalloonTitle; }
    void SetBalloonTitle(const rtl::String& Value) { FBalloonTitle = Value; }
    TBalloonFlags BalloonFlags() const { return FBalloonFlags; }
    void SetBalloonFlags(TBalloonFlags Value) { FBalloonFlags = Value; }
    int BalloonTimeout() const { return FBalloonTimeout; }
    void SetBalloonTimeout(int Value) { FBalloonTimeout = Value; }
    void ShowBalloonHint();

    // The window that hears the notification area's callback message.
    HWND Handle() const { return FHandle; }
    static constexpr UINT WM_SYSTEM_TRAY_MESSAGE = WM_USER + 1;

    rtl::TNotifyEvent OnClick;
    rtl::TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    rtl::TNotifyEvent OnBalloonClick;

protected:
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    virtual void WindowProc(TMessage& Message);

private:
    bool Notify(DWORD Message, UINT Flags);
    void IconChanged(rtl::TObject* Sender);

    HWND FHandle = nullptr;
    std::unique_ptr<TIcon> FIcon;
    rtl::String FHint;
    bool FVisible = false;
    bool FShown = false;
    TPopupMenu* FPopupMenu = nullptr;
    rtl::String FBalloonHint, FBalloonTitle;
    TBalloonFlags FBalloonFlags = bfNone;
    int FBalloonTimeout = 10000;
};

} // namespace vcl
