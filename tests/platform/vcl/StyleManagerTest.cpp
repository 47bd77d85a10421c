#include "vcl/Messages.h"
#include "vcl/StyleFile.h"
#include "vcl/Themes.h"

#include <QDir>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

using namespace vcl;

namespace {

QString StylesDir() {
    return qEnvironmentVariable("TW_SOURCE_DIR", QStringLiteral(TW_VCL_TEST_DIR "/../../..")) +
           QStringLiteral("/data/styles");
}

// The shipped styles, registered once for the whole run (registered styles stay for the process).
void LoadShippedStyles() {
    static const bool loaded = [] {
        for (const QString& f : QDir(StylesDir()).entryList({QStringLiteral("*.vsf")}, QDir::Files, QDir::Name))
            TStyleManager::LoadFromFile(QDir(StylesDir()).filePath(f));
        return true;
    }();
    (void)loaded;
}

class StyleManagerTest : public ::testing::Test {
protected:
    void SetUp() override { LoadShippedStyles(); }
    void TearDown() override { TStyleManager::SetStyle(TStyleManager::SystemStyle()); }
};

TEST_F(StyleManagerTest, ShipsTheStylesByTheirNamesWithWindowsFirst) {
    const auto names = TStyleManager::StyleNames();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), QStringLiteral("Windows"));
    const struct {
        const char* name;
        bool dark;
    } expected[] = {{"Auric", true},          {"Carbon", true},           {"Charcoal Dark Slate", true},
                    {"Cobalt XEMedia", true}, {"Glossy", true},           {"Jet", true},
                    {"TabletDark", true},     {"Iceberg Classico", false}, {"Luna", false},
                    {"Silver", false},        {"Slate Classico", false},
                    // the names under which the program gives its buttons a style's colour map
                    {"Auric Mod", true},      {"Charcoal Dark Slate Mod", true}, {"Luna Mod", false},
                    {"Slate Classico Mod", false}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        auto* style = dynamic_cast<TCustomStyle*>(TStyleManager::Style(QString::fromLatin1(e.name)));
        ASSERT_NE(style, nullptr);
        EXPECT_EQ(style->IsDark(), e.dark);
        // Dark styles have light text on a dark window, light styles the other way round.
        const int window = style->GetSystemColor(clWindow) & 0xFF, text = style->GetSystemColor(clWindowText) & 0xFF;
        EXPECT_EQ(window < text, e.dark);
    }
    EXPECT_EQ(TStyleManager::Style(QStringLiteral("carbon"))->Name(), QStringLiteral("Carbon"));
    EXPECT_EQ(TStyleManager::Style(QStringLiteral("Nonesuch")), nullptr);
}

TEST_F(StyleManagerTest, SwitchingChangesTheSystemColoursAndBack) {
    const DWORD classicFace = GetSysColor(COLOR_BTNFACE), classicWindow = GetSysColor(COLOR_WINDOW);
    HBRUSH faceBrush = GetSysColorBrush(COLOR_BTNFACE);
    const struct {
        const char* name;
        TColor window, face;
    } cases[] = {{"Carbon", TColor(0x191919), TColor(0x2A2A2A)}, {"luna", TColor(0xFFFFFF), TColor(0xD8E9EC)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TStyleManager::SetStyle(QString::fromLatin1(c.name));
        EXPECT_TRUE(TStyleManager::IsCustomStyleActive());
        EXPECT_FALSE(StyleServices()->IsSystemStyle());
        EXPECT_EQ(GetSysColor(COLOR_WINDOW), COLORREF(c.window));
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), COLORREF(c.face));
        EXPECT_EQ(StyleServices()->ColorToRGB(clBtnFace), c.face);
        // A brush handed out earlier paints in the style's colour too.
        TBitmap bmp(4, 4);
        RECT r{0, 0, 4, 4};
        FillRect(bmp.Canvas()->Handle(), &r, faceBrush);
        EXPECT_EQ(bmp.Canvas()->Pixels(1, 1), c.face);
    }
    TStyleManager::SetStyle(QStringLiteral("Windows"));
    EXPECT_FALSE(TStyleManager::IsCustomStyleActive());
    EXPECT_TRUE(StyleServices()->IsSystemStyle());
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), classicFace);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), classicWindow);
}

