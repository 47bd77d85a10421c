// tests/fuzz/SkinTextFuzz.cpp: a skin text of arbitrary bytes. Loading either refuses a bad colour with
// the conversion error or gives a skin that saves and loads back equal; the skins list takes or refuses
// the text by its name line.
// fuzz-libs: skins vcl rtl
#include <cstdint>
#include <cstdlib>

#include "skins/SkSkins.h"

namespace {

bool SameSkin(const skins::TSkSkinOptions& A, const skins::TSkSkinOptions& B) {
    if (A.SkinName() != B.SkinName() || A.SkinAuthor() != B.SkinAuthor() || A.ColorBtnFace() != B.ColorBtnFace() ||
        A.StoredFloatingWindowBorderSize() != B.StoredFloatingWindowBorderSize())
        return false;
    for (int c = 0; c < skins::SkinComponentCount; ++c)
        for (int s = 0; s < skins::SkinStateCount; ++s) {
            const auto comp = skins::TSkSkinComponentsType(c);
            const auto state = skins::TSkSkinStatesType(s);
            if (skins::IsValidSkinState(comp, state) && !A.Options(comp, state)->IsEqual(B.Options(comp, state)))
                return false;
        }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    rtl::TStringList lines;
    lines.SetText(QString::fromUtf8(reinterpret_cast<const char*>(Data), qsizetype(Size)));

    skins::TSkSkinsList list;
    const int index = list.AddSkin(&lines);
    if (index >= 0 && (list.GetSkinOption(index)->SkinStrings->Count() != lines.Count() || list[index].isEmpty()))
        std::abort();

    skins::TSkSkinOptions skin;
    try {
        skin.LoadFromStrings(&lines);
    } catch (const rtl::EConvertError&) {
        return 0;
    }
    rtl::TStringList written;
    skin.SaveToStrings(&written);
    skins::TSkSkinOptions back;
    try {
        back.LoadFromStrings(&written);
    } catch (const rtl::EConvertError&) {
        std::abort();   // what we write we must read
    }
    if (!SameSkin(skin, back)) std::abort();
    return 0;
}
