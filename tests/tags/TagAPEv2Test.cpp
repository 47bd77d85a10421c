// tests/tags/TagAPEv2Test.cpp: APEv2 tags in files with and without a trailing ID3v1 block; the front's
// APEv2 converters; mutagen reading what we write and we reading what it writes.
#include "tags/TagAPEv2.h"
#include "tags/SafeFile.h"
#include "tags/Tags.h"

#include "rtl/Classes.h"
#include "rtl/SysUtils.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"
#include "tests/tags/TagTestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <map>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace tagtest;
using namespace Qt::Literals::StringLiterals;

namespace {

const Bytes Audio = S("MAC audio frames 0123456789");

Bytes ID3v1(const std::string& Title)
{
    Bytes b = Cat({S("TAG"), S(Title)});
    b.resize(128, 0);
    return b;
}

Bytes Item(const std::string& Key, const Bytes& Value, uint32_t Flags = 0)
{
    return Cat({LE32(uint32_t(Value.size())), LE32(Flags), S(Key), B({0}), Value});
}

Bytes Block(uint32_t Version, uint32_t TagSize, uint32_t Count, uint32_t Flags)
{
    return Cat({S("APETAGEX"), LE32(Version), LE32(TagSize), LE32(Count), LE32(Flags), Bytes(8, 0)});
}

// A tag as another writer would store it: header (optional), items, footer.
Bytes Ape(const std::vector<Bytes>& Items, uint32_t Version = 2000, bool Header = true)
{
    Bytes body;
    for (const auto& i : Items) body = Cat({body, i});
    const auto size = uint32_t(body.size() + 32);
    const auto count = uint32_t(Items.size());
    return Cat({Header ? Block(Version, size, count, 0xA0000000u) : Bytes(), body,
                Block(Version, size, count, Header ? 0x80000000u : 0)});
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Files

TEST(APEv2File, SaveWritesHeaderItemsFooterBeforeTheID3v1Tag)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.ape"_s, Cat({Audio, ID3v1("v1")}));
    tags::TAPEv2Tag tag;
    tag.AddFrame(u"Artist"_s)->SetAsText(u"Zoë"_s);
    tag.AddFrame(u"Empty"_s);   // empty items are not written
    ASSERT_EQ(tag.SaveToFile(file), 0);
    const Bytes expected = Cat({Audio, Ape({Item("ARTIST", S("Zo\xC3\xAB"))}), ID3v1("v1")});
    EXPECT_EQ(FileBytes(file), expected);

    tags::TAPEv2Tag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Frames[0]->Name, u"ARTIST"_s);
    EXPECT_EQ(back.Frames[0]->GetAsText(), u"Zoë"_s);
    EXPECT_EQ(back.Size, uint32_t(tag.CalculateTagSize()));
}

TEST(APEv2File, GrowShrinkAndStripAroundAnID3v1Tag)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.ape"_s, Cat({Audio, Ape({Item("TITLE", S("old"))}), ID3v1("v1")}));
    tags::TAPEv2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    tag.Frames[0]->SetAsText(QString(500, u'x'));
    tag.AddFrame(u"Album"_s)->SetAsText(u"B"_s);
    ASSERT_EQ(tag.SaveToFile(file), 0);
    EXPECT_EQ(FileBytes(file),
              Cat({Audio, Ape({Item("TITLE", Bytes(500, 'x')), Item("ALBUM", S("B"))}), ID3v1("v1")}));

    tag.DeleteFrame(0);
    ASSERT_EQ(tag.SaveToFile(file), 0);
    EXPECT_EQ(FileBytes(file), Cat({Audio, Ape({Item("ALBUM", S("B"))}), ID3v1("v1")}));

    EXPECT_EQ(tags::StripAPEv2FromFile(file), 0);
    EXPECT_EQ(FileBytes(file), Cat({Audio, ID3v1("v1")}));
    EXPECT_EQ(tags::StripAPEv2FromFile(file), tags::APEV2LIBRARY_ERROR_NO_TAG_FOUND);
}

