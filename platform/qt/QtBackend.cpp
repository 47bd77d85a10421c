// The Qt presentation: a QRasterWindow per visible top-level window showing its backing image, Qt input
// turned into the window model's input, the desktop clipboard, and screens into the metrics.
#include "qt/QtBackend.h"
#include "win/shell32/trayapi.h"
#include "win/user32/Backend.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QCursor>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QRasterWindow>
#include <QRegion>
#include <QScreen>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <map>
#include <memory>

namespace twqt {

namespace {

int TwButton(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton: return TW_BUTTON_LEFT;
    case Qt::RightButton: return TW_BUTTON_RIGHT;
    case Qt::MiddleButton: return TW_BUTTON_MIDDLE;
    case Qt::BackButton: return TW_BUTTON_X1;
    case Qt::ForwardButton: return TW_BUTTON_X2;
    default: return 0;
    }
}

Qt::CursorShape ShapeOf(int id) {
    switch (id) {
    case 32513: return Qt::IBeamCursor;
    case 32514: return Qt::WaitCursor;
    case 32515: return Qt::CrossCursor;
    case 32516: return Qt::UpArrowCursor;
    case 32640:
    case 32646: return Qt::SizeAllCursor;
    case 32642: return Qt::SizeFDiagCursor;
    case 32643: return Qt::SizeBDiagCursor;
    case 32644: return Qt::SizeHorCursor;
    case 32645: return Qt::SizeVerCursor;
    case 32648: return Qt::ForbiddenCursor;
    case 32649: return Qt::PointingHandCursor;
    case 32650: return Qt::BusyCursor;
    case 32651: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
    }
}

// The window the program last asked the desktop to activate, until the desktop has done so: an
// activation of another of our windows arriving meanwhile was asked for earlier and is stale. Told to
// the model, it would start a round of the two windows taking activation from each other.
HWND requestedActive = nullptr;

class TwWindow : public QRasterWindow {
public:
    explicit TwWindow(HWND hwnd) : hwnd_(hwnd) {}

protected:
    void paintEvent(QPaintEvent* e) override {
        TwSurface s{};
        POINT origin{};
        if (!TwGetWindowSurface(hwnd_, &s, &origin)) return;
        const QImage image(static_cast<const uchar*>(s.bits), s.width, s.height, s.stride, QImage::Format_RGB32);
        QPainter p(this);
        // The rest of the backing store still shows the image, unless it was resized (and so lost).
        if (image.size() != painted_ || size() != backing_) {
            p.drawImage(0, 0, image);
            painted_ = image.size();
            backing_ = size();
            return;
        }
        for (const QRect& r : e->region()) p.drawImage(r.topLeft(), image, r);
    }

