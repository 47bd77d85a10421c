// tags/Tags.cpp: the tag front's entries and pictures, loading with the priority merge, the ID3
// converters and writers, deleting an entry from every format, and saving in the suitable formats.
#include "tags/Tags.h"

#include "tags/MPEGplus.h"
#include "tags/TagAPEv2.h"
#include "tags/TagFlac.h"
#include "tags/TagID3v1.h"
#include "tags/TagID3v2.h"
#include "tags/TagMP4.h"
#include "tags/TagOggVorbisAndOpus.h"
#include "tags/TagWAV.h"
#include "tags/TagWMA.h"
#include "tags/WAVPackfile.h"

#include "rtl/Files.h"
#include "rtl/SysUtils.h"

#include <cmath>
#include <functional>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace tags {

const TTagPriority TagLoadPriorityDefault = {ttFlac, ttOpusVorbis, ttMP4, ttWMA, ttID3v2, ttAPEv2, ttWAV, ttID3v1, ttNone};

namespace {

// Unit-wide defaults copied into every new front.
constexpr bool UpperCaseFieldNamesToWriteDefault = true;
constexpr uint32_t PaddingToWriteDefault = 4096;
constexpr bool ParseOggPlayTimeDefault = false;
constexpr bool MP4KeepPaddingDefault = true;
constexpr bool ParseWavPackAudioAttributesDefault = false;
constexpr bool ParseMusePackAudioAttributesDefault = false;
constexpr bool ParseAudioAttributesDefault = true;
constexpr bool ParseCoverArtsDefault = true;

constexpr int TagListStep = 256;
constexpr int CoverArtListStep = 128;

template <class T>
int IndexOfObject(const std::vector<std::unique_ptr<T>>& List, const T* Item)
{
    for (size_t i = 0; i < List.size(); ++i)
        if (List[i].get() == Item) return int(i);
    return -1;
}

} // namespace

bool SameTagName(const String& A, const String& B)
{
    if (A.isEmpty() || B.isEmpty()) return A.isEmpty() && B.isEmpty();
    return rtl::SameText(A, B);
}

// ---- entries and pictures --------------------------------------------------------------------------

int TTag::GetIndex() const { return Parent ? IndexOfObject(Parent->Tags, this) : -1; }

void TTag::Remove() { Parent->Remove(GetIndex()); }

TCoverArt::TCoverArt(TTags* AParent) : Stream(std::make_unique<rtl::TMemoryStream>()), Parent(AParent) {}
TCoverArt::~TCoverArt() = default;

int TCoverArt::GetIndex() const { return Parent ? IndexOfObject(Parent->CoverArts, this) : -1; }

TTags::TTags()
    : APEv2Tag(std::make_unique<TAPEv2Tag>()), FlacTag(std::make_unique<TFlacTag>()),
      ID3v1Tag(std::make_unique<TID3v1Tag>()), ID3v2Tag(std::make_unique<TID3v2Tag>()),
      MP4Tag(std::make_unique<TMP4Tag>()), OggVorbisAndOpusTag(std::make_unique<TOpusTag>()),
      WAVTag(std::make_unique<TWAVTag>()), WMATag(std::make_unique<TWMATag>()),
      SourceAudioAttributes(std::make_unique<TSourceAudioAttributes>(this))
{
    Clear();
    UpperCaseFieldNamesToWrite = UpperCaseFieldNamesToWriteDefault;
    FlacTag->PaddingSizeToWrite = PaddingToWriteDefault;
    ID3v2Tag->PaddingToWrite = PaddingToWriteDefault;
    MP4Tag->PaddingToWrite = PaddingToWriteDefault;
    OggVorbisAndOpusTag->PaddingSizeToWrite = PaddingToWriteDefault;
    OggVorbisAndOpusTag->ParsePlayTime = ParseOggPlayTimeDefault;
    MP4KeepPadding = MP4KeepPaddingDefault;
    ParseWavPackAudioAttributes = ParseWavPackAudioAttributesDefault;
    ParseMusePackAudioAttributes = ParseMusePackAudioAttributesDefault;
    ParseAudioAttributes = ParseAudioAttributesDefault;
    ParseCoverArts = ParseCoverArtsDefault;
    TagLoadPriority = TagLoadPriorityDefault;
}

TTags::~TTags() { Clear(); }

TTag* TTags::Add(const String& Name)
{
    try {
        if (Tags.size() == Tags.capacity()) Tags.reserve(Tags.capacity() + TagListStep);
        Tags.push_back(std::make_unique<TTag>(this));
        Tags.back()->Name = Name;
        return Tags.back().get();
    } catch (...) {
        return nullptr;
    }
}

TCoverArt* TTags::AddCoverArt(const String& Name)
{
    try {
        CoverArts.push_back(std::make_unique<TCoverArt>(this));
        TCoverArt* art = CoverArts.back().get();
        art->Name = Name;
        art->Description = u"No description"_s;
        return art;
    } catch (...) {
        return nullptr;
    }
}

