#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talvorine::files {

// The program's file dialogs, by name.
enum class FileDialogId {
  kSetLoadDlg,      // open a settings file
  kSaveSetDlg,      // save a settings file
  kWordLoadDlg,     // open a phrase list file
  kSaveWordDlg,     // save a phrase list file
  kSendFileDialog,  // choose a file to send to the LAN
  kNWRecvFile,      // save a file received from the LAN
};

enum class FileDialogKind { kOpen, kSave };

// How a dialog looks and what it allows. The Win32 layer turns this into OPENFILENAMEW.
// No dialog changes the working directory, and all hide the read-only box and can be resized.
struct FileDialogSpec {
  FileDialogKind kind;
  std::string_view title;
  // Pairs of description and pattern separated by "|", as "テキスト(*.txt)|*.txt"; may be empty.
  std::string_view filter;
  std::string_view default_extension;  // without the dot; may be empty
  std::string_view initial_name;       // may be empty
  bool file_must_exist;
  bool path_must_exist;
  bool prompt_overwrite;
  bool prompt_create;
};

const FileDialogSpec& DialogSpec(FileDialogId id);

// Dialogs port: modal dialogs of the main window. Texts and paths are cp932.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Runs a file dialog; the chosen path, or nothing when the user cancels. A non-empty
  // initial_name replaces the dialog's own initial file name.
  virtual std::optional<std::string> RunFileDialog(FileDialogId id,
                                                   std::string_view initial_name = {}) = 0;
  // The one-line input dialog; the text confirmed, or nothing on cancel. The initial text starts
  // selected; at most max_length characters can be typed.
  virtual std::optional<std::string> InputQuery(std::string_view title, std::string_view prompt,
                                                std::string_view initial_text,
                                                int max_length) = 0;
};

}  // namespace talvorine::files
