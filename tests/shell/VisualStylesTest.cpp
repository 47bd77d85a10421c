// Visual styles: the name tests, the PNG buttons' look per style, and the styles folder loaded into
// the style engine, with its style switched by name, cycled, and listed.
#include "app/shell/VisualStyles.h"

#include <gtest/gtest.h>

#include <QFile>

#include "components/KwpLinkLabel.h"
#include "components/KwpPngButton.h"
#include "controls/FlipPanel.h"
#include "controls/RgCollection.h"
#include "controls/TrackBar.h"
#include "grid/ColumnClasses.h"
#include "grid/GridReport.h"
#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/Themes.h"

namespace {

using shell::String;
using testing_support::TempDir;

TEST(StyleNames, TokensDecideWindowsDarkAuricAndCarbon) {
    struct Case {
        const char* name;
        bool windows, dark, auric, carbon;
    };
    const Case cases[] = {
        {"", true, false, false, false},
        {"  windows  ", true, false, false, false},
        {"Windows10 Blue", false, false, false, false},
        {"Charcoal Dark Slate", false, true, false, false},
        {"Carbon", false, true, false, true},
        {"Iceberg Classico", false, false, false, false},
        {"Luna", false, false, false, false},
        {"Glow", false, true, false, false},
        {"Onyx Blue", false, true, false, false},
        {"Tablet.Dark", false, false, false, false},
        {"TabletDark", false, true, false, false},
        {"Auric,Mod", false, true, true, false},
        {"jet", false, true, false, false},
    };
    for (const Case& c : cases) {
        const String n = QString::fromLatin1(c.name);
        EXPECT_EQ(shell::IsWindowsStyle(n), c.windows) << c.name;
        EXPECT_EQ(shell::IsDarkStyle(n), c.dark) << c.name;
        EXPECT_EQ(shell::IsAuricStyle(n), c.auric) << c.name;
        EXPECT_EQ(shell::IsCarbonStyle(n), c.carbon) << c.name;
    }
}

TEST(SetButtonStyle, OnlyTheStylesWithAMapOfTheirOwnChangeTheButton) {
    testing_support::FormHarness h;
    auto* form = h.Create<vcl::TForm>();
    auto* button = new components::TKwpPngButton(form);
    button->SetParent(form);
    const vcl::TStyleElements all{vcl::seFont, vcl::seClient, vcl::seBorder};

    button->SetStyleElements(vcl::TStyleElements{});
    const auto before = button->ColorMapType();
    shell::SetButtonStyle(button, QStringLiteral("Auric"));
    EXPECT_EQ(button->StyleElements(), all);
    EXPECT_EQ(button->ColorMapType(), before) << "no map of its own";

    shell::SetButtonStyle(button, QStringLiteral(" auric mod "));
    EXPECT_EQ(button->ColorMapType(), components::cmtVclAuric);
    EXPECT_FALSE(button->Appearance()->DefaultDrawing());
    EXPECT_EQ(button->Font()->Name(), QStringLiteral("Segoe UI"));
    EXPECT_EQ(button->Font()->Size(), 8);

    shell::SetButtonStyle(button, QStringLiteral("Windows"));
    EXPECT_TRUE(button->Appearance()->DefaultDrawing());
    EXPECT_EQ(button->StyleElements(), all);
}

TEST(VisualStyles, TheFolderIsLoadedAndStylesAreSetByName) {
    testing_support::FormHarness h;
    TempDir dir;
    for (const char* name : {"Luna", "Carbon"})
        QFile::copy(QStringLiteral(TW_STYLES_DIR "/%1.vsf").arg(QLatin1String(name)),
                    dir.QFile(QStringLiteral("%1.vsf").arg(QLatin1String(name))));
    QFile::copy(QStringLiteral(TW_STYLES_DIR "/Carbon.vsf"), dir.QFile(QStringLiteral("Carbon again.vsf")));
    dir.Write(QStringLiteral("Broken.vsf"), "not a style");

    shell::TVisualStyles styles(dir.QPath());
    const std::vector<String> engine = vcl::TStyleManager::StyleNames();
    ASSERT_EQ(styles.Count(), int(engine.size()));
    for (int i = 0; i < styles.Count(); ++i) {
        EXPECT_EQ(styles.Item(i).Name, engine[size_t(i)]);
        EXPECT_EQ(styles.Item(i).Index, i);
    }
    EXPECT_GE(styles.GetStyleIndex(QStringLiteral("carbon")), 0);
    EXPECT_GE(styles.GetStyleIndex(QStringLiteral("LUNA")), 0);
    EXPECT_EQ(styles.GetStyleIndex(QStringLiteral("Broken")), -1);
    EXPECT_EQ(styles.ActiveStyle().Name, QStringLiteral("Windows"));

    styles.SetStyle(QStringLiteral("carbon"));
    EXPECT_EQ(styles.ActiveStyle().Name, QStringLiteral("Carbon")) << "as the engine writes it";
    EXPECT_EQ(vcl::TStyleManager::ActiveStyle()->Name(), QStringLiteral("Carbon"));
    styles.SetStyle(QStringLiteral("No such style"));
    EXPECT_EQ(vcl::TStyleManager::ActiveStyle()->Name(), QStringLiteral("Carbon"));

    styles.SetWindowsStyle();
    EXPECT_EQ(vcl::TStyleManager::ActiveStyle()->Name(), engine[0]);
    styles.SetNextStyle();
    EXPECT_EQ(styles.ActiveStyle().Name, engine[1]);
    for (int i = 1; i < styles.Count(); ++i) styles.SetNextStyle();
    EXPECT_EQ(styles.ActiveStyle().Name, engine[0]) << "wraps to the first";
    EXPECT_TRUE(styles.AsText().endsWith(QStringLiteral("\r\n\r\nActive style index: 0")));
    EXPECT_TRUE(styles.AsText().contains(QStringLiteral("Index: 1 / Name: ") + engine[1] + QStringLiteral("\r\n")));
    vcl::TStyleManager::TrySetStyle(QStringLiteral("Windows"), false);
}

TEST(StyleColorSetters, FlipHeaderAndTrackBarTakeTheirEntries) {
    testing_support::FormHarness h;
    auto* form = h.Create<vcl::TForm>();
    engine::TStyleColorSchemes schemes{};
    engine::InitStyleColorSchemes(schemes);
    auto* flip = new controls::TKWRgFlipPanel(form);
    flip->SetParent(form);
    // The styled hot end colour: entry 30 through the scheme's percentage (red clamped under Carbon).
    const std::pair<const char*, vcl::TColor> hotEnds[] = {{"Iceberg Classico", 0xCAB091}, {"Carbon", 0x5D3F00}};
    for (auto [style, hotEnd] : hotEnds) {
        const engine::TStyleColorScheme scheme = engine::GetStyleColors(QString::fromLatin1(style), schemes);
        shell::SetFlipPanelStyleColors(flip, scheme, true);
        EXPECT_EQ(flip->HeaderHotColorTo(), hotEnd) << style;
        EXPECT_EQ(flip->HeaderStyle(), controls::hsGradient) << style;
        EXPECT_EQ(flip->BorderWidth(), 1) << style;
        EXPECT_EQ(flip->BorderColor(), scheme.FlipPanelBorderColor) << style;
        EXPECT_EQ(flip->HeaderHotBorderColor(), scheme.FlipPanelHeaderHotBorderColor) << style;
        EXPECT_EQ(flip->HeaderFont()->Color(), scheme.FlipPanelHeaderFontColor) << style;
    }
    engine::TStyleColorScheme plain = engine::GetStyleColors(QStringLiteral("Luna"), schemes);
    shell::SetFlipPanelStyleColors(flip, plain, false);
    EXPECT_EQ(flip->HeaderStyle(), controls::hsTopGradient);
    EXPECT_EQ(flip->BorderWidth(), 0);
    EXPECT_EQ(flip->HeaderHotColorTo(), plain.FlipPanelHeaderHotColor);
    EXPECT_EQ(flip->HeaderHotBorderColor(), plain.FlipPanelHeaderHotColor);
    EXPECT_EQ(flip->ToggleTriangleHotColor(), plain.FlipPanelTriangleHotColor);

    auto* header = new controls::TRgHeaderPanel(form);
    header->SetParent(form);
    shell::SetHeaderPanelStyleColors(header, plain);
    EXPECT_EQ(header->Color(), plain.HeaderPanelColor);
    EXPECT_EQ(header->HeaderColor(), plain.HeaderPanelHeaderColor);
    EXPECT_EQ(header->HeaderLineColor(), plain.HeaderPanelBorderColor);

    auto* link = new components::TKwpLinkLabel(form);
    link->SetParent(form);
    shell::SetLinkLabelStyleColors(link, plain);
    EXPECT_EQ(link->FontNormal()->Color(), plain.LinkNormalColor);
    EXPECT_EQ(link->FontHot()->Color(), plain.LinkHotColor);
    EXPECT_EQ(link->FontDisabled()->Color(), plain.LinkDisabledColor);
    EXPECT_EQ(link->FontVisitedNormal()->Color(), plain.LinkVisitedColor);
    EXPECT_EQ(link->FontVisitedHot()->Color(), plain.LinkVisitedHotColor);

    auto* track = new controls::TKWRgTrackBar6(form);
    track->SetParent(form);
    shell::SetTrackBarStyleColors(track, plain);
    EXPECT_EQ(track->ProgressColor(), plain.TrackProgressColor);
    EXPECT_EQ(track->ThumbHotBorderColor(), plain.TrackThumbHotBorderColor);
    EXPECT_EQ(track->TickMarkColor(), plain.TrackTickMarkColor);
    EXPECT_EQ(track->SignsColor(), plain.TrackSignsColor);
}

TEST(StyleColorSetters, TheGridAndEachColumnTakeTheirEntriesUnlessThereAreNoColumns) {
    testing_support::FormHarness h;
    auto* form = h.Create<vcl::TForm>();
    engine::TStyleColorSchemes schemes{};
    engine::InitStyleColorSchemes(schemes);
    const engine::TStyleColorScheme carbon = engine::GetStyleColors(QStringLiteral("Carbon"), schemes);
    auto* grid = new grid::TReportGrid(form);
    grid->SetParent(form);
    const vcl::TColor before = grid->Color();
    shell::SetGridStyleColors(grid, carbon);
    EXPECT_EQ(grid->Color(), before) << "no columns: nothing changes";
    EXPECT_NE(grid->KW_SortDarker(), carbon.GridSortColor);

    for (int i = 0; i < 2; ++i) grid->Columns()->AddColumn(new grid::TRgTextColumn(form));
    shell::SetGridStyleColors(grid, carbon);
    EXPECT_EQ(grid->Color(), carbon.GridColor);
    EXPECT_EQ(grid->GridLinesColor(), carbon.GridLinesColor);
    EXPECT_EQ(grid->SelectionColor(), carbon.GridSelectionColor);
    EXPECT_EQ(grid->KW_SortDarker(), carbon.GridSortColor);
    EXPECT_EQ(grid->KW_CornerBoxBottomBorder(), carbon.GridFooterBorderColor);
    EXPECT_EQ(grid->KW_CornerBoxTopBorder(), carbon.GridHeaderBorderColor);
    for (int i = 0; i < 2; ++i) {
        grid::TRgCustomColumn* column = grid->Columns()->Column(i);
        EXPECT_EQ(column->Color(), carbon.GridCellColor) << i;
        EXPECT_EQ(column->Font()->Color(), carbon.GridFontColor) << i;
        EXPECT_FALSE(column->ParentFont()) << i;
        EXPECT_FALSE(column->Header()->ParentFont()) << i;
        EXPECT_EQ(column->Header()->Font()->Color(), carbon.GridHeaderFontColor) << i;
        EXPECT_EQ(column->Header()->Color(), carbon.GridHeaderColor) << i;
        EXPECT_EQ(column->Footer()->Color(), carbon.GridFooterColor) << i;
    }
}

} // namespace
