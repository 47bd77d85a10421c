// The handle table, the last error and its texts, and the command-line split of the stand-in.
#include "win/kernel32/winbase.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <mutex>
#include <unordered_map>

namespace {

thread_local DWORD LastError = 0;

struct HandleEntry {
    std::shared_ptr<TwKernelObject> Object;
    DWORD Flags = 0;
};

struct HandleTable {
    std::mutex Lock;
    std::unordered_map<uintptr_t, HandleEntry> Entries;
    uintptr_t Next = 0x100;
};

HandleTable& Table() {
    static HandleTable* table = new HandleTable; // never destroyed: handles may be closed during exit
    return *table;
}

constexpr uintptr_t FirstHandle = 0x100;
constexpr uintptr_t LastHandle = 0x7FFFFFFC; // values stay positive 32-bit numbers

struct ErrorText {
    DWORD Code;
    const char16_t* Text;
};

const ErrorText ErrorTexts[] = {
    {0, u"The operation completed successfully."},
    {1, u"Incorrect function."},
    {2, u"The system cannot find the file specified."},
    {3, u"The system cannot find the path specified."},
    {4, u"The system cannot open the file."},
    {5, u"Access is denied."},
    {6, u"The handle is invalid."},
    {8, u"Not enough memory resources are available to process this command."},
    {11, u"An attempt was made to load a program with an incorrect format."},
    {14, u"Not enough memory resources are available to complete this operation."},
    {18, u"There are no more files."},
    {29, u"The system cannot write to the specified device."},
    {30, u"The system cannot read from the specified device."},
    {32, u"The process cannot access the file because it is being used by another process."},
    {38, u"Reached the end of the file."},
    {50, u"The request is not supported."},
    {80, u"The file exists."},
    {87, u"The parameter is incorrect."},
    {109, u"The pipe has been ended."},
    {112, u"There is not enough space on the disk."},
    {122, u"The data area passed to a system call is too small."},
    {123, u"The filename, directory name, or volume label syntax is incorrect."},
    {145, u"The directory is not empty."},
    {161, u"The specified path is invalid."},
    {183, u"Cannot create a file when that file already exists."},
    {193, u"%1 is not a valid Win32 application."},
    {206, u"The filename or extension is too long."},
    {232, u"The pipe is being closed."},
    {267, u"The directory name is invalid."},
    {288, u"Attempt to release mutex not owned by caller."},
    {1460, u"This operation returned because the timeout period expired."},
};

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

} // namespace

DWORD TwKernelObject::Wait(DWORD) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
}

