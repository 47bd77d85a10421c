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

// ---- virtual memory --------------------------------------------------------------------------------

#define ERROR_INVALID_ADDRESS 487L

#define MEM_COMMIT 0x00001000
#define MEM_RESERVE 0x00002000
#define MEM_DECOMMIT 0x00004000
#define MEM_RELEASE 0x00008000
#define MEM_FREE 0x00010000
#define MEM_PRIVATE 0x00020000
#define MEM_MAPPED 0x00040000
#define MEM_TOP_DOWN 0x00100000
#define MEM_IMAGE 0x01000000

#define PAGE_NOACCESS 0x01
#define PAGE_READONLY 0x02
#define PAGE_READWRITE 0x04
#define PAGE_WRITECOPY 0x08
#define PAGE_EXECUTE 0x10
#define PAGE_EXECUTE_READ 0x20
#define PAGE_EXECUTE_READWRITE 0x40
#define PAGE_EXECUTE_WRITECOPY 0x80
#define PAGE_GUARD 0x100

typedef struct _MEMORY_BASIC_INFORMATION {
    PVOID BaseAddress; // the queried address rounded down to its page
    PVOID AllocationBase;
    DWORD AllocationProtect;
    WORD PartitionId;
    SIZE_T RegionSize; // from BaseAddress to the end of the run of pages alike
    DWORD State;
    DWORD Protect;
    DWORD Type;
} MEMORY_BASIC_INFORMATION, *PMEMORY_BASIC_INFORMATION;

typedef struct _SYSTEM_INFO {
    WORD wProcessorArchitecture; // 9: x64
    WORD wReserved;
    DWORD dwPageSize;
    LPVOID lpMinimumApplicationAddress;
    LPVOID lpMaximumApplicationAddress;
    DWORD_PTR dwActiveProcessorMask;
    DWORD dwNumberOfProcessors;
    DWORD dwProcessorType;
    DWORD dwAllocationGranularity;
    WORD wProcessorLevel;
    WORD wProcessorRevision;
} SYSTEM_INFO, *LPSYSTEM_INFO;

void WINAPI GetSystemInfo(LPSYSTEM_INFO lpSystemInfo);
// Over mmap. A new allocation starts on the 64 KiB granularity; one at a given address takes exactly
// that place or fails with ERROR_INVALID_ADDRESS (nothing already mapped is replaced). MEM_TOP_DOWN is
// how Linux places anonymous mappings anyway.
LPVOID WINAPI VirtualAlloc(LPVOID lpAddress, SIZE_T dwSize, DWORD flAllocationType, DWORD flProtect);
// MEM_RELEASE (size 0, at an allocation's base) or MEM_DECOMMIT of pages that VirtualAlloc gave.
BOOL WINAPI VirtualFree(LPVOID lpAddress, SIZE_T dwSize, DWORD dwFreeType);
// Over mprotect, for any mapped pages of the process (code of shared libraries included).
BOOL WINAPI VirtualProtect(LPVOID lpAddress, SIZE_T dwSize, DWORD flNewProtect, PDWORD lpflOldProtect);
// Over /proc/self/maps. Mappings that have no access are reported as reserved.
SIZE_T WINAPI VirtualQuery(LPCVOID lpAddress, PMEMORY_BASIC_INFORMATION lpBuffer, SIZE_T dwLength);
BOOL WINAPI FlushInstructionCache(HANDLE hProcess, LPCVOID lpBaseAddress, SIZE_T dwSize);

// Code that walks the address space region by region (a search for free room near some code) opens
// a snapshot first: until the matching end, queries read one parse of /proc/self/maps, which the
// stand-in's own allocations, releases and protection changes keep up to date. Nests.
void WINAPI TwBeginMemorySnapshot(void);
void WINAPI TwEndMemorySnapshot(void);
// How often /proc/self/maps was parsed so far.
DWORD WINAPI TwMemoryMapParses(void);

// ---- threads ---------------------------------------------------------------------------------------

