// tests/styling/windows/StyleHookFixture.h: real windows under the style-hook manager: a recording
// hook class, plain window classes (one registered with the manager, one not) and a custom style.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <QImage>

#include "styling/hooks/SysControls.h"
#include "tests/support/windows/HeadlessApp.h"
#include "vcl/Graphics.h"
#include "vcl/StyleFile.h"
#include "vcl/Themes.h"

namespace styletest {

// What the windows' own procedure saw, and how it answers.
struct OwnProcLog {
    std::vector<std::pair<HWND, UINT>> Messages;
    std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> Answer;  // instead of DefWindowProcW when set
    int Count(HWND Wnd, UINT Msg) const;
};
OwnProcLog& OwnLog();
LRESULT CALLBACK OwnProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// A hook that records its life and what it painted; its overrides are chosen per window.
class RecordingHook : public styling::TMouseTrackSysControlStyleHook {
public:
    explicit RecordingHook(HWND AHandle);
    ~RecordingHook() override;
    void Paint(vcl::TCanvas* Canvas) override;
    void PaintBackground(vcl::TCanvas* Canvas) override;
    void MouseEnter() override { ++Enters; }
    void MouseLeave() override { ++Leaves; }

    void SetPaintOnErase(bool Value) { FPaintOnEraseBkgnd = Value; }
    void SetEraseOverride(bool Value) { FOverrideEraseBkgnd = Value; }

    int Paints = 0;
    int Backgrounds = 0;
    int Enters = 0;
    int Leaves = 0;

    static inline std::map<HWND, int> Created;  // hooks made per window
    static inline int Destroyed = 0;
    static inline bool Throw = false;           // the next constructions fail
};

constexpr const char16_t* HookedClass = u"TwHookedClass";
constexpr const char16_t* PlainClass = u"TwPlainClass";

class StyleHookTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND Make(const char16_t* Class, DWORD Style, HWND Parent = nullptr, DWORD ExStyle = 0, int W = 120, int H = 80);
    RecordingHook* HookOf(HWND Wnd);
    bool Deferred(HWND Wnd) { return styling::TSysStyleManager::DeferredChildren().count(Wnd) != 0; }
    bool Posted(HWND Wnd, UINT Msg);
    void UseSystemStyle() { vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle()); }
    // What Hook paints on a fresh bitmap of W x H, as an image.
    template <class THook> QImage Painted(THook& Hook, int W, int H) {
        auto bitmap = std::make_unique<vcl::TBitmap>(W, H);
        Hook.Paint(bitmap->Canvas());
        QImage image(W, H, QImage::Format_RGB32);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const COLORREF c = GetPixel(bitmap->Canvas()->Handle(), x, y);
                image.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
            }
        return image;
    }

    testing_support::HeadlessApp App;
    std::unique_ptr<vcl::TCustomStyle> Style;
    std::vector<std::pair<int, HWND>> Notified;
};

// A custom style with a few colours of its own.
std::unique_ptr<vcl::TCustomStyle> MakeStyle(const QString& Name, vcl::TColor Window);

} // namespace styletest
