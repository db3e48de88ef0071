#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talvorine::files {

// All bytes of the file at path (cp932), or nothing when it cannot be opened or read. With
// deny_writers, other programs may not write it meanwhile (see OpenSystemFile).
std::optional<std::string> ReadWholeFile(std::string_view path, bool deny_writers);

}  // namespace talvorine::files
