#include "rtl/IniFiles.h"

#include "rtl/DateUtils.h"
#include "rtl/Files.h"
#include "rtl/Streams.h"
#include "rtl/SysUtils.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rtl {

namespace {

// A stored number, date or time read with the run-time library's parser; missing or unreadable
// values give the default.
double ParsedOr(const String& Text, double Default, bool (*TryParse)(const String&, double&)) {
    double value = Default;
    return !Text.isEmpty() && TryParse(Text, value) ? value : Default;
}

mode_t CurrentUmask() {
    // Reading it through umask() would change it for other threads meanwhile.
    if (FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, f)) {
            unsigned mask = 0;
            if (std::sscanf(line, "Umask: %o", &mask) == 1) {
                std::fclose(f);
                return mode_t(mask);
            }
        }
        std::fclose(f);
    }
    return 022;
}

[[noreturn]] void RaiseCreateError(const String& FileName, int err) {
    throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2")
                            .arg(FileName, QString::fromLocal8Bit(std::strerror(err))));
}

// Replaces the file's content through a unique temporary file in its folder and rename(), so a failure
// at any step leaves the old file whole. A symbolic link is followed: its target gets the new content.
void ReplaceFile(const String& FileName, const TBytes& Bytes) {
    QByteArray target = FileName.toLocal8Bit();
    if (target.isEmpty()) RaiseCreateError(FileName, ENOENT);
    char resolved[PATH_MAX];
    struct stat lst {};
    if (::lstat(target.constData(), &lst) == 0 && S_ISLNK(lst.st_mode) && ::realpath(target.constData(), resolved))
        target = QByteArray(resolved);
    mode_t mode = 0666 & ~CurrentUmask();
    struct stat st {};
    if (::stat(target.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) RaiseCreateError(FileName, EISDIR);
        mode = st.st_mode & 07777;
    }
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray tmpl = target.left(slash + 1) + "." + target.mid(slash + 1) + ".XXXXXX";
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0) RaiseCreateError(FileName, errno);
    int err = 0;
    size_t done = 0;
    while (done < Bytes.size() && err == 0) {
        const ssize_t n = ::write(fd, Bytes.data() + done, Bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) err = n < 0 ? errno : EIO;
        else done += size_t(n);
    }
    if (err == 0 && ::fchmod(fd, mode) != 0) err = errno;
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(tmpl.constData(), target.constData()) != 0) err = errno;
    if (err != 0) {
        ::unlink(tmpl.constData());
        RaiseCreateError(FileName, err);
    }
}

std::vector<String> SplitLines(const String& Text) {
    std::vector<String> lines;
    qsizetype start = 0;
    const qsizetype n = Text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = Text.at(i);
        if (c != u'\r' && c != u'\n') continue;
        lines.push_back(Text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && Text.at(i + 1) == u'\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.push_back(Text.mid(start));
    return lines;
}

void ClearList(TStrings* Strings) {
    if (Strings != nullptr) Strings->Clear();
}

} // namespace

// ---- TCustomIniFile ---------------------------------------------------------------------------------

