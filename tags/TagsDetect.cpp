// tags/TagsDetect.cpp: what the tag front decides about a file before it writes: the container behind
// its first bytes, the formats its extension suggests, whether two names are one file; the mapping of
// every unit's results to the common codes, and stripping tags without a front.
#include "tags/Tags.h"

#include "tags/AudioInfo.h"
#include "tags/ID3v2Base.h"
#include "tags/ID3v2ContainerWriters.h"
#include "tags/TagAPEv2.h"
#include "tags/TagFlac.h"
#include "tags/TagID3v1.h"
#include "tags/TagMP4.h"
#include "tags/TagOggVorbisAndOpus.h"
#include "tags/TagWAV.h"
#include "tags/TagWMA.h"
#include "tags/WAVPackfile.h"

#include "rtl/DateUtils.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace tags {

// ---- result codes ----------------------------------------------------------------------------------

namespace {

enum TUnit { uAPEv2, uFlac, uID3v1, uID3v2, uMP4, uOgg, uWAV, uWMA };

constexpr int X = trcUnknownError;

// Row: the unit's result; column: the unit.
constexpr int ResultTable[13][8] = {
    /* 0 */ {0, 0, 0, 0, 0, 0, 0, 0},
    /* 1 */ {1, 1, X, 1, 1, 1, 1, 2},
    /* 2 */ {3, 3, X, 3, 3, 3, 3, 15},
    /* 3 */ {4, 4, 5, 4, 4, 4, 4, 16},
    /* 4 */ {5, 5, 6, 5, 5, 5, 5, 17},
    /* 5 */ {6, 6, 7, 6, 6, 6, 6, 18},
    /* 6 */ {7, 7, X, 7, 7, 7, 7, X},
    /* 7 */ {8, 9, X, 8, 13, 8, 8, X},
    /* 8 */ {9, 10, X, 9, 9, 9, 9, X},
    /* 9 */ {10, 14, X, 10, 10, 10, 10, X},
    /* 10 */ {X, X, X, 13, 14, 14, 13, X},
    /* 11 */ {X, X, X, 14, 19, X, 14, X},
    /* 12 */ {X, X, X, X, 20, X, X, X},
};

int MapResult(TUnit Unit, int Result)
{
    if (Result < 0 || Result >= int(std::size(ResultTable))) return trcUnknownError;
    return ResultTable[Result][Unit];
}

} // namespace

int MapAPEv2Result(int Result) { return MapResult(uAPEv2, Result); }
int MapFlacResult(int Result) { return MapResult(uFlac, Result); }
int MapID3v1Result(int Result) { return MapResult(uID3v1, Result); }
int MapID3v2Result(int Result) { return MapResult(uID3v2, Result); }
int MapMP4Result(int Result) { return MapResult(uMP4, Result); }
int MapOggResult(int Result) { return MapResult(uOgg, Result); }
int MapWAVResult(int Result) { return MapResult(uWAV, Result); }
int MapWMAResult(int Result) { return MapResult(uWMA, Result); }

// ---- container sniffing ----------------------------------------------------------------------------

