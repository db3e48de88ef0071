#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talvorine::webwords {

// Splits comma text into its items. Bytes 1 to 32 (blanks, tabs, line breaks, other control
// characters) and the comma separate items; an item that starts with a double quote runs to the
// next quote that is not doubled, and "" inside it stands for one quote. A comma that is the last
// byte of the text adds an empty item. Bytes from 128 up never separate, so cp932 characters
// (the ideographic space included) stay inside their item. A NUL byte ends the text.
// A quoted item whose closing quote never comes runs to the end of the text and keeps every byte.
std::vector<std::string> SplitCommaText(std::string_view text);

}  // namespace talvorine::webwords