TEST(APEv2File, Version1000WithoutHeaderIsUpgraded)
{
    testing_support::TempDir dir;
    // Version 1000 text is in the ANSI code page: 0xE9 is "é".
    const QString file = WriteFile(dir, u"a.mpc"_s, Cat({Audio, Ape({Item("Title", S("Caf\xE9  "))}, 1000, false)}));
    tags::TAPEv2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    EXPECT_EQ(tag.Version, 1000u);
    ASSERT_EQ(tag.Count(), 1);
    EXPECT_EQ(tag.Frames[0]->Stream.Size(), 5);   // stored again as UTF-8, trailing blanks gone
    EXPECT_EQ(tag.Frames[0]->GetAsText(), u"Café"_s);
    ASSERT_EQ(tag.SaveToFile(file), 0);
    EXPECT_EQ(FileBytes(file), Cat({Audio, Ape({Item("TITLE", S("Caf\xC3\xA9"))})}));
}

TEST(APEv2File, LocatorItemsAreSkippedAndBinaryKept)
{
    rtl::TMemoryStream s;
    Fill(s, Cat({Audio, Ape({Item("A", S("1")), Item("Link", S("http://x"), 4), Item("Blob", Bytes(2048, 7), 2),
                             Item("B", S("2"))})}));
    tags::TAPEv2Tag tag;
    ASSERT_EQ(tag.LoadFromStream(s), 0);
    EXPECT_EQ(s.Position(), 0);
    ASSERT_EQ(tag.Count(), 3);
    EXPECT_EQ(tag.Frames[0]->GetAsText(), u"1"_s);
    EXPECT_EQ(tag.Frames[1]->Format, tags::ffBinary);
    EXPECT_EQ(tag.Frames[1]->GetAsText(), u"BINARY 2.00 KB"_s);
    EXPECT_EQ(tag.Frames[2]->GetAsText(), u"2"_s);
}

// Sizes and keys that do not fit the bytes there are refused before anything is allocated.
TEST(APEv2File, DamagedTagsAreRefused)
{
    struct TCase {
        const char* Name;
        Bytes Data;
        int Result;
    };
    const Bytes huge = Cat({LE32(0x7FFFFFF0u), LE32(0), S("K"), B({0})});
    const std::vector<TCase> cases = {
        {"value larger than the tag", Cat({Audio, Ape({huge})}), tags::APEV2LIBRARY_ERROR_CORRUPT},
        {"value past the footer", Cat({Audio, Ape({Cat({LE32(20), LE32(0), S("K"), B({0}), S("abc")})})}),
         tags::APEV2LIBRARY_ERROR_CORRUPT},
        {"key without NUL", Cat({Audio, Ape({Cat({LE32(0), LE32(0), S("KEYKEY")})})}), tags::APEV2LIBRARY_ERROR_CORRUPT},
        {"tag size past the file start", Cat({Block(2000, 0x10000, 1, 0x80000000u)}), tags::APEV2LIBRARY_ERROR_CORRUPT},
        {"more items than bytes", Cat({Block(2000, 32, 0xFFFFFFFFu, 0x80000000u)}), tags::APEV2LIBRARY_ERROR_CORRUPT},
        {"version 3000", Cat({Audio, Ape({Item("A", S("1"))}, 3000)}), tags::APEV2LIBRARY_ERROR_NOT_SUPPORTED_VERSION},
        {"no tag", Audio, tags::APEV2LIBRARY_ERROR_NO_TAG_FOUND},
    };
    for (const auto& c : cases) {
        rtl::TMemoryStream s;
        Fill(s, c.Data);
        tags::TAPEv2Tag tag;
        EXPECT_EQ(tag.LoadFromStream(s), c.Result) << c.Name;
    }
}

