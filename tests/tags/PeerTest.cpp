// tests/tags/PeerTest.cpp: the committed fixtures read by the library and by real peers: every frame
// as mutagen reads it, and the audio facts as ffprobe reports them.
#include "tags/TagID3v1.h"
#include "tags/TagID3v2.h"

#include "tests/support/Peers.h"
#include "tests/tags/TagTestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

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
    } else if (id == u"TIPL" || id == u"TMCL") {
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
