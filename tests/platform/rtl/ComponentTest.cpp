// tests/platform/rtl/ComponentTest.cpp
#include "rtl/Classes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records what happens to components, in order.
struct TJournal {
    std::vector<std::string> Entries;
    void Log(const std::string& S) { Entries.push_back(S); }
};

class TProbe : public rtl::TComponent {
public:
    TProbe(rtl::TComponent* AOwner, const char* AName, TJournal* AJournal, bool CallInherited = true)
        : TComponent(AOwner), Journal(AJournal), FCallInherited(CallInherited) {
        SetName(QString::fromLatin1(AName));
    }
    ~TProbe() override {
        Journal->Log("free " + Name().toStdString() +
                     (ComponentState().Contains(rtl::csDestroying) ? " (destroying)" : ""));
    }
    rtl::TComponent* Linked = nullptr; // cleared when the linked component goes
    TJournal* Journal;
    using TComponent::Loaded;

protected:
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override {
        if (Operation == rtl::opRemove) {
            Journal->Log(Name().toStdString() + " hears " + AComponent->Name().toStdString() + " go");
            if (AComponent == Linked) Linked = nullptr;
        }
        if (FCallInherited) TComponent::Notification(AComponent, Operation);
    }
    void Loaded() override {
        TComponent::Loaded();
        Journal->Log("loaded " + Name().toStdString());
    }

private:
    bool FCallInherited;
};

} // namespace

TEST(Component, OwnerFreesOwnedComponentsLastFirstAndMarksThemDestroying) {
    TJournal journal;
    auto* form = new TProbe(nullptr, "Form", &journal);
    new TProbe(form, "A", &journal);
    new TProbe(form, "B", &journal);
    ASSERT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(form->Components(1)->Name(), "B");
    EXPECT_EQ(form->Components(0)->Owner(), form);
    delete form;
    EXPECT_EQ(journal.Entries,
              (std::vector<std::string>{"free Form", "free B (destroying)", "free A (destroying)"}));
}

TEST(Component, FreedByHandItLeavesItsOwnerWhoseComponentsHearOfIt) {
    TJournal journal;
    TProbe form(nullptr, "Form", &journal);
    auto* a = new TProbe(&form, "A", &journal);
    auto* b = new TProbe(&form, "B", &journal);
    b->Linked = a;
    delete a;
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.Components(0), b);
    EXPECT_EQ(b->Linked, nullptr);
    EXPECT_EQ(journal.Entries, (std::vector<std::string>{"free A", "Form hears A go", "B hears A go"}));
    EXPECT_THROW(form.Components(1), rtl::EListError);
}

TEST(Component, FreeNotificationWorksBothWaysAcrossOwners) {
    TJournal journal;
    TProbe form1(nullptr, "Form1", &journal), form2(nullptr, "Form2", &journal);
    auto* list = new TProbe(&form1, "List", &journal);
    auto* user = new TProbe(&form2, "User", &journal);
    user->Linked = list;
    list->FreeNotification(user);
    EXPECT_TRUE(list->ComponentState().Contains(rtl::csFreeNotification));

    delete list;
    EXPECT_EQ(user->Linked, nullptr);
    journal.Entries.clear();
    delete user; // must not reach the freed list (ASan would see it)
    EXPECT_EQ(journal.Entries, (std::vector<std::string>{"free User", "Form2 hears User go"}));
}

TEST(Component, RemoveFreeNotificationEndsIt) {
    TJournal journal;
    auto* a = new TProbe(nullptr, "A", &journal);
    TProbe b(nullptr, "B", &journal);
    a->FreeNotification(&b);
    a->RemoveFreeNotification(&b);
    delete a;
    EXPECT_EQ(journal.Entries, (std::vector<std::string>{"free A"}));
}

TEST(Component, ReceiverThatSkipsTheInheritedNotificationLeavesNoDanglingLink) {
    TJournal journal;
    auto* a = new TProbe(nullptr, "A", &journal);
    auto* deaf = new TProbe(nullptr, "Deaf", &journal, /*CallInherited=*/false);
    a->FreeNotification(deaf);
    delete a;
    delete deaf; // would tell the freed A without the library removing both links first
    EXPECT_EQ(journal.Entries, (std::vector<std::string>{"free A", "Deaf hears A go", "free Deaf"}));
}

