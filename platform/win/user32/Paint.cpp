// Rectangles, focus rectangles, 3-D edges and the classic frame controls. The classic drawing fills
// through the unpatched twins of FillRect and GetSysColorBrush, which read the colour provider: a
// patched export that draws through the classic look never comes back into itself.
#include "win/gdi32/Gdi.h"
#include "win/user32/winuser.h"

#include <algorithm>

namespace {

void FillColor(HDC hdc, const RECT& r, int sysColor) {
    TwClassicFillRect(hdc, &r, TwClassicSysColorBrush(sysColor));
}

// The checkerboard brush of focus rectangles and checked buttons (rows 0x55/0xAA), made once.
HBRUSH HalftoneBrush() {
    static HBRUSH brush = [] {
        const BYTE rows[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
        HBITMAP bm = CreateBitmap(8, 8, 1, 1, rows);
        HBRUSH b = CreatePatternBrush(bm);
        DeleteObject(bm);
        if (auto* o = wingdi::GetBrush(b)) o->stock = true;
        return b;
    }();
    return brush;
}

// Draws a solid triangle (or any polygon) in a system colour.
void FillPolygon(HDC hdc, const POINT* pts, int n, COLORREF color) {
    const int saved = SaveDC(hdc);
    HBRUSH b = CreateSolidBrush(color);
    HPEN p = CreatePen(PS_SOLID, 1, color);
    SelectObject(hdc, b);
    SelectObject(hdc, p);
    SetROP2(hdc, R2_COPYPEN);
    Polygon(hdc, pts, n);
    RestoreDC(hdc, saved);
    DeleteObject(b);
    DeleteObject(p);
}

enum class Arrow { Up, Down, Left, Right };

// A classic arrow glyph centred in r.
void DrawArrow(HDC hdc, const RECT& r, Arrow dir, COLORREF color) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int size = std::max(1, (std::min(w, h) + 1) / 3); // half the base
    const int cx = r.left + w / 2, cy = r.top + h / 2;
    POINT pts[3];
    switch (dir) {
    case Arrow::Up:
        pts[0] = {cx - size, cy + size / 2}, pts[1] = {cx + size, cy + size / 2},
        pts[2] = {cx, cy + size / 2 - size};
        break;
    case Arrow::Down:
        pts[0] = {cx - size, cy - size / 2}, pts[1] = {cx + size, cy - size / 2},
        pts[2] = {cx, cy - size / 2 + size};
        break;
    case Arrow::Left:
        pts[0] = {cx + size / 2, cy - size}, pts[1] = {cx + size / 2, cy + size},
        pts[2] = {cx + size / 2 - size, cy};
        break;
    case Arrow::Right:
        pts[0] = {cx - size / 2, cy - size}, pts[1] = {cx - size / 2, cy + size},
        pts[2] = {cx - size / 2 + size, cy};
        break;
    }
    FillPolygon(hdc, pts, 3, color);
}

void DrawLine(HDC hdc, int x0, int y0, int x1, int y1, COLORREF color, int width = 1) {
    const int saved = SaveDC(hdc);
    HPEN p = CreatePen(PS_SOLID, width, color);
    SelectObject(hdc, p);
    SetROP2(hdc, R2_COPYPEN);
    MoveToEx(hdc, x0, y0, nullptr);
    LineTo(hdc, x1, y1);
    RestoreDC(hdc, saved);
    DeleteObject(p);
}

// Glyph of a disabled control: drawn once in the highlight colour, offset, then in gray.
template <class F> void Glyph(HDC, UINT state, F draw) {
    if (state & DFCS_INACTIVE) {
        draw(1, GetSysColor(COLOR_BTNHIGHLIGHT));
        draw(0, GetSysColor(COLOR_BTNSHADOW));
    } else {
        draw(0, GetSysColor(COLOR_BTNTEXT));
    }
}

void DrawCheckMark(HDC hdc, const RECT& box, COLORREF color) {
    // A three-pixel-thick tick, classic shape, scaled to the box.
    const int w = box.right - box.left, h = box.bottom - box.top;
    const int x = box.left + std::max(1, (w - 7) / 2), y = box.top + std::max(1, (h - 7) / 2) + 2;
    for (int k = 0; k < 3; ++k) {
        DrawLine(hdc, x, y + k, x + 2, y + 2 + k, color);
        DrawLine(hdc, x + 2, y + 2 + k, x + 7, y - 3 + k, color);
    }
}

BOOL DrawButtonFace(HDC hdc, LPRECT rc, UINT state) {
    RECT r = *rc;
    UINT flags = BF_RECT | BF_MIDDLE | BF_SOFT | BF_ADJUST;
    if (state & DFCS_FLAT) flags |= BF_FLAT;
    if (state & DFCS_MONO) flags |= BF_MONO;
    const UINT edge = (state & (DFCS_PUSHED | DFCS_CHECKED)) ? EDGE_SUNKEN : EDGE_RAISED;
    TwClassicDrawEdge(hdc, &r, edge, flags);
    if ((state & DFCS_CHECKED) && !(state & DFCS_PUSHED)) {
        // A checked button shows the halftone of its face and highlight colours.
        const COLORREF oldText = SetTextColor(hdc, GetSysColor(COLOR_BTNFACE));
        const COLORREF oldBk = SetBkColor(hdc, GetSysColor(COLOR_BTNHIGHLIGHT));
        TwClassicFillRect(hdc, &r, HalftoneBrush());
        SetTextColor(hdc, oldText);
        SetBkColor(hdc, oldBk);
    }
    if (state & DFCS_ADJUSTRECT) *rc = r;
    return TRUE;
}

BOOL DrawScrollControl(HDC hdc, LPRECT rc, UINT state) {
    RECT r = *rc;
    const UINT kind = state & 0xFF;
    if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
        if (!(state & DFCS_TRANSPARENT)) FillColor(hdc, r, COLOR_BTNFACE);
        // Three pairs of diagonal lines in the bottom-right corner.
        const int size = std::min(r.right - r.left, r.bottom - r.top);
        for (int k = 0; k < 3; ++k) {
            const int off = size - 4 * k - 2;
            if (off < 2) break;
            DrawLine(hdc, r.right - off, r.bottom - 1, r.right - 1, r.bottom - off,
                     GetSysColor(COLOR_BTNHIGHLIGHT));
            DrawLine(hdc, r.right - off + 1, r.bottom - 1, r.right - 1, r.bottom - off + 1,
                     GetSysColor(COLOR_BTNSHADOW));
            DrawLine(hdc, r.right - off + 2, r.bottom - 1, r.right - 1, r.bottom - off + 2,
                     GetSysColor(COLOR_BTNSHADOW));
        }
        return TRUE;
    }
    RECT inner = r;
    DrawButtonFace(hdc, &inner, (state & ~DFCS_ADJUSTRECT & ~DFCS_CHECKED) | DFCS_ADJUSTRECT);
    Arrow dir = Arrow::Down;
    switch (kind) {
    case DFCS_SCROLLUP:
        dir = Arrow::Up;
        break;
    case DFCS_SCROLLLEFT:
        dir = Arrow::Left;
        break;
    case DFCS_SCROLLRIGHT:
        dir = Arrow::Right;
        break;
    default:
        dir = Arrow::Down;
        break;
    }
    if (state & DFCS_PUSHED) OffsetRect(&inner, 1, 1);
    Glyph(hdc, state, [&](int off, COLORREF c) {
        RECT g = inner;
        OffsetRect(&g, off, off);
        DrawArrow(hdc, g, dir, c);
    });
    if (state & DFCS_ADJUSTRECT) *rc = inner;
    return TRUE;
}

