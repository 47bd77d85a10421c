// The popup windows of the second control family: where a popup opens inside the work area, the strings
// list it shows for its owner, its page keys, and which clicks pick, close or leave it open.
#include "controls/RgPopupCtrls6.h"
#include "tests/controls/PanelForm.h"

#include <gtest/gtest.h>

#include <vector>

using namespace controls;
using controls_test::PixelAt;
using controls_test::Rgb;
using controls_test::ShowForm;
using controls_test::TPanelForm;
using testing_support::FormHarness;

namespace {

// An edit that owns a strings popup the way the combo box does: it holds the items and the selection
// and frees the popup when asked to close.
class TFakeOwner : public vcl::TCustomEdit, public IRgDropDown, public IRgStringsControl {
public:
    explicit TFakeOwner(rtl::TComponent* AOwner) : vcl::TCustomEdit(AOwner) {}
    ~TFakeOwner() override { delete Items; }

    rtl::TStringList* Items = new rtl::TStringList;
    int DropDownCount = 8, ItemHeight = 13, ItemIndex = -1, ListWidth = 0;
    bool Dropped = true, AutoClose = true;
    TRgPopupControl6* Popup = nullptr;
    std::vector<int> Changes, Drawn;
    std::vector<vcl::TOwnerDrawState> States;

    bool GetAutoClose() override { return AutoClose; }
    bool GetDroppedDown() override { return Dropped; }
    void SetDroppedDown(bool Value) override {
        Dropped = Value;
        if (!Value && Popup) {
            Popup->Release();
            Popup = nullptr;
        }
    }
    void DoCloseUp() override {}
    void DoSelect() override {}
    bool GetAutoComplete() override { return false; }
    int GetDropDownCount() override { return DropDownCount; }
    int GetItemHeight() override { return ItemHeight; }
    int GetItemIndex() override { return ItemIndex; }
    rtl::TStrings* GetItems() override { return Items; }
    vcl::TAlignment GetItemsAlignment() override { return vcl::taLeftJustify; }
    int GetListWidth() override { return ListWidth; }
    void SetAutoComplete(bool) override {}
    void SetDropDownCount(int Value) override { DropDownCount = Value; }
    void SetItemHeight(int Value) override { ItemHeight = Value; }
    void SetItemIndex(int Value) override { ItemIndex = Value; }
    void SetItems(rtl::TStrings* Value) override { Items->Assign(Value); }
    void SetItemsAlignment(vcl::TAlignment) override {}
    bool DrawItem(int Index, const vcl::TRect&, vcl::TOwnerDrawState State) override {
        Drawn.push_back(Index);
        States.push_back(State);
        return true;
    }
    void ChangeItemIndex(int Index, bool Notify) override {
        if (Index < 0 || Index >= Items->Count() || Index == ItemIndex) return;
        ItemIndex = Index;
        if (Notify) Changes.push_back(Index);
        if (Popup) Popup->UpdatePopup();
    }
};

class TTestPopup : public TRgStringsPopupControl6 {
public:
    TTestPopup(rtl::TComponent* AOwner, bool* Freed) : TRgStringsPopupControl6(AOwner), FFreed(Freed) {}
    ~TTestPopup() override {
        if (FFreed) *FFreed = true;
    }
    using TRgStringsPopupControl6::TopIndex;
    void Key(WORD Key) { PopupKeyDown(Key, {}); }

private:
    bool* FFreed;
};

struct PopupFixture {
    FormHarness h;
    TFakeOwner* owner = nullptr;
    TTestPopup* popup = nullptr;
    bool freed = false;

    explicit PopupFixture(int Count = 20, int Index = 15) {
        ShowForm(h, [&](TPanelForm* f) {
            owner = new TFakeOwner(f);
            owner->SetParent(f);
            owner->SetBounds(20, 20, 150, 21);
        });
        for (int i = 0; i < Count; ++i) owner->Items->Add(QStringLiteral("Item %1").arg(i));
        owner->ItemIndex = Index;
        popup = new TTestPopup(owner, &freed);
        owner->Popup = popup;
    }
    void Open() {
        popup->Popup(owner->ClientToScreen(vcl::TPoint(0, owner->Height())), paLeft);
        h.Pump();
    }
    LRESULT Mouse(UINT Msg, int X, int Y) {
        return SendMessageW(popup->Handle(), Msg, Msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                            MAKELPARAM(static_cast<WORD>(static_cast<short>(X)), static_cast<WORD>(static_cast<short>(Y))));
    }
};

RECT WorkAreaAt(int X, int Y) {
    const POINT p{X, Y};
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoW(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &mi);
    return mi.rcWork;
}

} // namespace

