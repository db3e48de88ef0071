#pragma once

#include <string_view>

namespace talvorine::desktop {

// The one way the program puts text into another application (by clipboard relay).
class TextInserter {
 public:
  virtual ~TextInserter() = default;
  virtual void InsertText(std::string_view text) = 0;
};

}  // namespace talvorine::desktop
