#include "vcl/Themes.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace vcl;

namespace {

struct DetailsCase {
    TThemedElementDetails got;
    TThemedElement element;
    int part, state;
};

// Renders Paint into a fresh 40x30 bitmap on a blue ground and returns it.
std::unique_ptr<TBitmap> Render(const std::function<void(HDC, const RECT&)>& Paint) {
    auto bmp = std::make_unique<TBitmap>(40, 30);
    bmp->SetPixelFormat(pf32bit);
    bmp->Canvas()->Brush()->SetColor(TColor(0xFF0000));
    bmp->Canvas()->FillRect(Rect(0, 0, 40, 30));
    Paint(bmp->Canvas()->Handle(), RECT{2, 3, 34, 25});
    return bmp;
}

bool SamePixels(TBitmap& A, TBitmap& B) {
    for (int y = 0; y < A.Height(); ++y)
        for (int x = 0; x < A.Width(); ++x)
            if (A.Canvas()->Pixels(x, y) != B.Canvas()->Pixels(x, y)) return false;
    return true;
}

class ThemesOff : public ::testing::Test {
protected:
    void TearDown() override {
        TwSetThemeActive(FALSE);
        StyleServices()->UpdateThemes();
    }
};

} // namespace

TEST(StyleServices, ElementDetailsFollowTheEnumerationOrder) {
    TCustomStyleServices* s = StyleServices();
    const DetailsCase cases[] = {
        {s->GetElementDetails(tbButtonRoot), teButton, 0, 0},
        {s->GetElementDetails(tbPushButtonNormal), teButton, 1, 1},
        {s->GetElementDetails(tbPushButtonDefaulted), teButton, 1, 5},
        {s->GetElementDetails(tbRadioButtonCheckedHot), teButton, 2, 6},
        {s->GetElementDetails(tbCheckBoxCheckedNormal), teButton, 3, 5},
        {s->GetElementDetails(tbCheckBoxMixedHot), teButton, 3, 10},
        {s->GetElementDetails(tbGroupBoxDisabled), teButton, 4, 2},
        {s->GetElementDetails(tbCommandLinkGlyphDefaulted), teButton, 7, 5},
        {s->GetElementDetails(tcDropDownButtonPressed), teComboBox, 1, 3},
        {s->GetElementDetails(tcBorderFocused), teComboBox, 4, 3},
        {s->GetElementDetails(teEditBorderHVScrollDisabled), teEdit, 9, 4},
        {s->GetElementDetails(thHeaderItemRightPressed), teHeader, 3, 3},
        {s->GetElementDetails(tsArrowBtnDownHot), teScrollBar, 1, 6},
        {s->GetElementDetails(tsArrowBtnRightHover), teScrollBar, 1, 20},
        {s->GetElementDetails(tsGripperVertHover), teScrollBar, 9, 5},
        {s->GetElementDetails(tsSizeBoxHalfTopLeftAlign), teScrollBar, 10, 8},
        {s->GetElementDetails(tsDownHorzDisabled), teSpin, 4, 4},
        {s->GetElementDetails(tmPopupItemDisabledHot), teMenu, 14, 4},
        {s->GetElementDetails(tmPopupCheckBackgroundBitmap), teMenu, 12, 3},
        {s->GetElementDetails(tmPopupBulletDisabled), teMenu, 11, 4},
        {s->GetElementDetails(tmMenuBarItemPushed), teMenu, 8, 3},
        {s->GetElementDetails(ttbSplitButtonDropDownDisabled), teToolBar, 4, 4},
        {s->GetElementDetails(ttbSeparatorVertNormal), teToolBar, 6, 1},
        {s->GetElementDetails(ttbThumbRightFocused), teTrackBar, 8, 4},
        {s->GetElementDetails(ttTabItemRightEdgeSelected), teTab, 3, 3},
        {s->GetElementDetails(ttPane), teTab, 9, 1},
        {s->GetElementDetails(tsGripper), teStatus, 3, 1},
        {s->GetElementDetails(trBand), teRebar, 3, 1},
        {s->GetElementDetails(tpChunkVert), teProgress, 4, 1},
        {s->GetElementDetails(ttGlyphOpened), teTreeview, 2, 2},
        {s->GetElementDetails(twSmallFrameBottomInactive), teWindow, 12, 2},
        {s->GetElementDetails(twCloseButtonPushed), teWindow, 18, 3},
        {s->GetElementDetails(twMDIHelpButtonDisabled), teWindow, 24, 4},
        {s->GetElementDetails(tpPanelBevel), tePanel, 2, 1},
        {s->GetElementDetails(tcpThemedChevronClosedHot), teCategoryPanelGroup, 5, 2},
        {s->GetElementDetails(tgFixedCellHot), teGrid, 2, 2},
        {s->GetElementDetails(thHintBalloon), teHint, 2, 1},
        {s->GetElementDetails(ttlTextLabelDisabled), teTextLabel, 1, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, (TThemedElementDetails{c.element, c.part, c.state}))
            << c.element << " " << c.part << " " << c.state << " got " << c.got.Part << "," << c.got.State;
}

TEST_F(ThemesOff, ClassicStyleDrawsWithFrameControlsAndEdges) {
    TCustomStyleServices* s = StyleServices();
    EXPECT_TRUE(s->Available());
    EXPECT_FALSE(s->Enabled());
    struct Case {
        TThemedElementDetails details;
        std::function<void(HDC, RECT)> reference;
    };
    const Case cases[] = {
        {s->GetElementDetails(tbPushButtonPressed),
         [](HDC dc, RECT r) { DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED); }},
        {s->GetElementDetails(tbCheckBoxCheckedDisabled),
         [](HDC dc, RECT r) { DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE); }},
        {s->GetElementDetails(tbRadioButtonUncheckedHot),
         [](HDC dc, RECT r) { DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_HOT); }},
        {s->GetElementDetails(tsDownDisabled),
         [](HDC dc, RECT r) { DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_INACTIVE); }},
        {s->GetElementDetails(tsArrowBtnLeftPressed),
         [](HDC dc, RECT r) { DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_PUSHED); }},
        {s->GetElementDetails(tcDropDownButtonNormal),
         [](HDC dc, RECT r) { DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX); }},
        {s->GetElementDetails(twCloseButtonNormal),
         [](HDC dc, RECT r) { DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE); }},
        {s->GetElementDetails(teEditBorderNoScrollNormal),
         [](HDC dc, RECT r) { DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT); }},
        {s->GetElementDetails(tpPanelBackground),
         [](HDC dc, RECT r) { FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE)); }},
    };
    for (const auto& c : cases) {
        auto drawn = Render([&](HDC dc, const RECT& r) { EXPECT_TRUE(s->DrawElement(dc, c.details, r)); });
        auto expected = Render([&](HDC dc, const RECT& r) { c.reference(dc, r); });
        EXPECT_TRUE(SamePixels(*drawn, *expected)) << c.details.Element << "/" << c.details.Part << "/" << c.details.State;
    }

    // A clip rectangle keeps the drawing inside it.
    const TRect clip(2, 3, 10, 10);
    auto clipped = Render([&](HDC dc, const RECT& r) {
        s->DrawElement(dc, s->GetElementDetails(tpPanelBackground), r, &clip);
    });
    EXPECT_EQ(clipped->Canvas()->Pixels(5, 5), ColorToRGB(clBtnFace));
    EXPECT_EQ(clipped->Canvas()->Pixels(20, 20), TColor(0xFF0000));
}

