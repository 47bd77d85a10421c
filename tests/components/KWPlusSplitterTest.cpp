// tests/components/KWPlusSplitterTest.cpp: the splitter's painted bar and grips, its neighbour sizing on
// each side, the double-click actions and the neighbour's size kept in an INI file.
#include "components/KWPlusSplitter.h"

#include "rtl/Files.h"
#include "rtl/IniFiles.h"
#include "EventCounter.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace components;
using components_test::Counter;
using testing_support::FormHarness;

namespace {

// The main window's arrangement: a navigation panel on the right, the splitter left of it, the rest.
class SplitForm : public vcl::TForm {
public:
    explicit SplitForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetBorderStyle(vcl::bsNone);
        SetBounds(0, 0, 800, 656);
        nav = new vcl::TPanel(this);
        nav->SetParent(this);
        nav->SetWidth(370);
        nav->SetAlign(vcl::alRight);
        splitter = new TKWPlusSplitter(this);
        splitter->SetName(QStringLiteral("spMain"));
        splitter->SetParent(this);
        splitter->SetWidth(6);
        splitter->SetLeft(nav->Left() - 6);
        splitter->SetAlign(vcl::alRight);
        splitter->SetMinSize(80);
        splitter->SetAutoSnap(false);
        splitter->SetResizeStyle(vcl::rsUpdate);
        rest = new vcl::TPanel(this);
        rest->SetParent(this);
        rest->SetAlign(vcl::alClient);
        splitter->OnMoved = rtl::TNotifyEvent(&moved, &Counter::Hit);
        splitter->OnDblClick = rtl::TNotifyEvent(&dblClicks, &Counter::Hit);
    }
    vcl::TPanel *nav, *rest;
    TKWPlusSplitter* splitter;
    Counter moved, dblClicks;
};

class Splitter : public ::testing::Test {
protected:
    void SetUp() override {
        form = H.Show<SplitForm>();
        s = form->splitter;
        ASSERT_EQ(s->Height(), 656);
        ASSERT_EQ(s->Left() + s->Width(), form->nav->Left());
    }
    vcl::TColor At(int X, int Y) {
        H.Pump();
        const QRgb rgb = H.App().Pixel(form->Handle(), s->Left() + X, s->Top() + Y);
        return vcl::TColor(qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16);
    }
    void Flat(vcl::TColor Bar) {
        TSplitterAppearance* a = s->Appearance();
        a->SetColor(Bar);
        a->SetColorTo(Bar);
        a->SetColorHot(0x00FF00);
        a->SetColorHotTo(0x00FF00);
    }
    FormHarness H;
    SplitForm* form = nullptr;
    TKWPlusSplitter* s = nullptr;
};

TEST_F(Splitter, FlatDotsSitInTheMiddleColumnFourPixelsApart) {
    Flat(0x303030);
    s->SetGripStyle(sgFlatDots);
    s->Appearance()->SetGripBrushColor(0x0000FF);
    s->Appearance()->SetGripPenColor(0x0000FF);
    s->Invalidate();
    for (int k = 0; k < 9; ++k) {
        const int y = 312 + 4 * k;
        EXPECT_EQ(At(2, y), 0x0000FF) << k;
        EXPECT_EQ(At(3, y + 1), 0x0000FF) << k;
        EXPECT_EQ(At(1, y), 0x303030) << k;
        EXPECT_EQ(At(4, y), 0x303030) << k;
        EXPECT_EQ(At(2, y + 2), 0x303030) << k;
    }
    EXPECT_EQ(At(2, 311), 0x303030);
    EXPECT_EQ(At(2, 312 + 36), 0x303030);
}

