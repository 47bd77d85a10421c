// tests/toolbars/BarItemTest.cpp: the item tree: tree errors, notifications and their relay, option
// inheritance, the resize rule, radio groups, clicks, deferred clicks, shortcuts and action links.
#include "toolbars/BarItem.h"

#include "tests/support/windows/HeadlessApp.h"
#include "vcl/Menus.h"

#include <gtest/gtest.h>

using namespace bars;

namespace {

// Records the notifications a listener receives.
struct Recorder {
    struct Entry {
        TBarCustomItem* Sender;
        bool Relayed;
        TBarItemChangedAction Action;
        int Index;
        TBarCustomItem* Item;
    };
    std::vector<Entry> log;
    void Changed(TBarCustomItem* Sender, bool Relayed, TBarItemChangedAction Action, int Index, TBarCustomItem* Item) {
        log.push_back({Sender, Relayed, Action, Index, Item});
    }
    TBarItemChangedProc Proc() { return TBarItemChangedProc(this, &Recorder::Changed); }
    std::vector<TBarItemChangedAction> Actions() const {
        std::vector<TBarItemChangedAction> out;
        for (const auto& e : log) out.push_back(e.Action);
        return out;
    }
};

// Components are owned by one owner that the test frees.
struct Tree {
    std::unique_ptr<rtl::TComponent> owner = std::make_unique<rtl::TComponent>(nullptr);
    template <class T = TBarCustomItem> T* Make(const char16_t* caption = u"", TBarCustomItem* parent = nullptr) {
        auto* item = new T(owner.get());
        item->SetCaption(String::fromUtf16(caption));
        if (parent) parent->Add(item);
        return item;
    }
};

std::vector<TBarCustomItem*> Children(TBarCustomItem* item) {
    std::vector<TBarCustomItem*> out;
    for (int i = 0; i < item->Count(); ++i) out.push_back(item->GetItem(i));
    return out;
}

// ---- the tree ----

TEST(ItemTree, ErrorsLeaveBothTreesUnchanged) {
    Tree t;
    auto* a = t.Make<TBarRootItem>();
    auto* b = t.Make<TBarRootItem>();
    auto* x = t.Make(u"x", a);
    auto* y = t.Make(u"y", b);
    EXPECT_THROW(
        {
            try {
                b->Insert(0, x);
            } catch (const EBarItemError& e) {
                EXPECT_EQ(e.Message(), u"Toolbar item already inserted"_qs);
                throw;
            }
        },
        EBarItemError);
    EXPECT_EQ(Children(a), std::vector<TBarCustomItem*>{x});
    EXPECT_EQ(Children(b), std::vector<TBarCustomItem*>{y});
    auto* z = t.Make(u"z");
    EXPECT_THROW(b->Insert(2, z), EBarItemError);
    EXPECT_EQ(z->Parent(), nullptr);
    b->Insert(1, z);  // at the count: appended
    EXPECT_EQ(Children(b), (std::vector<TBarCustomItem*>{y, z}));
    EXPECT_THROW(b->GetItem(2), EBarItemError);
    EXPECT_THROW(b->GetItem(-1), EBarItemError);
    EXPECT_THROW(b->Move(0, 2), EBarItemError);
    EXPECT_EQ(a->IndexOf(y), -1);
    a->Remove(y);  // not there: nothing
    EXPECT_EQ(y->Parent(), b);
}

TEST(ItemTree, MoveNotifiesInOneBracketAndNotAtAllToTheSameIndex) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* a = t.Make(u"a", root);
    auto* b = t.Make(u"b", root);
    Recorder r;
    root->RegisterNotification(r.Proc());
    root->Move(1, 1);
    EXPECT_TRUE(r.log.empty());
    root->Move(1, 0);
    EXPECT_EQ(Children(root), (std::vector<TBarCustomItem*>{b, a}));
    EXPECT_EQ(r.Actions(), (std::vector<TBarItemChangedAction>{tbicSubitemsBeginUpdate, tbicDeleting, tbicSubitemsBeginUpdate,
                                                               tbicInserted, tbicSubitemsEndUpdate, tbicSubitemsEndUpdate}));
    root->UnregisterNotification(r.Proc());
}

