// The second family's drop-down edit, combo box and font combo box: opening and closing the list,
// keyboard, wheel and click selection, type-ahead and auto-completion, the display modes, list style.
#include "controls/RgComboBox6.h"
#include "tests/controls/PanelForm.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

using namespace controls;
using controls_test::PixelAt;
using controls_test::Rgb;
using controls_test::ShowForm;
using controls_test::TPanelForm;
using testing_support::FormHarness;

namespace {

class TTestCombo : public TRgComboBox6 {
public:
    using TRgComboBox6::TRgComboBox6;
    using TRgComboBox6::SelectText;
};

struct ComboFixture {
    FormHarness h;
    TTestCombo* combo = nullptr;
    vcl::TEdit* other = nullptr;
    int selects = 0, dropDowns = 0, closeUps = 0;

    explicit ComboFixture(std::initializer_list<const char16_t*> Items,
                          std::function<void(TTestCombo*)> Setup = nullptr) {
        ShowForm(h, [&](TPanelForm* f) {
            combo = new TTestCombo(f);
            combo->SetParent(f);
            combo->SetBounds(20, 20, 160, 21);
            for (const char16_t* s : Items) combo->Items()->Add(QString::fromUtf16(s));
            if (Setup) Setup(combo);
            other = new vcl::TEdit(f);
            other->SetParent(f);
            other->SetBounds(20, 300, 100, 21);
        });
        combo->OnSelect = rtl::TNotifyEvent([this](rtl::TObject*) { ++selects; });
        combo->OnDropDown = rtl::TNotifyEvent([this](rtl::TObject*) { ++dropDowns; });
        combo->OnCloseUp = rtl::TNotifyEvent([this](rtl::TObject*) { ++closeUps; });
    }
    bool ReadOnly() { return (GetWindowLongW(combo->Handle(), GWL_STYLE) & ES_READONLY) != 0; }
    void Wheel(int Delta) {
        SendMessageW(combo->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(Delta))), 0);
    }
};

} // namespace

TEST(ComboBox6, AutoCompletionFillsTheRestAndBackspaceTakesItBack) {
    ComboFixture f({u"Arial", u"Arial Black", u"Courier"}, [](TTestCombo* c) { c->SetAutoComplete(true); });
    f.h.Type(f.combo, u"a"_qs);
    EXPECT_EQ(f.combo->Text(), u"Arial"_qs);
    EXPECT_EQ(f.combo->SelStart(), 1);
    EXPECT_EQ(f.combo->SelLength(), 4);
    EXPECT_EQ(f.combo->ItemIndex(), 0);
    f.h.Type(f.combo, u"r"_qs);
    EXPECT_EQ(f.combo->Text(), u"Arial"_qs);
    EXPECT_EQ(f.combo->SelLength(), 3);
    f.h.Keys(VK_BACK);
    EXPECT_EQ(f.combo->Text(), u"A"_qs);
    f.h.Keys(VK_BACK);
    EXPECT_EQ(f.combo->Text(), u""_qs);
}

TEST(ComboBox6, CharacterThatStartsNoItemIsTypedAndKeepsTheSelection) {
    ComboFixture f({u"Arial", u"Courier"}, [](TTestCombo* c) {
        c->SetAutoComplete(true);
        c->SetItemIndex(1);
    });
    f.combo->SetFocus();
    f.combo->SetSelStart(f.combo->Text().length());
    f.h.Type(f.combo, u"z"_qs);
    EXPECT_EQ(f.combo->Text(), u"Courierz"_qs);
    EXPECT_EQ(f.combo->ItemIndex(), 1);
}

TEST(ComboBox6, ListStyleTypeAheadRestartsAfterThePause) {
    ComboFixture f({u"Arial", u"Courier", u"Ravie"}, [](TTestCombo* c) {
        c->SetAutoComplete(true);
        c->SetStyle(dsDropDownList);
    });
    f.h.Type(f.combo, u"ar"_qs);
    EXPECT_EQ(f.combo->ItemIndex(), 0);
    EXPECT_EQ(f.combo->Text(), u"Arial"_qs);
    f.h.Advance(std::chrono::milliseconds(749));
    f.h.Type(f.combo, u"i"_qs);  // "ari" still matches Arial
    EXPECT_EQ(f.combo->ItemIndex(), 0);
    f.h.Advance(std::chrono::milliseconds(750));
    f.h.Type(f.combo, u"r"_qs);  // a new search
    EXPECT_EQ(f.combo->ItemIndex(), 2);
    EXPECT_EQ(f.selects, 2);
}

