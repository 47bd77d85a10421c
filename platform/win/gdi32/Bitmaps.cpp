// Bitmaps, DIBs and blits with the ternary raster operations.
#include "win/gdi32/Gdi.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace wingdi;

namespace {

// A DIB layout read from a BITMAPINFO.
struct DibFormat {
    int width = 0, height = 0, bpp = 0;
    bool topDown = false;
    int stride = 0;
    std::vector<RGBQUAD> colors;
};

bool StandardMasks(const DWORD* m) {
    return m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF;
}

bool ParseDib(const BITMAPINFO* bmi, DibFormat& f) {
    if (!bmi) return false;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes > 1)
        return false;
    if (h.biWidth > 65535 || h.biHeight > 65535 || h.biHeight < -65535) return false;
    f.width = h.biWidth;
    f.height = std::abs(h.biHeight);
    f.topDown = h.biHeight < 0;
    f.bpp = h.biBitCount;
    const auto* extra = reinterpret_cast<const uint8_t*>(bmi) + h.biSize;
    if (h.biCompression == BI_BITFIELDS) {
        if (f.bpp != 32) return false;
        DWORD masks[3];
        if (h.biSize >= sizeof(BITMAPV4HEADER)) {
            const auto* v4 = reinterpret_cast<const BITMAPV4HEADER*>(bmi);
            masks[0] = v4->bV4RedMask;
            masks[1] = v4->bV4GreenMask;
            masks[2] = v4->bV4BlueMask;
        } else {
            std::memcpy(masks, extra, sizeof masks);
            extra += sizeof masks;
        }
        if (!StandardMasks(masks)) return false;
    } else if (h.biCompression != BI_RGB) {
        return false;
    }
    if (f.bpp != 1 && f.bpp != 4 && f.bpp != 8 && f.bpp != 24 && f.bpp != 32) return false;
    if (f.bpp <= 8) {
        DWORD n = h.biClrUsed ? h.biClrUsed : (1u << f.bpp);
        n = std::min<DWORD>(n, 1u << f.bpp);
        f.colors.resize(n);
        std::memcpy(f.colors.data(), extra, n * sizeof(RGBQUAD));
    }
    f.stride = ((f.width * f.bpp + 31) / 32) * 4;
    return true;
}

// A view of DIB memory as a pixel target.
PixelTarget DibTarget(const DibFormat& f, const void* bits) {
    PixelTarget t;
    t.width = f.width;
    t.height = f.height;
    t.bpp = f.bpp;
    auto* b = static_cast<uint8_t*>(const_cast<void*>(bits));
    t.bits = f.topDown ? b : b + ptrdiff_t(f.height - 1) * f.stride;
    t.stride = f.topDown ? f.stride : -ptrdiff_t(f.stride);
    if (f.bpp <= 8) t.SetPalette(f.colors.data(), int(f.colors.size()));
    return t;
}

// Where blit pixels come from.
struct BlitSource {
    PixelTarget t;
    POINT deviceOrigin{0, 0};
    bool ddbMono = false; // monochrome bitmap without its own colours: 0 = text, 1 = background
    COLORREF bkColor = RGB(255, 255, 255); // colour sources become white where they match it on mono targets
};

BlitSource SourceOf(const DC& dc) {
    BlitSource s;
    s.t = dc.Target();
    s.deviceOrigin = dc.deviceOrigin;
    Bitmap* bm = dc.SelectedBitmap();
    s.ddbMono = s.t.bpp == 1 && !(bm && bm->dib);
    s.bkColor = dc.s.bkColor;
    return s;
}

// Converts a source pixel to the destination's format, as GDI does between colour and monochrome.
uint32_t Convert(const BlitSource& s, uint32_t raw, const DC& dst, const PixelTarget& dt) {
    if (s.t.bpp == 1 && dt.bpp != 1 && s.ddbMono) {
        const bool one = (raw & 0xFFFFFF) == (s.t.palette[1] & 0xFFFFFF);
        return dt.FromColorRef(one ? dst.s.bkColor : dst.s.textColor);
    }
    if (s.t.bpp != 1 && dt.bpp == 1) {
        return (raw & 0xFFFFFF) == RgbOf(s.bkColor) ? (dt.palette[1] & 0xFFFFFF) : (dt.palette[0] & 0xFFFFFF);
    }
    if (s.t.bpp != 32) return raw & 0xFFFFFF;
    return dt.bpp == 32 ? raw : raw & 0xFFFFFF;
}

bool IsIdentity(const XFORM& x) {
    return x.eM11 == 1 && x.eM12 == 0 && x.eM21 == 0 && x.eM22 == 1 && x.eDx == 0 && x.eDy == 0;
}

