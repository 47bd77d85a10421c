// tests/tags/TagsRealFileTest.cpp: the tag front on files made by real programs: every container the
// engine writes gets the engine's tag steps (copy from each kind of tagged source, two edits, an
// unchanged save, a strip) and after each one the decoded audio is the same, mutagen and ffmpeg read
// what was written, and sizes hold; track numbers written as "3/12" by other programs stay one number
// through edits; raw AC-3 streams are left alone; Musepack is known by its signature only.
#include "tags/Tags.h"

#include "tests/support/MediaFixtures.h"
#include "tests/support/Peers.h"
#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"
#include "tests/tags/TagTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>

using namespace tagtest;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString Python = u"/usr/bin/python3"_s;

// Title, artist, album and track number (before any "/") as mutagen reads them from any file it knows,
// the number of text fields it sees, and the track total where the format keeps one.
const char* const ReadFields = R"(
import json, sys, mutagen, mutagen.id3, mutagen.mp4, mutagen.asf, mutagen.apev2, mutagen._vorbis
out = {}
for path in sys.argv[1:]:
    d = {}
    try:
        f = mutagen.File(path)
    except Exception as e:
        out[path] = {"error": str(e)}
        continue
    t = f.tags if f is not None else None
    def put(k, vals):
        vals = [str(v) for v in vals]
        if vals: d.setdefault(k, []).extend(vals)
    if isinstance(t, mutagen.id3.ID3Tags):
        for k, fid in (("title", "TIT2"), ("artist", "TPE1"), ("album", "TALB"), ("track", "TRCK")):
            put(k, [x for fr in t.getall(fid) for x in fr.text])
        d["count"] = len([k for k in t.keys() if k[0] in "TCW"])
    elif isinstance(t, mutagen.mp4.MP4Tags):
        for k, fid in (("title", "\xa9nam"), ("artist", "\xa9ART"), ("album", "\xa9alb")): put(k, t.get(fid, []))
        put("track", ["%d/%d" % (n, m) if m else "%d" % n for n, m in t.get("trkn", [])])
        d["count"] = len(t.keys())
    elif isinstance(t, mutagen.asf.ASFTags):
        for k, fid in (("title", "Title"), ("artist", "Author"), ("album", "WM/AlbumTitle"), ("track", "WM/TrackNumber")):
            put(k, [v.value for v in t.get(fid, [])])
        d["count"] = len(t.keys())
    elif isinstance(t, mutagen.apev2.APEv2):
        for k, fid in (("title", "Title"), ("artist", "Artist"), ("album", "Album"), ("track", "Track")):
            if fid in t: put(k, list(t[fid]))
        if "TRACKNUMBER" in t: put("track", list(t["TRACKNUMBER"]))
        if "TOTALTRACKS" in t: put("total", list(t["TOTALTRACKS"]))
        d["count"] = len(t.keys())
    elif isinstance(t, mutagen._vorbis.VComment):
        for k in ("title", "artist", "album"): put(k, t.get(k, []))
        put("track", t.get("tracknumber", []) + t.get("track", []))
        put("total", t.get("totaltracks", []) + t.get("tracktotal", []))
        d["count"] = len([k for k in t.keys() if k.lower() != "encoder"])
    else:
        d["count"] = 0
    out[path] = d
print(json.dumps(out))
)";

QJsonObject MutagenFields(const QStringList& Files)
{
    const auto run = testing_support::RunProgram(Python, QStringList{u"-c"_s, QString::fromUtf8(ReadFields)} + Files);
    EXPECT_TRUE(run.Ok()) << run.Describe();
    return QJsonDocument::fromJson(run.Out).object();
}

QString First(const QJsonObject& Fields, const QString& Key)
{
    const QJsonArray values = Fields[Key].toArray();
    return values.isEmpty() ? QString() : values[0].toString();
}

std::string Json(const QJsonObject& Object) { return QJsonDocument(Object).toJson(QJsonDocument::Compact).toStdString(); }

QString TrackNumberOf(const QString& Text) { return Text.section(u'/', 0, 0).trimmed(); }

