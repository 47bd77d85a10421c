#include "rtl/Dictionary.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace rtl;
using namespace rtl::Generics;

namespace {

// An object that counts how many of its kind are alive.
struct Counted : TObject {
    static inline int alive = 0;
    int id;
    explicit Counted(int i = 0) : id(i) { ++alive; }
    ~Counted() override { --alive; }
};

} // namespace

TEST(Dictionary, KeysAreUniqueAndLookupsSayWhatIsMissing) {
    TDictionary<QString, int> d;
    d.Add("one", 1);
    d.Add("two", 2);
    try {
        d.Add("one", 11);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "Duplicates not allowed");
    }
    EXPECT_EQ(d.Count(), 2);
    EXPECT_EQ(d["one"], 1);
    int value = -1;
    EXPECT_FALSE(d.TryGetValue("three", value));
    EXPECT_EQ(value, -1);
    EXPECT_TRUE(d.TryGetValue("two", value));
    EXPECT_EQ(value, 2);
    EXPECT_THROW(d.Items("three"), EListError);
    EXPECT_THROW(d.SetItems("three", 3), EListError);
    EXPECT_TRUE(d.ContainsValue(2));
    EXPECT_FALSE(d.ContainsKey("ONE"));

    d.AddOrSetValue("one", 10);
    d.AddOrSetValue("three", 3);
    d.Remove("two");
    d.Remove("absent");
    std::map<QString, int> seen;
    for (const auto& [key, v] : d) seen[key] = v;
    EXPECT_EQ(seen, (std::map<QString, int>{{"one", 10}, {"three", 3}}));
}

TEST(Dictionary, ComparerDecidesWhichKeysAreEqual) {
    TDictionary<QString, int> d(TEqualityComparer<QString>::IgnoreCase());
    d.Add("Track", 1);
    EXPECT_TRUE(d.ContainsKey("tRACK"));
    EXPECT_THROW(d.Add("TRACK", 2), EListError);
    d.AddOrSetValue("track", 5);
    EXPECT_EQ(d.Count(), 1);
    EXPECT_EQ(d["TrAcK"], 5);
}

TEST(Dictionary, NotifiesKeysAndValuesAsTheyComeAndGo) {
    TDictionary<int, std::string> d;
    std::vector<std::string> log;
    d.OnKeyNotify = [&](TObject*, const int& k, Generics::TCollectionNotification a) {
        log.push_back("k" + std::to_string(k) + ":" + std::to_string(int(a)));
    };
    d.OnValueNotify = [&](TObject*, const std::string& v, Generics::TCollectionNotification a) {
        log.push_back(v + ":" + std::to_string(int(a)));
    };
    d.Add(1, "a");
    d.AddOrSetValue(1, "b");
    d.AddOrSetValue(1, "b"); // the same value again: no change
    d.ExtractPair(1);
    d.Add(2, "c");
    d.Clear();
    EXPECT_EQ(log, (std::vector<std::string>{"k1:0", "a:0", "a:1", "b:0", "k1:2", "b:2", "k2:0", "c:0", "k2:1",
                                             "c:1"}));
}

TEST(ObjectDictionary, FreesWhatItOwnsWhenItLeavesButNotWhenExtracted) {
    Counted::alive = 0;
    {
        TObjectDictionary<int, Counted*> d(TDictionaryOwnerships{doOwnsValues});
        d.Add(1, new Counted(1));
        d.Add(2, new Counted(2));
        auto* kept = new Counted(3);
        d.Add(3, kept);
        EXPECT_EQ(Counted::alive, 3);

        d.Remove(1);
        EXPECT_EQ(Counted::alive, 2);
        auto pair = d.ExtractPair(3);
        EXPECT_EQ(pair.Value, kept);
        EXPECT_EQ(Counted::alive, 2);
        delete pair.Value;

        d.AddOrSetValue(2, new Counted(20)); // the replaced value is freed
        EXPECT_EQ(Counted::alive, 1);
        Counted* same = d[2];
        d.AddOrSetValue(2, same); // setting the value it has must not free it
        EXPECT_EQ(Counted::alive, 1);
        EXPECT_EQ(d[2]->id, 20);
    }
    EXPECT_EQ(Counted::alive, 0); // the rest goes with the dictionary

    {
        TObjectDictionary<Counted*, int> keys(TDictionaryOwnerships{doOwnsKeys});
        keys.Add(new Counted, 1);
        keys.Clear();
        EXPECT_EQ(Counted::alive, 0);
    }
    EXPECT_THROW((TObjectDictionary<int, int>(TDictionaryOwnerships{doOwnsValues})), EInvalidCast);
}
