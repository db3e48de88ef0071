#include "desktop/hotkey_binding.h"

#include <gtest/gtest.h>

#include "desktop/desktop.h"

namespace talvorine::desktop {
namespace {

struct ModifierCase {
  int index;
  std::uint32_t modifiers;
};

constexpr ModifierCase kModifierCases[] = {
    {0, kModControl},
    {1, kModShift},
    {2, kModAlt},
    {3, kModControl | kModShift},
    {4, kModControl | kModAlt},
    {5, kModShift | kModAlt},
    {-1, 0},  // no selection: no modifier at all
    {6, 0},
};

TEST(HotkeyBinding, ModifiersComeFromTheWordsOfTheSelectedItem) {
  for (const auto& c : kModifierCases) {
    EXPECT_EQ(ModifiersFromItemText(ModifierItemText(c.index)), c.modifiers)
        << "modifier index " << c.index;
  }
}

TEST(HotkeyBinding, AltIsFoundInEitherSpelling) {
  EXPECT_EQ(ModifiersFromItemText("Alt"), kModAlt);
  EXPECT_EQ(ModifiersFromItemText("ALT"), kModAlt);
  EXPECT_EQ(ModifiersFromItemText("alt"), 0u);
}

struct KeyCase {
  int index;
  std::uint16_t virtual_key;
};

constexpr KeyCase kKeyCases[] = {
    {0, 0x20}, {1, 0x21}, {2, 0x22}, {3, 0x23}, {4, 0x24},
    {5, 0x2A},  // "Print" is VK_PRINT, not Print Screen (0x2C)
    {6, 0x2D}, {7, 0x2E}, {8, 0x2F}, {9, 0x30}, {10, 0x31}, {18, 0x39}, {19, 0x41}, {44, 0x5A},
    {-1, 0x20},  // no selection counts as "SPACE"
    {45, 0x20},
};

TEST(HotkeyBinding, KeysComeFromTheSelectedIndex) {
  for (const auto& c : kKeyCases) {
    EXPECT_EQ(VirtualKeyFromIndex(c.index), c.virtual_key) << "key index " << c.index;
  }
}

TEST(HotkeyBinding, TheKeyListHoldsItsFortyFiveItemsInOrder) {
  EXPECT_EQ(kKeyItems.front().text, "SPACE");
  EXPECT_EQ(kKeyItems[9].text, "0");
  EXPECT_EQ(kKeyItems[19].text, "A");
  EXPECT_EQ(kKeyItems.back().text, "Z");
  for (size_t i = 19; i < kKeyItems.size(); ++i) {
    EXPECT_EQ(kKeyItems[i].virtual_key, kKeyItems[i].text[0]) << kKeyItems[i].text;
  }
}

}  // namespace
}  // namespace talvorine::desktop