TEST(ItemTree, DestroyingAnItemFreesItsSubitemsAndLeavesItsParent) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* menu = t.Make(u"menu", root);
    t.Make(u"one", menu);
    t.Make(u"two", menu);
    const int before = t.owner->ComponentCount();
    Recorder r;
    root->RegisterNotification(r.Proc());
    delete menu;
    EXPECT_EQ(root->Count(), 0);
    EXPECT_EQ(t.owner->ComponentCount(), before - 3);
    ASSERT_EQ(r.log.size(), 1u);
    EXPECT_EQ(r.log[0].Action, tbicDeleting);
    root->UnregisterNotification(r.Proc());
}

// ---- option inheritance ----

struct OptionsCase {
    TBarItemOptions parent, own, mask;
    bool inherit;
    TBarItemOptions expected;
};

class OptionInheritance : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(OptionInheritance, CombinesParentMaskAndOwnOptions) {
    const auto& c = GetParam();
    Tree t;
    auto* parent = t.Make<TBarRootItem>();
    parent->SetOptions(c.parent);
    auto* child = t.Make(u"child");
    child->SetInheritOptions(c.inherit);
    child->SetMaskOptions(c.mask);
    child->SetOptions(c.own);
    parent->Add(child);
    EXPECT_EQ(child->EffectiveOptions().Bits(), c.expected.Bits());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OptionInheritance,
    ::testing::Values(
        OptionsCase{{tboDefault, tboShowHint}, {}, {}, true, {tboShowHint}},                // tboDefault is not passed on
        OptionsCase{{tboShowHint}, {}, {tboShowHint}, true, {}},                            // masked
        OptionsCase{{tboShowHint}, {tboShowHint}, {tboShowHint}, true, {tboShowHint}},      // own options win
        OptionsCase{{tboShowHint}, {}, {}, false, {}},                                      // not inheriting
        OptionsCase{{}, {tboToolbarSize}, {}, true, {}},                                    // sanitised
        OptionsCase{{tboToolbarStyle}, {tboToolbarSize}, {}, true, {tboToolbarStyle}},      // own size dropped at once
        OptionsCase{{tboToolbarStyle, tboToolbarSize}, {}, {}, true, {tboToolbarStyle, tboToolbarSize}},
        OptionsCase{{tboToolbarStyle, tboToolbarSize}, {}, {tboToolbarStyle}, true, {}}));  // size needs style

TEST(OptionInheritance, SetOptionsDropsToolbarSizeWithoutToolbarStyle) {
    Tree t;
    auto* item = t.Make();
    item->SetOptions({tboToolbarSize});
    EXPECT_TRUE(item->Options().Empty());
    item->SetOptions({tboToolbarStyle, tboToolbarSize});
    EXPECT_EQ(item->Options(), (TBarItemOptions{tboToolbarStyle, tboToolbarSize}));
}

TEST(OptionInheritance, ReachesGrandchildrenThatInherit) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* menu = t.Make(u"menu", root);
    auto* leaf = t.Make(u"leaf", menu);
    root->SetOptions({tboShowHint});
    EXPECT_TRUE(leaf->EffectiveOptions().Contains(tboShowHint));
    menu->SetInheritOptions(false);
    EXPECT_FALSE(leaf->EffectiveOptions().Contains(tboShowHint));
}

// ---- the resize rule ----

enum class Expect { Nothing, Repaint, Resize };

struct ChangeCase {
    const char* name;
    std::function<void(TBarCustomItem*)> prepare;
    std::function<void(TBarCustomItem*)> change;
    Expect expected;
};

