#include "rtl/Files.h"

#include "rtl/DateUtils.h"

#include <QChar>
#include <QStringList>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace rtl {

namespace {

QByteArray Native(const String& Name) { return Name.toLocal8Bit(); }
String FromNative(const char* Name) { return QString::fromLocal8Bit(Name); }

uint32_t WindowsError(int err) {
    switch (err) {
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return 5;
    case EBADF: return 6;
    case EEXIST: return 80;
    case EINVAL: return 87;
    case ENOSPC: return 112;
    case ENOTEMPTY: return 145;
    case ENAMETOOLONG: return 206;
    default: return 31;
    }
}

bool StatPath(const String& Name, bool FollowLink, struct stat& st) {
    const QByteArray path = Native(Name);
    if (path.isEmpty()) {
        errno = ENOENT;
        return false;
    }
    return (FollowLink ? ::stat(path.constData(), &st) : ::lstat(path.constData(), &st)) == 0;
}

// ---- local TDateTime <-> system time ----

constexpr int64_t kMsFrom1899To1970 = int64_t(UnixDateDelta) * MSecsPerDay;

TDateTime LocalDateTimeOf(const struct timespec& ts) {
    const int64_t ms = int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
    return UTCToLocal(MillisecondsToDateTime(ms + kMsFrom1899To1970));
}

bool TimespecOfLocal(TDateTime Value, struct timespec& ts) {
    if (!std::isfinite(Value) || Value < MinDateTime || Value > MaxDateTime) return false;
    const int64_t ms = DateTimeToMilliseconds(LocalToUTC(Value)) - kMsFrom1899To1970;
    const int64_t secs = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    ts.tv_sec = time_t(secs);
    ts.tv_nsec = long(ms - secs * 1000) * 1000000;
    return true;
}

TFileTime FileTimeOf(const struct timespec& ts) {
    constexpr int64_t kEpochDiff = 11644473600LL;          // seconds from 1601 to 1970
    const int64_t ticks = (int64_t(ts.tv_sec) + kEpochDiff) * 10000000LL + ts.tv_nsec / 100;
    TFileTime ft;
    if (ticks > 0) {
        ft.dwLowDateTime = uint32_t(uint64_t(ticks) & 0xFFFFFFFFu);
        ft.dwHighDateTime = uint32_t(uint64_t(ticks) >> 32);
    }
    return ft;
}

// Creation time where the file system keeps one.
bool BirthTime(const String& Path, bool FollowLink, struct timespec& ts) {
#ifdef STATX_BTIME
    struct statx sx {};
    const QByteArray path = Native(Path);
    if (::statx(AT_FDCWD, path.constData(), FollowLink ? 0 : AT_SYMLINK_NOFOLLOW, STATX_BTIME, &sx) == 0 &&
        (sx.stx_mask & STATX_BTIME) != 0) {
        ts.tv_sec = sx.stx_btime.tv_sec;
        ts.tv_nsec = sx.stx_btime.tv_nsec;
        return true;
    }
#else
    (void)Path;
    (void)FollowLink;
    (void)ts;
#endif
    return false;
}

int AttributesOf(const String& Name, const struct stat& st, bool isLink) {
    int attr = 0;
    if (S_ISDIR(st.st_mode)) attr |= faDirectory;
    if ((st.st_mode & S_IWUSR) == 0) attr |= faReadOnly;
    if (Name.startsWith(u'.') && Name != u"." && Name != u"..") attr |= faHidden;
    if (isLink) attr |= faSymLink;
    if (attr == 0) attr = S_ISREG(st.st_mode) ? faArchive : faNormal;
    return attr;
}

// ---- wildcard masks ----

bool SameCharNoCase(QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); }

bool MaskMatches(const QString& mask, qsizetype mi, const QString& name, qsizetype ni) {
    while (mi < mask.size()) {
        const QChar m = mask.at(mi);
        if (m == u'*') {
            while (mi < mask.size() && mask.at(mi) == u'*') ++mi;
            if (mi == mask.size()) return true;
            for (qsizetype k = ni; k <= name.size(); ++k)
                if (MaskMatches(mask, mi, name, k)) return true;
            return false;
        }
        if (ni >= name.size()) return false;
        if (m != u'?' && !SameCharNoCase(m, name.at(ni))) return false;
        ++mi;
        ++ni;
    }
    return ni == name.size();
}

bool MatchesMask(const QString& mask, const QString& name) {
    if (mask == u"*" || mask == u"*.*") return true;
    return MaskMatches(mask, 0, name, 0);
}

struct FindState {
    QString folder;                         // with a trailing '/'
    std::vector<QString> names;
    size_t next = 0;
    int exclude = 0;
};

