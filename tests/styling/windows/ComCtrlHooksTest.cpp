// tests/styling/windows/ComCtrlHooksTest.cpp: the common controls of foreign windows in the style, on
// doubles of the controls that answer as the real ones do and record what the hooks send them.
#include "tests/styling/windows/StyleHookFixture.h"

#include "rtlos/OSUtils.h"
#include "styling/hooks/ComCtrlHooks.h"
#include "tests/support/windows/ComCtlDoubles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>

#include "vcl/StyleFile.h"

using namespace styling;
using namespace styletest;
using namespace testing_support;
using namespace vcl;

namespace {

constexpr QRgb TickColour = 0x10E020;
TColor Bgr(QRgb C) { return TColor(qRed(C) | qGreen(C) << 8 | qBlue(C) << 16); }

class ComCtrlTest : public StyleHookTest {
protected:
    void SetUp() override {
        StyleHookTest::SetUp();
        // The tests make their hooks themselves: the manager makes none beside them.
        UnRegisterComCtrlStyleHooks();
        TStyleFileData data;
        data.Name = QStringLiteral("Recording");
        data.SystemColors[COLOR_BTNTEXT] = Bgr(TickColour);
        data.SystemColors[COLOR_WINDOWTEXT] = TColor(0x102030);
        data.StyleColors[scListView] = TColor(0x203040);
        data.StyleColors[scTreeView] = TColor(0x304050);
        data.StyleColors[scEdit] = TColor(0x405060);
        data.StyleColors[scEditDisabled] = TColor(0x506070);
        data.FontColors[sfEditBoxTextNormal] = TColor(0x60A0B0);
        Recording = new RecordingStyle(data);
        Style.reset(Recording);
        TStyleManager::SetStyle(Style.get());
        Parent = Make(PlainClass, WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 0, 400, 300);
    }
    void TearDown() override {
        DestroyWindow(Parent);
        RegisterComCtrlStyleHooks();
        StyleHookTest::TearDown();
    }
    HWND Control(const char16_t* Class, DWORD Style, const ComCtlDouble& Table, RECT R = {10, 10, 310, 40}) {
        return CreateComCtlDouble(Class, WS_CHILD | WS_VISIBLE | Style, Parent, R, 0, &Table);
    }
    template <class THook> void Paint(THook& Hook, int W = 300, int H = 30) {
        auto bitmap = std::make_unique<TBitmap>(W, H);
        Recording->Forget();
        Hook.Paint(bitmap->Canvas());
    }

    RecordingStyle* Recording = nullptr;
    HWND Parent = nullptr;
};

// ---------------------------------------------------------------------------------------------------
// headers

ComCtlDouble HeaderTable() {
    ComCtlDouble t;
    struct Item {
        RECT R;
        const char16_t* Text;
        int Format, Image;
        RECT Drop;
    };
    // Items 0..2; the user dragged item 2 to the front.
    const Item items[] = {
        {{60, 0, 140, 20}, u"Name", HDF_STRING | HDF_SPLITBUTTON, -1, {125, 0, 140, 20}},
        {{140, 0, 200, 20}, u"Size", HDF_STRING | HDF_RIGHT, 0, {}},                  // image index, no HDF_BITMAP
        {{0, 0, 60, 20}, u"Type", HDF_STRING | HDF_CENTER | HDF_BITMAP, 1, {}},
    };
    t.Answer(HDM_GETITEMCOUNT, 3);
    t.At(HDM_GETORDERARRAY).Ints = {2, 0, 1};
    for (int i = 0; i < 3; ++i) {
        t.SetRect(HDM_GETITEMRECT, WPARAM(i), items[i].R);
        DoubleAnswer& a = t.At(HDM_GETITEMW, WPARAM(i));
        a.Result = 1;
        a.Text = items[i].Text;
        a.Format = items[i].Format;
        a.Image = items[i].Image;
        if (items[i].Drop.right) t.SetRect(HDM_GETITEMDROPDOWNRECT, WPARAM(i), items[i].Drop);
    }
    return t;
}

TEST_F(ComCtrlTest, HeaderPaintsReorderedSectionsInDisplayOrderWithTheirOwnItemsAndReadsTheOrderOnce) {
    const HWND header = Control(WC_HEADERW, 0, HeaderTable(), {0, 0, 300, 20});
    TSysListViewStyleHook::TSysHeaderStyleHook hook(header);
    DoubleOf(header)->Forget();
    Paint(hook, 300, 20);

    ASSERT_EQ(Recording->Texts.size(), 3u);
    struct Expected {
        const char* Text;
        TRect R;
        TTextFormats Align;
    };
    // Text rectangles: 4 pixels in from the left; the split button's width comes off the right.
    const Expected expected[] = {{"Type", TRect(4, 0, 60, 20), tfCenter},
                                 {"Name", TRect(64, 0, 125, 20), tfLeft},
                                 {"Size", TRect(144, 0, 200, 20), tfRight}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const DrawnText& t = Recording->Texts[size_t(i)];
        EXPECT_EQ(t.Text, QString::fromLatin1(expected[i].Text));
        EXPECT_TRUE(t.Format.Contains(expected[i].Align));
        EXPECT_TRUE(t.Format.Contains(tfSingleLine) && t.Format.Contains(tfVerticalCenter));
    }
    // "Type" shows an image only when its list exists; no list here, so its text keeps its place.
    EXPECT_EQ(Recording->RectsOf(thHeaderItemNormal),
              (std::vector<TRect>{TRect(0, 0, 300, 20), TRect(0, 0, 60, 20), TRect(60, 0, 140, 20), TRect(140, 0, 200, 20)}));
    // One order read per paint, not one per section: the paint stays linear in the columns.
    EXPECT_EQ(DoubleOf(header)->Count(HDM_GETORDERARRAY), 1);

    hook.GetItem(1);
    const auto* s = hook.GetItem(1);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->ColumnIndex(), 0);
    EXPECT_TRUE(s->HasSplitButton());
    EXPECT_EQ(s->DropDownRect(), TRect(125, 0, 140, 20));
    EXPECT_EQ(hook.GetItem(3), nullptr);
    EXPECT_EQ(hook.GetItem(-1), nullptr);
}

TEST_F(ComCtrlTest, HeaderImagesFollowTheBitmapFormatAndTheHeadersListOutlivesTheHook) {
    ComCtlDouble table = HeaderTable();
    HIMAGELIST list = ImageList_Create(8, 8, ILC_COLOR32 | ILC_MASK, 2, 0);
    for (COLORREF c : {RGB(255, 0, 0), RGB(0, 0, 255)}) {
        auto bmp = std::make_unique<TBitmap>(8, 8);
        bmp->Canvas()->Brush()->SetColor(TColor(c));
        bmp->Canvas()->FillRect(TRect(0, 0, 8, 8));
        ImageList_Add(list, bmp->ReleaseHandle(), nullptr);
    }
    table.Answer(HDM_GETIMAGELIST, reinterpret_cast<LRESULT>(list));
    const HWND header = Control(WC_HEADERW, 0, table, {0, 0, 300, 20});
    {
        TSysListViewStyleHook::TSysHeaderStyleHook hook(header);
        const QImage image = Painted(hook, 300, 20);
        // "Type" (image 1, HDF_BITMAP) shows blue 2 pixels from its left edge and its text moves right.
        EXPECT_EQ(image.pixel(2 + 3, 10) & 0xFFFFFF, 0x0000FFu);
        // "Size" has image 0 but no HDF_BITMAP: no red anywhere.
        for (int x = 0; x < 300; ++x) EXPECT_NE(image.pixel(x, 10) & 0xFFFFFF, 0xFF0000u) << x;
    }
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    ImageList_Destroy(list);
}

