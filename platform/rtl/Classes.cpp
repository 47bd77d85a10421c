// rtl/Classes.cpp
#include "rtl/Classes.h"

#include "rtl/Encoding.h"
#include "rtl/Streams.h"
#include "rtl/SysUtils.h"

#include <QSaveFile>
#include <algorithm>
#include <cxxabi.h>
#include <typeinfo>

namespace rtl {

namespace {

String Fmt(const char* Msg, intptr_t Data) {
    const String msg = QString::fromLatin1(Msg);
    return msg.contains(u"%1") ? msg.arg(static_cast<qlonglong>(Data)) : msg;
}

constexpr const char* SListIndexError = "List index out of bounds (%1)";
constexpr const char* SListCapacityError = "List capacity out of bounds (%1)";
constexpr const char* SListCountError = "List count out of bounds (%1)";
constexpr const char* SDuplicateString = "String list does not allow duplicates";
constexpr const char* SSortedListError = "Operation not allowed on sorted list";

// Pascal identifier: a letter or '_' first, then letters, digits or '_' (ASCII, as component names).
bool IsValidIdent(const String& Ident) {
    if (Ident.isEmpty()) return false;
    auto letter = [](Char c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; };
    if (!letter(Ident[0].unicode())) return false;
    for (QChar c : Ident)
        if (!letter(c.unicode()) && !(c.unicode() >= u'0' && c.unicode() <= u'9')) return false;
    return true;
}

template <class V, class T> void EraseOne(V& Vec, T Item) {
    auto it = std::find(Vec.begin(), Vec.end(), Item);
    if (it != Vec.end()) Vec.erase(it);
}

// The class library's quicksort (middle pivot, unstable), with bounds guards so that an inconsistent
// compare function cannot run past the list.
void QuickSortList(std::vector<void*>& List, int L, int R, const TListSortCompare& Compare) {
    int I;
    do {
        I = L;
        int J = R;
        void* P = List[(L + R) >> 1];
        do {
            while (I < R && Compare(List[I], P) < 0) ++I;
            while (J > L && Compare(List[J], P) > 0) --J;
            if (I <= J) {
                if (I != J) std::swap(List[I], List[J]);
                ++I;
                --J;
            }
        } while (I <= J);
        if (L < J) QuickSortList(List, L, J, Compare);
        L = I;
    } while (I < R);
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TObject, TPersistent

String TObject::ClassName() const {
    const char* mangled = typeid(*this).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                     std::free);
    String name = QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
    // Strip the namespaces (but not those inside template arguments).
    int depth = 0, start = 0;
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c == u'<')
            ++depth;
        else if (c == u'>')
            --depth;
        else if (depth == 0 && c == u':' && i + 1 < name.size() && name[i + 1] == u':')
            start = i + 2;
    }
    return name.mid(start);
}

bool TObject::ClassNameIs(const String& Name) const {
    return ClassName().compare(Name, Qt::CaseInsensitive) == 0;
}

void TPersistent::Assign(TPersistent* Source) {
    if (Source)
        Source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) {
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source) {
    const String sourceName = Source ? Source->ClassName() : QStringLiteral("nil");
    throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2").arg(sourceName, ClassName()));
}

void TPersistent::DefineProperties(TFiler*) {}

String TPersistent::GetNamePath() const {
    return ClassName();
}

// ---------------------------------------------------------------------------------------------------
// TList

TList::~TList() {
    Clear();
}

void TList::Error(const char* Msg, intptr_t Data) {
    throw EListError(Fmt(Msg, Data));
}

void TList::Grow() {
    int delta = FCapacity > 64 ? FCapacity / 4 : (FCapacity > 8 ? 16 : 4);
    SetCapacity(FCapacity + delta);
}

int TList::Add(void* Item) {
    const int result = Count();
    if (result == FCapacity) Grow();
    FList.push_back(Item);
    if (Item) Notify(Item, lnAdded);
    return result;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > Count()) Error(SListIndexError, Index);
    if (Count() == FCapacity) Grow();
    FList.insert(FList.begin() + Index, Item);
    if (Item) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
    if (Index < 0 || Index >= Count()) Error(SListIndexError, Index);
    void* temp = FList[Index];
    FList.erase(FList.begin() + Index);
    if (temp) Notify(temp, lnDeleted);
}

int TList::Remove(void* Item) {
    const int result = IndexOf(Item);
    if (result >= 0) Delete(result);
    return result;
}

