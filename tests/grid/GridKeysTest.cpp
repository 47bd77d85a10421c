// The grid from the keyboard: the navigation keys against the selection and the scroll position, Enter,
// the plays' keys, the incremental search on the manual clock, the dialog codes, the hints, the focus
// events, the mouse leaving and font changes; and a run that uses no mouse at all.
#include "tests/grid/EditGrid.h"

using namespace grid_test;
using vcl::TPoint;

namespace {

// A grid of 30 rows (ten in view) whose column 1 is not editable.
struct TKeyTest : TEditTest {
    explicit TKeyTest(int Rows = 30) : TEditTest(Rows) { Col(1)->SetEditing(false); }
    void Start(int Row, int Position) {
        Grid->SetSelectedRow(Row);
        if (Position < 0)
            Grid->VertScrollBar()->Last();
        else
            Grid->VertScrollBar()->SetPosition(Position);
        Harness.Pump();
    }
    int Position() { return Grid->VertScrollBar()->Position(); }
    int LastPosition() { return Grid->VertScrollBar()->Max() - Grid->VertScrollBar()->PageSize() + 1; }
};

struct NavCase {
    const char* name;
    TGridOptions extra;
    TAppearanceOptions appearance;
    int row, position;           // the start (position -1: the last page)
    std::vector<int> ctrlRows;   // then Ctrl-selected
    UINT key;
    std::vector<UINT> modifiers;
    int wantRow, wantPosition;   // -1: the last page
    std::vector<int> wantSelected; // empty: only the current row
    int wantColumn = 0;
    bool wantHorzScroll = false; // the columns are made wider than the grid
};

std::ostream& operator<<(std::ostream& os, const NavCase& c) { return os << c.name; }

class NavigationKeys : public ::testing::TestWithParam<NavCase> {};

std::vector<int> Range(int From, int To) {
    std::vector<int> Out;
    for (int r = From; r <= To; ++r) Out.push_back(r);
    return Out;
}

} // namespace

TEST_P(NavigationKeys, MoveTheSelectionAndTheView) {
    const NavCase& c = GetParam();
    TKeyTest t;
    if (c.wantHorzScroll || c.appearance.Contains(aoIndicateSelectedCell))
        for (int i = 0; i < 3; ++i) t.Col(i)->SetWidth(150); // wider than the grid: a horizontal bar
    t.Grid->SetOptions(t.Grid->Options() + c.extra);
    t.Grid->SetAppearanceOptions(t.Grid->AppearanceOptions() + c.appearance);
    t.Start(c.row, c.position);
    for (int r : c.ctrlRows) t.Grid->SelectCell(0, r, {vcl::ssCtrl}, true, false);
    t.Grid->SetSelectedColumn(1);
    t.Tap(c.key, c.modifiers);
    EXPECT_EQ(t.Grid->SelectedRow(), c.wantRow);
    EXPECT_EQ(t.Position(), c.wantPosition < 0 ? t.LastPosition() : c.wantPosition);
    EXPECT_EQ(t.SelectedRows(), c.wantSelected.empty() ? std::vector<int>{c.wantRow} : c.wantSelected);
    EXPECT_EQ(t.Grid->SelectedColumn(), c.wantColumn == 0 ? 1 : c.wantColumn);
    EXPECT_EQ(t.Grid->HorzPosition() > 0, c.wantHorzScroll);
}

