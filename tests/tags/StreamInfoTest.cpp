// tests/tags/StreamInfoTest.cpp: the WavPack (versions 4 and 3) and Musepack (SV4 to SV8) stream facts,
// from headers built byte by byte and from files made by wavpack and mpcenc, against ffprobe.
#include "tags/MPEGplus.h"
#include "tags/Tags.h"
#include "tags/WAVPackfile.h"

#include "rtl/Streams.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"
#include "tests/tags/TagTestSupport.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cmath>

#include <gtest/gtest.h>

using namespace tagtest;
using namespace Qt::Literals::StringLiterals;

namespace {

Bytes WavPack4(uint32_t Samples, uint32_t Flags, const Bytes& Metadata = {})
{
    return Cat({S("wvpk"), LE32(1000), LE16(0x0410), B({0, 0}), LE32(Samples), LE32(0), LE32(Samples), LE32(Flags),
                LE32(0), Metadata});
}

Bytes Fmt(int Channels, uint32_t Rate, int Bits)
{
    return Cat({S("fmt "), LE32(16), LE16(1), LE16(uint16_t(Channels)), LE32(Rate),
                LE32(Rate * uint32_t(Channels * Bits / 8)), LE16(uint16_t(Channels * Bits / 8)), LE16(uint16_t(Bits))});
}

Bytes WavPack3(int Bits, int Flags, uint32_t Samples, uint32_t Size)
{
    const Bytes header = Cat({S("wvpk"), LE32(Size), LE16(3), LE16(uint16_t(Bits)), LE16(uint16_t(Flags)), LE16(0),
                              LE32(Samples), Bytes(16, 0)});
    return Cat({S("RIFF"), LE32(0), S("WAVE"), Fmt(2, 44100, 16), S("data"), LE32(1000), header});
}

// A version 7 header: frame count, the byte holding profile and rate index, the encoder byte.
Bytes Musepack7(uint32_t Frames, int ProfileAndRate, int Encoder, int Mode = 0)
{
    Bytes b = Cat({S("MP+"), B({0x07}), LE32(Frames), B({0, 0, ProfileAndRate, Mode}), Bytes(15, 0), B({Encoder}), Bytes(4, 0)});
    return b;
}

tags::TWAVPackfile LoadWavPack(const Bytes& Data, int64_t TagSize = 0)
{
    rtl::TMemoryStream s;
    Fill(s, Data);
    tags::TWAVPackfile w;
    w.LoadFromStream(s, TagSize);
    return w;
}

tags::TMPEGplus LoadMusepack(const Bytes& Data, int64_t ID3v2Size = 0, int64_t TagsSize = 0)
{
    rtl::TMemoryStream s;
    Fill(s, Data);
    tags::TMPEGplus m;
    m.LoadFromStream(s, ID3v2Size, TagsSize);
    return m;
}

} // namespace

