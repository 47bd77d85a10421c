// tests/fuzz/ProfileFuzz.cpp: an encoder profile file of arbitrary bytes, loaded into the panel and
// read for the profile list. A panel saved and loaded again saves the same file.
// fuzz-libs: engine
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

#include "app/engine/Profiles.h"

namespace {

// The loaders take only file names: the files live in shared memory, so that a run costs no disk I/O.
const QTemporaryDir& Dir() {
    static QTemporaryDir D(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/tw-fuzz-XXXXXX")
                                                                       : QDir::tempPath() + QStringLiteral("/tw-fuzz-XXXXXX"));
    return D;
}

QByteArray Read(const QString& Name) {
    QFile F(Name);
    if (!F.open(QIODevice::ReadOnly)) std::abort();
    return F.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const QString in = Dir().filePath(QStringLiteral("in.ini"));
    const QString first = Dir().filePath(QStringLiteral("first.ini"));
    const QString second = Dir().filePath(QStringLiteral("second.ini"));
    {
        QFile F(in);
        if (!F.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        F.write(reinterpret_cast<const char*>(Data), qint64(Size));
    }
    engine::TProfileList list;
    engine::AP_AddProfile(list, in);

    engine::TEncoderPanel panel;
    engine::LoadProfile(panel, in);
    QFile::remove(first);
    QFile::remove(second);
    engine::SaveProfile(panel, first, QString(), QString());
    engine::TEncoderPanel again;
    engine::LoadProfile(again, first);
    engine::SaveProfile(again, second, QString(), QString());
    if (Read(first) != Read(second)) std::abort();
    return 0;
}
