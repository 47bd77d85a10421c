// Flip panel: collapsing to the header and back, nested panels, auto-collapse, which clicks flip,
// loading from a form, the caption's accelerator, scaling, and what the header and border show.
#include "controls/FlipPanel.h"
#include "rtl/Filer.h"
#include "tests/controls/PanelForm.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace controls;
using controls_test::PixelAt;
using controls_test::Rgb;
using controls_test::ShowForm;
using controls_test::TPanelForm;
using testing_support::FormHarness;

namespace {

TKWRgFlipPanel* NewPanel(vcl::TWinControl* Parent, vcl::TAlign Align, int Height) {
    // Owned by the form, as a form built in code owns its controls.
    vcl::TWinControl* form = Parent;
    while (!dynamic_cast<vcl::TCustomForm*>(form)) form = form->Parent();
    auto* p = new TKWRgFlipPanel(form);
    p->SetParent(Parent);
    p->SetAlign(Align);
    p->SetHeight(Height);
    return p;
}

// One panel on its own form.
TKWRgFlipPanel* ShowPanel(FormHarness& h, int Width, int Height, vcl::TAlign Align = vcl::alNone) {
    TKWRgFlipPanel* p = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        p = NewPanel(f, Align, Height);
        p->SetWidth(Width);
    });
    return p;
}

struct ChangeLog {
    std::vector<std::string> entries;
    TNotifyEvent For(const char* name) {
        return TNotifyEvent([this, name](rtl::TObject*) { entries.push_back(name); });
    }
};

} // namespace

TEST(FlipPanel, CollapsesToItsHeaderAndReturnsToItsFullHeight) {
    FormHarness h;
    TKWRgFlipPanel* p = ShowPanel(h, 200, 300, vcl::alTop);
    ChangeLog log;
    p->OnChange = log.For("change");
    p->SetHeaderHeight(24);
    p->SetExpanded(false);
    EXPECT_EQ(p->Height(), 24);
    EXPECT_EQ(p->FullHeight(), 300);
    EXPECT_FALSE(p->Expanded());
    p->SetExpanded(false);  // no change, no event
    p->Flip();
    EXPECT_EQ(p->Height(), 300);
    EXPECT_TRUE(p->Expanded());
    EXPECT_EQ(log.entries.size(), 2u);

    // Inner top margin belongs to the collapsed height; a panel already shorter keeps the minimum.
    p->InnerMargins()->SetTop(6);
    p->SetHeight(10);
    p->SetExpanded(false);
    EXPECT_EQ(p->Height(), 30);
    EXPECT_EQ(p->FullHeight(), 30);
}

TEST(FlipPanel, AllowFlipOffKeepsTheStateAndFiresNothing) {
    FormHarness h;
    TKWRgFlipPanel* p = ShowPanel(h, 200, 120, vcl::alTop);
    ChangeLog log;
    p->OnChange = log.For("change");
    p->SetAllowFlip(false);
    p->Flip();
    h.Click(p, POINT{50, 5});
    EXPECT_TRUE(p->Expanded());
    EXPECT_EQ(p->Height(), 120);
    EXPECT_TRUE(log.entries.empty());
}

TEST(FlipPanel, NestedPanelsResizeEveryFlipPanelAncestor) {
    FormHarness h;
    TKWRgFlipPanel *outer = nullptr, *middle = nullptr, *inner = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        outer = NewPanel(f, vcl::alTop, 400);
        middle = NewPanel(outer, vcl::alTop, 250);
        inner = NewPanel(middle, vcl::alTop, 100);
    });
    inner->SetExpanded(false);
    EXPECT_EQ(inner->Height(), 18);
    EXPECT_EQ(middle->Height(), 250 - 82);
    EXPECT_EQ(outer->Height(), 400 - 82);
    inner->SetExpanded(true);
    EXPECT_EQ(inner->Height(), 100);
    EXPECT_EQ(middle->Height(), 250);
    EXPECT_EQ(outer->Height(), 400);
}

