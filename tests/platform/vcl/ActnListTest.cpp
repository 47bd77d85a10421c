#include "vcl/ActnList.h"
#include "vcl/ImgList.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace vcl;

namespace {

// A client's link that records what the action pushes onto it and follows only what it is told to.
class RecordingLink : public TActionLink {
public:
    using TActionLink::TActionLink;
    bool captionLinked = true;
    std::vector<QString> captions;
    std::vector<bool> enabled, checked;
    int changes = 0;

    bool IsCaptionLinked() override { return TActionLink::IsCaptionLinked() && captionLinked; }
    void SetCaption(const rtl::String& Value) override {
        if (IsCaptionLinked()) captions.push_back(Value);
    }
    void SetEnabled(bool Value) override { enabled.push_back(Value); }
    void SetChecked(bool Value) override { checked.push_back(Value); }

protected:
    void Change() override {
        ++changes;
        TActionLink::Change();
    }
};

struct Form {
    rtl::TComponent root{nullptr};
};

} // namespace

TEST(Action, ExecuteRunsOnExecuteOnlyWhileEnabled) {
    Form form;
    auto* action = new TAction(&form.root);
    int runs = 0;
    rtl::TObject* sender = nullptr;
    action->SetOnExecute([&](rtl::TObject* S) { ++runs, sender = S; });

    EXPECT_TRUE(action->Execute());
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(sender, action);

    action->SetEnabled(false);
    EXPECT_FALSE(action->Execute());
    EXPECT_EQ(runs, 1);

    // OnUpdate runs first and may enable the action for this very Execute.
    action->OnUpdate = [&](rtl::TObject*) { action->SetEnabled(true); };
    EXPECT_TRUE(action->Execute());
    EXPECT_EQ(runs, 2);
}

TEST(Action, ListHandlerComesFirstAndApplicationLast) {
    Form form;
    auto* list = new TActionList(&form.root);
    auto* action = new TAction(&form.root);
    action->SetActionList(list);
    std::vector<const char*> order;
    action->SetOnExecute([&](rtl::TObject*) { order.push_back("action"); });
    ActionDispatch().ExecuteAction = [&](TBasicAction*) { order.push_back("app"); return false; };
    ActionDispatch().ExecuteMessage = [&](TBasicAction*) { order.push_back("message"); return true; };
    list->OnExecute = [&](TBasicAction* A, bool& Handled) {
        order.push_back("list");
        Handled = A != action; // passes this action on
    };

    EXPECT_TRUE(action->Execute());
    EXPECT_EQ(order, (std::vector<const char*>{"list", "app", "action"}));

    action->SetOnExecute(nullptr);
    order.clear();
    EXPECT_TRUE(action->Execute());
    EXPECT_EQ(order, (std::vector<const char*>{"list", "app", "message"}));
    ActionDispatch() = {};
}

TEST(Action, AutoCheckTogglesAndRadioGroupKeepsOneChecked) {
    Form form;
    auto* list = new TActionList(&form.root);
    auto make = [&](int group) {
        auto* a = new TAction(&form.root);
        a->SetActionList(list);
        a->SetAutoCheck(true);
        a->SetGroupIndex(group);
        a->SetOnExecute([](rtl::TObject*) {});
        return a;
    };
    TAction* toggle = make(0);
    TAction* radioA = make(1);
    TAction* radioB = make(1);

    toggle->Execute();
    EXPECT_TRUE(toggle->Checked());
    toggle->Execute();
    EXPECT_FALSE(toggle->Checked());

    radioA->Execute();
    EXPECT_TRUE(radioA->Checked());
    radioB->Execute();
    EXPECT_TRUE(radioB->Checked());
    EXPECT_FALSE(radioA->Checked());
    radioB->Execute(); // a checked radio action stays checked
    EXPECT_TRUE(radioB->Checked());
    EXPECT_FALSE(toggle->Checked());
}

TEST(ActionLink, FollowsTheActionWhileLinked) {
    Form form;
    auto* action = new TAction(&form.root);
    RecordingLink link(nullptr);
    link.SetAction(action);

    action->SetCaption("&Convert");
    action->SetEnabled(false);
    action->SetEnabled(false); // no change, nothing sent
    action->SetChecked(true);
    link.captionLinked = false; // the client's caption was set by hand
    action->SetCaption("Other");

    EXPECT_EQ(link.captions, (std::vector<QString>{"&Convert"}));
    EXPECT_EQ(link.enabled, (std::vector<bool>{false}));
    EXPECT_EQ(link.checked, (std::vector<bool>{true}));
    EXPECT_EQ(link.changes, 4);
    EXPECT_EQ(action->Caption(), "Other");
}

