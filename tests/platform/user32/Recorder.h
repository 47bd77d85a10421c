// A window class whose procedure records every message and lets a test answer some of them.
#pragma once

#include "tests/support/windows/HeadlessApp.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include <gtest/gtest.h>

namespace user32_test {

struct Seen {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

// Pseudo message numbers for hook calls in a trace.
constexpr UINT CbtCreate = 0x10000 + HCBT_CREATEWND;
constexpr UINT CbtDestroy = 0x10000 + HCBT_DESTROYWND;

using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

struct Recorder {
    std::vector<Seen> seen;
    std::map<HWND, Handler> handlers;
    Handler any;  // for windows that have no handle yet (creation)

    static Recorder*& Current() {
        static Recorder* r = nullptr;
        return r;
    }
    Recorder() { Current() = this; }
    ~Recorder() { Current() = nullptr; }

    // The messages seen, without the chatty ones a test did not ask about.
    std::vector<UINT> Messages(HWND only = nullptr, std::set<UINT> ignore = {WM_NCHITTEST, WM_SETCURSOR, WM_GETTEXT,
                                                                              WM_GETTEXTLENGTH, WM_NCPAINT, WM_ERASEBKGND,
                                                                              WM_PAINT, WM_GETICON, WM_NCMOUSEMOVE,
                                                                              WM_MOUSEMOVE}) const {
        std::vector<UINT> out;
        for (const Seen& s : seen)
            if ((!only || s.hwnd == only) && !ignore.count(s.msg)) out.push_back(s.msg);
        return out;
    }
    std::vector<Seen> Of(UINT msg) const {
        std::vector<Seen> out;
        for (const Seen& s : seen)
            if (s.msg == msg) out.push_back(s);
        return out;
    }
    void Clear() { seen.clear(); }
};

inline LRESULT CALLBACK RecordingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    Recorder* r = Recorder::Current();
    if (r) {
        r->seen.push_back(Seen{h, m, w, l});
        auto it = r->handlers.find(h);
        if (it != r->handlers.end() && it->second) {
            if (auto v = it->second(h, m, w, l)) return *v;
        } else if (r->any) {
            if (auto v = r->any(h, m, w, l)) return *v;
        }
    }
    return DefWindowProcW(h, m, w, l);
}

inline void RegisterTestClasses() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = u"TwTestWindow";
    RegisterClassExW(&wc);
    wc.style = CS_DBLCLKS;
    wc.lpszClassName = u"TwTestDblClk";
    RegisterClassExW(&wc);
}

inline HWND TopLevel(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT r = {100, 100, 500, 400}, DWORD ex = 0) {
    return CreateWindowExW(ex, u"TwTestWindow", u"top", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           nullptr, nullptr, nullptr, nullptr);
}

inline HWND Child(HWND parent, RECT r, DWORD style = WS_CHILD | WS_VISIBLE, int id = 1, const char16_t* cls = u"TwTestWindow") {
    return CreateWindowExW(0, cls, u"child", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                           reinterpret_cast<HMENU>(intptr_t(id)), nullptr, nullptr);
}

class WindowTest : public ::testing::Test {
protected:
    WindowTest() { RegisterTestClasses(); }
    testing_support::HeadlessApp app;
    Recorder rec;
};

} // namespace user32_test
