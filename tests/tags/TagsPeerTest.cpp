// tests/tags/TagsPeerTest.cpp: the tag front against real peers: tags written by mid3v2, eyeD3 and id3v2
// copied into outputs made by ffmpeg (and DSF/DSDIFF files built here, which ffmpeg cannot write) read
// back equal by mutagen; stripping keeps the decoded audio; container sniffing agrees with ffprobe.
#include "tags/Tags.h"

#include "tests/support/MediaFixtures.h"
#include "tests/support/Peers.h"
#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"
#include "tests/tags/TagTestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <map>

using namespace tagtest;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString Python = u"/usr/bin/python3"_s;

// The fields the engine copies, as mutagen reads them from any file it knows.
const char* const DumpFields = R"(
import hashlib, json, sys, mutagen
out = {}
for path in sys.argv[1:]:
    tags = mutagen.File(path).tags
    def text(fid):
        return [str(t) for f in tags.getall(fid) for t in f.text]
    out[path] = {
        "title": text("TIT2"), "artist": text("TPE1"), "album": text("TALB"), "track": text("TRCK"),
        "disc": text("TPOS"), "year": text("TDRC") + text("TYER"),
        "genre": [g for f in tags.getall("TCON") for g in f.genres],
        "comment": sorted({t for f in tags.getall("COMM") for t in f.text}),
        "lyrics": sorted({f.text for f in tags.getall("USLT")}),
        "cover": [[f.type, f.mime, f.desc, hashlib.sha1(f.data).hexdigest()] for f in tags.getall("APIC")],
        "rating": sorted([f.email, f.rating] for f in tags.getall("POPM")),
        "user": {f.desc: list(f.text) for f in tags.getall("TXXX")},
    }
print(json.dumps(out))
)";

QJsonObject Dump(const QStringList& Files)
{
    const auto run = testing_support::RunProgram(Python, QStringList{u"-c"_s, QString::fromUtf8(DumpFields)} + Files);
    EXPECT_TRUE(run.Ok()) << run.Describe();
    return QJsonDocument::fromJson(run.Out).object();
}

std::string Json(const QJsonValue& Value)
{
    return QJsonDocument(QJsonArray{Value}).toJson(QJsonDocument::Compact).toStdString();
}

QString AudioMd5(const QString& File)
{
    const auto run = testing_support::RunProgram(testing_support::FfmpegPath(),
        {u"-v"_s, u"error"_s, u"-i"_s, File, u"-map"_s, u"0:a"_s, u"-f"_s, u"md5"_s, u"-"_s});
    EXPECT_TRUE(run.Ok()) << run.Describe();
    return QString::fromLatin1(run.Out).trimmed();
}

QByteArray Q(const Bytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())); }

// 2 channels at 2822400 Hz, one block of 4096 bytes per channel.
Bytes MinimalDsf()
{
    const Bytes fmt = Cat({S("fmt "), LE64(52), LE32(1), LE32(0), LE32(2), LE32(2), LE32(2822400), LE32(1),
                           LE64(4096 * 8), LE32(4096), LE32(0)});
    const Bytes data = Cat({S("data"), LE64(12 + 8192), Bytes(8192, 0x69)});
    return Cat({S("DSD "), LE64(28), LE64(28 + fmt.size() + data.size()), LE64(0), fmt, data});
}

Bytes DffChunk(const std::string& Id, const Bytes& Payload)
{
    return Cat({S(Id), BE64(Payload.size()), Payload, Bytes(Payload.size() % 2, 0)});
}

Bytes MinimalDff()
{
    const std::string compression = "not compressed";
    const Bytes prop = Cat({S("SND "), DffChunk("FS  ", BE32(2822400)), DffChunk("CHNL", Cat({BE16(2), S("SLFTSRGT")})),
                            DffChunk("CMPR", Cat({S("DSD "), B({int(compression.size())}), S(compression)}))});
    const Bytes body = Cat({DffChunk("FVER", B({1, 5, 0, 0})), DffChunk("PROP", prop), DffChunk("DSD ", Bytes(8192, 0x69))});
    return Cat({S("FRM8"), BE64(body.size() + 4), S("DSD "), body});
}

