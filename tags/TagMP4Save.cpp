// tags/TagMP4Save.cpp: writing the items and Xtra attributes back into an MP4 file. The new moov goes in
// place when the old one and the free atoms after it have room for it, or when they end the file; otherwise
// the file is written anew through a replacement file, with the chunk offsets of every track moved by the
// growth of moov.
#include "tags/TagMP4.h"
#include "tags/TagMP4Atoms.h"

#include "tags/BufferedStream.h"
#include "tags/SafeFile.h"
#include "tags/TagValues.h"

#include "rtl/Files.h"
#include "rtl/SysUtils.h"


#include <cstdio>
#include <cstring>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace tags {

using namespace mp4;

namespace {

constexpr uint64_t MaxAtom32 = 0xFFFFFFFFu;

// What a save finds in the file and what it will write.
struct TPlan {
    bool Empty = false;           // a new file: an 8-byte ftyp comes first
    int64_t MoovAt = -1;          // the old moov's offset, or -1
    int64_t Room = 0;             // the old moov and the free atoms right after it
    rtl::TBytes MoovKept, UdtaKept, MetaKept;
    rtl::TBytes Moov;             // the new moov up to the padding's body
    int64_t PaddingZeros = 0;     // the padding's body, written as zeros after Moov
    rtl::TBytes Xtra;             // written after the padding
    int64_t NewSize = 0;          // the whole new moov
    bool InPlace = false;
    bool AtEnd = false;           // nothing follows the old moov and its free atoms (or there is no moov)
};

void PutHeader(rtl::TBytes& Out, const char* Type, uint64_t Size)
{
    PutBE32(Out, uint32_t(Size));
    Out.insert(Out.end(), Type, Type + 4);
}

void Append(rtl::TBytes& Out, const rtl::TBytes& Bytes) { Out.insert(Out.end(), Bytes.begin(), Bytes.end()); }

rtl::TBytes ReadWhole(rtl::TStream& S, const TAtomHeader& H)
{
    rtl::TBytes bytes(static_cast<size_t>(H.Size));
    S.SetPosition(H.Offset);
    S.ReadBuffer(bytes.data(), int64_t(bytes.size()));
    return bytes;
}

// Collects the children of the old moov that stay, walking into udta and meta.
void CollectKept(rtl::TStream& S, const TAtomHeader& Moov, TPlan& Plan)
{
    const int64_t size = S.Size();
    auto walk = [&](int64_t End, auto&& Visit) {
        TAtomHeader h;
        while (S.Position() < std::min(End, size) && ReadAtomHeader(S, h, true)) {
            Visit(h);
            S.SetPosition(mp4::End(h));
        }
    };
    S.SetPosition(Moov.Offset + Moov.HeaderLength);
    walk(End(Moov), [&](const TAtomHeader& c) {
        if (AtomNameMatchesText(c.Type, "free")) return;
        if (!AtomNameMatchesText(c.Type, "udta")) {
            Append(Plan.MoovKept, ReadWhole(S, c));
            return;
        }
        S.SetPosition(c.Offset + c.HeaderLength);
        walk(End(c), [&](const TAtomHeader& u) {
            if (AtomNameMatchesText(u.Type, "Xtra") || AtomNameMatchesText(u.Type, "free")) return;
            if (!AtomNameMatchesText(u.Type, "meta")) {
                Append(Plan.UdtaKept, ReadWhole(S, u));
                return;
            }
            S.SetPosition(u.Offset + u.HeaderLength + 4);
            walk(End(u), [&](const TAtomHeader& m) {
                if (AtomNameMatchesText(m.Type, "ilst") || AtomNameMatchesText(m.Type, "free")) return;
                Append(Plan.MetaKept, ReadWhole(S, m));
            });
        });
    });
}

// Moves every chunk offset that points behind the old moov and its free atoms by Delta, in the tracks of
// the kept moov children. Every table is checked; a table that does not hold its count of entries, or an
// offset that would leave its field's range, refuses the save before anything is written.
int AdjustChunkOffsets(rtl::TBytes& Kept, int64_t OldEnd, int64_t Delta)
{
    int result = MP4TAGLIBRARY_SUCCESS;
    auto fail = [&](int Code) {
        if (result == MP4TAGLIBRARY_SUCCESS) result = Code;
    };
    auto walk = [&](size_t From, size_t To, auto&& Self) -> void {
        size_t at = From;
        while (To - at >= 8) {
            uint64_t size = BE32(&Kept[at]);
            size_t header = 8;
            if (size == 1 && To - at >= 16) {
                size = BE64(&Kept[at + 8]);
                header = 16;
            }
            if (size < header || size > To - at) break;
            const uint8_t* type = &Kept[at + 4];
            const size_t body = at + header;
            const size_t end = at + size_t(size);
            if (!std::memcmp(type, "trak", 4) || !std::memcmp(type, "mdia", 4) || !std::memcmp(type, "minf", 4) ||
                !std::memcmp(type, "stbl", 4)) {
                Self(body, end, Self);
            } else if (!std::memcmp(type, "stco", 4) || !std::memcmp(type, "co64", 4)) {
                const bool wide = type[0] == 'c';
                const int code = wide ? MP4TAGLIBRARY_ERROR_UPDATE_CO64 : MP4TAGLIBRARY_ERROR_UPDATE_STCO;
                const size_t width = wide ? 8 : 4;
                if (end - body < 8) {
                    fail(code);
                } else {
                    const uint64_t count = BE32(&Kept[body + 4]);
                    if (count > (end - body - 8) / width) {
                        fail(code);
                    } else {
                        for (uint64_t i = 0; i < count; ++i) {
                            uint8_t* p = &Kept[body + 8 + size_t(i) * width];
                            const uint64_t old = wide ? BE64(p) : BE32(p);
                            if (int64_t(old) < OldEnd && !(wide && old > uint64_t(INT64_MAX))) continue;
                            const int64_t moved = int64_t(old) + Delta;
                            if (moved < 0 || (!wide && uint64_t(moved) > MaxAtom32)) {
                                fail(code);
                                continue;
                            }
                            for (int b = int(width) - 1; b >= 0; --b) p[width - 1 - size_t(b)] = uint8_t(uint64_t(moved) >> (8 * b));
                        }
                    }
                }
            }
            at = end;
        }
    };
    if (Delta != 0) walk(0, Kept.size(), walk);
    return result;
}

// Reads the old file's structure and builds the new moov; a unit result (0 to go on).
int Plan(TMP4Tag& Tag, rtl::TStream& S, bool KeepPadding, TPlan& P)
{
    const int64_t size = S.Size();
    P.Empty = size == 0;
    if (!P.Empty) {
        TAtomHeader first;
        S.SetPosition(0);
        try {
            ReadAtomHeader(S, first, false);
        } catch (const std::exception&) {
        }
        if (!AtomNameMatchesText(first.Type, "ftyp")) return MP4TAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT;
        S.SetPosition(0);
        TAtomHeader h;
        while (S.Position() < size && ReadAtomHeader(S, h, true)) {
            if (P.MoovAt < 0 && AtomNameMatchesText(h.Type, "moov")) {
                P.MoovAt = h.Offset;
                P.Room = int64_t(h.Size);
                const TAtomHeader moov = h;
                SkipBody(S, h);
                while (ReadAtomHeader(S, h, true) && AtomNameMatchesText(h.Type, "free")) {
                    P.Room += int64_t(h.Size);
                    SkipBody(S, h);
                }
                CollectKept(S, moov, P);
                break;
            }
            SkipBody(S, h);
        }
    }

    int64_t t = Tag.CalculateSize();
    if (t == 0) t = 8;
    rtl::TMemoryStream xtra;
    if (Tag.CreateXtraAtomStream(xtra)) P.Xtra.assign(Bytes(xtra), Bytes(xtra) + SizeOf(xtra));
    const auto metaKept = int64_t(P.MetaKept.size()), udtaKept = int64_t(P.UdtaKept.size()),
               moovKept = int64_t(P.MoovKept.size()), x = int64_t(P.Xtra.size());
    const int64_t n = t + metaKept + 12 + udtaKept + 8 + moovKept + 8;

    int64_t padding = 0;
    P.InPlace = false;
    if (KeepPadding && P.MoovAt >= 0 && n + x == P.Room) {
        P.InPlace = true;
    } else if (KeepPadding && P.MoovAt >= 0 && P.Room > n + x + 9 && uint64_t(P.Room) <= MaxAtom32) {
        padding = P.Room - n - x;
        P.InPlace = true;
    } else {
        padding = Tag.PaddingToWrite >= 8 ? Tag.PaddingToWrite : 0;
    }
    P.NewSize = n + x + padding;
    // The metadata branch keeps 32-bit atom sizes.
    if (uint64_t(P.NewSize) > MaxAtom32) return MP4TAGLIBRARY_ERROR;

    P.AtEnd = !P.Empty && (P.MoovAt < 0 || P.MoovAt + P.Room == size);
    if (!P.InPlace && P.MoovAt >= 0) {
        const int64_t oldEnd = P.MoovAt + P.Room;
        const int r = AdjustChunkOffsets(P.MoovKept, oldEnd, P.NewSize - P.Room);
        if (r != MP4TAGLIBRARY_SUCCESS) return r;
    }

    rtl::TBytes& m = P.Moov;
    PutHeader(m, "moov", uint64_t(P.NewSize));
    Append(m, P.MoovKept);
    PutHeader(m, "udta", uint64_t(P.NewSize - moovKept - 8));
    Append(m, P.UdtaKept);
    PutHeader(m, "meta", uint64_t(t + metaKept + 12 + padding));
    m.push_back(Tag.Version);
    m.insert(m.end(), {0, 0, 0});
    Append(m, P.MetaKept);
    PutHeader(m, "ilst", uint64_t(t));
    rtl::TMemoryStream items;
    for (const auto& atom : Tag.Atoms)
        if (!atom->Write(items)) return MP4TAGLIBRARY_ERROR;
    m.insert(m.end(), Bytes(items), Bytes(items) + SizeOf(items));
    if (padding > 0) PutHeader(m, "free", uint64_t(padding));
    P.PaddingZeros = padding > 0 ? padding - 8 : 0;
    return MP4TAGLIBRARY_SUCCESS;
}

void WriteZeros(rtl::TStream& Out, int64_t Count)
{
    static const uint8_t zeros[65536] = {};
    while (Count > 0) {
        const int64_t n = std::min<int64_t>(Count, sizeof zeros);
        Out.WriteBuffer(zeros, n);
        Count -= n;
    }
}

void WriteMoov(rtl::TStream& Out, const TPlan& P)
{
    Out.WriteBuffer(P.Moov.data(), int64_t(P.Moov.size()));
    WriteZeros(Out, P.PaddingZeros);
    if (!P.Xtra.empty()) Out.WriteBuffer(P.Xtra.data(), int64_t(P.Xtra.size()));
}

void CopyRange(rtl::TStream& From, int64_t Offset, int64_t Count, rtl::TStream& To)
{
    From.SetPosition(Offset);
    if (Count > 0) To.CopyFrom(From, Count);
}

} // namespace

