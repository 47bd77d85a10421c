// styling/hooks/StyleGraphics.cpp
#include "styling/hooks/StyleGraphics.h"

#include "rtl/Math.h"

#include <cmath>
#include <memory>

namespace styling {

using namespace vcl;

namespace {

// The RGB of a class-library colour as a COLORREF (system colours resolved).
COLORREF Ref(TColor Color) { return COLORREF(ColorToRGB(Color)) & 0xFFFFFF; }

// Calls Pixel(b, g, r, a) on every pixel of a 32-bit bitmap; other formats are skipped.
template <typename F> void ForEachPixel(TBitmap* Bitmap, F Pixel) {
    if (!Bitmap || Bitmap->PixelFormat() != pf32bit) return;
    for (int y = 0; y < Bitmap->Height(); ++y) {
        auto* p = static_cast<uint8_t*>(Bitmap->ScanLine(y));
        for (int x = 0; x < Bitmap->Width(); ++x, p += 4) Pixel(p[0], p[1], p[2], p[3]);
    }
}

// Selects a pen and a brush for the lifetime of the scope, on a DC whose state is saved.
struct SavedDC {
    HDC DC;
    int Saved;
    explicit SavedDC(HDC ADC) : DC(ADC), Saved(SaveDC(ADC)) {}
    ~SavedDC() { RestoreDC(DC, Saved); }
};

struct GdiObject {
    HGDIOBJ Handle;
    explicit GdiObject(HGDIOBJ H) : Handle(H) {}
    ~GdiObject() {
        if (Handle) DeleteObject(Handle);
    }
};

} // namespace

void SplitRGB(TColor Color, uint8_t& R, uint8_t& G, uint8_t& B) {
    const COLORREF c = Ref(Color);
    R = GetRValue(c);
    G = GetGValue(c);
    B = GetBValue(c);
}

bool IsLightColor(TColor Color) {
    uint8_t r, g, b;
    SplitRGB(Color, r, g, b);
    return 1 - (0.299 * r + 0.587 * g + 0.114 * b) / 255 < 0.5;
}

int ClampByte(int Value) { return Value > 255 ? 255 : Value < 0 ? 0 : Value; }

void FillBitmapColor(TBitmap* Bitmap, uint8_t Alpha, TColor Color) {
    uint8_t r, g, b;
    SplitRGB(Color, r, g, b);
    ForEachPixel(Bitmap, [&](uint8_t& pb, uint8_t& pg, uint8_t& pr, uint8_t& pa) {
        pb = b, pg = g, pr = r, pa = Alpha;
    });
}

void SetBitmapAlpha(TBitmap* Bitmap, uint8_t Alpha, TColor KeyColor) {
    uint8_t r, g, b;
    SplitRGB(KeyColor, r, g, b);
    ForEachPixel(Bitmap, [&](uint8_t& pb, uint8_t& pg, uint8_t& pr, uint8_t& pa) {
        if (pb != b || pg != g || pr != r) pa = Alpha;
    });
}

void GrayscaleBitmap(TBitmap* Bitmap) {
    ForEachPixel(Bitmap, [](uint8_t& pb, uint8_t& pg, uint8_t& pr, uint8_t&) {
        const auto v = uint8_t(std::nearbyint(0.299 * pr + 0.587 * pg + 0.114 * pb)); // halves to even
        pb = pg = pr = v;
    });
}

uint32_t DarkenFilter(uint32_t Colour, uint32_t Amount) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int c = int((Colour >> shift) & 0xFF);
        out |= uint32_t(ClampByte(c - (c * int(Amount)) / 255)) << shift;
    }
    return out;
}

uint32_t ColorBurnFilter(uint32_t Colour, uint32_t Top) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int b = int((Colour >> shift) & 0xFF), t = int((Top >> shift) & 0xFF);
        out |= uint32_t(t == 0 ? 0 : ClampByte(255 - ((255 - b) * 256) / t)) << shift;
    }
    return out;
}

void ApplyBitmapFilter(TBitmap* Bitmap, uint32_t Value, TBitmapFilter Filter) {
    // A bitmap of another depth would be walked with the wrong pixel size: it is left alone.
    ForEachPixel(Bitmap, [&](uint8_t& pb, uint8_t& pg, uint8_t& pr, uint8_t&) {
        const uint32_t c = Filter(uint32_t(pr) | uint32_t(pg) << 8 | uint32_t(pb) << 16, Value);
        pr = uint8_t(c), pg = uint8_t(c >> 8), pb = uint8_t(c >> 16);
    });
}

void DarkenBitmap(TBitmap* Bitmap, uint8_t Amount) { ApplyBitmapFilter(Bitmap, Amount, &DarkenFilter); }

