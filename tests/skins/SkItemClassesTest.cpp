// The skinned items' properties, linked controls and action captions, the item cache, filling items
// from menus and from a form's system menu, the system menu item's commands and icon, and the
// customizing drag objects.
#include "tests/skins/SkItemFixture.h"

#include "tests/support/windows/FormHarness.h"
#include "vcl/ActnList.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "win/user32/twicons.h"

#include <functional>

using namespace skins;
using namespace skins_test;
using vcl::TRect;

namespace {

// Counts the change notifications by their kind.
class TCountingItem : public TSkSubmenuItem {
public:
    using TSkSubmenuItem::TSkSubmenuItem;
    void Change(bool NeedResize) override {
        ++(NeedResize ? Resizes : Repaints);
        TSkSubmenuItem::Change(NeedResize);
    }
    int Resizes = 0, Repaints = 0;
};

struct SetterCase {
    const char* name;
    std::function<void(TCountingItem*)> set;
    int resizes, repaints;
};

std::ostream& operator<<(std::ostream& os, const SetterCase& c) { return os << c.name; }

class Setters : public ItemFixture, public ::testing::WithParamInterface<SetterCase> {};

TEST_P(Setters, ChangeOnceWithTheRightResizeAndNotAtAllForTheSameValue) {
    const SetterCase& c = GetParam();
    auto* item = new TCountingItem(owner.get());
    c.set(item);
    EXPECT_EQ(item->Resizes, c.resizes);
    EXPECT_EQ(item->Repaints, c.repaints);
    c.set(item);   // the same value again
    EXPECT_EQ(item->Resizes, c.resizes);
    EXPECT_EQ(item->Repaints, c.repaints);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Setters,
    ::testing::Values(SetterCase{"Alignment", [](TCountingItem* i) { i->SetAlignment(vcl::taRightJustify); }, 0, 1},
                      SetterCase{"CaptionGlow", [](TCountingItem* i) { i->SetCaptionGlow(gldAll); }, 0, 1},
                      SetterCase{"CaptionGlowColor", [](TCountingItem* i) { i->SetCaptionGlowColor(vcl::clRed); }, 0, 1},
                      SetterCase{"Wrapping", [](TCountingItem* i) { i->SetWrapping(twNone); }, 0, 1},
                      SetterCase{"CustomWidth", [](TCountingItem* i) { i->SetCustomWidth(40); }, 1, 0},
                      SetterCase{"CustomHeight", [](TCountingItem* i) { i->SetCustomHeight(-9); }, 0, 0},
                      SetterCase{"Margins", [](TCountingItem* i) { i->SetMargins(3); }, 1, 0},
                      SetterCase{"MinHeight", [](TCountingItem* i) { i->SetMinHeight(3); }, 1, 0},
                      SetterCase{"MinWidth", [](TCountingItem* i) { i->SetMinWidth(3); }, 1, 0},
                      SetterCase{"Stretch", [](TCountingItem* i) { i->SetStretch(false); }, 1, 0},
                      SetterCase{"Anchored", [](TCountingItem* i) { i->SetAnchored(true); }, 0, 0},
                      SetterCase{"DropdownCombo", [](TCountingItem* i) { i->SetDropdownCombo(true); }, 1, 0},
                      SetterCase{"FontSize", [](TCountingItem* i) { i->FontSettings()->SetSize(150); }, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ItemFixture, ItemsStartAsTheirKindsAsk) {
    auto* item = Add<TSkItem>(u"Item");
    EXPECT_EQ(item->Alignment(), vcl::taCenter);
    EXPECT_EQ(item->CaptionGlowColor(), vcl::clYellow);
    EXPECT_EQ(item->CustomWidth(), -1);
    EXPECT_EQ(item->Wrapping(), twWrap);
    EXPECT_TRUE(item->Stretch());
    auto* sub = Add<TSkSubmenuItem>(u"Sub");
    EXPECT_TRUE(sub->ItemStyle().Contains(bars::tbisSubmenu));
    EXPECT_TRUE(sub->ItemStyle().Contains(bars::tbisSubitemsEditable));
    auto* spacer = Add<TSkRightAlignSpacerItem>(u"");
    EXPECT_FALSE(spacer->ItemStyle().Contains(bars::tbisSelectable));
    EXPECT_TRUE(spacer->ItemStyle().Contains(bars::tbisClicksTransparent));
    EXPECT_EQ(spacer->Alignment(), vcl::taLeftJustify);
    EXPECT_FALSE(spacer->Stretch());
    EXPECT_EQ(spacer->DisplayMode(), bars::nbdmImageAndText);
    auto* system = new TSkSystemMenuItem(owner.get());
    EXPECT_EQ(system->Caption(), QStringLiteral("&-"));
    EXPECT_TRUE(system->ItemStyle().Contains(bars::tbisDontSelectFirst));
    // ToolBoxPopup is stored without comparison and carries tboToolbarStyle.
    sub->SetToolBoxPopup(true);
    EXPECT_TRUE(sub->Options().Contains(bars::tboToolbarStyle));
    sub->SetToolBoxPopup(false);
    EXPECT_FALSE(sub->Options().Contains(bars::tboToolbarStyle));
    TSkItem* inside = Add(u"Inside", sub);
    inside->SetToolBoxPopup(true);
    TTestView popup(sub, false);
    // A tool-box item in a popup whose parent is not in toolbar style is drawn as a menu item.
    EXPECT_FALSE(static_cast<TSkItemViewer*>(popup.Find(inside))->IsToolbarStyle());
    EXPECT_TRUE(popup.Find(inside)->IsToolbarStyle());
    sub->SetToolBoxPopup(true);
    EXPECT_TRUE(static_cast<TSkItemViewer*>(popup.Find(inside))->IsOnToolBox());
}

TEST_F(ItemFixture, FontSettingsAreAssignedNotReplaced) {
    TSkItem* item = Add(u"Item");
    TSkFontSettings* own = item->FontSettings();
    TSkFontSettings other;
    other.SetColor(vcl::clRed);
    other.SetSize(150);
    item->SetFontSettings(&other);
    EXPECT_EQ(item->FontSettings(), own);
    EXPECT_EQ(own->Color(), vcl::clRed);
    // A colour of its own wins over every state colour.
    TTestView* popup = View(false);
    for (auto state : {sknsNormal, sknsHotTrack, sknsDisabled})
        EXPECT_EQ(Viewer(popup, item)->GetTextColor(state), vcl::clRed);
}

// ---- the linked control and actions ----

TEST_F(ItemFixture, LinkedControlIsToggledFollowedAndForgotten) {
    auto* form = harness.Show<vcl::TForm>();
    auto* panel = new vcl::TPanel(form);
    panel->SetParent(form);
    TSkItem* item = Add(u"Panel");
    item->SetControl(panel);
    EXPECT_TRUE(item->Checked());   // follows the control at once
    item->Click();
    EXPECT_FALSE(panel->Visible());
    item->InitiateAction();
    EXPECT_FALSE(item->Checked());
    delete panel;
    EXPECT_EQ(item->Control(), nullptr);
    item->Click();   // nothing to toggle
}

TEST_F(ItemFixture, LabelAcceleratorFocusesItsControlOnlyWhenItCanTakeTheFocus) {
    auto* form = harness.Show<vcl::TForm>();
    auto* edit = new vcl::TEdit(form);
    edit->SetParent(form);
    auto* label = Add<TSkCustomLabelItem>(u"&Name:");
    label->SetControl(edit);
    EXPECT_FALSE(label->Checked());   // labels do not follow their control
    EXPECT_FALSE(label->DialogChar('X'));
    EXPECT_TRUE(label->DialogChar('N'));
    EXPECT_TRUE(edit->Focused());
    // Focused already: CanFocusControl refuses, and the label does not claim the key.
    EXPECT_FALSE(label->DialogChar('N'));
    edit->SetEnabled(false);
    form->ActiveControl();
    EXPECT_FALSE(label->DialogChar('N') && !edit->Focused());
}

TEST_F(ItemFixture, ActionCaptionAndHintFillOnlyEmptyTextsWhenDefaultsAreChecked) {
    vcl::TAction action(nullptr);
    action.SetCaption(QStringLiteral("&Convert"));
    action.SetHint(QStringLiteral("Convert the files"));
    TSkItem* own = Add(u"Mine");
    own->SetAction(&action);
    EXPECT_EQ(own->Caption(), QStringLiteral("&Convert"));   // not checking defaults: the action's
    TSkItem* empty = Add(u"");
    empty->SetAction(&action);
    EXPECT_EQ(empty->Hint(), QStringLiteral("Convert the files"));
    action.SetCaption(QStringLiteral("&Stop"));
    EXPECT_EQ(own->Caption(), QStringLiteral("&Stop"));
    own->SetAction(nullptr);
    empty->SetAction(nullptr);
}

// ---- the item cache ----

TEST_F(ItemFixture, ItemCacheFindsItemsAndCopiesAllButTheName) {
    TSkItemCacheCollection cache;
    TSkItem* a = Add(u"A");
    a->SetName(QStringLiteral("itemA"));
    EXPECT_EQ(cache.Add(a), 0);
    EXPECT_EQ(cache.Add(nullptr), 1);
    EXPECT_EQ(cache.IndexOf(a), 0);
    EXPECT_EQ(cache.IndexOf(nullptr), -1);
    EXPECT_EQ(cache.IndexOf(Add(u"B")), -1);
    EXPECT_EQ(cache.Items(0)->Name(), QStringLiteral("itemA"));
    cache.Items(1)->SetName(QStringLiteral("stored"));
    EXPECT_EQ(cache.Items(1)->Name(), QStringLiteral("stored"));
    cache.Items(0)->SetWidth(120);
    cache.Items(0)->SetParentHeight(30);
    cache.Items(1)->Assign(cache.Items(0));
    EXPECT_EQ(cache.Items(1)->Width(), 120);
    EXPECT_EQ(cache.Items(1)->ParentHeight(), 30);
    EXPECT_EQ(cache.Items(1)->Item(), a);
    cache.Items(1)->SetItem(nullptr);
    EXPECT_EQ(cache.Items(1)->Name(), QStringLiteral("stored"));
}

// ---- menus ----

TEST_F(ItemFixture, ItemsFromAMenuKeepKindsStatesTagsAndAtMost260Characters) {
    HMENU menu = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 101, u"&Open\tCtrl+O");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | MF_GRAYED, 102, u"Grayed");
    AppendMenuW(menu, MF_STRING | MF_CHECKED, 103, u"Checked");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"Sub");
    const std::u16string longText(300, u'x');
    AppendMenuW(menu, MF_STRING, 104, longText.c_str());
    SetMenuDefaultItem(menu, 103, FALSE);

