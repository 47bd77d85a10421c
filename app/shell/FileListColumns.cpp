// app/shell/FileListColumns.cpp
#include "app/shell/FileListColumns.h"

#include "grid/ColumnClasses.h"

#include <cstring>

namespace shell {

using namespace grid;
using vcl::taCenter;
using vcl::taLeftJustify;

const std::array<TFileListColumn, 32> FileListColumnTable = {{
    {"colNo", flcNumber, "No", 40, true, taCenter, stNumeric},
    {"colActive", flcCheckBox, "", 34, true, taCenter, stBoolean},
    {"colIcon", flcImage, "", 24, true, taCenter, stNumeric},
    {"colFullFileName", flcText, "Full file name", 280, false, taLeftJustify, stAlphabetic, true},
    {"colFileName", flcText, "File", 220, true, taLeftJustify, stAlphabetic, true},
    {"colDirectory", flcText, "Directory", 180, true, taLeftJustify, stAlphabetic},
    {"colSize", flcNumber, "Size", 70, true, taCenter, stNumeric},
    {"colDuration", flcNumber, "Duration", 70, true, taCenter, stNumeric},
    {"colMenu", flcNumber, "Menu", 60, false, taCenter, stNumeric},
    {"colChapterCount", flcNumber, "Chapters", 0, false, taCenter, stNumeric},
    {"colChapterNo", flcNumber, "Chapter No", 60, false, taCenter, stNumeric},
    {"colChapterTitle", flcText, "Chapter title", 140, false, taLeftJustify, stAlphabetic},
    {"colChapterStart", flcNumber, "Chapter start", 0, false, taCenter, stNumeric},
    {"colChapterEnd", flcNumber, "Chapter end", 0, false, taCenter, stNumeric},
    {"colTagArtist", flcText, "Artist", 0, false, taLeftJustify, stAlphabetic},
    {"colTagTrackNo", flcText, "Track No", 60, false, taCenter, stAlphabetic},
    {"colTagTitle", flcText, "Title", 0, false, taLeftJustify, stAlphabetic},
    {"colTagAlbum", flcText, "Album", 0, false, taLeftJustify, stAlphabetic},
    {"colTagYear", flcText, "Year", 50, false, taCenter, stAlphabetic},
    {"colTagGenre", flcText, "Genre", 0, false, taCenter, stAlphabetic},
    {"colAudio", flcText, "Audio", 200, false, taLeftJustify, stAlphabetic},
    {"colAudioCodec", flcText, "Audio codec", 0, true, taCenter, stAlphabetic},
    {"colAudioCodecID", flcText, "Audio codec ID", 0, false, taCenter, stAlphabetic},
    {"colAudioProfile", flcText, "Audio profile", 0, false, taCenter, stAlphabetic},
    {"colAudioBitrate", flcNumber, "Audio bitrate [kbit/s]", 0, true, taCenter, stNumeric},
    {"colAudioChannels", flcNumber, "Channels", 0, true, taCenter, stNumeric},
    {"colAudioSampling", flcNumber, "Sampling [Hz]", 0, false, taCenter, stNumeric},
    {"colAudioStreamSize", flcNumber, "Audio stream size", 0, false, taCenter, stNumeric},
    {"colVideo", flcText, "Video", 120, false, taLeftJustify, stAlphabetic},
    {"colStatus", flcText, "Status", 90, true, taCenter, stAlphabetic},
    {"colStatusInt", flcNumber, "", 0, false, taLeftJustify, stNumeric, false, 100},
    {"colFileType", flcNumber, "", 0, false, taLeftJustify, stNumeric, false, 100},
}};

int FileListColumnIndex(const char* Name) {
    for (size_t i = 0; i < FileListColumnTable.size(); ++i)
        if (std::strcmp(FileListColumnTable[i].Name, Name) == 0) return int(i);
    return -1;
}

void SetUpFileListGrid(TReportGrid* Grid, rtl::TComponent* Owner, vcl::TBitmap* Checked, vcl::TCustomImageList* Icons) {
    Grid->SetOptions({goFooter, goGrid, goHeader, goIndicator, goMultiSelect, goRowMoving, goSelectFullRow});
    Grid->SetHeaderSize(22);
    Grid->SetRowSize(22);
    // Focused rows in the light colour, the rows of a grid without the focus in orange.
    Grid->SetAppearanceOptions(Grid->AppearanceOptions() - TAppearanceOptions{aoHideSelection});
    Grid->SetSelectionColor(0xBFCCD0);
    Grid->SetInactiveSelectionColor(0x0080FF);
    Grid->SetSortedStyle(soDarker);
    for (const TFileListColumn& Def : FileListColumnTable) {
        TRgCustomColumn* Column = nullptr;
        switch (Def.Class) {
        case flcNumber: {
            auto* Number = new TRgNumberColumn(Owner);
            Number->SetDefaultValue(QStringLiteral("0"));
            Number->SetPrecision(0);
            Column = Number;
            break;
        }
        case flcCheckBox: {
            Column = new TRgCheckBoxColumn(Owner);
            if (Checked) Column->Header()->SetGlyph(Checked);
            break;
        }
        case flcImage: {
            auto* Image = new TRgImageColumn(Owner);
            Image->SetImages(Icons);
            Column = Image;
            break;
        }
        case flcText: Column = new TRgTextColumn(Owner); break;
        }
        Column->SetName(QString::fromLatin1(Def.Name));
        Column->Header()->SetCaption(QString::fromUtf8(Def.Caption));
        if (Def.Width > 0) Column->SetWidth(Def.Width);
        Column->SetVisible(Def.Shown);
        Column->SetAlignment(Def.Alignment);
        Column->SetSortType(Def.SortType);
        if (Def.Bold) Column->Font()->SetStyle({vcl::fsBold});
        if (Def.Tag) Column->SetTag(Def.Tag);
        Grid->Columns()->AddColumn(Column);
    }
}

} // namespace shell
