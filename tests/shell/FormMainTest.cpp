// The main window headless: start-up order, closing (refused while converting, waiting for an add loop,
// -AUTOCLOSE), the settings file, adding files and chapter rows, the list's cells, footer and actions,
// the deferred row refresh, and Convert through the window with the stand-in encoder.
#include "app/shell/FormMain.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/engine/ConRun.h"
#include "app/engine/Procs.h"
#include "app/engine/Profiles.h"
#include "app/shell/AppStrings.h"
#include "app/shell/FormErrors.h"
#include "base/MemIniFile.h"
#include "rtl/Encoding.h"
#include "rtl/Files.h"
#include "tests/shell/ScreenPicture.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/Peers.h"
#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/FormHarness.h"
#include "win/comdlg32/commdlg.h"
#include "win/kernel32/winbase.h"

namespace {

using namespace shell;
using testing_support::FormHarness;
using testing_support::TempDir;

// The program's folder is a temporary one, so the settings file and profiles are the test's own.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        engine::SetProgramDirOverride(Program.QPath());
        engine::ForgetMissingTools();
    }
    void TearDown() override {
        H.reset();
        engine::SetProgramDirOverride({});
        StartArgs.reset();
        FormProgress = nullptr;
        FormErrors = nullptr;
        PowerOffWindows = nullptr;
        bConverting = false;
    }

    TFormMain* Create(const QStringList& Args = {}) {
        StartArgs = Args;
        H = std::make_unique<FormHarness>();
        TFormMain* w = H->Create<TFormMain>();
        if (RealAnalysis) return w;
        // Rows from fixed facts: no tools run.
        w->AnalyseForRow = [this](const String& FileName, engine::TVideoFileInfo& Info, engine::TTagRec& Tags) {
            ++Analysed;
            if (OnAnalyse) OnAnalyse(FileName);
            Info.Duration = 60000;
            Info.MenuExists = Chapters > 0;
            Info.NumberOfAudioStreams = 1;
            Info.AudioStreams[0] = Audio;
            Info.NumberOfVideoStreams = WithVideo ? 1 : 0;
            Info.VideoStreams[0].Codec = QStringLiteral("VP9");
            Info.VideoStreams[0].Bitrate = 1250;
            Info.VideoStreams[0].Width = 1920;
            Info.VideoStreams[0].Height = 1080;
            Tags.Title = QStringLiteral("A title");
            Tags.TrackNo = QStringLiteral("3");
            Tags.TrackCount = QStringLiteral("12");
        };
        w->ReadChapters = [this](const String&, engine::TVideoFileInfo& Info) {
            Info.ChapterCount = Chapters;
            for (int i = 0; i < std::min(Chapters, engine::MaxChapters); ++i) {
                engine::TMediaChapter& c = Info.Chapters[size_t(i)];
                c.Exists = true;
                c.Title = QStringLiteral("Part %1").arg(i + 1);
                c.StartTimeMs = i * 1000;
                c.EndTimeMs = (i + 1) * 1000;
                c.DurationMs = 1000;
            }
        };
        w->AnalyseSelected = [this](const String& FileName) {
            Selected << FileName;
            return engine::TVideoFileInfo();
        };
        return w;
    }
    QString Media(const QString& Name, const QByteArray& Bytes = QByteArray(1000, 'm')) {
        QDir(Dir.QPath()).mkpath(QFileInfo(Name).path());
        return Dir.Write(Name, Bytes);
    }
    QString Cell(TFormMain* W, int Col, int Row) { return W->ng->GetCell(Col, Row)->AsString(); }
    QString Shown(TFormMain* W, int Col, int Row) { return W->ng->GetDrawText(Col, Row); }
    void WriteIni(const QByteArray& Text) { testing_support::WriteFileBytes(Program.QFile("TunewrightApp.ini"), Text); }

    TempDir Program, Dir;
    std::unique_ptr<FormHarness> H;
    int Analysed = 0, Chapters = 0;
    bool WithVideo = false;
    bool RealAnalysis = false; // the window's own analysis through the real tools
    engine::TAudioStreamInfo Audio = [] {
        engine::TAudioStreamInfo a;
        a.Exists = true;
        a.Codec = QStringLiteral("AAC");
        a.Bitrate = 128;
        a.BitrateMode = QStringLiteral("VBR");
        a.Channels = 2;
        a.SamplingRate = 48000;
        a.StreamSize = 960000;
        return a;
    }();
    std::function<void(const String&)> OnAnalyse;
    QStringList Selected;
};

// ---- adding ----------------------------------------------------------------------------------------

