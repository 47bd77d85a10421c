// tests/toolbars/BarCommonTest.cpp: the framework's caption-text, queue, settings and drawing routines.
#include "toolbars/BarCommon.h"

#include "rtl/SysUtils.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace bars;

namespace {

struct AccelCase {
    const char16_t* text;
    char16_t accel;
    const char16_t* stripped;
};

class AccelText : public ::testing::TestWithParam<AccelCase> {};

TEST_P(AccelText, FindsTheMarkedCharacterAndStripsTheMarks) {
    const auto& c = GetParam();
    const String text = String::fromUtf16(c.text);
    EXPECT_EQ(FindAccelChar(text), c.accel) << text.toStdString();
    EXPECT_EQ(StripAccelChars(text), String::fromUtf16(c.stripped)) << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, AccelText,
                         ::testing::Values(AccelCase{u"Save &As", u'A', u"Save As"},
                                           AccelCase{u"Fish && Chips", 0, u"Fish & Chips"},
                                           AccelCase{u"&Edit && &View", u'V', u"Edit & View"},
                                           AccelCase{u"Exit&", 0, u"Exit"},
                                           AccelCase{u"Fish && &Chips", u'C', u"Fish & Chips"},
                                           AccelCase{u"", 0, u""}));

TEST(CaptionText, TrailingPunctuationGoesOnlyFromLongerTexts) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u":", u":"}, {u"...", u"..."}, {u"Open...", u"Open"}, {u"Name:", u"Name"}, {u"A...:", u"A..."}, {u"x.", u"x."}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(StripTrailingPunctuation(String::fromUtf16(in)), String::fromUtf16(out)) << String::fromUtf16(in).toStdString();
    EXPECT_EQ(EscapeAmpersands(u"a&b&&"_qs), u"a&&b&&&&"_qs);
    EXPECT_EQ(CharToLower(u'F'), u'f');
    EXPECT_EQ(CharToLower(u'\u00C4'), u'\u00E4');
}

// ---- the menu show delay and its registry fall-back ----

class MenuShowDelay : public ::testing::Test {
protected:
    void SetUp() override {
        TwSetSystemParametersProvider([](UINT action, UINT, PVOID, UINT) -> int {
            return action == SPI_GETMENUSHOWDELAY ? 0 : -1;  // the system query fails
        });
        ForgetMenuShowDelay();
    }
    void TearDown() override {
        TwSetSystemParametersProvider(nullptr);
        RegDelete();
        ForgetMenuShowDelay();
    }
    static void RegSet(DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, u"MenuShowDelay", 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    static void RegDelete() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Control Panel\\Desktop", 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
        RegDeleteValueW(key, u"MenuShowDelay");
        RegCloseKey(key);
    }
};

TEST_F(MenuShowDelay, ReadsTheRegistryWhenTheSystemQueryFails) {
    const char16_t text[] = u"250";
    RegSet(REG_SZ, text, sizeof text);
    EXPECT_EQ(GetMenuShowDelay(), 250);
    // Read once: a later change is not seen until the value is forgotten.
    const char16_t other[] = u"100";
    RegSet(REG_SZ, other, sizeof other);
    EXPECT_EQ(GetMenuShowDelay(), 250);
    ForgetMenuShowDelay();
    EXPECT_EQ(GetMenuShowDelay(), 100);
}

TEST_F(MenuShowDelay, FallsBackByWhatTheRegistryHolds) {
    RegDelete();
    EXPECT_EQ(GetMenuShowDelay(), 400) << "value missing";
    ForgetMenuShowDelay();
    const char16_t word[] = u"soon";
    RegSet(REG_SZ, word, sizeof word);
    EXPECT_EQ(GetMenuShowDelay(), 0) << "not a number";
    ForgetMenuShowDelay();
    const DWORD number = 300;
    RegSet(REG_DWORD, &number, sizeof number);
    EXPECT_EQ(GetMenuShowDelay(), 0) << "not a string";
    ForgetMenuShowDelay();
    const char16_t negative[] = u"-5";
    RegSet(REG_SZ, negative, sizeof negative);
    EXPECT_EQ(GetMenuShowDelay(), 0) << "negative";
}