// What ffmpeg's demuxers (those ffprobe shows) make of each file, all files in one ffmpeg run (a run per
// file costs half a second on a busy machine): the md5 of the decoded samples, which pins their count
// too, and the tags of the file and of its first audio stream, keys lower-cased.
struct TFfmpegRead {
    QString Md5;
    std::map<QString, QString> Tags;
};

std::map<QString, TFfmpegRead> FfmpegRead(const QStringList& Files, const QString& Dir)
{
    QStringList args{u"-v"_s, u"error"_s, u"-nostdin"_s};
    for (const QString& f : Files) args << u"-i"_s << f;
    auto out = [&](int I, const char* Kind) { return Dir + u"/read-"_s + QString::number(I) + QLatin1String(Kind); };
    for (int i = 0; i < Files.size(); ++i) {
        const QString n = QString::number(i);
        args << u"-map"_s << n + u":a:0"_s << u"-f"_s << u"md5"_s << u"-y"_s << out(i, ".md5");
        args << u"-map_metadata"_s << n << u"-f"_s << u"ffmetadata"_s << u"-y"_s << out(i, ".file");
        args << u"-map_metadata"_s << n + u":s:a:0"_s << u"-f"_s << u"ffmetadata"_s << u"-y"_s << out(i, ".stream");
    }
    const auto run = testing_support::RunProgram(testing_support::FfmpegPath(), args);
    EXPECT_TRUE(run.Ok()) << run.Describe();
    std::map<QString, TFfmpegRead> read;
    for (int i = 0; i < Files.size(); ++i) {
        TFfmpegRead& r = read[Files[i]];
        r.Md5 = QString::fromLatin1(testing_support::ReadFileBytes(out(i, ".md5"))).trimmed();
        for (const char* kind : {".file", ".stream"}) {
            const QStringList lines = QString::fromUtf8(testing_support::ReadFileBytes(out(i, kind))).split(u'\n');
            for (const QString& line : lines) {
                if (line.startsWith(u';') || !line.contains(u'=')) continue;
                QString value = line.section(u'=', 1);
                value.replace(QRegularExpression(u"\\\\(.)"_s), u"\\1"_s);
                const QString key = line.section(u'=', 0, 0).toLower();
                if (key != u"encoder"_s) r.Tags.emplace(key, value);
            }
        }
    }
    return read;
}

// The engine's tag hand-off, step by step, as its copy, write and remove functions do it.
int CopyTags(const QString& Source, const QString& Destination)
{
    tags::TTags t;
    t.LoadFromFile(Source);
    return t.SaveToFile(Destination, tags::ttAutomatic);
}

int WriteTags(const QString& File, const std::vector<std::pair<QString, QString>>& Values)
{
    tags::TTags t;
    t.LoadFromFile(File);
    for (const auto& [name, value] : Values) t.SetTag(name, value);
    return t.SaveToFile(File, tags::ttAutomatic);
}

struct TOutput {
    QString Ext;
    QStringList Codec;   // ffmpeg's output options
    bool RawAC3 = false; // gets no tag
};

const std::vector<TOutput> Outputs = {
    {u"mp3"_s, {u"-c:a"_s, u"libmp3lame"_s, u"-id3v2_version"_s, u"0"_s, u"-write_xing"_s, u"0"_s}},
    {u"mp2"_s, {u"-c:a"_s, u"mp2"_s}},
    {u"wav"_s, {u"-c:a"_s, u"pcm_s16le"_s}},
    {u"aiff"_s, {u"-c:a"_s, u"pcm_s16be"_s}},
    {u"flac"_s, {u"-c:a"_s, u"flac"_s}},
    {u"m4a"_s, {u"-c:a"_s, u"aac"_s}},
    {u"ogg"_s, {u"-c:a"_s, u"libvorbis"_s}},
    {u"opus"_s, {u"-c:a"_s, u"libopus"_s}},
    {u"wma"_s, {u"-c:a"_s, u"wmav2"_s}},
    {u"wv"_s, {u"-c:a"_s, u"wavpack"_s}},
    {u"ac3"_s, {u"-c:a"_s, u"ac3"_s}, true},
    {u"eac3"_s, {u"-c:a"_s, u"eac3"_s}, true},
    {u"dts"_s, {u"-c:a"_s, u"dca"_s, u"-strict"_s, u"-2"_s}},
};