BOOL TwKernelObject::Read(void*, DWORD, DWORD& Done) {
    Done = 0;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

BOOL TwKernelObject::Write(const void*, DWORD, DWORD& Done) {
    Done = 0;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

HANDLE TwNewHandle(std::shared_ptr<TwKernelObject> Object, DWORD Flags) {
    auto& t = Table();
    std::lock_guard guard(t.Lock);
    for (uintptr_t tries = 0; tries < (LastHandle - FirstHandle) / 4; ++tries) {
        const uintptr_t value = t.Next;
        t.Next = t.Next >= LastHandle ? FirstHandle : t.Next + 4;
        if (t.Entries.count(value)) continue;
        t.Entries.emplace(value, HandleEntry{std::move(Object), Flags});
        return reinterpret_cast<HANDLE>(value);
    }
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

std::shared_ptr<TwKernelObject> TwLookupHandle(HANDLE Handle) {
    auto& t = Table();
    std::lock_guard guard(t.Lock);
    auto it = t.Entries.find(reinterpret_cast<uintptr_t>(Handle));
    if (it == t.Entries.end()) {
        LastError = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    return it->second.Object;
}

DWORD TwErrorFromErrno(int Errno) {
    switch (Errno) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ELOOP:
        return ERROR_PATH_NOT_FOUND;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case ENOEXEC:
        return ERROR_BAD_EXE_FORMAT;
    case EBUSY:
    case ETXTBSY:
        return ERROR_SHARING_VIOLATION;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case EPIPE:
        return ERROR_NO_DATA;
    case ENOSPC:
        return ERROR_DISK_FULL;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case ENOSYS:
    case EOPNOTSUPP:
        return ERROR_NOT_SUPPORTED;
    case ETIMEDOUT:
        return ERROR_TIMEOUT;
    case EIO:
        return ERROR_READ_FAULT;
    default:
        return ERROR_INVALID_FUNCTION;
    }
}

std::vector<std::u16string> TwCommandLineToArgv(const std::u16string& CommandLine) {
    std::vector<std::u16string> args;
    const size_t n = CommandLine.size();
    size_t i = 0;
    // The program name: quoted up to the next quote, or up to the first blank; no escapes.
    std::u16string program;
    if (i < n && CommandLine[i] == u'"') {
        ++i;
        while (i < n && CommandLine[i] != u'"') program += CommandLine[i++];
        if (i < n) ++i;
    } else {
        while (i < n && !IsBlank(CommandLine[i])) program += CommandLine[i++];
    }
    args.push_back(program);
    for (;;) {
        while (i < n && IsBlank(CommandLine[i])) ++i;
        if (i >= n) break;
        std::u16string arg;
        bool quoted = false;
        while (i < n) {
            const char16_t c = CommandLine[i];
            if (c == u'\\') {
                size_t slashes = 0;
                while (i < n && CommandLine[i] == u'\\') ++slashes, ++i;
                if (i < n && CommandLine[i] == u'"') {
                    arg.append(slashes / 2, u'\\');
                    if (slashes % 2) {
                        arg += u'"';
                        ++i;
                    }
                } else {
                    arg.append(slashes, u'\\');
                }
                continue;
            }
            if (c == u'"') {
                if (quoted && i + 1 < n && CommandLine[i + 1] == u'"') { // "" inside quotes: one quote
                    arg += u'"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
                continue;
            }
            if (IsBlank(c) && !quoted) break;
            arg += c;
            ++i;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

extern "C" {

DWORD WINAPI GetLastError(void) {
    return LastError;
}

void WINAPI SetLastError(DWORD dwErrCode) {
    LastError = dwErrCode;
}

DWORD WINAPI FormatMessageW(DWORD dwFlags, LPCVOID, DWORD dwMessageId, DWORD, LPWSTR lpBuffer, DWORD nSize,
                            void*) {
    if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) || !lpBuffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    for (const auto& e : ErrorTexts) {
        if (e.Code != dwMessageId) continue;
        std::u16string text = e.Text;
        if (!(dwFlags & FORMAT_MESSAGE_MAX_WIDTH_MASK)) text += u"\r\n";
        if (text.size() + 1 > nSize) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        std::copy(text.begin(), text.end(), lpBuffer);
        lpBuffer[text.size()] = 0;
        return static_cast<DWORD>(text.size());
    }
    SetLastError(317); // ERROR_MR_MID_NOT_FOUND: no text for this code
    return 0;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    if (hObject == GetCurrentProcess()) return TRUE; // the pseudo handle needs no closing
    std::shared_ptr<TwKernelObject> object;          // destroyed outside the lock
    auto& t = Table();
    {
        std::lock_guard guard(t.Lock);
        auto it = t.Entries.find(reinterpret_cast<uintptr_t>(hObject));
        if (it == t.Entries.end()) {
            LastError = ERROR_INVALID_HANDLE;
            return FALSE;
        }
        object = std::move(it->second.Object);
        t.Entries.erase(it);
    }
    return TRUE;
}

BOOL WINAPI SetHandleInformation(HANDLE hObject, DWORD dwMask, DWORD dwFlags) {
    auto& t = Table();
    std::lock_guard guard(t.Lock);
    auto it = t.Entries.find(reinterpret_cast<uintptr_t>(hObject));
    if (it == t.Entries.end()) {
        LastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    it->second.Flags = (it->second.Flags & ~dwMask) | (dwFlags & dwMask);
    return TRUE;
}

BOOL WINAPI GetHandleInformation(HANDLE hObject, LPDWORD lpdwFlags) {
    auto& t = Table();
    std::lock_guard guard(t.Lock);
    auto it = t.Entries.find(reinterpret_cast<uintptr_t>(hObject));
    if (it == t.Entries.end() || !lpdwFlags) {
        LastError = it == t.Entries.end() ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    *lpdwFlags = it->second.Flags;
    return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    auto object = TwLookupHandle(hHandle);
    if (!object) return WAIT_FAILED;
    return object->Wait(dwMilliseconds);
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    timespec ts{static_cast<time_t>(dwMilliseconds / 1000),
                static_cast<long>(dwMilliseconds % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     void*) {
    DWORD done = 0;
    BOOL ok = FALSE;
    if (auto object = TwLookupHandle(hFile)) ok = object->Read(lpBuffer, nNumberOfBytesToRead, done);
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
    return ok;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, void*) {
    DWORD done = 0;
    BOOL ok = FALSE;
    if (auto object = TwLookupHandle(hFile)) ok = object->Write(lpBuffer, nNumberOfBytesToWrite, done);
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
    return ok;
}

} // extern "C"
