// The skin model and its text form.
#include "skins/SkSkins.h"

#include "tests/support/windows/HeadlessApp.h"

#include <gtest/gtest.h>

#include <memory>

using namespace skins;
using vcl::clNone;

namespace {

class SkinModel : public ::testing::Test {
protected:
    testing_support::HeadlessApp app;
};

std::unique_ptr<rtl::TStringList> Lines(const QString& Text) {
    auto l = std::make_unique<rtl::TStringList>();
    l->SetText(Text);
    return l;
}

// Every valid category filled with values of its own, and the skin-wide properties set.
void FillDistinct(TSkSkinOptions& Skin) {
    int n = 1;
    for (int c = 0; c < SkinComponentCount; ++c)
        for (int s = 0; s < SkinStateCount; ++s) {
            auto* cat = Skin.Options(TSkSkinComponentsType(c), TSkSkinStatesType(s));
            cat->Body()->Fill(n % 11, 0x010203 * n, vcl::clBtnFace, clNone, vcl::clRed);
            cat->Borders()->Fill(n % 3, clNone, 0x00ABCDEF, vcl::clHighlight, n);
            cat->SetTextColor(n % 5 ? TColor(0x000100 * n) : clNone);
            ++n;
        }
    Skin.SetSkinName(QStringLiteral("Copper"));
    Skin.SetSkinAuthor(QStringLiteral("A. N. Other"));
    Skin.SetColorBtnFace(0x00C0FFEE);
    Skin.SetFloatingWindowBorderSize(2);
    Skin.SetOfficeIcons(true);
    Skin.SetOfficeStatusBar(true);
}

} // namespace

TEST_F(SkinModel, NormalOnlyComponentsShareTheirNormalCategory) {
    TSkSkinOptions skin;
    EXPECT_EQ(skin.Options(skncDock, sknsHotTrack), skin.Options(skncDock, sknsNormal));
    EXPECT_EQ(skin.Options(skncWindowTitleBar, sknsCheckedAndHotTrack), skin.Options(skncWindowTitleBar));
    // A component with more states keeps a category per state, valid or not.
    EXPECT_NE(skin.Options(skncEditFrame, sknsPushed), skin.Options(skncEditFrame, sknsNormal));
    EXPECT_NE(skin.Options(skncButton, sknsChecked), skin.Options(skncButton, sknsHotTrack));
}

TEST_F(SkinModel, ValidStateBitsFollowTheComponentTable) {
    const std::pair<TSkSkinComponentsType, uint8_t> rows[] = {
        {skncDock, 0x01},      {skncWindowTitleBar, 0x01}, {skncMenuBarItem, 0x3F}, {skncEditFrame, 0x07},
        {skncHeader, 0x0F},    {skncLabel, 0x03},          {skncListItem, 0x3F},    {skncProgressBar, 0x05},
        {skncTrackBar, 0x05},  {skncTrackBarButton, 0x09}, {skncTab, 0x3F}};
    for (auto [c, bits] : rows) EXPECT_EQ(SkinComponents[c].States, bits) << SkinComponents[c].SectionName;
    int normalOnly = 0;
    for (const auto& row : SkinComponents) normalOnly += row.States == 0x01;
    EXPECT_EQ(normalOnly, 18);
}