INSTANTIATE_TEST_SUITE_P(Cases, NavigationKeys, ::testing::Values(
    NavCase{"PgDnOnTheLastPageDoesNothing", {}, {}, 25, -1, {}, VK_NEXT, {}, 25, -1, {}},
    NavCase{"PgDnGoesToTheFoot", {}, {}, 0, 0, {}, VK_NEXT, {}, 9, 0, {}},
    NavCase{"PgDnFromTheFootTurnsThePage", {}, {}, 9, 0, {}, VK_NEXT, {}, 19, 10, {}},
    NavCase{"PgUpOnTheFirstPageSelectsTheFirstRow", {}, {}, 5, 0, {}, VK_PRIOR, {}, 0, 0, {}},
    NavCase{"PgUpGoesToTheHead", {}, {}, 15, 10, {}, VK_PRIOR, {}, 10, 10, {}},
    NavCase{"EndLeavesOnlyTheLastRow", {}, {}, 2, 0, {4}, VK_END, {}, 29, -1, {}},
    NavCase{"ShiftEndSelectsFromTheAnchor", {}, {}, 3, 0, {}, VK_END, {VK_SHIFT}, 29, -1, Range(3, 29)},
    NavCase{"HomeLeavesOnlyTheFirstRow", {}, {}, 12, 5, {}, VK_HOME, {}, 0, 0, {}},
    NavCase{"ShiftHomeSelectsFromTheAnchor", {}, {}, 5, 0, {}, VK_HOME, {VK_SHIFT}, 0, 0, Range(0, 5)},
    NavCase{"DownMoves", {}, {}, 5, 0, {}, VK_DOWN, {}, 6, 0, {}},
    NavCase{"DisabledKeysDoNothing", {goDisableKeys}, {}, 5, 0, {}, VK_DOWN, {}, 5, 0, {}},
    NavCase{"RightScrollsInFullRowMode", {}, {}, 5, 0, {}, VK_RIGHT, {}, 5, 0, {}, 1, true},
    NavCase{"RightMovesTheCellWhenItShows", {}, {aoIndicateSelectedCell}, 5, 0, {}, VK_RIGHT, {}, 5, 0, {}, 2, true},
    NavCase{"CtrlASelectsAll", {}, {}, 5, 0, {}, 'A', {VK_CONTROL}, 5, 0, Range(0, 29)}));

TEST(GridKeys, CtrlASelectsAllOnlyInFullRowMultiSelection) {
    for (TGridOptions Options : {TGridOptions{goSelectFullRow}, TGridOptions{goMultiSelect}}) {
        TKeyTest t(5);
        t.Grid->SetOptions(Options + TGridOptions{goHeader});
        t.Grid->SetSelectedRow(2);
        t.Tap('A', {VK_CONTROL});
        EXPECT_LE(t.SelectedRows().size(), 1u);
    }
}

TEST(GridKeys, EnterMovesByTheDirectionOnlyWithWantReturns) {
    struct Case {
        bool want;
        TSelectionMoveDirection direction;
        int row, column;
    };
    for (const Case& c : {Case{false, mdDown, 2, 1}, Case{true, mdDown, 3, 1}, Case{true, mdUp, 1, 1},
                          Case{true, mdRight, 2, 2}, Case{true, mdNone, 2, 1}}) {
        TKeyTest t(5);
        t.Grid->SetAppearanceOptions({aoIndicateSelectedCell});
        t.Grid->SetWantReturns(c.want);
        t.Grid->SetSelectionMoveDirection(c.direction);
        t.Grid->SetSelectedRow(2);
        t.Grid->SetSelectedColumn(1);
        rtl::Char Seen = u'?';
        t.Grid->OnKeyPress = [&](TObject*, rtl::Char& Key) { Seen = Key; };
        t.Tap(VK_RETURN);
        EXPECT_EQ(Seen, u'\r');
        EXPECT_EQ(t.Grid->SelectedRow(), c.row) << int(c.direction) << c.want;
        EXPECT_EQ(t.Grid->SelectedColumn(), c.column) << int(c.direction) << c.want;
    }
}

TEST(GridKeys, UpFromTheFirstRowReachesTheInputRowAndDownComesBackToIt) {
    TKeyTest t(5);
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goInput});
    t.Grid->SetSelectedRow(0);
    t.Tap(VK_UP);
    EXPECT_TRUE(t.Grid->InputSelected());
    t.Tap(VK_DOWN);
    EXPECT_FALSE(t.Grid->InputSelected());
    EXPECT_EQ(t.Grid->SelectedRow(), 0); // the row below the input row, not the one after it
    EXPECT_EQ(t.SelectedRows(), std::vector<int>{0});
}

