#include "lookup/phrase_table.h"

#include <utility>

namespace talvorine::lookup {

PhraseTable::PhraseTable() : lines_(std::make_shared<const std::vector<std::string>>()) {}

PhraseTable::PhraseTable(std::vector<std::string> lines)
    : lines_(std::make_shared<const std::vector<std::string>>(std::move(lines))) {}

PhraseTable PhraseTable::OneEmptyRow() { return PhraseTable(std::vector<std::string>(1)); }

std::vector<std::string>& PhraseTable::Own() {
  auto own = std::make_shared<std::vector<std::string>>(*lines_);
  std::vector<std::string>& lines = *own;
  lines_ = std::move(own);
  return lines;
}

void PhraseTable::SetLine(std::size_t index, std::string text) { Own()[index] = std::move(text); }

void PhraseTable::InsertLine(std::size_t index, std::string text) {
  auto& lines = Own();
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(index), std::move(text));
}

void PhraseTable::EraseLine(std::size_t index) {
  auto& lines = Own();
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(index));
}

void PhraseTable::AppendLine(std::string text) { Own().push_back(std::move(text)); }

}  // namespace talvorine::lookup
