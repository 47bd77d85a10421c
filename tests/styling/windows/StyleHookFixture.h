// tests/styling/windows/StyleHookFixture.h: real windows under the style-hook manager: a recording
// hook class, plain window classes (one registered with the manager, one not), a custom style, a style
// that records what it draws, and a hook's painting as an image.
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

struct DrawnElement {
    vcl::TThemedElementDetails Details;
    vcl::TRect R;
};
struct DrawnText {
    rtl::String Text;
    vcl::TRect R;
    vcl::TTextFormat Format;
};

// A style that notes every element and text it draws, and the parent backgrounds it copies.
class RecordingStyle : public vcl::TCustomStyle {
public:
    explicit RecordingStyle(vcl::TStyleFileData Data) : vcl::TCustomStyle(std::move(Data)) {}
    bool DrawElement(HDC DC, const vcl::TThemedElementDetails& Details, const vcl::TRect& R,
                     const vcl::TRect* ClipRect = nullptr, int DPI = 0) override {
        Elements.push_back({Details, R});
        return vcl::TCustomStyle::DrawElement(DC, Details, R, ClipRect, DPI);
    }
    bool DrawText(HDC DC, const vcl::TThemedElementDetails& Details, const rtl::String& S, vcl::TRect& R,
                  vcl::TTextFormat Flags, vcl::TColor Color = vcl::clNone, int DPI = 0) override {
        Texts.push_back({S, R, Flags});
        return vcl::TCustomStyle::DrawText(DC, Details, S, R, Flags, Color, DPI);
    }
    bool DrawParentBackground(HWND Window, HDC Target, const vcl::TThemedElementDetails* Details, bool OnlyIfTransparent,
                              const vcl::TRect* Bounds = nullptr) override {
        ++ParentBackgrounds;
        return vcl::TCustomStyle::DrawParentBackground(Window, Target, Details, OnlyIfTransparent, Bounds);
    }
    template <class E> std::vector<vcl::TRect> RectsOf(E Element) {
        std::vector<vcl::TRect> r;
        const vcl::TThemedElementDetails d = GetElementDetails(Element);
        for (const DrawnElement& e : Elements)
            if (e.Details == d) r.push_back(e.R);
        return r;
    }
    void Forget() {
        Elements.clear();
        Texts.clear();
        ParentBackgrounds = 0;
    }
    std::vector<DrawnElement> Elements;
    std::vector<DrawnText> Texts;
    int ParentBackgrounds = 0;
};

// A custom style with a few colours of its own.
std::unique_ptr<vcl::TCustomStyle> MakeStyle(const QString& Name, vcl::TColor Window);

} // namespace styletest
