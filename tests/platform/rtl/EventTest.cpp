// tests/platform/rtl/EventTest.cpp
#include "rtl/Event.h"
#include "rtl/Classes.h"

#include <gtest/gtest.h>

namespace {

class TReceiver : public rtl::TObject {
public:
    void Clicked(rtl::TObject* Sender) {
        LastSender = Sender;
        ++Calls;
    }
    void Other(rtl::TObject*) {}
    virtual void Announce(rtl::TObject*) { Announced = "base"; }
    int Twice(int Value) const { return Value * 2; }
    void Bump(int& Value) { ++Value; }

    rtl::TObject* LastSender = nullptr;
    int Calls = 0;
    const char* Announced = nullptr;
};

class TDerivedReceiver : public TReceiver {
public:
    void Announce(rtl::TObject*) override { Announced = "derived"; }
};

int FreeCalls = 0;
void FreeHandler(rtl::TObject*) {
    ++FreeCalls;
}
void OtherFreeHandler(rtl::TObject*) {}

} // namespace

TEST(Event, CallsTheBoundMethodWithItsArguments) {
    TReceiver receiver;
    rtl::TObject sender;
    rtl::TNotifyEvent event(&receiver, &TReceiver::Clicked);
    ASSERT_TRUE(event);
    event(&sender);
    EXPECT_EQ(receiver.Calls, 1);
    EXPECT_EQ(receiver.LastSender, &sender);

    rtl::TEvent<int(int)> twice = rtl::MakeEvent(&receiver, &TReceiver::Twice); // const method
    EXPECT_EQ(twice(21), 42);
    rtl::TEvent<void(int&)> bump(&receiver, &TReceiver::Bump); // var parameter
    int value = 1;
    bump(value);
    EXPECT_EQ(value, 2);
}

TEST(Event, VirtualMethodsDispatchToTheOverride) {
    TDerivedReceiver receiver;
    rtl::TNotifyEvent event(static_cast<TReceiver*>(&receiver), &TReceiver::Announce);
    event(nullptr);
    EXPECT_STREQ(receiver.Announced, "derived");
}

TEST(Event, ComparesCodeAndObjectLikeMethodPointers) {
    TReceiver a, b;
    const rtl::TNotifyEvent aClicked(&a, &TReceiver::Clicked);
    EXPECT_EQ(aClicked, rtl::TNotifyEvent(&a, &TReceiver::Clicked));
    EXPECT_NE(aClicked, rtl::TNotifyEvent(&b, &TReceiver::Clicked)); // same method, other object
    EXPECT_NE(aClicked, rtl::TNotifyEvent(&a, &TReceiver::Other));   // same object, other method
    EXPECT_NE(aClicked, rtl::TNotifyEvent());

    const rtl::TNotifyEvent copy = aClicked;
    EXPECT_EQ(copy, aClicked);

    // The object is compared as a whole, whichever base class pointer the event was made with.
    TDerivedReceiver d;
    EXPECT_EQ(rtl::TNotifyEvent(&d, &TReceiver::Clicked),
              rtl::TNotifyEvent(static_cast<TReceiver*>(&d), &TReceiver::Clicked));
}

TEST(Event, UnassignedEventsAreFalseEqualAndHarmlessToCall) {
    rtl::TNotifyEvent empty;
    EXPECT_FALSE(empty);
    EXPECT_EQ(empty, nullptr);
    EXPECT_EQ(empty, rtl::TNotifyEvent(nullptr));
    empty(nullptr); // no handler: nothing happens
    rtl::TEvent<int(int)> none;
    EXPECT_EQ(none(5), 0);

    TReceiver receiver;
    rtl::TNotifyEvent event(&receiver, &TReceiver::Clicked);
    event = nullptr;
    EXPECT_FALSE(event);
    EXPECT_FALSE(rtl::TNotifyEvent(static_cast<TReceiver*>(nullptr), &TReceiver::Clicked));
}

TEST(Event, FreeFunctionsAndClosures) {
    FreeCalls = 0;
    rtl::TNotifyEvent f(&FreeHandler);
    f(nullptr);
    EXPECT_EQ(FreeCalls, 1);
    EXPECT_EQ(f, rtl::TNotifyEvent(&FreeHandler));
    EXPECT_NE(f, rtl::TNotifyEvent(&OtherFreeHandler));

    int seen = 0;
    rtl::TNotifyEvent closure = [&seen](rtl::TObject*) { ++seen; };
    rtl::TNotifyEvent copy = closure;
    copy(nullptr);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(copy, closure);
    EXPECT_NE(closure, rtl::TNotifyEvent([&seen](rtl::TObject*) { ++seen; }));
    rtl::TNotifyEvent plain = [](rtl::TObject*) {}; // a lambda without captures too
    EXPECT_TRUE(plain);
    rtl::TNotifyEvent named = FreeHandler;
    EXPECT_EQ(named, f);
}
