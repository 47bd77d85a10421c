// tests/tags/TagFlacTest.cpp: FLAC metadata blocks built byte by byte (facts, comments, in place versus
// rewrite, padding, pictures, stripping, refusals), the front's FLAC converters, and files made and read
// by flac, metaflac and mutagen.
#include "tags/TagFlac.h"
#include "tags/SafeFile.h"
#include "tags/Tags.h"

#include "rtl/Classes.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"
#include "tests/tags/TagTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <optional>

#include <gtest/gtest.h>

using namespace tagtest;
using namespace Qt::Literals::StringLiterals;

namespace {

const Bytes Audio = S("\xFF\xF8 audio frames 0123456789");

Bytes BE24(uint32_t v) { return B({int(v >> 16) & 0xFF, int(v >> 8) & 0xFF, int(v) & 0xFF}); }

Bytes Block(int Type, const Bytes& Body, bool Last = false)
{
    return Cat({B({Type | (Last ? 0x80 : 0)}), BE24(uint32_t(Body.size())), Body});
}

// "fLaC" and STREAMINFO of the given facts (sample count up to 36 bits).
Bytes StreamInfo(uint32_t Rate, int Channels, int Bits, uint64_t Samples, bool Last = false)
{
    Bytes body = Cat({BE16(4096), BE16(4096), B({0, 0, 0}), B({0, 0, 0})});
    body.push_back(uint8_t(Rate >> 12));
    body.push_back(uint8_t(Rate >> 4));
    body.push_back(uint8_t((Rate & 0xF) << 4 | (Channels - 1) << 1 | (Bits - 1) >> 4));
    body.push_back(uint8_t(((Bits - 1) & 0xF) << 4 | int(Samples >> 32)));
    body = Cat({body, BE32(uint32_t(Samples)), Bytes(16, 0xAB)});
    return Cat({S("fLaC"), Block(0, body, Last)});
}

Bytes Comments(const std::string& Vendor, const std::vector<std::string>& Items)
{
    Bytes body = Cat({LE32(uint32_t(Vendor.size())), S(Vendor), LE32(uint32_t(Items.size()))});
    for (const auto& i : Items) body = Cat({body, LE32(uint32_t(i.size())), S(i)});
    return body;
}

Bytes Picture(int Type, const std::string& Mime, const std::string& Description, const Bytes& Data)
{
    return Cat({BE32(uint32_t(Type)), BE32(uint32_t(Mime.size())), S(Mime), BE32(uint32_t(Description.size())),
                S(Description), BE32(16), BE32(8), BE32(24), BE32(0), BE32(uint32_t(Data.size())), Data});
}

const Bytes Png = Cat({S("\x89PNG\r\n\x1A\n"), Bytes(20, 7)});

// The blocks of a file after STREAMINFO: type, last flag and body length; and where the audio starts.
struct TBlockInfo {
    int Type;
    bool Last;
    uint32_t Length;
    bool operator==(const TBlockInfo&) const = default;
};

std::vector<TBlockInfo> Walk(const Bytes& File, size_t Start = 0, size_t* AudioAt = nullptr)
{
    std::vector<TBlockInfo> blocks;
    size_t at = Start + 4;
    for (bool last = false; !last && at + 4 <= File.size();) {
        const uint32_t length = uint32_t(File[at + 1]) << 16 | uint32_t(File[at + 2]) << 8 | File[at + 3];
        last = File[at] & 0x80;
        blocks.push_back({File[at] & 0x7F, last, length});
        at += 4 + length;
    }
    if (AudioAt) *AudioAt = at;
    if (!blocks.empty()) blocks.erase(blocks.begin());   // STREAMINFO
    return blocks;
}

Bytes Tail(const Bytes& File, size_t Count) { return Bytes(File.end() - ptrdiff_t(Count), File.end()); }

} // namespace

// ---------------------------------------------------------------------------------------------
// Reading

TEST(FlacRead, FactsCommentsAndBitrate)
{
    testing_support::TempDir dir;
    // 10 seconds at 44.1 kHz over 1,000,000 bytes of audio: 800 kbit/s.
    const Bytes audio(1000000, 0x55);
    const QString file = WriteFile(dir, u"a.flac"_s,
        Cat({StreamInfo(44100, 2, 24, 441000),
             Block(4, Comments("ref", {"artist=A", "Title=Zo\xC3\xAB", "novalue", "=empty name", "a=b=c"})),
             Block(1, Bytes(10, 0), true), audio}));
    tags::TFlacTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    EXPECT_TRUE(tag.Loaded);
    EXPECT_TRUE(tag.GetValid());
    EXPECT_EQ(tag.FSampleRate, 44100u);
    EXPECT_EQ(tag.FChannels, 2);
    EXPECT_EQ(tag.FBitsPerSample, 24);
    EXPECT_EQ(tag.FSamples, 441000);
    EXPECT_DOUBLE_EQ(tag.GetPlaytime(), 10.0);
    EXPECT_EQ(tag.FBitrate, 800u);
    EXPECT_EQ(tag.GetChannelMode(), u"Stereo"_s);
    EXPECT_EQ(tag.VendorString, u"ref"_s);
    std::vector<std::pair<QString, QString>> got;
    for (const auto& c : tag.Tags) got.emplace_back(c->Name, c->GetAsText());
    const std::vector<std::pair<QString, QString>> expected = {
        {u"ARTIST"_s, u"A"_s}, {u"TITLE"_s, u"Zoë"_s}, {u""_s, u"empty name"_s}, {u"A"_s, u"b=c"_s}};
    EXPECT_EQ(got, expected);
    EXPECT_EQ(tag.FAudioSize, int64_t(audio.size()));
}

