// A console helper for the end-to-end tests of the clipboard around an insertion: it puts known
// contents on the clipboard, lists what the clipboard holds, and listens to its updates. It
// answers on stdout in UTF-8, one line per answer.
//
//   put text|image|big-image|empty   puts one of the contents below and answers "put":
//                                    text: Unicode text with emoji and accented Latin;
//                                    image: a CF_DIB picture, a registered custom format and
//                                    "HTML Format"; big-image: a CF_DIB picture of 1 MiB;
//                                    empty: nothing at all
//   dump                             one line per format in the clipboard's order,
//                                    "NAME SIZE HASH" (a bitmap by its pixels, a metafile by its
//                                    bits), then "end"
//   listen MS STOPFILE               "ready", then one line per clipboard update,
//                                    "text=T|exclude=V|history=V|cloud=V|formats=N,N..."
//                                    (V is the mark's DWORD, "-" when the mark is absent), until
//                                    the file STOPFILE exists or MS milliseconds have passed;
//                                    then "end" (or "timeout")
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "probe_answer.h"

namespace {

const wchar_t kText[] =
    L"Caf\u00E9 cr\u00E8me, na\u00EFve fa\u00E7ade \u2013 \u00C6r\u00F8sk\u00F8bing \u00ABd\u00E9j\u00E0 vu\u00BB \U0001F600\U0001F44D\U0001F3FD \u00BFQu\u00E9 tal?";
const wchar_t kCustomFormat[] = L"Talvorine E2E Custom";
const char kHtml[] =
    "Version:0.9\r\nStartHTML:0000000097\r\nEndHTML:0000000170\r\n"
    "StartFragment:0000000131\r\nEndFragment:0000000134\r\n"
    "<html><body><!--StartFragment--><b>x</b><!--EndFragment--></body></html>";

// Another program may hold the clipboard, or its owner may not answer yet: tries for 5 s.
bool OpenClipboardPatiently(HWND owner) {
  for (int i = 0; i < 500; ++i) {
    if (OpenClipboard(owner)) {
      return true;
    }
    Sleep(10);
  }
  return false;
}

void PutMemory(UINT format, const void* data, size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(memory), data, size);
  GlobalUnlock(memory);
  if (!SetClipboardData(format, memory)) {
    GlobalFree(memory);
  }
}

std::vector<unsigned char> Dib(LONG width, LONG height) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  std::vector<unsigned char> bytes(sizeof header + static_cast<size_t>(width * height * 4));
  std::memcpy(bytes.data(), &header, sizeof header);
  std::uint32_t state = 12345;
  for (size_t i = sizeof header; i < bytes.size(); ++i) {
    state = state * 1103515245u + 12345u;
    bytes[i] = static_cast<unsigned char>(state >> 24);
  }
  return bytes;
}

bool Put(const std::wstring& what) {
  if (!OpenClipboardPatiently(nullptr)) {
    return false;
  }
  EmptyClipboard();
  if (what == L"text") {
    PutMemory(CF_UNICODETEXT, kText, sizeof kText);
  } else if (what == L"image") {
    const std::vector<unsigned char> dib = Dib(40, 30);
    PutMemory(CF_DIB, dib.data(), dib.size());
    const unsigned char custom[] = {0, 1, 2, 3, 0, 0xFF, 0xFE, 0x80, 0};
    PutMemory(RegisterClipboardFormatW(kCustomFormat), custom, sizeof custom);
    PutMemory(RegisterClipboardFormatW(L"HTML Format"), kHtml, sizeof kHtml);
  } else if (what == L"big-image") {
    const std::vector<unsigned char> dib = Dib(512, 512);
    PutMemory(CF_DIB, dib.data(), dib.size());
  } else if (what != L"empty") {
    CloseClipboard();
    return false;
  }
  CloseClipboard();
  return true;
}

std::wstring FormatName(UINT format) {
  static const std::pair<UINT, const wchar_t*> kStandard[] = {
      {CF_TEXT, L"CF_TEXT"},
      {CF_BITMAP, L"CF_BITMAP"},
      {CF_METAFILEPICT, L"CF_METAFILEPICT"},
      {CF_SYLK, L"CF_SYLK"},
      {CF_DIF, L"CF_DIF"},
      {CF_TIFF, L"CF_TIFF"},
      {CF_OEMTEXT, L"CF_OEMTEXT"},
      {CF_DIB, L"CF_DIB"},
      {CF_PALETTE, L"CF_PALETTE"},
      {CF_RIFF, L"CF_RIFF"},
      {CF_WAVE, L"CF_WAVE"},
      {CF_UNICODETEXT, L"CF_UNICODETEXT"},
      {CF_ENHMETAFILE, L"CF_ENHMETAFILE"},
      {CF_HDROP, L"CF_HDROP"},
      {CF_LOCALE, L"CF_LOCALE"},
      {CF_DIBV5, L"CF_DIBV5"},
      {CF_OWNERDISPLAY, L"CF_OWNERDISPLAY"},
  };
  for (const auto& [id, name] : kStandard) {
    if (id == format) {
      return name;
    }
  }
  wchar_t name[256] = {};
  if (GetClipboardFormatNameW(format, name, 256) > 0) {
    std::wstring text = name;
    for (wchar_t& c : text) {
      if (c == L' ') {
        c = L'_';  // one word per name in the dump
      }
    }
    return text;
  }
  return L"#" + std::to_wstring(format);
}

