// The theme stand-in: off by default, classes opened by name, elements drawn when on.
#include "Canvas.h"

using wintest::Canvas;

namespace {

class ThemeTest : public ::testing::Test {
protected:
    void TearDown() override { TwSetThemeActive(FALSE); }
};

TEST_F(ThemeTest, OffByDefaultSoClassicPathsRun) {
    EXPECT_FALSE(IsThemeActive());
    EXPECT_FALSE(IsAppThemed());
    EXPECT_EQ(OpenThemeData(nullptr, u"button"), 0);
}

TEST_F(ThemeTest, ClassListsMatchWithoutCaseAndGiveOneHandlePerListText) {
    TwSetThemeActive(TRUE);
    const HTHEME a = OpenThemeData(nullptr, u"Button"), b = OpenThemeData(nullptr, u"BUTTON");
    EXPECT_NE(a, 0);
    EXPECT_EQ(a, b);
    EXPECT_EQ(OpenThemeData(nullptr, u"NoSuchClass"), 0);
    // A list draws as its first known class, under a handle of its own text: what opened it can be
    // told apart (the styling records handles by the text they were opened with).
    const HTHEME list = OpenThemeData(nullptr, u"NoSuchClass;Header");
    EXPECT_NE(list, 0);
    EXPECT_NE(list, OpenThemeData(nullptr, u"header"));
    EXPECT_EQ(list, OpenThemeData(nullptr, u"nosuchclass;HEADER"));
    EXPECT_NE(OpenThemeData(nullptr, u"Explorer::ListView"), OpenThemeData(nullptr, u"LISTVIEW"));
    EXPECT_EQ(OpenThemeData(nullptr, u"Explorer::ListView"), OpenThemeData(nullptr, u"explorer::listview"));
    EXPECT_EQ(CloseThemeData(a), S_OK);
}

TEST_F(ThemeTest, DrawsPartsInsideTheClipAndAnswersColoursAndSizes) {
    TwSetThemeActive(TRUE);
    const HTHEME button = OpenThemeData(nullptr, u"button");
    Canvas c(30, 20);
    const RECT r{0, 0, 30, 20}, clip{0, 0, 15, 20};
    EXPECT_EQ(DrawThemeBackground(button, c.dc, 1, 2, &r, &clip), S_OK);
    EXPECT_NE(c.At(7, 10), RGB(255, 255, 255));
    EXPECT_EQ(c.At(20, 10), RGB(255, 255, 255));
    const auto hot = c.Pixels();
    DrawThemeBackground(button, c.dc, 1, 3, &r, &clip); // pressed looks different
    EXPECT_NE(c.Pixels(), hot);
    c.Fill(RGB(255, 255, 255));
    EXPECT_EQ(DrawThemeBackground(button, c.dc, 1, 0, &r, nullptr), S_OK); // state 0 draws as normal
    EXPECT_NE(c.At(15, 10), RGB(255, 255, 255));
    EXPECT_EQ(DrawThemeBackground(0x1234, c.dc, 1, 1, &r, nullptr), E_HANDLE);

    COLORREF color = 12345;
    EXPECT_EQ(GetThemeColor(button, 1, 4, TMT_TEXTCOLOR, &color), S_OK);
    EXPECT_NE(color, 12345u);
    color = 12345;
    EXPECT_NE(GetThemeColor(button, 1, 1, 9999, &color), S_OK);
    EXPECT_EQ(color, 12345u); // unchanged when the theme has none
    SIZE box{};
    EXPECT_EQ(GetThemePartSize(button, c.dc, 3, 1, nullptr, TS_TRUE, &box), S_OK);
    EXPECT_EQ(box.cx, 13);
    const HTHEME menu = OpenThemeData(nullptr, u"MENU");
    EXPECT_EQ(GetThemePartSize(menu, c.dc, 11, 1, nullptr, TS_TRUE, &box), S_OK);
    EXPECT_EQ(box.cx, GetSystemMetrics(SM_CXMENUCHECK));
    EXPECT_EQ(box.cy, GetSystemMetrics(SM_CYMENUCHECK));
    EXPECT_GT(box.cy, 0);
}

TEST_F(ThemeTest, ThemeTextUsesTheThemeColour) {
    TwSetThemeActive(TRUE);
    const HTHEME button = OpenThemeData(nullptr, u"button");
    Canvas c(60, 20);
    const RECT r{0, 0, 60, 20};
    SetTextColor(c.dc, RGB(255, 0, 0));
    EXPECT_EQ(DrawThemeText(button, c.dc, 1, 1, u"Go", -1, DT_SINGLELINE, 0, &r), S_OK);
    EXPECT_EQ(GetTextColor(c.dc), RGB(255, 0, 0));
    bool red = false, dark = false;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            red |= c.At(x, y) == RGB(255, 0, 0);
            dark |= c.At(x, y) == RGB(0, 0, 0);
        }
    EXPECT_FALSE(red);
    EXPECT_TRUE(dark);
}