TEST(WavPackInfo, Version4HeaderTable)
{
    struct TCase {
        const char* Name;
        uint32_t Flags;
        Bytes Metadata;
        uint32_t Channels, Bits, Rate;
        QString Encoder;
    } cases[] = {
        {"mono 16-bit 44.1 kHz", 1 | 4 | 9u << 23, {}, 1, 16, 44100, u"lossless"_s},
        {"stereo 24-bit 96 kHz, high", 2 | 13u << 23, Cat({B({0x21, 0x65, 0x02, 8})}), 2, 24, 96000, u"lossless (high)"_s},
        {"stereo 16-bit 192 kHz, the last rate", 1 | 14u << 23, {}, 2, 16, 192000, u"lossless"_s},
        {"rate index 15 and very fast", 3 | 15u << 23, Cat({B({0x65, 0x02, 6})}), 2, 32, 44100, u"lossless (very fast)"_s},
        {"hybrid, unknown mode byte", 1 | 8 | 0u << 23, Cat({B({0x65, 0x02, 7})}), 2, 16, 6000, u"hybrid lossy"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const tags::TWAVPackfile w = LoadWavPack(WavPack4(441000, c.Flags, c.Metadata));
        EXPECT_TRUE(w.FValid);
        EXPECT_EQ(w.FVersion, 4u);
        EXPECT_EQ(w.FChannels, c.Channels);
        EXPECT_EQ(w.FBits, c.Bits);
        EXPECT_EQ(w.FSampleRate, c.Rate);
        EXPECT_EQ(w.FEncoder, c.Encoder);
        EXPECT_EQ(w.FSamples, 441000);
        EXPECT_EQ(w.ChannelMode(), c.Channels == 1 ? u"Mono"_s : u"Stereo"_s);
    }
    // 10 s at 44.1 kHz in 1,000,000 bytes of which 1,000 are tags: 799.2 kbit/s.
    Bytes file = WavPack4(441000, 1 | 9u << 23);
    file.resize(1000000, 0);
    const tags::TWAVPackfile w = LoadWavPack(file, 1000);
    EXPECT_DOUBLE_EQ(w.FDuration, 10.0);
    EXPECT_NEAR(w.FBitrate, 799.2, 1e-9);
    EXPECT_FALSE(LoadWavPack(S("wvpx and more")).FValid);
}

TEST(WavPackInfo, Version3ModesAndPlainWave)
{
    struct TCase {
        int Bits, Flags;
        QString Encoder;
    } cases[] = {
        {0, 0, u"lossless (fast mode)"_s},
        {0, 0x10 | 0x8000, u"lossless (high mode)"_s},
        {0, 0x10, u"lossless"_s},
        {5, 0x400 | 0x80 | 0x8000, u"hybrid lossless (high)"_s},
        {5, 0x400, u"hybrid lossy"_s},
        {5, 0x10, u"8-bit lossy high"_s},
        {5, 0x02, u"8-bit lossy fast"_s},
        {5, 0, u"8-bit lossy"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Flags);
        const tags::TWAVPackfile w = LoadWavPack(WavPack3(c.Bits, c.Flags | 1, 441000, 36));
        EXPECT_TRUE(w.FValid);
        EXPECT_EQ(w.FEncoder, c.Encoder);
        EXPECT_EQ(w.FChannels, 1u);
        EXPECT_EQ(w.FVersion, 3u);
        EXPECT_DOUBLE_EQ(w.FDuration, 10.0);
    }
    const tags::TWAVPackfile wave = LoadWavPack(Cat({S("RIFF"), LE32(0), S("WAVE"), Fmt(2, 48000, 16), S("data"), LE32(4), Bytes(4, 0)}));
    EXPECT_TRUE(wave.FValid);
    EXPECT_EQ(wave.FFormatTag, 1u);
    EXPECT_EQ(wave.FSampleRate, 48000u);
    EXPECT_TRUE(wave.FEncoder.isEmpty());
    EXPECT_DOUBLE_EQ(wave.FBitrate, 1536.0);
    // A truncated fmt chunk stops the walk without reading past the end.
    EXPECT_FALSE(LoadWavPack(Cat({S("RIFF"), LE32(0), S("WAVE"), S("fmt "), LE32(16), Bytes(6, 1)})).FValid);
}

TEST(MusepackInfo, Version7HeaderTable)
{
    struct TCase {
        int ProfileAndRate, Encoder;
        bool Valid;
        QString Profile, EncoderText;
        uint32_t Rate;
    } cases[] = {
        {0xA0, 116, true, u"Standard"_s, u"1.16 Beta"_s, 44100},
        {0xA1, 120, true, u"Standard"_s, u"1.2 Release"_s, 48000},
        {0xF3, 117, true, u"--quality 10"_s, u"1.17 --Alpha--"_s, 32000},
        {0x12, 0, true, u"Experimental"_s, u""_s, 37800},
        {0x20, 0, false, u"Unknown"_s, u""_s, 44100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ProfileAndRate);
        const tags::TMPEGplus m = LoadMusepack(Musepack7(1000, c.ProfileAndRate, c.Encoder));
        EXPECT_EQ(m.FValid, c.Valid);
        EXPECT_EQ(m.GetProfile(), c.Profile);
        EXPECT_EQ(m.FEncoder, c.EncoderText);
        EXPECT_EQ(m.FSampleRate, c.Rate);
        EXPECT_EQ(m.GetStreamStreamVersionString(), u"7.0"_s);
        EXPECT_EQ(m.GetChannelMode(), u"Stereo"_s);
    }
    // Behind a leading tag of 4,106 bytes; the bit rate from the frames, rounded half to even.
    const Bytes id3(4106, 0);
    Bytes file = Cat({id3, Musepack7(1000, 0xA0, 116, 0x40)});
    const tags::TMPEGplus m = LoadMusepack(file, 4106);
    ASSERT_TRUE(m.FValid);
    EXPECT_EQ(m.FFrameCount, 1000);
    EXPECT_EQ(m.GetChannelMode(), u"Joint Stereo"_s);
    EXPECT_NEAR(m.GetDuration(), 1000 * 1152 / 44100.0, 1e-9);
    // Corrupted outside 3..480 kbit/s: size the file for 480 and 481.
    for (int rate : {480, 481}) {
        Bytes sized = Musepack7(1000, 0xA0, 116);
        sized.resize(size_t(std::llround(rate * 1000.0 * 1152 / 8 / 44.1)), 0);
        const tags::TMPEGplus r = LoadMusepack(sized);
        EXPECT_EQ(r.GetBitRate(), rate);
        EXPECT_EQ(r.GetCorrupted(), rate > 480);
    }
}

TEST(MusepackInfo, OlderVersionsAndVersion8)
{
    // SV4 to SV6 carry no signature: the version sits in bits of the second byte, the rate in the first word.
    struct TCase {
        int Byte1;
        uint8_t Version;
        uint32_t Frames;
    } cases[] = {{3 * 2, 4, 0x12}, {7 * 2, 5, 0x120000}, {11 * 2, 6, 0x120000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.Version));
        const Bytes header = Cat({B({0, c.Byte1 | 0x80, 0x80, 0}), LE32(0x120000), Bytes(19, 0), B({120}), Bytes(4, 0)});
        const tags::TMPEGplus m = LoadMusepack(header);
        EXPECT_TRUE(m.FValid);
        EXPECT_EQ(m.FStreamVersion, c.Version);
        EXPECT_EQ(m.FFrameCount, int64_t(c.Frames));
        EXPECT_EQ(m.FBitRate, c.Version == 6 ? 0 : 1);
    }
    // An Ogg page is not an SV4 header, though its second byte reads as one.
    EXPECT_FALSE(LoadMusepack(Cat({S("OggS"), Bytes(23, 0), B({1}), Bytes(4, 0)})).FValid);
    EXPECT_FALSE(LoadMusepack(S("MP+\x07 short")).FValid);

    // SV8: packet size, checksum, version, samples 441000 (three 7-bit groups), silence, rate and channels.
    const Bytes sv8 = Cat({S("MPCKSH"), B({0x10}), Bytes(4, 0), B({8}), B({0x9A, 0xF5, 0x28}), B({0}), B({0x00, 0x10})});
    const tags::TMPEGplus m = LoadMusepack(Cat({sv8, Bytes(55000 - sv8.size(), 0)}));
    ASSERT_TRUE(m.FValid);
    EXPECT_TRUE(m.FSV8);
    EXPECT_EQ(m.FSampleCount, 441000);
    EXPECT_EQ(m.FSampleRate, 44100u);
    EXPECT_EQ(m.FChannelCount, 2);
    EXPECT_DOUBLE_EQ(m.GetDuration(), 10.0);
    EXPECT_EQ(m.GetBitRate(), 44);   // 44 + 0.5, half to even
    EXPECT_TRUE(m.GetProfile().isEmpty());
    const Bytes rate5 = Cat({S("MPCKSH"), B({0x10}), Bytes(4, 0), B({8}), B({0x05}), B({0}), B({0xA0, 0x10})});
    const tags::TMPEGplus unknownRate = LoadMusepack(rate5);
    EXPECT_EQ(unknownRate.FSampleRate, 0u);
    EXPECT_EQ(unknownRate.GetDuration(), 0.0);
    EXPECT_EQ(unknownRate.GetBitRate(), 0);
}

