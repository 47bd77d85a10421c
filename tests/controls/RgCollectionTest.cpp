// Header panel and margins: sideways collapse by button and by resizing, the veto events, header and
// glyph clicks, the header font's link to the font, the header-only height, children's area and
// what the header shows.
#include "controls/RgCollection.h"
#include "tests/controls/PanelForm.h"
#include "vcl/ExtCtrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace controls;
using controls_test::PixelAt;
using controls_test::ShowForm;
using controls_test::TPanelForm;
using testing_support::FormHarness;

namespace {

TRgHeaderPanel* ShowHeaderPanel(FormHarness& h, THeaderOptions Options = {}) {
    TRgHeaderPanel* p = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        p = new TRgHeaderPanel(f);
        p->SetParent(f);
        p->SetBounds(10, 10, 245, 200);
    });
    p->SetOptions(Options);
    h.Pump();
    return p;
}

} // namespace

TEST(RgMargins, EverySetterNotifiesAndAssignCopiesThroughThem) {
    TRgMargins a, b;
    int notices = 0;
    b.OnChange = TNotifyEvent([&](rtl::TObject* Sender) {
        EXPECT_EQ(Sender, &b);
        ++notices;
    });
    b.SetLeft(0);  // unchanged still notifies
    EXPECT_EQ(notices, 1);
    a.SetLeft(1);
    a.SetTop(2);
    a.SetRight(3);
    a.SetBottom(4);
    b.Assign(&a);
    EXPECT_EQ(notices, 5);
    EXPECT_EQ((std::vector<int>{b.Left(), b.Top(), b.Right(), b.Bottom()}), (std::vector<int>{1, 2, 3, 4}));

    TRgIndent indent;
    indent.SetLeft(7);
    b.Assign(&indent);  // an indent copies only its two values
    EXPECT_EQ(notices, 7);
    EXPECT_EQ(b.Left(), 7);
    EXPECT_EQ(b.Right(), 3);
    vcl::TFont font;
    EXPECT_THROW(b.Assign(&font), rtl::EConvertError);
}

TEST(HeaderPanel, ResizingAcrossTheThresholdCollapsesAndExpands) {
    FormHarness h;
    TRgHeaderPanel* p = ShowHeaderPanel(h, {hoCollapseButton});
    int changes = 0;
    p->OnChange = TNotifyEvent([&](rtl::TObject*) { ++changes; });
    p->SetWidth(300);
    EXPECT_TRUE(p->Expanded());
    EXPECT_EQ(p->FullWidth(), 300);
    p->SetWidth(33);
    EXPECT_FALSE(p->Expanded());
    EXPECT_EQ(p->Width(), p->CollapseWidth);
    EXPECT_EQ(changes, 1);
    p->SetWidth(20);  // narrower still: back to 33, still collapsed
    EXPECT_EQ(p->Width(), 33);
    EXPECT_FALSE(p->Expanded());

    // The button returns to the last full width, not to the width that collapsed it.
    h.Click(p, POINT{p->GetButtonRect().Left + 2, p->GetButtonRect().Top + 2});
    EXPECT_TRUE(p->Expanded());
    EXPECT_EQ(p->Width(), 300);

    p->SetWidth(34);
    EXPECT_TRUE(p->Expanded());
    EXPECT_EQ(p->FullWidth(), 34);
}

TEST(HeaderPanel, ButtonCollapsesUnlessVetoedAndExpandingTakesTheFocusEvenWhenVetoed) {
    FormHarness h;
    TRgHeaderPanel* p = ShowHeaderPanel(h, {hoCollapseButton});
    bool allow = false;
    std::vector<std::string> asked;
    p->OnCollapse = TCollapseEvent([&](rtl::TObject*, bool& Accept) {
        asked.push_back("collapse");
        Accept = allow;
    });
    p->OnExpand = TCollapseEvent([&](rtl::TObject*, bool& Accept) {
        asked.push_back("expand");
        Accept = allow;
    });
    auto clickButton = [&] {
        const TRect b = p->GetButtonRect();
        h.Click(p, POINT{b.Left + 1, b.Top + 1});
    };
    clickButton();
    EXPECT_TRUE(p->Expanded());
    allow = true;
    clickButton();
    EXPECT_FALSE(p->Expanded());
    EXPECT_EQ(p->Width(), 33);
    EXPECT_FALSE(p->Focused());
    allow = false;
    clickButton();
    EXPECT_FALSE(p->Expanded());
    EXPECT_TRUE(p->Focused());
    EXPECT_EQ(asked, (std::vector<std::string>{"collapse", "collapse", "expand"}));
}

