#include "lan/question_limit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace talvorine::lan {
namespace {

using Clock = ReceptionLimit::Clock;
using std::chrono::seconds;

constexpr std::string_view kPeer = "192.168.1.50";
constexpr std::string_view kColleague = "192.168.1.60";

// Which of receptions at the given seconds (from one source) are let through, limit 3 a minute.
std::vector<bool> Admitted(const std::vector<int>& at_seconds) {
  ReceptionLimit limit(3);
  std::vector<bool> admitted;
  for (const int at : at_seconds) {
    admitted.push_back(limit.Admit(kPeer, Clock::time_point(seconds(at))));
  }
  return admitted;
}

TEST(ReceptionLimit, LetsThroughAFewAMinuteFromOneSource) {
  struct Case {
    const char* name;
    std::vector<int> at_seconds;
    std::vector<bool> admitted;
  };
  const Case kCases[] = {
      {"a few in a row", {0, 1, 2}, {true, true, true}},
      {"one too many in a minute", {0, 1, 2, 3}, {true, true, true, false}},
      {"a minute after the first, room again", {0, 1, 2, 60}, {true, true, true, true}},
      {"just short of the minute", {0, 1, 2, 59}, {true, true, true, false}},
      {"a source that keeps sending stays turned away",
       {0, 1, 2, 20, 40, 61, 62, 80},
       {true, true, true, false, false, false, false, false}},
      {"after a quiet minute it is let through again",
       {0, 1, 2, 20, 81, 82, 83, 84},
       {true, true, true, false, true, true, true, false}},
      {"files spread over minutes are all asked",
       {0, 25, 50, 75, 100, 125},
       {true, true, true, true, true, true}},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(Admitted(c.at_seconds), c.admitted) << c.name;
  }
}

TEST(ReceptionLimit, CountsEachSourceOnItsOwn) {
  ReceptionLimit limit(2);
  const Clock::time_point now(seconds(100));
  EXPECT_TRUE(limit.Admit(kPeer, now));
  EXPECT_TRUE(limit.Admit(kPeer, now));
  EXPECT_FALSE(limit.Admit(kPeer, now));
  EXPECT_TRUE(limit.Admit(kColleague, now));
  EXPECT_TRUE(limit.Admit(kColleague, now));
  // Many other sources later on: the quiet ones are forgotten, the busy one is not.
  for (int i = 0; i < 200; ++i) {
    EXPECT_TRUE(limit.Admit("10.0.0." + std::to_string(i), now + seconds(30)));
  }
  EXPECT_FALSE(limit.Admit(kPeer, now + seconds(30)));
  EXPECT_TRUE(limit.Admit(kColleague, now + seconds(100)));
}

TEST(ReceptionLimit, TheDefaultLetsSixFilesInARowBeAsked) {
  ReceptionLimit limit;
  for (int i = 0; i < 6; ++i) {
    EXPECT_TRUE(limit.Admit(kColleague, Clock::time_point(seconds(i * 5)))) << i;
  }
  EXPECT_FALSE(limit.Admit(kColleague, Clock::time_point(seconds(30))));
}

}  // namespace
}  // namespace talvorine::lan
