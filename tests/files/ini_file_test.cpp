#include "files/ini_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "support/temp_dir.h"

namespace talvorine::files {
namespace {

using talvorine::testing::ReadFileBytes;
using talvorine::testing::TempDir;
using talvorine::testing::WriteFileBytes;

struct ReadCase {
  const char* name;
  std::string_view text;
  std::string_view section;
  std::string_view key;
  std::optional<std::string_view> value;
};

constexpr ReadCase kReadCases[] = {
    {"plain", "[Key]\r\nMetaKey=3\r\n", "Key", "MetaKey", "3"},
    {"key in other letter case", "[Key]\r\nmetakey=3\r\n", "Key", "MetaKey", "3"},
    {"section in capitals", "[KEY]\r\nMetaKey=3\r\n", "Key", "MetaKey", "3"},
    {"blanks around names", "  [ Key ]  \r\n  MetaKey  = 3 \r\n", "Key", "MetaKey", "3"},
    {"text after the bracket", "[Key] old\r\nMetaKey=3\r\n", "Key", "MetaKey", "3"},
    {"lone LF and lone CR", "[Key]\nA=1\rMetaKey=3", "Key", "MetaKey", "3"},
    {"the first = splits", "[Extend]\r\nFile0000=a=b\r\n", "Extend", "File0000", "a=b"},
    {"the first of two lines", "[Key]\r\nMetaKey=1\r\nMetaKey=2\r\n", "Key", "MetaKey", "1"},
    {"a later section of the same name", "[Key]\r\nA=1\r\n[Other]\r\n[key]\r\nMetaKey=4\r\n", "Key",
     "MetaKey", "4"},
    {"empty value", "[Key]\r\nMetaKey=\r\n", "Key", "MetaKey", ""},
    {"quoted value", "[Extend]\r\nFile0000=\"http://h/w.tvw\"\r\n", "Extend", "File0000",
     "http://h/w.tvw"},
    {"missing key", "[Key]\r\nKey=1\r\n", "Key", "MetaKey", std::nullopt},
    {"key in another section", "[Config]\r\nMetaKey=1\r\n", "Key", "MetaKey", std::nullopt},
    {"key before every section", "MetaKey=1\r\n[Key]\r\n", "Key", "MetaKey", std::nullopt},
    {"line without =", "[Key]\r\nMetaKey\r\n", "Key", "MetaKey", std::nullopt},
    {"bracket never closed", "[Key\r\nMetaKey=1\r\n", "Key", "MetaKey", std::nullopt},
    {"empty file", "", "Key", "MetaKey", std::nullopt},
    // "ゾ" is 0x83 0x5D: its second byte is "]", which must not close the name.
    {"double-byte section name", "[ゾーン]\r\nキー=値\r\n", "ゾーン", "キー", "値"},
    // "ア" is 0x83 0x41 and "ヂ" 0x83 0x61: they differ only in a byte that folds like "A".
    {"double-byte names do not fold", "[S]\r\nア=1\r\n", "S", "ヂ", std::nullopt},
};

TEST(IniFile, FindsValuesByNameWithoutRegardToCase) {
  for (const ReadCase& test : kReadCases) {
    const IniFile ini(test.text);
    const std::optional<std::string> value = ini.FindValue(test.section, test.key);
    if (test.value) {
      EXPECT_EQ(value, std::string(*test.value)) << test.name;
    } else {
      EXPECT_EQ(value, std::nullopt) << test.name;
    }
  }
}

TEST(IniFile, NumbersAndBooleansFallBackToTheDefault) {
  const IniFile ini(
      "[N]\r\nDecimal=-12\r\nHex=0x1F\r\nWord=true\r\nTwo=2\r\nZero=0\r\nSpace= 5 \r\n");
  EXPECT_EQ(ini.ReadInteger("N", "Decimal", 7), -12);
  EXPECT_EQ(ini.ReadInteger("N", "Hex", 7), 31);
  EXPECT_EQ(ini.ReadInteger("N", "Word", 7), 7);
  EXPECT_EQ(ini.ReadInteger("N", "Missing", 7), 7);
  EXPECT_EQ(ini.ReadInteger("N", "Space", 7), 5);
  EXPECT_FALSE(ini.ReadBool("N", "Word", false));
  EXPECT_TRUE(ini.ReadBool("N", "Word", true));
  EXPECT_TRUE(ini.ReadBool("N", "Two", false));
  EXPECT_FALSE(ini.ReadBool("N", "Zero", true));
  EXPECT_EQ(ini.ReadString("N", "Missing", "fallback"), "fallback");
}

struct WriteCase {
  const char* name;
  std::string_view before;
  std::string_view section;
  std::string_view key;
  std::string_view value;
  std::string_view after;
};

constexpr WriteCase kWriteCases[] = {
    {"missing file", "", "Key", "MetaKey", "1", "[Key]\r\nMetaKey=1\r\n"},
    {"replaced where it stands", "[Key]\r\nA=1\r\nmetakey = 9 \r\nB=2\r\n", "Key", "MetaKey", "1",
     "[Key]\r\nA=1\r\nMetaKey=1\r\nB=2\r\n"},
    {"found in capitals", "[KEY]\r\nMETAKEY=9\r\n", "Key", "MetaKey", "1",
     "[KEY]\r\nMetaKey=1\r\n"},
    {"appended at the end of its section", "[Key]\r\nA=1\r\n[Config]\r\nC=3\r\n", "Key", "B", "2",
     "[Key]\r\nA=1\r\nB=2\r\n[Config]\r\nC=3\r\n"},
    {"appended before the blank lines", "[Key]\r\nA=1\r\n\r\n \r\n[Config]\r\n", "Key", "B", "2",
     "[Key]\r\nA=1\r\nB=2\r\n\r\n \r\n[Config]\r\n"},
    {"section appended at the end", "; note\r\n[Key]\r\nA=1\r\n", "Config", "C", "3",
     "; note\r\n[Key]\r\nA=1\r\n[Config]\r\nC=3\r\n"},
    {"other lines kept, line ends made CR LF", "junk\n[Key]\rnot a key\r\n[Other]\nX= y \n", "Key",
     "A", "1", "junk\r\n[Key]\r\nnot a key\r\nA=1\r\n[Other]\r\nX= y \r\n"},
    {"only the first line of a key", "[Key]\r\nA=1\r\nA=2\r\n", "Key", "A", "3",
     "[Key]\r\nA=3\r\nA=2\r\n"},
    {"the first section of a name", "[Key]\r\n[Other]\r\n[Key]\r\n", "Key", "A", "1",
     "[Key]\r\nA=1\r\n[Other]\r\n[Key]\r\n"},
    {"the section that holds the key", "[Key]\r\n[Key]\r\nA=1\r\n", "Key", "A", "2",
     "[Key]\r\n[Key]\r\nA=2\r\n"},
    {"a value written as it is", "", "Extend", "File0000", " \"spaced\" ",
     "[Extend]\r\nFile0000= \"spaced\" \r\n"},
    {"line ends in a value become spaces", "", "Extend", "File0000", "a\r\n[Key]\nMetaKey=5",
     "[Extend]\r\nFile0000=a  [Key] MetaKey=5\r\n"},
};

TEST(IniFile, WritingChangesOnlyTheLineOfTheKey) {
  for (const WriteCase& test : kWriteCases) {
    IniFile ini(test.before);
    ini.WriteString(test.section, test.key, test.value);
    EXPECT_EQ(ini.Text(), test.after) << test.name;
  }
}

TEST(IniFile, KeysWrittenIntoANewSectionFollowOneAnother) {
  IniFile ini;
  ini.WriteInteger("Key", "MetaKey", -1);
  ini.WriteString("Config", "A", "x");
  ini.WriteBool("Key", "Flag", true);
  ini.WriteBool("Config", "B", false);
  ini.WriteInteger("Key", "MetaKey", 2);
  EXPECT_EQ(ini.Text(), "[Key]\r\nMetaKey=2\r\nFlag=1\r\n[Config]\r\nA=x\r\nB=0\r\n");
  EXPECT_EQ(IniFile(ini.Text()).ReadInteger("Key", "MetaKey", 0), 2);
}

TEST(ReadIniFile, AMissingFileReadsAsAnEmptyOne) {
  TempDir dir;
  const std::optional<IniFile> ini = ReadIniFile(dir.File("missing.tvs"));
  ASSERT_TRUE(ini.has_value());
  EXPECT_EQ(ini->Text(), "");
}

TEST(WriteIniFile, ReplacesTheFileAndKeepsItWhenRefused) {
  TempDir dir;
  const std::string path = dir.File("設定.tvs");
  WriteFileBytes(path, "[Key]\nMetaKey=9\n; kept\n");
  std::optional<IniFile> ini = ReadIniFile(path);
  ASSERT_TRUE(ini.has_value());
  ini->WriteInteger("Key", "MetaKey", 1);
  ASSERT_TRUE(WriteIniFile(path, *ini));
  EXPECT_EQ(ReadFileBytes(path), "[Key]\r\nMetaKey=1\r\n; kept\r\n");
  EXPECT_FALSE(WriteIniFile(dir.File("no folder") + "\\x.tvs", *ini));
}

}  // namespace
}  // namespace talvorine::files
