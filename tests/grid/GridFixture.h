// tests/grid/GridFixture.h: a column collection and a cell store wired as the grid wires them, with a
// host whose geometry and events the tests set.
#pragma once
#include "grid/Cells.h"
#include "grid/ColumnClasses.h"
#include "grid/Columns.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace grid_test {

using namespace grid;

// A column of any cell type.
class TTypedColumn : public TRgCustomColumn {
public:
    TTypedColumn(rtl::TComponent* AOwner, TColumnType Type) : TRgCustomColumn(AOwner) { SetColumnType(Type); }
};

// Every character is 7 pixels wide: measuring without fonts.
class TFixedMeasurer : public ITextMeasurer {
public:
    int TextWidth(const rtl::String& Text, vcl::TFont*) override { return 7 * int(Text.size()); }
};

class TTestHost : public IRgGridHost {
public:
    bool Loading = false;
    bool Indicator = false;
    int Width = 0;
    int ImagesWidth = 0;
    TFixedMeasurer Measurer;
    vcl::TFont GridFont;
    std::function<bool(int)> AcceptRow;
    std::function<void(int, double&)> FooterValue;

    bool IsLoading() const override { return Loading; }
    vcl::TFont* Font() override { return &GridFont; }
    bool ShowIndicator() const override { return Indicator; }
    int ClientWidth() const override { return Width; }
    ITextMeasurer& TextMeasurer() override { return Measurer; }
    int ImageListWidth(vcl::TCustomImageList*) const override { return ImagesWidth; }
    bool CanCalculateRow(int Index) override { return !AcceptRow || AcceptRow(Index); }
    void DoColumnFooterValue(int ACol, double& Value) override {
        if (FooterValue) FooterValue(ACol, Value);
    }
};

struct TGridData {
    TTestHost Host;
    rtl::TComponent Form{nullptr};
    TRgColumns Columns{nullptr, &Host};
    TCells Cells{&Host, &Columns};

    TGridData() {
        Columns.OnChange = [this](rtl::TObject*, TColumnsOperation Op, int V1, int V2) {
            Cells.ColumnsChange(Op, V1, V2);
        };
    }
    ~TGridData() {
        // The columns leave the collection before the store goes.
        while (Columns.Count() > 0) delete Columns.Item(Columns.Count() - 1);
    }

    template <class T = TTypedColumn, class... A> T* Add(A... Args) {
        auto* C = new T(&Form, Args...);
        Columns.AddColumn(C);
        return C;
    }
    // A virtual column for ctVirtual (its cells link to it), a plain typed column otherwise.
    TRgCustomColumn* AddOfType(TColumnType Type) {
        if (Type == ctVirtual) return Add<TRgVirtualColumn>();
        return Add(Type);
    }
    TCell* Cell(int ACol, int ARow) { return Cells.GetCell(ACol, ARow); }
    // The texts of one column, top to bottom.
    std::vector<rtl::String> Texts(int ACol) {
        std::vector<rtl::String> Out;
        for (int r = 0; r < Cells.RowCount(); ++r) Out.push_back(Cell(ACol, r)->AsString());
        return Out;
    }
};

} // namespace grid_test
