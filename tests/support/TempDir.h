// tests/support/TempDir.h: a temporary folder that a test owns and that is removed with it.
#pragma once
#include <QByteArray>
#include <QString>
#include <filesystem>

namespace testing_support {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    QString QPath() const { return QString::fromStdString(FPath.string()); }
    // A path inside the folder (not created).
    std::filesystem::path File(const std::string& Name) const { return FPath / Name; }
    QString QFile(const QString& Name) const { return QPath() + u'/' + Name; }
    // Writes a file of the given bytes inside the folder and returns its path.
    QString Write(const QString& Name, const QByteArray& Bytes) const;

private:
    std::filesystem::path FPath;
};

// Creates or replaces a file with exactly these bytes; throws std::runtime_error naming the path on failure.
void WriteFileBytes(const QString& Path, const QByteArray& Bytes);
// The whole file; throws std::runtime_error naming the path when it cannot be read.
QByteArray ReadFileBytes(const QString& Path);

} // namespace testing_support