TEST(SystemSettings, DelayAndFlagsComeFromTheSystemFirst) {
    TwSetSystemParametersProvider([](UINT action, UINT, PVOID pv, UINT) -> int {
        switch (action) {
        case SPI_GETMENUSHOWDELAY: *static_cast<int*>(pv) = -20; return 1;
        case SPI_GETKEYBOARDCUES: return 0;  // fails: accelerators always underlined
        case SPI_GETFLATMENU: *static_cast<BOOL*>(pv) = TRUE; return 1;
        default: return -1;
        }
    });
    EXPECT_EQ(GetMenuShowDelay(), 0);
    EXPECT_TRUE(AlwaysUnderlineAccelKeys());
    EXPECT_TRUE(IsFlatMenuStyleOn());
    EXPECT_FALSE(GetSystemParamBool(SPI_GETFLATMENU + 0x1000, false));
    TwSetSystemParametersProvider(nullptr);
}

TEST(ScaleForDPI, FollowsTheScreenPixelsPerInch) {
    const std::tuple<int, int, int> cases[] = {{96, 4, 4}, {120, 4, 5}, {144, 4, 6}, {120, 3, 4}, {144, 19, 29}, {120, 22, 28}};
    for (const auto& [dpi, n, expected] : cases) {
        TwSetLogPixels(dpi);
        EXPECT_EQ(ScaleForDPI(n), expected) << dpi << " dpi, " << n;
    }
    TwSetLogPixels(96);
}

TEST(Monitors, OneMonitorGivesTheScreen) {
    EXPECT_FALSE(MultipleMonitors());
    const TRect r = MonitorRectForPoint(TPoint(5000, 5000), false);
    EXPECT_EQ(r, TRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
}

TEST(Monitors, SeveralMonitorsGiveTheNearestOne) {
    TwSetMonitorProvider([](TwMonitorDesc* mons, int max) {
        const TwMonitorDesc all[2] = {{{0, 0, 1280, 1024}, {0, 0, 1280, 984}, TRUE},
                                      {{-1024, 0, 0, 768}, {-1024, 0, 0, 740}, FALSE}};
        for (int i = 0; i < 2 && i < max; ++i) mons[i] = all[i];
        return 2;
    });
    TwSetSystemMetric(SM_CMONITORS, 2);
    EXPECT_TRUE(MultipleMonitors());
    EXPECT_EQ(MonitorRectForPoint(TPoint(-10, 10), false), TRect(-1024, 0, 0, 768));
    EXPECT_EQ(MonitorRectForPoint(TPoint(-3000, 10), true), TRect(-1024, 0, 0, 740));
    EXPECT_EQ(MonitorRectForRect(TRect(1200, 10, 1400, 20), false), TRect(0, 0, 1280, 1024));
    TwSetSystemMetric(SM_CMONITORS, 1);
    TwSetMonitorProvider(nullptr);
}

// ---- the queue ----

TEST(Messages, RemoveMessagesStopsAtAQuitAndPostsItAgain) {
    HWND wnd = CreateWindowExW(0, u"STATIC", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    PostMessageW(wnd, WM_USER + 1, 0, 0);
    PostQuitMessage(7);
    PostMessageW(wnd, WM_USER + 50, 0, 0);
    RemoveMessages(WM_USER, WM_USER + 10);
    // The range is emptied, what lies outside it stays, and the quit comes back with its code.
    std::vector<UINT> left;
    WPARAM quitCode = 0;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        left.push_back(msg.message);
        if (msg.message == WM_QUIT) quitCode = msg.wParam;
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<UINT>{WM_QUIT, WM_USER + 50}));
    EXPECT_EQ(quitCode, WPARAM(7));
    DestroyWindow(wnd);
}

