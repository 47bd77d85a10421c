// Device contexts, the handle table, objects and their selection.
#include "win/gdi32/Gdi.h"
#include "win/kernel32/modules.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace wingdi {

namespace {

struct Table {
    std::unordered_map<uintptr_t, std::unique_ptr<GdiObject>> objects;
    // Recent look-ups by handle: a drawing call looks up its DC, brush and bitmap several times.
    // Handles are never reused, so an entry only has to go when its object does.
    std::array<std::pair<uintptr_t, GdiObject*>, 64> recent{};
    static size_t Slot(uintptr_t h) { return (h >> 2) & 63; }
    // The live device contexts: what a deleted object may still be selected into.
    std::vector<DC*> dcs;
    static bool IsDc(const GdiObject* o) { return o->type == OBJ_DC || o->type == OBJ_MEMDC; }
    void Erase(uintptr_t h) {
        if (recent[Slot(h)].first == h) recent[Slot(h)] = {0, nullptr};
        const auto it = objects.find(h);
        if (it == objects.end()) return;
        if (IsDc(it->second.get())) {
            const auto dc = std::find(dcs.begin(), dcs.end(), static_cast<DC*>(it->second.get()));
            *dc = dcs.back();
            dcs.pop_back();
        }
        objects.erase(it);
    }
    uintptr_t next = 0x10000; // above the small numbers FillRect reads as system colours
    std::vector<uintptr_t> pending;
    int logPixels = 96;
};

Table& T() {
    static Table* table = new Table; // outlives static destructors of callers
    return *table;
}

bool IsReferenced(HGDIOBJ h) {
    for (const DC* dc : T().dcs) {
        auto refers = [h](const DCState& s) {
            return s.pen == h || s.brush == h || s.font == h || s.bitmap == h || s.palette == h;
        };
        if (refers(dc->s)) return true;
        for (const auto& s : dc->saved)
            if (refers(s)) return true;
    }
    return false;
}

void CollectPending() {
    auto& t = T();
    for (size_t i = 0; i < t.pending.size();) {
        HGDIOBJ h = reinterpret_cast<HGDIOBJ>(t.pending[i]);
        if (!IsReferenced(h)) {
            t.Erase(t.pending[i]);
            t.pending.erase(t.pending.begin() + ptrdiff_t(i));
        } else {
            ++i;
        }
    }
}

HGDIOBJ Stock(int i);

void SetWcs(WCHAR* dst, const char16_t* src, size_t cap) {
    size_t n = 0;
    for (; src[n] && n + 1 < cap; ++n) dst[n] = src[n];
    dst[n] = 0;
}

HGDIOBJ MakeStock(int i) {
    std::unique_ptr<GdiObject> obj;
    auto brush = [](UINT style, COLORREF c) {
        auto b = std::make_unique<Brush>();
        b->style = style;
        b->color = c;
        return b;
    };
    auto pen = [](int style, COLORREF c) {
        auto p = std::make_unique<Pen>();
        p->style = DWORD(style);
        p->color = c;
        return p;
    };
    auto font = [](LONG height, LONG weight, const char16_t* face, BYTE pitch) {
        auto f = std::make_unique<Font>();
        f->lf.lfHeight = height;
        f->lf.lfWeight = weight;
        f->lf.lfCharSet = DEFAULT_CHARSET;
        f->lf.lfPitchAndFamily = pitch;
        SetWcs(f->lf.lfFaceName, face, LF_FACESIZE);
        return f;
    };
    switch (i) {
    case WHITE_BRUSH:
        obj = brush(BS_SOLID, RGB(255, 255, 255));
        break;
    case LTGRAY_BRUSH:
        obj = brush(BS_SOLID, RGB(192, 192, 192));
        break;
    case GRAY_BRUSH:
        obj = brush(BS_SOLID, RGB(128, 128, 128));
        break;
    case DKGRAY_BRUSH:
        obj = brush(BS_SOLID, RGB(64, 64, 64));
        break;
    case BLACK_BRUSH:
        obj = brush(BS_SOLID, RGB(0, 0, 0));
        break;
    case NULL_BRUSH:
        obj = brush(BS_NULL, 0);
        break;
    case DC_BRUSH:
        obj = brush(BS_SOLID, RGB(255, 255, 255));
        break;
    case WHITE_PEN:
        obj = pen(PS_SOLID, RGB(255, 255, 255));
        break;
    case BLACK_PEN:
        obj = pen(PS_SOLID, RGB(0, 0, 0));
        break;
    case NULL_PEN:
        obj = pen(PS_NULL, 0);
        break;
    case DC_PEN:
        obj = pen(PS_SOLID, 0);
        break;
    case SYSTEM_FONT:
        obj = font(16, FW_BOLD, u"System", VARIABLE_PITCH | FF_SWISS);
        break;
    case DEVICE_DEFAULT_FONT:
        obj = font(16, FW_NORMAL, u"System", VARIABLE_PITCH | FF_SWISS);
        break;
    case ANSI_VAR_FONT:
        obj = font(12, FW_NORMAL, u"MS Sans Serif", VARIABLE_PITCH | FF_SWISS);
        break;
    case DEFAULT_GUI_FONT:
        obj = font(-11, FW_NORMAL, u"MS Shell Dlg", VARIABLE_PITCH | FF_SWISS);
        break;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT:
        obj = font(12, FW_NORMAL, u"Courier", FIXED_PITCH | FF_MODERN);
        break;
    case DEFAULT_PALETTE: {
        auto p = std::make_unique<Palette>();
        for (int k = 0; k < 20; ++k) {
            // The 20 static colours of the system palette: the 16 VGA colours and four grays.
            static const COLORREF vga[20] = {
                RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),
                RGB(0, 0, 128),     RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192),
                RGB(192, 220, 192), RGB(166, 202, 240), RGB(255, 251, 240), RGB(160, 160, 164),
                RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),     RGB(255, 255, 0),
                RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255)};
            p->entries.push_back(PALETTEENTRY{GetRValue(vga[k]), GetGValue(vga[k]), GetBValue(vga[k]), 0});
        }
        obj = std::move(p);
        break;
    }
    case 100: { // the 1×1 monochrome bitmap every new memory DC starts with
        obj = NewBitmap(1, 1, 1, true, 2);
        break;
    }
    default:
        return nullptr;
    }
    obj->stock = true;
    return AddObject(std::move(obj));
}

HGDIOBJ Stock(int i) {
    static HGDIOBJ cache[101] = {};
    if (i < 0 || i > 100) return nullptr;
    if (!cache[i]) cache[i] = MakeStock(i);
    return cache[i];
}

} // namespace

