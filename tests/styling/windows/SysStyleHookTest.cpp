// tests/styling/windows/SysStyleHookTest.cpp: the base hook's dispatcher on real windows: colour
// reflection, the background probe, erase-only backgrounds, errors of the window's own procedure and
// hot tracking.
#include "tests/styling/windows/StyleHookFixture.h"

#include <chrono>

using namespace styling;
using namespace styletest;
using namespace vcl;

namespace {

std::vector<std::u16string>& DebugLines() {
    static std::vector<std::u16string> lines;
    return lines;
}
void CollectDebugOutput(LPCWSTR Text) { DebugLines().emplace_back(Text); }

TEST_F(StyleHookTest, ControlColourRequestsOfAnyChildAreAnsweredWithThePartOnlyForHookedOnes) {
    const HWND parent = Make(HookedClass, WS_POPUP);
    const HWND plainChild = Make(PlainClass, WS_CHILD, parent);
    RecordingHook* hook = HookOf(parent);
    ASSERT_NE(hook, nullptr);
    HDC dc = GetDC(plainChild);
    const LRESULT own = DefWindowProcW(parent, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(plainChild));

    // On: the parent's own colours and brush answer for any child.
    LRESULT answer = SendMessageW(parent, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(plainChild));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(answer), hook->BrushHandle());
    EXPECT_EQ(GetBkColor(dc), COLORREF(0x202020)) << "the style's face colour of a hook that paints nothing";
    EXPECT_EQ(OwnLog().Count(parent, WM_CTLCOLORSTATIC), 0);

    // Off: a child without a hook gets the parent's own answer.
    TSysStyleManager::ColorAllChildControls = false;
    answer = SendMessageW(parent, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(plainChild));
    EXPECT_EQ(answer, own);
    EXPECT_EQ(OwnLog().Count(parent, WM_CTLCOLORSTATIC), 1);

    // A hooked child answers the reflected request itself and wins.
    const HWND hookedChild = Make(HookedClass, WS_CHILD | DS_CONTROL, parent);
    ASSERT_NE(HookOf(hookedChild), nullptr);
    answer = SendMessageW(parent, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(hookedChild));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(answer), HookOf(hookedChild)->BrushHandle());
    ReleaseDC(plainChild, dc);
}

TEST_F(StyleHookTest, UnhookedWindowIgnoresTheReflectedRequest) {
    const HWND w = Make(PlainClass, WS_POPUP);
    EXPECT_EQ(SendMessageW(w, WM_CTLCOLORSTATIC + CM_CTLCOLOR_REFLECT, 0, 0), 0);
    EXPECT_FALSE(IsControlHooked(w));
    EXPECT_TRUE(IsControlHooked(Make(HookedClass, WS_POPUP)));
}

