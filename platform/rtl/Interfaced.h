// rtl/Interfaced.h: interfaces with reference counts. TInterfacedObject frees itself when the last
// reference is released; TInterfacedPersistent counts on behalf of its owner (or not at all), so the
// owner's lifetime rules stay in force. Interfaces are abstract structs with a static IID that derive
// virtually from IInterface, so that one object has one count whatever interfaces it offers.
#pragma once
#include "rtl/Classes.h"
#include "rtl/SysUtils.h"

#include <atomic>
#include <cstdint>
#include <utility>

namespace rtl {

using HResult = int32_t;
constexpr HResult HResultOK = 0;
constexpr HResult HResultNoInterface = static_cast<HResult>(0x80004002u);

struct IInterface {
    static constexpr TGUID IID{0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    // Obj receives the interface (with a reference added) or nullptr.
    virtual HResult QueryInterface(const TGUID& IID, void** Obj) = 0;
    virtual int _AddRef() = 0;
    virtual int _Release() = 0;

protected:
    ~IInterface() = default; // released, never deleted through an interface
};

// Finds the interface IID on an object: its own GetInterface overrides add theirs to IInterface.
class TInterfacedObject : public TObject, public virtual IInterface {
public:
    HResult QueryInterface(const TGUID& IID, void** Obj) override;
    int _AddRef() override { return ++FRefCount; }
    int _Release() override; // frees the object when the count reaches 0
    int RefCount() const { return FRefCount; }

protected:
    // Sets Obj to the interface without adding a reference; false when the object has none such.
    virtual bool GetInterface(const TGUID& IID, void** Obj);

private:
    std::atomic<int> FRefCount{0};
};

class TInterfacedPersistent : public TPersistent, public virtual IInterface {
public:
    HResult QueryInterface(const TGUID& IID, void** Obj) override;
    // The owner's count when the owner has interfaces; otherwise -1 and no counting at all.
    int _AddRef() override;
    int _Release() override;

protected:
    virtual bool GetInterface(const TGUID& IID, void** Obj);
};

// An interface reference: adds a reference when it takes one and releases it when it lets go.
template <class I> class TInterfaceRef {
public:
    TInterfaceRef() = default;
    TInterfaceRef(I* P) : FPtr(P) {
        if (FPtr) FPtr->_AddRef();
    }
    TInterfaceRef(const TInterfaceRef& O) : TInterfaceRef(O.FPtr) {}
    TInterfaceRef(TInterfaceRef&& O) noexcept : FPtr(std::exchange(O.FPtr, nullptr)) {}
    TInterfaceRef& operator=(TInterfaceRef O) noexcept {
        std::swap(FPtr, O.FPtr);
        return *this;
    }
    ~TInterfaceRef() {
        if (FPtr) FPtr->_Release();
    }
    // Takes over a reference that was already added (what QueryInterface hands out).
    static TInterfaceRef Adopt(I* P) {
        TInterfaceRef r;
        r.FPtr = P;
        return r;
    }

    I* Get() const { return FPtr; }
    I* operator->() const { return FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }

private:
    I* FPtr = nullptr;
};

// The class library's Supports: Intf is the interface IID of Instance, or empty.
template <class I> bool Supports(IInterface* Instance, TInterfaceRef<I>& Intf) {
    void* obj = nullptr;
    if (!Instance || Instance->QueryInterface(I::IID, &obj) != HResultOK || !obj) {
        Intf = {};
        return false;
    }
    Intf = TInterfaceRef<I>::Adopt(static_cast<I*>(obj));
    return true;
}

} // namespace rtl
