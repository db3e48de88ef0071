#include "app/win32/win32_dialogs.h"

#include <gtest/gtest.h>

#include <commdlg.h>

#include <string>

#include "files/dialogs.h"

namespace talvorine::win32 {
namespace {

using files::FileDialogId;

TEST(FileDialogFilter, PairsBecomeNulSeparatedWithTwoNulsAtTheEnd) {
  constexpr wchar_t kExpected[] = L"\u30c6\u30ad\u30b9\u30c8(*.txt)\0*.txt\0";
  // The literal's own terminator is the second NUL.
  EXPECT_EQ(FileDialogFilter("テキスト(*.txt)|*.txt"),
            std::wstring(kExpected, std::size(kExpected)));
  EXPECT_EQ(FileDialogFilter(""), L"");
}

struct FlagCase {
  const char* name;
  FileDialogId id;
  DWORD flags;
};

TEST(FileDialogFlags, EveryDialogKeepsTheWorkingDirectoryAndAsksWhatItShould) {
  constexpr DWORD kAlways = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  constexpr FlagCase kCases[] = {
      {"SetLoadDlg", FileDialogId::kSetLoadDlg, kAlways | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST},
      {"SaveSetDlg", FileDialogId::kSaveSetDlg,
       kAlways | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT},
      {"WordLoadDlg", FileDialogId::kWordLoadDlg, kAlways | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST},
      {"SaveWordDlg", FileDialogId::kSaveWordDlg,
       kAlways | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT},
      {"SendFileDialog", FileDialogId::kSendFileDialog,
       kAlways | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST},
      {"NWRecvFile", FileDialogId::kNWRecvFile, kAlways | OFN_PATHMUSTEXIST},
  };
  for (const FlagCase& c : kCases) {
    EXPECT_EQ(FileDialogFlags(files::DialogSpec(c.id)), c.flags) << c.name;
  }
}

}  // namespace
}  // namespace talvorine::win32
