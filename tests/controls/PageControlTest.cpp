// Page control: the strip's geometry on every side and at two screen densities, tab sizes and hit
// testing, the mouse (press, hover, click, moving a tab and its threshold), closing pages, scrolling to
// a tab, the keys, the tab list, and what the three painters draw.
#include "controls/RgPageControl6.h"
#include "tests/controls/PanelForm.h"
#include "tests/support/windows/MenuScript.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace controls;
using controls_test::PixelAt;
using controls_test::Rgb;
using controls_test::ShowForm;
using controls_test::TPanelForm;
using testing_support::FormHarness;
using vcl::TRect;

namespace {

struct Pages {
    TRgPageControl6* pc = nullptr;
    std::vector<TRgPageSheet6*> sheets;
};

// A 320x240 page control with one sheet per caption; Configure runs before the sheets are made.
Pages ShowPages(FormHarness& h, std::vector<const char16_t*> Captions,
                std::function<void(TRgPageControl6*)> Configure = nullptr) {
    Pages p;
    ShowForm(h, [&](TPanelForm* f) {
        p.pc = new TRgPageControl6(f);
        p.pc->SetParent(f);
        p.pc->SetBounds(10, 10, 320, 240);
        if (Configure) Configure(p.pc);
        for (const char16_t* c : Captions) {
            auto* s = new TRgPageSheet6(f);
            s->SetParent(p.pc);
            s->SetCaption(QString::fromUtf16(c));
            p.sheets.push_back(s);
        }
    });
    h.Pump();
    return p;
}

// Mouse messages straight to the control, in client coordinates.
void Press(TRgPageControl6* pc, int x, int y) { pc->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
void Move(TRgPageControl6* pc, int x, int y, WPARAM keys = MK_LBUTTON) { pc->Perform(WM_MOUSEMOVE, keys, MAKELPARAM(x, y)); }
void Release(TRgPageControl6* pc, int x, int y) { pc->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

vcl::TPoint Centre(const TRect& r) { return vcl::TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }

// Sets the screen density for the test's life.
struct Density {
    explicit Density(int ppi) { TwSetLogPixels(ppi); }
    ~Density() { TwSetLogPixels(96); }
};

} // namespace

struct StripCase {
    TRgTabsLocation location;
    int ppi;
    int tabsHeight;
    TRect strip, tabs, popup, close, separator;
};

class PageControlStrip : public ::testing::TestWithParam<StripCase> {};

// Defaults: tabs 20 high plus padding 2+2 (24), vertical tabs 80+4+4 (88) wide, strip padding 8,4,8,0,
// both buttons beside the tabs.
TEST_P(PageControlStrip, Geometry) {
    const StripCase& c = GetParam();
    FormHarness h;  // sets the density from the screen: ours comes after it
    Density density(c.ppi);
    Pages p = ShowPages(h, {u"One"}, [&](TRgPageControl6* pc) {
        pc->SetTabsLocation(c.location);
        pc->SetTabsHeight(c.tabsHeight);
    });
    EXPECT_EQ(p.pc->GetTabsRect(), c.strip);
    EXPECT_EQ(p.pc->GetTabsClientRect(), c.tabs);
    EXPECT_EQ(p.pc->GetTabsPopupButtonRect(), c.popup);
    EXPECT_EQ(p.pc->GetCloseButtonRect(), c.close);
    EXPECT_EQ(p.pc->GetSeparatorRect(), c.separator);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PageControlStrip,
    ::testing::Values(
        StripCase{tbTop, 96, 20, {0, 0, 320, 28}, {8, 4, 280, 28}, {280, 8, 296, 24}, {296, 8, 312, 24}, {0, 28, 320, 30}},
        StripCase{tbBottom, 96, 20, {0, 212, 320, 240}, {8, 212, 280, 236}, {280, 216, 296, 232}, {296, 216, 312, 232},
                  {0, 210, 320, 212}},
        StripCase{tbLeft, 96, 20, {0, 0, 92, 240}, {4, 8, 92, 200}, {4, 200, 20, 216}, {20, 200, 36, 216}, {92, 0, 94, 240}},
        StripCase{tbRight, 96, 20, {228, 0, 320, 240}, {228, 8, 316, 200}, {228, 200, 244, 216}, {244, 200, 260, 216},
                  {226, 0, 228, 240}},
        // 120 pixels per inch still scales by 1.
        StripCase{tbTop, 120, 20, {0, 0, 320, 28}, {8, 4, 280, 28}, {280, 8, 296, 24}, {296, 8, 312, 24}, {0, 28, 320, 30}},
        // Buttons of 32 stand out of a 24-high row: moved up by 4.
        StripCase{tbTop, 144, 20, {0, 0, 320, 28}, {8, 4, 248, 28}, {248, 0, 280, 32}, {280, 0, 312, 32}, {0, 28, 320, 30}},
        StripCase{tbLeft, 144, 20, {0, 0, 92, 240}, {4, 8, 92, 168}, {4, 168, 36, 200}, {36, 168, 68, 200}, {92, 0, 94, 240}},
        // A 21-high row centres a 16 button by 2.5, rounded to the even 2.
        StripCase{tbTop, 96, 17, {0, 0, 320, 25}, {8, 4, 280, 25}, {280, 6, 296, 22}, {296, 6, 312, 22}, {0, 25, 320, 27}}));

TEST(PageControl, PageAreaLeavesTheStripAndTwoPixels) {
    FormHarness h;
    Pages p = ShowPages(h, {u"One"});
    p.pc->SetActivePage(p.sheets[0]);
    EXPECT_EQ(p.sheets[0]->BoundsRect(), TRect(0, 30, 320, 240));
    p.pc->SetTabsLocation(tbRight);
    EXPECT_EQ(p.sheets[0]->BoundsRect(), TRect(0, 0, 226, 240));
    p.pc->SetShowTabs(false);
    p.pc->Realign();
    EXPECT_EQ(p.sheets[0]->BoundsRect(), TRect(0, 0, 320, 240));
}

TEST(PageControl, VerticalTabsStackAndTheLaterOfOverlappingTabsIsHit) {
    FormHarness h;
    Pages p = ShowPages(h, {u"A", u"B", u"C", u"D"}, [](TRgPageControl6* pc) {
        pc->SetTabsLocation(tbLeft);
        pc->SetTabsSpacing(-5);
    });
    p.sheets[1]->SetTabVisible(false);
    EXPECT_EQ(p.pc->GetTabRect(p.sheets[0]), TRect(4, 8, 92, 32));
    EXPECT_EQ(p.pc->GetTabRect(p.sheets[2]), TRect(4, 27, 92, 51));
    EXPECT_EQ(p.pc->GetTabRect(p.sheets[3]), TRect(4, 46, 92, 70));
    EXPECT_EQ(p.pc->GetTabAtPos(vcl::TPoint(50, 29)), p.sheets[2]);
    EXPECT_EQ(p.pc->GetTabAtPos(vcl::TPoint(50, 20)), p.sheets[0]);
    EXPECT_EQ(p.pc->GetTabAtPos(vcl::TPoint(50, 100)), nullptr);
    EXPECT_EQ(p.pc->GetTabAtPos(vcl::TPoint(2, 20)), nullptr);  // outside the tabs' room
    // A hidden tab is not laid out: its rectangle is the walk's last.
    EXPECT_EQ(p.pc->GetTabRect(p.sheets[1]), TRect(4, 46, 92, 70));
}

TEST(PageControl, HorizontalTabWidthFollowsCaptionImageAndInTabCloseButton) {
    FormHarness h;
    vcl::TImageList* images = nullptr;
    Pages p = ShowPages(h, {u"ab", u"a&b", u""}, [&](TRgPageControl6* pc) {
        images = new vcl::TImageList(pc->Owner());
        images->SetSize(16, 16);
        vcl::TBitmap bmp;
        bmp.SetSize(16, 16);
        images->Add(&bmp, nullptr);
    });
    const int ab = p.pc->GetPageTabSize(0).cx;
    EXPECT_EQ(p.pc->GetPageTabSize(0).cy, 24);
    EXPECT_GT(ab, 8);
    EXPECT_EQ(p.pc->GetPageTabSize(1).cx, ab);  // "&" measured as a prefix
    EXPECT_EQ(p.pc->GetPageCaption(2), QStringLiteral("<default>"));
    EXPECT_GT(p.pc->GetPageTabSize(2).cx, ab);
    p.pc->SetDefaultCaption(QString());
    EXPECT_EQ(p.pc->GetPageTabSize(2).cx, 8);

    p.pc->SetImages(images);
    EXPECT_EQ(p.pc->GetPageTabSize(0).cx, ab + 16 + 4);
    EXPECT_EQ(p.pc->GetPageTabSize(2).cx, 8 + 16);  // no gap without text
    p.sheets[0]->SetImageIndex(1);                  // outside the list
    EXPECT_EQ(p.pc->GetPageTabSize(0).cx, ab);
    p.pc->SetVisibleButtons(TRgPageControlButtons{});
    p.pc->SetCloseButtonLocation(cbTab);  // wider even without the close button shown
    EXPECT_EQ(p.pc->GetPageTabSize(0).cx, ab + 16 + 4);

    // Tabs follow each other from the room's left edge.
    EXPECT_EQ(p.pc->GetTabRect(p.sheets[0]).Left, 8);
    EXPECT_EQ(p.pc->GetTabRect(p.sheets[1]).Left, 8 + ab + 20);
    EXPECT_EQ(p.pc->GetTabCloseButtonRect(p.sheets[0]),
              TRect(8 + ab + 20 - 4 - 16, 4 + 2 + 10 - 8, 8 + ab + 20 - 4, 4 + 2 + 10 + 8));
    delete images;
    EXPECT_EQ(p.pc->Images(), nullptr);
}

TEST(PageControl, PressActivatesAnEnabledTabAndAClickFiresOnTabClick) {
    FormHarness h;
    Pages p = ShowPages(h, {u"One", u"Two", u"Three"});
    p.pc->SetActivePage(p.sheets[0]);
    std::string clicks;
    p.pc->OnTabClick = TRgTabMouseEvent([&](rtl::TObject*, TRgPageSheet6* s, vcl::TMouseButton, vcl::TShiftState, int, int) {
        clicks += s == p.sheets[1] ? "1" : "?";
    });
    const vcl::TPoint two = Centre(p.pc->GetTabRect(p.sheets[1]));
    h.Click(p.pc, POINT{two.X, two.Y});
    EXPECT_EQ(p.pc->ActivePage(), p.sheets[1]);
    EXPECT_EQ(clicks, "1");
    EXPECT_EQ(p.pc->HotPageTab(), p.sheets[1]);
    EXPECT_EQ(p.pc->PressedPageTab(), nullptr);

    // Disabled: neither active nor pressed nor hot; in the designer a press activates it.
    p.sheets[2]->SetTabEnabled(false);
    const vcl::TPoint three = Centre(p.pc->GetTabRect(p.sheets[2]));
    Move(p.pc, three.X, three.Y, 0);
    Press(p.pc, three.X, three.Y);
    EXPECT_EQ(p.pc->PressedPageTab(), nullptr);
    EXPECT_EQ(p.pc->HotPageTab(), nullptr);
    Release(p.pc, three.X, three.Y);
    EXPECT_EQ(p.pc->ActivePage(), p.sheets[1]);
    EXPECT_EQ(clicks, "1");
    p.pc->SetDesigning(true, false);
    Press(p.pc, three.X, three.Y);
    Release(p.pc, three.X, three.Y);
    p.pc->SetDesigning(false, false);
    EXPECT_EQ(p.pc->ActivePage(), p.sheets[2]);
}

TEST(PageControl, AMoveStartsPastFivePixelsAndReordersTheActivePage) {
    FormHarness h;
    Pages p = ShowPages(h, {u"One", u"Two", u"Three"});
    const vcl::TPoint one = Centre(p.pc->GetTabRect(p.sheets[0]));
    Press(p.pc, one.X, one.Y);
    EXPECT_EQ(p.pc->ActivePage(), p.sheets[0]);
    Move(p.pc, one.X + 5, one.Y - 5);
    EXPECT_FALSE(p.pc->Moving());
    Move(p.pc, one.X, one.Y + 6);
    EXPECT_TRUE(p.pc->Moving());
    EXPECT_EQ(vcl::Screen->Cursor(), vcl::crDrag);
    const vcl::TPoint three = Centre(p.pc->GetTabRect(p.sheets[2]));
    Move(p.pc, three.X, three.Y);
    EXPECT_EQ(p.sheets[0]->Index(), 2);
    EXPECT_EQ(p.sheets[1]->Index(), 0);
    Release(p.pc, three.X, three.Y);
    EXPECT_FALSE(p.pc->Moving());
    EXPECT_EQ(vcl::Screen->Cursor(), vcl::crDefault);

    p.pc->SetTabMoving(false);
    Press(p.pc, three.X, three.Y);
    Move(p.pc, three.X + 40, three.Y);
    EXPECT_FALSE(p.pc->Moving());
    Release(p.pc, three.X + 40, three.Y);
}

TEST(PageControl, ButtonsTakeHoverAndPressAndTheCloseButtonClosesTheActivePage) {
    FormHarness h;
    Pages p = ShowPages(h, {u"One", u"Two", u"Three"});
    p.pc->SetActivePage(p.sheets[1]);
    const vcl::TPoint close = Centre(p.pc->GetCloseButtonRect());
    Move(p.pc, close.X, close.Y, 0);
    EXPECT_EQ(p.pc->CloseButtonState(), TRgButtonState{bsHover});
    Press(p.pc, close.X, close.Y);
    EXPECT_EQ(p.pc->CloseButtonState(), (TRgButtonState{bsHover, bsPressed}));
    Release(p.pc, close.X, close.Y);
    EXPECT_EQ(p.pc->CloseButtonState(), TRgButtonState{bsHover});
    // Hidden, and the page beside it takes its place.
    EXPECT_FALSE(p.sheets[1]->TabVisible());
    EXPECT_EQ(p.pc->ActivePage(), p.sheets[2]);
    p.pc->Perform(vcl::CM_MOUSELEAVE);
    EXPECT_EQ(p.pc->CloseButtonState(), TRgButtonState{});

    // Without an active page the button does nothing (no error reaches the user).
    p.pc->SetActivePage(nullptr);
    Press(p.pc, close.X, close.Y);
    EXPECT_NO_THROW(Release(p.pc, close.X, close.Y));
    EXPECT_TRUE(p.sheets[2]->TabVisible());
}

TEST(PageControl, TheCloseButtonInATabClosesThatTab) {
    FormHarness h;
    Pages p = ShowPages(h, {u"One", u"Two"}, [](TRgPageControl6* pc) {
        pc->SetCloseButtonLocation(cbTab);
        pc->SetCloseButtonAction(caDestroy);
    });
    p.pc->SetActivePage(p.sheets[0]);
    const vcl::TPoint x = Centre(p.pc->GetTabCloseButtonRect(p.sheets[1]));
    Move(p.pc, x.X, x.Y, 0);
    EXPECT_EQ(p.pc->HotPageTab(), p.sheets[1]);
    Press(p.pc, x.X, x.Y);
    Release(p.pc, x.X, x.Y);
    EXPECT_EQ(p.pc->Count(), 1);
    EXPECT_EQ(p.pc->ActivePage(), p.sheets[0]);
    EXPECT_EQ(p.pc->HotPageTab(), nullptr);
}

TEST(PageControl, ClosePageHidesOrFreesAndRefusesBadSheets) {
    FormHarness h;
    Pages p = ShowPages(h, {u"One", u"Two"});
    Pages other = ShowPages(h, {u"Else"});
    p.pc->SetActivePage(p.sheets[1]);
    try {
        p.pc->ClosePage(nullptr);
        ADD_FAILURE();
    } catch (const rtl::EAccessViolation& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("PageSheet can not be nil"));
    }
    try {
        p.pc->ClosePage(other.sheets[0]);
        ADD_FAILURE();
    } catch (const rtl::EAccessViolation& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("PageSheet can not be found"));
    }