// Sources tagged by each peer and untagged outputs of each container, made once per run.
class TagsPeerCopy : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!testing_support::MissingTool(Python, u"import mutagen"_s).isEmpty() || testing_support::FfmpegPath().isEmpty())
            return;
        Dir = new testing_support::TempDir;
        const QString base = FixturePath(u"audio-cbr-info.mp3"_s);
        const QString cover = Dir->Write(u"cover.jpg"_s, QByteArray("\xFF\xD8\xFF\xE0 a small picture", 20));
        const QString lyrics = Dir->Write(u"lyrics.txt"_s, "Eye lyrics");
        auto source = [&](const QString& Name, const QString& Tool, const QStringList& Args) {
            const QString file = Dir->QFile(Name);
            QFile::copy(base, file);
            if (testing_support::FindTool(Tool).isEmpty()) return;
            const auto run = testing_support::RunProgram(Tool, Args + QStringList{file});
            if (run.Ok()) Sources[Tool] = file;
        };
        source(u"mid3v2.mp3"_s, u"mid3v2"_s,
               {u"-q"_s, u"-t"_s, u"Mid Title"_s, u"-a"_s, u"Mid Artist"_s, u"-A"_s, u"Mid Album"_s, u"-T"_s, u"3/12"_s,
                u"--TPOS"_s, u"1/2"_s, u"-y"_s, u"2001"_s, u"-g"_s, u"Pop"_s, u"-c"_s, u"d:A comment:eng"_s,
                u"--USLT"_s, u"Some lyrics"_s, u"--POPM"_s, u"a@b.c:196:0"_s, u"--TXXX"_s, u"MOOD:happy"_s,
                u"--TXXX"_s, u"CATALOG:C-1"_s, u"-p"_s, cover + u":Front:3:image/jpeg"_s});
        source(u"eyed3.mp3"_s, u"eyeD3"_s,
               {u"-Q"_s, u"--to-v2.3"_s, u"-t"_s, u"Eye Title"_s, u"-a"_s, u"Eye Artist"_s, u"-A"_s, u"Eye Album"_s,
                u"-n"_s, u"3"_s, u"-N"_s, u"12"_s, u"-d"_s, u"1"_s, u"-D"_s, u"2"_s, u"-G"_s, u"Rock"_s, u"-c"_s,
                u"eye comment"_s, u"--add-lyrics"_s, lyrics, u"--add-image"_s, cover + u":BACK_COVER:Back"_s,
                u"--add-popularity"_s, u"x@y.z:128"_s, u"--user-text-frame"_s, u"KEY:value"_s});
        source(u"id3v2.mp3"_s, u"id3v2"_s,
               {u"-t"_s, u"Id3 Title"_s, u"-a"_s, u"Id3 Artist"_s, u"-A"_s, u"Id3 Album"_s, u"-y"_s, u"2003"_s, u"-g"_s,
                u"17"_s, u"-T"_s, u"3/12"_s, u"--TPOS"_s, u"1/2"_s, u"-c"_s, u"id3 comment"_s, u"--USLT"_s,
                u"id3 lyrics"_s, u"--TXXX"_s, u"KEY:v3"_s});

        // Frames in UTF-8 make the front write its own picture frames rather than keep the source's.
        {
            const QString file = Dir->QFile(u"mutagen.mp3"_s);
            QFile::copy(base, file);
            const char* script = R"(
import sys
from mutagen.id3 import ID3, TIT2, TPE1, TRCK, TPOS, APIC, POPM, TXXX, USLT
t = ID3()
t.add(TIT2(encoding=3, text=["Mu Title"])); t.add(TPE1(encoding=3, text=["Mu Artist"]))
t.add(TRCK(encoding=3, text=["4/9"])); t.add(TPOS(encoding=3, text=["2/2"]))
t.add(USLT(encoding=3, lang="deu", desc="", text="Mu lyrics"))
t.add(APIC(encoding=3, mime="image/png", type=4, desc="Back", data=b"\x89PNG\r\n\x1a\n small"))
t.add(APIC(encoding=0, mime="image/jpeg", type=3, desc="Front", data=b"\xff\xd8\xff\xe0 small"))
t.add(POPM(email="m@n.o", rating=64, count=3)); t.add(TXXX(encoding=3, desc="CATALOG", text=["X-9"]))
t.save(sys.argv[1], v2_version=4)
)";
            if (testing_support::RunProgram(Python, {u"-c"_s, QString::fromUtf8(script), file}).Ok()) Sources[u"mutagen"_s] = file;
        }

        const QString sine = u"sine=frequency=440:sample_rate=44100:duration=0.2"_s;
        for (const char* ext : {"mp3", "aiff", "wav"}) {
            const QString out = Dir->QFile(u"template."_s + QLatin1String(ext));
            QStringList args{u"-v"_s, u"error"_s, u"-f"_s, u"lavfi"_s, u"-i"_s, sine, u"-fflags"_s, u"+bitexact"_s,
                             u"-map_metadata"_s, u"-1"_s};
            if (QLatin1String(ext) == "mp3") args << u"-id3v2_version"_s << u"0"_s;
            const auto run = testing_support::RunProgram(testing_support::FfmpegPath(), args << out);
            if (run.Ok()) Outputs << out;
        }
        Outputs << Dir->Write(u"template.dsf"_s, Q(MinimalDsf())) << Dir->Write(u"template.dff"_s, Q(MinimalDff()));
    }

    static void TearDownTestSuite()
    {
        delete Dir;
        Dir = nullptr;
    }

    void SetUp() override
    {
        TW_REQUIRE_TOOL(Python, u"import mutagen"_s);
        TW_REQUIRE_FIXTURES();
        ASSERT_EQ(Outputs.size(), 5) << "ffmpeg could not make the outputs";
    }

    // A fresh copy of an output template.
    static QString FreshOutput(const QString& Template, const QString& Tag)
    {
        const QString copy = QFileInfo(Template).path() + u'/' + Tag + u'-' + QFileInfo(Template).fileName();
        QFile::remove(copy);
        QFile::copy(Template, copy);
        return copy;
    }

    static inline testing_support::TempDir* Dir = nullptr;
    static inline std::map<QString, QString> Sources;
    static inline QStringList Outputs;
};

