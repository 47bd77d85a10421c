#include "rtl/Interfaced.h"
#include "rtl/SyncObjs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace rtl;

namespace {

struct ITrack : virtual IInterface {
    static constexpr TGUID IID{0x1234, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    virtual int Number() = 0;
};
struct IOther : virtual IInterface {
    static constexpr TGUID IID{0x5678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
};

class Track : public TInterfacedObject, public ITrack {
public:
    explicit Track(bool& Freed) : FFreed(Freed) {}
    ~Track() override { FFreed = true; }
    int Number() override { return 7; }

protected:
    bool GetInterface(const TGUID& IID, void** Obj) override {
        if (IID == ITrack::IID) {
            *Obj = static_cast<ITrack*>(this);
            return true;
        }
        return TInterfacedObject::GetInterface(IID, Obj);
    }

private:
    bool& FFreed;
};

// An owner with interfaces, counting the references its parts take for it.
class Owner : public TInterfacedObject {};
class Part : public TInterfacedPersistent {
public:
    TPersistent* owner = nullptr;

protected:
    TPersistent* GetOwner() const override { return owner; }
};
class PersistentOwner : public TPersistent, public Owner {};

} // namespace

TEST(Interfaced, LastReleaseFreesTheObjectAndQueriesAddReferences) {
    bool freed = false;
    {
        TInterfaceRef<ITrack> track(new Track(freed));
        EXPECT_EQ(track->Number(), 7);
        TInterfaceRef<IInterface> base;
        EXPECT_TRUE(Supports(track.Get(), base));
        EXPECT_EQ(static_cast<Track*>(track.Get())->RefCount(), 2);
        TInterfaceRef<IOther> other;
        EXPECT_FALSE(Supports(track.Get(), other));
        EXPECT_FALSE(other);
        void* raw = &raw;
        EXPECT_EQ(track->QueryInterface(IOther::IID, &raw), HResultNoInterface);
        EXPECT_EQ(raw, nullptr);
    }
    EXPECT_TRUE(freed);
}

TEST(Interfaced, PersistentCountsForItsOwnerOrNotAtAll) {
    Part alone;
    EXPECT_EQ(alone._AddRef(), -1);
    EXPECT_EQ(alone._Release(), -1); // and alone is not freed: it lives on the stack

    auto* owner = new PersistentOwner;
    owner->_AddRef();
    Part part;
    part.owner = owner;
    EXPECT_EQ(part._AddRef(), 2);
    EXPECT_EQ(part._Release(), 1);
    owner->_Release();
}

TEST(CriticalSection, OwnerMayEnterAgainWhileOthersWait) {
    TCriticalSection lock;
    lock.Enter();
    lock.Acquire(); // re-entrant
    std::atomic<bool> otherGotIt{true};
    std::thread([&] { otherGotIt = lock.TryEnter(); }).join();
    EXPECT_FALSE(otherGotIt);
    lock.Release();
    lock.Leave();
    std::thread([&] {
        otherGotIt = lock.TryEnter();
        if (otherGotIt) lock.Leave();
    }).join();
    EXPECT_TRUE(otherGotIt);
}
