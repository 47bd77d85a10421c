// The folder search (FindFirstFileW) over readdir.
#include "win/kernel32/fileapi.h"
#include "win/kernel32/FileInfo.h"
#include "win/kernel32/winbase.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>


namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

// Windows mask matching without case (ASCII letters; other letters compare exactly): '*' any run,
// '?' one character (one UTF-8 sequence).
bool Matches(const char* mask, const char* name) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*mask == '*') {
            star = mask++;
            resume = name;
        } else if (*mask == '?' || (*mask && Fold(*mask) == Fold(*name))) {
            if (*mask == '?')
                while ((uint8_t(name[1]) & 0xC0) == 0x80) ++name;
            ++mask;
            ++name;
        } else if (star) {
            mask = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*mask == '*') ++mask;
    return !*mask;
}

struct Search : TwKernelObject {
    DIR* dir = nullptr;
    std::string mask;
    bool everything = false;
    ~Search() override {
        if (dir) ::closedir(dir);
    }
    // The next entry that matches, described into data; false at the end.
    bool Next(WIN32_FIND_DATAW& data) {
        while (dirent* e = ::readdir(dir)) {
            if (!everything && !Matches(mask.c_str(), e->d_name)) continue;
            struct stat st {};
            const int fd = ::dirfd(dir);
            // A dangling link is listed as what it is: a link, described as a file.
            if (::fstatat(fd, e->d_name, &st, 0) != 0 && ::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue; // gone since readdir saw it
            uint64_t size;
            std::memset(&data, 0, sizeof data);
            winkernel::Describe(st, e->d_name, data.dwFileAttributes, data.ftCreationTime, data.ftLastAccessTime,
                                data.ftLastWriteTime, size);
            data.nFileSizeHigh = DWORD(size >> 32);
            data.nFileSizeLow = DWORD(size);
            // ASCII names (the most) go straight in; others through the decoder.
            size_t n = 0;
            while (e->d_name[n] && uint8_t(e->d_name[n]) < 0x80 && n < MAX_PATH - 1) {
                data.cFileName[n] = char16_t(e->d_name[n]);
                ++n;
            }
            if (e->d_name[n]) {
                const std::u16string name = winkernel::WidePath(e->d_name);
                std::memcpy(data.cFileName, name.data(), std::min<size_t>(name.size(), MAX_PATH - 1) * sizeof(char16_t));
            }
            return true;
        }
        return false;
    }
};

} // namespace

extern "C" {

HANDLE WINAPI FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data) {
    if (!pattern || !*pattern || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const std::string path = winkernel::Utf8Path(pattern);
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    auto search = std::make_shared<Search>();
    search->mask = slash == std::string::npos ? path : path.substr(slash + 1);
    if (search->mask.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    search->everything = search->mask == "*" || search->mask == "*.*";
    search->dir = ::opendir(folder.c_str());
    if (!search->dir) {
        SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : TwErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    if (!search->Next(*data)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE h = TwNewHandle(search);
    return h ? h : INVALID_HANDLE_VALUE;
}

BOOL WINAPI FindNextFileW(HANDLE h, LPWIN32_FIND_DATAW data) {
    const auto object = TwLookupHandle(h);
    auto* search = dynamic_cast<Search*>(object.get()); // one lookup per entry: no second reference taken
    if (!search || !data) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (search->Next(*data)) return TRUE;
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
}

BOOL WINAPI FindClose(HANDLE h) {
    if (!std::dynamic_pointer_cast<Search>(TwLookupHandle(h))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(h);
}

} // extern "C"