LONG ClampLong(int64_t v) {
    return LONG(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

uint32_t* RowOf(const PixelTarget& t, int64_t y) {
    return reinterpret_cast<uint32_t*>(t.bits + t.stride * y);
}

// Unstretched blits onto 32-bit targets without a mask or a turning transform, a span at a time and
// with the operation chosen once: the pixels the general path makes, much faster. False when the
// blit needs the general path.
bool FastBlit(DC& dst, const PixelTarget& dt, const BlitSource* src, int lx0, int ly0, int dw, int dh, int sx0,
              int sy0, DWORD rop, bool needSrc, bool needPat) {
    if (dt.bpp != 32) return false;
    if (dst.s.graphicsMode == GM_ADVANCED && !IsIdentity(dst.s.xform)) return false;
    if (needSrc && src->t.bpp != 32) return false;
    BrushSource pat;
    if (needPat) {
        pat = MakeBrushSource(dst, dst.s.brush, dt);
        if (!pat.Opaque()) return false;
    }
    const POINT a = dst.ToDevice(lx0, ly0);
    const POINT o = dst.deviceOrigin;
    RECT box{a.x, a.y, ClampLong(int64_t(a.x) + dw), ClampLong(int64_t(a.y) + dh)};
    // The source pixel of device pixel (x, y) is (x + kx, y + ky) on the source target.
    int64_t kx = 0, ky = 0;
    bool same = false;
    if (needSrc) {
        const PixelTarget& st = src->t;
        kx = int64_t(sx0) + src->deviceOrigin.x - a.x;
        ky = int64_t(sy0) + src->deviceOrigin.y - a.y;
        // Only where the source has pixels: the general path leaves the others alone.
        box = RECT{std::max(box.left, ClampLong(-kx)), std::max(box.top, ClampLong(-ky)),
                   std::min(box.right, ClampLong(st.width - kx)), std::min(box.bottom, ClampLong(st.height - ky))};
        auto range = [](const PixelTarget& t) {
            const auto first = reinterpret_cast<uintptr_t>(t.bits);
            const auto last = reinterpret_cast<uintptr_t>(t.bits + t.stride * (t.height - 1));
            return std::pair{std::min(first, last), std::max(first, last) + size_t(t.width) * 4};
        };
        const auto [d0, d1] = range(dt);
        const auto [s0, s1] = range(st);
        if (d0 < s1 && s0 < d1) {
            // One surface (a scroll, or two DCs on one window): read each pixel before it is written.
            if (st.bits != dt.bits || st.stride != dt.stride) return false;
            same = true;
        }
    }
    const Region clip = dst.ClipTo(box);
    if (clip.IsEmpty()) return true;

    const BYTE code = BYTE(rop >> 16);
    const RopSpan op = Rop3Span(rop);
    const bool solid = pat.brush && pat.brush->style == BS_SOLID;
    const RECT b = clip.Bounds();
    std::vector<uint32_t> patRow, srcRow;
    if (needPat && !(solid && code == 0xF0)) patRow.assign(size_t(b.right - b.left), pat.solid);
    if (same && code != 0xCC) srcRow.resize(size_t(b.right - b.left));

    auto span = [&](int y, int x0, int x1) {
        uint32_t* d = RowOf(dt, int64_t(y) + o.y) + (int64_t(x0) + o.x);
        const int n = x1 - x0;
        const uint32_t* s = nullptr;
        if (needSrc) {
            s = RowOf(src->t, y + ky) + (x0 + kx);
            if (code == 0xCC) { // SRCCOPY
                std::memmove(d, s, size_t(n) * sizeof(uint32_t));
                return;
            }
            if (same) {
                std::memcpy(srcRow.data(), s, size_t(n) * sizeof(uint32_t));
                s = srcRow.data();
            }
        }
        if (needPat && solid && code == 0xF0) { // PATCOPY
            Fill32(d, n, pat.solid);
            return;
        }
        if (needPat && !solid) pat.Row(x0, y, n, patRow.data());
        op(d, patRow.data(), s, n);
    };
    // On one surface, rows and spans go away from the source so that none is read after it was written.
    const int64_t dyT = ky - o.y, dxT = kx - o.x;
    const bool upward = same && dyT < 0, leftward = same && dyT == 0 && dxT < 0;
    const auto& bands = clip.Bands();
    for (size_t bi = 0; bi < bands.size(); ++bi) {
        const Band& band = bands[upward ? bands.size() - 1 - bi : bi];
        for (int k = 0; k < band.y1 - band.y0; ++k) {
            const int y = upward ? band.y1 - 1 - k : band.y0 + k;
            const size_t ns = band.spans.size();
            for (size_t si = 0; si < ns; ++si) {
                const Span& sp = band.spans[leftward ? ns - 1 - si : si];
                span(y, sp.x0, sp.x1);
            }
        }
    }
    return true;
}

// Unstretched SRCCOPY between 24- and 32-bit targets, one of them 24-bit (the work bitmaps of the
// styled panels), a span at a time: the pixels the general path makes. False when it does not apply.
bool CopyBlit24(DC& dst, const PixelTarget& dt, const BlitSource& src, int lx0, int ly0, int dw, int dh, int sx0,
                int sy0) {
    const PixelTarget& st = src.t;
    const auto depth = [](int bpp) { return bpp == 24 || bpp == 32; };
    if (!depth(dt.bpp) || !depth(st.bpp) || (dt.bpp == 32 && st.bpp == 32) || dt.bits == st.bits) return false;
    if (dst.s.graphicsMode == GM_ADVANCED && !IsIdentity(dst.s.xform)) return false;
    const POINT a = dst.ToDevice(lx0, ly0);
    const POINT o = dst.deviceOrigin;
    const int64_t kx = int64_t(sx0) + src.deviceOrigin.x - a.x, ky = int64_t(sy0) + src.deviceOrigin.y - a.y;
    // Only where the source has pixels: the general path leaves the others alone.
    const RECT box{std::max(a.x, ClampLong(-kx)), std::max(a.y, ClampLong(-ky)),
                   std::min(ClampLong(int64_t(a.x) + dw), ClampLong(st.width - kx)),
                   std::min(ClampLong(int64_t(a.y) + dh), ClampLong(st.height - ky))};
    if (box.left >= box.right || box.top >= box.bottom) return true;
    dst.ClipTo(box).ForEachSpan([&](int y, int x0, int x1) {
        const uint8_t* s = st.bits + st.stride * (y + ky) + (x0 + kx) * (st.bpp / 8);
        uint8_t* d = dt.bits + dt.stride * (int64_t(y) + o.y) + (int64_t(x0) + o.x) * (dt.bpp / 8);
        const int sStep = st.bpp / 8, dStep = dt.bpp / 8;
        for (int n = x1 - x0; n > 0; --n, s += sStep, d += dStep) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            if (dStep == 4) d[3] = 0;
        }
    });
    return true;
}

// The heart of BitBlt, StretchBlt, MaskBlt and StretchDIBits: nearest-pixel mapping of the source
// rectangle (source device coordinates) onto the destination rectangle (logical coordinates,
// world transform honoured), raster operation per pixel, optional mask choosing fore/back operation.
BOOL StretchCore(DC& dst, int xd, int yd, int wd, int hd, const BlitSource* src, int xs, int ys, int ws,
                 int hs, DWORD rop, const Bitmap* mask = nullptr, POINT maskOrg = {0, 0}) {
    PixelTarget dt = dst.Target();
    if (!dt.Valid()) return FALSE;
    if (wd == 0 || hd == 0) return TRUE;
    const DWORD fore = rop & 0x00FFFFFF;
    const DWORD back = mask ? (((rop >> 8) & 0x00FF0000) | (rop & 0xFFFF)) : fore;
    auto usesSource = [](DWORD r) {
        const BYTE c = BYTE(r >> 16);
        return ((c >> 2) & 0x33) != (c & 0x33);
    };
    auto usesPattern = [](DWORD r) {
        const BYTE c = BYTE(r >> 16);
        return ((c >> 4) & 0x0F) != (c & 0x0F);
    };
    const bool needSrc = usesSource(fore) || usesSource(back);
    if (needSrc && (!src || !src->t.Valid() || ws == 0 || hs == 0)) return FALSE;
    const bool needPat = usesPattern(fore) || usesPattern(back);
    if (!mask && (!needSrc || (ws == wd && hs == hd))) {
        const int lx = wd < 0 ? xd + wd + 1 : xd, ly = hd < 0 ? yd + hd + 1 : yd;
        const int sx = ws < 0 ? xs + ws + 1 : xs, sy = hs < 0 ? ys + hs + 1 : ys;
        if (FastBlit(dst, dt, src, lx, ly, std::abs(wd), std::abs(hd), sx, sy, fore, needSrc, needPat)) return TRUE;
        if (fore == SRCCOPY && CopyBlit24(dst, dt, *src, lx, ly, std::abs(wd), std::abs(hd), sx, sy)) return TRUE;
    }

    // Snapshot of the source rectangle, converted; pixels outside the source stay unpainted.
    const int sw = std::abs(ws), sh = std::abs(hs);
    // A negative extent mirrors: the rectangle then ends at its origin, which it includes.
    const int sx0 = ws < 0 ? xs + ws + 1 : xs, sy0 = hs < 0 ? ys + hs + 1 : ys;
    std::vector<uint32_t> pix;
    std::vector<uint8_t> valid;
    if (needSrc) {
        pix.resize(size_t(sw) * size_t(sh));
        valid.resize(pix.size());
        for (int j = 0; j < sh; ++j)
            for (int i = 0; i < sw; ++i) {
                const int tx = sx0 + i + src->deviceOrigin.x, ty = sy0 + j + src->deviceOrigin.y;
                if (tx < 0 || ty < 0 || tx >= src->t.width || ty >= src->t.height) continue;
                pix[size_t(j) * size_t(sw) + size_t(i)] = Convert(*src, src->t.Get(tx, ty), dst, dt);
                valid[size_t(j) * size_t(sw) + size_t(i)] = 1;
            }
    }
    PixelTarget mt;
    if (mask) mt = TargetOf(*mask);
    const BrushSource pat = MakeBrushSource(dst, dst.s.brush, dt);
    const bool mirrorX = (wd < 0) != (ws < 0), mirrorY = (hd < 0) != (hs < 0);
    const int dw = std::abs(wd), dh = std::abs(hd);
    const int lx0 = wd < 0 ? xd + wd + 1 : xd, ly0 = hd < 0 ? yd + hd + 1 : yd;
    const Region clip = dst.EffectiveClip();
    const POINT o = dst.deviceOrigin;

    auto paint = [&](int x, int y, int i, int j) { // device pixel, destination-rectangle pixel
        uint32_t s = 0;
        if (needSrc) {
            int si = int((int64_t(i) * 2 + 1) * sw / (int64_t(dw) * 2));
            int sj = int((int64_t(j) * 2 + 1) * sh / (int64_t(dh) * 2));
            if (mirrorX) si = sw - 1 - si;
            if (mirrorY) sj = sh - 1 - sj;
            const size_t k = size_t(sj) * size_t(sw) + size_t(si);
            if (!valid[k]) return;
            s = pix[k];
        }
        DWORD r = fore;
        if (mask) {
            const int mx = maskOrg.x + i, my = maskOrg.y + j;
            const bool bit = mx >= 0 && my >= 0 && mx < mt.width && my < mt.height &&
                             (mt.Get(mx, my) & 0xFFFFFF) == (mt.palette[1] & 0xFFFFFF);
            r = bit ? fore : back;
        }
        const int tx = x + o.x, ty = y + o.y;
        const uint32_t d = dt.Get(tx, ty);
        uint32_t p = 0;
        if (needPat && !pat.At(x, y, p)) p = d;
        dt.Set(tx, ty, Rop3(r, p, s, d));
    };

    if (dst.s.graphicsMode != GM_ADVANCED || IsIdentity(dst.s.xform)) {
        const POINT a = dst.ToDevice(lx0, ly0);
        clip.Intersect(RECT{a.x, a.y, a.x + dw, a.y + dh}).ForEachSpan([&](int y, int x0, int x1) {
            for (int x = x0; x < x1; ++x) paint(x, y, x - a.x, y - a.y);
        });
        return TRUE;
    }
    // World transform: walk the device pixels of the transformed rectangle's bounds and map back.
    const XFORM& m = dst.s.xform;
    const double det = double(m.eM11) * m.eM22 - double(m.eM12) * m.eM21;
    if (std::fabs(det) < 1e-12) return FALSE;
    const POINT off = dst.ToDevice(0, 0);
    auto fwd = [&](double x, double y) {
        return std::pair{x * m.eM11 + y * m.eM21 + m.eDx + off.x, x * m.eM12 + y * m.eM22 + m.eDy + off.y};
    };
    double minx = 1e18, miny = 1e18, maxx = -1e18, maxy = -1e18;
    for (auto [cx, cy] : {std::pair{lx0, ly0}, {lx0 + dw, ly0}, {lx0, ly0 + dh}, {lx0 + dw, ly0 + dh}}) {
        auto [px, py] = fwd(cx, cy);
        minx = std::min(minx, px), maxx = std::max(maxx, px), miny = std::min(miny, py),
        maxy = std::max(maxy, py);
    }
    const RECT box{LONG(std::floor(minx)), LONG(std::floor(miny)), LONG(std::ceil(maxx)),
                   LONG(std::ceil(maxy))};
    clip.Intersect(box).ForEachSpan([&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x) {
            const double px = x + 0.5 - m.eDx - off.x, py = y + 0.5 - m.eDy - off.y;
            const double lx = (px * m.eM22 - py * m.eM21) / det, ly = (py * m.eM11 - px * m.eM12) / det;
            const int i = int(std::floor(lx - lx0)), j = int(std::floor(ly - ly0));
            if (i >= 0 && j >= 0 && i < dw && j < dh) paint(x, y, i, j);
        }
    });
    return TRUE;
}

