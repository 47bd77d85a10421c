// Editing in place: the events of opening, writing and closing with each refusal, the keys the editor
// hands to the grid, the input row, the editor following its cell, texts a cell's type does not read,
// operations that must close the editor, and the columns' own editors.
#include "tests/grid/EditGrid.h"

using namespace grid_test;
using vcl::TPoint;

// ---- opening, writing, closing -----------------------------------------------------------------------------

TEST(GridEdit, OpeningWritingAndClosingFireTheirEventsInOrder) {
    TEditTest t;
    t.Grid->EditCell(1, 2, String());
    ASSERT_TRUE(t.Grid->Editing());
    EXPECT_EQ(t.Box()->Text(), QStringLiteral("t2"));
    EXPECT_TRUE(t.Box()->Visible());
    EXPECT_TRUE(t.Box()->Focused());
    EXPECT_EQ(t.EditLog(), QStringList({"before 1,2", "apply 1,2 t2", "enter"})); // filling is no edit
    t.Type(QStringLiteral("x"));
    EXPECT_EQ(t.EditLog(), QStringList({"edit 1,2 t2x"}));
    EXPECT_TRUE(t.Grid->ApplyEditing());
    EXPECT_EQ(t.Text(1, 2), QStringLiteral("t2x"));
    t.Grid->EndEditing();
    EXPECT_EQ(t.EditLog(), QStringList({"accept 1,2 t2x", "text 1,2 t2x", "after 1,2 t2x", "end 1,2 t2x", "exit"}));
    EXPECT_FALSE(t.Grid->Editing());
    EXPECT_EQ(t.Grid->InplaceEdit(), nullptr);
    EXPECT_FALSE(t.Col(1)->Editor()->Visible());
    EXPECT_EQ(t.Grid->EditingCell(), TPoint(-1, -1));
}

TEST(GridEdit, EachRefusalLeavesTheGridAsItWas) {
    {
        TEditTest t;
        t.RefuseBefore = true;
        t.Grid->EditCell(1, 2, String());
        EXPECT_FALSE(t.Grid->Editing());
        EXPECT_EQ(t.EditLog(), QStringList({"before 1,2"}));
    }
    {
        TEditTest t;
        t.RefuseAccept = true;
        t.Grid->EditCell(1, 2, QStringLiteral("new"));
        t.Log.clear();
        EXPECT_FALSE(t.Grid->ApplyEditing());
        EXPECT_EQ(t.Text(1, 2), QStringLiteral("t2"));
        EXPECT_EQ(t.EditLog(), QStringList({"accept 1,2 new"}));
    }
    {
        TEditTest t;
        t.RefuseEnd = true;
        t.Grid->EditCell(1, 2, String());
        t.Grid->EndEditing();
        EXPECT_TRUE(t.Grid->Editing());
        EXPECT_TRUE(t.Box()->Visible());
        // Opening another cell first ends this edit: refused, the editor stays on its cell.
        t.Grid->EditCell(1, 3, String());
        EXPECT_EQ(t.Grid->EditingCell(), TPoint(1, 2));
    }
    {
        TEditTest t;
        t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goInput});
        t.RefuseInput = true;
        t.Col(0)->SetInputValue(QStringLiteral("v"));
        t.Grid->AddRowFromInput();
        EXPECT_EQ(t.Grid->RowCount(), 5);
        EXPECT_EQ(t.Col(0)->InputValue(), QStringLiteral("v"));
        EXPECT_EQ(t.EditLog(), QStringList({"input accept"}));
    }
}

TEST(GridEdit, AGivenTextIsAnEditAndNoEditorOpensWhereEditingIsNotAllowed) {
    TEditTest t;
    t.Grid->EditCell(1, 1, QStringLiteral("given"));
    EXPECT_EQ(t.EditLog().filter(QStringLiteral("edit ")), QStringList({"edit 1,1 given"}));
    EXPECT_EQ(t.Box()->Text(), QStringLiteral("given"));
    t.Grid->EndEditing();
    t.Log.clear();
    // Not editable, read-only, outside the store: nothing, not even the question.
    t.Grid->EditCell(0, 1, String());
    t.Grid->EditCell(1, 9, String());
    t.Grid->SetReadOnly(true);
    t.Grid->EditCell(1, 1, String());
    EXPECT_FALSE(t.Grid->Editing());
    EXPECT_TRUE(t.EditLog().isEmpty());
    // The EditingCell setter reaches the same editor.
    t.Grid->SetReadOnly(false);
    t.Grid->SetEditingCell(TPoint(1, 4));
    EXPECT_TRUE(t.Grid->Editing());
    EXPECT_EQ(t.Box()->Text(), QStringLiteral("t4"));
}

