// tags/TagsSave.cpp: saving the tag front's entries and pictures: the choice of formats for a file,
// the ID3v2 and ID3v1 writers, and the hand-over to the writers of the other formats.
#include "tags/Tags.h"

#include "tags/TagAPEv2.h"
#include "tags/TagFlac.h"
#include "tags/TagID3v1.h"
#include "tags/TagID3v2.h"
#include "tags/TagMP4.h"
#include "tags/TagOggVorbisAndOpus.h"
#include "tags/TagWAV.h"
#include "tags/TagWMA.h"

#include "rtl/Encoding.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace tags {

namespace {

int64_t DecimalOrZero(const String& Text)
{
    bool ok = false;
    const qlonglong value = Text.toLongLong(&ok, 10);
    return ok ? value : 0;
}

} // namespace

int TTags::SaveToFile(const String& AFileName, TTagType TagType)
{
    int result = trcUnknownError;
    rtl::TDateTime date = 0;
    const bool haveDate = PreserveFileDate && rtl::FileAge(AFileName, date);

    // Every writer maps its own unit's result; each returns the common code.
    auto writer = [this, &AFileName](TTagType Type) -> int {
        switch (Type) {
        case ttAPEv2: return MapAPEv2Result(SaveAPEv2Tag(AFileName));
        case ttFlac: return MapFlacResult(SaveFlacTag(AFileName));
        case ttID3v1: return MapID3v1Result(SaveID3v1Tag(AFileName));
        case ttID3v2: return MapID3v2Result(SaveID3v2Tag(AFileName));
        case ttMP4: return MapMP4Result(SaveMP4Tag(AFileName));
        case ttOpusVorbis: return MapOggResult(SaveOggVorbisAndOpusTag(AFileName));
        case ttWAV: return MapWAVResult(SaveWAVTag(AFileName));
        case ttWMA: return MapWMAResult(SaveWMATag(AFileName));
        default: return trcUnknownError;
        }
    };

    if (TagType == ttAutomatic) {
        bool written = false;
        // 1: the file that was loaded gets every format it had, so its fields stay in step.
        if (AFileName == FileName || SameFile(AFileName, FileName)) {
            const std::pair<TTagType, bool> loaded[] = {
                {ttAPEv2, APEv2Tag->Loaded}, {ttFlac, FlacTag->Loaded}, {ttID3v1, ID3v1Tag->Loaded},
                {ttID3v2, ID3v2Tag->Loaded}, {ttMP4, MP4Tag->FLoaded}, {ttOpusVorbis, OggVorbisAndOpusTag->Loaded},
                {ttWAV, WAVTag->Loaded}, {ttWMA, WMATag->Loaded}};
            for (const auto& [type, isLoaded] : loaded) {
                if (!isLoaded) continue;
                result = writer(type);
                // An ID3v1 block alone is too little: the file also gets the tag its content calls for.
                if (result == trcSuccess && type != ttID3v1) written = true;
            }
        }
        // 2: what the content is; a raw AC-3 stream gets nothing.
        const bool rawAC3 = !written && IsRawAC3File(AFileName);
        if (rawAC3) result = trcNotSupportedFormat;
        if (!written && !rawAC3) {
            std::vector<TTagType> types;
            switch (SniffAudioFileFormat(AFileName)) {
            case 1: case 15: case 16: case 17: types = {ttAPEv2}; break;
            case 2: case 3: types = {ttFlac}; break;
            case 4: case 11: case 12: case 13: case 14: types = {ttID3v2}; break;
            case 9: case 10: types = {ttID3v2, ttWAV}; break;
            case 5: types = {ttMP4}; break;
            case 6: case 7: case 8: types = {ttOpusVorbis}; break;
            default: break;
            }
            for (TTagType type : types) {
                if (type == ttID3v2) {
                    // Frames that describe the source's own stream would be wrong for the output.
                    for (const char* id : {"SEFC", "SESC", "TLEN"}) ID3v2Tag->DeleteFrame(String::fromLatin1(id));
                }
                result = writer(type);
                if (result == trcSuccess) written = true;
            }
        }
        // 3: what the extension says.
        if (!written && !rawAC3) {
            const TTagTypes set = TagTypesForExtension(AFileName);
            for (TTagType type : {ttAPEv2, ttFlac, ttID3v1, ttID3v2, ttMP4, ttOpusVorbis, ttWAV, ttWMA})
                if (set & TagTypeBit(type)) result = writer(type);
        }
    } else {
        result = writer(TagType);
    }

    if (PreserveFileDate && haveDate) RestoreFileDate(AFileName, date);
    return result;
}

