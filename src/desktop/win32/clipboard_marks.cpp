#include "desktop/win32/clipboard_marks.h"

namespace talvorine::win32 {
namespace {

void PutDword(UINT format, DWORD value) {
  // A zero-byte block cannot be put on the clipboard everywhere, so even the mark that needs no
  // value carries one.
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof value);
  if (!memory) {
    return;
  }
  if (auto* target = static_cast<DWORD*>(GlobalLock(memory))) {
    *target = value;
    GlobalUnlock(memory);
    if (SetClipboardData(format, memory)) {
      return;  // the clipboard owns the memory now
    }
  }
  GlobalFree(memory);
}

}  // namespace

const ClipboardMarkFormats& MarkFormats() {
  static const ClipboardMarkFormats formats{
      RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing"),
      RegisterClipboardFormatW(L"CanIncludeInClipboardHistory"),
      RegisterClipboardFormatW(L"CanUploadToCloudClipboard")};
  return formats;
}

void MarkForPasteOnly() {
  PutDword(MarkFormats().exclude_from_monitors, 0);
  MarkOutOfHistory();
}

void MarkOutOfHistory() {
  PutDword(MarkFormats().history, 0);
  PutDword(MarkFormats().cloud, 0);
}

}  // namespace talvorine::win32
