// tests/styling/windows/PopupMenuHookTest.cpp: the styled pop-up menu window inside the real menu
// loop: the first painting pass, hot-item repaints, clicks and keys turned into the menu's own
// choice, the wait for the first Down, scrolling by the arrows and keys, and item pictures.
#include "tests/styling/windows/StyleHookFixture.h"

#include "styling/hooks/PopupMenuHook.h"
#include "styling/hooks/StyleGraphics.h"
#include "vcl/ImgList.h"
#include "tests/styling/windows/ScreenShots.h"
#include "tests/support/windows/MenuScript.h"

#include <QImage>
#include <QTemporaryDir>

using namespace styling;
using namespace styletest;
using namespace vcl;
using testing_support::MenuScript;

namespace {

constexpr TColor HotFill = TColor(0xC0A080);

class PopupMenuHookTest : public StyleHookTest {
protected:
    void SetUp() override {
        StyleHookTest::SetUp();
        TStyleFileData data;
        data.Name = QStringLiteral("Menus");
        data.SystemColors[COLOR_MENU] = TColor(0x302820);
        data.SystemColors[COLOR_HOTLIGHT] = TColor(0x00FFFF);
        data.Elements.push_back({teMenu, 10, 0, {TColor(0x302820), clNone, clNone, clNone, {}}});
        data.Elements.push_back({teMenu, 14, 2, {HotFill, clNone, clNone, TColor(0xFFFFFF), {}}});
        data.Elements.push_back({teMenu, 14, 1, {clNone, clNone, clNone, TColor(0xE0E0E0), {}}});
        MenuStyle = std::make_unique<TCustomStyle>(data);
        TStyleManager::SetStyle(MenuStyle.get());
        Owner = Make(HookedClass, WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 0, 400, 300);
        SetCursorPos(0, 0);
        TSysPopupStyleHook::PaintLog = &Painted;
    }
    void TearDown() override {
        TSysPopupStyleHook::PaintLog = nullptr;
        DestroyWindow(Owner);
        TStyleManager::SetStyle(Style.get());
        StyleHookTest::TearDown();
    }
    static HWND MenuWindow() {
        const auto windows = MenuScript::MenuWindows();
        return windows.empty() ? nullptr : windows.back();
    }
    static TSysPopupStyleHook* Hook() {
        auto& hooked = TSysStyleManager::HookedWindows();
        auto it = hooked.find(MenuWindow());
        return it == hooked.end() ? nullptr : dynamic_cast<TSysPopupStyleHook*>(it->second.get());
    }
    UINT Track(HMENU Menu) { return TrackPopupMenu(Menu, TPM_RETURNCMD | TPM_LEFTBUTTON, 50, 40, 0, Owner, nullptr); }
    static POINT Centre(HMENU Menu, int Index) {
        RECT r{};
        GetMenuItemRect(nullptr, Menu, UINT(Index), &r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    std::unique_ptr<TCustomStyle> MenuStyle;
    HWND Owner = nullptr;
    std::vector<TSysPopupStyleHook::TPainted> Painted;
    MenuScript Script{App};
};

HMENU Items(int N, int Separators = 0) {
    const HMENU m = CreatePopupMenu();
    for (int i = 0; i < N; ++i) {
        if (i < Separators) AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
        else AppendMenuW(m, MF_STRING, UINT(100 + i), (u"Item " + std::u16string(1, char16_t(u'a' + i % 26))).c_str());
    }
    return m;
}

// A menu that scrolls: its window is at most 120 pixels tall.
HMENU Tall(int N) {
    const HMENU m = Items(N);
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_MAXHEIGHT;
    info.cyMax = 120;
    SetMenuInfo(m, &info);
    return m;
}

TEST_F(PopupMenuHookTest, FirstPassPaintsEveryItemOnceThenSelectionsRepaintTheTwoItems) {
    const HMENU m = Items(7);
    Script.Then([&] {
        TSysPopupStyleHook* hook = Hook();
        ASSERT_NE(hook, nullptr);
        EXPECT_TRUE(hook->ItemsPainted());
        // The first pass paints every item once, in order and normal; the window's own paint that
        // follows repaints them as they are.
        ASSERT_GE(Painted.size(), 7u);
        for (size_t i = 0; i < Painted.size(); ++i) {
            EXPECT_EQ(Painted[i].Index, int(i % 7));
            EXPECT_EQ(Painted[i].State, 0);
        }
        EXPECT_EQ(hook->PreviousHotItemIndex(), -1);
        SendMessageW(MenuWindow(), MN_SELECTITEM, 2, 0);
        Painted.clear();
        SendMessageW(MenuWindow(), MN_SELECTITEM, 5, 0);
        ASSERT_EQ(Painted.size(), 2u);
        EXPECT_EQ(Painted[0].Index, 2);
        EXPECT_EQ(Painted[0].State, 0);
        EXPECT_EQ(Painted[1].Index, 5);
        EXPECT_EQ(Painted[1].State, isHot);
        EXPECT_EQ(GetMenuState(m, 5, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));
        // -1 repaints the hot item normal and leaves the menu's own selection alone.
        Painted.clear();
        SendMessageW(MenuWindow(), MN_SELECTITEM, WPARAM(-1), 0);
        ASSERT_EQ(Painted.size(), 1u);
        EXPECT_EQ(Painted[0].Index, 5);
        EXPECT_EQ(Painted[0].State, 0);
        EXPECT_EQ(hook->PreviousHotItemIndex(), -1);
        EXPECT_EQ(GetMenuState(m, 5, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));
        EndMenu();
    });
    Track(m);
    DestroyMenu(m);
}

TEST_F(PopupMenuHookTest, ClickChoosesTheItemAsEnterWould) {
    const HMENU m = Items(4);
    Script.Then([&] { MenuScript::ClickAt(Centre(m, 2)); });
    EXPECT_EQ(Track(m), 102u);
    DestroyMenu(m);
}

TEST_F(PopupMenuHookTest, UpWrapsToTheLastItemAndDownWaitsForTheWindowTimer) {
    const HMENU m = Items(4);
    Script.Then([&] { MenuScript::Key(VK_UP); });
    Script.Then([&] {
        EXPECT_EQ(GetMenuState(m, 3, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));
        EndMenu();
    });
    Track(m);
    Painted.clear();
    Script.Then([&] {
        EXPECT_FALSE(Hook()->KeyReady());
        MenuScript::Key(VK_DOWN);
    });
    Script.Then([&] {
        // Nothing fed here: the clock runs to timer 147.
        EXPECT_EQ(GetMenuState(m, 0, MF_BYPOSITION) & MF_HILITE, 0u) << "swallowed before timer 147";
    });
    Script.Then([&] {
        EXPECT_TRUE(Hook()->KeyReady());
        MenuScript::Key(VK_DOWN);
    });
    Script.Then([&] {
        EXPECT_EQ(GetMenuState(m, 0, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));
        MenuScript::Key(VK_RETURN);
    });
    EXPECT_EQ(Track(m), 100u);
    DestroyMenu(m);
}

TEST_F(PopupMenuHookTest, HeightsDefaultWithoutSeparatorsOrWithoutItems) {
    struct Case {
        int Items, Separators;
        int ItemHeight, SeparatorHeight;  // 0: measured, not a default
    };
    for (const Case& c : {Case{6, 0, 0, 8}, Case{4, 4, 22, 0}}) {
        const HMENU m = Items(c.Items, c.Separators);
        Script.Then([&] {
            TSysPopupStyleHook* hook = Hook();
            ASSERT_NE(hook, nullptr);
            hook->SetOffset(1);
            hook->GetScrollOffset(false);
            if (c.ItemHeight) EXPECT_EQ(hook->ItemHeightCache(), c.ItemHeight);
            else EXPECT_GT(hook->ItemHeightCache(), 1);
            if (c.SeparatorHeight) EXPECT_EQ(hook->SeparatorHeightCache(), c.SeparatorHeight);
            else EXPECT_GT(hook->SeparatorHeightCache(), 1);
            hook->SetOffset(0);
            EndMenu();
        });
        Track(m);
        DestroyMenu(m);
    }
}

TEST_F(PopupMenuHookTest, ArrowsScrollOneItemPer150MsWhileHeldAndStopAtTheEnd) {
    const HMENU m = Tall(12);
    std::vector<int> offsets;
    std::vector<DWORD> times;
    Script.Then([&] {
        TSysPopupStyleHook* hook = Hook();
        ASSERT_NE(hook, nullptr);
        EXPECT_TRUE(hook->MenuScrolls());
        EXPECT_EQ(hook->Offset(), 0);
        RECT w{};
        GetWindowRect(MenuWindow(), &w);
        TwInputMouseMove((w.left + w.right) / 2, w.bottom - 3);
        TwInputMouseButton((w.left + w.right) / 2, w.bottom - 3, TW_BUTTON_LEFT, TRUE);  // held on the bottom arrow
    });
    // A new offset is noted with its time; the clock moves in 50 ms steps, and after 300 ms without
    // a new offset the button is let go.
    for (int i = 0; i < 40; ++i)
        Script.Then([&] {
            const int now = Hook()->Offset();
            if (offsets.empty() || now != offsets.back()) {
                offsets.push_back(now);
                times.push_back(GetTickCount());
            } else if (GetTickCount() - times.back() > 300) {
                POINT p{};
                GetCursorPos(&p);
                TwInputMouseButton(p.x, p.y, TW_BUTTON_LEFT, FALSE);
                EXPECT_TRUE(Hook()->IsItemVisible(11));
                EndMenu();
                return;
            }
            TwAdvanceClock(50);
        });
    Track(m);
    ASSERT_GE(offsets.size(), 3u);
    EXPECT_EQ(offsets[0], 1) << "the press scrolls one item";
    for (size_t i = 1; i < offsets.size(); ++i) {
        EXPECT_EQ(offsets[i], offsets[i - 1] + 1);
        EXPECT_EQ(times[i] - times[i - 1], 150u);
    }
    EXPECT_LT(offsets.back(), 12);
    DestroyMenu(m);
}

TEST_F(PopupMenuHookTest, KeysReachItemsOnEitherSideOfTheShownRange) {
    const HMENU m = Tall(30);
    Script.Then([&] {
        TSysPopupStyleHook* hook = Hook();
        ASSERT_NE(hook, nullptr);
        // Scrolled part of the way with nothing hot: Up picks the last item, below the shown range.
        hook->SetOffset(5);
        MenuScript::Key(VK_UP);
    });
    Script.Then([&] {
        TSysPopupStyleHook* hook = Hook();
        EXPECT_TRUE(hook->IsItemVisible(29));
        EXPECT_GE(hook->Offset(), 0);
        EXPECT_LE(hook->Offset(), 29);
        EXPECT_EQ(GetMenuState(m, 29, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));
        // An item above the shown range is reached by stepping back.
        SendMessageW(MenuWindow(), MN_SELECTITEM, WPARAM(-1), 0);
        hook->SetOffset(20);
        SendMessageW(MenuWindow(), MN_SELECTITEM, 3, 0);
        MenuScript::Key(VK_UP);
    });
    Script.Then([&] {
        EXPECT_TRUE(Hook()->IsItemVisible(2));
        EXPECT_EQ(GetMenuState(m, 2, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));
        Hook()->ScrollToLastItem();
        EXPECT_TRUE(Hook()->IsItemVisible(29));
        EndMenu();
    });
    Track(m);
    DestroyMenu(m);
}

TEST_F(PopupMenuHookTest, DisabledHotItemIsDarkenedAndTheShortcutEnds14FromTheRight) {
    const HMENU m = CreatePopupMenu();
    AppendMenuW(m, MF_STRING, 1, u"Open\tCtrl+O");
    AppendMenuW(m, MF_STRING | MF_GRAYED, 2, u"Gone");
    Script.Then([&] {
        TSysPopupStyleHook* hook = Hook();
        ASSERT_NE(hook, nullptr);
        RECT c{};
        GetClientRect(MenuWindow(), &c);
        TBitmap b(c.right, c.bottom);
        b.SetPixelFormat(pf32bit);
        Painted.clear();
        hook->PaintItem(b.Canvas(), 1, false);  // not the hot index: painted hot
        ASSERT_EQ(Painted.size(), 1u);
        EXPECT_EQ(Painted[0].State, isHot | isDisabled);
        const TRect r = Painted[0].R;
        const TColor back = b.Canvas()->Pixels(r.Left + 2, r.Top + 1) & 0xFFFFFF;
        for (int shift : {0, 8, 16}) {
            const int c = int((HotFill >> shift) & 0xFF);
            EXPECT_EQ(int((back >> shift) & 0xFF), c - c * 30 / 255);
        }
        // The shortcut's last ink lies just left of 14 pixels before the right edge.
        TBitmap t(c.right, c.bottom);
        t.SetPixelFormat(pf32bit);
        Painted.clear();
        hook->PaintItem(t.Canvas(), 0, true);
        const TRect s = Painted[0].R;
        const TColor bg = t.Canvas()->Pixels(s.Left + 1, s.Top + 1);
        int rightmost = -1;
        for (int x = s.Left; x < s.Right; ++x)
            for (int y = s.Top; y < s.Bottom; ++y)
                if (t.Canvas()->Pixels(x, y) != bg) rightmost = x;
        EXPECT_GE(rightmost, s.Right - 14 - 3);
        EXPECT_LT(rightmost, s.Right - 14);
        EndMenu();
    });
    Track(m);
    DestroyMenu(m);
}

} // namespace

namespace {

TEST_F(PopupMenuHookTest, OwnerDrawnItemWithoutApplicationItemHasNoText) {
    // The application's menu has one item; an owner-drawn item added to its handle has data that is
    // not text, and must not be read as text.
    TPopupMenu popup(nullptr);
    auto* item = new TMenuItem(&popup);
    item->SetCaption(QStringLiteral("Mine"));
    popup.Items()->Add(item);
    const HMENU m = popup.Handle();
    AppendMenuW(m, MF_OWNERDRAW, 77, reinterpret_cast<LPCWSTR>(uintptr_t(0x10)));
    Script.Then([&] {
        TSysPopupStyleHook* hook = Hook();
        ASSERT_NE(hook, nullptr);
        EXPECT_EQ(hook->VCLMenuItems(), popup.Items());
        EXPECT_EQ(hook->GetSysPopupItem(0)->Text(), QStringLiteral("Mine"));
        EXPECT_TRUE(hook->GetSysPopupItem(1)->Text().isEmpty());
        EndMenu();
    });
    Track(m);
}

} // namespace

namespace {

// ---- what the first pass shows, item pictures, arrows and hit tests -------------------------------------

// A hook that looks at the image the opening print leaves, before the posted first pass has run.
class TPrintProbe : public TSysPopupStyleHook {
public:
    using TSysPopupStyleHook::TSysPopupStyleHook;
    static inline bool Seen = false;
    static inline bool OnlyBackground = false;
    static inline bool PaintedDuringPrint = true;

protected:
    void Dispatch(TMessage& Message) override {
        const bool first = Message.Msg == WM_PRINT && !ItemsPainted() && !Seen;
        const size_t before = PaintLog ? PaintLog->size() : 0;
        TSysPopupStyleHook::Dispatch(Message);
        if (!first) return;
        Seen = true;
        PaintedDuringPrint = ItemsPainted() || (PaintLog && PaintLog->size() != before);
        const HDC dc = reinterpret_cast<HDC>(Message.WParam);
        const vcl::TRect c = SysControl()->ClientRect();
        const COLORREF back = GetPixel(dc, 1, 1);
        OnlyBackground = back == COLORREF(0x302820);
        for (int y = 0; y < c.Height() && OnlyBackground; ++y)
            for (int x = 0; x < c.Width() && OnlyBackground; ++x) OnlyBackground = GetPixel(dc, x, y) == back;
    }
};

TEST_F(PopupMenuHookTest, OpeningPrintShowsOnlyTheBackgroundUntilThePostedPassHasRun) {
    TSysStyleManager::UnRegisterSysStyleHook(QStringLiteral("#32768"));
    TSysStyleManager::RegisterSysStyleHook(QStringLiteral("#32768"), &CreateHook<TPrintProbe>);
    TPrintProbe::Seen = false;
    const HMENU m = Items(5);
    Script.Then([&] {
        ASSERT_TRUE(TPrintProbe::Seen);
        EXPECT_FALSE(TPrintProbe::PaintedDuringPrint);
        EXPECT_TRUE(TPrintProbe::OnlyBackground);
        EXPECT_TRUE(Hook()->ItemsPainted());
        EXPECT_GE(Painted.size(), 5u);
        EndMenu();
    });
    Track(m);
    DestroyMenu(m);
    TSysStyleManager::UnRegisterSysStyleHook(QStringLiteral("#32768"));
    TSysStyleManager::RegisterSysStyleHook(QStringLiteral("#32768"), &CreateHook<TSysPopupStyleHook>);
}

constexpr TColor CheckFill = TColor(0x0000FF);
constexpr TColor ArrowTail = TColor(0x0000FF);  // the left half of the arrow picture
constexpr TColor ArrowHead = TColor(0xFF0000);  // its right half, where it points

// The menu style with a red check mark and an arrow picture whose halves differ.
class PopupMenuPicturesTest : public PopupMenuHookTest {
protected:
    void SetUp() override {
        PopupMenuHookTest::SetUp();
        QImage arrow(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) arrow.setPixel(x, y, x < 4 ? qRgb(0xFF, 0, 0) : qRgb(0, 0, 0xFF));
        ASSERT_TRUE(arrow.save(Folder.filePath(QStringLiteral("arrow.png"))));
        TStyleFileData data = MenuStyle->Data();
        data.Folder = Folder.path();
        data.Elements.push_back({teMenu, 11, 0, {CheckFill, clNone, clNone, clNone, {}}});
        data.Elements.push_back({teMenu, 16, 0, {clNone, clNone, clNone, clNone, QStringLiteral("arrow.png"), 8, 8}});
        Pictures = std::make_unique<TCustomStyle>(data);
        TStyleManager::SetStyle(Pictures.get());
    }
    // Paints item Index normal into a bitmap of the window's size; R is where it went. Null when there
    // is no styled menu window or the item was not painted once.
    std::unique_ptr<TBitmap> PaintOne(int Index, TRect& R) {
        if (!Hook()) return nullptr;
        RECT c{};
        GetClientRect(MenuWindow(), &c);
        auto b = std::make_unique<TBitmap>(c.right, c.bottom);
        b->SetPixelFormat(pf32bit);
        Painted.clear();
        Hook()->PaintItem(b->Canvas(), Index, true);
        if (Painted.size() != 1) return nullptr;
        R = Painted[0].R;
        return b;
    }
    static TColor At(TBitmap* B, int X, int Y) { return B->Canvas()->Pixels(X, Y) & 0xFFFFFF; }
    static int Count(TBitmap* B, const TRect& R, TColor Colour) {
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x) n += At(B, x, y) == Colour;
        return n;
    }
    static MENUITEMINFOW Info(UINT Mask) {
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = Mask;
        return mi;
    }

