// Icons: creation from bitmaps, drawing, copying, and loading .ico files.
#include "win/user32/Icons.h"
#include "win/user32/twicons.h"
#include "win/kernel32/winbase.h"
#include "win/kernel32/winres.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace winuser {

namespace {

struct Icon {
    IconImage image;
    bool isIcon = true;
    DWORD hotX = 0, hotY = 0;
};

struct IconTable {
    std::unordered_map<uintptr_t, std::unique_ptr<Icon>> icons;
    uintptr_t next = 0x7F000000; // apart from GDI handles
};

IconTable& Icons() {
    static IconTable* t = new IconTable;
    return *t;
}

Icon* LookupIcon(HICON h) {
    auto& t = Icons();
    auto it = t.icons.find(reinterpret_cast<uintptr_t>(h));
    return it == t.icons.end() ? nullptr : it->second.get();
}

HICON AddIcon(std::unique_ptr<Icon> icon) {
    auto& t = Icons();
    const uintptr_t h = t.next;
    t.next += 4;
    t.icons.emplace(h, std::move(icon));
    return reinterpret_cast<HICON>(h);
}

// A 32-bit top-down DIB section holding the image's colours (alpha kept).
HBITMAP ColorBitmap(const IconImage& img) {
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), img.width, -img.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bm) return nullptr;
    auto* p = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < img.argb.size(); ++i) p[i] = img.hasAlpha ? img.argb[i] : (img.argb[i] & 0xFFFFFF);
    return bm;
}

HBITMAP MaskBitmap(const IconImage& img) {
    HBITMAP bm = CreateBitmap(img.width, img.height, 1, 1, nullptr);
    wingdi::Bitmap* b = wingdi::GetBitmap(bm);
    if (!b) return bm;
    wingdi::PixelTarget t = wingdi::TargetOf(*b);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            t.Set(x, y, img.transparent[size_t(y) * size_t(img.width) + size_t(x)] ? 0xFFFFFF : 0);
    return bm;
}

