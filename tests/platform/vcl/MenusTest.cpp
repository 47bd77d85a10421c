// Menus of the class library: the item tree behind the platform's menu handles, pop-up menus with
// OnPopup and automatic pop-up, owner drawing, actions, shortcuts and their texts.
#include "tests/support/windows/FormHarness.h"
#include "tests/support/windows/MenuScript.h"
#include "vcl/ActnList.h"
#include "vcl/ExtCtrls.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"

#include <functional>

#include <gtest/gtest.h>

using namespace vcl;
using testing_support::FormHarness;

namespace {

struct TextCase {
    TShortCut shortcut;
    const char* text;
};

class ShortCutText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ShortCutText, RoundTrips) {
    const TextCase& c = GetParam();
    EXPECT_EQ(ShortCutToText(c.shortcut), QString::fromLatin1(c.text));
    EXPECT_EQ(TextToShortCut(QString::fromLatin1(c.text)), c.shortcut);
    EXPECT_EQ(TextToShortCut(QString::fromLatin1(c.text).toLower()), c.shortcut);
}

INSTANTIATE_TEST_SUITE_P(Keys, ShortCutText,
                         ::testing::Values(TextCase{VK_F1, "F1"}, TextCase{TShortCut(scCtrl | 'A'), "Ctrl+A"},
                                           TextCase{TShortCut(scCtrl | scShift | VK_F1), "Shift+Ctrl+F1"},
                                           TextCase{VK_ESCAPE, "Esc"}, TextCase{TShortCut(scAlt | VK_RETURN), "Alt+Enter"},
                                           TextCase{VK_DELETE, "Del"}, TextCase{TShortCut(scCtrl | '4'), "Ctrl+4"},
                                           TextCase{VK_F12, "F12"}));

TEST(ShortCutText, UnknownTextsAndKeysGiveNothing) {
    EXPECT_EQ(TextToShortCut(QStringLiteral("Ctrl+Banana")), scNone);
    EXPECT_EQ(TextToShortCut(QStringLiteral("Ctrl+")), scNone);
    EXPECT_EQ(TextToShortCut(QString()), scNone);
    EXPECT_EQ(ShortCutToText(TShortCut(scCtrl | 0xFF)), QString());
    // Modifiers in another order still parse.
    EXPECT_EQ(TextToShortCut(QStringLiteral("Ctrl+Shift+S")), TShortCut(scCtrl | scShift | 'S'));
}

using testing_support::MenuScript;
constexpr auto MenuWindows = &MenuScript::MenuWindows;
void Key(UINT vk, const char16_t* text = nullptr) { MenuScript::Key(vk, text); }

std::u16string ItemText(HMENU m, UINT pos) {
    WCHAR buf[64] = {};
    GetMenuStringW(m, pos, buf, 64, MF_BYPOSITION);
    return buf;
}

class TMenuForm : public TForm {
public:
    explicit TMenuForm(TComponent* AOwner) : TForm(AOwner) {
        BeginLoading();
        SetPosition(poDesigned);
        SetBounds(100, 100, 400, 300);
        panel = new TPanel(this);
        panel->SetBounds(10, 10, 200, 150);
        panel->SetParent(this);
        popup = new TPopupMenu(this);
        open = Add(u"&Open", TShortCut(scCtrl | 'O'));
        Add(u"-");
        recent = Add(u"&Recent");
        first = new TMenuItem(this);
        first->SetCaption(QStringLiteral("First"));
        recent->Add(first);
        hidden = Add(u"Hidden");
        hidden->SetVisible(false);
        exit = Add(u"E&xit");
        panel->SetPopupMenu(popup);
        EndLoading();
    }
    TMenuItem* Add(const char16_t* caption, TShortCut shortcut = scNone) {
        auto* item = new TMenuItem(this);
        item->SetCaption(QString::fromUtf16(caption));
        item->SetShortCut(shortcut);
        popup->Items()->Add(item);
        return item;
    }
    TPanel* panel;
    TPopupMenu* popup;
    TMenuItem *open, *recent, *first, *hidden, *exit;
};

class Menus : public ::testing::Test {
protected:
    void Then(std::function<void()> step) { script.Then(std::move(step)); }

    FormHarness h;
    MenuScript script{h.App()};
};

} // namespace

