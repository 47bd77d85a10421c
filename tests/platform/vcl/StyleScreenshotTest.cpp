// One form with the standard controls in the classic look and in a dark and a light style, each
// compared with its expected picture. Run with TW_UPDATE_EXPECTED=1 to write the pictures again.
#include "tests/support/windows/FormHarness.h"
#include "vcl/Buttons.h"
#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vcl/StyleFile.h"
#include "vcl/Themes.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vcl;
using testing_support::FormHarness;

namespace {

QString SourceDir() { return qEnvironmentVariable("TW_SOURCE_DIR", QStringLiteral(TW_VCL_TEST_DIR "/../../..")); }

// A borderless form at the desktop's corner that places its controls while loading.
class TPlacingForm : public TForm {
public:
    TPlacingForm(TComponent* AOwner, int Width, int Height) : TForm(AOwner) {
        BeginLoading();
        SetBorderStyle(bsNone);
        SetPosition(poDesigned);
        SetBounds(0, 0, Width, Height);
        SetColor(clBtnFace);
    }
    void Place(TControl* c, int x, int y, int w, int h) {
        c->SetBounds(x, y, w, h);
        c->SetParent(this);
    }
};

class TControlsForm : public TPlacingForm {
public:
    explicit TControlsForm(TComponent* AOwner) : TPlacingForm(AOwner, 260, 180) {
        auto* button = new TButton(this);
        button->SetCaption(QStringLiteral("Button"));
        Place(button, 8, 8, 80, 25);
        auto* check = new TCheckBox(this);
        check->SetCaption(QStringLiteral("Check"));
        check->SetChecked(true);
        Place(check, 100, 8, 80, 20);
        auto* radio = new TRadioButton(this);
        radio->SetCaption(QStringLiteral("Radio"));
        radio->SetChecked(true);
        Place(radio, 180, 8, 70, 20);
        auto* edit = new TEdit(this);
        edit->SetText(QStringLiteral("Edit"));
        edit->SetAutoSize(false); // the height the pictures were drawn with, not the font's
        Place(edit, 8, 40, 120, 22);
        auto* label = new TLabel(this);
        label->SetCaption(QStringLiteral("Label"));
        Place(label, 140, 44, 60, 16);
        auto* group = new TGroupBox(this);
        group->SetCaption(QStringLiteral("Group"));
        Place(group, 8, 70, 120, 60);
        auto* panel = new TPanel(this);
        panel->SetCaption(QStringLiteral("Panel"));
        Place(panel, 140, 70, 110, 60);
        auto* list = new TListBox(this);
        Place(list, 8, 136, 120, 40);
        list->Items()->Add(QStringLiteral("Item"));
        EndLoading();
    }
};

// Registers shipped styles not yet registered (registered styles stay for the process).
void LoadShipped(std::initializer_list<const char*> Names) {
    for (const char* name : Names)
        if (!TStyleManager::Style(QString::fromLatin1(name)))
            TStyleManager::LoadFromFile(SourceDir() + QStringLiteral("/data/styles/%1.vsf").arg(QLatin1String(name)));
}

} // namespace