TEST_F(Splitter, GradientRunsAcrossTheBarAndTurnsHotUnderThePointer) {
    TSplitterAppearance* a = s->Appearance();
    a->SetColor(0x000000);
    a->SetColorTo(0xFFFFFF);
    a->SetColorHot(0x0000FF);
    a->SetColorHotTo(0x0000FF);
    s->SetGripStyle(sgNone);
    // 64 one-pixel bands over the 5 pixels left once the far edge is pulled in; later bands cover
    // earlier ones, so x = 0 shows band 6 (24) and x = 5 the last band (63/64 of white).
    EXPECT_EQ(At(0, 10), 0x181818);
    EXPECT_EQ(At(1, 10), 0x4C4C4C); // band 19
    EXPECT_EQ(At(5, 10), 0xFBFBFB);
    EXPECT_EQ(At(0, 600), 0x181818);
    H.MoveTo(s, POINT{3, 10});
    EXPECT_TRUE(s->MouseInControl());
    EXPECT_EQ(At(0, 10), 0x0000FF);
    H.MouseOut();
    EXPECT_FALSE(s->MouseInControl());
    EXPECT_EQ(At(0, 10), 0x181818);
}

TEST_F(Splitter, BorderAndDotsDrawOverTheGradient) {
    Flat(0x303030);
    s->Appearance()->SetBorderColor(0xFF0000);
    EXPECT_EQ(At(0, 0), 0xFF0000);
    EXPECT_EQ(At(5, 655), 0xFF0000);
    EXPECT_EQ(At(2, 100), 0x303030);
    // Raised dots: white at (X, a+1+4k), black one up-left of it, the pixel itself in ColorTo.
    s->Appearance()->SetColorTo(0x303031);
    s->Appearance()->SetColor(0x303031);
    EXPECT_EQ(At(3, 313), 0xFFFFFF);
    EXPECT_EQ(At(4, 312), 0xFFFFFF);
    EXPECT_EQ(At(2, 311), 0x000000);
    EXPECT_EQ(At(2, 312), 0x000000);
    EXPECT_EQ(At(3, 311), 0x000000);
    EXPECT_EQ(At(3, 312), 0x303031);
    EXPECT_EQ(At(4, 313 + 4 * 8), 0xFFFFFF);
    EXPECT_EQ(At(3, 312 + 4 * 8), 0x303031);
}

TEST_F(Splitter, LinesGripsFollowTheGripPen) {
    Flat(0x303030);
    s->SetGripStyle(sgDoubleLine);
    s->Appearance()->SetGripPenColor(0x00FFFF);
    s->Invalidate();
    // Columns X-2 and X, from a+1 up to (not including) a+37.
    EXPECT_EQ(At(1, 312), 0x00FFFF);
    EXPECT_EQ(At(3, 347), 0x00FFFF);
    EXPECT_EQ(At(2, 330), 0x303030);
    EXPECT_EQ(At(3, 348), 0x303030);
    s->SetGripStyle(sgSingleLine);
    EXPECT_EQ(At(1, 311), 0xFFFFFF);
    EXPECT_EQ(At(1, 347), 0xFFFFFF);
}

TEST_F(Splitter, GripColoursAloneWaitForTheNextPaint) {
    Flat(0x303030);
    s->SetGripStyle(sgFlatDots);
    EXPECT_EQ(At(2, 312), 0xA5A5A5);
    s->Appearance()->SetGripBrushColor(0x0000FF);
    s->Appearance()->SetGripPenColor(0x0000FF);
    EXPECT_EQ(At(2, 312), 0xA5A5A5);
    s->Invalidate();
    EXPECT_EQ(At(2, 312), 0x0000FF);
}

TEST_F(Splitter, OpenCloseCollapsesToMinSizeAndReopens) {
    s->SetDblClickAction(dbaOpenClose);
    const int right = form->nav->Left() + form->nav->Width();
    H.DoubleClick(s, POINT{3, 100});
    EXPECT_EQ(form->nav->Width(), 81);
    EXPECT_EQ(form->nav->Left() + form->nav->Width(), right);
    EXPECT_EQ(s->Left() + s->Width(), form->nav->Left());
    EXPECT_EQ(form->dblClicks.count, 1);
    // The clicks of a double-click end a (motionless) drag each; the double-click itself ends one more.
    form->moved.count = 0;
    s->DblClick();
    EXPECT_EQ(form->nav->Width(), 370);
    EXPECT_EQ(form->moved.count, 1);
}

