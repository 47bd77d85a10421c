// tests/fuzz/PeFuzz.cpp: the executable-header reader and the version API on arbitrary files, read
// both whole and through the large-file path; both must agree.
// fuzz-libs: base tw_kernel32
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/PeFile.h"
#include "base/VersionInfo.h"

namespace {

const QString& FileName() {
    static QTemporaryDir D(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/tw-fuzz-XXXXXX")
                                                                       : QDir::tempPath() + QStringLiteral("/tw-fuzz-XXXXXX"));
    static const QString Name = D.path() + QStringLiteral("/pe.bin");
    return Name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    {
        QFile F(FileName());
        if (!F.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        F.write(reinterpret_cast<const char*>(Data), qint64(Size));
    }
    base::TPeFile A, B;
    A.SetFileName(FileName());
    A.ReadFileInfo();
    B.SetFileName(FileName());
    B.SetMaxMemoryStreamSize(0);
    B.ReadFileInfo();
    if (A.FIsValidPeFile != B.FIsValidPeFile || A.FInfoStr != B.FInfoStr || A.FSectionNames != B.FSectionNames ||
        A.FUpxVersion != B.FUpxVersion)
        std::abort();
    if (A.FIsValidPeFile && A.SectionCount() > A.FFileHeader.NumberOfSections) std::abort();

    base::TKwVersionInfo V;
    V.SetFileName(FileName());
    (void)V.ProductVersion();
    (void)V.FileDescription();
    (void)V.CharSet();
    return 0;
}