int TCustomIniFile::ReadInteger(const String& Section, const String& Ident, int Default) {
    String text = ReadString(Section, Ident, String());
    if (text.size() > 2 && text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
        text = u'$' + text.mid(2);
    return StrToIntDef(text, Default);
}

void TCustomIniFile::WriteInteger(const String& Section, const String& Ident, int Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const String& Section, const String& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const String& Section, const String& Ident, bool Value) {
    WriteString(Section, Ident, Value ? QStringLiteral("1") : QStringLiteral("0"));
}

double TCustomIniFile::ReadFloat(const String& Section, const String& Name, double Default) {
    return ParsedOr(ReadString(Section, Name, String()), Default, TryStrToFloat);
}

void TCustomIniFile::WriteFloat(const String& Section, const String& Name, double Value) {
    WriteString(Section, Name, FloatToStr(Value));
}

TDateTime TCustomIniFile::ReadDate(const String& Section, const String& Name, TDateTime Default) {
    return ParsedOr(ReadString(Section, Name, String()), Default, TryStrToDate);
}

void TCustomIniFile::WriteDate(const String& Section, const String& Name, TDateTime Value) {
    WriteString(Section, Name, DateToStr(Value));
}

TDateTime TCustomIniFile::ReadDateTime(const String& Section, const String& Name, TDateTime Default) {
    return ParsedOr(ReadString(Section, Name, String()), Default, TryStrToDateTime);
}

void TCustomIniFile::WriteDateTime(const String& Section, const String& Name, TDateTime Value) {
    WriteString(Section, Name, DateTimeToStr(Value));
}

TDateTime TCustomIniFile::ReadTime(const String& Section, const String& Name, TDateTime Default) {
    return ParsedOr(ReadString(Section, Name, String()), Default, TryStrToTime);
}

void TCustomIniFile::WriteTime(const String& Section, const String& Name, TDateTime Value) {
    WriteString(Section, Name, TimeToStr(Value));
}

bool TCustomIniFile::SectionExists(const String& Section) {
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const String& Section, const String& Ident) {
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.IndexOf(Ident) >= 0;
}

// ---- TMemIniFile ------------------------------------------------------------------------------------

TMemIniFile::TMemIniFile(const String& AFileName) : TMemIniFile(AFileName, nullptr, false) {}

TMemIniFile::TMemIniFile(const String& AFileName, TEncoding* AEncoding) : TMemIniFile(AFileName, AEncoding, false) {}

TMemIniFile::TMemIniFile(const String& AFileName, TEncoding* AEncoding, bool CaseSensitive)
    : TCustomIniFile(AFileName), FEncoding(AEncoding), FCaseSensitive(CaseSensitive) {
    LoadValues();
}

void TMemIniFile::LoadValues() {
    if (FFileName.isEmpty() || !FileExists(FFileName)) {
        Clear();
        return;
    }
    TBytes bytes;
    {
        TFileStream file(FFileName, fmOpenRead | fmShareDenyWrite);
        const int64_t size = file.Size();
        if (size < 0) throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(FFileName, QStringLiteral("Invalid file size")));
        bytes.resize(size_t(size));
        bytes.resize(size_t(file.Read(bytes.data(), size)));   // the file may have shrunk meanwhile
    }
    TEncoding* used = nullptr;
    const String text = DecodeText(bytes, FEncoding, &used);
    FEncoding = used;
    ParseLines(SplitLines(text));
}

void TMemIniFile::ParseLines(const std::vector<String>& Lines) {
    Clear();
    TSection* current = nullptr;
    for (const String& raw : Lines) {
        const String line = Trim(raw);
        if (line.isEmpty() || line.at(0) == u';') continue;
        if (line.at(0) == u'[' && line.at(line.size() - 1) == u']') {
            const String name = Trim(line.mid(1, line.size() - 2));
            current = FindSection(name);
            if (current == nullptr) {
                FSections.push_back(TSection{name, {}});
                current = &FSections.back();
            }
            continue;
        }
        if (current == nullptr) continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) current->Keys.push_back(TKey{line, String()});
        else current->Keys.push_back(TKey{TrimRight(line.left(eq)), TrimLeft(line.mid(eq + 1))});
    }
}

bool TMemIniFile::SameName(const String& A, const String& B) const {
    return FCaseSensitive ? A == B : AnsiSameText(A, B);
}

TMemIniFile::TSection* TMemIniFile::FindSection(const String& Name) {
    for (TSection& s : FSections)
        if (SameName(s.Name, Name)) return &s;
    return nullptr;
}

TMemIniFile::TKey* TMemIniFile::FindKey(TSection& Section, const String& Name) {
    for (TKey& k : Section.Keys)
        if (SameName(k.Name, Name)) return &k;
    return nullptr;
}

String TMemIniFile::ReadString(const String& Section, const String& Ident, const String& Default) {
    TSection* section = FindSection(Section);
    TKey* key = section != nullptr ? FindKey(*section, Ident) : nullptr;
    return key != nullptr ? key->Value : Default;
}

void TMemIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
    TSection* section = FindSection(Section);
    if (section == nullptr) {
        FSections.push_back(TSection{Section, {}});
        section = &FSections.back();
    }
    if (TKey* key = FindKey(*section, Ident)) key->Value = Value;
    else section->Keys.push_back(TKey{Ident, Value});
}

void TMemIniFile::ReadSection(const String& Section, TStrings* Strings) {
    ClearList(Strings);
    if (Strings == nullptr) return;
    if (TSection* section = FindSection(Section))
        for (const TKey& k : section->Keys) Strings->Add(k.Name);
}

void TMemIniFile::ReadSections(TStrings* Strings) {
    ClearList(Strings);
    if (Strings == nullptr) return;
    for (const TSection& s : FSections) Strings->Add(s.Name);
}

