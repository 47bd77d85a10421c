// tests/styling/windows/SysControlsTest.cpp: which windows the manager hooks as the thread creates
// them, deferred children, dead hooks, start and end.
#include "tests/styling/windows/StyleHookFixture.h"

#include "styling/hooks/StyleMisc.h"
#include "styling/hooks/Styling.h"
#include "vcl/Controls.h"

using namespace styling;
using namespace styletest;
using namespace vcl;

namespace {

enum class Outcome { Hooked, Deferred, Alone };

struct CreationCase {
    const char* Name;
    const char16_t* Class;
    DWORD Style;
    bool UnderHookedParent;  // the new window's parent is a hooked popup (else an unhooked one)
    bool FilterRefuses;
    bool SystemStyle;
    bool StylingOff;
    Outcome Expected;
    bool Posts1661;
};

class CreationDecision : public StyleHookTest, public ::testing::WithParamInterface<CreationCase> {};

TEST_P(CreationDecision, HooksDefersOrLeavesAlone) {
    const CreationCase& c = GetParam();
    const HWND hookedParent = Make(HookedClass, WS_POPUP);
    const HWND plainParent = Make(PlainClass, WS_POPUP);
    ASSERT_NE(HookOf(hookedParent), nullptr);
    ASSERT_EQ(HookOf(plainParent), nullptr);
    App.PumpUntilIdle();
    Notified.clear();
    if (c.FilterRefuses) TSysStyleManager::BeforeHookFilter = [](const TSysWindowInfo&) { return false; };
    if (c.SystemStyle) UseSystemStyle();
    if (c.StylingOff) TSysStyleManager::StylingEnabled = false;

    const HWND parent = (c.Style & WS_CHILD) ? (c.UnderHookedParent ? hookedParent : plainParent) : nullptr;
    const HWND w = Make(c.Class, c.Style, parent);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(HookOf(w) != nullptr, c.Expected == Outcome::Hooked);
    EXPECT_EQ(Deferred(w), c.Expected == Outcome::Deferred);
    EXPECT_EQ(Posted(w, CM_HOOK_DEFERRED), c.Posts1661);
    if (c.Expected == Outcome::Hooked) {
        EXPECT_TRUE(HookOf(w)->HookedDirectly());
    }
    // The notification comes with every hook made or deferred, and with nothing else.
    const bool notified = std::count(Notified.begin(), Notified.end(), std::make_pair(0, w)) == 1;
    EXPECT_EQ(notified, c.Expected != Outcome::Alone);
    DestroyWindow(w);
    EXPECT_EQ(std::count(Notified.begin(), Notified.end(), std::make_pair(1, w)), c.Expected == Outcome::Hooked ? 1 : 0)
        << "destruction is told for hooked windows only";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CreationDecision,
    ::testing::Values(
        CreationCase{"ControlDialogHookedAndTold", HookedClass, WS_CHILD | DS_CONTROL, true, false, false, false, Outcome::Hooked, true},
        CreationCase{"Popup", HookedClass, WS_POPUP, false, false, false, false, Outcome::Hooked, false},
        CreationCase{"Overlapped", HookedClass, WS_OVERLAPPED, false, false, false, false, Outcome::Hooked, false},
        CreationCase{"ChildOfHookedParentWaits", HookedClass, WS_CHILD, true, false, false, false, Outcome::Deferred, false},
        CreationCase{"ChildOfUnhookedParent", HookedClass, WS_CHILD, false, false, false, false, Outcome::Hooked, false},
        CreationCase{"UnregisteredClass", PlainClass, WS_POPUP, false, false, false, false, Outcome::Alone, false},
        CreationCase{"FilterRefuses", HookedClass, WS_POPUP, false, true, false, false, Outcome::Alone, false},
        CreationCase{"SystemStyle", HookedClass, WS_POPUP, false, false, true, false, Outcome::Alone, false},
        CreationCase{"StylingOff", HookedClass, WS_CHILD | DS_CONTROL, false, false, false, true, Outcome::Alone, false}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(StyleHookTest, DeferredChildIsHookedOnceWhenItsParentHandles1661) {
    const HWND parent = Make(HookedClass, WS_POPUP);
    const HWND child = Make(HookedClass, WS_CHILD, parent);
    const HWND quiet = Make(HookedClass, WS_CHILD, parent, WS_EX_NOPARENTNOTIFY);
    ASSERT_TRUE(Deferred(child));
    EXPECT_EQ(HookOf(child), nullptr);
    // The parent heard of its child and posted itself 1661.
    App.PumpUntilIdle();
    ASSERT_NE(HookOf(child), nullptr);
    EXPECT_FALSE(HookOf(child)->HookedDirectly());
    EXPECT_NE(HookOf(quiet), nullptr) << "the 1661 hooks every deferred child of the parent";
    EXPECT_TRUE(Deferred(child)) << "hooked entries stay until the parent goes";
    EXPECT_EQ(SendMessageW(parent, CM_HOOK_DEFERRED, 0, 0), 0) << "nothing left to hook";
    SendMessageW(parent, CM_HOOK_DEFERRED, 0, 0);
    EXPECT_EQ(RecordingHook::Created[child], 1);
    EXPECT_EQ(RecordingHook::Created[quiet], 1);
    DestroyWindow(parent);
    EXPECT_FALSE(Deferred(child));
    EXPECT_FALSE(Deferred(quiet));
}

TEST_F(StyleHookTest, EachParentsMessageHooksOnlyItsOwnChildrenAndItsEndForgetsOnlyThem) {
    // Children that tell their parents nothing: only the message sent here hooks them.
    const HWND first = Make(HookedClass, WS_POPUP);
    const HWND second = Make(HookedClass, WS_POPUP);
    const HWND ofFirst = Make(HookedClass, WS_CHILD, first, WS_EX_NOPARENTNOTIFY);
    const HWND ofSecond = Make(HookedClass, WS_CHILD, second, WS_EX_NOPARENTNOTIFY);
    EXPECT_EQ(SendMessageW(first, CM_HOOK_DEFERRED, 0, 0), 1);
    EXPECT_NE(HookOf(ofFirst), nullptr);
    EXPECT_EQ(HookOf(ofSecond), nullptr);
    DestroyWindow(first);
    EXPECT_FALSE(Deferred(ofFirst));
    ASSERT_TRUE(Deferred(ofSecond));
    EXPECT_EQ(SendMessageW(second, CM_HOOK_DEFERRED, 0, 0), 1);
    EXPECT_NE(HookOf(ofSecond), nullptr);
    DestroyWindow(second);
}

TEST_F(StyleHookTest, AClassRegisteredOrUnregisteredLaterCountsForTheNextWindow) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = &DefWindowProcW;
    cls.lpszClassName = u"TwLateClass";
    RegisterClassW(&cls);
    const HWND before = Make(u"TwLateClass", WS_POPUP);
    EXPECT_EQ(HookOf(before), nullptr);
    TSysStyleManager::RegisterSysStyleHook(QStringLiteral("twlateclass"), &CreateHook<RecordingHook>);
    const HWND registered = Make(u"TwLateClass", WS_POPUP);
    EXPECT_NE(HookOf(registered), nullptr);
    TSysStyleManager::UnRegisterSysStyleHook(QStringLiteral("TwLateClass"));
    const HWND after = Make(u"TwLateClass", WS_POPUP);
    EXPECT_EQ(HookOf(after), nullptr);
    for (HWND w : {before, registered, after}) DestroyWindow(w);
}

TEST_F(StyleHookTest, ApplicationControlsAreLeftAloneAtCreationUnlessIncluded) {
    const HWND host = Make(PlainClass, WS_POPUP);
    // The class library's controls run their own procedure from their first message on: the
    // creation hook must know them before that.
    const QString vclClass = QStringLiteral("TWinControl");
    TSysStyleManager::RegisterSysStyleHook(vclClass, &CreateHook<RecordingHook>);
    std::unique_ptr<TWinControl> alone(TWinControl::CreateParented(host));
    alone->HandleNeeded();
    ASSERT_EQ(styling::GetWindowClassName(alone->Handle()), vclClass);
    EXPECT_EQ(HookOf(alone->Handle()), nullptr);
    TSysStyleManager::IncludeVclControls = true;
    std::unique_ptr<TWinControl> included(TWinControl::CreateParented(host));
    included->HandleNeeded();
    EXPECT_NE(HookOf(included->Handle()), nullptr);
    included.reset();
    alone.reset();
    TSysStyleManager::UnRegisterSysStyleHook(vclClass);
}

TEST_F(StyleHookTest, DeadHookUnderTheNextHandleIsFreedWhenTheHandleIsHooked) {
    // A hook whose window died and was never purged, filed under the handle the next window gets.
    const HWND next = TwPeekNextWindowHandle();
    TSysStyleManager::HookedWindows()[next] = std::make_unique<RecordingHook>(nullptr);
    ASSERT_EQ(RecordingHook::Destroyed, 0);
    const HWND w = Make(HookedClass, WS_POPUP);
    ASSERT_EQ(w, next);
    EXPECT_EQ(RecordingHook::Destroyed, 1);
    ASSERT_NE(HookOf(w), nullptr);
    EXPECT_EQ(HookOf(w)->Handle(), w);
}

TEST_F(StyleHookTest, DestroyedWindowsHooksArePurgedAtTheNextDirectHook) {
    const HWND a = Make(HookedClass, WS_POPUP);
    DestroyWindow(a);
    ASSERT_NE(HookOf(a), nullptr) << "marked, not freed, at its own destruction";
    EXPECT_TRUE(HookOf(a)->MustRemove());
    Make(HookedClass, WS_POPUP);
    EXPECT_EQ(HookOf(a), nullptr);
    EXPECT_EQ(RecordingHook::Destroyed, 1);
}

TEST_F(StyleHookTest, HookThatFailsAtCreationLeavesTheWindowUnhookedAndCreated) {
    RecordingHook::Throw = true;
    const HWND w = Make(HookedClass, WS_POPUP);
    RecordingHook::Throw = false;
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(IsWindow(w));
    EXPECT_EQ(HookOf(w), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&OwnProc));
    EXPECT_GT(OwnLog().Count(w, WM_CREATE), 0);
}

TEST_F(StyleHookTest, FinalizeGivesEveryWindowItsProcedureBack) {
    const HWND popup = Make(HookedClass, WS_POPUP);
    const HWND child = Make(HookedClass, WS_CHILD, popup);
    App.PumpUntilIdle();
    ASSERT_NE(HookOf(child), nullptr);
    EXPECT_NE(GetWindowLongPtrW(popup, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&OwnProc));
    styling::Finalize();
    EXPECT_FALSE(styling::Initialized());
    EXPECT_TRUE(TSysStyleManager::HookedWindows().empty());
    for (HWND w : {popup, child}) EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&OwnProc));
    // Ended, the manager hooks nothing more.
    TSysStyleManager::RegisterSysStyleHook(QString::fromUtf16(HookedClass), &CreateHook<RecordingHook>);
    EXPECT_EQ(HookOf(Make(HookedClass, WS_POPUP)), nullptr);
    styling::Initialize();
}

