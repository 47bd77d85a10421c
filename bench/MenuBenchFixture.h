// bench/MenuBenchFixture.h: what the two menu benchmarks share: the application both menus run on, the
// QMenu they are measured against, the repaint timing of an open menu, and the bounds: the 500-item
// menu (which scrolls) opens within three times the 50-item one and repaints within 1.5 times the
// share of items it shows, and each is at most twice the QMenu.
#pragma once
#include "win/windows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QPixmap>

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace menu_bench {

inline void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}  // the offscreen platform's notes

// Offscreen unless told otherwise, and quiet; before the application starts.
struct QuietOffscreen {
    QuietOffscreen() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(Quiet);
    }
};

// The application for QMenu, with the window model started on it on the manual clock; Idle runs at
// each wait of a menu loop.
struct App : QuietOffscreen {
    QApplication app;
    template <class Hook> App(int& argc, char** argv, Hook Idle) : app(argc, argv) {
        TwStartGui(&argc, argv, TRUE);
        TwUseManualClock(1000);
        TwSetIdleHook(Idle, nullptr);
    }
};

// The average time of one full repaint of Wnd, over 20.
inline double TimeRepaints(HWND Wnd) {
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 20; ++i) {
        InvalidateRect(Wnd, nullptr, TRUE);
        TwFlushPainting();
    }
    return t.nsecsElapsed() / 1e9 / 20;
}

// A QMenu with the same items as ours (every seventh checked, a Ctrl shortcut each), opened, painted
// and closed.
inline double QMenuOnce(int items) {
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

// The best of Rounds runs of Once(items).
template <class F> double BestOf(F&& Once, int items, int Rounds = 7) {
    double best = 1e9;
    for (int i = 0; i < Rounds; ++i) best = std::min(best, Once(items));
    return best;
}

struct Figures {
    double total = 1e9, repaint = 1e9;  // seconds: open-paint-close, one repaint
    int shown = 0;                      // items the open menu showed
};

// Prints the figures against the QMenu's and checks the bounds; false when one is missed.
inline bool Report(const char* What, const Figures& ours50, const Figures& ours500) {
    const double qt50 = BestOf(QMenuOnce, 50), qt500 = BestOf(QMenuOnce, 500);
    std::printf("%s opened, painted, closed: 50 items %.2f ms, 500 items %.2f ms\n", What, ours50.total * 1e3,
                ours500.total * 1e3);
    std::printf("QMenu the same: 50 items %.2f ms, 500 items %.2f ms\n", qt50 * 1e3, qt500 * 1e3);
    std::printf("repainting it: 50 items (%d shown) %.3f ms, 500 items (%d shown) %.3f ms\n", ours50.shown,
                ours50.repaint * 1e3, ours500.shown, ours500.repaint * 1e3);
    bool ok = true;
    if (ours500.repaint > 1.5 * ours50.repaint * ours500.shown / ours50.shown) {
        std::printf("FAIL: repainting 500 items costs %.1f times 50 items (at most 1.5 times %d/%d)\n",
                    ours500.repaint / ours50.repaint, ours500.shown, ours50.shown);
        ok = false;
    }
    // Ten times the items, about as many shown: the larger may cost at most three times the smaller
    // (its layout still measures every item).
    std::printf("500 items: %.2f times 50 items (at most 3)\n", ours500.total / ours50.total);
    if (ours500.total > 3 * ours50.total) {
        std::printf("FAIL: 500 items cost %.1f times 50 items (at most 3)\n", ours500.total / ours50.total);
        ok = false;
    }
    for (const auto& [ours, qt, n] : {std::tuple{ours50.total, qt50, 50}, std::tuple{ours500.total, qt500, 500}}) {
        std::printf("%d items: %.2f times QMenu (at most 2)\n", n, ours / qt);
        if (qt <= 0 || ours > 2 * qt) ok = false;
    }
    return ok;
}

} // namespace menu_bench