TEST_F(ComCtrlTest, HeaderPressHighlightsTheSectionUnderItButADividerPressesNone) {
    const HWND header = Control(WC_HEADERW, 0, HeaderTable(), {0, 0, 300, 20});
    TSysListViewStyleHook::TSysHeaderStyleHook hook(header);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 10));
    EXPECT_EQ(hook.PressedSection(), 0);
    Paint(hook, 300, 20);
    EXPECT_EQ(Recording->RectsOf(thHeaderItemPressed), (std::vector<TRect>{TRect(60, 0, 140, 20)}));
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(100, 10));
    EXPECT_EQ(hook.PressedSection(), -1);

    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(139, 10));  // on the divider of "Name"
    EXPECT_EQ(hook.PressedSection(), -1);
    Paint(hook, 300, 20);
    EXPECT_TRUE(Recording->RectsOf(thHeaderItemPressed).empty());
    // The control still got its presses.
    EXPECT_EQ(DoubleOf(header)->Count(WM_LBUTTONDOWN), 2);
}

TEST_F(ComCtrlTest, HeaderShowsTheSplitButtonGlyphAndItsLinesOnlyOnTheSectionUnderThePointer) {
    const HWND header = Control(WC_HEADERW, 0, HeaderTable(), {0, 0, 300, 20});
    TSysListViewStyleHook::TSysHeaderStyleHook hook(header);
    const COLORREF shadow = COLORREF(ColorToRGB(Recording->GetSystemColor(clBtnShadow)));
    const COLORREF highlight = COLORREF(ColorToRGB(Recording->GetSystemColor(clBtnHighlight)));
    auto at = [](const QImage& I, int X, int Y) {
        const QRgb p = I.pixel(X, Y);
        return COLORREF(RGB(qRed(p), qGreen(p), qBlue(p)));
    };
    // "Name" (60..140) has its split button at 125..140; "Type" (0..60) has none, so its hot state
    // shows no glyph (the control gives it an empty drop-down rectangle).
    struct Case {
        const char* Where;
        POINT At;
        std::vector<TRect> Hot, Glyph;
        bool Lines;
    };
    const Case cases[] = {
        {"outside", {-1, -1}, {}, {}, false},
        {"on Type", {30, 10}, {TRect(0, 0, 60, 20)}, {}, false},
        {"on Name", {100, 10}, {TRect(60, 0, 140, 20)}, {TRect(125, 0, 140, 20)}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Where);
        if (c.At.x >= 0) App.MoveTo(header, c.At);
        Paint(hook, 300, 20);
        std::vector<TRect> glyphs;
        for (const TRect& r : Recording->RectsOf(ttbDropDownButtonGlyphHot))
            if (!r.IsEmpty()) glyphs.push_back(r);
        EXPECT_EQ(glyphs, c.Glyph);
        EXPECT_EQ(Recording->RectsOf(thHeaderItemHot), c.Hot);
        const QImage image = Painted(hook, 300, 20);
        // Two one-pixel lines down the split button's left edge, 3 pixels short of each end.
        for (int y : {3, 10, 16}) {
            EXPECT_EQ(at(image, 125, y) == shadow, c.Lines) << y;
            EXPECT_EQ(at(image, 124, y) == highlight, c.Lines) << y;
        }
    }
    // While a button is down no section is hot.
    App.Press(header, POINT{100, 10});
    Paint(hook, 300, 20);
    EXPECT_TRUE(Recording->RectsOf(ttbDropDownButtonGlyphHot).empty());
    App.Release(header, POINT{100, 10});
}

// ---------------------------------------------------------------------------------------------------
// list views and trees

TEST_F(ComCtrlTest, ListViewMakesItsHeaderHookOnlyOnceAHeaderExistsAndKeepsItsOwnProbeToItself) {
    ComCtlDouble table;
    table.Answer(LVM_GETVIEW, LV_VIEW_ICON);
    const HWND list = Control(WC_LISTVIEWW, LVS_ICON, table, {10, 10, 310, 210});
    TSysListViewStyleHook hook(list);
    EXPECT_EQ(hook.HeaderStyleHook(), nullptr);
    for (const SentMessage& m : DoubleOf(list)->Of(WM_NOTIFY)) EXPECT_FALSE(m.WParam == 0 && m.LParam == 0);

    // Switched to report view: the control makes its header, found at the next notification.
    const HWND header = Control(WC_HEADERW, 0, HeaderTable(), {0, 0, 300, 20});
    SetParent(header, list);
    DoubleOf(list)->Answer(LVM_GETHEADER, reinterpret_cast<LRESULT>(header));
    NMHDR nm{header, 0, 0};
    SendMessageW(list, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
    ASSERT_NE(hook.HeaderStyleHook(), nullptr);
    EXPECT_EQ(hook.HeaderStyleHook()->FListViewStyleHook, &hook);
    EXPECT_EQ(hook.HeaderStyleHook()->Handle(), header);
    EXPECT_EQ(DoubleOf(list)->Count(WM_NOTIFY), 1);  // the real notification went on
}

TEST_F(ComCtrlTest, ListViewEraseGivesTheControlTheStyleColoursAndNoSelectedColumn) {
    const HWND list = Control(WC_LISTVIEWW, LVS_REPORT, ComCtlDouble{}, {10, 10, 310, 210});
    TSysListViewStyleHook hook(list);
    DoubleOf(list)->Forget();
    SendMessageW(list, WM_ERASEBKGND, 0, 0);
    const ComCtlDouble& d = *DoubleOf(list);
    ASSERT_EQ(d.Count(LVM_SETBKCOLOR), 1);
    EXPECT_EQ(d.Of(LVM_SETBKCOLOR)[0].LParam, 0x203040);
    EXPECT_EQ(d.Of(LVM_SETTEXTBKCOLOR)[0].LParam, 0x203040);
    EXPECT_EQ(d.Of(LVM_SETTEXTCOLOR)[0].LParam, 0x102030);
    ASSERT_EQ(d.Count(LVM_SETSELECTEDCOLUMN), 1);
    EXPECT_EQ(int(d.Of(LVM_SETSELECTEDCOLUMN)[0].WParam), -1);
    EXPECT_EQ(d.Count(WM_ERASEBKGND), 1);  // the control erases itself
}

// The units the control takes (recorded from a real list view, comctl-oracle/tables/listview-scroll.txt):
// a report view scrolls by pixels while its bar counts items; a list view scrolls by columns, as its
// bar counts them, so item widths would throw it to the end.
TEST_F(ComCtrlTest, ListViewThumbTrackingScrollsByItemHeightsInReportViewAndByTheBarsOwnUnitsElse) {
    struct Case {
        int View;
        TScrollBarKind Kind;
        WPARAM Dx;
        LPARAM Dy;
    };
    // Item 0's bounds are 90 wide and 17 high; the bar moved by 3 units.
    const Case cases[] = {
        {LV_VIEW_DETAILS, sbVertical, 0, 51}, {LV_VIEW_DETAILS, sbHorizontal, 3, 0},
        {LV_VIEW_LIST, sbHorizontal, 3, 0},   {LV_VIEW_LIST, sbVertical, 0, 3},
        {LV_VIEW_ICON, sbVertical, 0, 3},     {LV_VIEW_ICON, sbHorizontal, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "view " << c.View << " kind " << int(c.Kind));
        ComCtlDouble table;
        table.Answer(LVM_GETVIEW, c.View);
        table.SetRect(LVM_GETITEMRECT, 0, {0, 0, 90, 17});
        const HWND list = Control(WC_LISTVIEWW, 0, table, {10, 10, 310, 210});
        TSysListViewStyleHook hook(list);
        DoubleOf(list)->Forget();
        hook.Scroll(c.Kind, skTracking, 7, 3);
        const auto sent = DoubleOf(list)->Of(LVM_SCROLL);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].WParam, c.Dx);
        EXPECT_EQ(sent[0].LParam, c.Dy);
        DestroyWindow(list);
    }
}

