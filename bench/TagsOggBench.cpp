// bench/TagsOggBench.cpp: Ogg comment saves against the Ogg tools in one run.
// - A 200 MB Ogg Vorbis file whose comment header grows, so that every page after it is read, renumbered
//   and checksummed into a new file: at least half the throughput of ogginfo reading the same file,
//   and a peak memory under 64 MB.
// - Tag saves into 1,000 small Ogg Vorbis files: at least as fast as vorbiscomment -w on each.
// Needs ffmpeg, oggenc, ogginfo and vorbiscomment (scripts/bootstrap.sh).
// bench-libs: tags rtl
#include "BenchSupport.h"

#include "rtl/Streams.h"
#include "tags/TagOggVorbisAndOpus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

using bench_support::Check;

namespace {

// Saves a longer comment into each file; 0 when every save succeeded.
int SaveInto(const QStringList& Files)
{
    for (const QString& file : Files) {
        tags::TOpusTag tag;
        if (tag.LoadFromFile(file) != 0) return 1;
        tag.SetTextFrameText(QStringLiteral("TITLE"), QStringLiteral("A title long enough to need new pages ") + QString(5000, u'x'));
        if (tag.SaveToFile(file) != 0) return 1;
    }
    return 0;
}

// The time and peak memory of this program saving into the files, in a child process.
double TimeOurs(const QStringList& Files, long* MaxRssKB)
{
    QElapsedTimer t;
    t.start();
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(SaveInto(Files));
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    if (MaxRssKB) *MaxRssKB = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? bench_support::Seconds(t) : -1;
}

// The first small file's header pages, then its audio pages over and over, numbered on, up to Size bytes.
bool MakeBigFile(const QString& Small, const QString& Big, int64_t Size)
{
    rtl::TFileStream in(Small, rtl::fmOpenRead | rtl::fmShareDenyNone);
    tags::TOpusTag tag;
    if (tag.LoadFromStream(in) != 0) return false;
    const int64_t audioStart = tag.Info.TagEndPos;
    rtl::TMemoryStream pages;
    in.SetPosition(0);
    pages.CopyFrom(in, in.Size());
    rtl::TFileStream out(Big, rtl::fmCreate);
    out.WriteBuffer(pages.Memory(), audioStart);
    rtl::TMemoryStream audio;
    pages.SetPosition(audioStart);
    audio.CopyFrom(pages, pages.Size() - audioStart);
    int64_t number = tag.Info.CommentPageNumber + tag.Info.CommentPageCount;
    while (out.Size() < Size) {
        audio.SetPosition(0);
        tags::TOGGStream stream(&audio);
        rtl::TMemoryStream renumbered;
        stream.ReNumberPages(number, audio, renumbered, tag.Info.Serial);
        number += stream.LastPageQueried;
        out.WriteBuffer(renumbered.Memory(), renumbered.Size());
    }
    return true;
}

} // namespace

int main(int, char**)
{
    const QString dir = QDir::tempPath() + QStringLiteral("/tw-ogg-bench-%1").arg(::getpid());
    QDir().mkpath(dir);
    const QString wav = dir + QStringLiteral("/tone.wav"), small = dir + QStringLiteral("/small.ogg");
    if (bench_support::TimeProgram(QStringLiteral("ffmpeg"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"),
                                                              QStringLiteral("lavfi"), QStringLiteral("-i"),
                                                              QStringLiteral("sine=duration=20"), QStringLiteral("-ac"),
                                                              QStringLiteral("2"), wav}) < 0 ||
        bench_support::TimeProgram(QStringLiteral("oggenc"), {QStringLiteral("-Q"), QStringLiteral("-t"), QStringLiteral("Small"),
                                                              QStringLiteral("-o"), small, wav}) < 0) {
        std::printf("ffmpeg and oggenc are needed\n");
        return 1;
    }
    bool ok = true;

    // One large file: a rewrite with every page renumbered, against ogginfo reading it.
    const QString big = dir + QStringLiteral("/big.ogg"), work = dir + QStringLiteral("/work.ogg");
    if (!MakeBigFile(small, big, 200ll << 20)) return 1;
    bench_support::TPair large;
    long rss = 0, worstRss = 0;
    for (int round = 0; round < 3; ++round) {
        QFile::remove(work);
        QFile::copy(big, work);
        ::sync();
        const double ours = TimeOurs({work}, &rss);
        worstRss = std::max(worstRss, rss);
        const double peer = bench_support::TimeProgram(QStringLiteral("ogginfo"), {big});
        if (ours < 0 || peer < 0) {
            std::printf("a run failed (ours %.3f, ogginfo %.3f)\n", ours, peer);
            return 1;
        }
        large.Add(ours, peer);
    }
    const double mb = double(QFileInfo(big).size()) / (1 << 20);
    std::printf("200 MB rewrite: ours %.3f s (%.0f MB/s), ogginfo %.3f s (%.0f MB/s), peak %ld KB\n", large.Ours,
                mb / large.Ours, large.Peer, mb / large.Peer, worstRss);
    ok &= Check("rewrite throughput / ogginfo throughput", large.Peer / large.Ours, ">=", 0.5);
    ok &= Check("peak memory of the rewrite (MB)", double(worstRss) / 1024, "<=", 64);

    // 1,000 small files, each tool on fresh copies.
    QStringList files;
    for (int i = 0; i < 1000; ++i) files << dir + QStringLiteral("/many/f%1.ogg").arg(i);
    auto fresh = [&] {
        QDir(dir + QStringLiteral("/many")).removeRecursively();
        QDir().mkpath(dir + QStringLiteral("/many"));
        for (const QString& f : files) QFile::copy(small, f);
        ::sync();
    };
    bench_support::TPair many;
    for (int round = 0; round < 3; ++round) {
        fresh();
        const double ours = TimeOurs(files, nullptr);
        fresh();
        QElapsedTimer t;
        t.start();
        for (const QString& f : files)
            if (bench_support::TimeProgram(QStringLiteral("vorbiscomment"), {QStringLiteral("-w"), QStringLiteral("-t"),
                                                                             QStringLiteral("TITLE=A new title"), f}) < 0)
                return 1;
        const double peer = bench_support::Seconds(t);
        if (ours < 0) return 1;
        many.Add(ours, peer);
    }
    std::printf("1000 small saves: ours %.3f s, vorbiscomment %.3f s\n", many.Ours, many.Peer);
    ok &= Check("1000 saves: ours / vorbiscomment", many.Ours / many.Peer, "<=", 1.0);

    QDir(dir).removeRecursively();
    return ok ? 0 : 1;
}
