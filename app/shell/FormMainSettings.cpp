// The main window's settings file: read once at start-up, written once at the close.
#include "app/shell/FormMain.h"

#include <algorithm>

#include "app/engine/Procs.h"
#include "app/shell/AppStrings.h"
#include "app/shell/Settings.h"
#include "base/MemIniFile.h"
#include "base/Strings.h"
#include "rtl/Encoding.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"

namespace shell {

namespace {

const char16_t* const OutDirModes[] = {u"THESAME", u"DESKTOP", u"MYMUSIC", u"MYDOCUMENTS", u"CUSTOM"};
const char16_t* const PanelKeys[] = {u"fpOutputExpanded", u"fpProfileExpanded", u"fpAudioExpanded",
                                     u"fpAdditionalExpanded", u"fpTagExpanded"};

String S(const char16_t* Text) { return String::fromUtf16(Text); }

void SetOption(grid::TReportGrid* G, grid::TGridOption Option, bool On) {
    grid::TGridOptions o = G->Options();
    if (On)
        o.Include(Option);
    else
        o.Exclude(Option);
    G->SetOptions(o);
}

// A tool path from the file: expanded; when that file is missing the tool is looked up again.
void ReadToolPath(base::TKwpMemIniFile& Ini, const char16_t* Key, String& Field, String (*Lookup)(engine::TAppParams&)) {
    const String value = Ini.ReadString(S(Key), Field);
    Field = value.isEmpty() ? value : rtl::ExpandFileName(value);
    if (!rtl::FileExists(Field)) {
        Field.clear();
        Lookup(engine::AppParams);
    }
}

} // namespace

void TFormMain::LoadSettingsFromIni() {
    engine::TAppParams& p = engine::AppParams;
    if (!rtl::FileExists(p.IniName)) return;
    base::TKwpMemIniFile ini(p.IniName, rtl::TEncoding::UTF8());
    ini.SetCurrentSection(QStringLiteral("MAIN"));

    EscExit = ini.ReadBool(S(u"EscExit"), false);
    actEsc->SetEnabled(EscExit);
    p.AcceptAllMediaFiles = ini.ReadBool(S(u"AcceptAllMediaFiles"), false);
    ReadToolPath(ini, u"ffmpeg", p.ffmpeg, engine::GetFFmpegExe);
    ReadToolPath(ini, u"ffplay", p.ffplay, engine::GetFFplayExe);
    ReadToolPath(ini, u"ffprobe", p.ffprobe, engine::GetFFprobeExe);
    ReadToolPath(ini, u"MediaInfoDll", p.MediaInfoDll, engine::GetMediaInfoDll);
    String tools = ini.ReadString(S(u"ToolsDir"), p.ToolsDir);
    if (!tools.isEmpty()) {
        tools = base::TrimDirTail(rtl::ExpandFileName(tools));
        if (rtl::DirectoryExists(tools)) p.ToolsDir = tools;
    }
    const String styles = ini.ReadString(S(u"StylesDir"), p.StylesDir);
    if (rtl::DirectoryExists(styles)) p.StylesDir = styles;
    for (int i = 0; i < 5; ++i) PanelExpanded[i] = ini.ReadBool(S(PanelKeys[i]), PanelExpanded[i]);

    p.LanguageIni = ini.ReadString(S(u"LanguageIni"), p.LanguageIni);
    AppStrings->SetEN();
    if (!p.LanguageIni.isEmpty()) {
        try {
            AppStrings->LoadFromFile(rtl::ExcludeTrailingPathDelimiter(p.LangDir) + u'/' + p.LanguageIni);
        } catch (const std::exception&) {
            // an unreadable language file leaves English
        }
    }

    const int screenW = vcl::Screen ? vcl::Screen->Width() : 1920, screenH = vcl::Screen ? vcl::Screen->Height() : 1080;
    int left = ini.ReadInteger(S(u"Left"), Left());
    if (left > screenW || left < -screenW) left = 0;
    int top = ini.ReadInteger(S(u"Top"), Top());
    if (top < 0 || top > screenH) top = 0;
    SetLeft(left);
    SetTop(top);
    // A new user's window opens centred; a saved position is where the window opens again.
    const String main = QStringLiteral("MAIN");
    if (ini.ValueExists(main, S(u"Left")) || ini.ValueExists(main, S(u"Top"))) SetPosition(vcl::poDesigned);
    SetWidth(ini.ReadInteger(S(u"Width"), Width()));
    SetHeight(ini.ReadInteger(S(u"Height"), Height()));
    if (ini.ReadBool(S(u"Maximized"), WindowState() == vcl::wsMaximized)) SetWindowState(vcl::wsMaximized);
    bRightPanelCollapsed = ini.ReadBool(S(u"RightPanelCollapsed"), false);

    EncoderPanel.cbOutputExists.SetItemIndex(ini.ReadInteger(S(u"cbOutputExists"), EncoderPanel.cbOutputExists.ItemIndex()));
    AfterConversion = ini.ReadInteger(S(u"cbAfterConversion"), AfterConversion);
    const String mode = ini.ReadString(S(u"OutDirMode"), String()).toUpper().trimmed();
    int modeIndex = 0;
    for (int i = 0; i < 5; ++i)
        if (mode == S(OutDirModes[i])) modeIndex = i;
    EncoderPanel.cbOutDirMode.SetItemIndex(std::clamp(modeIndex, 0, std::max(0, EncoderPanel.cbOutDirMode.Count() - 1)));
    EncoderPanel.cbOutDir.SetText(ini.ReadString(S(u"OutDir"), EncoderPanel.cbOutDir.Text()));
    KeepFileDates = ini.ReadBool(S(u"KeepFileDates"), KeepFileDates);
    const String analysis = ini.ReadString(S(u"FileAnalysis"), QStringLiteral("FULL")).toUpper();
    p.FileAnalysis = analysis == QStringLiteral("NONE") ? engine::faNone
                     : analysis == QStringLiteral("QUICK") ? engine::faQuick
                                                            : engine::faFull;
    p.SplitChapters = ini.ReadBool(S(u"SplitChapters"), p.SplitChapters);

    for (int c = 0; c < ng->Columns()->Count(); ++c) {
        grid::TRgCustomColumn* col = ng->Columns()->Item(c);
        if (col->Tag() != 0 || !ini.ValueExists(QStringLiteral("MAIN"), col->Name())) continue;
        engine::TColumnInfo ci;
        if (!ngTryIniStrToColumnInfo(ini.ReadString(col->Name(), String()), ci)) continue;
        col->SetPosition(ci.Position);
        col->SetWidth(ci.Width);
        col->SetVisible(ci.Visible);
    }

    ng->SetRowSize(std::clamp(ini.ReadInteger(S(u"RowHeight"), ng->RowSize()), 12, 50));
    const String fontName = ini.ReadString(S(u"ListFontName"), ng->Font()->Name());
    const int fontSize = std::clamp(ini.ReadInteger(S(u"ListFontSize"), ng->Font()->Size()), 6, 20);
    SetGridFont(fontName, fontSize);
    SetOption(ng, grid::goGrid, ini.ReadBool(S(u"GridLines"), true));
    SetOption(ng, grid::goIndicator, ini.ReadBool(S(u"RowIndicator"), ng->Options().Contains(grid::goIndicator)));
    SetOption(ng, grid::goFooter, ini.ReadBool(S(u"GridFooter"), ng->Options().Contains(grid::goFooter)));
    SetOption(ng, grid::goRowMoving, ini.ReadBool(S(u"AllowRowMoving"), ng->Options().Contains(grid::goRowMoving)));
    SetOption(ng, grid::goDisableColumnMoving,
              !ini.ReadBool(S(u"AllowColumnMoving"), !ng->Options().Contains(grid::goDisableColumnMoving)));
    p.OpenFileAfterIconClick = ini.ReadBool(S(u"OpenFileAfterIconClick"), p.OpenFileAfterIconClick);
    const String lastDir = ini.ReadString(S(u"LastDir"), dlgOpen->InitialDir());
    if (rtl::DirectoryExists(lastDir)) UpdateInitialFolders(lastDir);
    p.DragAcceptDirectories = ini.ReadBool(S(u"DragAcceptDirectories"), p.DragAcceptDirectories);
    p.StyleName = ini.ReadString(S(u"StyleName"), p.StyleName);

    ini.SetCurrentSection(QStringLiteral("MetaData"));
    TagPanel.edTagArtist = ini.ReadString(S(u"Artist"), TagPanel.edTagArtist);
    TagPanel.edTagAlbum = ini.ReadString(S(u"Album"), TagPanel.edTagAlbum);
    TagPanel.edTagTitle = ini.ReadString(S(u"Title"), TagPanel.edTagTitle);
    TagPanel.cbTagYear = ini.ReadString(S(u"Year"), TagPanel.cbTagYear);
    TagPanel.cbTagGenres = ini.ReadString(S(u"Genre"), TagPanel.cbTagGenres);
    TagPanel.edTagTrackNo = ini.ReadString(S(u"TrackNo"), TagPanel.edTagTrackNo);
    TagPanel.edTagTrackNo2 = ini.ReadString(S(u"TrackNo2"), TagPanel.edTagTrackNo2);
    TagPanel.chTagAutoNumbering = ini.ReadBool(S(u"AutoNumbering"), TagPanel.chTagAutoNumbering);
    TagPanel.chTagAddEncoderInfo = ini.ReadBool(S(u"AddEncoderInfo"), TagPanel.chTagAddEncoderInfo);
    const String tagMode = ini.ReadString(S(u"TagSettings"), QStringLiteral("COPY")).toUpper().trimmed();
    TagPanel.Mode = tagMode == QStringLiteral("NONE") ? engine::tmNone
                    : tagMode == QStringLiteral("ADD") ? engine::tmAddCustom
                                                        : engine::tmCopyFromSource;
    const String mp3 = ini.ReadString(S(u"MP3TagsToWrite"), QStringLiteral("ID3V1+ID3V2")).toUpper().trimmed();
    TagPanel.cbMP3TagsToWrite = mp3 == QStringLiteral("ID3V1") ? engine::mtID3v1
                                : mp3 == QStringLiteral("ID3V2") ? engine::mtID3v2
                                                                  : engine::mtBoth;
    rtl::TStringList comment;
    ini.ReadStrings(QStringLiteral("MetaData_Comment"), &comment, false);
    if (ini.ValueExists(QStringLiteral("MetaData_Comment"), QStringLiteral("Line_001")) || comment.Count() > 0) {
        String text = comment.Text();
        if (text.endsWith(QStringLiteral("\r\n"))) text.chop(2);
        TagPanel.meTagComment = text;
    }
}

void TFormMain::SaveSettingsToIni() {
    engine::TAppParams& p = engine::AppParams;
    try {
        const String dir = rtl::ExtractFileDir(p.IniName);
        if (!dir.isEmpty() && !rtl::DirectoryExists(dir)) rtl::ForceDirectories(dir);
        base::TKwpMemIniFile ini(p.IniName, rtl::TEncoding::UTF8());
        ini.SetCurrentSection(QStringLiteral("MAIN"));
        ini.WriteString(S(u"LanguageIni"), p.LanguageIni);
        const bool maximized = WindowState() == vcl::wsMaximized;
        ini.WriteBool(S(u"Maximized"), maximized);
        if (!maximized) {
            ini.WriteInteger(S(u"Left"), Left());
            ini.WriteInteger(S(u"Top"), Top());
            ini.WriteInteger(S(u"Width"), Width());
            ini.WriteInteger(S(u"Height"), Height());
        }
        ini.WriteBool(S(u"RightPanelCollapsed"), bRightPanelCollapsed);
        ini.WriteInteger(S(u"cbOutputExists"), EncoderPanel.cbOutputExists.ItemIndex());
        ini.WriteInteger(S(u"cbAfterConversion"), AfterConversion);
        const int mode = EncoderPanel.cbOutDirMode.ItemIndex();
        ini.WriteString(S(u"OutDirMode"), S(OutDirModes[mode >= 0 && mode < 5 ? mode : 0]));
        ini.WriteString(S(u"OutDir"), EncoderPanel.cbOutDir.Text());
        ini.WriteBool(S(u"KeepFileDates"), KeepFileDates);
        ini.WriteBool(S(u"GridLines"), ng->Options().Contains(grid::goGrid));
        ini.WriteBool(S(u"RowIndicator"), ng->Options().Contains(grid::goIndicator));
        ini.WriteBool(S(u"GridFooter"), ng->Options().Contains(grid::goFooter));
        ini.WriteInteger(S(u"RowHeight"), ng->RowSize());
        ini.WriteBool(S(u"AllowRowMoving"), ng->Options().Contains(grid::goRowMoving));
        ini.WriteBool(S(u"AllowColumnMoving"), !ng->Options().Contains(grid::goDisableColumnMoving));
        ini.WriteString(S(u"ListFontName"), ng->Font()->Name());
        ini.WriteInteger(S(u"ListFontSize"), ng->Font()->Size());
        ini.WriteString(S(u"FileAnalysis"), p.FileAnalysis == engine::faQuick  ? QStringLiteral("Quick")
                                            : p.FileAnalysis == engine::faNone ? QStringLiteral("None")
                                                                               : QStringLiteral("Full"));
        ini.WriteBool(S(u"OpenFileAfterIconClick"), p.OpenFileAfterIconClick);
        ini.WriteString(S(u"LastDir"), dlgOpen->InitialDir());
        ini.WriteBool(S(u"DragAcceptDirectories"), p.DragAcceptDirectories);
        ini.WriteString(S(u"StylesDir"), p.StylesDir);
        ini.WriteString(S(u"StyleName"), p.StyleName);
        for (int i = 0; i < 5; ++i) ini.WriteBool(S(PanelKeys[i]), PanelExpanded[i]);
        ini.WriteBool(S(u"SplitChapters"), p.SplitChapters);
        for (int c = 0; c < ng->Columns()->Count(); ++c) {
            grid::TRgCustomColumn* col = ng->Columns()->Item(c);
            if (col->Tag() != 0) continue;
            engine::TColumnInfo ci;
            ci.Name = col->Name();
            ci.Index = c;
            ci.Position = col->Position();
            ci.Visible = col->Visible();
            ci.Width = col->Width();
            ini.WriteString(col->Name(), ColumnInfoToIniStr(ci));
        }

        if (FormProgress) {
            ini.SetCurrentSection(QStringLiteral("PROGRESS"));
            ini.WriteBool(S(u"CloseAfterConversion"), FormProgress->CloseAfterConversion());
            ini.WriteInteger(S(u"Left"), FormProgress->Left());
            ini.WriteInteger(S(u"Top"), FormProgress->Top());
            ini.WriteInteger(S(u"Width"), FormProgress->Width());
            ini.WriteInteger(S(u"Height"), FormProgress->Height());
        }

        ini.SetCurrentSection(QStringLiteral("MetaData"));
        ini.WriteString(S(u"Artist"), TagPanel.edTagArtist);
        ini.WriteString(S(u"Album"), TagPanel.edTagAlbum);
        ini.WriteString(S(u"Title"), TagPanel.edTagTitle);
        ini.WriteString(S(u"Year"), TagPanel.cbTagYear);
        ini.WriteString(S(u"Genre"), TagPanel.cbTagGenres);
        ini.WriteString(S(u"TrackNo"), TagPanel.edTagTrackNo);
        ini.WriteString(S(u"TrackNo2"), TagPanel.edTagTrackNo2);
        ini.WriteBool(S(u"AutoNumbering"), TagPanel.chTagAutoNumbering);
        ini.WriteBool(S(u"AddEncoderInfo"), TagPanel.chTagAddEncoderInfo);
        ini.WriteString(S(u"TagSettings"), TagPanel.Mode == engine::tmAddCustom ? QStringLiteral("Add")
                                           : TagPanel.Mode == engine::tmNone    ? QStringLiteral("None")
                                                                                : QStringLiteral("Copy"));
        ini.WriteString(S(u"MP3TagsToWrite"), TagPanel.cbMP3TagsToWrite == engine::mtID3v2   ? QStringLiteral("ID3v2")
                                              : TagPanel.cbMP3TagsToWrite == engine::mtID3v1 ? QStringLiteral("ID3v1")
                                                                                             : QStringLiteral("ID3v1+ID3v2"));
        rtl::TStringList comment;
        comment.SetText(TagPanel.meTagComment);
        ini.WriteStrings(QStringLiteral("MetaData_Comment"), &comment, 200, false);
        ini.UpdateFile();
    } catch (const std::exception&) {
        // an unwritable settings file costs this session's settings, nothing more
    }
}

} // namespace shell
