#include "rtl/Files.h"

#include "tests/support/TempDir.h"

#include <QSet>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace rtl;
using testing_support::TempDir;

struct NameCase {
    const char* path;
    const char* filePath;
    const char* fileDir;
    const char* fileName;
    const char* fileExt;
    const char* changedToMp3;
};

class FileNameParts : public ::testing::TestWithParam<NameCase> {};

TEST_P(FileNameParts, SplitLikeTheRuntimeLibrary) {
    const auto& c = GetParam();
    const QString path = QString::fromUtf8(c.path);
    EXPECT_EQ(ExtractFilePath(path), QString::fromUtf8(c.filePath));
    EXPECT_EQ(ExtractFileDir(path), QString::fromUtf8(c.fileDir));
    EXPECT_EQ(ExtractFileName(path), QString::fromUtf8(c.fileName));
    EXPECT_EQ(ExtractFileExt(path), QString::fromUtf8(c.fileExt));
    EXPECT_EQ(ChangeFileExt(path, QStringLiteral(".mp3")), QString::fromUtf8(c.changedToMp3));
    EXPECT_EQ(ExtractFileDrive(path), QString());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FileNameParts,
    ::testing::Values(
        NameCase{"/music/clip.webm", "/music/", "/music", "clip.webm", ".webm", "/music/clip.mp3"},
        NameCase{"/music/clip.webm.part", "/music/", "/music", "clip.webm.part", ".part", "/music/clip.webm.mp3"},
        NameCase{"/my.folder/clip", "/my.folder/", "/my.folder", "clip", "", "/my.folder/clip.mp3"},
        NameCase{"/home/u/.mp3", "/home/u/", "/home/u", ".mp3", ".mp3", "/home/u/.mp3"},
        NameCase{"clip.", "", "", "clip.", ".", "clip.mp3"},
        NameCase{"/clip.flv", "/", "/", "clip.flv", ".flv", "/clip.mp3"},
        NameCase{"a//b.ogg", "a//", "a//", "b.ogg", ".ogg", "a//b.mp3"},
        NameCase{"/music/", "/music/", "/music", "", "", "/music/.mp3"},
        NameCase{"", "", "", "", "", ".mp3"}));

TEST(PathDelimiters, AreAddedAndRemovedOneAtATime) {
    EXPECT_EQ(IncludeTrailingPathDelimiter(QStringLiteral("/a")), QStringLiteral("/a/"));
    EXPECT_EQ(IncludeTrailingPathDelimiter(QStringLiteral("/a/")), QStringLiteral("/a/"));
    EXPECT_EQ(ExcludeTrailingPathDelimiter(QStringLiteral("/a//")), QStringLiteral("/a/"));
    EXPECT_EQ(ExcludeTrailingPathDelimiter(QStringLiteral("/a")), QStringLiteral("/a"));
    EXPECT_TRUE(IsPathDelimiter(QStringLiteral("a/"), 2));
    EXPECT_FALSE(IsPathDelimiter(QStringLiteral("a/"), 3));
}

TEST(ExpandFileName, ResolvesAgainstTheCurrentFolderAndFoldsDots) {
    TempDir dir;
    const QString saved = GetCurrentDir();
    ASSERT_TRUE(SetCurrentDir(dir.QPath()));
    const QString cwd = GetCurrentDir();
    EXPECT_EQ(ExpandFileName(QStringLiteral("clip.webm")), cwd + QStringLiteral("/clip.webm"));
    EXPECT_EQ(ExpandFileName(QStringLiteral("./a/../b//c.mp3")), cwd + QStringLiteral("/b/c.mp3"));
    EXPECT_EQ(ExpandFileName(QStringLiteral("/x/./y/../z/")), QStringLiteral("/x/z/"));
    EXPECT_EQ(ExpandFileName(QStringLiteral("/../..")), QStringLiteral("/"));
    EXPECT_EQ(ExpandFileName(QString()), QString());
    ASSERT_TRUE(SetCurrentDir(saved));
}

TEST(FileExists, FollowsLinksAndIgnoresFolders) {
    TempDir dir;
    const QString file = dir.Write(QStringLiteral("clip.webm"), "x");
    const QString link = dir.QFile(QStringLiteral("link.webm"));
    const QString dangling = dir.QFile(QStringLiteral("dangling.webm"));
    ASSERT_EQ(::symlink(file.toLocal8Bit().constData(), link.toLocal8Bit().constData()), 0);
    ASSERT_EQ(::symlink("nowhere", dangling.toLocal8Bit().constData()), 0);
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(link));
    EXPECT_FALSE(FileExists(dangling));
    EXPECT_TRUE(FileExists(dangling, false));
    EXPECT_FALSE(FileExists(dir.QPath()));
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_TRUE(DirectoryExists(dir.QPath()));
    EXPECT_FALSE(DirectoryExists(file));
}