void RotateBitmap(TBitmap* Bitmap, float Angle, bool AdjustSize, TColor BackColor) {
    if (!Bitmap || Bitmap->Empty()) return;
    const double c = std::cos(Angle), s = std::sin(Angle);
    const int w = Bitmap->Width(), h = Bitmap->Height();
    auto turned = std::make_unique<TBitmap>();
    turned->SetPixelFormat(Bitmap->PixelFormat());
    turned->SetTransparentColor(Bitmap->TransparentColor());
    turned->SetTransparentMode(Bitmap->TransparentMode());
    turned->SetTransparent(Bitmap->Transparent());
    turned->Canvas()->Brush()->SetColor(BackColor);
    int nw = w, nh = h;
    if (AdjustSize) {
        nw = int(rtl::Round(w * std::fabs(c) + h * std::fabs(s)));
        nh = int(rtl::Round(w * std::fabs(s) + h * std::fabs(c)));
    }
    turned->SetSize(nw, nh);
    turned->Canvas()->FillRect(Rect(0, 0, nw, nh));
    const XFORM x{FLOAT(c), FLOAT(s), FLOAT(-s), FLOAT(c), FLOAT((nw - w * c + h * s) / 2),
                  FLOAT((nh - w * s - h * c) / 2)};
    HDC dc = turned->Canvas()->Handle();
    const int saved = SaveDC(dc);
    SetGraphicsMode(dc, GM_ADVANCED);
    SetWorldTransform(dc, &x);
    // The whole source goes through the transform (a W' x H' piece of it would cut a quarter turn short).
    BitBlt(dc, 0, 0, w, h, Bitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
    RestoreDC(dc, saved);
    Bitmap->Assign(turned.get());
}

void FillRectColor(HDC DC, const TRect& R, TColor Color) {
    GdiObject brush(CreateSolidBrush(Ref(Color)));
    const RECT r = R;
    FillRect(DC, &r, HBRUSH(brush.Handle));
}

void FrameRectColor(HDC DC, const TRect& R, TColor Color) {
    SavedDC saved(DC);
    GdiObject pen(CreatePen(PS_SOLID, 1, Ref(Color)));
    SelectObject(DC, pen.Handle);
    SelectObject(DC, GetStockObject(NULL_BRUSH));
    Rectangle(DC, R.Left, R.Top, R.Left + R.Width(), R.Top + R.Height());
    SelectObject(DC, GetStockObject(BLACK_PEN)); // the pen is freed before the DC is restored
}

void AlphaFillRect(HDC DC, TColor Color, const TRect& R, uint8_t Alpha) {
    if (R.IsEmpty()) return;
    TBitmap fill(R.Width(), R.Height());
    fill.SetPixelFormat(pf32bit);
    fill.Canvas()->Brush()->SetColor(Color);
    fill.Canvas()->FillRect(Rect(0, 0, R.Width(), R.Height()));
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, Alpha, 0};
    AlphaBlend(DC, R.Left, R.Top, R.Width(), R.Height(), fill.Canvas()->Handle(), 0, 0, R.Width(), R.Height(),
               blend);
}

void AlphaFillRect(TCanvas* Canvas, TColor Color, const TRect& R, uint8_t Alpha) {
    AlphaFillRect(Canvas->Handle(), Color, R, Alpha);
}

void AlphaFrameRect(HDC DC, TColor Color, const TRect& R, uint8_t Alpha) {
    AlphaFillRect(DC, Color, R, Alpha);
    FrameRectColor(DC, R, Color);
}

void DrawStyleArrow(HDC DC, TStyleArrowDirection Direction, const TPoint& Location, int Size, TColor Color) {
    static constexpr POINT Patterns[4][3] = {
        {{1, 0}, {0, 1}, {1, 2}}, // left
        {{0, 0}, {1, 1}, {0, 2}}, // right
        {{0, 1}, {1, 0}, {2, 1}}, // up
        {{0, 0}, {1, 1}, {2, 0}}, // down
    };
    POINT pts[3];
    for (int i = 0; i < 3; ++i) {
        const POINT& p = Patterns[int(Direction)][i];
        pts[i] = POINT{Location.X + Size * p.x, Location.Y + Size * p.y};
    }
    SavedDC saved(DC);
    GdiObject pen(CreatePen(PS_SOLID, 1, Ref(Color)));
    GdiObject brush(CreateSolidBrush(Ref(Color)));
    SelectObject(DC, pen.Handle);
    SelectObject(DC, brush.Handle);
    Polygon(DC, pts, 3);
    SelectObject(DC, GetStockObject(BLACK_PEN));
    SelectObject(DC, GetStockObject(WHITE_BRUSH));
}

void DrawDropDownArrow(HDC DC, const TRect& R, TColor Color) {
    SavedDC saved(DC);
    GdiObject pen(CreatePen(PS_SOLID, 1, Ref(Color)));
    SelectObject(DC, pen.Handle);
    const int mid = R.Top + R.Height() / 2;
    for (int n = 3; n >= 0; --n) {
        const int y = mid - n + 1;
        MoveToEx(DC, R.Right - n - 8, y, nullptr);
        LineTo(DC, R.Right + n - 7, y);
    }
    SelectObject(DC, GetStockObject(BLACK_PEN));
}

void DrawStyleElement(HDC DC, const TThemedElementDetails& Details, const TRect& R, bool SaveState,
                      TCustomStyleServices* Style) {
    if (!Style) Style = TStyleManager::ActiveStyle();
    if (!Style) return;
    const int saved = SaveState ? SaveDC(DC) : 0;
    Style->DrawElement(DC, Details, R, nullptr, 0);
    if (SaveState) RestoreDC(DC, saved);
}

void EraseParentBackground(HWND Window, HDC DC, const TRect& R) {
    if (!Window || R.IsEmpty()) return;
    HWND parent = GetParent(Window);
    if (!parent) return;
    TBitmap back(R.Width(), R.Height());
    back.SetPixelFormat(pf32bit);
    HDC bdc = back.Canvas()->Handle();
    // The parent paints in its own coordinates: the bitmap's origin is R's corner seen from the parent.
    POINT corner{R.Left, R.Top};
    MapWindowPoints(Window, parent, &corner, 1);
    const int saved = SaveDC(bdc);
    SetWindowOrgEx(bdc, corner.x, corner.y, nullptr);
    SendMessageW(parent, WM_ERASEBKGND, WPARAM(bdc), 0);
    RestoreDC(bdc, saved);
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), bdc, 0, 0, SRCCOPY);
}

} // namespace styling
