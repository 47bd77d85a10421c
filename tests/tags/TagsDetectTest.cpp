// tests/tags/TagsDetectTest.cpp: container sniffing, the extension table, the result-code maps, the
// same-file test and stripping without a front.
#include "tags/Tags.h"

#include "tests/support/TempDir.h"
#include "tests/tags/TagTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

using namespace tagtest;
using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray Q(const Bytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())); }

Bytes OggPage(const Bytes& Packet)
{
    return Cat({S("OggS"), B({0, 2}), Bytes(8, 0), Bytes(4, 0), Bytes(4, 0), Bytes(4, 0), B({1, int(Packet.size())}),
                Packet});
}

// The identification page and the comment page that names the codec.
Bytes OggFile(const Bytes& Identification, const Bytes& CommentMagic)
{
    return Cat({OggPage(Identification), OggPage(Cat({CommentMagic, Bytes(8, 0)}))});
}

// MPEG-1 layer III, 128 kbit/s, 44.1 kHz: 417 bytes.
Bytes Frame()
{
    Bytes frame = B({0xFF, 0xFB, 0x90, 0x64});
    frame.resize(417, 0x11);
    return frame;
}

} // namespace

struct SniffCase { const char* name; Bytes data; int code; };
class TagsSniff : public ::testing::TestWithParam<SniffCase> {};

