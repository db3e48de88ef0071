#pragma once

#include <cstdint>
#include <string_view>

namespace talvorine::lan {

// What LAN sharing shows in the windows: the main window's monitor box and address box, the
// file-send window SendForm and the tray icon. Texts are cp932.
class LanView {
 public:
  virtual ~LanView() = default;
  // The monitor box under "張り付け用バッファモニタ".
  virtual void SetEdit1Text(std::string_view text) = 0;
  // The broadcast address box, after an automatic determination.
  virtual void SetIPaddrText(std::string_view text) = 0;
  // The file-send window, shown without being modal.
  virtual void ShowSendForm() = 0;
  virtual void HideSendForm() = 0;
  // Its status label and progress bar (in bytes of the file).
  virtual void SetLabel2Caption(std::string_view text) = 0;
  virtual void SetProgressBar1Max(std::uint64_t maximum) = 0;
  virtual void SetProgressBar1Position(std::uint64_t position) = 0;
  // The tray icon cycles through its images while a file is sent; stopping shows image 0.
  virtual void StartTrayAnimation() = 0;
  virtual void StopTrayAnimation() = 0;
};

}  // namespace talvorine::lan
