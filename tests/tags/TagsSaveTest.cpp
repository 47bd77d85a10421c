// tests/tags/TagsSaveTest.cpp: how the tag front chooses the formats of a file when it saves, the ID3v2
// and ID3v1 writers, the file date, and stripping.
#include "tags/Tags.h"

#include "tags/TagID3v1.h"
#include "tags/ID3v2ContainerWriters.h"
#include "tags/TagID3v2.h"

#include "rtl/Files.h"
#include "rtl/Streams.h"

#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"
#include "tests/tags/TagTestSupport.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

using namespace tagtest;
using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray Q(const Bytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())); }
Bytes TextFrame(const std::string& Id, const std::string& Value) { return Frame3(Id, Cat({B({0}), S(Value)})); }

Bytes V1Block(const std::string& Title)
{
    Bytes title = S(Title);
    title.resize(30, 0);
    return Cat({S("TAG"), title, Bytes(94, 0), B({255})});
}

// MPEG-1 layer III frames (128 kbit/s, 44.1 kHz): 417 bytes each.
Bytes MpegAudio(int Frames = 4)
{
    Bytes out;
    for (int i = 0; i < Frames; ++i) {
        Bytes frame = B({0xFF, 0xFB, 0x90, 0x64});
        frame.resize(417, 0x55);
        out.insert(out.end(), frame.begin(), frame.end());
    }
    return out;
}

Bytes Wave()
{
    const Bytes fmt = Cat({S("fmt "), LE32(16), LE16(1), LE16(1), LE32(8000), LE32(16000), LE16(2), LE16(16)});
    const Bytes data = Cat({S("data"), LE32(16), Bytes(16, 0)});
    return Cat({S("RIFF"), LE32(uint32_t(4 + fmt.size() + data.size())), S("WAVE"), fmt, data});
}

bool HasID3v1(const QString& File)
{
    tags::TID3v1Tag tag;
    tag.LoadFromFile(File);
    return tag.Loaded;
}

// The frames of the file's ID3v2 tag, as "ID=text".
QStringList Frames(tags::TID3v2Tag& Tag)
{
    QStringList out;
    for (int i = 0; i < Tag.FrameCount(); ++i) {
        const QString id = tags::FrameIDToString(Tag.Frames[size_t(i)]->ID);
        QString text, description;
        if (id == u"TXXX") {
            text = Tag.GetUnicodeUserDefinedTextInformation(i, description).replace(u"\r\n"_s, u"|"_s);
            text = description + u':' + text;
        } else if (id == u"WXXX") {
            text = Tag.GetUnicodeUserDefinedURLLink(i, description);
            text = description + u':' + text;
        } else if (id == u"COMM" || id == u"USLT") {
            tags::TLanguageID language;
            text = Tag.GetUnicodeContent(i, language, description);
            text = tags::LanguageIDToString(language) + u':' + description + u':' + text;
        } else if (id == u"PCNT") {
            text = QString::number(Tag.GetPlayCount(i));
        } else if (id.startsWith(u'T')) {
            text = Tag.GetUnicodeText(i).replace(u"\r\n"_s, u"|"_s);
        } else if (id.startsWith(u'W')) {
            text = Tag.GetURL(i);
        }
        out << id + u'=' + text;
    }
    return out;
}

QStringList FileFrames(const QString& File)
{
    tags::TID3v2Tag tag;
    tag.LoadFromFile(File);
    return Frames(tag);
}

} // namespace

// ---- choosing the formats --------------------------------------------------------------------------

