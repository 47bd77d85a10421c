// tests/skins/SkPopupMenuTest.cpp: the skinned popup menu driven by real keys through the menu loop:
// PopupEx returns the chosen item without running it, Popup runs it, a control places the menu under
// itself and hears the closed message (also when the menu was cancelled), and a control freed by the
// chosen item or by the menu's own popup handler hears nothing (run under the address sanitizer).
// Also the popup windows: an empty submenu with HideEmptyPopup is 0 x 0 and still fires its events.
#include "skins/SkPopup.h"

#include "tests/skins/SkItemFixture.h"
#include "tests/toolbars/MenuFixture.h"

#include <gtest/gtest.h>

namespace skins_test {
namespace {

using bars_test::Key;

// A windowed control that counts the closed messages it and its child hear.
class TClosedListener : public vcl::TCustomControl {
public:
    using vcl::TCustomControl::TCustomControl;
    static inline int Heard = 0;
    static inline WPARAM LastMenu = 0;

protected:
    void Dispatch(vcl::TMessage& Message) override {
        if (Message.Msg == CM_POPUPMENUCLOSED) {
            ++Heard;
            LastMenu = Message.WParam;
            return;
        }
        vcl::TCustomControl::Dispatch(Message);
    }
};

struct PopupMenus : ::testing::Test {
    bars_test::MenuSettings settings;
    testing_support::FormHarness h;
    vcl::TForm* form = nullptr;
    TSkPopupMenu* menu = nullptr;
    TSkItem *open = nullptr, *save = nullptr;
    std::vector<std::string> clicks;

