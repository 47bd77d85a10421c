// The grid on a real X server with real input (xdotool) and the real clock, as a person uses it: a click
// on a row, a click on a header that sorts, a column dragged to another place, a column edge dragged, a
// row dragged, the wheel; the screen then matches the expected picture. ctest runs this under xvfb-run
// (grid_xvfb); elsewhere, or without xdotool, it skips. TW_UPDATE_EXPECTED=1 writes the picture again.
#include "tests/grid/GridForm.h"
#include "tests/support/windows/ScreenPicture.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

using namespace grid_test;

namespace {

class TXForm : public vcl::TForm {
public:
    explicit TXForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetBorderStyle(vcl::bsNone); // no window manager frame: the picture is the form alone
        SetPosition(vcl::poDesigned);
        SetBounds(40, 40, 320, 200);
        Grid = new TReportGrid(this);
        Grid->SetParent(this);
        Grid->SetBorderStyle(vcl::bsNone);
        Grid->SetOptions({goHeader, goGrid, goSelectFullRow, goMultiSelect, goRowMoving});
        Grid->SetBounds(0, 0, 320, 200);
        EndLoading();
    }
    TReportGrid* Grid;
};

void RunFor(testing_support::FormHarness& h, int Ms, const std::function<bool()>& Done = nullptr) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < Ms && !(Done && Done())) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        h.Pump();
    }
}

} // namespace

TEST(GridXdotool, APersonSortsMovesResizesAndScrolls) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs a real X server; ctest runs it as grid_xvfb under xvfb-run";
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty()) GTEST_SKIP() << "xdotool is missing";
    testing_support::FormHarness h;
    auto* form = h.Show<TXForm>();
    TReportGrid* G = form->Grid;
    FillGrid(G, form, 3, 30);
    for (int r = 0; r < 30; ++r) G->GetCell(1, r)->SetAsString(QString(QChar(u'A' + (r * 7) % 26)));
    TwUseRealClock();
    RunFor(h, 300);
    const auto At = [&](int x, int y) {
        const POINT p = testing_support::HeadlessApp::ToScreen(G->Handle(), POINT{x, y});
        return QStringList{QString::number(p.x), QString::number(p.y)};
    };
    const auto Run = [&](QStringList args) {
        ASSERT_EQ(QProcess::execute(xdotool, args), 0) << args.join(u' ').toStdString();
    };
    // Each gesture waits past the double-click time before the next.
    const auto Click = [&](int x, int y, const QString& button = QStringLiteral("1")) {
        Run(QStringList{QStringLiteral("mousemove")} + At(x, y));
        RunFor(h, 100);
        Run({QStringLiteral("click"), button});
        RunFor(h, 700);
    };
    const auto Drag = [&](int x0, int y0, int x1, int y1) {
        Run(QStringList{QStringLiteral("mousemove")} + At(x0, y0));
        RunFor(h, 100);
        Run({QStringLiteral("mousedown"), QStringLiteral("1")});
        RunFor(h, 100);
        for (int i = 1; i <= 5; ++i) {
            Run(QStringList{QStringLiteral("mousemove")} + At(x0 + (x1 - x0) * i / 5, y0 + (y1 - y0) * i / 5));
            RunFor(h, 60);
        }
        Run({QStringLiteral("mouseup"), QStringLiteral("1")});
        RunFor(h, 700);
    };

    Click(120, 9); // column 1's header: sorted ascending
    ASSERT_TRUE(G->Columns()->Item(1)->Sorted());
    EXPECT_EQ(G->GetCell(1, 0)->AsString(), QStringLiteral("A"));
    Click(40, 18 + 17 * 2 + 8); // row 2
    EXPECT_EQ(G->SelectedRow(), 2);
    Drag(40, 9, 210, 9); // column 0 dragged onto column 2's right half
    EXPECT_EQ(G->Columns()->Item(0)->Position(), 2);
    Drag(80, 9, 110, 9); // the edge between the first two columns shown
    EXPECT_EQ(G->Columns()->PositionItem(0)->Width(), 110);
    const QString Moved = G->GetCell(0, 0)->AsString();
    Drag(60, 18 + 8, 60, 18 + 17 * 3 + 12); // row 0 dropped below row 3
    EXPECT_EQ(G->GetCell(0, 3)->AsString(), Moved);
    Click(150, 100, QStringLiteral("5")); // the wheel, a notch down
    EXPECT_EQ(G->VertScrollBar()->Position(), 1);
    Click(150, 100, QStringLiteral("4"));
    EXPECT_EQ(G->VertScrollBar()->Position(), 0);

    // Away from the grid, so no hover shows in the picture.
    Run({QStringLiteral("mousemove"), QStringLiteral("1000"), QStringLiteral("900")});
    testing_support::ComparePicture(h, form, "tests/grid/expected", "grid-xdotool");
}
