#pragma once

#include <windows.h>

namespace talvorine::win32 {

// The registered formats by which a program tells clipboard history, the cloud clipboard and
// clipboard monitors what to leave alone. Each carries a DWORD.
struct ClipboardMarkFormats {
  UINT exclude_from_monitors;  // "ExcludeClipboardContentFromMonitorProcessing"
  UINT history;                // "CanIncludeInClipboardHistory", 0: no entry in history
  UINT cloud;                  // "CanUploadToCloudClipboard", 0: not uploaded
};
const ClipboardMarkFormats& MarkFormats();

// With the clipboard open: marks its content as there for a paste only, seen by no monitor and
// kept in no history.
void MarkForPasteOnly();
// With the clipboard open: marks its content to make no entry in history and no upload; monitors
// (a remote desktop's clipboard, say) still see it.
void MarkOutOfHistory();

}  // namespace talvorine::win32
