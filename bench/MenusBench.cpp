// bench/MenusBench.cpp: opening a pop-up menu, painting it and closing it, with 50 and with 500 items in
// one run. The 500-item menu scrolls and shows about as many items as fit the screen: repainting it must
// cost in proportion to the items shown (at most 1.5 times their share of the 50-item menu's cost), and
// opening it at most three times the 50-item menu (its layout still measures every item). Against a
// QMenu holding the same items, opened, painted and closed, ours may take at most twice as long. Prints
// the numbers; exits non-zero when a bound is missed.
// bench-libs: win Qt6::Gui Qt6::Widgets
#include "MenuBenchFixture.h"

#include <QString>

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
    repaintSeconds = menu_bench::TimeRepaints(wnd);
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

// The best of seven rounds, with the best repaint.
menu_bench::Figures Best(int items) {
    menu_bench::Figures f;
    for (int i = 0; i < 7; ++i) {
        f.total = std::min(f.total, OursOnce(items));
        f.repaint = std::min(f.repaint, repaintSeconds);
    }
    f.shown = shownItems;
    return f;
}

} // namespace

int main(int argc, char** argv) {
    menu_bench::App app(argc, argv, &CloseWhenIdle);
    owner = CreateWindowExW(0, u"Static", u"owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    const menu_bench::Figures ours50 = Best(50), ours500 = Best(500);
    const bool ok = menu_bench::Report("pop-up menu", ours50, ours500);
    DestroyWindow(owner);
    return ok ? 0 : 1;
}
