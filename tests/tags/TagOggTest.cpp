// tests/tags/TagOggTest.cpp: Ogg pages (CRC, lacing, size prediction, renumbering), the Vorbis, Opus and
// Theora comment headers (loading, pictures, saving in place and through a new file, stripping), the
// front's Ogg converters, and files made and checked by oggenc, opusenc, ogginfo, opusinfo, ffmpeg and
// mutagen.
#include "tags/TagOggVorbisAndOpus.h"
#include "tags/Tags.h"

#include "rtl/Classes.h"
#include "rtl/Files.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"
#include "tests/tags/TagTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>


using namespace tagtest;
using namespace Qt::Literals::StringLiterals;

namespace {

// One page of a stream, checksummed; packets are laced whole unless Open (the last one goes on).
Bytes Page(int Serial, int Number, int Flags, const std::vector<Bytes>& Packets, bool Open = false, int64_t Granule = 0)
{
    Bytes lacing, data;
    for (size_t i = 0; i < Packets.size(); ++i) {
        size_t n = Packets[i].size();
        for (; n >= 255; n -= 255) lacing.push_back(255);
        if (n > 0 || !(Open && i + 1 == Packets.size())) lacing.push_back(uint8_t(n));
        data = Cat({data, Packets[i]});
    }
    Bytes page = Cat({S("OggS"), B({0, Flags}), LE64(uint64_t(Granule)), LE32(uint32_t(Serial)), LE32(uint32_t(Number)),
                      LE32(0), B({int(lacing.size())}), lacing, data});
    const uint32_t crc = tags::OggCRCUpdate(0, page.data(), int64_t(page.size()));
    for (int i = 0; i < 4; ++i) page[size_t(22 + i)] = uint8_t(crc >> (8 * i));
    return page;
}

Bytes CommentList(const std::string& Vendor, const std::vector<std::string>& Comments)
{
    Bytes b = Cat({LE32(uint32_t(Vendor.size())), S(Vendor), LE32(uint32_t(Comments.size()))});
    for (const auto& c : Comments) b = Cat({b, LE32(uint32_t(c.size())), S(c)});
    return b;
}

Bytes OpusHead() { return Cat({S("OpusHead"), B({1, 2}), LE16(312), LE32(48000), LE16(0), B({0})}); }
Bytes VorbisHead(int32_t Nominal = 128000)
{
    return Cat({B({1}), S("vorbis"), LE32(0), B({2}), LE32(44100), LE32(0), LE32(uint32_t(Nominal)), LE32(0), B({0xB8, 1})});
}
Bytes VorbisSetup(size_t Size) { return Cat({B({5}), S("vorbis"), Bytes(Size - 7, 0x5A)}); }

Bytes OpusFile(const std::vector<std::string>& Comments, int64_t LastGranule = 960000)
{
    return Cat({Page(7, 0, 2, {OpusHead()}), Page(7, 1, 0, {Cat({S("OpusTags"), CommentList("x", Comments)})}),
                Page(7, 2, 0, {S("audio packet one")}, false, 480000), Page(7, 3, 4, {S("audio two")}, false, LastGranule)});
}

Bytes VorbisFile(const std::vector<std::string>& Comments, size_t SetupSize = 300)
{
    const Bytes comment = Cat({B({3}), S("vorbis"), CommentList("Xiph", Comments), B({1})});
    return Cat({Page(9, 0, 2, {VorbisHead()}), Page(9, 1, 0, {comment, VorbisSetup(SetupSize)}),
                Page(9, 2, 0, {S("audio")}, false, 44100), Page(9, 3, 4, {S("end")}, false, 88200)});
}

struct TPageInfo {
    int Serial, Number, Flags;
    Bytes Lacing;
    bool CRCOk;
    size_t Size;
};

std::vector<TPageInfo> Pages(const Bytes& File)
{
    std::vector<TPageInfo> out;
    size_t at = 0;
    while (at + 27 <= File.size() && std::equal(File.begin() + ptrdiff_t(at), File.begin() + ptrdiff_t(at + 4), "OggS")) {
        const int segs = File[at + 26];
        size_t data = 0;
        for (int i = 0; i < segs; ++i) data += File[at + 27 + size_t(i)];
        const size_t size = 27 + size_t(segs) + data;
        Bytes page(File.begin() + ptrdiff_t(at), File.begin() + ptrdiff_t(at + size));
        auto le = [&](size_t o) { return uint32_t(page[o]) | uint32_t(page[o + 1]) << 8 | uint32_t(page[o + 2]) << 16 | uint32_t(page[o + 3]) << 24; };
        const uint32_t stored = le(22);
        std::fill(page.begin() + 22, page.begin() + 26, 0);
        out.push_back({int(le(14)), int(le(18)), page[5], Bytes(page.begin() + 27, page.begin() + 27 + segs),
                       tags::OggCRCUpdate(0, page.data(), int64_t(page.size())) == stored, size});
        at += size;
    }
    EXPECT_EQ(at, File.size()) << "bytes that are no page";
    return out;
}

// A tag object set up as a TOGGStream template for serial 5.
tags::TOGGStream Template()
{
    rtl::TMemoryStream first;
    Fill(first, Page(5, 0, 2, {S("x")}));
    return tags::TOGGStream(&first);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Pages

TEST(OggPages, ChecksumIsTheOggCrc)
{
    // CRC-32 of polynomial 0x04C11DB7, MSB first, initial 0, no final XOR: the check value of "123456789".
    EXPECT_EQ(tags::OggCRCUpdate(0, "123456789", 9), 0x89A1897Fu);
    EXPECT_EQ(tags::OggCRCUpdate(tags::OggCRCUpdate(0, "1234", 4), "56789", 5), 0x89A1897Fu);

    // The first page of a file opusenc made (serial 1234): its checksum field holds 0x2F1F1B19.
    Bytes page = {0x4f, 0x67, 0x67, 0x53, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xd2, 0x04,
                  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x13, 0x4f, 0x70, 0x75, 0x73,
                  0x48, 0x65, 0x61, 0x64, 0x01, 0x01, 0x38, 0x01, 0x44, 0xac, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(tags::OggCRCUpdate(0, page.data(), int64_t(page.size())), 0x2F1F1B19u);
    rtl::TMemoryStream stream;
    Fill(stream, page);
    tags::TOggHeader header;
    header.ReadHeader(page.data());
    std::copy_n(page.begin() + 27, header.Segments, header.LacingValues);
    ASSERT_TRUE(tags::SetOggPageCRC(stream, header));
    const Bytes stamped = Contents(stream);
    EXPECT_EQ(Bytes(stamped.begin() + 22, stamped.begin() + 26), (Bytes{0x19, 0x1b, 0x1f, 0x2f}));
}

struct TWrapCase {
    const char* Name;
    int32_t First;    // bytes of the first packet; -1: one packet
    int32_t Size;
    bool Open;
    std::vector<std::vector<int>> Lacing;   // per page
};

class OggWrapTable : public ::testing::TestWithParam<TWrapCase> {};

// Every page carries the template's serial, numbers from the start, granule 0, the continued flag
// when the page before ended inside a packet, and a checksum; the prediction is the written size.
TEST_P(OggWrapTable, LacesPagesAndPredictsTheirSize)
{
    const TWrapCase& c = GetParam();
    tags::TOGGStream pages = Template();
    pages.FirstOGGHeader.PageNumber = 3;
    Bytes data(size_t(c.Size));
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 7);
    rtl::TMemoryStream in, out;
    Fill(in, data);
    const int32_t n = c.First < 0 ? pages.CreateTagStream(in, out, 3) : pages.CreateTagStreamVorbis(c.First, in, out, c.Open);
    const int32_t predicted = c.First < 0 ? pages.CalculateWrappedStreamSize(c.Size)
                                          : pages.CalculateWrappedStreamSizeVorbis(c.First, c.Size, c.Open);
    EXPECT_EQ(predicted, out.Size());
    const Bytes written = Contents(out);
    const auto info = Pages(written);
    ASSERT_EQ(int(info.size()), n);
    ASSERT_EQ(info.size(), c.Lacing.size());
    bool continued = false;
    size_t dataAt = 0;
    for (size_t i = 0; i < info.size(); ++i) {
        std::vector<int> lacing(info[i].Lacing.begin(), info[i].Lacing.end());
        EXPECT_EQ(lacing, c.Lacing[i]) << "page " << i;
        EXPECT_EQ(info[i].Serial, 5);
        EXPECT_EQ(info[i].Number, int(3 + i));
        EXPECT_EQ(info[i].Flags, continued ? 1 : 0) << "page " << i;
        EXPECT_TRUE(info[i].CRCOk);
        continued = !lacing.empty() && lacing.back() == 255;
        dataAt += info[i].Size - 27 - lacing.size();
    }
    EXPECT_EQ(dataAt, data.size());
}

std::vector<int> Repeat(int Value, int Count, std::vector<int> Tail = {})
{
    std::vector<int> v(size_t(Count), Value);
    v.insert(v.end(), Tail.begin(), Tail.end());
    return v;
}

std::vector<int> Cat2(std::vector<int> A, const std::vector<int>& B)
{
    A.insert(A.end(), B.begin(), B.end());
    return A;
}

INSTANTIATE_TEST_SUITE_P(Cases, OggWrapTable, ::testing::Values(
    TWrapCase{"Empty", -1, 0, false, {}},
    TWrapCase{"Small", -1, 100, false, {{100}}},
    TWrapCase{"TwoSegments", -1, 300, false, {{255, 45}}},
    // A whole number of segments is closed with a lacing value of 0.
    TWrapCase{"OneWholeSegment", -1, 255, false, {{255, 0}}},
    TWrapCase{"FullPageExactly", -1, 4335, false, {Repeat(255, 17, {0})}},
    TWrapCase{"OneByteOver", -1, 4336, false, {Repeat(255, 17), {1}}},
    TWrapCase{"FiveThousand", -1, 5000, false, {Repeat(255, 17), {255, 255, 155}}},
    TWrapCase{"TwoPackets", 100, 3100, false, {Cat2({100}, Repeat(255, 11, {195}))}},
    TWrapCase{"TwoPacketsFirstWhole", 510, 610, false, {{255, 255, 0, 100}}},
    TWrapCase{"SecondWholeClosed", 10, 520, false, {{10, 255, 255, 0}}},
    // The start of a setup header whose rest follows in the unchanged pages stays open.
    TWrapCase{"SecondWholeOpen", 10, 520, true, {{10, 255, 255}}},
    TWrapCase{"FirstOverAPage", 5000, 5100, false, {Repeat(255, 17), {255, 255, 155, 100}}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(OggPages, MoreThan255LacingValuesGoOnInAContinuedPage)
{
    // 100 bytes, then 70000 = 274·255 + 130 bytes: 1 + 275 lacing values, over two pages.
    tags::TOGGStream pages = Template();
    Bytes data(70100, 1);
    rtl::TMemoryStream in, out;
    Fill(in, data);
    ASSERT_EQ(pages.CreateTagStreamVorbis(100, in, out), 2);
    const auto info = Pages(Contents(out));
    ASSERT_EQ(info.size(), 2u);
    EXPECT_EQ(info[0].Lacing.size(), 255u);
    EXPECT_EQ(info[0].Lacing[0], 100);
    EXPECT_EQ(info[1].Lacing.size(), 21u);
    EXPECT_EQ(info[1].Lacing.back(), 130);
    EXPECT_EQ(info[1].Flags, 1);
}

TEST(OggPages, PredictionsEqualWrittenSizesForEveryCommentSize)
{
    tags::TOGGStream pages = Template();
    for (int32_t size = 0; size <= 20000; size += (size % 255 == 254 || size % 255 == 0) ? 1 : 37) {
        Bytes data(size_t(size), 0x41);
        for (int32_t first : {-1, size / 3, size - 255, 255}) {
            for (bool open : {false, true}) {
                if (first == 0 || first > size || (first < 0 && open)) continue;
                rtl::TMemoryStream in, out;
                Fill(in, data);
                if (first < 0) {
                    pages.CreateTagStream(in, out, 1);
                    ASSERT_EQ(pages.CalculateWrappedStreamSize(size), out.Size()) << size;
                } else {
                    pages.CreateTagStreamVorbis(first, in, out, open);
                    ASSERT_EQ(pages.CalculateWrappedStreamSizeVorbis(first, size, open), out.Size()) << size << " " << first;
                }
            }
        }
    }
}

TEST(OggPages, ReadingStopsAtAnythingButAWholePage)
{
    const Bytes page = Page(1, 0, 0, {S("abc")});
    rtl::TMemoryStream file, out;
    tags::TOggHeader header;

    Fill(file, Cat({S("junk"), page}));
    tags::TOGGStream junk(&file);
    EXPECT_FALSE(junk.GetNextPageHeader(header, &out));
    EXPECT_EQ(file.Position(), 0);

    Fill(file, Bytes(page.begin(), page.end() - 1));   // one data byte short
    tags::TOGGStream cut(&file);
    EXPECT_FALSE(cut.GetNextPage(out));
    EXPECT_FALSE(cut.GetNextPageData(out));
    EXPECT_EQ(out.Size(), 0);
    EXPECT_EQ(file.Position(), 0);

    Fill(file, Cat({Page(1, 0, 0, {Bytes()}), page}));   // an empty packet: one lacing value of 0
    tags::TOGGStream empty(&file);
    EXPECT_TRUE(empty.GetNextPageData(out));
    EXPECT_EQ(out.Size(), 0);
    EXPECT_TRUE(empty.GetNextPageData(out));
    EXPECT_EQ(Contents(out), S("abc"));
    EXPECT_EQ(empty.LastPageQueried, 2);
    EXPECT_FALSE(empty.GetNextPageData(out));   // the end
}

TEST(OggPages, RenumberingChangesOnlyTheGivenStream)
{
    const Bytes other = Page(2, 40, 0, {S("other stream")});
    const Bytes source = Cat({Page(1, 5, 0, {S("a")}), other, Page(1, 6, 0, {S("b")}), S("trailing")});
    for (bool consecutive : {true, false}) {
        rtl::TMemoryStream in, out;
        Fill(in, source);
        tags::TOGGStream pages(&in);
        ASSERT_TRUE(consecutive ? pages.ReNumberPages(10, in, out, 1) : pages.ReNumberPagesTheora(3, in, out, 1));
        const Bytes result = Contents(out);
        ASSERT_EQ(result.size(), source.size());
        const Bytes expected = consecutive ? Cat({Page(1, 10, 0, {S("a")}), other, Page(1, 11, 0, {S("b")}), S("trailing")})
                                           : Cat({Page(1, 8, 0, {S("a")}), other, Page(1, 9, 0, {S("b")}), S("trailing")});
        EXPECT_EQ(result, expected) << consecutive;
    }
}

// ---------------------------------------------------------------------------------------------
// Comment headers

TEST(OggTag, LoadsOpusCommentsWithUpperCaseNames)
{
    rtl::TMemoryStream file;
    Fill(file, OpusFile({"title=Abc", "no equals sign", "A=B=C", "METADATA_BLOCK_PICTURE=AAAA"}));
    tags::TOpusTag tag;
    tag.ParsePlayTime = true;
    ASSERT_EQ(tag.LoadFromStream(file), 0);
    EXPECT_TRUE(tag.Loaded);
    EXPECT_EQ(tag.Format, tags::ofOpus);
    EXPECT_EQ(tag.VendorString, u"x"_s);
    ASSERT_EQ(tag.Count(), 3);
    EXPECT_EQ(tag.FrameExists(u"Title"_s), 0);
    EXPECT_EQ(tag.ReadFrameByNameAsText(u"title"_s), u"Abc"_s);
    EXPECT_EQ(tag.Frames[1]->Name, u"A"_s);
    EXPECT_EQ(tag.Frames[1]->GetAsText(), u"B=C"_s);
    EXPECT_EQ(tag.Frames[2]->Format, tags::otffCoverArt);
    EXPECT_EQ(tag.Info.OpusParameters.ChannelCount, 2);
    EXPECT_EQ(tag.Info.OpusParameters.SampleRate, 48000u);
    EXPECT_EQ(tag.Info.SampleCount, 960000);
    EXPECT_DOUBLE_EQ(tag.Info.PlayTime, 20.0);
    EXPECT_EQ(tag.Info.SPagePos, 47);
}

TEST(OggTag, VorbisPlayTimeAndBitRate)
{
    rtl::TMemoryStream file;
    Fill(file, VorbisFile({"ARTIST=a"}));
    tags::TOpusTag tag;
    ASSERT_EQ(tag.LoadFromStream(file), 0);
    EXPECT_EQ(tag.Info.PlayTime, 0);   // not asked for

    tag.ParsePlayTime = true;
    ASSERT_EQ(tag.LoadFromStream(file), 0);
    EXPECT_DOUBLE_EQ(tag.Info.PlayTime, 2.0);   // granule 88200 at 44.1 kHz
    EXPECT_EQ(tag.Info.BitRate, 128);

    // Without a granule position the nominal rate (bit/s) gives the time: bytes * 8 / rate.
    Bytes noGranule = VorbisFile({"ARTIST=a"});
    Bytes last = Page(9, 3, 4, {S("end")}, false, 0);
    noGranule.resize(noGranule.size() - last.size());
    noGranule = Cat({noGranule, last});
    Fill(file, noGranule);
    ASSERT_EQ(tag.LoadFromStream(file), 0);
    EXPECT_DOUBLE_EQ(tag.Info.PlayTime, double(noGranule.size()) * 8 / 128000);
}

TEST(OggTag, VorbisKeepsTheSetupHeaderThatFollowsTheComments)
{
    rtl::TMemoryStream file;
    Fill(file, VorbisFile({"ARTIST=a"}, 400));
    tags::TOpusTag tag;
    ASSERT_EQ(tag.LoadFromStream(file), 0);
    EXPECT_EQ(tag.Format, tags::ofVorbis);
    EXPECT_EQ(Contents(tag.VorbisData), VorbisSetup(400));
}

TEST(OggTag, CommentsSpreadOverPagesAndOtherStreamsBetween)
{
    // A Theora comment header over two pages with a page of another stream between them.
    const Bytes comment = Cat({B({0x81}), S("theora"), CommentList("v", {"TITLE=" + std::string(5000, 't'), "ARTIST=b"})});
    const Bytes setup = Cat({B({0x82}), S("theora"), Bytes(20, 1)});
    const Bytes split1(comment.begin(), comment.begin() + 4335), split2(comment.begin() + 4335, comment.end());
    const Bytes other = Page(2, 1, 0, {S("vorbis comment of the other stream")});
    const Bytes file = Cat({Page(1, 0, 2, {Cat({B({0x80}), S("theora"), Bytes(20, 0)})}), Page(2, 0, 2, {VorbisHead()}),
                            Page(1, 1, 0, {split1}, true), other, Page(1, 2, 1, {split2, setup}), Page(1, 3, 0, {S("frame")}),
                            Page(2, 2, 0, {S("sound")})});
    rtl::TMemoryStream stream;
    Fill(stream, file);
    tags::TOpusTag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), 0);
    EXPECT_EQ(tag.Format, tags::ofTheora);
    EXPECT_EQ(tag.ReadFrameByNameAsText(u"artist"_s), u"b"_s);
    EXPECT_EQ(tag.ReadFrameByNameAsText(u"title"_s).size(), 5000);
    EXPECT_EQ(Contents(tag.VorbisData), setup);

    // Saved with a short title: one comment page, the other stream's pages unchanged, the Theora pages
    // after it numbered on from the new header.
    tag.SetTextFrameText(u"TITLE"_s, u"short"_s);
    ASSERT_EQ(tag.SaveToStream(stream), 0);
    const Bytes saved = Contents(stream);
    const auto pages = Pages(saved);
    std::vector<std::pair<int, int>> numbers;
    for (const auto& p : pages) {
        EXPECT_TRUE(p.CRCOk);
        numbers.emplace_back(p.Serial, p.Number);
    }
    EXPECT_EQ(numbers, (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}, {1, 1}, {2, 1}, {1, 2}, {2, 2}}));
    EXPECT_NE(std::search(saved.begin(), saved.end(), other.begin(), other.end()), saved.end());
    tags::TOpusTag back;
    ASSERT_EQ(back.LoadFromStream(stream), 0);
    EXPECT_EQ(back.ReadFrameByNameAsText(u"TITLE"_s), u"short"_s);
    EXPECT_EQ(Contents(back.VorbisData), setup);
}

TEST(OggTag, TruncatedOrFalseLengthsFailTheLoad)
{
    const Bytes good = OpusFile({"A=b"});
    Bytes huge = Cat({Page(7, 0, 2, {OpusHead()}), Page(7, 1, 0, {Cat({S("OpusTags"), LE32(0xFFFFFFF0u), S("x")})})});
    Bytes count = Cat({Page(7, 0, 2, {OpusHead()}), Page(7, 1, 0, {Cat({S("OpusTags"), LE32(0), LE32(0x7FFFFFFF)})})});
    for (const Bytes& bytes : {Bytes(good.begin(), good.begin() + 60), huge, count, S("OggS")}) {
        rtl::TMemoryStream file;
        Fill(file, bytes);
        tags::TOpusTag tag;
        EXPECT_EQ(tag.LoadFromStream(file), tags::OPUSTAGLIBRARY_ERROR);
        EXPECT_FALSE(tag.Loaded);
    }
}

TEST(OggTag, TextListAndPictureForms)
{
    tags::TOpusTag tag;
    tags::TOpusTagFrame* list = tag.AddFrame(u"TIPL"_s);
    rtl::TStringList pairs;
    pairs.Add(u"A=1"_s);
    pairs.Add(u"B=2"_s);
    list->SetAsList(pairs);
    EXPECT_EQ(Contents(list->Stream), S("A\r\n1\r\nB\r\n2\r\n"));
    rtl::TStringList back;
    EXPECT_TRUE(list->GetAsList(back));
    EXPECT_EQ(back.Text(), pairs.Text());

    rtl::TMemoryStream picture;
    Fill(picture, Cat({B({0x89}), S("PNG\r\n\x1a\n"), Bytes(1528, 7)}));
    tags::TOpusVorbisCoverArtInfo info;
    info.PictureType = 4;
    info.MIMEType = u"Image/PNG"_s;
    info.Description = u"Vorderseite ü"_s;
    info.Width = 10;
    info.Height = 20;
    const int index = tag.AddCoverArtFrame(&picture, info);
    ASSERT_EQ(index, 1);
    EXPECT_EQ(tag.Frames[1]->GetAsText().left(17), u"COVER ART BINARY "_s);

    rtl::TMemoryStream out;
    tags::TOpusVorbisCoverArtInfo read;
    ASSERT_TRUE(tag.GetCoverArtFromFrame(index, out, read));
    EXPECT_EQ(Contents(out), Contents(picture));
    EXPECT_EQ(read.PictureType, 4u);
    EXPECT_EQ(read.MIMEType, u"image/png"_s);
    EXPECT_EQ(read.Description, u"Vorderseite ü"_s);
    EXPECT_EQ(read.Width, 10u);
    EXPECT_EQ(read.Height, 20u);
    EXPECT_EQ(read.SizeOfPictureData, 1536u);

    // Only the exact name holds a picture.
    tag.Frames[1]->Name = u"metadata_block_picture"_s;
    EXPECT_FALSE(tag.SetCoverArtFrame(1, &picture, info));
    EXPECT_FALSE(tag.GetCoverArtFromFrame(1, out, read));
    EXPECT_EQ(read.MIMEType, u""_s);

    // A block whose data length claims more than it holds is refused.
    tags::TOpusTagFrame* bad = tag.AddFrame(u"METADATA_BLOCK_PICTURE"_s);
    const Bytes block = Cat({BE32(3), BE32(0), BE32(0), BE32(0), BE32(0), BE32(0), BE32(0), BE32(0x7FFFFFFF), S("ab")});
    const QByteArray text = QByteArray(reinterpret_cast<const char*>(block.data()), qsizetype(block.size())).toBase64();
    bad->Stream.WriteBuffer(text.constData(), text.size());
    bad->Format = tags::otffCoverArt;
    EXPECT_FALSE(tag.GetCoverArtFromFrame(2, out, read));
}

TEST(OggTag, TagSizeIsThePacketSize)
{
    tags::TOpusTag tag;
    tag.Format = tags::ofOpus;
    tag.VendorString = u"x"_s;
    tag.AddTextFrame(u"A"_s, u"b"_s);
    EXPECT_EQ(tag.CalculateTagSize(true), 24);
    rtl::TMemoryStream packet;
    tag.BuildTag(packet, 0);
    EXPECT_EQ(packet.Size(), 24);
    tag.AddTextFrame(u"PADDING"_s, u"####"_s);
    EXPECT_EQ(tag.CalculateTagSize(false), 24 + 4);   // its length field stays counted
}

// ---------------------------------------------------------------------------------------------
// Saving

namespace {

QStringList FolderEntries(const testing_support::TempDir& Dir)
{
    return QDir(Dir.QPath()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

std::vector<int> Numbers(const Bytes& File)
{
    std::vector<int> out;
    for (const auto& p : Pages(File)) {
        EXPECT_TRUE(p.CRCOk) << "page " << p.Number;
        out.push_back(p.Number);
    }
    return out;
}

} // namespace

TEST(OggSave, OpusWritesInPlaceOnlyOnAnExactFit)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.opus"_s, OpusFile({"TITLE=abc", "PADDING=###"}));
    const int64_t size = int64_t(FileBytes(file).size());
    tags::TOpusTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    tag.SetTextFrameText(u"TITLE"_s, u"abcdefghijklmnopqr"_s);   // takes the place of the padding comment
    ASSERT_EQ(tag.SaveToFile(file), 0);
    EXPECT_EQ(int64_t(FileBytes(file).size()), size);
    EXPECT_EQ(FolderEntries(dir), QStringList{u"a.opus"_s});
    EXPECT_EQ(Numbers(FileBytes(file)), (std::vector<int>{0, 1, 2, 3}));
    tags::TOpusTag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    EXPECT_EQ(back.Count(), 1);
    EXPECT_EQ(back.ReadFrameByNameAsText(u"title"_s), u"abcdefghijklmnopqr"_s);

    // Larger: through a new file, every page still numbered without a gap.
    back.SetTextFrameText(u"TITLE"_s, QString(9000, u'z'));
    ASSERT_EQ(back.SaveToFile(file), 0);
    EXPECT_EQ(Numbers(FileBytes(file)), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(FolderEntries(dir), QStringList{u"a.opus"_s});
}

TEST(OggSave, OpusGrowsAPaddingCommentToFillTheOldPage)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.opus"_s, OpusFile({"COMMENT=" + std::string(600, 'c')}));
    const Bytes before = FileBytes(file);
    tags::TOpusTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    tag.WritePadding = true;
    tag.PaddingSizeToWrite = 4096;
    tag.SetTextFrameText(u"COMMENT"_s, QString(500, u'c'));
    ASSERT_EQ(tag.SaveToFile(file), 0);
    const Bytes after = FileBytes(file);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(FolderEntries(dir), QStringList{u"a.opus"_s});
    tags::TOpusTag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    const QString padding = back.ReadFrameByNameAsText(u"PADDING"_s);
    EXPECT_GT(padding.size(), 80);
    EXPECT_EQ(padding, QString(padding.size(), u'#'));
    EXPECT_EQ(Numbers(after), (std::vector<int>{0, 1, 2, 3}));
    // The audio pages are the same bytes.
    EXPECT_TRUE(std::equal(after.end() - 60, after.end(), before.end() - 60));
}

TEST(OggSave, VorbisKeepsItsSetupHeaderOnTheLastCommentPage)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.ogg"_s, VorbisFile({"ARTIST=a"}, 3000));
    tags::TOpusTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    tag.SetTextFrameText(u"COMMENT"_s, QString(6000, u'v'));
    ASSERT_EQ(tag.SaveToFile(file), 0);
    const Bytes after = FileBytes(file);
    EXPECT_EQ(Numbers(after), (std::vector<int>{0, 1, 2, 3, 4}));
    tags::TOpusTag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    EXPECT_EQ(back.ReadFrameByNameAsText(u"comment"_s).size(), 6000);
    EXPECT_EQ(Contents(back.VorbisData), VorbisSetup(3000));
    // The setup header ends on the page that ends the comment packet, and is followed by the audio.
    const auto pages = Pages(after);
    EXPECT_EQ(pages[2].Size, 27 + pages[2].Lacing.size() + size_t(back.CalculateTagSize(true) - 4335) + 3000);
    EXPECT_LT(pages[2].Lacing.back(), 255);
}

TEST(OggSave, RefusesFilesWithoutACommentHeaderAndKeepsThem)
{
    testing_support::TempDir dir;
    const Bytes junk = Cat({Page(1, 0, 2, {S("Speex   ")}), Page(1, 1, 0, {S("whatever")})});
    const QString file = WriteFile(dir, u"a.ogg"_s, junk);
    tags::TOpusTag tag;
    tag.AddTextFrame(u"A"_s, u"b"_s);
    EXPECT_EQ(tag.SaveToFile(file), tags::OPUSTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT);
    EXPECT_EQ(FileBytes(file), junk);
    EXPECT_EQ(tag.SaveToFile(dir.QFile(u"missing.ogg"_s)), 0);   // a new file gets the default first page
    tags::TOpusTag back;
    EXPECT_EQ(back.LoadFromFile(dir.QFile(u"missing.ogg"_s)), 0);
    EXPECT_EQ(back.ReadFrameByNameAsText(u"A"_s), u"b"_s);
}

TEST(OggSave, FailedReplacementLeavesTheFileAsItWas)
{
    testing_support::TempDir dir;
    const Bytes original = OpusFile({"TITLE=abc"});
    const QString file = WriteFile(dir, u"a.opus"_s, original);
    for (tags::TFileStep step : {tags::TFileStep::Create, tags::TFileStep::Write, tags::TFileStep::Rename}) {
        tags::TOpusTag tag;
        ASSERT_EQ(tag.LoadFromFile(file), 0);
        tag.SetTextFrameText(u"TITLE"_s, QString(5000, u'x'));
        TFaultGuard fault(step);
        EXPECT_NE(tag.SaveToFile(file), 0);
        EXPECT_EQ(FileBytes(file), original);
        EXPECT_EQ(FolderEntries(dir), QStringList{u"a.opus"_s});
    }
}

TEST(OggSave, StripKeepsOnlyTheEncoderAndClearsReadOnly)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.opus"_s, OpusFile({"ENCODER=enc", "TITLE=t", "encoder=lower"}));
    ASSERT_EQ(rtl::FileSetAttr(file, rtl::faReadOnly), 0);
    ASSERT_EQ(tags::StripOggTagsFromFile(file, 0), 0);
    tags::TOpusTag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    ASSERT_EQ(back.Count(), 2);   // names are upper-cased on loading, so both encoders stay
    EXPECT_EQ(back.Frames[0]->GetAsText(), u"enc"_s);
    EXPECT_EQ(rtl::FileGetAttr(file) & rtl::faReadOnly, 0);
    EXPECT_EQ(tags::StripOggTagsFromFile(dir.QFile(u"none.opus"_s), 0), tags::OPUSTAGLIBRARY_ERROR_OPENING_FILE);
    const QString mp3 = WriteFile(dir, u"a.mp3"_s, S("not an Ogg file"));
    EXPECT_EQ(tags::StripOggTagsFromFile(mp3, 0), tags::OPUSTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT);
    EXPECT_EQ(FileBytes(mp3), S("not an Ogg file"));
}