TEST_F(SkinModel, FreshSkinWritesTheDefaultText) {
    TSkSkinOptions skin;
    rtl::TStringList l;
    skin.SaveToStrings(&l);
    rtl::TMemIniFile ini{QString()};
    ini.SetStrings(&l);

    rtl::TStringList sections;
    ini.ReadSections(&sections);
    ASSERT_EQ(sections.Count(), 1 + SkinComponentCount);
    EXPECT_EQ(sections[0], QStringLiteral("Skin"));
    for (int c = 0; c < SkinComponentCount; ++c) EXPECT_EQ(sections[c + 1], QString::fromLatin1(SkinComponents[c].SectionName));

    rtl::TStringList values;
    ini.ReadSectionValues(QStringLiteral("Skin"), &values);
    EXPECT_EQ(values.Text(), QStringLiteral("Name=Default\r\nAuthor=\r\nColorBtnFace=clBtnFace\r\n"
                                            "FloatingWindowBorderSize=4\r\nOfficeIcons=0\r\nOfficeMenu=0\r\n"
                                            "OfficeStatusBar=0\r\n"));
    ini.ReadSectionValues(QStringLiteral("Dock"), &values);
    EXPECT_EQ(values.Text(), QStringLiteral("Normal.Body=0, clNone, clNone, clNone, clNone\r\n"
                                            "Normal.Borders=0, clNone, clNone, clNone, clNone\r\n"
                                            "Normal.TextColor=clNone\r\n"));
    ini.ReadSection(QStringLiteral("Header"), &values);
    EXPECT_EQ(values.CommaText(), QStringLiteral("Normal.Body,Normal.Borders,Normal.TextColor,Disabled.Body,"
                                                 "Disabled.Borders,Disabled.TextColor,HotTrack.Body,HotTrack.Borders,"
                                                 "HotTrack.TextColor,Pushed.Body,Pushed.Borders,Pushed.TextColor"));
    int keys = 0;
    for (int c = 0; c < SkinComponentCount; ++c) {
        ini.ReadSection(QString::fromLatin1(SkinComponents[c].SectionName), &values);
        keys += values.Count();
    }
    EXPECT_EQ(keys, 3 * (18 + 69));   // 18 components in Normal only, 69 states of the other 15
}

TEST_F(SkinModel, SavedAndLoadedSkinIsEqualInEveryValidCategory) {
    TSkSkinOptions source;
    FillDistinct(source);
    rtl::TStringList l;
    source.SaveToStrings(&l);
    TSkSkinOptions back;
    back.LoadFromStrings(&l);

    EXPECT_EQ(back.SkinName(), QStringLiteral("Copper"));
    EXPECT_EQ(back.SkinAuthor(), QStringLiteral("A. N. Other"));
    EXPECT_EQ(back.ColorBtnFace(), 0x00C0FFEE);
    EXPECT_EQ(back.StoredFloatingWindowBorderSize(), 2);
    for (int c = 0; c < SkinComponentCount; ++c)
        for (int s = 0; s < SkinStateCount; ++s) {
            const auto comp = TSkSkinComponentsType(c);
            const auto state = TSkSkinStatesType(s);
            if (!IsValidSkinState(comp, state)) continue;
            EXPECT_TRUE(back.Options(comp, state)->IsEqual(source.Options(comp, state)))
                << SkinComponents[c].SectionName << " " << SkinStatePrefixes[s];
        }
    // States outside the valid set are neither written nor read.
    EXPECT_TRUE(back.Options(skncEditFrame, sknsPushed)->IsEmpty());
    EXPECT_FALSE(source.Options(skncEditFrame, sknsPushed)->IsEmpty());
}

TEST_F(SkinModel, SavingKeepsForeignSectionsAndKeys) {
    TSkSkinOptions skin;
    auto l = Lines(QStringLiteral("[Notes]\nWho=me\n[Skin]\nName=Old\nExtra=kept\n"));
    skin.SaveToStrings(l.get());
    rtl::TMemIniFile ini{QString()};
    ini.SetStrings(l.get());
    EXPECT_EQ(ini.ReadString(QStringLiteral("Notes"), QStringLiteral("Who"), QString()), QStringLiteral("me"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Skin"), QStringLiteral("Extra"), QString()), QStringLiteral("kept"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Skin"), QStringLiteral("Name"), QString()), QStringLiteral("Default"));
}

struct EntryCase {
    const char* text;
    int kind;
    TColor c1, c2, c3, c4;
};

class EntryText : public ::testing::TestWithParam<EntryCase> {};

