// The virtual clock is what every timing test stands on, so it is checked on its own.
#include "support/fake_timers.h"

#include <gtest/gtest.h>

#include <vector>

namespace talvorine::testing {
namespace {

TEST(FakeTimers, TicksArriveInTimeOrderAtTheirIntervals) {
  FakeTimers timers;
  std::vector<std::pair<TimerId, std::uint64_t>> ticks;
  timers.on_tick = [&](TimerId id) { ticks.push_back({id, timers.now()}); };
  timers.Start(TimerId::kForm1Timer2);  // 500 ms
  timers.Start(TimerId::kTmRecovCB);    // 250 ms
  timers.Advance(1000);
  const std::vector<std::pair<TimerId, std::uint64_t>> expected = {
      {TimerId::kTmRecovCB, 250}, {TimerId::kForm1Timer2, 500}, {TimerId::kTmRecovCB, 500},
      {TimerId::kTmRecovCB, 750}, {TimerId::kForm1Timer2, 1000}, {TimerId::kTmRecovCB, 1000}};
  EXPECT_EQ(ticks, expected);
}

TEST(FakeTimers, StartingARunningTimerKeepsItsCountdown) {
  FakeTimers timers;
  timers.Start(TimerId::kTmRecovCB);
  timers.Advance(200);
  timers.Start(TimerId::kTmRecovCB);
  EXPECT_EQ(timers.DueAt(TimerId::kTmRecovCB), 250u);
}

TEST(FakeTimers, OnlyAChangedIntervalRestartsTheCountdown) {
  FakeTimers timers;
  timers.Start(TimerId::kForm1Timer3);
  timers.Advance(1000);
  timers.SetInterval(TimerId::kForm1Timer3, 600000);
  EXPECT_EQ(timers.DueAt(TimerId::kForm1Timer3), 600000u);
  timers.SetInterval(TimerId::kForm1Timer3, 300000);
  EXPECT_EQ(timers.DueAt(TimerId::kForm1Timer3), 301000u);
}

TEST(FakeTimers, PassedTimeDeliversNothingUntilTheNextPump) {
  FakeTimers timers;
  int ticks = 0;
  timers.on_tick = [&](TimerId) { ++ticks; };
  timers.Start(TimerId::kTmRecovCB);
  timers.Pass(1000);
  EXPECT_EQ(ticks, 0);
  timers.DeliverDue();
  EXPECT_EQ(ticks, 1);
}

TEST(FakeTimers, AStoppedTimerNeverTicks) {
  FakeTimers timers;
  int ticks = 0;
  timers.on_tick = [&](TimerId id) {
    ++ticks;
    timers.Stop(id);
  };
  timers.Start(TimerId::kForm2Timer1);
  timers.Advance(5000);
  EXPECT_EQ(ticks, 1);
}

}  // namespace
}  // namespace talvorine::testing
