// tests/styling/windows/ThemeHandlersTest.cpp: the background handlers of the theme classes, row by
// row against a style that records the elements it draws and a trampoline that records what is
// handed on; washes, placement, menu clips, the task-dialog message and the glyph face on pixels.
#include "tests/styling/windows/StyleHookFixture.h"

#include <functional>

#include <QFile>
#include <QRegularExpression>

#include "styling/hooks/StyleGraphics.h"
#include "styling/hooks/ThemeHandlers.h"
#include "styling/hooks/UxTheme.h"
#include "vcl/GraphUtil.h"

using namespace styling;
using namespace styletest;
using namespace vcl;

namespace {

struct Forwarded {
    int Calls = 0;
    int Part = -1, State = -1;
    const void* Clip = nullptr;
};
Forwarded Library;
HRESULT RecordingTrampoline(HTHEME, HDC, int Part, int State, LPCRECT, const void* Clip) {
    ++Library.Calls;
    Library.Part = Part;
    Library.State = State;
    Library.Clip = Clip;
    return HRESULT(0x80070490);  // what the library answers is what the handler answers
}

std::vector<std::u16string> DebugLines;
void CollectDebug(LPCWSTR Text) { DebugLines.emplace_back(reinterpret_cast<const char16_t*>(Text)); }

constexpr TColor Highlight = TColor(0x3050A0);
constexpr TColor Magenta = TColor(0xFF00FF);

class ThemeHandlersTest : public StyleHookTest {
protected:
    void SetUp() override {
        StyleHookTest::SetUp();
        TStyleFileData data;
        data.Name = QStringLiteral("Recording");
        data.SystemColors[COLOR_HIGHLIGHT] = Highlight;
        data.SystemColors[COLOR_WINDOW] = TColor(0x302010);
        data.SystemColors[COLOR_MENU] = TColor(0x204060);
        data.SystemColors[COLOR_BTNFACE] = TColor(0x404040);
        data.SystemColors[COLOR_BTNTEXT] = TColor(0xE0E0E0);
        data.StyleColors[scEdit] = TColor(0x101010);
        data.StyleColors[scBorder] = TColor(0x202020);
        data.StyleColors[scPanel] = TColor(0x303030);
        data.FontColors[sfPopupMenuItemTextNormal] = TColor(0x00FF00);
        data.FontColors[sfPopupMenuItemTextDisabled] = TColor(0x808080);
        data.Elements.push_back({teButton, 1, 0, {TColor(0x0000FF), TColor(0x00FF00), clNone, clNone, {}}});
        data.Elements.push_back({teToolBar, 1, 0, {TColor(0x0000FF), TColor(0x00FF00), clNone, clNone, {}}});
        Recording = std::make_unique<RecordingStyle>(data);
        TStyleManager::SetStyle(Recording.get());
        Library = Forwarded{};
        DebugLines.clear();
        Bmp = std::make_unique<TBitmap>(120, 80);
        Bmp->SetPixelFormat(pf32bit);
        Paint(Magenta);
    }
    void TearDown() override {
        TwSetDebugOutputSink(nullptr);
        TwSetVersion(0, 0, 0);
        TStyleManager::SetStyle(Style.get());
        StyleHookTest::TearDown();
    }
    void Paint(TColor C) { FillRectColor(Dc(), TRect(0, 0, 120, 80), C); }
    HDC Dc() { return Bmp->Canvas()->Handle(); }
    TColor Pixel(int X, int Y) { return Bmp->Canvas()->Pixels(X, Y) & 0xFFFFFF; }

    static TFuncDrawThemeBackground HandlerOf(const char* Class) {
        for (const auto& [key, handler] : ThemeClassHandlerTable())
            if (key.compare(QLatin1String(Class), Qt::CaseInsensitive) == 0) return handler;
        return nullptr;
    }
    HRESULT Call(const char* Class, int Part, int State, const RECT& R = RECT{0, 0, 40, 20}, const void* Clip = nullptr,
                 HWND Window = nullptr) {
        Recording->Forget();
        Library = Forwarded{};
        TFuncDrawThemeBackground handler = HandlerOf(Class);
        EXPECT_NE(handler, nullptr) << Class;
        if (!handler) return E_FAIL;
        return handler(HTHEME(0x51), Dc(), Part, State, &R, Clip, &RecordingTrampoline,
                       QString::fromLatin1(Class), Window);
    }