TEST_F(ThemesOff, ThemedStyleDrawsThroughTheVisualStylesAndFollowsTheSwitch) {
    TCustomStyleServices* s = StyleServices();
    const auto details = s->GetElementDetails(thHeaderItemHot);
    TwSetThemeActive(TRUE);
    ASSERT_TRUE(s->Enabled());
    auto themed = Render([&](HDC dc, const RECT& r) { EXPECT_TRUE(s->DrawElement(dc, details, r)); });
    auto expected = Render([&](HDC dc, const RECT& r) {
        HTHEME theme = OpenThemeData(nullptr, u"header");
        DrawThemeBackground(theme, dc, 1, 2, &r, nullptr);
        CloseThemeData(theme);
    });
    EXPECT_TRUE(SamePixels(*themed, *expected));

    TColor text = clNone;
    COLORREF reference = 0;
    HTHEME button = OpenThemeData(nullptr, u"button");
    ASSERT_EQ(GetThemeColor(button, 1, 4, TMT_TEXTCOLOR, &reference), S_OK);
    CloseThemeData(button);
    EXPECT_TRUE(s->GetElementColor(s->GetElementDetails(tbPushButtonDisabled), ecTextColor, text));
    EXPECT_EQ(text, TColor(reference));

    TwSetThemeActive(FALSE);
    EXPECT_FALSE(s->Enabled());
    auto classic = Render([&](HDC dc, const RECT& r) { s->DrawElement(dc, details, r); });
    EXPECT_FALSE(SamePixels(*classic, *themed));
}

