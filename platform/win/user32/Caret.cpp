// Carets (one per thread, blinking on the one clock) and cursors (standard shapes and our own images).
#include "win/user32/WindowModel.h"
#include "win/user32/Icons.h"
#include "win/kernel32/winbase.h"

#include <algorithm>

namespace twuser {

namespace {

void InvertCaret() {
    Caret& c = S().caret;
    Window* w = Get(c.hwnd);
    if (!w) return;
    HDC hdc = GetDC(c.hwnd);
    if (c.bitmap) {
        HDC mem = CreateCompatibleDC(hdc);
        HGDIOBJ old = SelectObject(mem, c.bitmap);
        BitBlt(hdc, c.pos.x, c.pos.y, c.width, c.height, mem, 0, 0, SRCINVERT);
        SelectObject(mem, old);
        DeleteDC(mem);
    } else {
        PatBlt(hdc, c.pos.x, c.pos.y, c.width, c.height, DSTINVERT);
    }
    ReleaseDC(c.hwnd, hdc);
    c.drawn = !c.drawn;
}

void Undraw() {
    if (S().caret.drawn) InvertCaret();
}

void Draw() {
    Caret& c = S().caret;
    if (!c.drawn && c.hideCount == 0 && Get(c.hwnd)) InvertCaret();
}

} // namespace

void CaretHideForPaint(HWND hwnd) {
    Caret& c = S().caret;
    if (c.hwnd && (c.hwnd == hwnd || IsChild(hwnd, c.hwnd))) Undraw();
}

void CaretShowAfterPaint(HWND hwnd) {
    Caret& c = S().caret;
    if (c.hwnd && (c.hwnd == hwnd || IsChild(hwnd, c.hwnd))) Draw();
}

void CaretBlink() {
    Caret& c = S().caret;
    if (!Get(c.hwnd)) return;
    if (c.drawn) InvertCaret();
    else Draw();
}

void DestroyCaretOf(HWND hwnd) {
    if (S().caret.hwnd == hwnd) DestroyCaret();
}

HCURSOR StandardCursor(int id) {
    auto& v = S().cursors;
    for (auto& c : v)
        if (c->standardId == id) return reinterpret_cast<HCURSOR>(c.get());
    auto c = std::make_unique<Cursor>();
    c->standardId = id;
    HCURSOR h = reinterpret_cast<HCURSOR>(c.get());
    v.push_back(std::move(c));
    return h;
}

void ApplyCursor() {
    auto& s = S();
    if (!s.backend) return;
    auto* c = reinterpret_cast<Cursor*>(s.currentCursor);
    bool known = false;
    for (auto& p : s.cursors)
        if (p.get() == c) known = true;
    if (!c || !known) {
        s.backend->CursorShape(0, nullptr, POINT{0, 0});  // no cursor
        return;
    }
    if (c->standardId) s.backend->CursorShape(c->standardId, nullptr, c->hotspot);
    else s.backend->CursorShape(0, &c->image, c->hotspot);
}

} // namespace twuser

using namespace twuser;

extern "C" {

BOOL WINAPI CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height) {
    if (!Get(hwnd)) return FALSE;
    DestroyCaret();
    Caret& c = S().caret;
    c.hwnd = hwnd;
    c.bitmap = reinterpret_cast<uintptr_t>(bitmap) > 1 ? bitmap : nullptr;
    if (c.bitmap) {
        BITMAP bm{};
        GetObjectW(c.bitmap, sizeof bm, &bm);
        width = bm.bmWidth;
        height = bm.bmHeight;
    }
    c.width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
    c.height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
    c.pos = POINT{0, 0};
    c.hideCount = 1;
    c.drawn = false;
    AddTimer(hwnd, TimerCaretBlink, GetCaretBlinkTime(), nullptr, true);
    return TRUE;
}

