// Icons in the desktop's notification area, kept per window and id and shown through the presentation's
// tray; clicks come back as the owner's callback message.
#include "win/shell32/trayapi.h"
#include "win/user32/Backend.h"
#include "win/user32/Icons.h"

#include <QImage>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct TrayIcon {
    HWND hwnd = nullptr;
    UINT uid = 0;
    UINT callback = 0;
    HICON icon = nullptr;
    std::u16string tip;
    bool hidden = false;
    UINT version = 0;
    int backendId = 0;
};

std::vector<TrayIcon>& Icons() {
    static std::vector<TrayIcon> icons;
    return icons;
}

int nextBackendId = 1;

TrayIcon* FindIcon(HWND hwnd, UINT uid) {
    for (TrayIcon& t : Icons())
        if (t.hwnd == hwnd && t.uid == uid) return &t;
    return nullptr;
}

// A bounded copy of one of the structure's fixed text fields (it need not be terminated).
template <size_t N> std::u16string Field(const WCHAR (&text)[N]) {
    size_t n = 0;
    while (n < N && text[n]) ++n;
    return std::u16string(text, n);
}

QImage ImageOf(HICON icon) {
    winuser::IconImage img;
    if (!icon || !winuser::ReadIcon(icon, img) || img.Empty()) return {};
    QImage out(img.width, img.height, QImage::Format_ARGB32);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const size_t i = size_t(y) * size_t(img.width) + size_t(x);
            uint32_t p = img.argb[i];
            if (!img.hasAlpha) p = (i < img.transparent.size() && img.transparent[i]) ? 0 : (p | 0xFF000000u);
            out.setPixel(x, y, p);
        }
    return out;
}

void Apply(TrayIcon& t, const NOTIFYICONDATAW& d) {
    if (d.uFlags & NIF_MESSAGE) t.callback = d.uCallbackMessage;
    if (d.uFlags & NIF_ICON) t.icon = d.hIcon;
    if (d.uFlags & NIF_TIP) t.tip = Field(d.szTip);
    if (d.uFlags & NIF_STATE) t.hidden = (d.dwState & d.dwStateMask & NIS_HIDDEN) != 0;
}

bool Show(const TrayIcon& t) {
    twuser::Backend* b = twuser::CurrentBackend();
    if (!b || !b->TrayAvailable()) return false;
    if (t.hidden) {
        b->TrayRemove(t.backendId);
        return true;
    }
    return b->TraySet(t.backendId, ImageOf(t.icon), QString::fromStdU16String(t.tip));
}

bool Balloon(const TrayIcon& t, const NOTIFYICONDATAW& d) {
    twuser::Backend* b = twuser::CurrentBackend();
    if (!b || t.hidden) return false;
    const int kind = int(d.dwInfoFlags & 0x0F) <= NIIF_ERROR ? int(d.dwInfoFlags & 0x0F) : NIIF_INFO;
    return b->TrayBalloon(t.backendId, QString::fromStdU16String(Field(d.szInfoTitle)),
                          QString::fromStdU16String(Field(d.szInfo)), kind, int(d.uTimeout));
}

constexpr DWORD SmallestSize = offsetof(NOTIFYICONDATAW, dwState);  // the first version's structure

} // namespace

extern "C" {

BOOL WINAPI Shell_NotifyIconW(DWORD message, PNOTIFYICONDATAW data) {
    if (!data || data->cbSize < SmallestSize || data->cbSize > sizeof(NOTIFYICONDATAW)) {
        SetLastError(87);  // ERROR_INVALID_PARAMETER
        return FALSE;
    }
    // Fields beyond the caller's structure size read as zero.
    NOTIFYICONDATAW d{};
    std::memcpy(&d, data, data->cbSize);
    if (d.cbSize < offsetof(NOTIFYICONDATAW, szInfo)) d.uFlags &= ~UINT(NIF_STATE);
    if (d.cbSize < offsetof(NOTIFYICONDATAW, guidItem)) d.uFlags &= ~UINT(NIF_INFO);
    auto& icons = Icons();
    TrayIcon* t = FindIcon(d.hWnd, d.uID);
    switch (message) {
    case NIM_ADD: {
        if (t || !IsWindow(d.hWnd)) return FALSE;
        TrayIcon n;
        n.hwnd = d.hWnd;
        n.uid = d.uID;
        n.backendId = nextBackendId++;
        Apply(n, d);
        // No notification area (no desktop, or headless): the icon is refused, as the shell refuses it
        // while its taskbar is not running.
        if (!Show(n)) return FALSE;
        icons.push_back(n);
        if (d.uFlags & NIF_INFO) Balloon(icons.back(), d);
        return TRUE;
    }
    case NIM_MODIFY:
        if (!t) return FALSE;
        Apply(*t, d);
        if (!Show(*t)) return FALSE;
        if ((d.uFlags & NIF_INFO) && d.szInfo[0]) Balloon(*t, d);
        return TRUE;
    case NIM_DELETE: {
        if (!t) return FALSE;
        if (twuser::Backend* b = twuser::CurrentBackend()) b->TrayRemove(t->backendId);
        icons.erase(icons.begin() + (t - icons.data()));
        return TRUE;
    }
    case NIM_SETVERSION:
        if (!t) return FALSE;
        t->version = d.uVersion;
        return TRUE;
    case NIM_SETFOCUS: return t != nullptr;
    default: return FALSE;
    }
}

void WINAPI TwTrayEvent(int trayId, UINT event, int x, int y) {
    auto it = std::find_if(Icons().begin(), Icons().end(), [&](const TrayIcon& t) { return t.backendId == trayId; });
    if (it == Icons().end() || !it->callback || !IsWindow(it->hwnd)) return;
    // The pointer is where the click was: a menu opened in answer appears there.
    SetCursorPos(x, y);
    if (it->version >= NOTIFYICON_VERSION_4)
        PostMessageW(it->hwnd, it->callback, MAKEWPARAM(x, y), MAKELPARAM(event, it->uid));
    else if (event != WM_CONTEXTMENU)
        PostMessageW(it->hwnd, it->callback, it->uid, LPARAM(event));
}

int WINAPI TwTrayIdOf(HWND hwnd, UINT uid) {
    const TrayIcon* t = FindIcon(hwnd, uid);
    return t ? t->backendId : 0;
}

} // extern "C"