    EXPECT_FALSE(FillItemsFromMenu(menu, nullptr));
    EXPECT_FALSE(FillItemsFromMenu(reinterpret_cast<HMENU>(uintptr_t(0x1234)), root));
    ASSERT_TRUE(FillItemsFromMenu(menu, root));
    ASSERT_EQ(root->Count(), 6);
    EXPECT_EQ(root->GetItem(0)->Caption(), QStringLiteral("&Open\tCtrl+O"));
    EXPECT_EQ(root->GetItem(0)->Tag(), 101);
    EXPECT_NE(dynamic_cast<TSkSeparatorItem*>(root->GetItem(1)), nullptr);
    EXPECT_FALSE(root->GetItem(2)->Enabled());
    EXPECT_TRUE(root->GetItem(3)->Checked());
    EXPECT_TRUE(root->GetItem(3)->Options().Contains(bars::tboDefault));
    EXPECT_FALSE(root->GetItem(2)->Options().Contains(bars::tboDefault));
    EXPECT_NE(dynamic_cast<TSkSubmenuItem*>(root->GetItem(4)), nullptr);
    EXPECT_EQ(root->GetItem(4)->Count(), 0);   // submenus are not filled
    EXPECT_EQ(root->GetItem(5)->Caption(), QString(260, u'x'));
    EXPECT_EQ(GetMenuItemText(menu, 5).size(), 260);
    DestroyMenu(menu);
}