TEST_F(StyleManagerTest, EveryShippedStyleSetsItsSystemColoursAsTheFileGivesThem) {
    const auto names = TStyleManager::StyleNames();
    for (const rtl::String& name : names) {
        auto* style = dynamic_cast<TCustomStyle*>(TStyleManager::Style(name));
        if (!style) continue; // the system style
        SCOPED_TRACE(name.toStdString());
        TStyleManager::SetStyle(name);
        EXPECT_GE(style->Data().SystemColors.size(), 20u);
        for (const auto& [index, color] : style->Data().SystemColors)
            EXPECT_EQ(GetSysColor(index), COLORREF(color)) << "system colour " << index;
    }
}

TEST_F(StyleManagerTest, UnknownNameLeavesTheActiveStyle) {
    TStyleManager::SetStyle(QStringLiteral("Jet"));
    EXPECT_FALSE(TStyleManager::TrySetStyle(QStringLiteral("No Such Style"), false));
    EXPECT_THROW(TStyleManager::SetStyle(QStringLiteral("No Such Style")), EStyleEngineException);
    EXPECT_EQ(StyleServices()->Name(), QStringLiteral("Jet"));
    EXPECT_TRUE(TStyleManager::TrySetStyle(QStringLiteral("WINDOWS"), false));
    EXPECT_TRUE(StyleServices()->IsSystemStyle());
}

TEST_F(StyleManagerTest, FileWithAnErrorIsRefusedAndChangesNothing) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("broken.vsf"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("tunewright-style 1\nname Broken\ndark no\nsystem clBtnFace #000000\nelement teButton 1 2 fill #12\n");
    f.close();
    TStyleManager::SetStyle(QStringLiteral("Silver"));
    const auto before = TStyleManager::StyleNames();
    EXPECT_FALSE(TStyleManager::IsValidStyle(file));
    try {
        TStyleManager::LoadFromFile(file);
        ADD_FAILURE() << "loaded";
    } catch (const EStyleFileError& e) {
        EXPECT_EQ(e.Line(), 5);
    }
    EXPECT_EQ(TStyleManager::StyleNames(), before);
    EXPECT_EQ(StyleServices()->Name(), QStringLiteral("Silver"));
    EXPECT_EQ(TStyleManager::Style(QStringLiteral("Broken")), nullptr);

    // A valid file under a name already registered is refused as well.
    const QString dup = dir.filePath(QStringLiteral("dup.vsf"));
    TStyleFileData d;
    d.Name = QStringLiteral("CARBON");
    ASSERT_TRUE(WriteStyleFile(dup, d));
    EXPECT_TRUE(TStyleManager::IsValidStyle(dup));
    EXPECT_THROW(TStyleManager::LoadFromFile(dup), EStyleEngineException);
    EXPECT_EQ(TStyleManager::StyleNames(), before);
}

// A top-level window with a child that count the notifications; the top-level window switches
// style while it is created and while it closes, as the main window does.
struct Counting {
    static inline std::map<HWND, int> Changed;
    static inline bool SwitchOnCreate = false;
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == CM_STYLECHANGED) ++Changed[hwnd];
        if (msg == WM_CREATE && SwitchOnCreate) {
            TStyleManager::SetStyle(QStringLiteral("Auric"));
            TStyleManager::SetStyle(QStringLiteral("Auric")); // the same style again: nothing to announce
            TStyleManager::TrySetStyle(QStringLiteral("Luna"), false);
        }
        if (msg == WM_CLOSE) {
            TStyleManager::SetStyle(QStringLiteral("Carbon"));
            DestroyWindow(hwnd);
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
};

