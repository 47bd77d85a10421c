// tests/tags/TagOggFlacTest.cpp: FLAC in Ogg pages built byte by byte (reading, refusals, saving in place
// into the old metadata pages, rewriting with the audio pages renumbered, packets over several pages),
// and files made by flac --ogg, saved through the front and checked by ogginfo, flac, mutagen and ffmpeg.
#include "tags/TagFlac.h"
#include "tags/TagOggVorbisAndOpus.h"
#include "tags/Tags.h"

#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"
#include "tests/tags/TagTestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace tagtest;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int Serial = 0x1234;

Bytes Block(int Type, const Bytes& Body, bool Last = false)
{
    const auto n = uint32_t(Body.size());
    return Cat({B({Type | (Last ? 0x80 : 0), int(n >> 16), int(n >> 8) & 0xFF, int(n) & 0xFF}), Body});
}

Bytes Comments(const std::vector<std::string>& Items)
{
    Bytes body = Cat({LE32(4), S("test"), LE32(uint32_t(Items.size()))});
    for (const auto& i : Items) body = Cat({body, LE32(uint32_t(i.size())), S(i)});
    return body;
}

// One page holding whole packets (together under 255 segments).
Bytes Page(int Number, int Flags, uint64_t Granule, const std::vector<Bytes>& Packets)
{
    Bytes lacing, data;
    for (const auto& p : Packets) {
        size_t n = p.size();
        for (; n >= 255; n -= 255) lacing.push_back(255);
        lacing.push_back(uint8_t(n));
        data = Cat({data, p});
    }
    Bytes page = Cat({S("OggS"), B({0, Flags}), LE64(Granule), LE32(Serial), LE32(uint32_t(Number)), LE32(0),
                      B({int(lacing.size())}), lacing, data});
    const uint32_t crc = tags::OggCRCUpdate(0, page.data(), int64_t(page.size()));
    std::copy_n(LE32(crc).begin(), 4, page.begin() + 22);
    return page;
}

// The mapping packet: 2 channels, 44.1 kHz, 16 bits, 44100 samples.
Bytes Mapping(int Packets, bool StreamInfoLast, int Major = 1)
{
    const Bytes info = Cat({BE16(4096), BE16(4096), B({0, 0, 0, 0, 0, 0}), B({0x0A, 0xC4, 0x42, 0xF0}),
                            BE32(44100), Bytes(16, 0xAB)});
    return Cat({B({0x7F}), S("FLAC"), B({Major, 0}), BE16(uint16_t(Packets)), S("fLaC"),
                Block(0, info, StreamInfoLast)});
}

const Bytes Png = Cat({S("\x89PNG\r\n\x1A\n"), Bytes(20, 7)});
Bytes PictureBody()
{
    return Cat({BE32(3), BE32(9), S("image/png"), BE32(1), S("d"), BE32(16), BE32(8), BE32(24), BE32(0),
                BE32(uint32_t(Png.size())), Png});
}

// Three audio pages numbered from First.
Bytes AudioPages(int First)
{
    Bytes out;
    for (int i = 0; i < 3; ++i)
        out = Cat({out, Page(First + i, i == 2 ? 4 : 0, uint64_t(4096 * (i + 1)), {S("audio" + std::to_string(i))})});
    return out;
}

// A file with one page per block packet: comments, a picture, an application block, padding of Padding bytes.
Bytes OggFlac(int Padding, const std::vector<std::string>& Items = {"ARTIST=One", "TITLE=Song"})
{
    const std::vector<Bytes> blocks = {Block(4, Comments(Items)), Block(6, PictureBody()),
                                       Block(2, S("APPLxyz")), Block(1, Bytes(size_t(Padding), 0), true)};
    Bytes out = Page(0, 2, 0, {Mapping(int(blocks.size()), false)});
    for (size_t i = 0; i < blocks.size(); ++i) out = Cat({out, Page(int(i + 1), 0, 0, {blocks[i]})});
    return Cat({out, AudioPages(int(blocks.size()) + 1)});
}

struct TPage {
    int Number;
    int Flags;
    Bytes Data;
    Bytes Whole;
};

