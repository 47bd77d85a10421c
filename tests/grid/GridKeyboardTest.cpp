// The grid used with the keyboard alone, on a form with a button before it and an edit box after it:
// headless with injected keys, and on a real X server with real keys from xdotool, ending with the
// picture compared with tests/grid/expected (TW_UPDATE_EXPECTED=1 writes it instead). On the X server
// the search's timing is also tried with the real clock: keys 100 ms apart go on searching, 800 ms
// apart each starts a new search.
#include "tests/grid/EditGrid.h"
#include "tests/support/windows/ScreenPicture.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

using namespace grid_test;

namespace {

using testing_support::OnXServer;

class TKeyboardForm : public vcl::TForm {
public:
    explicit TKeyboardForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetBorderStyle(vcl::bsNone); // the picture is the form alone
        SetPosition(vcl::poDesigned);
        SetBounds(40, 40, 440, 300);
        Button = new vcl::TButton(this);
        Button->SetBounds(8, 8, 75, 25);
        Button->SetCaption(QStringLiteral("Start"));
        Button->SetParent(this);
        Grid = new TReportGrid(this);
        Grid->SetParent(this);
        Grid->SetBounds(8, 40, 424, 220);
        Grid->SetOptions({goHeader, goGrid, goSelectFullRow, goMultiSelect, goInput});
        Grid->SetAppearanceOptions({aoIndicateSelectedCell});
        Other = new vcl::TEdit(this);
        Other->SetBounds(8, 268, 150, 22);
        Other->SetParent(this);
        EndLoading();
        const char* Names[] = {"Name", "Note", "On", "Tree"};
        TRgCustomColumn* Made[] = {new TRgTextColumn(this), new TRgTextColumn(this), new TRgCheckBoxColumn(this),
                                   new TRgTreeColumn(this)};
        for (int c = 0; c < 4; ++c) {
            Made[c]->Header()->SetCaption(QString::fromLatin1(Names[c]));
            Made[c]->SetWidth(c < 2 ? 130 : 70);
            Grid->Columns()->AddColumn(Made[c]);
        }
        Made[0]->SetOptions(Made[0]->Options() + TColumnOptions{coSearchColumn});
        Made[1]->SetEditing(true);
        const char* Rows[] = {"alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "abacus", "hotel",
                              "india", "juliett", "kilo", "lima", "mike", "november", "oscar"};
        Grid->AddRow(16);
        for (int r = 0; r < 16; ++r) Grid->GetCell(0, r)->SetAsString(QString::fromLatin1(Rows[r]));
        Grid->AddChildRow(2, crLast); // "charlie" has a child, row 3
        Grid->GetCell(0, 3)->SetAsString(QStringLiteral("child"));
        Grid->SetSelectedRow(0);
    }
    vcl::TButton* Button;
    TReportGrid* Grid;
    vcl::TEdit* Other;
};

// A person's keys: injected into the window system, or real X key events from xdotool.
struct Person {
    testing_support::FormHarness& Harness;
    QString Xdotool; // empty: headless

