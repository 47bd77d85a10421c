// tests/grid/EditGrid.h: a shown grid whose column 1 is editable, with every editing event logged and
// each refusal switchable; keys go in as the window receives them.
#pragma once
#include "tests/grid/GridForm.h"

#include <vector>

namespace grid_test {

// A text column whose cells hold another type (the editor stays a text editor).
class TTypedTextColumn : public TRgTextColumn {
public:
    TTypedTextColumn(rtl::TComponent* AOwner, TColumnType Type) : TRgTextColumn(AOwner) { SetColumnType(Type); }
};

// A text column that keeps Enter in its editor.
class TWantReturnsColumn : public TRgTextColumn {
public:
    using TRgTextColumn::TRgTextColumn;

protected:
    TColumnStyle GetColumnStyle() const override { return {csCanEdit, csWantReturns}; }
};

struct TEditTest : TGridTest {
    bool RefuseBefore = false, RefuseAccept = false, RefuseEnd = false, RefuseInput = false;

    // Rows hold "t<row>" in column 1.
    explicit TEditTest(int Rows = 5, int Columns = 3) : TGridTest(Columns, Rows) {
        for (int r = 0; r < Rows; ++r) Grid->GetCell(1, r)->SetAsString(QStringLiteral("t%1").arg(r));
        Col(1)->SetEditing(true);
        Hook();
        Grid->SetFocus();
        Harness.Pump();
        Log.clear();
    }
    TRgCustomColumn* Col(int Index) { return Grid->Columns()->Item(Index); }
    vcl::TCustomEdit* Box() { return dynamic_cast<vcl::TCustomEdit*>(Grid->InplaceEdit()); }
    String Text(int ACol, int ARow) { return Grid->GetCells(ACol, ARow); }
    // Keys and characters to the focused window, through the application's message processing.
    // The modifiers go down (and are seen down) before the key.
    void Tap(UINT Key, const std::vector<UINT>& Modifiers = {}) {
        for (UINT M : Modifiers) TwInputKey(M, TRUE, FALSE, nullptr, FALSE);
        Harness.Pump();
        Harness.Keys(Key);
        for (UINT M : Modifiers) TwInputKey(M, FALSE, FALSE, nullptr, FALSE);
        Harness.Pump();
    }
    void Type(const QString& Text) {
        for (QChar c : Text) {
            const QChar Up = c.toUpper();
            const UINT Vk = Up >= QLatin1Char('A') && Up <= QLatin1Char('Z') ? Up.unicode()
                            : c.isDigit()                                    ? c.unicode()
                            : c == QLatin1Char(' ')                          ? UINT(VK_SPACE)
                                                                             : UINT(VK_OEM_PERIOD);
            const char16_t S[2] = {c.unicode(), 0};
            TwInputKey(Vk, TRUE, FALSE, S, FALSE);
            TwInputKey(Vk, FALSE, FALSE, nullptr, FALSE);
            Harness.Pump();
        }
    }
    // The log without the selection, data and row-show entries the base fixture also records.
    QStringList EditLog() {
        QStringList Out;
        for (const QString& Line : TakeLog())
            if (!Line.startsWith(QLatin1String("select ")) && !Line.startsWith(QLatin1String("deselect ")) &&
                !Line.startsWith(QLatin1String("data ")) && !Line.startsWith(QLatin1String("show ")))
                Out << Line;
        return Out;
    }

    void Hook() {
        auto* G = Grid;
        auto Cell = [](int c, int r) { return QStringLiteral("%1,%2").arg(c).arg(r); };
        G->OnBeforeEdit = [=, this](TObject*, int c, int r, bool& Accept) {
            Log << "before " + Cell(c, r);
            Accept = !RefuseBefore;
        };
        G->OnApplyEditText = [=, this](TObject*, int c, int r, String& V) { Log << "apply " + Cell(c, r) + " " + V; };
        G->OnEditEnter = [this](TObject*) { Log << QStringLiteral("enter"); };
        G->OnEdit = [=, this](TObject*, int c, int r, const String& V) { Log << "edit " + Cell(c, r) + " " + V; };
        G->OnEditAccept = [=, this](TObject*, int c, int r, const String& V, bool& Accept) {
            Log << "accept " + Cell(c, r) + " " + V;
            Accept = !RefuseAccept;
        };
        G->OnEditText = [=, this](TObject*, int c, int r, String& V) { Log << "text " + Cell(c, r) + " " + V; };
        G->OnAfterEdit = [=, this](TObject*, int c, int r, const String& V) { Log << "after " + Cell(c, r) + " " + V; };
        G->OnEndEditing = [=, this](TObject*, int c, int r, String& V, bool& Accept) {
            Log << "end " + Cell(c, r) + " " + V;
            Accept = !RefuseEnd;
        };
        G->OnEditExit = [this](TObject*) { Log << QStringLiteral("exit"); };
        G->OnInputAccept = [this](TObject*, bool& Accept) {
            Log << QStringLiteral("input accept");
            Accept = !RefuseInput;
        };
        G->OnInputAdded = [this](TObject*) { Log << QStringLiteral("input added"); };
        G->OnInputSelectCell = [this](TObject*, int c) { Log << QStringLiteral("input select %1").arg(c); };
    }
};

} // namespace grid_test