// Every page of the file; a wrong checksum or a cut page fails the test.
std::vector<TPage> Pages(const Bytes& File, size_t From = 0)
{
    std::vector<TPage> pages;
    for (size_t at = From; at < File.size();) {
        EXPECT_EQ(std::string(File.begin() + ptrdiff_t(at), File.begin() + ptrdiff_t(at + 4)), "OggS") << at;
        const int segments = File[at + 26];
        size_t size = 27 + size_t(segments);
        for (int i = 0; i < segments; ++i) size += File[at + 27 + size_t(i)];
        if (at + size > File.size()) {
            ADD_FAILURE() << "page cut at " << at;
            break;
        }
        Bytes whole(File.begin() + ptrdiff_t(at), File.begin() + ptrdiff_t(at + size));
        const uint32_t stored = uint32_t(whole[22]) | uint32_t(whole[23]) << 8 | uint32_t(whole[24]) << 16 |
                                uint32_t(whole[25]) << 24;
        std::fill_n(whole.begin() + 22, 4, 0);
        EXPECT_EQ(tags::OggCRCUpdate(0, whole.data(), int64_t(whole.size())), stored) << "page at " << at;
        std::copy_n(LE32(stored).begin(), 4, whole.begin() + 22);
        const int number = int(whole[18] | whole[19] << 8 | whole[20] << 16 | whole[21] << 24);
        pages.push_back({number, whole[5], Bytes(whole.begin() + 27 + segments, whole.end()), whole});
        at += size;
    }
    for (size_t i = 0; i < pages.size(); ++i) EXPECT_EQ(pages[i].Number, int(i)) << "page " << i;
    return pages;
}

std::vector<std::string> TagTexts(const tags::TFlacTag& Tag)
{
    std::vector<std::string> out;
    for (const auto& t : Tag.Tags) out.push_back((t->Name + u'=' + t->GetAsText()).toStdString());
    return out;
}

} // namespace

TEST(OggFlac, ReadsBlocksFactsAndWhereTheAudioBegins)
{
    testing_support::TempDir dir;
    const Bytes file = OggFlac(100);
    const Bytes id3 = Tag(4, 0, Frame4("TIT2", Cat({B({3}), S("v2")})));
    for (const Bytes& bytes : {file, Cat({id3, file})}) {
        tags::TFlacTag tag;
        ASSERT_EQ(tag.LoadFromFile(WriteFile(dir, u"a.oga"_s, bytes)), 0);
        EXPECT_TRUE(tag.Loaded);
        EXPECT_EQ(tag.StreamType, tags::fstOggFlac);
        EXPECT_EQ(TagTexts(tag), (std::vector<std::string>{"ARTIST=One", "TITLE=Song"}));
        EXPECT_EQ(tag.FSampleRate, 44100u);
        EXPECT_EQ(tag.FChannels, 2);
        EXPECT_EQ(tag.FBitsPerSample, 16);
        EXPECT_EQ(tag.FSamples, 44100);
        ASSERT_EQ(tag.CoverArtCount(), 1);
        EXPECT_EQ(tag.MetaBlocksCoverArts[0].CoverArtInfo.MIMEType, u"image/png"_s);
        ASSERT_EQ(tag.aMetaBlockOther.size(), 1u);   // the first padding block is only measured
        EXPECT_EQ(tag.aMetaBlockOther[0].Data, S("APPLxyz"));
        EXPECT_EQ(tag.FAudioOffset, int64_t(bytes.size() - AudioPages(5).size()));
    }
}

TEST(OggFlac, RefusesWhatIsNoOggFlacAndStopsAtACutFile)
{
    const Bytes vorbis = Cat({B({1}), S("vorbis"), Bytes(44, 0)});
    const Bytes full = OggFlac(10);
    const struct {
        const char* What;
        Bytes File;
        int Result;
    } cases[] = {
        {"no Ogg page", Cat({S("RIFF"), Bytes(100, 0)}), tags::FLACLIBRARY_ERROR_NOT_SUPPORTED_FORMAT},
        {"Vorbis", Cat({Page(0, 2, 0, {vorbis}), AudioPages(1)}), tags::FLACLIBRARY_ERROR_NOT_SUPPORTED_FORMAT},
        {"major version 2", Cat({Page(0, 2, 0, {Mapping(0, true, 2)}), AudioPages(1)}),
         tags::FLACLIBRARY_ERROR_NOT_SUPPORTED_VERSION},
        {"only STREAMINFO", Cat({Page(0, 2, 0, {Mapping(0, true)}), AudioPages(1)}), tags::FLACLIBRARY_ERROR_NO_TAG_FOUND},
        {"cut in the padding page", Bytes(full.begin(), full.end() - ptrdiff_t(AudioPages(5).size() + 3)),
         tags::FLACLIBRARY_ERROR_NOT_SUPPORTED_FORMAT},
    };
    for (const auto& c : cases) {
        rtl::TMemoryStream stream;
        Fill(stream, c.File);
        tags::TFlacTag tag;
        EXPECT_EQ(tag.LoadFromStream(stream), c.Result) << c.What;
        EXPECT_FALSE(tag.Loaded) << c.What;
    }
}