TEST_F(ComCtrlTest, TreeGetsColourMessagesOnlyWhenAColourDiffers) {
    const HWND tree = Control(WC_TREEVIEWW, 0, ComCtlDouble{}, {10, 10, 310, 210});
    TSysTreeViewStyleHook hook(tree);
    SendMessageW(tree, WM_ERASEBKGND, 0, 0);
    EXPECT_EQ(DoubleOf(tree)->Count(TVM_SETBKCOLOR), 1);
    EXPECT_EQ(DoubleOf(tree)->Count(TVM_SETTEXTCOLOR), 1);
    EXPECT_EQ(DoubleOf(tree)->At(TVM_GETBKCOLOR).Result, 0x304050);
    DoubleOf(tree)->Forget();
    SendMessageW(tree, WM_ERASEBKGND, 0, 0);
    EXPECT_EQ(DoubleOf(tree)->Count(TVM_SETBKCOLOR), 0);
    EXPECT_EQ(DoubleOf(tree)->Count(TVM_SETTEXTCOLOR), 0);
    EXPECT_EQ(DoubleOf(tree)->Count(WM_ERASEBKGND), 1);
}

TEST_F(ComCtrlTest, TreeScrollBarActionsBecomeTheTreesScrollMessages) {
    struct Case {
        TScrollBarKind Kind;
        TSysScrollingType Type;
        UINT Msg;  // 0: nothing sent
        WPARAM W;
    };
    const Case cases[] = {
        {sbVertical, skTracking, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 9)},
        {sbVertical, skLineUp, WM_VSCROLL, SB_LINEUP},
        {sbVertical, skLineDown, WM_VSCROLL, SB_LINEDOWN},
        {sbVertical, skPageUp, WM_VSCROLL, SB_PAGEUP},
        {sbVertical, skPageDown, WM_VSCROLL, SB_PAGEDOWN},
        {sbHorizontal, skTracking, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 9)},
        {sbHorizontal, skLineLeft, WM_HSCROLL, SB_LINELEFT},
        {sbHorizontal, skLineRight, WM_HSCROLL, SB_LINERIGHT},
        {sbHorizontal, skPageLeft, WM_HSCROLL, SB_PAGELEFT},
        {sbHorizontal, skPageRight, WM_HSCROLL, SB_PAGERIGHT},
        {sbVertical, skLineLeft, 0, 0},
        {sbHorizontal, skPageDown, 0, 0},
    };
    const HWND tree = Control(WC_TREEVIEWW, 0, ComCtlDouble{}, {10, 10, 310, 210});
    TSysTreeViewStyleHook hook(tree);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.Kind) << "/" << int(c.Type));
        DoubleOf(tree)->Forget();
        hook.Scroll(c.Kind, c.Type, 9, 1);
        const auto v = DoubleOf(tree)->Of(WM_VSCROLL), h = DoubleOf(tree)->Of(WM_HSCROLL);
        if (!c.Msg) {
            EXPECT_TRUE(v.empty() && h.empty());
            continue;
        }
        const auto& sent = c.Msg == WM_VSCROLL ? v : h;
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].WParam, c.W);
        EXPECT_TRUE((c.Msg == WM_VSCROLL ? h : v).empty());
    }
    EXPECT_EQ(hook.LastTrackPos(), 9);
}

// ---------------------------------------------------------------------------------------------------
// tabs and rich edits

TEST_F(ComCtrlTest, BottomTabsAreDrawnAsTopTabsSkippingHiddenOnesAndTheSelectedOneAgainOverThePane) {
    ComCtlDouble table;
    table.Answer(TCM_GETITEMCOUNT, 3);
    table.Answer(TCM_GETCURSEL, 1);
    table.SetRect(TCM_GETITEMRECT, 0, {2, 2, 60, 22});
    table.SetRect(TCM_GETITEMRECT, 1, {60, 2, 120, 22});
    table.SetRect(TCM_GETITEMRECT, 2, {-40, 2, 2, 22});  // scrolled out of view
    for (int i = 0; i < 3; ++i) {
        table.Answer(TCM_GETITEMW, 1, WPARAM(i));
        table.At(TCM_GETITEMW, WPARAM(i)).Text = std::u16string(u"Tab") + char16_t(u'0' + i);
    }
    const HWND tabs = Control(WC_TABCONTROLW, TCS_BOTTOM, table, {10, 10, 310, 110});
    TSysTabControlStyleHook hook(tabs);
    Paint(hook, 300, 100);
    const auto d = [&](TThemedTab T) { return Recording->GetElementDetails(T); };
    std::vector<TThemedElementDetails> order;
    for (const DrawnElement& e : Recording->Elements) order.push_back(e.Details);
    EXPECT_EQ(order, (std::vector<TThemedElementDetails>{d(ttTabItemNormal), d(ttTabItemSelected), d(ttPane),
                                                          d(ttTabItemSelected)}));
    EXPECT_EQ(Recording->Elements[1].R, TRect(60, 0, 120, 24));  // the selected tab grows 2 up and down
    std::vector<rtl::String> texts;
    for (const DrawnText& t : Recording->Texts) texts.push_back(t.Text);
    EXPECT_EQ(texts, (std::vector<rtl::String>{"Tab0", "Tab1", "Tab1"}));
}

TEST_F(ComCtrlTest, RichEditShowsTheStyleColourWhateverTheOwnerSetsAndLeavesTheOwnersStructureAlone) {
    const HWND edit = Control(u"RichEdit20W", 0, ComCtlDouble{}, {10, 10, 310, 110});
    TSysRichEditStyleHook hook(edit);
    ComCtlDouble& d = *DoubleOf(edit);
    // At creation: the style's background and a default format in the style's colours.
    ASSERT_EQ(d.Count(EM_SETBKGNDCOLOR), 1);
    EXPECT_EQ(d.Of(EM_SETBKGNDCOLOR)[0].LParam, 0x405060);
    ASSERT_EQ(d.CharFormats.size(), 1u);
    EXPECT_EQ(d.CharFormats[0].crTextColor, 0x60A0B0u);
    EXPECT_EQ(d.CharFormats[0].crBackColor, 0x405060u);

    struct Case {
        const char* Name;
        UINT Size;  // 0: no structure
        bool Changed;
    };
    const Case cases[] = {{"CHARFORMATW", sizeof(CHARFORMATW), true},
                          {"CHARFORMAT2W", sizeof(CHARFORMAT2W), true},
                          {"too small", sizeof(CHARFORMATW) - 4, false},
                          {"null", 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        d.Forget();
        CHARFORMAT2W owner{};
        owner.cbSize = c.Size;
        owner.dwMask = CFM_COLOR | CFM_BACKCOLOR;
        owner.dwEffects = CFE_AUTOCOLOR;
        owner.crTextColor = 0x0000FF;
        owner.crBackColor = 0x00FF00;
        const CHARFORMAT2W before = owner;
        SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, c.Size ? reinterpret_cast<LPARAM>(&owner) : 0);
        EXPECT_EQ(std::memcmp(&owner, &before, sizeof owner), 0);
        ASSERT_EQ(d.Count(EM_SETCHARFORMAT), 1);
        if (!c.Size) {
            EXPECT_EQ(d.Of(EM_SETCHARFORMAT)[0].LParam, 0);
            continue;
        }
        ASSERT_EQ(d.CharFormats.size(), 1u);
        const CHARFORMAT2W& got = d.CharFormats[0];
        EXPECT_EQ(got.crTextColor, c.Changed ? 0x60A0B0u : 0x0000FFu);
        EXPECT_EQ(bool(got.dwEffects & CFE_AUTOCOLOR), !c.Changed);
        // Only a structure that holds a background colour gets one.
        if (c.Size >= sizeof(CHARFORMAT2W)) EXPECT_EQ(got.crBackColor, 0x405060u);
        else EXPECT_EQ(got.crBackColor, 0u);
    }
}

// ---------------------------------------------------------------------------------------------------
// rebars and status bars

