// base/Files.h: file records (name parts, attributes, size, times) and forgiving size and delete routines.
#pragma once
#include <cstdint>

#include "rtl/System.h"

namespace base {

using rtl::String;

// A time that was not read.
constexpr rtl::TDateTime FileTimeNotRead = -127552.0;

struct TFileNameRec {
    String FullFileName;  // expanded to a full path
    String ShortFileName; // the name without folder, from the name as given
    String BaseFileName;  // ShortFileName without its last extension
    String Directory;     // folder of FullFileName, no trailing '/'
    String Path;          // the same with the trailing '/'
    String ExtensionWithDot;
    String ExtensionWithoutDot;

    void Clear();
};

struct TFileAttributesRec {
    bool ValidAttributes = false;
    bool ReadOnly = false;
    bool Hidden = false;
    bool SysFile = false;
    bool VolumeID = false;
    bool Directory = false;
    bool Archive = false;
    bool Normal = false;
    bool Temporary = false;
    bool SymLink = false;
    bool Compressed = false;
    bool Encrypted = false;
    bool Virtual = false;
    bool AnyFile = false;
};

struct TFileInfoRec {
    TFileNameRec FileNameRec;
    bool Exists = false;
    int64_t Size = 0;
    rtl::TDateTime CreationTime = FileTimeNotRead; // local times
    rtl::TDateTime LastWriteTime = FileTimeNotRead;
    rtl::TDateTime LastAccessTime = FileTimeNotRead;
    bool ReadOnly = false;
    TFileAttributesRec Attributes;

    void Clear();
};

// True when the file is gone afterwards; never raises.
bool ForceDeleteFile(const String& FileName);
// 0 for a missing file; raises rtl::EFOpenError when it exists but cannot be opened.
int64_t FileSizeByStream(const String& FileName);
// Without opening the file for reading; -1 when it cannot be reached.
int64_t FileSizeByHandle(const String& FileName);
// 0 for a missing file, -1 when the size cannot be read at all; never raises.
int64_t GetFileSizeSafe(const String& FileName);
// Local times of the file (or folder); false, outputs untouched, when it is not found.
bool ReadFileTimes(const String& FileName, rtl::TDateTime& Creation, rtl::TDateTime& LastAccess,
                   rtl::TDateTime& LastWrite);
bool GetFileAttributesRec(TFileAttributesRec& Attrs, const String& FileName);
void GetFileNameRec(TFileNameRec& Rec, const String& FileName);
bool GetFileInfoRec(TFileInfoRec& Info, const String& FileName);

} // namespace base
