#include "terminal_peer.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
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
// How many ".N" names a taken name may get before the file is not saved.
constexpr int kMaxNameSuffix = 999;

// The proposed name as a plain name inside the save folder (UTF-8): its last part only, never
// "." or "..", control characters replaced.
std::string SafeFileName(std::string_view cp932_name) {
  std::string name = Cp932ToUtf8(cp932_name);
  const std::size_t cut = name.find_last_of("/\\");
  if (cut != std::string::npos) {
    name.erase(0, cut + 1);
  }
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      c = '_';
    }
  }
  if (name.empty() || name == "." || name == "..") {
    name = kFallbackSaveName;
  }
  return name;
}

// Whether saving may write to path: nothing is there, or with overwrite a regular file that no
// other name shares. A link (symbolic or hard) could lead the write out of the save folder.
bool MayWriteTo(const std::filesystem::path& path, bool overwrite) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::symlink_status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    return true;
  }
  if (error || !overwrite || status.type() != std::filesystem::file_type::regular) {
    return false;
  }
  const std::uintmax_t links = std::filesystem::hard_link_count(path, error);
  return !error && links == 1;
}

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
  static constexpr char kHex[] = "0123456789abcdef";
  const std::string utf8 = Cp932ToUtf8(cp932_text);
  std::string line;
  line.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte == '\\') {
      line += "\\\\";
    } else if (byte == '\r') {
      line += "\\r";
    } else if (byte == '\n') {
      line += "\\n";
    } else if (byte < 0x20 || byte == 0x7F) {
      // ESC, BEL and the rest would let a peer drive the terminal (retitle it, clear it, set
      // its clipboard).
      line += "\\x";
      line += kHex[byte >> 4];
      line += kHex[byte & 0xF];
    } else if (byte == 0xC2 && i + 1 < utf8.size() &&
               static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
      // U+0080 to U+009F, the C1 controls: some terminals take U+009B as ESC [.
      const auto code = static_cast<unsigned char>(utf8[++i]);
      line += "\\u00";
      line += kHex[code >> 4];
      line += kHex[code & 0xF];
    } else {
      line += static_cast<char>(byte);
    }
  }
  return line;
}

void PrintLine(std::FILE* stream, std::string_view utf8_line) {
  std::fwrite(utf8_line.data(), 1, utf8_line.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

TerminalDialogs::TerminalDialogs(std::string save_dir, bool overwrite, std::string file_to_send)
    : save_dir_(std::move(save_dir)),
      overwrite_(overwrite),
      file_to_send_(std::move(file_to_send)) {}

std::optional<std::string> TerminalDialogs::RunFileDialog(files::FileDialogId id,
                                                          std::string_view initial_name) {
  if (id == files::FileDialogId::kSendFileDialog) {
    return file_to_send_;
  }
  if (id != files::FileDialogId::kNWRecvFile) {
    return std::nullopt;
  }
  if (save_dir_.empty()) {
    const std::string name =
        initial_name.empty() ? std::string(kFallbackSaveName) : std::string(initial_name);
    const auto answer = ReadAnswer("save as [" + TerminalLine(name) + "]: ");
    if (!answer) {
      return std::nullopt;
    }
    last_chosen_ = answer->empty() ? name : Utf8ToCp932(*answer);
    return last_chosen_;
  }
  const std::string name = SafeFileName(initial_name);
  const std::filesystem::path folder(save_dir_);
  for (int suffix = 0; suffix <= kMaxNameSuffix; ++suffix) {
    const std::filesystem::path path =
        folder / (suffix == 0 ? name : name + "." + std::to_string(suffix));
    if (MayWriteTo(path, overwrite_)) {
      last_chosen_ = Utf8ToCp932(path.string());
      return last_chosen_;
    }
  }
  PrintLine(stdout, "not saved: " + TerminalLine(Utf8ToCp932((folder / name).string())) +
                        " (no free name)");
  return std::nullopt;
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