TEST(Lists, CreatedOnDemandAndFreedWhenEmpty) {
    std::unique_ptr<std::vector<int>> list;
    EXPECT_TRUE(AddToList(list, 1));
    EXPECT_FALSE(AddToList(list, 1));
    EXPECT_TRUE(AddToFrontOfList(list, 2));
    EXPECT_EQ(*list, (std::vector<int>{2, 1}));
    RemoveFromList(list, 2);
    RemoveFromList(list, 3);
    ASSERT_TRUE(list);
    RemoveFromList(list, 1);
    EXPECT_FALSE(list);
}

// ---- drawing ----

// A memory DC, white.
struct Paper {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap;
    HGDIOBJ old;
    explicit Paper(int W = 40, int H = 40) {
        HDC screen = GetDC(nullptr);
        bitmap = CreateCompatibleBitmap(screen, W, H);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bitmap);
        RECT r{0, 0, W, H};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Paper() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y) & 0xFFFFFF; }
};

TEST(InvertFrame, DrawnTwiceIsGoneAndMovesWhenOldAndNewDiffer) {
    Paper p;
    const SIZE border{3, 3};
    DrawHalftoneInvertFrame(p.dc, TRect(5, 5, 25, 25), TRect(), border, SIZE{0, 0});
    // The frame: a checkerboard in its 3-pixel border, nothing inside or outside.
    EXPECT_NE(p.At(5, 5) == 0xFFFFFF, p.At(6, 5) == 0xFFFFFF);
    EXPECT_EQ(p.At(15, 15), 0xFFFFFFu);
    EXPECT_EQ(p.At(30, 30), 0xFFFFFFu);
    EXPECT_EQ(p.At(10, 10), 0xFFFFFFu);
    // Moving: old and new together; the old border is clean afterwards, the new one drawn.
    DrawHalftoneInvertFrame(p.dc, TRect(10, 10, 30, 30), TRect(5, 5, 25, 25), border, border);
    for (int x = 5; x < 10; ++x) EXPECT_EQ(p.At(x, 5), 0xFFFFFFu) << x;
    bool drawn = false;
    for (int x = 10; x < 14; ++x) drawn |= p.At(x, 10) != 0xFFFFFF;
    EXPECT_TRUE(drawn);
    DrawHalftoneInvertFrame(p.dc, TRect(), TRect(10, 10, 30, 30), SIZE{0, 0}, border);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(p.At(x, y), 0xFFFFFFu) << x << "," << y;
}

TEST(FrameRegion, EmptyAndThickBorders) {
    HRGN empty = CreateFrameRgn(TRect(5, 5, 5, 20), SIZE{2, 2});
    RECT box;
    EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
    DeleteObject(empty);
    // A border thicker than half the rectangle leaves no hole: the whole rectangle.
    HRGN full = CreateFrameRgn(TRect(0, 0, 10, 10), SIZE{6, 6});
    EXPECT_TRUE(PtInRegion(full, 5, 5));
    DeleteObject(full);
    HRGN frame = CreateFrameRgn(TRect(0, 0, 10, 10), SIZE{2, 2});
    EXPECT_TRUE(PtInRegion(frame, 1, 5));
    EXPECT_FALSE(PtInRegion(frame, 5, 5));
    EXPECT_FALSE(PtInRegion(frame, 10, 5));
    DeleteObject(frame);
}

TEST(GradientFillRect, RunsFromTheFirstColourToTheSecond) {
    ASSERT_TRUE(IsGradientFillAvailable());
    Paper p;
    GradientFillRect(p.dc, TRect(0, 0, 40, 10), RGB(0, 0, 0), RGB(255, 0, 0), true);
    EXPECT_LT(GetRValue(p.At(0, 5)), 20);
    EXPECT_GT(GetRValue(p.At(39, 5)), 235);
    EXPECT_EQ(p.At(0, 20), 0xFFFFFFu);
}