int TTags::Exists(const String& Name) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameTagName(Tags[size_t(i)]->Name, Name)) return i;
    return -1;
}

int TTags::TypeCount(const String& Name) const
{
    int n = 0;
    for (const auto& tag : Tags)
        if (SameTagName(tag->Name, Name)) ++n;
    return n;
}

String TTags::GetTag(const String& Name) const
{
    const int i = Exists(Name);
    return i < 0 ? String() : Tags[size_t(i)]->Value;
}

int TTags::SetTag(const String& Name, const String& Text)
{
    int i = Exists(Name);
    if (i < 0) {
        TTag* tag = Add(Name);
        if (!tag) return -1;
        i = Count() - 1;
    }
    Tags[size_t(i)]->Value = Text;
    return i;
}

bool TTags::Remove(int Index)
{
    if (Index < 0 || Index >= Count()) return false;
    Tags.erase(Tags.begin() + Index);
    return true;
}

void TTags::DeleteAllTags()
{
    while (!Tags.empty()) Tags.pop_back();
    Tags.shrink_to_fit();
    Tags.reserve(TagListStep);
}

void TTags::DeleteAllCoverArts()
{
    for (auto& art : CoverArts) art.reset();
    CoverArts.clear();
    CoverArts.shrink_to_fit();
    CoverArts.reserve(CoverArtListStep);
}

void TTags::Clear()
{
    DeleteAllTags();
    DeleteAllCoverArts();
    APEv2Tag->Clear();
    FlacTag->Clear();
    ID3v1Tag->Clear();
    ID3v2Tag->Clear();
    MP4Tag->Clear();
    OggVorbisAndOpusTag->Clear();
    WAVTag->Clear();
    WMATag->Clear();
    SourceAudioAttributes->WAVPackAttributes.reset();
    SourceAudioAttributes->MusePackAttributes.reset();
    FileName.clear();
    Loaded = false;
}

bool TTags::ItemAlreadyOnList(const rtl::TStrings& List, const String& Item) const
{
    for (int i = 0; i < List.Count(); ++i)
        if (SameTagName(List[i], Item)) return true;
    return false;
}

void TTags::GetMultipleList(const String& Name, rtl::TStrings& List) const
{
    List.Clear();
    for (const auto& tag : Tags)
        if (SameTagName(tag->Name, Name) && !ItemAlreadyOnList(List, tag->Value)) List.Add(tag->Value);
}

TTagPictureFormat TTags::PictureStreamType(rtl::TStream* PictureStream)
{
    if (!PictureStream) return tpfUnknown;
    TTagPictureFormat result = tpfUnknown;
    try {
        if (PictureStream->Size() == 0) return tpfUnknown;
        uint8_t b[4] = {};
        PictureStream->SetPosition(0);
        if (PictureStream->Read(b, 2) == 2) {
            if (b[0] == 'G' && b[1] == 'I') result = tpfGIF;
            else if (b[0] == 'B' && b[1] == 'M') result = tpfBMP;
            else if (b[0] == 0x89 && b[1] == 'P') result = tpfPNG;
            else if (b[0] == 0xFF && b[1] == 0xD8) result = tpfJPEG;
        }
        if (result == tpfUnknown) {
            PictureStream->SetPosition(0);
            if (PictureStream->Read(b, 4) == 4 &&
                ((b[0] == 'I' && b[1] == 'I' && b[2] == 0x2A && b[3] == 0) ||
                 (b[0] == 'M' && b[1] == 'M' && b[2] == 0 && b[3] == 0x2A)))
                result = tpfTIFF;
        }
        PictureStream->SetPosition(0);
    } catch (...) {
        try { PictureStream->SetPosition(0); } catch (...) {}
        return tpfUnknown;
    }
    return result;
}

int64_t TTags::Size() const
{
    int64_t size = 0;
    if (APEv2Tag->Loaded) size += APEv2Tag->CalculateTagSize();
    if (FlacTag->Loaded) size += FlacTag->CalculateTagSize(true);
    if (ID3v1Tag->Loaded) size += 128;
    if (ID3v2Tag->Loaded) size += ID3v2Tag->Size;
    if (MP4Tag->FLoaded) size += MP4Tag->CalculateSize();
    if (OggVorbisAndOpusTag->Loaded) size += OggVorbisAndOpusTag->CalculateTagSize(true);
    if (WAVTag->Loaded) size += WAVTag->Size;
    if (WMATag->Loaded) size += WMATag->CalculateTagSize();
    return size;
}

// ---- loading ---------------------------------------------------------------------------------------

