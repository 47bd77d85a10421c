// tests/components/HTMLText2LabelTest.cpp: the mark-up label as a control: sizing, alignment, painting
// of borders and images, link hover and clicks, and the PNG collection it takes images from.
#include "components/HTMLText2.h"

#include "ShellRecorder.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/FormHarness.h"

#include <gtest/gtest.h>

using namespace components;
using components_test::ShellRecorder;
using testing_support::FormHarness;

namespace {

class MarkupForm : public vcl::TForm {
public:
    explicit MarkupForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetBounds(0, 0, 500, 300);
        SetColor(vcl::clWhite);
        label = new THqHTMLText2(this);
        label->SetParent(this);
        label->SetBounds(10, 10, 400, 200);
        label->SetColor(vcl::clWhite);
    }
    THqHTMLText2* label;
};

std::unique_ptr<vcl::TPngImage> SolidPng(int W, int H, uint8_t R, uint8_t G, uint8_t B) {
    auto png = std::make_unique<vcl::TPngImage>();
    png->CreateBlank(vcl::COLOR_RGB, 8, W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            uint8_t* px = png->Scanline(y) + 3 * x;
            px[0] = B, px[1] = G, px[2] = R;
        }
    return png;
}

class MarkupLabel : public ::testing::Test {
protected:
    void SetUp() override {
        form = H.Show<MarkupForm>();
        label = form->label;
    }
    // A pixel of the label as 0xBBGGRR, read from the form.
    vcl::TColor At(int X, int Y) {
        const QRgb rgb = H.App().Pixel(form->Handle(), label->Left() + X, label->Top() + Y);
        return vcl::TColor(qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16);
    }
    // Rows of the label holding a pixel that is not the background.
    std::pair<int, int> InkRows() {
        H.Pump();
        int first = -1, last = -1;
        for (int y = 0; y < label->Height(); ++y)
            for (int x = 0; x < label->Width(); ++x)
                if (At(x, y) != vcl::clWhite) {
                    if (first < 0) first = y;
                    last = y;
                    break;
                }
        return {first, last};
    }
    const THqHWord* Word(const char* Text) const {
        for (const auto& w : label->Words())
            if (w->Text == QString::fromUtf8(Text)) return w.get();
        return nullptr;
    }
    // The middle of a laid-out word, in the label's client coordinates.
    POINT Over(const char* Text, int Dx = 0) const {
        const THqHWord* w = Word(Text);
        EXPECT_NE(w, nullptr) << Text;
        return POINT{(w->Rect.Left + w->Rect.Right) / 2 + Dx, (w->Rect.Top + w->Rect.Bottom) / 2};
    }
    void Click(POINT At) {
        H.Click(label, At);
        H.Advance(std::chrono::milliseconds(1000));
    }

    FormHarness H;
    ShellRecorder shell;
    MarkupForm* form = nullptr;
    THqHTMLText2* label = nullptr;
};

} // namespace

TEST_F(MarkupLabel, HoverEntersTheLinkUnderTheMouseAndLeavesOnlyToNoLink) {
    label->SetCursor(vcl::crCross);  // from outside: restored when the mouse leaves a link
    label->SetText(QStringLiteral("plain <a:one>first</a> <a:two>second link</a>"));
    std::vector<std::string> events;
    label->OnLinkEnter = [&](rtl::TObject*, int32_t Id, THqHLinkData* Data) {
        events.push_back("enter " + std::to_string(Id) + " " + Data->Target.toStdString());
    };
    label->OnLinkLeave = [&](rtl::TObject*, int32_t Id, THqHLinkData*) { events.push_back("leave " + std::to_string(Id)); };

    H.MoveTo(label, Over("plain"));
    EXPECT_TRUE(events.empty());
    H.MoveTo(label, Over("first"));
    EXPECT_EQ(label->Cursor(), vcl::crHandPoint);
    H.MoveTo(label, Over("second"));
    H.Pump();
    H.App().SaveScreenshot(form->Handle(), QStringLiteral("markup-label-hover.png"));
    // Every piece of the hovered link switches together.
    EXPECT_TRUE(Word("second")->Hover);
    EXPECT_TRUE(Word("link")->Hover);
    EXPECT_FALSE(Word("first")->Hover);
    H.MoveTo(label, Over("plain"));
    EXPECT_EQ(events, (std::vector<std::string>{"enter 0 one", "enter 1 two", "leave 1"}));
    EXPECT_EQ(label->Cursor(), vcl::crCross);
    EXPECT_EQ(label->SelectedLinkID(), -1);

    // Leaving the control counts as a move to nowhere.
    H.MoveTo(label, Over("first"));
    H.MouseOut();
    EXPECT_EQ(events.back(), "leave 0");
    EXPECT_FALSE(label->IsLinkHover());
}

