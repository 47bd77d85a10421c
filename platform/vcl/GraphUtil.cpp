#include "vcl/GraphUtil.h"

#include <algorithm>
#include <cmath>

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

namespace {

constexpr int HlsMax = 240;
constexpr int RgbMax = 255;

struct THls {
    int H, L, S;
};

THls ToHls(uint32_t Rgb) {
    const int r = int(Rgb & 0xFF), g = int((Rgb >> 8) & 0xFF), b = int((Rgb >> 16) & 0xFF);
    const int hi = std::max({r, g, b}), lo = std::min({r, g, b});
    THls c{HlsMax * 2 / 3, ((hi + lo) * HlsMax + RgbMax) / (2 * RgbMax), 0};
    if (hi == lo) return c;  // grey: no hue, no saturation
    const int range = hi - lo;
    c.S = c.L <= HlsMax / 2 ? (range * HlsMax + (hi + lo) / 2) / (hi + lo)
                            : (range * HlsMax + (2 * RgbMax - hi - lo) / 2) / (2 * RgbMax - hi - lo);
    const int dr = ((hi - r) * (HlsMax / 6) + range / 2) / range;
    const int dg = ((hi - g) * (HlsMax / 6) + range / 2) / range;
    const int db = ((hi - b) * (HlsMax / 6) + range / 2) / range;
    if (r == hi) c.H = db - dg;
    else if (g == hi) c.H = HlsMax / 3 + dr - db;
    else c.H = 2 * HlsMax / 3 + dg - dr;
    c.H = (c.H % HlsMax + HlsMax) % HlsMax;
    return c;
}

int HueToRgb(int M1, int M2, int Hue) {
    Hue = (Hue % HlsMax + HlsMax) % HlsMax;
    if (Hue < HlsMax / 6) return M1 + ((M2 - M1) * Hue + HlsMax / 12) / (HlsMax / 6);
    if (Hue < HlsMax / 2) return M2;
    if (Hue < 2 * HlsMax / 3) return M1 + ((M2 - M1) * (2 * HlsMax / 3 - Hue) + HlsMax / 12) / (HlsMax / 6);
    return M1;
}

uint32_t FromHls(const THls& C) {
    auto channel = [](int V) { return uint32_t(std::clamp((V * RgbMax + HlsMax / 2) / HlsMax, 0, RgbMax)); };
    if (C.S == 0) {
        const uint32_t v = channel(C.L);
        return v | v << 8 | v << 16;
    }
    const int m2 = C.L <= HlsMax / 2 ? (C.L * (HlsMax + C.S) + HlsMax / 2) / HlsMax
                                     : C.L + C.S - (C.L * C.S + HlsMax / 2) / HlsMax;
    const int m1 = 2 * C.L - m2;
    return channel(HueToRgb(m1, m2, C.H + HlsMax / 3)) | channel(HueToRgb(m1, m2, C.H)) << 8 |
           channel(HueToRgb(m1, m2, C.H - HlsMax / 3)) << 16;
}

} // namespace

TColor GetHighLightColor(TColor Color, int Luminance) {
    if (Color == clNone || Color == clDefault) return Color;
    THls c = ToHls(uint32_t(ColorToRGB(Color)) & 0xFFFFFF);
    c.L = std::clamp(c.L + Luminance, 0, HlsMax);
    return TColor(FromHls(c));
}

} // namespace vcl
