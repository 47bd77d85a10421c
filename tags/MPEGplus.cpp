// tags/MPEGplus.cpp
#include "tags/MPEGplus.h"

#include "rtl/Streams.h"

#include <cmath>
#include <cstring>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace tags {

namespace {

const uint32_t SampleRates[4] = {44100, 48000, 37800, 32000};

uint32_t LE32(const uint8_t* P) { return uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24; }

// A byte of the stream, or -1 at its end.
int NextByte(rtl::TStream& S)
{
    uint8_t b = 0;
    return S.Read(&b, 1) == 1 ? b : -1;
}

// Seven bits per byte, most significant first; a clear top bit ends the number, as does the stream's end.
int64_t ReadVarSize(rtl::TStream& S)
{
    uint64_t value = 0;
    for (int b = NextByte(S); b >= 0; b = NextByte(S)) {
        value = value << 7 | uint64_t(b & 0x7F);
        if (!(b & 0x80)) break;
    }
    return int64_t(value);
}

int64_t RoundHalfEven(double Value) { return int64_t(std::nearbyint(Value)); }

} // namespace

void TMPEGplus::Reset() { *this = TMPEGplus(); }

bool TMPEGplus::LoadFromFile(const rtl::String& FileName, int64_t ID3v2Size, int64_t TagsSize)
{
    Reset();
    std::unique_ptr<rtl::TFileStream> file;
    try {
        file = std::make_unique<rtl::TFileStream>(FileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    } catch (const std::exception&) {
        return false;
    }
    return LoadFromStream(*file, ID3v2Size, TagsSize);
}

bool TMPEGplus::LoadFromStream(rtl::TStream& Stream, int64_t ID3v2Size, int64_t TagsSize)
{
    Reset();
    FTagsSize = ID3v2Size + TagsSize;
    try {
        uint8_t id[6] = {};
        Stream.SetPosition(ID3v2Size);
        Stream.Read(id, 6);
        if (std::memcmp(id, "MPCKSH", 6) == 0) {
            FSV8 = true;
            ReadVarSize(Stream);             // packet size
            Stream.Seek(4, rtl::soCurrent);  // checksum
            FStreamVersion = uint8_t(std::max(NextByte(Stream), 0));
            FSampleCount = ReadVarSize(Stream);
            ReadVarSize(Stream);             // leading silence
            const int rate = std::max(NextByte(Stream), 0) >> 5;
            FSampleRate = rate < 4 ? SampleRates[rate] : 0;
            FChannelCount = uint8_t((std::max(NextByte(Stream), 0) >> 4) + 1);
            FFileSize = Stream.Size();
            FValid = true;
            return true;
        }

        uint8_t b[32] = {};
        Stream.SetPosition(ID3v2Size);
        if (Stream.Read(b, 32) != 32) return false;
        const uint32_t i0 = LE32(b);
        const uint32_t i1 = LE32(b + 4);
        uint8_t version = 0;
        if (i0 == 0x072B504Du) {
            version = 7;
        } else if (i0 == 0x172B504Du) {
            version = 71;
        } else {
            switch ((b[1] % 32) / 2) {
            case 3: version = 4; break;
            case 7: version = 5; break;
            case 11: version = 6; break;
            default: break;
            }
        }
        // Old headers carry no signature: the first bytes of an Ogg page read as stream version 4.
        if (std::memcmp(b, "OggS", 4) == 0) version = 0;
        if (Stream.Size() <= 0 || version == 0) return true;
        const bool sv7 = version == 7 || version == 71;
        FValid = true;
        FSampleRate = SampleRates[b[10] & 3];
        FChannelModeID = sv7 ? ((b[11] % 128) < 64 ? 1 : 2) : (b[2] % 128 == 0 ? 1 : 2);
        FFileSize = Stream.Size();
        FFrameCount = version == 4 ? (i1 >> 16) : i1;
        FBitRate = (version == 4 || version == 5) ? uint16_t(i0 >> 23) : 0;
        FStreamVersion = version;
        if (sv7) {
            static const uint8_t Profiles[16] = {0, 12, 0, 0, 0, 9, 10, 11, 1, 2, 3, 4, 5, 6, 7, 8};
            FProfileID = Profiles[b[10] >> 4];
        }
        const uint32_t v = b[27];
        if (v == 0) FEncoder.clear();
        else if (v % 10 == 0) FEncoder = QString::asprintf("%u.%u Release", v / 100, (v / 10) % 10);
        else if (v % 2 == 0) FEncoder = QString::asprintf("%u.%.2u Beta", v / 100, v % 100);
        else FEncoder = QString::asprintf("%u.%.2u --Alpha--", v / 100, v % 100);
        if (FProfileID == 0 && FEncoder.isEmpty()) FValid = false;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

double TMPEGplus::GetDuration() const
{
    if (FSV8) return FSampleRate ? double(FSampleCount) / FSampleRate : 0;
    return FSampleRate > 0 ? double(FFrameCount) * 1152 / FSampleRate : 0;
}

uint16_t TMPEGplus::GetBitRate() const
{
    if (FSV8) {
        const double duration = GetDuration();
        return duration == 0 ? 0 : uint16_t(RoundHalfEven(double(FFileSize - FTagsSize) / (duration * 125) + 0.5));
    }
    if (FBitRate != 0 || FFrameCount <= 0) return FBitRate;
    return uint16_t(RoundHalfEven(double(FFileSize - FTagsSize) * 8 * (FSampleRate / 1000.0) / double(FFrameCount) / 1152));
}

bool TMPEGplus::GetCorrupted() const
{
    if (FSV8 || !FValid) return false;
    const uint16_t rate = GetBitRate();
    return rate < 3 || rate > 480;
}

double TMPEGplus::GetRatio() const
{
    if (!FValid || (FChannelModeID != 1 && FChannelModeID != 2)) return 0;
    return double(FFileSize) / (double(FFrameCount) * 1152 * 4 + 44) * 100;
}

rtl::String TMPEGplus::GetChannelMode() const
{
    if (FSV8) return {};
    static const char16_t* const Names[] = {u"Unknown", u"Stereo", u"Joint Stereo"};
    return rtl::String::fromUtf16(Names[FChannelModeID < 3 ? FChannelModeID : 0]);
}

rtl::String TMPEGplus::GetProfile() const
{
    if (FSV8) return {};
    static const char16_t* const Names[] = {u"Unknown", u"Thumb", u"Radio", u"Standard", u"Xtreme", u"Insane",
        u"BrainDead", u"--quality 9", u"--quality 10", u"--quality 0", u"--quality 1", u"Telephone", u"Experimental"};
    return rtl::String::fromUtf16(Names[FProfileID < 13 ? FProfileID : 0]);
}

rtl::String TMPEGplus::GetStreamStreamVersionString() const
{
    switch (FStreamVersion) {
    case 4: return u"4.0"_s;
    case 5: return u"5.0"_s;
    case 6: return u"6.0"_s;
    case 7: return u"7.0"_s;
    case 71: return u"7.1"_s;
    default: return QString::number(FStreamVersion);
    }
}

} // namespace tags
