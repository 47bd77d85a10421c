// The XDG user folders, read as xdg-user-dir reads them.
#include "win/kernel32/userdirs.h"
#include "win/kernel32/FileInfo.h"
#include "win/kernel32/winbase.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? v : "";
}

std::string Home() {
    const std::string home = Env("HOME");
    return home.empty() ? "/" : home;
}

// The value user-dirs.dirs gives a name, with $HOME expanded; empty when the file does not set it.
// The file is shell syntax of one form: XDG_MUSIC_DIR="$HOME/Music" or an absolute path.
std::string FromUserDirsFile(const std::string& variable) {
    std::string config = Env("XDG_CONFIG_HOME");
    if (config.empty()) config = Home() + "/.config";
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line, found;
    while (std::getline(in, line)) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        if (line.compare(start, variable.size() + 1, variable + "=") != 0) continue;
        std::string value = line.substr(start + variable.size() + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) value = Home() + value.substr(5);
        found = value; // the last assignment wins, as when the shell sources the file
    }
    return found;
}

std::string XdgUserDir(const char* name) {
    const std::string variable = std::string("XDG_") + name + "_DIR";
    std::string path = FromUserDirsFile(variable);
    if (path.empty()) path = Env(variable.c_str());
    if (path.empty()) path = std::strcmp(name, "DESKTOP") == 0 ? Home() + "/Desktop" : Home();
    return path;
}

std::string XdgBase(const char* variable, const char* fallback) {
    const std::string v = Env(variable);
    return v.empty() ? Home() + fallback : v;
}

// CSIDL numbers (the shell's values).
std::string FolderOf(int csidl) {
    switch (csidl) {
    case 0x0000: // desktop
    case 0x0010: // desktop directory
    case 0x0019: return XdgUserDir("DESKTOP"); // common desktop directory
    case 0x0005: // personal, my documents
    case 0x002E: return XdgUserDir("DOCUMENTS"); // common documents
    case 0x000D:
    case 0x0035: return XdgUserDir("MUSIC");
    case 0x0027:
    case 0x0036: return XdgUserDir("PICTURES");
    case 0x000E:
    case 0x0037: return XdgUserDir("VIDEOS");
    case 0x0015:
    case 0x002D: return XdgUserDir("TEMPLATES");
    case 0x0028: return Home(); // profile
    case 0x001A: return XdgBase("XDG_CONFIG_HOME", "/.config");           // application data
    case 0x001C: return XdgBase("XDG_DATA_HOME", "/.local/share");        // local application data
    case 0x0020: return XdgBase("XDG_CACHE_HOME", "/.cache");             // internet cache
    case 0x0014: return XdgBase("XDG_DATA_HOME", "/.local/share") + "/fonts";
    case 0x0023: return "/usr/share";                                     // common application data
    case 0x0026: case 0x002A: return "/usr";                              // program files
    case 0x002B: case 0x002C: return "/usr/lib";                          // common program files
    case 0x0024: case 0x0025: case 0x0029: return "/usr/bin";             // windows, system
    default: return {};
    }
}

} // namespace

extern "C" {

DWORD WINAPI TwUserFolderPath(int csidl, LPWSTR buffer, DWORD size) {
    const std::string folder = FolderOf(csidl);
    if (folder.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    const std::u16string path = winkernel::WidePath(folder);
    if (!buffer || size < path.size() + 1) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return DWORD(path.size() + 1);
    }
    std::memcpy(buffer, path.c_str(), (path.size() + 1) * sizeof(char16_t));
    return DWORD(path.size());
}

} // extern "C"