TEST_F(Menus, TheItemTreeBecomesTheMenuHandle) {
    auto* f = h.Show<TMenuForm>();
    f->open->SetChecked(true);
    f->exit->SetEnabled(false);
    f->exit->SetDefault(true);
    const HMENU m = f->popup->Handle();
    ASSERT_EQ(GetMenuItemCount(m), 4);  // the hidden item is left out
    EXPECT_EQ(ItemText(m, 0), u"&Open\tCtrl+O");
    EXPECT_EQ(GetMenuState(m, 0, MF_BYPOSITION) & MF_CHECKED, UINT(MF_CHECKED));
    EXPECT_EQ(GetMenuState(m, 1, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    EXPECT_EQ(GetSubMenu(m, 2), f->recent->Handle());
    EXPECT_EQ(GetMenuItemID(m, 3), f->exit->Command());
    EXPECT_EQ(GetMenuState(m, 3, MF_BYPOSITION) & (MF_GRAYED | MF_DEFAULT), UINT(MF_GRAYED | MF_DEFAULT));
    // Changes show in the same handle the next time it is asked for.
    f->hidden->SetVisible(true);
    f->open->SetCaption(QStringLiteral("&Load"));
    EXPECT_EQ(f->popup->Handle(), m);
    EXPECT_EQ(GetMenuItemCount(m), 5);
    EXPECT_EQ(ItemText(m, 0), u"&Load\tCtrl+O");
    EXPECT_EQ(f->popup->FindItem(f->first->Command(), fkCommand), f->first);
    EXPECT_EQ(f->popup->FindItem(reinterpret_cast<UINT_PTR>(f->recent->Handle()), fkHandle), f->recent);
    EXPECT_EQ(f->popup->Items()->Find(QStringLiteral("recent")), f->recent);
    // Freeing an item takes it out of its parent.
    delete f->first;
    EXPECT_EQ(f->recent->Count(), 0);
}

TEST_F(Menus, RadioItemsOfAGroupCheckOneAtATimeAndAutoCheckToggles) {
    auto* f = h.Show<TMenuForm>();
    auto* a = f->Add(u"A");
    auto* b = f->Add(u"B");
    auto* c = f->Add(u"C");
    for (TMenuItem* i : {a, b, c}) {
        i->SetRadioItem(true);
        i->SetGroupIndex(1);
    }
    c->SetGroupIndex(2);
    a->SetChecked(true);
    c->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(c->Checked());  // another group
    const HMENU m = f->popup->Handle();
    EXPECT_EQ(GetMenuState(m, b->MenuIndex() - 1, MF_BYPOSITION) & MF_CHECKED, UINT(MF_CHECKED));

    int clicks = 0;
    f->open->SetAutoCheck(true);
    f->open->OnClick = rtl::TNotifyEvent([&](rtl::TObject*) { ++clicks; });
    f->open->Click();
    EXPECT_TRUE(f->open->Checked());
    f->open->SetEnabled(false);
    f->open->Click();  // a disabled item does nothing
    EXPECT_EQ(clicks, 1);
}

TEST_F(Menus, PopupFiresOnPopupBeforeShowingAndTheChoiceRunsOnClick) {
    auto* f = h.Show<TMenuForm>();
    std::vector<QString> events;
    f->popup->OnPopup = rtl::TNotifyEvent([&](rtl::TObject*) {
        events.push_back(QStringLiteral("popup, %1 menus shown").arg(MenuWindows().size()));
        f->exit->SetCaption(QStringLiteral("&Quit"));  // changes made here show in the menu
    });
    f->exit->OnClick = rtl::TNotifyEvent([&](rtl::TObject* sender) {
        events.push_back(sender == f->exit ? QStringLiteral("exit") : QStringLiteral("?"));
    });
    Then([&] {
        events.push_back(QStringLiteral("shown %1").arg(MenuWindows().size()));
        EXPECT_EQ(ItemText(f->popup->Handle(), 3), u"&Quit");
        Key('Q', u"q");
    });
    f->popup->Popup(300, 300);
    EXPECT_EQ(f->popup->PopupPoint(), TPoint(300, 300));
    h.Pump();  // the command arrives through the pop-up list's window
    EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("popup, 0 menus shown"), QStringLiteral("shown 1"), QStringLiteral("exit")}));
}

TEST_F(Menus, OpeningASubMenuClicksItsParentItem) {
    auto* f = h.Show<TMenuForm>();
    int parentClicks = 0, firstClicks = 0;
    f->recent->OnClick = rtl::TNotifyEvent([&](rtl::TObject*) { ++parentClicks; });
    f->first->OnClick = rtl::TNotifyEvent([&](rtl::TObject*) { ++firstClicks; });
    Then([] { Key('R', u"r"); });
    Then([] { Key(VK_RETURN); });
    f->popup->Popup(300, 300);
    h.Pump();
    EXPECT_EQ(parentClicks, 1);
    EXPECT_EQ(firstClicks, 1);
}

