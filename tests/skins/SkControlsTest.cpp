// The text objects and buttons: the four-state bitmap, flat speed buttons, groups, default and cancel,
// the skinned hint, the link, the drop-down menu (skinned and plain) and the clicks it discards.
#include "skins/SkControls.h"

#include "tests/skins/RecordingSkin.h"
#include "tests/support/windows/FormHarness.h"
#include "tests/support/windows/MenuScript.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace skins;
using skins_test::TRecordingSkin;
using testing_support::FormHarness;
using testing_support::MenuScript;

namespace {

class TButtonForm : public vcl::TForm {
public:
    explicit TButtonForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetPosition(vcl::poDesigned);
        SetBounds(60, 60, 400, 300);
        Ok = Add<TSkCustomButton>(10, 10, 75, 25, u"OK");
        Other = Add<TSkCustomButton>(100, 10, 75, 25, u"Other");
        A = Add<TSkSpeedButton>(10, 60, 23, 22, u"");
        B = Add<TSkSpeedButton>(40, 60, 23, 22, u"");
        Edit = new vcl::TEdit(this);
        Edit->SetParent(this);
        Edit->SetBounds(10, 100, 100, 22);
        EndLoading();
    }
    template <class T> T* Add(int x, int y, int w, int h, const char16_t* caption) {
        auto* b = new T(this);
        b->SetParent(this);
        b->SetBounds(x, y, w, h);
        b->SetCaption(QString::fromUtf16(caption));
        b->OnClick = rtl::TNotifyEvent([this, b](rtl::TObject*) { Clicks.push_back(b); });
        return b;
    }
    TSkCustomButton *Ok, *Other;
    TSkSpeedButton *A, *B;
    vcl::TEdit* Edit;
    std::vector<rtl::TObject*> Clicks;
};