    void mousePressEvent(QMouseEvent* e) override { Button(e, true); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { Button(e, true); }  // the model decides double clicks
    void mouseReleaseEvent(QMouseEvent* e) override { Button(e, false); }
    void mouseMoveEvent(QMouseEvent* e) override {
        const QPoint g = e->globalPosition().toPoint();
        TwInputMouseMove(g.x(), g.y());
    }
    void wheelEvent(QWheelEvent* e) override {
        const QPoint g = e->globalPosition().toPoint();
        const QPoint d = e->angleDelta();
        if (d.y()) TwInputMouseWheel(g.x(), g.y(), d.y(), FALSE);
        if (d.x()) TwInputMouseWheel(g.x(), g.y(), -d.x(), TRUE);
    }
    void keyPressEvent(QKeyEvent* e) override { Key(e, true); }
    void keyReleaseEvent(QKeyEvent* e) override { Key(e, false); }
    // The desktop moved, sized, minimised or maximised the window: the model hears it as its own change.
    // The window's geometry now, not the event's: events of an earlier setGeometry may come late.
    void moveEvent(QMoveEvent*) override { Placed(); }
    void resizeEvent(QResizeEvent* e) override {
        QRasterWindow::resizeEvent(e);
        Placed();
    }
    void focusOutEvent(QFocusEvent*) override {
        // Activation went to another program (no window of ours has it): every window hears so.
        if (!IsOurs(QGuiApplication::focusWindow())) TwInputDeactivateApp();
    }
    void focusInEvent(QFocusEvent*) override {
        const auto m = QGuiApplication::queryKeyboardModifiers();
        TwSyncModifiers(m & Qt::ShiftModifier, m & Qt::ControlModifier, m & Qt::AltModifier);
        if (flags() & Qt::WindowDoesNotAcceptFocus) return;
        if (requestedActive && requestedActive != hwnd_ && IsWindow(requestedActive)) return;
        requestedActive = nullptr;
        if (GetActiveWindow() != hwnd_) TwInputActivate(hwnd_);
    }

    bool event(QEvent* e) override {
        switch (e->type()) {
        case QEvent::Leave: TwInputMouseLeft(); return true;
        case QEvent::WindowStateChange:
            StateChanged();
            return QRasterWindow::event(e);
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* d = static_cast<QDropEvent*>(e);
            if (d->mimeData()->hasUrls()) d->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* d = static_cast<QDropEvent*>(e);
            std::u16string list;
            for (const QUrl& u : d->mimeData()->urls())
                if (u.isLocalFile()) list += u.toLocalFile().toStdU16String() + u'\0';
            list += u'\0';
            const QPoint g = mapToGlobal(d->position().toPoint());
            if (list.size() > 1 && TwInputDropFiles(g.x(), g.y(), list.c_str())) d->acceptProposedAction();
            return true;
        }
        case QEvent::InputMethodQuery: {
            // Input methods are welcome; their candidate window goes beside the caret.
            auto* q = static_cast<QInputMethodQueryEvent*>(e);
            if (q->queries() & Qt::ImEnabled) q->setValue(Qt::ImEnabled, true);
            if (q->queries() & Qt::ImCursorRectangle) q->setValue(Qt::ImCursorRectangle, CaretRect());
            q->accept();
            return true;
        }
        case QEvent::InputMethod: {
            // What an input method composed arrives as typed text, as a packet key does on Windows.
            auto* im = static_cast<QInputMethodEvent*>(e);
            const std::u16string text = im->commitString().toStdU16String();
            if (!text.empty()) {
                TwInputKey(VkPacket, TRUE, FALSE, text.c_str(), FALSE);
                TwInputKey(VkPacket, FALSE, FALSE, nullptr, FALSE);
            }
            im->accept();
            return true;
        }
        case QEvent::Close:
            // The window manager's close button asks, as Windows' caption button does.
            PostMessageW(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0);
            e->ignore();
            return true;
        default: return QRasterWindow::event(e);
        }
    }

private:
    static constexpr UINT VkPacket = 0xE7;
    static bool IsOurs(QWindow* w) { return dynamic_cast<TwWindow*>(w) != nullptr; }

    // The caret in this window's coordinates (its window's top left when there is no caret).
    QRect CaretRect() const {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        if (!GetGUIThreadInfo(0, &gui) || !gui.hwndCaret) return QRect(0, 0, 1, 1);
        POINT p{gui.rcCaret.left, gui.rcCaret.top};
        ClientToScreen(gui.hwndCaret, &p);
        const QPoint local = mapFromGlobal(QPoint(p.x, p.y));
        return QRect(local.x(), local.y(), std::max<int>(1, gui.rcCaret.right - gui.rcCaret.left),
                     std::max<int>(1, gui.rcCaret.bottom - gui.rcCaret.top));
    }

    void StateChanged() {
        const Qt::WindowStates st = windowStates();
        TwDesktopShowState(hwnd_, st & Qt::WindowMinimized ? SW_MINIMIZE : st & Qt::WindowMaximized ? SW_MAXIMIZE : SW_RESTORE);
    }

