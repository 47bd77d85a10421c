// rtl/Classes.h: the class library's object model and containers: TObject, TPersistent, TComponent
// (ownership, names, free notification, component state), TCollection, the pointer and object lists,
// and TStrings/TStringList with their exact text forms.
#pragma once
#include "rtl/Event.h"
#include "rtl/System.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

namespace rtl {

class TStream;
class TEncoding;
class TFiler;
class TReader;

// ---------------------------------------------------------------------------------------------------
// Sets: the class library's `set of <enumeration>` for enumerations with up to 64 members.

template <class E> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> Items) {
        for (E e : Items) FBits |= Bit(e);
    }
    constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
    constexpr TSet& Include(E e) {
        FBits |= Bit(e);
        return *this;
    }
    constexpr TSet& Exclude(E e) {
        FBits &= ~Bit(e);
        return *this;
    }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr uint64_t Bits() const { return FBits; }
    static constexpr TSet FromBits(uint64_t Bits) {
        TSet s;
        s.FBits = Bits;
        return s;
    }

    constexpr TSet operator+(TSet o) const { return FromBits(FBits | o.FBits); }  // union
    constexpr TSet operator-(TSet o) const { return FromBits(FBits & ~o.FBits); } // difference
    constexpr TSet operator*(TSet o) const { return FromBits(FBits & o.FBits); }  // intersection
    constexpr TSet& operator+=(TSet o) {
        FBits |= o.FBits;
        return *this;
    }
    constexpr TSet& operator-=(TSet o) {
        FBits &= ~o.FBits;
        return *this;
    }
    constexpr TSet& operator*=(TSet o) {
        FBits &= o.FBits;
        return *this;
    }
    constexpr bool operator<=(TSet o) const { return (FBits & ~o.FBits) == 0; } // subset
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr uint64_t Bit(E e) { return uint64_t(1) << static_cast<unsigned>(e); }
    uint64_t FBits = 0;
};

// ---------------------------------------------------------------------------------------------------

class TObject {
public:
    TObject() = default;
    virtual ~TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;

    // The class name without namespace ("TStringList"), from the dynamic type.
    virtual String ClassName() const;
    bool ClassNameIs(const String& Name) const;
    // `is`: whether this object is a T.
    template <class T> bool InheritsFrom() const { return dynamic_cast<const T*>(this) != nullptr; }

    // Destroy: `delete this`. (Free on a null pointer is the caller's test, or `delete`.)
    void Free() { delete this; }
};

// The class library's `as`: EInvalidCast "Invalid class typecast" when the object is no T.
template <class T> T* As(TObject* Obj) {
    if (!Obj) return nullptr;
    if (auto* result = dynamic_cast<T*>(Obj)) return result;
    throw EInvalidCast(QStringLiteral("Invalid class typecast"));
}

class TPersistent : public TObject {
public:
    // Copies Source into this object; the default asks Source->AssignTo(this), whose default raises
    // EConvertError "Cannot assign a <Source class> to a <this class>" ("nil" when Source is null).
    virtual void Assign(TPersistent* Source);
    virtual String GetNamePath() const;

protected:
    virtual void AssignTo(TPersistent* Dest);
    [[noreturn]] void AssignError(TPersistent* Source);
    virtual void DefineProperties(TFiler* Filer);
    virtual TPersistent* GetOwner() const { return nullptr; }
};

// ---------------------------------------------------------------------------------------------------
// TList: a list of pointers; index errors are EListError "List index out of bounds (%d)".

enum TListNotification { lnAdded, lnExtracted, lnDeleted };
enum TDuplicates { dupIgnore, dupAccept, dupError };

using TListSortCompare = std::function<int(void* Item1, void* Item2)>;
using TListRemovePredicate = std::function<bool(void* Item)>;

class TList : public TObject {
public:
    TList() = default;
    ~TList() override;

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    int Remove(void* Item);    // index it had, or -1
    void* Extract(void* Item); // removes without deleting; the item, or nullptr when absent
    virtual void Clear();
    int IndexOf(void* Item) const;
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    void Sort(const TListSortCompare& Compare); // quicksort: equal items end in no defined order
    void Pack();                                // removes the nil entries
    // Removes every entry Remove picks in one pass, keeping the order of the others; each removed
    // entry is announced as a deletion afterwards, in list order. The number removed.
    int RemoveIf(const TListRemovePredicate& Remove);
    void* First() const;
    void* Last() const;
    TList* Expand();
    void Assign(TList* Source); // copies the entries of Source

