// The main window and the visual style: the built-in skins compiled in and registered, the skin each
// style selects, the colours and borders of the main window's parts, the dimmed pictures, and the
// template button whose whole look the secondary windows' buttons copy under the system style.
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "app/engine/StyleColors.h"
#include "app/shell/FormErrors.h"
#include "app/shell/MainStyle.h"
#include "app/shell/VisualStyles.h"
#include "base/Container.h"
#include "components/KWPlusSplitter.h"
#include "components/PngImageList.h"
#include "controls/FlipPanel.h"
#include "controls/TrackBar.h"
#include "skins/SkSkins.h"
#include "tests/shell/ScreenPicture.h"
#include "tests/shell/ShellWindows.h"
#include "vcl/ExtCtrls.h"
#include "win/kernel32/winres.h"

namespace {

using namespace shell;
using shell_test::ShellWindows;
using Style_ = ShellWindows;

const char* const SkinNames[] = {"main", "Carbon", "Auric", "Charcoal", "Cobalt", "Iceberg", "Luna", "Silver", "Slate", "TabletDark"};
const char* const SkinFiles[] = {"main", "carbon", "auric", "charcoal", "cobalt", "iceberg", "luna", "silver", "slate", "tabletdark"};

QByteArray Resource(const char16_t* Name) {
    const HRSRC res = FindResourceW(nullptr, reinterpret_cast<LPCWSTR>(Name), RT_RCDATA);
    if (!res) return {};
    return QByteArray(static_cast<const char*>(LockResource(LoadResource(nullptr, res))), SizeofResource(nullptr, res));
}

void ForgetBuiltInSkins() {
    skins::TSkSkinsList* list = skins::GetSkinManager()->SkinsList();
    for (const char* name : SkinNames) {
        const int i = list->IndexOf(QString::fromLatin1(name));
        if (i >= 0) list->Delete(i);
    }
}

TEST(BuiltInSkins, EachContainerGivesBackItsSkinTextByteForByte) {
    for (size_t i = 0; i < BuiltInSkinResources.size(); ++i) {
        const QByteArray packed = Resource(BuiltInSkinResources[i]);
        ASSERT_FALSE(packed.isEmpty()) << SkinFiles[i];
        rtl::TMemoryStream stream;
        stream.WriteBuffer(packed.constData(), packed.size());
        ASSERT_EQ(base::UnpackContainerInPlace(stream), 0) << SkinFiles[i];
        const QByteArray text(static_cast<const char*>(stream.Memory()), qsizetype(stream.Size()));
        QFile source(QStringLiteral(TW_SKIN_TEXTS_DIR "/%1.skin").arg(QString::fromLatin1(SkinFiles[i])));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        EXPECT_EQ(text, source.readAll()) << SkinFiles[i];
    }
}

TEST_F(Style_, TheTenSkinsRegisterInOrderABrokenOneIsSkippedAndMainIsSelected) {
    skins::TSkSkinManager* manager = skins::GetSkinManager();
    manager->SetSkin(QStringLiteral("Carbon"));
    ForgetBuiltInSkins();
    PrepareSkins([](const String& Name, QByteArray& Bytes) {
        Bytes = Resource(reinterpret_cast<const char16_t*>(Name.utf16()));
        if (Name == QStringLiteral("SKAU")) Bytes.chop(5);                 // not a container any more
        if (Name == QStringLiteral("SKSI")) Bytes[Bytes.size() - 3] ^= 0x5A; // a payload that does not inflate
        return Name != QStringLiteral("SKLU");                             // missing
    });
    QStringList order;
    for (int i = 0; i < manager->SkinsList()->Count(); ++i) order << manager->SkinsList()->Strings(i);
    QStringList expected;
    for (const char* name : SkinNames) expected << QString::fromLatin1(name);
    expected.removeAll(QStringLiteral("Auric"));
    expected.removeAll(QStringLiteral("Silver"));
    expected.removeAll(QStringLiteral("Luna"));
    EXPECT_EQ(order.mid(order.indexOf(QStringLiteral("main"))), expected);
    EXPECT_EQ(manager->CurrentSkinName(), QStringLiteral("main"));
    ForgetBuiltInSkins();
    PrepareSkins();
}

// Stand-ins for the settings column's parts, the separator lines included.
struct StyleControls {
    explicit StyleControls(TFormMain* Main) {
        for (auto& fp : C.FlipPanels) {
            fp = new controls::TKWRgFlipPanel(Main);
            fp->SetParent(Main);
        }
        C.pnNav = new components::TKwpPanel(Main);
        C.pnNav->SetParent(Main);
        for (auto& line : C.SeparatorLines) {
            line = new vcl::TShape(Main);
            line->SetParent(Main);
        }
        C.tbVolume = new controls::TKWRgTrackBar6(Main);
        C.tbVolume->SetParent(Main);
        C.spMain = new components::TKWPlusSplitter(Main);
        C.spMain->SetParent(Main);
        for (auto& b : C.Buttons) {
            b = new components::TKwpPngButton(Main);
            b->SetParent(Main);
        }
        Main->StyleControls = C;
    }
    TMainStyleControls C;
};

TEST_F(Style_, EachStyleSelectsItsSkinBordersAndFill) {
    StyleControls parts(Main);
    const TMainStyleControls& c = parts.C;
    struct Case {
        const char* style;
        const char* skin;
        bool lines;
        controls::TKWRgTrackBarProgressFillMode fill;
    } cases[] = {
        {"Windows", "main", true, controls::pfmFullWithBorder},
        {"Carbon", "Carbon", false, controls::pfmFullWithBorder},
        {"Glossy", "Charcoal", false, controls::pfmFullWithBorder},
        {"Jet Black", "Charcoal", false, controls::pfmFullWithBorder},
        {"Auric", "Auric", false, controls::pfmFull},
        {"Cobalt XEMedia", "Cobalt", false, controls::pfmFull},
        {"Luna Mod", "Luna", false, controls::pfmFullWithBorder},
        {"Tablet Dark", "TabletDark", false, controls::pfmFullWithBorder},
        {"Nonesuch", "TabletDark", false, controls::pfmFullWithBorder}, // the skin stays
    };
    for (const Case& k : cases) {
        engine::AppParams.StyleName = QString::fromLatin1(k.style);
        Main->SetStyleColors(engine::AppParams.StyleName);
        EXPECT_EQ(skins::GetSkinManager()->CurrentSkinName(), QString::fromLatin1(k.skin)) << k.style;
        EXPECT_EQ(c.tbVolume->ProgressFillMode(), k.fill) << k.style;
        for (vcl::TShape* line : c.SeparatorLines) EXPECT_EQ(line->Visible(), k.lines) << k.style;
        const engine::TStyleColorScheme scheme = engine::GetStyleColors(engine::AppParams.StyleName);
        const vcl::TColor border = Main->pnMain->Appearance()->Borders()->Left()->Pen()->Color();
        EXPECT_EQ(border, k.lines ? vcl::TColor(0xB7B7B7) : scheme.GridHeaderBorderColor) << k.style;
        EXPECT_EQ(c.pnNav->Appearance()->Borders()->Left()->Pen()->Color(), border) << k.style;
        EXPECT_EQ(Main->ng->Color(), scheme.GridColor) << k.style;
        EXPECT_EQ(Main->ng->Columns()->Item(colSize)->Footer()->Color(), scheme.GridNumberFooterColor) << k.style;
        EXPECT_EQ(c.spMain->Appearance()->ColorHot(), scheme.SplitterHotColor) << k.style;
        EXPECT_EQ(engine::AppParams.DarkStyle, IsDarkStyle(engine::AppParams.StyleName)) << k.style;
        const components::TFlatHint* hint = Main->AppHint;
        EXPECT_EQ(hint->ColorArrowBackground(), scheme.GridIndicatorHotColor) << k.style;
        EXPECT_EQ(hint->ColorBorder(), scheme.GridIndicatorHotColor) << k.style;
        EXPECT_EQ(hint->ColorArrow(), scheme.GridIndicatorHotTriangleColor) << k.style;
        EXPECT_EQ(hint->ColorBackground(), scheme.GridColor) << k.style;
        EXPECT_EQ(hint->Font()->Color(), scheme.GridFontColor) << k.style;
    }
    // the hints are the flat ones, shown for 10 s
    EXPECT_EQ(vcl::HintWindowClass, &vcl::MakeHintWindow<components::TFlatHintWindow>);
    EXPECT_EQ(vcl::Application->HintHidePause(), 10000);
    // an unknown name colours with the plain style's scheme
    EXPECT_EQ(Main->ng->Color(), engine::StyleColorSchemes[engine::WindowsSchemeIndex].GridColor);
    engine::AppParams.StyleName = QStringLiteral("Windows");
    Main->SetStyleColors(engine::AppParams.StyleName);
}

TEST_F(Style_, DarkStylesTakeTheDimmedPicturesIndexForIndex) {
    auto png = [](vcl::TPngImage& p, uint8_t Alpha) {
        p.CreateBlank(vcl::COLOR_RGBALPHA, 8, 16, 16);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                p.SetPixels(x, y, 0x3366CC);
                p.AlphaScanline(y)[x] = uint8_t(x == 0 ? 0 : x == 1 ? 1 : Alpha);
            }
    };
    Main->pilMain_Light->Clear(); // the bars' own pictures are not wanted here
    for (uint8_t alpha : {uint8_t(255), uint8_t(128), uint8_t(3)}) {
        vcl::TPngImage p;
        png(p, alpha);
        Main->pilMain_Light->AddPng(&p);
    }
    PrepareImageList_Dark(Main->pilMain_Light, Main->pilMain_Dark);
    ASSERT_EQ(Main->pilMain_Dark->Count(), 3);
    const uint8_t expected[] = {190, 96, 2}; // alpha / 256 x 191, rounded (95.5 to even)
    for (int i = 0; i < 3; ++i) {
        vcl::TPngImage* d = Main->pilMain_Dark->PngImages()->GetItem(i)->PngImage();
        EXPECT_EQ(d->AlphaScanline(5)[8], expected[i]) << i;
        EXPECT_EQ(d->AlphaScanline(5)[0], 0);
        EXPECT_EQ(d->AlphaScanline(5)[1], 1); // 0.75 rounds up
        EXPECT_EQ(d->Pixels(8, 5), vcl::TColor(0x3366CC));
    }
    // a second reader of the dimmed pictures
    const QString pngcheck = QStandardPaths::findExecutable(QStringLiteral("pngcheck"));
    if (!pngcheck.isEmpty()) {
        const QString file = Dir.QFile("dimmed.png");
        Main->pilMain_Dark->PngImages()->GetItem(1)->PngImage()->SaveToFile(file);
        QProcess check;
        check.start(pngcheck, {QStringLiteral("-q"), file});
        ASSERT_TRUE(check.waitForFinished(10000));
        EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
    }
    PrepareImageList_Dark(Main->pilMain_Light, Main->pilMain_Dark); // made again, not added twice
    EXPECT_EQ(Main->pilMain_Dark->Count(), 3);