TEST_F(MainWindow, AddingAcceptsByExtensionExactPathAndExistence) {
    TFormMain* w = Create();
    const QString webm = Media("a.webm");
    const QString upper = Media("A.webm");
    const QString mp3 = Media("song.mp3");
    QDir(Dir.QPath()).mkpath("folder.webm");
    const QString blanks = Media(" blank name .webm");
    struct Case {
        QString file;
        bool acceptAll;
        TAddResult result;
    } cases[] = {
        {webm, false, arAdded},
        {webm, false, arListed},
        {Dir.QFile("sub/../a.webm"), false, arListed}, // the same file by another spelling
        {upper, false, arAdded},                        // another file here
        {mp3, false, arNotAccepted},
        {mp3, true, arAdded},
        {Dir.QFile("folder.webm"), false, arMissing},
        {Dir.QFile("gone.webm"), false, arMissing},
        {blanks, false, arAdded},
    };
    for (const Case& c : cases) {
        engine::AppParams.AcceptAllMediaFiles = c.acceptAll;
        EXPECT_EQ(w->AddToList(c.file, true), c.result) << c.file.toStdString();
    }
    ASSERT_EQ(w->ng->RowCount(), 4);
    // The outer blanks stay: the row names the file that exists.
    EXPECT_EQ(w->GetNgFullFileName(3), blanks);
    EXPECT_EQ(Cell(w, colFileName, 3), " blank name .webm");
}

TEST_F(MainWindow, ARowCarriesTheAnalysisTagsAndTexts) {
    WithVideo = true;
    TFormMain* w = Create();
    const QString f = Media("clip.webm", QByteArray(4321, 'x'));
    ASSERT_EQ(w->AddToList(f, true), arAdded);
    EXPECT_EQ(Cell(w, colNo, 0), "1");
    EXPECT_EQ(Cell(w, colDirectory, 0), Dir.QPath());
    EXPECT_EQ(Cell(w, colSize, 0), "4321");
    EXPECT_EQ(Cell(w, colDuration, 0), "60000");
    EXPECT_EQ(Cell(w, colTagTitle, 0), "A title");
    EXPECT_EQ(Cell(w, colTagTrackNo, 0), "3 / 12");
    EXPECT_EQ(Cell(w, colVideo, 0), "VP9, 1 250 kbit/s, 1 920 x 1 080");
    EXPECT_EQ(Cell(w, colAudio, 0), "AAC, 128 kbit/s VBR, Channels: 2");
    EXPECT_EQ(Cell(w, colAudioCodec, 0), "AAC");
    EXPECT_EQ(Cell(w, colStatus, 0), "Ready");
    EXPECT_EQ(Cell(w, colFileType, 0), "0");

    // No analysis: name, folder, size and status only.
    engine::AppParams.FileAnalysis = engine::faNone;
    const QString g = Media("plain.webm");
    w->AddToList(g, true);
    EXPECT_EQ(Analysed, 1);
    EXPECT_EQ(Cell(w, colAudio, 1), "");
    EXPECT_EQ(Shown(w, colDuration, 1), "");
}

TEST_F(MainWindow, ChapterRowsFollowTheirFileAtMost256) {
    struct Case {
        int chapters, rows;
    } cases[] = {{1, 1}, {3, 4}, {300, 257}};
    for (const Case& c : cases) {
        Chapters = c.chapters;
        TFormMain* w = Create();
        const QString f = Media("talk.webm", QByteArray(60000, 'x'));
        w->AddToList(f, true);
        ASSERT_EQ(w->ng->RowCount(), c.rows) << c.chapters;
        if (c.rows == 1) {
            EXPECT_TRUE(w->ng->GetCell(colActive, 0)->AsBoolean());
            continue;
        }
        EXPECT_FALSE(w->ng->GetCell(colActive, 0)->AsBoolean());
        EXPECT_EQ(Cell(w, colChapterCount, 0), QString::number(c.chapters));
        EXPECT_TRUE(w->IsChapterRow(1));
        EXPECT_TRUE(w->ng->GetCell(colActive, 1)->AsBoolean());
        EXPECT_EQ(Cell(w, colFileName, 1), "        talk.webm");
        EXPECT_EQ(w->GetNgFullFileName(1), f);
        EXPECT_EQ(Cell(w, colChapterTitle, 2), "Part 2");
        // 1 s of 60 s of 60000 bytes.
        EXPECT_EQ(Cell(w, colSize, 1), "1000");
        EXPECT_EQ(Shown(w, colChapterStart, 1), "00:00:00");
    }
}

