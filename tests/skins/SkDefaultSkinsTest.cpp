// The built-in skins: registration, the rows their look rests on, the scheme colours, the list items
// derived from hot items, the extra tab lines and the brushed-metal texture.
#include "skins/SkDefaultSkins.h"

#include "tests/components/Paper.h"
#include "tests/support/windows/HeadlessApp.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

using namespace skins;
using vcl::clNone;
using vcl::TRect;

namespace {

using components_test::kPaper;
using components_test::Paper;

class BuiltInSkins : public ::testing::Test {
protected:
    void TearDown() override { FreeBrushedMetal(); }
    static void ExpectEntry(const TSkSkinOptionEntry* E, int Kind, TColor C1, TColor C2, TColor C3, TColor C4) {
        EXPECT_EQ(E->SkinType(), Kind);
        EXPECT_EQ(E->Color1(), C1);
        EXPECT_EQ(E->Color2(), C2);
        EXPECT_EQ(E->Color3(), C3);
        EXPECT_EQ(E->Color4(), C4);
    }
    static std::vector<TColor> Pixels(vcl::TCanvas* C, int W, int H) {
        std::vector<TColor> p;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) p.push_back(C->Pixels(x, y));
        return p;
    }
    testing_support::HeadlessApp app;
};

} // namespace

TEST_F(BuiltInSkins, RegisterInOrderAndBuildUnderTheirNames) {
    RegisterDefaultSkins();   // the manager registered them when it was made: nothing twice
    const char* names[] = {"Aluminum", "Athen", "Dream", "Eos", "Human", "Leopard", "Xito", "Office XP",
                           "Office 2003", "Office 2007 Blue", "Office 2007 Black", "Office 2007 Silver"};
    TSkSkinsList* list = GetSkinManager()->SkinsList();
    const int first = list->IndexOf(QStringLiteral("Aluminum"));
    ASSERT_EQ(first, 0);
    EXPECT_GE(list->Count(), 12);
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(names[i]);
        ASSERT_EQ((*list)[first + i], QString::fromLatin1(names[i]));
        std::unique_ptr<TSkSkinOptions> skin = list->GetSkinOption(first + i)->SkinClass();
        EXPECT_EQ(skin->SkinName(), QString::fromLatin1(names[i]));
        EXPECT_FALSE(skin->Options(skncToolbarItem, sknsHotTrack)->IsEmpty());
        EXPECT_FALSE(skin->Options(skncDock)->Body()->IsEmpty());
        // Menu items paint like toolbar items in every skin.
        for (int s = 0; s < SkinStateCount; ++s)
            EXPECT_TRUE(skin->Options(skncMenuItem, TSkSkinStatesType(s))->IsEqual(skin->Options(skncToolbarItem, TSkSkinStatesType(s))));
    }
}

TEST_F(BuiltInSkins, AluminumTakesTheMetallicRowOffLunaAndItsOwnRows) {
    auto skin = TSkSkinOptions::Create<TSkAluminumSkin>();
    auto* alu = static_cast<TSkAluminumSkin*>(skin.get());
    EXPECT_EQ(alu->Colors(), (TSkAluminumColors{0xBFB4B2, 0xDDDCDC, 0xDFDAD9, 0xECE9E8}));
    ExpectEntry(alu->Options(skncDock)->Body(), 0, vcl::clWhite, clNone, clNone, clNone);
    ExpectEntry(alu->Options(skncButton)->Body(), 1, 0xEFEFEF, 0xD1D1D1, clNone, clNone);
    ExpectEntry(alu->Options(skncButton)->Borders(), 1, 0x9F9F9F, 0x9F9F9F, 0xF7F7F7, 0xC7C7C7);
    ExpectEntry(alu->Options(skncButton, sknsPushed)->Body(), 1, 0xD1D1D1, 0xEFEFEF, clNone, clNone);
    ExpectEntry(alu->Options(skncToolbarItem, sknsHotTrack)->Body(), 0, 0xECE9E8, clNone, clNone, clNone);
    ExpectEntry(alu->Options(skncToolbarItem, sknsHotTrack)->Borders(), 1, 0xBFB4B2, 0xBFB4B2, clNone, clNone);
    ExpectEntry(alu->Options(skncEditFrame)->Borders(), 1, clNone, clNone, 0x9F9F9F, 0x9F9F9F);
    EXPECT_TRUE(alu->Options(skncEditButton)->IsEmpty());
    EXPECT_TRUE(alu->Options(skncEditButton, sknsPushed)->IsEqual(alu->Options(skncButton, sknsPushed)));
    EXPECT_TRUE(alu->Options(skncMenuBar)->IsEqual(alu->Options(skncToolbar)));

    alu->SetDefaultColorScheme(lusBlue);
    EXPECT_EQ(alu->Colors()[0], 0xC56A31);
    EXPECT_EQ(alu->Options(skncToolbarItem, sknsHotTrack)->Body()->Color1(), 0xEED2C1);
    EXPECT_EQ(alu->SkinName(), QStringLiteral("Aluminum"));
}

