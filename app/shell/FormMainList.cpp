// The main window's file list: adding files (dialogs, folders, file lists, drops), the row helpers,
// the footer, the check and remove actions, and the grid's events.
#include "app/shell/FormMain.h"

#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <cmath>

#include <sys/stat.h>

#include "app/engine/Analysis.h"
#include "app/engine/FFprobe.h"
#include "app/engine/Procs.h"
#include "app/engine/ProcsControls.h"
#include "app/engine/StyleColors.h"
#include "app/shell/AppStrings.h"
#include "app/shell/CmdLine.h"
#include "app/shell/FileIcons.h"
#include "app/shell/FormCmdLine.h"
#include "app/shell/FormFileInfo.h"
#include "app/shell/GridFont.h"
#include "base/BinaryProcs.h"
#include "base/DateTime.h"
#include "base/Strings.h"
#include "rtl/Encoding.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"

namespace shell {

namespace {

// Counts an add loop for as long as it runs, so that a close waits for it.
struct TAddLoop {
    TAddLoop() { ++AddLoopDepth; }
    ~TAddLoop() { --AddLoopDepth; }
    TAddLoop(const TAddLoop&) = delete;
    TAddLoop& operator=(const TAddLoop&) = delete;
};

// Grid updates suspended for a scope, resumed also after an exception.
struct TUpdates {
    explicit TUpdates(grid::TReportGrid* G, bool Active = true) : Grid(Active ? G : nullptr) {
        if (Grid) Grid->BeginUpdate();
    }
    ~TUpdates() {
        if (Grid) Grid->EndUpdate();
    }
    // Resumes for a moment: the rows so far are painted. Suspended again also when Work throws, so that
    // the scope's end resumes exactly once.
    template <class F> void Breathe(F&& Work) {
        if (!Grid) return Work();
        Grid->EndUpdate();
        struct TAgain {
            grid::TReportGrid* G;
            ~TAgain() { G->BeginUpdate(); }
        } again{Grid};
        Work();
    }
    grid::TReportGrid* Grid;
};

// The pump points of a long add: looked at every few files (or search entries) and taken when 40 ms have
// passed since the last one, the first always. The window stays alive, and a folder of thousands of
// files is not held up by a repaint for every ten of them.
class TPumpClock {
public:
    bool Due() {
        if (FClock.isValid() && FClock.elapsed() < 40) return false;
        FClock.start();
        return true;
    }

private:
    QElapsedTimer FClock;
};

// Whether the file is there (a folder is not; links are followed) and its size, by one look at it.
bool FileThere(const String& Path, int64_t& Size) {
    struct stat st {};
    const QByteArray native = Path.toLocal8Bit();
    if (native.isEmpty() || ::stat(native.constData(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    Size = int64_t(st.st_size);
    return true;
}

bool ExtAccepted(const String& FileName) {
    return engine::AppParams.AcceptAllMediaFiles ? engine::IsMediaFileExt(FileName)
                                                 : engine::IsSupportedInputExt(rtl::ExtractFileExt(FileName));
}

String Grouped(int64_t Value) { return base::GroupDigits(Value, u' '); }

bool ToInt64(const String& Text, int64_t& Value) {
    bool ok = false;
    const double d = Text.trimmed().toDouble(&ok);
    if (ok) Value = int64_t(std::llround(d));
    return ok;
}

} // namespace

// ---- cell texts ---------------------------------------------------------------------------------------

String TFormMain::CellDrawText(int Col, int, const String& Stored) const {
    int64_t v = 0;
    switch (Col) {
    case colNo:
        return ToInt64(Stored, v) ? Grouped(v) : Stored;
    case colChapterCount:
    case colChapterNo:
    case colAudioBitrate:
    case colAudioChannels:
    case colAudioSampling:
        if (!ToInt64(Stored, v)) return Stored;
        return v > 0 ? Grouped(v) : String();
    case colSize:
    case colAudioStreamSize:
        if (!ToInt64(Stored, v)) return Stored;
        return v > 0 ? base::FormatFileSizeText(v, QStringLiteral(" bytes")).trimmed() : String();
    case colDuration: {
        double ms = 0;
        if (!rtl::TryStrToFloat(Stored, ms)) return Stored;
        return std::llround(ms) > 0 ? base::MsToClockText(std::llround(ms), true) : String();
    }
    case colChapterStart:
    case colChapterEnd:
        if (!ToInt64(Stored, v)) return Stored;
        return v >= 0 ? base::MsToClockText(v, true) : String();
    case colMenu:
        if (!ToInt64(Stored, v)) return Stored;
        return v > 0 ? Strings()->Main.Yes : String();
    default:
        return Stored;
    }
}

// ---- row helpers --------------------------------------------------------------------------------------

bool TFormMain::IsValidRowIndex(int Row) const { return Row >= 0 && Row < ng->RowCount(); }

bool TFormMain::IsChapterRow(int Row) const {
    return IsValidRowIndex(Row) && ng->GetCell(colFileType, Row)->AsInteger() == 1;
}

int TFormMain::GetNgCheckedCount() const {
    int n = 0;
    for (int r = 0; r < ng->RowCount(); ++r) n += ng->GetCell(colActive, r)->AsBoolean() ? 1 : 0;
    return n;
}

String TFormMain::GetNgDirectory(int Row) const {
    return IsValidRowIndex(Row) ? ng->GetCell(colDirectory, Row)->AsString() : String();
}

String TFormMain::GetNgFullFileName(int Row) const {
    if (!IsValidRowIndex(Row)) return String();
    // The stored full name exactly (a name may begin or end with blanks); a chapter row's behind its indent.
    const String full = ng->GetCell(colFullFileName, Row)->AsString();
    return IsChapterRow(Row) && full.startsWith(ChapterIndent) ? full.mid(ChapterIndent.size()) : full;
}

void TFormMain::GetGridInfo(engine::TGridInfo& Info) const {
    Info = engine::TGridInfo();
    Info.RowCount = ng->RowCount();
    for (int r = 0; r < Info.RowCount; ++r) {
        const bool checked = ng->GetCell(colActive, r)->AsBoolean();
        const bool selected = ng->GetSelected(r);
        ++(checked ? Info.CheckedCount : Info.UncheckedCount);
        if (selected) {
            ++Info.SelectedCount;
            ++(checked ? Info.SelectedCheckedCount : Info.SelectedUncheckedCount);
        }
    }
}

void TFormMain::RenumNg() {
    TUpdates updates(ng);
    for (int r = 0; r < ng->RowCount(); ++r) ng->GetCell(colNo, r)->SetAsInteger(r + 1);
}

void TFormMain::ClearFooter() {
    for (int c : {colNo, colActive, colSize, colDuration, colAudioStreamSize, colAudioBitrate})
        ng->Columns()->Item(c)->Footer()->SetCaption(String());
}

void TFormMain::CalcFooter() {
    ClearFooter();
    const int rows = ng->RowCount();
    if (rows == 0) return;
    auto footer = [&](int Col, const String& Text) { ng->Columns()->Item(Col)->Footer()->SetCaption(Text); };
    footer(colNo, Grouped(rows));
    int64_t size = 0, streams = 0, bitrates = 0;
    double duration = 0;
    int checked = 0, counted = 0;
    for (int r = 0; r < rows; ++r) {
        if (!ng->GetCell(colActive, r)->AsBoolean()) continue;
        ++checked;
        int64_t v = 0;
        if (ToInt64(ng->GetCell(colSize, r)->AsString(), v)) size += v;
        duration += ng->GetCell(colDuration, r)->AsFloat();
        if (ToInt64(ng->GetCell(colAudioStreamSize, r)->AsString(), v) && v > 0) streams += v;
        if (ToInt64(ng->GetCell(colAudioBitrate, r)->AsString(), v) && v > 0) {
            bitrates += v;
            ++counted;
        }
    }
    footer(colActive, Grouped(checked));
    if (size > 0) footer(colSize, CellDrawText(colSize, -1, QString::number(size)));
    if (duration > 0) footer(colDuration, CellDrawText(colDuration, -1, QString::number(duration, 'f', 0)));
    if (streams > 0) footer(colAudioStreamSize, CellDrawText(colAudioStreamSize, -1, QString::number(streams)));
    if (counted > 0 && bitrates > 0)
        footer(colAudioBitrate,
               rtl::FormatFloat(u'"' + Strings()->Main.AverageShort + QStringLiteral("\"  0.00"), double(bitrates) / counted));
}

// ---- adding ---------------------------------------------------------------------------------------------

bool TFormMain::IsFileOnList(const String& fName) const {
    // File names differ by letter case here: only the exact path is the same file.
    if (FListedRows != ng->RowCount()) {
        FListed.clear();
        for (int r = 0; r < ng->RowCount(); ++r) FListed.insert(GetNgFullFileName(r));
        FListedRows = ng->RowCount();
    }
    return FListed.contains(fName);
}

TAddResult TFormMain::AddToList(const String& fName, bool Checked) {
    engine::TAppParams& p = engine::AppParams;
    TAddLoop loop;
    if (!ExtAccepted(fName)) return arNotAccepted;
    const String full = rtl::ExpandFileName(fName);
    if (IsFileOnList(full)) return arListed;
    int64_t size = 0;
    if (!FileThere(full, size)) return arMissing;

    const int row = ng->AddRow();
    if (FListedRows == row) {
        FListed.insert(full);
        FListedRows = row + 1;
    }
    ng->GetCell(colIcon, row)->SetAsInteger(-1);
    ng->GetCell(colFileType, row)->SetAsInteger(0);
    ng->GetCell(colChapterStart, row)->SetAsInteger(-1);
    ng->GetCell(colChapterEnd, row)->SetAsInteger(-1);
    ng->GetCell(colChapterNo, row)->SetAsInteger(-1);
    ng->GetCell(colNo, row)->SetAsInteger(ng->RowCount());
    ng->GetCell(colFullFileName, row)->SetAsString(full);
    ng->GetCell(colFileName, row)->SetAsString(rtl::ExtractFileName(full));
    ng->GetCell(colDirectory, row)->SetAsString(rtl::ExcludeTrailingPathDelimiter(rtl::ExtractFilePath(full)));
    ng->GetCell(colActive, row)->SetAsBoolean(Checked);

    // The record is large (every stream and chapter slot): only an analysed row makes one.
    const bool analyse = p.FileAnalysis != engine::faNone;
    std::unique_ptr<engine::TVideoFileInfo> info;
    engine::TTagRec tags;
    if (analyse) {
        info = std::make_unique<engine::TVideoFileInfo>();
        info->SetFileName(full);
        AnalyseForRow(full, *info, tags);
    }
    // The analysis pumps the queue: the row may be gone (cleared list) by now.
    if (row >= ng->RowCount() || ng->GetCell(colFullFileName, row)->AsString() != full) return arAdded;
    if (analyse) FileThere(full, size); // its size after the analysis, as the row shows the file then

    if (analyse) {
        ng->GetCell(colDuration, row)->SetAsFloat(info->Duration);
        ng->GetCell(colTagTitle, row)->SetAsString(tags.Title);
        ng->GetCell(colTagArtist, row)->SetAsString(tags.Artist);
        ng->GetCell(colTagAlbum, row)->SetAsString(tags.Album);
        ng->GetCell(colTagYear, row)->SetAsString(tags.Year);
        ng->GetCell(colTagGenre, row)->SetAsString(tags.Genre);
        String track = tags.TrackNo;
        if (!tags.TrackNo.isEmpty() && !tags.TrackCount.isEmpty()) track += QStringLiteral(" / ") + tags.TrackCount;
        ng->GetCell(colTagTrackNo, row)->SetAsString(track);

        if (info->NumberOfVideoStreams > 0) {
            const engine::TVideoStreamInfo& v = info->VideoStreams[0];
            String text = v.Codec;
            const String rate = Grouped(std::max(v.Bitrate, 0));
            if (rate != QStringLiteral("0")) text += QStringLiteral(", ") + rate + QStringLiteral(" kbit/s");
            if (v.Width > 0 && v.Height > 0)
                text += QStringLiteral(", ") + Grouped(v.Width) + QStringLiteral(" x ") + Grouped(v.Height);
            ng->GetCell(colVideo, row)->SetAsString(text);
        }
        if (info->NumberOfAudioStreams > 0) {
            const engine::TAudioStreamInfo& a = info->AudioStreams[0];
            String codec = String(a.Codec).remove(QStringLiteral("(Windows Media Audio)")).trimmed();
            if ((codec.contains(QStringLiteral("MPEG Audio - Version 1")) && a.Profile == QStringLiteral("Layer 3")) ||
                codec.contains(QStringLiteral("(MP3)")))
                codec = QStringLiteral("MP3");
            ng->GetCell(colAudioCodecID, row)->SetAsString(a.CodecID);
            ng->GetCell(colAudioProfile, row)->SetAsString(a.Profile);
            String text;
            if (!codec.isEmpty()) {
                text = codec;
                ng->GetCell(colAudioCodec, row)->SetAsString(codec);
            }
            const String rate = Grouped(a.Bitrate);
            if (rate != QStringLiteral("0")) {
                text += QStringLiteral(", ") + rate + QStringLiteral(" kbit/s");
                if (!a.BitrateMode.isEmpty()) text += u' ' + a.BitrateMode;
            }
            if (a.Channels != 0)
                text += QStringLiteral(", ") + Strings()->FileInfo.lblChannels + u' ' + QString::number(a.Channels);
            if (text.startsWith(QStringLiteral(", "))) text.remove(0, 2);
            if (text.endsWith(QStringLiteral(", "))) text.chop(2);
            ng->GetCell(colAudio, row)->SetAsString(text);
            ng->GetCell(colAudioBitrate, row)->SetAsInteger(a.Bitrate);
            ng->GetCell(colAudioChannels, row)->SetAsInteger(a.Channels);
            ng->GetCell(colAudioSampling, row)->SetAsInteger(a.SamplingRate);
            ng->GetCell(colAudioStreamSize, row)->SetAsString(QString::number(a.StreamSize));
        }
    }
    ng->GetCell(colSize, row)->SetAsString(QString::number(size));
    ng->GetCell(colStatus, row)->SetAsString(Strings()->Main.Ready);
    if (FileIcons) ng->GetCell(colIcon, row)->SetAsInteger(FileIcons->GetFileIconIndex(full));

    if (analyse && info->MenuExists && p.SplitChapters) {
        ReadChapters(full, *info);
        if (info->ChapterCount > 1 && row < ng->RowCount()) AddChapterRows(row, full, *info);
    }
    // A file added alone refreshes the controls now; inside a loop (this call counts as one) the loop's
    // pump points and its end do, so that a long add does not walk every row once per file.
    if (AddLoopDepth <= 1) InitControls();
    return arAdded;
}

void TFormMain::AddChapterRows(int FileRow, const String& FullName, const engine::TVideoFileInfo& Info) {
    ng->GetCell(colMenu, FileRow)->SetAsInteger(1);
    ng->GetCell(colActive, FileRow)->SetAsBoolean(false);
    ng->GetCell(colChapterCount, FileRow)->SetAsInteger(Info.ChapterCount);
    const double fileMs = Info.Duration;
    int64_t fileSize = 0;
    ToInt64(ng->GetCell(colSize, FileRow)->AsString(), fileSize);
    const String dir = ng->GetCell(colDirectory, FileRow)->AsString();
    for (int n = 0; n < engine::MaxChapters; ++n) {
        const engine::TMediaChapter& c = Info.Chapters[size_t(n)];
        if (!c.Exists) break;
        const int row = ng->AddRow();
        if (FListedRows == row) FListedRows = row + 1; // its file's path is in the set already
        ng->GetCell(colFileType, row)->SetAsInteger(1);
        ng->GetCell(colNo, row)->SetAsInteger(ng->RowCount());
        ng->GetCell(colActive, row)->SetAsBoolean(true);
        ng->GetCell(colFileName, row)->SetAsString(ChapterIndent + rtl::ExtractFileName(FullName));
        ng->GetCell(colFullFileName, row)->SetAsString(ChapterIndent + FullName);
        ng->GetCell(colDirectory, row)->SetAsString(dir);
        ng->GetCell(colChapterTitle, row)->SetAsString(c.Title);
        ng->GetCell(colChapterNo, row)->SetAsInteger(n + 1);
        ng->GetCell(colDuration, row)->SetAsInteger(c.DurationMs);
        ng->GetCell(colChapterStart, row)->SetAsInteger(c.StartTimeMs);
        ng->GetCell(colChapterEnd, row)->SetAsInteger(c.EndTimeMs);
        ng->GetCell(colIcon, row)->SetAsInteger(ChapterIconIndex);
        if (fileMs > 0 && c.DurationMs > 0 && c.DurationMs < fileMs && fileSize > 0) {
            const double share = c.DurationMs * 100.0 / fileMs;
            ng->GetCell(colSize, row)->SetAsString(QString::number(int64_t(std::nearbyint(share * double(fileSize) / 100))));
        }
        ng->GetCell(colStatus, row)->SetAsString(Strings()->Main.Ready);
    }
}

void TFormMain::Pump() { vcl::Application->ProcessMessages(); }

void TFormMain::RefreshAtPumpPoint() {
    // The controls and the footer walk every row: the walks may take a tenth of a long add's time at most
    // (and come 100 ms apart at least), which keeps the add linear in its files.
    if (FRefreshClock.isValid() && FRefreshClock.elapsed() < FRefreshGapMs) return;
    QElapsedTimer walk;
    walk.start();
    InitControls();
    FRefreshGapMs = std::max<int64_t>(100, walk.elapsed() * 10);
    FRefreshClock.start();
}

void TFormMain::UpdateInitialFolders(const String& Dir) {
    dlgOpen->SetInitialDir(Dir);
    FolderDialogDir = Dir;
    dlgSaveBAT->SetInitialDir(Dir);
    dlgOpenFileList->SetInitialDir(Dir);
    dlgSaveFileList->SetInitialDir(Dir);
}

void TFormMain::actAddFilesExecute(rtl::TObject*) {
    if (!dlgOpen->Execute()) return;
    TAddLoop loop;
    rtl::TStrings* files = dlgOpen->Files();
    if (files->Count() > 0) UpdateInitialFolders(rtl::ExtractFileDir(files->Strings(0)));
    bStopAdding = false;
    for (int i = 0; i < files->Count() && !bStopAdding; ++i) AddToList(files->Strings(i), true);
    CalcFooter();
    ng->Invalidate();
    InitControls();
}

void TFormMain::AddFolder(const String& Folder, bool SuspendUpdates) {
    TAddLoop loop;
    TUpdates updates(ng, SuspendUpdates);
    // Every file down to 20 levels of sub-folders, the queue pumped every 30 entries.
    QStringList paths;
    TPumpClock pumps;
    std::function<void(const String&, int)> search = [&](const String& Dir, int Depth) {
        QDirIterator it(Dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        int calls = 0;
        QStringList subDirs;
        while (it.hasNext() && !bStopAdding) {
            it.next();
            if (++calls % 30 == 0 && pumps.Due()) Pump();
            const QFileInfo fi = it.fileInfo();
            if (fi.isDir())
                subDirs << fi.filePath();
            else
                paths << fi.filePath();
        }
        if (Depth < 20)
            for (const String& d : subDirs)
                if (!bStopAdding) search(d, Depth + 1);
    };
    search(Folder, 0);
    paths.sort();
    paths.erase(std::remove_if(paths.begin(), paths.end(), [](const String& f) { return !ExtAccepted(f); }), paths.end());
    for (int i = 0; i < paths.size(); ++i) {
        if (i % 10 == 0) {
            if (bStopAdding) break;
            if (pumps.Due())
                updates.Breathe([&] {
                    Pump();
                    if (ng->RowCount() > 0) ng->ScrollToRow(ng->RowCount() - 1);
                    RefreshAtPumpPoint();
                });
        }
        if (bStopAdding) break;
        AddToList(paths[i], true);
    }
}

void TFormMain::actAddFolderExecute(rtl::TObject*) {
    String folder = FolderDialogDir;
    if (!ChooseFolder || !ChooseFolder(folder)) return;
    bStopAdding = false;
    UpdateInitialFolders(folder);
    if (folder.isEmpty()) return;
    AddFolder(folder, true);
    ng->Invalidate();
    CalcFooter();
    InitControls();
}

void TFormMain::actLoadFileListExecute(rtl::TObject*) {
    if (!dlgOpenFileList->Execute()) return;
    const String list = dlgOpenFileList->FileName();
    UpdateInitialFolders(rtl::ExtractFileDir(list));
    LoadFileList(list);
    InitControls();
}

void TFormMain::LoadFileList(const String& LstFile, bool FromCommandLine) {
    TAddLoop loop;
    const QStringList lines = ReadFileListLines(LstFile);
    // Relative lines: against the list's own folder, except from the command line (the current folder).
    const String base = FromCommandLine ? String() : rtl::ExtractFilePath(rtl::ExpandFileName(LstFile));
    TUpdates updates(ng);
    TPumpClock pumps;
    int n = 0;
    for (const String& line : lines) {
        if (bStopAdding) break;
        if (n++ % 10 == 0 && pumps.Due())
            updates.Breathe([&] {
                Pump();
                if (ng->RowCount() > 0) ng->ScrollToRow(ng->RowCount() - 1);
                RefreshAtPumpPoint();
            });
        if (bStopAdding) break;
        String path = FileListLinePath(line);
        if (!base.isEmpty() && !path.startsWith(u'/')) path = base + path;
        AddToList(path, true);
    }
    // A list read on its own leaves the controls as its rows have them (inside a drop, the drop does).
    if (AddLoopDepth <= 1) InitControls();
}

void TFormMain::DropFiles(const QStringList& Files) {
    // A drop during a run would start an analysis child beside the encoder.
    if (bConverting) return;
    TAddLoop loop;
    bStopAdding = false;
    QStringList paths;
    for (const String& f : Files)
        if (!f.isEmpty()) paths << f;
    paths.sort();
    // Dropped files go in without a repaint each (nothing paints between them); lists and folders show
    // their rows at their own pump points.
    {
        TUpdates updates(ng);
        for (const String& path : paths) {
            if (bStopAdding) break;
            const QFileInfo fi(path);
            if (rtl::ExtractFileExt(path).toUpper() == QStringLiteral(".LST")) {
                updates.Breathe([&] { LoadFileList(path); });
            } else if (fi.isDir() && engine::AppParams.DragAcceptDirectories) {
                UpdateInitialFolders(path);
                updates.Breathe([&] { AddFolder(path, true); });
            } else {
                AddToList(path, true);
                UpdateInitialFolders(rtl::ExtractFileDir(path));
            }
        }
    }
    RenumNg();
    CalcFooter();
    InitControls();
}

void TFormMain::FormDropFiles(rtl::TObject*, const QStringList& Files, vcl::TPoint) { DropFiles(Files); }

// ---- check and remove --------------------------------------------------------------------------------

void TFormMain::SetCheckAll(int Mode, bool SelectedOnly) {
    {
        TUpdates updates(ng);
        for (int r = 0; r < ng->RowCount(); ++r) {
            if (SelectedOnly && !ng->GetSelected(r)) continue;
            grid::TCell* c = ng->GetCell(colActive, r);
            c->SetAsBoolean(Mode == 2 ? !c->AsBoolean() : Mode == 1);
        }
    }
    InitControls();
}

void TFormMain::actCheckAllExecute(rtl::TObject*) { SetCheckAll(1, false); }
void TFormMain::actUncheckAllExecute(rtl::TObject*) { SetCheckAll(0, false); }
void TFormMain::actInvertSelectionExecute(rtl::TObject*) { SetCheckAll(2, false); }
void TFormMain::actCheckSelectedExecute(rtl::TObject*) { SetCheckAll(1, true); }
void TFormMain::actUncheckSelectedExecute(rtl::TObject*) { SetCheckAll(0, true); }

void TFormMain::actRemoveCheckedExecute(rtl::TObject*) {
    if (GetNgCheckedCount() == ng->RowCount()) {
        ng->ClearRows();
    } else {
        // In one pass: row by row, each removal would move every row below it.
        TUpdates updates(ng);
        ng->DeleteRows([this](int Row) { return ng->GetCell(colActive, Row)->AsBoolean(); });
    }
    InitControls();
    RenumNg();
}

void TFormMain::actClearFileListExecute(rtl::TObject*) {
    ng->ClearRows();
    InitControls();
}

void TFormMain::SetGridFont(const String& Name, int Size) {
    shell::SetGridFont(ng, Name, Size);
    ng->SetHeaderSize(Size < 14 ? 22 : 34);
}

// ---- grid events ------------------------------------------------------------------------------------------

void TFormMain::ngSelectCell(rtl::TObject*, int, int ARow) {
    LastSelectedRow = ARow;
    tmUpdateLastSelectedRow->Restart();
}

void TFormMain::ngClick(rtl::TObject*) { InitControls(); }

void TFormMain::ngCellClick(rtl::TObject*, int ACol, int ARow) {
    if (ACol != colIcon || !engine::AppParams.OpenFileAfterIconClick || !IsValidRowIndex(ARow)) return;
    const String file = GetNgFullFileName(ARow);
    if (rtl::FileExists(file)) engine::ShellOpen(file, Handle());
}

void TFormMain::tmUpdateLastSelectedRowTimer(rtl::TObject*) {
    tmUpdateLastSelectedRow->SetEnabled(false);
    ngUpdateRowFileInfo(LastSelectedRow);
}

void TFormMain::ngUpdateRowFileInfo(int Row) {
    // During a run the refresh would start an analysis child beside the encoder.
    if (bConverting || !IsValidRowIndex(Row)) return;
    const String full = GetNgFullFileName(Row);
    SetCaption(String::fromUtf16(MainCaption) + QStringLiteral(" - ") + full);
    UpdateCbAudioTrackNo();
    actPlay->SetEnabled(ng->RowCount() > 0);
    const bool cmdShown = FormCmdLine && FormCmdLine->Visible();
    const bool infoShown = FormFileInfo && FormFileInfo->Visible();
    if (cmdShown) actShowCmdLineExecute(nullptr);
    const String explore = FormatLangStr(Strings()->Main.actExploreDirectory, GetNgDirectory(Row));
    actExploreDirectory->SetCaption(explore);
    if (!infoShown) return;
    const engine::TVideoFileInfo info = AnalyseSelected(full);
    FormFileInfo->SetCaption(Strings()->FileInfo.Caption + QStringLiteral("   ::   ") + info.FileName +
                             QStringLiteral("   ::   ") + CellDrawText(colSize, -1, QString::number(info.FileSize)));
    FormFileInfo->UpdateList(info, 0);
}

void TFormMain::UpdateCbAudioTrackNo() {
    const int row = ng->SelectedRow() >= 0 ? ng->SelectedRow() : LastSelectedRow;
    if (!IsValidRowIndex(row)) return;
    bUpdatingControls = true;
    const TMainModuleStrings& m = Strings()->Main;
    const int old = EncoderPanel.cbAudioTrackNo.ItemIndex();
    const engine::TVideoFileInfo info = AnalyseSelected(GetNgFullFileName(row));
    QStringList items;
    for (int i = 0; i < info.NumberOfAudioStreams; ++i) {
        const engine::TAudioStreamInfo& a = info.AudioStreams[size_t(i)];
        const String codec = a.Codec.contains(QStringLiteral("(MP3)")) ? QStringLiteral("MP3") : a.Codec;
        const String lang = a.Language.isEmpty() ? m.AudioLanguageUndefined : a.Language;
        String item = QString::number(i + 1) + QStringLiteral(": ") + codec + QStringLiteral(" - ") +
                      QString::number(a.Bitrate) + QStringLiteral(" kbit/s - ") + m.AudioChannels + u' ' +
                      QString::number(a.Channels) + QStringLiteral(" - ") + m.AudioLanguage + u' ' + lang;
        item = base::ReplaceFirstText(item, QStringLiteral(" - 0 kbit/s"), String(), false);
        items << item;
    }
    EncoderPanel.SetAudioTrackItems(items);
    EncoderPanel.cbAudioTrackNo.SetItemIndex(old >= EncoderPanel.cbAudioTrackNo.Count() ? 0 : old);
    bUpdatingControls = false;
}

void TFormMain::ngCellColoring(rtl::TObject*, int, int ARow, vcl::TColor& CellColor, vcl::TColor&,
                               grid::TCellState CellState) {
    if (!IsValidRowIndex(ARow)) return;
    const engine::TStyleColorScheme scheme = engine::GetStyleColors(engine::AppParams.StyleName);
    const int percent = engine::AppParams.DarkStyle ? 26 : 10;
    auto darker = [percent](vcl::TColor c) {
        const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
        auto d = [percent](int v) { return v - v * percent / 100; };
        return vcl::TColor(d(r) | (d(g) << 8) | (d(b) << 16));
    };
    if (CellState.Contains(grid::csSelected)) {
        const bool focused = ng->Focused() && ActiveControl() == ng;
        if (focused) {
            if (ng->SelectedCount() > 1) CellColor = darker(scheme.GridSelectionColor);
        } else {
            CellColor = darker(scheme.GridInactiveSelectionColor);
        }
        return;
    }
    if (!ng->GetCell(colActive, ARow)->AsBoolean()) CellColor = scheme.Spare12;
}

void TFormMain::ngCellFormating(rtl::TObject*, int ACol, int ARow, vcl::TColor& TextColor, vcl::TFontStyles& Style,
                                grid::TCellState CellState) {
    if (!IsValidRowIndex(ARow)) return;
    if (!CellState.Contains(grid::csSelected)) {
        if (!ng->GetCell(colActive, ARow)->AsBoolean())
            TextColor = engine::AppParams.DarkStyle ? vcl::TColor(0x828282) : vcl::clInactiveCaptionText;
        else
            TextColor = ng->Font()->Color();
    }
    if ((ACol == colFileName || ACol == colFullFileName) && IsChapterRow(ARow)) Style = vcl::TFontStyles{};
}

} // namespace shell