HGDIOBJ AddObject(std::unique_ptr<GdiObject> obj) {
    if (!obj) return nullptr;
    auto& t = T();
    uintptr_t h = t.next;
    t.next += 4;
    if (Table::IsDc(obj.get())) t.dcs.push_back(static_cast<DC*>(obj.get()));
    t.objects.emplace(h, std::move(obj));
    return reinterpret_cast<HGDIOBJ>(h);
}

GdiObject* Lookup(HGDIOBJ h) {
    auto& t = T();
    const auto key = reinterpret_cast<uintptr_t>(h);
    auto& slot = t.recent[Table::Slot(key)];
    if (slot.first == key && key) return slot.second;
    auto it = t.objects.find(key);
    if (it == t.objects.end()) return nullptr;
    slot = {key, it->second.get()};
    return it->second.get();
}

DC* GetDC(HDC h) {
    GdiObject* o = Lookup(h);
    return o && (o->type == OBJ_MEMDC || o->type == OBJ_DC) ? static_cast<DC*>(o) : nullptr;
}

std::unique_ptr<Bitmap> NewBitmap(int width, int height, int bpp, bool topDown, int rowAlign) {
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return nullptr;
    const int64_t rowBits = int64_t(width) * bpp;
    const int64_t stride = ((rowBits + rowAlign * 8 - 1) / (rowAlign * 8)) * rowAlign;
    const int64_t size = stride * height;
    if (size > (int64_t(1) << 30)) return nullptr;
    auto bm = std::make_unique<Bitmap>();
    bm->width = width;
    bm->height = height;
    bm->bpp = bpp;
    bm->stride = int(stride);
    bm->topDown = topDown;
    bm->storage.reset(new (std::nothrow) uint8_t[size_t(size)]());
    if (!bm->storage) return nullptr;
    bm->bits = bm->storage.get();
    if (bpp == 1) bm->colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    return bm;
}

HBITMAP AddBitmap(std::unique_ptr<Bitmap> bm) {
    return static_cast<HBITMAP>(AddObject(std::move(bm)));
}

// ---- pixels ----

uint32_t PixelTarget::Get(int x, int y) const {
    const uint8_t* row = bits + stride * y;
    switch (bpp) {
    case 32:
        return reinterpret_cast<const uint32_t*>(row)[x];
    case 24: {
        const uint8_t* p = row + 3 * x;
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    }
    case 8:
        return palette[row[x]];
    case 4:
        return palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
    default:
        return palette[(row[x >> 3] >> (7 - (x & 7))) & 1];
    }
}

void PixelTarget::Set(int x, int y, uint32_t v) const {
    uint8_t* row = bits + stride * y;
    switch (bpp) {
    case 32:
        reinterpret_cast<uint32_t*>(row)[x] = v;
        break;
    case 24: {
        uint8_t* p = row + 3 * x;
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        p[2] = uint8_t(v >> 16);
        break;
    }
    case 8:
        row[x] = uint8_t(Nearest(v));
        break;
    case 4: {
        const int sh = (x & 1) ? 0 : 4;
        row[x >> 1] = uint8_t((row[x >> 1] & ~(0x0F << sh)) | (Nearest(v) << sh));
        break;
    }
    default: {
        const uint8_t bit = uint8_t(0x80 >> (x & 7));
        if (Nearest(v))
            row[x >> 3] |= bit;
        else
            row[x >> 3] &= uint8_t(~bit);
    }
    }
}

uint32_t PixelTarget::Nearest(uint32_t rgb) const {
    rgb &= 0xFFFFFF;
    uint32_t best = 0;
    int bestDist = INT32_MAX;
    for (int i = 0; i < paletteSize; ++i) {
        const uint32_t c = palette[size_t(i)] & 0xFFFFFF;
        int d = 0;
        for (int sh = 0; sh < 24; sh += 8) {
            const int a = int((rgb >> sh) & 0xFF) - int((c >> sh) & 0xFF);
            d += a * a;
        }
        if (d < bestDist) {
            bestDist = d;
            best = uint32_t(i);
            if (d == 0) break;
        }
    }
    return best;
}

uint32_t PixelTarget::FromColorRef(COLORREF c) const {
    const uint32_t rgb = RgbOf(c);
    return bpp <= 8 ? palette[Nearest(rgb)] & 0xFFFFFF : rgb;
}

PixelTarget TargetOf(const Bitmap& bm) {
    PixelTarget t;
    t.width = bm.width;
    t.height = bm.height;
    t.bpp = bm.bpp;
    t.bits = bm.topDown ? bm.bits : bm.bits + ptrdiff_t(bm.height - 1) * bm.stride;
    t.stride = bm.topDown ? bm.stride : -ptrdiff_t(bm.stride);
    if (bm.bpp <= 8 && !bm.colors.empty())
        t.SetPalette(bm.colors.data(), int(std::min<size_t>(bm.colors.size(), size_t(1) << bm.bpp)));
    return t;
}

void PixelTarget::SetPalette(const RGBQUAD* colors, int n) {
    auto table = std::make_shared<std::array<uint32_t, 256>>(DefaultPalette);
    n = std::clamp(n, 0, 256);
    for (int i = 0; i < n; ++i)
        (*table)[size_t(i)] = uint32_t(colors[i].rgbRed) << 16 | uint32_t(colors[i].rgbGreen) << 8 | colors[i].rgbBlue;
    paletteSize = n;
    palette = table->data();
    ownPalette_ = std::move(table);
}

Bitmap* DC::SelectedBitmap() const {
    return kind == DCKind::Memory ? wingdi::GetBitmap(s.bitmap) : nullptr;
}

PixelTarget DC::Target() const {
    if (kind == DCKind::Surface) {
        PixelTarget t;
        t.bits = static_cast<uint8_t*>(surface.bits);
        t.width = surface.width;
        t.height = surface.height;
        t.stride = surface.stride;
        t.bpp = 32;
        return t;
    }
    Bitmap* bm = SelectedBitmap();
    return bm ? TargetOf(*bm) : PixelTarget{};
}

