// tests/toolbars/BarPopupTest.cpp: popup windows: placement on two monitors (one at negative
// coordinates), the window's frame, close requests and sounds, the popup menu's alignment, the
// image list's state images, and GDI objects left after a popup was opened, painted and closed.
#include "tests/toolbars/BarFixture.h"
#include "tests/toolbars/MenuFixture.h"

using namespace bars_test;

namespace {

// A top-level window at a screen position that shows a bar view, as a toolbar's window does.
class TScreenHost : public vcl::TCustomControl {
public:
    explicit TScreenHost(rtl::TComponent* AOwner) : vcl::TCustomControl(AOwner) { SetParentWindow(GetDesktopWindow()); }
    TBarView* View = nullptr;

protected:
    void CreateParams(vcl::TCreateParams& Params) override {
        vcl::TCustomControl::CreateParams(Params);
        Params.Style = WS_POPUP;
        Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    }
    void Paint() override {
        if (View) View->DrawSubitems(Canvas());
    }
};

// Monitor A is the primary one at the origin; B lies left of it and reaches above it.
const RECT MonitorA{0, 0, 1280, 1024};
const RECT MonitorB{-1024, -200, 0, 568};
int CALLBACK TwoMonitors(TwMonitorDesc* monitors, int max);

void UseTwoMonitors(bool On) {
    TwSetMonitorProvider(On ? &TwoMonitors : nullptr);
    TwSetSystemMetric(SM_CMONITORS, On ? 2 : 1);
}

int CALLBACK TwoMonitors(TwMonitorDesc* monitors, int max) {
    if (max >= 2) {
        monitors[0] = TwMonitorDesc{MonitorA, MonitorA, TRUE};
        monitors[1] = TwMonitorDesc{MonitorB, MonitorB, FALSE};
    }
    return 2;
}

enum AnchorKind { Point, Dropdown, VerticalBar, Submenu };

struct PlaceCase {
    const char* name;
    AnchorKind kind;
    int x, y;        // the point, or the host window's screen position
    int items;       // 20-pixel items of the popup (106 wide with its frame)
    TBarPopupAlignment alignment;
    bool dropRight;  // SM_MENUDROPALIGNMENT
    int expectX, expectY;
    std::vector<TBarAnimationDirectionFlag> direction;
};

std::ostream& operator<<(std::ostream& os, const PlaceCase& c) { return os << c.name; }

class Placement : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(Placement, FollowsTheMonitorAndTheAnchor) {
    const PlaceCase& c = GetParam();
    testing_support::HeadlessApp app;
    UseTwoMonitors(true);
    TwSetSystemMetric(SM_MENUDROPALIGNMENT, c.dropRight ? 1 : 0);
    Bar b;
    auto* menuItem = b.Item(30, 20);  // the anchor on the bar (or in the parent menu)
    menuItem->AddStyle(tbisSubmenu);
    b.Item(30, 20);
    for (int i = 0; i < c.items; ++i) b.Item(100, 20, menuItem);