class ResizeRule : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(ResizeRule, ParentListenersHearRepaintOrResize) {
    const auto& c = GetParam();
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* item = t.Make(u"item", root);
    if (c.prepare) c.prepare(item);
    Recorder r;
    root->RegisterNotification(r.Proc());
    c.change(item);
    Expect got = Expect::Nothing;
    ASSERT_LE(r.log.size(), 1u) << c.name;
    if (!r.log.empty()) {
        EXPECT_EQ(r.log[0].Item, item);
        EXPECT_EQ(r.log[0].Index, -1);
        got = r.log[0].Action == tbicInvalidateAndResize ? Expect::Resize
              : r.log[0].Action == tbicInvalidate       ? Expect::Repaint
                                                        : Expect::Nothing;
    }
    EXPECT_EQ(got, c.expected) << c.name;
    root->UnregisterNotification(r.Proc());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResizeRule,
    ::testing::Values(
        ChangeCase{"image -1 to 0", nullptr, [](auto* i) { i->SetImageIndex(0); }, Expect::Resize},
        ChangeCase{"image 0 to -1", [](auto* i) { i->SetImageIndex(0); }, [](auto* i) { i->SetImageIndex(-1); }, Expect::Resize},
        ChangeCase{"image 3 to 5", [](auto* i) { i->SetImageIndex(3); }, [](auto* i) { i->SetImageIndex(5); }, Expect::Repaint},
        ChangeCase{"same image", [](auto* i) { i->SetImageIndex(3); }, [](auto* i) { i->SetImageIndex(3); }, Expect::Nothing},
        ChangeCase{"caption", nullptr, [](auto* i) { i->SetCaption(u"other"_qs); }, Expect::Resize},
        ChangeCase{"same caption", nullptr, [](auto* i) { i->SetCaption(u"item"_qs); }, Expect::Nothing},
        ChangeCase{"visible", nullptr, [](auto* i) { i->SetVisible(false); }, Expect::Resize},
        ChangeCase{"display mode", nullptr, [](auto* i) { i->SetDisplayMode(nbdmTextOnly); }, Expect::Resize},
        ChangeCase{"checked", nullptr, [](auto* i) { i->SetChecked(true); }, Expect::Repaint},
        ChangeCase{"enabled", nullptr, [](auto* i) { i->SetEnabled(false); }, Expect::Repaint},
        ChangeCase{"radio", nullptr, [](auto* i) { i->SetRadioItem(true); }, Expect::Repaint},
        ChangeCase{"hint", nullptr, [](auto* i) { i->SetHint(u"tip"_qs); }, Expect::Nothing},
        ChangeCase{"shortcut", nullptr, [](auto* i) { i->SetShortCut(vcl::scCtrl | 'O'); }, Expect::Nothing},
        ChangeCase{"show hint option", nullptr, [](auto* i) { i->SetOptions({tboShowHint}); }, Expect::Nothing},
        ChangeCase{"same width option", nullptr, [](auto* i) { i->SetOptions({tboSameWidth}); }, Expect::Resize},
        ChangeCase{"default option", nullptr, [](auto* i) { i->SetOptions({tboDefault}); }, Expect::Resize}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (auto& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

TEST(ResizeRule, BlankSeparatorRepaints) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* sep = t.Make<TBarSeparatorItem>(u"", root);
    Recorder r;
    root->RegisterNotification(r.Proc());
    sep->SetBlank(true);
    ASSERT_EQ(r.log.size(), 1u);
    EXPECT_EQ(r.log[0].Action, tbicInvalidate);
    root->UnregisterNotification(r.Proc());
}

TEST(ResizeRule, ImageListsOfAnotherSizeResize) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* item = t.Make(u"item", root);
    auto* small = new vcl::TImageList(t.owner.get(), 16, 16);
    auto* same = new vcl::TImageList(t.owner.get(), 16, 16);
    auto* large = new vcl::TImageList(t.owner.get(), 24, 24);
    Recorder r;
    root->RegisterNotification(r.Proc());
    item->SetImages(small);
    item->SetImages(same);
    item->SetImages(large);
    item->SetImages(nullptr);
    EXPECT_EQ(r.Actions(), (std::vector<TBarItemChangedAction>{tbicInvalidateAndResize, tbicInvalidate,
                                                               tbicInvalidateAndResize, tbicInvalidateAndResize}));
    // A list that goes away takes itself out of the item.
    item->SetImages(large);
    delete large;
    EXPECT_EQ(item->Images(), nullptr);
    root->UnregisterNotification(r.Proc());
}

// ---- relays and listeners ----

TEST(Notifications, ReachTheViewOfAGroupsParentAsRelayed) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* group = t.Make<TBarGroupItem>(u"", root);
    auto* inner = t.Make<TBarGroupItem>(u"", group);
    auto* leaf = t.Make(u"leaf", inner);
    Recorder atRoot, atGroup;
    root->RegisterNotification(atRoot.Proc());
    group->RegisterNotification(atGroup.Proc());
    leaf->SetChecked(true);
    ASSERT_EQ(atGroup.log.size(), 1u);
    EXPECT_EQ(atGroup.log[0].Sender, inner);
    EXPECT_TRUE(atGroup.log[0].Relayed);
    // Two levels up, the sender stays the first group the change came through.
    ASSERT_EQ(atRoot.log.size(), 1u);
    EXPECT_EQ(atRoot.log[0].Sender, inner);
    EXPECT_TRUE(atRoot.log[0].Relayed);
    EXPECT_EQ(atRoot.log[0].Item, leaf);
    root->UnregisterNotification(atRoot.Proc());
    group->UnregisterNotification(atGroup.Proc());
}