TEST(OggFlac, SmallChangeIsWrittenInPlaceWithThePaddingShrunk)
{
    testing_support::TempDir dir;
    const Bytes original = OggFlac(1000);
    const QString file = WriteFile(dir, u"a.oga"_s, original);
    tags::TFlacTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    tag.AddTag(u"GENRE"_s)->SetAsText(u"Jazz"_s);
    ASSERT_EQ(tag.SaveToFile(file), 0);

    const Bytes now = FileBytes(file);
    ASSERT_EQ(now.size(), original.size());
    const std::vector<TPage> pages = Pages(now);
    ASSERT_EQ(pages.size(), 8u);
    // The audio pages are untouched, numbers and checksums included.
    const Bytes audio = AudioPages(5);
    EXPECT_EQ(Bytes(now.end() - ptrdiff_t(audio.size()), now.end()), audio);
    // The padding packet closes the metadata, with the last flag, shrunk by what the comment grew.
    EXPECT_EQ(pages[4].Data[0], 0x81);
    EXPECT_EQ(pages[4].Data.size(), 1004u - 4 - 10);   // "GENRE=Jazz" with its 4-byte length

    tags::TFlacTag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    EXPECT_EQ(TagTexts(back), (std::vector<std::string>{"ARTIST=One", "TITLE=Song", "GENRE=Jazz"}));
    EXPECT_EQ(back.CoverArtCount(), 1);
}

TEST(OggFlac, GrowthPastThePaddingRewritesAndRenumbersTheAudioPages)
{
    // A comment block of more than one full page: the packet goes on in pages with the continued flag.
    const std::string big = "COMMENT=" + std::string(9000, 'x');
    for (bool toStream : {false, true}) {
        SCOPED_TRACE(toStream ? "stream" : "file");
        testing_support::TempDir dir;
        const Bytes original = Cat({Tag(3, 0, Frame3("TIT2", Cat({B({0}), S("v2")}))), OggFlac(10)});
        const QString file = WriteFile(dir, u"a.oga"_s, original);
        rtl::TMemoryStream stream;
        Fill(stream, original);
        tags::TFlacTag tag;
        ASSERT_EQ(tag.LoadFromFile(file), 0);
        const int64_t id3 = tag.FStreamInfoEnd - 79;
        tag.AddTag(u"COMMENT"_s)->SetAsText(QString::fromStdString(big.substr(8)));
        ASSERT_EQ(toStream ? tag.SaveToStream(stream) : tag.SaveToFile(file), 0);

        const Bytes now = toStream ? Contents(stream) : FileBytes(file);
        EXPECT_EQ(Bytes(now.begin(), now.begin() + id3), Bytes(original.begin(), original.begin() + id3));
        const std::vector<TPage> pages = Pages(now, size_t(id3));
        // Mapping, comments over 3 pages, picture, application, padding, 3 audio pages.
        ASSERT_EQ(pages.size(), 10u);
        EXPECT_EQ(pages[0].Data[8], 4);                          // packets after the mapping packet
        EXPECT_EQ(pages[0].Data[13] & 0x80, 0);                  // STREAMINFO is not the last block
        EXPECT_EQ(pages[1].Flags, 0);
        EXPECT_EQ(pages[2].Flags, 1);
        EXPECT_EQ(pages[3].Flags, 1);
        EXPECT_EQ(pages[6].Data.size(), 4u + 4092);              // the new padding
        EXPECT_EQ(pages[7].Data, S("audio0"));
        EXPECT_EQ(pages[9].Flags, 4);

        tags::TFlacTag back;
        rtl::TMemoryStream check;
        Fill(check, now);
        ASSERT_EQ(back.LoadFromStream(check), 0);
        EXPECT_EQ(TagTexts(back), (std::vector<std::string>{"ARTIST=One", "TITLE=Song", big}));
        EXPECT_EQ(back.aMetaBlockOther[0].Data, S("APPLxyz"));
    }
}

