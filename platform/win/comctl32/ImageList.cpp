// Image lists: images of one size with masks and alpha, drawn normal, transparent, blended or as masks.
#include "win/comctl32/commctrl.h"
#include "win/user32/Icons.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

struct _IMAGELIST {
    int cx = 0, cy = 0;
    UINT flags = 0;
    int grow = 4;
    COLORREF bk = CLR_NONE;
    std::vector<winuser::IconImage> images;
    int overlays[16] = {};                           // overlay index (1..15) → image index + 1
    HBITMAP infoImage = nullptr, infoMask = nullptr; // made for ImageList_GetImageInfo
};

namespace {

std::unordered_set<HIMAGELIST>& Lists() {
    static auto* lists = new std::unordered_set<HIMAGELIST>;
    return *lists;
}

_IMAGELIST* Get(HIMAGELIST h) {
    return h && Lists().count(h) ? h : nullptr;
}

void DropInfo(_IMAGELIST* l) {
    if (l->infoImage) DeleteObject(l->infoImage);
    if (l->infoMask) DeleteObject(l->infoMask);
    l->infoImage = l->infoMask = nullptr;
}

// Cuts a strip bitmap into images of the list's width.
std::vector<winuser::IconImage> Split(_IMAGELIST* l, const winuser::IconImage& strip) {
    std::vector<winuser::IconImage> out;
    if (strip.Empty() || l->cx <= 0) return out;
    for (int n = 0; (n + 1) * l->cx <= strip.width; ++n) {
        winuser::IconImage img;
        img.width = l->cx;
        img.height = l->cy;
        img.hasAlpha = strip.hasAlpha;
        img.argb.assign(size_t(l->cx) * size_t(l->cy), 0);
        img.transparent.assign(img.argb.size(), 1);
        for (int y = 0; y < std::min(l->cy, strip.height); ++y)
            for (int x = 0; x < l->cx; ++x) {
                const size_t s = size_t(y) * size_t(strip.width) + size_t(n * l->cx + x),
                             d = size_t(y) * size_t(l->cx) + size_t(x);
                img.argb[d] = strip.argb[s];
                img.transparent[d] = strip.transparent[s];
            }
        if (!(l->flags & ILC_MASK) && !img.hasAlpha)
            std::fill(img.transparent.begin(), img.transparent.end(), 0);
        out.push_back(std::move(img));
    }
    return out;
}

uint32_t Blend(uint32_t a, uint32_t b, int percentA) {
    uint32_t out = 0;
    for (int sh = 0; sh < 24; sh += 8)
        out |= (((a >> sh) & 0xFF) * uint32_t(percentA) + ((b >> sh) & 0xFF) * uint32_t(100 - percentA)) / 100
               << sh;
    return out;
}

} // namespace

extern "C" {

HIMAGELIST WINAPI ImageList_Create(int cx, int cy, UINT flags, int, int grow) {
    if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096) return nullptr;
    auto* l = new _IMAGELIST;
    l->cx = cx;
    l->cy = cy;
    l->flags = flags;
    l->grow = std::max(1, grow);
    Lists().insert(l);
    return l;
}

BOOL WINAPI ImageList_Destroy(HIMAGELIST h) {
    _IMAGELIST* l = Get(h);
    if (!l) return FALSE;
    DropInfo(l);
    Lists().erase(h);
    delete l;
    return TRUE;
}

int WINAPI ImageList_GetImageCount(HIMAGELIST h) {
    _IMAGELIST* l = Get(h);
    return l ? int(l->images.size()) : 0;
}

BOOL WINAPI ImageList_SetImageCount(HIMAGELIST h, UINT n) {
    _IMAGELIST* l = Get(h);
    if (!l) return FALSE;
    winuser::IconImage blank;
    blank.width = l->cx;
    blank.height = l->cy;
    blank.argb.assign(size_t(l->cx) * size_t(l->cy), 0);
    blank.transparent.assign(blank.argb.size(), 0);
    l->images.resize(n, blank);
    return TRUE;
}

int WINAPI ImageList_Add(HIMAGELIST h, HBITMAP image, HBITMAP mask) {
    _IMAGELIST* l = Get(h);
    if (!l || !image) return -1;
    auto parts = Split(l, winuser::ImageFromBitmaps(image, mask));
    if (parts.empty()) return -1;
    const int first = int(l->images.size());
    for (auto& p : parts) l->images.push_back(std::move(p));
    return first;
}

