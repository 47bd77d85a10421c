#include "rtl/Interfaced.h"

namespace rtl {

namespace {

// What QueryInterface answers once GetInterface has looked: the found interface gets a reference.
HResult Query(IInterface* Self, bool Found, void** Obj) {
    if (!Found) {
        *Obj = nullptr;
        return HResultNoInterface;
    }
    Self->_AddRef();
    return HResultOK;
}

} // namespace

bool TInterfacedObject::GetInterface(const TGUID& IID, void** Obj) {
    if (IID != IInterface::IID) return false;
    *Obj = static_cast<IInterface*>(this);
    return true;
}

HResult TInterfacedObject::QueryInterface(const TGUID& IID, void** Obj) { return Query(this, GetInterface(IID, Obj), Obj); }

int TInterfacedObject::_Release() {
    const int result = --FRefCount;
    if (result == 0) delete this;
    return result;
}

bool TInterfacedPersistent::GetInterface(const TGUID& IID, void** Obj) {
    if (IID != IInterface::IID) return false;
    *Obj = static_cast<IInterface*>(this);
    return true;
}

HResult TInterfacedPersistent::QueryInterface(const TGUID& IID, void** Obj) {
    return Query(this, GetInterface(IID, Obj), Obj);
}

int TInterfacedPersistent::_AddRef() {
    if (auto* owner = dynamic_cast<IInterface*>(GetOwner())) return owner->_AddRef();
    return -1;
}

int TInterfacedPersistent::_Release() {
    if (auto* owner = dynamic_cast<IInterface*>(GetOwner())) return owner->_Release();
    return -1;
}

} // namespace rtl