// The window's own analysis against the prober's and the library's command-line reports.
TEST_F(MainWindow, RowsMatchTheProberAndTheLibraryChaptersToo) {
    TW_REQUIRE_FIXTURES();
    TW_REQUIRE_TOOL("ffprobe");
    TW_REQUIRE_TOOL("mediainfo");
    RealAnalysis = true;
    TFormMain* w = Create();
    engine::AppParams.FileAnalysis = engine::faFull;
    engine::AppParams.SplitChapters = true;
    for (auto id : {testing_support::EFixture::WebmVp9Opus, testing_support::EFixture::Chapters}) {
        const QString file = testing_support::Fixture(id);
        w->actClearFileList->Execute();
        ASSERT_EQ(w->AddToList(file, true), arAdded);
        const QJsonObject probe = testing_support::FfprobeJson(file).object();
        const auto mi = testing_support::RunProgram("mediainfo", {"--Output=JSON", file});
        ASSERT_TRUE(mi.Ok()) << mi.Describe();
        QJsonObject general, audio, video;
        for (const QJsonValue t : QJsonDocument::fromJson(mi.Out).object()["media"].toObject()["track"].toArray()) {
            const QString type = t.toObject()["@type"].toString();
            if (type == "General") general = t.toObject();
            if (type == "Audio") audio = t.toObject();
            if (type == "Video") video = t.toObject();
        }
        // A video stream without a bit rate sends full analysis to the encoder's report, in hundredths.
        EXPECT_NEAR(Cell(w, colDuration, 0).toDouble(), probe["format"].toObject()["duration"].toString().toDouble() * 1000, 10)
            << file.toStdString();
        EXPECT_EQ(Cell(w, colAudioCodec, 0), audio["Format"].toString());
        QJsonObject probeAudio;
        for (const QJsonValue st : probe["streams"].toArray())
            if (st.toObject()["codec_type"] == "audio") probeAudio = st.toObject();
        EXPECT_EQ(Cell(w, colAudioChannels, 0).toInt(), probeAudio["channels"].toInt());
        EXPECT_EQ(Cell(w, colAudioSampling, 0), probeAudio["sample_rate"].toString());
        EXPECT_TRUE(Cell(w, colVideo, 0).startsWith(video["Format"].toString())) << Cell(w, colVideo, 0).toStdString();
        EXPECT_TRUE(Cell(w, colVideo, 0).endsWith(video["Width"].toString() + " x " + video["Height"].toString()));
        EXPECT_EQ(Cell(w, colSize, 0), general["FileSize"].toString());

        const QJsonArray chapters = probe["chapters"].toArray();
        ASSERT_EQ(w->ng->RowCount(), chapters.size() > 1 ? 1 + chapters.size() : 1);
        for (int i = 0; i < chapters.size() && chapters.size() > 1; ++i) {
            const QJsonObject c = chapters[i].toObject();
            EXPECT_EQ(Cell(w, colChapterTitle, i + 1), c["tags"].toObject()["title"].toString());
            EXPECT_EQ(Cell(w, colChapterStart, i + 1).toLongLong(), std::llround(c["start_time"].toString().toDouble() * 1000));
            EXPECT_EQ(Cell(w, colChapterEnd, i + 1).toLongLong(), std::llround(c["end_time"].toString().toDouble() * 1000));
        }
    }
}

// File lists as another program writes them, in every encoding the reader takes, and a saved list read
// back by that program.
TEST_F(MainWindow, FileListsInEveryEncodingAndASavedListReadBack) {
    TW_REQUIRE_TOOL("python3");
    TFormMain* w = Create();
    const QString accented = Media(QString::fromUtf8("caf\xC3\xA9 song.webm"));
    const QString cyrillic = Media(QString::fromUtf8("\xD0\x96 song.webm"));
    struct Case {
        const char* codec; // Python's name
        bool bothNames;    // Windows-1252 has no Cyrillic
    } cases[] = {{"utf-16", true}, {"utf-16-be", true}, {"utf-8-sig", true}, {"utf-8", true}, {"cp1252", false}};
    for (const Case& c : cases) {
        w->actClearFileList->Execute();
        const QString list = Dir.QFile(QString("list-%1.lst").arg(c.codec));
        const QString names = c.bothNames ? accented + "\r\n" + cyrillic : accented;
        // UTF-16 big-endian: Python writes no byte-order mark for it, so the test puts one first.
        const QString script = QString("import sys; t = sys.argv[2]; c = sys.argv[1]; "
                                       "b = ('\\ufeff' + t if c == 'utf-16-be' else t).encode(c); "
                                       "open(sys.argv[3], 'wb').write(b)");
        const auto r = testing_support::RunProgram("python3", {"-c", script, c.codec, names, list});
        ASSERT_TRUE(r.Ok()) << r.Describe();
        w->LoadFileList(list);
        ASSERT_EQ(w->ng->RowCount(), c.bothNames ? 2 : 1) << c.codec;
        EXPECT_EQ(w->GetNgFullFileName(0), accented) << c.codec;
        if (c.bothNames) {
            EXPECT_EQ(w->GetNgFullFileName(1), cyrillic) << c.codec;
        }
    }
    const QString saved = Dir.QFile("saved.lst");
    w->SaveFileList(saved);
    const auto r = testing_support::RunProgram(
        "python3", {"-c", "import sys; print('|'.join(open(sys.argv[1], encoding='utf-8-sig').read().splitlines()))", saved});
    ASSERT_TRUE(r.Ok()) << r.Describe();
    EXPECT_EQ(QString::fromUtf8(r.Out).trimmed(), accented);
}

