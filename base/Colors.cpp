// base/Colors.cpp
#include "base/Colors.h"

#include <algorithm>

#include "base/Conversion.h"
#include "rtl/Math.h"
#include "rtl/SysUtils.h"
#include "win/windows.h"

namespace base {

namespace {

int ClampByte(int V) {
    return V < 0 ? 0 : (V > 255 ? 255 : V);
}

} // namespace

TColor ColorToRGB(TColor Color) {
    if (Color >= 0) return Color;
    // System colours go through the platform, so a visual style that changes them is followed.
    return TColor(GetSysColor(int(unsigned(Color) & 0xFF)));
}

TColor MakeColor(int R, int G, int B) {
    return TColor((R & 0xFF) | ((G & 0xFF) << 8) | ((B & 0xFF) << 16));
}

TColor MakeGrayColor(int V) {
    return MakeColor(V, V, V);
}

void SplitColor(TColor Color, int& R, int& G, int& B) {
    R = Color & 0xFF;
    G = (Color >> 8) & 0xFF;
    B = (Color >> 16) & 0xFF;
}

void SplitColorBytes(TColor Color, uint8_t& R, uint8_t& G, uint8_t& B) {
    int Ri, Gi, Bi;
    SplitColor(Color, Ri, Gi, Bi);
    R = uint8_t(Ri);
    G = uint8_t(Gi);
    B = uint8_t(Bi);
}

TColor LightenColorPercent(TColor Color, int Percent) {
    int C[3];
    SplitColor(ColorToRGB(Color), C[0], C[1], C[2]);
    for (int& V : C) V = ClampByte(int(V + rtl::Round(double((255 - V) * Percent) / 100)));
    return MakeColor(C[0], C[1], C[2]);
}

TColor BrightenColorPercent(TColor Color, int Percent) {
    return LightenColorPercent(Color, Percent);
}

TColor ChangeColorByPercent(TColor Color, int Percent, bool Lighter) {
    int C[3];
    SplitColor(ColorToRGB(Color), C[0], C[1], C[2]);
    for (int& V : C) {
        const int D = V * Percent / 100;
        V = ClampByte(Lighter ? V + D : V - D);
    }
    return MakeColor(C[0], C[1], C[2]);
}

TColor AddToColorChannels(TColor Color, int DeltaRed, int DeltaGreen, int DeltaBlue) {
    if (DeltaRed == 0 && DeltaGreen == 0 && DeltaBlue == 0) return Color;
    int R, G, B;
    SplitColor(Color, R, G, B);
    if (DeltaRed) R = ClampByte(R + DeltaRed);
    if (DeltaGreen) G = ClampByte(G + DeltaGreen);
    if (DeltaBlue) B = ClampByte(B + DeltaBlue);
    return MakeColor(R, G, B);
}

TColor ModifyColorChannels(TColor Color, int DeltaRed, int DeltaGreen, int DeltaBlue) {
    return AddToColorChannels(Color, DeltaRed, DeltaGreen, DeltaBlue);
}

TColor AddToAllColorChannels(TColor Color, int Delta) {
    return AddToColorChannels(Color, Delta, Delta, Delta);
}

int HueRange = 360;
int SatRange = 100;
int LumRange = 100;

void SetHslRanges(int AHueRange, int ASatRange, int ALumRange) {
    HueRange = AHueRange;
    SatRange = ASatRange;
    LumRange = ALumRange;
}

void ResetHslRanges() {
    SetHslRanges(360, 100, 100);
}

void ColorToHslRanged(TColor Color, int& H, int& S, int& L) {
    int Ri, Gi, Bi;
    SplitColor(Color, Ri, Gi, Bi);
    const double R = Ri / 255.0, G = Gi / 255.0, B = Bi / 255.0;
    const double Max = std::max({R, G, B});
    const double Min = std::min({R, G, B});
    double Hue = 0, Sat = 0;
    const double Lum = (Max + Min) / 2;
    if (Max != Min) {
        const double D = Max - Min;
        Sat = Lum < 0.5 ? D / (Max + Min) : D / (2 - Max - Min);
        if (R == Max)
            Hue = (G - B) / D;
        else if (G == Max)
            Hue = (B - R) / D + 2;
        else
            Hue = (R - G) / D + 4;
        Hue /= 6;
        if (Hue < 0) Hue += 1;
    }
    H = int(rtl::Round(Hue * HueRange));
    S = int(rtl::Round(Sat * SatRange));
    L = int(rtl::Round(Lum * LumRange));
}

TColor HslRangedToColor(int H, int S, int L) {
    S = std::max(0, std::min(S, SatRange));
    L = std::max(0, std::min(L, LumRange));
    return HslToColor(double(H) / HueRange, double(S) / SatRange, double(L) / LumRange);
}

namespace {

int HueToChannel(double P, double Q, double X) {
    if (X < 0) X += 1;
    if (X > 1) X -= 1;
    double V;
    if (6 * X < 1)
        V = P + (Q - P) * 6 * X;
    else if (2 * X < 1)
        V = Q;
    else if (3 * X < 2)
        V = P + (Q - P) * 6 * (2.0 / 3 - X);
    else
        V = P;
    return int(rtl::Round(255 * V));
}

} // namespace

TColor HslToColor(double H, double S, double L) {
    if (S == 0) return MakeGrayColor(int(rtl::Round(L * 255)));
    const double Q = L <= 0.5 ? L * (1 + S) : L + S - L * S;
    const double P = 2 * L - Q;
    return MakeColor(HueToChannel(P, Q, H + 1.0 / 3), HueToChannel(P, Q, H), HueToChannel(P, Q, H - 1.0 / 3));
}

TColor ShiftColorHsl(TColor Color, int DeltaHue, int DeltaSat, int DeltaLum) {
    ResetHslRanges();
    int H, S, L;
    ColorToHslRanged(Color, H, S, L);
    H = ClampInt(H + DeltaHue, 0, 360);
    S = ClampInt(S + DeltaSat, 0, 100);
    L = ClampInt(L + DeltaLum, 0, 100);
    return HslRangedToColor(H, S, L);
}

namespace {

bool ReadHexColor(rtl::String Text, TColor& Color) {
    Text.remove(u' ');
    const qsizetype Prefix = Text.indexOf(QStringLiteral("0x"), 0, Qt::CaseInsensitive);
    if (Prefix >= 0) Text.remove(Prefix, 2);
    if (!Text.startsWith(u'$')) Text.prepend(u'$');
    int Value = 0;
    if (!rtl::TryStrToInt(Text, Value)) return false;
    Color = Value;
    return true;
}

bool ReadHtmlColor(rtl::String Text, TColor& Color) {
    Text.remove(u' ');
    Text.remove(u'#');
    if (Text.size() == 3) {
        const rtl::String Short = Text;
        Text.clear();
        for (QChar C : Short) Text += QString(2, C);
    }
    if (Text.size() != 6) return false;
    uint8_t R, G, B;
    if (!TryHexToByte(Text.mid(0, 2), R) || !TryHexToByte(Text.mid(2, 2), G) ||
        !TryHexToByte(Text.mid(4, 2), B))
        return false;
    Color = MakeColor(R, G, B);
    return true;
}

bool ReadRgbColor(rtl::String Text, TColor& Color) {
    Text.replace(QStringLiteral("   "), QStringLiteral(" "));
    Text.replace(QStringLiteral("  "), QStringLiteral(" "));
    Text.replace(u' ', u',');
    Text.replace(QStringLiteral(",,"), QStringLiteral(","));
    Text.remove(QStringLiteral("rgb"), Qt::CaseInsensitive);
    Text.remove(u'(');
    Text.remove(u')');
    const qsizetype First = Text.indexOf(u',');
    if (First < 0) {
        uint8_t V;
        if (!TryTextToByte(Text, V)) return false;
        Color = MakeGrayColor(V);
        return true;
    }
    const qsizetype Second = Text.indexOf(u',', First + 1);
    if (Second < 0) return false;
    uint8_t R, G, B;
    if (!TryTextToByte(Text.left(First), R) || !TryTextToByte(Text.mid(First + 1, Second - First - 1), G) ||
        !TryTextToByte(Text.mid(Second + 1), B))
        return false;
    Color = MakeColor(R, G, B);
    return true;
}

bool HasHexLetter(const rtl::String& Text) {
    for (QChar C : Text) {
        const char16_t U = C.unicode();
        if ((U >= u'A' && U <= u'F') || (U >= u'a' && U <= u'f')) return true;
    }
    return false;
}

} // namespace

bool TryTextToColor(const rtl::String& Text, TColor& Color) {
    const rtl::String S = rtl::Trim(Text);
    if (S.isEmpty()) return false;
    if (S.startsWith(u'$')) return ReadHexColor(S, Color);
    if (S.startsWith(u'#')) return ReadHtmlColor(S, Color);
    if (HasHexLetter(S)) return ReadHexColor(S, Color);
    if (S.contains(u',') || S.contains(u' ')) return ReadRgbColor(S, Color);
    if (IsValidIntText(S, true)) return ReadHexColor(S, Color);
    return false;
}

} // namespace base