    void SetUp() override {
        TClosedListener::Heard = 0;
        form = h.Create<vcl::TForm>();
        form->SetBounds(100, 100, 500, 300);
        menu = new TSkPopupMenu(form);
        open = Add(u"&Open");
        save = Add(u"&Save");
        form->Show();
        h.Pump();
    }
    TSkItem* Add(const char16_t* Caption, TBarCustomItem* Parent = nullptr) {
        auto* item = new TSkItem(form);
        item->SetCaption(rtl::String::fromUtf16(Caption));
        item->OnClick = [this, item](rtl::TObject*) { clicks.push_back(item->Caption().toStdString()); };
        (Parent ? Parent : menu->Items())->Add(item);
        return item;
    }
    void ChooseFirst() {
        h.WhenIdle([] {
            Key(VK_DOWN);
            Key(VK_RETURN);
        });
    }
    void Cancel() {
        h.WhenIdle([] {
            Key(VK_ESCAPE);
            Key(VK_ESCAPE);
        });
    }
    // Unowned, the control's end reaches the menu only through the watch the menu sets itself (an
    // owner tells every component it owns); such a control is freed by the test.
    TClosedListener* Listener(bool Owned = true) {
        auto* button = new TClosedListener(Owned ? form : nullptr);
        button->SetParent(form);
        button->SetBounds(40, 60, 80, 24);
        auto* child = new TClosedListener(form);
        child->SetParent(button);
        child->SetBounds(2, 2, 10, 10);
        h.Pump();
        return button;
    }
};

TEST_F(PopupMenus, PopupExReturnsTheItemWithoutRunningItAndPopupRunsIt) {
    ChooseFirst();
    EXPECT_EQ(menu->PopupEx(200, 200, nullptr, true), open);
    h.Pump();
    EXPECT_TRUE(clicks.empty());
    EXPECT_FALSE(menu->ReturnClickedItemOnly());

    ChooseFirst();
    menu->Popup(200, 200);
    h.Pump();   // the chosen item runs from the queue, as a menu command does
    EXPECT_EQ(clicks, std::vector<std::string>{"&Open"});
}

TEST_F(PopupMenus, ReturnOnlyFlagIsResetWhenTheLoopRaises) {
    menu->OnInitPopup() = [](rtl::TObject*, bars::TBarView*) { throw std::runtime_error("init failed"); };
    EXPECT_THROW(menu->PopupEx(200, 200, nullptr, true), std::runtime_error);
    EXPECT_FALSE(menu->ReturnClickedItemOnly());
}

TEST_F(PopupMenus, ControlGetsTheMenuUnderItsCornerAndTheClosedMessageChosenOrNot) {
    TClosedListener* button = Listener();
    POINT corner{0, button->Height()};
    ClientToScreen(button->Handle(), &corner);
    h.WhenIdle([&] {
        bars::TBarPopupWindow* w = bars_test::PopupOf(menu->Items());
        ASSERT_NE(w, nullptr);
        RECT r;
        GetWindowRect(w->Handle(), &r);
        EXPECT_EQ(r.left, corner.x);
        EXPECT_EQ(r.top, corner.y);
        Key(VK_ESCAPE);
        Key(VK_ESCAPE);
    });
    EXPECT_EQ(menu->PopupEx(900, 900, button, false), nullptr);
    EXPECT_EQ(TClosedListener::Heard, 1) << "the child hears it at once";
    h.Pump();
    EXPECT_EQ(TClosedListener::Heard, 2) << "the control hears it from its queue";
    EXPECT_EQ(TClosedListener::LastMenu, reinterpret_cast<WPARAM>(menu));

    ChooseFirst();
    EXPECT_EQ(menu->PopupEx(0, 0, button, false), open);
    h.Pump();
    EXPECT_EQ(TClosedListener::Heard, 4);
}

TEST_F(PopupMenus, ControlFreedByTheChosenItemOrByThePopupHandlerHearsNothing) {
    struct Case {
        const char* name;
        bool byPopupHandler;
    };
    for (const Case& c : {Case{"OnClick", false}, Case{"OnPopup", true}}) {
        SCOPED_TRACE(c.name);
        TClosedListener::Heard = 0;
        TClosedListener* button = Listener(false);
        auto freeButton = [&button] {
            delete button;
            button = nullptr;
        };
        if (c.byPopupHandler) {
            menu->OnInitPopup() = [&](rtl::TObject*, bars::TBarView*) { freeButton(); };
            Cancel();
        } else {
            open->OnClick = [&](rtl::TObject*) { freeButton(); };
            ChooseFirst();
        }
        menu->PopupEx(0, 0, button, false);
        h.Pump();
        EXPECT_EQ(button, nullptr);
        // The chosen item runs from the queue after the child heard the message; the message posted
        // to the freed control's window is dropped with the window.
        EXPECT_EQ(TClosedListener::Heard, c.byPopupHandler ? 0 : 1);
        menu->OnInitPopup() = nullptr;
    }
}

TEST_F(PopupMenus, EmptySubmenuWithHideEmptyPopupShowsAZeroSizedWindowAndFiresBothEvents) {
    auto* empty = new TSkSubmenuItem(form);
    empty->SetCaption(QStringLiteral("&Recent"));
    empty->SetHideEmptyPopup(true);
    menu->Items()->Add(empty);
    std::vector<std::string> events;
    empty->OnInitPopup = [&](rtl::TObject*, bars::TBarView*) { events.push_back("init"); };
    empty->OnClosePopup = [&](rtl::TObject*) { events.push_back("close"); };
    h.WhenIdle([&] {
        Key(VK_UP);
        Key(VK_RIGHT);
    });
    h.WhenIdle([&] {
        bars::TBarPopupWindow* w = bars_test::PopupOf(empty);
        ASSERT_NE(w, nullptr);
        RECT r;
        GetWindowRect(w->Handle(), &r);
        // Asked for 0 x 0; the stand-in's windows are never smaller than one pixel.
        EXPECT_LE(r.right - r.left, 1);
        EXPECT_LE(r.bottom - r.top, 1);
        EXPECT_TRUE(IsWindowVisible(w->Handle()));
        Key(VK_ESCAPE);
        Key(VK_ESCAPE);
        Key(VK_ESCAPE);
    });
    menu->Popup(200, 200);
    EXPECT_EQ(events, (std::vector<std::string>{"init", "close"}));
}

} // namespace
} // namespace skins_test