TEST_P(EntryText, ReadsKindAndColoursUpToTheFirstBadField) {
    const auto& c = GetParam();
    TSkSkinOptionEntry e;
    e.Fill(7, 1, 2, 3, 4);   // reading starts from a reset entry
    e.ReadFromString(QString::fromLatin1(c.text));
    EXPECT_EQ(e.SkinType(), c.kind);
    EXPECT_EQ(e.Color1(), c.c1);
    EXPECT_EQ(e.Color2(), c.c2);
    EXPECT_EQ(e.Color3(), c.c3);
    EXPECT_EQ(e.Color4(), c.c4);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EntryText,
    ::testing::Values(EntryCase{"3, clRed", 3, vcl::clRed, clNone, clNone, clNone},
                      EntryCase{"x, clRed, clBlue", 0, vcl::clRed, vcl::clBlue, clNone, clNone},
                      EntryCase{"1, clRed, bogus, clBlue", 1, vcl::clRed, clNone, clNone, clNone},
                      EntryCase{"", 0, clNone, clNone, clNone, clNone},
                      EntryCase{"2, 255, $00FF0000, clBtnFace, clNone", 2, 255, 0xFF0000, vcl::clBtnFace, clNone},
                      EntryCase{"4 clWhite  clBlack", 4, vcl::clWhite, vcl::clBlack, clNone, clNone},
                      EntryCase{"9, 1, 2, 3, 4, 5, junk", 9, 1, 2, 3, 4},
                      EntryCase{"#FF0000, clRed", 0, vcl::clRed, clNone, clNone, clNone}));

TEST_F(SkinModel, EntryTextIsKindAndFourColourTexts) {
    TSkSkinOptionEntry e;
    EXPECT_EQ(e.WriteToString(), QStringLiteral("0, clNone, clNone, clNone, clNone"));
    e.Fill(10, vcl::clBtnFace, 0x00123456, vcl::clBlack, clNone);
    EXPECT_EQ(e.WriteToString(), QStringLiteral("10, clBtnFace, $00123456, clBlack, clNone"));
}

TEST_F(SkinModel, EmptinessLooksAtColoursOnly) {
    TSkSkinOptionCategory cat;
    cat.Body()->Fill(5, clNone, clNone, clNone, clNone);
    EXPECT_TRUE(cat.Body()->IsEmpty());
    EXPECT_TRUE(cat.IsEmpty());
    cat.SetTextColor(vcl::clBlack);
    EXPECT_FALSE(cat.IsEmpty());
}

TEST_F(SkinModel, LightenSkipsUnsetColoursAndClamps) {
    TSkSkinOptionEntry e;
    e.Fill(1, 0x00F01005, clNone, 0x00808080, vcl::clWhite);
    e.Lighten(20);
    EXPECT_EQ(e.Color1(), 0x00FF2419);
    EXPECT_EQ(e.Color2(), clNone);
    EXPECT_EQ(e.Color3(), 0x00949494);
    e.Lighten(-300);
    EXPECT_EQ(e.Color4(), 0);
}

TEST_F(SkinModel, LoadingGivesDefaultsForMissingKeysAndKeepsTheBorderSizeAsRead) {
    TSkSkinOptions skin;
    FillDistinct(skin);
    auto l = Lines(QStringLiteral("[skin]\nname=Plain\nFloatingWindowBorderSize=9\nOfficeMenu=2\n"
                                              "OfficeIcons=yes\n[button]\nhottrack.body=1, clRed, clBlue\n"));
    skin.LoadFromStrings(l.get());
    EXPECT_EQ(skin.SkinName(), QStringLiteral("Plain"));
    EXPECT_EQ(skin.SkinAuthor(), QString());
    EXPECT_EQ(skin.ColorBtnFace(), vcl::clBtnFace);
    EXPECT_EQ(skin.StoredFloatingWindowBorderSize(), 9);
    EXPECT_FALSE(skin.OfficeIcons());   // not an integer
    auto* hot = skin.Options(skncButton, sknsHotTrack);
    EXPECT_EQ(hot->Body()->SkinType(), 1);
    EXPECT_EQ(hot->Body()->Color2(), vcl::clBlue);
    EXPECT_TRUE(hot->Borders()->IsEmpty());
    EXPECT_TRUE(skin.Options(skncDock)->IsEmpty());
    // Loading does not reset: a category outside the valid states keeps what it held.
    EXPECT_FALSE(skin.Options(skncEditFrame, sknsPushed)->IsEmpty());

    skin.SetFloatingWindowBorderSize(9);
    EXPECT_EQ(skin.StoredFloatingWindowBorderSize(), 4);
    skin.SetFloatingWindowBorderSize(-1);
    EXPECT_EQ(skin.StoredFloatingWindowBorderSize(), 0);
}