void* TList::Extract(void* Item) {
    const int i = IndexOf(Item);
    if (i < 0) return nullptr;
    void* result = FList[i];
    FList.erase(FList.begin() + i);
    Notify(result, lnExtracted);
    return result;
}

void TList::Clear() {
    SetCount(0);
    SetCapacity(0);
}

int TList::IndexOf(void* Item) const {
    auto it = std::find(FList.begin(), FList.end(), Item);
    return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void TList::Exchange(int Index1, int Index2) {
    if (Index1 < 0 || Index1 >= Count()) Error(SListIndexError, Index1);
    if (Index2 < 0 || Index2 >= Count()) Error(SListIndexError, Index2);
    std::swap(FList[Index1], FList[Index2]);
}

void TList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    if (NewIndex < 0 || NewIndex >= Count()) Error(SListIndexError, NewIndex);
    if (CurIndex < 0 || CurIndex >= Count()) Error(SListIndexError, CurIndex);
    void* item = FList[CurIndex];
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, item);
}

void TList::Sort(const TListSortCompare& Compare) {
    if (Count() < 2 || !Compare) return;
    QuickSortList(FList, 0, Count() - 1, Compare);
}

void TList::Pack() {
    FList.erase(std::remove(FList.begin(), FList.end(), nullptr), FList.end());
}

int TList::RemoveIf(const TListRemovePredicate& Remove) {
    std::vector<void*> removed;
    const size_t count = FList.size();
    size_t kept = 0, i = 0;
    // Once the list has closed up, the removed entries are announced; when Remove throws, the entries
    // it has not been asked about stay.
    const auto closeUp = [&] {
        std::move(FList.begin() + i, FList.end(), FList.begin() + kept);
        FList.resize(kept + (count - i));
        for (void* item : removed)
            if (item) Notify(item, lnDeleted);
    };
    try {
        for (; i < count; ++i) {
            void* item = FList[i];
            if (Remove(item))
                removed.push_back(item);
            else
                FList[kept++] = item;
        }
    } catch (...) {
        closeUp();
        throw;
    }
    closeUp();
    return static_cast<int>(removed.size());
}

void* TList::First() const {
    return Items(0);
}

void* TList::Last() const {
    return Items(Count() - 1);
}

TList* TList::Expand() {
    if (Count() == FCapacity) Grow();
    return this;
}

void TList::Assign(TList* Source) {
    if (!Source || Source == this) return;
    Clear();
    SetCapacity(Source->Capacity());
    for (void* item : Source->FList) Add(item);
}

void TList::SetCount(int NewCount) {
    if (NewCount < 0) Error(SListCountError, NewCount);
    if (NewCount > FCapacity) SetCapacity(NewCount);
    if (NewCount > Count()) {
        FList.resize(NewCount, nullptr);
    } else {
        for (int i = Count() - 1; i >= NewCount; --i) Delete(i);
    }
}

void TList::SetCapacity(int NewCapacity) {
    if (NewCapacity < Count()) Error(SListCapacityError, NewCapacity);
    FCapacity = NewCapacity;
    if (NewCapacity == 0)
        FList.shrink_to_fit();
    else
        FList.reserve(NewCapacity);
}

void* TList::Items(int Index) const {
    if (Index < 0 || Index >= Count()) Error(SListIndexError, Index);
    return FList[Index];
}

void TList::SetItems(int Index, void* Item) {
    if (Index < 0 || Index >= Count()) Error(SListIndexError, Index);
    void* temp = FList[Index];
    if (temp == Item) return;
    FList[Index] = Item;
    if (temp) Notify(temp, lnDeleted);
    if (Item) Notify(Item, lnAdded);
}

void TList::Notify(void*, TListNotification) {}

TObjectList::~TObjectList() {
    Clear(); // while Notify still frees
}

void TObjectList::Notify(void* Ptr, TListNotification Action) {
    if (FOwnsObjects && Action == lnDeleted) delete static_cast<TObject*>(Ptr);
    TList::Notify(Ptr, Action);
}

// ---------------------------------------------------------------------------------------------------
// TComponent

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    RemoveFreeNotifications();
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount()) TList::Error(SListIndexError, Index);
    return FComponents[Index];
}

int TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Value) {
    const int current = ComponentIndex();
    if (current < 0) return;
    auto& list = FOwner->FComponents;
    Value = std::clamp(Value, 0, static_cast<int>(list.size()) - 1);
    if (Value == current) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + Value, this);
}

TComponent* TComponent::FindComponent(const String& AName) const {
    if (AName.isEmpty()) return nullptr;
    for (TComponent* c : FComponents)
        if (c->FName.compare(AName, Qt::CaseInsensitive) == 0) return c;
    return nullptr;
}