TEST(GridEdit, ATypedCharacterOpensTheEditorHoldingOnlyThatCharacter) {
    TEditTest t;
    t.Col(1)->SetOptions(t.Col(1)->Options() + TColumnOptions{coEditorAutoSelect});
    t.Grid->SetSelectedRow(3);
    t.Grid->SetSelectedColumn(1);
    t.Log.clear();
    t.Type(QStringLiteral("q"));
    ASSERT_TRUE(t.Grid->Editing());
    EXPECT_EQ(t.Grid->EditingCell(), TPoint(1, 3));
    EXPECT_EQ(t.Box()->Text(), QStringLiteral("q"));
    EXPECT_EQ(t.Box()->SelStart(), 1);
    EXPECT_EQ(t.Box()->SelLength(), 0);
    // The next one goes after it; no text of the cell was put in first.
    t.Type(QStringLiteral("r"));
    EXPECT_EQ(t.Box()->Text(), QStringLiteral("qr"));
    EXPECT_FALSE(t.EditLog().contains(QStringLiteral("apply 1,3 t3")));
}

// ---- keys in the editor --------------------------------------------------------------------------------------

namespace {

struct KeyCase {
    const char* name;
    bool wantReturns; // the column keeps Enter
    TGridOptions extra;
    UINT key;
    bool stillEditing;
    const char* cell;   // the cell afterwards
    const char* editor; // the editor's text when it is still open
};

class EditorKeys : public ::testing::TestWithParam<KeyCase> {};

} // namespace

