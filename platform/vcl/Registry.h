// vcl/Registry.h: the class library's registry classes over the stand-in's key store.
#pragma once
#include "rtl/Classes.h"
#include "rtl/SysUtils.h"
#include "rtl/System.h"
#include "win/advapi32/winreg.h"

namespace vcl {

// A value read with the wrong type, or a write that failed.
class ERegistryException : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    rtl::String ClassName() const override { return QStringLiteral("ERegistryException"); }
};

class TRegistry : public rtl::TObject {
public:
    explicit TRegistry(REGSAM AAccess = KEY_ALL_ACCESS);
    ~TRegistry() override;

    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY Value);   // closes the current key
    HKEY CurrentKey() const { return FCurrentKey; }
    rtl::String CurrentPath() const { return FCurrentPath; }

    // A key relative to the current one, or absolute when it starts with '\'. False when it is
    // missing (and CanCreate is false).
    bool OpenKey(const rtl::String& Key, bool CanCreate);
    bool OpenKeyReadOnly(const rtl::String& Key);
    void CloseKey();
    bool KeyExists(const rtl::String& Key);
    bool ValueExists(const rtl::String& Name);
    bool DeleteValue(const rtl::String& Name);

    // A missing value reads as empty text; a value of another type raises ERegistryException
    // "Invalid data type for '%s'".
    rtl::String ReadString(const rtl::String& Name);
    int ReadInteger(const rtl::String& Name);   // raises when the value is missing or not a number
    bool ReadBool(const rtl::String& Name) { return ReadInteger(Name) != 0; }
    void WriteString(const rtl::String& Name, const rtl::String& Value);
    void WriteInteger(const rtl::String& Name, int Value);
    void WriteBool(const rtl::String& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

private:
    HKEY BaseFor(const rtl::String& Key, rtl::String& Relative) const;
    bool Query(const rtl::String& Name, DWORD& Type, rtl::TBytes& Data);

    REGSAM FAccess;
    HKEY FRootKey = HKEY_CURRENT_USER;
    HKEY FCurrentKey = nullptr;
    rtl::String FCurrentPath;
};

// An INI file's shape over a registry key: sections are subkeys, idents are values. Reads never
// raise; a missing or unreadable value gives the default.
class TRegIniFile : public TRegistry {
public:
    explicit TRegIniFile(const rtl::String& FileName);
    explicit TRegIniFile(const rtl::String& FileName, REGSAM AAccess);

    rtl::String FileName() const { return FFileName; }
    rtl::String ReadString(const rtl::String& Section, const rtl::String& Ident, const rtl::String& Default);
    int ReadInteger(const rtl::String& Section, const rtl::String& Ident, int Default);
    bool ReadBool(const rtl::String& Section, const rtl::String& Ident, bool Default);
    void WriteString(const rtl::String& Section, const rtl::String& Ident, const rtl::String& Value);
    void WriteInteger(const rtl::String& Section, const rtl::String& Ident, int Value);
    void WriteBool(const rtl::String& Section, const rtl::String& Ident, bool Value);

private:
    // Opens Section below the file's key for the duration of one call; false when it is missing.
    bool EnterSection(const rtl::String& Section, bool CanCreate);

    rtl::String FFileName;
};

} // namespace vcl
