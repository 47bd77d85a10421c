// "Edit": typing (beyond the basic plane too), selection by keys and mouse, clipboard, undo, limits,
// styles, notifications, wrapping and scrolling of large texts.
#include "ControlsFixture.h"

using namespace user32_test;

namespace {

class EditTest : public WindowTest {
protected:
    HWND top = TopLevel();
    HWND Edit(DWORD style, RECT r = {10, 10, 210, 34}, const char16_t* text = u"") {
        HWND e = CreateWindowExW(WS_EX_CLIENTEDGE, u"EDIT", text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, top, reinterpret_cast<HMENU>(INT_PTR(5)), nullptr,
                                 nullptr);
        SetFocus(e);
        app.PumpUntilIdle();
        return e;
    }
    std::pair<DWORD, DWORD> Sel(HWND e) {
        DWORD a = 0, b = 0;
        SendMessageW(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
        return {a, b};
    }
    void Commit(const char16_t* text) {  // what an input method hands over
        TwInputKey(0xE7, TRUE, FALSE, text, FALSE);  // VK_PACKET
        TwInputKey(0xE7, FALSE, FALSE, nullptr, FALSE);
        app.PumpUntilIdle();
    }
    void WithKey(UINT modifier, UINT vk) {
        app.KeyDown(modifier);
        app.Tap(vk);
        app.KeyUp(modifier);
    }
    std::vector<int> Notifications() {
        std::vector<int> out;
        for (auto [code, id] : Commands(rec, top)) out.push_back(code);
        return out;
    }
};

std::u16string FullText(HWND e) {
    const int n = GetWindowTextLengthW(e);
    std::u16string s(size_t(n) + 1, u'\0');
    GetWindowTextW(e, s.data(), n + 1);
    s.resize(size_t(n));
    return s;
}

} // namespace

TEST_F(EditTest, TextBeyondTheBasicPlaneIsTypedMovedOverAndDeletedWhole) {
    HWND e = Edit(ES_AUTOHSCROLL);
    app.Type("a");
    Commit(u"\U0001F600");  // one character, two UTF-16 units
    app.Type("b");
    EXPECT_EQ(FullText(e), u"a\U0001F600b");
    app.Tap(VK_LEFT);
    app.Tap(VK_LEFT);
    EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{1, 1}));  // never between the halves
    WithKey(VK_SHIFT, VK_RIGHT);
    EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{1, 3}));
    app.Tap(VK_RIGHT);
    app.Tap(VK_BACK);
    EXPECT_EQ(FullText(e), u"ab");
}

TEST_F(EditTest, EachChangeNotifiesOnceUpdateBeforeChange) {
    HWND e = Edit(ES_AUTOHSCROLL);
    rec.Clear();
    app.Type("ab");
    EXPECT_EQ(Notifications(), (std::vector<int>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));
    rec.Clear();
    SetWindowTextW(e, u"new");
    EXPECT_EQ(Notifications(), (std::vector<int>{EN_UPDATE, EN_CHANGE}));
    EXPECT_FALSE(SendMessageW(e, EM_GETMODIFY, 0, 0));
    rec.Clear();
    app.Tap(VK_LEFT);  // moving the caret changes nothing
    SendMessageW(e, EM_SETSEL, 0, -1);
    EXPECT_TRUE(Notifications().empty());
}

TEST_F(EditTest, UndoAfterPasteRestoresAndASecondUndoRedoes) {
    HWND e = Edit(ES_AUTOHSCROLL);
    app.Type("abc");
    SendMessageW(e, EM_SETSEL, 0, 3);
    SendMessageW(e, WM_COPY, 0, 0);
    SendMessageW(e, EM_SETSEL, 0, 0);  // away from the end, where the paste would join the typing
    SendMessageW(e, WM_PASTE, 0, 0);
    EXPECT_EQ(FullText(e), u"abcabc");
    EXPECT_TRUE(SendMessageW(e, EM_CANUNDO, 0, 0));
    SendMessageW(e, EM_UNDO, 0, 0);
    EXPECT_EQ(FullText(e), u"abc");
    SendMessageW(e, EM_UNDO, 0, 0);
    EXPECT_EQ(FullText(e), u"abcabc");
    // A run of typing is one step to undo.
    SetWindowTextW(e, u"");
    app.Type("xyz");
    app.Type("\x1a");  // Ctrl+Z arrives as its control character
    EXPECT_EQ(FullText(e), u"");
}

TEST_F(EditTest, SingleLinePasteStopsAtTheFirstLineBreak) {
    HWND memo = Edit(ES_MULTILINE, {10, 40, 210, 140}, u"one\r\ntwo");
    SendMessageW(memo, EM_SETSEL, 0, -1);
    SendMessageW(memo, WM_COPY, 0, 0);
    HWND e = Edit(ES_AUTOHSCROLL);
    SendMessageW(e, WM_PASTE, 0, 0);
    EXPECT_EQ(FullText(e), u"one");
}

