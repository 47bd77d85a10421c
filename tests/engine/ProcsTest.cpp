// Application parameters, tool location, folder list files and the small helpers.
#include "app/engine/Procs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <cstdlib>
#include <sys/stat.h>

#include "tests/support/TempDir.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteFileBytes;

// ---- defaults ------------------------------------------------------------------------------------------

TEST(AppParams, DefaultsLiveBesideTheProgram) {
    engine::SetProgramDirOverride(QStringLiteral("/opt/tw"));
    engine::TAppParams p;
    p.LogDir = QStringLiteral("stale");
    p.ArrListOutputDirectories.push_back({true, QStringLiteral("/x")});
    engine::InitAppParams(p);
    engine::SetProgramDirOverride({});
    EXPECT_EQ(p.ffmpeg, "/opt/tw/tools/FFmpeg64/ffmpeg");
    EXPECT_EQ(p.MediaInfoDll, "/opt/tw/tools/MediaInfo64/libmediainfo.so.0");
    EXPECT_EQ(p.IniName, "/opt/tw/TunewrightApp.ini");
    EXPECT_EQ(p.LastProfileFile, "/opt/tw/profiles/__Last.ini");
    EXPECT_EQ(p.ListFile_Directories, "/opt/tw/data/directories.ini");
    EXPECT_EQ(p.FileAnalysis, engine::faFull);
    EXPECT_TRUE(p.SplitChapters);
    EXPECT_EQ(p.RunParams.Overwrite, engine::opRename);
    EXPECT_EQ(p.RunParams.Silent, 0);
    EXPECT_TRUE(p.RunParams.bSaveHtml);
    EXPECT_EQ(p.StyleName, "Windows");
    EXPECT_EQ(p.ColorError, 0x4B5FE7);
    EXPECT_TRUE(p.LogDir.isEmpty());
    EXPECT_TRUE(p.ArrListOutputDirectories.empty());
}

TEST(VideoFileInfo, ClearedRecordHasNoStreamsAndUnknownChapterTimes) {
    auto info = std::make_unique<engine::TVideoFileInfo>();
    info->NumberOfAudioStreams = 3;
    info->Chapters[7].StartTimeMs = 5;
    info->Clear();
    EXPECT_EQ(info->NumberOfAudioStreams, 0);
    EXPECT_EQ(info->ChapterCount, 0);
    for (const auto& c : info->Chapters)
        EXPECT_TRUE(c.StartTimeMs == -1 && c.EndTimeMs == -1 && c.DurationMs == -1);
    EXPECT_EQ(info->AudioStreams.size(), 98u);
    info->SetFileName(QString(600, QChar('a')));
    EXPECT_EQ(info->FileName.size(), 511);
}

// ---- tool location -------------------------------------------------------------------------------------

// A program folder <root>/Apps/Conv with its own tools folder, and an empty PATH while it lives.
class ToolLocation : public ::testing::Test {
protected:
    void SetUp() override {
        Root = Dir.QPath();
        Program = Root + QStringLiteral("/Apps/Conv");
        QDir().mkpath(Program);
        QDir().mkpath(Root + QStringLiteral("/bin"));
        OldPath = qgetenv("PATH");
        qputenv("PATH", (Root + QStringLiteral("/bin")).toUtf8());
        OldLibs = engine::SystemLibraryPath;
        engine::SystemLibraryPath = {Root + QStringLiteral("/lib")};
        engine::SetProgramDirOverride(Program);
        engine::InitAppParams(Params);
        engine::ForgetMissingTools(); // each test is a run of its own
    }
    void TearDown() override {
        qputenv("PATH", OldPath);
        engine::SystemLibraryPath = OldLibs;
        engine::SetProgramDirOverride({});
    }

    QString Exe(const QString& Path) {
        QDir().mkpath(QFileInfo(Path).absolutePath());
        WriteFileBytes(Path, "#!/bin/sh\n");
        chmod(Path.toUtf8().constData(), 0755);
        return Path;
    }
    void Descriptor(const QString& Folder, const QString& File, const QByteArray& Tool,
                    const QByteArray& Bits, const QByteArray& Ver) {
        QDir().mkpath(Folder);
        WriteFileBytes(Folder + u'/' + File,
                       "[MAIN]\r\ntool=" + Tool + "\r\nbits=" + Bits + "\r\nver=" + Ver + "\r\n");
    }

