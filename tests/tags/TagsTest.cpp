// tests/tags/TagsTest.cpp: the tag front's entries and pictures, loading with the priority merge, the
// ID3 converters, deleting an entry from every format, and the source audio attributes.
#include "tags/Tags.h"

#include "tags/TagAPEv2.h"
#include "tags/TagFlac.h"
#include "tags/TagID3v1.h"
#include "tags/TagID3v2.h"
#include "tags/TagMP4.h"
#include "tags/TagOggVorbisAndOpus.h"
#include "tags/TagWAV.h"
#include "tags/TagWMA.h"

#include "tests/support/TempDir.h"
#include "tests/tags/TagTestSupport.h"

#include <gtest/gtest.h>

using namespace tagtest;
using namespace Qt::Literals::StringLiterals;

namespace {

Bytes Text(const std::string& Value) { return Cat({B({0}), S(Value)}); }
Bytes TextFrame(const std::string& Id, const std::string& Value) { return Frame3(Id, Text(Value)); }

Bytes V1Field(const std::string& Text, size_t Width)
{
    Bytes b = S(Text);
    b.resize(Width, 0);
    return b;
}

// An ID3v1.1 block; an empty genre is 255.
Bytes V1(const std::string& Title, const std::string& Artist, int Track, int Genre)
{
    return Cat({S("TAG"), V1Field(Title, 30), V1Field(Artist, 30), V1Field("V1 Album", 30), V1Field("1999", 4),
                V1Field("V1 comment", 28), B({0, Track}), B({Genre})});
}

QByteArray Q(const Bytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())); }

void LoadID3v2(tags::TTags& Tags, const Bytes& Body)
{
    rtl::TMemoryStream s;
    Fill(s, Tag(3, 0, Body));
    ASSERT_EQ(Tags.ID3v2Tag->LoadFromStream(s), 0);
}

std::vector<std::pair<QString, QString>> Entries(const tags::TTags& Tags)
{
    std::vector<std::pair<QString, QString>> out;
    for (const auto& t : Tags.Tags) out.emplace_back(t->Name, t->Value);
    return out;
}

using Pairs = std::vector<std::pair<QString, QString>>;

} // namespace

// ---- entries ---------------------------------------------------------------------------------------

TEST(TagsEntries, SetTagChangesTheFirstEntryOfTheNameInAnyCase)
{
    tags::TTags tags;
    tags.Add(u"ARTIST"_s)->Value = u"One"_s;
    tags.Add(u"ARTIST"_s)->Value = u"Two"_s;
    EXPECT_EQ(tags.SetTag(u"artist"_s, u"New"_s), 0);
    EXPECT_EQ(tags.GetTag(u"ArTiSt"_s), u"New");
    EXPECT_EQ(tags.Tags[1]->Value, u"Two");
    EXPECT_EQ(tags.TypeCount(u"Artist"_s), 2);

    EXPECT_EQ(tags.SetTag(u"TITLE"_s, u"T"_s), 2);
    EXPECT_EQ(tags.Count(), 3);
    EXPECT_EQ(tags.Tags[2]->GetIndex(), 2);
}

TEST(TagsEntries, AnEmptyFrontFindsNothing)
{
    tags::TTags tags;
    EXPECT_EQ(tags.GetTag(u"TITLE"_s), u"");
    EXPECT_EQ(tags.Exists(u"TITLE"_s), -1);
    EXPECT_EQ(tags.TypeCount(u"TITLE"_s), 0);
    EXPECT_FALSE(tags.Remove(-1));
    EXPECT_FALSE(tags.Remove(0));
    EXPECT_FALSE(tags.Delete(tags.Exists(u"TITLE"_s)));
}

struct NameCase { const char16_t* a; const char16_t* b; bool same; };
class TagsNameRule : public ::testing::TestWithParam<NameCase> {};

TEST_P(TagsNameRule, FoldsOnlyAsciiLetters)
{
    const auto& c = GetParam();
    EXPECT_EQ(tags::SameTagName(QString::fromUtf16(c.a), QString::fromUtf16(c.b)), c.same);
}

