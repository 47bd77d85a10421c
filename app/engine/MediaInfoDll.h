// app/engine/MediaInfoDll.h: the media-analysis library, loaded at run time and bound by its export
// names. The library speaks wchar_t, which is 32-bit here; the wrappers below take and return UTF-16
// texts and copy every text the library returns before the next call can overwrite it.
#pragma once
#include <cstddef>

#include "rtl/System.h"

namespace engine {

using rtl::String;

using TMediaInfoHandle = void*;

// Stream kinds of MediaInfo_Get.
enum TMediaInfoStreamKind : int {
    mikGeneral = 0,
    mikVideo = 1,
    mikAudio = 2,
    mikText = 3,
    mikOther = 4,
    mikImage = 5,
    mikMenu = 6,
};

// The wide-character entry points as the library exports them.
using TMediaInfo_New = void* (*)();
using TMediaInfo_Delete = void (*)(void* Handle);
using TMediaInfo_Open = size_t (*)(void* Handle, const wchar_t* FileName);
using TMediaInfo_Close = void (*)(void* Handle);
using TMediaInfo_Inform = const wchar_t* (*)(void* Handle, size_t Reserved);
using TMediaInfo_GetI = const wchar_t* (*)(void* Handle, int StreamKind, size_t StreamNumber,
                                           size_t Parameter, int KindOfInfo);
using TMediaInfo_Get = const wchar_t* (*)(void* Handle, int StreamKind, size_t StreamNumber,
                                          const wchar_t* Parameter, int KindOfInfo, int KindOfSearch);
using TMediaInfo_Option = const wchar_t* (*)(void* Handle, const wchar_t* Option, const wchar_t* Value);
using TMediaInfo_State_Get = size_t (*)(void* Handle);
using TMediaInfo_Count_Get = size_t (*)(void* Handle, int StreamKind, size_t StreamNumber);

// The 20 slots, in binding order; each holds the export's address, or nullptr when the library lacks it.
struct TMediaInfoEntryPoints {
    TMediaInfo_New MediaInfo_New = nullptr;
    TMediaInfo_Delete MediaInfo_Delete = nullptr;
    TMediaInfo_Open MediaInfo_Open = nullptr;
    TMediaInfo_Close MediaInfo_Close = nullptr;
    TMediaInfo_Inform MediaInfo_Inform = nullptr;
    TMediaInfo_GetI MediaInfo_GetI = nullptr;
    TMediaInfo_Get MediaInfo_Get = nullptr;
    TMediaInfo_Option MediaInfo_Option = nullptr;
    TMediaInfo_State_Get MediaInfo_State_Get = nullptr;
    TMediaInfo_Count_Get MediaInfo_Count_Get = nullptr;
    // The 8-bit-text variants; bound for completeness, never called.
    void* MediaInfoA_New = nullptr;
    void* MediaInfoA_Delete = nullptr;
    void* MediaInfoA_Open = nullptr;
    void* MediaInfoA_Close = nullptr;
    void* MediaInfoA_Inform = nullptr;
    void* MediaInfoA_GetI = nullptr;
    void* MediaInfoA_Get = nullptr;
    void* MediaInfoA_Option = nullptr;
    void* MediaInfoA_State_Get = nullptr;
    void* MediaInfoA_Count_Get = nullptr;
};

extern TMediaInfoEntryPoints MediaInfoLib;
// The module (a dlopen handle); nullptr until the first successful load.
extern void* MediaInfoLibHandle;

// Loads the library on first use (later calls reuse the module whatever their path) and binds all 20
// exports again. False when the library cannot be loaded, or when it lacks one of the entry points the
// analysis calls (New, Open, Option, Inform, Get, Close): such a library is unloaded and the next call
// tries again.
bool LoadMediaInfoLib(const String& LibPath);
// Looks up one export of the loaded module and stores its address (or nullptr) in Slot.
bool BindProcAddress(const char* Name, void*& Slot);
// Releases the module and empties the slots. The program never does; tests swap libraries with it.
void UnloadMediaInfoLib();

// The six calls the analysis makes, with UTF-16 texts. Each needs a loaded library; the texts
// returned are copies. MediaInfoDelete is a no-op when the library lacks MediaInfo_Delete.
TMediaInfoHandle MediaInfoNew();
void MediaInfoDelete(TMediaInfoHandle Handle);
size_t MediaInfoOpen(TMediaInfoHandle Handle, const String& FileName);
void MediaInfoClose(TMediaInfoHandle Handle);
String MediaInfoInform(TMediaInfoHandle Handle);
String MediaInfoGet(TMediaInfoHandle Handle, int StreamKind, int StreamNumber, const String& Parameter);
String MediaInfoOption(TMediaInfoHandle Handle, const String& Option, const String& Value);

// One handle for one file: New on construction, Close and Delete on destruction.
class TMediaInfoFile {
public:
    TMediaInfoFile() : FHandle(MediaInfoNew()) {}
    ~TMediaInfoFile();
    TMediaInfoFile(const TMediaInfoFile&) = delete;
    TMediaInfoFile& operator=(const TMediaInfoFile&) = delete;

    TMediaInfoHandle Handle() const { return FHandle; }
    bool Open(const String& FileName); // false when the library cannot analyse the file

private:
    TMediaInfoHandle FHandle;
};

} // namespace engine