TEST(StyleScreenshot, ControlsInTheClassicADarkAndALightStyleMatchTheExpectedPictures) {
    LoadShipped({"Carbon", "Luna"});
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

namespace {

// Controls whose faces a custom style draws, each at a known place.
class TFacesForm : public TPlacingForm {
public:
    explicit TFacesForm(TComponent* AOwner) : TPlacingForm(AOwner, 300, 120) {
        auto* button = new TButton(this);
        button->SetCaption(QStringLiteral("B"));
        Place(button, 0, 0, 60, 25);
        auto* check = new TCheckBox(this);
        check->SetCaption(QStringLiteral("C"));
        Place(check, 70, 0, 60, 20);
        auto* edit = new TEdit(this);
        Place(edit, 140, 0, 60, 22);
        auto* combo = new TComboBox(this);
        Place(combo, 210, 0, 80, 22);
        auto* speed = new TSpeedButton(this);
        Place(speed, 0, 40, 60, 25);
        auto* bit = new TBitBtn(this);
        bit->SetCaption(QStringLiteral("Bit"));
        Place(bit, 70, 40, 60, 25);
        Progress = new TProgressBar(this);
        Place(Progress, 140, 40, 100, 20);
        Progress->SetPosition(50);
        EndLoading();
    }
    TProgressBar* Progress = nullptr;
};

} // namespace

TEST(StyleScreenshot, StandardControlsDrawTheirFacesThroughACustomStyle) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("faces.vsf"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("tunewright-style 1\nname Probe Faces\ndark no\n"
            "element teButton 1 * fill #10C010\n"      // push buttons, speed and bitmap buttons
            "element teButton 3 * fill #C010C0\n"      // check boxes
            "element teEdit 1 * fill #1010C0\n"        // the edit's frame
            "element teComboBox 1 * fill #C0C010\n"    // the combo box's button
            "element teProgress 1 * fill #10C0C0\n"    // the progress trough
            "element teProgress 3 * fill #C01010\n");  // its filled part
    f.close();
    if (!TStyleManager::Style(QStringLiteral("Probe Faces"))) TStyleManager::LoadFromFile(file);
    FormHarness h;
    auto* form = h.Show<TFacesForm>();
    const struct {
        const char* what;
        int x, y;
        QRgb styled;
    } probes[] = {
        {"push button", 3, 12, qRgb(0x10, 0xC0, 0x10)}, {"check box", 72, 10, qRgb(0xC0, 0x10, 0xC0)},
        {"edit frame", 141, 11, qRgb(0x10, 0x10, 0xC0)}, {"combo button", 280, 11, qRgb(0xC0, 0xC0, 0x10)},
        {"speed button", 3, 52, qRgb(0x10, 0xC0, 0x10)}, {"bitmap button", 73, 52, qRgb(0x10, 0xC0, 0x10)},
        {"progress filled", 150, 50, qRgb(0xC0, 0x10, 0x10)}, {"progress trough", 230, 50, qRgb(0x10, 0xC0, 0xC0)},
    };
    for (const char* style : {"Probe Faces", "Windows"}) {
        TStyleManager::SetStyle(QString::fromLatin1(style));
        // Visual styles switched on and off again on the way leave the custom style drawing.
        TwSetThemeActive(TRUE);
        TwSetThemeActive(FALSE);
        h.Pump();
        const QImage shot = h.App().Grab(form->Handle()).convertToFormat(QImage::Format_RGB32);
        const bool custom = TStyleManager::IsCustomStyleActive();
        for (const auto& p : probes)
            EXPECT_EQ(shot.pixel(p.x, p.y) == p.styled, custom) << style << ": " << p.what;
    }
}

namespace {

// Switches style twice while it is created and once while it closes, as the main window does.
class TSwitchingForm : public TControlsForm {
public:
    using TControlsForm::TControlsForm;
    void DoCreate() override {
        TStyleManager::SetStyle(QStringLiteral("Auric"));
        TStyleManager::SetStyle(QStringLiteral("Luna"));
        TControlsForm::DoCreate();
    }
    void DoClose(TCloseAction& Action) override {
        TControlsForm::DoClose(Action);
        TStyleManager::TrySetStyle(QStringLiteral("Carbon"), false);
    }
};

} // namespace

TEST(StyleScreenshot, SwitchesWhileAFormIsCreatedAndWhileItClosesReachTheOtherForms) {
    LoadShipped({"Auric", "Carbon", "Luna"});
    FormHarness h;
    auto* other = h.Show<TControlsForm>();
    auto* form = h.Show<TSwitchingForm>();
    EXPECT_EQ(StyleServices()->Name(), QStringLiteral("Luna"));
    auto faceOf = [&](TForm* f) {
        // An empty spot of the form, right of the list box.
        return h.App().Grab(f->Handle()).convertToFormat(QImage::Format_RGB32).pixel(200, 160) & 0xFFFFFF;
    };
    auto rgb = [](TCustomStyleServices* style) {
        const TColor c = style->ColorToRGB(clBtnFace);
        return QRgb(qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF)) & 0xFFFFFF;
    };
    EXPECT_EQ(faceOf(form), rgb(StyleServices()));
    EXPECT_EQ(faceOf(other), rgb(StyleServices()));
    form->Close();
    h.Pump();
    EXPECT_EQ(StyleServices()->Name(), QStringLiteral("Carbon"));
    EXPECT_EQ(faceOf(other), rgb(StyleServices()));
    TStyleManager::SetStyle(TStyleManager::SystemStyle());
}

namespace {

class TProbeButton : public TButton {
public:
    using TButton::TButton;
};

// Counts its paintings and remembers the state it painted.
class TProbeHook : public TButtonStyleHook {
public:
    explicit TProbeHook(TWinControl* AControl) : TButtonStyleHook(AControl) { ++Alive; }
    ~TProbeHook() override { --Alive; }
    static inline int Alive = 0, Drawn = 0;
    static inline bool LastHot = false, LastPressed = false;

protected:
    void DrawButton(TCanvas* Canvas, bool AMouseInControl) override {
        ++Drawn;
        LastHot = AMouseInControl;
        LastPressed = Pressed();
        TButtonStyleHook::DrawButton(Canvas, AMouseInControl);
    }
};

} // namespace

TEST(StyleScreenshot, StyleHookPaintsItsControlOnlyUnderACustomStyleAndGoesWithIt) {
    LoadShipped({"Carbon"});
    TCustomStyleEngine::RegisterStyleHook<TProbeButton, TProbeHook>();
    {
        FormHarness h;
        auto* form = h.Show<TFacesForm>();
        auto* probe = new TProbeButton(form);
        probe->SetCaption(QStringLiteral("Probe"));
        probe->SetBounds(0, 80, 80, 25);
        probe->SetParent(form);
        h.Pump();
        EXPECT_EQ(TProbeHook::Drawn, 0);
        EXPECT_EQ(TProbeHook::Alive, 0);

        TStyleManager::SetStyle(QStringLiteral("Carbon"));
        h.Pump();
        EXPECT_GT(TProbeHook::Drawn, 0);
        EXPECT_EQ(TProbeHook::Alive, 1); // the probe's, none for the other controls
        EXPECT_FALSE(TProbeHook::LastHot);
        h.MoveTo(probe);
        h.Pump();
        EXPECT_TRUE(TProbeHook::LastHot);
        SendMessageW(probe->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        UpdateWindow(probe->Handle());
        EXPECT_TRUE(TProbeHook::LastPressed);
        SendMessageW(probe->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        UpdateWindow(probe->Handle());
        EXPECT_FALSE(TProbeHook::LastPressed);

        TStyleManager::SetStyle(TStyleManager::SystemStyle());
        const int drawn = TProbeHook::Drawn;
        h.Pump();
        EXPECT_EQ(TProbeHook::Drawn, drawn); // the system style leaves the control to itself
        delete probe;
        EXPECT_EQ(TProbeHook::Alive, 0);
    }
    TCustomStyleEngine::UnRegisterStyleHook<TProbeButton, TProbeHook>();
}
