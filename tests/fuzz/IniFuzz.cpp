// tests/fuzz/IniFuzz.cpp: the INI reader on arbitrary bytes: loading, typed reads, line and compressed
// lists, and saving. A saved file must load back to the same store.
// fuzz-libs: base
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

#include "base/MemIniFile.h"

namespace {

// The loaders take only file names: the files live in shared memory, so that a run costs no disk I/O.
const QTemporaryDir& Dir() {
    static QTemporaryDir D(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/tw-fuzz-XXXXXX")
                                                                       : QDir::tempPath() + QStringLiteral("/tw-fuzz-XXXXXX"));
    return D;
}

void Write(const QString& Name, const uint8_t* Data, size_t Size) {
    QFile F(Name);
    if (!F.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    F.write(reinterpret_cast<const char*>(Data), qint64(Size));
}

QStringList Dump(base::TKwpMemIniFile& Ini, const QStringList& Sections) {
    QStringList Out;
    for (const QString& S : Sections) {
        rtl::TStringList Keys;
        Ini.ReadSection(S, &Keys);
        for (int i = 0; i < Keys.Count(); ++i)
            Out << S + u'\x1f' + Keys[i] + u'\x1f' + Ini.ReadString(S, Keys[i], QString());
    }
    return Out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const QString Name = Dir().filePath(QStringLiteral("in.ini"));
    const QString Saved = Dir().filePath(QStringLiteral("saved.ini"));
    Write(Name, Data, Size);

    base::TKwpMemIniFile Ini(Name);
    // Section names come from the input: every "[...]" line, as the loader would see it.
    QStringList Sections;
    for (const QByteArray& Line :
         QByteArray(reinterpret_cast<const char*>(Data), qsizetype(Size)).split('\n')) {
        const QString L = QString::fromLatin1(Line).trimmed();
        if (L.startsWith(u'[') && L.endsWith(u']')) Sections << L.mid(1, L.size() - 2).trimmed();
    }
    for (const QString& S : Sections) {
        rtl::TStringList Items;
        Ini.ReadStrings(S, &Items, false);
        try {
            Ini.ReadStrings(S, &Items, true);
        } catch (const rtl::EZDecompressionError&) {
            if (Items.Count() != 0) std::abort();
        }
        Ini.ReadInteger(S, QStringLiteral("Width"), 0);
        Ini.ReadBool(S, QStringLiteral("Flag"), false);
    }

    QFile::remove(Saved);
    QFile::copy(Name, Saved);
    {
        base::TKwpMemIniFile Out(Saved);
        const QStringList Before = Dump(Out, Sections);
        Out.UpdateFile();
        base::TKwpMemIniFile Back(Saved, Out.Encoding());
        if (Dump(Back, Sections) != Before) std::abort();
    }
    return 0;
}
