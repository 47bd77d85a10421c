// tests/toolbars/MenuFixture.h: a shown form with a control under part of a popup menu, the popup menu
// with plain, shared-accelerator, submenu, separator and disabled items, and what the menu loop leaves
// behind: the beeps, sounds and foreground locks it asked for, and its accessibility events.
#pragma once
#include "tests/support/windows/FormHarness.h"
#include "toolbars/BarModal.h"
#include "toolbars/BarPopup.h"

#include "vcl/Forms.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace bars_test {

using namespace bars;

// An item with the plain look whose style a test can extend (a submenu, a split item).
class TPlainItem : public TBarCustomItem {
public:
    using TBarCustomItem::TBarCustomItem;
    void AddStyle(TBarItemStyleFlag Flag) { FItemStyle.Include(Flag); }
};

// A control that counts the presses that reach it.
class TPressTarget : public vcl::TCustomControl {
public:
    using vcl::TCustomControl::TCustomControl;
    int presses = 0;
    int rightPresses = 0;

protected:
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override {
        (Button == vcl::mbRight ? rightPresses : presses)++;
        vcl::TCustomControl::MouseDown(Button, Shift, X, Y);
    }
};

// The system settings the menu asks for: animation and fade, flat menus, the fixed work area.
struct MenuSettings {
    static inline bool Animation = false;
    static inline bool Fade = false;
    static inline bool Flat = false;
    static int CALLBACK Provider(UINT action, UINT, PVOID pv, UINT) {
        switch (action) {
        case SPI_GETWORKAREA:
            *static_cast<RECT*>(pv) = RECT{0, 0, testing_support::HeadlessApp::ScreenWidth,
                                           testing_support::HeadlessApp::ScreenHeight - 40};
            return 1;
        case SPI_GETMENUANIMATION: *static_cast<BOOL*>(pv) = Animation; return 1;
        case SPI_GETMENUFADE: *static_cast<BOOL*>(pv) = Fade; return 1;
        case SPI_GETFLATMENU: *static_cast<BOOL*>(pv) = Flat; return 1;
        default: return -1;
        }
    }
    MenuSettings() {
        Animation = Fade = Flat = false;
        TwSetSystemParametersProvider(&Provider);
    }
};

// Calls recorded by the stand-in and accessibility events heard through a hook.
struct Recorded {
    static inline std::vector<std::string> Calls;
    static inline std::vector<DWORD> Events;
    HWINEVENTHOOK hook = nullptr;
    TwCallRecorder previous = nullptr;
    static void CALLBACK OnCall(LPCWSTR name, LPCWSTR text, ULONG_PTR arg) {
        std::string s = QString::fromUtf16(name).toStdString();
        if (text) s += " " + QString::fromUtf16(text).toStdString();
        s += " " + std::to_string(arg);
        Calls.push_back(s);
    }
    static void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND, LONG, LONG, DWORD, DWORD) {
        Events.push_back(event);
    }
    Recorded() {
        Calls.clear();
        Events.clear();
        previous = TwSetCallRecorder(&OnCall);
        hook = SetWinEventHook(EVENT_SYSTEM_MENUSTART, EVENT_SYSTEM_MENUPOPUPEND, nullptr, &OnEvent, 0, 0, 0);
    }
    ~Recorded() {
        UnhookWinEvent(hook);
        TwSetCallRecorder(previous);
    }
    static int Count(const std::string& call) { return static_cast<int>(std::count(Calls.begin(), Calls.end(), call)); }
};

// The popup window of the menu level that shows Parent's subitems, when one is open.
inline TBarPopupWindow* PopupOf(TBarCustomItem* Parent) {
    TBarPopupWindow* found = nullptr;
    for (TBarPopupWindow* w : PopupWindows())
        if (w->View() && w->View()->ParentItem() == Parent) found = w;
    return found;
}

// The screen point at the centre of an item in its open popup.
inline POINT ItemPoint(TBarCustomItem* Item) {
    TBarPopupWindow* w = PopupOf(Item->Parent());
    EXPECT_NE(w, nullptr);
    if (!w) return POINT{0, 0};
    const TRect r = w->View()->Find(Item)->BoundsRect();
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(w->Handle(), &p);
    return p;
}

inline void Key(UINT vk, const char16_t* text = nullptr) {
    TwInputKey(vk, TRUE, FALSE, text, FALSE);
    TwInputKey(vk, FALSE, FALSE, nullptr, FALSE);
}
inline void MoveTo(POINT p) { TwInputMouseMove(p.x, p.y); }
inline void Press(POINT p, int button = TW_BUTTON_LEFT) { TwInputMouseButton(p.x, p.y, button, TRUE); }
inline void Release(POINT p, int button = TW_BUTTON_LEFT) { TwInputMouseButton(p.x, p.y, button, FALSE); }
inline void ClickAt(POINT p, int button = TW_BUTTON_LEFT) {
    MoveTo(p);
    Press(p, button);
    Release(p, button);
}

struct MenuFixture {
    MenuSettings settings;  // before the harness's first popup asks
    testing_support::FormHarness h;
    Recorded recorded;
    vcl::TForm* form = nullptr;
    TPressTarget* below = nullptr;
    TBarPopupMenu* menu = nullptr;
    TPlainItem *open, *save, *send, *recent, *first, *second, *disabled, *exit;
    std::vector<std::string> clicks;
    POINT at{150, 150};  // where the menu opens (screen)

    MenuFixture() {
        TwSetSystemParametersProvider(&MenuSettings::Provider);
        form = h.Create<vcl::TForm>();
        form->SetBounds(100, 100, 600, 400);
        below = new TPressTarget(form);
        below->SetParent(form);
        below->SetBounds(400, 250, 120, 60);
        menu = new TBarPopupMenu(form);
        open = Add(u"&Open", menu->Items());
        save = Add(u"&Save", menu->Items());
        send = Add(u"&Send to\tCtrl+E", menu->Items());
        recent = Add(u"&Recent", menu->Items());
        recent->AddStyle(tbisSubmenu);
        first = Add(u"&First", recent);
        second = Add(u"Se&cond", recent);
        menu->Items()->Add(new TBarSeparatorItem(form));
        disabled = Add(u"&Disabled", menu->Items());
        disabled->SetEnabled(false);
        exit = Add(u"E&xit", menu->Items());
        form->Show();
        h.Pump();
    }
    TPlainItem* Add(const char16_t* caption, TBarCustomItem* parent) {
        auto* item = new TPlainItem(form);
        item->SetCaption(rtl::String::fromUtf16(caption));
        item->OnClick = [this, item](rtl::TObject*) { clicks.push_back(item->Caption().toStdString()); };
        parent->Add(item);
        return item;
    }
    // Each step runs when the menu loop waits for input.
    void Then(std::function<void()> step) { h.WhenIdle(std::move(step)); }
    TBarCustomItem* Popup(bool returnOnly = false) { return menu->PopupEx(at.x, at.y, returnOnly); }
    POINT BelowPoint() const {
        POINT p{below->Width() / 2, below->Height() / 2};
        ClientToScreen(below->Handle(), &p);
        return p;
    }
    static bool Queued(UINT min, UINT max) {
        MSG msg;
        return PeekMessageW(&msg, nullptr, min, max, PM_NOREMOVE) != 0;
    }
};

} // namespace bars_test
