#include "lan/file_chunks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace talvorine::lan {
namespace {

using testing::TempDir;
using testing::WriteFileBytes;

std::string PatternBytes(std::size_t size) {
  std::string bytes;
  for (std::size_t i = 0; i < size; ++i) {
    bytes.push_back(static_cast<char>((i * 7 + 3) % 256));
  }
  return bytes;
}

TEST(ReadNextChunk, CutsAFileIntoSizeDiv250PlusOneChunks) {
  struct Case {
    std::size_t file_size;
    std::vector<std::size_t> chunk_sizes;
  };
  const Case kCases[] = {
      {0, {0}},
      {1, {1}},
      {249, {249}},
      {250, {250, 0}},
      {251, {250, 1}},
      {500, {250, 250, 0}},
      {1000, {250, 250, 250, 250, 0}},
  };
  TempDir dir;
  for (const Case& c : kCases) {
    const std::string path = dir.File("send.bin");
    const std::string bytes = PatternBytes(c.file_size);
    WriteFileBytes(path, bytes);
    auto source = OpenFileToSend(path);
    ASSERT_NE(source, nullptr) << c.file_size;
    EXPECT_EQ(source->Size(), c.file_size);

    std::vector<std::size_t> sizes;
    std::string read_back;
    for (;;) {
      const FileChunk chunk = ReadNextChunk(*source);
      EXPECT_FALSE(chunk.read_failed) << c.file_size;
      sizes.push_back(chunk.data.size());
      read_back += chunk.data;
      if (chunk.at_end) {
        break;
      }
      ASSERT_LE(sizes.size(), c.file_size / 250 + 1) << "no end noticed, size " << c.file_size;
    }
    EXPECT_EQ(sizes, c.chunk_sizes) << "file of " << c.file_size << " bytes";
    EXPECT_EQ(read_back, bytes) << c.file_size;
  }
}

TEST(OpenFileToSend, GivesNothingForAMissingFile) {
  TempDir dir;
  EXPECT_EQ(OpenFileToSend(dir.File("missing.bin")), nullptr);
}

// A source whose read fails after a number of bytes, as a file on a vanished drive does.
class FailingSource : public ByteSource {
 public:
  explicit FailingSource(std::size_t good_bytes) : good_bytes_(good_bytes) {}
  std::uint64_t Size() const override { return 1000; }
  ReadResult ReadByte(char& byte) override {
    if (read_ >= good_bytes_) {
      return ReadResult::kError;
    }
    byte = static_cast<char>('a' + read_++ % 26);
    return ReadResult::kByte;
  }

 private:
  std::size_t good_bytes_;
  std::size_t read_ = 0;
};

TEST(ReadNextChunk, EndsTheChunkWithTheBytesReadBeforeAFailure) {
  FailingSource source(260);
  const FileChunk first = ReadNextChunk(source);
  EXPECT_EQ(first.data.size(), 250u);
  EXPECT_FALSE(first.read_failed);
  const FileChunk second = ReadNextChunk(source);
  EXPECT_EQ(second.data, "qrstuvwxyz");  // bytes 250 to 259
  EXPECT_TRUE(second.read_failed);
  EXPECT_FALSE(second.at_end);
}

}  // namespace
}  // namespace talvorine::lan
