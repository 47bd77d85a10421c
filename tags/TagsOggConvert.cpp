// tags/TagsOggConvert.cpp: the front's entries and cover arts from and into Ogg Vorbis, Opus and Theora
// comments.
#include "tags/TagOggVorbisAndOpus.h"
#include "tags/TagsConvert.h"

namespace tags {

void TTags::LoadOggVorbisAndOpusTags()
{
    TOpusTag& tag = *OggVorbisAndOpusTag;
    const int count = tag.Count();
    bool hasPicture = false;
    for (int i = 0; i < count; ++i) {
        const TOpusTagFrame& frame = *tag.Frames[size_t(i)];
        if (frame.Format == otffText) RemoveByName(frame.Name);
        hasPicture = hasPicture || frame.IsCoverArt();
    }
    if (hasPicture) DeleteAllCoverArts();

    for (int i = 0; i < tag.Count(); ++i) {
        TOpusTagFrame& frame = *tag.Frames[size_t(i)];
        if (frame.Format == otffText) AddEntriesOfItem(frame);
        if (!ParseCoverArts || !frame.IsCoverArt()) continue;
        TCoverArt* cover = AddCoverArt(frame.Name);
        TOpusVorbisCoverArtInfo info;
        tag.GetCoverArtFromFrame(i, *cover->Stream, info);
        SetCoverArtDetails(*cover, info);
    }
}

int TTags::SaveOggVorbisAndOpusTag(const String& AFileName, rtl::TStream* Stream)
{
    TOpusTag& tag = *OggVorbisAndOpusTag;
    tag.UpperCaseFieldNamesToWrite = UpperCaseFieldNamesToWrite;
    WriteEntriesAsItems(tag, [&tag](const String& Name) { return tag.AddFrame(Name); });
    tag.DeleteAllCoverArts();
    for (const auto& cover : CoverArts) {
        cover->Stream->SetPosition(0);
        tag.AddCoverArtFrame(cover->Stream.get(), CoverArtDetails<TOpusVorbisCoverArtInfo>(*cover));
    }
    if (Stream) {
        Stream->SetPosition(0);
        return tag.SaveToStream(*Stream);
    }
    return tag.SaveToFile(AFileName);
}

} // namespace tags
