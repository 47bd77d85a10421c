// tests/styling/windows/HooksTest.cpp: system colours, brushes, fills, frame controls and icons
// answered from the style through the patched exports, and the exports as they were afterwards.
#include "tests/styling/windows/StyleHookFixture.h"

#include <QDir>
#include <QFont>
#include <QFontMetrics>

#include <array>
#include <map>
#include <cstring>

#include "styling/hooks/GlyphFont.h"
#include "styling/hooks/Hooks.h"
#include "styling/hooks/Styling.h"

using namespace styling;
using namespace styletest;
using namespace vcl;

namespace {

class ApiHooksTest : public StyleHookTest {
protected:
    void SetUp() override {
        StyleHookTest::SetUp();
        ASSERT_TRUE(ApiDetoursInstalled());
    }
};

TEST_F(ApiHooksTest, SystemColoursComeFromTheStyleWithHotTrackingAsHighlight) {
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), 0x402010u);
    EXPECT_EQ(GetSysColor(COLOR_HOTLIGHT), 0x3050A0u) << "the highlight, not the style's hot-light colour";
    // A colour the style does not map is the platform's own.
    TwSetSysColor(COLOR_INFOTEXT, RGB(1, 2, 3));
    EXPECT_EQ(GetSysColor(COLOR_INFOTEXT), RGB(1, 2, 3));
    TSysStyleManager::StylingEnabled = false;
    EXPECT_EQ(GetSysColor(COLOR_HOTLIGHT), 0x00FFFFu) << "switched off: the class library's provider answers";
    TSysStyleManager::StylingEnabled = true;
    UseSystemStyle();
    TwResetSystemSettings();
    const DWORD classic = GetSysColor(COLOR_WINDOW);
    EXPECT_NE(classic, 0x402010u);
    EXPECT_EQ(GetSysColor(COLOR_HOTLIGHT), RGB(0, 102, 204));
}

TEST_F(ApiHooksTest, BrushesAreKeptPerStyleAndIndex) {
    const HBRUSH first = GetSysColorBrush(COLOR_WINDOW);
    EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), first);
    LOGBRUSH lb{};
    GetObjectW(first, sizeof(lb), &lb);
    EXPECT_EQ(lb.lbColor, 0x402010u);
    auto light = MakeStyle(QStringLiteral("Test Light"), TColor(0xF0F0F0));
    TStyleManager::SetStyle(light.get());
    const HBRUSH second = GetSysColorBrush(COLOR_WINDOW);
    EXPECT_NE(second, first);
    TStyleManager::SetStyle(Style.get());
    EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), first);
    UseSystemStyle();
    EXPECT_NE(GetSysColorBrush(COLOR_WINDOW), first);
}

