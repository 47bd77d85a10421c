// tests/styling/windows/UxThemeTest.cpp: theme handles recorded and identified, background calls
// dispatched by class text, colours from the class table, text drawn through the style, and the
// DPI-aware open reached by its number on older systems.
#include "tests/styling/windows/StyleHookFixture.h"


#include "styling/hooking/CodeHooks.h"
#include "styling/hooks/Styling.h"
#include "styling/hooks/UxTheme.h"

using namespace styling;
using namespace styletest;
using namespace vcl;

namespace {

// Calls of the theme library's own functions, counted under the styling's interceptions: a hook
// installed later runs after the earlier ones, so the styling's detours reach these through their
// trampolines.
HTHEME (*OrgOpen)(HWND, LPCWSTR) = nullptr;
int Opens = 0;
HTHEME CountOpen(HWND W, LPCWSTR L) {
    ++Opens;
    return OrgOpen(W, L);
}
HRESULT (*OrgText)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, LPCRECT) = nullptr;
int LibraryTexts = 0;
HRESULT CountText(HTHEME H, HDC D, int P, int S, LPCWSTR T, int C, DWORD F, DWORD F2, LPCRECT R) {
    ++LibraryTexts;
    return OrgText(H, D, P, S, T, C, F, F2, R);
}

struct Drawn {
    int Calls = 0;
    rtl::String ClassName;
    HWND Window = nullptr;
};
Drawn Recorded;
HRESULT RecordingHandler(HTHEME, HDC, int, int, LPCRECT, const void*, TDrawThemeBackgroundTrampoline,
                         const rtl::String& ClassName, HWND hwnd) {
    ++Recorded.Calls;
    Recorded.ClassName = ClassName;
    Recorded.Window = hwnd;
    return S_OK;
}

class UxThemeTest : public StyleHookTest {
protected:
    void SetUp() override {
        StyleHookTest::SetUp();
        OrgOpen = reinterpret_cast<decltype(OrgOpen)>(
            HookModuleFunction(QStringLiteral("uxtheme.dll"), "OpenThemeData", reinterpret_cast<void*>(&CountOpen)));
        OrgText = reinterpret_cast<decltype(OrgText)>(
            HookModuleFunction(QStringLiteral("uxtheme.dll"), "DrawThemeText", reinterpret_cast<void*>(&CountText)));
        TwSetThemeActive(TRUE);
        Opens = LibraryTexts = 0;
        Recorded = Drawn{};
        RegisterThemeClassHandler(QStringLiteral("Button-OK;Button"), &RecordingHandler);
        RegisterThemeClassHandler(QStringLiteral("LISTVIEW"), &RecordingHandler);
        Bmp = std::make_unique<TBitmap>(60, 20);
        Bmp->SetPixelFormat(pf32bit);
    }
    void TearDown() override {
        TwSetThemeActive(FALSE);
        UnhookFunctionIfSet(reinterpret_cast<void*>(OrgText));
        UnhookFunctionIfSet(reinterpret_cast<void*>(OrgOpen));
        StyleHookTest::TearDown();
    }
    HRESULT Background(HTHEME H) {
        const RECT r{0, 0, 10, 10};
        return DrawThemeBackground(H, Bmp->Canvas()->Handle(), 1, 1, &r, nullptr);
    }
    // The pixels of the text drawn on a fresh bitmap.
    std::vector<COLORREF> Text(HTHEME H, int Part, int State, const char16_t* S, int Count = -1, DWORD Flags = DT_SINGLELINE) {
        auto b = std::make_unique<TBitmap>(80, 40);
        b->SetPixelFormat(pf32bit);
        const RECT r{0, 0, 80, 40};
        HDC dc = b->Canvas()->Handle();
        DrawThemeText(H, dc, Part, State, reinterpret_cast<LPCWSTR>(S), Count, Flags, 0, &r);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 80; ++x) pixels.push_back(GetPixel(dc, x, y));
        return pixels;
    }
    std::unique_ptr<TBitmap> Bmp;
};