TEST_F(ComCtrlTest, RebarBandsGetTextAndGripperInTheirPlacesAndTheInfoSizeFollowsTheLibraryVersion) {
    ComCtlDouble table;
    table.Answer(RB_GETBANDCOUNT, 2);
    table.SetRect(RB_GETRECT, 0, {0, 0, 150, 26});
    table.SetRect(RB_GETRECT, 1, {150, 0, 300, 26});
    table.SetRect(RB_GETBANDBORDERS, 0, {60, 0, 0, 0});
    table.SetRect(RB_GETBANDBORDERS, 1, {12, 0, 0, 0});
    table.Answer(RB_GETBANDINFOW, 1, 0);
    table.At(RB_GETBANDINFOW, 0).Text = u"Address";
    table.Answer(RB_GETBANDINFOW, 1, 1);  // a band without text
    const HWND rebar = Control(REBARCLASSNAMEW, 0, table, {0, 0, 300, 26});
    TSysReBarStyleHook hook(rebar);
    Paint(hook, 300, 26);
    EXPECT_EQ(Recording->RectsOf(trBand), (std::vector<TRect>{TRect(0, 0, 151, 26), TRect(149, 0, 300, 26)}));
    EXPECT_EQ(Recording->RectsOf(trGripper), (std::vector<TRect>{TRect(2, 2, 6, 24), TRect(151, 2, 155, 24)}));
    ASSERT_EQ(Recording->Texts.size(), 1u);
    EXPECT_EQ(Recording->Texts[0].Text, "Address");
    EXPECT_EQ(Recording->Texts[0].R.Left, 10);
    EXPECT_EQ(Recording->Texts[0].R.Right, 60);

    for (auto [version, size] : {std::pair{0x60000u, 108u}, std::pair{0x60001u, 128u}}) {
        SCOPED_TRACE(version);
        const uint32_t previous = rtl::SetComCtlVersion(version);
        DoubleOf(rebar)->BandInfoSizes.clear();
        EXPECT_EQ(hook.BandText(0), "Address");
        rtl::SetComCtlVersion(previous);
        EXPECT_EQ(DoubleOf(rebar)->BandInfoSizes, std::vector<UINT>{size});
    }
}

ComCtlDouble StatusTable(const std::vector<RECT>& Parts) {
    ComCtlDouble t;
    t.Answer(SB_GETPARTS, LRESULT(Parts.size()));
    for (size_t i = 0; i < Parts.size(); ++i) t.SetRect(SB_GETRECT, i, Parts[i]);
    return t;
}

void SetPartText(ComCtlDouble& T, WPARAM Part, const std::u16string& Text, WORD Type = 0) {
    T.Answer(SB_GETTEXTLENGTHW, MAKELONG(WORD(Text.size()), Type), Part);
    T.Answer(SB_GETTEXTW, MAKELONG(WORD(Text.size()), Type), Part);
    T.At(SB_GETTEXTW, Part).Text = Text;
}

TEST_F(ComCtrlTest, StatusBarStopsAtTheFirstEmptyPartAndDrawsTheGripperWithoutSizeGrip) {
    {
        const HWND bar = Control(STATUSCLASSNAMEW, 0, StatusTable({{0, 2, 100, 22}, {100, 2, 100, 22}, {100, 2, 300, 22}}),
                                 {0, 0, 300, 24});
        TSysStatusBarStyleHook hook(bar);
        Paint(hook, 300, 24);
        EXPECT_EQ(Recording->RectsOf(tsPane), (std::vector<TRect>{TRect(0, 2, 100, 22)}));
        EXPECT_EQ(DoubleOf(bar)->Count(SB_GETRECT), 2);
    }
    const HWND bar = Control(STATUSCLASSNAMEW, 0, StatusTable({{0, 2, 100, 22}, {102, 2, 300, 22}}), {0, 0, 300, 24});
    ASSERT_FALSE(GetWindowLongPtrW(bar, GWL_STYLE) & SBARS_SIZEGRIP);
    TSysStatusBarStyleHook hook(bar);
    Paint(hook, 300, 24);
    EXPECT_EQ(Recording->RectsOf(tsPane).size(), 2u);
    EXPECT_EQ(Recording->RectsOf(tsGripper), (std::vector<TRect>{TRect(280, 0, 300, 24)}));
}

TEST_F(ComCtrlTest, StatusBarInSimpleModeDrawsOnePaneInsideTheBordersWithTheFirstPartsText) {
    ComCtlDouble table = StatusTable({{0, 2, 100, 22}, {102, 2, 300, 22}});
    table.Answer(SB_ISSIMPLE, 1);
    table.At(SB_GETBORDERS).Ints = {3, 2, 4};
    table.Answer(SB_GETBORDERS, 1);
    SetPartText(table, 0, u"Ready");
    const HWND bar = Control(STATUSCLASSNAMEW, 0, table, {0, 0, 300, 24});
    TSysStatusBarStyleHook hook(bar);
    Paint(hook, 300, 24);
    EXPECT_EQ(Recording->RectsOf(tsPane), (std::vector<TRect>{TRect(7, 2, 296, 22)}));
    EXPECT_EQ(Recording->RectsOf(tsGripper), (std::vector<TRect>{TRect(280, 0, 300, 24)}));
    ASSERT_EQ(Recording->Texts.size(), 1u);
    EXPECT_EQ(Recording->Texts[0].Text, "Ready");
    EXPECT_EQ(DoubleOf(bar)->Count(SB_GETRECT), 0);
}

TEST_F(ComCtrlTest, StatusBarDrawsLongTextsWhateverTheirLengthAndNeverAnOwnerDrawnPartsData) {
    ComCtlDouble table = StatusTable({{0, 2, 100, 22}, {100, 2, 200, 22}, {200, 2, 300, 22}});
    const std::u16string longText(5000, u'x');  // its length holds the owner-draw bit
    SetPartText(table, 0, longText);
    SetPartText(table, 1, u"data", SBT_OWNERDRAW);
    SetPartText(table, 2, u"Done", SBT_POPOUT);
    const HWND bar = Control(STATUSCLASSNAMEW, 0, table, {0, 0, 300, 24});
    TSysStatusBarStyleHook hook(bar);
    Paint(hook, 300, 24);
    ASSERT_EQ(Recording->Texts.size(), 2u);
    EXPECT_EQ(Recording->Texts[0].Text.size(), 5000);
    EXPECT_EQ(Recording->Texts[1].Text, "Done");
    for (const SentMessage& m : DoubleOf(bar)->Of(SB_GETTEXTW)) EXPECT_NE(m.WParam, 1u);
}

// ---------------------------------------------------------------------------------------------------
// track bars and up-downs

// Columns (horizontal bars) or rows (vertical) that hold a tick pixel, and on which side.
struct Ticks {
    int Before = 0, After = 0;
};
Ticks CountTicks(const QImage& I, bool Vertical, const TRect& Channel) {
    Ticks t;
    const int along = Vertical ? I.height() : I.width();
    for (int a = 0; a < along; ++a) {
        bool before = false, after = false;
        const int across = Vertical ? I.width() : I.height();
        for (int b = 0; b < across; ++b) {
            const QRgb p = (Vertical ? I.pixel(b, a) : I.pixel(a, b)) & 0xFFFFFF;
            if (p != TickColour) continue;
            if (b < Channel.Top) before = true;
            if (b > Channel.Bottom) after = true;
        }
        t.Before += before;
        t.After += after;
    }
    return t;
}

