// Helpers for the tests of the standard window classes and dialogs: in-memory dialog templates, the
// notifications a parent received, and keys handed to a dialog as its message loop would.
#pragma once

#include "Recorder.h"

#include <cstring>
#include <string>
#include <vector>

namespace user32_test {

// Builds a DLGTEMPLATE with its items in memory (dialog units), as a resource compiler lays it out.
class DialogBuilder {
public:
    DialogBuilder(DWORD style, short cx, short cy, const std::u16string& title, WORD pointSize = 8) {
        DLGTEMPLATE t{};
        t.style = style | (pointSize ? DS_SETFONT : 0);
        t.cx = cx;
        t.cy = cy;
        Raw(&t, sizeof t);
        words_.push_back(0);  // menu
        words_.push_back(0);  // class
        String(title);
        if (pointSize) {
            words_.push_back(pointSize);
            String(u"MS Shell Dlg");
        }
    }
    // `atom` is a predefined class (0x80 Button … 0x85 ComboBox); 0 names the class by `cls`.
    DialogBuilder& Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const std::u16string& text,
                        const std::u16string& cls = {}) {
        while (words_.size() % 2) words_.push_back(0);
        DLGITEMTEMPLATE it{};
        it.style = style | WS_CHILD | WS_VISIBLE;
        it.x = x, it.y = y, it.cx = cx, it.cy = cy, it.id = id;
        Raw(&it, sizeof it);
        if (atom) {
            words_.push_back(0xFFFF);
            words_.push_back(atom);
        } else {
            String(cls);
        }
        String(text);
        words_.push_back(0);  // no creation data
        ++count_;
        DLGTEMPLATE head;
        std::memcpy(&head, words_.data(), sizeof head);
        head.cdit = count_;
        std::memcpy(words_.data(), &head, sizeof head);
        return *this;
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Raw(const void* p, size_t n) {
        const size_t at = words_.size();
        words_.resize(at + n / 2);
        std::memcpy(words_.data() + at, p, n);
    }
    void String(const std::u16string& s) {
        for (char16_t c : s) words_.push_back(WORD(c));
        words_.push_back(0);
    }
    std::vector<WORD> words_;
    WORD count_ = 0;
};

// A visible child control of `parent` with the id given.
inline HWND MakeControl(HWND parent, const char16_t* cls, DWORD style, RECT r, int id, const char16_t* text = u"") {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           parent, reinterpret_cast<HMENU>(INT_PTR(id)), nullptr, nullptr);
}

// The WM_COMMAND notifications (code, id) a window received, in order.
inline std::vector<std::pair<int, int>> Commands(const Recorder& rec, HWND to) {
    std::vector<std::pair<int, int>> out;
    for (const Seen& s : rec.seen)
        if (s.hwnd == to && s.msg == WM_COMMAND) out.emplace_back(int(HIWORD(s.wp)), int(LOWORD(s.wp)));
    return out;
}

// A key press as a dialog's loop sees it: the key-down goes through IsDialogMessageW.
inline void DialogKey(HWND dlg, UINT vk) {
    MSG m{};
    m.hwnd = GetFocus() ? GetFocus() : dlg;
    m.message = WM_KEYDOWN;
    m.wParam = vk;
    IsDialogMessageW(dlg, &m);
}

inline std::u16string Text(HWND h) {
    WCHAR buf[512];
    const int n = GetWindowTextW(h, buf, 512);
    return std::u16string(buf, size_t(n));
}

} // namespace user32_test
