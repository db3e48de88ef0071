#pragma once

#include <filesystem>
#include <set>
#include <string>

#include "common/error.h"

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

namespace talvorine::files::testing {

// The message of the Error that action throws, or "(no error)".
template <typename Action>
std::string ErrorMessageOf(Action&& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "(no error)";
}

// The names of the entries of a folder (UTF-8), to show that a save leaves no stray files.
inline std::set<std::string> FolderEntries(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::u8string name = entry.path().filename().u8string();
    names.insert(std::string(name.begin(), name.end()));
  }
  return names;
}

inline void MakeReadOnly(const std::filesystem::path& file) {
  std::filesystem::permissions(file,
                               std::filesystem::perms::owner_write |
                                   std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
}

#ifndef _WIN32
// Lets no file of this process grow beyond a few bytes, as a full disk would, for the
// lifetime of the object. Writes past the limit fail with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &previous_);
    previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    ok_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previous_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  bool ok() const { return ok_; }

 private:
  rlimit previous_{};
  void (*previous_handler_)(int) = SIG_DFL;
  bool ok_ = false;
};
#endif

}  // namespace talvorine::files::testing
