// tests/fuzz/StreamInfoFuzz.cpp: arbitrary bytes into the WavPack and Musepack stream readers; the first
// byte picks where the Musepack stream starts and how much tag space the bit rates leave out.
// fuzz-libs: tags rtl
#include "rtl/Streams.h"
#include "tags/MPEGplus.h"
#include "tags/WAVPackfile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0) return 0;
    rtl::TMemoryStream input;
    input.WriteBuffer(Data + 1, int64_t(Size - 1));
    input.SetPosition(0);
    tags::TWAVPackfile wavPack;
    wavPack.LoadFromStream(input, Data[0]);
    wavPack.Ratio();
    wavPack.ChannelMode();
    tags::TMPEGplus musePack;
    input.SetPosition(0);
    musePack.LoadFromStream(input, Data[0] & 0x1F, Data[0] >> 5);
    musePack.GetBitRate();
    musePack.GetCorrupted();
    musePack.GetRatio();
    musePack.GetChannelMode();
    musePack.GetProfile();
    musePack.GetStreamStreamVersionString();
    return 0;
}