    int Count() const { return static_cast<int>(FList.size()); }
    void SetCount(int NewCount);
    int Capacity() const { return FCapacity; }
    void SetCapacity(int NewCapacity);
    void* Items(int Index) const;
    void SetItems(int Index, void* Item);
    void* operator[](int Index) const { return Items(Index); }

    const std::vector<void*>& List() const { return FList; }

    [[noreturn]] static void Error(const char* Msg, intptr_t Data);

protected:
    virtual void Notify(void* Ptr, TListNotification Action);
    void Grow();

private:
    std::vector<void*> FList;
    int FCapacity = 0;
};

// A list of objects that frees them when they leave it (OwnsObjects, the default).
class TObjectList : public TList {
public:
    explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
    ~TObjectList() override;

    int Add(TObject* Obj) { return TList::Add(Obj); }
    void Insert(int Index, TObject* Obj) { TList::Insert(Index, Obj); }
    int Remove(TObject* Obj) { return TList::Remove(Obj); }
    TObject* Extract(TObject* Obj) { return static_cast<TObject*>(TList::Extract(Obj)); }
    int IndexOf(TObject* Obj) const { return TList::IndexOf(Obj); }
    TObject* Items(int Index) const { return static_cast<TObject*>(TList::Items(Index)); }
    void SetItems(int Index, TObject* Obj) { TList::SetItems(Index, Obj); }
    TObject* operator[](int Index) const { return Items(Index); }
    TObject* First() const { return static_cast<TObject*>(TList::First()); }
    TObject* Last() const { return static_cast<TObject*>(TList::Last()); }

    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

protected:
    void Notify(void* Ptr, TListNotification Action) override;

private:
    bool FOwnsObjects;
};

// ---------------------------------------------------------------------------------------------------
// TComponent

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

enum TComponentStyleItem { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
using TComponentStyle = TSet<TComponentStyleItem>;

class TComponent;
using TGetChildProc = TEvent<void(TComponent* Child)>;

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    // Sends opRemove to the components that asked for free notification, frees the owned components
    // (last first), and leaves the owner (which tells its own components). These steps run when the
    // derived parts are already gone: a class whose owned components still need it while they go
    // (a form and its controls) calls Destroying() and DestroyComponents() in its own destructor.
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    void SetComponentIndex(int Value);
    TComponent* FindComponent(const String& AName) const; // owned component by name, ignoring case

    const String& Name() const { return FName; }
    // Raises EComponentError "'%s' is not a valid component name" for a name that is no identifier
    // and "A component named %s already exists" for a name another component of the owner has.
    virtual void SetName(const String& NewName);
    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }

    TComponentState ComponentState() const { return FComponentState; }
    TComponentStyle ComponentStyle() const { return FComponentStyle; }
    void SetSubComponent(bool IsSubComponent);

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents(); // frees every owned component, last first
    void Destroying();        // sets csDestroying here and in every owned component

    // Asks to be told (Notification(this or AComponent, opRemove)) when either of the two is freed.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // The loading bracket that forms use when they build themselves in code: BeginLoading sets
    // csLoading and csReading here and in every component owned (or created with this owner) until
    // EndLoading, which clears csReading and calls Loaded on this component and then on the others
    // in creation order.
    void BeginLoading();
    void EndLoading();

    void SetDesigning(bool Value, bool SetChildren = true);
    void Updating() { FComponentState.Include(csUpdating); }
    void Updated() { FComponentState.Exclude(csUpdating); }

    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
    virtual TComponent* GetChildOwner() { return nullptr; }
    virtual TComponent* GetChildParent() { return this; }
    virtual void SetChildOrder(TComponent* Child, int Order);
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* Value);
    String GetNamePath() const override;

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void Loaded(); // clears csLoading
    virtual void ReadState(TReader* Reader);
    virtual void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName);
    virtual void ValidateInsert(TComponent* AComponent);
    virtual void ValidateContainer(TComponent* AComponent);
    void ChangeName(const String& NewName) { FName = NewName; }
    TPersistent* GetOwner() const override { return FOwner; }

    TComponentState FComponentState;
    TComponentStyle FComponentStyle{csInheritable};

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);
    void RemoveFreeNotifications();

    TComponent* FOwner = nullptr;
    String FName;
    intptr_t FTag = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    std::unique_ptr<std::vector<TComponent*>> FLoaded; // set between BeginLoading and EndLoading
};

// ---------------------------------------------------------------------------------------------------
// TCollection

class TCollection;
class TCollectionItem;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

// The item class of a collection: makes an item in the given collection.
struct TCollectionItemClass {
    std::function<TCollectionItem*(TCollection*)> Create;
    template <class T> static TCollectionItemClass Of() {
        return {[](TCollection* C) -> TCollectionItem* { return new T(C); }};
    }
};

