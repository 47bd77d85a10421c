// Application parameters, tool location, folder list files and small helpers.
#include "app/engine/Procs.h"

#include <QFile>
#include <QSaveFile>
#include <unistd.h>

#include <memory>
#include <set>

#include "base/FileSearch.h"
#include "base/Strings.h"
#include "rtl/Classes.h"
#include "rtl/Encoding.h"
#include "rtl/Files.h"
#include "rtl/IniFiles.h"
#include "rtl/SysUtils.h"

namespace engine {

namespace {

String ProgramDirOverride;

QStringList DefaultLibraryPath() {
    QStringList dirs;
    const char* triplet =
#if defined(__x86_64__)
        "x86_64-linux-gnu";
#elif defined(__aarch64__)
        "aarch64-linux-gnu";
#elif defined(__i386__)
        "i386-linux-gnu";
#else
        "";
#endif
    for (const char* root : {"/usr/local/lib", "/lib", "/usr/lib"}) {
        if (*triplet) dirs << QString::fromLatin1(root) + u'/' + QString::fromLatin1(triplet);
        dirs << QString::fromLatin1(root);
    }
    return dirs;
}

// What each locator looks for.
struct TToolSpec {
    const char16_t* Tool;    // the descriptor's "tool"
    const char16_t* Version; // the descriptor's "ver"
    const char16_t* SubDir;  // under ToolsDir
    const char16_t* VerFile;
    QStringList FileNames; // the file beside the descriptor, in order of preference
    bool IsLibrary;
};

const TToolSpec& Spec(int Which) {
    static const TToolSpec specs[] = {
        {u"ffmpeg", u"N-100739-gda607832b5", u"FFmpeg64", u"ffmpeg.ver", {QStringLiteral("ffmpeg")}, false},
        {u"ffplay", u"N-100739-gda607832b5", u"FFmpeg64", u"ffplay.ver", {QStringLiteral("ffplay")}, false},
        {u"ffprobe",
         u"N-100739-gda607832b5",
         u"FFmpeg64",
         u"ffprobe.ver",
         {QStringLiteral("ffprobe")},
         false},
        {u"MediaInfo",
         u"20.09.0.0",
         u"MediaInfo64",
         u"MediaInfo.ver",
         {QStringLiteral("libmediainfo.so.0"), QStringLiteral("libmediainfo.so")},
         true},
    };
    return specs[Which];
}

String OwnFolderDefault(const TAppParams& Params, const TToolSpec& S) {
    return Params.ToolsDir + u'/' + QString::fromUtf16(S.SubDir) + u'/' + S.FileNames.first();
}

bool IsExecutable(const String& Path) {
    return rtl::FileExists(Path) && access(QFile::encodeName(Path).constData(), X_OK) == 0;
}

String SearchPath(const TToolSpec& S) {
    if (S.IsLibrary) {
        QStringList dirs;
        for (const String& d : qEnvironmentVariable("LD_LIBRARY_PATH").split(u':', Qt::SkipEmptyParts))
            dirs << d;
        dirs << SystemLibraryPath;
        for (const String& name : S.FileNames)
            for (const String& d : dirs)
                if (rtl::FileExists(d + u'/' + name)) return d + u'/' + name;
        return {};
    }
    for (const String& d : qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts)) {
        const String path = rtl::ExpandFileName(d + u'/' + S.FileNames.first());
        if (IsExecutable(path)) return path;
    }
    return {};
}

// The program folders whose descriptor search found nothing for a tool (by locator), this run. The
// encoder and player are located afresh for every row; walking thousands of folders each time for a
// tool that is not there would cost more than the conversion.
std::set<std::pair<int, String>>& MissingTools() {
    static std::set<std::pair<int, String>> missing;
    return missing;
}

String Locate(TAppParams& Params, String& Field, int Which) {
    const TToolSpec& s = Spec(Which);
    String result;
    const String configured = Field.isEmpty() ? String() : rtl::ExpandFileName(Field);
    if (!configured.isEmpty() && rtl::FileExists(configured)) {
        result = configured;
    } else if (rtl::FileExists(OwnFolderDefault(Params, s))) {
        result = OwnFolderDefault(Params, s);
    } else {
        const std::pair<int, String> key(Which, GetProgramDir());
        if (!MissingTools().count(key)) {
            result = FindToolByVerFile(key.second, QString::fromUtf16(s.Tool), QStringLiteral("64"),
                                       QString::fromUtf16(s.Version));
            if (!rtl::FileExists(result)) MissingTools().insert(key);
        }
    }
    if (!rtl::FileExists(result)) result.clear();
    if (result.isEmpty()) result = SearchPath(s); // Debian's own tools
    Field = result;
    return result;
}

String ReduceDir(const String& Dir) {
    const String reduced = base::TrimDirTail(Dir);
    return reduced.isEmpty() && !Dir.isEmpty() && Dir.startsWith(u'/') ? QStringLiteral("/") : reduced;
}

} // namespace

