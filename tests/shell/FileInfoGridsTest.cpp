// The file information window's two grids, filled from a fixed analysis and a stand-in prober that
// prints a committed report: the stream lines and the prober tree in their class colours, read back
// from the pixels, with the tree's "Disposition" folded.
#include "app/shell/FormFileInfo.h"

#include "app/engine/Procs.h"
#include "app/engine/StyleColors.h"
#include "app/shell/AppStrings.h"
#include "app/shell/FormMain.h"
#include "app/shell/FormOptions.h"

#include <gtest/gtest.h>

#include "tests/support/windows/FormHarness.h"
#include "tests/support/windows/ScreenPicture.h"
#include "tests/support/TempDir.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

namespace {

using testing_support::FormHarness;
using testing_support::TempDir;

struct TFileInfoGrids {
    TempDir Program;
    FormHarness Harness;
    TempDir Dir;
    engine::TAppParams Params;
    shell::TFormFileInfo* Form = nullptr;

    TFileInfoGrids() {
        // The windows the program creates before this one: the main window and the options window
        // keep the plain style's grid and panel colours from their design.
        engine::SetProgramDirOverride(Program.QPath());
        shell::StartArgs = QStringList();
        Harness.Create<shell::TFormMain>();
        Harness.Create<shell::TFormOptions>();
        Params.IniName = Dir.QFile(QStringLiteral("settings.ini"));
        Params.ffprobe = qEnvironmentVariable("TW_SOURCE_DIR") + QStringLiteral("/tests/shell/data/fake-ffprobe.sh");
        Form = Harness.Create<shell::TFormFileInfo>();
        Form->Params = &Params;
        Form->SetBorderStyle(vcl::bsNone); // the picture is the window alone
        Form->SetPosition(vcl::poDesigned);
        Form->SetBounds(20, 20, Form->Width(), Form->Height());
        engine::TVideoFileInfo Info;
        Info.SetFileName(Dir.Write(QStringLiteral("clip.mkv"), QByteArray("stand-in media")));
        Info.FileSize = 14;
        const char* Lines[] = {"Stream #0:0: Video: h264 (High), yuv420p, 640x360",
                               "Stream #0:1(eng): Audio: aac (LC), 48000 Hz, stereo, fltp",
                               "Stream #0:2: Subtitle: subrip"};
        for (size_t i = 0; i < 3; ++i) Info.StreamsStr[i] = {true, QString::fromLatin1(Lines[i])};
        Form->UpdateList(Info, 1);
        // The window as the program shows it: English texts, the plain style's colours, and a fixed
        // folder in place of the temporary one.
        static const shell::TAppStrings English;
        Form->SetLang(English);
        engine::InitStyleColorSchemes(engine::StyleColorSchemes);
        Form->SetStyleColors(QStringLiteral("Windows"));
        Form->lblDirectory->SetCaption(QStringLiteral("/media/clips"));
        Form->Show();
        Harness.Pump();
    }
    ~TFileInfoGrids() {
        engine::SetProgramDirOverride({});
        shell::StartArgs.reset();
    }
    // The prober tree, its page shown.
    grid::TReportGrid* ProberTree() {
        Form->pc->SetActivePage(Form->tsFFprobe);
        Harness.Pump();
        return Form->ngDetails;
    }
    // A cell's colour as the grid paints it (away from its text, at the right end).
    vcl::TColor Cell(grid::TReportGrid* Grid, int ACol, int ARow) {
        vcl::TBitmap Bmp;
        Bmp.SetPixelFormat(vcl::pf24bit);
        Bmp.SetSize(Grid->Width(), Grid->Height());
        Grid->PaintTo(Bmp.Canvas()->Handle(), 0, 0);
        const vcl::TRect R = Grid->GetCellRect(ACol, ARow);
        return Bmp.Canvas()->Pixels(R.Right - 4, (R.Top + R.Bottom) / 2);
    }
};

// The row of the prober tree whose first cell reads Text; -1 when none does.
int TreeRow(grid::TReportGrid* Tree, const QString& Text) {
    for (int r = 0; r < Tree->RowCount(); ++r)
        if (Tree->GetCell(0, r)->AsString() == Text) return r;
    return -1;
}

} // namespace

