// tags/WAVPackfile.cpp: placeholder reader; recognises nothing yet.
#include "tags/WAVPackfile.h"

namespace tags {

bool TWAVPackfile::LoadFromFile(const rtl::String&, int64_t) { return FValid = false; }
bool TWAVPackfile::LoadFromStream(rtl::TStream&, int64_t) { return FValid = false; }

} // namespace tags
