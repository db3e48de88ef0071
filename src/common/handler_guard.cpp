#include "common/handler_guard.h"

#include <string>

namespace talvorine {

void HandlerGuard::ApplicationException(std::string_view message) noexcept {
  try {
    std::string line = "エラー：";
    line += message;
    record_.AddLine(line);
  } catch (...) {
    // Out of memory while recording: nothing more can be done, and the loop must go on.
  }
}

}  // namespace talvorine