TEST_F(TagsPeerCopy, EveryCopiedFieldReadsBackEqual)
{
    for (const QString& tool : QStringList{u"mid3v2"_s, u"eyeD3"_s, u"id3v2"_s, u"mutagen"_s}) {
        if (!Sources.count(tool)) {
            ADD_FAILURE() << tool.toStdString() << " is missing or failed (scripts/bootstrap.sh installs it)";
            continue;
        }
        const QString source = Sources[tool];
        QStringList copies;
        for (const QString& output : Outputs) {
            const QString copy = FreshOutput(output, tool);
            tags::TTags tags;
            ASSERT_EQ(tags.LoadFromFile(source), 0);
            ASSERT_TRUE(tags.Loaded);
            const int result = tags.SaveToFile(copy, tags::ttAutomatic);
            // WAV outputs end with the RIFF writer, whose result is its own; the ID3v2 chunk comes first.
            if (!copy.endsWith(u".wav"_s)) {
                EXPECT_EQ(result, tags::trcSuccess) << copy.toStdString();
            }
            copies << copy;
        }
        const QJsonObject dump = Dump(QStringList{source} + copies);
        const QJsonObject expected = dump[source].toObject();
        ASSERT_FALSE(expected["title"].toArray().isEmpty()) << tool.toStdString();
        for (const QString& copy : copies) {
            const QJsonObject actual = dump[copy].toObject();
            for (const QString& field : QStringList{u"title"_s, u"artist"_s, u"album"_s, u"track"_s, u"disc"_s, u"year"_s,
                                        u"genre"_s, u"comment"_s, u"lyrics"_s, u"cover"_s, u"rating"_s})
                EXPECT_EQ(Json(actual[field]), Json(expected[field])) << field.toStdString() << " in " << copy.toStdString();
            // The source's user texts come back; the totals split off "3/12" are written beside them.
            const QJsonObject user = actual["user"].toObject();
            const QJsonObject expectedUser = expected["user"].toObject();
            for (auto it = expectedUser.begin(); it != expectedUser.end(); ++it)
                EXPECT_EQ(Json(user[it.key()]), Json(it.value())) << it.key().toStdString() << " in " << copy.toStdString();
        }
    }
}

