#include "lookup/phrase_table.h"

#include <utility>

namespace talvorine::lookup {

namespace {

char FirstByte(std::string_view line) {
  return line.empty() ? '\0' : line.front();
}

}  // namespace

PhraseTable::PhraseTable() : content_(std::make_shared<TableLines>()) {}

PhraseTable::PhraseTable(std::vector<std::string> lines)
    : content_(std::make_shared<TableLines>()) {
  content_->heads.reserve(lines.size());
  content_->first_bytes.reserve(lines.size());
  for (const std::string& line : lines) {
    content_->heads.push_back(MakeLineHead(line));
    content_->first_bytes.push_back(FirstByte(line));
  }
  content_->lines = std::move(lines);
}

PhraseTable PhraseTable::OneEmptyRow() {
  return PhraseTable(std::vector<std::string>(1));
}

TableLines& PhraseTable::Own() {
  // A count of one means no copy or snapshot exists anywhere, so no other thread can be
  // taking one now: editing in place is safe, and loading a large file line by line stays linear.
  if (content_.use_count() != 1) {
    content_ = std::make_shared<TableLines>(*content_);
  }
  return *content_;
}

void PhraseTable::SetLine(std::size_t index, std::string text) {
  TableLines& own = Own();
  own.heads[index] = MakeLineHead(text);
  own.first_bytes[index] = FirstByte(text);
  own.lines[index] = std::move(text);
}

void PhraseTable::InsertLine(std::size_t index, std::string text) {
  TableLines& own = Own();
  const auto at = static_cast<std::ptrdiff_t>(index);
  own.heads.insert(own.heads.begin() + at, MakeLineHead(text));
  own.first_bytes.insert(own.first_bytes.begin() + at, FirstByte(text));
  own.lines.insert(own.lines.begin() + at, std::move(text));
}

void PhraseTable::EraseLine(std::size_t index) {
  TableLines& own = Own();
  const auto at = static_cast<std::ptrdiff_t>(index);
  own.heads.erase(own.heads.begin() + at);
  own.first_bytes.erase(own.first_bytes.begin() + at);
  own.lines.erase(own.lines.begin() + at);
}

void PhraseTable::AppendLine(std::string text) {
  TableLines& own = Own();
  own.heads.push_back(MakeLineHead(text));
  own.first_bytes.push_back(FirstByte(text));
  own.lines.push_back(std::move(text));
}

}  // namespace talvorine::lookup
