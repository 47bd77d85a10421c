// bench/StdControlsBench.cpp: the standard controls under load, each at two sizes in one run, which must
// grow linearly (the larger costs at most 1.5 times its share): typing 1,000 and 10,000 characters into
// a multi-line edit and scrolling it to the top and back, and filling a list box and a combo box with
// 10,000 and 100,000 items. Prints the numbers; exits non-zero when a bound is missed.
// bench-libs: win Qt6::Gui
#include "win/windows.h"

#include <QString>

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

HWND top = nullptr;

double TypeAndScroll(int chars) {
    HWND memo = CreateWindowExW(0, u"Edit", u"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL | WS_VSCROLL, 0, 0,
                                400, 300, top, nullptr, nullptr, nullptr);
    SetFocus(memo);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < chars; ++i) SendMessageW(memo, WM_CHAR, (i % 40 == 39) ? u'\r' : WPARAM(u'a' + i % 26), 1);
    SendMessageW(memo, WM_VSCROLL, SB_TOP, 0);
    SendMessageW(memo, WM_VSCROLL, SB_BOTTOM, 0);
    const double s = t.nsecsElapsed() / 1e9;
    DestroyWindow(memo);
    return s;
}

double Fill(const char16_t* cls, UINT add, int items) {
    HWND h = CreateWindowExW(0, cls, u"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 200, 300, top, nullptr, nullptr,
                             nullptr);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < items; ++i) {
        const std::u16string text = u"item " + QString::number(i).toStdU16String();
        SendMessageW(h, add, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    const double s = t.nsecsElapsed() / 1e9;
    DestroyWindow(h);
    return s;
}

bool Linear(const char* what, double small, double large, double factor) {
    std::printf("%s: %.4f s and %.4f s (ratio %.2f for %.0f times the work)\n", what, small, large, large / small, factor);
    if (large / small <= factor * 1.5) return true;
    std::printf("  FAIL: not linear\n");
    return false;
}

} // namespace

int main(int argc, char** argv) {
    TwStartGui(&argc, argv, TRUE); // offscreen unless QT_QPA_PLATFORM names a platform
    top = CreateWindowExW(0, u"#32770", u"bench", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    bool ok = true;
    double small = 1e9, large = 1e9;
    for (int run = 0; run < 2; ++run) {
        small = std::min(small, TypeAndScroll(1'000));
        large = std::min(large, TypeAndScroll(10'000));
    }
    ok &= Linear("typing into a multi-line edit", small, large, 10);
    for (auto [cls, add, name] : {std::tuple{u"ListBox", UINT(LB_ADDSTRING), "list box"},
                                  std::tuple{u"ComboBox", UINT(CB_ADDSTRING), "combo box"}}) {
        small = large = 1e9;
        for (int run = 0; run < 2; ++run) {
            small = std::min(small, Fill(cls, add, 10'000));
            large = std::min(large, Fill(cls, add, 100'000));
        }
        ok &= Linear(name, small, large, 10);
    }
    DestroyWindow(top);
    return ok ? 0 : 1;
}