namespace {

// Writes the planned moov into a stream: in place, or with the rest of the stream moved behind it.
void WriteToStream(const TPlan& P, rtl::TStream& Target)
{
    if (P.InPlace) {
        Target.SetPosition(P.MoovAt);
        WriteMoov(Target, P);
        return;
    }
    const int64_t size = Target.Size();
    const int64_t moovAt = P.MoovAt >= 0 ? P.MoovAt : size;
    const int64_t restAt = P.MoovAt >= 0 ? P.MoovAt + P.Room : size;
    // The rest of the stream waits in a temporary file, so memory stays bounded whatever its size.
    std::unique_ptr<FILE, int (*)(FILE*)> spool(std::tmpfile(), &std::fclose);
    if (!spool) throw rtl::EFCreateError(u"Cannot create a temporary file"_s);
    rtl::THandleStream rest(fileno(spool.get()));
    CopyRange(Target, restAt, size - restAt, rest);
    Target.SetPosition(moovAt);
    if (P.Empty) Target.WriteBuffer("\0\0\0\x08" "ftyp", 8);
    WriteMoov(Target, P);
    CopyRange(rest, 0, rest.Size(), Target);
    Target.SetSize(Target.Position());
}

// A moov that ends the file (with its free atoms) is written where it stands, as nothing behind it moves:
// the space it grows by is reserved first, so a full disk fails before a byte of the file changes, and
// the old moov is put back when a later step fails.
void WriteAtEnd(const TPlan& P, const String& FileName)
{
    rtl::TFileStream file(FileName, rtl::fmOpenReadWrite | rtl::fmShareDenyWrite);
    rtl::TMemoryStream tail;
    WriteMoov(tail, P);
    WriteTailInPlace(file.Handle(), P.MoovAt >= 0 ? P.MoovAt : file.Size(), rtl::TBytes(Bytes(tail), Bytes(tail) + SizeOf(tail)));
}

// Writes the planned moov into the file: in place, or into a new file renamed over the old one, so that a
// failure leaves the old file as it was.
void WriteToFile(const TPlan& P, const String& FileName)
{
    if (P.InPlace) {
        rtl::TFileStream file(FileName, rtl::fmOpenReadWrite | rtl::fmShareDenyWrite);
        file.SetPosition(P.MoovAt);
        WriteMoov(file, P);
        return;
    }
    if (P.AtEnd) return WriteAtEnd(P, FileName);
    std::unique_ptr<rtl::TFileStream> source;
    if (!P.Empty) source = std::make_unique<rtl::TFileStream>(FileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    const int64_t size = source ? source->Size() : 0;
    const int64_t moovAt = P.MoovAt >= 0 ? P.MoovAt : size;
    const int64_t restAt = P.MoovAt >= 0 ? P.MoovAt + P.Room : size;
    TReplacementFile out(FileName);
    if (P.Empty) out.WriteBuffer("\0\0\0\x08" "ftyp", 8);
    if (source) out.CopyFromHandle(source->Handle(), 0, moovAt);
    WriteMoov(out, P);
    if (source) out.CopyFromHandle(source->Handle(), restAt, size - restAt);
    source.reset();
    out.Commit();
}

} // namespace

int TMP4Tag::SaveToStream(rtl::TStream& MP4Stream, bool Buffered, bool KeepPadding, const String& MP4FileName)
{
    FLoaded = false;
    FileName = MP4FileName;
    Flags = 0;
    TPlan plan;
    if (Buffered) {
        TBufferedStream buffered(MP4Stream);
        if (const int r = Plan(*this, buffered, KeepPadding, plan)) return r;
    } else if (const int r = Plan(*this, MP4Stream, KeepPadding, plan)) {
        return r;
    }
    WriteToStream(plan, MP4Stream);
    return MP4TAGLIBRARY_SUCCESS;
}

// The size limit that chose memory or files for the moved data no longer matters: the data is copied
// from file to file and never held whole.
int TMP4Tag::SaveToFile(const String& MP4FileName, bool KeepPadding, int64_t)
{
    FLoaded = false;
    FileName = MP4FileName;
    Flags = 0;
    try {
        TPlan plan;
        if (rtl::FileExists(MP4FileName)) {
            rtl::TFileStream file(MP4FileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
            TBufferedStream buffered(file);
            if (const int r = Plan(*this, buffered, KeepPadding, plan)) return r;
        } else {
            rtl::TMemoryStream none;
            Plan(*this, none, KeepPadding, plan);
        }
        WriteToFile(plan, MP4FileName);
        return MP4TAGLIBRARY_SUCCESS;
    } catch (const std::exception&) {
        return MP4TAGLIBRARY_ERROR_OPENING_FILE;
    }
}

int StripMP4TagsFromFile(const String& FileName, bool KeepPadding, uint32_t PaddingSize)
{
    if (!rtl::FileExists(FileName)) return MP4TAGLIBRARY_ERROR_OPENING_FILE;
    TMP4Tag tag;
    tag.PaddingToWrite = PaddingSize;
    return tag.SaveToFile(FileName, KeepPadding, 0xFA00000);
}

} // namespace tags