int WINAPI ImageList_AddMasked(HIMAGELIST h, HBITMAP image, COLORREF maskColor) {
    _IMAGELIST* l = Get(h);
    if (!l || !image) return -1;
    winuser::IconImage strip = winuser::ImageFromBitmaps(image, nullptr);
    const uint32_t key = wingdi::RgbOf(maskColor);
    for (size_t k = 0; k < strip.argb.size(); ++k) {
        if ((strip.argb[k] & 0xFFFFFF) == key) {
            strip.transparent[k] = 1;
            strip.argb[k] = 0; // as Windows does, the masked pixels become black in the image
        }
    }
    const UINT saved = l->flags;
    l->flags |= ILC_MASK;
    auto parts = Split(l, strip);
    l->flags = saved;
    if (parts.empty()) return -1;
    const int first = int(l->images.size());
    for (auto& p : parts) l->images.push_back(std::move(p));
    return first;
}

int WINAPI ImageList_ReplaceIcon(HIMAGELIST h, int i, HICON icon) {
    _IMAGELIST* l = Get(h);
    winuser::IconImage img;
    if (!l || !winuser::ReadIcon(icon, img)) return -1;
    img = winuser::Scaled(img, l->cx, l->cy); // the list keeps its own copy
    if (i == -1) {
        l->images.push_back(std::move(img));
        return int(l->images.size()) - 1;
    }
    if (i < 0 || i >= int(l->images.size())) return -1;
    l->images[size_t(i)] = std::move(img);
    return i;
}

BOOL WINAPI ImageList_Replace(HIMAGELIST h, int i, HBITMAP image, HBITMAP mask) {
    _IMAGELIST* l = Get(h);
    if (!l || i < 0 || i >= int(l->images.size())) return FALSE;
    auto parts = Split(l, winuser::ImageFromBitmaps(image, mask));
    if (parts.empty()) return FALSE;
    l->images[size_t(i)] = std::move(parts.front());
    return TRUE;
}

BOOL WINAPI ImageList_Remove(HIMAGELIST h, int i) {
    _IMAGELIST* l = Get(h);
    if (!l) return FALSE;
    if (i == -1) {
        l->images.clear();
        return TRUE;
    }
    if (i < 0 || i >= int(l->images.size())) return FALSE;
    l->images.erase(l->images.begin() + i);
    return TRUE;
}

COLORREF WINAPI ImageList_SetBkColor(HIMAGELIST h, COLORREF bk) {
    _IMAGELIST* l = Get(h);
    if (!l) return CLR_NONE;
    const COLORREF old = l->bk;
    l->bk = bk;
    return old;
}

COLORREF WINAPI ImageList_GetBkColor(HIMAGELIST h) {
    _IMAGELIST* l = Get(h);
    return l ? l->bk : CLR_NONE;
}

BOOL WINAPI ImageList_SetOverlayImage(HIMAGELIST h, int image, int overlay) {
    _IMAGELIST* l = Get(h);
    if (!l || overlay < 1 || overlay > 15 || image < 0 || image >= int(l->images.size())) return FALSE;
    l->overlays[overlay] = image + 1;
    return TRUE;
}

BOOL WINAPI ImageList_DrawEx(HIMAGELIST h, int i, HDC hdc, int x, int y, int dx, int dy, COLORREF rgbBk,
                             COLORREF rgbFg, UINT style) {
    _IMAGELIST* l = Get(h);
    wingdi::DC* dc = wingdi::GetDC(hdc);
    if (!l || !dc || i < 0 || i >= int(l->images.size())) return FALSE;
    winuser::IconImage img = l->images[size_t(i)];
    // A part of the image from its top-left corner when dx or dy is given.
    const int w = dx > 0 ? std::min(dx, img.width) : img.width,
              ht = dy > 0 ? std::min(dy, img.height) : img.height;
    if (rgbBk == CLR_DEFAULT) rgbBk = l->bk;
    const bool transparent = (style & ILD_TRANSPARENT) || rgbBk == CLR_NONE;
    if (style & (ILD_BLEND25 | ILD_BLEND50)) {
        const COLORREF fg = rgbFg == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : rgbFg;
        if (fg != CLR_NONE) {
            const int keep = (style & ILD_BLEND50) ? 50 : 75;
            for (auto& p : img.argb) p = (p & 0xFF000000u) | Blend(p, wingdi::RgbOf(fg), keep);
        }
    }
    winuser::IconImage part = img;
    if (w != img.width || ht != img.height) {
        part.width = w;
        part.height = ht;
        part.argb.clear();
        part.transparent.clear();
        for (int yy = 0; yy < ht; ++yy)
            for (int xx = 0; xx < w; ++xx) {
                part.argb.push_back(img.argb[size_t(yy) * size_t(img.width) + size_t(xx)]);
                part.transparent.push_back(img.transparent[size_t(yy) * size_t(img.width) + size_t(xx)]);
            }
    }
    if (!transparent) {
        const RECT r{x, y, x + w, y + ht};
        HBRUSH b = CreateSolidBrush(rgbBk);
        FillRect(hdc, &r, b);
        DeleteObject(b);
    }
    UINT flags = DI_NORMAL;
    if (style & ILD_MASK)
        flags = DI_MASK;
    else if ((style & ILD_IMAGE) || (!(l->flags & ILC_MASK) && !part.hasAlpha))
        flags = DI_IMAGE;
    winuser::DrawImage(hdc, x, y, w, ht, part, flags);
    const int overlay = int((style & ILD_OVERLAYMASK) >> 8);
    if (overlay > 0 && l->overlays[overlay] > 0 && l->overlays[overlay] <= int(l->images.size()))
        winuser::DrawImage(hdc, x, y, w, ht, l->images[size_t(l->overlays[overlay] - 1)], DI_NORMAL);
    return TRUE;
}