TEST(GridKeys, DownFromTheInputRowBringsTheFirstRowIntoView) {
    TKeyTest t; // more rows than fit
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goInput});
    t.Start(12, 10);
    t.Grid->SetInputSelected(true);
    t.Tap(VK_DOWN);
    EXPECT_FALSE(t.Grid->InputSelected());
    EXPECT_EQ(t.Grid->SelectedRow(), 0);
    EXPECT_EQ(t.Position(), 0);
}

// ---- the plays ------------------------------------------------------------------------------------------

TEST(GridKeys, SpaceTogglesACheckBoxAndPlusAndMinusToggleATreeRow) {
    TKeyTest t(3);
    auto* Check = new TRgCheckBoxColumn(t.Form);
    t.Grid->Columns()->AddColumn(Check);
    t.Grid->SetSelectedRow(1);
    t.Grid->SetSelectedColumn(3);
    t.Type(QStringLiteral(" "));
    EXPECT_TRUE(t.Grid->GetCell(3, 1)->AsBoolean());
    EXPECT_FALSE(t.Grid->GetCell(3, 0)->AsBoolean());
    t.Type(QStringLiteral(" "));
    EXPECT_FALSE(t.Grid->GetCell(3, 1)->AsBoolean());
    // A refusal of OnBeforeEdit keeps the box as it is.
    t.RefuseBefore = true;
    t.Type(QStringLiteral(" "));
    EXPECT_FALSE(t.Grid->GetCell(3, 1)->AsBoolean());
    t.RefuseBefore = false;

    auto* Tree = new TRgTreeColumn(t.Form);
    t.Grid->Columns()->AddColumn(Tree);
    t.Grid->AddChildRow(1, crLast);
    t.Grid->SetSelectedRow(1);
    t.Grid->SetSelectedColumn(4);
    const bool Before = t.Grid->Expanded(1);
    t.Type(QStringLiteral("+"));
    EXPECT_NE(t.Grid->Expanded(1), Before);
    t.Type(QStringLiteral("-"));
    EXPECT_EQ(t.Grid->Expanded(1), Before);
}

// ---- the search -----------------------------------------------------------------------------------------

TEST(GridKeys, TypedCharactersSearchTheSearchColumnUntil700msOfSilence) {
    TKeyTest t(5);
    const char* Texts[] = {"abz", "ac", "x", "x", "AA"};
    for (int r = 0; r < 5; ++r) t.Grid->GetCell(1, r)->SetAsString(QString::fromLatin1(Texts[r]));
    t.Col(1)->SetOptions(t.Col(1)->Options() + TColumnOptions{coSearchColumn});
    t.Grid->SetSelectedRow(3);
    t.Type(QStringLiteral("a"));
    EXPECT_EQ(t.Grid->SelectedRow(), 4); // the next row after the current one, case ignored
    t.Type(QStringLiteral("b"));
    EXPECT_EQ(t.Grid->SelectedRow(), 0); // "ab": round to the top
    t.Harness.Advance(std::chrono::milliseconds(600));
    EXPECT_EQ(t.Grid->SearchBuffer(), QStringLiteral("ab"));
    t.Type(QStringLiteral("z")); // each key gives the search another 700 ms
    EXPECT_EQ(t.Grid->SelectedRow(), 0);
    t.Harness.Advance(std::chrono::milliseconds(600));
    EXPECT_EQ(t.Grid->SearchBuffer(), QStringLiteral("abz"));
    t.Harness.Advance(std::chrono::milliseconds(200));
    EXPECT_TRUE(t.Grid->SearchBuffer().isEmpty());
    t.Type(QStringLiteral("x"));
    EXPECT_EQ(t.Grid->SelectedRow(), 2);
    // Hidden rows are passed over.
    t.Harness.Advance(std::chrono::milliseconds(800));
    t.Grid->SetRowVisible(4, false);
    t.Type(QStringLiteral("a"));
    EXPECT_EQ(t.Grid->SelectedRow(), 0);
    EXPECT_FALSE(t.Grid->SearchNext(1, QStringLiteral("aa"), true));
}

