#include "terminal_peer.h"

#include <chrono>
#include <iostream>
#include <thread>

#include "common/encoding.h"
#include "common/error.h"
#include "lan/receiver.h"

namespace talvorine::tools {

using desktop::MessageBoxResult;
using desktop::MessageBoxStyle;

namespace {

constexpr std::string_view kFallbackSaveName = "received-file";

std::optional<std::string> ReadAnswer(std::string_view prompt) {
  std::fwrite(prompt.data(), 1, prompt.size(), stdout);
  std::fflush(stdout);
  std::string answer;
  if (!std::getline(std::cin, answer)) {
    return std::nullopt;
  }
  return answer;
}

}  // namespace

std::string TerminalLine(std::string_view cp932_text) {
  std::string line;
  for (const char c : Cp932ToUtf8(cp932_text)) {
    switch (c) {
      case '\\':
        line += "\\\\";
        break;
      case '\r':
        line += "\\r";
        break;
      case '\n':
        line += "\\n";
        break;
      default:
        line += c;
    }
  }
  return line;
}

void PrintLine(std::FILE* stream, std::string_view utf8_line) {
  std::fwrite(utf8_line.data(), 1, utf8_line.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

TerminalDialogs::TerminalDialogs(std::string save_dir, std::string file_to_send)
    : save_dir_(std::move(save_dir)), file_to_send_(std::move(file_to_send)) {}

std::optional<std::string> TerminalDialogs::RunFileDialog(files::FileDialogId id,
                                                          std::string_view initial_name) {
  if (id == files::FileDialogId::kSendFileDialog) {
    return file_to_send_;
  }
  if (id != files::FileDialogId::kNWRecvFile) {
    return std::nullopt;
  }
  const std::string name =
      initial_name.empty() ? std::string(kFallbackSaveName) : std::string(initial_name);
  std::string chosen;
  if (save_dir_.empty()) {
    const auto answer = ReadAnswer("save as [" + TerminalLine(name) + "]: ");
    if (!answer) {
      return std::nullopt;
    }
    chosen = answer->empty() ? name : Utf8ToCp932(*answer);
  } else {
    chosen = Utf8ToCp932(save_dir_) + "/" + name;
  }
  last_chosen_ = chosen;
  return chosen;
}

MessageBoxResult TerminalDesktop::ShowMessageBox(std::string_view text, std::string_view caption,
                                                 MessageBoxStyle style) {
  if (style == MessageBoxStyle::kYesNoWarningNo) {
    // A file that did not arrive whole is saved only when the user says so.
    PrintLine(stdout, "incomplete file: " + TerminalLine(text));
    if (!dialogs_.asks()) {
      return MessageBoxResult::kNo;
    }
  }
  if (style == MessageBoxStyle::kYesNoInformation || style == MessageBoxStyle::kYesNoWarningNo) {
    if (!dialogs_.asks()) {
      return MessageBoxResult::kYes;
    }
    const auto answer = ReadAnswer(TerminalLine(text) + " [y/N] ");
    return answer && (*answer == "y" || *answer == "Y" || *answer == "yes") ? MessageBoxResult::kYes
                                                                            : MessageBoxResult::kNo;
  }
  if (text == lan::kSentText) {
    PrintLine(stdout, "own file sent");
  } else if (text == lan::kSavedText) {
    PrintLine(stdout, "saved file: " + TerminalLine(dialogs_.last_chosen()));
  } else if (text == FormatMessageText(lan::kNotSavedText, dialogs_.last_chosen())) {
    PrintLine(stdout, "not saved: " + TerminalLine(dialogs_.last_chosen()));
  } else {
    PrintLine(stdout, TerminalLine(std::string(caption) + ": " + std::string(text)));
  }
  return MessageBoxResult::kOk;
}

void TerminalDesktop::Sleep(std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void TerminalView::SetEdit1Text(std::string_view text) {
  PrintLine(stdout, "received text: " + TerminalLine(text));
}

void TerminalRecord::AddLine(std::string_view text) {
  if (report_failures_) {
    ++failures_;
    PrintLine(stderr, "error: " + TerminalLine(text));
  }
}

}  // namespace talvorine::tools
