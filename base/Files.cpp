// base/Files.cpp
#include "base/Files.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "rtl/DateUtils.h"
#include "rtl/Files.h"
#include "rtl/Streams.h"

namespace base {

void TFileNameRec::Clear() {
    *this = TFileNameRec();
}

void TFileInfoRec::Clear() {
    *this = TFileInfoRec();
}

namespace {

bool EntryExists(const String& FileName) {
    struct stat St;
    return ::lstat(QFile::encodeName(FileName).constData(), &St) == 0;
}

} // namespace

bool ForceDeleteFile(const String& FileName) {
    try {
        if (!rtl::DeleteFile(FileName)) {
            rtl::FileSetAttr(FileName, 0);
            rtl::DeleteFile(FileName);
        }
    } catch (...) {
    }
    return !EntryExists(FileName);
}

int64_t FileSizeByStream(const String& FileName) {
    if (!rtl::FileExists(FileName)) return 0;
    rtl::TFileStream Stream(FileName, rtl::fmOpenRead | rtl::fmShareDenyNone);
    return Stream.Size();
}

int64_t FileSizeByHandle(const String& FileName) {
    // O_PATH asks for no access rights, so a file we may not read still gives its size.
    const int Fd = ::open(QFile::encodeName(FileName).constData(), O_PATH | O_CLOEXEC);
    if (Fd < 0) return -1;
    struct stat St;
    const int Rc = ::fstat(Fd, &St);
    ::close(Fd);
    return Rc == 0 ? int64_t(St.st_size) : -1;
}

int64_t GetFileSizeSafe(const String& FileName) {
    try {
        return FileSizeByStream(FileName);
    } catch (const rtl::Exception&) {
        return FileSizeByHandle(FileName);
    }
}

namespace {

rtl::TDateTime FileTimeToLocal(const rtl::TFileTime& Time) {
    const uint64_t Ticks = (uint64_t(Time.dwHighDateTime) << 32) | Time.dwLowDateTime;
    // 100-ns ticks since 1601 to days since 1899-12-30 (109205 days apart).
    const rtl::TDateTime Utc = double(Ticks) / 864000000000.0 - 109205.0;
    return rtl::UTCToLocal(Utc);
}

bool IsZero(const rtl::TFileTime& Time) {
    return Time.dwHighDateTime == 0 && Time.dwLowDateTime == 0;
}

} // namespace

bool ReadFileTimes(const String& FileName, rtl::TDateTime& Creation, rtl::TDateTime& LastAccess,
                   rtl::TDateTime& LastWrite) {
    rtl::TSearchRec Rec;
    if (rtl::FindFirst(FileName, rtl::faAnyFile, Rec) != 0) return false;
    const rtl::TWin32FindData Data = Rec.FindData;
    rtl::FindClose(Rec);
    LastWrite = FileTimeToLocal(Data.ftLastWriteTime);
    LastAccess = FileTimeToLocal(Data.ftLastAccessTime);
    // A file system that keeps no creation time: the last write stands in, as the run-time library does.
    Creation = IsZero(Data.ftCreationTime) ? LastWrite : FileTimeToLocal(Data.ftCreationTime);
    return true;
}

bool GetFileAttributesRec(TFileAttributesRec& Attrs, const String& FileName) {
    Attrs = TFileAttributesRec();
    const int A = rtl::FileGetAttr(FileName);
    if (A == -1) return false;
    Attrs.ValidAttributes = true;
    Attrs.ReadOnly = A & 0x1;
    Attrs.Hidden = A & 0x2;
    Attrs.SysFile = A & 0x4;
    Attrs.VolumeID = A & 0x8;
    Attrs.Directory = A & 0x10;
    Attrs.Archive = A & 0x20;
    Attrs.Normal = A & 0x80;
    Attrs.Temporary = A & 0x100;
    Attrs.SymLink = A & 0x400;
    Attrs.Compressed = A & 0x800;
    Attrs.Encrypted = A & 0x4000;
    Attrs.Virtual = A & 0x10000;
    Attrs.AnyFile = A & 0x1FF;
    return true;
}

void GetFileNameRec(TFileNameRec& Rec, const String& FileName) {
    Rec.FullFileName = rtl::ExpandFileName(FileName);
    Rec.ShortFileName = rtl::ExtractFileName(FileName);
    Rec.BaseFileName = rtl::ChangeFileExt(Rec.ShortFileName, String());
    Rec.Directory = rtl::ExcludeTrailingPathDelimiter(rtl::ExtractFilePath(Rec.FullFileName));
    Rec.Path = rtl::IncludeTrailingPathDelimiter(Rec.Directory);
    Rec.ExtensionWithoutDot = rtl::ExtractFileExt(Rec.ShortFileName).mid(1);
    Rec.ExtensionWithDot = Rec.ExtensionWithoutDot.isEmpty() ? String() : u'.' + Rec.ExtensionWithoutDot;
}

bool GetFileInfoRec(TFileInfoRec& Info, const String& FileName) {
    Info.Clear();
    if (!rtl::FileExists(FileName)) return false;
    Info.Exists = true;
    GetFileNameRec(Info.FileNameRec, FileName);
    const String& Full = Info.FileNameRec.FullFileName;
    const int A = rtl::FileGetAttr(Full);
    Info.ReadOnly = A != -1 && (A & rtl::faReadOnly);
    Info.Size = GetFileSizeSafe(Full);
    ReadFileTimes(Full, Info.CreationTime, Info.LastAccessTime, Info.LastWriteTime);
    GetFileAttributesRec(Info.Attributes, Full);
    return true;
}

} // namespace base
