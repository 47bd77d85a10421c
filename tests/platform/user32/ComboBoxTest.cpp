// "ListBox", "ComboBox" and its "ComboLBox": items, sorting, selection, notifications, owner drawing,
// and the drop-down list that closes on every path.
#include "ControlsFixture.h"

#include <functional>

using namespace user32_test;

namespace {

class ListTest : public WindowTest {
protected:
    HWND top = TopLevel();
    HWND Make(const char16_t* cls, DWORD style, RECT r, int id = 7) { return MakeControl(top, cls, style, r, id); }
    static void Add(HWND h, UINT msg, std::initializer_list<const char16_t*> items) {
        for (const char16_t* t : items) SendMessageW(h, msg, 0, reinterpret_cast<LPARAM>(t));
    }
    static std::u16string Item(HWND list, int i) {
        WCHAR buf[64] = {};
        SendMessageW(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buf));
        return buf;
    }
    std::vector<int> Codes() {
        std::vector<int> out;
        for (auto [code, id] : Commands(rec, top)) out.push_back(code);
        return out;
    }
    static HWND ListOf(HWND combo) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        EXPECT_TRUE(GetComboBoxInfo(combo, &info));
        return info.hwndList;
    }
    // The client point of item i of a dropped list.
    static POINT ItemPoint(HWND list, int i) {
        RECT r;
        SendMessageW(list, LB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
        return POINT{r.left + 5, (r.top + r.bottom) / 2};
    }
};

} // namespace

TEST_F(ListTest, SortedListsInsertWithoutCaseAndFindByPrefixOrWhole) {
    HWND list = Make(u"ListBox", LBS_SORT | LBS_NOTIFY | WS_VSCROLL, {10, 10, 160, 110});
    Add(list, LB_ADDSTRING, {u"pear", u"Apple", u"banana", u"apricot"});
    EXPECT_EQ(Item(list, 0), u"Apple");
    EXPECT_EQ(Item(list, 1), u"apricot");
    EXPECT_EQ(Item(list, 3), u"pear");
    EXPECT_EQ(SendMessageW(list, LB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(u"AP")), 0);
    EXPECT_EQ(SendMessageW(list, LB_FINDSTRING, 0, reinterpret_cast<LPARAM>(u"ap")), 1);
    EXPECT_EQ(SendMessageW(list, LB_FINDSTRING, 1, reinterpret_cast<LPARAM>(u"ap")), 0);  // wraps
    EXPECT_EQ(SendMessageW(list, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(u"BANANA")), 2);
    EXPECT_EQ(SendMessageW(list, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(u"ban")), LB_ERR);
    // Deleting above the selection keeps the same item selected.
    SendMessageW(list, LB_SETCURSEL, 2, 0);
    SendMessageW(list, LB_DELETESTRING, 0, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, 9, 0), LB_ERR);
}

TEST_F(ListTest, ClicksAndKeysTellTheParentButProgramChangesDoNot) {
    HWND list = Make(u"ListBox", LBS_NOTIFY, {10, 10, 160, 110});
    Add(list, LB_ADDSTRING, {u"one", u"two", u"three", u"thumb"});
    rec.Clear();
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    EXPECT_TRUE(Codes().empty());
    app.Click(list, ItemPoint(list, 2));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    app.Tap(VK_UP);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    app.Type("th");  // type-ahead: the first item starting with what was typed
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    const auto codes = Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), LBN_SELCHANGE), 3);
    EXPECT_EQ(codes.front(), LBN_SETFOCUS);
}

TEST_F(ListTest, ExtendedSelectionFollowsShiftAndControl) {
    HWND list = Make(u"ListBox", LBS_EXTENDEDSEL, {10, 10, 160, 110});
    Add(list, LB_ADDSTRING, {u"a", u"b", u"c", u"d", u"e"});
    app.Click(list, ItemPoint(list, 1));
    app.KeyDown(VK_SHIFT);
    app.Click(list, ItemPoint(list, 3));
    app.KeyUp(VK_SHIFT);
    app.KeyDown(VK_CONTROL);
    app.Click(list, ItemPoint(list, 2));
    app.KeyUp(VK_CONTROL);
    INT sel[5] = {};
    const LRESULT n = SendMessageW(list, LB_GETSELITEMS, 5, reinterpret_cast<LPARAM>(sel));
    EXPECT_EQ(std::vector<int>(sel, sel + n), (std::vector<int>{1, 3}));
}