int ChooseBpp(UINT bitCount) {
    if (bitCount == 1) return 1;
    if (bitCount == 0) return 0;
    if (bitCount <= 4) return 4;
    if (bitCount <= 8) return 8;
    if (bitCount <= 24) return 24;
    return 32;
}

} // namespace

extern "C" {

HBITMAP WINAPI CreateBitmap(int w, int h, UINT planes, UINT bitCount, const void* bits) {
    if (planes > 1 || w < 0 || h < 0) return nullptr;
    if (w == 0 || h == 0) return CreateBitmap(1, 1, 1, 1, nullptr);
    int bpp = ChooseBpp(bitCount);
    if (bpp == 4 || bpp == 8) bpp = 32; // device bitmaps are monochrome or 32-bit here
    if (bpp == 24) bpp = 32;
    auto bm = NewBitmap(w, h, bpp, true, 2);
    if (!bm) return nullptr;
    if (bits) {
        // Rows are WORD aligned in the caller's layout, as CreateBitmap documents.
        const int srcStride = ((w * int(bitCount) + 15) / 16) * 2;
        if (int(bitCount) == bpp) {
            for (int y = 0; y < h; ++y)
                std::memcpy(bm->Row(y), static_cast<const uint8_t*>(bits) + ptrdiff_t(y) * srcStride,
                            size_t(std::min(srcStride, bm->stride)));
        } else if (bitCount == 24) {
            for (int y = 0; y < h; ++y) {
                const uint8_t* p = static_cast<const uint8_t*>(bits) + ptrdiff_t(y) * srcStride;
                auto* row = reinterpret_cast<uint32_t*>(bm->Row(y));
                for (int x = 0; x < w; ++x)
                    row[x] = uint32_t(p[3 * x]) | uint32_t(p[3 * x + 1]) << 8 | uint32_t(p[3 * x + 2]) << 16;
            }
        }
    }
    return AddBitmap(std::move(bm));
}

HBITMAP WINAPI CreateBitmapIndirect(const BITMAP* pbm) {
    return pbm ? CreateBitmap(pbm->bmWidth, pbm->bmHeight, pbm->bmPlanes, pbm->bmBitsPixel, pbm->bmBits)
               : nullptr;
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    DC* dc = wingdi::GetDC(hdc);
    if (hdc && !dc) return nullptr;
    if (cx <= 0 || cy <= 0) return CreateBitmap(1, 1, 1, 1, nullptr);
    // A memory DC makes bitmaps like the one selected into it: a new memory DC holds a monochrome one.
    const int bpp = dc && dc->Target().bpp == 1 ? 1 : 32;
    auto bm = NewBitmap(cx, cy, bpp, true, bpp == 1 ? 2 : 4);
    return bm ? AddBitmap(std::move(bm)) : nullptr;
}

HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* bmi, UINT usage, void** ppvBits, HANDLE hSection,
                                DWORD) {
    if (ppvBits) *ppvBits = nullptr;
    DibFormat f;
    if (usage != DIB_RGB_COLORS || hSection || !ParseDib(bmi, f)) return nullptr;
    auto bm = NewBitmap(f.width, f.height, f.bpp, f.topDown, 4);
    if (!bm) return nullptr;
    bm->dib = true;
    bm->dibHeader = bmi->bmiHeader;
    bm->dibHeader.biSize = sizeof(BITMAPINFOHEADER);
    bm->dibHeader.biSizeImage = DWORD(bm->stride) * DWORD(bm->height);
    if (bmi->bmiHeader.biCompression == BI_BITFIELDS) {
        bm->masks[0] = 0xFF0000;
        bm->masks[1] = 0xFF00;
        bm->masks[2] = 0xFF;
    }
    if (f.bpp <= 8) bm->colors = f.colors;
    if (ppvBits) *ppvBits = bm->bits;
    return AddBitmap(std::move(bm));
}

