#include "rtl/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace rtl {

namespace {

const QString kReadError = QStringLiteral("Stream read error");
const QString kWriteError = QStringLiteral("Stream write error");
const QString kSharingViolation =
    QStringLiteral("The process cannot access the file because it is being used by another process");

QString SystemMessage(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

// The Windows error numbers callers may compare against.
uint32_t WindowsErrorFromErrno(int err) {
    switch (err) {
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return 5;
    case EBADF: return 6;
    case ENOMEM: return 8;
    case EEXIST: return 80;
    case EINVAL: return 87;
    case ENOSPC: return 112;
    case ENAMETOOLONG: return 206;
    case EBUSY: return 32;
    default: return 31;           // ERROR_GEN_FAILURE
    }
}

// Access and sharing as bit sets: 1 = read, 2 = write.
constexpr int kRead = 1, kWrite = 2;

int AccessOf(uint16_t Mode) {
    if ((Mode & fmCreate) == fmCreate) return kRead | kWrite;
    switch (Mode & 0x3) {
    case fmOpenWrite: return kWrite;
    case fmOpenReadWrite: return kRead | kWrite;
    default: return kRead;
    }
}

int SharingOf(uint16_t Mode) {
    switch (Mode & 0xF0) {
    case fmShareDenyWrite: return kRead;
    case fmShareDenyRead: return kWrite;
    case fmShareDenyNone: return kRead | kWrite;
    default: return 0;            // fmShareCompat and fmShareExclusive
    }
}

struct OpenEntry {
    const void* owner;
    int access;
    int sharing;
};

// Every TFileStream open in this process, by file identity, so share modes can be honoured.
class ShareTable {
public:
    static ShareTable& Instance() {
        // Never destroyed: a stream that outlives static destruction must still be able to unregister.
        static ShareTable* table = new ShareTable;
        return *table;
    }

    // Registers the open when it is compatible with every other open of the file.
    bool TryRegister(uint64_t dev, uint64_t ino, const OpenEntry& entry) {
        std::lock_guard<std::mutex> lock(FMutex);
        auto& list = FOpen[{dev, ino}];
        for (const OpenEntry& other : list) {
            if ((entry.access & ~other.sharing) != 0 || (other.access & ~entry.sharing) != 0) return false;
        }
        list.push_back(entry);
        return true;
    }

    void Unregister(uint64_t dev, uint64_t ino, const void* owner) {
        std::lock_guard<std::mutex> lock(FMutex);
        auto it = FOpen.find({dev, ino});
        if (it == FOpen.end()) return;
        auto& list = it->second;
        list.erase(std::remove_if(list.begin(), list.end(), [owner](const OpenEntry& e) { return e.owner == owner; }),
                   list.end());
        if (list.empty()) FOpen.erase(it);
    }

private:
    std::mutex FMutex;
    std::map<std::pair<uint64_t, uint64_t>, std::vector<OpenEntry>> FOpen;
};

} // namespace

// ---- TStream ------------------------------------------------------------------------------------

int64_t TStream::Read(TBytes& Buffer, int64_t Offset, int64_t Count) {
    if (Offset < 0 || Count <= 0 || uint64_t(Offset) >= Buffer.size()) return 0;
    Count = std::min<int64_t>(Count, int64_t(Buffer.size()) - Offset);
    return Read(Buffer.data() + Offset, Count);
}

int64_t TStream::Write(const TBytes& Buffer, int64_t Offset, int64_t Count) {
    if (Offset < 0 || Count <= 0 || uint64_t(Offset) >= Buffer.size()) return 0;
    Count = std::min<int64_t>(Count, int64_t(Buffer.size()) - Offset);
    return Write(Buffer.data() + Offset, Count);
}

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
    if (Count < 0) throw EReadError(kReadError);
    int64_t done = 0;
    auto* p = static_cast<uint8_t*>(Buffer);
    while (done < Count) {
        const int64_t n = Read(p + done, Count - done);
        if (n <= 0) throw EReadError(kReadError);
        done += n;
    }
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
    if (Count < 0) throw EWriteError(kWriteError);
    int64_t done = 0;
    const auto* p = static_cast<const uint8_t*>(Buffer);
    while (done < Count) {
        const int64_t n = Write(p + done, Count - done);
        if (n <= 0) throw EWriteError(kWriteError);
        done += n;
    }
}

void TStream::ReadBuffer(TBytes& Buffer, int64_t Count) {
    if (Count < 0 || uint64_t(Count) > Buffer.size()) throw EReadError(kReadError);
    ReadBuffer(Buffer.data(), Count);
}

