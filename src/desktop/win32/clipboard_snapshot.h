#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "desktop/desktop.h"

namespace talvorine::win32 {

// A copy of the clipboard's formats in their order. Formats held in memory (text in every form,
// HTML, RTF, registered formats, device-independent bitmaps, dropped files) are kept as their
// bytes; bitmaps, palettes and metafiles as copies of their objects, which the snapshot owns.
class Win32ClipboardSnapshot final : public desktop::ClipboardSnapshot {
 public:
  enum class Kind { kMemory, kBitmap, kPalette, kEnhMetafile, kMetafilePicture };
  struct Format {
    UINT id = 0;
    Kind kind = Kind::kMemory;
    std::vector<std::byte> bytes;  // memory, palette entries, or the metafile's bits
    HGDIOBJ object = nullptr;      // a bitmap
    HENHMETAFILE enh_metafile = nullptr;
    METAFILEPICT picture{};  // mapping mode and extent of a metafile picture (hMF unused)
  };

  Win32ClipboardSnapshot() = default;
  ~Win32ClipboardSnapshot() override;
  Win32ClipboardSnapshot(const Win32ClipboardSnapshot&) = delete;
  Win32ClipboardSnapshot& operator=(const Win32ClipboardSnapshot&) = delete;

  bool KeptTextOnly() const override { return kept_text_only_; }
  const std::vector<Format>& formats() const { return formats_; }

  // With the clipboard open: copies it. Formats that cannot be copied as data (owner display,
  // the private range whose data its owner frees, data that cannot be read) are left out; when
  // the formats come to more than `limit` bytes, only the text forms are kept.
  static std::unique_ptr<Win32ClipboardSnapshot> CopyOpenClipboard(desktop::ClipboardCopy what,
                                                                   std::size_t limit);
  // With the clipboard open and empty: puts a new copy of every format on it, in order, and
  // marks the whole to stay out of clipboard history.
  void PutOnOpenClipboard() const;

 private:
  std::vector<Format> formats_;
  bool kept_text_only_ = false;
};

}  // namespace talvorine::win32
