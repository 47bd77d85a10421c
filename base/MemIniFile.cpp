// base/MemIniFile.cpp
#include "base/MemIniFile.h"

#include <QHash>
#include <zlib.h>

#include "base/Strings.h"
#include "rtl/SysUtils.h"

namespace base {

// The run-time library's store with hashed lookups: settings files and profiles are read and written
// key by key, and a linear search per call would make that quadratic in the number of keys.
class TKwpMemIniFile::TStore : public rtl::TMemIniFile {
public:
    TStore(const String& AFileName, rtl::TEncoding* AEncoding) : rtl::TMemIniFile(AFileName, AEncoding) {}

    void SetCase(bool Value) {
        SetCaseSensitive(Value);
        FIndexed = false;
    }

    String ReadString(const String& Section, const String& Ident, const String& Default) override {
        const TKey* Key = Lookup(Section, Ident);
        return Key ? Key->Value : Default;
    }

    void WriteString(const String& Section, const String& Ident, const String& Value) override {
        Index();
        int S = SectionIndex(Section);
        if (S < 0) {
            FSections.push_back(TSection{Section, {}});
            S = int(FSections.size() - 1);
            FSectionIndex.insert(Fold(Section), S);
            FKeyIndex.emplace_back();
        }
        TSection& Sec = FSections[size_t(S)];
        const String K = Fold(Ident);
        const auto It = FKeyIndex[size_t(S)].constFind(K);
        if (It != FKeyIndex[size_t(S)].cend()) {
            Sec.Keys[size_t(*It)].Value = Value;
            return;
        }
        Sec.Keys.push_back(TKey{Ident, Value});
        FKeyIndex[size_t(S)].insert(K, int(Sec.Keys.size() - 1));
    }

    bool ValueExists(const String& Section, const String& Ident) override { return Lookup(Section, Ident); }

    bool SectionExists(const String& Section) override {
        Index();
        const int S = SectionIndex(Section);
        return S >= 0 && !FSections[size_t(S)].Keys.empty();
    }

    void EraseSection(const String& Section) override {
        rtl::TMemIniFile::EraseSection(Section);
        FIndexed = false;
    }

    void DeleteKey(const String& Section, const String& Ident) override {
        rtl::TMemIniFile::DeleteKey(Section, Ident);
        FIndexed = false;
    }

private:
    String Fold(const String& Name) const { return CaseSensitive() ? Name : Name.toCaseFolded(); }

    // The first section and the first key of each name win, as the plain store's search finds them:
    // walking backwards, the earlier entry overwrites the later one.
    void Index() {
        if (FIndexed) return;
        FSectionIndex.clear();
        FKeyIndex.assign(FSections.size(), {});
        for (size_t S = FSections.size(); S-- > 0;) {
            FSectionIndex.insert(Fold(FSections[S].Name), int(S));
            auto& Keys = FKeyIndex[S];
            for (size_t K = FSections[S].Keys.size(); K-- > 0;)
                Keys.insert(Fold(FSections[S].Keys[K].Name), int(K));
        }
        FIndexed = true;
    }

    int SectionIndex(const String& Section) const { return FSectionIndex.value(Fold(Section), -1); }

    const TKey* Lookup(const String& Section, const String& Ident) {
        Index();
        const int S = SectionIndex(Section);
        if (S < 0) return nullptr;
        const int K = FKeyIndex[size_t(S)].value(Fold(Ident), -1);
        return K < 0 ? nullptr : &FSections[size_t(S)].Keys[size_t(K)];
    }