struct StyleCase {
    DWORD style;
    const char* typed;
    const char16_t* expected;
};

class EditStyles : public EditTest, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(EditStyles, TypingFollowsTheStyle) {
    HWND e = Edit(ES_AUTOHSCROLL | GetParam().style);
    app.Type(GetParam().typed);
    EXPECT_EQ(FullText(e), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Styles, EditStyles, ::testing::Values(
    StyleCase{0, "Mix 1", u"Mix 1"},
    StyleCase{ES_NUMBER, "1a2-3", u"123"},
    StyleCase{ES_UPPERCASE, "Mix", u"MIX"},
    StyleCase{ES_LOWERCASE, "Mix", u"mix"},
    StyleCase{ES_READONLY, "no", u""},
    StyleCase{ES_PASSWORD, "secret", u"secret"}));

TEST_F(EditTest, PasswordsAreNeitherShownNorCopied) {
    HWND e = Edit(ES_AUTOHSCROLL | ES_PASSWORD, {10, 10, 210, 34}, u"secret");
    EXPECT_EQ(SendMessageW(e, EM_GETPASSWORDCHAR, 0, 0), u'*');
    OpenClipboard(top);
    EmptyClipboard();
    CloseClipboard();
    SendMessageW(e, EM_SETSEL, 0, -1);
    SendMessageW(e, WM_COPY, 0, 0);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
}

TEST_F(EditTest, TheLimitStopsTypingAndSaysSo) {
    HWND e = Edit(ES_AUTOHSCROLL);
    SendMessageW(e, EM_LIMITTEXT, 3, 0);
    rec.Clear();
    app.Type("abcde");
    EXPECT_EQ(FullText(e), u"abc");
    const auto n = Notifications();
    EXPECT_EQ(std::count(n.begin(), n.end(), EN_MAXTEXT), 2);
    EXPECT_EQ(std::count(n.begin(), n.end(), EN_CHANGE), 3);
}

TEST_F(EditTest, MouseSelectsByDragShiftClickAndDoubleClick) {
    HWND e = Edit(ES_AUTOHSCROLL, {10, 10, 310, 34}, u"alpha beta gamma");
    const LRESULT beta = SendMessageW(e, EM_POSFROMCHAR, 6, 0), gamma = SendMessageW(e, EM_POSFROMCHAR, 11, 0);
    const int y = GET_Y_LPARAM(beta) + 3;
    app.Drag(e, {GET_X_LPARAM(beta), y}, {GET_X_LPARAM(gamma), y});
    EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{6, 11}));
    app.KeyDown(VK_SHIFT);
    app.Click(e, {1, y});
    app.KeyUp(VK_SHIFT);
    EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{0, 6}));
    TwAdvanceClock(1000);
    app.DoubleClick(e, {GET_X_LPARAM(gamma) + 4, y});
    EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{11, 16}));
}

TEST_F(EditTest, ASingleLineScrollsToKeepTheCaretInView) {
    HWND e = Edit(ES_AUTOHSCROLL, {10, 10, 70, 34});
    app.Type("the quick brown fox jumps over");
    RECT rc;
    GetClientRect(e, &rc);
    const LRESULT at = SendMessageW(e, EM_POSFROMCHAR, 29, 0);
    EXPECT_GT(GET_X_LPARAM(at), 0);
    EXPECT_LT(GET_X_LPARAM(at), rc.right);
    EXPECT_GT(SendMessageW(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);  // the first visible character
}

TEST_F(EditTest, AMemoWrapsAtSpacesAndCountsVisualLines) {
    HWND memo = Edit(ES_MULTILINE, {10, 10, 110, 200}, u"aaaa bbbb cccc dddd eeee ffff\r\nshort");
    const LRESULT lines = SendMessageW(memo, EM_GETLINECOUNT, 0, 0);
    EXPECT_GT(lines, 2);
    for (LRESULT i = 1; i < lines - 1; ++i) {
        const LRESULT start = SendMessageW(memo, EM_LINEINDEX, WPARAM(i), 0);
        WCHAR before = 0;
        std::u16string t = FullText(memo);
        before = t[size_t(start) - 1];
        EXPECT_TRUE(before == u' ') << "line " << i << " starts inside a word";
    }
    EXPECT_EQ(SendMessageW(memo, EM_LINELENGTH, SendMessageW(memo, EM_LINEINDEX, WPARAM(lines - 1), 0), 0), 5);
}

TEST_F(EditTest, AHundredThousandLineMemoIndexesAndScrollsToItsEnd) {
    std::u16string big;
    for (int i = 0; i < 100000; ++i) big += u"line " + QString::number(i).toStdU16String() + u"\r\n";
    big += u"last";
    HWND memo = Edit(ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL, {10, 10, 310, 210}, big.c_str());
    EXPECT_EQ(SendMessageW(memo, EM_GETLINECOUNT, 0, 0), 100001);
    const LRESULT idx = SendMessageW(memo, EM_LINEINDEX, 99999, 0);
    EXPECT_EQ(big.substr(size_t(idx), 10), u"line 99999");
    WithKey(VK_CONTROL, VK_END);
    EXPECT_EQ(Sel(memo), (std::pair<DWORD, DWORD>{DWORD(big.size()), DWORD(big.size())}));
    const LRESULT first = SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0);
    EXPECT_GT(first, 99980);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(memo, SB_VERT, &si);
    EXPECT_EQ(si.nPos, first);
    EXPECT_EQ(si.nMax, 100000);
    app.Type("!");
    EXPECT_EQ(SendMessageW(memo, EM_LINELENGTH, WPARAM(big.size()), 0), 5);
}