// ---------------------------------------------------------------------------------------------
// Real files

namespace {

const QString Python = u"/usr/bin/python3"_s;

testing_support::TRunResult RunPeer(const QString& Program, const QStringList& Args)
{
    auto r = testing_support::RunProgram(Program, Args);
    EXPECT_TRUE(r.Ok()) << Program.toStdString() << ": " << r.Describe() << r.Err.toStdString();
    return r;
}

// The peers' files, made once per test process.
struct TOggFixtures {
    testing_support::TempDir Dir;
    QString Wav, SmallVorbis, BigVorbis, Opus, Theora;

    TOggFixtures()
    {
        Wav = Dir.QFile(u"src.wav"_s);
        RunPeer(u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-f"_s, u"lavfi"_s, u"-i"_s, u"sine=frequency=440:duration=3"_s,
                          u"-ac"_s, u"2"_s, u"-ar"_s, u"44100"_s, Wav});
        SmallVorbis = Dir.QFile(u"small.ogg"_s);
        RunPeer(u"oggenc"_s, {u"-Q"_s, u"-t"_s, u"Old title"_s, u"-a"_s, u"Artist"_s, u"-o"_s, SmallVorbis, Wav});
        // A comment packet that ends near the end of a full page, so that the setup header starts on a page
        // that it does not end on.
        BigVorbis = Dir.QFile(u"big.ogg"_s);
        RunPeer(u"oggenc"_s, {u"-Q"_s, u"-c"_s, u"COMMENT="_s + QString(62000, u'k'), u"-t"_s, u"Big"_s, u"-o"_s, BigVorbis, Wav});
        Opus = Dir.QFile(u"a.opus"_s);
        RunPeer(u"opusenc"_s, {u"--quiet"_s, u"--title"_s, u"Opus title"_s, u"--artist"_s, u"A"_s, Wav, Opus});
        Theora = Dir.QFile(u"a.ogv"_s);
        RunPeer(u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-f"_s, u"lavfi"_s, u"-i"_s, u"testsrc=size=64x48:rate=10:duration=2"_s,
                          u"-f"_s, u"lavfi"_s, u"-i"_s, u"sine=duration=2"_s, u"-c:v"_s, u"libtheora"_s, u"-c:a"_s,
                          u"libvorbis"_s, u"-metadata"_s, u"title=Film"_s, Theora});
    }
};