namespace {

// The target's rectangle in device coordinates. Only its size: a whole PixelTarget, with its colour
// table, costs more than the clip.
RECT TargetRect(const DC& dc) {
    int width = 0, height = 0;
    if (dc.kind == DCKind::Surface) {
        width = dc.surface.width;
        height = dc.surface.height;
    } else if (const Bitmap* bm = dc.SelectedBitmap()) {
        width = bm->width;
        height = bm->height;
    }
    return RECT{-dc.deviceOrigin.x, -dc.deviceOrigin.y, width - dc.deviceOrigin.x, height - dc.deviceOrigin.y};
}

RECT Meet(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

} // namespace

std::optional<RECT> DC::EffectiveClipRect() const {
    RECT r = TargetRect(*this);
    for (const std::optional<Region>* part : {&visible, &s.clip}) {
        if (!*part) continue;
        switch ((*part)->Complexity()) {
        case NULLREGION:
            return RECT{0, 0, 0, 0};
        case SIMPLEREGION:
            r = Meet(r, (*part)->Bounds());
            break;
        default:
            return std::nullopt;
        }
    }
    return r;
}

Region DC::ClipTo(const RECT& r) const {
    if (const auto c = EffectiveClipRect()) {
        const RECT m = Meet(*c, r);
        return m.left < m.right && m.top < m.bottom ? Region::FromRect(m) : Region();
    }
    return EffectiveClip().Intersect(r);
}

Region DC::EffectiveClip() const {
    Region r = Region::FromRect(TargetRect(*this));
    if (visible) r = r.Intersect(*visible);
    if (s.clip) r = r.Intersect(*s.clip);
    return r;
}

// ---- raster operations ----

uint32_t Rop2(int rop2, uint32_t p, uint32_t d) {
    const unsigned t = unsigned(rop2 - 1) & 15;
    uint32_t r = 0;
    if (t & 1) r |= ~p & ~d;
    if (t & 2) r |= ~p & d;
    if (t & 4) r |= p & ~d;
    if (t & 8) r |= p & d;
    return r;
}

uint32_t Rop3(DWORD rop, uint32_t p, uint32_t s, uint32_t d) {
    const unsigned code = (rop >> 16) & 0xFF;
    uint32_t r = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!((code >> i) & 1)) continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r;
}

bool BrushSource::At(int x, int y, uint32_t& out) const {
    if (!brush) return false;
    switch (brush->style) {
    case BS_SOLID:
        out = solid;
        return true;
    case BS_HATCHED: {
        const int px = ((x - origin.x) % 8 + 8) % 8, py = ((y - origin.y) % 8 + 8) % 8;
        bool on = false;
        switch (brush->hatch) {
        case HS_HORIZONTAL:
            on = py == 3;
            break;
        case HS_VERTICAL:
            on = px == 4;
            break;
        case HS_FDIAGONAL:
            on = px == py;
            break;
        case HS_BDIAGONAL:
            on = px == 7 - py;
            break;
        case HS_CROSS:
            on = py == 3 || px == 4;
            break;
        case HS_DIAGCROSS:
            on = px == py || px == 7 - py;
            break;
        }
        if (on) {
            out = solid;
            return true;
        }
        if (!opaqueBk) return false;
        out = bg;
        return true;
    }
    case BS_PATTERN:
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT:
    case BS_PATTERN8X8: {
        if (brush->patW <= 0 || brush->patH <= 0) return false;
        const int px = ((x - origin.x) % brush->patW + brush->patW) % brush->patW;
        const int py = ((y - origin.y) % brush->patH + brush->patH) % brush->patH;
        const uint32_t v = brush->pattern[size_t(py) * size_t(brush->patW) + size_t(px)];
        out = brush->patMono ? (v ? bg : fg) : v;
        return true;
    }
    default:
        return false;
    }
}

BrushSource MakeBrushSource(const DC& dc, HBRUSH h, const PixelTarget& t) {
    BrushSource src;
    src.brush = GetBrush(h);
    src.origin = dc.s.brushOrg;
    if (src.brush) {
        COLORREF c = src.brush->color;
        if (h == static_cast<HBRUSH>(GetStockObject(DC_BRUSH))) c = dc.s.dcBrushColor;
        src.solid = t.FromColorRef(c);
    }
    src.fg = t.FromColorRef(dc.s.textColor);
    src.bg = t.FromColorRef(dc.s.bkColor);
    src.opaqueBk = dc.s.bkMode == OPAQUE;
    return src;
}

namespace {

// Paints the spans that each(f) hands to f(y, x0, x1), all inside b and the target, with a brush
// through a binary raster operation.
template <class EachSpan>
void PaintSpans(const PixelTarget& t, POINT o, const RECT& b, EachSpan each, const BrushSource& src, int rop2) {
    if (t.bpp == 32 && src.Opaque()) {
        // Whole spans at a time: a fill for a solid copy, else the brush row through the operation.
        const bool copy = Rop3CodeOfRop2(rop2) == 0xF0;
        const bool solid = src.brush->style == BS_SOLID;
        const RopSpan op = Rop2Span(rop2);
        std::vector<uint32_t> brushRow;
        if (!(solid && copy)) brushRow.assign(size_t(b.right - b.left), src.solid);
        each([&](int y, int x0, int x1) {
            uint32_t* d = reinterpret_cast<uint32_t*>(t.bits + t.stride * (y + o.y)) + (x0 + o.x);
            const int n = x1 - x0;
            if (solid && copy) {
                Fill32(d, n, src.solid);
                return;
            }
            if (copy) {
                src.Row(x0, y, n, d);
                return;
            }
            if (!solid) src.Row(x0, y, n, brushRow.data());
            op(d, brushRow.data(), nullptr, n);
        });
        return;
    }
    if (t.bpp == 24 && src.Opaque() && src.brush->style == BS_SOLID && Rop3CodeOfRop2(rop2) == 0xF0) {
        // A solid copy on a 24-bit target: the colour's three bytes along each span.
        const uint8_t c0 = uint8_t(src.solid), c1 = uint8_t(src.solid >> 8), c2 = uint8_t(src.solid >> 16);
        each([&](int y, int x0, int x1) {
            uint8_t* d = t.bits + t.stride * (y + o.y) + 3 * (x0 + o.x);
            for (int n = x1 - x0; n > 0; --n, d += 3) {
                d[0] = c0;
                d[1] = c1;
                d[2] = c2;
            }
        });
        return;
    }
    each([&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x) {
            uint32_t p;
            if (!src.At(x, y, p)) continue;
            if (rop2 == R2_COPYPEN) {
                t.Set(x + o.x, y + o.y, p);
            } else {
                t.Set(x + o.x, y + o.y, Rop2(rop2, p, t.Get(x + o.x, y + o.y)));
            }
        }
    });
}

void PaintRegionOn(const PixelTarget& t, POINT o, const Region& rgn, const BrushSource& src, int rop2) {
    if (!t.Valid() || !src.brush || src.brush->style == BS_NULL || rgn.IsEmpty()) return;
    PaintSpans(t, o, rgn.Bounds(), [&](auto&& f) { rgn.ForEachSpan(f); }, src, rop2);
}

} // namespace

void PaintRegion(const DC& dc, const Region& rgn, const BrushSource& src, int rop2) {
    PaintRegionOn(dc.Target(), dc.deviceOrigin, rgn, src, rop2);
}

