// tests/components/CommonTest.cpp
#include "components/Common.h"

#include "Paper.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace components;
using vcl::TColor;
using namespace components_test;

namespace {

// One character per pixel of a row: '#' painted in Color, '.' untouched, '?' anything else.
std::string Row(vcl::TBitmap& Bmp, int Y, TColor Color) {
    std::string s;
    for (int x = 0; x < Bmp.Width(); ++x) {
        const TColor p = Bmp.Canvas()->Pixels(x, Y);
        s += p == Color ? '#' : p == kPaper ? '.' : '?';
    }
    return s;
}

struct TCounter {
    int Count = 0;
    void Changed(rtl::TObject*) { ++Count; }
};

} // namespace

TEST(DrawFrame, WidthTwoPaintsTheTwoOuterRingsAndReturnsTheInterior) {
    auto bmp = Paper(10, 10);
    vcl::TRect r(0, 0, 10, 10);
    DrawFrame(bmp->Canvas(), r, vcl::clRed, 2);
    EXPECT_EQ(r, vcl::TRect(2, 2, 8, 8));
    const std::string full = "##########", sides = "##......##";
    const std::string expected[10] = {full, full, sides, sides, sides, sides, sides, sides, full, full};
    for (int y = 0; y < 10; ++y) EXPECT_EQ(Row(*bmp, y, vcl::clRed), expected[y]) << "row " << y;
}

TEST(DrawFrame, NoneColourAndZeroWidthPaintNothing) {
    struct Case {
        TColor Color;
        int Width;
        vcl::TRect Returned;
    };
    for (const Case c : {Case{vcl::clNone, 3, vcl::TRect(3, 3, 7, 7)}, Case{vcl::clRed, 0, vcl::TRect(0, 0, 10, 10)}}) {
        auto bmp = Paper(10, 10);
        vcl::TRect r(0, 0, 10, 10);
        DrawFrame(bmp->Canvas(), r, c.Color, c.Width);
        EXPECT_EQ(r, c.Returned) << "width " << c.Width;
        for (int y = 0; y < 10; ++y) EXPECT_EQ(Row(*bmp, y, vcl::clRed), "..........") << "row " << y;
    }
}

TEST(DrawFrame, EachSideTakesItsOwnColourAndNoneLeavesASideOut) {
    auto bmp = Paper(6, 6);
    vcl::TRect r(0, 0, 6, 6);
    DrawFrame4Colors(bmp->Canvas(), r, vcl::clRed, vcl::clLime, vcl::clNone, vcl::clBlue, 1);
    auto* c = bmp->Canvas();
    EXPECT_EQ(c->Pixels(3, 0), kPaper);        // top: clNone
    EXPECT_EQ(c->Pixels(5, 2), vcl::clLime);   // right
    EXPECT_EQ(c->Pixels(2, 5), vcl::clBlue);   // bottom
    EXPECT_EQ(c->Pixels(0, 3), vcl::clRed);    // left
    EXPECT_EQ(c->Pixels(5, 0), vcl::clLime);   // the right side starts at the top corner
    EXPECT_EQ(c->Pixels(0, 0), kPaper);        // the top-left corner belongs to the top side
}

TEST(BorderLines, InwardLinesMitreAndPlainLinesKeepTheirLength) {
    vcl::TPen pen;
    pen.SetColor(vcl::clRed);
    pen.SetWidth(3);
    struct Case {
        bool Inward;
        const char* Rows[3];
    };
    for (const Case c : {Case{true, {"########", ".######.", "..####.."}},
                         Case{false, {"########", "########", "########"}}}) {
        auto bmp = Paper(8, 5);
        bmp->Canvas()->Pen()->SetWidth(4);
        DrawTopBorderLines(bmp->Canvas(), vcl::TRect(0, 0, 8, 5), &pen, c.Inward);
        for (int y = 0; y < 3; ++y) EXPECT_EQ(Row(*bmp, y, vcl::clRed), c.Rows[y]) << "inward " << c.Inward;
        EXPECT_EQ(Row(*bmp, 3, vcl::clRed), "........");
        EXPECT_EQ(bmp->Canvas()->Pen()->Width(), 4);
    }
}

