// rtl/Encoding.h: text encodings with the class library's semantics (TEncoding and its standard
// instances), plus the rule this program uses to read text files that carry no declared encoding.
#pragma once
#include "rtl/System.h"

#include <cstddef>
#include <cstdint>

namespace rtl {

// Code page numbers (Windows values).
constexpr int CodePageWindows1252 = 1252;
constexpr int CodePageUtf16LE = 1200;
constexpr int CodePageUtf16BE = 1201;
constexpr int CodePageUsAscii = 20127;
constexpr int CodePageUtf8 = 65001;

class TEncoding {
public:
    virtual ~TEncoding() = default;
    TEncoding(const TEncoding&) = delete;
    TEncoding& operator=(const TEncoding&) = delete;

    // Windows-1252 and ASCII encoding never fails: characters they cannot hold become a best-fit
    // letter (the base letter of an accented one) or "?". UTF-8 is strict: a text holding a lone
    // surrogate gives no bytes at all. UTF-16 copies the units as they are.
    virtual TBytes GetBytes(const String& S) const = 0;
    // Decoding of the whole buffer, or of Count bytes from Index (clamped to the buffer).
    // Windows-1252 maps every byte (the five undefined ones to the C1 controls U+0081, U+008D,
    // U+008F, U+0090, U+009D). UTF-8 is strict: a buffer with any invalid sequence gives an empty
    // text (use TryGetString to tell "empty" from "invalid"). UTF-16 ignores an odd last byte.
    String GetString(const TBytes& Bytes) const;
    String GetString(const TBytes& Bytes, size_t Index, size_t Count) const;
    String GetString(const uint8_t* Data, size_t Size) const { return Decode(Data, Size); }
    // False when the bytes do not decode (only UTF-8 and ASCII can refuse bytes).
    virtual bool TryGetString(const uint8_t* Data, size_t Size, String& Result) const;

    virtual TBytes GetPreamble() const = 0;         // the BOM written before a text (may be empty)
    virtual int CodePage() const = 0;
    virtual String EncodingName() const = 0;
    virtual bool IsSingleByte() const { return false; }
    virtual TEncoding* Clone() const = 0;           // a caller-owned copy (never a standard instance)

    // Standard instances: owned by the library, never freed by callers.
    static TEncoding* UTF8();                       // preamble EF BB BF
    static TEncoding* UTF8NoBOM();                  // same code page, empty preamble
    static TEncoding* Unicode();                    // UTF-16LE, preamble FF FE
    static TEncoding* BigEndianUnicode();           // UTF-16BE, preamble FE FF
    static TEncoding* ANSI();                       // Windows-1252 (the "system ANSI code page")
    static TEncoding* ASCII();                      // 7-bit; other bytes and characters become "?"
    static TEncoding* Default();                    // = ANSI()

    // A new caller-owned encoding for a code page (1252, 1200, 1201, 20127, 65001); nullptr for others.
    static TEncoding* GetEncoding(int CodePage);
    static bool IsStandardEncoding(const TEncoding* AEncoding);
    static void FreeEncoding(TEncoding* AEncoding);  // deletes it unless it is a standard instance

    // With AEncoding == nullptr: finds the UTF-8, UTF-16LE or UTF-16BE BOM at the start of Buffer and
    // sets AEncoding to that standard instance (ADefaultEncoding when there is none); returns the BOM's
    // length (0 when none). With AEncoding set: returns the length of its preamble when Buffer starts
    // with it, else 0.
    static int GetBufferEncoding(const TBytes& Buffer, TEncoding*& AEncoding,
                                 TEncoding* ADefaultEncoding = Default());
    static int GetBufferEncoding(const uint8_t* Data, size_t Size, TEncoding*& AEncoding,
                                 TEncoding* ADefaultEncoding = Default());

    static TBytes Convert(const TEncoding* Source, const TEncoding* Destination, const TBytes& Bytes);
    static TBytes Convert(const TEncoding* Source, const TEncoding* Destination, const TBytes& Bytes,
                          size_t StartIndex, size_t Count);

protected:
    TEncoding() = default;
    virtual String Decode(const uint8_t* Data, size_t Size) const = 0;
};

class TUTF8Encoding : public TEncoding {
public:
    explicit TUTF8Encoding(bool AEmitBOM = true) : FEmitBOM(AEmitBOM) {}
    TBytes GetBytes(const String& S) const override;
    bool TryGetString(const uint8_t* Data, size_t Size, String& Result) const override;
    TBytes GetPreamble() const override;
    int CodePage() const override { return CodePageUtf8; }
    String EncodingName() const override;
    TEncoding* Clone() const override { return new TUTF8Encoding(FEmitBOM); }

protected:
    String Decode(const uint8_t* Data, size_t Size) const override;

private:
    bool FEmitBOM;
};

class TUnicodeEncoding : public TEncoding {
public:
    TBytes GetBytes(const String& S) const override;
    TBytes GetPreamble() const override { return {0xFF, 0xFE}; }
    int CodePage() const override { return CodePageUtf16LE; }
    String EncodingName() const override;
    TEncoding* Clone() const override { return new TUnicodeEncoding; }

protected:
    String Decode(const uint8_t* Data, size_t Size) const override;
};

class TBigEndianUnicodeEncoding : public TUnicodeEncoding {
public:
    TBytes GetBytes(const String& S) const override;
    TBytes GetPreamble() const override { return {0xFE, 0xFF}; }
    int CodePage() const override { return CodePageUtf16BE; }
    String EncodingName() const override;
    TEncoding* Clone() const override { return new TBigEndianUnicodeEncoding; }

protected:
    String Decode(const uint8_t* Data, size_t Size) const override;
};

// Windows-1252 ("ANSI") or US-ASCII.
class TMBCSEncoding : public TEncoding {
public:
    explicit TMBCSEncoding(int ACodePage = CodePageWindows1252);
    TBytes GetBytes(const String& S) const override;
    bool TryGetString(const uint8_t* Data, size_t Size, String& Result) const override;
    TBytes GetPreamble() const override { return {}; }
    int CodePage() const override { return FCodePage; }
    String EncodingName() const override;
    bool IsSingleByte() const override { return true; }
    TEncoding* Clone() const override { return new TMBCSEncoding(FCodePage); }

protected:
    String Decode(const uint8_t* Data, size_t Size) const override;

private:
    int FCodePage;
};

// The rule for text files read without a declared encoding: a BOM decides; without one, UTF-8 when
// the bytes are valid UTF-8 and hold at least one non-ASCII byte (UTF8NoBOM(), so a rewrite keeps the
// file BOM-less), otherwise ANSI (Windows-1252; pure ASCII reads the same either way).
// PreambleLength receives the length of the BOM found (0 when none). Returns a standard instance.
TEncoding* DetectTextEncoding(const uint8_t* Data, size_t Size, int& PreambleLength);
TEncoding* DetectTextEncoding(const TBytes& Bytes, int& PreambleLength);

// Decodes a whole text file's bytes. With Encoding given, its preamble is skipped when present;
// without one, DetectTextEncoding decides. Used (if not null) receives the encoding applied.
String DecodeText(const TBytes& Bytes, TEncoding* Encoding = nullptr, TEncoding** Used = nullptr);

bool IsValidUtf8(const uint8_t* Data, size_t Size);

} // namespace rtl
