// components/HSLUtils.cpp
#include "components/HSLUtils.h"

#include "rtl/Math.h"

#include <algorithm>

namespace components {

namespace {

double HueToChannel(double M1, double M2, double H) {
    if (H < 0)
        H += 1;
    else if (H > 1)
        H -= 1;
    if (6 * H < 1) return M1 + (M2 - M1) * H * 6;
    if (2 * H < 1) return M2;
    if (3 * H < 2) return M1 + (M2 - M1) * (2.0 / 3.0 - H) * 6;
    return M1;
}

int ToByte(double V) {
    return static_cast<int>(rtl::Round(V * 255));
}

} // namespace

vcl::TColor HSLToRGB(double H, double S, double L) {
    if (S == 0) {
        const int g = ToByte(L);
        return g | (g << 8) | (g << 16);
    }
    const double m2 = L <= 0.5 ? L * (1 + S) : L + S - L * S;
    const double m1 = 2 * L - m2;
    const int r = ToByte(HueToChannel(m1, m2, H + 1.0 / 3.0));
    const int g = ToByte(HueToChannel(m1, m2, H));
    const int b = ToByte(HueToChannel(m1, m2, H - 1.0 / 3.0));
    return r | (g << 8) | (b << 16);
}

vcl::TColor HSLRangeToRGB(int H, int S, int L) {
    return HSLToRGB(static_cast<double>(H) / (HSLRange - 1), static_cast<double>(S) / HSLRange,
                    static_cast<double>(L) / HSLRange);
}

void RGBToHSL(vcl::TColor RGB, double& H, double& S, double& L) {
    const double r = (RGB & 0xFF) / 255.0, g = ((RGB >> 8) & 0xFF) / 255.0, b = ((RGB >> 16) & 0xFF) / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    L = (mx + mn) / 2;
    if (mx == mn) {
        H = 0;
        S = 0;
        return;
    }
    const double d = mx - mn;
    S = L < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx)
        H = (g - b) / d;
    else if (g == mx)
        H = (b - r) / d + 2;
    else
        H = (r - g) / d + 4;
    H /= 6;
    if (H < 0) H += 1;
}

void RGBToHSLRange(vcl::TColor RGB, int& H, int& S, int& L) {
    double h = 0, s = 0, l = 0;
    RGBToHSL(RGB, h, s, l);
    H = static_cast<int>(rtl::Round(h * (HSLRange - 1)));
    S = static_cast<int>(rtl::Round(s * HSLRange));
    L = static_cast<int>(rtl::Round(l * HSLRange));
}

} // namespace components
