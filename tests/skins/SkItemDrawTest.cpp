// What one item paint knows (state, split halves, sunken caption) per skin type, which skin entries the
// item backgrounds take, and the viewers' measuring and painting: owner draw, sizes from the font's
// metrics, texts and hints.
#include "tests/skins/SkItemFixture.h"

#include "skins/SkSkinsText.h"
#include "toolbars/BarPopup.h"
#include "vcl/ActnList.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

using namespace skins;
using namespace skins_test;
using vcl::TRect;

namespace {

// ---- the item info ----

struct InfoCase {
    const char* name;
    bool enabled, selected, open, mouseOverWithCapture, captureOnly, checked, split, toolbar;
    TSkSkinStatesType state, comboState;
    bool pushed;
    // Sunken caption under sknNone, sknWindows, sknSkin.
    bool sunken[3];
};

std::ostream& operator<<(std::ostream& os, const InfoCase& c) { return os << c.name; }

class ItemInfo : public ItemFixture, public ::testing::WithParamInterface<InfoCase> {};

TEST_P(ItemInfo, FollowsDisabledThenPushedThenCheckedAndHotThenHotThenChecked) {
    const InfoCase& c = GetParam();
    TSkSubmenuItem* item = Add<TSkSubmenuItem>(u"Item");
    item->SetEnabled(c.enabled);
    item->SetChecked(c.checked);
    item->SetDropdownCombo(c.split);
    TTestView* view = View(c.toolbar);
    TSkItemViewer* v = Viewer(view, item);
    view->Set(c.selected ? v : nullptr, c.open ? v : nullptr, c.mouseOverWithCapture, c.mouseOverWithCapture || c.captureOnly);
    const TSkSkinType types[3] = {sknNone, sknWindows, sknSkin};
    for (int t = 0; t < 3; ++t) {
        Use(types[t]);
        TSkMenuItemInfo info;
        FillMenuItemInfo(Canvas(), v, info);
        SCOPED_TRACE(t);
        EXPECT_EQ(info.State, c.state);
        EXPECT_EQ(info.ComboState, c.comboState);
        EXPECT_EQ(info.Pushed, c.pushed);
        EXPECT_EQ(info.HasArrow, c.split);
        EXPECT_EQ(info.IsSplit, c.split);
        EXPECT_EQ(info.ToolbarStyle, c.toolbar);
        EXPECT_EQ(info.ComboPart, c.toolbar && c.split ? cpSplitLeft : cpNone);
        EXPECT_EQ(info.IsSunkenCaption, c.sunken[t]);
        EXPECT_EQ(info.SkinType, types[t]);
        // Menu margins are asked only in menu style.
        EXPECT_EQ(info.MenuMargins.GutterSize > 0, !c.toolbar);
    }
}

constexpr auto N = sknsNormal, D = sknsDisabled, H = sknsHotTrack, P = sknsPushed, C = sknsChecked,
               CH = sknsCheckedAndHotTrack;

INSTANTIATE_TEST_SUITE_P(
    Cases, ItemInfo,
    ::testing::Values(
        //        name                 en     sel    open   mouse  cap    chk    split  tb     state comb push  sunken
        InfoCase{"normal", true, false, false, false, false, false, false, true, N, N, false, {false, false, false}},
        InfoCase{"disabledHotChecked", false, true, false, true, true, true, false, true, D, N, true, {true, true, false}},
        InfoCase{"hot", true, true, false, false, false, false, false, true, H, N, false, {false, false, false}},
        InfoCase{"checkedHot", true, true, false, false, false, true, false, true, CH, N, false, {true, true, false}},
        InfoCase{"checked", true, false, false, false, false, true, false, true, C, N, false, {true, true, false}},
        InfoCase{"pressedOnToolbar", true, true, false, true, false, false, false, true, P, N, true, {true, true, false}},
        InfoCase{"captureWithoutMouse", true, true, false, false, true, false, false, true, H, N, false, {false, false, false}},
        InfoCase{"mouseAndCaptureInMenu", true, true, false, true, false, false, false, false, H, N, false, {false, false, false}},
        InfoCase{"openInMenu", true, true, true, false, false, false, false, false, P, N, true, {false, false, false}},
        InfoCase{"splitArrowHeld", true, true, true, false, false, false, true, true, H, P, false, {false, false, false}},
        InfoCase{"splitWholePushed", true, true, false, true, false, false, true, true, P, H, true, {true, true, false}},
        InfoCase{"splitCheckedHot", true, true, false, false, false, true, true, true, CH, H, false, {true, true, false}},
        InfoCase{"splitChecked", true, false, false, false, false, true, true, true, C, N, false, {true, true, false}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ItemInfo, SunkenCaptionOnTheMenuBarOnlyUnderTheClassicLook) {
    TSkItem* item = Add(u"File");
    item->SetChecked(true);
    TTestView* view = View(true, true);
    TSkMenuItemInfo info;
    Use(sknWindows);
    FillMenuItemInfo(Canvas(), Viewer(view, item), info);
    EXPECT_TRUE(info.IsOnMenuBar);
    EXPECT_FALSE(info.IsSunkenCaption);
    Use(sknNone);
    FillMenuItemInfo(Canvas(), Viewer(view, item), info);
    EXPECT_TRUE(info.IsSunkenCaption);
}

TEST_F(ItemInfo, ClicksTransparentItemsPaintAsNormalAndLabelsKeepTheMenuOpen) {
    auto* label = Add<TSkCustomLabelItem>(u"Label");
    TTestView* view = View(false);
    TSkItemViewer* v = Viewer(view, label);
    view->Set(v, nullptr, true, true);
    TSkMenuItemInfo info;
    FillMenuItemInfo(Canvas(), v, info);
    EXPECT_TRUE(info.HotTrack);
    EXPECT_EQ(info.State, sknsNormal);
    EXPECT_FALSE(v->PerformExecute());
}

// ---- the item backgrounds, through the recording skin ----

struct Draw : ItemFixture {
    void SetUp() override {
        ItemFixture::SetUp();
        Use(sknSkin);
    }
    // Paints the item's viewer in the view as the view would, at (0, 0) with its measured size.
    TRect PaintItem(TBarView* View, TBarCustomItem* Item, int Width = 0, int Height = 0) {
        TSkItemViewer* v = Viewer(View, Item);
        int w, h;
        v->MeasureSize(Canvas(), w, h);
        if (Width) w = Width;
        if (Height) h = Height;
        TRecordingSkin::Log().clear();
        v->Paint(Canvas(), TRect(0, 0, w, h), View->Selected() == v, false, false);
        return TRect(0, 0, w, h);
    }
};

TEST_F(Draw, EachBarTakesItsOwnComponentEntry) {
    TSkSubmenuItem* file = Add<TSkSubmenuItem>(u"&File");
    TTestView* menuBar = View(true, true);
    menuBar->Set(Viewer(menuBar, file), nullptr, false, false);
    const TRect r = PaintItem(menuBar, file);
    ASSERT_EQ(TRecordingSkin::Count(skncMenuBarItem), 1);
    EXPECT_EQ(TRecordingSkin::Last(skncMenuBarItem).State, sknsHotTrack);
    EXPECT_EQ(TRecordingSkin::Last(skncMenuBarItem).Rect, r);

    TTestView* toolbar = View(true);
    toolbar->Set(Viewer(toolbar, file), nullptr, false, false);
    PaintItem(toolbar, file);
    EXPECT_EQ(TRecordingSkin::Count(skncMenuBarItem), 0);
    EXPECT_EQ(TRecordingSkin::Last(skncToolbarItem).State, sknsHotTrack);

    TTestView* popup = View(false);
    popup->Set(Viewer(popup, file), nullptr, false, false);
    const TRect m = PaintItem(popup, file);
    EXPECT_EQ(TRecordingSkin::Count(skncToolbarItem), 0);
    EXPECT_EQ(TRecordingSkin::Last(skncMenuItem).State, sknsHotTrack);
    // The highlight covers the whole row; the body colour shows inside it.
    EXPECT_EQ(TRecordingSkin::Last(skncMenuItem).Rect, m);
    EXPECT_EQ(At(m.Width() / 2, m.Height() / 2) & 0xFFFF00,
              vcl::ColorToRGB(TRecordingSkin::BodyColor(skncMenuItem, sknsHotTrack)) & 0xFFFF00);
}

TEST_F(Draw, SplitLeftHalfIsTwoPixelsWiderAndMeetsTheArrowSquare) {
    TSkSubmenuItem* split = Add<TSkSubmenuItem>(u"Split");
    split->SetDropdownCombo(true);
    TTestView* toolbar = View(true);
    TSkItemViewer* v = Viewer(toolbar, split);
    toolbar->Set(v, nullptr, true, true);   // the whole button is pushed
    const TRect r = PaintItem(toolbar, split);
    int dd, margin, splitSize;
    GetCurrentSkin()->GetDropDownArrowSize(dd, margin, splitSize);
    const auto& log = TRecordingSkin::Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].Rect, TRect(0, 0, r.Right - splitSize + 2, r.Bottom));
    EXPECT_EQ(log[0].Forced, vcl::TAnchors{vcl::akRight});
    EXPECT_EQ(log[0].State, sknsPushed);
    EXPECT_EQ(log[1].Rect, TRect(r.Right - splitSize, 0, r.Right, r.Bottom));
    EXPECT_EQ(log[1].Forced, vcl::TAnchors{vcl::akLeft});
    EXPECT_EQ(log[1].State, sknsHotTrack);
}

TEST_F(Draw, OpenItemWithOfficePopupIsOnePieceReachingTwoPixelsDown) {
    ASSERT_TRUE(GetCurrentSkin()->OfficePopup());
    TSkSubmenuItem* split = Add<TSkSubmenuItem>(u"Split");
    split->SetDropdownCombo(true);
    TTestView* toolbar = View(true);
    TSkItemViewer* v = Viewer(toolbar, split);
    toolbar->Set(v, v, false, false);   // its popup is open
    const TRect r = PaintItem(toolbar, split);
    // One open-item entry over both halves, merging with the popup below.
    const auto& log = TRecordingSkin::Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0].Component, skncOpenToolbarItem);
    EXPECT_EQ(log[0].State, sknsNormal);
    EXPECT_EQ(log[0].Rect, TRect(0, 0, r.Right, r.Bottom + 2));
    EXPECT_EQ(TRecordingSkin::Count(skncToolbarItem), 0);
}

