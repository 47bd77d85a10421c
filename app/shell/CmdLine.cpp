// Command-line options and the plain file list.
#include "app/shell/CmdLine.h"

#include <QFile>
#include <QFileInfo>

#include "app/engine/Analysis.h"
#include "app/engine/FFprobe.h"
#include "app/engine/Procs.h"
#include "rtl/Encoding.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"

namespace shell {

namespace {

// One trailing "." and then one trailing delimiter go, as a folder typed with a final "\." would need.
String TrimFolderTail(String Folder) {
    if (Folder.endsWith(u'.')) Folder.chop(1);
    if (Folder.endsWith(u'/') && Folder.size() > 1) Folder.chop(1);
    return Folder;
}

bool OneOf(const String& Test, std::initializer_list<const char16_t*> Texts) {
    for (const char16_t* t : Texts)
        if (Test == QStringView(t)) return true;
    return false;
}

void SetToolIfExists(String& Field, const String& Path) {
    if (rtl::FileExists(Path)) Field = Path;
}

void ApplyProfileOption(const String& Value, engine::TAppParams& Params, const TRunParamsActions& Actions) {
    if (Value.toUpper() == QStringLiteral("DEFAULT")) {
        if (Actions.SetDefaultEncoderSettings) Actions.SetDefaultEncoderSettings();
        return;
    }
    String name = Value;
    if (rtl::ExtractFileExt(name).toUpper() != QStringLiteral(".INI")) name += QStringLiteral(".ini");
    if (!rtl::FileExists(name) && rtl::ExtractFilePath(name).isEmpty())
        name = rtl::ExcludeTrailingPathDelimiter(Params.ProfilesDir) + u'/' + name;
    if (rtl::FileExists(name) && Actions.LoadProfile) Actions.LoadProfile(name);
}

} // namespace

QStringList ProcessArgs() {
    QStringList args;
    for (int i = 1; i <= rtl::ParamCount(); ++i) args << rtl::ParamStr(i);
    return args;
}

void ParseRunParams(const QStringList& Args, engine::TAppParams& Params, const TRunParamsActions& Actions) {
    engine::TRunParams& rp = Params.RunParams;
    for (const String& raw : Args) {
        const String arg = rtl::Trim(raw);
        const String test = arg.toUpper();
        auto value = [&](int PrefixLength) { return String(arg.mid(PrefixLength)).remove(u'"'); };

        if (test.startsWith(QStringLiteral("-FFMPEG="))) {
            SetToolIfExists(Params.ffmpeg, value(8));
        } else if (test.startsWith(QStringLiteral("-FFPLAY="))) {
            SetToolIfExists(Params.ffplay, value(8));
        } else if (test.startsWith(QStringLiteral("-MEDIAINFO="))) {
            SetToolIfExists(Params.MediaInfoDll, value(11));
        } else if (test.startsWith(QStringLiteral("-TOOLS="))) {
            const String dir = TrimFolderTail(value(7));
            if (rtl::DirectoryExists(dir)) {
                Params.ToolsDir = dir;
                SetToolIfExists(Params.ffmpeg, dir + QStringLiteral("/FFmpeg/ffmpeg"));
                SetToolIfExists(Params.ffplay, dir + QStringLiteral("/FFmpeg/ffplay"));
                SetToolIfExists(Params.MediaInfoDll, dir + QStringLiteral("/MediaInfo/libmediainfo.so.0"));
            }
        } else if (test == QStringLiteral("-AUTOCONVERT")) {
            rp.bAutoConvert = true;
        } else if (test == QStringLiteral("-AUTOCLOSE")) {
            rp.bAutoClose = true;
        } else if (test.startsWith(QStringLiteral("-PROFILE="))) {
            ApplyProfileOption(value(9), Params, Actions);
        } else if (OneOf(test, {u"-OVERWRITE=0", u"-OVERWRITE=FALSE", u"-OVERWRITE=RENAME"})) {
            rp.bOverwriteParams = true;
            rp.Overwrite = engine::opRename;
        } else if (OneOf(test, {u"-OVERWRITE=1", u"-OVERWRITE=TRUE", u"-OVERWRITE=OVERWRITE"})) {
            rp.bOverwriteParams = true;
            rp.Overwrite = engine::opOverwrite;
        } else if (OneOf(test, {u"-OVERWRITE=2", u"-OVERWRITE=SKIP"})) {
            rp.bOverwriteParams = true;
            rp.Overwrite = engine::opSkip;
        } else if (OneOf(test, {u"-SILENT=0", u"-SILENT=FALSE"})) {
            rp.Silent = 0;
        } else if (OneOf(test, {u"-SILENT", u"-SILENT=1", u"-SILENT=TRUE"})) {
            rp.Silent = 1;
        } else if (OneOf(test, {u"-SILENT=2", u"-SILENT=NOERRORS"})) {
            rp.Silent = 2;
        } else if (test.startsWith(QStringLiteral("-OUTDIR="))) {
            rp.OutDir = TrimFolderTail(value(8));
        } else if (test.startsWith(QStringLiteral("-OUTFILE="))) {
            rp.OutFile = value(9);
        } else if (!arg.isEmpty() && rtl::FileExists(arg)) {
            if (rtl::ExtractFileExt(arg).toUpper() == QStringLiteral(".LST")) {
                if (Actions.LoadFileList) Actions.LoadFileList(arg);
            } else if (Actions.AddToList) {
                Actions.AddToList(arg);
            }
        } else if (!arg.isEmpty() && !arg.startsWith(u'-') && Actions.NotFound) {
            Actions.NotFound(arg);
        }
    }
}

// ---- the file list without a grid ------------------------------------------------------------------

int AddToList(engine::TFileRows& Rows, const String& FileName, bool Checked, engine::TAppParams& Params) {
    const String ext = rtl::ExtractFileExt(FileName);
    const bool accepted = Params.AcceptAllMediaFiles ? engine::IsMediaFileExt(FileName) : engine::IsSupportedInputExt(ext);
    if (!accepted) return 0;
    const String full = rtl::ExpandFileName(FileName);
    if (Rows.HasFile(full) || !rtl::FileExists(full)) return 0;

    engine::TFileRow row;
    row.Info.FileName = full;
    row.Checked = Checked;
    row.Status = QStringLiteral("Ready");
    Rows.Rows.push_back(row);
    const size_t fileRow = Rows.Rows.size() - 1;

    if (!Params.SplitChapters || Params.FileAnalysis == engine::faNone) return 1;
    auto info = std::make_unique<engine::TVideoFileInfo>();
    engine::GetMediaChapters(full, engine::GetFFprobeExe(Params), *info);
    if (info->ChapterCount <= 1) return 1;

    Rows.Rows[fileRow].Checked = false;
    int added = 1;
    for (int n = 0; n < engine::MaxChapters; ++n) {
        const engine::TMediaChapter& c = info->Chapters[size_t(n)];
        if (!c.Exists) break;
        engine::TFileRow chapter;
        chapter.Info.FileName = full;
        chapter.Info.bChapter = true;
        chapter.Info.ChapterStartMs = c.StartTimeMs;
        chapter.Info.ChapterEndMs = c.EndTimeMs;
        chapter.Info.ChapterTitle = c.Title;
        chapter.Info.ChapterNo = QString::number(n + 1);
        chapter.Status = QStringLiteral("Ready");
        Rows.Rows.push_back(chapter);
        ++added;
    }
    return added;
}

String FileListLinePath(const String& Line) {
    const String dir = TrimFolderTail(rtl::ExtractFileDir(Line));
    const String name = rtl::ExtractFileName(Line);
    return dir.isEmpty() ? name : (dir == QStringLiteral("/") ? dir : dir + u'/') + name;
}

QStringList ReadFileListLines(const String& LstFile) {
    QFile file(LstFile);
    if (!file.open(QIODevice::ReadOnly))
        throw rtl::EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(LstFile, file.errorString()));
    const QByteArray bytes = file.readAll();
    String text = rtl::DecodeText(rtl::TBytes(bytes.begin(), bytes.end()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QStringList lines;
    for (const String& line : text.split(u'\n'))
        if (!rtl::Trim(line).isEmpty()) lines << line;
    return lines;
}

void LoadFileList(engine::TFileRows& Rows, const String& LstFile, engine::TAppParams& Params) {
    for (const String& line : ReadFileListLines(LstFile)) AddToList(Rows, FileListLinePath(line), true, Params);
}

} // namespace shell