void TComponent::SetName(const String& NewName) {
    if (FName == NewName) return;
    if (!NewName.isEmpty() && !IsValidIdent(NewName))
        throw EComponentError(QStringLiteral("'%1' is not a valid component name").arg(NewName));
    if (FOwner)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    ChangeName(NewName);
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName) {
    if (AComponent && CurName.compare(NewName, Qt::CaseInsensitive) != 0 && AComponent->FOwner == this &&
        FindComponent(NewName))
        throw EComponentError(QStringLiteral("A component named %1 already exists").arg(NewName));
    if (FComponentState.Contains(csDesigning) && FOwner) FOwner->ValidateRename(AComponent, CurName, NewName);
}

void TComponent::ValidateInsert(TComponent*) {}

void TComponent::ValidateContainer(TComponent* AComponent) {
    AComponent->ValidateInsert(this);
}

void TComponent::SetSubComponent(bool IsSubComponent) {
    if (IsSubComponent)
        FComponentStyle.Include(csSubComponent);
    else
        FComponentStyle.Exclude(csSubComponent);
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent || AComponent == this || AComponent->FOwner == this) return;
    AComponent->ValidateContainer(this);
    if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
    ValidateRename(AComponent, QString(), AComponent->FName);
    Insert(AComponent);
    if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner != this) return;
    ValidateRename(AComponent, AComponent->FName, QString());
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    if (FLoaded && FComponentState.Contains(csReading) && !AComponent->FComponentState.Contains(csLoading)) {
        AComponent->FComponentState += TComponentState{csLoading, csReading};
        FLoaded->push_back(AComponent);
    }
}

void TComponent::Remove(TComponent* AComponent) {
    EraseOne(FComponents, AComponent);
    if (FLoaded) EraseOne(*FLoaded, AComponent);
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* instance = FComponents.back();
        if (instance->FComponentState.Contains(csFreeNotification) ||
            (FComponentState.Contains(csDesigning) && FComponentState.Contains(csInline)))
            RemoveComponent(instance);
        else
            Remove(instance);
        // A Notification override may have taken the component out already; then it is not ours.
        if (instance->FOwner == nullptr) delete instance;
    }
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (!FOwner || AComponent->FOwner != FOwner) {
        if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
            FFreeNotifies.push_back(AComponent);
            AComponent->FreeNotification(this);
        }
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (!AComponent) return;
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
    EraseOne(FFreeNotifies, AComponent);
}

void TComponent::RemoveFreeNotifications() {
    // Both links go before the receiver hears of it, so an override that does not call the inherited
    // Notification cannot leave a pointer to this component behind.
    while (!FFreeNotifies.empty()) {
        TComponent* receiver = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        receiver->RemoveNotification(this);
        receiver->Notification(this, opRemove);
    }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
    int i = ComponentCount() - 1;
    while (i >= 0) {
        FComponents[i]->Notification(AComponent, Operation);
        --i;
        if (i >= ComponentCount()) i = ComponentCount() - 1;
    }
}

void TComponent::BeginLoading() {
    if (FLoaded) return;
    FLoaded = std::make_unique<std::vector<TComponent*>>();
    FComponentState += TComponentState{csLoading, csReading};
    for (TComponent* c : FComponents) {
        if (c->FComponentState.Contains(csLoading)) continue;
        c->FComponentState += TComponentState{csLoading, csReading};
        FLoaded->push_back(c);
    }
}

void TComponent::EndLoading() {
    if (!FLoaded) return;
    const std::vector<TComponent*> loaded = *FLoaded;
    FComponentState.Exclude(csReading);
    for (TComponent* c : loaded) c->FComponentState.Exclude(csReading);
    // Components created from here on (csReading is off) are not part of this load; components freed
    // meanwhile leave FLoaded.
    auto stillLoading = [this](TComponent* c) {
        return FLoaded && std::find(FLoaded->begin(), FLoaded->end(), c) != FLoaded->end();
    };
    struct Reset {
        TComponent* Self;
        ~Reset() { Self->FLoaded.reset(); }
    } reset{this};
    Loaded();
    for (TComponent* c : loaded)
        if (stillLoading(c)) c->Loaded();
}

void TComponent::Loaded() {
    FComponentState.Exclude(csLoading);
}

void TComponent::ReadState(TReader*) {}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    if (SetChildren)
        for (TComponent* c : FComponents) c->SetDesigning(Value);
}

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}
void TComponent::SetChildOrder(TComponent*, int) {}
void TComponent::SetParentComponent(TComponent*) {}