TEST_F(UxThemeTest, HandleOpenedUnderTheSystemStyleIsDispatchedByItsWholeClassText) {
    UseSystemStyle();
    const HWND w = Make(PlainClass, WS_POPUP);
    const HTHEME h = OpenThemeData(w, u"button-ok;button");
    ASSERT_NE(h, HTHEME(0));
    EXPECT_EQ(Background(h), S_OK);
    EXPECT_EQ(Recorded.Calls, 0) << "the system style: the library draws";
    TStyleManager::SetStyle(Style.get());
    EXPECT_EQ(Background(h), S_OK);
    EXPECT_EQ(Recorded.Calls, 1);
    EXPECT_EQ(Recorded.ClassName, QStringLiteral("button-ok;button"));
    EXPECT_EQ(Recorded.Window, w);
    // A list that is no key reaches no handler through its members.
    const HTHEME list = OpenThemeData(w, u"Edit;Button");
    Background(list);
    EXPECT_EQ(Recorded.Calls, 1);
    TSysStyleManager::StylingEnabled = false;
    Background(h);
    EXPECT_EQ(Recorded.Calls, 1) << "switched off: forwarded";
}

TEST_F(UxThemeTest, HandleOpenedBeforeRecordingIsIdentifiedOnceByProbing) {
    // Opened past every interception, as before the styling started.
    const HTHEME early = OrgOpen(nullptr, u"LISTVIEW");
    const HTHEME stranger = OrgOpen(nullptr, u"TOOLBAR");
    ASSERT_NE(early, HTHEME(0));
    EXPECT_TRUE(RecordedThemeClass(early).isEmpty());
    Opens = 0;
    EXPECT_EQ(Background(early), S_OK);
    EXPECT_EQ(Recorded.Calls, 1);
    EXPECT_EQ(Opens, 2) << "\"SCROLLBAR\", then \"LISTVIEW\", which gives the same handle";
    EXPECT_EQ(RecordedThemeClass(early), QStringLiteral("LISTVIEW"));
    EXPECT_EQ(RecordedThemeWindow(early), nullptr);
    Background(early);
    EXPECT_EQ(Opens, 2) << "recorded: no probing again";
    // A class outside the probes is probed on every call and forwarded.
    Background(stranger);
    Background(stranger);
    EXPECT_EQ(Opens, 22);
    EXPECT_EQ(Recorded.Calls, 2);
}

TEST_F(UxThemeTest, EveryClassListTextHasItsOwnStableHandle) {
    const HTHEME a = OpenThemeData(nullptr, u"LISTVIEW");
    EXPECT_EQ(OpenThemeData(nullptr, u"listview"), a);
    EXPECT_NE(OpenThemeData(nullptr, u"Explorer::ListView"), a);
    EXPECT_EQ(Opens, 3);
    // The siblings open through the library's own step: seen once each.
    OpenThemeDataEx(nullptr, u"EDIT", 0);
    OpenThemeDataForDpi(nullptr, u"EDIT", 96);
    EXPECT_EQ(Opens, 3);
    EXPECT_EQ(RecordedThemeClass(OpenThemeDataEx(nullptr, u"Edit", 0)), QStringLiteral("Edit"));
}

struct ColorCase {
    const char* Class;
    int Part, State;
    bool Matched, Found;
};

TEST_F(UxThemeTest, ColourTableAnswersItsRowsAndForwardsTheRest) {
    const ColorCase cases[] = {{"EDIT", 1, 8, true, true},           {"edit", 1, 7, true, false},
                               {"TASKDIALOGSTYLE", 99, 5, true, true}, {"taskdialogstyle", 2, 0, true, true},
                               {"CommandModule", 5, 5, true, false},  {"CommandModule", 9, 2, true, true},
                               {"Explorer::ListView", 4, 3, true, true}, {"TREEVIEW", 2, 0, true, true},
                               {"TREEVIEW", 1, 0, true, false},       {"Unknown", 0, 0, false, false}};
    for (const ColorCase& c : cases) {
        SCOPED_TRACE(std::string(c.Class) + " " + std::to_string(c.Part) + "/" + std::to_string(c.State));
        const TThemeColorAnswer a = ThemeClassColor(QString::fromLatin1(c.Class), c.Part, c.State);
        EXPECT_EQ(a.Matched, c.Matched);
        EXPECT_EQ(a.Found, c.Found);
    }
    EXPECT_EQ(ThemeClassColor(QStringLiteral("PreviewPane"), 8, 0).Color, 0x0000FFu);
    EXPECT_EQ(ThemeClassColor(QStringLiteral("TreeView"), 0, 0).Color, 0x402010u) << "the style's window colour";
}

