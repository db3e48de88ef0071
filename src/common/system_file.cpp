#include "common/system_file.h"

#include <string>

#ifdef _WIN32
#include <share.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include "common/encoding.h"
#endif

namespace talvorine {

#ifdef _WIN32

namespace {

std::wstring ToWide(std::string_view text) {
  if (text.empty()) {
    return {};
  }
  const int size = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

}  // namespace

std::FILE* OpenSystemFile(std::string_view path, const char* mode, bool deny_writers) {
  const std::wstring wide_path = ToWide(path);
  const std::wstring wide_mode = ToWide(mode);
  if (deny_writers) {
    return _wfsopen(wide_path.c_str(), wide_mode.c_str(), _SH_DENYWR);
  }
  return _wfopen(wide_path.c_str(), wide_mode.c_str());
}

bool SystemFileExists(std::string_view path) {
  const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveSystemFile(std::string_view path) { return DeleteFileW(ToWide(path).c_str()) != 0; }

#else

namespace {

// The program names its fixed files like ".\Last.tvs". After the conversion to UTF-8 a
// backslash can only be a separator (in cp932 it may also be the second byte of a character).
std::string ToSystemPath(std::string_view path) {
  std::string utf8 = Cp932ToUtf8(path);
  for (char& c : utf8) {
    if (c == '\\') {
      c = '/';
    }
  }
  return utf8;
}

}  // namespace

std::FILE* OpenSystemFile(std::string_view path, const char* mode, bool /*deny_writers*/) {
  return std::fopen(ToSystemPath(path).c_str(), mode);
}

bool SystemFileExists(std::string_view path) {
  struct stat info {};
  return stat(ToSystemPath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool RemoveSystemFile(std::string_view path) { return unlink(ToSystemPath(path).c_str()) == 0; }

#endif

}  // namespace talvorine
