// GradientFill, AlphaBlend and TransparentBlt with Windows' arithmetic.
#include "win/gdi32/Gdi.h"

#include <algorithm>
#include <cmath>

using namespace wingdi;

namespace {

uint32_t Channel(uint32_t v, int shift) {
    return (v >> shift) & 0xFF;
}

// Nearest-pixel mapping of destination index i in [0, dw) to source index in [0, sw).
int MapIndex(int i, int dw, int sw) {
    return int((int64_t(i) * 2 + 1) * sw / (int64_t(dw) * 2));
}

// Reads source pixels in the destination's terms (monochrome bitmaps through text and background colours).
struct Source {
    const DC* dc = nullptr;
    PixelTarget t;
    POINT origin{0, 0}; // source device origin of the rectangle, on the target
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < t.width && y < t.height; }
};

bool MakeSource(HDC hdc, int xs, int ys, int ws, int hs, Source& s) {
    const DC* dc = wingdi::GetDC(hdc);
    if (!dc) return false;
    s.dc = dc;
    s.t = dc->Target();
    if (!s.t.Valid()) return false;
    const POINT p = dc->ToDevice(xs, ys);
    s.origin = POINT{p.x + dc->deviceOrigin.x, p.y + dc->deviceOrigin.y};
    // The source rectangle must lie inside the source surface, as on Windows.
    return s.Inside(s.origin.x, s.origin.y) && s.Inside(s.origin.x + ws - 1, s.origin.y + hs - 1);
}

} // namespace