TEST(APEv2File, NothingToWriteOrAFailedReplacementLeavesTheFile)
{
    testing_support::TempDir dir;
    const Bytes original = Cat({Audio, Ape({Item("TITLE", S("old"))}), ID3v1("v1")});
    const QString file = WriteFile(dir, u"a.ape"_s, original);
    tags::TAPEv2Tag tag;
    tag.AddFrame(u"Title"_s)->SetAsText(QString());
    EXPECT_EQ(tag.SaveToFile(file), tags::APEV2LIBRARY_ERROR_EMPTY_TAG);
    EXPECT_EQ(FileBytes(file), original);

    // Written in place: a failure at any step puts the old tail back.
    for (auto step : {tags::TFileStep::Write, tags::TFileStep::Flush, tags::TFileStep::Cut}) {
        tag.AddFrame(u"Title"_s)->SetAsText(u"new"_s);
        TFaultGuard fault(step);
        EXPECT_EQ(tag.SaveToFile(file), tags::APEV2LIBRARY_ERROR);
        EXPECT_EQ(tags::StripAPEv2FromFile(file), tags::APEV2LIBRARY_ERROR);
        EXPECT_EQ(FileBytes(file), original);
    }
    // Written anew where another reader of this program denies writing: a failure leaves the original.
    {
        rtl::TFileStream reader(file, rtl::fmOpenRead | rtl::fmShareDenyWrite);
        for (auto step : {tags::TFileStep::Create, tags::TFileStep::Write, tags::TFileStep::Rename}) {
            TFaultGuard fault(step);
            EXPECT_EQ(tag.SaveToFile(file), tags::APEV2LIBRARY_ERROR);
            EXPECT_EQ(tags::StripAPEv2FromFile(file), tags::APEV2LIBRARY_ERROR);
            EXPECT_EQ(FileBytes(file), original);
        }
    }
    EXPECT_EQ(QDir(dir.QPath()).entryList(QDir::Files), QStringList{u"a.ape"_s});

    // A footer with unknown flag bits is not overwritten.
    Bytes odd = Cat({Audio, Ape({Item("TITLE", S("old"))})});
    odd[odd.size() - 11] = 0x01;   // flag bit 8 of the footer
    const QString oddFile = WriteFile(dir, u"b.ape"_s, odd);
    EXPECT_EQ(tag.SaveToFile(oddFile), tags::APEV2LIBRARY_ERROR_CORRUPT);
    EXPECT_EQ(FileBytes(oddFile), odd);
}

// The tag lies behind the audio: a save or strip writes only the file's end, in the same file.
TEST(APEv2File, TailsAreWrittenInPlaceAndPutBackWhenAStepFails)
{
    const Bytes audio = Cat({Audio, Bytes(5000, 0x5A)});
    const Bytes oldTag = Ape({Item("TITLE", S("old")), Item("ALBUM", S("an album of some length"))});
    struct TCase { const char* Name; std::string Title; };
    for (const TCase& c : {TCase{"grows", std::string(300, 'g')}, TCase{"shrinks", "s"}}) {
        SCOPED_TRACE(c.Name);
        testing_support::TempDir dir;
        const Bytes original = Cat({audio, oldTag, ID3v1("v1")});
        const QString file = WriteFile(dir, u"a.wv"_s, original);
        const auto inode = Inode(file);   // unlike a replacement, the same file
        tags::TAPEv2Tag tag;
        ASSERT_EQ(tag.LoadFromFile(file), 0);
        tag.Frames[0]->SetAsText(QString::fromStdString(c.Title));
        for (auto step : {tags::TFileStep::Write, tags::TFileStep::Flush, tags::TFileStep::Cut}) {
            TFaultGuard fault(step);
            EXPECT_EQ(tag.SaveToFile(file), tags::APEV2LIBRARY_ERROR);
            EXPECT_EQ(FileBytes(file), original);
        }
        ASSERT_EQ(tag.SaveToFile(file), 0);
        EXPECT_EQ(FileBytes(file), Cat({audio, Ape({Item("TITLE", S(c.Title)), Item("ALBUM", S("an album of some length"))}), ID3v1("v1")}));
        EXPECT_EQ(Inode(file), inode);
        ASSERT_EQ(tags::StripAPEv2FromFile(file), 0);
        EXPECT_EQ(FileBytes(file), Cat({audio, ID3v1("v1")}));
        EXPECT_EQ(Inode(file), inode);
        EXPECT_EQ(QDir(dir.QPath()).entryList(QDir::Files | QDir::Hidden), QStringList{u"a.wv"_s});
    }
}

// ---------------------------------------------------------------------------------------------
// Values

