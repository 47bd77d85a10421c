#include "vcl/GraphUtil.h"

namespace vcl {

void GradientFillCanvas(TCanvas* ACanvas, TColor AStartColor, TColor AEndColor, const TRect& ARect,
                        TGradientDirection Direction) {
    if (!ACanvas || ARect.IsEmpty()) return;
    const uint32_t start = uint32_t(ColorToRGB(AStartColor)), end = uint32_t(ColorToRGB(AEndColor));
    // 8-bit channels scaled into the 16-bit vertex channels.
    auto vertex = [](LONG X, LONG Y, uint32_t C) {
        return TRIVERTEX{X, Y, COLOR16((C & 0xFF) << 8), COLOR16(((C >> 8) & 0xFF) << 8),
                         COLOR16(((C >> 16) & 0xFF) << 8), 0};
    };
    TRIVERTEX vertices[2] = {vertex(ARect.Left, ARect.Top, start), vertex(ARect.Right, ARect.Bottom, end)};
    GRADIENT_RECT mesh{0, 1};
    GradientFill(ACanvas->Handle(), vertices, 2, &mesh, 1,
                 Direction == gdHorizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

} // namespace vcl
