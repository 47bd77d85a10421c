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

#include "rtl/Files.h"
#include "rtl/SysUtils.h"

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
    const bool haveDate = rtl::FileAge(AFileName, date);

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
        if (SameFile(AFileName, FileName)) {
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
        // 2: what the content is.
        if (!written) {
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
        if (!written) {
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

    const int count = Count();
    for (int i = 0; i < count; ++i) {
        const TTag& entry = *Tags[size_t(i)];
        const String frameID = TagNameToID3v2Frame(entry.Name);
        if (SameTagName(entry.Name, u"TRACKNUMBER"_s) || SameTagName(entry.Name, u"TRACK"_s)) {
            const String text = joined(entry, u"TOTALTRACKS"_s, u"TRACKTOTAL"_s);
            ClearAllID3v2FramesByID(tag, u"TRCK"_s);
            tag.SetUnicodeText(u"TRCK"_s, text);
        } else if (SameTagName(entry.Name, u"DISCNUMBER"_s) || SameTagName(entry.Name, u"DISC"_s)) {
            const String text = joined(entry, u"TOTALDISCS"_s, u"DISCTOTAL"_s);
            ClearAllID3v2FramesByID(tag, u"TPOS"_s);
            tag.SetUnicodeText(u"TPOS"_s, text);
        } else if (!frameID.isEmpty()) {
            const TLanguageID language = StringToLanguageID(entry.Language.size() == 3 ? entry.Language : u"eng"_s);
            ClearAllID3v2FramesByID(tag, frameID);
            GetMultipleList(entry.Name, list);
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
        } else {
            GetMultipleList(entry.Name, list);
            ClearAllID3v2FramesTXXXByDescription(tag, entry.Name);
            tag.SetUnicodeTXXXByDescriptionMultiple(entry.Name, list);
        }
    }

    tag.DeleteAllCoverArts();
    for (const auto& art : CoverArts) {
        art->Stream->SetPosition(0);
        const int index = tag.AddFrame(u"APIC"_s);
        tag.SetUnicodeCoverPictureFromStream(index, art->Description, *art->Stream, art->MIMEType, int(art->CoverType));
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

// The entries reach the other formats' objects with their writers; until then the objects are written
// as they were loaded.
int TTags::SaveAPEv2Tag(const String& AFileName, rtl::TStream* Stream)
{
    APEv2Tag->UpperCaseFieldNamesToWrite = UpperCaseFieldNamesToWrite;
    return Stream ? APEv2Tag->SaveToStream(*Stream) : APEv2Tag->SaveToFile(AFileName);
}

int TTags::SaveFlacTag(const String& AFileName, bool Buffered, rtl::TStream* Stream)
{
    FlacTag->UpperCaseFieldNamesToWrite = UpperCaseFieldNamesToWrite;
    return Stream ? FlacTag->SaveToStream(*Stream, Buffered) : FlacTag->SaveToFile(AFileName, Buffered);
}

int TTags::SaveMP4Tag(const String& AFileName, bool Buffered, rtl::TStream* Stream)
{
    return Stream ? MP4Tag->SaveToStream(*Stream, Buffered, MP4KeepPadding, String())
                  : MP4Tag->SaveToFile(AFileName, MP4KeepPadding);
}

int TTags::SaveOggVorbisAndOpusTag(const String& AFileName, rtl::TStream* Stream)
{
    OggVorbisAndOpusTag->UpperCaseFieldNamesToWrite = UpperCaseFieldNamesToWrite;
    return Stream ? OggVorbisAndOpusTag->SaveToStream(*Stream) : OggVorbisAndOpusTag->SaveToFile(AFileName);
}

int TTags::SaveWAVTag(const String& AFileName, rtl::TStream* Stream)
{
    return Stream ? WAVTag->SaveToStream(*Stream) : WAVTag->SaveToFile(AFileName);
}

int TTags::SaveWMATag(const String& AFileName) { return WMATag->SaveToFile(AFileName); }

} // namespace tags
