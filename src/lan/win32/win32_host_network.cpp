#include "lan/win32/win32_host_network.h"

#include <winsock2.h>

#include <iphlpapi.h>
#include <windows.h>
#include <ws2tcpip.h>

#include <vector>

#include "ui/win32/wide_text.h"
#include "common/error.h"

namespace talvorine::win32 {

namespace {

// Longer than any host name Winsock gives (256 with its terminator).
constexpr int kHostNameSize = 512;
constexpr std::string_view kNoHostName = "ホスト名を取得できません";

using GetHostNameWFunction = int(WSAAPI*)(PWSTR name, int name_length);

GetHostNameWFunction FindGetHostNameW() {
  // Windows 8 and later; the portable exe also starts on older systems.
  HMODULE winsock = GetModuleHandleW(L"ws2_32.dll");
  if (winsock == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<GetHostNameWFunction>(
      reinterpret_cast<void*>(GetProcAddress(winsock, "GetHostNameW")));
}

std::string DottedIpv4(DWORD network_order_address) {
  in_addr address{};
  address.s_addr = network_order_address;
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address, text, sizeof text);
  return text;
}

}  // namespace

std::wstring Win32HostNetwork::WideHostName() {
  if (const GetHostNameWFunction get_host_name_w = FindGetHostNameW()) {
    wchar_t name[kHostNameSize] = {};
    if (get_host_name_w(name, kHostNameSize) == 0) {
      return name;
    }
  }
  char name[kHostNameSize] = {};
  if (gethostname(name, kHostNameSize - 1) != 0) {
    throw Error(WithSystemReason(kNoHostName, WSAGetLastError()));
  }
  // gethostname speaks the ANSI code page of the system, which need not be cp932.
  const int length = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
  if (length <= 0) {
    throw Error(WithSystemReason(kNoHostName, static_cast<int>(GetLastError())));
  }
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, name, -1, wide.data(), length);
  wide.resize(static_cast<std::size_t>(length - 1));
  return wide;
}

std::string Win32HostNetwork::HostName() {
  return WideToCp932(WideHostName());
}

std::optional<std::string> Win32HostNetwork::OwnAddress() {
  std::wstring name;
  try {
    name = WideHostName();
  } catch (const Error&) {
    return std::nullopt;
  }
  ADDRINFOW hints{};
  hints.ai_family = AF_INET;
  ADDRINFOW* results = nullptr;
  if (GetAddrInfoW(name.c_str(), nullptr, &hints, &results) != 0 || results == nullptr) {
    return std::nullopt;
  }
  std::optional<std::string> found;
  for (const ADDRINFOW* entry = results; entry != nullptr; entry = entry->ai_next) {
    if (entry->ai_family == AF_INET && entry->ai_addr != nullptr) {
      found = DottedIpv4(reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr);
      break;
    }
  }
  FreeAddrInfoW(results);
  return found;
}

std::optional<std::string> Win32HostNetwork::FirstAddressTableMask() {
  ULONG size = 0;
  std::vector<unsigned char> buffer;
  DWORD result = ERROR_INSUFFICIENT_BUFFER;
  // The table may grow between the two calls (an interface comes up): ask again then.
  for (int attempt = 0; attempt < 4 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
    buffer.resize(size > 0 ? size : sizeof(MIB_IPADDRTABLE));
    size = static_cast<ULONG>(buffer.size());
    result = GetIpAddrTable(reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data()), &size, FALSE);
  }
  if (result != NO_ERROR) {
    return std::nullopt;
  }
  const auto* table = reinterpret_cast<const MIB_IPADDRTABLE*>(buffer.data());
  if (table->dwNumEntries == 0) {
    return std::nullopt;
  }
  return DottedIpv4(table->table[0].dwMask);
}

}  // namespace talvorine::win32