const TOggFixtures& Fixtures()
{
    static TOggFixtures fixtures;
    return fixtures;
}

bool RequireOggPeers()
{
    for (const char* tool : {"ffmpeg", "oggenc", "vorbiscomment", "opusenc", "ogginfo", "opusinfo"})
        if (!testing_support::RequireTool(QString::fromLatin1(tool))) return false;
    return testing_support::RequireTool(Python, u"import mutagen"_s);
}

// Decoded audio, and the packets of every stream, as hashes.
QByteArray AudioMd5(const QString& File)
{
    return RunPeer(u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-i"_s, File, u"-map"_s, u"0:a"_s, u"-f"_s, u"md5"_s, u"-"_s}).Out;
}
QByteArray StreamHashes(const QString& File)
{
    return RunPeer(u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-i"_s, File, u"-map"_s, u"0"_s, u"-c"_s, u"copy"_s, u"-f"_s,
                             u"streamhash"_s, u"-"_s}).Out;
}

QJsonObject MutagenTags(const QString& File)
{
    const auto r = RunPeer(Python, {u"-c"_s, u"import json,sys,mutagen\nf=mutagen.File(sys.argv[1])\n"
                                         u"print(json.dumps({k.upper(): v for k, v in f.tags.as_dict().items()}))"_s, File});
    return QJsonDocument::fromJson(r.Out).object();
}