    void Placed() {
        if (!isVisible() || (windowStates() & Qt::WindowMinimized)) return;
        // The desktop may tell the new size of a maximised or restored window before its new state.
        StateChanged();
        const QRect g = geometry();
        // A size outside the window's limits comes back corrected (Geometry). No minimum or maximum is
        // set on the Qt window: it would hold the program's own SetWindowPos to them too.
        TwDesktopPlaced(hwnd_, g.x(), g.y(), g.width(), g.height());
    }

    void Button(QMouseEvent* e, bool down) {
        const int b = TwButton(e->button());
        if (!b) return;
        const QPoint g = e->globalPosition().toPoint();
        TwInputMouseButton(g.x(), g.y(), b, down);
    }

    void Key(QKeyEvent* e, bool down) {
        bool extended = false;
        const UINT vk = VirtualKeyOf(e->key(), e->modifiers(), extended);
        if (!vk) return;
        const std::u16string text = down ? e->text().toStdU16String() : std::u16string();
        TwInputKey(vk, down, extended, text.empty() ? nullptr : text.c_str(), e->isAutoRepeat());
    }

    HWND hwnd_;
    QSize painted_, backing_; // the image and backing store sizes of the last whole drawing
};

int CALLBACK WorkArea(UINT action, UINT, PVOID pv, UINT) {
    if (action != SPI_GETWORKAREA || !pv) return -1;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return -1;
    const QRect r = screen->availableGeometry();
    *static_cast<RECT*>(pv) = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    return 1;
}

int CALLBACK Monitors(TwMonitorDesc* out, int max) { return ScreenMonitors(out, max); }

RECT RectOf(const QRect& r) { return RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1}; }