// A folder: only accepted files, sorted, and a close in the middle stops it and then closes.
TEST_F(MainWindow, ACloseDuringAnAddLoopWaitsForItAndStops) {
    TFormMain* w = Create();
    w->Show();
    for (const char* n : {"c.webm", "a.webm", "b.webm", "notes.txt"}) Media(QString("in/") + n);
    OnAnalyse = [&](const String&) {
        if (Analysed == 1) w->Close();
    };
    w->AddFolder(Dir.QFile("in"), true);
    // The first file was being analysed when the close came: the loop stopped after it, the window
    // stayed, and nothing the loop used was freed under it.
    EXPECT_EQ(w->ng->RowCount(), 1);
    EXPECT_EQ(Cell(w, colFileName, 0), "a.webm");
    EXPECT_TRUE(w->Visible());
    EXPECT_FALSE(QFile::exists(Program.QFile("TunewrightApp.ini")));
    H->Advance(std::chrono::milliseconds(200));
    EXPECT_FALSE(w->Visible());
    EXPECT_TRUE(QFile::exists(Program.QFile("TunewrightApp.ini")));
}

TEST_F(MainWindow, DropsSortLoadListsAndFoldersAndNothingWhileConverting) {
    TFormMain* w = Create();
    const QString b = Media("b.webm"), a = Media("a.webm");
    Media("dir/c.webm");
    const QString list = Dir.Write("files.LST", "\xEF\xBB\xBF" "sub/./d.webm\r\n");
    Media("sub/d.webm");
    bConverting = true;
    w->DropFiles({b, a});
    EXPECT_EQ(w->ng->RowCount(), 0);
    bConverting = false;

    engine::AppParams.DragAcceptDirectories = false;
    w->DropFiles({b, Dir.QFile("dir"), a, list});
    // Sorted: a, b, then the folder (refused), then the list, whose line is relative to its folder.
    ASSERT_EQ(w->ng->RowCount(), 3);
    EXPECT_EQ(w->GetNgFullFileName(0), a);
    EXPECT_EQ(w->GetNgFullFileName(1), b);
    EXPECT_EQ(w->GetNgFullFileName(2), Dir.QFile("sub/d.webm"));
    engine::AppParams.DragAcceptDirectories = true;
    w->DropFiles({Dir.QFile("dir")});
    EXPECT_EQ(w->GetNgFullFileName(3), Dir.QFile("dir/c.webm"));
    EXPECT_EQ(Cell(w, colNo, 3), "4");
    // The controls and the footer follow the whole drop.
    EXPECT_EQ(w->ng->Columns()->Item(colActive)->Footer()->Caption(), "4");
    EXPECT_TRUE(w->actRemoveChecked->Enabled());
    // A list that cannot be read reaches the error display with the grid's updates resumed.
    EXPECT_THROW(w->DropFiles({Dir.QFile("gone.lst")}), rtl::EFOpenError);
    EXPECT_EQ(w->ng->UpdateCount(), 0);
}

// The pictures the build wraps from the icon theme: the chapter rows' and the window's. A damaged file
// leaves them blank, and the window still starts.
TEST_F(MainWindow, ChapterRowsAndTheWindowTakeTheBuiltPictures) {
    const QString built = QFileInfo(QStringLiteral(TW_TUNEWRIGHT_EXE)).path() + "/data/icons/";
    if (!QFile::exists(built + "chapter.ico")) GTEST_SKIP() << "built without the icon theme";
    QDir(Program.QPath()).mkpath("data/icons");
    for (bool damaged : {false, true}) {
        for (const QString n : {"chapter.ico", "program.ico"}) {
            const QString to = Program.QFile("data/icons/" + n);
            QFile::remove(to);
            if (damaged)
                Program.Write("data/icons/" + n, QByteArray("\0\0\1\0\1\0garbage", 13));
            else
                ASSERT_TRUE(QFile::copy(built + n, to));
        }
        TFormMain* w = Create();
        EXPECT_EQ(w->Icon()->Empty(), damaged);
        vcl::TBitmap picture;
        // A blank picture is not listed: the chapter rows go without one.
        ASSERT_EQ(w->ilIcons->GetBitmap(ChapterIconIndex, &picture), !damaged) << ChapterIconIndex;
        if (damaged) continue;
        QSet<vcl::TColor> colours;
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width(); ++x) colours.insert(picture.Canvas()->Pixels(x, y));
        EXPECT_GT(colours.size(), 4);
    }
}