// Writes down the system commands it is sent instead of carrying them out.
class TCommandForm : public vcl::TForm {
public:
    using vcl::TForm::TForm;
    std::vector<WPARAM> Commands;

protected:
    void Dispatch(vcl::TMessage& Message) override {
        if (Message.Msg == WM_SYSCOMMAND) {
            Commands.push_back(Message.WParam);
            return;
        }
        vcl::TForm::Dispatch(Message);
    }
};

struct SystemMenu : ItemFixture {
    TCommandForm* form = nullptr;
    void SetUp() override {
        ItemFixture::SetUp();
        form = harness.Show<TCommandForm>();
    }
    TBarCustomItem* ByTag(TBarCustomItem* Parent, intptr_t Tag) {
        for (int i = 0; i < Parent->Count(); ++i)
            if (Parent->GetItem(i)->Tag() == Tag) return Parent->GetItem(i);
        return nullptr;
    }
};

TEST_F(SystemMenu, MaximizedFormDisablesSizeMoveMaximizeAndMakesCloseBold) {
    form->SetWindowState(vcl::wsMaximized);
    TSkSubmenuItem* parent = Add<TSkSubmenuItem>(u"System");
    ASSERT_TRUE(FillSystemMenuPopup(form, parent, true, true, true, true, nullptr));
    struct Row { intptr_t tag; bool enabled; int image; };
    for (const Row& row : {Row{SC_SIZE, false, -1}, Row{SC_MOVE, false, -1}, Row{SC_MINIMIZE, true, 2},
                           Row{SC_MAXIMIZE, false, 1}, Row{SC_RESTORE, true, 3}, Row{SC_CLOSE, true, 0}}) {
        TBarCustomItem* item = ByTag(parent, row.tag);
        ASSERT_NE(item, nullptr) << row.tag;
        EXPECT_EQ(item->Enabled(), row.enabled) << row.tag;
        EXPECT_EQ(item->ImageIndex(), row.image) << row.tag;
        EXPECT_EQ(item->Images() == TitleButtonImages(), row.image >= 0) << row.tag;
    }
    EXPECT_TRUE(ByTag(parent, SC_CLOSE)->Options().Contains(bars::tboDefault));
    // Hidden entries stay in the list.
    TSkSubmenuItem* other = Add<TSkSubmenuItem>(u"Other");
    ASSERT_TRUE(FillSystemMenuPopup(form, other, false, false, false, false, nullptr));
    EXPECT_FALSE(ByTag(other, SC_SIZE)->Visible());
    EXPECT_FALSE(ByTag(other, SC_RESTORE)->Visible());
    EXPECT_FALSE(ByTag(other, SC_CLOSE)->Visible());
    EXPECT_TRUE(ByTag(other, SC_MOVE)->Visible());
}

