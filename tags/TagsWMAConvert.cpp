// tags/TagsWMAConvert.cpp: the front's entries and cover arts from and into the attributes of a WMA, WMV
// or ASF file. "WM/Track" counts tracks from 0, the front from 1.
#include "tags/TagWMA.h"
#include "tags/TagsConvert.h"

#include "rtl/SysUtils.h"

using namespace Qt::Literals::StringLiterals;

namespace tags {

void TTags::LoadWMATags()
{
    TWMATag& tag = *WMATag;
    const int count = tag.Count();
    bool hasPicture = false;
    for (int i = 0; i < count; ++i) {
        const TWMATagFrame& frame = *tag.Frames[size_t(i)];
        const String name = WMAAttributeToTagName(frame.Name);
        if (!name.isEmpty()) RemoveByName(name);
        hasPicture = hasPicture || frame.Name == String::fromUtf16(g_wszWMPicture);
    }
    if (hasPicture) DeleteAllCoverArts();

    for (int i = 0; i < tag.Count(); ++i) {
        TWMATagFrame& frame = *tag.Frames[size_t(i)];
        if (frame.Name == u"WM/Track"_s) {
            if (Exists(u"TRACKNUMBER"_s) < 0) Add(u"TRACKNUMBER"_s)->Value = String::number(rtl::StrToInt64Def(frame.GetAsText().trimmed(), 0) + 1);
        } else if (frame.Name == u"WM/TIPL"_s || frame.Name == u"WM/TMCL"_s) {
            rtl::TStringList list;
            frame.GetAsList(list);
            Add(frame.Name.mid(3))->Value = list.Text();
        } else if (frame.Name == String::fromUtf16(g_wszWMPicture)) {
            if (!ParseCoverArts) continue;
            TCoverArt* cover = AddCoverArt(u"Cover art "_s + String::number(CoverArtCount() + 1));
            uint8_t type = 0;
            tag.GetCoverArtFromFrame(i, *cover->Stream, cover->MIMEType, type, cover->Description);
            cover->CoverType = type;
            cover->PictureFormat = PictureStreamType(cover->Stream.get());
        } else if (const String name = WMAAttributeToTagName(frame.Name); !name.isEmpty()) {
            const String text = frame.GetAsText();
            if ((SameTagName(name, u"DISCNUMBER"_s) || SameTagName(name, u"DISC"_s)) && text.contains(u'/'))
                SetSplitNumber(u"DISCNUMBER"_s, u"TOTALDISCS"_s, text);
            else
                Add(name)->Value = text;
        }
    }
    Loaded = true;
}

int TTags::SaveWMATag(const String& AFileName)
{
    TWMATag& tag = *WMATag;
    const int count = Count();
    for (int e = 0; e < count; ++e) {
        const String attribute = TagNameToWMAAttribute(rtl::UpperCase(Tags[size_t(e)]->Name));
        if (attribute.isEmpty()) continue;
        for (int i = tag.Count() - 1; i >= 0; --i)
            if (rtl::SameText(tag.Frames[size_t(i)]->Name, attribute)) tag.DeleteFrame(i);
    }
    for (int e = 0; e < count; ++e) {
        const TTag& entry = *Tags[size_t(e)];
        auto withTotal = [this, &entry](const String& Total) {
            const String total = GetTag(Total);
            return total.isEmpty() ? entry.Value : entry.Value + u'/' + total;
        };
        if (SameTagName(entry.Name, u"TRACKNUMBER"_s) || SameTagName(entry.Name, u"TRACK"_s)) {
            tag.SetTextFrameText(u"WM/Track"_s, String::number(rtl::StrToInt64Def(entry.Value.trimmed(), 1) - 1));
            tag.SetTextFrameText(u"WM/TrackNumber"_s, withTotal(u"TOTALTRACKS"_s));
            continue;
        }
        if (SameTagName(entry.Name, u"DISCNUMBER"_s) || SameTagName(entry.Name, u"DISC"_s)) {
            tag.SetTextFrameText(u"WM/PartOfSet"_s, withTotal(u"TOTALDISCS"_s));
            continue;
        }
        const String attribute = TagNameToWMAAttribute(rtl::UpperCase(entry.Name));
        if (attribute.isEmpty()) continue;
        TWMATagFrame* frame = tag.AddFrame(attribute);
        if (!frame) continue;
        if (IsNameValueListKey(entry.Name)) {
            rtl::TStringList list;
            list.SetText(entry.Value);
            frame->SetAsList(list);
        } else {
            frame->SetAsText(entry.Value);
        }
    }
    tag.DeleteAllCoverArts();
    for (const auto& cover : CoverArts) {
        cover->Stream->SetPosition(0);
        tag.AddCoverArtFrame(*cover->Stream, cover->MIMEType, uint8_t(cover->CoverType), cover->Description);
    }
    return tag.SaveToFile(AFileName);
}

} // namespace tags
