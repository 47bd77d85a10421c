// Tag handoff.
#include "app/engine/Metadata.h"

#include "rtl/Files.h"
#include "rtl/SysUtils.h"
#include "tags/Tags.h"

namespace engine {

namespace {

struct TFieldName {
    String TTagRec::*Field;
    const char16_t* Name;
};

const TFieldName Fields[] = {
    {&TTagRec::Artist, u"ARTIST"},          {&TTagRec::Album, u"ALBUM"},
    {&TTagRec::Title, u"TITLE"},            {&TTagRec::Genre, u"GENRE"},
    {&TTagRec::Year, u"YEAR"},              {&TTagRec::Comment, u"COMMENT"},
    {&TTagRec::TrackNo, u"TRACKNUMBER"},    {&TTagRec::TrackCount, u"TOTALTRACKS"},
    {&TTagRec::EncodedBy, u"ENCODEDBY"},    {&TTagRec::EncoderSettings, u"SOFTWARESETTINGS"},
};

tags::TTagType KindOf(int TagKind) {
    return static_cast<tags::TTagType>(TagKind);
}

} // namespace

void ClearTagRec(TTagRec& TagRec) {
    TagRec = TTagRec();
}

void ReadTagsFromFile(const String& FileName, TTagRec& TagRec) {
    ClearTagRec(TagRec);
    if (!rtl::FileExists(FileName)) return;
    tags::TTags t;
    t.LoadFromFile(FileName);
    if (!t.Loaded) return;
    for (const TFieldName& f : Fields) TagRec.*f.Field = t.GetTag(String::fromUtf16(f.Name));
}

bool CopyTags(const String& SrcFile, const String& DestFile, int TagKind) {
    if (!rtl::FileExists(SrcFile) || !rtl::FileExists(DestFile)) return false;
    tags::TTags t;
    t.LoadFromFile(SrcFile);
    return t.SaveToFile(DestFile, KindOf(TagKind)) == 0;
}

bool RemoveTags(const String& FileName, int TagKind) {
    if (!rtl::FileExists(FileName)) return false;
    const bool ok = tags::StripTagsFromFile(FileName, KindOf(TagKind)) == 0;
    const String tmp = rtl::ChangeFileExt(FileName, QStringLiteral(".tmp"));
    if (rtl::FileExists(tmp) && rtl::FileSizeByName(tmp) == 0) rtl::DeleteFile(tmp);
    return ok;
}

bool WriteTagsToFile(const String& FileName, const TTagRec& TagRec, int TagKind) {
    if (!rtl::FileExists(FileName)) return false;
    tags::TTags t;
    t.LoadFromFile(FileName);
    for (const TFieldName& f : Fields) {
        const String& value = TagRec.*f.Field;
        if (value != QStringView(KeepTagMarker)) t.SetTag(String::fromUtf16(f.Name), value);
    }
    return t.SaveToFile(FileName, KindOf(TagKind)) == 0;
}

bool AddTag(const TTagPanel& Panel, const String& SrcFile, const String& Mp3File, const TConvertList& List, int RowIndex,
            const String& ParamsAudio) {
    TTagRec rec;
    const bool valid = IsValidGridRow(List, RowIndex);
    const TFileRowInfo row = valid ? List.RowInfo(RowIndex) : TFileRowInfo();

    rec.Artist = Panel.edTagArtist;
    rec.Album = Panel.edTagAlbum;
    String title = Panel.edTagTitle;
    const int p = title.indexOf(QStringLiteral("<FILE_NAME>"));
    if (p >= 0) title.replace(p, 11, rtl::ChangeFileExt(rtl::ExtractFileName(SrcFile), String()));
    if (row.bChapter && title.isEmpty()) title = row.ChapterTitle;
    rec.Title = title;
    rec.Genre = Panel.cbTagGenres;
    rec.Year = Panel.cbTagYear;
    rec.Comment = Panel.meTagComment;
    rec.TrackNo = Panel.edTagTrackNo;
    rec.TrackCount = Panel.edTagTrackNo2;

    if (Panel.chTagAutoNumbering) {
        if (!valid) {
            rec.TrackNo.clear();
            rec.TrackCount.clear();
        } else if (row.bChapter) {
            rec.TrackNo = rtl::Trim(row.ChapterNo);
            rec.TrackCount.clear();
        } else {
            rec.TrackNo = QString::number(RowIndex + 1);
            rec.TrackCount = QString::number(List.RowCount());
        }
    }
    if (Panel.chTagAddEncoderInfo) {
        rec.EncodedBy = String::fromUtf16(AppTitleText) + QStringLiteral(" - ") + String::fromUtf16(ProductPageUrl);
        rec.EncoderSettings = ParamsAudio;
    }

    if (rtl::ExtractFileExt(Mp3File).toUpper() != QStringLiteral(".MP3"))
        return WriteTagsToFile(Mp3File, rec, TagKindAutomatic);
    switch (Panel.cbMP3TagsToWrite) {
    case mtBoth: return WriteTagsToFile(Mp3File, rec, TagKindID3v1) && WriteTagsToFile(Mp3File, rec, TagKindID3v2);
    case mtID3v2: return WriteTagsToFile(Mp3File, rec, TagKindID3v2);
    case mtID3v1: return WriteTagsToFile(Mp3File, rec, TagKindID3v1);
    }
    return false;
}

TTagStep MakeTagStep(const TTagPanel& Panel, const TConvertList& List, const TEncodingParams& Params) {
    return [&Panel, &List, &Params](const String& Input, const String& Output, int Row) {
        switch (Panel.Mode) {
        case tmCopyFromSource: CopyTags(Input, Output, TagKindAutomatic); break;
        case tmNone: RemoveTags(Output, TagKindAutomatic); break;
        case tmAddCustom: {
            int kind = TagKindAutomatic;
            if (Panel.cbMP3TagsToWrite == mtID3v2) kind = TagKindID3v2;
            if (Panel.cbMP3TagsToWrite == mtID3v1) kind = TagKindID3v1;
            CopyTags(Input, Output, kind);
            AddTag(Panel, Input, Output, List, Row, Params.ParamsAudio);
            if (Panel.cbMP3TagsToWrite == mtID3v2) RemoveTags(Output, TagKindID3v1);
            if (Panel.cbMP3TagsToWrite == mtID3v1) RemoveTags(Output, TagKindID3v2);
            break;
        }
        }
    };
}

} // namespace engine
