// tests/platform/rtl/ClassesTest.cpp: the object roots, the lists and the collections.
#include "rtl/Classes.h"
#include "rtl/Generics.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

class TFoo : public rtl::TPersistent {};
class TBar : public rtl::TPersistent {};

// Counts its destructions.
class TCounted : public rtl::TObject {
public:
    explicit TCounted(int* ACounter) : FCounter(ACounter) {}
    ~TCounted() override { ++*FCounter; }

private:
    int* FCounter;
};

template <class F> std::string MessageOf(F&& f) {
    try {
        f();
    } catch (const rtl::Exception& e) {
        return e.ClassName().toStdString() + ": " + e.Message().toStdString();
    }
    return "no exception";
}

} // namespace

TEST(Object, ClassNameIsTheBareClassName) {
    TFoo foo;
    EXPECT_EQ(foo.ClassName(), "TFoo");
    rtl::TStringList list;
    EXPECT_EQ(list.ClassName(), "TStringList");
    EXPECT_TRUE(list.ClassNameIs("tstringlist"));
    EXPECT_TRUE(list.InheritsFrom<rtl::TStrings>());
    EXPECT_FALSE(list.InheritsFrom<rtl::TComponent>());
    EXPECT_EQ(rtl::As<rtl::TStrings>(&list), &list);
    EXPECT_THROW(rtl::As<rtl::TComponent>(&list), rtl::EInvalidCast);
}

TEST(Persistent, AssignFromAForeignClassOrNilRaisesTheConversionError) {
    TFoo foo;
    TBar bar;
    EXPECT_EQ(MessageOf([&] { foo.Assign(&bar); }), "EConvertError: Cannot assign a TBar to a TFoo");
    EXPECT_EQ(MessageOf([&] { foo.Assign(nullptr); }), "EConvertError: Cannot assign a nil to a TFoo");
    rtl::TStringList list;
    EXPECT_EQ(MessageOf([&] { list.Assign(&foo); }), "EConvertError: Cannot assign a TFoo to a TStringList");
}

TEST(Set, UnionDifferenceIntersectionAndMembership) {
    using S = rtl::TComponentState;
    S s{rtl::csLoading, rtl::csReading};
    EXPECT_TRUE(s.Contains(rtl::csReading));
    EXPECT_FALSE(s.Contains(rtl::csDesigning));
    EXPECT_EQ(s - S{rtl::csReading}, S{rtl::csLoading});
    EXPECT_EQ((s * S{rtl::csReading, rtl::csDesigning}), S{rtl::csReading});
    EXPECT_EQ((s + S{rtl::csDesigning}), (S{rtl::csLoading, rtl::csReading, rtl::csDesigning}));
    EXPECT_TRUE(S{rtl::csLoading} <= s);
    EXPECT_TRUE(S().Empty());
}

// ---------------------------------------------------------------------------------------------------

TEST(List, IndexErrorsNameTheIndex) {
    rtl::TList list;
    int a = 0;
    list.Add(&a);
    EXPECT_EQ(MessageOf([&] { list.Items(1); }), "EListError: List index out of bounds (1)");
    EXPECT_EQ(MessageOf([&] { list.Delete(-1); }), "EListError: List index out of bounds (-1)");
    EXPECT_EQ(MessageOf([&] { list.Insert(2, &a); }), "EListError: List index out of bounds (2)");
    EXPECT_EQ(MessageOf([&] { list.Move(0, 1); }), "EListError: List index out of bounds (1)");
    EXPECT_EQ(MessageOf([&] { list.Exchange(0, 3); }), "EListError: List index out of bounds (3)");
    EXPECT_EQ(MessageOf([&] { list.SetCapacity(0); }), "EListError: List capacity out of bounds (0)");
    EXPECT_EQ(MessageOf([&] { list.SetCount(-1); }), "EListError: List count out of bounds (-1)");
    list.Delete(0);
    EXPECT_EQ(MessageOf([&] { list.Last(); }), "EListError: List index out of bounds (-1)");
}