int TTags::LoadFromFile(const String& AFileName)
{
    Clear();
    Loaded = false;
    if (!rtl::FileExists(AFileName)) return trcOpeningFile;
    const String ext = rtl::UpperCase(rtl::ExtractFileExt(AFileName));

    // A reader that fails counts as finding nothing of its format; the next format is read regardless.
    auto guarded = [](const std::function<void()>& Read) {
        try {
            Read();
        } catch (...) {
        }
    };
    guarded([&] { APEv2Tag->LoadFromFile(AFileName); });
    guarded([&] { FlacTag->LoadFromFile(AFileName, true); });
    guarded([&] { ID3v1Tag->LoadFromFile(AFileName); });
    ID3v2Tag->ParseAudioAttributes = ParseAudioAttributes;
    ID3v2Tag->ParseCoverArts = ParseCoverArts;
    guarded([&] {
        ID3v2Tag->LoadFromFile(AFileName, true);
        ID3v2Tag->RemoveUnsynchronisationOnAllFrames();
        ID3v2Tag->DeCompressAllFrames();
    });
    MP4Tag->ParseCoverArts = ParseCoverArts;
    guarded([&] { MP4Tag->LoadFromFile(AFileName); });
    guarded([&] { OggVorbisAndOpusTag->LoadFromFile(AFileName); });
    guarded([&] { WAVTag->LoadFromFile(AFileName); });
    if (!ID3v2Tag->Loaded) guarded([&] { WMATag->LoadFromFile(AFileName); });

    if (ParseWavPackAudioAttributes && ext == u".WV"_s) {
        auto& holder = SourceAudioAttributes->WAVPackAttributes;
        holder = std::make_unique<TWAVPackfile>();
        holder->LoadFromFile(AFileName, APEv2Tag->Size);
        if (!holder->FValid) holder.reset();
    }
    if (ParseMusePackAudioAttributes && ext == u".MPC"_s) {
        auto& holder = SourceAudioAttributes->MusePackAttributes;
        holder = std::make_unique<TMPEGplus>();
        holder->LoadFromFile(AFileName, ID3v2Tag->Size, int64_t(APEv2Tag->Size) + (ID3v1Tag->Loaded ? 128 : 0));
        if (!holder->FValid) holder.reset();
    }

    FileName = AFileName;
    Loaded = APEv2Tag->Loaded || FlacTag->Loaded || ID3v1Tag->Loaded || ID3v2Tag->Loaded || MP4Tag->FLoaded ||
             OggVorbisAndOpusTag->Loaded || WMATag->Loaded || WAVTag->Loaded;
    LoadTags();
    return trcSuccess;
}

void TTags::LoadTags()
{
    // Lowest priority first, so that the formats converted later win name by name.
    for (int i = int(TagLoadPriority.size()) - 1; i >= 0; --i) {
        switch (TagLoadPriority[size_t(i)]) {
        case ttID3v1: if (ID3v1Tag->Loaded) LoadID3v1Tags(); break;
        case ttWAV: if (WAVTag->Loaded) LoadWAVTags(); break;
        case ttAPEv2: if (APEv2Tag->Loaded) LoadAPEv2Tags(); break;
        case ttOpusVorbis: if (OggVorbisAndOpusTag->Loaded) LoadOggVorbisAndOpusTags(); break;
        case ttWMA: if (WMATag->Loaded) LoadWMATags(); break;
        case ttMP4: if (MP4Tag->FLoaded) LoadMP4Tags(); break;
        case ttID3v2: if (ID3v2Tag->Loaded) LoadID3v2Tags(); break;
        case ttFlac: if (FlacTag->Loaded) LoadFlacTags(); break;
        default: break;
        }
    }
}

void TTags::RemoveByName(const String& Name)
{
    for (int i = Count() - 1; i >= 0; --i)
        if (SameTagName(Tags[size_t(i)]->Name, Name)) Tags[size_t(i)]->Remove();
}

// "3/12": the number, and the total under a name of its own that replaces an earlier total everywhere.
void TTags::SetSplitNumber(const String& NumberName, const String& TotalName, const String& Text)
{
    const int slash = int(Text.indexOf(u'/'));
    Add(NumberName)->Value = Text.left(slash);
    const int old = Exists(TotalName);
    if (old >= 0) Delete(old);
    Add(TotalName)->Value = Text.mid(slash + 1);
}