void TMemIniFile::ReadSectionValues(const String& Section, TStrings* Strings) {
    ClearList(Strings);
    if (Strings == nullptr) return;
    if (TSection* section = FindSection(Section))
        for (const TKey& k : section->Keys) Strings->Add(k.Name + u'=' + k.Value);
}

void TMemIniFile::EraseSection(const String& Section) {
    for (auto it = FSections.begin(); it != FSections.end(); ++it) {
        if (SameName(it->Name, Section)) {
            FSections.erase(it);
            return;
        }
    }
}

void TMemIniFile::DeleteKey(const String& Section, const String& Ident) {
    TSection* section = FindSection(Section);
    if (section == nullptr) return;
    for (auto it = section->Keys.begin(); it != section->Keys.end(); ++it) {
        if (SameName(it->Name, Ident)) {
            section->Keys.erase(it);
            return;
        }
    }
}

bool TMemIniFile::ValueExists(const String& Section, const String& Ident) {
    TSection* section = FindSection(Section);
    return section != nullptr && FindKey(*section, Ident) != nullptr;
}

String TMemIniFile::TextToWrite() const {
    String text;
    for (const TSection& s : FSections) {
        text += u'[' + s.Name + QStringLiteral("]\r\n");
        for (const TKey& k : s.Keys) text += k.Name + u'=' + k.Value + QStringLiteral("\r\n");
        text += QStringLiteral("\r\n");
    }
    return text;
}

void TMemIniFile::UpdateFile() {
    const TEncoding* encoding = FEncoding != nullptr ? FEncoding : TEncoding::ANSI();
    TBytes bytes = FEncoding != nullptr ? FEncoding->GetPreamble() : TBytes();
    const TBytes body = encoding->GetBytes(TextToWrite());
    bytes.insert(bytes.end(), body.begin(), body.end());
    ReplaceFile(FFileName, bytes);
}

void TMemIniFile::Clear() { FSections.clear(); }

void TMemIniFile::GetStrings(TStrings* List) {
    if (List == nullptr) return;
    List->BeginUpdate();
    List->Clear();
    for (const TSection& s : FSections) {
        List->Add(u'[' + s.Name + u']');
        for (const TKey& k : s.Keys) List->Add(k.Name + u'=' + k.Value);
        List->Add(String());
    }
    List->EndUpdate();
}

void TMemIniFile::SetStrings(TStrings* List) {
    std::vector<String> lines;
    if (List != nullptr)
        for (int i = 0; i < List->Count(); ++i)
            for (const String& line : SplitLines(List->Strings(i))) lines.push_back(line);
    ParseLines(lines);
}

void TMemIniFile::Rename(const String& FileName, bool Reload) {
    FFileName = FileName;
    if (Reload) LoadValues();
}

// ---- TIniFile ---------------------------------------------------------------------------------------

TIniFile::TIniFile(const String& AFileName) : TCustomIniFile(AFileName), FStore(AFileName) {}

TMemIniFile& TIniFile::Fresh() {
    FStore.SetEncoding(nullptr);                // another writer may have changed it
    FStore.Rename(FFileName, true);
    return FStore;
}

String TIniFile::ReadString(const String& Section, const String& Ident, const String& Default) {
    return Fresh().ReadString(Section, Ident, Default);
}

void TIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
    Fresh().WriteString(Section, Ident, Value);
    FStore.UpdateFile();
}

void TIniFile::ReadSection(const String& Section, TStrings* Strings) { Fresh().ReadSection(Section, Strings); }
void TIniFile::ReadSections(TStrings* Strings) { Fresh().ReadSections(Strings); }
void TIniFile::ReadSectionValues(const String& Section, TStrings* Strings) {
    Fresh().ReadSectionValues(Section, Strings);
}

void TIniFile::EraseSection(const String& Section) {
    TMemIniFile& store = Fresh();
    TStringList before, after;
    store.ReadSections(&before);
    store.EraseSection(Section);
    store.ReadSections(&after);
    if (after.Count() != before.Count()) store.UpdateFile();   // a missing section writes nothing
}

void TIniFile::DeleteKey(const String& Section, const String& Ident) {
    TMemIniFile& store = Fresh();
    if (!store.ValueExists(Section, Ident)) return;
    store.DeleteKey(Section, Ident);
    store.UpdateFile();
}

bool TIniFile::ValueExists(const String& Section, const String& Ident) { return Fresh().ValueExists(Section, Ident); }

} // namespace rtl
