// grid/GridCommon.h: what the grid's data side asks of the grid control: the areas it repaints, and
// the narrow host interface through which cells, columns and the column collection reach their grid.
// The grid control implements the host; tests implement it with a few fields.
#pragma once
#include "grid/shared/Classes.h"
#include "vcl/Graphics.h"

#include <memory>

namespace grid {

using vcl::TColor;
using vcl::TRect;

class TRgCustomColumn;
} // namespace grid
namespace vcl {
class TCustomImageList;
}
namespace grid {

enum TGridArea { gaNone, gaBody, gaFooter, gaHeader, gaIndicator, gaInput };

// Measures text as a canvas with the given font draws it; auto-sizing and best fit go through it.
class ITextMeasurer {
public:
    virtual ~ITextMeasurer() = default;
    virtual int TextWidth(const rtl::String& Text, vcl::TFont* Font) = 0;
};

// Measures on a class-library canvas (a small bitmap's, unless the grid hands its own).
class TCanvasTextMeasurer : public ITextMeasurer {
public:
    explicit TCanvasTextMeasurer(vcl::TCanvas* Canvas = nullptr) : FCanvas(Canvas) {}
    ~TCanvasTextMeasurer() override;
    int TextWidth(const rtl::String& Text, vcl::TFont* Font) override;

private:
    vcl::TCanvas* FCanvas;
    std::unique_ptr<vcl::TBitmap> FBitmap;
};

// The shared measurer used when a grid gives none.
ITextMeasurer& DefaultTextMeasurer();

class IRgGridHost {
public:
    virtual ~IRgGridHost() = default;

    // State of the grid component.
    virtual bool IsLoading() const { return false; }
    virtual bool IsDestroying() const { return false; }
    virtual bool IsDesigning() const { return false; }
    virtual vcl::TFont* Font() { return nullptr; }

    // Geometry the columns read.
    virtual bool ShowIndicator() const { return false; } // goIndicator
    virtual bool IsReportStyle() const { return true; }  // gsReport
    virtual int ClientWidth() const { return 0; }
    virtual int ClientHeight() const { return 0; }
    virtual int HeaderSize() const { return 0; }
    virtual int HorzScrollPos() const { return 0; }
    virtual TRect GetAreaRect(TGridArea) const { return {}; }
    virtual int FocusedColumn() const { return -1; }
    virtual int HoverColumn() const { return -1; }
    virtual int SelectedColumn() const { return -1; }
    virtual ITextMeasurer& TextMeasurer() { return DefaultTextMeasurer(); }
    // Width of one image of an image list (0 without one).
    virtual int ImageListWidth(vcl::TCustomImageList*) const { return 0; }

    // Repaint of one column's strip of an area.
    virtual void RefreshColumn(TRgCustomColumn*, TGridArea) {}

    // What cells ask of the grid they are shown in.
    virtual TColor GetActualCellColor(int, int) { return vcl::clWindow; }
    virtual TColor GetActualCellFontColor(int, int) { return vcl::clWindowText; }
    virtual rtl::String GetDrawText(int, int) { return {}; }
    virtual bool IsCellHighlighted(int, int) { return false; }

    // Footer calculation: rows taking part and the formula events.
    virtual bool CanCalculateRow(int) { return true; }
    virtual void DoColumnFooterValue(int, double&) {}
    virtual void DoFooterCalculate(int, double&) {}
};

} // namespace grid
