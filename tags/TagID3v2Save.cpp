// tags/TagID3v2Save.cpp: writing a tag back, into a stream, a file or a container inside either.
#include "tags/TagID3v2.h"

#include "rtl/Files.h"
#include "tags/BufferedStream.h"
#include "tags/ID3v2Containers.h"
#include "tags/ID3v2ContainerWriters.h"
#include "tags/ID3v2Edit.h"
#include "tags/SafeFile.h"

#include <algorithm>
#include <cstring>

namespace tags {

namespace {

constexpr int64_t MaxTagBody = 0x0FFFFFFF;   // what a synchsafe size can hold

void WriteBE32(rtl::TStream& Stream, uint32_t Value)
{
    const uint8_t b[4] = {uint8_t(Value >> 24), uint8_t(Value >> 16), uint8_t(Value >> 8), uint8_t(Value)};
    Stream.WriteBuffer(b, 4);
}

void WriteZeroPadding(rtl::TStream& Stream, int64_t Count)
{
    static const uint8_t zeros[4096] = {};
    while (Count > 0) {
        const int64_t n = std::min<int64_t>(Count, sizeof zeros);
        Stream.WriteBuffer(zeros, n);
        Count -= n;
    }
}

// The size of the tag that starts at the position, footer included (0: no "ID3" there); the position is kept.
int64_t ReadExistingTagSize(rtl::TStream& Stream)
{
    const int64_t size = ID3v2TagSizeAt(Stream);
    if (size == 0) return 0;
    // a version 4 footer belongs to the tag: left behind it would stand in front of the audio
    uint8_t h[6];
    ReadZeroFilled(Stream, h, 6);
    Stream.Seek(-6, rtl::soCurrent);
    return size + (h[3] == 4 && (h[5] & 0x10) ? 10 : 0);
}

} // namespace

bool TID3v2Tag::WritesFrame(int FrameIndex) const
{
    const TID3v2Frame& f = *Frames[FrameIndex];
    return ValidFrameID(f.ID) && f.Stream->Size() > 0;
}

uint32_t TID3v2Tag::FullFrameSize(int FrameIndex) const
{
    const TID3v2Frame& f = *Frames[FrameIndex];
    uint32_t size = uint32_t(f.Stream->Size());
    if (MajorVersion == 3) {
        // The data length goes with compression only: version 3 has no flag that would announce it alone.
        size += (f.Compressed ? 4 : 0) + (f.Encrypted ? 1 : 0) + (f.GroupingIdentity ? 1 : 0);
    } else if (MajorVersion == 4) {
        size += (f.GroupingIdentity ? 1 : 0) + (f.Encrypted ? 1 : 0) + (f.DataLengthIndicator ? 4 : 0);
    }
    return size;
}

int64_t TID3v2Tag::CalculateTagSize(int64_t _PaddingSize) const
{
    int64_t size = 10 + _PaddingSize;
    for (int i = 0; i < FrameCount(); ++i)
        if (WritesFrame(i)) size += 10 + FullFrameSize(i);
    return size;
}

int64_t TID3v2Tag::CalculateTotalFramesSize() const
{
    int64_t size = 0;
    for (const auto& f : Frames)
        if (ValidFrameID(f->ID)) size += f->Stream->Size();
    return size;
}

bool TID3v2Tag::WriteFrames(rtl::TStream& Stream)
{
    try {
        for (int i = 0; i < FrameCount(); ++i) {
            if (!WritesFrame(i)) continue;
            TID3v2Frame& f = *Frames[i];
            Stream.WriteBuffer(f.ID.data(), 4);
            const uint32_t size = FullFrameSize(i);
            if (MajorVersion == 3) {
                WriteBE32(Stream, size);
                f.EncodeFlags3();
                const uint8_t flags[2] = {uint8_t(f.Flags >> 8), uint8_t(f.Flags)};
                Stream.WriteBuffer(flags, 2);
                if (f.Compressed) WriteBE32(Stream, f.DataLengthIndicatorValue);
                if (f.Encrypted) Stream.WriteBuffer(&f.EncryptionMethod, 1);
                if (f.GroupingIdentity) Stream.WriteBuffer(&f.GroupIdentifier, 1);
            } else {
                uint8_t b[4];
                EncodeSynchsafe(size, b);
                Stream.WriteBuffer(b, 4);
                f.EncodeFlags4();
                const uint8_t flags[2] = {uint8_t(f.Flags >> 8), uint8_t(f.Flags)};
                Stream.WriteBuffer(flags, 2);
                if (f.GroupingIdentity) Stream.WriteBuffer(&f.GroupIdentifier, 1);
                if (f.Encrypted) Stream.WriteBuffer(&f.EncryptionMethod, 1);
                if (f.DataLengthIndicator) {
                    EncodeSynchsafe(f.DataLengthIndicatorValue, b);
                    Stream.WriteBuffer(b, 4);
                }
            }
            Stream.WriteBuffer(f.Stream->Memory(), f.Stream->Size());
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

int TID3v2Tag::SaveTagToStream(rtl::TStream& Stream, uint32_t PaddingSizeToWrite)
{
    try {
        if (MajorVersion == 2) MajorVersion = 3;
        if (MajorVersion != 3 && MajorVersion != 4) return ID3V2LIBRARY_ERROR_NOT_SUPPORTED_VERSION;
        PaddingSize = PaddingSizeToWrite;
        const int64_t body = CalculateTagSize(PaddingSize) - 10;
        if (body > MaxTagBody) return ID3V2LIBRARY_ERROR;
        uint8_t h[10] = {'I', 'D', '3', MajorVersion, MinorVersion, EncodeHeaderFlags(), 0, 0, 0, 0};
        EncodeSynchsafe(uint32_t(body), h + 6);
        std::memcpy(&CodedSize, h + 6, 4);
        try {
            Stream.WriteBuffer(h, 10);
        } catch (const std::exception&) {
            return ID3V2LIBRARY_ERROR_WRITING_FILE;
        }
        if (!WriteFrames(Stream)) return ID3V2LIBRARY_ERROR_WRITING_FILE;
        try {
            WriteZeroPadding(Stream, PaddingSizeToWrite);
        } catch (const std::exception&) {
            return ID3V2LIBRARY_ERROR_WRITING_FILE;
        }
        return ID3V2LIBRARY_SUCCESS;
    } catch (...) {
        return ID3V2LIBRARY_ERROR;
    }
}

namespace {

// Where a tag of TagSize bytes goes in the stream, read from position 0. Plain is set for a file that
// is not a container (only such a file needs exclusive access for a rebuild).
int PlanTagSave(rtl::TStream& s, uint32_t TagSize, uint32_t PaddingToWrite, TTagEdit& Edit, bool& Plain)
{
    Plain = false;
    auto chunked = [&](TChunkForm Form, uint32_t (*Find)(rtl::TStream&)) {
        const uint32_t chunk = Find(s);
        if (chunk == 0) return PlanAppendChunk(Form, s, TagSize, PaddingToWrite, Edit);
        const int64_t data = s.Position();
        const int64_t old = std::min<int64_t>(ReadExistingTagSize(s), chunk);
        // A chunk whose data is no tag is replaced, or each save would add a chunk nobody reads.
        if (old == 0) return PlanResizeChunk(Form, s, TagSize, chunk, PaddingToWrite, Edit);
        if (old >= TagSize && old - TagSize <= PaddingToWrite) {
            Edit = TTagEdit();
            Edit.CutStart = data;
            Edit.CutEnd = data + old;
            Edit.TagSize = TagSize;
            Edit.Padding = uint32_t(old - TagSize);
            return 0;
        }
        return PlanResizeChunk(Form, s, TagSize, uint32_t(old), PaddingToWrite, Edit);
    };
    auto at0 = [&]() -> rtl::TStream& { s.SetPosition(0); return s; };
    if (IsRIFFStream(at0())) {
        if (!CheckWAVLayout(s)) return ID3V2LIBRARY_ERROR_DOESNT_FIT;
        return chunked(TChunkForm::WAV, FindWAVID3v2Chunk);
    }
    if (IsAIFFStream(at0())) return chunked(TChunkForm::AIFF, FindAIFFID3v2Chunk);
    if (IsRF64Stream(at0())) {
        if (!CheckRF64Layout(s)) return ID3V2LIBRARY_ERROR_DOESNT_FIT;
        return chunked(TChunkForm::RF64, FindRF64ID3v2Chunk);
    }
    if (IsDSFStream(at0())) {
        if (!CheckDSFLayout(s)) return ID3V2LIBRARY_ERROR_DOESNT_FIT;
        return PlanDSFTag(s, TagSize, Edit);
    }
    if (IsDFFStream(at0())) {
        if (!CheckDFFLayout(s)) return ID3V2LIBRARY_ERROR_DOESNT_FIT;
        return PlanDFFChunk(s, TagSize, Edit);
    }
    // Any other file: only a tag at its very start is the old one.
    Plain = true;
    s.SetPosition(0);
    const int64_t old = std::min(ReadExistingTagSize(s), s.Size());
    Edit = TTagEdit();
    Edit.CutEnd = old;
    Edit.TagSize = TagSize;
    Edit.Padding = old >= TagSize && old - TagSize <= PaddingToWrite ? uint32_t(old - TagSize) : PaddingToWrite;
    return 0;
}

} // namespace

int TID3v2Tag::SaveToFile(const String& FileName, bool Buffered)
{
    if (Frames.empty()) return ID3V2LIBRARY_ERROR_EMPTY_TAG;
    if (MajorVersion == 2) MajorVersion = 3;
    if (CalculateTotalFramesSize() == 0) return ID3V2LIBRARY_ERROR_EMPTY_FRAMES;
    if (MajorVersion != 3 && MajorVersion != 4) return ID3V2LIBRARY_ERROR_NOT_SUPPORTED_VERSION;
    const int64_t tagSize = CalculateTagSize(0);
    if (tagSize - 10 + PaddingToWrite > MaxTagBody) return ID3V2LIBRARY_ERROR;

    bool mayRebuild = true;
    std::unique_ptr<rtl::TFileStream> file;
    try {
        if (rtl::FileExists(FileName)) {
            try {
                rtl::TFileStream probe(FileName, rtl::fmOpenReadWrite | rtl::fmShareExclusive);
            } catch (const std::exception&) {
                mayRebuild = false;
            }
            file = std::make_unique<rtl::TFileStream>(FileName, rtl::fmOpenReadWrite | rtl::fmShareDenyWrite);
        } else {
            file = std::make_unique<rtl::TFileStream>(FileName, rtl::fmCreate | rtl::fmShareDenyWrite);
        }
    } catch (const std::exception&) {
        return ID3V2LIBRARY_ERROR_OPENING_FILE;
    }
    const TTagBodyWriter body = [this](rtl::TStream& s, uint32_t Padding) { return SaveTagToStream(s, Padding); };

    TTagEdit edit;
    bool plain = false;
    {
        std::unique_ptr<TBufferedStream> buffer;
        if (Buffered) buffer = std::make_unique<TBufferedStream>(*file);
        rtl::TStream& s = buffer ? static_cast<rtl::TStream&>(*buffer) : *file;
        try {
            if (const int r = PlanTagSave(s, uint32_t(tagSize), PaddingToWrite, edit, plain)) return r;
        } catch (const std::exception&) {
            return ID3V2LIBRARY_ERROR_READING_FILE;
        }
        if (edit.SameLength()) {
            try {
                const int r = ApplyEditToStream(edit, s, body);
                if (buffer) buffer->Flush();
                return r;
            } catch (const std::exception&) {
                return ID3V2LIBRARY_ERROR_WRITING_FILE;
            }
        }
    }

    // A tag behind the audio is written in place, the audio untouched.
    if (!plain && IsTailEdit(edit, file->Size())) {
        try {
            return ApplyTailEditInPlace(edit, file->Handle(), body);
        } catch (const std::exception&) {
            return ID3V2LIBRARY_ERROR_WRITING_FILE;
        }
    }
    // The file changes length: its new contents go into a new file that then replaces it.
    if (plain && !mayRebuild) return ID3V2LIBRARY_ERROR_FILE_IN_USE;
    std::unique_ptr<TReplacementFile> out;
    try {
        out = std::make_unique<TReplacementFile>(FileName);
    } catch (const std::exception&) {
        return plain ? ID3V2LIBRARY_ERROR : ID3V2LIBRARY_ERROR_WRITING_FILE;
    }
    try {
        const int r = WriteEditedFile(edit, file->Handle(), file->Size(), *out, body);
        if (r != 0) return r;
        file.reset();
        out->Commit();
    } catch (const std::exception&) {
        return ID3V2LIBRARY_ERROR_WRITING_FILE;
    }
    return ID3V2LIBRARY_SUCCESS;
}

int TID3v2Tag::SaveToStream(rtl::TStream& Stream, bool Buffered)
{
    if (Frames.empty()) return ID3V2LIBRARY_ERROR_EMPTY_TAG;
    if (MajorVersion == 2) MajorVersion = 3;
    if (CalculateTotalFramesSize() == 0) return ID3V2LIBRARY_ERROR_EMPTY_FRAMES;
    if (MajorVersion != 3 && MajorVersion != 4) return ID3V2LIBRARY_ERROR_NOT_SUPPORTED_VERSION;
    const int64_t tagSize = CalculateTagSize(0);
    if (tagSize - 10 + PaddingToWrite > MaxTagBody) return ID3V2LIBRARY_ERROR;
    int result;
    {
        std::unique_ptr<TBufferedStream> buffer;
        if (Buffered) buffer = std::make_unique<TBufferedStream>(Stream);
        rtl::TStream& s = buffer ? static_cast<rtl::TStream&>(*buffer) : Stream;
        TTagEdit edit;
        bool plain = false;
        try {
            result = PlanTagSave(s, uint32_t(tagSize), PaddingToWrite, edit, plain);
        } catch (const std::exception&) {
            result = ID3V2LIBRARY_ERROR_READING_FILE;
        }
        if (result == 0) {
            try {
                result = ApplyEditToStream(edit, s, [this](rtl::TStream& t, uint32_t Padding) {
                    return SaveTagToStream(t, Padding);
                });
                if (buffer) buffer->Flush();
            } catch (const std::exception&) {
                result = ID3V2LIBRARY_ERROR_WRITING_FILE;
            }
        }
    }
    Stream.SetPosition(0);
    return result;
}

namespace {

int SaveWithPlan(TID3v2Tag& Tag, rtl::TStream& Stream, uint32_t TagSize,
                 int (*Planner)(rtl::TStream&, uint32_t, TTagEdit&))
{
    try {
        TTagEdit edit;
        Planner(Stream, TagSize, edit);
        return ApplyEditToStream(edit, Stream, [&Tag](rtl::TStream& s, uint32_t Padding) {
            return Tag.SaveTagToStream(s, Padding);
        });
    } catch (const std::exception&) {
        return ID3V2LIBRARY_ERROR;
    }
}

} // namespace

int TID3v2Tag::SaveDSFID3v2Tag(rtl::TStream& Stream, uint32_t TagSize)
{
    return SaveWithPlan(*this, Stream, TagSize, PlanDSFTag);
}

int TID3v2Tag::SaveDFFID3v2Chunk(rtl::TStream& Stream, uint32_t TagSize)
{
    return SaveWithPlan(*this, Stream, TagSize, PlanDFFChunk);
}

} // namespace tags