void TTags::LoadID3v2Tags()
{
    TID3v2Tag& tag = *ID3v2Tag;
    const int frameCount = tag.FrameCount();
    bool hasPictures = false;
    for (int i = 0; i < frameCount; ++i) {
        const String id = FrameIDToString(tag.Frames[size_t(i)]->ID);
        const String name = ID3v2FrameToTagName(id);
        String description;
        if (!name.isEmpty()) {
            RemoveByName(name);
        } else if (id == u"TXXX"_s) {
            tag.GetUnicodeUserDefinedTextInformation(i, description);
            RemoveByName(description);
        } else if (id == u"WXXX"_s) {
            tag.GetUnicodeUserDefinedURLLink(i, description);
            RemoveByName(description);
        }
        if (id == u"APIC"_s) hasPictures = true;
    }
    if (hasPictures) DeleteAllCoverArts();

    rtl::TStringList list;
    // Deleting a derived entry can take frames out of the tag, so the count is read again every time.
    for (int i = 0; i < tag.FrameCount(); ++i) {
        const TFrameID& frameID = tag.Frames[size_t(i)]->ID;
        const String id = FrameIDToString(frameID);
        const String name = ID3v2FrameToTagName(id);
        if (name == u"GENRE"_s) {
            Add(name)->Value = DecodeID3v2Genre(tag.GetUnicodeText(i));
            continue;
        }
        if (!name.isEmpty()) {
            String text, description;
            TLanguageID language;
            ClearLanguageID(language);
            list.Clear();
            switch (ID3v2FrameKind(frameID)) {
            case fkText:
                text = tag.GetUnicodeText(i);
                tag.GetUnicodeTextMultiple(i, list);
                break;
            case fkContent: text = tag.GetUnicodeContent(i, language, description); break;
            case fkList:
                tag.GetUnicodeListFrame(i, list);
                text = list.Text();
                list.Clear();
                break;
            case fkURL: text = tag.GetURL(i); break;
            default: break;
            }
            const String languageText = LanguageIDToString(language);
            if ((SameTagName(name, u"TRACKNUMBER"_s) || SameTagName(name, u"TRACK"_s)) && text.contains(u'/')) {
                SetSplitNumber(u"TRACKNUMBER"_s, u"TOTALTRACKS"_s, text);
            } else if ((SameTagName(name, u"DISCNUMBER"_s) || SameTagName(name, u"DISC"_s)) && text.contains(u'/')) {
                SetSplitNumber(u"DISCNUMBER"_s, u"TOTALDISCS"_s, text);
            } else if (list.Count() == 0) {
                TTag* entry = Add(name);
                entry->Value = text;
                entry->Description = description;
                entry->Language = languageText;
            } else {
                for (int v = 0; v < list.Count(); ++v) {
                    TTag* entry = Add(name);
                    entry->Value = list[v];
                    entry->Description = description;
                    entry->Language = languageText;
                }
            }
            continue;
        }
        if (id == u"TXXX"_s) {
            String description;
            list.Clear();
            tag.GetUnicodeUserDefinedTextInformationMultiple(i, description, list);
            if (list.Count() > 0 && !description.isEmpty()) {
                for (int v = 0; v < list.Count(); ++v) {
                    if (list[v].trimmed().isEmpty()) continue;
                    TTag* entry = Add(description);
                    entry->Value = list[v];
                    entry->Description = description;
                    entry->ExtTagType = ettTXXX;
                }
            }
        } else if (id == u"WXXX"_s) {
            String description;
            const String url = tag.GetUnicodeUserDefinedURLLink(i, description);
            if (!url.isEmpty() && !description.isEmpty()) {
                TTag* entry = Add(description);
                entry->Value = url;
                entry->Description = description;
                entry->ExtTagType = ettWXXX;
            }
        } else if (id == u"APIC"_s) {
            if (!ParseCoverArts) continue;
            TCoverArt* art = AddCoverArt(u"Cover art "_s + String::number(CoverArtCount() + 1));
            int coverType = 0;
            tag.GetUnicodeCoverPictureStream(i, *art->Stream, art->MIMEType, art->Description, coverType);
            art->CoverType = uint32_t(coverType);
            art->PictureFormat = PictureStreamType(art->Stream.get());
        } else if (id == u"PCNT"_s) {
            Add(u"PLAYCOUNT"_s)->Value = String::number(tag.GetPlayCount(i));
        } else if (id == u"POPM"_s) {
            String email;
            uint8_t rating = 0;
            uint32_t counter = 0;
            tag.GetPopularimeter(i, email, rating, counter);
            Add(u"RATING"_s)->Value = String::number(rating);
        }
    }
    Loaded = true;
}

void TTags::LoadID3v1Tags()
{
    const TID3v1Tag& tag = *ID3v1Tag;
    auto take = [this](const String& Name, const String& Value) {
        if (Value.isEmpty()) return;
        RemoveByName(Name);
        Add(Name)->Value = Value;
    };
    take(u"TITLE"_s, tag.Title);
    take(u"ARTIST"_s, tag.Artist);
    take(u"ALBUM"_s, tag.Album);
    take(u"YEAR"_s, tag.Year);
    take(u"COMMENT"_s, tag.Comment);
    if (tag.Track != 0) {
        RemoveByName(u"TRACKNUMBER"_s);
        RemoveByName(u"TRACK"_s);
        Add(u"TRACKNUMBER"_s)->Value = String::number(tag.Track);
    }
    take(u"GENRE"_s, tag.Genre);
    Loaded = true;
}

// ---- deleting an entry from every format -----------------------------------------------------------

