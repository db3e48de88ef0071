#include "desktop/win32/clipboard_snapshot.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "desktop/win32/clipboard_marks.h"

namespace talvorine::win32 {
namespace {

using Kind = Win32ClipboardSnapshot::Kind;
using Format = Win32ClipboardSnapshot::Format;

// How a format's data is held, or nothing for the formats no copy can stand in for: an
// owner-display format is drawn by its owner on request, and the data of the private range is
// freed by its owner, so nobody would free a copy of ours.
std::optional<Kind> KindOf(UINT id) {
  switch (id) {
    case CF_OWNERDISPLAY:
      return std::nullopt;
    case CF_BITMAP:
    case CF_DSPBITMAP:
      return Kind::kBitmap;
    case CF_PALETTE:
      return Kind::kPalette;
    case CF_ENHMETAFILE:
    case CF_DSPENHMETAFILE:
      return Kind::kEnhMetafile;
    case CF_METAFILEPICT:
    case CF_DSPMETAFILEPICT:
      return Kind::kMetafilePicture;
    default:
      break;
  }
  if (id >= CF_PRIVATEFIRST && id <= CF_PRIVATELAST) {
    return std::nullopt;
  }
  return Kind::kMemory;
}

bool IsTextForm(UINT id) {
  return id == CF_UNICODETEXT || id == CF_TEXT || id == CF_OEMTEXT || id == CF_LOCALE;
}

// The bytes the data takes; 0 when it cannot be read.
std::size_t SizeOf(Kind kind, HANDLE data) {
  switch (kind) {
    case Kind::kMemory:
      return GlobalSize(data);
    case Kind::kBitmap: {
      BITMAP bitmap{};
      if (!GetObjectW(data, sizeof bitmap, &bitmap)) {
        return 0;
      }
      return static_cast<std::size_t>(bitmap.bmWidthBytes) *
             static_cast<std::size_t>(bitmap.bmHeight) *
             static_cast<std::size_t>(std::max<WORD>(bitmap.bmPlanes, 1));
    }
    case Kind::kPalette: {
      WORD entries = 0;
      if (!GetObjectW(data, sizeof entries, &entries)) {
        return 0;
      }
      return entries * sizeof(PALETTEENTRY);
    }
    case Kind::kEnhMetafile:
      return GetEnhMetaFileBits(static_cast<HENHMETAFILE>(data), 0, nullptr);
    case Kind::kMetafilePicture: {
      const auto* picture = static_cast<const METAFILEPICT*>(GlobalLock(data));
      if (!picture) {
        return 0;
      }
      const UINT size = GetMetaFileBitsEx(picture->hMF, 0, nullptr);
      GlobalUnlock(data);
      return size;
    }
  }
  return 0;
}

// Copies the data into the format; false when it cannot be read.
bool CopyData(HANDLE data, Format& format) {
  switch (format.kind) {
    case Kind::kMemory: {
      const void* source = GlobalLock(data);
      if (!source) {
        return false;
      }
      const auto* first = static_cast<const std::byte*>(source);
      format.bytes.assign(first, first + GlobalSize(data));
      GlobalUnlock(data);
      return !format.bytes.empty();
    }
    case Kind::kBitmap:
      format.object = CopyImage(data, IMAGE_BITMAP, 0, 0, 0);
      return format.object != nullptr;
    case Kind::kPalette: {
      WORD entries = 0;
      GetObjectW(data, sizeof entries, &entries);
      std::vector<PALETTEENTRY> colours(entries);
      if (entries == 0 ||
          GetPaletteEntries(static_cast<HPALETTE>(data), 0, entries, colours.data()) != entries) {
        return false;
      }
      const auto* first = reinterpret_cast<const std::byte*>(colours.data());
      format.bytes.assign(first, first + entries * sizeof(PALETTEENTRY));
      return true;
    }
    case Kind::kEnhMetafile:
      format.enh_metafile = CopyEnhMetaFileW(static_cast<HENHMETAFILE>(data), nullptr);
      return format.enh_metafile != nullptr;
    case Kind::kMetafilePicture: {
      const auto* picture = static_cast<const METAFILEPICT*>(GlobalLock(data));
      if (!picture) {
        return false;
      }
      format.picture = *picture;
      format.picture.hMF = nullptr;
      format.bytes.resize(GetMetaFileBitsEx(picture->hMF, 0, nullptr));
      const UINT copied = GetMetaFileBitsEx(picture->hMF, static_cast<UINT>(format.bytes.size()),
                                            format.bytes.data());
      GlobalUnlock(data);
      return copied != 0 && copied == format.bytes.size();
    }
  }
  return false;
}

HGLOBAL GlobalCopy(const void* data, std::size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) {
    return nullptr;
  }
  void* target = GlobalLock(memory);
  if (!target) {
    GlobalFree(memory);
    return nullptr;
  }
  std::memcpy(target, data, size);
  GlobalUnlock(memory);
  return memory;
}

// New data for the clipboard from a saved format; null when it cannot be made.
HANDLE MakeData(const Format& format) {
  switch (format.kind) {
    case Kind::kMemory:
      return GlobalCopy(format.bytes.data(), format.bytes.size());
    case Kind::kBitmap:
      return CopyImage(format.object, IMAGE_BITMAP, 0, 0, 0);
    case Kind::kPalette: {
      const std::size_t entries = format.bytes.size() / sizeof(PALETTEENTRY);
      std::vector<std::byte> block(sizeof(LOGPALETTE) + entries * sizeof(PALETTEENTRY));
      auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
      palette->palVersion = 0x300;
      palette->palNumEntries = static_cast<WORD>(entries);
      std::memcpy(palette->palPalEntry, format.bytes.data(), format.bytes.size());
      return CreatePalette(palette);
    }
    case Kind::kEnhMetafile:
      return CopyEnhMetaFileW(format.enh_metafile, nullptr);
    case Kind::kMetafilePicture: {
      METAFILEPICT picture = format.picture;
      picture.hMF = SetMetaFileBitsEx(static_cast<UINT>(format.bytes.size()),
                                      reinterpret_cast<const BYTE*>(format.bytes.data()));
      if (!picture.hMF) {
        return nullptr;
      }
      HGLOBAL memory = GlobalCopy(&picture, sizeof picture);
      if (!memory) {
        DeleteMetaFile(picture.hMF);
      }
      return memory;
    }
  }
  return nullptr;
}

// Frees data that the clipboard did not take.
void FreeData(Kind kind, HANDLE data) {
  switch (kind) {
    case Kind::kMemory:
      GlobalFree(data);
      break;
    case Kind::kBitmap:
    case Kind::kPalette:
      DeleteObject(data);
      break;
    case Kind::kEnhMetafile:
      DeleteEnhMetaFile(static_cast<HENHMETAFILE>(data));
      break;
    case Kind::kMetafilePicture:
      if (const auto* picture = static_cast<const METAFILEPICT*>(GlobalLock(data))) {
        DeleteMetaFile(picture->hMF);
        GlobalUnlock(data);
      }
      GlobalFree(data);
      break;
  }
}

}  // namespace