TEST(FlacRead, SampleCountUsesAll36Bits)
{
    testing_support::TempDir dir;
    const uint64_t samples = (uint64_t(3) << 32) + 5;
    const QString file = WriteFile(dir, u"long.flac"_s, Cat({StreamInfo(48000, 1, 16, samples, true), Audio}));
    tags::TFlacTag tag;
    EXPECT_EQ(tag.LoadFromFile(file), tags::FLACLIBRARY_ERROR_NO_TAG_FOUND);   // STREAMINFO is the only block
    EXPECT_FALSE(tag.Loaded);
    EXPECT_EQ(tag.FSamples, int64_t(samples));
    EXPECT_EQ(tag.GetChannelMode(), u"Mono"_s);
}

TEST(FlacRead, DamagedAndForeignInputIsRefusedWithoutReadingPastTheEnd)
{
    const Bytes head = StreamInfo(44100, 2, 16, 1000);
    struct TCase {
        const char* Name;
        Bytes File;
        int Result;
    } cases[] = {
        {"not FLAC", S("OggS and more bytes than forty-two of them, surely"), tags::FLACLIBRARY_ERROR_NOT_SUPPORTED_FORMAT},
        {"block past the end", Cat({head, B({0x84, 0x7F, 0xFF, 0xFF}), Bytes(10, 0)}), tags::FLACLIBRARY_ERROR},
        {"no last block", Cat({head, Block(2, S("APPLdata"))}), tags::FLACLIBRARY_ERROR},
        {"vendor length past the block", Cat({head, Block(4, Cat({LE32(1000), S("v")}), true)}), tags::FLACLIBRARY_ERROR},
        {"comment count past the block", Cat({head, Block(4, Cat({LE32(1), S("v"), LE32(0x7FFFFFFF), LE32(3), S("a=b")}), true)}),
         tags::FLACLIBRARY_ERROR},
        {"two comment blocks", Cat({head, Block(4, Comments("v", {"A=1"})), Block(4, Comments("w", {"B=2"}), true), Audio}),
         tags::FLACLIBRARY_SUCCESS},
        {"picture lengths past the block", Cat({head, Block(6, Cat({BE32(3), BE32(0xFFFFFFF0u)}), true), Audio}),
         tags::FLACLIBRARY_SUCCESS},
    };
    testing_support::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        tags::TFlacTag tag;
        EXPECT_EQ(tag.LoadFromFile(WriteFile(dir, u"d.flac"_s, c.File)), c.Result);
        tags::TFlacTagCoverArtInfo info;
        rtl::TMemoryStream picture;
        for (int i = 0; i < tag.CoverArtCount(); ++i) EXPECT_FALSE(tag.GetCoverArt(i, picture, info));
        if (c.Result != tags::FLACLIBRARY_SUCCESS) continue;
        if (std::string(c.Name) == "two comment blocks") { EXPECT_EQ(tag.Count(), 2); }
        // Whatever was read is written back as one comment block that reads the same.
        tag.PaddingSizeToWrite = 0;
        rtl::TMemoryStream stream;
        Fill(stream, c.File);
        const int count = tag.Count();
        ASSERT_EQ(tag.SaveToStream(stream), 0);
        tags::TFlacTag back;
        ASSERT_EQ(back.LoadFromStream(stream), 0);
        EXPECT_EQ(back.Count(), count);
    }
}

// ---------------------------------------------------------------------------------------------
// Writing

