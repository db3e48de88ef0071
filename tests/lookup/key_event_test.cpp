#include "lookup/key_event.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>

namespace talvorine::lookup {
namespace {

struct StrokeCase {
  const char* name;
  std::uint16_t virtual_key;
  bool shift_down;
  bool caps_lock_down;
  char expected;  // 0: the key contributes nothing
};

constexpr std::array<StrokeCase, 33> kStrokeCases = {{
    {"below the digits", 0x2F, false, false, 0},
    {"digit 0", 0x30, false, false, '0'},
    {"digit 9", 0x39, false, false, '9'},
    {"digit with Shift stays a digit", 0x35, true, false, '5'},
    {"after the digits", 0x3A, false, false, 0},
    {"below the letters", 0x40, false, false, 0},
    {"letter A, nothing held", 0x41, false, false, 'a'},
    {"letter Z, nothing held", 0x5A, false, false, 'z'},
    {"letter A with Shift", 0x41, true, false, 'A'},
    {"letter A with the Caps Lock key held", 0x41, false, true, 'A'},
    {"letter A with Shift and the Caps Lock key", 0x41, true, true, 'a'},
    {"after the letters (left Windows key)", 0x5B, false, false, 0},
    {"below the keypad", 0x5F, false, false, 0},
    {"keypad 0 is the grave accent", 0x60, false, false, '`'},
    {"keypad 0 with Shift", 0x60, true, false, '`'},
    {"keypad 1", 0x61, false, false, 'a'},
    {"keypad 1 with Shift", 0x61, true, false, 'A'},
    {"keypad 1 with the Caps Lock key held", 0x61, false, true, 'A'},
    {"keypad 9", 0x69, false, false, 'i'},
    {"keypad multiply", 0x6A, false, false, 'j'},
    {"keypad add", 0x6B, false, false, 'k'},
    {"keypad separator", 0x6C, false, false, 0},
    {"keypad subtract", 0x6D, false, false, 'm'},
    {"keypad decimal point", 0x6E, false, false, 'n'},
    {"keypad divide", 0x6F, false, false, 'o'},
    {"keypad divide with Shift", 0x6F, true, false, 'O'},
    {"F1", 0x70, false, false, 0},
    {"Backspace", 0x08, false, false, 0},
    {"Enter", 0x0D, false, false, 0},
    {"Escape", 0x1B, false, false, 0},
    {"Shift alone", 0x10, true, false, 0},
    {"a code whose low byte is a letter", 0x141, false, false, 0},
    {"a code whose low byte is a digit", 0xFF31, false, false, 0},
}};

TEST(StrokeCharacter, FiveRangesAndTheCaseRule) {
  for (const StrokeCase& c : kStrokeCases) {
    const std::optional<char> got =
        StrokeCharacter(KeyEvent{c.virtual_key, c.shift_down, c.caps_lock_down});
    if (c.expected == 0) {
      EXPECT_FALSE(got.has_value()) << c.name << ": gave '" << *got << "'";
    } else {
      ASSERT_TRUE(got.has_value()) << c.name << ": gave nothing";
      EXPECT_EQ(*got, c.expected) << c.name;
    }
  }
}

}  // namespace
}  // namespace talvorine::lookup