TEST(BorderLines, EachSideCoversItsOutermostPixels) {
    vcl::TPen pen;
    pen.SetColor(vcl::clRed);
    pen.SetWidth(2);
    auto bmp = Paper(6, 6);
    const vcl::TRect r(0, 0, 6, 6);
    DrawRightBorderLines(bmp->Canvas(), r, &pen, false);
    DrawBottomBorderLines(bmp->Canvas(), r, &pen, false);
    EXPECT_EQ(Row(*bmp, 0, vcl::clRed), "....##");
    EXPECT_EQ(Row(*bmp, 3, vcl::clRed), "....##");
    EXPECT_EQ(Row(*bmp, 4, vcl::clRed), "######");
    EXPECT_EQ(Row(*bmp, 5, vcl::clRed), "######");

    auto left = Paper(6, 6);
    DrawLeftBorderLines(left->Canvas(), r, &pen, false);
    EXPECT_EQ(Row(*left, 0, vcl::clRed), "##....");
    EXPECT_EQ(Row(*left, 5, vcl::clRed), "##....");
}

TEST(BorderLines, ZeroWidthPenDrawsNothing) {
    vcl::TPen pen;
    pen.SetColor(vcl::clRed);
    pen.SetWidth(0);
    auto bmp = Paper(6, 6);
    bmp->Canvas()->Pen()->SetWidth(3);
    DrawTopBorderLines(bmp->Canvas(), vcl::TRect(0, 0, 6, 6), &pen, true);
    EXPECT_EQ(Row(*bmp, 0, vcl::clRed), "......");
    EXPECT_EQ(bmp->Canvas()->Pen()->Width(), 3);
}

TEST(KwpPersistent, EndUpdateNotifiesOnlyWhenTheCounterReturnsToZero) {
    TKwpPersistent p;
    TCounter counter;
    p.OnChange = rtl::MakeEvent(&counter, &TCounter::Changed);

    p.EndUpdate(true, false); // no BeginUpdate: stays at 0 and notifies
    EXPECT_EQ(p.UpdateCounter(), 0);
    EXPECT_EQ(counter.Count, 1);

    p.BeginUpdate();
    p.BeginUpdate();
    p.EndUpdate(true, false);
    EXPECT_EQ(counter.Count, 1);
    p.EndUpdate(true, false);
    EXPECT_EQ(counter.Count, 2);

    p.BeginUpdate();
    p.BeginUpdate();
    p.EndUpdate(true, true); // reset: at once
    EXPECT_EQ(p.UpdateCounter(), 0);
    EXPECT_EQ(counter.Count, 3);

    p.BeginUpdate();
    p.EndUpdate(false, false);
    EXPECT_EQ(counter.Count, 3);
}

// Each setter ignores values out of range and unchanged values; an accepted one notifies once.
struct SetterCase {
    const char* Name;
    std::function<void(TKwpGradientEx&, int)> Set;
    std::function<int(const TKwpGradientEx&)> Get;
    int Initial, Rejected, Accepted;
};

class GradientSetters : public ::testing::TestWithParam<SetterCase> {};

