// tags/SafeFile.cpp
#include "tags/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <vector>

namespace tags {

namespace {

TFileFaultHook& FaultHook()
{
    static TFileFaultHook hook;
    return hook;
}

bool Fails(TFileStep Step) { return FaultHook() && FaultHook()(Step); }

String SystemText(int Error) { return QString::fromLocal8Bit(std::strerror(Error)); }

} // namespace

void SetFileFaultHook(TFileFaultHook Hook) { FaultHook() = std::move(Hook); }

TReplacementFile::TReplacementFile(const String& Target) : rtl::THandleStream(-1), FTarget(Target)
{
    // A link is followed: the file it names is replaced and the link stays a link.
    const QFileInfo link(Target);
    if (link.isSymLink() && link.exists()) FTarget = link.canonicalFilePath();
    const QFileInfo info(FTarget);
    const String folder = info.absolutePath();
    struct stat st {};
    const bool exists = ::stat(FTarget.toLocal8Bit().constData(), &st) == 0;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        if (Fails(TFileStep::Create)) {
            error = EACCES;
            break;
        }
        // Hidden and unique: a user's own file can never be the one that is created or replaced.
        FFileName = QStringLiteral("%1/.%2.%3.tw-tmp").arg(folder, info.fileName())
                        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        FHandle = ::open(FFileName.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        error = FHandle < 0 ? errno : 0;
    }
    if (FHandle < 0)
        throw rtl::EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(FFileName, SystemText(error)));
    if (exists) {
        // The replacement takes the original's permissions (and its owner, where we may set it).
        (void)::fchown(FHandle, st.st_uid, st.st_gid);
        (void)::fchmod(FHandle, st.st_mode & 07777);
    }
}

TReplacementFile::~TReplacementFile()
{
    if (FHandle >= 0) ::close(FHandle);
    if (!FCommitted && !FFileName.isEmpty()) ::unlink(FFileName.toLocal8Bit().constData());
}

int64_t TReplacementFile::Write(const void* Buffer, int64_t Count)
{
    if (Fails(TFileStep::Write)) return -1;
    return rtl::THandleStream::Write(Buffer, Count);
}

void TReplacementFile::CopyFromHandle(int Handle, int64_t Offset, int64_t Count)
{
    if (Count <= 0) return;
    if (Fails(TFileStep::Write)) throw rtl::EWriteError(QStringLiteral("Stream write error"));
    // The kernel copies without passing the bytes through us (and may share extents).
    loff_t in = Offset;
    while (Count > 0) {
        const ssize_t n = ::copy_file_range(Handle, &in, FHandle, nullptr, size_t(std::min<int64_t>(Count, 1 << 30)), 0);
        if (n > 0) {
            Count -= n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) throw rtl::EReadError(QStringLiteral("Stream read error"));
        break;   // not supported between these files: copy through a buffer
    }
    std::vector<uint8_t> buffer(size_t(std::min<int64_t>(Count, 1 << 20)));
    while (Count > 0) {
        const ssize_t n = ::pread(Handle, buffer.data(), size_t(std::min<int64_t>(Count, int64_t(buffer.size()))), in);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw rtl::EReadError(QStringLiteral("Stream read error"));
        WriteBuffer(buffer.data(), n);
        in += n;
        Count -= n;
    }
}

void TReplacementFile::Commit()
{
    if (Fails(TFileStep::Flush) || ::fsync(FHandle) != 0)
        throw rtl::EWriteError(QStringLiteral("Cannot write file \"%1\".").arg(FFileName));
    ::close(FHandle);
    FHandle = -1;
    if (Fails(TFileStep::Rename) || ::rename(FFileName.toLocal8Bit().constData(), FTarget.toLocal8Bit().constData()) != 0)
        throw rtl::EWriteError(QStringLiteral("Cannot replace file \"%1\".").arg(FTarget));
    FCommitted = true;
}

namespace {

// pread or pwrite until Count bytes are done; false on an error or a short transfer.
template <typename TBuffer, typename TTransfer>
bool TransferAllAt(TTransfer Transfer, int Handle, TBuffer* Data, size_t Count, int64_t At)
{
    while (Count > 0) {
        const ssize_t n = Transfer(Handle, Data, Count, At);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        Data += n;
        Count -= size_t(n);
        At += n;
    }
    return true;
}

bool WriteAllAt(int Handle, const uint8_t* Data, size_t Count, int64_t At) { return TransferAllAt(::pwrite, Handle, Data, Count, At); }
bool ReadAllAt(int Handle, uint8_t* Data, size_t Count, int64_t At) { return TransferAllAt(::pread, Handle, Data, Count, At); }

} // namespace

