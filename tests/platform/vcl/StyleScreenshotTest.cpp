// One form with the standard controls in the classic look and in a dark and a light style, each
// compared with its expected picture. Run with TW_UPDATE_EXPECTED=1 to write the pictures again.
#include "tests/support/windows/FormHarness.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vcl/Themes.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace vcl;
using testing_support::FormHarness;

namespace {

QString SourceDir() { return qEnvironmentVariable("TW_SOURCE_DIR", QStringLiteral(TW_VCL_TEST_DIR "/../../..")); }

class TControlsForm : public TForm {
public:
    explicit TControlsForm(TComponent* AOwner) : TForm(AOwner) {
        BeginLoading();
        SetBorderStyle(bsNone);
        SetPosition(poDesigned);
        SetBounds(0, 0, 260, 180);
        SetColor(clBtnFace);
        auto place = [this](TControl* c, int x, int y, int w, int h) {
            c->SetBounds(x, y, w, h);
            c->SetParent(this);
        };
        auto* button = new TButton(this);
        button->SetCaption(QStringLiteral("Button"));
        place(button, 8, 8, 80, 25);
        auto* check = new TCheckBox(this);
        check->SetCaption(QStringLiteral("Check"));
        check->SetChecked(true);
        place(check, 100, 8, 80, 20);
        auto* radio = new TRadioButton(this);
        radio->SetCaption(QStringLiteral("Radio"));
        radio->SetChecked(true);
        place(radio, 180, 8, 70, 20);
        auto* edit = new TEdit(this);
        edit->SetText(QStringLiteral("Edit"));
        place(edit, 8, 40, 120, 22);
        auto* label = new TLabel(this);
        label->SetCaption(QStringLiteral("Label"));
        place(label, 140, 44, 60, 16);
        auto* group = new TGroupBox(this);
        group->SetCaption(QStringLiteral("Group"));
        place(group, 8, 70, 120, 60);
        auto* panel = new TPanel(this);
        panel->SetCaption(QStringLiteral("Panel"));
        place(panel, 140, 70, 110, 60);
        auto* list = new TListBox(this);
        place(list, 8, 136, 120, 40);
        list->Items()->Add(QStringLiteral("Item"));
        EndLoading();
    }
};

} // namespace

TEST(StyleScreenshot, ControlsInTheClassicADarkAndALightStyleMatchTheExpectedPictures) {
    const QString dir = SourceDir() + QStringLiteral("/data/styles");
    for (const char* file : {"Carbon.vsf", "Luna.vsf"})
        if (!TStyleManager::Style(QString::fromLatin1(file).chopped(4)))
            TStyleManager::LoadFromFile(dir + u'/' + QLatin1String(file));
    FormHarness h;
    auto* form = h.Show<TControlsForm>();
    for (const char* style : {"Windows", "Carbon", "Luna"}) {
        SCOPED_TRACE(style);
        TStyleManager::SetStyle(QString::fromLatin1(style));
        h.Pump();
        const QImage shot = h.App().Grab(form->Handle()).convertToFormat(QImage::Format_RGB32);
        const QString path =
            SourceDir() + QStringLiteral("/tests/platform/vcl/expected/style-%1.png").arg(QLatin1String(style).toString().toLower());
        if (qEnvironmentVariableIsSet("TW_UPDATE_EXPECTED")) {
            ASSERT_TRUE(shot.save(path, "PNG"));
            continue;
        }
        const QImage expected = QImage(path).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(expected.isNull()) << "missing " << path.toStdString();
        if (shot != expected) {
            const QString saved = h.App().SaveScreenshot(form->Handle(), QStringLiteral("style-%1-actual.png").arg(style));
            ADD_FAILURE() << "differs from " << path.toStdString() << "; saved " << saved.toStdString();
        }
    }
    TStyleManager::SetStyle(TStyleManager::SystemStyle());
}
