// base/Rects.h: rectangle helpers.
#pragma once
#include "win/windef.h"

namespace base {

int RectWidth(const RECT& Rect); // negative for an inverted rectangle
int RectHeight(const RECT& Rect);
// Left and top edges always count; the right and bottom edges only when Inclusive.
bool PointInRectEx(const POINT& Point, const RECT& Rect, bool Inclusive);

} // namespace base