// The search passes over rows by what it learnt of the column's texts: every later write, row move
// and row kind must still be seen.
TEST(GridKeys, SearchSeesTextsAndRowsChangedBetweenSteps) {
    TKeyTest t(4);
    const char* Texts[] = {"b", "c", "d", "\xC3\xA9lan"};
    for (int r = 0; r < 4; ++r) t.Grid->SetCells(1, r, QString::fromUtf8(Texts[r]));
    const auto Find = [&](const QString& Prefix) {
        return t.Grid->SearchNext(1, Prefix, true) ? t.Grid->SelectedRow() : -1;
    };
    EXPECT_EQ(Find(QString::fromUtf8("\xC3\x89")), 3); // case ignored beyond ASCII
    EXPECT_EQ(Find(QStringLiteral("x")), -1);
    TCell* Held = t.Grid->GetCell(1, 2);
    t.Grid->GetCell(1, 0); // the store's current cell is now another one
    Held->SetAsString(QStringLiteral("Xa"));
    EXPECT_EQ(Find(QStringLiteral("x")), 2);
    t.Grid->MoveRow(2, 0);
    EXPECT_EQ(Find(QStringLiteral("xa")), 0);
    t.Grid->DeleteRow(0);
    EXPECT_EQ(Find(QStringLiteral("x")), -1);
    // A number cell keeps a number, not its text.
    t.Grid->Columns()->AddColumn(new TRgNumberColumn(t.Form));
    t.Grid->GetCell(3, 1)->SetAsInteger(7);
    EXPECT_TRUE(t.Grid->SearchNext(3, QStringLiteral("7"), true));
    EXPECT_EQ(t.Grid->SelectedRow(), 1);
}

// ---- the dialog codes -----------------------------------------------------------------------------------

TEST(GridKeys, TabIsWantedWithWantTabsAVisibleColumnAndRowsOrTheInputRow) {
    struct Case {
        bool wantTabs, visible;
        int rows;
        bool input, wanted;
    };
    for (const Case& c : {Case{true, true, 2, false, true}, Case{false, true, 2, false, false},
                          Case{true, false, 2, false, false}, Case{true, true, 0, false, false},
                          Case{true, true, 0, true, true}}) {
        TKeyTest t(c.rows);
        t.Grid->SetWantTabs(c.wantTabs);
        if (!c.visible)
            for (int i = 0; i < 3; ++i) t.Col(i)->SetVisible(false);
        if (c.input) {
            t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goInput});
            t.Grid->SetInputSelected(true);
        }
        const LRESULT Code = t.Grid->Perform(WM_GETDLGCODE);
        EXPECT_EQ((Code & DLGC_WANTTAB) != 0, c.wanted) << c.wantTabs << c.visible << c.rows << c.input;
        EXPECT_EQ(Code & (DLGC_WANTARROWS | DLGC_WANTCHARS), DLGC_WANTARROWS | DLGC_WANTCHARS);
    }
}

// ---- hints ----------------------------------------------------------------------------------------------

namespace {

bool HintShown(TReportGrid* Grid) {
    vcl::THintWindow* W = Grid->HintWindow();
    return W && W->HandleAllocated() && IsWindowVisible(W->WindowHandle());
}

vcl::TRect HintRect(TReportGrid* Grid) {
    RECT R{};
    GetWindowRect(Grid->HintWindow()->WindowHandle(), &R);
    return vcl::TRect(R.left, R.top, R.right, R.bottom);
}

} // namespace

