// tests/base/FilesTest.cpp: file records, sizes, times, folders and rectangles.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "base/BinaryProcs.h"
#include "base/Files.h"
#include "base/Rects.h"
#include "base/WinFileSystem.h"
#include "rtl/DateUtils.h"
#include "rtl/Streams.h"
#include "tests/support/TempDir.h"

namespace {

void Touch(const std::filesystem::path& P, size_t Size = 0) {
    std::ofstream(P, std::ios::binary) << std::string(Size, 'x');
}

TEST(FileNames, PartsOfAPath) {
    base::TFileNameRec Rec;
    base::GetFileNameRec(Rec, "/Music/song.final.mp3");
    EXPECT_EQ(Rec.FullFileName, "/Music/song.final.mp3");
    EXPECT_EQ(Rec.ShortFileName, "song.final.mp3");
    EXPECT_EQ(Rec.BaseFileName, "song.final");
    EXPECT_EQ(Rec.ExtensionWithDot, ".mp3");
    EXPECT_EQ(Rec.ExtensionWithoutDot, "mp3");
    EXPECT_EQ(Rec.Directory, "/Music");
    EXPECT_EQ(Rec.Path, "/Music/");

    base::GetFileNameRec(Rec, "name.");
    EXPECT_EQ(Rec.FullFileName, QDir::currentPath() + "/name.");
    EXPECT_EQ(Rec.ShortFileName, "name.");
    EXPECT_EQ(Rec.ExtensionWithDot, "");
    EXPECT_EQ(Rec.ExtensionWithoutDot, "");
    EXPECT_EQ(Rec.Directory, QDir::currentPath());

    base::GetFileNameRec(Rec, "a.tar.gz");
    EXPECT_EQ(Rec.BaseFileName, "a.tar");
    Rec.Clear();
    EXPECT_TRUE(Rec.FullFileName.isEmpty());
}

TEST(FileInfo, MissingFileKeepsTheSentinels) {
    testing_support::TempDir Dir;
    base::TFileInfoRec Info;
    Info.Size = 5;
    EXPECT_FALSE(base::GetFileInfoRec(Info, Dir.QFile("none")));
    EXPECT_FALSE(Info.Exists);
    EXPECT_EQ(Info.Size, 0);
    EXPECT_EQ(Info.CreationTime, -127552.0);
    EXPECT_EQ(Info.LastWriteTime, -127552.0);
    EXPECT_EQ(Info.LastAccessTime, -127552.0);
    EXPECT_EQ(base::GetFileSizeSafe(Dir.QFile("none")), 0);
    EXPECT_EQ(base::GetFileSizeOrZero(Dir.QFile("none")), 0);
    EXPECT_EQ(base::FileSizeByHandle(Dir.QFile("none")), -1);
}

TEST(FileInfo, ReadsSizeTimesAndAttributesThroughALink) {
    testing_support::TempDir Dir;
    Touch(Dir.File("f.webm"), 1234);
    // Write time 2021-02-03 04:05:06.5 UTC, access time an hour later.
    const struct timespec Times[2] = {{1612325106 + 3600, 0}, {1612325106, 500000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, Dir.File("f.webm").c_str(), Times, 0), 0);
    ASSERT_EQ(::chmod(Dir.File("f.webm").c_str(), 0444), 0);
    std::filesystem::create_symlink("f.webm", Dir.File("link.webm"));

    base::TFileInfoRec Info;
    ASSERT_TRUE(base::GetFileInfoRec(Info, Dir.QFile("link.webm")));
    EXPECT_TRUE(Info.Exists);
    EXPECT_EQ(Info.Size, 1234);
    EXPECT_TRUE(Info.ReadOnly);
    EXPECT_TRUE(Info.Attributes.ValidAttributes);
    EXPECT_TRUE(Info.Attributes.SymLink);
    EXPECT_FALSE(Info.Attributes.Directory);
    EXPECT_EQ(Info.FileNameRec.BaseFileName, "link");
    const rtl::TDateTime Write = rtl::UTCToLocal(rtl::EncodeDateTime(2021, 2, 3, 4, 5, 6, 500));
    EXPECT_NEAR(Info.LastWriteTime, Write, 1e-8);
    EXPECT_NEAR(Info.LastAccessTime, Write + 1.0 / 24 - 0.5 / 86400, 1e-8);
    EXPECT_GT(Info.CreationTime, 40000); // the file system's or the write time, never the sentinel
    ::chmod(Dir.File("f.webm").c_str(), 0644);
}

// Access and write times set far apart and far in the past: the creation time is the file system's
// birth time (now) where it keeps one, else the write time; never the access time.
TEST(FileInfo, CreationTimeIsTheBirthTimeNotTheAccessTime) {
    testing_support::TempDir Dir;
    Touch(Dir.File("f"), 1);
    const timespec Times[2] = {{946684800, 0} /* 2000-01-01: access */, {1262304000, 0} /* 2010-01-01: write */};
    ASSERT_EQ(::utimensat(AT_FDCWD, Dir.File("f").c_str(), Times, 0), 0);
    rtl::TDateTime Creation = 0, Access = 0, Write = 0;
    ASSERT_TRUE(base::ReadFileTimes(Dir.QFile("f"), Creation, Access, Write));
    EXPECT_NEAR(Access, rtl::UTCToLocal(rtl::EncodeDateTime(2000, 1, 1, 0, 0, 0, 0)), 1e-6);
    EXPECT_NEAR(Write, rtl::UTCToLocal(rtl::EncodeDateTime(2010, 1, 1, 0, 0, 0, 0)), 1e-6);
    EXPECT_NE(Creation, Access);
    struct statx Sx {};
    if (::statx(AT_FDCWD, Dir.File("f").c_str(), 0, STATX_BTIME, &Sx) == 0 && (Sx.stx_mask & STATX_BTIME)) {
        EXPECT_GT(Creation, rtl::UTCToLocal(rtl::EncodeDateTime(2020, 1, 1, 0, 0, 0, 0))); // made just now
    } else {
        EXPECT_EQ(Creation, Write);
    }
}

TEST(FileInfo, SizeOfAFileHeldExclusivelyComesThroughTheFallback) {
    testing_support::TempDir Dir;
    Touch(Dir.File("locked"), 77);
    rtl::TFileStream Holder(Dir.QFile("locked"), rtl::fmOpenRead | rtl::fmShareExclusive);
    EXPECT_THROW(base::FileSizeByStream(Dir.QFile("locked")), rtl::EFOpenError);
    EXPECT_EQ(base::GetFileSizeSafe(Dir.QFile("locked")), 77);
    EXPECT_EQ(base::GetFileSizeOrZero(Dir.QFile("locked")), 77);
}

TEST(FileInfo, ForceDeleteRemovesReadOnlyFilesAndDirExistsSeesOnlyFolders) {
    testing_support::TempDir Dir;
    Touch(Dir.File("ro"));
    ::chmod(Dir.File("ro").c_str(), 0444);
    EXPECT_TRUE(base::ForceDeleteFile(Dir.QFile("ro")));
    EXPECT_FALSE(std::filesystem::exists(Dir.File("ro")));
    EXPECT_TRUE(base::ForceDeleteFile(Dir.QFile("never there")));

    Touch(Dir.File("file"));
    EXPECT_FALSE(base::DirExists(Dir.QFile("file")));
    EXPECT_TRUE(base::DirExists(Dir.QPath()));
    EXPECT_FALSE(base::DirExists(Dir.QFile("none")));

    base::TFileAttributesRec A;
    EXPECT_TRUE(base::GetFileAttributesRec(A, Dir.QPath()));
    EXPECT_TRUE(A.Directory && A.AnyFile && !A.ReadOnly);
    EXPECT_FALSE(base::GetFileAttributesRec(A, Dir.QFile("none")));
    EXPECT_FALSE(A.ValidAttributes);
}

TEST(SpecialFolders, FollowTheXdgFoldersOrGiveTheDefault) {
    EXPECT_EQ(base::GetSpecialFolderPath(999, "fallback"), "fallback");
    EXPECT_FALSE(base::GetSpecialFolderPath(base::CSIDL_MYMUSIC, "").isEmpty());
    EXPECT_EQ(base::GetDesktopDir(), base::GetSpecialFolderPath(base::CSIDL_DESKTOPDIRECTORY, ""));
}

TEST(Rects, EdgesAndInversions) {
    const RECT R{10, 20, 30, 60};
    EXPECT_EQ(base::RectWidth(R), 20);
    EXPECT_EQ(base::RectHeight(R), 40);
    EXPECT_EQ(base::RectWidth(RECT{30, 0, 10, 0}), -20);
    EXPECT_TRUE(base::PointInRectEx(POINT{30, 60}, R, true));
    EXPECT_FALSE(base::PointInRectEx(POINT{30, 60}, R, false));
    EXPECT_TRUE(base::PointInRectEx(POINT{10, 20}, R, false));
    EXPECT_FALSE(base::PointInRectEx(POINT{9, 20}, R, true));
}

} // namespace