TEST(FlacWrite, InPlaceUntilThePaddingIsUsedUpThenRewritten)
{
    struct TCase {
        int Grow;
        bool InPlace;
    } cases[] = {{100, true}, {4095, true}, {4096, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Grow);
        testing_support::TempDir dir;
        const Bytes original = Cat({StreamInfo(44100, 2, 16, 1000), Block(4, Comments("v", {"A=1"})),
                                    Block(1, Bytes(4096, 0), true), Audio});
        const QString file = WriteFile(dir, u"a.flac"_s, original);
        tags::TFlacTag tag;
        ASSERT_EQ(tag.LoadFromFile(file), 0);
        // "B=" and its 4-byte length take 6 bytes.
        tag.AddTag(u"B"_s)->SetAsText(QString(c.Grow - 6, u'x'));
        ASSERT_EQ(tag.SaveToFile(file), 0);
        const Bytes now = FileBytes(file);
        size_t audioAt = 0;
        const auto blocks = Walk(now, 0, &audioAt);
        ASSERT_EQ(blocks.size(), 2u);
        EXPECT_EQ(blocks[0], (TBlockInfo{4, false, uint32_t(Comments("v", {"A=1"}).size() + c.Grow)}));
        if (c.InPlace) {
            EXPECT_EQ(now.size(), original.size());
            EXPECT_EQ(blocks[1], (TBlockInfo{1, true, uint32_t(4096 - c.Grow)}));
        } else {
            EXPECT_EQ(blocks[1], (TBlockInfo{1, true, 4092}));   // the unit's padding for a rewrite
        }
        EXPECT_EQ(Bytes(now.begin() + ptrdiff_t(audioAt), now.end()), Audio);
        tags::TFlacTag back;
        ASSERT_EQ(back.LoadFromFile(file), 0);
        ASSERT_EQ(back.Count(), 2);
        EXPECT_EQ(back.Tags[1]->GetAsText().size(), c.Grow - 6);
    }
}

