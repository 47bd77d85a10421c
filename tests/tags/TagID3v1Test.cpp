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

TEST(ID3v1Lyrics, ExtendedArtistAndAlbumReplaceTheirCutFields)
{
    tags::TID3v1Tag tag;
    const Bytes v1 = Cat({S("TAG"), Field("T", 30), Field("An artist whose name runs lon", 30), Field("An album", 30),
                          Field("1999", 4), Field("", 30), B({0})});
    ASSERT_EQ(Load(tag, Cat({Lyrics("EAR00040An artist whose name runs longer than 30EAL00018An album, extended"), v1})), 0);
    EXPECT_EQ(tag.Artist, u"An artist whose name runs longer than 30");
    EXPECT_EQ(tag.Album, u"An album, extended");
    ASSERT_EQ(Load(tag, Cat({Lyrics("EAR00005OtherEAL00005Other"), v1})), 0);
    EXPECT_EQ(tag.Artist, u"An artist whose name runs lon");
    EXPECT_EQ(tag.Album, u"An album");
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

TEST(ID3v1Genres, EveryNameLeadsBackToItsIndex)
{
    for (int i = 0; i < 256; ++i) {
        const QString text = tags::GenreIndexToText(uint8_t(i));
        EXPECT_EQ(tags::GenreTextToIndex(text), i) << text.toStdString();
    }
}

TEST(ID3v1Genres, TheTableOf192Names)
{
    const char16_t* const names[] = {u"Blues", u"Classic Rock", u"Country", u"Dance", u"Disco", u"Funk", u"Grunge", u"Hip-Hop", u"Jazz", u"Metal", u"New Age", u"Oldies", u"Other", u"Pop", u"R&B", u"Rap", u"Reggae", u"Rock", u"Techno", u"Industrial", u"Alternative", u"Ska", u"Death Metal", u"Pranks", u"Soundtrack", u"Euro-Techno", u"Ambient", u"Trip-Hop", u"Vocal", u"Jazz+Funk", u"Fusion", u"Trance", u"Classical", u"Instrumental", u"Acid", u"House", u"Game", u"Sound Clip", u"Gospel", u"Noise", u"AlternRock", u"Bass", u"Soul", u"Punk", u"Space", u"Meditative", u"Instrumental Pop", u"Instrumental Rock", u"Ethnic", u"Gothic", u"Darkwave", u"Techno-Industrial", u"Electronic", u"Pop-Folk", u"Eurodance", u"Dream", u"Southern Rock", u"Comedy", u"Cult", u"Gangsta", u"Top 40", u"Christian Rap", u"Pop/Funk", u"Jungle", u"Native American", u"Cabaret", u"New Wave", u"Psychedelic", u"Rave", u"Showtunes", u"Trailer", u"Lo-Fi", u"Tribal", u"Acid Punk", u"Acid Jazz", u"Polka", u"Retro", u"Musical", u"Rock & Roll", u"Hard Rock", u"Folk", u"Folk-Rock", u"National Folk", u"Swing", u"Fast Fusion", u"Bebob", u"Latin", u"Revival", u"Celtic", u"Bluegrass", u"Avantgarde", u"Gothic Rock", u"Progressive Rock", u"Psychedelic Rock", u"Symphonic Rock", u"Slow Rock", u"Big Band", u"Chorus", u"Easy Listening", u"Acoustic", u"Humour", u"Speech", u"Chanson", u"Opera", u"Chamber Music", u"Sonata", u"Symphony", u"Booty Bass", u"Primus", u"Porn Groove", u"Satire", u"Slow Jam", u"Club", u"Tango", u"Samba", u"Folklore", u"Ballad", u"Power Ballad", u"Rhythmic Soul", u"Freestyle", u"Duet", u"Punk Rock", u"Drum Solo", u"A capella", u"Euro-House", u"Dance Hall", u"Goa", u"Drum & Bass", u"Club-House", u"Hardcore", u"Terror", u"Indie", u"BritPop", u"Negerpunk", u"Polsk Punk", u"Beat", u"Christian Gangsta Rap", u"Heavy Metal", u"Black Metal", u"Crossover", u"Contemporary Christian", u"Christian Rock", u"Merengue", u"Salsa", u"Trash Metal", u"Anime", u"JPop", u"SynthPop", u"Abstract", u"Art Rock", u"Baroque", u"Bhangra", u"Big Beat", u"Breakbeat", u"Chillout", u"Downtempo", u"Dub", u"EBM", u"Eclectic", u"Electro", u"Electroclash", u"Emo", u"Experimental", u"Garage", u"Global", u"IDM", u"Illbient", u"Industro-Goth", u"Jam Band", u"Krautrock", u"Leftfield", u"Lounge", u"Math Rock", u"New Romantic", u"Nu-Breakz", u"Post-Punk", u"Post-Rock", u"Psytrance", u"Shoegaze", u"Space Rock", u"Trop Rock", u"World Music", u"Neoclassical", u"Audiobook", u"Audio Theatre", u"Neue Deutsche Welle", u"Podcast", u"Indie Rock", u"G-Funk", u"Dubstep", u"Garage Rock", u"Psybient"};
    static_assert(std::size(names) == 192);
    for (int i = 0; i < 192; ++i) EXPECT_EQ(tags::GenreIndexToText(uint8_t(i)), QString::fromUtf16(names[i])) << i;
    EXPECT_EQ(tags::GenreIndexToText(192), u"192");
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

// ---------------------------------------------------------------------------------------------
// Saving and stripping


namespace {

Bytes SaveBlock(tags::TID3v1Tag& Tag, const Bytes& Before = {})
{
    rtl::TMemoryStream s;
    Fill(s, Before);
    EXPECT_EQ(Tag.SaveToStream(s), 0);
    return Contents(s);
}

} // namespace

TEST(ID3v1Save, BlockLayoutTrackAndGenre)
{
    tags::TID3v1Tag tag;
    tag.Title = QStringLiteral("A title that is longer than thirty bytes");
    tag.Artist = QStringLiteral("Artist");
    tag.Album = QStringLiteral("Caf\u00e9");
    tag.Year = QStringLiteral("19999");
    tag.Comment = QString(28, u'c');
    tag.Track = 7;
    tag.Genre = QStringLiteral("Rock");
    const Bytes block = SaveBlock(tag);
    EXPECT_EQ(block, Cat({S("TAG"), S("A title that is longer than th"), Field("Artist", 30), Field("Caf\xe9", 30), S("1999"),
                          Bytes(28, 'c'), B({0, 7, 17})}));
    // 29 bytes of comment: version 1.0, no track byte
    tag.Comment = QString(29, u'c');
    EXPECT_EQ(SaveBlock(tag)[126], 0);
    EXPECT_EQ(SaveBlock(tag)[125], 'c');
    // no genre is 255, not "Other"
    tag.Genre.clear();
    EXPECT_EQ(SaveBlock(tag)[127], 255);
    // without the code page each character gives its low byte
    tag.SetANSIText = false;
    tag.Title = QStringLiteral("\u0141x");
    EXPECT_EQ(SaveBlock(tag)[3], 0x41);
}

TEST(ID3v1Save, RewritesAnOldBlockAndAppendsOtherwise)
{
    tags::TID3v1Tag tag;
    tag.Title = QStringLiteral("New");
    const Bytes audio(300, 0x55);
    const Bytes appended = SaveBlock(tag, audio);
    ASSERT_EQ(appended.size(), 428u);
    EXPECT_EQ(SaveBlock(tag, appended), appended);
    EXPECT_EQ(SaveBlock(tag, V1("Old", Field("", 30), 1)).size(), 128u);

    tags::TID3v1Tag back;
    ASSERT_EQ(Load(back, appended), 0);
    EXPECT_EQ(back.Title, u"New");
    EXPECT_EQ(back.Genre, u"");
}

TEST(ID3v1Save, Lyrics3BlockIsWrittenBeforeTheBlockAndReplacedOnTheNextSave)
{
    testing_support::TempDir dir;
    const Bytes audio(200, 0x33);
    const QString file = WriteFile(dir, QStringLiteral("a.mp3"), audio);
    tags::TID3v1Tag tag;
    tag.Title = QStringLiteral("A title far longer than thirty characters");
    tag.AddLyricsFrame(QStringLiteral("ETT"))->Data = QStringLiteral("x");
    tag.SetLyrics(QStringLiteral("la la"));
    tag.LyricsHasTimeStamp = true;
    ASSERT_EQ(tag.SaveToFile(file, true), 0);
    ASSERT_EQ(tag.SaveToFile(file, true), 0);
    const Bytes out = FileBytes(file);
    const std::string lyrics = "LYRICSBEGININD00003110ETT00041A title far longer than thirty charactersLYR00005la la";
    EXPECT_EQ(out, Cat({audio, S(lyrics), S("000084LYRICS200"), Bytes(out.end() - 128, out.end())}));
    tags::TID3v1Tag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    EXPECT_EQ(back.Title, u"A title far longer than thirty characters");
    EXPECT_EQ(back.GetLyrics(), u"la la");
    EXPECT_EQ(back.FLyricsTagSize, 84u + 15);
}

struct StripCase {
    const char* name;
    Bytes before;
    int result;
    Bytes after;
};

class ID3v1Strip : public ::testing::TestWithParam<StripCase> {};

TEST_P(ID3v1Strip, CutsWhatBelongsToTheTag)
{
    const auto& c = GetParam();
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, QStringLiteral("a.mp3"), c.before);
    EXPECT_EQ(tags::StripID3v1FromFile(file), c.result);
    EXPECT_EQ(FileBytes(file), c.after);
}

const Bytes StripAudio(150, 0x44);
const Bytes StripV1 = V1("T", Field("", 30), 0);

INSTANTIATE_TEST_SUITE_P(Cases, ID3v1Strip, ::testing::Values(
    StripCase{"block", Cat({StripAudio, StripV1}), 0, StripAudio},
    StripCase{"lyrics_and_block", Cat({StripAudio, Lyrics("LYR00003abc"), StripV1}), 0, StripAudio},
    // "LYRICS200" without its "LYRICSBEGIN": the lyrics stay as data, the ID3v1 block still goes
    StripCase{"lyrics_without_begin", Cat({StripAudio, S("xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx000010LYRICS200"), StripV1}), 0,
              Cat({StripAudio, S("xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx000010LYRICS200")})},
    StripCase{"lyrics_size_not_a_number", Cat({StripAudio, S("LYRICSBEGIN00x0LYRICS200"), StripV1}), 0,
              Cat({StripAudio, S("LYRICSBEGIN00x0LYRICS200")})},
    StripCase{"no_block", StripAudio, 0xFFFF, StripAudio},
    StripCase{"short_file", S("TAG"), 0xFFFF, S("TAG")}),
    [](const auto& Info) { return std::string(Info.param.name); });

TEST(ID3v1Save, Lyrics3FieldsLongerThanTheirSizeDigitsAreCutAtACharacter)
{
    rtl::TMemoryStream s;
    Fill(s, Bytes(10, 0x11));
    tags::TID3v1Tag tag;
    tag.SetLyrics(QString(99998, u'a') + QStringLiteral("\u00e9\u00e9"));   // 100002 bytes of UTF-8
    ASSERT_EQ(tag.LyricsTagSaveToStream(s), 0);
    ASSERT_EQ(tag.SaveToStream(s), 0);
    tags::TID3v1Tag back;
    ASSERT_EQ(back.LoadFromStream(s), 0);
    // 99999 bytes would split the first "é": the field ends before it
    EXPECT_EQ(back.GetLyrics(), QString(99998, u'a'));
    EXPECT_EQ(back.FLyricsTagSize, 11u + 11 + 8 + 99998 + 15);
}