String TComponent::GetNamePath() const {
    return FName;
}

// ---------------------------------------------------------------------------------------------------
// TCollectionItem, TCollection

TCollectionItem::TCollectionItem(TCollection* Collection) {
    SetCollection(Collection);
}

TCollectionItem::~TCollectionItem() {
    SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* Value) {
    if (FCollection == Value) return;
    if (FCollection) FCollection->RemoveItem(this);
    if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
    if (!FCollection) return -1;
    auto& items = FCollection->FItems;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
    const int current = Index();
    if (current < 0 || current == Value) return;
    auto& items = FCollection->FItems;
    if (Value < 0 || Value >= static_cast<int>(items.size())) TList::Error(SListIndexError, Value);
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

String TCollectionItem::GetDisplayName() const {
    return ClassName();
}

void TCollectionItem::SetDisplayName(const String&) {
    Changed(false);
}

String TCollectionItem::GetNamePath() const {
    if (!FCollection) return ClassName();
    return QStringLiteral("%1[%2]").arg(FCollection->GetNamePath()).arg(Index());
}

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() const {
    return FCollection;
}

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(std::move(ItemClass)) {
    if (!FItemClass.Create) FItemClass = TCollectionItemClass::Of<TCollectionItem>();
}

TCollection::~TCollection() {
    FUpdateCount = 1; // no Update calls while the items go
    while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Add() {
    TCollectionItem* const outer = FPending;
    FPending = nullptr;
    ++FAdding;
    TCollectionItem* item = nullptr;
    try {
        // The item joins the list in its constructor (so that it can use its collection there);
        // it is announced (Notify, Update) only when it is complete.
        item = FItemClass.Create(this);
    } catch (...) {
        --FAdding;
        FPending = outer;
        throw;
    }
    --FAdding;
    const bool announce = item && FPending == item;
    FPending = outer;
    if (!item) throw EInvalidOperation(QStringLiteral("The item class made no item"));
    if (item->FCollection != this) {
        item->SetCollection(this);
    } else if (announce) {
        SetItemName(item);
        Notify(item, cnAdded);
        Changed();
    }
    return item;
}

TCollectionItem* TCollection::Insert(int Index) {
    if (Index < 0 || Index > Count()) TList::Error(SListIndexError, Index);
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index) {
    TCollectionItem* item = Items(Index);
    Notify(item, cnDeleting);
    delete item;
}

void TCollection::Clear() {
    if (FItems.empty()) return;
    BeginUpdate();
    struct End {
        TCollection* Self;
        ~End() { Self->EndUpdate(); }
    } end{this};
    while (!FItems.empty()) delete FItems.back();
}

void TCollection::BeginUpdate() {
    ++FUpdateCount;
}

void TCollection::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    Changed();
}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {}
void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}
void TCollection::SetItemName(TCollectionItem*) {}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* item : FItems)
        if (item->FID == ID) return item;
    return nullptr;
}

void TCollection::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TCollection*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this) return;
    BeginUpdate();
    struct End {
        TCollection* Self;
        ~End() { Self->EndUpdate(); }
    } end{this};
    Clear();
    for (TCollectionItem* item : source->FItems) Add()->Assign(item);
}

void TCollection::SetCapacity(int Value) {
    if (Value > Count()) FItems.reserve(Value);
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count()) TList::Error(SListIndexError, Index);
    return FItems[Index];
}