    void RunFor(int Ms) {
        QElapsedTimer T;
        T.start();
        do {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            Harness.Pump();
        } while (T.elapsed() < Ms);
    }
    // Silence long enough to end a search.
    void Pause(int Ms) {
        if (Xdotool.isEmpty())
            Harness.Advance(std::chrono::milliseconds(Ms));
        else
            RunFor(Ms);
    }
    // The program keeps handling its messages while xdotool types, so each key arrives at its own time.
    void Xdo(const QStringList& Args) {
        QProcess Tool;
        Tool.start(Xdotool, Args);
        ASSERT_TRUE(Tool.waitForStarted()) << Args.join(u' ').toStdString();
        QElapsedTimer T;
        T.start();
        // The pump runs Qt's events too, which is where the end of the tool is noticed.
        while (Tool.state() != QProcess::NotRunning && T.elapsed() < 20000) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            Harness.Pump();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        ASSERT_EQ(Tool.state(), QProcess::NotRunning) << Args.join(u' ').toStdString();
        ASSERT_EQ(Tool.exitCode(), 0) << Args.join(u' ').toStdString();
        RunFor(150);
    }
    void Key(UINT Vk, const char* XName, std::vector<UINT> Modifiers = {}) {
        if (!Xdotool.isEmpty()) return Xdo({QStringLiteral("key"), QString::fromLatin1(XName)});
        for (UINT M : Modifiers) TwInputKey(M, TRUE, FALSE, nullptr, FALSE);
        Harness.Pump();
        Harness.Keys(Vk);
        for (UINT M : Modifiers) TwInputKey(M, FALSE, FALSE, nullptr, FALSE);
        Harness.Pump();
    }
    void Type(const QString& Text, int DelayMs = 100) {
        if (!Xdotool.isEmpty())
            return Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QString::number(DelayMs), Text});
        for (QChar c : Text) {
            const QChar Up = c.toUpper();
            const UINT Vk = Up >= QLatin1Char('A') && Up <= QLatin1Char('Z') ? Up.unicode()
                            : c == QLatin1Char(' ')                          ? UINT(VK_SPACE)
                                                                             : UINT(VK_OEM_PLUS);
            const char16_t S[2] = {c.unicode(), 0};
            TwInputKey(Vk, TRUE, FALSE, S, FALSE);
            TwInputKey(Vk, FALSE, FALSE, nullptr, FALSE);
            Harness.Pump();
        }
    }
};

std::vector<int> SelectedRows(TReportGrid* G) {
    std::vector<int> Out;
    for (int r = 0; r < G->RowCount(); ++r)
        if (G->Selected(r)) Out.push_back(r);
    return Out;
}

// The whole walk; each step checked as it happens.
void Walk(Person& P, TKeyboardForm* F) {
    TReportGrid* G = F->Grid;
    F->Button->SetFocus();
    P.Harness.Pump();
    P.Key(VK_TAB, "Tab");
    ASSERT_TRUE(G->Focused()) << "Tab did not reach the grid";
    P.Key(VK_DOWN, "Down");
    P.Key(VK_DOWN, "Down");
    EXPECT_EQ(G->SelectedRow(), 2);
    P.Key(VK_NEXT, "Next");
    EXPECT_GT(G->SelectedRow(), 2);
    P.Key(VK_END, "End");
    EXPECT_EQ(G->SelectedRow(), 16);
    EXPECT_GT(G->VertScrollBar()->Position(), 0);
    P.Key(VK_HOME, "Home");
    EXPECT_EQ(G->SelectedRow(), 0);
    // The check box of row 0, then the tree row "charlie".
    P.Key(VK_RIGHT, "Right");
    P.Key(VK_RIGHT, "Right");
    ASSERT_EQ(G->SelectedColumn(), 2);
    P.Type(QStringLiteral(" "));
    EXPECT_TRUE(G->GetCell(2, 0)->AsBoolean());
    P.Key(VK_RIGHT, "Right");
    P.Key(VK_DOWN, "Down");
    P.Key(VK_DOWN, "Down");
    ASSERT_EQ(G->SelectedRow(), 2);
    const bool Expanded = G->Expanded(2);
    P.Type(QStringLiteral("+"));
    EXPECT_NE(G->Expanded(2), Expanded);
    // Typing edits the note; Enter writes it, Esc on the next edit writes nothing.
    P.Key(VK_LEFT, "Left");
    P.Key(VK_LEFT, "Left");
    ASSERT_EQ(G->SelectedColumn(), 1);
    P.Type(QStringLiteral("hi"));
    ASSERT_TRUE(G->Editing());
    P.Key(VK_RETURN, "Return");
    EXPECT_FALSE(G->Editing());
    EXPECT_EQ(G->GetCells(1, 2), QStringLiteral("hi"));
    P.Type(QStringLiteral("zz"));
    P.Key(VK_ESCAPE, "Escape");
    EXPECT_FALSE(G->Editing());
    EXPECT_EQ(G->GetCells(1, 2), QStringLiteral("hi"));
    // Up from the first row: the input row, where Enter adds a row.
    P.Key(VK_HOME, "Home");
    P.Key(VK_UP, "Up");
    ASSERT_TRUE(G->InputSelected());
    P.Type(QStringLiteral("new"));
    P.Key(VK_RETURN, "Return");
    ASSERT_EQ(G->RowCount(), 18);
    EXPECT_EQ(G->GetCells(1, 17), QStringLiteral("new"));
    P.Key(VK_ESCAPE, "Escape");
    P.Key(VK_DOWN, "Down");
    EXPECT_FALSE(G->InputSelected());
    // Ctrl+A selects every row.
    P.Key('A', "ctrl+a", {VK_CONTROL});
    EXPECT_EQ(SelectedRows(G).size(), 18u);
    // "ab" in the name column (not editable) finds "abacus", row 8.
    P.Key(VK_LEFT, "Left");
    ASSERT_EQ(G->SelectedColumn(), 0);
    P.Pause(800); // the space and the "+" above were searched for too
    P.Type(QStringLiteral("ab"));
    EXPECT_EQ(G->SelectedRow(), 8);
    EXPECT_EQ(SelectedRows(G), std::vector<int>{8});
    P.Key(VK_TAB, "Tab");
    EXPECT_TRUE(F->Other->Focused());
}

