#include "lookup/key_event.h"

namespace talvorine::lookup {

namespace {

bool IsStrokeKey(std::uint16_t vk) {
  return (vk >= 0x30 && vk <= 0x39) || (vk >= 0x41 && vk <= 0x5A) || (vk >= 0x60 && vk <= 0x6B) ||
         (vk >= 0x6D && vk <= 0x6F);
}

}  // namespace

std::optional<char> StrokeCharacter(KeyEvent key) {
  if (!IsStrokeKey(key.virtual_key)) {
    return std::nullopt;
  }
  // The character is the one whose code equals the key code: the keypad keys 0x60-0x6F give
  // the grave accent and "a" to "o", which the case rule then treats like letters.
  const char c = static_cast<char>(key.virtual_key);
  const bool upper = key.shift_down != key.caps_lock_down;
  if (upper && c >= 'a' && c <= 'z') {
    return static_cast<char>(c - 'a' + 'A');
  }
  if (!upper && c >= 'A' && c <= 'Z') {
    return static_cast<char>(c - 'A' + 'a');
  }
  return c;
}

}  // namespace talvorine::lookup
