// tags/WAVPackfile.cpp
#include "tags/WAVPackfile.h"

#include "rtl/Files.h"
#include "rtl/Streams.h"

#include <array>
#include <cstring>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace tags {

namespace {

uint32_t LE16(const uint8_t* P) { return uint32_t(P[0]) | uint32_t(P[1]) << 8; }
uint32_t LE32(const uint8_t* P) { return LE16(P) | LE16(P + 2) << 16; }

const uint32_t SampleRates[15] = {6000, 8000, 9600, 11025, 12000, 16000, 22050, 24000,
                                  32000, 44100, 48000, 64000, 88200, 96000, 192000};

int64_t ReadZeroFilled(rtl::TStream& S, uint8_t* Buffer, int64_t Count)
{
    std::memset(Buffer, 0, size_t(Count));
    return S.Read(Buffer, Count);
}

} // namespace

void TWAVPackfile::Reset() { *this = TWAVPackfile(); }

bool TWAVPackfile::LoadFromFile(const rtl::String& FileName, int64_t TagSize)
{
    Reset();
    std::unique_ptr<rtl::TFileStream> file;
    try {
        file = std::make_unique<rtl::TFileStream>(FileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    } catch (const std::exception&) {
        return false;
    }
    return LoadFromStream(*file, TagSize);
}

bool TWAVPackfile::LoadFromStream(rtl::TStream& Stream, int64_t TagSize)
{
    Reset();
    FTagSize = TagSize;
    FFileSize = Stream.Size();
    uint8_t marker[4];
    ReadZeroFilled(Stream, marker, 4);
    Stream.SetPosition(0);
    if (std::memcmp(marker, "RIFF", 4) == 0) return ReadV3(Stream);
    if (std::memcmp(marker, "wvpk", 4) == 0) return ReadV4(Stream);
    return false;
}

bool TWAVPackfile::ReadV4(rtl::TStream& F)
{
    uint8_t h[32];
    ReadZeroFilled(F, h, 32);
    if (std::memcmp(h, "wvpk", 4) != 0) return false;
    FValid = true;
    const uint32_t flags = LE32(h + 24);
    FVersion = h[9];
    FBits = ((flags & 3) + 1) * 8;
    FChannels = (flags & 4) ? 1 : 2;
    const uint32_t rateIndex = (flags >> 23) & 0x1F;
    FSampleRate = rateIndex < 15 ? SampleRates[rateIndex] : 44100;
    FSamples = LE32(h + 12);
    FBSamples = LE32(h + 20);
    FEncoder = (flags & 8) ? u"hybrid lossy"_s : u"lossless"_s;
    FDuration = double(FSamples) / FSampleRate;
    if (FDuration > 0) FBitrate = double(FFileSize - FTagSize) * 8 / (double(FSamples) / FSampleRate) / 1000;

    // The encoder's mode sits in the metadata after the header: a 0x65, 0x02 pair and the mode byte.
    std::array<uint8_t, 4096> block;
    ReadZeroFilled(F, block.data(), int64_t(block.size()));
    for (int i = 0; i <= 4093; ++i)
        if (block[i] == 0x65 && block[i + 1] == 0x02) {
            switch (block[i + 2]) {
            case 8: FEncoder += u" (high)"_s; break;
            case 0: FEncoder += u" (normal)"_s; break;
            case 2: FEncoder += u" (fast)"_s; break;
            case 6: FEncoder += u" (very fast)"_s; break;
            default: break;
            }
            break;
        }
    return true;
}

bool TWAVPackfile::ReadV3(rtl::TStream& F)
{
    uint8_t riff[8];
    uint8_t wave[4];
    if (F.Read(riff, 8) != 8 || F.Read(wave, 4) != 4 || std::memcmp(wave, "WAVE", 4) != 0) return false;
    bool result = false;
    bool haveFormat = false;
    const int64_t size = F.Size();
    while (F.Position() < size) {
        uint8_t chunk[8];
        if (F.Read(chunk, 8) != 8) break;
        const uint32_t chunkSize = LE32(chunk + 4);
        if (chunkSize == 0) break;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (chunkSize < 16) break;
            const int64_t dataStart = F.Position();
            uint8_t fmt[16];
            if (F.Read(fmt, 16) != 16) break;
            FFormatTag = LE16(fmt);
            FChannels = LE16(fmt + 2);
            FSampleRate = LE32(fmt + 4);
            FBits = LE16(fmt + 14);
            FBitrate = double(LE32(fmt + 8)) / 125;
            FValid = result = haveFormat = true;
            F.SetPosition(dataStart + chunkSize);
        } else if (std::memcmp(chunk, "data", 4) == 0 && haveFormat) {
            uint8_t h[36];
            if (F.Read(h, 36) != 36 || std::memcmp(h, "wvpk", 4) != 0) break;
            FValid = result = true;
            FVersion = LE16(h + 8);
            const uint32_t bits = LE16(h + 10);
            const uint32_t flags = LE16(h + 12);
            FChannels = 2 - (flags & 1);
            FSamples = LE32(h + 16);
            if (bits != 0) {
                if (flags & 0x400) {
                    FEncoder = u"hybrid"_s + ((flags & 0x80) ? u" lossless"_s : u" lossy"_s);
                    if (flags & 0x8000) FEncoder += u" (high)"_s;
                } else {
                    FEncoder = QString::number(bits + 3) + u"-bit lossy"_s;
                    if (flags & (0x02 | 0x10)) FEncoder += (flags & 0x10) ? u" high"_s : u" fast"_s;
                }
            } else if (!(flags & 0x10)) {
                FEncoder = u"lossless (fast mode)"_s;
            } else {
                FEncoder = (flags & 0x8000) ? u"lossless (high mode)"_s : u"lossless"_s;
            }
            if (FSampleRate == 0) FSampleRate = 44100;
            FDuration = double(FSamples) / FSampleRate;
            if (FDuration > 0) FBitrate = double(FFileSize - FTagSize - LE32(h + 4)) * 8 / (FDuration * 1000);
            break;
        } else {
            break;
        }
    }
    return result;
}

rtl::String TWAVPackfile::ChannelMode() const
{
    return FChannels == 1 ? u"Mono"_s : FChannels == 2 ? u"Stereo"_s : u"Surround"_s;
}

double TWAVPackfile::Ratio() const
{
    if (!FValid) return 0;
    return double(FFileSize) / (double(FSamples) * (FChannels * FBits / 8.0) + 44) * 100;
}

} // namespace tags