TEST_F(TagsPeerCopy, StrippingKeepsTheDecodedAudio)
{
    const QString source = Sources.count(u"mid3v2"_s) ? Sources[u"mid3v2"_s] : QString();
    if (source.isEmpty()) GTEST_SKIP() << "mid3v2 is missing (scripts/bootstrap.sh installs it)";
    for (const QString& output : Outputs) {
        const QString copy = FreshOutput(output, u"strip"_s);
        const QString before = AudioMd5(output);
        tags::TTags tags;
        ASSERT_EQ(tags.LoadFromFile(source), 0);
        tags.SaveToFile(copy, tags::ttAutomatic);
        ASSERT_NE(testing_support::ReadFileBytes(copy).size(), testing_support::ReadFileBytes(output).size());
        EXPECT_EQ(AudioMd5(copy), before) << copy.toStdString();
        EXPECT_EQ(tags::StripTagsFromFile(copy, tags::ttAutomatic), tags::trcSuccess) << copy.toStdString();
        EXPECT_EQ(AudioMd5(copy), before) << copy.toStdString();
        tags::TTags after;
        after.LoadFromFile(copy);
        // A WAVE form counts as loaded by the WAV unit even without tags: what matters is that none are left.
        EXPECT_EQ(after.Count(), 0) << copy.toStdString();
        EXPECT_EQ(after.CoverArtCount(), 0) << copy.toStdString();
    }
}

// The sniff codes and the format names ffprobe gives the same containers.
QString FamilyOfSniffCode(int Code)
{
    switch (Code) {
    case 2: return u"flac"_s;
    case 3: case 6: case 7: case 8: return u"ogg"_s;
    case 4: return u"mp3"_s;
    case 5: return u"mov,mp4,m4a,3gp,3g2,mj2"_s;
    case 9: case 10: return u"wav"_s;
    case 11: case 12: return u"aiff"_s;
    case 13: return u"iff"_s;
    case 14: return u"dsf"_s;
    default: return u"other"_s;
    }
}

QString FamilyOfProbe(const QString& FormatName)
{
    for (int code = 1; code <= 17; ++code)
        if (FamilyOfSniffCode(code) == FormatName) return FormatName;
    return u"other"_s;
}

TEST(TagsPeerSniff, AgreesWithFfprobeOverTheFixtures)
{
    TW_REQUIRE_FIXTURES();
    TW_REQUIRE_TOOL("ffprobe");
    QStringList files;
    for (const auto& info : testing_support::AllMediaFixtures()) files << testing_support::Fixture(info.Id);
    const QDir corpus(FixturePath(QString()));
    for (const QString& name : corpus.entryList({u"*.mp3"_s, u"*.wav"_s, u"*.aiff"_s, u"*.dsf"_s, u"*.dff"_s}, QDir::Files))
        files << corpus.filePath(name);
    ASSERT_GT(files.size(), 20);
    for (const QString& file : files) {
        const QJsonDocument probe = testing_support::FfprobeJson(file);
        const QString format = probe.object()["format"].toObject()["format_name"].toString();
        ASSERT_FALSE(format.isEmpty()) << file.toStdString();
        EXPECT_EQ(FamilyOfSniffCode(tags::SniffAudioFileFormat(file)), FamilyOfProbe(format)) << file.toStdString();
    }
}

} // namespace