// Plain and tagged outputs of every container, and the tagged sources of each format the front reads,
// made once per run.
class RealFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!testing_support::MissingTool(Python, u"import mutagen"_s).isEmpty() || testing_support::FfmpegPath().isEmpty())
            return;
        Dir = new testing_support::TempDir;
        // Every output in one ffmpeg run; should one encoder be missing, each output is tried on its own.
        const QString sine = u"sine=frequency=440:sample_rate=48000:duration=0.3"_s;
        const QStringList tags{u"-metadata"_s, u"title=Src Title"_s, u"-metadata"_s, u"artist=Src Artist"_s,
                               u"-metadata"_s, u"album=Src Album"_s, u"-metadata"_s, u"track=3/12"_s};
        auto outputArgs = [&](const TOutput& O, const QString& File, bool Tagged) {
            return QStringList{u"-map"_s, u"0:a"_s, u"-ac"_s, u"2"_s, u"-fflags"_s, u"+bitexact"_s, u"-map_metadata"_s, u"-1"_s}
                   + O.Codec + (Tagged ? tags : QStringList()) + QStringList{u"-y"_s, File};
        };
        const QStringList input{u"-v"_s, u"error"_s, u"-nostdin"_s, u"-f"_s, u"lavfi"_s, u"-i"_s, sine};
        QStringList all = input;
        for (const TOutput& o : Outputs) {
            Plain[o.Ext] = Dir->QFile(u"plain."_s + o.Ext);
            Tagged[o.Ext] = Dir->QFile(u"tagged."_s + o.Ext);
            all << outputArgs(o, Plain[o.Ext], false) << outputArgs(o, Tagged[o.Ext], true);
        }
        if (!testing_support::RunProgram(testing_support::FfmpegPath(), all).Ok()) {
            for (const TOutput& o : Outputs) {
                for (auto* made : {&Plain, &Tagged}) {
                    const QString file = (*made)[o.Ext];
                    if (!testing_support::RunProgram(testing_support::FfmpegPath(),
                                                     input + outputArgs(o, file, made == &Tagged)).Ok())
                        (*made)[o.Ext].clear();
                }
            }
        }
        // The MP3 source is tagged by mid3v2, the others by ffmpeg.
        if (!Plain[u"mp3"_s].isEmpty() && !testing_support::FindTool(u"mid3v2"_s).isEmpty()) {
            const QString file = Dir->QFile(u"mid3v2.mp3"_s);
            QFile::copy(Plain[u"mp3"_s], file);
            if (testing_support::RunProgram(testing_support::FindTool(u"mid3v2"_s),
                    {u"-q"_s, u"-t"_s, u"Src Title"_s, u"-a"_s, u"Src Artist"_s, u"-A"_s, u"Src Album"_s, u"-T"_s, u"3/12"_s, file})
                    .Ok())
                Sources << file;
        }
        for (const char* ext : {"flac", "ogg", "m4a", "wv", "wma"})
            if (!Tagged[QLatin1String(ext)].isEmpty()) Sources << Tagged[QLatin1String(ext)];
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
    }

    static QString Copy(const QString& From, const QString& Name)
    {
        const QString to = Dir->QFile(Name);
        QFile::remove(to);
        EXPECT_TRUE(QFile::copy(From, to)) << From.toStdString();
        return to;
    }

    static inline testing_support::TempDir* Dir = nullptr;
    static inline std::map<QString, QString> Plain, Tagged;
    static inline QStringList Sources;
};

// ---------------------------------------------------------------------------------------------
// The matrix

struct TStep {
    QString File, Before; // the file after the step, and the one it started from
    QString Name;
    int Result = -1;
    // What peers must read afterwards; an empty title means no field at all.
    QString Title, Artist, Album, Track;
};

