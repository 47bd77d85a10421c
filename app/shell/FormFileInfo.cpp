#include "app/shell/FormFileInfo.h"

#include "app/engine/Analysis.h"
#include "app/engine/ProcsControls.h"
#include "app/engine/StyleColors.h"
#include "app/engine/ToolsReport.h"
#include "app/shell/AppStrings.h"
#include "app/shell/ButtonStyles.h"
#include "app/shell/FormCheckUpdate.h"
#include "app/shell/GridFont.h"
#include "app/shell/VisualStyles.h"
#include "base/Colors.h"
#include "base/HashCRC32.h"
#include "base/MemIniFile.h"
#include "base/Strings.h"
#include "rtl/Encoding.h"
#include "rtl/Files.h"
#include "vcl/Clipbrd.h"

#include <array>

namespace shell {

namespace {

constexpr int DesignWidth = 640;
constexpr int64_t MaxCrcFileSize = 314572800; // 300 MiB
const String Separator = String(71, QLatin1Char('-'));

String Grouped(int64_t Value) {
    return base::GroupDigits(Value, u' ');
}

vcl::TLabel* NewLabel(vcl::TForm* Form, vcl::TWinControl* Parent, int Left, int Top) {
    auto* l = new vcl::TLabel(Form);
    l->SetParent(Parent);
    l->SetLeft(Left);
    l->SetTop(Top);
    return l;
}

vcl::TPanel* NewPanel(vcl::TForm* Form, vcl::TWinControl* Parent, vcl::TAlign Align, int Height) {
    auto* p = new vcl::TPanel(Form);
    p->SetParent(Parent);
    p->SetAlign(Align);
    p->SetHeight(Height);
    p->SetBevelOuter(vcl::bvNone);
    return p;
}

vcl::TAction* NewAction(TFormFileInfo* Form, vcl::TActionList* List, const char16_t* Caption,
                        void (TFormFileInfo::*Handler)(rtl::TObject*)) {
    auto* a = new vcl::TAction(Form);
    a->SetActionList(List);
    a->SetCaption(String::fromUtf16(Caption));
    a->SetOnExecute(rtl::TNotifyEvent(Form, Handler));
    return a;
}

// The twelve audio values of one stream in the labels' order, as the window and the report show them.
constexpr int AudioValueCount = 12;
using TAudioTexts = std::array<String, AudioValueCount>;
enum { avCodec, avProfile, avBitrate, avChannels, avSamplingRate, avBitsPerSample, avFrames, avVideoDelay,
       avLanguage, avStreamSize, avEncodedLibrary, avStreamIndex };

TAudioTexts AudioTexts(const engine::TAudioStreamInfo& a, bool WithCodecId) {
    TAudioTexts t;
    t[avCodec] = a.Codec;
    if (WithCodecId && !a.CodecID.isEmpty()) t[avCodec] += QStringLiteral(" (ID: ") + a.CodecID + QStringLiteral(")");
    t[avProfile] = a.Profile;
    if (a.Bitrate != 0) t[avBitrate] = Grouped(a.Bitrate) + QStringLiteral(" kbit/s  ") + a.BitrateMode;
    t[avChannels] = QString::number(a.Channels);
    if (a.SamplingRate != 0) t[avSamplingRate] = Grouped(a.SamplingRate) + QStringLiteral(" Hz");
    if (a.BitsPerSample != 0) t[avBitsPerSample] = QString::number(a.BitsPerSample);
    t[avFrames] = QStringLiteral("~ ") + Grouped(a.Frames);
    t[avVideoDelay] = QString::number(a.VideoDelay) + QStringLiteral(" ms");
    t[avLanguage] = a.Language;
    if (!a.StreamSizeStr.isEmpty() && a.StreamSizeStr != QStringLiteral("0"))
        t[avStreamSize] =
            a.StreamSizeStr + QStringLiteral(" (") + QString::number(a.StreamSizeInPercent) + QStringLiteral("%)");
    t[avEncodedLibrary] = a.EncodedLibrary;
    t[avStreamIndex] = QString::number(a.StreamIndex);
    return t;
}

int StreamClass(engine::TFFStreamType Type) {
    switch (Type) {
    case engine::ffstAudio: return ficAudio;
    case engine::ffstVideo: return ficVideo;
    case engine::ffstSubtitle: return ficSubtitle;
    default: return ficOther;
    }
}

} // namespace

vcl::TColor FileInfoClassColor(int RowClass, bool Dark) {
    struct TPair { vcl::TColor Light, Dark; };
    static const TPair Table[] = {
        {RGB(255, 250, 205), RGB(73, 67, 44)},   // format
        {RGB(213, 234, 220), RGB(45, 72, 52)},   // audio
        {RGB(255, 221, 221), RGB(71, 46, 46)},   // video
        {RGB(214, 224, 237), RGB(44, 55, 73)},   // chapters
        {RGB(235, 223, 236), RGB(69, 43, 74)},   // subtitle
    };
    if (RowClass < 1 || RowClass > 5) return vcl::clNone;
    return Dark ? Table[RowClass - 1].Dark : Table[RowClass - 1].Light;
}

void SplitStreamLine(const String& Line, String& StreamNo, String& Details) {
    const int first = Line.indexOf(QLatin1Char(':'));
    const int second = first < 0 ? -1 : Line.indexOf(QLatin1Char(':'), first + 1);
    if (second < 0) {
        StreamNo.clear();
        Details = Line.trimmed();
        return;
    }
    StreamNo = Line.left(second).trimmed();
    Details = Line.mid(second + 1).trimmed();
}

TFormFileInfo::TFormFileInfo(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
    SetFormStyle(vcl::fsStayOnTop);
    SetPosition(vcl::poOwnerFormCenter);
    SetBorderIcons(vcl::TBorderIcons{vcl::biSystemMenu});
    SetClientWidth(DesignWidth);
    SetClientHeight(660);
    SetCaption(QStringLiteral("File info"));

    // top strip: name and folder
    auto* top = NewPanel(this, this, vcl::alTop, 48);
    lblFileNameDesc = NewLabel(this, top, 8, 6);
    lblDirectoryDesc = NewLabel(this, top, 8, 26);
    lblFileName = new components::TKwpLinkLabel(this);
    lblFileName->SetParent(top);
    lblFileName->SetBounds(100, 6, 520, 16);
    lblDirectory = new components::TKwpLinkLabel(this);
    lblDirectory->SetParent(top);
    lblDirectory->SetBounds(100, 26, 520, 16);

    // general values
    pnGeneralInfoBg = NewPanel(this, this, vcl::alTop, 170);
    pnGeneralInfoBg->SetTop(top->Top() + top->Height()); // below the top strip
    pnGeneralInfo = new controls::TRgHeaderPanel(this);
    pnGeneralInfo->SetParent(pnGeneralInfoBg);
    pnGeneralInfo->SetAlign(vcl::alClient);
    vcl::TLabel** general[][2] = {{&lblFileSizeDesc, &lblFileSize},
                                  {&lblDurationDesc, &lblDuration},
                                  {&lblOverallBitrateDesc, &lblOverallBitrate},
                                  {&lblFormatDesc, &lblFormat},
                                  {&lblEncodedApplicationDesc, &lblEncodedApplication},
                                  {&lblNumberOfDataStreamsDesc, &lblNumberOfDataStreams},
                                  {&lblNumberOfAudioStreamsDesc, &lblNumberOfAudioStreams}};
    int y = 28;
    for (auto& pair : general) {
        *pair[0] = NewLabel(this, pnGeneralInfo, 12, y);
        *pair[1] = NewLabel(this, pnGeneralInfo, 200, y);
        y += 19;
    }

    // bottom strip
    pnBottom = new components::TKwpPanel(this);
    pnBottom->SetParent(this);
    pnBottom->SetAlign(vcl::alBottom);
    pnBottom->SetHeight(40);
    Actions = new vcl::TActionList(this);
    actCopyToClipboard = NewAction(this, Actions, u"Copy", &TFormFileInfo::actCopyToClipboardExecute);
    actSave = NewAction(this, Actions, u"Save...", &TFormFileInfo::actSaveExecute);
    actClose = NewAction(this, Actions, u"Close", &TFormFileInfo::actCloseExecute);
    actEsc = NewAction(this, Actions, u"", &TFormFileInfo::actCloseExecute);
    actEsc->SetShortCut(VK_ESCAPE);
    int left = 8;
    for (auto [button, action] : {std::pair{&btnCopy, actCopyToClipboard}, std::pair{&btnSave, actSave},
                                  std::pair{&btnClose, actClose}}) {
        *button = new components::TKwpPngButton(this);
        (*button)->SetParent(pnBottom);
        (*button)->SetBounds(left, 7, 110, 26);
        (*button)->SetAction(action);
        left += 116;
    }
    btnClose->SetLeft(DesignWidth - 8 - 110);
    btnClose->SetAnchors(vcl::TAnchors{vcl::akTop, vcl::akRight});

    // pages
    pc = new controls::TRgPageControl6(this);
    pc->SetParent(this);
    pc->SetAlign(vcl::alClient);
    auto newSheet = [this](const char16_t* Caption) {
        auto* s = new controls::TRgPageSheet6(this);
        s->SetParent(pc);
        s->SetCaption(String::fromUtf16(Caption));
        return s;
    };
    tsBasic = newSheet(u"Basic info");
    tsMediaInfo = newSheet(u"MediaInfo");
    tsFFprobe = newSheet(u"FFprobe");

    pnStreamsInfo = NewPanel(this, tsBasic, vcl::alTop, 280);
    pnAudioStream = new controls::TRgHeaderPanel(this);
    pnAudioStream->SetParent(pnStreamsInfo);
    pnAudioStream->SetAlign(vcl::alClient);
    cbAudioStreamNo = new vcl::TComboBox(this);
    cbAudioStreamNo->SetParent(pnAudioStream);
    cbAudioStreamNo->SetStyle(vcl::csDropDownList);
    cbAudioStreamNo->SetBounds(200, 2, 60, 20);
    cbAudioStreamNo->OnChange = rtl::TNotifyEvent(this, &TFormFileInfo::cbAudioStreamNoChange);
    vcl::TLabel** audio[][2] = {{&lblAudioCodecDesc, &lblAudioCodec},
                                {&lblAudioProfileDesc, &lblAudioProfile},
                                {&lblAudioBitrateDesc, &lblAudioBitrate},
                                {&lblChannelsDesc, &lblChannels},
                                {&lblSamplingRateDesc, &lblSamplingRate},
                                {&lblBitsPerSampleDesc, &lblBitsPerSample},
                                {&lblAudioFramesDesc, &lblAudioFrames},
                                {&lblVideoDelayDesc, &lblVideoDelay},
                                {&lblAudioLanguageDesc, &lblAudioLanguage},
                                {&lblAudioStreamSizeDesc, &lblAudioStreamSize},
                                {&lblAudioEncodedLibraryDesc, &lblAudioEncodedLibrary},
                                {&lblAudioStreamIndexDesc, &lblAudioStreamIndex}};
    y = 30;
    for (int i = 0; i < 12; ++i) {
        *audio[i][0] = NewLabel(this, pnAudioStream, 12, y);
        *audio[i][1] = NewLabel(this, pnAudioStream, 200, y);
        FAudioLabels[i] = {*audio[i][0], *audio[i][1]};
        y += 19;
    }

    pnDataStreams = NewPanel(this, tsBasic, vcl::alClient, 100);
    lblDataStreams = NewLabel(this, pnDataStreams, 0, 0);
    lblDataStreams->SetAutoSize(false);
    lblDataStreams->SetAlign(vcl::alTop);
    lblDataStreams->SetTransparent(false);
    ngFFmpeg = new grid::TReportGrid(this);
    ngFFmpeg->SetParent(pnDataStreams);
    ngFFmpeg->SetAlign(vcl::alClient);
    ngFFmpeg->SetOptions({grid::goHeader, grid::goGrid, grid::goSelectFullRow, grid::goMultiSelect});
    colStreamNo = new grid::TRgTextColumn(this);
    colStreamNo->SetWidth(110);
    colStreamNo->SetOptions(colStreamNo->Options().Include(grid::coDisableMoving).Exclude(grid::coEditing));
    colStreamInfo = new grid::TRgTextColumn(this);
    colStreamInfo->SetOptions(
        colStreamInfo->Options().Include(grid::coAutoSize).Include(grid::coDisableMoving).Exclude(grid::coEditing));
    ngFFmpeg->Columns()->AddColumn(colStreamNo);
    ngFFmpeg->Columns()->AddColumn(colStreamInfo);

    meMediaInfo = new vcl::TMemo(this);
    meMediaInfo->SetParent(tsMediaInfo);
    meMediaInfo->SetAlign(vcl::alClient);
    meMediaInfo->SetReadOnly(true);
    meMediaInfo->SetScrollBars(vcl::ssBoth);
    meMediaInfo->SetWordWrap(false);

    ngDetails = new grid::TReportGrid(this);
    ngDetails->SetParent(tsFFprobe);
    ngDetails->SetAlign(vcl::alClient);
    ngDetails->SetOptions({grid::goGrid, grid::goSelectFullRow});
    colTree = new grid::TRgTreeColumn(this);
    colTree->SetOptions(colTree->Options().Include(grid::coAutoSize).Exclude(grid::coEditing));
    colTypeInt = new grid::TRgNumberColumn(this);
    colTypeInt->SetDefaultValue(QStringLiteral("0"));
    colTypeInt->SetVisible(false);
    ngDetails->Columns()->AddColumn(colTree);
    ngDetails->Columns()->AddColumn(colTypeInt);
    meDetails = new vcl::TMemo(this);
    meDetails->SetParent(tsFFprobe);
    meDetails->SetVisible(false);

    dlgSave = new vcl::TSaveDialog(this);
    dlgSave->SetDefaultExt(QStringLiteral("txt"));
    dlgSave->SetFilter(QStringLiteral("Text files (*.txt)|*.txt"));
    dlgSave->SetOptions(dlgSave->Options().Include(vcl::ofOverwritePrompt));

    ngDetails->OnCellColoring = grid::TGridCellColoringEvent(this, &TFormFileInfo::ngDetailsCellColoring);
    ngFFmpeg->OnCellColoring = grid::TGridCellColoringEvent(this, &TFormFileInfo::ngFFmpegCellColoring);
    ngDetails->OnCellFormating = grid::TCellFormatingEvent(this, &TFormFileInfo::GridCellFormating);
    ngFFmpeg->OnCellFormating = grid::TCellFormatingEvent(this, &TFormFileInfo::GridCellFormating);

    pc->SetActivePage(tsBasic);
    OnCreate = rtl::TNotifyEvent(this, &TFormFileInfo::FormCreate);
    OnClose = vcl::TCloseEvent(this, &TFormFileInfo::FormClose);
}

void TFormFileInfo::FormCreate(rtl::TObject*) {
    if (!Params->MonospaceFont.Name.isEmpty()) meMediaInfo->Font()->SetName(Params->MonospaceFont.Name);
    if (Params->MonospaceFont.Size > 0) meMediaInfo->Font()->SetSize(Params->MonospaceFont.Size);
    Constraints()->SetMinWidth(560);
    Constraints()->SetMinHeight(620);
    Constraints()->SetMaxWidth(DesignWidth + 300);
    for (auto* b : {btnCopy, btnSave, btnClose}) components::SetButtonFonts(b, Font()->Name(), 9);
    for (auto* l : {lblFileName, lblDirectory}) components::SetLinkLabelFonts(l, QStringLiteral("Segoe UI"), 9);
    for (auto* g : {ngFFmpeg, ngDetails}) SetGridFont(g, QStringLiteral("Segoe UI"), 8);
    if (AppStrings) SetLang(*AppStrings);
    ClearAll();
    // the designed link colours are the system style's
    auto& windows = engine::StyleColorSchemes[engine::WindowsSchemeIndex];
    windows.LinkNormalColor = lblFileName->FontNormal()->Color();
    windows.LinkHotColor = lblFileName->FontHot()->Color();
    windows.LinkDisabledColor = lblFileName->FontDisabled()->Color();
    windows.LinkVisitedColor = lblFileName->FontVisitedNormal()->Color();
    windows.LinkVisitedHotColor = lblFileName->FontVisitedHot()->Color();
    if (!Params->IniName.isEmpty() && rtl::FileExists(Params->IniName)) LoadSettingsFromIni();
    SetStyleColors(Params->StyleName);
}

void TFormFileInfo::FormClose(rtl::TObject*, vcl::TCloseAction&) {
    SaveSettingsToIni();
}

void TFormFileInfo::actCloseExecute(rtl::TObject*) {
    Close();
}

void TFormFileInfo::ClearValueLabels() {
    for (auto* l : {lblFileSize, lblDuration, lblOverallBitrate, lblFormat, lblEncodedApplication,
                    lblNumberOfDataStreams, lblNumberOfAudioStreams, lblAudioCodec, lblAudioProfile, lblAudioBitrate,
                    lblChannels, lblSamplingRate, lblBitsPerSample, lblAudioFrames, lblVideoDelay, lblAudioLanguage,
                    lblAudioStreamSize, lblAudioEncodedLibrary, lblAudioStreamIndex})
        l->SetCaption(String());
}

void TFormFileInfo::ClearAll() {
    meMediaInfo->Lines()->Clear();
    meDetails->Lines()->Clear();
    ngFFmpeg->ClearRows();
    ngDetails->ClearRows();
    for (auto* l : {lblFileName, lblDirectory}) {
        l->SetCaption(String());
        l->SetURL(String());
    }
    ClearValueLabels();
}

String TFormFileInfo::FullFileName() const {
    return rtl::IncludeTrailingPathDelimiter(lblDirectory->Caption()) + lblFileName->Caption();
}

void TFormFileInfo::UpdateList(const engine::TVideoFileInfo& vfi, int AudioStreamNo) {
    if (AudioStreamNo < 1) AudioStreamNo = 1;
    ngDetails->BeginUpdate();
    // the tree repaints again even when a tool run fails
    struct TEndUpdate {
        grid::TReportGrid* Grid;
        ~TEndUpdate() { Grid->EndUpdate(); }
    } endUpdate{ngDetails};
    ClearAll();

    // the library's report, without the first run of five blanks of each line
    QStringList lines = vfi.MediaInfoFull.trimmed().split(QStringLiteral("\r\n"));
    if (lines.size() == 1) lines = vfi.MediaInfoFull.trimmed().split(QLatin1Char('\n'));
    for (auto& line : lines) {
        const int at = line.indexOf(QStringLiteral("     "));
        if (at >= 0) line.remove(at, 5);
    }
    if (!vfi.MediaInfoFull.trimmed().isEmpty()) meMediaInfo->Lines()->SetText(lines.join(QStringLiteral("\r\n")));

    const int n = vfi.NumberOfAudioStreams;
    bUpdatingControls = true;
    cbAudioStreamNo->Items()->Clear();
    for (int i = 1; i <= n; ++i) cbAudioStreamNo->Items()->Add(QString::number(i));
    cbAudioStreamNo->SetItemIndex(AudioStreamNo - 1 < n ? AudioStreamNo - 1 : -1);
    cbAudioStreamNo->SetEnabled(n > 1);
    bUpdatingControls = false;

    lblFileName->SetCaption(rtl::ExtractFileName(vfi.FileName));
    lblFileName->SetURL(vfi.FileName);
    lblDirectory->SetCaption(rtl::ExtractFileDir(vfi.FileName));
    lblDirectory->SetURL(rtl::ExtractFileDir(vfi.FileName));

    lblFileSize->SetCaption(base::FormatFileSizeText(vfi.FileSize, QStringLiteral(" bytes")).trimmed() +
                            QStringLiteral(" (") + Grouped(vfi.FileSize) + QStringLiteral(" bytes)"));
    lblDuration->SetCaption(vfi.DurationStr);
    lblOverallBitrate->SetCaption(Grouped(vfi.OverallBitrate) + QStringLiteral(" kbit/s"));
    String format = vfi.Format;
    if (!vfi.FormatInfo.isEmpty()) format += QStringLiteral(" (") + vfi.FormatInfo + QStringLiteral(")");
    lblFormat->SetCaption(format);
    lblEncodedApplication->SetCaption(vfi.EncodedApplication);
    lblNumberOfDataStreams->SetCaption(QString::number(vfi.NumberOfDataStreams));
    lblNumberOfAudioStreams->SetCaption(QString::number(n));

    if (AudioStreamNo - 1 <= n - 1) {
        const TAudioTexts t = AudioTexts(vfi.AudioStreams[AudioStreamNo - 1], true);
        for (int i = 0; i < AudioValueCount; ++i) FAudioLabels[i].second->SetCaption(t[i]);
    }

    for (const auto& slot : vfi.StreamsStr) {
        if (!slot.StreamExists) continue;
        String no, details;
        SplitStreamLine(slot.Str1, no, details);
        const int row = ngFFmpeg->AddRow();
        ngFFmpeg->GetCell(0, row)->SetAsString(no);
        ngFFmpeg->GetCell(1, row)->SetAsString(details);
    }

    engine::TFFProbe probe;
    probe.ReadFile(Params->ffprobe, vfi.FileName);
    meDetails->Lines()->SetText(probe.AsText(QStringLiteral("  ")));
    FillDetailList(probe);
}

void TFormFileInfo::FillDetailList(const engine::TFFProbe& Probe) {
    ngDetails->ClearRows();
    auto addRow = [this](int Parent, const String& Text, int Class) {
        int row;
        if (Parent < 0) {
            row = ngDetails->AddRow();
        } else {
            ngDetails->AddChildRow(Parent, grid::crLast);
            row = ngDetails->LastAddedRow();
        }
        ngDetails->GetCell(0, row)->SetAsString(Text);
        ngDetails->GetCell(1, row)->SetAsInteger(Class);
        return row;
    };
    auto addPairs = [&](int Parent, const char16_t* Caption, const engine::TFFKeyValueList& Pairs, int Class) {
        if (Pairs.empty()) return -1;
        const int node = addRow(Parent, String::fromUtf16(Caption), Class);
        for (const auto& [key, value] : Pairs) addRow(node, key + QStringLiteral(": ") + value, Class);
        return node;
    };
    auto valueOf = [](const engine::TFFKeyValueList& Pairs, const char* Key) {
        for (const auto& [key, value] : Pairs)
            if (key == QLatin1String(Key)) return std::optional<String>(value);
        return std::optional<String>();
    };

    const int format = addRow(-1, QStringLiteral("FORMAT"), ficFormat);
    addPairs(format, u"Info", Probe.Format().FFormatInfo, ficFormat);
    addPairs(format, u"Tags", Probe.Format().FFormatTags, ficFormat);
    if (auto name = valueOf(Probe.Format().FFormatInfo, "format_name"))
        ngDetails->GetCell(0, format)->SetAsString(QStringLiteral("FORMAT - ") + *name);

    const auto& streams = Probe.Streams().FItems;
    const int root = addRow(-1, QStringLiteral("STREAMS (%1)").arg(streams.size()), ficStreams);
    for (size_t i = 0; i < streams.size(); ++i) {
        const auto& s = *streams[i];
        const int cls = StreamClass(s.FStreamType);
        String text = QStringLiteral("Stream %1").arg(i + 1);
        if (auto type = valueOf(s.FStreamInfo, "codec_type")) text += QStringLiteral(" - ") + *type;
        if (auto codec = valueOf(s.FStreamInfo, "codec_name")) text += QStringLiteral(" - ") + *codec;
        const int node = addRow(root, text, cls);
        addPairs(node, u"Info", s.FStreamInfo, cls);
        const int disposition = addPairs(node, u"Disposition", s.FStreamDisposition, cls);
        if (disposition >= 0) ngDetails->SetExpanded(disposition, false);
        addPairs(node, u"Tags", s.FStreamTags, cls);
    }

    const auto& chapters = Probe.Chapters().FItems;
    if (!chapters.empty()) {
        const int croot = addRow(-1, QStringLiteral("CHAPTERS %1").arg(chapters.size()), ficChapters);
        for (size_t i = 0; i < chapters.size(); ++i) {
            const int node = addRow(croot, QStringLiteral("Chapter %1").arg(i + 1), ficChapters);
            addPairs(node, u"Info", chapters[i]->FChapterInfo, ficChapters);
            addPairs(node, u"Tags", chapters[i]->FChapterTags, ficChapters);
        }
    }
}

String TFormFileInfo::GetInfoAsText() {
    static const TAppStrings English;
    const TFileInfoModuleStrings& S = (AppStrings ? *AppStrings : English).FileInfo;
    const String fileName = FullFileName();
    const engine::TVideoFileInfo vfi = engine::GetVideoFileInfo(fileName, Params->ffmpeg);
    QStringList out;
    auto captionLine = [&](vcl::TLabel* Desc, const String& Value) { out << Desc->Caption() + QLatin1Char(' ') + Value; };

    out << String(S.Report_Info).replace(QStringLiteral("%s"), QStringLiteral("Tunewright 1.5  [64-bit]"));
    out << WebSite + String::fromUtf16(ProductPagePath) << String();
    out << S.Report_File + QLatin1Char(' ') + fileName;
    out << String() << Separator << S.Report_GeneralInfo << String();
    captionLine(lblFileSizeDesc, Grouped(vfi.FileSize) + QStringLiteral(" bytes (") +
                                     base::FormatFileSizeText(vfi.FileSize, QStringLiteral(" bytes")).trimmed() +
                                     QStringLiteral(")"));
    // A file that cannot be read (vanished, locked) gets no checksum rather than a made-up one.
    if (vfi.FileSize <= MaxCrcFileSize && rtl::FileExists(fileName)) {
        try {
            out << QStringLiteral("CRC32: $") +
                       QStringLiteral("%1").arg(base::CRC32OfFile(fileName), 8, 16, QLatin1Char('0')).toUpper();
        } catch (const std::exception&) {
        }
    }
    captionLine(lblDurationDesc, lblDuration->Caption());
    captionLine(lblOverallBitrateDesc, lblOverallBitrate->Caption());
    captionLine(lblFormatDesc, lblFormat->Caption());
    captionLine(lblEncodedApplicationDesc, lblEncodedApplication->Caption());
    captionLine(lblNumberOfDataStreamsDesc, lblNumberOfDataStreams->Caption());
    captionLine(lblNumberOfAudioStreamsDesc, lblNumberOfAudioStreams->Caption());

    for (int i = 0; i < vfi.NumberOfAudioStreams && i < engine::MaxAudioStreams; ++i) {
        const TAudioTexts t = AudioTexts(vfi.AudioStreams[i], false);
        out << String() << Separator << S.Report_AudioStream + QLatin1Char(' ') + QString::number(i + 1);
        for (int v = 0; v < AudioValueCount; ++v) {
            // the samples value follows its caption without a blank
            if (v == avFrames)
                out << FAudioLabels[v].first->Caption() + t[v];
            else
                captionLine(FAudioLabels[v].first, t[v]);
        }
    }

    if (ngFFmpeg->RowCount() > 0) {
        out << String() << Separator << S.Report_DataStreams + QStringLiteral("   (FFmpeg)");
        for (int r = 0; r < ngFFmpeg->RowCount(); ++r)
            out << QStringLiteral("  %1: ").arg(r + 1, 2) + ngFFmpeg->GetCell(0, r)->AsString() + QStringLiteral(" - ") +
                       ngFFmpeg->GetCell(1, r)->AsString();
    }
    auto block = [&](const char* Title, vcl::TMemo* Memo) {
        const String text = Memo->Lines()->Text();
        if (text.isEmpty()) return;
        out << String() << Separator << QLatin1String(Title) << String();
        String body = text;
        while (body.endsWith(QLatin1Char('\n')) || body.endsWith(QLatin1Char('\r'))) body.chop(1);
        out << body;
    };
    block("MediaInfo", meMediaInfo);
    block("FFprobe", meDetails);
    out << String() << Separator << QStringLiteral("TOOLS INFO") << String();
    String tools = engine::GetToolsInfoText(20);
    while (tools.endsWith(QLatin1Char('\n')) || tools.endsWith(QLatin1Char('\r'))) tools.chop(1);
    out << tools;
    String result = out.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return result;
}

void TFormFileInfo::actCopyToClipboardExecute(rtl::TObject*) {
    if (IsBusy()) return;
    vcl::Clipboard()->SetAsText(GetInfoAsText());
}

void TFormFileInfo::actSaveExecute(rtl::TObject*) {
    if (IsBusy()) return;
    dlgSave->SetInitialDir(lblDirectory->Caption());
    dlgSave->SetFileName(lblFileName->Caption() + QStringLiteral("_info.txt"));
    if (!dlgSave->Execute()) return;
    auto lines = std::make_unique<rtl::TStringList>();
    lines->SetText(GetInfoAsText());
    lines->SaveToFile(dlgSave->FileName(), rtl::TEncoding::UTF8());
}

void TFormFileInfo::cbAudioStreamNoChange(rtl::TObject*) {
    if (bUpdatingControls || IsBusy()) return;
    const int chosen = cbAudioStreamNo->ItemIndex() + 1;
    UpdateList(engine::GetVideoFileInfo(FullFileName(), Params->ffmpeg), chosen);
}

void TFormFileInfo::ApplyClassColor(int RowClass, vcl::TColor& CellColor, vcl::TColor& GridColor,
                                    bool Selected) const {
    const bool dark = Params->DarkStyle;
    CellColor = FileInfoClassColor(RowClass, dark);
    if (Selected) CellColor = base::ShiftColorHsl(CellColor, 0, 20, dark ? 10 : -16);
    GridColor = base::ChangeColorByPercent(CellColor, dark ? 22 : 15, false);
}

void TFormFileInfo::ngDetailsCellColoring(rtl::TObject*, int, int ARow, vcl::TColor& CellColor,
                                          vcl::TColor& GridColor, grid::TCellState CellState) {
    if (ARow < 0 || ARow >= ngDetails->RowCount()) return;
    const int cls = ngDetails->GetCell(1, ARow)->AsInteger();
    if (cls <= 0) return; // the streams root keeps the grid's colour, other streams too
    ApplyClassColor(cls, CellColor, GridColor, CellState.Contains(grid::csSelected));
}

void TFormFileInfo::ngFFmpegCellColoring(rtl::TObject*, int, int ARow, vcl::TColor& CellColor,
                                         vcl::TColor& GridColor, grid::TCellState CellState) {
    if (ARow < 0 || ARow >= ngFFmpeg->RowCount()) return;
    const bool selected = CellState.Contains(grid::csSelected);
    if (FileListGrid) {
        CellColor = selected ? FileListGrid->SelectionColor() : FileListGrid->Color();
        GridColor = FileListGrid->GridLinesColor();
    }
    const String kind = ngFFmpeg->GetCell(1, ARow)->AsString().trimmed().section(QLatin1Char(':'), 0, 0).toLower();
    const int cls = kind == QStringLiteral("audio")      ? ficAudio
                    : kind == QStringLiteral("video")    ? ficVideo
                    : kind == QStringLiteral("subtitle") ? ficSubtitle
                                                         : 0;
    if (cls > 0) ApplyClassColor(cls, CellColor, GridColor, selected);
}

void TFormFileInfo::GridCellFormating(rtl::TObject* Sender, int, int, vcl::TColor& TextColor, vcl::TFontStyles&,
                                      grid::TCellState CellState) {
    const bool auric = FStyleName.trimmed().section(QLatin1Char(' '), 0, 0).toUpper() == QStringLiteral("AURIC");
    TextColor = Sender == ngFFmpeg && auric && CellState.Contains(grid::csSelected) ? vcl::clBlack : vcl::clWindowText;
}

void TFormFileInfo::SetLang(const TAppStrings& Strings) {
    const auto& S = Strings.FileInfo;
    SetCaption(S.Caption);
    colStreamNo->Header()->SetCaption(S.ColumnTitle_Stream);
    colStreamInfo->Header()->SetCaption(S.ColumnTitle_Details);
    String data = S.lblDataStreams;
    if (data.endsWith(QLatin1Char(':'))) data.chop(1);
    lblDataStreams->SetCaption(QStringLiteral("  ") + data + QStringLiteral("   (FFmpeg)"));
    pnGeneralInfo->SetCaption(S.gbGeneralInfo);
    pnAudioStream->SetCaption(S.gbAudioStream);
    const std::pair<vcl::TLabel*, String> captions[] = {
        {lblFileNameDesc, S.lblFileName}, {lblDirectoryDesc, S.lblDirectory}, {lblFileSizeDesc, S.lblFileSize},
        {lblDurationDesc, S.lblDuration}, {lblOverallBitrateDesc, S.lblOverallBitrate}, {lblFormatDesc, S.lblFormat},
        {lblEncodedApplicationDesc, S.lblEncodedApplication},
        {lblNumberOfDataStreamsDesc, S.lblNumberOfDataStreams},
        {lblNumberOfAudioStreamsDesc, S.lblNumberOfAudioStreams}, {lblAudioCodecDesc, S.lblAudioCodec},
        {lblAudioProfileDesc, S.lblAudioProfile}, {lblAudioBitrateDesc, S.lblAudioBitrate},
        {lblChannelsDesc, S.lblChannels}, {lblSamplingRateDesc, S.lblSamplingRate},
        {lblBitsPerSampleDesc, S.lblBitsPerSample}, {lblAudioFramesDesc, S.lblAudioFrames},
        {lblVideoDelayDesc, S.lblVideoDelay}, {lblAudioLanguageDesc, S.lblAudioLanguage},
        {lblAudioStreamSizeDesc, S.lblAudioStreamSize}, {lblAudioEncodedLibraryDesc, S.lblAudioEncodedLibrary},
        {lblAudioStreamIndexDesc, S.lblAudioStreamIndex}};
    for (const auto& [label, text] : captions) label->SetCaption(text);
    engine::SetControlCaption(actClose, S.actClose, true);
    engine::SetControlCaption(actSave, S.actSave, true);
    engine::SetControlCaption(actCopyToClipboard, S.actCopy, true);
    // The button has its own, shorter text.
    engine::SetControlCaption(btnCopy, S.btnCopy);
    dlgSave->SetFilter(S.dlgSaveFilter + QStringLiteral("|*.txt"));
    tsBasic->SetCaption(S.tabBasicInfo);
    vcl::Application->ProcessMessages();
    ngFFmpeg->Invalidate();
}

void TFormFileInfo::SetButtonsStyle(const String& StyleName) {
    shell::SetButtonsStyle({btnCopy, btnSave, btnClose}, StyleName, TemplateButton);
}

void TFormFileInfo::SetStyleColors(const String& StyleName) {
    FStyleName = StyleName;
    const engine::TStyleColorScheme scheme = engine::GetStyleColors(StyleName);
    SetHeaderPanelStyleColors(pnGeneralInfo, scheme);
    SetHeaderPanelStyleColors(pnAudioStream, scheme);
    SetGridStyleColors(ngFFmpeg, scheme);
    SetLinkLabelStyleColors(lblFileName, scheme);
    SetLinkLabelStyleColors(lblDirectory, scheme);
    lblDataStreams->SetColor(scheme.HeaderPanelHeaderColor);

    const String first = StyleName.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
    const bool windows = first.isEmpty() || first == QStringLiteral("WINDOWS");
    const bool dark = first == QStringLiteral("AURIC") || first == QStringLiteral("CARBON") ||
                      first == QStringLiteral("CHARCOAL") || first == QStringLiteral("TABLETDARK");
    pc->SetStyle(windows ? controls::stUserDefined : controls::stNative);
    pnBottom->Appearance()->Borders()->Top()->SetVisible(windows);
    lblAudioCodec->Font()->SetColor(dark ? RGB(102, 255, 102) : RGB(0, 128, 0));
    lblAudioLanguage->Font()->SetColor(dark ? RGB(141, 191, 245) : RGB(0, 0, 255));
    SetButtonsStyle(StyleName);

    engine::TStyleColorScheme details = scheme;
    if (IsDarkStyle(StyleName)) {
        details.GridCellColor = RGB(120, 120, 120);
        details.GridLinesColor = base::ChangeColorByPercent(details.GridCellColor, 12, false);
    }
    SetGridStyleColors(ngDetails, details);
    pnBottom->Invalidate();
}

void TFormFileInfo::LoadSettingsFromIni() {
    try {
        base::TKwpMemIniFile ini(Params->IniName, rtl::TEncoding::UTF8());
        SetWidth(ini.ReadInteger(QStringLiteral("FileInfo"), QStringLiteral("Width"), Width()));
        SetHeight(ini.ReadInteger(QStringLiteral("FileInfo"), QStringLiteral("Height"), Height()));
        const String tab = ini.ReadString(QStringLiteral("FileInfo"), QStringLiteral("ActiveTab"), QStringLiteral("basic")).toLower();
        pc->SetActivePage(tab == QStringLiteral("mediainfo") ? tsMediaInfo
                          : tab == QStringLiteral("ffprobe") ? tsFFprobe
                                                             : tsBasic);
    } catch (const std::exception&) {
    }
}

void TFormFileInfo::SaveSettingsToIni() {
    if (Params->IniName.isEmpty()) return;
    try {
        base::TKwpMemIniFile ini(Params->IniName, rtl::TEncoding::UTF8());
        ini.WriteInteger(QStringLiteral("FileInfo"), QStringLiteral("Width"), Width());
        ini.WriteInteger(QStringLiteral("FileInfo"), QStringLiteral("Height"), Height());
        const auto* page = pc->ActivePage();
        ini.WriteString(QStringLiteral("FileInfo"), QStringLiteral("ActiveTab"),
                        page == tsMediaInfo ? QStringLiteral("MediaInfo")
                        : page == tsFFprobe ? QStringLiteral("FFprobe")
                                            : QStringLiteral("Basic"));
        ini.UpdateFile();
    } catch (const std::exception&) {
    }
}

} // namespace shell
