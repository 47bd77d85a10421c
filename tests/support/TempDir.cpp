#include "tests/support/TempDir.h"

#include <QFile>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace testing_support {

TempDir::TempDir() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tunewright-test.XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed for " + pattern);
    FPath = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(FPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ec);
    std::filesystem::remove_all(FPath, ec);
}

QString TempDir::Write(const QString& Name, const QByteArray& Bytes) const {
    const QString path = QFile(Name);
    WriteFileBytes(path, Bytes);
    return path;
}

void WriteFileBytes(const QString& Path, const QByteArray& Bytes) {
    ::QFile file(Path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(Bytes) != Bytes.size() ||
        !file.flush())
        throw std::runtime_error("cannot write " + Path.toStdString() + ": " +
                                 file.errorString().toStdString());
}

QByteArray ReadFileBytes(const QString& Path) {
    ::QFile file(Path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + Path.toStdString() + ": " +
                                 file.errorString().toStdString());
    return file.readAll();
}

} // namespace testing_support