TEST_F(MarkupLabel, HoveredLinksTakeTheHoverStyle) {
    label->SetText(QStringLiteral("<a:x>WWWW</a>"));
    label->StyleLinkHover()->SetBackColor(0x00FF00);
    H.Pump();
    const POINT p = Over("WWWW");
    const THqHWord* w = Word("WWWW");
    EXPECT_NE(At(w->Rect.Left + 1, w->Rect.Top + 1), 0x00FF00);
    H.MoveTo(label, p);
    H.Pump();
    EXPECT_EQ(At(w->Rect.Left + 1, w->Rect.Top + 1), 0x00FF00);
}

TEST_F(MarkupLabel, AClickOpensTheLinkUnlessAHandlerTookIt) {
    label->SetText(QStringLiteral("outside <a:https://tunewright.example/>site</a>"));
    int clicks = 0;
    label->OnClick = [&](rtl::TObject*) { ++clicks; };
    Click(Over("site"));
    EXPECT_EQ(shell.Launched(), QStringList({"https://tunewright.example/"}));
    EXPECT_EQ(clicks, 1);

    int handled = 0;
    label->OnLinkClick = [&](rtl::TObject*, int32_t Id, THqHLinkData* Data, bool& Handled) {
        EXPECT_EQ(Id, 0);
        EXPECT_EQ(Data->Text, "site");
        Handled = true;
        ++handled;
    };
    Click(Over("site"));
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(shell.Launched().size(), 1);
    Click(Over("outside"));
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(clicks, 3);

    label->OnLinkClick = nullptr;
    label->SetAutoOpenLink(false);
    Click(Over("site"));
    EXPECT_EQ(shell.Launched().size(), 1);
}

TEST_F(MarkupLabel, AClickAfterARebuildDroppedTheHoveredLinkOpensNothing) {
    label->SetText(QStringLiteral("<a:https://tunewright.example/>site</a>"));
    EXPECT_EQ(label->GetLinkData(1), nullptr);
    EXPECT_EQ(label->GetLinkData(-1), nullptr);
    const POINT p = Over("site");
    H.MoveTo(label, p);
    ASSERT_TRUE(label->IsLinkHover());
    label->SetText(QStringLiteral("no links now"));
    int clicks = 0;
    label->OnClick = [&](rtl::TObject*) { ++clicks; };
    label->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(shell.Launched().isEmpty());
}

TEST_F(MarkupLabel, InternalMarginsShiftTheTextAndTheHitTest) {
    label->SetText(QStringLiteral("<a:x>link</a>"));
    const THqHWord* w = Word("link");
    const int right = w->Rect.Right;
    label->InternalMargins()->SetEnabled(true);
    H.Pump();
    // The pieces keep their text-area coordinates; the mouse is tested 8 pixels further left.
    H.MoveTo(label, POINT{right + 8 - 1, 5});
    EXPECT_TRUE(label->IsLinkHover());
    H.MoveTo(label, POINT{4, 5});
    EXPECT_FALSE(label->IsLinkHover());
    EXPECT_EQ(InkRows().first >= 0, true);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(At(x, y), vcl::clWhite) << x << "," << y;
}

TEST_F(MarkupLabel, AutomaticSizeFollowsTheText) {
    label->SetAutoHeight(true);
    label->SetText(QStringLiteral("one"));
    const int oneLine = label->Height();
    EXPECT_EQ(oneLine, label->TextHeight());
    label->SetText(QStringLiteral("one<br>two<br>three"));
    EXPECT_EQ(label->Height(), label->TextHeight());
    EXPECT_EQ(label->Lines(), 3);
    EXPECT_GT(label->Height(), 2 * oneLine);

    label->SetMaxWidth(100);
    label->SetAutoWidth(true);
    label->SetText(QStringLiteral("aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii"));
    EXPECT_LE(label->Width(), 100);
    EXPECT_EQ(label->Width(), label->TextWidth());
    for (const auto& w : label->Words()) EXPECT_LE(w->Rect.Right, 100);
    EXPECT_GT(label->Lines(), 1);
}

