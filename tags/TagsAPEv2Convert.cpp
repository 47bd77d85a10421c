// tags/TagsAPEv2Convert.cpp: the front's entries and cover arts from and into APEv2 items.
#include "tags/Tags.h"
#include "tags/TagsConvert.h"
#include "tags/TagAPEv2.h"

#include "rtl/Classes.h"

using namespace Qt::Literals::StringLiterals;

namespace tags {

void TTags::LoadAPEv2Tags()
{
    TAPEv2Tag& tag = *APEv2Tag;
    const int count = tag.Count();
    bool hasPicture = false;
    for (int i = 0; i < count; ++i) {
        const TAPEv2Frame& frame = *tag.Frames[size_t(i)];
        if (frame.Format == ffText) RemoveByName(frame.Name);
        hasPicture = hasPicture || frame.IsCoverArt();
    }
    if (hasPicture) DeleteAllCoverArts();

    for (int i = 0; i < tag.Count(); ++i) {
        TAPEv2Frame& frame = *tag.Frames[size_t(i)];
        if (frame.Format == ffText) {
            const String name = frame.Name;
            if (SameTagName(name, u"TRACKNUMBER"_s) || SameTagName(name, u"TRACK"_s)) {
                const String text = frame.GetAsText();
                if (text.contains(u'/')) SetSplitNumber(u"TRACKNUMBER"_s, u"TOTALTRACKS"_s, text);
                else Add(name)->Value = text;
            } else if (IsNameValueListKey(name)) {
                rtl::TStringList list;
                frame.GetAsList(list);
                Add(name)->Value = list.Text();
            } else {
                Add(name)->Value = frame.GetAsText();
            }
        }
        if (!ParseCoverArts || !frame.IsCoverArt()) continue;
        TCoverArt* cover = AddCoverArt(frame.Name);
        TAPEv2PictureFormat format = pfUnknown;
        String description;
        tag.GetCoverArtFromFrame(i, *cover->Stream, format, description);
        cover->Description = description;
        cover->CoverType = 3;
        static const char16_t* const MIMETypes[] = {u"", u"image/jpeg", u"image/png", u"image/bmp", u"image/gif"};
        static const TTagPictureFormat Formats[] = {tpfUnknown, tpfJPEG, tpfPNG, tpfBMP, tpfGIF};
        cover->MIMEType = String::fromUtf16(MIMETypes[format]);
        cover->PictureFormat = Formats[format];
    }
}

int TTags::SaveAPEv2Tag(const String& AFileName, rtl::TStream* Stream)
{
    TAPEv2Tag& tag = *APEv2Tag;
    tag.UpperCaseFieldNamesToWrite = UpperCaseFieldNamesToWrite;
    // A "BINARY ..." entry stands for a binary item loaded from the file, which stays as it was.
    auto isBinary = [](const TTag& Entry) { return Entry.Value.startsWith(u"BINARY"_s); };
    for (const auto& entry : Tags) {
        if (isBinary(*entry)) continue;
        for (int i = tag.Count() - 1; i >= 0; --i)
            if (EntryClearsItem(entry->Name, tag.Frames[size_t(i)]->Name)) tag.DeleteFrame(i);
    }
    // The track number goes back as one "Track" item "n/m", the form other programs write and read;
    // the total then has no item of its own.
    const String number = GetTag(u"TRACKNUMBER"_s);
    const bool hasNumber = TypeCount(u"TRACKNUMBER"_s) > 0;
    const String total = hasNumber ? GetTag(u"TOTALTRACKS"_s) : String();
    bool trackWritten = false;
    for (const auto& entry : Tags) {
        if (isBinary(*entry) || TrackEntrySuperseded(*this, entry->Name)) continue;
        if (hasNumber && SameTagName(entry->Name, u"TOTALTRACKS"_s)) continue;
        if (SameTagName(entry->Name, u"TRACKNUMBER"_s)) {
            if (trackWritten) continue;   // a second number entry: the first one wins
            trackWritten = true;
            tag.AddFrame(u"Track"_s)->SetAsText(total.isEmpty() ? number : number + u'/' + total);
        } else if (IsNameValueListKey(entry->Name)) {
            rtl::TStringList list;
            list.SetText(entry->Value);
            tag.AddFrame(entry->Name)->SetAsList(list);
        } else {
            tag.AddFrame(entry->Name)->SetAsText(entry->Value);
        }
    }
    tag.DeleteAllCoverArts();
    for (const auto& cover : CoverArts) {
        cover->Stream->SetPosition(0);
        tag.AddCoverArtFrame(u"Cover Art (Front)"_s, cover->Stream.get(), cover->Description);
    }
    if (Stream) {
        Stream->SetPosition(0);
        return tag.SaveToStream(*Stream);
    }
    return tag.SaveToFile(AFileName);
}

} // namespace tags