TEST(Notifications, ReachGroupsLinkedToTheChangedItem) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* group = t.Make<TBarGroupItem>(u"", root);
    auto* source = t.Make<TBarRootItem>();
    group->SetLinkSubitems(source);
    Recorder r;
    root->RegisterNotification(r.Proc());
    auto* added = t.Make(u"added", source);
    ASSERT_FALSE(r.log.empty());
    bool sawInsert = false;
    for (const auto& e : r.log)
        if (e.Action == tbicInserted) {
            sawInsert = true;
            EXPECT_EQ(e.Sender, group);
            EXPECT_TRUE(e.Relayed);
            EXPECT_EQ(e.Item, added);
        }
    EXPECT_TRUE(sawInsert);
    root->UnregisterNotification(r.Proc());
}

TEST(Notifications, AListenerThatUnregistersItselfDoesNotMakeTheNextMissIt) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* item = t.Make(u"item", root);
    struct Quitter {
        TBarCustomItem* root;
        int calls = 0;
        void Changed(TBarCustomItem*, bool, TBarItemChangedAction, int, TBarCustomItem*) {
            ++calls;
            root->UnregisterNotification(TBarItemChangedProc(this, &Quitter::Changed));
        }
    } quitter{root};
    Recorder after;
    root->RegisterNotification(TBarItemChangedProc(&quitter, &Quitter::Changed));
    root->RegisterNotification(after.Proc());
    item->SetChecked(true);
    item->SetChecked(false);
    EXPECT_EQ(quitter.calls, 1);
    EXPECT_EQ(after.log.size(), 2u);
    root->UnregisterNotification(after.Proc());
}

TEST(Notifications, ARegisteredTwiceListenerIsCountedNotRepeated) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* item = t.Make(u"item", root);
    Recorder r;
    root->RegisterNotification(r.Proc());
    root->RegisterNotification(r.Proc());
    item->SetChecked(true);
    EXPECT_EQ(r.log.size(), 1u);
    root->UnregisterNotification(r.Proc());
    item->SetChecked(false);
    EXPECT_EQ(r.log.size(), 2u);  // still registered once
    root->UnregisterNotification(r.Proc());
    item->SetChecked(true);
    EXPECT_EQ(r.log.size(), 2u);
}

TEST(Notifications, RenamingTellsTheParent) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* item = t.Make(u"item", root);
    Recorder r;
    root->RegisterNotification(r.Proc());
    item->SetName(u"actOpen"_qs);
    item->SetName(u"actOpen"_qs);
    EXPECT_EQ(r.Actions(), std::vector<TBarItemChangedAction>{tbicNameChanged});
    root->UnregisterNotification(r.Proc());
}

TEST(LinkSubitems, ItselfCountsAsNoneAndAGoneLinkIsForgotten) {
    Tree t;
    auto* item = t.Make();
    auto* source = t.Make<TBarRootItem>();
    Recorder r;
    item->RegisterNotification(r.Proc());
    item->SetLinkSubitems(item);
    EXPECT_EQ(item->LinkSubitems(), nullptr);
    EXPECT_TRUE(r.log.empty());
    item->SetLinkSubitems(source);
    EXPECT_EQ(LinkedItem(item), source);
    delete source;
    EXPECT_EQ(item->LinkSubitems(), nullptr);
    EXPECT_EQ(r.Actions(), (std::vector<TBarItemChangedAction>{tbicSubitemsChanged, tbicSubitemsChanged}));
    item->UnregisterNotification(r.Proc());
}