bool TTags::ClearAllID3v2FramesByID(TID3v2Tag& ID3v2Tag, const String& FrameID)
{
    const TFrameID id = StringToFrameID(FrameID);
    bool deleted = false;
    for (int i = ID3v2Tag.FrameCount() - 1; i >= 0; --i) {
        if (ID3v2Tag.Frames[size_t(i)]->ID == id) deleted = ID3v2Tag.DeleteFrame(i) || deleted;
    }
    return deleted;
}

bool TTags::ClearAllID3v2FramesTXXXByDescription(TID3v2Tag& ID3v2Tag, const String& Description)
{
    const String wanted = rtl::UpperCase(Description);
    bool deleted = false;
    for (int i = ID3v2Tag.FrameCount() - 1; i >= 0; --i) {
        if (!FrameIDMatchesText(ID3v2Tag.Frames[size_t(i)]->ID, "TXXX")) continue;
        String description;
        ID3v2Tag.GetUnicodeUserDefinedTextInformation(i, description);
        if (rtl::UpperCase(description) == wanted) deleted = ID3v2Tag.DeleteFrame(i) || deleted;
    }
    return deleted;
}

namespace {

bool IsAscii(const String& Text)
{
    for (QChar c : Text)
        if (c.unicode() > 0x7F) return false;
    return true;
}

String TXXXDescription(TID3v2Tag& Tag, int Index)
{
    String description;
    Tag.GetUnicodeUserDefinedTextInformation(Index, description);
    return description;
}

// The data of a picture frame as the cover picture setter makes it: UTF-16 text, the MIME type in the
// code page, the picture type, the description, then the picture.
rtl::TBytes PictureFrameHead(const TCoverArt& Art)
{
    rtl::TBytes head{ID3V2_TEXT_UTF16};
    const rtl::TBytes mime = rtl::TEncoding::ANSI()->GetBytes(Art.MIMEType);
    head.insert(head.end(), mime.begin(), mime.end());
    head.insert(head.end(), {0, uint8_t(Art.CoverType), 0xFF, 0xFE});
    for (QChar c : Art.Description) head.insert(head.end(), {uint8_t(c.unicode() & 0xFF), uint8_t(c.unicode() >> 8)});
    head.insert(head.end(), {0, 0});
    return head;
}

} // namespace

// Rebuilding the picture frames copies every picture twice more. When the tag's picture frames already
// hold exactly what rebuilding would give (a front saved back into its own file), they are moved behind
// the other frames instead, which is where rebuilding would put them.
bool TTags::ReusePictureFrames(TID3v2Tag& Tag) const
{
    std::vector<const TID3v2Frame*> pictures;
    for (const auto& frame : Tag.Frames)
        if (FrameIDMatchesText(frame->ID, "APIC")) pictures.push_back(frame.get());
    if (int(pictures.size()) != CoverArtCount()) return false;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const TID3v2Frame& frame = *pictures[i];
        if (frame.Flags != 0 || frame.Compressed || frame.Encrypted || frame.Unsynchronised || frame.GroupingIdentity ||
            frame.DataLengthIndicator || !frame.Stream)
            return false;
        const TCoverArt& art = *CoverArts[i];
        const rtl::TBytes head = PictureFrameHead(art);
        const int64_t pictureSize = art.Stream->Size();
        if (frame.Stream->Size() != int64_t(head.size()) + pictureSize) return false;
        const auto* data = static_cast<const uint8_t*>(frame.Stream->Memory());
        if (std::memcmp(data, head.data(), head.size()) != 0 ||
            (pictureSize > 0 && std::memcmp(data + head.size(), art.Stream->Memory(), size_t(pictureSize)) != 0))
            return false;
    }
    std::stable_partition(Tag.Frames.begin(), Tag.Frames.end(),
                          [](const auto& frame) { return !FrameIDMatchesText(frame->ID, "APIC"); });
    return true;
}