TEST_F(ApiHooksTest, ClassBackgroundValuesFillWithTheStylesBrushAndRealBrushesStay) {
    auto bmp = std::make_unique<TBitmap>(8, 8);
    bmp->SetPixelFormat(pf32bit);
    HDC dc = bmp->Canvas()->Handle();
    const RECT r{0, 0, 8, 8};
    FillRect(dc, &r, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_EQ(GetPixel(dc, 3, 3), COLORREF(0x402010));
    // 31 is no class-background value here: it goes to the platform as it came (its own menu-bar
    // colour); real brushes fill with themselves.
    FillRect(dc, &r, reinterpret_cast<HBRUSH>(31));
    EXPECT_EQ(GetPixel(dc, 3, 3), COLORREF(GetSysColor(COLOR_MENUBAR)));
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(GetPixel(dc, 3, 3), RGB(255, 255, 255));
}

struct FrameCase {
    const char* Name;
    bool NullRect;
    UINT Type, State;
    std::optional<TThemedElementDetails> Element;
};

class FrameControls : public ApiHooksTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(FrameControls, DrawnByTheStyleOrForwarded) {
    const FrameCase& c = GetParam();
    EXPECT_EQ(FrameControlElement(c.Type, c.State), c.Element);
    auto bmp = std::make_unique<TBitmap>(16, 16);
    RECT r{0, 0, 16, 16};
    const BOOL result = DrawFrameControl(bmp->Canvas()->Handle(), c.NullRect ? nullptr : &r, c.Type, c.State);
    // The style's drawing answers with every bit set; the classic drawing with TRUE or FALSE.
    EXPECT_EQ(result == BOOL(-1), c.Element.has_value() && !c.NullRect);
}

const TUxThemeStyle Sys;
INSTANTIATE_TEST_SUITE_P(
    Cases, FrameControls,
    ::testing::Values(
        FrameCase{"NullRectangle", true, DFC_BUTTON, DFCS_BUTTONPUSH, Sys.GetElementDetails(tbPushButtonNormal)},
        FrameCase{"TransparentArrow", false, DFC_SCROLL, DFCS_SCROLLUP | DFCS_TRANSPARENT, std::nullopt},
        FrameCase{"HotDownArrow", false, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_HOT, Sys.GetElementDetails(tsArrowBtnDownHot)},
        FrameCase{"InactiveBeatsPushed", false, DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_INACTIVE | DFCS_PUSHED, Sys.GetElementDetails(tsArrowBtnRightDisabled)},
        FrameCase{"ComboButtonTransparentToo", false, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_TRANSPARENT, Sys.GetElementDetails(tcDropDownButtonNormal)},
        FrameCase{"FlatPush", false, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT, std::nullopt},
        FrameCase{"DefaultedPush", false, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_MONO, Sys.GetElementDetails(tbPushButtonDefaulted)},
        FrameCase{"PushedPush", false, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_MONO | DFCS_PUSHED, Sys.GetElementDetails(tbPushButtonPressed)},
        FrameCase{"CheckedWinsOverMixed", false, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_MONO, Sys.GetElementDetails(tbCheckBoxCheckedNormal)},
        FrameCase{"MonoIsMixed", false, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_MONO, Sys.GetElementDetails(tbCheckBoxMixedNormal)},
        FrameCase{"RadioCheckedHot", false, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED | DFCS_HOT, Sys.GetElementDetails(tbRadioButtonCheckedHot)},
        FrameCase{"ThreeStateForwarded", false, DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED, std::nullopt},
        FrameCase{"CaptionForwarded", false, DFC_CAPTION, DFCS_CAPTIONCLOSE, std::nullopt}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(ApiHooksTest, StyleWithoutTheElementDrawsTheClassicLookWithoutComingBack) {
    // The test style has no element looks: its fallback is the classic drawing, which must not
    // reach the patched export again.
    auto bmp = std::make_unique<TBitmap>(20, 20);
    bmp->SetPixelFormat(pf32bit);
    RECT r{0, 0, 20, 20};
    EXPECT_EQ(DrawFrameControl(bmp->Canvas()->Handle(), &r, DFC_BUTTON, DFCS_BUTTONPUSH), BOOL(-1));
    EXPECT_EQ(GetPixel(bmp->Canvas()->Handle(), 10, 10), COLORREF(0x202020)) << "the style's face colour";
    RECT e{0, 0, 20, 20};
    EXPECT_EQ(DrawEdge(bmp->Canvas()->Handle(), &e, EDGE_RAISED, BF_RECT | BF_ADJUST), BOOL(-1));
    EXPECT_EQ(e.left, 2) << "the adjusted rectangle comes back";
    EXPECT_EQ(DrawEdge(bmp->Canvas()->Handle(), &r, BDR_RAISEDOUTER | BDR_SUNKENOUTER, BF_RECT), TRUE)
        << "edge 3 stays the system's";
}

TEST_F(ApiHooksTest, DialogIconsBecomeGlyphsOfTheLoadedSizeOnlyWhenAsked) {
    const HICON shared = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_EXCLAMATION));
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_EXCLAMATION)), shared) << "off by default";
    TSysStyleManager::ReplaceDialogIcons = true;
    const HICON glyph = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_EXCLAMATION));
    ASSERT_NE(glyph, nullptr);
    if (!GlyphFont()) {
        EXPECT_EQ(glyph, shared);
    } else {
        EXPECT_NE(glyph, shared);
        ICONINFO a{}, b{};
        ASSERT_TRUE(GetIconInfo(glyph, &a));
        ASSERT_TRUE(GetIconInfo(shared, &b));
        BITMAP ba{}, bb{};
        GetObjectW(a.hbmColor, sizeof(ba), &ba);
        GetObjectW(b.hbmColor, sizeof(bb), &bb);
        EXPECT_EQ(ba.bmWidth, bb.bmWidth);
        EXPECT_EQ(ba.bmHeight, bb.bmHeight);
        for (HBITMAP h : {a.hbmColor, a.hbmMask, b.hbmColor, b.hbmMask})
            if (h) DeleteObject(h);
        DestroyIcon(glyph);
    }
    // The shared icon is still the system's, and a failed load comes back as it was.
    ICONINFO info{};
    EXPECT_TRUE(GetIconInfo(shared, &info));
    for (HBITMAP h : {info.hbmColor, info.hbmMask})
        if (h) DeleteObject(h);
    EXPECT_EQ(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(uintptr_t(4242))), nullptr);
    EXPECT_EQ(DialogIconGlyph(false, 32515), 0) << "the system's identifiers only for its own icons";
    EXPECT_EQ(DialogIconGlyph(false, 84), 0xF071);
}

