// Splits arbitrary bytes as a phrase list file: the rows, saved and read again, must come back
// unchanged, and a table loaded from the bytes in place must hold the same rows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "files/phrase_file.h"

namespace {

void Check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace talvorine::files;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> rows = SplitPhraseFileText(bytes);

  std::size_t row_bytes = 0;
  for (const std::string& row : rows) {
    Check(row.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
    row_bytes += row.size();
  }
  Check(row_bytes <= size);

  Check(PhraseTableFromFileText(std::string(bytes)).lines() == rows);

  const std::string saved = JoinPhraseFileText(rows);
  Check(SplitPhraseFileText(saved) == rows);
  Check(saved.size() == row_bytes + 2 * rows.size());
  return 0;
}
