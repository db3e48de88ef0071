#pragma once

#include <windows.h>

#include <memory>

#include "common/handler_guard.h"
#include "ui/win32/controls.h"
#include "ui/win32/message_window.h"
#include "ui/win32/window.h"
#include "desktop/candidate_window.h"
#include "desktop/candidate_window_view.h"

namespace talvorine::win32 {

// The candidate window Form2: a small always-on-top window, owned by the main window, whose one
// control is the candidate list ValueListEditor1. Its behaviour is TForm2's; this class turns
// window messages into TForm2's events and TForm2's requests into window calls.
class CandidateWindow : public Window, public desktop::CandidateWindowView {
 public:
  CandidateWindow(HandlerGuard& guard, HWND main_window,
                  const desktop::CandidateWindowParts& parts);

  desktop::TForm2& form() { return form_; }
  // Timer1 and Timer2 of the window tick into TForm2.
  void ConnectTimers(MessageWindow& timers);

  // desktop::CandidateWindowView
  bool IsVisible() override;
  void ShowWindow() override;
  void RaiseToTop() override;
  void Hide() override;
  desktop::Size OuterSize() override;
  void SetOuterSize(desktop::Size size) override;
  void Place(const desktop::Rect& outer) override;
  unsigned Dpi() override;
  void SwitchImeOff() override;
  void RefreshList() override;
  std::size_t VisibleRowCount() override;

  // The list control (for tests and for the owner's keyboard routing).
  HWND list_hwnd() const { return list_ ? list_->hwnd() : nullptr; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) override;
  void OnDpiChanged() override;

 private:
  std::string CellText(int row, int column) const;
  bool FilterListMessage(UINT message, WPARAM w_param, LPARAM l_param, LRESULT& result);
  void FillClientArea();

  desktop::TForm2 form_;
  std::unique_ptr<ListView> list_;
  // Set while Place moves the window: a DPI change it causes keeps the rectangle it was given,
  // which is already sized for the new monitor.
  bool placing_ = false;
};

}  // namespace talvorine::win32