TEST(APEv2Values, ListsRoundTripAndDropLoneCR)
{
    tags::TAPEv2Tag tag;
    rtl::TStringList in;
    in.SetText(u"producer=Ann\r\nmix=Bo"_s);
    tags::TAPEv2Frame* frame = tag.AddFrame(u"TIPL"_s);
    frame->SetAsList(in);
    EXPECT_EQ(Contents(frame->Stream), S("producer\r\nAnn\r\nmix\r\nBo\r\n"));
    rtl::TStringList out;
    ASSERT_TRUE(frame->GetAsList(out));
    EXPECT_EQ(out.Text(), in.Text());

    frame->Stream.Clear();
    frame->Stream.WriteBuffer("a\rb\r\nc \r\n", 9);
    ASSERT_TRUE(frame->GetAsList(out));
    EXPECT_EQ(out[0], u"ab=c"_s);
}

TEST(APEv2Values, CoverArtIsFoundByKeyOrSignature)
{
    struct TCase {
        Bytes Picture;
        tags::TAPEv2PictureFormat Format;
    };
    const std::vector<TCase> cases = {{B({0xFF, 0xD8, 0xFF}), tags::pfJPEG}, {S("\x89PNG\r\n"), tags::pfPNG},
                                      {S("GIF89a"), tags::pfGIF}, {S("BM\x10"), tags::pfBMP}};
    for (const auto& c : cases) {
        tags::TAPEv2Tag tag;
        rtl::TMemoryStream picture;
        Fill(picture, c.Picture);
        tag.AddCoverArtFrame(u"Other"_s, &picture, QString());
        EXPECT_EQ(Contents(tag.Frames[0]->Stream), Cat({B({0}), c.Picture}));
        EXPECT_TRUE(tag.Frames[0]->IsCoverArt());
        rtl::TMemoryStream got;
        tags::TAPEv2PictureFormat format = tags::pfUnknown;
        QString description = u"x"_s;
        ASSERT_TRUE(tag.GetCoverArtFromFrame(0, got, format, description));
        EXPECT_EQ(format, c.Format);
        EXPECT_EQ(Contents(got), c.Picture);
        EXPECT_TRUE(description.isEmpty());
    }
    tags::TAPEv2Tag tag;
    tag.AddFrame(u"cover art (front)"_s)->SetAsText(u"\xFF\xD8"_s);
    EXPECT_FALSE(tag.Frames[0]->IsCoverArt());   // text items never are
    rtl::TMemoryStream noPicture;
    Fill(noPicture, S("plain"));
    tag.AddCoverArtFrame(u"cover art (front)"_s, &noPicture, u"desc"_s);
    EXPECT_TRUE(tag.Frames[1]->IsCoverArt());
    rtl::TMemoryStream got;
    tags::TAPEv2PictureFormat format = tags::pfJPEG;
    QString description;
    EXPECT_FALSE(tag.GetCoverArtFromFrame(1, got, format, description));
    EXPECT_EQ(got.Size(), 0);
    EXPECT_EQ(format, tags::pfUnknown);
}

TEST(APEv2Values, ByteCountText)
{
    const std::vector<std::pair<int64_t, QString>> cases = {
        {-5, u"-5 Byte"_s}, {0, u"0 Byte"_s}, {1023, u"1023 Byte"_s}, {1024, u"1.00 KB"_s}, {1536, u"1.50 KB"_s},
        {1048575, u"1024.00 KB"_s}, {1048576, u"1.00 MB"_s}, {123456789, u"117.70 MB"_s}, {5381054798, u"5.01 GB"_s},
        {int64_t(1) << 62, u"4.00 EB"_s}};
    for (const auto& [count, text] : cases) EXPECT_EQ(tags::FormatByteCount(count), text) << count;
    const auto saved = rtl::FormatSettings;
    rtl::FormatSettings.DecimalSeparator = u',';
    EXPECT_EQ(tags::FormatByteCount(1536), u"1,50 KB"_s);
    rtl::FormatSettings = saved;
}

// ---------------------------------------------------------------------------------------------
// The front