namespace {

// The bext and cart fields an entry may stand for, by the entry's name.
void ClearWAVField(TWAVTag& WAV, const String& UpperName)
{
    using TClear = std::function<void(TWAVTag&)>;
    static const std::vector<std::pair<const char16_t*, TClear>> Fields = {
        {u"BEXT Description", [](TWAVTag& w) { w.BEXT.SetDescription({}); }},
        {u"BEXT Originator", [](TWAVTag& w) { w.BEXT.SetOriginator({}); }},
        {u"BEXT OriginatorReference", [](TWAVTag& w) { w.BEXT.SetOriginatorReference({}); }},
        {u"BEXT OriginationDate", [](TWAVTag& w) { w.BEXT.SetOriginationDate({}); }},
        {u"BEXT OriginationTime", [](TWAVTag& w) { w.BEXT.SetOriginationTime({}); }},
        {u"BEXT UMID", [](TWAVTag& w) { w.BEXT.SetUMID({}); }},
        {u"BEXT CodingHistory", [](TWAVTag& w) { w.BEXT.SetCodingHistory({}); }},
        {u"BEXT TimeReference", [](TWAVTag& w) { w.BEXT.SetTimeReference(0); }},
        {u"BEXT Version", [](TWAVTag& w) { w.BEXT.SetVersion(0); }},
        {u"BEXT LoudnessValue", [](TWAVTag& w) { w.BEXT.SetLoudnessValue(0); }},
        {u"BEXT LoudnessRange", [](TWAVTag& w) { w.BEXT.SetLoudnessRange(0); }},
        {u"BEXT MaxTruePeakLevel", [](TWAVTag& w) { w.BEXT.SetMaxTruePeakLevel(0); }},
        {u"BEXT MaxMomentaryLoudness", [](TWAVTag& w) { w.BEXT.SetMaxMomentaryLoudness(0); }},
        {u"BEXT MaxShortTermLoudness", [](TWAVTag& w) { w.BEXT.SetMaxShortTermLoudness(0); }},
        {u"CART Version", [](TWAVTag& w) { w.CART.SetVersion({}); }},
        {u"CART Title", [](TWAVTag& w) { w.CART.SetTitle({}); }},
        {u"CART Artist", [](TWAVTag& w) { w.CART.SetArtist({}); }},
        {u"CART CutID", [](TWAVTag& w) { w.CART.SetCutID({}); }},
        {u"CART ClientID", [](TWAVTag& w) { w.CART.SetClientID({}); }},
        {u"CART Category", [](TWAVTag& w) { w.CART.SetCategory({}); }},
        {u"CART Classification", [](TWAVTag& w) { w.CART.SetClassification({}); }},
        {u"CART OutCue", [](TWAVTag& w) { w.CART.SetOutCue({}); }},
        {u"CART StartDate", [](TWAVTag& w) { w.CART.SetStartDate({}); }},
        {u"CART StartTime", [](TWAVTag& w) { w.CART.SetStartTime({}); }},
        {u"CART EndDate", [](TWAVTag& w) { w.CART.SetEndDate({}); }},
        {u"CART EndTime", [](TWAVTag& w) { w.CART.SetEndTime({}); }},
        {u"CART ProducerAppID", [](TWAVTag& w) { w.CART.SetProducerAppID({}); }},
        {u"CART ProducerAppVersion", [](TWAVTag& w) { w.CART.SetProducerAppVersion({}); }},
        {u"CART UserDef", [](TWAVTag& w) { w.CART.SetUserDef({}); }},
        {u"CART URL", [](TWAVTag& w) { w.CART.SetURL({}); }},
        {u"CART Reserved", [](TWAVTag& w) { w.CART.SetReserved({}); }},
        {u"CART TagText", [](TWAVTag& w) { w.CART.SetTagText({}); }},
        {u"CART LevelReference", [](TWAVTag& w) { w.CART.SetLevelReference(0); }},
    };
    for (const auto& [field, clear] : Fields) {
        if (rtl::SameText(UpperName, String::fromUtf16(field))) {
            clear(WAV);
            return;
        }
    }
    for (int timer = 0; timer < 8; ++timer) {
        if (rtl::SameText(UpperName, u"CART PostTimer"_s + String::number(timer))) {
            WAV.CART.ClearPostTimer(timer);
            return;
        }
    }
    WAV.DeleteFrameByName(UpperName);
    // The INFO chunks are kept under their own IDs, so the entry's chunk goes too: otherwise the next
    // save would bring the value back.
    const String chunk = TagNameToRIFFInfo(UpperName);
    if (!chunk.isEmpty()) WAV.DeleteFrameByName(chunk);
}

template <class TItems, class TText>
void DeleteMatchingItems(TItems& Items, const TTag& Entry, TText Text, const std::function<void(int)>& DeleteAt)
{
    for (int i = int(Items.size()) - 1; i >= 0; --i) {
        const auto& item = *Items[size_t(i)];
        if (SameTagName(item.Name, Entry.Name) && SameTagName(Text(item), Entry.Value)) DeleteAt(i);
    }
}

} // namespace