TEST_F(StyleHookTest, BackgroundProbeIsAnsweredOnlyByAHookedParentThatPaintsIt) {
    struct Case {
        const char* Name;
        bool ParentHooked;
        bool EraseOverride;
        bool Expected;
    } cases[] = {{"unhooked parent", false, false, false},
                 {"hooked, no override", true, false, false},
                 {"hooked, erases", true, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const HWND parent = Make(c.ParentHooked ? HookedClass : PlainClass, WS_POPUP);
        if (c.ParentHooked) HookOf(parent)->SetEraseOverride(c.EraseOverride);
        const HWND child = Make(HookedClass, WS_CHILD | DS_CONTROL, parent);
        ASSERT_NE(HookOf(child), nullptr);
        EXPECT_EQ(HookOf(child)->ParentPaintsBackground(), c.Expected);
    }
}

TEST_F(StyleHookTest, EraseWithoutADcWritesThroughNoPointer) {
    const HWND w = Make(HookedClass, WS_POPUP);
    HookOf(w)->SetEraseOverride(true);
    // A window procedure may be sent any lParam with WM_ERASEBKGND: it is never a pointer.
    int value = ProbeQuestion;
    SendMessageW(w, WM_ERASEBKGND, 0, reinterpret_cast<LPARAM>(&value));
    EXPECT_EQ(value, ProbeQuestion);
    EXPECT_EQ(HookOf(w)->Backgrounds, 1) << "an ordinary erase";
}

TEST_F(StyleHookTest, EraseOnlyMarkerPaintsTheBackgroundButNeverTheContents) {
    const HWND w = Make(HookedClass, WS_POPUP);
    RecordingHook* hook = HookOf(w);
    hook->SetEraseOverride(true);
    hook->SetPaintOnErase(true);
    HDC dc = GetDC(w);
    SendMessageW(w, WM_ERASEBKGND, WPARAM(dc), EraseOnlyMarker);
    EXPECT_EQ(hook->Backgrounds, 1);
    EXPECT_EQ(hook->Paints, 0);
    EXPECT_EQ(SendMessageW(w, WM_ERASEBKGND, WPARAM(dc), 0), 1);
    EXPECT_EQ(hook->Paints, 1);
    ReleaseDC(w, dc);
    // With the system style the window erases as it always did.
    UseSystemStyle();
    SendMessageW(w, WM_ERASEBKGND, WPARAM(GetDC(w)), 0);
    EXPECT_EQ(hook->Backgrounds, 2) << "no styled erase";
    EXPECT_EQ(OwnLog().Count(w, WM_ERASEBKGND), 1);
}

TEST_F(StyleHookTest, ExceptionOfTheWindowsOwnProcedureIsReportedAndAnsweredZero) {
    const HWND w = Make(HookedClass, WS_POPUP);
    OwnLog().Answer = [](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) -> LRESULT {
        if (Msg == WM_USER + 1) throw rtl::Exception(QStringLiteral("boom"));
        return DefWindowProcW(Wnd, Msg, WParam, LParam);
    };
    DebugLines().clear();
    TwSetDebugOutputSink(&CollectDebugOutput);
    const LRESULT r = SendMessageW(w, WM_USER + 1, 0, 0);
    TwSetDebugOutputSink(nullptr);
    OwnLog().Answer = nullptr;
    EXPECT_EQ(r, 0);
    ASSERT_EQ(DebugLines().size(), 1u);
    EXPECT_EQ(DebugLines()[0], u"CallDefaultProc error : boom");
}

TEST_F(StyleHookTest, UnhandledMessagesReachTheWindowsOwnProcedureOnce) {
    const HWND w = Make(HookedClass, WS_POPUP);
    for (UINT msg : {UINT(WM_USER + 3), UINT(WM_SETREDRAW), UINT(WM_LBUTTONDOWN), UINT(WM_PARENTNOTIFY)}) {
        SendMessageW(w, msg, 0, 0);
        EXPECT_EQ(OwnLog().Count(w, msg), 1) << msg;
    }
    EXPECT_TRUE(HookOf(w)->MouseDown());
}

TEST_F(StyleHookTest, HotTrackingLeavesAfter100MsOffTheWindow) {
    const HWND w = Make(HookedClass, WS_POPUP | WS_VISIBLE, nullptr, 0, 100, 60);
    const HWND other = CreateWindowExW(0, PlainClass, u"", WS_POPUP | WS_VISIBLE, 300, 300, 100, 60, nullptr, nullptr,
                                       nullptr, nullptr);
    RecordingHook* hook = HookOf(w);
    App.MoveTo(w, POINT{20, 20});
    EXPECT_EQ(hook->Enters, 1);
    EXPECT_TRUE(hook->MouseInControl());
    App.Advance(std::chrono::milliseconds(100));
    EXPECT_EQ(hook->Leaves, 0) << "still over the window";
    App.MoveTo(other, POINT{10, 10});
    App.Advance(std::chrono::milliseconds(99));
    EXPECT_EQ(hook->Leaves, 0);
    App.Advance(std::chrono::milliseconds(1));
    EXPECT_EQ(hook->Leaves, 1);
    EXPECT_FALSE(hook->MouseInControl());
    App.Advance(std::chrono::milliseconds(300));
    EXPECT_EQ(hook->Leaves, 1) << "the timer stopped";
    App.MoveTo(w, POINT{30, 30});
    EXPECT_EQ(hook->Enters, 2);
}

} // namespace