TEST_F(MarkupLabel, VerticalAlignmentPlacesTheTextBlock) {
    label->SetText(QStringLiteral("<b>Tunewright</b>"));
    const auto top = InkRows();
    label->SetVerticalAlignment(vaCenter);
    const auto centre = InkRows();
    const int shift = 200 / 2 - label->TextHeight() / 2;
    EXPECT_EQ(centre.first, top.first + shift);
    label->SetVerticalAlignment(vaBottom);
    EXPECT_EQ(InkRows().first, top.first + 200 - label->TextHeight());
    // Higher than the control: from the top.
    label->SetHeight(5);
    H.Pump();
    EXPECT_EQ(InkRows().first, top.first);
}

TEST_F(MarkupLabel, BorderDrawsOneRingPerPenPixel) {
    label->Border()->Pen()->SetColor(0x0000FF);
    label->Border()->Pen()->SetWidth(3);
    label->Border()->SetVisible(true);
    H.Pump();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(At(i, 100), 0x0000FF) << i;
        EXPECT_EQ(At(399 - i, 100), 0x0000FF) << i;
        EXPECT_EQ(At(200, 199 - i), 0x0000FF) << i;
    }
    EXPECT_EQ(At(3, 100), vcl::clWhite);
    EXPECT_EQ(At(396, 100), vcl::clWhite);
}

TEST_F(MarkupLabel, ImagesComeFromTheCollectionOrAFileAndAMissingOneDrawsNothing) {
    label->SetText(QStringLiteral("<img:0>"));
    H.Pump();
    EXPECT_EQ(InkRows().first, -1);  // no collection: nothing, and nothing breaks

    THqPngCollection pngs(form);
    auto red = SolidPng(6, 4, 255, 0, 0);
    EXPECT_EQ(pngs.AddPngImage(red.get()), 0);
    label->SetPngCollection(&pngs);
    label->Invalidate();
    H.Pump();
    EXPECT_EQ(At(0, 0), 0x0000FF);
    EXPECT_EQ(At(5, 3), 0x0000FF);
    EXPECT_EQ(At(6, 0), vcl::clWhite);

    // An index outside the collection and a file that is not there both draw nothing.
    label->SetText(QStringLiteral("<img:5><img:/nonexistent/a.png>"));
    EXPECT_EQ(InkRows().first, -1);
    label->SetPngCollection(nullptr);
}

TEST_F(MarkupLabel, HeaderFontChangesRelayAtOnce) {
    label->SetText(QStringLiteral("<h1>Title</h1>"));
    const int before = Word("Title")->Rect.Height();
    label->TagH1Params()->Font()->SetSize(30);
    EXPECT_GT(Word("Title")->Rect.Height(), before);
}

TEST_F(MarkupLabel, PaintsBandsLinesRulesAndBullets) {
    label->SetText(QStringLiteral("<lc:clRed>band<br><ln:clBlue>lined<br><hr><br><li>item<br><bbc:clLime>rest"));
    H.Pump();
    auto piece = [&](int TagID) -> const THqHWord* {
        for (const auto& w : label->Words())
            if (w->TagID == TagID) return w.get();
        return nullptr;
    };
    const THqHWord* band = piece(tagLineColor);
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(At(390, band->Rect.Top), 0x0000FF);              // to the area's right edge
    EXPECT_EQ(At(390, band->Rect.Bottom - 1), 0x0000FF);
    const THqHWord* line = piece(tagLine);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(At(390, line->Rect.Top), 0xFF0000);
    EXPECT_EQ(At(390, line->Rect.Top + 1), vcl::clWhite);     // one pixel high
    const THqHWord* rule = piece(tagHorizontalLine);
    ASSERT_NE(rule, nullptr);
    const int ruleRow = rule->Rect.Top + rule->Rect.Height() / 2;
    EXPECT_NE(At(200, ruleRow), vcl::clWhite);
    EXPECT_EQ(At(200, ruleRow - 1), vcl::clWhite);
    label->TagHRParams()->SetLineHeight(3);                     // three rows centred on the rule
    H.Pump();
    EXPECT_NE(At(200, ruleRow - 1), vcl::clWhite);
    EXPECT_NE(At(200, ruleRow + 1), vcl::clWhite);
    // The bullet ends Spacing pixels left of the item's margin.
    const THqHWord* bullet = piece(tagListItem);
    ASSERT_NE(bullet, nullptr);
    EXPECT_EQ(bullet->Rect.Left, 20);
    int inkRight = -1;
    for (int x = 0; x < 20; ++x)
        for (int y = bullet->Rect.Top; y < bullet->Rect.Bottom; ++y)
            if (At(x, y) != vcl::clWhite) inkRight = x;
    EXPECT_GE(inkRight, 10);
    EXPECT_LT(inkRight, 15);
    // The body colour from its line down, under the rest.
    const THqHWord* body = piece(tagBodyBackground);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(At(390, body->Rect.Top), 0x00FF00);
    EXPECT_EQ(At(390, 199), 0x00FF00);
    EXPECT_EQ(At(390, body->Rect.Top - 1), vcl::clWhite);
    H.App().SaveScreenshot(form->Handle(), QStringLiteral("markup-label-markers.png"));
}

