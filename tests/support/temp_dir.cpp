#include "support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "common/encoding.h"
#include "common/system_file.h"

namespace talvorine::testing {

namespace {

std::filesystem::path MakeUniqueDir() {
  static std::atomic<int> counter{0};
  const auto base = std::filesystem::temp_directory_path();
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("talvorine-test-" + std::to_string(stamp) + "-" +
                             std::to_string(counter++));
    if (std::filesystem::create_directory(candidate)) {
      return candidate;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}

}  // namespace

TempDir::TempDir() : path_(MakeUniqueDir()) {}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::File(std::string_view cp932_name) const {
  const auto utf8 = path_.u8string();
  std::string path = Utf8ToCp932(std::string(utf8.begin(), utf8.end()));
  path += static_cast<char>(std::filesystem::path::preferred_separator);
  path += cp932_name;
  return path;
}

TempWorkingDir::TempWorkingDir() : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(path());
}

TempWorkingDir::~TempWorkingDir() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
}

std::string ReadFileBytes(std::string_view path) {
  std::FILE* file = OpenSystemFile(path, "rb");
  if (!file) {
    throw std::runtime_error("cannot read " + Cp932ToUtf8(path));
  }
  std::string bytes;
  char buffer[65536];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, count);
  }
  std::fclose(file);
  return bytes;
}

void WriteFileBytes(std::string_view path, std::string_view bytes) {
  std::FILE* file = OpenSystemFile(path, "wb");
  if (!file) {
    throw std::runtime_error("cannot write " + Cp932ToUtf8(path));
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written) {
    throw std::runtime_error("cannot write " + Cp932ToUtf8(path));
  }
}

}  // namespace talvorine::testing
