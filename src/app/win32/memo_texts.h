#pragma once

#include <string_view>

namespace talvorine::win32 {

// The texts of the main window's memos (cp932, CR LF).
extern const std::string_view kDescriptionText;  // Memo4, バージョン情報
extern const std::string_view kHistoryText;      // Memo1, 改変履歴
extern const std::string_view kUsageText;        // Memo2, 使い方

}  // namespace talvorine::win32
