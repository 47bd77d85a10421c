#include "rtl/Encoding.h"

#include <QChar>
#include <algorithm>
#include <array>

namespace rtl {

namespace {

// Windows-1252 bytes 0x80-0x9F; the five bytes the code page leaves undefined map to the C1 control
// of the same number, as Windows decodes them.
constexpr std::array<char16_t, 32> kHigh1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t Decode1252(uint8_t b) {
    return (b >= 0x80 && b <= 0x9F) ? kHigh1252[b - 0x80] : char16_t(b);
}

// Returns the byte for a character, or -1 when 1252 has none.
int Encode1252(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh1252[i] == c) return 0x80 + i;
    return -1;
}

int EncodeAscii(char16_t c) { return c < 0x80 ? int(c) : -1; }

// Best fit as the system does it for the common cases: an accented letter becomes its base letter.
template <typename F> int BestFit(char32_t cp, F encodeOne) {
    const QString decomposition = QChar::decomposition(cp);
    if (!decomposition.isEmpty()) {
        const int b = encodeOne(decomposition.at(0).unicode());
        if (b >= 0) return b;
    }
    return '?';
}

template <typename F> TBytes EncodeSingleByte(const String& S, F encodeOne) {
    TBytes out;
    out.reserve(S.size());
    const char16_t* p = reinterpret_cast<const char16_t*>(S.utf16());
    const qsizetype n = S.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        const int b = encodeOne(c);
        if (b >= 0) {
            out.push_back(uint8_t(b));
            continue;
        }
        char32_t cp = c;
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            cp = QChar::surrogateToUcs4(c, p[i + 1]);
            ++i;
        }
        out.push_back(uint8_t(BestFit(cp, encodeOne)));
    }
    return out;
}

String DecodeUtf16(const uint8_t* Data, size_t Size, bool bigEndian) {
    const size_t units = Size / 2;
    String s(qsizetype(units), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(s.data());
    for (size_t i = 0; i < units; ++i) {
        const uint8_t a = Data[2 * i], b = Data[2 * i + 1];
        out[i] = bigEndian ? char16_t((a << 8) | b) : char16_t((b << 8) | a);
    }
    return s;
}

TBytes EncodeUtf16(const String& S, bool bigEndian) {
    TBytes out(size_t(S.size()) * 2);
    const char16_t* p = reinterpret_cast<const char16_t*>(S.utf16());
    for (qsizetype i = 0; i < S.size(); ++i) {
        const uint8_t hi = uint8_t(p[i] >> 8), lo = uint8_t(p[i] & 0xFF);
        out[2 * i] = bigEndian ? hi : lo;
        out[2 * i + 1] = bigEndian ? lo : hi;
    }
    return out;
}

bool StartsWith(const uint8_t* Data, size_t Size, const TBytes& Prefix) {
    return !Prefix.empty() && Size >= Prefix.size() && std::equal(Prefix.begin(), Prefix.end(), Data);
}

} // namespace