int TTags::SaveID3v2Tag(const String& AFileName, bool Buffered, rtl::TStream* Stream)
{
    TID3v2Tag& tag = *ID3v2Tag;
    rtl::TStringList list;

    // "3" with a total of "12" is written as one "3/12".
    auto joined = [this](const TTag& Entry, const String& Total, const String& AltTotal) {
        String total = GetTag(Total);
        if (total.isEmpty()) total = GetTag(AltTotal);
        return total.isEmpty() ? Entry.Value : Entry.Value + u'/' + total;
    };
    auto isTrack = [](const TTag& Entry) {
        return SameTagName(Entry.Name, u"TRACKNUMBER"_s) || SameTagName(Entry.Name, u"TRACK"_s);
    };
    auto isDisc = [](const TTag& Entry) {
        return SameTagName(Entry.Name, u"DISCNUMBER"_s) || SameTagName(Entry.Name, u"DISC"_s);
    };
    auto isUserText = [&](const TTag& Entry) {
        return !isTrack(Entry) && !isDisc(Entry) && TagNameToID3v2Frame(Entry.Name).isEmpty() &&
               !SameTagName(Entry.Name, u"PLAYCOUNT"_s) && Entry.ExtTagType != ettWXXX;
    };

    // The distinct values of every name (what GetMultipleList gives), gathered in one pass: asking entry
    // by entry makes a tag of thousands of user texts quadratic.
    QHash<String, QStringList> values;
    {
        QSet<String> seen;   // name and value, upper-cased, joined by a zero
        seen.reserve(Count());
        values.reserve(Count());
        for (const auto& entry : Tags) {
            const String key = rtl::UpperCase(entry->Name);
            const String pair = key + QChar(0) + rtl::UpperCase(entry->Value);
            if (seen.contains(pair)) continue;
            seen.insert(pair);
            values[key] << entry->Value;
        }
    }
    auto fill = [&](const String& Name) {
        list.Clear();
        for (const String& value : values.value(rtl::UpperCase(Name))) list.Add(value);
    };

    // Each user-text entry deletes the TXXX frames of its name and adds its own, so one frame per name
    // remains, added at the turn of the last entry of that name. With ASCII names throughout (so that
    // every comparison of names agrees) that end state is built directly; otherwise entry by entry.
    QHash<String, int> lastUserText;   // upper-cased name -> index of its last entry
    std::vector<String> descriptions(size_t(tag.FrameCount()));   // of the TXXX frames
    bool direct = true;
    for (int i = 0; i < tag.FrameCount() && direct; ++i) {
        if (!FrameIDMatchesText(tag.Frames[size_t(i)]->ID, "TXXX")) continue;
        descriptions[size_t(i)] = rtl::UpperCase(TXXXDescription(tag, i));
        direct = IsAscii(descriptions[size_t(i)]);
    }
    for (int i = 0; i < Count() && direct; ++i) {
        const TTag& entry = *Tags[size_t(i)];
        if (!isUserText(entry)) continue;
        direct = IsAscii(entry.Name);
        lastUserText[rtl::UpperCase(entry.Name)] = i;
    }
    if (direct && !lastUserText.isEmpty()) {
        std::vector<std::unique_ptr<TID3v2Frame>> kept;
        kept.reserve(tag.Frames.size());
        for (int i = 0; i < tag.FrameCount(); ++i) {
            const bool replaced = FrameIDMatchesText(tag.Frames[size_t(i)]->ID, "TXXX") &&
                                  lastUserText.contains(descriptions[size_t(i)]);
            if (!replaced) kept.push_back(std::move(tag.Frames[size_t(i)]));
        }
        tag.Frames = std::move(kept);
    }

    // A text frame is cleared and filled with every value of the entry's name at each entry that maps
    // to it, so only its last such entry decides it: doing the work there alone keeps a tag of
    // thousands of values of one name linear.
    QHash<String, int> lastTextEntry;   // frame ID -> index of the last entry that fills it
    for (int i = 0; i < Count(); ++i) {
        const TTag& entry = *Tags[size_t(i)];
        if (isTrack(entry) || isDisc(entry)) continue;
        const String frameID = TagNameToID3v2Frame(entry.Name);
        if (!frameID.isEmpty() && ID3v2FrameKind(StringToFrameID(frameID)) == fkText) lastTextEntry[frameID] = i;
    }

    const int count = Count();
    for (int i = 0; i < count; ++i) {
        const TTag& entry = *Tags[size_t(i)];
        const String frameID = TagNameToID3v2Frame(entry.Name);
        if (isTrack(entry)) {
            const String text = joined(entry, u"TOTALTRACKS"_s, u"TRACKTOTAL"_s);
            ClearAllID3v2FramesByID(tag, u"TRCK"_s);
            tag.SetUnicodeText(u"TRCK"_s, text);
        } else if (isDisc(entry)) {
            const String text = joined(entry, u"TOTALDISCS"_s, u"DISCTOTAL"_s);
            ClearAllID3v2FramesByID(tag, u"TPOS"_s);
            tag.SetUnicodeText(u"TPOS"_s, text);
        } else if (!frameID.isEmpty()) {
            if (lastTextEntry.value(frameID, i) != i) continue;
            const TLanguageID language = StringToLanguageID(entry.Language.size() == 3 ? entry.Language : u"eng"_s);
            ClearAllID3v2FramesByID(tag, frameID);
            fill(entry.Name);
            switch (ID3v2FrameKind(StringToFrameID(frameID))) {
            case fkText: tag.SetUnicodeTextMultiple(frameID, list); break;
            case fkContent: tag.SetUnicodeContent(frameID, entry.Value, language, entry.Description); break;
            case fkList:
                list.SetText(entry.Value);
                tag.SetUnicodeListFrame(frameID, list);
                break;
            case fkURL: tag.SetURL(frameID, entry.Value); break;
            default: break;
            }
        } else if (SameTagName(entry.Name, u"PLAYCOUNT"_s)) {
            ClearAllID3v2FramesByID(tag, u"PCNT"_s);
            tag.SetPlayCount(u"PCNT"_s, uint32_t(DecimalOrZero(entry.Value)));
        } else if (entry.ExtTagType == ettWXXX) {
            tag.SetUnicodeUserDefinedURLLinkByDescription(entry.Description, entry.Value);
        } else if (direct) {
            if (lastUserText.value(rtl::UpperCase(entry.Name), -1) != i) continue;
            fill(entry.Name);
            tag.SetUnicodeUserDefinedTextInformationMultiple(tag.AddFrame(u"TXXX"_s), entry.Name, list);
        } else {
            fill(entry.Name);
            ClearAllID3v2FramesTXXXByDescription(tag, entry.Name);
            tag.SetUnicodeTXXXByDescriptionMultiple(entry.Name, list);
        }
    }

    if (!ReusePictureFrames(tag)) {
        tag.DeleteAllCoverArts();
        for (const auto& art : CoverArts) {
            art->Stream->SetPosition(0);
            const int index = tag.AddFrame(u"APIC"_s);
            tag.SetUnicodeCoverPictureFromStream(index, art->Description, *art->Stream, art->MIMEType,
                                                 int(art->CoverType));
        }
    }

    if (Stream) {
        Stream->SetPosition(0);
        return tag.SaveToStream(*Stream, Buffered);
    }
    return tag.SaveToFile(AFileName, Buffered);
}

int TTags::SaveID3v1Tag(const String& AFileName, rtl::TStream* Stream)
{
    TID3v1Tag& tag = *ID3v1Tag;
    tag.Revision1 = true;
    tag.Title = GetTag(u"TITLE"_s);
    tag.Artist = GetTag(u"ARTIST"_s);
    tag.Album = GetTag(u"ALBUM"_s);
    tag.Year = GetTag(u"YEAR"_s);
    if (tag.Year.isEmpty()) tag.Year = GetTag(u"RELEASEDATE"_s);
    if (tag.Year.isEmpty()) tag.Year = GetTag(u"RECORDINGDATE"_s);
    tag.Comment = GetTag(u"COMMENT"_s);
    tag.Track = uint8_t(DecimalOrZero(GetTag(u"TRACKNUMBER"_s)) & 0xFF);
    if (tag.Track == 0) tag.Track = uint8_t(DecimalOrZero(GetTag(u"TRACK"_s)) & 0xFF);
    tag.Genre = GetTag(u"GENRE"_s);
    if (Stream) {
        Stream->SetPosition(0);
        return tag.SaveToStream(*Stream);
    }
    return tag.SaveToFile(AFileName, false);
}


} // namespace tags
