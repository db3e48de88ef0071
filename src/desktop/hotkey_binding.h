#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace talvorine::desktop {

// Hotkey ids.
inline constexpr int HK_START = 0;
inline constexpr int HK_GET = 1;
inline constexpr int HK_SET = 2;
inline constexpr int HK_SEND = 3;
inline constexpr int HK_FSEND = 4;

// The items of the modifier drop-down lists, in list order.
inline constexpr std::array<std::string_view, 6> kModifierItems = {
    "CTRL", "SHIFT", "Alt", "CTRL+SHIFT", "CTRL+ALT", "SHIFT+ALT"};

struct KeyItem {
  std::string_view text;
  std::uint16_t virtual_key;
};

// The items of the key drop-down lists, in list order, with their virtual keys.
extern const std::array<KeyItem, 45> kKeyItems;

// The text a modifier list shows for a selected index; empty for no selection (-1) or an index
// outside the list.
std::string_view ModifierItemText(int index);

// Modifier flags read from an item text: the flags of every word it contains, added together.
std::uint32_t ModifiersFromItemText(std::string_view item_text);

// The virtual key of a key list's selected index; no selection or an index outside the list
// counts as index 0 ("SPACE").
std::uint16_t VirtualKeyFromIndex(int index);

}  // namespace talvorine::desktop
