// tests/tags/AudioInfoTest.cpp
#include "tags/AudioInfo.h"

#include "tags/Float80.h"
#include "tags/TagID3v2.h"
#include "tests/tags/TagTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace tagtest;

struct FrameCase { uint32_t Header; tags::TMPEGVersion Version; tags::TMPEGLayer Layer; uint32_t BitRate, SampleRate; int FrameSize; };

class MPEGFrames : public ::testing::TestWithParam<FrameCase> {};

TEST_P(MPEGFrames, HeaderGivesRatesAndFrameSize)
{
    const auto& c = GetParam();
    const tags::TMPEGHeader h = tags::DecodeMPEGHeaderValue(c.Header);
    EXPECT_EQ(h.Version, c.Version);
    EXPECT_EQ(h.Layer, c.Layer);
    EXPECT_EQ(h.BitRate, c.BitRate);
    EXPECT_EQ(h.SampleRate, c.SampleRate);
    EXPECT_EQ(h.FrameSize, c.FrameSize);
}

INSTANTIATE_TEST_SUITE_P(Table, MPEGFrames, ::testing::Values(
    FrameCase{0xFFFB9000, tags::tmpegv1, tags::tmpegl3, 128, 44100, 417},
    FrameCase{0xFFFB9200, tags::tmpegv1, tags::tmpegl3, 128, 44100, 418},
    FrameCase{0xFFF38000, tags::tmpegv2, tags::tmpegl3, 64, 22050, 208},
    FrameCase{0xFFE31800, tags::tmpegv25, tags::tmpegl3, 8, 8000, 72},
    FrameCase{0xFFFD8400, tags::tmpegv1, tags::tmpegl2, 128, 48000, 384},
    FrameCase{0xFFFF9000, tags::tmpegv1, tags::tmpegl1, 288, 44100, 312},
    FrameCase{0xFFFB0000, tags::tmpegv1, tags::tmpegl3, 0xFFFF, 44100, 213991},
    FrameCase{0xFFFBF000, tags::tmpegv1, tags::tmpegl3, 0, 44100, 0},
    FrameCase{0xFFFB9C00, tags::tmpegv1, tags::tmpegl3, 128, 0, 0},
    FrameCase{0xFFEB9000, tags::tmpegvUnknown, tags::tmpegl3, 0, 0, 0}));

TEST(MPEGHeader, ChannelModesAndFlags)
{
    const tags::TMPEGHeader h = tags::DecodeMPEGHeaderValue(0xFFFA907F);   // CRC, joint stereo MS, copyright, original, CCIT
    EXPECT_TRUE(h.CRC);
    EXPECT_EQ(h.ChannelMode, tags::tmpegcmJointStereo);
    EXPECT_EQ(h.ModeExtension, tags::tmpegmeIntensityMS);
    EXPECT_TRUE(h.Copyrighted);
    EXPECT_TRUE(h.Original);
    EXPECT_EQ(h.Emphasis, tags::tmpegeCCITJ17);
    EXPECT_EQ(tags::DecodeMPEGHeaderValue(0xFFFB90C0).ChannelMode, tags::tmpegcmMono);
    EXPECT_EQ(tags::DecodeMPEGHeaderValue(0xFFFB90F0).ModeExtension, tags::tmpegmeNone);
}

struct XingCase { uint32_t Header; int Offset; };

class XingOffsets : public ::testing::TestWithParam<XingCase> {};

