#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "files/dialogs.h"

namespace talvorine::win32 {

// The Dialogs port: the common open and save dialogs built from each dialog's FileDialogSpec,
// and the one-line input dialog, all modal to the owner window. No dialog changes the working
// directory, which every fixed file name of the program is relative to.
class Win32Dialogs : public files::Dialogs {
 public:
  Win32Dialogs() = default;
  void SetOwner(HWND owner) { owner_ = owner; }

  std::optional<std::string> RunFileDialog(files::FileDialogId id,
                                           std::string_view initial_name = {}) override;
  std::optional<std::string> InputQuery(std::string_view title, std::string_view prompt,
                                        std::string_view initial_text, int max_length) override;

 private:
  HWND owner_ = nullptr;
};

// The OPENFILENAME filter for a "description|pattern|..." text: every "|" becomes a NUL and the
// list ends in two NULs; empty for an empty text.
std::wstring FileDialogFilter(std::string_view filter);
// The OPENFILENAME flags of a dialog.
DWORD FileDialogFlags(const files::FileDialogSpec& dialog_spec);

}  // namespace talvorine::win32
