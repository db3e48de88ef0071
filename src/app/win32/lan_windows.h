#pragma once

#include <cstdint>
#include <string_view>

#include "app/win32/talvorine_main.h"
#include "lan/lan_view.h"
#include "lan/win32/talvorine_sendform.h"

namespace talvorine::win32 {

// What LAN sharing shows, in the windows that show it: the monitor box and the address box of
// the main window's LAN tab, the file-send window and the tray icon's animation.
class LanWindows : public lan::LanView {
 public:
  LanWindows(MainWindow& form1, TSendForm& send_form) : form1_(form1), send_form_(send_form) {}

  void SetEdit1Text(std::string_view text) override { form1_.SetEdit1Text(text); }
  // The settings record got the address from the core already; only the box follows here.
  void SetIPaddrText(std::string_view text) override { form1_.SetIPaddrText(text); }
  void ShowSendForm() override { send_form_.ShowForm(); }
  void HideSendForm() override { send_form_.HideForm(); }
  void SetLabel2Caption(std::string_view text) override { send_form_.SetLabel2Caption(text); }
  void SetProgressBar1Max(std::uint64_t maximum) override {
    send_form_.SetProgressBar1Max(maximum);
  }
  void SetProgressBar1Position(std::uint64_t position) override {
    send_form_.SetProgressBar1Position(position);
  }
  void StartTrayAnimation() override { form1_.StartTrayAnimation(); }
  void StopTrayAnimation() override { form1_.StopTrayAnimation(); }

 private:
  MainWindow& form1_;
  TSendForm& send_form_;
};

}  // namespace talvorine::win32
