// tags/TagsConvert.h: the conversion between the front's entries and the items of the formats that key
// their items by free-text names (Vorbis comments of Ogg streams and FLAC files, APEv2 items); picture
// details to and from their cover-art info records. Internal to the tag library.
#pragma once
#include "tags/Tags.h"

#include "rtl/Classes.h"

namespace tags {

inline bool IsNameValueListKey(const String& Name)
{
    return SameTagName(Name, QStringLiteral("TIPL")) || SameTagName(Name, QStringLiteral("TMCL"));
}

// A split track number, a name=value list, or one text.
template <class TItem> void TTags::AddEntriesOfItem(TItem& Item)
{
    const String name = Item.Name;
    if (SameTagName(name, QStringLiteral("TRACKNUMBER")) || SameTagName(name, QStringLiteral("TRACK"))) {
        const String text = Item.GetAsText();
        if (text.contains(u'/')) SetSplitNumber(QStringLiteral("TRACKNUMBER"), QStringLiteral("TOTALTRACKS"), text);
        else Add(name)->Value = text;
    } else if (IsNameValueListKey(name)) {
        rtl::TStringList list;
        Item.GetAsList(list);
        Add(name)->Value = list.Text();
    } else {
        Add(name)->Value = Item.GetAsText();
    }
}

// An entry's clearing pass deletes the items of its own key; "TRACKNUMBER" also deletes "TRACK" items,
// which other programs write as "3/12" and which loading has split into the number and the total.
inline bool EntryClearsItem(const String& EntryName, const String& ItemName)
{
    return SameTagName(ItemName, EntryName)
           || (SameTagName(EntryName, QStringLiteral("TRACKNUMBER")) && SameTagName(ItemName, QStringLiteral("TRACK")));
}

// A "TRACK" entry yields to a "TRACKNUMBER" one, which has cleared the "TRACK" items.
inline bool TrackEntrySuperseded(const TTags& Front, const String& EntryName)
{
    return SameTagName(EntryName, QStringLiteral("TRACK")) && Front.TypeCount(QStringLiteral("TRACKNUMBER")) > 0;
}

// Items named like an entry go; then every entry becomes one new item (AddItem(Name) gives it).
template <class TTagObject, class TAddItem> void TTags::WriteEntriesAsItems(TTagObject& Tag, TAddItem AddItem)
{
    for (const auto& entry : Tags)
        for (int i = Tag.Count() - 1; i >= 0; --i)
            if (EntryClearsItem(entry->Name, Tag.Frames[size_t(i)]->Name)) Tag.DeleteFrame(i);
    for (const auto& entry : Tags) {
        if (TrackEntrySuperseded(*this, entry->Name)) continue;
        if (IsNameValueListKey(entry->Name)) {
            rtl::TStringList list;
            list.SetText(entry->Value);
            AddItem(entry->Name)->SetAsList(list);
        } else {
            AddItem(entry->Name)->SetAsText(entry->Value);
        }
    }
}

// The picture details of a cover art from / into a format's info record (picture type, MIME type,
// description, sizes).
template <class TInfo> void SetCoverArtDetails(TCoverArt& Cover, const TInfo& Info)
{
    Cover.Description = Info.Description;
    Cover.CoverType = Info.PictureType;
    Cover.MIMEType = Info.MIMEType;
    Cover.PictureFormat = TTags::PictureStreamType(Cover.Stream.get());
    Cover.Width = Info.Width;
    Cover.Height = Info.Height;
    Cover.ColorDepth = Info.ColorDepth;
    Cover.NoOfColors = Info.NoOfColors;
}

template <class TInfo> TInfo CoverArtDetails(const TCoverArt& Cover)
{
    TInfo info;
    info.PictureType = Cover.CoverType;
    info.MIMEType = Cover.MIMEType;
    info.Description = Cover.Description;
    info.Width = Cover.Width;
    info.Height = Cover.Height;
    info.ColorDepth = Cover.ColorDepth;
    info.NoOfColors = Cover.NoOfColors;
    info.SizeOfPictureData = uint32_t(Cover.Stream->Size());
    return info;
}

} // namespace tags
