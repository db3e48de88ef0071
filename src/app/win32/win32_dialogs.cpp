#include "app/win32/win32_dialogs.h"

#include <commdlg.h>

#include <vector>

#include "ui/win32/wide_text.h"

namespace talvorine::win32 {

namespace {

constexpr DWORD kPathBufferLength = 32768;

// The working directory as it was, put back when the dialog has closed: OFN_NOCHANGEDIR is
// asked for as well, but the fixed file names must not depend on every system honouring it.
class KeepWorkingDirectory {
 public:
  KeepWorkingDirectory() {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    directory_.resize(length);
    directory_.resize(GetCurrentDirectoryW(length, directory_.data()));
  }
  ~KeepWorkingDirectory() {
    if (!directory_.empty()) {
      SetCurrentDirectoryW(directory_.c_str());
    }
  }
  KeepWorkingDirectory(const KeepWorkingDirectory&) = delete;
  KeepWorkingDirectory& operator=(const KeepWorkingDirectory&) = delete;
  const wchar_t* directory() const { return directory_.empty() ? nullptr : directory_.c_str(); }

 private:
  std::wstring directory_;
};

// ----- The one-line input dialog, from a template built in memory -----------------------------

constexpr int kPromptId = 100;
constexpr int kEditId = 101;

struct InputState {
  std::wstring title;
  std::wstring prompt;
  std::wstring text;
  int max_length;
};

class TemplateWriter {
 public:
  void Word(WORD value) { words_.push_back(value); }
  void DoubleWord(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
  }
  void Text(std::wstring_view text) {
    for (wchar_t character : text) {
      Word(static_cast<WORD>(character));
    }
    Word(0);
  }
  void AlignToDoubleWord() {
    if (words_.size() % 2 != 0) {
      Word(0);
    }
  }
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD class_atom,
            std::wstring_view text) {
    AlignToDoubleWord();
    DoubleWord(style | WS_CHILD | WS_VISIBLE);
    DoubleWord(0);
    Word(static_cast<WORD>(x));
    Word(static_cast<WORD>(y));
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Word(id);
    Word(0xFFFF);
    Word(class_atom);
    Text(text);
    Word(0);  // no creation data
  }
  const DLGTEMPLATE* Template() const {
    return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
  }

 private:
  std::vector<WORD> words_;
};

INT_PTR CALLBACK InputDialogProc(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param) {
  auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<InputState*>(l_param);
      SetWindowLongPtrW(dialog, DWLP_USER, l_param);
      SetWindowTextW(dialog, state->title.c_str());
      SetDlgItemTextW(dialog, kPromptId, state->prompt.c_str());
      HWND edit = GetDlgItem(dialog, kEditId);
      SetWindowTextW(edit, state->text.c_str());
      if (state->max_length > 0) {
        SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(state->max_length), 0);
      }
      SendMessageW(edit, EM_SETSEL, 0, -1);
      SetFocus(edit);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(w_param) == IDOK && state != nullptr) {
        HWND edit = GetDlgItem(dialog, kEditId);
        const int length = GetWindowTextLengthW(edit);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), length + 1)));
        state->text = std::move(text);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(w_param) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

std::wstring FileDialogFilter(std::string_view filter) {
  if (filter.empty()) {
    return {};
  }
  std::wstring wide = Cp932ToWide(filter);
  for (wchar_t& character : wide) {
    if (character == L'|') {
      character = L'\0';
    }
  }
  wide.push_back(L'\0');
  wide.push_back(L'\0');
  return wide;
}

DWORD FileDialogFlags(const files::FileDialogSpec& dialog_spec) {
  DWORD flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  if (dialog_spec.file_must_exist) {
    flags |= OFN_FILEMUSTEXIST;
  }
  if (dialog_spec.path_must_exist) {
    flags |= OFN_PATHMUSTEXIST;
  }
  if (dialog_spec.prompt_overwrite) {
    flags |= OFN_OVERWRITEPROMPT;
  }
  if (dialog_spec.prompt_create) {
    flags |= OFN_CREATEPROMPT;
  }
  return flags;
}

std::optional<std::string> Win32Dialogs::RunFileDialog(files::FileDialogId id,
                                                       std::string_view initial_name) {
  const files::FileDialogSpec& dialog_spec = files::DialogSpec(id);
  const std::wstring filter = FileDialogFilter(dialog_spec.filter);
  const std::wstring title = Cp932ToWide(dialog_spec.title);
  const std::wstring extension = Cp932ToWide(dialog_spec.default_extension);
  std::wstring path = Cp932ToWide(initial_name.empty() ? dialog_spec.initial_name : initial_name);
  path.resize(kPathBufferLength, L'\0');

  KeepWorkingDirectory keep;
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathBufferLength;
  dialog.lpstrTitle = title.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  dialog.Flags = FileDialogFlags(dialog_spec);
  // Every dialog opens in the working directory, where ".\自動読込.tvs" and the other fixed
  // files are looked for, not in whatever folder the system remembers from an earlier run.
  dialog.lpstrInitialDir = keep.directory();

  const BOOL chosen = dialog_spec.kind == files::FileDialogKind::kOpen ? GetOpenFileNameW(&dialog)
                                                                       : GetSaveFileNameW(&dialog);
  if (!chosen) {
    return std::nullopt;
  }
  path.resize(path.find(L'\0'));
  return WideToCp932(path);
}

std::optional<std::string> Win32Dialogs::InputQuery(std::string_view title, std::string_view prompt,
                                                    std::string_view initial_text, int max_length) {
  InputState state{Cp932ToWide(title), Cp932ToWide(prompt), Cp932ToWide(initial_text), max_length};
  TemplateWriter writer;
  // DLGTEMPLATE: style, extended style, item count, place and size in dialog units.
  writer.DoubleWord(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  writer.DoubleWord(0);
  writer.Word(4);
  writer.Word(0);
  writer.Word(0);
  writer.Word(260);
  writer.Word(66);
  writer.Word(0);  // no menu
  writer.Word(0);  // the standard dialog class
  writer.Text(L"");
  writer.Word(9);
  writer.Text(L"MS Shell Dlg");
  writer.Item(SS_LEFT, 7, 7, 246, 10, kPromptId, 0x0082, L"");
  writer.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 20, 246, 13, kEditId, 0x0081, L"");
  writer.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 146, 44, 50, 14, IDOK, 0x0080, L"OK");
  writer.Item(BS_PUSHBUTTON | WS_TABSTOP, 203, 44, 50, 14, IDCANCEL, 0x0080,
              Cp932ToWide("キャンセル"));
  const INT_PTR answer =
      DialogBoxIndirectParamW(GetModuleHandleW(nullptr), writer.Template(), owner_, InputDialogProc,
                              reinterpret_cast<LPARAM>(&state));
  if (answer != IDOK) {
    return std::nullopt;
  }
  return WideToCp932(state.text);
}

}  // namespace talvorine::win32
