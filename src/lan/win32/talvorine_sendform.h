#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string_view>

#include "ui/win32/controls.h"
#include "ui/win32/window.h"

namespace talvorine::win32 {

// A progress bar whose range is a count of bytes, however large: the control's range is 32-bit,
// so a maximum beyond it is scaled down (the position with it).
class ProgressBar : public Control {
 public:
  ProgressBar(Window& owner, const CreateArgs& args);
  void SetMax(std::uint64_t maximum);
  void SetPosition(std::uint64_t position);
  // The control's own range and position, after the scaling.
  int NativeMax() const;
  int NativePosition() const;

 private:
  std::uint64_t maximum_ = 100;
  int shift_ = 0;
};

// The file-send window SendForm: a small always-on-top tool window that shows how far a file
// has gone to the LAN. It is made hidden at start-up and shown without being modal, so the user
// goes on typing while the file goes out.
class TSendForm : public Window {
 public:
  // The client size at 96 DPI.
  static constexpr int kClientWidth = 386;
  static constexpr int kClientHeight = 64;

  // owner: the main window, so the form has no taskbar button and goes with the program.
  TSendForm(HandlerGuard& guard, HWND owner);
  ~TSendForm() override;

  // Shown without taking the focus from the program the user is writing in.
  void ShowForm();
  void HideForm();
  void SetLabel2Caption(std::string_view text) { Label2->SetText(text); }
  void SetProgressBar1Max(std::uint64_t maximum) { ProgressBar1->SetMax(maximum); }
  void SetProgressBar1Position(std::uint64_t position) { ProgressBar1->SetPosition(position); }

  Label& label1() { return *Label1; }
  Label& label2() { return *Label2; }
  ProgressBar& progress_bar1() { return *ProgressBar1; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) override;

 private:
  std::unique_ptr<Label> Label1;
  std::unique_ptr<Label> Label2;
  std::unique_ptr<ProgressBar> ProgressBar1;
};

}  // namespace talvorine::win32