BOOL WINAPI ImageList_Draw(HIMAGELIST h, int i, HDC hdc, int x, int y, UINT style) {
    return ImageList_DrawEx(h, i, hdc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

HICON WINAPI ImageList_GetIcon(HIMAGELIST h, int i, UINT) {
    _IMAGELIST* l = Get(h);
    if (!l || i < 0 || i >= int(l->images.size())) return nullptr;
    return winuser::IconFromImage(l->images[size_t(i)]);
}

BOOL WINAPI ImageList_GetIconSize(HIMAGELIST h, int* cx, int* cy) {
    _IMAGELIST* l = Get(h);
    if (!l || !cx || !cy) return FALSE;
    *cx = l->cx;
    *cy = l->cy;
    return TRUE;
}

BOOL WINAPI ImageList_SetIconSize(HIMAGELIST h, int cx, int cy) {
    _IMAGELIST* l = Get(h);
    if (!l || cx <= 0 || cy <= 0) return FALSE;
    // Windows empties the list when its size changes.
    l->cx = cx;
    l->cy = cy;
    l->images.clear();
    return TRUE;
}

BOOL WINAPI ImageList_GetImageInfo(HIMAGELIST h, int i, IMAGEINFO* info) {
    _IMAGELIST* l = Get(h);
    if (!l || !info || i < 0 || i >= int(l->images.size())) return FALSE;
    // One strip of all images, rebuilt for each query: the list owns it.
    DropInfo(l);
    winuser::IconImage strip;
    strip.width = l->cx * int(l->images.size());
    strip.height = l->cy;
    strip.argb.assign(size_t(strip.width) * size_t(strip.height), 0);
    strip.transparent.assign(strip.argb.size(), 0);
    for (size_t n = 0; n < l->images.size(); ++n)
        for (int y = 0; y < l->cy; ++y)
            for (int x = 0; x < l->cx; ++x) {
                const size_t d = size_t(y) * size_t(strip.width) + n * size_t(l->cx) + size_t(x);
                strip.argb[d] = l->images[n].argb[size_t(y) * size_t(l->cx) + size_t(x)];
                strip.transparent[d] = l->images[n].transparent[size_t(y) * size_t(l->cx) + size_t(x)];
            }
    HICON icon = winuser::IconFromImage(strip);
    ICONINFO ii{};
    GetIconInfo(icon, &ii);
    DestroyIcon(icon);
    l->infoImage = ii.hbmColor;
    l->infoMask = ii.hbmMask;
    info->hbmImage = l->infoImage;
    info->hbmMask = (l->flags & ILC_MASK) ? l->infoMask : nullptr;
    info->rcImage = RECT{i * l->cx, 0, (i + 1) * l->cx, l->cy};
    return TRUE;
}

HIMAGELIST WINAPI ImageList_Duplicate(HIMAGELIST h) {
    _IMAGELIST* l = Get(h);
    if (!l) return nullptr;
    auto* copy = new _IMAGELIST;
    copy->cx = l->cx;
    copy->cy = l->cy;
    copy->flags = l->flags;
    copy->grow = l->grow;
    copy->bk = l->bk;
    copy->images = l->images;
    std::copy(std::begin(l->overlays), std::end(l->overlays), copy->overlays);
    Lists().insert(copy);
    return copy;
}

} // extern "C"
