#include "files/ini_file.h"

#include "common/cp932.h"
#include "common/system_file.h"
#include "files/ini_value.h"
#include "files/text_lines.h"
#include "files/whole_file.h"

namespace talvorine::files {

namespace {

// The name of a "[name]" line. The closing bracket is looked for character by character: the
// second byte of a double-byte character may have the byte value of "]".
std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view text = TrimIniBlanks(line);
  if (!text.starts_with('[')) {
    return std::nullopt;
  }
  for (size_t i = 1; i < text.size(); ++i) {
    if (text[i] == ']') {
      return TrimIniBlanks(text.substr(1, i - 1));
    }
    if (IsCp932LeadByte(static_cast<unsigned char>(text[i]))) {
      ++i;
    }
  }
  return std::nullopt;
}

// The key of a "key=value" line. No byte of a double-byte character has the value of "=".
std::optional<std::string_view> KeyName(std::string_view line) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    return std::nullopt;
  }
  return TrimIniBlanks(line.substr(0, equals));
}

bool IsBlankLine(std::string_view line) {
  return TrimIniBlanks(line).empty();
}

}  // namespace

IniFile::IniFile(std::string_view text) {
  for (std::string& line : SplitTextLines(text)) {
    AddLine(std::move(line));
  }
}

void IniFile::AddLine(std::string line) {
  if (const auto name = SectionName(line)) {
    section_index_[FoldIniName(*name)].push_back(sections_.size());
    sections_.push_back(Section{std::move(line), {}, {}});
    return;
  }
  if (sections_.empty()) {
    sections_.push_back(Section{});
  }
  Section& section = sections_.back();
  if (const auto key = KeyName(line)) {
    section.keys.try_emplace(FoldIniName(*key), section.lines.size());
  }
  section.lines.push_back(std::move(line));
}

std::string IniFile::Text() const {
  std::string text;
  for (const Section& section : sections_) {
    if (section.header) {
      text += *section.header;
      text += "\r\n";
    }
    for (const std::string& line : section.lines) {
      text += line;
      text += "\r\n";
    }
  }
  return text;
}

const std::string* IniFile::FindKeyLine(std::string_view section, std::string_view key) const {
  const auto sections = section_index_.find(FoldIniName(section));
  if (sections == section_index_.end()) {
    return nullptr;
  }
  const std::string folded_key = FoldIniName(key);
  for (const size_t index : sections->second) {
    const Section& candidate = sections_[index];
    if (const auto line = candidate.keys.find(folded_key); line != candidate.keys.end()) {
      return &candidate.lines[line->second];
    }
  }
  return nullptr;
}

std::optional<std::string> IniFile::FindValue(std::string_view section,
                                              std::string_view key) const {
  const std::string* line = FindKeyLine(section, key);
  if (!line) {
    return std::nullopt;
  }
  return std::string(IniValueText(std::string_view(*line).substr(line->find('=') + 1)));
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view default_value) const {
  return FindValue(section, key).value_or(std::string(default_value));
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int default_value) const {
  const std::optional<std::string> value = FindValue(section, key);
  if (!value) {
    return default_value;
  }
  return ParseIniInteger(*value).value_or(default_value);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool default_value) const {
  return ReadInteger(section, key, default_value ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  std::string line(key);
  line += '=';
  for (const char c : value) {
    line += (c == '\r' || c == '\n') ? ' ' : c;
  }
  const std::string folded_section = FoldIniName(section);
  const std::string folded_key = FoldIniName(key);
  auto sections = section_index_.find(folded_section);
  if (sections == section_index_.end()) {
    sections = section_index_.emplace(folded_section, std::vector<size_t>{sections_.size()}).first;
    sections_.push_back(Section{"[" + std::string(section) + "]", {}, {}});
  }
  for (const size_t index : sections->second) {
    Section& candidate = sections_[index];
    if (const auto found = candidate.keys.find(folded_key); found != candidate.keys.end()) {
      candidate.lines[found->second] = std::move(line);
      return;
    }
  }
  // Blank lines at the end of a section keep separating it from the next one. Every key line
  // lies before them, so no stored index moves.
  Section& target = sections_[sections->second.front()];
  size_t at = target.lines.size();
  while (at > 0 && IsBlankLine(target.lines[at - 1])) {
    --at;
  }
  target.lines.insert(target.lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  target.keys.emplace(folded_key, at);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::optional<IniFile> ReadIniFile(std::string_view path) {
  const std::optional<std::string> bytes = ReadWholeFile(path, /*deny_writers=*/false);
  if (!bytes) {
    if (SystemFileExists(path)) {
      return std::nullopt;
    }
    return IniFile();
  }
  return IniFile(*bytes);
}

bool WriteIniFile(std::string_view path, const IniFile& ini) {
  return ReplaceSystemFile(path, ini.Text()) == ReplaceFileResult::kReplaced;
}

}  // namespace talvorine::files