std::uint64_t Fnv1a(const void* data, size_t size) {
  std::uint64_t hash = 14695981039346656037ull;
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) {
    hash = (hash ^ bytes[i]) * 1099511628211ull;
  }
  return hash;
}

// "SIZE HASH" of one format's data, with the clipboard open.
std::wstring Fingerprint(UINT format) {
  HANDLE data = GetClipboardData(format);
  if (!data) {
    return L"unreadable";
  }
  std::vector<unsigned char> bytes;
  if (format == CF_BITMAP) {
    BITMAP bitmap{};
    GetObjectW(data, sizeof bitmap, &bitmap);
    bytes.resize(static_cast<size_t>(bitmap.bmWidthBytes) * static_cast<size_t>(bitmap.bmHeight));
    GetBitmapBits(static_cast<HBITMAP>(data), static_cast<LONG>(bytes.size()), bytes.data());
  } else if (format == CF_ENHMETAFILE) {
    bytes.resize(GetEnhMetaFileBits(static_cast<HENHMETAFILE>(data), 0, nullptr));
    GetEnhMetaFileBits(static_cast<HENHMETAFILE>(data), static_cast<UINT>(bytes.size()),
                       bytes.data());
  } else if (format == CF_PALETTE || format == CF_METAFILEPICT) {
    return L"object";
  } else if (const void* memory = GlobalLock(data)) {
    bytes.assign(static_cast<const unsigned char*>(memory),
                 static_cast<const unsigned char*>(memory) + GlobalSize(data));
    GlobalUnlock(data);
  } else {
    return L"unreadable";
  }
  wchar_t hash[32];
  swprintf(hash, 32, L"%016llx",
           static_cast<unsigned long long>(Fnv1a(bytes.data(), bytes.size())));
  return std::to_wstring(bytes.size()) + L" " + hash;
}

bool Dump() {
  if (!OpenClipboardPatiently(nullptr)) {
    return false;
  }
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
    Answer(FormatName(format) + L" " + Fingerprint(format));
  }
  CloseClipboard();
  Answer(L"end");
  return true;
}

std::wstring MarkValue(const wchar_t* name) {
  const UINT format = RegisterClipboardFormatW(name);
  if (!IsClipboardFormatAvailable(format)) {
    return L"-";
  }
  HANDLE data = GetClipboardData(format);
  const auto* value = data ? static_cast<const DWORD*>(GlobalLock(data)) : nullptr;
  if (!value) {
    return L"unreadable";
  }
  const std::wstring text = GlobalSize(data) >= sizeof(DWORD) ? std::to_wstring(*value) : L"short";
  GlobalUnlock(data);
  return text;
}

// One line about the clipboard as it is now.
std::wstring Describe(HWND window) {
  if (!OpenClipboardPatiently(window)) {
    return L"busy";
  }
  std::wstring text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = wide;
      GlobalUnlock(data);
    }
  }
  std::wstring line = L"text=" + text + L"|exclude=" +
                      MarkValue(L"ExcludeClipboardContentFromMonitorProcessing") + L"|history=" +
                      MarkValue(L"CanIncludeInClipboardHistory") + L"|cloud=" +
                      MarkValue(L"CanUploadToCloudClipboard") + L"|formats=";
  bool first = true;
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
    line += (first ? L"" : L",") + FormatName(format);
    first = false;
  }
  CloseClipboard();
  return line;
}

struct Listening {
  ULONGLONG deadline = 0;
  std::wstring stop_file;
  bool timed_out = false;
} g_listening;

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
  if (message == WM_CLIPBOARDUPDATE) {
    Answer(Describe(window));
    return 0;
  }
  if (message == WM_TIMER) {
    if (GetFileAttributesW(g_listening.stop_file.c_str()) != INVALID_FILE_ATTRIBUTES) {
      PostQuitMessage(0);
    } else if (GetTickCount64() >= g_listening.deadline) {
      g_listening.timed_out = true;
      PostQuitMessage(0);
    }
    return 0;
  }
  return DefWindowProcW(window, message, w_param, l_param);
}

int Listen(UINT milliseconds, const wchar_t* stop_file) {
  g_listening.deadline = GetTickCount64() + milliseconds;
  g_listening.stop_file = stop_file;
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = ListenerProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"TalvorineClipboardListener";
  RegisterClassW(&window_class);
  HWND window = CreateWindowExW(0, window_class.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                nullptr, window_class.hInstance, nullptr);
  if (!window || !AddClipboardFormatListener(window)) {
    Answer(L"no listener");
    return 1;
  }
  SetTimer(window, 1, 20, nullptr);
  Answer(L"ready");
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    DispatchMessageW(&message);
  }
  RemoveClipboardFormatListener(window);
  DestroyWindow(window);
  Answer(g_listening.timed_out ? L"timeout" : L"end");
  return g_listening.timed_out ? 1 : 0;
}

int Run(int argc, wchar_t** argv) {
  const std::wstring command = argc >= 2 ? argv[1] : L"";
  if (command == L"put" && argc == 3) {
    const bool put = Put(argv[2]);
    Answer(put ? L"put" : L"failed");
    return put ? 0 : 1;
  }
  if (command == L"dump" && argc == 2) {
    if (!Dump()) {
      Answer(L"busy");
      return 1;
    }
    return 0;
  }
  if (command == L"listen" && argc == 4) {
    return Listen(static_cast<UINT>(_wtoi(argv[2])), argv[3]);
  }
  Answer(L"unknown command");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  return Run(argc, argv);
}
