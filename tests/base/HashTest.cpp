// tests/base/HashTest.cpp
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <QFile>
#include <QFileInfo>
#include <fstream>
#include <random>
#include <unistd.h>
#include <zlib.h>

#include "base/Hash.h"
#include "base/HashCRC32.h"
#include "base/HashSHA1.h"
#include "base/MemUtil.h"
#include "base/SHA1.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"

namespace {

std::string Sha1Hex(const std::string& Data, size_t Step) {
    base::THashContext Ctx;
    base::SHA1Init(Ctx);
    for (size_t i = 0; i < Data.size(); i += Step)
        base::SHA1Update(Ctx, Data.data() + i, std::min(Step, Data.size() - i));
    base::TSHA1Digest D;
    base::SHA1Final(Ctx, D);
    return base::BufferToHex(D, 20).toStdString();
}

std::vector<uint8_t> Noise(size_t Size, unsigned Seed = 1) {
    std::mt19937 Gen(Seed);
    std::vector<uint8_t> Bytes(Size);
    for (auto& B : Bytes) B = uint8_t(Gen());
    return Bytes;
}

QString WriteFile(const testing_support::TempDir& Dir, const std::string& Name,
                  const std::vector<uint8_t>& Bytes) {
    std::ofstream(Dir.File(Name), std::ios::binary)
        .write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
    return QString::fromStdString(Dir.File(Name).string());
}

class Sha1Primitive : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { base::detail::SHA1UsePortable(GetParam()); }
    void TearDown() override { base::detail::SHA1UsePortable(false); }
};

// Published vectors, fed in pieces that straddle the 64-byte blocks in every way.
TEST_P(Sha1Primitive, GivesThePublishedDigestsWhateverThePieceSize) {
    const std::string Long = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    const std::string Million(1000000, 'a');
    for (size_t Step : {1, 3, 63, 64, 65, 1000, 65535}) {
        EXPECT_EQ(Sha1Hex("", Step), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
        EXPECT_EQ(Sha1Hex("abc", Step), "a9993e364706816aba3e25717850c26c9cd0d89d");
        EXPECT_EQ(Sha1Hex(Long, Step), "84983e441c3bd26ebaae4aa1f95129e5e54670f1") << Step;
    }
    EXPECT_EQ(Sha1Hex(Million, 65535), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
    EXPECT_EQ(Sha1Hex(Million, 7), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

INSTANTIATE_TEST_SUITE_P(Paths, Sha1Primitive, ::testing::Values(false, true),
                         [](const auto& Info) { return Info.param ? "Portable" : "Native"; });

TEST(HashRegistry, HoldsTheSha1DescriptorOnly) {
    const base::PHashDesc Desc = base::FindHash_by_ID(base::_SHA1);
    ASSERT_NE(Desc, nullptr);
    EXPECT_EQ(Desc->HBlockLen, 64);
    EXPECT_EQ(Desc->HDigestlen, 20);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Desc->HName + 1), Desc->HName[0]), "SHA1");
    EXPECT_EQ(Desc->HLenOID, 6);
    EXPECT_EQ(base::FindHash_by_ID(base::_CRC32), nullptr);
    EXPECT_EQ(base::FindHash_by_ID(19), nullptr);

    base::THashDesc Bad = *Desc;
    Bad.HSig = 0;
    base::RegisterHash(4, &Bad); // wrong number and signature: ignored
    EXPECT_EQ(base::FindHash_by_ID(4), nullptr);
}

TEST(HashHelpers, HexAndSpeed) {
    const uint8_t Bytes[] = {0x00, 0xAB, 0x7F};
    EXPECT_EQ(base::BufferToHex(Bytes, 3), QByteArray("00ab7f"));
    EXPECT_TRUE(base::BufferToHex(nullptr, 3).isEmpty());
    EXPECT_DOUBLE_EQ(base::CalcSpeedMBps(2 * 1048576, 500, 7), 4.0);
    EXPECT_DOUBLE_EQ(base::CalcSpeedMBps(1048576, 0, 7), 7.0);
}

// A stream that claims more bytes than it holds, as a file cut short while it is read.
class ShrunkStream : public rtl::TMemoryStream {
protected:
    int64_t GetSize() override { return rtl::TMemoryStream::GetSize() + 1000; }
};

TEST(HashStreams, ChunkCountsPercentsAndStartPosition) {
    rtl::TMemoryStream Stream;
    const auto Bytes = Noise(250000);
    Stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));

    std::vector<std::pair<int, int>> Calls;
    const uint32_t Crc = base::CRC32OfStream(Stream, 0, [&](int P, int C) {
        Calls.emplace_back(P, C);
        return true;
    });
    EXPECT_EQ(Calls, (std::vector<std::pair<int, int>>{{41, 1}, {82, 2}, {100, 3}}));
    EXPECT_EQ(Crc, crc32(0, Bytes.data(), uInt(Bytes.size())));

    // From an offset: only the rest counts.
    EXPECT_EQ(base::CRC32OfStream(Stream, 1000), crc32(0, Bytes.data() + 1000, uInt(Bytes.size() - 1000)));
    base::THashResultRec Res;
    ASSERT_TRUE(base::SHA1OfStream(Stream, Res, 249997));
    EXPECT_EQ(Res.StreamSize, 3);

    Calls.clear();
    Stream.SetSize(64513);
    ASSERT_TRUE(base::SHA1OfStream(Stream, Res, 0, [&](int P, int C) {
        Calls.emplace_back(P, C);
        return true;
    }));
    EXPECT_EQ(Calls, (std::vector<std::pair<int, int>>{{100, 1}, {100, 2}}));
    Calls.clear();
    Stream.SetSize(64512);
    ASSERT_TRUE(base::SHA1OfStream(Stream, Res, 0, [&](int P, int C) {
        Calls.emplace_back(P, C);
        return true;
    }));
    EXPECT_EQ(Calls.size(), 1u);
}

