#include "desktop/win32/opened_clipboard.h"

#include "common/error.h"

namespace talvorine::win32 {

OpenedClipboard::OpenedClipboard(HWND owner) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (OpenClipboard(owner)) {
      return;
    }
    ::Sleep(kRetryDelay);
  }
  throw Error("クリップボードを開くことができません");
}

}  // namespace talvorine::win32