int WINAPI SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT lines, const void* bits, const BITMAPINFO* bmi,
                     UINT use) {
    Bitmap* bm = GetBitmap(hbm);
    DibFormat f;
    if (!bm || !bits || use != DIB_RGB_COLORS || !ParseDib(bmi, f)) return 0;
    DC* dc = wingdi::GetDC(hdc);
    PixelTarget dst = TargetOf(*bm);
    // `bits` holds `lines` scan lines starting at scan `start`, counted from the bottom for bottom-up DIBs.
    DibFormat part = f;
    part.height = int(std::min<UINT>(lines, UINT(f.height)));
    PixelTarget src = DibTarget(part, bits);
    int copied = 0;
    for (int k = 0; k < part.height; ++k) {
        const int scan = int(start) + k;
        if (scan >= f.height) break;
        const int y = f.topDown ? scan : f.height - 1 - scan;
        const int sy = f.topDown ? k : part.height - 1 - k;
        if (y >= bm->height) continue;
        for (int x = 0; x < std::min(f.width, bm->width); ++x) {
            uint32_t v = src.Get(x, sy) & (bm->bpp == 32 && f.bpp == 32 ? 0xFFFFFFFF : 0xFFFFFF);
            if (bm->bpp == 1 && f.bpp == 1 && !bm->dib) {
                // Monochrome device bitmaps take the DIB's colour nearest to white as 1.
                v = (v & 0xFFFFFF) == (src.palette[1] & 0xFFFFFF) ? 0xFFFFFF : 0;
            }
            dst.Set(x, y, v);
        }
        ++copied;
    }
    (void)dc;
    return copied;
}

