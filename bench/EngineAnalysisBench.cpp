// bench/EngineAnalysisBench.cpp: the analysis of every media fixture (the full file analysis and the
// chapter reading) against the bare calls it makes: the same `ffmpeg -i` and `ffprobe -show_chapters`
// started directly with posix_spawn and drained, and the library's open and report called directly.
// Best of 5 alternating passes over all fixtures; checks that the analysis takes at most 1.1 times as long.
// bench-libs: engine tw_test_support
#include "bench/BenchSupport.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/engine/Analysis.h"
#include "app/engine/FFprobe.h"
#include "app/engine/Procs.h"
#include "tests/support/MediaFixtures.h"

extern char** environ;

namespace {

QStringList Files;
QString Ffmpeg, Ffprobe, Library;
bench_support::TPair Pass; // Ours: the analysis; Peer: the bare calls

// Runs the program with both output streams into one pipe, reads it to the end, and waits for it.
bool SpawnAndDrain(const QString& Program, const QStringList& Args) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    std::vector<std::string> strings{Program.toStdString()};
    for (const QString& A : Args) strings.push_back(A.toStdString());
    std::vector<char*> argv;
    for (auto& S : strings) argv.push_back(S.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return false;
    }
    char buffer[20481];
    while (read(fds[0], buffer, sizeof buffer) > 0) {
    }
    close(fds[0]);
    int status = 0;
    return waitpid(pid, &status, 0) == pid;
}

// The library's calls as the analysis makes them, straight through dlopen.
struct TBareLibrary {
    void* (*New)() = nullptr;
    void (*Delete)(void*) = nullptr;
    size_t (*Open)(void*, const wchar_t*) = nullptr;
    void (*Close)(void*) = nullptr;
    const wchar_t* (*Inform)(void*, size_t) = nullptr;
    const wchar_t* (*Option)(void*, const wchar_t*, const wchar_t*) = nullptr;

    bool Load(const QString& Path) {
        void* H = dlopen(Path.toUtf8().constData(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (!H) return false;
        New = reinterpret_cast<decltype(New)>(dlsym(H, "MediaInfo_New"));
        Delete = reinterpret_cast<decltype(Delete)>(dlsym(H, "MediaInfo_Delete"));
        Open = reinterpret_cast<decltype(Open)>(dlsym(H, "MediaInfo_Open"));
        Close = reinterpret_cast<decltype(Close)>(dlsym(H, "MediaInfo_Close"));
        Inform = reinterpret_cast<decltype(Inform)>(dlsym(H, "MediaInfo_Inform"));
        Option = reinterpret_cast<decltype(Option)>(dlsym(H, "MediaInfo_Option"));
        return New && Delete && Open && Close && Inform && Option;
    }
    void Analyse(const QString& File) const {
        void* H = New();
        if (Open(H, File.toStdWString().c_str())) {
            Option(nullptr, L"Complete", L"0");
            benchmark::DoNotOptimize(Inform(H, 0));
        }
        Close(H);
        Delete(H);
    }
} Bare;

double TimeOurs() {
    QElapsedTimer T;
    T.start();
    for (const QString& File : Files) {
        engine::TVideoFileInfo Info = engine::GetVideoFileInfo(File, Ffmpeg);
        engine::GetMediaChapters(File, Ffprobe, Info);
        if (Info.Duration <= 0) return -1;
    }
    return bench_support::Seconds(T);
}

double TimeBare() {
    QElapsedTimer T;
    T.start();
    for (const QString& File : Files) {
        if (!SpawnAndDrain(Ffmpeg, {QStringLiteral("-i"), File})) return -1;
        if (!SpawnAndDrain(Ffprobe, {QStringLiteral("-show_chapters"), QStringLiteral("-print_format"),
                                     QStringLiteral("ini"), QStringLiteral("-i"), File}))
            return -1;
        Bare.Analyse(File);
    }
    return bench_support::Seconds(T);
}

void BM_AnalyseEveryFixture(benchmark::State& State) {
    TimeOurs(); // warm both paths: the library loads once, the files enter the cache
    TimeBare();
    for (auto _ : State) {
        const double ours = TimeOurs();
        const double bare = TimeBare();
        if (ours < 0 || bare < 0) State.SkipWithError("an analysis or a tool run failed");
        Pass.Add(ours, bare);
        State.SetIterationTime(ours);
    }
    State.counters["files"] = double(Files.size());
    State.counters["ours_ms_per_file"] = Pass.Ours * 1000 / double(Files.size());
    State.counters["bare_ms_per_file"] = Pass.Peer * 1000 / double(Files.size());
}

BENCHMARK(BM_AnalyseEveryFixture)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    engine::TAppParams Params;
    engine::InitAppParams(Params);
    Ffmpeg = engine::GetFFmpegExe(Params);
    Ffprobe = engine::GetFFprobeExe(Params);
    Library = engine::GetMediaInfoDll(Params);
    if (Ffmpeg.isEmpty() || Ffprobe.isEmpty() || Library.isEmpty() || !Bare.Load(Library)) {
        std::fprintf(stderr, "ffmpeg, ffprobe or libmediainfo.so.0 is missing\n");
        return 1;
    }
    engine::AppParams.MediaInfoDll = Library;
    for (const auto& F : testing_support::AllMediaFixtures()) Files << testing_support::Fixture(F.Id);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    if (Pass.Ours <= 0 || Pass.Peer <= 0) return 1;
    std::printf("analysis %.1f ms per file, bare calls %.1f ms per file (best pass of 5 over %lld files)\n",
                Pass.Ours * 1000 / double(Files.size()), Pass.Peer * 1000 / double(Files.size()),
                static_cast<long long>(Files.size()));
    return bench_support::Check("analysis time / bare tool and library time", Pass.Ours / Pass.Peer,
                                "<=", 1.1)
               ? 0
               : 1;
}