TEST(Folders, AreForcedCreatedAndRemoved) {
    TempDir dir;
    const QString deep = dir.QFile(QStringLiteral("a/b/c"));
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_TRUE(ForceDirectories(deep + u'/'));             // already there
    EXPECT_FALSE(CreateDir(deep));
    EXPECT_FALSE(RemoveDir(dir.QFile(QStringLiteral("a"))));   // not empty
    EXPECT_TRUE(RemoveDir(deep));
    EXPECT_THROW(ForceDirectories(QString()), EInOutError);
    const QString file = dir.Write(QStringLiteral("f"), "x");
    EXPECT_FALSE(ForceDirectories(file + QStringLiteral("/sub")));
}

TEST(Files, DeleteAndRenameNeverTouchFoldersOrReplaceFiles) {
    TempDir dir;
    const QString a = dir.Write(QStringLiteral("a.tmp"), "new");
    const QString b = dir.Write(QStringLiteral("b.mp3"), "old");
    EXPECT_FALSE(RenameFile(a, b));
    EXPECT_EQ(testing_support::ReadFileBytes(b), QByteArray("old"));
    EXPECT_FALSE(DeleteFile(dir.QPath()));
    EXPECT_TRUE(DeleteFile(b));
    EXPECT_FALSE(DeleteFile(b));
    EXPECT_TRUE(RenameFile(a, b));
    EXPECT_EQ(testing_support::ReadFileBytes(b), QByteArray("new"));
    EXPECT_FALSE(FileExists(a));
}

namespace {

QSet<QString> Find(const QString& pattern, int attr) {
    QSet<QString> names;
    TSearchRec sr;
    if (FindFirst(pattern, attr, sr) == 0) {
        do names.insert(sr.Name);
        while (FindNext(sr) == 0);
        FindClose(sr);
    }
    return names;
}

class FindFixture : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write(QStringLiteral("clip.webm"), "12345");
        dir.Write(QStringLiteral("Other.WEBM"), "1");
        dir.Write(QStringLiteral("clip.webm.part"), "");
        dir.Write(QStringLiteral("a1.ini"), "");
        dir.Write(QStringLiteral("a22.ini"), "");
        dir.Write(QStringLiteral(".hidden.webm"), "");
        dir.Write(QStringLiteral("noext"), "");
        ForceDirectories(dir.QFile(QStringLiteral("sub.webm")));
    }
    QString P(const char* mask) const { return dir.QFile(QString::fromUtf8(mask)); }
    TempDir dir;
};

} // namespace

TEST_F(FindFixture, MasksFollowWindowsWildcardRules) {
    using S = QSet<QString>;
    EXPECT_EQ(Find(P("*.webm"), 0), (S{"clip.webm", "Other.WEBM"}));
    EXPECT_EQ(Find(P("*.WEBM"), 0), (S{"clip.webm", "Other.WEBM"}));
    EXPECT_EQ(Find(P("a?.ini"), 0), (S{"a1.ini"}));
    EXPECT_EQ(Find(P("a*.INI"), 0), (S{"a1.ini", "a22.ini"}));
    EXPECT_EQ(Find(P("*.*"), 0), (S{"clip.webm", "Other.WEBM", "clip.webm.part", "a1.ini", "a22.ini", "noext"}));
    EXPECT_EQ(Find(P("*"), faAnyFile),
              (S{".", "..", "clip.webm", "Other.WEBM", "clip.webm.part", "a1.ini", "a22.ini", ".hidden.webm",
                 "noext", "sub.webm"}));
    EXPECT_EQ(Find(P("*.webm"), faDirectory | faHidden), (S{"clip.webm", "Other.WEBM", ".hidden.webm", "sub.webm"}));
    EXPECT_EQ(Find(P("*.mp3"), faAnyFile), S{});
}

TEST_F(FindFixture, ReportsDotEntriesFirstAndFillsTheRecord) {
    TSearchRec sr;
    ASSERT_EQ(FindFirst(P("*.*"), faAnyFile, sr), 0);
    EXPECT_EQ(sr.Name, QStringLiteral("."));
    EXPECT_EQ(sr.Attr & faDirectory, faDirectory);
    ASSERT_EQ(FindNext(sr), 0);
    EXPECT_EQ(sr.Name, QStringLiteral(".."));
    FindClose(sr);

    ASSERT_EQ(FindFirst(P("clip.webm"), faAnyFile, sr), 0);   // one name, no listing
    EXPECT_EQ(sr.Size, 5);
    EXPECT_EQ(sr.Attr & (faDirectory | faHidden | faReadOnly), 0);
    EXPECT_EQ(sr.FindData.nFileSizeLow, 5u);
    EXPECT_EQ(sr.FindData.cFileName, QStringLiteral("clip.webm"));
    EXPECT_NE(sr.FindData.ftLastWriteTime.dwHighDateTime, 0u);
    EXPECT_EQ(FindNext(sr), 18);
    FindClose(sr);

    EXPECT_EQ(FindFirst(P("missing.webm"), faAnyFile, sr), 2);
    EXPECT_EQ(FindFirst(dir.QFile(QStringLiteral("nofolder/*.*")), faAnyFile, sr), 3);
}

