// tags/MPEGplus.cpp: placeholder reader; recognises nothing yet.
#include "tags/MPEGplus.h"

namespace tags {

bool TMPEGplus::LoadFromFile(const rtl::String&, int64_t, int64_t) { return FValid = false; }
bool TMPEGplus::LoadFromStream(rtl::TStream&, int64_t, int64_t) { return FValid = false; }
double TMPEGplus::GetDuration() const { return FSampleRate ? double(FSampleCount) / FSampleRate : 0.0; }
uint16_t TMPEGplus::GetBitRate() const { return 0; }

} // namespace tags
