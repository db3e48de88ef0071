// The clipboard snapshot of the Desktop port on the real clipboard (under Wine here): what is
// copied, what is left out, and what the restore and the phrase put on the clipboard.
#include "desktop/win32/clipboard_snapshot.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "desktop/win32/clipboard_marks.h"
#include "desktop/win32/win32_desktop.h"

namespace talvorine::win32 {
namespace {

using Bytes = std::vector<unsigned char>;

struct Put {
  UINT id;
  Bytes bytes;
};

Bytes WideBytes(const std::wstring& text) {
  const auto* first = reinterpret_cast<const unsigned char*>(text.c_str());
  return Bytes(first, first + (text.size() + 1) * sizeof(wchar_t));
}

// A 4 x 2 picture, 24 bits a pixel, as CF_DIB holds it.
Bytes SmallDib() {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = 4;
  header.biHeight = 2;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  Bytes bytes(sizeof header + 4 * 3 * 2);
  std::memcpy(bytes.data(), &header, sizeof header);
  for (std::size_t i = sizeof header; i < bytes.size(); ++i) {
    bytes[i] = static_cast<unsigned char>(i * 37);
  }
  return bytes;
}

class ClipboardSnapshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"snapshot test", 0, 0, 0, 10, 10, HWND_MESSAGE,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    desktop_.SetMainWindow(window_);
    html_ = RegisterClipboardFormatW(L"HTML Format");
    custom_ = RegisterClipboardFormatW(L"Talvorine Test Custom Format");
  }
  void TearDown() override {
    if (OpenClipboard(window_)) {
      EmptyClipboard();
      CloseClipboard();
    }
    DestroyWindow(window_);
  }

  void PutOnClipboard(const std::vector<Put>& formats) {
    ASSERT_TRUE(OpenClipboard(window_));
    EmptyClipboard();
    for (const Put& put : formats) {
      HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, put.bytes.size());
      std::memcpy(GlobalLock(memory), put.bytes.data(), put.bytes.size());
      GlobalUnlock(memory);
      SetClipboardData(put.id, memory);
    }
    CloseClipboard();
  }

  // Every format on the clipboard in its order, with the bytes of those held in memory (a
  // bitmap gives its pixels).
  std::vector<Put> ReadClipboard() {
    std::vector<Put> found;
    if (!OpenClipboard(window_)) {
      ADD_FAILURE() << "the clipboard cannot be opened";
      return found;
    }
    for (UINT id = EnumClipboardFormats(0); id != 0; id = EnumClipboardFormats(id)) {
      Put put{id, {}};
      HANDLE data = GetClipboardData(id);
      if (id == CF_BITMAP) {
        BITMAP bitmap{};
        GetObjectW(data, sizeof bitmap, &bitmap);
        put.bytes.resize(static_cast<std::size_t>(bitmap.bmWidthBytes) * bitmap.bmHeight);
        GetBitmapBits(static_cast<HBITMAP>(data), static_cast<LONG>(put.bytes.size()),
                      put.bytes.data());
      } else if (id == CF_ENHMETAFILE) {
        put.bytes.resize(GetEnhMetaFileBits(static_cast<HENHMETAFILE>(data), 0, nullptr));
        GetEnhMetaFileBits(static_cast<HENHMETAFILE>(data), static_cast<UINT>(put.bytes.size()),
                           put.bytes.data());
      } else if (id != CF_METAFILEPICT && id != CF_PALETTE && data) {
        if (const auto* first = static_cast<const unsigned char*>(GlobalLock(data))) {
          put.bytes.assign(first, first + GlobalSize(data));
          GlobalUnlock(data);
        }
      }
      found.push_back(std::move(put));
    }
    CloseClipboard();
    return found;
  }

  static std::vector<Put> Without(std::vector<Put> formats, std::initializer_list<UINT> ids) {
    std::erase_if(formats, [&](const Put& put) {
      return std::find(ids.begin(), ids.end(), put.id) != ids.end();
    });
    return formats;
  }

  static std::vector<UINT> Ids(const std::vector<Put>& formats) {
    std::vector<UINT> ids;
    for (const Put& put : formats) {
      ids.push_back(put.id);
    }
    return ids;
  }

  static const Put* Find(const std::vector<Put>& formats, UINT id) {
    for (const Put& put : formats) {
      if (put.id == id) {
        return &put;
      }
    }
    return nullptr;
  }

  HWND window_ = nullptr;
  Win32Desktop desktop_;
  UINT html_ = 0;
  UINT custom_ = 0;
};