TEST_P(EditorKeys, EndWriteOrKeepTheEdit) {
    const KeyCase& c = GetParam();
    TEditTest t;
    if (c.wantReturns) {
        auto* C = new TWantReturnsColumn(t.Form);
        C->SetEditing(true);
        t.Grid->Columns()->AddColumn(C);
        t.Grid->GetCell(3, 1)->SetAsString(QStringLiteral("t1"));
    }
    const int Col = c.wantReturns ? 3 : 1;
    t.Grid->SetOptions(t.Grid->Options() + c.extra);
    t.Grid->SetWantTabs(true);
    t.Grid->EditCell(Col, 1, String());
    t.Type(QStringLiteral("x"));
    t.Tap(c.key);
    EXPECT_EQ(t.Grid->Editing(), c.stillEditing);
    EXPECT_EQ(t.Text(Col, 1), QString::fromUtf8(c.cell));
    if (c.stillEditing) {
        EXPECT_EQ(t.Box()->Text(), QString::fromUtf8(c.editor));
    } else {
        EXPECT_TRUE(t.Grid->Focused());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, EditorKeys, ::testing::Values(
    KeyCase{"EnterWrites", false, {}, VK_RETURN, false, "t1x", ""},
    KeyCase{"TabWrites", false, {}, VK_TAB, false, "t1x", ""},
    KeyCase{"EnterStaysWhereTheColumnWantsReturns", true, {}, VK_RETURN, true, "t1", "t1x"},
    KeyCase{"EscWritesNothing", false, {}, VK_ESCAPE, false, "t1", ""},
    KeyCase{"EscClearEditOnlyEmptiesTheEditor", false, {goEscClearEdit}, VK_ESCAPE, true, "t1", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GridEdit, EscWithARefusedEndKeepsTheEditorAndWritesNothing) {
    TEditTest t;
    t.RefuseEnd = true;
    t.Grid->EditCell(1, 1, String());
    t.Type(QStringLiteral("x"));
    t.Tap(VK_ESCAPE);
    EXPECT_TRUE(t.Grid->Editing());
    EXPECT_EQ(t.Text(1, 1), QStringLiteral("t1"));
    EXPECT_FALSE(t.Log.join(' ').contains(QStringLiteral("accept")));
}

TEST(GridEdit, ArrowsLeaveTheEditorOnlyUnderArrowKeyExit) {
    TEditTest t;
    t.Grid->SetSelectedRow(1);
    t.Grid->EditCell(1, 1, String());
    t.Type(QStringLiteral("x"));
    t.Tap(VK_DOWN); // moves the caret
    EXPECT_TRUE(t.Grid->Editing());
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goArrowKeyExitEditing});
    t.Tap(VK_DOWN);
    EXPECT_FALSE(t.Grid->Editing());
    EXPECT_EQ(t.Text(1, 1), QStringLiteral("t1x"));
    EXPECT_EQ(t.Grid->SelectedRow(), 2);
}

TEST(GridEdit, KeysTypedInTheEditorFireTheGridsKeyEvents) {
    TEditTest t;
    QStringList Keys;
    t.Grid->OnKeyDown = [&](TObject*, WORD& Key, vcl::TShiftState) { Keys << QStringLiteral("down %1").arg(Key); };
    t.Grid->OnKeyPress = [&](TObject*, rtl::Char& Key) { Keys << QStringLiteral("press %1").arg(QChar(Key)); };
    t.Grid->OnKeyUp = [&](TObject*, WORD& Key, vcl::TShiftState) { Keys << QStringLiteral("up %1").arg(Key); };
    t.Grid->EditCell(1, 1, String());
    t.Type(QStringLiteral("k"));
    EXPECT_EQ(Keys, QStringList({"down 75", "press k", "up 75"}));
}

// ---- the input row -------------------------------------------------------------------------------------------

TEST(GridEdit, EnterInTheInputRowAddsARowWithDefaultsAndKeepsTheEditorOpen) {
    TEditTest t;
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goInput});
    t.Col(2)->SetDefaultValue(QStringLiteral("dflt"));
    t.Col(1)->SetInputValue(QStringLiteral("typed before"));
    t.Grid->InputColumn(t.Col(0), String());
    ASSERT_TRUE(t.Grid->GridState().Contains(gtInput));
    EXPECT_TRUE(t.Grid->InputSelected());
    EXPECT_TRUE(t.Col(0)->Input());
    EXPECT_EQ(t.Grid->EditingCell(), TPoint(0, -1));
    const vcl::TRect Cell = t.Grid->GetInputCellRect(0);
    EXPECT_EQ(t.Box()->Left(), Cell.Left + 1);
    EXPECT_EQ(t.Box()->Top(), Cell.Top + 1);
    t.Type(QStringLiteral("abc"));
    t.Log.clear();
    t.Tap(VK_RETURN);
    ASSERT_EQ(t.Grid->RowCount(), 6);
    EXPECT_EQ(t.Text(0, 5), QStringLiteral("abc"));
    EXPECT_EQ(t.Text(1, 5), QStringLiteral("typed before"));
    EXPECT_EQ(t.Text(2, 5), QStringLiteral("dflt"));
    for (int c = 0; c < 3; ++c) EXPECT_TRUE(t.Col(c)->InputValue().isEmpty());
    EXPECT_TRUE(t.Grid->GridState().Contains(gtInput));
    EXPECT_EQ(t.Box()->Text(), QString());
    EXPECT_EQ(t.EditLog(), QStringList({"input accept", "input added"}));
    // The next row goes the same way.
    t.Type(QStringLiteral("d"));
    t.Tap(VK_RETURN);
    EXPECT_EQ(t.Text(0, 6), QStringLiteral("d"));
}

TEST(GridEdit, EnterOnTheSelectedInputRowAddsARowInAlwaysMode) {
    TEditTest t;
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goInput});
    t.Grid->SetWantReturns(true);
    t.Grid->SetInputSelected(true);
    t.Col(0)->SetInputValue(QStringLiteral("q"));
    t.Tap(VK_RETURN);
    EXPECT_EQ(t.Grid->RowCount(), 5); // imEditing: Enter on the grid adds nothing
    t.Grid->SetInputEnterMode(imAllways);
    t.Tap(VK_RETURN);
    ASSERT_EQ(t.Grid->RowCount(), 6);
    EXPECT_EQ(t.Text(0, 5), QStringLiteral("q"));
}

