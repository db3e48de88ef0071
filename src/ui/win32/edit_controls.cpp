#include "ui/win32/controls.h"

#include <algorithm>

#include "ui/win32/control_message.h"
#include "ui/win32/wide_text.h"

namespace talvorine::win32 {

Edit::Edit(Window& owner, const CreateArgs& args, std::function<void(std::string)> on_change)
    : Control(owner, L"EDIT", args, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE),
      on_change(std::move(on_change)) {}

void Edit::SetValue(std::string_view text) {
  SetText(text);
}

void Edit::OnCommand(WORD code) {
  if (code == EN_CHANGE && !updating() && on_change) {
    on_change(Text());
  }
}

Memo::Memo(Window& owner, const CreateArgs& args, std::function<void()> on_change)
    : Control(owner, L"EDIT", args, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_TABSTOP,
              WS_EX_CLIENTEDGE),
      on_change(std::move(on_change)) {
  // The default limit of a multi-line edit is far below what a long session writes.
  Send(hwnd(), EM_SETLIMITTEXT, 0);
}

void Memo::SetValue(std::string_view text) {
  SetText(text);
}

void Memo::Append(std::string_view text) {
  Updating updating(*this);
  DWORD start = 0;
  DWORD end = 0;
  Send(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const auto length = static_cast<DWORD>(GetWindowTextLengthW(hwnd()));
  const std::wstring wide = Cp932ToWide(text);
  Send(hwnd(), EM_SETSEL, length, length);
  Send(hwnd(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
  if (start != length || end != length) {
    Send(hwnd(), EM_SETSEL, start, end);
  }
}

int Memo::LineCount() const {
  return static_cast<int>(Send(hwnd(), EM_GETLINECOUNT));
}

void Memo::RemoveLines(int first, int count) {
  if (count <= 0 || first < 0) {
    return;
  }
  Updating updating(*this);
  const auto begin = static_cast<LONG_PTR>(Send(hwnd(), EM_LINEINDEX, first));
  const auto end = static_cast<LONG_PTR>(Send(hwnd(), EM_LINEINDEX, first + count));
  if (begin < 0 || end <= begin) {
    return;
  }
  const LONG_PTR removed = end - begin;
  DWORD start = 0;
  DWORD stop = 0;
  Send(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&stop));
  Send(hwnd(), EM_SETSEL, begin, end);
  Send(hwnd(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
  // The user's selection stays on the same text; inside the removed lines it moves to their
  // place.
  const auto shift = [begin, removed](DWORD position) {
    const auto at = static_cast<LONG_PTR>(position);
    return static_cast<DWORD>(at < begin ? at : std::max<LONG_PTR>(at - removed, begin));
  };
  Send(hwnd(), EM_SETSEL, shift(start), shift(stop));
}

void Memo::OnCommand(WORD code) {
  if (code == EN_CHANGE && !updating() && on_change) {
    on_change();
  }
}

}  // namespace talvorine::win32
