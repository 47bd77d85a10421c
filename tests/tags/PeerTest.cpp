// tests/tags/PeerTest.cpp: the committed fixtures read by the library and by real peers: every frame
// as mutagen reads it, and the audio facts as ffprobe reports them.
#include "tags/TagID3v1.h"
#include "tags/TagID3v2.h"

#include "rtl/Classes.h"
#include "tags/ID3v2ContainerWriters.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"
#include "tests/tags/TagTestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <future>
#include <map>

using namespace tagtest;

namespace {

QStringList TagFixtures()
{
    const QDir dir(FixturePath(QString()));
    QStringList files;
    for (const QString& name : dir.entryList({"tag-*", "id3v1-*"}, QDir::Files, QDir::Name)) files << dir.filePath(name);
    return files;
}

QStringList AudioFixtures()
{
    const QDir dir(FixturePath(QString()));
    QStringList files;
    for (const QString& name : dir.entryList({"*.mp3", "*.wav", "*.aiff", "*.dsf", "*.dff"}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

// One frame in the form dump_mutagen.py prints it.
QJsonObject FieldsOf(tags::TID3v2Tag& Tag, int I)
{
    const QString id = tags::FrameIDToString(Tag.Frames[I]->ID);
    QJsonObject o;
    QString description;
    if (id == u"TXXX") {
        o["text"] = Tag.GetUnicodeUserDefinedTextInformation(I, description);
        o["desc"] = description;
    } else if (id == u"TIPL" || id == u"TMCL" || id == u"IPLS") {
        o["text"] = Tag.GetUnicodeListFrameText(I);
    } else if (id == u"COMM" || id == u"USLT") {
        tags::TLanguageID lang;
        o["text"] = Tag.GetUnicodeContent(I, lang, description);
        o["lang"] = tags::LanguageIDToString(lang);
        o["desc"] = description;
    } else if (id == u"APIC") {
        rtl::TMemoryStream picture;
        QString mime;
        int type = 0;
        Tag.GetUnicodeCoverPictureStream(I, picture, mime, description, type);
        o["mime"] = mime;
        o["type"] = type;
        o["desc"] = description;
        o["sha1"] = QString::fromLatin1(QCryptographicHash::hash(
            QByteArrayView(static_cast<const char*>(picture.Memory()), picture.Size()), QCryptographicHash::Sha1).toHex());
    } else if (id == u"WXXX") {
        o["url"] = Tag.GetUnicodeUserDefinedURLLink(I, description);
        o["desc"] = description;
    } else if (id.startsWith(u'W')) {
        o["url"] = Tag.GetURL(I);
    } else if (id == u"PCNT") {
        o["count"] = qint64(Tag.GetPlayCount(I));
    } else if (id == u"POPM") {
        QString email;
        uint8_t rating = 0;
        uint32_t count = 0;
        Tag.GetPopularimeter(I, email, rating, count);
        o["email"] = email;
        o["rating"] = rating;
        o["count"] = qint64(count);
    } else if (id.startsWith(u'T')) {
        o["text"] = Tag.GetUnicodeText(I);
    }
    return o;
}

std::vector<std::string> Sorted(const QJsonArray& Frames)
{
    std::vector<std::string> out;
    for (const auto& f : Frames) out.push_back(QJsonDocument(f.toArray()).toJson(QJsonDocument::Compact).toStdString());
    std::sort(out.begin(), out.end());
    return out;
}

// ffprobe's report of each file, the programs run side by side (each takes half a second to start).
std::map<QString, QJsonObject> Ffprobe(const QStringList& Files)
{
    std::vector<std::future<QJsonObject>> runs;
    for (const QString& file : Files) {
        runs.push_back(std::async(std::launch::async, [file] { return testing_support::FfprobeJson(file).object(); }));
    }
    std::map<QString, QJsonObject> result;
    for (int i = 0; i < Files.size(); ++i) result[Files[i]] = runs[size_t(i)].get();
    return result;
}

} // namespace

TEST(TagPeers, EveryFrameReadsAsMutagenReadsIt)
{
    TW_REQUIRE_TOOL("/usr/bin/python3", "import mutagen");
    const QStringList files = TagFixtures();
    ASSERT_GE(files.size(), 15);
    const auto run = testing_support::RunProgram(QStringLiteral("/usr/bin/python3"), QStringList{FixturePath(QStringLiteral("dump_mutagen.py"))} + files);
    ASSERT_TRUE(run.Ok()) << run.Describe();
    const QJsonObject expected = QJsonDocument::fromJson(run.Out).object();
    for (const QString& file : files) {
        tags::TID3v2Tag tag;
        tag.TrimText = false;
        ASSERT_EQ(tag.LoadFromFile(file), 0) << file.toStdString();
        tag.DeCompressAllFrames();
        QJsonArray ours;
        for (int i = 0; i < tag.FrameCount(); ++i)
            ours.append(QJsonArray{tags::FrameIDToString(tag.Frames[i]->ID), FieldsOf(tag, i)});
        EXPECT_EQ(Sorted(ours), Sorted(expected[file].toArray())) << file.toStdString();
    }
}

TEST(TagPeers, BufferedAndDirectReadingAgree)
{
    for (const QString& file : TagFixtures()) {
        tags::TID3v2Tag buffered, direct;
        ASSERT_EQ(buffered.LoadFromFile(file, true), direct.LoadFromFile(file, false)) << file.toStdString();
        ASSERT_EQ(buffered.FrameCount(), direct.FrameCount()) << file.toStdString();
        for (int i = 0; i < buffered.FrameCount(); ++i)
            EXPECT_EQ(Contents(*buffered.Frames[i]->Stream), Contents(*direct.Frames[i]->Stream)) << file.toStdString();
        EXPECT_EQ(buffered.MPEGInfo.Position, direct.MPEGInfo.Position);
        EXPECT_EQ(buffered.PlayTime(), direct.PlayTime());
    }
}

TEST(TagPeers, AudioFactsAgreeWithFfprobe)
{
    TW_REQUIRE_TOOL("ffprobe");
    const QStringList files = AudioFixtures();
    const auto probes = Ffprobe(files);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const QJsonObject& probe = probes.at(file);
        QJsonObject audio;
        for (const auto& s : probe["streams"].toArray())
            if (s.toObject()["codec_type"].toString() == u"audio") audio = s.toObject();
        ASSERT_FALSE(audio.isEmpty());
        // ffprobe takes a Lyrics3 block for audio: the length of that file is the length of its source
        const QJsonObject& lengthProbe = file.contains("id3v1-lyrics") ? probes.at(FixturePath("audio-cbr-info.mp3")) : probe;
        const double duration = lengthProbe["format"].toObject()["duration"].toString().toDouble();
        const int rate = audio["sample_rate"].toString().toInt();
        const int channels = audio["channels"].toInt();
        const double probeKbps = audio["bit_rate"].toString().toDouble() / 1000;

        tags::TID3v2Tag tag;
        const int result = tag.LoadFromFile(file);
        ASSERT_TRUE(result == 0 || result == 1);
        const double playTime = tag.PlayTime();
        switch (tag.SourceFileType()) {
        case tags::sftMPEG: {
            const auto& m = tag.MPEGInfo;
            EXPECT_EQ(int(m.SampleRate), rate);
            EXPECT_EQ(tags::MPEGChannels(m.ChannelMode), channels);
            // no encoder delay or padding is subtracted: within one frame
            EXPECT_NEAR(playTime, duration, double(tags::MPEGSamplesPerFrame(m.Version, m.Layer)) / m.SampleRate + 0.001);
            if (file.contains("vbr") || file.contains("xing") || file.endsWith("tag-v23.mp3")) {
                EXPECT_TRUE(m.VBR && m.HasXing);
                EXPECT_NEAR(tag.BitRate, probeKbps, 1.0);   // from the Xing totals, as ffprobe takes it
            } else {
                EXPECT_EQ(tag.BitRate, std::lround(probeKbps));   // constant bit rate
                EXPECT_EQ(m.HasInfo, !file.contains("plain") && !file.contains("mpeg2"));
            }
            break;
        }
        case tags::sftWAVE:
        case tags::sftRF64:
            EXPECT_EQ(int(tag.WAVInfo.SamplesPerSec), rate);
            EXPECT_EQ(tag.WAVInfo.Channels, channels);
            EXPECT_NEAR(playTime, duration, 0.001);
            EXPECT_EQ(tag.BitRate, std::lround(std::floor(probeKbps)));
            break;
        case tags::sftAIFF:
            EXPECT_EQ(tag.AIFFInfo.SampleRate, rate);
            EXPECT_EQ(tag.AIFFInfo.Channels, channels);
            EXPECT_NEAR(playTime, duration, 0.001);
            EXPECT_NEAR(tag.BitRate, probeKbps, 1.0);   // the sound chunk's 8-byte head counts too
            break;
        case tags::sftDSF:
        case tags::sftDFF: {
            // ffprobe reports DSD as bytes per channel and second, and estimates the length from the size
            const bool dsf = tag.SourceFileType() == tags::sftDSF;
            EXPECT_EQ(int(dsf ? tag.DSFInfo->SamplingFrequency : tag.DFFInfo->SampleRate) / 8, rate);
            EXPECT_EQ(int(dsf ? tag.DSFInfo->ChannelNumber : tag.DFFInfo->ChannelNumber), channels);
            EXPECT_NEAR(dsf ? tag.DSFInfo->PlayTime : tag.DFFInfo->PlayTime, duration, 0.003);
            EXPECT_EQ(dsf ? tag.DSFInfo->GetBitRate() : tag.DFFInfo->BitRate, uint32_t(std::lround(probeKbps)));
            break;
        }
        default:
            ADD_FAILURE() << "not recognised";
        }
    }
}

TEST(TagPeers, Id3v1AndLyricsBeforeIt)
{
    tags::TID3v1Tag v1;
    ASSERT_EQ(v1.LoadFromFile(FixturePath("id3v1-lyrics.mp3")), 0);
    EXPECT_EQ(v1.Title, u"A title that is longer than thirty chars");
    EXPECT_EQ(v1.Artist, u"V1 Artist");
    EXPECT_EQ(v1.Track, 7);
    EXPECT_EQ(v1.Genre, u"Rock");
    EXPECT_EQ(v1.GetLyrics(), u"Hello lyric");
    EXPECT_TRUE(v1.LyricsHasTimeStamp);
    EXPECT_FALSE(v1.InhibitTracksForRandomSelection);

    // id3v2 (id3lib) wrote an ID3v1 block too.
    ASSERT_EQ(v1.LoadFromFile(FixturePath("tag-id3v2.mp3")), 0);
    EXPECT_EQ(v1.Title, u"Id3 Title");
    EXPECT_EQ(v1.Year, u"2001");
    EXPECT_EQ(v1.Track, 5);
    EXPECT_EQ(v1.FLyricsTagSize, 0u);
}

// ---------------------------------------------------------------------------------------------
// Tags we write, read by the peers

namespace {

Bytes Text(uint8_t Encoding, const QString& Value)
{
    switch (Encoding) {
    case 0: { const QByteArray b = Value.toLatin1(); return Cat({B({0}), Bytes(b.begin(), b.end())}); }
    case 3: { const QByteArray b = Value.toUtf8(); return Cat({B({3}), Bytes(b.begin(), b.end())}); }
    default: {
        Bytes out{Encoding};
        if (Encoding == 1) out.insert(out.end(), {0xFF, 0xFE});
        for (QChar c : Value) {
            const uint16_t u = c.unicode();
            if (Encoding == 1) out.insert(out.end(), {uint8_t(u), uint8_t(u >> 8)});
            else out.insert(out.end(), {uint8_t(u >> 8), uint8_t(u)});
        }
        return out;
    }
    }
}

void Raw(tags::TID3v2Tag& Tag, const char* Id, const Bytes& Data)
{
    const int i = Tag.AddFrame(QString::fromLatin1(Id));
    Tag.Frames[i]->Stream->WriteBuffer(Data.data(), int64_t(Data.size()));
}

const QString PeerTitle = QStringLiteral("T\u00eftle \u2713 \U0001D11E");

// Every kind of frame the program writes, text in each encoding the version allows.
void FillPeerTag(tags::TID3v2Tag& Tag, int Version, rtl::TMemoryStream& Cover)
{
    Tag.Clear();
    Tag.MajorVersion = uint8_t(Version);
    Raw(Tag, "TIT2", Text(1, PeerTitle));
    Raw(Tag, "TPE1", Text(0, QStringLiteral("\u00c4rtist")));
    Raw(Tag, "TALB", Text(Version == 4 ? 3 : 1, QStringLiteral("Alb\u00fcm \u2713")));
    if (Version == 4) Raw(Tag, "TCOM", Text(2, QStringLiteral("C\u00f6mposer")));
    Raw(Tag, "TRCK", Text(0, QStringLiteral("4/9")));
    Tag.SetUnicodeContent(QStringLiteral("COMM"), QStringLiteral("A comment"), tags::StringToLanguageID(QStringLiteral("eng")),
                          QStringLiteral("desc"));
    Tag.SetUnicodeContent(QStringLiteral("USLT"), QStringLiteral("Line 1\r\nLine 2"),
                          tags::StringToLanguageID(QStringLiteral("deu")), QString());
    rtl::TStringList mood;
    mood.Add(QStringLiteral("happy"));
    Tag.SetUnicodeTXXXByDescriptionMultiple(QStringLiteral("MOOD"), mood);
    Raw(Tag, "POPM", Cat({S("me@example.org"), B({0, 196}), BE32(256)}));
    rtl::TStringList people;
    people.Add(QStringLiteral("producer=Some One"));
    Tag.SetUnicodeListFrame(QString::fromLatin1(Version == 4 ? "TIPL" : "IPLS"), people);
    Tag.SetUnicodeCoverPictureFromStream(Tag.AddFrame(QStringLiteral("APIC")), QStringLiteral("Cover"), Cover,
                                         QStringLiteral("image/jpeg"), 3);
}

QByteArray AudioMd5(const QString& File)
{
    const auto run = testing_support::RunProgram(QStringLiteral("ffmpeg"),
        {"-v", "error", "-i", File, "-map", "0:a", "-f", "md5", "-"});
    return run.Ok() ? run.Out.trimmed() : QByteArray("failed: ") + run.Err;
}

QStringList ExiftoolWarnings(const QString& File)
{
    const auto run = testing_support::RunProgram(QStringLiteral("exiftool"), {"-validate", "-warning", "-a", File});
    QStringList warnings;
    for (const QByteArray& line : run.Out.split('\n'))
        if (line.startsWith("Warning")) warnings << QString::fromUtf8(line).remove(QRegularExpression(QStringLiteral("[0-9]+")));
    return warnings;
}

// What the peers report about one file after our save and after our strip.
struct TPeerReport {
    QString File;
    int Version = 0;
    int SaveResult = -1, StripResult = -1;
    QByteArray Md5Before, Md5Saved, Md5Stripped;
    QStringList WarningsBefore, WarningsSaved;
    QJsonObject Probe;
    testing_support::TRunResult Id3v2, EyeD3;
};

} // namespace

TEST(TagPeers, WrittenTagsReadBackInEveryPeerAndLeaveTheAudioAlone)
{
    TW_REQUIRE_TOOL("/usr/bin/python3", "import mutagen");
    TW_REQUIRE_TOOL("ffmpeg");
    TW_REQUIRE_TOOL("ffprobe");
    TW_REQUIRE_TOOL("exiftool");
    TW_REQUIRE_TOOL("id3v2");
    TW_REQUIRE_TOOL("eyeD3");
    testing_support::TempDir dir;
    Bytes cover(1 << 20);
    for (size_t i = 0; i < cover.size(); ++i) cover[i] = uint8_t((i * 2654435761u) >> 13);
    cover[0] = 0xFF;
    cover[1] = 0xD8;

    const QStringList sources = {"audio-cbr-info.mp3", "tag-v23.mp3", "tag-wave.wav", "tag-rf64.wav", "tag-aiff.aiff",
                                 "tag-dsf.dsf", "tag-dff.dff"};
    std::vector<TPeerReport> reports;
    for (int version : {3, 4}) {
        for (const QString& source : sources) {
            TPeerReport r;
            r.Version = version;
            r.File = dir.QFile(QStringLiteral("v%1-%2").arg(version).arg(source));
            testing_support::WriteFileBytes(r.File, testing_support::ReadFileBytes(FixturePath(source)));
            reports.push_back(r);
        }
    }
    std::vector<std::future<void>> runs;
    for (auto& r : reports) {
        runs.push_back(std::async(std::launch::async, [&r, &cover] {
            r.Md5Before = AudioMd5(r.File);
            r.WarningsBefore = ExiftoolWarnings(r.File);
            tags::TID3v2Tag tag;
            rtl::TMemoryStream picture;
            picture.WriteBuffer(cover.data(), int64_t(cover.size()));
            FillPeerTag(tag, r.Version, picture);
            r.SaveResult = tag.SaveToFile(r.File);
            r.Md5Saved = AudioMd5(r.File);
            r.WarningsSaved = ExiftoolWarnings(r.File);
            r.Probe = testing_support::FfprobeJson(r.File).object();
            if (r.File.endsWith(".mp3")) {
                r.Id3v2 = testing_support::RunProgram(QStringLiteral("id3v2"), {"-l", r.File});
                r.EyeD3 = testing_support::RunProgram(QStringLiteral("eyeD3"), {"--no-color", r.File});
            }
        }));
    }
    for (auto& run : runs) run.get();

    QStringList files;
    for (const auto& r : reports) files << r.File;
    std::map<QString, tags::TID3v2Tag> loaded;   // read before the strip below
    for (const auto& r : reports) loaded[r.File].LoadFromFile(r.File);
    const auto mutagen = testing_support::RunProgram(QStringLiteral("/usr/bin/python3"),
                                                     QStringList{FixturePath(QStringLiteral("dump_mutagen.py"))} + files);
    ASSERT_TRUE(mutagen.Ok()) << mutagen.Describe();
    const QJsonObject read = QJsonDocument::fromJson(mutagen.Out).object();
    runs.clear();
    for (auto& r : reports) {
        runs.push_back(std::async(std::launch::async, [&r] {
            r.StripResult = tags::StripID3v2FromFile(r.File);
            r.Md5Stripped = AudioMd5(r.File);
        }));
    }
    for (auto& run : runs) run.get();

    for (auto& r : reports) {
        SCOPED_TRACE(r.File.toStdString());
        ASSERT_EQ(r.SaveResult, 0);
        tags::TID3v2Tag& tag = loaded[r.File];
        ASSERT_TRUE(tag.Loaded);
        EXPECT_EQ(tag.MajorVersion, r.Version);
        QJsonArray ours;
        for (int i = 0; i < tag.FrameCount(); ++i)
            ours.append(QJsonArray{tags::FrameIDToString(tag.Frames[i]->ID), FieldsOf(tag, i)});
        EXPECT_EQ(tag.FrameCount(), r.Version == 4 ? 11 : 10);
        // mutagen turns version 2.3's IPLS into TIPL in containers
        auto people = [](std::vector<std::string> Frames) {
            for (auto& f : Frames)
                if (f.rfind("[\"IPLS\"", 0) == 0) f.replace(2, 4, "TIPL");
            std::sort(Frames.begin(), Frames.end());
            return Frames;
        };
        EXPECT_EQ(people(Sorted(ours)), people(Sorted(read[r.File].toArray()))) << "mutagen reads what we wrote";
        EXPECT_EQ(tag.GetUnicodeText(QStringLiteral("TIT2")), PeerTitle);

        EXPECT_FALSE(r.Md5Before.startsWith("failed")) << r.Md5Before.toStdString();
        EXPECT_EQ(r.Md5Saved, r.Md5Before) << "the audio is untouched";
        // sizes in the messages change with the file: the kinds of warning must not
        EXPECT_EQ(r.WarningsSaved.join(u'|').toStdString(), r.WarningsBefore.join(u'|').toStdString())
            << "exiftool finds nothing new to warn about";
        const QJsonObject format = r.Probe["format"].toObject();
        EXPECT_FALSE(format.isEmpty()) << "ffprobe opens the file";
        // ffprobe reads no tag from RF64 and DSDIFF, and prefers a WAV file's INFO list
        if (!r.File.endsWith(".wav") && !r.File.endsWith(".dff")) {
            EXPECT_EQ(format["tags"].toObject()["title"].toString(), PeerTitle) << "ffprobe reads the tag";
        }
        if (r.File.endsWith(".mp3")) {
            EXPECT_TRUE(r.EyeD3.Ok()) << r.EyeD3.Describe();
            EXPECT_TRUE(QString::fromUtf8(r.EyeD3.Out).contains(PeerTitle)) << r.EyeD3.Out.toStdString();
            EXPECT_FALSE(r.EyeD3.Err.contains("Invalid") || r.EyeD3.Err.contains("rror")) << r.EyeD3.Err.toStdString();
            if (r.Version == 3) {   // id3lib reads no version 4
                const QString listing = QString::fromUtf8(r.Id3v2.Out);
                for (const char* id : {"TIT2", "TPE1", "TALB", "COMM", "USLT", "TXXX", "POPM", "IPLS", "APIC"})
                    EXPECT_TRUE(listing.contains(QLatin1String(id))) << id << " in " << r.Id3v2.Out.toStdString();
            }
        }

        EXPECT_EQ(r.StripResult, 0);
        EXPECT_EQ(tag.LoadFromFile(r.File), 1) << "no tag left";
        EXPECT_EQ(r.Md5Stripped, r.Md5Before) << "the audio survives the strip";
    }
}