    TBarPopupWindow* popup = nullptr;
    std::unique_ptr<TScreenHost> host;
    if (c.kind == Point) {
        popup = menuItem->CreatePopup(nullptr, nullptr, false, false, false, TPoint(c.x, c.y), c.alignment);
    } else {
        host = std::make_unique<TScreenHost>(nullptr);
        TBarView* view = b.Keep(new TBarView(nullptr, nullptr, b.root, host.get(), c.kind != Submenu, false, false));
        if (c.kind == VerticalBar) view->SetOrientation(tbvoVertical);
        host->View = view;
        host->SetBounds(c.x, c.y, c.kind == Submenu ? 30 : 60, 40);
        host->SetVisible(true);
        view->UpdatePositions();
        view->SetSelected(view->Find(menuItem));
        popup = menuItem->CreatePopup(view, view->Find(menuItem), c.kind == Submenu, false, false, TPoint(0, 0),
                                      tbpaLeft);
    }
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->Width(), 106);
    EXPECT_EQ(popup->Left(), c.expectX);
    EXPECT_EQ(popup->Top(), c.expectY);
    TBarAnimationDirection expected;
    for (auto d : c.direction) expected.Include(d);
    EXPECT_EQ(popup->AnimationDirection(), expected);
    EXPECT_TRUE(IsWindowVisible(popup->Handle()));
    if (c.kind == Point) delete popup;
    TwSetSystemMetric(SM_MENUDROPALIGNMENT, 0);
    UseTwoMonitors(false);
    while (!b.views.empty()) b.views.pop_back();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Placement,
    ::testing::Values(
        PlaceCase{"LeftAlignedNearTheRightEdgeOpensLeftOfThePoint", Point, 1250, 100, 3, tbpaLeft, false, 1144, 100,
                  {tbadDown, tbadLeft}},
        PlaceCase{"RightAlignedNearTheLeftEdgeOfB_OpensRightOfThePoint", Point, -1000, 0, 3, tbpaRight, false, -1000, 0,
                  {tbadDown, tbadRight}},
        PlaceCase{"CentredOnThePoint", Point, 600, 300, 3, tbpaCenter, false, 547, 300, {tbadDown}},
        PlaceCase{"NearTheBottomFlipsAboveThePoint", Point, 600, 1000, 3, tbpaLeft, false, 600, 934,
                  {tbadUp, tbadRight}},
        PlaceCase{"NearTheBottomOfB_FlipsAboveWithinB", Point, -500, 550, 3, tbpaLeft, false, -500, 484,
                  {tbadUp, tbadRight}},
        PlaceCase{"ADropdownOpensUnderItsItem", Dropdown, 200, 200, 3, tbpaLeft, false, 200, 220, {tbadDown}},
        PlaceCase{"ADropdownNearTheBottomOpensAboveItsItem", Dropdown, 200, 990, 3, tbpaLeft, false, 200, 924,
                  {tbadUp}},
        PlaceCase{"ADropdownFittingNeitherWaySitsOnTheBottomBesideItsItem", Dropdown, 200, 500, 50, tbpaLeft, false,
                  230, 18, {tbadRight}},
        PlaceCase{"RightAlignedDropsLineUpWithTheItemsRightEdge", Dropdown, 200, 200, 3, tbpaLeft, true, 124, 220,
                  {tbadDown}},
        PlaceCase{"AVerticalBarOpensLeftOfItsItem", VerticalBar, 600, 300, 3, tbpaLeft, false, 494, 300, {tbadLeft}},
        PlaceCase{"AVerticalBarAtTheLeftEdgeOpensRightRatherThanCoverTheItem", VerticalBar, 50, 300, 3, tbpaLeft,
                  false, 80, 300, {tbadRight}},
        PlaceCase{"ASubmenuOverlapsItsItemByThree", Submenu, 500, 100, 3, tbpaLeft, false, 527, 97, {tbadRight}},
        PlaceCase{"ASubmenuNearTheRightEdgeTurnsLeft", Submenu, 1200, 100, 3, tbpaLeft, false, 1097, 97, {tbadLeft}},
        PlaceCase{"ASubmenuOnB_NearItsRightEdgeTurnsLeft", Submenu, -50, 100, 3, tbpaLeft, false, -153, 97,
                  {tbadLeft}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PopupPlacement, ATallMenuIsHeldToItsMonitorWithScrollArrows) {
    testing_support::HeadlessApp app;
    UseTwoMonitors(true);
    Bar b;
    auto* menuItem = b.Item(30, 20);
    for (int i = 0; i < 60; ++i) b.Item(100, 20, menuItem);
    std::unique_ptr<TBarPopupWindow> popup(
        menuItem->CreatePopup(nullptr, nullptr, false, false, false, TPoint(-500, 0), tbpaLeft));
    EXPECT_LE(popup->Height(), 768);
    EXPECT_GE(popup->Top(), -200);
    EXPECT_LE(popup->Top() + popup->Height(), 568);
    EXPECT_TRUE(popup->View()->ShowDownArrow());
    EXPECT_EQ(popup->View()->MaxHeight(), 762);
    EXPECT_EQ(popup->View()->MonitorRect(), TRect(-1024, -200, 0, 568));
    popup.reset();
    UseTwoMonitors(false);
}

TEST(PopupPlacement, ASubmenuChainTurnsLeftOnceAndKeepsGoingLeftUntilThereIsNoRoom) {
    testing_support::HeadlessApp app;
    Bar b;
    auto* top = b.Item(30, 20);
    top->AddStyle(tbisSubmenu);
    auto* level1 = b.Item(100, 20, top);
    level1->AddStyle(tbisSubmenu);
    auto* level2 = b.Item(100, 20, level1);
    level2->AddStyle(tbisSubmenu);
    b.Item(100, 20, level2);
    TScreenHost host(nullptr);
    TBarView* view = b.Keep(new TBarView(nullptr, nullptr, b.root, &host, false, false, false));
    host.View = view;
    host.SetBounds(1150, 100, 30, 20);
    host.SetVisible(true);
    view->SetSelected(view->Find(top));
    TBarPopupWindow* first = top->CreatePopup(view, view->Find(top), true, false, false, TPoint(), tbpaLeft);
    EXPECT_EQ(first->Left(), 1150 + 3 - 106);  // no room on the right
    EXPECT_TRUE(first->View()->State.Contains(vsOppositePopup));
    TBarView* v1 = first->View();
    v1->SetSelected(v1->Find(level1));
    TBarPopupWindow* second = level1->CreatePopup(v1, v1->Find(level1), true, false, false, TPoint(), tbpaLeft);
    EXPECT_EQ(second->Left(), first->Left() + 3 + 3 - 106);  // room on the right, but it keeps going left
    TBarView* v2 = second->View();
    v2->SetSelected(v2->Find(level2));
    // Far enough left, the next level has no room there and turns right again.
    second->SetBounds(40, second->Top(), second->Width(), second->Height());
    TBarPopupWindow* third = level2->CreatePopup(v2, v2->Find(level2), true, false, false, TPoint(), tbpaLeft);
    EXPECT_EQ(third->Left(), 40 + 3 + 100 - 3);
    EXPECT_FALSE(third->View()->State.Contains(vsOppositePopup));
    view->CloseChildPopups();
    while (!b.views.empty()) b.views.pop_back();
}

// ---- the window ----

QRgb Rgb(COLORREF c) { return (QRgb(GetRValue(c)) << 16) | (QRgb(GetGValue(c)) << 8) | GetBValue(c); }

TEST(PopupWindow, HasAThreePixelFrameAtEveryDpiAndIgnoresCloseRequests) {
    for (const int dpi : {96, 144}) {
        for (const bool flat : {false, true}) {
            MenuFixture f;
            TwSetLogPixels(dpi);
            MenuSettings::Flat = flat;
            std::unique_ptr<TBarPopupWindow> popup(
                f.menu->Items()->CreatePopup(nullptr, nullptr, false, false, false, TPoint(200, 200), tbpaLeft));
            f.h.Pump();
            RECT client{};
            GetClientRect(popup->Handle(), &client);
            EXPECT_EQ(client.right, popup->Width() - 6) << dpi;
            EXPECT_EQ(client.bottom, popup->Height() - 6) << dpi;
            const QImage image = f.h.App().Grab(popup->Handle());
            const int y = image.height() / 2;
            auto at = [&](int x) { return image.pixel(x, y) & 0xFFFFFF; };
            if (flat) {
                EXPECT_EQ(at(0), Rgb(GetSysColor(COLOR_BTNSHADOW))) << dpi;
                EXPECT_EQ(at(1), Rgb(GetSysColor(COLOR_MENU))) << dpi;
                EXPECT_EQ(at(2), Rgb(GetSysColor(COLOR_MENU))) << dpi;
            } else {
                EXPECT_EQ(at(2), Rgb(GetSysColor(COLOR_BTNFACE))) << dpi;
                EXPECT_EQ(at(image.width() - 1), Rgb(GetSysColor(COLOR_3DDKSHADOW))) << dpi;
                EXPECT_EQ(at(image.width() - 2), Rgb(GetSysColor(COLOR_BTNSHADOW))) << dpi;
            }
            // A close request does nothing.
            SendMessageW(popup->Handle(), WM_CLOSE, 0, 0);
            f.h.Pump();
            EXPECT_TRUE(IsWindow(popup->Handle()));
            EXPECT_TRUE(IsWindowVisible(popup->Handle()));
            TwSetLogPixels(96);
        }
    }
}

TEST(PopupWindow, TheFirstPopupPaintsBeforeItsSoundLaterOnesSoundFirst) {
    MenuFixture f;
    const String path = u"AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current"_qs;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, reinterpret_cast<LPCWSTR>(path.utf16()), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const String wav = u"popup.wav"_qs;
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(wav.utf16()),
                   static_cast<DWORD>((wav.size() + 1) * sizeof(char16_t)));
    static std::vector<bool> visibleAtSound;
    visibleAtSound.clear();
    static TBarCustomItem* root;
    root = f.menu->Items();
    TwSetCallRecorder([](LPCWSTR name, LPCWSTR text, ULONG_PTR) {
        if (QString::fromUtf16(name) == u"PlaySoundW"_qs && QString::fromUtf16(text) == u"MenuPopup"_qs) {
            TBarPopupWindow* w = PopupOf(root);
            visibleAtSound.push_back(w && IsWindowVisible(w->Handle()));
        }
    });
    PopupSoundPlayedOnce = false;
    for (int i = 0; i < 2; ++i) {
        std::unique_ptr<TBarPopupWindow> popup(
            root->CreatePopup(nullptr, nullptr, false, false, false, TPoint(200, 200), tbpaLeft));
    }
    TwSetCallRecorder(&Recorded::OnCall);
    RegDeleteKeyW(HKEY_CURRENT_USER, reinterpret_cast<LPCWSTR>(path.utf16()));
    RegCloseKey(key);
    EXPECT_EQ(visibleAtSound, (std::vector<bool>{true, false}));
    EXPECT_TRUE(PopupSoundPlayedOnce);
}

TEST(PopupWindow, RootPopupsUseTheSharedMenuFontAndAHiddenUnderlineState) {
    MenuFixture f;
    std::unique_ptr<TBarPopupWindow> popup(
        f.menu->Items()->CreatePopup(nullptr, nullptr, false, false, false, TPoint(200, 200), tbpaLeft));
    EXPECT_EQ(popup->Font()->Name(), SharedMenuFont()->Name());
    EXPECT_TRUE(popup->View()->Style.Contains(vsUseHiddenAccels));
    EXPECT_EQ(popup->Color(), vcl::clMenu);
    EXPECT_TRUE(GetWindowLongW(popup->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(DWORD(GetWindowLongW(popup->Handle(), GWL_STYLE)) & DWORD(WS_CHILD | WS_POPUP), DWORD(WS_POPUP));
}

// ---- the popup menu component ----

TEST(PopupMenu, ItsAlignmentAndOnPopupReachTheRootItem) {
    MenuFixture f;
    std::vector<rtl::TObject*> senders;
    f.menu->OnPopup = [&](rtl::TObject* sender) { senders.push_back(sender); };
    f.menu->SetAlignment(vcl::paRight);
    int left = 0, width = 0;
    f.Then([&] {
        left = PopupOf(f.menu->Items())->Left();
        width = PopupOf(f.menu->Items())->Width();
        Key(VK_ESCAPE);
    });
    EXPECT_EQ(f.Popup(), nullptr);
    EXPECT_EQ(left, f.at.x - width);
    EXPECT_EQ(senders, std::vector<rtl::TObject*>{f.menu});
    EXPECT_EQ(f.menu->PopupPoint(), TPoint(f.at.x, f.at.y));
    // The images are the root item's submenu images.
    vcl::TImageList images(nullptr, 16, 16);
    f.menu->SetImages(&images);
    EXPECT_EQ(f.menu->Items()->SubMenuImages(), &images);
    f.menu->SetImages(nullptr);
}

// ---- the image list with state images ----

struct StateCase {
    bool enabled, selected, checked;
    bool withDisabled, withChecked, withHot;
    char expected;  // 'n' normal list, 'g' normal list drawn disabled, 'd', 'c', 'h'
};

std::ostream& operator<<(std::ostream& os, const StateCase& c) {
    return os << "enabled " << c.enabled << " selected " << c.selected << " checked " << c.checked << " expects "
              << c.expected;
}

class DrawState : public ::testing::TestWithParam<StateCase> {};

vcl::TImageList* SolidList(rtl::TComponent* owner, vcl::TColor color) {
    auto* list = new TBarCustomImageList(owner, 16, 16);
    vcl::TBitmap bmp;
    bmp.SetSize(16, 16);
    bmp.Canvas()->Brush()->SetColor(color);
    bmp.Canvas()->FillRect(TRect(0, 0, 16, 16));
    list->Add(&bmp, nullptr);
    return list;
}

TEST_P(DrawState, PicksTheListByPriority) {
    const StateCase c = GetParam();
    testing_support::HeadlessApp app;
    rtl::TComponent owner(nullptr);
    auto* list = static_cast<TBarCustomImageList*>(SolidList(&owner, vcl::clBlue));
    if (c.withDisabled) list->SetDisabledImages(SolidList(&owner, vcl::clRed));
    if (c.withChecked) list->SetCheckedImages(SolidList(&owner, vcl::clLime));
    if (c.withHot) list->SetHotImages(SolidList(&owner, vcl::clYellow));
    vcl::TBitmap target;
    target.SetSize(16, 16);
    target.Canvas()->Brush()->SetColor(vcl::clWhite);
    target.Canvas()->FillRect(TRect(0, 0, 16, 16));
    list->DrawState(target.Canvas(), 0, 0, 0, c.enabled, c.selected, c.checked);
    const COLORREF px = GetPixel(target.Canvas()->Handle(), 8, 8);
    switch (c.expected) {
    case 'n': EXPECT_EQ(px, COLORREF(vcl::ColorToRGB(vcl::clBlue))); break;
    case 'g': EXPECT_NE(px, COLORREF(vcl::ColorToRGB(vcl::clBlue))); break;
    case 'd': EXPECT_EQ(px, COLORREF(vcl::ColorToRGB(vcl::clRed))); break;
    case 'c': EXPECT_EQ(px, COLORREF(vcl::ColorToRGB(vcl::clLime))); break;
    case 'h': EXPECT_EQ(px, COLORREF(vcl::ColorToRGB(vcl::clYellow))); break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Priority, DrawState,
    ::testing::Values(StateCase{true, false, false, true, true, true, 'n'},
                      StateCase{false, true, true, true, true, true, 'd'},   // disabled beats all, drawn enabled
                      StateCase{false, false, false, false, true, true, 'g'}, // no disabled list: greyed
                      StateCase{true, true, true, true, true, true, 'c'},    // checked beats hot
                      StateCase{true, true, false, true, true, true, 'h'},
                      StateCase{true, true, true, true, false, true, 'h'},
                      StateCase{true, true, false, true, true, false, 'n'}));

TEST(StateImages, AListSetToItselfCountsAsNoneAndAFreedListIsForgotten) {
    testing_support::HeadlessApp app;
    rtl::TComponent owner(nullptr);
    auto* list = new TBarCustomImageList(&owner, 16, 16);
    int changes = 0;
    list->OnChange = [&](rtl::TObject*) { ++changes; };
    list->SetHotImages(list);
    EXPECT_EQ(list->HotImages(), nullptr);
    auto* hot = new vcl::TImageList(&owner, 16, 16);
    list->SetHotImages(hot);
    EXPECT_EQ(changes, 1);
    vcl::TBitmap bmp;
    bmp.SetSize(16, 16);
    hot->Add(&bmp, nullptr);  // a change of the linked list is a change of this one
    EXPECT_EQ(changes, 2);
    delete hot;
    EXPECT_EQ(list->HotImages(), nullptr);
}

TEST(StateImages, AStripBitmapFillsTheList) {
    testing_support::HeadlessApp app;
    rtl::TComponent owner(nullptr);
    auto* list = new TBarCustomImageList(&owner, 16, 16);
    vcl::TBitmap strip;
    strip.SetSize(48, 16);
    list->SetImagesBitmap(&strip);
    EXPECT_EQ(list->Count(), 3);
}

} // namespace

// ---- GDI resources ----

// A leak would show here first: each paint makes DCs, bitmaps, pens and brushes for every item.
TEST(PopupWindow, OpeningPaintingAndClosingItLeavesNoGdiObjectsBehind) {
    MenuFixture f;
    f.send->SetChecked(true);
    auto round = [&] {
        f.Then([&] {
            TBarPopupWindow* w = PopupOf(f.menu->Items());
            ASSERT_NE(w, nullptr);
            InvalidateRect(w->Handle(), nullptr, TRUE);
            TwFlushPainting();
            const POINT p = ItemPoint(f.save);
            w->View()->UpdateSelection(TPoint(p.x, p.y), true);
            TwFlushPainting();
            Key(VK_DOWN);
            Key(VK_ESCAPE);
        });
        f.Popup();
        f.h.Pump();
    };
    round();  // the first popup makes the shared menu font
    const int before = TwGdiObjectCount();
    for (int i = 0; i < 2; ++i) round();
    EXPECT_EQ(TwGdiObjectCount(), before);
}
