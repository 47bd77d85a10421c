// tests/tags/TagID3v1Test.cpp
#include "tags/TagID3v1.h"

#include "tests/tags/TagTestSupport.h"

#include <gtest/gtest.h>

using namespace tagtest;

namespace {

Bytes Field(const std::string& Text, size_t Width)
{
    Bytes b = S(Text);
    b.resize(Width, 0);
    return b;
}

Bytes V1(const std::string& Title, const Bytes& Comment30, int Genre)
{
    return Cat({S("TAG"), Field(Title, 30), Field("Artist", 30), Field("Album", 30), Field("1999", 4), Comment30,
                B({Genre})});
}

int Load(tags::TID3v1Tag& Tag, const Bytes& Data)
{
    rtl::TMemoryStream s;
    Fill(s, Data);
    return Tag.LoadFromStream(s);
}

Bytes Lyrics(const std::string& Fields)
{
    const std::string block = "LYRICSBEGIN" + Fields;
    char size[8];
    std::snprintf(size, sizeof size, "%06zu", block.size());
    return S(block + size + "LYRICS200");
}

} // namespace

TEST(ID3v1Load, AStreamThatIsOnlyTheBlock)
{
    tags::TID3v1Tag tag;
    ASSERT_EQ(Load(tag, V1("Title", Cat({Field("Comment", 28), B({0, 5})}), 17)), 0);
    EXPECT_TRUE(tag.Loaded);
    EXPECT_EQ(tag.Title, u"Title");
    EXPECT_EQ(tag.Year, u"1999");
    EXPECT_EQ(tag.Comment, u"Comment");
    EXPECT_EQ(tag.Genre, u"Rock");
    EXPECT_TRUE(tag.Revision1);
    EXPECT_EQ(tag.Track, 5);
    EXPECT_EQ(tag.TrackString, u"5");
    EXPECT_EQ(Load(tag, Bytes(100, 'x')), 0xFFFF);
    EXPECT_FALSE(tag.Loaded);
}

TEST(ID3v1Load, VersionOneZeroHasNoTrack)
{
    tags::TID3v1Tag tag;
    ASSERT_EQ(Load(tag, Cat({Bytes(10, 1), V1("T", Field("A comment of thirty characters", 30), 255)})), 0);
    EXPECT_FALSE(tag.Revision1);
    EXPECT_EQ(tag.Track, 0);
    EXPECT_TRUE(tag.TrackString.isEmpty());
    EXPECT_EQ(tag.Comment, u"A comment of thirty characters");
    EXPECT_EQ(tag.Genre, u"");
}

TEST(ID3v1Load, GenreBytesAndTextDecoding)
{
    tags::TID3v1Tag tag;
    Load(tag, V1("T", Field("", 30), 200));
    EXPECT_EQ(tag.Genre, u"200");
    tag.TreatUnknownGenresAsOther = true;
    Load(tag, V1("T", Field("", 30), 200));
    EXPECT_EQ(tag.Genre, u"Other");
    Load(tag, V1("\x80 and \xE9", Field("", 30), 0));
    EXPECT_EQ(tag.Title, u"\u20AC and \u00E9");
    tag.ReturnANSIText = false;
    Load(tag, V1("\x80 and \xE9", Field("", 30), 0));
    EXPECT_EQ(tag.Title, u"\u0080 and \u00E9");
}

TEST(ID3v1Lyrics, FieldsAndExtendedTitle)
{
    tags::TID3v1Tag tag;
    const Bytes file = Cat({S("audio"), Lyrics("IND00003011LYR00005HelloETT00040A title that is longer than thirty chars"),
                            V1("A title that is longer than th", Field("", 30), 0)});
    ASSERT_EQ(Load(tag, file), 0);
    EXPECT_EQ(tag.Title, u"A title that is longer than thirty chars");
    EXPECT_EQ(tag.GetLyrics(), u"Hello");
    EXPECT_TRUE(tag.LyricsHasTimeStamp);
    EXPECT_TRUE(tag.InhibitTracksForRandomSelection);
    EXPECT_EQ(tag.LyricsFrameCount(), 3);
    EXPECT_EQ(tag.FLyricsTagSize, uint32_t(11 + 11 + 13 + 48 + 15));
}