    std::unique_ptr<RecordingStyle> Recording;
    std::unique_ptr<TBitmap> Bmp;
};

bool SameDetails(const TThemedElementDetails& A, const TThemedElementDetails& B) {
    return A.Element == B.Element && A.Part == B.Part && A.State == B.State;
}

// Which elements a row draws (none for a fill, wash, arrow or glyph), or that it is handed on.
struct Row {
    const char* Class;
    int Part, State;
    std::vector<TThemedElementDetails> Elements;
    bool Forward = false;
};

TEST_F(ThemeHandlersTest, EveryHandlerDrawsItsRowsAndForwardsTheirNeighbours) {
    TwSetVersion(10, 0, 19041);
    const TCustomStyleServices* s = Recording.get();
    auto D = [&](auto E) { return std::vector<TThemedElementDetails>{s->GetElementDetails(E)}; };
    auto D2 = [&](auto A, auto B) { return std::vector<TThemedElementDetails>{s->GetElementDetails(A), s->GetElementDetails(B)}; };
    const std::vector<TThemedElementDetails> none;
    const Row rows[] = {
        {"LISTVIEW", 1, 3, none}, {"LISTVIEW", 1, 4, none, true}, {"LISTVIEW", 6, 13, none}, {"LISTVIEW", 6, 9, none, true},
        {"LISTVIEW", 7, 12, none}, {"LISTVIEW", 7, 13, none, true}, {"LISTVIEW", 8, 2, D(tcpThemedChevronOpenedHot)},
        {"LISTVIEW", 8, 7, D(tcpThemedChevronOpenedNormal)}, {"ItemsView", 9, 3, D(tcpThemedChevronClosedPressed)},
        {"LISTVIEW", 10, 0, none}, {"LISTVIEW", 2, 1, none, true}, {"Explorer::ListView", 3, 3, none, true},
        {"TAB", 5, 3, D(ttTabItemSelected)}, {"TAB", 5, 4, none, true}, {"TAB", 6, 4, D(ttTabItemLeftEdgeDisabled)},
        {"TAB", 7, 1, D(ttTabItemRightEdgeNormal)}, {"TAB", 9, 7, D(ttPane)}, {"TAB", 8, 1, none, true},
        {"ListViewPopup", 0, 5, none}, {"ListViewPopup", 1, 0, none, true},
        {"HEADER", 0, 9, D(tcpThemedHeader)}, {"ItemsView::Header", 1, 11, D(thHeaderItemHot)},
        {"HEADER", 1, 13, D(thHeaderItemNormal)}, {"HEADER", 1, 9, D(thHeaderItemPressed)}, {"HEADER", 4, 1, none},
        {"HEADER", 5, 3, D(ttbSplitButtonDropDownHot)}, {"HEADER", 6, 4, none, true}, {"HEADER", 2, 1, none, true},
        {"TOOLTIP", 1, 7, none}, {"TOOLTIP", 3, 0, none}, {"TOOLTIP", 6, 2, none}, {"TOOLTIP", 2, 1, none, true},
        {"TRACKBAR", 2, 1, D(ttbTrackVert)}, {"TRACKBAR", 2, 2, none, true}, {"TRACKBAR", 8, 4, D(ttbThumbRightFocused)},
        {"TRACKBAR", 8, 6, none, true},
        {"TOOLBAR", 0, 0, D(tmPopupBackground)}, {"TOOLBAR", 0, 1, none, true}, {"TOOLBAR", 1, 7, D(ttbButtonHot)},
        {"TOOLBAR", 1, 4, none, true}, {"TOOLBAR", 3, 8, D(ttbSplitButtonHot)}, {"TOOLBAR", 4, 1, none},
        {"TOOLBAR", 4, 3, D(ttbSplitButtonDropDownPressed)}, {"TOOLBAR", 4, 4, none, true},
        {"REBAR", 3, 9, none}, {"REBAR", 4, 1, none, true},
        {"MONTHCAL", 2, 1, D(teEditBorderNoScrollNormal)}, {"MONTHCAL", 4, 1, none}, {"MONTHCAL", 10, 4, D(tsArrowBtnRightDisabled)},
        {"MONTHCAL", 11, 1, D(tsArrowBtnLeftNormal)}, {"MONTHCAL", 11, 5, none, true}, {"MONTHCAL", 7, 1, none, true},
        {"DATEPICKER", 2, 3, D(teEditBorderNoScrollFocused)}, {"DATEPICKER", 3, 2, D(tcBorderHot)},
        {"DATEPICKER", 3, 5, none, true}, {"DATEPICKER", 1, 1, none, true},
        {"COMBOBOX", 4, 3, D(tcBorderFocused)}, {"COMBOBOX", 6, 2, D(tcDropDownButtonHot)}, {"COMBOBOX", 6, 5, none, true},
        {"SPIN", 1, 3, D(tsUpPressed)}, {"SPIN", 2, 4, D(tsDownDisabled)}, {"SPIN", 3, 1, none, true}, {"SPIN", 1, 0, none, true},
        {"LISTBOX", 3, 2, D(teEditBorderNoScrollFocused)}, {"LISTBOX", 3, 3, D(teEditBorderNoScrollHot)},
        {"LISTBOX", 3, 5, none, true},
        {"TREEVIEW", 1, 3, none}, {"TREEVIEW", 1, 4, none, true}, {"TREEVIEW", 4, 2, none}, {"TREEVIEW", 3, 1, none, true},
        {"BUTTON", 1, 5, D(tbPushButtonDefaulted)}, {"BUTTON", 1, 7, none, true},
        {"Button-OK;Button", 2, 8, D(tbRadioButtonCheckedDisabled)}, {"BUTTON", 3, 20, D(tbCheckBoxExcludedDisabled)},
        {"BUTTON", 3, 21, none, true}, {"Button-CANCEL;Button", 7, 5, D(tbCommandLinkGlyphDefaulted)}, {"BUTTON", 4, 1, none, true},
        {"PROGRESS", 5, 1, D(tpChunk)}, {"Indeterminate::Progress", 5, 1, D(tpBar)}, {"PROGRESS", 8, 2, D(tpMoveOverlay)},
        {"Indeterminate::Progress", 8, 2, D(tpChunk)}, {"PROGRESS", 12, 3, D(tpBarVert)}, {"PROGRESS", 7, 1, none, true},
        {"SCROLLBAR", 11, 1, D(tsScrollBarRoot)}, {"SCROLLBAR", 1, 0, D(tsScrollBarRoot)},
        {"SCROLLBAR", 1, 18, D(tsArrowBtnDownNormal)}, {"SCROLLBAR", 1, 16, D(tsArrowBtnRightDisabled)},
        {"SCROLLBAR", 2, 5, D2(tsUpperTrackHorzNormal, tsThumbBtnHorzNormal)},
        {"SCROLLBAR", 3, 2, D2(tsUpperTrackVertNormal, tsThumbBtnVertHot)}, {"SCROLLBAR", 8, 5, D(tsGripperHorzHover)},
        {"SCROLLBAR", 9, 5, D(tsGripperVertNormal)}, {"SCROLLBAR", 10, 8, D(tsSizeBoxHalfTopLeftAlign)},
        {"EDIT", 5, 3, D(teEditBorderNoScrollFocused)}, {"EDIT", 6, 4, none}, {"EDIT", 5, 5, none, true},
        {"EDIT", 7, 4, D(teEditBorderHScrollDisabled)}, {"EDIT", 9, 2, D(teEditBorderHVScrollHot)}, {"EDIT", 8, 5, none, true},
        {"MENU", 10, 7, D(tmPopupBorders)}, {"MENU", 12, 3, none}, {"MENU", 12, 4, none, true},
        {"MENU", 14, 4, D(tmPopupItemHot)}, {"MENU", 14, 5, none, true}, {"MENU", 15, 0, D(tmPopupSeparator)},
        {"MENU", 11, 5, none, true}, {"MENU", 16, 3, none, true}, {"MENU", 9, 0, D(tmPopupBackground)},
        {"MENU", 17, 2, none}, {"MENU", 20, 3, none, true}, {"MENU", 21, 1, none, true},
        {"InfoBar", 1, 4, none}, {"InfoBar", 1, 5, none, true},
        {"BreadcrumbBar", 1, 3, D2(ttbButtonPressed, tsArrowBtnLeftPressed)},
        {"BreadcrumbBar", 1, 8, D2(ttbButtonHot, tsArrowBtnLeftHot)}, {"BreadcrumbBar", 1, 4, none, true},
        {"TryHarder", 0, 3, none}, {"TryHarder", 1, 0, none, true},
        {"PreviewPane", 1, 1, D(tcpThemedHeader)}, {"PreviewPane", 1, 2, none, true}, {"PreviewPane", 4, 0, none},
        {"PreviewPane", 3, 1, none, true},
        {"AddressBand", 1, 4, none}, {"AddressBand", 1, 3, none, true},
        {"SearchBoxComposited::SearchBox", 1, 2, D(teEditBorderNoScrollHot)}, {"SearchBox", 1, 3, none, true},
        {"SearchBox", 3, 1, none}, {"SearchBox", 3, 2, none, true},
        {"Navigation", 1, 2, D(ttbButtonHot)}, {"Navigation", 1, 5, none, true},
        {"Navigation", 3, 4, D(ttbSplitButtonDropDownDisabled)},
        {"CommonItemsDialog", 1, 0, D(twWindowRoot)}, {"CommonItemsDialog", 1, 1, none, true},
        {"CommandModule", 1, 0, D(tcpThemedHeader)}, {"CommandModule", 3, 1, D(tbPushButtonNormal)},
        {"CommandModule", 3, 4, D(tbPushButtonNormal)}, {"CommandModule", 3, 5, none, true},
        {"CommandModule", 9, 5, D(tbPushButtonNormal)}, {"CommandModule", 6, 2, none, true}, {"CommandModule", 8, 2, none},
        {"CommandModule", 8, 3, none, true}, {"CommandModule", 11, 0, none}, {"CommandModule", 12, 1, none, true},
        {"TASKDIALOG", 13, 4, D(tcpThemedChevronOpenedNormal)}, {"TASKDIALOG", 13, 7, none, true},
        {"TASKDIALOG", 17, 0, none}, {"TASKDIALOG", 8, 3, none},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.Class << " part " << row.Part << " state " << row.State);
        const HRESULT result = Call(row.Class, row.Part, row.State);
        EXPECT_EQ(Library.Calls, row.Forward ? 1 : 0);
        EXPECT_EQ(result, row.Forward ? HRESULT(0x80070490) : S_OK);
        if (row.Forward) {
            EXPECT_EQ(Library.Part, row.Part);
            EXPECT_EQ(Library.State, row.State);
        }
        ASSERT_EQ(Recording->Elements.size(), row.Elements.size());
        for (size_t i = 0; i < row.Elements.size(); ++i) EXPECT_TRUE(SameDetails(Recording->Elements[i].Details, row.Elements[i])) << i;
    }
}