TEST(ComboBox6, ArrowKeysStepWithinTheListAndNotify) {
    ComboFixture f({u"a", u"b", u"c"});
    f.combo->SetFocus();
    f.h.Keys(VK_UP);  // nothing selected: nothing before it
    EXPECT_EQ(f.combo->ItemIndex(), -1);
    f.h.Keys(VK_DOWN);
    EXPECT_EQ(f.combo->ItemIndex(), 0);
    f.h.Keys(VK_END);
    EXPECT_EQ(f.combo->ItemIndex(), 2);
    EXPECT_EQ(f.combo->Text(), u"c"_qs);
    f.h.Keys(VK_DOWN);  // the last stays
    EXPECT_EQ(f.combo->ItemIndex(), 2);
    f.h.Keys(VK_HOME);
    EXPECT_EQ(f.combo->ItemIndex(), 0);
    EXPECT_EQ(f.selects, 3);
}

TEST(ComboBox6, NewItemsClearTheSelectionAndInListStyleTheText) {
    for (TRgDropDownStyle style : {dsDropDown, dsDropDownList}) {
        ComboFixture f({u"a", u"b"}, [&](TTestCombo* c) { c->SetStyle(style); });
        f.combo->SetItemIndex(1);
        EXPECT_EQ(f.combo->Text(), u"b"_qs);
        f.combo->Items()->Add(u"c"_qs);
        EXPECT_EQ(f.combo->ItemIndex(), -1);
        EXPECT_EQ(f.combo->Text(), style == dsDropDownList ? u""_qs : u"b"_qs);
    }
}

TEST(ComboBox6, DisplayModesShowPartsOfNameValueItems) {
    ComboFixture f({u"a=1", u"b=2", u"x", u"xy"});
    struct Case {
        TRgStringsDisplayMode mode;
        const char16_t* shown[4];
    } cases[] = {
        {dmDefault, {u"a=1", u"b=2", u"x", u"xy"}},
        {dmNameList, {u"a", u"b", u"", u""}},
        {dmValueList, {u"1", u"2", u"", u"y"}},
        {dmIndentList, {u"1", u"2", u"", u"y"}},
    };
    for (const Case& c : cases) {
        f.combo->SetDisplayMode(c.mode);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(f.combo->GetDisplayText(i), QString::fromUtf16(c.shown[i])) << c.mode << i;
    }
    EXPECT_EQ(f.combo->GetDisplayText(-1), u""_qs);
    f.combo->SetDisplayMode(dmValueList);
    f.combo->SetItemIndex(1);
    EXPECT_EQ(f.combo->Text(), u"2"_qs);
}

TEST(ComboBox6, TypedTextSelectsTheEqualItemIgnoringCase) {
    ComboFixture f({u"Arial", u"Courier"});
    f.combo->SetText(u"courier"_qs);
    EXPECT_EQ(f.combo->ItemIndex(), 1);
    f.combo->SetText(u"nothing"_qs);
    EXPECT_EQ(f.combo->ItemIndex(), 1);
    EXPECT_EQ(f.selects, 0);
}

TEST(ComboBox6, WheelSelectsAndNotifiesWhileClosedAndScrollsWhileOpen) {
    std::initializer_list<const char16_t*> many = {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7",
                                                   u"8", u"9", u"10", u"11"};
    ComboFixture f(many);
    f.combo->SetItemIndex(3);
    f.Wheel(-WHEEL_DELTA);
    EXPECT_EQ(f.combo->ItemIndex(), 4);
    EXPECT_EQ(f.selects, 1);
    f.Wheel(WHEEL_DELTA);
    EXPECT_EQ(f.combo->ItemIndex(), 3);
    EXPECT_EQ(f.selects, 2); // one OnSelect per step
    // Nothing to select beyond the ends: no notification either.
    f.combo->SetItemIndex(0);
    f.Wheel(WHEEL_DELTA);
    EXPECT_EQ(f.combo->ItemIndex(), 0);
    f.combo->SetItemIndex(11);
    f.Wheel(-WHEEL_DELTA);
    EXPECT_EQ(f.combo->ItemIndex(), 11);
    EXPECT_EQ(f.selects, 2);
    f.combo->SetItemIndex(3);
    f.combo->SetDroppedDown(true);
    TRgScrollBar* bar = f.combo->PopupControl()->VertScrollBar();
    bar->SetPosition(2);
    f.Wheel(-WHEEL_DELTA);
    EXPECT_EQ(bar->GetPosition(), 1);
    f.Wheel(WHEEL_DELTA);
    EXPECT_EQ(bar->GetPosition(), 2);
    EXPECT_EQ(f.combo->ItemIndex(), 3);
    EXPECT_EQ(f.selects, 2); // scrolling the open list selects nothing
}

