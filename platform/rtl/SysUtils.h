// rtl/SysUtils.h: the class library's string, conversion and formatting routines with its semantics:
// 1-based positions, ASCII-only UpperCase/LowerCase, locale-aware Ansi* routines, Format, FormatFloat and
// the number parsers driven by the global FormatSettings.
// Date and time routines (EncodeDate, Now, FormatDateTime, DateTimeToStr…) are in rtl/DateUtils.h, which
// this header includes at its end; rounding and clamping are in rtl/Math.h; LeftStr/PosEx… in rtl/StrUtils.h.
#pragma once
#include "rtl/System.h"

#include <QLocale>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <type_traits>
#include <vector>

namespace rtl {

inline const String sLineBreak = QStringLiteral("\r\n");

// ---- 1-based string primitives ----------------------------------------------------------------------

// Length in UTF-16 units.
inline int Length(const String& S) {
    return static_cast<int>(S.size());
}
// Position (from 1) of the first SubStr in S; 0 when absent or SubStr is empty.
int Pos(const String& SubStr, const String& S);
int Pos(Char C, const String& S);
// Position of SubStr at or after Offset (1-based); 0 when absent, Offset < 1 or Offset > Length(S).
int PosEx(const String& SubStr, const String& S, int Offset = 1);
// Count units from Index (1-based); Index < 1 is taken as 1, past the end gives "", Count is clipped.
String Copy(const String& S, int Index, int Count);
String Copy(const String& S, int Index); // to the end
// Removes Count units from Index (1-based); out-of-range indexes change nothing.
void Delete(String& S, int Index, int Count);
// Inserts Source before Index (1-based); Index < 1 inserts at the front, past the end appends.
void Insert(const String& Source, String& S, int Index);
String StringOfChar(Char Ch, int Count);  // Count <= 0 gives ""
void SetLength(String& S, int NewLength); // new units are #0

// ---- case, trimming, comparison -------------------------------------------------------------------

String UpperCase(const String& S);     // only a..z change
String LowerCase(const String& S);     // only A..Z change
String AnsiUpperCase(const String& S); // Unicode case rules
String AnsiLowerCase(const String& S);
Char UpCase(Char C); // ASCII only

String Trim(const String& S); // removes units <= #32 at both ends
String TrimLeft(const String& S);
String TrimRight(const String& S);

// Ordinal comparisons (<0, 0, >0). CompareText/SameText fold only A..Z/a..z.
int CompareStr(const String& S1, const String& S2);
int CompareText(const String& S1, const String& S2);
bool SameStr(const String& S1, const String& S2);
bool SameText(const String& S1, const String& S2);
// Locale-aware comparisons (QString::localeAwareCompare; the ...Text forms compare case-folded texts).
int AnsiCompareStr(const String& S1, const String& S2);
int AnsiCompareText(const String& S1, const String& S2);
bool AnsiSameStr(const String& S1, const String& S2);
bool AnsiSameText(const String& S1, const String& S2); // Unicode case-insensitive equality
inline int WideCompareStr(const String& S1, const String& S2) {
    return AnsiCompareStr(S1, S2);
}
inline int WideCompareText(const String& S1, const String& S2) {
    return AnsiCompareText(S1, S2);
}
inline bool WideSameText(const String& S1, const String& S2) {
    return AnsiSameText(S1, S2);
}

// ---- replace, quote, split helpers ----------------------------------------------------------------

enum TReplaceFlag : uint8_t { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = uint8_t; // rfReplaceAll | rfIgnoreCase
// Replaces the first (or every, with rfReplaceAll) OldPattern; rfIgnoreCase matches with Unicode case
// folding. An empty OldPattern replaces nothing.
String StringReplace(const String& S, const String& OldPattern, const String& NewPattern,
                     TReplaceFlags Flags = 0);

String QuotedStr(const String& S); // 'It''s'
String AnsiQuotedStr(const String& S, Char Quote);
// Removes the quotes of a quoted text and undoubles inner quotes; a text not starting with Quote is
// returned unchanged; a missing closing quote takes the rest.
String AnsiDequotedStr(const String& S, Char Quote);
// Extracts a quoted string starting at Pos (0-based index into S); advances Pos past it.
String AnsiExtractQuotedStr(const String& S, int& Pos, Char Quote);

// True when S[Index] (1-based) is one of Delimiters.
bool IsDelimiter(const String& Delimiters, const String& S, int Index);
// 1-based position of the last unit of S that is in Delimiters; 0 when none.
int LastDelimiter(const String& Delimiters, const String& S);
bool CharInSet(Char C, const String& Set);
bool CharInSet(Char C, std::initializer_list<Char> Set);

// Makes every line break CR LF (lone CR, lone LF, LF CR all count as one break).
String AdjustLineBreaks(const String& S);
// Breaks S into lines of at most MaxCol units at BreakChars, joined with BreakStr; quoted parts and
// existing breaks are kept.
String WrapText(const String& Line, const String& BreakStr, const String& BreakChars, int MaxCol);
String WrapText(const String& Line, int MaxCol = 45);

// ---- format settings -------------------------------------------------------------------------------

struct TFormatSettings {
    String CurrencyString;
    uint8_t CurrencyFormat = 0;
    uint8_t NegCurrFormat = 0;
    Char ThousandSeparator = u',';
    Char DecimalSeparator = u'.';
    uint8_t CurrencyDecimals = 2;
    Char DateSeparator = u'/';
    Char TimeSeparator = u':';
    Char ListSeparator = u',';
    String ShortDateFormat; // class-library letters: "MM/dd/yyyy", "dd.mm.yyyy"
    String LongDateFormat;
    String TimeAMString;
    String TimePMString;
    String ShortTimeFormat; // "hh:nn"
    String LongTimeFormat;  // "hh:nn:ss"
    std::array<String, 12> ShortMonthNames;
    std::array<String, 12> LongMonthNames;
    std::array<String, 7> ShortDayNames; // Sunday first
    std::array<String, 7> LongDayNames;
    uint16_t TwoDigitYearCenturyWindow = 50;

