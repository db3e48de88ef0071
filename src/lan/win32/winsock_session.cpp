#include "lan/win32/winsock_session.h"

#include <windows.h>

#include "ui/win32/wide_text.h"
#include "common/error.h"

namespace talvorine::win32 {

WinsockSession::WinsockSession() {
  WSADATA data;
  const int result = WSAStartup(MAKEWORD(2, 2), &data);
  if (result != 0) {
    throw Error(WithSystemReason("Winsock を開始できません", result));
  }
  started_ = true;
}

WinsockSession::~WinsockSession() {
  if (started_) {
    WSACleanup();
  }
}

std::string WithSystemReason(std::string_view message, int error_code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error_code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring reason;
  if (length > 0 && text != nullptr) {
    reason.assign(text, length);
    // The system's text ends in a line break.
    while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' ||
                               reason.back() == L' ' || reason.back() == L'.')) {
      reason.pop_back();
    }
  }
  if (text != nullptr) {
    LocalFree(text);
  }
  std::string result(message);
  result += " (";
  result += std::to_string(error_code);
  if (!reason.empty()) {
    result += ": ";
    result += WideToCp932(reason);
  }
  result += ")";
  return result;
}

}  // namespace talvorine::win32