// ---- radio groups and clicks ----

TEST(RadioGroups, CheckingOneUnchecksItsDirectSiblingsOfTheGroup) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* a = t.Make(u"a", root);
    auto* b = t.Make(u"b", root);
    auto* c = t.Make(u"c", root);
    auto* plain = t.Make(u"plain", root);
    auto* other = t.Make<TBarRootItem>();
    auto* elsewhere = t.Make(u"elsewhere", other);
    for (auto* i : {a, b, c, elsewhere}) i->SetGroupIndex(1);
    b->SetChecked(true);
    c->SetChecked(true);
    plain->SetChecked(true);
    elsewhere->SetChecked(true);
    a->SetChecked(true);
    EXPECT_TRUE(a->Checked());
    EXPECT_FALSE(b->Checked());
    EXPECT_FALSE(c->Checked());
    EXPECT_TRUE(plain->Checked());
    EXPECT_TRUE(elsewhere->Checked());
    // Joining a group while checked unchecks the new group's members.
    plain->SetGroupIndex(1);
    EXPECT_FALSE(a->Checked());
    // AutoCheck toggles: clicking the checked member unchecks it.
    plain->SetAutoCheck(true);
    plain->Click();
    EXPECT_FALSE(plain->Checked());
}

TEST(Click, DisabledItemsIgnoreItEntirely) {
    Tree t;
    auto* item = t.Make(u"item");
    int clicks = 0;
    item->OnClick = [&](rtl::TObject*) { ++clicks; };
    item->SetAutoCheck(true);
    item->SetEnabled(false);
    item->Click();
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(item->Checked());
}

TEST(Click, AnOwnOnClickBesideAnActionRunsAloneAndTheActionOtherwise) {
    Tree t;
    auto* action = new vcl::TAction(t.owner.get());
    int executed = 0, clicked = 0;
    action->SetOnExecute([&](rtl::TObject*) { ++executed; });
    action->SetCaption(u"&Open..."_qs);
    auto* item = t.Make(u"");
    item->SetAction(action);
    EXPECT_EQ(item->Caption(), u"&Open..."_qs);
    item->Click();
    EXPECT_EQ(executed, 1);
    item->OnClick = [&](rtl::TObject*) { ++clicked; };
    item->Click();
    EXPECT_EQ(executed, 1);
    EXPECT_EQ(clicked, 1);
}

TEST(ActionLink, FollowsTheActionWhileTheItemMatchesIt) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* action = new vcl::TAction(t.owner.get());
    action->SetCaption(u"Convert"_qs);
    action->SetShortCut(vcl::scCtrl | 'E');
    auto* item = t.Make(u"", root);
    item->SetAction(action);
    EXPECT_FALSE(item->IsCaptionStored());
    EXPECT_EQ(item->ShortCut(), vcl::scCtrl | 'E');
    Recorder r;
    root->RegisterNotification(r.Proc());
    action->SetEnabled(false);
    EXPECT_FALSE(item->Enabled());
    action->SetCaption(u"Convert now"_qs);
    EXPECT_EQ(item->Caption(), u"Convert now"_qs);
    EXPECT_FALSE(r.log.empty());  // through the setters: views hear of it
    delete action;
    EXPECT_EQ(item->Action(), nullptr);
    EXPECT_TRUE(item->IsCaptionStored());
    root->UnregisterNotification(r.Proc());
}

TEST(ActionLink, InitiateActionRunsTheActionsUpdate) {
    Tree t;
    auto* action = new vcl::TAction(t.owner.get());
    action->SetOnExecute([](rtl::TObject*) {});
    action->OnUpdate = [action](rtl::TObject*) { action->SetVisible(false); };
    auto* item = t.Make();
    item->SetAction(action);
    item->InitiateAction();
    EXPECT_FALSE(item->Visible());
}

// ---- deferred clicks ----

int PumpAll() {
    MSG msg;
    int n = 0;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
        ++n;
    }
    return n;
}

