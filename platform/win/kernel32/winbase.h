// win/kernel32/winbase.h: kernel objects of the Win32 stand-in: handles, the last error, pipes,
// processes over posix_spawn, process snapshots over /proc.
//
// Handles are small numbers (multiples of 4 from 0x100 up), so code that keeps a process handle in
// 32 bits can widen it back. Waiting on the read end of a pipe is allowed here (Windows has no such
// wait): it returns WAIT_OBJECT_0 once data can be read or every write end is closed.
#pragma once

#include "win/windef.h"

#include <memory>
#include <string>
#include <vector>

extern "C" {

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define MAX_PATH 260
#define INFINITE 0xFFFFFFFF

// Error codes (Windows values).
#define ERROR_SUCCESS 0L
#define NO_ERROR 0L
#define ERROR_INVALID_FUNCTION 1L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_TOO_MANY_OPEN_FILES 4L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_BAD_FORMAT 11L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_WRITE_FAULT 29L
#define ERROR_READ_FAULT 30L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_HANDLE_EOF 38L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_BROKEN_PIPE 109L
#define ERROR_DISK_FULL 112L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_BAD_PATHNAME 161L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_BAD_EXE_FORMAT 193L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_NO_DATA 232L
#define ERROR_DIRECTORY 267L
#define ERROR_NOT_OWNER 288L
#define ERROR_TIMEOUT 1460L

// Waits and processes.
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_TIMEOUT 0x00000102L
#define WAIT_FAILED 0xFFFFFFFF
#define STILL_ACTIVE 259

#define HANDLE_FLAG_INHERIT 0x00000001
#define HANDLE_FLAG_PROTECT_FROM_CLOSE 0x00000002

#define DEBUG_PROCESS 0x00000001
#define CREATE_SUSPENDED 0x00000004
#define DETACHED_PROCESS 0x00000008
#define CREATE_NEW_CONSOLE 0x00000010
#define CREATE_UNICODE_ENVIRONMENT 0x00000400
#define CREATE_NO_WINDOW 0x08000000

#define STARTF_USESHOWWINDOW 0x00000001
#define STARTF_USESTDHANDLES 0x00000100

#define PROCESS_TERMINATE 0x0001
#define PROCESS_VM_READ 0x0010
#define PROCESS_QUERY_INFORMATION 0x0400
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
#define SYNCHRONIZE 0x00100000L
#define PROCESS_ALL_ACCESS 0x001FFFFF

#define TH32CS_SNAPPROCESS 0x00000002

#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000
#define FORMAT_MESSAGE_MAX_WIDTH_MASK 0x000000FF

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef struct _STARTUPINFOW {
    DWORD cb;
    LPWSTR lpReserved;
    LPWSTR lpDesktop;
    LPWSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow; // ignored: console children have no window here
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
} STARTUPINFOW, *LPSTARTUPINFOW;

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread; // the process again: a thread handle waits and closes like its process
    DWORD dwProcessId;
    DWORD dwThreadId; // the process id (the main thread's id on Linux)
} PROCESS_INFORMATION, *PPROCESS_INFORMATION, *LPPROCESS_INFORMATION;

typedef struct tagPROCESSENTRY32W {
    DWORD dwSize;
    DWORD cntUsage;
    DWORD th32ProcessID;
    ULONG_PTR th32DefaultHeapID;
    DWORD th32ModuleID;
    DWORD cntThreads;
    DWORD th32ParentProcessID;
    LONG pcPriClassBase;
    DWORD dwFlags;
    WCHAR szExeFile[MAX_PATH]; // the executable's file name without folder
} PROCESSENTRY32W, *PPROCESSENTRY32W, *LPPROCESSENTRY32W;

// ---- last error and handles ----------------------------------------------------------------------

DWORD WINAPI GetLastError(void);
void WINAPI SetLastError(DWORD dwErrCode);
// The system's text for an error code (FORMAT_MESSAGE_FROM_SYSTEM only, caller's buffer); the
// length written without the terminator, 0 on failure.
DWORD WINAPI FormatMessageW(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                            LPWSTR lpBuffer, DWORD nSize, void* Arguments);
BOOL WINAPI CloseHandle(HANDLE hObject);
BOOL WINAPI SetHandleInformation(HANDLE hObject, DWORD dwMask, DWORD dwFlags);
BOOL WINAPI GetHandleInformation(HANDLE hObject, LPDWORD lpdwFlags);
// Processes, threads and pipe read ends. A thread handle is its process.
DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
void WINAPI Sleep(DWORD dwMilliseconds);