TEST(ComboBox6, ButtonOpensTheListAndARowClickPicksAndClosesIt) {
    ComboFixture f({u"a", u"b", u"c"});
    f.h.Click(f.combo->Button());
    ASSERT_TRUE(f.combo->DroppedDown());
    EXPECT_TRUE(f.combo->Button()->Down());
    EXPECT_EQ(f.dropDowns, 1);
    TRgPopupControl6* popup = f.combo->PopupControl();
    ASSERT_NE(popup, nullptr);
    RECT pr, cr;
    GetWindowRect(popup->Handle(), &pr);
    GetWindowRect(f.combo->Handle(), &cr);
    EXPECT_EQ(pr.left, cr.left);
    EXPECT_EQ(pr.top, cr.bottom);
    EXPECT_EQ(popup->ClientHeight(), 3 * 13);
    f.h.Click(popup, POINT{5, 13 + 4});
    EXPECT_TRUE(f.combo->Focused());
    f.h.Pump();
    EXPECT_FALSE(f.combo->DroppedDown());
    EXPECT_FALSE(f.combo->Button()->Down());
    EXPECT_EQ(f.combo->PopupControl(), nullptr);
    EXPECT_EQ(f.combo->ItemIndex(), 1);
    EXPECT_EQ(f.combo->Text(), u"b"_qs);
    EXPECT_EQ(f.selects, 1);
    EXPECT_EQ(f.closeUps, 1);
}

TEST(ComboBox6, KeysAndFocusLossCloseTheList) {
    ComboFixture f({u"a", u"b"});
    f.combo->SetFocus();
    f.h.Keys(VK_DOWN, {VK_MENU});
    EXPECT_TRUE(f.combo->DroppedDown());
    EXPECT_FALSE(f.combo->CanDispatchKey(VK_TAB));
    f.h.Keys(VK_ESCAPE);
    EXPECT_FALSE(f.combo->DroppedDown());
    f.h.Keys(VK_UP, {VK_MENU});
    EXPECT_TRUE(f.combo->DroppedDown());
    f.other->SetFocus();
    f.h.Pump();
    EXPECT_FALSE(f.combo->DroppedDown());
}

TEST(ComboBox6, FocusMakesTheEditWritableOrReadOnlyByStyle) {
    ComboFixture f({u"a"});
    f.combo->SetReadOnly(true);
    f.other->SetFocus();
    f.combo->SetFocus();
    EXPECT_FALSE(f.ReadOnly());
    f.other->SetFocus();
    f.combo->SetStyle(dsDropDownList);
    f.combo->SetFocus();
    EXPECT_TRUE(f.ReadOnly());
}

TEST(ComboBox6, ListStyleClickTogglesTheListAndPaintsTheFocusedText) {
    ComboFixture f({u"a", u"b"}, [](TTestCombo* c) { c->SetStyle(dsDropDownList); });
    f.combo->SetItemIndex(0);
    f.h.Click(f.combo, POINT{20, 8});
    EXPECT_TRUE(f.combo->DroppedDown());
    f.h.Click(f.combo, POINT{20, 8});
    EXPECT_FALSE(f.combo->DroppedDown());
    f.h.Pump();
    EXPECT_EQ(PixelAt(f.h, f.combo, 60, 4), Rgb(vcl::clHighlight));
}

TEST(ComboBox6, HotRowIsPaintedInTheSelectionColours) {
    ComboFixture f({u"a", u"b", u"c"}, [](TTestCombo* c) {
        c->SetSelectionColor(vcl::clRed);
        c->SetColor(vcl::clYellow);
        c->SetItemIndex(1);
    });
    f.combo->SetDroppedDown(true);
    f.h.Pump();
    TRgPopupControl6* popup = f.combo->PopupControl();
    EXPECT_EQ(PixelAt(f.h, popup, 100, 13 + 1), Rgb(vcl::clRed));
    EXPECT_EQ(PixelAt(f.h, popup, 100, 1), Rgb(vcl::clYellow));
}

TEST(FontComboBox6, StartsWithTheScreenFontsAndStreamedItemsReplaceThem) {
    FormHarness h;
    TRgFontComboBox6* combo = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        combo = new TRgFontComboBox6(f);
        combo->SetParent(f);
        EXPECT_EQ(combo->Items()->Text(), vcl::Screen->Fonts()->Text());
        rtl::TStringList saved;
        saved.Add(u"Papyrus"_qs);
        saved.Add(u"Segoe UI"_qs);
        combo->SetItems(&saved);
        combo->SetText(u"Papyrus"_qs);
    });
    EXPECT_TRUE(combo->PaintInFont());
    EXPECT_EQ(combo->Items()->Count(), 2);
    EXPECT_EQ(combo->ItemIndex(), 0);
}