TEST_F(RealFiles, EveryContainerThroughTheEngineSteps)
{
    ASSERT_EQ(Sources.size(), 6) << "a tagged source could not be made";
    std::vector<TStep> steps;
    std::vector<QString> notes;
    for (const TOutput& o : Outputs) {
        const QString plain = Plain[o.Ext];
        if (plain.isEmpty()) {
            notes.push_back(o.Ext + u": ffmpeg cannot write it"_s);
            continue;
        }
        auto step = [&](const QString& From, const QString& Name) {
            TStep s;
            s.Before = From;
            s.Name = o.Ext + u'-' + Name;
            s.File = Copy(From, s.Name + u'.' + o.Ext);
            return s;
        };
        auto expect = [&](TStep& S, const QString& Title, const QString& Artist, const QString& Album, const QString& Track) {
            if (o.RawAC3) return;   // nothing is written
            S.Title = Title;
            S.Artist = Artist;
            S.Album = Album;
            S.Track = Track;
        };
        QString copied;   // the copy the edits go on with, as the engine adds its fields to a copy
        for (const QString& source : std::as_const(Sources)) {
            TStep s = step(plain, u"copy-"_s + QFileInfo(source).fileName().replace(u'.', u'_'));
            s.Result = CopyTags(source, s.File);
            // A track number stored as "WM/TrackNumber" (ffmpeg's and most writers' WMA attribute) is not
            // one the front reads (it reads "WM/Track"): only a WMA output, which gets the source's
            // attributes as they were, keeps it.
            const bool trackLost = source.endsWith(u".wma"_s) && o.Ext != u"wma"_s;
            expect(s, u"Src Title"_s, u"Src Artist"_s, u"Src Album"_s, trackLost ? QString() : u"3"_s);
            steps.push_back(s);
            if (copied.isEmpty()) copied = s.File;
        }
        {
            TStep s = step(plain, u"copy-untagged"_s);
            s.Result = CopyTags(Plain[u"wav"_s], s.File);
            steps.push_back(s);
        }
        TStep first = step(copied, u"write1"_s);
        first.Result = WriteTags(first.File, {{u"ARTIST"_s, u"One Artist"_s}, {u"TITLE"_s, u"One Title"_s},
                                               {u"ALBUM"_s, u"One Album"_s}, {u"TRACKNUMBER"_s, u"4"_s}, {u"TOTALTRACKS"_s, u"9"_s}});
        expect(first, u"One Title"_s, u"One Artist"_s, u"One Album"_s, u"4"_s);
        steps.push_back(first);
        TStep second = step(first.File, u"write2"_s);
        second.Result = WriteTags(second.File, {{u"ARTIST"_s, u"Two Artist, longer"_s}, {u"TITLE"_s, u"Two"_s},
                                                 {u"TRACKNUMBER"_s, u"11"_s}});
        expect(second, u"Two"_s, u"Two Artist, longer"_s, u"One Album"_s, u"11"_s);
        steps.push_back(second);
        TStep same = step(second.File, u"unchanged"_s);
        same.Result = WriteTags(same.File, {});
        expect(same, u"Two"_s, u"Two Artist, longer"_s, u"One Album"_s, u"11"_s);
        steps.push_back(same);
        TStep strip = step(same.File, u"strip"_s);
        strip.Result = tags::StripTagsFromFile(strip.File, tags::ttAutomatic);
        steps.push_back(strip);
    }

    QStringList files, audio;
    for (const TStep& s : steps) {
        files << s.File;
        audio << s.File;
        if (!audio.contains(s.Before)) audio << s.Before;
        const QString ext = QFileInfo(s.File).suffix();
        const bool raw = ext == u"ac3"_s || ext == u"eac3"_s;
        // Every save reports success, but for raw AC-3, which gets no tag at all.
        if (!s.Name.endsWith(u"-strip"_s) && !s.Name.endsWith(u"-copy-untagged"_s)) {
            EXPECT_EQ(s.Result, raw ? tags::trcNotSupportedFormat : tags::trcSuccess) << s.Name.toStdString();
        }
    }
    const auto ffmpeg = FfmpegRead(audio, Dir->QPath());
    const QJsonObject peers = MutagenFields(files);
    for (const TStep& s : steps) {
        const std::string where = s.Name.toStdString();
        const QString ext = QFileInfo(s.File).suffix();
        const bool raw = ext == u"ac3"_s || ext == u"eac3"_s;
        EXPECT_EQ(ffmpeg.at(s.File).Md5, ffmpeg.at(s.Before).Md5) << where << ": the audio changed";
        EXPECT_FALSE(ffmpeg.at(s.File).Md5.isEmpty()) << where;
        if (raw) {
            EXPECT_EQ(FileBytes(s.File), FileBytes(s.Before)) << where << ": a raw AC-3 stream was written";
            continue;
        }
        if (s.Name.endsWith(u"-unchanged"_s)) {
            EXPECT_EQ(QFileInfo(s.File).size(), QFileInfo(s.Before).size()) << where << ": an unchanged save changed the size";
        }
        const QJsonObject read = peers[s.File].toObject();
        const auto& probe = ffmpeg.at(s.File).Tags;
        auto probed = [&](const char* Key) {
            const auto it = probe.find(QString::fromLatin1(Key));
            return it == probe.end() ? QString() : it->second;
        };
        if (ext == u"dts"_s) {
            // mutagen does not read raw DTS streams: ffmpeg alone judges.
        } else if (s.Title.isEmpty()) {
            EXPECT_EQ(read["count"].toInt(), 0) << where << ": fields left " << Json(read);
        } else {
            EXPECT_EQ(First(read, u"title"_s), s.Title) << where << Json(read);
            EXPECT_EQ(First(read, u"artist"_s), s.Artist) << where << Json(read);
            EXPECT_EQ(read["artist"].toArray().size(), 1) << where << Json(read);
            EXPECT_EQ(First(read, u"album"_s), s.Album) << where << Json(read);
            EXPECT_EQ(TrackNumberOf(First(read, u"track"_s)), s.Track) << where << Json(read);
            EXPECT_EQ(read["track"].toArray().size(), s.Track.isEmpty() ? 0 : 1) << where << Json(read);
        }
        if (s.Title.isEmpty()) {
            EXPECT_TRUE(probed("title").isEmpty() && probed("artist").isEmpty()) << where << ": ffmpeg still reads a field";
        } else {
            EXPECT_EQ(probed("title"), s.Title) << where;
            EXPECT_EQ(probed("artist"), s.Artist) << where;
            EXPECT_EQ(probed("album"), s.Album) << where;
            EXPECT_EQ(TrackNumberOf(probed("track")), s.Track) << where;
        }
    }
    for (const QString& note : notes) std::cout << note.toStdString() << "\n";
}


