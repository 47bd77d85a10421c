// tags/AudioInfo.cpp
#include "tags/AudioInfo.h"

#include "rtl/Streams.h"
#include "tags/Float80.h"
#include "tags/ID3v2Base.h"
#include "tags/ID3v2Containers.h"

#include <cmath>
#include <climits>
#include <cstring>

namespace tags {

namespace {

// Puts the stream back where a reader found it, whatever happens inside.
class TPositionKeeper {
public:
    explicit TPositionKeeper(rtl::TStream& Stream) : FStream(Stream), FPosition(Stream.Position()) {}
    ~TPositionKeeper()
    {
        try { FStream.SetPosition(FPosition); } catch (...) {}
    }

private:
    rtl::TStream& FStream;
    int64_t FPosition;
};

// kbit/s by [table][index]: MPEG-1 layers I, II, III; MPEG-2/2.5 layer I; MPEG-2/2.5 layers II and III.
constexpr uint16_t BitRates[5][16] = {
    {0xFFFF, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0xFFFF, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0xFFFF, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0xFFFF, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0xFFFF, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
};

constexpr uint32_t SampleRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

[[noreturn]] void ZeroDivide() { throw rtl::EZeroDivide(QStringLiteral("Floating point division by zero")); }

bool Is(const uint8_t* Id, const char* Mark) { return std::memcmp(Id, Mark, 4) == 0; }

bool SkipBytes(rtl::TStream& Stream, uint64_t Count)
{
    if (Count >= uint64_t(BytesLeft(Stream))) {
        Stream.Seek(0, rtl::soEnd);
        return false;
    }
    Stream.Seek(int64_t(Count), rtl::soCurrent);
    return true;
}

// Walks chunks with 32-bit sizes from the position until one named Id; the stream stands at its data.
bool FindChunk32(rtl::TStream& Stream, const char* Id, bool BigEndian, int64_t Limit, uint32_t& Size)
{
    while (Stream.Position() + 8 <= Limit) {
        uint8_t h[8];
        if (ReadZeroFilled(Stream, h, 8) < 8) return false;
        Size = BigEndian ? BE32(h + 4) : LE32(h + 4);
        if (Is(h, Id)) return true;
        if (!SkipBytes(Stream, uint64_t(Size) + (Size & 1))) return false;
    }
    return false;
}

} // namespace

int MPEGSamplesPerFrame(TMPEGVersion Version, TMPEGLayer Layer)
{
    if (Version == tmpegv1) {
        if (Layer == tmpegl1) return 384;
        if (Layer == tmpegl2 || Layer == tmpegl3) return 1152;
    } else if (Version == tmpegv2 || Version == tmpegv25) {
        if (Layer == tmpegl1) return 384;
        if (Layer == tmpegl2) return 1152;
        if (Layer == tmpegl3) return 576;
    }
    return 0;
}

int MPEGSideInfoLength(TMPEGVersion Version, TMPEGChannelMode Mode)
{
    const bool mono = Mode == tmpegcmMono;
    if (Version == tmpegv1) return mono ? 17 : 32;
    if (Version == tmpegv2 || Version == tmpegv25) return mono ? 9 : 17;
    return 0;
}

int MPEGChannels(TMPEGChannelMode Mode)
{
    switch (Mode) {
    case tmpegcmMono: return 1;
    case tmpegcmUnknown: return 0;
    default: return 2;
    }
}

TMPEGHeader DecodeMPEGHeaderValue(uint32_t H)
{
    TMPEGHeader m;
    m.Header = H;
    static constexpr TMPEGVersion versions[4] = {tmpegv25, tmpegvUnknown, tmpegv2, tmpegv1};
    static constexpr TMPEGLayer layers[4] = {tmpeglUnknown, tmpegl3, tmpegl2, tmpegl1};
    m.Version = versions[(H >> 19) & 3];
    m.Layer = layers[(H >> 17) & 3];
    m.CRC = ((H >> 16) & 1) == 0;
    const unsigned bitIndex = (H >> 12) & 15;
    int table = -1;
    if (m.Version == tmpegv1 && m.Layer != tmpeglUnknown) table = m.Layer == tmpegl1 ? 0 : m.Layer == tmpegl2 ? 1 : 2;
    else if (m.Version != tmpegvUnknown && m.Layer != tmpeglUnknown) table = m.Layer == tmpegl1 ? 3 : 4;
    m.BitRate = table >= 0 ? BitRates[table][bitIndex] : 0;
    const unsigned rateIndex = (H >> 10) & 3;
    if (rateIndex < 3 && m.Version != tmpegvUnknown)
        m.SampleRate = SampleRates[m.Version == tmpegv1 ? 0 : m.Version == tmpegv2 ? 1 : 2][rateIndex];
    m.Padding = (H >> 9) & 1;
    m._Private = (H >> 8) & 1;
    static constexpr TMPEGChannelMode modes[4] = {tmpegcmStereo, tmpegcmJointStereo, tmpegcmDualChannel, tmpegcmMono};
    m.ChannelMode = modes[(H >> 6) & 3];
    static constexpr TMPEGModeExtension extensions[4] = {tmpegmeNone, tmpegmeIntensity, tmpegmeMS, tmpegmeIntensityMS};
    m.ModeExtension = m.ChannelMode == tmpegcmJointStereo ? extensions[(H >> 4) & 3] : tmpegmeNone;
    m.Copyrighted = (H >> 3) & 1;
    m.Original = (H >> 2) & 1;
    static constexpr TMPEGEmphasis emphases[4] = {tmpegeNo, tmpege5015, tmpegeUnknown, tmpegeCCITJ17};
    m.Emphasis = emphases[H & 3];
    if (m.SampleRate != 0) {
        const int64_t bits = int64_t(m.BitRate) * 1000;
        const int padding = m.Padding ? 1 : 0;
        if (m.Layer == tmpegl1)
            m.FrameSize = int32_t((12 * bits / m.SampleRate + padding) * 4);
        else if (m.Layer != tmpeglUnknown)
            m.FrameSize = int32_t(MPEGSamplesPerFrame(m.Version, m.Layer) / 8 * bits / m.SampleRate + padding);
    }
    return m;
}

TMPEGHeader DecodeMPEGHeader(rtl::TStream& Stream)
{
    TPositionKeeper keep(Stream);
    const int64_t position = Stream.Position();
    uint8_t b[4];
    ReadZeroFilled(Stream, b, 4);
    TMPEGHeader m = DecodeMPEGHeaderValue(BE32(b));
    m.Position = position;
    return m;
}

bool ReadMPEGVBRHeader(rtl::TStream& Stream, TMPEGHeader& Info)
{
    Info.VBR = false;
    Info.FrameCount = 0;
    Info.Quality = 0;
    Info.Bytes = 0;
    try {
        TPositionKeeper keep(Stream);
        Stream.SetPosition(Info.Position + 4 + MPEGSideInfoLength(Info.Version, Info.ChannelMode));
        uint8_t b[8];
        ReadZeroFilled(Stream, b, 8);
        const bool xing = Is(b, "Xing");
        if (xing || Is(b, "Info")) {
            const uint32_t flags = BE32(b + 4);
            Info.VBR = true;
            Info.HasXing = xing;
            Info.HasInfo = !xing;
            if (flags & 1) { ReadZeroFilled(Stream, b, 4); Info.FrameCount = BE32(b); }
            if (flags & 2) { ReadZeroFilled(Stream, b, 4); Info.Bytes = BE32(b); }
            if (flags & 4) Stream.Seek(100, rtl::soCurrent);
            if (flags & 8) { ReadZeroFilled(Stream, b, 4); Info.Quality = BE32(b); }
            return true;
        }
        Stream.SetPosition(Info.Position + 36);
        uint8_t v[18];
        ReadZeroFilled(Stream, v, 18);
        if (Is(v, "VBRI")) {
            Info.VBR = true;
            Info.Quality = BE16(v + 8);
            Info.Bytes = BE32(v + 10);
            Info.FrameCount = BE32(v + 14);
            return true;
        }
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

int32_t MPEGStreamBitRate(rtl::TStream& Stream, const TMPEGHeader& Info)
{
    const int samples = MPEGSamplesPerFrame(Info.Version, Info.Layer);
    if (Info.VBR && !Info.HasInfo && Info.FrameCount > 0 && Info.Bytes > 0 && samples > 0 && Info.SampleRate > 0) {
        const double kbps = double(Info.Bytes) * 8 * Info.SampleRate / (double(Info.FrameCount) * samples) / 1000;
        if (kbps < 1e6) return int32_t(std::lround(kbps));
    }
    if (Info.VBR && Info.FrameSize > 0) {
        try {
            TPositionKeeper keep(Stream);
            Stream.SetPosition(Info.Position + Info.FrameSize);
            uint8_t b[4];
            ReadZeroFilled(Stream, b, 4);
            const TMPEGHeader next = DecodeMPEGHeaderValue(BE32(b));
            if ((next.Header & 0xFFE00000) == 0xFFE00000 && next.Version == Info.Version && next.Layer == Info.Layer
                && next.BitRate != 0 && next.BitRate != 0xFFFF)
                return int32_t(next.BitRate);
        } catch (const std::exception&) {
            // the header's own rate then
        }
    }
    return int32_t(Info.BitRate);
}

bool ReadWAVFormat(rtl::TStream& Stream, TWaveFmt& Fmt, TWaveFacts& Facts)
{
    TPositionKeeper keep(Stream);
    Fmt = TWaveFmt();
    Facts = TWaveFacts();
    Stream.SetPosition(0);
    uint8_t h[12];
    ReadZeroFilled(Stream, h, 12);
    Facts.IsRF64 = Is(h, "RF64");
    if (!Is(h + 8, "WAVE")) return false;
    const int64_t end = Stream.Size();
    if (Facts.IsRF64) {
        uint8_t c[8];
        const int64_t chunkStart = Stream.Position();
        ReadZeroFilled(Stream, c, 8);
        if (Is(c, "ds64")) {
            const uint32_t size = LE32(c + 4);
            uint8_t d[28];
            ReadZeroFilled(Stream, d, 28);
            Facts.SampleCount = int64_t(LE64(d + 16));
            if (size > 28) SkipBytes(Stream, uint64_t(size - 28) + (size & 1));
        } else {
            Stream.SetPosition(chunkStart);
        }
    }
    uint32_t size = 0;
    if (!FindChunk32(Stream, "fmt ", false, end, size)) return true;
    const int64_t dataStart = Stream.Position();
    uint8_t f[40];
    ReadZeroFilled(Stream, f, 40);
    Fmt.fmtSize = size;
    Fmt.FormatTag = LE16(f);
    Fmt.Channels = LE16(f + 2);
    Fmt.SamplesPerSec = LE32(f + 4);
    Fmt.AvgBytesPerSec = LE32(f + 8);
    Fmt.BlockAlign = LE16(f + 12);
    Fmt.BitsPerSample = LE16(f + 14);
    if (Fmt.FormatTag == 0xFFFE) {
        Fmt.cbSize = LE16(f + 16);
        Fmt.ValidBitsPerSample = LE16(f + 18);
        Fmt.ChannelMask = LE32(f + 20);
        std::memcpy(Fmt.SubFormat, f + 24, 16);
    }
    // The walk goes on after the whole format chunk, whatever its size (16, 18, 40...).
    Stream.SetPosition(dataStart);
    SkipBytes(Stream, uint64_t(size) + (size & 1));
    if (!FindChunk32(Stream, "data", false, end, size)) return true;
    Facts.HasData = true;
    Facts.DataSize = size;
    if (!Facts.IsRF64) {
        if (Fmt.BlockAlign == 0) throw rtl::EDivByZero(QStringLiteral("Division by zero"));
        Facts.SampleCount = size / Fmt.BlockAlign;
    }
    if (Fmt.SamplesPerSec == 0) ZeroDivide();
    Facts.PlayTime = double(Facts.SampleCount) / Fmt.SamplesPerSec;
    Facts.BitRate = int32_t(Fmt.AvgBytesPerSec / 125);
    return true;
}

bool ReadAIFFInfo(rtl::TStream& Stream, TAIFFInformation& Info, double& PlayTime, int32_t& BitRate)
{
    TPositionKeeper keep(Stream);
    Info = TAIFFInformation();
    Stream.SetPosition(0);
    uint8_t h[12];
    ReadZeroFilled(Stream, h, 12);
    const bool aifc = Is(h + 8, "AIFC");
    if (!Is(h, "FORM") || !(aifc || Is(h + 8, "AIFF"))) return false;
    const int64_t limit = std::min<int64_t>(int64_t(BE32(h + 4)) + 8, Stream.Size());
    uint32_t size = 0;
    if (FindChunk32(Stream, "COMM", true, limit, size)) {
        uint8_t c[18];
        ReadZeroFilled(Stream, c, 18);
        Info.Channels = BE16(c);
        Info.SampleFrames = BE32(c + 2);
        Info.SampleSize = BE16(c + 6);
        TExtended80 rate;
        std::memcpy(rate.data(), c + 8, 10);
        ReverseBytes10(rate.data());
        Info.SampleRate = DoubleFromExtended80(rate);
        if (!std::isfinite(Info.SampleRate)) Info.SampleRate = 0;
        if (aifc) {
            uint8_t id[5];
            ReadZeroFilled(Stream, id, 5);
            for (int i = 0; i < 4; ++i) Info.CompressionID += QChar(id[i]);
            uint8_t name[255];
            const int n = std::min<int>(id[4], int(BytesLeft(Stream)));
            ReadZeroFilled(Stream, name, n);
            Info.Compression = rtl::TEncoding::ANSI()->GetString(name, size_t(n));
        }
    }
    Stream.SetPosition(12);
    uint32_t soundSize = 0;
    if (!FindChunk32(Stream, "SSND", true, limit, soundSize)) soundSize = 0;
    PlayTime = Info.SampleRate > 0 ? Info.SampleFrames / Info.SampleRate : 0;
    // an absurd sample rate gives a rate no integer holds: none then
    const double rate = PlayTime != 0 ? std::trunc(soundSize / (PlayTime * 125) + 0.5) : 0;
    BitRate = rate >= 0 && rate <= double(INT32_MAX) ? int32_t(rate) : 0;
    return true;
}

bool TDSFInfo::LoadFromStream(rtl::TStream& Stream)
{
    TPositionKeeper keep(Stream);
    Clear();
    Stream.SetPosition(4);
    uint8_t b[52];
    ReadZeroFilled(Stream, b, 8);
    const uint64_t chunkSize = LE64(b);
    if (chunkSize >= uint64_t(Stream.Size())) return false;
    Stream.SetPosition(int64_t(chunkSize));
    ReadZeroFilled(Stream, b, 4 + 8 + 40);
    if (!Is(b, "fmt ")) return false;
    const uint8_t* f = b + 12;
    FormatVersion = LE32(f);
    FormatID = LE32(f + 4);
    const uint32_t type = LE32(f + 8);
    ChannelType = type >= 1 && type <= 7 ? TDSFChannelType(type) : dsfctUnknown;
    ChannelNumber = LE32(f + 12);
    SamplingFrequency = LE32(f + 16);
    BitsPerSample = LE32(f + 20);
    SampleCount = LE64(f + 24);
    BlockSizePerChannel = LE32(f + 32);
    if (SamplingFrequency == 0) ZeroDivide();
    PlayTime = double(SampleCount) / SamplingFrequency;
    return true;
}

uint32_t TDSFInfo::GetBitRate() const
{
    if (PlayTime == 0) ZeroDivide();
    const uint64_t product = uint64_t(ChannelNumber) * SampleCount * BitsPerSample;
    return uint32_t(RoundExtended80(double(product) / 8 / PlayTime / 125));
}

bool TDFFInfo::LoadFromStream(rtl::TStream& Stream)
{
    TPositionKeeper keep(Stream);
    ResetData();
    Stream.SetPosition(0);
    const int64_t start = ID3v2TagSizeAt(Stream);
    Stream.SetPosition(start);
    uint8_t h[16];
    ReadZeroFilled(Stream, h, 16);
    if (!Is(h, "FRM8") || !Is(h + 12, "DSD ")) return false;
    for (int step = 0; step < 8 && BytesLeft(Stream) >= 12; ++step) {
        ReadZeroFilled(Stream, h, 12);
        const uint64_t size = BE64(h + 4);
        if (size > uint64_t(BytesLeft(Stream)) && !Is(h, "DSD ") && !Is(h, "DST ")) break;
        const uint64_t padded = size == ~uint64_t(0) ? size : size + (size & 1);
        const int64_t dataStart = Stream.Position();
        if (Is(h, "FVER")) {
            uint8_t v[4];
            ReadZeroFilled(Stream, v, 4);
            if (v[0] == 1 && (v[1] == 0 || v[1] == 3 || v[1] == 4 || v[1] == 5))
                FormatVersion = QStringLiteral("1.%1").arg(v[1]);
        } else if (Is(h, "PROP")) {
            TBytes prop(static_cast<size_t>(size));
            Stream.ReadBuffer(prop.data(), int64_t(size));
            if (size >= 4 && Is(prop.data(), "SND ")) {
                size_t p = 4;
                for (int sub = 0; sub < 5 && p + 12 <= prop.size(); ++sub) {
                    const uint8_t* s = prop.data() + p;
                    const uint64_t subSize = BE64(s + 4);
                    const uint8_t* d = s + 12;
                    const size_t avail = prop.size() - p - 12;
                    if (Is(s, "FS  ") && avail >= 4) SampleRate = BE32(d);
                    else if (Is(s, "CHNL") && avail >= 2) ChannelNumber = BE16(d);
                    else if (Is(s, "CMPR") && avail >= 4) {
                        if (Is(d, "DSD ")) CompressionName = QStringLiteral("Not Compressed");
                        else if (Is(d, "DST ")) CompressionName = QStringLiteral("DST Encoded");
                    }
                    if (subSize + (subSize & 1) > avail) break;
                    p += 12 + size_t(subSize + (subSize & 1));
                }
            }
        } else if (Is(h, "DSD ")) {
            SoundDataLength = size;
            if (SampleRate != 0 && ChannelNumber != 0) {
                const double seconds = double(size) * 8 / (double(ChannelNumber) * SampleRate);
                if (ChannelNumber == 2 && seconds >= 1 && seconds < 0x1p53) {
                    PlayTime = std::trunc(seconds);
                    SampleCount = uint64_t(PlayTime) * SampleRate;
                } else {
                    // short data and other channel counts: the exact length
                    PlayTime = seconds;
                    SampleCount = size * 8 / ChannelNumber;
                }
                BitRate = uint32_t(RoundExtended80(double(SampleCount) * ChannelNumber / 8 / PlayTime / 125));
                Ratio = 1;
            }
        } else if (Is(h, "DST ")) {
            SoundDataLength = size;
            uint8_t f[18];
            ReadZeroFilled(Stream, f, 18);
            if (Is(f, "FRTE")) {
                DSTFramesCount = BE32(f + 12);
                DSTFramesRate = BE16(f + 16);
                if (DSTFramesRate == 0) ZeroDivide();
                PlayTime = double(DSTFramesCount) / DSTFramesRate;
                SampleCount = uint64_t(RoundExtended80(PlayTime * SampleRate));
                if (PlayTime == 0 || SampleCount == 0 || ChannelNumber == 0) ZeroDivide();
                BitRate = uint32_t(RoundExtended80(double(SampleCount) * ChannelNumber / 8 / PlayTime / 125));
                Ratio = double(size) / (ChannelNumber / 8.0 * double(SampleCount));
            }
        }
        Stream.SetPosition(dataStart);
        if (!SkipBytes(Stream, padded)) break;
    }
    return true;
}

} // namespace tags