#define TH32CS_SNAPTHREAD 0x00000004

#define THREAD_SUSPEND_RESUME 0x0002
#define THREAD_GET_CONTEXT 0x0008
#define THREAD_SET_CONTEXT 0x0010
#define THREAD_QUERY_INFORMATION 0x0040
#define THREAD_ALL_ACCESS 0x001FFFFF

#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15
#define THREAD_PRIORITY_ERROR_RETURN 0x7FFFFFFF

#define TLS_OUT_OF_INDEXES 0xFFFFFFFF
#define TLS_MINIMUM_AVAILABLE 64

typedef struct tagTHREADENTRY32 {
    DWORD dwSize;
    DWORD cntUsage;
    DWORD th32ThreadID;
    DWORD th32OwnerProcessID;
    LONG tpBasePri;
    LONG tpDeltaPri;
    DWORD dwFlags;
} THREADENTRY32, *PTHREADENTRY32, *LPTHREADENTRY32;

#define CONTEXT_AMD64 0x00100000L
#define CONTEXT_CONTROL (CONTEXT_AMD64 | 0x1L)   // Rip, Rsp, EFlags, SegCs, SegSs
#define CONTEXT_INTEGER (CONTEXT_AMD64 | 0x2L)   // Rax to R15 but Rsp
#define CONTEXT_FULL (CONTEXT_CONTROL | CONTEXT_INTEGER)

// The processor state of a suspended thread: the integer and control registers (no floating point).
typedef struct _CONTEXT {
    DWORD ContextFlags;
    WORD SegCs, SegSs;
    DWORD EFlags;
    DWORD64 Rax, Rcx, Rdx, Rbx, Rsp, Rbp, Rsi, Rdi;
    DWORD64 R8, R9, R10, R11, R12, R13, R14, R15;
    DWORD64 Rip;
} CONTEXT, *PCONTEXT, *LPCONTEXT;

HANDLE WINAPI GetCurrentThread(void); // the pseudo-handle (HANDLE)-2
// Only threads of this process can be opened; another's fails with ERROR_ACCESS_DENIED.
HANDLE WINAPI OpenThread(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwThreadId);
// A suspended thread is parked inside a signal handler until its count is back to 0. A thread that
// blocks that signal is not suspended (ERROR_ACCESS_DENIED), nor one that does not take it within a
// second (ERROR_TIMEOUT).
// A thread cannot suspend itself here (ERROR_INVALID_PARAMETER): nobody would be left to resume it.
DWORD WINAPI SuspendThread(HANDLE hThread);
DWORD WINAPI ResumeThread(HANDLE hThread);
// Of a suspended thread only; a changed Rip (or any other register) takes effect when it resumes.
BOOL WINAPI GetThreadContext(HANDLE hThread, LPCONTEXT lpContext);
BOOL WINAPI SetThreadContext(HANDLE hThread, const CONTEXT* lpContext);
// Recorded per thread and read back; Linux gives no unprivileged way to raise a thread's priority,
// so the scheduling itself is left as it is.
int WINAPI GetThreadPriority(HANDLE hThread);
BOOL WINAPI SetThreadPriority(HANDLE hThread, int nPriority);
// With TH32CS_SNAPTHREAD: the threads of the given process (0: of every process; Windows lists all
// of them in any case, and callers pick by owner). Together with TH32CS_SNAPPROCESS it is refused.
BOOL WINAPI Thread32First(HANDLE hSnapshot, LPTHREADENTRY32 lpte);
BOOL WINAPI Thread32Next(HANDLE hSnapshot, LPTHREADENTRY32 lpte);

// 1088 indexes, as Windows has; freeing one clears its value in every thread.
DWORD WINAPI TlsAlloc(void);
BOOL WINAPI TlsFree(DWORD dwTlsIndex);
LPVOID WINAPI TlsGetValue(DWORD dwTlsIndex);
BOOL WINAPI TlsSetValue(DWORD dwTlsIndex, LPVOID lpTlsValue);

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