    for (const char* style : {"Carbon", "Luna", "Charcoal Dark Slate", "Windows"}) {
        engine::AppParams.StyleName = QString::fromLatin1(style);
        Main->SetStyleColors(engine::AppParams.StyleName);
        const bool dark = IsDarkStyle(engine::AppParams.StyleName);
        EXPECT_EQ(Main->ActivePictures, dark ? Main->pilMain_Dark : Main->pilMain_Light) << style;
        EXPECT_EQ(Main->ActiveNavPictures, dark ? Main->pilNav_LightIcons : Main->pilNav_DarkIcons) << style;
        EXPECT_EQ(Main->ActivePictures->Count(), 3);
    }
}

// The settings column the window builds takes the style itself, with no stand-ins.
TEST_F(Style_, AStyleSwitchReachesTheSettingsColumnsOwnControls) {
    ChangeVisualStyle(QStringLiteral("Auric"));
    const engine::TStyleColorScheme scheme = engine::GetStyleColors(QStringLiteral("Auric"));
    for (controls::TKWRgFlipPanel* fp : {Main->fpOutput, Main->fpProfile, Main->fpAudio, Main->fpAdditional, Main->fpTag}) {
        EXPECT_EQ(fp->Color(), scheme.FlipPanelColor) << fp->Caption().toStdString();
        EXPECT_EQ(fp->HeaderStyle(), controls::hsGradient) << fp->Caption().toStdString();
    }
    EXPECT_EQ(Main->tbAudioVolume->ProgressFillMode(), controls::pfmFull);
    EXPECT_EQ(Main->tbAudioVolume->Color(), scheme.FlipPanelColor);
    EXPECT_EQ(Main->spMain->Appearance()->ColorHot(), scheme.SplitterHotColor);
    EXPECT_EQ(Main->pnNav->Appearance()->Borders()->Left()->Pen()->Color(), scheme.GridHeaderBorderColor);

    Main->btnT->Appearance()->Normal()->SetColor(0x123456);
    ChangeVisualStyle(QStringLiteral("Windows"));
    EXPECT_EQ(Main->tbAudioVolume->ProgressFillMode(), controls::pfmFullWithBorder);
    EXPECT_EQ(Main->fpTag->HeaderStyle(), controls::hsTopGradient);
    for (components::TKwpPngButton* b : {Main->btnBrowseOutDir, Main->btnEditOutputDirList, Main->btnTagCopy, Main->btnTagPaste,
                                         Main->btnTagClear, Main->btnTagFileName})
        EXPECT_EQ(b->Appearance()->Normal()->Color(), vcl::TColor(0x123456)) << b->Name().toStdString();
    EXPECT_EQ(Main->pnNav->Appearance()->Borders()->Left()->Pen()->Color(), vcl::TColor(0xB7B7B7));
}