TEST(List, EditsKeepTheOrder) {
    int v[5] = {0, 1, 2, 3, 4};
    rtl::TList list;
    for (int& x : v) list.Add(&x);
    auto order = [&] {
        std::string s;
        for (int i = 0; i < list.Count(); ++i) s += char('0' + *static_cast<int*>(list[i]));
        return s;
    };
    list.Move(0, 3);
    EXPECT_EQ(order(), "12304");
    list.Exchange(0, 4);
    EXPECT_EQ(order(), "42301");
    EXPECT_EQ(list.Remove(&v[3]), 2);
    EXPECT_EQ(list.Remove(&v[3]), -1);
    EXPECT_EQ(order(), "4201");
    EXPECT_EQ(list.Extract(&v[2]), &v[2]);
    EXPECT_EQ(list.Extract(&v[2]), nullptr);
    list.Insert(0, nullptr);
    list.Pack();
    EXPECT_EQ(order(), "401");
    list.Sort([](void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); });
    EXPECT_EQ(order(), "014");
    EXPECT_EQ(list.IndexOf(&v[4]), 2);
}

TEST(List, SortOrdersManyItemsAndSurvivesAnInconsistentCompare) {
    std::vector<int> values;
    for (int i = 0; i < 500; ++i) values.push_back((i * 7919) % 503);
    rtl::TList list;
    for (int& x : values) list.Add(&x);
    list.Sort([](void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); });
    for (int i = 1; i < list.Count(); ++i)
        ASSERT_LE(*static_cast<int*>(list[i - 1]), *static_cast<int*>(list[i]));
    list.Sort([](void*, void*) { return -1; }); // nonsense, but must stay inside the list
    EXPECT_EQ(list.Count(), 500);
}

TEST(List, CapacityIsKeptAsSetAndGrowsWhenFull) {
    rtl::TList list;
    list.SetCapacity(256);
    EXPECT_EQ(list.Capacity(), 256);
    int x = 0;
    for (int i = 0; i < 256; ++i) list.Add(&x);
    EXPECT_EQ(list.Capacity(), 256);
    list.Add(&x);
    EXPECT_GT(list.Capacity(), 256);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
}

TEST(ObjectList, FreesWhatLeavesItUnlessExtractedOrNotOwning) {
    int freed = 0;
    {
        rtl::TObjectList list;
        auto* a = new TCounted(&freed);
        auto* b = new TCounted(&freed);
        auto* c = new TCounted(&freed);
        list.Add(a);
        list.Add(b);
        list.Add(c);
        list.Delete(0);
        EXPECT_EQ(freed, 1);
        EXPECT_EQ(list.Extract(b), b);
        EXPECT_EQ(freed, 1);
        delete b;
        list.SetItems(0, new TCounted(&freed)); // replacing frees the old one
        EXPECT_EQ(freed, 3);
    }
    EXPECT_EQ(freed, 4); // the last one with the list

    rtl::TObjectList notOwning(false);
    TCounted kept(&freed);
    notOwning.Add(&kept);
    notOwning.Clear();
    EXPECT_EQ(freed, 4);
}

// A list that records what it announces, as a class deriving from the list would see it.
class TNotedList : public rtl::TList {
public:
    std::vector<std::pair<void*, rtl::TListNotification>> Notes;

protected:
    void Notify(void* Ptr, rtl::TListNotification Action) override { Notes.emplace_back(Ptr, Action); }
};

TEST(List, RemoveIfClosesUpInOrderThenAnnouncesEachRemovedEntry) {
    int v[6] = {0, 1, 2, 3, 4, 5};
    TNotedList list;
    for (int& x : v) list.Add(&x);
    list.Insert(2, nullptr);
    list.Notes.clear();
    std::vector<void*> asked;
    const int removed = list.RemoveIf([&](void* Item) {
        asked.push_back(Item);
        EXPECT_TRUE(list.Notes.empty()); // nothing is announced while the list is being read
        return !Item || *static_cast<int*>(Item) % 2 == 1;
    });
    EXPECT_EQ(removed, 4);
    EXPECT_EQ(asked, (std::vector<void*>{&v[0], &v[1], nullptr, &v[2], &v[3], &v[4], &v[5]}));
    EXPECT_EQ(list.List(), (std::vector<void*>{&v[0], &v[2], &v[4]}));
    // The nil entry goes without a word, as Delete would do it.
    EXPECT_EQ(list.Notes, (std::vector<std::pair<void*, rtl::TListNotification>>{
                              {&v[1], rtl::lnDeleted}, {&v[3], rtl::lnDeleted}, {&v[5], rtl::lnDeleted}}));
    EXPECT_EQ(list.RemoveIf([](void*) { return false; }), 0);
    EXPECT_EQ(list.Count(), 3);
}