int WINAPI GetDIBits(HDC, HBITMAP hbm, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO bmi, UINT use) {
    Bitmap* bm = GetBitmap(hbm);
    if (!bm || !bmi || use != DIB_RGB_COLORS || bmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (!bits) {
        if (h.biBitCount == 0) {
            h.biWidth = bm->width;
            h.biHeight = bm->topDown && bm->dib ? -bm->height : bm->height;
            h.biPlanes = 1;
            h.biBitCount = WORD(bm->bpp);
            h.biCompression = BI_RGB;
            h.biSizeImage = DWORD(((bm->width * bm->bpp + 31) / 32) * 4 * bm->height);
            h.biClrUsed = 0;
            return 1;
        }
    }
    if (h.biWidth <= 0) h.biWidth = bm->width;
    if (h.biHeight == 0) h.biHeight = bm->height;
    if (h.biPlanes == 0) h.biPlanes = 1;
    const int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return 0;
    if (h.biCompression == BI_BITFIELDS && bpp != 32) return 0;
    if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return 0;
    const int stride = ((h.biWidth * bpp + 31) / 32) * 4;
    const int height = std::abs(h.biHeight);
    h.biSizeImage = DWORD(stride * height);
    // The colour table the caller gets: the bitmap's own, or black and white, or a gray ramp.
    std::vector<RGBQUAD> table;
    if (bpp <= 8) {
        if (bm->bpp <= 8 && int(bm->colors.size()) <= (1 << bpp))
            table = bm->colors;
        else if (bpp == 1)
            table = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        else
            for (int i = 0; i < (1 << bpp); ++i) {
                const BYTE g = BYTE(i * 255 / ((1 << bpp) - 1));
                table.push_back(RGBQUAD{g, g, g, 0});
            }
        table.resize(size_t(1) << bpp, RGBQUAD{0, 0, 0, 0});
        std::memcpy(bmi->bmiColors, table.data(), table.size() * sizeof(RGBQUAD));
    } else if (h.biCompression == BI_BITFIELDS) {
        if (h.biSize >= sizeof(BITMAPV4HEADER)) {
            auto* v4 = reinterpret_cast<BITMAPV4HEADER*>(bmi);
            v4->bV4RedMask = 0xFF0000;
            v4->bV4GreenMask = 0xFF00;
            v4->bV4BlueMask = 0xFF;
        } else {
            const DWORD masks[3] = {0xFF0000, 0xFF00, 0xFF};
            std::memcpy(bmi->bmiColors, masks, sizeof masks);
        }
    }
    if (!bits) return 1;
    DibFormat f;
    f.width = h.biWidth;
    f.height = height;
    f.bpp = bpp;
    f.topDown = h.biHeight < 0;
    f.stride = stride;
    f.colors = table;
    const int count = int(std::min<UINT>(lines, UINT(std::max(0, height - int(start)))));
    if (count <= 0) return 0;
    DibFormat part = f;
    part.height = count;
    PixelTarget dst = DibTarget(part, bits);
    PixelTarget src = TargetOf(*bm);
    for (int k = 0; k < count; ++k) {
        const int scan = int(start) + k;
        const int y = f.topDown ? scan : height - 1 - scan;
        const int dy = f.topDown ? k : count - 1 - k;
        for (int x = 0; x < f.width; ++x) {
            uint32_t v = 0;
            if (y < bm->height && x < bm->width) v = src.Get(x, y);
            dst.Set(x, dy, bpp == 32 && bm->bpp == 32 ? v : v & 0xFFFFFF);
        }
    }
    return count;
}

HBITMAP WINAPI CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* h, DWORD init, const void* bits,
                              const BITMAPINFO* bmi, UINT usage) {
    if (!h) return nullptr;
    HBITMAP hbm = CreateCompatibleBitmap(hdc, h->biWidth, std::abs(h->biHeight));
    if (!hbm) return nullptr;
    if (Bitmap* bm = GetBitmap(hbm); bm && bm->bpp == 1 && h->biBitCount != 1) {
        // A screen-compatible bitmap is what callers of CreateDIBitmap expect.
        DeleteObject(hbm);
        hbm = CreateCompatibleBitmap(nullptr, h->biWidth, std::abs(h->biHeight));
    }
    if ((init & CBM_INIT) && bits && bmi)
        SetDIBits(hdc, hbm, 0, UINT(std::abs(h->biHeight)), bits, bmi, usage);
    return hbm;
}

