// tests/tags/TagWAVTest.cpp: RIFF and RF64 WAVE tags: the text rule, INFO sub-chunks, the bext and cart
// records, loading and rewriting files (RF64, two INFO lists, a form that would outgrow RIFF), the
// front's WAV converters, and files made and read by ffmpeg, ffprobe and exiftool.
#include "tags/TagWAV.h"
#include "tags/Tags.h"

#include "rtl/Classes.h"
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

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tagtest;
using namespace Qt::Literals::StringLiterals;

namespace {

const Bytes Fmt = ChunkLE("fmt ", Cat({LE16(1), LE16(2), LE32(8000), LE32(32000), LE16(4), LE16(16)}));
const Bytes Audio = ChunkLE("data", Bytes(400, 0x33));   // 100 sample frames

Bytes Info(const std::vector<Bytes>& SubChunks)
{
    Bytes body = S("INFO");
    for (const auto& c : SubChunks) body = Cat({body, c});
    return ChunkLE("LIST", body);
}

Bytes Text(const std::string& Id, const std::string& Value) { return ChunkLE(Id, Cat({S(Value), B({0})})); }

Bytes Bext(const std::string& Description, const std::string& History = "", uint16_t Loudness = 0)
{
    Bytes record(602, 0);
    std::copy(Description.begin(), Description.end(), record.begin());
    record[346] = 1;   // version
    record[412] = uint8_t(Loudness);
    record[413] = uint8_t(Loudness >> 8);
    return ChunkLE("bext", Cat({record, S(History)}));
}

Bytes Rf64(const Bytes& Chunks, uint64_t DataSize, uint64_t Samples)
{
    return Cat({S("RF64"), LE32(0xFFFFFFFF), S("WAVE"), S("ds64"), LE32(28), LE64(Chunks.size() + 4 + 36), LE64(DataSize),
                LE64(Samples), LE32(0), Chunks});
}

Bytes Rf64Data(const Bytes& Samples) { return Cat({S("data"), LE32(0xFFFFFFFF), Samples}); }

QString Load(tags::TWAVTag& Tag, const Bytes& File)
{
    rtl::TMemoryStream stream;
    Fill(stream, File);
    return QString::number(Tag.LoadFromStream(stream));
}

Bytes Saved(tags::TWAVTag& Tag, const Bytes& File, int Expected = 0)
{
    rtl::TMemoryStream stream;
    Fill(stream, File);
    EXPECT_EQ(Tag.SaveToStream(stream), Expected);
    return Contents(stream);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Text rule and records

struct TTextCase {
    const char* Name;
    QString Text;
    int Width;
    Bytes Expected;
};

class WAVTextRule : public ::testing::TestWithParam<TTextCase> {};

TEST_P(WAVTextRule, StoresAnsiWhenItSurvivesElseUtf8CutBetweenCharacters)
{
    const auto& c = GetParam();
    EXPECT_EQ(tags::TextToFieldBytes(c.Text, c.Width), c.Expected);
    const Bytes bytes = tags::TextToFieldBytes(c.Text, -1);
    EXPECT_EQ(tags::FieldBytesToText(bytes.data(), bytes.size()), c.Text);
}

INSTANTIATE_TEST_SUITE_P(Cases, WAVTextRule, ::testing::Values(
    TTextCase{"Ascii", u"ab"_s, -1, S("ab")},
    TTextCase{"Ansi", u"Zoë"_s, -1, S("Zo\xEB")},
    TTextCase{"AnsiNotCut", u"Zoë"_s, 2, S("Zo\xEB")},   // the field cuts it, not the rule
    TTextCase{"Greek", u"αβγ"_s, -1, S("\xCE\xB1\xCE\xB2\xCE\xB3")},
    TTextCase{"GreekCutBetweenCharacters", u"αβγ"_s, 5, S("\xCE\xB1\xCE\xB2")}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(WAVInfo, TextsListsAndTheLastCharacterOfForeignTexts)
{
    tags::TWAVTag tag;
    tag.AddTextFrame(u"INAM"_s, u"ab"_s);
    EXPECT_EQ(Contents(tag.Frames[0]->Stream), S(std::string("ab\0", 3)));
    rtl::TMemoryStream block;
    tag.CreateTagChunks(block);
    EXPECT_EQ(Contents(block), Info({Text("INAM", "ab")}));   // size 3 and a pad byte

    tags::TWAVTag loaded;
    EXPECT_EQ(Load(loaded, Riff("WAVE", Cat({Fmt, Info({ChunkLE("IART", S("Band")), ChunkLE("ICMT", {}),
                                                          ChunkLE(std::string("IX\0\0", 4), S("x"))}), Audio}))), u"0"_s);
    ASSERT_EQ(loaded.Count(), 3);
    EXPECT_EQ(loaded.Frames[0]->GetAsText(), u"Band"_s);   // no terminator: nothing is lost
    EXPECT_EQ(loaded.Frames[1]->GetAsText(), u""_s);
    EXPECT_EQ(loaded.Frames[2]->Name, u"IX"_s);

    tags::TWAVTagFrame* list = tag.AddFrame(u"TIPL"_s);
    rtl::TStringList lines;
    lines.Add(u"producer=Ann"_s);
    lines.Add(u"mix=Bö"_s);
    list->SetAsList(lines);
    EXPECT_EQ(Contents(list->Stream), S(std::string("producer\r\nAnn\r\n\0mix\r\nB\xF6\r\n\0", 26)));
    rtl::TStringList back;
    EXPECT_TRUE(list->GetAsList(back));
    EXPECT_EQ(back.Text(), lines.Text());
}

TEST(WAVRecords, BextFieldsUmidAndChunkSizes)
{
    tags::TBEXT b;
    b.SetDescription(QString(300, u'd'));
    EXPECT_EQ(b.Description().size(), 256);
    b.SetDescription(QString(255, u'e'));
    EXPECT_EQ(b.Description(), QString(255, u'e'));
    b.SetOriginator(u"Ωmega origin that is far too long"_s);
    EXPECT_LE(tags::TextToFieldBytes(b.Originator()).size(), 32u);
    EXPECT_TRUE(u"Ωmega origin that is far too long"_s.startsWith(b.Originator()));

    EXPECT_EQ(b.UMID(), u""_s);   // version 0
    b.SetUMID(u"0A 1b"_s);
    b.SetVersion(1);
    QStringList pairs{u"0A"_s, u"1B"_s};
    for (int i = 2; i < 64; ++i) pairs << u"00"_s;
    EXPECT_EQ(b.UMID(), pairs.join(u' '));

    tags::TWAVTag tag;
    EXPECT_FALSE(tag.HaveBEXT());
    tag.BEXT.SetDescription(u""_s);
    EXPECT_FALSE(tag.HaveBEXT());
    tag.BEXT.SetCodingHistory(u"A=PCM"_s);
    EXPECT_EQ(tag.CalculateBEXTSize(), 608);
    tag.BEXT.SetCodingHistory(u"A=PCM,F=4800"_s);
    EXPECT_EQ(tag.CalculateBEXTSize(), 616);   // 602 + 12 + a terminator, made even
    tag.BEXT.SetCodingHistory(u"A=PCM,F=48000"_s);
    EXPECT_EQ(tag.CalculateBEXTSize(), 616);
    rtl::TMemoryStream block;
    tag.CreateTagChunks(block);
    const Bytes chunk = Contents(block);
    ASSERT_EQ(chunk.size(), 8u + 616u);
    EXPECT_EQ(Bytes(chunk.begin() + 4, chunk.begin() + 8), LE32(616));
    EXPECT_EQ(tag.BEXT.Version(), 1);   // the default a written chunk gets

    // Read back: the size stays, the history shows without its terminator.
    tags::TWAVTag back;
    ASSERT_EQ(Load(back, Riff("WAVE", Cat({Fmt, chunk, Audio}))), u"0"_s);
    EXPECT_EQ(back.BEXT.CodingHistory(), u"A=PCM,F=48000"_s);
    EXPECT_EQ(back.CalculateBEXTSize(), 616);
}

TEST(WAVRecords, CartTimersAndVersion)
{
    tags::TCART c;
    c.SetVersion(u"0101"_s);
    EXPECT_EQ(c.Version(), u"0101"_s);
    EXPECT_EQ(c.Title(), u""_s);
    EXPECT_TRUE(c.SetPostTimer(3, {u"MRK"_s, 1200}));
    tags::TCART_TIMER t;
    ASSERT_TRUE(c.GetPostTimer(3, t));
    EXPECT_EQ(t.Usage, u"MRK "_s);
    EXPECT_EQ(t.Value, 1200u);
    EXPECT_FALSE(c.GetPostTimer(8, t));
    EXPECT_FALSE(c.SetPostTimer(-1, t));
    EXPECT_FALSE(c.ClearPostTimer(8));
    EXPECT_TRUE(c.ClearPostTimer(3));
    ASSERT_TRUE(c.GetPostTimer(3, t));
    EXPECT_EQ(t.Usage, u""_s);
}

TEST(WAVRecords, CartTimersSetAtOnceLandInTheirSlotsAndSurviveASave)
{
    tags::TCART c;
    c.SetTitle(u"t"_s);
    tags::TTAG_CART_TIMERS timers;
    for (size_t n = 0; n < 8; ++n) {
        timers[n].Usage = {uint8_t('A' + n), 'B', 'C', 'D'};
        timers[n].Value = uint32_t(1000 + n);
    }
    c.SetPostTimer(timers);
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(c.Record[size_t(684 + 8 * n)], uint8_t('A' + n));
        EXPECT_EQ(c.Record[size_t(688 + 8 * n)], uint8_t((1000 + n) & 0xFF));
        EXPECT_EQ(c.Record[size_t(689 + 8 * n)], uint8_t((1000 + n) >> 8));
        tags::TCART_TIMER t;
        ASSERT_TRUE(c.GetPostTimer(n, t));
        EXPECT_EQ(t.Usage, QString(QChar(u'A' + n)) + u"BCD"_s);
        EXPECT_EQ(t.Value, uint32_t(1000 + n));
    }
    EXPECT_EQ(c.Record[683], 0);
    EXPECT_EQ(c.Record[748], 0);

    tags::TWAVTag tag;
    tag.CART = c;
    const Bytes saved = Saved(tag, Riff("WAVE", Cat({Fmt, Audio})));
    tags::TWAVTag back;
    ASSERT_EQ(Load(back, saved), u"0"_s);
    const tags::TTAG_CART_TIMERS read = back.CART.PostTimer();
    for (size_t n = 0; n < 8; ++n) {
        EXPECT_EQ(read[n].Usage, timers[n].Usage);
        EXPECT_EQ(read[n].Value, timers[n].Value);
    }
    // Setting all 8 replaces every one, cleared ones too.
    back.CART.SetPostTimer(tags::TTAG_CART_TIMERS{});
    tags::TCART_TIMER t;
    ASSERT_TRUE(back.CART.GetPostTimer(7, t));
    EXPECT_EQ(t.Usage, u""_s);
    EXPECT_EQ(t.Value, 0u);
}

// ---------------------------------------------------------------------------------------------
// Files

TEST(WAVFile, LoadsFactsAndTheFirstTagsBehindOtherLists)
{
    const Bytes other = ChunkLE("LIST", Cat({S("adtl"), ChunkLE("labl", Cat({LE32(1), S("x"), B({0})}))}));
    const Bytes file = Riff("WAVE", Cat({other, Fmt, Audio, Info({Text("INAM", "First")}), Info({Text("INAM", "Second")})}));
    tags::TWAVTag tag;
    ASSERT_EQ(Load(tag, Cat({Tag(4, 0, Bytes(20, 0)), file})), u"0"_s);   // behind an ID3v2 tag
    ASSERT_EQ(tag.Count(), 1);
    EXPECT_EQ(tag.Frames[0]->GetAsText(), u"First"_s);
    EXPECT_EQ(tag.SampleCount, 100);
    EXPECT_DOUBLE_EQ(tag.PlayTime, 100.0 / 8000);
    EXPECT_EQ(tag.BitRate, 256);
    EXPECT_EQ(tag.Attributes.Channels, 2);

    EXPECT_EQ(Load(tag, S("not a wave file at all")), u"9"_s);
    EXPECT_EQ(Load(tag, Riff("AVI ", Fmt)), u"0"_s);
    EXPECT_EQ(tag.Count(), 0);
    // An INFO sub-chunk claiming more than the file holds fails the load.
    EXPECT_EQ(Load(tag, Riff("WAVE", Cat({Fmt, S("LIST"), LE32(100), S("INFO"), S("INAM"), LE32(0x7FFFFFF0), S("x")}))), u"65535"_s);
    // A block alignment of 0 leaves the facts at zero instead of failing the load.
    const Bytes zeroAlign = ChunkLE("fmt ", Cat({LE16(1), LE16(2), LE32(8000), LE32(32000), LE16(0), LE16(16)}));
    ASSERT_EQ(Load(tag, Riff("WAVE", Cat({zeroAlign, Audio, Info({Text("INAM", "t")})}))), u"0"_s);
    EXPECT_EQ(tag.SampleCount, 0);
    EXPECT_EQ(tag.Count(), 1);
}

TEST(WAVFile, SavePutsTheTagsFirstDropsEveryOldTagChunkAndKeepsTheRest)
{
    const Bytes other = ChunkLE("LIST", Cat({S("adtl"), ChunkLE("note", Cat({LE32(1), S("abc"), B({0})}))}));
    const Bytes junk = ChunkLE("junk", S("odd"));
    const Bytes source = Riff("WAVE", Cat({Fmt, Info({Text("INAM", "Old")}), Audio, other, Bext("old"), junk,
                                           Info({Text("IART", "Second list")})}));
    tags::TWAVTag tag;
    ASSERT_EQ(Load(tag, source), u"0"_s);
    tag.SetTextFrameText(u"INAM"_s, u"New"_s);
    tag.BEXT.SetDescription(u"new description"_s);
    const Bytes saved = Saved(tag, source);
    const Bytes expected = Riff("WAVE", Cat({Info({Text("INAM", "New")}), Bext("new description"), Fmt, Audio, other, junk}));
    EXPECT_EQ(saved, expected);

    // An empty tag strips, and equals what the strip routine writes.
    tags::TWAVTag empty;
    EXPECT_EQ(Saved(empty, source), Riff("WAVE", Cat({Fmt, Audio, other, junk})));
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.wav"_s, source);
    ASSERT_EQ(tags::StripWAVTagsFromFile(file), 0);
    EXPECT_EQ(FileBytes(file), Riff("WAVE", Cat({Fmt, Audio, other, junk})));
    EXPECT_EQ(QDir(dir.QPath()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    // A new file is a form that holds the tags only; a tagged MP3 is refused and kept.
    tags::TWAVTag fresh;
    fresh.AddTextFrame(u"INAM"_s, u"x"_s);
    ASSERT_EQ(fresh.SaveToFile(dir.QFile(u"new.wav"_s)), 0);
    EXPECT_EQ(FileBytes(dir.QFile(u"new.wav"_s)), Riff("WAVE", Info({Text("INAM", "x")})));
    const Bytes id3 = Cat({Tag(4, 0, Bytes(10, 0)), source});
    const QString tagged = WriteFile(dir, u"b.wav"_s, id3);
    EXPECT_EQ(fresh.SaveToFile(tagged), tags::WAVTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT);
    EXPECT_EQ(FileBytes(tagged), id3);
}

TEST(WAVFile, AnOddFormSizeIsRoundedUpToEven)
{
    // A form size that leaves out the last chunk's pad byte, as some writers count it.
    const Bytes source = Cat({S("RIFF"), LE32(4 + uint32_t(Fmt.size()) + 11), S("WAVE"), Fmt, S("junk"), LE32(3), S("abc"), B({0})});
    tags::TWAVTag tag;
    tag.AddTextFrame(u"INAM"_s, u"x"_s);
    const Bytes block = Info({Text("INAM", "x")});
    EXPECT_EQ(Saved(tag, source), Cat({S("RIFF"), LE32(uint32_t(4 + block.size() + Fmt.size() + 11 + 1)), S("WAVE"), block,
                                       Fmt, S("junk"), LE32(3), S("abc"), B({0})}));
}

TEST(WAVFile, Rf64KeepsItsDataAndRewritesOnlyTheDs64Size)
{
    const Bytes samples(400, 0x44);
    const Bytes source = Rf64(Cat({Fmt, Rf64Data(samples)}), 400, 100);
    // The INFO list behind the audio: the walk takes the data size from ds64.
    const Bytes withInfo = Cat({source, Info({Text("INAM", "Behind")})});
    Bytes adjusted = withInfo;
    const Bytes riffSize = LE64(withInfo.size() - 8);
    std::copy(riffSize.begin(), riffSize.end(), adjusted.begin() + 20);
    tags::TWAVTag tag;
    ASSERT_EQ(Load(tag, adjusted), u"0"_s);
    ASSERT_EQ(tag.Count(), 1);
    EXPECT_EQ(tag.Frames[0]->GetAsText(), u"Behind"_s);
    EXPECT_EQ(tag.SampleCount, 100);
    EXPECT_EQ(tag.SampleDataSize, 400);

    tag.SetTextFrameText(u"INAM"_s, u"Front"_s);
    const Bytes saved = Saved(tag, adjusted);
    Bytes expected = Rf64(Cat({Info({Text("INAM", "Front")}), Fmt, Rf64Data(samples)}), 400, 100);
    EXPECT_EQ(saved, expected);

    // A 32-bit size field other than 0xFFFFFFFF is no RF64 form; nor is one whose ds64 chunk claims more
    // than the file holds (as fuzzing found, that size once went straight into an allocation).
    Bytes bad = source;
    bad[4] = 0;
    Saved(tag, bad, tags::WAVTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT);
    bad = source;
    std::fill(bad.begin() + 16, bad.begin() + 20, 0xFF);
    Saved(tag, bad, tags::WAVTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT);
    EXPECT_EQ(Load(tag, bad), u"9"_s);
}

TEST(WAVFile, AFormThatWouldOutgrowRiffIsRefusedBeforeAnythingIsCopied)
{
    // A sparse file of nearly 4 GiB: the data chunk fills the RIFF size to 8 bytes below the limit.
    testing_support::TempDir dir;
    const uint32_t dataSize = 0xFFFFFFFFu - 4 - uint32_t(Fmt.size()) - 8 - 11;   // even: no pad byte
    const Bytes head = Cat({S("RIFF"), LE32(4 + uint32_t(Fmt.size()) + 8 + dataSize), S("WAVE"), Fmt, S("data"), LE32(dataSize)});
    const QString file = WriteFile(dir, u"big.wav"_s, head);
    ASSERT_EQ(::truncate(file.toLocal8Bit().constData(), off_t(head.size()) + dataSize), 0);
    tags::TWAVTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    EXPECT_EQ(tag.SampleCount, int64_t(dataSize / 4));
    tag.AddTextFrame(u"INAM"_s, u"too much"_s);
    EXPECT_EQ(tag.SaveToFile(file), tags::WAVTAGLIBRARY_ERROR_DOESNT_FIT);
    EXPECT_EQ(QDir(dir.QPath()).entryList(QDir::Files | QDir::Hidden), QStringList{u"big.wav"_s});
    EXPECT_EQ(QFileInfo(file).size(), int64_t(head.size()) + dataSize);
}

TEST(WAVFile, FailedReplacementLeavesTheFileAsItWas)
{
    testing_support::TempDir dir;
    // A tag list behind the audio cannot be rewritten in place: the file is replaced.
    const Bytes original = Riff("WAVE", Cat({Fmt, Audio, Info({Text("INAM", "Behind")})}));
    const QString file = WriteFile(dir, u"a.wav"_s, original);
    for (tags::TFileStep step : {tags::TFileStep::Create, tags::TFileStep::Write, tags::TFileStep::Rename}) {
        tags::TWAVTag tag;
        tag.AddTextFrame(u"INAM"_s, u"x"_s);
        TFaultGuard fault(step);
        EXPECT_NE(tag.SaveToFile(file), 0);
        EXPECT_EQ(FileBytes(file), original);
        EXPECT_EQ(QDir(dir.QPath()).entryList(QDir::Files | QDir::Hidden), QStringList{u"a.wav"_s});
    }
}

// ---------------------------------------------------------------------------------------------
// The front's converters

TEST(WAVFront, EntriesFromInfoBextAndCart)
{
    tags::TCART cart;
    cart.SetTitle(u"Cart title"_s);
    cart.SetPostTimer(2, {u"SEG"_s, 77});
    const Bytes cartChunk = ChunkLE("cart", Bytes(cart.Record.begin(), cart.Record.end()));
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.wav"_s, Riff("WAVE", Cat({Fmt, Info({Text("ITRK", "4/10"), Text("IPRD", "A1"),
                                                                                Text("IALB", "A2")}),
                                                                      Bext("desc", "", uint16_t(-2300)), cartChunk, Audio})));
    tags::TTags front;
    ASSERT_EQ(front.LoadFromFile(file), 0);
    EXPECT_EQ(front.GetTag(u"TRACKNUMBER"_s), u"4"_s);
    EXPECT_EQ(front.GetTag(u"TOTALTRACKS"_s), u"10"_s);
    EXPECT_EQ(front.TypeCount(u"ALBUM"_s), 2);
    EXPECT_EQ(front.GetTag(u"BEXT Description"_s), u"desc"_s);
    EXPECT_EQ(front.GetTag(u"BEXT LoudnessValue"_s), u"63236"_s);
    EXPECT_EQ(front.GetTag(u"CART Title"_s), u"Cart title"_s);
    EXPECT_EQ(front.GetTag(u"CART PostTimer2"_s), u"SEG  77"_s);   // usage padded with a blank, then one blank
    int timers = 0;
    for (const auto& t : front.Tags) timers += t->Name.startsWith(u"CART PostTimer"_s) ? 1 : 0;
    EXPECT_EQ(timers, 8);
}

