#include "common/system_file.h"

#include <algorithm>
#include <atomic>
#include <string>

#ifdef _WIN32
#include <share.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "common/encoding.h"
#endif

namespace talvorine {

namespace {

// Numbers the new files of ReplaceSystemFile, so that two saves never pick the same name.
std::atomic<unsigned> replacement_counter{0};

constexpr int kTemporaryNameAttempts = 100;

}  // namespace

#ifdef _WIN32

namespace {

std::wstring ToWide(std::string_view text) {
  if (text.empty()) {
    return {};
  }
  const int size =
      MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
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

bool RemoveSystemFile(std::string_view path) {
  return DeleteFileW(ToWide(path).c_str()) != 0;
}

ReplaceFileResult ReplaceSystemFile(std::string_view path,
                                    const std::function<std::string_view()>& next_block) {
  const std::wstring target = ToWide(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return ReplaceFileResult::kCannotCreate;
  }
  // The new file must lie on the target's volume, or the move would be a copy.
  const size_t separator = target.find_last_of(L"\\/");
  const std::wstring folder =
      separator == std::wstring::npos ? std::wstring() : target.substr(0, separator + 1);
  std::wstring temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    temporary = folder + L"~talvorine-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(replacement_counter++) + L".tmp";
    file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = GetLastError();
    if (file != INVALID_HANDLE_VALUE ||
        (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)) {
      break;
    }
  }
  if (file == INVALID_HANDLE_VALUE) {
    return ReplaceFileResult::kCannotCreate;
  }
  bool written = true;
  try {
    for (std::string_view bytes = next_block(); written && !bytes.empty();) {
      size_t offset = 0;
      while (written && offset < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - offset, 1u << 30));
        DWORD done = 0;
        written = WriteFile(file, bytes.data() + offset, chunk, &done, nullptr) && done != 0;
        offset += done;
      }
      if (written) {
        bytes = next_block();
      }
    }
  } catch (...) {
    CloseHandle(file);
    DeleteFileW(temporary.c_str());
    throw;
  }
  written = written && FlushFileBuffers(file);
  written = CloseHandle(file) && written;
  if (!written) {
    DeleteFileW(temporary.c_str());
    return ReplaceFileResult::kWriteFailed;
  }
  if (!MoveFileExW(temporary.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary.c_str());
    return ReplaceFileResult::kCannotCreate;
  }
  return ReplaceFileResult::kReplaced;
}

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

bool RemoveSystemFile(std::string_view path) {
  return unlink(ToSystemPath(path).c_str()) == 0;
}

namespace {

bool WriteAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = write(descriptor, bytes.data(), bytes.size());
    if (done < 0 && errno == EINTR) {
      continue;
    }
    if (done <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(done));
  }
  return true;
}

// Makes a rename in the folder survive a power cut. Nothing is lost if this fails: the rename
// itself has happened.
void SyncFolder(const std::string& folder) {
  const int descriptor = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (descriptor >= 0) {
    fsync(descriptor);
    close(descriptor);
  }
}

}  // namespace

ReplaceFileResult ReplaceSystemFile(std::string_view path,
                                    const std::function<std::string_view()>& next_block) {
  std::string target = ToSystemPath(path);
  struct stat link_info {};
  if (lstat(target.c_str(), &link_info) == 0 && S_ISLNK(link_info.st_mode)) {
    if (char* resolved = realpath(target.c_str(), nullptr)) {
      target = resolved;
      std::free(resolved);
    }
  }
  struct stat info {};
  const bool exists = stat(target.c_str(), &info) == 0;
  // A process of root may write any file, and rename passes over read-only files for everyone:
  // the write bits say whether the user meant the file to stay as it is.
  if (exists &&
      (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0)) {
    return ReplaceFileResult::kCannotCreate;
  }
  const size_t separator = target.rfind('/');
  const std::string folder = separator == std::string::npos ? "" : target.substr(0, separator + 1);
  std::string temporary;
  int descriptor = -1;
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    temporary = folder + ".talvorine-" + std::to_string(getpid()) + "-" +
                std::to_string(replacement_counter++) + ".tmp";
    descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor >= 0 || errno != EEXIST) {
      break;
    }
  }
  if (descriptor < 0) {
    return ReplaceFileResult::kCannotCreate;
  }
  if (exists) {
    fchmod(descriptor, info.st_mode & 07777);
  }
  bool written = true;
  try {
    for (std::string_view bytes = next_block(); written && !bytes.empty();) {
      written = WriteAll(descriptor, bytes);
      if (written) {
        bytes = next_block();
      }
    }
  } catch (...) {
    close(descriptor);
    unlink(temporary.c_str());
    throw;
  }
  written = written && fsync(descriptor) == 0;
  written = close(descriptor) == 0 && written;
  if (!written) {
    unlink(temporary.c_str());
    return ReplaceFileResult::kWriteFailed;
  }
  if (rename(temporary.c_str(), target.c_str()) != 0) {
    unlink(temporary.c_str());
    return ReplaceFileResult::kCannotCreate;
  }
  SyncFolder(folder);
  return ReplaceFileResult::kReplaced;
}

#endif

ReplaceFileResult ReplaceSystemFile(std::string_view path, std::string_view bytes) {
  bool handed_out = false;
  return ReplaceSystemFile(path, [&]() -> std::string_view {
    if (handed_out) {
      return {};
    }
    handed_out = true;
    return bytes;
  });
}

}  // namespace talvorine