TEST_F(ThemeHandlersTest, NavigationAndCommonItemsDialogJoinOnlyFromVersion62) {
    auto has = [](const char* Class) { return HandlerOf(Class) != nullptr; };
    TwSetVersion(6, 1, 7601);
    EXPECT_FALSE(has("Navigation"));
    EXPECT_FALSE(has("CommonItemsDialog"));
    EXPECT_TRUE(has("TASKDIALOG"));
    TwSetVersion(6, 2, 9200);
    EXPECT_TRUE(has("Navigation"));
    EXPECT_TRUE(has("CommonItemsDialog"));
}

TEST_F(ThemeHandlersTest, WashesBlendTheHighlightAtTheirOpacity) {
    // Inside the outline the highlight lies over white at 50, 96 or 200 of 255.
    struct Case {
        const char* Class;
        int Part, State, Alpha;
    };
    for (const Case& c : {Case{"LISTVIEW", 1, 3, 50}, Case{"LISTVIEW", 1, 6, 96}, Case{"MONTHCAL", 5, 5, 200}, Case{"MONTHCAL", 5, 1, 96}}) {
        SCOPED_TRACE(testing::Message() << c.Class << " " << c.State);
        Paint(clWhite);
        EXPECT_EQ(Call(c.Class, c.Part, c.State, RECT{10, 10, 50, 30}), S_OK);
        const TColor inside = Pixel(30, 20);
        for (int shift : {0, 8, 16}) {
            const int h = (Highlight >> shift) & 0xFF;
            EXPECT_NEAR(int((inside >> shift) & 0xFF), (h * c.Alpha + 255 * (255 - c.Alpha)) / 255, 2);
        }
        EXPECT_EQ(Pixel(10, 20), Highlight);  // the outline on the rectangle's edge
        EXPECT_EQ(Pixel(9, 20), clWhite);
    }
    // Other list classes keep the item's edge free: the outline moves one pixel in.
    Paint(clWhite);
    Call("ItemsView::ListView", 1, 3, RECT{10, 10, 50, 30});
    EXPECT_EQ(Pixel(10, 20), clWhite);
    EXPECT_EQ(Pixel(11, 20), Highlight);
}