TEST(FlacWrite, KeptBlocksMoveBeforeTheCommentsAndPaddingsMerge)
{
    const Bytes seek = Bytes(18, 0x33);
    const Bytes app = S("APPLsome data");
    struct TCase {
        const char* Name;
        Bytes Blocks;
        std::vector<TBlockInfo> Expected;
    } cases[] = {
        {"seek table between comments and padding",
         Cat({Block(4, Comments("v", {"A=1"})), Block(3, seek), Block(1, Bytes(100, 0), true)}),
         {{3, false, 18}, {4, false, 23}, {1, true, 100 - 7}}},
        {"two paddings",
         Cat({Block(4, Comments("v", {"A=1"})), Block(1, Bytes(50, 0)), Block(2, app), Block(1, Bytes(30, 0), true)}),
         {{2, false, uint32_t(app.size())}, {4, false, 23}, {1, true, 50 + 30 + 4 - 7}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        testing_support::TempDir dir;
        const Bytes original = Cat({StreamInfo(44100, 2, 16, 1000), c.Blocks, Audio});
        const QString file = WriteFile(dir, u"a.flac"_s, original);
        tags::TFlacTag tag;
        ASSERT_EQ(tag.LoadFromFile(file), 0);
        tag.AddTag(u"b"_s)->SetAsText(u"2"_s);   // 7 more bytes
        ASSERT_EQ(tag.SaveToFile(file), 0);
        const Bytes now = FileBytes(file);
        EXPECT_EQ(now.size(), original.size());
        size_t audioAt = 0;
        EXPECT_EQ(Walk(now, 0, &audioAt), c.Expected);
        EXPECT_EQ(Tail(now, Audio.size()), Audio);
        EXPECT_EQ(now[4] & 0x80, 0);   // STREAMINFO is not the last block
        // Where the moved blocks stood is padding now, and nothing of them is left in it.
        const size_t padding = c.Expected.back().Length;
        EXPECT_EQ(Bytes(now.begin() + ptrdiff_t(audioAt - padding), now.begin() + ptrdiff_t(audioAt)), Bytes(padding, 0));
    }
}

TEST(FlacWrite, AlwaysRewrittenWithoutCommentsOrPaddingAndAfterAPictureChange)
{
    struct TCase {
        const char* Name;
        Bytes Blocks;
        bool AddPicture;
    } cases[] = {
        {"padding without comments", Block(1, Bytes(400, 0), true), false},
        {"comments without padding", Block(4, Comments("v", {"A=1"}), true), false},
        {"a picture added", Cat({Block(4, Comments("v", {"A=1"})), Block(1, Bytes(4000, 0), true)}), true},
        {"only STREAMINFO", Bytes(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        testing_support::TempDir dir;
        Bytes head = StreamInfo(44100, 2, 16, 1000, c.Blocks.empty());
        const QString file = WriteFile(dir, u"a.flac"_s, Cat({head, c.Blocks, Audio}));
        tags::TFlacTag tag;
        tag.LoadFromFile(file);
        tag.PaddingSizeToWrite = 64;
        tag.AddTag(u"T"_s)->SetAsText(u"x"_s);
        std::vector<TBlockInfo> expected;
        if (c.AddPicture) {
            rtl::TMemoryStream png;
            png.WriteBuffer(Png.data(), int64_t(Png.size()));
            tags::TFlacTagCoverArtInfo info;
            info.PictureType = 4;
            info.MIMEType = u"image/png"_s;
            info.Description = u"Rück"_s;
            ASSERT_TRUE(tag.SetCoverArt(tag.AddMetaDataCoverArt(nullptr, 0), png, info));
            expected.push_back({6, false, uint32_t(Picture(4, "image/png", "R\xC3\xBC" "ck", Png).size())});
        }
        ASSERT_EQ(tag.SaveToFile(file), 0);
        const Bytes now = FileBytes(file);
        const uint32_t commentLength = uint32_t(tag.CalculateVorbisCommentsSize());
        expected.push_back({4, false, commentLength});
        expected.push_back({1, true, 64});
        EXPECT_EQ(Walk(now), expected);
        EXPECT_EQ(Tail(now, Audio.size()), Audio);

        tags::TFlacTag back;
        ASSERT_EQ(back.LoadFromFile(file), 0);
        EXPECT_EQ(back.Tags.back()->Name, u"T"_s);
        EXPECT_EQ(back.CoverArtCount(), c.AddPicture ? 1 : 0);
        if (c.AddPicture) {
            rtl::TMemoryStream picture;
            tags::TFlacTagCoverArtInfo info;
            ASSERT_TRUE(back.GetCoverArt(0, picture, info));
            EXPECT_EQ(Contents(picture), Png);
            EXPECT_EQ(info.PictureType, 4u);
            EXPECT_EQ(info.MIMEType, u"image/png"_s);
            EXPECT_EQ(info.Description, u"Rück"_s);
            EXPECT_EQ(info.Width, 0u);
        }
    }
}

TEST(FlacWrite, LeadingID3v2TagAndForeignBlocksSurviveARewrite)
{
    testing_support::TempDir dir;
    const Bytes id3 = Tag(3, 0, Frame3("TIT2", Cat({B({0}), S("id3 title")})), 20);
    const Bytes app = S("APPLxyz");
    const QString file = WriteFile(dir, u"a.flac"_s,
        Cat({id3, StreamInfo(44100, 2, 16, 1000), Block(2, app), Block(4, Comments("v", {})), Block(1, Bytes(8, 0), true), Audio}));
    tags::TFlacTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    tag.AddTag(u"TITLE"_s)->SetAsText(QString(50, u'a'));
    ASSERT_EQ(tag.SaveToFile(file), 0);
    const Bytes now = FileBytes(file);
    EXPECT_EQ(Bytes(now.begin(), now.begin() + ptrdiff_t(id3.size())), id3);
    const auto blocks = Walk(now, id3.size());
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0], (TBlockInfo{2, false, uint32_t(app.size())}));
    EXPECT_EQ(Tail(now, Audio.size()), Audio);
}

TEST(FlacWrite, StripKeepsForeignBlocksAndVendorAndDropsPictures)
{
    testing_support::TempDir dir;
    const Bytes app = S("APPLxyz");
    const QString file = WriteFile(dir, u"a.flac"_s,
        Cat({StreamInfo(44100, 2, 16, 1000), Block(6, Picture(3, "image/png", "", Png)), Block(2, app),
             Block(4, Comments("their vendor", {"A=1", "B=2"})), Block(1, Bytes(8, 0)), Block(1, Bytes(9, 0), true), Audio}));
    ASSERT_EQ(tags::StripFlacTagsFromFile(file, 100), 0);
    const Bytes now = FileBytes(file);
    const std::vector<TBlockInfo> expected = {
        {2, false, uint32_t(app.size())}, {4, false, uint32_t(Comments("their vendor", {}).size())}, {1, true, 100}};
    EXPECT_EQ(Walk(now), expected);
    tags::TFlacTag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    EXPECT_EQ(back.VendorString, u"their vendor"_s);
    EXPECT_EQ(back.Count(), 0);
    EXPECT_EQ(back.CoverArtCount(), 0);
    EXPECT_EQ(Tail(now, Audio.size()), Audio);
}

TEST(FlacWrite, CommentNamesAndValuesAsWritten)
{
    rtl::TMemoryStream stream;
    Fill(stream, Cat({StreamInfo(44100, 2, 16, 1000), Block(1, Bytes(300, 0), true), Audio}));
    tags::TFlacTag tag;
    tag.AddTag(u"Album"_s)->SetAsText(u"a\tb\r\nc"_s);
    tag.AddTag(u"gone"_s)->SetAsText(u"x"_s);
    ASSERT_TRUE(tag.Tags[1]->SetAsText(QString()));   // an empty text deletes the comment
    tag.AddTag(u"binary"_s)->Format = tags::vcfBinary;
    tag.UpperCaseFieldNamesToWrite = false;
    ASSERT_EQ(tag.SaveToStream(stream), 0);
    const Bytes now = Contents(stream);
    const Bytes body = Comments(tags::FlacDefaultVendor, {"Album=a b\r\nc"});
    EXPECT_EQ(Bytes(now.begin() + 42, now.begin() + 46 + ptrdiff_t(body.size())), Block(4, body));
    EXPECT_EQ(Tail(now, Audio.size()), Audio);
}

TEST(FlacWrite, RefusalsLeaveTheFileAsItWas)
{
    const Bytes plain = Cat({StreamInfo(44100, 2, 16, 1000), Block(4, Comments("v", {"A=1"})), Block(1, Bytes(10, 0), true), Audio});
    const Bytes reserved = Cat({StreamInfo(44100, 2, 16, 1000), Block(9, S("future")), Block(1, Bytes(10, 0), true), Audio});
    struct TCase {
        const char* Name;
        Bytes File;
        std::function<void(tags::TFlacTag&)> Change;
        std::optional<tags::TFileStep> Failing;   // the refusals come before any file step
        int Result;
    } cases[] = {
        {"comment block past 16 MiB", plain,
         [](tags::TFlacTag& T) { T.AddTag(u"BIG"_s)->SetAsText(QString(1 << 24, u'x')); }, std::nullopt,
         tags::FLACLIBRARY_ERROR},
        {"picture block past 16 MiB", plain,
         [](tags::TFlacTag& T) {
             rtl::TMemoryStream big;
             big.SetSize(1 << 24);
             tags::TFlacTagCoverArtInfo info;
             info.MIMEType = u"image/png"_s;
             T.SetCoverArt(T.AddMetaDataCoverArt(nullptr, 0), big, info);
         },
         std::nullopt, tags::FLACLIBRARY_ERROR},
        {"a reserved block leaves the audio's start unknown", reserved,
         [](tags::TFlacTag& T) { T.AddTag(u"A"_s)->SetAsText(u"b"_s); }, std::nullopt, tags::FLACLIBRARY_ERROR},
        {"the new file cannot be renamed", plain,
         [](tags::TFlacTag& T) { T.ForceReWrite = true; }, tags::TFileStep::Rename, tags::FLACLIBRARY_ERROR_WRITING_FILE},
        {"the new file cannot be created", plain,
         [](tags::TFlacTag& T) { T.ForceReWrite = true; }, tags::TFileStep::Create, tags::FLACLIBRARY_ERROR_WRITING_FILE},
        {"a write fails", plain,
         [](tags::TFlacTag& T) { T.ForceReWrite = true; }, tags::TFileStep::Write, tags::FLACLIBRARY_ERROR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        testing_support::TempDir dir;
        const QString file = WriteFile(dir, u"a.flac"_s, c.File);
        tags::TFlacTag tag;
        tag.LoadFromFile(file);
        c.Change(tag);
        {
            std::optional<TFaultGuard> fault;
            if (c.Failing) fault.emplace(*c.Failing);
            EXPECT_EQ(tag.SaveToFile(file), c.Result);
        }
        EXPECT_FALSE(tag.FExists);
        EXPECT_EQ(FileBytes(file), c.File);
        EXPECT_EQ(QDir(dir.QPath()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

TEST(FlacWrite, AReadOnlyFileIsMadeWritable)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"r.flac"_s,
        Cat({StreamInfo(44100, 2, 16, 1000), Block(4, Comments("v", {})), Block(1, Bytes(100, 0), true), Audio}));
    QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup);
    tags::TFlacTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    tag.AddTag(u"A"_s)->SetAsText(u"b"_s);
    ASSERT_EQ(tag.SaveToFile(file), 0);
    EXPECT_TRUE(QFile::permissions(file) & QFile::WriteOwner);
}

TEST(FlacWrite, ACommentBlockShrunkInPlaceLeavesNoTextBehind)
{
    testing_support::TempDir dir;
    const Bytes original = Cat({StreamInfo(44100, 2, 16, 1000), Block(4, Comments("v", {"A=1", "SECRET=hidden words"})),
                                Block(1, Bytes(100, 0), true), Audio});
    const QString file = WriteFile(dir, u"a.flac"_s, original);
    tags::TFlacTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    ASSERT_TRUE(tag.DeleteFrame(1));
    ASSERT_EQ(tag.SaveToFile(file), 0);
    const Bytes now = FileBytes(file);
    ASSERT_EQ(now.size(), original.size());
    const auto blocks = Walk(now);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[1], (TBlockInfo{1, true, uint32_t(100 + 4 + 19)}));
    const size_t paddingAt = 42 + 4 + blocks[0].Length + 4;
    EXPECT_EQ(Bytes(now.begin() + ptrdiff_t(paddingAt), now.end() - ptrdiff_t(Audio.size())), Bytes(123, 0));
    EXPECT_EQ(Tail(now, Audio.size()), Audio);
}

// A save places what it writes by the file as it is when saving, not as it was loaded; a file another
// handle keeps from writing is refused and left as it was.
TEST(FlacWrite, ASaveGoesByTheFileAsItIsNow)
{
    const Bytes loaded = Cat({StreamInfo(44100, 2, 16, 1000), Block(4, Comments("v", {"A=1"})), Block(1, Bytes(500, 0), true), Audio});
    const Bytes changed = Cat({StreamInfo(44100, 2, 16, 1000), Block(2, S("appXkept bytes")),
                               Block(4, Comments("v", {"A=1", "C=3"})), Block(1, Bytes(300, 0), true), Audio});
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.flac"_s, loaded);
    tags::TFlacTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    tag.AddTag(u"B"_s)->SetAsText(u"2"_s);

    WriteFile(dir, u"a.flac"_s, changed);
    ASSERT_EQ(tag.SaveToFile(file), 0);
    Bytes now = FileBytes(file);
    ASSERT_EQ(now.size(), changed.size());
    const auto blocks = Walk(now);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0], (TBlockInfo{2, false, 14}));
    EXPECT_EQ(Bytes(now.begin() + 46, now.begin() + 60), S("appXkept bytes"));
    EXPECT_EQ(blocks[1], (TBlockInfo{4, false, uint32_t(Comments("v", {"A=1", "B=2"}).size())}));
    EXPECT_EQ(Tail(now, Audio.size()), Audio);
    tags::TFlacTag back;   // unbuffered: every seek of the walk reaches the file's view
    ASSERT_EQ(back.LoadFromFile(file, false), 0);
    EXPECT_EQ(back.FAudioOffset, int64_t(now.size() - Audio.size()));
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Tags[1]->GetAsText(), u"2"_s);

    rtl::TFileStream reader(file, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    tag.AddTag(u"D"_s)->SetAsText(u"4"_s);
    EXPECT_EQ(tag.SaveToFile(file), tags::FLACLIBRARY_ERROR_OPENING_FILE);
    EXPECT_EQ(FileBytes(file), now);
}

// ---------------------------------------------------------------------------------------------
// The front's converters

TEST(FlacFront, LoadKeepsSpellingsSplitsTrackAndTakesPictures)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.flac"_s,
        Cat({StreamInfo(44100, 2, 16, 1000), Block(6, Picture(4, "image/png", "back", Png)),
             Block(6, Picture(3, "image/jpeg", "front", S("\xFF\xD8\xFFjpeg"))),
             Block(4, Comments("v", {"ARTIST=One", "artist=Two", "TRACKNUMBER=5/9", "DISCNUMBER=1/2"})),
             Block(1, Bytes(8, 0), true), Audio}));
    tags::TTags tags;
    tags.Add(u"TOTALTRACKS"_s)->Value = u"12"_s;
    tags.AddCoverArt(u"old"_s);
    tags.FlacTag->LoadFromFile(file);
    tags.LoadFlacTags();
    std::vector<std::pair<QString, QString>> got;
    for (const auto& t : tags.Tags) got.emplace_back(t->Name, t->Value);
    const std::vector<std::pair<QString, QString>> expected = {{u"ARTIST"_s, u"One"_s}, {u"ARTIST"_s, u"Two"_s},
        {u"TRACKNUMBER"_s, u"5"_s}, {u"TOTALTRACKS"_s, u"9"_s}, {u"DISCNUMBER"_s, u"1/2"_s}};
    EXPECT_EQ(got, expected);
    ASSERT_EQ(tags.CoverArtCount(), 2);
    const tags::TCoverArt& back = *tags.CoverArts[0];
    EXPECT_EQ(back.Name, u"Cover art 1"_s);
    EXPECT_EQ(back.CoverType, 4u);
    EXPECT_EQ(back.MIMEType, u"image/png"_s);
    EXPECT_EQ(back.Description, u"back"_s);
    EXPECT_EQ(back.PictureFormat, tags::tpfPNG);
    EXPECT_EQ(back.Width, 16u);
    EXPECT_EQ(back.ColorDepth, 24u);
    EXPECT_EQ(tags.CoverArts[1]->PictureFormat, tags::tpfJPEG);
}