BOOL DrawCaptionControl(HDC hdc, LPRECT rc, UINT state) {
    RECT inner = *rc;
    DrawButtonFace(hdc, &inner, (state & ~DFCS_CHECKED) | DFCS_ADJUSTRECT);
    if (state & DFCS_PUSHED) OffsetRect(&inner, 1, 1);
    const int w = inner.right - inner.left, h = inner.bottom - inner.top;
    const int s = std::max(2, std::min(w, h) - 6);
    const int x = inner.left + (w - s) / 2, y = inner.top + (h - s) / 2;
    Glyph(hdc, state, [&](int off, COLORREF c) {
        const int ox = x + off, oy = y + off;
        switch (state & 0xFF) {
        case DFCS_CAPTIONCLOSE:
            DrawLine(hdc, ox, oy, ox + s, oy + s, c, 2);
            DrawLine(hdc, ox + s - 1, oy, ox - 1, oy + s, c, 2);
            break;
        case DFCS_CAPTIONMIN:
            FillColor(hdc, RECT{ox, oy + s - 2, ox + s - 2, oy + s}, COLOR_BTNTEXT);
            break;
        case DFCS_CAPTIONMAX: {
            const RECT box{ox, oy, ox + s, oy + s};
            HBRUSH b = CreateSolidBrush(c);
            FrameRect(hdc, &box, b);
            const RECT bar{ox, oy + 1, ox + s, oy + 2};
            TwClassicFillRect(hdc, &bar, b);
            DeleteObject(b);
            break;
        }
        case DFCS_CAPTIONRESTORE: {
            HBRUSH b = CreateSolidBrush(c);
            const RECT back{ox + s / 3, oy, ox + s, oy + 2 * s / 3},
                front{ox, oy + s / 3, ox + 2 * s / 3, oy + s};
            FrameRect(hdc, &back, b);
            TwClassicFillRect(hdc, &front, TwClassicSysColorBrush(COLOR_BTNFACE));
            FrameRect(hdc, &front, b);
            DeleteObject(b);
            break;
        }
        default: { // help: a question mark is text; a dot and a hook will do
            DrawLine(hdc, ox + s / 2, oy + s - 2, ox + s / 2, oy + s, c, 2);
            DrawLine(hdc, ox + s / 2, oy + s / 2, ox + s / 2, oy + s - 3, c, 2);
            DrawLine(hdc, ox + 1, oy + 1, ox + s - 1, oy + 1, c, 2);
            DrawLine(hdc, ox + s - 1, oy + 1, ox + s - 1, oy + s / 2, c, 2);
            DrawLine(hdc, ox + s - 1, oy + s / 2, ox + s / 2, oy + s / 2, c, 2);
        }
        }
    });
    return TRUE;
}