int WINAPI StretchDIBits(HDC hdc, int xd, int yd, int wd, int hd, int xs, int ys, int ws, int hs,
                         const void* bits, const BITMAPINFO* bmi, UINT usage, DWORD rop) {
    DC* dc = wingdi::GetDC(hdc);
    DibFormat f;
    if (!dc || !bits || usage != DIB_RGB_COLORS || !ParseDib(bmi, f)) return 0;
    BlitSource src;
    src.t = DibTarget(f, bits);
    // DIB source coordinates count from the bottom-left corner for bottom-up DIBs.
    const int sy = f.topDown ? ys : f.height - ys - hs;
    if (!StretchCore(*dc, xd, yd, wd, hd, &src, xs, sy, ws, hs, rop)) return 0;
    return std::abs(hd);
}

int WINAPI SetDIBitsToDevice(HDC hdc, int xd, int yd, DWORD w, DWORD h, int xs, int ys, UINT startScan,
                             UINT lines, const void* bits, const BITMAPINFO* bmi, UINT use) {
    DC* dc = wingdi::GetDC(hdc);
    DibFormat f;
    if (!dc || !bits || use != DIB_RGB_COLORS || !ParseDib(bmi, f)) return 0;
    DibFormat part = f;
    part.height = int(std::min<UINT>(lines, UINT(f.height)));
    BlitSource src;
    src.t = DibTarget(part, bits);
    // Scan lines [startScan, startScan + lines) of the whole DIB are in `bits`.
    int sy = f.topDown ? ys - int(startScan) : (int(startScan) + part.height) - ys - int(h);
    StretchCore(*dc, xd, yd, int(w), int(h), &src, xs, sy, int(w), int(h), SRCCOPY);
    return part.height;
}