// Every name a program looks up in the library when it binds it by name at start-up.
TEST_F(ThemeTest, EveryExportAProgramBindsByNameResolves) {
    HMODULE ux = TwFindModule(u"UXTHEME.DLL");
    ASSERT_NE(ux, nullptr);
    for (const char* name :
         {"OpenThemeData", "CloseThemeData", "DrawThemeBackground", "DrawThemeText", "GetThemeBackgroundContentRect",
          "GetThemeBackgroundExtent", "GetThemeTextExtent", "GetThemeTextMetrics", "GetThemeBackgroundRegion",
          "HitTestThemeBackground", "DrawThemeEdge", "DrawThemeIcon", "IsThemePartDefined",
          "IsThemeBackgroundPartiallyTransparent", "GetThemeColor", "GetThemeMetric", "GetThemeString", "GetThemeBool",
          "GetThemeInt", "GetThemeEnumValue", "GetThemePosition", "GetThemeFont", "GetThemeRect", "GetThemeMargins",
          "GetThemeIntList", "SetWindowTheme", "GetThemeFilename", "GetThemeSysColor", "GetThemeSysColorBrush",
          "GetThemeSysBool", "GetThemeSysSize", "GetThemeSysFont", "GetThemeSysString", "GetThemeSysInt",
          "IsThemeActive", "IsAppThemed", "GetWindowTheme", "EnableThemeDialogTexture", "IsThemeDialogTextureEnabled",
          "GetThemeAppProperties", "SetThemeAppProperties", "GetCurrentThemeName", "GetThemeDocumentationProperty",
          "DrawThemeParentBackground", "EnableTheming"})
        EXPECT_NE(TwFindExport(ux, name), nullptr) << name;
}

