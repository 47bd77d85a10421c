// The kernel stand-in: handles, the last error, pipes, child processes and process snapshots.
#include "win/windows.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string>
#include <thread>

#include "tests/support/TempDir.h"

namespace {

// ---- command-line split --------------------------------------------------------------------------------

struct SplitCase {
    const char16_t* line;
    std::vector<std::u16string> args;
};

class CommandLineSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CommandLineSplit, FollowsTheWindowsRules) {
    EXPECT_EQ(TwCommandLineToArgv(GetParam().line), GetParam().args);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineSplit,
    ::testing::Values(SplitCase{u"p \"abc\" d e", {u"p", u"abc", u"d", u"e"}},
                      SplitCase{u"p a\\\\\\b d\"e f\"g h", {u"p", u"a\\\\\\b", u"de fg", u"h"}},
                      SplitCase{u"p a\\\\\\\"b c d", {u"p", u"a\\\"b", u"c", u"d"}},
                      SplitCase{u"p a\\\\\\\\\"b c\" d e", {u"p", u"a\\\\b c", u"d", u"e"}},
                      SplitCase{u"p a\"b\"\" c d", {u"p", u"ab\" c d"}},
                      SplitCase{u"\"C:\\a b\\p\" x\t\ty ", {u"C:\\a b\\p", u"x", u"y"}},
                      SplitCase{u"p \"\" x", {u"p", u"", u"x"}},
                      SplitCase{u"p\\\"x y", {u"p\\\"x", u"y"}}, // no escapes in the program name
                      SplitCase{u"p", {u"p"}}));

// ---- handles, errors, pipes ----------------------------------------------------------------------------

struct Pipe {
    Pipe() { EXPECT_TRUE(CreatePipe(&Read, &Write, nullptr, 0)); }
    ~Pipe() {
        if (Read) CloseHandle(Read);
        if (Write) CloseHandle(Write);
    }
    HANDLE Read = nullptr, Write = nullptr;
};

TEST(Handles, AreSmallNumbersThatCloseOnce) {
    Pipe p;
    EXPECT_LT(reinterpret_cast<uintptr_t>(p.Read), uintptr_t(0x80000000));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p.Read) % 4, 0u);
    HANDLE h = p.Write;
    EXPECT_TRUE(CloseHandle(h));
    p.Write = nullptr;
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    SetLastError(5);
    std::thread([] { EXPECT_EQ(GetLastError(), 0u); }).join(); // one last error per thread
    EXPECT_EQ(GetLastError(), 5u);
}

TEST(Handles, ErrorTextsComeFromTheSystemTable) {
    char16_t text[256];
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   ERROR_FILE_NOT_FOUND, 0, text, 256, nullptr);
    EXPECT_EQ(std::u16string(text, n), u"The system cannot find the file specified.\r\n");
    EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 2, 0, text, 10, nullptr), 0u); // too small
}

TEST(Pipes, ReadWhatWasWrittenThenReportTheEnd) {
    Pipe p;
    EXPECT_EQ(WaitForSingleObject(p.Read, 10), DWORD(WAIT_TIMEOUT));
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(p.Write, "abc", 3, &n, nullptr));
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(WaitForSingleObject(p.Read, 0), DWORD(WAIT_OBJECT_0));
    DWORD avail = 0;
    EXPECT_TRUE(PeekNamedPipe(p.Read, nullptr, 0, nullptr, &avail, nullptr));
    EXPECT_EQ(avail, 3u);
    char buf[8] = {};
    ASSERT_TRUE(ReadFile(p.Read, buf, sizeof buf, &n, nullptr));
    EXPECT_EQ(std::string(buf, n), "abc");
    CloseHandle(p.Write);
    p.Write = nullptr;
    EXPECT_EQ(WaitForSingleObject(p.Read, 1000), DWORD(WAIT_OBJECT_0));
    EXPECT_FALSE(ReadFile(p.Read, buf, sizeof buf, &n, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BROKEN_PIPE));
    EXPECT_EQ(n, 0u);
}

TEST(Pipes, WritingAfterTheReaderHasGoneFailsWithoutASignal) {
    Pipe p;
    CloseHandle(p.Read);
    p.Read = nullptr;
    DWORD n = 0;
    EXPECT_FALSE(WriteFile(p.Write, "q", 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_DATA));
}

// ---- processes -----------------------------------------------------------------------------------------

