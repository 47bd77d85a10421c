// Global memory blocks, the clipboard (text and file lists, shared with the desktop through the
// presentation) and file drops from the desktop as WM_DROPFILES.
#include "win/user32/WindowModel.h"
#include "win/kernel32/winbase.h"

#include <cstring>
#include <map>
#include <optional>

namespace twuser {

namespace {

constexpr uint32_t BlockMagic = 0x474C4F42;  // "GLOB"

struct alignas(16) BlockHeader {
    uint32_t magic;
    size_t size;
};

BlockHeader* HeaderOf(HGLOBAL h) {
    if (!h) return nullptr;
    auto* b = static_cast<BlockHeader*>(h);
    return b->magic == BlockMagic ? b : nullptr;
}

struct Clipboard {
    bool open = false;
    HWND owner = nullptr;
    std::map<UINT, HGLOBAL> data;
};

Clipboard& Clip() {
    static Clipboard* c = new Clipboard;  // lives to the end, with the blocks it holds
    return *c;
}

HGLOBAL TextBlock(const QString& text) {
    const size_t bytes = (size_t(text.size()) + 1) * sizeof(char16_t);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!h) return nullptr;
    std::memcpy(GlobalLock(h), text.utf16(), bytes);
    GlobalUnlock(h);
    return h;
}

HGLOBAL DropBlock(const QStringList& files, POINT pt, bool nc) {
    size_t chars = 1;
    for (const QString& f : files) chars += size_t(f.size()) + 1;
    HGLOBAL h = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(char16_t));
    if (!h) return nullptr;
    auto* df = static_cast<DROPFILES*>(GlobalLock(h));
    df->pFiles = sizeof(DROPFILES);
    df->pt = pt;
    df->fNC = nc;
    df->fWide = TRUE;
    auto* p = reinterpret_cast<char16_t*>(reinterpret_cast<uint8_t*>(df) + sizeof(DROPFILES));
    for (const QString& f : files) {
        std::memcpy(p, f.utf16(), size_t(f.size()) * sizeof(char16_t));
        p += f.size();
        *p++ = 0;
    }
    *p = 0;
    GlobalUnlock(h);
    return h;
}

QStringList FilesOf(HGLOBAL h) {
    QStringList out;
    BlockHeader* b = HeaderOf(h);
    if (!b || b->size < sizeof(DROPFILES)) return out;
    const auto* df = static_cast<const DROPFILES*>(GlobalLock(h));
    if (!df->fWide || df->pFiles > b->size) return out;
    const auto* p = reinterpret_cast<const char16_t*>(reinterpret_cast<const uint8_t*>(df) + df->pFiles);
    const auto* end = reinterpret_cast<const char16_t*>(reinterpret_cast<const uint8_t*>(df) + b->size);
    while (p < end && *p) {
        const char16_t* q = p;
        while (q < end && *q) ++q;
        out << QString::fromUtf16(p, q - p);
        p = q + 1;
    }
    return out;
}

QString Ansi(const char* s) { return QString::fromLatin1(s); }

// What the program put on the clipboard, all formats together, goes to the desktop's clipboard.
void Publish() {
    Backend* b = S().backend;
    if (!b) return;
    auto& d = Clip().data;
    std::optional<QString> text;
    std::optional<QStringList> files;
    if (auto it = d.find(CF_UNICODETEXT); it != d.end() && GlobalLock(it->second))
        text = QString::fromUtf16(static_cast<const char16_t*>(GlobalLock(it->second)));
    else if (auto a = d.find(CF_TEXT); a != d.end() && GlobalLock(a->second))
        text = Ansi(static_cast<const char*>(GlobalLock(a->second)));
    if (auto it = d.find(CF_HDROP); it != d.end()) files = FilesOf(it->second);
    b->SetClipboard(text ? &*text : nullptr, files ? &*files : nullptr);
}

void Store(UINT format, HGLOBAL h) {
    auto& d = Clip().data;
    auto it = d.find(format);
    if (it != d.end() && it->second != h) GlobalFree(it->second);
    d[format] = h;
}

} // namespace

} // namespace twuser

using namespace twuser;

extern "C" {

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
    auto* raw = new (std::nothrow) unsigned char[sizeof(BlockHeader) + bytes];
    if (!raw) return nullptr;
    auto* b = reinterpret_cast<BlockHeader*>(raw);
    b->magic = BlockMagic;
    b->size = bytes;
    if (flags & GMEM_ZEROINIT) std::memset(raw + sizeof(BlockHeader), 0, bytes);
    return b;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL h) {
    BlockHeader* b = HeaderOf(h);
    if (!b) return h;
    b->magic = 0;
    delete[] reinterpret_cast<unsigned char*>(b);
    return nullptr;
}

LPVOID WINAPI GlobalLock(HGLOBAL h) {
    BlockHeader* b = HeaderOf(h);
    return b ? reinterpret_cast<unsigned char*>(b) + sizeof(BlockHeader) : nullptr;
}

BOOL WINAPI GlobalUnlock(HGLOBAL) { return FALSE; }

SIZE_T WINAPI GlobalSize(HGLOBAL h) {
    BlockHeader* b = HeaderOf(h);
    return b ? b->size : 0;
}

BOOL WINAPI OpenClipboard(HWND owner) {
    Clipboard& c = Clip();
    if (c.open) return FALSE;
    c.open = true;
    c.owner = owner;
    return TRUE;
}

