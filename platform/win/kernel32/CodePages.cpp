// Code pages, case mapping, collation and the locale's settings.
#include "win/kernel32/winnls.h"
#include "win/kernel32/winbase.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>

namespace {

constexpr UINT Ansi = 1252, Oem = 437, Ascii = 20127, Latin1 = 28591;

// The upper half of code page 437 (the lower half is ASCII and its controls, as without MB_USEGLYPHCHARS).
constexpr char16_t Cp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// 0x80 to 0x9F of code page 1252; the five undefined bytes stand for the C1 controls of their value.
constexpr char16_t Cp1252C1[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// A single-byte page: byte to character, and character to byte (-1 where the page lacks it).
struct SingleByte {
    std::array<char16_t, 256> decode{};
    std::array<bool, 256> valid{};
    std::array<int16_t, 65536> encode{};
    SingleByte(UINT page) {
        encode.fill(-1);
        for (int b = 0; b < 256; ++b) {
            char16_t c = char16_t(b);
            bool ok = true;
            if (page == Ansi && b >= 0x80 && b < 0xA0) c = Cp1252C1[b - 0x80];
            if (page == Oem && b >= 0x80) c = Cp437High[b - 0x80];
            if (page == Ascii && b >= 0x80) ok = false;
            decode[b] = ok ? c : u'?';
            valid[b] = ok;
            if (ok && encode[c] < 0) encode[c] = int16_t(b);
        }
    }
};

const SingleByte* PageTable(UINT page) {
    static const SingleByte ansi(Ansi), oem(Oem), ascii(Ascii), latin1(Latin1);
    switch (page) {
    case Ansi: return &ansi;
    case Oem: return &oem;
    case Ascii: return &ascii;
    case Latin1: return &latin1;
    default: return nullptr;
    }
}

UINT Resolve(UINT page) {
    switch (page) {
    case CP_ACP:
    case CP_THREAD_ACP:
    case CP_MACCP: return Ansi;
    case CP_OEMCP: return Oem;
    default: return page;
    }
}

int Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

// Writes the result into the caller's buffer, or reports the size asked for.
template <typename C>
int Deliver(const std::basic_string<C>& out, C* dest, int destSize) {
    if (destSize == 0) return int(out.size());
    if (size_t(destSize) < out.size()) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(dest, out.data(), out.size() * sizeof(C));
    return int(out.size());
}

// The length of the maximal valid prefix of a UTF-8 sequence starting at s (1 to 4), or 0 when even the
// lead byte is invalid; complete says whether the sequence is whole. Follows Unicode's table of
// well-formed sequences (no overlongs, no surrogates, nothing above U+10FFFF).
int Utf8Sequence(const uint8_t* s, size_t n, uint32_t& cp, bool& complete) {
    const uint8_t b0 = s[0];
    int len;
    uint8_t lo = 0x80, hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) len = 2, cp = b0 & 0x1F;
    else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, cp = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0;
        if (b0 == 0xED) hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, cp = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;
    } else {
        complete = false;
        return 0;
    }
    for (int i = 1; i < len; ++i) {
        if (size_t(i) >= n || s[i] < lo || s[i] > hi) {
            complete = false;
            return i;
        }
        cp = cp << 6 | (s[i] & 0x3F);
        lo = 0x80, hi = 0xBF;
    }
    complete = true;
    return len;
}

// Where a conversion writes: the caller's buffer (or, without one, nowhere: only the count), checked
// against its size, so that no temporary copy of a large text is made.
template <typename C> struct Sink {
    C* out = nullptr;
    size_t capacity = 0;
    size_t count = 0;
    bool overflow = false;
    void Put(C c) {
        if (out) {
            if (count < capacity) out[count] = c;
            else overflow = true;
        }
        ++count;
    }
};

struct StringSink {
    std::u16string text;
    void Put(char16_t c) { text.push_back(c); }
};