TEST_F(Draw, DisabledHotMenuItemGetsNoHighlightWithOfficeMenu) {
    TSkItem* item = Add(u"Disabled");
    item->SetEnabled(false);
    TTestView* popup = View(false);
    popup->Set(Viewer(popup, item), nullptr, false, false);
    PaintItem(popup, item);
    EXPECT_EQ(TRecordingSkin::Count(skncMenuItem), 1);   // highlighted without OfficeMenu
    GetCurrentSkin()->SetOfficeMenu(true);
    PaintItem(popup, item);
    EXPECT_EQ(TRecordingSkin::Count(skncMenuItem), 0);
}

TEST_F(Draw, CheckAreaFollowsEachSkinTypesRule) {
    TSkItem* item = Add(u"Checked");
    item->SetChecked(true);
    TTestView* popup = View(false);
    TSkMenuItemInfo info;
    // The skin: an enabled checked item gets the state's entry over the gutter.
    FillMenuItemInfo(Canvas(), Viewer(popup, item), info);
    DrawMenuItem(Canvas(), TRect(0, 0, 120, 24), info);
    ASSERT_EQ(TRecordingSkin::Count(skncMenuItem), 1);
    EXPECT_EQ(TRecordingSkin::Last(skncMenuItem).State, sknsChecked);
    EXPECT_EQ(TRecordingSkin::Last(skncMenuItem).Rect, TRect(0, 0, info.MenuMargins.GutterSize, 24));
    // Disabled: none under the skin, the checker pattern under the classic look.
    item->SetEnabled(false);
    TRecordingSkin::Log().clear();
    FillMenuItemInfo(Canvas(), Viewer(popup, item), info);
    DrawMenuItem(Canvas(), TRect(0, 0, 120, 24), info);
    EXPECT_TRUE(TRecordingSkin::Log().empty());
    Use(sknNone);
    Clear();
    FillMenuItemInfo(Canvas(), Viewer(popup, item), info);
    DrawMenuItem(Canvas(), TRect(0, 0, 120, 24), info);
    // The checked look: a sunken edge round the gutter, the rest of the row untouched.
    EXPECT_EQ(At(0, 12), vcl::ColorToRGB(vcl::clBtnShadow));
    EXPECT_EQ(At(info.MenuMargins.GutterSize + 10, 12), vcl::ColorToRGB(vcl::clWhite));
}