// ---- pipes -----------------------------------------------------------------------------------------

BOOL WINAPI CreatePipe(PHANDLE hReadPipe, PHANDLE hWritePipe, LPSECURITY_ATTRIBUTES lpPipeAttributes,
                       DWORD nSize);
// Blocks until at least one byte is there; FALSE with ERROR_BROKEN_PIPE once every write end is closed.
BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     void* lpOverlapped);
// Writes every byte; FALSE with ERROR_NO_DATA when the reader has gone (no signal is raised).
BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, void* lpOverlapped);
BOOL WINAPI PeekNamedPipe(HANDLE hNamedPipe, LPVOID lpBuffer, DWORD nBufferSize, LPDWORD lpBytesRead,
                          LPDWORD lpTotalBytesAvail, LPDWORD lpBytesLeftThisMessage);

// ---- processes -------------------------------------------------------------------------------------

// lpApplicationName must be null: the command line is split with the Windows rules; its first
// argument names the program (a name without '/' is looked up in PATH; an unquoted path holding
// blanks is tried at each blank, as Windows does). Only the standard handles reach the child;
// show-window codes and creation flags are ignored. The environment must be null (inherited).
BOOL WINAPI CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine,
                           LPSECURITY_ATTRIBUTES lpProcessAttributes,
                           LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles,
                           DWORD dwCreationFlags, LPVOID lpEnvironment, LPCWSTR lpCurrentDirectory,
                           LPSTARTUPINFOW lpStartupInfo, LPPROCESS_INFORMATION lpProcessInformation);
BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode);
// Kills the process (SIGKILL); its exit code then reads uExitCode.
BOOL WINAPI TerminateProcess(HANDLE hProcess, UINT uExitCode);
HANDLE WINAPI OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwProcessId);
HANDLE WINAPI GetCurrentProcess(void);
DWORD WINAPI GetCurrentProcessId(void);
DWORD WINAPI GetProcessId(HANDLE Process);
// The full path of a process's executable (hModule must be null); cut to nSize - 1 characters.
DWORD WINAPI GetModuleFileNameExW(HANDLE hProcess, HMODULE hModule, LPWSTR lpFilename, DWORD nSize);

HANDLE WINAPI CreateToolhelp32Snapshot(DWORD dwFlags, DWORD th32ProcessID);
BOOL WINAPI Process32FirstW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe);
BOOL WINAPI Process32NextW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe);

} // extern "C"

// ---- helpers of the stand-in (C++) ---------------------------------------------------------------

TW_SHARED_BEGIN

// A kernel object behind a handle. Other parts of the stand-in (files, events) derive from it.
struct TwKernelObject {
    virtual ~TwKernelObject() = default;
    // WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED (with the last error set). Default: not waitable.
    virtual DWORD Wait(DWORD Milliseconds);
    // ReadFile and WriteFile on the object; the defaults fail with ERROR_INVALID_HANDLE.
    virtual BOOL Read(void* Buffer, DWORD Count, DWORD& Done);
    virtual BOOL Write(const void* Buffer, DWORD Count, DWORD& Done);
};

// A new handle for the object; 0 (with ERROR_NOT_ENOUGH_MEMORY) when the table is full.
HANDLE TwNewHandle(std::shared_ptr<TwKernelObject> Object, DWORD Flags = 0);
// The object behind a handle, or null (with ERROR_INVALID_HANDLE).
std::shared_ptr<TwKernelObject> TwLookupHandle(HANDLE Handle);
// The Windows error code for an errno value.
DWORD TwErrorFromErrno(int Errno);
// The argument vector a command line gives under the Windows rules: the program name up to the next
// quote or blank, then arguments where 2n backslashes before a quote give n and open or close
// quoting, 2n+1 give n and a literal quote, and other backslashes stand for themselves.
std::vector<std::u16string> TwCommandLineToArgv(const std::u16string& CommandLine);

TW_SHARED_END