TEST(List, RemoveIfThatThrowsKeepsTheEntriesNotYetAsked) {
    int v[5] = {0, 1, 2, 3, 4};
    TNotedList list;
    for (int& x : v) list.Add(&x);
    list.Notes.clear();
    EXPECT_THROW(list.RemoveIf([](void* Item) {
        const int x = *static_cast<int*>(Item);
        if (x == 3) throw std::runtime_error("stop");
        return x == 1;
    }),
                 std::runtime_error);
    EXPECT_EQ(list.List(), (std::vector<void*>{&v[0], &v[2], &v[3], &v[4]}));
    EXPECT_EQ(list.Notes.size(), 1u);
}

TEST(ObjectList, RemoveIfFreesTheRemovedObjectsOnlyWhenOwning) {
    for (const bool owns : {true, false}) {
        int freed = 0;
        std::vector<TCounted*> objects;
        {
            rtl::TObjectList list(owns);
            for (int i = 0; i < 6; ++i) objects.push_back(new TCounted(&freed));
            for (TCounted* o : objects) list.Add(o);
            EXPECT_EQ(list.RemoveIf([&](void* Item) { return Item == objects[1] || Item == objects[4]; }), 2);
            EXPECT_EQ(freed, owns ? 2 : 0);
            ASSERT_EQ(list.Count(), 4);
            EXPECT_EQ(list[0], objects[0]);
            EXPECT_EQ(list[1], objects[2]);
            EXPECT_EQ(list[3], objects[5]);
            if (!owns) list.Clear();
        }
        if (!owns)
            for (TCounted* o : objects) delete o;
        EXPECT_EQ(freed, 6) << owns;
    }
}

// ---------------------------------------------------------------------------------------------------

namespace {

class TRecordingCollection;

class TNamedItem : public rtl::TCollectionItem {
public:
    explicit TNamedItem(rtl::TCollection* Collection) : TCollectionItem(Collection), Text("ready") {}
    void Assign(rtl::TPersistent* Source) override {
        if (auto* s = dynamic_cast<TNamedItem*>(Source))
            Text = s->Text;
        else
            TCollectionItem::Assign(Source);
    }
    std::string Text;
};

class TRecordingCollection : public rtl::TOwnedCollection {
public:
    explicit TRecordingCollection(rtl::TPersistent* AOwner = nullptr)
        : TOwnedCollection(AOwner, ItemClassOf<TNamedItem>()) {}
    ~TRecordingCollection() override { Log = nullptr; }
    std::vector<std::string>* Log = nullptr;

protected:
    void Update(rtl::TCollectionItem* Item) override {
        if (Log) Log->push_back(Item ? "update " + std::to_string(Item->ID()) : "update all");
    }
    void Notify(rtl::TCollectionItem* Item, rtl::TCollectionNotification Action) override {
        if (!Log) return;
        static const char* names[] = {"added", "extracting", "deleting"};
        // An added item is complete: its own constructor has run.
        auto* named = dynamic_cast<TNamedItem*>(Item);
        Log->push_back(std::string(names[Action]) + " " + std::to_string(Item->ID()) +
                       (Action == rtl::cnAdded && named ? " " + named->Text : ""));
    }
};

std::string Ids(const rtl::TCollection& c) {
    std::string s;
    for (int i = 0; i < c.Count(); ++i) s += std::to_string(c[i]->ID());
    return s;
}

} // namespace

TEST(Collection, AddAnnouncesCompleteItemsAndDeleteAnnouncesBeforeAndAfter) {
    std::vector<std::string> log;
    TRecordingCollection items;
    items.Log = &log;
    items.Add();
    items.Add();
    EXPECT_EQ(Ids(items), "01");
    EXPECT_EQ(items[1]->Index(), 1);
    EXPECT_EQ(items[1]->Collection(), &items);
    items.Delete(0);
    EXPECT_EQ(log, (std::vector<std::string>{"added 0 ready", "update all", "added 1 ready", "update all",
                                             "deleting 0", "extracting 0", "update all"}));
    EXPECT_EQ(Ids(items), "1");
    EXPECT_EQ(items.Add()->ID(), 2); // IDs are never reused
}

struct IndexMove {
    int from, to;
    const char* expected;
};

class CollectionIndexMoves : public ::testing::TestWithParam<IndexMove> {};

TEST_P(CollectionIndexMoves, SettingIndexMovesTheItem) {
    const auto& c = GetParam();
    std::vector<std::string> log;
    TRecordingCollection items;
    for (int i = 0; i < 4; ++i) items.Add();
    items.Log = &log;
    items[c.from]->SetIndex(c.to);
    EXPECT_EQ(Ids(items), c.expected);
    EXPECT_EQ(log, std::vector<std::string>(c.from == c.to ? 0 : 1, "update all"));
}