// Menu glyphs are drawn black on white, for callers that use them as masks.
BOOL DrawMenuControl(HDC hdc, LPRECT rc, UINT state) {
    const RECT r = *rc;
    TwClassicFillRect(hdc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    switch (state & 0xFF) {
    case DFCS_MENUARROW:
        DrawArrow(hdc, r, Arrow::Right, RGB(0, 0, 0));
        break;
    case DFCS_MENUARROWRIGHT:
        DrawArrow(hdc, r, Arrow::Left, RGB(0, 0, 0));
        break;
    case DFCS_MENUCHECK:
        DrawCheckMark(hdc, r, RGB(0, 0, 0));
        break;
    case DFCS_MENUBULLET: {
        const int w = r.right - r.left, h = r.bottom - r.top, d = std::max(2, std::min(w, h) / 3);
        const int x = r.left + (w - d + 1) / 2, y = r.top + (h - d + 1) / 2;  // the odd pixel before it
        const int saved = SaveDC(hdc);
        SelectObject(hdc, GetStockObject(BLACK_BRUSH));
        SelectObject(hdc, GetStockObject(BLACK_PEN));
        Ellipse(hdc, x, y, x + d, y + d);
        RestoreDC(hdc, saved);
        break;
    }
    default:
        return FALSE;
    }
    return TRUE;
}

// The classic check box and radio glyphs, pixel for pixel: a letter per system colour, '.' left as is.
// The radio ring is sunken and, as the platform's own, not quite symmetric.
constexpr int RadioSize = 12;
constexpr const char* RadioPicture[RadioSize] = {
    "....SSSS....", "..SSDDDDSS..", ".SSDFFFFD.H.", ".SDFFFFFFLH.", "SDFFFMMFFFLH", "SDFFMMMMFFLH",
    "SDFFMMMMFFLH", "SDFFFMMFFFLH", ".SDFFFFFFLH.", ".HHLFFFFLHH.", "..HHLLLLHH..", "....HHHH....",
};
constexpr int MarkSize = 7;
constexpr const char* CheckPicture[MarkSize] = {
    "......M", ".....MM", "....MMM", "M..MMM.", "MMMMM..", "MMMM...", ".MM....",
};

// Draws `picture` (n x n) at (x, y); F is the face, M the mark, both given by the caller.
void DrawPicture(HDC hdc, int x, int y, const char* const* picture, int n, COLORREF face, COLORREF mark,
                 bool drawFace) {
    for (int row = 0; row < n; ++row)
        for (int col = 0; col < n; ++col) {
            COLORREF c;
            switch (picture[row][col]) {
            case 'S': c = GetSysColor(COLOR_BTNSHADOW); break;
            case 'D': c = GetSysColor(COLOR_3DDKSHADOW); break;
            case 'L': c = GetSysColor(COLOR_3DLIGHT); break;
            case 'H': c = GetSysColor(COLOR_BTNHIGHLIGHT); break;
            case 'F':
                if (!drawFace) continue;
                c = face;
                break;
            case 'M': c = mark; break;
            default: continue;
            }
            SetPixel(hdc, x + col, y + row, c);
        }
}

// The third state's box: a checkerboard of highlight and face, fixed to the device's pixel grid.
void FillCheckerboard(HDC hdc, const RECT& r) {
    FillColor(hdc, r, COLOR_BTNFACE);
    POINT origin{0, 0};
    LPtoDP(hdc, &origin, 1);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if ((x + y + origin.x + origin.y) & 1) SetPixel(hdc, x, y, light);
}

BOOL DrawButtonControl(HDC hdc, LPRECT rc, UINT state) {
    const UINT kind = state & 0xFF;
    if (kind & DFCS_BUTTONPUSH) return DrawButtonFace(hdc, rc, state);
    const int w = rc->right - rc->left, h = rc->bottom - rc->top, size = std::min(w, h);
    RECT box{rc->left + (w - size) / 2, rc->top + (h - size) / 2, 0, 0};
    box.right = box.left + size;
    box.bottom = box.top + size;
    const bool radio = kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK);
    const bool mixed = !radio && (kind & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED);
    const int face = (state & (DFCS_INACTIVE | DFCS_PUSHED)) ? COLOR_BTNFACE : COLOR_WINDOW;
    const COLORREF mark = GetSysColor((state & DFCS_INACTIVE) || mixed ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
    if (!radio) {
        RECT inner = box;
        TwClassicDrawEdge(hdc, &inner, EDGE_SUNKEN,
                 BF_RECT | BF_ADJUST | ((state & DFCS_FLAT) ? BF_FLAT : 0) |
                     ((state & DFCS_MONO) ? BF_MONO : 0));
        if (mixed) FillCheckerboard(hdc, inner);
        else FillColor(hdc, inner, face);
        if (!(state & DFCS_CHECKED)) return TRUE;
        const int n = std::min(inner.right - inner.left, inner.bottom - inner.top);
        if (n >= MarkSize)
            DrawPicture(hdc, inner.left + (n - MarkSize) / 2, inner.top + (n - MarkSize) / 2, CheckPicture,
                        MarkSize, 0, mark, false);
        else
            DrawCheckMark(hdc, inner, mark);
        return TRUE;
    }
    if (!(kind & DFCS_BUTTONRADIOMASK) && size >= RadioSize) {
        const int at = (size - RadioSize + 1) / 2;
        const COLORREF inside = GetSysColor(face);
        DrawPicture(hdc, box.left + at, box.top + at, RadioPicture, RadioSize, inside,
                    (state & DFCS_CHECKED) ? mark : inside, true);
        return TRUE;
    }
    const int saved = SaveDC(hdc);
    auto disc = [&](const RECT& r, COLORREF c) {
        HBRUSH b = CreateSolidBrush(c);
        HPEN p = CreatePen(PS_SOLID, 1, c);
        SelectObject(hdc, b);
        SelectObject(hdc, p);
        Ellipse(hdc, r.left, r.top, r.right, r.bottom);
        SelectObject(hdc, GetStockObject(NULL_BRUSH));
        SelectObject(hdc, GetStockObject(BLACK_PEN));
        DeleteObject(b);
        DeleteObject(p);
    };
    if (kind & DFCS_BUTTONRADIOMASK) {
        disc(box, RGB(0, 0, 0));
    } else {
        disc(box, GetSysColor(COLOR_BTNSHADOW));
        RECT r = box;
        InflateRect(&r, -1, -1);
        disc(r, GetSysColor(COLOR_BTNHIGHLIGHT));
        InflateRect(&r, -1, -1);
        disc(r, GetSysColor(face));
        if (state & DFCS_CHECKED) {
            InflateRect(&r, -(size / 5), -(size / 5));
            disc(r, mark);
        }
    }
    RestoreDC(hdc, saved);
    return TRUE;
}

} // namespace