// ---- the list ------------------------------------------------------------------------------------------

TEST_F(MainWindow, CellsShowTheirRulesAndTheFooterTotalsCheckedRows) {
    TFormMain* w = Create();
    struct Case {
        int col;
        QString stored, shown;
    } cases[] = {
        {colNo, "12345", "12 345"},         {colSize, "0", ""},
        {colSize, "512", "512 bytes"},      {colSize, "1572864", "1.50 MB"},
        {colDuration, "0", ""},             {colDuration, "3723499.6", "01:02:04"},
        {colChapterStart, "0", "00:00:00"}, {colChapterStart, "-1", ""},
        {colMenu, "1", "Yes"},              {colMenu, "0", ""},
        {colAudioBitrate, "0", ""},         {colAudioSampling, "44100", "44 100"},
    };
    for (const Case& c : cases) EXPECT_EQ(w->CellDrawText(c.col, 0, c.stored), c.shown) << c.col << " " << c.stored.toStdString();

    w->CalcFooter();
    EXPECT_EQ(w->ng->Columns()->Item(colNo)->Footer()->Caption(), "");
    for (int kbps : {128, 0, 192}) {
        Audio.Bitrate = kbps;
        w->AddToList(Media(QString("r%1.webm").arg(kbps)), true);
    }
    w->CalcFooter();
    EXPECT_EQ(w->ng->Columns()->Item(colAudioBitrate)->Footer()->Caption(), "AVG  160.00");
    EXPECT_EQ(w->ng->Columns()->Item(colActive)->Footer()->Caption(), "3");
    EXPECT_EQ(w->ng->Columns()->Item(colDuration)->Footer()->Caption(), "00:03:00");
}

TEST_F(MainWindow, ControlsFollowTheRowsAndRemoveChecked) {
    TFormMain* w = Create();
    auto enabled = [&] {
        QString s;
        for (vcl::TAction* a : {w->actConvert, w->actRemoveChecked, w->actSaveFileList, w->actShowHideFileInfo,
                                w->actPlay, w->actCheckAll, w->actUncheckAll})
            s += a->Enabled() ? '1' : '0';
        return s;
    };
    EXPECT_EQ(enabled(), "0000000");
    for (const char* n : {"a.webm", "b.webm", "c.webm"}) w->AddToList(Media(n), true);
    EXPECT_EQ(enabled(), "1111101");
    w->ng->GetCell(colActive, 1)->SetAsBoolean(false);
    w->InitControls();
    EXPECT_EQ(enabled(), "1111111");
    w->actRemoveChecked->Execute();
    ASSERT_EQ(w->ng->RowCount(), 1);
    EXPECT_EQ(Cell(w, colFileName, 0), "b.webm");
    EXPECT_EQ(Cell(w, colNo, 0), "1");
    EXPECT_EQ(enabled(), "0011110");
    w->actCheckAll->Execute();
    w->actRemoveChecked->Execute();
    EXPECT_EQ(w->ng->RowCount(), 0);
    // A removed file can be added again.
    EXPECT_EQ(w->AddToList(Dir.QFile("b.webm"), true), arAdded);
}

TEST_F(MainWindow, ASavedListHoldsTheFilePathOfEveryChapterRowAndReadsBack) {
    Chapters = 3;
    TFormMain* w = Create();
    const QString f = Media("Ünï talk.webm");
    w->AddToList(f, true);
    const QString list = Dir.QFile("saved.lst");
    w->SaveFileList(list);
    const QByteArray bytes = testing_support::ReadFileBytes(list);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(QString::fromUtf8(bytes.mid(3)), QString(f + "\r\n").repeated(4));
    w->actClearFileList->Execute();
    w->LoadFileList(list);
    EXPECT_EQ(w->ng->RowCount(), 4);
}

TEST_F(MainWindow, HeldArrowMovesAnalyseOnlyTheLastRow400MsLaterAndNoneWhileConverting) {
    TFormMain* w = Create();
    for (int i = 0; i < 5; ++i) w->AddToList(Media(QString("f%1.webm").arg(i)), true);
    for (int i = 0; i < 100; ++i) {
        w->ng->OnSelectCell(w->ng, colFileName, i % 5);
        H->Advance(std::chrono::milliseconds(30));
    }
    EXPECT_TRUE(Selected.isEmpty());
    H->Advance(std::chrono::milliseconds(400));
    EXPECT_EQ(Selected, QStringList{w->GetNgFullFileName(99 % 5)});

    bConverting = true;
    w->ng->OnSelectCell(w->ng, colFileName, 1);
    H->Advance(std::chrono::milliseconds(500));
    EXPECT_EQ(Selected.size(), 1);
}

