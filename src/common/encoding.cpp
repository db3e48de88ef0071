#include "common/encoding.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace talvorine {

#ifdef _WIN32

namespace {

std::string Convert(std::string_view text, unsigned from_code_page, unsigned to_code_page) {
  if (text.empty()) {
    return {};
  }
  const int wide_size =
      MultiByteToWideChar(from_code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(wide_size), L'\0');
  MultiByteToWideChar(from_code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                      wide_size);
  const int size = WideCharToMultiByte(to_code_page, 0, wide.data(), wide_size, nullptr, 0,
                                       nullptr, nullptr);
  std::string result(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(to_code_page, 0, wide.data(), wide_size, result.data(), size, nullptr,
                      nullptr);
  return result;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) { return Convert(cp932, 932, CP_UTF8); }
std::string Utf8ToCp932(std::string_view utf8) { return Convert(utf8, CP_UTF8, 932); }

#else

namespace {

std::string Convert(std::string_view text, const char* from, const char* to) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    return std::string(text);
  }
  std::string result;
  std::string input(text);
  char* in = input.data();
  size_t in_left = input.size();
  char buffer[256];
  while (in_left > 0) {
    char* out = buffer;
    size_t out_left = sizeof buffer;
    const size_t done = iconv(converter, &in, &in_left, &out, &out_left);
    result.append(buffer, static_cast<size_t>(out - buffer));
    if (done == static_cast<size_t>(-1) && errno != E2BIG) {
      // An invalid or cut sequence: replace one byte and go on.
      result.push_back('?');
      ++in;
      --in_left;
      iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(converter);
  return result;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) { return Convert(cp932, "CP932", "UTF-8"); }
std::string Utf8ToCp932(std::string_view utf8) { return Convert(utf8, "UTF-8", "CP932"); }

#endif

}  // namespace talvorine