TEST(FlacFront, SaveReplacesMatchingCommentsKeepsOthersAndWritesCovers)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.flac"_s,
        Cat({StreamInfo(44100, 2, 16, 1000), Block(4, Comments("v", {"ARTIST=C", "GENRE=X"})), Block(1, Bytes(8, 0), true), Audio}));
    tags::TTags tags;
    tags.FlacTag->LoadFromFile(file);
    tags.Add(u"Artist"_s)->Value = u"A"_s;
    tags.Add(u"ARTIST"_s)->Value = u"B"_s;
    tags.Add(u"TIPL"_s)->Value = u"producer=P\r\nmixer=M"_s;
    tags::TCoverArt* cover = tags.AddCoverArt(u"c"_s);
    cover->Stream->WriteBuffer(Png.data(), int64_t(Png.size()));
    cover->CoverType = 4;
    cover->MIMEType = u"image/png"_s;
    cover->Description = u"d"_s;
    ASSERT_EQ(tags.SaveFlacTag(file), 0);

    tags::TFlacTag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    std::vector<std::pair<QString, QString>> got;
    for (const auto& c : back.Tags) got.emplace_back(c->Name, c->GetAsText());
    const std::vector<std::pair<QString, QString>> expected = {
        {u"GENRE"_s, u"X"_s}, {u"ARTIST"_s, u"A"_s}, {u"ARTIST"_s, u"B"_s}, {u"TIPL"_s, u"producer\r\nP\r\nmixer\r\nM\r\n"_s}};
    EXPECT_EQ(got, expected);
    rtl::TStringList list;
    EXPECT_TRUE(back.Tags[3]->GetAsList(list));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[1], u"mixer=M"_s);
    ASSERT_EQ(back.CoverArtCount(), 1);
    rtl::TMemoryStream picture;
    tags::TFlacTagCoverArtInfo info;
    ASSERT_TRUE(back.GetCoverArt(0, picture, info));
    EXPECT_EQ(info.PictureType, 4u);
    EXPECT_EQ(info.MIMEType, u"image/png"_s);
    EXPECT_EQ(Contents(picture), Png);
}