INSTANTIATE_TEST_SUITE_P(Cases, TagsNameRule, ::testing::Values(
    NameCase{u"", u"", true}, NameCase{u"", u"x", false}, NameCase{u"Artist", u"ARTIST", true},
    NameCase{u"Künstler", u"KüNSTLER", true}, NameCase{u"Künstler", u"KÜNSTLER", false},
    NameCase{u"ARTIST ", u"ARTIST", false}));

TEST(TagsEntries, MultipleListKeepsFirstOfCaseDuplicates)
{
    tags::TTags tags;
    tags.Add(u"GENRE"_s)->Value = u"ROCK"_s;
    tags.Add(u"OTHER"_s)->Value = u"Jazz"_s;
    tags.Add(u"genre"_s)->Value = u"rock"_s;
    tags.Add(u"Genre"_s)->Value = u"Pop"_s;
    rtl::TStringList list;
    list.Add(u"stale"_s);
    tags.GetMultipleList(u"GENRE"_s, list);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], u"ROCK");
    EXPECT_EQ(list[1], u"Pop");
}

TEST(TagsEntries, RemoveMovesLaterEntriesDown)
{
    tags::TTags tags;
    tags.Add(u"A"_s);
    tags::TTag* b = tags.Add(u"B"_s);
    tags.Add(u"C"_s)->Remove();
    EXPECT_TRUE(tags.Remove(0));
    EXPECT_FALSE(tags.Remove(1));
    EXPECT_EQ(b->GetIndex(), 0);
    EXPECT_EQ(tags.Count(), 1);
}

TEST(TagsEntries, NewCoverArtHasDefaults)
{
    tags::TTags tags;
    tags::TCoverArt* art = tags.AddCoverArt(u"Cover"_s);
    EXPECT_EQ(art->Description, u"No description");
    EXPECT_EQ(art->PictureFormat, tags::tpfUnknown);
    EXPECT_EQ(art->Stream->Size(), 0);
    EXPECT_EQ(art->GetIndex(), 0);
    EXPECT_EQ(tags.CoverArtCount(), 1);
}

struct PictureCase { Bytes data; tags::TTagPictureFormat format; };
class TagsPictureType : public ::testing::TestWithParam<PictureCase> {};

