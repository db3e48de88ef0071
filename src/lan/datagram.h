#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "lan/file_check.h"

namespace talvorine::lan {

// The LAN datagrams: a kind token, ":", a payload. Peers of every version rely on these exact
// layouts; there is no version field to negotiate with.

// Longest "CB" datagram: "CB:" and 1016 bytes of text.
inline constexpr std::size_t kMaxTextDatagram = 1019;
// Data bytes in one "FL" datagram.
inline constexpr std::size_t kMaxChunkData = 250;
// Header of an "FL" datagram: "FL:" and the length byte.
inline constexpr std::size_t kChunkHeader = 4;
// A receiver reads at most this many bytes of a datagram.
inline constexpr std::size_t kReceiveLimit = 2048;

enum class DatagramKind {
  kText,       // "CB": a handed-over text
  kFileStart,  // "FS": host name and path of a file that follows
  kFileChunk,  // "FL": the next bytes of the file
  kFileEnd,    // "FE": host name and path again, after the last chunk
  kOther,      // anything else, ignored by receivers
};

// "CB:" and the text, cut to 1019 bytes in all (the cut may split a double-byte character).
std::string MakeTextDatagram(std::string_view text);
// "FS:" or "FE:", the host name, ":", the path.
std::string MakeFileStart(std::string_view host_name, std::string_view path);
std::string MakeFileEnd(std::string_view host_name, std::string_view path);
// "FE:", the host name, ":", the path, and the file's check behind a zero byte.
std::string MakeFileEnd(std::string_view host_name, std::string_view path, const FileCheck& check);
// "FL:", the length byte (4 + data size), the data. Raises std::invalid_argument for more than
// 250 bytes of data.
std::string MakeFileChunk(std::string_view data);

// A received datagram, split. Every view points into the bytes given to ReadDatagram.
struct DatagramView {
  DatagramKind kind = DatagramKind::kOther;
  std::string_view token;    // the bytes before the first colon
  std::string_view payload;  // the bytes after the first colon; empty without a colon
  std::string_view raw;      // the datagram as the receiver holds it (at most 2048 bytes)
};

// Splits a datagram. Only its first 2048 bytes are read. The token ends at the first colon, or
// at the first zero byte when there is no colon before it; it is matched without regard to the
// case of ASCII letters ("cb", "Fl").
DatagramView ReadDatagram(std::string_view bytes);

// A text field as the receiver reads it: up to the first zero byte.
std::string_view TextUpToZero(std::string_view bytes);

// The data of an "FL" datagram: the L - 4 bytes from offset 4, of which only those that actually
// arrived. Empty when L is 4 or less or the datagram is shorter than its header.
std::string_view ChunkData(const DatagramView& datagram);

struct FileHeader {
  std::string_view host_name;  // the bytes before the first colon
  std::string_view path;       // after that colon, up to the first CR, LF or the end
};

// Reads the host name and path of an "FS" or "FE" payload, which ends at its first zero byte.
// Without a colon the whole payload is the host name and the path is empty.
FileHeader ReadFileHeader(std::string_view payload);

}  // namespace talvorine::lan
