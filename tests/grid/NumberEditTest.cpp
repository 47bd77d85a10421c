// The number editors: what typing and pasting let through, how the text reads as a value and shows it
// formatted, and the spin editor's steps by buttons, keys and wheel, with the buttons' repeat timers.
#include "grid/shared/DrawHelpers.h"
#include "grid/NumberEdit.h"
#include "tests/grid/EditForm.h"
#include "vcl/Clipbrd.h"
#include "vcl/Themes.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace grid;
using grid_test::Char;
using grid_test::Select;
using grid_test::TEditForm;
using testing_support::FormHarness;
using vcl::TRect;

namespace {

using TNumberForm = TEditForm<TRgCustomNumberEdit>;
using TSpinForm = TEditForm<TRgSpinEdit>;

const TRgNumberEditOptions Defaults{eoAllowFloat, eoAllowSigns};

// ---- typing ----

struct KeyCase {
    TRgNumberEditOptions options;
    const char16_t* text;
    int selStart, selLength;
    char16_t key;
    const char16_t* expected;
};

class NumberEditKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(NumberEditKeys, TypingKeepsOnlyWhatMakesANumber) {
    const KeyCase& c = GetParam();
    FormHarness h;
    TRgCustomNumberEdit* E = h.Show<TNumberForm>()->Editor;
    E->SetOptions(c.options);
    E->SetText(QString::fromUtf16(c.text));
    Select(E, c.selStart, c.selLength);
    Char(E, c.key);
    EXPECT_EQ(E->Text(), QString::fromUtf16(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, NumberEditKeys, ::testing::Values(
    KeyCase{Defaults, u"12", 2, 0, u'3', u"123"},
    KeyCase{Defaults, u"12", 2, 0, u'a', u"12"},
    KeyCase{Defaults, u"12", 2, 0, u' ', u"12"},
    KeyCase{Defaults, u"123", 3, 0, u'-', u"123"},      // a sign only in front
    KeyCase{Defaults, u"123", 0, 1, u'-', u"-23"},      // typed over the first digit
    KeyCase{Defaults, u"", 0, 0, u'-', u"-"},
    KeyCase{Defaults, u"-12", 0, 0, u'+', u"-12"},      // one sign
    KeyCase{Defaults, u"-12", 0, 1, u'+', u"+12"},      // typed over the sign
    KeyCase{Defaults, u"15", 1, 0, u'.', u"1.5"},
    KeyCase{Defaults, u"1.5", 3, 0, u'.', u"1.5"},      // one separator
    KeyCase{Defaults, u"1.5", 1, 2, u'.', u"1."},       // typed over the separator
    KeyCase{Defaults, u"12", 2, 0, u'\b', u"1"},
    KeyCase{TRgNumberEditOptions{eoAllowSigns}, u"15", 1, 0, u'.', u"15"},
    KeyCase{TRgNumberEditOptions{eoAllowFloat}, u"", 0, 0, u'-', u""},
    KeyCase{TRgNumberEditOptions{eoAllowAll}, u"1", 1, 0, u'x', u"1x"},
    KeyCase{TRgNumberEditOptions{eoAllowFloat, eoDisableTyping}, u"1", 1, 0, u'2', u"1"},
    KeyCase{TRgNumberEditOptions{eoAllowFloat, eoDisableTyping}, u"12", 2, 0, u'\b', u"12"}));

TEST(NumberEditTyping, TypedTextShowsFormattedWhenTheEditorIsLeft) {
    FormHarness h;
    auto* form = h.Show<TNumberForm>();
    TRgCustomNumberEdit* E = form->Editor;
    E->SetText(QString());
    h.Type(E, u"1a2"_qs);
    EXPECT_EQ(E->Text(), u"12"_qs);
    form->Other->SetFocus();
    h.Pump();
    EXPECT_EQ(E->Text(), u"12.00"_qs);
    // ApplyEditing formats as leaving does.
    E->SetText(u"5"_qs);
    E->ApplyEditing();
    EXPECT_EQ(E->Text(), u"5.00"_qs);
}

TEST(NumberEditTyping, DisabledTypingSwallowsTheDeletingKeys) {
    FormHarness h;
    TRgCustomNumberEdit* E = h.Show<TNumberForm>()->Editor;
    E->SetText(u"12"_qs);
    Select(E, 0);
    E->SetOptions({eoAllowFloat, eoDisableTyping});
    for (WORD Key : {WORD(VK_DELETE), WORD(VK_BACK), WORD(VK_CLEAR)}) E->Perform(WM_KEYDOWN, Key, 1);
    EXPECT_EQ(E->Text(), u"12"_qs);
    E->SetOptions(Defaults);
    E->Perform(WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(E->Text(), u"2"_qs);
}

// ---- pasting ----

struct PasteCase {
    TRgNumberEditOptions options;
    const char16_t* text;
    int selStart, selLength;
    const char16_t* clip;
    const char16_t* expected;
    double min = 0, max = 0;
};

class NumberEditPaste : public ::testing::TestWithParam<PasteCase> {};

TEST_P(NumberEditPaste, PastesTheCleanedNumberAndLeavesTheCaretWhereTheSelectionStarted) {
    const PasteCase& c = GetParam();
    FormHarness h;
    TRgCustomNumberEdit* E = h.Show<TNumberForm>()->Editor;
    E->SetOptions(c.options);
    E->SetMin(c.min);
    E->SetMax(c.max);
    E->SetText(QString::fromUtf16(c.text));
    Select(E, c.selStart, c.selLength);
    vcl::Clipboard()->SetAsText(QString::fromUtf16(c.clip));
    E->Perform(WM_PASTE);
    EXPECT_EQ(E->Text(), QString::fromUtf16(c.expected));
    if (!c.options.Contains(eoAllowAll)) {
        EXPECT_EQ(E->SelStart(), c.selStart);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, NumberEditPaste, ::testing::Values(
    PasteCase{Defaults, u"", 0, 0, u"1.2.3", u"1.23"},
    PasteCase{Defaults, u"5.5", 3, 0, u"1.2.3", u"5.5123"},    // the text holds the separator
    PasteCase{Defaults, u"5.5", 1, 1, u"1.2.3", u"51.235"},    // but not outside the selection
    PasteCase{Defaults, u"12", 0, 0, u"-3", u"-312"},
    PasteCase{Defaults, u"12", 1, 0, u"-3", u"132"},           // a sign only at the start
    PasteCase{Defaults, u"7", 0, 1, u"x9 y", u"9"},
    PasteCase{Defaults, u"", 0, 0, u"-", u"0"},
    PasteCase{Defaults, u"12", 1, 0, u"abc", u"12"},           // nothing of a number: nothing pasted
    PasteCase{Defaults, u"12", 0, 2, u"-.", u"12"},            // still no number: nothing pasted
    PasteCase{Defaults, u"", 0, 0, u"50", u"10", 0, 10},       // clamped to the range
    PasteCase{TRgNumberEditOptions{eoAllowSigns}, u"", 0, 0, u"2.5", u"25"},
    PasteCase{TRgNumberEditOptions{eoAllowFloat, eoDisablePaste}, u"1", 1, 0, u"2", u"1"},
    PasteCase{TRgNumberEditOptions{eoAllowAll}, u"1", 1, 0, u"ab", u"1ab"}));

TEST(NumberEditLocale, TheLocalesSeparatorIsTheOneTypedPastedAndShown) {
    struct TCommaLocale {
        rtl::Char Old = rtl::FormatSettings.DecimalSeparator;
        TCommaLocale() { rtl::FormatSettings.DecimalSeparator = u','; }
        ~TCommaLocale() { rtl::FormatSettings.DecimalSeparator = Old; }
    } Comma;
    FormHarness h;
    TRgCustomNumberEdit* E = h.Show<TNumberForm>()->Editor;
    E->SetText(u"15"_qs);
    Select(E, 1);
    Char(E, u'.');
    EXPECT_EQ(E->Text(), u"15"_qs);
    Char(E, u',');
    EXPECT_EQ(E->Text(), u"1,5"_qs);
    EXPECT_DOUBLE_EQ(E->Value(), 1.5);
    E->Reformat();
    EXPECT_EQ(E->Text(), u"1,50"_qs);
    E->SetText(QString());
    vcl::Clipboard()->SetAsText(u"1,2.3,4"_qs);
    E->Perform(WM_PASTE);
    EXPECT_EQ(E->Text(), u"1,234"_qs);
}

TEST(NumberEditPasting, CtrlVPastesThroughTheFilter) {
    FormHarness h;
    TRgCustomNumberEdit* E = h.Show<TNumberForm>()->Editor;
    E->SetText(QString());
    E->SetFocus();
    vcl::Clipboard()->SetAsText(u"x4,2"_qs);
    h.Keys('V', {VK_CONTROL});
    EXPECT_EQ(E->Text(), u"42"_qs);
}

// ---- values and formatting ----

struct ValueCase {
    const char16_t* text;
    double value;              // what the text reads as
    const char16_t* shown;     // the same value formatted
    int precision = 2;
    TRgNumberEditOptions options = Defaults;
    double min = 0, max = 0;
    const char16_t* before = u"";
    const char16_t* after = u"";
    const char16_t* nullText = u"";
};

class NumberEditValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(NumberEditValue, ReadsTheTextAndShowsTheValueFormatted) {
    const ValueCase& c = GetParam();
    TRgCustomNumberEdit E(nullptr);
    E.SetOptions(c.options);
    E.SetPrecision(c.precision);
    E.SetMin(c.min);
    E.SetMax(c.max);
    E.SetTextBefore(QString::fromUtf16(c.before));
    E.SetTextAfter(QString::fromUtf16(c.after));
    if (*c.nullText) E.SetNullText(QString::fromUtf16(c.nullText));
    E.SetValue(123);  // the last good value
    E.SetText(QString::fromUtf16(c.text));
    EXPECT_DOUBLE_EQ(E.Value(), c.value);
    E.Reformat();
    EXPECT_EQ(E.Text(), QString::fromUtf16(c.shown));
    EXPECT_DOUBLE_EQ(E.Value(), c.value);  // and the shown text reads back the same
}

INSTANTIATE_TEST_SUITE_P(Cases, NumberEditValue, ::testing::Values(
    ValueCase{u"5", 5, u"5.00"},
    ValueCase{u"-2.5", -2.5, u"-2.50", 2},
    ValueCase{u"2.50", 2.5, u"2.5", 0},
    ValueCase{u"1234567.125", 1234567.125, u"1234567.125", 3},
    ValueCase{u"2.7", 27, u"27", 2, TRgNumberEditOptions{eoAllowSigns}},  // no separator: digits only
    ValueCase{u"-4", 4, u"4.00", 2, TRgNumberEditOptions{eoAllowFloat}},  // no sign
    ValueCase{u"50", 10, u"10.00", 2, Defaults, 1, 10},
    ValueCase{u"-9", -5, u"-5.00", 2, Defaults, -5, 5},
    ValueCase{u"", 1, u"1.00", 2, Defaults, 1, 10},                        // empty: Min
    ValueCase{u"abc", 0, u"0.00"},                                         // nothing of a number: Min
    ValueCase{u"-", 0, u"0.00"},
    ValueCase{u"-.", 123, u"123.00"},                                      // no number: the last value
    ValueCase{u"$7 kg", 7, u"$7.00 kg", 2, Defaults, 0, 0, u"$", u" kg"},
    ValueCase{u"3 m2", 3, u"3.00 m2", 2, Defaults, 0, 0, u"", u" m2"},     // a suffix with a digit
    ValueCase{u"none", 0, u"none", 2, Defaults, 0, 0, u"", u"", u"none"},
    ValueCase{u"0", 0, u"none", 2, Defaults, 0, 0, u"", u"", u"none"},
    ValueCase{u"none", 0, u"none", 2, Defaults, 1, 10, u"", u"", u"none"}));  // the null text wins over Min

TEST(NumberEditValue, WritersReformatAndIntegersTruncate) {
    TRgCustomNumberEdit E(nullptr);
    E.SetValue(2.7);
    EXPECT_EQ(E.Text(), u"2.70"_qs);
    EXPECT_EQ(E.AsInteger(), 2);
    E.SetValue(-2.7);
    EXPECT_EQ(E.AsInteger(), -2);
    E.SetValue(2147483647.9);
    EXPECT_EQ(E.AsInteger(), 2147483647);
    E.SetValue(3e9);  // no integer: an error rather than a wrapped number
    EXPECT_THROW(E.AsInteger(), rtl::EConvertError);
    E.SetValue(-2.7);
    E.SetPrecision(1);
    EXPECT_EQ(E.Text(), u"-2.7"_qs);
    E.SetAsInteger(4);
    EXPECT_EQ(E.Text(), u"4.0"_qs);
    E.SetAsFloat(1.25);
    EXPECT_EQ(E.Text(), u"1.3"_qs);
    EXPECT_DOUBLE_EQ(E.AsFloat(), 1.3);  // what shows is what reads
    E.SetTextBefore(u"~"_qs);
    EXPECT_EQ(E.Text(), u"~1.3"_qs);
    E.SetNullText(u"-"_qs);
    EXPECT_EQ(E.Text(), u"-"_qs);
    // While the editor updates, values are stored but the text stays.
    E.SetEditorUpdating(true);
    E.SetValue(8);
    EXPECT_EQ(E.Text(), u"-"_qs);
}

TEST(NumberEditValue, AssignCopiesTheNumberSettings) {
    TRgCustomNumberEdit From(nullptr), To(nullptr);
    From.SetMax(9);
    From.SetMin(-3);
    From.SetNullText(u"n/a"_qs);
    From.SetOptions({eoAllowFloat});
    From.SetPrecision(1);
    From.SetValue(4.5);
    To.Assign(&From);
    EXPECT_EQ(To.Max(), 9);
    EXPECT_EQ(To.Min(), -3);
    EXPECT_EQ(To.NullText(), u"n/a"_qs);
    EXPECT_EQ(To.Options(), TRgNumberEditOptions{eoAllowFloat});
    EXPECT_EQ(To.Text(), u"4.5"_qs);
}

// ---- the spin editor ----

struct SpinCase {
    double start;
    TSpinButton button;
    double expected;
    double min = 0, max = 0;
    TRgNumberEditOptions options = Defaults;
};

class SpinEditStep : public ::testing::TestWithParam<SpinCase> {};

TEST_P(SpinEditStep, StepsByTheIncrementInsideTheRange) {
    const SpinCase& c = GetParam();
    FormHarness h;
    TRgSpinEdit* E = h.Show<TSpinForm>()->Editor;
    E->SetOptions(c.options);
    E->SetMin(c.min);
    E->SetMax(c.max);
    E->SetValue(c.start);
    E->SetModified(false);
    int Spins = 0;
    E->OnSpin = [&](rtl::TObject*, TSpinButtonSet B) { EXPECT_EQ(B, TSpinButtonSet{c.button}); ++Spins; };
    E->Buttons()->SetPressedButtons({c.button});
    E->Buttons()->SetPressedButtons({});
    EXPECT_DOUBLE_EQ(E->Value(), c.expected);
    const bool Moved = c.expected != c.start;
    EXPECT_EQ(Spins, Moved ? 1 : 0);
    EXPECT_EQ(E->Modified(), Moved);
    if (Moved) {
        EXPECT_EQ(E->SelStart(), E->Text().size());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SpinEditStep, ::testing::Values(
    SpinCase{3, sbUp, 4}, SpinCase{3, sbDown, 2}, SpinCase{0, sbDown, -1},
    SpinCase{9.5, sbUp, 9.5, 0, 10}, SpinCase{9, sbUp, 10, 0, 10},
    SpinCase{0.5, sbDown, 0.5, 0, 10}, SpinCase{2, sbDown, 1, 1, 10},
    SpinCase{0, sbDown, 0, 0, 0, TRgNumberEditOptions{eoAllowFloat}},
    SpinCase{0.5, sbDown, 0, 0, 0, TRgNumberEditOptions{eoAllowFloat}}));  // stops at 0 without signs

TEST(SpinEdit, ReadOnlyDoesNotStepAndIntegersRound) {
    FormHarness h;
    TRgSpinEdit* E = h.Show<TSpinForm>()->Editor;
    EXPECT_EQ(E->Precision(), 0);
    E->SetValue(2.7);
    EXPECT_EQ(E->Text(), u"2.7"_qs);
    EXPECT_EQ(E->AsInteger(), 3);
    E->SetValue(-2.7);
    EXPECT_EQ(E->AsInteger(), -3);
    E->SetValue(-2147483648.2);
    EXPECT_EQ(E->AsInteger(), INT_MIN);
    E->SetValue(-2147483648.6);
    EXPECT_THROW(E->AsInteger(), rtl::EConvertError);
    E->SetAsInteger(5);
    EXPECT_EQ(E->Text(), u"5"_qs);
    E->SetReadOnly(true);
    E->Buttons()->SetPressedButtons({sbUp});
    E->Buttons()->SetPressedButtons({});
    EXPECT_EQ(E->Text(), u"5"_qs);
}

TEST(SpinEdit, AHeldButtonStepsAtOnceThenEvery20msAfter400ms) {
    FormHarness h;
    auto* form = h.Show<TSpinForm>();
    TRgSpinEdit* E = form->Editor;
    E->SetValue(0);
    TRgSpinButtons* B = E->Buttons();
    const auto Target = FormHarness::TargetOf(B, POINT{B->Width() / 2, 2});
    h.App().Press(Target.hwnd, Target.point);
    EXPECT_EQ(E->Value(), 1);
    EXPECT_TRUE(E->Focused());
    h.Advance(std::chrono::milliseconds(399));
    EXPECT_EQ(E->Value(), 1);
    h.Advance(std::chrono::milliseconds(1));   // the delay is over: repeating starts
    EXPECT_EQ(E->Value(), 1);
    h.Advance(std::chrono::milliseconds(20));
    EXPECT_EQ(E->Value(), 2);
    h.Advance(std::chrono::milliseconds(80));
    EXPECT_EQ(E->Value(), 6);
    h.App().Release(Target.hwnd, Target.point);
    h.Advance(std::chrono::milliseconds(500));
    EXPECT_EQ(E->Value(), 6);
    // The lower half steps down.
    const auto Lower = FormHarness::TargetOf(B, POINT{B->Width() / 2, B->Height() - 2});
    h.App().Click(Lower.hwnd, Lower.point);
    EXPECT_EQ(E->Value(), 5);
}

TEST(SpinEdit, ArrowKeysAndTheWheelStepUnlessInAGridCell) {
    FormHarness h;
    auto* form = h.Show<TSpinForm>();
    TRgSpinEdit* E = form->Editor;
    E->SetValue(0);
    E->SetFocus();
    h.Pump();
    h.App().KeyDown(VK_UP);
    EXPECT_EQ(E->Value(), 1);
    h.App().KeyDown(VK_UP);  // the key's own repeat adds nothing to the buttons' repeat
    EXPECT_EQ(E->Value(), 1);
    h.App().KeyUp(VK_UP);
    h.Advance(std::chrono::milliseconds(500));
    EXPECT_EQ(E->Value(), 1);
    h.Keys(VK_DOWN);
    h.Keys(VK_DOWN);
    EXPECT_EQ(E->Value(), -1);
    const auto Target = FormHarness::TargetOf(E);
    h.App().Wheel(Target.hwnd, Target.point, WHEEL_DELTA);
    EXPECT_EQ(E->Value(), 0);
    h.App().Wheel(Target.hwnd, Target.point, -WHEEL_DELTA);
    EXPECT_EQ(E->Value(), -1);

    E->SetInplaceEditor(true);
    h.Keys(VK_UP);
    h.App().Wheel(Target.hwnd, Target.point, WHEEL_DELTA);
    EXPECT_EQ(E->Value(), -1);
    E->SetInplaceEditor(false);
    E->SetSpinButtons(false);
    EXPECT_FALSE(E->Buttons()->Visible());
    h.Keys(VK_UP);
    EXPECT_EQ(E->Value(), -1);
}

TEST(SpinEdit, ButtonsStandInsideTheMarginsAndThePushButtonClicks) {
    FormHarness h;
    auto* form = h.Show<TSpinForm>();
    TRgSpinEdit* E = form->Editor;
    auto Margins = [&] { return DWORD(SendMessageW(E->Handle(), EM_GETMARGINS, 0, 0)); };
    const int Scroll = GetSystemMetrics(SM_CXVSCROLL);
    TRgSpinButtons* B = E->Buttons();
    EXPECT_TRUE(B->Visible());
    EXPECT_FALSE(B->TabStop());
    EXPECT_EQ(B->Left(), E->ClientWidth() - Scroll);
    EXPECT_EQ(B->Width(), Scroll);
    EXPECT_EQ(B->Top(), 1);
    EXPECT_EQ(B->Height(), E->ClientHeight() - 1);
    EXPECT_EQ(LOWORD(Margins()), 0);
    EXPECT_EQ(HIWORD(Margins()), Scroll);

    E->SetShowButton(true);
    E->SetButtonWidth(30);
    E->SetButtonCaption(u"..."_qs);
    EXPECT_EQ(E->Button()->Caption(), u"..."_qs);
    EXPECT_TRUE(E->Button()->Visible());
    EXPECT_EQ(E->Button()->Width(), 30);
    EXPECT_EQ(E->Button()->Height(), E->ClientHeight());
    EXPECT_EQ(LOWORD(Margins()), 30);
    E->SetWidth(220);
    h.Pump();
    EXPECT_EQ(B->Left(), E->ClientWidth() - Scroll);
    EXPECT_EQ(LOWORD(Margins()), 30);
    EXPECT_EQ(HIWORD(Margins()), Scroll);

    int Clicks = 0;
    E->OnButtonClick = [&](rtl::TObject* Sender) { EXPECT_EQ(Sender, E); ++Clicks; };
    form->Other->SetFocus();
    h.Click(E->Button());
    EXPECT_EQ(Clicks, 1);
    EXPECT_TRUE(E->Focused());
    EXPECT_FALSE(E->Button()->Down());

    E->SetSpinButtons(false);
    E->SetShowButton(false);
    EXPECT_EQ(Margins(), 0u);
}

TEST(SpinEdit, ClassicButtonsPaintPressedAndDisabled) {
    FormHarness h;
    auto* form = h.Show<TSpinForm>();
    TRgSpinEdit* E = form->Editor;
    TRgSpinButtons* B = E->Buttons();
    h.Pump();
    const QImage Normal = h.App().Grab(B->Handle());
    E->Buttons()->SetPressedButtons({sbUp});
    h.Pump();
    const QImage Pressed = h.App().Grab(B->Handle());
    E->Buttons()->SetPressedButtons({});
    h.Pump();
    E->SetEnabled(false);  // the buttons draw the editor's state
    h.Pump();
    const QImage Disabled = h.App().Grab(B->Handle());
    const int Half = B->Height() / 2;
    // Pressing changes the upper half only; disabling changes both.
    EXPECT_NE(Normal.copy(0, 0, B->Width(), Half), Pressed.copy(0, 0, B->Width(), Half));
    EXPECT_EQ(Normal.copy(0, Half, B->Width(), B->Height() - Half), Pressed.copy(0, Half, B->Width(), B->Height() - Half));
    EXPECT_NE(Normal.copy(0, Half, B->Width(), B->Height() - Half), Disabled.copy(0, Half, B->Width(), B->Height() - Half));
    // With the platform's visual styles the theme's spin parts draw instead: the lower half is the
    // theme's down part, pixel for pixel, in the normal and the pressed state.
    E->SetEnabled(true);
    grid_test::TVisualStylesOn Styles;
    auto ExpectLowerHalf = [&](int State) {
        B->Invalidate();
        h.Pump();
        const QImage Themed = h.App().Grab(B->Handle());
        EXPECT_NE(Themed, Normal);
        vcl::TBitmap Expected(B->Width(), B->Height());
        DrawThemedPart(B->Handle(), Expected.Canvas()->Handle(), TRect(0, Half, B->Width(), B->Height()), QStringLiteral("spin"), 2, State);
        for (int y = Half; y < B->Height(); ++y)
            for (int x = 0; x < B->Width(); ++x) {
                ASSERT_EQ(Themed.pixel(x, y) & 0xFFFFFF, grid_test::ToRgb(Expected.Canvas()->Pixels(x, y)))
                    << "state " << State << " at " << x << "," << y;
            }
    };
    ExpectLowerHalf(1);
    B->SetPressedButtons({sbDown});
    ExpectLowerHalf(3);
    B->SetPressedButtons({});
}

TEST(SmallButtons, ThePushButtonPaintsDownAndItsCaption) {
    FormHarness h;
    auto* form = h.Show<TSpinForm>();
    TRgSpinEdit* E = form->Editor;
    E->SetShowButton(true);
    h.Pump();
    TRgExecuteButton* B = E->Button();
    const QImage Plain = h.App().Grab(B->Handle());
    E->SetButtonCaption(u"..."_qs);
    h.Pump();
    EXPECT_NE(h.App().Grab(B->Handle()), Plain);
    const auto Target = FormHarness::TargetOf(B, POINT{2, 2});
    h.App().Press(Target.hwnd, Target.point);
    EXPECT_TRUE(B->Down());
    // Down: a face-coloured box in a shadow-coloured frame.
    EXPECT_EQ(h.App().Pixel(B->Handle(), 0, 0), grid_test::ToRgb(vcl::ColorToRGB(vcl::clBtnShadow)));
    EXPECT_EQ(h.App().Pixel(B->Handle(), 2, B->Height() - 3), grid_test::ToRgb(vcl::ColorToRGB(vcl::clBtnFace)));
    h.App().Release(Target.hwnd, Target.point);
    EXPECT_FALSE(B->Down());

    // With the platform's visual styles: the theme's push button over the client area grown by one.
    E->SetButtonCaption(QString());
    grid_test::TVisualStylesOn Styles;
    B->Perform(WM_THEMECHANGED);
    B->Invalidate();
    h.Pump();
    const QImage Themed = h.App().Grab(B->Handle());
    vcl::TBitmap Expected(B->Width(), B->Height());
    Expected.Canvas()->Brush()->SetColor(B->Color());
    Expected.Canvas()->FillRect(TRect(0, 0, B->Width(), B->Height()));
    ASSERT_TRUE(B->Hover());  // the pointer is still over it
    DrawThemedPart(B->Handle(), Expected.Canvas()->Handle(), TRect(-1, -1, B->Width() + 1, B->Height() + 1), QStringLiteral("button"), 1, 2);
    for (int y = 0; y < B->Height(); ++y)
        for (int x = 0; x < B->Width(); ++x)
            ASSERT_EQ(Themed.pixel(x, y) & 0xFFFFFF, grid_test::ToRgb(vcl::ColorToRGB(Expected.Canvas()->Pixels(x, y))))
                << x << "," << y;
}

TEST(SmallButtons, HoverFollowsThePointerOverEachHalf) {
    FormHarness h;
    auto* form = h.Show<TSpinForm>();
    TRgSpinButtons* B = form->Editor->Buttons();
    h.MoveTo(B, POINT{2, 1});
    EXPECT_EQ(B->HoverButtons(), TSpinButtonSet{sbUp});
    h.MoveTo(B, POINT{2, B->Height() - 1});
    EXPECT_EQ(B->HoverButtons(), TSpinButtonSet{sbDown});
    h.MouseOut();
    EXPECT_TRUE(B->HoverButtons().Empty());
    TRgExecuteButton* P = form->Editor->Button();
    form->Editor->SetShowButton(true);
    h.MoveTo(P);
    EXPECT_TRUE(P->Hover());
    h.MouseOut();
    EXPECT_FALSE(P->Hover());
}

TEST(SpinEdit, UnderACustomStyleTheButtonsAreTheStylesSpinElements) {
    const QString Source = qEnvironmentVariable("TW_SOURCE_DIR");
    if (Source.isEmpty()) GTEST_SKIP() << "TW_SOURCE_DIR is not set: the shipped styles cannot be found";
    if (!vcl::TStyleManager::Style(u"Carbon"_qs))
        vcl::TStyleManager::LoadFromFile(Source + u"/data/styles/Carbon.vsf"_qs);
    FormHarness h;
    auto* form = h.Show<TSpinForm>();
    TRgSpinButtons* B = form->Editor->Buttons();
    struct TSystemStyleAgain {
        ~TSystemStyleAgain() { vcl::TStyleManager::SetStyle(vcl::TStyleManager::SystemStyle()); }
    } Again;
    vcl::TStyleManager::SetStyle(u"Carbon"_qs);
    const int Half = B->Height() / 2;
    auto ExpectLowerHalf = [&](vcl::TThemedSpin Detail) {
        B->Invalidate();
        h.Pump();
        const QImage Shown = h.App().Grab(B->Handle());
        vcl::TBitmap Expected(B->Width(), B->Height());
        vcl::StyleServices()->DrawElement(Expected.Canvas()->Handle(), vcl::StyleServices()->GetElementDetails(Detail),
                                          TRect(0, Half, B->Width(), B->Height()));
        for (int y = Half; y < B->Height(); ++y)
            for (int x = 0; x < B->Width(); ++x)
                ASSERT_EQ(Shown.pixel(x, y) & 0xFFFFFF, grid_test::ToRgb(Expected.Canvas()->Pixels(x, y)))
                    << Detail << " at " << x << "," << y;
    };
    ExpectLowerHalf(vcl::tsDownNormal);
    B->SetPressedButtons({sbDown});
    ExpectLowerHalf(vcl::tsDownPressed);
    B->SetPressedButtons({});
    form->Editor->SetEnabled(false);
    ExpectLowerHalf(vcl::tsDownDisabled);
}

} // namespace