TEST_F(BuiltInSkins, Office2003DerivesItsColoursFromTheSystemOffLuna) {
    TwSetSysColor(COLOR_BTNFACE, 0x00D8E9EC);
    TwSetSysColor(COLOR_WINDOW, 0x00FFFFFF);
    auto skin = TSkSkinOptions::Create<TSkOffice2003Skin>();
    auto* office = static_cast<TSkOffice2003Skin*>(skin.get());
    const auto& F = office->Colors();
    EXPECT_EQ(F[0], 0x00D8E9EC);
    EXPECT_EQ(F[1], BlendColors(vcl::clBtnFace, vcl::clWindow, 35));
    EXPECT_EQ(F[10], F[11]);
    EXPECT_EQ(F[18], F[4]);
    EXPECT_EQ(F[21], vcl::clWhite);
    ExpectEntry(office->Options(skncDock)->Body(), 2, F[0], F[1], clNone, clNone);
    ExpectEntry(office->Options(skncToolbar)->Body(), 1, F[2], F[3], clNone, clNone);
    ExpectEntry(office->Options(skncToolbar)->Borders(), 2, F[5], F[4], clNone, clNone);
    ExpectEntry(office->Options(skncToolbarItem, sknsHotTrack)->Body(), 1, F[14], F[15], clNone, clNone);
    ExpectEntry(office->Options(skncToolbarItem, sknsHotTrack)->Borders(), 0, F[8], F[8], clNone, clNone);
    ExpectEntry(office->Options(skncButton, sknsCheckedAndHotTrack)->Body(), 1, LightenColor(F[12], 15), F[13], clNone, clNone);
    EXPECT_EQ(office->Options(skncWindowTitleBar)->TextColor(), vcl::clBtnHighlight);

    office->SetDefaultColorScheme(lusBlue);
    EXPECT_EQ(F[0], 0xF5BE9E);
    EXPECT_EQ(F[14], 0xCCF4FF);
    EXPECT_NE(office->Options(skncWindowTitleBar)->TextColor(), vcl::clBtnHighlight);
    EXPECT_EQ(office->Options(skncDock)->Body()->Color1(), 0xF5BE9E);
}

TEST_F(BuiltInSkins, XitoEditButtonAndCheckBox) {
    auto skin = TSkSkinOptions::Create<TSkXitoSkin>();
    ExpectEntry(skin->Options(skncCheckBox, sknsChecked)->Body(), 5, 0xFFFFFF, 0xDADADA, 0xD0D0D0, 0xE0E0E0);
    EXPECT_TRUE(skin->Options(skncEditButton)->IsEmpty());
    for (auto s : {sknsDisabled, sknsHotTrack, sknsPushed, sknsChecked, sknsCheckedAndHotTrack}) {
        EXPECT_EQ(skin->Options(skncEditButton, s)->Borders()->SkinType(), 0);
        EXPECT_TRUE(skin->Options(skncEditButton, s)->Body()->IsEqual(skin->Options(skncButton, s)->Body()));
    }
}