// The profile box is owner-drawn in the style's colours: after a switch it shows what filling it afresh
// shows, its item and gradient included.
TEST_F(Style_, AStyleSwitchRepaintsTheProfileBoxWithItsItem) {
    Main->SetBounds(20, 20, 760, 360);
    Main->Show();
    H->Pump();
    const auto box = [&] { return H->App().Grab(Main->cbProfileNew->Handle()); };
    for (const char* style : {"Carbon", "Luna", "Windows"}) {
        SCOPED_TRACE(style);
        ChangeVisualStyle(QString::fromLatin1(style));
        H->Pump();
        const QImage switched = box();
        Main->GetProfiles();
        H->Pump();
        EXPECT_TRUE(switched == box());
    }
}

// Under the system style every window's buttons draw the main window's template: its colours and its
// fonts, in every state.
TEST_F(Style_, TheButtonsOfEveryWindowCopyTheWholeTemplate) {
    StyleControls parts(Main);
    auto* errors = H->Create<TFormErrors>();
    errors->TemplateButton = Main->btnT;
    components::TKwpButtonAppearance* t = Main->btnT->Appearance();
    t->SetDefaultDrawing(false);
    t->Normal()->SetColor(0x123456);
    t->Normal()->Font()->SetName(QStringLiteral("DejaVu Serif"));
    t->Normal()->Font()->SetSize(13);
    t->Hot()->SetColor(0x654321);
    t->Hot()->Border()->SetColor(0x00FF00);
    t->Down()->Font()->SetColor(0x0000FF);

    engine::AppParams.StyleName = QStringLiteral("Windows");
    ChangeVisualStyle(engine::AppParams.StyleName);
    errors->SetStyleColors(engine::AppParams.StyleName);
    std::vector<components::TKwpPngButton*> buttons = {Options->btnOK, Options->btnCreateShortcutOnDesktop, Editor->btnOk,
                                                       Editor->btnCancel, errors->btnClose};
    buttons.insert(buttons.end(), parts.C.Buttons.begin(), parts.C.Buttons.end());
    for (components::TKwpPngButton* b : buttons) {
        components::TKwpButtonAppearance* a = b->Appearance();
        EXPECT_FALSE(a->DefaultDrawing()) << b->Caption().toStdString();
        EXPECT_EQ(a->Normal()->Color(), vcl::TColor(0x123456)) << b->Caption().toStdString();
        EXPECT_EQ(a->Normal()->Font()->Name(), QStringLiteral("DejaVu Serif")) << b->Caption().toStdString();
        EXPECT_EQ(a->Normal()->Font()->Size(), 13);
        EXPECT_EQ(a->Hot()->Color(), vcl::TColor(0x654321));
        EXPECT_EQ(a->Hot()->Border()->Color(), vcl::TColor(0x00FF00));
        EXPECT_EQ(a->Down()->Font()->Color(), vcl::TColor(0x0000FF));
    }
    // another style gives each button the style's own look instead
    engine::AppParams.StyleName = QStringLiteral("Auric Mod");
    ChangeVisualStyle(engine::AppParams.StyleName);
    EXPECT_NE(Editor->btnOk->Appearance()->Normal()->Color(), vcl::TColor(0x123456));
    ChangeVisualStyle(QStringLiteral("Windows"));
}

