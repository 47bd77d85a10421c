// tests/styling/windows/HooksTest.cpp: system colours, brushes, fills, frame controls and icons
// answered from the style through the patched exports, and the exports as they were afterwards.
#include "tests/styling/windows/StyleHookFixture.h"

#include <QDir>
#include <QFont>
#include <QFontMetrics>

#include <algorithm>
#include <array>
#include <map>
#include <cstring>

#include <dlfcn.h>
#ifdef TW_HAVE_CAPSTONE
#include <capstone/capstone.h>
#endif

#include "styling/hooking/CodeHooks.h"
#include "styling/hooks/GlyphFont.h"
#include "styling/hooks/Hooks.h"
#include "styling/hooks/Styling.h"
#include "vcl/Controls.h"

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

// A DIB as a module keeps it (no file header): Height rows of the given red, green and blue pixels,
// of Depth bits each.
std::vector<uint8_t> Dib(int Depth, const std::vector<std::array<uint8_t, 3>>& Row, int Height = 1) {
    const int width = int(Row.size());
    const int stride = ((width * Depth + 31) / 32) * 4;
    std::vector<uint8_t> dib(sizeof(BITMAPINFOHEADER) + size_t(stride) * size_t(Height), 0);
    BITMAPINFOHEADER h{sizeof(BITMAPINFOHEADER), width, Height, 1, WORD(Depth), BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(dib.data(), &h, sizeof h);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = dib.data() + sizeof h + size_t(y) * size_t(stride) + size_t(x) * size_t(Depth / 8);
            p[0] = Row[size_t(x)][2], p[1] = Row[size_t(x)][1], p[2] = Row[size_t(x)][0];
        }
    return dib;
}

// The pixels of a loaded DIB section as red, green, blue and (32 bits) alpha.
std::vector<std::array<uint8_t, 4>> PixelsOf(HANDLE Loaded) {
    DIBSECTION ds{};
    if (!Loaded || !GetObjectW(Loaded, sizeof ds, &ds) || !ds.dsBm.bmBits) return {};
    const int bytes = ds.dsBm.bmBitsPixel / 8;
    std::vector<std::array<uint8_t, 4>> out;
    for (int y = 0; y < ds.dsBm.bmHeight; ++y)
        for (int x = 0; x < ds.dsBm.bmWidth; ++x) {
            const uint8_t* p = static_cast<const uint8_t*>(ds.dsBm.bmBits) + y * ds.dsBm.bmWidthBytes + x * bytes;
            out.push_back({p[2], p[1], p[0], uint8_t(bytes == 4 ? p[3] : 255)});
        }
    return out;
}