TEST(FlipPanel, ExpandAllAndCollapseAllSetEverySiblingInControlOrderThatAllowsIt) {
    FormHarness h;
    TKWRgFlipPanel *a = nullptr, *b = nullptr, *c = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        a = NewPanel(f, vcl::alTop, 100);
        b = NewPanel(f, vcl::alTop, 100);
        c = NewPanel(f, vcl::alTop, 100);
    });
    ChangeLog log;
    a->OnChange = log.For("a");
    b->OnChange = log.For("b");
    c->OnChange = log.For("c");
    a->SetAutoCollapse(true); // expanding all still collapses nobody
    c->SetAutoCollapse(true);
    b->SetAllowFlip(false);

    c->CollapseAll();
    EXPECT_FALSE(a->Expanded());
    EXPECT_TRUE(b->Expanded()); // not allowed to flip
    EXPECT_FALSE(c->Expanded());
    EXPECT_EQ(log.entries, (std::vector<std::string>{"a", "c"}));
    log.entries.clear();
    c->CollapseAll(); // nothing changes: nothing fires
    EXPECT_TRUE(log.entries.empty());

    b->ExpandAll();
    EXPECT_TRUE(a->Expanded());
    EXPECT_TRUE(c->Expanded());
    EXPECT_EQ(log.entries, (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(a->Height(), 100);
    EXPECT_TRUE(a->AutoCollapse()); // given back
}

TEST(FlipPanel, AutoCollapseClosesSiblingsAfterTheOwnChangeEvent) {
    FormHarness h;
    TKWRgFlipPanel *a = nullptr, *b = nullptr, *c = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        a = NewPanel(f, vcl::alTop, 100);
        b = NewPanel(f, vcl::alTop, 100);
        c = NewPanel(f, vcl::alBottom, 100);
    });
    ChangeLog log;
    a->OnChange = log.For("a");
    b->OnChange = log.For("b");
    c->OnChange = log.For("c");

    // Without AutoCollapse, expanding one panel leaves the others alone.
    a->SetExpanded(false);
    a->SetExpanded(true);
    EXPECT_TRUE(b->Expanded());
    EXPECT_TRUE(c->Expanded());

    a->SetAutoCollapse(true);
    log.entries.clear();
    a->SetExpanded(false);  // collapsing never collapses siblings
    EXPECT_TRUE(b->Expanded());
    a->SetExpanded(true);
    EXPECT_FALSE(b->Expanded());
    EXPECT_FALSE(c->Expanded());
    EXPECT_EQ(log.entries, (std::vector<std::string>{"a", "a", "b", "c"}));
    EXPECT_EQ(b->Height(), 18);
}

struct ClickCase {
    TFlipKind kind;
    bool showButtons;
    POINT at;
    int button;
    bool flips;
};

class FlipPanelClicks : public ::testing::TestWithParam<ClickCase> {};

TEST_P(FlipPanelClicks, FlipOnReleaseWhereTheKindAllows) {
    const ClickCase& c = GetParam();
    FormHarness h;
    TKWRgFlipPanel* p = ShowPanel(h, 200, 150, vcl::alTop);
    p->SetFlipKind(c.kind);
    p->SetShowButtons(c.showButtons);
    // The button: Left = Indent (4), Top = 18 div 2 - 5 = 4, 9 x 9 without themes.
    ASSERT_EQ(p->GetButtonRect(), TRect(4, 4, 13, 13));
    h.Click(p, c.at, c.button);
    EXPECT_EQ(!p->Expanded(), c.flips);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FlipPanelClicks,
    ::testing::Values(ClickCase{fkHeaderAndButton, true, {100, 5}, TW_BUTTON_LEFT, true},
                      ClickCase{fkHeaderAndButton, true, {100, 17}, TW_BUTTON_LEFT, true},
                      ClickCase{fkHeaderAndButton, true, {100, 18}, TW_BUTTON_LEFT, false},  // the header's bottom edge
                      ClickCase{fkHeaderAndButton, true, {100, 5}, TW_BUTTON_RIGHT, false},
                      ClickCase{fkButton, true, {8, 8}, TW_BUTTON_LEFT, true},
                      ClickCase{fkButton, true, {13, 8}, TW_BUTTON_LEFT, false},  // the button's right edge
                      ClickCase{fkButton, true, {100, 5}, TW_BUTTON_LEFT, false},
                      ClickCase{fkButton, false, {8, 8}, TW_BUTTON_LEFT, false},
                      ClickCase{fkNone, true, {8, 8}, TW_BUTTON_LEFT, false}));

