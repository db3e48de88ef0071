#include "common/encoding.h"

#include <gtest/gtest.h>

#include "common/cp932.h"
#include "common/error.h"

namespace talvorine {
namespace {

TEST(Encoding, JapaneseTextRoundTripsBetweenCp932AndUtf8) {
  const std::string cp932 = "自動読込.tvs";  // compiled to cp932
  ASSERT_EQ(cp932.size(), 12u);             // four double-byte characters and ".tvs"
  const std::string utf8 = Cp932ToUtf8(cp932);
  EXPECT_EQ(utf8, std::string(reinterpret_cast<const char*>(u8"自動読込.tvs")));
  EXPECT_EQ(Utf8ToCp932(utf8), cp932);
}

// What a bad byte turns into is the system's choice ("?" with iconv, a private-use or middle-dot
// character on Windows); the text around it must survive.
TEST(Encoding, ABadByteLosesNothingAroundIt) {
  const std::string undefined = Cp932ToUtf8("a\xFD" "b");  // 0xFD is no cp932 byte
  ASSERT_GE(undefined.size(), 3u);
  EXPECT_EQ(undefined.front(), 'a');
  EXPECT_EQ(undefined.back(), 'b');
  const std::string cut = Cp932ToUtf8("ab\x81");  // a lead byte cut off at the end
  EXPECT_EQ(cut.substr(0, 2), "ab");
  EXPECT_GT(cut.size(), 2u);
}

TEST(Cp932, LeadBytesAreTheTwoRangesOfDoubleByteCharacters) {
  EXPECT_TRUE(IsCp932LeadByte(0x81));
  EXPECT_TRUE(IsCp932LeadByte(0x9F));
  EXPECT_TRUE(IsCp932LeadByte(0xE0));
  EXPECT_TRUE(IsCp932LeadByte(0xFC));
  EXPECT_FALSE(IsCp932LeadByte(0x80));
  EXPECT_FALSE(IsCp932LeadByte(0xA0));  // half-width katakana are single bytes
  EXPECT_FALSE(IsCp932LeadByte(0xDF));
  EXPECT_FALSE(IsCp932LeadByte('A'));
}

TEST(FormatMessageText, ReplacesThePlaceholderWithTheArgument) {
  EXPECT_EQ(FormatMessageText("ファイル %s は開けません", "a.tvw"),
            std::string("ファイル a.tvw は開けません"));
  EXPECT_EQ(FormatMessageText("no placeholder", "x"), "no placeholder");
}

}  // namespace
}  // namespace talvorine
