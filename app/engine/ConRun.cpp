// The console runner.
#include "app/engine/ConRun.h"

#include <malloc.h>

#include <chrono>
#include <cstring>
#include <exception>
#include <utility>
#include <memory>

#include "rtl/Files.h"
#include "rtl/SysUtils.h"
#include "rtlos/OSUtils.h"

namespace engine {

TChildProcessInfo ChildProcessInfo;
HANDLE ChildStdInWrite = nullptr;
TConsoleLineEvent OnConsoleLine;
int ConsoleIdleIntervalMs = 100;
int ChildExitWaitMs = 5000;

namespace {

uint32_t Low32(HANDLE h) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(h));
}

// Length of the UTF-8 sequence a lead byte starts; 0 for a continuation byte.
size_t Utf8SequenceLength(unsigned char b) {
    if (b < 0x80) return 1;
    if ((b & 0xC0) == 0x80) return 0;
    if ((b & 0xE0) == 0xC0) return 2;
    if ((b & 0xF0) == 0xE0) return 3;
    if ((b & 0xF8) == 0xF0) return 4;
    return 1; // not UTF-8: a byte of its own
}

// Closes what it holds when the run ends, however it ends.
struct RunHandles {
    HANDLE OutRead = nullptr, OutWrite = nullptr, InRead = nullptr, InWrite = nullptr;
    HANDLE Process = nullptr, Thread = nullptr;

    static void Close(HANDLE& h) {
        if (h) CloseHandle(h);
        h = nullptr;
    }
    ~RunHandles() {
        const DWORD saved = GetLastError(); // an error being raised keeps its code
        Close(Process);
        Close(Thread);
        Close(OutRead);
        Close(OutWrite);
        Close(InRead);
        Close(InWrite);
        ChildProcessInfo = TChildProcessInfo();
        ChildStdInWrite = nullptr;
        SetLastError(saved);
    }
};

} // namespace

void TOutputLineBuilder::Flush() {
    const String line = String::fromUtf8(FBuffer, static_cast<qsizetype>(FLength));
    const int count = FList ? FList->Count() : 0;
    if (FList) {
        if (FNewLine || count == 0) {
            FList->Add(line);
        } else {
            FList->SetStrings(count - 1, line);
        }
    }
    FLength = 0;
    if (FOnLine) FOnLine(line);
}

void TOutputLineBuilder::FlushChunk() {
    // Cut before a character that the buffer holds only partly; its bytes start the next piece.
    size_t cut = FLength;
    for (size_t back = 1; back <= 3 && back <= FLength; ++back) {
        const size_t need = Utf8SequenceLength(static_cast<unsigned char>(FBuffer[FLength - back]));
        if (need == 0) continue;
        if (need > back) cut = FLength - back;
        break;
    }
    const size_t tail = FLength - cut;
    char carry[4];
    std::memcpy(carry, FBuffer + cut, tail);
    FLength = cut;
    Flush();
    std::memcpy(FBuffer, carry, tail);
    FLength = tail;
    FNewLine = true;
    FAtChunkEnd = tail == 0;
}

void TOutputLineBuilder::Feed(const char* Data, size_t Size) {
    size_t i = 0;
    while (i < Size) {
        const char b = Data[i];
        if (b == '\n') {
            ++i;
            if (FAfterCR || FAtChunkEnd) { // the line was already handed on
                FAfterCR = FAtChunkEnd = false;
                FNewLine = true;
                continue;
            }
            Flush();
            FNewLine = true;
            continue;
        }
        if (b == '\r') {
            ++i;
            if (FAtChunkEnd) { // the piece just handed on is the line the CR ends
                FAtChunkEnd = false;
                FNewLine = false;
                FAfterCR = true;
                continue;
            }
            Flush();
            FNewLine = false;
            FAfterCR = true;
            continue;
        }
        size_t j = i;
        while (j < Size && Data[j] != '\n' && Data[j] != '\r') ++j;
        FAfterCR = FAtChunkEnd = false;
        while (i < j) {
            const size_t take = std::min(j - i, ConsoleLineMax - FLength);
            std::memcpy(FBuffer + FLength, Data + i, take);
            FLength += take;
            i += take;
            if (FLength == ConsoleLineMax) FlushChunk();
        }
    }
}

HANDLE ChildProcessHandle() {
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(ChildProcessInfo.hProcess));
}

String QuoteFileName(const String& FileName) {
    String out;
    out.reserve(FileName.size() + 2);
    out += u'"';
    int slashes = 0;
    for (const QChar c : FileName) {
        if (c == u'\\') {
            ++slashes;
            continue;
        }
        if (c == u'"') {
            out += String(slashes * 2 + 1, u'\\'); // the backslashes stay, the quote is literal
        } else {
            out += String(slashes, u'\\');
        }
        slashes = 0;
        out += c;
    }
    out += String(slashes * 2, u'\\'); // before the closing quote they must be doubled
    out += u'"';
    return out;
}

struct TConsoleChild::TState {
    RunHandles h;
    uint32_t Pid32 = 0;
    std::exception_ptr StartError;
};