BOOL WINAPI CloseClipboard(void) {
    Clipboard& c = Clip();
    if (!c.open) return FALSE;
    c.open = false;
    return TRUE;
}

BOOL WINAPI EmptyClipboard(void) {
    Clipboard& c = Clip();
    if (!c.open) return FALSE;
    for (auto& [f, h] : c.data) GlobalFree(h);
    c.data.clear();
    Publish();
    return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT format, HANDLE h) {
    Clipboard& c = Clip();
    if (!c.open || !h) return nullptr;
    Store(format, h);
    if (format == CF_TEXT) Store(CF_UNICODETEXT, TextBlock(Ansi(static_cast<const char*>(GlobalLock(h)))));
    if (format == CF_UNICODETEXT || format == CF_TEXT || format == CF_HDROP) Publish();
    return h;
}

HANDLE WINAPI GetClipboardData(UINT format) {
    Clipboard& c = Clip();
    if (!c.open) return nullptr;
    if (Backend* b = S().backend) {
        // The desktop's clipboard is the truth: another program may have changed it.
        if (format == CF_UNICODETEXT || format == CF_TEXT) {
            QString text;
            if (!b->ClipboardText(text)) return nullptr;
            if (format == CF_UNICODETEXT) {
                Store(format, TextBlock(text));
            } else {
                const QByteArray bytes = text.toLatin1();
                HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size_t(bytes.size()) + 1);
                std::memcpy(GlobalLock(h), bytes.constData(), size_t(bytes.size()) + 1);
                Store(format, h);
            }
        } else if (format == CF_HDROP) {
            QStringList files;
            if (!b->ClipboardFiles(files) || files.isEmpty()) return nullptr;
            Store(format, DropBlock(files, POINT{0, 0}, false));
        }
    }
    auto it = c.data.find(format);
    if (it != c.data.end()) return it->second;
    if (format == CF_TEXT) {
        auto u = c.data.find(CF_UNICODETEXT);
        if (u == c.data.end()) return nullptr;
        const QByteArray bytes = QString::fromUtf16(static_cast<const char16_t*>(GlobalLock(u->second))).toLatin1();
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size_t(bytes.size()) + 1);
        std::memcpy(GlobalLock(h), bytes.constData(), size_t(bytes.size()) + 1);
        Store(CF_TEXT, h);
        return h;
    }
    return nullptr;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format) {
    if (Backend* b = S().backend) {
        if (format == CF_UNICODETEXT || format == CF_TEXT || format == CF_OEMTEXT) {
            QString text;
            return b->ClipboardText(text);
        }
        if (format == CF_HDROP) {
            QStringList files;
            return b->ClipboardFiles(files) && !files.isEmpty();
        }
    }
    auto& d = Clip().data;
    if (format == CF_TEXT || format == CF_OEMTEXT) return d.count(CF_UNICODETEXT) || d.count(CF_TEXT);
    return d.count(format) != 0;
}

HWND WINAPI GetClipboardOwner(void) { return Clip().owner; }

// ---- file drops ----

void WINAPI DragAcceptFiles(HWND hwnd, BOOL accept) {
    if (Window* w = Get(hwnd)) {
        if (accept) w->exStyle |= WS_EX_ACCEPTFILES;
        else w->exStyle &= ~WS_EX_ACCEPTFILES;
    }
}

UINT WINAPI DragQueryFileW(HDROP drop, UINT index, LPWSTR buf, UINT cch) {
    const QStringList files = FilesOf(reinterpret_cast<HGLOBAL>(drop));
    if (index == 0xFFFFFFFF) return UINT(files.size());
    if (index >= UINT(files.size())) return 0;
    const QString& f = files[int(index)];
    if (!buf) return UINT(f.size());
    if (cch == 0) return 0;
    const UINT n = std::min<UINT>(UINT(f.size()), cch - 1);
    std::memcpy(buf, f.utf16(), n * sizeof(char16_t));
    buf[n] = 0;
    return n;
}

BOOL WINAPI DragQueryPoint(HDROP drop, LPPOINT pt) {
    BlockHeader* b = HeaderOf(reinterpret_cast<HGLOBAL>(drop));
    if (!b || b->size < sizeof(DROPFILES) || !pt) return FALSE;
    const auto* df = static_cast<const DROPFILES*>(GlobalLock(reinterpret_cast<HGLOBAL>(drop)));
    *pt = df->pt;
    return !df->fNC;
}

void WINAPI DragFinish(HDROP drop) { GlobalFree(reinterpret_cast<HGLOBAL>(drop)); }

BOOL WINAPI TwInputDropFiles(int x, int y, LPCWSTR list) {
    if (!list) return FALSE;
    QStringList files;
    for (const char16_t* p = list; *p; p += std::char_traits<char16_t>::length(p) + 1)
        files << QString::fromUtf16(p);
    if (files.isEmpty()) return FALSE;
    Window* w = Get(WindowFromPoint(POINT{x, y}));
    while (w && !(w->exStyle & WS_EX_ACCEPTFILES)) w = IsTopLevel(w) ? nullptr : w->parent;
    if (!w) return FALSE;
    const POINT o = ClientOrigin(w);
    const RECT cr = ScreenClientRect(w);
    const bool nc = !PtInRect(&cr, POINT{x, y});
    HGLOBAL h = DropBlock(files, POINT{x - o.x, y - o.y}, nc);
    if (!h) return FALSE;
    return PostMessageW(w->handle, WM_DROPFILES, reinterpret_cast<WPARAM>(h), 0);
}

} // extern "C"