TEST_P(TagsPictureType, ReadsTheFirstBytesAndRewinds)
{
    rtl::TMemoryStream s;
    Fill(s, GetParam().data);
    s.SetPosition(int64_t(GetParam().data.size()));
    EXPECT_EQ(tags::TTags::PictureStreamType(&s), GetParam().format);
    EXPECT_EQ(s.Position(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, TagsPictureType, ::testing::Values(
    PictureCase{B({0xFF, 0xD8, 0xFF}), tags::tpfJPEG}, PictureCase{B({0x89, 'P', 'N', 'G'}), tags::tpfPNG},
    PictureCase{S("GIF89a"), tags::tpfGIF}, PictureCase{S("BM.."), tags::tpfBMP},
    PictureCase{B({'I', 'I', 0x2A, 0}), tags::tpfTIFF}, PictureCase{B({'M', 'M', 0, 0x2A}), tags::tpfTIFF},
    PictureCase{B({'M', 'M', 0}), tags::tpfUnknown}, PictureCase{B({0xFF}), tags::tpfUnknown},
    PictureCase{B({0xD8, 0xFF}), tags::tpfUnknown}, PictureCase{Bytes{}, tags::tpfUnknown}));

TEST(TagsEntries, PictureTypeOfNoStreamIsUnknown)
{
    EXPECT_EQ(tags::TTags::PictureStreamType(nullptr), tags::tpfUnknown);
}

TEST(TagsFront, StartsWithTheUnitDefaults)
{
    tags::TTags tags;
    const tags::TTagPriority expected = {tags::ttFlac, tags::ttOpusVorbis, tags::ttMP4, tags::ttWMA, tags::ttID3v2,
                                         tags::ttAPEv2, tags::ttWAV, tags::ttID3v1, tags::ttNone};
    EXPECT_EQ(tags.TagLoadPriority, expected);
    EXPECT_TRUE(tags.UpperCaseFieldNamesToWrite);
    EXPECT_TRUE(tags.MP4KeepPadding);
    EXPECT_FALSE(tags.ParseWavPackAudioAttributes);
    EXPECT_FALSE(tags.ParseMusePackAudioAttributes);
    EXPECT_TRUE(tags.ParseAudioAttributes);
    EXPECT_TRUE(tags.ParseCoverArts);
    EXPECT_FALSE(tags.PreserveFileDate);
    EXPECT_EQ(tags.ID3v2Tag->PaddingToWrite, 4096u);
    EXPECT_EQ(tags.FlacTag->PaddingSizeToWrite, 4096u);
    EXPECT_EQ(tags.MP4Tag->PaddingToWrite, 4096u);
    EXPECT_EQ(tags.OggVorbisAndOpusTag->PaddingSizeToWrite, 4096);
    EXPECT_FALSE(tags.OggVorbisAndOpusTag->ParsePlayTime);
}

TEST(TagsFront, ClearKeepsPriorityAndSettings)
{
    testing_support::TempDir dir;
    const QString file = dir.Write(u"a.mp3"_s, Q(Cat({Tag(3, 0, TextFrame("TIT2", "T")), Bytes(64, 0)})));
    tags::TTags tags;
    tags.TagLoadPriority.fill(tags::ttID3v2);
    tags.ParseCoverArts = false;
    ASSERT_EQ(tags.LoadFromFile(file), 0);
    tags.AddCoverArt(u"x"_s);
    ASSERT_TRUE(tags.Loaded);
    ASSERT_GT(tags.Size(), 0);
    tags.Clear();
    EXPECT_FALSE(tags.Loaded);
    EXPECT_EQ(tags.FileName, u"");
    EXPECT_EQ(tags.Size(), 0);
    EXPECT_EQ(tags.Count(), 0);
    EXPECT_EQ(tags.CoverArtCount(), 0);
    EXPECT_EQ(tags.TagLoadPriority[8], tags::ttID3v2);
    EXPECT_FALSE(tags.ParseCoverArts);
}

// ---- loading ---------------------------------------------------------------------------------------

TEST(TagsLoad, MissingFileGivesOpeningErrorAndAnEmptyFront)
{
    tags::TTags tags;
    tags.Add(u"OLD"_s);
    EXPECT_EQ(tags.LoadFromFile(u"/nonexistent/file.mp3"_s), tags::trcOpeningFile);
    EXPECT_EQ(tags.Count(), 0);
    EXPECT_EQ(tags.FileName, u"");
    EXPECT_FALSE(tags.Loaded);
}

TEST(TagsLoad, FileWithoutTagsLoadsNothingButKeepsItsName)
{
    testing_support::TempDir dir;
    const QString file = dir.Write(u"plain.mp3"_s, Q(Bytes(300, 0x55)));
    tags::TTags tags;
    EXPECT_EQ(tags.LoadFromFile(file), tags::trcSuccess);
    EXPECT_FALSE(tags.Loaded);
    EXPECT_EQ(tags.Count(), 0);
    EXPECT_EQ(tags.FileName, file);
}

// One MP3 with both ID3 tags: ID3v2 has TITLE and TRACK 3/12, ID3v1 has TITLE, ARTIST and track 9.
struct MergeCase {
    const char* name;
    std::vector<tags::TTagType> priority;   // index 0 first; the rest ttNone
    Pairs expected;
};

class TagsPriorityMerge : public ::testing::TestWithParam<MergeCase> {};

TEST_P(TagsPriorityMerge, HighestPriorityWinsNameByName)
{
    testing_support::TempDir dir;
    const Bytes v2 = Tag(3, 0, Cat({TextFrame("TIT2", "V2 Title"), TextFrame("TRCK", "3/12")}));
    const QString file = dir.Write(u"m.mp3"_s, Q(Cat({v2, Bytes(200, 0), V1("V1 Title", "V1 Artist", 9, 255)})));
    tags::TTags tags;
    tags.TagLoadPriority.fill(tags::ttNone);
    for (size_t i = 0; i < GetParam().priority.size(); ++i) tags.TagLoadPriority[i] = GetParam().priority[i];
    ASSERT_EQ(tags.LoadFromFile(file), 0);
    EXPECT_TRUE(tags.Loaded);
    Pairs actual = Entries(tags);
    std::sort(actual.begin(), actual.end());
    Pairs expected = GetParam().expected;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TagsPriorityMerge, ::testing::Values(
    MergeCase{"Default", {tags::ttFlac, tags::ttOpusVorbis, tags::ttMP4, tags::ttWMA, tags::ttID3v2, tags::ttAPEv2,
                          tags::ttWAV, tags::ttID3v1},
              {{u"TITLE"_s, u"V2 Title"_s}, {u"TRACKNUMBER"_s, u"3"_s}, {u"TOTALTRACKS"_s, u"12"_s},
               {u"ARTIST"_s, u"V1 Artist"_s}, {u"ALBUM"_s, u"V1 Album"_s}, {u"YEAR"_s, u"1999"_s},
               {u"COMMENT"_s, u"V1 comment"_s}}},
    MergeCase{"ID3v1First", {tags::ttID3v1, tags::ttID3v2},
              {{u"TITLE"_s, u"V1 Title"_s}, {u"TRACKNUMBER"_s, u"9"_s}, {u"TOTALTRACKS"_s, u"12"_s},
               {u"ARTIST"_s, u"V1 Artist"_s}, {u"ALBUM"_s, u"V1 Album"_s}, {u"YEAR"_s, u"1999"_s},
               {u"COMMENT"_s, u"V1 comment"_s}}},
    MergeCase{"OnlyID3v2", {tags::ttID3v2},
              {{u"TITLE"_s, u"V2 Title"_s}, {u"TRACKNUMBER"_s, u"3"_s}, {u"TOTALTRACKS"_s, u"12"_s}}},
    MergeCase{"TwiceGivesNoDuplicates", {tags::ttID3v2, tags::ttID3v2},
              {{u"TITLE"_s, u"V2 Title"_s}, {u"TRACKNUMBER"_s, u"3"_s}, {u"TOTALTRACKS"_s, u"12"_s}}},
    MergeCase{"NoneEverywhere", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TagsLoad, ID3v2FileIsNotHandedToTheWMAReaderAndReadersStartFromClear)
{
    testing_support::TempDir dir;
    const QString withV2 = dir.Write(u"a.mp3"_s, Q(Cat({Tag(3, 0, TextFrame("TIT2", "T")), Bytes(64, 0)})));
    const QString plain = dir.Write(u"b.wma"_s, Q(Bytes(64, 0)));
    tags::TTags tags;
    tags.WMATag->AddFrame(u"Stale"_s);
    ASSERT_EQ(tags.LoadFromFile(withV2), 0);
    EXPECT_EQ(tags.WMATag->Count(), 0);
    ASSERT_EQ(tags.LoadFromFile(plain), 0);
    EXPECT_EQ(tags.ID3v2Tag->FrameCount(), 0);
    EXPECT_EQ(tags.Count(), 0);
}

// ---- the ID3v2 converter ---------------------------------------------------------------------------

TEST(TagsID3v2Convert, SplitsTrackAndDiscAndReplacesEarlierTotals)
{
    tags::TTags tags;
    tags.Add(u"TOTALTRACKS"_s)->Value = u"99"_s;
    tags.Add(u"TRACKNUMBER"_s)->Value = u"1"_s;
    LoadID3v2(tags, Cat({TextFrame("TRCK", "3/12"), TextFrame("TPOS", "1/2")}));
    tags.LoadID3v2Tags();
    EXPECT_EQ(Entries(tags), (Pairs{{u"TRACKNUMBER"_s, u"3"_s}, {u"TOTALTRACKS"_s, u"12"_s},
                                    {u"DISCNUMBER"_s, u"1"_s}, {u"TOTALDISCS"_s, u"2"_s}}));
    EXPECT_TRUE(tags.Loaded);

    tags::TTags single;
    LoadID3v2(single, TextFrame("TRCK", "7"));
    single.LoadID3v2Tags();
    EXPECT_EQ(Entries(single), (Pairs{{u"TRACKNUMBER"_s, u"7"_s}}));
}

TEST(TagsID3v2Convert, TextContentAndUserFrames)
{
    tags::TTags tags;
    tags.Add(u"ARTIST"_s)->Value = u"from APEv2"_s;
    tags.Add(u"RATING"_s)->Value = u"5"_s;
    const Bytes comm = Cat({B({0}), S("deu"), S("Desc"), B({0}), S("Kommentar")});
    const Bytes txxx = Cat({B({0}), S("MOOD"), B({0}), S("a"), B({0}), S(" "), B({0}), S("b")});
    const Bytes txxxNoDesc = Cat({B({0, 0}), S("lost")});
    const Bytes wxxx = Cat({B({0}), S("Shop"), B({0}), S("https://shop.example")});
    const Bytes wxxxNoDesc = Cat({B({0, 0}), S("https://lost.example")});
    LoadID3v2(tags, Cat({TextFrame("TPE1", "A1"), TextFrame("TPE1", "A2"), Frame3("COMM", comm),
                         Frame3("TXXX", txxx), Frame3("TXXX", txxxNoDesc), Frame3("WXXX", wxxx),
                         Frame3("WXXX", wxxxNoDesc), TextFrame("TCON", "(17)Rock"), TextFrame("TIT3", ""),
                         Frame3("PCNT", B({0, 0, 1, 0})), Frame3("POPM", Cat({S("me@x"), B({0, 255})})),
                         Frame3("PRIV", S("owner"))}));
    tags.LoadID3v2Tags();
    EXPECT_EQ(Entries(tags), (Pairs{{u"RATING"_s, u"5"_s}, {u"ARTIST"_s, u"A1"_s}, {u"ARTIST"_s, u"A2"_s},
                                    {u"COMMENT"_s, u"Kommentar"_s}, {u"MOOD"_s, u"a"_s}, {u"MOOD"_s, u"b"_s},
                                    {u"Shop"_s, u"https://shop.example"_s}, {u"GENRE"_s, u"Rock"_s},
                                    {u"SUBTITLE"_s, u""_s}, {u"PLAYCOUNT"_s, u"256"_s}, {u"RATING"_s, u"255"_s}}));
    const auto& comment = *tags.Tags[3];
    EXPECT_EQ(comment.Language, u"deu");
    EXPECT_EQ(comment.Description, u"Desc");
    EXPECT_EQ(tags.Tags[1]->Language, u"   ");
    EXPECT_EQ(tags.Tags[4]->ExtTagType, tags::ettTXXX);
    EXPECT_EQ(tags.Tags[4]->Description, u"MOOD");
    EXPECT_EQ(tags.Tags[6]->ExtTagType, tags::ettWXXX);
    EXPECT_EQ(tags.Tags[0]->ExtTagType, tags::ettUnknown);
}

TEST(TagsID3v2Convert, PicturesReplaceEarlierOnesAndAreNumbered)
{
    const Bytes jpeg = Cat({B({0}), S("image/jpeg"), B({0, 3}), S("front"), B({0, 0xFF, 0xD8, 0xFF, 0xE0})});
    const Bytes png = Cat({B({0}), S("image/png"), B({0, 4}), B({0}), B({0x89, 'P', 'N', 'G'})});
    tags::TTags tags;
    tags.AddCoverArt(u"from APEv2"_s);
    tags.AddCoverArt(u"from APEv2"_s);
    LoadID3v2(tags, Cat({Frame3("APIC", jpeg), Frame3("APIC", png)}));
    tags.LoadID3v2Tags();
    ASSERT_EQ(tags.CoverArtCount(), 2);
    const auto& first = *tags.CoverArts[0];
    EXPECT_EQ(first.Name, u"Cover art 1");
    EXPECT_EQ(first.MIMEType, u"image/jpeg");
    EXPECT_EQ(first.Description, u"front");
    EXPECT_EQ(first.CoverType, 3u);
    EXPECT_EQ(first.PictureFormat, tags::tpfJPEG);
    EXPECT_EQ(first.Stream->Size(), 4);
    EXPECT_EQ(tags.CoverArts[1]->Name, u"Cover art 2");
    EXPECT_EQ(tags.CoverArts[1]->PictureFormat, tags::tpfPNG);
    EXPECT_EQ(tags.CoverArts[1]->CoverType, 4u);

    tags::TTags noCovers;
    noCovers.ParseCoverArts = false;
    noCovers.AddCoverArt(u"old"_s);
    LoadID3v2(noCovers, Frame3("APIC", jpeg));
    noCovers.LoadID3v2Tags();
    EXPECT_EQ(noCovers.CoverArtCount(), 0);
}

TEST(TagsID3v1Convert, EmptyFieldsKeepEarlierEntries)
{
    testing_support::TempDir dir;
    const QString file = dir.Write(u"v1.mp3"_s, Q(Cat({Bytes(200, 0), V1("Title", "Artist", 0, 255)})));
    tags::TTags tags;
    ASSERT_EQ(tags.ID3v1Tag->LoadFromFile(file), 0);
    tags.Add(u"TRACK"_s)->Value = u"4"_s;
    tags.Add(u"GENRE"_s)->Value = u"Jazz"_s;
    tags.Add(u"title"_s)->Value = u"old"_s;
    tags.LoadID3v1Tags();
    EXPECT_EQ(Entries(tags), (Pairs{{u"TRACK"_s, u"4"_s}, {u"GENRE"_s, u"Jazz"_s}, {u"TITLE"_s, u"Title"_s},
                                    {u"ARTIST"_s, u"Artist"_s}, {u"ALBUM"_s, u"V1 Album"_s}, {u"YEAR"_s, u"1999"_s},
                                    {u"COMMENT"_s, u"V1 comment"_s}}));
}

// ---- deleting an entry from every format -----------------------------------------------------------

TEST(TagsDelete, RemovesTheMatchingItemOfEveryFormat)
{
    tags::TTags tags;
    tags.APEv2Tag->AddFrame(u"Artist"_s)->SetAsText(u"the band"_s);
    tags.APEv2Tag->AddFrame(u"AlbumArtist"_s)->SetAsText(u"The Band"_s);
    tags.APEv2Tag->AddFrame(u"ARTIST"_s)->SetAsText(u"other"_s);
    tags.FlacTag->AddTag(u"artist"_s)->SetAsText(u"THE BAND"_s);
    tags.OggVorbisAndOpusTag->AddFrame(u"ARTIST"_s)->SetAsText(u"The Band"_s);
    tags.ID3v1Tag->Artist = u"someone else"_s;
    tags.ID3v1Tag->Title = u"kept"_s;
    LoadID3v2(tags, Cat({TextFrame("TPE1", "The Band"), TextFrame("TPE1", "Second"), TextFrame("TPE2", "x")}));
    tags.MP4Tag->AddAtom(tags::AtomNameFromText(u"\u00A9ART"_s));
    tags.MP4Tag->AddAtom(tags::AtomNameFromText(u"aART"_s));
    tags::TMP4Atom* freeForm = tags.MP4Tag->AddAtom(tags::AtomNameFromText(u"----"_s));
    freeForm->name.SetAsText(u"Artist"_s);
    freeForm->mean.SetAsText(u"com.apple.iTunes"_s);
    tags.WAVTag->AddFrame(u"IART"_s);
    tags.WAVTag->AddFrame(u"INAM"_s);
    tags.WMATag->AddFrame(u"author"_s);
    tags.WMATag->AddFrame(u"WM/AlbumArtist"_s);
    tags.Add(u"TITLE"_s);
    tags.Add(u"Artist"_s)->Value = u"The Band"_s;

    ASSERT_TRUE(tags.Delete(1));
    ASSERT_EQ(tags.Count(), 1);
    ASSERT_EQ(tags.APEv2Tag->Count(), 2);
    EXPECT_EQ(tags.APEv2Tag->Frames[0]->Name, u"AlbumArtist");
    EXPECT_EQ(tags.APEv2Tag->Frames[1]->GetAsText(), u"other");
    EXPECT_EQ(tags.FlacTag->Count(), 0);
    EXPECT_EQ(tags.OggVorbisAndOpusTag->Count(), 0);
    EXPECT_EQ(tags.ID3v1Tag->Artist, u"");
    EXPECT_EQ(tags.ID3v1Tag->Title, u"kept");
    ASSERT_EQ(tags.ID3v2Tag->FrameCount(), 2);   // only the first TPE1 goes
    EXPECT_EQ(tags.ID3v2Tag->GetUnicodeText(0), u"Second");
    ASSERT_EQ(tags.MP4Tag->Count(), 1);
    EXPECT_EQ(tags.MP4Tag->Atoms[0]->ID, tags::AtomNameFromText(u"aART"_s));
    ASSERT_EQ(tags.WAVTag->Count(), 1);
    EXPECT_EQ(tags.WAVTag->Frames[0]->Name, u"INAM");
    ASSERT_EQ(tags.WMATag->Count(), 1);
    EXPECT_EQ(tags.WMATag->Frames[0]->Name, u"WM/AlbumArtist");
}

TEST(TagsDelete, UserTextEntryRemovesOnlyFramesWithItsDescriptionAndValue)
{
    tags::TTags tags;
    auto txxx = [](const std::string& Desc, const std::string& Value) {
        return Frame3("TXXX", Cat({B({0}), S(Desc), B({0}), S(Value)}));
    };
    LoadID3v2(tags, Cat({txxx("MOOD", "happy"), txxx("MOOD", "sad"), txxx("OTHER", "happy"), txxx("mood", "HAPPY"),
                         TextFrame("TMOO", "happy")}));
    tags::TTag* entry = tags.Add(u"MOOD"_s);
    entry->Value = u"happy"_s;
    entry->ExtTagType = tags::ettTXXX;
    ASSERT_TRUE(tags.Delete(0));
    ASSERT_EQ(tags.ID3v2Tag->FrameCount(), 3);
    QString description;
    EXPECT_EQ(tags.ID3v2Tag->GetUnicodeUserDefinedTextInformation(0, description), u"sad");
    EXPECT_EQ(tags.ID3v2Tag->GetUnicodeUserDefinedTextInformation(1, description), u"happy");
    EXPECT_EQ(description, u"OTHER");
    EXPECT_EQ(tags::FrameIDToString(tags.ID3v2Tag->Frames[2]->ID), u"TMOO");
}

TEST(TagsDelete, BroadcastAndCartFieldsByName)
{
    tags::TTags tags;
    tags.WAVTag->BEXT.SetDescription(u"d"_s);
    tags.WAVTag->BEXT.SetTimeReference(77);
    tags.WAVTag->CART.SetLevelReference(5);
    tags.WAVTag->CART.SetTitle(u"t"_s);
    for (int i = 0; i < 8; ++i) tags.WAVTag->CART.SetPostTimer(i, {u"MRK "_s, uint32_t(i + 1)});
    for (const char16_t* name : {u"bext description", u"BEXT TimeReference", u"CART LevelReference", u"CART PostTimer3"})
        tags.Add(QString::fromUtf16(name));
    while (tags.Count() > 0) ASSERT_TRUE(tags.Delete(0));
    EXPECT_EQ(tags.WAVTag->BEXT.Description(), u"");
    EXPECT_EQ(tags.WAVTag->BEXT.TimeReference(), 0u);
    EXPECT_EQ(tags.WAVTag->CART.LevelReference(), 0u);
    EXPECT_EQ(tags.WAVTag->CART.Title(), u"t");
    tags::TCART_TIMER timer;
    ASSERT_TRUE(tags.WAVTag->CART.GetPostTimer(3, timer));
    EXPECT_EQ(timer.Value, 0u);
    EXPECT_EQ(timer.Usage, u"");
    ASSERT_TRUE(tags.WAVTag->CART.GetPostTimer(2, timer));
    EXPECT_EQ(timer.Value, 3u);
    ASSERT_TRUE(tags.WAVTag->CART.GetPostTimer(4, timer));
    EXPECT_EQ(timer.Value, 5u);
}

// ---- source audio attributes -----------------------------------------------------------------------

TEST(TagsAudioAttributes, ZeroBeforeAnyLoad)
{
    tags::TTags tags;
    const auto& a = *tags.SourceAudioAttributes;
    EXPECT_EQ(a.Channels(), 0);
    EXPECT_EQ(a.SamplesPerSec(), 0u);
    EXPECT_EQ(a.BitsPerSample(), 0);
    EXPECT_EQ(a.PlayTime(), 0.0);
    EXPECT_EQ(a.SampleCount(), 0);
    EXPECT_EQ(a.BitRate(), 0);
}

TEST(TagsAudioAttributes, WalkAsksTheLowestPriorityFirst)
{
    tags::TTags tags;
    tags.WAVTag->Attributes.Channels = 6;
    tags.FlacTag->FChannels = 2;
    tags.FlacTag->FBitsPerSample = 24;
    tags.MP4Tag->FAudioResolution = 16;
    tags.MP4Tag->FBitRate = 0;
    tags.MP4Tag->FAtommdatSize = 100;   // MP4 answers its bit rate, even 0, and ends the walk
    tags.FlacTag->FBitrate = 900;
    tags.OggVorbisAndOpusTag->Format = tags::ofVorbis;
    tags.OggVorbisAndOpusTag->Info.VorbisParameters.SampleRate = 48000;
    const auto& a = *tags.SourceAudioAttributes;
    EXPECT_EQ(a.Channels(), 6);          // WAV before FLAC
    EXPECT_EQ(a.BitsPerSample(), 16);    // MP4 before FLAC
    EXPECT_EQ(a.BitRate(), 0);
    EXPECT_EQ(a.SamplesPerSec(), 48000u);

    tags.WMATag->Loaded = true;          // WMA stands before MP4 and knows no format values
    EXPECT_EQ(a.BitsPerSample(), 0);
    EXPECT_EQ(a.Channels(), 6);
}

TEST(TagsAudioAttributes, VorbisBitRateFromTheNominalRate)
{
    tags::TTags tags;
    tags.OggVorbisAndOpusTag->Format = tags::ofVorbis;
    tags.OggVorbisAndOpusTag->Info.VorbisParameters.BitRateNominal = 128000;
    tags.OggVorbisAndOpusTag->Info.BitRate = 77;
    EXPECT_EQ(tags.SourceAudioAttributes->BitRate(), 128);
    tags.OggVorbisAndOpusTag->Info.VorbisParameters.BitRateNominal = 0;
    tags.FlacTag->FBitrate = 900;
    EXPECT_EQ(tags.SourceAudioAttributes->BitRate(), 77);   // and the walk ends there
}

TEST(TagsAudioAttributes, FromTheID3v2SourcesOfAnMp3AndAnAiff)
{
    tags::TTags mp3;
    ASSERT_EQ(mp3.LoadFromFile(FixturePath(u"audio-mono-xing.mp3"_s)), 0);
    const auto& a = *mp3.SourceAudioAttributes;
    EXPECT_EQ(a.Channels(), 1);
    EXPECT_EQ(a.SamplesPerSec(), 44100u);
    EXPECT_EQ(a.BitsPerSample(), 0);
    EXPECT_GT(a.BitRate(), 0);
    EXPECT_NEAR(a.PlayTime(), 0.3, 0.1);

    tags::TTags aiff;
    ASSERT_EQ(aiff.LoadFromFile(FixturePath(u"tag-aiff.aiff"_s)), 0);
    EXPECT_EQ(aiff.SourceAudioAttributes->Channels(), 2);
    EXPECT_EQ(aiff.SourceAudioAttributes->BitsPerSample(), 16);
    EXPECT_EQ(aiff.SourceAudioAttributes->PlayTime(), 0.0);   // 0.1 s, rounded to whole seconds
}
