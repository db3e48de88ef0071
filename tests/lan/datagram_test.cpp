#include "lan/datagram.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace talvorine::lan {
namespace {

using namespace std::string_view_literals;

TEST(MakeTextDatagram, KeepsAtMost1019BytesInAll) {
  struct Case {
    const char* name;
    std::size_t text_size;
    std::size_t datagram_size;
  };
  constexpr Case kCases[] = {
      {"empty text", 0, 3},         {"one byte", 1, 4},
      {"exactly fits", 1016, 1019}, {"one byte too long", 1017, 1019},
      {"far too long", 5000, 1019},
  };
  for (const Case& c : kCases) {
    std::string text;
    for (std::size_t i = 0; i < c.text_size; ++i) {
      text.push_back(static_cast<char>('a' + i % 26));
    }
    const std::string datagram = MakeTextDatagram(text);
    EXPECT_EQ(datagram.size(), c.datagram_size) << c.name;
    EXPECT_EQ(datagram.substr(0, 3), "CB:") << c.name;
    EXPECT_EQ(datagram.substr(3), text.substr(0, c.datagram_size - 3)) << c.name;
  }
}

TEST(MakeTextDatagram, CutsByBytesEvenInsideADoubleByteCharacter) {
  // 1016 bytes of "a" then one double-byte character: only its first byte fits.
  const std::string text = std::string(1015, 'a') + "あ";
  const std::string datagram = MakeTextDatagram(text);
  ASSERT_EQ(datagram.size(), 1019u);
  EXPECT_EQ(datagram.back(), "あ"[0]);
}

TEST(MakeFileHeaders, LayHostNameColonAndPathAfterTheToken) {
  EXPECT_EQ(MakeFileStart("PC-A", "C:\\data\\表.txt"), "FS:PC-A:C:\\data\\表.txt");
  EXPECT_EQ(MakeFileEnd("PC-A", "C:\\data\\表.txt"), "FE:PC-A:C:\\data\\表.txt");
  EXPECT_EQ(MakeFileStart("", ""), "FS::");
}

TEST(MakeFileChunk, CarriesTheTotalLengthInByteThree) {
  EXPECT_EQ(MakeFileChunk(""), "FL:\x04"sv);
  EXPECT_EQ(MakeFileChunk("a\0b"sv),
            "FL:\x07"
            "a\0b"sv);
  const std::string full = MakeFileChunk(std::string(250, '\xff'));
  ASSERT_EQ(full.size(), 254u);
  EXPECT_EQ(static_cast<unsigned char>(full[3]), 254u);
  EXPECT_THROW(MakeFileChunk(std::string(251, 'x')), std::invalid_argument);
}

TEST(ReadDatagram, RecognisesKindsWithoutRegardToCase) {
  struct Case {
    const char* name;
    std::string_view bytes;
    DatagramKind kind;
    std::string_view token;
    std::string_view payload;
  };
  constexpr Case kCases[] = {
      {"text", "CB:hello", DatagramKind::kText, "CB", "hello"},
      {"lower case", "cb:hello", DatagramKind::kText, "cb", "hello"},
      {"mixed case chunk", "Fl:\x05x", DatagramKind::kFileChunk, "Fl", "\x05x"},
      {"start", "FS:PC:C:\\a", DatagramKind::kFileStart, "FS", "PC:C:\\a"},
      {"end", "fE:PC:C:\\a", DatagramKind::kFileEnd, "fE", "PC:C:\\a"},
      {"no colon", "CB", DatagramKind::kText, "CB", ""},
      {"empty text", "CB:", DatagramKind::kText, "CB", ""},
      {"token ends at zero byte", "CB\0:x"sv, DatagramKind::kText, "CB", ""},
      {"unknown token", "XY:data", DatagramKind::kOther, "XY", "data"},
      {"longer token", "CBX:data", DatagramKind::kOther, "CBX", "data"},
      {"empty datagram", "", DatagramKind::kOther, "", ""},
      {"colon first", ":CB", DatagramKind::kOther, "", "CB"},
      {"non-ASCII is not folded",
       "\x83"
       "B:x",
       DatagramKind::kOther,
       "\x83"
       "B",
       "x"},
  };
  for (const Case& c : kCases) {
    const DatagramView datagram = ReadDatagram(c.bytes);
    EXPECT_EQ(datagram.kind, c.kind) << c.name;
    EXPECT_EQ(datagram.token, c.token) << c.name;
    EXPECT_EQ(datagram.payload, c.payload) << c.name;
    EXPECT_EQ(datagram.raw, c.bytes) << c.name;
  }
}

TEST(ReadDatagram, ReadsOnlyTheFirst2048Bytes) {
  const std::string bytes = "CB:" + std::string(3000, 'x');
  const DatagramView datagram = ReadDatagram(bytes);
  EXPECT_EQ(datagram.raw.size(), kReceiveLimit);
  EXPECT_EQ(datagram.payload.size(), kReceiveLimit - 3);
}

TEST(ChunkData, TakesLengthMinusFourBytesOfWhatArrived) {
  struct Case {
    const char* name;
    std::string_view bytes;
    std::string_view data;
  };
  constexpr Case kCases[] = {
      {"two data bytes",
       "FL:\x06"
       "ab",
       "ab"},
      {"zero bytes are data", "FL:\x06\0\0"sv, "\0\0"sv},
      {"length four", "FL:\x04", ""},
      {"length below four", "FL:\x02zz", ""},
      {"length zero", "FL:\0zz"sv, ""},
      {"header cut short", "FL:", ""},
      {"length beyond the datagram",
       "FL:\xfe"
       "abc",
       "abc"},
      {"bytes beyond the length are not data",
       "FL:\x05"
       "abc",
       "a"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(ChunkData(ReadDatagram(c.bytes)), c.data) << c.name;
  }
}

TEST(ChunkData, RoundTripsEveryByteValue) {
  std::string data;
  for (int i = 0; i < 250; ++i) {
    data.push_back(static_cast<char>(i));
  }
  const std::string datagram = MakeFileChunk(data);
  EXPECT_EQ(ChunkData(ReadDatagram(datagram)), data);
}

TEST(ReadFileHeader, SplitsAtTheFirstColonOnly) {
  struct Case {
    const char* name;
    std::string_view payload;
    std::string_view host_name;
    std::string_view path;
  };
  constexpr Case kCases[] = {
      {"drive letter path", "PC-A:C:\\data\\a.txt", "PC-A", "C:\\data\\a.txt"},
      {"path ends at CR", "PC-A:C:\\a.txt\r\nrest", "PC-A", "C:\\a.txt"},
      {"path ends at LF", "PC-A:C:\\a.txt\nrest", "PC-A", "C:\\a.txt"},
      {"payload ends at zero byte", "PC-A:C:\\a\0.txt"sv, "PC-A", "C:\\a"},
      {"host name only", "PC-A", "PC-A", ""},
      {"empty host name", ":C:\\a.txt", "", "C:\\a.txt"},
      {"empty path", "PC-A:", "PC-A", ""},
      {"zero byte before the colon", "PC\0-A:C:\\a"sv, "PC", ""},
  };
  for (const Case& c : kCases) {
    const FileHeader header = ReadFileHeader(c.payload);
    EXPECT_EQ(header.host_name, c.host_name) << c.name;
    EXPECT_EQ(header.path, c.path) << c.name;
  }
}

TEST(ReadFileHeader, ReadsWhatMakeFileStartWrote) {
  const std::string datagram = MakeFileStart("ノートPC", "D:\\議事録\\表.txt");
  const DatagramView view = ReadDatagram(datagram);
  ASSERT_EQ(view.kind, DatagramKind::kFileStart);
  const FileHeader header = ReadFileHeader(view.payload);
  EXPECT_EQ(header.host_name, "ノートPC");
  EXPECT_EQ(header.path, "D:\\議事録\\表.txt");
}

}  // namespace
}  // namespace talvorine::lan
