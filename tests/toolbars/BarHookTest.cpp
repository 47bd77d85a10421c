// tests/toolbars/BarHookTest.cpp: the per-thread hook table: one platform hook per type whatever the
// number of users, removed with the last one; the relays and their safety against procedures that
// fail or unregister during a walk.
#include "toolbars/BarHook.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace bars;

namespace {

struct Heard {
    THookProcCode code;
    HWND wnd;
    WPARAM wparam;
};
std::vector<Heard> heardA, heardB;
rtl::TObject userA, userB, userC;

void ProcA(THookProcCode Code, HWND Wnd, WPARAM WParam, LPARAM) { heardA.push_back({Code, Wnd, WParam}); }
void ProcB(THookProcCode Code, HWND Wnd, WPARAM WParam, LPARAM) { heardB.push_back({Code, Wnd, WParam}); }
void Raises(THookProcCode, HWND, WPARAM, LPARAM) { throw std::runtime_error("watcher failed"); }

// A plain window whose procedure counts what reaches it (the hooks must pass every message on).
int reached = 0;
LRESULT CALLBACK CountingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_ACTIVATE || m == WM_ACTIVATEAPP) {
        ++reached;
        return 0;  // no default handling: it would activate the window and send more
    }
    return DefWindowProcW(h, m, w, l);
}