TEST(GlyphCodes, EveryCodeTheInterceptionsDrawIsInTheGlyphFont) {
    testing_support::HeadlessApp app;
    TGlyphFont* font = GlyphFont();
    if (!font) GTEST_SKIP() << "no glyph font among the resources (fonts-fork-awesome missing)";
    const QFontMetrics metrics{QFont(font->FamilyName())};
    for (uint16_t code : {0xF08D, 0xF062, 0xF061, 0xF00D, 0xF021, 0xF0D7, 0xF060, 0xF002, 0xF132, 0xF05A, 0xF071,
                          0xF056, 0xF059, 0xF17A})
        EXPECT_TRUE(metrics.inFontUcs4(code)) << std::hex << code;
}

TEST_F(ApiHooksTest, SmallShellIconsAreGlyphsOnlyAtSixteenPixels) {
    // A module that is neither the system's nor the program's.
    TwRegisterModule(u"explorerframe.dll", reinterpret_cast<const void*>(&GetSysColor));
    const HINSTANCE module = GetModuleHandleW(u"explorerframe.dll");
    ASSERT_NE(module, nullptr);
    const HANDLE at24 = LoadImageW(module, reinterpret_cast<LPCWSTR>(uintptr_t(16817)), IMAGE_ICON, 24, 24, 0);
    EXPECT_EQ(at24, nullptr) << "forwarded: the module has no such icon";
    const HANDLE at16 = LoadImageW(module, reinterpret_cast<LPCWSTR>(uintptr_t(16817)), IMAGE_ICON, 16, 16, 0);
    if (GlyphFont()) {
        EXPECT_NE(at16, nullptr);
        DestroyIcon(static_cast<HICON>(at16));
    }
    // Before 6.2 the shell's icons stay its own.
    TwSetVersion(6, 1, 7601);
    EXPECT_EQ(LoadImageW(module, reinterpret_cast<LPCWSTR>(uintptr_t(16817)), IMAGE_ICON, 16, 16, 0), nullptr);
    TwSetVersion(0, 0, 0);
}

// The first bytes of every patched export.
std::vector<std::array<uint8_t, 24>> ExportBytes() {
    const char* names[] = {"GetSysColor", "GetSysColorBrush", "FillRect", "DrawEdge", "DrawFrameControl", "LoadIconW", "LoadImageW"};
    std::vector<std::array<uint8_t, 24>> bytes;
    for (const char* name : names) {
        auto* p = reinterpret_cast<const uint8_t*>(GetProcAddress(GetModuleHandleW(u"user32.dll"), name));
        std::array<uint8_t, 24> b{};
        if (p) std::memcpy(b.data(), p, b.size());
        bytes.push_back(b);
    }
    auto* theme = reinterpret_cast<const uint8_t*>(GetProcAddress(GetModuleHandleW(u"uxtheme.dll"), "SetWindowTheme"));
    std::array<uint8_t, 24> b{};
    if (theme) std::memcpy(b.data(), theme, b.size());
    bytes.push_back(b);
    return bytes;
}