void FillDeviceRegion(DC& dc, const Region& rgn, HBRUSH brush, std::optional<int> rop2) {
    const PixelTarget t = dc.Target();
    if (!t.Valid()) return;
    const BrushSource src = MakeBrushSource(dc, brush, t);
    const int op = rop2.value_or(dc.s.rop2);
    if (rgn.Complexity() == SIMPLEREGION) {
        if (const auto clip = dc.EffectiveClipRect()) {
            // A rectangle clipped to a rectangle: no regions to build.
            const RECT m = Meet(*clip, rgn.Bounds());
            if (m.left >= m.right || m.top >= m.bottom || !src.brush || src.brush->style == BS_NULL) return;
            auto rows = [&](auto&& f) {
                for (int y = m.top; y < m.bottom; ++y) f(y, int(m.left), int(m.right));
            };
            PaintSpans(t, dc.deviceOrigin, m, rows, src, op);
            return;
        }
    }
    PaintRegionOn(t, dc.deviceOrigin, rgn.Intersect(dc.EffectiveClip()), src, op);
}

QImage ReadImage(const DC& dc, const RECT& r) {
    QImage img(std::max<int>(1, r.right - r.left), std::max<int>(1, r.bottom - r.top), QImage::Format_RGB32);
    img.fill(0);
    PixelTarget t = dc.Target();
    if (!t.Valid()) return img;
    for (int y = r.top; y < r.bottom; ++y) {
        const int ty = y + dc.deviceOrigin.y;
        if (ty < 0 || ty >= t.height) continue;
        auto* line = reinterpret_cast<uint32_t*>(img.scanLine(y - r.top));
        if (t.bpp == 32) {
            const int64_t tx0 = std::max<int64_t>(0, int64_t(r.left) + dc.deviceOrigin.x),
                          tx1 = std::min<int64_t>(t.width, int64_t(r.right) + dc.deviceOrigin.x);
            const auto* row = reinterpret_cast<const uint32_t*>(t.bits + t.stride * ty);
            for (int64_t tx = tx0; tx < tx1; ++tx) line[tx - dc.deviceOrigin.x - r.left] = 0xFF000000u | row[tx];
            continue;
        }
        if (t.bpp == 24) {
            const int64_t tx0 = std::max<int64_t>(0, int64_t(r.left) + dc.deviceOrigin.x),
                          tx1 = std::min<int64_t>(t.width, int64_t(r.right) + dc.deviceOrigin.x);
            const uint8_t* p = t.bits + t.stride * ty + 3 * tx0;
            for (int64_t tx = tx0; tx < tx1; ++tx, p += 3)
                line[tx - dc.deviceOrigin.x - r.left] = 0xFF000000u | uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
            continue;
        }
        for (int x = r.left; x < r.right; ++x) {
            const int tx = x + dc.deviceOrigin.x;
            if (tx >= 0 && tx < t.width) line[x - r.left] = 0xFF000000u | t.Get(tx, ty);
        }
    }
    return img;
}

void WriteImage(DC& dc, const RECT& r, const QImage& img, const QImage& before, const Region* extraClip) {
    PixelTarget t = dc.Target();
    if (!t.Valid()) return;
    Region clip = dc.EffectiveClip().Intersect(r);
    if (extraClip) clip = clip.Intersect(*extraClip);
    const POINT o = dc.deviceOrigin;
    clip.ForEachSpan([&](int y, int x0, int x1) {
        const auto* now = reinterpret_cast<const uint32_t*>(img.constScanLine(y - r.top));
        const auto* was = reinterpret_cast<const uint32_t*>(before.constScanLine(y - r.top));
        if (t.bpp == 32) {
            auto* row = reinterpret_cast<uint32_t*>(t.bits + t.stride * (y + o.y));
            for (int x = x0; x < x1; ++x) {
                const uint32_t v = now[x - r.left];
                if (v != was[x - r.left]) row[x + o.x] = v & 0xFFFFFF;
            }
            return;
        }
        if (t.bpp == 24) {
            uint8_t* row = t.bits + t.stride * (y + o.y);
            for (int x = x0; x < x1; ++x) {
                const uint32_t v = now[x - r.left];
                if (v == was[x - r.left]) continue;
                uint8_t* p = row + 3 * (x + o.x);
                p[0] = uint8_t(v);
                p[1] = uint8_t(v >> 8);
                p[2] = uint8_t(v >> 16);
            }
            return;
        }
        for (int x = x0; x < x1; ++x) {
            const uint32_t v = now[x - r.left];
            // GDI leaves the top byte of what it draws at zero on 32-bit targets.
            if (v != was[x - r.left]) t.Set(x + o.x, y + o.y, v & 0xFFFFFF);
        }
    });
}

void EnsureGuiApplication() {
    // Fonts need a GUI application; programs and tests normally start one first.
    TwStartGui(nullptr, nullptr, FALSE);
}

} // namespace wingdi

using namespace wingdi;

namespace {
QGuiApplication* startedApp = nullptr;  // the application TwStartGui made
} // namespace

BOOL WINAPI TwStartGui(int* argc, char** argv, BOOL headless) {
    if (QCoreApplication* running = QCoreApplication::instance()) return qobject_cast<QGuiApplication*>(running) != nullptr;
    // Without a display Qt's default platform would abort the program.
    const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && (headless || noDisplay))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Popups, flyouts and floating frames are placed at absolute screen positions, which Wayland does
    // not give clients: under XWayland the windows go through X11.
    else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
             !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    static int defaultArgc = 1;
    static char name[] = "tunewright";
    static char* defaultArgv[] = {name, nullptr};
    if (!argc || !argv || *argc < 1) argc = &defaultArgc, argv = defaultArgv;
    startedApp = new QGuiApplication(*argc, argv);
    return TRUE;
}

void WINAPI TwStopGui(void) {
    delete startedApp;
    startedApp = nullptr;
}

namespace {

// Unselect the object kind from every state of a DC being deleted or restored.
void SelectDefaults(DCState& s) {
    s.pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    s.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    s.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    s.palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
}

int SetClip(DC& dc, std::optional<Region> r) {
    dc.s.clip = std::move(r);
    const Region eff = dc.EffectiveClip();
    return eff.Complexity();
}

} // namespace