class TCollectionItem : public TPersistent {
public:
    // Joins Collection (when given) at its end.
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override; // leaves its collection

    TCollection* Collection() const { return FCollection; }
    void SetCollection(TCollection* Value);
    int ID() const { return FID; }
    int Index() const;                // -1 outside a collection
    virtual void SetIndex(int Value); // moves the item (list index error when out of range)
    String DisplayName() const { return GetDisplayName(); }
    virtual void SetDisplayName(const String& Value);
    virtual String GetDisplayName() const; // the class name unless overridden
    String GetNamePath() const override;

protected:
    void Changed(bool AllItems);
    TPersistent* GetOwner() const override;

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

class TCollection : public TPersistent {
public:
    explicit TCollection(TCollectionItemClass ItemClass);
    template <class T> static TCollectionItemClass ItemClassOf() { return TCollectionItemClass::Of<T>(); }
    ~TCollection() override; // frees the items

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    virtual void BeginUpdate();
    virtual void EndUpdate();
    TCollectionItem* FindItemID(int ID) const;
    void Assign(TPersistent* Source) override;

    int Count() const { return static_cast<int>(FItems.size()); }
    int Capacity() const { return static_cast<int>(FItems.capacity()); }
    void SetCapacity(int Value);
    TCollectionItem* Items(int Index) const;
    void SetItems(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }
    TCollectionItem* operator[](int Index) const { return Items(Index); }
    TPersistent* Owner() const { return GetOwner(); }
    int UpdateCount() const { return FUpdateCount; }
    int NextID() const { return FNextID; }

protected:
    void Changed();
    virtual void Update(TCollectionItem* Item); // Item = nullptr: everything changed
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    virtual void SetItemName(TCollectionItem* Item);

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);

    TCollectionItemClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
    int FAdding = 0;                     // inside Add's item constructor
    TCollectionItem* FPending = nullptr; // made by Add, announced once its constructor has finished
};

// A collection that knows its owner (GetOwner).
class TOwnedCollection : public TCollection {
public:
    TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
        : TCollection(std::move(ItemClass)), FOwner(AOwner) {}

protected:
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};

// ---------------------------------------------------------------------------------------------------
// TStrings / TStringList

class TStringList;
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;
using TStringsRemovePredicate = std::function<bool(const String& S, TObject* AObject)>;

class TStrings : public TPersistent {
public:
    TStrings();
    ~TStrings() override;

    virtual int Add(const String& S);
    virtual int AddObject(const String& S, TObject* AObject);
    virtual void Insert(int Index, const String& S) = 0;
    virtual void InsertObject(int Index, const String& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    virtual int IndexOf(const String& S) const;
    virtual int IndexOfName(const String& Name) const;
    virtual int IndexOfObject(TObject* AObject) const;
    virtual void AddStrings(TStrings* Strings);
    // Deletes every line Remove picks (asked once per line, in order) and keeps the order of the rest,
    // in time linear in the lines; as many deletions would, but within one update. The number removed.
    virtual int RemoveIf(const TStringsRemovePredicate& Remove);
    void Assign(TPersistent* Source) override;
    bool Equals(TStrings* Strings) const;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    virtual int Count() const = 0;
    String Strings(int Index) const { return Get(Index); }
    void SetStrings(int Index, const String& S) { Put(Index, S); }
    String operator[](int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }
    virtual int Capacity() const { return Count(); }
    virtual void SetCapacity(int NewCapacity);

    // Name=value lines: the name is the text before the first NameValueSeparator, empty when the line
    // has none (and then the value is empty too).
    String Names(int Index) const;
    String Values(const String& Name) const;
    void SetValues(const String& Name, const String& Value); // an empty value deletes the line
    String ValueFromIndex(int Index) const;
    void SetValueFromIndex(int Index, const String& Value);

    // Every line followed by LineBreak, the last one too; reading splits at CR, LF and CR LF (or at
    // LineBreak when that is not CR LF), a final break adds no empty line.
    String Text() const { return GetTextStr(); }
    void SetText(const String& Value) { SetTextStr(Value); }
    String CommaText() const;
    void SetCommaText(const String& Value);
    String DelimitedText() const;
    void SetDelimitedText(const String& Value);

    Char Delimiter() const { return FDelimiter; }
    void SetDelimiter(Char Value) { FDelimiter = Value; }
    Char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(Char Value) { FQuoteChar = Value; }
    bool StrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }
    Char NameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(Char Value) { FNameValueSeparator = Value; }
    const String& LineBreak() const { return FLineBreak; }
    void SetLineBreak(const String& Value) { FLineBreak = Value; }

