#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace talvorine::lan {

// The file being sent, read one byte at a time.
class ByteSource {
 public:
  enum class ReadResult {
    kByte,   // a byte was read
    kEnd,    // the read found no byte: the end of the file
    kError,  // the read failed
  };
  virtual ~ByteSource() = default;
  // The size in bytes, taken when the file was opened.
  virtual std::uint64_t Size() const = 0;
  virtual ReadResult ReadByte(char& byte) = 0;
};

// Opens a file to send by its cp932 path ("rb"); nullptr when it cannot be opened.
using FileOpener = std::function<std::unique_ptr<ByteSource>(std::string_view path)>;
std::unique_ptr<ByteSource> OpenFileToSend(std::string_view path);

struct FileChunk {
  std::string data;          // 0 to 250 bytes
  bool at_end = false;       // a read found no byte: this is the last chunk
  bool read_failed = false;  // a read failed; data holds the bytes read before it
};

// Reads the next chunk: bytes until 250 are read or a read finds none. The end is noticed only
// by a read that finds nothing, so a file whose size is a multiple of 250 (the empty one too)
// ends with a chunk without data.
FileChunk ReadNextChunk(ByteSource& source);

}  // namespace talvorine::lan