extern "C" {

int WINAPI FillRect(HDC hdc, const RECT* r, HBRUSH hbr) { return TwClassicFillRect(hdc, r, hbr); }

int WINAPI TwClassicFillRect(HDC hdc, const RECT* r, HBRUSH hbr) {
    wingdi::DC* dc = wingdi::GetDC(hdc);
    if (!dc || !r) return 0;
    // Window-class style: a system colour index plus one stands for that colour's brush.
    const uintptr_t value = reinterpret_cast<uintptr_t>(hbr);
    if (value > 0 && value <= uintptr_t(COLOR_MENUBAR) + 1) hbr = TwClassicSysColorBrush(int(value) - 1);
    if (!wingdi::GetBrush(hbr)) return 0;
    if (r->left >= r->right || r->top >= r->bottom) return 1;
    wingdi::FillDeviceRegion(*dc, wingdi::Region::FromRect(dc->ToDevice(*r)), hbr, R2_COPYPEN);
    return 1;
}

int WINAPI FrameRect(HDC hdc, const RECT* r, HBRUSH hbr) {
    wingdi::DC* dc = wingdi::GetDC(hdc);
    if (!dc || !r || !wingdi::GetBrush(hbr)) return 0;
    if (r->left >= r->right || r->top >= r->bottom) return 1;
    const RECT d = dc->ToDevice(*r);
    const auto outer = wingdi::Region::FromRect(d);
    const auto inner = wingdi::Region::FromRect(d.left + 1, d.top + 1, d.right - 1, d.bottom - 1);
    wingdi::FillDeviceRegion(
        *dc, d.right - d.left > 2 && d.bottom - d.top > 2 ? outer.Subtract(inner) : outer, hbr, R2_COPYPEN);
    return 1;
}

BOOL WINAPI InvertRect(HDC hdc, const RECT* r) {
    if (!r) return FALSE;
    return PatBlt(hdc, r->left, r->top, r->right - r->left, r->bottom - r->top, DSTINVERT);
}

BOOL WINAPI DrawFocusRect(HDC hdc, const RECT* r) {
    if (!r || !wingdi::GetDC(hdc)) return FALSE;
    if (r->left >= r->right || r->top >= r->bottom) return TRUE;
    // A dotted frame inverted through the halftone brush: drawing it again restores the pixels.
    const int saved = SaveDC(hdc);
    SelectObject(hdc, HalftoneBrush());
    SetTextColor(hdc, RGB(255, 255, 255));
    SetBkColor(hdc, RGB(0, 0, 0));
    const int w = r->right - r->left, h = r->bottom - r->top;
    PatBlt(hdc, r->left, r->top, w, 1, PATINVERT);
    if (h > 1) PatBlt(hdc, r->left, r->bottom - 1, w, 1, PATINVERT);
    if (h > 2) {
        PatBlt(hdc, r->left, r->top + 1, 1, h - 2, PATINVERT);
        if (w > 1) PatBlt(hdc, r->right - 1, r->top + 1, 1, h - 2, PATINVERT);
    }
    RestoreDC(hdc, saved);
    return TRUE;
}

BOOL WINAPI DrawEdge(HDC hdc, LPRECT rc, UINT edge, UINT flags) { return TwClassicDrawEdge(hdc, rc, edge, flags); }

BOOL WINAPI TwClassicDrawEdge(HDC hdc, LPRECT rc, UINT edge, UINT flags) {
    if (!rc || !wingdi::GetDC(hdc)) return FALSE;
    RECT r = *rc;
    const UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
    // Top-left and bottom-right colours of each ring; BF_SOFT lightens the top-left ones.
    auto colors = [&](bool isOuter, UINT bits, int& lt, int& rb) {
        const bool raised = bits & (isOuter ? BDR_RAISEDOUTER : BDR_RAISEDINNER);
        if (flags & BF_MONO) {
            lt = rb = isOuter ? COLOR_WINDOWFRAME : COLOR_WINDOW;
        } else if (flags & BF_FLAT) {
            lt = rb = isOuter ? COLOR_BTNSHADOW : COLOR_BTNFACE;
        } else if (isOuter) {
            lt = raised ? ((flags & BF_SOFT) ? COLOR_3DHIGHLIGHT : COLOR_3DLIGHT)
                        : ((flags & BF_SOFT) ? COLOR_3DDKSHADOW : COLOR_3DSHADOW);
            rb = raised ? COLOR_3DDKSHADOW : COLOR_3DHIGHLIGHT;
        } else {
            lt = raised ? ((flags & BF_SOFT) ? COLOR_3DLIGHT : COLOR_3DHIGHLIGHT)
                        : ((flags & BF_SOFT) ? COLOR_3DSHADOW : COLOR_3DDKSHADOW);
            rb = raised ? COLOR_3DSHADOW : COLOR_3DLIGHT;
        }
    };
    auto ring = [&](int lt, int rb) {
        if (r.left >= r.right || r.top >= r.bottom) return;
        // The bottom-right colour owns the top-right and bottom-left corners.
        if (flags & BF_TOP)
            FillColor(hdc, RECT{r.left, r.top, r.right - ((flags & BF_RIGHT) ? 1 : 0), r.top + 1}, lt);
        if (flags & BF_LEFT)
            FillColor(hdc, RECT{r.left, r.top, r.left + 1, r.bottom - ((flags & BF_BOTTOM) ? 1 : 0)}, lt);
        if (flags & BF_RIGHT) FillColor(hdc, RECT{r.right - 1, r.top, r.right, r.bottom}, rb);
        if (flags & BF_BOTTOM) FillColor(hdc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, rb);
        if (flags & BF_LEFT) ++r.left;
        if (flags & BF_TOP) ++r.top;
        if (flags & BF_RIGHT) --r.right;
        if (flags & BF_BOTTOM) --r.bottom;
    };
    int lt = 0, rb = 0;
    if (outer) {
        colors(true, outer, lt, rb);
        ring(lt, rb);
    }
    if (inner) {
        colors(false, inner, lt, rb);
        ring(lt, rb);
    }
    if ((flags & BF_MIDDLE) && r.left < r.right && r.top < r.bottom)
        FillColor(hdc, r, (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
    if (flags & BF_ADJUST) *rc = r;
    return TRUE;
}

BOOL WINAPI DrawFrameControl(HDC hdc, LPRECT rc, UINT type, UINT state) {
    return TwClassicDrawFrameControl(hdc, rc, type, state);
}

BOOL WINAPI TwClassicDrawFrameControl(HDC hdc, LPRECT rc, UINT type, UINT state) {
    if (!rc || !wingdi::GetDC(hdc)) return FALSE;
    switch (type) {
    case DFC_BUTTON:
        return DrawButtonControl(hdc, rc, state);
    case DFC_SCROLL:
        return DrawScrollControl(hdc, rc, state);
    case DFC_CAPTION:
        return DrawCaptionControl(hdc, rc, state);
    case DFC_MENU:
    case DFC_POPUPMENU:
        return DrawMenuControl(hdc, rc, state);
    default:
        return FALSE;
    }
}

} // extern "C"
