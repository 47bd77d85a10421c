// tags/ID3v2Edit.h: one change of a file that holds an ID3v2 tag, worked out before anything is
// written: which bytes are replaced, what comes in their place and which size fields change. The same
// edit is carried out in place, in a stream, or into a replacement file. Internal to the tag library.
#pragma once
#include "rtl/System.h"
#include "tags/SafeFile.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace rtl { class TStream; }

namespace tags {

class TReplacementFile;

// A size field or pointer: its offset lies before the replaced bytes, so it is the same in the old and
// the new file.
using TFieldPatch = TFilePatch;

struct TTagEdit {
    int64_t CutStart = 0;              // the old bytes [CutStart, CutEnd) are replaced by:
    int64_t CutEnd = 0;
    rtl::TBytes Head;                  // a pad byte, a chunk header
    uint32_t TagSize = 0;              // the tag, unpadded
    uint32_t Padding = 0;              // its padding
    uint64_t Tail = 0;                 // zero bytes after the tag (the rest of a chunk, a pad byte)
    std::vector<TFieldPatch> Patches;  // container sizes and pointers

    int64_t NewLength() const { return int64_t(Head.size()) + TagSize + Padding + int64_t(Tail); }
    bool SameLength() const { return NewLength() == CutEnd - CutStart; }
};

// Writes TagSize + Padding bytes at the stream's position; returns a unit result (0 written).
using TTagBodyWriter = std::function<int(rtl::TStream& Stream, uint32_t Padding)>;

// Kinds of chunked containers.
enum class TChunkForm { WAV, RF64, AIFF };

// Planners read the stream from 0 and return 0 or a unit result; nothing is written.
int PlanAppendChunk(TChunkForm Form, rtl::TStream& Stream, uint32_t TagSize, uint32_t Padding, TTagEdit& Edit);
int PlanResizeChunk(TChunkForm Form, rtl::TStream& Stream, uint32_t TagSize, uint32_t OldTagSize, uint32_t Padding,
                    TTagEdit& Edit);
int PlanDSFTag(rtl::TStream& Stream, uint32_t TagSize, TTagEdit& Edit);
int PlanDFFChunk(rtl::TStream& Stream, uint32_t TagSize, TTagEdit& Edit);

// An edit at the file's very end (a chunk appended there, the last chunk resized, a DSF tail): written
// in place, the new bytes and then the container's fields, with the old ones put back when a step fails.
bool IsTailEdit(const TTagEdit& Edit, int64_t FileSize);
int ApplyTailEditInPlace(const TTagEdit& Edit, int Handle, const TTagBodyWriter& Body);

// Carries the edit out on the stream itself: in place when the length stays, else the bytes after the
// cut are held (in memory, or in a new file beside HoldBeside when it is given) and put back behind the
// new bytes. Leaves the stream after the new bytes; raises on failure.
int ApplyEditToStream(const TTagEdit& Edit, rtl::TStream& Stream, const TTagBodyWriter& Body,
                      const String& HoldBeside = {});
// Writes the whole edited file into Out, copying the unchanged bytes from the file behind SourceHandle.
// Raises on failure; returns the body writer's result.
int WriteEditedFile(const TTagEdit& Edit, int SourceHandle, int64_t SourceSize, TReplacementFile& Out,
                    const TTagBodyWriter& Body);

} // namespace tags
