// tests/tags/ID3v2BaseTest.cpp
#include "tags/ID3v2Base.h"

#include "rtl/Streams.h"
#include "tests/tags/TagTestSupport.h"

#include <gtest/gtest.h>

using namespace tagtest;

TEST(Synchsafe, DecodesSevenBitGroupsAndIgnoresTopBits)
{
    EXPECT_EQ(tags::DecodeSynchsafe(B({0x7F, 0x7F, 0x7F, 0x7F}).data()), 268435455u);
    EXPECT_EQ(tags::DecodeSynchsafe(B({0x80, 0x00, 0x00, 0x01}).data()), 1u);
    EXPECT_EQ(tags::DecodeSynchsafe(B({0x00, 0x00, 0x02, 0x01}).data()), 257u);
}

TEST(Synchsafe, EncodesTheLow28Bits)
{
    uint8_t b[4];
    tags::EncodeSynchsafe(268435456, b);
    EXPECT_EQ(Bytes(b, b + 4), B({0, 0, 0, 0}));
    tags::EncodeSynchsafe(17 + 4096, b);
    EXPECT_EQ(Bytes(b, b + 4), B({0x00, 0x00, 0x20, 0x11}));
}

struct UnsyncCase { Bytes In, Out; };

class Unsynchronisation : public ::testing::TestWithParam<UnsyncCase> {};

TEST_P(Unsynchronisation, DropsTheZeroAfterEachFF)
{
    rtl::TMemoryStream s;
    Fill(s, GetParam().In);
    ASSERT_TRUE(tags::RemoveUnsynchronisationInPlace(s));
    EXPECT_EQ(Contents(s), GetParam().Out);
    EXPECT_EQ(s.Position(), 0);
}

INSTANTIATE_TEST_SUITE_P(Vectors, Unsynchronisation, ::testing::Values(
    UnsyncCase{B({0xFF, 0x00, 0xFF, 0x00, 0x00, 0xE0}), B({0xFF, 0xFF, 0x00, 0xE0})},
    UnsyncCase{B({0xFF, 0xFF, 0x00}), B({0xFF, 0xFF})},
    UnsyncCase{B({0xFF, 0x00, 0x00}), B({0xFF, 0x00})},
    UnsyncCase{B({0x00, 0xFF}), B({0x00, 0xFF})},
    UnsyncCase{Bytes{}, Bytes{}}));

TEST(Unsynchronisation, RemembersAnFFAcrossTheCopyChunks)
{
    Bytes in(61440, 0x41);
    in[61439] = 0xFF;
    in.push_back(0x00);
    in.push_back(0x42);
    rtl::TMemoryStream s;
    Fill(s, in);
    ASSERT_TRUE(tags::RemoveUnsynchronisationInPlace(s));
    ASSERT_EQ(s.Size(), 61441);
    EXPECT_EQ(Contents(s)[61439], 0xFF);
    EXPECT_EQ(Contents(s)[61440], 0x42);
}

TEST(FrameIDs, ConvertAndCompareAsTheirFourBytes)
{
    const tags::TFrameID tt2 = tags::StringToFrameID(QStringLiteral("TT2"));
    EXPECT_EQ(tt2[3], 0);
    EXPECT_EQ(tags::FrameIDToString(tt2), u"TT2");
    EXPECT_TRUE(tags::FrameIDMatchesText(tt2, "TT2"));
    EXPECT_FALSE(tags::FrameIDMatchesText(tt2, "TT2A"));
    EXPECT_TRUE(tags::ValidFrameIDv22(tt2));
    EXPECT_FALSE(tags::ValidFrameID(tt2));
    EXPECT_TRUE(tags::ValidFrameID(tags::StringToFrameID(QStringLiteral("TYE9"))));
    EXPECT_FALSE(tags::ValidFrameID(tags::StringToFrameID(QStringLiteral("tit2"))));
    EXPECT_EQ(tags::FrameIDToString(tags::StringToFrameID(QStringLiteral("APIC-extra"))), u"APIC");
}

TEST(FrameIDs, SortIntoKinds)
{
    const std::pair<const char*, int> cases[] = {
        {"TPE1", tags::fkText}, {"TXXX", tags::fkUserDefinedText}, {"COMM", tags::fkContent},
        {"USLT", tags::fkContent}, {"TIPL", tags::fkList}, {"TMCL", tags::fkList}, {"WCOM", tags::fkURL},
        {"WXXX", tags::fkUserDefinedURL}, {"PCNT", tags::fkPlayCounter}, {"POPM", tags::fkOther},
        {"APIC", tags::fkOther}, {"GEOB", tags::fkOther}, {"PRIV", tags::fkOther}};
    for (const auto& [id, kind] : cases)
        EXPECT_EQ(tags::ID3v2FrameKind(tags::StringToFrameID(QString::fromLatin1(id))), kind) << id;
}