// Picks the .ico entry nearest the wanted size (then the deepest) and decodes it.
bool DecodeIco(const QByteArray& data, int cx, int cy, IconImage& out) {
    auto u16 = [&](qsizetype off) { return uint16_t(uint8_t(data[off]) | uint8_t(data[off + 1]) << 8); };
    auto u32 = [&](qsizetype off) { return uint32_t(u16(off)) | uint32_t(u16(off + 2)) << 16; };
    if (data.size() < 6 || u16(0) != 0 || (u16(2) != 1 && u16(2) != 2)) return false;
    const int count = u16(4);
    if (count == 0 || data.size() < 6 + qsizetype(count) * 16) return false;
    int best = -1;
    long bestScore = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype e = 6 + qsizetype(i) * 16;
        const int w = uint8_t(data[e]) ? uint8_t(data[e]) : 256,
                  h = uint8_t(data[e + 1]) ? uint8_t(data[e + 1]) : 256;
        const int bpp = u16(e + 6);
        const long score = long(std::abs(w - cx) + std::abs(h - cy)) * 1000 - bpp;
        if (best < 0 || score < bestScore) best = i, bestScore = score;
    }
    const qsizetype e = 6 + qsizetype(best) * 16;
    const uint32_t size = u32(e + 8), offset = u32(e + 12);
    if (offset > uint64_t(data.size()) || size > uint64_t(data.size()) - offset || size < 8) return false;
    const QByteArray entry = data.mid(qsizetype(offset), qsizetype(size));
    if (entry.startsWith("\x89PNG")) {
        QImage png = QImage::fromData(entry, "PNG").convertToFormat(QImage::Format_ARGB32);
        if (png.isNull()) return false;
        out.width = png.width();
        out.height = png.height();
        out.hasAlpha = true;
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x) {
                const uint32_t p = png.pixel(x, y);
                out.argb.push_back(p);
                out.transparent.push_back((p >> 24) == 0);
            }
        return true;
    }
    // A DIB: header, colour table, XOR image, then the AND mask, both bottom-up; the height counts both.
    if (entry.size() < qsizetype(sizeof(BITMAPINFOHEADER))) return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, entry.constData(), sizeof h);
    if (h.biSize < sizeof h || h.biSize > uint64_t(entry.size()) || h.biWidth <= 0 || h.biWidth > 1024 ||
        h.biHeight <= 0 || h.biHeight > 2048 || h.biCompression != BI_RGB)
        return false;
    const int w = h.biWidth, ht = h.biHeight / 2, bpp = h.biBitCount;
    if (ht <= 0 || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)) return false;
    const uint64_t colors =
        bpp <= 8 ? (h.biClrUsed ? std::min<uint32_t>(h.biClrUsed, 1u << bpp) : (1u << bpp)) : 0;
    const uint64_t stride = ((uint64_t(w) * bpp + 31) / 32) * 4, maskStride = ((uint64_t(w) + 31) / 32) * 4;
    const uint64_t need = h.biSize + colors * 4 + stride * ht + maskStride * ht;
    if (need > uint64_t(entry.size())) return false;
    const auto* base = reinterpret_cast<const uint8_t*>(entry.constData());
    const uint8_t* table = base + h.biSize;
    const uint8_t* xorBits = table + colors * 4;
    const uint8_t* andBits = xorBits + stride * ht;
    out.width = w;
    out.height = ht;
    out.argb.assign(size_t(w) * size_t(ht), 0);
    out.transparent.assign(out.argb.size(), 0);
    bool anyAlpha = false;
    for (int y = 0; y < ht; ++y) {
        const uint8_t* row = xorBits + stride * uint64_t(ht - 1 - y);
        const uint8_t* mrow = andBits + maskStride * uint64_t(ht - 1 - y);
        for (int x = 0; x < w; ++x) {
            uint32_t v = 0;
            auto fromTable = [&](unsigned idx) {
                if (idx >= colors) return 0u;
                const uint8_t* q = table + idx * 4;
                return uint32_t(q[0]) | uint32_t(q[1]) << 8 | uint32_t(q[2]) << 16;
            };
            switch (bpp) {
            case 32:
                std::memcpy(&v, row + 4 * x, 4);
                break;
            case 24:
                v = uint32_t(row[3 * x]) | uint32_t(row[3 * x + 1]) << 8 | uint32_t(row[3 * x + 2]) << 16;
                break;
            case 8:
                v = fromTable(row[x]);
                break;
            case 4:
                v = fromTable((row[x / 2] >> ((x & 1) ? 0 : 4)) & 15);
                break;
            default:
                v = fromTable((row[x / 8] >> (7 - x % 8)) & 1);
                break;
            }
            if (bpp == 32 && (v >> 24)) anyAlpha = true;
            const size_t k = size_t(y) * size_t(w) + size_t(x);
            out.argb[k] = v;
            out.transparent[k] = (mrow[x / 8] >> (7 - x % 8)) & 1;
        }
    }
    out.hasAlpha = anyAlpha;
    if (!anyAlpha)
        for (size_t k = 0; k < out.argb.size(); ++k)
            out.argb[k] = (out.argb[k] & 0xFFFFFF) | (out.transparent[k] ? 0 : 0xFF000000u);
    return true;
}

// ---- images from a module's resources ----------------------------------------------------------

// A resource's bytes (valid for the life of the process); false with the last error when missing.
bool ResourceBytes(HINSTANCE module, LPCWSTR name, LPCWSTR type, const uint8_t*& data, DWORD& size) {
    HRSRC info = FindResourceW(module, name, type);
    if (!info) return false;
    data = static_cast<const uint8_t*>(LockResource(LoadResource(module, info)));
    size = SizeofResource(module, info);
    return data != nullptr;
}

