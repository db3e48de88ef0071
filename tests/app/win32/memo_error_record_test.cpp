#include "app/win32/memo_error_record.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

#include "common/error_record.h"
#include "common/handler_guard.h"
#include "ui/win32/controls.h"
#include "ui/win32/pump.h"
#include "ui/win32/window.h"

namespace talvorine::win32 {
namespace {

using testing::PumpUntil;

class HostWindow : public Window {
 public:
  explicit HostWindow(HandlerGuard& guard) : Window(guard) {
    CreateParams params;
    params.class_name = L"TalvorineRecordHost";
    params.width = 300;
    params.height = 200;
    CreateHandle(params);
  }
};

class MemoErrorRecordTest : public ::testing::Test {
 protected:
  MemoryErrorRecord scratch;  // the guard of the host window records here
  HandlerGuard guard{scratch};
  HostWindow host{guard};
  Memo memo{host, {.id = 1, .rect = {0, 0, 280, 180}, .style = WS_VSCROLL | WS_HSCROLL}};
};

TEST_F(MemoErrorRecordTest, StartsWithTheTitleAndTakesWhatCameBeforeTheMemo) {
  MemoErrorRecord record;
  record.AddLine("Talvorine v1.32　");
  EXPECT_EQ(record.Text(), "【Talvorine エラー記録】\r\nTalvorine v1.32　\r\n");
  record.Attach(&memo);
  EXPECT_EQ(memo.Text(), "【Talvorine エラー記録】\r\nTalvorine v1.32　\r\n");
  record.AddLine("エラー：一行目\r\n二行目");
  const std::string expected =
      "【Talvorine エラー記録】\r\nTalvorine v1.32　\r\nエラー：一行目\r\n二行目\r\n";
  EXPECT_EQ(record.Text(), expected);
  // The memo shows it a moment later, by itself.
  EXPECT_TRUE(PumpUntil([&] { return memo.Text() == expected; }, 3000));
}

TEST_F(MemoErrorRecordTest, WhatTheUserTypesBelongsToTheRecord) {
  MemoErrorRecord record;
  record.Attach(&memo);
  record.AddLine("エラー：前");
  record.Show();
  // The user selects everything and types over it, ending without a line break, while a
  // line is on its way to the memo. (Typing arrives as replacements of the selection.)
  SendMessageW(memo.hwnd(), EM_SETSEL, 0, -1);
  SendMessageW(
      memo.hwnd(), EM_REPLACESEL, TRUE,
      reinterpret_cast<LPARAM>(L"\u3010Talvorine \u30a8\u30e9\u30fc\u8a18\u9332\u3011\r\nmemo"));
  record.AddLine("エラー：abc");
  EXPECT_EQ(record.Text(), "【Talvorine エラー記録】\r\nmemo\r\nエラー：abc\r\n");
  record.Show();
  EXPECT_EQ(memo.Text(), "【Talvorine エラー記録】\r\nmemo\r\nエラー：abc\r\n");
  EXPECT_EQ(record.Text(), memo.Text());
}

TEST_F(MemoErrorRecordTest, KeepsItsTitleLinesAndTheLastLinesUpToItsCap) {
  MemoErrorRecord record(5);
  record.Attach(&memo);
  for (int i = 1; i <= 9; ++i) {
    record.AddLine("line " + std::to_string(i));
    if (i % 2 == 0) {
      record.Show();
    }
  }
  // "line 1" stands where the version line stands in the program's record.
  const std::string kept = "【Talvorine エラー記録】\r\nline 1\r\nline 7\r\nline 8\r\nline 9\r\n";
  EXPECT_EQ(record.Text(), kept);
  record.Show();
  EXPECT_EQ(memo.Text(), kept);
}

TEST_F(MemoErrorRecordTest, AFloodLongerThanTheCapReplacesWhatTheMemoShows) {
  MemoErrorRecord record(3);
  record.Attach(&memo);
  for (int i = 1; i <= 10; ++i) {
    record.AddLine("flood " + std::to_string(i));
  }
  record.Show();
  EXPECT_EQ(memo.Text(), "【Talvorine エラー記録】\r\nflood 1\r\nflood 10\r\n");
}

TEST_F(MemoErrorRecordTest, KeepsItsLinesWhenTheMemoGoes) {
  MemoErrorRecord record;
  record.Attach(&memo);
  record.AddLine("before");
  record.Detach();
  DestroyWindow(memo.hwnd());
  record.AddLine("after");
  EXPECT_EQ(record.Text(), "【Talvorine エラー記録】\r\nbefore\r\nafter\r\n");
}

}  // namespace
}  // namespace talvorine::win32