TEST_F(SystemMenu, CloseGlyphTakesTheMenuTextOrUnderTheSkinTheStateColour) {
    TSkSubmenuItem* parent = Add<TSkSubmenuItem>(u"System");
    ASSERT_TRUE(FillSystemMenuPopup(form, parent, true, true, true, true, nullptr));
    TTestView popup(parent, false);
    auto* v = static_cast<TSkItemViewer*>(popup.Find(ByTag(parent, SC_CLOSE)));
    TSkMenuItemInfo info;
    auto glyphColour = [&] {
        Clear();
        FillMenuItemInfo(Canvas(), v, info);
        v->DrawItemImage(Canvas(), TRect(0, 0, 16, 16), info, 0);
        // The close glyph crosses the middle of the square.
        return At(8, 8);
    };
    EXPECT_EQ(glyphColour(), vcl::ColorToRGB(vcl::clMenuText));
    Use(sknSkin);
    GetCurrentSkin()->Options(skncMenuItem, sknsNormal)->SetTextColor(0x00206040);
    const TColor stateColour = v->GetTextColor(sknsNormal);
    ASSERT_NE(vcl::ColorToRGB(stateColour), vcl::ColorToRGB(vcl::clMenuText));
    EXPECT_EQ(glyphColour(), vcl::ColorToRGB(stateColour));
}

TEST_F(SystemMenu, SubitemClickSendsItsCommandAndMaximizeSetsTheState) {
    auto* system = new TSkSystemMenuItem(owner.get());
    root->Add(system);
    root->SetParentComponentOfRoot(form);
    ASSERT_EQ(system->TargetForm(), form);
    system->Click();
    ASSERT_GT(system->Count(), 0);
    ByTag(system, SC_MOVE)->Click();
    EXPECT_EQ(form->Commands, std::vector<WPARAM>{SC_MOVE});
    ByTag(system, SC_MAXIMIZE)->Click();
    EXPECT_EQ(form->Commands.size(), 1u);
    EXPECT_EQ(form->WindowState(), vcl::wsMaximized);
    // A second click makes the entries anew instead of adding to them.
    const int count = system->Count();
    system->Click();
    EXPECT_EQ(system->Count(), count);
}

TEST_F(SystemMenu, IconViewerFreesItsScaledCopyOnEveryPaint) {
    auto* system = new TSkSystemMenuItem(owner.get());
    root->Add(system);
    TTestView* bar = View(true, true);
    auto* v = Viewer(bar, system);
    int w, h;
    v->MeasureSize(Canvas(), w, h);
    EXPECT_EQ(w, GetSystemMetrics(SM_CXSMICON) + 2);
    v->Paint(Canvas(), TRect(0, 0, w, h), false, false, false);
    const int icons = TwIconCount();
    for (int i = 0; i < 1000; ++i) v->Paint(Canvas(), TRect(0, 0, w, h), false, false, false);
    EXPECT_EQ(TwIconCount(), icons);
    EXPECT_NE(At(w / 2, h / 2), vcl::ColorToRGB(vcl::clWhite));   // something was drawn
}

// ---- drag objects ----

class TDragSource : public vcl::TPanel {
public:
    using vcl::TPanel::TPanel;
    int Cancelled = 0;

protected:
    void DragCanceled() override { ++Cancelled; }
};

TEST_F(ItemFixture, DragObjectShowsTheCustomizingCursorsAndTellsItsSourceOfARefusal) {
    auto* source = new TDragSource(harness.Show<vcl::TForm>());
    TSkItem* item = Add(u"Dragged");
    auto* drag = new TSkItemDragObject(source, item);
    EXPECT_EQ(drag->GetDragCursor(true, 0, 0), crCustomizeMove);
    EXPECT_EQ(drag->GetDragCursor(false, 0, 0), vcl::crNo);
    EXPECT_EQ(drag->SourceItem(), item);
    drag->Finished(nullptr, 3, 4, false);
    EXPECT_EQ(source->Cancelled, 1);
    drag->Finished(source, 3, 4, true);
    EXPECT_EQ(source->Cancelled, 1);
    delete drag;
}

} // namespace
