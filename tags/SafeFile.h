// tags/SafeFile.h: replacing a file as a whole without ever losing it: the new contents go into a new
// file beside it (a unique name, created exclusively), which is flushed and renamed over the original.
// Internal to the tag library.
#pragma once
#include "rtl/Streams.h"

#include <functional>
#include <vector>

namespace tags {

using rtl::String;

// The steps of a replacement and of a tail written in place; tests make one of them fail through the hook.
enum class TFileStep { Create, Write, Flush, Rename, Cut };
using TFileFaultHook = std::function<bool(TFileStep Step)>;   // true: the step fails
void SetFileFaultHook(TFileFaultHook Hook);

class TReplacementFile : public rtl::THandleStream {
public:
    // Creates the new file in Target's folder with Target's mode (or the default one for a new file);
    // raises rtl::EFCreateError.
    explicit TReplacementFile(const String& Target);
    ~TReplacementFile() override;   // deletes the new file unless it was committed
    TReplacementFile(const TReplacementFile&) = delete;
    TReplacementFile& operator=(const TReplacementFile&) = delete;

    int64_t Write(const void* Buffer, int64_t Count) override;
    using rtl::THandleStream::Write;
    // Copies Count bytes of the file behind Handle, from Offset on, to the position; raises on a short copy.
    void CopyFromHandle(int Handle, int64_t Offset, int64_t Count);
    // Flushes the new file to disk and renames it over the target; raises rtl::EWriteError on failure,
    // the target then being untouched.
    void Commit();
    const String& FileName() const { return FFileName; }

private:
    String FTarget;
    String FFileName;
    bool FCommitted = false;
};

// Bytes to write at an offset before the tail (a container's size fields).
struct TFilePatch {
    int64_t Offset = 0;
    rtl::TBytes Bytes;
};

// Writes Tail over the file behind Handle (open for reading and writing) from Start to its end, in place,
// then the patches: no other byte before Start is written. The room a longer tail needs is reserved
// first; when writing, flushing or cutting the file to its new end fails, the old tail and the old bytes
// under the patches are put back and rtl::EWriteError is raised.
void WriteTailInPlace(int Handle, int64_t Start, const rtl::TBytes& Tail, const std::vector<TFilePatch>& Patches = {});

// Writes Head over the first OldSize bytes of the file behind Handle (open for reading and writing); a
// longer Head first gets its extra bytes (whole blocks of the file system) inserted at the start, so
// nothing behind the old head is moved or copied. False, the file untouched, where the file system
// cannot insert. When writing or flushing fails, the inserted room is taken out, the old head put back
// and rtl::EWriteError raised.
bool WriteHeadInPlace(int Handle, int64_t OldSize, const rtl::TBytes& Head);

// The size a head of OldSize bytes must reach to hold Needed bytes, the rest filled by one padding
// element of at least PadMin bytes: OldSize when it fits (exactly or with padding), else OldSize plus
// whole blocks of the file system behind Handle.
int64_t InPlaceHeadSize(int Handle, int64_t Needed, int64_t OldSize, int64_t PadMin);

} // namespace tags