TEST(FlipPanel, LoadedCollapsedKeepsItsStoredHeightAndExpandsToTheStoredFullHeight) {
    FormHarness h;
    TKWRgFlipPanel* p = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        p = NewPanel(f, vcl::alTop, 22);
        p->SetExpanded(false);
        p->SetFullHeight(300);
    });
    EXPECT_EQ(p->Height(), 22);
    EXPECT_FALSE(p->Expanded());
    p->SetExpanded(true);
    EXPECT_EQ(p->Height(), 300);
}

TEST(FlipPanel, FullHeightIsAlwaysWrittenAndReadBack) {
    FormHarness h;
    TKWRgFlipPanel *p = nullptr, *q = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        p = NewPanel(f, vcl::alTop, 150);
        q = NewPanel(f, vcl::alTop, 150);
    });
    p->SetExpanded(false);
    rtl::TMemoryStream stream;
    rtl::TWriter(&stream).WriteProperties(p);
    stream.SetPosition(0);
    rtl::TReader(&stream).ReadProperties(q);
    EXPECT_EQ(q->FullHeight(), 150);
}

TEST(FlipPanel, CaptionAcceleratorFlipsOnlyAVisibleEnabledPanel) {
    FormHarness h;
    TKWRgFlipPanel* p = ShowPanel(h, 200, 150, vcl::alTop);
    p->SetCaption(QStringLiteral("&Audio settings"));
    EXPECT_EQ(p->Perform(vcl::CM_DIALOGCHAR, WPARAM('x'), LPARAM(0)), 0);
    EXPECT_TRUE(p->Expanded());
    EXPECT_EQ(p->Perform(vcl::CM_DIALOGCHAR, WPARAM('a'), LPARAM(0)), 1);
    EXPECT_FALSE(p->Expanded());
    p->SetEnabled(false);
    EXPECT_EQ(p->Perform(vcl::CM_DIALOGCHAR, WPARAM('a'), LPARAM(0)), 0);
    EXPECT_FALSE(p->Expanded());
}

TEST(FlipPanel, ScalingScalesHeaderFullHeightAndTopMarginOnce) {
    FormHarness h;
    TKWRgFlipPanel* p = ShowPanel(h, 200, 101, vcl::alNone);
    p->InnerMargins()->SetTop(5);
    p->SetFullHeight(201);
    p->ScaleBy(3, 2);
    EXPECT_EQ(p->HeaderHeight(), 27);
    EXPECT_EQ(p->FullHeight(), 301);  // 603 div 2, truncated
    EXPECT_EQ(p->InnerMargins()->Top(), 7);
    EXPECT_EQ(p->Height(), 152);
}

TEST(FlipPanel, ChildrenSitInsideHeaderMarginsAndBorder) {
    FormHarness h;
    TKWRgFlipPanel* p = nullptr;
    vcl::TPanel* child = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        p = NewPanel(f, vcl::alNone, 200);
        p->SetWidth(300);
        child = new vcl::TPanel(f);
        child->SetParent(p);
        child->SetAlign(vcl::alClient);
    });
    p->InnerMargins()->SetLeft(3);
    p->InnerMargins()->SetTop(4);
    p->InnerMargins()->SetRight(5);
    p->InnerMargins()->SetBottom(6);
    p->SetBorderWidth(2);
    EXPECT_EQ(p->ClientWidth(), 296);
    EXPECT_EQ(child->BoundsRect(), TRect(3, 18 + 4, 296 - 5, 196 - 6));
}

TEST(FlipPanel, RegistersWhileAlive) {
    FormHarness h;
    TKWRgFlipPanel* p = ShowPanel(h, 200, 50, vcl::alTop);
    const auto& list = CollectionControls();
    EXPECT_NE(std::find(list.begin(), list.end(), p), list.end());
    delete p;
    EXPECT_EQ(std::find(list.begin(), list.end(), p), list.end());
}

// ---- what it shows ----

