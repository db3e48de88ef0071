#pragma once

#include <cstdint>
#include <string_view>

#include "desktop/desktop.h"

namespace talvorine::lan {

// The little that receiving and file sending ask of the desktop: modal boxes, bringing the
// program to the front, a pause and a message pump. Kept apart from the whole Desktop port so that
// a peer without windows (the command-line peer) can provide just this.
class LanDesktop {
 public:
  virtual ~LanDesktop() = default;
  virtual desktop::MessageBoxResult ShowMessageBox(std::string_view text, std::string_view caption,
                                                   desktop::MessageBoxStyle style) = 0;
  virtual void BringApplicationToFront() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  virtual void ProcessPendingMessages() = 0;
};

// The program's Desktop seen as a LanDesktop.
class LanDesktopAdapter : public LanDesktop {
 public:
  explicit LanDesktopAdapter(desktop::Desktop& desktop) : desktop_(desktop) {}

  desktop::MessageBoxResult ShowMessageBox(std::string_view text, std::string_view caption,
                                           desktop::MessageBoxStyle style) override {
    return desktop_.ShowMessageBox(text, caption, style);
  }
  void BringApplicationToFront() override { desktop_.BringApplicationToFront(); }
  void Sleep(std::uint32_t milliseconds) override { desktop_.Sleep(milliseconds); }
  void ProcessPendingMessages() override { desktop_.ProcessPendingMessages(); }

 private:
  desktop::Desktop& desktop_;
};

}  // namespace talvorine::lan