TEST(GridHints, ShowOnlyWhileTheFormIsActiveAndHintsAreOn) {
    TKeyTest t(3);
    t.Col(1)->Header()->SetHint(QStringLiteral("the header"));
    t.Grid->HeaderHint(t.Col(1));
    ASSERT_TRUE(HintShown(t.Grid));
    EXPECT_EQ(t.Grid->HintPosition(), TRgCustomGrid::hpHeader);
    const TPoint At = t.Grid->ClientToScreen(TPoint(t.Col(1)->AbsoluteLeft(), t.Grid->HeaderSize() + 2));
    EXPECT_EQ(HintRect(t.Grid).TopLeft(), At);
    t.Grid->HeaderHint(nullptr); // over no column
    EXPECT_FALSE(HintShown(t.Grid));

    vcl::Application->SetShowHint(false);
    t.Grid->HeaderHint(t.Col(1));
    EXPECT_FALSE(HintShown(t.Grid));
    vcl::Application->SetShowHint(true);
    t.Grid->HeaderHint(nullptr);
    auto* Other = t.Harness.Show<vcl::TForm>();
    Other->SetFocus();
    t.Harness.Pump();
    ASSERT_NE(vcl::Screen->ActiveForm(), t.Form);
    t.Grid->HeaderHint(t.Col(1));
    EXPECT_FALSE(HintShown(t.Grid));
}

TEST(GridHints, TheMouseOverAFooterShowsItsHintBelowTheGridUnderTheColumn) {
    TKeyTest t(3);
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goFooter});
    t.Col(0)->SetWidth(60); // column 1 starts at 60, column 2 at 140
    t.Col(2)->Footer()->SetHint(QStringLiteral("the total"));
    t.Harness.Pump();
    const vcl::TRect Footer = t.Grid->GetFooterRect();
    const int Y = (Footer.Top + Footer.Bottom) / 2;
    const auto Hover = [&](int X) {
        t.Harness.App().MoveTo(t.Grid->Handle(), POINT{X, Y});
        t.Harness.Pump();
    };
    Hover(170); // column 2's footer
    ASSERT_TRUE(HintShown(t.Grid));
    EXPECT_EQ(t.Grid->HintPosition(), TRgCustomGrid::hpFooter);
    EXPECT_EQ(HintRect(t.Grid).TopLeft(), t.Grid->ClientToScreen(TPoint(140, t.Grid->ClientHeight() + 2)));
    Hover(100); // column 1's footer has no hint
    EXPECT_FALSE(HintShown(t.Grid));
    Hover(170);
    EXPECT_TRUE(HintShown(t.Grid));
    Hover(170); // the same column again: the hint stays where it was
    EXPECT_EQ(HintRect(t.Grid).TopLeft(), t.Grid->ClientToScreen(TPoint(140, t.Grid->ClientHeight() + 2)));
}

TEST(GridHints, TheTextFitHintShowsOnlyWhenTheTextDoesNotFit) {
    TKeyTest t(3);
    t.Grid->GetCell(1, 0)->SetAsString(QStringLiteral("short"));
    t.Grid->GetCell(1, 1)->SetAsString(QStringLiteral("a text far too long for eighty pixels"));
    EXPECT_TRUE(t.Grid->IsTextFit(1, 0));
    EXPECT_FALSE(t.Grid->IsTextFit(1, 1));
    t.Grid->CellHint(1, 0);
    EXPECT_FALSE(HintShown(t.Grid));
    t.Grid->CellHint(1, 1);
    ASSERT_TRUE(HintShown(t.Grid));
    EXPECT_EQ(t.Grid->HintPosition(), TRgCustomGrid::hpTextFit);
    const vcl::TRect Cell = t.Grid->GetCellRect(1, 1);
    EXPECT_EQ(HintRect(t.Grid).TopLeft(), t.Grid->ClientToScreen(Cell.TopLeft()));
    // Wide enough, it fits.
    t.Col(1)->SetWidth(400);
    EXPECT_TRUE(t.Grid->IsTextFit(1, 1));
    // With the font pinned: the text fits from its own width plus five pixels on.
    t.Grid->Font()->SetName(QStringLiteral("DejaVu Sans"));
    t.Grid->Font()->SetSize(9);
    t.Grid->Canvas()->Font()->Assign(t.Grid->Font());
    const int Text = t.Grid->Canvas()->TextWidth(t.Grid->GetCells(1, 1));
    ASSERT_GT(Text, 150);
    t.Col(1)->SetWidth(Text + 5);
    EXPECT_TRUE(t.Grid->IsTextFit(1, 1));
    t.Col(1)->SetWidth(Text + 4);
    EXPECT_FALSE(t.Grid->IsTextFit(1, 1));
}