template <typename S> bool DecodeUtf8(const uint8_t* s, size_t n, bool strict, S& out) {
    size_t i = 0;
    while (i < n) {
        // Runs of ASCII go through without the sequence check.
        while (i < n && s[i] < 0x80) out.Put(char16_t(s[i++]));
        if (i >= n) break;
        uint32_t cp = 0;
        bool complete = false;
        const int len = Utf8Sequence(s + i, n - i, cp, complete);
        if (!complete) {
            if (strict) return false;
            out.Put(u'\uFFFD');
            i += len ? len : 1;
            continue;
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.Put(char16_t(0xD800 + (cp >> 10)));
            out.Put(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.Put(char16_t(cp));
        }
    }
    return true;
}

bool EncodeUtf8(const char16_t* s, size_t n, bool strict, Sink<char>& out) {
    for (size_t i = 0; i < n; ++i) {
        uint32_t c = s[i];
        if (c < 0x80) {
            out.Put(char(c));
            continue;
        }
        if (c >= 0xD800 && c < 0xE000) {
            if (c < 0xDC00 && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
            } else {
                if (strict) return false;
                c = 0xFFFD;
            }
        }
        if (c < 0x800) {
            out.Put(char(0xC0 | c >> 6));
        } else if (c < 0x10000) {
            out.Put(char(0xE0 | c >> 12));
            out.Put(char(0x80 | ((c >> 6) & 63)));
        } else {
            out.Put(char(0xF0 | c >> 18));
            out.Put(char(0x80 | ((c >> 12) & 63)));
            out.Put(char(0x80 | ((c >> 6) & 63)));
        }
        out.Put(char(0x80 | (c & 63)));
    }
    return true;
}

// The result of a conversion into a sink: its length, or 0 with the error when the buffer was short.
template <typename C> int Finish(const Sink<C>& sink) {
    if (sink.overflow) return Fail(ERROR_INSUFFICIENT_BUFFER);
    return int(sink.count);
}

size_t Length(const char16_t* s, int n) { return n < 0 ? std::char_traits<char16_t>::length(s) + 1 : size_t(n); }

QString Text(const WCHAR* s, int n) {
    return QString::fromUtf16(s, qsizetype(n < 0 ? std::char_traits<char16_t>::length(s) : size_t(n)));
}

} // namespace