TEST(DeferredClick, HappensWhenTheMessageIsDispatched) {
    testing_support::HeadlessApp app;
    Tree t;
    auto* item = t.Make(u"item");
    int clicks = 0;
    item->OnClick = [&](rtl::TObject*) { ++clicks; };
    item->PostClick();
    EXPECT_EQ(clicks, 0);
    PumpAll();
    EXPECT_EQ(clicks, 1);
}

TEST(DeferredClick, AFreedItemIsNotClickedNorAnotherInItsPlace) {
    testing_support::HeadlessApp app;
    Tree t;
    auto* keeper = t.Make(u"keeper");  // keeps the queue alive
    auto* doomed = t.Make(u"doomed");
    int doomedClicks = 0, laterClicks = 0;
    doomed->OnClick = [&](rtl::TObject*) { ++doomedClicks; };
    doomed->PostClick();
    delete doomed;
    // A new item posted now must not take the freed item's slot and its message.
    auto* later = t.Make(u"later");
    later->OnClick = [&](rtl::TObject*) { ++laterClicks; };
    later->PostClick();
    // The freed item's message comes first and clicks nobody; the later item's own message clicks it.
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_BAR_DEFERREDCLICK, WM_BAR_DEFERREDCLICK, PM_REMOVE));
    DispatchMessageW(&msg);
    EXPECT_EQ(laterClicks, 0);
    PumpAll();
    EXPECT_EQ(doomedClicks, 0);
    EXPECT_EQ(laterClicks, 1);
    (void)keeper;
}

TEST(DeferredClick, AnExceptionGoesToTheHandlerAndTheQueueGoesOn) {
    testing_support::HeadlessApp app;
    Tree t;
    auto* bad = t.Make(u"bad");
    auto* good = t.Make(u"good");
    int handled = 0, clicks = 0;
    vcl::SetExceptionHandler([&](rtl::TObject*) { ++handled; });
    bad->OnClick = [](rtl::TObject*) { throw rtl::Exception(u"boom"_qs); };
    good->OnClick = [&](rtl::TObject*) { ++clicks; };
    bad->PostClick();
    good->PostClick();
    PumpAll();
    vcl::SetExceptionHandler(nullptr);
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(clicks, 1);
}

// ---- shortcuts ----

vcl::TWMKey KeyMessage(WORD key) {
    vcl::TWMKey m;
    m.Msg = WM_KEYDOWN;
    m.WParam = key;
    return m;
}

TEST(ShortCuts, FoundDepthFirstThroughLinksWithTheTopmostParent) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* file = t.Make(u"File", root);
    auto* open = t.Make(u"Open", file);
    auto* direct = t.Make(u"Direct", root);
    open->SetShortCut(VK_F3);
    direct->SetShortCut(VK_F4);
    TBarCustomItem* top = nullptr;
    EXPECT_EQ(FindItemWithShortCut(root, VK_F3, top), open);
    EXPECT_EQ(top, file);
    EXPECT_EQ(FindItemWithShortCut(root, VK_F4, top), direct);
    EXPECT_EQ(top, nullptr);
    EXPECT_EQ(FindItemWithShortCut(root, VK_F5, top), nullptr);
    // A bar that shows another item's subitems finds their shortcuts too.
    auto* bar = t.Make<TBarRootItem>();
    bar->SetLinkSubitems(root);
    EXPECT_EQ(FindItemWithShortCut(bar, VK_F3, top), open);
}

TEST(ShortCuts, GroupsShowingTheirOwnAncestorAreSearchedOnce) {
    // Two groups that show the items of the root they sit in: the search must not walk the root
    // again through each (2^25 visits under the link limit), and a key on the root's own item is
    // found there, not deep down through a group.
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* first = t.Make(u"First", root);
    auto* second = t.Make(u"Second", root);
    auto* last = t.Make(u"Last", root);
    last->SetShortCut(VK_F6);
    first->SetLinkSubitems(root);
    second->SetLinkSubitems(root);
    TBarCustomItem* top = first;
    EXPECT_EQ(FindItemWithShortCut(root, VK_F6, top), last);
    EXPECT_EQ(top, nullptr);
    EXPECT_EQ(FindItemWithShortCut(root, VK_F7, top), nullptr);
    // Below a group that links elsewhere the search still goes on.
    auto* other = t.Make<TBarRootItem>();
    auto* deep = t.Make(u"Deep", other);
    deep->SetShortCut(VK_F8);
    second->SetLinkSubitems(other);
    EXPECT_EQ(FindItemWithShortCut(root, VK_F8, top), deep);
    EXPECT_EQ(top, second);
}