TEST(HashStreams, Sha1ReportsItsSpeed) {
    rtl::TMemoryStream Stream;
    Stream.SetSize(16 << 20);
    base::THashResultRec Res;
    ASSERT_TRUE(base::SHA1OfStream(Stream, Res, 0));
    EXPECT_EQ(Res.StreamSize, 16 << 20);
    EXPECT_FLOAT_EQ(Res.SpeedMBperSec, float(base::CalcSpeedMBps(Res.StreamSize, Res.ElapsedTimeMs, 0)));
    if (Res.ElapsedTimeMs > 0) {
        EXPECT_GT(Res.SpeedMBperSec, 0);
    }
}

TEST(HashStreams, StoppedRunsGivePartialCrcAndFalseSha1) {
    rtl::TMemoryStream Stream;
    const auto Bytes = Noise(250000);
    Stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
    EXPECT_EQ(base::CRC32OfStream(Stream, 0, [](int, int) { return false; }), crc32(0, Bytes.data(), 102400));

    base::THashResultRec Res;
    Res.StrValueLower = QStringLiteral("stale");
    EXPECT_FALSE(base::SHA1OfStream(Stream, Res, 0, [](int, int) { return false; }));
    EXPECT_TRUE(Res.StrValueLower.isEmpty());
    EXPECT_TRUE(Res.StrValueUpper.isEmpty());
    EXPECT_EQ(Res.StreamSize, 250000);
}

TEST(HashStreams, AStreamThatEndsEarlyRaisesInsteadOfLooping) {
    ShrunkStream Stream;
    const auto Bytes = Noise(5000);
    Stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
    EXPECT_THROW(base::CRC32OfStream(Stream, 0), rtl::EReadError);
    base::THashResultRec Res;
    EXPECT_THROW(base::SHA1OfStream(Stream, Res, 0), rtl::EReadError);
}

TEST(HashFiles, AFileCutWhileItIsHashedRaises) {
    testing_support::TempDir Dir;
    const QString Name = WriteFile(Dir, "shrinks.bin", Noise(300000));
    const auto Cut = [&](int, int) { return ::truncate(QFile::encodeName(Name).constData(), 1000) == 0; };
    EXPECT_THROW(base::CRC32OfFile(Name, Cut), rtl::EReadError);
    WriteFile(Dir, "shrinks.bin", Noise(300000));
    base::THashResultRec Res;
    EXPECT_THROW(base::SHA1OfFile(Name, Res, Cut), rtl::EReadError);
}