bool TTags::Delete(int Index)
{
    if (Index < 0 || Index >= Count()) return false;
    const TTag& entry = *Tags[size_t(Index)];
    const String upper = rtl::UpperCase(entry.Name);

    DeleteMatchingItems(APEv2Tag->Frames, entry, [](const TAPEv2Frame& f) { return f.GetAsText(); },
                        [this](int i) { APEv2Tag->DeleteFrame(i); });
    DeleteMatchingItems(FlacTag->Tags, entry, [](const TVorbisComment& c) { return c.GetAsText(); },
                        [this](int i) { FlacTag->DeleteFrame(i); });
    DeleteMatchingItems(OggVorbisAndOpusTag->Frames, entry, [](const TOpusTagFrame& f) { return f.GetAsText(); },
                        [this](int i) { OggVorbisAndOpusTag->DeleteFrame(i); });

    TID3v1Tag& v1 = *ID3v1Tag;
    if (upper == u"TITLE"_s) v1.Title.clear();
    else if (upper == u"ARTIST"_s) v1.Artist.clear();
    else if (upper == u"ALBUM"_s) v1.Album.clear();
    else if (upper == u"YEAR"_s) v1.Year.clear();
    else if (upper == u"COMMENT"_s) v1.Comment.clear();
    else if (upper == u"TRACKNUMBER"_s || upper == u"TRACK"_s) v1.Track = 0;
    else if (upper == u"GENRE"_s) v1.Genre.clear();

    TID3v2Tag& v2 = *ID3v2Tag;
    if (entry.ExtTagType == ettTXXX || entry.ExtTagType == ettWXXX) {
        const bool txxx = entry.ExtTagType == ettTXXX;
        for (int i = v2.FrameCount() - 1; i >= 0; --i) {
            if (!FrameIDMatchesText(v2.Frames[size_t(i)]->ID, txxx ? "TXXX" : "WXXX")) continue;
            String description;
            const String value = txxx ? v2.GetUnicodeUserDefinedTextInformation(i, description)
                                      : v2.GetUnicodeUserDefinedURLLink(i, description);
            if (SameTagName(description, entry.Name) && SameTagName(value, entry.Value)) v2.DeleteFrame(i);
        }
    } else {
        const String frameID = TagNameToID3v2Frame(upper);
        if (!frameID.isEmpty()) v2.DeleteFrame(frameID);
    }

    const String atom = TagNameToMP4Atom(upper);
    if (!atom.isEmpty()) MP4Tag->DeleteAtom(AtomNameFromText(atom));
    if (TMP4Atom* common = MP4Tag->FindAtomCommon(AtomNameFromText(u"----"_s), entry.Name, u"com.apple.iTunes"_s))
        common->Delete();

    ClearWAVField(*WAVTag, upper);

    const String attribute = TagNameToWMAAttribute(upper);
    if (!attribute.isEmpty()) {
        for (int i = WMATag->Count() - 1; i >= 0; --i)
            if (SameTagName(WMATag->Frames[size_t(i)]->Name, attribute)) WMATag->DeleteFrame(i);
    }

    return Remove(Index);
}

// ---- source audio attributes ------------------------------------------------------------------------

TSourceAudioAttributes::TSourceAudioAttributes(TTags* AParent) : Parent(AParent) {}
TSourceAudioAttributes::~TSourceAudioAttributes() = default;

namespace {

using TAnswer = std::optional<int64_t>;   // a value ends the walk; nothing goes on to the next source

TAnswer NonZero(int64_t Value) { return Value != 0 ? TAnswer(Value) : std::nullopt; }

// Asks the sources named by the load priority from the lowest priority up.
int64_t WalkPriority(const TTags& Tags, const std::function<TAnswer(TTagType)>& Ask)
{
    for (int i = int(Tags.TagLoadPriority.size()) - 1; i >= 0; --i)
        if (const TAnswer answer = Ask(Tags.TagLoadPriority[size_t(i)])) return *answer;
    return 0;
}

// One value of the ID3v2 object by the kind of file it was read from.
struct TID3v2Source {
    std::function<TAnswer(const TID3v2Tag&)> MPEG, WAVE, AIFF, DSF, DFF;
};

TAnswer AskID3v2(const TID3v2Tag& Tag, const TID3v2Source& Source)
{
    switch (Tag.SourceFileType()) {
    case sftMPEG: return Source.MPEG(Tag);
    case sftWAVE:
    case sftRF64: return Source.WAVE(Tag);
    case sftAIFF: return Source.AIFF(Tag);
    case sftDSF: return Tag.DSFInfo ? Source.DSF(Tag) : std::nullopt;
    case sftDFF: return Tag.DFFInfo ? Source.DFF(Tag) : std::nullopt;
    default: return std::nullopt;
    }
}

// One value of the Ogg object by its codec.
TAnswer AskOgg(const TOpusTag& Ogg, const std::function<TAnswer(const TOpusHeader&)>& Opus,
               const std::function<TAnswer(const TVorbisHeader&)>& Vorbis)
{
    if (Ogg.Format == ofOpus) return Opus(Ogg.Info.OpusParameters);
    if (Ogg.Format == ofVorbis) return Vorbis(Ogg.Info.VorbisParameters);
    return std::nullopt;
}

int64_t RoundHalfEven(double Value) { return int64_t(std::nearbyint(Value)); }

} // namespace

