// tags/WAVPackfile.h: the stream facts of a WavPack file, from the first block header of version 4 or the
// RIFF header and packed-data header of version 3. Read only.
#pragma once
#include "rtl/System.h"

#include <cstdint>

namespace rtl { class TStream; }

namespace tags {

class TWAVPackfile {
public:
    // False for a file that cannot be opened or holds no WavPack (or plain WAVE) stream.
    bool LoadFromFile(const rtl::String& FileName, int64_t TagSize);
    // TagSize: the bytes of tags at the end, which the bit rate leaves out.
    bool LoadFromStream(rtl::TStream& Stream, int64_t TagSize);

    rtl::String ChannelMode() const;
    double Ratio() const;

    int64_t FFileSize = 0;
    bool FValid = false;
    uint32_t FFormatTag = 0;
    uint32_t FVersion = 0;
    uint32_t FChannels = 0;
    uint32_t FSampleRate = 0;
    uint32_t FBits = 0;
    double FBitrate = 0;    // kbit/s
    double FDuration = 0;   // seconds
    rtl::String FEncoder;
    int64_t FTagSize = 0;
    int64_t FSamples = 0;
    int64_t FBSamples = 0;

private:
    void Reset();
    bool ReadV4(rtl::TStream& F);
    bool ReadV3(rtl::TStream& F);
};

} // namespace tags