TEST_F(ThemeHandlersTest, ButtonFacesAndNavigationButtonsLandOnTheirRectangle) {
    for (const char* cls : {"BUTTON", "Navigation"}) {
        SCOPED_TRACE(cls);
        TwSetVersion(10, 0, 19041);
        Paint(Magenta);
        EXPECT_EQ(Call(cls, 1, 1, RECT{40, 30, 100, 60}), S_OK);
        ASSERT_FALSE(Recording->Elements.empty());
        EXPECT_EQ(Recording->Elements[0].R, TRect(0, 0, 60, 30));  // the element fills the bitmap
        EXPECT_EQ(Pixel(20, 15), Magenta);                   // nothing at the DC's origin
        EXPECT_EQ(Pixel(39, 45), Magenta);
        EXPECT_EQ(Pixel(50, 59), TColor(0x00FF00)) << "the face's border along the bottom";
        EXPECT_EQ(Pixel(45, 45), TColor(0x0000FF)) << "the face fills the inside";
        EXPECT_EQ(Pixel(100, 45), Magenta);
    }
}

TEST_F(ThemeHandlersTest, MenuClipComesFromTheOptionsOnlyWhenTheyCarryOne) {
    TwSetThemeActive(TRUE);
    const HTHEME menu = OpenThemeData(nullptr, u"MENU");
    ASSERT_NE(menu, HTHEME(0));
    const RECT r{0, 0, 60, 40};
    // Options without a clip: the call has none, so the popup background is drawn.
    DTBGOPTS options{sizeof(DTBGOPTS), 0, RECT{100, 100, 5, 5}};
    Recording->Forget();
    Paint(Magenta);
    EXPECT_EQ(DrawThemeBackgroundEx(menu, Dc(), 9, 0, &r, &options), S_OK);
    ASSERT_EQ(Recording->Elements.size(), 1u);
    EXPECT_TRUE(SameDetails(Recording->Elements[0].Details, Recording->GetElementDetails(tmPopupBackground)));
    // With the flag the menu colour fills that clip and no element is drawn.
    options = DTBGOPTS{sizeof(DTBGOPTS), DTBG_CLIPRECT, RECT{10, 10, 20, 20}};
    Recording->Forget();
    Paint(Magenta);
    EXPECT_EQ(DrawThemeBackgroundEx(menu, Dc(), 13, 0, &r, &options), S_OK);
    EXPECT_TRUE(Recording->Elements.empty());
    EXPECT_EQ(Pixel(15, 15), TColor(0x204060));
    EXPECT_EQ(Pixel(25, 15), Magenta);
    // Part 13 without a usable clip fills its own rectangle.
    options.dwFlags = 0;
    Paint(Magenta);
    EXPECT_EQ(DrawThemeBackgroundEx(menu, Dc(), 13, 0, &r, &options), S_OK);
    EXPECT_EQ(Pixel(50, 30), TColor(0x204060));
    // The plain call takes its sixth argument as the clip.
    const RECT clip{30, 5, 40, 15};
    Paint(Magenta);
    EXPECT_EQ(DrawThemeBackground(menu, Dc(), 9, 0, &r, &clip), S_OK);
    EXPECT_EQ(Pixel(35, 10), TColor(0x204060));
    EXPECT_EQ(Pixel(5, 30), Magenta);
    CloseThemeData(menu);
    TwSetThemeActive(FALSE);
}