// Fills F from the next acceptable entry; false when none is left.
bool NextMatch(FindState& state, TSearchRec& F) {
    while (state.next < state.names.size()) {
        const QString name = state.names[state.next++];
        const QString full = state.folder + name;
        struct stat lst {};
        if (!StatPath(full, false, lst)) continue;      // vanished meanwhile
        const bool isLink = S_ISLNK(lst.st_mode);
        struct stat st = lst;
        if (isLink && !StatPath(full, true, st)) st = lst;   // a dangling link reports itself
        const int attr = AttributesOf(name, st, isLink);
        if ((attr & state.exclude) != 0) continue;
        const bool isFile = !S_ISDIR(st.st_mode) && !S_ISLNK(st.st_mode);
        F.Name = name;
        F.Attr = attr;
        F.Size = isFile ? int64_t(st.st_size) : 0;
        F.Time = DateTimeToFileDate(LocalDateTimeOf(st.st_mtim));
        F.FindData = TWin32FindData();
        F.FindData.dwFileAttributes = uint32_t(attr);
        struct timespec birth {};
        if (BirthTime(full, true, birth)) F.FindData.ftCreationTime = FileTimeOf(birth);
        F.FindData.ftLastAccessTime = FileTimeOf(st.st_atim);
        F.FindData.ftLastWriteTime = FileTimeOf(st.st_mtim);
        F.FindData.nFileSizeHigh = uint32_t(uint64_t(F.Size) >> 32);
        F.FindData.nFileSizeLow = uint32_t(uint64_t(F.Size) & 0xFFFFFFFFu);
        F.FindData.dwReserved0 = isLink ? 0xA000000Cu : 0;
        F.FindData.cFileName = name;
        return true;
    }
    return false;
}

std::mutex gParamsMutex;
std::vector<String> gParams;                // argv[1..]

} // namespace

// ---- existence and folders ----------------------------------------------------------------------

bool FileExists(const String& FileName, bool FollowLink) {
    struct stat st {};
    if (!StatPath(FileName, FollowLink, st)) return false;
    return !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const String& Directory, bool FollowLink) {
    struct stat st {};
    return StatPath(Directory, FollowLink, st) && S_ISDIR(st.st_mode);
}

bool CreateDir(const String& Dir) {
    const QByteArray path = Native(Dir);
    return !path.isEmpty() && ::mkdir(path.constData(), 0777) == 0;
}

bool ForceDirectories(const String& Dir) {
    if (Dir.isEmpty()) throw EInOutError(QStringLiteral("Unable to create directory"));
    const String dir = ExcludeTrailingPathDelimiter(ExpandFileName(Dir));
    if (dir.isEmpty() || DirectoryExists(dir)) return true;
    const String parent = ExtractFileDir(dir);
    if (parent != dir && !parent.isEmpty() && !ForceDirectories(parent)) return false;
    return CreateDir(dir) || DirectoryExists(dir);      // another process may have made it meanwhile
}

bool RemoveDir(const String& Dir) {
    const QByteArray path = Native(Dir);
    return !path.isEmpty() && ::rmdir(path.constData()) == 0;
}

bool DeleteFile(const String& FileName) {
    struct stat st {};
    if (!StatPath(FileName, false, st)) return false;
    if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return false;
    }
    return ::unlink(Native(FileName).constData()) == 0;
}