extern "C" {

// ---- device contexts ----

HDC WINAPI CreateCompatibleDC(HDC) {
    auto dc = std::make_unique<DC>();
    SelectDefaults(dc->s);
    dc->s.bitmap = static_cast<HBITMAP>(Stock(100));
    return static_cast<HDC>(AddObject(std::move(dc)));
}

HDC WINAPI TwCreateSurfaceDC(const TwSurface* surface) {
    if (!surface || !surface->bits || surface->width <= 0 || surface->height <= 0 ||
        surface->stride < surface->width * 4)
        return nullptr;
    auto dc = std::make_unique<DC>();
    dc->type = OBJ_DC;
    dc->kind = DCKind::Surface;
    dc->surface = *surface;
    SelectDefaults(dc->s);
    return static_cast<HDC>(AddObject(std::move(dc)));
}

BOOL WINAPI TwSetDCDeviceOrigin(HDC hdc, int x, int y) {
    DC* dc = GetDC(hdc);
    if (!dc) return FALSE;
    dc->deviceOrigin = POINT{x, y};
    return TRUE;
}

BOOL WINAPI TwSetDCVisibleRegion(HDC hdc, HRGN hrgn) {
    DC* dc = GetDC(hdc);
    if (!dc) return FALSE;
    if (!hrgn) {
        dc->visible.reset();
        return TRUE;
    }
    RegionObject* r = GetRegion(hrgn);
    if (!r) return FALSE;
    dc->visible = r->rgn;
    return TRUE;
}

BOOL WINAPI DeleteDC(HDC hdc) {
    DC* dc = GetDC(hdc);
    if (!dc) return FALSE;
    if (Bitmap* bm = dc->SelectedBitmap()) bm->selectedInto = std::max(0, bm->selectedInto - 1);
    // Each saved state holds the bitmap that was selected when it was saved.
    for (auto& s : dc->saved)
        if (Bitmap* bm = GetBitmap(s.bitmap)) bm->selectedInto = std::max(0, bm->selectedInto - 1);
    T().Erase(reinterpret_cast<uintptr_t>(hdc));
    CollectPending();
    return TRUE;
}

int WINAPI SaveDC(HDC hdc) {
    DC* dc = GetDC(hdc);
    if (!dc) return 0;
    dc->saved.push_back(dc->s);
    if (Bitmap* bm = dc->SelectedBitmap()) ++bm->selectedInto;
    return int(dc->saved.size());
}

BOOL WINAPI RestoreDC(HDC hdc, int n) {
    DC* dc = GetDC(hdc);
    if (!dc) return FALSE;
    const int count = int(dc->saved.size());
    const int index = n < 0 ? count + n : n - 1; // -1 is the latest, 1 the first
    if (index < 0 || index >= count) return FALSE;
    if (Bitmap* bm = dc->SelectedBitmap()) bm->selectedInto = std::max(0, bm->selectedInto - 1);
    for (int i = count - 1; i > index; --i)
        if (Bitmap* bm = GetBitmap(dc->saved[size_t(i)].bitmap))
            bm->selectedInto = std::max(0, bm->selectedInto - 1);
    dc->s = dc->saved[size_t(index)];
    dc->saved.resize(size_t(index));
    CollectPending();
    return TRUE;
}

HGDIOBJ WINAPI GetStockObject(int i) {
    return (i >= 0 && i <= DC_PEN) ? Stock(i) : nullptr;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    DC* dc = GetDC(hdc);
    GdiObject* o = Lookup(h);
    if (!dc || !o || o->deletePending) return nullptr;
    HGDIOBJ old = nullptr;
    switch (o->type) {
    case OBJ_PEN:
        old = dc->s.pen;
        dc->s.pen = static_cast<HPEN>(h);
        break;
    case OBJ_BRUSH:
        old = dc->s.brush;
        dc->s.brush = static_cast<HBRUSH>(h);
        break;
    case OBJ_FONT:
        old = dc->s.font;
        dc->s.font = static_cast<HFONT>(h);
        break;
    case OBJ_REGION: {
        const int r = SetClip(*dc, static_cast<RegionObject*>(o)->rgn);
        return reinterpret_cast<HGDIOBJ>(intptr_t(r));
    }
    case OBJ_BITMAP: {
        if (dc->kind != DCKind::Memory) return nullptr;
        auto* bm = static_cast<Bitmap*>(o);
        if (h == dc->s.bitmap) return h;
        if (bm->selectedInto > 0 && !bm->stock) return nullptr; // one DC at a time
        old = dc->s.bitmap;
        if (Bitmap* prev = dc->SelectedBitmap()) prev->selectedInto = std::max(0, prev->selectedInto - 1);
        ++bm->selectedInto;
        dc->s.bitmap = static_cast<HBITMAP>(h);
        break;
    }
    default:
        return nullptr;
    }
    CollectPending();
    return old;
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
    DC* dc = GetDC(hdc);
    if (!dc) return nullptr;
    switch (type) {
    case OBJ_PEN:
        return dc->s.pen;
    case OBJ_BRUSH:
        return dc->s.brush;
    case OBJ_FONT:
        return dc->s.font;
    case OBJ_BITMAP:
        return dc->s.bitmap;
    case OBJ_PAL:
        return dc->s.palette;
    default:
        return nullptr;
    }
}

BOOL WINAPI DeleteObject(HGDIOBJ h) {
    GdiObject* o = Lookup(h);
    if (!o || o->type == OBJ_DC || o->type == OBJ_MEMDC) return FALSE;
    if (o->stock) return TRUE;
    if (IsReferenced(h)) {
        // Windows refuses to delete a selected bitmap; other objects go once deselected.
        if (o->type == OBJ_BITMAP) return FALSE;
        if (!o->deletePending) {
            o->deletePending = true;
            T().pending.push_back(reinterpret_cast<uintptr_t>(h));
        }
        return TRUE;
    }
    T().Erase(reinterpret_cast<uintptr_t>(h));
    return TRUE;
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
    GdiObject* o = Lookup(h);
    if (!o) return 0;
    if (o->type == OBJ_PEN && static_cast<Pen*>(o)->extended) return OBJ_EXTPEN;
    return o->type;
}

int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv) {
    GdiObject* o = Lookup(h);
    if (!o) return 0;
    auto give = [&](const void* data, int size) -> int {
        if (!pv) return size;
        const int n = std::min(c, size);
        if (n <= 0) return 0;
        std::memcpy(pv, data, size_t(n));
        return n;
    };
    switch (o->type) {
    case OBJ_PEN: {
        auto* p = static_cast<Pen*>(o);
        if (p->extended) {
            EXTLOGPEN e{};
            e.elpPenStyle = p->style;
            e.elpWidth = DWORD(p->width);
            e.elpBrushStyle = BS_SOLID;
            e.elpColor = p->color;
            return give(&e, int(offsetof(EXTLOGPEN, elpStyleEntry)));
        }
        LOGPEN lp{p->style, POINT{p->width, 0}, p->color};
        return give(&lp, sizeof lp);
    }
    case OBJ_BRUSH: {
        auto* b = static_cast<Brush*>(o);
        LOGBRUSH lb{b->style, b->color, b->style == BS_HATCHED ? ULONG_PTR(b->hatch) : b->sourceBitmap};
        return give(&lb, sizeof lb);
    }
    case OBJ_FONT:
        return give(&static_cast<Font*>(o)->lf, sizeof(LOGFONTW));
    case OBJ_PAL: {
        const WORD n = WORD(static_cast<Palette*>(o)->entries.size());
        return give(&n, sizeof n);
    }
    case OBJ_BITMAP: {
        auto* bm = static_cast<Bitmap*>(o);
        DIBSECTION ds{};
        ds.dsBm.bmType = 0;
        ds.dsBm.bmWidth = bm->width;
        ds.dsBm.bmHeight = bm->height;
        ds.dsBm.bmWidthBytes = bm->dib ? bm->stride : ((bm->width * bm->bpp + 15) / 16) * 2;
        ds.dsBm.bmPlanes = 1;
        ds.dsBm.bmBitsPixel = WORD(bm->bpp);
        ds.dsBm.bmBits = bm->dib ? bm->bits : nullptr;
        if (!bm->dib || c < int(sizeof(DIBSECTION))) return give(&ds.dsBm, sizeof(BITMAP));
        ds.dsBmih = bm->dibHeader;
        std::memcpy(ds.dsBitfields, bm->masks, sizeof ds.dsBitfields);
        return give(&ds, sizeof ds);
    }
    default:
        return 0;
    }
}

