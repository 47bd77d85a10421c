// The media-analysis library binding.
#include "app/engine/MediaInfoDll.h"

#include <dlfcn.h>
#include <locale.h>

#include <cwchar>
#include <string>

namespace engine {

TMediaInfoEntryPoints MediaInfoLib;
void* MediaInfoLibHandle = nullptr;

namespace {

template <typename T> void*& SlotOf(T& Field) {
    return reinterpret_cast<void*&>(Field);
}

void BindAll() {
    TMediaInfoEntryPoints& L = MediaInfoLib;
    BindProcAddress("MediaInfo_New", SlotOf(L.MediaInfo_New));
    BindProcAddress("MediaInfo_Delete", SlotOf(L.MediaInfo_Delete));
    BindProcAddress("MediaInfo_Open", SlotOf(L.MediaInfo_Open));
    BindProcAddress("MediaInfo_Close", SlotOf(L.MediaInfo_Close));
    BindProcAddress("MediaInfo_Inform", SlotOf(L.MediaInfo_Inform));
    BindProcAddress("MediaInfo_GetI", SlotOf(L.MediaInfo_GetI));
    BindProcAddress("MediaInfo_Get", SlotOf(L.MediaInfo_Get));
    BindProcAddress("MediaInfo_Option", SlotOf(L.MediaInfo_Option));
    BindProcAddress("MediaInfo_State_Get", SlotOf(L.MediaInfo_State_Get));
    BindProcAddress("MediaInfo_Count_Get", SlotOf(L.MediaInfo_Count_Get));
    BindProcAddress("MediaInfoA_New", L.MediaInfoA_New);
    BindProcAddress("MediaInfoA_Delete", L.MediaInfoA_Delete);
    BindProcAddress("MediaInfoA_Open", L.MediaInfoA_Open);
    BindProcAddress("MediaInfoA_Close", L.MediaInfoA_Close);
    BindProcAddress("MediaInfoA_Inform", L.MediaInfoA_Inform);
    BindProcAddress("MediaInfoA_GetI", L.MediaInfoA_GetI);
    BindProcAddress("MediaInfoA_Get", L.MediaInfoA_Get);
    BindProcAddress("MediaInfoA_Option", L.MediaInfoA_Option);
    BindProcAddress("MediaInfoA_State_Get", L.MediaInfoA_State_Get);
    BindProcAddress("MediaInfoA_Count_Get", L.MediaInfoA_Count_Get);
}

bool HasCalledEntryPoints() {
    const TMediaInfoEntryPoints& L = MediaInfoLib;
    return L.MediaInfo_New && L.MediaInfo_Open && L.MediaInfo_Option && L.MediaInfo_Inform &&
           L.MediaInfo_Get && L.MediaInfo_Close;
}

// UTF-16 in, the library's UTF-32 wchar_t out (unpaired surrogates become U+FFFD).
std::wstring ToWide(const String& S) {
    return S.toStdWString();
}

// Copies a text the library owns; it may be overwritten by the next call.
String FromWide(const wchar_t* W) {
    if (!W) return String();
    return String::fromWCharArray(W, static_cast<qsizetype>(std::wcslen(W)));
}

// The library turns wide file names into multibyte ones with the C library's current LC_CTYPE. A
// program that never called setlocale has the "C" locale, in which a name outside ASCII cannot be
// converted; file names here are UTF-8, so the calls that take a name run under a UTF-8 LC_CTYPE.
class TUtf8CTypeScope {
public:
    TUtf8CTypeScope() {
        static locale_t Utf8 = [] {
            locale_t L = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
            if (!L) L = newlocale(LC_CTYPE_MASK, "en_US.UTF-8", static_cast<locale_t>(nullptr));
            return L;
        }();
        if (Utf8) FPrevious = uselocale(Utf8);
    }
    ~TUtf8CTypeScope() {
        if (FPrevious) uselocale(FPrevious);
    }
    TUtf8CTypeScope(const TUtf8CTypeScope&) = delete;
    TUtf8CTypeScope& operator=(const TUtf8CTypeScope&) = delete;

private:
    locale_t FPrevious = static_cast<locale_t>(nullptr);
};

} // namespace

bool BindProcAddress(const char* Name, void*& Slot) {
    Slot = MediaInfoLibHandle ? dlsym(MediaInfoLibHandle, Name) : nullptr;
    return Slot != nullptr;
}

bool LoadMediaInfoLib(const String& LibPath) {
    if (!MediaInfoLibHandle) {
        if (LibPath.isEmpty()) return false;
        // Kept mapped even if a test unloads it: the library's static state must never run twice.
        MediaInfoLibHandle = dlopen(LibPath.toUtf8().constData(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (!MediaInfoLibHandle) return false;
    }
    BindAll();
    if (!HasCalledEntryPoints()) {
        // The callers call these unconditionally: a library without them counts as not loaded.
        UnloadMediaInfoLib();
        return false;
    }
    return true;
}

void UnloadMediaInfoLib() {
    if (MediaInfoLibHandle) dlclose(MediaInfoLibHandle);
    MediaInfoLibHandle = nullptr;
    MediaInfoLib = TMediaInfoEntryPoints();
}

TMediaInfoHandle MediaInfoNew() {
    return MediaInfoLib.MediaInfo_New ? MediaInfoLib.MediaInfo_New() : nullptr;
}

void MediaInfoDelete(TMediaInfoHandle Handle) {
    if (Handle && MediaInfoLib.MediaInfo_Delete) MediaInfoLib.MediaInfo_Delete(Handle);
}

size_t MediaInfoOpen(TMediaInfoHandle Handle, const String& FileName) {
    if (!Handle || !MediaInfoLib.MediaInfo_Open) return 0;
    const std::wstring Name = ToWide(FileName);
    TUtf8CTypeScope Utf8;
    return MediaInfoLib.MediaInfo_Open(Handle, Name.c_str());
}

void MediaInfoClose(TMediaInfoHandle Handle) {
    if (Handle && MediaInfoLib.MediaInfo_Close) MediaInfoLib.MediaInfo_Close(Handle);
}

String MediaInfoInform(TMediaInfoHandle Handle) {
    if (!Handle || !MediaInfoLib.MediaInfo_Inform) return String();
    TUtf8CTypeScope Utf8; // the report holds the file's name
    return FromWide(MediaInfoLib.MediaInfo_Inform(Handle, 0));
}

String MediaInfoGet(TMediaInfoHandle Handle, int StreamKind, int StreamNumber, const String& Parameter) {
    if (!Handle || !MediaInfoLib.MediaInfo_Get || StreamNumber < 0) return String();
    const std::wstring Name = ToWide(Parameter);
    TUtf8CTypeScope Utf8;
    return FromWide(MediaInfoLib.MediaInfo_Get(Handle, StreamKind, static_cast<size_t>(StreamNumber),
                                               Name.c_str(), 1 /* text */, 0 /* by name */));
}

String MediaInfoOption(TMediaInfoHandle Handle, const String& Option, const String& Value) {
    if (!MediaInfoLib.MediaInfo_Option) return String();
    const std::wstring O = ToWide(Option), V = ToWide(Value);
    return FromWide(MediaInfoLib.MediaInfo_Option(Handle, O.c_str(), V.c_str()));
}

TMediaInfoFile::~TMediaInfoFile() {
    if (!FHandle) return;
    MediaInfoClose(FHandle);
    MediaInfoDelete(FHandle);
}

bool TMediaInfoFile::Open(const String& FileName) {
    return FHandle && MediaInfoOpen(FHandle, FileName) != 0;
}

} // namespace engine
