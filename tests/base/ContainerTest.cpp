// tests/base/ContainerTest.cpp: the skin container, built by a writer on this side (zlib, both
// scrambler modes), its descrambler and the decompression stream.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <cstring>
#include <zlib.h>

#include "base/Container.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"

namespace {

using base::ScrambleBlockSize;
using base::ScrambleHeaderSize;

QByteArray Text(int Size) {
    QByteArray B;
    uint32_t X = 12345;
    while (B.size() < Size) {
        X = X * 1103515245u + 12345u;
        B += "[Skin] colour=" + QByteArray::number(X >> 20) + "\r\n";
    }
    return B.left(Size);
}

QByteArray Compress(const QByteArray& Raw) {
    uLongf Len = compressBound(uLong(Raw.size()));
    QByteArray Out(int(Len), '\0');
    compress2(reinterpret_cast<Bytef*>(Out.data()), &Len, reinterpret_cast<const Bytef*>(Raw.constData()),
              uLong(Raw.size()), 9);
    Out.resize(int(Len));
    return Out;
}

const std::array<uint8_t, 6> Key{0x3A, 0xC5, 0x17, 0x92, 0x6E, 0xF1};

// The inverse of the descrambler, one byte at a time, applied block by block.
QByteArray Scramble(const QByteArray& Plain, uint8_t Mode) {
    QByteArray Head(ScrambleHeaderSize, '\x55');
    Head[4] = char(Mode);
    const int Offs[] = {13, 17, 21, 25, 29, 33};
    for (int k = 0; k < 6; ++k) Head[Offs[k]] = char(Key[size_t(k)]);
    QByteArray Body = Plain;
    for (int i = 0; i < Body.size(); ++i) {
        const size_t p = size_t(i % ScrambleBlockSize);
        uint8_t b = uint8_t(Body[i]);
        if (Mode == 2 && p > 0) {
            if (p % 11 == 0) b = uint8_t(b + uint8_t(Key[5] + Key[4]));
            if (p % 7 == 0) b = uint8_t(b + Key[4]);
            if (p % 4 == 0) b = uint8_t(b + uint8_t(Key[3] + Key[2]));
            if (p % 3 == 0) b = uint8_t(b - Key[4] + Key[2]);
        }
        if (Mode != 0) b = uint8_t(b + ((p & 1) ? Key[0] : Key[1]) + uint8_t(p));
        Body[i] = char(b);
    }
    return Head + Body;
}

QByteArray Container(const QByteArray& Payload, uint8_t Flag, const QByteArray& Name = "SKMN") {
    base::TContainerHeader H{};
    std::memcpy(H.Magic, "KWSZ", 4);
    const uint8_t Fixed[5] = {1, 2, 8, 0, 2};
    std::memcpy(H.Fixed, Fixed, 5);
    H.Unknown = 12100;
    H.PayloadLength = Payload.size();
    H.One = 1;
    H.Date = 44238.0;
    H.NameLength = uint16_t(Name.size());
    H.Scrambled = Flag;
    return QByteArray(reinterpret_cast<const char*>(&H), sizeof H) + Name + Payload;
}

QByteArray Unpack(const QByteArray& C, int* Result = nullptr) {
    rtl::TMemoryStream S;
    S.WriteBuffer(C.constData(), C.size());
    const int R = base::UnpackContainerInPlace(S);
    if (Result) *Result = R;
    return QByteArray(static_cast<const char*>(S.Memory()), int(S.Size()));
}

TEST(Container, UnpacksPlainAndScrambledPayloads) {
    for (int Size : {0, 100, 32768, 100000}) {
        const QByteArray Raw = Text(Size);
        const QByteArray Z = Compress(Raw);
        struct {
            uint8_t Flag;
            QByteArray Payload;
        } Cases[] = {{0, Z}, {2, Scramble(Z, 1)}, {2, Scramble(Z, 2)}, {1, Scramble(Z, 0)}};
        for (const auto& C : Cases) {
            SCOPED_TRACE(testing::Message() << "size " << Size << " flag " << int(C.Flag) << " mode "
                                            << (C.Flag ? int(uint8_t(C.Payload[4])) : -1));
            int R = -1;
            EXPECT_EQ(Unpack(Container(C.Payload, C.Flag), &R), Raw);
            EXPECT_EQ(R, 0);
        }
    }
}

TEST(Container, RejectsBadSizesAndRaisesOnCorruptStreams) {
    const QByteArray Good = Container(Compress(Text(500)), 0);
    int R = -1;
    EXPECT_EQ(Unpack(Good + "x", &R), Good + "x"); // one byte too many: untouched
    EXPECT_EQ(R, 40);
    EXPECT_EQ(Unpack(Good.left(46), &R), Good.left(46));
    EXPECT_EQ(R, 40);
    {
        rtl::TMemoryStream S;
        S.WriteBuffer(Good.constData(), 46);
        base::TContainerHeader H;
        EXPECT_EQ(base::ReadContainerHeader(S, H), 22);
    }
    // A negative payload length balancing a name that runs past the end.
    QByteArray Neg = Good;
    base::TContainerHeader H;
    std::memcpy(&H, Neg.constData(), sizeof H);
    H.NameLength = uint16_t(H.NameLength + 10);
    H.PayloadLength -= 10;
    std::memcpy(Neg.data(), &H, sizeof H);
    ASSERT_EQ(Neg.size(), H.PayloadLength + H.NameLength + 47);
    H.NameLength = uint16_t(Neg.size());
    H.PayloadLength = -47;
    std::memcpy(Neg.data(), &H, sizeof H);
    EXPECT_EQ((Unpack(Neg, &R), R), 40);

    QByteArray Corrupt = Good;
    Corrupt[60] = char(Corrupt[60] ^ 0xFF);
    Corrupt[61] = char(Corrupt[61] ^ 0x5A);
    try {
        Unpack(Corrupt);
        ADD_FAILURE() << "no error";
    } catch (const base::EZDecompressionError& E) {
        EXPECT_EQ(E.ErrorCode(), Z_DATA_ERROR);
        EXPECT_EQ(E.Message(), "Data error");
    }
    // The run-time library's spelling catches it too, code and all.
    try {
        Unpack(Corrupt);
        ADD_FAILURE() << "no error";
    } catch (const rtl::EZLibError& E) {
        EXPECT_EQ(E.ErrorCode(), Z_DATA_ERROR);
        EXPECT_EQ(E.ClassName(), "EZDecompressionError");
    }
    // A scrambled payload under 52 bytes goes to inflation as it is, and fails there.
    EXPECT_THROW(Unpack(Container(QByteArray(20, '\x07'), 2)), rtl::EZDecompressionError);
}

TEST(Descrambler, BlocksAndPositions) {
    const QByteArray Plain = Text(ScrambleBlockSize);
    rtl::TMemoryStream In, Out;
    const QByteArray S = Scramble(Plain, 2);
    In.WriteBuffer(S.constData(), S.size());
    base::TDec D;
    int Calls = 0;
    D.DecProc = [&](int) { return ++Calls > 0; };
    ASSERT_TRUE(D.DecodeStream(In, Out));
    EXPECT_EQ(Calls, 2); // a full block, then an empty one
    EXPECT_EQ(D.PercentComplete, 100);
    EXPECT_EQ(QByteArray(static_cast<const char*>(Out.Memory()), int(Out.Size())), Plain);

    // The same scrambled block descrambles alike in any block.
    const QByteArray Twice = S + S.mid(ScrambleHeaderSize);
    rtl::TMemoryStream In2, Out2;
    In2.WriteBuffer(Twice.constData(), Twice.size());
    ASSERT_TRUE(base::TDec().DecodeStream(In2, Out2));
    EXPECT_EQ(QByteArray(static_cast<const char*>(Out2.Memory()), int(Out2.Size())), Plain + Plain);

    base::TDec Stop;
    Stop.DecProc = [](int) { return false; };
    EXPECT_FALSE(Stop.DecodeStream(In2, Out2));
    EXPECT_TRUE(Stop.Aborted);
}

TEST(ZStream, SeekRules) {
    const QByteArray Raw = Text(5000);
    rtl::TMemoryStream Src;
    const QByteArray Z = Compress(Raw) + "TAIL";
    Src.WriteBuffer(Z.constData(), Z.size());
    Src.SetPosition(0);
    base::TZDecompressionStream S(Src);
    char Buf[100];
    EXPECT_EQ(S.Read(Buf, 100), 100);
    EXPECT_EQ(S.Seek(10, rtl::soCurrent), 110);
    EXPECT_EQ(S.Read(Buf, 5), 5);
    EXPECT_EQ(QByteArray(Buf, 5), Raw.mid(110, 5));
    EXPECT_EQ(S.Seek(50, rtl::soBeginning), 115); // backwards, not to 0: unchanged
    EXPECT_EQ(S.Seek(0, rtl::soEnd), 5000);
    EXPECT_EQ(Src.Position(), Z.size() - 4); // the source stands right after the compressed data
    EXPECT_EQ(S.Seek(0, rtl::soBeginning), 0);
    EXPECT_EQ(S.Read(Buf, 3), 3);
    EXPECT_EQ(QByteArray(Buf, 3), Raw.left(3));
    EXPECT_THROW(S.Seek(-1, rtl::soCurrent), base::EZDecompressionError);
    EXPECT_THROW(S.Write(Buf, 1), base::EZDecompressionError);
}

// Python's zlib inflates the descrambled payloads too.
TEST(Container, PythonZlibAgrees) {
    TW_REQUIRE_TOOL("/usr/bin/python3", "import zlib");
    testing_support::TempDir Dir;
    const QByteArray Raw = Text(70000);
    const QByteArray S = Scramble(Compress(Raw), 2);
    QByteArray Body = S.mid(ScrambleHeaderSize);
    for (int i = 0; i < Body.size(); i += ScrambleBlockSize)
        base::DescrambleBlock(reinterpret_cast<uint8_t*>(Body.data()) + i,
                              size_t(std::min(ScrambleBlockSize, int(Body.size()) - i)), 2, Key);
    const QString Z = Dir.Write("payload.z", Body);
    const auto Run = testing_support::RunProgram(
        "/usr/bin/python3", {"-c", "import sys,zlib;sys.stdout.buffer.write(zlib.decompress(open(sys.argv[1],'rb').read()))", Z});
    ASSERT_TRUE(Run.Ok()) << Run.Describe();
    EXPECT_EQ(Run.Out, Raw);
}

} // namespace