void TStream::WriteBuffer(const TBytes& Buffer, int64_t Count) {
    if (Count < 0 || uint64_t(Count) > Buffer.size()) throw EWriteError(kWriteError);
    WriteBuffer(Buffer.data(), Count);
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
    if (Count <= 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    constexpr int64_t kChunk = 1 << 16;
    std::vector<uint8_t> buffer(size_t(std::min(Count, kChunk)));
    int64_t left = Count;
    while (left > 0) {
        const int64_t n = std::min(left, kChunk);
        Source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return Count;
}

void TStream::SetSize(int64_t) {}

int64_t TStream::GetSize() {
    const int64_t pos = Seek(0, soCurrent);
    const int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

// ---- THandleStream ------------------------------------------------------------------------------

int64_t THandleStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    ssize_t n;
    do {
        n = ::read(FHandle, Buffer, size_t(Count));
    } while (n < 0 && errno == EINTR);
    return n < 0 ? 0 : n;
}

int64_t THandleStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    int64_t done = 0;
    const auto* p = static_cast<const uint8_t*>(Buffer);
    while (done < Count) {
        const ssize_t n = ::write(FHandle, p + done, size_t(Count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t THandleStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    const int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
    return ::lseek(FHandle, off_t(Offset), whence);
}

void THandleStream::SetSize(int64_t NewSize) {
    if (NewSize < 0 || Seek(NewSize, soBeginning) < 0 || ::ftruncate(FHandle, off_t(NewSize)) != 0) {
        const int err = NewSize < 0 ? EINVAL : errno;
        throw EOSError(QStringLiteral("System Error. Code: %1.\n%2").arg(WindowsErrorFromErrno(err)).arg(SystemMessage(err)),
                       WindowsErrorFromErrno(err));
    }
}

// ---- TFileStream --------------------------------------------------------------------------------

TFileStream::TFileStream(const String& AFileName, uint16_t Mode) : TFileStream(AFileName, Mode, 0666) {}

TFileStream::TFileStream(const String& AFileName, uint16_t Mode, uint32_t Rights)
    : THandleStream(-1), FFileName(AFileName) {
    Open(Mode, Rights);
}

void TFileStream::Open(uint16_t Mode, uint32_t Rights) {
    const bool create = (Mode & fmCreate) == fmCreate;
    auto fail = [&](const QString& message) {
        const QString text = (create ? QStringLiteral("Cannot create file \"%1\". %2")
                                     : QStringLiteral("Cannot open file \"%1\". %2"))
                                 .arg(FFileName, message);
        if (create) throw EFCreateError(text);
        throw EFOpenError(text);
    };
    const int access = AccessOf(Mode);
    int flags = O_CLOEXEC;
    if (create) {
        // Created without O_TRUNC: the file is cut only once the share check allowed the open.
        flags |= O_RDWR | O_CREAT | ((Mode & fmExclusive) ? O_EXCL : 0);
    } else {
        flags |= access == (kRead | kWrite) ? O_RDWR : access == kWrite ? O_WRONLY : O_RDONLY;
    }
    const QByteArray path = FFileName.toLocal8Bit();
    if (path.isEmpty()) fail(SystemMessage(ENOENT));
    int fd;
    do {
        fd = ::open(path.constData(), flags, mode_t(Rights));
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) fail(SystemMessage(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        fail(SystemMessage(err));
    }
    FDevice = uint64_t(st.st_dev);
    FInode = uint64_t(st.st_ino);
    if (!ShareTable::Instance().TryRegister(FDevice, FInode, OpenEntry{this, access, SharingOf(Mode)})) {
        ::close(fd);
        fail(kSharingViolation);
    }
    FRegistered = true;
    FHandle = fd;
    if (create && S_ISREG(st.st_mode) && st.st_size != 0 && ::ftruncate(fd, 0) != 0) {
        const int err = errno;
        ShareTable::Instance().Unregister(FDevice, FInode, this);
        FRegistered = false;
        ::close(fd);
        FHandle = -1;
        fail(SystemMessage(err));
    }
}

TFileStream::~TFileStream() {
    if (FHandle >= 0) ::close(FHandle);
    if (FRegistered) ShareTable::Instance().Unregister(FDevice, FInode, this);
}

// ---- TCustomMemoryStream ------------------------------------------------------------------------

int64_t TCustomMemoryStream::Read(void* Buffer, int64_t Count) {
    if (FPosition < 0 || Count <= 0 || FPosition >= FSize) return 0;
    const int64_t n = std::min(Count, FSize - FPosition);
    std::memcpy(Buffer, FMemory + FPosition, size_t(n));
    FPosition += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    switch (Origin) {
    case soBeginning: FPosition = Offset; break;
    case soCurrent: FPosition += Offset; break;
    case soEnd: FPosition = FSize + Offset; break;
    }
    return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream& Stream) {
    if (FSize != 0) Stream.WriteBuffer(FMemory, FSize);
}

void TCustomMemoryStream::SaveToFile(const String& FileName) {
    TFileStream file(FileName, fmCreate);
    SaveToStream(file);
}

void TCustomMemoryStream::SetPointer(void* Ptr, int64_t ASize) {
    FMemory = static_cast<uint8_t*>(Ptr);
    FSize = ASize;
}

// ---- TMemoryStream ------------------------------------------------------------------------------

namespace {
constexpr int64_t kMemoryDelta = 0x2000;
}

TMemoryStream::~TMemoryStream() { std::free(FMemory); }

uint8_t* TMemoryStream::Realloc(int64_t& NewCapacity) {
    if (NewCapacity > 0 && NewCapacity != FSize)
        NewCapacity = (NewCapacity + (kMemoryDelta - 1)) & ~(kMemoryDelta - 1);
    if (NewCapacity == FCapacity) return FMemory;
    if (NewCapacity == 0) {
        std::free(FMemory);
        return nullptr;
    }
    void* block = std::realloc(FMemory, size_t(NewCapacity));
    if (block == nullptr) throw EOutOfMemory(QStringLiteral("Out of memory while expanding memory stream"));
    return static_cast<uint8_t*>(block);
}

void TMemoryStream::SetCapacity(int64_t NewCapacity) {
    if (NewCapacity < 0) NewCapacity = 0;
    FMemory = Realloc(NewCapacity);
    FCapacity = NewCapacity;
    if (FSize > FCapacity) FSize = FCapacity;
}

void TMemoryStream::SetSize(int64_t NewSize) {
    if (NewSize < 0) throw EStreamError(kWriteError);
    const int64_t oldPosition = FPosition;
    const int64_t oldSize = FSize;
    SetCapacity(NewSize);
    FSize = NewSize;
    if (NewSize > oldSize) std::memset(FMemory + oldSize, 0, size_t(NewSize - oldSize));
    if (oldPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
    SetCapacity(0);
    FSize = 0;
    FPosition = 0;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
    if (FPosition < 0 || Count <= 0) return 0;
    if (Count > INT64_MAX - FPosition) return 0;
    const int64_t end = FPosition + Count;
    if (end > FSize) {
        if (end > FCapacity) {
            // Grow by a quarter at least, so many small writes stay linear.
            SetCapacity(std::max(end, FCapacity + FCapacity / 4));
        }
        if (FPosition > FSize) std::memset(FMemory + FSize, 0, size_t(FPosition - FSize));
        FSize = end;
    }
    std::memcpy(FMemory + FPosition, Buffer, size_t(Count));
    FPosition = end;
    return Count;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
    Stream.SetPosition(0);
    const int64_t count = Stream.Size();
    SetSize(count);
    if (count != 0) Stream.ReadBuffer(FMemory, count);
}

void TMemoryStream::LoadFromFile(const String& FileName) {
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

// ---- TBytesStream -------------------------------------------------------------------------------

TBytesStream::TBytesStream(const TBytes& ABytes) : FBytes(ABytes) {
    SetPointer(FBytes.empty() ? nullptr : FBytes.data(), int64_t(FBytes.size()));
    FCapacity = FSize;
}

TBytesStream::~TBytesStream() {
    FMemory = nullptr;          // owned by FBytes, not by malloc
}

uint8_t* TBytesStream::Realloc(int64_t& NewCapacity) {
    if (NewCapacity > 0 && NewCapacity != FSize)
        NewCapacity = (NewCapacity + (kMemoryDelta - 1)) & ~(kMemoryDelta - 1);
    try {
        FBytes.resize(size_t(NewCapacity));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(QStringLiteral("Out of memory while expanding memory stream"));
    } catch (const std::length_error&) {
        throw EOutOfMemory(QStringLiteral("Out of memory while expanding memory stream"));
    }
    return FBytes.empty() ? nullptr : FBytes.data();
}

// ---- TStringStream ------------------------------------------------------------------------------

TStringStream::TStringStream() : TStringStream(String(), TEncoding::Default(), false) {}

TStringStream::TStringStream(const String& AString) : TStringStream(AString, TEncoding::Default(), false) {}

TStringStream::TStringStream(const String& AString, TEncoding* AEncoding, bool AOwnsEncoding)
    : TBytesStream((AEncoding ? AEncoding : TEncoding::Default())->GetBytes(AString)),
      FEncoding(AEncoding ? AEncoding : TEncoding::Default()),
      FOwnsEncoding(AEncoding != nullptr && AOwnsEncoding) {}

TStringStream::TStringStream(const TBytes& ABytes) : TBytesStream(ABytes), FEncoding(nullptr), FOwnsEncoding(false) {
    TEncoding::GetBufferEncoding(ABytes, FEncoding);
}

TStringStream::~TStringStream() {
    if (FOwnsEncoding) TEncoding::FreeEncoding(FEncoding);
}

String TStringStream::DataString() const { return FEncoding->GetString(FMemory, size_t(FSize)); }

String TStringStream::ReadString(int64_t Count) {
    if (FPosition < 0 || FPosition >= FSize || Count <= 0) return String();
    const int64_t n = std::min(Count, FSize - FPosition);
    const String result = FEncoding->GetString(FMemory + FPosition, size_t(n));
    FPosition += n;
    return result;
}

void TStringStream::WriteString(const String& AString) {
    const TBytes bytes = FEncoding->GetBytes(AString);
    WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

} // namespace rtl
