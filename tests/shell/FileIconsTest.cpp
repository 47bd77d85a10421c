// The file list's icon cache: keys by extension in any case, a failed lookup stays failed for the
// extension, and pictures added by hand (the chapter rows') are never asked of the shell.
#include "app/shell/FileIcons.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <QIcon>
#include <QImage>

#include "tests/support/TempDir.h"
#include "tests/support/windows/HeadlessApp.h"
#include "vcl/Graphics.h"
#include "vcl/ImgList.h"

namespace {

using shell::TFileIcons;
using testing_support::TempDir;

// A one-colour 16x16 icon.
std::unique_ptr<vcl::TIcon> SolidIcon(vcl::TColor Color) {
    vcl::TImageList source(nullptr, 16, 16);
    vcl::TBitmap bitmap;
    bitmap.SetSize(16, 16);
    bitmap.Canvas()->Brush()->SetColor(Color);
    bitmap.Canvas()->FillRect(vcl::TRect(0, 0, 16, 16));
    source.Add(&bitmap, nullptr);
    auto icon = std::make_unique<vcl::TIcon>();
    source.GetIcon(0, icon.get());
    return icon;
}

// An icon theme of its own for the shell to find the video icon in, whatever the machine has.
class IconTheme {
public:
    explicit IconTheme(const TempDir& Dir) : FPaths(QIcon::themeSearchPaths()), FName(QIcon::themeName()) {
        std::filesystem::create_directories(Dir.File("theme/tw-test/16x16/mimetypes"));
        Dir.Write(QStringLiteral("theme/tw-test/index.theme"),
                  "[Icon Theme]\nName=tw-test\nDirectories=16x16/mimetypes\n\n"
                  "[16x16/mimetypes]\nSize=16\nType=Fixed\n");
        QImage picture(16, 16, QImage::Format_ARGB32);
        picture.fill(Qt::green);
        for (const char* name : {"video-webm", "video-x-generic", "audio-x-wav", "audio-x-generic"})
            picture.save(Dir.QFile(QStringLiteral("theme/tw-test/16x16/mimetypes/%1.png").arg(QLatin1String(name))));
        QIcon::setThemeSearchPaths({Dir.QFile(QStringLiteral("theme"))});
        QIcon::setThemeName(QStringLiteral("tw-test"));
    }
    ~IconTheme() {
        QIcon::setThemeSearchPaths(FPaths);
        QIcon::setThemeName(FName);
    }

private:
    QStringList FPaths;
    QString FName;
};

TEST(FileIcons, AddedPicturesAreKeyedByTheNormalisedExtension) {
    vcl::TImageList list(nullptr, 16, 16);
    TFileIcons icons(&list);
    auto red = SolidIcon(vcl::clRed), blue = SolidIcon(vcl::clBlue);
    EXPECT_EQ(icons.AddIcon(QStringLiteral(".CHAPTER"), red.get()), 0);
    EXPECT_EQ(icons.AddIcon(QStringLiteral(" chapter "), blue.get()), 0) << "the same key keeps its first picture";
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(icons.AddIcon(QStringLiteral(".txt"), nullptr), -1);
    EXPECT_EQ(list.Count(), 1);
    // Known without asking the shell: the file does not exist.
    EXPECT_EQ(icons.GetFileIconIndex(QStringLiteral("/nowhere/part 1.chapter")), 0);
}

TEST(FileIcons, TheShellIsAskedOncePerExtension) {
    testing_support::HeadlessApp app; // icons are drawn through the GUI
    TempDir dir;
    vcl::TImageList list(nullptr, 16, 16);
    TFileIcons icons(&list);
    IconTheme theme(dir);
    // A file that is missing makes its extension fail for the rest of the run, even once it exists.
    const QString late = dir.QFile(QStringLiteral("late.wav"));
    EXPECT_EQ(icons.GetFileIconIndex(late), -1);
    dir.Write(QStringLiteral("late.wav"), QByteArray("RIFF"));
    EXPECT_EQ(icons.GetFileIconIndex(late), -1);
    EXPECT_EQ(icons.GetFileIconIndex(dir.QFile(QStringLiteral("other.WAV"))), -1);
    EXPECT_EQ(list.Count(), 0);

    const QString lower = dir.Write(QStringLiteral("a.webm"), QByteArray("\x1A\x45\xDF\xA3", 4));
    const QString upper = dir.Write(QStringLiteral("b.WEBM"), QByteArray("\x1A\x45\xDF\xA3", 4));
    const int first = icons.GetFileIconIndex(lower);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(icons.GetFileIconIndex(upper), first);
    EXPECT_EQ(list.Count(), 1);
}

} // namespace
