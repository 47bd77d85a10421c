// components/Gradient.cpp
#include "components/Gradient.h"

#include "rtl/Math.h"

#include <cmath>
#include <memory>

namespace components {

namespace {

struct TRgb {
    int R = 0, G = 0, B = 0;
};

TRgb Channels(TColor Color) {
    const TColor c = vcl::ColorToRGB(Color);
    return TRgb{c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF};
}

TColor Compose(int R, int G, int B) {
    return static_cast<uint8_t>(R) | (static_cast<uint8_t>(G) << 8) | (static_cast<uint8_t>(B) << 16);
}

int Diagonal(const TRect& R) {
    const double w = R.Width(), h = R.Height();
    return static_cast<int>(rtl::Round(std::sqrt(w * w + h * h)));
}

// Linear bands along one axis; the band i runs to MulDiv(i + 1, extent, n), so the last band (the
// one in exactly the end colour) is left with no extent.
void DrawStepGradient(TCanvas* Canvas, const TRect& ARect, TColor ColorFrom, TColor ColorTo, uint8_t Bands,
                      bool Vertical) {
    const TRgb from = Channels(ColorFrom), to = Channels(ColorTo);
    const int dr = to.R - from.R, dg = to.G - from.G, db = to.B - from.B;
    const int extent = Vertical ? ARect.Height() : ARect.Width();
    const int start = Vertical ? ARect.Top : ARect.Left;
    const int end = Vertical ? ARect.Bottom : ARect.Right;
    int n = Bands;
    if (extent < n) n = extent;
    if (n <= 0) return;
    int edge = start;
    for (int i = 1; i <= n; ++i) {
        const int next = i == n ? end : start + rtl::MulDiv(i + 1, extent, n);
        Canvas->Brush()->SetColor(Compose(from.R + rtl::MulDiv(i, dr, n), from.G + rtl::MulDiv(i, dg, n),
                                          from.B + rtl::MulDiv(i, db, n)));
        if (Vertical)
            Canvas->FillRect(TRect(ARect.Left, edge, ARect.Right, next));
        else
            Canvas->FillRect(TRect(edge, ARect.Top, next, ARect.Bottom));
        edge = next;
    }
}

} // namespace

void DrawCentred(TCanvas* Canvas, const TRect& ARect, TBitmap* Bitmap, bool ClipRect) {
    HRGN region = nullptr;
    if (ClipRect) {
        region = CreateRectRgn(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom);
        POINT origin{};
        GetWindowOrgEx(Canvas->Handle(), &origin);
        OffsetRgn(region, -origin.x, -origin.y);
        SelectClipRgn(Canvas->Handle(), region);
    }
    struct TClipRelease {
        TCanvas* Canvas;
        HRGN Region;
        ~TClipRelease() {
            if (!Region) return;
            SelectClipRgn(Canvas->Handle(), nullptr);
            DeleteObject(Region);
        }
    } release{Canvas, region};
    Canvas->Draw(ARect.Left + (ARect.Width() - Bitmap->Width()) / 2,
                 ARect.Top + (ARect.Height() - Bitmap->Height()) / 2, Bitmap);
}

namespace {

void SizeWorkBitmap(TBitmap* Bitmap, int D) {
    if (Bitmap->Width() != D || Bitmap->Height() != D) Bitmap->SetSize(D, D);
}

// The angle form: a left-to-right gradient painted by Paint on a D x D bitmap, turned and centred.
template <class F>
void DrawAngle(TCanvas* Canvas, const TRect& ARect, uint16_t AngleDegree, bool ClipRect, TBitmap* Bitmap, F Paint) {
    std::unique_ptr<TBitmap> own;
    if (!Bitmap) {
        own = std::make_unique<TBitmap>();
        Bitmap = own.get();
    }
    try {
        const int d = Diagonal(ARect);
        SizeWorkBitmap(Bitmap, d);
        Paint(Bitmap->Canvas(), d);
        RotateBitmapPlg(Bitmap, AngleDegree);
        DrawCentred(Canvas, ARect, Bitmap, ClipRect);
    } catch (...) {
        // A gradient that cannot be turned leaves the target as it was; painting must not fail.
    }
}

TRect CollapsedToCentre(const TRect& R) {
    return ScaleRectAboutCentre(R, -1);
}

} // namespace

double DegToRad(double Degrees) {
    return Degrees * rtl::Pi / 180.0;
}

TRect ScaleRectAboutCentre(const TRect& R, double Factor) {
    TRect result = R;
    const int dx = static_cast<int>(rtl::Round(R.Width() * Factor)) / 2;
    const int dy = static_cast<int>(rtl::Round(R.Height() * Factor)) / 2;
    result.Inflate(dx, dy);
    return result;
}

TRect GrowRectAroundRect(const TRect& Inner, const TRect& Outer) {
    const int g = std::max({std::abs(Inner.Left - Outer.Left), std::abs(Inner.Top - Outer.Top),
                            std::abs(Inner.Right - Outer.Right), std::abs(Inner.Bottom - Outer.Bottom)});
    TRect result = Inner;
    result.Inflate(g, g);
    return result;
}

TRect InterpolateRect(const TRect& Outer, const TRect& Inner, double Fraction) {
    auto edge = [Fraction](int o, int i) { return o + static_cast<int>(rtl::Round((i - o) * Fraction)); };
    return TRect(edge(Outer.Left, Inner.Left), edge(Outer.Top, Inner.Top), edge(Outer.Right, Inner.Right),
                 edge(Outer.Bottom, Inner.Bottom));
}

void DrawStepGradientV(TCanvas* Canvas, TRect ARect, TColor ColorFrom, TColor ColorTo, uint8_t Bands) {
    DrawStepGradient(Canvas, ARect, ColorFrom, ColorTo, Bands, true);
}

void DrawStepGradientH(TCanvas* Canvas, TRect ARect, TColor ColorFrom, TColor ColorTo, uint8_t Bands) {
    DrawStepGradient(Canvas, ARect, ColorFrom, ColorTo, Bands, false);
}

void RotateBitmapPlg(TBitmap* Bitmap, double AngleDegree) {
    const float t = static_cast<float>(DegToRad(AngleDegree));
    const float cosT = std::cos(t), sinT = std::sin(t);
    const double w = Bitmap->Width(), h = Bitmap->Height();
    const double x0 = (w - w * cosT + h * sinT) / 2;
    const double y0 = (h - w * sinT - h * cosT) / 2;
    auto nearest = [](double v) { return static_cast<LONG>(rtl::Round(v)); };
    const POINT corners[3] = {{nearest(x0), nearest(y0)},
                              {nearest(x0 + w * cosT), nearest(y0 + w * sinT)},
                              {nearest(x0 - h * sinT), nearest(y0 + h * cosT)}};
    // Through a copy: a blit of a canvas onto itself would read pixels it has already turned.
    TBitmap source;
    source.Assign(Bitmap);
    PlgBlt(Bitmap->Canvas()->Handle(), corners, source.Canvas()->Handle(), 0, 0, Bitmap->Width(), Bitmap->Height(),
           nullptr, 0, 0);
}

void DrawRotatedGradient(TCanvas* Canvas, TRect ARect, TColor ColorFrom, TColor ColorTo, uint8_t Bands,
                         uint16_t AngleDegree, bool ClipRect, TBitmap* Bitmap) {
    DrawAngle(Canvas, ARect, AngleDegree, ClipRect, Bitmap, [&](TCanvas* Work, int D) {
        DrawStepGradientH(Work, TRect(0, 0, D, D), ColorFrom, ColorTo, Bands);
    });
}

void DrawConcentricGradient(TCanvas* Canvas, TRect Outer, TColor ColorFrom, TColor ColorTo, uint8_t Bands,
                            TRect Inner, int Shape) {
    const TRgb from = Channels(ColorFrom);
    const TRgb to = Channels(ColorTo);
    const int dr = to.R - from.R, dg = to.G - from.G, db = to.B - from.B;
    const int dx = std::abs(Outer.Width() - Inner.Width()) / 2;
    const int dy = std::abs(Outer.Height() - Inner.Height()) / 2;
    const int m = dx > dy ? dx : dy;
    const int n = m < Bands ? m + 1 : Bands;
    for (int i = 1; i <= n; ++i) {
        TRect band;
        TColor color;
        bool filled = Shape == 1;
        if (i == 1) {
            band = Outer;
            color = Compose(from.R, from.G, from.B);
        } else if (i == n) {
            band = Inner;
            color = Compose(to.R, to.G, to.B);
            if (Inner.Width() == 1 || Inner.Height() == 1) filled = true;
        } else {
            band = Outer;
            band.Inflate(-rtl::MulDiv(i - 1, dx, n), -rtl::MulDiv(i - 1, dy, n));
            color = Compose(from.R + rtl::MulDiv(i - 1, dr, n), from.G + rtl::MulDiv(i - 1, dg, n),
                            from.B + rtl::MulDiv(i - 1, db, n));
        }
        if (Shape != 0 && Shape != 1) continue;
        Canvas->Brush()->SetColor(color);
        if (filled) {
            Canvas->FillRect(band);
        } else {
            Canvas->Pen()->SetColor(color);
            Canvas->Ellipse(band);
        }
    }
}

void DrawGradientEx(TCanvas* Canvas, TRect ARect, TColor ColorFrom, TColor ColorTo, TDgradOrientation Orientation,
                    uint16_t Balance, uint16_t AngleDegree, TDgradBalanceMode BalanceMode, uint8_t MaxDegrade,
                    int32_t SpeedPercent, bool ClipRect, TBitmap* Bitmap) {
    auto fillFrom = [&] {
        Canvas->Brush()->SetColor(ColorFrom);
        Canvas->FillRect(ARect);
    };
    if (Balance == 50 && BalanceMode == bmNormal && SpeedPercent == 100) {
        switch (Orientation) {
        case dgdVertical: DrawStepGradientV(Canvas, ARect, ColorFrom, ColorTo, MaxDegrade); break;
        case dgdHorizontal: DrawStepGradientH(Canvas, ARect, ColorFrom, ColorTo, MaxDegrade); break;
        case dgdAngle:
            DrawRotatedGradient(Canvas, ARect, ColorFrom, ColorTo, MaxDegrade, AngleDegree, ClipRect, Bitmap);
            break;
        case dgdRadial: {
            const TRect inner = CollapsedToCentre(ARect);
            fillFrom();
            DrawConcentricGradient(Canvas, GrowRectAroundRect(inner, ARect), ColorFrom, ColorTo, MaxDegrade, inner, 0);
            break;
        }
        case dgdRectangle: {
            const TRect inner = CollapsedToCentre(ARect);
            fillFrom();
            DrawConcentricGradient(Canvas, ARect, ColorFrom, ColorTo, MaxDegrade, inner, 1);
            break;
        }
        }
        return;
    }

    const uint8_t s1 = static_cast<uint8_t>(rtl::MulDiv(MaxDegrade, Balance, 100));
    const uint8_t s2 = static_cast<uint8_t>(MaxDegrade - s1);
    TColor mid1 = ColorFrom, mid2 = ColorTo;
    if (BalanceMode != bmMirror) {
        const TRgb from = Channels(ColorFrom), to = Channels(ColorTo);
        // Below speed 50 a mid channel can leave 0..255; it is held at the nearer end rather than
        // wrapped round into an unrelated colour.
        auto mid = [SpeedPercent](int f, int t, int sign) {
            const int d = rtl::MulDiv(t - f, SpeedPercent - 50, 100);
            return std::clamp(sign > 0 ? f + d : t - d, 0, 255);
        };
        mid1 = Compose(mid(from.R, to.R, 1), mid(from.G, to.G, 1), mid(from.B, to.B, 1));
        mid2 = Compose(mid(from.R, to.R, -1), mid(from.G, to.G, -1), mid(from.B, to.B, -1));
    }
    TColor aFrom = ColorFrom, aTo = mid1, bFrom = mid2, bTo = ColorTo;
    switch (BalanceMode) {
    case bmNormal: break;
    case bmMirror: aTo = ColorTo; bFrom = ColorTo; bTo = ColorFrom; break;
    case bmReverse: bFrom = ColorTo; bTo = mid2; break;
    case bmReverseFromColor: bFrom = ColorTo; bTo = ColorFrom; break;
    case bmInvertReverse: aFrom = mid2; aTo = ColorTo; bFrom = mid1; bTo = ColorFrom; break;
    case bmInvertReverseFromColor: aTo = ColorTo; bFrom = mid1; bTo = ColorFrom; break;
    }

    switch (Orientation) {
    case dgdVertical: {
        const int h1 = rtl::MulDiv(Balance, ARect.Height(), 100);
        DrawStepGradientV(Canvas, TRect(ARect.Left, ARect.Top, ARect.Right, ARect.Top + h1), aFrom, aTo, s1);
        DrawStepGradientV(Canvas, TRect(ARect.Left, ARect.Top + h1, ARect.Right, ARect.Bottom), bFrom, bTo, s2);
        break;
    }
    case dgdHorizontal: {
        const int w1 = rtl::MulDiv(Balance, ARect.Width(), 100);
        DrawStepGradientH(Canvas, TRect(ARect.Left, ARect.Top, ARect.Left + w1, ARect.Bottom), aFrom, aTo, s1);
        DrawStepGradientH(Canvas, TRect(ARect.Left + w1, ARect.Top, ARect.Right, ARect.Bottom), bFrom, bTo, s2);
        break;
    }
    case dgdAngle:
        DrawAngle(Canvas, ARect, AngleDegree, ClipRect, Bitmap, [&](TCanvas* Work, int D) {
            const int w1 = rtl::MulDiv(Balance, D, 100);
            DrawStepGradientH(Work, TRect(0, 0, w1, D), aFrom, aTo, s1);
            DrawStepGradientH(Work, TRect(w1, 0, D, D), bFrom, bTo, s2);
        });
        break;
    case dgdRadial:
    case dgdRectangle: {
        const bool radial = Orientation == dgdRadial;
        const TRect inner = CollapsedToCentre(ARect);
        fillFrom();
        const TRect outer = radial ? GrowRectAroundRect(inner, ARect) : ARect;
        const TRect mid = InterpolateRect(outer, inner, Balance / 100.0);
        DrawConcentricGradient(Canvas, outer, aFrom, aTo, s1, mid, radial ? 0 : 1);
        DrawConcentricGradient(Canvas, mid, bFrom, bTo, s2, inner, radial ? 0 : 1);
        break;
    }
    }
}

void DrawGradientByKind(TCanvas* Canvas, TRect ARect, TColor ColorFrom, TColor ColorTo, uint8_t Kind,
                        uint8_t MaxDegrade) {
    if (ColorFrom == ColorTo) {
        Canvas->Brush()->SetStyle(vcl::bsSolid);
        Canvas->Brush()->SetColor(ColorFrom);
        Canvas->FillRect(ARect);
        return;
    }
    struct TKind {
        TDgradOrientation Orientation;
        uint16_t Balance, Angle;
        TDgradBalanceMode Mode;
    };
    static constexpr TKind kinds[] = {
        {dgdVertical, 50, 45, bmNormal},   {dgdHorizontal, 50, 45, bmNormal}, {dgdAngle, 50, 45, bmNormal},
        {dgdAngle, 50, 135, bmNormal},     {dgdHorizontal, 50, 45, bmMirror}, {dgdVertical, 50, 45, bmMirror},
        {dgdAngle, 50, 45, bmMirror},      {dgdAngle, 50, 135, bmMirror},     {dgdRadial, 50, 45, bmNormal},
        {dgdVertical, 30, 45, bmNormal},   {dgdVertical, 70, 45, bmNormal},
    };
    const TKind k = Kind < std::size(kinds) ? kinds[Kind] : kinds[0];
    DrawGradientEx(Canvas, ARect, ColorFrom, ColorTo, k.Orientation, k.Balance, k.Angle, k.Mode, MaxDegrade, 100, true,
                   nullptr);
}

} // namespace components