TEST(APEv2Front, LoadSplitsTrackAndTakesCoverArt)
{
    testing_support::TempDir dir;
    const Bytes cover = Cat({S("front"), B({0}), B({0xFF, 0xD8, 1, 2})});
    const QString file = WriteFile(dir, u"a.ape"_s,
                                   Cat({Audio, Ape({Item("Artist", S("A")), Item("Track", S("5/9")),
                                                    Item("Cover Art (Front)", cover, 2), Item("Blob", S("xx"), 2),
                                                    Item("Disc", S("1/2"))})}));
    tags::TTags t;
    t.Add(u"TOTALTRACKS"_s)->Value = u"old"_s;
    ASSERT_EQ(t.LoadFromFile(file), 0);
    EXPECT_EQ(t.GetTag(u"Artist"_s), u"A"_s);
    EXPECT_EQ(t.GetTag(u"TRACKNUMBER"_s), u"5"_s);
    EXPECT_EQ(t.GetTag(u"TOTALTRACKS"_s), u"9"_s);
    EXPECT_EQ(t.TypeCount(u"TOTALTRACKS"_s), 1);
    EXPECT_EQ(t.GetTag(u"Disc"_s), u"1/2"_s);
    EXPECT_EQ(t.Exists(u"Blob"_s), -1);
    ASSERT_EQ(t.CoverArtCount(), 1);
    const tags::TCoverArt& c = *t.CoverArts[0];
    EXPECT_EQ(c.Name, u"Cover Art (Front)"_s);
    EXPECT_EQ(c.CoverType, 3u);
    EXPECT_EQ(c.Description, u"front"_s);
    EXPECT_EQ(c.MIMEType, u"image/jpeg"_s);
    EXPECT_EQ(c.PictureFormat, tags::tpfJPEG);
    EXPECT_EQ(Contents(*c.Stream), B({0xFF, 0xD8, 1, 2}));
}

TEST(APEv2Front, SaveKeepsBinaryItemsAndWritesEveryCover)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.ape"_s,
                                   Cat({Audio, Ape({Item("Blob", S("xx"), 2), Item("Genre", S("Rock")), Item("Title", S("T"))})}));
    tags::TTags t;
    ASSERT_EQ(t.LoadFromFile(file), 0);
    t.Add(u"Blob"_s)->Value = u"BINARY 2 Byte"_s;
    t.SetTag(u"Title"_s, u"New"_s);
    t.UpperCaseFieldNamesToWrite = false;
    for (const char* d : {"one", "two"}) {
        tags::TCoverArt* c = t.AddCoverArt(u"Cover"_s);
        c->Description = QString::fromLatin1(d);
        Fill(*c->Stream, S("\x89PNG"));
    }
    ASSERT_EQ(t.SaveAPEv2Tag(file), 0);
    const Bytes png = S("\x89PNG");
    EXPECT_EQ(FileBytes(file),
              Cat({Audio, Ape({Item("Blob", S("xx"), 2), Item("Genre", S("Rock")), Item("Title", S("New")),
                               Item("Cover Art (Front)", Cat({S("one"), B({0}), png}), 2),
                               Item("Cover Art (Front)", Cat({S("two"), B({0}), png}), 2)})}));
}

// Other programs write the track as one "Track" item "3/12", which loading splits into number and total.
struct TrackCase {
    const char* name;
    std::vector<Bytes> items;
    std::vector<std::pair<QString, QString>> set;   // SetTag calls after loading
    std::vector<std::pair<QString, QString>> saved; // the items after the save, as written
};
class APEv2FrontTrack : public ::testing::TestWithParam<TrackCase> {};

TEST_P(APEv2FrontTrack, GoesBackAsOneTrackItem)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.wv"_s, Cat({Audio, Ape(GetParam().items)}));
    tags::TTags t;
    ASSERT_EQ(t.LoadFromFile(file), 0);
    for (const auto& [name, value] : GetParam().set) t.SetTag(name, value);
    ASSERT_EQ(t.SaveAPEv2Tag(file), 0);
    const qint64 size = QFileInfo(file).size();
    tags::TAPEv2Tag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    std::vector<std::pair<QString, QString>> got;
    for (const auto& f : back.Frames) got.emplace_back(f->Name, f->GetAsText());
    EXPECT_EQ(got, GetParam().saved);
    // Saving what was loaded again changes nothing.
    tags::TTags again;
    ASSERT_EQ(again.LoadFromFile(file), 0);
    ASSERT_EQ(again.SaveAPEv2Tag(file), 0);
    EXPECT_EQ(QFileInfo(file).size(), size);
}