TEST(OggFlac, OnlyStreamInfoGetsCommentAndPaddingPackets)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.oga"_s, Cat({Page(0, 2, 0, {Mapping(0, true)}), AudioPages(1)}));
    tags::TFlacTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), tags::FLACLIBRARY_ERROR_NO_TAG_FOUND);
    tag.AddTag(u"ARTIST"_s)->SetAsText(u"New"_s);
    ASSERT_EQ(tag.SaveToFile(file), 0);
    const std::vector<TPage> pages = Pages(FileBytes(file));
    ASSERT_EQ(pages.size(), 6u);
    EXPECT_EQ(pages[0].Data[8], 2);
    EXPECT_EQ(pages[1].Data[0], 4);
    EXPECT_EQ(pages[2].Data[0], 0x81);
    EXPECT_EQ(pages[3].Data, S("audio0"));
    tags::TFlacTag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    EXPECT_EQ(TagTexts(back), (std::vector<std::string>{"ARTIST=New"}));
}

TEST(OggFlac, PaddingAbovePaddingSizeToWriteOrForcedRewrite)
{
    const struct {
        const char* What;
        uint32_t PaddingSizeToWrite;
        bool Force;
        size_t PaddingPage;   // the padding packet's size after the save
    } cases[] = {
        {"fits in place", 4092, false, 1000 + 4},
        {"fits only with more than PaddingSizeToWrite", 500, false, 500 + 4},
        {"forced", 4092, true, 4092 + 4},
    };
    for (const auto& c : cases) {
        testing_support::TempDir dir;
        const QString file = WriteFile(dir, u"a.oga"_s, OggFlac(1000));
        tags::TFlacTag tag;
        ASSERT_EQ(tag.LoadFromFile(file), 0);
        tag.PaddingSizeToWrite = c.PaddingSizeToWrite;
        tag.ForceReWrite = c.Force;
        ASSERT_EQ(tag.SaveToFile(file), 0) << c.What;
        const std::vector<TPage> pages = Pages(FileBytes(file));
        ASSERT_EQ(pages.size(), 8u) << c.What;
        EXPECT_EQ(pages[4].Data.size(), c.PaddingPage) << c.What;
    }
}

// ---- real files ------------------------------------------------------------------------------------------

namespace {

const QString Python = u"/usr/bin/python3"_s;

QString PeerOggFlac(const testing_support::TempDir& Dir)
{
    for (const char* tool : {"flac", "ffmpeg", "ogginfo"})
        if (!testing_support::RequireTool(QString::fromLatin1(tool))) return {};
    if (!testing_support::RequireTool(Python, u"import mutagen"_s)) return {};
    const QString wav = Dir.QFile(u"t.wav"_s);
    const QString oga = Dir.QFile(u"t.oga"_s);
    auto run = testing_support::RunProgram(u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-f"_s, u"lavfi"_s, u"-i"_s,
        u"sine=frequency=440:duration=2"_s, u"-ac"_s, u"2"_s, u"-y"_s, wav});
    EXPECT_TRUE(run.Ok()) << run.Describe();
    run = testing_support::RunProgram(u"flac"_s, {u"--ogg"_s, u"-s"_s, u"-f"_s, u"-T"_s, u"ARTIST=Peer"_s, u"-o"_s, oga, wav});
    EXPECT_TRUE(run.Ok()) << run.Describe();
    return oga;
}

QByteArray DecodedMd5(const QString& File)
{
    return testing_support::RunProgram(u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-i"_s, File, u"-map"_s, u"0:a"_s,
                                                     u"-f"_s, u"md5"_s, u"-"_s}).Out;
}

void ExpectPeersAccept(const QString& File)
{
    auto run = testing_support::RunProgram(u"ogginfo"_s, {File});
    EXPECT_TRUE(run.Ok()) << run.Describe() << run.Out.toStdString();
    EXPECT_FALSE(run.Out.contains("WARNING") || run.Out.contains("ERROR")) << run.Out.toStdString();
    run = testing_support::RunProgram(u"flac"_s, {u"-t"_s, u"-s"_s, File});
    EXPECT_TRUE(run.Ok()) << run.Describe();
}