TEST_F(SkinModel, BadTextColourRaisesAndKeepsWhatWasRead) {
    TSkSkinOptions skin;
    auto l = Lines(QStringLiteral("[Skin]\nName=Broken\n[Dock]\nNormal.Body=0, clRed\n"
                                              "[MenuBar]\nNormal.TextColor=reddish\n[Popup]\nNormal.Body=0, clBlue\n"));
    try {
        skin.LoadFromStrings(l.get());
        FAIL() << "no error";
    } catch (const rtl::EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'reddish' is not a valid integer value"));
    }
    EXPECT_EQ(skin.SkinName(), QStringLiteral("Broken"));
    EXPECT_EQ(skin.Options(skncDock)->Body()->Color1(), vcl::clRed);
    EXPECT_TRUE(skin.Options(skncPopup)->IsEmpty());

    auto face = Lines(QStringLiteral("[Skin]\nColorBtnFace=#FFFFFF\n"));
    EXPECT_THROW(skin.LoadFromStrings(face.get()), rtl::EConvertError);
}

TEST_F(SkinModel, AssignSpreadsNormalOnlyCategoriesAndClampsTheBorder) {
    TSkSkinOptions source;
    FillDistinct(source);
    TSkSkinOptions dest;
    dest.Assign(&source);
    for (int s = 0; s < SkinStateCount; ++s) {
        auto state = TSkSkinStatesType(s);
        EXPECT_TRUE(dest.Options(skncPanel, state)->IsEqual(source.Options(skncPanel)));
        EXPECT_TRUE(dest.Options(skncButton, state)->IsEqual(source.Options(skncButton, state)));
    }
    EXPECT_EQ(dest.SkinName(), QStringLiteral("Copper"));
    EXPECT_EQ(dest.ColorBtnFace(), 0x00C0FFEE);

    rtl::TStringList other;
    EXPECT_THROW(dest.Assign(&other), rtl::EConvertError);
    TSkSkinOptionEntry entry;
    EXPECT_THROW(entry.Assign(dest.Options(skncDock)), rtl::EConvertError);
}

TEST_F(SkinModel, ResetAndCopyOptions) {
    TSkSkinOptions skin;
    FillDistinct(skin);
    skin.CopyOptions(skncToolbarItem, skncMenuItem);
    for (int s = 0; s < SkinStateCount; ++s)
        EXPECT_TRUE(skin.Options(skncMenuItem, TSkSkinStatesType(s))->IsEqual(skin.Options(skncToolbarItem, TSkSkinStatesType(s))));

    skin.Reset(false);
    EXPECT_TRUE(skin.Options(skncButton, sknsPushed)->IsEmpty());
    EXPECT_EQ(skin.ColorBtnFace(), 0x00C0FFEE);
    skin.Reset(true);
    EXPECT_EQ(skin.ColorBtnFace(), vcl::clBtnFace);
    EXPECT_EQ(skin.StoredFloatingWindowBorderSize(), 4);
    EXPECT_EQ(skin.SkinName(), QStringLiteral("Copper"));   // name and author stay
}

TEST_F(SkinModel, StateRulesBothWays) {
    struct Row {
        bool enabled, pushed, hot, checked;
        TSkSkinStatesType state;
    };
    const Row rows[] = {{false, true, true, true, sknsDisabled},  {true, true, true, true, sknsPushed},
                        {true, false, true, true, sknsCheckedAndHotTrack}, {true, false, true, false, sknsHotTrack},
                        {true, false, false, true, sknsChecked}, {true, false, false, false, sknsNormal}};
    for (const auto& r : rows) EXPECT_EQ(TSkSkinOptions::GetState(r.enabled, r.pushed, r.hot, r.checked), r.state);

    for (int s = 0; s < SkinStateCount; ++s) {
        bool e, p, h, c;
        TSkSkinOptions::GetState(TSkSkinStatesType(s), e, p, h, c);
        EXPECT_EQ(TSkSkinOptions::GetState(e, p, h, c), TSkSkinStatesType(s)) << s;
    }
}
