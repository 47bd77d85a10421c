#include "rtl/Streams.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/stat.h>

using namespace rtl;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {

QByteArray Contents(TCustomMemoryStream& s) {
    return QByteArray(static_cast<const char*>(s.Memory()), qsizetype(s.Size()));
}

// The same seek and size behaviour is expected of memory and file streams.
enum class Kind { Memory, File };

struct StreamUnderTest {
    explicit StreamUnderTest(Kind kind) {
        if (kind == Kind::Memory) stream = std::make_unique<TMemoryStream>();
        else stream = std::make_unique<TFileStream>(dir.QFile(QStringLiteral("s.bin")), fmCreate);
    }
    TempDir dir;
    std::unique_ptr<TStream> stream;
};

} // namespace

class SeekAndSize : public ::testing::TestWithParam<Kind> {};

TEST_P(SeekAndSize, FollowTheClassLibrary) {
    StreamUnderTest t(GetParam());
    TStream& s = *t.stream;
    s.WriteBuffer("0123456789", 10);
    struct Step {
        int64_t offset;
        TSeekOrigin origin;
        int64_t expected;
    };
    for (const Step& step : {Step{0, soBeginning, 0}, Step{4, soCurrent, 4}, Step{-2, soEnd, 8},
                             Step{5, soEnd, 15}, Step{3, soBeginning, 3}, Step{-1, soCurrent, 2}}) {
        EXPECT_EQ(s.Seek(step.offset, step.origin), step.expected);
        EXPECT_EQ(s.Position(), step.expected);
    }
    char buf[4] = {};
    s.SetPosition(20);                                      // past the end: allowed, reads nothing
    EXPECT_EQ(s.Read(buf, 4), 0);
    EXPECT_EQ(s.Size(), 10);
    s.SetPosition(8);
    EXPECT_EQ(s.Read(buf, 4), 2);                           // short read at the end, no error
    EXPECT_EQ(std::string(buf, 2), "89");
}

TEST_P(SeekAndSize, WritingPastTheEndFillsTheGapWithZeros) {
    StreamUnderTest t(GetParam());
    TStream& s = *t.stream;
    s.WriteBuffer("abcdef", 6);
    s.SetSize(2);                                           // the old bytes must not reappear
    s.SetPosition(5);
    s.WriteBuffer("Z", 1);
    EXPECT_EQ(s.Size(), 6);
    char buf[6];
    s.SetPosition(0);
    s.ReadBuffer(buf, 6);
    EXPECT_EQ(std::string(buf, 6), std::string("ab\0\0\0Z", 6));
}

INSTANTIATE_TEST_SUITE_P(Streams, SeekAndSize, ::testing::Values(Kind::Memory, Kind::File),
                         [](const auto& info) { return info.param == Kind::Memory ? "Memory" : "File"; });

TEST(MemoryStream, SetSizeTruncatesAndClampsThePosition) {
    TMemoryStream s;
    s.WriteBuffer("0123456789", 10);
    s.SetSize(4);
    EXPECT_EQ(s.Position(), 4);
    EXPECT_EQ(Contents(s), QByteArray("0123"));
    s.SetPosition(2);
    s.SetSize(8);                                           // growing keeps the position, adds zeros
    EXPECT_EQ(s.Position(), 2);
    EXPECT_EQ(Contents(s), QByteArray("0123\0\0\0\0", 8));
    s.SetSize(0);
    EXPECT_EQ(s.Position(), 0);
}

TEST(MemoryStream, NegativePositionsTransferNothing) {
    TMemoryStream s;
    s.WriteBuffer("abc", 3);
    EXPECT_EQ(s.Seek(-5, soCurrent), -2);
    char c;
    EXPECT_EQ(s.Read(&c, 1), 0);
    EXPECT_EQ(s.Write("x", 1), 0);
    EXPECT_EQ(s.Size(), 3);
}

TEST(MemoryStream, GrowsInBlocksAndClearReleasesEverything) {
    TMemoryStream s;
    s.WriteBuffer("a", 1);
    EXPECT_EQ(s.Capacity(), 0x2000);
    const std::string big(100000, 'q');
    s.WriteBuffer(big.data(), int64_t(big.size()));
    EXPECT_GE(s.Capacity(), s.Size());
    EXPECT_EQ(s.Capacity() % 0x2000, 0);
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Position(), 0);
    EXPECT_EQ(s.Memory(), nullptr);
}

