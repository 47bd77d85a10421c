// tests/toolbars/BarPopupScreenshotTest.cpp: a popup menu with an image, a check, a radio item, a
// separator, a shortcut, a submenu arrow and a disabled item: the window's own picture matches the
// expected one, and on a real X server (ctest toolbars_xvfb_screenshot, under xvfb-run) so does the
// screen. Run with TW_UPDATE_EXPECTED=1 to write the expected picture again.
#include "tests/toolbars/MenuFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

using namespace bars_test;

namespace {

QString ExpectedPath() {
    return qEnvironmentVariable("TW_SOURCE_DIR", QStringLiteral(".")) +
           QStringLiteral("/tests/toolbars/expected/popup-menu.png");
}

TEST(PopupScreenshot, APopupMenuLooksAsExpectedInTheModelAndOnTheScreen) {
    if (qEnvironmentVariableIsEmpty("TW_SOURCE_DIR")) GTEST_SKIP() << "TW_SOURCE_DIR is not set (ctest sets it)";
    MenuFixture f;
    f.menu->Items()->Clear();
    auto* images = new vcl::TImageList(f.form, 16, 16);
    vcl::TBitmap glyph;
    glyph.SetSize(16, 16);
    glyph.Canvas()->Brush()->SetColor(vcl::clTeal);
    glyph.Canvas()->FillRect(TRect(0, 0, 16, 16));
    glyph.Canvas()->Brush()->SetColor(vcl::clYellow);
    glyph.Canvas()->FillRect(TRect(4, 4, 12, 12));
    images->Add(&glyph, nullptr);
    f.menu->SetImages(images);
    auto* open = f.Add(u"&Open\tCtrl+O", f.menu->Items());
    open->SetImageIndex(0);
    f.Add(u"&Wrap lines", f.menu->Items())->SetChecked(true);
    auto* radio = f.Add(u"&Large", f.menu->Items());
    radio->SetRadioItem(true);
    radio->SetChecked(true);
    f.menu->Items()->Add(new TBarSeparatorItem(f.form));
    auto* recent = f.Add(u"&Recent", f.menu->Items());
    recent->AddStyle(tbisSubmenu);
    f.Add(u"x", recent);
    f.Add(u"&Disabled", f.menu->Items())->SetEnabled(false);
    std::unique_ptr<TBarPopupWindow> popup(
        f.menu->Items()->CreatePopup(nullptr, nullptr, false, false, false, TPoint(60, 60), tbpaLeft));
    f.h.Pump();
    TwFlushPainting();
    const QImage model = f.h.App().Grab(popup->Handle()).convertToFormat(QImage::Format_RGB32);
    const QString expectedPath = ExpectedPath();
    if (qEnvironmentVariableIsSet("TW_UPDATE_EXPECTED")) {
        QDir().mkpath(QFileInfo(expectedPath).path());
        ASSERT_TRUE(model.save(expectedPath, "PNG"));
        GTEST_SKIP() << "wrote " << expectedPath.toStdString();
    }
    const QImage expected = QImage(expectedPath).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << "missing " << expectedPath.toStdString();
    if (model != expected)
        ADD_FAILURE() << "the popup differs from " << expectedPath.toStdString() << "; saved as "
                      << f.h.App().SaveScreenshot(popup->Handle(), QStringLiteral("popup-menu-model.png")).toStdString();
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    // The X server shows the picture once the presentation has been exposed and has drawn.
    const QRect area(popup->Left(), popup->Top(), popup->Width(), popup->Height());
    QImage shot;
    QElapsedTimer waited;
    waited.start();
    do {
        f.h.Pump();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        shot = QGuiApplication::primaryScreen()
                   ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                   .toImage()
                   .convertToFormat(QImage::Format_RGB32);
    } while (shot != expected && waited.elapsed() < 5000);
    EXPECT_TRUE(shot == expected) << "the screen differs from " << expectedPath.toStdString();
}

} // namespace