TEST(ID3v1Lyrics, AnEttFieldThatDoesNotHoldTheTitleLeavesIt)
{
    tags::TID3v1Tag tag;
    ASSERT_EQ(Load(tag, Cat({Lyrics("ETT00005Other"), V1("Title", Field("", 30), 0)})), 0);
    EXPECT_EQ(tag.Title, u"Title");
}

TEST(ID3v1Lyrics, BrokenBlocksAreSafe)
{
    const Bytes v1 = V1("T", Field("", 30), 0);
    tags::TID3v1Tag tag;
    // No LYRICSBEGIN where the size points: the fields are not read, the block size is still known.
    ASSERT_EQ(Load(tag, Cat({S("xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx000010LYRICS200"), v1})), 0);
    EXPECT_EQ(tag.LyricsFrameCount(), 0);
    // A size larger than the file.
    EXPECT_EQ(Load(tag, Cat({S("999999LYRICS200"), v1})), 0);
    // Size digits that are not a number cost the Lyrics3 block, never the ID3v1 fields.
    EXPECT_EQ(Load(tag, Cat({S("LYRICSBEGIN00x0LYRICS200"), v1})), 0);
    EXPECT_EQ(tag.Title, u"T");
    EXPECT_EQ(tag.LyricsFrameCount(), 0);
    // Blank-padded and signed sizes, as other writers make them, convert as the run-time library does.
    ASSERT_EQ(Load(tag, Cat({S("LYRICSBEGINLYR    3abc    22LYRICS200"), v1})), 0);
    EXPECT_EQ(tag.GetLyrics(), u"abc");
    EXPECT_EQ(tag.FLyricsTagSize, 22u + 15);
    ASSERT_EQ(Load(tag, Cat({S("LYRICSBEGINLYR+0003abc+00022LYRICS200"), v1})), 0);
    EXPECT_EQ(tag.GetLyrics(), u"abc");
    // A field claiming more bytes than the block has.
    ASSERT_EQ(Load(tag, Cat({Lyrics("LYR99999abc"), v1})), 0);
    EXPECT_EQ(tag.GetLyrics(), u"abc");
    // A block with no fields.
    ASSERT_EQ(Load(tag, Cat({Lyrics(""), v1})), 0);
    EXPECT_EQ(tag.LyricsFrameCount(), 0);
}

TEST(ID3v1Lyrics, SetAndRemoveLyrics)
{
    tags::TID3v1Tag tag;
    tag.SetLyrics(QStringLiteral("one"));
    tag.AddLyricsFrame(QStringLiteral("LYR"))->Data = QStringLiteral("two");
    EXPECT_EQ(tag.GetLyrics(), u"two");
    tag.SetLyrics(QString());
    EXPECT_EQ(tag.LyricsFrameCount(), 1);
    EXPECT_EQ(tag.FindLyricsFrame(QStringLiteral("LYR"))->Data, u"two");
    EXPECT_FALSE(tag.DeleteLyricsFrame(1));
}

TEST(ID3v1Genres, LookupsByNumberAndName)
{
    EXPECT_EQ(tags::GenreIndexToText(0), u"Blues");
    EXPECT_EQ(tags::GenreIndexToText(191), u"Psybient");
    EXPECT_EQ(tags::GenreIndexToText(255), u"");
    EXPECT_EQ(tags::GenreIndexToTextOrOther(250), u"Other");
    const std::pair<const char16_t*, int> cases[] = {
        {u"17", 17}, {u"255", 255}, {u"300", 12}, {u"-1", 12}, {u"Rock", 17}, {u"rock", 12}, {u"Psychadelic", 67},
        {u"Psychadelic Rock", 93}, {u"", 255}, {u"  ", 255}};
    for (const auto& [text, index] : cases)
        EXPECT_EQ(tags::GenreTextToIndex(QString::fromUtf16(text)), index) << QString::fromUtf16(text).toStdString();
}