TEST(Component, NamesAreIdentifiersUniqueWithinTheOwnerIgnoringCase) {
    TJournal journal;
    TProbe form(nullptr, "Form", &journal);
    auto* button = new TProbe(&form, "Button1", &journal);
    new TProbe(&form, "", &journal); // unnamed components never clash
    new TProbe(&form, "", &journal);
    EXPECT_EQ(form.FindComponent("BUTTON1"), button);
    EXPECT_EQ(form.FindComponent(""), nullptr);
    EXPECT_EQ(form.FindComponent("Button2"), nullptr);

    auto* other = new TProbe(&form, "Button2", &journal);
    try {
        other->SetName("button1");
        FAIL() << "duplicate name accepted";
    } catch (const rtl::EComponentError& e) {
        EXPECT_EQ(e.Message(), "A component named button1 already exists");
    }
    EXPECT_EQ(other->Name(), "Button2");
    button->SetName("BUTTON1"); // only the case changes
    EXPECT_EQ(button->Name(), "BUTTON1");

    for (const char* bad : {"1abc", "a b", "a-b", "\xC3\xA9t\xC3\xA9"}) {
        try {
            other->SetName(QString::fromUtf8(bad));
            FAIL() << bad;
        } catch (const rtl::EComponentError& e) {
            EXPECT_EQ(e.Message(),
                      QStringLiteral("'%1' is not a valid component name").arg(QString::fromUtf8(bad)));
        }
    }
}

TEST(Component, InsertComponentMovesItFromItsOldOwner) {
    TJournal journal;
    TProbe form1(nullptr, "Form1", &journal), form2(nullptr, "Form2", &journal);
    auto* c = new TProbe(&form1, "C", &journal);
    form2.InsertComponent(c);
    EXPECT_EQ(form1.ComponentCount(), 0);
    EXPECT_EQ(form2.ComponentCount(), 1);
    EXPECT_EQ(c->Owner(), &form2);
    form2.RemoveComponent(c);
    EXPECT_EQ(c->Owner(), nullptr);
    delete c;
}

TEST(Component, ComponentIndexMovesWithinTheOwner) {
    TJournal journal;
    TProbe form(nullptr, "Form", &journal);
    auto* a = new TProbe(&form, "A", &journal);
    auto* b = new TProbe(&form, "B", &journal);
    auto* c = new TProbe(&form, "C", &journal);
    c->SetComponentIndex(0);
    EXPECT_EQ(form.Components(0), c);
    EXPECT_EQ(a->ComponentIndex(), 1);
    a->SetComponentIndex(99); // clamped to the last place
    EXPECT_EQ(form.Components(2), a);
    EXPECT_EQ(b->ComponentIndex(), 1);
}

TEST(Component, LoadingBracketCallsLoadedOnTheRootThenTheComponentsInCreationOrder) {
    TJournal journal;
    TProbe form(nullptr, "Form", &journal);
    form.BeginLoading();
    auto* a = new TProbe(&form, "A", &journal);
    auto* b = new TProbe(&form, "B", &journal);
    auto* gone = new TProbe(&form, "Gone", &journal);
    EXPECT_TRUE(form.ComponentState().Contains(rtl::csLoading));
    EXPECT_TRUE(a->ComponentState().Contains(rtl::csLoading));
    EXPECT_TRUE(a->ComponentState().Contains(rtl::csReading));
    delete gone;
    journal.Entries.clear();
    form.EndLoading();
    EXPECT_EQ(journal.Entries, (std::vector<std::string>{"loaded Form", "loaded A", "loaded B"}));
    for (rtl::TComponent* c : {static_cast<rtl::TComponent*>(&form), static_cast<rtl::TComponent*>(a),
                               static_cast<rtl::TComponent*>(b)}) {
        EXPECT_FALSE(c->ComponentState().Contains(rtl::csLoading));
        EXPECT_FALSE(c->ComponentState().Contains(rtl::csReading));
    }
    auto* later = new TProbe(&form, "Later", &journal);
    EXPECT_FALSE(later->ComponentState().Contains(rtl::csLoading));
}

TEST(Component, DesigningPassesToOwnedComponents) {
    TJournal journal;
    TProbe form(nullptr, "Form", &journal);
    auto* a = new TProbe(&form, "A", &journal);
    form.SetDesigning(true);
    EXPECT_TRUE(a->ComponentState().Contains(rtl::csDesigning));
    auto* b = new TProbe(&form, "B", &journal);
    EXPECT_TRUE(b->ComponentState().Contains(rtl::csDesigning));
    form.Updating();
    EXPECT_TRUE(form.ComponentState().Contains(rtl::csUpdating));
    form.Updated();
    EXPECT_FALSE(form.ComponentState().Contains(rtl::csUpdating));
}