BOOL WINAPI DestroyCaret(void) {
    Caret& c = S().caret;
    if (!c.hwnd) return FALSE;
    Undraw();
    RemoveTimer(c.hwnd, TimerCaretBlink, true);
    c = Caret{};
    return TRUE;
}

BOOL WINAPI ShowCaret(HWND hwnd) {
    Caret& c = S().caret;
    if (!c.hwnd || (hwnd && hwnd != c.hwnd)) return FALSE;
    if (c.hideCount > 0 && --c.hideCount == 0) {
        Draw();
        AddTimer(c.hwnd, TimerCaretBlink, GetCaretBlinkTime(), nullptr, true);
    }
    return TRUE;
}

BOOL WINAPI HideCaret(HWND hwnd) {
    Caret& c = S().caret;
    if (!c.hwnd || (hwnd && hwnd != c.hwnd)) return FALSE;
    if (c.hideCount++ == 0) Undraw();
    return TRUE;
}

BOOL WINAPI SetCaretPos(int x, int y) {
    Caret& c = S().caret;
    if (!c.hwnd) return FALSE;
    if (c.pos.x == x && c.pos.y == y) return TRUE;
    Undraw();
    c.pos = POINT{x, y};
    // A caret that moves shows at once at its new place (typing never hides it) and blinks from there.
    if (c.hideCount == 0) {
        Draw();
        AddTimer(c.hwnd, TimerCaretBlink, GetCaretBlinkTime(), nullptr, true);
    }
    return TRUE;
}

BOOL WINAPI GetCaretPos(LPPOINT pt) {
    if (!pt) return FALSE;
    *pt = S().caret.pos;
    return TRUE;
}

BOOL WINAPI GetGUIThreadInfo(DWORD idThread, PGUITHREADINFO pgui) {
    // One thread runs the windows: 0 or its id.
    if (!pgui || pgui->cbSize != sizeof(GUITHREADINFO) || (idThread && idThread != GetCurrentThreadId())) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const Caret& c = S().caret;
    *pgui = GUITHREADINFO{};
    pgui->cbSize = sizeof(GUITHREADINFO);
    pgui->hwndActive = GetActiveWindow();
    pgui->hwndFocus = GetFocus();
    pgui->hwndCapture = GetCapture();
    if (c.hwnd) {
        pgui->hwndCaret = c.hwnd;
        pgui->rcCaret = RECT{c.pos.x, c.pos.y, c.pos.x + c.width, c.pos.y + c.height};
        if (c.hideCount == 0) pgui->flags |= GUI_CARETBLINKING;
    }
    return TRUE;
}

HCURSOR WINAPI LoadCursorW(HINSTANCE inst, LPCWSTR name) {
    if (!name) return nullptr;
    if (IS_INTRESOURCE(name)) {
        const int id = int(reinterpret_cast<uintptr_t>(name));
        if (!inst) {
            static const int known[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642,
                                        32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};
            if (std::find(std::begin(known), std::end(known), id) == std::end(known)) return nullptr;
            return StandardCursor(id);
        }
    }
    if (!inst) return nullptr;
    // A cursor group resource of the module: loaded once per module and name, shared like the system's.
    const std::u16string key =
        QString::number(quintptr(inst), 16).toStdU16String() + u":" + Fold(FromW(name));
    auto& v = S().cursors;
    for (auto& c : v)
        if (!c->standardId && c->name == key) return reinterpret_cast<HCURSOR>(c.get());
    winuser::IconImage picture;
    POINT hot{0, 0};
    if (!winuser::ResourceIcon(inst, name, true, GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR),
                               picture, &hot))
        return nullptr;
    auto c = std::make_unique<Cursor>();
    c->name = key;
    c->hotspot = hot;
    c->image = QImage(picture.width, picture.height, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            c->image.setPixel(x, y, picture.argb[size_t(y) * size_t(picture.width) + size_t(x)]);
    HCURSOR h = reinterpret_cast<HCURSOR>(c.get());
    v.push_back(std::move(c));
    return h;
}