bool IsValidUtf8(const uint8_t* Data, size_t Size) {
    size_t i = 0;
    while (i < Size) {
        const uint8_t b = Data[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        char32_t cp;
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            cp = b & 0x07;
        } else {
            return false;                   // continuation byte, overlong lead or beyond U+10FFFF
        }
        if (Size - i < len) return false;
        for (size_t k = 1; k < len; ++k) {
            const uint8_t c = Data[i + k];
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

// ---- TEncoding --------------------------------------------------------------------------------

String TEncoding::GetString(const TBytes& Bytes) const { return Decode(Bytes.data(), Bytes.size()); }

String TEncoding::GetString(const TBytes& Bytes, size_t Index, size_t Count) const {
    if (Index >= Bytes.size()) return String();
    Count = std::min(Count, Bytes.size() - Index);
    return Decode(Bytes.data() + Index, Count);
}

bool TEncoding::TryGetString(const uint8_t* Data, size_t Size, String& Result) const {
    Result = Decode(Data, Size);
    return true;
}

TEncoding* TEncoding::UTF8() {
    static TUTF8Encoding instance(true);
    return &instance;
}

TEncoding* TEncoding::UTF8NoBOM() {
    static TUTF8Encoding instance(false);
    return &instance;
}

TEncoding* TEncoding::Unicode() {
    static TUnicodeEncoding instance;
    return &instance;
}

TEncoding* TEncoding::BigEndianUnicode() {
    static TBigEndianUnicodeEncoding instance;
    return &instance;
}

TEncoding* TEncoding::ANSI() {
    static TMBCSEncoding instance(CodePageWindows1252);
    return &instance;
}

TEncoding* TEncoding::ASCII() {
    static TMBCSEncoding instance(CodePageUsAscii);
    return &instance;
}

TEncoding* TEncoding::Default() { return ANSI(); }

TEncoding* TEncoding::GetEncoding(int CodePage) {
    switch (CodePage) {
    case CodePageUtf8: return new TUTF8Encoding(true);
    case CodePageUtf16LE: return new TUnicodeEncoding;
    case CodePageUtf16BE: return new TBigEndianUnicodeEncoding;
    case CodePageWindows1252:
    case CodePageUsAscii: return new TMBCSEncoding(CodePage);
    default: return nullptr;
    }
}

bool TEncoding::IsStandardEncoding(const TEncoding* AEncoding) {
    return AEncoding != nullptr &&
           (AEncoding == UTF8() || AEncoding == UTF8NoBOM() || AEncoding == Unicode() ||
            AEncoding == BigEndianUnicode() || AEncoding == ANSI() || AEncoding == ASCII());
}

void TEncoding::FreeEncoding(TEncoding* AEncoding) {
    if (!IsStandardEncoding(AEncoding)) delete AEncoding;
}

int TEncoding::GetBufferEncoding(const TBytes& Buffer, TEncoding*& AEncoding, TEncoding* ADefaultEncoding) {
    return GetBufferEncoding(Buffer.data(), Buffer.size(), AEncoding, ADefaultEncoding);
}

int TEncoding::GetBufferEncoding(const uint8_t* Data, size_t Size, TEncoding*& AEncoding,
                                 TEncoding* ADefaultEncoding) {
    if (AEncoding != nullptr) {
        const TBytes preamble = AEncoding->GetPreamble();
        return StartsWith(Data, Size, preamble) ? int(preamble.size()) : 0;
    }
    for (TEncoding* candidate : {UTF8(), Unicode(), BigEndianUnicode()}) {
        const TBytes preamble = candidate->GetPreamble();
        if (StartsWith(Data, Size, preamble)) {
            AEncoding = candidate;
            return int(preamble.size());
        }
    }
    AEncoding = ADefaultEncoding;
    return 0;
}

TBytes TEncoding::Convert(const TEncoding* Source, const TEncoding* Destination, const TBytes& Bytes) {
    return Destination->GetBytes(Source->GetString(Bytes));
}

TBytes TEncoding::Convert(const TEncoding* Source, const TEncoding* Destination, const TBytes& Bytes,
                          size_t StartIndex, size_t Count) {
    return Destination->GetBytes(Source->GetString(Bytes, StartIndex, Count));
}

// ---- UTF-8 ------------------------------------------------------------------------------------

TBytes TUTF8Encoding::GetBytes(const String& S) const {
    TBytes out;
    out.reserve(size_t(S.size()) * 3);
    const char16_t* p = reinterpret_cast<const char16_t*>(S.utf16());
    const qsizetype n = S.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t cp = p[i];
        if (QChar::isHighSurrogate(p[i])) {
            if (i + 1 >= n || !QChar::isLowSurrogate(p[i + 1])) return {};
            cp = QChar::surrogateToUcs4(p[i], p[i + 1]);
            ++i;
        } else if (QChar::isLowSurrogate(p[i])) {
            return {};
        }
        if (cp < 0x80) {
            out.push_back(uint8_t(cp));
        } else if (cp < 0x800) {
            out.push_back(uint8_t(0xC0 | (cp >> 6)));
            out.push_back(uint8_t(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(uint8_t(0xE0 | (cp >> 12)));
            out.push_back(uint8_t(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(uint8_t(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(uint8_t(0xF0 | (cp >> 18)));
            out.push_back(uint8_t(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(uint8_t(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(uint8_t(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

bool TUTF8Encoding::TryGetString(const uint8_t* Data, size_t Size, String& Result) const {
    if (!IsValidUtf8(Data, Size)) {
        Result.clear();
        return false;
    }
    Result = QString::fromUtf8(reinterpret_cast<const char*>(Data), qsizetype(Size));
    return true;
}

String TUTF8Encoding::Decode(const uint8_t* Data, size_t Size) const {
    String s;
    TryGetString(Data, Size, s);
    return s;
}

TBytes TUTF8Encoding::GetPreamble() const {
    if (!FEmitBOM) return {};
    return {0xEF, 0xBB, 0xBF};
}

String TUTF8Encoding::EncodingName() const { return QStringLiteral("Unicode (UTF-8)"); }

// ---- UTF-16 -----------------------------------------------------------------------------------

TBytes TUnicodeEncoding::GetBytes(const String& S) const { return EncodeUtf16(S, false); }
String TUnicodeEncoding::Decode(const uint8_t* Data, size_t Size) const { return DecodeUtf16(Data, Size, false); }
String TUnicodeEncoding::EncodingName() const { return QStringLiteral("Unicode"); }

TBytes TBigEndianUnicodeEncoding::GetBytes(const String& S) const { return EncodeUtf16(S, true); }
String TBigEndianUnicodeEncoding::Decode(const uint8_t* Data, size_t Size) const {
    return DecodeUtf16(Data, Size, true);
}
String TBigEndianUnicodeEncoding::EncodingName() const { return QStringLiteral("Unicode (Big-Endian)"); }

// ---- single-byte code pages ---------------------------------------------------------------------

TMBCSEncoding::TMBCSEncoding(int ACodePage)
    : FCodePage(ACodePage == CodePageUsAscii ? CodePageUsAscii : CodePageWindows1252) {}

TBytes TMBCSEncoding::GetBytes(const String& S) const {
    if (FCodePage == CodePageUsAscii) return EncodeSingleByte(S, EncodeAscii);
    return EncodeSingleByte(S, Encode1252);
}

bool TMBCSEncoding::TryGetString(const uint8_t* Data, size_t Size, String& Result) const {
    Result = Decode(Data, Size);
    return FCodePage != CodePageUsAscii || std::all_of(Data, Data + Size, [](uint8_t b) { return b < 0x80; });
}

String TMBCSEncoding::Decode(const uint8_t* Data, size_t Size) const {
    String s(qsizetype(Size), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(s.data());
    const bool ascii = FCodePage == CodePageUsAscii;
    for (size_t i = 0; i < Size; ++i)
        out[i] = ascii ? (Data[i] < 0x80 ? char16_t(Data[i]) : u'?') : Decode1252(Data[i]);
    return s;
}

String TMBCSEncoding::EncodingName() const {
    return FCodePage == CodePageUsAscii ? QStringLiteral("US-ASCII") : QStringLiteral("Western European (Windows)");
}

// ---- the rule for undeclared text ---------------------------------------------------------------

TEncoding* DetectTextEncoding(const uint8_t* Data, size_t Size, int& PreambleLength) {
    TEncoding* found = nullptr;
    PreambleLength = TEncoding::GetBufferEncoding(Data, Size, found, nullptr);
    if (found != nullptr) return found;
    const bool ascii = std::all_of(Data, Data + Size, [](uint8_t b) { return b < 0x80; });
    if (!ascii && IsValidUtf8(Data, Size)) return TEncoding::UTF8NoBOM();
    return TEncoding::ANSI();
}

TEncoding* DetectTextEncoding(const TBytes& Bytes, int& PreambleLength) {
    return DetectTextEncoding(Bytes.data(), Bytes.size(), PreambleLength);
}

String DecodeText(const TBytes& Bytes, TEncoding* Encoding, TEncoding** Used) {
    int skip = 0;
    if (Encoding == nullptr) {
        Encoding = DetectTextEncoding(Bytes, skip);
    } else {
        skip = TEncoding::GetBufferEncoding(Bytes, Encoding);
    }
    if (Used != nullptr) *Used = Encoding;
    return Encoding->GetString(Bytes, size_t(skip), Bytes.size() - size_t(skip));
}

} // namespace rtl