TEST(HeaderPanel, HeaderClickNeedsPressAndReleaseInTheHeader) {
    FormHarness h;
    TRgHeaderPanel* p = ShowHeaderPanel(h);
    vcl::TBitmap glyph(16, 16);
    p->SetGlyph(&glyph);
    int headerClicks = 0, glyphClicks = 0;
    p->OnHeaderClick = TNotifyEvent([&](rtl::TObject*) { ++headerClicks; });
    p->OnGlyphClick = TNotifyEvent([&](rtl::TObject*) { ++glyphClicks; });
    const HWND wnd = p->Handle();
    h.App().Press(wnd, POINT{100, 100});
    h.App().Release(wnd, POINT{100, 10});
    EXPECT_EQ(headerClicks, 0);
    h.Click(p, POINT{100, 10});
    EXPECT_EQ(headerClicks, 1);
    EXPECT_EQ(glyphClicks, 0);
    // The glyph stands at (5, 27 div 2 - 8) = (5, 5).
    h.Click(p, POINT{6, 6});
    EXPECT_EQ(headerClicks, 2);
    EXPECT_EQ(glyphClicks, 1);
    h.Click(p, POINT{21, 6});
    EXPECT_EQ(glyphClicks, 1);
}

TEST(HeaderPanel, ClickOnTheBodyExpandsWhenAsked) {
    FormHarness h;
    TRgHeaderPanel* p = ShowHeaderPanel(h, {hoClickOnBodyExpand});
    p->SetExpanded(false);
    h.Click(p, POINT{10, 10});
    EXPECT_FALSE(p->Expanded());
    h.Click(p, POINT{10, 100});
    EXPECT_TRUE(p->Expanded());
    EXPECT_EQ(p->Width(), 245);
}

TEST(HeaderPanel, HeaderFontFollowsTheFontUntilSetItself) {
    FormHarness h;
    TRgHeaderPanel* p = ShowHeaderPanel(h);
    EXPECT_TRUE(p->ParentHeaderFont());
    p->HeaderFont()->SetSize(15);
    EXPECT_FALSE(p->ParentHeaderFont());
    p->Font()->SetName(QStringLiteral("DejaVu Sans Mono"));
    p->SetParentHeaderFont(true);
    EXPECT_TRUE(p->ParentHeaderFont());
    EXPECT_EQ(p->HeaderFont()->Name(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(p->HeaderFont()->Size(), p->Font()->Size());
}

TEST(HeaderPanel, ChildrenAreaAndHeaderOnlyHeight) {
    FormHarness h;
    TRgHeaderPanel* p = nullptr;
    vcl::TPanel* child = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        p = new TRgHeaderPanel(f);
        p->SetParent(f);
        p->SetBounds(0, 0, 245, 200);
        child = new vcl::TPanel(f);
        child->SetParent(p);
        child->SetAlign(vcl::alClient);
    });
    // The one-pixel border lies outside the client area.
    EXPECT_EQ(p->ClientWidth(), 243);
    p->InnerMargins()->SetLeft(4);
    p->InnerMargins()->SetBottom(3);
    EXPECT_EQ(child->BoundsRect(), TRect(4, 27, 243, 195));
    p->SetDisplayStyle(dsPanelOnly);
    EXPECT_EQ(child->BoundsRect(), TRect(4, 0, 243, 195));
    p->SetDisplayStyle(dsHeaderOnly);
    EXPECT_EQ(p->ClientHeight(), 27);
    p->SetHeight(100);
    EXPECT_EQ(p->ClientHeight(), 27);
}