TEST_F(StyleManagerTest, SwitchNotifiesEveryWindowOnlyWhenTheStyleChanges) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Counting::Proc;
    wc.lpszClassName = u"TwStyleCounting";
    RegisterClassW(&wc);
    Counting::Changed.clear();
    Counting::SwitchOnCreate = true;
    HWND top = CreateWindowExW(0, u"TwStyleCounting", u"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    Counting::SwitchOnCreate = false;
    ASSERT_TRUE(top);
    EXPECT_EQ(StyleServices()->Name(), QStringLiteral("Luna"));
    // Both switches reached the window being created; the repeated one did not.
    EXPECT_EQ(Counting::Changed[top], 2);
    HWND child = CreateWindowExW(0, u"TwStyleCounting", u"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top, nullptr, nullptr, nullptr);
    HWND grandchild = CreateWindowExW(0, u"TwStyleCounting", u"", WS_CHILD, 0, 0, 5, 5, child, nullptr, nullptr, nullptr);
    ASSERT_TRUE(child && grandchild);
    // Paint everything first, so that what is invalid afterwards is the switch's doing.
    UpdateWindow(top);
    UpdateWindow(child);
    RECT update{};
    ASSERT_FALSE(GetUpdateRect(child, &update, FALSE));
    TStyleManager::SetStyle(TStyleManager::SystemStyle());
    EXPECT_EQ(Counting::Changed[top], 3);
    EXPECT_EQ(Counting::Changed[child], 1);
    EXPECT_EQ(Counting::Changed[grandchild], 1);
    // The switch repaints the windows, children included.
    EXPECT_TRUE(GetUpdateRect(top, &update, FALSE));
    EXPECT_TRUE(GetUpdateRect(child, &update, FALSE));

    SendMessageW(top, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_EQ(StyleServices()->Name(), QStringLiteral("Carbon"));
    EXPECT_EQ(Counting::Changed[top], 4);
}

// Renders one element state into a fresh bitmap on a blue ground.
std::unique_ptr<TBitmap> Render(TCustomStyleServices* Style, const TThemedElementDetails& D) {
    auto bmp = std::make_unique<TBitmap>(24, 20);
    bmp->SetPixelFormat(pf32bit);
    bmp->Canvas()->Brush()->SetColor(TColor(0xFF0000));
    bmp->Canvas()->FillRect(Rect(0, 0, 24, 20));
    Style->DrawElement(bmp->Canvas()->Handle(), D, Rect(2, 2, 22, 18));
    return bmp;
}

// Both 32-bit bitmaps of Render's size, compared row by row.
bool SamePixels(TBitmap& A, TBitmap& B) {
    for (int y = 0; y < A.Height(); ++y)
        if (std::memcmp(A.ScanLine(y), B.ScanLine(y), size_t(A.Width()) * 4) != 0) return false;
    return true;
}

TEST_F(StyleManagerTest, EveryStateDrawsDifferentlyFromTheStateBefore) {
    for (const char* name : {"Carbon", "Luna"}) {
        auto* style = dynamic_cast<TCustomStyle*>(TStyleManager::Style(QString::fromLatin1(name)));
        ASSERT_NE(style, nullptr);
        int compared = 0;
        for (const TStyleElementEntry& e : style->Data().Elements) {
            if (e.State < 2) continue;
            const TThemedElementDetails d{e.Element, e.Part, e.State}, before{e.Element, e.Part, e.State - 1};
            const auto a = Render(style, before), b = Render(style, d);
            EXPECT_FALSE(SamePixels(*a, *b)) << name << ' ' << ElementName(e.Element).toStdString() << ' ' << e.Part
                                             << ' ' << e.State;
            ++compared;
        }
        EXPECT_GT(compared, 300) << name; // every state of every part the details list
    }
}

// The element states the program's controls and the styling of system windows draw, as runs of
// one part's consecutive states from the first to the last.
struct TStateRun {
    TThemedElementDetails first, last;
};

template <class T> TStateRun Run(T First, T Last) {
    TCustomStyleServices* s = TStyleManager::SystemStyle();
    return {s->GetElementDetails(First), s->GetElementDetails(Last)};
}

std::vector<TStateRun> ListedStateRuns() {
    return {
        Run(tbPushButtonNormal, tbPushButtonDefaultedAnimating),
        Run(tbRadioButtonUncheckedNormal, tbRadioButtonCheckedDisabled),
        Run(tbCheckBoxUncheckedNormal, tbCheckBoxExcludedDisabled),
        Run(tbGroupBoxNormal, tbGroupBoxDisabled),
        Run(tbCommandLinkGlyphNormal, tbCommandLinkGlyphDefaulted),
        Run(teEditTextNormal, teEditTextAssist),
        Run(teEditBorderNoScrollNormal, teEditBorderNoScrollDisabled),
        Run(teEditBorderHScrollNormal, teEditBorderHScrollDisabled),
        Run(teEditBorderVScrollNormal, teEditBorderVScrollDisabled),
        Run(teEditBorderHVScrollNormal, teEditBorderHVScrollDisabled),
        Run(tcDropDownButtonNormal, tcDropDownButtonDisabled),
        Run(tcBorderNormal, tcBorderDisabled),
        Run(tsArrowBtnUpNormal, tsArrowBtnRightHover),
        Run(tsThumbBtnHorzNormal, tsThumbBtnHorzHover),
        Run(tsThumbBtnVertNormal, tsThumbBtnVertHover),
        Run(tsLowerTrackHorzNormal, tsLowerTrackHorzHover),
        Run(tsUpperTrackHorzNormal, tsUpperTrackHorzHover),
        Run(tsLowerTrackVertNormal, tsLowerTrackVertHover),
        Run(tsUpperTrackVertNormal, tsUpperTrackVertHover),
        Run(tsGripperHorzNormal, tsGripperHorzHover),
        Run(tsGripperVertNormal, tsGripperVertHover),
        Run(tsSizeBoxRightAlign, tsSizeBoxHalfTopLeftAlign),
        Run(tsUpNormal, tsUpDisabled),
        Run(tsDownNormal, tsDownDisabled),
        Run(tmMenuItemNormal, tmMenuItemDemoted),
        Run(tmMenuBarItemNormal, tmMenuBarItemDisabledPushed),
        Run(tmPopupCheckMarkNormal, tmPopupBulletDisabled),
        Run(tmPopupCheckBackgroundDisabled, tmPopupCheckBackgroundBitmap),
        Run(tmPopupItemNormal, tmPopupItemDisabledHot),
        Run(tmPopupSubMenuNormal, tmPopupSubMenuDisabled),
        Run(thHeaderItemNormal, thHeaderItemPressed),
        Run(thHeaderItemLeftNormal, thHeaderItemLeftPressed),
        Run(thHeaderItemRightNormal, thHeaderItemRightPressed),
        Run(ttbButtonNormal, ttbButtonCheckedHot),
        Run(ttbDropDownButtonNormal, ttbDropDownButtonCheckedHot),
        Run(ttbSplitButtonNormal, ttbSplitButtonCheckedHot),
        Run(ttbSplitButtonDropDownNormal, ttbSplitButtonDropDownCheckedHot),
        Run(ttbDropDownButtonGlyphNormal, ttbDropDownButtonGlyphDisabled),
        Run(ttTabItemNormal, ttTabItemFocused),
        Run(ttTabItemLeftEdgeNormal, ttTabItemLeftEdgeFocused),
        Run(ttTabItemRightEdgeNormal, ttTabItemRightEdgeFocused),
        Run(ttTabItemBothEdgeNormal, ttTabItemBothEdgeFocused),
        Run(ttbThumbNormal, ttbThumbDisabled),
        Run(ttbThumbBottomNormal, ttbThumbBottomDisabled),
        Run(ttbThumbTopNormal, ttbThumbTopDisabled),
        Run(ttbThumbVertNormal, ttbThumbVertDisabled),
        Run(ttbThumbLeftNormal, ttbThumbLeftDisabled),
        Run(ttbThumbRightNormal, ttbThumbRightDisabled),
        Run(tcpThemedChevronOpenedNormal, tcpThemedChevronOpenedPressed),
        Run(tcpThemedChevronClosedNormal, tcpThemedChevronClosedPressed),
        Run(tgCellNormal, tgCellRowSelectedRight),
        Run(tgFixedCellNormal, tgFixedCellPressed),
        Run(tlListItemNormal, tlListItemHotSelected),
        Run(ttlTextLabelNormal, ttlTextLabelDisabled),
        Run(twCaptionActive, twCaptionDisabled),
        Run(twSmallCaptionActive, twSmallCaptionDisabled),
        Run(twFrameLeftActive, twFrameLeftInactive),
        Run(twFrameRightActive, twFrameRightInactive),
        Run(twFrameBottomActive, twFrameBottomInactive),
        Run(twSmallFrameLeftActive, twSmallFrameLeftInactive),
        Run(twSmallFrameRightActive, twSmallFrameRightInactive),
        Run(twSmallFrameBottomActive, twSmallFrameBottomInactive),
        Run(twSysButtonNormal, twSysButtonDisabled),
        Run(twMinButtonNormal, twMinButtonDisabled),
        Run(twMaxButtonNormal, twMaxButtonDisabled),
        Run(twCloseButtonNormal, twCloseButtonDisabled),
        Run(twSmallCloseButtonNormal, twSmallCloseButtonDisabled),
        Run(twRestoreButtonNormal, twRestoreButtonDisabled),
        Run(twHelpButtonNormal, twHelpButtonDisabled),
    };
}

TEST_F(StyleManagerTest, EveryListedStateOfEveryShippedStyleDrawsDifferentlyFromTheStateBefore) {
    const auto runs = ListedStateRuns();
    // One bitmap for all drawings; each state's pixels are kept for the comparison with the next.
    TBitmap bmp(24, 20);
    bmp.SetPixelFormat(pf32bit);
    auto draw = [&](TCustomStyleServices* style, const TThemedElementDetails& d) {
        bmp.Canvas()->Brush()->SetColor(TColor(0xFF0000));
        bmp.Canvas()->FillRect(Rect(0, 0, 24, 20));
        style->DrawElement(bmp.Canvas()->Handle(), d, Rect(2, 2, 22, 18));
        std::vector<uint32_t> pixels(24 * 20);
        for (int y = 0; y < 20; ++y) std::memcpy(&pixels[size_t(y) * 24], bmp.ScanLine(y), 24 * 4);
        return pixels;
    };
    for (const rtl::String& name : TStyleManager::StyleNames()) {
        TCustomStyleServices* style = TStyleManager::Style(name);
        if (style->IsSystemStyle()) continue;
        for (const TStateRun& run : runs) {
            ASSERT_EQ(run.first.Element, run.last.Element);
            ASSERT_EQ(run.first.Part, run.last.Part);
            auto before = draw(style, run.first);
            for (int state = run.first.State + 1; state <= run.last.State; ++state) {
                auto now = draw(style, {run.first.Element, run.first.Part, state});
                EXPECT_NE(before, now) << name.toStdString() << ' ' << ElementName(run.first.Element).toStdString()
                                       << " part " << run.first.Part << " state " << state;
                before = std::move(now);
            }
        }
    }
}

TEST_F(StyleManagerTest, StateMarksAreDrawnInTheGlyphColour) {
    auto* style = TStyleManager::Style(QStringLiteral("Carbon"));
    TColor glyph = clNone;
    const auto checked = style->GetElementDetails(tbCheckBoxCheckedNormal);
    const auto unchecked = style->GetElementDetails(tbCheckBoxUncheckedNormal);
    ASSERT_TRUE(style->GetElementColor(checked, ecGlyphTextColor, glyph));
    auto count = [&](const TThemedElementDetails& d) {
        const auto bmp = Render(style, d);
        int n = 0;
        for (int y = 3; y < 17; ++y)
            for (int x = 3; x < 21; ++x) n += bmp->Canvas()->Pixels(x, y) == glyph;
        return n;
    };
    EXPECT_GT(count(checked), 5);
    EXPECT_EQ(count(unchecked), 0);
    EXPECT_GT(count(style->GetElementDetails(tsArrowBtnDownNormal)), 3);
}

TEST_F(StyleManagerTest, ElementPictureIsDrawnStretchedOverTheElement) {
    QTemporaryDir dir;
    QImage red(2, 2, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    ASSERT_TRUE(red.save(dir.filePath(QStringLiteral("red.png")), "PNG"));
    QFile f(dir.filePath(QStringLiteral("pictured.vsf")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("tunewright-style 1\nname Pictured\ndark no\nelement teButton 1 1 fill #00FF00 image red.png\n");
    f.close();
    TCustomStyleServices* style = TStyleManager::LoadFromFile(f.fileName());
    const auto bmp = Render(style, style->GetElementDetails(tbPushButtonNormal));
    EXPECT_EQ(bmp->Canvas()->Pixels(12, 10), clRed);
    EXPECT_EQ(bmp->Canvas()->Pixels(21, 17), clRed);
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 1), TColor(0xFF0000)); // the ground around it stays
    // A picture gone since loading leaves the element's colours.
    QFile::remove(dir.filePath(QStringLiteral("red.png")));
    auto* fresh = dynamic_cast<TCustomStyle*>(style);
    ASSERT_NE(fresh, nullptr);
    TCustomStyle copy(fresh->Data());
    EXPECT_EQ(Render(&copy, copy.GetElementDetails(tbPushButtonNormal))->Canvas()->Pixels(12, 10), clLime);
}

TEST_F(StyleManagerTest, ElementSizesColoursAndContentRects) {
    TCustomStyleServices* classic = TStyleManager::SystemStyle();
    TCustomStyleServices* carbon = TStyleManager::Style(QStringLiteral("Carbon"));
    const TRect bounds = Rect(10, 10, 110, 40);
    struct Case {
        TCustomStyleServices* style;
        TThemedElementDetails details;
        TRect content;
    };
    const Case cases[] = {
        {classic, classic->GetElementDetails(tbPushButtonNormal), Rect(12, 12, 108, 38)},
        {classic, classic->GetElementDetails(tsPane), Rect(11, 11, 109, 39)},
        {classic, classic->GetElementDetails(tpPanelBackground), bounds},
        {carbon, carbon->GetElementDetails(tbPushButtonNormal), Rect(11, 11, 109, 39)}, // one-pixel border
        {carbon, carbon->GetElementDetails(teEditTextNormal), Rect(11, 11, 109, 39)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style->Name().toStdString() + " " + ElementName(c.details.Element).toStdString());
        TRect content;
        EXPECT_TRUE(c.style->GetElementContentRect(nullptr, c.details, bounds, content));
        EXPECT_EQ(content, c.content);
    }
    // Margins are the widths around that content.
    for (const auto& [style, width] : {std::pair{classic, 2}, std::pair{carbon, 1}}) {
        TElementMargins m{};
        EXPECT_TRUE(style->GetElementMargins(nullptr, style->GetElementDetails(tbPushButtonNormal), emContent, m));
        EXPECT_EQ(m.cxLeftWidth, width);
        EXPECT_EQ(m.cxRightWidth, width);
        EXPECT_EQ(m.cyTopHeight, width);
        EXPECT_EQ(m.cyBottomHeight, width);
        EXPECT_FALSE(style->GetElementMargins(nullptr, style->GetElementDetails(twCaptionActive), emSizing, m));
    }
    for (TCustomStyleServices* style : {classic, carbon}) {
        TSize size;
        EXPECT_TRUE(style->GetElementSize(nullptr, style->GetElementDetails(tbCheckBoxUncheckedNormal), esActual, size));
        EXPECT_EQ(size.cx, 13);
        EXPECT_EQ(size.cy, 13);
        EXPECT_TRUE(style->GetElementSize(nullptr, style->GetElementDetails(tsArrowBtnUpNormal), esActual, size));
        EXPECT_EQ(size.cx, GetSystemMetrics(SM_CXVSCROLL));
        EXPECT_EQ(size.cy, GetSystemMetrics(SM_CYVSCROLL));
    }
    // The style's colours: its own where it gives them, its system colours where it does not.
    TColor text = clNone;
    EXPECT_TRUE(carbon->GetElementColor(carbon->GetElementDetails(tbPushButtonNormal), ecTextColor, text));
    EXPECT_EQ(text, TColor(0xDCDCDC));
    EXPECT_TRUE(carbon->GetElementColor(carbon->GetElementDetails(tbPushButtonNormal), ecEdgeShadowColor, text));
    EXPECT_EQ(text, carbon->GetSystemColor(clBtnShadow));
    EXPECT_EQ(carbon->GetStyleColor(scWindow), TColor(0x191919));
    EXPECT_EQ(carbon->GetStyleColor(scTreeView), TColor(0x191919));
    EXPECT_EQ(carbon->GetStyleFontColor(sfButtonTextDisabled), carbon->GetSystemColor(clGrayText));
    EXPECT_FALSE(carbon->HasTransparentParts(carbon->GetElementDetails(tbCheckBoxUncheckedNormal)));
}

} // namespace