QStringList SystemLibraryPath = DefaultLibraryPath();

String GetProgramDir() {
    if (!ProgramDirOverride.isEmpty()) return ProgramDirOverride;
    return rtl::ExcludeTrailingPathDelimiter(rtl::ExtractFilePath(rtl::ParamStr(0)));
}

void SetProgramDirOverride(const String& Dir) {
    ProgramDirOverride = Dir;
}

void InitAppParams(TAppParams& Params) {
    Params = TAppParams();
    const String dir = GetProgramDir();
    Params.ToolsDir = dir + QStringLiteral("/tools");
    Params.ffmpeg = OwnFolderDefault(Params, Spec(0));
    Params.ffplay = OwnFolderDefault(Params, Spec(1));
    Params.ffprobe = OwnFolderDefault(Params, Spec(2));
    Params.MediaInfoDll = OwnFolderDefault(Params, Spec(3));
    Params.LangDir = dir + QStringLiteral("/lang");
    Params.DataDir = dir + QStringLiteral("/data");
    Params.StylesDir = dir + QStringLiteral("/styles");
    Params.DirListFile = dir + QStringLiteral("/directories.txt");
    Params.LastDir = dir;
    Params.IniName = dir + QStringLiteral("/TunewrightApp.ini");
    Params.AudioBitratesFile = Params.DataDir + QStringLiteral("/audio_bitrates.txt");
    Params.ProfilesDir = dir + QStringLiteral("/profiles");
    Params.LastProfileFile = Params.ProfilesDir + QStringLiteral("/__Last.ini");
    Params.ColorProgressDark = 0x683F2D;
    Params.ColorProgressLight = 0xFF0000;
    Params.ColorOK = 0xE78E54;
    Params.ColorError = 0x4B5FE7;
    Params.DragAcceptDirectories = true;
    Params.OpenFileAfterIconClick = true;
    Params.FileAnalysis = faFull;
    Params.StyleName = QStringLiteral("Windows");
    Params.SplitChapters = true;
    Params.ListFile_Directories = Params.DataDir + QStringLiteral("/directories.ini");
    Params.RunParams.Overwrite = opRename;
    Params.RunParams.bSaveHtml = true;
}

void ForgetMissingTools() {
    MissingTools().clear();
}

String GetFFmpegExe(TAppParams& Params) {
    return Locate(Params, Params.ffmpeg, 0);
}
String GetFFplayExe(TAppParams& Params) {
    return Locate(Params, Params.ffplay, 1);
}
String GetFFprobeExe(TAppParams& Params) {
    return Locate(Params, Params.ffprobe, 2);
}
String GetMediaInfoDll(TAppParams& Params) {
    return Locate(Params, Params.MediaInfoDll, 3);
}

