// app/engine/ConRun.h: runs one console program at a time as a child process, collects its standard
// output and standard error as lines, hands each line to the installed line handler, and returns
// its exit code.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "rtl/Classes.h"
#include "rtl/Event.h"
#include "win/windows.h"

namespace engine {

using rtl::String;

// The running child: the low 32 bits of its process handle, its id, the low 32 bits of its thread
// handle, the thread id. All 0 when no child runs.
struct TChildProcessInfo {
    uint32_t hProcess = 0;
    uint32_t dwProcessId = 0;
    uint32_t hThread = 0;
    uint32_t dwThreadId = 0;
};

extern TChildProcessInfo ChildProcessInfo;
// The parent's write end of the running child's standard input; null when no child runs.
extern HANDLE ChildStdInWrite;

// The line handler (the progress window installs it). After every line: pID = the low 32 bits of the
// child's process handle, the line, HasLine true. While the child prints nothing, and while the
// runner waits for it to end, it is called about every ConsoleIdleIntervalMs with an empty line and
// HasLine false, so the program can pump its messages and a forced stop can act.
using TConsoleLineEvent = rtl::TEvent<void(uint32_t pID, const String& OutputLine, bool HasLine)>;
extern TConsoleLineEvent OnConsoleLine;

constexpr int ConsoleLineMax = 20480; // longer lines are handed on in pieces of this many bytes
extern int ConsoleIdleIntervalMs;     // 100
extern int ChildExitWaitMs;           // 5000: how long a child may live on after closing its output

// Runs ExePath with Params (the command line is the path, then one blank and Params unless Params is
// blank) in the program's folder; both output streams go, interleaved, into OutputList. Returns the
// exit code, or STILL_ACTIVE (259) when the child has not ended ChildExitWaitMs after closing its
// output (it is reaped later). Raises rtl::EOSError when a pipe or the process cannot be created.
// ShowWindow is kept for the callers' sake; console children have no window here.
uint32_t RunConsoleApp(const String& ExePath, const String& Params, rtl::TStrings* OutputList,
                       uint16_t ShowWindow);

// RunConsoleApp in two halves: the child starts with the object (and is the running child from then on)
// and is read to its end by Finish, so the caller can wait for something else meanwhile. Deferred: a
// failure to start is raised by Finish instead of here. Finish is called once.
class TConsoleChild {
public:
    TConsoleChild(const String& ExePath, const String& Params, uint16_t ShowWindow, bool Deferred = false);
    ~TConsoleChild();
    TConsoleChild(const TConsoleChild&) = delete;
    TConsoleChild& operator=(const TConsoleChild&) = delete;
    uint32_t Finish(rtl::TStrings* OutputList);

private:
    void Start(const String& ExePath, const String& Params, uint16_t ShowWindow);
    struct TState;
    std::unique_ptr<TState> F;
};

// Keeps freed heap memory for reuse instead of returning large blocks to the system: a long run
// collects hundreds of thousands of encoder lines, and mapping that storage fresh for every file
// costs more than reading the lines. Called once at start-up.
void KeepHeapForOutputLists();

// Writes the whole text (UTF-8) to the running child's standard input, without a line end. False when
// no child runs or the write fails.
bool WriteToChildStdIn(const String& Text);

// The process handle kept in ChildProcessInfo, widened back (handles of the stand-in fit 32 bits).
HANDLE ChildProcessHandle();

// A file name in double quotes for a command line, escaped so that the Windows command-line split
// gives back exactly the name: quotes become \" and backslashes before a quote or the closing quote
// are doubled.
String QuoteFileName(const String& FileName);

// Turns the child's bytes into lines. A line ends at CR, at LF, or at CR LF (one end). Text ended by
// CR replaces the entry of a previous CR-ended piece, so a progress line rewritten in place stays one
// entry. A line longer than ConsoleLineMax bytes is cut into pieces (at UTF-8 character boundaries),
// each its own entry. Lines are decoded as UTF-8.
class TOutputLineBuilder {
public:
    using TLineProc = std::function<void(const String& Line)>;
    TOutputLineBuilder(rtl::TStrings* List, TLineProc OnLine) : FList(List), FOnLine(std::move(OnLine)) {}

    void Feed(const char* Data, size_t Size);
    // The last piece, terminated or not (an empty piece after a line end adds an empty entry).
    void Finish() { Flush(); }

private:
    void Flush();
    void FlushChunk();

    rtl::TStrings* FList;
    TLineProc FOnLine;
    char FBuffer[ConsoleLineMax + 1];
    size_t FLength = 0;
    bool FNewLine = true;     // the next flush adds an entry (else it replaces the last)
    bool FAfterCR = false;    // an LF right now completes a CR LF pair
    bool FAtChunkEnd = false; // a piece was just handed on and nothing followed it yet
};

} // namespace engine
