// win/gdi32/Gdi.h: the objects behind GDI handles, shared by the stand-in's modules (gdi32, msimg32,
// user32, comctl32, uxtheme). Not for callers outside platform/win.
#pragma once

#include "win/gdi32/Region.h"
#include "win/gdi32/wingdi.h"

#include <QFont>
#include <QImage>

#include <array>
#include <cstdint>
#include <cwchar>
#include <memory>
#include <optional>
#include <vector>

TW_SHARED_BEGIN
namespace wingdi {

struct GdiObject {
    explicit GdiObject(DWORD t) : type(t) {}
    virtual ~GdiObject() = default;
    DWORD type;                 // OBJ_*
    bool stock = false;         // stock objects ignore DeleteObject
    bool deletePending = false; // deleted while selected: goes when no DC holds it any more
};

struct Pen : GdiObject {
    Pen() : GdiObject(OBJ_PEN) {}
    DWORD style = PS_SOLID; // whole style, with the type, end-cap and join bits
    int width = 1;
    COLORREF color = 0;
    bool extended = false;
    int Kind() const { return int(style & PS_STYLE_MASK); }
};

struct Bitmap;

struct Brush : GdiObject {
    Brush() : GdiObject(OBJ_BRUSH) {}
    UINT style = BS_SOLID;
    COLORREF color = 0;
    int hatch = 0;
    // BS_PATTERN: the pattern, copied when the brush was made. A monochrome pattern takes the
    // DC's text colour for 0 bits and its background colour for 1 bits, as Windows draws it.
    int patW = 0, patH = 0;
    bool patMono = false;
    std::vector<uint32_t> pattern; // 0x00RRGGBB, or 0/1 when patMono
    ULONG_PTR sourceBitmap = 0;    // the handle given at creation, reported by GetObject
};

struct Font : GdiObject {
    Font() : GdiObject(OBJ_FONT), serial(++LastSerial) {}
    LOGFONTW lf{};
    mutable std::unique_ptr<QFont> qfont; // made on first use
    const uint64_t serial; // unique over the process: measures kept for a font are never another's
    static inline uint64_t LastSerial = 0;
};

struct Palette : GdiObject {
    Palette() : GdiObject(OBJ_PAL) {}
    std::vector<PALETTEENTRY> entries;
};

struct RegionObject : GdiObject {
    RegionObject() : GdiObject(OBJ_REGION) {}
    Region rgn;
};

// A bitmap: 1, 24 or 32 bits per pixel. Memory rows run top-down or bottom-up as the DIB said.
struct Bitmap : GdiObject {
    Bitmap() : GdiObject(OBJ_BITMAP) {}
    int width = 0, height = 0, bpp = 32;
    int stride = 0;      // bytes per memory row (DWORD aligned for DIBs, WORD aligned for DDBs)
    bool topDown = true; // memory row 0 is the top row
    bool dib = false;    // made by CreateDIBSection
    uint8_t* bits = nullptr;
    std::unique_ptr<uint8_t[]> storage;
    std::vector<RGBQUAD> colors;  // colour table (1 bit: 2 entries)
    BITMAPINFOHEADER dibHeader{}; // as given to CreateDIBSection, for GetObject
    DWORD masks[3] = {0, 0, 0};
    int selectedInto = 0; // memory DCs holding it

    uint8_t* Row(int y) const { return bits + ptrdiff_t(topDown ? y : height - 1 - y) * stride; }
};

// Reads and writes pixels of a target as 0x00RRGGBB words (32-bit targets keep their top byte).
// Targets of 1, 4 or 8 bits read through their colour table and write the nearest entry.
struct PixelTarget {
    uint8_t* bits = nullptr;
    int width = 0, height = 0;
    ptrdiff_t stride = 0; // bytes from one row to the next below it (negative for bottom-up)
    int bpp = 32;
    // The colour table, 256 entries: black, white and black again unless SetPalette gave others.
    // Shared, so that making and copying a 32-bit target (once or more per drawing call) is cheap.
    const uint32_t* palette = DefaultPalette.data();
    int paletteSize = 2;
    static constexpr std::array<uint32_t, 256> DefaultPalette{0x000000, 0xFFFFFF};
    void SetPalette(const RGBQUAD* colors, int n); // n entries over the default table