TEST_P(XingOffsets, HeaderFollowsTheSideInformation)
{
    const auto& c = GetParam();
    for (const char* name : {"Xing", "Info"}) {
        Bytes frame(600, 0);
        const Bytes h = BE32(c.Header);
        std::copy(h.begin(), h.end(), frame.begin());
        const Bytes vbr = Cat({S(name), BE32(0x0F), BE32(1234), BE32(56789), Bytes(100, 7), BE32(55)});
        std::copy(vbr.begin(), vbr.end(), frame.begin() + c.Offset);
        rtl::TMemoryStream s;
        Fill(s, frame);
        tags::TMPEGHeader info = tags::DecodeMPEGHeader(s);
        ASSERT_TRUE(tags::ReadMPEGVBRHeader(s, info));
        EXPECT_EQ(s.Position(), 0);
        EXPECT_TRUE(info.VBR);
        EXPECT_EQ(info.HasXing, std::strcmp(name, "Xing") == 0);
        EXPECT_EQ(info.HasInfo, std::strcmp(name, "Info") == 0);
        EXPECT_EQ(info.FrameCount, 1234);
        EXPECT_EQ(info.Bytes, 56789);
        EXPECT_EQ(info.Quality, 55u);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, XingOffsets, ::testing::Values(
    XingCase{0xFFFB90C0, 21}, XingCase{0xFFFB9000, 36}, XingCase{0xFFF380C0, 13}, XingCase{0xFFF38000, 21}));

TEST(MPEGHeader, VbriHeaderAt36)
{
    Bytes frame(300, 0);
    const Bytes h = BE32(0xFFFB9000);
    std::copy(h.begin(), h.end(), frame.begin());
    const Bytes vbri = Cat({S("VBRI"), BE16(1), BE16(0), BE16(75), BE32(4000), BE32(99)});
    std::copy(vbri.begin(), vbri.end(), frame.begin() + 36);
    rtl::TMemoryStream s;
    Fill(s, frame);
    tags::TMPEGHeader info = tags::DecodeMPEGHeader(s);
    ASSERT_TRUE(tags::ReadMPEGVBRHeader(s, info));
    EXPECT_EQ(info.Quality, 75u);
    EXPECT_EQ(info.Bytes, 4000);
    EXPECT_EQ(info.FrameCount, 99);
}

TEST(MPEGPlayTime, VbrFromFramesCbrFromTheFileSize)
{
    Bytes xing(1000, 0);
    const Bytes h = BE32(0xFFFB9000);
    std::copy(h.begin(), h.end(), xing.begin());
    const Bytes vbr = Cat({S("Xing"), BE32(1), BE32(100)});
    std::copy(vbr.begin(), vbr.end(), xing.begin() + 36);
    tags::TID3v2Tag tag;
    rtl::TMemoryStream s;
    Fill(s, Cat({Tag(3, 0, Frame3("TIT2", B({0, 'A'}))), xing}));
    ASSERT_EQ(tag.LoadFromStream(s), 0);
    EXPECT_EQ(tag.SourceFileType(), tags::sftMPEG);
    EXPECT_NEAR(tag.PlayTime(), 1152.0 * 100 / 44100, 1e-9);

    Fill(s, Cat({Tag(3, 0, Frame3("TIT2", B({0, 'A'}))), BE32(0xFFFB9000), Bytes(15996, 0)}));
    tags::TID3v2Tag cbr;
    ASSERT_EQ(cbr.LoadFromStream(s), 0);
    EXPECT_FALSE(cbr.MPEGInfo.VBR);
    EXPECT_EQ(cbr.BitRate, 128);
    EXPECT_DOUBLE_EQ(cbr.PlayTime(), 16000.0 / 128 * 8 / 1000);
}

TEST(WaveFormat, PcmFactsAndExtensibleFormat)
{
    const Bytes fmt = Cat({S("fmt "), LE32(16), LE16(1), LE16(2), LE32(44100), LE32(176400), LE16(4), LE16(16)});
    const Bytes wav = Cat({S("RIFF"), LE32(0), S("WAVE"), fmt, S("data"), LE32(1764000)});
    rtl::TMemoryStream s;
    Fill(s, wav);
    tags::TWaveFmt f;
    tags::TWaveFacts facts;
    ASSERT_TRUE(tags::ReadWAVFormat(s, f, facts));
    EXPECT_EQ(facts.SampleCount, 441000);
    EXPECT_DOUBLE_EQ(facts.PlayTime, 10.0);
    EXPECT_EQ(facts.BitRate, 1411);

    const Bytes ext = Cat({S("fmt "), LE32(40), LE16(0xFFFE), LE16(2), LE32(48000), LE32(288000), LE16(6), LE16(24),
                           LE16(22), LE16(24), LE32(3), Bytes(16, 0xAB)});
    const Bytes wav18 = Cat({S("RIFF"), LE32(0), S("WAVE"), S("fmt "), LE32(18), LE16(1), LE16(1), LE32(8000), LE32(16000),
                             LE16(2), LE16(16), LE16(0), S("data"), LE32(16000)});
    Fill(s, Cat({S("RIFF"), LE32(0), S("WAVE"), ext, S("data"), LE32(288000)}));
    ASSERT_TRUE(tags::ReadWAVFormat(s, f, facts));
    EXPECT_EQ(f.ChannelMask, 3u);
    EXPECT_EQ(f.ValidBitsPerSample, 24);
    EXPECT_EQ(facts.SampleCount, 48000);
    Fill(s, wav18);   // a format chunk of 18 bytes: the data chunk is still found
    ASSERT_TRUE(tags::ReadWAVFormat(s, f, facts));
    EXPECT_EQ(f.cbSize, 0);
    EXPECT_DOUBLE_EQ(facts.PlayTime, 1.0);
}

TEST(Float80, AiffRatesDecodeInSoftware)
{
    tags::TExtended80 x;
    const Bytes be = B({0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0});
    std::copy(be.rbegin(), be.rend(), x.begin());
    EXPECT_DOUBLE_EQ(tags::DoubleFromExtended80(x), 44100.0);
    for (double v : {1.0, -2.5, 2822400.0, 0.1, 1e300})
        EXPECT_DOUBLE_EQ(tags::DoubleFromExtended80(tags::DoubleToExtended80(v)), v);
    EXPECT_EQ(tags::RoundExtended80(2.5), 2);
    EXPECT_EQ(tags::RoundExtended80(3.5), 4);
    EXPECT_EQ(tags::TruncExtended80(-3.7), -3);
    EXPECT_EQ(tags::RoundExtended80(1e300), 0);
}

namespace {

// One MPEG-1 layer III frame with the given header, and a Xing or Info header where one is given.
Bytes MpegFrame(uint32_t Header, const std::string& Mark = {}, uint32_t Frames = 0, uint32_t Size = 0)
{
    const tags::TMPEGHeader h = tags::DecodeMPEGHeaderValue(Header);
    Bytes f(size_t(h.FrameSize), 0);
    const Bytes head = BE32(Header);
    std::copy(head.begin(), head.end(), f.begin());
    if (!Mark.empty()) {
        const Bytes vbr = Cat({S(Mark), BE32(3), BE32(Frames), BE32(Size)});
        std::copy(vbr.begin(), vbr.end(), f.begin() + 4 + 32);
    }
    return f;
}

int32_t StreamBitRate(const Bytes& Data)
{
    rtl::TMemoryStream s;
    Fill(s, Data);
    tags::TMPEGHeader h = tags::DecodeMPEGHeader(s);
    tags::ReadMPEGVBRHeader(s, h);
    return tags::MPEGStreamBitRate(s, h);
}

} // namespace

TEST(MPEGStreamBitRate, TakenAsPlayersTakeIt)
{
    const uint32_t at56 = 0xFFFB4000, at64 = 0xFFFB5000, at128 = 0xFFFB9000;
    // an encoder's Info frame at 56 kbit/s in front of a 64 kbit/s stream
    EXPECT_EQ(StreamBitRate(Cat({MpegFrame(at56, "Info", 100, 20000), MpegFrame(at64), MpegFrame(at64)})), 64);
    // VBR: the totals of the Xing header; 100 frames of 1152 samples at 44.1 kHz in 41000 bytes
    EXPECT_EQ(StreamBitRate(Cat({MpegFrame(at128, "Xing", 100, 41000), MpegFrame(at64)})), 126);
    // a Xing header without totals: the first audio frame
    EXPECT_EQ(StreamBitRate(Cat({MpegFrame(at128, "Xing", 0, 0), MpegFrame(at64)})), 64);
    // no VBR header: the frame's own rate, also when the next one differs
    EXPECT_EQ(StreamBitRate(Cat({MpegFrame(at128), MpegFrame(at64)})), 128);
    // an Info frame followed by no frame keeps its own rate
    EXPECT_EQ(StreamBitRate(MpegFrame(at56, "Info", 1, 182)), 56);
}

TEST(AIFFInfo, AnAbsurdSampleRateGivesNoRateInsteadOfOverflowing)
{
    // exponent 0x7FFE: about 1.2e4932, beyond any double; and a tiny rate that makes the bit rate overflow
    for (const Bytes& rate : {B({0x7F, 0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0}), B({0x00, 0x01, 0x80, 0, 0, 0, 0, 0, 0, 0}),
                              B({0x40, 0x7E, 0x80, 0, 0, 0, 0, 0, 0, 0})}) {
        const Bytes comm = Cat({BE16(2), BE32(1000), BE16(16), rate});
        rtl::TMemoryStream s;
        Fill(s, Form("AIFF", Cat({ChunkBE("COMM", comm), ChunkBE("SSND", Bytes(4000, 0))})));
        tags::TAIFFInformation info;
        double playTime = 0;
        int32_t bitRate = -1;
        ASSERT_TRUE(tags::ReadAIFFInfo(s, info, playTime, bitRate));
        EXPECT_GE(bitRate, 0);
    }
}

TEST(DFFInfo, AFewHertzAndAHugeSoundChunkGiveAPlayTimeInsteadOfOverflowing)
{
    // found by fuzzing: 2^64 bytes at 3 Hz last longer than any 64-bit count of seconds
    const Bytes prop = Cat({S("SND "), Chunk64("FS  ", BE32(3)), Chunk64("CHNL", Cat({BE16(2), S("SLFTSRGT")}))});
    const Bytes body = Cat({Chunk64("PROP", prop), S("DSD "), BE64(0xFFFFFFFFFFFFFF00), Bytes(16, 0x69)});
    rtl::TMemoryStream s;
    Fill(s, Cat({S("FRM8"), BE64(body.size() + 4), S("DSD "), body}));
    tags::TDFFInfo info;
    ASSERT_TRUE(info.LoadFromStream(s));
    EXPECT_EQ(info.SampleRate, 3u);
    EXPECT_EQ(info.SoundDataLength, 0xFFFFFFFFFFFFFF00u);
    EXPECT_DOUBLE_EQ(info.PlayTime, double(0xFFFFFFFFFFFFFF00u) * 8.0 / 6);
}
