#pragma once

#include <cstdint>
#include <optional>

namespace talvorine::lookup {

// The virtual-key codes the key step treats on their own.
inline constexpr std::uint16_t kVkBack = 0x08;
inline constexpr std::uint16_t kVkReturn = 0x0D;
inline constexpr std::uint16_t kVkEscape = 0x1B;

// One key press in the candidate window: a Win32 virtual-key code and two key states sampled
// when it is handled. Ctrl and Alt play no part.
struct KeyEvent {
  std::uint16_t virtual_key = 0;
  bool shift_down = false;
  // Whether the Caps Lock key itself is held down now, not whether Caps Lock is switched on.
  bool caps_lock_down = false;
};

// The stroke character a key adds to the StrokeBuffer, or none for a key outside the five
// stroke ranges (main-block digits, letters, keypad digits, keypad * + and keypad - . /).
std::optional<char> StrokeCharacter(KeyEvent key);

}  // namespace talvorine::lookup