    bool FIndexed = false;
    QHash<String, int> FSectionIndex;
    std::vector<QHash<String, int>> FKeyIndex;
};

TKwpMemIniFile::TKwpMemIniFile(const String& AFileName) : TKwpMemIniFile(AFileName, nullptr) {}

TKwpMemIniFile::TKwpMemIniFile(const String& AFileName, rtl::TEncoding* AEncoding)
    : TKwpMemIniFile(AFileName, AEncoding, false) {}

TKwpMemIniFile::TKwpMemIniFile(const String& AFileName, rtl::TEncoding* AEncoding, bool AUpdateOnExit)
    : FIni(std::make_unique<TStore>(AFileName, AEncoding)), FUpdateOnExit(AUpdateOnExit),
      FLeftStringBound(QStringLiteral("[")), FRightStringBound(QStringLiteral("]")), FFileName(AFileName) {
    (void)FDateSeparator;
    (void)FTimeSeparator;
    (void)FDateToTimeSeparator;
}

TKwpMemIniFile::~TKwpMemIniFile() {
    if (!FUpdateOnExit) return;
    try {
        UpdateFile();
    } catch (...) {
    }
}

void TKwpMemIniFile::UpdateFile() {
    FIni->UpdateFile();
}

String TKwpMemIniFile::CurrentSection() {
    if (rtl::Trim(FCurrentSection).isEmpty()) FCurrentSection = QStringLiteral("MAIN");
    return FCurrentSection;
}

bool TKwpMemIniFile::CaseSensitive() const {
    return FIni->CaseSensitive();
}

void TKwpMemIniFile::SetCaseSensitive(bool Value) {
    if (Value != FIni->CaseSensitive()) FIni->SetCase(Value);
}

rtl::TEncoding* TKwpMemIniFile::Encoding() const {
    return FIni->Encoding();
}

void TKwpMemIniFile::SetEncoding(rtl::TEncoding* Value) {
    FIni->SetEncoding(Value);
}

void TKwpMemIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
    FIni->WriteString(Section, Ident, Value);
}
void TKwpMemIniFile::WriteString(const String& Ident, const String& Value) {
    WriteString(CurrentSection(), Ident, Value);
}

String TKwpMemIniFile::ReadString(const String& Section, const String& Ident, const String& Default) {
    return FIni->ReadString(Section, Ident, Default);
}
String TKwpMemIniFile::ReadString(const String& Ident, const String& Default) {
    return ReadString(CurrentSection(), Ident, Default);
}

void TKwpMemIniFile::WriteBool(const String& Section, const String& Ident, bool Value) {
    FIni->WriteBool(Section, Ident, Value);
}
void TKwpMemIniFile::WriteBool(const String& Ident, bool Value) {
    WriteBool(CurrentSection(), Ident, Value);
}

bool TKwpMemIniFile::ReadBool(const String& Section, const String& Ident, bool Default) {
    return FIni->ReadBool(Section, Ident, Default);
}
bool TKwpMemIniFile::ReadBool(const String& Ident, bool Default) {
    return ReadBool(CurrentSection(), Ident, Default);
}

void TKwpMemIniFile::WriteInteger(const String& Section, const String& Ident, int Value) {
    FIni->WriteInteger(Section, Ident, Value);
}
void TKwpMemIniFile::WriteInteger(const String& Ident, int Value) {
    WriteInteger(CurrentSection(), Ident, Value);
}

int TKwpMemIniFile::ReadInteger(const String& Section, const String& Ident, int Default) {
    return FIni->ReadInteger(Section, Ident, Default);
}
int TKwpMemIniFile::ReadInteger(const String& Ident, int Default) {
    return ReadInteger(CurrentSection(), Ident, Default);
}

bool TKwpMemIniFile::ValueExists(const String& Section, const String& Ident) {
    return FIni->ValueExists(Section, Ident);
}

void TKwpMemIniFile::ReadSection(const String& Section, rtl::TStrings* Strings) {
    FIni->ReadSection(Section, Strings);
}

void TKwpMemIniFile::ReadSectionKeyNames(const String& Section, rtl::TStrings* Strings) {
    ReadSection(Section, Strings);
}

void TKwpMemIniFile::WriteBoundString(const String& Section, const String& Ident, const String& Value) {
    WriteString(Section, Ident, FLeftStringBound + Value + FRightStringBound);
}