TEST(TextWidth, MeasuresEachFontAndTextOnItsOwnAndWithoutTheMarks) {
    // Widths are remembered: a second font, a second text, or the same text measured again must each
    // give what the platform measures for them.
    Paper p;
    auto font = [](int height, int weight) {
        LOGFONTW lf{};
        lf.lfHeight = height;
        lf.lfWeight = weight;
        std::u16string face = u"Tahoma";
        std::copy(face.begin(), face.end(), lf.lfFaceName);
        return CreateFontIndirectW(&lf);
    };
    auto measured = [&](const String& s) {
        SIZE size{};
        GetTextExtentPoint32W(p.dc, reinterpret_cast<LPCWSTR>(s.utf16()), int(s.size()), &size);
        return int(size.cx);
    };
    const HFONT fonts[] = {font(-11, FW_NORMAL), font(-11, FW_BOLD), font(-20, FW_NORMAL)};
    std::vector<int> widths;
    for (int round = 0; round < 2; ++round)
        for (HFONT f : fonts) {
            const HGDIOBJ old = SelectObject(p.dc, f);
            for (const String& s : {u"Convert all files"_qs, u"Convert"_qs}) {
                EXPECT_EQ(GetTextWidth(p.dc, s, false), measured(s));
                if (round == 0) widths.push_back(measured(s));
            }
            EXPECT_EQ(GetTextWidth(p.dc, u"&Open && close"_qs, true), measured(u"Open & close"_qs));
            EXPECT_EQ(GetTextWidth(p.dc, u"&Open && close"_qs, false), measured(u"&Open && close"_qs));
            SelectObject(p.dc, old);
        }
    EXPECT_LT(widths[0], widths[4]);  // the larger font is wider
    EXPECT_LT(widths[1], widths[0]);
    for (HFONT f : fonts) DeleteObject(f);
}

TEST(VerticalText, UnderlinesTheAcceleratorUnlessHidden) {
    auto inkColumns = [](UINT format) {
        Paper p;
        SetBkMode(p.dc, TRANSPARENT);
        DrawVerticalText(p.dc, u"&Wide"_qs, TRect(0, 0, 40, 40), format);
        int ink = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) ink += p.At(x, y) != 0xFFFFFF;
        return ink;
    };
    const int shown = inkColumns(0), hidden = inkColumns(DT_HIDEPREFIX);
    EXPECT_GT(hidden, 0);
    EXPECT_GT(shown, hidden);
}

} // namespace

namespace {

// Windows that print themselves: WM_PRINT through HandlePrintRequest, the client in a solid colour.
LRESULT CALLBACK PrintingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_PRINT) {
        vcl::TMessage msg;
        msg.Msg = m;
        msg.WParam = w;
        msg.LParam = l;
        HandlePrintRequest(h, msg, nullptr, 0);
        return msg.Result;
    }
    if (m == WM_PRINTCLIENT) {
        RECT r;
        GetClientRect(h, &r);
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(h, GWLP_USERDATA)));
        FillRect(reinterpret_cast<HDC>(w), &r, brush);
        DeleteObject(brush);
        return 0;
    }
    if (m == WM_ERASEBKGND) return 1;
    return DefWindowProcW(h, m, w, l);
}