TEST_F(BuiltInSkins, ListItemsComeFromAHotItemLightenedAndDarkened) {
    struct Case {
        TSkSkinOptionsClass make;
        TSkSkinComponentsType from;
        int lighter, darker;
    };
    const Case cases[] = {{TSkSkinOptions::ClassOf<TSkAluminumSkin>(), skncToolbarItem, 20, 20},
                          {TSkSkinOptions::ClassOf<TSkAthenSkin>(), skncToolbarItem, 30, 30},
                          {TSkSkinOptions::ClassOf<TSkDreamSkin>(), skncToolbarItem, 20, 20},
                          {TSkSkinOptions::ClassOf<TSkEosSkin>(), skncToolbarItem, 30, 30},
                          {TSkSkinOptions::ClassOf<TSkHumanSkin>(), skncMenuBarItem, 20, 20},
                          {TSkSkinOptions::ClassOf<TSkLeopardSkin>(), skncButton, 30, 20},
                          {TSkSkinOptions::ClassOf<TSkXitoSkin>(), skncButton, 20, 20},
                          {TSkSkinOptions::ClassOf<TSkOfficeXPSkin>(), skncToolbarItem, 20, 20},
                          {TSkSkinOptions::ClassOf<TSkOffice2003Skin>(), skncToolbarItem, 20, 20},
                          {TSkSkinOptions::ClassOf<TSkOffice2007BlueSkin>(), skncToolbarItem, 10, 10}};
    for (const auto& c : cases) {
        auto skin = c.make();
        SCOPED_TRACE(skin->SkinName().toStdString());
        TSkSkinOptionCategory hot, checkedHot;
        hot.Assign(skin->Options(c.from, sknsHotTrack));
        checkedHot.Assign(&hot);
        hot.Body()->Lighten(c.lighter);
        hot.Borders()->Lighten(c.lighter);
        checkedHot.Body()->Lighten(-c.darker);
        checkedHot.Borders()->Lighten(-c.darker);
        // Text colours are set after the list items are made, so only bodies and borders are compared.
        auto same = [](const TSkSkinOptionCategory* A, const TSkSkinOptionCategory* B) {
            return A->Body()->IsEqual(B->Body()) && A->Borders()->IsEqual(B->Borders());
        };
        EXPECT_TRUE(same(skin->Options(skncListItem, sknsChecked), skin->Options(c.from, sknsHotTrack)));
        EXPECT_TRUE(same(skin->Options(skncListItem, sknsHotTrack), &hot));
        EXPECT_TRUE(same(skin->Options(skncListItem, sknsCheckedAndHotTrack), &checkedHot));
    }
}

TEST_F(BuiltInSkins, OfficeFlagsAndTextColours) {
    auto xp = TSkSkinOptions::Create<TSkOfficeXPSkin>();
    rtl::TStringList l;
    xp->SaveToStrings(&l);
    EXPECT_GE(l.IndexOf(QStringLiteral("OfficeIcons=1")), 0);
    EXPECT_GE(l.IndexOf(QStringLiteral("OfficeStatusBar=1")), 0);
    EXPECT_EQ(xp->Options(skncEditButton, sknsPushed)->TextColor(), vcl::clHighlightText);
    EXPECT_EQ(xp->Options(skncToolbar)->Body()->Color1(), BlendColors(vcl::clWindow, vcl::clBtnFace, 165));

    auto blue = TSkSkinOptions::Create<TSkOffice2007BlueSkin>();
    auto black = TSkSkinOptions::Create<TSkOffice2007BlackSkin>();
    auto silver = TSkSkinOptions::Create<TSkOffice2007SilverSkin>();
    EXPECT_EQ(blue->Options(skncStatusBar)->TextColor(), clNone);
    EXPECT_EQ(black->Options(skncStatusBar)->TextColor(), vcl::clWhite);
    EXPECT_EQ(black->Options(skncDock)->Body()->Color1(), silver->Options(skncDock)->Body()->Color1());
    EXPECT_EQ(static_cast<TSkOffice2007Skin*>(blue.get())->Colors()[0], 0xF4E6DB);

    auto eos = TSkSkinOptions::Create<TSkEosSkin>();
    EXPECT_EQ(eos->Options(skncTab, sknsHotTrack)->TextColor(), 0x68CAE6);
    EXPECT_EQ(eos->Options(skncButton)->TextColor(), 0xEEEEEE);
    auto leopard = TSkSkinOptions::Create<TSkLeopardSkin>();
    EXPECT_EQ(leopard->Options(skncMenuItem, sknsPushed)->TextColor(), vcl::clWhite);
    auto human = TSkSkinOptions::Create<TSkHumanSkin>();
    EXPECT_EQ(human->Options(skncWindowTitleBar)->TextColor(), vcl::clWhite);
}

