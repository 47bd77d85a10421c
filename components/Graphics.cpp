// components/Graphics.cpp
#include "components/Graphics.h"

#include "rtl/Math.h"
#include "rtl/Streams.h"

#include <cmath>

namespace components {

namespace {

// The routines below read rows as blue, green, red triples; only true-colour rows are laid out so.
bool HasColourTriples(vcl::TPngImage* Png) {
    const uint8_t type = Png->Header().ColorType;
    return type == vcl::COLOR_RGB || type == vcl::COLOR_RGBALPHA;
}

template <class F> void ForEachTriple(vcl::TPngImage* Png, F Apply) {
    for (int y = 0; y < Png->Height(); ++y) {
        uint8_t* row = Png->Scanline(y);
        for (int x = 0; x < Png->Width(); ++x) Apply(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    }
    Png->SetModified(true);
}

} // namespace

void BlendPixelToGray(uint8_t& Red, uint8_t& Green, uint8_t& Blue, uint8_t Amount) {
    const int gray = (77 * Red + 150 * Green + 29 * Blue) >> 8;
    auto blend = [gray, Amount](uint8_t& c) { c = static_cast<uint8_t>((gray * Amount + c * (255 - Amount) + 128) >> 8); };
    blend(Red);
    blend(Green);
    blend(Blue);
}

void BlendPngToGray(vcl::TPngImage* Png, uint8_t Amount) {
    if (Amount == 0 || Png->Empty() || !HasColourTriples(Png)) return;
    ForEachTriple(Png, [Amount](uint8_t& r, uint8_t& g, uint8_t& b) { BlendPixelToGray(r, g, b, Amount); });
}

bool CopyPngImage(vcl::TPngImage* Source, vcl::TPngImage* Dest) {
    if (!Source || !Dest || Source->Empty() || Source->Width() < 1 || Source->Height() < 1) return false;
    rtl::TMemoryStream stream;
    Source->SaveToStream(&stream);
    stream.SetPosition(0);
    Dest->LoadFromStream(&stream);
    return true;
}

bool GammaCorrectPng(vcl::TPngImage* Png, float Gamma) {
    if (Gamma == 1.0f || Png->Empty() || !HasColourTriples(Png)) return false;
    if (Gamma < 0.1f) Gamma = 0.1f;
    uint8_t table[256];
    table[0] = 0;
    for (int i = 1; i < 256; ++i) {
        const double v = std::min(255.0, 255.0 * std::pow(i / 255.0, 1.0 / Gamma));
        table[i] = static_cast<uint8_t>(rtl::Round(v));
    }
    ForEachTriple(Png, [&table](uint8_t& r, uint8_t& g, uint8_t& b) {
        r = table[r];
        g = table[g];
        b = table[b];
    });
    return true;
}

} // namespace components