BOOL WINAPI GdiFlush(void) {
    return TRUE;
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
    DC* dc = GetDC(hdc);
    const int bpp = dc ? dc->Target().bpp : 32;
    const int dpi = T().logPixels;
    switch (index) {
    case DRIVERVERSION:
        return 0x4000;
    case TECHNOLOGY:
        return DT_RASDISPLAY;
    case HORZRES:
    case DESKTOPHORZRES:
        return dc && dc->Target().Valid() ? dc->Target().width : 1920;
    case VERTRES:
    case DESKTOPVERTRES:
        return dc && dc->Target().Valid() ? dc->Target().height : 1080;
    case HORZSIZE:
        return 1920 * 254 / (dpi * 10);
    case VERTSIZE:
        return 1080 * 254 / (dpi * 10);
    case BITSPIXEL:
        return bpp;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    case RASTERCAPS:
        return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP | RC_STRETCHDIB;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return dpi;
    case SIZEPALETTE:
        return 0;
    case COLORRES:
        return 24;
    case SHADEBLENDCAPS:
        return 0x3; // constant alpha and per-pixel alpha
    default:
        return 0;
    }
}

void WINAPI TwSetLogPixels(int dpi) {
    T().logPixels = dpi > 0 ? dpi : 96;
}
int WINAPI TwGetLogPixels(void) {
    return T().logPixels;
}

int WINAPI TwGdiObjectCount(void) {
    int n = 0;
    for (auto& [k, o] : T().objects)
        if (!o->stock) ++n;
    return n;
}

// ---- simple state ----

// A Set/Get pair over one field of the DC's state: Set stores the value when `valid` holds for it and
// answers the old one; both answer `failure` for a bad DC (and Set for a refused value).
#define TW_DC_STATE(Name, Type, field, failure, valid)                                                       \
    Type WINAPI Set##Name(HDC hdc, Type v) {                                                                 \
        DC* dc = GetDC(hdc);                                                                                 \
        if (!dc || !(valid)) return Type(failure);                                                           \
        Type old = Type(dc->s.field);                                                                        \
        dc->s.field = v;                                                                                     \
        return old;                                                                                          \
    }                                                                                                        \
    Type WINAPI Get##Name(HDC hdc) {                                                                         \
        DC* dc = GetDC(hdc);                                                                                 \
        return dc ? Type(dc->s.field) : Type(failure);                                                       \
    }

TW_DC_STATE(TextColor, COLORREF, textColor, CLR_INVALID, true)
TW_DC_STATE(BkColor, COLORREF, bkColor, CLR_INVALID, true)
TW_DC_STATE(BkMode, int, bkMode, 0, v == TRANSPARENT || v == OPAQUE)
TW_DC_STATE(ROP2, int, rop2, 0, v >= R2_BLACK && v <= R2_WHITE)
TW_DC_STATE(PolyFillMode, int, polyFillMode, 0, v == ALTERNATE || v == WINDING)
TW_DC_STATE(StretchBltMode, int, stretchMode, 0, true)
TW_DC_STATE(TextCharacterExtra, int, charExtra, 0, true)
TW_DC_STATE(TextAlign, UINT, textAlign, GDI_ERROR, true)
TW_DC_STATE(DCBrushColor, COLORREF, dcBrushColor, CLR_INVALID, true)
TW_DC_STATE(DCPenColor, COLORREF, dcPenColor, CLR_INVALID, true)
TW_DC_STATE(ArcDirection, int, arcDirection, 0, true)
#undef TW_DC_STATE

int WINAPI SetMapMode(HDC hdc, int mode) {
    // Only MM_TEXT: nothing in the program scales logical units.
    return GetDC(hdc) && mode == MM_TEXT ? MM_TEXT : 0;
}
int WINAPI GetMapMode(HDC hdc) {
    return GetDC(hdc) ? MM_TEXT : 0;
}
int WINAPI SetGraphicsMode(HDC hdc, int mode) {
    DC* dc = GetDC(hdc);
    if (!dc || (mode != GM_COMPATIBLE && mode != GM_ADVANCED)) return 0;
    if (mode == GM_COMPATIBLE && dc->s.graphicsMode == GM_ADVANCED) {
        const XFORM& x = dc->s.xform;
        if (x.eM11 != 1 || x.eM12 != 0 || x.eM21 != 0 || x.eM22 != 1 || x.eDx != 0 || x.eDy != 0) return 0;
    }
    int old = dc->s.graphicsMode;
    dc->s.graphicsMode = mode;
    return old;
}
int WINAPI GetGraphicsMode(HDC hdc) {
    DC* dc = GetDC(hdc);
    return dc ? dc->s.graphicsMode : 0;
}
BOOL WINAPI SetWorldTransform(HDC hdc, const XFORM* x) {
    DC* dc = GetDC(hdc);
    if (!dc || !x || dc->s.graphicsMode != GM_ADVANCED) return FALSE;
    dc->s.xform = *x;
    return TRUE;
}
BOOL WINAPI GetWorldTransform(HDC hdc, LPXFORM x) {
    DC* dc = GetDC(hdc);
    if (!dc || !x) return FALSE;
    *x = dc->s.xform;
    return TRUE;
}
BOOL WINAPI ModifyWorldTransform(HDC hdc, const XFORM* x, DWORD mode) {
    DC* dc = GetDC(hdc);
    if (!dc || dc->s.graphicsMode != GM_ADVANCED) return FALSE;
    auto mul = [](const XFORM& a, const XFORM& b) { // a then b
        return XFORM{a.eM11 * b.eM11 + a.eM12 * b.eM21,       a.eM11 * b.eM12 + a.eM12 * b.eM22,
                     a.eM21 * b.eM11 + a.eM22 * b.eM21,       a.eM21 * b.eM12 + a.eM22 * b.eM22,
                     a.eDx * b.eM11 + a.eDy * b.eM21 + b.eDx, a.eDx * b.eM12 + a.eDy * b.eM22 + b.eDy};
    };
    switch (mode) {
    case MWT_IDENTITY:
        dc->s.xform = XFORM{1, 0, 0, 1, 0, 0};
        return TRUE;
    case MWT_LEFTMULTIPLY:
        if (!x) return FALSE;
        dc->s.xform = mul(*x, dc->s.xform);
        return TRUE;
    case MWT_RIGHTMULTIPLY:
        if (!x) return FALSE;
        dc->s.xform = mul(dc->s.xform, *x);
        return TRUE;
    default:
        return FALSE;
    }
}

