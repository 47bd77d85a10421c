// tests/fuzz/MP4Fuzz.cpp: arbitrary bytes into the MP4 reader, every item, value and Xtra attribute read
// back, then a save into the input, which must load again with the same number of items.
// fuzz-libs: tags rtl
#include "rtl/Classes.h"
#include "rtl/Streams.h"
#include "tags/TagMP4.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    rtl::TMemoryStream input;
    if (Size > 0) input.WriteBuffer(Data, int64_t(Size));
    input.SetPosition(0);
    tags::TMP4Tag tag;
    tag.ParseCoverArts = Size % 2 == 0;
    const int loaded = tag.LoadFromStream(input, Size % 3 != 0);
    rtl::TStringList list;
    for (const auto& atom : tag.Atoms) {
        atom->GetAsText();
        atom->GetAsList(list);
        rtl::String name, mean;
        atom->GetAsCommonText(name, mean);
    }
    for (const auto& x : tag.Xtras) x->GetAsText();
    tag.GetGenre();
    tag.GetMediaType();
    tag.GetTrack();
    tag.GetDisc();
    tag.GetPurchaseCountry();
    if (loaded != tags::MP4TAGLIBRARY_SUCCESS) return 0;
    try {
        input.SetPosition(0);
        if (tag.SaveToStream(input, Size % 5 != 0, true, rtl::String()) != tags::MP4TAGLIBRARY_SUCCESS) return 0;
    } catch (const std::exception&) {
        return 0;   // a corrupt atom met while saving a stream is the caller's to catch
    }
    input.SetPosition(0);
    tags::TMP4Tag back;
    if (back.LoadFromStream(input) != tags::MP4TAGLIBRARY_SUCCESS || back.Count() != tag.Count()) std::abort();
    return 0;
}