TEST_F(Draw, SplitMenuItemGetsItsLineFourteenPixelsFromTheRight) {
    TSkSubmenuItem* split = Add<TSkSubmenuItem>(u"Split");
    split->SetDropdownCombo(true);
    TTestView* popup = View(false);
    Clear();
    TSkMenuItemInfo info;
    FillMenuItemInfo(Canvas(), Viewer(popup, split), info);
    DrawMenuItem(Canvas(), TRect(0, 0, 120, 24), info);
    const TColor line = vcl::ColorToRGB(GetCurrentSkin()->Options(skncMenuItem, sknsNormal)->Borders()->Color1());
    EXPECT_EQ(At(106, 12), line);
    EXPECT_EQ(At(105, 12), vcl::ColorToRGB(vcl::clWhite));
    EXPECT_EQ(At(106, 0), vcl::ColorToRGB(vcl::clWhite));
}

// ---- owner draw ----

TEST_F(Draw, PrePaintHandlerSuppressesTheBackgroundPostPaintOnlyTheArrow) {
    TSkSubmenuItem* item = Add<TSkSubmenuItem>(u"Menu");
    item->SetOptions(bars::TBarItemOptions{bars::tboDropdownArrow});
    TTestView* toolbar = View(true);
    toolbar->Set(Viewer(toolbar, item), nullptr, false, false);
    std::vector<TSkPaintStage> stages;
    TSkPaintStage clearAt = pstPrePaint;
    item->OnDrawItem = [&](rtl::TObject*, vcl::TCanvas*, TRect, TSkMenuItemInfo, TSkPaintStage Stage, bool& PaintDefault) {
        stages.push_back(Stage);
        if (Stage == clearAt) PaintDefault = false;
    };
    int dd, margin, splitSize;
    GetCurrentSkin()->GetDropDownArrowSize(dd, margin, splitSize);
    auto arrowPixel = [&](const TRect& r) {
        const int x = r.Right - margin - dd / 2 - 1, y = r.Height() / 2 - 1;
        return At(x, y + 1);
    };
    Clear();
    TRect r = PaintItem(toolbar, item);
    EXPECT_EQ(stages, (std::vector<TSkPaintStage>{pstPrePaint, pstPostPaint}));
    EXPECT_EQ(TRecordingSkin::Count(skncToolbarItem), 0);
    const TColor arrowColour = arrowPixel(r);
    EXPECT_EQ(arrowColour, vcl::ColorToRGB(GetCurrentSkin()->GetTextColor(skncToolbarItem, sknsHotTrack)));

    clearAt = pstPostPaint;
    Clear();
    r = PaintItem(toolbar, item);
    EXPECT_EQ(TRecordingSkin::Count(skncToolbarItem), 1);
    EXPECT_NE(arrowPixel(r), arrowColour);
}

