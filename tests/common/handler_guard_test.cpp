#include "common/handler_guard.h"

#include <gtest/gtest.h>

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/error.h"

namespace talvorine {
namespace {

struct GuardCase {
  const char* name;
  const char* message;
  std::vector<std::string> lines;
};

std::vector<std::string> LinesAfterStart(const MemoryErrorRecord& record) {
  return {record.lines().begin(), record.lines().end()};
}

TEST(HandlerGuard, TurnsAnEscapingErrorIntoRecordLines) {
  const GuardCase cases[] = {
      {"one line", "abc", {"エラー：abc"}},
      {"two lines by CR LF",
       "ファイル a は開けません\r\n理由",
       {"エラー：ファイル a は開けません", "理由"}},
      {"two lines by LF", "first\nsecond", {"エラー：first", "second"}},
      {"empty message", "", {"エラー："}},
  };
  for (const GuardCase& c : cases) {
    MemoryErrorRecord record;
    HandlerGuard guard(record);
    const bool returned = guard.Run([&] { throw Error(c.message); });
    EXPECT_FALSE(returned) << c.name;
    EXPECT_EQ(LinesAfterStart(record), c.lines) << c.name;
  }
}

TEST(HandlerGuard, RecordsStandardAndForeignExceptions) {
  MemoryErrorRecord record;
  HandlerGuard guard(record);
  guard.Run([] { throw std::out_of_range("index"); });
  guard.Run([] { throw 42; });
  EXPECT_EQ(LinesAfterStart(record), (std::vector<std::string>{"エラー：index", "エラー："}));
}

TEST(HandlerGuard, AHandlerThatReturnsAddsNothing) {
  MemoryErrorRecord record;
  record.AddLine("【Talvorine エラー記録】");
  HandlerGuard guard(record);
  int runs = 0;
  EXPECT_TRUE(guard.Run([&] { ++runs; }));
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(record.lines().size(), 1u);
}

// A record that cannot take a line (memory exhausted) must not take the message loop down.
class FailingRecord : public ErrorRecord {
 public:
  void AddLine(std::string_view) override { throw std::bad_alloc(); }
  std::string Text() const override { return {}; }
};

TEST(HandlerGuard, SurvivesARecordThatFails) {
  FailingRecord record;
  HandlerGuard guard(record);
  EXPECT_FALSE(guard.Run([] { throw Error("x"); }));
}

}  // namespace
}  // namespace talvorine
