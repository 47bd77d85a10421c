// bench/BaseIniBench.cpp: loading, changing and saving a settings file grows linearly with its keys.
// bench-libs: base
#include "bench/BenchSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "base/MemIniFile.h"

namespace {

QTemporaryDir& Folder() {
    static QTemporaryDir Dir;
    return Dir;
}

// Keys spread over sections of 500, as large settings files and profile sets are.
QString MakeIni(int Keys) {
    const QString Name = Folder().filePath(QStringLiteral("keys%1.ini").arg(Keys));
    QFile F(Name);
    F.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QByteArray Text("\xEF\xBB\xBF");
    for (int i = 0; i < Keys; ++i) {
        if (i % 500 == 0) Text += "[Section" + QByteArray::number(i / 500) + "]\r\n";
        Text += "Key" + QByteArray::number(i) + "=value " + QByteArray::number(i) + "\r\n";
    }
    F.write(Text);
    return Name;
}

void BM_IniLoadChangeSave(benchmark::State& State) {
    const int Keys = int(State.range(0));
    const QString Name = MakeIni(Keys);
    for (auto _ : State) {
        base::TKwpMemIniFile Ini(Name);
        int64_t Sum = 0;
        for (int i = 0; i < Keys; ++i) {
            const QString Section = QStringLiteral("Section%1").arg(i / 500);
            const QString Key = QStringLiteral("KEY%1").arg(i); // lookups ignore case
            Sum += Ini.ReadString(Section, Key, QString()).size();
            Ini.WriteInteger(Section, Key, i * 2);
        }
        for (int i = 0; i < 100; ++i)
            Ini.WriteString(QStringLiteral("Added"), QStringLiteral("New%1").arg(i), QStringLiteral("x"));
        Ini.UpdateFile();
        benchmark::DoNotOptimize(Sum);
    }
    State.SetItemsProcessed(State.iterations() * Keys);
}
BENCHMARK(BM_IniLoadChangeSave)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench_support::TKeepingReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    const std::string Small = "BM_IniLoadChangeSave/1000/min_time:1.000",
                      Large = "BM_IniLoadChangeSave/5000/min_time:1.000";
    if (!Reporter.CpuSeconds.count(Small) || !Reporter.CpuSeconds.count(Large)) return 0; // filtered out
    // CPU time: the wall time also holds the disk flush of the saved file, which does not scale with keys.
    bench_support::Check("INI 5,000 keys / 1,000 keys (wall time ratio)",
                         Reporter.Seconds[Large] / Reporter.Seconds[Small], "<=", 6.0);
    return bench_support::Check("INI 5,000 keys / 1,000 keys (CPU time ratio)",
                                Reporter.CpuSeconds[Large] / Reporter.CpuSeconds[Small], "<=", 6.0)
               ? 0
               : 1;
}