TEST_F(Draw, LabelNeverGetsABackgroundWhateverItsHandlerSays) {
    auto* label = Add<TSkCustomLabelItem>(u"Label:");
    bool called = false;
    label->OnDrawItem = [&](rtl::TObject*, vcl::TCanvas*, TRect, TSkMenuItemInfo, TSkPaintStage, bool& PaintDefault) {
        called = true;
        PaintDefault = true;
    };
    TTestView* popup = View(false);
    popup->Set(Viewer(popup, label), nullptr, false, false);
    PaintItem(popup, label);
    EXPECT_TRUE(called);
    EXPECT_TRUE(TRecordingSkin::Log().empty());
}

// ---- sizes from the font's metrics ----

struct Sizes : ItemFixture {
    vcl::TSize Measure(TBarView* V, TBarCustomItem* Item) {
        int w, h;
        Viewer(V, Item)->MeasureSize(Canvas(), w, h);
        return vcl::TSize{w, h};
    }
    // The item's caption measured in the font the viewer paints it in.
    vcl::TSize TextSize(TBarView* V, TBarCustomItem* Item) {
        return Viewer(V, Item)->GetItemTextInfo(Canvas(), sknsNormal).TextSize;
    }
};

TEST_F(Sizes, MenuItemIsTallEnoughForAnImageAndWiderByItsOwnHeightForTheArrow) {
    for (TSkSkinType type : {sknNone, sknSkin}) {
        Use(type);
        TSkItem* item = Add(u"Convert all");
        TTestView* popup = View(false);
        const vcl::TSize size = Measure(popup, item);
        const vcl::TSize text = TextSize(popup, item);
        TSkMenuItemMarginsInfo m;
        GetCurrentSkin()->GetMenuItemMargins(Canvas(), 0, m);
        EXPECT_GE(size.cy, 16 + m.Margins.Top + m.Margins.Bottom);
        EXPECT_EQ(size.cx - size.cy, text.cx + m.Margins.Left + m.Margins.Right + m.GutterSize + m.ImageTextSpace +
                                         m.LeftCaptionMargin + m.RightCaptionMargin);
        // A shortcut adds the height, its text and -6.
        item->SetShortCut(vcl::ShortCut('O', vcl::TShiftState{vcl::ssCtrl}));
        const int shortCut = GetTextExtent(Canvas()->Handle(), item->GetShortCutText(), true).cx;
        EXPECT_EQ(Measure(popup, item).cx, size.cx + size.cy + shortCut - 6);
    }
}