// ---- settings ------------------------------------------------------------------------------------------

TEST_F(MainWindow, SettingsAreReadWithTheirChecksAndSavedWithoutLosingUnwrittenKeys) {
    WriteIni("[MAIN]\r\nFileAnalysis=quick\r\nRowHeight=5\r\nListFontSize=40\r\nLeft=5000\r\nTop=-3\r\n"
             "colDirectory= 4, 220 ,1\r\ncolSize=4,220\r\nOutDirMode=custom\r\nEscExit=1\r\nToolsDir=/nowhere\r\n"
             "GridLines=0\r\n"
             "[MetaData_Comment]\r\nLine_001=first\r\nLine_002=second\r\n");
    TFormMain* w = Create();
    EXPECT_EQ(engine::AppParams.FileAnalysis, engine::faQuick);
    EXPECT_EQ(w->ng->RowSize(), 12);
    EXPECT_EQ(w->ng->Font()->Size(), 20);
    EXPECT_EQ(w->ng->HeaderSize(), 34);
    EXPECT_EQ(w->Left(), 0);
    EXPECT_EQ(w->Top(), 0);
    EXPECT_EQ(w->ng->Columns()->Item(colDirectory)->Position(), 4);
    EXPECT_EQ(w->ng->Columns()->Item(colDirectory)->Width(), 220);
    EXPECT_EQ(w->ng->Columns()->Item(colSize)->Width(), 70); // two numbers: ignored
    EXPECT_EQ(w->EncoderPanel.cbOutDirMode.ItemIndex(), 4);
    EXPECT_TRUE(w->actEsc->Enabled());
    EXPECT_FALSE(w->ng->Options().Contains(grid::goGrid));
    EXPECT_EQ(w->TagPanel.meTagComment, "first\r\nsecond");

    w->SetBounds(10, 20, 800, 600);
    w->SetWindowState(vcl::wsMaximized);
    w->Close();
    base::TKwpMemIniFile ini(engine::AppParams.IniName, rtl::TEncoding::UTF8());
    EXPECT_EQ(ini.ReadString("MAIN", "ToolsDir", ""), "/nowhere"); // never written, kept
    EXPECT_TRUE(ini.ReadBool("MAIN", "EscExit", false));
    EXPECT_EQ(ini.ReadString("MAIN", "FileAnalysis", ""), "Quick");
    EXPECT_TRUE(ini.ReadBool("MAIN", "Maximized", false));
    EXPECT_EQ(ini.ReadInteger("MAIN", "Left", -1), 5000); // maximized: the old bounds stay
    rtl::TStringList comment;
    ini.ReadStrings("MetaData_Comment", &comment, false);
    EXPECT_EQ(comment.Text(), "first\r\nsecond\r\n");
    EXPECT_FALSE(ini.ValueExists("MAIN", "colFileType"));
    EXPECT_TRUE(QFile::exists(engine::AppParams.LastProfileFile));
}

TEST_F(MainWindow, ASavedPositionIsWhereTheWindowOpensAgainAndANewUsersWindowIsCentred) {
    {
        WriteIni("[MAIN]\r\nWidth=800\r\n"); // settings, but no position yet
        TFormMain* w = Create();
        w->SetBounds(3, 4, 800, 600); // moved before its first showing: the centring still wins
        w->Show();
        const vcl::TRect area = vcl::Screen->PrimaryMonitor()->WorkareaRect();
        EXPECT_EQ(w->Left(), area.Left + (area.Width() - 800) / 2);
        EXPECT_EQ(w->Top(), area.Top + (area.Height() - 600) / 2);
    }
    WriteIni("[MAIN]\r\nLeft=60\r\nTop=40\r\nWidth=700\r\nHeight=500\r\n");
    TFormMain* w = Create();
    w->Show();
    EXPECT_EQ(w->BoundsRect(), vcl::TRect(60, 40, 760, 540));
}

TEST_F(MainWindow, FileAnalysisIsReadInAnyCaseAndAnythingElseMeansFull) {
    struct Case {
        const char* text;
        engine::TFileAnalysis analysis;
    } cases[] = {{"none", engine::faNone}, {"QUICK", engine::faQuick}, {"Full", engine::faFull},
                 {"quick-ish", engine::faFull}, {"", engine::faFull}};
    for (const Case& c : cases) {
        engine::AppParams.FileAnalysis = engine::faNone;
        WriteIni(QByteArray("[MAIN]\r\nFileAnalysis=") + c.text + "\r\n");
        Create();
        EXPECT_EQ(engine::AppParams.FileAnalysis, c.analysis) << c.text;
    }
}