TEST_F(ThemeTest, ExtentsMarginsHitsAndPropertiesTheLooksDoNotCarry) {
    TwSetThemeActive(TRUE);
    const HTHEME button = OpenThemeData(nullptr, u"button");
    Canvas c(40, 20);
    // The extent around a content rectangle gives that content rectangle back.
    const RECT content{10, 10, 50, 30};
    RECT extent{}, back{};
    ASSERT_EQ(GetThemeBackgroundExtent(button, c.dc, 1, 1, &content, &extent), S_OK);
    ASSERT_EQ(GetThemeBackgroundContentRect(button, c.dc, 1, 1, &extent, &back), S_OK);
    EXPECT_TRUE(EqualRect(&back, &content));
    EXPECT_FALSE(EqualRect(&extent, &content));
    MARGINS m{};
    ASSERT_EQ(GetThemeMargins(button, c.dc, 1, 1, TMT_CONTENTMARGINS, nullptr, &m), S_OK);
    EXPECT_EQ(m.cxLeftWidth, content.left - extent.left);
    EXPECT_EQ(m.cyBottomHeight, extent.bottom - content.bottom);
    // Text extent as DrawText measures it.
    RECT text{}, measured{0, 0, 0, 0};
    EXPECT_EQ(GetThemeTextExtent(button, c.dc, 1, 1, u"Wide text", -1, DT_SINGLELINE, nullptr, &text), S_OK);
    DrawTextW(c.dc, u"Wide text", -1, &measured, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_TRUE(EqualRect(&text, &measured));
    WORD hit = 99;
    const RECT box{0, 0, 10, 10};
    EXPECT_EQ(HitTestThemeBackground(button, c.dc, 1, 1, 0, &box, nullptr, POINT{5, 5}, &hit), S_OK);
    EXPECT_EQ(hit, HTCLIENT);
    EXPECT_EQ(HitTestThemeBackground(button, c.dc, 1, 1, 0, &box, nullptr, POINT{15, 5}, &hit), S_OK);
    EXPECT_EQ(hit, HTNOWHERE);
    int value = 7;
    EXPECT_EQ(GetThemeInt(button, 1, 1, 2403, &value), E_PROP_ID_UNSUPPORTED);
    EXPECT_EQ(GetThemeMetric(button, c.dc, 1, 1, 2403, &value), E_PROP_ID_UNSUPPORTED);
    EXPECT_EQ(value, 7);
    EXPECT_EQ(GetThemeInt(0, 1, 1, 2403, &value), E_HANDLE);
    LOGFONTW font{};
    EXPECT_EQ(GetThemeSysFont(button, 805, &font), S_OK);
    EXPECT_NE(font.lfFaceName[0], 0);
}

TEST_F(ThemeTest, AppPropertiesDialogTexturesAndTheThemeOfAWindow) {
    HWND w = CreateWindowExW(0, u"Static", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(w);
    EXPECT_EQ(GetThemeAppProperties(), 0u); // nothing while theming is off
    EXPECT_EQ(EnableTheming(TRUE), S_OK);
    EXPECT_TRUE(IsThemeActive());
    SetThemeAppProperties(STAP_ALLOW_CONTROLS);
    EXPECT_EQ(GetThemeAppProperties(), DWORD(STAP_ALLOW_CONTROLS));
    SetThemeAppProperties(STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS | STAP_ALLOW_WEBCONTENT);
    EXPECT_EQ(GetWindowTheme(w), 0);
    const HTHEME edit = OpenThemeData(w, u"Edit");
    EXPECT_EQ(GetWindowTheme(w), edit);
    EXPECT_FALSE(IsThemeDialogTextureEnabled(w));
    EXPECT_EQ(EnableThemeDialogTexture(w, ETDT_ENABLE), S_OK);
    EXPECT_TRUE(IsThemeDialogTextureEnabled(w));
    EXPECT_EQ(EnableThemeDialogTexture(w, ETDT_DISABLE), S_OK);
    EXPECT_FALSE(IsThemeDialogTextureEnabled(w));
    DestroyWindow(w);
    EXPECT_EQ(GetWindowTheme(w), 0);
}

// A parent that paints a red square at (10, 10)-(20, 20) of its client area on white.
LRESULT CALLBACK SquareParent(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND || msg == WM_PRINTCLIENT) {
        HDC dc = HDC(wp);
        RECT all{0, 0, 100, 100}, square{10, 10, 20, 20};
        if (msg == WM_ERASEBKGND) FillRect(dc, &all, HBRUSH(GetStockObject(WHITE_BRUSH)));
        else {
            HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
            FillRect(dc, &square, red);
            DeleteObject(red);
        }
        return 1;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST_F(ThemeTest, ParentBackgroundIsThePartOfTheParentBehindTheChild) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = SquareParent;
    wc.lpszClassName = u"TwThemeSquareParent";
    RegisterClassW(&wc);
    HWND parent = CreateWindowExW(0, u"TwThemeSquareParent", u"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                  nullptr);
    HWND child = CreateWindowExW(0, u"Static", u"", WS_CHILD, 15, 15, 20, 20, parent, nullptr, nullptr, nullptr);
    ASSERT_TRUE(parent && child);
    Canvas c(20, 20, RGB(0, 0, 255));
    EXPECT_EQ(DrawThemeParentBackground(child, c.dc, nullptr), S_OK);
    EXPECT_EQ(c.At(2, 2), RGB(255, 0, 0));      // the parent's (17, 17): in the square
    EXPECT_EQ(c.At(10, 10), RGB(255, 255, 255)); // the parent's (25, 25): outside it
    EXPECT_EQ(DrawThemeParentBackground(parent, c.dc, nullptr), E_FAIL); // no parent
    DestroyWindow(parent);
}

TEST_F(ThemeTest, IconIsDrawnFromTheImageListCentredInTheRectangle) {
    TwSetThemeActive(TRUE);
    const HTHEME button = OpenThemeData(nullptr, u"button");
    HIMAGELIST images = ImageList_Create(4, 4, ILC_COLOR32, 1, 1);
    Canvas red(4, 4, RGB(255, 0, 0));
    HBITMAP picture = CreateCompatibleBitmap(red.dc, 4, 4);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, picture);
    BitBlt(dc, 0, 0, 4, 4, red.dc, 0, 0, SRCCOPY);
    SelectObject(dc, old);
    DeleteDC(dc);
    ASSERT_EQ(ImageList_Add(images, picture, nullptr), 0);
    Canvas c(20, 20);
    const RECT r{0, 0, 20, 20};
    EXPECT_EQ(DrawThemeIcon(button, c.dc, 1, 1, &r, images, 0), S_OK);
    EXPECT_EQ(c.At(9, 9), RGB(255, 0, 0));
    EXPECT_EQ(c.At(2, 2), RGB(255, 255, 255));
    DeleteObject(picture);
    ImageList_Destroy(images);
}

} // namespace