    bool Valid() const { return bits != nullptr && width > 0 && height > 0; }
    uint32_t Get(int x, int y) const;
    void Set(int x, int y, uint32_t v) const;
    // The value a colour takes on this target (monochrome targets take black or white).
    uint32_t FromColorRef(COLORREF c) const;
    uint32_t Nearest(uint32_t rgb) const; // index of the nearest colour-table entry

private:
    std::shared_ptr<const std::array<uint32_t, 256>> ownPalette_;
};

PixelTarget TargetOf(const Bitmap& bm);

struct DCState {
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF dcBrushColor = RGB(255, 255, 255);
    COLORREF dcPenColor = RGB(0, 0, 0);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int polyFillMode = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    UINT textAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
    int charExtra = 0;
    int arcDirection = AD_COUNTERCLOCKWISE;
    int graphicsMode = GM_COMPATIBLE;
    XFORM xform{1, 0, 0, 1, 0, 0};
    POINT windowOrg{0, 0}, viewportOrg{0, 0}, brushOrg{0, 0}, pos{0, 0};
    std::optional<Region> clip; // device coordinates; none = not clipped
};

enum class DCKind { Memory, Surface };

struct DC : GdiObject {
    DC() : GdiObject(OBJ_MEMDC) {}
    DCKind kind = DCKind::Memory;
    TwSurface surface{};           // Surface DCs
    POINT deviceOrigin{0, 0};      // where device (0, 0) lies on the target
    std::optional<Region> visible; // device coordinates; none = the whole target
    DCState s;
    std::vector<DCState> saved;
    // The path being recorded (pathOpen) or ended and waiting for use: figures in device coordinates.
    bool pathOpen = false;
    bool pathDone = false;
    std::vector<std::vector<POINT>> path;