// A resource bitmap: the module keeps the DIB without its file header, so the header is put back
// for the image reader, its pixel offset worked out from the DIB header. Asked for a DIB section, a
// 24-bit resource keeps its 24 bits; every other load gives 32 bits, as a display of that depth does.
HBITMAP ResourceBitmap(HINSTANCE module, LPCWSTR name, int cx, int cy, UINT flags) {
    const uint8_t* dib = nullptr;
    DWORD size = 0;
    if (!ResourceBytes(module, name, RT_BITMAP, dib, size)) return nullptr;
    auto fail = [] { SetLastError(ERROR_BAD_FORMAT); return nullptr; };
    if (size < 12) return fail();
    uint32_t headerSize;
    std::memcpy(&headerSize, dib, 4);
    if (headerSize != 12 && (headerSize < 40 || headerSize > size)) return fail();
    uint64_t colors = 0;
    int bpp = 0;
    if (headerSize == 12) {
        bpp = dib[10] | dib[11] << 8;
        colors = bpp <= 8 ? (uint64_t(1) << bpp) * 3 : 0;
    } else {
        bpp = dib[14] | dib[15] << 8;
        uint32_t compression, used;
        std::memcpy(&compression, dib + 16, 4);
        std::memcpy(&used, dib + 32, 4);
        if (bpp <= 8) colors = (used && used < (1u << bpp) ? used : (1u << bpp)) * 4;
        else colors = used * uint64_t(4);
        if (compression == BI_BITFIELDS && headerSize == 40) colors += 12;
    }
    const uint64_t offBits = 14 + uint64_t(headerSize) + colors;
    if (offBits > 14 + uint64_t(size)) return fail();
    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    const uint32_t fileSize = 14 + size, off = uint32_t(offBits);
    std::memcpy(file.data() + 2, &fileSize, 4);
    std::memcpy(file.data() + 10, &off, 4);
    file.append(reinterpret_cast<const char*>(dib), qsizetype(size));
    QImage q = QImage::fromData(file, "BMP");
    if (q.isNull()) return fail();
    if (cx || cy) q = q.scaled(cx ? cx : q.width(), cy ? cy : q.height());
    const bool keep24 = (flags & LR_CREATEDIBSECTION) && bpp == 24;
    // Qt's BGR888 lays out a pixel as a 24-bit DIB does.
    q = q.convertToFormat(keep24 ? QImage::Format_BGR888 : QImage::Format_ARGB32);
    const int depth = keep24 ? 24 : 32;
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), q.width(), -q.height(), 1, WORD(depth), BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bm) return nullptr;
    const ptrdiff_t stride = ((ptrdiff_t(q.width()) * depth + 31) / 32) * 4;
    for (int y = 0; y < q.height(); ++y)
        std::memcpy(static_cast<uint8_t*>(bits) + y * stride, q.constScanLine(y), size_t(q.width()) * size_t(depth / 8));
    return bm;
}

} // namespace

bool ResourceIcon(HINSTANCE module, LPCWSTR name, bool cursor, int cx, int cy, IconImage& out, POINT* hotspot) {
    const uint8_t* group = nullptr;
    DWORD size = 0;
    if (!ResourceBytes(module, name, cursor ? RT_GROUP_CURSOR : RT_GROUP_ICON, group, size)) return false;
    // The group directory: a 6-byte header, then 14 bytes per picture naming its RT_ICON/RT_CURSOR id.
    auto u16 = [](const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); };
    const int count = size >= 6 ? u16(group + 4) : 0;
    if (count == 0 || (size - 6) / 14 < uint32_t(count) || u16(group + 2) != (cursor ? 2 : 1)) {
        SetLastError(ERROR_BAD_FORMAT);
        return false;
    }
    int best = -1;
    long bestScore = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = group + 6 + i * 14;
        int w, h;
        if (cursor) {
            w = u16(e), h = u16(e + 2) / 2;
        } else {
            w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
        }
        const long score = long(std::abs(w - cx) + std::abs(h - cy)) * 1000 - u16(e + 6);
        if (best < 0 || score < bestScore) best = i, bestScore = score;
    }
    const uint8_t* picture = nullptr;
    DWORD pictureSize = 0;
    const WORD id = u16(group + 6 + best * 14 + 12);
    if (!ResourceBytes(module, MAKEINTRESOURCEW(id), cursor ? RT_CURSOR : RT_ICON, picture, pictureSize))
        return false;
    POINT hot{0, 0};
    if (cursor) {
        if (pictureSize < 4) {
            SetLastError(ERROR_BAD_FORMAT);
            return false;
        }
        hot = POINT{u16(picture), u16(picture + 2)};
        picture += 4;
        pictureSize -= 4;
    }
    // One picture is an .ico of one entry: the file decoder does the rest.
    QByteArray ico(22, '\0');
    ico[2] = 1;
    ico[4] = 1;
    const uint32_t offset = 22;
    std::memcpy(ico.data() + 6 + 8, &pictureSize, 4);
    std::memcpy(ico.data() + 6 + 12, &offset, 4);
    ico.append(reinterpret_cast<const char*>(picture), qsizetype(pictureSize));
    IconImage img;
    if (!DecodeIco(ico, cx, cy, img)) {
        SetLastError(ERROR_BAD_FORMAT);
        return false;
    }
    out = std::move(img);
    if (hotspot) *hotspot = hot;
    return true;
}