TEST_F(Sizes, MenuBarMenuIsSixPixelsWiderThanOnAToolbar) {
    TSkSubmenuItem* file = Add<TSkSubmenuItem>(u"&File");
    const vcl::TSize onToolbar = Measure(View(true), file);
    const vcl::TSize onMenuBar = Measure(View(true, true), file);
    EXPECT_EQ(onMenuBar.cx, onToolbar.cx + 6);
    EXPECT_EQ(onMenuBar.cy, onToolbar.cy);
    // Toolbar style: 6 + text + 4 across, 6 + text down.
    const vcl::TSize text = TextSize(View(true), file);
    EXPECT_EQ(onToolbar, (vcl::TSize{text.cx + 10, text.cy + 6}));
}

TEST_F(Sizes, DefaultItemMeasuresAndPaintsBold) {
    TSkItem* item = Add(u"Close");
    TTestView* popup = View(false);
    const int plain = Measure(popup, item).cx;
    item->SetOptions(bars::TBarItemOptions{bars::tboDefault});
    EXPECT_GT(Measure(popup, item).cx, plain);
    Viewer(popup, item)->GetItemTextInfo(Canvas(), sknsNormal);
    EXPECT_TRUE(Canvas()->Font()->Style().Contains(vcl::fsBold));
}

TEST_F(Sizes, CustomMinimumAndMarginsShapeTheItemAlongAndAcrossTheBar) {
    TSkItem* item = Add(u"Bar item");
    TTestView* toolbar = View(true);
    const vcl::TSize natural = Measure(toolbar, item);
    item->SetCustomWidth(-5);
    EXPECT_EQ(item->CustomWidth(), -1);
    EXPECT_EQ(Measure(toolbar, item), natural);
    item->SetMargins(7);
    EXPECT_EQ(Measure(toolbar, item), (vcl::TSize{natural.cx + 7, natural.cy}));
    item->SetMargins(0);
    item->SetCustomWidth(80);
    item->SetCustomHeight(30);
    EXPECT_EQ(Measure(toolbar, item), (vcl::TSize{80, 30}));
    item->SetMinWidth(100);
    item->SetMinHeight(40);
    EXPECT_EQ(Measure(toolbar, item), (vcl::TSize{100, 40}));
}

TEST_F(Sizes, VerticalViewTurnsTheCaptionAndSwapsTheSides) {
    TSkItem* item = Add(u"Turned caption");
    TTestView* toolbar = View(true);
    const vcl::TSize across = Measure(toolbar, item);
    toolbar->SetOrientation(bars::tbvoVertical);
    const vcl::TSize down = Measure(toolbar, item);
    EXPECT_EQ(down, (vcl::TSize{across.cy, across.cx}));
    // CustomWidth is the length along the bar, so in a vertical bar the height.
    item->SetCustomWidth(90);
    EXPECT_EQ(Measure(toolbar, item), (vcl::TSize{across.cy, 90}));
}

TEST_F(Sizes, DropdownArrowBesideAnImageAboveTheCaption) {
    TSkItem* item = Add(u"A");
    item->SetImages(images);
    item->SetImageIndex(0);
    TTestView* toolbar = View(true);
    item->SetOptions(bars::TBarItemOptions{bars::tboImageAboveCaption});
    const vcl::TSize plain = Measure(toolbar, item);
    item->SetOptions(bars::TBarItemOptions{bars::tboImageAboveCaption, bars::tboDropdownArrow});
    int dd, margin, split;
    GetCurrentSkin()->GetDropDownArrowSize(dd, margin, split);
    // A narrow caption: the width becomes image + arrow + 9.
    ASSERT_LT(plain.cx - 7, 16 + dd + 2);
    EXPECT_EQ(Measure(toolbar, item), (vcl::TSize{16 + dd + 9, plain.cy}));
    // A wide caption already has room: it keeps its width.
    item->SetCaption(QStringLiteral("A caption wider than the image and arrow"));
    item->SetOptions(bars::TBarItemOptions{bars::tboImageAboveCaption});
    const int wide = Measure(toolbar, item).cx;
    item->SetOptions(bars::TBarItemOptions{bars::tboImageAboveCaption, bars::tboDropdownArrow});
    EXPECT_EQ(Measure(toolbar, item).cx, wide);
}