void WriteTailInPlace(int Handle, int64_t Start, const rtl::TBytes& Tail, const std::vector<TFilePatch>& Patches)
{
    const auto fail = [] { throw rtl::EWriteError(QStringLiteral("Stream write error")); };
    struct stat st {};
    if (::fstat(Handle, &st) != 0 || Start < 0 || Start > st.st_size) fail();
    const int64_t oldSize = st.st_size;
    const int64_t newSize = Start + int64_t(Tail.size());
    std::vector<uint8_t> old(size_t(oldSize - Start));
    if (!ReadAllAt(Handle, old.data(), old.size(), Start)) throw rtl::EReadError(QStringLiteral("Stream read error"));
    std::vector<TFilePatch> oldPatches;
    for (const TFilePatch& p : Patches) {
        if (p.Offset < 0 || p.Offset + int64_t(p.Bytes.size()) > Start) fail();
        TFilePatch was{p.Offset, rtl::TBytes(p.Bytes.size())};
        if (!ReadAllAt(Handle, was.Bytes.data(), was.Bytes.size(), p.Offset)) throw rtl::EReadError(QStringLiteral("Stream read error"));
        oldPatches.push_back(std::move(was));
    }
    // A full disk shows here, before anything of the file was touched.
    if (newSize > oldSize && ::posix_fallocate(Handle, oldSize, newSize - oldSize) != 0) {
        (void)::ftruncate(Handle, oldSize);
        fail();
    }
    auto writePatches = [&](const std::vector<TFilePatch>& List) {
        for (const TFilePatch& p : List)
            if (!WriteAllAt(Handle, p.Bytes.data(), p.Bytes.size(), p.Offset)) return false;
        return true;
    };
    // The new tail lies behind everything that points to it, and is complete before the pointers change.
    const bool ok = !Fails(TFileStep::Write) && WriteAllAt(Handle, Tail.data(), Tail.size(), Start)
                    && !Fails(TFileStep::Flush) && ::fdatasync(Handle) == 0 && writePatches(Patches)
                    && ::fdatasync(Handle) == 0 && !Fails(TFileStep::Cut) && ::ftruncate(Handle, newSize) == 0
                    && ::fsync(Handle) == 0;
    if (ok) return;
    // The old tail fitted before: it goes back where it was, and the file gets its old length.
    (void)writePatches(oldPatches);
    (void)WriteAllAt(Handle, old.data(), old.size(), Start);
    (void)::ftruncate(Handle, oldSize);
    (void)::fsync(Handle);
    fail();
}

bool WriteHeadInPlace(int Handle, int64_t OldSize, const rtl::TBytes& Head)
{
    const int64_t inserted = int64_t(Head.size()) - OldSize;
    if (OldSize < 0 || inserted < 0) throw rtl::EWriteError(QStringLiteral("Stream write error"));
    std::vector<uint8_t> old(static_cast<size_t>(OldSize));
    if (!ReadAllAt(Handle, old.data(), old.size(), 0)) throw rtl::EReadError(QStringLiteral("Stream read error"));
    // Whole blocks go in at the start; the blocks behind move in the file's map, their bytes stay put.
    if (inserted > 0 && ::fallocate(Handle, FALLOC_FL_INSERT_RANGE, 0, inserted) != 0) return false;
    const bool ok = !Fails(TFileStep::Write) && WriteAllAt(Handle, Head.data(), Head.size(), 0)
                    && !Fails(TFileStep::Flush) && ::fsync(Handle) == 0;
    if (ok) return true;
    if (inserted > 0) (void)::fallocate(Handle, FALLOC_FL_COLLAPSE_RANGE, 0, inserted);
    (void)WriteAllAt(Handle, old.data(), old.size(), 0);
    (void)::fsync(Handle);
    throw rtl::EWriteError(QStringLiteral("Stream write error"));
}

int64_t InPlaceHeadSize(int Handle, int64_t Needed, int64_t OldSize, int64_t PadMin)
{
    struct stat st {};
    const int64_t block = ::fstat(Handle, &st) == 0 && st.st_blksize > 0 ? int64_t(st.st_blksize) : 4096;
    if (Needed == OldSize || Needed + PadMin <= OldSize) return OldSize;
    if (Needed < OldSize) return OldSize + block;   // too little room left over for the padding
    const int64_t grow = Needed - OldSize;
    return OldSize + (grow % block == 0 ? grow : (grow + PadMin + block - 1) / block * block);
}

} // namespace tags