// The system's standard icons (IDI_*), drawn at the wanted size.
bool SystemIcon(uintptr_t id, int size, IconImage& out) {
    if (id < 32512 || id > 32518) return false;
    wingdi::EnsureGuiApplication();
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        const double s = size;
        auto sign = [&](QColor disc, const QString& mark) {
            p.setPen(Qt::NoPen);
            p.setBrush(disc);
            p.drawEllipse(QRectF(s * 0.03, s * 0.03, s * 0.94, s * 0.94));
            QFont f(QStringLiteral("DejaVu Sans"));
            f.setBold(true);
            f.setPixelSize(std::max(1, int(s * 0.6)));
            p.setFont(f);
            p.setPen(Qt::white);
            p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, mark);
        };
        switch (id) {
        case 32513: { // error: a white cross on red
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(232, 17, 35));
            p.drawEllipse(QRectF(s * 0.03, s * 0.03, s * 0.94, s * 0.94));
            p.setPen(QPen(Qt::white, std::max(1.0, s * 0.1)));
            p.drawLine(QPointF(s * 0.32, s * 0.32), QPointF(s * 0.68, s * 0.68));
            p.drawLine(QPointF(s * 0.68, s * 0.32), QPointF(s * 0.32, s * 0.68));
            break;
        }
        case 32514:
            sign(QColor(0, 99, 177), QStringLiteral("?"));
            break;
        case 32516:
            sign(QColor(0, 99, 177), QStringLiteral("i"));
            break;
        case 32515: { // warning: a black mark on a yellow triangle
            QPainterPath path;
            path.moveTo(s * 0.5, s * 0.05);
            path.lineTo(s * 0.97, s * 0.92);
            path.lineTo(s * 0.03, s * 0.92);
            path.closeSubpath();
            p.setPen(Qt::NoPen);
            p.fillPath(path, QColor(252, 225, 0));
            QFont f(QStringLiteral("DejaVu Sans"));
            f.setBold(true);
            f.setPixelSize(std::max(1, int(s * 0.55)));
            p.setFont(f);
            p.setPen(Qt::black);
            p.drawText(QRectF(0, s * 0.2, s, s * 0.72), Qt::AlignCenter, QStringLiteral("!"));
            break;
        }
        case 32518: { // shield
            QPainterPath path;
            path.moveTo(s * 0.5, s * 0.04);
            path.lineTo(s * 0.9, s * 0.18);
            path.quadTo(s * 0.9, s * 0.75, s * 0.5, s * 0.96);
            path.quadTo(s * 0.1, s * 0.75, s * 0.1, s * 0.18);
            path.closeSubpath();
            p.fillPath(path, QColor(0, 99, 177));
            p.fillRect(QRectF(s * 0.5, s * 0.18, s * 0.4, s * 0.32), QColor(252, 225, 0));
            break;
        }
        default: { // application and logo: a window
            p.fillRect(QRectF(s * 0.06, s * 0.12, s * 0.88, s * 0.76), Qt::white);
            p.fillRect(QRectF(s * 0.06, s * 0.12, s * 0.88, s * 0.16), QColor(0, 120, 215));
            p.setPen(QPen(QColor(96, 96, 96), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(s * 0.06, s * 0.12, s * 0.88, s * 0.76));
        }
        }
    }
    out = IconImage{};
    out.width = out.height = size;
    out.hasAlpha = true;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // QImage keeps straight alpha in ARGB32.
            const uint32_t px = img.pixel(x, y);
            out.argb.push_back(px);
            out.transparent.push_back((px >> 24) == 0);
        }
    return true;
}

bool ReadIcon(HICON h, IconImage& out) {
    Icon* icon = LookupIcon(h);
    if (!icon) return false;
    out = icon->image;
    return true;
}

HICON IconFromImage(const IconImage& img, bool isIcon) {
    if (img.Empty()) return nullptr;
    auto icon = std::make_unique<Icon>();
    icon->image = img;
    icon->isIcon = isIcon;
    icon->hotX = DWORD(img.width / 2);
    icon->hotY = DWORD(img.height / 2);
    return AddIcon(std::move(icon));
}

