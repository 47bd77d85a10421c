// tests/engine/analysis/PeerReports.h: the peers' reports of a file (ffprobe's JSON, `mediainfo --Full`),
// asked once per file and test run. Asking ahead runs the peers in the background, so that their
// start-up costs overlap with each other and with the test's own tool runs.
#pragma once
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <future>
#include <map>
#include <mutex>

#include "tests/support/Peers.h"

namespace analysis_tests {

struct TPeerReports {
    QJsonObject Probe;
    QString Mediainfo;
};

class TPeerReportCache {
public:
    static TPeerReportCache& Instance() {
        static TPeerReportCache Cache;
        return Cache;
    }
    // Starts asking both peers about every file not asked yet; returns at once.
    void AskAhead(const QStringList& Files) {
        std::lock_guard Guard(FLock);
        for (const QString& File : Files)
            if (!FReports.count(File))
                FReports.emplace(File, std::async(std::launch::async, [File] {
                                           return TPeerReports{testing_support::FfprobeJson(File).object(),
                                                               testing_support::MediainfoFull(File)};
                                       }).share());
    }
    const TPeerReports& Get(const QString& File) {
        AskAhead({File});
        std::shared_future<TPeerReports> Future;
        {
            std::lock_guard Guard(FLock);
            Future = FReports.at(File);
        }
        return Future.get();
    }

private:
    std::mutex FLock;
    std::map<QString, std::shared_future<TPeerReports>> FReports;
};

inline void AskPeersAhead(const QStringList& Files) {
    TPeerReportCache::Instance().AskAhead(Files);
}
inline const TPeerReports& PeerReports(const QString& File) {
    return TPeerReportCache::Instance().Get(File);
}

} // namespace analysis_tests
