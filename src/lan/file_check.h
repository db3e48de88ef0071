#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace talvorine::lan {

// The size and CRC-32 of a whole file, sent after the path of "FE" behind a zero byte. Peers
// that know nothing of it read "FE" only up to its host name, and every text field only up to
// its first zero byte, so they see the datagram they always saw.
struct FileCheck {
  std::uint64_t size = 0;
  std::uint32_t crc32 = 0;
  bool operator==(const FileCheck&) const = default;
};

// The CRC-32 of zip and Ethernet (reflected, polynomial 0xEDB88320), computed piece by piece.
class Crc32 {
 public:
  void Add(std::string_view bytes);
  std::uint32_t Value() const { return ~state_; }

 private:
  std::uint32_t state_ = 0xFFFFFFFFu;
};

// The bytes that follow the path: a zero byte, "CHK:", the size in decimal, ":", the CRC-32 in
// eight upper-case hexadecimal digits.
std::string FileCheckTrailer(const FileCheck& check);

// The check of an "FE" payload: present only when the bytes after the payload's first zero byte
// are exactly a trailer as FileCheckTrailer writes it.
std::optional<FileCheck> ReadFileCheck(std::string_view payload);

}  // namespace talvorine::lan
