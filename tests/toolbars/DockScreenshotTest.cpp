// tests/toolbars/DockScreenshotTest.cpp: a form with a two-row top dock and a floating bar in its
// frame, in the window model and on a real X server, against the expected picture. The suite runs this
// test a second time under xvfb-run (ctest toolbars_xvfb_screenshot); elsewhere only the model is
// compared. Run it with TW_UPDATE_EXPECTED=1 under xvfb-run to write the expected picture again.
#include "tests/toolbars/DockFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

using namespace bars_test;

namespace {

// A bar that shows its client area in a colour of its own.
class TColouredBar : public TFixedBar {
public:
    TColouredBar(rtl::TComponent* AOwner, int W, int H, vcl::TColor Fill) : TFixedBar(AOwner, W, H), FFill(Fill) {}

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(FFill);
        Canvas()->FillRect(ClientRect());
    }

private:
    vcl::TColor FFill;
};

class TDockForm : public vcl::TForm {
public:
    TBarDock* Dock = nullptr;
    TColouredBar* Floating = nullptr;
    explicit TDockForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        SetBorderStyle(vcl::bsNone);  // no window manager frame: the picture is the form alone
        SetPosition(vcl::poDesigned);
        SetBounds(40, 40, 260, 120);
        Dock = new TBarDock(this);
        Dock->SetBoundLines({blBottom});
        Dock->SetParent(this);
        auto bar = [this](int w, int row, int pos, vcl::TColor fill) {
            auto* b = new TColouredBar(this, w, 18, fill);
            b->SetDockRow(row);
            b->SetDockPos(pos);
            b->SetParent(Dock);
            return b;
        };
        bar(60, 0, 0, vcl::clTeal)->SetFullSize(true);
        bar(60, 1, 0, vcl::clNavy)->SetDragHandleStyle(dhSingle);
        auto* dbl = bar(70, 1, 90, vcl::clMaroon);
        dbl->SetDragHandleStyle(dhDouble);
        auto* closable = bar(40, 1, 180, vcl::clOlive);
        closable->SetCloseButtonWhenDocked(true);
        Floating = bar(90, 2, 0, vcl::clPurple);
        Floating->SetCaption(u"Tools"_qs);
    }
};

QImage ScreenArea(const QRect& r) {
    return QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage().convertToFormat(
        QImage::Format_RGB32);
}

} // namespace

TEST(DockScreenshot, DockAndFloatingFrameMatchTheExpectedPicture) {
    testing_support::FormHarness h;
    auto* form = h.Create<TDockForm>();
    form->Show();
    h.Pump();
    TwInputActivate(form->Handle());
    form->Floating->SetFloatingPosition(TPoint(320, 40));
    form->Floating->SetFloating(true);
    h.Pump();
    TBarFloatingWindowParent* frame = form->Floating->FloatParent();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(IsWindowVisible(frame->Handle()));
    EXPECT_EQ(form->Dock->Height(), 2 * 22 + 1);

    // The model: both windows on black, where the X server's root shows between them.
    const QRect area(40, 40, 320 + frame->Width() - 40, std::max(form->Height(), frame->Height()));
    QImage model(area.size(), QImage::Format_RGB32);
    model.fill(Qt::black);
    {
        QPainter p(&model);
        p.drawImage(form->Left() - area.x(), form->Top() - area.y(), h.App().Grab(form->Handle()));
        p.drawImage(frame->Left() - area.x(), frame->Top() - area.y(), h.App().Grab(frame->Handle()));
    }
    const QString expectedPath = qEnvironmentVariable("TW_SOURCE_DIR", QStringLiteral(TW_TOOLBARS_TEST_DIR "/../..")) +
                                 QStringLiteral("/tests/toolbars/expected/dock-and-frame.png");
    const bool onX = QGuiApplication::platformName() == QLatin1String("xcb");
    QImage shot;
    if (onX) {
        QElapsedTimer waited;
        waited.start();
        do {
            h.Pump();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            shot = ScreenArea(area);
        } while (shot != model && waited.elapsed() < 5000);
        if (qEnvironmentVariableIsSet("TW_UPDATE_EXPECTED")) {
            ASSERT_TRUE(shot.save(expectedPath, "PNG"));
            GTEST_SKIP() << "wrote " << expectedPath.toStdString();
        }
    }
    const QImage expected = QImage(expectedPath).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << "missing " << expectedPath.toStdString();
    if (model != expected) {
        const QString saved = h.App().SaveScreenshot(form->Handle(), QStringLiteral("dock-form-model.png"));
        model.save(QFileInfo(saved).dir().filePath(QStringLiteral("dock-and-frame-model.png")));
        ADD_FAILURE() << "the model differs from " << expectedPath.toStdString() << "; saved beside " << saved.toStdString();
    }
    if (onX && shot != expected) {
        const QString saved = h.App().SaveScreenshot(form->Handle(), QStringLiteral("dock-form-model.png"));
        shot.save(QFileInfo(saved).dir().filePath(QStringLiteral("dock-and-frame-actual.png")));
        ADD_FAILURE() << "the screen differs from " << expectedPath.toStdString();
    }
}