TEST_F(ThemesOff, ClassicColoursAndMissingOnesLeaveTheValueAlone) {
    TCustomStyleServices* s = StyleServices();
    struct Case {
        TThemedElementDetails details;
        TElementColor which;
        TColor expected;
    };
    const Case cases[] = {
        {s->GetElementDetails(tbPushButtonDisabled), ecTextColor, clGrayText},
        {s->GetElementDetails(tbPushButtonNormal), ecTextColor, clBtnText},
        {s->GetElementDetails(tmPopupItemHot), ecTextColor, clHighlightText},
        {s->GetElementDetails(thHintNormal), ecGradientColor1, clInfoBk},
        {s->GetElementDetails(teEditTextNormal), ecFillColor, clWindow},
        {s->GetElementDetails(tpPanelBackground), ecEdgeShadowColor, clBtnShadow},
    };
    for (const auto& c : cases) {
        TColor color = clNone;
        EXPECT_TRUE(s->GetElementColor(c.details, c.which, color));
        EXPECT_EQ(color, c.expected) << c.details.Element << " " << c.which;
    }
    TColor untouched = clRed;
    EXPECT_FALSE(s->GetElementColor(s->GetElementDetails(tbPushButtonNormal), ecGlowColor, untouched));
    EXPECT_EQ(untouched, clRed);

    EXPECT_EQ(s->GetStyleColor(scListBox), clWindow);
    EXPECT_EQ(s->GetStyleColor(scPanel), clBtnFace);
    EXPECT_EQ(s->GetStyleFontColor(sfListItemTextSelected), clHighlightText);
    EXPECT_EQ(s->GetStyleFontColor(sfButtonTextDisabled), clGrayText);
    EXPECT_EQ(s->GetSystemColor(clBtnFace), clBtnFace);
    EXPECT_EQ(s->ColorToRGB(clBtnFace), TColor(GetSysColor(COLOR_BTNFACE)));
}

TEST_F(ThemesOff, ClassicSizesRectanglesAndText) {
    TCustomStyleServices* s = StyleServices();
    TSize size{};
    EXPECT_TRUE(s->GetElementSize(nullptr, s->GetElementDetails(tbCheckBoxUncheckedNormal), esActual, size));
    EXPECT_EQ(size.cx, 13);
    EXPECT_FALSE(s->GetElementSize(nullptr, s->GetElementDetails(tpPanelBackground), esActual, size));

    TRect content;
    EXPECT_TRUE(s->GetElementContentRect(nullptr, s->GetElementDetails(tbPushButtonNormal), Rect(0, 0, 75, 25), content));
    EXPECT_EQ(content, Rect(2, 2, 73, 23));

    HRGN region = nullptr;
    EXPECT_TRUE(s->GetElementRegion(s->GetElementDetails(tbPushButtonNormal), Rect(1, 1, 9, 9), region));
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_EQ(TRect(box), Rect(1, 1, 9, 9));
    DeleteObject(region);

    // Text in the element's colour unless a colour is given.
    auto drawn = Render([&](HDC dc, const RECT& r) {
        TRect tr = r;
        s->DrawText(dc, s->GetElementDetails(thHintNormal), "WWW", tr, TTextFormat{tfSingleLine}, clLime);
    });
    bool lime = false;
    for (int y = 0; y < 30 && !lime; ++y)
        for (int x = 0; x < 40 && !lime; ++x) lime = drawn->Canvas()->Pixels(x, y) == clLime;
    EXPECT_TRUE(lime);
}

TEST(StyleServices, EdgesAndFlagsConvertBothWays) {
    EXPECT_EQ(ElementEdgesToEdge({eeRaisedOuter, eeSunkenInner}), UINT(EDGE_BUMP));
    EXPECT_EQ(ElementEdgesToEdge({eeEtched}), UINT(EDGE_ETCHED));
    EXPECT_EQ(EdgeToElementEdges(EDGE_ETCHED), (TElementEdges{eeSunkenOuter, eeRaisedInner}));
    EXPECT_EQ(ElementEdgeFlagsToFlags({efRect, efAdjust}), UINT(BF_RECT | BF_ADJUST));
    EXPECT_EQ(FlagsToElementEdgeFlags(BF_TOPLEFT | BF_SOFT), (TElementEdgeFlags{efLeft, efTop, efSoft}));
}

namespace {
struct ParentPaint {
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_PRINTCLIENT) { // red everywhere, a green pixel at (10, 10)
            HDC dc = HDC(wp);
            RECT all{0, 0, 100, 100}, dot{10, 10, 11, 11};
            HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), green = CreateSolidBrush(RGB(0, 255, 0));
            FillRect(dc, &all, red);
            FillRect(dc, &dot, green);
            DeleteObject(red);
            DeleteObject(green);
            return 0;
        }
        if (msg == WM_ERASEBKGND) return 1;
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
};
} // namespace

