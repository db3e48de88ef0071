#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace talvorine::files {

// A settings file in memory, in INI form: "[Section]" lines open sections, "Key=value" lines
// hold values. Section and key names match without regard to case. Writing changes only the
// line of the key written (or adds it), so every other line of the file stays as it was.
class IniFile {
 public:
  IniFile() = default;
  // Splits cp932 text at CR LF, lone CR and lone LF.
  explicit IniFile(std::string_view text);

  // The whole file: every line followed by CR LF.
  std::string Text() const;

  // The value of the first line of key in the first section named section that holds it
  // (see IniValueText); nothing when there is none.
  std::optional<std::string> FindValue(std::string_view section, std::string_view key) const;

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view default_value) const;
  // Text that is no number (ParseIniInteger) reads as the default.
  int ReadInteger(std::string_view section, std::string_view key, int default_value) const;
  // An integer; any value but 0 is true.
  bool ReadBool(std::string_view section, std::string_view key, bool default_value) const;

  // Replaces the key's line where it stands, or adds it after the last line of its section
  // that is not blank, or adds the section at the end of the file. The value is written as it
  // is, except that a line end in it becomes a space: it would end the line and let the rest
  // pass for other keys.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  // Decimal, with a minus sign when negative.
  void WriteInteger(std::string_view section, std::string_view key, int value);
  // "1" or "0".
  void WriteBool(std::string_view section, std::string_view key, bool value);

 private:
  struct Section {
    std::optional<std::string> header;  // absent for the lines before the first section
    std::vector<std::string> lines;
    // Folded key name -> index in lines of its first key line.
    std::unordered_map<std::string, std::size_t> keys;
  };

  void AddLine(std::string line);
  const std::string* FindKeyLine(std::string_view section, std::string_view key) const;

  std::vector<Section> sections_;
  // Folded section name -> indices in sections_ of the sections of that name, in file order.
  std::unordered_map<std::string, std::vector<std::size_t>> section_index_;
};

// The settings file at path (cp932) as it stands: an empty one when there is no file there,
// nothing when there is one that cannot be read.
std::optional<IniFile> ReadIniFile(std::string_view path);

// Replaces the file at path by ini in one step (ReplaceSystemFile); false when it cannot be
// written, in which case the file is as it was.
bool WriteIniFile(std::string_view path, const IniFile& ini);

}  // namespace talvorine::files
