// tags/AudioInfo.h: the audio facts read beside an ID3v2 tag: the first MPEG audio frame with its
// Xing, Info or VBRI header, the WAV/RF64 format, the AIFF/AIFC COMM chunk, DSF and DSDIFF streams.
#pragma once
#include "rtl/System.h"

#include <cstdint>

namespace rtl { class TStream; }

namespace tags {

using rtl::String;

enum TMPEGVersion { tmpegvUnknown, tmpegv1, tmpegv2, tmpegv25 };
enum TMPEGLayer { tmpeglUnknown, tmpegl1, tmpegl2, tmpegl3 };
enum TMPEGChannelMode { tmpegcmUnknown, tmpegcmMono, tmpegcmDualChannel, tmpegcmJointStereo, tmpegcmStereo };
enum TMPEGModeExtension { tmpegmeUnknown, tmpegmeNone, tmpegmeIntensity, tmpegmeMS, tmpegmeIntensityMS };
enum TMPEGEmphasis { tmpegeUnknown, tmpegeNo, tmpege5015, tmpegeCCITJ17 };

struct TMPEGHeader {
    int64_t Position = 0;
    uint32_t Header = 0;
    int32_t FrameSize = 0;
    TMPEGVersion Version = tmpegvUnknown;
    TMPEGLayer Layer = tmpeglUnknown;
    bool CRC = false;
    uint32_t BitRate = 0;       // kbit/s; 0xFFFF for free format
    uint32_t SampleRate = 0;
    bool Padding = false;
    bool _Private = false;
    TMPEGChannelMode ChannelMode = tmpegcmUnknown;
    TMPEGModeExtension ModeExtension = tmpegmeUnknown;
    bool Copyrighted = false;
    bool Original = false;
    TMPEGEmphasis Emphasis = tmpegeUnknown;
    bool VBR = false;
    int64_t FrameCount = 0;
    uint32_t Quality = 0;
    int64_t Bytes = 0;
    bool HasInfo = false;
    bool HasXing = false;
};

// Decodes the four header bytes (big-endian value H); Position is left to the caller.
TMPEGHeader DecodeMPEGHeaderValue(uint32_t H);
// Decodes the header at the stream's position; the stream is put back.
TMPEGHeader DecodeMPEGHeader(rtl::TStream& Stream);
// Reads a Xing/Info or VBRI header of the frame at Info.Position; the stream returns to the frame start.
bool ReadMPEGVBRHeader(rtl::TStream& Stream, TMPEGHeader& Info);
// The bit rate of the stream (kbit/s) as a player sees it: a VBR stream's from the totals of its Xing
// or VBRI header, else that of the first audio frame, which follows an Info frame where there is one
// (encoders write that frame at a rate of their own). The stream returns to where it was.
int32_t MPEGStreamBitRate(rtl::TStream& Stream, const TMPEGHeader& Info);
int MPEGSamplesPerFrame(TMPEGVersion Version, TMPEGLayer Layer);
int MPEGSideInfoLength(TMPEGVersion Version, TMPEGChannelMode Mode);
int MPEGChannels(TMPEGChannelMode Mode);

struct TWaveFmt {
    uint32_t fmtSize = 0;
    uint16_t FormatTag = 0;
    uint16_t Channels = 0;
    uint32_t SamplesPerSec = 0;
    uint32_t AvgBytesPerSec = 0;
    uint16_t BlockAlign = 0;
    uint16_t BitsPerSample = 0;
    uint16_t cbSize = 0;
    uint16_t ValidBitsPerSample = 0;
    uint32_t ChannelMask = 0;
    uint8_t SubFormat[16] = {};
};

// What ReadWAVFormat found beside the format record.
struct TWaveFacts {
    bool IsRF64 = false;
    bool HasData = false;
    uint32_t DataSize = 0;
    int64_t SampleCount = 0;
    double PlayTime = 0;
    int32_t BitRate = 0;
};

// Reads a WAV or RF64 file from offset 0; the stream is put back. Raises EDivByZero/EZeroDivide for
// a block alignment or sample rate of 0 where a data chunk needs them.
bool ReadWAVFormat(rtl::TStream& Stream, TWaveFmt& Fmt, TWaveFacts& Facts);

struct TAIFFInformation {
    uint16_t Channels = 0;
    uint32_t SampleFrames = 0;
    uint16_t SampleSize = 0;
    double SampleRate = 0;
    String CompressionID;
    String Compression;
};

// Reads the COMM and SSND chunks of an AIFF or AIFC file from offset 0; the stream is put back.
bool ReadAIFFInfo(rtl::TStream& Stream, TAIFFInformation& Info, double& PlayTime, int32_t& BitRate);

enum TDSFChannelType {
    dsfctUnknown, dsfctMono, dsfctStereo, dsfct3Channels, dsfctQuad, dsfct4Channels, dsfct5Channels,
    dsfct51Channels
};

class TDSFInfo {
public:
    void Clear() { *this = TDSFInfo(); }
    bool LoadFromStream(rtl::TStream& Stream);   // from offset 0; the stream is put back
    uint32_t GetBitRate() const;                 // kbit/s

    uint32_t FormatVersion = 0;
    uint32_t FormatID = 0;
    TDSFChannelType ChannelType = dsfctUnknown;
    uint32_t ChannelNumber = 0;
    uint32_t SamplingFrequency = 0;
    uint32_t BitsPerSample = 0;
    uint64_t SampleCount = 0;
    uint32_t BlockSizePerChannel = 0;
    double PlayTime = 0;
};

class TDFFInfo {
public:
    TDFFInfo() { ResetData(); }
    void ResetData() { *this = TDFFInfo(0); }
    bool LoadFromStream(rtl::TStream& Stream);   // from offset 0; the stream is put back

    String FormatVersion;
    uint32_t SampleRate = 0;
    uint16_t ChannelNumber = 0;
    String CompressionName;
    uint64_t SampleCount = 0;
    double PlayTime = 0;
    uint32_t BitRate = 0;
    uint64_t SoundDataLength = 0;
    uint32_t DSTFramesCount = 0;
    uint16_t DSTFramesRate = 0;
    double Ratio = 0;

private:
    explicit TDFFInfo(int) {}
};

} // namespace tags