uint16_t TSourceAudioAttributes::GetChannels() const
{
    if (WAVPackAttributes) return uint16_t(WAVPackAttributes->FChannels);
    if (MusePackAttributes) return MusePackAttributes->FChannelCount ? MusePackAttributes->FChannelCount : 2;
    const TTags& t = *Parent;
    return uint16_t(WalkPriority(t, [&t](TTagType Type) -> TAnswer {
        switch (Type) {
        case ttFlac: return NonZero(t.FlacTag->FChannels);
        case ttID3v2:
            return AskID3v2(*t.ID3v2Tag, {
                [](const TID3v2Tag& v) { return NonZero(MPEGChannels(v.MPEGInfo.ChannelMode)); },
                [](const TID3v2Tag& v) { return NonZero(v.WAVInfo.Channels); },
                [](const TID3v2Tag& v) { return NonZero(v.AIFFInfo.Channels); },
                [](const TID3v2Tag& v) { return NonZero(v.DSFInfo->ChannelNumber); },
                [](const TID3v2Tag& v) { return NonZero(v.DFFInfo->ChannelNumber); }});
        case ttOpusVorbis:
            return AskOgg(*t.OggVorbisAndOpusTag, [](const TOpusHeader& h) { return NonZero(h.ChannelCount); },
                          [](const TVorbisHeader& h) { return NonZero(h.ChannelMode); });
        case ttWAV: return NonZero(t.WAVTag->Attributes.Channels);
        case ttMP4: return NonZero(t.MP4Tag->FAudioChannelCount);
        case ttWMA: return t.WMATag->Loaded ? TAnswer(0) : std::nullopt;
        default: return std::nullopt;
        }
    }));
}

uint32_t TSourceAudioAttributes::GetSamplesPerSec() const
{
    if (WAVPackAttributes) return WAVPackAttributes->FSampleRate;
    if (MusePackAttributes) return MusePackAttributes->FSampleRate;
    const TTags& t = *Parent;
    return uint32_t(WalkPriority(t, [&t](TTagType Type) -> TAnswer {
        switch (Type) {
        case ttFlac: return NonZero(t.FlacTag->FSampleRate);
        case ttID3v2:
            return AskID3v2(*t.ID3v2Tag, {
                [](const TID3v2Tag& v) { return NonZero(v.MPEGInfo.SampleRate); },
                [](const TID3v2Tag& v) { return NonZero(v.WAVInfo.SamplesPerSec); },
                [](const TID3v2Tag& v) { return NonZero(RoundHalfEven(v.AIFFInfo.SampleRate)); },
                [](const TID3v2Tag& v) { return NonZero(v.DSFInfo->SamplingFrequency); },
                [](const TID3v2Tag& v) { return NonZero(v.DFFInfo->SampleRate); }});
        case ttOpusVorbis:
            return AskOgg(*t.OggVorbisAndOpusTag, [](const TOpusHeader& h) { return NonZero(h.SampleRate); },
                          [](const TVorbisHeader& h) { return NonZero(h.SampleRate); });
        case ttWAV: return NonZero(t.WAVTag->Attributes.SamplesPerSec);
        case ttMP4: return NonZero(t.MP4Tag->FAudioSampleRate);
        case ttWMA: return t.WMATag->Loaded ? TAnswer(0) : std::nullopt;
        default: return std::nullopt;
        }
    }));
}

uint16_t TSourceAudioAttributes::GetBitsPerSample() const
{
    if (WAVPackAttributes && WAVPackAttributes->FBits != 0) return uint16_t(WAVPackAttributes->FBits);
    if (MusePackAttributes) return 0;
    const TTags& t = *Parent;
    return uint16_t(WalkPriority(t, [&t](TTagType Type) -> TAnswer {
        switch (Type) {
        case ttFlac: return NonZero(t.FlacTag->FBitsPerSample);
        case ttID3v2:
            return AskID3v2(*t.ID3v2Tag, {
                [](const TID3v2Tag& v) { return v.MPEGInfo.SampleRate != 0 ? TAnswer(0) : std::nullopt; },
                [](const TID3v2Tag& v) { return NonZero(v.WAVInfo.BitsPerSample); },
                [](const TID3v2Tag& v) { return NonZero(v.AIFFInfo.SampleSize); },
                [](const TID3v2Tag& v) { return NonZero(v.DSFInfo->BitsPerSample); },
                [](const TID3v2Tag&) { return TAnswer(1); }});
        case ttOpusVorbis:
            return AskOgg(*t.OggVorbisAndOpusTag,
                          [](const TOpusHeader& h) { return h.ChannelCount != 0 ? TAnswer(0) : std::nullopt; },
                          [](const TVorbisHeader& h) { return h.ChannelMode != 0 ? TAnswer(0) : std::nullopt; });
        case ttWAV: return NonZero(t.WAVTag->Attributes.BitsPerSample);
        case ttMP4: return NonZero(t.MP4Tag->FAudioResolution);
        case ttWMA: return t.WMATag->Loaded ? TAnswer(0) : std::nullopt;
        default: return std::nullopt;
        }
    }));
}