TEST_F(Menus, RightClickAndTheMenuKeyPopUpTheControlsMenuUnlessAutoPopupIsOff) {
    auto* f = h.Show<TMenuForm>();
    int popups = 0;
    f->popup->OnPopup = rtl::TNotifyEvent([&](rtl::TObject*) { ++popups; });
    Then([&] {
        EXPECT_EQ(MenuWindows().size(), 1u);
        EXPECT_EQ(f->popup->PopupComponent(), f->panel);
        Key(VK_ESCAPE);
    });
    h.Click(f->panel, POINT{20, 20}, TW_BUTTON_RIGHT);
    EXPECT_EQ(popups, 1);
    // The menu key: the menu opens at the control's top-left corner.
    Then([&] {
        RECT wr;
        GetWindowRect(MenuWindows().at(0), &wr);
        POINT origin{0, 0};
        ClientToScreen(f->panel->Handle(), &origin);
        EXPECT_EQ(wr.left, origin.x);
        EXPECT_EQ(wr.top, origin.y);
        Key(VK_ESCAPE);
    });
    f->panel->SetFocus();
    h.Pump();
    h.Keys(VK_APPS);
    EXPECT_EQ(popups, 2);
    f->popup->SetAutoPopup(false);
    h.Click(f->panel, POINT{20, 20}, TW_BUTTON_RIGHT);
    EXPECT_EQ(popups, 2);
    EXPECT_TRUE(script.Done());
}

TEST_F(Menus, OwnerDrawnItemsAreMeasuredAndDrawnThroughTheirEvents) {
    auto* f = h.Show<TMenuForm>();
    f->popup->SetOwnerDraw(true);
    std::vector<std::pair<TMenuItem*, bool>> drawn;
    for (TMenuItem* item : {f->open, f->exit}) {
        item->OnMeasureItem = rtl::TEvent<void(rtl::TObject*, TCanvas*, int&, int&)>(
            [](rtl::TObject*, TCanvas*, int& w, int& hgt) {
                w = 150;
                hgt = 28;
            });
        item->OnDrawItem = rtl::TEvent<void(rtl::TObject*, TCanvas*, TRect, bool)>(
            [&drawn, item](rtl::TObject* sender, TCanvas* canvas, TRect r, bool selected) {
                EXPECT_EQ(sender, item);
                drawn.emplace_back(item, selected);
                canvas->Brush()->SetColor(selected ? TColor(0x00FF00) : TColor(0x0000FF));
                canvas->FillRect(r);
            });
    }
    const HMENU m = f->popup->Handle();
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_DATA;
    ASSERT_TRUE(GetMenuItemInfoW(m, 0, TRUE, &mi));
    EXPECT_EQ(mi.fType & MFT_OWNERDRAW, UINT(MFT_OWNERDRAW));
    // An owner-drawn item's data is its caption, as window subclasses read it.
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(mi.dwItemData)), u"&Open\tCtrl+O");
    Then([&] {
        RECT r;
        GetMenuItemRect(nullptr, m, 0, &r);
        EXPECT_EQ(r.bottom - r.top, 28);
        Key(VK_DOWN);
    });
    Then([&] {
        TwFlushPainting();
        Key(VK_ESCAPE);
    });
    f->popup->Popup(300, 300);
    ASSERT_FALSE(drawn.empty());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), std::make_pair(f->open, true)), drawn.end());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), std::make_pair(f->exit, false)), drawn.end());
}

TEST_F(Menus, AnItemFollowsItsActionAndRunsIt) {
    auto* f = h.Show<TMenuForm>();
    auto* list = new TActionList(f);
    auto* act = new TAction(f);
    act->SetActionList(list);
    int runs = 0;
    act->SetOnExecute(rtl::TNotifyEvent([&](rtl::TObject*) { ++runs; }));
    act->SetCaption(QStringLiteral("&Save"));
    act->SetShortCut(TShortCut(scCtrl | 'S'));
    f->open->SetAction(act);
    EXPECT_EQ(f->open->Caption(), QStringLiteral("&Save"));
    EXPECT_EQ(f->open->ShortCut(), TShortCut(scCtrl | 'S'));
    act->SetEnabled(false);
    EXPECT_FALSE(f->open->Enabled());
    EXPECT_EQ(GetMenuState(f->popup->Handle(), 0, MF_BYPOSITION) & MF_GRAYED, UINT(MF_GRAYED));
    act->SetEnabled(true);
    f->open->Click();
    EXPECT_EQ(runs, 1);
    // Its shortcut reaches it through the menu.
    EXPECT_TRUE(f->popup->IsShortCut(TShortCut(scCtrl | 'S')));
    EXPECT_EQ(runs, 2);
    EXPECT_FALSE(f->popup->IsShortCut(TShortCut(scCtrl | 'Q')));
    delete act;  // the item forgets the freed action
    EXPECT_EQ(f->open->Action(), nullptr);
}