TEST(ActionLink, ExecuteNamesTheComponentAndFreeingEitherSideUnlinks) {
    Form form;
    auto* action = new TAction(&form.root);
    auto* button = new rtl::TComponent(&form.root);
    rtl::TComponent* seen = nullptr;
    action->SetOnExecute([&](rtl::TObject*) { seen = action->ActionComponent(); });

    auto link = std::make_unique<RecordingLink>(nullptr);
    link->SetAction(action);
    EXPECT_TRUE(link->Execute(button));
    EXPECT_EQ(seen, button);
    EXPECT_EQ(action->ActionComponent(), nullptr);

    link.reset();
    EXPECT_EQ(action->ClientCount(), 0);

    RecordingLink survivor(nullptr);
    survivor.SetAction(action);
    delete action;
    EXPECT_EQ(survivor.Action(), nullptr);
    EXPECT_FALSE(survivor.Execute());
}

TEST(ActionLink, ExecuteSurvivesAHandlerThatFreesTheAction) {
    Form form;
    auto* action = new TAction(&form.root);
    action->SetOnExecute([&](rtl::TObject*) { delete action; });
    RecordingLink link(nullptr);
    link.SetAction(action);
    EXPECT_TRUE(link.Execute(&form.root));
    EXPECT_EQ(link.Action(), nullptr);
}

TEST(ActionList, ShortCutRunsTheFirstEnabledMatchOnce) {
    Form form;
    auto* list = new TActionList(&form.root);
    auto* f8 = new TAction(&form.root);
    auto* other = new TAction(&form.root);
    int f8Runs = 0, otherRuns = 0;
    f8->SetShortCut(VK_F8);
    f8->SetOnExecute([&](rtl::TObject*) { ++f8Runs; });
    other->SetShortCut(scCtrl | 'A');
    other->SetOnExecute([&](rtl::TObject*) { ++otherRuns; });
    f8->SetActionList(list);
    other->SetActionList(list);

    EXPECT_TRUE(DispatchShortCut(&form.root, VK_F8));
    EXPECT_EQ(f8Runs, 1);
    EXPECT_EQ(otherRuns, 0);
    EXPECT_FALSE(DispatchShortCut(&form.root, 'A')); // without Ctrl it is another shortcut
    EXPECT_FALSE(DispatchShortCut(&form.root, scNone));

    f8->SetEnabled(false);
    EXPECT_FALSE(list->IsShortCut(VK_F8)); // the key goes on to the next handler
    EXPECT_EQ(f8Runs, 1);

    list->SetState(asSuspended);
    EXPECT_FALSE(list->IsShortCut(scCtrl | 'A'));
    list->SetState(asNormal);
    EXPECT_TRUE(list->IsShortCut(scCtrl | 'A'));
    EXPECT_EQ(otherRuns, 1);
}

TEST(ActionList, ShortCutFromKeyMessageReadsAltFromTheKeyData) {
    EXPECT_EQ(ShortCutFromKeyMessage(VK_F8, 0), VK_F8);
    EXPECT_EQ(ShortCutFromKeyMessage('X', 0x20000000), scAlt | 'X');
    EXPECT_EQ(ShortCutFromKeyMessage(0, 0), scNone);
}

TEST(ActionList, MembershipFollowsFreeingOnBothSides) {
    Form form;
    auto* list = new TActionList(&form.root);
    auto* a = new TAction(&form.root);
    auto* b = new TAction(&form.root);
    a->SetActionList(list);
    b->SetActionList(list);
    EXPECT_EQ(b->Index(), 1);
    b->SetIndex(0);
    EXPECT_EQ(list->Actions(0), b);
    EXPECT_THROW(list->Actions(2), rtl::EListError);

    delete a;
    EXPECT_EQ(list->ActionCount(), 1);

    // Freeing the list frees the actions still in it; the form's own list of components follows.
    const int before = form.root.ComponentCount();
    delete list;
    EXPECT_EQ(form.root.ComponentCount(), before - 2);
}

TEST(ActionList, ImagesAreForgottenWhenFreedAndTheirChangesReachTheActions) {
    Form form;
    auto* list = new TActionList(&form.root);
    auto* images = new TImageList(&form.root);
    auto* action = new TAction(&form.root);
    action->SetActionList(list);
    RecordingLink link(nullptr);
    link.SetAction(action);
    list->SetImages(images);
    EXPECT_EQ(action->Images(), images);

    const int before = link.changes;
    images->Clear(); // a change of the list's images
    EXPECT_EQ(link.changes, before + 1);

    delete images;
    EXPECT_EQ(list->Images(), nullptr);
}
