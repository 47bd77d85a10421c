// The file information window: a real file's values, stream lines, prober tree and report; the audio
// stream chooser; the report's checksum limit and a vanished file; the saved page; the row colours.
#include "app/shell/FormFileInfo.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "app/engine/Analysis.h"
#include "app/engine/MediaInfoDll.h"
#include "app/engine/Procs.h"
#include "app/shell/AppStrings.h"
#include "base/Colors.h"
#include "base/HashCRC32.h"
#include "base/MemIniFile.h"
#include "base/Strings.h"
#include "rtl/Encoding.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/Peers.h"
#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/Clipbrd.h"
#include "win/comdlg32/commdlg.h"

namespace {

using shell::String;
using testing_support::EFixture;
using testing_support::FormHarness;
using testing_support::TempDir;

TEST(FileInfoWindow, StreamLinesSplitAtTheSecondColon) {
    struct {
        const char *Line, *No, *Details;
    } cases[] = {
        {"Stream #0:1(eng): Audio: aac (LC), 44100 Hz", "Stream #0:1(eng)", "Audio: aac (LC), 44100 Hz"},
        {"  Stream #0:0: Video: vp9, yuv420p  ", "Stream #0:0", "Video: vp9, yuv420p"},
        {"Stream #0:2: Data", "Stream #0:2", "Data"},
        {"only: one colon", "", "only: one colon"},
        {"none", "", "none"},
    };
    for (const auto& c : cases) {
        String no = QStringLiteral("stale"), details;
        shell::SplitStreamLine(QString::fromLatin1(c.Line), no, details);
        EXPECT_EQ(no, QString::fromLatin1(c.No)) << c.Line;
        EXPECT_EQ(details, QString::fromLatin1(c.Details)) << c.Line;
    }
}

TEST(FileInfoWindow, ClassColoursByStyleBrightness) {
    EXPECT_EQ(shell::FileInfoClassColor(1, false), RGB(255, 250, 205));
    EXPECT_EQ(shell::FileInfoClassColor(2, true), RGB(45, 72, 52));
    EXPECT_EQ(shell::FileInfoClassColor(3, false), RGB(255, 221, 221));
    EXPECT_EQ(shell::FileInfoClassColor(4, true), RGB(44, 55, 73));
    EXPECT_EQ(shell::FileInfoClassColor(5, false), RGB(235, 223, 236));
    for (int other : {-1, 0, 6}) EXPECT_EQ(shell::FileInfoClassColor(other, false), vcl::clNone) << other;
}

// A window over a test-owned copy of the settings, with the real tools when they are there.
struct TFileInfoTest : ::testing::Test {
    FormHarness h;
    TempDir dir;
    engine::TAppParams params;
    shell::TFormFileInfo* form = nullptr;
    String savedLibrary = engine::AppParams.MediaInfoDll;