extern "C" {

UINT WINAPI GetACP(void) { return Ansi; }
UINT WINAPI GetOEMCP(void) { return Oem; }

BOOL WINAPI IsValidCodePage(UINT page) { return page == CP_UTF8 || PageTable(page) != nullptr; }

BOOL WINAPI GetCPInfo(UINT page, LPCPINFO info) {
    page = Resolve(page);
    if (!info || !IsValidCodePage(page)) return Fail(ERROR_INVALID_PARAMETER);
    std::memset(info, 0, sizeof *info);
    info->MaxCharSize = page == CP_UTF8 ? 4 : 1;
    info->DefaultChar[0] = '?';
    return TRUE;
}

BOOL WINAPI GetCPInfoExW(UINT page, DWORD flags, LPCPINFOEXW info) {
    page = Resolve(page);
    if (!info || flags != 0 || !IsValidCodePage(page)) return Fail(ERROR_INVALID_PARAMETER);
    std::memset(info, 0, sizeof *info);
    info->MaxCharSize = page == CP_UTF8 ? 4 : 1;
    info->DefaultChar[0] = '?';
    info->UnicodeDefaultChar = page == CP_UTF8 ? u'\uFFFD' : u'?';
    info->CodePage = page;
    const char16_t* name = u"";
    switch (page) {
    case Ansi: name = u"1252  (ANSI - Latin I)"; break;
    case Oem: name = u"437   (OEM - United States)"; break;
    case Ascii: name = u"20127 (US-ASCII)"; break;
    case Latin1: name = u"28591 (ISO 8859-1 Latin I)"; break;
    case CP_UTF8: name = u"65001 (UTF-8)"; break;
    }
    std::char_traits<char16_t>::copy(info->CodePageName, name, std::char_traits<char16_t>::length(name) + 1);
    return TRUE;
}

BOOL WINAPI IsDBCSLeadByte(BYTE) { return FALSE; }
BOOL WINAPI IsDBCSLeadByteEx(UINT, BYTE) { return FALSE; }

int WINAPI MultiByteToWideChar(UINT page, DWORD flags, LPCSTR src, int srcSize, LPWSTR dest, int destSize) {
    page = Resolve(page);
    if (!src || srcSize == 0 || srcSize < -1 || destSize < 0 || (destSize > 0 && !dest))
        return Fail(ERROR_INVALID_PARAMETER);
    const auto* bytes = reinterpret_cast<const uint8_t*>(src);
    const size_t n = srcSize < 0 ? std::strlen(src) + 1 : size_t(srcSize);
    const bool strict = flags & MB_ERR_INVALID_CHARS;
    Sink<char16_t> out{destSize ? dest : nullptr, size_t(destSize)};
    if (page == CP_UTF8) {
        if (flags & ~DWORD(MB_ERR_INVALID_CHARS)) return Fail(ERROR_INVALID_FLAGS);
        if (!DecodeUtf8(bytes, n, strict, out)) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    } else if (const SingleByte* table = PageTable(page)) {
        for (size_t i = 0; i < n; ++i) {
            if (strict && !table->valid[bytes[i]]) return Fail(ERROR_NO_UNICODE_TRANSLATION);
            out.Put(table->decode[bytes[i]]);
        }
    } else {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    return Finish(out);
}

int WINAPI WideCharToMultiByte(UINT page, DWORD flags, LPCWSTR src, int srcSize, LPSTR dest, int destSize,
                               LPCSTR defaultChar, LPBOOL usedDefault) {
    page = Resolve(page);
    if (!src || srcSize == 0 || srcSize < -1 || destSize < 0 || (destSize > 0 && !dest))
        return Fail(ERROR_INVALID_PARAMETER);
    const size_t n = Length(src, srcSize);
    Sink<char> out{destSize ? dest : nullptr, size_t(destSize)};
    if (page == CP_UTF8) {
        if (defaultChar || usedDefault) return Fail(ERROR_INVALID_PARAMETER);
        if (!EncodeUtf8(src, n, flags & WC_ERR_INVALID_CHARS, out)) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    } else if (const SingleByte* table = PageTable(page)) {
        const char fallback = defaultChar ? *defaultChar : '?';
        bool used = false;
        for (size_t i = 0; i < n; ++i) {
            const int16_t b = table->encode[src[i]];
            if (b >= 0) {
                out.Put(char(b));
                continue;
            }
            // A surrogate pair is one character: one default character for both halves.
            if (src[i] >= 0xD800 && src[i] < 0xDC00 && i + 1 < n && src[i + 1] >= 0xDC00 && src[i + 1] < 0xE000) ++i;
            out.Put(fallback);
            used = true;
        }
        if (usedDefault) *usedDefault = used;
    } else {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    return Finish(out);
}

BOOL WINAPI CharToOemBuffW(LPCWSTR src, LPSTR dest, DWORD count) {
    if (!src || !dest) return Fail(ERROR_INVALID_PARAMETER);
    if (count == 0) return TRUE;
    return WideCharToMultiByte(Oem, 0, src, int(count), dest, int(count), nullptr, nullptr) != 0;
}

BOOL WINAPI CharToOemW(LPCWSTR src, LPSTR dest) {
    if (!src || !dest) return Fail(ERROR_INVALID_PARAMETER);
    const int n = int(std::char_traits<char16_t>::length(src)) + 1;
    return WideCharToMultiByte(Oem, 0, src, n, dest, n, nullptr, nullptr) != 0;
}

DWORD WINAPI CharUpperBuffW(LPWSTR s, DWORD n) {
    if (!s) return 0;
    // Character by character, so that the length never changes ("ß" stays).
    for (DWORD i = 0; i < n; ++i) s[i] = QChar::toUpper(char16_t(s[i]));
    return n;
}

DWORD WINAPI CharLowerBuffW(LPWSTR s, DWORD n) {
    if (!s) return 0;
    for (DWORD i = 0; i < n; ++i) s[i] = QChar::toLower(char16_t(s[i]));
    return n;
}

LPWSTR WINAPI CharUpperW(LPWSTR s) {
    const auto v = reinterpret_cast<uintptr_t>(s);
    if (v >> 16 == 0) return reinterpret_cast<LPWSTR>(uintptr_t(QChar::toUpper(char16_t(v))));
    CharUpperBuffW(s, DWORD(std::char_traits<char16_t>::length(s)));
    return s;
}

LPWSTR WINAPI CharLowerW(LPWSTR s) {
    const auto v = reinterpret_cast<uintptr_t>(s);
    if (v >> 16 == 0) return reinterpret_cast<LPWSTR>(uintptr_t(QChar::toLower(char16_t(v))));
    CharLowerBuffW(s, DWORD(std::char_traits<char16_t>::length(s)));
    return s;
}

} // extern "C"

// ---- locales -----------------------------------------------------------------------------------------

namespace {

// Windows primary language identifiers by ISO 639-1 code.
struct Language {
    const char* code;
    WORD primary;
};
constexpr Language Languages[] = {
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06}, {"de", 0x07},
    {"el", 0x08}, {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C}, {"he", 0x0D}, {"hu", 0x0E},
    {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12}, {"nl", 0x13}, {"nb", 0x14}, {"nn", 0x14},
    {"no", 0x14}, {"pl", 0x15}, {"pt", 0x16}, {"ro", 0x18}, {"ru", 0x19}, {"hr", 0x1A}, {"sr", 0x1A},
    {"bs", 0x1A}, {"sk", 0x1B}, {"sq", 0x1C}, {"sv", 0x1D}, {"th", 0x1E}, {"tr", 0x1F}, {"ur", 0x20},
    {"id", 0x21}, {"uk", 0x22}, {"be", 0x23}, {"sl", 0x24}, {"et", 0x25}, {"lv", 0x26}, {"lt", 0x27},
    {"fa", 0x29}, {"vi", 0x2A}, {"hy", 0x2B}, {"az", 0x2C}, {"eu", 0x2D}, {"mk", 0x2F}, {"af", 0x36},
    {"ka", 0x37}, {"hi", 0x39}, {"ms", 0x3E}, {"kk", 0x3F}, {"gl", 0x56},
};

LCID LocaleOfEnvironment() {
    const char* value = nullptr;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* v = std::getenv(name); v && *v) {
            value = v;
            break;
        }
    const std::string s = value ? value : "";
    const std::string code = s.substr(0, s.find_first_of("_.@"));
    for (const Language& l : Languages)
        if (code == l.code) return MAKELANGID(l.primary, SUBLANG_DEFAULT);
    return MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT);
}