TEST(StylingEnd, EveryExportIsAsItWasAfterFinalize) {
    testing_support::HeadlessApp app;
    const auto patched = ExportBytes();
    styling::Finalize();
    const auto plain = ExportBytes();
    for (size_t i = 0; i < plain.size(); ++i) EXPECT_NE(patched[i], plain[i]) << "export " << i << " was patched";
    styling::Initialize();
    styling::Finalize();
    EXPECT_EQ(ExportBytes(), plain);
    styling::Initialize();
}

} // namespace

namespace {

QString StylesDir() {
    return qEnvironmentVariable("TW_SOURCE_DIR", QStringLiteral(TW_STYLING_SOURCE_DIR)) + QStringLiteral("/data/styles");
}

TEST(ShippedStyles, SystemColoursReadBackThroughTheInterceptedGetSysColor) {
    testing_support::HeadlessApp app;
    // Registered once for the process, as the program does.
    static const bool loaded = [] {
        for (const QString& f : QDir(StylesDir()).entryList({QStringLiteral("*.vsf")}, QDir::Files, QDir::Name))
            TStyleManager::LoadFromFile(QDir(StylesDir()).filePath(f));
        return true;
    }();
    (void)loaded;
    std::vector<DWORD> classic;
    for (int i = 0; i <= COLOR_MENUBAR; ++i) classic.push_back(GetSysColor(i));
    int styles = 0;
    for (const rtl::String& name : TStyleManager::StyleNames()) {
        TCustomStyleServices* style = TStyleManager::Style(name);
        ASSERT_NE(style, nullptr);
        TStyleManager::SetStyle(style);
        SCOPED_TRACE(name.toStdString());
        for (int i = 0; i <= COLOR_MENUBAR; ++i) {
            const TColor mapped = style->GetSystemColor(TColor(clSystemColor | (i == COLOR_HOTLIGHT ? COLOR_HIGHLIGHT : i)));
            const bool unmapped = (mapped & clSystemColor) == clSystemColor || style->IsSystemStyle();
            EXPECT_EQ(GetSysColor(i), unmapped ? classic[size_t(i)] : DWORD(mapped)) << "index " << i;
        }
        ++styles;
    }
    TStyleManager::SetStyle(TStyleManager::SystemStyle());
    EXPECT_EQ(styles, 16) << "\"Windows\" and the 15 shipped styles";
}

} // namespace

#include "tests/support/windows/FormHarness.h"

namespace {

std::map<HWND, std::pair<WNDPROC, int>>& ColorChanges() {
    static std::map<HWND, std::pair<WNDPROC, int>> changes;
    return changes;
}
LRESULT CALLBACK CountColorChange(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto& entry = ColorChanges()[Wnd];
    if (Msg == WM_SYSCOLORCHANGE) ++entry.second;
    return CallWindowProcW(entry.first, Wnd, Msg, WParam, LParam);
}

TEST(StyleSwitch, EveryFormHearsOfAChangedStyleOnceAndOfNoOtherSwitch) {
    testing_support::FormHarness harness;
    auto* top = harness.Create<TForm>();
    auto* inner = harness.Create<TForm>();
    inner->SetParent(top);
    ColorChanges().clear();
    for (TForm* form : {top, inner}) {
        const HWND h = form->Handle();
        ColorChanges()[h].first = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountColorChange)));
    }
    auto style = MakeStyle(QStringLiteral("Switch Dark"), TColor(0x101010));
    TStyleManager::SetStyle(style.get());
    EXPECT_EQ(ColorChanges()[top->Handle()].second, 1);
    EXPECT_EQ(ColorChanges()[inner->Handle()].second, 1) << "the parented form the class library leaves out";
    TStyleManager::SetStyle(style.get());
    EXPECT_EQ(ColorChanges()[top->Handle()].second, 1) << "no change, no message";
    EXPECT_EQ(ColorChanges()[inner->Handle()].second, 1);
    TStyleManager::SetStyle(TStyleManager::SystemStyle());
    EXPECT_EQ(ColorChanges()[top->Handle()].second, 2);
    EXPECT_EQ(ColorChanges()[inner->Handle()].second, 2);
    for (TForm* form : {top, inner})
        SetWindowLongPtrW(form->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ColorChanges()[form->Handle()].first));
}

} // namespace