class QtBackend : public twuser::Backend {
public:
    void Show(HWND hwnd, const twuser::TopLevelInfo& info) override {
        auto& w = windows_[hwnd];
        if (!w) w = std::make_unique<TwWindow>(hwnd);
        Qt::WindowFlags f = info.decorated ? Qt::Window
                            : info.ownFrame ? (Qt::Window | Qt::FramelessWindowHint)
                                            : (Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
        if (info.topmost) f |= Qt::WindowStaysOnTopHint;
        w->setFlags(f);
        w->setTitle(info.title);
        w->setGeometry(QRect(info.rect.left, info.rect.top, info.rect.right - info.rect.left, info.rect.bottom - info.rect.top));
        w->setCursor(cursor_);
        w->show();
    }
    void Hide(HWND hwnd) override {
        if (auto it = windows_.find(hwnd); it != windows_.end()) it->second->hide();
    }
    void Geometry(HWND hwnd, const RECT& r) override {
        if (auto it = windows_.find(hwnd); it != windows_.end())
            it->second->setGeometry(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    }
    void Destroyed(HWND hwnd) override {
        if (requestedActive == hwnd) requestedActive = nullptr;
        windows_.erase(hwnd);
    }
    void Title(HWND hwnd, const QString& title) override {
        if (auto it = windows_.find(hwnd); it != windows_.end()) it->second->setTitle(title);
    }
    void Mask(HWND hwnd, const std::vector<RECT>& rects) override {
        auto it = windows_.find(hwnd);
        if (it == windows_.end()) return;
        QRegion mask;
        for (const RECT& r : rects) mask += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
        it->second->setMask(mask);
    }
    void Opacity(HWND hwnd, double opacity) override {
        if (auto it = windows_.find(hwnd); it != windows_.end()) it->second->setOpacity(opacity);
    }
    void Present(HWND hwnd, const RECT& d) override {
        if (auto it = windows_.find(hwnd); it != windows_.end())
            it->second->update(QRect(d.left, d.top, d.right - d.left, d.bottom - d.top));
    }
    void Activate(HWND hwnd) override {
        if (auto it = windows_.find(hwnd); it != windows_.end())
            if (!(it->second->flags() & Qt::WindowDoesNotAcceptFocus) && !it->second->isActive()) {
                requestedActive = hwnd;
                it->second->requestActivate();
            }
    }
    void CursorShape(int id, const QImage* image, POINT hot) override {
        cursor_ = image && !image->isNull() ? QCursor(QPixmap::fromImage(*image), hot.x, hot.y) : QCursor(ShapeOf(id));
        for (auto& [h, w] : windows_) w->setCursor(cursor_);
    }
    void ProcessEvents(int timeoutMs) override {
        if (timeoutMs == 0) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            return;
        }
        // A timer wakes the wait; input, expose events and Wake end it earlier.
        QTimer wake;
        if (timeoutMs > 0) {
            wake.setSingleShot(true);
            wake.start(timeoutMs);
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    void Wake() override {
        if (auto* d = QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread())) d->wakeUp();
    }
    bool ClipboardText(QString& text) override {
        const QMimeData* m = QGuiApplication::clipboard()->mimeData();
        if (!m || !m->hasText()) return false;
        text = m->text();
        return true;
    }
    bool ClipboardFiles(QStringList& files) override {
        const QMimeData* m = QGuiApplication::clipboard()->mimeData();
        if (!m || !m->hasUrls()) return false;
        for (const QUrl& u : m->urls())
            if (u.isLocalFile()) files << u.toLocalFile();
        return !files.isEmpty();
    }
    void SetClipboard(const QString* text, const QStringList* files) override {
        if (!text && !files) {
            QGuiApplication::clipboard()->clear();
            return;
        }
        auto* m = new QMimeData;
        if (files) {
            QList<QUrl> urls;
            for (const QString& f : *files) urls << QUrl::fromLocalFile(f);
            m->setUrls(urls);
        }
        if (text) m->setText(*text);
        QGuiApplication::clipboard()->setMimeData(m);
    }

    // On X11 desktops the icon is a widget embedded in the tray, and Qt makes widgets only under the
    // widgets' application object: under the plain GUI one it shows no icon, yet reports none of that,
    // and a window hidden for the tray would have no way back. So without it there is no tray.
    static bool CanShowTray() {
        return qobject_cast<QApplication*>(QCoreApplication::instance()) && QSystemTrayIcon::isSystemTrayAvailable();
    }
    bool TrayAvailable() override { return CanShowTray(); }
    bool TraySet(int id, const QImage& icon, const QString& tip) override {
        if (!CanShowTray()) return false;
        auto& t = trays_[id];
        if (!t) {
            t = std::make_unique<QSystemTrayIcon>();
            QObject::connect(t.get(), &QSystemTrayIcon::activated, [id](QSystemTrayIcon::ActivationReason why) {
                const QPoint at = QCursor::pos();
                auto send = [&](UINT event) { TwTrayEvent(id, event, at.x(), at.y()); };
                switch (why) {
                case QSystemTrayIcon::Trigger: send(WM_LBUTTONDOWN); send(WM_LBUTTONUP); break;
                case QSystemTrayIcon::DoubleClick: send(WM_LBUTTONDBLCLK); send(WM_LBUTTONUP); break;
                case QSystemTrayIcon::MiddleClick: send(WM_MBUTTONUP); break;
                case QSystemTrayIcon::Context: send(WM_RBUTTONDOWN); send(WM_RBUTTONUP); send(WM_CONTEXTMENU); break;
                default: break;
                }
            });
            QObject::connect(t.get(), &QSystemTrayIcon::messageClicked, [id] {
                const QPoint at = QCursor::pos();
                TwTrayEvent(id, NIN_BALLOONUSERCLICK, at.x(), at.y());
            });
        }
        t->setIcon(QIcon(QPixmap::fromImage(icon)));
        t->setToolTip(tip);
        t->show();
        return true;
    }
    void TrayRemove(int id) override { trays_.erase(id); }
    bool TrayBalloon(int id, const QString& title, const QString& text, int kind, int timeoutMs) override {
        auto it = trays_.find(id);
        if (it == trays_.end() || !QSystemTrayIcon::supportsMessages()) return false;
        static constexpr QSystemTrayIcon::MessageIcon icons[] = {QSystemTrayIcon::NoIcon, QSystemTrayIcon::Information,
                                                                 QSystemTrayIcon::Warning, QSystemTrayIcon::Critical};
        it->second->showMessage(title, text, icons[std::clamp(kind, 0, 3)], timeoutMs > 0 ? timeoutMs : 10000);
        return true;
    }

    QWindow* Find(HWND hwnd) const {
        auto it = windows_.find(hwnd);
        return it == windows_.end() ? nullptr : it->second.get();
    }

private:
    std::map<int, std::unique_ptr<QSystemTrayIcon>> trays_;
    std::map<HWND, std::unique_ptr<TwWindow>> windows_;
    QCursor cursor_;
};

QtBackend* backend = nullptr;

} // namespace

bool Install() {
    if (!TwStartGui(nullptr, nullptr, FALSE)) return false;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect g = screen->geometry();
        TwSetSystemMetric(SM_CXSCREEN, g.width());
        TwSetSystemMetric(SM_CYSCREEN, g.height());
        const QRect v = screen->virtualGeometry();
        TwSetSystemMetric(SM_XVIRTUALSCREEN, v.left());
        TwSetSystemMetric(SM_YVIRTUALSCREEN, v.top());
        TwSetSystemMetric(SM_CXVIRTUALSCREEN, v.width());
        TwSetSystemMetric(SM_CYVIRTUALSCREEN, v.height());
        TwSetSystemMetric(SM_CMONITORS, int(QGuiApplication::screens().size()));
        TwSetLogPixels(int(screen->logicalDotsPerInch() + 0.5));
        TwSetSystemParametersProvider(WorkArea);
        TwSetMonitorProvider(Monitors);
    }
    if (!backend) backend = new QtBackend;
    twuser::SetBackend(backend);
    return true;
}

