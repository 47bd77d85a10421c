// rtl/SyncObjs.h: the lock of the class library: a critical section the owning thread may enter again.
#pragma once
#include "rtl/Classes.h"

#include <mutex>

namespace rtl {

class TCriticalSection : public TObject {
public:
    void Acquire() { FMutex.lock(); }
    void Release() { FMutex.unlock(); }
    void Enter() { Acquire(); }
    void Leave() { Release(); }
    bool TryEnter() { return FMutex.try_lock(); }

private:
    std::recursive_mutex FMutex;
};

} // namespace rtl