TEST_F(ThemeHandlersTest, TaskDialogForwardsUnknownPartsWithOneDebuggerLine) {
    TwSetDebugOutputSink(&CollectDebug);
    EXPECT_EQ(Call("TASKDIALOG", 2, 3), HRESULT(0x80070490));
    EXPECT_EQ(Library.Calls, 1);
    ASSERT_EQ(DebugLines.size(), 1u);
    EXPECT_EQ(DebugLines[0], u"UxTheme_TaskDialog  class TASKDIALOG hTheme 81 iPartId 2 iStateId 3");
    DebugLines.clear();
    EXPECT_EQ(Call("TASKDIALOG", 1, 1), S_OK);
    EXPECT_TRUE(DebugLines.empty());
}

TEST_F(ThemeHandlersTest, TaskDialogPanelTakesThePanelColourWhenEditEqualsBorder) {
    Call("TASKDIALOG", 1, 1);
    EXPECT_EQ(Pixel(5, 5), TColor(0x101010));
    TStyleFileData data = Recording->Data();
    data.StyleColors[scBorder] = data.StyleColors[scEdit];
    RecordingStyle same(data);
    TStyleManager::SetStyle(&same);
    const RECT r{0, 0, 10, 10};
    HandlerOf("TASKDIALOG")(HTHEME(0), Dc(), 1, 1, &r, nullptr, &RecordingTrampoline, QStringLiteral("TASKDIALOG"), nullptr);
    EXPECT_EQ(Pixel(5, 5), TColor(0x303030));
    TStyleManager::SetStyle(Recording.get());
}