TEST_P(TagsSniff, GivesTheContainerCode)
{
    rtl::TMemoryStream s;
    Fill(s, GetParam().data);
    EXPECT_EQ(tags::SniffAudioFormat(s), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Cases, TagsSniff, ::testing::Values(
    SniffCase{"Zeros", Bytes(10240, 0), 0},
    SniffCase{"Empty", Bytes{}, 0},
    SniffCase{"Monkey", S("MAC \x96\x0f"), 1},
    SniffCase{"Flac", S("fLaC\0\0\0\x22"), 2},
    SniffCase{"OggFlac", Cat({S("OggS"), Bytes(25, 0), S("FLAC")}), 3},
    SniffCase{"MpegAfterTag", Cat({Tag(3, 0, Bytes(20, 0)), B({0xFF, 0xFB, 0x90, 0x64})}), 4},
    SniffCase{"MpegAfterJunk", Cat({Bytes(1000, 0x11), B({0xFF, 0x00, 0xFF, 0xFA})}), 4},
    SniffCase{"MpegFramesFollowEachOther", Cat({Bytes(10, 0x11), Frame(), Frame(), Frame()}), 4},
    SniffCase{"SyncWithoutAFrameAfterIt", Cat({B({0xFF, 0xFB, 0x90, 0x64}), Bytes(413, 0x11), S("junk"), Bytes(100, 0)}), 0},
    SniffCase{"SyncWithReservedRate", Cat({B({0xFF, 0xFB, 0x9C, 0x64}), Bytes(600, 0)}), 0},
    SniffCase{"MpegTooFar", Cat({Bytes(1030, 0x11), B({0xFF, 0xFB})}), 0},
    SniffCase{"SyncSecondByteConsumed", B({0xFF, 0xFF, 0xFB}), 0},
    SniffCase{"Mp4", Cat({BE32(24), S("ftypisom"), Bytes(12, 0)}), 5},
    SniffCase{"Mp4LargeSize", Cat({BE32(1), S("ftyp"), BE64(24), S("M4A "), Bytes(4, 0)}), 5},
    SniffCase{"OggOpus", OggFile(Cat({S("OpusHead"), B({1, 2})}), S("OpusTags")), 6},
    SniffCase{"OggVorbis", OggFile(Cat({B({1}), S("vorbis"), B({0})}), Cat({B({3}), S("vorbis")})), 7},
    SniffCase{"OggTheora", OggFile(Cat({B({0x80}), S("theora"), B({0})}), Cat({B({0x81}), S("theora")})), 8},
    SniffCase{"OggUnknown", OggPage(S("Speex   ")), 0},
    SniffCase{"Wave", Cat({S("RIFF"), LE32(36), S("WAVE")}), 9},
    SniffCase{"WaveBehindTag", Cat({Tag(4, 0, Bytes(10, 0)), S("RIFF"), LE32(36), S("WAVE")}), 9},
    SniffCase{"Avi", Cat({S("RIFF"), LE32(36), S("AVI ")}), 9},
    SniffCase{"RF64", Cat({S("RF64"), LE32(0xFFFFFFFF), S("WAVE")}), 10},
    SniffCase{"Aiff", Cat({S("FORM"), BE32(4), S("AIFF")}), 11},
    SniffCase{"Aifc", Cat({S("FORM"), BE32(4), S("AIFC")}), 12},
    SniffCase{"Dsdiff", Cat({S("FRM8"), BE64(4), S("DSD ")}), 13},
    SniffCase{"Frm8Other", Cat({S("FRM8"), BE64(4), S("XXXX")}), 0},
    SniffCase{"Dsf", Cat({S("DSD "), LE64(28)}), 14},
    SniffCase{"OptimFrog", S("OFR \x0f"), 15},
    SniffCase{"MusepackSV7", S("MP+\x17"), 16},
    SniffCase{"MusepackSV8", S("MPCKSH"), 16},
    // Headerless Musepack (versions 4 to 6) is known by its extension only: an AC-3 sync word reads as one.
    SniffCase{"MusepackSV6WithoutSignature", Cat({B({0, 11 * 2 | 0x80, 0x80, 0}), LE32(0x120000), Bytes(19, 0), B({120}), Bytes(4, 0)}), 0},
    SniffCase{"Ac3SyncWord", Cat({B({0x0B, 0x77, 0x1D, 0x4E, 0x14, 0x40}), Bytes(1500, 0x22)}), 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TagsSniffFile, MissingOrUnreadableFileIsUnknown)
{
    EXPECT_EQ(tags::SniffAudioFileFormat(u"/nonexistent/x.mp3"_s), 0);
    testing_support::TempDir dir;
    const QString file = dir.Write(u"a.flac"_s, Q(S("fLaC")));
    EXPECT_EQ(tags::SniffAudioFileFormat(file), 2);
}

struct ExtensionCase { const char16_t* name; tags::TTagTypes types; };
class TagsExtensions : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(TagsExtensions, GiveTheirTagTypes)
{
    EXPECT_EQ(tags::TagTypesForExtension(QString::fromUtf16(GetParam().name)), GetParam().types);
}

INSTANTIATE_TEST_SUITE_P(Cases, TagsExtensions, ::testing::Values(
    ExtensionCase{u"/a/b.wav", 0x0120}, ExtensionCase{u"x.BWF", 0x0120}, ExtensionCase{u"x.rf64", 0x0120},
    ExtensionCase{u"x.wv", 0x0004}, ExtensionCase{u"x.m4a", 0x0040}, ExtensionCase{u"x.M4A", 0x0040},
    ExtensionCase{u"x.asf", 0x0200}, ExtensionCase{u"x.oga", 0x0008}, ExtensionCase{u"x.opus", 0x0080},
    ExtensionCase{u"x.mp3", 0x0020}, ExtensionCase{u"x.dff", 0x0020}, ExtensionCase{u"x.afc", 0x0020},
    ExtensionCase{u"x.aac", 0x0004}, ExtensionCase{u"noextension", 0x0004}, ExtensionCase{u"dir.mp3/file", 0x0004},
    ExtensionCase{u"x.mp3.bak", 0x0004}));

struct MapCase { std::function<int(int)> map; std::vector<std::pair<int, int>> pairs; };
class TagsResultMaps : public ::testing::TestWithParam<MapCase> {};

TEST_P(TagsResultMaps, MapUnitResultsAndEverythingElseToUnknown)
{
    for (const auto& [unit, common] : GetParam().pairs) EXPECT_EQ(GetParam().map(unit), common) << "unit result " << unit;
    for (int outside : {-1, -65535, 13, 100, 0xFFFF, 0x10000}) EXPECT_EQ(GetParam().map(outside), 0xFFFF) << outside;
}

constexpr int U = 0xFFFF;
INSTANTIATE_TEST_SUITE_P(Cases, TagsResultMaps, ::testing::Values(
    MapCase{tags::MapAPEv2Result, {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}, {8, 9}, {9, 10}, {10, U}, {11, U}, {12, U}}},
    MapCase{tags::MapFlacResult, {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 9}, {8, 10}, {9, 14}, {10, U}, {11, U}, {12, U}}},
    MapCase{tags::MapID3v1Result, {{0, 0}, {1, U}, {2, U}, {3, 5}, {4, 6}, {5, 7}, {6, U}, {7, U}, {8, U}, {9, U}, {10, U}, {11, U}, {12, U}}},
    MapCase{tags::MapID3v2Result, {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}, {8, 9}, {9, 10}, {10, 13}, {11, 14}, {12, U}}},
    MapCase{tags::MapMP4Result, {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 13}, {8, 9}, {9, 10}, {10, 14}, {11, 19}, {12, 20}}},
    MapCase{tags::MapOggResult, {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}, {8, 9}, {9, 10}, {10, 14}, {11, U}, {12, U}}},
    MapCase{tags::MapWAVResult, {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}, {8, 9}, {9, 10}, {10, 13}, {11, 14}, {12, U}}},
    MapCase{tags::MapWMAResult, {{0, 0}, {1, 2}, {2, 15}, {3, 16}, {4, 17}, {5, 18}, {6, U}, {7, U}, {8, U}, {9, U}, {10, U}, {11, U}, {12, U}}}));