namespace {

bool ReadAt(rtl::TStream& Stream, int64_t Offset, uint8_t* Buffer, int Count)
{
    Stream.SetPosition(Offset);
    return Stream.Read(Buffer, Count) == Count;
}

bool Is(const uint8_t* Bytes, const char* Signature, size_t Length = 4)
{
    return std::memcmp(Bytes, Signature, Length) == 0;
}

// Two sync bytes occur by chance inside other containers (an FLV's audio packets, video data): the
// header they start must be a real one, and the next frame must follow it where the file has room.
bool PlausibleMPEGFrame(rtl::TStream& Stream, int64_t Offset)
{
    const int64_t keep = Stream.Position();
    uint8_t h[4];
    const bool whole = ReadAt(Stream, Offset, h, 4);
    Stream.SetPosition(keep);
    if (!whole) return true;
    const TMPEGHeader first = DecodeMPEGHeaderValue(BE32(h));
    if (first.Version == tmpegvUnknown || first.Layer == tmpeglUnknown || first.SampleRate == 0 || (h[2] >> 4) == 15)
        return false;
    if (first.FrameSize <= 0) return true;   // free format: the frame length is not in the header
    const bool next = ReadAt(Stream, Offset + first.FrameSize, h, 4);
    Stream.SetPosition(keep);
    if (!next) return true;
    const TMPEGHeader second = DecodeMPEGHeaderValue(BE32(h));
    return h[0] == 0xFF && (h[1] & 0xE0) == 0xE0 && second.Version == first.Version && second.Layer == first.Layer &&
           second.SampleRate == first.SampleRate;
}

int SniffWithoutGuard(rtl::TStream& Stream)
{
    uint8_t b[10];
    int64_t s = 0;
    if (ReadAt(Stream, 0, b, 10) && Is(b, "ID3", 3)) s = 10 + int64_t(DecodeSynchsafe(b + 6));

    if (ReadAt(Stream, s, b, 4)) {
        if (Is(b, "RIFF")) return 9;
        if (Is(b, "RF64")) return 10;
        if (Is(b, "MAC", 3)) return 1;
        if (Is(b, "OFR ")) return 15;
        // Musepack only by its signature: the stream header of headerless versions 4 to 6 is too weak a
        // test (an AC-3 sync word reads as version 6); such files are known by their extension instead.
        if (Is(b, "MP+", 3) || Is(b, "MPCK")) return 16;
        if (Is(b, "fLaC")) return 2;
        if (Is(b, "DSD ")) return 14;
        if (Is(b, "FRM8") && ReadAt(Stream, s + 12, b, 4) && Is(b, "DSD ")) return 13;
    }

    if (ReadAt(Stream, s, b, 4) && Is(b, "OggS")) {
        if (ReadAt(Stream, s + 29, b, 4) && Is(b, "FLAC")) return 3;
        TOpusTag ogg;
        ogg.LoadFromStream(Stream);
        switch (ogg.Format) {
        case ofVorbis: return 7;
        case ofOpus: return 6;
        case ofTheora: return 8;
        default: break;
        }
    }

    if (ReadAt(Stream, s, b, 4) && Is(b, "FORM") && Stream.Read(b, 4) == 4 && Stream.Read(b, 4) == 4) {
        if (Is(b, "AIFF")) return 11;
        if (Is(b, "AIFC")) return 12;
    }

    if (ReadAt(Stream, s + 4, b, 4) && Is(b, "ftyp")) return 5;

    {
        Stream.SetPosition(0);
        TWAVPackfile wavPack;
        wavPack.LoadFromStream(Stream, 0);
        if (wavPack.FValid) return 17;
    }

    // A frame sync within about a kilobyte; the byte after an FF is consumed with its attempt.
    Stream.SetPosition(s);
    for (int attempt = 0; attempt < 1025; ++attempt) {
        uint8_t c = 0;
        if (Stream.Read(&c, 1) != 1 || c != 0xFF) continue;
        if (Stream.Read(&c, 1) != 1) continue;
        switch (c) {
        case 0xF2: case 0xF3: case 0xF9: case 0xFA: case 0xFB: case 0xFC: case 0xFD: case 0xE3:
            if (!PlausibleMPEGFrame(Stream, Stream.Position() - 2)) break;
            Stream.SetPosition(Stream.Position() - 2);
            return 4;
        default: break;
        }
    }
    return 0;
}

} // namespace

int SniffAudioFormat(rtl::TStream& Stream)
{
    try {
        return SniffWithoutGuard(Stream);
    } catch (...) {
        return 0;
    }
}

