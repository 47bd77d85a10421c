// components/PngButtonColorMaps.cpp
#include "components/PngButtonColorMaps.h"

#include "base/Colors.h"

#include <array>

namespace components {

namespace {

// The maps in record order: default-button frame, focus rectangle, then per state (Normal, Hot, Down,
// Focused, Disabled) frame, caption, background, bottom gradient from and to, upper gradient from and to.
struct TFullMap {
    int Number;
    vcl::TColor Colors[37];
};

const TFullMap FullMaps[] = {
    {1, {0xD0AA24, 0xD0AA24,
         0x707070, 0x000000, 0xF3F3F3, 0xDDDDDD, 0xCFCFCF, 0xF1F1F1, 0xEBEBEB,
         0xB17F3C, 0x000000, 0xFCF5E8, 0xFDE6BE, 0xF5D9A7, 0xFDF6EA, 0xFCF0D9,
         0x59401E, 0x000000, 0xF1E2C5, 0xEFD198, 0xDFB972, 0xFCF4E5, 0xF6E5C4,
         0xD0AA24, 0x000000, 0xF3F3F3, 0xDDDDDD, 0xCFCFCF, 0xF1F1F1, 0xEBEBEB,
         0xB5B2AD, 0xA0A0A0, 0xF4F4F4, 0xF4F4F4, 0xF4F4F4, 0xF4F4F4, 0xF4F4F4}},
    {16, {0xD0AA24, 0xB59E7A,
         0x9C9C9C, 0x000000, 0xFDFDFD, 0xE0E0E0, 0xF4F4F4, 0xF9F9F9, 0xEAEAEA,
         0xB59F7B, 0x000000, 0xFAF3DF, 0xE4BA74, 0xF0C885, 0xF5E3BC, 0xEFC983,
         0xB19B74, 0x000000, 0xE6C18B, 0xD3A560, 0xE6B770, 0xEDD1A4, 0xE3B065,
         0xB59E7A, 0x000000, 0xF9EDBF, 0xE2B264, 0xF7DB9C, 0xF7E7BB, 0xEEC374,
         0xB1B1B1, 0x939393, 0xE6E6E6, 0xC3C3C3, 0xCCCCCC, 0xDFDFDF, 0xCBCBCB}},
    {17, {0x000000, 0x000000,
         0x000000, 0xFFFFFF, 0x777777, 0x5E5E5E, 0x555555, 0x6B6B6B, 0x606060,
         0x0C0C0C, 0x000000, 0x66DFFC, 0x35D6FE, 0x3DCCED, 0x38D9FF, 0x36D9FF,
         0x0C0C0C, 0x000000, 0x249EBD, 0x35D6FE, 0x3CCCEF, 0x38D9FF, 0x36D9FF,
         0x0C0C0C, 0x000000, 0x66DFFC, 0x35D6FE, 0x3DCCED, 0x38D9FF, 0x36D9FF,
         0x000000, 0x939393, 0x454545, 0x393939, 0x393939, 0x393939, 0x393939}},
    {18, {0x7A6124, 0x7A6124,
         0x191919, 0xC0C0C0, 0x4E4E4E, 0x3B3B3B, 0x313131, 0x434343, 0x3B3B3B,
         0x191919, 0xFFFFFF, 0x5D5D5D, 0x3F3F3F, 0x353535, 0x474747, 0x3F3F3F,
         0x191919, 0xFFFFFF, 0x4D4D4D, 0x3D3D3D, 0x484848, 0x373737, 0x3D3D3D,
         0x191919, 0xFFFFFF, 0x7A6124, 0x3F3F3F, 0x363636, 0x474747, 0x3F3F3F,
         0x2C2C2C, 0x808080, 0x3C3C3C, 0x363636, 0x303030, 0x3C3C3C, 0x363636}},
    {19, {0x5D5D5D, 0x535353,
         0x272727, 0xA3A3A3, 0x5D5D5D, 0x282828, 0x282828, 0x404040, 0x282828,
         0x222222, 0xFFFFFF, 0x5D5D5D, 0x1F1F1F, 0x1F1F1F, 0x323232, 0x1F1F1F,
         0x222222, 0xFFFFFF, 0x414141, 0x141414, 0x202020, 0x141414, 0x141414,
         0x222222, 0xFFFFFF, 0x535353, 0x1F1F1F, 0x1F1F1F, 0x323232, 0x1F1F1F,
         0x2F2F2F, 0x808080, 0x5B5B5B, 0x393939, 0x393939, 0x4C4C4C, 0x393939}},
    {20, {0x42220F, 0x42220F,
         0x281A11, 0xC0C0C0, 0x6F472D, 0x2D1C11, 0x523625, 0x735B4D, 0x453121,
         0x42220F, 0xFFFFFF, 0x8F4B23, 0x4C250F, 0x95451A, 0xAF8569, 0x6E4527,
         0x42220F, 0xFFFFFF, 0x743E1D, 0x34190A, 0x894614, 0x7E5E45, 0x4C301B,
         0x42220F, 0xFFFFFF, 0x8F4B23, 0x4C250F, 0x95451A, 0xAF8569, 0x6E4527,
         0x352F28, 0x414141, 0x1C1A17, 0x1C1816, 0x413630, 0x59534F, 0x2D2926}},
    {23, {0x000000, 0x000000,
         0x000000, 0xFFFFFF, 0x464646, 0x111111, 0x2C2C2C, 0x4B4B4B, 0x393939,
         0x000000, 0xFFFFFF, 0xAC917D, 0x885426, 0xE9904D, 0xA38871, 0x9E7352,
         0x000000, 0xFFFFFF, 0x8D786B, 0x5A3517, 0xC36B37, 0x7A6452, 0x75543C,
         0x000000, 0xFFFFFF, 0xAC917D, 0x885426, 0xE9904D, 0xA38871, 0x9E7352,
         0x1C1C1C, 0x808080, 0x323232, 0x1F1F1F, 0x252525, 0x303030, 0x292929}},
    {25, {0xD39B32, 0xB99F7E,
         0xC2AF94, 0x000000, 0xF5F5F5, 0xE3E3E3, 0xE9E9E9, 0xFDFDFD, 0xE7E7E7,
         0xB99F7E, 0x000000, 0xEAD9B9, 0xDCC399, 0xE2CDA9, 0xE9DAB9, 0xDDC59B,
         0xB99F7E, 0x000000, 0xF1E2C5, 0xE2CCA5, 0xE9DBBA, 0xDCC499, 0xDEC8A2,
         0xB99F7E, 0x000000, 0xEEE1C1, 0xDBC298, 0xE2CDA9, 0xE9DAB9, 0xDBC298,
         0xA1A1A1, 0x939393, 0xE9E9E9, 0xD9D9D9, 0xDBDBDB, 0xEEEEEE, 0xD9D9D9}},
    {26, {0x323232, 0x323232,
         0x2A2A2A, 0xFFFFFF, 0x343434, 0x303030, 0x252525, 0x3B3B3B, 0x313131,
         0x323232, 0xF8E9CE, 0x3E3E3E, 0x3C3C3C, 0x292929, 0x4D4D4D, 0x3D3D3D,
         0x161616, 0xF8E9CE, 0x0E0E0E, 0x282828, 0x212121, 0x1D1D1D, 0x282828,
         0x2A2A2A, 0xF8E9CE, 0x685F3E, 0x323232, 0x252525, 0x3B3B3B, 0x333333,
         0x2A2A2A, 0x535353, 0x343434, 0x303030, 0x252525, 0x3B3B3B, 0x313131}},
    {28, {0xEC8F13, 0xDEB599,
         0xDEB599, 0x000000, 0xF4E7DA, 0xEAD1BD, 0xF4DECC, 0xF0DCC9, 0xF6DDC9,
         0xDEB599, 0x000000, 0xD7F7FF, 0x48D0FF, 0x9BE4FF, 0xD5F7FE, 0xAEE7FA,
         0xDEB599, 0x000000, 0x699BD5, 0x349FEC, 0x40ADF0, 0x71C1F7, 0x5DB4EF,
         0xDEB599, 0x000000, 0xD7F7FF, 0x48D0FF, 0x9BE4FF, 0xD5F7FE, 0xAEE7FA,
         0xE7CAB6, 0x939393, 0xF7EEE5, 0xEFDDCF, 0xF7E7DB, 0xF4E6D8, 0xF9E7D8}},
    {35, {0xE99E43, 0xB29678,
         0xABABAB, 0x000000, 0xF5F5F5, 0xE7E7E7, 0xE9E9E9, 0xFDFDFD, 0xE7E7E7,
         0xB29678, 0x000000, 0xF0E3CA, 0xE2C59A, 0xEBD8B6, 0xF0E3C8, 0xE2C59A,
         0xB29678, 0x000000, 0xEEDDC1, 0xE3C9A0, 0xF1E4CA, 0xE3C99F, 0xE3C9A0,
         0xB29678, 0x000000, 0xF0E3CA, 0xE2C59A, 0xEBD8B6, 0xF0E3C8, 0xE2C59A,
         0xA1A1A1, 0x808080, 0xE6E6E6, 0xD4D4D4, 0xDBDBDB, 0xEEEEEE, 0xD4D4D4}},
};

// The other maps are known by their resting background, caption and frame; their other states are
// shades of these that keep the caption readable.
struct TShortMap {
    int Number;
    vcl::TColor Color, FontColor, BorderColor;
};

const TShortMap ShortMaps[] = {
    {2, 0xF3F3F3, 0x000000, 0x707070}, // cmtAeroMod1
    {3, 0x1E1E1E, 0xCDCDCD, 0x363636}, // cmtBlack
    {4, 0x815607, 0xD7CDB9, 0x342303}, // cmtBlueVeryDark
    {5, 0xFCECCF, 0x251A03, 0xF3C878}, // cmtBlue
    {6, 0xDFDFDF, 0x000000, 0x6C6C6C}, // cmtGray
    {7, 0xD1D1D1, 0x000000, 0x5F5F5F}, // cmtGrayDark
    {8, 0x818181, 0xEAEAEA, 0x484848}, // cmtGrayVeryDark
    {9, 0xDFDFDF, 0x000000, 0x6C6C6C}, // cmtGray_Blue
    {10, 0xDFDFDF, 0x000000, 0x6C6C6C}, // cmtGray_Yellow
    {11, 0xBDDDCC, 0x000000, 0x4A8E6C}, // cmtGreenDark
    {12, 0x406050, 0xC0D1C7, 0x263C31}, // cmtGreenVeryDark
    {13, 0xCDE0D0, 0x000000, 0x89B68E}, // cmtGreen
    {14, 0x000000, 0xFFFFFF, 0xFFFFFF}, // cmtHighContrastBlack
    {15, 0xFFFFFF, 0x000000, 0x000000}, // cmtHighContrastWhite
    {21, 0x006DD8, 0xFFFFFF, 0xD5CDD3}, // cmtVclCoral
    {22, 0x7DA500, 0xFFFFFF, 0xC7CBCB}, // cmtVclEmerald
    {24, 0x58C1F8, 0xEAEAEA, 0x043E5C}, // cmtVclGoldenGraphite
    {27, 0xFDFDFD, 0x000000, 0xABABAB}, // cmtVclLight
    {29, 0x1A1A1A, 0xC0C0C0, 0xFFFFFF}, // cmtVclMetropolisUIBlack
    {30, 0x1A1A1A, 0xC0C0C0, 0xFFFFFF}, // cmtVclMetropolisUIDark
    {31, 0xA97313, 0xFFFFFF, 0xFFFFFF}, // cmtVclMetropolisUIBlue
    {32, 0x376C09, 0xFFFFFF, 0xFFFFFF}, // cmtVclMetropolisUIGreen
    {33, 0x6868F9, 0xEAEAEA, 0x04045C}, // cmtVclRubyGraphite
    {34, 0xF1F1F1, 0x000000, 0xC8BEB9}, // cmtVclSilver
    {36, 0xF4F4F4, 0x000000, 0xD3D3D3}, // cmtVclTurquoiseGray
};

vcl::TColor Shade(vcl::TColor Color, int Percent, bool Lighter) { return base::ChangeColorByPercent(Color, Percent, Lighter); }

int Luma(vcl::TColor Color) { return (Color & 0xFF) * 299 + ((Color >> 8) & 0xFF) * 587 + ((Color >> 16) & 0xFF) * 114; }

// Each channel of From moved Percent of the way to To.
vcl::TColor Toward(vcl::TColor From, vcl::TColor To, int Percent) {
    int c[3];
    for (int i = 0; i < 3; ++i) {
        const int f = (From >> (8 * i)) & 0xFF, t = (To >> (8 * i)) & 0xFF;
        c[i] = f + (t - f) * Percent / 100;
    }
    return base::MakeColor(c[0], c[1], c[2]);
}

TKwpPngButtonStateColors StateOf(vcl::TColor Border, vcl::TColor Font, vcl::TColor Color) {
    // A light band above a slightly darker one, as the full maps draw it.
    return {Border, Font, Color, Shade(Color, 6, false), Shade(Color, 10, false), Shade(Color, 4, true), Color};
}

TKwpPngButtonColorMap FromShort(const TShortMap& M) {
    // Hot and pressed move the background away from the text colour, so the caption keeps its contrast.
    const bool lighter = Luma(M.FontColor) < Luma(M.Color);
    const vcl::TColor hot = Shade(M.Color, 15, lighter);
    const vcl::TColor down = Shade(M.Color, 25, lighter);
    const vcl::TColor accent = Shade(M.BorderColor, 30, Luma(M.Color) < 128000);
    TKwpPngButtonColorMap map;
    map.BorderWhenDefaultColor = accent;
    map.FocusRectColor = accent;
    map.Normal = StateOf(M.BorderColor, M.FontColor, M.Color);
    map.Hot = StateOf(accent, M.FontColor, hot);
    map.Down = StateOf(Shade(accent, 30, false), M.FontColor, down);
    map.Focused = StateOf(accent, M.FontColor, M.Color);
    // Disabled: the caption a third of the way to the background, still apart from it.
    map.Disabled = StateOf(Toward(M.BorderColor, M.Color, 40), Toward(M.FontColor, M.Color, 30), M.Color);
    return map;
}

std::array<TKwpPngButtonColorMap, PredefinedColorMapCount + 1> BuildMaps() {
    std::array<TKwpPngButtonColorMap, PredefinedColorMapCount + 1> maps{};
    for (const TFullMap& m : FullMaps) {
        const vcl::TColor* c = m.Colors;
        TKwpPngButtonColorMap& map = maps[size_t(m.Number)];
        map.BorderWhenDefaultColor = c[0];
        map.FocusRectColor = c[1];
        TKwpPngButtonStateColors* states[] = {&map.Normal, &map.Hot, &map.Down, &map.Focused, &map.Disabled};
        for (int s = 0; s < 5; ++s) {
            const vcl::TColor* v = c + 2 + 7 * s;
            *states[s] = {v[0], v[1], v[2], v[3], v[4], v[5], v[6]};
        }
    }
    for (const TShortMap& m : ShortMaps) maps[size_t(m.Number)] = FromShort(m);
    return maps;
}

const std::array<TKwpPngButtonColorMap, PredefinedColorMapCount + 1>& PredefinedColorMaps() {
    static const auto maps = BuildMaps();
    return maps;
}

} // namespace

void GetPredefinedColorMap(TKwpPngButtonColorMapType ColorMapType, TKwpPngButtonColorMap& ColorMap) {
    if (ColorMapType >= 1 && ColorMapType <= PredefinedColorMapCount) ColorMap = PredefinedColorMaps()[ColorMapType];
}

} // namespace components
