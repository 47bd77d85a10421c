// base/MemIniFile.h: the program's settings-file class. The whole INI file is kept in memory and written
// back on request (or when the object goes, with UpdateOnExit). On top of the store it adds a current
// section for the short overloads, "bound" strings that keep their outer spaces, and whole string lists
// in one section, line by line ("Line_001"…) or zlib-compressed as hexadecimal ("CBUF_001"…).
#pragma once
#include <memory>

#include "rtl/IniFiles.h"

namespace base {

using rtl::String;

class TKwpMemIniFile {
public:
    explicit TKwpMemIniFile(const String& AFileName);
    TKwpMemIniFile(const String& AFileName, rtl::TEncoding* AEncoding);
    // Loads AFileName (a missing file is an empty INI); file errors raise the run-time library's errors.
    TKwpMemIniFile(const String& AFileName, rtl::TEncoding* AEncoding, bool AUpdateOnExit);
    // With UpdateOnExit the file is written first; an error of that write cannot leave a destructor and
    // is dropped, so callers that must know call UpdateFile themselves.
    ~TKwpMemIniFile();
    TKwpMemIniFile(const TKwpMemIniFile&) = delete;
    TKwpMemIniFile& operator=(const TKwpMemIniFile&) = delete;

    void UpdateFile();

    const String& FileName() const { return FFileName; }
    bool UpdateOnExit() const { return FUpdateOnExit; }
    void SetUpdateOnExit(bool Value) { FUpdateOnExit = Value; }
    const String& LeftStringBound() const { return FLeftStringBound; }
    void SetLeftStringBound(const String& Value) { FLeftStringBound = Value; }
    const String& RightStringBound() const { return FRightStringBound; }
    void SetRightStringBound(const String& Value) { FRightStringBound = Value; }
    // "MAIN" when the stored name is blank (and then stored).
    String CurrentSection();
    void SetCurrentSection(const String& Value) { FCurrentSection = Value; }
    bool CaseSensitive() const;
    void SetCaseSensitive(bool Value);
    rtl::TEncoding* Encoding() const;
    void SetEncoding(rtl::TEncoding* Value);

    void WriteString(const String& Section, const String& Ident, const String& Value);
    void WriteString(const String& Ident, const String& Value);
    String ReadString(const String& Section, const String& Ident, const String& Default);
    String ReadString(const String& Ident, const String& Default);
    void WriteBool(const String& Section, const String& Ident, bool Value);
    void WriteBool(const String& Ident, bool Value);
    bool ReadBool(const String& Section, const String& Ident, bool Default);
    bool ReadBool(const String& Ident, bool Default);
    void WriteInteger(const String& Section, const String& Ident, int Value);
    void WriteInteger(const String& Ident, int Value);
    int ReadInteger(const String& Section, const String& Ident, int Default);
    int ReadInteger(const String& Ident, int Default);

    bool ValueExists(const String& Section, const String& Ident);
    void ReadSection(const String& Section, rtl::TStrings* Strings);
    void ReadSectionKeyNames(const String& Section, rtl::TStrings* Strings);
    // LeftStringBound + Value + RightStringBound, so outer spaces survive the loader's trimming.
    void WriteBoundString(const String& Section, const String& Ident, const String& Value);
    // Replaces the section by Items: bound "Line_NNN" keys (at most MaxItemsCount when >= 1), or with
    // Compress the zlib stream of the lines in "CBUF_NNN" keys of 64 bytes each as hexadecimal.
    void WriteStrings(const String& Section, rtl::TStrings* Items, int MaxItemsCount, bool Compress);
    // Items untouched when the section does not exist. Compressed data that does not inflate raises
    // rtl::EZDecompressionError with Items empty.
    void ReadStrings(const String& Section, rtl::TStrings* Items, bool ItemsCompressed);

private:
    class TStore;

    std::unique_ptr<TStore> FIni;
    bool FUpdateOnExit = false;
    String FLeftStringBound;
    String FRightStringBound;
    String FCurrentSection;
    String FFileName;
    rtl::Char FDateSeparator = u'-';
    rtl::Char FTimeSeparator = u':';
    rtl::Char FDateToTimeSeparator = u' ';
};

} // namespace base
