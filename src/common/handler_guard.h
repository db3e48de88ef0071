#pragma once

#include <exception>
#include <string_view>
#include <utility>

#include "common/error_record.h"

namespace talvorine {

// The one way every message handler enters the core. An exception that escapes the handler
// becomes one line of the error record, "エラー：" + its message (a message of two lines gives
// two lines), and nothing is shown to the user: a note-taker mid-sentence must never meet a box.
class HandlerGuard {
 public:
  explicit HandlerGuard(ErrorRecord& record) : record_(record) {}
  HandlerGuard(const HandlerGuard&) = delete;
  HandlerGuard& operator=(const HandlerGuard&) = delete;

  // Runs the handler; true when it returned normally.
  template <typename Handler>
  bool Run(Handler&& handler) noexcept {
    try {
      std::forward<Handler>(handler)();
      return true;
    } catch (const std::exception& error) {
      ApplicationException(error.what());
    } catch (...) {
      // An exception of a foreign type carries no message of ours.
      ApplicationException({});
    }
    return false;
  }

  // Records a failure as the exception handler does; never throws.
  void ApplicationException(std::string_view message) noexcept;

 private:
  ErrorRecord& record_;
};

}  // namespace talvorine
