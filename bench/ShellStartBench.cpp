// bench/ShellStartBench.cpp: the program started as a user starts it: a fresh tunewright process, offscreen,
// timed from its start until its main window is shown and its first messages are handled (the program
// prints "shown" then, asked by TW_EXIT_WHEN_SHOWN). Bound: 0.5 s (the median of the runs). A process that
// only starts and ends (/bin/true) is reported beside it.
// Usage: ShellStartBench [path of tunewright] (default: the build tree's app/shell/tunewright).
// Exits non-zero when the bound is missed or the program does not show its window.
// bench-libs:
#include "bench/BenchSupport.h"

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace {

// Seconds from the start to the "shown" line; -1 when it never comes.
double TimeToShown(const QString& Program, const QProcessEnvironment& Env) {
    QProcess p;
    p.setProcessEnvironment(Env);
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(Program, {});
    QByteArray out;
    double seconds = -1;
    while (p.waitForReadyRead(10000)) {
        out += p.readAllStandardOutput();
        if (out.contains("shown\n")) {
            seconds = bench_support::Seconds(t);
            break;
        }
    }
    p.waitForFinished(10000);
    return seconds;
}

double Median(std::vector<double> V) {
    std::sort(V.begin(), V.end());
    return V[V.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString program = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                     : QCoreApplication::applicationDirPath() + QStringLiteral("/../app/shell/tunewright");
    if (!QFile::exists(program)) {
        std::printf("no program at %s\n", qUtf8Printable(program));
        return 1;
    }
    // A first-time user's environment: no settings, no display but the offscreen one.
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TW_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));

    std::vector<double> ours, bare;
    TimeToShown(program, env); // the first run fills the file cache
    for (int i = 0; i < 7; ++i) {
        const double s = TimeToShown(program, env);
        if (s < 0) {
            std::printf("the program did not show its window\n");
            return 1;
        }
        ours.push_back(s);
        bare.push_back(bench_support::TimeProgram(QStringLiteral("/bin/true"), {}));
    }
    const double median = Median(ours);
    std::printf("fresh process to a shown window: median %.1f ms, best %.1f ms; /bin/true %.1f ms\n", median * 1e3,
                *std::min_element(ours.begin(), ours.end()) * 1e3, Median(bare) * 1e3);
    return bench_support::Check("fresh process to a shown window (median), s", median, "<=", 0.5) ? 0 : 1;
}
