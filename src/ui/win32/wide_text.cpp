#include "ui/win32/wide_text.h"

#include <windows.h>

namespace talvorine::win32 {

std::wstring Cp932ToWide(std::string_view text) {
  if (text.empty()) {
    return {};
  }
  const int size =
      MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::string WideToCp932(std::wstring_view text) {
  if (text.empty()) {
    return {};
  }
  const int size = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                       0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size,
                      nullptr, nullptr);
  return narrow;
}

}  // namespace talvorine::win32