    QTemporaryDir Folder;
    std::unique_ptr<TCustomStyle> Pictures;
};

TEST_F(PopupMenuPicturesTest, CheckedItemWithAnImageGetsTheOutlineAndNoCheckMark) {
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, picture);
        FillRectColor(dc, TRect(0, 0, 8, 8), TColor(0x00FF00));
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    const HMENU m = CreatePopupMenu();
    AppendMenuW(m, MF_STRING | MF_CHECKED, 1, u"Pictured");
    AppendMenuW(m, MF_STRING | MF_CHECKED, 2, u"Plain");
    MENUITEMINFOW mi = Info(MIIM_BITMAP);
    mi.hbmpItem = picture;
    SetMenuItemInfoW(m, 0, TRUE, &mi);
    Script.Then([&] {
        TRect r;
        auto b = PaintOne(0, r);
        ASSERT_TRUE(b);
        EXPECT_EQ(Painted[0].State & isChecked, isChecked);
        const int mid = (r.Top + r.Bottom) / 2;
        EXPECT_EQ(At(b.get(), r.Left + 2, mid), TColor(0x00FFFF)) << "the outline, in the hot-light colour";
        EXPECT_EQ(At(b.get(), r.Left + 7, mid), TColor(0x00FF00)) << "the picture";
        EXPECT_EQ(Count(b.get(), r, CheckFill), 0) << "no check mark beside a picture";
        // The plain checked item does get the mark: the colour above is the one the mark would show.
        auto p = PaintOne(1, r);
        ASSERT_TRUE(p);
        EXPECT_GT(Count(p.get(), r, CheckFill), 0);
        EndMenu();
    });
    Track(m);
    DestroyMenu(m);
    DeleteObject(picture);
}

TEST_F(PopupMenuPicturesTest, SubMenuArrowPointsLeftAndSits4FromTheLeftEdgeRightToLeft) {
    struct Case {
        bool RightToLeft;
        TColor LeftColumn;  // the arrow picture's colour at its leftmost column
    };
    for (const Case c : {Case{false, ArrowTail}, Case{true, ArrowHead}}) {
        SCOPED_TRACE(c.RightToLeft ? "right to left" : "left to right");
        const HMENU sub = Items(2);
        const HMENU m = CreatePopupMenu();
        AppendMenuW(m, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"More");
        if (c.RightToLeft) {
            MENUITEMINFOW mi = Info(MIIM_FTYPE);
            mi.fType = MFT_STRING | MFT_RIGHTORDER;
            SetMenuItemInfoW(m, 0, TRUE, &mi);
        }
        Script.Then([&] {
            TRect r;
            auto b = PaintOne(0, r);
            ASSERT_TRUE(b);
            EXPECT_EQ(Painted[0].Style, isDropDown);
            int left = -1, right = -1;
            for (int x = r.Left; x < r.Right; ++x)
                for (int y = r.Top; y < r.Bottom; ++y) {
                    const TColor p = At(b.get(), x, y);
                    if (p != ArrowTail && p != ArrowHead) continue;
                    if (left < 0) left = x;
                    right = x;
                }
            ASSERT_GE(left, 0) << "no arrow";
            EXPECT_EQ(right - left + 1, 8);
            if (c.RightToLeft) EXPECT_EQ(left, r.Left + 4);
            else EXPECT_EQ(right, r.Right - 4 - 1);
            bool leftColumn = false;
            for (int y = r.Top; y < r.Bottom; ++y) leftColumn |= At(b.get(), left, y) == c.LeftColumn;
            EXPECT_TRUE(leftColumn);
            EndMenu();
        });
        Track(m);
        DestroyMenu(m);
    }
}

TEST_F(PopupMenuPicturesTest, ApplicationItemsShowTheirImageAndCallTheirDrawHandler) {
    TImageList images(nullptr);  // outlives the menu that uses it
    TPopupMenu popup(nullptr);
    images.SetSize(16, 16);
    TBitmap green(16, 16);
    FillRectColor(green.Canvas()->Handle(), TRect(0, 0, 16, 16), TColor(0x00FF00));
    images.Add(&green, nullptr);
    popup.SetImages(&images);
    popup.SetOwnerDraw(true);
    auto* pictured = new TMenuItem(&popup);
    pictured->SetCaption(QStringLiteral("Pictured"));
    pictured->SetImageIndex(0);
    popup.Items()->Add(pictured);
    auto* drawn = new TMenuItem(&popup);
    drawn->SetCaption(QStringLiteral("Drawn"));
    struct Call {
        rtl::TObject* Sender;
        TRect R;
        bool Selected;
    };
    std::vector<Call> calls;
    drawn->OnDrawItem = [&](rtl::TObject* Sender, TCanvas*, TRect R, bool Selected) { calls.push_back({Sender, R, Selected}); };
    popup.Items()->Add(drawn);
    Script.Then([&] {
        ASSERT_NE(Hook(), nullptr);
        TRect r;
        calls.clear();  // the opening pass has drawn the item already
        auto b = PaintOne(0, r);
        ASSERT_TRUE(b);
        const int mid = (r.Top + r.Bottom) / 2;
        EXPECT_EQ(At(b.get(), r.Left + 4, mid), TColor(0x00FF00));
        EXPECT_EQ(At(b.get(), r.Left + 19, mid), TColor(0x00FF00));
        EXPECT_NE(At(b.get(), r.Left + 20, mid), TColor(0x00FF00));
        EXPECT_TRUE(calls.empty());
        PaintOne(1, r);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].Sender, drawn);
        EXPECT_EQ(calls[0].R, r);
        EXPECT_FALSE(calls[0].Selected);
        EndMenu();
    });
    Track(popup.Handle());
}

