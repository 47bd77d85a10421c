// platform/win/kernel32/Utf8.h: UTF-16 text of the API to the UTF-8 bytes of POSIX calls.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace winkernel {

// An unpaired surrogate is encoded as it stands (three bytes) rather than replaced: file names are
// byte strings here, and a name that decodes to a lone surrogate must encode back to the same bytes.
inline std::string Utf16ToUtf8(const char16_t* s, size_t n) {
    std::string out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += {char(0xC0 | c >> 6), char(0x80 | (c & 63))};
        } else if (c < 0x10000) {
            out += {char(0xE0 | c >> 12), char(0x80 | ((c >> 6) & 63)), char(0x80 | (c & 63))};
        } else {
            out += {char(0xF0 | c >> 18), char(0x80 | ((c >> 12) & 63)), char(0x80 | ((c >> 6) & 63)),
                    char(0x80 | (c & 63))};
        }
    }
    return out;
}

inline std::string Utf16ToUtf8(const std::u16string& s) { return Utf16ToUtf8(s.data(), s.size()); }

} // namespace winkernel
