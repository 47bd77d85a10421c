// rtl/Streams.h: the class library's streams: the abstract TStream, streams on POSIX file descriptors
// (THandleStream, TFileStream with Windows-style share modes among this program's own open files) and
// the memory streams (TMemoryStream, TBytesStream, TStringStream).
#pragma once
#include "rtl/Classes.h"
#include "rtl/Encoding.h"
#include "rtl/System.h"

#include <cstdint>
#include <type_traits>

namespace rtl {

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// Open modes: access in the low nibble, sharing in the next one, fmCreate on its own.
constexpr uint16_t fmCreate = 0xFF00;           // create or truncate, read and write access
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmExclusive = 0x0004;        // with fmCreate: fail when the file exists
constexpr uint16_t fmShareCompat = 0x0000;      // treated as exclusive, as on Windows
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;

class TStream : public TObject {
public:

    // Transfers up to Count bytes and returns how many moved; a short count at the end is not an error.
    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    int64_t Read(TBytes& Buffer, int64_t Offset, int64_t Count);          // into Buffer[Offset…]
    int64_t Write(const TBytes& Buffer, int64_t Offset, int64_t Count);
    int64_t Write(const TBytes& Buffer) { return Write(Buffer, 0, static_cast<int64_t>(Buffer.size())); }

    // A position past the end is allowed; reads there return 0. The handle streams return -1 when
    // the system refuses the seek (a negative position); the memory streams keep any position, and
    // reads and writes at a negative one transfer nothing.
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    // Raise EReadError "Stream read error" / EWriteError "Stream write error" on a short transfer.
    void ReadBuffer(void* Buffer, int64_t Count);
    void WriteBuffer(const void* Buffer, int64_t Count);
    void ReadBuffer(TBytes& Buffer, int64_t Count);                       // Buffer must hold Count bytes
    void WriteBuffer(const TBytes& Buffer, int64_t Count);

    // Copies Count bytes from Source's position; Count 0 copies the whole Source from its start.
    // Raises EReadError when Source runs short. Returns the bytes copied.
    int64_t CopyFrom(TStream& Source, int64_t Count);
    int64_t CopyFrom(TStream* Source, int64_t Count) { return CopyFrom(*Source, Count); }

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Value) { Seek(Value, soBeginning); }
    int64_t Size() { return GetSize(); }
    // Cuts or extends the stream (the base class ignores it). Memory streams clamp the position to
    // the new size when it was beyond it; file streams leave the position at the new size.
    virtual void SetSize(int64_t NewSize);

    // Plain-data helpers (host byte order): ReadData returns false on a short read.
    template <typename T> bool ReadData(T& Value) {
        static_assert(std::is_trivially_copyable_v<T>);
        return Read(&Value, sizeof(T)) == static_cast<int64_t>(sizeof(T));
    }
    template <typename T> void WriteData(const T& Value) {
        static_assert(std::is_trivially_copyable_v<T>);
        WriteBuffer(&Value, sizeof(T));
    }

protected:
    TStream() = default;
    virtual int64_t GetSize();                  // by seeking to the end and back
};

// A stream over a file descriptor it does not own.
class THandleStream : public TStream {
public:
    explicit THandleStream(int AHandle) : FHandle(AHandle) {}
    int Handle() const { return FHandle; }

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    // Cuts or extends the file and leaves the position at NewSize; raises EOSError on failure.
    void SetSize(int64_t NewSize) override;
    using TStream::Read;
    using TStream::Write;

protected:
    int FHandle;
};

// A file opened by name. The share mode is enforced against the program's other open TFileStreams on
// the same file (device and inode), as Windows would: a conflict raises EFOpenError/EFCreateError with
// the system's sharing-violation text, and fmCreate never truncates a file another stream holds.
class TFileStream : public THandleStream {
public:
    TFileStream(const String& AFileName, uint16_t Mode);
    TFileStream(const String& AFileName, uint16_t Mode, uint32_t Rights);  // Rights: creation permissions
    ~TFileStream() override;
    const String& FileName() const { return FFileName; }

private:
    void Open(uint16_t Mode, uint32_t Rights);
    String FFileName;
    uint64_t FDevice = 0;
    uint64_t FInode = 0;
    bool FRegistered = false;
};

class TCustomMemoryStream : public TStream {
public:
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    using TStream::Read;
    using TStream::Write;
    void SaveToStream(TStream& Stream);
    void SaveToStream(TStream* Stream) { SaveToStream(*Stream); }
    void SaveToFile(const String& FileName);    // raises EFCreateError
    void* Memory() const { return FMemory; }

protected:
    TCustomMemoryStream() = default;
    int64_t GetSize() override { return FSize; }
    void SetPointer(void* Ptr, int64_t ASize);

    uint8_t* FMemory = nullptr;
    int64_t FSize = 0;
    int64_t FPosition = 0;
};

// Growable memory. Seeking past the end and writing fills the gap with zeros; SetSize zero-fills
// what it adds.
class TMemoryStream : public TCustomMemoryStream {
public:
    TMemoryStream() = default;
    ~TMemoryStream() override;

    int64_t Write(const void* Buffer, int64_t Count) override;
    using TCustomMemoryStream::Write;
    void SetSize(int64_t NewSize) override;
    void Clear();
    void LoadFromStream(TStream& Stream);       // the whole stream from its start
    void LoadFromStream(TStream* Stream) { LoadFromStream(*Stream); }
    void LoadFromFile(const String& FileName);  // raises EFOpenError
    int64_t Capacity() const { return FCapacity; }
    void SetCapacity(int64_t NewCapacity);

protected:
    // Returns the block for NewCapacity bytes (contents kept up to the smaller size; nullptr for 0).
    virtual uint8_t* Realloc(int64_t& NewCapacity);
    int64_t FCapacity = 0;
};

// A memory stream over a TBytes; Bytes() has Capacity() elements, of which the first Size() are data.
class TBytesStream : public TMemoryStream {
public:
    explicit TBytesStream(const TBytes& ABytes = {});
    ~TBytesStream() override;
    const TBytes& Bytes() const { return FBytes; }

protected:
    uint8_t* Realloc(int64_t& NewCapacity) override;

private:
    TBytes FBytes;
};

// Text held as bytes of an encoding (ANSI unless given).
class TStringStream : public TBytesStream {
public:
    TStringStream();
    explicit TStringStream(const String& AString);
    TStringStream(const String& AString, TEncoding* AEncoding, bool AOwnsEncoding = false);
    explicit TStringStream(const TBytes& ABytes);   // encoding: from the BOM, else ANSI
    ~TStringStream() override;

    String DataString() const;                  // the whole content decoded
    String ReadString(int64_t Count);           // Count bytes from the position, decoded
    void WriteString(const String& AString);    // encoded at the position
    TEncoding* Encoding() const { return FEncoding; }

private:
    TEncoding* FEncoding;
    bool FOwnsEncoding;
};

} // namespace rtl