TEST_F(ApiHooksTest, FrameBitmapsOfThirtyTwoBitsAreRepaintedAndOthersComeBackAsLoaded) {
    TwRegisterModule(u"explorerframe.dll", reinterpret_cast<const void*>(&GetSysColor));
    const HINSTANCE module = GetModuleHandleW(u"explorerframe.dll");
    ASSERT_NE(module, nullptr);
    // Grey 200, a colour whose grey is 206, white.
    const std::vector<std::array<uint8_t, 3>> pixels{{200, 200, 200}, {255, 200, 110}, {255, 255, 255}};
    const auto deep = Dib(32, pixels), shallow = Dib(24, pixels);
    const auto wide = Dib(32, std::vector<std::array<uint8_t, 3>>(80, {255, 255, 255}), 16);
    TwAddResource(module, RT_BITMAP, MAKEINTRESOURCEW(300), deep.data(), DWORD(deep.size()), TRUE);
    TwAddResource(module, RT_BITMAP, MAKEINTRESOURCEW(301), shallow.data(), DWORD(shallow.size()), TRUE);
    TwAddResource(module, RT_BITMAP, MAKEINTRESOURCEW(288), wide.data(), DWORD(wide.size()), TRUE);
    TwAddResource(module, RT_BITMAP, MAKEINTRESOURCEW(281), deep.data(), DWORD(deep.size()), TRUE);
    auto load = [&](int Id, int Size = 0) {
        return LoadImageW(module, MAKEINTRESOURCEW(Id), IMAGE_BITMAP, Size, Size ? 1 : 0, LR_CREATEDIBSECTION);
    };
    using Px = std::array<uint8_t, 4>;
    std::vector<HANDLE> loaded;
    auto keep = [&](HANDLE H) { return loaded.emplace_back(H); };

    // Any other 32-bit bitmap goes grey, then is burnt with the highlight (red A0, green 50, blue 30),
    // in place: the library's own top-down bitmap comes back, not a copy.
    const HANDLE tinted = keep(load(300));
    EXPECT_EQ(PixelsOf(tinted), (std::vector<Px>{{167, 79, 0, 255}, {177, 99, 0, 255}, {255, 255, 255, 255}}));
    DIBSECTION own{};
    ASSERT_TRUE(GetObjectW(tinted, sizeof own, &own));
    EXPECT_LT(own.dsBmih.biHeight, 0);
    // A 24-bit bitmap and one loaded at a size of its own are the library's.
    const HANDLE plain = keep(load(301));
    DIBSECTION ds{};
    ASSERT_TRUE(GetObjectW(plain, sizeof ds, &ds));
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 24);
    EXPECT_EQ(PixelsOf(plain), (std::vector<Px>{{200, 200, 200, 255}, {255, 200, 110, 255}, {255, 255, 255, 255}}));
    EXPECT_EQ(PixelsOf(keep(load(300, 3))), (std::vector<Px>{{200, 200, 200, 255}, {255, 200, 110, 255}, {255, 255, 255, 255}}));
    // The toolbar strip: the window colour, nearly transparent, with opaque glyphs at its left.
    const auto strip = PixelsOf(keep(load(288)));
    ASSERT_EQ(strip.size(), 80u * 16u);
    EXPECT_EQ(strip[8 * 80 + 75], (Px{0x10, 0x20, 0x40, 1})) << "right of the glyphs: the background";
    if (GlyphFont()) {
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            opaque += int(std::count_if(strip.begin() + y * 80, strip.begin() + y * 80 + 16, [](const Px& P) { return P[3] == 255; }));
        EXPECT_GT(opaque, 0) << "the first glyph";
    }
    // Before 6.2, bitmap 281 is the background only.
    TwSetVersion(6, 1, 7601);
    EXPECT_EQ(PixelsOf(keep(load(281))), std::vector<Px>(3, Px{0x10, 0x20, 0x40, 1}));
    TwSetVersion(0, 0, 0);
    // A failed load comes back as nothing.
    EXPECT_EQ(load(302), nullptr);
    for (HANDLE h : loaded)
        if (h) DeleteObject(h);
}

using TSetWindowTheme = HRESULT (*)(HWND, LPCWSTR, LPCWSTR);
TSetWindowTheme NextSetWindowTheme = nullptr;
std::vector<HWND> ThemesSet;
HRESULT RecordSetWindowTheme(HWND Wnd, LPCWSTR SubAppName, LPCWSTR SubIdList) {
    ThemesSet.push_back(Wnd);
    return NextSetWindowTheme(Wnd, SubAppName, SubIdList);
}

TEST_F(ApiHooksTest, WindowThemesAlwaysReachTheLibrary) {
    // Installed after the styling's own interception, so it hears only what that one hands on.
    NextSetWindowTheme = reinterpret_cast<TSetWindowTheme>(HookModuleFunction(
        QStringLiteral("uxtheme.dll"), "SetWindowTheme", reinterpret_cast<void*>(&RecordSetWindowTheme)));
    ASSERT_NE(NextSetWindowTheme, nullptr);
    ThemesSet.clear();
    const HWND foreign = Make(PlainClass, WS_POPUP);
    std::unique_ptr<TWinControl> control(TWinControl::CreateParented(foreign));
    control->HandleNeeded();
    // Empty names under a custom style: the case the styling would keep from a month calendar, of
    // which the class library here has none.
    for (HWND w : {foreign, control->Handle()}) {
        EXPECT_EQ(SetWindowTheme(w, nullptr, nullptr), S_OK);
        EXPECT_EQ(SetWindowTheme(w, u"", u""), S_OK);
    }
    UseSystemStyle();
    EXPECT_EQ(SetWindowTheme(control->Handle(), u"", u""), S_OK);
    EXPECT_EQ(ThemesSet, (std::vector<HWND>{foreign, foreign, control->Handle(), control->Handle(), control->Handle()}));
    control.reset();
    UnhookFunction(reinterpret_cast<void*>(NextSetWindowTheme));
}