TEST_F(UxThemeTest, TextColourPropertyOfARecordedHandleIsTheStylesWindowText) {
    const HTHEME lv = OpenThemeData(nullptr, u"LISTVIEW");
    COLORREF c = 0;
    ASSERT_EQ(GetThemeColor(lv, 1, 1, TMT_TEXTCOLOR, &c), S_OK);
    EXPECT_EQ(c, COLORREF(GetSysColor(COLOR_WINDOWTEXT)));
    // Without the text-colour property, the table: part 0 state 0 is the window colour.
    ASSERT_EQ(GetThemeColor(lv, 0, 0, TMT_FILLCOLOR, &c), S_OK);
    EXPECT_EQ(c, 0x402010u);
    EXPECT_EQ(GetThemeSysColor(lv, COLOR_WINDOW), 0x402010u);
}

TEST_F(UxThemeTest, MeasuringAndUnknownTextGoesToTheLibrary) {
    const HTHEME toolbar = OpenThemeData(nullptr, u"TOOLBAR");
    Text(toolbar, 0, 1, u"abc", -1, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(LibraryTexts, 1);
    Text(toolbar, 0, 5, u"abc");
    EXPECT_EQ(LibraryTexts, 2) << "a checked toolbar button has no row";
    Text(toolbar, 0, 1, u"abc");
    EXPECT_EQ(LibraryTexts, 2) << "drawn by the style";
    const HTHEME button = OpenThemeData(nullptr, u"Button-OK;Button");
    Text(button, 1, 1, u"OK");
    EXPECT_EQ(LibraryTexts, 2) << "its list holds BUTTON";
}

TEST_F(UxThemeTest, MonthCalendarDrawsItsFirstLineAndCountsAreHonoured) {
    const HTHEME cal = OpenThemeData(nullptr, u"MONTHCAL");
    EXPECT_EQ(Text(cal, 6, 1, u"12\n34", -1, 0), Text(cal, 6, 1, u"12", -1, 0));
    EXPECT_NE(Text(cal, 6, 1, u"\n34", -1, 0), Text(cal, 6, 1, u"", -1, 0)) << "a leading line feed: drawn whole";
    const HTHEME toolbar = OpenThemeData(nullptr, u"TOOLBAR");
    EXPECT_EQ(Text(toolbar, 0, 1, u"abcdef", 3), Text(toolbar, 0, 1, u"abc"));
    EXPECT_NE(Text(toolbar, 0, 1, u"abcdef", 4), Text(toolbar, 0, 1, u"abc"));
    EXPECT_EQ(LibraryTexts, 0);
}

TEST_F(UxThemeTest, DpiAwareOpenIsReachedByNumberOnOlderTens) {
    EXPECT_TRUE(OpenThemeDataForDpiIntercepted());
    const HMODULE ux = GetModuleHandleW(u"uxtheme.dll");
    struct Case {
        DWORD Major, Minor, Build;
        bool Hidden, Expected;
    } cases[] = {{10, 0, 14393, true, true}, {10, 0, 17763, true, false}, {6, 1, 7601, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Major) + "." + std::to_string(c.Build));
        styling::Finalize();
        TwSetVersion(c.Major, c.Minor, c.Build);
        TwHideExport(ux, "OpenThemeDataForDpi", c.Hidden);
        EXPECT_EQ(GetProcAddress(ux, "OpenThemeDataForDpi") == nullptr, c.Hidden);
        styling::Initialize();
        EXPECT_EQ(OpenThemeDataForDpiIntercepted(), c.Expected);
        auto byNumber = reinterpret_cast<HTHEME (*)(HWND, LPCWSTR, UINT)>(
            reinterpret_cast<void*>(GetProcAddress(ux, reinterpret_cast<LPCSTR>(129))));
        ASSERT_NE(byNumber, nullptr);
        const HTHEME h = byNumber(nullptr, u"Progress", 120);
        EXPECT_EQ(RecordedThemeClass(h) == QStringLiteral("Progress"), c.Expected);
        TwHideExport(ux, "OpenThemeDataForDpi", FALSE);
        TwSetVersion(0, 0, 0);
    }
}

} // namespace