// The main window on a real X server under each built-in skin, one window switched from style to style,
// against a picture per skin.
TEST(MainWindowPicture, OnePerBuiltInSkin) {
    if (!shell_test::OnXServer()) GTEST_SKIP() << "needs a real X server; ctest runs it as shell_xvfb_screenshot";
    testing_support::TempDir program;
    shell_test::StyledProgram(program);
    StartArgs = QStringList();
    testing_support::FormHarness h;
    auto* w = h.Create<TFormMain>();
    w->SetBorderStyle(vcl::bsNone); // the picture is the window alone
    ASSERT_TRUE(VisualStyles);
    w->Show();
    h.Pump();
    // A style for each skin, in the skins' order.
    const char* const styles[] = {"Windows", "Carbon", "Auric", "Charcoal Dark Slate", "Cobalt XEMedia",
                                  "Iceberg Classico", "Luna", "Silver", "Slate Classico", "Tablet Dark"};
    static_assert(std::size(styles) == std::size(SkinFiles));
    for (size_t i = 0; i < std::size(styles); ++i) {
        SCOPED_TRACE(styles[i]);
        ChangeVisualStyle(QString::fromLatin1(styles[i]));
        ASSERT_EQ(skins::GetSkinManager()->CurrentSkinName(), QString::fromLatin1(SkinNames[i]));
        h.Pump();
        shell_test::ComparePicture(h, w, ("mainwindow-skin-" + std::string(SkinFiles[i])).c_str());
    }
    ChangeVisualStyle(QStringLiteral("Windows"));
    VisualStyles.reset();
    engine::SetProgramDirOverride({});
    StartArgs.reset();
}

} // namespace