TEST(WAVFront, SavingJoinsRepeatedNamesSetsFieldsAndReplacesLists)
{
    testing_support::TempDir dir;
    const QString file = WriteFile(dir, u"a.wav"_s, Riff("WAVE", Cat({Fmt, Audio})));
    for (int round = 0; round < 2; ++round) {
        tags::TTags front;
        front.LoadFromFile(file);
        front.DeleteAllTags();
        front.Add(u"ARTIST"_s)->Value = u"A"_s;
        front.Add(u"ARTIST"_s)->Value = u"B"_s;
        front.Add(u"ARTIST"_s)->Value = u"a"_s;
        front.Add(round == 0 ? u"TIPL"_s : u"tipl"_s)->Value = u"producer=Ann"_s;
        front.Add(u"TOTALTRACKS"_s)->Value = u"12"_s;
        front.Add(u"bext loudnessvalue"_s)->Value = u"-2300"_s;
        front.Add(u"BEXT TimeReference"_s)->Value = u"5000000000"_s;
        front.Add(u"CART PostTimer3"_s)->Value = u"MRK 1200"_s;
        front.Add(u"CART PostTimer4"_s)->Value = u"1200"_s;
        ASSERT_EQ(front.SaveWAVTag(file), 0);
    }
    tags::TWAVTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    std::vector<std::string> ids;
    for (const auto& f : tag.Frames) ids.push_back(f->Name.toStdString());
    EXPECT_EQ(ids, (std::vector<std::string>{"IART", "TIPL"}));   // one list after two saves
    EXPECT_EQ(tag.Frames[0]->GetAsText(), u"A, B"_s);
    EXPECT_EQ(tag.BEXT.LoudnessValue(), 63236);
    EXPECT_EQ(tag.BEXT.TimeReference(), 5000000000u);
    tags::TCART_TIMER t;
    tag.CART.GetPostTimer(3, t);
    EXPECT_EQ(t.Usage, u"MRK "_s);
    EXPECT_EQ(t.Value, 1200u);
    tag.CART.GetPostTimer(4, t);
    EXPECT_EQ(t.Usage, u"    "_s);
    EXPECT_EQ(t.Value, 1200u);
}