TEST_F(FindFixture, NamesWithWildcardCharactersAreFoundLiterally) {
    dir.Write(QStringLiteral("what?.webm"), "");
    TSearchRec sr;
    ASSERT_EQ(FindFirst(P("what?.webm"), 0, sr), 0);
    EXPECT_EQ(sr.Name, QStringLiteral("what?.webm"));
    FindClose(sr);
}

TEST_F(FindFixture, ReportsLinksAndReadOnlyFiles) {
    const QString target = P("clip.webm");
    ASSERT_EQ(::symlink(target.toLocal8Bit().constData(), P("link.webm").toLocal8Bit().constData()), 0);
    ASSERT_EQ(FileSetAttr(target, faReadOnly), 0);
    TSearchRec sr;
    ASSERT_EQ(FindFirst(P("link.webm"), faAnyFile, sr), 0);
    EXPECT_EQ(sr.Attr & (faSymLink | faReadOnly), faSymLink | faReadOnly);
    EXPECT_EQ(sr.Size, 5);
    FindClose(sr);
    EXPECT_EQ(FileGetAttr(target) & faReadOnly, faReadOnly);
    ASSERT_EQ(FileSetAttr(target, 0), 0);
    EXPECT_EQ(FileGetAttr(target) & faReadOnly, 0);
    EXPECT_EQ(FileGetAttr(P(".hidden.webm")) & faHidden, faHidden);
    EXPECT_EQ(FileGetAttr(P("sub.webm")) & faDirectory, faDirectory);
    EXPECT_EQ(FileGetAttr(P("missing")), -1);
}

TEST(FileDates, RoundTripThroughFileSetDateAndFileAge) {
    TempDir dir;
    const QString file = dir.Write(QStringLiteral("d.mp3"), "x");
    // 2021-06-15 12:34:57 local: the file date keeps even seconds only.
    const TDateTime when = 44362.0 + (12 * 3600 + 34 * 60 + 57) / 86400.0;
    TSearchRec sr;
    ASSERT_EQ(FindFirst(file, 0, sr), 0);
    FindClose(sr);
    const int64_t age = FileAge(file);
    ASSERT_NE(age, -1);
    EXPECT_EQ(age % 2, 0);

    // Set through a TFile setter, read back as a file date.
    TFile::SetLastWriteTime(file, when);
    TDateTime read = 0;
    ASSERT_TRUE(FileAge(file, read));
    EXPECT_NEAR(read, when, 1e-8);
    const int64_t even = FileAge(file);
    ASSERT_EQ(FileSetDate(file, even), 0);
    ASSERT_TRUE(FileAge(file, read));
    EXPECT_NEAR(read, when - 1 / 86400.0, 1e-8);             // 57 s became 56 s
    EXPECT_EQ(FileAge(dir.QFile(QStringLiteral("none"))), -1);
    EXPECT_FALSE(FileAge(dir.QFile(QStringLiteral("none")), read));
    EXPECT_NE(FileSetDate(dir.QFile(QStringLiteral("none")), even), 0);
}

TEST(FileTimes, AccessAndWriteTimesAreSetSeparately) {
    TempDir dir;
    const QString file = dir.Write(QStringLiteral("t.mp3"), "x");
    const TDateTime access = 40000.25, write = 41000.5;
    TFile::SetLastAccessTime(file, access);
    TFile::SetLastWriteTime(file, write);
    EXPECT_NEAR(TFile::GetLastAccessTime(file), access, 1e-8);
    EXPECT_NEAR(TFile::GetLastWriteTime(file), write, 1e-8);
    const TDateTime created = TFile::GetCreationTime(file);
    TFile::SetCreationTime(file, 1.0);                      // never set
    EXPECT_EQ(TFile::GetCreationTime(file), created);
    EXPECT_THROW(TFile::GetLastWriteTime(dir.QFile(QStringLiteral("none"))), EInOutError);
    EXPECT_THROW(TFile::SetLastWriteTime(dir.QFile(QStringLiteral("none")), write), EInOutError);
}

TEST(CommandLine, ParamStrZeroIsTheExecutable) {
    char arg0[] = "prog";
    char arg1[] = "-AUTOCONVERT";
    char arg2[] = "two words";
    char* argv[] = {arg0, arg1, arg2};
    InitParams(3, argv);
    EXPECT_EQ(ParamCount(), 2);
    EXPECT_EQ(ParamStr(1), QStringLiteral("-AUTOCONVERT"));
    EXPECT_EQ(ParamStr(2), QStringLiteral("two words"));
    EXPECT_EQ(ParamStr(3), QString());
    EXPECT_EQ(ParamStr(-1), QString());
    const QString exe = ParamStr(0);                        // absolute, whatever argv[0] said
    EXPECT_TRUE(exe.startsWith(u'/')) << exe.toStdString();
    EXPECT_EQ(::access(exe.toLocal8Bit().constData(), X_OK), 0) << exe.toStdString();
    InitParams(0, nullptr);
}
