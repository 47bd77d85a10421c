// tests/styling/drawing/DrawingHookTest.cpp: interceptions of the stand-in's colour, fill and theme
// functions take effect in what the class library draws, and end with their removal.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "styling/hooking/CodeHooks.h"
#include "vcl/Graphics.h"
#include "vcl/Themes.h"
#include "win/windows.h"

using namespace vcl;

namespace {

// Paints into a fresh 40x30 bitmap and returns the colour at (20, 15).
TColor PaintedColor(const std::function<void(TCanvas&)>& Paint) {
    auto bmp = std::make_unique<TBitmap>(40, 30);
    bmp->SetPixelFormat(pf32bit);
    bmp->Canvas()->Brush()->SetColor(TColor(0x000000));
    bmp->Canvas()->FillRect(Rect(0, 0, 40, 30));
    Paint(*bmp->Canvas());
    return bmp->Canvas()->Pixels(20, 15);
}

// Removes the interception at the end of the scope, also when an expectation fails.
struct Hooked {
    void* Trampoline;
    Hooked(const char* Module, const char* Proc, void* Intercept)
        : Trampoline(styling::HookModuleFunction(QString::fromLatin1(Module), Proc, Intercept)) {}
    ~Hooked() { styling::UnhookFunctionIfSet(Trampoline); }
};

using SysColorFn = DWORD (*)(int);
SysColorFn OriginalSysColor;
DWORD GreenFace(int Index) { return Index == COLOR_BTNFACE ? 0x00FF00 : OriginalSysColor(Index); }

TEST(DrawingHooks, SystemColourReachesTheCanvas) {
    auto paint = [](TCanvas& C) {
        C.Brush()->SetColor(clBtnFace);
        C.FillRect(Rect(0, 0, 40, 30));
    };
    const TColor before = PaintedColor(paint);
    {
        Hooked hook("user32.dll", "GetSysColor", reinterpret_cast<void*>(&GreenFace));
        ASSERT_NE(hook.Trampoline, nullptr);
        OriginalSysColor = reinterpret_cast<SysColorFn>(hook.Trampoline);
        EXPECT_EQ(PaintedColor(paint), TColor(0x00FF00));
    }
    EXPECT_EQ(PaintedColor(paint), before);
}

using FillRectFn = int (*)(HDC, const RECT*, HBRUSH);
FillRectFn OriginalFillRect;
int FillCalls = 0;
int RedFill(HDC DC, const RECT* R, HBRUSH) {
    ++FillCalls;
    static HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    return OriginalFillRect(DC, R, red);
}

TEST(DrawingHooks, FillsOfTheCanvasGoThroughTheInterception) {
    auto paint = [](TCanvas& C) {
        C.Brush()->SetColor(TColor(0xFF0000)); // blue
        C.FillRect(Rect(10, 10, 30, 20));
    };
    EXPECT_EQ(PaintedColor(paint), TColor(0xFF0000));
    {
        Hooked hook("user32.dll", "FillRect", reinterpret_cast<void*>(&RedFill));
        ASSERT_NE(hook.Trampoline, nullptr);
        OriginalFillRect = reinterpret_cast<FillRectFn>(hook.Trampoline);
        FillCalls = 0;
        EXPECT_EQ(PaintedColor(paint), TColor(0x0000FF)); // red, as the interception chose
        EXPECT_GE(FillCalls, 1);
    }
    EXPECT_EQ(PaintedColor(paint), TColor(0xFF0000));
}

HRESULT YellowBackground(HTHEME, HDC DC, int, int, const RECT* R, const RECT*) {
    HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
    FillRect(DC, R, yellow);
    DeleteObject(yellow);
    return S_OK;
}

TEST(DrawingHooks, ThemedElementsOfTheStyleServicesAreDrawnByTheInterception) {
    TwSetThemeActive(TRUE);
    TCustomStyleServices* s = StyleServices();
    const auto details = s->GetElementDetails(tbPushButtonNormal);
    auto paint = [&](TCanvas& C) { s->DrawElement(C.Handle(), details, Rect(0, 0, 40, 30)); };
    const TColor themed = PaintedColor(paint);
    {
        Hooked hook("uxtheme.dll", "DrawThemeBackground", reinterpret_cast<void*>(&YellowBackground));
        ASSERT_NE(hook.Trampoline, nullptr);
        EXPECT_EQ(PaintedColor(paint), TColor(0x00FFFF));
    }
    EXPECT_EQ(PaintedColor(paint), themed);
    TwSetThemeActive(FALSE);
    s->UpdateThemes();
}

} // namespace