    // The settings of the default locale (SetDefaultFormatLocale; the C locale unless set).
    static TFormatSettings Create();
    static TFormatSettings Create(const QLocale& Locale);
    // Fixed English settings: '.', ',', "MM/dd/yyyy", "hh:nn:ss", AM/PM.
    static TFormatSettings Invariant();
};

// The process-wide settings every routine without a TFormatSettings argument uses.
extern TFormatSettings FormatSettings;
// Sets the default locale and refills FormatSettings from it. The program calls it once at start with
// the process locale; tests call it to pin a '.' or ',' locale. Before any call the default is the C
// locale (TFormatSettings::Invariant()).
void SetDefaultFormatLocale(const QLocale& Locale);
QLocale DefaultFormatLocale();

// What the class library tells about the locale beyond formats: MiddleEast (right-to-left scripts) and
// FarEast (Chinese, Japanese, Korean); set with the default locale.
struct TSysLocale {
    bool FarEast = false;
    bool MiddleEast = false;
};
extern TSysLocale SysLocale;

// ---- Format ----------------------------------------------------------------------------------------

// One argument of Format (the class library's "array of const" element).
class TVarRec {
public:
    enum class TKind : uint8_t { Integer, Int64, UInt64, Extended, String, Char, Pointer, Boolean };

