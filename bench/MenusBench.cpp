// bench/MenusBench.cpp: opening a pop-up menu, painting it and closing it, with 50 and with 500 items in
// one run. The 500-item menu scrolls and shows about as many items as fit the screen: repainting it must
// cost in proportion to the items shown (at most 1.5 times their share of the 50-item menu's cost), and
// opening it at most three times the 50-item menu (its layout still measures every item). Against a
// QMenu holding the same items, opened, painted and closed, ours may take at most twice as long. Prints
// the numbers; exits non-zero when a bound is missed.
// bench-libs: win Qt6::Gui Qt6::Widgets
#include "win/windows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QPixmap>
#include <QString>

#include <algorithm>
#include <tuple>
#include <cstdio>
#include <string>

namespace {

HWND owner = nullptr;
double repaintSeconds = 0;  // the last menu's repaints, timed while it was open
int shownItems = 0;         // and how many of its items it showed

// Ends the loop at its first wait, once the menu has been shown and painted, and times repaints of it.
void CALLBACK CloseWhenIdle(void*) {
    TwFlushPainting();
    HWND wnd = FindWindowW(u"#32768", nullptr);
    auto menu = reinterpret_cast<HMENU>(SendMessageW(wnd, MN_GETHMENU, 0, 0));
    RECT client;
    GetClientRect(wnd, &client);
    POINT origin{0, 0};
    ClientToScreen(wnd, &origin);
    shownItems = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        RECT r;
        GetMenuItemRect(nullptr, menu, UINT(i), &r);
        if (r.top - origin.y < client.bottom) ++shownItems;
    }
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 20; ++i) {
        InvalidateRect(wnd, nullptr, TRUE);
        TwFlushPainting();
    }
    repaintSeconds = t.nsecsElapsed() / 1e9 / 20;
    EndMenu();
}

double OursOnce(int items) {
    QElapsedTimer t;
    t.start();
    HMENU m = CreatePopupMenu();
    for (int i = 0; i < items; ++i) {
        const std::u16string text = u"Item " + QString::number(i).toStdU16String() + u"\tCtrl+" + char16_t(u'A' + i % 26);
        AppendMenuW(m, MF_STRING | (i % 7 == 0 ? MF_CHECKED : 0), UINT(i + 1), text.c_str());
    }
    TrackPopupMenu(m, TPM_RETURNCMD, 10, 10, 0, owner, nullptr);
    DestroyMenu(m);
    return t.nsecsElapsed() / 1e9 - 20 * repaintSeconds;  // without the repaints timed while it was open
}

double QMenuOnce(int items) {
    QElapsedTimer t;
    t.start();
    QMenu menu;
    for (int i = 0; i < items; ++i) {
        QAction* a = menu.addAction(QStringLiteral("Item %1").arg(i));
        a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_A + i % 26)));
        if (i % 7 == 0) {
            a->setCheckable(true);
            a->setChecked(true);
        }
    }
    menu.popup(QPoint(10, 10));
    QCoreApplication::processEvents();
    const QPixmap painted = menu.grab();
    menu.hide();
    const double s = t.nsecsElapsed() / 1e9;
    return painted.isNull() ? -1 : s;
}

template <class F> double Best(F&& once, int items, double* bestRepaint = nullptr, int rounds = 7) {
    double best = 1e9;
    if (bestRepaint) *bestRepaint = 1e9;
    for (int i = 0; i < rounds; ++i) {
        best = std::min(best, once(items));
        if (bestRepaint) *bestRepaint = std::min(*bestRepaint, repaintSeconds);
    }
    return best;
}

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}  // the offscreen platform's notes

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(Quiet);
    QApplication app(argc, argv);  // QMenu needs it; the window model runs on the same application
    TwStartGui(&argc, argv, TRUE);
    TwUseManualClock(1000);
    TwSetIdleHook(&CloseWhenIdle, nullptr);
    owner = CreateWindowExW(0, u"Static", u"owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);

    double repaint50 = 0, repaint500 = 0;
    const double ours50 = Best(OursOnce, 50, &repaint50);
    const int shown50 = shownItems;
    const double ours500 = Best(OursOnce, 500, &repaint500);
    const int shown500 = shownItems;
    const double qt50 = Best(QMenuOnce, 50), qt500 = Best(QMenuOnce, 500);
    std::printf("pop-up menu opened, painted, closed: 50 items %.2f ms, 500 items %.2f ms\n", ours50 * 1e3, ours500 * 1e3);
    std::printf("QMenu the same:                     50 items %.2f ms, 500 items %.2f ms\n", qt50 * 1e3, qt500 * 1e3);
    std::printf("repainting it: 50 items (%d shown) %.3f ms, 500 items (%d shown) %.3f ms\n", shown50,
                repaint50 * 1e3, shown500, repaint500 * 1e3);
    bool ok = true;
    if (repaint500 > 1.5 * repaint50 * shown500 / shown50) {
        std::printf("FAIL: repainting 500 items costs %.1f times 50 items (at most 1.5 times %d/%d)\n",
                    repaint500 / repaint50, shown500, shown50);
        ok = false;
    }
    // Ten times the items, about as many shown: the larger may cost at most three times the smaller
    // (its layout still measures every item).
    if (ours500 > 3 * ours50) {
        std::printf("FAIL: 500 items cost %.1f times 50 items (at most 3)\n", ours500 / ours50);
        ok = false;
    }
    for (const auto& [ours, qt, n] : {std::tuple{ours50, qt50, 50}, std::tuple{ours500, qt500, 500}}) {
        std::printf("%d items: %.2f times QMenu (at most 2)\n", n, ours / qt);
        if (qt <= 0 || ours > 2 * qt) ok = false;
    }
    DestroyWindow(owner);
    return ok ? 0 : 1;
}
