#include "tests/support/MediaFixtures.h"

#include "tests/support/Peers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <unistd.h>

namespace testing_support {

namespace {

// How a fixture is made: ffmpeg arguments between the common head and the output name. "{meta}" stands
// for a file holding Metadata (an FFMETADATA text). Script: made by that script of the repository instead.
struct TRecipe {
    TFixtureInfo Info;
    QStringList Args;
    QString Metadata;
    QString Script;
};

constexpr int DurationMs = 2000;

QStringList Video(int Width = 160, int Height = 120, int Ms = DurationMs) {
    return {u"-f"_qs, u"lavfi"_qs, u"-i"_qs,
            u"testsrc=size=%1x%2:rate=10:duration=%3"_qs.arg(Width).arg(Height).arg(Ms / 1000.0)};
}

QStringList Tone(int SampleRate, int Frequency = 440, int Ms = DurationMs) {
    return {
        u"-f"_qs, u"lavfi"_qs, u"-i"_qs,
        u"sine=frequency=%1:sample_rate=%2:duration=%3"_qs.arg(Frequency).arg(SampleRate).arg(Ms / 1000.0)};
}

QStringList Audio(const QString& Codec, int Channels, const QStringList& Extra = {}) {
    return QStringList{u"-c:a"_qs, Codec, u"-ac"_qs, QString::number(Channels)} + Extra;
}

QStringList Map(std::initializer_list<const char16_t*> Streams) {
    QStringList args;
    for (const char16_t* stream : Streams) args << u"-map"_qs << QString::fromUtf16(stream);
    return args;
}

TFixtureStream V(const char* Codec, int Width = 160, int Height = 120) {
    return {u"video"_qs, QString::fromLatin1(Codec), Width, Height, 0, 0, {}};
}

TFixtureStream A(const char* Codec, int Channels, int SampleRate, const char* Language = "") {
    return {u"audio"_qs, QString::fromLatin1(Codec),   0, 0, Channels,
            SampleRate,  QString::fromLatin1(Language)};
}

QStringList TagArgs(const std::vector<std::pair<QString, QString>>& Tags) {
    QStringList args;
    for (const auto& [key, value] : Tags) args << u"-metadata"_qs << key + u'=' + value;
    return args;
}

QStringList Opus(int Channels) {
    return Audio(u"libopus"_qs, Channels, {u"-b:a"_qs, u"48k"_qs});
}
QStringList Vorbis(int Channels) {
    return Audio(u"libvorbis"_qs, Channels, {u"-q:a"_qs, u"1"_qs});
}
QStringList Aac(int Channels) {
    return Audio(u"aac"_qs, Channels, {u"-b:a"_qs, u"64k"_qs});
}
QStringList Mp3(int Channels) {
    return Audio(u"libmp3lame"_qs, Channels, {u"-b:a"_qs, u"64k"_qs});
}

// Everything here is built on first use, never at static initialisation, so that tests may take
// AllMediaFixtures() for ValuesIn() of a parameterised suite.
std::vector<TRecipe> MakeRecipes() {
    const QStringList vp9 = {u"-c:v"_qs, u"libvpx-vp9"_qs, u"-deadline"_qs, u"realtime"_qs, u"-cpu-used"_qs,
                             u"8"_qs,    u"-b:v"_qs,       u"100k"_qs,      u"-pix_fmt"_qs, u"yuv420p"_qs};
    const QStringList vp8 = {u"-c:v"_qs, u"libvpx"_qs, u"-deadline"_qs, u"realtime"_qs, u"-cpu-used"_qs,
                             u"8"_qs,    u"-b:v"_qs,   u"100k"_qs,      u"-pix_fmt"_qs, u"yuv420p"_qs};
    const QStringList h264 = {u"-c:v"_qs,      u"libx264"_qs,  u"-preset"_qs,
                              u"ultrafast"_qs, u"-pix_fmt"_qs, u"yuv420p"_qs};
    const QString matroska = u"matroska,webm"_qs;
    const QString mp4 = u"mov,mp4,m4a,3gp,3g2,mj2"_qs;
    const std::vector<std::pair<QString, QString>> fixtureTags = {
        {u"title"_qs, u"Fixture Tone"_qs},   {u"artist"_qs, u"Zoë Quartet"_qs},
        {u"album"_qs, u"Test Pressings"_qs}, {u"date"_qs, u"2021"_qs},
        {u"genre"_qs, u"Ambient"_qs},        {u"comment"_qs, u"made by the test fixtures"_qs},
        {u"track"_qs, u"3/12"_qs},
    };

    std::vector<TRecipe> r;
    auto add = [&r](EFixture Id, const QString& FileName, const QString& Format,
                    std::vector<TFixtureStream> Streams, QStringList Args) -> TRecipe& {
        TRecipe recipe;
        recipe.Info.Id = Id;
        recipe.Info.FileName = FileName;
        recipe.Info.Format = Format;
        recipe.Info.DurationMs = DurationMs;
        recipe.Info.Streams = std::move(Streams);
        recipe.Args = std::move(Args);
        return r.emplace_back(std::move(recipe));
    };
    const QStringList flv1 = {u"-c:v"_qs, u"flv"_qs};
    const QStringList h263 = {u"-c:v"_qs, u"h263"_qs};

    add(EFixture::WebmVp9Opus, u"webm-vp9-opus.webm"_qs, matroska, {V("vp9"), A("opus", 2, 48000)},
        Video() + Tone(48000) + vp9 + Opus(2));
    add(EFixture::WebmVp8Vorbis, u"webm-vp8-vorbis.webm"_qs, matroska, {V("vp8"), A("vorbis", 2, 44100)},
        Video() + Tone(44100) + vp8 + Vorbis(2));
    add(EFixture::Mp4H264Aac, u"mp4-h264-aac.mp4"_qs, mp4, {V("h264"), A("aac", 2, 44100)},
        Video() + Tone(44100) + h264 + Aac(2));
    add(EFixture::Flv, u"flv-flv1-mp3.flv"_qs, u"flv"_qs, {V("flv1"), A("mp3", 2, 22050)},
        Video() + Tone(22050) + flv1 + Mp3(2));
    // H.263 allows only a few picture sizes; QCIF is the one phones recorded.
    add(EFixture::ThreeGp, u"3gp-h263-aac.3gp"_qs, mp4, {V("h263", 176, 144), A("aac", 1, 22050)},
        Video(176, 144) + Tone(22050) + h263 + Aac(1));
    add(EFixture::Mkv, u"mkv-h264-ac3.mkv"_qs, matroska, {V("h264"), A("ac3", 2, 48000)},
        Video() + Tone(48000) + h264 + Audio(u"ac3"_qs, 2, {u"-b:a"_qs, u"96k"_qs}));
    add(EFixture::AudioM4a, u"audio-aac.m4a"_qs, mp4, {A("aac", 2, 44100)}, Tone(44100) + Aac(2));
    add(EFixture::AudioMp3, u"audio.mp3"_qs, u"mp3"_qs, {A("mp3", 2, 44100)}, Tone(44100) + Mp3(2));
    add(EFixture::VideoOnly, u"video-only.webm"_qs, matroska, {V("vp9")},
        Video() + vp9 + QStringList{u"-an"_qs});
    add(EFixture::TwoAudioStreams, u"two-audio-eng-ger.webm"_qs, matroska,
        {V("vp9"), A("opus", 2, 48000, "eng"), A("opus", 1, 48000, "ger")},
        Video() + Tone(48000) + Tone(48000, 880) + Map({u"0:v", u"1:a", u"2:a"}) + vp9 +
            QStringList{u"-c:a"_qs, u"libopus"_qs, u"-b:a"_qs, u"32k"_qs, u"-ac:a:0"_qs, u"2"_qs,
                        u"-ac:a:1"_qs, u"1"_qs, u"-metadata:s:a:0"_qs, u"language=eng"_qs,
                        u"-metadata:s:a:1"_qs, u"language=ger"_qs});
    add(EFixture::Mono, u"mono-vorbis.webm"_qs, matroska, {V("vp8"), A("vorbis", 1, 22050)},
        Video() + Tone(22050) + vp8 + Vorbis(1));
    add(EFixture::Tagged, u"tagged.webm"_qs, matroska, {V("vp9"), A("opus", 2, 48000)},
        Video() + Tone(48000) + vp9 + Opus(2) + TagArgs(fixtureTags))
        .Info.Tags = fixtureTags;
    add(EFixture::TaggedMp4, u"tagged.mp4"_qs, mp4, {V("h264"), A("aac", 2, 44100)},
        Video() + Tone(44100) + h264 + Aac(2) + TagArgs(fixtureTags))
        .Info.Tags = fixtureTags;

    TRecipe& chapters =
        add(EFixture::Chapters, u"chapters.webm"_qs, matroska, {V("vp9"), A("opus", 2, 48000)},
            Video(160, 120, 3000) + Tone(48000, 440, 3000) +
                QStringList{u"-f"_qs, u"ffmetadata"_qs, u"-i"_qs, u"{meta}"_qs} + Map({u"0:v", u"1:a"}) +
                QStringList{u"-map_chapters"_qs, u"2"_qs} + vp9 + Opus(2));
    chapters.Info.DurationMs = 3000;
    chapters.Info.Chapters = {
        {u"Opening"_qs, 0, 1000}, {u"Überleitung"_qs, 1000, 2000}, {u"Finale"_qs, 2000, 3000}};
    // The chapter file is made from the description, so the two cannot drift apart.
    chapters.Metadata = u";FFMETADATA1\n"_qs;
    for (const auto& c : chapters.Info.Chapters)
        chapters.Metadata +=
            u"[CHAPTER]\nTIMEBASE=1/1000\nSTART=%1\nEND=%2\ntitle=%3\n"_qs.arg(c.StartMs).arg(c.EndMs).arg(
                c.Title);

    TRecipe& sample = add(EFixture::Sample, u"tunewright-sample.webm"_qs, matroska,
                          {V("vp9", 320, 240), A("opus", 2, 48000)}, {});
    sample.Info.DurationMs = 5000;
    sample.Info.Tags = {{u"title"_qs, u"Tunewright Sample"_qs},
                        {u"artist"_qs, u"Tunewright Test Signals"_qs}};
    sample.Script = u"scripts/make-sample.sh"_qs;
    return r;
}

const std::vector<TRecipe>& Recipes() {
    static const std::vector<TRecipe> recipes = MakeRecipes();
    return recipes;
}

const TRecipe& RecipeOf(EFixture Id) {
    for (const TRecipe& recipe : Recipes())
        if (recipe.Info.Id == Id) return recipe;
    throw std::logic_error("media fixture without a recipe");
}

QString SourceDir() {
    const QString env = qEnvironmentVariable("TW_SOURCE_DIR");
    return env.isEmpty() ? QString::fromUtf8(TW_SUPPORT_SOURCE_DIR) : env;
}

QStringList Head() {
    return {u"-hide_banner"_qs, u"-nostdin"_qs, u"-loglevel"_qs, u"error"_qs, u"-y"_qs};
}

// Names the cache folder: any change to a recipe or to the sample script gives a new one.
QString RecipeHash() {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const TRecipe& recipe : Recipes()) {
        hash.addData(
            (recipe.Info.FileName + u'\n' + (Head() + recipe.Args).join(u'\x1f') + u'\n' + recipe.Metadata)
                .toUtf8());
        if (!recipe.Script.isEmpty()) {
            QFile script(SourceDir() + u'/' + recipe.Script);
            if (script.open(QIODevice::ReadOnly)) hash.addData(script.readAll());
        }
    }
    return QString::fromLatin1(hash.result().toHex().left(12));
}

// Held while one fixture is being made, so that parallel test processes make it once.
class TFileLock {
public:
    explicit TFileLock(const QString& Path)
        : FFd(::open(QFile::encodeName(Path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        if (FFd < 0) throw std::runtime_error("cannot open lock file " + Path.toStdString());
        while (::flock(FFd, LOCK_EX) != 0)
            if (errno != EINTR) throw std::runtime_error("cannot lock " + Path.toStdString());
    }
    ~TFileLock() { ::close(FFd); }
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

private:
    int FFd;
};

// Makes the fixture at Target through a temporary name beside it. Returns an error text, empty on success.
QString Make(const TRecipe& Recipe, const QString& Dir, const QString& Target) {
    static std::atomic<unsigned> counter{0};
    const QString prefix = u"%1/.tmp-%2-%3-"_qs.arg(Dir).arg(::getpid()).arg(counter++);
    const QString temp = prefix + Recipe.Info.FileName; // keeps the extension that picks the muxer
    const QString metaFile = prefix + u"ffmetadata.txt"_qs;

    TRunResult run;
    if (!Recipe.Script.isEmpty()) {
        run = RunProgram(u"/bin/bash"_qs, {SourceDir() + u'/' + Recipe.Script, temp});
    } else {
        QStringList args = Head();
        for (const QString& arg : Recipe.Args) args << (arg == u"{meta}"_qs ? metaFile : arg);
        if (!Recipe.Metadata.isEmpty()) {
            QFile meta(metaFile);
            if (!meta.open(QIODevice::WriteOnly) || meta.write(Recipe.Metadata.toUtf8()) < 0)
                return u"cannot write "_qs + metaFile;
        }
        run = RunProgram(FfmpegPath(), args << temp);
        QFile::remove(metaFile);
    }
    const QFileInfo made(temp);
    if (!run.Ok() || !made.isFile() || made.size() == 0) {
        QFile::remove(temp);
        return QString::fromStdString(run.Ok() ? std::string("no output") : run.Describe());
    }
    if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(Target).constData()) != 0) {
        QFile::remove(temp);
        return u"cannot rename to "_qs + Target;
    }
    return {};
}

} // namespace

