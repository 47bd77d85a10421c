// tags/TagsMP4Convert.cpp: the front's entries and cover arts from and into MP4 items and Xtra attributes.
#include "tags/Tags.h"
#include "tags/TagsConvert.h"
#include "tags/TagMP4.h"

#include "rtl/Classes.h"

using namespace Qt::Literals::StringLiterals;

namespace tags {

namespace {

const String ITunesMean = u"com.apple.iTunes"_s;


uint16_t Number(const String& Text) { return uint16_t(Text.trimmed().toUInt()); }

// "3/12" or "3" with the total from the first of two other entries that has one.
void SplitNumber(const TTags& Tags, const String& Value, const String& TotalName, const String& OtherTotalName,
                 uint16_t& Value_, uint16_t& Total)
{
    const qsizetype slash = Value.indexOf(u'/');
    if (slash >= 0) {
        Value_ = Number(Value.left(slash));
        Total = Number(Value.mid(slash + 1));
        return;
    }
    Value_ = Number(Value);
    const String total = Tags.GetTag(TotalName);
    Total = Number(total.isEmpty() ? Tags.GetTag(OtherTotalName) : total);
}

TMP4Atom& FreeForm(TMP4Tag& Tag, const String& Name)
{
    const TAtomName freeForm = AtomNameFromText(u"----"_s);
    if (TMP4Atom* atom = Tag.FindAtomCommon(freeForm, Name, ITunesMean)) return *atom;
    TMP4Atom* atom = Tag.AddAtom(freeForm);
    atom->name.SetAsText(Name);
    atom->mean.SetAsText(ITunesMean);
    return *atom;
}

} // namespace

void TTags::LoadMP4Tags()
{
    TMP4Tag& tag = *MP4Tag;
    for (const auto& atom : tag.Atoms) {
        const String name = MP4AtomToTagName(AtomNameToText(atom->ID));
        if (!name.isEmpty()) RemoveByName(name);
    }
    if (tag.FindAtom(u"covr"_s)) DeleteAllCoverArts();

    for (const auto& atom : tag.Atoms) {
        const String id = AtomNameToText(atom->ID);
        const String name = MP4AtomToTagName(id);
        if (!name.isEmpty() && IsNameValueListKey(name)) {
            rtl::TStringList list;
            atom->GetAsList(list);
            Add(id)->Value = list.Text();
        } else if (!name.isEmpty()) {
            Add(name)->Value = atom->GetAsText();
        } else if (id == u"covr"_s) {
            if (!ParseCoverArts) continue;
            for (size_t i = 0; i < atom->Datas.size(); ++i) {
                TCoverArt* cover = AddCoverArt(u"Cover art "_s + String::number(i + 1));
                rtl::TMemoryStream& data = atom->Datas[i]->Data;
                data.SetPosition(0);
                cover->Stream->CopyFrom(data, data.Size());
                cover->Stream->SetPosition(0);
                data.SetPosition(0);
                cover->PictureFormat = PictureStreamType(cover->Stream.get());
                static const char16_t* const MIMETypes[] = {u"", u"image/jpeg", u"image/png", u"image/bmp", u"image/gif", u""};
                cover->MIMEType = String::fromUtf16(MIMETypes[cover->PictureFormat]);
                cover->CoverType = 3;
            }
        } else if (id == u"----"_s) {
            Add(atom->name.GetAsText())->Value = atom->GetAsText();
        }
    }

    auto computed = [&](std::initializer_list<const char16_t*> Removed, const char16_t* Name, const String& Value) {
        if (Value.isEmpty()) return;
        for (const char16_t* r : Removed) RemoveByName(String::fromUtf16(r));
        Add(String::fromUtf16(Name))->Value = Value;
    };
    auto number = [](uint16_t N) { return N ? String::number(N) : String(); };
    computed({u"GENRE"}, u"GENRE", tag.GetGenre());
    computed({u"MEDIA"}, u"MEDIA", tag.GetMediaType());
    computed({u"TRACKNUMBER", u"TRACK"}, u"TRACKNUMBER", number(tag.GetTrack()));
    computed({u"TOTALTRACKS"}, u"TOTALTRACKS", number(tag.GetTotalTracks()));
    computed({u"DISCNUMBER", u"DISC"}, u"DISCNUMBER", number(tag.GetDisc()));
    computed({u"TOTALDISCS"}, u"TOTALDISCS", number(tag.GetTotalDiscs()));
    computed({u"PURCHASECOUNTRY"}, u"PURCHASECOUNTRY", tag.GetPurchaseCountry());

    if (!tag.Xtras.empty()) {
        static const char16_t* const XtraNames[] = {u"WM/SharedUserRating", u"WM/AuthorURL", u"WM/PromotionURL",
            u"WM/SubTitle", u"WM/Category", u"WM/Producer", u"WM/EncodedBy", u"WM/Conductor", u"WM/ParentalRating",
            u"WM/Writer", u"WM/Director", u"WM/Publisher", u"WM/Mood", u"WM/ContentDistributor", u"WM/InitialKey",
            u"WM/Period", u"WM/PartOfSet", u"WM/MediaClassPrimaryID", u"WM/MediaClassSecondaryID", u"WM/WMContentID",
            u"WM/WMCollectionID", u"WM/WMCollectionGroupID"};
        for (const char16_t* xtraName : XtraNames) {
            const String name = String::fromUtf16(xtraName);
            String text = tag.GetTextXtra(name);
            if (text.isEmpty()) continue;
            if (name == u"WM/SharedUserRating"_s) text = String::number(int64_t(double(text.toLongLong()) / 99 * 255));
            Add(name.mid(3))->Value = text;
        }
    }
    Loaded = true;
}

int TTags::SaveMP4Tag(const String& AFileName, bool Buffered, rtl::TStream* Stream)
{
    TMP4Tag& tag = *MP4Tag;
    for (const char16_t* id : {u"SErg", u"SEpc", u"TIPL", u"TMCL"}) tag.DeleteAtom(AtomNameFromText(String::fromUtf16(id)));

    const int count = Count();
    for (int i = 0; i < count; ++i) {
        const TTag& entry = *Tags[size_t(i)];
        const String upper = entry.Name.toUpper();
        const String atom = TagNameToMP4Atom(upper);
        const TAtomName id = AtomNameFromText(atom);
        const String& value = entry.Value;
        uint16_t n = 0, total = 0;
        if (upper == u"TOTALTRACKS"_s || upper == u"TOTALDISCS"_s) {
            continue;
        } else if (upper == u"GENRE"_s) {
            tag.SetGenre(value);
        } else if (upper == u"MEDIA"_s) {
            tag.SetMediaType(value);
        } else if (upper == u"TRACKNUMBER"_s || upper == u"TRACK"_s) {
            SplitNumber(*this, value, u"TOTALTRACKS"_s, u"TRACKTOTAL"_s, n, total);
            tag.SetTrack(n, total);
        } else if (upper == u"DISCNUMBER"_s || upper == u"DISC"_s) {
            SplitNumber(*this, value, u"TOTALDISCS"_s, u"DISCTOTAL"_s, n, total);
            tag.SetDisc(n, total);
        } else if (upper == u"PURCHASECOUNTRY"_s) {
            tag.SetPurchaseCountry(value);
        } else if (atom == u"pgap"_s || atom == u"cpil"_s || atom == u"hdvd"_s || atom == u"pcst"_s) {
            tag.SetBool(id, value != u"0"_s);
        } else if (atom == u"tmpo"_s) {
            tag.SetInteger16(id, Number(value));
        } else if (atom == u"tvsn"_s || atom == u"tves"_s) {
            tag.SetInteger32(id, value.trimmed().toUInt());
        } else if (atom == u"akID"_s) {
            tag.SetInteger8(id, uint8_t(Number(value)));
        } else if (atom == u"TIPL"_s || atom == u"TMCL"_s) {
            rtl::TStringList list;
            list.SetText(value);
            FreeForm(tag, atom).SetAsList(list);
        } else if (!atom.isEmpty()) {
            if (TypeCount(entry.Name) < 2) {
                tag.SetText(id, value);
            } else {
                rtl::TStringList list;
                GetMultipleList(entry.Name, list);
                tag.SetMultipleValuesMultipleAtoms(id, list);
            }
        } else {
            FreeForm(tag, entry.Name).SetAsCommonText(entry.Name, ITunesMean, value);
        }
    }

    const TAtomName covr = AtomNameFromText(u"covr"_s);
    if (const TMP4Atom* old = tag.FindAtom(covr)) tag.DeleteAtom(old->GetIndex());
    for (const auto& cover : CoverArts) {
        cover->Stream->SetPosition(0);
        TMP4Atom* atom = tag.FindAtom(covr);
        if (!atom) atom = tag.AddAtom(covr);
        TMP4AtomData* data = atom->AddData();
        // The type tells readers how to show the picture: PNG has its own.
        data->DataType = PictureStreamType(cover->Stream.get()) == tpfPNG ? MP4DataPNG : MP4DataJPEG;
        cover->Stream->SetPosition(0);
        data->Data.CopyFrom(*cover->Stream, cover->Stream->Size());
        data->Data.SetPosition(0);
        cover->Stream->SetPosition(0);
    }

    if (Stream) {
        Stream->SetPosition(0);
        return tag.SaveToStream(*Stream, Buffered, MP4KeepPadding, String());
    }
    return tag.SaveToFile(AFileName, MP4KeepPadding, 262144000);
}

} // namespace tags