bool operator==(const Put& a, const Put& b) {
  return a.id == b.id && a.bytes == b.bytes;
}

void PrintTo(const Put& put, std::ostream* out) {
  *out << "format " << put.id << " (" << put.bytes.size() << " bytes)";
}

TEST_F(ClipboardSnapshotTest, EveryFormatComesBackInOrderWithItsBytesAndOutOfHistory) {
  const std::vector<std::vector<Put>> cases = {
      {{CF_UNICODETEXT, WideBytes(L"Caf\u00E9 na\u00EFve \U0001F600 文 \u00C6r\u00F8sk\u00F8bing")}},
      {{CF_DIB, SmallDib()},
       {custom_, Bytes{0, 1, 2, 0, 255}},
       {html_, Bytes{'<', 'b', '>', 'x', '<', '/', 'b', '>', 0}}},
  };
  const ClipboardMarkFormats& marks = MarkFormats();
  for (const auto& formats : cases) {
    PutOnClipboard(formats);
    // The system adds formats it makes from these (CF_TEXT from text, CF_BITMAP from CF_DIB):
    // they are the user's clipboard too.
    const std::vector<Put> before = ReadClipboard();
    const auto snapshot = desktop_.SaveClipboard(desktop::ClipboardCopy::kEverything);
    EXPECT_FALSE(snapshot->KeptTextOnly());
    desktop_.SetClipboardText("定型文");
    desktop_.RestoreClipboard(*snapshot);
    const std::vector<Put> after = ReadClipboard();
    EXPECT_EQ(Without(after, {marks.history, marks.cloud}), before);
    ASSERT_NE(Find(after, marks.history), nullptr);
    EXPECT_EQ(Find(after, marks.history)->bytes, (Bytes{0, 0, 0, 0}));
    ASSERT_NE(Find(after, marks.cloud), nullptr);
    EXPECT_EQ(Find(after, marks.cloud)->bytes, (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(Find(after, marks.exclude_from_monitors), nullptr)
        << "the user's own data is seen by monitors again";
  }
}

TEST_F(ClipboardSnapshotTest, AnEmptyClipboardComesBackEmpty) {
  PutOnClipboard({});
  const auto snapshot = desktop_.SaveClipboard(desktop::ClipboardCopy::kEverything);
  desktop_.SetClipboardText("定型文");
  desktop_.RestoreClipboard(*snapshot);
  EXPECT_TRUE(ReadClipboard().empty());
}

TEST_F(ClipboardSnapshotTest, APictureAndAMetafileComeBackAsCopiesOfTheirObjects) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
  HDC memory_dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory_dc, bitmap);
  PatBlt(memory_dc, 0, 0, 8, 8, WHITENESS);
  SetPixel(memory_dc, 3, 5, RGB(200, 10, 30));
  SelectObject(memory_dc, old);
  DeleteDC(memory_dc);
  HDC metafile_dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  Rectangle(metafile_dc, 1, 2, 30, 40);
  HENHMETAFILE metafile = CloseEnhMetaFile(metafile_dc);
  ReleaseDC(nullptr, screen);
  ASSERT_TRUE(OpenClipboard(window_));
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, bitmap);
  SetClipboardData(CF_ENHMETAFILE, metafile);
  CloseClipboard();

  const std::vector<Put> before = ReadClipboard();
  ASSERT_NE(Find(before, CF_BITMAP), nullptr);
  ASSERT_NE(Find(before, CF_ENHMETAFILE), nullptr);
  auto snapshot = desktop_.SaveClipboard(desktop::ClipboardCopy::kEverything);
  desktop_.ClearClipboard();  // the originals are gone now: only the copies are left
  desktop_.RestoreClipboard(*snapshot);
  const std::vector<Put> after = ReadClipboard();
  EXPECT_EQ(*Find(after, CF_BITMAP), *Find(before, CF_BITMAP));
  EXPECT_EQ(*Find(after, CF_ENHMETAFILE), *Find(before, CF_ENHMETAFILE));
  snapshot.reset();  // the snapshot's own copies go; the clipboard's stay readable
  EXPECT_EQ(*Find(ReadClipboard(), CF_BITMAP), *Find(before, CF_BITMAP));
}