// ---------------------------------------------------------------------------------------------
// Track numbers that other programs write as "3/12"

QString TrackAndTotal(const QJsonObject& Fields)
{
    const QString total = First(Fields, u"total"_s);
    return First(Fields, u"track"_s) + (total.isEmpty() ? QString() : u'/' + total);
}

TEST_F(RealFiles, ATrackNumberWrittenAsNumberAndTotalStaysOneThroughSavesAndEdits)
{
    struct TCase {
        QString Name;
        QString Made;                  // empty when a tool is missing
        bool SizeKept;                 // the first save keeps the size (same items, same room)
    };
    std::vector<TCase> cases;
    auto derive = [&](const QString& From, const QString& Name, const QString& Tool, const QStringList& Args) {
        if (From.isEmpty() || testing_support::FindTool(Tool).isEmpty()) return QString();
        const QString file = Copy(From, Name);
        const auto run = testing_support::RunProgram(testing_support::FindTool(Tool), Args + QStringList{file});
        EXPECT_TRUE(run.Ok()) << run.Describe();
        return run.Ok() ? file : QString();
    };
    const char* apev2 = R"(
import sys
from mutagen.apev2 import APEv2
t = APEv2()
t["Title"] = "T"
for item in sys.argv[1:-1]:
    k, v = item.split("=")
    t[k] = v
t.save(sys.argv[-1])
)";
    QString mpc;
    if (!testing_support::FindTool(u"mpcenc"_s).isEmpty() && !Plain[u"wav"_s].isEmpty()) {
        mpc = Dir->QFile(u"mpcenc.mpc"_s);
        QFile::remove(mpc);
        const auto run = testing_support::RunProgram(testing_support::FindTool(u"mpcenc"_s), {u"--silent"_s, Plain[u"wav"_s], mpc});
        EXPECT_TRUE(run.Ok()) << run.Describe();
        if (run.Ok()) mpc = derive(mpc, u"mpcenc-tagged.mpc"_s, Python, {u"-c"_s, QString::fromUtf8(apev2), u"Track=3/12"_s});
    }
    cases.push_back({u"ffmpeg .wv"_s, Copy(Tagged[u"wv"_s], u"track-ffmpeg.wv"_s), true});
    cases.push_back({u"mpcenc .mpc, mutagen"_s, mpc, true});
    cases.push_back({u"metaflac"_s, derive(Plain[u"flac"_s], u"track-metaflac.flac"_s, u"metaflac"_s,
                                           {u"--set-tag=TITLE=T"_s, u"--set-tag=TRACK=3/12"_s}), true});
    cases.push_back({u"vorbiscomment"_s, derive(Plain[u"ogg"_s], u"track-vorbiscomment.ogg"_s, u"vorbiscomment"_s,
                                                {u"-w"_s, u"-t"_s, u"TITLE=T"_s, u"-t"_s, u"TRACK=3/12"_s}), false});
    cases.push_back({u"APEv2 number and total items"_s, derive(Plain[u"wv"_s], u"track-items.wv"_s, Python,
                     {u"-c"_s, QString::fromUtf8(apev2), u"TRACKNUMBER=3"_s, u"TOTALTRACKS=12"_s}), false});

    QStringList edited;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name.toStdString());
        ASSERT_FALSE(c.Made.isEmpty()) << "the file could not be made";
        std::vector<qint64> sizes{QFileInfo(c.Made).size()};
        for (int save = 0; save < 3; ++save) {
            tags::TTags t;
            ASSERT_EQ(t.LoadFromFile(c.Made), 0);
            EXPECT_EQ(t.GetTag(u"TRACKNUMBER"_s), u"3"_s);
            EXPECT_EQ(t.GetTag(u"TOTALTRACKS"_s), u"12"_s);
            EXPECT_EQ(t.SaveToFile(c.Made, tags::ttAutomatic), tags::trcSuccess);
            sizes.push_back(QFileInfo(c.Made).size());
        }
        EXPECT_EQ(sizes[2], sizes[1]);
        EXPECT_EQ(sizes[3], sizes[1]);
        if (c.SizeKept) {
            EXPECT_EQ(sizes[1], sizes[0]);
        }

        // WavPack's own verifier still passes the file whose tail we wrote in place.
        if (c.Made.endsWith(u".wv"_s) && !testing_support::FindTool(u"wvunpack"_s).isEmpty()) {
            const auto run = testing_support::RunProgram(testing_support::FindTool(u"wvunpack"_s), {u"-q"_s, u"-v"_s, c.Made});
            EXPECT_TRUE(run.Ok()) << run.Describe();
        }
        tags::TTags t;
        ASSERT_EQ(t.LoadFromFile(c.Made), 0);
        t.SetTag(u"TRACKNUMBER"_s, u"5"_s);
        EXPECT_EQ(t.SaveToFile(c.Made, tags::ttAutomatic), tags::trcSuccess);
        tags::TTags reloaded;
        ASSERT_EQ(reloaded.LoadFromFile(c.Made), 0);
        EXPECT_EQ(reloaded.GetTag(u"TRACKNUMBER"_s), u"5"_s);
        EXPECT_EQ(reloaded.GetTag(u"TOTALTRACKS"_s), u"12"_s);
        EXPECT_EQ(reloaded.TypeCount(u"TRACKNUMBER"_s) + reloaded.TypeCount(u"TRACK"_s), 1);
        edited << c.Made;
    }
    const QJsonObject peers = MutagenFields(edited);
    const auto ffmpeg = FfmpegRead(edited, Dir->QPath());
    for (const QString& file : std::as_const(edited)) {
        const auto& probe = ffmpeg.at(file).Tags;
        QString probed = probe.count(u"track"_s) ? probe.at(u"track"_s) : QString();
        for (const char* total : {"totaltracks", "tracktotal"})
            if (probe.count(QString::fromLatin1(total))) probed += u'/' + probe.at(QString::fromLatin1(total));
        EXPECT_EQ(probed.toStdString(), "5/12") << file.toStdString() << ": ffmpeg";
        const QJsonObject read = peers[file].toObject();
        EXPECT_EQ(TrackAndTotal(read), u"5/12"_s) << file.toStdString() << Json(read);
        EXPECT_EQ(read["track"].toArray().size(), 1) << file.toStdString() << Json(read);
        EXPECT_FALSE(First(read, u"title"_s).isEmpty()) << file.toStdString() << Json(read);
    }
}