HWND PrintingWindow(HWND parent, int x, int y, int w, int h, COLORREF color, bool visible) {
    static const bool registered = [] {
        WNDCLASSW cls{};
        cls.lpfnWndProc = PrintingProc;
        cls.lpszClassName = u"BarPrintingWindow";
        return RegisterClassW(&cls) != 0;
    }();
    (void)registered;
    const DWORD style = (parent ? WS_CHILD : WS_POPUP) | (visible ? WS_VISIBLE : 0);
    HWND wnd = CreateWindowExW(0, u"BarPrintingWindow", u"", style, x, y, w, h, parent, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(wnd, GWLP_USERDATA, static_cast<LONG_PTR>(color));
    return wnd;
}

TEST(PrintRequest, PrintsTheClientAndTheVisibleChildrenInPlace) {
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), green = RGB(0, 255, 0);
    HWND parent = PrintingWindow(nullptr, 0, 0, 60, 40, red, true);
    [[maybe_unused]] HWND child = PrintingWindow(parent, 10, 10, 20, 10, blue, true); // printed with its parent
    HWND hidden = PrintingWindow(parent, 40, 10, 10, 10, green, false);
    Paper p(60, 40);
    vcl::TMessage msg;
    msg.Msg = WM_PRINT;
    msg.WParam = reinterpret_cast<WPARAM>(p.dc);
    msg.LParam = PRF_CLIENT | PRF_CHILDREN;
    HandlePrintRequest(parent, msg, nullptr, 0);
    EXPECT_EQ(msg.Result, 1);
    EXPECT_EQ(p.At(5, 5), red);
    EXPECT_EQ(p.At(15, 15), blue);
    EXPECT_EQ(p.At(29, 19), blue);
    EXPECT_EQ(p.At(30, 20), red);
    EXPECT_EQ(p.At(45, 15), red);  // a hidden child is not printed
    EXPECT_EQ(p.At(59, 39), red);
    // Without PRF_CHILDREN only the window itself.
    Paper q;
    msg.WParam = reinterpret_cast<WPARAM>(q.dc);
    msg.LParam = PRF_CLIENT;
    HandlePrintRequest(parent, msg, nullptr, 0);
    EXPECT_EQ(q.At(15, 15), red);
    // A hidden window asked to check visibility prints nothing and answers 0.
    Paper r;
    msg.WParam = reinterpret_cast<WPARAM>(r.dc);
    msg.LParam = PRF_CLIENT | PRF_CHECKVISIBLE;
    HandlePrintRequest(hidden, msg, nullptr, 0);
    EXPECT_EQ(msg.Result, 0);
    EXPECT_EQ(r.At(1, 1), 0xFFFFFFu);
    DestroyWindow(parent);
}

TEST(PrintRequest, TheNonClientPainterGetsTheDCAndItsData) {
    HWND wnd = PrintingWindow(nullptr, 0, 0, 20, 20, RGB(1, 2, 3), true);
    Paper p;
    static HDC seenDC;
    static LPARAM seenData;
    seenDC = nullptr;
    seenData = 0;
    vcl::TMessage msg;
    msg.Msg = WM_PRINT;
    msg.WParam = reinterpret_cast<WPARAM>(p.dc);
    msg.LParam = PRF_NONCLIENT;
    HandlePrintRequest(
        wnd, msg,
        [](HWND, HDC DC, LPARAM Data) {
            seenDC = DC;
            seenData = Data;
        },
        77);
    EXPECT_EQ(seenDC, p.dc);
    EXPECT_EQ(seenData, 77);
    EXPECT_EQ(p.At(5, 5), 0xFFFFFFu);  // no PRF_CLIENT: the client is not printed
    DestroyWindow(wnd);
}

TEST(PrintRequest, PrintClientRunsThePaintHandlerWithTheDC) {
    Paper p;
    vcl::TMessage seen;
    vcl::TMessage msg;
    msg.Msg = WM_PRINTCLIENT;
    msg.WParam = reinterpret_cast<WPARAM>(p.dc);
    HandlePrintClientRequest([&](vcl::TMessage& m) { seen = m; }, msg);
    EXPECT_EQ(seen.Msg, UINT(WM_PAINT));
    EXPECT_EQ(seen.WParam, reinterpret_cast<WPARAM>(p.dc));
    EXPECT_EQ(seen.LParam, 0);
}