String SearchToolVerFiles(const String& Dir, int Depth, const String& VerFileName, const String& Tool,
                          const String& Bits, const String& Ver, const QStringList& FileNames) {
    if (Dir.isEmpty() || !rtl::DirectoryExists(Dir)) return {};
    rtl::TStringList found;
    base::SearchFiles(VerFileName, Dir, &found, Depth, true, true);
    for (int i = 0; i < found.Count(); ++i) {
        const String verFile = found[i];
        rtl::TMemIniFile ini(verFile);
        if (!ini.SectionExists(QStringLiteral("MAIN"))) continue;
        const String tool =
            rtl::UpperCase(rtl::Trim(ini.ReadString(QStringLiteral("MAIN"), QStringLiteral("tool"), {})));
        const String bits =
            rtl::UpperCase(rtl::Trim(ini.ReadString(QStringLiteral("MAIN"), QStringLiteral("bits"), {})));
        const String ver =
            rtl::UpperCase(rtl::Trim(ini.ReadString(QStringLiteral("MAIN"), QStringLiteral("ver"), {})));
        if (tool != rtl::UpperCase(Tool) || bits != rtl::UpperCase(Bits) || ver != rtl::UpperCase(Ver))
            continue;
        for (const String& name : FileNames) {
            const String path = rtl::ExtractFilePath(verFile) + name;
            if (rtl::FileExists(path)) return path;
        }
        return {};
    }
    return {};
}

String FindToolByVerFile(const String& ProgramFolder, const String& Tool, const String& Bits,
                         const String& Ver) {
    const String upper = rtl::UpperCase(Tool);
    int which = -1;
    for (int i = 0; i < 4; ++i)
        if (upper == rtl::UpperCase(QString::fromUtf16(Spec(i).Tool))) which = i;
    if (which < 0) return {};
    const TToolSpec& s = Spec(which);

    String parent = base::TrimDirTail(ProgramFolder);
    const int slash = parent.lastIndexOf(u'/');
    if (slash < 0) return {};
    parent = base::TrimDirTail(parent.left(slash));
    const String root = parent.isEmpty() ? QStringLiteral("/") : parent;

    const String verFile = QString::fromUtf16(s.VerFile);
    String result =
        SearchToolVerFiles(parent + QStringLiteral("/_common"), 3, verFile, upper, Bits, Ver, s.FileNames);
    if (!rtl::FileExists(result))
        result = SearchToolVerFiles(root, 3, verFile, upper, Bits, Ver, s.FileNames);
    return result;
}

// ---- folder list files ---------------------------------------------------------------------------------

int AddListFileItem(bool Active, const String& Value, TListFileArray& List) {
    List.push_back(TListFileRec{Active, Value});
    return static_cast<int>(List.size()) - 1;
}

void ClearListFileArray(TListFileArray& List) {
    List.clear();
}

void LoadListFile(const String& FileName, TListFileArray& List, bool RemoveTrailingDelimiter) {
    if (!rtl::FileExists(FileName)) return;
    rtl::TMemIniFile ini(FileName, rtl::TEncoding::UTF8());
    rtl::TStringList sections;
    ini.ReadSections(&sections);
    for (int i = 0; i < sections.Count(); ++i) {
        const String section = sections[i];
        if (rtl::Trim(section).isEmpty()) continue;
        String value = ini.ReadString(section, QStringLiteral("Value"), {});
        if (value.startsWith(u'[')) value.remove(0, 1);
        if (value.endsWith(u']')) value.chop(1);
        if (RemoveTrailingDelimiter) value = ReduceDir(value);
        if (value.isEmpty()) continue;
        AddListFileItem(ini.ReadBool(section, QStringLiteral("Active"), true), value, List);
    }
}