// ---- texts and hints ----

TEST_F(ItemFixture, CaptionTabSplitsCaptionAndShortcutText) {
    TSkItem* item = Add(u"Open\tCtrl+O");
    TTestView* popup = View(false);
    EXPECT_EQ(Viewer(popup, item)->GetCaptionText(), QStringLiteral("Open"));
    EXPECT_EQ(item->GetShortCutText(), QStringLiteral("Ctrl+O"));
    item->SetCaption(QStringLiteral("Save\t"));
    EXPECT_EQ(item->GetShortCutText(), QString());
    item->SetShortCut(vcl::ShortCut('S', vcl::TShiftState{vcl::ssCtrl}));
    EXPECT_EQ(item->GetShortCutText(), vcl::ShortCutToText(item->ShortCut()));
    EXPECT_EQ(Viewer(popup, item)->GetCaptionText(), QStringLiteral("Save"));
}

struct HintCase {
    const char16_t* caption;
    const char16_t* hint;
    bool noAutoHint, shortCut, hintShortCuts, actionRefuses;
    const char16_t* expected;
};

class Hints : public ItemFixture, public ::testing::WithParamInterface<HintCase> {};

TEST_P(Hints, ComeFromTheHintTheCaptionTheActionAndTheShortcut) {
    const HintCase& c = GetParam();
    TSkItem* item = Add(c.caption);
    item->SetHint(QString::fromUtf16(c.hint));
    if (c.noAutoHint) item->SetOptions(bars::TBarItemOptions{bars::tboNoAutoHint});
    if (c.shortCut) item->SetShortCut(vcl::ShortCut('E', vcl::TShiftState{vcl::ssCtrl}));
    vcl::Application->SetHintShortCuts(c.hintShortCuts);
    std::unique_ptr<vcl::TAction> action;
    if (c.actionRefuses) {
        action = std::make_unique<vcl::TAction>(nullptr);
        action->OnHint = [](rtl::String&, bool& CanShow) { CanShow = false; };
        item->SetAction(action.get());
        item->SetCaption(QString::fromUtf16(c.caption));
    }
    TTestView* toolbar = View(true);
    EXPECT_EQ(Viewer(toolbar, item)->GetHintText(), QString::fromUtf16(c.expected));
    item->SetAction(nullptr);
    vcl::Application->SetHintShortCuts(true);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Hints,
    ::testing::Values(HintCase{u"Open", u"Open a file|Opens a media file", false, false, true, false, u"Open a file"},
                      HintCase{u"&Save as...", u"", false, false, true, false, u"Save as"},
                      HintCase{u"&Folder:", u"", false, false, true, false, u"Folder"},
                      HintCase{u"&Edit", u"", false, true, true, false, u"Edit (Ctrl+E)"},
                      HintCase{u"&Edit", u"", false, true, false, false, u"Edit"},
                      HintCase{u"&Edit", u"", true, true, true, false, u""},
                      HintCase{u"&Edit", u"Edit", false, true, true, true, u""}));

