// tags/WAVPackfile.h: the stream information of a WavPack file. Until the reader exists, no stream is
// recognised (FValid stays false).
#pragma once
#include "rtl/System.h"

#include <cstdint>

namespace rtl { class TStream; }

namespace tags {

class TWAVPackfile {
public:
    bool LoadFromFile(const rtl::String& FileName, int64_t TagSize);
    bool LoadFromStream(rtl::TStream& Stream, int64_t TagSize);

    bool FValid = false;
    uint32_t FChannels = 0;
    uint32_t FSampleRate = 0;
    uint32_t FBits = 0;
    double FBitrate = 0;    // kbit/s
    double FDuration = 0;   // seconds
    int64_t FSamples = 0;
};

} // namespace tags
