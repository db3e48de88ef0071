#include "lan/datagram.h"

#include <stdexcept>

namespace talvorine::lan {

namespace {

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool TokenIs(std::string_view token, std::string_view kind) {
  if (token.size() != kind.size()) {
    return false;
  }
  for (std::size_t i = 0; i < token.size(); ++i) {
    if (AsciiUpper(token[i]) != kind[i]) {
      return false;
    }
  }
  return true;
}

DatagramKind KindOfToken(std::string_view token) {
  if (TokenIs(token, "CB")) {
    return DatagramKind::kText;
  }
  if (TokenIs(token, "FS")) {
    return DatagramKind::kFileStart;
  }
  if (TokenIs(token, "FL")) {
    return DatagramKind::kFileChunk;
  }
  if (TokenIs(token, "FE")) {
    return DatagramKind::kFileEnd;
  }
  return DatagramKind::kOther;
}

std::string MakeFileHeader(std::string_view kind, std::string_view host_name,
                           std::string_view path) {
  std::string datagram;
  datagram.reserve(kind.size() + host_name.size() + 1 + path.size());
  datagram += kind;
  datagram += host_name;
  datagram += ':';
  datagram += path;
  return datagram;
}

}  // namespace

std::string MakeTextDatagram(std::string_view text) {
  std::string datagram = "CB:";
  datagram += text.substr(0, kMaxTextDatagram - datagram.size());
  return datagram;
}

std::string MakeFileStart(std::string_view host_name, std::string_view path) {
  return MakeFileHeader("FS:", host_name, path);
}

std::string MakeFileEnd(std::string_view host_name, std::string_view path) {
  return MakeFileHeader("FE:", host_name, path);
}

std::string MakeFileEnd(std::string_view host_name, std::string_view path, const FileCheck& check) {
  return MakeFileHeader("FE:", host_name, path) + FileCheckTrailer(check);
}

std::string MakeFileChunk(std::string_view data) {
  if (data.size() > kMaxChunkData) {
    throw std::invalid_argument("a file chunk holds at most 250 bytes");
  }
  std::string datagram = "FL:";
  datagram += static_cast<char>(kChunkHeader + data.size());
  datagram += data;
  return datagram;
}

std::string_view TextUpToZero(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

DatagramView ReadDatagram(std::string_view bytes) {
  DatagramView datagram;
  datagram.raw = bytes.substr(0, kReceiveLimit);
  const std::string_view text = TextUpToZero(datagram.raw);
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    datagram.token = text;
  } else {
    datagram.token = text.substr(0, colon);
    datagram.payload = datagram.raw.substr(colon + 1);
  }
  datagram.kind = KindOfToken(datagram.token);
  return datagram;
}

std::string_view ChunkData(const DatagramView& datagram) {
  if (datagram.raw.size() <= kChunkHeader) {
    return {};
  }
  const std::size_t length = static_cast<unsigned char>(datagram.raw[3]);
  if (length <= kChunkHeader) {
    return {};
  }
  // A length byte beyond the datagram's end counts only the bytes that came.
  return datagram.raw.substr(kChunkHeader, length - kChunkHeader);
}

FileHeader ReadFileHeader(std::string_view payload) {
  const std::string_view text = TextUpToZero(payload);
  FileHeader header;
  const std::size_t colon = text.find(':');
  header.host_name = text.substr(0, colon);
  if (colon != std::string_view::npos) {
    const std::string_view rest = text.substr(colon + 1);
    header.path = rest.substr(0, rest.find_first_of("\r\n"));
  }
  return header;
}

}  // namespace talvorine::lan
