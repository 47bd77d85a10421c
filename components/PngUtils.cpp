// components/PngUtils.cpp
#include "components/PngUtils.h"

#include "components/Graphics.h"
#include "rtl/Math.h"
#include "win/kernel32/synchapi.h"

#include <memory>
#include <vector>

namespace components {

namespace {

void RequireDest(const void* Dest) {
    if (!Dest) throw rtl::EAssertionFailed(QStringLiteral("Dest is nil! (PngUtils)"));
}

void RebuildAsRgbAlpha(vcl::TPngImage* Png, uint8_t Amount, bool BitTransparent, vcl::TColor TC) {
    vcl::TPngImage rgba;
    rgba.CreateBlank(vcl::COLOR_RGB, 8, Png->Width(), Png->Height());
    rgba.CreateAlpha();
    for (int y = 0; y < Png->Height(); ++y) {
        uint8_t* alpha = rgba.AlphaScanline(y);
        for (int x = 0; x < Png->Width(); ++x) {
            const vcl::TColor c = Png->Pixels(x, y);
            rgba.SetPixels(x, y, c);
            alpha[x] = BitTransparent && c == TC ? 0 : Amount;
        }
    }
    Png->Assign(&rgba);
}

// The PNG takes a 24- or 32-bit copy of the bitmap.
void AssignColourBitmap(vcl::TBitmap* Bitmap, vcl::TPngImage* Dest) {
    if (Bitmap->PixelFormat() == vcl::pf24bit || Bitmap->PixelFormat() == vcl::pf32bit) {
        Dest->Assign(Bitmap);
        return;
    }
    vcl::TBitmap work;
    work.Assign(Bitmap);
    work.SetPixelFormat(vcl::pf24bit);
    Dest->Assign(&work);
}

template <class F> void FillAlpha(vcl::TPngImage* Dest, F AlphaAt) {
    Dest->CreateAlpha();
    for (int y = 0; y < Dest->Height(); ++y) {
        uint8_t* alpha = Dest->AlphaScanline(y);
        for (int x = 0; x < Dest->Width(); ++x) alpha[x] = AlphaAt(x, y);
    }
}

} // namespace

void ScalePngOpacity(vcl::TPngImage* Png, uint8_t Amount) {
    if (Png->Empty()) return;
    const bool bitTransparent = Png->TransparencyMode() == vcl::ptmBit;
    const vcl::TColor tc = Png->TransparentColor();
    const uint8_t type = Png->Header().ColorType;
    if (type == vcl::COLOR_GRAYSCALE || type == vcl::COLOR_PALETTE) {
        RebuildAsRgbAlpha(Png, Amount, bitTransparent, tc);
        return;
    }
    if (type != vcl::COLOR_GRAYSCALEALPHA && type != vcl::COLOR_RGBALPHA) Png->CreateAlpha();
    for (int y = 0; y < Png->Height(); ++y) {
        uint8_t* alpha = Png->AlphaScanline(y);
        for (int x = 0; x < Png->Width(); ++x) {
            if (bitTransparent && Png->Pixels(x, y) == tc)
                alpha[x] = 0;
            else
                alpha[x] = static_cast<uint8_t>(rtl::Round(alpha[x] / 256.0 * (Amount + 1)));
        }
    }
    Png->SetModified(true);
}

void GrayscalePng(vcl::TPngImage* Png, uint8_t Amount) {
    if (Png->Empty()) return;
    const uint8_t type = Png->Header().ColorType;
    if (type == vcl::COLOR_GRAYSCALE || type == vcl::COLOR_GRAYSCALEALPHA) return;
    if (type == vcl::COLOR_PALETTE) {
        std::vector<vcl::TPngPaletteEntry> entries = Png->PaletteEntries();
        if (entries.size() > 256) entries.resize(256);
        for (auto& e : entries) BlendPixelToGray(e.Red, e.Green, e.Blue, Amount);
        Png->SetPaletteEntries(entries);
        return;
    }
    for (int y = 0; y < Png->Height(); ++y) {
        uint8_t* row = Png->Scanline(y);
        for (int x = 0; x < Png->Width(); ++x) BlendPixelToGray(row[3 * x + 2], row[3 * x + 1], row[3 * x], Amount);
    }
    Png->SetModified(true);
}

void ApplyDisabledOptions(vcl::TPngImage* Png, TPngOptions Options) {
    if (Options.Contains(pngBlendOnDisabled)) ScalePngOpacity(Png, 127);
    if (Options.Contains(pngGrayscaleOnDisabled)) GrayscalePng(Png, 255);
}

void DrawPng(vcl::TPngImage* Png, vcl::TCanvas* Canvas, const vcl::TRect& ARect, TPngOptions Options) {
    if (Options.Empty()) {
        Canvas->StretchDraw(ARect, Png);
        return;
    }
    vcl::TPngImage copy;
    copy.Assign(Png);
    ApplyDisabledOptions(&copy, Options);
    Canvas->StretchDraw(ARect, &copy);
}

std::array<uint8_t, 3> ColorToTriple(vcl::TColor Color) {
    return {static_cast<uint8_t>(Color >> 16), static_cast<uint8_t>(Color >> 8), static_cast<uint8_t>(Color)};
}

void ConvertToPng(vcl::TGraphic* Source, vcl::TPngImage* Dest) {
    RequireDest(Dest);
    if (auto* png = dynamic_cast<vcl::TPngImage*>(Source)) {
        Dest->Assign(png);
        return;
    }
    const int w = Source ? Source->Width() : 0, h = Source ? Source->Height() : 0;
    bool hasAlpha = false;
    std::vector<uint8_t> mask(static_cast<size_t>(w) * h, 255);
    vcl::TBitmap work;
    work.SetPixelFormat(vcl::pf24bit);
    work.SetSize(w, h);
    if (auto* bitmap = dynamic_cast<vcl::TBitmap*>(Source)) {
        if (bitmap->Transparent()) {
            const vcl::TColor tc = bitmap->TransparentMode() == vcl::tmFixed
                                       ? bitmap->TransparentColor()
                                       : bitmap->Canvas()->Pixels(0, h - 1);
            for (int y = 0; y < h; ++y) {
                auto* row = static_cast<uint8_t*>(work.ScanLine(y));
                for (int x = 0; x < w; ++x) {
                    const vcl::TColor p = bitmap->Canvas()->Pixels(x, y);
                    if (p == tc) {
                        mask[static_cast<size_t>(y) * w + x] = 0;
                        hasAlpha = true;
                    }
                    const auto triple = ColorToTriple(p);
                    std::copy(triple.begin(), triple.end(), row + 3 * x);
                }
            }
        } else {
            work.Canvas()->Draw(0, 0, bitmap);
        }
    } else if (auto* icon = dynamic_cast<vcl::TIcon*>(Source)) {
        // The icon draws itself with its own mask; the pixels it leaves alone are its transparent ones.
        vcl::TBitmap probe;
        probe.SetPixelFormat(vcl::pf32bit);
        probe.SetSize(w, h);
        probe.Canvas()->Draw(0, 0, icon);
        work.Canvas()->Draw(0, 0, &probe);
        vcl::TBitmap alpha;
        alpha.SetPixelFormat(vcl::pf32bit);
        alpha.SetSize(w, h);
        alpha.SetAlphaFormat(vcl::afDefined);
        alpha.Canvas()->Draw(0, 0, icon);
        for (int y = 0; y < h; ++y) {
            const auto* row = static_cast<const uint8_t*>(alpha.ScanLine(y));
            for (int x = 0; x < w; ++x) mask[static_cast<size_t>(y) * w + x] = row[4 * x + 3];
        }
        hasAlpha = true;
    }
    Dest->Assign(&work);
    if (hasAlpha) FillAlpha(Dest, [&](int x, int y) { return mask[static_cast<size_t>(y) * w + x]; });
}

void CreatePngFromBitmapAndMask(vcl::TBitmap* Bitmap, vcl::TBitmap* Mask, vcl::TPngImage* Dest, bool InverseMask) {
    RequireDest(Dest);
    AssignColourBitmap(Bitmap, Dest);
    FillAlpha(Dest, [&](int x, int y) {
        const uint8_t m = static_cast<uint8_t>(Mask->Canvas()->Pixels(x, y) & 0xFF);
        return InverseMask ? static_cast<uint8_t>(255 - m) : m;
    });
}

void CreatePngFromMaskedBitmap(vcl::TBitmap* Bitmap, vcl::TColor MaskColor, vcl::TPngImage* Dest) {
    RequireDest(Dest);
    AssignColourBitmap(Bitmap, Dest);
    FillAlpha(Dest, [&](int x, int y) { return Bitmap->Canvas()->Pixels(x, y) == MaskColor ? 0 : 255; });
}

bool IsWindowsXPOrLater() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info)) return false;
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           (info.dwMajorVersion > 5 || (info.dwMajorVersion == 5 && info.dwMinorVersion >= 1));
}

} // namespace components