    TempDir Dir;
    QString Root, Program;
    QByteArray OldPath;
    QStringList OldLibs;
    engine::TAppParams Params;
};

TEST_F(ToolLocation, NothingFoundGivesEmptyPaths) {
    EXPECT_EQ(engine::GetFFmpegExe(Params), "");
    EXPECT_EQ(engine::GetFFplayExe(Params), "");
    EXPECT_EQ(engine::GetFFprobeExe(Params), "");
    EXPECT_EQ(engine::GetMediaInfoDll(Params), "");
    EXPECT_EQ(Params.ffmpeg, "");
    EXPECT_EQ(Params.MediaInfoDll, "");
}

TEST_F(ToolLocation, ConfiguredPathWinsOverTheToolsFolder) {
    Exe(Program + QStringLiteral("/tools/FFmpeg64/ffmpeg"));
    Params.ffmpeg = Exe(Root + QStringLiteral("/elsewhere/ffmpeg"));
    EXPECT_EQ(engine::GetFFmpegExe(Params), Root + QStringLiteral("/elsewhere/ffmpeg"));
    Params.ffmpeg = Root + QStringLiteral("/missing/ffmpeg");
    EXPECT_EQ(engine::GetFFmpegExe(Params), Program + QStringLiteral("/tools/FFmpeg64/ffmpeg"));
    EXPECT_EQ(Params.ffmpeg, Program + QStringLiteral("/tools/FFmpeg64/ffmpeg"));
}

TEST_F(ToolLocation, DescriptorsInTheCommonFolderBeforeThePath) {
    Exe(Root + QStringLiteral("/bin/ffmpeg"));
    const QString common = Root + QStringLiteral("/Apps/_common/ff");
    Descriptor(common, QStringLiteral("ffmpeg.ver"), "FFmpeg", "64", "n-100739-gda607832b5");
    Exe(common + QStringLiteral("/ffmpeg"));
    EXPECT_EQ(engine::GetFFmpegExe(Params), common + QStringLiteral("/ffmpeg"));
}

TEST_F(ToolLocation, DescriptorsOfAnotherBuildAreIgnored) {
    Exe(Root + QStringLiteral("/bin/ffprobe"));
    const QString a = Root + QStringLiteral("/Apps/_common/a"), b = Root + QStringLiteral("/Apps/_common/b");
    Descriptor(a, QStringLiteral("ffprobe.ver"), "ffprobe", "32", "N-100739-gda607832b5");
    Exe(a + QStringLiteral("/ffprobe"));
    Descriptor(b, QStringLiteral("ffprobe.ver"), "ffprobe", "64", "N-1");
    Exe(b + QStringLiteral("/ffprobe"));
    EXPECT_EQ(engine::GetFFprobeExe(Params), Root + QStringLiteral("/bin/ffprobe")); // the PATH, last
}

TEST_F(ToolLocation, LibraryFromItsDescriptorOrTheSystemLibraryPath) {
    WriteFileBytes(
        (QDir().mkpath(Root + QStringLiteral("/lib")), Root + QStringLiteral("/lib/libmediainfo.so.0")),
        "ELF");
    EXPECT_EQ(engine::GetMediaInfoDll(Params), Root + QStringLiteral("/lib/libmediainfo.so.0"));
    const QString shared = Root + QStringLiteral("/Apps/tools/mi"); // beside the program, not in _common
    Descriptor(shared, QStringLiteral("MediaInfo.ver"), "MediaInfo", "64", "20.09.0.0");
    WriteFileBytes(shared + QStringLiteral("/libmediainfo.so.0"), "ELF");
    Params.MediaInfoDll.clear();
    engine::ForgetMissingTools(); // the next run
    EXPECT_EQ(engine::GetMediaInfoDll(Params), shared + QStringLiteral("/libmediainfo.so.0"));
}