TEST_F(PopupMenuHookTest, HitTestFindsTheItemWhereAScrolledMenuPaintsIt) {
    const HMENU m = Tall(30);
    Script.Then([&] {
        TSysPopupStyleHook* hook = Hook();
        ASSERT_NE(hook, nullptr);
        ASSERT_TRUE(hook->MenuScrolls());
        RECT c{};
        GetClientRect(MenuWindow(), &c);
        TBitmap b(c.right, c.bottom);
        b.SetPixelFormat(pf32bit);
        for (int offset : {0, 5, 12}) {
            hook->SetOffset(offset);
            for (int index = offset + 1; index < offset + 3; ++index) {
                // Painted hot: the rows of the hot fill are where the item shows.
                FillBitmapColor(&b, 255, clBlack);
                hook->PaintItem(b.Canvas(), index, false);
                int top = -1, bottom = -1;
                for (int y = 0; y < c.bottom; ++y)
                    if ((b.Canvas()->Pixels(c.right / 2, y) & 0xFFFFFF) == HotFill) {
                        if (top < 0) top = y;
                        bottom = y;
                    }
                ASSERT_GE(top, 0) << "offset " << offset << " item " << index << " not painted";
                POINT p{c.right / 2, (top + bottom) / 2};
                ClientToScreen(MenuWindow(), &p);
                uint8_t part = 9;
                EXPECT_EQ(hook->ItemFromPoint(part, TPoint(p.x, p.y)), index) << "offset " << offset;
                EXPECT_EQ(part, 0);
            }
        }
        hook->SetOffset(0);
        EndMenu();
    });
    Track(m);
    DestroyMenu(m);
}

} // namespace