TEST_F(ComCtrlTest, TrackBarTicksByStyleAndCount) {
    struct Case {
        const char* Name;
        DWORD Style;
        int Tics;
        Ticks Expected;
    };
    // The channel lies across 20..24 (as reported, unswapped); the thumb is 10 wide (or high).
    const Case cases[] = {
        {"bottom, two tick marks: only the ends", 0, 2, {0, 2}},
        {"bottom, five", 0, 5, {0, 5}},
        {"top", TBS_TOP, 5, {5, 0}},
        {"both", TBS_BOTH, 3, {3, 3}},
        {"no ticks", TBS_NOTICKS | TBS_BOTH, 5, {0, 0}},
        {"vertical left", TBS_VERT | TBS_LEFT, 4, {4, 0}},
        {"vertical both", TBS_VERT | TBS_BOTH, 4, {4, 4}},
        {"vertical right", TBS_VERT, 4, {0, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ComCtlDouble table;
        table.SetRect(TBM_GETCHANNELRECT, 0, {8, 20, 192, 24});
        table.SetRect(TBM_GETTHUMBRECT, 0, {0, 12, 10, 32});  // at the start, clear of the ticks
        table.Answer(TBM_GETNUMTICS, c.Tics);
        const bool vertical = c.Style & TBS_VERT;
        const HWND bar = Control(TRACKBAR_CLASSW, c.Style, table, vertical ? RECT{0, 0, 44, 200} : RECT{0, 0, 200, 44});
        TSysTrackBarStyleHook hook(bar);
        const QImage image = vertical ? Painted(hook, 44, 200) : Painted(hook, 200, 44);
        const Ticks t = CountTicks(image, vertical, TRect(8, 20, 192, 24));
        EXPECT_EQ(t.Before, c.Expected.Before);
        EXPECT_EQ(t.After, c.Expected.After);
        DestroyWindow(bar);
    }
}

TEST_F(ComCtrlTest, TrackBarThumbElementByOrientationStyleAndState) {
    struct Case {
        DWORD Style;
        TThemedTrackBar Normal;
    };
    const Case cases[] = {
        {TBS_BOTH, ttbThumbNormal},          {TBS_TOP, ttbThumbTopNormal},
        {0, ttbThumbBottomNormal},           {TBS_VERT | TBS_LEFT, ttbThumbLeftNormal},
        {TBS_VERT | TBS_BOTH, ttbThumbVertNormal}, {TBS_VERT, ttbThumbRightNormal},
        {TBS_VERT | TBS_LEFT | TBS_BOTH, ttbThumbLeftNormal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Style);
        ComCtlDouble table;
        table.SetRect(TBM_GETTHUMBRECT, 0, {50, 12, 60, 32});
        const HWND bar = Control(TRACKBAR_CLASSW, c.Style, table, {0, 0, 200, 44});
        TSysTrackBarStyleHook hook(bar);
        EXPECT_EQ(hook.ThumbElement(), c.Normal);
        SendMessageW(bar, WM_MOUSEMOVE, 0, MAKELPARAM(55, 20));
        EXPECT_EQ(hook.ThumbElement(), TThemedTrackBar(c.Normal + 1));  // hot
        SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(55, 20));
        EXPECT_EQ(hook.ThumbElement(), TThemedTrackBar(c.Normal + 2));  // pressed
        EnableWindow(bar, FALSE);
        EXPECT_EQ(hook.ThumbElement(), TThemedTrackBar(c.Normal + 4));  // disabled wins
        DestroyWindow(bar);
    }
}

TEST_F(ComCtrlTest, TrackBarShowsThePressedThumbWhileDraggingAndTheControlStillGetsEveryMouseMessage) {
    ComCtlDouble table;
    table.SetRect(TBM_GETCHANNELRECT, 0, {8, 20, 192, 24});
    table.SetRect(TBM_GETTHUMBRECT, 0, {50, 12, 60, 32});
    const HWND bar = Control(TRACKBAR_CLASSW, 0, table, {0, 0, 200, 44});
    TSysTrackBarStyleHook hook(bar);
    DoubleOf(bar)->Forget();
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(55, 20));
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(90, 20));
    EXPECT_TRUE(hook.ThumbPressed());
    Paint(hook, 200, 44);
    EXPECT_EQ(Recording->RectsOf(ttbThumbBottomPressed), (std::vector<TRect>{TRect(50, 12, 60, 32)}));
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(90, 20));
    EXPECT_FALSE(hook.ThumbPressed());
    const ComCtlDouble& d = *DoubleOf(bar);
    EXPECT_EQ(d.Count(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(d.Count(WM_MOUSEMOVE), 1);
    EXPECT_EQ(d.Count(WM_LBUTTONUP), 1);
    // Scroll notifications only repaint the bar.
    SendMessageW(bar, WM_HSCROLL, SB_THUMBTRACK, 0);
    EXPECT_EQ(d.Count(WM_HSCROLL), 0);
}

TEST_F(ComCtrlTest, UpDownHalvesGoHotUnderThePointerSwapAndClearOnLeaving) {
    const HWND updown = CreateWindowExW(0, u"msctls_updown32", u"", WS_CHILD | WS_VISIBLE, 20, 20, 18, 40, Parent,
                                        nullptr, nullptr, nullptr);
    ASSERT_NE(updown, nullptr);
    SendMessageW(updown, UDM_SETRANGE32, 0, 10);
    TSysUpDownStyleHook hook(updown);
    App.MoveTo(Parent, POINT{5, 5});
    App.MoveTo(updown, POINT{9, 5});
    EXPECT_TRUE(hook.MouseOnLeft());
    EXPECT_FALSE(hook.MouseOnRight());
    Paint(hook, 18, 40);
    EXPECT_EQ(Recording->RectsOf(tsArrowBtnUpHot), (std::vector<TRect>{TRect(0, 0, 18, 20)}));
    App.MoveTo(updown, POINT{9, 35});
    EXPECT_FALSE(hook.MouseOnLeft());
    EXPECT_TRUE(hook.MouseOnRight());
    App.Press(updown, POINT{9, 5});
    EXPECT_TRUE(hook.LeftPressed());
    Paint(hook, 18, 40);
    EXPECT_EQ(Recording->RectsOf(tsArrowBtnUpPressed).size(), 1u);
    App.Release(updown, POINT{9, 5});
    EXPECT_FALSE(hook.LeftPressed());
    EXPECT_EQ(SendMessageW(updown, UDM_GETPOS32, 0, 0), 1);  // the control still counted the click
    App.MoveTo(Parent, POINT{200, 200});
    App.Advance(std::chrono::milliseconds(250));
    App.PumpUntilIdle();
    EXPECT_FALSE(hook.MouseOnLeft());
    EXPECT_FALSE(hook.MouseOnRight());
}

// ---------------------------------------------------------------------------------------------------
// toolbars

struct Button {
    int Command, Style, State, Image;
    RECT R;
    std::u16string Text;
};
ComCtlDouble ToolbarTable(const std::vector<Button>& Buttons) {
    ComCtlDouble t;
    t.Answer(TB_BUTTONCOUNT, LRESULT(Buttons.size()));
    for (size_t i = 0; i < Buttons.size(); ++i) {
        const Button& b = Buttons[i];
        DoubleAnswer& get = t.At(TB_GETBUTTON, i);
        get.Result = 1;
        get.Command = b.Command;
        get.Style = b.Style;
        DoubleAnswer& info = t.At(TB_GETBUTTONINFOW, WPARAM(b.Command));
        info.Result = LRESULT(i);
        info.Image = b.Image;
        info.State = b.State;
        info.Style = b.Style;
        info.Text = b.Text;
        t.At(TB_GETBUTTONTEXTW, WPARAM(b.Command)).Text = b.Text;
        t.SetRect(TB_GETITEMRECT, i, b.R);
    }
    return t;
}

TEST_F(ComCtrlTest, ToolbarSeparatorsHiddenButtonsDropDownsAndText) {
    const HWND bar = Control(TOOLBARCLASSNAMEW, 0x40, ToolbarTable({
        {1, BTNS_BUTTON, TBSTATE_ENABLED, -1, {0, 0, 40, 30}, u"Open"},
        {0, BTNS_SEP, TBSTATE_ENABLED, -1, {40, 0, 48, 30}, u""},
        {2, BTNS_BUTTON, TBSTATE_ENABLED | TBSTATE_HIDDEN, -1, {48, 0, 48, 30}, u"Hidden"},
        {3, BTNS_DROPDOWN, TBSTATE_ENABLED, -1, {48, 0, 100, 30}, u"Save"},
        {4, BTNS_BUTTON, 0, -1, {100, 0, 140, 30}, u"Off"},
    }), {0, 0, 300, 30});
    TSysToolbarStyleHook hook(bar);
    Paint(hook, 300, 30);
    EXPECT_EQ(Recording->RectsOf(ttbSeparatorNormal), (std::vector<TRect>{TRect(40, 0, 48, 30)}));
    EXPECT_EQ(Recording->RectsOf(ttbButtonNormal), (std::vector<TRect>{TRect(0, 0, 40, 30), TRect(48, 0, 100, 30)}));
    EXPECT_EQ(Recording->RectsOf(ttbButtonDisabled), (std::vector<TRect>{TRect(100, 0, 140, 30)}));
    // The control gives no drop-down width: the glyph takes the rightmost 15 pixels.
    EXPECT_EQ(Recording->RectsOf(ttbDropDownButtonGlyphNormal), (std::vector<TRect>{TRect(85, 0, 100, 30)}));
    EXPECT_TRUE(hook.ButtonsPainted());
    // Texts go through the hook's own centred drawing: the style draws none of them, and no hidden one.
    EXPECT_TRUE(Recording->Texts.empty());

    // Without style 0x40 no text is measured or drawn; with it the texts were read.
    SetWindowLongPtrW(bar, GWL_STYLE, GetWindowLongPtrW(bar, GWL_STYLE) | TBSTYLE_LIST);
    Paint(hook, 300, 30);
    std::vector<rtl::String> texts;
    for (const DrawnText& t : Recording->Texts) texts.push_back(t.Text);
    EXPECT_EQ(texts, (std::vector<rtl::String>{"Open", "Save", "Off"}));
    // A list toolbar without images writes from the button's left edge.
    ASSERT_FALSE(Recording->Texts.empty());
    EXPECT_EQ(Recording->Texts[0].R.Left, 0);
    SetWindowLongPtrW(bar, GWL_STYLE, GetWindowLongPtrW(bar, GWL_STYLE) & ~LONG_PTR(0x40));
    Paint(hook, 300, 30);
    EXPECT_TRUE(Recording->Texts.empty());
}

TEST_F(ComCtrlTest, FlatToolbarShowsTheParentBehindIdleButtonsAndDisabledImagesComeFromTheNormalList) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 0);
    auto bmp = std::make_unique<TBitmap>(16, 16);
    ImageList_Add(list, bmp->ReleaseHandle(), nullptr);
    ComCtlDouble table = ToolbarTable({
        {1, BTNS_BUTTON, TBSTATE_ENABLED, 0, {0, 0, 30, 30}, u""},
        {2, BTNS_BUTTON, TBSTATE_ENABLED | TBSTATE_CHECKED, 0, {30, 0, 60, 30}, u""},
        {3, BTNS_BUTTON, 0, 0, {60, 0, 90, 30}, u""},
    });
    table.Answer(TB_GETIMAGELIST, reinterpret_cast<LRESULT>(list));
    const HWND bar = Control(TOOLBARCLASSNAMEW, TBSTYLE_FLAT, table, {0, 0, 300, 30});
    {
        TSysToolbarStyleHook hook(bar);
        Paint(hook, 300, 30);
        // Only the checked button gets an element; the toolbar itself none; the idle and disabled
        // buttons show the parent (once for the bitmap, once per button).
        EXPECT_EQ(Recording->RectsOf(ttbButtonChecked), (std::vector<TRect>{TRect(30, 0, 60, 30)}));
        EXPECT_TRUE(Recording->RectsOf(ttbButtonNormal).empty());
        EXPECT_TRUE(Recording->RectsOf(ttbButtonDisabled).empty());
        ASSERT_NE(hook.Images(), nullptr);
        EXPECT_EQ(hook.Images()->Handle(), list);
        EXPECT_EQ(hook.Images()->DrawingStyle(), dsSelected);  // the last, disabled button
    }
    EXPECT_EQ(ImageList_GetImageCount(list), 1);  // the toolbar's list outlives the hook
    ImageList_Destroy(list);
}