    void SetUp() override {
        h.Create<vcl::TForm>(); // the main window
        params.IniName = dir.QFile(QStringLiteral("settings.ini"));
    }
    void TearDown() override { engine::AppParams.MediaInfoDll = savedLibrary; }
    void Make() {
        form = h.Create<shell::TFormFileInfo>();
        form->Params = &params;
    }
    // Real encoder, prober and library; false (test skipped) when one is missing.
    bool UseTools() {
        if (!testing_support::RequireTool(QStringLiteral("ffprobe"))) return false;
        engine::TAppParams found;
        engine::InitAppParams(found);
        params.ffmpeg = engine::GetFFmpegExe(found);
        params.ffprobe = testing_support::FindTool(QStringLiteral("ffprobe"));
        const String library = engine::GetMediaInfoDll(found);
        if (params.ffmpeg.isEmpty() || library.isEmpty()) {
            ADD_FAILURE() << "ffmpeg or libmediainfo.so.0 cannot be located";
            return false;
        }
        engine::UnloadMediaInfoLib();
        engine::AppParams.MediaInfoDll = library;
        return true;
    }
    QStringList TreeTexts(int Level) {
        QStringList out;
        for (int r = 0; r < form->ngDetails->RowCount(); ++r)
            if (form->ngDetails->GetLevel(r) == Level) out << form->ngDetails->GetCell(0, r)->AsString();
        return out;
    }
};

TEST_F(TFileInfoTest, ARealFileFillsThePagesAndAStreamChoiceAnalysesAgain) {
    TW_REQUIRE_FIXTURES();
    if (!UseTools()) return;
    Make();
    const shell::TAppStrings english;
    form->SetLang(english);
    const QString file = testing_support::Fixture(EFixture::TwoAudioStreams);
    form->UpdateList(engine::GetVideoFileInfo(file, params.ffmpeg), -3);

    EXPECT_EQ(form->lblFileName->Caption(), QFileInfo(file).fileName());
    EXPECT_EQ(form->lblFileName->URL(), file);
    EXPECT_EQ(form->lblDirectory->URL(), QFileInfo(file).absolutePath());
    EXPECT_TRUE(form->lblFileSize->Caption().endsWith(
        QStringLiteral(" (%1 bytes)").arg(base::GroupDigits(QFileInfo(file).size(), u' '))))
        << form->lblFileSize->Caption().toStdString();
    EXPECT_EQ(form->lblNumberOfAudioStreams->Caption(), QStringLiteral("2"));
    ASSERT_EQ(form->cbAudioStreamNo->Items()->Count(), 2);
    EXPECT_TRUE(form->cbAudioStreamNo->Enabled());
    EXPECT_EQ(form->cbAudioStreamNo->ItemIndex(), 0); // a negative number counts as the first
    EXPECT_EQ(form->lblChannels->Caption(), QStringLiteral("2"));
    EXPECT_TRUE(form->lblAudioCodec->Caption().startsWith(QStringLiteral("Opus"))) << form->lblAudioCodec->Caption().toStdString();

    // the encoder's stream lines, split
    ASSERT_EQ(form->ngFFmpeg->RowCount(), 3);
    EXPECT_TRUE(form->ngFFmpeg->GetCell(0, 1)->AsString().startsWith(QStringLiteral("Stream #0:1")));
    EXPECT_TRUE(form->ngFFmpeg->GetCell(1, 1)->AsString().startsWith(QStringLiteral("Audio: opus")))
        << form->ngFFmpeg->GetCell(1, 1)->AsString().toStdString();
    EXPECT_FALSE(form->meMediaInfo->Lines()->Text().isEmpty());

    // the prober tree: roots, streams with type and codec, each stream's class on its rows
    EXPECT_EQ(TreeTexts(0), (QStringList{QStringLiteral("FORMAT - matroska,webm"), QStringLiteral("STREAMS (3)")}));
    EXPECT_EQ(TreeTexts(1).mid(2), (QStringList{QStringLiteral("Stream 1 - video - vp9"), QStringLiteral("Stream 2 - audio - opus"),
                                                QStringLiteral("Stream 3 - audio - opus")}))
        << TreeTexts(1).join(QLatin1Char('|')).toStdString();
    for (int r = 0; r < form->ngDetails->RowCount(); ++r) {
        const String text = form->ngDetails->GetCell(0, r)->AsString();
        if (text == QStringLiteral("codec_type: audio")) {
            EXPECT_EQ(form->ngDetails->GetCell(1, r)->AsInteger(), 2);
        }
        if (text == QStringLiteral("codec_type: video")) {
            EXPECT_EQ(form->ngDetails->GetCell(1, r)->AsInteger(), 3);
        }
        if (text == QStringLiteral("Disposition")) {
            EXPECT_FALSE(form->ngDetails->Expanded(r));
        }
    }

    // a row of class 2 takes the audio colour; selected, a shifted one
    vcl::TColor cell = vcl::clWhite, line = vcl::clWhite;
    form->ngFFmpegCellColoring(nullptr, 1, 1, cell, line, {});
    EXPECT_EQ(cell, RGB(213, 234, 220));
    EXPECT_EQ(line, base::ChangeColorByPercent(RGB(213, 234, 220), 15, false));
    form->ngFFmpegCellColoring(nullptr, 1, 1, cell, line, grid::TCellState{grid::csSelected});
    EXPECT_NE(cell, RGB(213, 234, 220));

    // choosing the second stream analyses again and shows the German mono stream
    form->cbAudioStreamNo->SetItemIndex(1);
    form->cbAudioStreamNoChange(form->cbAudioStreamNo);
    EXPECT_EQ(form->cbAudioStreamNo->ItemIndex(), 1);
    EXPECT_EQ(form->lblChannels->Caption(), QStringLiteral("1"));
    EXPECT_EQ(form->lblFileName->Caption(), QFileInfo(file).fileName());
    // but not while a conversion runs
    bool busy = true;
    form->Busy = &busy;
    form->cbAudioStreamNo->SetItemIndex(0);
    form->cbAudioStreamNoChange(form->cbAudioStreamNo);
    EXPECT_EQ(form->lblChannels->Caption(), QStringLiteral("1"));
    form->Busy = nullptr;

    // the report
    const String report = form->GetInfoAsText();
    const QStringList lines = report.split(QStringLiteral("\r\n"));
    EXPECT_TRUE(report.endsWith(QStringLiteral("\r\n")));
    EXPECT_FALSE(report.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));
    EXPECT_EQ(lines[0], QStringLiteral("Tunewright 1.5  [64-bit] - File information report"));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("/products/tunewright/")));
    EXPECT_EQ(lines[3], QStringLiteral("File: ") + file);
    EXPECT_EQ(lines[5], String(71, u'-'));
    const String crc = QStringLiteral("CRC32: $%1").arg(base::CRC32OfFile(file), 8, 16, QLatin1Char('0')).toUpper();
    EXPECT_TRUE(lines[8].startsWith(QStringLiteral("File size: %1 bytes (").arg(base::GroupDigits(QFileInfo(file).size(), u' '))))
        << lines[8].toStdString();
    EXPECT_EQ(lines[9], crc);
    EXPECT_TRUE(report.contains(QStringLiteral("\r\nSamples:~ ")));
    EXPECT_EQ(report.count(QStringLiteral("AUDIO STREAM ")), 2);
    EXPECT_TRUE(lines.contains(QStringLiteral("AUDIO STREAM 2")));
    EXPECT_TRUE(lines.contains(QStringLiteral("DATA STREAMS:   (FFmpeg)")));
    EXPECT_TRUE(report.contains(QStringLiteral("\r\n   2: Stream #0:1")));
    for (const char* block : {"MediaInfo", "FFprobe", "TOOLS INFO"})
        EXPECT_TRUE(lines.contains(QString::fromLatin1(block))) << block;
    for (const auto& line : lines) {
        if (line.startsWith(form->lblAudioCodecDesc->Caption())) {
            EXPECT_FALSE(line.contains(QStringLiteral("(ID:"))) << line.toStdString();
        }
    }
}