// ---- origins ----

static BOOL SetPoint(HDC hdc, POINT DCState::*field, int x, int y, LPPOINT old, bool offset) {
    DC* dc = GetDC(hdc);
    if (!dc) return FALSE;
    POINT& p = dc->s.*field;
    if (old) *old = p;
    p = offset ? POINT{p.x + x, p.y + y} : POINT{x, y};
    return TRUE;
}
static BOOL GetPoint(HDC hdc, POINT DCState::*field, LPPOINT out) {
    DC* dc = GetDC(hdc);
    if (!dc || !out) return FALSE;
    *out = dc->s.*field;
    return TRUE;
}

BOOL WINAPI SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    return SetPoint(hdc, &DCState::windowOrg, x, y, old, false);
}
BOOL WINAPI GetWindowOrgEx(HDC hdc, LPPOINT p) {
    return GetPoint(hdc, &DCState::windowOrg, p);
}
BOOL WINAPI OffsetWindowOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    return SetPoint(hdc, &DCState::windowOrg, x, y, old, true);
}
BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    return SetPoint(hdc, &DCState::viewportOrg, x, y, old, false);
}
BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT p) {
    return GetPoint(hdc, &DCState::viewportOrg, p);
}
BOOL WINAPI OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    return SetPoint(hdc, &DCState::viewportOrg, x, y, old, true);
}
BOOL WINAPI SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    return SetPoint(hdc, &DCState::brushOrg, x, y, old, false);
}
BOOL WINAPI GetBrushOrgEx(HDC hdc, LPPOINT p) {
    return GetPoint(hdc, &DCState::brushOrg, p);
}
BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT p) {
    return GetPoint(hdc, &DCState::pos, p);
}

BOOL WINAPI GetDCOrgEx(HDC hdc, LPPOINT p) {
    DC* dc = GetDC(hdc);
    if (!dc || !p) return FALSE;
    *p = dc->deviceOrigin;
    return TRUE;
}

BOOL WINAPI LPtoDP(HDC hdc, LPPOINT pts, int c) {
    DC* dc = GetDC(hdc);
    if (!dc || (!pts && c > 0)) return FALSE;
    for (int i = 0; i < c; ++i) pts[i] = dc->ToDevice(pts[i].x, pts[i].y);
    return TRUE;
}

BOOL WINAPI DPtoLP(HDC hdc, LPPOINT pts, int c) {
    DC* dc = GetDC(hdc);
    if (!dc || (!pts && c > 0)) return FALSE;
    for (int i = 0; i < c; ++i)
        pts[i] = POINT{pts[i].x + dc->s.windowOrg.x - dc->s.viewportOrg.x,
                       pts[i].y + dc->s.windowOrg.y - dc->s.viewportOrg.y};
    return TRUE;
}

// ---- pens, brushes, palettes ----

HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
    if ((style & PS_STYLE_MASK) > PS_ALTERNATE) return nullptr;
    auto p = std::make_unique<Pen>();
    p->style = DWORD(style);
    p->width = std::max(width, 1);
    // Styled cosmetic pens are one pixel wide; wider ones are drawn solid, as Windows does.
    if (p->width > 1 && p->Kind() >= PS_DASH && p->Kind() <= PS_DASHDOTDOT) p->style = PS_SOLID;
    p->color = color;
    return static_cast<HPEN>(AddObject(std::move(p)));
}

HPEN WINAPI CreatePenIndirect(const LOGPEN* lp) {
    return lp ? CreatePen(int(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor) : nullptr;
}

HPEN WINAPI ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* lb, DWORD, const DWORD*) {
    if (!lb) return nullptr;
    auto p = std::make_unique<Pen>();
    p->style = style;
    p->width = (style & PS_TYPE_MASK) == PS_GEOMETRIC ? std::max<int>(1, int(width)) : 1;
    p->color = lb->lbStyle == BS_NULL ? 0 : lb->lbColor;
    if (lb->lbStyle == BS_NULL) p->style = (style & ~PS_STYLE_MASK) | PS_NULL;
    p->extended = true;
    return static_cast<HPEN>(AddObject(std::move(p)));
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    auto b = std::make_unique<Brush>();
    b->color = color;
    return static_cast<HBRUSH>(AddObject(std::move(b)));
}

HBRUSH WINAPI CreateHatchBrush(int hatch, COLORREF color) {
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
    auto b = std::make_unique<Brush>();
    b->style = BS_HATCHED;
    b->hatch = hatch;
    b->color = color;
    return static_cast<HBRUSH>(AddObject(std::move(b)));
}

HBRUSH WINAPI CreatePatternBrush(HBITMAP hbm) {
    Bitmap* bm = GetBitmap(hbm);
    if (!bm) return nullptr;
    auto b = std::make_unique<Brush>();
    b->style = BS_PATTERN;
    b->sourceBitmap = reinterpret_cast<ULONG_PTR>(hbm);
    b->patW = bm->width;
    b->patH = bm->height;
    b->patMono = bm->bpp == 1;
    PixelTarget t = TargetOf(*bm);
    b->pattern.resize(size_t(bm->width) * size_t(bm->height));
    for (int y = 0; y < bm->height; ++y)
        for (int x = 0; x < bm->width; ++x) {
            uint32_t v = t.Get(x, y);
            if (b->patMono) v = (v & 0xFFFFFF) == (t.palette[1] & 0xFFFFFF) ? 1 : 0;
            b->pattern[size_t(y) * size_t(bm->width) + size_t(x)] = v & 0xFFFFFF;
        }
    return static_cast<HBRUSH>(AddObject(std::move(b)));
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* lb) {
    if (!lb) return nullptr;
    switch (lb->lbStyle) {
    case BS_SOLID:
        return CreateSolidBrush(lb->lbColor);
    case BS_HATCHED:
        return CreateHatchBrush(int(lb->lbHatch), lb->lbColor);
    case BS_PATTERN:
        return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb->lbHatch));
    case BS_NULL: {
        auto b = std::make_unique<Brush>();
        b->style = BS_NULL;
        return static_cast<HBRUSH>(AddObject(std::move(b)));
    }
    default:
        return nullptr;
    }
}

HPALETTE WINAPI CreatePalette(const LOGPALETTE* lp) {
    if (!lp || lp->palNumEntries == 0) return nullptr;
    auto p = std::make_unique<Palette>();
    p->entries.assign(lp->palPalEntry, lp->palPalEntry + lp->palNumEntries);
    return static_cast<HPALETTE>(AddObject(std::move(p)));
}

