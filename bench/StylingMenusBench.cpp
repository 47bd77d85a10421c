// bench/StylingMenusBench.cpp: what the styled pop-up menus and the theme-class handlers cost. Opening
// a pop-up menu of 50 and of 500 items until its first painting pass has run, with the styling hook on
// the menu window against the same menu unstyled (at most 3x each); a theme-class handler drawing one
// element against the style drawing that element alone (at most 1.5x). Prints the ratios; exits
// non-zero when a bound is missed.
// bench-libs: styling_hooks styling_hooking vcl win tw_qt Qt6::Gui
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "styling/hooks/Styling.h"
#include "styling/hooks/SysControls.h"
#include "styling/hooks/ThemeHandlers.h"
#include "vcl/StyleFile.h"
#include "vcl/Themes.h"
#include "win/windows.h"

namespace {

using Clock = std::chrono::steady_clock;

HWND owner = nullptr;

void CALLBACK CloseWhenIdle(void*) {
    TwFlushPainting();
    EndMenu();
}

// Microseconds to open a menu of Items items, let it paint, and close it: the best of Runs runs.
double OpenMenu(int Items, int Runs) {
    HMENU m = CreatePopupMenu();
    for (int i = 0; i < Items; ++i) {
        const std::u16string text = u"Item " + QString::number(i).toStdU16String() + u"\tCtrl+" + char16_t(u'A' + i % 26);
        AppendMenuW(m, MF_STRING | (i % 7 == 0 ? MF_CHECKED : 0), UINT(i + 1), text.c_str());
    }
    double best = 1e30;
    for (int run = 0; run < Runs; ++run) {
        const auto t0 = Clock::now();
        TrackPopupMenu(m, TPM_RETURNCMD, 10, 10, 0, owner, nullptr);
        best = std::min(best, std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    DestroyMenu(m);
    return best;
}

double PerCall(const std::function<void()>& F, int N) {
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        const auto t0 = Clock::now();
        for (int i = 0; i < N; ++i) F();
        best = std::min(best, std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / N);
    }
    return best;
}

bool Check(const char* What, double Ratio, double Bound) {
    std::printf("%-48s %6.2fx (bound %.2fx)\n", What, Ratio, Bound);
    return Ratio <= Bound;
}

HRESULT Forward(HTHEME, HDC, int, int, LPCRECT, const void*) { return E_FAIL; }

} // namespace

int main() {
    if (!TwStartGui(nullptr, nullptr, TRUE)) return 2;
    TwUseManualClock(1000);
    TwSetIdleHook(&CloseWhenIdle, nullptr);
    owner = CreateWindowExW(0, u"Static", u"owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    vcl::TStyleFileData data;
    data.Name = QStringLiteral("Bench Menus");
    data.SystemColors[COLOR_MENU] = vcl::TColor(0x302820);
    data.Elements.push_back({vcl::teMenu, 14, 2, {vcl::TColor(0xC0A080), vcl::clNone, vcl::clNone, vcl::TColor(0xFFFFFF), {}}});
    data.Elements.push_back({vcl::teTab, 5, 1, {vcl::TColor(0x404040), vcl::TColor(0x808080), vcl::clNone, vcl::clNone, {}}});
    auto style = std::make_unique<vcl::TCustomStyle>(data);
    bool ok = true;

    styling::Initialize();
    const double plain50 = OpenMenu(50, 5), plain500 = OpenMenu(500, 3);
    vcl::TStyleManager::SetStyle(style.get());
    const double styled50 = OpenMenu(50, 5), styled500 = OpenMenu(500, 3);
    std::printf("menu of 50: %.0f us plain, %.0f us styled; of 500: %.0f us plain, %.0f us styled\n", plain50, styled50,
                plain500, styled500);
    ok &= Check("styled menu of 50 / unstyled", styled50 / plain50, 3.0);
    ok &= Check("styled menu of 500 / unstyled", styled500 / plain500, 3.0);

    HBITMAP bm = CreateBitmap(64, 32, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bm);
    const RECT r{0, 0, 60, 24};
    styling::TFuncDrawThemeBackground tab = nullptr;
    for (const auto& [key, handler] : styling::ThemeClassHandlerTable())
        if (key == QStringLiteral("TAB")) tab = handler;
    const vcl::TThemedElementDetails details = style->GetElementDetails(vcl::ttTabItemNormal);
    const rtl::String className = QStringLiteral("TAB");
    const double element = PerCall([&] { style->DrawElement(dc, details, vcl::TRect(r)); }, 20000);
    const double handled = PerCall([&] { tab(HTHEME(1), dc, 5, 1, &r, nullptr, &Forward, className, nullptr); }, 20000);
    std::printf("tab item: %.0f ns by the style, %.0f ns by the handler\n", element, handled);
    ok &= Check("TAB handler / the style's DrawElement", handled / element, 1.5);

    vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle());
    styling::Finalize();
    DeleteDC(dc);
    DeleteObject(bm);
    DestroyWindow(owner);
    TwStopGui();
    return ok ? 0 : 1;
}