    TVarRec(bool V) : FKind(TKind::Boolean), FInt(V) {}
    TVarRec(char V) : FKind(TKind::Char), FChar(static_cast<unsigned char>(V)) {}
    TVarRec(char16_t V) : FKind(TKind::Char), FChar(V) {}
    TVarRec(QChar V) : FKind(TKind::Char), FChar(V.unicode()) {}
    template <typename T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> &&
                                               !std::is_same_v<T, char> && !std::is_same_v<T, char16_t>,
                                           int> = 0>
    TVarRec(T V) {
        if constexpr (std::is_signed_v<T> && sizeof(T) <= 4) {
            FKind = TKind::Integer;
            FInt = V;
        } else if constexpr (std::is_signed_v<T>) {
            FKind = TKind::Int64;
            FInt = V;
        } else if constexpr (sizeof(T) < 4) {
            FKind = TKind::Integer;
            FInt = V;
        } else if constexpr (sizeof(T) == 4) {
            FKind = TKind::Int64;
            FInt = V;
        } else {
            FKind = TKind::UInt64;
            FInt = static_cast<int64_t>(V);             // the bits; AsUInt64 reads them back
        }
    }
    template <typename T, std::enable_if_t<std::is_enum_v<T>, int> = 0>
    TVarRec(T V) : TVarRec(static_cast<std::underlying_type_t<T>>(V)) {}
    TVarRec(double V) : FKind(TKind::Extended), FFloat(V) {}
    TVarRec(float V) : FKind(TKind::Extended), FFloat(V) {}
    TVarRec(long double V) : FKind(TKind::Extended), FFloat(static_cast<double>(V)) {}
    TVarRec(const String& V) : FKind(TKind::String), FString(V) {}
    TVarRec(QStringView V) : FKind(TKind::String), FString(V.toString()) {}
    TVarRec(const char16_t* V) : FKind(TKind::String), FString(V ? QString::fromUtf16(V) : String()) {}
    TVarRec(const char* V) : FKind(TKind::String), FString(V ? QString::fromUtf8(V) : String()) {}
    TVarRec(std::nullptr_t) : FKind(TKind::Pointer), FPointer(nullptr) {}
    TVarRec(const void* V) : FKind(TKind::Pointer), FPointer(V) {}

