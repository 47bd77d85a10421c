// bench/StylingComCtrlBench.cpp: what painting a styled header and a styled toolbar costs as they
// grow: a header of 500 columns against one of 50, and a toolbar of 200 buttons against one of 20,
// each per column or button (at most 1.5x). The controls are the test doubles, which answer at once,
// so the figures are the hooks' own. Prints the ratios; exits non-zero when a bound is missed.
// bench-libs: styling_hooks tw_window_harness vcl win tw_qt Qt6::Gui
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "styling/hooks/ComCtrlHooks.h"
#include "styling/hooks/Styling.h"
#include "tests/support/windows/ComCtlDoubles.h"
#include "vcl/StyleFile.h"
#include "vcl/Themes.h"
#include "win/windows.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace testing_support;

constexpr int Height = 24;

ComCtlDouble HeaderOf(int Columns) {
    ComCtlDouble t;
    t.Answer(HDM_GETITEMCOUNT, Columns);
    std::vector<int>& order = t.At(HDM_GETORDERARRAY).Ints;
    for (int i = 0; i < Columns; ++i) order.push_back(Columns - 1 - i);
    for (int i = 0; i < Columns; ++i) {
        t.SetRect(HDM_GETITEMRECT, WPARAM(i), RECT{(Columns - 1 - i) * 40, 0, (Columns - i) * 40, Height});
        DoubleAnswer& a = t.At(HDM_GETITEMW, WPARAM(i));
        a.Result = 1;
        a.Format = HDF_STRING | (i % 3 == 1 ? HDF_RIGHT : 0);
        a.Text = u"Column " + QString::number(i).toStdU16String();
    }
    return t;
}

ComCtlDouble ToolbarOf(int Buttons) {
    ComCtlDouble t;
    t.Answer(TB_BUTTONCOUNT, Buttons);
    for (int i = 0; i < Buttons; ++i) {
        DoubleAnswer& b = t.At(TB_GETBUTTON, WPARAM(i));
        b.Result = 1;
        b.Command = 100 + i;
        b.Style = i % 5 == 4 ? BTNS_SEP : BTNS_BUTTON;
        DoubleAnswer& info = t.At(TB_GETBUTTONINFOW, WPARAM(100 + i));
        info.Result = i;
        info.State = TBSTATE_ENABLED;
        info.Text = u"Tool " + QString::number(i).toStdU16String();
        t.At(TB_GETBUTTONTEXTW, WPARAM(100 + i)).Text = info.Text;
        t.SetRect(TB_GETITEMRECT, WPARAM(i), RECT{i * 48, 0, i * 48 + 48, Height});
    }
    return t;
}

// Microseconds per painting pass of Hook into a bitmap of W pixels, the best of several runs.
template <class THook> double PaintTime(THook& Hook, int W, int Passes) {
    auto bitmap = std::make_unique<vcl::TBitmap>(W, Height);
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        const auto t0 = Clock::now();
        for (int i = 0; i < Passes; ++i) Hook.Paint(bitmap->Canvas());
        best = std::min(best, std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / Passes);
    }
    return best;
}

template <class THook> double PerItem(const char16_t* Class, const ComCtlDouble& Table, int Items, int Width, DWORD Style) {
    const HWND w = CreateComCtlDouble(Class, WS_POPUP | WS_VISIBLE | Style, nullptr, RECT{0, 0, Width, Height}, 0, &Table);
    double us = 0;
    {
        THook hook(w);
        us = PaintTime(hook, Width, Items >= 200 ? 4 : 20) / Items;
    }
    DestroyWindow(w);
    return us;
}

bool Check(const char* What, double Small, double Large, double Bound) {
    const double ratio = Large / Small;
    std::printf("%-44s %8.2f us -> %8.2f us per item: %5.2fx (bound %.2fx)\n", What, Small, Large, ratio, Bound);
    return ratio <= Bound;
}

} // namespace

int main() {
    if (!TwStartGui(nullptr, nullptr, TRUE)) return 2;
    TwUseManualClock(1000);
    vcl::TStyleFileData data;
    data.Name = QStringLiteral("Bench Common Controls");
    auto style = std::make_unique<vcl::TCustomStyle>(data);
    vcl::TStyleManager::SetStyle(style.get());
    using Header = styling::TSysListViewStyleHook::TSysHeaderStyleHook;
    bool ok = true;
    ok &= Check("header paint, 50 -> 500 columns", PerItem<Header>(WC_HEADERW, HeaderOf(50), 50, 2000, 0),
                PerItem<Header>(WC_HEADERW, HeaderOf(500), 500, 20000, 0), 1.5);
    ok &= Check("toolbar paint, 20 -> 200 buttons",
                PerItem<styling::TSysToolbarStyleHook>(TOOLBARCLASSNAMEW, ToolbarOf(20), 20, 960, 0x40),
                PerItem<styling::TSysToolbarStyleHook>(TOOLBARCLASSNAMEW, ToolbarOf(200), 200, 9600, 0x40), 1.5);
    vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle());
    return ok ? 0 : 1;
}
