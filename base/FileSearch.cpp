// base/FileSearch.cpp
//
// The search reads folders with opendir/readdir directly: the entry types come from readdir without a
// stat for plain files and folders, and the device and inode of every folder it enters are at hand to
// keep link loops out.
#include "base/FileSearch.h"

#include <QFile>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace base {

String AddLongPathPrefix(const String& Path) {
    return Path;
}

String RemoveLongPathPrefix(const String& Path) {
    return Path;
}

namespace {

bool IsDotName(const String& Name) {
    return Name == u"." || Name == u"..";
}

bool IsDotName(const char* Name) {
    return Name[0] == '.' && (Name[1] == 0 || (Name[1] == '.' && Name[2] == 0));
}

} // namespace

bool AcceptFileEntry(const rtl::TSearchRec& Entry, bool AcceptSymLinks) {
    if ((Entry.Attr & rtl::faDirectory) || IsDotName(Entry.Name)) return false;
    return AcceptSymLinks || !(Entry.Attr & rtl::faSymLink);
}

bool AcceptDirEntry(const rtl::TSearchRec& Entry, bool AcceptSymLinks) {
    if (!(Entry.Attr & rtl::faDirectory) || IsDotName(Entry.Name)) return false;
    return AcceptSymLinks || !(Entry.Attr & rtl::faSymLink);
}

namespace {

// Windows wildcard rules: letters compare without case, '*' is any run, '?' one character, "*" and
// "*.*" match every name, and a mask ending in ".*" also matches the name without an extension.
class TMask {
public:
    explicit TMask(const String& Mask)
        : FMask(Mask.toCaseFolded()), FAll(Mask == u"*" || Mask == u"*.*"),
          FWild(Mask.contains(u'*') || Mask.contains(u'?')) {}

    bool MatchesAll() const { return FAll; }

    bool Matches(const String& Name) const {
        if (FAll) return true;
        if (!FWild) return Name == FMask || Name.toCaseFolded() == FMask;
        const String N = Name.toCaseFolded();
        if (Match(N, 0, 0)) return true;
        return FMask.endsWith(QStringLiteral(".*")) && !N.contains(u'.') && Match(N + u'.', 0, 0);
    }

private:
    bool Match(const String& N, qsizetype Ni, qsizetype Mi) const {
        // Iterative glob with one back-track point per '*'.
        qsizetype StarM = -1, StarN = 0;
        while (Ni < N.size()) {
            if (Mi < FMask.size() && (FMask[Mi] == u'?' || FMask[Mi] == N[Ni])) {
                ++Mi;
                ++Ni;
            } else if (Mi < FMask.size() && FMask[Mi] == u'*') {
                StarM = Mi++;
                StarN = Ni;
            } else if (StarM >= 0) {
                Mi = StarM + 1;
                Ni = ++StarN;
            } else {
                return false;
            }
        }
        while (Mi < FMask.size() && FMask[Mi] == u'*') ++Mi;
        return Mi == FMask.size();
    }