TEST_F(ThemeHandlersTest, MarlettGlyphsDrawOnlyInTheirOwnFace) {
    const TRect r(10, 10, 30, 30);
    auto painted = [&] {
        int n = 0;
        for (int y = 10; y < 30; ++y)
            for (int x = 10; x < 30; ++x) n += Pixel(x, y) != clWhite;
        return n;
    };
    Paint(clWhite);
    DrawMarlettGlyph(Dc(), u'r', r, false, false);  // the close cross
    EXPECT_GT(painted(), 10);
    TwSetMarlettFile("/nonexistent/marlett.ttf");
    Paint(clWhite);
    DrawMarlettGlyph(Dc(), u'r', r, false, false);
    EXPECT_EQ(painted(), 0) << "no letter in another face";
    TwSetMarlettFile("/usr/share/wine/fonts/marlett.ttf");
}

} // namespace

namespace {

// A GDI reference table of the real platform: "W H", then H rows of W hex pixels.
std::vector<uint32_t> ReferenceTable(const char* Name, int& W, int& H) {
    QFile f(QStringLiteral(TW_STYLING_SOURCE_DIR "/tests/platform/win/oracle/tables/%1.txt").arg(QLatin1String(Name)));
    std::vector<uint32_t> px;
    W = H = 0;
    if (!f.open(QIODevice::ReadOnly)) return px;
    const QStringList words = QString::fromLatin1(f.readAll()).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (words.size() < 2) return px;
    W = words[0].toInt();
    H = words[1].toInt();
    for (qsizetype i = 2; i < words.size(); ++i) px.push_back(words[i].toUInt(nullptr, 16));
    return px;
}

// Holds a glyph drawn in black on white here against a reference table. Ink falls on the same pixels,
// unshifted: a pixel one side inks (darker than half) is at least shaded on the other. The shading
// differs: text here is fully hinted, so a stroke the reference shades across two pixels is one black
// pixel, and a glyph comes out darker, never lighter: up to three times as dark where the reference
// shades a hairline (the maximise and restore boxes) at a third.
// Draw paints the glyph for a table of W x H; Ours reads back the blue channel of a pixel. Inset leaves
// out a frame of the table drawn around the glyph (its background is then read inside the frame).
void ExpectSameGlyph(const char* Table, const std::function<void(int W, int H)>& Draw,
                     const std::function<int(int, int)>& Ours, int Inset) {
    SCOPED_TRACE(Table);
    int W = 0, H = 0;
    const std::vector<uint32_t> Want = ReferenceTable(Table, W, H);
    ASSERT_EQ(Want.size(), size_t(W) * size_t(H));
    Draw(W, H);
    const int X0 = Inset, Y0 = Inset, X1 = W - Inset, Y1 = H - Inset;
    const int Clear = Inset ? int(Want[size_t(H / 2 * W + Inset)] & 0xFF) : 0xFF;
    int differing = 0;
    double theirDark = 0, ourDark = 0;
    std::string map;
    for (int y = Y0; y < Y1; ++y) {
        for (int x = X0; x < X1; ++x) {
            const int theirs = int(Want[size_t(y * W + x)] & 0xFF), ours = Ours(x, y);
            const bool theirInk = theirs < Clear / 2, ourInk = ours < 0x80;
            const bool clash = (theirInk && ours > 0xF0) || (ourInk && theirs >= Clear - 0x0F);
            differing += clash;
            theirDark += std::max(0, Clear - theirs);
            ourDark += 255 - ours;
            map += clash ? 'X' : theirInk ? '#' : ourInk ? 'o' : '.';
        }
        map += '\n';
    }
    ASSERT_GT(theirDark, 3 * 255) << "the reference drew the glyph";
    EXPECT_EQ(differing, 0) << "X: inked on one side only, #: theirs, o: ours alone (shaded there)\n" << map;
    EXPECT_GE(ourDark / theirDark, 0.9) << map;
    EXPECT_LE(ourDark / theirDark, 3.2) << map;
}

TEST_F(ThemeHandlersTest, MarlettGlyphsMatchTheRealPlatformsDrawingOfTheFace) {
    // The real platform drew each character of the face as DrawMarlettGlyph does: a font as tall as the
    // square, single-line text at its top-left, black on white.
    struct Case {
        const char* Table;
        char16_t Glyph;
        int Size;
    };
    const Case cases[] = {{"marlett_check_16", u'a', 16},  {"marlett_bullet_16", u'h', 16}, {"marlett_arrow_16", u'8', 16},
                          {"marlett_close_14", u'r', 14},  {"marlett_min_14", u'0', 14},    {"marlett_max_14", u'1', 14},
                          {"marlett_restore_14", u'2', 14}, {"marlett_close_10", u'r', 10},  {"marlett_min_10", u'0', 10},
                          {"marlett_max_10", u'1', 10},    {"marlett_restore_10", u'2', 10}};
    for (const Case& c : cases)
        ExpectSameGlyph(
            c.Table,
            [&](int, int) {
                Paint(clWhite);
                DrawMarlettChar(Dc(), c.Glyph, TRect(2, 2, 2 + c.Size, 2 + c.Size), false, clBlack);
            },
            [this](int X, int Y) { return int(Pixel(X, Y) & 0xFF); }, 0);
}

TEST_F(ThemeHandlersTest, CaptionButtonsCarryTheRealPlatformsMarks) {
    // A style that gives the caption buttons a face and a glyph colour, and no picture: the buttons show
    // the real platform's marks where its frame control draws them (inside its raised edge, whose face is
    // the reference's background).
    TStyleFileData data;
    data.Name = QStringLiteral("Caption marks");
    for (int part : {15, 17, 18, 21, 23}) data.Elements.push_back({teWindow, part, 1, {clWhite, clNone, clBlack, clNone, {}}});
    TCustomStyle style(data);
    struct Case {
        const char* Table;
        TThemedWindow Button;
    };
    const Case cases[] = {{"frame_caption_close", twCloseButtonNormal}, {"frame_caption_min", twMinButtonNormal},
                          {"frame_caption_max", twMaxButtonNormal}, {"frame_caption_restore", twRestoreButtonNormal},
                          {"frame_caption_help", twHelpButtonNormal}};
    for (const Case& c : cases)
        ExpectSameGlyph(
            c.Table,
            [&](int W, int H) {
                Paint(clWhite);
                style.DrawElement(Dc(), style.GetElementDetails(c.Button), TRect(2, 2, W - 2, H - 2));
            },
            [this](int X, int Y) { return int(Pixel(X, Y) & 0xFF); }, 4);
}

} // namespace
