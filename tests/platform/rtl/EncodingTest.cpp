#include "rtl/Encoding.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using rtl::TBytes;
using rtl::TEncoding;

namespace {

TBytes B(std::initializer_list<int> values) {
    TBytes out;
    for (int v : values) out.push_back(uint8_t(v));
    return out;
}

const QString kSample = QString::fromUtf8("A\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E");   // "Aé€" + U+1D11E

} // namespace

struct EncodingCase {
    const char* name;
    TEncoding* (*encoding)();
    TBytes preamble;
    TBytes sampleBytes;
    bool roundTrips;
};

class EncodingTable : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(EncodingTable, EncodesThePreambleAndTheSample) {
    const auto& c = GetParam();
    TEncoding* e = c.encoding();
    EXPECT_EQ(e->GetPreamble(), c.preamble);
    EXPECT_EQ(e->GetBytes(kSample), c.sampleBytes);
    if (c.roundTrips) {
        EXPECT_EQ(e->GetString(c.sampleBytes), kSample);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Standard, EncodingTable,
    ::testing::Values(
        EncodingCase{"UTF8", &TEncoding::UTF8, B({0xEF, 0xBB, 0xBF}),
                     B({0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9D, 0x84, 0x9E}), true},
        EncodingCase{"UTF8NoBOM", &TEncoding::UTF8NoBOM, {},
                     B({0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9D, 0x84, 0x9E}), true},
        EncodingCase{"Unicode", &TEncoding::Unicode, B({0xFF, 0xFE}),
                     B({0x41, 0, 0xE9, 0, 0xAC, 0x20, 0x34, 0xD8, 0x1E, 0xDD}), true},
        EncodingCase{"BigEndianUnicode", &TEncoding::BigEndianUnicode, B({0xFE, 0xFF}),
                     B({0, 0x41, 0, 0xE9, 0x20, 0xAC, 0xD8, 0x34, 0xDD, 0x1E}), true},
        // ANSI never fails: the character outside Windows-1252 becomes "?".
        EncodingCase{"ANSI", &TEncoding::ANSI, {}, B({0x41, 0xE9, 0x80, '?'}), false},
        EncodingCase{"Default", &TEncoding::Default, {}, B({0x41, 0xE9, 0x80, '?'}), false},
        EncodingCase{"ASCII", &TEncoding::ASCII, {}, B({0x41, 'e', '?', '?'}), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Windows1252, DecodesEveryByteAndTheUndefinedOnesToC1Controls) {
    TBytes all(256);
    for (int i = 0; i < 256; ++i) all[size_t(i)] = uint8_t(i);
    const QString text = TEncoding::ANSI()->GetString(all);
    ASSERT_EQ(text.size(), 256);
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(text.at(b).unicode(), b) << b;
    EXPECT_EQ(text.at(0x80).unicode(), 0x20AC);
    EXPECT_EQ(text.at(0x9F).unicode(), 0x0178);
    EXPECT_EQ(text.at(0xFF).unicode(), 0x00FF);
    // Every byte comes back unchanged, the undefined ones included.
    EXPECT_EQ(TEncoding::ANSI()->GetBytes(text), all);
}

TEST(Windows1252, MatchesPythonsCodecOnTheDefinedBytes) {
    if (!QFile::exists(QStringLiteral("/usr/bin/python3"))) GTEST_SKIP() << "/usr/bin/python3 not installed";
    QProcess peer;
    peer.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral("-c"),
                QStringLiteral("import sys\n"
                               "for b in range(256):\n"
                               "    try: sys.stdout.write('%d %d\\n' % (b, ord(bytes([b]).decode('cp1252'))))\n"
                               "    except UnicodeDecodeError: pass\n")});
    ASSERT_TRUE(peer.waitForFinished(30000));
    const QStringList lines = QString::fromLatin1(peer.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 251);   // Python leaves the five undefined bytes out
    for (const QString& line : lines) {
        const QStringList pair = line.split(u' ');
        const TBytes one{uint8_t(pair[0].toInt())};
        EXPECT_EQ(TEncoding::ANSI()->GetString(one).at(0).unicode(), pair[1].toInt()) << line.toStdString();
    }
}

TEST(Windows1252, BestFitsAccentedLettersAndReplacesTheRest) {
    EXPECT_EQ(TEncoding::ANSI()->GetBytes(QString::fromUtf8("\xC4\x80\xC5\x82\xE4\xB8\xAD")),
              B({'A', '?', '?'}));   // Ā → A; ł and 中 have no base letter in 1252
}

struct InvalidUtf8Case {
    const char* name;
    TBytes bytes;
};

class InvalidUtf8 : public ::testing::TestWithParam<InvalidUtf8Case> {};

TEST_P(InvalidUtf8, DecodesToNothingAndReportsIt) {
    const auto& c = GetParam();
    QString out = QStringLiteral("x");
    EXPECT_FALSE(TEncoding::UTF8()->TryGetString(c.bytes.data(), c.bytes.size(), out));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_TRUE(TEncoding::UTF8()->GetString(c.bytes).isEmpty());
    EXPECT_FALSE(rtl::IsValidUtf8(c.bytes.data(), c.bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, InvalidUtf8,
    ::testing::Values(InvalidUtf8Case{"Overlong", B({'a', 0xC0, 0x80})},
                      InvalidUtf8Case{"OverlongThreeBytes", B({0xE0, 0x80, 0xAF})},
                      InvalidUtf8Case{"Surrogate", B({0xED, 0xA0, 0x80})},
                      InvalidUtf8Case{"Truncated", B({'a', 0xE2, 0x82})},
                      InvalidUtf8Case{"BeyondUnicode", B({0xF4, 0x90, 0x80, 0x80})},
                      InvalidUtf8Case{"LoneContinuation", B({0x80})},
                      InvalidUtf8Case{"Latin1Byte", B({'c', 'a', 'f', 0xE9})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Utf8, RefusesToEncodeALoneSurrogate) {
    QString text = QStringLiteral("ab");
    text.append(QChar(0xD800));
    EXPECT_TRUE(TEncoding::UTF8()->GetBytes(text).empty());
}

TEST(Utf16, IgnoresAnOddLastByte) {
    EXPECT_EQ(TEncoding::Unicode()->GetString(B({0x41, 0, 0x42})), QStringLiteral("A"));
    EXPECT_EQ(TEncoding::BigEndianUnicode()->GetString(B({0, 0x41, 0})), QStringLiteral("A"));
}

TEST(Encoding, GetStringTakesARangeClampedToTheBuffer) {
    const TBytes bytes = B({'a', 'b', 'c', 'd'});
    EXPECT_EQ(TEncoding::ANSI()->GetString(bytes, 1, 2), QStringLiteral("bc"));
    EXPECT_EQ(TEncoding::ANSI()->GetString(bytes, 2, 100), QStringLiteral("cd"));
    EXPECT_EQ(TEncoding::ANSI()->GetString(bytes, 9, 1), QString());
}

struct BufferEncodingCase {
    const char* name;
    TBytes bytes;
    TEncoding* (*expected)();
    int preambleLength;
};

class BufferEncoding : public ::testing::TestWithParam<BufferEncodingCase> {};

TEST_P(BufferEncoding, FindsTheBomOrFallsBackToTheDefault) {
    const auto& c = GetParam();
    TEncoding* found = nullptr;
    EXPECT_EQ(TEncoding::GetBufferEncoding(c.bytes, found), c.preambleLength);
    EXPECT_EQ(found, c.expected());
}

INSTANTIATE_TEST_SUITE_P(
    Boms, BufferEncoding,
    ::testing::Values(BufferEncodingCase{"Utf8", B({0xEF, 0xBB, 0xBF, 'a'}), &TEncoding::UTF8, 3},
                      BufferEncodingCase{"Utf16LE", B({0xFF, 0xFE, 'a', 0}), &TEncoding::Unicode, 2},
                      BufferEncodingCase{"Utf16BE", B({0xFE, 0xFF, 0, 'a'}), &TEncoding::BigEndianUnicode, 2},
                      BufferEncodingCase{"PartialBom", B({0xEF, 0xBB}), &TEncoding::Default, 0},
                      BufferEncodingCase{"NoBom", B({'a', 'b'}), &TEncoding::Default, 0},
                      BufferEncodingCase{"Empty", {}, &TEncoding::Default, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BufferEncoding, WithAGivenEncodingOnlyMeasuresItsPreamble) {
    TEncoding* given = TEncoding::UTF8();
    EXPECT_EQ(TEncoding::GetBufferEncoding(B({0xEF, 0xBB, 0xBF, 'a'}), given), 3);
    EXPECT_EQ(TEncoding::GetBufferEncoding(B({0xFF, 0xFE, 'a', 0}), given), 0);
    EXPECT_EQ(given, TEncoding::UTF8());
    TEncoding* ansi = TEncoding::ANSI();
    EXPECT_EQ(TEncoding::GetBufferEncoding(B({0xEF, 0xBB, 0xBF}), ansi), 0);   // no preamble to find
}

struct DetectCase {
    const char* name;
    TBytes bytes;
    TEncoding* (*expected)();
    int preambleLength;
    QString text;
};

class DetectText : public ::testing::TestWithParam<DetectCase> {};

TEST_P(DetectText, ABomDecidesThenValidUtf8ThenWindows1252) {
    const auto& c = GetParam();
    int preamble = -1;
    EXPECT_EQ(rtl::DetectTextEncoding(c.bytes, preamble), c.expected());
    EXPECT_EQ(preamble, c.preambleLength);
    TEncoding* used = nullptr;
    EXPECT_EQ(rtl::DecodeText(c.bytes, nullptr, &used), c.text);
    EXPECT_EQ(used, c.expected());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DetectText,
    ::testing::Values(
        DetectCase{"Utf8Bom", B({0xEF, 0xBB, 0xBF, 0xC3, 0xA9}), &TEncoding::UTF8, 3, QString::fromUtf8("\xC3\xA9")},
        // A BOM wins even over bytes that would read as something else.
        DetectCase{"Utf16Bom", B({0xFF, 0xFE, 0xE9, 0}), &TEncoding::Unicode, 2, QString::fromUtf8("\xC3\xA9")},
        DetectCase{"Utf16BEBom", B({0xFE, 0xFF, 0, 0xE9}), &TEncoding::BigEndianUnicode, 2, QString::fromUtf8("\xC3\xA9")},
        DetectCase{"ValidUtf8", B({'x', 0xC3, 0xA9}), &TEncoding::UTF8NoBOM, 0, QString::fromUtf8("x\xC3\xA9")},
        DetectCase{"InvalidUtf8", B({'x', 0xE9, 0x80}), &TEncoding::ANSI, 0, QString::fromUtf8("x\xC3\xA9\xE2\x82\xAC")},
        DetectCase{"Ascii", B({'a', '=', '1'}), &TEncoding::ANSI, 0, QStringLiteral("a=1")},
        DetectCase{"Empty", {}, &TEncoding::ANSI, 0, QString()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeText, SkipsTheBomOfAGivenEncodingOnly) {
    EXPECT_EQ(rtl::DecodeText(B({0xEF, 0xBB, 0xBF, 'a'}), TEncoding::UTF8()), QStringLiteral("a"));
    EXPECT_EQ(rtl::DecodeText(B({'a'}), TEncoding::UTF8()), QStringLiteral("a"));
    EXPECT_EQ(rtl::DecodeText(B({0xEF, 0xBB, 0xBF}), TEncoding::ANSI()).size(), 3);
}

TEST(Encoding, ConvertsBetweenEncodings) {
    EXPECT_EQ(TEncoding::Convert(TEncoding::ANSI(), TEncoding::UTF8(), B({'a', 0xE9, 0x80})),
              B({'a', 0xC3, 0xA9, 0xE2, 0x82, 0xAC}));
    EXPECT_EQ(TEncoding::Convert(TEncoding::UTF8(), TEncoding::BigEndianUnicode(), B({'x', 'a', 'b'}), 1, 1),
              B({0, 'a'}));
}

TEST(Encoding, StandardInstancesAreNeverFreed) {
    EXPECT_TRUE(TEncoding::IsStandardEncoding(TEncoding::UTF8()));
    EXPECT_TRUE(TEncoding::IsStandardEncoding(TEncoding::Default()));
    TEncoding* own = TEncoding::GetEncoding(65001);
    ASSERT_NE(own, nullptr);
    EXPECT_FALSE(TEncoding::IsStandardEncoding(own));
    EXPECT_EQ(own->GetPreamble(), TEncoding::UTF8()->GetPreamble());
    TEncoding::FreeEncoding(own);
    TEncoding::FreeEncoding(TEncoding::UTF8());   // a no-op; the instance keeps working
    EXPECT_EQ(TEncoding::UTF8()->GetBytes(QStringLiteral("a")), B({'a'}));
    EXPECT_EQ(TEncoding::GetEncoding(932), nullptr);
}