LONG_PTR LaterOrg;
LRESULT CALLBACK LaterSubclass(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_USER + 7) return 77;
    return CallWindowProcW(reinterpret_cast<WNDPROC>(LaterOrg), Wnd, Msg, WParam, LParam);
}

TEST_F(StyleHookTest, UnhookingUnderALaterSubclassKeepsThatSubclassAndPassesMessagesOn) {
    const HWND w = Make(HookedClass, WS_POPUP);
    ASSERT_NE(HookOf(w), nullptr);
    LaterOrg = SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterSubclass));
    styling::Finalize();
    EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&LaterSubclass));
    EXPECT_EQ(SendMessageW(w, WM_USER + 7, 0, 0), 77);
    SendMessageW(w, WM_USER + 8, 0, 0);
    EXPECT_EQ(OwnLog().Count(w, WM_USER + 8), 1) << "through the old thunk to the window's own procedure";
    EXPECT_EQ(SendMessageW(w, CM_IS_HOOKED, 0, 0), 0) << "no hook answers any more";
    DestroyWindow(w);
    EXPECT_EQ(OwnLog().Count(w, WM_NCDESTROY), 1);
    styling::Initialize();
}

TEST(StylingStart, TooltipsAreStyledByTheHookAndNotByTheClassLibrary) {
    testing_support::HeadlessApp app;
    EXPECT_TRUE(styling::Initialized());
    EXPECT_FALSE(TStyleManager::SystemHooks().Contains(shToolTips));
    EXPECT_TRUE(TSysStyleManager::IsRegistered(QStringLiteral("TOOLTIPS_CLASS32")));
}

