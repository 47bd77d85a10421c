// The progress window on a real X server during a real run of Debian's encoder: while it converts, a
// person's Tab (xdotool) reaches the "Close after conversion" box and Space clears it, so the window
// stays open at the end; the finished window is compared with an expected picture, in the plain look and
// in a dark style. ctest runs it as engine_xdotool_progress; elsewhere it skips.
#include "app/engine/FormProgress.h"
#include "tests/engine/PumpedProgress.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "app/engine/Procs.h"
#include "rtl/Files.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/ScreenPicture.h"
#include "vcl/Themes.h"

namespace {

using engine::String;
using engine_test::PumpedProgress;
using testing_support::FormHarness;

class ProgressWindowPicture : public ::testing::TestWithParam<const char*> {};

TEST_P(ProgressWindowPicture, TabAndSpaceDuringARealRunKeepTheWindowOpen) {
    if (!testing_support::OnXServer())
        GTEST_SKIP() << "needs a real X server; ctest runs it as engine_xdotool_progress";
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        GTEST_SKIP() << "xdotool is missing";
    TW_REQUIRE_TOOL("ffmpeg");
    const String style = QString::fromLatin1(GetParam());

    testing_support::TempDir dir;
    engine::TAppParams params;
    engine::InitAppParams(params);
    params.ffmpeg = testing_support::FindTool(QStringLiteral("ffmpeg"));
    params.IniName = dir.QFile(QStringLiteral("settings.ini"));
    engine::TFileRow row;
    row.Info.FileName = dir.QFile(QStringLiteral("song.flac"));
    QProcess gen;
    gen.start(params.ffmpeg,
              {"-v", "error", "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=8000:duration=20", "-c:a",
               "flac", row.Info.FileName});
    ASSERT_TRUE(gen.waitForFinished(30000) && gen.exitCode() == 0)
        << gen.readAllStandardError().toStdString();
    engine::TEncoderPanel panel;
    engine::TFileRows rows;
    rows.Rows.push_back(row);

    FormHarness h;
    h.Create<vcl::TForm>(); // the main window
    if (style != QLatin1String("Windows") && !vcl::TStyleManager::Style(style))
        vcl::TStyleManager::LoadFromFile(QStringLiteral(TW_STYLES_DIR "/") + style + QStringLiteral(".vsf"));
    ASSERT_TRUE(vcl::TStyleManager::TrySetStyle(style, false));
    engine::InitStyleColorSchemes(engine::StyleColorSchemes); // as the main window does at start
    auto* form = h.Create<PumpedProgress>();
    form->SetBorderStyle(vcl::bsNone); // no window manager frame: the picture is the window alone
    form->SetPosition(vcl::poDesigned);
    form->SetBounds(40, 40, form->Width(), form->Height());
    form->SetStyleColors(style);
    form->Show();
    h.Pump();
    // The keyboard goes where the pointer is (no window manager): over a bare spot of the window.
    const POINT at =
        testing_support::HeadlessApp::ToScreen(form->Handle(), POINT{form->ClientWidth() - 4, 100});
    testing_support::Xdotool(h, {QStringLiteral("mousemove"), QString::number(at.x), QString::number(at.y)});

    engine::TConversionRun run(panel, rows, *form, params);
    run.ErrorOutput = [](const String&) {};
    form->SetRun(&run);
    bool typed = false;
    form->OnPump = [&] {
        if (typed || !run.bConverting || !run.EncoderOutputList.Text().contains(QStringLiteral("time=")))
            return;
        typed = true;
        EXPECT_TRUE(form->chCloseAfterConversion->Checked());
        form->btnAbort->SetFocus();
        h.Pump();
        for (int i = 0; i < 4 && GetFocus() != form->chCloseAfterConversion->Handle(); ++i)
            testing_support::Xdotool(h, {QStringLiteral("key"), QStringLiteral("Tab")});
        ASSERT_EQ(GetFocus(), form->chCloseAfterConversion->Handle()) << "Tab did not reach the box";
        testing_support::Xdotool(h, {QStringLiteral("key"), QStringLiteral("space")});
        EXPECT_FALSE(form->chCloseAfterConversion->Checked()) << "Space did not clear the box";
    };
    const engine::TRunResult result = run.Execute();
    form->OnPump = nullptr;
    h.Pump(); // the run's last texts painted

    EXPECT_TRUE(typed);
    EXPECT_FALSE(result.Aborted);
    EXPECT_EQ(run.ErrorLog.Count, 0) << run.ErrorLog.Lines.Text().toStdString();
    EXPECT_TRUE(QFile::exists(rtl::ChangeFileExt(row.Info.FileName, QStringLiteral(".mp3"))));
    EXPECT_TRUE(form->Visible()) << "the cleared box did not keep the window open";
    EXPECT_EQ(form->pbFile->Position(), 100);
    EXPECT_EQ(form->btnAbort->Caption(), "Close");

    // The temporary paths and the measured speed differ from run to run.
    std::vector<QRect> masked;
    for (vcl::TControl* c : {(vcl::TControl*)form->lblInputFile, (vcl::TControl*)form->lblOutputFile,
                             (vcl::TControl*)form->lblSpeed}) {
        const vcl::TRect r = c->BoundsRect();
        masked.push_back(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
    }
    h.App().SaveScreenshot(form->Handle(), QStringLiteral("progress-xdotool-%1.png").arg(style));
    testing_support::ComparePicture(
        h, form, "tests/engine/expected",
        QStringLiteral("progress-xdotool-%1").arg(style.toLower()).toLatin1().constData(), masked);
    form->SetRun(nullptr);
    vcl::TStyleManager::TrySetStyle(QStringLiteral("Windows"), false);
}

INSTANTIATE_TEST_SUITE_P(Styles, ProgressWindowPicture, ::testing::Values("Windows", "Carbon"));

} // namespace