bool RenameFile(const String& OldName, const String& NewName) {
    const QByteArray from = Native(OldName), to = Native(NewName);
    if (from.isEmpty() || to.isEmpty()) {
        errno = ENOENT;
        return false;
    }
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
#endif
    // File systems without the no-replace flag: test first (a race here only loses to a new file).
    struct stat st {};
    if (::lstat(to.constData(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.constData(), to.constData()) == 0;
}

// ---- names and paths ----------------------------------------------------------------------------

String ExtractFilePath(const String& FileName) {
    return FileName.left(FileName.lastIndexOf(PathDelim) + 1);
}

String ExtractFileDir(const String& FileName) {
    qsizetype i = FileName.lastIndexOf(PathDelim);           // 0-based
    if (i > 0 && FileName.at(i - 1) != PathDelim) --i;       // drop the delimiter unless "/" or "//"
    return FileName.left(i + 1);
}

String ExtractFileName(const String& FileName) { return FileName.mid(FileName.lastIndexOf(PathDelim) + 1); }

String ExtractFileExt(const String& FileName) {
    const qsizetype dot = FileName.lastIndexOf(u'.');
    if (dot < 0 || dot < FileName.lastIndexOf(PathDelim)) return String();
    return FileName.mid(dot);
}

String ChangeFileExt(const String& FileName, const String& Extension) {
    const qsizetype dot = FileName.lastIndexOf(u'.');
    if (dot < 0 || dot < FileName.lastIndexOf(PathDelim)) return FileName + Extension;
    return FileName.left(dot) + Extension;
}

String ExtractFileDrive(const String&) { return String(); }

bool IsPathDelimiter(const String& S, int Index) {
    return Index >= 1 && Index <= S.size() && S.at(Index - 1) == PathDelim;
}

String IncludeTrailingPathDelimiter(const String& S) {
    return IsPathDelimiter(S, int(S.size())) ? S : S + PathDelim;
}

String ExcludeTrailingPathDelimiter(const String& S) {
    return IsPathDelimiter(S, int(S.size())) ? S.left(S.size() - 1) : S;
}

String ExpandFileName(const String& FileName) {
    if (FileName.isEmpty()) return String();
    const String full = FileName.startsWith(PathDelim) ? FileName : IncludeTrailingPathDelimiter(GetCurrentDir()) + FileName;
    QStringList parts;
    for (const QString& part : full.split(PathDelim, Qt::SkipEmptyParts)) {
        if (part == u".") continue;
        if (part == u"..") {
            if (!parts.isEmpty()) parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    String result = PathDelim + parts.join(PathDelim);
    if (!parts.isEmpty() && full.endsWith(PathDelim)) result += PathDelim;
    return result;
}

// ---- directory search ---------------------------------------------------------------------------

TDateTime TSearchRec::TimeStamp() const { return FileDateToDateTime(Time); }

int FindFirst(const String& Path, int Attr, TSearchRec& F) {
    FindClose(F);
    auto state = std::make_shared<FindState>();
    const String mask = ExtractFileName(Path);
    state->folder = ExtractFilePath(Path);
    state->exclude = ~Attr & (faHidden | faSysFile | faDirectory);
    const String folder = state->folder.isEmpty() ? String(u'.') : state->folder;
    if (mask.isEmpty()) return 2;
    if (!mask.contains(u'*') && !mask.contains(u'?')) {
        // One name: look it up exactly instead of listing the folder.
        if (!DirectoryExists(folder)) return 3;
        state->names.push_back(mask);
    } else {
        DIR* dir = ::opendir(Native(folder).constData());
        if (dir == nullptr) return errno == ENOTDIR || errno == ENOENT ? 3 : int(WindowsError(errno));
        std::vector<QString> others;
        bool dot = false, dotdot = false;
        while (const dirent* entry = ::readdir(dir)) {
            const QString name = FromNative(entry->d_name);
            if (name == u".") dot = true;
            else if (name == u"..") dotdot = true;
            else if (MatchesMask(mask, name)) others.push_back(name);
        }
        ::closedir(dir);
        // The system lists "." and ".." first.
        if (dot && MatchesMask(mask, QStringLiteral("."))) state->names.push_back(QStringLiteral("."));
        if (dotdot && MatchesMask(mask, QStringLiteral(".."))) state->names.push_back(QStringLiteral(".."));
        state->names.insert(state->names.end(), others.begin(), others.end());
    }
    if (!NextMatch(*state, F)) return 2;
    F.ExcludeAttr = state->exclude;
    F.FindHandle = state;
    return 0;
}

int FindNext(TSearchRec& F) {
    auto* state = static_cast<FindState*>(F.FindHandle.get());
    if (state == nullptr) return 6;
    return NextMatch(*state, F) ? 0 : 18;
}

void FindClose(TSearchRec& F) { F.FindHandle.reset(); }

// ---- attributes, dates, times -------------------------------------------------------------------

int FileGetAttr(const String& FileName, bool FollowLink) {
    struct stat lst {};
    if (!StatPath(FileName, false, lst)) return -1;
    const bool isLink = S_ISLNK(lst.st_mode);
    struct stat st = lst;
    if (isLink && FollowLink && !StatPath(FileName, true, st)) st = lst;
    return AttributesOf(ExtractFileName(ExcludeTrailingPathDelimiter(FileName)), st, isLink);
}

int FileSetAttr(const String& FileName, int Attr, bool FollowLink) {
    struct stat st {};
    if (!StatPath(FileName, FollowLink, st)) return int(WindowsError(errno));
    if (S_ISLNK(st.st_mode)) return 0;          // a link has no permissions of its own
    mode_t mode = st.st_mode & 07777;
    mode = (Attr & faReadOnly) ? (mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
    if (mode == (st.st_mode & 07777)) return 0;
    return ::chmod(Native(FileName).constData(), mode) == 0 ? 0 : int(WindowsError(errno));
}

int64_t FileAge(const String& FileName, bool FollowLink) {
    struct stat st {};
    if (!StatPath(FileName, FollowLink, st) || S_ISDIR(st.st_mode)) return -1;
    return DateTimeToFileDate(LocalDateTimeOf(st.st_mtim));
}

bool FileAge(const String& FileName, TDateTime& FileDateTime, bool FollowLink) {
    struct stat st {};
    if (!StatPath(FileName, FollowLink, st) || S_ISDIR(st.st_mode)) return false;
    FileDateTime = LocalDateTimeOf(st.st_mtim);
    return true;
}

namespace {
// A file date is the Unix time of the moment (see DateTimeToFileDate).
bool WriteTimeOfFileDate(int64_t Age, struct timespec times[2]) {
    if (Age == -1) return false;            // the "no date" value (file dates are even)
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time_t(Age);
    times[1].tv_nsec = 0;
    return true;
}
} // namespace

int FileSetDate(const String& FileName, int64_t Age) {
    struct timespec times[2];
    if (!WriteTimeOfFileDate(Age, times)) return 87;
    const QByteArray path = Native(FileName);
    if (path.isEmpty()) return 2;
    return ::utimensat(AT_FDCWD, path.constData(), times, 0) == 0 ? 0 : int(WindowsError(errno));
}

int FileSetDate(int Handle, int64_t Age) {
    struct timespec times[2];
    if (!WriteTimeOfFileDate(Age, times)) return 87;
    return ::futimens(Handle, times) == 0 ? 0 : int(WindowsError(errno));
}

namespace {
struct stat StatOrRaise(const String& Path) {
    struct stat st {};
    if (!StatPath(Path, true, st)) throw EInOutError(QStringLiteral("File not found: %1").arg(Path));
    return st;
}

void SetTimes(const String& Path, TDateTime Value, bool access) {
    struct timespec ts {};
    if (!TimespecOfLocal(Value, ts)) throw EInOutError(QStringLiteral("Invalid date: %1").arg(Path));
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = 0;
    times[0].tv_nsec = times[1].tv_nsec = UTIME_OMIT;
    times[access ? 0 : 1] = ts;
    const QByteArray path = Native(Path);
    if (path.isEmpty() || ::utimensat(AT_FDCWD, path.constData(), times, 0) != 0) {
        const int err = path.isEmpty() ? ENOENT : errno;
        throw EInOutError(QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(std::strerror(err)), Path));
    }
}
} // namespace

TDateTime TFile::GetCreationTime(const String& Path) {
    const struct stat st = StatOrRaise(Path);
    struct timespec birth {};
    return LocalDateTimeOf(BirthTime(Path, true, birth) ? birth : st.st_mtim);
}

TDateTime TFile::GetLastAccessTime(const String& Path) { return LocalDateTimeOf(StatOrRaise(Path).st_atim); }
TDateTime TFile::GetLastWriteTime(const String& Path) { return LocalDateTimeOf(StatOrRaise(Path).st_mtim); }

void TFile::SetCreationTime(const String&, TDateTime) {}
void TFile::SetLastAccessTime(const String& Path, TDateTime LastAccessTime) { SetTimes(Path, LastAccessTime, true); }
void TFile::SetLastWriteTime(const String& Path, TDateTime LastWriteTime) { SetTimes(Path, LastWriteTime, false); }

int64_t FileSizeByName(const String& FileName) {
    struct stat st {};
    if (!StatPath(FileName, true, st) || S_ISDIR(st.st_mode)) return -1;
    return int64_t(st.st_size);
}

// ---- current folder and command line ------------------------------------------------------------

String GetCurrentDir() {
    std::vector<char> buffer(PATH_MAX);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return String();
        buffer.resize(buffer.size() * 2);
    }
    return FromNative(buffer.data());
}

bool SetCurrentDir(const String& Dir) {
    const QByteArray path = Native(Dir);
    return !path.isEmpty() && ::chdir(path.constData()) == 0;
}

void InitParams(int argc, char** argv) {
    std::lock_guard<std::mutex> lock(gParamsMutex);
    gParams.clear();
    for (int i = 1; i < argc; ++i) gParams.push_back(FromNative(argv[i]));
}

int ParamCount() {
    std::lock_guard<std::mutex> lock(gParamsMutex);
    return int(gParams.size());
}

String ParamStr(int Index) {
    if (Index == 0) {
        std::vector<char> buffer(PATH_MAX + 1);
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
        return n > 0 ? FromNative(std::string(buffer.data(), size_t(n)).c_str()) : String();
    }
    std::lock_guard<std::mutex> lock(gParamsMutex);
    return Index > 0 && size_t(Index) <= gParams.size() ? gParams[size_t(Index) - 1] : String();
}

} // namespace rtl