TEST(FlipPanelPaint, SolidHeaderTriangleBodyAndBorder) {
    FormHarness h;
    TKWRgFlipPanel* p = ShowPanel(h, 200, 100);
    p->SetHeaderColor(0x3060C0);
    p->SetColor(0x20A020);
    p->SetAdaptiveColors(false);
    p->SetBorderColor(0x0000FF);
    p->SetBorderWidth(1);
    h.Pump();
    EXPECT_EQ(PixelAt(h, p, 150, 2), 0x3060C0);   // header
    EXPECT_EQ(PixelAt(h, p, 150, 50), 0x20A020);  // body
    EXPECT_EQ(PixelAt(h, p, -1, -1), 0x0000FF);   // border, outside the client area
    EXPECT_EQ(PixelAt(h, p, 198, 97), 0x0000FF);

    // Expanded: a triangle over the lower-right half of a 9 x 9 square at (4, 18 div 2 - 5).
    const int x = 4, y = 18 / 2 - 5;
    EXPECT_EQ(PixelAt(h, p, x + 8, y + 8), 0x444444);
    EXPECT_EQ(PixelAt(h, p, x + 8, y), 0x444444);
    EXPECT_EQ(PixelAt(h, p, x, y), 0x3060C0);
    // Collapsed: pointing right, its tip at (x + 7, y - 4 + 1 + 7).
    p->SetExpanded(false);
    h.Pump();
    const int top = y - 9 / 2 + 1;
    EXPECT_EQ(PixelAt(h, p, x, top + 1), 0x444444);
    EXPECT_EQ(PixelAt(h, p, x + 5, top + 7), 0x444444);
    EXPECT_EQ(PixelAt(h, p, x + 6, top + 1), 0x3060C0);
}

TEST(FlipPanelPaint, CaptionDeltaYMovesTheDrawnButtonButNotItsHitRectangle) {
    FormHarness h;
    TKWRgFlipPanel* p = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        p = NewPanel(f, vcl::alNone, 100);
        p->SetWidth(200);
        p->SetHeaderHeight(30);
    });
    p->SetAdaptiveColors(false);
    p->SetHeaderColor(0xFFFFFF);
    const TRect before = p->GetButtonRect();
    p->SetCaptionDeltaY(6);
    h.Pump();
    EXPECT_EQ(p->GetButtonRect(), before);
    const int y = 30 / 2 + 6 - 5;
    EXPECT_EQ(PixelAt(h, p, 4 + 8, y + 8), 0x444444);
    EXPECT_EQ(PixelAt(h, p, 4 + 8, before.Top), 0xFFFFFF);
}

TEST(FlipPanelPaint, ClassicButtonShowsMinusWhileExpandedAndPlusWhileCollapsed) {
    FormHarness h;
    TKWRgFlipPanel* p = ShowPanel(h, 200, 100);
    p->SetToggleTriangle(false);
    p->SetAdaptiveColors(false);
    p->SetHeaderColor(0xFFFFFF);
    h.Pump();
    const TRect b = p->GetButtonRect();
    const TColor frame = Rgb(vcl::clGrayText);
    EXPECT_EQ(PixelAt(h, p, b.Left, b.Top), frame);
    EXPECT_EQ(PixelAt(h, p, b.Left + 8, b.Top + 8), frame);
    EXPECT_EQ(PixelAt(h, p, b.Left + 6, b.Top + 4), 0x000000);    // the minus, end excluded
    EXPECT_EQ(PixelAt(h, p, b.Left + 7, b.Top + 4), 0xFFFFFF);
    EXPECT_EQ(PixelAt(h, p, b.Left + 4, b.Top + 2), 0xFFFFFF);
    p->SetExpanded(false);
    h.Pump();
    EXPECT_EQ(PixelAt(h, p, b.Left + 4, b.Top + 2), 0x000000);    // the plus
    EXPECT_EQ(PixelAt(h, p, b.Left + 4, b.Top + 7), 0xFFFFFF);
}

// A panel that counts its header paintings.
class TCountingFlipPanel : public TKWRgFlipPanel {
public:
    using TKWRgFlipPanel::TKWRgFlipPanel;
    int headers = 0;

protected:
    void DrawHeader() override {
        ++headers;
        TKWRgFlipPanel::DrawHeader();
    }
};

