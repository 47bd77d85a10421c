// grid/GridCommon.cpp
#include "grid/GridCommon.h"

namespace grid {

TCanvasTextMeasurer::~TCanvasTextMeasurer() = default;

int TCanvasTextMeasurer::TextWidth(const rtl::String& Text, vcl::TFont* Font) {
    vcl::TCanvas* Canvas = FCanvas;
    if (!Canvas) {
        if (!FBitmap) FBitmap = std::make_unique<vcl::TBitmap>(1, 1);
        Canvas = FBitmap->Canvas();
    }
    if (Font) Canvas->Font()->Assign(Font);
    return Canvas->TextWidth(Text);
}

ITextMeasurer& DefaultTextMeasurer() {
    static TCanvasTextMeasurer Measurer;
    return Measurer;
}

} // namespace grid
