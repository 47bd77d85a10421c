// tests/toolbars/ToolbarScreenshotTest.cpp: the model's half of the bar pictures the bar demo checks on
// a real X server (toolbars_xdotool_bar): the floating toolbar on two lines in its frame, and the docked
// toolbar with its chevron popup opened by a click, composed from the windows' own pictures on black
// (the X server's root between them) and compared with the same committed pictures. Under xvfb-run
// (ctest toolbars_xvfb_screenshot) the screen is compared too.
#include "tests/support/windows/FormHarness.h"
#include "tests/toolbars/bardemo/BarScene.h"
#include "toolbars/BarAnim.h"
#include "toolbars/BarPopup.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

using namespace bars;

namespace {

// The windows' own pictures, each at its place on screen, within Area (screen coordinates).
QImage Compose(testing_support::FormHarness& H, const TRect& Area, std::initializer_list<vcl::TWinControl*> Windows) {
    QImage model(Area.Width(), Area.Height(), QImage::Format_RGB32);
    model.fill(Qt::black);
    QPainter p(&model);
    for (vcl::TWinControl* w : Windows) p.drawImage(w->Left() - Area.Left, w->Top() - Area.Top, H.App().Grab(w->Handle()));
    return model;
}

// Compares the model with the committed picture, and on an X server the screen too.
void ComparePicture(testing_support::FormHarness& H, const QImage& Model, const TRect& Area, const char* Name) {
    const QString file = QString::fromLatin1(Name);
    const QString expectedPath = qEnvironmentVariable("TW_SOURCE_DIR", QStringLiteral(TW_TOOLBARS_TEST_DIR "/../..")) +
                                 QStringLiteral("/tests/toolbars/expected/") + file + QStringLiteral(".png");
    const bool onX = QGuiApplication::platformName() == QLatin1String("xcb");
    if (qEnvironmentVariableIsSet("TW_UPDATE_EXPECTED") && !onX) {
        ASSERT_TRUE(Model.save(expectedPath, "PNG"));
        return;
    }
    const QImage expected = QImage(expectedPath).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << "missing " << expectedPath.toStdString();
    // Differences go where the harness saves its screenshots.
    const QString folder = qEnvironmentVariable("TW_SCREENSHOT_DIR", QDir::currentPath() + QStringLiteral("/screenshots"));
    QDir().mkpath(folder);
    if (Model != expected) {
        Model.save(QDir(folder).filePath(file + QStringLiteral("-model.png")));
        ADD_FAILURE() << "the model differs from " << expectedPath.toStdString() << "; saved in " << folder.toStdString();
    }
    if (!onX) return;
    QImage shot;
    QElapsedTimer waited;
    waited.start();
    do {
        H.Pump();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        shot = QGuiApplication::primaryScreen()
                   ->grabWindow(0, Area.Left, Area.Top, Area.Width(), Area.Height())
                   .toImage()
                   .convertToFormat(QImage::Format_RGB32);
    } while (shot != expected && waited.elapsed() < 5000);
    if (shot != expected) {
        shot.save(QDir(folder).filePath(file + QStringLiteral("-actual.png")));
        ADD_FAILURE() << "the screen differs from " << expectedPath.toStdString() << "; saved in " << folder.toStdString();
    }
}

void Escape() {
    TwInputKey(VK_ESCAPE, TRUE, FALSE, nullptr, FALSE);
    TwInputKey(VK_ESCAPE, FALSE, FALSE, nullptr, FALSE);
}

TEST(ToolbarScreenshot, FloatingToolbarOnTwoLinesAndTheChevronPopupMatchTheExpectedPictures) {
    testing_support::FormHarness h;
    auto* form = h.Create<TBarSceneForm>();
    std::vector<std::string> clicks;
    form->OnCommand = [&](TBarCustomItem* Item) { clicks.push_back(Item->Caption().toStdString()); };
    form->Show();
    h.Pump();
    TwInputActivate(form->Handle());
    form->PlaceFloatingOnTwoLines();
    h.Pump();
    TwFlushPainting();
    TBarFloatingWindowParent* frame = form->Floating->FloatParent();
    ASSERT_NE(frame, nullptr);
    const TRect frameArea(frame->Left(), frame->Top(), frame->Left() + frame->Width(), frame->Top() + frame->Height());
    ComparePicture(h, Compose(h, frameArea, {frame}), frameArea, "floating-toolbar");

    // A click on the chevron opens its popup of the hidden buttons, pictured while open.
    const TRect r = form->Tools->View()->Find(form->Tools->ChevronItem())->BoundsRect();
    POINT c{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(form->Tools->Handle(), &c);
    bool pictured = false;
    h.WhenIdle([&] {
        EndPopupAnimation();  // as the demo's picture, taken after the slide has ended
        h.Pump();
        TwFlushPainting();
        for (TBarPopupWindow* w : PopupWindows())
            if (IsWindowVisible(w->Handle())) {
                const TRect area = TBarSceneForm::ChevronPictureArea();
                ComparePicture(h, Compose(h, area, {form, w}), area, "toolbar-chevron");
                pictured = true;
            }
        Escape();  // closes the popup
    });
    h.WhenIdle(Escape);  // leaves the toolbar
    TwInputMouseMove(c.x, c.y);
    TwInputMouseButton(c.x, c.y, TW_BUTTON_LEFT, TRUE);
    TwInputMouseButton(c.x, c.y, TW_BUTTON_LEFT, FALSE);
    h.Pump();
    EXPECT_TRUE(pictured) << "no chevron popup opened";
    EXPECT_TRUE(clicks.empty());
}

} // namespace