bool SaveListFile(const String& FileName, const TListFileArray& List, bool WriteEncodingLine,
                  const String& Comment, bool RemoveTrailingDelimiter) {
    String text;
    const String crlf = QStringLiteral("\r\n");
    if (WriteEncodingLine) text += QStringLiteral(";Encoding: UTF-8") + crlf;
    if (!Comment.isEmpty()) text += u';' + Comment + crlf;
    for (size_t i = 0; i < List.size(); ++i) {
        const String value = RemoveTrailingDelimiter ? ReduceDir(List[i].ItemValue) : List[i].ItemValue;
        text += QStringLiteral("[Item_%1]").arg(i + 1, 2, 10, QLatin1Char('0')) + crlf;
        text += (List[i].Active ? QStringLiteral("Active=1") : QStringLiteral("Active=0")) + crlf;
        text += QStringLiteral("Value=[") + value + u']' + crlf;
        text += crlf;
    }
    QSaveFile file(FileName); // a unique temporary file in the same folder, renamed over the old one
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void RemoveDuplicateDirs(TListFileArray& List, bool IgnoreCase) {
    if (List.empty() || List.size() > 1000) return;
    std::vector<String> keys;
    keys.reserve(List.size());
    for (const auto& item : List) {
        String key = rtl::IncludeTrailingPathDelimiter(rtl::Trim(item.ItemValue));
        keys.push_back(IgnoreCase ? key.toUpper() : key);
    }
    std::vector<bool> marked(List.size(), false);
    for (size_t i = List.size(); i-- > 0;) {
        if (marked[i]) continue;
        for (size_t j = 0; j < i; ++j)
            if (!marked[j] && keys[j] == keys[i]) marked[j] = true;
    }
    TListFileArray kept;
    for (size_t i = 0; i < List.size(); ++i)
        if (!marked[i]) kept.push_back(List[i]);
    List.swap(kept);
}

// ---- helpers ---------------------------------------------------------------------------------------------

String GetStyleNameToken(const String& StyleName) {
    String s = rtl::Trim(StyleName);
    for (const QChar c : {QChar(u','), QChar(u'.'), QChar(u':')}) {
        const int p = s.indexOf(c);
        if (p >= 0) s[p] = u' ';
    }
    const int blank = s.indexOf(u' ');
    return blank < 0 ? s : s.left(blank);
}

bool IsSystemStyleName(const String& StyleName) {
    const String token = GetStyleNameToken(StyleName);
    return token.isEmpty() || token.compare(u"Windows", Qt::CaseInsensitive) == 0;
}

QByteArray StrToOem(const String& Text) {
    QByteArray out;
    out.reserve(Text.size());
    for (const QChar c : Text) out += c.unicode() < 0x80 ? char(c.unicode()) : '?';
    return out;
}

bool HasLeadingDigits(const String& Text) {
    const String s = rtl::Trim(Text);
    return !s.isEmpty() && s[0] >= u'0' && s[0] <= u'9';
}

bool IsSupportedInputExt(const String& Ext) {
    String e = rtl::UpperCase(rtl::Trim(Ext));
    if (e.startsWith(u'.')) e.remove(0, 1);
    static const QStringList supported = QStringLiteral("WEBM,MP4,FLV,3GP").split(u',');
    return !e.isEmpty() && supported.contains(e);
}

bool GetFileTimes(const String& FileName, TFileTimes& Times) {
    try {
        Times.CreationTime = rtl::TFile::GetCreationTime(FileName);
    } catch (const rtl::Exception&) {
    }
    try {
        Times.LastAccessTime = rtl::TFile::GetLastAccessTime(FileName);
    } catch (const rtl::Exception&) {
    }
    try {
        Times.LastWriteTime = rtl::TFile::GetLastWriteTime(FileName);
    } catch (const rtl::Exception&) {
    }
    return true;
}

bool SetFileTimes(const String& FileName, const TFileTimes& Times) {
    try {
        rtl::TFile::SetCreationTime(FileName, Times.CreationTime);
    } catch (const rtl::Exception&) {
    }
    try {
        rtl::TFile::SetLastAccessTime(FileName, Times.LastAccessTime);
    } catch (const rtl::Exception&) {
    }
    try {
        rtl::TFile::SetLastWriteTime(FileName, Times.LastWriteTime);
    } catch (const rtl::Exception&) {
    }
    return true;
}

void ClearGridInfo(TGridInfo& Info) {
    Info = TGridInfo();
}

} // namespace engine
