// bench/BarToolbarBench.cpp: the toolbar's costs, in one run.
// - Laying out a docked toolbar of 10, 100 and 1,000 buttons (with its chevron): ten times the buttons
//   within 15 times the time, and at most twice a QToolBar laying out the same actions with its
//   extension button.
// - Building a bar of 1,000 buttons with and without an update bracket (without one each insert lays
//   the bar out again): both reported.
// - A shortcut key through CM_APPKEYDOWN that no button has, with 250 buttons on four bars: under 1 ms;
//   with 10,000, within 60 times the 250-button time. The search over two groups linked to their own
//   ancestor: under 1 ms.
// - ListFloatingSizes of a 40-button floating toolbar, and a get_accChild walk over 500 buttons: under
//   50 ms each.
// Prints the numbers; exits non-zero when a bound is missed.
// bench-libs: toolbars vcl rtl win Qt6::Gui Qt6::Widgets
#include "toolbars/BarAcc.h"
#include "toolbars/BarToolbar.h"

#include "vcl/Forms.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLayout>
#include <QToolBar>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using namespace bars;

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}  // the offscreen platform's notes

// The best time in seconds of Rounds runs of Work, each repeated Times times (per repeat).
double Best(const std::function<void()>& Work, int Times = 1, int Rounds = 5) {
    double best = 1e9;
    for (int r = 0; r < Rounds; ++r) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < Times; ++i) Work();
        best = std::min(best, t.nsecsElapsed() / 1e9 / Times);
    }
    return best;
}

vcl::TForm* form = nullptr;
TBarDock* dock = nullptr;

TBarCustomToolbar* NewBar(int Buttons, bool Bracket = true, int ShortCutBase = 0) {
    auto* bar = new TBarCustomToolbar(form);
    if (Bracket) bar->View()->BeginUpdate();
    for (int i = 0; i < Buttons; ++i) {
        auto* item = new TBarCustomItem(form);
        item->SetCaption(QStringLiteral("Item %1").arg(i));
        if (ShortCutBase) item->SetShortCut(vcl::TShortCut(ShortCutBase + i));
        bar->Items()->Add(item);
    }
    if (Bracket) bar->View()->EndUpdate();
    return bar;
}

double LayoutOurs(int Buttons) {
    TBarCustomToolbar* bar = NewBar(Buttons);
    bar->SetParent(dock);
    TBarView* view = bar->View();
    const double s = Best(
        [&] {
            TPoint base, total;
            int lines = 0;
            view->LayoutViewers(true, tbvoHorizontal, 0, 600, 12, base, total, lines);
        },
        Buttons < 1000 ? 20 : 5);
    delete bar;
    return s;
}

double LayoutQt(int Buttons) {
    QToolBar bar;
    bar.setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (int i = 0; i < Buttons; ++i) bar.addAction(QStringLiteral("Item %1").arg(i));
    bar.resize(612, 24);
    bar.show();
    QCoreApplication::processEvents();
    return Best(
        [&] {
            bar.layout()->invalidate();
            bar.layout()->activate();
        },
        Buttons < 1000 ? 20 : 5);
}

double Build(int Buttons, bool Bracket) {
    return Best(
        [&] {
            TBarCustomToolbar* bar = new TBarCustomToolbar(form);
            bar->SetParent(dock);
            if (Bracket) bar->View()->BeginUpdate();
            for (int i = 0; i < Buttons; ++i) {
                auto* item = new TBarCustomItem(bar);
                item->SetCaption(QStringLiteral("Item %1").arg(i));
                bar->Items()->Add(item);
            }
            if (Bracket) bar->View()->EndUpdate();
            delete bar;
        },
        1, 3);
}

// A key no button has, offered to four shortcut bars holding Buttons buttons between them.
double ShortCutKey(int Buttons) {
    std::vector<TBarCustomToolbar*> bars;
    for (int b = 0; b < 4; ++b) {
        // Ctrl+Shift+Alt with codes from 0x100 up: never the key below.
        TBarCustomToolbar* bar = NewBar(Buttons / 4, true, vcl::scCtrl | vcl::scShift | vcl::scAlt | (b * Buttons / 4 + 1));
        bar->SetProcessShortCuts(true);
        bar->SetParent(dock);
        bars.push_back(bar);
    }
    const double s = Best([] { SendMessageW(vcl::Application->Handle(), vcl::CM_APPKEYDOWN, VK_F12, 0); },
                          Buttons < 10000 ? 200 : 20);
    for (TBarCustomToolbar* bar : bars) delete bar;
    return s;
}

// Two groups, each showing the items of the root they sit in, searched for a key none has.
double LinkedGroups() {
    auto* root = new TBarRootItem(form);
    for (int i = 0; i < 2; ++i) {
        auto* group = new TBarCustomItem(form);
        root->Add(group);
        group->SetLinkSubitems(root);
    }
    const double s = Best(
        [&] {
            TBarCustomItem* topmost = nullptr;
            FindItemWithShortCut(root, VK_F12, topmost);
        },
        1, 1);
    delete root;
    return s;
}