UINT WINAPI GetPaletteEntries(HPALETTE hpal, UINT start, UINT count, LPPALETTEENTRY out) {
    Palette* p = GetPalette(hpal);
    if (!p) return 0;
    const UINT size = UINT(p->entries.size());
    if (!out) return size;
    if (start >= size) return 0;
    const UINT n = std::min(count, size - start);
    std::copy_n(p->entries.begin() + start, n, out);
    return n;
}

UINT WINAPI SetPaletteEntries(HPALETTE hpal, UINT start, UINT count, const PALETTEENTRY* in) {
    Palette* p = GetPalette(hpal);
    if (!p || !in) return 0;
    const UINT size = UINT(p->entries.size());
    if (start >= size) return 0;
    const UINT n = std::min(count, size - start);
    std::copy_n(in, n, p->entries.begin() + start);
    return n;
}

HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE hpal, BOOL) {
    DC* dc = GetDC(hdc);
    if (!dc || !GetPalette(hpal)) return nullptr;
    HPALETTE old = dc->s.palette;
    dc->s.palette = hpal;
    return old;
}

UINT WINAPI RealizePalette(HDC hdc) {
    return GetDC(hdc) ? 0 : UINT(GDI_ERROR);
}

COLORREF WINAPI GetNearestColor(HDC hdc, COLORREF c) {
    DC* dc = GetDC(hdc);
    if (!dc) return CLR_INVALID;
    return ColorRefOf(dc->Target().FromColorRef(c & 0xFFFFFF));
}

// ---- clipping ----

int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) {
    return ExtSelectClipRgn(hdc, hrgn, RGN_COPY);
}

int WINAPI ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode) {
    DC* dc = GetDC(hdc);
    if (!dc) return ERROR;
    if (!hrgn) {
        if (mode != RGN_COPY) return ERROR;
        return SetClip(*dc, std::nullopt);
    }
    RegionObject* r = GetRegion(hrgn);
    if (!r) return ERROR;
    // Without a clip region, the whole device surface is the current one.
    const Region current = dc->s.clip ? *dc->s.clip : dc->EffectiveClip();
    switch (mode) {
    case RGN_COPY:
        return SetClip(*dc, r->rgn);
    case RGN_AND:
        return SetClip(*dc, Region::Combine(current, r->rgn, Region::Op::And));
    case RGN_OR:
        return SetClip(*dc, Region::Combine(current, r->rgn, Region::Op::Or));
    case RGN_XOR:
        return SetClip(*dc, Region::Combine(current, r->rgn, Region::Op::Xor));
    case RGN_DIFF:
        return SetClip(*dc, Region::Combine(current, r->rgn, Region::Op::Diff));
    default:
        return ERROR;
    }
}

int WINAPI ExcludeClipRect(HDC hdc, int l, int t, int r, int b) {
    DC* dc = GetDC(hdc);
    if (!dc) return ERROR;
    const Region current = dc->s.clip ? *dc->s.clip : dc->EffectiveClip();
    return SetClip(*dc, current.Subtract(Region::FromRect(dc->ToDevice(RECT{l, t, r, b}))));
}

int WINAPI IntersectClipRect(HDC hdc, int l, int t, int r, int b) {
    DC* dc = GetDC(hdc);
    if (!dc) return ERROR;
    const Region rect = Region::FromRect(dc->ToDevice(RECT{l, t, r, b}));
    return SetClip(*dc, dc->s.clip ? dc->s.clip->Intersect(rect) : rect);
}

int WINAPI OffsetClipRgn(HDC hdc, int x, int y) {
    DC* dc = GetDC(hdc);
    if (!dc) return ERROR;
    if (dc->s.clip) dc->s.clip->Offset(x, y);
    return dc->EffectiveClip().Complexity();
}

int WINAPI GetClipBox(HDC hdc, LPRECT out) {
    DC* dc = GetDC(hdc);
    if (!dc || !out) return ERROR;
    const Region eff = dc->EffectiveClip();
    RECT b = eff.Bounds();
    // Logical coordinates.
    const POINT d = dc->ToDevice(0, 0);
    *out = eff.IsEmpty() ? RECT{0, 0, 0, 0} : RECT{b.left - d.x, b.top - d.y, b.right - d.x, b.bottom - d.y};
    return eff.Complexity();
}

int WINAPI GetClipRgn(HDC hdc, HRGN hrgn) {
    DC* dc = GetDC(hdc);
    RegionObject* r = GetRegion(hrgn);
    if (!dc || !r) return -1;
    if (!dc->s.clip) return 0;
    r->rgn = *dc->s.clip;
    return 1;
}

BOOL WINAPI RectVisible(HDC hdc, const RECT* rc) {
    DC* dc = GetDC(hdc);
    if (!dc || !rc) return FALSE;
    RECT d = dc->ToDevice(*rc);
    if (d.left > d.right) std::swap(d.left, d.right);
    if (d.top > d.bottom) std::swap(d.top, d.bottom);
    return dc->EffectiveClip().Intersects(d);
}

BOOL WINAPI PtVisible(HDC hdc, int x, int y) {
    DC* dc = GetDC(hdc);
    if (!dc) return FALSE;
    const POINT p = dc->ToDevice(x, y);
    return dc->EffectiveClip().Contains(p.x, p.y);
}

// ---- debugging ----

BOOL WINAPI TwSaveDCToPng(HDC hdc, const char* path) {
    DC* dc = GetDC(hdc);
    if (!dc || !path) return FALSE;
    PixelTarget t = dc->Target();
    if (!t.Valid()) return FALSE;
    QImage img(t.width, t.height, QImage::Format_RGB32);
    for (int y = 0; y < t.height; ++y)
        for (int x = 0; x < t.width; ++x) img.setPixel(x, y, 0xFF000000u | t.Get(x, y));
    return img.save(QString::fromUtf8(path), "PNG") ? TRUE : FALSE;
}

BOOL WINAPI TwSaveBitmapToPng(HBITMAP hbm, const char* path) {
    Bitmap* bm = GetBitmap(hbm);
    if (!bm || !path) return FALSE;
    PixelTarget t = TargetOf(*bm);
    QImage img(t.width, t.height, QImage::Format_RGB32);
    for (int y = 0; y < t.height; ++y)
        for (int x = 0; x < t.width; ++x) img.setPixel(x, y, 0xFF000000u | t.Get(x, y));
    return img.save(QString::fromUtf8(path), "PNG") ? TRUE : FALSE;
}

} // extern "C"

namespace {
// Registers the module under its Windows name when the library is loaded.
const bool registered = [] {
    TwRegisterModule(u"gdi32.dll", reinterpret_cast<const void*>(&CreateCompatibleDC));
    return true;
}();
} // namespace
