#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "desktop/candidate_window_view.h"
#include "desktop/text_inserter.h"

namespace talvorine::desktop {

// A candidate window that behaves like one: shown means visible and active, and hiding an active
// window reports its deactivation (on_deactivate), as the system does. Calls are written to the
// log it is given (the FakeDesktop's), so a test sees one sequence.
class FakeCandidateView : public CandidateWindowView {
 public:
  explicit FakeCandidateView(std::vector<std::string>& log) : log_(log) {}

  bool IsVisible() override { return visible; }
  void ShowWindow() override {
    log_.push_back("ShowWindow");
    visible = true;
    active = true;
  }
  void RaiseToTop() override { log_.push_back("RaiseToTop"); }
  void Hide() override {
    log_.push_back("Hide");
    const bool was_active = visible && active;
    visible = false;
    active = false;
    if (was_active && on_deactivate) {
      on_deactivate();
    }
  }
  Size OuterSize() override { return size; }
  void SetOuterSize(Size new_size) override {
    log_.push_back("SetOuterSize " + std::to_string(new_size.width) + "x" +
                   std::to_string(new_size.height));
    size = new_size;
  }
  // Placed on another monitor, the window takes that monitor's DPI (monitor_dpi_at), as a
  // per-monitor aware window does.
  void Place(const Rect& outer) override {
    log_.push_back("Place " + std::to_string(outer.left) + " " + std::to_string(outer.top) + " " +
                   std::to_string(outer.width()) + "x" + std::to_string(outer.height()));
    position = {outer.left, outer.top};
    size = {outer.width(), outer.height()};
    if (monitor_dpi_at) {
      dpi = monitor_dpi_at(position);
    }
  }
  unsigned Dpi() override { return dpi; }
  void SwitchImeOff() override { log_.push_back("SwitchImeOff"); }
  void RefreshList() override { ++refreshes; }
  std::size_t VisibleRowCount() override { return visible_rows; }

  // Another window takes the activation (a click into another program).
  void LoseActivation() {
    active = false;
    if (on_deactivate) {
      on_deactivate();
    }
  }

  bool visible = false;
  bool active = false;
  Size size{116, 225};
  Point position;
  unsigned dpi = kBaseDpi;
  std::function<unsigned(Point)> monitor_dpi_at;
  std::size_t visible_rows = 10;
  int refreshes = 0;
  std::function<void()> on_deactivate;

 private:
  std::vector<std::string>& log_;
};

// Records what would be inserted, into the same log.
class RecordingInserter : public TextInserter {
 public:
  explicit RecordingInserter(std::vector<std::string>& log) : log_(log) {}
  void InsertText(std::string_view text, InsertAfter after) override {
    log_.push_back("InsertText " + std::string(text) +
                   (after == InsertAfter::kCandidateWindowHidden ? " after hiding" : ""));
    texts.emplace_back(text);
  }
  std::vector<std::string> texts;

 private:
  std::vector<std::string>& log_;
};

}  // namespace talvorine::desktop