    // Files and streams. No encoding given: a BOM decides, else the DefaultEncoding rule (UTF-8 when
    // the bytes are valid UTF-8, otherwise Windows-1252); the encoding found is kept in Encoding()
    // and used again by a save without an encoding. WriteBOM writes the encoding's preamble.
    virtual void LoadFromFile(const String& FileName, TEncoding* Encoding = nullptr);
    virtual void LoadFromStream(TStream* Stream, TEncoding* Encoding = nullptr);
    virtual void SaveToFile(const String& FileName, TEncoding* Encoding = nullptr);
    virtual void SaveToStream(TStream* Stream, TEncoding* Encoding = nullptr);
    TEncoding* Encoding() const { return FEncoding; }
    TEncoding* DefaultEncoding() const { return FDefaultEncoding; }
    void SetDefaultEncoding(TEncoding* Value); // a non-standard encoding is copied
    bool WriteBOM() const { return FWriteBOM; }
    void SetWriteBOM(bool Value) { FWriteBOM = Value; }

protected:
    virtual String Get(int Index) const = 0;
    virtual void Put(int Index, const String& S);
    virtual TObject* GetObject(int Index) const {
        (void)Index;
        return nullptr;
    }
    virtual void PutObject(int Index, TObject* AObject) {
        (void)Index;
        (void)AObject;
    }
    virtual String GetTextStr() const;
    virtual void SetTextStr(const String& Value);
    virtual void SetUpdateState(bool Updating) { (void)Updating; }
    virtual int CompareStrings(const String& S1, const String& S2) const; // ignoring case, by locale
    [[noreturn]] static void Error(const char* Msg, intptr_t Data);       // EStringListError

private:
    String GetDelimited(Char ADelimiter, Char AQuoteChar, bool AStrict) const;
    void SetDelimited(const String& Value, Char ADelimiter, Char AQuoteChar, bool AStrict);
    static void KeepEncoding(TEncoding*& Field, TEncoding* Value);

    int FUpdateCount = 0;
    Char FDelimiter = u',';
    Char FQuoteChar = u'"';
    Char FNameValueSeparator = u'=';
    bool FStrictDelimiter = false;
    bool FWriteBOM = true;
    String FLineBreak = QStringLiteral("\r\n");
    TEncoding* FEncoding = nullptr; // standard instances, or copies this list owns
    TEncoding* FDefaultEncoding = nullptr;
};

class TStringList : public TStrings {
public:
    TStringList() = default;
    explicit TStringList(bool OwnsObjects) : FOwnsObjects(OwnsObjects) {}
    TStringList(TDuplicates QueryDuplicates, bool QuerySorted, bool QueryCaseSensitive);
    ~TStringList() override;

    int Add(const String& S) override;
    // Sorted: finds the place; a duplicate is ignored (its index returned), accepted or refused with
    // EStringListError "String list does not allow duplicates", as Duplicates says.
    int AddObject(const String& S, TObject* AObject) override;
    void Insert(int Index, const String& S) override; // sorted: "Operation not allowed on sorted list"
    void InsertObject(int Index, const String& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    // One change (OnChanging, OnChange) when a line goes, none otherwise; owned objects of the removed
    // lines are freed after the list has closed up.
    int RemoveIf(const TStringsRemovePredicate& Remove) override;
    int IndexOf(const String& S) const override;
    // Binary search of a sorted list: true when found; Index = the first match or the insert position.
    virtual bool Find(const String& S, int& Index) const;
    virtual void Sort();
    virtual void CustomSort(const TStringListSortCompare& Compare);
    int CompareStringsOf(int Index1, int Index2) const; // what Sort compares

    int Count() const override { return static_cast<int>(FList.size()); }
    int Capacity() const override { return static_cast<int>(FList.capacity()); }
    void SetCapacity(int NewCapacity) override;

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value); // a sorted list sorts again
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    void Assign(TPersistent* Source) override;

protected:
    String Get(int Index) const override;
    void Put(int Index, const String& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void SetUpdateState(bool Updating) override;
    int CompareStrings(const String& S1, const String& S2) const override;
    virtual void Changed();
    virtual void Changing();
    void InsertItem(int Index, const String& S, TObject* AObject);

private:
    struct TStringItem {
        String FString;
        TObject* FObject = nullptr;
    };
    void CheckIndex(int Index) const;
    void QuickSort(int L, int R, const TStringListSortCompare& Compare);

    std::vector<TStringItem> FList;
    bool FSorted = false;
    TDuplicates FDuplicates = dupIgnore;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
};

} // namespace rtl