TEST(FlipPanelPaint, HotHeaderIsRepaintedOnlyWhenTheHotStateChanges) {
    FormHarness h;
    TCountingFlipPanel* p = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        p = new TCountingFlipPanel(f);
        p->SetParent(f);
        p->SetBounds(10, 10, 200, 100);
    });
    p->SetHeaderHotTrack(true);
    p->SetAdaptiveColors(false);
    p->SetHeaderHotBorderSize(0);
    h.MoveTo(p, POINT{100, 60});
    h.Pump();
    p->headers = 0;
    h.MoveTo(p, POINT{100, 5});
    EXPECT_EQ(p->headers, 1);
    EXPECT_EQ(PixelAt(h, p, 150, 5), 0xB2B2B2);  // the hot colour
    h.MoveTo(p, POINT{120, 6});
    h.MoveTo(p, POINT{130, 7});
    EXPECT_EQ(p->headers, 1);
    h.MoveTo(p, POINT{130, 50});
    EXPECT_EQ(p->headers, 2);
    EXPECT_EQ(PixelAt(h, p, 150, 5), 0xC0C0C0);
}

TEST(FlipPanelPaint, CollapsedCaptionReplacesTheCaptionOnlyWhileCollapsed) {
    FormHarness h;
    TKWRgFlipPanel* p = ShowPanel(h, 300, 100);
    p->SetAdaptiveColors(false);
    p->SetHeaderColor(0xFFFFFF);
    p->HeaderFont()->SetColor(0x000000);
    auto inkColumns = [&] {
        int last = -1;
        for (int x = 20; x < 300; ++x)
            for (int y = 2; y < 16; ++y)
                if (PixelAt(h, p, x, y) != 0xFFFFFF) last = x;
        return last;
    };
    p->SetCaption(QStringLiteral("Audio"));
    p->SetCaptionCollapsed(QStringLiteral("Audio: MP3, 192 kbit/s, 44100 Hz"));
    h.Pump();
    const int expandedInk = inkColumns();
    p->SetExpanded(false);
    h.Pump();
    EXPECT_GT(inkColumns(), expandedInk + 50);
    p->SetCaptionCollapsed(QString());
    h.Pump();
    EXPECT_EQ(inkColumns(), expandedInk);
}

TEST(FlipPanelPaint, RightCaptionStartsEightPixelsAfterTheCaptionAndGlyphSitsAtTheRight) {
    FormHarness h;
    TKWRgFlipPanel* p = ShowPanel(h, 220, 100);
    p->SetAdaptiveColors(false);
    p->SetHeaderColor(0xFFFFFF);
    p->SetHeaderHeight(24);
    p->SetCaption(QStringLiteral("Audio"));
    p->SetRightCaption(QStringLiteral("MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM"));
    p->SetRightCaptionEllipsis(vcl::epNone);  // clipped at its rectangle's left edge
    vcl::TFont red;
    red.Assign(p->HeaderFont());
    red.SetColor(0x0000FF);
    p->SetRightCaptionFont(&red);
    p->HeaderFont()->SetColor(0x000000);
    vcl::TBitmap glyph(6, 4);
    glyph.Canvas()->Brush()->SetColor(0x00FF00);
    glyph.Canvas()->FillRect(TRect(0, 0, 6, 4));
    p->SetGlyph(&glyph);
    h.Pump();

    vcl::TBitmap measure(10, 10);
    measure.Canvas()->SetFont(p->HeaderFont());
    RECT r{0, 0, 0, 0};
    DrawTextW(measure.Canvas()->Handle(), u"Audio", 5, &r, DT_CALCRECT | DT_SINGLELINE);
    const int rightStart = 4 + 9 + 4 + (r.right - r.left) + 8;
    int firstRed = -1;
    for (int x = 0; x < 220 && firstRed < 0; ++x)
        for (int y = 0; y < 24; ++y) {
            const TColor c = PixelAt(h, p, x, y);
            if ((c & 0xFF) > 0x80 && ((c >> 8) & 0xFF) < 0x80 && ((c >> 16) & 0xFF) < 0x80) {
                firstRed = x;
                break;
            }
        }
    EXPECT_GE(firstRed, rightStart);
    EXPECT_LE(firstRed, rightStart + 3);
    // The glyph: at ClientWidth - width - 2 (212..217), rows 24 div 2 - 2 on (10..13); the right caption,
    // drawn after it, ends 4 pixels before the edge (216), so the glyph's last column shows.
    EXPECT_EQ(PixelAt(h, p, 217, 10), 0x00FF00);
    EXPECT_EQ(PixelAt(h, p, 217, 13), 0x00FF00);
    EXPECT_EQ(PixelAt(h, p, 218, 10), 0xFFFFFF);
    EXPECT_EQ(PixelAt(h, p, 217, 9), 0xFFFFFF);
}

