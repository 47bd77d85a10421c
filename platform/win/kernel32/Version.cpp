// The version API: finds the RT_VERSION resource of a PE file by walking its headers, section table and
// resource directory with positioned reads, every offset checked against the file's size.
#include "win/kernel32/winver.h"
#include "win/kernel32/Utf8.h"
#include "win/kernel32/winbase.h"
#include "win/kernel32/winres.h"

#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint32_t RtVersion = 16;
constexpr uint32_t MaxVersionResource = 0x100000; // no real version block comes near this

class File {
public:
    explicit File(const std::string& name) : fd_(::open(name.c_str(), O_RDONLY | O_CLOEXEC)) {
        struct stat st {};
        if (fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) size_ = uint64_t(st.st_size);
    }
    ~File() {
        if (fd_ >= 0) ::close(fd_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool ok() const { return fd_ >= 0 && size_ > 0; }
    bool read(uint64_t off, void* buf, uint64_t len) const {
        if (off > size_ || len > size_ - off) return false;
        return ::pread(fd_, buf, len, off_t(off)) == ssize_t(len);
    }
    uint32_t u32(uint64_t off, bool& ok) const {
        uint8_t b[4];
        if (!read(off, b, 4)) {
            ok = false;
            return 0;
        }
        return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    }
    uint16_t u16(uint64_t off, bool& ok) const {
        uint8_t b[2];
        if (!read(off, b, 2)) {
            ok = false;
            return 0;
        }
        return uint16_t(b[0] | b[1] << 8);
    }

private:
    int fd_;
    uint64_t size_ = 0;
};

struct Section {
    uint32_t va, vsize, rawsize, rawptr;
};

std::optional<uint64_t> RvaToOffset(const std::vector<Section>& secs, uint32_t rva) {
    for (const Section& s : secs) {
        uint32_t span = s.vsize ? s.vsize : s.rawsize;
        if (rva >= s.va && rva - s.va < span && rva - s.va < s.rawsize) return uint64_t(s.rawptr) + (rva - s.va);
    }
    return std::nullopt;
}

// The version block's bytes, or nothing with the last error set.
std::optional<std::vector<uint8_t>> ReadVersionResource(LPCWSTR name) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    File f(winkernel::Utf16ToUtf8(reinterpret_cast<const char16_t*>(name), std::char_traits<char16_t>::length(
                                                                      reinterpret_cast<const char16_t*>(name))));
    if (!f.ok()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return std::nullopt;
    }
    bool ok = true;
    auto fail = [](DWORD err) -> std::optional<std::vector<uint8_t>> {
        SetLastError(err);
        return std::nullopt;
    };
    uint32_t peOff = f.u32(60, ok);
    if (!ok || f.u32(peOff, ok) != 0x00004550 || !ok) return fail(ERROR_BAD_FORMAT);
    uint64_t fileHdr = uint64_t(peOff) + 4;
    uint16_t nSections = f.u16(fileHdr + 2, ok);
    uint16_t optSize = f.u16(fileHdr + 16, ok);
    uint64_t opt = fileHdr + 20;
    uint16_t magic = f.u16(opt, ok);
    if (!ok) return fail(ERROR_BAD_FORMAT);
    uint64_t dirs;
    if (magic == 0x10B) dirs = opt + 96;
    else if (magic == 0x20B) dirs = opt + 112;
    else return fail(ERROR_BAD_FORMAT);
    uint32_t nDirs = f.u32(dirs - 4, ok);
    if (!ok || nDirs < 3) return fail(ERROR_RESOURCE_DATA_NOT_FOUND);
    uint32_t resRva = f.u32(dirs + 2 * 8, ok);
    if (!ok || resRva == 0) return fail(ERROR_RESOURCE_DATA_NOT_FOUND);

    std::vector<Section> secs;
    uint64_t table = opt + optSize;
    for (uint16_t i = 0; i < nSections; ++i) {
        uint64_t s = table + uint64_t(i) * 40;
        Section sec{f.u32(s + 12, ok), f.u32(s + 8, ok), f.u32(s + 16, ok), f.u32(s + 20, ok)};
        if (!ok) break; // a short table: keep the sections read
        secs.push_back(sec);
    }
    auto resBase = RvaToOffset(secs, resRva);
    if (!resBase) return fail(ERROR_RESOURCE_DATA_NOT_FOUND);

    // One level of the directory: the entry with Id (or the first entry when Id is 0), as an offset
    // from the resource base with the subdirectory bit kept.
    auto entry = [&](uint32_t dirOff, uint32_t id, bool wantDir) -> std::optional<uint32_t> {
        uint64_t d = *resBase + dirOff;
        uint32_t n = uint32_t(f.u16(d + 12, ok)) + f.u16(d + 14, ok);
        for (uint32_t i = 0; ok && i < n && i < 4096; ++i) {
            uint32_t nameId = f.u32(d + 16 + uint64_t(i) * 8, ok);
            uint32_t target = f.u32(d + 20 + uint64_t(i) * 8, ok);
            if (!ok) break;
            if (id && nameId != id) continue;
            if (bool(target & 0x80000000u) != wantDir) continue;
            return target & 0x7FFFFFFFu;
        }
        return std::nullopt;
    };
    auto typeDir = entry(0, RtVersion, true);
    auto nameDir = typeDir ? entry(*typeDir, 0, true) : std::nullopt;
    auto dataEnt = nameDir ? entry(*nameDir, 0, false) : std::nullopt;
    if (!dataEnt) return fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
    uint32_t dataRva = f.u32(*resBase + *dataEnt, ok);
    uint32_t dataSize = f.u32(*resBase + *dataEnt + 4, ok);
    auto dataOff = ok ? RvaToOffset(secs, dataRva) : std::nullopt;
    if (!dataOff || dataSize < 6 || dataSize > MaxVersionResource) return fail(ERROR_RESOURCE_DATA_NOT_FOUND);
    std::vector<uint8_t> data(dataSize);
    if (!f.read(*dataOff, data.data(), dataSize)) return fail(ERROR_RESOURCE_DATA_NOT_FOUND);
    // The block's own length rules; one longer than the resource is cut to it.
    uint16_t blockLen = uint16_t(data[0] | data[1] << 8);
    if (blockLen < 6) return fail(ERROR_RESOURCE_DATA_NOT_FOUND);
    if (blockLen < data.size()) data.resize(blockLen);
    return data;
}

// A node of the version tree: wLength, wValueLength, wType, key, padding, value, padding, children.
struct Node {
    const uint8_t* base;
    size_t len;           // bytes of the node, clipped to its parent
    const char16_t* key;  // inside the node
    size_t keyLen;
    size_t valueOff;      // from base
    size_t valueBytes;    // clipped to the node
    size_t childrenOff;
    uint16_t valueLength; // as stored
    uint16_t type;
};

size_t Align4(size_t v) { return (v + 3) & ~size_t(3); }

std::optional<Node> ParseNode(const uint8_t* p, size_t avail) {
    if (avail < 6) return std::nullopt;
    Node n{};
    n.base = p;
    size_t len = size_t(p[0] | p[1] << 8);
    if (len < 6) return std::nullopt;
    n.len = len < avail ? len : avail;
    n.valueLength = uint16_t(p[2] | p[3] << 8);
    n.type = uint16_t(p[4] | p[5] << 8);
    size_t k = 6;
    n.key = reinterpret_cast<const char16_t*>(p + 6);
    while (k + 1 < n.len && (p[k] | p[k + 1])) k += 2;
    if (k + 1 >= n.len) return std::nullopt; // unterminated key
    n.keyLen = (k - 6) / 2;
    n.valueOff = Align4(k + 2);
    // Text values count characters; binary ones bytes.
    size_t want = n.type == 1 ? size_t(n.valueLength) * 2 : n.valueLength;
    if (n.valueOff > n.len) n.valueOff = n.len;
    n.valueBytes = want < n.len - n.valueOff ? want : n.len - n.valueOff;
    n.childrenOff = Align4(n.valueOff + n.valueBytes);
    if (n.childrenOff > n.len) n.childrenOff = n.len;
    return n;
}

char16_t Fold(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }

bool KeyIs(const Node& n, const char16_t* s, size_t len) {
    if (n.keyLen != len) return false;
    for (size_t i = 0; i < len; ++i) {
        char16_t c;
        std::memcpy(&c, n.key + i, 2); // keys may sit unaligned in a caller's buffer
        if (Fold(c) != Fold(s[i])) return false;
    }
    return true;
}

} // namespace

