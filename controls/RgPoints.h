// controls/RgPoints.h: the panels' hit test of a point against a rectangle.
#pragma once
#include "vcl/Controls.h"

namespace controls {

// The point lies in the rectangle; right and bottom edges count only when Inclusive.
inline bool PointInRectEx(const vcl::TPoint& P, const vcl::TRect& R, bool Inclusive) {
    if (Inclusive) return P.X >= R.Left && P.X <= R.Right && P.Y >= R.Top && P.Y <= R.Bottom;
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

} // namespace controls