int64_t TSourceAudioAttributes::GetSampleCount() const
{
    if (WAVPackAttributes) return WAVPackAttributes->FSamples;
    if (MusePackAttributes) return MusePackAttributes->FSampleCount;
    const TTags& t = *Parent;
    return WalkPriority(t, [&t](TTagType Type) -> TAnswer {
        switch (Type) {
        case ttFlac: return NonZero(t.FlacTag->FSamples);
        case ttID3v2:
            return AskID3v2(*t.ID3v2Tag, {
                [](const TID3v2Tag& v) { return NonZero(v.SampleCount); },
                [](const TID3v2Tag& v) { return NonZero(v.SampleCount); },
                [](const TID3v2Tag& v) { return NonZero(v.AIFFInfo.SampleFrames); },
                [](const TID3v2Tag& v) { return NonZero(int64_t(v.DSFInfo->SampleCount)); },
                [](const TID3v2Tag& v) { return NonZero(int64_t(v.DFFInfo->SampleCount)); }});
        case ttOpusVorbis: {
            const TOpusTag& ogg = *t.OggVorbisAndOpusTag;
            return ogg.Format == ofOpus || ogg.Format == ofVorbis ? NonZero(ogg.Info.SampleCount) : std::nullopt;
        }
        case ttWAV: return NonZero(t.WAVTag->SampleCount);
        case ttWMA: return NonZero(t.WMATag->GetNumberOfFrames());
        default: return std::nullopt;
        }
    });
}

int32_t TSourceAudioAttributes::GetBitRate() const
{
    if (WAVPackAttributes) return int32_t(RoundHalfEven(WAVPackAttributes->FBitrate));
    if (MusePackAttributes) return MusePackAttributes->GetBitRate();
    const TTags& t = *Parent;
    return int32_t(WalkPriority(t, [&t](TTagType Type) -> TAnswer {
        switch (Type) {
        case ttFlac: return NonZero(t.FlacTag->FBitrate);
        case ttID3v2:
            return AskID3v2(*t.ID3v2Tag, {
                [](const TID3v2Tag& v) { return NonZero(v.BitRate); },
                [](const TID3v2Tag& v) { return NonZero(v.BitRate); },
                [](const TID3v2Tag& v) { return NonZero(v.BitRate); },
                [](const TID3v2Tag& v) { return NonZero(v.DSFInfo->GetBitRate()); },
                [](const TID3v2Tag& v) { return NonZero(v.DFFInfo->BitRate); }});
        case ttOpusVorbis: {
            const TOpusTag& ogg = *t.OggVorbisAndOpusTag;
            return AskOgg(ogg, [&ogg](const TOpusHeader&) { return NonZero(ogg.Info.BitRate); },
                          [&ogg](const TVorbisHeader& h) {
                              return h.BitRateNominal != 0 ? NonZero(h.BitRateNominal / 1000) : TAnswer(ogg.Info.BitRate);
                          });
        }
        case ttWAV: return NonZero(t.WAVTag->BitRate);
        case ttMP4: return t.MP4Tag->FAtommdatSize != 0 ? TAnswer(t.MP4Tag->FBitRate) : std::nullopt;
        case ttWMA: return NonZero(t.WMATag->GetBitRate());
        default: return std::nullopt;
        }
    }));
}

double TSourceAudioAttributes::GetPlayTime() const
{
    if (WAVPackAttributes) return WAVPackAttributes->FDuration;
    if (MusePackAttributes) return MusePackAttributes->GetDuration();
    const TTags& t = *Parent;
    if (t.FlacTag->GetValid() && t.FlacTag->GetPlaytime() != 0) return t.FlacTag->GetPlaytime();
    if (t.OggVorbisAndOpusTag->Info.PlayTime != 0) return t.OggVorbisAndOpusTag->Info.PlayTime;
    if (t.WAVTag->PlayTime != 0) return t.WAVTag->PlayTime;
    if (t.MP4Tag->FPlaytime != 0) return t.MP4Tag->FPlaytime;
    if (t.WMATag->GetDuration() != 0) return double(t.WMATag->GetDuration()) / 1000;
    TID3v2Tag& v2 = *t.ID3v2Tag;
    switch (v2.SourceFileType()) {
    case sftMPEG:
    case sftWAVE:
    case sftRF64: return v2.PlayTime();
    case sftAIFF: return double(RoundHalfEven(v2.PlayTime()));
    case sftDSF: return v2.DSFInfo ? v2.DSFInfo->PlayTime : 0;
    case sftDFF: return v2.DFFInfo ? v2.DFFInfo->PlayTime : 0;
    default: return 0;
    }
}


} // namespace tags