TEST_P(GradientSetters, KeepTheirRangeAndNotifyOnlyOnChange) {
    const auto& c = GetParam();
    TKwpGradientEx g;
    TCounter counter;
    g.OnChange = rtl::MakeEvent(&counter, &TCounter::Changed);
    EXPECT_EQ(c.Get(g), c.Initial);
    c.Set(g, c.Rejected);
    EXPECT_EQ(c.Get(g), c.Initial);
    EXPECT_EQ(counter.Count, 0);
    c.Set(g, c.Accepted);
    EXPECT_EQ(c.Get(g), c.Accepted);
    EXPECT_EQ(counter.Count, 1);
    c.Set(g, c.Accepted);
    EXPECT_EQ(counter.Count, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GradientSetters,
    ::testing::Values(
        SetterCase{"Balance", [](TKwpGradientEx& g, int v) { g.SetBalance(uint16_t(v)); },
                   [](const TKwpGradientEx& g) { return int(g.Balance()); }, 50, 101, 100},
        SetterCase{"AngleDegree", [](TKwpGradientEx& g, int v) { g.SetAngleDegree(uint16_t(v)); },
                   [](const TKwpGradientEx& g) { return int(g.AngleDegree()); }, 45, 360, 359},
        SetterCase{"MaxDegrade", [](TKwpGradientEx& g, int v) { g.SetMaxDegrade(uint8_t(v)); },
                   [](const TKwpGradientEx& g) { return int(g.MaxDegrade()); }, 255, 0, 1},
        SetterCase{"SpeedHigh", [](TKwpGradientEx& g, int v) { g.SetSpeedPercent(v); },
                   [](const TKwpGradientEx& g) { return g.SpeedPercent(); }, 100, 101, 0},
        SetterCase{"SpeedLow", [](TKwpGradientEx& g, int v) { g.SetSpeedPercent(v); },
                   [](const TKwpGradientEx& g) { return g.SpeedPercent(); }, 100, -1, 99},
        SetterCase{"ColorFrom", [](TKwpGradientEx& g, int v) { g.SetColorFrom(v); },
                   [](const TKwpGradientEx& g) { return g.ColorFrom(); }, vcl::clWhite, vcl::clWhite, vcl::clRed},
        SetterCase{"ColorTo", [](TKwpGradientEx& g, int v) { g.SetColorTo(v); },
                   [](const TKwpGradientEx& g) { return g.ColorTo(); }, vcl::clBtnFace, vcl::clBtnFace, vcl::clRed}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(KwpGradientEx, AngleOrientationOwnsTheCacheBitmap) {
    TKwpGradientEx g;
    EXPECT_EQ(g.AngleViewCache(), nullptr);
    g.SetOrientation(dgdAngle);
    EXPECT_NE(g.AngleViewCache(), nullptr);
    g.SetOrientation(dgdRadial);
    EXPECT_EQ(g.AngleViewCache(), nullptr);
}

TEST(KwpGradientEx, AssignCopiesEverythingAndNotifiesOnce) {
    TKwpGradientEx source;
    source.SetColorFrom(vcl::clRed);
    source.SetColorTo(vcl::clBlue);
    source.SetOrientation(dgdAngle);
    source.SetBalance(20);
    source.SetBalanceMode(bmReverse);
    source.SetAngleDegree(10);
    source.SetMaxDegrade(30);
    source.SetSpeedPercent(70);
    TKwpGradientEx g;
    TCounter counter;
    g.OnChange = rtl::MakeEvent(&counter, &TCounter::Changed);
    g.Assign(&source);
    EXPECT_EQ(counter.Count, 1);
    EXPECT_EQ(g.ColorFrom(), vcl::clRed);
    EXPECT_EQ(g.ColorTo(), vcl::clBlue);
    EXPECT_EQ(g.Orientation(), dgdAngle);
    EXPECT_EQ(g.Balance(), 20);
    EXPECT_EQ(g.BalanceMode(), bmReverse);
    EXPECT_EQ(g.AngleDegree(), 10);
    EXPECT_EQ(g.MaxDegrade(), 30);
    EXPECT_EQ(g.SpeedPercent(), 70);
    EXPECT_EQ(g.AngleViewCache(), nullptr); // no cache: angle gradients go through a temporary bitmap
    auto bmp = Paper(10, 10);
    g.Draw(bmp->Canvas(), vcl::TRect(0, 0, 10, 10));
    EXPECT_NE(bmp->Canvas()->Pixels(5, 5), kPaper);
}

TEST(KwpGradientEx, EqualColoursFillSolidWhateverTheOrientation) {
    for (auto o : {dgdVertical, dgdHorizontal, dgdAngle, dgdRadial, dgdRectangle}) {
        TKwpGradientEx g;
        g.SetColorFrom(vcl::clTeal);
        g.SetColorTo(vcl::clTeal);
        g.SetOrientation(o);
        g.SetBalance(10);
        auto bmp = Paper(9, 7);
        g.Draw(bmp->Canvas(), vcl::TRect(0, 0, 9, 7));
        for (int y = 0; y < 7; ++y) EXPECT_EQ(Row(*bmp, y, vcl::clTeal), "#########") << int(o);
    }
}

TEST(KwpGradientEx, AngleGradientIsRotatedOnceAndBlittedWhileTheDiagonalStays) {
    TKwpGradientEx g;
    g.SetColorFrom(vcl::clBlack);
    g.SetColorTo(vcl::clWhite);
    g.SetOrientation(dgdAngle);
    auto first = Paper(10, 10);
    g.Draw(first->Canvas(), vcl::TRect(0, 0, 10, 10));
    EXPECT_FALSE(g.AngleViewModified());
    const int d = g.AngleViewCache()->Width();
    EXPECT_EQ(d, 14);

    // A mark in the cache shows on the next paint of the same diagonal: it was blitted, not repainted.
    g.AngleViewCache()->Canvas()->SetPixels(d / 2, d / 2, vcl::clRed);
    auto second = Paper(10, 10);
    g.Draw(second->Canvas(), vcl::TRect(0, 0, 10, 10));
    EXPECT_EQ(second->Canvas()->Pixels(5, 5), vcl::clRed);

    // A different diagonal repaints.
    auto third = Paper(20, 20);
    g.Draw(third->Canvas(), vcl::TRect(0, 0, 20, 20));
    EXPECT_EQ(g.AngleViewCache()->Width(), 28);
    EXPECT_NE(third->Canvas()->Pixels(10, 10), vcl::clRed);
}

TEST(KwpFocusRectParams, SettersNotifyEvenWithoutAChangeAndPenChangesReachTheOwner) {
    TKwpFocusRectParams p;
    EXPECT_EQ(p.Spacing(), 2);
    EXPECT_EQ(p.FocusType(), frtNone);
    TCounter counter;
    p.OnChange = rtl::MakeEvent(&counter, &TCounter::Changed);
    p.SetSpacing(2);
    p.SetFocusType(frtNone);
    EXPECT_EQ(counter.Count, 2);
    p.Pen()->SetColor(vcl::clRed);
    EXPECT_EQ(counter.Count, 3);
}

// Placing the label is the owner's business, so Left and Top cannot be set on the label itself.
template <class T> concept MovableByLeft = requires(T& l) { l.SetLeft(0); };
template <class T> concept MovableByTop = requires(T& l) { l.SetTop(0); };
static_assert(MovableByLeft<vcl::TLabel> && !MovableByLeft<TKwpControlBoundLabel>);
static_assert(MovableByTop<vcl::TLabel> && !MovableByTop<TKwpControlBoundLabel>);

TEST(KwpControlBoundLabel, TakesItsNameAndTheOwnersNameAsCaption) {
    rtl::TComponent owner(nullptr);
    owner.SetName(QStringLiteral("cbYear"));
    struct Case {
        rtl::TComponent* Owner;
        const char* Name; // nullptr: the one-argument constructor
        const char* ExpectedName;
        const char* ExpectedCaption;
    };
    for (const Case c : {Case{&owner, nullptr, "SubLabel", "cbYear"}, Case{&owner, "YearLabel", "YearLabel", "cbYear"},
                         Case{nullptr, nullptr, "SubLabel", ""}}) {
        auto* label = c.Name ? new TKwpControlBoundLabel(c.Owner, QString::fromLatin1(c.Name))
                             : new TKwpControlBoundLabel(c.Owner);
        std::unique_ptr<TKwpControlBoundLabel> unowned(c.Owner ? nullptr : label);
        EXPECT_EQ(label->Name().toStdString(), c.ExpectedName);
        EXPECT_EQ(label->Caption().toStdString(), c.ExpectedCaption) << c.ExpectedName;
        EXPECT_TRUE(label->ComponentStyle().Contains(rtl::csSubComponent));
        EXPECT_EQ(label->Owner(), c.Owner);
    }
}

namespace {

// Keeps the label's right edge 4 pixels left of x = 100, as an owning control would.
struct TPlacer {
    TKwpControlBoundLabel* Label = nullptr;
    int Calls = 0;
    void Place(rtl::TObject* Sender) {
        ++Calls;
        EXPECT_EQ(Sender, Label);
        Label->SetBounds(96 - Label->Width(), Label->Top(), Label->Width(), Label->Height());
    }
};

} // namespace

TEST(KwpControlBoundLabel, ReportsItsNewSizeSoTheOwnerCanPlaceItAgain) {
    TKwpControlBoundLabel label(nullptr);
    TPlacer placer{&label};
    label.OnAdjustBounds = rtl::MakeEvent(&placer, &TPlacer::Place);
    label.SetCaption(QStringLiteral("Genre:"));
    const int shortWidth = label.Width();
    EXPECT_GT(shortWidth, 0);
    EXPECT_EQ(label.Left() + shortWidth, 96);
    EXPECT_EQ(placer.Calls, 1);

    label.SetCaption(QStringLiteral("A much longer caption:"));
    EXPECT_GT(label.Width(), shortWidth);
    EXPECT_EQ(label.Left() + label.Width(), 96) << "placed with the size from before the resize";
    EXPECT_EQ(placer.Calls, 2);
}

TEST(KwpControlBoundLabel, DiesWithTheControlThatOwnsIt) {
    vcl::TWinControl parent(nullptr);
    auto* control = new vcl::TWinControl(nullptr);
    control->SetParent(&parent);
    auto* label = new TKwpControlBoundLabel(control);
    label->SetParent(&parent);
    label->SetFocusControl(control);
    ASSERT_EQ(parent.ControlCount(), 2);
    delete control;
    EXPECT_EQ(parent.ControlCount(), 0);
}
