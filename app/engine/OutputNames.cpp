// Output file naming for a conversion run.
#include "app/engine/OutputNames.h"

#include <QFile>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/engine/Procs.h"
#include "base/Strings.h"
#include "base/WinFileSystem.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"

namespace engine {

namespace {

bool StatFile(const String& FileName, struct stat& St) {
    return !FileName.isEmpty() && ::stat(QFile::encodeName(FileName).constData(), &St) == 0;
}

// A language text with "\n" as line breaks and "%s" filled in.
String FillLangText(const String& Text, const String& Arg) {
    String s = Text;
    s.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
    const int p = s.indexOf(QStringLiteral("%s"));
    if (p >= 0) s.replace(p, 2, Arg);
    return s;
}

String FolderDefault(const String& InputFile) { return rtl::ExtractFileDir(InputFile); }

} // namespace

String GetUniqueFileName(const String& FileName, const String& Separator, int Width,
                         const std::function<bool(const String&)>& Taken) {
    return GetUniqueFileName(FileName, Separator, Width, Taken, 1, nullptr);
}

String GetUniqueFileName(const String& FileName, const String& Separator, int Width,
                         const std::function<bool(const String&)>& Taken, int First, int* Used) {
    auto taken = [&](const String& Name) { return Taken ? Taken(Name) : rtl::FileExists(Name); };
    if (Used) *Used = 0;
    if (!taken(FileName)) return FileName;
    const String ext = rtl::ExtractFileExt(FileName);
    const String stem = FileName.left(FileName.size() - ext.size());
    for (int i = std::max(First, 1); i <= 100000; ++i) {
        const String suffix = Separator + base::PadLeftText(QString::number(i), Width, u'0');
        // The counter must not push a name that just fits over the limit.
        const String fitted = FitFileNameLength(stem + ext, int(suffix.toUtf8().size()));
        const String name = fitted.left(fitted.size() - ext.size()) + suffix + ext;
        if (!taken(name)) {
            if (Used) *Used = i;
            return name;
        }
    }
    return String();
}

String FitFileNameLength(const String& FileName, int ReserveBytes) {
    const int slash = FileName.lastIndexOf(u'/');
    const String dir = FileName.left(slash + 1);
    const String name = FileName.mid(slash + 1);
    if (name.toUtf8().size() + ReserveBytes <= MaxNameBytes) return FileName;
    const String ext = rtl::ExtractFileExt(name);
    String stem = name.left(name.size() - ext.size());
    const int room = MaxNameBytes - ReserveBytes - int(ext.toUtf8().size());
    int bytes = 0, keep = 0;
    for (int i = 0; i < stem.size();) {
        const int units = stem[i].isHighSurrogate() && i + 1 < stem.size() && stem[i + 1].isLowSurrogate() ? 2 : 1;
        const int n = int(stem.mid(i, units).toUtf8().size());
        if (bytes + n > room) break;
        bytes += n;
        i += units;
        keep = i;
    }
    stem.truncate(keep);
    return dir + stem + ext;
}

String CanonicalFileName(const String& FileName) {
    if (FileName.isEmpty()) return FileName;
    std::error_code error;
    const std::filesystem::path path(QFile::encodeName(FileName).toStdString());
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
    if (error) return rtl::ExpandFileName(FileName);
    return QFile::decodeName(QByteArray::fromStdString(canonical.string()));
}

bool IsSameFile(const String& A, const String& B) {
    struct stat a {}, b {};
    if (StatFile(A, a) && StatFile(B, b)) return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    return CanonicalFileName(A) == CanonicalFileName(B);
}

void TOutputNamer::Claim(const String& FileName) {
    FClaimed.insert(CanonicalFileName(FileName));
    struct stat st {};
    if (StatFile(FileName, st)) FClaimedIds.emplace(uint64_t(st.st_dev), uint64_t(st.st_ino));
}

bool TOutputNamer::Claimed(const String& FileName) const {
    if (FClaimed.isEmpty()) return false;
    if (FClaimed.contains(CanonicalFileName(FileName))) return true;
    struct stat st {};
    return !FClaimedIds.empty() && StatFile(FileName, st) &&
           FClaimedIds.count({uint64_t(st.st_dev), uint64_t(st.st_ino)}) > 0;
}

String TOutputNamer::UniqueName(const String& FileName) {
    // Counters below the last one given for this name were all taken then; this run never frees one.
    auto taken = [this](const String& Name) { return rtl::FileExists(Name) || Claimed(Name); };
    int used = 0;
    const auto next = FNextCounter.constFind(FileName);
    const String name = GetUniqueFileName(FileName, QStringLiteral("_"), 3, taken,
                                          next == FNextCounter.constEnd() ? 1 : *next, &used);
    if (used > 0) FNextCounter.insert(FileName, used + 1);
    return name;
}

String TOutputNamer::GetOutputFileName(const TFileRowInfo& Row, const String& Ext, bool bChapter, String& sStatus,
                                       String& sErr) {
    String name;
    const String input = Row.FileName;

    if (FRunParams.bAutoConvert && !FRunParams.OutFile.isEmpty()) {
        name = FRunParams.OutFile;
        if (rtl::ExtractFilePath(name).isEmpty()) {
            const String dir = !FRunParams.OutDir.isEmpty() ? FRunParams.OutDir : rtl::ExtractFilePath(input);
            name = base::TrimDirTail(dir) + u'/' + name;
        }
    } else if (FRunParams.bAutoConvert && !FRunParams.OutDir.isEmpty()) {
        const String dir = FRunParams.OutDir;
        if (!rtl::DirectoryExists(dir)) {
            try {
                rtl::ForceDirectories(dir);
            } catch (...) {
                // reported below: the folder is still missing
            }
        }
        if (!rtl::DirectoryExists(dir) && FRunParams.Silent < 2) {
            sErr = FillLangText(FPanel.Texts.CantCreateDirectory, dir);
            if (Hooks.OnFolderError) Hooks.OnFolderError(sErr);
            return String();
        }
        name = rtl::ChangeFileExt(rtl::ExcludeTrailingPathDelimiter(dir) + u'/' + rtl::ExtractFileName(input), Ext);
    } else {
        String dir;
        switch (FPanel.cbOutDirMode.ItemIndex()) {
        case 1: dir = base::GetSpecialFolderPath(base::CSIDL_DESKTOPDIRECTORY, FolderDefault(input)); break;
        case 2: dir = base::GetSpecialFolderPath(base::CSIDL_MYMUSIC, FolderDefault(input)); break;
        case 3: dir = base::GetSpecialFolderPath(base::CSIDL_PERSONAL, FolderDefault(input)); break;
        case 4: dir = rtl::Trim(FPanel.cbOutDir.Text()); break;
        default: break;
        }
        const int mode = FPanel.cbOutDirMode.ItemIndex();
        name = mode >= 1 && mode <= 4 ? base::TrimDirTail(dir) + u'/' + rtl::ExtractFileName(input) : input;
        name = rtl::ChangeFileExt(name, Ext);
    }

    if (bChapter) {
        name = rtl::ChangeFileExt(name, String());
        const String number = base::PadLeftText(rtl::Trim(Row.ChapterNo), 2, u'0');
        String title = rtl::Trim(Row.ChapterTitle);
        if (title.isEmpty()) title = QStringLiteral("Chapter ") + number;
        title = base::ReplaceInvalidFileNameChars(title, QStringLiteral("_"), true);
        if (!HasLeadingDigits(title)) title = number + QStringLiteral(" - ") + title;
        name = name + QStringLiteral(" - ") + title + Ext;
    }

    name = FitFileNameLength(name);

    // A file this run wrote already is never replaced: under skip later rows of the same name are
    // skipped, under rename and overwrite they are numbered.
    const bool ownOutput = Claimed(name);
    if (ownOutput || rtl::FileExists(name)) {
        TOverwriteParams rule = opRename;
        if (FRunParams.bOverwriteParams) {
            rule = FRunParams.Overwrite;
        } else {
            switch (FPanel.cbOutputExists.ItemIndex()) {
            case 1: rule = opOverwrite; break;
            case 2: rule = opSkip; break;
            default: rule = opRename; break;
            }
        }
        if (ownOutput && rule == opOverwrite) rule = opRename;

        switch (rule) {
        case opSkip:
            sStatus = FPanel.Texts.Skipped;
            if (Hooks.OnSkip) Hooks.OnSkip(sStatus, name, !FSaveAsBatch);
            sErr = QStringLiteral("skip");
            return name;
        case opOverwrite:
            sStatus = FPanel.Texts.OK_Overwritten;
            // Another spelling of the input, or a link to it, is still the input.
            if (IsSameFile(name, input)) name = UniqueName(name);
            break;
        case opRename:
            name = UniqueName(name);
            sStatus = FPanel.Texts.OK_Renamed;
            break;
        }
        if (name.isEmpty()) {
            sErr = QStringLiteral("No free output file name is left beside \"%1\".").arg(input);
            return name;
        }
    }

    Claim(name);
    return name;
}

} // namespace engine
