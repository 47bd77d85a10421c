// base/Rects.cpp
#include "base/Rects.h"

namespace base {

int RectWidth(const RECT& Rect) {
    return Rect.right - Rect.left;
}

int RectHeight(const RECT& Rect) {
    return Rect.bottom - Rect.top;
}

bool PointInRectEx(const POINT& Point, const RECT& Rect, bool Inclusive) {
    if (Point.x < Rect.left || Point.y < Rect.top) return false;
    if (Inclusive) return Point.x <= Rect.right && Point.y <= Rect.bottom;
    return Point.x < Rect.right && Point.y < Rect.bottom;
}

} // namespace base