TEST(MemoryStream, SavesAndLoadsFilesAndStreams) {
    TempDir dir;
    const QString name = dir.QFile(QStringLiteral("m.bin"));
    TMemoryStream out;
    out.WriteBuffer("hello\0world", 11);
    out.SaveToFile(name);
    EXPECT_EQ(ReadFileBytes(name), QByteArray("hello\0world", 11));

    TMemoryStream in;
    in.LoadFromFile(name);
    EXPECT_EQ(Contents(in), QByteArray("hello\0world", 11));

    TMemoryStream copy;
    in.SetPosition(5);
    copy.LoadFromStream(in);                                // the whole source, from its start
    EXPECT_EQ(Contents(copy), Contents(in));
    EXPECT_THROW(in.LoadFromFile(dir.QFile(QStringLiteral("missing"))), EFOpenError);
}

TEST(Stream, BufferedTransfersRaiseOnShortCounts) {
    TMemoryStream s;
    s.WriteBuffer("abc", 3);
    s.SetPosition(1);
    char buf[8];
    try {
        s.ReadBuffer(buf, 3);
        FAIL() << "no EReadError";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Stream read error"));
    }
    TempDir dir;
    const QString name = dir.Write(QStringLiteral("r.bin"), "data");
    TFileStream readOnly(name, fmOpenRead | fmShareDenyNone);
    try {
        readOnly.WriteBuffer("x", 1);
        FAIL() << "no EWriteError";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Stream write error"));
    }
}

TEST(Stream, CopyFromWithCountZeroTakesTheWholeSourceFromItsStart) {
    TMemoryStream src, dst;
    src.WriteBuffer("0123456789", 10);
    src.SetPosition(7);
    EXPECT_EQ(dst.CopyFrom(src, 0), 10);
    EXPECT_EQ(Contents(dst), QByteArray("0123456789"));

    src.SetPosition(8);
    TMemoryStream part;
    EXPECT_EQ(part.CopyFrom(src, 2), 2);
    EXPECT_EQ(Contents(part), QByteArray("89"));
    src.SetPosition(8);
    EXPECT_THROW(part.CopyFrom(src, 3), EReadError);        // the source runs short
}

TEST(Stream, ReadsAndWritesPlainData) {
    TMemoryStream s;
    s.WriteData(uint32_t(0xA1B2C3D4));
    s.WriteData(int16_t(-2));
    s.SetPosition(0);
    uint32_t a = 0;
    int16_t b = 0;
    EXPECT_TRUE(s.ReadData(a));
    EXPECT_TRUE(s.ReadData(b));
    EXPECT_EQ(a, 0xA1B2C3D4u);
    EXPECT_EQ(b, -2);
    EXPECT_FALSE(s.ReadData(a));
}

TEST(FileStream, SetSizeCutsTheFileAndLeavesThePositionThere) {
    TempDir dir;
    const QString name = dir.Write(QStringLiteral("f.bin"), "0123456789");
    {
        TFileStream f(name, fmOpenReadWrite | fmShareExclusive);
        f.SetPosition(2);
        f.SetSize(6);
        EXPECT_EQ(f.Position(), 6);
        EXPECT_EQ(f.Size(), 6);
        f.SetSize(0);
        EXPECT_EQ(f.Position(), 0);
        f.WriteBuffer("ab", 2);
    }
    EXPECT_EQ(ReadFileBytes(name), QByteArray("ab"));
}

struct ShareCase {
    const char* name;
    uint16_t first;
    uint16_t second;
    bool allowed;
};

class ShareModes : public ::testing::TestWithParam<ShareCase> {};

