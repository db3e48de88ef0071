#include "webwords/comma_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace talvorine::webwords {
namespace {

using namespace std::string_view_literals;

struct SplitCase {
  std::string_view name;
  std::string_view text;
  std::vector<std::string_view> items;
};

const SplitCase kSplitCases[] = {
    {"comma between two items", "a=x,b=y", {"a=x", "b=y"}},
    {"a blank separates", "a=x y", {"a=x", "y"}},
    {"quotes keep a blank inside", "\"a=x y\"", {"a=x y"}},
    {"line breaks and tabs separate and are skipped", "\r\n\ta=x\r\nb=y\t\r\n", {"a=x", "b=y"}},
    {"every byte from 1 to 32 separates",
     "a\x01"
     "b\x1f"
     "c\x20"
     "d",
     {"a", "b", "c", "d"}},
    {"byte 127 is part of an item",
     "a\x7f"
     "b",
     {"a\x7f"
      "b"}},
    {"blanks around a comma", "a , b", {"a", "b"}},
    {"a comma as last byte adds an empty item", "a,", {"a", ""}},
    {"a comma followed by a blank adds nothing", "a, ", {"a"}},
    {"a leading comma gives an empty item", ",a", {"", "a"}},
    {"two commas alone", ",,", {"", "", ""}},
    {"empty text", "", {}},
    {"only blanks", " \r\n\t ", {}},
    {"doubled quotes stand for one", "\"say \"\"hi\"\"\",b", {"say \"hi\"", "b"}},
    {"an empty quoted item", "\"\"", {""}},
    {"an empty quoted item before a comma", "\"\",x", {"", "x"}},
    {"a quoted item then a comma at the end", "\"a b\",", {"a b", ""}},
    {"blanks between a quoted item and its comma", "\"a\"  ,  b", {"a", "b"}},
    {"text right after a closing quote starts a new item", "\"ab\"cd", {"ab", "cd"}},
    {"a quote inside a plain item is kept", "a\"b", {"a\"b"}},
    {"a comma inside quotes does not separate", "\"a,b\",c", {"a,b", "c"}},
    {"a line break inside quotes is kept", "\"a\r\nb\"", {"a\r\nb"}},
    {"NUL ends the text", "a\0b,c"sv, {"a"}},
    {"NUL right after a comma", "a,\0b"sv, {"a", ""}},
    {"NUL inside quotes ends item and text", "\"ab\0cd\""sv, {"ab"}},
    {"unclosed quote runs to the end and keeps its last byte", "x,\"ab c", {"x", "ab c"}},
    {"unclosed quote after a doubled quote", "\"ab\"\"", {"ab\""}},
    {"a lone quote", "\"", {""}},
    {"ideographic space stays inside the item", "あ=い　う", {"あ=い　う"}},
    {"bytes from 128 up never separate", "\x80\xa0\xff=\x81\x40,z", {"\x80\xa0\xff=\x81\x40", "z"}},
    {"a blank after a high byte still separates", "\x82 x", {"\x82", "x"}},
};

TEST(SplitCommaText, SplitsAsCommaText) {
  for (const SplitCase& c : kSplitCases) {
    const std::vector<std::string> expected(c.items.begin(), c.items.end());
    EXPECT_EQ(SplitCommaText(c.text), expected) << c.name;
  }
}

TEST(SplitCommaText, LongItemsAndManyItemsKeepTheirOrder) {
  std::string text;
  std::vector<std::string> expected;
  for (int i = 0; i < 2000; ++i) {
    std::string item =
        "k" + std::to_string(i) + "=" + std::string(static_cast<size_t>(i % 97), 'v');
    text += (i % 3 == 0) ? "\"" + item + " q\"" : item;
    text += (i % 2 == 0) ? "," : "\r\n";
    expected.push_back((i % 3 == 0) ? item + " q" : item);
  }
  EXPECT_EQ(SplitCommaText(text), expected);
}

}  // namespace
}  // namespace talvorine::webwords
