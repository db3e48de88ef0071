#pragma once

#include <string>
#include <string_view>

namespace talvorine::win32 {

// The core's cp932 text at the Win32 boundary, independent of the system's ANSI code page.
std::wstring Cp932ToWide(std::string_view text);
std::string WideToCp932(std::wstring_view text);

}  // namespace talvorine::win32
