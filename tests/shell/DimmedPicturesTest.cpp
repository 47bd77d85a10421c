// The toolbar's own pictures and their dimmed copies for dark styles: index for index the same picture,
// every pixel's colour kept and its alpha scaled to 191/256, and each copy a PNG another reader accepts.
#include <QProcess>
#include <QStandardPaths>

#include <cmath>

#include "components/PngImageList.h"
#include "tests/shell/ScreenPicture.h"
#include "tests/shell/ShellWindows.h"

namespace {

// The main window made over a program folder that holds the pictures the build made.
class DimmedPictures : public shell_test::ShellWindows {
protected:
    void SetUp() override {
        shell_test::CopyBuiltIcons(Program.QPath());
        if (!IsSkipped()) ShellWindows::SetUp();
    }
};

TEST_F(DimmedPictures, EachToolbarPictureHasItsDimmedCopyPixelForPixel) {
    if (!Main) GTEST_SKIP() << "built without the icon theme";
    components::TPngImageList* light = Main->pilMain_Light;
    components::TPngImageList* dark = Main->pilMain_Dark;
    ASSERT_GE(light->Count(), 10); // the bars' set (18 pictures), not a stand-in
    ASSERT_EQ(dark->Count(), light->Count());
    QStringList files;
    int translucent = 0;
    for (int i = 0; i < light->Count(); ++i) {
        vcl::TPngImage* l = light->PngImages()->GetItem(i)->PngImage();
        vcl::TPngImage* d = dark->PngImages()->GetItem(i)->PngImage();
        ASSERT_EQ(d->Width(), l->Width()) << i;
        ASSERT_EQ(d->Height(), l->Height()) << i;
        int wrong = 0;
        for (int y = 0; y < l->Height(); ++y)
            for (int x = 0; x < l->Width(); ++x) {
                const int a = l->AlphaScanline(y)[x];
                if (d->AlphaScanline(y)[x] != int(std::nearbyint(a * 191.0 / 256))) ++wrong;
                if (a > 0 && d->Pixels(x, y) != l->Pixels(x, y)) ++wrong;
                if (a > 0 && a < 255) ++translucent;
            }
        EXPECT_EQ(wrong, 0) << "picture " << i;
        files << Dir.QFile(QStringLiteral("dimmed-%1.png").arg(i));
        d->SaveToFile(files.back());
    }
    EXPECT_GT(translucent, 0); // the pictures' soft edges were compared too
    const QString pngcheck = QStandardPaths::findExecutable(QStringLiteral("pngcheck"));
    if (pngcheck.isEmpty()) GTEST_SKIP() << "pngcheck is not installed";
    QProcess check;
    check.start(pngcheck, QStringList{QStringLiteral("-q")} + files);
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
}

} // namespace
