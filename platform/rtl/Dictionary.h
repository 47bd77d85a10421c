// rtl/Dictionary.h: the generic dictionaries, beside the generic lists in rtl::Generics: TDictionary
// (keys hashed and compared by an equality comparer, unique keys, notifications of keys and values
// as they come and go) and TObjectDictionary, which frees the keys or values it owns when they leave.
#pragma once
#include "rtl/Generics.h"

#include <QHash>
#include <QString>
#include <functional>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace rtl::Generics {

template <class K, class V> struct TPair {
    K Key;
    V Value;
};

// How a dictionary tells keys apart: equal keys must have equal hash codes.
template <class K> struct TEqualityComparer {
    std::function<bool(const K& Left, const K& Right)> Equals;
    std::function<size_t(const K& Value)> GetHashCode;

    static TEqualityComparer Default() {
        if constexpr (std::is_same_v<K, QString>)
            return {[](const K& a, const K& b) { return a == b; }, [](const K& v) { return size_t(qHash(v)); }};
        else
            return {[](const K& a, const K& b) { return a == b; }, [](const K& v) { return std::hash<K>()(v); }};
    }
    // Strings without regard to case, as the class library's ordinal case-insensitive comparer.
    static TEqualityComparer IgnoreCase()
    requires std::is_same_v<K, QString>
    {
        return {[](const K& a, const K& b) { return a.compare(b, Qt::CaseInsensitive) == 0; },
                [](const K& v) { return size_t(qHash(v.toCaseFolded())); }};
    }
};

template <class K, class V> class TDictionary : public TObject {
public:
    using TPairType = TPair<K, V>;
    using TKeyNotifyEvent = TEvent<void(TObject* Sender, const K& Item, TCollectionNotification Action)>;
    using TValueNotifyEvent = TEvent<void(TObject* Sender, const V& Item, TCollectionNotification Action)>;

    TDictionary() : TDictionary(TEqualityComparer<K>::Default()) {}
    explicit TDictionary(TEqualityComparer<K> Comparer)
        : FComparer(std::move(Comparer)), FItems(0, Hasher{&FComparer}, KeyEqual{&FComparer}) {}
    // Derived dictionaries that act on removal clear themselves in their own destructor.
    ~TDictionary() override = default;

    int Count() const { return static_cast<int>(FItems.size()); }

    // Raises EListError "Duplicates not allowed" when the key is there already.
    void Add(const K& Key, const V& Value) {
        if (FItems.count(Key)) throw EListError(QStringLiteral("Duplicates not allowed"));
        auto it = FItems.emplace(Key, Value).first;
        KeyNotify(it->first, cnAdded);
        ValueNotify(it->second, cnAdded);
    }
    // Nothing when the key is absent.
    void Remove(const K& Key) {
        auto it = FItems.find(Key);
        if (it == FItems.end()) return;
        TPairType pair{it->first, it->second};
        FItems.erase(it);
        KeyNotify(pair.Key, cnRemoved);
        ValueNotify(pair.Value, cnRemoved);
    }
    // Takes the pair out without the removal action (an owned value is not freed); a pair with the
    // key and a default value when absent.
    TPairType ExtractPair(const K& Key) {
        auto it = FItems.find(Key);
        if (it == FItems.end()) return {Key, V{}};
        TPairType pair{it->first, it->second};
        FItems.erase(it);
        KeyNotify(pair.Key, cnExtracted);
        ValueNotify(pair.Value, cnExtracted);
        return pair;
    }
    void Clear() {
        std::vector<TPairType> old;
        old.reserve(FItems.size());
        for (auto& [k, v] : FItems) old.push_back({k, v});
        FItems.clear();
        for (auto& p : old) {
            KeyNotify(p.Key, cnRemoved);
            ValueNotify(p.Value, cnRemoved);
        }
    }
    // Adds the pair, or replaces the value of the key (the old value leaves, the new one comes).
    void AddOrSetValue(const K& Key, const V& Value) {
        auto it = FItems.find(Key);
        if (it == FItems.end()) {
            Add(Key, Value);
            return;
        }
        SetValueAt(it, Value);
    }
    bool ContainsKey(const K& Key) const { return FItems.count(Key) != 0; }
    bool ContainsValue(const V& Value) const {
        for (auto& [k, v] : FItems)
            if (v == Value) return true;
        return false;
    }
    bool TryGetValue(const K& Key, V& Value) const {
        auto it = FItems.find(Key);
        if (it == FItems.end()) return false;
        Value = it->second;
        return true;
    }
    // Raises EListError "Item not found" for a key that is absent.
    const V& Items(const K& Key) const {
        auto it = FItems.find(Key);
        if (it == FItems.end()) throw EListError(QStringLiteral("Item not found"));
        return it->second;
    }
    void SetItems(const K& Key, const V& Value) {
        auto it = FItems.find(Key);
        if (it == FItems.end()) throw EListError(QStringLiteral("Item not found"));
        SetValueAt(it, Value);
    }
    const V& operator[](const K& Key) const { return Items(Key); }

    std::vector<K> Keys() const {
        std::vector<K> out;
        for (auto& [k, v] : FItems) out.push_back(k);
        return out;
    }
    std::vector<V> Values() const {
        std::vector<V> out;
        for (auto& [k, v] : FItems) out.push_back(v);
        return out;
    }
    // The pairs in no particular order (`for (const auto& [Key, Value] : Dict)`).
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

    TKeyNotifyEvent OnKeyNotify;
    TValueNotifyEvent OnValueNotify;

protected:
    virtual void KeyNotify(const K& Key, TCollectionNotification Action) {
        if (OnKeyNotify) OnKeyNotify(this, Key, Action);
    }
    virtual void ValueNotify(const V& Value, TCollectionNotification Action) {
        if (OnValueNotify) OnValueNotify(this, Value, Action);
    }

private:
    struct Hasher {
        const TEqualityComparer<K>* C;
        size_t operator()(const K& k) const { return C->GetHashCode(k); }
    };
    struct KeyEqual {
        const TEqualityComparer<K>* C;
        bool operator()(const K& a, const K& b) const { return C->Equals(a, b); }
    };
    using Map = std::unordered_map<K, V, Hasher, KeyEqual>;

    void SetValueAt(typename Map::iterator It, const V& Value) {
        V old = It->second;
        It->second = Value;
        // Setting the value a key already has is no change: an owning dictionary must not free it.
        if constexpr (requires { old == Value; })
            if (old == Value) return;
        ValueNotify(old, cnRemoved);
        ValueNotify(Value, cnAdded);
    }

    TEqualityComparer<K> FComparer; // before FItems, whose hasher points at it
    Map FItems;
};