TEST_F(ToolLocation, AToolFoundMissingIsNotSearchedForAgainInTheSameRun) {
    EXPECT_EQ(engine::GetFFplayExe(Params), "");
    const QString common = Root + QStringLiteral("/Apps/_common/ff");
    Descriptor(common, QStringLiteral("ffplay.ver"), "ffplay", "64", "N-100739-gda607832b5");
    Exe(common + QStringLiteral("/ffplay"));
    EXPECT_EQ(engine::GetFFplayExe(Params), "");
    // The other places are still looked at, and the other tools are searched for.
    Exe(Program + QStringLiteral("/tools/FFmpeg64/ffplay"));
    EXPECT_EQ(engine::GetFFplayExe(Params), Program + QStringLiteral("/tools/FFmpeg64/ffplay"));
    QFile::remove(Program + QStringLiteral("/tools/FFmpeg64/ffplay"));
    Params.ffplay.clear();
    Descriptor(common, QStringLiteral("ffmpeg.ver"), "ffmpeg", "64", "N-100739-gda607832b5");
    Exe(common + QStringLiteral("/ffmpeg"));
    EXPECT_EQ(engine::GetFFmpegExe(Params), common + QStringLiteral("/ffmpeg"));
    engine::ForgetMissingTools();
    EXPECT_EQ(engine::GetFFplayExe(Params), common + QStringLiteral("/ffplay"));
}

TEST_F(ToolLocation, UnknownToolNamesFindNothing) {
    Descriptor(Root + QStringLiteral("/Apps/_common"), QStringLiteral("ffmpeg.ver"), "ffmpeg", "64", "v");
    EXPECT_EQ(
        engine::FindToolByVerFile(Program, QStringLiteral("lame"), QStringLiteral("64"), QStringLiteral("v")),
        "");
}

// ---- folder list files ---------------------------------------------------------------------------------

TEST(FolderList, RoundTripOf120EntriesInTheFileFormat) {
    TempDir dir;
    engine::TListFileArray list;
    for (int i = 1; i <= 120; ++i)
        engine::AddListFileItem(i % 3 != 0, QStringLiteral(" /music/ä %1 ").arg(i), list);
    const QString file = dir.QFile(QStringLiteral("directories.ini"));
    ASSERT_TRUE(
        engine::SaveListFile(file, list, true, QStringLiteral("\r\n;List of directories\r\n;"), false));

    const QByteArray bytes = testing_support::ReadFileBytes(file);
    EXPECT_TRUE(
        bytes.startsWith("\xEF\xBB\xBF;Encoding: UTF-8\r\n;\r\n;List of directories\r\n;\r\n[Item_01]\r\n"
                         "Active=1\r\nValue=[ /music/\xC3\xA4 1 ]\r\n\r\n[Item_02]"));
    EXPECT_TRUE(bytes.contains("[Item_99]\r\n") && bytes.contains("[Item_100]\r\n") &&
                bytes.contains("[Item_120]\r\n"));
    EXPECT_TRUE(bytes.endsWith("Value=[ /music/\xC3\xA4 120 ]\r\n\r\n"));

    engine::TListFileArray read{{true, QStringLiteral("/kept")}};
    engine::LoadListFile(file, read, false);
    ASSERT_EQ(read.size(), 121u); // appended, not replaced
    for (int i = 0; i < 120; ++i) {
        EXPECT_EQ(read[i + 1].ItemValue, list[i].ItemValue);
        EXPECT_EQ(read[i + 1].Active, list[i].Active);
    }
}

TEST(FolderList, ReaderSkipsEmptyValuesAndDefaultsToActive) {
    TempDir dir;
    const QString file =
        dir.Write(QStringLiteral("x.dirlist"),
                  "[Item_01]\nValue=[/a/]\n[Other]\nActive=0\nValue=/b/.\n[Item_03]\nActive=0\n"
                  "Value=[]\n[Item_04]\nActive=maybe\nValue=[/]\n");
    engine::TListFileArray list;
    engine::LoadListFile(file, list, true);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].ItemValue, "/a");
    EXPECT_TRUE(list[0].Active);
    EXPECT_EQ(list[1].ItemValue, "/b");
    EXPECT_FALSE(list[1].Active);
    EXPECT_EQ(list[2].ItemValue, "/"); // the root folder survives the trailing-delimiter rule
    EXPECT_TRUE(list[2].Active);

    engine::LoadListFile(dir.QFile(QStringLiteral("missing")), list, true);
    EXPECT_EQ(list.size(), 3u);
}