TEST_P(ShareModes, ConflictsFollowWindowsRules) {
    const auto& c = GetParam();
    TempDir dir;
    const QString name = dir.Write(QStringLiteral("shared.bin"), "keep me");
    TFileStream first(name, c.first);
    if (c.allowed) {
        EXPECT_NO_THROW(TFileStream(name, c.second));
    } else {
        try {
            TFileStream second(name, c.second);
            FAIL() << "the second open was allowed";
        } catch (const EFileStreamError& e) {
            EXPECT_TRUE(e.Message().contains(u"being used by another process")) << e.Message().toStdString();
        }
    }
    if ((c.first & fmCreate) != fmCreate) {
        EXPECT_EQ(ReadFileBytes(name), QByteArray("keep me"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, ShareModes,
    ::testing::Values(
        ShareCase{"ReadDenyNoneTwice", fmOpenRead | fmShareDenyNone, fmOpenRead | fmShareDenyNone, true},
        ShareCase{"DenyWriteThenRead", fmOpenRead | fmShareDenyWrite, fmOpenRead | fmShareDenyWrite, true},
        ShareCase{"DenyWriteThenWrite", fmOpenRead | fmShareDenyWrite, fmOpenReadWrite | fmShareDenyNone, false},
        ShareCase{"WriterThenDenyWrite", fmOpenReadWrite | fmShareDenyNone, fmOpenRead | fmShareDenyWrite, false},
        ShareCase{"ExclusiveThenRead", fmOpenReadWrite | fmShareExclusive, fmOpenRead | fmShareDenyNone, false},
        ShareCase{"CompatIsExclusive", fmOpenRead, fmOpenRead | fmShareDenyNone, false},
        ShareCase{"DenyReadThenRead", fmOpenWrite | fmShareDenyRead, fmOpenRead | fmShareDenyNone, false},
        ShareCase{"DenyReadThenWrite", fmOpenWrite | fmShareDenyRead, fmOpenWrite | fmShareDenyNone, true},
        // A reader that shares everything beside a writer that denies writing (a rewrite in place).
        ShareCase{"InPlacePair", fmOpenReadWrite | fmShareDenyWrite, fmOpenRead | fmShareDenyNone, true},
        ShareCase{"CreateWhileReadDenyWrite", fmOpenRead | fmShareDenyWrite, fmCreate, false},
        ShareCase{"CreateDenyWriteThenReader", fmCreate | fmShareDenyWrite, fmOpenRead | fmShareDenyNone, true},
        ShareCase{"CreateDenyWriteThenDenyWrite", fmCreate | fmShareDenyWrite, fmOpenRead | fmShareDenyWrite, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileStream, CreateRefusedByASharingConflictLeavesTheFileIntact) {
    TempDir dir;
    const QString name = dir.Write(QStringLiteral("song.tmp"), "original");
    TFileStream reader(name, fmOpenRead | fmShareDenyWrite);
    EXPECT_THROW(TFileStream(name, fmCreate), EFCreateError);
    EXPECT_EQ(ReadFileBytes(name), QByteArray("original"));
}

TEST(FileStream, ClosingReleasesTheShare) {
    TempDir dir;
    const QString name = dir.Write(QStringLiteral("a.bin"), "x");
    { TFileStream exclusive(name, fmOpenReadWrite | fmShareExclusive); }
    EXPECT_NO_THROW(TFileStream(name, fmOpenReadWrite | fmShareExclusive));
}

TEST(FileStream, OpenAndCreateErrorsNameTheFileAndTheSystemReason) {
    TempDir dir;
    const QString missing = dir.QFile(QStringLiteral("missing.webm"));
    try {
        TFileStream f(missing, fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(missing));
    }
    const QString inMissingFolder = dir.QFile(QStringLiteral("nope/out.mp3"));
    try {
        TFileStream f(inMissingFolder, fmCreate);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(inMissingFolder));
    }
    EXPECT_THROW(TFileStream(dir.QPath(), fmOpenRead), EFOpenError);                // a folder is no file
    const QString existing = dir.Write(QStringLiteral("e.bin"), "1");
    EXPECT_THROW(TFileStream(existing, fmCreate | fmExclusive), EFCreateError);
}

TEST(FileStream, CreateTruncatesAnUnsharedFile) {
    TempDir dir;
    const QString name = dir.Write(QStringLiteral("t.bin"), "long old content");
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("new", 3);
    }
    EXPECT_EQ(ReadFileBytes(name), QByteArray("new"));
}

TEST(BytesStream, ExposesItsBytesWithCapacityLength) {
    TBytesStream s(TBytes{1, 2, 3});
    EXPECT_EQ(s.Size(), 3);
    EXPECT_EQ(s.Bytes(), (TBytes{1, 2, 3}));
    s.SetPosition(3);
    s.WriteBuffer("\x04", 1);
    EXPECT_EQ(s.Size(), 4);
    ASSERT_GE(s.Bytes().size(), 4u);
    EXPECT_EQ(TBytes(s.Bytes().begin(), s.Bytes().begin() + 4), (TBytes{1, 2, 3, 4}));
}

TEST(StringStream, KeepsTextInItsEncoding) {
    TStringStream utf8(QString::fromUtf8("h\xC3\xA9"), TEncoding::UTF8());
    EXPECT_EQ(utf8.Size(), 3);
    utf8.SetPosition(3);
    utf8.WriteString(QStringLiteral("!"));
    EXPECT_EQ(utf8.DataString(), QString::fromUtf8("h\xC3\xA9!"));
    utf8.SetPosition(1);
    EXPECT_EQ(utf8.ReadString(2), QString::fromUtf8("\xC3\xA9"));
    EXPECT_EQ(utf8.Position(), 3);

    TStringStream ansi(QString::fromUtf8("\xC3\xA9"));
    EXPECT_EQ(ansi.Size(), 1);                              // ANSI unless told otherwise
    EXPECT_EQ(ansi.Encoding(), TEncoding::Default());

    TStringStream fromBytes(TBytes{0xFF, 0xFE, 'a', 0});
    EXPECT_EQ(fromBytes.Encoding(), TEncoding::Unicode());

    TStringStream owning(QStringLiteral("x"), TEncoding::GetEncoding(1200), true);   // freed with the stream
    EXPECT_EQ(owning.Size(), 2);
}
