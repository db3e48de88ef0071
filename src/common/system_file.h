#pragma once

#include <cstdio>
#include <string_view>

namespace talvorine {

// Every file the program opens goes through here: paths are cp932 text (from settings files,
// dialogs and drops) and are converted for the system, UTF-16 on Windows, UTF-8 elsewhere,
// so that a name such as "自動読込.tvs" opens on every code page.

// fopen with a cp932 path. With deny_writers, other programs may not write the file while it is
// open (Windows; elsewhere the flag has no effect). Returns nullptr on failure.
std::FILE* OpenSystemFile(std::string_view path, const char* mode, bool deny_writers = false);

bool SystemFileExists(std::string_view path);
bool RemoveSystemFile(std::string_view path);

}  // namespace talvorine