Win32ClipboardSnapshot::~Win32ClipboardSnapshot() {
  for (const Format& format : formats_) {
    if (format.object) {
      DeleteObject(format.object);
    }
    if (format.enh_metafile) {
      DeleteEnhMetaFile(format.enh_metafile);
    }
  }
}

std::unique_ptr<Win32ClipboardSnapshot> Win32ClipboardSnapshot::CopyOpenClipboard(
    desktop::ClipboardCopy what, std::size_t limit) {
  struct Found {
    UINT id;
    Kind kind;
    HANDLE data;
    std::size_t size;
  };
  std::vector<UINT> ids;
  for (UINT id = EnumClipboardFormats(0); id != 0; id = EnumClipboardFormats(id)) {
    ids.push_back(id);
  }
  const bool text_only = what == desktop::ClipboardCopy::kText;
  std::vector<Found> found;
  std::size_t total = 0;
  for (const UINT id : ids) {
    const std::optional<Kind> kind = KindOf(id);
    if (!kind || (text_only && !IsTextForm(id))) {
      continue;
    }
    HANDLE data = GetClipboardData(id);
    const std::size_t size = data ? SizeOf(*kind, data) : 0;
    if (size == 0) {
      continue;  // nothing to read, and an empty block cannot be put back everywhere
    }
    found.push_back({id, *kind, data, size});
    total += size;
  }

  auto snapshot = std::make_unique<Win32ClipboardSnapshot>();
  if (total > limit) {
    // A picture or a file list of that size would cost the paste its timing and the program its
    // memory; the text is what a note-taker cannot do without.
    const auto first_dropped = std::remove_if(found.begin(), found.end(),
                                              [](const Found& f) { return !IsTextForm(f.id); });
    snapshot->kept_text_only_ = first_dropped != found.end();
    found.erase(first_dropped, found.end());
  }
  for (const Found& f : found) {
    Format format;
    format.id = f.id;
    format.kind = f.kind;
    if (CopyData(f.data, format)) {
      snapshot->formats_.push_back(std::move(format));
    } else if (format.object) {
      DeleteObject(format.object);
    }
  }
  return snapshot;
}

void Win32ClipboardSnapshot::PutOnOpenClipboard() const {
  if (formats_.empty()) {
    return;  // an empty clipboard stays empty
  }
  const ClipboardMarkFormats& marks = MarkFormats();
  for (const Format& format : formats_) {
    // The history marks of the user's data are replaced by ours below.
    if (format.id == marks.history || format.id == marks.cloud) {
      continue;
    }
    HANDLE data = MakeData(format);
    if (data && !SetClipboardData(format.id, data)) {
      FreeData(format.kind, data);
    }
  }
  // The data made its history entry when the user copied it; putting it back must not make a
  // second one.
  MarkOutOfHistory();
}

}  // namespace talvorine::win32