void Uninstall() {
    if (twuser::CurrentBackend() == backend) twuser::SetBackend(nullptr);
    delete backend;
    backend = nullptr;
}

int ScreenMonitors(TwMonitorDesc* out, int max) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return 0;
    const QList<QScreen*> screens = QGuiApplication::screens();
    QScreen* primary = QGuiApplication::primaryScreen();
    int n = 0;
    for (QScreen* screen : screens) {
        if (n < max && out) {
            out[n].rcMonitor = RectOf(screen->geometry());
            out[n].rcWork = RectOf(screen->availableGeometry());
            out[n].primary = screen == primary;
        }
        ++n;
    }
    return n;
}

QWindow* WindowOf(HWND hwnd) { return backend ? backend->Find(hwnd) : nullptr; }

UINT VirtualKeyOf(int key, Qt::KeyboardModifiers mods, bool& extended) {
    extended = false;
    const bool keypad = mods & Qt::KeypadModifier;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return UINT('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return keypad ? UINT(VK_NUMPAD0 + (key - Qt::Key_0)) : UINT('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return UINT(VK_F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Return: return VK_RETURN;
    case Qt::Key_Enter: extended = true; return VK_RETURN;
    case Qt::Key_Insert: extended = !keypad; return VK_INSERT;
    case Qt::Key_Delete: extended = !keypad; return VK_DELETE;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Home: extended = !keypad; return VK_HOME;
    case Qt::Key_End: extended = !keypad; return VK_END;
    case Qt::Key_Left: extended = !keypad; return VK_LEFT;
    case Qt::Key_Up: extended = !keypad; return VK_UP;
    case Qt::Key_Right: extended = !keypad; return VK_RIGHT;
    case Qt::Key_Down: extended = !keypad; return VK_DOWN;
    case Qt::Key_PageUp: extended = !keypad; return VK_PRIOR;
    case Qt::Key_PageDown: extended = !keypad; return VK_NEXT;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Meta: extended = true; return VK_LWIN;
    case Qt::Key_Menu: extended = true; return VK_APPS;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_NumLock: extended = true; return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Asterisk: return keypad ? VK_MULTIPLY : UINT('8');
    case Qt::Key_Plus: return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Slash: if (keypad) { extended = true; return VK_DIVIDE; } return VK_OEM_2;
    case Qt::Key_Period: return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Comma:
    case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return VK_OEM_7;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    default: return 0;
    }
}

} // namespace twqt