UINT WINAPI GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* out) {
    DC* dc = wingdi::GetDC(hdc);
    Bitmap* bm = dc ? dc->SelectedBitmap() : nullptr;
    if (!bm || !bm->dib || bm->bpp > 8 || !out || start >= bm->colors.size()) return 0;
    const UINT n = std::min<UINT>(count, UINT(bm->colors.size()) - start);
    std::copy_n(bm->colors.begin() + start, n, out);
    return n;
}

UINT WINAPI SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* in) {
    DC* dc = wingdi::GetDC(hdc);
    Bitmap* bm = dc ? dc->SelectedBitmap() : nullptr;
    if (!bm || !bm->dib || bm->bpp > 8 || !in || start >= bm->colors.size()) return 0;
    const UINT n = std::min<UINT>(count, UINT(bm->colors.size()) - start);
    std::copy_n(in, n, bm->colors.begin() + start);
    return n;
}

LONG WINAPI GetBitmapBits(HBITMAP hbm, LONG cb, LPVOID out) {
    Bitmap* bm = GetBitmap(hbm);
    if (!bm) return 0;
    const int stride = ((bm->width * bm->bpp + 15) / 16) * 2;
    const LONG size = LONG(stride) * bm->height;
    if (!out) return size;
    LONG done = 0;
    for (int y = 0; y < bm->height && done < cb; ++y) {
        const LONG n = std::min<LONG>(std::min(stride, bm->stride), cb - done);
        std::memcpy(static_cast<uint8_t*>(out) + done, bm->Row(y), size_t(n));
        done += stride;
    }
    return std::min(done, cb);
}

LONG WINAPI SetBitmapBits(HBITMAP hbm, DWORD cb, const void* in) {
    Bitmap* bm = GetBitmap(hbm);
    if (!bm || !in) return 0;
    const int stride = ((bm->width * bm->bpp + 15) / 16) * 2;
    LONG done = 0;
    for (int y = 0; y < bm->height && DWORD(done) < cb; ++y) {
        const LONG n = std::min<LONG>(std::min(stride, bm->stride), LONG(cb) - done);
        std::memcpy(bm->Row(y), static_cast<const uint8_t*>(in) + done, size_t(n));
        done += stride;
    }
    return std::min<LONG>(done, LONG(cb));
}

BOOL WINAPI GetBitmapDimensionEx(HBITMAP hbm, LPSIZE size) {
    if (!GetBitmap(hbm) || !size) return FALSE;
    *size = SIZE{0, 0};
    return TRUE;
}

// ---- blits ----

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return FALSE;
    const BYTE code = BYTE(rop >> 16);
    if (((code >> 2) & 0x33) != (code & 0x33)) return FALSE; // PatBlt has no source
    return StretchCore(*dc, x, y, w, h, nullptr, 0, 0, 0, 0, rop);
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return FALSE;
    DC* sdc = wingdi::GetDC(hdcSrc);
    if (!sdc) return StretchCore(*dc, x, y, cx, cy, nullptr, 0, 0, 0, 0, rop);
    BlitSource src = SourceOf(*sdc);
    const POINT s = sdc->ToDevice(x1, y1);
    return StretchCore(*dc, x, y, cx, cy, &src, s.x, s.y, cx, cy, rop);
}