TEST_F(TFileInfoTest, TheChecksumStopsAt300MiBAndAVanishedFileHasNone) {
    Make();
    struct {
        qint64 Size;
        bool Crc;
    } cases[] = {{314572800, true}, {314572801, false}};
    for (const auto& c : cases) {
        const QString file = dir.QFile(QStringLiteral("big%1.webm").arg(c.Size));
        {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_TRUE(f.resize(c.Size)); // sparse
        }
        engine::TVideoFileInfo vfi;
        vfi.SetFileName(file);
        vfi.FileSize = c.Size;
        form->UpdateList(vfi, 1);
        const String report = form->GetInfoAsText();
        EXPECT_EQ(report.contains(QStringLiteral("\r\nCRC32: $")), c.Crc) << c.Size;
        QFile::remove(file);
    }
    // gone since it was shown: a zero size and no checksum of a file that is not there
    const String report = form->GetInfoAsText();
    EXPECT_TRUE(report.contains(QStringLiteral(" 0 bytes (")));
    EXPECT_FALSE(report.contains(QStringLiteral("\r\nCRC32: $"))) << report.toStdString();
}

TEST_F(TFileInfoTest, WithoutTheProberTheTreeHasOnlyItsRootsAndAZeroBitRateShowsNothing) {
    Make();
    params.ffprobe = QStringLiteral("/nonexistent/ffprobe");
    const QString file = dir.Write(QStringLiteral("clip.webm"), QByteArray("not media"));
    engine::TVideoFileInfo vfi;
    vfi.SetFileName(file);
    vfi.FileSize = 9;
    vfi.NumberOfAudioStreams = 1;
    vfi.AudioStreams[0].Bitrate = 0;
    vfi.AudioStreams[0].SamplingRate = 48000;
    vfi.AudioStreams[0].StreamSizeStr = QStringLiteral("0");
    vfi.AudioStreams[0].Frames = 1234567;
    vfi.MediaInfoFull = QStringLiteral("  General\r\nFormat      : WebM     x\r\n\r\n");
    form->UpdateList(vfi, 1);
    // only the first run of five blanks of each line goes
    EXPECT_EQ(form->meMediaInfo->Lines()->Count(), 2);
    EXPECT_EQ(form->meMediaInfo->Lines()->Strings(1), QStringLiteral("Format : WebM     x"));
    EXPECT_EQ(TreeTexts(0), (QStringList{QStringLiteral("FORMAT"), QStringLiteral("STREAMS (0)")}));
    EXPECT_TRUE(form->GetInfoAsText().contains(QStringLiteral("\r\nFFprobe\r\n\r\nFORMAT\r\n")));
    EXPECT_EQ(form->lblAudioBitrate->Caption(), String());
    EXPECT_EQ(form->lblSamplingRate->Caption(), QStringLiteral("48 000 Hz"));
    EXPECT_EQ(form->lblAudioStreamSize->Caption(), String());
    EXPECT_EQ(form->lblAudioFrames->Caption(), QStringLiteral("~ 1 234 567"));
    EXPECT_FALSE(form->cbAudioStreamNo->Enabled());
    // a stream number past the streams leaves the audio values empty
    form->UpdateList(vfi, 2);
    EXPECT_EQ(form->lblChannels->Caption(), String());
    EXPECT_EQ(form->lblSamplingRate->Caption(), String());
}