int SniffAudioFileFormat(const String& FileName)
{
    try {
        rtl::TFileStream stream(FileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
        return SniffAudioFormat(stream);
    } catch (...) {
        return 0;
    }
}

bool IsRawAC3File(const String& FileName)
{
    const String ext = rtl::UpperCase(rtl::ExtractFileExt(FileName));
    if (ext == u".AC3"_s || ext == u".EAC3"_s) return true;
    try {
        rtl::TFileStream stream(FileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
        uint8_t b[10];
        int64_t s = 0;
        if (ReadAt(stream, 0, b, 10) && Is(b, "ID3", 3)) s = 10 + int64_t(DecodeSynchsafe(b + 6));
        return ReadAt(stream, s, b, 2) && b[0] == 0x0B && b[1] == 0x77;
    } catch (...) {
        return false;
    }
}

TTagTypes TagTypesForExtension(const String& FileName)
{
    struct TRow { const char16_t* Extensions; TTagTypes Types; };
    static constexpr TRow Rows[] = {
        {u".WAV.WAVE.RF64.BWF", TagTypeBit(ttID3v2) | TagTypeBit(ttWAV)},
        {u".APE.MPC.WV.OFR", TagTypeBit(ttAPEv2)},
        {u".MP4.M4A.M4B.ALAC", TagTypeBit(ttMP4)},
        {u".WMA.WMV.ASF", TagTypeBit(ttWMA)},
        {u".FLAC.FLA.FLC.OGA", TagTypeBit(ttFlac)},
        {u".OGG.OPUS.OGV", TagTypeBit(ttOpusVorbis)},
        {u".MPG.MP1.MP2.MP3.MPA.AIFF.AIF.AIFC.AFC.DSF.DFF", TagTypeBit(ttID3v2)},
    };
    const String ext = rtl::UpperCase(rtl::ExtractFileExt(FileName));
    if (ext.size() > 1 && !ext.mid(1).contains(u'.')) {
        for (const TRow& row : Rows)
            if (String::fromUtf16(row.Extensions).split(u'.', Qt::SkipEmptyParts).contains(ext.mid(1))) return row.Types;
    }
    return TagTypeBit(ttAPEv2);
}

// ---- files -----------------------------------------------------------------------------------------

namespace {

// The absolute path with links resolved as far as the path exists: a file that is about to be made
// resolves through its folder.
String CanonicalPath(const String& FileName)
{
    const QFileInfo info(FileName);
    if (info.exists()) return info.canonicalFilePath();
    const String dir = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (dir.isEmpty()) return QDir::cleanPath(info.absoluteFilePath());
    return dir + u'/' + info.fileName();
}

} // namespace

bool SameFile(const String& FileName1, const String& FileName2)
{
    if (FileName1.isEmpty() || FileName2.isEmpty()) return false;
    struct stat a {}, b {};
    const QByteArray n1 = QFile::encodeName(FileName1), n2 = QFile::encodeName(FileName2);
    if (stat(n1.constData(), &a) == 0 && stat(n2.constData(), &b) == 0)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    return CanonicalPath(FileName1) == CanonicalPath(FileName2);
}

bool RestoreFileDate(const String& FileName, rtl::TDateTime Date)
{
    return rtl::FileSetDate(FileName, rtl::DateTimeToFileDate(Date)) == 0;
}

// ---- stripping -------------------------------------------------------------------------------------

namespace {

int StripWMA(const String& FileName)
{
    TWMATag wma;
    wma.LoadFromFile(FileName);
    wma.Clear();
    return MapWMAResult(wma.SaveToFile(FileName));
}

// What a stripper may answer when the file simply has nothing of its format to take away.
bool NothingToStrip(int Code)
{
    return Code == trcSuccess || Code == trcNoTagFound || Code == trcEmptyTag || Code == trcNotSupportedFormat;
}

// The ID3v1 stripper answers a file without a block as it answers a failure, so ask first.
int StripID3v1IfPresent(const String& FileName)
{
    TID3v1Tag probe;
    probe.LoadFromFile(FileName);
    return probe.Loaded ? MapID3v1Result(StripID3v1FromFile(FileName)) : trcNoTagFound;
}

} // namespace

int StripTagsFromFile(const String& FileName, TTagType TagType)
{
    if (!rtl::FileExists(FileName)) return trcFileNotFound;
    switch (TagType) {
    case ttAutomatic: {
        const int codes[] = {
            MapAPEv2Result(StripAPEv2FromFile(FileName)),
            MapFlacResult(StripFlacTagsFromFile(FileName, 0)),
            StripID3v1IfPresent(FileName),
            MapID3v2Result(StripID3v2FromFile(FileName)),
            MapMP4Result(StripMP4TagsFromFile(FileName, false, 0)),
            MapOggResult(StripOggTagsFromFile(FileName, 0)),
            MapWAVResult(StripWAVTagsFromFile(FileName)),
        };
        int result = trcSuccess;
        for (int code : codes)
            if (result == trcSuccess && !NothingToStrip(code)) result = code;
        const String ext = rtl::UpperCase(rtl::ExtractFileExt(FileName));
        if (ext == u".WMA"_s || ext == u".WMV"_s || ext == u".ASF"_s) {
            const int code = StripWMA(FileName);
            if (result == trcSuccess && !NothingToStrip(code)) result = code;
        }
        return result;
    }
    case ttAPEv2: return MapAPEv2Result(StripAPEv2FromFile(FileName));
    case ttFlac: return MapFlacResult(StripFlacTagsFromFile(FileName, 0));
    case ttID3v1: return MapID3v1Result(StripID3v1FromFile(FileName));
    case ttID3v2: return MapID3v2Result(StripID3v2FromFile(FileName));
    case ttMP4: return MapMP4Result(StripMP4TagsFromFile(FileName, false, 0));
    case ttOpusVorbis: return MapOggResult(StripOggTagsFromFile(FileName, 0));
    case ttWAV: return MapWAVResult(StripWAVTagsFromFile(FileName));
    case ttWMA: return StripWMA(FileName);
    default: return trcUnknownError;
    }
}

} // namespace tags