TEST_F(BuiltInSkins, HumanTabsGetTopLinesInActiveStatesAndLeopardTabBackgroundsAlways) {
    auto human = TSkSkinOptions::Create<TSkHumanSkin>();
    for (int s = 0; s < SkinStateCount; ++s) {
        auto bmp = Paper(20, 10);
        human->PaintBackground(bmp->Canvas(), TRect(0, 0, 20, 10), skncTab, TSkSkinStatesType(s), true, true);
        const bool lined = s != sknsNormal && s != sknsDisabled;
        EXPECT_EQ(bmp->Canvas()->Pixels(2, 0) == 0x1E4B8F, lined) << s;
        EXPECT_EQ(bmp->Canvas()->Pixels(0, 2) == 0x1975FF, lined) << s;
    }
    auto leopard = TSkSkinOptions::Create<TSkLeopardSkin>();
    auto bmp = Paper(20, 10);
    leopard->PaintBackground(bmp->Canvas(), TRect(0, 0, 20, 10), skncTabBackground, sknsNormal, true, true);
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 0), 0xDB9D79);
    EXPECT_EQ(bmp->Canvas()->Pixels(19, 1), 0xFAEEAF);
}

TEST_F(BuiltInSkins, BrushedMetalIsStableUntilTheSkinGoesAndKeepsSixteenColours) {
    auto first = TSkSkinOptions::Create<TSkAluminumSkin>();
    auto a = Paper(64, 32), b = Paper(64, 32);
    first->PaintBackground(a->Canvas(), TRect(0, 0, 64, 32), skncDock, sknsNormal, true, true);
    first->PaintBackground(b->Canvas(), TRect(0, 0, 64, 32), skncDock, sknsNormal, true, true);
    const auto texture = Pixels(a->Canvas(), 64, 32);
    EXPECT_EQ(texture, Pixels(b->Canvas(), 64, 32));
    std::set<TColor> shades(texture.begin(), texture.end());
    EXPECT_GT(shades.size(), 8u);
    EXPECT_EQ(shades.count(kPaper), 0u);
    for (TColor c : shades)
        for (int shift : {0, 8, 16}) EXPECT_LE((c >> shift) & 0xFF, 239);
    // Components without a texture colour paint as any skin does.
    auto button = Paper(8, 8);
    first->PaintBackground(button->Canvas(), TRect(0, 0, 8, 8), skncButton, sknsNormal, true, false);
    EXPECT_EQ(button->Canvas()->Pixels(3, 0), 0xEFEFEF);

    first.reset();   // a new skin paints a new texture
    auto second = TSkSkinOptions::Create<TSkAluminumSkin>();
    auto c = Paper(64, 32);
    second->PaintBackground(c->Canvas(), TRect(0, 0, 64, 32), skncDock, sknsNormal, true, true);
    EXPECT_NE(Pixels(c->Canvas(), 64, 32), texture);

    auto scratch = Paper(4, 4);
    for (int i = 0; i < 17; ++i)
        PaintBrushedMetal(scratch->Canvas()->Handle(), vcl::TPoint(0, 0), TRect(0, 0, 4, 4), 0x101010 * (i + 1) / 2, 12);
    EXPECT_FALSE(BrushedMetalCached(0x080808, 12));
    EXPECT_TRUE(BrushedMetalCached(0x101010, 12));
    EXPECT_FALSE(BrushedMetalCached(0x101010, 13));
    PaintBrushedMetal(scratch->Canvas()->Handle(), vcl::TPoint(0, 0), TRect(0, 0, 4, 4), clNone, 12);
}
