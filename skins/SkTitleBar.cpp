// skins/SkTitleBar.cpp: window-procedure subclassing that survives later subclasses, and the title
// bar's sizing hit table.
#include "skins/SkTitleBar.h"

#include <map>

namespace skins {

// One installed procedure. The owner is cleared when it removes itself while still chained; the link
// then only forwards, until its window goes.
struct TSkWindowSubclass::TLink {
    WNDPROC Saved = nullptr;
    TSkWindowSubclass* Owner = nullptr;
    THandler Handler;
};

namespace {

std::map<HWND, TSkWindowSubclass::TLink*>& Links() {
    static std::map<HWND, TSkWindowSubclass::TLink*> links;
    return links;
}

LRESULT CALLBACK SubclassProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto it = Links().find(Wnd);
    if (it == Links().end()) return DefWindowProcW(Wnd, Msg, WParam, LParam);
    TSkWindowSubclass::TLink* link = it->second;
    const WNDPROC saved = link->Saved;
    if (Msg == WM_NCDESTROY) {
        // The window goes: so does its link; an owner still installed forgets it.
        Links().erase(it);
        if (link->Owner) link->Owner->Remove();
        else delete link;
        return CallWindowProcW(saved, Wnd, Msg, WParam, LParam);
    }
    if (link->Owner && link->Handler) {
        LRESULT result = 0;
        // The handler may remove the subclass; the saved procedure is kept above.
        const TSkWindowSubclass::THandler handler = link->Handler;
        if (handler(Wnd, Msg, WParam, LParam, result)) return result;
    }
    return CallWindowProcW(saved, Wnd, Msg, WParam, LParam);
}

} // namespace

bool TSkWindowSubclass::Install(HWND Wnd, THandler Handler) {
    if (FLink || !Wnd || !IsWindow(Wnd)) return false;
    if (auto it = Links().find(Wnd); it != Links().end()) {
        // A forwarder left by an earlier owner is taken over; a live owner keeps its window.
        if (it->second->Owner) return false;
        it->second->Owner = this;
        it->second->Handler = std::move(Handler);
        FWnd = Wnd;
        FLink = it->second;
        return true;
    }
    auto* link = new TLink;
    link->Owner = this;
    link->Handler = std::move(Handler);
    link->Saved = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Wnd, GWLP_WNDPROC));
    Links()[Wnd] = link;
    SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc));
    FWnd = Wnd;
    FLink = link;
    return true;
}

void TSkWindowSubclass::Remove() {
    TLink* link = FLink;
    if (!link) return;
    FLink = nullptr;
    const HWND wnd = FWnd;
    FWnd = nullptr;
    auto it = Links().find(wnd);
    const bool chained = it != Links().end() && it->second == link;
    if (chained && IsWindow(wnd) &&
        GetWindowLongPtrW(wnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassProc)) {
        // Still the window's own procedure: the saved one goes back.
        SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->Saved));
        Links().erase(it);
        delete link;
        return;
    }
    if (chained && IsWindow(wnd)) {
        // Someone subclassed after us and will call us: stay as a forwarder without an owner.
        link->Owner = nullptr;
        link->Handler = nullptr;
        return;
    }
    if (chained) Links().erase(it);
    delete link;
}

LRESULT TSkWindowSubclass::CallSaved(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!FLink) return 0;
    return CallWindowProcW(FLink->Saved, FWnd, Msg, WParam, LParam);
}

TSkSizingHit GetSizingHitInfo(int X, int Y, int W, int H, const vcl::TPoint& Frame) {
    TSkSizingHit hit;
    if (X >= Frame.X && X < W - Frame.X && Y >= Frame.Y && Y < H - Frame.Y) return hit;
    const int c = W - 10;
    if (X <= 9 && Y <= 9) hit.Edge = WMSZ_TOPLEFT;
    else if (X > c && Y < 10) hit.Edge = WMSZ_TOPRIGHT;
    else if (X < 10 && Y > H - 10) hit.Edge = WMSZ_BOTTOMLEFT;
    else if (X > c && Y > H - 10) hit.Edge = WMSZ_BOTTOMRIGHT;
    else if (X > 10 && X < c && Y < 10) hit.Edge = WMSZ_TOP;
    else if (X > 10 && X < c && Y > H - 10) hit.Edge = WMSZ_BOTTOM;
    else if (Y > 10 && Y < H - 10 && X < 10) hit.Edge = WMSZ_LEFT;
    else if (Y > 10 && Y < H - 10 && X > c) hit.Edge = WMSZ_RIGHT;
    switch (hit.Edge) {
    case WMSZ_LEFT:
    case WMSZ_RIGHT: hit.Cursor = vcl::crSizeWE; break;
    case WMSZ_TOP:
    case WMSZ_BOTTOM: hit.Cursor = vcl::crSizeNS; break;
    case WMSZ_TOPLEFT:
    case WMSZ_BOTTOMRIGHT: hit.Cursor = vcl::crSizeNWSE; break;
    case WMSZ_TOPRIGHT:
    case WMSZ_BOTTOMLEFT: hit.Cursor = vcl::crSizeNESW; break;
    default: break;
    }
    return hit;
}

} // namespace skins
