// tests/fuzz/TextFuzz.cpp: the run-time library's text readers on arbitrary bytes: a string list's
// Text, CommaText and DelimitedText, LoadFromStream in each encoding, BOM detection, and the INI store
// parsed from lines. What the writers produce must read back to the same list or store.
// fuzz-libs: rtl
#include <QStringList>

#include <cstdint>
#include <cstdlib>

#include "rtl/Classes.h"
#include "rtl/Encoding.h"
#include "rtl/IniFiles.h"
#include "rtl/Streams.h"

namespace {

QStringList Items(const rtl::TStrings& L) {
    QStringList out;
    for (int i = 0; i < L.Count(); ++i) out << L[i];
    return out;
}

rtl::TEncoding* EncodingOf(uint8_t Choice) {
    switch (Choice % 7) {
    case 1:
        return rtl::TEncoding::UTF8();
    case 2:
        return rtl::TEncoding::Unicode();
    case 3:
        return rtl::TEncoding::BigEndianUnicode();
    case 4:
        return rtl::TEncoding::ANSI();
    case 5:
        return rtl::TEncoding::ASCII();
    case 6:
        return rtl::TEncoding::UTF8NoBOM();
    default:
        return nullptr;
    }
}

bool IsBlank(QChar C) { return C.unicode() <= u' '; }

void Delimited(const QString& Text, QChar Delimiter, QChar Quote, bool Strict) {
    rtl::TStringList L;
    L.SetDelimiter(Delimiter.unicode());
    L.SetQuoteChar(Quote.unicode());
    L.SetStrictDelimiter(Strict);
    L.SetDelimitedText(Text);
    const QString written = L.DelimitedText();
    // Only distinct, visible delimiter and quote can tell every item apart again.
    if (Delimiter == Quote || Quote.unicode() == 0 || (!Strict && (IsBlank(Delimiter) || IsBlank(Quote)))) return;
    rtl::TStringList Again;
    Again.SetDelimiter(Delimiter.unicode());
    Again.SetQuoteChar(Quote.unicode());
    Again.SetStrictDelimiter(Strict);
    Again.SetDelimitedText(written);
    if (Items(Again) != Items(L)) std::abort();
}

void Streams(const uint8_t* Data, size_t Size, rtl::TEncoding* Encoding) {
    rtl::TStringList L;
    rtl::TMemoryStream in;
    if (Size) in.WriteBuffer(Data, int64_t(Size));
    in.SetPosition(0);
    L.LoadFromStream(&in, Encoding);
    rtl::TMemoryStream out;
    try {
        L.SaveToStream(&out);
    } catch (const rtl::EEncodingError&) {
        return; // text the kept encoding cannot hold
    }
    // The Unicode encodings hold every text and write a BOM, so the detection finds them again.
    rtl::TEncoding* kept = L.Encoding();
    if (kept != rtl::TEncoding::UTF8() && kept != rtl::TEncoding::Unicode() &&
        kept != rtl::TEncoding::BigEndianUnicode())
        return;
    out.SetPosition(0);
    rtl::TStringList Again;
    Again.LoadFromStream(&out);
    if (Items(Again) != Items(L)) std::abort();
}

void Ini(const QString& Text, bool CaseSensitive) {
    rtl::TStringList Lines;
    Lines.SetText(Text);
    // A name that never exists: the store is filled from the lines only and never written.
    rtl::TMemIniFile ini(QStringLiteral("/nonexistent/fuzz.ini"), nullptr, CaseSensitive);
    ini.SetStrings(&Lines);
    rtl::TStringList sections, keys, values;
    ini.ReadSections(&sections);
    for (int s = 0; s < sections.Count(); ++s) {
        ini.ReadSection(sections[s], &keys);
        ini.ReadSectionValues(sections[s], &values);
        for (int k = 0; k < keys.Count(); ++k) {
            (void)ini.ReadString(sections[s], keys[k], QString());
            (void)ini.ReadInteger(sections[s], keys[k], 0);
            (void)ini.ReadBool(sections[s], keys[k], false);
            (void)ini.ReadFloat(sections[s], keys[k], 0.0);
            (void)ini.ReadDateTime(sections[s], keys[k], 0.0);
        }
    }
    // Written once, the store is in its own form: reading and writing it again changes nothing.
    rtl::TStringList written, rewritten;
    ini.GetStrings(&written);
    rtl::TMemIniFile again(QStringLiteral("/nonexistent/fuzz.ini"), nullptr, CaseSensitive);
    again.SetStrings(&written);
    again.GetStrings(&rewritten);
    if (Items(rewritten) != Items(written)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 4) return 0;
    const uint8_t flags = Data[0];
    const QChar delimiter{char16_t(Data[1])}, quote{char16_t(Data[2])};
    Data += 3;
    Size -= 3;
    const QString Text = QString::fromUtf8(reinterpret_cast<const char*>(Data), qsizetype(Size));

    rtl::TStringList L;
    L.SetText(Text);
    rtl::TStringList Again;
    Again.SetText(L.Text());
    if (Items(Again) != Items(L)) std::abort();

    L.SetCommaText(Text);
    Again.SetCommaText(L.CommaText());
    if (Items(Again) != Items(L)) std::abort();
    for (int i = 0; i < L.Count(); ++i) (void)(L.Names(i) + L.ValueFromIndex(i));

    Delimited(Text, delimiter, quote, flags & 0x80);
    Streams(Data, Size, EncodingOf(flags));

    for (int c = 0; c < 7; ++c) {
        rtl::TEncoding* found = EncodingOf(uint8_t(c));
        const int bom = rtl::TEncoding::GetBufferEncoding(Data, Size, found);
        if (bom < 0 || size_t(bom) > Size || !found) std::abort();
    }
    Ini(Text, flags & 0x40);
    return 0;
}
