#pragma once

#include <string_view>

namespace talvorine::desktop {

// What comes just before an insertion, which decides whether the paste waits for another
// program to come to the front.
enum class InsertAfter {
  kHotkey,                 // the keyboard is where the user left it; the paste goes there
  kCandidateWindowHidden,  // the program the user came from is on its way back to the front
};

// The one way the program puts text into another application (by clipboard relay).
class TextInserter {
 public:
  virtual ~TextInserter() = default;
  virtual void InsertText(std::string_view text, InsertAfter after) = 0;
};

}  // namespace talvorine::desktop
