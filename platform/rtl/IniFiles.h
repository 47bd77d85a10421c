// rtl/IniFiles.h: the class library's INI classes: TCustomIniFile (typed reads and writes over strings),
// TMemIniFile (the whole file in memory, written back by UpdateFile) and TIniFile (the file is read
// and written on every call).
#pragma once
#include "rtl/Classes.h"
#include "rtl/Encoding.h"
#include "rtl/System.h"

#include <vector>

namespace rtl {

class TCustomIniFile : public TObject {
public:
    explicit TCustomIniFile(const String& AFileName) : FFileName(AFileName) {}
    const String& FileName() const { return FFileName; }

    virtual String ReadString(const String& Section, const String& Ident, const String& Default) = 0;
    virtual void WriteString(const String& Section, const String& Ident, const String& Value) = 0;
    // A value longer than two characters that begins with "0x" (any case) is hexadecimal; otherwise
    // StrToInt's rules ("$" hexadecimal too); a missing key or bad text gives Default.
    virtual int ReadInteger(const String& Section, const String& Ident, int Default);
    virtual void WriteInteger(const String& Section, const String& Ident, int Value);
    virtual bool ReadBool(const String& Section, const String& Ident, bool Default);   // any non-zero = true
    virtual void WriteBool(const String& Section, const String& Ident, bool Value);    // "1" / "0"
    // Floats, dates and times as text in the global FormatSettings; bad text gives Default.
    virtual double ReadFloat(const String& Section, const String& Name, double Default);
    virtual void WriteFloat(const String& Section, const String& Name, double Value);
    virtual TDateTime ReadDate(const String& Section, const String& Name, TDateTime Default);
    virtual void WriteDate(const String& Section, const String& Name, TDateTime Value);
    virtual TDateTime ReadDateTime(const String& Section, const String& Name, TDateTime Default);
    virtual void WriteDateTime(const String& Section, const String& Name, TDateTime Value);
    virtual TDateTime ReadTime(const String& Section, const String& Name, TDateTime Default);
    virtual void WriteTime(const String& Section, const String& Name, TDateTime Value);

    virtual void ReadSection(const String& Section, TStrings* Strings) = 0;          // key names; cleared first
    virtual void ReadSections(TStrings* Strings) = 0;                               // file order; cleared first
    virtual void ReadSectionValues(const String& Section, TStrings* Strings) = 0;    // "key=value"; cleared first
    virtual void EraseSection(const String& Section) = 0;
    virtual void DeleteKey(const String& Section, const String& Ident) = 0;
    virtual void UpdateFile() = 0;
    // A section exists when it holds at least one key (as the class library decides).
    virtual bool SectionExists(const String& Section);
    virtual bool ValueExists(const String& Section, const String& Ident);

protected:
    String FFileName;
};

// The store: sections and keys in file order. Loading (constructor, Rename with Reload): the file
// read whole in the given encoding (its BOM skipped), or without one by its BOM, else UTF-8 when the
// bytes are valid UTF-8, else Windows-1252; the encoding found is kept for writing. Lines end at CR,
// LF or CR LF and are trimmed; empty lines, ';' lines and lines before the first section are dropped;
// "[name]" opens or continues a section; "key=value" splits at the first '=' (a line without one is a
// key with an empty value). Lookups ignore case by the locale's rules unless CaseSensitive is set.
// Duplicate keys are kept; reads and writes use the first one.
class TMemIniFile : public TCustomIniFile {
public:
    explicit TMemIniFile(const String& AFileName);
    TMemIniFile(const String& AFileName, TEncoding* AEncoding);
    TMemIniFile(const String& AFileName, TEncoding* AEncoding, bool CaseSensitive);

    String ReadString(const String& Section, const String& Ident, const String& Default) override;
    // Replaces the value in place, or appends the key to its section; a new section goes last.
    void WriteString(const String& Section, const String& Ident, const String& Value) override;
    void ReadSection(const String& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const String& Section, TStrings* Strings) override;
    void EraseSection(const String& Section) override;
    void DeleteKey(const String& Section, const String& Ident) override;
    bool ValueExists(const String& Section, const String& Ident) override;
    // Writes every section as "[name]", its "key=value" lines and one empty line, each line ended by
    // CR LF, in the encoding (after its BOM), or in Windows-1252 without a BOM when there is none.
    // The file is replaced through a temporary file in its folder; EFCreateError on failure (the old
    // file then stays as it was).
    void UpdateFile() override;

    void Clear();
    void GetStrings(TStrings* List);            // the text UpdateFile would write, line by line
    void SetStrings(TStrings* List);            // replaces the store by parsing these lines
    void Rename(const String& FileName, bool Reload);

    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
    TEncoding* Encoding() const { return FEncoding; }   // nullptr: Windows-1252 without a BOM on writing
    void SetEncoding(TEncoding* Value) { FEncoding = Value; }

protected:
    struct TKey {
        String Name;
        String Value;
    };
    struct TSection {
        String Name;
        std::vector<TKey> Keys;
    };

    void LoadValues();
    void ParseLines(const std::vector<String>& Lines);
    TSection* FindSection(const String& Name);
    TKey* FindKey(TSection& Section, const String& Name);
    bool SameName(const String& A, const String& B) const;
    String TextToWrite() const;

    std::vector<TSection> FSections;
    TEncoding* FEncoding = nullptr;
    bool FCaseSensitive = false;
};

// Reads the file before every read and writes it after every change, so other writers' changes are
// seen. Same file format and encoding rules as TMemIniFile (the encoding found is kept on writing).
class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(const String& AFileName);

    String ReadString(const String& Section, const String& Ident, const String& Default) override;
    void WriteString(const String& Section, const String& Ident, const String& Value) override;
    void ReadSection(const String& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const String& Section, TStrings* Strings) override;
    void EraseSection(const String& Section) override;
    void DeleteKey(const String& Section, const String& Ident) override;
    bool ValueExists(const String& Section, const String& Ident) override;
    void UpdateFile() override {}               // every change is already written

private:
    TMemIniFile& Fresh();                       // the file as it is now
    TMemIniFile FStore;
};

} // namespace rtl