void ExpectOgginfoClean(const QString& File)
{
    const auto r = testing_support::RunProgram(u"ogginfo"_s, {File});
    EXPECT_EQ(r.ExitCode, 0) << r.Out.toStdString();
    const QByteArray all = r.Out + r.Err;
    EXPECT_FALSE(all.contains("rror") || all.contains("ARNING") || all.contains("equence")) << all.toStdString();
}

} // namespace

TEST(OggPeers, SavedCommentsAreReadByThePeersAndTheAudioStaysTheSame)
{
    if (!RequireOggPeers()) return;
    const TOggFixtures& f = Fixtures();
    testing_support::TempDir dir;
    for (const QString& source : {f.SmallVorbis, f.BigVorbis, f.Opus}) {
        SCOPED_TRACE(source.toStdString());
        const QString file = dir.QFile(QFileInfo(source).fileName());
        ASSERT_TRUE(QFile::copy(source, file));
        const QByteArray audio = AudioMd5(file);
        for (int size : {10, 4000, 70000, 3}) {
            tags::TOpusTag tag;
            ASSERT_EQ(tag.LoadFromFile(file), 0);
            tag.SetTextFrameText(u"TITLE"_s, u"Tïtle "_s + QString(size, u'x'));
            tag.SetTextFrameText(u"ARTIST"_s, u"Me"_s);
            ASSERT_EQ(tag.SaveToFile(file), 0);
            ExpectOgginfoClean(file);
            if (source == f.Opus) {
                EXPECT_TRUE(RunPeer(u"opusinfo"_s, {file}).Ok());
            } else {
                const QByteArray listed = RunPeer(u"vorbiscomment"_s, {u"-l"_s, file}).Out;
                EXPECT_TRUE(listed.contains("\nARTIST=Me\n")) << listed.left(200).toStdString();
            }
            const QJsonObject read = MutagenTags(file);
            EXPECT_EQ(read[u"TITLE"_s].toArray().at(0).toString(), u"Tïtle "_s + QString(size, u'x')) << size;
            EXPECT_EQ(read[u"ARTIST"_s].toArray().at(0).toString(), u"Me"_s);
            EXPECT_EQ(AudioMd5(file), audio) << size;
        }
    }
}

