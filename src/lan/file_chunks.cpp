#include "lan/file_chunks.h"

#include <cstdio>

#include "common/system_file.h"
#include "lan/datagram.h"

namespace talvorine::lan {

namespace {

// 64-bit positions: a long is 32 bits on Windows.
bool SeekToEnd(std::FILE* file) {
#ifdef _WIN32
  return _fseeki64(file, 0, SEEK_END) == 0;
#else
  return fseeko(file, 0, SEEK_END) == 0;
#endif
}

std::int64_t Tell(std::FILE* file) {
#ifdef _WIN32
  return _ftelli64(file);
#else
  return ftello(file);
#endif
}

class SystemFileSource : public ByteSource {
 public:
  SystemFileSource(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}
  ~SystemFileSource() override { std::fclose(file_); }
  SystemFileSource(const SystemFileSource&) = delete;
  SystemFileSource& operator=(const SystemFileSource&) = delete;

  std::uint64_t Size() const override { return size_; }

  ReadResult ReadByte(char& byte) override {
    const int c = std::fgetc(file_);
    if (c != EOF) {
      byte = static_cast<char>(c);
      return ReadResult::kByte;
    }
    return std::ferror(file_) ? ReadResult::kError : ReadResult::kEnd;
  }

 private:
  std::FILE* file_;
  std::uint64_t size_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileToSend(std::string_view path) {
  std::FILE* file = OpenSystemFile(path, "rb");
  if (!file) {
    return nullptr;
  }
  std::uint64_t size = 0;
  if (SeekToEnd(file)) {
    const std::int64_t end = Tell(file);
    size = end > 0 ? static_cast<std::uint64_t>(end) : 0;
  }
  std::rewind(file);
  return std::make_unique<SystemFileSource>(file, size);
}

FileChunk ReadNextChunk(ByteSource& source) {
  FileChunk chunk;
  chunk.data.reserve(kMaxChunkData);
  while (chunk.data.size() < kMaxChunkData) {
    char byte = 0;
    switch (source.ReadByte(byte)) {
      case ByteSource::ReadResult::kByte:
        chunk.data.push_back(byte);
        continue;
      case ByteSource::ReadResult::kEnd:
        chunk.at_end = true;
        return chunk;
      case ByteSource::ReadResult::kError:
        chunk.read_failed = true;
        return chunk;
    }
  }
  return chunk;
}

}  // namespace talvorine::lan
