// win/user32/Icons.h: icons as the stand-in's modules share them (user32, comctl32, uxtheme).
#pragma once

#include "win/gdi32/Gdi.h"
#include "win/user32/winuser.h"

#include <cstdint>
#include <vector>

TW_SHARED_BEGIN
namespace winuser {

// An icon's picture, flattened: 0xAARRGGBB with straight alpha when hasAlpha, else the mask decides.
struct IconImage {
    int width = 0, height = 0;
    std::vector<uint32_t> argb;
    std::vector<uint8_t> transparent; // 1 where the mask shows the background
    bool hasAlpha = false;
    bool Empty() const { return width <= 0 || height <= 0; }
};

bool ReadIcon(HICON icon, IconImage& out);
HICON IconFromImage(const IconImage& img, bool isIcon = true);
// Reads a bitmap (and an optional monochrome mask of the same size) into an image.
IconImage ImageFromBitmaps(HBITMAP color, HBITMAP mask);
IconImage Scaled(const IconImage& img, int width, int height);
// The system's standard icon IDI_* (32512..32518) drawn at size × size; false for other ids.
bool SystemIcon(uintptr_t id, int size, IconImage& out);
// Draws the image at (x, y) in logical coordinates, scaled to cx × cy, as DrawIconEx does with flags.
void DrawImage(HDC hdc, int x, int y, int cx, int cy, const IconImage& img, UINT diFlags);
// The picture of a module's icon (or cursor) group resource nearest cx × cy, unscaled, with a
// cursor's hot spot; false (last error set) when the module lacks it or it does not decode.
bool ResourceIcon(HINSTANCE module, LPCWSTR name, bool cursor, int cx, int cy, IconImage& out, POINT* hotspot);

} // namespace winuser
TW_SHARED_END