INSTANTIATE_TEST_SUITE_P(Cases, CollectionIndexMoves,
                         ::testing::Values(IndexMove{0, 3, "1230"}, IndexMove{3, 0, "3012"},
                                           IndexMove{1, 2, "0213"}, IndexMove{2, 2, "0123"}));

TEST(Collection, BadIndexesRaiseTheListErrorAndChangeNothing) {
    TRecordingCollection items;
    items.Add();
    items.Add();
    EXPECT_THROW(items[0]->SetIndex(2), rtl::EListError);
    EXPECT_THROW(items.Items(2), rtl::EListError);
    EXPECT_THROW(items.Delete(-1), rtl::EListError);
    EXPECT_THROW(items.Insert(3), rtl::EListError);
    EXPECT_EQ(Ids(items), "01");
    EXPECT_EQ(items.Insert(1)->ID(), 2);
    EXPECT_EQ(Ids(items), "021");
}

TEST(Collection, UpdatesWaitForTheOutermostEndUpdate) {
    std::vector<std::string> log;
    TRecordingCollection items;
    items.Log = &log;
    items.BeginUpdate();
    items.BeginUpdate();
    items.Add();
    items.Add();
    items.EndUpdate();
    EXPECT_EQ(log, (std::vector<std::string>{"added 0 ready", "added 1 ready"}));
    items.EndUpdate();
    EXPECT_EQ(log.back(), "update all");
    log.clear();
    items.Clear();
    EXPECT_EQ(log, (std::vector<std::string>{"extracting 1", "extracting 0", "update all"}));
}

TEST(Collection, ItemsFreedByHandLeaveAndAssignCopies) {
    TFoo foo;
    TRecordingCollection source(&foo), copy;
    EXPECT_EQ(source.Owner(), &foo);
    static_cast<TNamedItem*>(source.Add())->Text = "first";
    static_cast<TNamedItem*>(source.Add())->Text = "second";
    delete source[0];
    ASSERT_EQ(source.Count(), 1);
    copy.Add();
    copy.Assign(&source);
    ASSERT_EQ(copy.Count(), 1);
    EXPECT_EQ(static_cast<TNamedItem*>(copy[0])->Text, "second");
    EXPECT_THROW(copy.Assign(&foo), rtl::EConvertError);
}

// ---------------------------------------------------------------------------------------------------

TEST(GenericList, KeepsOrderCapacityAndRaisesOutOfRange) {
    rtl::Generics::TList<int> list;
    list.SetCapacity(256);
    for (int i : {5, 3, 9, 1}) list.Add(i);
    EXPECT_EQ(list.Capacity(), 256);
    list.Delete(1); // later items move down
    EXPECT_EQ(list.List(), (std::vector<int>{5, 9, 1}));
    list.Insert(0, 7);
    list.Move(0, 3);
    EXPECT_EQ(list.List(), (std::vector<int>{5, 9, 1, 7}));
    list.Sort();
    EXPECT_EQ(list.List(), (std::vector<int>{1, 5, 7, 9}));
    list.Sort([](const int& a, const int& b) { return b - a; });
    EXPECT_EQ(list.First(), 9);
    EXPECT_EQ(list.Last(), 1);
    EXPECT_EQ(list.IndexOf(5), 2);
    EXPECT_EQ(MessageOf([&] { list.Items(4); }), "EArgumentOutOfRangeException: Argument out of range");
    EXPECT_THROW(list.Delete(-1), rtl::EArgumentOutOfRangeException);
    EXPECT_THROW(list.Insert(5, 0), rtl::EArgumentOutOfRangeException);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THROW(list.Last(), rtl::EArgumentOutOfRangeException);
}

TEST(GenericObjectList, FreesRemovedObjectsButNotExtractedOnes) {
    int freed = 0;
    auto* kept = new TCounted(&freed);
    {
        rtl::Generics::TObjectList<TCounted> list;
        list.Add(new TCounted(&freed));
        list.Add(kept);
        list.Add(new TCounted(&freed));
        list.Delete(0);
        EXPECT_EQ(freed, 1);
        EXPECT_EQ(list.Extract(kept), kept);
        EXPECT_EQ(freed, 1);
    }
    EXPECT_EQ(freed, 2);
    delete kept;
}