TEST(ComboBox6, ClickOutsideTheOpenListClosesItWithoutPicking) {
    ComboFixture f({u"a", u"b", u"c"}, [](TTestCombo* c) { c->SetItemIndex(2); });
    f.h.Click(f.combo->Button());
    ASSERT_TRUE(f.combo->DroppedDown());
    f.h.Click(f.other, POINT{5, 5});
    f.h.Pump();
    EXPECT_FALSE(f.combo->DroppedDown());
    EXPECT_EQ(f.combo->PopupControl(), nullptr);
    EXPECT_EQ(f.combo->ItemIndex(), 2);
    EXPECT_EQ(f.selects, 0);
}

TEST(FontComboBox6, RowsAreDrawnInTheirOwnFontUnlessTurnedOff) {
    FormHarness h;
    TRgFontComboBox6* combo = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        combo = new TRgFontComboBox6(f);
        combo->SetParent(f);
        combo->SetBounds(20, 20, 160, 21);
        rtl::TStringList names;
        names.Add(u"Serif Face"_qs);
        names.Add(u"Mono Face"_qs);
        combo->SetItems(&names);
        combo->SetDrawingOptions({doBackground, doContent, doCustom});
    });
    std::vector<QString> fonts;
    combo->OnDrawItem = TRgDrawComboBoxItemEvent(
        [&](vcl::TCanvas* Canvas, int, const vcl::TRect&, vcl::TOwnerDrawState) { fonts.push_back(Canvas->Font()->Name()); });
    combo->SetDroppedDown(true);
    combo->PopupControl()->Repaint();
    h.Pump();
    ASSERT_GE(fonts.size(), 2u);
    EXPECT_EQ(fonts[0], u"Serif Face"_qs);
    EXPECT_EQ(fonts[1], u"Mono Face"_qs);
    combo->SetDroppedDown(false);
    h.Pump();
    combo->SetPaintInFont(false);
    fonts.clear();
    combo->SetDroppedDown(true);
    combo->PopupControl()->Repaint();
    h.Pump();
    ASSERT_FALSE(fonts.empty());
    EXPECT_EQ(fonts[0], combo->Font()->Name());
}

TEST(FontComboBox6, PreviewShowsTheChosenFontOnTheHighlight) {
    FormHarness h;
    TRgFontComboBox6* combo = nullptr;
    ShowForm(h, [&](TPanelForm* f) {
        combo = new TRgFontComboBox6(f);
        combo->SetParent(f);
        combo->SetBounds(20, 20, 160, 24);
        combo->SetShowPreview(true);
    });
    vcl::TRect seen;
    combo->OnPreviewDraw = TRgPreviewDrawEvent([&](rtl::TObject*, const vcl::TRect& R) { seen = R; });
    combo->SetText(u"Mono Face"_qs);
    h.Pump();
    EXPECT_EQ(seen, vcl::TRect(4, 4, 22, combo->Height() - 4));  // the event still runs first
    EXPECT_EQ(combo->EditCanvas()->Font()->Name(), u"Mono Face"_qs);
    RECT wr;
    GetWindowRect(combo->Handle(), &wr);
    const vcl::TPoint corner = combo->ScreenToClient(vcl::TPoint(wr.left + 20, wr.top + combo->Height() - 5));
    EXPECT_EQ(PixelAt(h, combo, corner.X, corner.Y), Rgb(vcl::clHighlight));
}

TEST(ComboBox6, FreedWhileTheListIsOpen) {
    ComboFixture f({u"a", u"b"});
    f.combo->SetDroppedDown(true);
    ASSERT_NE(f.combo->PopupControl(), nullptr);
    delete f.combo;  // the open list goes with it
    f.h.Pump();
}

TEST(ComboBox6, AHostSetsStyleAndDropDownHandlerAndReadsDrawingThroughTheInterfaces) {
    ComboFixture f({u"a", u"b"});
    static_cast<IRgStyledDropDown*>(f.combo)->SetStyle(dsDropDownList);
    EXPECT_EQ(f.combo->Style(), dsDropDownList);
    EXPECT_TRUE(f.ReadOnly());
    int opened = 0;
    static_cast<IRgDropDownNotify*>(f.combo)->SetOnDropDown(rtl::TNotifyEvent([&](rtl::TObject*) { ++opened; }));
    f.combo->SetDroppedDown(true);
    EXPECT_EQ(opened, 1);
    f.combo->SetDroppedDown(false);
    f.combo->SetDrawingOptions(TRgDrawingOptions{doContent});
    EXPECT_EQ(static_cast<IRgOwnerDrawn*>(f.combo)->GetDrawingOptions(), TRgDrawingOptions{doContent});
}