TEST(ShortCuts, AnItemInADisabledSubmenuIsNotHandled) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* file = t.Make(u"File", root);
    auto* open = t.Make(u"Open", file);
    open->SetShortCut(VK_F3);
    int clicks = 0;
    open->OnClick = [&](rtl::TObject*) { ++clicks; };
    file->SetEnabled(false);
    auto key = KeyMessage(VK_F3);
    EXPECT_FALSE(root->IsShortCut(key));
    EXPECT_EQ(clicks, 0);
    file->SetEnabled(true);
    EXPECT_TRUE(root->IsShortCut(key));
    EXPECT_EQ(clicks, 1);
    open->SetEnabled(false);
    EXPECT_FALSE(root->IsShortCut(key));
}

TEST(ShortCuts, ASubmenusOnPopupRunsBeforeItsItemIsClicked) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* file = t.Make(u"File", root);
    auto* open = t.Make(u"Open", file);
    open->SetShortCut(VK_F3);
    std::vector<std::string> order;
    file->OnPopup = [&](TBarCustomItem*, bool) {
        order.push_back("popup");
        open->SetEnabled(true);  // the handler brings the item up to date
    };
    open->OnClick = [&](rtl::TObject*) { order.push_back("click"); };
    open->SetEnabled(false);
    auto key = KeyMessage(VK_F3);
    EXPECT_TRUE(root->IsShortCut(key));
    EXPECT_EQ(order, (std::vector<std::string>{"popup", "click"}));
}

TEST(ShortCuts, ExceptionsFromOnPopupAndTheClickGoToTheHandler) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* file = t.Make(u"File", root);
    auto* open = t.Make(u"Open", file);
    open->SetShortCut(VK_F3);
    int handled = 0;
    vcl::SetExceptionHandler([&](rtl::TObject*) { ++handled; });
    file->OnPopup = [](TBarCustomItem*, bool) { throw rtl::Exception(u"popup"_qs); };
    open->OnClick = [](rtl::TObject*) { throw rtl::Exception(u"click"_qs); };
    auto key = KeyMessage(VK_F3);
    EXPECT_TRUE(root->IsShortCut(key));
    vcl::SetExceptionHandler(nullptr);
    EXPECT_EQ(handled, 2);
}

TEST(ShortCuts, ShortCutTextComesFromTheCaptionsTabOrTheShortCut) {
    Tree t;
    auto* item = t.Make(u"Open\tCtrl+Alt+O");
    EXPECT_EQ(item->GetShortCutText(), u"Ctrl+Alt+O"_qs);
    item->SetCaption(u"Open"_qs);
    EXPECT_EQ(item->GetShortCutText(), QString());
    item->SetShortCut(vcl::scCtrl | 'O');
    EXPECT_EQ(item->GetShortCutText(), vcl::ShortCutToText(vcl::scCtrl | 'O'));
}

// ---- streaming ----

TEST(Streaming, TheParentComponentMustHoldItems) {
    Tree t;
    auto* root = t.Make<TBarRootItem>();
    auto* item = t.Make(u"item", root);
    auto* other = t.Make<TBarRootItem>();
    item->SetParentComponent(other);
    EXPECT_EQ(item->Parent(), other);
    rtl::TComponent plain(nullptr);
    try {
        item->SetParentComponent(&plain);
        FAIL() << "no error";
    } catch (const EBarItemError& e) {
        EXPECT_EQ(e.Message(), u"Toolbar item cannot be inserted into container of type TComponent"_qs);
    }
    EXPECT_EQ(item->Parent(), nullptr);  // it has left its old parent already
    // A root item names its toolbar as the subitems' parent component.
    root->SetParentComponentOfRoot(&plain);
    auto* sub = t.Make(u"sub", root);
    EXPECT_EQ(sub->GetParentComponent(), &plain);
}

} // namespace
