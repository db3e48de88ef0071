#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace talvorine::files {

// The position of the first CR or LF at or after `from`, or text.size() when there is none.
// Looks at 16 bytes at a time where the machine allows it: a phrase file of a million lines
// is split at close to the speed of reading it.
std::size_t FindLineEnd(std::string_view text, std::size_t from);

// The lines of a text: a line ends at CR LF, a lone CR or a lone LF; a last line without a line
// end is still a line, and a line end at the very end adds no empty one.
std::vector<std::string> SplitTextLines(std::string_view text);

}  // namespace talvorine::files