QString MutagenTags(const QString& File)
{
    const auto run = testing_support::RunProgram(Python, {u"-c"_s,
        u"import sys,mutagen\nf=mutagen.File(sys.argv[1])\nprint(type(f).__name__, sorted(f.tags.items()) if f.tags else [])"_s,
        File});
    EXPECT_TRUE(run.Ok()) << run.Describe();
    return QString::fromUtf8(run.Out.trimmed());
}

} // namespace

TEST(OggFlacPeer, FrontSaveAndStripKeepTheStreamValid)
{
    testing_support::TempDir dir;
    const QString file = PeerOggFlac(dir);
    if (file.isEmpty()) return;
    const QByteArray md5 = DecodedMd5(file);
    ASSERT_FALSE(md5.isEmpty());

    tags::TTags front;
    ASSERT_EQ(front.LoadFromFile(file), 0);
    ASSERT_TRUE(front.FlacTag->Loaded);
    EXPECT_EQ(front.FlacTag->StreamType, tags::fstOggFlac);
    front.Add(u"TITLE"_s)->Value = u"Tïtle ✓"_s;
    front.Add(u"TRACKNUMBER"_s)->Value = u"3"_s;
    ASSERT_EQ(front.SaveToFile(file, tags::ttAutomatic), 0);
    ExpectPeersAccept(file);
    EXPECT_EQ(MutagenTags(file),
              u"OggFLAC [('artist', ['Peer']), ('title', ['Tïtle ✓']), ('tracknumber', ['3'])]"_s);
    EXPECT_EQ(DecodedMd5(file), md5);

    // Grown past the padding flac left: the file is rewritten.
    tags::TFlacTag big;
    ASSERT_EQ(big.LoadFromFile(file), 0);
    big.AddTag(u"LYRICS"_s)->SetAsText(QString(20000, u'a'));
    ASSERT_EQ(big.SaveToFile(file), 0);
    ExpectPeersAccept(file);
    EXPECT_EQ(DecodedMd5(file), md5);

    ASSERT_EQ(tags::StripFlacTagsFromFile(file, 0), 0);
    ExpectPeersAccept(file);
    EXPECT_EQ(MutagenTags(file), u"OggFLAC []"_s);
    EXPECT_EQ(DecodedMd5(file), md5);
}

TEST(OggFlac, AMetadataPageMoreRenumbersTheAudioPagesEvenWhenTheBytesFit)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.oga"_s, OggFlac(6000));
    tags::TFlacTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    tag.AddTag(u"COMMENT"_s)->SetAsText(QString(4500, u'c'));
    ASSERT_EQ(tag.SaveToFile(file), 0);
    // Mapping, comments over 2 pages, picture, application, padding, then the audio from number 6.
    const std::vector<TPage> pages = Pages(FileBytes(file));
    ASSERT_EQ(pages.size(), 9u);
    EXPECT_EQ(pages[2].Flags, 1);
    EXPECT_EQ(pages[6].Data, S("audio0"));
    tags::TFlacTag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    EXPECT_EQ(back.Count(), 3);
}

TEST(OggFlac, AFailedRewriteLeavesTheFileAsItWas)
{
    const struct {
        tags::TFileStep Failing;
        int Result;
    } cases[] = {
        {tags::TFileStep::Create, tags::FLACLIBRARY_ERROR_WRITING_FILE},
        {tags::TFileStep::Write, tags::FLACLIBRARY_ERROR},
        {tags::TFileStep::Rename, tags::FLACLIBRARY_ERROR_WRITING_FILE},
    };
    for (const auto& c : cases) {
        testing_support::TempDir dir;
        const Bytes original = OggFlac(10);
        const QString file = WriteFile(dir, u"a.oga"_s, original);
        tags::TFlacTag tag;
        ASSERT_EQ(tag.LoadFromFile(file), 0);
        tag.ForceReWrite = true;
        {
            TFaultGuard fault(c.Failing);
            EXPECT_EQ(tag.SaveToFile(file), c.Result) << int(c.Failing);
        }
        EXPECT_EQ(FileBytes(file), original) << int(c.Failing);
        EXPECT_EQ(QDir(dir.QPath()).entryList(QDir::Files), QStringList{u"a.oga"_s}) << int(c.Failing);
    }
}