TEST(StyleServices, ParentBackgroundIsPaintedInTheControlsCoordinates) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ParentPaint::Proc;
    wc.lpszClassName = u"TwThemesParent";
    RegisterClassW(&wc);
    HWND parent = CreateWindowExW(0, u"TwThemesParent", u"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowExW(0, u"STATIC", u"", WS_CHILD, 8, 9, 20, 20, parent, nullptr, nullptr, nullptr);
    ASSERT_TRUE(parent && child);

    TBitmap target(20, 20);
    const auto details = StyleServices()->GetElementDetails(tbCheckBoxUncheckedNormal); // transparent corners
    EXPECT_TRUE(StyleServices()->DrawParentBackground(child, target.Canvas()->Handle(), &details, true));
    EXPECT_EQ(target.Canvas()->Pixels(2, 1), clLime);
    EXPECT_EQ(target.Canvas()->Pixels(5, 5), clRed);

    // An opaque element asked with OnlyIfTransparent leaves the target alone.
    TBitmap untouched(20, 20);
    const auto opaque = StyleServices()->GetElementDetails(tpPanelBackground);
    EXPECT_FALSE(StyleServices()->DrawParentBackground(child, untouched.Canvas()->Handle(), &opaque, true));
    EXPECT_EQ(untouched.Canvas()->Pixels(2, 1), clWhite);
    DestroyWindow(parent);
}

TEST(StyleManager, SystemStyleIsListedFirstAndAnUnknownNameIsRefused) {
    EXPECT_EQ(TStyleManager::ActiveStyle(), TStyleManager::SystemStyle());
    EXPECT_FALSE(TStyleManager::IsCustomStyleActive());
    EXPECT_EQ(TStyleManager::ActiveStyle()->Name(), "Windows");
    EXPECT_EQ(TStyleManager::StyleNames().front(), "Windows");
    EXPECT_NO_THROW(TStyleManager::SetStyle(QStringLiteral("windows")));
    try {
        TStyleManager::SetStyle(QStringLiteral("Nonesuch"));
        FAIL();
    } catch (const EStyleEngineException& e) {
        EXPECT_EQ(e.Message(), "Style 'Nonesuch' not found");
    }
    EXPECT_FALSE(TStyleManager::TrySetStyle(QStringLiteral("Nonesuch"), false));
    EXPECT_TRUE(TStyleManager::TrySetStyle(QStringLiteral("Windows"), false));
    EXPECT_FALSE(TStyleManager::IsValidStyle(QStringLiteral("/tmp/x.vsf")));
    EXPECT_THROW(TStyleManager::LoadFromFile(QStringLiteral("/tmp/x.vsf")), EStyleEngineException);
    EXPECT_EQ(StyleServices(), TStyleManager::ActiveStyle());
}

namespace {
struct ControlA {};
struct HookA : TStyleHook {
    using TStyleHook::TStyleHook;
};
struct HookB : TStyleHook {
    using TStyleHook::TStyleHook;
};
} // namespace

TEST(StyleManager, SwitchingEntryCanBePatched) {
    // Room for a jump at the entry: no-op padding (0x90 from gcc; prefixed long forms, such as
    // 2E 66 0F 1F, from clang).
    const auto* entry =
        reinterpret_cast<const uint8_t*>(static_cast<void (*)(TCustomStyleServices*)>(&TStyleManager::SetStyle));
    EXPECT_TRUE(entry[0] == 0x90 || entry[0] == 0x66 || entry[0] == 0x0F || entry[0] == 0x2E) << int(entry[0]);
}

TEST(StyleManager, StyleHooksRegisterOncePerControlClass) {
    auto* engine = TStyleManager::Engine();
    engine->RegisterStyleHook<ControlA, HookA>();
    engine->RegisterStyleHook<ControlA, HookB>();
    EXPECT_THROW((engine->RegisterStyleHook<ControlA, HookA>()), EStyleEngineException);
    auto hooks = engine->StyleHooksOf(typeid(ControlA));
    ASSERT_EQ(hooks.size(), 2u);
    std::unique_ptr<TStyleHook> made(hooks[1].Create(nullptr));
    EXPECT_NE(dynamic_cast<HookB*>(made.get()), nullptr);

    engine->UnRegisterStyleHook<ControlA, HookA>();
    engine->UnRegisterStyleHook<ControlA, HookB>();
    EXPECT_TRUE(engine->StyleHooksOf(typeid(ControlA)).empty());
}