TEST_F(MainWindow, AnUnwritableProgramFolderKeepsTheSettingsInTheConfigFolder) {
    TempDir config;
    qputenv("XDG_CONFIG_HOME", config.QPath().toUtf8());
    // Not even root may create files in /proc.
    EXPECT_EQ(SettingsDir("/proc"), config.QFile("tunewright"));
    EXPECT_EQ(SettingsDir(Program.QPath()), Program.QPath());
    qunsetenv("XDG_CONFIG_HOME");
}

TEST_F(MainWindow, StartOrderProfileThenSettingsThenTheCommandLine) {
    // The last session's profile says WAV, a named profile says extract: the command line wins.
    engine::TEncoderPanel panel;
    panel.cbOutputFormat.SetItemIndex(engine::ofWAV);
    QDir(Program.QPath()).mkpath("profiles");
    engine::SaveProfile(panel, Program.QFile("profiles/__Last.ini"), "last", "");
    panel.cbOutputFormat.SetItemIndex(engine::ofExtract);
    engine::SaveProfile(panel, Program.QFile("profiles/EXTRACT.ini"), "", "");
    WriteIni("[MAIN]\r\nFileAnalysis=None\r\nLanguageIni=test.ini\r\n");
    QDir(Program.QPath()).mkpath("lang");
    Program.Write("lang/test.ini", "[MAIN]\r\nReady=Bereit\r\n");

    TFormMain* w = Create({"-PROFILE=EXTRACT", Media("cli.webm"), "-AUTOCLOSE"});
    EXPECT_EQ(w->EncoderPanel.cbOutputFormat.ItemIndex(), engine::ofExtract);
    EXPECT_EQ(Cell(w, colStatus, 0), "Bereit"); // the saved language, read before the command line
    EXPECT_TRUE(engine::AppParams.RunParams.bAutoClose);

    TFormMain* again = Create();
    EXPECT_EQ(again->EncoderPanel.cbOutputFormat.ItemIndex(), engine::ofWAV);
}

TEST_F(MainWindow, AutoCloseWritesOnlyTheFolderList) {
    TFormMain* w = Create({"-AUTOCLOSE"});
    w->Show();
    w->Close();
    EXPECT_FALSE(w->Visible());
    EXPECT_FALSE(QFile::exists(engine::AppParams.IniName));
    EXPECT_FALSE(QFile::exists(engine::AppParams.LastProfileFile));
    EXPECT_TRUE(QFile::exists(engine::AppParams.ListFile_Directories));
}

TEST_F(MainWindow, ClosingIsRefusedWhileConverting) {
    TFormMain* w = Create();
    w->Show();
    bConverting = true;
    w->Close();
    EXPECT_TRUE(w->Visible());
    EXPECT_FALSE(QFile::exists(engine::AppParams.IniName));
    bConverting = false;
}

// A player runs (a real child that ignores its input): the close stops it, then closes 200 ms later with
// the full shut-down.
TEST_F(MainWindow, ClosingDuringAPreviewStopsThePlayerAndRetries) {
    TFormMain* w = Create();
    w->Show();
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::u16string cmd = u"sleep 30";
    ASSERT_TRUE(CreateProcessW(nullptr, reinterpret_cast<LPWSTR>(cmd.data()), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi));
    engine::ChildProcessInfo.hProcess = uint32_t(reinterpret_cast<uintptr_t>(pi.hProcess));
    w->Close();
    EXPECT_TRUE(w->Visible());
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 5000), WAIT_OBJECT_0); // terminated
    EXPECT_FALSE(QFile::exists(engine::AppParams.IniName));
    H->Advance(std::chrono::milliseconds(200));
    EXPECT_EQ(engine::ChildProcessInfo.hProcess, 0u);
    EXPECT_FALSE(w->Visible());
    EXPECT_TRUE(QFile::exists(engine::AppParams.IniName));
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
}

// ---- Convert ---------------------------------------------------------------------------------------------

