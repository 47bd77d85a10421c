// Rectangle helpers.
#include "win/user32/winuser.h"

#include <algorithm>

extern "C" {

BOOL WINAPI SetRect(LPRECT r, int l, int t, int rt, int b) {
    if (!r) return FALSE;
    *r = RECT{l, t, rt, b};
    return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT r) {
    if (!r) return FALSE;
    *r = RECT{0, 0, 0, 0};
    return TRUE;
}

BOOL WINAPI CopyRect(LPRECT dst, const RECT* src) {
    if (!dst || !src) return FALSE;
    *dst = *src;
    return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT r, int dx, int dy) {
    if (!r) return FALSE;
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
    return TRUE;
}

BOOL WINAPI InflateRect(LPRECT r, int dx, int dy) {
    if (!r) return FALSE;
    r->left -= dx;
    r->right += dx;
    r->top -= dy;
    r->bottom += dy;
    return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT* r) {
    return !r || r->right <= r->left || r->bottom <= r->top;
}

BOOL WINAPI IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(a) || IsRectEmpty(b) || IsRectEmpty(&r)) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

BOOL WINAPI UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    const bool ea = IsRectEmpty(a), eb = IsRectEmpty(b);
    if (ea && eb) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    if (ea)
        *dst = *b;
    else if (eb)
        *dst = *a;
    else
        *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                    std::max(a->bottom, b->bottom)};
    return TRUE;
}

BOOL WINAPI SubtractRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    RECT r = *a;
    RECT i;
    if (IntersectRect(&i, a, b)) {
        // Only when b cuts a whole side off a does the result stay a rectangle.
        if (i.top == r.top && i.bottom == r.bottom) {
            if (i.left == r.left)
                r.left = i.right;
            else if (i.right == r.right)
                r.right = i.left;
        } else if (i.left == r.left && i.right == r.right) {
            if (i.top == r.top)
                r.top = i.bottom;
            else if (i.bottom == r.bottom)
                r.bottom = i.top;
        }
    }
    if (IsRectEmpty(&r)) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

BOOL WINAPI PtInRect(const RECT* r, POINT p) {
    return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}

BOOL WINAPI EqualRect(const RECT* a, const RECT* b) {
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

} // extern "C"
