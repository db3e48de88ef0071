#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "files/dialogs.h"

namespace talvorine::files::testing {

// Answers file dialogs from a queue (a path, or nothing for cancel) and keeps which ran.
class FakeDialogs : public Dialogs {
 public:
  std::optional<std::string> RunFileDialog(FileDialogId id,
                                           std::string_view /*initial_name*/) override {
    shown.push_back(id);
    if (answers.empty()) {
      return std::nullopt;
    }
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::optional<std::string> InputQuery(std::string_view, std::string_view, std::string_view,
                                        int) override {
    return std::nullopt;
  }

  std::deque<std::optional<std::string>> answers;
  std::vector<FileDialogId> shown;
};

}  // namespace talvorine::files::testing