TEST(FlacFront, ATrackCommentIsReplacedByTheEditedNumber)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.flac"_s,
        Cat({StreamInfo(44100, 2, 16, 1000), Block(4, Comments("v", {"TRACK=3/12", "TITLE=T"})), Block(1, Bytes(64, 0), true), Audio}));
    const qint64 size = QFileInfo(file).size();
    for (int save = 0; save < 3; ++save) {
        tags::TTags tags;
        ASSERT_EQ(tags.LoadFromFile(file), 0);
        if (save == 2) tags.SetTag(u"TRACKNUMBER"_s, u"5"_s);
        ASSERT_EQ(tags.SaveFlacTag(file), 0);
        EXPECT_EQ(QFileInfo(file).size(), size);
    }
    tags::TFlacTag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    std::vector<std::pair<QString, QString>> got;
    for (const auto& c : back.Tags) got.emplace_back(c->Name, c->GetAsText());
    const std::vector<std::pair<QString, QString>> expected = {
        {u"TRACKNUMBER"_s, u"5"_s}, {u"TOTALTRACKS"_s, u"12"_s}, {u"TITLE"_s, u"T"_s}};
    EXPECT_EQ(got, expected);
}

// ---------------------------------------------------------------------------------------------
// Peers

namespace {

// A second of a tone encoded by flac, with tags and a picture set by metaflac; empty when a peer is missing.
QString PeerFlac(const testing_support::TempDir& Dir, const QString& Name, const QStringList& MetaflacArgs)
{
    if (!testing_support::RequireTool(u"flac"_s) || !testing_support::RequireTool(u"metaflac"_s) ||
        !testing_support::RequireTool(u"ffmpeg"_s))
        return {};
    const QString wav = Dir.QFile(Name + u".wav"_s);
    const QString flac = Dir.QFile(Name);
    auto run = testing_support::RunProgram(u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-f"_s, u"lavfi"_s, u"-i"_s,
        u"sine=frequency=440:duration=1"_s, u"-ac"_s, u"2"_s, u"-y"_s, wav});
    EXPECT_TRUE(run.Ok()) << run.Describe();
    run = testing_support::RunProgram(u"flac"_s, {u"-s"_s, u"-f"_s, u"-o"_s, flac, wav});
    EXPECT_TRUE(run.Ok()) << run.Describe();
    if (!MetaflacArgs.isEmpty()) {
        run = testing_support::RunProgram(u"metaflac"_s, MetaflacArgs + QStringList{flac});
        EXPECT_TRUE(run.Ok()) << run.Describe();
    }
    return flac;
}

} // namespace

