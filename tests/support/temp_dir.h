#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace talvorine::testing {

// A fresh directory that is removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // A path inside the directory as the core's cp932 path text. Narrow literals in the sources
  // are compiled to cp932, so File("自動読込.tvs") names the file the program would open.
  std::string File(std::string_view cp932_name) const;

 private:
  std::filesystem::path path_;
};

// A TempDir that is also the working directory for its lifetime, for code that uses the
// program's fixed relative file names.
class TempWorkingDir : public TempDir {
 public:
  TempWorkingDir();
  ~TempWorkingDir();

 private:
  std::filesystem::path previous_;
};

// Whole-file helpers for tests. Paths are cp932 text, opened the way the program opens them.
std::string ReadFileBytes(std::string_view path);
void WriteFileBytes(std::string_view path, std::string_view bytes);

}  // namespace talvorine::testing
