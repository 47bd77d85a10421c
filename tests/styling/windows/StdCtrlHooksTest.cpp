// tests/styling/windows/StdCtrlHooksTest.cpp: buttons, edits, list boxes, combo boxes and statics of
// foreign windows painted in the style: which kind a window is painted as, and where things go.
#include "tests/styling/windows/StyleHookFixture.h"

#include "styling/hooks/StdCtrlHooks.h"

#include <QImage>

using namespace styling;
using namespace styletest;
using namespace vcl;

namespace {

constexpr QRgb Glyph = 0xC03000, LinkText = 0x00C0FF, Shadow = 0x101080, Highlight = 0xF0F0A0;

TColor Bgr(QRgb C) { return TColor(qRed(C) | qGreen(C) << 8 | qBlue(C) << 16); }

class StdCtrlTest : public StyleHookTest {
protected:
    void SetUp() override {
        StyleHookTest::SetUp();
        TStyleFileData data = Style->Data();
        auto element = [&data](int Part, TColor Fill, TColor Text) {
            TStyleElementEntry e;
            e.Element = teButton;
            e.Part = Part;
            e.Look.Fill = Fill;
            e.Look.Text = Text;
            data.Elements.push_back(e);
        };
        element(1, TColor(0x303030), Bgr(LinkText));
        element(7, Bgr(Glyph), clNone);
        data.SystemColors[COLOR_BTNSHADOW] = Bgr(Shadow);
        data.SystemColors[COLOR_BTNHIGHLIGHT] = Bgr(Highlight);
        Style = std::make_unique<TCustomStyle>(data);
        TStyleManager::SetStyle(Style.get());
    }
    // The hook's painting of its window into a bitmap of the window's size.
    static QRect Extent(const QImage& I, QRgb Colour) {
        QRect r;
        for (int y = 0; y < I.height(); ++y)
            for (int x = 0; x < I.width(); ++x)
                if ((I.pixel(x, y) & 0xFFFFFF) == Colour) r |= QRect(x, y, 1, 1);
        return r;
    }
};

TEST(ButtonKind, EachButtonTypeHasItsOwnPainting) {
    const TSysButtonKind expected[16] = {
        bkPushButton,  bkPushButton,  bkCheckBox,    bkCheckBox,    // push, default push, check box, auto check box
        bkRadioButton, bkCheckBox,    bkCheckBox,    bkGroupBox,    // radio, 3-state, auto 3-state, group box
        bkPushButton,  bkRadioButton, bkPushButton,  bkOwnerDrawn,  // user button, auto radio, push box, owner-drawn
        bkSplitButton, bkSplitButton, bkCommandLink, bkCommandLink, // split, default split, command link, default link
    };
    for (int type = 0; type < 16; ++type) {
        SCOPED_TRACE(type);
        EXPECT_EQ(ButtonKind(type | BS_LEFTTEXT | BS_CENTER | BS_MULTILINE), expected[type]);
    }
}

TEST_F(StdCtrlTest, ButtonsPaintThemselvesOnlyOnAParentThatPaintsItsBackground) {
    struct CountingButton : TSysButtonStyleHook {
        using TSysButtonStyleHook::TSysButtonStyleHook;
        void PaintButton(TCanvas* Canvas) override {
            ++Paints;
            TSysButtonStyleHook::PaintButton(Canvas);
        }
        int Paints = 0;
    };
    for (const bool parentPaints : {false, true}) {
        SCOPED_TRACE(parentPaints);
        const HWND parent = Make(HookedClass, WS_POPUP | WS_VISIBLE);
        HookOf(parent)->SetEraseOverride(parentPaints);
        const HWND button = CreateWindowExW(0, u"Button", u"Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 5, 5, 80, 24, parent,
                                            nullptr, nullptr, nullptr);
        CountingButton hook(button);
        InvalidateRect(button, nullptr, TRUE);
        App.PumpUntilIdle();
        EXPECT_EQ(hook.Paints > 0, parentPaints);
        EXPECT_EQ(SendMessageW(button, WM_ERASEBKGND, WPARAM(GetDC(button)), 0) == 1 && parentPaints, parentPaints);
        DestroyWindow(parent);
    }
}

TEST_F(StdCtrlTest, CheckStatesMoveToTheCheckedAndMixedElementsButARadioStaysUncheckedInStateTwo) {
    struct Case {
        DWORD Type;
        LRESULT Check;
        TThemedButton Expected;
    } cases[] = {
        {BS_AUTOCHECKBOX, BST_UNCHECKED, tbCheckBoxUncheckedNormal},
        {BS_AUTOCHECKBOX, BST_CHECKED, tbCheckBoxCheckedNormal},
        {BS_3STATE, BST_INDETERMINATE, tbCheckBoxMixedNormal},
        {BS_AUTORADIOBUTTON, BST_CHECKED, tbRadioButtonCheckedNormal},
        {BS_RADIOBUTTON, BST_INDETERMINATE, tbRadioButtonUncheckedNormal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Type * 10 + c.Check);
        const HWND w = Make(PlainClass, WS_POPUP | c.Type);
        OwnLog().Answer = [&c](HWND W, UINT M, WPARAM P, LPARAM L) {
            return M == BM_GETCHECK ? c.Check : DefWindowProcW(W, M, P, L);
        };
        TSysButtonStyleHook hook(w);
        EXPECT_EQ(hook.CheckElement(), c.Expected);
        OwnLog().Answer = nullptr;
        DestroyWindow(w);
    }
}

TEST_F(StdCtrlTest, CheckBoxLayoutAndTextAlignmentFollowTheStyleBits) {
    const int check = GetSystemMetrics(SM_CXMENUCHECK);
    const TRect client(0, 0, 120, 20);
    struct Case {
        DWORD Style;
        UINT Align;
        bool BoxRight;
    } cases[] = {
        {BS_AUTOCHECKBOX, 0, false},
        {BS_AUTOCHECKBOX | BS_LEFTTEXT, 0, true},
        {BS_AUTOCHECKBOX | BS_CENTER, DT_CENTER, false},
        {BS_AUTORADIOBUTTON | BS_RIGHT, DT_RIGHT, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Style);
        const HWND w = Make(PlainClass, WS_POPUP | c.Style);
        TSysButtonStyleHook hook(w);
        TRect box, text;
        hook.CheckLayout(client, box, text);
        if (c.BoxRight) {
            EXPECT_EQ(box.Right, client.Right);
            EXPECT_EQ(box.Width(), check + 2);
            EXPECT_EQ(text.Right, box.Left);
        } else {
            EXPECT_EQ(box.Left, 1);
            EXPECT_EQ(text.Left, box.Right + 2);
        }
        EXPECT_EQ(hook.CheckTextFlags() & (DT_CENTER | DT_RIGHT), c.Align);
        DestroyWindow(w);
    }
}

TEST_F(StdCtrlTest, CommandLinkWithoutImagesPutsItsGlyphAndTextInTheirPlaces) {
    const HWND w = Make(PlainClass, WS_POPUP | BS_COMMANDLINK, nullptr, 0, 200, 60);
    SetWindowTextW(w, u"Wide text");
    TSysButtonStyleHook hook(w);
    const QImage image = Painted(hook, 200, 60);
    EXPECT_EQ(Extent(image, Glyph), QRect(3, 10, 32, 32));
    const QRect text = Extent(image, LinkText);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_GE(text.left(), 40);
    EXPECT_LE(text.left(), 47) << "a glyph's own bearing at most";
    EXPECT_GE(text.top(), 15);
    EXPECT_LE(text.top(), 22);
    DestroyWindow(w);
}

TEST_F(StdCtrlTest, SplitButtonDrawsItsTwoLinesBesideTheArrow) {
    const int W = 100, H = 30;
    const HWND w = Make(PlainClass, WS_POPUP | BS_SPLITBUTTON, nullptr, 0, W, H);
    TSysButtonStyleHook hook(w);
    const QImage image = Painted(hook, W, H);
    EXPECT_EQ(image.pixel(W - 15, H / 2) & 0xFFFFFF, Shadow);
    EXPECT_EQ(image.pixel(W - 14, H / 2) & 0xFFFFFF, Highlight);
    DestroyWindow(w);
}

TEST_F(StdCtrlTest, EditBorderIsTwoAndItsNonClientSizeIsTheHooksEvenWithoutOne) {
    for (const DWORD border : {DWORD(0), DWORD(WS_BORDER)}) {
        SCOPED_TRACE(border);
        const HWND w = Make(PlainClass, WS_POPUP | border, nullptr, 0, 100, 30);
        TSysEditStyleHook hook(w);
        EXPECT_EQ(hook.GetBorderWidths().Left, border ? 2 : 0);
        const int before = OwnLog().Count(w, WM_NCCALCSIZE);
        SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        EXPECT_EQ(OwnLog().Count(w, WM_NCCALCSIZE), before) << "the window's own procedure never sees it";
        RECT client{};
        GetClientRect(w, &client);
        EXPECT_EQ(client.right, border ? 96 : 100);
        DestroyWindow(w);
    }
}

TEST_F(StdCtrlTest, DropDownListHasNoFrameWhileASimpleComboBoxsListKeepsIt) {
    const HWND parent = Make(PlainClass, WS_POPUP | WS_VISIBLE, nullptr, 0, 300, 200);
    for (const DWORD kind : {DWORD(CBS_DROPDOWN), DWORD(CBS_SIMPLE)}) {
        SCOPED_TRACE(kind);
        const HWND combo = CreateWindowExW(0, u"ComboBox", u"", WS_CHILD | WS_VISIBLE | kind, 5, 5, 120, 100, parent,
                                           nullptr, nullptr, nullptr);
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        ASSERT_TRUE(GetComboBoxInfo(combo, &info));
        TSysListBoxStyleHook hook(info.hwndList);
        EXPECT_EQ(hook.GetBorderWidths().Left, kind == CBS_SIMPLE ? 2 : 0);
        DestroyWindow(combo);
    }
    DestroyWindow(parent);
}

TEST_F(StdCtrlTest, ComboBoxExcludesItsTextAreaOnlyWhenSomethingIsSelected) {
    const HWND parent = Make(PlainClass, WS_POPUP | WS_VISIBLE, nullptr, 0, 300, 200);
    const HWND combo = CreateWindowExW(0, u"ComboBox", u"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 5, 5, 120, 100,
                                       parent, nullptr, nullptr, nullptr);
    SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(u"One"));
    TSysComboBoxStyleHook hook(combo);
    for (const int selection : {-1, 0}) {
        SCOPED_TRACE(selection);
        SendMessageW(combo, CB_SETCURSEL, WPARAM(selection), 0);
        auto bitmap = std::make_unique<TBitmap>(120, 30);
        hook.DrawComboBox(bitmap->Canvas());
        EXPECT_EQ(PtVisible(bitmap->Canvas()->Handle(), 20, 10) != FALSE, selection < 0);
    }
    DestroyWindow(parent);
}

