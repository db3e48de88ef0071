#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace talvorine::lookup {

// The stroke characters typed since the candidate window opened (ASCII only, no length limit).
class StrokeBuffer {
 public:
  std::string_view text() const { return text_; }
  std::size_t size() const { return text_.size(); }
  bool empty() const { return text_.empty(); }

  void Append(char stroke_character) { text_.push_back(stroke_character); }
  // Removes the last character; nothing happens on an empty buffer.
  void RemoveLast() {
    if (!text_.empty()) {
      text_.pop_back();
    }
  }
  void Clear() { text_.clear(); }

 private:
  std::string text_;
};

}  // namespace talvorine::lookup