// ---------------------------------------------------------------------------------------------
// Real files

namespace {

testing_support::TRunResult RunPeer(const QString& Program, const QStringList& Args)
{
    auto r = testing_support::RunProgram(Program, Args);
    EXPECT_TRUE(r.Ok()) << Program.toStdString() << ": " << r.Describe() << r.Err.toStdString();
    return r;
}

QByteArray AudioMd5(const QString& File)
{
    return RunPeer(u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-i"_s, File, u"-map"_s, u"0:a"_s, u"-f"_s, u"md5"_s, u"-"_s}).Out;
}

QJsonObject ProbeTags(const QString& File)
{
    return testing_support::FfprobeJson(File).object()[u"format"_s].toObject()[u"tags"_s].toObject();
}

} // namespace

TEST(WAVPeers, FfmpegFilesKeepTheirAudioAndThePeersReadOurTags)
{
    TW_REQUIRE_TOOL("ffmpeg");
    TW_REQUIRE_TOOL("ffprobe");
    TW_REQUIRE_TOOL("exiftool");
    testing_support::TempDir dir;
    const QStringList source = {u"-v"_s, u"error"_s, u"-f"_s, u"lavfi"_s, u"-i"_s, u"sine=duration=1"_s, u"-ac"_s, u"2"_s,
                                u"-metadata"_s, u"title=Old title"_s, u"-metadata"_s, u"artist=Old artist"_s,
                                u"-metadata"_s, u"description=Old description"_s, u"-metadata"_s, u"originator=Them"_s};
    const std::pair<QString, QStringList> kinds[] = {
        {u"plain.wav"_s, {}},
        {u"bext.wav"_s, {u"-write_bext"_s, u"1"_s}},
        {u"rf64.wav"_s, {u"-rf64"_s, u"always"_s, u"-write_bext"_s, u"1"_s}},
    };
    for (const auto& [name, options] : kinds) {
        SCOPED_TRACE(name.toStdString());
        const QString file = dir.QFile(name);
        RunPeer(u"ffmpeg"_s, source + options + QStringList{file});
        const QByteArray audio = AudioMd5(file);
        tags::TTags front;
        ASSERT_EQ(front.LoadFromFile(file), 0);
        EXPECT_EQ(front.GetTag(u"TITLE"_s), u"Old title"_s);
        if (!options.isEmpty()) {
            EXPECT_EQ(front.GetTag(u"BEXT Description"_s), u"Old description"_s);
        }
        front.SetTag(u"TITLE"_s, u"Nameless"_s);   // ASCII; a text outside Windows-1252 goes as UTF-8
        front.SetTag(u"ARTIST"_s, u"Ωmega"_s);
        front.SetTag(u"BEXT Description"_s, u"New description"_s);
        ASSERT_EQ(front.SaveWAVTag(file), 0);
        EXPECT_EQ(AudioMd5(file), audio);
        const QJsonObject probed = ProbeTags(file);
        EXPECT_EQ(probed[u"title"_s].toString(), u"Nameless"_s);
        EXPECT_EQ(probed[u"artist"_s].toString(), u"Ωmega"_s);
        EXPECT_EQ(probed[u"comment"_s].toString(), u"New description"_s);   // ffprobe names the bext description so
        const auto exif = RunPeer(u"exiftool"_s, {u"-j"_s, u"-Title"_s, u"-Description"_s, file});
        const QJsonObject e = QJsonDocument::fromJson(exif.Out).array().at(0).toObject();
        EXPECT_EQ(e[u"Title"_s].toString(), u"Nameless"_s);
        EXPECT_EQ(e[u"Description"_s].toString(), u"New description"_s);
    }
}

namespace {

// Whether the file system under Dir inserts blocks into a file (ext4 and xfs do, tmpfs does not).
bool InsertsBlocks(const testing_support::TempDir& Dir)
{
    const QString probe = WriteFile(Dir, u"probe"_s, Bytes(8192, 0));
    const int fd = ::open(probe.toLocal8Bit().constData(), O_RDWR);
    struct stat st {};
    const bool ok = fd >= 0 && ::fstat(fd, &st) == 0 && ::fallocate(fd, FALLOC_FL_INSERT_RANGE, 0, st.st_blksize) == 0;
    if (fd >= 0) ::close(fd);
    QFile::remove(probe);
    return ok;
}

uint64_t GetLE(const Bytes& B, size_t At, int N)
{
    uint64_t v = 0;
    for (int i = N - 1; i >= 0; --i) v = v << 8 | B[At + size_t(i)];
    return v;
}

} // namespace

// Saves into the file itself, where the tag chunks lead the form: a longer block gets whole blocks of
// the file system inserted at the start, a shorter one or one that fits the room an earlier save left
// keeps the file's size (the rest a "JUNK" chunk). Each time the audio chunk is the original's bytes,
// the form's size is the file's, its chunks fill it exactly, and we, ffprobe and mutagen read it.
TEST(WAVFile, SavesInPlaceKeepTheAudioAndGetTheSizesRight)
{
    TW_REQUIRE_TOOL("ffprobe");
    TW_REQUIRE_TOOL("/usr/bin/python3", "import mutagen");
    testing_support::TempDir dir;
    if (!InsertsBlocks(dir)) GTEST_SKIP() << "the file system cannot insert blocks";
    Bytes samples(4000);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = uint8_t(i * 7 + i / 256);
    const Bytes riffData = ChunkLE("data", samples);
    const Bytes rf64Data = Rf64Data(samples);
    struct TKind {
        const char* Name;
        Bytes File;
        Bytes Audio;   // the data chunk, last in the file
    };
    const TKind kinds[] = {
        {"riff.wav", Riff("WAVE", Cat({Info({Text("INAM", "Old")}), Fmt, riffData})), riffData},
        {"rf64.wav", Rf64(Cat({Info({Text("INAM", "Old")}), Fmt, rf64Data}), samples.size(), 1000), rf64Data},
    };
    struct TStep {
        const char* What;
        std::string Title;
        std::string Description;
        bool Grows;
        int Left = -1;   // when set, the title is as long as leaves this many bytes of the room
    };
    const TStep steps[] = {
        {"a longer title and a bext chunk", std::string(301, 't'), "described", true},
        {"the bext chunk taken out", "T", "", false},
        {"a longer title into the room left", std::string(1500, 'u'), "", false},
        {"a title that fills the room exactly", "", "", false, 0},
        {"a title that leaves too little for a filler", "", "", true, 2},
        {"more than a block", std::string(9000, 'w'), "", true},
        {"everything taken out", "", "", false},
    };
    QStringList riffCopies;
    for (const TKind& kind : kinds) {
        SCOPED_TRACE(kind.Name);
        const QString file = WriteFile(dir, QString::fromLatin1(kind.Name), kind.File);
        const bool rf64 = kind.File[0] == 'R' && kind.File[1] == 'F';
        int n = 0;
        for (const TStep& step : steps) {
            SCOPED_TRACE(step.What);
            const Bytes before = FileBytes(file);
            std::string title = step.Title;
            tags::TWAVTag tag;
            ASSERT_EQ(tag.LoadFromFile(file), 0);
            if (step.Description.empty()) tag.BEXT.Clear();
            else tag.BEXT.SetDescription(QString::fromStdString(step.Description));
            if (step.Left >= 0) {
                // The room runs from the form's header to "fmt "; a one-letter title takes 2 bytes of the
                // chunks, a longer one its length and the zero byte.
                const auto fmt = std::search(before.begin(), before.end(), Fmt.begin(), Fmt.begin() + 4);
                const size_t room = size_t(fmt - before.begin()) - (rf64 ? 48 : 12);
                tag.SetTextFrameText(u"INAM"_s, u"x"_s);
                rtl::TMemoryStream chunks;
                tag.CreateTagChunks(chunks);
                title = std::string(room - size_t(step.Left) - size_t(chunks.Size()) + 1, 'x');
            }
            tag.SetTextFrameText(u"INAM"_s, QString::fromStdString(title));
            ASSERT_EQ(tag.SaveToFile(file), 0);
            const Bytes now = FileBytes(file);
            ASSERT_GE(now.size(), kind.Audio.size());
            EXPECT_TRUE(std::equal(kind.Audio.begin(), kind.Audio.end(), now.end() - ptrdiff_t(kind.Audio.size())));
            struct stat st {};
            ASSERT_EQ(::stat(file.toLocal8Bit().constData(), &st), 0);
            if (step.Grows) {
                EXPECT_GT(now.size(), before.size());
                EXPECT_EQ((now.size() - before.size()) % size_t(st.st_blksize), 0u);
            } else {
                EXPECT_EQ(now.size(), before.size());
            }
            EXPECT_EQ(GetLE(now, rf64 ? 20 : 4, rf64 ? 8 : 4), now.size() - 8);
            // The chunks tile the form: no gap, no overlap, no odd start.
            size_t pos = rf64 ? 48 : 12;
            while (pos + 8 <= now.size()) {
                const bool data = std::equal(now.begin() + ptrdiff_t(pos), now.begin() + ptrdiff_t(pos + 4), "data");
                const uint64_t size = data && rf64 ? samples.size() : GetLE(now, pos + 4, 4);
                pos += 8 + size + (size & 1);
            }
            EXPECT_EQ(pos, now.size());
            tags::TWAVTag back;
            ASSERT_EQ(back.LoadFromFile(file), 0);
            EXPECT_EQ(back.Count(), title.empty() ? 0 : 1);
            if (!title.empty()) EXPECT_EQ(back.Frames[0]->GetAsText(), QString::fromStdString(title));
            EXPECT_EQ(back.BEXT.Description(), QString::fromStdString(step.Description));
            EXPECT_EQ(back.SampleCount, 1000);
            // ffprobe (slow to start) reads the first grown file and the one without a filler chunk.
            if (&step == &steps[0] || step.Left == 0)
                EXPECT_EQ(ProbeTags(file)[u"title"_s].toString(), QString::fromStdString(title));
            if (!rf64) {
                const QString copy = dir.QFile(u"riff-%1.wav"_s.arg(n++));
                ASSERT_TRUE(QFile::copy(file, copy));
                riffCopies << copy;
            }
        }
        EXPECT_EQ(QDir(dir.QPath()).entryList({u"*.tw-tmp"_s}, QDir::Files | QDir::Hidden), QStringList{});
    }
    // mutagen walks the RIFF chunks strictly (it reads no RF64): one run over every saved state.
    const auto run = testing_support::RunProgram(u"/usr/bin/python3"_s,
        QStringList{u"-c"_s, u"import sys, mutagen.wave\nfor f in sys.argv[1:]: print(round(mutagen.wave.WAVE(f).info.length * 8000))"_s} + riffCopies);
    ASSERT_TRUE(run.Ok()) << run.Describe() << run.Err.toStdString();
    EXPECT_EQ(QString::fromUtf8(run.Out).split(u'\n', Qt::SkipEmptyParts), QStringList(riffCopies.size(), u"1000"_s));
}

// A write or flush that fails in place takes the inserted room out and puts the old chunks back.
TEST(WAVFile, AFailedWriteInPlaceLeavesTheFileAsItWas)
{
    testing_support::TempDir dir;
    if (!InsertsBlocks(dir)) GTEST_SKIP() << "the file system cannot insert blocks";
    const Bytes original = Riff("WAVE", Cat({Info({Text("INAM", "Old")}), Fmt, Audio}));
    const QString file = WriteFile(dir, u"a.wav"_s, original);
    for (tags::TFileStep step : {tags::TFileStep::Write, tags::TFileStep::Flush}) {
        for (const std::string& title : {std::string(5000, 'x'), std::string("New")}) {   // grows; fits
            tags::TWAVTag tag;
            ASSERT_EQ(tag.LoadFromFile(file), 0);
            tag.SetTextFrameText(u"INAM"_s, QString::fromStdString(title));
            TFaultGuard fault(step);
            EXPECT_EQ(tag.SaveToFile(file), tags::WAVTAGLIBRARY_ERROR_WRITING_FILE);
            EXPECT_EQ(FileBytes(file), original);
            EXPECT_EQ(QDir(dir.QPath()).entryList(QDir::Files | QDir::Hidden), QStringList{u"a.wav"_s});
        }
    }
}
