// tests/support/TempDir.h: a temporary folder that a test owns and that is removed with it.
#pragma once
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

private:
    std::filesystem::path FPath;
};

} // namespace testing_support