TEST(SmallCaption, FillsTheBackgroundInTheCaptionColour) {
    Paper p;
    TwSetSystemParametersProvider([](UINT action, UINT, PVOID pv, UINT) -> int {
        if (action != SPI_GETGRADIENTCAPTIONS) return -1;
        *static_cast<BOOL*>(pv) = FALSE;
        return 1;
    });
    DrawSmallWindowCaption(nullptr, p.dc, TRect(0, 0, 40, 12), u"Tools"_qs, true);
    DrawSmallWindowCaption(nullptr, p.dc, TRect(0, 20, 40, 32), QString(), false);
    DrawSmallWindowCaption(nullptr, p.dc, TRect(30, 34, 30, 40), QString(), true);  // empty: nothing
    TwSetSystemParametersProvider(nullptr);
    EXPECT_EQ(p.At(39, 1), GetSysColor(COLOR_ACTIVECAPTION) & 0xFFFFFF);
    EXPECT_EQ(p.At(39, 21), GetSysColor(COLOR_INACTIVECAPTION) & 0xFFFFFF);
    EXPECT_EQ(p.At(30, 36), 0xFFFFFFu);
}

} // namespace

namespace {

TEST(Sounds, ASoundIsConfiguredWhenItsSchemeEntryNamesAFile) {
    auto setCurrent = [](const char16_t* name, const char16_t* value) {
        const String path = u"AppEvents\\Schemes\\Apps\\.Default\\"_qs + String::fromUtf16(name) + u"\\.Current"_qs;
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, reinterpret_cast<LPCWSTR>(path.utf16()), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const String v = String::fromUtf16(value);
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.utf16()),
                       static_cast<DWORD>((v.size() + 1) * sizeof(char16_t)));
        RegCloseKey(key);
    };
    EXPECT_FALSE(IsMenuSoundConfigured(u"BarTestNoSuchSound"_qs));
    setCurrent(u"BarTestEmpty", u"");
    EXPECT_FALSE(IsMenuSoundConfigured(u"BarTestEmpty"_qs));
    setCurrent(u"BarTestShort", u"a.wav");  // fits the 8-byte buffer
    EXPECT_TRUE(IsMenuSoundConfigured(u"BarTestShort"_qs));
    setCurrent(u"BarTestLong", u"C:\\Sounds\\menu popup.wav");  // longer than the buffer still counts
    EXPECT_TRUE(IsMenuSoundConfigured(u"BarTestLong"_qs));
    // No sound system here: the request is recorded, nothing is played.
    static std::vector<std::string> calls;
    calls.clear();
    const TwCallRecorder previous = TwSetCallRecorder([](LPCWSTR name, LPCWSTR text, ULONG_PTR arg) {
        calls.push_back(QString::fromUtf16(name).toStdString() + " " + QString::fromUtf16(text).toStdString() + " " +
                        std::to_string(arg));
    });
    PlayMenuSound(u"MenuPopup"_qs);
    TwSetCallRecorder(previous);
    // SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_SYSTEM
    EXPECT_EQ(calls, std::vector<std::string>{"PlaySoundW MenuPopup " + std::to_string(0x210003)});
}

TEST(MouseTracking, IsAvailableForAWindow) {
    HWND wnd = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(StartMouseTracking(wnd, TME_LEAVE));
    static std::vector<ULONG_PTR> codes;
    codes.clear();
    const TwCallRecorder previous = TwSetCallRecorder([](LPCWSTR name, LPCWSTR, ULONG_PTR arg) {
        if (QString::fromUtf16(name) == u"LockSetForegroundWindow"_qs) codes.push_back(arg);
    });
    CallLockSetForegroundWindow(true);
    CallLockSetForegroundWindow(false);
    TwSetCallRecorder(previous);
    EXPECT_EQ(codes, (std::vector<ULONG_PTR>{1, 2}));  // LSFW_LOCK, LSFW_UNLOCK
    DestroyWindow(wnd);
}

} // namespace
