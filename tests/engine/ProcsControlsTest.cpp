// The shared caption setter: every control kind takes the text and is drawn with it at once; an action
// takes the hint only when asked. Opening a file goes to the desktop's opener, never a shell.
#include "app/engine/ProcsControls.h"

#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"
#include "tests/support/TempDir.h"
#include "win/shell32/shellapi.h"
#include "tests/support/windows/FormHarness.h"

namespace {

using testing_support::FormHarness;

// Dark pixels in a control's rectangle of its form's backing image, as drawn so far (no pump).
int DarkPixels(FormHarness& H, vcl::TForm* Form, vcl::TControl* Control) {
    const QImage shot = H.App().Grab(Form->Handle());
    QPoint origin(0, 0);
    if (auto* win = dynamic_cast<vcl::TWinControl*>(Control)) {
        POINT p{0, 0};
        MapWindowPoints(win->Handle(), Form->Handle(), &p, 1);
        origin = QPoint(p.x, p.y);
    } else {
        origin = QPoint(Control->Left(), Control->Top());
    }
    int dark = 0;
    for (int y = 0; y < Control->Height(); ++y)
        for (int x = 0; x < Control->Width(); ++x)
            if (qGray(shot.pixel(origin.x() + x, origin.y() + y)) < 100) ++dark;
    return dark;
}

// One control of every kind, made inside the loading bracket as forms build their controls.
class CaptionForm : public vcl::TForm {
public:
    explicit CaptionForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetBounds(0, 0, 400, 300);
        label = Make<vcl::TLabel>(10);
        label->SetAutoSize(false);
        kwpLabel = Make<components::TKwpLabel>(40);
        button = Make<components::TKwpPngButton>(70);
        check = Make<vcl::TCheckBox>(100);
        linkLabel = Make<components::TKwpLinkLabel>(130);
        group = Make<vcl::TGroupBox>(160);
        group->SetHeight(40);
        flatGroup = Make<components::TFlatGroupBox>(205);
        flatGroup->SetHeight(20);
        edit = Make<vcl::TLabeledEdit>(250);
        combo = Make<components::TPlusComboBox>(275);
        combo->SetLeft(200);
        combo->SetWidth(150);
        combo->SetLabelPosition(components::lpLeftCenter);
        EndLoading();
    }
    template <class T> T* Make(int top) {
        T* c = new T(this);
        c->SetBounds(10, top, 300, 24);
        c->SetParent(this);
        return c;
    }
    vcl::TLabel* label;
    components::TKwpLabel* kwpLabel;
    components::TKwpPngButton* button;
    vcl::TCheckBox* check;
    components::TKwpLinkLabel* linkLabel;
    vcl::TGroupBox* group;
    components::TFlatGroupBox* flatGroup;
    vcl::TLabeledEdit* edit;
    components::TPlusComboBox* combo;
};

TEST(SetControlCaption, EveryKindTakesTheTextAndIsRedrawnAtOnce) {
    FormHarness H;
    auto* form = H.Show<CaptionForm>();
    auto* label = form->label;
    auto* kwpLabel = form->kwpLabel;
    auto* button = form->button;
    auto* check = form->check;
    auto* linkLabel = form->linkLabel;
    auto* group = form->group;
    auto* flatGroup = form->flatGroup;
    auto* edit = form->edit;
    auto* combo = form->combo;
    // The combo's label exists once a caption was given; its first one is empty.
    combo->SetLabelCaption(QString());
    H.Pump();

    const QString text = QStringLiteral("WWWWWWWWWWWW");
    struct Kind {
        vcl::TControl* control;
        std::function<void()> set;
    };
    const Kind kinds[] = {
        {label, [&] { engine::SetControlCaption(label, text); }},
        {kwpLabel, [&] { engine::SetControlCaption(kwpLabel, text); }},
        {button, [&] { engine::SetControlCaption(button, text); }},
        {check, [&] { engine::SetControlCaption(check, text); }},
        {linkLabel, [&] { engine::SetControlCaption(linkLabel, text); }},
        {group, [&] { engine::SetControlCaption(group, text); }},
        {flatGroup, [&] { engine::SetControlCaption(flatGroup, text); }},
        {edit->EditLabel(), [&] { engine::SetControlCaption(edit, text); }},
        {combo->Label(), [&] { engine::SetControlCaption(combo, text); }},
    };
    for (const Kind& k : kinds) {
        const int before = DarkPixels(H, form, k.control);
        k.set();
        EXPECT_EQ(k.control->Caption(), text) << k.control->ClassName().toStdString();
        EXPECT_GT(DarkPixels(H, form, k.control), before + 30) << k.control->ClassName().toStdString();
    }
}

TEST(SetControlCaption, AnActionTakesTheHintOnlyWhenAsked) {
    vcl::TAction action(nullptr);
    action.SetHint(QStringLiteral("old hint"));
    engine::SetControlCaption(&action, QStringLiteral("Convert"));
    EXPECT_EQ(action.Caption(), "Convert");
    EXPECT_EQ(action.Hint(), "old hint");
    engine::SetControlCaption(&action, QStringLiteral("Stop"), true);
    EXPECT_EQ(action.Caption(), "Stop");
    EXPECT_EQ(action.Hint(), "Stop");
}

TEST(IsValidGridRow, HoldsFromTheFirstRowToTheLast) {
    grid::TReportGrid grid(nullptr);
    grid.SetRowCount(3);
    ASSERT_EQ(grid.RowCount(), 3);
    EXPECT_FALSE(engine::IsValidGridRow(&grid, -1));
    EXPECT_TRUE(engine::IsValidGridRow(&grid, 0));
    EXPECT_TRUE(engine::IsValidGridRow(&grid, 2));
    EXPECT_FALSE(engine::IsValidGridRow(&grid, 3));
    grid.SetRowCount(0);
    EXPECT_FALSE(engine::IsValidGridRow(&grid, 0));
}

QStringList LaunchedArgs;

BOOL CALLBACK RecordLaunch(const LPCWSTR* argv, int argc, LPCWSTR, BOOL) {
    for (int i = 0; i < argc; ++i) LaunchedArgs << QString::fromUtf16(argv[i]);
    return TRUE;
}

TEST(ShellOpen, HandsTheFileOrAddressToTheDesktopOpenerAsOneArgument) {
    testing_support::TempDir dir;
    const QString file = dir.Write(QStringLiteral("a $b `c` 'd'.txt"), "x");
    const TwLaunchProc old = TwSetShellLauncher(&RecordLaunch);
    LaunchedArgs.clear();
    engine::ShellOpen(file, nullptr);
    EXPECT_EQ(LaunchedArgs, QStringList({"xdg-open", file}));
    LaunchedArgs.clear();
    engine::ShellOpen(QStringLiteral("https://www.tunewright.example/products/tunewright/"), nullptr);
    EXPECT_EQ(LaunchedArgs, QStringList({"xdg-open", "https://www.tunewright.example/products/tunewright/"}));
    TwSetShellLauncher(old);
}

} // namespace
