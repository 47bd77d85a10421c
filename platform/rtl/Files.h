// rtl/Files.h: the run-time library's file and folder functions on POSIX: existence tests, folders,
// names and paths, directory searches with Windows wildcard rules, attributes, file dates and times,
// the current folder and the command line.
#pragma once
#include "rtl/System.h"

#include <cstdint>
#include <memory>

namespace rtl {

constexpr Char PathDelim = u'/';
constexpr Char DriveDelim = u'\0';          // no drives: ExtractFileDrive is always empty
constexpr Char PathSep = u':';

// Attributes (Windows values). Read-only = the owner cannot write; hidden = the name starts with '.'
// ("." and ".." excepted); a symbolic link carries faSymLink and the attributes of its target.
constexpr int faReadOnly = 0x0001;
constexpr int faHidden = 0x0002;
constexpr int faSysFile = 0x0004;
constexpr int faVolumeID = 0x0008;
constexpr int faDirectory = 0x0010;
constexpr int faArchive = 0x0020;
constexpr int faNormal = 0x0080;
constexpr int faTemporary = 0x0100;
constexpr int faSymLink = 0x0400;           // also the Windows reparse-point bit
constexpr int faCompressed = 0x0800;
constexpr int faEncrypted = 0x4000;
constexpr int faVirtual = 0x10000;
constexpr int faAnyFile = 0x01FF;

// ---- existence and folders --------------------------------------------------------------------

bool FileExists(const String& FileName, bool FollowLink = true);   // false for folders and dangling links
bool DirectoryExists(const String& Directory, bool FollowLink = true);
bool ForceDirectories(const String& Dir);   // every missing parent; raises EInOutError for an empty name
bool CreateDir(const String& Dir);
bool RemoveDir(const String& Dir);          // empty folders only
bool DeleteFile(const String& FileName);    // not folders; a link is removed, not its target
// Fails (false) when NewName exists: a rename never replaces a file, as on Windows.
bool RenameFile(const String& OldName, const String& NewName);

// ---- names and paths ----------------------------------------------------------------------------

String ExtractFilePath(const String& FileName);   // up to and including the last '/'
String ExtractFileDir(const String& FileName);    // the same without the last '/' (kept for "/")
String ExtractFileName(const String& FileName);
String ExtractFileExt(const String& FileName);    // from the last '.' after the last '/', else ""
String ChangeFileExt(const String& FileName, const String& Extension);
String ExtractFileDrive(const String& FileName);  // always "": POSIX paths have no drive
String IncludeTrailingPathDelimiter(const String& S);
String ExcludeTrailingPathDelimiter(const String& S);   // one '/' at most ("/" gives "")
bool IsPathDelimiter(const String& S, int Index);        // 1-based, as the class library counts
// An absolute path: relative names are taken from the current folder; "." and ".." are folded and
// repeated '/' collapse; a trailing '/' is kept. "" gives "".
String ExpandFileName(const String& FileName);

// ---- directory search ---------------------------------------------------------------------------

struct TFileTime {                          // 100-ns intervals since 1601-01-01 UTC
    uint32_t dwLowDateTime = 0;
    uint32_t dwHighDateTime = 0;
};

// The Windows-like entry a directory search reports.
struct TWin32FindData {
    uint32_t dwFileAttributes = 0;
    TFileTime ftCreationTime;               // 0 when the file system keeps no creation time
    TFileTime ftLastAccessTime;
    TFileTime ftLastWriteTime;
    uint32_t nFileSizeHigh = 0;
    uint32_t nFileSizeLow = 0;
    uint32_t dwReserved0 = 0;               // 0xA000000C (symbolic-link tag) for links
    uint32_t dwReserved1 = 0;
    String cFileName;
    String cAlternateFileName;              // always empty
};

struct TSearchRec {
    int64_t Time = 0;                       // file date of the last write (see FileAge)
    int64_t Size = 0;                       // of the target for a link, 0 for folders
    int Attr = 0;
    String Name;
    int ExcludeAttr = 0;
    std::shared_ptr<void> FindHandle;
    TWin32FindData FindData;
    TDateTime TimeStamp() const;            // the last write as a local TDateTime
};

// Path is a folder and a mask; the mask follows the Windows rules: "*" and "*.*" match every name,
// "*" any run of characters, "?" one character, letters compare without case; a mask without
// wildcards names one entry exactly (names may hold '*' or '?' on Linux). "." and ".." come first
// when the mask matches them. Entries with faHidden, faSysFile or faDirectory are skipped unless Attr
// asks for them. Returns 0, or 2 (nothing found) / 3 (no such folder); FindNext returns 18 at the end.
int FindFirst(const String& Path, int Attr, TSearchRec& F);
int FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);

// ---- attributes, dates, times -------------------------------------------------------------------

int FileGetAttr(const String& FileName, bool FollowLink = true);   // -1 when it does not exist
// Only faReadOnly acts: set removes every write permission, clear gives the owner write permission.
// Returns 0 or a Windows error number.
int FileSetAttr(const String& FileName, int Attr, bool FollowLink = true);

// File dates are the values of DateTimeToFileDate (rtl/DateUtils.h): the Unix time of the moment, to
// even seconds. -1 when the file does not exist.
int64_t FileAge(const String& FileName, bool FollowLink = true);
bool FileAge(const String& FileName, TDateTime& FileDateTime, bool FollowLink = true);   // local time
// Sets the last-write time only (the access time is kept). Returns 0 or a Windows error number.
int FileSetDate(const String& FileName, int64_t Age);
int FileSetDate(int Handle, int64_t Age);

// The class library's file-time functions: local times, links followed. The getters raise
// EInOutError when the file does not exist; the setters raise it when the time cannot be set.
// A file system without creation times reports the last-write time as the creation time, and the
// creation time is never set (SetCreationTime does nothing).
class TFile {
public:
    static TDateTime GetCreationTime(const String& Path);
    static TDateTime GetLastAccessTime(const String& Path);
    static TDateTime GetLastWriteTime(const String& Path);
    static void SetCreationTime(const String& Path, TDateTime CreationTime);
    static void SetLastAccessTime(const String& Path, TDateTime LastAccessTime);
    static void SetLastWriteTime(const String& Path, TDateTime LastWriteTime);
    static bool Exists(const String& Path, bool FollowLink = true) { return FileExists(Path, FollowLink); }
};

int64_t FileSizeByName(const String& FileName);   // -1 when it is not a file

// ---- current folder and command line ------------------------------------------------------------

String GetCurrentDir();
bool SetCurrentDir(const String& Dir);

// Called once from main; before it ParamCount is 0 and ParamStr(0) is still the executable.
void InitParams(int argc, char** argv);
int ParamCount();
String ParamStr(int Index);                 // 0: the executable (/proc/self/exe); past the end: ""

} // namespace rtl