TEST_F(MarkupLabel, AnImageFileIsLoadedByItsPath) {
    testing_support::TempDir dir;
    auto blue = SolidPng(5, 5, 0, 0, 255);
    const QString path = dir.QFile(QStringLiteral("blue one.png"));
    blue->SaveToFile(path);
    label->SetText(QStringLiteral("<img:") + path + u'>');
    H.Pump();
    EXPECT_EQ(At(0, 0), 0xFF0000);
    EXPECT_EQ(At(4, 4), 0xFF0000);
    EXPECT_EQ(At(5, 0), vcl::clWhite);
    // A file that is not a PNG draws nothing.
    const QString bad = dir.Write(QStringLiteral("bad.png"), "not a picture");
    label->SetText(QStringLiteral("<img:") + bad + u'>');
    EXPECT_EQ(InkRows().first, -1);
}

TEST_F(MarkupLabel, ARightClickOnALinkReachesItsHandler) {
    label->SetText(QStringLiteral("<a:x>link</a> plain"));
    int right = 0;
    label->OnLinkRightClick = [&](rtl::TObject*, int32_t Id, THqHLinkData*, bool&) {
        EXPECT_EQ(Id, 0);
        ++right;
    };
    H.Click(label, Over("link"), TW_BUTTON_RIGHT);
    EXPECT_EQ(right, 1);
    H.Click(label, Over("plain"), TW_BUTTON_RIGHT);
    EXPECT_EQ(right, 1);
    EXPECT_TRUE(shell.Launched().isEmpty());
}

TEST_F(MarkupLabel, SpacingsStayInTheirRanges) {
    label->SetExtraLineSpacing(20);
    EXPECT_EQ(label->ExtraLineSpacing(), 10);
    label->SetExtraLineSpacing(-9);
    EXPECT_EQ(label->ExtraLineSpacing(), -5);
    label->SetExtraWordSpacing(9);
    EXPECT_EQ(label->ExtraWordSpacing(), 5);
}

TEST_F(MarkupLabel, ALabelNarrowerThanItsMarginsPaintsNothingAndKeepsWorking) {
    label->InternalMargins()->SetEnabled(true);
    label->SetText(QStringLiteral("<a:x>link</a> words"));
    label->SetWidth(10);
    H.Pump();
    EXPECT_EQ(At(5, 5), vcl::clWhite);
    H.MoveTo(label, POINT{5, 5});
    label->SetWidth(300);
    H.Pump();
    EXPECT_GT(label->Words().size(), 0u);
    EXPECT_NE(InkRows().first, -1);
}

TEST(PngCollection, NamesItemsAndAnswersNothingOutsideItsRange) {
    THqPngCollection pngs(nullptr);
    auto png = SolidPng(3, 2, 1, 2, 3);
    pngs.AddPngImage(png.get());
    pngs.AddPngImage(png.get());
    EXPECT_EQ(pngs.Count(), 2);
    EXPECT_EQ(pngs.Items()->GetItem(1)->Name(), "Png_1");
    EXPECT_EQ(pngs.Items()->GetItem(1)->Width(), 3);
    EXPECT_EQ(pngs.Items()->GetItem(2), nullptr);
    EXPECT_EQ(pngs.Items()->GetItem(-1), nullptr);
    EXPECT_EQ(pngs.GetPngImage(2), nullptr);

    THqPngCollectionItem* first = pngs.Items()->GetItem(0);
    first->SetTag(7);
    first->SetDescription(QStringLiteral("kept apart"));
    THqPngCollectionItem* second = pngs.Items()->GetItem(1);
    second->Assign(first);
    EXPECT_EQ(second->Name(), "Png_0");
    EXPECT_EQ(second->Tag(), 7);
    EXPECT_EQ(second->Description(), "");
    // A new image resets the tag.
    second->SetPngImage(png.get());
    EXPECT_EQ(second->Tag(), 0);
}
