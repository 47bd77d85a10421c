// The spin edit's value model (stepping, parsing, formatting, ranges, events) on its own, and the whole
// spin edit in a window: keys, Enter, focus loss, typing, the held spin button on the manual clock, and
// the whole-number helpers the windows use.
#include "skins/Helpers.h"
#include "skins/SkEditors.h"

#include "app/engine/EncoderPanel.h"
#include "rtl/SysUtils.h"
#include "tests/support/Peers.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <chrono>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace skins;
using namespace std::chrono_literals;
using testing_support::FormHarness;

namespace {

// The options with a text sink and source of their own, and a log of what reached them.
struct Model {
    TSkSpinEditOptions o;
    QString text;
    std::vector<std::string> log;

    Model() {
        // Like the edit, the sink ignores the text it already shows.
        o.OnSetText = TSkEditChangeEvent([this](rtl::TObject*, const QString& t) {
            if (t == text) return;
            text = t;
            log.push_back("text " + t.toStdString());
        });
        o.OnGetText = TSkEditAcceptTextEvent([this](rtl::TObject*, QString& t, bool&) { t = text; });
        o.OnValueChanged = rtl::TNotifyEvent([this](rtl::TObject*) {
            log.push_back("value " + QString::number(o.Value(), 'g', 17).toStdString());
        });
    }
    // Sets up without logging.
    void Range(double Min, double Max, double Increment, double Value) {
        o.SetIncrement(Increment);
        o.SetMaxValue(Max);
        o.SetMinValue(Min);
        o.SetValue(Value);
        log.clear();
    }
};

struct StepCase {
    double min, max, increment, value;
    bool snap;
    double up, down;
};

class SpinStepping : public ::testing::TestWithParam<StepCase> {};

TEST_P(SpinStepping, LandsOnTheGridAndNeverLeavesTheRange) {
    const StepCase& c = GetParam();
    Model up, down;
    for (Model* m : {&up, &down}) {
        m->o.SetValueSnap(c.snap);
        m->Range(c.min, c.max, c.increment, c.value);
        ASSERT_EQ(m->o.Value(), c.value);
    }
    up.o.ValueInc();
    down.o.ValueDec();
    // Multiples of a fractional step are only near their decimal text.
    EXPECT_NEAR(up.o.Value(), c.up, 1e-9 * std::max(1.0, std::abs(c.up)));
    EXPECT_NEAR(down.o.Value(), c.down, 1e-9 * std::max(1.0, std::abs(c.down)));
    // A step that goes nowhere says nothing.
    EXPECT_EQ(up.log.empty(), c.up == c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpinStepping,
    ::testing::Values(StepCase{0, 100, 5, 7, true, 10, 5}, StepCase{0, 100, 5, 10, true, 15, 5},
                      // the filter field, set off the grid by the program
                      StepCase{1000, 32000, 10, 16005, true, 16010, 16000},
                      StepCase{0, 24, 1, 24, true, 24, 23}, StepCase{0, 24, 1, 0, true, 1, 0},
                      // a bound off the grid is never reached: 25 and 3 are not multiples of 10
                      StepCase{0, 25, 10, 20, true, 20, 10}, StepCase{3, 100, 10, 5, true, 10, 5},
                      StepCase{0, 100, 5, 7, false, 12, 2}, StepCase{0, 100, 0.3, 0.9, true, 1.2, 0.6},
                      // 0.7 / 0.1 is a hair below 7: the small term keeps it from stepping onto itself
                      StepCase{0, 0, 0.1, 0.7, true, 0.8, 0.6},
                      // beyond 2^31 steps the grid index still counts (it used to be 32 bits)
                      StepCase{0, 0, 1, 1e12, true, 1e12 + 1, 1e12 - 1},
                      StepCase{0, 0, 1, -1e12, true, -1e12 + 1, -1e12 - 1},
                      StepCase{0, 0, 1, 3e9, true, 3e9 + 1, 3e9 - 1},
                      // no grid at all: no step, no division
                      StepCase{0, 0, 0, 7, true, 7, 7},
                      // a grid index past 64 bits cannot be represented: the step is dropped
                      StepCase{0, 0, 1e-300, 1e10, true, 1e10, 1e10}));

TEST(SpinValue, ChangesFireBeforeTheTextAndOutOfRangeValuesAreDropped) {
    Model m;
    m.Range(1000, 32000, 10, 16000);
    m.o.SetValue(20000);
    EXPECT_EQ(m.log, (std::vector<std::string>{"value 20000", "text 20000"}));
    m.log.clear();
    for (double bad : {999.0, 32001.0, 20000.0, std::nan(""), std::numeric_limits<double>::infinity()})
        m.o.SetValue(bad);
    EXPECT_EQ(m.o.Value(), 20000);
    EXPECT_TRUE(m.log.empty());
    // Unbounded (both bounds 0): anything finite goes.
    Model free;
    free.o.SetValue(-5e20);
    EXPECT_EQ(free.o.Value(), -5e20);
}

TEST(SpinValue, StreamedFilterFieldPassesThroughItsLowerBound) {
    Model m;
    // The form stream's order: Increment, MaxValue, MinValue, Value.
    m.o.SetIncrement(10);
    m.o.SetMaxValue(32000);
    m.o.SetMinValue(1000);
    m.o.SetValue(16000);
    EXPECT_EQ(m.log, (std::vector<std::string>{"value 1000", "text 1000", "value 16000", "text 16000"}));
}

TEST(SpinValue, FormatSettersReformatWithoutEventsAndClampDecimal) {
    Model m;
    m.Range(0, 0, 0.3, 1.5);
    m.o.SetValueType(spnFloat);
    EXPECT_EQ(m.text, QStringLiteral("1.50"));
    m.o.SetDecimal(12);
    EXPECT_EQ(m.o.Decimal(), 10);
    m.o.SetDecimal(-1);
    EXPECT_EQ(m.o.Decimal(), 0);
    EXPECT_EQ(m.text, QStringLiteral("2"));   // 1.5 to no decimals, rounded half to even
    m.o.SetPrefix(QStringLiteral("x"));
    m.o.SetPostfix(QStringLiteral(" Hz"));
    EXPECT_EQ(m.text, QStringLiteral("x2 Hz"));
    for (const auto& line : m.log) EXPECT_EQ(line.rfind("value", 0), std::string::npos) << line;
    // Whole-number types take a whole increment of at least 1.
    m.o.SetValueType(spnInteger);
    EXPECT_EQ(m.o.Increment(), 1);
    m.o.SetIncrement(2.6);
    m.o.SetValueType(spnFloat);
    m.o.SetValueType(spnHex);
    EXPECT_EQ(m.o.Increment(), 3);
}

struct ParseCase {
    TSkSpinType type;
    const char16_t* prefix;
    const char16_t* postfix;
    double start;
    const char16_t* typed;
    double value;
    const char16_t* text;   // after a forced parse
};

class SpinParsing : public ::testing::TestWithParam<ParseCase> {};

TEST_P(SpinParsing, ReadsTheTypedTextAndRewritesIt) {
    const ParseCase& c = GetParam();
    Model m;
    m.o.SetValueType(c.type);
    m.o.SetPrefix(QString::fromUtf16(c.prefix));
    m.o.SetPostfix(QString::fromUtf16(c.postfix));
    m.o.SetValue(c.start);
    m.text = QString::fromUtf16(c.typed);
    m.log.clear();
    m.o.UpdateValueFromText(true);
    EXPECT_EQ(m.o.Value(), c.value);
    EXPECT_EQ(m.text, QString::fromUtf16(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpinParsing,
    ::testing::Values(ParseCase{spnInteger, u"", u"", 0, u"  42 ", 42, u"42"},
                      ParseCase{spnInteger, u"", u"", 0, u"$1F", 31, u"31"},
                      ParseCase{spnInteger, u"", u"", 0, u"-17", -17, u"-17"},
                      ParseCase{spnInteger, u"", u"", 5, u"abc", 5, u"5"},
                      ParseCase{spnInteger, u"", u"", 5, u"", 5, u"5"},
                      ParseCase{spnInteger, u"", u"", 5, u"12.5", 5, u"5"},
                      // blanks left between number and marks are trimmed; a deleted mark is not missed
                      ParseCase{spnInteger, u"f=", u"Hz", 0, u"f=  15  Hz", 15, u"f=15Hz"},
                      ParseCase{spnInteger, u"f=", u"Hz", 0, u"15Hz", 15, u"f=15Hz"},
                      ParseCase{spnInteger, u"f=", u"Hz", 0, u"f=15", 15, u"f=15Hz"},
                      ParseCase{spnHex, u"", u"", 0, u"ff", 255, u"FF"},
                      ParseCase{spnHex, u"", u"", 16, u"$FF", 16, u"10"},   // "$$FF": two marks
                      ParseCase{spnHex, u"", u"", 0, u"FFFFFFFFFFFFFFFF", -1, u"FFFFFFFFFFFFFFFF"},
                      ParseCase{spnHex, u"", u"", 0, u"x1", 0, u"0"},
                      ParseCase{spnFloat, u"", u"", 0, u"2.25", 2.25, u"2.25"},
                      ParseCase{spnFloat, u"", u"", 1, u"nan", 1, u"1.00"},
                      ParseCase{spnFloat, u"", u"", 1, u"inf", 1, u"1.00"},
                      ParseCase{spnFloat, u"", u"", 1, u"1e3", 1000, u"1000.00"}));

TEST(SpinValue, LeadingZeroIsRewrittenWithoutAnEventAndUnforcedParsesOnlyChange) {
    Model m;
    m.Range(0, 100, 1, 16);
    m.text = QStringLiteral("016");
    m.o.UpdateValueFromText(false);
    EXPECT_EQ(m.text, QStringLiteral("016"));   // same number, not forced: the text stays
    EXPECT_TRUE(m.log.empty());
    m.o.UpdateValueFromText(true);
    EXPECT_EQ(m.text, QStringLiteral("16"));
    EXPECT_EQ(m.log, (std::vector<std::string>{"text 16"}));
    m.log.clear();
    m.text = QStringLiteral("17");
    m.o.UpdateValueFromText(false);
    EXPECT_EQ(m.log, (std::vector<std::string>{"value 17"}));   // the text already shows it
}

TEST(SpinValue, IntegerTextsSaturateAtTheSixtyFourBitBounds) {
    Model m;
    m.o.SetValue(1e30);
    EXPECT_EQ(m.o.ValueAsInteger(), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(m.text, QStringLiteral("9223372036854775807"));
    m.o.SetValueType(spnHex);
    EXPECT_EQ(m.text, QStringLiteral("7FFFFFFFFFFFFFFF"));
    m.o.SetValue(-1e30);
    EXPECT_EQ(m.o.ValueAsInteger(), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(m.text, QStringLiteral("8000000000000000"));
    EXPECT_EQ(RoundToInt64Saturated(std::nan("")), 0);
}

TEST(SpinValue, FloatTextUsesTheLocaleDecimalSeparator) {
    rtl::SetDefaultFormatLocale(QLocale(QLocale::German, QLocale::Germany));
    Model m;
    m.o.SetValueType(spnFloat);
    m.o.SetValue(1.5);
    const QString shown = m.text;
    m.text = QStringLiteral("2,5");
    m.o.UpdateValueFromText(true);
    const double parsed = m.o.Value();
    rtl::SetDefaultFormatLocale(QLocale::c());
    EXPECT_EQ(shown, QStringLiteral("1,50"));
    EXPECT_EQ(parsed, 2.5);

    // The C library agrees, when Debian's German locale can be made.
    const QString localedef = QStandardPaths::findExecutable(QStringLiteral("localedef"));
    if (localedef.isEmpty()) GTEST_SKIP() << "localedef (package locales) is missing: no C library comparison";
    const QString dir = QDir::temp().filePath(QStringLiteral("tw-locales"));
    QDir().mkpath(dir);
    const QString de = QDir(dir).filePath(QStringLiteral("de_DE.UTF-8"));
    if (!QFileInfo::exists(de)) {
        QProcess def;
        def.start(localedef, {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"), QStringLiteral("UTF-8"), de});
        def.waitForFinished(60000);
    }
    if (!QFileInfo::exists(de)) GTEST_SKIP() << "localedef could not build de_DE.UTF-8 under " << dir.toStdString();
    QProcess printf;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LOCPATH"), dir);
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    printf.setProcessEnvironment(env);
    printf.start(QStringLiteral("/usr/bin/printf"), {QStringLiteral("%.2f"), QStringLiteral("1,5")});
    printf.waitForFinished(10000);
    EXPECT_EQ(QString::fromUtf8(printf.readAllStandardOutput()), shown);
}

// ---- the helpers, against the engine's own versions ----

struct IntCase {
    double min, max, value;
    int set;
    int64_t get;   // GetSpinEditInt after SetSpinEditInt(set), or of value when set is unused
};

TEST(SpinHelpers, GetAndSetAgreeWithTheEnginesModel) {
    FormHarness h;
    auto* form = h.Create<vcl::TForm>();
    auto* edit = new TSkSpinEdit(form);
    edit->SetParent(form);
    // Rounding of values the program sets.
    for (auto [value, expected] : std::vector<std::pair<double, int64_t>>{{2.5, 2}, {3.5, 4}, {-2.5, -2}, {7.49, 7}, {1e30, INT64_MAX}}) {
        edit->SetValue(value);
        EXPECT_EQ(GetSpinEditInt(edit), expected) << value;
    }
    const std::vector<IntCase> cases{{0, 24, 0, 25, 24}, {0, 24, 0, -3, 0}, {0, 24, 0, 12, 12},
                                     {1000, 32000, 16000, 500, 1000}, {1000, 32000, 16000, 40000, 32000},
                                     {0.6, 23.4, 1, 0, 1},   // bounds rounded: 1..23
                                     {0, 0, 0, 5, 0}, {0, 0, 0, -5, 0}};
    for (const IntCase& c : cases) {
        edit->SpinOptions()->SetMinValue(0);
        edit->SpinOptions()->SetMaxValue(0);
        edit->SetValue(c.value);
        edit->SpinOptions()->SetMaxValue(c.max);
        edit->SpinOptions()->SetMinValue(c.min);
        SetSpinEditInt(edit, c.set);
        EXPECT_EQ(GetSpinEditInt(edit), c.get) << c.min << ".." << c.max << " set " << c.set;
        engine::TSpinEditModel model{int(c.value), int(std::nearbyint(c.min)), int(std::nearbyint(c.max))};
        engine::SetSpinEditInt(model, c.set);
        EXPECT_EQ(engine::GetSpinEditInt(model), c.get) << "the engine's model drifted";
    }
}

// ---- the spin edit in a window ----

class TSpinForm : public vcl::TForm {
public:
    explicit TSpinForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetPosition(vcl::poDesigned);
        SetBounds(40, 40, 300, 200);
        Filter = new TSkSpinEdit(this);
        Filter->SetParent(this);
        Filter->SetBounds(10, 10, 90, 24);
        Filter->SpinOptions()->SetIncrement(10);
        Filter->SpinOptions()->SetMaxValue(32000);
        Filter->SpinOptions()->SetMinValue(1000);
        Filter->SetValue(16000);
        Filter->SetOnValueChanged(rtl::TNotifyEvent([this](rtl::TObject*) { Changes.push_back(Filter->Value()); }));
        Hours = new TSkSpinEdit(this);
        Hours->SetParent(this);
        Hours->SetBounds(10, 50, 60, 24);
        Hours->SetAlignment(vcl::taCenter);
        Hours->SpinOptions()->SetMaxValue(24);
        Hours->SpinButton()->SetWidth(15);
        EndLoading();
    }
    TSkSpinEdit* Filter;
    TSkSpinEdit* Hours;
    std::vector<double> Changes;
};

struct SpinWindow : ::testing::Test {
    FormHarness h;
    TSpinForm* form = nullptr;
    void SetUp() override {
        form = h.Show<TSpinForm>();
        form->Changes.clear();
    }
    POINT UpHalf() const { return POINT{4, 3}; }
    POINT DownHalf() const { return POINT{4, form->Filter->SpinButton()->Height() - 4}; }
    void Press(POINT at) {
        auto t = FormHarness::TargetOf(form->Filter->SpinButton(), at);
        h.App().MoveTo(t.hwnd, t.point);
        h.App().Press(t.hwnd, t.point);
    }
    void Release(POINT at) {
        auto t = FormHarness::TargetOf(form->Filter->SpinButton(), at);
        h.App().Release(t.hwnd, t.point);
    }
};

TEST_F(SpinWindow, StartsAtZeroTextAndShowsTheStreamedValue) {
    EXPECT_EQ(form->Filter->Text(), QStringLiteral("16000"));
    EXPECT_EQ(form->Hours->Text(), QStringLiteral("0"));
    EXPECT_EQ(form->Filter->SpinButton()->Align(), vcl::alRight);
    EXPECT_EQ(form->Filter->SpinButton()->Width(), 14);
    EXPECT_TRUE(form->Filter->SpinButton()->Repeating());
}

TEST_F(SpinWindow, ArrowKeysStepTheValueAndTheWheelDoesNot) {
    form->Filter->SetFocus();
    h.Pump();
    h.Keys(VK_UP);
    h.Keys(VK_UP);
    h.Keys(VK_DOWN);
    EXPECT_EQ(form->Changes, (std::vector<double>{16010, 16020, 16010}));
    EXPECT_EQ(form->Filter->Text(), QStringLiteral("16010"));
    auto t = FormHarness::TargetOf(form->Filter);
    h.App().Wheel(t.hwnd, t.point, 120);
    h.App().Wheel(t.hwnd, t.point, -240);
    EXPECT_EQ(form->Filter->Value(), 16010);
    // Hours at 24: up keeps 24.
    form->Hours->SetValue(24);
    form->Hours->SetFocus();
    h.Pump();
    h.Keys(VK_UP);
    EXPECT_EQ(form->Hours->Value(), 24);
}

TEST_F(SpinWindow, EnterParsesAndIsSwallowedAndLeavingRewritesBadText) {
    h.Type(form->Filter, QStringLiteral("abc"));
    EXPECT_EQ(form->Filter->Value(), 16000);
    h.Keys(VK_RETURN);
    EXPECT_EQ(form->Filter->Text(), QStringLiteral("16000"));
    EXPECT_TRUE(form->Changes.empty());
    form->Filter->SelectAll();
    h.Type(form->Filter, QStringLiteral("99999"));
    form->Hours->SetFocus();   // out of range: the value stays, the text comes back
    h.Pump();
    EXPECT_EQ(form->Filter->Value(), 16000);
    EXPECT_EQ(form->Filter->Text(), QStringLiteral("16000"));
    form->Filter->SetFocus();
    form->Filter->SelectAll();
    h.Type(form->Filter, QStringLiteral("2000"));
    h.Keys(VK_RETURN);
    EXPECT_EQ(form->Changes, (std::vector<double>{2000}));
    EXPECT_EQ(form->Filter->Text(), QStringLiteral("2000"));   // no stray character from Enter
}

TEST_F(SpinWindow, ExtendedAcceptFollowsTheTyping) {
    std::vector<double> hours;
    form->Hours->SetOnValueChanged(rtl::TNotifyEvent([&](rtl::TObject*) { hours.push_back(form->Hours->Value()); }));
    form->Hours->SetExtendedAccept(true);
    form->Hours->SetFocus();
    form->Hours->SelectAll();
    h.Type(form->Hours, QStringLiteral("12"));
    EXPECT_EQ(hours, (std::vector<double>{1, 12}));
    EXPECT_EQ(form->Hours->Text(), QStringLiteral("12"));
    // Without it the typing is only read on Enter or on leaving.
    form->Filter->SetFocus();
    form->Filter->SelectAll();
    h.Type(form->Filter, QStringLiteral("2000"));
    EXPECT_TRUE(form->Changes.empty());
}

// As the platform's up-down control with an edit buddy (the user32 tests replay its trace, updown_buddy),
// the step comes on the press and Up at the upper bound keeps the value; the repeat does not follow that
// control's timings but the skinned edit's own: 400 ms, then every 100 ms.
TEST_F(SpinWindow, HeldUpHalfClicksAtOnceThenAfter400AndEvery100Milliseconds) {
    Press(UpHalf());
    EXPECT_EQ(form->Changes.size(), 1u);
    h.Advance(399ms);
    EXPECT_EQ(form->Changes.size(), 1u);
    h.Advance(1ms);
    EXPECT_EQ(form->Changes.size(), 2u);
    h.Advance(100ms);
    h.Advance(100ms);
    EXPECT_EQ(form->Changes, (std::vector<double>{16010, 16020, 16030, 16040}));
    Release(UpHalf());
    h.Advance(500ms);
    EXPECT_EQ(form->Changes.size(), 4u);
    EXPECT_EQ(form->Filter->SpinButton()->RepeatTimer(), nullptr);
}

TEST_F(SpinWindow, ReleaseBeforeTheFirstRepeatGivesOneStep) {
    Press(DownHalf());
    h.Advance(250ms);
    Release(DownHalf());
    h.Advance(1000ms);
    EXPECT_EQ(form->Changes, (std::vector<double>{15990}));
}

TEST_F(SpinWindow, LeavingPausesComingBackResumesAndTheOtherHalfReverses) {
    Press(UpHalf());
    auto out = FormHarness::TargetOf(form->Filter->SpinButton(), POINT{4, 40});
    h.App().MoveTo(out.hwnd, out.point);
    h.Advance(600ms);
    EXPECT_EQ(form->Changes.size(), 1u);
    auto back = FormHarness::TargetOf(form->Filter->SpinButton(), UpHalf());
    h.App().MoveTo(back.hwnd, back.point);
    h.Advance(100ms);
    EXPECT_EQ(form->Changes.size(), 2u);
    auto down = FormHarness::TargetOf(form->Filter->SpinButton(), DownHalf());
    h.App().MoveTo(down.hwnd, down.point);
    h.Advance(100ms);
    EXPECT_EQ(form->Changes, (std::vector<double>{16010, 16020, 16010}));
    Release(DownHalf());
}

TEST_F(SpinWindow, ClearingRepeatingWhileHeldStopsTheTimerWithoutFreeingItUnderItsTick) {
    // Under the address sanitizer a timer freed inside its own tick is a use after free.
    Press(UpHalf());
    form->Filter->SpinButton()->SetRepeating(false);
    h.Advance(400ms);
    h.Advance(300ms);
    EXPECT_EQ(form->Changes.size(), 1u);
    EXPECT_EQ(form->Filter->SpinButton()->RepeatTimer(), nullptr);
    Release(UpHalf());
}

} // namespace

namespace {

// Runs the program's messages for Ms milliseconds of real time, or until Done.
void RunFor(FormHarness& h, int Ms, const std::function<bool()>& Done = nullptr) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < Ms && !(Done && Done())) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        h.Pump();
    }
}

} // namespace

// A person holding the up half of the filter field for a second, on a real X server with the real
// clock: one step on the press, one after 400 ms, then one every 100 ms.
TEST(SpinXdotool, HoldingTheUpHalfForASecondGivesSevenToNineSteps) {
    if (qEnvironmentVariable("QT_QPA_PLATFORM") != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs a real X server (the Xvfb run)";
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty()) GTEST_SKIP() << "xdotool is missing";
    FormHarness h;
    auto* form = h.Show<TSpinForm>();
    TwUseRealClock();
    const POINT up = testing_support::HeadlessApp::ToScreen(form->Filter->SpinButton()->Handle(), POINT{4, 3});
    auto run = [&](QStringList args) { ASSERT_EQ(QProcess::execute(xdotool, args), 0) << args.join(u' ').toStdString(); };
    run({QStringLiteral("mousemove"), QString::number(up.x), QString::number(up.y)});
    RunFor(h, 300);
    form->Changes.clear();
    run({QStringLiteral("mousedown"), QStringLiteral("1")});
    RunFor(h, 2000, [&] { return !form->Changes.empty(); });
    ASSERT_EQ(form->Changes.size(), 1u) << "the press did not arrive";
    RunFor(h, 1000);
    run({QStringLiteral("mouseup"), QStringLiteral("1")});
    RunFor(h, 200);
    const size_t steps = form->Changes.size();
    EXPECT_GE(steps, 7u);
    EXPECT_LE(steps, 9u);
    EXPECT_EQ(form->Filter->Value(), 16000 + 10.0 * double(steps));
}