namespace {

constexpr int CompressedChunk = 64;
// Far beyond any list the program stores; a hostile file cannot make us inflate without bound.
constexpr size_t MaxInflatedSize = size_t(256) << 20;

QByteArray Deflate(const rtl::TBytes& Data) {
    uLongf Size = compressBound(uLong(Data.size()));
    QByteArray Out(qsizetype(Size), Qt::Uninitialized);
    const int Rc = compress2(reinterpret_cast<Bytef*>(Out.data()), &Size, Data.data(), uLong(Data.size()),
                             Z_DEFAULT_COMPRESSION);
    if (Rc != Z_OK) throw rtl::EZCompressionError(Rc, QString::fromLatin1(zError(Rc)));
    Out.resize(qsizetype(Size));
    return Out;
}

rtl::TBytes Inflate(const rtl::TBytes& Data) {
    z_stream Z{};
    if (const int Rc = inflateInit(&Z); Rc != Z_OK) throw rtl::EZDecompressionError(Rc, QStringLiteral("Insufficient memory"));
    rtl::TBytes Out;
    Z.next_in = const_cast<Bytef*>(Data.data());
    Z.avail_in = uInt(Data.size());
    int Rc = Z_OK;
    uint8_t Buffer[16384];
    while (Rc != Z_STREAM_END) {
        Z.next_out = Buffer;
        Z.avail_out = sizeof(Buffer);
        Rc = inflate(&Z, Z_NO_FLUSH);
        const size_t Got = sizeof(Buffer) - Z.avail_out;
        if (Rc != Z_OK && Rc != Z_STREAM_END) {
            // Z_BUF_ERROR here means the input ended before the stream did.
            const String Message = QString::fromLatin1(Rc == Z_BUF_ERROR ? "Buffer error" : zError(Rc));
            inflateEnd(&Z);
            throw rtl::EZDecompressionError(Rc, Message);
        }
        if (Out.size() + Got > MaxInflatedSize) {
            inflateEnd(&Z);
            throw rtl::EZDecompressionError(Z_BUF_ERROR, QStringLiteral("Buffer error"));
        }
        Out.insert(Out.end(), Buffer, Buffer + Got);
    }
    inflateEnd(&Z);
    return Out;
}

} // namespace

void TKwpMemIniFile::WriteStrings(const String& Section, rtl::TStrings* Items, int MaxItemsCount,
                                  bool Compress) {
    if (FIni->SectionExists(Section)) FIni->EraseSection(Section);
    if (!Items) return;
    if (!Compress) {
        // A limit of 0 or less writes every item.
        const int Count = MaxItemsCount >= 1 ? std::min(MaxItemsCount, Items->Count()) : Items->Count();
        for (int i = 0; i < Count; ++i)
            WriteBoundString(Section, QStringLiteral("Line_") + PadLeftText(QString::number(i + 1), 3, u'0'),
                             Items->Strings(i));
        return;
    }
    String Text;
    for (int i = 0; i < Items->Count(); ++i) Text += Items->Strings(i) + QStringLiteral("\r\n");
    const QByteArray Packed = Deflate(rtl::TEncoding::ANSI()->GetBytes(Text));
    for (qsizetype At = 0, K = 1; At < Packed.size(); At += CompressedChunk, ++K)
        WriteString(Section, QStringLiteral("CBUF_") + PadLeftText(QString::number(K), 3, u'0'),
                    QString::fromLatin1(Packed.mid(At, CompressedChunk).toHex().toUpper()));
}

void TKwpMemIniFile::ReadStrings(const String& Section, rtl::TStrings* Items, bool ItemsCompressed) {
    if (!Items || !FIni->SectionExists(Section)) return;
    rtl::TStringList Lines;
    FIni->ReadSectionValues(Section, &Lines);
    if (!ItemsCompressed) {
        Items->BeginUpdate();
        Items->Clear();
        for (int i = 0; i < Lines.Count(); ++i) {
            const String Line = Lines[i];
            Items->Add(StripBounds(Line.mid(Line.indexOf(u'=') + 1), FLeftStringBound, FRightStringBound));
        }
        Items->EndUpdate();
        return;
    }

    String Hex;
    for (int i = 0; i < Lines.Count(); ++i) {
        const String Line = Lines[i];
        if (Line.startsWith(QStringLiteral("CBUF_"))) Hex += Line.mid(Line.indexOf(u'=') + 1);
    }
    Items->Clear();
    if (Hex.isEmpty()) return;
    rtl::TBytes Packed;
    Packed.reserve(size_t(Hex.size() / 2));
    for (qsizetype i = 0; i + 1 < Hex.size(); i += 2) {
        int Byte = 0;
        if (!rtl::TryStrToInt(u'$' + Hex.mid(i, 2), Byte) || Byte < 0 || Byte > 255) {
            Items->Clear();
            return;
        }
        Packed.push_back(uint8_t(Byte));
    }
    Items->SetText(rtl::TEncoding::ANSI()->GetString(Inflate(Packed)));
}

} // namespace base
