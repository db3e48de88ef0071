#include "lan/file_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "lan/datagram.h"

namespace talvorine::lan {
namespace {

using namespace std::string_view_literals;

std::uint32_t CrcOf(std::string_view bytes) {
  Crc32 crc;
  crc.Add(bytes);
  return crc.Value();
}

TEST(Crc32, GivesTheKnownValuesAndTheSameInPieces) {
  struct Case {
    std::string_view bytes;
    std::uint32_t crc;
  };
  constexpr Case kCases[] = {
      {"", 0x00000000u},
      {"123456789", 0xCBF43926u},
      {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
      {"\0\0\0\0"sv, 0x2144DF1Cu},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(CrcOf(c.bytes), c.crc) << c.bytes;
    Crc32 pieces;
    for (std::size_t at = 0; at < c.bytes.size(); at += 2) {
      pieces.Add(c.bytes.substr(at, 2));
    }
    EXPECT_EQ(pieces.Value(), c.crc) << c.bytes << " in pieces";
  }
}

TEST(FileCheck, TheEndDatagramCarriesItBehindAZeroByteAndGivesItBack) {
  constexpr FileCheck kChecks[] = {
      {0, 0}, {1000, 0xCBF43926u}, {18446744073709551615u, 0xFFFFFFFFu}};
  for (const FileCheck& check : kChecks) {
    const std::string datagram = MakeFileEnd("PC-A", "C:\\docs\\表.txt", check);
    const DatagramView view = ReadDatagram(datagram);
    EXPECT_EQ(view.kind, DatagramKind::kFileEnd);
    EXPECT_EQ(ReadFileCheck(view.payload), check) << check.size;
    const FileHeader header = ReadFileHeader(view.payload);
    EXPECT_EQ(header.host_name, "PC-A");
    EXPECT_EQ(header.path, "C:\\docs\\表.txt");
  }
  EXPECT_EQ(MakeFileEnd("PC-A", "C:\\a.txt", {1000, 0x0BF43926u}),
            "FE:PC-A:C:\\a.txt\0CHK:1000:0BF43926"sv);
}

TEST(FileCheck, OnlyAnExactTrailerCounts) {
  constexpr std::string_view kPayloads[] = {
      "PC-A:C:\\a.txt",                                       // an earlier version's end
      "PC-A:C:\\a.txt\0"sv,                                   // zero byte, nothing after it
      "PC-A:C:\\a.txt\0CHK:10:0BF4392"sv,                     // seven digits
      "PC-A:C:\\a.txt\0CHK:10:0BF439260"sv,                   // nine digits
      "PC-A:C:\\a.txt\0CHK:10:0bf43926"sv,                    // lower case
      "PC-A:C:\\a.txt\0CHK::0BF43926"sv,                      // no size
      "PC-A:C:\\a.txt\0CHK:-1:0BF43926"sv,                    // a sign
      "PC-A:C:\\a.txt\0CHK:99999999999999999999:0BF43926"sv,  // beyond 64 bits
      "PC-A:C:\\a.txt\0chk:10:0BF43926"sv,                    // another mark
      "PC-A:C:\\a.txt\0\0CHK:10:0BF43926"sv,                  // zero-filled before it
      "PC-A:C:\\a.txt\0CHK:10:0BF43926\0"sv,                  // zero-filled after it
  };
  for (const std::string_view payload : kPayloads) {
    EXPECT_FALSE(ReadFileCheck(payload).has_value()) << payload.substr(payload.find('\0') + 1);
  }
}

// An end datagram read as a receiver of the original protocol reads it: the datagram in a
// zero-filled buffer of 2048 bytes with a zero byte after it, the record line up to the first
// zero byte, and from "FE" only the host name, with the format "%[^:]%*c".
struct OriginalReading {
  std::string record_line;
  std::string host_name;
};

OriginalReading ReadAsOriginalReceiver(const std::string& datagram) {
  char buffer[2048 + 1] = {};
  std::memcpy(buffer, datagram.data(), std::min<std::size_t>(datagram.size(), 2048));
  OriginalReading reading;
  reading.record_line = buffer;
  const char* colon = std::strchr(buffer, ':');
  char host_name[80] = {};
  if (colon != nullptr && std::sscanf(colon + 1, "%79[^:]%*c", host_name) == 1) {
    reading.host_name = host_name;
  }
  return reading;
}

TEST(FileCheck, AReceiverOfTheOriginalProtocolSeesTheEndItAlwaysSaw) {
  const std::string plain = MakeFileEnd("PC-B", "C:\\議事録\\表.txt");
  const std::string checked = MakeFileEnd("PC-B", "C:\\議事録\\表.txt", {123456, 0xDEADBEEFu});
  ASSERT_NE(plain, checked);
  const OriginalReading before = ReadAsOriginalReceiver(plain);
  const OriginalReading after = ReadAsOriginalReceiver(checked);
  EXPECT_EQ(after.host_name, "PC-B");
  EXPECT_EQ(after.host_name, before.host_name);
  EXPECT_EQ(after.record_line, before.record_line);
  EXPECT_EQ(after.record_line, plain);
  // And this program records the same line for it.
  EXPECT_EQ(TextUpToZero(ReadDatagram(checked).raw), plain);
}

}  // namespace
}  // namespace talvorine::lan