TEST(FileInfoGrids, StreamLinesAndTheProberTreeInTheirClassColours) {
    if (qEnvironmentVariable("TW_SOURCE_DIR").isEmpty()) GTEST_SKIP() << "TW_SOURCE_DIR (set by CTest) is not known";
    TFileInfoGrids t;
    grid::TReportGrid* Lines = t.Form->ngFFmpeg;
    ASSERT_EQ(Lines->RowCount(), 3);
    Lines->SetSelectedRow(-1);
    t.Harness.Pump();
    EXPECT_EQ(t.Cell(Lines, 1, 0), shell::FileInfoClassColor(shell::ficVideo, false));
    EXPECT_EQ(t.Cell(Lines, 1, 1), shell::FileInfoClassColor(shell::ficAudio, false));
    EXPECT_EQ(t.Cell(Lines, 1, 2), shell::FileInfoClassColor(shell::ficSubtitle, false));

    t.Form->pc->SetActivePage(t.Form->tsFFprobe);
    t.Harness.Pump();
    grid::TReportGrid* Tree = t.Form->ngDetails;
    int Audio = -1, Disposition = -1;
    for (int r = 0; r < Tree->RowCount(); ++r) {
        const QString Text = Tree->GetCell(0, r)->AsString();
        if (Text == QStringLiteral("Stream 2 - audio - aac")) Audio = r;
        if (Audio >= 0 && Disposition < 0 && Text == QStringLiteral("Disposition")) Disposition = r;
    }
    ASSERT_GE(Audio, 0);
    ASSERT_GT(Disposition, Audio);
    EXPECT_FALSE(Tree->GetExpanded(Disposition));
    EXPECT_FALSE(Tree->GetRowVisible(Disposition + 1)); // "default: 1" folded away
    if (Tree->SelectedRow() != Audio) {
        EXPECT_EQ(t.Cell(Tree, 0, Audio), shell::FileInfoClassColor(shell::ficAudio, false));
    }
    // A line of no class in the grid's own colour, the "General info" panel in the plain style's.
    const int Streams = TreeRow(Tree, QStringLiteral("STREAMS (3)"));
    ASSERT_GE(Streams, 0);
    EXPECT_EQ(t.Cell(Tree, 0, Streams), vcl::ColorToRGB(Tree->Color()));
    vcl::TBitmap Panel;
    Panel.SetPixelFormat(vcl::pf24bit);
    Panel.SetSize(t.Form->pnGeneralInfo->Width(), t.Form->pnGeneralInfo->Height());
    t.Form->pnGeneralInfo->PaintTo(Panel.Canvas()->Handle(), 0, 0);
    const vcl::TColor Plain = engine::StyleColorSchemes[engine::WindowsSchemeIndex].HeaderPanelColor;
    EXPECT_NE(Plain, vcl::clBlack);
    EXPECT_EQ(Panel.Canvas()->Pixels(Panel.Width() - 20, Panel.Height() - 20), vcl::ColorToRGB(Plain));
}

namespace {

// The middle of the expand button of a prober tree row, in the tree's client coordinates.
POINT TreeButton(TFileInfoGrids& t, int Row) {
    grid::TReportGrid* Tree = t.Form->ngDetails;
    const vcl::TRect Cell = Tree->GetCellRect(0, Row);
    const int Button = Tree->GetRow(Row)->Level() * grid::TTreeColumnDisplay::LevelIndent + t.Form->colTree->Padding() +
                       2 + grid::TTreeColumnDisplay::ButtonSize / 2;
    return POINT{Cell.Left + Button, (Cell.Top + Cell.Bottom) / 2};
}

} // namespace

// A click on the button of "Disposition" in the prober tree unfolds its lines; a second folds them.
TEST(FileInfoGrids, TheProberTreeExpandsAndCollapsesByMouse) {
    if (qEnvironmentVariable("TW_SOURCE_DIR").isEmpty()) GTEST_SKIP() << "TW_SOURCE_DIR (set by CTest) is not known";
    TFileInfoGrids t;
    grid::TReportGrid* Tree = t.ProberTree();
    const int Disposition = TreeRow(Tree, QStringLiteral("Disposition"));
    ASSERT_GE(Disposition, 0);
    Tree->ScrollToRow(Disposition);
    t.Harness.Pump();
    ASSERT_FALSE(Tree->GetExpanded(Disposition));
    const POINT On = TreeButton(t, Disposition);
    t.Harness.App().Click(Tree->Handle(), On);
    t.Harness.Advance(std::chrono::milliseconds(1000));
    EXPECT_TRUE(Tree->GetExpanded(Disposition));
    EXPECT_TRUE(Tree->GetRowVisible(Disposition + 1));
    t.Harness.App().Click(Tree->Handle(), On);
    t.Harness.Advance(std::chrono::milliseconds(1000));
    EXPECT_FALSE(Tree->GetExpanded(Disposition));
    EXPECT_FALSE(Tree->GetRowVisible(Disposition + 1));
}