TEST_F(StdCtrlTest, StaticsAreStyledByTheirExactType) {
    struct CountingStatic : TSysStaticStyleHook {
        using TSysStaticStyleHook::TSysStaticStyleHook;
        void Paint(TCanvas* Canvas) override {
            ++Paints;
            TSysStaticStyleHook::Paint(Canvas);
        }
        int Paints = 0;
    };
    const HWND parent = Make(PlainClass, WS_POPUP | WS_VISIBLE, nullptr, 0, 300, 200);
    enum Expect { Styled, OwnPaint, NotHooked };
    struct Case {
        DWORD Type;
        Expect Result;
    } cases[] = {
        {SS_LEFT, Styled},      {SS_CENTER, Styled},         {SS_RIGHT, Styled},    {SS_ICON, NotHooked},
        {SS_BLACKRECT, OwnPaint}, {SS_BLACKFRAME, OwnPaint}, {SS_SIMPLE, OwnPaint}, {SS_LEFTNOWORDWRAP, Styled},
        {SS_OWNERDRAW, OwnPaint}, {SS_BITMAP, NotHooked},    {SS_ENHMETAFILE, NotHooked}, {SS_ETCHEDFRAME, OwnPaint},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Type);
        const HWND s = CreateWindowExW(0, u"Static", u"Label", WS_CHILD | WS_VISIBLE | c.Type, 5, 5, 100, 20, parent,
                                       nullptr, nullptr, nullptr);
        CountingStatic hook(s);
        EXPECT_EQ(hook.SysControl() == nullptr, c.Result == NotHooked);
        InvalidateRect(s, nullptr, TRUE);
        App.PumpUntilIdle();
        EXPECT_EQ(hook.Paints > 0, c.Result == Styled);
        if (c.Type == SS_RIGHT) {
            EXPECT_TRUE(hook.StaticTextFlags().Contains(tfRight));
        }
        if (c.Type == SS_LEFTNOWORDWRAP) {
            EXPECT_FALSE(hook.StaticTextFlags().Contains(tfWordBreak));
        }
        DestroyWindow(s);
    }
    // An empty text is the control's own painting.
    const HWND empty = CreateWindowExW(0, u"Static", u"", WS_CHILD | WS_VISIBLE | SS_LEFT, 5, 5, 100, 20, parent,
                                       nullptr, nullptr, nullptr);
    CountingStatic hook(empty);
    InvalidateRect(empty, nullptr, TRUE);
    App.PumpUntilIdle();
    EXPECT_EQ(hook.Paints, 0);
    DestroyWindow(parent);
}

} // namespace