TEST_F(ComCtrlTest, ToolbarDrawsADisabledButtonsImageInFullFromTheNormalListNeverTheDisabledOne) {
    // A red image in the normal list, a blue one in the control's list for disabled buttons.
    auto solid = [](COLORREF C) {
        HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 0);
        auto bmp = std::make_unique<TBitmap>(16, 16);
        bmp->Canvas()->Brush()->SetColor(TColor(C));
        bmp->Canvas()->FillRect(TRect(0, 0, 16, 16));
        ImageList_Add(list, bmp->ReleaseHandle(), nullptr);
        return list;
    };
    HIMAGELIST normal = solid(RGB(255, 0, 0)), disabled = solid(RGB(0, 0, 255));
    ComCtlDouble table = ToolbarTable({
        {1, BTNS_BUTTON, TBSTATE_ENABLED, 0, {0, 0, 30, 30}, u""},
        {2, BTNS_BUTTON, 0, 0, {30, 0, 60, 30}, u""},
    });
    table.Answer(TB_GETIMAGELIST, reinterpret_cast<LRESULT>(normal));
    table.Answer(TB_GETDISABLEDIMAGELIST, reinterpret_cast<LRESULT>(disabled));
    const HWND bar = Control(TOOLBARCLASSNAMEW, 0, table, {0, 0, 60, 30});
    {
        TSysToolbarStyleHook hook(bar);
        const QImage image = Painted(hook, 60, 30);
        // Each image sits centred in its button (7..23 both ways), the whole of it in the list's colour:
        // not greyed into a shape, not shifted, not taken from the disabled list.
        for (int left : {0, 30}) {
            SCOPED_TRACE(left);
            for (POINT p : {POINT{7, 7}, POINT{22, 22}, POINT{15, 15}})
                EXPECT_EQ(image.pixel(left + p.x, p.y) & 0xFFFFFF, 0xFF0000u) << p.x << "," << p.y;
            EXPECT_NE(image.pixel(left + 6, 15) & 0xFFFFFF, 0xFF0000u);
            EXPECT_NE(image.pixel(left + 23, 15) & 0xFFFFFF, 0xFF0000u);
        }
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 60; ++x) ASSERT_NE(image.pixel(x, y) & 0xFFFFFF, 0x0000FFu) << x << "," << y;
    }
    ImageList_Destroy(normal);
    ImageList_Destroy(disabled);
}

TEST_F(ComCtrlTest, ToolbarReadsALongButtonTextSafelyAndKeeps255Characters) {
    std::u16string text(300, u'a');
    for (size_t i = 0; i < text.size(); ++i) text[i] = char16_t(u'a' + i % 26);
    const HWND bar = Control(TOOLBARCLASSNAMEW, 0x40, ToolbarTable({{7, BTNS_BUTTON, TBSTATE_ENABLED, -1, {0, 0, 40, 30}, text}}),
                             {0, 0, 300, 30});
    TSysToolbarStyleHook hook(bar);
    const auto* b = hook.GetItem(0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Text(), QString::fromUtf16(text.data(), 255));
    // The length was asked for first, with no buffer.
    const auto asked = DoubleOf(bar)->Of(TB_GETBUTTONTEXTW);
    ASSERT_GE(asked.size(), 1u);
    EXPECT_EQ(asked[0].LParam, 0);
}

// ---------------------------------------------------------------------------------------------------
// replays of what real controls answered (comctl-oracle/tables, recorded under Wine)

ComCtlDouble Recorded(const char* Name) {
    ComCtlDouble d;
    const std::string path = std::string(TW_STYLING_SOURCE_DIR) + "/tests/styling/windows/comctl-oracle/tables/" + Name + ".txt";
    EXPECT_TRUE(LoadDoubleTable(d, path)) << path;
    return d;
}

TEST_F(ComCtrlTest, RecordedHeaderWithReorderedColumnsPaintsInDisplayOrder) {
    const HWND header = Control(WC_HEADERW, 0, Recorded("header"), {0, 0, 400, 24});
    TSysListViewStyleHook::TSysHeaderStyleHook hook(header);
    Paint(hook, 400, 24);
    std::vector<rtl::String> texts;
    for (const DrawnText& t : Recording->Texts) texts.push_back(t.Text);
    EXPECT_EQ(texts, (std::vector<rtl::String>{"Type", "Name", "Date", "Size"}));
    EXPECT_TRUE(Recording->Texts[0].Format.Contains(tfCenter));
    EXPECT_TRUE(Recording->Texts[3].Format.Contains(tfRight));
    // The real control keeps HDF_BITMAP only with a bitmap: its image indexes show no image here.
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(hook.GetItem(i)->ShowImage()) << i;
    EXPECT_EQ(hook.GetItem(1)->SectionRect(), TRect(100, 0, 180, 24));
    EXPECT_TRUE(hook.GetItem(1)->HasSplitButton());
}

