// The constants and the global parameters of the engine's records.
#include "app/engine/Types.h"

namespace engine {

const std::array<const char16_t*, MediaFileExtensionCount> MediaFileExtensions = {
    u"WEBM",  u"AVI",    u"DIVX",    u"XVID",  u"MPG",    u"MPEG", u"MPE",  u"MP4V", u"WMV", u"ASF",
    u"MP4",   u"M4V",    u"MOV",     u"QT",    u"3GP",    u"3GPP", u"3G2",  u"3GP2", u"3GA", u"MKV",
    u"MKA",   u"FLV",    u"SWF",     u"F4V",   u"F4P",    u"F4A",  u"F4B",  u"VOB",  u"DAT", u"RM",
    u"RMVB",  u"OGM",    u"OGV",     u"AMV",   u"DVR-MS", u"DAV",  u"M2TS", u"MTS",  u"WTV", u"TS",
    u"VIDEO", u"HEVC",   u"WAV",     u"MP3",   u"AC3",    u"EAC3", u"AAC",  u"MPC",  u"MPA", u"MP1",
    u"MP2",   u"M4A",    u"M4B",     u"M4P",   u"WMA",    u"FLAC", u"SHN",  u"APE",  u"OGG", u"OGA",
    u"OPUS",  u"WV",     u"AMR",     u"AIFF",  u"AIF",    u"DTS",  u"GSM",  u"QCP",  u"RA",  u"VQF",
    u"THD",   u"TRUEHD", u"TRUE-HD", u"DTSHD", u"DTS-HD", u"AVS",  u"M4R",  u"TTA",
};

String AacFileExt = QStringLiteral("m4a");

TAppParams AppParams;

} // namespace engine
