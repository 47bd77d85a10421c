// rtl/Generics.h: the generic lists (TList<T>, TObjectList<T>, TStack-like use through Add/Last/Delete).
// They live in rtl::Generics because rtl::TList is the pointer list; `using rtl::Generics::TList;`
// brings them in where a unit uses the generic one. Index errors raise EArgumentOutOfRangeException
// "Argument out of range", as the generic collections do.
#pragma once
#include "rtl/Classes.h"

#include <algorithm>
#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

namespace rtl::Generics {

enum TCollectionNotification { cnAdded, cnRemoved, cnExtracted };

template <class T> class TList : public TObject {
public:
    // < 0, 0, > 0 like the class library's comparers.
    using TComparison = std::function<int(const T& Left, const T& Right)>;

    TList() = default;
    ~TList() override = default; // derived lists that act on removal clear themselves first

    int Add(const T& Value) {
        GrowForOneMore();
        FItems.push_back(Value);
        Notify(FItems.back(), cnAdded);
        return Count() - 1;
    }
    void Insert(int Index, const T& Value) {
        if (Index < 0 || Index > Count()) OutOfRange();
        GrowForOneMore();
        FItems.insert(FItems.begin() + Index, Value);
        Notify(FItems[Index], cnAdded);
    }
    // Later items move down.
    void Delete(int Index) {
        CheckIndex(Index);
        T old = std::move(FItems[Index]);
        FItems.erase(FItems.begin() + Index);
        Notify(old, cnRemoved);
    }
    void DeleteRange(int Index, int ACount) {
        if (Index < 0 || ACount < 0 || Index + ACount > Count()) OutOfRange();
        std::vector<T> old(std::make_move_iterator(FItems.begin() + Index),
                           std::make_move_iterator(FItems.begin() + Index + ACount));
        FItems.erase(FItems.begin() + Index, FItems.begin() + Index + ACount);
        for (T& v : old) Notify(v, cnRemoved);
    }
    int Remove(const T& Value) {
        const int i = IndexOf(Value);
        if (i >= 0) Delete(i);
        return i;
    }
    // Takes the first equal item out without the removal action; a default T when absent.
    T Extract(const T& Value) {
        const int i = IndexOf(Value);
        if (i < 0) return T{};
        T result = std::move(FItems[i]);
        FItems.erase(FItems.begin() + i);
        Notify(result, cnExtracted);
        return result;
    }
    void Clear() {
        std::vector<T> old;
        old.swap(FItems);
        FCapacity = 0;
        for (T& v : old) Notify(v, cnRemoved);
    }
    int IndexOf(const T& Value) const {
        auto it = std::find(FItems.begin(), FItems.end(), Value);
        return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
    }
    bool Contains(const T& Value) const { return IndexOf(Value) >= 0; }
    void Exchange(int Index1, int Index2) {
        CheckIndex(Index1);
        CheckIndex(Index2);
        std::swap(FItems[Index1], FItems[Index2]);
    }
    void Move(int CurIndex, int NewIndex) {
        if (CurIndex == NewIndex) return;
        CheckIndex(CurIndex);
        CheckIndex(NewIndex);
        T item = std::move(FItems[CurIndex]);
        FItems.erase(FItems.begin() + CurIndex);
        FItems.insert(FItems.begin() + NewIndex, std::move(item));
    }
    void Reverse() { std::reverse(FItems.begin(), FItems.end()); }
    // Unstable, like the class library's introsort; the default orders by operator<.
    void Sort(const TComparison& Compare = {}) {
        if (Compare)
            std::sort(FItems.begin(), FItems.end(),
                      [&](const T& a, const T& b) { return Compare(a, b) < 0; });
        else
            std::sort(FItems.begin(), FItems.end());
    }

    const T& First() const { return Items(0); }
    const T& Last() const { return Items(Count() - 1); }

    int Count() const { return static_cast<int>(FItems.size()); }
    // The capacity is a number the list keeps, as the class library's lists do: set it, read it back.
    int Capacity() const { return FCapacity; }
    void SetCapacity(int Value) {
        if (Value < Count()) OutOfRange();
        FCapacity = Value;
        FItems.reserve(static_cast<size_t>(Value));
    }
    const T& Items(int Index) const {
        CheckIndex(Index);
        return FItems[Index];
    }
    T& Items(int Index) {
        CheckIndex(Index);
        return FItems[Index];
    }
    void SetItems(int Index, const T& Value) {
        CheckIndex(Index);
        T old = std::move(FItems[Index]);
        FItems[Index] = Value;
        Notify(old, cnRemoved);
        Notify(FItems[Index], cnAdded);
    }
    const T& operator[](int Index) const { return Items(Index); }
    T& operator[](int Index) { return Items(Index); }

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }
    const std::vector<T>& List() const { return FItems; }

    TEvent<void(TObject* Sender, const T& Item, TCollectionNotification Action)> OnNotify;

protected:
    virtual void Notify(const T& Item, TCollectionNotification Action) {
        if (OnNotify) OnNotify(this, Item, Action);
    }

    [[noreturn]] static void OutOfRange() {
        throw EArgumentOutOfRangeException(QStringLiteral("Argument out of range"));
    }
    void CheckIndex(int Index) const {
        if (Index < 0 || Index >= Count()) OutOfRange();
    }

private:
    void GrowForOneMore() {
        if (Count() < FCapacity) return;
        // The growth steps of the class library: small lists by 4, then by half again.
        FCapacity = FCapacity < 4 ? 4 : FCapacity + FCapacity / 2;
        FItems.reserve(static_cast<size_t>(FCapacity));
    }

    std::vector<T> FItems;
    int FCapacity = 0;
};

// A list of object pointers that deletes them when they leave it (OwnsObjects, the default), but not
// when extracted.
template <class T>
requires std::is_class_v<T>
class TObjectList : public TList<T*> {
public:
    explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
    ~TObjectList() override { this->Clear(); }

    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

protected:
    void Notify(T* const& Item, TCollectionNotification Action) override {
        TList<T*>::Notify(Item, Action);
        if (FOwnsObjects && Action == cnRemoved) delete Item;
    }

private:
    bool FOwnsObjects;
};

} // namespace rtl::Generics