    String FMask;
    bool FAll;
    bool FWild;
};

// Reads a folder's entries with getdents64 into a buffer the search reuses.
class TDirReader {
public:
    TDirReader(const String& Dir, std::vector<char>& Buffer) : FBuffer(Buffer) {
        // An empty folder name stands for the root, as "" + "/*" does.
        const QByteArray Name = Dir.isEmpty() ? QByteArray("/") : QFile::encodeName(Dir);
        FFd = ::open(Name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    ~TDirReader() {
        if (FFd >= 0) ::close(FFd);
    }
    TDirReader(const TDirReader&) = delete;
    TDirReader& operator=(const TDirReader&) = delete;

    bool Ok() const { return FFd >= 0; }
    int Fd() const { return FFd; }

    const struct dirent64* Next() {
        if (FPos >= FLen) {
            FLen = ::getdents64(FFd, FBuffer.data(), FBuffer.size());
            FPos = 0;
            if (FLen <= 0) return nullptr;
        }
        const auto* E = reinterpret_cast<const struct dirent64*>(FBuffer.data() + FPos);
        FPos += E->d_reclen;
        return E;
    }

private:
    std::vector<char>& FBuffer;
    int FFd = -1;
    ssize_t FLen = 0;
    ssize_t FPos = 0;
};

enum class TKind { File, Dir, Other };

struct TEntryInfo {
    TKind Kind = TKind::Other;
    bool Link = false;
    dev_t Dev = 0;
    ino_t Ino = 0;
};

// The kind of an entry, following a link; NeedIds asks for the device and inode of folders.
TEntryInfo Inspect(int DirFd, const struct dirent64* E, bool NeedIds) {
    TEntryInfo Info;
    const unsigned char Type = E->d_type;
    Info.Link = Type == DT_LNK;
    if (Type == DT_REG) {
        Info.Kind = TKind::File;
        return Info;
    }
    if (Type != DT_DIR && Type != DT_LNK && Type != DT_UNKNOWN) return Info;
    if (Type == DT_DIR && !NeedIds) {
        Info.Kind = TKind::Dir;
        return Info;
    }
    struct stat St;
    if (Type == DT_UNKNOWN) {
        if (::fstatat(DirFd, E->d_name, &St, AT_SYMLINK_NOFOLLOW) != 0) return Info;
        Info.Link = S_ISLNK(St.st_mode);
    }
    if ((Type != DT_UNKNOWN || Info.Link) && ::fstatat(DirFd, E->d_name, &St, 0) != 0)
        return Info; // dangling
    Info.Kind = S_ISDIR(St.st_mode) ? TKind::Dir : S_ISREG(St.st_mode) ? TKind::File : TKind::Other;
    Info.Dev = St.st_dev;
    Info.Ino = St.st_ino;
    return Info;
}

// The files of a folder as read: for each, a link flag byte, the name's bytes and a zero byte. Kept as
// bytes so that a search over many files makes no string per file until it reports one.
class TFileNames {
public:
    void Add(const char* Name, bool Link) {
        FBytes.push_back(Link ? '\1' : '\0');
        FBytes.append(Name);
        FBytes.push_back('\0');
    }
    void Clear() { std::string().swap(FBytes); }

    template <typename TFn> bool ForEach(TFn&& Fn) const {
        for (const char *P = FBytes.data(), *End = P + FBytes.size(); P < End;) {
            const bool Link = *P++ == '\1';
            const size_t Len = std::strlen(P);
            if (!Fn(P, Len, Link)) return false;
            P += Len + 1;
        }
        return true;
    }

private:
    std::string FBytes;
};

// Folder + "/" + a file name in UTF-8, with a single allocation for the common ASCII name.
String JoinName(const String& Folder, const char* Name, size_t Len) {
    bool Ascii = true;
    for (size_t i = 0; i < Len && Ascii; ++i) Ascii = static_cast<unsigned char>(Name[i]) < 0x80;
    const bool Root = Folder.endsWith(u'/'); // "/" only
    if (!Ascii)
        return Folder + (Root ? String() : String(u'/')) + QFile::decodeName(QByteArray::fromRawData(Name, qsizetype(Len)));
    String Result;
    Result.reserve(Folder.size() + 1 + qsizetype(Len));
    Result += Folder;
    if (!Root) Result += u'/';
    Result += QLatin1StringView(Name, qsizetype(Len));
    return Result;
}

struct TFolder {
    String Path;
    dev_t Dev = 0;
    ino_t Ino = 0;
    int Parent = -1;     // index into the walk's folders, -1 for the start
    bool Listed = false; // Files holds every file the folder had when it was read
    TFileNames Files;
};

// Subfolders of Folders[Index]: the enumeration of CollectSubDirs, with the folders the walk is
// already inside left out. The files seen on the way are kept, so the file pass need not read the
// folder again, unless OnEntry cut the enumeration short.
void CollectSubFolders(std::vector<TFolder>& Folders, int Index, bool AcceptSymLinks, const TOnEntry& OnEntry,
                       std::vector<int>& Found, std::vector<char>& Buffer) {
    const String Dir = Folders[size_t(Index)].Path;
    TDirReader Reader(Dir, Buffer);
    if (!Reader.Ok()) return;
    TFileNames Files;
    int Count = 0;
    while (const struct dirent64* E = Reader.Next()) {
        const bool First = Count == 0;
        if (First) {
            Count = 1;
            if (OnEntry && !OnEntry(Count)) return;
        }
        if (!IsDotName(E->d_name)) {
            const TEntryInfo Info = Inspect(Reader.Fd(), E, true);
            if (Info.Kind == TKind::Dir && (AcceptSymLinks || !Info.Link)) {
                bool Inside = false;
                for (int P = Index; P >= 0 && !Inside; P = Folders[size_t(P)].Parent)
                    Inside = Folders[size_t(P)].Dev == Info.Dev && Folders[size_t(P)].Ino == Info.Ino;
                if (!Inside) {
                    TFolder Sub;
                    Sub.Path = JoinName(Dir, E->d_name, std::strlen(E->d_name));
                    Sub.Dev = Info.Dev;
                    Sub.Ino = Info.Ino;
                    Sub.Parent = Index;
                    Folders.push_back(std::move(Sub));
                    Found.push_back(int(Folders.size() - 1));
                }
            } else if (Info.Kind == TKind::File) {
                Files.Add(E->d_name, Info.Link);
            }
        }
        if (!First) {
            ++Count;
            if (OnEntry && !OnEntry(Count)) return;
        }
    }
    TFolder& Folder = Folders[size_t(Index)];
    Folder.Files = std::move(Files);
    Folder.Listed = true;
}

// Reads the files of a folder that the subfolder walk did not list.
void ListFiles(TFolder& Folder, std::vector<char>& Buffer) {
    TDirReader Reader(Folder.Path, Buffer);
    Folder.Listed = true;
    if (!Reader.Ok()) return;
    while (const struct dirent64* E = Reader.Next()) {
        if (E->d_type == DT_DIR || IsDotName(E->d_name)) continue;
        const TEntryInfo Info = Inspect(Reader.Fd(), E, false);
        if (Info.Kind == TKind::File) Folder.Files.Add(E->d_name, Info.Link);
    }
}

// Files of the folder matching Mask, each handed to Add, which returns false to stop.
template <typename TAdd>
bool ForEachFile(const TMask& Mask, TFolder& Folder, bool AcceptSymLinks, std::vector<char>& Buffer,
                 TAdd&& Add) {
    if (!Folder.Listed) ListFiles(Folder, Buffer);
    return Folder.Files.ForEach([&](const char* Name, size_t Len, bool Link) {
        if (Link && !AcceptSymLinks) return true;
        String File = JoinName(Folder.Path, Name, Len);
        if (!Mask.MatchesAll() && !Mask.Matches(File.mid(Folder.Path.size() + 1))) return true;
        return Add(std::move(File));
    });
}

bool StatFolder(const String& Dir, dev_t& Dev, ino_t& Ino) {
    struct stat St;
    const QByteArray Name = Dir.isEmpty() ? QByteArray("/") : QFile::encodeName(Dir);
    if (::stat(Name.constData(), &St) != 0 || !S_ISDIR(St.st_mode)) return false;
    Dev = St.st_dev;
    Ino = St.st_ino;
    return true;
}

constexpr size_t ReadBufferSize = 64 * 1024;

} // namespace

void CollectFiles(const String& Mask, const String& Dir, rtl::TStrings* List, bool AcceptSymLinks) {
    std::vector<char> Buffer(ReadBufferSize);
    TFolder Folder;
    Folder.Path = Dir;
    ForEachFile(TMask(Mask), Folder, AcceptSymLinks, Buffer, [&](const String& File) {
        List->Add(File);
        return true;
    });
}

void CollectSubDirs(const String& Pattern, rtl::TStrings* List, bool AcceptSymLinks,
                    const TOnEntry& OnEntry) {
    std::vector<TFolder> Folders(1);
    Folders[0].Path = Pattern.left(Pattern.size() - 2);
    if (!StatFolder(Folders[0].Path, Folders[0].Dev, Folders[0].Ino)) return;
    std::vector<char> Buffer(ReadBufferSize);
    std::vector<int> Found;
    CollectSubFolders(Folders, 0, AcceptSymLinks, OnEntry, Found, Buffer);
    for (int I : Found) List->Add(Folders[size_t(I)].Path);
}

void SearchFiles(const String& FileMask, const String& StartDir, rtl::TStrings* Results, int RecurseDepth,
                 bool AcceptDirSymLinks, bool AcceptFileSymLinks, const TOnDirFound& OnDirFound,
                 const TOnFileFound& OnFileFound, const TOnEntry& OnEntry) {
    // An empty start is no folder at all (not the root: that would walk the whole disk), and the root
    // keeps its one delimiter.
    if (StartDir.isEmpty()) return;
    String Start = AddLongPathPrefix(StartDir);
    if (Start.endsWith(u'/') && Start.size() > 1) Start.chop(1);

    // Folders holds every folder found, the start first; its order is the folder list's.
    std::vector<TFolder> Folders(1);
    Folders[0].Path = Start;
    int DirCount = 1;

    std::vector<char> Buffer(ReadBufferSize);
    if (RecurseDepth > 0 && StatFolder(Start, Folders[0].Dev, Folders[0].Ino)) {
        std::vector<int> Level{0};
        for (int Depth = 0; Depth < RecurseDepth && !Level.empty(); ++Depth) {
            std::vector<int> Next;
            for (int Index : Level) {
                std::vector<int> Found;
                CollectSubFolders(Folders, Index, AcceptDirSymLinks, OnEntry, Found, Buffer);
                for (int F : Found) {
                    ++DirCount;
                    if (OnDirFound && !OnDirFound(DirCount, RemoveLongPathPrefix(Folders[size_t(F)].Path)))
                        return;
                    Next.push_back(F);
                }
            }
            Level = std::move(Next);
        }
    }

    // The string list's default order (rtl::AnsiCompareText: locale rules on case-folded text), with
    // each name folded once instead of at every comparison.
    std::vector<String> Folded(Folders.size());
    std::vector<size_t> Order(Folders.size());
    for (size_t i = 0; i < Folders.size(); ++i) {
        Folded[i] = RemoveLongPathPrefix(Folders[i].Path).toCaseFolded();
        Order[i] = i;
    }
    std::sort(Order.begin(), Order.end(),
              [&](size_t A, size_t B) { return String::localeAwareCompare(Folded[A], Folded[B]) < 0; });
    std::vector<String>().swap(Folded);

    const TMask Mask(FileMask);
    for (int I = 0; I < DirCount; ++I) {
        TFolder& Folder = Folders[Order[size_t(I)]];
        const bool Go = ForEachFile(Mask, Folder, AcceptFileSymLinks, Buffer, [&](const String& File) {
            Results->Add(RemoveLongPathPrefix(File));
            return !OnFileFound || OnFileFound(DirCount, Results->Count(), I + 1, File);
        });
        Folder.Files.Clear(); // done with this folder
        if (!Go) return;
    }
}

} // namespace base