int TFixtureInfo::StreamCount(const QString& Type) const {
    int count = 0;
    for (const TFixtureStream& stream : Streams) count += stream.Type == Type;
    return count;
}

const std::vector<TFixtureInfo>& AllMediaFixtures() {
    static const std::vector<TFixtureInfo> all = [] {
        std::vector<TFixtureInfo> infos;
        for (const TRecipe& recipe : Recipes()) infos.push_back(recipe.Info);
        return infos;
    }();
    return all;
}

const TFixtureInfo& FixtureInfo(EFixture Id) {
    return RecipeOf(Id).Info;
}

QString FfmpegPath() {
    static const QString path = FindTool(u"ffmpeg"_qs);
    return path;
}

QString FixtureDir() {
    static const QString dir = [] {
        QString root = qEnvironmentVariable("TW_FIXTURE_DIR");
        if (root.isEmpty()) {
            const QString tmp = qEnvironmentVariable("TMPDIR");
            root = (tmp.isEmpty() ? u"/tmp"_qs : tmp) + u"/tunewright-fixtures-"_qs +
                   QString::number(::getuid());
        }
        return root + u"/media-"_qs + RecipeHash();
    }();
    return dir;
}

QString FixtureIn(const QString& Dir, EFixture Id) {
    const TRecipe& recipe = RecipeOf(Id);
    const QString target = Dir + u'/' + recipe.Info.FileName;
    if (QFileInfo::exists(target)) return target;
    if (FfmpegPath().isEmpty()) {
        ADD_FAILURE() << "ffmpeg is not installed; use TW_REQUIRE_FIXTURES() to skip instead";
        return {};
    }
    QString error;
    try {
        if (!QDir().mkpath(Dir)) throw std::runtime_error("cannot create " + Dir.toStdString());
        const TFileLock lock(Dir + u"/."_qs + recipe.Info.FileName + u".lock"_qs);
        if (!QFileInfo::exists(target)) error = Make(recipe, Dir, target);
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    if (!error.isEmpty()) {
        ADD_FAILURE() << "cannot make media fixture " << target.toStdString() << ": " << error.toStdString();
        return {};
    }
    return target;
}

QString Fixture(EFixture Id) {
    return FixtureIn(FixtureDir(), Id);
}

QString CopyFixture(EFixture Id, const QString& DestDir, const QString& Name) {
    const QString source = Fixture(Id);
    if (source.isEmpty()) return {};
    const QString target = DestDir + u'/' + (Name.isEmpty() ? FixtureInfo(Id).FileName : Name);
    QFile::remove(target);
    if (!QFile::copy(source, target)) {
        ADD_FAILURE() << "cannot copy " << source.toStdString() << " to " << target.toStdString();
        return {};
    }
    QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    return target;
}

} // namespace testing_support
