// vcl/Registry.cpp
#include "vcl/Registry.h"

#include <cstring>

namespace vcl {

namespace {

const char16_t* W(const rtl::String& S) { return reinterpret_cast<const char16_t*>(S.utf16()); }

[[noreturn]] void InvalidType(const rtl::String& Name) {
    throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(Name));
}

} // namespace

TRegistry::TRegistry(REGSAM AAccess) : FAccess(AAccess) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY Value) {
    if (Value == FRootKey) return;
    CloseKey();
    FRootKey = Value;
}

void TRegistry::CloseKey() {
    if (FCurrentKey) RegCloseKey(FCurrentKey);
    FCurrentKey = nullptr;
    FCurrentPath.clear();
}

HKEY TRegistry::BaseFor(const rtl::String& Key, rtl::String& Relative) const {
    const bool Absolute = Key.startsWith(u'\\');
    Relative = Absolute ? Key.mid(1) : Key;
    return Absolute || !FCurrentKey ? FRootKey : FCurrentKey;
}

bool TRegistry::OpenKey(const rtl::String& Key, bool CanCreate) {
    rtl::String Relative;
    const HKEY Base = BaseFor(Key, Relative);
    HKEY Result = nullptr;
    const LSTATUS R = CanCreate ? RegCreateKeyExW(Base, W(Relative), 0, nullptr, 0, FAccess, nullptr, &Result, nullptr)
                                : RegOpenKeyExW(Base, W(Relative), 0, FAccess, &Result);
    if (R != ERROR_SUCCESS) return false;
    const rtl::String Path = Base == FRootKey ? Relative : FCurrentPath + u'\\' + Relative;
    CloseKey();
    FCurrentKey = Result;
    FCurrentPath = Path;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const rtl::String& Key) {
    const REGSAM Saved = FAccess;
    FAccess = KEY_READ;
    const bool Ok = OpenKey(Key, false);
    FAccess = Saved;
    return Ok;
}

bool TRegistry::KeyExists(const rtl::String& Key) {
    rtl::String Relative;
    HKEY Result = nullptr;
    if (RegOpenKeyExW(BaseFor(Key, Relative), W(Relative), 0, KEY_READ, &Result) != ERROR_SUCCESS) return false;
    RegCloseKey(Result);
    return true;
}

bool TRegistry::Query(const rtl::String& Name, DWORD& Type, rtl::TBytes& Data) {
    const HKEY Key = FCurrentKey ? FCurrentKey : FRootKey;
    DWORD Size = 0;
    if (RegQueryValueExW(Key, W(Name), nullptr, &Type, nullptr, &Size) != ERROR_SUCCESS) return false;
    Data.assign(Size, 0);
    return RegQueryValueExW(Key, W(Name), nullptr, &Type, Data.data(), &Size) == ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const rtl::String& Name) {
    DWORD Type;
    rtl::TBytes Data;
    return Query(Name, Type, Data);
}

bool TRegistry::DeleteValue(const rtl::String& Name) {
    return RegDeleteValueW(FCurrentKey ? FCurrentKey : FRootKey, W(Name)) == ERROR_SUCCESS;
}

rtl::String TRegistry::ReadString(const rtl::String& Name) {
    DWORD Type = REG_NONE;
    rtl::TBytes Data;
    if (!Query(Name, Type, Data)) return {};
    if (Type != REG_SZ && Type != REG_EXPAND_SZ) InvalidType(Name);
    // The stored size may or may not count a terminator: the text ends at the first zero.
    rtl::String S = rtl::String::fromUtf16(reinterpret_cast<const char16_t*>(Data.data()), qsizetype(Data.size() / 2));
    const qsizetype Zero = S.indexOf(QChar(0));
    return Zero < 0 ? S : S.left(Zero);
}

int TRegistry::ReadInteger(const rtl::String& Name) {
    DWORD Type = REG_NONE;
    rtl::TBytes Data;
    if (!Query(Name, Type, Data) || Type != REG_DWORD || Data.size() != 4) InvalidType(Name);
    int32_t Value;
    std::memcpy(&Value, Data.data(), 4);
    return Value;
}

void TRegistry::WriteString(const rtl::String& Name, const rtl::String& Value) {
    const DWORD Size = DWORD((Value.size() + 1) * 2);
    if (RegSetValueExW(FCurrentKey ? FCurrentKey : FRootKey, W(Name), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(Value.utf16()), Size) != ERROR_SUCCESS)
        throw ERegistryException(QStringLiteral("Failed to set data for '%1'").arg(Name));
}

void TRegistry::WriteInteger(const rtl::String& Name, int Value) {
    const int32_t V = Value;
    if (RegSetValueExW(FCurrentKey ? FCurrentKey : FRootKey, W(Name), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&V),
                       4) != ERROR_SUCCESS)
        throw ERegistryException(QStringLiteral("Failed to set data for '%1'").arg(Name));
}

// ---- TRegIniFile ---------------------------------------------------------------------------------------

TRegIniFile::TRegIniFile(const rtl::String& FileName) : TRegIniFile(FileName, KEY_ALL_ACCESS) {}

TRegIniFile::TRegIniFile(const rtl::String& FileName, REGSAM AAccess) : TRegistry(AAccess), FFileName(FileName) {
    OpenKey(FileName, true);
}

bool TRegIniFile::EnterSection(const rtl::String& Section, bool CanCreate) {
    // Every call starts from the file's key, whatever the previous one opened.
    return OpenKey(u'\\' + FFileName, CanCreate) && (Section.isEmpty() || OpenKey(Section, CanCreate));
}

rtl::String TRegIniFile::ReadString(const rtl::String& Section, const rtl::String& Ident, const rtl::String& Default) {
    try {
        if (EnterSection(Section, false) && ValueExists(Ident)) return TRegistry::ReadString(Ident);
    } catch (const ERegistryException&) {
    }
    return Default;
}

int TRegIniFile::ReadInteger(const rtl::String& Section, const rtl::String& Ident, int Default) {
    try {
        if (EnterSection(Section, false) && ValueExists(Ident)) return TRegistry::ReadInteger(Ident);
    } catch (const ERegistryException&) {
    }
    return Default;
}

bool TRegIniFile::ReadBool(const rtl::String& Section, const rtl::String& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteString(const rtl::String& Section, const rtl::String& Ident, const rtl::String& Value) {
    if (EnterSection(Section, true)) TRegistry::WriteString(Ident, Value);
}

void TRegIniFile::WriteInteger(const rtl::String& Section, const rtl::String& Ident, int Value) {
    if (EnterSection(Section, true)) TRegistry::WriteInteger(Ident, Value);
}

void TRegIniFile::WriteBool(const rtl::String& Section, const rtl::String& Ident, bool Value) {
    WriteInteger(Section, Ident, Value ? 1 : 0);
}

} // namespace vcl
