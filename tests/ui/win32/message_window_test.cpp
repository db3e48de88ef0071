#include "ui/win32/message_window.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "common/error_record.h"
#include "common/handler_guard.h"
#include "ui/win32/pump.h"
#include "common/error.h"

namespace talvorine::win32 {
namespace {

using testing::PumpFor;
using testing::PumpUntil;

class MessageWindowTest : public ::testing::Test {
 protected:
  MemoryErrorRecord record;
  HandlerGuard guard{record};
  MessageWindow window{guard};
};

TEST_F(MessageWindowTest, IsAMessageOnlyWindow) {
  EXPECT_EQ(FindWindowExW(HWND_MESSAGE, nullptr, L"TalvorineMessages", nullptr), window.hwnd());
  EXPECT_FALSE(IsWindowVisible(window.hwnd()));
}

TEST_F(MessageWindowTest, TasksFromOtherThreadsRunOnTheMainThreadInOrder) {
  const DWORD main_thread = GetCurrentThreadId();
  std::vector<int> order;
  std::vector<DWORD> threads;
  std::thread worker([&] {
    for (int i = 0; i < 50; ++i) {
      window.Post([&, i] {
        order.push_back(i);
        threads.push_back(GetCurrentThreadId());
      });
    }
  });
  worker.join();
  ASSERT_TRUE(PumpUntil([&] { return order.size() == 50; }));
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(order[static_cast<size_t>(i)], i);
    EXPECT_EQ(threads[static_cast<size_t>(i)], main_thread);
  }
}

TEST_F(MessageWindowTest, AFailingTaskIsRecordedAndTheNextStillRuns) {
  bool second_ran = false;
  window.Post([] { throw Error("取得できません"); });
  window.Post([&] { second_ran = true; });
  ASSERT_TRUE(PumpUntil([&] { return second_ran; }));
  ASSERT_EQ(record.lines().size(), 1u);
  EXPECT_EQ(record.lines()[0], "エラー：取得できません");
}

TEST_F(MessageWindowTest, TimersTickToTheirHandlerUntilStopped) {
  int ticks = 0;
  window.SetInterval(TimerId::kForm1Timer2, 20);
  window.SetTickHandler(TimerId::kForm1Timer2, [&] { ++ticks; });
  EXPECT_FALSE(window.IsRunning(TimerId::kForm1Timer2));
  window.Start(TimerId::kForm1Timer2);
  EXPECT_TRUE(window.IsRunning(TimerId::kForm1Timer2));
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  window.Stop(TimerId::kForm1Timer2);
  const int at_stop = ticks;
  PumpFor(100);
  EXPECT_EQ(ticks, at_stop);
  EXPECT_EQ(window.Interval(TimerId::kForm1Timer2), 20u);
}

TEST_F(MessageWindowTest, ATimerStoppedByItsOwnHandlerTicksOnce) {
  int ticks = 0;
  window.SetInterval(TimerId::kForm1Timer1, 10);
  window.SetTickHandler(TimerId::kForm1Timer1, [&] {
    ++ticks;
    window.Stop(TimerId::kForm1Timer1);
  });
  window.Start(TimerId::kForm1Timer1);
  ASSERT_TRUE(PumpUntil([&] { return ticks == 1; }));
  PumpFor(80);
  EXPECT_EQ(ticks, 1);
}

TEST_F(MessageWindowTest, DefaultIntervalsAndAThrowingTickHandler) {
  EXPECT_EQ(window.Interval(TimerId::kForm1Timer1), 1000u);
  EXPECT_EQ(window.Interval(TimerId::kForm1Timer3), 600000u);
  EXPECT_EQ(window.Interval(TimerId::kForm2Timer2), 250u);
  window.SetInterval(TimerId::kTmRecovCB, 10);
  window.SetTickHandler(TimerId::kTmRecovCB, [&] {
    window.Stop(TimerId::kTmRecovCB);
    throw Error("クリップボードを開くことができません");
  });
  window.Start(TimerId::kTmRecovCB);
  ASSERT_TRUE(PumpUntil([&] { return !record.lines().empty(); }));
  EXPECT_EQ(record.lines()[0], "エラー：クリップボードを開くことができません");
}

}  // namespace
}  // namespace talvorine::win32