TEST(TagsSaveAutomatic, OtherFileIsChosenByItsContentAndGetsTheSourceFrames)
{
    testing_support::TempDir dir;
    const Bytes source = Cat({Tag(3, 0, Cat({TextFrame("TIT2", "Title"), TextFrame("TLEN", "1234"),
                                             Frame3("PRIV", S("owner\0data")), TextFrame("TLEN", "99")})),
                              MpegAudio(), V1Block("V1")});
    const QString in = dir.Write(u"in.mp3"_s, Q(source));
    const QString out = dir.Write(u"out.bin"_s, Q(MpegAudio()));
    tags::TTags tags;
    ASSERT_EQ(tags.LoadFromFile(in), 0);
    tags.SetTag(u"ARTIST"_s, u"Someone"_s);
    ASSERT_EQ(tags.SaveToFile(out, tags::ttAutomatic), tags::trcSuccess);
    // The source's ID3v1 plays no part; its ID3v2 frames pass, less the first TLEN.
    EXPECT_FALSE(HasID3v1(out));
    EXPECT_EQ(FileFrames(out), (QStringList{u"PRIV="_s, u"TLEN=99"_s, u"TIT2=Title"_s, u"TPE1=Someone"_s}));
}

TEST(TagsSaveAutomatic, SameNameInOtherCaseIsAnotherFile)
{
    testing_support::TempDir dir;
    const QString lower = dir.Write(u"song.mp3"_s, Q(Cat({MpegAudio(), V1Block("Old")})));
    const QString upper = dir.Write(u"SONG.MP3"_s, Q(MpegAudio()));
    tags::TTags tags;
    ASSERT_EQ(tags.LoadFromFile(lower), 0);
    ASSERT_TRUE(tags.ID3v1Tag->Loaded);
    tags.SetTag(u"TITLE"_s, u"New"_s);
    ASSERT_EQ(tags.SaveToFile(upper, tags::ttAutomatic), tags::trcSuccess);
    EXPECT_FALSE(HasID3v1(upper));   // the re-save phase belongs to the loaded file only
    EXPECT_EQ(FileFrames(upper), QStringList{u"TIT2=New"_s});
    tags::TID3v1Tag v1;
    v1.LoadFromFile(lower);
    EXPECT_EQ(v1.Title, u"Old");
}

TEST(TagsSaveAutomatic, LoadedFileWithOnlyID3v1GetsBothTags)
{
    testing_support::TempDir dir;
    const QString file = dir.Write(u"a.mp3"_s, Q(Cat({MpegAudio(), V1Block("Old")})));
    tags::TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), 0);
    tags.SetTag(u"TITLE"_s, u"New"_s);
    ASSERT_EQ(tags.SaveToFile(dir.QPath() + u"/./a.mp3"_s, tags::ttAutomatic), tags::trcSuccess);
    tags::TID3v1Tag v1;
    v1.LoadFromFile(file);
    EXPECT_EQ(v1.Title, u"New");
    EXPECT_EQ(FileFrames(file), QStringList{u"TIT2=New"_s});
}

TEST(TagsSaveAutomatic, LoadedFileWithID3v2IsRewrittenWithoutSniffing)
{
    testing_support::TempDir dir;
    // Content that no sniffer recognises: only the re-save phase can write here.
    const QString file = dir.Write(u"a.xyz"_s, Q(Cat({Tag(3, 0, TextFrame("TIT2", "Old")), Bytes(100, 0)})));
    tags::TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), 0);
    tags.SetTag(u"TITLE"_s, u"New"_s);
    ASSERT_EQ(tags.SaveToFile(file, tags::ttAutomatic), tags::trcSuccess);
    EXPECT_EQ(FileFrames(file), QStringList{u"TIT2=New"_s});
}

TEST(TagsSaveAutomatic, WaveOutputGetsAnID3v2ChunkBeforeTheRIFFTags)
{
    testing_support::TempDir dir;
    const QString out = dir.Write(u"out.wav"_s, Q(Wave()));
    tags::TTags tags;
    tags.SetTag(u"TITLE"_s, u"In WAV"_s);
    tags.SaveToFile(out, tags::ttAutomatic);
    EXPECT_EQ(FileFrames(out), QStringList{u"TIT2=In WAV"_s});
    EXPECT_EQ(tags::SniffAudioFileFormat(out), 9);
}