TEST(PopupControl6, WindowIsATopMostToolWindowWithoutParent) {
    PopupFixture f;
    f.Open();
    HWND wnd = f.popup->Handle();
    EXPECT_EQ(GetWindowLongW(wnd, GWL_STYLE) & ~(WS_VISIBLE | WS_VSCROLL | WS_HSCROLL), 0x44010000);
    EXPECT_EQ(GetWindowLongW(wnd, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW), WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    EXPECT_TRUE(GetParent(wnd) == nullptr || GetParent(wnd) == GetDesktopWindow());
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_EQ(PixelAt(f.h, f.popup, -1, -1), Rgb(GetSchemeColor6(18)));
    EXPECT_EQ(PixelAt(f.h, f.popup, 3, f.popup->ClientHeight()), Rgb(GetSchemeColor6(18)));
}

TEST(PopupControl6, PlacementStaysInTheWorkArea) {
    PopupFixture f;
    const RECT wa = WorkAreaAt(0, 0);
    f.popup->HandleNeeded();
    const int w = f.owner->Width();  // the strings popup takes the edit's width before it opens
    const int h = 8 * 13 + 2, ownerH = f.owner->Height();
    struct Case {
        int x, y;
        TRgPopupAnchor anchor;
        int wantX, wantY;
    } cases[] = {
        {wa.left + 40, wa.top + 50, paLeft, wa.left + 40, wa.top + 50},             // fits: exactly there
        {wa.left + 40 + w, wa.top + 50, paRight, wa.left + 40, wa.top + 50},        // right corner at the point
        {wa.right - 10, wa.top + 50, paLeft, wa.right - w, wa.top + 50},             // pushed left
        {wa.left + 40, wa.bottom - 40, paLeft, wa.left + 40, wa.bottom - 40 - h - ownerH},  // above the owner
        // an owner nearly off the bottom: the list is only pushed up to the work area
        {wa.left + 40, wa.bottom - ownerH + 5, paLeft, wa.left + 40, wa.bottom - h},
        {wa.left - 30, wa.top + 50, paLeft, wa.left, wa.top + 50},                   // pulled right
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        auto* p = new TRgStringsPopupControl6(f.owner);
        p->Popup(c.x, c.y, c.anchor);
        RECT r;
        GetWindowRect(p->Handle(), &r);
        EXPECT_EQ(r.left, c.wantX);
        EXPECT_EQ(r.top, c.wantY);
        EXPECT_EQ(r.bottom - r.top, h);
        delete p;
    }
}

TEST(PopupControl6, ListOpensAroundTheSelectionWithItHot) {
    PopupFixture f;
    f.Open();
    EXPECT_EQ(f.popup->ClientHeight(), 8 * 13);
    EXPECT_EQ(f.popup->Width(), f.owner->Width());
    EXPECT_EQ(f.popup->TopIndex(), 8);
    EXPECT_EQ(f.popup->HotIndex(), 15);
    f.owner->Drawn.clear();
    f.owner->States.clear();
    f.popup->Repaint();
    f.h.Pump();
    // Rows 8..15 fill the list exactly; a row after them would lie wholly below it.
    ASSERT_GE(f.owner->Drawn.size(), 8u);
    EXPECT_LE(f.owner->Drawn.size(), 9u);
    EXPECT_EQ(std::vector<int>(f.owner->Drawn.begin(), f.owner->Drawn.begin() + 8),
              (std::vector<int>{8, 9, 10, 11, 12, 13, 14, 15}));
    for (size_t i = 0; i < f.owner->States.size(); ++i)
        EXPECT_EQ(f.owner->States[i].Contains(vcl::odSelected) && f.owner->States[i].Contains(vcl::odHotLight),
                  f.owner->Drawn[i] == 15);
}

TEST(PopupControl6, ListWidthOfTheOwnerWins) {
    PopupFixture f;
    f.owner->ListWidth = 260;
    f.Open();
    EXPECT_EQ(f.popup->Width(), 260);
}

TEST(PopupControl6, PageKeysMoveByAPageWithinTheList) {
    // The list opens with the selection (Open) as its last shown row, 8 rows a page.
    struct Case {
        int count, open, index;
        WORD key;
        int want;
    } cases[] = {
        {30, 15, 15, VK_NEXT, 23},  // last shown row: a page further
        {20, 15, 15, VK_NEXT, 19},  // ... but not past the end
        {20, 15, 10, VK_NEXT, 15},  // inside the page: to its last row
        {30, 20, 13, VK_PRIOR, 5},  // first shown row: a page back
        {20, 15, 8, VK_PRIOR, 0},   // ... but not before 0
        {20, 15, 12, VK_PRIOR, 8},  // inside the page: to its first row
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << " " << c.index);
        PopupFixture f(c.count, c.open);
        f.Open();
        f.owner->ChangeItemIndex(c.index, false);
        f.popup->Key(c.key);
        EXPECT_EQ(f.owner->ItemIndex, c.want);
    }
}

