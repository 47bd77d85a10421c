// app/shell/FormFileInfo.h: the file information window: what the analysis knows about one input file
// (general and audio-stream values with the encoder's stream lines; the analysis library's report; the
// probing tool's report as a coloured tree), copied or saved as a plain-text report.
#pragma once
#include <array>
#include <utility>

#include "app/engine/FFprobe.h"
#include "app/engine/Types.h"
#include "components/KwpLinkLabel.h"
#include "components/KwpPanel.h"
#include "components/KwpPngButton.h"
#include "controls/RgCollection.h"
#include "controls/RgPageControl6.h"
#include "grid/ColumnClasses.h"
#include "grid/GridReport.h"
#include "vcl/ActnList.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace shell {

using rtl::String;
class TAppStrings;

// Colour classes of the prober tree's rows (and of the stream grid's rows).
enum TFileInfoRowClass { ficOther = -1, ficStreams = 0, ficFormat = 1, ficAudio = 2, ficVideo = 3, ficChapters = 4,
                         ficSubtitle = 5 };

// The cell colour of a row class (1..5) for light or dark styles; clNone for any other class.
vcl::TColor FileInfoClassColor(int RowClass, bool Dark);
// 'Stream #0:1(eng): Audio: aac' gives 'Stream #0:1(eng)' and 'Audio: aac'; with fewer than two colons
// the whole trimmed line is the details.
void SplitStreamLine(const String& Line, String& StreamNo, String& Details);

class TFormFileInfo : public vcl::TForm {
public:
    explicit TFormFileInfo(rtl::TComponent* AOwner);

    // AudioStreamNo counts from 1 (below 1 counts as 1).
    void UpdateList(const engine::TVideoFileInfo& vfi, int AudioStreamNo);
    String GetInfoAsText();
    void ClearAll();
    void FillDetailList(const engine::TFFProbe& Probe);
    void SetLang(const TAppStrings& S);
    void SetStyleColors(const String& StyleName);
    void SetButtonsStyle(const String& StyleName);
    void LoadSettingsFromIni();
    void SaveSettingsToIni();

    components::TKwpLinkLabel *lblFileName, *lblDirectory;
    vcl::TLabel *lblFileNameDesc, *lblDirectoryDesc;
    vcl::TPanel* pnGeneralInfoBg;
    controls::TRgHeaderPanel *pnGeneralInfo, *pnAudioStream;
    vcl::TLabel *lblFileSize, *lblDuration, *lblOverallBitrate, *lblFormat, *lblEncodedApplication,
        *lblNumberOfDataStreams, *lblNumberOfAudioStreams;
    vcl::TLabel *lblFileSizeDesc, *lblDurationDesc, *lblOverallBitrateDesc, *lblFormatDesc,
        *lblEncodedApplicationDesc, *lblNumberOfDataStreamsDesc, *lblNumberOfAudioStreamsDesc;
    controls::TRgPageControl6* pc;
    controls::TRgPageSheet6 *tsBasic, *tsMediaInfo, *tsFFprobe;
    vcl::TPanel* pnStreamsInfo;
    vcl::TLabel *lblAudioCodec, *lblAudioProfile, *lblAudioBitrate, *lblChannels, *lblSamplingRate,
        *lblBitsPerSample, *lblAudioFrames, *lblVideoDelay, *lblAudioLanguage, *lblAudioStreamSize,
        *lblAudioEncodedLibrary, *lblAudioStreamIndex;
    vcl::TLabel *lblAudioCodecDesc, *lblAudioProfileDesc, *lblAudioBitrateDesc, *lblChannelsDesc,
        *lblSamplingRateDesc, *lblBitsPerSampleDesc, *lblAudioFramesDesc, *lblVideoDelayDesc,
        *lblAudioLanguageDesc, *lblAudioStreamSizeDesc, *lblAudioEncodedLibraryDesc, *lblAudioStreamIndexDesc;
    vcl::TComboBox* cbAudioStreamNo;
    vcl::TPanel* pnDataStreams;
    vcl::TLabel* lblDataStreams;
    grid::TReportGrid* ngFFmpeg;
    grid::TRgTextColumn *colStreamNo, *colStreamInfo;
    vcl::TMemo* meMediaInfo;
    grid::TReportGrid* ngDetails;
    grid::TRgTreeColumn* colTree;
    grid::TRgNumberColumn* colTypeInt;
    vcl::TMemo* meDetails;
    components::TKwpPanel* pnBottom;
    components::TKwpPngButton *btnCopy, *btnSave, *btnClose;
    vcl::TActionList* Actions;
    vcl::TAction *actCopyToClipboard, *actSave, *actClose, *actEsc;
    vcl::TSaveDialog* dlgSave;

    engine::TAppParams* Params = &engine::AppParams;
    components::TKwpPngButton* TemplateButton = nullptr;
    // The main window's file list, whose colours the stream grid starts from; none: its own.
    grid::TRgCustomGrid* FileListGrid = nullptr;
    // Set by the main window while a conversion runs: the window then starts no analysis child.
    bool* Busy = nullptr;
    bool bUpdatingControls = false;

    void actCopyToClipboardExecute(rtl::TObject* Sender);
    void actSaveExecute(rtl::TObject* Sender);
    void cbAudioStreamNoChange(rtl::TObject* Sender);
    void ngDetailsCellColoring(rtl::TObject* Sender, int ACol, int ARow, vcl::TColor& CellColor,
                               vcl::TColor& GridColor, grid::TCellState CellState);
    void ngFFmpegCellColoring(rtl::TObject* Sender, int ACol, int ARow, vcl::TColor& CellColor,
                              vcl::TColor& GridColor, grid::TCellState CellState);
    void GridCellFormating(rtl::TObject* Sender, int ACol, int ARow, vcl::TColor& TextColor,
                           vcl::TFontStyles& FontStyle, grid::TCellState CellState);

private:
    void FormCreate(rtl::TObject* Sender);
    void FormClose(rtl::TObject* Sender, vcl::TCloseAction& Action);
    void actCloseExecute(rtl::TObject* Sender);
    bool IsBusy() const { return Busy && *Busy; }
    String FullFileName() const;
    void ClearValueLabels();
    // A class's colour on a cell, shifted when selected, and the grid line darkened from it.
    void ApplyClassColor(int RowClass, vcl::TColor& CellColor, vcl::TColor& GridColor, bool Selected) const;
    String FStyleName;
    // Caption and value label of each audio value, in the window's order.
    std::array<std::pair<vcl::TLabel*, vcl::TLabel*>, 12> FAudioLabels{};
};

} // namespace shell
