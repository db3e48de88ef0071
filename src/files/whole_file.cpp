#include "files/whole_file.h"

#include <cstdio>

#include "common/system_file.h"

namespace talvorine::files {

std::optional<std::string> ReadWholeFile(std::string_view path, bool deny_writers) {
  std::FILE* file = OpenSystemFile(path, "rb", deny_writers);
  if (!file) {
    return std::nullopt;
  }
  std::string bytes;
  // Reading into a buffer of the file's size saves copying a large phrase list as it grows.
  // Only a plain file has a size to trust: a folder may claim any.
  if (SystemFileExists(path) && std::fseek(file, 0, SEEK_END) == 0) {
    const long size = std::ftell(file);
    std::rewind(file);
    if (size > 0) {
      bytes.resize(static_cast<size_t>(size));
      bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    }
  }
  char buffer[1 << 16];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, count);
  }
  // A folder opens on some systems but cannot be read.
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace talvorine::files