TEST(GridHints, ACellHintShowsRightOfTheCellAboveItAtMost250Wide) {
    TKeyTest t(3);
    t.Grid->OnCellHint = [](TObject*, int c, int r, String& Hint) {
        if (c == 2 && r == 2) Hint = QStringLiteral("a long hint that has to wrap because it is wider than two hundred and fifty pixels");
    };
    t.Grid->CellHint(2, 1);
    EXPECT_FALSE(HintShown(t.Grid));
    t.Grid->CellHint(2, 2);
    ASSERT_TRUE(HintShown(t.Grid));
    EXPECT_EQ(t.Grid->HintPosition(), TRgCustomGrid::hpCellHint);
    const vcl::TRect Cell = t.Grid->GetCellRect(2, 2);
    const vcl::TRect R = HintRect(t.Grid);
    EXPECT_EQ(R.TopLeft(), t.Grid->ClientToScreen(TPoint(Cell.Left + 80, Cell.Top - 20)));
    EXPECT_LE(R.Width(), 250 + 8);
    EXPECT_GT(R.Height(), 20); // wrapped
    // Over the edited cell the hint goes.
    t.Col(2)->SetEditing(true);
    t.Grid->EditCell(2, 2, String());
    t.Grid->CellHint(2, 2);
    EXPECT_FALSE(HintShown(t.Grid));
}

// ---- focus, the mouse leaving, fonts ------------------------------------------------------------------------

TEST(GridFocus, TheFocusEventsFireAfterTheRefreshAndLosingTheFocusDropsTheHint) {
    TKeyTest t(3);
    t.Grid->SetSelectedRow(1); // repainted with the focus's colours
    auto* Other = new vcl::TButton(t.Form);
    Other->SetParent(t.Form);
    Other->SetBounds(320, 10, 60, 24);
    Other->SetFocus();
    t.Harness.Pump();
    t.Log.clear();
    auto Invalid = [&] {
        RECT R{};
        return GetUpdateRect(t.Grid->WindowHandle(), &R, FALSE) != 0;
    };
    t.Grid->KW_OnAfterSetFocus = [&](TObject* Sender) {
        t.Log << QStringLiteral("set focus %1").arg(Sender == t.Grid && Invalid());
    };
    t.Grid->KW_OnAfterKillFocus = [&](TObject* Sender) {
        t.Log << QStringLiteral("kill focus %1 %2").arg(Sender == t.Grid).arg(HintShown(t.Grid));
    };
    t.Grid->SetFocus();
    t.Harness.Pump();
    t.Col(1)->Header()->SetHint(QStringLiteral("h"));
    t.Grid->HeaderHint(t.Col(1));
    ASSERT_TRUE(HintShown(t.Grid));
    Other->SetFocus();
    t.Harness.Pump();
    const QStringList Log = t.EditLog();
    EXPECT_EQ(Log, QStringList({"set focus 1", "kill focus 1 0"})) << Log.join('|').toStdString();
}

