// tests/styling/windows/ControlTraceTest.cpp: scenarios recorded on the real platform, run again with
// the styled hooks on: the buttons' check state for every button type and the combo box's dropped state
// give the real platform's answers; a dialog's children ask it for their colours as there; a window
// with a scrolling hook gets the real platform's client rectangle as its bars come and go.
#include "tests/styling/windows/StyleHookFixture.h"

#include <set>
#include <string>
#include <vector>

#include "styling/hooks/DialogHook.h"
#include "styling/hooks/ScrollingHooks.h"
#include "styling/hooks/StdCtrlHooks.h"
#include "tests/platform/user32/MenuOracle.h"

using namespace styletest;
using namespace styling;

namespace {

// The lines of a trace that start with one of Marks ("> step", "< answer", "% colour request").
std::vector<std::string> Lines(const std::string& Trace, std::initializer_list<const char*> Marks) {
    std::vector<std::string> out;
    std::istringstream in(Trace);
    std::string s;
    while (std::getline(in, s)) {
        if (!s.empty() && s.back() == '\r') s.pop_back();
        for (const char* m : Marks)
            if (s.rfind(m, 0) == 0) {
                out.push_back(s);
                break;
            }
    }
    return out;
}

std::vector<std::string> Answers(const std::string& Trace) { return Lines(Trace, {"> ", "< "}); }

std::string Join(const std::vector<std::string>& L) {
    std::string s;
    for (const std::string& l : L) s += l + "\n";
    return s;
}

std::string RealTrace(const std::string& Name) {
    return ReadMenuTrace(TW_STYLING_SOURCE_DIR "/tests/platform/user32/oracle/traces", Name);
}

class StyledControlTrace : public StyleHookTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        StyleHookTest::SetUp();
        // The harness started under the system style: the controls' hooks are registered under this one.
        styling::UnRegisterStdCtrlStyleHooks();
        styling::RegisterStdCtrlStyleHooks();
    }
    void TearDown() override {
        styling::UnRegisterStdCtrlStyleHooks();
        UseSystemStyle();
        styling::RegisterStdCtrlStyleHooks();
        StyleHookTest::TearDown();
    }
};

TEST_P(StyledControlTrace, AnswersAsTheRealPlatform) {
    const std::string name = GetParam();
    const std::string real = RealTrace(name);
    ASSERT_FALSE(real.empty()) << name;
    size_t before = styling::TSysStyleManager::HookedWindows().size();
    EXPECT_TRUE(OracleRun(name.c_str()));
    const std::string ours(oracleLog, oracleLogLen);
    EXPECT_GT(styling::TSysStyleManager::HookedWindows().size(), before) << "no control was hooked";
    EXPECT_EQ(Answers(ours), Answers(real)) << "left: styled, right: the real platform";
}