enum TDictionaryOwnership { doOwnsKeys, doOwnsValues };
using TDictionaryOwnerships = TSet<TDictionaryOwnership>;

// A dictionary that deletes the keys and/or values it owns when they are removed (not extracted).
template <class K, class V> class TObjectDictionary : public TDictionary<K, V> {
public:
    explicit TObjectDictionary(TDictionaryOwnerships Ownerships,
                               TEqualityComparer<K> Comparer = TEqualityComparer<K>::Default())
        : TDictionary<K, V>(std::move(Comparer)), FOwnerships(Ownerships) {
        if constexpr (!std::is_pointer_v<K>)
            if (Ownerships.Contains(doOwnsKeys)) throw EInvalidCast(QStringLiteral("Invalid class typecast"));
        if constexpr (!std::is_pointer_v<V>)
            if (Ownerships.Contains(doOwnsValues)) throw EInvalidCast(QStringLiteral("Invalid class typecast"));
    }
    ~TObjectDictionary() override { this->Clear(); }

    TDictionaryOwnerships Ownerships() const { return FOwnerships; }

protected:
    void KeyNotify(const K& Key, TCollectionNotification Action) override {
        TDictionary<K, V>::KeyNotify(Key, Action);
        if constexpr (std::is_pointer_v<K>)
            if (Action == cnRemoved && FOwnerships.Contains(doOwnsKeys)) delete Key;
    }
    void ValueNotify(const V& Value, TCollectionNotification Action) override {
        TDictionary<K, V>::ValueNotify(Value, Action);
        if constexpr (std::is_pointer_v<V>)
            if (Action == cnRemoved && FOwnerships.Contains(doOwnsValues)) delete Value;
    }

private:
    TDictionaryOwnerships FOwnerships;
};

} // namespace rtl::Generics
