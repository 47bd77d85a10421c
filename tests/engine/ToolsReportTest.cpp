// tests/engine/ToolsReportTest.cpp: the file and tools reports, their exact layout, and their sizes and
// checksums against stat, Python's zlib and sha1sum over Debian's tools.
#include "app/engine/ToolsReport.h"

#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"

namespace {

using testing_support::RunProgram;

QByteArray Bytes(int Size) {
    QByteArray B(Size, '\0');
    for (int i = 0; i < Size; ++i) B[i] = char('a' + i % 26);
    return B;
}

// A PE32 executable header with an empty section table: enough for the binary-type line.
QByteArray TinyPe() {
    QByteArray B(0x200, '\0');
    B[0] = 'M';
    B[1] = 'Z';
    B[60] = char(0x80);
    B.replace(0x80, 4, QByteArray("PE\0\0", 4));
    B[0x84] = char(0x4C);
    B[0x85] = char(0x01);
    B[0x96] = 0x02; // executable
    B[0x98] = 0x0B;
    B[0x99] = 0x01;
    return B;
}

TEST(FileInfoText, ExactLayout) {
    testing_support::TempDir Dir;
    // Checksums from Python's zlib and sha1sum for these very bytes.
    const QString Text = Dir.Write("notes.txt", Bytes(1536));
    EXPECT_EQ(engine::GetFileInfoText(Text, 18),
              "        File name: " + Text + "\r\n"
              "        File size: 1 536 bytes (1.50 KB)\r\n"
              "       File CRC32: $81EE2D86\r\n"
              "       File SHA-1: 3dd37992924d8090ce94b1d48d837da064d6b768");

    const QString Exe = Dir.Write("tool.exe", TinyPe());
    const QString Report = engine::GetFileInfoText(Exe, 18);
    EXPECT_TRUE(Report.endsWith(
        "\r\n      Binary type: 32-bit Executable / Win PE32 / Intel 386 or later processors and compatible processors"))
        << Report.toStdString();
    EXPECT_TRUE(Report.contains("\r\n        File size: 512 bytes (512 bytes)\r\n")) << Report.toStdString();

    EXPECT_EQ(engine::GetFileInfoText(Dir.QFile("missing"), 18), "");
}

TEST(ToolsInfoText, DebianToolsMatchStatZlibAndSha1sum) {
    TW_REQUIRE_TOOL("/usr/bin/python3", "import zlib");
    TW_REQUIRE_TOOL("sha1sum");
    TW_REQUIRE_TOOL("ffmpeg");
    TW_REQUIRE_TOOL("ffprobe");
    TW_REQUIRE_TOOL("ffplay");
    const QString Lib = QStringLiteral("/usr/lib/x86_64-linux-gnu/libmediainfo.so.0");
    if (!QFileInfo::exists(Lib)) GTEST_SKIP() << "libmediainfo missing";
    const engine::TAppParams Saved = engine::AppParams;
    engine::AppParams.ffmpeg = testing_support::FindTool("ffmpeg");
    engine::AppParams.ffplay = testing_support::FindTool("ffplay");
    engine::AppParams.ffprobe = testing_support::FindTool("ffprobe");
    engine::AppParams.MediaInfoDll = Lib;
    const QString Report = engine::GetToolsInfoText(18);
    const QStringList Files{engine::AppParams.ffmpeg, engine::AppParams.ffplay, engine::AppParams.ffprobe,
                            engine::AppParams.MediaInfoDll};
    engine::AppParams = Saved;

    const QString Sep = "\r\n" + QString(83, u'-');
    EXPECT_TRUE(Report.startsWith("FFmpeg\r\n        File name: " + Files[0])) << Report.toStdString();
    EXPECT_EQ(Report.count(Sep), 4); // no libraries: Debian's encoder folder holds no av*.dll
    EXPECT_TRUE(Report.contains(Sep + "\r\nMediaInfo\r\n"));

    const auto Crcs = RunProgram("/usr/bin/python3",
                                 QStringList{"-c", "import sys,zlib\nfor n in sys.argv[1:]:\n"
                                                   " print('%08X' % zlib.crc32(open(n,'rb').read()))"} +
                                     Files);
    ASSERT_TRUE(Crcs.Ok()) << Crcs.Describe();
    const auto Shas = RunProgram("sha1sum", Files);
    ASSERT_TRUE(Shas.Ok()) << Shas.Describe();
    const QStringList CrcLines = QString(Crcs.Out).trimmed().split('\n');
    const QStringList ShaLines = QString(Shas.Out).trimmed().split('\n');
    for (int i = 0; i < Files.size(); ++i) {
        SCOPED_TRACE(Files[i].toStdString());
        const QString Size = QString::number(QFileInfo(Files[i]).size()).replace(QRegularExpression("(\\d)(?=(\\d{3})+$)"), "\\1 ");
        EXPECT_TRUE(Report.contains("        File size: " + Size + " bytes ("));
        EXPECT_TRUE(Report.contains("       File CRC32: $" + CrcLines[i]));
        EXPECT_TRUE(Report.contains("       File SHA-1: " + ShaLines[i].section(' ', 0, 0)));
    }
    EXPECT_FALSE(Report.contains("Binary type:")); // ELF files are not Windows executables
}

} // namespace