TEST(TagsSameFile, DeviceAndInodeDecideNotTheName)
{
    testing_support::TempDir dir;
    const QString lower = dir.Write(u"song.mp3"_s, "a");
    const QString upper = dir.Write(u"SONG.mp3"_s, "b");
    EXPECT_FALSE(tags::SameFile(lower, upper));
    EXPECT_TRUE(tags::SameFile(lower, dir.QPath() + u"/./song.mp3"_s));
    const QString link = dir.QFile(u"link.mp3"_s);
    ASSERT_EQ(symlink(lower.toLocal8Bit().constData(), link.toLocal8Bit().constData()), 0);
    EXPECT_TRUE(tags::SameFile(lower, link));
    const QString hard = dir.QFile(u"hard.mp3"_s);
    ASSERT_EQ(::link(lower.toLocal8Bit().constData(), hard.toLocal8Bit().constData()), 0);
    EXPECT_TRUE(tags::SameFile(hard, lower));
    // A file that does not exist yet is the same as another name of the same path only.
    EXPECT_TRUE(tags::SameFile(dir.QFile(u"new.mp3"_s), dir.QPath() + u"/sub/../new.mp3"_s));
    EXPECT_FALSE(tags::SameFile(dir.QFile(u"new.mp3"_s), dir.QFile(u"NEW.mp3"_s)));
    EXPECT_FALSE(tags::SameFile(u""_s, u""_s));
}

TEST(TagsStrip, MissingFileAndUnservedTypes)
{
    for (auto type : {tags::ttAutomatic, tags::ttID3v1, tags::ttID3v2, tags::ttWMA, tags::ttNone})
        EXPECT_EQ(tags::StripTagsFromFile(u"/nonexistent/x.mp3"_s, type), tags::trcFileNotFound);
    testing_support::TempDir dir;
    const QString file = dir.Write(u"x.mp3"_s, Q(Bytes(300, 0)));
    EXPECT_EQ(tags::StripTagsFromFile(file, tags::ttNone), 0xFFFF);
    EXPECT_EQ(tags::StripTagsFromFile(file, tags::ttMP4Xtra), 0xFFFF);
}
