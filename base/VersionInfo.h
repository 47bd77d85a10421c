// base/VersionInfo.h: the version resource of a file (fixed info, translations, string values) through
// the platform's version API.
#pragma once
#include <cstdint>
#include <vector>

#include "rtl/Classes.h"
#include "rtl/System.h"
#include "win/kernel32/winver.h"

namespace base {

using rtl::String;

struct TKwVersionNumber {
    uint16_t V1 = 0, V2 = 0, V3 = 0, V4 = 0; // major, minor, release, build
};

class TKwVersionInfo : public rtl::TComponent {
public:
    explicit TKwVersionInfo(rtl::TComponent* AOwner = nullptr); // reads the program's own file

    const String& FileName() const { return fFileName; }
    // An empty name stands for the program's own executable; the file is read at once (while designing
    // the name is only stored).
    void SetFileName(const String& Value);

    virtual void ClearInfo() { fHaveInfo = false; }
    virtual void ReadVersionInfo();

    bool HaveInfo() const { return fHaveInfo; }
    const VS_FIXEDFILEINFO& FixedFileInfo() const { return fFixedFileInfo; }
    TKwVersionNumber FileVersionNumber() const;
    TKwVersionNumber ProductVersionNumber() const;
    uint32_t FileOS() const { return fFixedFileInfo.dwFileOS; }
    uint32_t FileType() const { return fFixedFileInfo.dwFileType; }
    uint32_t FileSubType() const { return fFixedFileInfo.dwFileSubtype; }
    uint32_t FileFlagsMask() const { return fFixedFileInfo.dwFileFlagsMask; }
    uint32_t FileFlags() const { return fFixedFileInfo.dwFileFlags; }
    int NumTranslations() const { return fNumTranslations; }
    int CurrentTranslation() const { return fHaveInfo ? fCurrentTranslation : -1; }
    void SetCurrentTranslation(int Value);
    uint16_t LanguageCode() const;
    uint16_t CharSetCode() const;
    // The system's name of the language (up to 255 characters); empty without info.
    String Language() const;
    // The code page's name: the Unicode pages by our own texts, the others by the system's, else
    // "<n> (Unknown Code Page)"; empty without info.
    String CharSet() const;

    String GetStringFileInfo(const String& Name) const;
    String Comments() const { return GetStringFileInfo("Comments"); }
    String CompanyName() const { return GetStringFileInfo("CompanyName"); }
    String FileDescription() const { return GetStringFileInfo("FileDescription"); }
    String FileVersion() const { return GetStringFileInfo("FileVersion"); }
    String InternalName() const { return GetStringFileInfo("InternalName"); }
    String LegalCopyright() const { return GetStringFileInfo("LegalCopyright"); }
    String LegalTrademarks() const { return GetStringFileInfo("LegalTrademarks"); }
    String OriginalFileName() const { return GetStringFileInfo("OriginalFileName"); }
    String PrivateBuild() const { return GetStringFileInfo("PrivateBuild"); }
    String ProductName() const { return GetStringFileInfo("ProductName"); }
    String ProductVersion() const { return GetStringFileInfo("ProductVersion"); }
    String SpecialBuild() const { return GetStringFileInfo("SpecialBuild"); }

private:
    String fFileName;
    bool fHaveInfo = false;
    int fNumTranslations = 0;
    int fCurrentTranslation = -1;
    VS_FIXEDFILEINFO fFixedFileInfo{};
    std::vector<uint8_t> fPInfoBuffer;
    std::vector<uint16_t> fPTransBuffer; // language, code page, language, code page…
};

} // namespace base