TEST_F(MainWindow, ConvertThroughTheWindowLogsTheFailureAndShowsTheLogWithoutTheAfterAction) {
    TFormMain* w = Create();
    w->Show();
    engine::AppParams.ffmpeg = QStringLiteral(TW_FAKE_ENCODER);
    auto* errors = H->Create<TFormErrors>();
    FormErrors = errors;
    int powerOffs = 0;
    PowerOffWindows = [&] { ++powerOffs; };
    w->AfterConversion = 2;
    w->RunAnalyse = [](const String& FileName, const String&) {
        engine::TVideoFileInfo info;
        info.SetFileName(FileName);
        info.Seconds = 1;
        info.NumberOfAudioStreams = 1;
        info.AudioStreams[0].Exists = true;
        info.AudioStreams[0].CodecFF = QStringLiteral("opus");
        return info;
    };
    w->AddToList(Media("fail.webm", "FAIL"), true);
    w->AddToList(Media("good.webm"), true);
    w->actConvert->Execute();
    EXPECT_EQ(w->LastRun.Failed, 1);
    EXPECT_TRUE(Cell(w, colStatus, 0).startsWith("Error"));
    EXPECT_EQ(Cell(w, colStatus, 1), "Done");
    EXPECT_TRUE(errors->Visible());
    EXPECT_EQ(errors->Caption(), "Errors (1)");
    EXPECT_TRUE(errors->me->Lines()->Text().contains("Error # 1"));
    EXPECT_EQ(powerOffs, 0);
    EXPECT_FALSE(bConverting);
    EXPECT_TRUE(w->actConvert->Enabled());

    // A clean run, started minimised: "Close Windows" once, and the window stays minimised.
    errors->Hide();
    w->ng->GetCell(colActive, 0)->SetAsBoolean(false);
    w->EncoderPanel.cbOutputExists.SetItemIndex(1);
    w->SetWindowState(vcl::wsMinimized);
    w->actConvert->Execute();
    EXPECT_EQ(powerOffs, 1);
    EXPECT_EQ(w->WindowState(), vcl::wsMinimized);
}

TEST_F(MainWindow, TheBatchModeIsClearedAfterAFailedRun) {
    TFormMain* w = Create();
    w->AddToList(Media("a.webm"), true);
    w->RunAnalyse = [](const String&, const String&) -> engine::TVideoFileInfo { throw rtl::Exception("analysis broke"); };
    engine::AppParams.ffmpeg = QStringLiteral(TW_FAKE_ENCODER);
    H->Script({FormHarness::Answer(IDOK, [&](const FormHarness::Dialog& d) {
        SetDlgItemTextW(d.window, edt1, reinterpret_cast<LPCWSTR>(Dir.QFile("run.sh").utf16()));
    })});
    EXPECT_THROW(w->actSaveBAT->Execute(), rtl::Exception);
    EXPECT_FALSE(w->bSaveAsBatch);
    EXPECT_FALSE(bConverting);
    EXPECT_TRUE(w->ng->Enabled());
}

} // namespace

namespace {

// The main window as a person sees it on a real X server: a file with three chapter rows and a second
// file, the second selected.
TEST(MainWindowPicture, FileWithChapterRowsOnARealXServer) {
    if (!shell_test::OnXServer()) GTEST_SKIP() << "needs a real X server; ctest runs it as shell_xvfb_screenshot";
    TempDir program;
    // A fixed folder: the picture shows it.
    const QString dir = QStringLiteral("/tmp/tunewright-picture");
    QDir().mkpath(dir);
    auto write = [&](const char* Name, int Size) {
        const QString f = dir + u'/' + QString::fromLatin1(Name);
        testing_support::WriteFileBytes(f, QByteArray(Size, 'x'));
        return f;
    };
    shell_test::CopyBuiltIcons(program.QPath());
    engine::SetProgramDirOverride(program.QPath());
    program.Write("TunewrightApp.ini", "[MAIN]\r\nLeft=20\r\nTop=20\r\nWidth=1000\r\nHeight=420\r\n");
    StartArgs = QStringList();
    FormHarness h;
    auto* w = h.Create<TFormMain>();
    w->SetBorderStyle(vcl::bsNone); // the picture is the window alone, without the desktop's frame
    w->AnalyseForRow = [](const String&, engine::TVideoFileInfo& Info, engine::TTagRec&) {
        Info.Duration = 3000;
        Info.MenuExists = true;
        Info.NumberOfAudioStreams = 1;
        Info.AudioStreams[0].Codec = QStringLiteral("Opus");
        Info.AudioStreams[0].Bitrate = 96;
        Info.AudioStreams[0].Channels = 2;
    };
    w->ReadChapters = [](const String&, engine::TVideoFileInfo& Info) {
        Info.ChapterCount = 3;
        for (int i = 0; i < 3; ++i) {
            engine::TMediaChapter& c = Info.Chapters[size_t(i)];
            c.Exists = true;
            c.Title = QStringLiteral("Chapter %1").arg(i + 1);
            c.StartTimeMs = i * 1000;
            c.EndTimeMs = (i + 1) * 1000;
            c.DurationMs = 1000;
        }
    };
    w->AddToList(write("talk.webm", 30000), true);
    engine::AppParams.SplitChapters = false;
    w->AddToList(write("music.webm", 50000), true);
    w->Show();
    w->ng->SetSelectedRow(4);
    w->ng->SetFocus();
    w->tmFixControlPosTimer(nullptr); // what the window does 100 ms after its start
    h.Pump();
    shell_test::ComparePicture(h, w, "mainwindow-chapters");
    engine::SetProgramDirOverride({});
    StartArgs.reset();
}

} // namespace
