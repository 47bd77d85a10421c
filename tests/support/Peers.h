// tests/support/Peers.h: running the real programs that tests compare against (ffmpeg, ffprobe,
// mediainfo, /usr/bin/python3 with mutagen, ...).
//
// A missing peer skips the test with a message, never lets it pass silently. In a test body or SetUp():
//
//     TW_REQUIRE_TOOL("ffprobe");                                  // skips and returns when absent
//     TW_REQUIRE_TOOL("/usr/bin/python3", "import mutagen");       // the second argument runs as `tool -c`
//
// Where a macro cannot return (a helper with a result), use the function form; it marks the test skipped:
//
//     if (!testing_support::RequireTool("mediainfo")) return {};
#pragma once
#include <QByteArray>
#include <QJsonDocument>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace testing_support {

struct TRunResult {
    bool Started = false;  // false: the program could not be started (Error says why)
    bool TimedOut = false; // killed after the timeout
    int ExitCode = -1;     // -1 unless it exited normally
    QByteArray Out;
    QByteArray Err;
    QString Error;

    bool Ok() const { return Started && !TimedOut && ExitCode == 0; }
    // The command's failure in one line for an assertion message.
    std::string Describe() const;
};

// Runs Program with Args (no shell) and waits for it. Stdin is fed and then closed, so a program that
// reads it never waits on the test.
TRunResult RunProgram(const QString& Program, const QStringList& Args, int TimeoutMs = 120000,
                      const QByteArray& Stdin = {});

// The full path of a program given by name (looked up in PATH) or by path; empty when it is not there.
QString FindTool(const QString& NameOrPath);

// Why a peer cannot be used, or empty when it can. Check, when given, is passed to the tool as `-c Check`
// (a Python statement such as "import mutagen") and must exit with 0. Results are cached per process.
QString MissingTool(const QString& NameOrPath, const QString& Check = {});

// Marks the running test skipped with the reason and returns false when the peer is missing.
[[nodiscard]] bool RequireTool(const QString& NameOrPath, const QString& Check = {});

// ffprobe's JSON report (format, streams, chapters) of File. A null document, with a test failure
// recorded, when ffprobe fails.
QJsonDocument FfprobeJson(const QString& File);

// `mediainfo --Full File` as text; empty, with a test failure recorded, when it fails.
QString MediainfoFull(const QString& File);

} // namespace testing_support

#define TW_REQUIRE_TOOL(...)                                                                                 \
    do {                                                                                                     \
        const QString tw_missing_tool_ = ::testing_support::MissingTool(__VA_ARGS__);                        \
        if (!tw_missing_tool_.isEmpty()) GTEST_SKIP() << tw_missing_tool_.toStdString();                     \
    } while (0)