// Every export the styling patches, by module.
const std::vector<std::pair<const char16_t*, const char*>>& PatchedExports() {
    static const std::vector<std::pair<const char16_t*, const char*>> exports{
        {u"user32.dll", "GetSysColor"},          {u"user32.dll", "GetSysColorBrush"},
        {u"user32.dll", "FillRect"},             {u"user32.dll", "DrawEdge"},
        {u"user32.dll", "DrawFrameControl"},     {u"user32.dll", "LoadIconW"},
        {u"user32.dll", "LoadImageW"},           {u"uxtheme.dll", "SetWindowTheme"},
        {u"uxtheme.dll", "OpenThemeData"},       {u"uxtheme.dll", "OpenThemeDataForDpi"},
        {u"uxtheme.dll", "OpenThemeDataEx"},     {u"uxtheme.dll", "DrawThemeBackground"},
        {u"uxtheme.dll", "DrawThemeBackgroundEx"}, {u"uxtheme.dll", "DrawThemeEdge"},
        {u"uxtheme.dll", "DrawThemeText"},       {u"uxtheme.dll", "DrawThemeTextEx"},
        {u"uxtheme.dll", "GetThemeColor"},       {u"uxtheme.dll", "GetThemeSysColor"},
        {u"uxtheme.dll", "GetThemeSysColorBrush"}};
    return exports;
}

const uint8_t* ExportAt(const std::pair<const char16_t*, const char*>& Export) {
    return reinterpret_cast<const uint8_t*>(GetProcAddress(GetModuleHandleW(Export.first), Export.second));
}

// The first bytes of every patched export.
std::vector<std::array<uint8_t, 24>> ExportBytes() {
    std::vector<std::array<uint8_t, 24>> bytes;
    for (const auto& e : PatchedExports()) {
        std::array<uint8_t, 24> b{};
        if (const uint8_t* p = ExportAt(e)) std::memcpy(b.data(), p, b.size());
        bytes.push_back(b);
    }
    return bytes;
}

#ifdef TW_HAVE_CAPSTONE
// Where the code at At jumps, read by a full disassembler: a short jump into a patch area next to
// the entry is followed to the jump there; a jump through a slot elsewhere gives the slot's address
// (where the jump is kept, not the procedure it leads to now). 0 when the code starts with no jump.
const uint8_t* JumpedTo(const uint8_t* At) {
    csh cs = 0;
    if (cs_open(CS_ARCH_X86, CS_MODE_64, &cs) != CS_ERR_OK) return nullptr;
    cs_option(cs, CS_OPT_DETAIL, CS_OPT_ON);
    const uint8_t* where = At;
    const uint8_t* to = nullptr;
    for (int jumps = 0; jumps < 2; ++jumps) {
        cs_insn* insn = nullptr;
        if (cs_disasm(cs, where, 16, uint64_t(uintptr_t(where)), 1, &insn) != 1) break;
        const cs_x86& x = insn->detail->x86;
        const uint8_t* next = nullptr;
        if (insn->id == X86_INS_JMP && x.op_count == 1) {
            const cs_x86_op& op = x.operands[0];
            if (op.type == X86_OP_IMM) next = reinterpret_cast<const uint8_t*>(uintptr_t(op.imm));
            else if (op.type == X86_OP_MEM && op.mem.base == X86_REG_RIP && op.mem.index == X86_REG_INVALID) {
                const uint8_t* slot = where + insn->size + op.mem.disp;
                if (op.mem.disp == 0) { // the address right behind the jump
                    std::memcpy(&next, slot, sizeof next);
                } else {
                    cs_free(insn, 1);
                    to = slot;
                    break;
                }
            }
        }
        cs_free(insn, 1);
        if (!next) break;
        to = next;
        if (std::abs(next - At) > 64) break;
        where = next;
    }
    cs_close(&cs);
    return to;
}
#endif

TEST(StylingEnd, EveryExportJumpsAwayWhilePatchedAndIsAsItWasAfterFinalize) {
    testing_support::HeadlessApp app;
    const auto patched = ExportBytes();
#ifdef TW_HAVE_CAPSTONE
    // Each patched export's first instruction is a jump that leads out of every loaded library, into
    // the memory the hooking engine allocated (or through a slot there, to the first hook).
    for (const auto& e : PatchedExports()) {
        const uint8_t* at = ExportAt(e);
        ASSERT_NE(at, nullptr) << e.second;
        const uint8_t* to = JumpedTo(at);
        ASSERT_NE(to, nullptr) << e.second << " starts with no jump";
        Dl_info info{};
        EXPECT_EQ(dladdr(to, &info), 0) << e.second << " jumps into " << (info.dli_fname ? info.dli_fname : "?");
    }
#endif
    styling::Finalize();
    const auto plain = ExportBytes();
    for (size_t i = 0; i < plain.size(); ++i)
        EXPECT_NE(patched[i], plain[i]) << PatchedExports()[i].second << " was patched";
#ifdef TW_HAVE_CAPSTONE
    // A plain export may itself start with a jump (a tail call), but only within the libraries.
    for (const auto& e : PatchedExports()) {
        Dl_info info{};
        const uint8_t* to = JumpedTo(ExportAt(e));
        EXPECT_TRUE(!to || dladdr(to, &info)) << e.second;
    }
#endif
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