// Qt's date and time pictures to Windows's: the letters agree but for the AM/PM marker.
QString WindowsPicture(QString format) {
    format.replace(QLatin1String("AP"), QLatin1String("tt"));
    format.replace(QLatin1String("ap"), QLatin1String("tt"));
    format.replace(QLatin1String("A"), QLatin1String("tt"));
    format.replace(QLatin1String("a"), QLatin1String("tt"));
    return format;
}

QString LocaleValue(LCTYPE type) {
    const QLocale l = QLocale::system();
    switch (type & ~DWORD(LOCALE_NOUSEROVERRIDE)) {
    case LOCALE_ILANGUAGE: return QString::number(LANGIDFROMLCID(LocaleOfEnvironment()), 16).rightJustified(4, u'0');
    case LOCALE_SENGLANGUAGE: return QLocale::languageToString(l.language());
    case LOCALE_SLIST: return l.decimalPoint() == QLatin1String(",") ? QStringLiteral(";") : QStringLiteral(",");
    case LOCALE_SDECIMAL: return l.decimalPoint();
    case LOCALE_STHOUSAND: return l.groupSeparator();
    case LOCALE_SCURRENCY: return l.currencySymbol();
    case LOCALE_SDATE: {
        const QString f = l.dateFormat(QLocale::ShortFormat);
        for (QChar c : f)
            if (!c.isLetter()) return QString(c);
        return QStringLiteral("/");
    }
    case LOCALE_STIME: return QStringLiteral(":");
    case LOCALE_SSHORTDATE: return WindowsPicture(l.dateFormat(QLocale::ShortFormat));
    case LOCALE_SLONGDATE: return WindowsPicture(l.dateFormat(QLocale::LongFormat));
    case LOCALE_STIMEFORMAT: return WindowsPicture(l.timeFormat(QLocale::LongFormat).remove(QLatin1String(" t")));
    case LOCALE_S1159: return l.amText();
    case LOCALE_S2359: return l.pmText();
    case LOCALE_IDEFAULTANSICODEPAGE: return QStringLiteral("1252");
    case LOCALE_IDEFAULTCODEPAGE: return QStringLiteral("437");
    default: return QString();
    }
}

