// tags/MPEGplus.h: the stream facts of a Musepack file: the 32-byte header of stream versions 4 to 7.1 or
// the stream-header packet of version 8. Read only.
#pragma once
#include "rtl/System.h"

#include <cstdint>

namespace rtl { class TStream; }

namespace tags {

class TMPEGplus {
public:
    // False for a file that cannot be opened or holds no Musepack stream.
    bool LoadFromFile(const rtl::String& FileName, int64_t ID3v2Size, int64_t TagsSize);
    // ID3v2Size: where the stream starts; TagsSize: the bytes of tags at the end.
    bool LoadFromStream(rtl::TStream& Stream, int64_t ID3v2Size, int64_t TagsSize);

    double GetDuration() const;    // seconds
    uint16_t GetBitRate() const;   // kbit/s
    bool GetCorrupted() const;
    double GetRatio() const;
    rtl::String GetChannelMode() const;
    rtl::String GetProfile() const;
    rtl::String GetStreamStreamVersionString() const;

    bool FValid = false;
    uint8_t FChannelModeID = 0;   // 0 unknown, 1 stereo, 2 joint stereo
    int64_t FFileSize = 0;
    int64_t FFrameCount = 0;
    uint32_t FSampleRate = 0;
    uint16_t FBitRate = 0;        // as stored by stream versions 4 and 5
    uint8_t FStreamVersion = 0;   // 4, 5, 6, 7, 71 (7.1) or version 8's own byte
    uint8_t FProfileID = 0;
    int64_t FTagsSize = 0;
    rtl::String FEncoder;
    int64_t FSampleCount = 0;
    uint8_t FChannelCount = 0;
    bool FSV8 = false;

private:
    void Reset();
};

} // namespace tags