struct Process {
    explicit Process(const std::u16string& CommandLine, const char16_t* Dir = nullptr,
                     STARTUPINFOW* Si = nullptr) {
        std::u16string line = CommandLine;
        Started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, Dir, Si, &Info);
        Error = GetLastError();
    }
    ~Process() {
        if (!Started) return;
        TerminateProcess(Info.hProcess, 9);
        WaitForSingleObject(Info.hProcess, 5000);
        CloseHandle(Info.hProcess);
        CloseHandle(Info.hThread);
    }
    DWORD Code() {
        DWORD code = 0;
        GetExitCodeProcess(Info.hProcess, &code);
        return code;
    }
    BOOL Started = FALSE;
    DWORD Error = 0;
    PROCESS_INFORMATION Info{};
};

TEST(Processes, ExitCodeIsStillActiveUntilTheChildEnds) {
    Process p(u"/bin/sh -c \"sleep 0.2; exit 7\"");
    ASSERT_TRUE(p.Started);
    EXPECT_EQ(p.Code(), DWORD(STILL_ACTIVE));
    EXPECT_EQ(WaitForSingleObject(p.Info.hProcess, 10), DWORD(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(p.Info.hThread, 5000), DWORD(WAIT_OBJECT_0));
    EXPECT_EQ(p.Code(), 7u);
    EXPECT_LT(reinterpret_cast<uintptr_t>(p.Info.hProcess), uintptr_t(0x80000000));
}

TEST(Processes, MissingProgramsAndFoldersGiveTheirErrors) {
    Process missing(u"/no/such/program -x");
    EXPECT_FALSE(missing.Started);
    EXPECT_EQ(missing.Error, DWORD(ERROR_FILE_NOT_FOUND));
    Process notInPath(u"no-such-program-anywhere");
    EXPECT_EQ(notInPath.Error, DWORD(ERROR_FILE_NOT_FOUND));
    Process badDir(u"/bin/true", u"/no/such/folder");
    EXPECT_EQ(badDir.Error, DWORD(ERROR_DIRECTORY));
}

TEST(Processes, StandardHandlesWorkingFolderAndBlanksInAnUnquotedPath) {
    testing_support::TempDir dir;
    QDir().mkpath(dir.QFile("my tools"));
    const QString script = dir.QFile("my tools/say hi");
    testing_support::WriteFileBytes(script, "#!/bin/sh\necho \"$1|$2|$(pwd)\"\necho err >&2\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE r = nullptr, w = nullptr;
    ASSERT_TRUE(CreatePipe(&r, &w, &sa, 0));
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = w; // no input handle: the child reads nothing
    const std::u16string folder = dir.Path().u16string();
    Process p((script + QStringLiteral(" \"a b\" c")).toStdU16String(), folder.c_str(), &si);
    CloseHandle(w);
    ASSERT_TRUE(p.Started) << p.Error;
    std::string out;
    char buf[256];
    DWORD n = 0;
    while (ReadFile(r, buf, sizeof buf, &n, nullptr)) out.append(buf, n);
    CloseHandle(r);
    EXPECT_EQ(out, "a b|c|" + QDir(dir.QPath()).canonicalPath().toStdString() + "\nerr\n");
    EXPECT_EQ(WaitForSingleObject(p.Info.hProcess, 5000), DWORD(WAIT_OBJECT_0));
    EXPECT_EQ(p.Code(), 0u);
}

TEST(Processes, SnapshotOpenAndTerminateAChild) {
    Process p(u"/bin/sleep 30");
    ASSERT_TRUE(p.Started);
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(snap, INVALID_HANDLE_VALUE);
    PROCESSENTRY32W e{};
    e.dwSize = sizeof(e);
    bool found = false;
    for (BOOL more = Process32FirstW(snap, &e); more; more = Process32NextW(snap, &e)) {
        if (e.th32ProcessID != p.Info.dwProcessId) continue;
        found = true;
        EXPECT_EQ(e.th32ParentProcessID, GetCurrentProcessId());
        EXPECT_EQ(std::u16string(e.szExeFile), u"sleep");
    }
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    CloseHandle(snap);
    EXPECT_TRUE(found);

    HANDLE h = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, p.Info.dwProcessId);
    ASSERT_NE(h, nullptr);
    WCHAR exe[1024];
    const DWORD len = GetModuleFileNameExW(h, nullptr, exe, 1024);
    EXPECT_EQ(QString::fromUtf16(exe, len), QFileInfo("/bin/sleep").canonicalFilePath());
    EXPECT_TRUE(TerminateProcess(h, 1));
    CloseHandle(h);
    EXPECT_EQ(WaitForSingleObject(p.Info.hProcess, 5000), DWORD(WAIT_OBJECT_0));
    EXPECT_EQ(p.Code(), 1u); // the code the terminating handle gave, seen through the first handle
    EXPECT_FALSE(TerminateProcess(p.Info.hProcess, 2));
    EXPECT_EQ(OpenProcess(PROCESS_TERMINATE, FALSE, 0), nullptr);
}

} // namespace
