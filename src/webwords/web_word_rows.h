#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talvorine::webwords {

// A row has a stroke when something stands before its first "=".
bool HasStroke(std::string_view row);

// Deletes every row without a stroke (empty items, items without "=", items starting with "=");
// the rows left keep their order, duplicates included.
void RemoveRowsWithoutStroke(std::vector<std::string>& rows);

}  // namespace talvorine::webwords