// A drag held with the button down when the focus goes (another window takes it) is over: the grid is
// left in no drag state, and the button's later release moves nothing.
TEST(GridFocus, LosingTheFocusEndsTheMousesDrags) {
    struct Case {
        const char* name;
        TGridOptions extra;
        POINT from, to;
        TGridStateItem state;
    };
    for (const Case& c : {Case{"resize", {}, {160, 9}, {190, 9}, gtColumnResizing},
                          Case{"header", {}, {40, 9}, {42, 9}, gtColumnHeaderDown},
                          Case{"move column", {}, {40, 9}, {210, 9}, gtColumnMoving},
                          Case{"move row", {goRowMoving}, {40, 18 + 8}, {40, 18 + 17 * 3 + 12}, gtRowMoving}}) {
        TKeyTest t(5);
        t.Grid->SetOptions(t.Grid->Options() + c.extra);
        auto* Other = new vcl::TButton(t.Form);
        Other->SetParent(t.Form);
        Other->SetBounds(320, 10, 60, 24);
        t.Grid->SetSelectedRow(0);
        Other->SetFocus();
        t.Harness.Pump();
        const HWND Wnd = t.Grid->Handle();
        const QImage Before = t.Harness.App().Grab(Wnd);
        t.Grid->SetFocus();
        t.Harness.Pump();
        t.Harness.App().Press(Wnd, c.from);
        t.Harness.App().MoveTo(Wnd, c.to);
        ASSERT_TRUE(t.Grid->GridState().Contains(c.state)) << c.name;
        Other->SetFocus();
        t.Harness.Pump();
        EXPECT_FALSE(t.Grid->GridState().Contains(c.state)) << c.name;
        EXPECT_FALSE(t.Grid->ColumnDragBox()->Visible()) << c.name;
        EXPECT_EQ(t.Harness.App().Grab(Wnd), Before) << c.name << ": no guide or marker is left";
        t.Harness.App().Release(Wnd, c.to);
        EXPECT_EQ(t.Keys(), QStringList({"0", "1", "2", "3", "4"})) << c.name;
        EXPECT_EQ(t.Col(0)->Position(), 0) << c.name;
        EXPECT_EQ(t.Col(1)->Width(), 80) << c.name;
        EXPECT_FALSE(t.Col(0)->Sorted()) << c.name;
    }
}

TEST(GridFocus, LeavingTheGridWritesTheEditAndTheMouseLeavingDropsTheHint) {
    TEditTest t(3);
    auto* Other = new vcl::TButton(t.Form);
    Other->SetParent(t.Form);
    Other->SetBounds(320, 10, 60, 24);
    t.Grid->EditCell(1, 1, String());
    t.Type(QStringLiteral("z"));
    Other->SetFocus();
    t.Harness.Pump();
    EXPECT_FALSE(t.Grid->Editing());
    EXPECT_EQ(t.Text(1, 1), QStringLiteral("t1z"));

    int Enters = 0, Leaves = 0;
    t.Grid->OnMouseEnter = [&](TObject*) { ++Enters; };
    t.Grid->OnMouseLeave = [&](TObject*) { ++Leaves; };
    t.Harness.MoveTo(t.Grid);
    EXPECT_EQ(Enters, 1);
    t.Col(1)->Header()->SetHint(QStringLiteral("h"));
    t.Grid->HeaderHint(t.Col(1));
    t.Harness.MouseOut();
    EXPECT_EQ(Leaves, 1);
    EXPECT_FALSE(HintShown(t.Grid));
    EXPECT_EQ(t.Grid->HintPosition(), TRgCustomGrid::hpNone);
}

TEST(GridFocus, ANewGridFontReachesTheColumnsThatFollowIt) {
    TKeyTest t(1);
    t.Col(2)->Font()->SetSize(20); // its own font now
    t.Form->Font()->SetSize(11);   // the grid follows its form, the columns follow the grid
    EXPECT_EQ(t.Grid->Font()->Size(), 11);
    EXPECT_EQ(t.Col(1)->Font()->Size(), 11);
    t.Grid->Font()->SetSize(14);
    EXPECT_EQ(t.Col(0)->Font()->Size(), 14);
    EXPECT_EQ(t.Col(2)->Font()->Size(), 20);
}
