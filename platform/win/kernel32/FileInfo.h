// platform/win/kernel32/FileInfo.h: what the file, search and time functions of the kernel share
// (inside the library only).
#pragma once
#include "win/kernel32/fileapi.h"

#include <sys/stat.h>

#include <cstdint>
#include <string>

namespace winkernel {

FILETIME ToFileTime(const struct timespec& t);
struct timespec ToTimespec(const FILETIME& f);
// Attributes, size and times of a stat record; the name decides "hidden".
void Describe(const struct stat& st, const char* name, DWORD& attributes, FILETIME& creation, FILETIME& access,
              FILETIME& write, uint64_t& size);
// Overwrites creation with the file's birth time where the file system keeps one.
void BirthTime(int dirfd, const char* name, int flags, FILETIME& creation);
std::string Utf8Path(LPCWSTR s);
// File-name bytes as text: UTF-8 decoded, any other byte standing for itself.
std::u16string WidePath(const std::string& s);

} // namespace winkernel