TEST_F(EditTest, TheSelectionIsDrawnInHighlightColours) {
    HWND e = Edit(ES_AUTOHSCROLL, {10, 10, 210, 34}, u"WWWWWW");
    SendMessageW(e, EM_SETSEL, 0, 3);
    app.PumpUntilIdle();
    const COLORREF h = GetSysColor(COLOR_HIGHLIGHT);
    const QRgb highlight = (QRgb(GetRValue(h)) << 16) | (GetGValue(h) << 8) | GetBValue(h);
    const int x3 = GET_X_LPARAM(SendMessageW(e, EM_POSFROMCHAR, 3, 0));
    const int x6 = GET_X_LPARAM(SendMessageW(e, EM_POSFROMCHAR, 5, 0)) + 4;
    int inside = 0, outside = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 2; x < x3 - 1; ++x) inside += app.Pixel(e, x, y) == highlight;
        for (int x = x3 + 1; x < x6; ++x) outside += app.Pixel(e, x, y) == highlight;
    }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
    SetFocus(top);  // without the focus the selection is not shown
    app.PumpUntilIdle();
    inside = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 2; x < x3 - 1; ++x) inside += app.Pixel(e, x, y) == highlight;
    EXPECT_EQ(inside, 0);
}

TEST_F(EditTest, LinesFoundAgainAroundAnEditMatchAFreshLayout) {
    HWND memo = Edit(ES_MULTILINE | ES_AUTOHSCROLL, {10, 10, 310, 210}, u"one\r\ntwo\r\nthree\nfour");
    struct Step {
        int from, to;
        const char16_t* with;
    };
    // Edits that split, join and make line breaks, CR LF pairs cut in half included.
    for (const Step& st : {Step{3, 4, u""}, Step{3, 3, u"\r"}, Step{0, 0, u"x\r\n"}, Step{9, 11, u"\n\r\n"},
                           Step{2, 2, u"\n"}, Step{5, 12, u"joined"}, Step{0, 0, u""}}) {
        SendMessageW(memo, EM_SETSEL, WPARAM(st.from), LPARAM(st.to));
        SendMessageW(memo, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(st.with));
        const std::u16string now = FullText(memo);
        HWND fresh = Edit(ES_MULTILINE | ES_AUTOHSCROLL, {10, 220, 310, 420}, now.c_str());
        const LRESULT lines = SendMessageW(fresh, EM_GETLINECOUNT, 0, 0);
        ASSERT_EQ(SendMessageW(memo, EM_GETLINECOUNT, 0, 0), lines) << QString::fromStdU16String(now).toStdString();
        for (LRESULT i = 0; i < lines; ++i)
            EXPECT_EQ(SendMessageW(memo, EM_LINEINDEX, WPARAM(i), 0), SendMessageW(fresh, EM_LINEINDEX, WPARAM(i), 0))
                << "line " << i << " of " << QString::fromStdU16String(now).toStdString();
        DestroyWindow(fresh);
    }
}

TEST_F(EditTest, MarginsMoveTheTextAndTheCaretInward) {
    HWND e = Edit(ES_AUTOHSCROLL);
    app.Type("a");
    POINT plain{};
    GetCaretPos(&plain);
    const int before = LOWORD(SendMessageW(e, EM_GETMARGINS, 0, 0));
    SendMessageW(e, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(20, 7));
    EXPECT_EQ(SendMessageW(e, EM_GETMARGINS, 0, 0), MAKELRESULT(20, 7));
    app.Tap(VK_END);
    POINT moved{};
    GetCaretPos(&moved);
    EXPECT_EQ(moved.x - plain.x, 20 - before);
}