BOOL WINAPI StretchBlt(HDC hdc, int xd, int yd, int wd, int hd, HDC hdcSrc, int xs, int ys, int ws, int hs,
                       DWORD rop) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return FALSE;
    DC* sdc = wingdi::GetDC(hdcSrc);
    if (!sdc) return StretchCore(*dc, xd, yd, wd, hd, nullptr, 0, 0, 0, 0, rop);
    BlitSource src = SourceOf(*sdc);
    const POINT s = sdc->ToDevice(xs, ys);
    return StretchCore(*dc, xd, yd, wd, hd, &src, s.x, s.y, ws, hs, rop);
}

BOOL WINAPI MaskBlt(HDC hdc, int xd, int yd, int w, int h, HDC hdcSrc, int xs, int ys, HBITMAP hbmMask,
                    int xm, int ym, DWORD rop) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc) return FALSE;
    Bitmap* mask = hbmMask ? GetBitmap(hbmMask) : nullptr;
    if (hbmMask && (!mask || mask->bpp != 1)) return FALSE;
    DC* sdc = wingdi::GetDC(hdcSrc);
    BlitSource src;
    POINT s{0, 0};
    if (sdc) {
        src = SourceOf(*sdc);
        s = sdc->ToDevice(xs, ys);
    }
    if (!mask) rop &= 0x00FFFFFF;
    return StretchCore(*dc, xd, yd, w, h, sdc ? &src : nullptr, s.x, s.y, w, h, rop, mask, POINT{xm, ym});
}

BOOL WINAPI PlgBlt(HDC hdc, const POINT* pts, HDC hdcSrc, int xs, int ys, int w, int h, HBITMAP hbmMask,
                   int xm, int ym) {
    DC* dc = wingdi::GetDC(hdc);
    DC* sdc = wingdi::GetDC(hdcSrc);
    if (!dc || !sdc || !pts || w == 0 || h == 0) return FALSE;
    Bitmap* mask = hbmMask ? GetBitmap(hbmMask) : nullptr;
    PixelTarget dt = dc->Target();
    BlitSource src = SourceOf(*sdc);
    if (!dt.Valid() || !src.t.Valid()) return FALSE;
    // Snapshot first: the source and the destination may be the same surface.
    const POINT s0 = sdc->ToDevice(xs, ys);
    std::vector<uint32_t> pix(size_t(std::abs(w)) * size_t(std::abs(h)));
    std::vector<uint8_t> valid(pix.size());
    for (int j = 0; j < std::abs(h); ++j)
        for (int i = 0; i < std::abs(w); ++i) {
            const int tx = s0.x + i + src.deviceOrigin.x, ty = s0.y + j + src.deviceOrigin.y;
            if (tx < 0 || ty < 0 || tx >= src.t.width || ty >= src.t.height) continue;
            pix[size_t(j) * size_t(std::abs(w)) + size_t(i)] = Convert(src, src.t.Get(tx, ty), *dc, dt);
            valid[size_t(j) * size_t(std::abs(w)) + size_t(i)] = 1;
        }
    const POINT a = dc->ToDevice(pts[0].x, pts[0].y), b = dc->ToDevice(pts[1].x, pts[1].y),
                c = dc->ToDevice(pts[2].x, pts[2].y);
    // Destination point = a + u·(b − a) + v·(c − a), with u = i / w and v = j / h.
    const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - a.x, vy = c.y - a.y;
    const double det = ux * vy - uy * vx;
    if (std::fabs(det) < 1e-12) return FALSE;
    const double xsFar = a.x + ux + vx, ysFar = a.y + uy + vy;
    const RECT box{LONG(std::floor(std::min({double(a.x), double(b.x), double(c.x), xsFar}))),
                   LONG(std::floor(std::min({double(a.y), double(b.y), double(c.y), ysFar}))),
                   LONG(std::ceil(std::max({double(a.x), double(b.x), double(c.x), xsFar}))),
                   LONG(std::ceil(std::max({double(a.y), double(b.y), double(c.y), ysFar})))};
    PixelTarget mt;
    if (mask) mt = TargetOf(*mask);
    const POINT o = dc->deviceOrigin;
    const int aw = std::abs(w), ah = std::abs(h);
    dc->EffectiveClip().Intersect(box).ForEachSpan([&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x) {
            const double px = x + 0.5 - a.x, py = y + 0.5 - a.y;
            const double u = (px * vy - py * vx) / det, v = (py * ux - px * uy) / det;
            if (u < 0 || v < 0 || u >= 1 || v >= 1) continue;
            const int i = std::min(aw - 1, int(u * aw)), j = std::min(ah - 1, int(v * ah));
            if (mask) {
                const int mx = xm + i, my = ym + j;
                if (mx < 0 || my < 0 || mx >= mt.width || my >= mt.height) continue;
                if ((mt.Get(mx, my) & 0xFFFFFF) != (mt.palette[1] & 0xFFFFFF)) continue;
            }
            const size_t k = size_t(j) * size_t(aw) + size_t(i);
            if (valid[k]) dt.Set(x + o.x, y + o.y, pix[k]);
        }
    });
    return TRUE;
}

} // extern "C"