TEST(FlacPeer, MetaflacAndMutagenReadOursAndWeReadTheirs)
{
    testing_support::TempDir dir;
    const QString png = WriteFile(dir, u"cover.png"_s, Png);
    const QString file = PeerFlac(dir, u"a.flac"_s, {u"--set-tag=ARTIST=Peer Ärtist"_s, u"--set-tag=title=T"_s,
                                                     u"--import-picture-from=3|image/png|desc|16x8x24|"_s + png});
    if (file.isEmpty()) return;
    const QByteArray md5 = DecodedAudioMd5(file);

    tags::TFlacTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    EXPECT_TRUE(tag.GetValid());
    EXPECT_EQ(tag.FSamples, 44100);
    EXPECT_EQ(tag.FChannels, 2);
    ASSERT_EQ(tag.Count(), 2);
    EXPECT_EQ(tag.Tags[0]->GetAsText(), u"Peer Ärtist"_s);
    EXPECT_EQ(tag.Tags[1]->Name, u"TITLE"_s);
    rtl::TMemoryStream picture;
    tags::TFlacTagCoverArtInfo info;
    ASSERT_TRUE(tag.GetCoverArt(0, picture, info));
    EXPECT_EQ(Contents(picture), Png);
    EXPECT_EQ(info.Width, 16u);

    // flac's own test of the whole stream, and the decoded audio as before.
    auto checkAudio = [&] {
        const auto test = testing_support::RunProgram(u"flac"_s, {u"-t"_s, u"-s"_s, file});
        EXPECT_TRUE(test.Ok()) << test.Describe();
        EXPECT_EQ(DecodedAudioMd5(file), md5);
    };

    // In place (metaflac leaves padding) and then a rewrite with a second picture.
    tag.AddTag(u"ALBUM"_s)->SetAsText(u"Ours ✓"_s);
    const qint64 size = QFileInfo(file).size();
    ASSERT_EQ(tag.SaveToFile(file), 0);
    EXPECT_EQ(QFileInfo(file).size(), size);
    checkAudio();
    rtl::TMemoryStream jpeg;
    jpeg.WriteBuffer("\xFF\xD8\xFF\xE0jpeg", 8);
    tags::TFlacTagCoverArtInfo jpegInfo;
    jpegInfo.PictureType = 4;
    jpegInfo.MIMEType = u"image/jpeg"_s;
    ASSERT_TRUE(tag.SetCoverArt(tag.AddMetaDataCoverArt(nullptr, 0), jpeg, jpegInfo));
    ASSERT_EQ(tag.SaveToFile(file), 0);

    auto run = testing_support::RunProgram(u"metaflac"_s, {u"--export-tags-to=-"_s, file});
    ASSERT_TRUE(run.Ok()) << run.Describe();
    EXPECT_EQ(QString::fromUtf8(run.Out), u"ARTIST=Peer Ärtist\nTITLE=T\nALBUM=Ours ✓\n"_s);
    run = testing_support::RunProgram(u"metaflac"_s, {u"--list"_s, u"--block-type=PICTURE"_s, file});
    ASSERT_TRUE(run.Ok()) << run.Describe();
    EXPECT_EQ(run.Out.count("type: 6 (PICTURE)"), 2);
    EXPECT_TRUE(run.Out.contains("MIME type: image/jpeg"));
    checkAudio();

    if (testing_support::RequireTool(u"/usr/bin/python3"_s, u"import mutagen.flac"_s)) {
        run = testing_support::RunProgram(u"/usr/bin/python3"_s, {u"-c"_s,
            u"import sys, mutagen.flac as f; x = f.FLAC(sys.argv[1]); "
            "print(x['album'][0], len(x.pictures), x.pictures[1].mime, x.info.total_samples)"_s, file});
        ASSERT_TRUE(run.Ok()) << run.Describe();
        EXPECT_EQ(QString::fromUtf8(run.Out.trimmed()), u"Ours ✓ 2 image/jpeg 44100"_s);
    }

    ASSERT_EQ(tags::StripFlacTagsFromFile(file, 0), 0);
    run = testing_support::RunProgram(u"metaflac"_s, {u"--export-tags-to=-"_s, file});
    EXPECT_TRUE(run.Ok() && run.Out.isEmpty()) << run.Describe() << run.Out.toStdString();
    checkAudio();
}

TEST(FlacPeer, LeadingID3v2TagIsKeptAndFlacStillDecodes)
{
    testing_support::TempDir dir;
    const QString file = PeerFlac(dir, u"b.flac"_s, {u"--remove-all-tags"_s});
    if (file.isEmpty()) return;
    const QByteArray md5 = DecodedAudioMd5(file);
    const Bytes id3 = Tag(4, 0, Frame4("TIT2", Cat({B({3}), S("v2")})), 16);
    WriteFile(dir, u"b.flac"_s, Cat({id3, FileBytes(file)}));
    tags::TFlacTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    tag.ForceReWrite = true;
    tag.AddTag(u"GENRE"_s)->SetAsText(u"Test"_s);
    ASSERT_EQ(tag.SaveToFile(file), 0);
    const Bytes now = FileBytes(file);
    EXPECT_EQ(Bytes(now.begin(), now.begin() + ptrdiff_t(id3.size())), id3);
    EXPECT_EQ(DecodedAudioMd5(file), md5);
    const auto test = testing_support::RunProgram(u"flac"_s, {u"-t"_s, u"-s"_s, file});
    EXPECT_TRUE(test.Ok()) << test.Describe();
}
