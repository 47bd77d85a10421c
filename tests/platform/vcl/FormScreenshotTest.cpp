// A form on a real X server: what the screen shows matches the expected picture. The suite runs this
// test a second time under xvfb-run (ctest vcl_xvfb_screenshot); elsewhere it skips. Run it with
// TW_UPDATE_EXPECTED=1 to write the expected picture again.
#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

using namespace vcl;
using testing_support::FormHarness;

namespace {

class TSwatch : public TCustomControl {
public:
    TSwatch(TComponent* AOwner, TColor Fill) : TCustomControl(AOwner), FFill(Fill) {}

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(FFill);
        Canvas()->FillRect(ClientRect());
        Canvas()->Pen()->SetColor(clBlack);
        Canvas()->MoveTo(0, 0);
        Canvas()->LineTo(Width(), Height());
    }

private:
    TColor FFill;
};

class TMark : public TGraphicControl {
public:
    explicit TMark(TComponent* AOwner) : TGraphicControl(AOwner) {}

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->Pen()->SetColor(clMaroon);
        Canvas()->Rectangle(ClientRect());
    }
};

class TPictureForm : public TForm {
public:
    explicit TPictureForm(TComponent* AOwner) : TForm(AOwner) {
        BeginLoading();
        SetBorderStyle(bsNone);  // no window manager frame: the picture is the form alone
        SetPosition(poDesigned);
        SetBounds(40, 40, 240, 160);
        SetColor(clBtnFace);
        auto* header = new TSwatch(this, clNavy);
        header->SetBounds(0, 0, 10, 24);
        header->SetAlign(alTop);
        header->SetParent(this);
        auto* side = new TSwatch(this, clTeal);
        side->SetBounds(0, 0, 60, 10);
        side->SetAlign(alLeft);
        side->SetAlignWithMargins(true);
        side->SetParent(this);
        auto* mark = new TMark(this);
        mark->SetBounds(120, 60, 50, 40);
        mark->SetParent(this);
        EndLoading();
    }
};

QImage ScreenArea(const QRect& r) {
    return QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage().convertToFormat(
        QImage::Format_RGB32);
}

} // namespace

TEST(FormScreenshot, FormOnARealXServerMatchesTheExpectedPicture) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs a real X server; ctest runs it as vcl_xvfb_screenshot under xvfb-run";
    FormHarness h;
    auto* form = h.Show<TPictureForm>();
    const QRect area(form->Left(), form->Top(), form->Width(), form->Height());
    const QImage model = h.App().Grab(form->Handle()).convertToFormat(QImage::Format_RGB32);
    // The X server shows the picture once the presentation has been exposed and has drawn.
    QImage shot;
    QElapsedTimer waited;
    waited.start();
    do {
        h.Pump();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        shot = ScreenArea(area);
    } while (shot != model && waited.elapsed() < 5000);

    const QString expectedPath = qEnvironmentVariable("TW_SOURCE_DIR", QStringLiteral(TW_VCL_TEST_DIR "/../../..")) +
                                 QStringLiteral("/tests/platform/vcl/expected/form-xvfb.png");
    if (qEnvironmentVariableIsSet("TW_UPDATE_EXPECTED")) {
        ASSERT_TRUE(shot.save(expectedPath, "PNG"));
        GTEST_SKIP() << "wrote " << expectedPath.toStdString();
    }
    const QImage expected = QImage(expectedPath).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << "missing " << expectedPath.toStdString();
    if (shot != expected) {
        const QString saved = h.App().SaveScreenshot(form->Handle(), QStringLiteral("form-xvfb-model.png"));
        shot.save(QFileInfo(saved).dir().filePath(QStringLiteral("form-xvfb-actual.png")));
        ADD_FAILURE() << "the screen differs from " << expectedPath.toStdString() << "; saved beside " << saved.toStdString();
    }
    EXPECT_EQ(model, expected) << "the window's own picture differs too";
}