// The one collation: Unicode's root order, with and without case.
QCollator& Collator(bool ignoreCase) {
    thread_local QCollator exact = [] {
        QCollator c(QLocale(QLocale::English, QLocale::UnitedStates));
        c.setCaseSensitivity(Qt::CaseSensitive);
        return c;
    }();
    thread_local QCollator folded = [] {
        QCollator c(QLocale(QLocale::English, QLocale::UnitedStates));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return ignoreCase ? folded : exact;
}

std::u16string QuotedArgument(const std::u16string& arg) {
    if (!arg.empty() && arg.find_first_of(u" \t\"") == std::u16string::npos) return arg;
    std::u16string out = u"\"";
    size_t slashes = 0;
    for (char16_t c : arg) {
        if (c == u'\\') {
            ++slashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        out.append(c == u'"' ? slashes * 2 + 1 : slashes, u'\\');
        slashes = 0;
        out.push_back(c);
    }
    out.append(slashes * 2, u'\\'); // before the closing quote
    out.push_back(u'"');
    return out;
}

} // namespace

extern "C" {

LCID WINAPI GetThreadLocale(void) { return LocaleOfEnvironment(); }
LCID WINAPI GetUserDefaultLCID(void) { return LocaleOfEnvironment(); }
LANGID WINAPI GetUserDefaultUILanguage(void) { return LANGIDFROMLCID(LocaleOfEnvironment()); }

int WINAPI GetLocaleInfoW(LCID, LCTYPE type, LPWSTR data, int size) {
    if (size < 0 || (size > 0 && !data)) return Fail(ERROR_INVALID_PARAMETER);
    const QString value = LocaleValue(type & ~DWORD(LOCALE_RETURN_NUMBER));
    if (value.isEmpty()) return Fail(ERROR_INVALID_FLAGS);
    std::u16string out(reinterpret_cast<const char16_t*>(value.utf16()), size_t(value.size()));
    out.push_back(u'\0');
    return Deliver(out, reinterpret_cast<char16_t*>(data), size);
}

int WINAPI CompareStringW(LCID, DWORD flags, PCWSTR a, int na, PCWSTR b, int nb) {
    if (!a || !b || na < -1 || nb < -1) return Fail(ERROR_INVALID_PARAMETER);
    const int r = Collator(flags & (NORM_IGNORECASE | LINGUISTIC_IGNORECASE)).compare(Text(a, na), Text(b, nb));
    return r < 0 ? CSTR_LESS_THAN : r > 0 ? CSTR_GREATER_THAN : CSTR_EQUAL;
}

int WINAPI LCMapStringW(LCID, DWORD flags, LPCWSTR src, int srcSize, LPWSTR dest, int destSize) {
    const DWORD mapping = flags & (LCMAP_UPPERCASE | LCMAP_LOWERCASE);
    if (!src || srcSize == 0 || srcSize < -1 || destSize < 0 || (destSize > 0 && !dest) ||
        mapping == (LCMAP_UPPERCASE | LCMAP_LOWERCASE))
        return Fail(ERROR_INVALID_PARAMETER);
    if (flags & ~DWORD(LCMAP_UPPERCASE | LCMAP_LOWERCASE)) return Fail(ERROR_INVALID_FLAGS);
    std::u16string out(src, Length(src, srcSize));
    if (mapping == LCMAP_UPPERCASE) CharUpperBuffW(out.data(), DWORD(out.size()));
    if (mapping == LCMAP_LOWERCASE) CharLowerBuffW(out.data(), DWORD(out.size()));
    return Deliver(out, dest, destSize);
}

DWORD WINAPI VerLanguageNameW(DWORD lang, LPWSTR out, DWORD size) {
    QString name = QStringLiteral("Language Neutral");
    for (const Language& l : Languages)
        if (l.primary == PRIMARYLANGID(lang) && PRIMARYLANGID(lang) != LANG_NEUTRAL) {
            const QLocale locale(QString::fromLatin1(l.code));
            name = QLocale::languageToString(locale.language()) + QStringLiteral(" (") +
                   QLocale::territoryToString(locale.territory()) + u')';
            break;
        }
    if (!out || size == 0) return DWORD(name.size());
    const DWORD n = std::min<DWORD>(DWORD(name.size()), size - 1);
    std::memcpy(out, name.utf16(), n * sizeof(char16_t));
    out[n] = 0;
    return n;
}

LPWSTR WINAPI GetCommandLineW(void) {
    static std::u16string line = [] {
        std::ifstream in("/proc/self/cmdline", std::ios::binary);
        const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::u16string joined;
        size_t start = 0;
        while (start < raw.size()) {
            size_t end = raw.find('\0', start);
            if (end == std::string::npos) end = raw.size();
            StringSink arg;
            DecodeUtf8(reinterpret_cast<const uint8_t*>(raw.data() + start), end - start, false, arg);
            if (!joined.empty()) joined.push_back(u' ');
            joined += QuotedArgument(arg.text);
            start = end + 1;
        }
        return joined;
    }();
    return line.data();
}

} // extern "C"