// From the keyboard: Down walks the tree to "Disposition", "+" unfolds its lines and "-" folds them.
TEST(FileInfoGrids, TheProberTreeOpensAndClosesByKeys) {
    if (qEnvironmentVariable("TW_SOURCE_DIR").isEmpty()) GTEST_SKIP() << "TW_SOURCE_DIR (set by CTest) is not known";
    TFileInfoGrids t;
    grid::TReportGrid* Tree = t.ProberTree();
    const int Disposition = TreeRow(Tree, QStringLiteral("Disposition"));
    ASSERT_GT(Disposition, 0);
    Tree->SetFocus();
    Tree->SetSelectedRow(0);
    t.Harness.Pump();
    for (int Step = 0; Step < Disposition + 5 && Tree->SelectedRow() != Disposition; ++Step)
        t.Harness.Keys(VK_DOWN);
    ASSERT_EQ(Tree->SelectedRow(), Disposition) << "the folded lines are skipped on the way";
    ASSERT_FALSE(Tree->GetExpanded(Disposition));
    t.Harness.Type(Tree, QStringLiteral("+"));
    EXPECT_TRUE(Tree->GetExpanded(Disposition));
    EXPECT_TRUE(Tree->GetRowVisible(Disposition + 1));
    t.Harness.Keys(VK_DOWN); // into the unfolded lines
    EXPECT_EQ(Tree->SelectedRow(), Disposition + 1);
    t.Harness.Keys(VK_UP);
    t.Harness.Type(Tree, QStringLiteral("-"));
    EXPECT_FALSE(Tree->GetExpanded(Disposition));
    EXPECT_FALSE(Tree->GetRowVisible(Disposition + 1));
}

// On a real X server a person clicks the button of "Disposition" (xdotool, the real clock): the tree
// unfolds and the window shows as the expected picture.
TEST(FileInfoPicture, AClickOnTheProberTreeButtonUnfoldsIt) {
    if (!testing_support::OnXServer()) GTEST_SKIP() << "needs a real X server; ctest runs it as shell_xvfb_fileinfo";
    const QString Xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (Xdotool.isEmpty()) GTEST_SKIP() << "xdotool is missing";
    TFileInfoGrids t;
    grid::TReportGrid* Tree = t.ProberTree();
    const int Disposition = TreeRow(Tree, QStringLiteral("Disposition"));
    ASSERT_GE(Disposition, 0);
    Tree->ScrollToRow(Disposition);
    TwUseRealClock();
    const auto RunFor = [&](int Ms) {
        QElapsedTimer T;
        T.start();
        while (T.elapsed() < Ms) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            t.Harness.Pump();
        }
    };
    RunFor(300);
    const POINT On = testing_support::HeadlessApp::ToScreen(Tree->Handle(), TreeButton(t, Disposition));
    ASSERT_EQ(QProcess::execute(Xdotool, {QStringLiteral("mousemove"), QString::number(On.x), QString::number(On.y)}), 0);
    RunFor(100);
    ASSERT_EQ(QProcess::execute(Xdotool, {QStringLiteral("click"), QStringLiteral("1")}), 0);
    RunFor(300);
    EXPECT_TRUE(Tree->GetExpanded(Disposition));
    // Away from the window, so no hover shows in the picture.
    QProcess::execute(Xdotool, {QStringLiteral("mousemove"), QStringLiteral("1200"), QStringLiteral("1000")});
    RunFor(300);
    testing_support::ComparePicture(t.Harness, t.Form, "tests/shell/expected", "fileinfo-tree-unfolded");
}

// The basic page on a real X server: the stream lines in their class colours under the general values.
TEST(FileInfoPicture, TheStreamLinesInTheirClassColours) {
    if (!testing_support::OnXServer()) GTEST_SKIP() << "needs a real X server; ctest runs it as shell_xvfb_fileinfo";
    TFileInfoGrids t;
    t.Form->ngFFmpeg->SetSelectedRow(-1);
    t.Harness.Pump();
    testing_support::ComparePicture(t.Harness, t.Form, "tests/shell/expected", "fileinfo-stream-lines");
}
