#include "desktop/candidate_window.h"

#include <string>

#include "desktop/caret_location.h"
#include "desktop/window_placement.h"
#include "lookup/confirmation.h"
#include "lookup/key_event.h"

namespace talvorine::desktop {
namespace {

constexpr std::uint32_t kPlacementWait = 100;  // lets the program in front settle

}  // namespace

TForm2::TForm2(const CandidateWindowParts& parts, CandidateWindowView& view)
    : desktop_(parts.desktop),
      timers_(parts.timers),
      inserter_(parts.inserter),
      settings_(parts.settings),
      main_table_(parts.main_table),
      web_table_(parts.web_table),
      clock_(parts.clock),
      regional_format_(parts.regional_format),
      view_(view) {}

void TForm2::PlaceAtCaret() {
  desktop_.HideMainWindow();
  desktop_.Sleep(kPlacementWait);
  const WindowHandle target = desktop_.FirstChildWindow(desktop_.ForegroundWindow());
  const std::uint32_t target_thread = desktop_.WindowThreadId(target);
  const std::uint32_t own_thread = desktop_.WindowThreadId(desktop_.MainWindow());
  // Attached, this thread reads the target's caret, and the foreground may be handed over.
  desktop_.AttachThreadInput(own_thread, target_thread, true);
  const std::uint32_t lock_timeout = desktop_.ForegroundLockTimeout();
  desktop_.SetForegroundLockTimeout(0);
  desktop_.SetForegroundWindow(target);
  desktop_.SetForegroundLockTimeout(lock_timeout);
  // Nothing above is checked: without a caret or a child window the other sources still say
  // where the user is, down to the mouse pointer.
  const CaretLocation caret = FindCaret(desktop_, target);
  const MonitorArea monitor = desktop_.MonitorAt({caret.rect.left, caret.rect.top});
  view_.Place(CandidateWindowRect(caret.rect, SizeAtBaseDpi(), monitor));
  desktop_.AttachThreadInput(own_thread, target_thread, false);
  desktop_.BringApplicationToFront();
  Show();
}

void TForm2::Show() {
  if (view_.IsVisible()) {
    view_.RaiseToTop();
    return;
  }
  FormShow();
}

void TForm2::Hide() {
  view_.Hide();
}

void TForm2::FormShow() {
  awaiting_input_ = true;
  lookup_.Open(main_table_, web_table_);
  view_.RefreshList();
  timers_.Start(TimerId::kForm2Timer1);
  view_.ShowWindow();
  desktop_.BringApplicationToFront();
  view_.SwitchImeOff();
}

void TForm2::ValueListEditor1KeyDown(std::uint16_t virtual_key) {
  const lookup::KeyEvent key{virtual_key, desktop_.IsKeyDown(kVkShift),
                             desktop_.IsKeyDown(kVkCapital)};
  lookup::KeyOutcome outcome = lookup_.HandleKey(key, settings_.CkAutoResult);
  view_.RefreshList();
  switch (outcome.result) {
    case lookup::KeyResult::kStayOpen:
      break;
    case lookup::KeyResult::kHide:
      // Timer1 would bring the window back although the user has just closed it.
      timers_.Stop(TimerId::kForm2Timer1);
      Hide();
      break;
    case lookup::KeyResult::kConfirm: {
      awaiting_input_ = false;
      timers_.Stop(TimerId::kForm2Timer1);
      Hide();
      const std::string text = lookup::ConfirmCandidate(
          outcome.line ? std::optional<std::string_view>(*outcome.line) : std::nullopt, clock_,
          regional_format_);
      inserter_.InsertText(text, InsertAfter::kCandidateWindowHidden);
      break;
    }
  }

  const std::optional<ListCell> moved = NavigateList(
      {lookup_.selection_row(), column_}, lookup_.candidate_count(), view_.VisibleRowCount(),
      virtual_key, desktop_.IsKeyDown(kVkControl), desktop_.IsKeyDown(kVkShift));
  if (moved) {
    ValueListEditor1SelectCell(*moved);
  }
}

void TForm2::ValueListEditor1SelectCell(ListCell cell) {
  lookup_.Select(cell.row);
  column_ = cell.column == 1 ? 1 : 0;
  view_.RefreshList();
}

void TForm2::FormDeactivate() {
  if (!awaiting_input_) {
    return;
  }
  // Cleared first: the hiding may itself report a deactivation.
  awaiting_input_ = false;
  Hide();
}

void TForm2::Timer1Timer() {
  timers_.Stop(TimerId::kForm2Timer1);
  Show();
}

void TForm2::Timer2Timer() {
  timers_.Stop(TimerId::kForm2Timer2);
  // The hide after the start-up is final: a re-show pending from a deactivation during the
  // start-up must not bring the window back over the desktop afterwards.
  timers_.Stop(TimerId::kForm2Timer1);
  Hide();
}

void TForm2::StartHideTimer() {
  timers_.Start(TimerId::kForm2Timer2);
}

void TForm2::ApplySettingsSize() {
  view_.SetOuterSize(ScaleToDpi({settings_.Form2Width, settings_.Form2Height}, view_.Dpi()));
}

Size TForm2::SizeAtBaseDpi() {
  return ScaleToBaseDpi(view_.OuterSize(), view_.Dpi());
}

}  // namespace talvorine::desktop
