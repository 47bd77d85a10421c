// tags/TagMP4.cpp: the MP4 items held in memory; no file format behind them yet.
#include "tags/TagMP4.h"

#include "tags/TagItems.h"

#include "rtl/Classes.h"

#include <algorithm>

namespace tags {

TAtomName AtomNameFromText(const String& Text)
{
    TAtomName id{};
    for (int i = 0; i < 4 && i < Text.size(); ++i) id[size_t(i)] = uint8_t(Text[i].unicode());
    return id;
}

String TMP4Atom::GetAsText() const { return {}; }

bool TMP4Atom::GetAsList(rtl::TStrings& List) const
{
    List.Clear();
    return false;
}

bool TMP4Atom::SetAsList(const rtl::TStrings&) { return false; }

bool TMP4Atom::SetAsCommonText(const String& Name, const String& Mean, const String&)
{
    name.SetAsText(Name);
    mean.SetAsText(Mean);
    return false;
}

TMP4AtomData* TMP4Atom::AddData()
{
    Datas.push_back(std::make_unique<TMP4AtomData>());
    return Datas.back().get();
}

void TMP4Atom::Delete()
{
    auto& atoms = Parent->Atoms;
    const auto it = std::find_if(atoms.begin(), atoms.end(), [this](const auto& a) { return a.get() == this; });
    if (it != atoms.end()) atoms.erase(it);   // frees this object: nothing may follow
}

TMP4Tag::TMP4Tag() = default;
TMP4Tag::~TMP4Tag() = default;

void TMP4Tag::Clear()
{
    Atoms.clear();
    Xtras.clear();
    FLoaded = false;
    FAudioChannelCount = 0;
    FAudioSampleRate = 0;
    FAudioResolution = 0;
    FPlaytime = 0;
    FBitRate = 0;
    FAtommdatSize = 0;
}

int TMP4Tag::LoadFromFile(const String& FileName)
{
    Clear();
    return FileName.isEmpty() ? MP4TAGLIBRARY_ERROR_OPENING_FILE : MP4TAGLIBRARY_ERROR_NO_TAG_FOUND;
}

int64_t TMP4Tag::CalculateSize() const { return 0; }

TMP4Atom* TMP4Tag::FindAtom(const TAtomName& AtomName) const
{
    for (const auto& a : Atoms)
        if (a->ID == AtomName) return a.get();
    return nullptr;
}

TMP4Atom* TMP4Tag::FindAtomCommon(const TAtomName& AtomName, const String& Name, const String& Mean) const
{
    for (const auto& a : Atoms)
        if (a->ID == AtomName && a->name.GetAsText() == Name && a->mean.GetAsText() == Mean) return a.get();
    return nullptr;
}

TMP4Atom* TMP4Tag::AddAtom(const TAtomName& AtomName)
{
    Atoms.push_back(std::make_unique<TMP4Atom>(this));
    Atoms.back()->ID = AtomName;
    return Atoms.back().get();
}

bool TMP4Tag::DeleteAtom(const TAtomName& AtomName)
{
    for (size_t i = 0; i < Atoms.size(); ++i)
        if (Atoms[i]->ID == AtomName) return DeleteAtom(int(i));
    return false;
}

bool TMP4Tag::DeleteAtom(int Index) { return DeleteItemAt(Atoms, Index); }

String TMP4Tag::GetGenre() const { return {}; }
String TMP4Tag::GetMediaType() const { return {}; }
uint16_t TMP4Tag::GetTrack() const { return 0; }
uint16_t TMP4Tag::GetTotalTracks() const { return 0; }
uint16_t TMP4Tag::GetDisc() const { return 0; }
uint16_t TMP4Tag::GetTotalDiscs() const { return 0; }
String TMP4Tag::GetPurchaseCountry() const { return {}; }
String TMP4Tag::GetTextXtra(const String&) const { return {}; }
bool TMP4Tag::SetText(const TAtomName&, const String&) { return false; }
bool TMP4Tag::SetBool(const TAtomName&, bool) { return false; }
bool TMP4Tag::SetInteger8(const TAtomName&, uint8_t) { return false; }
bool TMP4Tag::SetInteger16(const TAtomName&, uint16_t) { return false; }
bool TMP4Tag::SetInteger32(const TAtomName&, uint32_t) { return false; }
bool TMP4Tag::SetGenre(const String&) { return false; }
bool TMP4Tag::SetMediaType(const String&) { return false; }
bool TMP4Tag::SetPurchaseCountry(const String&) { return false; }
bool TMP4Tag::SetTrack(uint16_t, uint16_t) { return false; }
bool TMP4Tag::SetDisc(uint16_t, uint16_t) { return false; }
bool TMP4Tag::SetMultipleValuesMultipleAtoms(const TAtomName&, const rtl::TStrings&) { return false; }

int TMP4Tag::SaveToStream(rtl::TStream&, bool, bool, const String&) { return MP4TAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT; }
int TMP4Tag::SaveToFile(const String&, bool, int64_t) { return MP4TAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT; }

int StripMP4TagsFromFile(const String&, bool, uint32_t) { return MP4TAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT; }

} // namespace tags