TEST(TagsSaveAutomatic, UnknownContentFallsBackToTheExtension)
{
    testing_support::TempDir dir;
    const QString out = dir.Write(u"zeros.mp3"_s, Q(Bytes(4096, 0)));
    tags::TTags tags;
    tags.SetTag(u"TITLE"_s, u"T"_s);
    EXPECT_EQ(tags.SaveToFile(out, tags::ttAutomatic), tags::trcSuccess);
    EXPECT_EQ(FileFrames(out), QStringList{u"TIT2=T"_s});
}

TEST(TagsSaveOneFormat, ID3v1OnlyAndTypesWithoutWriter)
{
    testing_support::TempDir dir;
    const QByteArray wave = Q(Wave());
    const QString file = dir.Write(u"a.wav"_s, wave);
    tags::TTags tags;
    tags.SetTag(u"TITLE"_s, u"T"_s);
    EXPECT_EQ(tags.SaveToFile(file, tags::ttMP4Xtra), 0xFFFF);
    EXPECT_EQ(tags.SaveToFile(file, tags::ttNone), 0xFFFF);
    EXPECT_EQ(testing_support::ReadFileBytes(file), wave);
    ASSERT_EQ(tags.SaveToFile(file, tags::ttID3v1), tags::trcSuccess);
    const QByteArray after = testing_support::ReadFileBytes(file);
    EXPECT_EQ(after.left(wave.size()), wave);
    EXPECT_EQ(after.size(), wave.size() + 128);
    EXPECT_TRUE(FileFrames(file).isEmpty());
}

TEST(TagsSaveFileDate, PreservedWithinTwoSeconds)
{
    testing_support::TempDir dir;
    const QString file = dir.Write(u"a.mp3"_s, Q(MpegAudio()));
    const time_t old = 1600000001;   // an odd second: the date goes through two-second steps
    struct utimbuf times { old, old };
    ASSERT_EQ(utime(file.toLocal8Bit().constData(), &times), 0);
    tags::TTags tags;
    tags.SetTag(u"TITLE"_s, u"T"_s);
    tags.PreserveFileDate = true;
    ASSERT_EQ(tags.SaveToFile(file, tags::ttID3v2), tags::trcSuccess);
    struct stat st {};
    ASSERT_EQ(stat(file.toLocal8Bit().constData(), &st), 0);
    EXPECT_LE(std::llabs(int64_t(st.st_mtime) - old), 2);

    tags.PreserveFileDate = false;
    tags.SetTag(u"TITLE"_s, u"Longer title that needs a rebuild of the whole file......"_s);
    ASSERT_EQ(tags.SaveToFile(file, tags::ttID3v2), tags::trcSuccess);
    ASSERT_EQ(stat(file.toLocal8Bit().constData(), &st), 0);
    EXPECT_GT(int64_t(st.st_mtime), int64_t(old) + 1000);
}

// ---- the ID3v2 writer ------------------------------------------------------------------------------

struct WriteCase {
    const char* name;
    std::vector<std::pair<QString, QString>> entries;
    QStringList frames;
};

class TagsID3v2Writer : public ::testing::TestWithParam<WriteCase> {};

TEST_P(TagsID3v2Writer, WritesFramesFromEntries)
{
    tags::TTags tags;
    for (const auto& [name, value] : GetParam().entries) tags.Add(name)->Value = value;
    rtl::TMemoryStream out;
    ASSERT_EQ(tags.SaveID3v2Tag(QString(), true, &out), 0);
    tags::TID3v2Tag written;
    out.SetPosition(0);
    ASSERT_EQ(written.LoadFromStream(out), 0);
    EXPECT_EQ(Frames(written), GetParam().frames);
}

