// bench/StdControlsBench.cpp: the standard controls under load, each at two sizes in one run, which must
// grow linearly (the larger costs at most 1.5 times its share): typing 1,000 and 10,000 characters into
// a multi-line edit and scrolling it to the top and back, and filling a list box and a combo box with
// 10,000 and 100,000 items; through the class library, assigning 10,000 and 100,000 lines to a memo
// and adding as many items to a list box and a combo box (sorted too, n log n there). Prints the
// numbers; exits non-zero when a bound is missed.
// bench-libs: vcl win Qt6::Gui
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "win/windows.h"

#include <QString>

#include <QElapsedTimer>

#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <functional>
#include <type_traits>

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

// A form holding one control of the class library, filled with Count lines through its strings.
template <class Control> double FillStrings(int count, bool sorted, rtl::TStrings* (Control::*strings)() const) {
    rtl::TStringList source;
    for (int i = 0; i < count; ++i) source.Add(QStringLiteral("line %1").arg((i * 7919) % count));
    auto* form = new vcl::TForm(vcl::Application);
    form->SetBounds(0, 0, 600, 400);
    auto* control = new Control(form);
    control->SetBounds(0, 0, 400, 300);
    control->SetParent(form);
    if constexpr (!std::is_same_v<Control, vcl::TMemo>) control->SetSorted(sorted);
    form->Show();
    QElapsedTimer t;
    t.start();
    (control->*strings)()->Assign(&source);
    const double s = t.nsecsElapsed() / 1e9;
    if ((control->*strings)()->Count() < count) std::printf("  (only %d of %d lines arrived)\n", (control->*strings)()->Count(), count);
    delete form;
    return s;
}

bool Linear(const char* what, double small, double large, double factor) {
    std::printf("%s: %.4f s and %.4f s (ratio %.2f for %.1f times the work)\n", what, small, large, large / small, factor);
    if (large / small <= factor * 1.5) return true;
    std::printf("  FAIL: not linear\n");
    return false;
}

} // namespace

int main(int argc, char** argv) {
    // Freed memory stays with the process: otherwise only the larger size gets fresh pages from the
    // system each run, and the kernel zeroing them (on a loaded machine) reads as the control growing
    // worse than linearly. The best of three runs then measures the controls on memory already touched.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    TwStartGui(&argc, argv, TRUE); // offscreen unless QT_QPA_PLATFORM names a platform
    top = CreateWindowExW(0, u"#32770", u"bench", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    bool ok = true;
    double small = 1e9, large = 1e9;
    for (int run = 0; run < 3; ++run) {
        small = std::min(small, TypeAndScroll(1'000));
        large = std::min(large, TypeAndScroll(10'000));
    }
    ok &= Linear("typing into a multi-line edit", small, large, 10);
    for (auto [cls, add, name] : {std::tuple{u"ListBox", UINT(LB_ADDSTRING), "list box"},
                                  std::tuple{u"ComboBox", UINT(CB_ADDSTRING), "combo box"}}) {
        small = large = 1e9;
        for (int run = 0; run < 3; ++run) {
            small = std::min(small, Fill(cls, add, 10'000));
            large = std::min(large, Fill(cls, add, 100'000));
        }
        ok &= Linear(name, small, large, 10);
    }
    DestroyWindow(top);
    // Sorting the lines costs n log n: ten times the lines is 12.5 times the work there.
    const double sortedWork = 10 * std::log(100'000.0) / std::log(10'000.0);
    struct Case { const char* name; double work; std::function<double(int)> fill; };
    const Case cases[] = {
        {"memo lines assigned", 10, [](int n) { return FillStrings<vcl::TMemo>(n, false, &vcl::TMemo::Lines); }},
        {"list box items assigned", 10, [](int n) { return FillStrings<vcl::TListBox>(n, false, &vcl::TListBox::Items); }},
        {"sorted list box items assigned", sortedWork,
         [](int n) { return FillStrings<vcl::TListBox>(n, true, &vcl::TListBox::Items); }},
        {"combo box items assigned", 10, [](int n) { return FillStrings<vcl::TComboBox>(n, false, &vcl::TComboBox::Items); }},
    };
    for (const Case& c : cases) {
        small = large = 1e9;
        for (int run = 0; run < 3; ++run) {
            small = std::min(small, c.fill(10'000));
            large = std::min(large, c.fill(100'000));
        }
        ok &= Linear(c.name, small, large, c.work);
    }
    return ok ? 0 : 1;
}