IconImage ImageFromBitmaps(HBITMAP color, HBITMAP mask) {
    IconImage img;
    wingdi::Bitmap* c = wingdi::GetBitmap(color);
    wingdi::Bitmap* m = wingdi::GetBitmap(mask);
    if (!c && !m) return img;
    // Without a colour bitmap the mask holds the AND mask above the XOR image.
    const bool monoIcon = !c;
    img.width = c ? c->width : m->width;
    img.height = c ? c->height : m->height / 2;
    if (img.width <= 0 || img.height <= 0) return IconImage{};
    img.argb.assign(size_t(img.width) * size_t(img.height), 0);
    img.transparent.assign(img.argb.size(), 0);
    wingdi::PixelTarget ct, mt;
    if (c) ct = wingdi::TargetOf(*c);
    if (m) mt = wingdi::TargetOf(*m);
    bool anyAlpha = false;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const size_t k = size_t(y) * size_t(img.width) + size_t(x);
            uint32_t v = 0;
            if (c)
                v = ct.Get(x, y);
            else if (y + img.height < mt.height)
                v = mt.Get(x, y + img.height) & 0xFFFFFF;
            if (c && c->bpp == 32 && (v >> 24)) anyAlpha = true;
            if (!c || c->bpp != 32) v &= 0xFFFFFF;
            img.argb[k] = v;
            if (m && x < mt.width && y < mt.height)
                img.transparent[k] = (mt.Get(x, y) & 0xFFFFFF) == (mt.palette[1] & 0xFFFFFF);
        }
    (void)monoIcon;
    img.hasAlpha = anyAlpha;
    if (!anyAlpha)
        for (size_t k = 0; k < img.argb.size(); ++k)
            img.argb[k] = (img.argb[k] & 0xFFFFFF) | (img.transparent[k] ? 0 : 0xFF000000u);
    return img;
}

IconImage Scaled(const IconImage& img, int width, int height) {
    if (img.Empty() || width <= 0 || height <= 0 || (width == img.width && height == img.height)) return img;
    QImage q(img.width, img.height, QImage::Format_ARGB32);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            q.setPixel(x, y, img.argb[size_t(y) * size_t(img.width) + size_t(x)]);
    const QImage s = q.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    IconImage out;
    out.width = width;
    out.height = height;
    out.hasAlpha = img.hasAlpha;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t p = s.pixel(x, y);
            out.argb.push_back(p);
            out.transparent.push_back((p >> 24) < 128);
        }
    return out;
}

void DrawImage(HDC hdc, int x, int y, int cx, int cy, const IconImage& img, UINT flags) {
    wingdi::DC* dc = wingdi::GetDC(hdc);
    if (!dc || img.Empty() || cx <= 0 || cy <= 0) return;
    wingdi::PixelTarget t = dc->Target();
    if (!t.Valid()) return;
    const POINT a = dc->ToDevice(x, y);
    const POINT o = dc->deviceOrigin;
    const bool image = flags & DI_IMAGE, mask = flags & DI_MASK;
    dc->EffectiveClip()
        .Intersect(RECT{a.x, a.y, a.x + cx, a.y + cy})
        .ForEachSpan([&](int py, int x0, int x1) {
            const int v = int((int64_t(py - a.y) * 2 + 1) * img.height / (int64_t(cy) * 2));
            for (int px = x0; px < x1; ++px) {
                const int u = int((int64_t(px - a.x) * 2 + 1) * img.width / (int64_t(cx) * 2));
                const size_t k = size_t(v) * size_t(img.width) + size_t(u);
                const uint32_t s = img.argb[k];
                const uint32_t d = t.Get(px + o.x, py + o.y);
                uint32_t out = d;
                if (image && mask && img.hasAlpha) {
                    const uint32_t alpha = s >> 24;
                    out = 0;
                    for (int sh = 0; sh < 24; sh += 8)
                        out |= ((((s >> sh) & 0xFF) * alpha + ((d >> sh) & 0xFF) * (255 - alpha) + 127) / 255)
                               << sh;
                } else if (image && mask) {
                    out = (img.transparent[k] ? d : 0) ^ (img.transparent[k] ? 0 : s);
                } else if (mask) {
                    out = img.transparent[k] ? d : 0;
                } else if (image) {
                    out = s;
                }
                t.Set(px + o.x, py + o.y, out & 0xFFFFFF);
            }
        });
}

} // namespace winuser

using namespace winuser;