TEST(HeaderPanelPaint, FlatHeaderLineBorderAndButton) {
    FormHarness h;
    TRgHeaderPanel* p = ShowHeaderPanel(h);
    p->SetHeaderStyle(psFlat);
    p->SetHeaderColor(0x2050A0);
    p->SetColor(0xF0F0F0);
    h.Pump();
    EXPECT_EQ(PixelAt(h, p, 200, 3), 0x2050A0);
    EXPECT_EQ(PixelAt(h, p, 200, 27), 0x808080);  // the line on the first row below the header
    EXPECT_EQ(PixelAt(h, p, 200, 28), 0xF0F0F0);
    EXPECT_EQ(PixelAt(h, p, -1, -1), GetSchemeColor(2, csBlue));  // adaptive border

    // Without the option no button is drawn; with it, the chevrons sit in the button rectangle.
    auto chevronPixels = [&] {
        int n = 0;
        const TRect b = p->GetButtonRect();
        for (int y = b.Top; y < b.Bottom; ++y)
            for (int x = b.Left; x < b.Right; ++x) n += PixelAt(h, p, x, y) == 0x313431;
        return n;
    };
    EXPECT_EQ(chevronPixels(), 0);
    p->SetOptions({hoCollapseButton});
    h.Pump();
    EXPECT_EQ(chevronPixels(), 14);
    const TRect b = p->GetButtonRect();
    EXPECT_EQ(PixelAt(h, p, b.Left + 18 / 2 - 4 + 1, b.Top + 18 / 2 - 3 + 3), 0x313431);  // a left-pointing tip
}

TEST(HeaderPanelPaint, ButtonBackgroundFollowsHoverAndPress) {
    FormHarness h;
    TRgHeaderPanel* p = ShowHeaderPanel(h, {hoCollapseButton});
    p->SetHeaderStyle(psFlat);
    p->SetHeaderColor(0xFFFFFF);
    const TRect b = p->GetButtonRect();
    h.MoveTo(p, POINT{b.Left + 1, b.Top + 1});
    EXPECT_TRUE(p->ButtonState().Contains(btHover));
    EXPECT_EQ(PixelAt(h, p, b.Left, b.Top), 0xDCFFFF);
    h.App().Press(p->Handle(), POINT{b.Left + 1, b.Top + 1});
    EXPECT_EQ(PixelAt(h, p, b.Left, b.Top), 0x087FE8);
    h.MoveTo(p, POINT{100, 100});
    EXPECT_FALSE(p->ButtonState().Contains(btHover));

    // Leaving the panel takes the hover away and still reaches OnMouseLeave.
    int leaves = 0;
    p->OnMouseLeave = TNotifyEvent([&](rtl::TObject*) { ++leaves; });
    h.App().Release(p->Handle(), POINT{100, 100});
    h.MoveTo(p, POINT{b.Left + 1, b.Top + 1});
    EXPECT_TRUE(p->ButtonState().Contains(btHover));
    h.MouseOut();
    EXPECT_FALSE(p->ButtonState().Contains(btHover));
    EXPECT_EQ(leaves, 1);
}

struct PanelHeaderCase {
    TRgHeaderStyle style;
    int y;
    TColor expected;
};

class HeaderPanelStyles : public ::testing::TestWithParam<PanelHeaderCase> {};

// Adaptive colours of the default (blue) scheme on a 27-pixel header.
TEST_P(HeaderPanelStyles, PaintTheirRows) {
    const PanelHeaderCase& c = GetParam();
    FormHarness h;
    TRgHeaderPanel* p = ShowHeaderPanel(h);
    p->SetHeaderStyle(c.style);
    h.Pump();
    EXPECT_EQ(PixelAt(h, p, 150, c.y), c.expected) << c.style << " row " << c.y;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderPanelStyles,
    ::testing::Values(PanelHeaderCase{psNormal, 0, 0xFFFFFF}, PanelHeaderCase{psNormal, 1, 0xFFEFE3},
                      PanelHeaderCase{psNormal, 26, 0xCF9365}, PanelHeaderCase{psSectionHeader, 10, vcl::ColorToRGB(vcl::clGrayText)},
                      PanelHeaderCase{psVista, 0, 0x959595}, PanelHeaderCase{psVista, 20, 0x000000},
                      PanelHeaderCase{psWindowsLive, 0, 0xFFFFFF}, PanelHeaderCase{psWindowsLive, 25, 0xFFFFFF},
                      PanelHeaderCase{psWindowsLive, 26, 0xE9CFB8}));