TEST_F(ComCtrlTest, RecordedTabsScrolledOutOfViewHaveNoRectangleAndAreNotDrawn) {
    const HWND tabs = Control(WC_TABCONTROLW, TCS_BOTTOM, Recorded("tabs"), {0, 0, 160, 100});
    TSysTabControlStyleHook hook(tabs);
    Paint(hook, 160, 100);
    std::vector<rtl::String> texts;
    for (const DrawnText& t : Recording->Texts) texts.push_back(t.Text);
    EXPECT_EQ(texts, (std::vector<rtl::String>{"Page number 4", "Page number 5", "Page number 4"}));
}

TEST_F(ComCtrlTest, RecordedRichEditsGetTheirOwnDefaultFormatBackInTheStylesColours) {
    // The classes the recording system has; it answers the default format with automatic colours.
    for (const char16_t* name : {u"RichEdit20A", u"RichEdit20W", u"RichEdit50A", u"RichEdit50W"}) {
        const QString cls = QString::fromUtf16(name);
        SCOPED_TRACE(cls.toStdString());
        const ComCtlDouble table = Recorded(("richedit-" + cls.toLower().toStdString()).c_str());
        ASSERT_TRUE(table.DefaultFormat.dwEffects & CFE_AUTOCOLOR);
        const HWND edit = Control(name, WS_BORDER | ES_MULTILINE, table, {10, 10, 310, 110});
        TSysRichEditStyleHook hook(edit);
        ComCtlDouble& d = *DoubleOf(edit);
        ASSERT_EQ(d.CharFormats.size(), 1u);
        const CHARFORMAT2W& set = d.CharFormats[0];
        // The control's own mask and effects go back as they came, less the automatic text colour.
        EXPECT_EQ(set.cbSize, sizeof(CHARFORMAT2W));
        EXPECT_EQ(set.dwMask, table.DefaultFormat.dwMask);
        EXPECT_EQ(set.dwEffects, table.DefaultFormat.dwEffects & ~DWORD(CFE_AUTOCOLOR));
        EXPECT_EQ(set.crTextColor, 0x60A0B0u);
        EXPECT_EQ(set.crBackColor, 0x405060u);
        DestroyWindow(edit);
    }
}

TEST_F(ComCtrlTest, RecordedRebarDrawsEachBandWithItsGripperAndOnlyTheTextTheControlHolds) {
    // The real rebar stretched itself over the whole width of its parent, one row of 20 pixels.
    const HWND rebar = Control(REBARCLASSNAMEW, 0, Recorded("rebar"), {0, 0, 692, 20});
    TSysReBarStyleHook hook(rebar);
    Paint(hook, 692, 20);
    EXPECT_EQ(Recording->RectsOf(trBand), (std::vector<TRect>{TRect(0, 0, 201, 20), TRect(199, 0, 692, 20)}));
    EXPECT_EQ(Recording->RectsOf(trGripper), (std::vector<TRect>{TRect(2, 2, 6, 18), TRect(201, 2, 205, 18)}));
    // The second band has no text; the first's sits between the gripper and the band's own left border.
    ASSERT_EQ(Recording->Texts.size(), 1u);
    EXPECT_EQ(Recording->Texts[0].Text, "Address");
    EXPECT_EQ(Recording->Texts[0].R.Left, 10);
    EXPECT_EQ(Recording->Texts[0].R.Right, 59);
    EXPECT_EQ(hook.BandText(1), "");
}

TEST_F(ComCtrlTest, RecordedStatusBarNeverDrawsTheOwnerDrawnPartsDataAndStopsAtTheEmptyPart) {
    {
        const HWND bar = Control(STATUSCLASSNAMEW, 0, Recorded("statusbar"), {0, 0, 692, 22});
        TSysStatusBarStyleHook hook(bar);
        Paint(hook, 692, 22);
        // Part 1 is owner-drawn: its text answer is the owner's data (0x1234), which holds no 0x1000
        // by luck only; part 2 has no width.
        ASSERT_EQ(Recording->Texts.size(), 1u);
        EXPECT_EQ(Recording->Texts[0].Text, "Ready");
        EXPECT_EQ(Recording->RectsOf(tsPane).size(), 2u);
        for (const SentMessage& m : DoubleOf(bar)->Of(SB_GETTEXTW)) EXPECT_NE(m.WParam, 1u);
    }
    const HWND bar = Control(STATUSCLASSNAMEW, 0, Recorded("statusbar-simple"), {0, 0, 692, 22});
    TSysStatusBarStyleHook hook(bar);
    Paint(hook, 692, 22);
    ASSERT_EQ(Recording->Texts.size(), 1u);
    EXPECT_EQ(Recording->Texts[0].Text, "Simple text");
    EXPECT_EQ(Recording->RectsOf(tsPane), (std::vector<TRect>{TRect(2, 2, 690, 20)}));
}

TEST_F(ComCtrlTest, RecordedToolbarsReadEveryButtonSafelyAndSkipTheHiddenOne) {
    for (const char* name : {"toolbar", "toolbar-flat"}) {
        SCOPED_TRACE(name);
        const HWND bar = Control(TOOLBARCLASSNAMEW, 0x40 | (name[7] ? TBSTYLE_FLAT : TBSTYLE_LIST), Recorded(name),
                                 {0, 0, 600, 40});
        TSysToolbarStyleHook hook(bar);
        ASSERT_EQ(hook.ButtonCount(), 5);
        EXPECT_EQ(hook.GetItem(4)->Text().size(), 255);  // a 300-character text
        EXPECT_TRUE(hook.GetItem(2)->State().Contains(TSysToolbarStyleHook::bsHidden));
        EXPECT_TRUE(hook.GetItem(1)->Style().Contains(TSysToolbarStyleHook::bsSep));
        EXPECT_TRUE(hook.GetItem(3)->Style().Contains(TSysToolbarStyleHook::bsDropDown));
        Paint(hook, 600, 40);
        EXPECT_EQ(Recording->RectsOf(ttbSeparatorNormal).size(), 1u);
        DestroyWindow(bar);
    }
}

TEST_F(ComCtrlTest, RecordedToolbarsWithImagesRaiseTheImageOverTheTextOrPutTheTextAfterIt) {
    // The recorded buttons show images 0 and 1 of a 16 x 16 list; the test's list has two red ones.
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0);
    auto bmp = std::make_unique<TBitmap>(32, 16);
    bmp->Canvas()->Brush()->SetColor(TColor(RGB(255, 0, 0)));
    bmp->Canvas()->FillRect(TRect(0, 0, 32, 16));
    ImageList_Add(list, bmp->ReleaseHandle(), nullptr);
    {
        // Wrapable: each button on its own row, the first at (0, 2, 1896, 38); its image sits centred
        // across and raised by the height of the text below it.
        ComCtlDouble table = Recorded("toolbar-wrapable-images");
        table.Answer(TB_GETIMAGELIST, reinterpret_cast<LRESULT>(list));
        const HWND bar = Control(TOOLBARCLASSNAMEW, TBSTYLE_WRAPABLE | 0x40, table, {0, 0, 1900, 152});
        TSysToolbarStyleHook hook(bar);
        const QImage image = Painted(hook, 1900, 40);  // the first row is enough
        QRect red;
        for (int y = 0; y < 38; ++y)
            for (int x = 0; x < 1900; ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) == 0xFF0000u) red |= QRect(x, y, 1, 1);
        EXPECT_EQ(red.left(), (1896 - 16) / 2);
        EXPECT_EQ(red.width(), 16);
        EXPECT_LT(red.top(), 2 + (36 - 16) / 2);  // above where a centred image would start
        DestroyWindow(bar);
    }
    {
        // Transparent list: no toolbar background of its own, and each text starts after its image.
        ComCtlDouble table = Recorded("toolbar-transparent-images");
        table.Answer(TB_GETIMAGELIST, reinterpret_cast<LRESULT>(list));
        const HWND bar = Control(TOOLBARCLASSNAMEW, TBSTYLE_TRANSPARENT | TBSTYLE_LIST | 0x40, table, {0, 0, 600, 26});
        TSysToolbarStyleHook hook(bar);
        Paint(hook, 600, 26);
        for (const DrawnElement& e : Recording->Elements) EXPECT_NE(e.R, TRect(0, 0, 600, 26));
        ASSERT_GE(Recording->Texts.size(), 1u);
        EXPECT_EQ(Recording->Texts[0].Text, "Open");
        EXPECT_GE(Recording->Texts[0].R.Left, 16 + 2);
        DestroyWindow(bar);
    }
    ImageList_Destroy(list);
}