TEST_F(TFileInfoTest, SaveProposesTheInfoNameAndWritesUtf8WithAMarkAndCopyFillsTheClipboard) {
    Make();
    const shell::TAppStrings english;
    form->SetLang(english);
    params.ffprobe = QStringLiteral("/nonexistent/ffprobe");
    const QString file = dir.Write(QStringLiteral("Ünïcødé 日本.webm"), QByteArray("not media"));
    engine::TVideoFileInfo vfi;
    vfi.SetFileName(file);
    vfi.FileSize = 9;
    form->UpdateList(vfi, 1);
    const QString target = dir.QFile(QStringLiteral("report.txt"));
    h.Script({FormHarness::Answer(IDOK, [&](const FormHarness::Dialog& d) {
        EXPECT_EQ(d.commonKind, UINT(TW_DIALOG_SAVE_FILE));
        EXPECT_EQ(form->dlgSave->InitialDir(), dir.QPath());
        EXPECT_EQ(form->dlgSave->FileName(), QStringLiteral("Ünïcødé 日本.webm_info.txt"));
        SetDlgItemTextW(d.window, edt1, reinterpret_cast<LPCWSTR>(target.utf16()));
    })});
    form->actSave->Execute();
    EXPECT_EQ(form->dlgSave->FileName(), target);
    const QByteArray saved = testing_support::ReadFileBytes(target);
    EXPECT_TRUE(saved.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(saved.contains((QStringLiteral("File: ") + file + QStringLiteral("\r\n")).toUtf8()));

    form->actCopyToClipboard->Execute();
    EXPECT_TRUE(vcl::Clipboard()->AsText().startsWith(QStringLiteral("Tunewright 1.5  [64-bit]")));
}

TEST_F(TFileInfoTest, TheActivePageIsSavedOnCloseAndReadBack) {
    struct {
        const char *Stored, *Page;
    } cases[] = {{"FFPROBE", "FFprobe"}, {"mediainfo", "MediaInfo"}, {"Details", "Basic"}, {"", "Basic"}};
    Make();
    for (const auto& c : cases) {
        {
            base::TKwpMemIniFile ini(params.IniName, rtl::TEncoding::UTF8());
            ini.WriteString(QStringLiteral("FileInfo"), QStringLiteral("ActiveTab"), QString::fromLatin1(c.Stored));
            ini.WriteInteger(QStringLiteral("FileInfo"), QStringLiteral("Width"), 700);
            ini.UpdateFile();
        }
        form->pc->SetActivePage(form->tsMediaInfo == form->pc->ActivePage() ? form->tsFFprobe : form->tsMediaInfo);
        form->LoadSettingsFromIni();
        EXPECT_EQ(form->Width(), 700);
        form->Show();
        h.Pump();
        h.Keys(VK_ESCAPE);
        EXPECT_FALSE(form->Visible());
        base::TKwpMemIniFile ini(params.IniName, rtl::TEncoding::UTF8());
        EXPECT_EQ(ini.ReadString(QStringLiteral("FileInfo"), QStringLiteral("ActiveTab"), String()),
                  QString::fromLatin1(c.Page))
            << c.Stored;
    }
}

TEST_F(TFileInfoTest, StylesSetTheLabelColoursPageStyleAndStrip) {
    Make();
    struct {
        const char* Style;
        vcl::TColor Codec;
        bool Windows;
    } cases[] = {{"Windows", RGB(0, 128, 0), true}, {"", RGB(0, 128, 0), true}, {"Carbon", RGB(102, 255, 102), false},
                 {"Auric", RGB(102, 255, 102), false}, {"Light", RGB(0, 128, 0), false}};
    for (const auto& c : cases) {
        form->SetStyleColors(QString::fromLatin1(c.Style));
        EXPECT_EQ(form->lblAudioCodec->Font()->Color(), c.Codec) << c.Style;
        EXPECT_EQ(form->pc->Style(), c.Windows ? controls::stUserDefined : controls::stNative) << c.Style;
        EXPECT_EQ(form->pnBottom->Appearance()->Borders()->Top()->Visible(), c.Windows) << c.Style;
    }
    shell::TAppStrings english;
    form->SetLang(english);
    EXPECT_EQ(form->lblDataStreams->Caption(), QStringLiteral("  Data streams   (FFmpeg)"));
    EXPECT_EQ(form->tsBasic->Caption(), QStringLiteral("Basic info"));
    EXPECT_EQ(form->tsFFprobe->Caption(), QStringLiteral("FFprobe"));
}

} // namespace
