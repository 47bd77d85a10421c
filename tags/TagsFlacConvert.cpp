// tags/TagsFlacConvert.cpp: the front's entries and cover arts from and into FLAC comments and PICTURE blocks.
#include "tags/Tags.h"
#include "tags/TagsConvert.h"
#include "tags/TagFlac.h"

#include "rtl/Classes.h"

using namespace Qt::Literals::StringLiterals;

namespace tags {

void TTags::LoadFlacTags()
{
    TFlacTag& tag = *FlacTag;
    const int count = tag.Count();
    for (int i = 0; i < count; ++i)
        if (tag.Tags[size_t(i)]->Format == vcfText) RemoveByName(tag.Tags[size_t(i)]->Name);
    if (tag.CoverArtCount() > 0) DeleteAllCoverArts();

    for (int i = 0; i < tag.Count(); ++i) {
        TVorbisComment& comment = *tag.Tags[size_t(i)];
        if (comment.Format != vcfText) continue;
        const String name = comment.Name;
        if (SameTagName(name, u"TRACKNUMBER"_s) || SameTagName(name, u"TRACK"_s)) {
            const String text = comment.GetAsText();
            if (text.contains(u'/')) SetSplitNumber(u"TRACKNUMBER"_s, u"TOTALTRACKS"_s, text);
            else Add(name)->Value = text;
        } else if (IsNameValueListKey(name)) {
            rtl::TStringList list;
            comment.GetAsList(list);
            Add(name)->Value = list.Text();
        } else {
            Add(name)->Value = comment.GetAsText();
        }
    }
    if (!ParseCoverArts) return;
    for (int i = 0; i < tag.CoverArtCount(); ++i) {
        TCoverArt* cover = AddCoverArt(u"Cover art "_s + String::number(i + 1));
        TFlacTagCoverArtInfo info;
        if (!tag.GetCoverArt(i, *cover->Stream, info)) continue;
        cover->Description = info.Description;
        cover->CoverType = info.PictureType;
        cover->MIMEType = info.MIMEType;
        cover->PictureFormat = PictureStreamType(cover->Stream.get());
        cover->Width = info.Width;
        cover->Height = info.Height;
        cover->ColorDepth = info.ColorDepth;
        cover->NoOfColors = info.NoOfColors;
    }
}

int TTags::SaveFlacTag(const String& AFileName, bool Buffered, rtl::TStream* Stream)
{
    TFlacTag& tag = *FlacTag;
    tag.UpperCaseFieldNamesToWrite = UpperCaseFieldNamesToWrite;
    for (const auto& entry : Tags)
        for (int i = tag.Count() - 1; i >= 0; --i)
            if (EntryClearsItem(entry->Name, tag.Tags[size_t(i)]->Name)) tag.DeleteFrame(i);
    for (const auto& entry : Tags) {
        if (TrackEntrySuperseded(*this, entry->Name)) continue;
        if (IsNameValueListKey(entry->Name)) {
            rtl::TStringList list;
            list.SetText(entry->Value);
            tag.AddTag(entry->Name)->SetAsList(list);
        } else {
            tag.AddTag(entry->Name)->SetAsText(entry->Value);
        }
    }
    tag.DeleteAllCoverArts();
    for (const auto& cover : CoverArts) {
        cover->Stream->SetPosition(0);
        TFlacTagCoverArtInfo info;
        info.PictureType = cover->CoverType;
        info.MIMEType = cover->MIMEType;
        info.Description = cover->Description;
        info.Width = cover->Width;
        info.Height = cover->Height;
        info.ColorDepth = cover->ColorDepth;
        info.NoOfColors = cover->NoOfColors;
        tag.SetCoverArt(tag.AddMetaDataCoverArt(nullptr, 0), *cover->Stream, info);
    }
    if (Stream) {
        Stream->SetPosition(0);
        return tag.SaveToStream(*Stream, Buffered);
    }
    return tag.SaveToFile(AFileName, Buffered);
}

} // namespace tags