struct HookFixture : ::testing::Test {
    HWND wnd = nullptr;
    void SetUp() override {
        heardA.clear();
        heardB.clear();
        reached = 0;
        WNDCLASSW cls{};
        cls.lpfnWndProc = CountingProc;
        cls.lpszClassName = u"BarHookTestWindow";
        RegisterClassW(&cls);
        wnd = CreateWindowExW(0, u"BarHookTestWindow", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(wnd);
    }
    void TearDown() override {
        if (wnd) DestroyWindow(wnd);
        // Every test leaves the thread without registrations.
        EXPECT_FALSE(CurrentHookState().RegistrationsExist);
        EXPECT_FALSE(CurrentHookState().InfoExists);
    }
};

TEST_F(HookFixture, NoRegistrationInstallsNoHook) {
    const THookState s = CurrentHookState();
    EXPECT_FALSE(s.InfoExists);
    for (HHOOK h : s.Handles) EXPECT_EQ(h, nullptr);
}

TEST_F(HookFixture, TwoUsersOfOneProcedureShareOneHookUntilTheLastGoes) {
    InstallHookProcedure(&userA, ProcA, {hpSendActivate, hpSendWindowPosChanged});
    const HHOOK first = CurrentHookState().Handles[htCallWndProc];
    ASSERT_NE(first, nullptr);
    InstallHookProcedure(&userB, ProcA, {hpSendActivate});
    InstallHookProcedure(&userB, ProcA, {hpSendActivate});  // the same user again counts once
    THookState s = CurrentHookState();
    EXPECT_EQ(s.Handles[htCallWndProc], first);
    EXPECT_EQ(s.Counts[htCallWndProc], 2);
    EXPECT_EQ(s.Handles[htCBT], nullptr);
    EXPECT_EQ(s.Handles[htGetMessage], nullptr);

    // An unknown user, or a procedure never registered, changes nothing.
    UninstallHookProcedure(&userC, ProcA);
    UninstallHookProcedure(&userA, ProcB);
    EXPECT_EQ(CurrentHookState().Counts[htCallWndProc], 2);

    UninstallHookProcedure(&userA, ProcA);
    s = CurrentHookState();
    EXPECT_EQ(s.Handles[htCallWndProc], first);
    EXPECT_EQ(s.Counts[htCallWndProc], 1);
    SendMessageW(wnd, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(heardA.size(), 1u);  // the remaining user still hears it

    UninstallHookProcedure(&userB, ProcA);
    s = CurrentHookState();
    EXPECT_FALSE(s.InfoExists);
    EXPECT_FALSE(s.RegistrationsExist);
    SendMessageW(wnd, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(heardA.size(), 1u);
}

TEST_F(HookFixture, EachMessageReachesTheProceduresThatAskedForIt) {
    InstallHookProcedure(&userA, ProcA, {hpSendActivate, hpSendActivateApp, hpSendWindowPosChanged, hpPreDestroy});
    InstallHookProcedure(&userB, ProcB, {hpGetMessage, hpSendActivateApp});
    // A later registration of the same procedure does not widen the codes it hears.
    InstallHookProcedure(&userC, ProcB, {hpSendActivate});
    const THookState s = CurrentHookState();
    for (HHOOK h : s.Handles) EXPECT_NE(h, nullptr);

    SendMessageW(wnd, WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessageW(wnd, WM_ACTIVATEAPP, TRUE, 0);
    SetWindowPos(wnd, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(wnd, WM_SETTEXT, 0, LPARAM(u"x"));  // not watched
    PostMessageW(wnd, WM_USER, 7, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, wnd, WM_USER, WM_USER, PM_REMOVE));
    DestroyWindow(wnd);
    const HWND gone = wnd;
    wnd = nullptr;

    EXPECT_EQ(reached, 2);  // passed on to the window
    std::vector<THookProcCode> codesA;
    for (const Heard& h : heardA) codesA.push_back(h.code);
    ASSERT_GE(codesA.size(), 4u);
    EXPECT_EQ(codesA[0], hpSendActivate);
    EXPECT_EQ(heardA[0].wnd, gone);
    EXPECT_EQ(heardA[0].wparam, WPARAM(WA_INACTIVE));
    EXPECT_EQ(codesA[1], hpSendActivateApp);
    EXPECT_EQ(codesA[2], hpSendWindowPosChanged);
    EXPECT_EQ(codesA.back(), hpPreDestroy);
    EXPECT_EQ(heardA.back().wnd, gone);

    ASSERT_EQ(heardB.size(), 2u);
    EXPECT_EQ(heardB[0].code, hpSendActivateApp);
    EXPECT_EQ(heardB[1].code, hpGetMessage);
    EXPECT_EQ(heardB[1].wparam, WPARAM(PM_REMOVE));

    UninstallHookProcedure(&userA, ProcA);
    UninstallHookProcedure(&userB, ProcB);
    UninstallHookProcedure(&userC, ProcB);
}

TEST_F(HookFixture, AFailingProcedureDoesNotStopTheOthers) {
    InstallHookProcedure(&userA, Raises, {hpSendActivate});
    InstallHookProcedure(&userB, ProcB, {hpSendActivate});
    EXPECT_NO_THROW(SendMessageW(wnd, WM_ACTIVATE, WA_ACTIVE, 0));
    EXPECT_EQ(heardB.size(), 1u);
    EXPECT_EQ(reached, 1);
    UninstallHookProcedure(&userA, Raises);
    UninstallHookProcedure(&userB, ProcB);
}

// A procedure that unregisters a later one and itself while the relay walks the list: the walk
// must neither read the freed entries nor call the removed procedure.
void Unregisters(THookProcCode, HWND, WPARAM, LPARAM) {
    heardA.push_back({hpSendActivate, nullptr, 0});
    UninstallHookProcedure(&userB, ProcB);
    UninstallHookProcedure(&userA, Unregisters);
}

TEST_F(HookFixture, AProcedureMayUnregisterAnotherAndItselfDuringTheWalk) {
    InstallHookProcedure(&userA, Unregisters, {hpSendActivate});
    InstallHookProcedure(&userB, ProcB, {hpSendActivate});
    SendMessageW(wnd, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(heardA.size(), 1u);
    EXPECT_TRUE(heardB.empty());
    EXPECT_EQ(reached, 1);
    EXPECT_FALSE(CurrentHookState().InfoExists);  // both gone: the hook went with them
    SendMessageW(wnd, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(heardA.size(), 1u);
}

} // namespace