TEST_F(ClipboardSnapshotTest, FormatsThatCannotBeCopiedAsDataAreLeftOut) {
  const std::wstring text = L"残る文";
  PutOnClipboard({{CF_UNICODETEXT, WideBytes(text)}});
  ASSERT_TRUE(OpenClipboard(window_));
  SetClipboardData(CF_OWNERDISPLAY, nullptr);
  SetClipboardData(custom_, nullptr);
  HGLOBAL private_memory = GlobalAlloc(GMEM_MOVEABLE, 8);
  std::memset(GlobalLock(private_memory), 1, 8);
  GlobalUnlock(private_memory);
  SetClipboardData(CF_PRIVATEFIRST, private_memory);
  CloseClipboard();

  ASSERT_TRUE(OpenClipboard(window_));
  const auto snapshot = Win32ClipboardSnapshot::CopyOpenClipboard(
      desktop::ClipboardCopy::kEverything, desktop::kClipboardSnapshotLimit);
  CloseClipboard();
  const std::vector<UINT> ids = [&] {
    std::vector<UINT> saved;
    for (const auto& format : snapshot->formats()) {
      saved.push_back(format.id);
    }
    return saved;
  }();
  EXPECT_NE(std::find(ids.begin(), ids.end(), CF_UNICODETEXT), ids.end());
  for (const UINT left_out : {UINT{CF_OWNERDISPLAY}, custom_, UINT{CF_PRIVATEFIRST}}) {
    EXPECT_EQ(std::find(ids.begin(), ids.end(), left_out), ids.end()) << left_out;
  }
  EXPECT_FALSE(snapshot->KeptTextOnly());
}

TEST_F(ClipboardSnapshotTest, BeyondTheLimitOnlyTheTextFormsAreKept) {
  const Bytes big(4096, 0x5a);
  struct Case {
    const char* name;
    std::vector<Put> formats;
    std::size_t limit;
    bool kept_text_only;
  };
  const Case cases[] = {
      {"within the limit", {{CF_UNICODETEXT, WideBytes(L"文")}, {custom_, big}}, 100000, false},
      {"beyond it", {{CF_UNICODETEXT, WideBytes(L"文")}, {custom_, big}}, 4000, true},
      {"beyond it without text", {{custom_, big}, {html_, big}}, 4000, true},
  };
  for (const Case& c : cases) {
    PutOnClipboard(c.formats);
    ASSERT_TRUE(OpenClipboard(window_));
    const auto snapshot =
        Win32ClipboardSnapshot::CopyOpenClipboard(desktop::ClipboardCopy::kEverything, c.limit);
    CloseClipboard();
    EXPECT_EQ(snapshot->KeptTextOnly(), c.kept_text_only) << c.name;
    bool has_custom = false;
    bool has_text = false;
    for (const auto& format : snapshot->formats()) {
      has_custom = has_custom || format.id == custom_;
      has_text = has_text || format.id == CF_UNICODETEXT;
    }
    EXPECT_EQ(has_custom, !c.kept_text_only) << c.name;
    EXPECT_EQ(has_text, Find(c.formats, CF_UNICODETEXT) != nullptr) << c.name;
  }
}

TEST_F(ClipboardSnapshotTest, ACopyOfTheTextKeepsOnlyTheTextForms) {
  PutOnClipboard({{html_, Bytes{'h', 0}}, {CF_UNICODETEXT, WideBytes(L"文")}});
  const auto snapshot = desktop_.SaveClipboard(desktop::ClipboardCopy::kText);
  const auto& formats = dynamic_cast<const Win32ClipboardSnapshot&>(*snapshot).formats();
  ASSERT_FALSE(formats.empty());
  for (const auto& format : formats) {
    EXPECT_TRUE(format.id == CF_UNICODETEXT || format.id == CF_TEXT || format.id == CF_OEMTEXT ||
                format.id == CF_LOCALE)
        << format.id;
  }
  EXPECT_FALSE(snapshot->KeptTextOnly());
}

TEST_F(ClipboardSnapshotTest, ThePhraseForThePasteCarriesTheThreeExclusionMarks) {
  desktop_.SetClipboardText("定型文");
  const std::vector<Put> found = ReadClipboard();
  const ClipboardMarkFormats& marks = MarkFormats();
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found[0], (Put{CF_UNICODETEXT, WideBytes(L"定型文")}));
  for (const UINT mark : {marks.exclude_from_monitors, marks.history, marks.cloud}) {
    const Put* put = Find(found, mark);
    ASSERT_NE(put, nullptr) << mark;
    EXPECT_EQ(put->bytes, (Bytes{0, 0, 0, 0})) << mark;
  }
}

}  // namespace
}  // namespace talvorine::win32