    PixelTarget Target() const;
    Bitmap* SelectedBitmap() const;
    // Logical to device coordinates (MM_TEXT; the world transform is applied by callers that honour it).
    POINT ToDevice(int x, int y) const {
        return POINT{x - s.windowOrg.x + s.viewportOrg.x, y - s.windowOrg.y + s.viewportOrg.y};
    }
    RECT ToDevice(const RECT& r) const {
        POINT a = ToDevice(r.left, r.top), b = ToDevice(r.right, r.bottom);
        return RECT{a.x, a.y, b.x, b.y};
    }
    // Everything a drawing call may touch, in device coordinates: target ∩ visible ∩ clip.
    Region EffectiveClip() const;
    // The same when it is a rectangle (or empty), without building regions; nullopt otherwise.
    std::optional<RECT> EffectiveClipRect() const;
    // EffectiveClip() ∩ r, quickly when the clip is a rectangle.
    Region ClipTo(const RECT& r) const;
};

// ---- handle table ----
HGDIOBJ AddObject(std::unique_ptr<GdiObject> obj);
GdiObject* Lookup(HGDIOBJ h);
template <class T> T* LookupAs(HGDIOBJ h, DWORD type) {
    GdiObject* o = Lookup(h);
    return o && o->type == type ? static_cast<T*>(o) : nullptr;
}
inline Pen* GetPen(HGDIOBJ h) {
    return LookupAs<Pen>(h, OBJ_PEN);
}
inline Brush* GetBrush(HGDIOBJ h) {
    return LookupAs<Brush>(h, OBJ_BRUSH);
}
inline Font* GetFont(HGDIOBJ h) {
    return LookupAs<Font>(h, OBJ_FONT);
}
inline Bitmap* GetBitmap(HGDIOBJ h) {
    return LookupAs<Bitmap>(h, OBJ_BITMAP);
}
inline RegionObject* GetRegion(HGDIOBJ h) {
    return LookupAs<RegionObject>(h, OBJ_REGION);
}
inline Palette* GetPalette(HGDIOBJ h) {
    return LookupAs<Palette>(h, OBJ_PAL);
}
DC* GetDC(HDC h);

// Makes a bitmap with its own zeroed memory; nullptr for sizes that do not fit.
std::unique_ptr<Bitmap> NewBitmap(int width, int height, int bpp, bool topDown, int rowAlign);
HBITMAP AddBitmap(std::unique_ptr<Bitmap> bm);

// ---- painting helpers shared by the modules ----
uint32_t Rop2(int rop2, uint32_t pen, uint32_t dst);
uint32_t Rop3(DWORD rop, uint32_t pat, uint32_t src, uint32_t dst);
inline uint32_t RgbOf(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF ColorRefOf(uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// The brush as a pixel source for one drawing call.
struct BrushSource {
    const Brush* brush = nullptr;
    POINT origin{0, 0};
    uint32_t solid = 0, fg = 0, bg = 0;
    bool opaqueBk = true;
    // False where the brush leaves the pixel alone (null brush, transparent hatch background).
    bool At(int x, int y, uint32_t& out) const;
    // Whether At gives a pixel everywhere, so that whole rows can be fetched with Row.
    bool Opaque() const;
    // out[0, n) = the brush's pixels from (x, y) rightwards; only for opaque brushes. The pattern
    // row is read once and repeated.
    void Row(int x, int y, int n, uint32_t* out) const;
};
BrushSource MakeBrushSource(const DC& dc, HBRUSH h, const PixelTarget& t);

// Span kernels for 32-bit targets: d[i] = rop(p[i], s[i], d[i]) for i < n. A kernel reads p and s only
// when its operation uses them (they may be null otherwise); s must not overlap d.
using RopSpan = void (*)(uint32_t* d, const uint32_t* p, const uint32_t* s, int n);
RopSpan Rop3Span(DWORD rop);
// d[0, n) = v: long runs with the C library's widest stores, short ones (a control's rows) inline.
inline void Fill32(uint32_t* d, int n, uint32_t v) {
    static_assert(sizeof(wchar_t) == sizeof(uint32_t));
    if (n <= 64) {
        for (int i = 0; i < n; ++i) d[i] = v;
        return;
    }
    std::wmemset(reinterpret_cast<wchar_t*>(d), wchar_t(v), size_t(n));
}
RopSpan Rop2Span(int rop2);        // p is the pen or brush, no source
BYTE Rop3CodeOfRop2(int rop2);      // the ternary code that does what the binary operation does

// Fills a device-coordinate region (already clipped) with a brush through a binary raster operation.
void PaintRegion(const DC& dc, const Region& rgn, const BrushSource& src, int rop2);
// Clips a device-coordinate region to the DC and fills it with a brush (rop2 from the DC unless given).
void FillDeviceRegion(DC& dc, const Region& rgn, HBRUSH brush, std::optional<int> rop2 = std::nullopt);

// Debugging and QPainter interop: copies a device rectangle of the target into an RGB32 image and back.
QImage ReadImage(const DC& dc, const RECT& devRect);
// Writes back the pixels of img (placed at devRect) that differ from `before`, inside the clip
// (and inside `extraClip`, device coordinates, when given).
void WriteImage(DC& dc, const RECT& devRect, const QImage& img, const QImage& before,
                const Region* extraClip = nullptr);

// Fonts
QFont QFontOf(const LOGFONTW& lf);
const QFont& CurrentQFont(const DC& dc);
const LOGFONTW& CurrentLogFont(const DC& dc);
void EnsureGuiApplication();
// Draws one line of text as ExtTextOutW does, with x, y in logical coordinates.
BOOL TextLine(DC& dc, int x, int y, UINT options, const RECT* rect, const QString& text, const INT* dx);
// Width of a string in the DC's font (logical units), character extra included.
int TextWidth(const DC& dc, const QString& text);

} // namespace wingdi
TW_SHARED_END

