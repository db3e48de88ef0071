#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talvorine::files {

// The lines of a text: a line ends at CR LF, a lone CR or a lone LF; a last line without a line
// end is still a line, and a line end at the very end adds no empty one.
std::vector<std::string> SplitTextLines(std::string_view text);

}  // namespace talvorine::files