TEST_F(ItemFixture, HintBitmapIsTheTextPlusMarginsAndAHandlerCanKeepItsOwnPicture) {
    TSkItem* item = Add(u"Convert");
    item->SetHint(QStringLiteral("Convert the checked files"));
    TTestView* toolbar = View(true);
    TSkItemViewer* v = Viewer(toolbar, item);
    vcl::THintInfo info;
    vcl::TCMHintShow message{};
    message.Msg = vcl::CM_HINTSHOW;
    message.LParam = reinterpret_cast<LPARAM>(&info);
    v->Dispatch(message);
    vcl::TBitmap* bitmap = StockHintBitmap();
    EXPECT_EQ(info.HintData, bitmap);
    EXPECT_EQ(info.HintStr, QStringLiteral("Convert the checked files"));
    EXPECT_EQ(info.HideTimeout, 60000);
    ASSERT_NE(info.HintWindowClass, nullptr);
    RECT r{0, 0, 0, 0};
    const QString text = info.HintStr;
    DrawTextW(bitmap->Canvas()->Handle(), reinterpret_cast<LPCWSTR>(text.utf16()), int(text.size()), &r,
              DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(bitmap->Width(), r.right + 8);
    EXPECT_EQ(bitmap->Height(), r.bottom + 4);
    // Text shows in the middle, in the hint text colour; the margins stay background.
    bool textSeen = false;
    for (int x = 4; x < bitmap->Width() - 4; ++x)
        textSeen |= vcl::ColorToRGB(bitmap->Canvas()->Pixels(x, bitmap->Height() / 2)) == vcl::ColorToRGB(vcl::clInfoText);
    EXPECT_TRUE(textSeen);
    EXPECT_EQ(vcl::ColorToRGB(bitmap->Canvas()->Pixels(1, 1)), vcl::ColorToRGB(vcl::clInfoBk));

    item->OnDrawHint = [](rtl::TObject*, vcl::TBitmap* Bitmap, rtl::String&, bool& PaintDefault) {
        Bitmap->Canvas()->Brush()->SetColor(0x000000FF);
        Bitmap->Canvas()->FillRect(TRect(0, 0, Bitmap->Width(), Bitmap->Height()));
        PaintDefault = false;
    };
    v->Dispatch(message);
    for (int x = 0; x < bitmap->Width(); ++x)
        ASSERT_EQ(vcl::ColorToRGB(bitmap->Canvas()->Pixels(x, bitmap->Height() / 2)), 0x0000FFu) << x;
}

TEST_F(Draw, BarImageListPicksItsStateListAndOnlyTheSunkenCaptionMovesIt) {
    // Four one-colour lists: the plain one and its hot, checked and disabled companions.
    auto list = [&](TColor Colour) {
        auto* l = new bars::TBarCustomImageList(owner.get(), 8, 8);
        vcl::TBitmap picture;
        picture.SetPixelFormat(vcl::pf24bit);
        picture.SetSize(8, 8);
        picture.Canvas()->Brush()->SetColor(Colour);
        picture.Canvas()->FillRect(vcl::TRect(0, 0, 8, 8));
        l->Add(&picture, nullptr);
        return l;
    };
    bars::TBarCustomImageList* plain = list(0x000000C0);
    plain->SetHotImages(list(0x0000C000));
    plain->SetCheckedImages(list(0x00C00000));
    plain->SetDisabledImages(list(0x00C0C000));
    // Office icons would shadow and lift a hot picture of any other list.
    GetCurrentSkin()->SetOfficeIcons(true);
    struct Case {
        bool enabled, hot, checked, sunken;
        TColor colour;
        int at;
    };
    for (const Case& c : {Case{true, false, false, false, 0x000000C0, 10}, Case{true, true, false, false, 0x0000C000, 10},
                          Case{true, true, true, false, 0x00C00000, 10}, Case{false, true, true, false, 0x00C0C000, 10},
                          Case{true, false, false, true, 0x000000C0, 11}}) {
        Clear();
        TSkMenuItemInfo info;
        info.Enabled = c.enabled;
        info.HotTrack = c.hot;
        info.Checked = c.checked;
        info.IsSunkenCaption = c.sunken;
        DrawMenuItemImage(Canvas(), TRect(10, 10, 30, 30), info, plain, 0);
        SCOPED_TRACE(std::to_string(c.enabled) + std::to_string(c.hot) + std::to_string(c.checked) +
                     std::to_string(c.sunken));
        EXPECT_EQ(At(c.at, c.at), vcl::ColorToRGB(c.colour));
        EXPECT_EQ(At(c.at - 1, c.at - 1), vcl::ColorToRGB(vcl::clWhite));
        EXPECT_EQ(At(c.at + 8, c.at + 8), vcl::ColorToRGB(vcl::clWhite));
    }
    // Past the end of the list: nothing.
    Clear();
    DrawMenuItemImage(Canvas(), TRect(10, 10, 30, 30), TSkMenuItemInfo{}, plain, 3);
    EXPECT_EQ(At(12, 12), vcl::ColorToRGB(vcl::clWhite));
    GetCurrentSkin()->SetOfficeIcons(false);
}

} // namespace
