#pragma once

#include <cstdint>

#include "common/timers.h"
#include "desktop/candidate_window_view.h"
#include "desktop/desktop.h"
#include "desktop/list_navigation.h"
#include "desktop/text_inserter.h"
#include "files/settings.h"
#include "lookup/clock.h"
#include "lookup/phrase_table.h"
#include "lookup/stroke_lookup.h"

namespace talvorine::desktop {

// What the candidate window works with; everything here outlives it.
struct CandidateWindowParts {
  Desktop& desktop;
  Timers& timers;
  TextInserter& inserter;
  const files::Settings& settings;
  const lookup::PhraseTable& main_table;
  const lookup::PhraseTable& web_table;
  const lookup::Clock& clock;
  const lookup::RegionalFormat& regional_format;
};

// The candidate window's behaviour: placing it at the caret of the program in front, filling
// it when it is shown, keys into the lookup and their outcome, and the ways it is hidden. It
// holds the StrokeBuffer (in its lookup) and AwaitingInput.
class TForm2 {
 public:
  // The view is only stored here; it may be the window that owns this object.
  TForm2(const CandidateWindowParts& parts, CandidateWindowView& view);

  // The start hotkey: hide the main window, find the caret of the program in front, place the
  // window below it (or above it) on the caret's monitor and show it.
  void PlaceAtCaret();

  // Show and hide as the window's own operations: showing a hidden window runs FormShow,
  // showing a visible one only raises it.
  void Show();
  void Hide();

  void FormShow();
  // A key pressed in the list: the lookup's key step and its outcome, then the list's own
  // handling of the key. Shift, Caps Lock and Ctrl are read from the desktop at that moment.
  void ValueListEditor1KeyDown(std::uint16_t virtual_key);
  // A click on a cell of the list.
  void ValueListEditor1SelectCell(ListCell cell);
  void FormDeactivate();
  void Timer1Timer();
  void Timer2Timer();

  // The start-up sequence: shown at its beginning, hidden by Timer2 a moment after its end.
  void StartHideTimer();

  // The outer size from the settings (Select/Width, Select/Height, given at 96 DPI), scaled to
  // the window's DPI, whenever they are loaded.
  void ApplySettingsSize();
  Size OuterSize() { return view_.OuterSize(); }
  // The window's current outer size brought back to 96 DPI: what the settings file keeps, so
  // that it looks the same on a machine of any scale.
  Size SizeAtBaseDpi();

  const lookup::StrokeLookup& lookup() const { return lookup_; }
  bool AwaitingInput() const { return awaiting_input_; }
  int current_column() const { return column_; }

 private:
  Desktop& desktop_;
  Timers& timers_;
  TextInserter& inserter_;
  const files::Settings& settings_;
  const lookup::PhraseTable& main_table_;
  const lookup::PhraseTable& web_table_;
  const lookup::Clock& clock_;
  const lookup::RegionalFormat& regional_format_;
  CandidateWindowView& view_;

  lookup::StrokeLookup lookup_;
  bool awaiting_input_ = false;
  int column_ = 0;  // the cell column Tab has reached
};

}  // namespace talvorine::desktop