TEST_F(Splitter, DefaultSizeResetsTheNeighbourAndNothingElseWithout) {
    s->DblClick();
    EXPECT_EQ(form->dblClicks.count, 1);
    EXPECT_EQ(form->moved.count, 0);
    EXPECT_EQ(form->nav->Width(), 370);
    s->SetDefaultSize(150);
    s->DblClick();
    EXPECT_EQ(form->nav->Width(), 150);
    EXPECT_EQ(form->moved.count, 1);
}

TEST_F(Splitter, AutoSnapTurnsSmallSizesIntoACollapse) {
    s->SetAutoSnap(true);
    s->SetSplitterSize(60);
    EXPECT_EQ(form->nav->Width(), 0);
    // The collapsed neighbour is still found through the pixel it is given.
    EXPECT_EQ(s->GetSplitterSize(), 0);
    s->SetSplitterSize(200);
    EXPECT_EQ(form->nav->Width(), 200);
}

TEST(SplitterSides, EachAlignmentResizesItsNeighbourAndKeepsTheFarEdge) {
    struct Case {
        vcl::TAlign align;
    } cases[] = {{vcl::alLeft}, {vcl::alTop}, {vcl::alRight}, {vcl::alBottom}};
    for (const Case& c : cases) {
        FormHarness H;
        auto* form = H.Show<vcl::TForm>();
        form->SetBorderStyle(vcl::bsNone);
        form->SetBounds(0, 0, 600, 500);
        auto* n = new vcl::TPanel(form);
        n->SetParent(form);
        n->SetBounds(0, 0, 200, 200);
        n->SetAlign(c.align);
        auto* s = new TKWPlusSplitter(form);
        s->SetParent(form);
        s->SetBounds(300, 300, 5, 5);
        s->SetAlign(c.align);
        const bool vertical = c.align == vcl::alLeft || c.align == vcl::alRight;
        const int farEdge = vertical ? n->Left() + n->Width() : n->Top() + n->Height();
        const bool farKept = c.align == vcl::alRight || c.align == vcl::alBottom;
        const int nearEdge = vertical ? n->Left() : n->Top();
        EXPECT_EQ(s->GetSplitterSize(), 200) << c.align;
        s->SetSplitterSize(120);
        EXPECT_EQ(vertical ? n->Width() : n->Height(), 120) << c.align;
        if (farKept) EXPECT_EQ(vertical ? n->Left() + n->Width() : n->Top() + n->Height(), farEdge) << c.align;
        else EXPECT_EQ(vertical ? n->Left() : n->Top(), nearEdge) << c.align;
        EXPECT_EQ(s->GetSplitterSize(), 120) << c.align;
    }
}

TEST(SplitterSides, NoNeighbourMeansNoSizeAndNoChange) {
    FormHarness H;
    auto* form = H.Show<vcl::TForm>();
    auto* s = new TKWPlusSplitter(form);
    s->SetParent(form);
    s->SetAlign(vcl::alLeft);
    EXPECT_EQ(s->GetSplitterSize(), 0);
    s->SetSplitterSize(50);
    s->SetAlign(vcl::alNone);
    EXPECT_EQ(s->GetSplitterSize(), 0);
}

TEST(SplitterAppearance, SettersTellOnlyChangesAndAssignLeavesTheGripAlone) {
    TSplitterAppearance a;
    Counter changes;
    a.OnChange = rtl::TNotifyEvent(&changes, &Counter::Hit);
    a.SetColor(vcl::clWhite);
    EXPECT_EQ(changes.count, 0);
    a.SetColor(0x112233);
    a.SetBorderColorHot(0x445566);
    a.SetDirection(gdVertical);
    EXPECT_EQ(changes.count, 3);
    a.SetDirectionType(dtFixed);
    a.SetGripBrushColor(1);
    a.SetGripPenColor(2);
    EXPECT_EQ(changes.count, 3);

    TSplitterAppearance b;
    Counter bChanges;
    b.OnChange = rtl::TNotifyEvent(&bChanges, &Counter::Hit);
    b.Assign(&a);
    EXPECT_EQ(bChanges.count, 0);
    EXPECT_EQ(b.Color(), 0x112233);
    EXPECT_EQ(b.BorderColorHot(), 0x445566);
    EXPECT_EQ(b.Direction(), gdVertical);
    EXPECT_EQ(b.DirectionType(), dtAuto);
    EXPECT_EQ(b.GripBrushColor(), 0xA5A5A5);
    EXPECT_EQ(b.GripPenColor(), 0xA5A5A5);
}