INSTANTIATE_TEST_SUITE_P(Queries, StyledControlTrace, ::testing::Values("button_getcheck", "combo_droppedstate"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// A dialog's children, each repainted alone, ask the dialog for their colours with the messages the
// real platform's do, and the combo boxes pass on their edits' and lists' requests: the hooked dialog
// reflects each one to the child's hook by its message, so a child that asked another one would be
// coloured as another kind of control.
class StyledDialogTrace : public StyledControlTrace {
protected:
    // The probe's names of the windows hooked, in order.
    static std::vector<std::string>& Hooked() {
        static std::vector<std::string> names;
        return names;
    }
    template <class THook> static TSysStyleHook* Noted(HWND W) {
        Hooked().push_back(OracleWho(W));
        return CreateHook<THook>(W);
    }
    void SetUp() override {
        StyledControlTrace::SetUp();
        Hooked().clear();
        for (const auto& [name, hook] : Classes()) TSysStyleManager::RegisterSysStyleHook(QString::fromLatin1(name), hook);
    }
    void TearDown() override {
        for (const auto& [name, hook] : Classes()) TSysStyleManager::UnRegisterSysStyleHook(QString::fromLatin1(name));
        StyledControlTrace::TearDown();
    }
    static std::vector<std::pair<const char*, TSysStyleHookClass>> Classes() {
        return {{"#32770", &Noted<TSysDialogStyleHook>},     {"ScrollBar", &Noted<TSysScrollBarStyleHook>},
                {"Button", &Noted<TSysButtonStyleHook>},     {"Edit", &Noted<TSysEditStyleHook>},
                {"ComboBox", &Noted<TSysComboBoxStyleHook>}, {"ComboLBox", &Noted<TSysListBoxStyleHook>},
                {"ListBox", &Noted<TSysListBoxStyleHook>},   {"Static", &Noted<TSysStaticStyleHook>}};
    }
};

TEST_F(StyledDialogTrace, ChildrenAskForTheirColoursAsOnTheRealPlatform) {
    // Requests of the real trace that the hooks make unnecessary, each left out of it:
    // - buttons, statics and the combo boxes' own fields are painted by their hooks in the style's
    //   colours, and ask nothing;
    // - a hooked combo box answers its edit's and its list's requests itself, by the same reflection as
    //   a hooked dialog, instead of passing them on to the dialog;
    // - the hooked dialog paints its own background and never asks itself for its colour.
    // What the controls' own procedures still paint (edits, lists, the scroll bar) asks as there.
    const std::set<std::string> unasked{
        "% dlg WM_CTLCOLORBTN from=push",         "% dlg WM_CTLCOLORSTATIC from=check",
        "% dlg WM_CTLCOLORSTATIC from=radio",     "% dlg WM_CTLCOLORSTATIC from=three",
        "% dlg WM_CTLCOLORSTATIC from=group",     "% dlg WM_CTLCOLORSTATIC from=label",
        "% dlg WM_CTLCOLORBTN from=offbutton",    "% dlg WM_CTLCOLOREDIT from=dropdown",
        "% dlg WM_CTLCOLOREDIT from=droplist",    "% dlg WM_CTLCOLOREDIT from=simple",
        "% dlg WM_CTLCOLORSTATIC from=offcombo",  "% dlg WM_CTLCOLOREDIT from=dropdown.edit",
        "% dlg WM_CTLCOLORLISTBOX from=simple.list", "% dlg WM_CTLCOLOREDIT from=simple.edit",
        "% dlg WM_CTLCOLORDLG from=dlg"};
    const std::string real = RealTrace("ctlcolor");
    ASSERT_FALSE(real.empty());
    EXPECT_TRUE(OracleRun("ctlcolor"));
    const std::string ours(oracleLog, oracleLogLen);
    for (const char* name : {"dlg", "push", "check", "group", "edit", "readonly", "memo", "list", "dropdown", "droplist",
                             "simple", "label", "bar", "offcombo"})
        EXPECT_NE(std::find(Hooked().begin(), Hooked().end(), name), Hooked().end()) << name << " is hooked";
    std::vector<std::string> want;
    size_t left = 0;
    for (const std::string& l : Lines(real, {"> ", "% "}))
        if (unasked.count(l)) ++left;
        else want.push_back(l);
    EXPECT_EQ(left, unasked.size()) << "a request left out is no longer in the real trace";
    EXPECT_EQ(Join(Lines(ours, {"> ", "% "})), Join(want)) << "left: styled, right: the real platform";
}

// The probe's window with a scrolling hook, its bars switched on and off. Taken on after the window was
// made (as a dialog's children are), the hook leaves the frame to the window's own calculation and takes
// only the bars off: the window gets the real platform's client rectangle and hears its messages, with
// two differences the hook makes:
// - it writes the window's style without the bars and back around each calculation, and the window
//   hears both writes;
// - with no bar the hook computes the client alone, so the client covered the one-pixel frame until the
//   bars came: with them the client moves into the frame (WM_MOVE), where the real one stayed.
// Hooked at creation, the hook computes the client alone, and this hook has no border of its own: the
// window's frame is then left inside the client.
class OracleScrollingHook : public styling::TSysScrollingStyleHook {
public:
    explicit OracleScrollingHook(HWND W) : TSysScrollingStyleHook(W) { SetStyleElements(styling::TStyleElements{styling::seBorder}); }
};
class LateScrollingHook : public OracleScrollingHook {
public:
    using OracleScrollingHook::OracleScrollingHook;
    void WndProc(styling::TMessage& Message) override {
        if (Message.Msg != styling::CM_HOOKED_DIRECTLY) OracleScrollingHook::WndProc(Message);
    }
};

// The window's own messages, without the painting that the two platforms time differently.
std::vector<std::string> WindowMessages(const std::string& Trace) {
    std::vector<std::string> out;
    for (const std::string& l : Lines(Trace, {"> ", "< ", "frame ", "  frame "}))
        if (l.find("WM_NCPAINT") == std::string::npos && l.find("WM_ERASEBKGND") == std::string::npos) out.push_back(l);
    return out;
}

TEST_F(StyledControlTrace, BarsComingAndGoingGiveTheRealClientRectangle) {
    const std::string real = RealTrace("nccalcsize_bars");
    ASSERT_FALSE(real.empty());
    const int border = 2 * GetSystemMetrics(SM_CXBORDER);
    struct Case {
        const char* Name;
        styling::TSysStyleHookClass Hook;
        int Extra;  // pixels of the frame left inside the client, on each axis
    } cases[] = {{"hooked later", &CreateHook<LateScrollingHook>, 0}, {"hooked at creation", &CreateHook<OracleScrollingHook>, border}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        styling::TSysStyleManager::RegisterSysStyleHook(QStringLiteral("OracleWindow"), c.Hook);
        const bool ran = OracleRun("nccalcsize_bars");
        styling::TSysStyleManager::UnRegisterSysStyleHook(QStringLiteral("OracleWindow"));
        ASSERT_TRUE(ran);
        const std::string ours(oracleLog, oracleLogLen);
        std::vector<std::string> want = Answers(real);
        for (std::string& l : want)
            if (l.rfind("< ", 0) == 0) l = "< " + std::to_string(std::stoi(l.substr(2)) + c.Extra);
        EXPECT_EQ(Join(Answers(ours)), Join(want)) << "left: styled, right: the real platform";
        if (c.Extra) continue;
        std::vector<std::string> mine;
        int roundTrips = 0;
        bool moving = false;  // between WM_WINDOWPOSCHANGING and WM_WINDOWPOSCHANGED: the frame is computed
        for (const std::string& l : WindowMessages(ours)) {
            if (l.find("WM_WINDOWPOSCHANG") != std::string::npos) moving = l.find("CHANGING") != std::string::npos;
            if (moving && l.find("WM_STYLECHANG") != std::string::npos) {
                ++roundTrips;  // the hook's own write of the style, or its write back
                continue;
            }
            mine.push_back(l);
        }
        EXPECT_EQ(roundTrips, 8) << "the style written and written back around both calculations";
        const std::string moved = "frame WM_WINDOWPOSCHANGED flags=NOSIZE|NOMOVE|NOZORDER|NOACTIVATE|FRAMECHANGED";
        auto it = std::find(mine.begin(), mine.end(), moved);
        ASSERT_NE(it, mine.end());
        ASSERT_EQ(*(it + 1), "  frame WM_MOVE 201,201") << "the client moves into the frame once";
        *it = moved + "|NOCLIENTMOVE";
        mine.erase(it + 1);
        EXPECT_EQ(Join(mine), Join(WindowMessages(real)));
    }
}

} // namespace
