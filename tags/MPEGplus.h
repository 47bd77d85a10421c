// tags/MPEGplus.h: the stream information of a Musepack file. Until the reader exists, no stream is
// recognised (FValid stays false).
#pragma once
#include "rtl/System.h"

#include <cstdint>

namespace rtl { class TStream; }

namespace tags {

class TMPEGplus {
public:
    bool LoadFromFile(const rtl::String& FileName, int64_t ID3v2Size, int64_t TagsSize);
    bool LoadFromStream(rtl::TStream& Stream, int64_t ID3v2Size, int64_t TagsSize);
    double GetDuration() const;    // seconds
    uint16_t GetBitRate() const;   // kbit/s

    bool FValid = false;
    uint8_t FChannelCount = 0;
    uint32_t FSampleRate = 0;
    int64_t FSampleCount = 0;
};

} // namespace tags