    bool allow = false;
    p.pc->OnPageCloseQuery = TRgPageCloseQueryEvent([&](rtl::TObject*, TRgPageSheet6*, bool& can) { can = allow; });
    EXPECT_FALSE(p.pc->ClosePage(p.sheets[1]));
    EXPECT_TRUE(p.sheets[1]->TabVisible());
    EXPECT_EQ(p.pc->ActivePage(), p.sheets[1]);

    allow = true;
    p.pc->SetCloseButtonAction(caDestroy);
    EXPECT_TRUE(p.pc->ClosePage(p.sheets[1]));  // the last: the one before takes its place
    EXPECT_EQ(p.pc->ActivePage(), p.sheets[0]);
    EXPECT_EQ(p.pc->ControlCount(), 1);
    EXPECT_TRUE(p.pc->ClosePage(p.sheets[0]));  // no page left
    EXPECT_EQ(p.pc->ActivePage(), nullptr);
    EXPECT_EQ(p.pc->Count(), 0);
}

TEST(PageControl, PreciseScrollingBringsATabInByItsOverhang) {
    FormHarness h;
    Pages p = ShowPages(h, {u"The first page", u"The second page", u"The third page", u"The fourth page",
                            u"The fifth page", u"The sixth page"});
    const TRect room = p.pc->GetTabsClientRect();
    const TRect last = p.pc->GetTabRect(p.sheets[5]);
    ASSERT_GT(last.Right, room.Right);
    p.pc->SetActivePage(p.sheets[5]);
    EXPECT_EQ(p.pc->ScrollPosition(), last.Right - room.Right);
    EXPECT_EQ(p.pc->GetTabRect(p.sheets[5]).Right, room.Right);
    const int firstLeft = p.pc->GetTabRect(p.sheets[0]).Left;
    p.pc->SetActivePage(p.sheets[0]);
    EXPECT_EQ(p.pc->ScrollPosition(), last.Right - room.Right - (room.Left - firstLeft));
    EXPECT_EQ(p.pc->ScrollPosition(), 0);

    p.pc->SetActivePage(p.sheets[5]);
    p.pc->SetPreciseScrolling(false);
    EXPECT_EQ(p.pc->ScrollPosition(), 0);
    p.pc->SetActivePage(p.sheets[4]);
    EXPECT_EQ(p.pc->ScrollPosition(), 0);
}

