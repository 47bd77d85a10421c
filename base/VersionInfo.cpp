#include "base/VersionInfo.h"

#include <algorithm>
#include <cstring>

#include "rtl/Files.h"
#include "win/kernel32/winnls.h"

namespace base {

namespace {
LPCWSTR W(const String& S) { return reinterpret_cast<LPCWSTR>(S.utf16()); }

TKwVersionNumber Split(uint32_t MS, uint32_t LS) {
    return {uint16_t(MS >> 16), uint16_t(MS), uint16_t(LS >> 16), uint16_t(LS)};
}
} // namespace

TKwVersionInfo::TKwVersionInfo(rtl::TComponent* AOwner) : rtl::TComponent(AOwner) { SetFileName({}); }

void TKwVersionInfo::SetFileName(const String& Value) {
    if (ComponentState().Contains(rtl::csDesigning)) {
        fFileName = Value;
        return;
    }
    fFileName = Value.isEmpty() ? rtl::ParamStr(0) : Value;
    ClearInfo();
    ReadVersionInfo();
}

void TKwVersionInfo::ReadVersionInfo() {
    fHaveInfo = false;
    fFixedFileInfo = {};
    fNumTranslations = 0;
    fCurrentTranslation = -1;
    fPTransBuffer.clear();
    fPInfoBuffer.clear();
    DWORD Dummy = 0;
    DWORD Size = GetFileVersionInfoSizeW(W(fFileName), &Dummy);
    if (Size == 0) return;
    fPInfoBuffer.assign(Size, 0);
    if (!GetFileVersionInfoW(W(fFileName), 0, Size, fPInfoBuffer.data())) {
        fPInfoBuffer.clear();
        return;
    }
    fHaveInfo = true;
    LPVOID P = nullptr;
    UINT Len = 0;
    if (VerQueryValueW(fPInfoBuffer.data(), u"\\", &P, &Len))
        std::memcpy(&fFixedFileInfo, P, Len < sizeof fFixedFileInfo ? Len : sizeof fFixedFileInfo);
    if (VerQueryValueW(fPInfoBuffer.data(), u"\\VarFileInfo\\Translation", &P, &Len)) {
        fNumTranslations = int(Len / 4);
        fPTransBuffer.resize(size_t(fNumTranslations) * 2);
        std::memcpy(fPTransBuffer.data(), P, size_t(fNumTranslations) * 4);
    }
    SetCurrentTranslation(0);
}

TKwVersionNumber TKwVersionInfo::FileVersionNumber() const {
    return Split(fFixedFileInfo.dwFileVersionMS, fFixedFileInfo.dwFileVersionLS);
}

TKwVersionNumber TKwVersionInfo::ProductVersionNumber() const {
    return Split(fFixedFileInfo.dwProductVersionMS, fFixedFileInfo.dwProductVersionLS);
}

void TKwVersionInfo::SetCurrentTranslation(int Value) {
    fCurrentTranslation = (Value >= 0 && Value < fNumTranslations) ? Value : -1;
}

uint16_t TKwVersionInfo::LanguageCode() const {
    int T = CurrentTranslation();
    return T < 0 ? 0 : fPTransBuffer[size_t(T) * 2];
}

uint16_t TKwVersionInfo::CharSetCode() const {
    int T = CurrentTranslation();
    return T < 0 ? 0 : fPTransBuffer[size_t(T) * 2 + 1];
}

String TKwVersionInfo::CharSet() const {
    if (!fHaveInfo) return {};
    int Cp = CharSetCode();
    switch (Cp) {
    case 1200: return QString("%1 (Unicode UTF-16, little endian byte order)").arg(Cp);
    case 1201: return QString("%1 (Unicode UTF-16, big endian byte order)").arg(Cp);
    case 12000: return QString("%1 (Unicode UTF-32, little endian byte order)").arg(Cp);
    case 12001: return QString("%1 (Unicode UTF-32, big endian byte order)").arg(Cp);
    default: break;
    }
    CPINFOEXW Info{};
    if (GetCPInfoExW(UINT(Cp), 0, &Info)) return String::fromUtf16(Info.CodePageName);
    return QString("%1 (Unknown Code Page)").arg(Cp);
}

String TKwVersionInfo::Language() const {
    if (!fHaveInfo) return {};
    char16_t Name[256] = {};
    const DWORD Len = VerLanguageNameW(LanguageCode(), Name, 256);
    return String::fromUtf16(Name, int(std::min<DWORD>(Len, 255)));
}

String TKwVersionInfo::GetStringFileInfo(const String& Name) const {
    if (!fHaveInfo) return {};
    String Path = QString("\\StringFileInfo\\%1%2\\")
                      .arg(LanguageCode(), 4, 16, QChar('0'))
                      .arg(CharSetCode(), 4, 16, QChar('0')) +
                  Name;
    LPVOID P = nullptr;
    UINT Len = 0;
    if (!VerQueryValueW(fPInfoBuffer.data(), W(Path), &P, &Len) || Len == 0) return {};
    std::u16string Text(Len, u'\0');
    std::memcpy(Text.data(), P, size_t(Len) * 2);
    return String::fromUtf16(Text.c_str()); // up to the terminator
}

} // namespace base
