// tests/components/KwpAnchoredControlsTest.cpp
#include "components/KwpAnchoredControls.h"
#include "components/KwpPanel.h"

#include "vcl/ExtCtrls.h"

#include <gtest/gtest.h>

#include <memory>

using namespace components;

namespace {

// A companion that counts the moves it is given.
class TCountingShape : public vcl::TShape {
public:
    using vcl::TShape::TShape;
    int Moves = 0;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override {
        ++Moves;
        vcl::TShape::SetBounds(ALeft, ATop, AWidth, AHeight);
    }
};

struct Fixture {
    rtl::TComponent owner{nullptr};
    TKwpPanel* host = new TKwpPanel(&owner);
    TCountingShape* companion = new TCountingShape(&owner);
    Fixture() {
        host->SetBounds(10, 20, 100, 30);
        companion->SetBounds(0, 0, 40, 15);
        companion->Moves = 0;
    }
    vcl::TPoint At() const { return {companion->Left(), companion->Top()}; }
};

struct PlaceCase {
    TKwpControlPos Position;
    int X, Y;
};

class PlacementTable : public ::testing::TestWithParam<PlaceCase> {};

// Host (10, 20) 100 x 30, companion 40 x 15, spacing 12, offsets 0.
TEST_P(PlacementTable, PutsTheCompanionWhereThePositionSays) {
    const auto& c = GetParam();
    Fixture f;
    PlaceAnchoredControl(f.host, f.companion, c.Position, 12, 0, 0);
    EXPECT_EQ(f.At(), vcl::TPoint(c.X, c.Y));
    EXPECT_EQ(f.companion->Width(), 40);
    EXPECT_EQ(f.companion->Height(), 15);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, PlacementTable,
    ::testing::Values(PlaceCase{cpTopLeftCorner, -30, -7}, PlaceCase{cpTopLeft, 10, -7}, PlaceCase{cpTopCenter, 40, -7},
                      PlaceCase{cpTopRight, 70, -7}, PlaceCase{cpTopRightCorner, 110, -7},
                      PlaceCase{cpBottomLeftCorner, -30, 62}, PlaceCase{cpBottomLeft, 10, 62},
                      PlaceCase{cpBottomCenter, 40, 62}, PlaceCase{cpBottomRight, 70, 62},
                      PlaceCase{cpBottomRightCorner, 110, 62}, PlaceCase{cpLeftTopCorner, -42, 5},
                      PlaceCase{cpLeftTop, -42, 20}, PlaceCase{cpLeftCenter, -42, 28}, PlaceCase{cpLeftBottom, -42, 35},
                      PlaceCase{cpLeftBottomCorner, -42, 50}, PlaceCase{cpRightTopCorner, 122, 5},
                      PlaceCase{cpRightTop, 122, 20}, PlaceCase{cpRightCenter, 122, 28},
                      PlaceCase{cpRightBottom, 122, 35}, PlaceCase{cpRightBottomCorner, 122, 50}));

TEST(AnchoredControls, SidesPlaceTheirCompanionAndFollowTheHost) {
    Fixture f;
    TKwpAnchoredControls* anchors = f.host->AnchoredControls();
    anchors->Right()->SetSpacing(12);
    anchors->Right()->SetControl(f.companion);
    EXPECT_EQ(f.At(), vcl::TPoint(122, 20));
    anchors->Right()->SetPosition(rcpRightCenter);
    EXPECT_EQ(f.At(), vcl::TPoint(122, 28));

    // The same pair below, bottom right, spacing 6; the right anchor is let go first.
    anchors->Right()->SetControl(nullptr);
    anchors->Bottom()->SetPosition(bcpBottomRight);
    anchors->Bottom()->SetSpacing(6);
    anchors->Bottom()->SetControl(f.companion);
    EXPECT_EQ(f.At(), vcl::TPoint(70, 56));

    f.host->SetBounds(20, 20, 100, 40); // moved and grown: the companion follows
    EXPECT_EQ(f.At(), vcl::TPoint(80, 66));

    // Offsets add to the place.
    anchors->Bottom()->SetDeltaPosX(3);
    anchors->Bottom()->SetDeltaPosY(-2);
    EXPECT_EQ(f.At(), vcl::TPoint(83, 64));
}

TEST(AnchoredControls, UnchangedValuesAndUnchangedPlacesMoveNothing) {
    Fixture f;
    TKwpAnchoredControls* anchors = f.host->AnchoredControls();
    anchors->Top()->SetControl(f.companion);
    EXPECT_EQ(f.companion->Moves, 1);
    int told = 0;
    anchors->Top()->OnChange = rtl::TNotifyEvent([&](rtl::TObject*) { ++told; });
    anchors->Top()->SetSpacing(3);
    anchors->Top()->SetPosition(tcpTopLeft);
    anchors->Top()->SetEnabled(true);
    anchors->Top()->SetControlPositionMode(cpmDefault);
    EXPECT_EQ(told, 0);
    f.host->SetBounds(10, 20, 100, 30); // the same place: no call at all
    EXPECT_EQ(f.companion->Moves, 1);
}

TEST(AnchoredControls, DisabledAnchorLeavesItsCompanionWhereItIs) {
    Fixture f;
    TKwpAnchoredControls* anchors = f.host->AnchoredControls();
    anchors->Left()->SetControl(f.companion);
    const vcl::TPoint placed = f.At();
    anchors->Left()->SetEnabled(false);
    f.host->SetBounds(200, 200, 100, 30);
    EXPECT_EQ(f.At(), placed);
    anchors->Left()->SetEnabled(true); // placed again at once
    EXPECT_EQ(f.At(), vcl::TPoint(200 - 40 - 3, 200));
}

TEST(AnchoredControls, CustomPositionOverridesTheSidesOwn) {
    Fixture f;
    TKwpTopAnchoredControl* top = f.host->AnchoredControls()->Top();
    top->SetSpacing(12);
    top->SetControlPositionMode(cpmCustom);
    top->SetCustomPosition(cpRightTop);
    top->SetControl(f.companion);
    EXPECT_EQ(f.At(), vcl::TPoint(122, 20));
}

TEST(AnchoredControls, TheHostCannotBeItsOwnCompanion) {
    Fixture f;
    f.host->AnchoredControls()->Right()->SetControl(f.host);
    EXPECT_EQ(f.host->AnchoredControls()->Right()->Control(), nullptr);
    EXPECT_EQ(f.host->Left(), 10);
}

TEST(AnchoredControls, DestroyedCompanionIsLetGoAndTheOthersStillFollow) {
    Fixture f;
    auto* other = new TCountingShape(&f.owner);
    other->SetBounds(0, 0, 10, 10);
    TKwpAnchoredControls* anchors = f.host->AnchoredControls();
    anchors->Right()->SetControl(f.companion);
    anchors->Bottom()->SetControl(other);
    delete f.companion;
    EXPECT_EQ(anchors->Right()->Control(), nullptr);
    f.host->SetBounds(50, 50, 100, 30); // would touch freed memory if the anchor kept it
    EXPECT_EQ(vcl::TPoint(other->Left(), other->Top()), vcl::TPoint(50, 83));
}

TEST(AnchoredControls, AssigningAWholeAnchorCopiesItAndPlaces) {
    Fixture f;
    rtl::TComponent elsewhere(nullptr);
    TKwpRightAnchoredControl source(&elsewhere);
    source.SetControl(f.companion);
    source.SetSpacing(12);
    source.SetPosition(rcpRightCenter);
    int told = 0;
    f.host->AnchoredControls()->OnChange = rtl::TNotifyEvent([&](rtl::TObject*) { ++told; });
    f.host->AnchoredControls()->SetRight(&source);
    EXPECT_EQ(f.At(), vcl::TPoint(122, 28));
    EXPECT_EQ(told, 1);
    f.host->AnchoredControls()->SetRight(nullptr); // ignored
    EXPECT_EQ(f.host->AnchoredControls()->Right()->Position(), rcpRightCenter);
}

TEST(AnchoredControls, TwoHostsAnchoredToEachOtherDoNotMoveEachOtherForever) {
    rtl::TComponent owner(nullptr);
    auto* a = new TKwpPanel(&owner);
    auto* b = new TKwpPanel(&owner);
    a->SetBounds(0, 0, 50, 20);
    b->SetBounds(0, 0, 50, 20);
    a->AnchoredControls()->Right()->SetControl(b);
    b->AnchoredControls()->Right()->SetControl(a);
    a->SetBounds(10, 10, 50, 20); // returns
    EXPECT_EQ(b->Left(), 10 + 50 + 3);
}

TEST(AnchoredControls, CompanionJoinsTheHostsParent) {
    rtl::TComponent owner(nullptr);
    auto* parent = new TKwpPanel(&owner);
    auto* host = new TKwpPanel(&owner);
    host->SetParent(parent);
    auto* companion = new vcl::TShape(&owner);
    host->AnchoredControls()->Left()->SetControl(companion);
    EXPECT_EQ(companion->Parent(), parent);
}

} // namespace