INSTANTIATE_TEST_SUITE_P(Cases, APEv2FrontTrack, ::testing::Values(
    TrackCase{"NumberAndTotal", {Item("Title", S("T")), Item("Track", S("3/12"))}, {},
              {{u"TITLE"_s, u"T"_s}, {u"TRACK"_s, u"3/12"_s}}},
    TrackCase{"EditedNumberKeepsTheTotal", {Item("Track", S("3/12")), Item("Title", S("T"))}, {{u"TRACKNUMBER"_s, u"5"_s}},
              {{u"TRACK"_s, u"5/12"_s}, {u"TITLE"_s, u"T"_s}}},
    TrackCase{"ItemsOfTheirOwnJoin", {Item("TRACKNUMBER", S("3")), Item("TOTALTRACKS", S("12"))}, {},
              {{u"TRACK"_s, u"3/12"_s}}},
    TrackCase{"NumberWithoutTotal", {Item("Track", S("7"))}, {{u"TRACKNUMBER"_s, u"8"_s}}, {{u"TRACK"_s, u"8"_s}}},
    TrackCase{"TotalAloneStaysItsOwnItem", {Item("TOTALTRACKS", S("9")), Item("Title", S("T"))}, {},
              {{u"TOTALTRACKS"_s, u"9"_s}, {u"TITLE"_s, u"T"_s}}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// mutagen

TEST(APEv2Peer, MutagenReadsOursAndWeReadMutagens)
{
    const QString python = u"/usr/bin/python3"_s;
    if (!testing_support::RequireTool(python, u"import mutagen.apev2"_s)) return;
    testing_support::TempDir dir;
    const QString theirs = WriteFile(dir, u"theirs.ape"_s, Audio);
    const char* write = R"py(
import sys
from mutagen.apev2 import APEv2, APEValue, BINARY
t = APEv2()
t["Title"] = "Ünïcode"
t["Artist"] = ["A", "B"]
t["Cover Art (Front)"] = APEValue(b"d\x00\x89PNGdata", BINARY)
t.save(sys.argv[1])
)py";
    auto run = testing_support::RunProgram(python, {u"-c"_s, QString::fromUtf8(write), theirs});
    ASSERT_TRUE(run.Ok()) << run.Describe();
    WriteFile(dir, u"theirs.ape"_s, Cat({FileBytes(theirs), ID3v1("v1")}));   // mutagen's tag before ID3v1
    tags::TAPEv2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(theirs), 0);
    ASSERT_EQ(tag.Count(), 3);
    std::map<QString, tags::TAPEv2Frame*> byKey;
    for (auto& f : tag.Frames) byKey[f->Name] = f.get();
    EXPECT_EQ(byKey[u"Title"_s]->GetAsText(), u"Ünïcode"_s);
    EXPECT_EQ(byKey[u"Artist"_s]->GetAsText(), u"A"_s + QChar(0) + u"B"_s);   // a list value
    ASSERT_TRUE(byKey[u"Cover Art (Front)"_s]);
    EXPECT_TRUE(byKey[u"Cover Art (Front)"_s]->IsCoverArt());

    // Ours, read back by mutagen, with the ID3v1 tag still last.
    byKey[u"Title"_s]->SetAsText(u"Neu"_s);
    tag.AddFrame(u"Album"_s)->SetAsText(u"Ähre"_s);
    ASSERT_EQ(tag.SaveToFile(theirs), 0);
    const char* read = R"py(
import sys
from mutagen.apev2 import APEv2
t = APEv2(sys.argv[1])
print("|".join(k + "=" + ("/".join(v) if v.kind == 0 else "bin%d" % len(v.value)) for k, v in sorted(t.items())))
print(open(sys.argv[1], "rb").read()[-128:-125].decode())
)py";
    run = testing_support::RunProgram(python, {u"-c"_s, QString::fromUtf8(read), theirs});
    ASSERT_TRUE(run.Ok()) << run.Describe();
    EXPECT_EQ(QString::fromUtf8(run.Out).trimmed().toStdString(), "ALBUM=Ähre|ARTIST=A/B|COVER ART (FRONT)=bin10|TITLE=Neu\nTAG");
}