// A form that builds itself inside the loading bracket, as a designed form does.
class PersistForm : public vcl::TForm {
public:
    PersistForm(rtl::TComponent* AOwner, const rtl::String& Key) : vcl::TForm(AOwner) {
        BeginLoading();
        SetBorderStyle(vcl::bsNone);
        SetBounds(0, 0, 600, 400);
        nav = new vcl::TPanel(this);
        nav->SetParent(this);
        nav->SetWidth(300);
        nav->SetAlign(vcl::alRight);
        splitter = new TKWPlusSplitter(this);
        splitter->SetName(QStringLiteral("spMain"));
        splitter->SetParent(this);
        splitter->SetBounds(nav->Left() - 6, 0, 6, 400);
        splitter->SetAlign(vcl::alRight);
        splitter->Persist()->Enable = true;
        splitter->Persist()->Key = Key;
        EndLoading();
    }
    vcl::TPanel* nav;
    TKWPlusSplitter* splitter;
};

TEST(SplitterPersistence, TheSizeIsSavedAtDestructionAndLoadedAtTheNextStart) {
    QTemporaryDir dir;
    const rtl::String ini = dir.filePath(QStringLiteral("tw.INI"));
    {
        PersistForm form(nullptr, ini);
        EXPECT_EQ(form.nav->Width(), 300); // nothing stored yet
        form.splitter->SetDefaultSize(210);
        form.splitter->DblClick();
        EXPECT_EQ(form.nav->Width(), 210);
        form.splitter->SetDblClickAction(dbaOpenClose);
        form.splitter->DblClick(); // collapsed to MinSize + 1
        EXPECT_EQ(form.nav->Width(), 31);
        form.splitter->DblClick();
        EXPECT_EQ(form.nav->Width(), 210);
    }
    rtl::TIniFile read(ini);
    EXPECT_EQ(read.ReadInteger(QStringLiteral("spMain"), QStringLiteral("spMain"), -1), 210);
    read.WriteInteger(QStringLiteral("spMain"), QStringLiteral("spMain"), 170);
    PersistForm again(nullptr, ini);
    EXPECT_EQ(again.nav->Width(), 170);
    EXPECT_EQ(again.splitter->Persist()->Section, QStringLiteral("spMain"));
}

TEST(SplitterPersistence, EmptyKeyIsTheProgramsIniAndAnUnwritableStoreLosesOnlyTheSize) {
    TKWPlusSplitter s(nullptr);
    EXPECT_EQ(s.LoadSplitterSize(), -1); // off
    s.SetName(QStringLiteral("spSide"));
    s.Persist()->Enable = true;
    s.Persist()->Key = QStringLiteral("/proc/tw-no-such-dir/x.INI");
    EXPECT_EQ(s.LoadSplitterSize(), -1);
    TPersistence blank;
    blank.Enable = true;
    s.SetPersist(&blank);
    EXPECT_TRUE(s.Persist()->Key.isEmpty());
    s.Persist()->Section = QStringLiteral("keep");
    // Reading only: nothing is written beside the test program.
    s.LoadSplitterSize();
    EXPECT_EQ(s.Persist()->Key, rtl::ChangeFileExt(rtl::ParamStr(0), QStringLiteral(".INI")));
    EXPECT_EQ(s.Persist()->Section, QStringLiteral("keep"));
    EXPECT_EQ(s.Version(), QStringLiteral("1.5.0.0"));

    // A size known at destruction, a store that cannot be written: the splitter still goes quietly.
    auto* doomed = new TKWPlusSplitter(nullptr);
    doomed->Persist()->Enable = true;
    doomed->Persist()->Key = QStringLiteral("/proc/tw-no-such-dir/x.INI");
    doomed->DblClick(); // no parent: nothing to size
    doomed->SetDblClickAction(dbaOpenClose);
    doomed->DblClick(); // the size becomes known (MinSize + 1)
    EXPECT_NO_THROW(delete doomed);
}

} // namespace
