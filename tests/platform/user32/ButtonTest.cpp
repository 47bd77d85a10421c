// "Button" and "Static": clicks, keys, check states, radio groups, owner drawing and the classic look.
#include "ControlsFixture.h"

using namespace user32_test;

namespace {

class ButtonTest : public WindowTest {
protected:
    HWND top = TopLevel();
    HWND Button(DWORD style, RECT r, int id, const char16_t* text = u"Go") { return MakeControl(top, u"BUTTON", style, r, id, text); }
};

} // namespace

TEST_F(ButtonTest, EveryBuiltInClassIsRegisteredAgainAfterAReset) {
    TwResetWindowing();
    for (const char16_t* name : {u"Button", u"static", u"EDIT", u"ListBox", u"ComboBox", u"ComboLBox", u"ScrollBar",
                                 u"msctls_updown32", u"#32770"}) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        EXPECT_TRUE(GetClassInfoExW(nullptr, name, &wc)) << QString::fromUtf16(name).toStdString();
    }
}

TEST_F(ButtonTest, AClickNotifiesOnceAndAReleaseOutsideDoesNot) {
    HWND b = Button(BS_PUSHBUTTON, {10, 10, 90, 40}, 7);
    rec.Clear();
    app.Click(b, {20, 10});
    EXPECT_EQ(Commands(rec, top), (std::vector<std::pair<int, int>>{{BN_CLICKED, 7}}));
    EXPECT_EQ(GetFocus(), b);
    rec.Clear();
    app.Press(b, {20, 10});
    EXPECT_TRUE(SendMessageW(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
    app.MoveTo(b, {200, 10});
    EXPECT_FALSE(SendMessageW(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
    app.Release(b, {200, 10});
    EXPECT_TRUE(Commands(rec, top).empty());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonTest, SpaceClicksOnReleaseAndDisabledButtonsIgnoreClicks) {
    HWND b = Button(BS_PUSHBUTTON, {10, 10, 90, 40}, 7);
    SetFocus(b);
    rec.Clear();
    app.KeyDown(VK_SPACE);
    EXPECT_TRUE(Commands(rec, top).empty());
    app.KeyUp(VK_SPACE);
    EXPECT_EQ(Commands(rec, top).size(), 1u);
    EnableWindow(b, FALSE);
    rec.Clear();
    app.Click(b, {20, 10});
    SendMessageW(b, BM_CLICK, 0, 0);
    EXPECT_TRUE(Commands(rec, top).empty());
}

struct CheckCase {
    DWORD style;
    std::vector<UINT> states;  // BM_GETCHECK after each of three clicks
};

class CheckCycle : public ButtonTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckCycle, ClicksStepThroughTheStates) {
    HWND b = Button(GetParam().style, {10, 10, 120, 30}, 3, u"Check");
    std::vector<UINT> seen;
    for (int i = 0; i < 3; ++i) {
        app.Click(b, {5, 10});
        seen.push_back(UINT(SendMessageW(b, BM_GETCHECK, 0, 0)));
    }
    EXPECT_EQ(seen, GetParam().states);
    EXPECT_EQ(Commands(rec, top).size(), 3u);  // every click is told, automatic or not
}

INSTANTIATE_TEST_SUITE_P(Kinds, CheckCycle, ::testing::Values(
    CheckCase{BS_AUTOCHECKBOX, {BST_CHECKED, BST_UNCHECKED, BST_CHECKED}},
    CheckCase{BS_AUTO3STATE, {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}},
    CheckCase{BS_CHECKBOX, {BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED}},
    CheckCase{BS_AUTORADIOBUTTON, {BST_CHECKED, BST_CHECKED, BST_CHECKED}}));

TEST_F(ButtonTest, SetCheckKeepsToTheKindsStates) {
    HWND two = Button(BS_AUTOCHECKBOX, {10, 10, 120, 30}, 1);
    HWND three = Button(BS_3STATE, {10, 40, 120, 60}, 2);
    HWND push = Button(BS_PUSHBUTTON, {10, 70, 120, 90}, 3);
    SendMessageW(two, BM_SETCHECK, BST_INDETERMINATE, 0);
    SendMessageW(three, BM_SETCHECK, BST_INDETERMINATE, 0);
    SendMessageW(push, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageW(two, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(three, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    EXPECT_EQ(SendMessageW(push, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(ButtonTest, AutoRadioButtonsCheckOneOfTheirGroupOnly) {
    HWND a = Button(BS_AUTORADIOBUTTON | WS_GROUP, {10, 10, 120, 30}, 1, u"A");
    HWND b = Button(BS_AUTORADIOBUTTON, {10, 40, 120, 60}, 2, u"B");
    HWND c = Button(BS_AUTORADIOBUTTON | WS_GROUP, {10, 70, 120, 90}, 3, u"C");  // a group of its own
    SendMessageW(c, BM_SETCHECK, BST_CHECKED, 0);
    app.Click(a, {5, 10});
    app.Click(b, {5, 10});
    EXPECT_EQ(SendMessageW(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(c, BM_GETCHECK, 0, 0), BST_CHECKED);
    // Only the checked radio button of a group is a Tab stop.
    EXPECT_FALSE(GetWindowLongW(a, GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongW(b, GWL_STYLE) & WS_TABSTOP);
}

TEST_F(ButtonTest, OwnerDrawnButtonsAreDrawnByTheParentWithTheirState) {
    HWND b = Button(BS_OWNERDRAW, {10, 10, 90, 40}, 9);
    std::vector<UINT> states;
    rec.handlers[top] = [&](HWND, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
        if (m != WM_DRAWITEM) return std::nullopt;
        const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        EXPECT_EQ(d->CtlType, UINT(ODT_BUTTON));
        EXPECT_EQ(d->CtlID, 9u);
        EXPECT_EQ(d->rcItem.right, 80);
        states.push_back(d->itemState & (ODS_SELECTED | ODS_FOCUS | ODS_DISABLED));
        return TRUE;
    };
    app.PumpUntilIdle();
    app.Press(b, {5, 5});
    app.Release(b, {5, 5});
    EnableWindow(b, FALSE);
    app.PumpUntilIdle();
    ASSERT_GE(states.size(), 3u);
    EXPECT_EQ(states.front(), 0u);
    EXPECT_NE(std::find(states.begin(), states.end(), UINT(ODS_SELECTED | ODS_FOCUS)), states.end());
    EXPECT_EQ(states.back(), UINT(ODS_DISABLED));
}

TEST_F(ButtonTest, ParentColoursReachTheFaceAndTheCheckMarkShows) {
    HWND check = Button(BS_AUTOCHECKBOX, {10, 10, 120, 30}, 1, u"");
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    rec.handlers[top] = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(red);
        return std::nullopt;
    };
    InvalidateRect(check, nullptr, TRUE);
    app.PumpUntilIdle();
    EXPECT_EQ(app.Pixel(check, 60, 10), 0xFF0000u);   // beside the box: the parent's brush
    EXPECT_EQ(app.Pixel(check, 6, 10), 0xFFFFFFu);    // inside the empty box: window colour
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    app.PumpUntilIdle();
    int dark = 0;
    for (int y = 5; y < 15; ++y)
        for (int x = 2; x < 11; ++x)
            if (app.Pixel(check, x, y) == 0x000000u) ++dark;
    EXPECT_GT(dark, 5);  // the check mark
    DeleteObject(red);
}

TEST_F(ButtonTest, StaticsPassClicksThroughUnlessTheyNotify) {
    HWND plain = CreateWindowExW(0, u"Static", u"Label", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20, top,
                                 reinterpret_cast<HMENU>(INT_PTR(4)), nullptr, nullptr);
    HWND notify = CreateWindowExW(0, u"Static", u"Link", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 10, 40, 100, 20, top,
                                  reinterpret_cast<HMENU>(INT_PTR(5)), nullptr, nullptr);
    rec.Clear();
    app.Click(plain, {5, 5});
    EXPECT_FALSE(rec.Of(WM_LBUTTONDOWN).empty());  // the parent got the click
    EXPECT_EQ(rec.Of(WM_LBUTTONDOWN).at(0).hwnd, top);
    rec.Clear();
    app.Click(notify, {5, 5});
    EXPECT_EQ(Commands(rec, top), (std::vector<std::pair<int, int>>{{STN_CLICKED, 5}}));
}