TEST(PageControl, ArrowKeysStepThroughThePagesAndStopAtTheEnds) {
    FormHarness h;
    Pages p = ShowPages(h, {u"One", u"Two"});
    EXPECT_NE(p.pc->Perform(WM_GETDLGCODE) & DLGC_WANTARROWS, 0);
    p.pc->Perform(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(p.pc->ActivePage(), p.sheets[0]);
    p.pc->Perform(WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(p.pc->ActivePage(), p.sheets[0]);
    p.sheets[1]->SetTabVisible(false);  // hidden pages are not skipped
    p.pc->Perform(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(p.pc->ActivePage(), p.sheets[1]);
    p.pc->Perform(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(p.pc->ActivePage(), p.sheets[1]);
}

TEST(PageControl, TheTabListNamesTheShownTabsAndActivatesTheChosenOne) {
    FormHarness h;
    Pages p = ShowPages(h, {u"One", u"", u"Three", u"Four"});
    p.sheets[2]->SetTabVisible(false);
    p.sheets[3]->SetTabEnabled(false);
    p.pc->SetActivePage(p.sheets[0]);
    testing_support::MenuScript script(h.App());
    script.Then([&] {
        vcl::TMenuItem* items = p.pc->TabsPopup()->Items();
        ASSERT_EQ(items->Count(), 3);
        EXPECT_EQ(items->Items(0)->Caption(), QStringLiteral("One"));
        EXPECT_EQ(items->Items(1)->Caption(), QStringLiteral("<default>"));
        EXPECT_EQ(items->Items(2)->Caption(), QStringLiteral("Four"));
        EXPECT_EQ(items->Items(2)->Tag(), 3);
        testing_support::MenuScript::Key(VK_DOWN);
        testing_support::MenuScript::Key(VK_DOWN);
        testing_support::MenuScript::Key(VK_RETURN);
    });
    script.Wait(3);
    const vcl::TPoint button = Centre(p.pc->GetTabsPopupButtonRect());
    Press(p.pc, button.X, button.Y);
    Release(p.pc, button.X, button.Y);
    h.Pump();
    EXPECT_EQ(p.pc->ActivePage(), p.sheets[1]);
}

TEST(PageControl, StyleChoosesThePainter) {
    FormHarness h;
    Pages p = ShowPages(h, {u"One"});
    EXPECT_NE(dynamic_cast<TRgModernPageControlStylePainter*>(p.pc->StylePainter()), nullptr);
    p.pc->SetStyle(stNative);
    EXPECT_NE(dynamic_cast<TRgNativePageControlStylePainter*>(p.pc->StylePainter()), nullptr);
    p.pc->SetColor(vcl::clAqua);
    p.pc->SetTabsBackgroundColor(vcl::clYellow);
    EXPECT_EQ(p.pc->StylePainter()->GetTabsBackgroundColor(), vcl::clAqua);
    h.Pump();  // the theme's drawing runs
    p.pc->SetStyle(static_cast<TRgAppearanceStyle>(3));
    EXPECT_NE(dynamic_cast<TRgUserDefinedPageControlStylePainter*>(p.pc->StylePainter()), nullptr);
    EXPECT_EQ(p.pc->StylePainter()->GetTabsBackgroundColor(), vcl::clYellow);
    p.pc->SetStyle(stModern);
    EXPECT_EQ(p.pc->StylePainter()->GetTabsBackgroundColor(), GetSchemeColor6(0));
    EXPECT_EQ(p.pc->StylePainter()->GetTabTextColor(), GetSchemeColor6(11));
}

TEST(PageControl, ADisabledTabIsWrittenInGrey) {
    FormHarness h;
    Pages p = ShowPages(h, {u"WWWW", u"WWWW"});
    p.pc->SetActivePage(p.sheets[0]);
    // The darkest green of the tab: the text's ink, smoothed at its edges.
    auto darkest = [&](TRgPageSheet6* s) {
        const TRect r = p.pc->GetTabRect(s);
        int d = 255;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) d = std::min(d, int((PixelAt(h, p.pc, x, y) >> 8) & 0xFF));
        return d;
    };
    h.Pump();
    EXPECT_LT(darkest(p.sheets[1]), 0x30);
    p.sheets[1]->SetTabEnabled(false);
    h.Pump();
    const int grey = (Rgb(vcl::clGrayText) >> 8) & 0xFF;
    EXPECT_NEAR(darkest(p.sheets[1]), grey, 0x18);
}

// The file-information window's set-up: own colours, no buttons.
TEST(PageControl, UserDefinedColoursPaintTheStripTheActiveTabAndTheSeparator) {
    FormHarness h;
    Pages p = ShowPages(h, {u"General", u"Video", u"Audio"}, [](TRgPageControl6* pc) {
        pc->SetStyle(stUserDefined);
        pc->SetVisibleButtons(TRgPageControlButtons{});
        pc->SetTabsBackgroundColor(vcl::clYellow);
        pc->SetActiveTabColor(vcl::clNavy);
    });
    p.pc->SetActivePage(p.sheets[1]);
    h.Pump();
    const TRect active = p.pc->GetTabRect(p.sheets[1]);
    const TRect other = p.pc->GetTabRect(p.sheets[2]);
    EXPECT_EQ(PixelAt(h, p.pc, active.Left + 2, active.Top + 1), Rgb(vcl::clNavy));
    // Style colours on: an inactive tab is not filled and shows the strip.
    EXPECT_EQ(PixelAt(h, p.pc, other.Left + 2, other.Top + 1), Rgb(vcl::clYellow));
    EXPECT_EQ(PixelAt(h, p.pc, 2, 2), Rgb(vcl::clYellow));
    EXPECT_EQ(PixelAt(h, p.pc, 160, p.pc->GetSeparatorRect().Top), Rgb(vcl::clNavy));

    p.pc->SetStyleColors(false);
    p.sheets[2]->SetTabColor(vcl::clRed);
    h.Pump();
    EXPECT_EQ(PixelAt(h, p.pc, other.Left + 2, other.Top + 1), Rgb(vcl::clRed));
}

TEST(PageControl, ModernColoursComeFromTheScheme) {
    FormHarness h;
    Pages p = ShowPages(h, {u"One", u"Two"});
    p.pc->SetActivePage(p.sheets[0]);
    const TRect hot = p.pc->GetTabRect(p.sheets[1]);
    h.MoveTo(p.pc, POINT{hot.Left + 2, hot.Top + 2});
    h.Pump();
    const TRect active = p.pc->GetTabRect(p.sheets[0]);
    EXPECT_EQ(PixelAt(h, p.pc, active.Left + 2, active.Top + 1), Rgb(GetSchemeColor6(2)));
    EXPECT_EQ(PixelAt(h, p.pc, hot.Left + 2, hot.Top + 1), Rgb(GetSchemeColor6(10)));
    EXPECT_EQ(PixelAt(h, p.pc, 2, 2), Rgb(GetSchemeColor6(0)));
    // A hovered button is framed in scheme colour 4 and filled in 12.
    const TRect popup = p.pc->GetTabsPopupButtonRect();
    h.MoveTo(p.pc, POINT{popup.Left + 2, popup.Top + 2});
    h.Pump();
    EXPECT_EQ(p.pc->TabsPopupBtnState(), TRgButtonState{bsHover});
    EXPECT_EQ(PixelAt(h, p.pc, popup.Left, popup.Top), Rgb(GetSchemeColor6(4)));
    EXPECT_EQ(PixelAt(h, p.pc, popup.Left + 1, popup.Bottom - 2), Rgb(GetSchemeColor6(12)));
}

TEST(PageControl, ATabPropertyChangeRepaintsTheStrip) {
    FormHarness h;
    Pages p = ShowPages(h, {u"One", u"Two"}, [](TRgPageControl6* pc) { pc->SetStyleColors(false); });
    p.pc->SetActivePage(p.sheets[0]);
    h.Pump();
    const TRect two = p.pc->GetTabRect(p.sheets[1]);
    p.sheets[1]->SetTabColor(vcl::clLime);
    h.Pump();
    EXPECT_EQ(PixelAt(h, p.pc, two.Left + 2, two.Top + 1), Rgb(vcl::clLime));
}

TEST(PageControl, ActivatingWhileTheFormLoadsMakesNoWindow) {
    FormHarness h;
    bool handleDuringLoad = true;
    ShowForm(h, [&](TPanelForm* f) {
        auto* pc = new TRgPageControl6(f);
        pc->SetParent(f);
        auto* s = new TRgPageSheet6(f);
        s->SetParent(pc);
        pc->SetActivePage(s);
        handleDuringLoad = pc->HandleAllocated();
    });
    EXPECT_FALSE(handleDuringLoad);
}

TEST(PageControl, BoldActiveCaptionWidensTheActiveTab) {
    FormHarness h;
    Pages p = ShowPages(h, {u"Wide caption", u"Wide caption"});
    p.pc->SetActivePage(p.sheets[0]);
    const int plain = p.pc->GetPageTabSize(1).cx;
    EXPECT_EQ(p.pc->GetPageTabSize(0).cx, plain);
    p.pc->SetOptions(TRgPageControlOptions{poBoldActiveCaption});
    EXPECT_GT(p.pc->GetPageTabSize(0).cx, plain);
    EXPECT_EQ(p.pc->GetPageTabSize(1).cx, plain);
}

TEST(PageControl, TabFontFollowsTheControlsFontUntilSetAndPaddingsMoveThePages) {
    FormHarness h;
    Pages p = ShowPages(h, {u"One"});
    p.pc->SetActivePage(p.sheets[0]);
    p.pc->Font()->SetSize(14);
    EXPECT_EQ(p.pc->TabFont()->Size(), 14);
    vcl::TFont own;
    own.SetSize(9);
    p.pc->SetTabFont(&own);
    EXPECT_FALSE(p.pc->ParentTabFont());
    p.pc->Font()->SetSize(20);
    EXPECT_EQ(p.pc->TabFont()->Size(), 9);

    p.pc->TabsPadding()->SetTop(10);  // strip 24 + 10 + 0, and 2
    EXPECT_EQ(p.sheets[0]->Top(), 36);
    p.pc->SetTabPadding(nullptr);
    p.pc->SetTabsPadding(p.pc->TabsPadding());
    vcl::TPadding padding(nullptr);
    padding.SetBounds(0, 0, 0, 0);
    p.pc->SetTabPadding(&padding);  // tab 20 high
    EXPECT_EQ(p.sheets[0]->Top(), 32);
}

TEST(PageControl, TheDesignerTakesPressesOnTabsOtherThanTheActiveOne) {
    FormHarness h;
    Pages p = ShowPages(h, {u"One", u"Two"});
    p.pc->SetActivePage(p.sheets[0]);
    auto hit = [&](TRgPageSheet6* s) {
        const vcl::TPoint c = Centre(p.pc->GetTabRect(s));
        return p.pc->Perform(vcl::CM_DESIGNHITTEST, 0, MAKELPARAM(c.X, c.Y));
    };
    EXPECT_EQ(hit(p.sheets[1]), 1);
    EXPECT_EQ(hit(p.sheets[0]), 0);
    EXPECT_EQ(p.pc->Perform(vcl::CM_DESIGNHITTEST, 0, MAKELPARAM(160, 120)), 0);
}

TEST(PageControl, TheInTabCloseButtonShowsOnTheActiveAndTheHoveredTabOnly) {
    FormHarness h;
    Pages p = ShowPages(h, {u"One", u"Two", u"Three"}, [](TRgPageControl6* pc) {
        pc->SetCloseButtonLocation(cbTab);
        pc->SetStyle(stUserDefined);
        pc->SetStyleColors(false);
    });
    for (auto* s : p.sheets) s->SetTabColor(vcl::clYellow);
    p.pc->SetActivePage(p.sheets[0]);
    h.MoveTo(p.pc, POINT{p.pc->GetTabRect(p.sheets[1]).Left + 2, 10});
    h.Pump();
    ASSERT_EQ(p.pc->HotPageTab(), p.sheets[1]);
    // The cross's two diagonals meet 4 pixels into its 10-pixel square.
    auto crossing = [&](TRgPageSheet6* s) {
        const TRect glyph = CenterRect(p.pc->GetTabCloseButtonRect(s), TRect(0, 0, 10, 10));
        return PixelAt(h, p.pc, glyph.Left + 4, glyph.Top + 4);
    };
    EXPECT_EQ(crossing(p.sheets[0]), Rgb(vcl::clBlack));
    EXPECT_EQ(crossing(p.sheets[1]), Rgb(vcl::clBlack));
    EXPECT_EQ(crossing(p.sheets[2]), Rgb(vcl::clYellow));
}

TEST(PageControl, ASheetLeavingTheControlIsNoLongerHot) {
    FormHarness h;
    Pages p = ShowPages(h, {u"One", u"Two"});
    h.MoveTo(p.pc, POINT{p.pc->GetTabRect(p.sheets[1]).Left + 2, 10});
    h.Pump();
    ASSERT_EQ(p.pc->HotPageTab(), p.sheets[1]);
    p.sheets[1]->SetParent(nullptr);
    EXPECT_EQ(p.pc->HotPageTab(), nullptr);
    delete p.sheets[1];
    h.MoveTo(p.pc, POINT{2, 100});
    h.Pump();
}

// What a resize leaves to repaint: the window is shrunk, made valid, and grown back without the
// system's own repainting, so only what the control invalidates is left.
struct ResizeCase {
    TRgTabsLocation location;
    TRgPageControlButtons buttons;
    int dx, dy;
    TRect invalid;  // bounding box of the update region; empty for none
};

class PageControlResize : public ::testing::TestWithParam<ResizeCase> {};

TEST_P(PageControlResize, RepaintsOnlyTheStripSlicesThatChanged) {
    const ResizeCase& c = GetParam();
    FormHarness h;
    Pages p = ShowPages(h, {u"One"}, [&](TRgPageControl6* pc) {
        pc->SetTabsLocation(c.location);
        pc->SetVisibleButtons(c.buttons);
    });
    p.pc->SetActivePage(p.sheets[0]);
    h.Pump();
    ASSERT_FALSE(GetUpdateRect(p.pc->Handle(), nullptr, FALSE));
    SetWindowPos(p.pc->Handle(), nullptr, 0, 0, 320 - c.dx, 240 - c.dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
    h.Pump();
    ValidateRect(p.pc->Handle(), nullptr);
    SetWindowPos(p.pc->Handle(), nullptr, 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
    RECT r{};
    GetUpdateRect(p.pc->Handle(), &r, FALSE);
    EXPECT_EQ(TRect(r.left, r.top, r.right, r.bottom), c.invalid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PageControlResize,
    ::testing::Values(
        // Top: the tabs' room's right slice dx wide, and with buttons the rest of the row.
        ResizeCase{tbTop, {}, 10, 0, {302, 4, 312, 28}},
        ResizeCase{tbTop, {pbTabsPopup}, 10, 0, {286, 4, 320, 28}},
        ResizeCase{tbTop, {}, 0, 10, {}},
        // Left: nothing for the width; elsewhere the strip and 2 toward the pages when the height changes.
        ResizeCase{tbLeft, {}, 10, 0, {}},
        ResizeCase{tbLeft, {}, 0, 10, {0, 0, 94, 240}},
        ResizeCase{tbBottom, {}, 0, 10, {0, 210, 320, 240}},
        ResizeCase{tbRight, {}, 10, 0, {226, 0, 320, 240}}));

TEST(PageControl, TheFocusedControlFramesItsActiveTab) {
    FormHarness h;
    vcl::TWinControl* other = nullptr;
    Pages p = ShowPages(h, {u"One", u"Two"}, [&](TRgPageControl6* pc) {
        other = new TRgPageControl6(pc->Owner());
        other->SetParent(pc->Parent());
        other->SetBounds(340, 10, 100, 100);
    });
    p.pc->SetActivePage(p.sheets[1]);
    const TRect tab = p.pc->GetTabRect(p.sheets[1]);
    auto frameDots = [&] {
        const vcl::TColor fill = PixelAt(h, p.pc, tab.Left + 2, tab.Top + 1);
        int n = 0;
        for (int x = tab.Left; x < tab.Right; ++x) n += PixelAt(h, p.pc, x, tab.Top) != fill ? 1 : 0;
        return n;
    };
    h.Pump();
    EXPECT_EQ(frameDots(), 0);
    p.pc->SetFocus();
    h.Pump();
    EXPECT_GT(frameDots(), 0);
    other->SetFocus();
    h.Pump();
    EXPECT_EQ(frameDots(), 0);
}