TEST(PopupControl6, SelectionBelowThePageScrollsItIntoView) {
    PopupFixture f(20, 2);
    f.Open();
    EXPECT_EQ(f.popup->TopIndex(), 0);
    f.owner->ChangeItemIndex(11, false);
    EXPECT_EQ(f.popup->TopIndex(), 4);
    EXPECT_EQ(f.popup->HotIndex(), 11);
    f.owner->ChangeItemIndex(1, false);
    EXPECT_EQ(f.popup->TopIndex(), 1);
}

TEST(PopupControl6, ClickOnARowPicksItAndClosesAfterTheMessage) {
    PopupFixture f(20, 15);
    f.Open();
    f.Mouse(WM_MOUSEMOVE, 5, 13 * 2 + 3);
    EXPECT_EQ(f.popup->HotIndex(), 10);
    f.Mouse(WM_LBUTTONDOWN, 5, 13 * 2 + 3);
    f.Mouse(WM_LBUTTONUP, 5, 13 * 2 + 3);
    EXPECT_EQ(f.owner->Changes, std::vector<int>{10});
    EXPECT_FALSE(f.owner->Dropped);
    EXPECT_FALSE(f.freed);  // hidden, freed once its own message is done
    f.h.Pump();
    EXPECT_TRUE(f.freed);
}

TEST(PopupControl6, PressOnTheFrameOrScrollBarKeepsItOpenAndOutsideClosesWithoutPicking) {
    PopupFixture f(20, 15);
    f.Open();
    f.Mouse(WM_LBUTTONDOWN, f.popup->ClientWidth() + 3, 20);  // the scroll bar
    f.Mouse(WM_LBUTTONUP, f.popup->ClientWidth() + 3, 20);
    f.Mouse(WM_LBUTTONDOWN, -1, -1);  // the frame
    EXPECT_TRUE(f.owner->Dropped);
    f.Mouse(WM_LBUTTONDOWN, -300, -300);
    EXPECT_FALSE(f.owner->Dropped);
    EXPECT_TRUE(f.popup->PopupState().Contains(psClosing));
    f.Mouse(WM_LBUTTONUP, 5, 5);  // a late release picks nothing
    EXPECT_TRUE(f.owner->Changes.empty());
    EXPECT_EQ(f.owner->ItemIndex, 15);
    f.h.Pump();
    EXPECT_TRUE(f.freed);
}

TEST(PopupControl6, EmptyListIsTwoPixelsHighInTheControlColour) {
    PopupFixture f(0, -1);
    f.popup->SetColor(vcl::clRed);
    f.Open();
    EXPECT_EQ(f.popup->ClientHeight(), 2);
    EXPECT_EQ(PixelAt(f.h, f.popup, 4, 1), Rgb(vcl::clRed));
}

TEST(PopupControl6, WithoutAnOwnerInterfaceItNeverClosesItself) {
    FormHarness h;
    auto* popup = new TRgStringsPopupControl6(nullptr);
    popup->Popup(100, 100, paLeft);
    h.Pump();
    EXPECT_EQ(popup->ClientHeight(), 2);
    SendMessageW(popup->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 1));
    SendMessageW(popup->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 1));
    EXPECT_FALSE(popup->PopupState().Contains(psClosing));
    EXPECT_TRUE(IsWindowVisible(popup->Handle()));
    delete popup;
}

TEST(PopupControl6, EditPopupWritesItsValueIntoTheEdit) {
    PopupFixture f;
    auto* p = new TRgEditPopupControl6(f.owner);
    f.owner->Popup = p;
    p->Close(u"chosen"_qs);
    EXPECT_EQ(f.owner->Text(), u"chosen"_qs);
    EXPECT_FALSE(f.owner->Dropped);
    EXPECT_EQ(f.owner->Popup, nullptr);  // asked to close, the owner let it go
    f.owner->Dropped = true;
    f.owner->AutoClose = false;
    auto* q = new TRgEditPopupControl6(f.owner);
    q->Close(u"kept open"_qs);
    EXPECT_EQ(f.owner->Text(), u"kept open"_qs);
    EXPECT_TRUE(f.owner->Dropped);
    delete q;
    f.owner->Popup = f.popup;
}
