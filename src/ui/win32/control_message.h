#pragma once

#include <windows.h>

namespace talvorine::win32 {

// A message to a control, with the parameters most messages leave at zero.
inline LRESULT Send(HWND hwnd, UINT message, WPARAM w_param = 0, LPARAM l_param = 0) {
  return SendMessageW(hwnd, message, w_param, l_param);
}

}  // namespace talvorine::win32