HCURSOR WINAPI CreateCursor(HINSTANCE, int hx, int hy, int w, int h, const void* andPlane, const void* xorPlane) {
    if (w <= 0 || h <= 0 || !andPlane || !xorPlane) return nullptr;
    auto c = std::make_unique<Cursor>();
    c->image = QImage(w, h, QImage::Format_ARGB32);
    const int stride = ((w + 15) / 16) * 2;
    auto bit = [&](const void* plane, int x, int y) {
        return (static_cast<const uint8_t*>(plane)[y * stride + x / 8] >> (7 - x % 8)) & 1;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int a = bit(andPlane, x, y), b = bit(xorPlane, x, y);
            // AND 1 keeps the screen (transparent, or inverted with XOR 1: shown black).
            const QRgb px = a ? (b ? 0xFF000000 : 0x00000000) : (b ? 0xFFFFFFFF : 0xFF000000);
            c->image.setPixel(x, y, px);
        }
    c->hotspot = POINT{hx, hy};
    HCURSOR hc = reinterpret_cast<HCURSOR>(c.get());
    S().cursors.push_back(std::move(c));
    return hc;
}

BOOL WINAPI DestroyCursor(HCURSOR h) {
    auto& v = S().cursors;
    for (auto it = v.begin(); it != v.end(); ++it)
        if (reinterpret_cast<HCURSOR>(it->get()) == h) {
            if ((*it)->standardId || !(*it)->name.empty()) return TRUE;  // shared cursors stay
            if (S().currentCursor == h) S().currentCursor = nullptr;
            v.erase(it);
            return TRUE;
        }
    return FALSE;
}

HCURSOR WINAPI SetCursor(HCURSOR h) {
    auto& s = S();
    const HCURSOR old = s.currentCursor;
    if (old == h) return old;
    s.currentCursor = h;
    ApplyCursor();
    return old;
}

HCURSOR WINAPI GetCursor(void) { return S().currentCursor; }

int WINAPI ShowCursor(BOOL show) { return show ? ++S().cursorShowCount : --S().cursorShowCount; }

HICON WINAPI LoadIconW(HINSTANCE inst, LPCWSTR name) {
    // Standard icons are small built-in pictures: a framed square per id.
    if (!name) return nullptr;
    static std::vector<std::pair<std::u16string, HICON>> cache;
    const std::u16string key =
        (inst ? QString::number(quintptr(inst), 16).toStdU16String() + u":" : u"s:") + Fold(FromW(name));
    for (auto& p : cache)
        if (p.first == key) return p.second;
    if (!inst && IS_INTRESOURCE(name)) {
        const int id = int(reinterpret_cast<uintptr_t>(name));
        if (id < 32512 || id > 32518) return nullptr;
    } else if (inst) {
        // A module's icon group resource at the system icon size.
        HICON icon = static_cast<HICON>(LoadImageW(inst, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
        if (icon) cache.emplace_back(key, icon);
        return icon;
    }
    const int size = GetSystemMetrics(SM_CXICON);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = size;
    bi.bmiHeader.biHeight = -size;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP color = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!color) return nullptr;
    auto* px = static_cast<uint32_t*>(bits);
    const uint32_t fill = 0xFF3070C0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const bool edge = x < 2 || y < 2 || x >= size - 2 || y >= size - 2;
            px[y * size + x] = edge ? 0xFF202020 : fill;
        }
    std::vector<BYTE> mask(size_t(((size + 15) / 16) * 2 * size), 0);
    HBITMAP maskBm = CreateBitmap(size, size, 1, 1, mask.data());
    ICONINFO ii{TRUE, DWORD(size / 2), DWORD(size / 2), maskBm, color};
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(color);
    DeleteObject(maskBm);
    cache.emplace_back(key, icon);
    return icon;
}

} // extern "C"