struct HeaderStyleCase {
    THeaderStyle style;
    int x, y;
    TColor expected;
};

class FlipPanelHeaderStyles : public ::testing::TestWithParam<HeaderStyleCase> {};

// Header colours 0x000000 to 0xC8C8C8 (200 per channel), a 200 x 20 header over a white body. The
// office style blends the blue scheme's 0xF0D9C2 toward 0xFFEFE3: its last row at weight 242.
TEST_P(FlipPanelHeaderStyles, PaintTheirRowsAndColumns) {
    const HeaderStyleCase& c = GetParam();
    FormHarness h;
    TKWRgFlipPanel* p = ShowPanel(h, 200, 100);
    p->SetAdaptiveColors(false);
    p->SetHeaderHeight(20);
    p->SetHeaderColor(0x000000);
    p->SetHeaderColorTo(0xC8C8C8);
    p->SetColor(0xFFFFFF);
    p->SetShowButtons(false);
    p->SetHeaderStyle(c.style);
    h.Pump();
    EXPECT_EQ(PixelAt(h, p, c.x, c.y), c.expected) << c.style << " at " << c.x << "," << c.y;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FlipPanelHeaderStyles,
    ::testing::Values(HeaderStyleCase{hsSolid, 150, 10, 0x000000}, HeaderStyleCase{hsAuto, 150, 10, 0x000000},
                      HeaderStyleCase{hsGradient, 150, 0, 0x000000}, HeaderStyleCase{hsGradient, 150, 10, 0x646464},
                      HeaderStyleCase{hsInverseGradient, 150, 0, 0xC8C8C8},
                      HeaderStyleCase{hsInverseGradient, 150, 19, 0x0A0A0A},
                      HeaderStyleCase{hsFadeAway, 0, 5, 0xC8C8C8}, HeaderStyleCase{hsFadeAway, 100, 5, 0x646464},
                      HeaderStyleCase{hsTopGradient, 150, 2, 0x646464}, HeaderStyleCase{hsTopGradient, 150, 10, 0xC8C8C8},
                      HeaderStyleCase{hsTopGradient, 150, 50, 0xFFFFFF},  // the body over the rest
                      HeaderStyleCase{hsVista, 150, 0, 0x959595}, HeaderStyleCase{hsVista, 150, 12, 0x000000},
                      HeaderStyleCase{hsWindowsLive, 150, 0, 0x000000}, HeaderStyleCase{hsWindowsLive, 150, 1, 0xFFFFFF},
                      HeaderStyleCase{hsOffice2007, 150, 19, 0xFDECE0}));

TEST(FlipPanelPaint, AdaptiveHeaderTakesTheButtonFaceOrAnOuterPanelsColour) {
    FormHarness h;
    TKWRgFlipPanel *outer = nullptr, *inner = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        outer = NewPanel(f, vcl::alTop, 300);
        inner = NewPanel(outer, vcl::alTop, 100);
    });
    for (TKWRgFlipPanel* p : {outer, inner}) {
        p->SetHeaderStyle(hsAuto);
        p->SetShowButtons(false);
    }
    inner->SetColor(0x3366FF);
    h.Pump();
    EXPECT_EQ(PixelAt(h, outer, 150, 5), Rgb(vcl::clBtnFace));
    EXPECT_EQ(PixelAt(h, inner, 150, 5), 0x3366FF);
}

TEST(FlipPanelPaint, TransparentBodyShowsTheParentAndGradientBodyRunsDown) {
    FormHarness h;
    TPanelForm* form = nullptr;
    TKWRgFlipPanel* p = nullptr;
    form = ShowForm(h, [&](TPanelForm* f) {
        f->SetColor(0x40C040);
        p = NewPanel(f, vcl::alNone, 100);
        p->SetBounds(30, 40, 200, 100);
    });
    (void)form;
    p->SetColor(0xFFFFFF);
    p->SetBackgroundStyle(bsTransparent);
    h.Pump();
    EXPECT_EQ(PixelAt(h, p, 100, 60), 0x40C040);
    p->SetBackgroundStyle(bsVertGradient);
    p->SetBackgroundColor(0x000000);
    h.Pump();
    EXPECT_EQ(PixelAt(h, p, 100, 18), 0xFFFFFF);  // the body's first row
    EXPECT_LT(PixelAt(h, p, 100, 99) & 0xFF, 0x08);
}
