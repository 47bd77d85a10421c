// The options window on a real X server with real input: F12 opens it from the main window, the
// arrow keys in the style list choose Carbon, and the main window and the options window repaint in
// that style; both are compared with expected pictures. ctest runs it as shell_xdotool_options.
#include <QDir>
#include <QProcess>

#include "app/engine/Procs.h"
#include "app/shell/FormDirList.h"
#include "app/shell/FormMain.h"
#include "app/shell/FormOptions.h"
#include "app/shell/MainStyle.h"
#include "app/shell/VisualStyles.h"
#include "skins/SkSkins.h"
#include "tests/shell/ScreenPicture.h"
#include "tests/support/TempDir.h"

namespace {

using namespace shell;
using testing_support::FormHarness;

// Real key presses through the X server, then the program handles them.
void XKeys(FormHarness& H, const QStringList& Keys) {
    for (const QString& key : Keys) {
        ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), key}), 0) << key.toStdString();
        for (int i = 0; i < 20; ++i) {
            H.Pump();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    }
}

TEST(OptionsWindowPicture, F12ThenAStyleFromTheListRepaintsTheWindows) {
    if (!shell_test::OnXServer() || !qEnvironmentVariableIsSet("TW_XDOTOOL"))
        GTEST_SKIP() << "needs a real X server and xdotool; ctest runs it as shell_xdotool_options";
    testing_support::TempDir program;
    shell_test::StyledProgram(program);
    StartArgs = QStringList();
    FormHarness h;
    auto* main = h.Create<TFormMain>();
    main->SetBorderStyle(vcl::bsNone);
    auto* options = h.Create<TFormOptions>();
    options->SetBorderStyle(vcl::bsNone);
    h.Create<TFormListFileEdit>();
    ASSERT_TRUE(VisualStyles);
    main->Show();
    h.Pump();
    main->SetFocus();
    h.Pump();
    // Without a window manager the keys go to the window under the pointer: the main window opens where
    // the settings put it, and the options window opens centred on it.
    const vcl::TRect r = main->BoundsRect();
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"),
                                {QStringLiteral("mousemove"), QString::number((r.Left + r.Right) / 2),
                                 QString::number((r.Top + r.Bottom) / 2)}),
              0);
    XKeys(h, {QStringLiteral("F12")});
    ASSERT_TRUE(options->Visible()) << "F12 opened no options window";

    // the style list has the focus after the language list; Down moves its choice item by item
    const int from = options->cbVisualStyles->ItemIndex();
    const int carbon = options->cbVisualStyles->Items()->IndexOf(QStringLiteral("Carbon"));
    ASSERT_GE(carbon, 0);
    options->cbVisualStyles->SetFocus();
    h.Pump();
    QStringList downs;
    for (int i = from; i < carbon; ++i) downs << QStringLiteral("Down");
    XKeys(h, downs);
    EXPECT_EQ(engine::AppParams.StyleName, QStringLiteral("Carbon"));
    EXPECT_EQ(skins::GetSkinManager()->CurrentSkinName(), QStringLiteral("Carbon"));
    shell_test::ComparePicture(h, options, "options-carbon");

    XKeys(h, {QStringLiteral("F12")}); // the key that opened the window closes it
    EXPECT_FALSE(options->Visible());
    shell_test::ComparePicture(h, main, "mainwindow-carbon");

    // and once more, to a light style further down the list
    XKeys(h, {QStringLiteral("F12")});
    ASSERT_TRUE(options->Visible());
    const int luna = options->cbVisualStyles->Items()->IndexOf(QStringLiteral("Luna"));
    ASSERT_GT(luna, carbon);
    options->cbVisualStyles->SetFocus();
    h.Pump();
    downs.clear();
    for (int i = options->cbVisualStyles->ItemIndex(); i < luna; ++i) downs << QStringLiteral("Down");
    XKeys(h, downs);
    EXPECT_EQ(engine::AppParams.StyleName, QStringLiteral("Luna"));
    EXPECT_FALSE(engine::AppParams.DarkStyle);
    XKeys(h, {QStringLiteral("Escape")});
    EXPECT_FALSE(options->Visible());
    shell_test::ComparePicture(h, main, "mainwindow-luna");
    ChangeVisualStyle(QStringLiteral("Windows"));
    VisualStyles.reset();
    engine::SetProgramDirOverride({});
    StartArgs.reset();
}

TEST(OptionsWindowPicture, FolderListEditorWithThreeRows) {
    if (!shell_test::OnXServer()) GTEST_SKIP() << "needs a real X server; ctest runs it as shell_xdotool_options";
    testing_support::TempDir program;
    shell_test::CopyBuiltIcons(program.QPath()); // the toolbar's pictures
    engine::SetProgramDirOverride(program.QPath());
    StartArgs = QStringList();
    FormHarness h;
    h.Create<TFormMain>();
    auto* editor = h.Create<TFormListFileEdit>();
    editor->SetBorderStyle(vcl::bsNone);
    editor->SetBounds(30, 30, 620, 260);
    engine::TListFileArray items = {{true, QStringLiteral("/home/user/Music")}, {false, QStringLiteral("/srv/media/podcasts")}};
    editor->LoadGridData(items, QStringLiteral("/tmp/converted"));
    editor->Show();
    h.Pump();
    shell_test::ComparePicture(h, editor, "folder-list-editor");
    engine::SetProgramDirOverride({});
    StartArgs.reset();
}

} // namespace