double FloatingSizes() {
    TBarCustomToolbar* bar = NewBar(40);
    bar->SetParent(form);
    bar->SetFloating(true);
    const double s = Best([&] {
        std::vector<TPoint> sizes;
        bar->ListFloatingSizes(sizes);
    });
    delete bar;
    return s;
}

double AccWalk() {
    TBarCustomToolbar* bar = NewBar(500);
    bar->SetShrinkMode(tbsmWrap);
    bar->SetParent(dock);
    IDispatch* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(bar->Handle(), DWORD(OBJID_CLIENT), IID_IDispatch,
                                          reinterpret_cast<void**>(&object))) ||
        !object) {
        std::printf("no accessibility object for the toolbar\n");
        delete bar;
        return -1;
    }
    IAccessible* acc = nullptr;
    object->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&acc));
    object->Release();
    LONG children = 0;
    acc->get_accChildCount(&children);
    const double s = Best([&] {
        LONG count = 0;
        acc->get_accChildCount(&count);
        for (LONG i = 1; i <= count; ++i) {
            VARIANT child{};
            child.vt = VT_I4;
            child.lVal = i;
            IDispatch* d = nullptr;
            if (SUCCEEDED(acc->get_accChild(child, &d)) && d) d->Release();
        }
    });
    acc->Release();
    delete bar;
    if (children < 500) std::printf("the toolbar's object has %ld children\n", long(children));
    return children >= 500 ? s : -1;  // every button is a child
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(Quiet);
    QApplication app(argc, argv);  // QToolBar needs it; the window model runs on the same application
    TwStartGui(&argc, argv, TRUE);
    vcl::Application = new vcl::TApplication(nullptr);
    form = new vcl::TForm(vcl::Application);
    form->SetBounds(0, 0, 640, 480);
    dock = new TBarDock(form);
    dock->SetParent(form);
    form->Show();
    TwInputActivate(form->Handle());
    bool ok = true;
    auto check = [&](bool met, const char* what) {
        if (!met) {
            std::printf("FAIL: %s\n", what);
            ok = false;
        }
    };

    const double ours10 = LayoutOurs(10), ours100 = LayoutOurs(100), ours1000 = LayoutOurs(1000);
    const double qt10 = LayoutQt(10), qt100 = LayoutQt(100), qt1000 = LayoutQt(1000);
    std::printf("layout of 10 / 100 / 1,000 buttons: %.3f / %.3f / %.3f ms; QToolBar %.3f / %.3f / %.3f ms\n",
                ours10 * 1e3, ours100 * 1e3, ours1000 * 1e3, qt10 * 1e3, qt100 * 1e3, qt1000 * 1e3);
    std::printf("  100/10: %.1f times, 1,000/100: %.1f times (at most 15); against QToolBar %.2f / %.2f / %.2f "
                "(at most 2)\n",
                ours100 / ours10, ours1000 / ours100, ours10 / qt10, ours100 / qt100, ours1000 / qt1000);
    check(ours100 <= 15 * ours10 && ours1000 <= 15 * ours100, "layout grows faster than 15 times per 10 times the buttons");
    check(ours10 <= 2 * qt10 && ours100 <= 2 * qt100 && ours1000 <= 2 * qt1000, "layout over twice QToolBar's");

    const double bracketed = Build(1000, true), unbracketed = Build(1000, false);
    std::printf("building 1,000 buttons: %.1f ms in an update bracket, %.1f ms without\n", bracketed * 1e3,
                unbracketed * 1e3);

    const double key250 = ShortCutKey(250), key10000 = ShortCutKey(10000);
    std::printf("a shortcut key past 250 / 10,000 buttons on four bars: %.3f / %.3f ms (%.1f times; at most 60)\n",
                key250 * 1e3, key10000 * 1e3, key10000 / key250);
    check(key250 < 1e-3, "a shortcut key with 250 buttons takes 1 ms or more");
    check(key10000 <= 60 * key250, "a shortcut key with 10,000 buttons over 60 times 250");
    const double linked = LinkedGroups();
    std::printf("a shortcut search over two groups linked to their own root: %.3f ms\n", linked * 1e3);
    check(linked < 1e-3, "the search over linked groups takes 1 ms or more");

    const double floating = FloatingSizes(), walk = AccWalk();
    std::printf("floating sizes of 40 buttons: %.2f ms; get_accChild over 500 buttons: %.2f ms (each under 50)\n",
                floating * 1e3, walk * 1e3);
    check(floating < 0.05, "floating sizes take 50 ms or more");
    check(walk >= 0 && walk < 0.05, "the accessibility walk fails or takes 50 ms or more");
    return ok ? 0 : 1;
}