TConsoleChild::TConsoleChild(const String& ExePath, const String& Params, uint16_t ShowWindow, bool Deferred)
    : F(std::make_unique<TState>()) {
    try {
        Start(ExePath, Params, ShowWindow);
    } catch (...) {
        if (!Deferred) throw;
        F->StartError = std::current_exception();
    }
}

TConsoleChild::~TConsoleChild() = default;

void TConsoleChild::Start(const String& ExePath, const String& Params, uint16_t ShowWindow) {
    String workDir = rtl::ExtractFileDir(rtl::ParamStr(0));
    if (workDir.isEmpty()) workDir = QStringLiteral("/");

    ChildStdInWrite = nullptr;
    String commandLine = ExePath;
    if (!rtl::Trim(Params).isEmpty()) commandLine += u' ' + Params;

    RunHandles& h = F->h;
    SECURITY_ATTRIBUTES sa{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (!CreatePipe(&h.OutRead, &h.OutWrite, &sa, 0)) rtl::RaiseLastOSError();
    if (!SetHandleInformation(h.OutRead, HANDLE_FLAG_INHERIT, 0)) rtl::RaiseLastOSError();
    CreatePipe(&h.InRead, &h.InWrite, &sa, 0); // without it the child reads an empty input

    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    si.wShowWindow = ShowWindow;
    si.hStdInput = h.InRead;
    si.hStdOutput = h.OutWrite;
    si.hStdError = h.OutWrite;

    std::u16string line = commandLine.toStdU16String();
    std::u16string dir = workDir.toStdU16String();
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW | DETACHED_PROCESS,
                        nullptr, dir.c_str(), &si, &pi))
        rtl::RaiseLastOSError();

    h.Process = pi.hProcess;
    h.Thread = pi.hThread;
    ChildProcessInfo = {Low32(pi.hProcess), pi.dwProcessId, Low32(pi.hThread), pi.dwThreadId};
    ChildStdInWrite = h.InWrite;
    // Our copies of the child's ends must go, or the output never reports its end.
    RunHandles::Close(h.OutWrite);
    RunHandles::Close(h.InRead);
    F->Pid32 = Low32(pi.hProcess);
}

uint32_t TConsoleChild::Finish(rtl::TStrings* OutputList) {
    if (F->StartError) std::rethrow_exception(std::exchange(F->StartError, nullptr));
    RunHandles& h = F->h;
    const uint32_t pid32 = F->Pid32;
    using Clock = std::chrono::steady_clock;
    auto lastCall = Clock::now();
    const auto interval = std::chrono::milliseconds(ConsoleIdleIntervalMs);
    auto idle = [&] {
        lastCall = Clock::now();
        OnConsoleLine(pid32, String(), false);
    };
    bool handled = false; // a line went to the handler since the last look at the clock
    TOutputLineBuilder builder(OutputList, [&](const String& Line) {
        handled = true;
        OnConsoleLine(pid32, Line, true);
    });

    // Per run: a run started from inside the handler must not share it.
    std::unique_ptr<char[]> buffer(new char[ConsoleLineMax + 1]);
    for (;;) {
        const DWORD wait = WaitForSingleObject(h.OutRead, DWORD(ConsoleIdleIntervalMs));
        if (wait == WAIT_TIMEOUT) {
            idle();
            continue;
        }
        if (wait != WAIT_OBJECT_0) break;
        DWORD got = 0;
        if (!ReadFile(h.OutRead, buffer.get(), ConsoleLineMax + 1, &got, nullptr)) break; // end of output
        if (got) builder.Feed(buffer.get(), got);
        // One look at the clock per read, not per line: a long run of output without a line end
        // must still let the handler run now and then.
        const auto now = Clock::now();
        if (handled) {
            lastCall = now;
            handled = false;
        } else if (now - lastCall >= interval) {
            idle();
        }
    }

    // The child has closed its output; give it a moment to end, keeping the program alive meanwhile.
    const auto deadline = Clock::now() + std::chrono::milliseconds(ChildExitWaitMs);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        const DWORD slice = DWORD(std::max<long long>(0, std::min<long long>(left, ConsoleIdleIntervalMs)));
        if (WaitForSingleObject(h.Process, slice) != WAIT_TIMEOUT || left <= 0) break;
        idle();
    }
    DWORD exitCode = STILL_ACTIVE;
    if (!GetExitCodeProcess(h.Process, &exitCode)) exitCode = STILL_ACTIVE;
    builder.Finish();
    F.reset(); // the handles go, and the child is no longer the running one
    return exitCode;
}

uint32_t RunConsoleApp(const String& ExePath, const String& Params, rtl::TStrings* OutputList,
                       uint16_t ShowWindow) {
    TConsoleChild child(ExePath, Params, ShowWindow);
    return child.Finish(OutputList);
}

bool WriteToChildStdIn(const String& Text) {
    if (ChildProcessInfo.hProcess == 0 || !ChildStdInWrite) return false;
    const QByteArray bytes = Text.toUtf8();
    DWORD written = 0;
    return WriteFile(ChildStdInWrite, bytes.constData(), DWORD(bytes.size()), &written, nullptr) &&
           written == DWORD(bytes.size());
}

void KeepHeapForOutputLists() {
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

} // namespace engine
