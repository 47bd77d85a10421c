// bench/BenchSupport.h: what the benchmarks share: timing a peer program, and a reporter that keeps
// each run's time so a benchmark can check its ratio against a peer or a bound at the end.
#pragma once
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <unistd.h>
#include <map>
#include <string>

namespace bench_support {

// Runs Work in a child process: its wall time in seconds and its peak resident memory in MB; false when
// the child failed.
template <typename TWork> bool InChild(TWork Work, double& Seconds, double& PeakMB) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(Work() ? 0 : 1);
    int status = 0;
    rusage usage{};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid) return false;
    Seconds = std::chrono::duration<double>(Clock::now() - start).count();
    PeakMB = double(usage.ru_maxrss) / 1024.0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs Program with Args and returns the wall time in seconds (-1 on failure). Its standard output
// goes to Out when given, else nowhere.
inline double TimeProgram(const QString& Program, const QStringList& Args, QByteArray* Out = nullptr) {
    QProcess P;
    P.setProcessChannelMode(QProcess::SeparateChannels);
    if (!Out) P.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer T;
    T.start();
    P.start(Program, Args);
    if (!P.waitForFinished(-1) || P.exitStatus() != QProcess::NormalExit) return -1;
    const double Seconds = double(T.nsecsElapsed()) / 1e9;
    if (Out) *Out = P.readAllStandardOutput();
    return P.exitCode() == 0 || P.exitCode() == 1 ? Seconds : -1;
}

// Best (lowest) times of our code and of its peer, measured alternately so that load from other
// processes hits both alike.
struct TPair {
    double Ours = 0;
    double Peer = 0;
    void Add(double O, double P) {
        if (Ours == 0 || O < Ours) Ours = O;
        if (Peer == 0 || P < Peer) Peer = P;
    }
};

inline double Seconds(const QElapsedTimer& T) {
    return double(T.nsecsElapsed()) / 1e9;
}

// Work's wall time in seconds.
inline double Time(const std::function<void()>& Work) {
    QElapsedTimer T;
    T.start();
    Work();
    return Seconds(T);
}

// The best (lowest) time of Rounds runs of Work, Prepare untimed before each.
inline double Best(int Rounds, const std::function<void()>& Prepare, const std::function<void()>& Work) {
    double Result = 0;
    for (int I = 0; I < Rounds; ++I) {
        Prepare();
        const double S = Time(Work);
        if (Result == 0 || S < Result) Result = S;
    }
    return Result;
}

// The shortest of Runs runs of Work, in seconds.
template <typename TWork> double BestOf(TWork&& Work, int Runs) {
    double best = 1e9;
    for (int r = 0; r < Runs; ++r) {
        QElapsedTimer t;
        t.start();
        Work();
        best = std::min(best, Seconds(t));
    }
    return best;
}

// Keeps the mean real and CPU time per iteration of every run, by benchmark name.
class TKeepingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Runs) override {
        for (const Run& R : Runs)
            if (R.run_type == Run::RT_Iteration && R.iterations > 0) {
                Seconds[R.benchmark_name()] = R.real_accumulated_time / double(R.iterations);
                CpuSeconds[R.benchmark_name()] = R.cpu_accumulated_time / double(R.iterations);
            }
        ConsoleReporter::ReportRuns(Runs);
    }
    std::map<std::string, double> Seconds;
    std::map<std::string, double> CpuSeconds;
};

// Prints "label: value (limit)" and returns whether the check holds.
inline bool Check(const char* Label, double Value, const char* Relation, double Limit) {
    const bool Ok = std::string(Relation) == "<=" ? Value <= Limit : Value >= Limit;
    std::printf("%-60s %8.3f  (%s %.2f)  %s\n", Label, Value, Relation, Limit, Ok ? "ok" : "FAILED");
    return Ok;
}

// A tree of 100 folders of 100 folders with ten empty files in each of the 10,000 inner ones
// ("Folder a/subb/clip f.webm"), made once under Root and synced before anything is timed.
inline void MakeFileTree(const QString& Root) {
    for (int a = 0; a < 100; ++a)
        for (int b = 0; b < 100; ++b) {
            const QString Folder = QStringLiteral("%1/Folder %2/sub%3").arg(Root).arg(a).arg(b);
            QDir().mkpath(Folder);
            for (int f = 0; f < 10; ++f) {
                QFile F(QStringLiteral("%1/clip %2.webm").arg(Folder).arg(f));
                F.open(QIODevice::WriteOnly);
            }
        }
    ::sync();
}

// Writes all of Bytes to the standard output (a fake child program's lines); false on a failed write.
inline bool WriteOut(const std::string& Bytes) {
    size_t Done = 0;
    while (Done < Bytes.size()) {
        const ssize_t N = ::write(1, Bytes.data() + Done, Bytes.size() - Done);
        if (N <= 0) return false;
        Done += size_t(N);
    }
    return true;
}

} // namespace bench_support
