#include "desktop/hotkey_binding.h"

#include "desktop/desktop.h"

namespace talvorine::desktop {

const std::array<KeyItem, 45> kKeyItems = {{
    {"SPACE", 0x20}, {"Page UP", 0x21}, {"Page Down", 0x22}, {"End", 0x23}, {"Home", 0x24},
    {"Print", 0x2A},  // VK_PRINT, not the Print Screen key
    {"Insert", 0x2D}, {"Delete", 0x2E}, {"Help", 0x2F},
    {"0", 0x30}, {"1", 0x31}, {"2", 0x32}, {"3", 0x33}, {"4", 0x34},
    {"5", 0x35}, {"6", 0x36}, {"7", 0x37}, {"8", 0x38}, {"9", 0x39},
    {"A", 0x41}, {"B", 0x42}, {"C", 0x43}, {"D", 0x44}, {"E", 0x45}, {"F", 0x46}, {"G", 0x47},
    {"H", 0x48}, {"I", 0x49}, {"J", 0x4A}, {"K", 0x4B}, {"L", 0x4C}, {"M", 0x4D}, {"N", 0x4E},
    {"O", 0x4F}, {"P", 0x50}, {"Q", 0x51}, {"R", 0x52}, {"S", 0x53}, {"T", 0x54}, {"U", 0x55},
    {"V", 0x56}, {"W", 0x57}, {"X", 0x58}, {"Y", 0x59}, {"Z", 0x5A},
}};

std::string_view ModifierItemText(int index) {
  if (index < 0 || index >= static_cast<int>(kModifierItems.size())) {
    return {};
  }
  return kModifierItems[static_cast<size_t>(index)];
}

std::uint32_t ModifiersFromItemText(std::string_view item_text) {
  std::uint32_t modifiers = 0;
  if (item_text.find("CTRL") != std::string_view::npos) {
    modifiers += kModControl;
  }
  if (item_text.find("SHIFT") != std::string_view::npos) {
    modifiers += kModShift;
  }
  if (item_text.find("Alt") != std::string_view::npos ||
      item_text.find("ALT") != std::string_view::npos) {
    modifiers += kModAlt;
  }
  return modifiers;
}

std::uint16_t VirtualKeyFromIndex(int index) {
  if (index < 0 || index >= static_cast<int>(kKeyItems.size())) {
    index = 0;
  }
  return kKeyItems[static_cast<size_t>(index)].virtual_key;
}

}  // namespace talvorine::desktop