struct Buttons : ::testing::Test {
    FormHarness h;
    TButtonForm* form = nullptr;
    void SetUp() override { form = h.Show<TButtonForm>(); }
    void TearDown() override { GetSkinManager()->SetToDefaultSkin(); }
    void Hover(vcl::TControl* c, POINT at = POINT{5, 5}) { h.MoveTo(c, at); }
    vcl::TColor PixelOf(vcl::TWinControl* c, int x, int y) {
        const QRgb rgb = h.App().Pixel(c->Handle(), x, y);
        return vcl::TColor(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
    }
};

// A 20-pixel wide bitmap of `rows` rows in four bands: red, green, blue, yellow from the top.
void FillBands(vcl::TBitmap* b, int rows) {
    b->SetPixelFormat(vcl::pf32bit);
    b->SetSize(20, rows);
    const vcl::TColor bands[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF};
    for (int i = 0; i < 4; ++i) {
        b->Canvas()->Brush()->SetColor(bands[i]);
        b->Canvas()->FillRect(vcl::TRect(0, i * rows / 4, 20, (i + 1) * rows / 4 + (i == 3 ? 4 : 0)));
    }
}

TEST_F(Buttons, FourStateBitmapPicksItsRowByStateAndNeedsAHeightDivisibleByFour) {
    auto* button = form->Ok;
    button->SetCaption(QString());
    button->SetBitmapTransparent(false);
    vcl::TBitmap bands;
    FillBands(&bands, 80);
    button->SetBitmap(&bands);
    EXPECT_EQ(button->GetSkinStateRect(), vcl::TRect(0, 0, 20, 20));
    h.Pump();
    EXPECT_EQ(PixelOf(button, 30, 12), vcl::TColor(0x0000FF));   // normal: the top band
    Hover(button);
    EXPECT_EQ(button->GetSkinStateRect(), vcl::TRect(0, 20, 20, 40));
    EXPECT_EQ(PixelOf(button, 30, 12), vcl::TColor(0x00FF00));
    auto t = FormHarness::TargetOf(button, POINT{5, 5});
    h.App().Press(t.hwnd, t.point);
    EXPECT_EQ(button->GetSkinStateRect(), vcl::TRect(0, 40, 20, 60));
    EXPECT_EQ(PixelOf(button, 30, 12), vcl::TColor(0xFF0000));
    h.App().Release(t.hwnd, t.point);
    button->SetEnabled(false);
    EXPECT_EQ(button->GetSkinStateRect(), vcl::TRect(0, 60, 20, 80));
    h.Pump();
    EXPECT_EQ(PixelOf(button, 30, 12), vcl::TColor(0x00FFFF));

    FillBands(&bands, 79);
    button->SetBitmap(&bands);
    EXPECT_FALSE(button->IsBitmapSkinned());
    h.Pump();
    EXPECT_NE(PixelOf(button, 30, 12), vcl::TColor(0x0000FF));
}

TEST_F(Buttons, FlatSpeedButtonShowsNoFaceUntilHotPushedOrChecked) {
    TRecordingSkin::Use();
    form->A->SetFlat(true);
    h.Pump();
    TRecordingSkin::Log().clear();
    form->A->Invalidate();
    h.Pump();
    EXPECT_EQ(TRecordingSkin::Count(skncToolbarItem), 0);
    Hover(form->A);
    h.Pump();
    ASSERT_GE(TRecordingSkin::Count(skncToolbarItem), 1);
    EXPECT_EQ(TRecordingSkin::Last(skncToolbarItem).State, sknsHotTrack);
    h.MouseOut();
    TRecordingSkin::Log().clear();
    form->A->SetCheckedValue(true);
    h.Pump();
    ASSERT_GE(TRecordingSkin::Count(skncToolbarItem), 1);
    EXPECT_EQ(TRecordingSkin::Last(skncToolbarItem).State, sknsChecked);
    // A face that is not flat is a button face, always.
    TRecordingSkin::Log().clear();
    form->B->Invalidate();
    h.Pump();
    EXPECT_EQ(TRecordingSkin::Count(skncButton), 1);
}

TEST_F(Buttons, GroupedSpeedButtonsCheckOneAtATimeAndAllowAllUpLetsTheLastGo) {
    form->A->SetGroupIndex(1);
    form->B->SetGroupIndex(1);
    h.Click(form->A);
    EXPECT_TRUE(form->A->Checked());
    h.Click(form->B);
    EXPECT_TRUE(form->B->Checked());
    EXPECT_FALSE(form->A->Checked());
    h.Click(form->B);
    EXPECT_TRUE(form->B->Checked());   // AllowAllUp off: the last stays down
    form->B->SetAllowAllUp(true);
    EXPECT_TRUE(form->A->AllowAllUp());   // the group shares it
    h.Click(form->B);
    EXPECT_FALSE(form->B->Checked());
    EXPECT_EQ(form->Clicks.size(), 4u);
}

TEST_F(Buttons, EnterClicksTheFocusedButtonElseTheDefaultAndEscapeTheCancelButton) {
    form->Ok->SetDefault(true);
    form->Other->SetCancel(true);
    form->Other->SetFocus();
    h.Pump();
    EXPECT_TRUE(form->Other->Active());
    EXPECT_FALSE(form->Ok->Active());
    h.Keys(VK_RETURN);
    ASSERT_EQ(form->Clicks.size(), 1u);
    EXPECT_EQ(form->Clicks[0], form->Other);
    form->Edit->SetFocus();
    h.Pump();
    EXPECT_TRUE(form->Ok->Active());
    h.Keys(VK_RETURN);
    h.Keys(VK_ESCAPE);
    h.Keys(VK_RETURN, {VK_SHIFT});   // a shifted Enter is not the dialog's
    EXPECT_EQ(form->Clicks, (std::vector<rtl::TObject*>{form->Other, form->Ok, form->Other}));
    // Speed buttons never take the focus; the button's modal result reaches its form.
    EXPECT_FALSE(form->A->CanFocus());
    form->Ok->SetModalResult(vcl::mrOk);
    h.Click(form->Ok);
    EXPECT_EQ(form->ModalResult(), vcl::mrOk);
}

TEST_F(Buttons, HintShowsOnlyTheTextBeforeTheBarOnTheStockBitmap) {
    form->Ok->SetHint(QStringLiteral("Save the list|Writes every row to the list file"));
    vcl::THintInfo info;
    info.HintControl = form->Ok;
    form->Ok->Perform(vcl::CM_HINTSHOW, 0, &info);
    EXPECT_EQ(info.HintStr, QStringLiteral("Save the list"));
    EXPECT_EQ(info.HideTimeout, 60000);
    auto* bitmap = static_cast<vcl::TBitmap*>(info.HintData);
    ASSERT_NE(bitmap, nullptr);
    vcl::TCanvas* c = bitmap->Canvas();
    c->Font()->Assign(vcl::Screen->HintFont());
    EXPECT_EQ(bitmap->Width(), c->TextWidth(QStringLiteral("Save the list")) + 8);
    // A handler may change the text: the bitmap follows it.
    form->Ok->OnDrawHint = TSkDrawHintEvent([](rtl::TObject*, vcl::TBitmap*, QString& hint, bool&) { hint = QStringLiteral("x"); });
    form->Ok->Perform(vcl::CM_HINTSHOW, 0, &info);
    EXPECT_EQ(info.HintStr, QStringLiteral("x"));
    EXPECT_EQ(bitmap->Width(), c->TextWidth(QStringLiteral("x")) + 8);
}

std::vector<QString>* launched = nullptr;
BOOL CALLBACK RecordLaunch(const LPCWSTR* argv, int argc, LPCWSTR, BOOL) {
    for (int i = 0; i < argc; ++i) launched->push_back(QString::fromUtf16(argv[i]));
    return TRUE;
}

TEST_F(Buttons, LinkTextOpensItThroughTheShellAfterTheClick) {
    std::vector<QString> args;
    launched = &args;
    const TwLaunchProc old = TwSetShellLauncher(&RecordLaunch);
    form->Other->SetLinkText(QStringLiteral("https://example.org/tunewright"));
    h.Click(form->Other);
    TwSetShellLauncher(old);
    launched = nullptr;
    EXPECT_EQ(form->Clicks.size(), 1u);
    EXPECT_NE(std::find(args.begin(), args.end(), QStringLiteral("https://example.org/tunewright")), args.end());
}

// A popup menu that offers the skinned interface and does what a test asks inside the popup.
class TFakeSkinnedMenu : public vcl::TPopupMenu, public ISkPopupMenu {
public:
    using vcl::TPopupMenu::TPopupMenu;
    bool InternalPopup(int X, int Y, bool ForceFocus, vcl::TControl* PopupControl) override {
        (void)X;
        (void)Y;
        (void)ForceFocus;
        Shown.push_back(PopupControl);
        if (During) During();
        return Answer;
    }
    std::vector<vcl::TControl*> Shown;
    bool Answer = true;
    std::function<void()> During;
};

TEST_F(Buttons, SkinnedDropDownMenuStaysOpenUntilItReportsItsClosing) {
    auto* menu = new TFakeSkinnedMenu(form);
    form->Other->SetDropDownMenu(menu);
    h.Click(form->Other);
    EXPECT_EQ(menu->Shown, (std::vector<vcl::TControl*>{form->Other}));
    EXPECT_EQ(menu->PopupComponent(), form->Other);
    EXPECT_TRUE(form->Other->DropDownMenuVisible());
    EXPECT_TRUE(form->Clicks.empty());   // a drop-down fires no click
    PostMessageW(form->Other->Handle(), CM_POPUPMENUCLOSED, 0, 0);
    h.Pump();
    EXPECT_FALSE(form->Other->DropDownMenuVisible());
    menu->Answer = false;   // a menu that did not show leaves nothing pushed
    h.Click(form->Other);
    EXPECT_FALSE(form->Other->DropDownMenuVisible());
    // The arrow takes room from the caption.
    EXPECT_EQ(form->Ok->DropDownMenu(), nullptr);
    delete menu;
    EXPECT_EQ(form->Other->DropDownMenu(), nullptr);
}

// The left-over mouse-button messages and a quit, in queue order.
std::vector<UINT> TakeButtonsAndQuit(WPARAM& QuitCode) {
    std::vector<UINT> left;
    MSG msg{};
    // A quit comes out whatever the filter.
    while (PeekMessageW(&msg, nullptr, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE)) {
        if (msg.message == WM_QUIT) QuitCode = msg.wParam;
        left.push_back(msg.message);
    }
    return left;
}

TEST_F(Buttons, DiscardsPressesOverTheButtonQueuedDuringTheMenuAndKeepsTheRest) {
    auto* menu = new TFakeSkinnedMenu(form);
    form->Other->SetDropDownMenu(menu);
    const POINT over = testing_support::HeadlessApp::ToScreen(form->Other->Handle(), POINT{5, 5});
    const POINT away = testing_support::HeadlessApp::ToScreen(form->Edit->Handle(), POINT{5, 5});
    menu->During = [&] {
        TwInputMouseButton(over.x, over.y, TW_BUTTON_RIGHT, TRUE);
        TwInputMouseButton(away.x, away.y, TW_BUTTON_LEFT, TRUE);
        TwInputMouseButton(over.x, over.y, TW_BUTTON_LEFT, TRUE);
        TwInputMouseButton(over.x, over.y, TW_BUTTON_LEFT, FALSE);
    };
    form->Other->Click();
    WPARAM quitCode = 0;
    EXPECT_EQ(TakeButtonsAndQuit(quitCode), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_TRUE(form->Clicks.empty());

    // A quit met on the way is left for the loop that owns it.
    menu->During = [&] {
        TwInputMouseButton(over.x, over.y, TW_BUTTON_LEFT, TRUE);
        PostQuitMessage(7);
    };
    form->Other->Click();
    const std::vector<UINT> left = TakeButtonsAndQuit(quitCode);
    EXPECT_NE(std::find(left.begin(), left.end(), UINT(WM_QUIT)), left.end());
    EXPECT_EQ(quitCode, 7u);
}

TEST_F(Buttons, PlainPopupMenuOpensUnderTheButtonAndReleasesItAfterwards) {
    auto* menu = new vcl::TPopupMenu(form);
    auto* item = new vcl::TMenuItem(form);
    item->SetCaption(QStringLiteral("First"));
    menu->Items()->Add(item);
    form->Other->SetDropDownMenu(menu);
    MenuScript script(h.App());
    RECT shown{};
    script.Then([&] {
        const auto windows = MenuScript::MenuWindows();
        if (!windows.empty()) GetWindowRect(windows[0], &shown);
        EXPECT_TRUE(form->Other->DropDownMenuVisible());
        MenuScript::Key(VK_ESCAPE);
    });
    form->Other->Click();
    h.Pump();
    const POINT corner = testing_support::HeadlessApp::ToScreen(form->Other->Handle(), POINT{0, form->Other->Height()});
    EXPECT_EQ(shown.left, corner.x);
    EXPECT_EQ(shown.top, corner.y);
    EXPECT_FALSE(form->Other->DropDownMenuVisible());
}

} // namespace