// ---------------------------------------------------------------------------------------------
// Raw AC-3 and Musepack

TEST_F(RealFiles, MusepackIsKnownByItsSignatureAndRawAC3GetsNoTag)
{
    // Streams whose first bytes once read as a headerless Musepack stream.
    for (const char* ext : {"ac3", "eac3", "dts"}) {
        ASSERT_FALSE(Plain[QLatin1String(ext)].isEmpty()) << ext;
        EXPECT_NE(tags::SniffAudioFileFormat(Plain[QLatin1String(ext)]), 16) << ext;
    }
    const QString adts = Dir->QFile(u"plain.aac"_s);
    ASSERT_TRUE(testing_support::RunProgram(testing_support::FfmpegPath(),
        {u"-v"_s, u"error"_s, u"-nostdin"_s, u"-y"_s, u"-i"_s, Plain[u"wav"_s], u"-c:a"_s, u"aac"_s, u"-f"_s, u"adts"_s, adts}).Ok());
    EXPECT_NE(tags::SniffAudioFileFormat(adts), 16);
    if (!testing_support::FindTool(u"mpcenc"_s).isEmpty()) {
        const QString mpc = Dir->QFile(u"sniff.mpc"_s);
        ASSERT_TRUE(testing_support::RunProgram(testing_support::FindTool(u"mpcenc"_s), {u"--silent"_s, u"--overwrite"_s, Plain[u"wav"_s], mpc}).Ok());
        EXPECT_EQ(tags::SniffAudioFileFormat(mpc), 16) << "mpcenc's version 8 file";
    }

    // Raw AC-3 and E-AC-3, by content or by name, are left as they are.
    tags::TTags source;
    ASSERT_EQ(source.LoadFromFile(Sources[0]), 0);
    for (const char* ext : {"ac3", "eac3"}) {
        const QString byName = Copy(Plain[QLatin1String(ext)], u"raw."_s + QLatin1String(ext));
        const QString byContent = Copy(Plain[QLatin1String(ext)], u"raw-"_s + QLatin1String(ext) + u".bin"_s);
        for (const QString& file : {byName, byContent}) {
            const Bytes before = FileBytes(file);
            EXPECT_EQ(source.SaveToFile(file, tags::ttAutomatic), tags::trcNotSupportedFormat) << file.toStdString();
            EXPECT_EQ(FileBytes(file), before) << file.toStdString();
        }
    }
    // A named AC-3 file that holds something else is left alone too.
    const QString named = WriteFile(*Dir, u"other.ac3"_s, Bytes(4096, 0x55));
    EXPECT_EQ(source.SaveToFile(named, tags::ttAutomatic), tags::trcNotSupportedFormat);
    EXPECT_EQ(FileBytes(named), Bytes(4096, 0x55));
}

} // namespace