TEST_F(Menus, TheListKnowsEveryPopupMenu) {
    const int before = PopupList()->Count();
    auto* f = h.Show<TMenuForm>();
    EXPECT_EQ(PopupList()->Count(), before + 1);
    EXPECT_EQ(PopupList()->Items(before), f->popup);
    delete f->popup;
    EXPECT_EQ(PopupList()->Count(), before);
}

TEST_F(Menus, AMainMenuIsTheBarOfItsWindow) {
    auto* f = h.Show<TMenuForm>();
    auto* bar = new TMainMenu(f);
    auto* file = new TMenuItem(f);
    file->SetCaption(QStringLiteral("&File"));
    bar->Items()->Add(file);
    auto* quit = new TMenuItem(f);
    quit->SetCaption(QStringLiteral("&Quit"));
    quit->SetShortCut(TShortCut(scCtrl | 'Q'));
    file->Add(quit);
    RECT before;
    GetClientRect(f->Handle(), &before);
    bar->SetWindowHandle(f->Handle());
    EXPECT_EQ(GetMenu(f->Handle()), bar->Handle());
    RECT after;
    GetClientRect(f->Handle(), &after);
    EXPECT_LT(after.bottom, before.bottom);
    EXPECT_EQ(ItemText(bar->Handle(), 0), u"&File");  // bar items show no shortcut
    EXPECT_EQ(ItemText(file->Handle(), 0), u"&Quit\tCtrl+Q");
    bar->SetWindowHandle(nullptr);
    EXPECT_EQ(GetMenu(f->Handle()), nullptr);
}

// Given to the form, a main menu becomes the bar of the form's window, now and after the window is made
// again, and the form hands it the commands and pop-up notices that come from the bar.
TEST_F(Menus, TheFormsMainMenuGetsItsCommandsAndPopups) {
    auto* f = h.Show<TMenuForm>();
    auto* bar = new TMainMenu(f);
    auto* file = new TMenuItem(f);
    file->SetCaption(QStringLiteral("&File"));
    bar->Items()->Add(file);
    auto* quit = new TMenuItem(f);
    quit->SetCaption(QStringLiteral("&Quit"));
    file->Add(quit);
    std::vector<std::string> events;
    file->OnClick = [&](TObject*) { events.push_back("file"); };
    quit->OnClick = [&](TObject*) { events.push_back("quit"); };
    f->SetMenu(bar);
    EXPECT_EQ(GetMenu(f->Handle()), bar->Handle());
    SendMessageW(f->Handle(), WM_INITMENUPOPUP, WPARAM(file->Handle()), 0);
    SendMessageW(f->Handle(), WM_COMMAND, quit->Command(), 0);
    // A control's notice with the same number is not a menu command.
    SendMessageW(f->Handle(), WM_COMMAND, MAKEWPARAM(quit->Command(), 1), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"file", "quit"}));
    f->RecreateWnd();
    f->HandleNeeded();
    EXPECT_EQ(GetMenu(f->Handle()), bar->Handle());
    f->SetMenu(nullptr);
    EXPECT_EQ(GetMenu(f->Handle()), nullptr);
}

TEST(MenuImages, AListFreedBeforeTheMenuIsForgottenWithoutBeingCalled) {
    // An image list dies before the menu that shows it, sharing the menu's owner (the owner tells the
    // menu) or owned elsewhere (its free notification does). Either way the list is only a component
    // by then: the menu forgets it without calling it, and later changes of images or menu are safe.
    for (const bool sameOwner : {true, false}) {
        SCOPED_TRACE(sameOwner ? "same owner" : "no owner");
        TComponent owner(nullptr);
        auto* menu = new TPopupMenu(&owner);
        auto* images = new TImageList(sameOwner ? &owner : nullptr);
        auto* subImages = new TImageList(sameOwner ? &owner : nullptr);
        auto* item = new TMenuItem(menu);
        menu->Items()->Add(item);
        int changes = 0;
        menu->OnChange = rtl::TNotifyEvent([&](TObject*) { ++changes; });
        menu->SetImages(images);
        item->SetSubMenuImages(subImages);
        images->Clear();
        EXPECT_GT(changes, 0) << "the list's changes reach the menu";

        changes = 0;
        delete images;
        delete subImages;
        EXPECT_EQ(menu->Images(), nullptr);
        EXPECT_EQ(item->SubMenuImages(), nullptr);
        EXPECT_GT(changes, 0) << "the menu is rebuilt without the images";
        menu->SetImages(nullptr);
        item->SetSubMenuImages(nullptr);

        // A new list is followed as before; the menu then goes first and lets it go.
        TImageList next(nullptr);
        menu->SetImages(&next);
        changes = 0;
        next.Clear();
        EXPECT_GT(changes, 0);
        delete menu;
        next.Clear();
    }
}
