// tests/fuzz/TagsFrontFuzz.cpp: arbitrary bytes into the tag front: the container sniffer over them, then
// the ID3v2 tag they may hold converted into entries and pictures and written back into a stream.
// fuzz-libs: tags rtl
#include "rtl/Streams.h"
#include "tags/TagID3v2.h"
#include "tags/Tags.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    rtl::TMemoryStream input;
    if (Size > 0) input.WriteBuffer(Data, int64_t(Size));
    input.SetPosition(0);
    tags::SniffAudioFormat(input);

    tags::TTags front;
    input.SetPosition(0);
    if (front.ID3v2Tag->LoadFromStream(input) == 0) {
        front.ID3v2Tag->RemoveUnsynchronisationOnAllFrames();
        front.ID3v2Tag->DeCompressAllFrames();
        front.LoadID3v2Tags();
        // Every other entry from the end, a few hundred at most: each deletion closes the gap in the
        // list, so deleting thousands one by one is quadratic in the harness, not in the save.
        for (int i = front.Count() - 1, n = 0; i >= 0 && n < 256; i -= 2, ++n) front.Delete(i);
        rtl::TMemoryStream output;
        front.SaveID3v2Tag(QString(), true, &output);
    }
    return 0;
}