// ---- on a real X server: the pictures and a real click ---------------------------------------------

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

namespace {


// The menu window as it shows on the screen.
QImage Shot(HWND Window) {
    RECT r{};
    GetWindowRect(Window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetWindowDC(Window);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bm = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bm);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    const QString file = QDir::temp().filePath(QStringLiteral("tw_popup_shot.png"));
    TwSaveDCToPng(mem, file.toUtf8().constData());
    SelectObject(mem, old);
    DeleteObject(bm);
    DeleteDC(mem);
    ReleaseDC(Window, screen);
    return QImage(file).convertToFormat(QImage::Format_RGB32);
}

class PopupMenuXvfb : public PopupMenuHookTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PopupMenuXvfb, StyledMenuLooksAsExpectedAndAClickDeliversItsCommand) {
    if (qEnvironmentVariable("QT_QPA_PLATFORM") != QStringLiteral("xcb")) GTEST_SKIP() << "needs a real X server (the Xvfb run)";
    const QString name = QString::fromLatin1(GetParam());
    auto shipped = std::make_unique<TCustomStyle>(ReadStyleFile(SourceDir() + QStringLiteral("/data/styles/%1.vsf").arg(name)));
    TStyleManager::SetStyle(shipped.get());
    const HMENU m = CreatePopupMenu();
    AppendMenuW(m, MF_STRING | MF_CHECKED, 201, u"Convert to MP3\tCtrl+M");
    AppendMenuW(m, MF_STRING, 202, u"Extract the audio stream");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING | MF_GRAYED, 203, u"Play");
    AppendMenuW(m, MF_STRING, 204, u"Remove from the list\tDel");
    POINT target{};
    Script.Then([&] {
        TwFlushPainting();
        const QImage got = Shot(MenuWindow());
        const QString expected = SourceDir() + QStringLiteral("/tests/styling/windows/expected/popup_menu_%1.png").arg(name.toLower());
        if (qEnvironmentVariableIsSet("TW_UPDATE_EXPECTED")) got.save(expected);
        const QImage want(expected);
        ASSERT_FALSE(want.isNull()) << "no picture at " << expected.toStdString() << ": run with TW_UPDATE_EXPECTED=1";
        EXPECT_LT(Differing(got, want.convertToFormat(QImage::Format_RGB32)), 0.01);
        target = Centre(m, 4);
        EndMenu();
    });
    Track(m);
    ASSERT_NE(target.x, 0);
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty()) GTEST_SKIP() << "xdotool is missing";
    // Real input under the real clock: the click comes while the menu loop runs; a timer ends the
    // loop should it never come.
    TwUseRealClock();
    ASSERT_TRUE(QProcess::startDetached(xdotool, {QStringLiteral("sleep"), QStringLiteral("1"), QStringLiteral("mousemove"),
                                                  QString::number(target.x), QString::number(target.y), QStringLiteral("sleep"),
                                                  QStringLiteral("0.5"), QStringLiteral("click"), QStringLiteral("1")}));
    const UINT_PTR guard = SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    const UINT chosen = TrackPopupMenu(m, TPM_RETURNCMD | TPM_LEFTBUTTON, 50, 40, 0, Owner, nullptr);
    KillTimer(nullptr, guard);
    TwUseManualClock(GetTickCount64());
    EXPECT_EQ(chosen, 204u);
    DestroyMenu(m);
}

INSTANTIATE_TEST_SUITE_P(Styles, PopupMenuXvfb, ::testing::Values("Carbon", "Luna"));

} // namespace