TEST_F(ListTest, ChoosingFromTheDropDownListNotifiesInOrder) {
    HWND combo = Make(u"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL, {10, 10, 160, 200});
    Add(combo, CB_ADDSTRING, {u"MP3", u"WAV", u"Copy"});
    EXPECT_FALSE(GetWindowLongW(combo, GWL_STYLE) & WS_VSCROLL);  // the list's, not the combo box's own
    RECT wr;
    GetWindowRect(combo, &wr);
    EXPECT_LT(wr.bottom - wr.top, 40);  // the closed height, whatever height it was given
    HWND list = ListOf(combo);
    rec.Clear();
    app.Click(combo, {20, 8});
    EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(IsWindowVisible(list));
    RECT lr;
    GetWindowRect(list, &lr);
    EXPECT_EQ(lr.top, wr.bottom);
    app.MoveTo(list, ItemPoint(list, 1));
    app.Click(list, ItemPoint(list, 1));
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Text(combo), u"WAV");
    std::vector<int> codes = Codes();
    codes.erase(std::remove_if(codes.begin(), codes.end(), [](int c) { return c == CBN_SETFOCUS; }), codes.end());
    EXPECT_EQ(codes, (std::vector<int>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_EQ(GetCapture(), nullptr);
}

struct ClosePath {
    const char* name;
    std::function<void(testing_support::HeadlessApp&, HWND top, HWND combo, HWND other)> close;
};

class DropDownCloses : public ListTest, public ::testing::WithParamInterface<ClosePath> {};

TEST_P(DropDownCloses, OnEveryPathOnceAndWithoutChangingTheSelection) {
    HWND combo = Make(u"ComboBox", CBS_DROPDOWNLIST, {10, 10, 160, 200});
    HWND other = Make(u"Button", BS_PUSHBUTTON, {200, 10, 280, 40}, 9);
    Add(combo, CB_ADDSTRING, {u"MP3", u"WAV", u"Copy"});
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    HWND list = ListOf(combo);
    SetFocus(combo);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    app.PumpUntilIdle();
    ASSERT_TRUE(IsWindowVisible(list));
    app.MoveTo(list, ItemPoint(list, 2));  // the hovered item is not chosen by closing
    rec.Clear();
    GetParam().close(app, top, combo, other);
    app.PumpUntilIdle();
    EXPECT_FALSE(IsWindow(list) && IsWindowVisible(list));
    EXPECT_EQ(GetCapture(), nullptr);
    if (IsWindow(combo)) {
        EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
        EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
        const auto codes = Codes();
        EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_CLOSEUP), 1);
        EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_SELCHANGE), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, DropDownCloses, ::testing::Values(
    ClosePath{"Escape", [](auto& app, HWND, HWND, HWND) { app.Tap(VK_ESCAPE); }},
    ClosePath{"ClickOutside", [](auto& app, HWND top, HWND, HWND) { app.Click(top, {300, 250}); }},
    ClosePath{"ClickOnTheCombo", [](auto& app, HWND, HWND combo, HWND) { app.Click(combo, {20, 8}); }},
    ClosePath{"FocusElsewhere", [](auto&, HWND, HWND, HWND other) { SetFocus(other); }},
    ClosePath{"Disabled", [](auto&, HWND, HWND combo, HWND) { EnableWindow(combo, FALSE); }},
    ClosePath{"Hidden", [](auto&, HWND, HWND combo, HWND) { ShowWindow(combo, SW_HIDE); }},
    ClosePath{"ShowDropDownFalse", [](auto&, HWND, HWND combo, HWND) { SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0); }},
    ClosePath{"ActivationLost", [](auto&, HWND, HWND, HWND) {
        HWND second = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {600, 100, 800, 300});
        SetActiveWindow(second);
    }},
    ClosePath{"ParentDestroyed", [](auto&, HWND top, HWND, HWND) { DestroyWindow(top); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListTest, OwnerDrawnComboItemsAreMeasuredAndDrawnWithTheirStates) {
    struct Drawn {
        int item;
        UINT state;
        HWND in;
    };
    std::vector<Drawn> drawn;
    std::vector<int> measured;
    rec.handlers[top] = [&](HWND, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
        if (m == WM_MEASUREITEM) {
            auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
            EXPECT_EQ(mi->CtlType, UINT(ODT_COMBOBOX));
            measured.push_back(int(mi->itemID));
            mi->itemHeight = 20;
            return TRUE;
        }
        if (m == WM_DRAWITEM) {
            auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            EXPECT_EQ(d->CtlType, UINT(ODT_COMBOBOX));
            drawn.push_back({int(d->itemID), d->itemState & (ODS_SELECTED | ODS_FOCUS | ODS_COMBOBOXEDIT), d->hwndItem});
            return TRUE;
        }
        return std::nullopt;
    };
    HWND combo = Make(u"ComboBox", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, {10, 10, 160, 200});
    EXPECT_EQ(measured, (std::vector<int>{-1, 0}));  // the selection field, then the list's items
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMHEIGHT, WPARAM(-1), 0), 20);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0), 20);
    for (ULONG_PTR data : {11u, 22u, 33u}) SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(data));
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 1, 0), 22);
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    SetFocus(combo);
    drawn.clear();
    app.PumpUntilIdle();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().item, 1);
    EXPECT_EQ(drawn.back().state, UINT(ODS_COMBOBOXEDIT | ODS_SELECTED | ODS_FOCUS));
    drawn.clear();
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    app.PumpUntilIdle();
    std::vector<std::pair<int, UINT>> items;
    for (const Drawn& d : drawn)
        if (!(d.state & ODS_COMBOBOXEDIT)) items.emplace_back(d.item, d.state);
    EXPECT_EQ(items, (std::vector<std::pair<int, UINT>>{{0, 0}, {1, ODS_SELECTED}, {2, 0}}));
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(ListTest, AnEditableComboReportsEditsAndItsParts) {
    HWND combo = Make(u"ComboBox", CBS_DROPDOWN | CBS_AUTOHSCROLL, {10, 10, 160, 200});
    Add(combo, CB_ADDSTRING, {u"alpha", u"beta"});
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    EXPECT_NE(info.hwndItem, combo);
    WCHAR cls[16];
    GetClassNameW(info.hwndItem, cls, 16);
    EXPECT_EQ(QString::fromUtf16(cls).toLower(), "edit");
    GetClassNameW(info.hwndList, cls, 16);
    EXPECT_EQ(QString::fromUtf16(cls), "ComboLBox");
    SetFocus(combo);
    EXPECT_EQ(GetFocus(), info.hwndItem);
    rec.Clear();
    app.Type("x");
    EXPECT_EQ(Codes(), (std::vector<int>{CBN_EDITUPDATE, CBN_EDITCHANGE}));
    EXPECT_EQ(Text(combo), u"x");
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(Text(combo), u"beta");
    app.Tap(VK_F4);  // from inside the edit
    EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    app.Tap(VK_RETURN);
    EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    SendMessageW(combo, CB_SETDROPPEDWIDTH, 300, 0);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    RECT lr;
    GetWindowRect(info.hwndList, &lr);
    EXPECT_EQ(lr.right - lr.left, 300);
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

// A choice made by the program in a box without the focus shows no selection colour: the editable box's
// text is selected whole only on the first focus and on a choice while focused (the edit keeps a
// selection drawn without the focus), the dropped-list box's field is highlighted only while focused.
TEST_F(ListTest, AnUnfocusedBoxShowsItsChoiceWithoutTheSelectionColour) {
    HWND other = Make(u"Button", BS_PUSHBUTTON, {200, 10, 280, 34}, 9);
    const COLORREF h = GetSysColor(COLOR_HIGHLIGHT);
    const QRgb highlight = qRgb(GetRValue(h), GetGValue(h), GetBValue(h));
    auto highlighted = [&](HWND combo) {
        app.PumpUntilIdle();
        const QImage shot = app.Grab(combo);
        int n = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) n += (shot.pixel(x, y) & 0xFFFFFF) == (highlight & 0xFFFFFF);
        return n;
    };
    for (DWORD kind : {DWORD(CBS_DROPDOWN), DWORD(CBS_DROPDOWNLIST)}) {
        SCOPED_TRACE(kind == CBS_DROPDOWN ? "editable" : "dropped list");
        HWND combo = Make(u"ComboBox", kind | CBS_AUTOHSCROLL | WS_VSCROLL, {10, 10, 160, 200});
        Add(combo, CB_ADDSTRING, {u"Automatisch", u"128"});
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
        EXPECT_EQ(highlighted(combo), 0);
        SetFocus(combo);
        EXPECT_GT(highlighted(combo), 100);
        SetFocus(other);
        SendMessageW(combo, CB_SETCURSEL, 1, 0);
        EXPECT_EQ(highlighted(combo), 0);
        if (kind == CBS_DROPDOWN) {
            DWORD from = 1, to = 1;
            SendMessageW(combo, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
            EXPECT_EQ(std::make_pair(from, to), std::make_pair(DWORD(0), DWORD(0)));
        }
        DestroyWindow(combo);
    }
}