TEST_F(ComCtrlTest, RecordedFreshTreeAnswersTheDefaultColourSoTheFirstEraseSetsBoth) {
    const HWND tree = Control(WC_TREEVIEWW, 0, Recorded("treeview"), {10, 10, 210, 210});
    TSysTreeViewStyleHook hook(tree);
    SendMessageW(tree, WM_ERASEBKGND, 0, 0);
    EXPECT_EQ(DoubleOf(tree)->Count(TVM_SETBKCOLOR), 1);
    EXPECT_EQ(DoubleOf(tree)->Count(TVM_SETTEXTCOLOR), 1);
}

TEST_F(ComCtrlTest, RecordedTrackBarWithTwoTickMarksDrawsOnlyTheEnds) {
    const HWND bar = Control(TRACKBAR_CLASSW, TBS_AUTOTICKS, Recorded("trackbar-bottom"), {0, 0, 200, 44});
    TSysTrackBarStyleHook hook(bar);
    const QImage image = Painted(hook, 200, 44);
    // The thumb (8..19) covers the first end tick; right of it only the last end tick shows.
    int columns = 0;
    for (int x = 20; x < 200; ++x)
        for (int y = 14; y < 44; ++y)
            if ((image.pixel(x, y) & 0xFFFFFF) == TickColour) {
                ++columns;
                EXPECT_EQ(x, 192 - 5);
                break;
            }
    EXPECT_EQ(columns, 1);
}

// ---------------------------------------------------------------------------------------------------
// a styled up-down under a real pointer (the Xvfb run)

// What the X server shows of Window, once it shows what the window model holds.
QImage OnScreen(testing_support::HeadlessApp& App, HWND Window) {
    RECT r{};
    GetWindowRect(Window, &r);
    const QImage model = App.Grab(Window).convertToFormat(QImage::Format_RGB32);
    QImage shot;
    QElapsedTimer waited;
    waited.start();
    do {
        App.PumpUntilIdle();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        shot = QGuiApplication::primaryScreen()
                   ->grabWindow(0, r.left, r.top, r.right - r.left, r.bottom - r.top)
                   .toImage()
                   .convertToFormat(QImage::Format_RGB32);
    } while (shot != model && waited.elapsed() < 5000);
    return shot;
}

void ComparePicture(const QImage& Got, const char* Name) {
    const QString file = qEnvironmentVariable("TW_SOURCE_DIR", QStringLiteral(TW_STYLING_SOURCE_DIR)) +
                         QStringLiteral("/tests/styling/windows/expected/%1.png").arg(QString::fromLatin1(Name));
    if (qEnvironmentVariableIsSet("TW_UPDATE_EXPECTED")) Got.save(file);
    const QImage want = QImage(file).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(want.isNull()) << "no picture at " << file.toStdString() << ": run with TW_UPDATE_EXPECTED=1";
    EXPECT_EQ(Got, want) << Name;
}

TEST_F(ComCtrlTest, XvfbUpDownShowsTheHotAndPressedHalvesUnderARealPointerAndStillCounts) {
    if (qEnvironmentVariable("QT_QPA_PLATFORM") != QStringLiteral("xcb")) GTEST_SKIP() << "needs a real X server (the Xvfb run)";
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty()) GTEST_SKIP() << "xdotool is missing";
    auto carbon = std::make_unique<TCustomStyle>(ReadStyleFile(
        qEnvironmentVariable("TW_SOURCE_DIR", QStringLiteral(TW_STYLING_SOURCE_DIR)) + QStringLiteral("/data/styles/Carbon.vsf")));
    TStyleManager::SetStyle(carbon.get());
    const HWND updown = CreateWindowExW(0, u"msctls_updown32", u"", WS_CHILD | WS_VISIBLE, 100, 60, 24, 48, Parent,
                                        nullptr, nullptr, nullptr);
    SendMessageW(updown, UDM_SETRANGE32, 0, 10);
    TSysUpDownStyleHook hook(updown);
    RedrawWindow(Parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    TwUseRealClock();
    auto waitFor = [&](auto Done) {
        QElapsedTimer waited;
        waited.start();
        while (!Done() && waited.elapsed() < 5000) {
            App.PumpUntilIdle();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return Done();
    };
    auto xdo = [&](QStringList Args) { return QProcess::execute(xdotool, Args) == 0; };
    const POINT up = testing_support::HeadlessApp::ToScreen(updown, POINT{12, 10});
    ASSERT_TRUE(xdo({QStringLiteral("mousemove"), QString::number(up.x), QString::number(up.y)}));
    ASSERT_TRUE(waitFor([&] { return hook.MouseOnLeft() && hook.MouseInControl(); }));
    ComparePicture(OnScreen(App, updown), "updown_hot");
    ASSERT_TRUE(xdo({QStringLiteral("mousedown"), QStringLiteral("1")}));
    ASSERT_TRUE(waitFor([&] { return hook.LeftPressed(); }));
    ComparePicture(OnScreen(App, updown), "updown_pressed");
    ASSERT_TRUE(xdo({QStringLiteral("mouseup"), QStringLiteral("1")}));
    ASSERT_TRUE(waitFor([&] { return !hook.LeftPressed(); }));
    // The control counted the press (more than once only if the press outlasted its repeat delay).
    EXPECT_GE(SendMessageW(updown, UDM_GETPOS32, 0, 0), 1);
    const POINT outside = testing_support::HeadlessApp::ToScreen(Parent, POINT{300, 200});
    ASSERT_TRUE(xdo({QStringLiteral("mousemove"), QString::number(outside.x), QString::number(outside.y)}));
    EXPECT_TRUE(waitFor([&] { return !hook.MouseOnLeft() && !hook.MouseOnRight(); }));
    TwUseManualClock(GetTickCount64());
    TStyleManager::SetStyle(Style.get());
}

// ---------------------------------------------------------------------------------------------------
// registration

TEST_F(ComCtrlTest, TheSixteenCommonControlClassesAreRegisteredAtStartAndGoneAtTheEnd) {
    const char* names[] = {"ToolbarWindow32", "SysListView32", "SysTabControl32", "SysTreeView32",
                           "RichEdit20A",     "RichEdit20W",   "RichEdit30A",     "RichEdit30W",
                           "RichEdit41A",     "RichEdit41W",   "RichEdit50A",     "RichEdit50W",
                           "ReBarWindow32",   "msctls_statusbar32", "msctls_trackbar32", "msctls_updown32"};
    // The set-up took them out again for the other tests.
    for (const char* n : names) EXPECT_FALSE(TSysStyleManager::IsRegistered(QString::fromLatin1(n))) << n;
    RegisterComCtrlStyleHooks();
    for (const char* n : names) EXPECT_TRUE(TSysStyleManager::IsRegistered(QString::fromLatin1(n))) << n;
    EXPECT_FALSE(TSysStyleManager::IsRegistered(QStringLiteral("SysHeader32")));
    UnRegisterComCtrlStyleHooks();
    for (const char* n : names) EXPECT_FALSE(TSysStyleManager::IsRegistered(QString::fromLatin1(n))) << n;
}

} // namespace