TEST(OggPeers, TheoraCommentsChangeAndEveryStreamStaysBitExact)
{
    if (!RequireOggPeers()) return;
    testing_support::TempDir dir;
    const QString file = dir.QFile(u"a.ogv"_s);
    ASSERT_TRUE(QFile::copy(Fixtures().Theora, file));
    const QByteArray packets = StreamHashes(file);
    for (int size : {20000, 5}) {
        tags::TOpusTag tag;
        ASSERT_EQ(tag.LoadFromFile(file), 0);
        EXPECT_EQ(tag.Format, tags::ofTheora);
        tag.SetTextFrameText(u"TITLE"_s, QString(size, u't'));
        ASSERT_EQ(tag.SaveToFile(file), 0);
        ExpectOgginfoClean(file);
        EXPECT_EQ(StreamHashes(file), packets);
        tags::TOpusTag back;
        ASSERT_EQ(back.LoadFromFile(file), 0);
        EXPECT_EQ(back.ReadFrameByNameAsText(u"TITLE"_s).size(), size);
    }
}

TEST(OggPeers, WeReadWhatThePeersWrote)
{
    if (!RequireOggPeers()) return;
    testing_support::TempDir dir;
    const QString file = dir.QFile(u"a.opus"_s);
    ASSERT_TRUE(QFile::copy(Fixtures().Opus, file));
    // mutagen adds a picture and a multi-line comment.
    RunPeer(Python, {u"-c"_s, u"import sys,base64\nfrom mutagen.oggopus import OggOpus\nfrom mutagen.flac import Picture\n"
                          u"f=OggOpus(sys.argv[1]); p=Picture(); p.type=3; p.mime='image/png'; p.desc='front';"
                          u"p.data=b'\\x89PNG\\r\\n\\x1a\\n'+bytes(100); p.width=4; p.height=5\n"
                          u"f['METADATA_BLOCK_PICTURE']=[base64.b64encode(p.write()).decode()]\n"
                          u"f['tracknumber']=['5/9']; f['description']=['line 1\\nline 2']; f.save()"_s, file});
    tags::TTags front;
    ASSERT_EQ(front.LoadFromFile(file), 0);
    EXPECT_EQ(front.GetTag(u"TITLE"_s), u"Opus title"_s);
    EXPECT_EQ(front.GetTag(u"TRACKNUMBER"_s), u"5"_s);
    EXPECT_EQ(front.GetTag(u"TOTALTRACKS"_s), u"9"_s);
    EXPECT_EQ(front.GetTag(u"DESCRIPTION"_s), u"line 1\nline 2"_s);
    ASSERT_EQ(front.CoverArtCount(), 1);
    const tags::TCoverArt& cover = *front.CoverArts[0];
    EXPECT_EQ(cover.Name, u"METADATA_BLOCK_PICTURE"_s);
    EXPECT_EQ(cover.PictureFormat, tags::tpfPNG);
    EXPECT_EQ(cover.Description, u"front"_s);
    EXPECT_EQ(cover.CoverType, 3u);
    EXPECT_EQ(cover.Width, 4u);
    EXPECT_EQ(cover.Stream->Size(), 108);

    // Written back by the front: the picture and the texts are what mutagen reads.
    front.SetTag(u"ALBUM"_s, u"Älbum"_s);
    ASSERT_EQ(front.SaveToFile(file, tags::ttOpusVorbis), 0);
    const QJsonObject read = MutagenTags(file);
    EXPECT_EQ(read[u"ALBUM"_s].toArray().at(0).toString(), u"Älbum"_s);
    EXPECT_EQ(read[u"TITLE"_s].toArray().at(0).toString(), u"Opus title"_s);
    const auto r = RunPeer(Python, {u"-c"_s, u"import sys,base64\nfrom mutagen.oggopus import OggOpus\nfrom mutagen.flac import Picture\n"
                                         u"p=Picture(base64.b64decode(OggOpus(sys.argv[1])['METADATA_BLOCK_PICTURE'][0]))\n"
                                         u"print(p.type, p.mime, p.desc, p.width, p.height, len(p.data))"_s, file});
    EXPECT_EQ(r.Out.trimmed(), QByteArray("3 image/png front 4 5 108"));

    // vorbiscomment replaces a Vorbis file's comments: we read what it wrote.
    const QString vorbis = dir.QFile(u"a.ogg"_s);
    ASSERT_TRUE(QFile::copy(Fixtures().SmallVorbis, vorbis));
    RunPeer(u"vorbiscomment"_s, {u"-w"_s, u"-t"_s, u"TITLE=From vorbiscomment"_s, u"-t"_s, u"genre=Ünï"_s, vorbis});
    tags::TOpusTag tag;
    ASSERT_EQ(tag.LoadFromFile(vorbis), 0);
    EXPECT_EQ(tag.Format, tags::ofVorbis);
    EXPECT_EQ(tag.Count(), 2);
    EXPECT_EQ(tag.ReadFrameByNameAsText(u"title"_s), u"From vorbiscomment"_s);
    EXPECT_EQ(tag.ReadFrameByNameAsText(u"GENRE"_s), u"Ünï"_s);
}
