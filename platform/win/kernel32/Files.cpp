// Files, folders and their attributes over POSIX.
#include "win/kernel32/fileapi.h"
#include "win/kernel32/FileInfo.h"
#include "win/kernel32/Utf8.h"
#include "win/kernel32/modules.h"
#include "win/kernel32/winbase.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int64_t EpochDifference = 11644473600LL; // seconds from 1601 to 1970

std::string Path(LPCWSTR s) { return winkernel::Utf16ToUtf8(s, std::char_traits<char16_t>::length(s)); }

// UTF-8 bytes of a file name back to UTF-16; bytes that are not UTF-8 stand for themselves (Latin-1),
// so that every name can be shown and, being ASCII-free above 0x7F, found again by the caller's text.
std::u16string Wide(const std::string& s) {
    std::u16string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto b = uint8_t(s[i]);
        int len = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        uint32_t cp = len == 1 ? b : len == 2 ? b & 0x1F : len == 3 ? b & 0x0F : b & 0x07;
        bool ok = len > 0 && i + size_t(len) <= s.size();
        for (int k = 1; ok && k < len; ++k) {
            const auto c = uint8_t(s[i + size_t(k)]);
            ok = (c & 0xC0) == 0x80;
            cp = cp << 6 | (c & 0x3F);
        }
        if (!ok) {
            out.push_back(char16_t(b));
            ++i;
            continue;
        }
        i += size_t(len);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

BOOL FailErrno() { return Fail(TwErrorFromErrno(errno)); }

// A missing folder on the way is a missing path, as Windows tells the two apart.
BOOL FailPath(const std::string& path) {
    if (errno == ENOENT) {
        const size_t slash = path.find_last_of('/');
        struct stat st {};
        if (slash != std::string::npos && slash > 0 && ::stat(path.substr(0, slash).c_str(), &st) != 0)
            return Fail(ERROR_PATH_NOT_FOUND);
    }
    return FailErrno();
}

// The length-or-needed-size contract of the buffer functions.
DWORD Deliver(const std::u16string& s, DWORD size, LPWSTR buffer) {
    if (!buffer || size < s.size() + 1) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return DWORD(s.size() + 1);
    }
    std::memcpy(buffer, s.c_str(), (s.size() + 1) * sizeof(char16_t));
    return DWORD(s.size());
}

} // namespace

// ---- shared with the times and the search --------------------------------------------------------------

