// win/user32/Backend.h: what the window model needs from the presentation (screen, input, clipboard).
// user32 calls it; platform/qt implements it and installs itself with twuser::SetBackend at start.
// Without a backend the model still works: nothing is shown, input comes only from the Tw* functions.
#pragma once

#include "win/windef.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

TW_SHARED_BEGIN
namespace twuser {

struct TopLevelInfo {
    RECT rect{};             // screen rectangle of the window (its model NC area included)
    bool decorated = false;  // caption and frame drawn by the desktop
    bool popup = false;      // frameless, takes no focus (menus, hints, drop-downs)
    bool topmost = false;
    bool noActivate = false;  // shown without activation
    bool tool = false;
    bool ownFrame = false;  // frameless, but activated like a decorated window: it draws its own frame
    QString title;
};

class Backend {
public:
    virtual ~Backend() = default;

    // A top-level window became visible, moved or resized, was hidden, or died.
    virtual void Show(HWND hwnd, const TopLevelInfo& info) = 0;
    virtual void Hide(HWND hwnd) = 0;
    virtual void Geometry(HWND hwnd, const RECT& rect) = 0;
    virtual void Destroyed(HWND hwnd) = 0;
    virtual void Title(HWND hwnd, const QString& title) = 0;
    virtual void Opacity(HWND hwnd, double opacity) = 0;
    // The window region (window coordinates) masks what is shown; an empty list removes the mask.
    virtual void Mask(HWND hwnd, const std::vector<RECT>& rects) { (void)hwnd, (void)rects; }
    // The window's pixels changed inside `dirty` (window coordinates); read them with TwGetWindowSurface.
    virtual void Present(HWND hwnd, const RECT& dirty) = 0;
    // The program activated one of its windows (SetActiveWindow, SetForegroundWindow).
    virtual void Activate(HWND hwnd) = 0;
    // The shape over the program's windows: a standard IDC_* number, or an image with its hot spot.
    virtual void CursorShape(int standardId, const QImage* image, POINT hotspot) = 0;

    // Delivers pending platform events (as Tw* input calls); waits at most `timeoutMs` for one when
    // there is none (0: do not wait; negative: wait until Wake).
    virtual void ProcessEvents(int timeoutMs) = 0;
    // Ends a wait in ProcessEvents; may be called from any thread.
    virtual void Wake() = 0;

    // The desktop clipboard, for text and file lists. SetClipboard replaces everything on it with what
    // is given (both null: it is emptied).
    virtual bool ClipboardText(QString& text) = 0;
    virtual bool ClipboardFiles(QStringList& files) = 0;
    virtual void SetClipboard(const QString* text, const QStringList* files) = 0;

    // The desktop's notification area: one icon per id with its tip, and balloon messages. A desktop
    // without one (and the headless presentation) has none: adding an icon then fails. Clicks come back
    // through TwTrayEvent (shell32).
    virtual bool TrayAvailable() { return false; }
    virtual bool TraySet(int id, const QImage& icon, const QString& tip) { (void)id, (void)icon, (void)tip; return false; }
    virtual void TrayRemove(int id) { (void)id; }
    // kind: 0 none, 1 information, 2 warning, 3 error.
    virtual bool TrayBalloon(int id, const QString& title, const QString& text, int kind, int timeoutMs) {
        (void)id, (void)title, (void)text, (void)kind, (void)timeoutMs;
        return false;
    }
};

// Installs (or with nullptr removes) the presentation. Windows already visible are shown on it.
void SetBackend(Backend* backend);
Backend* CurrentBackend();

} // namespace twuser
TW_SHARED_END
