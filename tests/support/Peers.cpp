#include "tests/support/Peers.h"

#include <QFileInfo>
#include <QJsonParseError>
#include <QProcess>
#include <QStandardPaths>

#include <map>
#include <mutex>
#include <utility>

namespace testing_support {

std::string TRunResult::Describe() const {
    QString text;
    if (!Started)
        text = u"not started: "_qs + Error;
    else if (TimedOut)
        text = u"timed out"_qs;
    else
        text = u"exit code "_qs + QString::number(ExitCode);
    const QByteArray err = Err.trimmed();
    if (!err.isEmpty()) text += u"; stderr: "_qs + QString::fromUtf8(err.right(2000));
    return text.toStdString();
}

TRunResult RunProgram(const QString& Program, const QStringList& Args, int TimeoutMs,
                      const QByteArray& Stdin) {
    TRunResult result;
    QProcess process;
    process.setProgram(Program);
    process.setArguments(Args);
    process.start();
    if (!process.waitForStarted(30000)) {
        result.Error = process.errorString();
        return result;
    }
    result.Started = true;
    if (!Stdin.isEmpty()) process.write(Stdin);
    process.closeWriteChannel();
    if (!process.waitForFinished(TimeoutMs)) {
        result.TimedOut = true;
        process.kill();
        process.waitForFinished(5000);
    }
    result.Out = process.readAllStandardOutput();
    result.Err = process.readAllStandardError();
    if (!result.TimedOut && process.exitStatus() == QProcess::NormalExit)
        result.ExitCode = process.exitCode();
    else if (!result.TimedOut)
        result.Error = process.errorString();
    return result;
}

QString FindTool(const QString& NameOrPath) {
    if (NameOrPath.contains(u'/')) {
        const QFileInfo info(NameOrPath);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(NameOrPath);
}

QString MissingTool(const QString& NameOrPath, const QString& Check) {
    static std::mutex lock;
    static std::map<std::pair<QString, QString>, QString> cache;
    const std::lock_guard guard(lock);
    const auto key = std::make_pair(NameOrPath, Check);
    if (const auto it = cache.find(key); it != cache.end()) return it->second;

    QString missing;
    const QString path = FindTool(NameOrPath);
    if (path.isEmpty()) {
        missing = u"peer not installed: "_qs + NameOrPath + u" (scripts/bootstrap.sh installs the peers)"_qs;
    } else if (!Check.isEmpty()) {
        const TRunResult run = RunProgram(path, {u"-c"_qs, Check}, 60000);
        if (!run.Ok())
            missing = u"peer "_qs + NameOrPath + u" fails \""_qs + Check + u"\": "_qs +
                      QString::fromStdString(run.Describe());
    }
    cache.emplace(key, missing);
    return missing;
}

bool RequireTool(const QString& NameOrPath, const QString& Check) {
    const QString missing = MissingTool(NameOrPath, Check);
    if (missing.isEmpty()) return true;
    // GTEST_SKIP returns from the enclosing function, so it lives in a lambda of its own.
    [&] { GTEST_SKIP() << missing.toStdString(); }();
    return false;
}

QJsonDocument FfprobeJson(const QString& File) {
    const TRunResult run =
        RunProgram(u"ffprobe"_qs, {u"-v"_qs, u"error"_qs, u"-print_format"_qs, u"json"_qs, u"-show_format"_qs,
                                   u"-show_streams"_qs, u"-show_chapters"_qs, File});
    if (!run.Ok()) {
        ADD_FAILURE() << "ffprobe " << File.toStdString() << ": " << run.Describe();
        return {};
    }
    QJsonParseError error;
    QJsonDocument doc = QJsonDocument::fromJson(run.Out, &error);
    if (doc.isNull())
        ADD_FAILURE() << "ffprobe " << File.toStdString()
                      << ": bad JSON: " << error.errorString().toStdString();
    return doc;
}

QString MediainfoFull(const QString& File) {
    const TRunResult run = RunProgram(u"mediainfo"_qs, {u"--Full"_qs, File});
    if (!run.Ok()) {
        ADD_FAILURE() << "mediainfo " << File.toStdString() << ": " << run.Describe();
        return {};
    }
    return QString::fromUtf8(run.Out);
}

} // namespace testing_support