namespace winkernel {

FILETIME ToFileTime(const struct timespec& t) {
    const int64_t ticks = (int64_t(t.tv_sec) + EpochDifference) * 10000000 + t.tv_nsec / 100;
    return FILETIME{DWORD(uint64_t(ticks)), DWORD(uint64_t(ticks) >> 32)};
}

struct timespec ToTimespec(const FILETIME& f) {
    const int64_t ticks = int64_t(uint64_t(f.dwHighDateTime) << 32 | f.dwLowDateTime);
    int64_t seconds = ticks / 10000000, rest = ticks % 10000000;
    return timespec{time_t(seconds - EpochDifference), long(rest * 100)};
}

void Describe(const struct stat& st, const char* name, DWORD& attributes, FILETIME& creation, FILETIME& access,
              FILETIME& write, uint64_t& size) {
    attributes = 0;
    if (S_ISDIR(st.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (!(st.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
    if (name && name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (!attributes) attributes = FILE_ATTRIBUTE_NORMAL;
    access = ToFileTime(st.st_atim);
    write = ToFileTime(st.st_mtim);
    creation = write;
    size = S_ISDIR(st.st_mode) ? 0 : uint64_t(st.st_size);
}

void BirthTime(int dirfd, const char* name, int flags, FILETIME& creation) {
    struct statx sx {};
    if (::statx(dirfd, name, flags, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME))
        creation = ToFileTime(timespec{time_t(sx.stx_btime.tv_sec), long(sx.stx_btime.tv_nsec)});
}

std::string Utf8Path(LPCWSTR s) { return Path(s); }
std::u16string WidePath(const std::string& s) { return Wide(s); }

} // namespace winkernel

namespace {

const char* BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}

struct FileObject : TwKernelObject {
    int fd;
    explicit FileObject(int f) : fd(f) {}
    ~FileObject() override { ::close(fd); }
    BOOL Read(void* buffer, DWORD count, DWORD& done) override {
        done = 0;
        while (done < count) {
            const ssize_t n = ::read(fd, static_cast<char*>(buffer) + done, count - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return FailErrno();
            if (n == 0) break; // end of file: success with what was read
            done += DWORD(n);
        }
        return TRUE;
    }
    BOOL Write(const void* buffer, DWORD count, DWORD& done) override {
        done = 0;
        while (done < count) {
            const ssize_t n = ::write(fd, static_cast<const char*>(buffer) + done, count - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return Fail(errno == ENOSPC ? ERROR_DISK_FULL : TwErrorFromErrno(errno));
            done += DWORD(n);
        }
        return TRUE;
    }
};

std::shared_ptr<FileObject> LookupFile(HANDLE h) {
    auto file = std::dynamic_pointer_cast<FileObject>(TwLookupHandle(h));
    if (!file) SetLastError(ERROR_INVALID_HANDLE);
    return file;
}

// Copies a regular file to a new name that must not exist, with its mode and times; the new file is
// removed again when anything fails, so no half copy stays behind.
bool CopyToNew(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        errno = EXDEV;
        return false;
    }
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = true;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t put = 0; ok && put < n;) {
            const ssize_t w = ::write(out, buffer.data() + put, size_t(n - put));
            if (w < 0 && errno == EINTR) continue;
            ok = w > 0;
            put += w > 0 ? w : 0;
        }
        if (!ok) break;
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ok = ok && ::futimens(out, times) == 0 && ::fsync(out) == 0;
    const int saved = errno;
    ok = ::close(out) == 0 && ok;
    ::close(in);
    if (!ok) {
        ::unlink(to.c_str());
        errno = saved ? saved : EIO;
    }
    return ok;
}

} // namespace

extern "C" {

HANDLE WINAPI CreateFileW(LPCWSTR name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES sa, DWORD disposition,
                          DWORD flags, HANDLE) {
    if (!name || !*name) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const std::string path = Path(name);
    int o = O_CLOEXEC;
    const bool reading = access & GENERIC_READ, writing = access & GENERIC_WRITE;
    o |= reading && writing ? O_RDWR : writing ? O_WRONLY : O_RDONLY;
    switch (disposition) {
    case CREATE_NEW: o |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: o |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: o |= O_CREAT; break;
    case TRUNCATE_EXISTING: o |= O_TRUNC; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_HANDLE_VALUE;
    }
    if ((o & O_TRUNC) && !writing) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    struct stat before {};
    const bool existed = ::stat(path.c_str(), &before) == 0;
    if (existed && S_ISDIR(before.st_mode)) {
        if (!(flags & FILE_FLAG_BACKUP_SEMANTICS) || writing) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        o = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    }
    const mode_t mode = (flags & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    const int fd = ::open(path.c_str(), o, mode);
    if (fd < 0) {
        if (errno == EEXIST) SetLastError(ERROR_FILE_EXISTS);
        else FailPath(path);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE h = TwNewHandle(std::make_shared<FileObject>(fd), sa && sa->bInheritHandle ? HANDLE_FLAG_INHERIT : 0);
    if (!h) return INVALID_HANDLE_VALUE;
    SetLastError(existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) ? ERROR_ALREADY_EXISTS
                                                                                         : ERROR_SUCCESS);
    return h;
}

BOOL WINAPI SetFilePointerEx(HANDLE h, LARGE_INTEGER distance, PLARGE_INTEGER newPosition, DWORD method) {
    auto file = LookupFile(h);
    if (!file) return FALSE;
    if (method > FILE_END) return Fail(ERROR_INVALID_PARAMETER);
    const int whence = method == FILE_BEGIN ? SEEK_SET : method == FILE_CURRENT ? SEEK_CUR : SEEK_END;
    const off_t at = ::lseek(file->fd, off_t(distance.QuadPart), whence);
    if (at < 0) return Fail(errno == EINVAL ? ERROR_NEGATIVE_SEEK : TwErrorFromErrno(errno));
    if (newPosition) newPosition->QuadPart = at;
    return TRUE;
}

BOOL WINAPI SetEndOfFile(HANDLE h) {
    auto file = LookupFile(h);
    if (!file) return FALSE;
    const off_t at = ::lseek(file->fd, 0, SEEK_CUR);
    return at >= 0 && ::ftruncate(file->fd, at) == 0 ? TRUE : FailErrno();
}

BOOL WINAPI GetFileSizeEx(HANDLE h, PLARGE_INTEGER size) {
    auto file = LookupFile(h);
    if (!file) return FALSE;
    struct stat st {};
    if (!size || ::fstat(file->fd, &st) != 0) return size ? FailErrno() : Fail(ERROR_INVALID_PARAMETER);
    size->QuadPart = st.st_size;
    return TRUE;
}

BOOL WINAPI FlushFileBuffers(HANDLE h) {
    auto file = LookupFile(h);
    if (!file) return FALSE;
    return ::fsync(file->fd) == 0 ? TRUE : FailErrno();
}

BOOL WINAPI GetFileTime(HANDLE h, LPFILETIME creation, LPFILETIME access, LPFILETIME write) {
    auto file = LookupFile(h);
    if (!file) return FALSE;
    struct stat st {};
    if (::fstat(file->fd, &st) != 0) return FailErrno();
    DWORD attributes;
    FILETIME c, a, w;
    uint64_t size;
    winkernel::Describe(st, nullptr, attributes, c, a, w, size);
    winkernel::BirthTime(file->fd, "", AT_EMPTY_PATH, c);
    if (creation) *creation = c;
    if (access) *access = a;
    if (write) *write = w;
    return TRUE;
}

BOOL WINAPI SetFileTime(HANDLE h, const FILETIME*, const FILETIME* access, const FILETIME* write) {
    auto file = LookupFile(h);
    if (!file) return FALSE;
    struct timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
    if (access) times[0] = winkernel::ToTimespec(*access);
    if (write) times[1] = winkernel::ToTimespec(*write);
    return ::futimens(file->fd, times) == 0 ? TRUE : FailErrno();
}

BOOL WINAPI CreateDirectoryW(LPCWSTR name, LPSECURITY_ATTRIBUTES) {
    if (!name || !*name) return Fail(ERROR_PATH_NOT_FOUND);
    const std::string path = Path(name);
    if (::mkdir(path.c_str(), 0777) == 0) return TRUE;
    return errno == ENOENT ? Fail(ERROR_PATH_NOT_FOUND) : FailErrno();
}

BOOL WINAPI RemoveDirectoryW(LPCWSTR name) {
    if (!name) return Fail(ERROR_INVALID_PARAMETER);
    if (::rmdir(Path(name).c_str()) == 0) return TRUE;
    return errno == ENOTEMPTY || errno == EEXIST ? Fail(ERROR_DIR_NOT_EMPTY)
           : errno == ENOTDIR                   ? Fail(ERROR_DIRECTORY)
                                                : FailErrno();
}

BOOL WINAPI DeleteFileW(LPCWSTR name) {
    if (!name) return Fail(ERROR_INVALID_PARAMETER);
    const std::string path = Path(name);
    if (::unlink(path.c_str()) == 0) return TRUE;
    return FailPath(path);
}

BOOL WINAPI MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) {
    if (!from || !to) return Fail(ERROR_INVALID_PARAMETER);
    const std::string source = Path(from), target = Path(to);
    struct stat st {};
    if (::lstat(source.c_str(), &st) != 0) return FailPath(source);
    if (flags & MOVEFILE_REPLACE_EXISTING) {
        if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED); // a folder never replaces anything
        if (::rename(source.c_str(), target.c_str()) == 0) return TRUE;
        if (errno != EXDEV) return FailPath(target);
        // Another file system: copy beside the target under a unique name, then rename over it.
        std::string temporary = target + ".XXXXXX";
        const int fd = ::mkstemp(temporary.data());
        if (fd < 0) return FailErrno();
        ::close(fd);
        ::unlink(temporary.c_str());
        if (!CopyToNew(source, temporary)) return FailErrno();
        if (::rename(temporary.c_str(), target.c_str()) != 0) {
            const int saved = errno;
            ::unlink(temporary.c_str());
            errno = saved;
            return FailErrno();
        }
        ::unlink(source.c_str());
        return TRUE;
    }
    // The check and the move are one step: a file that appears at the target in between is kept.
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return TRUE;
    if (errno == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system without the no-replace rename: a hard link refuses an existing name as well.
        if (S_ISDIR(st.st_mode)) {
            if (::lstat(target.c_str(), &st) == 0) return Fail(ERROR_ALREADY_EXISTS);
            return ::rename(source.c_str(), target.c_str()) == 0 ? TRUE : FailPath(target);
        }
        if (::link(source.c_str(), target.c_str()) != 0)
            return errno == EEXIST ? Fail(ERROR_ALREADY_EXISTS) : FailPath(target);
        ::unlink(source.c_str());
        return TRUE;
    }
    if (errno != EXDEV) return FailPath(target);
    if (S_ISDIR(st.st_mode) || !(flags & MOVEFILE_COPY_ALLOWED)) return Fail(ERROR_NOT_SAME_DEVICE);
    if (!CopyToNew(source, target)) return errno == EEXIST ? Fail(ERROR_ALREADY_EXISTS) : FailErrno();
    ::unlink(source.c_str());
    return TRUE;
}

BOOL WINAPI MoveFileW(LPCWSTR from, LPCWSTR to) { return MoveFileExW(from, to, MOVEFILE_COPY_ALLOWED); }

DWORD WINAPI GetFileAttributesW(LPCWSTR name) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return GetFileAttributesExW(name, GetFileExInfoStandard, &data) ? data.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

BOOL WINAPI GetFileAttributesExW(LPCWSTR name, GET_FILEEX_INFO_LEVELS level, LPVOID info) {
    if (!name || !info || level != GetFileExInfoStandard) return Fail(ERROR_INVALID_PARAMETER);
    std::string path = Path(name);
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return FailPath(path);
    auto* data = static_cast<LPWIN32_FILE_ATTRIBUTE_DATA>(info);
    uint64_t size;
    winkernel::Describe(st, BaseName(path), data->dwFileAttributes, data->ftCreationTime, data->ftLastAccessTime,
                        data->ftLastWriteTime, size);
    winkernel::BirthTime(AT_FDCWD, path.c_str(), 0, data->ftCreationTime);
    data->nFileSizeHigh = DWORD(size >> 32);
    data->nFileSizeLow = DWORD(size);
    return TRUE;
}

BOOL WINAPI SetFileAttributesW(LPCWSTR name, DWORD attributes) {
    if (!name) return Fail(ERROR_INVALID_PARAMETER);
    const std::string path = Path(name);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return FailPath(path);
    mode_t mode = st.st_mode & 07777;
    if (attributes & FILE_ATTRIBUTE_READONLY) mode &= ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH);
    else mode |= S_IWUSR;
    return mode == (st.st_mode & 07777) || ::chmod(path.c_str(), mode) == 0 ? TRUE : FailErrno();
}

DWORD WINAPI GetFullPathNameW(LPCWSTR name, DWORD size, LPWSTR buffer, LPWSTR* filePart) {
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    std::u16string path(name);
    if (path[0] != u'/') {
        char* cwd = ::getcwd(nullptr, 0);
        if (!cwd) return FailErrno();
        path = Wide(cwd) + u"/" + path;
        std::free(cwd);
    }
    // Resolve "." and ".." by the text; keep a trailing '/'.
    std::vector<std::u16string> parts;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = path.find(u'/', start);
        if (end == std::u16string::npos) end = path.size();
        const std::u16string part = path.substr(start, end - start);
        if (part == u"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != u".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::u16string full;
    for (const auto& p : parts) full += u"/" + p;
    const bool trailing = path.back() == u'/' || path.ends_with(u"/.") || path.ends_with(u"/..");
    if (full.empty() || trailing) full += u"/";
    const DWORD n = Deliver(full, size, buffer);
    if (filePart && n == full.size()) {
        const size_t slash = full.find_last_of(u'/');
        *filePart = slash + 1 < full.size() ? buffer + slash + 1 : nullptr;
    }
    return n;
}

DWORD WINAPI GetCurrentDirectoryW(DWORD size, LPWSTR buffer) {
    char* cwd = ::getcwd(nullptr, 0);
    if (!cwd) return FailErrno();
    const std::u16string s = Wide(cwd);
    std::free(cwd);
    return Deliver(s, size, buffer);
}

BOOL WINAPI SetCurrentDirectoryW(LPCWSTR name) {
    if (!name) return Fail(ERROR_INVALID_PARAMETER);
    const std::string path = Path(name);
    return ::chdir(path.c_str()) == 0 ? TRUE : FailPath(path);
}

DWORD WINAPI GetTempPathW(DWORD size, LPWSTR buffer) {
    const char* tmp = std::getenv("TMPDIR");
    std::string s = tmp && *tmp ? tmp : "/tmp";
    if (s.back() != '/') s += '/';
    return Deliver(Wide(s), size, buffer);
}

DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
    std::string file;
    if (!module || module == GetModuleHandleW(nullptr)) {
        std::vector<char> link(4096);
        const ssize_t n = ::readlink("/proc/self/exe", link.data(), link.size() - 1);
        if (n < 0) return FailErrno();
        file.assign(link.data(), size_t(n));
    } else {
        struct link_map* map = nullptr;
        if (::dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return 0;
        }
        file = map->l_name;
    }
    const std::u16string s = Wide(file);
    if (!buffer || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // Windows cuts the name and still terminates it.
    const size_t n = std::min<size_t>(s.size(), size - 1);
    std::memcpy(buffer, s.data(), n * sizeof(char16_t));
    buffer[n] = 0;
    SetLastError(n < s.size() ? ERROR_INSUFFICIENT_BUFFER : ERROR_SUCCESS);
    return DWORD(n < s.size() ? size : n);
}

} // extern "C"