TEST(StylingStart, CallsNestAndTheLastEndUnregisters) {
    testing_support::HeadlessApp app;
    styling::Initialize();
    styling::Finalize();
    EXPECT_TRUE(TSysStyleManager::IsRegistered(QStringLiteral("tooltips_class32"))) << "still started once";
    styling::Finalize();
    EXPECT_FALSE(TSysStyleManager::IsRegistered(QStringLiteral("tooltips_class32")));
    styling::Initialize();
}

TEST(SysStyleManager, RegistrationKeysIgnoreCaseAndTheLastWins) {
    TSysStyleManager::RegisterSysStyleHook(QStringLiteral("Button"), &CreateHook<RecordingHook>);
    TSysStyleManager::RegisterSysStyleHook(QStringLiteral("BUTTON"), &CreateHook<TSysStyleHook>);
    auto& classes = TSysStyleManager::HookClasses();
    ASSERT_EQ(classes.count(QStringLiteral("button")), 1u);
    EXPECT_EQ(classes.at(QStringLiteral("button")), &CreateHook<TSysStyleHook>);
    TSysStyleManager::UnRegisterSysStyleHook(QStringLiteral("bUtToN"));
    EXPECT_FALSE(TSysStyleManager::IsRegistered(QStringLiteral("Button")));
    TSysStyleManager::UnRegisterSysStyleHook(QStringLiteral("never"));  // nothing to do, no fault
}

TEST_F(StyleHookTest, FindWindowByClassSearchesEverySubtreeTheFirstChildsToo) {
    const HWND root = Make(PlainClass, WS_POPUP);
    const HWND first = Make(PlainClass, WS_CHILD, root);
    const HWND second = Make(PlainClass, WS_CHILD, root);
    WNDCLASSW cls{};
    cls.lpfnWndProc = &DefWindowProcW;
    cls.lpszClassName = u"DirectUIHWND";
    RegisterClassW(&cls);
    const HWND shell = Make(u"DirectUIHWND", WS_CHILD, first);
    EXPECT_EQ(FindWindowByClass(root, QStringLiteral("DirectUIHWND")), shell);
    EXPECT_EQ(FindWindowByClass(root, QStringLiteral("directuihwnd")), nullptr) << "exact case";
    EXPECT_EQ(FindWindowByClass(second, QStringLiteral("DirectUIHWND")), nullptr);
    // So the default filter leaves a window under that root alone.
    const HWND w = Make(HookedClass, WS_CHILD, second);
    EXPECT_EQ(HookOf(w), nullptr);
    EXPECT_FALSE(Deferred(w));
}

} // namespace