extern "C" {

HICON WINAPI CreateIconIndirect(PICONINFO info) {
    if (!info || !info->hbmMask) return nullptr;
    IconImage img = ImageFromBitmaps(info->hbmColor, info->hbmMask);
    if (img.Empty()) return nullptr;
    auto icon = std::make_unique<Icon>();
    icon->image = std::move(img);
    icon->isIcon = info->fIcon != 0;
    icon->hotX = info->fIcon ? DWORD(icon->image.width / 2) : info->xHotspot;
    icon->hotY = info->fIcon ? DWORD(icon->image.height / 2) : info->yHotspot;
    return AddIcon(std::move(icon));
}

BOOL WINAPI GetIconInfo(HICON h, PICONINFO info) {
    Icon* icon = LookupIcon(h);
    if (!icon || !info) return FALSE;
    // The caller owns both bitmaps.
    info->fIcon = icon->isIcon;
    info->xHotspot = icon->hotX;
    info->yHotspot = icon->hotY;
    info->hbmColor = ColorBitmap(icon->image);
    info->hbmMask = MaskBitmap(icon->image);
    return TRUE;
}

int WINAPI TwIconCount(void) { return int(Icons().icons.size()); }

BOOL WINAPI DestroyIcon(HICON h) {
    return Icons().icons.erase(reinterpret_cast<uintptr_t>(h)) ? TRUE : FALSE;
}

HICON WINAPI CopyIcon(HICON h) {
    Icon* icon = LookupIcon(h);
    if (!icon) return nullptr;
    return AddIcon(std::make_unique<Icon>(*icon));
}

BOOL WINAPI DrawIconEx(HDC hdc, int x, int y, HICON h, int cx, int cy, UINT, HBRUSH flicker, UINT flags) {
    Icon* icon = LookupIcon(h);
    if (!icon || !wingdi::GetDC(hdc)) return FALSE;
    if (cx == 0) cx = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(SM_CXICON) : icon->image.width;
    if (cy == 0) cy = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(SM_CYICON) : icon->image.height;
    if (!(flags & DI_NORMAL)) flags |= DI_NORMAL;
    if (flicker) {
        const RECT r{x, y, x + cx, y + cy};
        FillRect(hdc, &r, flicker);
    }
    DrawImage(hdc, x, y, cx, cy, icon->image, flags);
    return TRUE;
}

BOOL WINAPI DrawIcon(HDC hdc, int x, int y, HICON h) {
    return DrawIconEx(hdc, x, y, h, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}

HANDLE WINAPI CopyImage(HANDLE h, UINT type, int cx, int cy, UINT flags) {
    if (type == IMAGE_ICON || type == IMAGE_CURSOR) {
        Icon* icon = LookupIcon(static_cast<HICON>(h));
        if (!icon) return nullptr;
        const int w = cx ? cx : ((flags & LR_DEFAULTSIZE) ? GetSystemMetrics(SM_CXICON) : icon->image.width);
        const int ht =
            cy ? cy : ((flags & LR_DEFAULTSIZE) ? GetSystemMetrics(SM_CYICON) : icon->image.height);
        if ((flags & LR_COPYRETURNORG) && w == icon->image.width && ht == icon->image.height) return h;
        auto copy = std::make_unique<Icon>(*icon);
        copy->image = Scaled(icon->image, w, ht);
        HICON result = AddIcon(std::move(copy));
        if (flags & LR_COPYDELETEORG) DestroyIcon(static_cast<HICON>(h));
        return result;
    }
    if (type == IMAGE_BITMAP) {
        wingdi::Bitmap* bm = wingdi::GetBitmap(h);
        if (!bm) return nullptr;
        const int w = cx ? cx : bm->width, ht = cy ? cy : bm->height;
        if ((flags & LR_COPYRETURNORG) && w == bm->width && ht == bm->height) return h;
        BITMAPINFO bmi{};
        const int bpp = (flags & LR_MONOCHROME) ? 1 : (bm->bpp == 1 ? 1 : 32);
        HBITMAP copy;
        if (bpp == 1) {
            copy = CreateBitmap(w, ht, 1, 1, nullptr);
        } else {
            bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -ht, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
            void* bits = nullptr;
            copy = (flags & LR_CREATEDIBSECTION) || bm->dib
                       ? CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0)
                       : CreateBitmap(w, ht, 1, 32, nullptr);
        }
        if (!copy) return nullptr;
        HDC src = CreateCompatibleDC(nullptr), dst = CreateCompatibleDC(nullptr);
        HGDIOBJ o1 = SelectObject(src, h), o2 = SelectObject(dst, copy);
        if (o1) {
            StretchBlt(dst, 0, 0, w, ht, src, 0, 0, bm->width, bm->height, SRCCOPY);
            SelectObject(src, o1);
        } else {
            // Selected elsewhere: copy the pixels directly.
            wingdi::PixelTarget s = wingdi::TargetOf(*bm), d = wingdi::TargetOf(*wingdi::GetBitmap(copy));
            for (int y = 0; y < ht; ++y)
                for (int x = 0; x < w; ++x) d.Set(x, y, s.Get(x * bm->width / w, y * bm->height / ht));
        }
        SelectObject(dst, o2);
        DeleteDC(src);
        DeleteDC(dst);
        if (flags & LR_COPYDELETEORG) DeleteObject(h);
        return copy;
    }
    return nullptr;
}

HANDLE WINAPI LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
    if (!(flags & LR_LOADFROMFILE) && !instance && IS_INTRESOURCE(name) && (type == IMAGE_ICON)) {
        const int size =
            cx ? cx : ((flags & LR_DEFAULTSIZE) ? GetSystemMetrics(SM_CXICON) : GetSystemMetrics(SM_CXICON));
        IconImage img;
        if (!SystemIcon(reinterpret_cast<uintptr_t>(name), size, img)) return nullptr;
        if (cy && cy != size) img = Scaled(img, size, cy);
        return IconFromImage(img);
    }
    // A module's own resources.
    if (!(flags & LR_LOADFROMFILE) && instance && name) {
        if (type == IMAGE_BITMAP) return ResourceBitmap(instance, name, cx, cy, flags);
        // Cursors are shown at their own size, so every cursor load goes where SetCursor knows it.
        if (type == IMAGE_CURSOR) return LoadCursorW(instance, name);
        if (type != IMAGE_ICON) return nullptr;
        const int w = cx ? cx : GetSystemMetrics(SM_CXICON), h = cy ? cy : GetSystemMetrics(SM_CYICON);
        IconImage img;
        if (!ResourceIcon(instance, name, false, w, h, img, nullptr)) return nullptr;
        // A size of 0 keeps the picture's own, unless LR_DEFAULTSIZE asks for the system's.
        const bool byDefault = flags & LR_DEFAULTSIZE;
        img = Scaled(img, cx || byDefault ? w : img.width, cy || byDefault ? h : img.height);
        return IconFromImage(img);
    }
    if (!(flags & LR_LOADFROMFILE) || !name || IS_INTRESOURCE(name)) return nullptr;
    QFile f(QString::fromUtf16(name));
    if (!f.open(QIODevice::ReadOnly)) return nullptr;
    // Icon files are small; refuse anything that could not be one before reading it all.
    if (f.size() > 16 * 1024 * 1024) return nullptr;
    const QByteArray data = f.readAll();
    if (type == IMAGE_ICON || type == IMAGE_CURSOR) {
        const int w = cx ? cx : ((flags & LR_DEFAULTSIZE) ? GetSystemMetrics(SM_CXICON) : 0);
        const int h = cy ? cy : ((flags & LR_DEFAULTSIZE) ? GetSystemMetrics(SM_CYICON) : 0);
        IconImage img;
        if (!DecodeIco(data, w ? w : GetSystemMetrics(SM_CXICON), h ? h : GetSystemMetrics(SM_CYICON), img))
            return nullptr;
        if (w && h) img = Scaled(img, w, h);
        return IconFromImage(img, type == IMAGE_ICON);
    }
    if (type == IMAGE_BITMAP) {
        QImage q = QImage::fromData(data);
        if (q.isNull()) return nullptr;
        if (cx || cy) q = q.scaled(cx ? cx : q.width(), cy ? cy : q.height());
        q = q.convertToFormat(QImage::Format_ARGB32);
        BITMAPINFO bmi{};
        bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), q.width(), -q.height(), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bm = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bm) return nullptr;
        for (int y = 0; y < q.height(); ++y)
            std::memcpy(static_cast<uint8_t*>(bits) + ptrdiff_t(y) * q.width() * 4, q.constScanLine(y),
                        size_t(q.width()) * 4);
        return bm;
    }
    return nullptr;
}

HBITMAP WINAPI LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    return static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, 0));
}

} // extern "C"