TEST(GridEdit, ATypedCharacterInTheInputRowStartsItsEditor) {
    TEditTest t;
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goInput});
    t.Grid->SetSelectedColumn(1);
    t.Grid->SetInputSelected(true);
    t.Log.clear();
    t.Type(QStringLiteral("zy"));
    ASSERT_TRUE(t.Grid->GridState().Contains(gtInput));
    EXPECT_EQ(t.Grid->InputingColumn(), 1);
    EXPECT_EQ(t.Box()->Text(), QStringLiteral("zy"));
    EXPECT_EQ(t.EditLog(), QStringList({"input select 1", "edit -1,-1 zy"}));
}

// ---- the editor follows its cell -----------------------------------------------------------------------------

TEST(GridEdit, TheEditorFollowsItsCell) {
    TEditTest t(40);
    t.Grid->EditCell(1, 2, String());
    auto Placed = [&](int Row) {
        vcl::TRect R = t.Grid->GetCellRect(1, Row);
        R.Right -= t.Grid->GetGridSpace(lpRight);
        R.Inflate(-1, -1);
        return vcl::TRect(t.Box()->Left(), t.Box()->Top(), t.Box()->Left() + t.Box()->Width(),
                          t.Box()->Top() + t.Box()->Height()) == R;
    };
    EXPECT_TRUE(Placed(2));
    t.Grid->VertScrollBar()->SetPosition(3);
    t.Harness.Pump();
    EXPECT_TRUE(t.Grid->Editing());
    EXPECT_FALSE(t.Box()->Visible()); // above the body
    t.Grid->VertScrollBar()->SetPosition(1);
    t.Harness.Pump();
    EXPECT_TRUE(t.Box()->Visible());
    EXPECT_TRUE(Placed(2));
    t.Col(0)->SetWidth(120);
    EXPECT_TRUE(Placed(2));
    t.Col(1)->SetPosition(0);
    EXPECT_TRUE(Placed(2));
    EXPECT_EQ(t.Box()->Left(), t.Grid->GetCellRect(1, 2).Left + 1);
}

TEST(GridEdit, PaintingTheEditedCellLeavesTheEditorsPixelsAlone) {
    TEditTest t;
    t.Grid->SetSelectedRow(1);
    t.Grid->EditCell(1, 1, QStringLiteral(" "));
    t.Harness.Pump();
    int Painted = 0;
    t.Grid->OnDrawCellBackground = [&](TObject*, int c, int r, const vcl::TRect&, TCellState, bool&) {
        if (c == 1 && r == 1) {
            ++Painted;
            // The region left for the cell leaves out the editor's rectangle.
            RECT Clip{};
            GetClipBox(t.Grid->Canvas()->Handle(), &Clip);
            const HDC DC = t.Grid->Canvas()->Handle();
            const POINT Inside{t.Box()->Left() + 3, t.Box()->Top() + 3};
            EXPECT_FALSE(PtVisible(DC, Inside.x, Inside.y));
            EXPECT_TRUE(PtVisible(DC, t.Box()->Left() - 1, t.Box()->Top()));
        }
    };
    t.Grid->Repaint();
    EXPECT_EQ(Painted, 1);
}

TEST(GridEdit, AnOutsideEditorKeepsItsOwnEventsUnderInplaceEditEvents) {
    for (bool Own : {true, false}) {
        TEditTest t;
        auto* Outside = new vcl::TEdit(t.Form);
        int Changes = 0;
        Outside->OnChange = [&](TObject*) { ++Changes; };
        t.Col(1)->SetInplaceEdit(Outside);
        if (Own) t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goInplaceEditEvents});
        t.Grid->EditCell(1, 1, String());
        ASSERT_EQ(t.Grid->InplaceEdit(), Outside);
        EXPECT_EQ(Outside->Parent(), t.Grid);
        EXPECT_EQ(Outside->Text(), QStringLiteral("t1"));
        t.Type(QStringLiteral("x"));
        t.Tap(VK_RETURN);
        // Its own handler saw the typing; the grid did not take the Enter.
        EXPECT_EQ(Changes > 0, Own) << Own;
        EXPECT_EQ(t.Grid->Editing(), Own) << Own;
        EXPECT_EQ(t.Text(1, 1), Own ? QStringLiteral("t1") : QStringLiteral("t1x")) << Own;
    }
}