extern "C" {

DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR lptstrFilename, LPDWORD lpdwHandle) {
    if (lpdwHandle) *lpdwHandle = 0;
    auto data = ReadVersionResource(lptstrFilename);
    return data ? DWORD(data->size()) : 0;
}

BOOL WINAPI GetFileVersionInfoW(LPCWSTR lptstrFilename, DWORD, DWORD dwLen, LPVOID lpData) {
    if (!lpData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto data = ReadVersionResource(lptstrFilename);
    if (!data) return FALSE;
    size_t n = dwLen < data->size() ? dwLen : data->size();
    std::memcpy(lpData, data->data(), n);
    // The copy stands as a block of at most the size it got: VerQueryValueW knows no other bound, so a
    // root length past the copy (a short buffer, or a resource claiming more than it holds) is cut.
    auto* out = static_cast<uint8_t*>(lpData);
    if (n >= 2 && size_t(out[0] | out[1] << 8) > n) {
        out[0] = uint8_t(n);
        out[1] = uint8_t(n >> 8);
    }
    return TRUE;
}

BOOL WINAPI VerQueryValueW(LPCVOID pBlock, LPCWSTR lpSubBlock, LPVOID* lplpBuffer, PUINT puLen) {
    if (!pBlock || !lpSubBlock || !lplpBuffer) return FALSE;
    const auto* p = static_cast<const uint8_t*>(pBlock);
    auto node = ParseNode(p, size_t(p[0] | p[1] << 8));
    if (!node) return FALSE;
    const char16_t* path = reinterpret_cast<const char16_t*>(lpSubBlock);
    while (true) {
        while (*path == u'\\') ++path;
        if (!*path) break;
        const char16_t* end = path;
        while (*end && *end != u'\\') ++end;
        size_t off = node->childrenOff;
        std::optional<Node> found;
        while (off + 6 <= node->len) {
            auto child = ParseNode(node->base + off, node->len - off);
            if (!child) break;
            if (KeyIs(*child, path, size_t(end - path))) {
                found = child;
                break;
            }
            off = Align4(off + child->len);
        }
        if (!found) return FALSE;
        node = found;
        path = end;
    }
    if (node->valueBytes == 0) return FALSE;
    *lplpBuffer = const_cast<uint8_t*>(node->base + node->valueOff);
    if (puLen) {
        size_t units = node->type == 1 ? node->valueBytes / 2 : node->valueBytes;
        // A text's count includes its terminator; one cut short by its node gets none here.
        *puLen = UINT(units);
    }
    return TRUE;
}

} // extern "C"
