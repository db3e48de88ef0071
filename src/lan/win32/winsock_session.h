#pragma once

#include <winsock2.h>

#include <string>
#include <string_view>

namespace talvorine::win32 {

// Winsock started for as long as an instance lives; instances nest (Winsock counts them).
class WinsockSession {
 public:
  WinsockSession();
  ~WinsockSession();
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;

 private:
  bool started_ = false;
};

// message + " (" + the system's text of a Winsock or Win32 error + ")", in cp932.
std::string WithSystemReason(std::string_view message, int error_code);

}  // namespace talvorine::win32
