// The console runner: line assembly, the child's life cycle, standard input and the quoting of names.
#include "app/engine/ConRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QStringList>

#include <chrono>
#include <thread>

#include "rtl/Files.h"
#include "tests/support/TempDir.h"

namespace {

using engine::String;

const QString FakeTool = QStringLiteral(TW_FAKE_TOOL);

QStringList Lines(rtl::TStrings& List) {
    QStringList out;
    for (int i = 0; i < List.Count(); ++i) out << List[i];
    return out;
}

// ---- line assembly -------------------------------------------------------------------------------------

struct LineCase {
    const char* name;
    std::string bytes;
    QStringList expected;
};

class LineAssembly : public ::testing::TestWithParam<LineCase> {};

QStringList Assemble(const std::string& Bytes, size_t Piece) {
    rtl::TStringList list;
    engine::TOutputLineBuilder builder(&list, nullptr);
    for (size_t i = 0; i < Bytes.size(); i += Piece)
        builder.Feed(Bytes.data() + i, std::min(Piece, Bytes.size() - i));
    builder.Finish();
    return Lines(list);
}

TEST_P(LineAssembly, GivesTheSameLinesHoweverTheBytesArrive) {
    const auto& c = GetParam();
    for (size_t piece : {size_t(1), size_t(3), size_t(4096), c.bytes.size() + 1})
        EXPECT_EQ(Assemble(c.bytes, std::max<size_t>(piece, 1)), c.expected) << "pieces of " << piece;
}

QStringList Pieces(std::initializer_list<std::pair<int, char>> Parts) {
    QStringList out;
    for (auto [n, ch] : Parts) out << QString(n, QChar(ch));
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineAssembly,
    ::testing::Values(
        LineCase{"CrLf", "a\r\nb\r\n", {"a", "b", ""}},
        LineCase{"CrRewritesInPlace", "10%\r20%\r30%\r\n", {"30%", ""}},
        LineCase{"LfOnly", "a\nb\n", {"a", "b", ""}}, LineCase{"Unterminated", "a\r\nlast", {"a", "last"}},
        LineCase{"TextAfterCrReplaces", "x\r\nsize=1\rsize=2\rfinal\nnext\n", {"x", "final", "next", ""}},
        LineCase{"EmptyLines", "\n\n", {"", "", ""}}, LineCase{"LoneCrs", "\r\r", {""}},
        LineCase{"Nothing", "", {""}},
        LineCase{"LongLineKeepsEveryByte", std::string(50000, 'x'),
                 Pieces({{20480, 'x'}, {20480, 'x'}, {9040, 'x'}})},
        LineCase{"ThreeFullPieces", std::string(61440, 'y') + "\n",
                 Pieces({{20480, 'y'}, {20480, 'y'}, {20480, 'y'}, {0, ' '}})},
        LineCase{"LineEndRightAfterAPiece", std::string(20480, 'z') + "\r\nnext\r\n",
                 Pieces({{20480, 'z'}}) << "next"
                                        << ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineAssemblyUtf8, CutsLongLinesBetweenCharacters) {
    // 20479 ASCII bytes, then a two-byte character across the 20480-byte limit.
    const std::string bytes = std::string(20479, 'a') + "\xC3\xA9" + "b\n";
    const QStringList lines = Assemble(bytes, bytes.size());
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QString(20479, QChar('a')));
    EXPECT_EQ(lines[1], QString::fromUtf8("\xC3\xA9"
                                          "b"));
}

TEST(LineAssemblyHandler, SeesEveryFlushedLine) {
    rtl::TStringList list;
    QStringList seen;
    engine::TOutputLineBuilder builder(&list, [&](const String& Line) { seen << Line; });
    const std::string bytes = "p1\rp2\rdone\r\n";
    builder.Feed(bytes.data(), bytes.size());
    builder.Finish();
    EXPECT_EQ(seen, (QStringList{"p1", "p2", "done", ""}));
    EXPECT_EQ(Lines(list), (QStringList{"done", ""}));
}

// ---- running children ----------------------------------------------------------------------------------

class Runner : public ::testing::Test {
protected:
    void TearDown() override {
        engine::OnConsoleLine = nullptr;
        engine::ConsoleIdleIntervalMs = 100;
        engine::ChildExitWaitMs = 5000;
    }

    uint32_t Run(const QStringList& Actions) {
        QStringList quoted;
        for (const QString& a : Actions) quoted << engine::QuoteFileName(a);
        return engine::RunConsoleApp(FakeTool, quoted.join(u' '), &Output, 0);
    }

    rtl::TStringList Output;
};

TEST_F(Runner, CollectsBothStreamsAndReturnsTheExitCode) {
    EXPECT_EQ(Run({"out:banner\\r\\n", "err:warning\\r\\n", "out:size=1\\rsize=2\\r\\n", "exit:3"}), 3u);
    EXPECT_EQ(Lines(Output), (QStringList{"banner", "warning", "size=2", ""}));
    EXPECT_EQ(engine::ChildProcessInfo.hProcess, 0u);
    EXPECT_EQ(engine::ChildStdInWrite, nullptr);
}

TEST_F(Runner, KeepsEveryByteOfALongLine) {
    EXPECT_EQ(Run({"fill:50000:x"}), 0u);
    EXPECT_EQ(Lines(Output), Pieces({{20480, 'x'}, {20480, 'x'}, {9040, 'x'}}));
}

TEST_F(Runner, BlankParametersGiveTheBarePath) {
    engine::RunConsoleApp(FakeTool, QStringLiteral("   "), &Output, 0);
    EXPECT_EQ(Output[0], QStringLiteral("no arguments"));
}

TEST_F(Runner, RunsInTheProgramFolder) {
    Run({"cwd"});
    EXPECT_EQ(Output[0], QDir(rtl::ExtractFileDir(rtl::ParamStr(0))).canonicalPath());
}

TEST_F(Runner, AMissingProgramRaisesTheSystemErrorAndLeavesNoChild) {
    try {
        engine::RunConsoleApp(QStringLiteral("/nonexistent/tool"), QStringLiteral("-i x"), &Output, 0);
        FAIL() << "no error raised";
    } catch (const rtl::EOSError& e) {
        EXPECT_EQ(e.ErrorCode, uint32_t(ERROR_FILE_NOT_FOUND));
        EXPECT_TRUE(e.Message().contains(QStringLiteral("cannot find the file"))) << e.what();
    }
    EXPECT_EQ(engine::ChildProcessInfo.hProcess, 0u);
    EXPECT_EQ(engine::ChildStdInWrite, nullptr);
}

// Started now, read later: between the two the child is the running one (a "q" reaches it), and a start
// that failed is raised when the caller reads, leaving no child.
TEST_F(Runner, AChildStartedAheadIsTheRunningOneUntilReadAndAFailedStartRaisesOnReading) {
    engine::TConsoleChild child(FakeTool, QStringLiteral("waitq exit:4"), 0);
    EXPECT_NE(engine::ChildProcessInfo.hProcess, 0u);
    EXPECT_TRUE(engine::WriteToChildStdIn(QStringLiteral("q")));
    EXPECT_EQ(child.Finish(&Output), 4u);
    EXPECT_EQ(Lines(Output), (QStringList{"got q", ""}));
    EXPECT_EQ(engine::ChildProcessInfo.hProcess, 0u);
    EXPECT_EQ(engine::ChildStdInWrite, nullptr);

    engine::TConsoleChild missing(QStringLiteral("/nonexistent/tool"), QStringLiteral("-i x"), 0, true);
    EXPECT_EQ(engine::ChildProcessInfo.hProcess, 0u);
    EXPECT_THROW(missing.Finish(&Output), rtl::EOSError);
}

TEST_F(Runner, QuitKeyFromTheHandlerReachesTheChild) {
    bool sent = false;
    uint32_t handlePid = 0;
    engine::OnConsoleLine = [&](uint32_t pID, const String& Line, bool HasLine) {
        handlePid = pID;
        if (HasLine && Line == QStringLiteral("ready") && !sent)
            sent = engine::WriteToChildStdIn(QStringLiteral("q"));
    };
    EXPECT_EQ(Run({"out:ready\\n", "waitq", "exit:0"}), 0u);
    EXPECT_TRUE(sent);
    EXPECT_NE(handlePid, 0u);
    EXPECT_EQ(Lines(Output), (QStringList{"ready", "got q", ""}));
    EXPECT_FALSE(engine::WriteToChildStdIn(QStringLiteral("q"))); // no child any more
}

TEST_F(Runner, WritesTheWholeTextToStandardInput) {
    const QString text = QStringLiteral("quit now, ärger");
    const QByteArray bytes = text.toUtf8();
    engine::OnConsoleLine = [&](uint32_t, const String& Line, bool HasLine) {
        if (HasLine && Line == QStringLiteral("ready")) {
            EXPECT_TRUE(engine::WriteToChildStdIn(text));
        }
    };
    Run({"out:ready\\n", QStringLiteral("readn:%1").arg(bytes.size())});
    ASSERT_GE(Output.Count(), 2);
    EXPECT_EQ(Output[1], QString::fromLatin1(bytes.toHex()));
}

TEST_F(Runner, ASilentChildStillLetsTheHandlerRunAndStopIt) {
    engine::ConsoleIdleIntervalMs = 20;
    int idle = 0;
    engine::OnConsoleLine = [&](uint32_t, const String& Line, bool HasLine) {
        if (HasLine) return;
        EXPECT_TRUE(Line.isEmpty());
        if (++idle == 5) TerminateProcess(engine::ChildProcessHandle(), 1); // a forced stop while silent
    };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run({"sleep:20000"}), 1u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_GE(idle, 5);
}

TEST_F(Runner, AChildThatOutlivesItsOutputReportsStillActiveAndIsReapedLater) {
    engine::ChildExitWaitMs = 200;
    DWORD pid = 0;
    engine::OnConsoleLine = [&](uint32_t, const String&, bool) {
        pid = engine::ChildProcessInfo.dwProcessId;
    };
    EXPECT_EQ(Run({"out:bye\\n", "closeout", "sleep:600", "exit:0"}), uint32_t(STILL_ACTIVE));
    ASSERT_NE(pid, 0u);
    const QString proc = QStringLiteral("/proc/%1").arg(pid);
    for (int i = 0; i < 300 && QDir(proc).exists(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(QDir(proc).exists()) << "the child was left as a zombie";
}

// ---- quoting file names ------------------------------------------------------------------------------

class QuoteRoundTrip : public ::testing::TestWithParam<const char16_t*> {};

TEST_P(QuoteRoundTrip, SplitGivesBackTheExactName) {
    const QString name = QString::fromUtf16(GetParam());
    const auto args = TwCommandLineToArgv(
        (QStringLiteral("tool -i ") + engine::QuoteFileName(name) + QStringLiteral(" x")).toStdU16String());
    ASSERT_EQ(args.size(), 4u);
    EXPECT_EQ(QString::fromStdU16String(args[2]), name);
    EXPECT_EQ(QString::fromStdU16String(args[3]), QStringLiteral("x"));
}

INSTANTIATE_TEST_SUITE_P(Names, QuoteRoundTrip,
                         ::testing::Values(u"plain.webm", u"/music/with blanks/a b.webm", u"say \"hi\".webm",
                                           u"trailing\\", u"two\\\\", u"back\\\"slash", u"\"", u"",
                                           u"tab\there", u"Ünïcødé ☃ 𝄞.mp3", u"%PATH% $HOME `x` 'q'"));

TEST_F(Runner, QuotedNamesReachTheChildExactly) {
    const QStringList names{QStringLiteral("a \"b\" c\\"), QStringLiteral("Ünï code\\\\"), QString()};
    QStringList quoted{QStringLiteral("echoargs")};
    for (const QString& n : names) quoted << engine::QuoteFileName(n);
    engine::RunConsoleApp(FakeTool, quoted.join(u' '), &Output, 0);
    ASSERT_GE(Output.Count(), 3);
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(Output[i], QString::fromLatin1(names[i].toUtf8().toHex()));
}

} // namespace