// ---- texts a cell does not read ------------------------------------------------------------------------------

namespace {

struct FitCase {
    TColumnType type;
    const char* bad;
    const char* good;
    const char* stored; // what the cell holds after the good text
};

class UnreadableText : public ::testing::TestWithParam<FitCase> {};

} // namespace

TEST_P(UnreadableText, StaysInTheEditorSelectedAndIsNeverWritten) {
    const FitCase& c = GetParam();
    TEditTest t(2);
    auto* C = new TTypedTextColumn(t.Form, c.type);
    C->SetEditing(true);
    t.Grid->Columns()->AddColumn(C);
    t.Grid->SetWantTabs(true);
    const String Before = t.Text(3, 0);
    t.Grid->EditCell(3, 0, String());
    t.Box()->SetText(QString::fromUtf8(c.bad));
    t.Log.clear();
    t.Tap(VK_RETURN);
    ASSERT_TRUE(t.Grid->Editing());
    EXPECT_EQ(t.Text(3, 0), Before);
    EXPECT_EQ(t.Box()->SelLength(), int(t.Box()->Text().size()));
    EXPECT_EQ(t.EditLog(), QStringList({"accept 3,0 " + QString::fromUtf8(c.bad)})); // no text, no after
    t.Tap(VK_TAB);
    EXPECT_TRUE(t.Grid->Editing());
    t.Box()->SetText(QString::fromUtf8(c.good));
    t.Tap(VK_RETURN);
    EXPECT_FALSE(t.Grid->Editing());
    EXPECT_EQ(t.Text(3, 0), QString::fromUtf8(c.stored));
    // The input row checks every value before it adds anything (an empty one is left out, not written).
    if (!*c.bad) return;
    t.Grid->SetOptions(t.Grid->Options() + TGridOptions{goInput});
    C->SetInputValue(QString::fromUtf8(c.bad));
    t.Col(0)->SetInputValue(QStringLiteral("kept"));
    t.Grid->AddRowFromInput();
    EXPECT_EQ(t.Grid->RowCount(), 2);
    EXPECT_EQ(C->InputValue(), QString::fromUtf8(c.bad));
    EXPECT_EQ(t.Col(0)->InputValue(), QStringLiteral("kept"));
    C->SetInputValue(String());
    C->SetDefaultValue(QString::fromUtf8(c.bad));
    t.Grid->AddRowFromInput();
    EXPECT_EQ(t.Grid->RowCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnreadableText, ::testing::Values(
    FitCase{ctFloat, "abc", "2.5", "2.5"},
    FitCase{ctFloat, "", "1", "1"},
    FitCase{ctInteger, "1.5", "7", "7"},
    FitCase{ctGuid, "{nope}", "{00000000-0000-0000-0000-000000000001}", "{00000000-0000-0000-0000-000000000001}"}));

TEST(GridEdit, AnEditAcceptRefusalStillClosesTheEditor) {
    TEditTest t;
    t.RefuseAccept = true;
    t.Grid->EditCell(1, 1, String());
    t.Type(QStringLiteral("x"));
    t.Tap(VK_RETURN);
    EXPECT_FALSE(t.Grid->Editing());
    EXPECT_EQ(t.Text(1, 1), QStringLiteral("t1"));
}

// ---- operations that close the editor whatever OnEndEditing says --------------------------------------------

namespace {

struct CloseCase {
    const char* name;
    std::function<void(TEditTest&)> op;
};

class ClosingOperations : public ::testing::TestWithParam<CloseCase> {};

} // namespace

TEST_P(ClosingOperations, CloseTheEditorWithoutWriting) {
    TEditTest t;
    t.RefuseEnd = true;
    t.Grid->EditCell(1, 2, String());
    t.Type(QStringLiteral("x"));
    t.Log.clear();
    GetParam().op(t);
    EXPECT_FALSE(t.Grid->Editing());
    EXPECT_EQ(t.Grid->InplaceEdit(), nullptr);
    EXPECT_FALSE(t.Col(1)->Editor()->Visible());
    const QStringList Log = t.EditLog();
    EXPECT_TRUE(Log.contains(QStringLiteral("exit"))) << Log.join('|').toStdString();
    EXPECT_FALSE(Log.join('|').contains(QStringLiteral("after"))) << Log.join('|').toStdString();
    for (int r = 0; r < t.Grid->RowCount(); ++r) EXPECT_FALSE(t.Text(1, r).endsWith('x'));
    // Nothing is left to write into whatever row now has that index.
    EXPECT_FALSE(t.Grid->ApplyEditing());
}

INSTANTIATE_TEST_SUITE_P(Cases, ClosingOperations, ::testing::Values(
    CloseCase{"DeleteRow", [](TEditTest& t) { t.Grid->DeleteRow(0); }},
    CloseCase{"InsertRow", [](TEditTest& t) { t.Grid->InsertRow(0); }},
    CloseCase{"MoveRow", [](TEditTest& t) { t.Grid->MoveRow(2, 4); }},
    CloseCase{"ClearRows", [](TEditTest& t) { t.Grid->ClearRows(); }},
    CloseCase{"Sort", [](TEditTest& t) { t.Grid->SortColumn(t.Col(1), false); }},
    CloseCase{"Slides", [](TEditTest& t) { t.Grid->SetGridStyle(gsSlides); }},
    CloseCase{"DeleteColumn", [](TEditTest& t) { delete t.Col(2); }}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the columns' editors ------------------------------------------------------------------------------------

TEST(GridEditColumns, TextColumnsPrepareTheirEditorInPlace) {
    TEditTest t;
    auto* C = static_cast<TRgTextColumn*>(t.Col(1));
    C->SetMaxLength(4);
    C->SetPasswordChar(u'*');
    C->SetAlignment(taCenter);
    t.Grid->EditCell(1, 1, String());
    auto* E = C->Editor();
    EXPECT_TRUE(E->InplaceEditor());
    EXPECT_EQ(E->MaxLength(), 4);
    EXPECT_EQ(E->PasswordChar(), u'*');
    EXPECT_EQ(E->Alignment(), taCenter);
    EXPECT_EQ(E->BorderStyle(), vcl::bsNone);
    EXPECT_EQ(E->EditMargins()->Left(), 1);
    EXPECT_FALSE(E->EditorUpdating());
    // Each column owns one editor; columns without one are never edited.
    EXPECT_NE(t.Col(0)->Editor(), E);
    auto* Check = new TRgCheckBoxColumn(t.Form);
    t.Grid->Columns()->AddColumn(Check);
    EXPECT_EQ(Check->Editor(), nullptr);
}

TEST(GridEditColumns, NumberColumnsSetUpTheSpinEditorAndItsButtonReachesTheColumn) {
    TEditTest t;
    auto* C = new TRgNumberColumn(t.Form);
    C->SetEditing(true);
    C->SetShowButton(true);
    C->SetButtonCaption(QStringLiteral("..."));
    C->SetIncrement(0.5);
    C->SetMin(1);
    C->SetMax(9);
    C->SetPrecision(3);
    C->SetEditOptions({eoAllowSigns});
    t.Grid->Columns()->AddColumn(C);
    t.Grid->GetCell(3, 1)->SetAsFloat(2);
    TObject* Clicked = nullptr;
    C->OnButtonClick = [&](TObject* Sender) { Clicked = Sender; };
    t.Grid->EditCell(3, 1, String());
    auto* E = dynamic_cast<TRgSpinEdit*>(t.Grid->InplaceEdit());
    ASSERT_NE(E, nullptr);
    EXPECT_EQ(E->Precision(), 3);
    EXPECT_EQ(E->Increment(), 0.5);
    EXPECT_EQ(E->Min(), 1);
    EXPECT_EQ(E->Max(), 9);
    EXPECT_EQ(E->Options(), TRgNumberEditOptions{eoAllowSigns});
    EXPECT_TRUE(E->ShowButton());
    EXPECT_EQ(E->ButtonCaption(), QStringLiteral("..."));
    EXPECT_EQ(E->Alignment(), taRightJustify);
    t.Harness.Pump();
    t.Harness.Click(E->Button());
    EXPECT_EQ(Clicked, C);
}