TEST(HashFiles, MissingFileRaisesOpenError) {
    testing_support::TempDir Dir;
    base::THashResultRec Res;
    EXPECT_THROW(base::CRC32OfFile(Dir.QFile(QStringLiteral("none"))), rtl::EFOpenError);
    EXPECT_THROW(base::SHA1OfFile(Dir.QFile(QStringLiteral("none")), Res), rtl::EFOpenError);
}

// Sizes at and around both chunk lengths, and a sparse file, against Python's zlib and sha1sum.
TEST(HashFiles, MatchPythonZlibAndSha1sum) {
    TW_REQUIRE_TOOL("/usr/bin/python3", "import zlib");
    TW_REQUIRE_TOOL("sha1sum");
    testing_support::TempDir Dir;
    QStringList Files;
    for (size_t Size : {0, 1, 64511, 64512, 64513, 102399, 102400, 102401, 250000})
        Files << WriteFile(Dir, "f" + std::to_string(Size), Noise(Size, unsigned(Size)));
    // A sparse file: mostly holes, some data past the first chunks.
    const QString Sparse = Dir.QFile(QStringLiteral("sparse"));
    {
        QFile F(Sparse);
        ASSERT_TRUE(F.open(QIODevice::WriteOnly));
        ASSERT_TRUE(F.resize(64 * 1048576 + 17));
        F.seek(5 * 1048576 + 3);
        F.write("data in the middle");
    }
    Files << Sparse;

    const auto Crcs = testing_support::RunProgram(
        QStringLiteral("/usr/bin/python3"),
        QStringList{QStringLiteral("-c"),
                    QStringLiteral(
                        "import sys,zlib\nfor n in sys.argv[1:]:\n print(zlib.crc32(open(n,'rb').read()))")} +
            Files);
    ASSERT_TRUE(Crcs.Ok()) << Crcs.Describe();
    const auto Shas = testing_support::RunProgram(QStringLiteral("sha1sum"), Files);
    ASSERT_TRUE(Shas.Ok()) << Shas.Describe();
    const auto CrcLines = QString::fromUtf8(Crcs.Out).split(u'\n', Qt::SkipEmptyParts);
    const auto ShaLines = QString::fromUtf8(Shas.Out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(CrcLines.size(), Files.size());
    ASSERT_EQ(ShaLines.size(), Files.size());
    for (int i = 0; i < Files.size(); ++i) {
        EXPECT_EQ(base::CRC32OfFile(Files[i]), CrcLines[i].toUInt()) << Files[i].toStdString();
        base::THashResultRec Res;
        ASSERT_TRUE(base::SHA1OfFile(Files[i], Res));
        EXPECT_EQ(Res.StrValueLower, ShaLines[i].left(40)) << Files[i].toStdString();
        EXPECT_EQ(Res.StrValueUpper, ShaLines[i].left(40).toUpper());
        EXPECT_EQ(Res.StreamSize, QFileInfo(Files[i]).size());
        EXPECT_EQ(Res.IntValue, 0);
    }
}

TEST(HashFiles, KnownValues) {
    testing_support::TempDir Dir;
    const std::string Digits = "123456789";
    EXPECT_EQ(base::CRC32OfFile(WriteFile(Dir, "d", {Digits.begin(), Digits.end()})), 0xCBF43926u);
    EXPECT_EQ(base::CRC32OfFile(WriteFile(Dir, "e", {})), 0u);
    base::THashResultRec Res;
    ASSERT_TRUE(base::SHA1OfFile(WriteFile(Dir, "abc", {'a', 'b', 'c'}), Res));
    EXPECT_EQ(Res.StrValueUpper, QStringLiteral("A9993E364706816ABA3E25717850C26C9CD0D89D"));
}

} // namespace