TEST(FolderList, SaveFailureReportsFalseAndKeepsTheOldFile) {
    TempDir dir;
    EXPECT_FALSE(engine::SaveListFile(dir.QFile(QStringLiteral("no/such/folder/x.ini")), {{true, "/a"}}, true,
                                      {}, false));
    // A name of the full 255 bytes leaves no room for the temporary file beside it, which fails for
    // root too (a read-only folder would not stop root).
    const QString file = dir.Write(QString(251, u'o') + QStringLiteral(".ini"), "old");
    EXPECT_FALSE(engine::SaveListFile(file, {{true, "/a"}}, true, {}, false));
    EXPECT_EQ(testing_support::ReadFileBytes(file), "old");
    EXPECT_EQ(QDir(dir.QPath()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary file left
}

struct DedupCase {
    QStringList paths;
    bool ignoreCase;
    QStringList expected;
};

class RemoveDuplicates : public ::testing::TestWithParam<DedupCase> {};

TEST_P(RemoveDuplicates, KeepsTheLastOfEqualFolders) {
    engine::TListFileArray list;
    for (int i = 0; i < GetParam().paths.size(); ++i)
        engine::AddListFileItem(i % 2 == 0, GetParam().paths[i], list);
    engine::RemoveDuplicateDirs(list, GetParam().ignoreCase);
    QStringList got;
    for (const auto& e : list) got << e.ItemValue;
    EXPECT_EQ(got, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, RemoveDuplicates,
                         ::testing::Values(DedupCase{{"/A", "/B", "/a/"}, true, {"/B", "/a/"}},
                                           DedupCase{{"/A", "/B", "/a/"}, false, {"/A", "/B", "/a/"}},
                                           DedupCase{{" /x ", "/y", "/x/", "/y"}, false, {"/x/", "/y"}},
                                           DedupCase{{}, false, {}}));

TEST(RemoveDuplicatesLimit, ListsOfMoreThan1000AreLeftAlone) {
    engine::TListFileArray list(1001, engine::TListFileRec{true, QStringLiteral("/same")});
    engine::RemoveDuplicateDirs(list, false);
    EXPECT_EQ(list.size(), 1001u);
    list.pop_back();
    list[5].Active = false;
    engine::RemoveDuplicateDirs(list, false);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(list[0].Active); // the last one, with its own flag
}

// ---- helpers ---------------------------------------------------------------------------------------------

TEST(Helpers, StyleTokensExtensionsAndDigits) {
    EXPECT_EQ(engine::GetStyleNameToken("Windows10 Blue"), "Windows10");
    EXPECT_EQ(engine::GetStyleNameToken("Carbon"), "Carbon");
    EXPECT_EQ(engine::GetStyleNameToken("Tablet.Dark"), "Tablet");
    EXPECT_EQ(engine::GetStyleNameToken("  Iceberg:Classico,x "), "Iceberg");
    EXPECT_TRUE(engine::IsSupportedInputExt(".webm"));
    EXPECT_TRUE(engine::IsSupportedInputExt("MP4"));
    EXPECT_TRUE(engine::IsSupportedInputExt(" .3gp "));
    EXPECT_FALSE(engine::IsSupportedInputExt(".mkv"));
    EXPECT_FALSE(engine::IsSupportedInputExt(""));
    EXPECT_FALSE(engine::IsSupportedInputExt("."));
    EXPECT_TRUE(engine::HasLeadingDigits("  01 Intro"));
    EXPECT_FALSE(engine::HasLeadingDigits("Intro 01"));
    EXPECT_EQ(engine::StrToOem("q"), QByteArray("q"));
    EXPECT_EQ(engine::StrToOem(QStringLiteral("é")), QByteArray("?"));
}

TEST(Helpers, FileTimesCopyFromOneFileToAnother) {
    TempDir dir;
    const QString a = dir.Write("a", "1"), b = dir.Write("b", "2");
    engine::TFileTimes t;
    ASSERT_TRUE(engine::GetFileTimes(a, t));
    t.LastWriteTime -= 10; // ten days earlier
    t.LastAccessTime -= 20;
    EXPECT_TRUE(engine::SetFileTimes(b, t));
    engine::TFileTimes back;
    engine::GetFileTimes(b, back);
    EXPECT_NEAR(back.LastWriteTime, t.LastWriteTime, 1e-5);
    EXPECT_NEAR(back.LastAccessTime, t.LastAccessTime, 1e-5);
    EXPECT_TRUE(engine::SetFileTimes(dir.QFile("missing"), t)); // failures are swallowed
}

} // namespace