void TCollection::InsertItem(TCollectionItem* Item) {
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    if (FAdding > 0 && !FPending) {
        FPending = Item; // Add announces it
        return;
    }
    SetItemName(Item);
    Notify(Item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    const bool announced = Item != FPending;
    if (!announced) FPending = nullptr;
    if (announced) Notify(Item, cnExtracting);
    EraseOne(FItems, Item);
    Item->FCollection = nullptr;
    if (announced) Changed();
}

// ---------------------------------------------------------------------------------------------------
// TStrings

namespace {

// Runs EndUpdate when the scope ends, so an exception in the middle leaves no open update.
class TUpdateScope {
public:
    explicit TUpdateScope(TStrings* S) : FStrings(S) { FStrings->BeginUpdate(); }
    ~TUpdateScope() { FStrings->EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TStrings* FStrings;
};

bool IsBlank(QChar C) {
    return C.unicode() <= u' ';
}

// Reads a quoted item at Value[Pos] (which is the quote): doubled quotes become one, the closing
// quote ends it (a missing one takes the rest). Pos moves past what was read.
String ExtractQuoted(const String& Value, int& Pos, QChar Quote) {
    String result;
    const int n = Value.size();
    ++Pos;
    while (Pos < n) {
        const QChar c = Value[Pos];
        if (c == Quote) {
            if (Pos + 1 < n && Value[Pos + 1] == Quote) {
                result += Quote;
                Pos += 2;
                continue;
            }
            ++Pos;
            return result;
        }
        result += c;
        ++Pos;
    }
    return result;
}

String Quoted(const String& S, QChar Quote) {
    String result(Quote);
    for (QChar c : S) {
        result += c;
        if (c == Quote) result += c;
    }
    result += Quote;
    return result;
}

} // namespace

TStrings::TStrings() = default;

TStrings::~TStrings() {
    KeepEncoding(FEncoding, nullptr);
    KeepEncoding(FDefaultEncoding, nullptr);
}

// The list keeps its own copy of a caller's encoding, so the caller may free theirs.
void TStrings::KeepEncoding(TEncoding*& Field, TEncoding* Value) {
    if (Field == Value) return;
    TEncoding* old = Field;
    Field = (!Value || TEncoding::IsStandardEncoding(Value)) ? Value : Value->Clone();
    if (old) TEncoding::FreeEncoding(old);
}

void TStrings::SetDefaultEncoding(TEncoding* Value) {
    KeepEncoding(FDefaultEncoding, Value);
}

void TStrings::Error(const char* Msg, intptr_t Data) {
    throw EStringListError(Fmt(Msg, Data));
}

int TStrings::Add(const String& S) {
    const int result = Count();
    Insert(result, S);
    return result;
}

int TStrings::AddObject(const String& S, TObject* AObject) {
    const int result = Add(S);
    PutObject(result, AObject);
    return result;
}

void TStrings::InsertObject(int Index, const String& S, TObject* AObject) {
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TStrings::Put(int Index, const String& S) {
    TObject* object = GetObject(Index);
    TUpdateScope update(this);
    Delete(Index);
    InsertObject(Index, S, object);
}

void TStrings::Exchange(int Index1, int Index2) {
    TUpdateScope update(this);
    const String s = Get(Index1);
    TObject* o = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s);
    PutObject(Index2, o);
}

int TStrings::RemoveIf(const TStringsRemovePredicate& Remove) {
    TUpdateScope update(this);
    const int count = Count();
    int kept = 0, i = 0;
    // The kept lines move up, the removed ones gather behind them and go from the end, which moves
    // nothing; when Remove throws, the lines it picked so far go all the same.
    try {
        for (; i < count; ++i) {
            if (Remove(Get(i), GetObject(i))) continue;
            if (kept != i) Exchange(kept, i);
            ++kept;
        }
    } catch (...) {
        for (int k = i - 1; k >= kept; --k) Delete(k);
        throw;
    }
    for (int k = count - 1; k >= kept; --k) Delete(k);
    return count - kept;
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    // Both checked first: a failed insert must not lose the line taken out.
    if (CurIndex < 0 || CurIndex >= Count()) Error(SListIndexError, CurIndex);
    if (NewIndex < 0 || NewIndex >= Count()) Error(SListIndexError, NewIndex);
    TUpdateScope update(this);
    const String s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    PutObject(CurIndex, nullptr); // an owning list must not free it
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
}

int TStrings::IndexOf(const String& S) const {
    const int n = Count();
    for (int i = 0; i < n; ++i)
        if (CompareStrings(Get(i), S) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const String& Name) const {
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        const String s = Get(i);
        const int p = s.indexOf(FNameValueSeparator);
        if (p >= 0 && CompareStrings(s.left(p), Name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
    const int n = Count();
    for (int i = 0; i < n; ++i)
        if (GetObject(i) == AObject) return i;
    return -1;
}

void TStrings::AddStrings(TStrings* Strings) {
    if (!Strings) return;
    TUpdateScope update(this);
    const int n = Strings->Count(); // fixed first: adding a list to itself doubles it once
    for (int i = 0; i < n; ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
}

void TStrings::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TStrings*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this) return;
    TUpdateScope update(this);
    Clear();
    KeepEncoding(FDefaultEncoding, source->FDefaultEncoding);
    KeepEncoding(FEncoding, source->FEncoding);
    FLineBreak = source->FLineBreak;
    FDelimiter = source->FDelimiter;
    FQuoteChar = source->FQuoteChar;
    FNameValueSeparator = source->FNameValueSeparator;
    FStrictDelimiter = source->FStrictDelimiter;
    FWriteBOM = source->FWriteBOM;
    AddStrings(source);
}

bool TStrings::Equals(TStrings* Strings) const {
    if (!Strings) return false;
    const int n = Count();
    if (n != Strings->Count()) return false;
    for (int i = 0; i < n; ++i)
        if (Get(i) != Strings->Get(i)) return false;
    return true;
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount <= 0) return;
    --FUpdateCount;
    if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetCapacity(int) {}

int TStrings::CompareStrings(const String& S1, const String& S2) const {
    return AnsiCompareText(S1, S2);
}

String TStrings::Names(int Index) const {
    const String s = Get(Index);
    const int p = s.indexOf(FNameValueSeparator);
    return p >= 0 ? s.left(p) : String();
}

String TStrings::Values(const String& Name) const {
    const int i = IndexOfName(Name);
    if (i < 0) return String();
    const String s = Get(i);
    return s.mid(s.indexOf(FNameValueSeparator) + 1);
}

void TStrings::SetValues(const String& Name, const String& Value) {
    const int i = IndexOfName(Name);
    if (Value.isEmpty()) {
        if (i >= 0) Delete(i);
        return;
    }
    const String line = Name + FNameValueSeparator + Value;
    // A new name is added whole (not as an empty line filled in afterwards, which a sorted list
    // would refuse after having taken the empty line).
    if (i < 0)
        Add(line);
    else
        Put(i, line);
}

String TStrings::ValueFromIndex(int Index) const {
    if (Index < 0) return String();
    const String s = Get(Index);
    const int p = s.indexOf(FNameValueSeparator);
    return p >= 0 ? s.mid(p + 1) : String();
}

void TStrings::SetValueFromIndex(int Index, const String& Value) {
    if (Value.isEmpty()) {
        if (Index >= 0) Delete(Index);
        return;
    }
    if (Index < 0)
        Add(FNameValueSeparator + Value);
    else
        Put(Index, Names(Index) + FNameValueSeparator + Value);
}

String TStrings::GetTextStr() const {
    String result;
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        result += Get(i);
        result += FLineBreak;
    }
    return result;
}

void TStrings::SetTextStr(const String& Value) {
    TUpdateScope update(this);
    Clear();
    const int n = Value.size();
    int i = 0;
    if (FLineBreak == u"\r\n") {
        while (i < n) {
            const int start = i;
            while (i < n && Value[i] != u'\r' && Value[i] != u'\n') ++i;
            Add(Value.mid(start, i - start));
            if (i < n && Value[i] == u'\r') ++i;
            if (i < n && Value[i] == u'\n') ++i;
        }
    } else if (FLineBreak.isEmpty()) {
        if (n > 0) Add(Value);
    } else {
        while (i < n) {
            const int p = Value.indexOf(FLineBreak, i);
            if (p < 0) {
                Add(Value.mid(i));
                break;
            }
            Add(Value.mid(i, p - i));
            i = p + FLineBreak.size();
        }
    }
}

String TStrings::GetDelimited(Char ADelimiter, Char AQuoteChar, bool AStrict) const {
    const int n = Count();
    if (n == 1 && Get(0).isEmpty()) return String(QChar(AQuoteChar)) + QChar(AQuoteChar);
    String result;
    for (int i = 0; i < n; ++i) {
        String s = Get(i);
        bool quote = false;
        for (QChar c : s) {
            if (c == QChar(AQuoteChar) || c == QChar(ADelimiter) || (!AStrict && IsBlank(c))) {
                quote = true;
                break;
            }
        }
        if (i > 0) result += QChar(ADelimiter);
        result += quote && AQuoteChar != 0 ? Quoted(s, QChar(AQuoteChar)) : s;
    }
    return result;
}

void TStrings::SetDelimited(const String& Value, Char ADelimiter, Char AQuoteChar, bool AStrict) {
    TUpdateScope update(this);
    Clear();
    const QChar delimiter(ADelimiter), quote(AQuoteChar);
    const int n = Value.size();
    int i = 0;
    auto skipBlanks = [&] {
        if (!AStrict)
            while (i < n && IsBlank(Value[i])) ++i;
    };
    skipBlanks();
    while (i < n) {
        if (Value[i] == quote && AQuoteChar != 0) {
            Add(ExtractQuoted(Value, i, quote));
        } else {
            const int start = i;
            while (i < n && (AStrict || !IsBlank(Value[i])) && Value[i] != delimiter) ++i;
            Add(Value.mid(start, i - start));
        }
        skipBlanks();
        if (i < n && Value[i] == delimiter) {
            if (i + 1 == n) Add(String()); // a delimiter at the very end gives a last, empty item
            ++i;
            skipBlanks();
        }
    }
}

String TStrings::CommaText() const {
    return GetDelimited(u',', u'"', false);
}

void TStrings::SetCommaText(const String& Value) {
    SetDelimited(Value, u',', u'"', false);
}

String TStrings::DelimitedText() const {
    return GetDelimited(FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::SetDelimitedText(const String& Value) {
    SetDelimited(Value, FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::LoadFromFile(const String& FileName, TEncoding* Encoding) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream, Encoding);
}

void TStrings::LoadFromStream(TStream* Stream, TEncoding* Encoding) {
    TUpdateScope update(this);
    const int64_t size = std::max<int64_t>(0, Stream->Size() - Stream->Position());
    TBytes buffer(static_cast<size_t>(size));
    const int64_t got = size > 0 ? Stream->Read(buffer.data(), size) : 0;
    buffer.resize(static_cast<size_t>(std::max<int64_t>(0, got)));
    TEncoding* used = Encoding;
    String text;
    if (!Encoding && FDefaultEncoding) {
        // An explicit default replaces the detection rule for text without a BOM.
        int preamble = TEncoding::GetBufferEncoding(buffer, used, FDefaultEncoding);
        text = used->GetString(buffer, static_cast<size_t>(preamble), buffer.size() - preamble);
    } else {
        text = DecodeText(buffer, Encoding, &used);
    }
    KeepEncoding(FEncoding, used);
    SetTextStr(text);
}

void TStrings::SaveToFile(const String& FileName, TEncoding* Encoding) {
    TBytesStream data;
    SaveToStream(&data, Encoding);
    // Replaced through a temporary file in the same folder, so a failed write leaves the old file.
    QSaveFile file(FileName);
    file.setDirectWriteFallback(true);
    const auto* bytes = static_cast<const char*>(data.Memory());
    if (!file.open(QIODevice::WriteOnly))
        throw EFCreateError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(FileName, file.errorString()));
    if (file.write(bytes, data.Size()) != data.Size() || !file.commit())
        throw EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(FileName, file.errorString()));
}

void TStrings::SaveToStream(TStream* Stream, TEncoding* Encoding) {
    if (!Encoding) Encoding = FEncoding;
    if (!Encoding) Encoding = FDefaultEncoding ? FDefaultEncoding : TEncoding::Default();
    const String text = GetTextStr();
    const TBytes bytes = Encoding->GetBytes(text);
    if (bytes.empty() && !text.isEmpty())
        throw EEncodingError(QStringLiteral(
            "No mapping for the Unicode character exists in the target multi-byte code page."));
    if (FWriteBOM) {
        const TBytes preamble = Encoding->GetPreamble();
        if (!preamble.empty()) Stream->WriteBuffer(preamble.data(), static_cast<int64_t>(preamble.size()));
    }
    if (!bytes.empty()) Stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// ---------------------------------------------------------------------------------------------------
// TStringList

TStringList::TStringList(TDuplicates QueryDuplicates, bool QuerySorted, bool QueryCaseSensitive)
    : FSorted(QuerySorted), FDuplicates(QueryDuplicates), FCaseSensitive(QueryCaseSensitive) {}

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    std::vector<TStringItem> items;
    items.swap(FList);
    if (FOwnsObjects)
        for (auto& item : items) delete item.FObject;
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) Error(SListIndexError, Index);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating)
        Changing();
    else
        Changed();
}

String TStringList::Get(int Index) const {
    CheckIndex(Index);
    return FList[Index].FString;
}

void TStringList::Put(int Index, const String& S) {
    if (FSorted) Error(SSortedListError, 0);
    CheckIndex(Index);
    Changing();
    FList[Index].FString = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const {
    CheckIndex(Index);
    return FList[Index].FObject;
}

void TStringList::PutObject(int Index, TObject* AObject) {
    CheckIndex(Index);
    Changing();
    FList[Index].FObject = AObject;
    Changed();
}

int TStringList::Add(const String& S) {
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const String& S, TObject* AObject) {
    int result = Count();
    if (FSorted && Find(S, result)) {
        if (FDuplicates == dupIgnore) return result;
        if (FDuplicates == dupError) Error(SDuplicateString, 0);
    }
    InsertItem(result, S, AObject);
    return result;
}

void TStringList::Insert(int Index, const String& S) {
    InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const String& S, TObject* AObject) {
    if (FSorted) Error(SSortedListError, 0);
    if (Index < 0 || Index > Count()) Error(SListIndexError, Index);
    InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const String& S, TObject* AObject) {
    Changing();
    FList.insert(FList.begin() + Index, TStringItem{S, AObject});
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    TObject* object = FList[Index].FObject;
    FList.erase(FList.begin() + Index);
    if (FOwnsObjects) delete object;
    Changed();
}

void TStringList::Clear() {
    if (FList.empty()) return;
    Changing();
    std::vector<TStringItem> items;
    items.swap(FList);
    if (FOwnsObjects)
        for (auto& item : items) delete item.FObject;
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FList[Index1], FList[Index2]);
    Changed();
}

int TStringList::RemoveIf(const TStringsRemovePredicate& Remove) {
    const size_t count = FList.size();
    size_t i = 0;
    while (i < count && !Remove(FList[i].FString, FList[i].FObject)) ++i;
    if (i == count) return 0;
    Changing();
    std::vector<TObject*> owned; // freed once the list has closed up, as Delete frees after erasing
    if (FOwnsObjects && FList[i].FObject) owned.push_back(FList[i].FObject);
    size_t kept = i++;
    // When Remove throws, the lines it has not been asked about stay.
    const auto closeUp = [&] {
        std::move(FList.begin() + i, FList.end(), FList.begin() + kept);
        FList.erase(FList.begin() + kept + (count - i), FList.end());
        for (TObject* object : owned) delete object;
        Changed();
    };
    try {
        for (; i < count; ++i) {
            TStringItem& item = FList[i];
            if (!Remove(item.FString, item.FObject))
                FList[kept++] = std::move(item); // the removed line's text goes behind, freed with the tail
            else if (FOwnsObjects && item.FObject)
                owned.push_back(item.FObject);
        }
    } catch (...) {
        closeUp();
        throw;
    }
    closeUp();
    return static_cast<int>(count - kept);
}

bool TStringList::Find(const String& S, int& Index) const {
    bool result = false;
    int L = 0, H = Count() - 1;
    while (L <= H) {
        const int I = (L + H) >> 1;
        const int C = CompareStrings(FList[I].FString, S);
        if (C < 0) {
            L = I + 1;
        } else {
            H = I - 1;
            if (C == 0) {
                result = true;
                if (FDuplicates != dupAccept) L = I;
            }
        }
    }
    Index = L;
    return result;
}

int TStringList::IndexOf(const String& S) const {
    if (!FSorted) return TStrings::IndexOf(S);
    int index = -1;
    return Find(S, index) ? index : -1;
}

int TStringList::CompareStringsOf(int Index1, int Index2) const {
    return CompareStrings(FList[Index1].FString, FList[Index2].FString);
}

void TStringList::Sort() {
    CustomSort(
        [](TStringList* List, int Index1, int Index2) { return List->CompareStringsOf(Index1, Index2); });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
    if (FSorted || Count() < 2 || !Compare) return;
    Changing();
    QuickSort(0, Count() - 1, Compare);
    Changed();
}

void TStringList::QuickSort(int L, int R, const TStringListSortCompare& Compare) {
    // The class library's quicksort, following the pivot through the exchanges; bounds guards keep
    // an inconsistent compare function inside the list.
    int I;
    do {
        I = L;
        int J = R, P = (L + R) >> 1;
        do {
            while (I < R && Compare(this, I, P) < 0) ++I;
            while (J > L && Compare(this, J, P) > 0) --J;
            if (I <= J) {
                if (I != J) std::swap(FList[I], FList[J]);
                if (P == I)
                    P = J;
                else if (P == J)
                    P = I;
                ++I;
                --J;
            }
        } while (I <= J);
        if (L < J) QuickSort(L, J, Compare);
        L = I;
    } while (I < R);
}

void TStringList::SetCapacity(int NewCapacity) {
    if (NewCapacity < Count()) Error(SListCapacityError, NewCapacity);
    FList.reserve(NewCapacity);
}

void TStringList::SetSorted(bool Value) {
    if (FSorted == Value) return;
    if (Value) Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (FCaseSensitive == Value) return;
    FCaseSensitive = Value;
    if (FSorted) {
        SetSorted(false);
        SetSorted(true);
    }
}

int TStringList::CompareStrings(const String& S1, const String& S2) const {
    return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

void TStringList::Assign(TPersistent* Source) {
    TStrings::Assign(Source);
    if (auto* source = dynamic_cast<TStringList*>(Source); source && source != this) {
        FCaseSensitive = source->FCaseSensitive;
        FDuplicates = source->FDuplicates;
        FSorted = source->FSorted;
    }
}

} // namespace rtl
