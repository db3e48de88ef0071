#pragma once

#include <cstdio>
#include <functional>
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

// How a whole-file replacement ended.
enum class ReplaceFileResult {
  kReplaced,
  kCannotCreate,  // no new file could be made beside the target, or the target is read-only,
                  // not a file, or could not be replaced
  kWriteFailed,   // the bytes did not all reach the disk (disk full, file-size limit)
};

// Writes bytes into a new file in the target's folder, flushes it to the disk and then puts it
// in the target's place in one step, so the target holds either all of its old bytes or all of
// the new ones, never a part. On failure the new file is removed and the target is untouched.
// A read-only target is refused even where the system would let a rename pass over it; an
// existing target keeps its permissions, and a symbolic link keeps pointing at the file it names.
ReplaceFileResult ReplaceSystemFile(std::string_view path, std::string_view bytes);

// The same for bytes handed out block by block: each call of next_block gives the next block,
// which stays valid until the following call, and an empty one at the end.
ReplaceFileResult ReplaceSystemFile(std::string_view path,
                                    const std::function<std::string_view()>& next_block);

}  // namespace talvorine
