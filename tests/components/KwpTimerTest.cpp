// tests/components/KwpTimerTest.cpp: the counting timer (limit, restartable one-shot, a lowered
// limit, a start that keeps the count) and the colour flash on the manual clock.
#include "components/KwpTimer.h"

#include "tests/support/windows/FormHarness.h"
#include "vcl/StdCtrls.h"

#include <gtest/gtest.h>

using namespace components;
using std::chrono::milliseconds;
using testing_support::FormHarness;

namespace {

struct Log : rtl::TObject {
    std::vector<std::string> events;
    rtl::TObject* sender = nullptr;
    void Tick(rtl::TObject* Sender) {
        events.push_back("tick");
        sender = Sender;
    }
    void Limit(rtl::TObject*) { events.push_back("limit"); }
    void Color(rtl::TObject*, vcl::TColor C) { events.push_back(QString::number(C, 16).toStdString()); }
    void Finished(rtl::TObject*) { events.push_back("finished"); }
};

class Timer : public ::testing::Test {
protected:
    void SetUp() override {
        timer = new TKwpTimer(nullptr);
        timer->SetEnabled(false);
        timer->SetInterval(400);
        timer->SetOnTimer(rtl::TNotifyEvent(&log, &Log::Tick));
        timer->OnRepeatCountLimitReached = rtl::TNotifyEvent(&log, &Log::Limit);
    }
    void TearDown() override { delete timer; }
    FormHarness H;
    Log log;
    TKwpTimer* timer = nullptr;
};

TEST_F(Timer, RestartedOneShotFiresOnceAfterTheLastRestart) {
    timer->SetRepeatCountLimit(1);
    timer->Restart();
    H.Advance(milliseconds(150));
    timer->Restart();
    H.Advance(milliseconds(150));
    timer->Restart();
    H.Advance(milliseconds(399));
    EXPECT_TRUE(log.events.empty());
    H.Advance(milliseconds(1));
    EXPECT_EQ(log.events, (std::vector<std::string>{"tick", "limit"}));
    EXPECT_EQ(log.sender, timer);
    EXPECT_FALSE(timer->Enabled());
    H.Advance(milliseconds(2000));
    EXPECT_EQ(log.events.size(), 2u);
}

TEST_F(Timer, WithoutALimitItCountsUntilStopped) {
    timer->Start();
    H.Advance(milliseconds(400 * 5));
    EXPECT_EQ(timer->Counter(), 5u);
    timer->Stop();
    EXPECT_EQ(timer->Counter(), 5u);  // stopping keeps the count
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "limit"), 0);
    timer->SetCounter(0xFFFFFFFF);
    timer->Start();  // clears it
    EXPECT_EQ(timer->Counter(), 0u);
}

TEST_F(Timer, AStartThatKeepsTheCountStopsAtTheNextTickWithoutTicking) {
    timer->SetRepeatCountLimit(2);
    timer->SetClearCounterOnStart(false);
    timer->Start();
    H.Advance(milliseconds(800));
    EXPECT_EQ(log.events, (std::vector<std::string>{"tick", "tick", "limit"}));
    log.events.clear();
    timer->Start();
    H.Advance(milliseconds(400));
    EXPECT_EQ(log.events, (std::vector<std::string>{"limit"}));
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(timer->Counter(), 2u);
}

TEST_F(Timer, ALimitLoweredBelowTheCountStopsAtOnce) {
    timer->Start();
    H.Advance(milliseconds(1200));
    timer->SetRepeatCountLimit(2);  // the setter neither starts nor stops
    EXPECT_TRUE(timer->Enabled());
    H.Advance(milliseconds(400));
    EXPECT_EQ(log.events, (std::vector<std::string>{"tick", "tick", "tick", "limit"}));
}

// ---- flashing ----

class Flash : public ::testing::Test {
protected:
    FormHarness H;
    Log log;
};

TEST_F(Flash, SixPhasesThenTheOriginalColourAndTheEnd) {
    vcl::TEdit edit(nullptr);
    edit.SetColor(0x00FF00);
    TKwpFlashControl<vcl::TEdit> flash(&edit);
    EXPECT_EQ(flash.OriginalColor(), 0x00FF00);
    EXPECT_EQ(flash.Timer()->RepeatCountLimit(), 6u);
    flash.OnFlashColorChanged = TKwpFlashColorChanged([&](rtl::TObject* s, vcl::TColor c) {
        log.Color(s, c);
        edit.SetColor(c);
    });
    flash.Flash();
    EXPECT_TRUE(flash.Flashing());
    H.Advance(milliseconds(149));
    EXPECT_TRUE(log.events.empty());
    H.Advance(milliseconds(1));
    EXPECT_EQ(edit.Color(), 0x7878FF);
    H.Advance(milliseconds(150 * 5));
    EXPECT_EQ(log.events, (std::vector<std::string>{"7878ff", "ff00", "7878ff", "ff00", "7878ff", "ff00"}));
    EXPECT_FALSE(flash.Flashing());
    EXPECT_FALSE(flash.Timer()->Enabled());
    EXPECT_EQ(edit.Color(), 0x00FF00);
}

TEST_F(Flash, DisablingMidFlashEndsItAndGivesTheColourBack) {
    vcl::TEdit edit(nullptr);
    edit.SetColor(0x00FF00);
    TKwpFlashControl<vcl::TEdit> flash(&edit);
    flash.Flash();
    H.Advance(milliseconds(150));
    EXPECT_EQ(edit.Color(), 0x7878FF);
    flash.SetEnabled(false);
    EXPECT_FALSE(flash.Flashing());
    EXPECT_FALSE(flash.Timer()->Enabled());
    EXPECT_EQ(edit.Color(), 0x00FF00);
}

TEST_F(Flash, TheSameCountStillArmsTheLimit) {
    TKwpFlashBase flash(nullptr);
    flash.Timer()->SetRepeatCountLimit(99);
    flash.SetFlashCount(flash.FlashCount());
    EXPECT_EQ(flash.Timer()->RepeatCountLimit(), 6u);
}

TEST_F(Flash, ReleasesItselfAfterItsTimersNotificationHasReturned) {
    auto* flash = new TKwpFlashBase(nullptr);
    flash->SetFlashCount(1);
    flash->OnFlashFinished = rtl::TNotifyEvent(&log, &Log::Finished);
    flash->Flash();
    H.Advance(milliseconds(300));  // freed from the queue afterwards; the sanitizer sees any use after it
    EXPECT_EQ(log.events, (std::vector<std::string>{"finished"}));
    H.Advance(milliseconds(300));
}

} // namespace