TEST(StreamInfoPeer, WavPackAndMpcencFilesAgreeWithFfprobe)
{
    if (!testing_support::RequireTool(u"ffmpeg"_s) || !testing_support::RequireTool(u"ffprobe"_s)) return;
    testing_support::TempDir dir;
    const QString wav = dir.QFile(u"s.wav"_s);
    auto run = testing_support::RunProgram(u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-f"_s, u"lavfi"_s, u"-i"_s,
        u"sine=frequency=440:duration=2:sample_rate=48000"_s, u"-ac"_s, u"2"_s, u"-y"_s, wav});
    ASSERT_TRUE(run.Ok()) << run.Describe();
    auto probe = [](const QString& File) {
        const QJsonObject stream = testing_support::FfprobeJson(File).object()[u"streams"_s].toArray()[0].toObject();
        return std::make_pair(stream[u"sample_rate"_s].toString().toUInt(), stream[u"channels"_s].toInt());
    };

    // The tag front: the APEv2 tag behind the stream, and the facts from the stream.
    auto throughFront = [](const QString& File, const QString& Artist) {
        tags::TTags front;
        front.ParseWavPackAudioAttributes = front.ParseMusePackAudioAttributes = true;
        ASSERT_EQ(front.LoadFromFile(File), 0);
        EXPECT_EQ(front.GetTag(u"ARTIST"_s), Artist);
        EXPECT_EQ(front.SourceAudioAttributes->SamplesPerSec(), 48000u);
        EXPECT_EQ(front.SourceAudioAttributes->Channels(), 2);
        EXPECT_NEAR(front.SourceAudioAttributes->PlayTime(), 2.0, 0.05);
    };

    if (testing_support::RequireTool(u"wavpack"_s)) {
        const QString wv = dir.QFile(u"s.wv"_s);
        for (const QStringList& mode : {QStringList{u"-hh"_s}, QStringList{u"-b256"_s}}) {
            SCOPED_TRACE(mode.join(u' ').toStdString());
            run = testing_support::RunProgram(u"wavpack"_s, mode + QStringList{u"-q"_s, u"-y"_s, u"-w"_s, u"Artist=Wv"_s, wav, u"-o"_s, wv});
            ASSERT_TRUE(run.Ok()) << run.Describe();
            tags::TWAVPackfile w;
            ASSERT_TRUE(w.LoadFromFile(wv, 0));
            EXPECT_EQ(std::make_pair(w.FSampleRate, int(w.FChannels)), probe(wv));
            EXPECT_EQ(w.FSamples, 96000);
            const double seconds = testing_support::FfprobeJson(wv).object()[u"format"_s].toObject()[u"duration"_s].toString().toDouble();
            EXPECT_NEAR(w.FDuration, seconds, 0.001);
            EXPECT_EQ(w.FBits, 16u);
            EXPECT_TRUE(w.FEncoder.startsWith(mode[0] == u"-hh"_s ? u"lossless"_s : u"hybrid lossy"_s)) << w.FEncoder.toStdString();
            throughFront(wv, u"Wv"_s);
        }
    }
    if (testing_support::RequireTool(u"mpcenc"_s)) {
        const QString mpc = dir.QFile(u"s.mpc"_s);
        run = testing_support::RunProgram(u"mpcenc"_s, {u"--silent"_s, u"--overwrite"_s, u"--artist"_s, u"Mpc"_s, wav, mpc});
        ASSERT_TRUE(run.Ok()) << run.Describe();
        tags::TMPEGplus m;
        ASSERT_TRUE(m.LoadFromFile(mpc, 0, 0));
        EXPECT_TRUE(m.FValid);
        EXPECT_TRUE(m.FSV8);
        EXPECT_EQ(std::make_pair(m.FSampleRate, int(m.FChannelCount)), probe(mpc));
        // ffprobe estimates an SV8 duration from the bit rate; the stream header holds the samples encoded.
        EXPECT_NEAR(m.GetDuration(), 2.0, 0.05);
        throughFront(mpc, u"Mpc"_s);
    }
}