extern "C" {

BOOL WINAPI GradientFill(HDC hdc, PTRIVERTEX v, ULONG nv, PVOID mesh, ULONG nm, ULONG mode) {
    DC* dc = wingdi::GetDC(hdc);
    if (!dc || !v || !mesh) return FALSE;
    PixelTarget t = dc->Target();
    if (!t.Valid()) return TRUE;
    const Region clip = dc->EffectiveClip();
    const POINT o = dc->deviceOrigin;
    const bool alpha = t.bpp == 32;
    auto put = [&](int x, int y, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
        uint32_t px = (r >> 8) << 16 | (g >> 8) << 8 | (b >> 8);
        if (alpha) px |= (a >> 8) << 24;
        t.Set(x + o.x, y + o.y, px);
    };
    if (mode == GRADIENT_FILL_RECT_H || mode == GRADIENT_FILL_RECT_V) {
        const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
        for (ULONG k = 0; k < nm; ++k) {
            if (rects[k].UpperLeft >= nv || rects[k].LowerRight >= nv) return FALSE;
            TRIVERTEX a = v[rects[k].UpperLeft], b = v[rects[k].LowerRight];
            const POINT pa = dc->ToDevice(a.x, a.y), pb = dc->ToDevice(b.x, b.y);
            const bool horizontal = mode == GRADIENT_FILL_RECT_H;
            // The colours run from the vertex with the smaller coordinate along the gradient.
            if ((horizontal && pa.x > pb.x) || (!horizontal && pa.y > pb.y)) std::swap(a, b);
            const RECT r{std::min(pa.x, pb.x), std::min(pa.y, pb.y), std::max(pa.x, pb.x),
                         std::max(pa.y, pb.y)};
            const int len = horizontal ? r.right - r.left : r.bottom - r.top;
            if (len <= 0) continue;
            clip.Intersect(r).ForEachSpan([&](int y, int x0, int x1) {
                for (int x = x0; x < x1; ++x) {
                    const int64_t pos = horizontal ? x - r.left : y - r.top;
                    auto mix = [&](uint32_t c0, uint32_t c1) {
                        return uint32_t((c0 * (len - pos) + c1 * pos) / len);
                    };
                    put(x, y, mix(a.Red, b.Red), mix(a.Green, b.Green), mix(a.Blue, b.Blue),
                        mix(a.Alpha, b.Alpha));
                }
            });
        }
        return TRUE;
    }
    if (mode == GRADIENT_FILL_TRIANGLE) {
        const auto* tris = static_cast<const GRADIENT_TRIANGLE*>(mesh);
        for (ULONG k = 0; k < nm; ++k) {
            const ULONG idx[3] = {tris[k].Vertex1, tris[k].Vertex2, tris[k].Vertex3};
            if (idx[0] >= nv || idx[1] >= nv || idx[2] >= nv) return FALSE;
            POINT p[3];
            for (int i = 0; i < 3; ++i) p[i] = dc->ToDevice(v[idx[i]].x, v[idx[i]].y);
            const double det =
                double(p[1].x - p[0].x) * (p[2].y - p[0].y) - double(p[2].x - p[0].x) * (p[1].y - p[0].y);
            if (det == 0) continue;
            const RECT box{std::min({p[0].x, p[1].x, p[2].x}), std::min({p[0].y, p[1].y, p[2].y}),
                           std::max({p[0].x, p[1].x, p[2].x}) + 1, std::max({p[0].y, p[1].y, p[2].y}) + 1};
            clip.Intersect(box).ForEachSpan([&](int y, int x0, int x1) {
                for (int x = x0; x < x1; ++x) {
                    const double w1 =
                        (double(x - p[0].x) * (p[2].y - p[0].y) - double(p[2].x - p[0].x) * (y - p[0].y)) /
                        det;
                    const double w2 =
                        (double(p[1].x - p[0].x) * (y - p[0].y) - double(x - p[0].x) * (p[1].y - p[0].y)) /
                        det;
                    const double w0 = 1 - w1 - w2;
                    if (w0 < -1e-9 || w1 < -1e-9 || w2 < -1e-9) continue;
                    auto mix = [&](COLOR16 TRIVERTEX::*c) {
                        return uint32_t(
                            std::lround(w0 * (v[idx[0]].*c) + w1 * (v[idx[1]].*c) + w2 * (v[idx[2]].*c)));
                    };
                    put(x, y, mix(&TRIVERTEX::Red), mix(&TRIVERTEX::Green), mix(&TRIVERTEX::Blue),
                        mix(&TRIVERTEX::Alpha));
                }
            });
        }
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI AlphaBlend(HDC hdcDest, int xd, int yd, int wd, int hd, HDC hdcSrc, int xs, int ys, int ws,
                       int hs, BLENDFUNCTION fn) {
    DC* dc = wingdi::GetDC(hdcDest);
    if (!dc || wd < 0 || hd < 0 || ws < 0 || hs < 0 || fn.BlendOp != AC_SRC_OVER) return FALSE;
    if (wd == 0 || hd == 0 || ws == 0 || hs == 0) return TRUE;
    Source src;
    if (!MakeSource(hdcSrc, xs, ys, ws, hs, src)) return FALSE;
    const bool perPixel = fn.AlphaFormat & AC_SRC_ALPHA;
    if (perPixel && src.t.bpp != 32) return FALSE;
    PixelTarget t = dc->Target();
    if (!t.Valid()) return TRUE;
    const uint32_t sca = fn.SourceConstantAlpha;
    // Snapshot the source: it may share the destination's surface.
    std::vector<uint32_t> pix(size_t(ws) * size_t(hs));
    for (int j = 0; j < hs; ++j)
        for (int i = 0; i < ws; ++i) {
            uint32_t p = src.t.Get(src.origin.x + i, src.origin.y + j);
            if (src.t.bpp == 1) {
                const bool one = (p & 0xFFFFFF) == (src.t.palette[1] & 0xFFFFFF);
                p = t.FromColorRef(one ? dc->s.bkColor : dc->s.textColor);
            } else if (src.t.bpp != 32) {
                p &= 0xFFFFFF;
            }
            pix[size_t(j) * size_t(ws) + size_t(i)] = p;
        }
    const POINT a = dc->ToDevice(xd, yd);
    const POINT o = dc->deviceOrigin;
    dc->EffectiveClip().Intersect(RECT{a.x, a.y, a.x + wd, a.y + hd}).ForEachSpan([&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x) {
            const uint32_t s =
                pix[size_t(MapIndex(y - a.y, hd, hs)) * size_t(ws) + size_t(MapIndex(x - a.x, wd, ws))];
            const uint32_t d = t.Get(x + o.x, y + o.y);
            uint32_t out = 0;
            if (perPixel) {
                // The source is premultiplied: scale it by the constant alpha, then add the destination.
                const uint32_t sa = (Channel(s, 24) * sca + 127) / 255;
                for (int sh = 0; sh < 32; sh += 8) {
                    const uint32_t sc = (Channel(s, sh) * sca + 127) / 255;
                    const uint32_t v =
                        std::min<uint32_t>(255, sc + (Channel(d, sh) * (255 - sa) + 127) / 255);
                    out |= v << sh;
                }
            } else {
                for (int sh = 0; sh < 32; sh += 8)
                    out |= ((Channel(s, sh) * sca + Channel(d, sh) * (255 - sca) + 127) / 255) << sh;
            }
            t.Set(x + o.x, y + o.y, t.bpp == 32 ? out : out & 0xFFFFFF);
        }
    });
    return TRUE;
}

BOOL WINAPI TransparentBlt(HDC hdcDest, int xd, int yd, int wd, int hd, HDC hdcSrc, int xs, int ys, int ws,
                           int hs, UINT crTransparent) {
    DC* dc = wingdi::GetDC(hdcDest);
    if (!dc || wd <= 0 || hd <= 0 || ws <= 0 || hs <= 0) return FALSE;
    Source src;
    if (!MakeSource(hdcSrc, xs, ys, ws, hs, src)) return FALSE;
    PixelTarget t = dc->Target();
    if (!t.Valid()) return TRUE;
    const uint32_t key = RgbOf(crTransparent);
    std::vector<uint32_t> pix(size_t(ws) * size_t(hs));
    std::vector<uint8_t> keep(pix.size());
    for (int j = 0; j < hs; ++j)
        for (int i = 0; i < ws; ++i) {
            uint32_t p = src.t.Get(src.origin.x + i, src.origin.y + j);
            const size_t k = size_t(j) * size_t(ws) + size_t(i);
            keep[k] = (p & 0xFFFFFF) != key;
            if (src.t.bpp == 1) {
                const bool one = (p & 0xFFFFFF) == (src.t.palette[1] & 0xFFFFFF);
                p = t.FromColorRef(one ? dc->s.bkColor : dc->s.textColor);
            }
            pix[k] = t.bpp == 32 && src.t.bpp == 32 ? p : p & 0xFFFFFF;
        }
    const POINT a = dc->ToDevice(xd, yd);
    const POINT o = dc->deviceOrigin;
    dc->EffectiveClip().Intersect(RECT{a.x, a.y, a.x + wd, a.y + hd}).ForEachSpan([&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x) {
            const size_t k =
                size_t(MapIndex(y - a.y, hd, hs)) * size_t(ws) + size_t(MapIndex(x - a.x, wd, ws));
            if (keep[k]) t.Set(x + o.x, y + o.y, pix[k]);
        }
    });
    return TRUE;
}

} // extern "C"