// Starts the X run: the real clock, the pointer over the form (the keyboard goes where it is).
QString StartX(testing_support::FormHarness& H, TKeyboardForm* F) {
    const QString Xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (Xdotool.isEmpty()) return Xdotool;
    TwUseRealClock();
    const POINT At = testing_support::HeadlessApp::ToScreen(F->Handle(), POINT{200, 4});
    QProcess::execute(Xdotool, {QStringLiteral("mousemove"), QString::number(At.x), QString::number(At.y)});
    Person{H, Xdotool}.RunFor(300);
    return Xdotool;
}

} // namespace

TEST(GridKeyboardOnly, HeadlessInjectedKeys) {
    if (OnXServer()) GTEST_SKIP() << "the headless run";
    testing_support::FormHarness H;
    auto* F = H.Show<TKeyboardForm>();
    Person P{H, QString()};
    Walk(P, F);
}

TEST(GridXdotool, TheWholeWalkWithRealKeysEndsInTheExpectedPicture) {
    if (!OnXServer()) GTEST_SKIP() << "needs a real X server (the Xvfb run)";
    testing_support::FormHarness H;
    auto* F = H.Show<TKeyboardForm>();
    const QString Xdotool = StartX(H, F);
    if (Xdotool.isEmpty()) GTEST_SKIP() << "xdotool is missing";
    Person P{H, Xdotool};
    Walk(P, F);
    testing_support::ComparePicture(H, F, "tests/grid/expected", "keyboard-walk");
}

TEST(GridXdotool, KeysCloseTogetherSearchOnAndAPauseStartsANewSearch) {
    if (!OnXServer()) GTEST_SKIP() << "needs a real X server (the Xvfb run)";
    testing_support::FormHarness H;
    auto* F = H.Show<TKeyboardForm>();
    const QString Xdotool = StartX(H, F);
    if (Xdotool.isEmpty()) GTEST_SKIP() << "xdotool is missing";
    Person P{H, Xdotool};
    F->Grid->SetFocus();
    P.RunFor(100);
    P.Type(QStringLiteral("ab"), 100);
    EXPECT_EQ(F->Grid->SelectedRow(), 8); // "abacus"
    P.RunFor(800);
    P.Type(QStringLiteral("a"));
    EXPECT_EQ(F->Grid->SelectedRow(), 0); // "alpha", round to the top
    P.RunFor(800);
    P.Type(QStringLiteral("b"));
    EXPECT_EQ(F->Grid->SelectedRow(), 1); // a new search: "bravo"
}