INSTANTIATE_TEST_SUITE_P(Cases, TagsID3v2Writer, ::testing::Values(
    WriteCase{"TrackJoinsTotal", {{u"TRACKNUMBER"_s, u"3"_s}, {u"TOTALTRACKS"_s, u"12"_s}},
              {u"TRCK=3/12"_s, u"TXXX=TOTALTRACKS:12"_s}},
    WriteCase{"TrackTotalFallback", {{u"TRACKNUMBER"_s, u"3"_s}, {u"TRACKTOTAL"_s, u"10"_s}},
              {u"TRCK=3/10"_s, u"TXXX=TRACKTOTAL:10"_s}},
    WriteCase{"LaterTrackWins", {{u"TRACK"_s, u"4"_s}, {u"TRACKNUMBER"_s, u"5"_s}}, {u"TRCK=5"_s}},
    WriteCase{"DiscJoinsTotal", {{u"disc"_s, u"1"_s}, {u"DISCTOTAL"_s, u"2"_s}}, {u"TPOS=1/2"_s, u"TXXX=DISCTOTAL:2"_s}},
    WriteCase{"TextValuesInOneFrame", {{u"ARTIST"_s, u"A"_s}, {u"artist"_s, u"B"_s}, {u"ARTIST"_s, u"a"_s}},
              {u"TPE1=A|B"_s}},
    WriteCase{"TextFrameAtItsLastEntry", {{u"ARTIST"_s, u"A"_s}, {u"ALBUM"_s, u"x"_s}, {u"artist"_s, u"B"_s}},
              {u"TALB=x"_s, u"TPE1=A|B"_s}},
    WriteCase{"LaterCommentWins", {{u"COMMENT"_s, u"first"_s}, {u"COMMENT"_s, u"second"_s}}, {u"COMM=eng::second"_s}},
    WriteCase{"MappedAndUserText", {{u"MOOD"_s, u"calm"_s}, {u"CATALOGNUMBER"_s, u"C1"_s}, {u"RATING"_s, u"5"_s}},
              {u"TMOO=calm"_s, u"TXXX=CATALOGNUMBER:C1"_s, u"TXXX=RATING:5"_s}},
    WriteCase{"UserTextAtItsLastEntry", {{u"LABEL"_s, u"a"_s}, {u"ARTIST"_s, u"x"_s}, {u"label"_s, u"b"_s}},
              {u"TPE1=x"_s, u"TXXX=label:a|b"_s}},
    WriteCase{"UserTextAtItsLastEntryNonAscii",
              {{u"LABEL"_s, u"a"_s}, {u"ARTIST"_s, u"x"_s}, {u"label"_s, u"b"_s}, {u"\u00C4ra"_s, u"y"_s}},
              {u"TPE1=x"_s, u"TXXX=label:a|b"_s, u"TXXX=\u00C4ra:y"_s}},
    WriteCase{"UrlAndPlayCount", {{u"ARTISTURL"_s, u"http://a"_s}, {u"PLAYCOUNT"_s, u"12"_s}, {u"PLAYCOUNT"_s, u"x"_s}},
              {u"WOAR=http://a"_s, u"PCNT=0"_s}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TagsID3v2Writer, KeepsUnnamedFramesAndReplacesPicturesAndUserTexts)
{
    const Bytes apic = Cat({B({0}), S("image/png"), B({0, 3, 0}), B({0x89, 'P', 'N', 'G'})});
    const Bytes txxx = Cat({B({0}), S("catalognumber"), B({0}), S("old")});
    tags::TTags tags;
    rtl::TMemoryStream s;
    Fill(s, Tag(3, 0, Cat({Frame3("APIC", apic), Frame3("APIC", apic), Frame3("TXXX", txxx), Frame3("PRIV", S("p")),
                           TextFrame("TPE1", "Old")})));
    ASSERT_EQ(tags.ID3v2Tag->LoadFromStream(s), 0);
    tags.Add(u"CATALOGNUMBER"_s)->Value = u"new"_s;
    tags::TTag* comment = tags.Add(u"COMMENT"_s);
    comment->Value = u"text"_s;
    comment->Language = u"deu"_s;
    comment->Description = u"d"_s;
    tags::TTag* url = tags.Add(u"Shop"_s);
    url->Value = u"https://shop"_s;
    url->Description = u"Shop"_s;
    url->ExtTagType = tags::ettWXXX;
    tags::TCoverArt* art = tags.AddCoverArt(u"c"_s);
    art->Stream->WriteBuffer("\xFF\xD8\xFF", 3);
    art->MIMEType = u"image/jpeg"_s;
    art->CoverType = 3;
    art->Description = u"front"_s;

    rtl::TMemoryStream out;
    ASSERT_EQ(tags.SaveID3v2Tag(QString(), true, &out), 0);
    tags::TID3v2Tag written;
    out.SetPosition(0);
    ASSERT_EQ(written.LoadFromStream(out), 0);
    EXPECT_EQ(Frames(written), (QStringList{u"PRIV="_s, u"TPE1=Old"_s, u"TXXX=CATALOGNUMBER:new"_s,
                                            u"COMM=deu:d:text"_s, u"WXXX=Shop:https://shop"_s, u"APIC="_s}));
    rtl::TMemoryStream picture;
    QString mime, description;
    int type = 0;
    ASSERT_TRUE(written.GetUnicodeCoverPictureStream(5, picture, mime, description, type));
    EXPECT_EQ(mime, u"image/jpeg");
    EXPECT_EQ(description, u"front");
    EXPECT_EQ(type, 3);
    EXPECT_EQ(picture.Size(), 3);
}

TEST(TagsID3v2Writer, PictureFramesAlreadyAsWrittenAreKept)
{
    testing_support::TempDir dir;
    const QString file = dir.Write(u"a.mp3"_s, Q(MpegAudio()));
    tags::TTags tags;
    tags.SetTag(u"TITLE"_s, u"T"_s);
    for (const char* description : {"front", "back"}) {
        tags::TCoverArt* art = tags.AddCoverArt(u"c"_s);
        art->Stream->WriteBuffer("\xFF\xD8\xFF picture", 11);
        art->MIMEType = u"image/jpeg"_s;
        art->CoverType = 3;
        art->Description = QString::fromLatin1(description);
    }
    ASSERT_EQ(tags.SaveToFile(file, tags::ttID3v2), tags::trcSuccess);
    const QByteArray first = testing_support::ReadFileBytes(file);

    tags::TTags again;
    ASSERT_EQ(again.LoadFromFile(file), 0);
    ASSERT_EQ(again.CoverArtCount(), 2);
    const tags::TID3v2Frame* kept = again.ID3v2Tag->Frames.back().get();
    ASSERT_EQ(again.SaveToFile(file, tags::ttID3v2), tags::trcSuccess);
    EXPECT_EQ(again.ID3v2Tag->Frames.back().get(), kept);   // behind the rewritten title, as rebuilt ones would be
    EXPECT_EQ(testing_support::ReadFileBytes(file), first);

    // A changed picture is written anew, and so are pictures whose order changed.
    again.CoverArts[1]->Description = u"Back"_s;
    ASSERT_EQ(again.SaveToFile(file, tags::ttID3v2), tags::trcSuccess);
    {
        // (not by the frame's address: a rebuilt frame may well get the freed one's memory)
        tags::TTags changed;
        ASSERT_EQ(changed.LoadFromFile(file), 0);
        ASSERT_EQ(changed.CoverArtCount(), 2);
        EXPECT_EQ(changed.CoverArts[1]->Description, u"Back");
    }
    std::swap(again.CoverArts[0], again.CoverArts[1]);
    ASSERT_EQ(again.SaveToFile(file, tags::ttID3v2), tags::trcSuccess);
    tags::TTags check;
    ASSERT_EQ(check.LoadFromFile(file), 0);
    ASSERT_EQ(check.CoverArtCount(), 2);
    EXPECT_EQ(check.CoverArts[0]->Description, u"Back");
    EXPECT_EQ(check.CoverArts[1]->Description, u"front");
}

TEST(TagsID3v2Writer, ClearingFramesReportsWhetherAnyWent)
{
    tags::TID3v2Tag tag;
    EXPECT_FALSE(tags::TTags::ClearAllID3v2FramesByID(tag, u"TPE1"_s));
    tag.AddFrame(u"TPE1"_s);
    tag.AddFrame(u"TIT2"_s);
    tag.AddFrame(u"TPE1"_s);
    EXPECT_TRUE(tags::TTags::ClearAllID3v2FramesByID(tag, u"TPE1"_s));
    EXPECT_EQ(tag.FrameCount(), 1);
    EXPECT_FALSE(tags::TTags::ClearAllID3v2FramesTXXXByDescription(tag, u"X"_s));
}

// ---- the ID3v1 writer ------------------------------------------------------------------------------

TEST(TagsID3v1Writer, YearAndTrackFallBack)
{
    testing_support::TempDir dir;
    const QString file = dir.Write(u"a.mp3"_s, Q(MpegAudio(1)));
    tags::TTags tags;
    tags.Add(u"RELEASEDATE"_s)->Value = u"2020-05-01"_s;
    tags.Add(u"RECORDINGDATE"_s)->Value = u"1990"_s;
    tags.Add(u"TRACKNUMBER"_s)->Value = u"256"_s;
    tags.Add(u"TRACK"_s)->Value = u"7"_s;
    tags.Add(u"GENRE"_s)->Value = u"Rock"_s;
    tags.ID3v1Tag->Title = u"stale"_s;
    ASSERT_EQ(tags.SaveID3v1Tag(file), 0);
    tags::TID3v1Tag v1;
    ASSERT_EQ(v1.LoadFromFile(file), 0);
    EXPECT_EQ(v1.Title, u"");
    EXPECT_EQ(v1.Year, u"2020");
    EXPECT_EQ(v1.Track, 7);
    EXPECT_EQ(v1.Genre, u"Rock");
    EXPECT_TRUE(v1.Revision1);
}

// ---- stripping -------------------------------------------------------------------------------------

TEST(TagsStrip, AutomaticRemovesBothID3TagsAndSucceedsOnAFileWithNone)
{
    testing_support::TempDir dir;
    const Bytes audio = MpegAudio();
    const QString file = dir.Write(u"a.mp3"_s, Q(Cat({Tag(3, 0, TextFrame("TIT2", "T")), audio, V1Block("V1")})));
    ASSERT_EQ(tags::StripTagsFromFile(file, tags::ttAutomatic), tags::trcSuccess);
    EXPECT_EQ(testing_support::ReadFileBytes(file), Q(audio));
    ASSERT_EQ(tags::StripTagsFromFile(file, tags::ttAutomatic), tags::trcSuccess);
    EXPECT_EQ(testing_support::ReadFileBytes(file), Q(audio));
}

TEST(TagsStrip, AutomaticReportsTheFirstRealFailure)
{
    testing_support::TempDir dir;
    const Bytes audio = MpegAudio();
    const Bytes tagged = Cat({Tag(3, 0, TextFrame("TIT2", "T")), audio, V1Block("V1")});
    const QString file = dir.Write(u"a.mp3"_s, Q(tagged));
    {
        // Another writer holds the file: neither ID3 tag can be taken out, and that is not success.
        rtl::TFileStream holder(file, rtl::fmOpenReadWrite | rtl::fmShareDenyNone);
        EXPECT_EQ(tags::StripTagsFromFile(file, tags::ttAutomatic), tags::trcOpeningFile);
    }
    EXPECT_EQ(testing_support::ReadFileBytes(file), Q(tagged));
    EXPECT_EQ(tags::StripTagsFromFile(file, tags::ttAutomatic), tags::trcSuccess);
    EXPECT_EQ(testing_support::ReadFileBytes(file), Q(audio));
}

TEST(TagsStrip, OneFormatGivesThatUnitsMappedResult)
{
    testing_support::TempDir dir;
    const QString file = dir.Write(u"a.mp3"_s, Q(Cat({MpegAudio(), V1Block("V1")})));
    EXPECT_EQ(tags::StripTagsFromFile(file, tags::ttID3v2), tags::MapID3v2Result(tags::StripID3v2FromFile(file)));
    EXPECT_EQ(tags::StripTagsFromFile(file, tags::ttID3v1), tags::trcSuccess);
    EXPECT_FALSE(HasID3v1(file));
    EXPECT_EQ(tags::StripTagsFromFile(file, tags::ttID3v1), 0xFFFF);   // no block left
}