    TKind Kind() const { return FKind; }
    int64_t AsInt64() const { return FInt; }
    uint64_t AsUInt64() const { return static_cast<uint64_t>(FInt); }
    double AsExtended() const { return FFloat; }
    const String& AsString() const { return FString; }
    char16_t AsChar() const { return FChar; }
    const void* AsPointer() const { return FPointer; }

private:
    TKind FKind = TKind::Integer;
    union {
        int64_t FInt = 0;
        double FFloat;
        char16_t FChar;
        const void* FPointer;
    };
    String FString;
};

using TVarRecs = std::vector<TVarRec>;

// The class library's Format: %[index:][-][width][.precision]type with types d u x s f e g n m p
// ("*" takes width or precision from the arguments; "%%" is a percent sign).
// - d/u/x take integers (u: the value as unsigned; x: upper-case hexadecimal digits); a precision pads
//   with zeros ("%.3d" of 7 is "007"). A pointer is also accepted for d/u/x and prints its address value.
// - s takes strings, characters and (as the class library does) nothing else; a precision cuts.
// - f e g n m take floating-point values (n: with thousand separators; m: currency).
// - p prints a pointer as 16 upper-case hexadecimal digits.
// A bad specifier, a missing argument or an argument of the wrong kind raises
// EConvertError "Format '<Fmt>' invalid or incompatible with argument".
String Format(const String& Fmt, const TVarRecs& Args);
String Format(const String& Fmt, const TVarRecs& Args, const TFormatSettings& Settings);
inline String Format(const char16_t* Fmt, const TVarRecs& Args) {
    return Format(QString::fromUtf16(Fmt), Args);
}
inline String Format(const char16_t* Fmt, const TVarRecs& Args, const TFormatSettings& Settings) {
    return Format(QString::fromUtf16(Fmt), Args, Settings);
}

// ---- integers ----------------------------------------------------------------------------------------

String IntToStr(int Value);
String IntToStr(long Value); // int64_t
String IntToStr(long long Value);
String IntToStr(unsigned Value);      // Cardinal: unsigned decimal
String IntToStr(unsigned long Value); // uint64_t
String IntToStr(unsigned long long Value);
String UIntToStr(unsigned Value);
String UIntToStr(unsigned long Value);
String UIntToStr(unsigned long long Value);
// Upper-case hexadecimal, at least Digits digits; a negative value prints in two's complement (8 digits
// for 32-bit, 16 digits for 64-bit values).
String IntToHex(int Value, int Digits);
String IntToHex(long Value, int Digits);
String IntToHex(long long Value, int Digits);
String IntToHex(unsigned Value, int Digits);
String IntToHex(unsigned long Value, int Digits);
String IntToHex(unsigned long long Value, int Digits);

// Integer parsing: optional leading blanks, optional sign, then decimal digits, or "$", "0x", "0X" or
// "x" followed by hexadecimal digits; nothing after the digits. The 32-bit forms accept hexadecimal up
// to $FFFFFFFF (as its two's complement). Failure: EConvertError "'<S>' is not a valid integer value".
int StrToInt(const String& S);
int64_t StrToInt64(const String& S);
uint64_t StrToUInt64(const String& S);
bool TryStrToInt(const String& S, int& Value);
bool TryStrToInt64(const String& S, int64_t& Value);
bool TryStrToUInt64(const String& S, uint64_t& Value);
int StrToIntDef(const String& S, int Default);
int64_t StrToInt64Def(const String& S, int64_t Default);
uint64_t StrToUInt64Def(const String& S, uint64_t Default);

// ---- floating point ----------------------------------------------------------------------------------

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Floating-point parsing: optional blanks, sign, digits with the settings' DecimalSeparator, optional
// exponent; "nan", "inf" and thousand separators are rejected. Failure: EConvertError
// "'<S>' is not a valid floating point value".
double StrToFloat(const String& S);
double StrToFloat(const String& S, const TFormatSettings& Settings);
bool TryStrToFloat(const String& S, double& Value);
bool TryStrToFloat(const String& S, double& Value, const TFormatSettings& Settings);
double StrToFloatDef(const String& S, double Default);
double StrToFloatDef(const String& S, double Default, const TFormatSettings& Settings);

// General format, 15 significant digits, no thousand separators ("2.5", "1E20", "1E-5").
String FloatToStr(double Value);
String FloatToStr(double Value, const TFormatSettings& Settings);
// The class library's FloatToStrF: Precision = significant digits, Digits = decimals (ffFixed,
// ffNumber, ffCurrency) or minimum exponent digits (ffExponent, ffGeneral).
String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits);
String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits,
                   const TFormatSettings& Settings);
// Picture formatting: 0 # . , E+ E- e+ e- 'literal' "literal" and up to three ';' sections
// (positive;negative;zero). "." and "," in the picture stand for the settings' separators.
String FormatFloat(const String& Format, double Value);
String FormatFloat(const String& Format, double Value, const TFormatSettings& Settings);

// ---- booleans -----------------------------------------------------------------------------------------

// "True"/"False" in any case, or a number (non-zero = True). Failure: EConvertError
// "'<S>' is not a valid boolean value".
bool StrToBool(const String& S);
bool TryStrToBool(const String& S, bool& Value);
bool StrToBoolDef(const String& S, bool Default);
// UseBoolStrs: "True"/"False"; otherwise "-1"/"0" as the class library does.
String BoolToStr(bool B, bool UseBoolStrs = false);

// ---- GUIDs -----------------------------------------------------------------------------------------------

struct TGUID {
    uint32_t D1 = 0;
    uint16_t D2 = 0;
    uint16_t D3 = 0;
    uint8_t D4[8] = {};
    friend bool operator==(const TGUID&, const TGUID&) = default;
};
TGUID CreateGUID();                     // random (version 4)
String GUIDToString(const TGUID& Guid); // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case
// Accepts exactly that 38-character form (either case); otherwise EConvertError.
TGUID StringToGUID(const String& S);

} // namespace rtl

#include "rtl/DateUtils.h" // IWYU pragma: export (the class library has its date routines in SysUtils)
