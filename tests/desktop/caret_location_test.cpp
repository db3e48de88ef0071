#include "desktop/caret_location.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "support/fake_desktop.h"

namespace talvorine::desktop {
namespace {

using testing::FakeDesktop;

constexpr WindowHandle kFrame = 100;
constexpr WindowHandle kEdit = 101;
constexpr WindowHandle kOtherWindow = 200;
constexpr std::uint32_t kTargetThread = 7;

constexpr CaretReading kGuiThreadCaret{{30, 40, 31, 56}, kOtherWindow};
constexpr CaretReading kAccessibleCaret{{700, 500, 702, 520}, 0};
constexpr CaretReading kFocusedControl{{650, 480, 900, 510}, 0};

class CaretLocationTest : public ::testing::Test {
 protected:
  CaretLocationTest() {
    desktop.AddWindow(kFrame, {kTargetThread, kEdit, false, {0, 0}});
    desktop.AddWindow(kEdit, {kTargetThread, 0, false, {100, 200}});
    desktop.AddWindow(kOtherWindow, {9, 0, false, {400, 300}});
    desktop.caret_window = kEdit;
    desktop.caret_pos = {20, 10};
    desktop.mouse_pos = {800, 600};
  }

  // Attached to the target's thread, as the placement is when it asks.
  CaretLocation Find(WindowHandle target = kEdit) {
    desktop.AttachThreadInput(FakeDesktop::kOwnThread, kTargetThread, true);
    const CaretLocation found = FindCaret(desktop, target);
    desktop.AttachThreadInput(FakeDesktop::kOwnThread, kTargetThread, false);
    return found;
  }

  FakeDesktop desktop;
};

struct FallbackCase {
  const char* name;
  bool system_caret;
  bool gui_thread_caret;
  bool accessible_caret;
  bool focused_control;
  CaretLocation expected;
};

const FallbackCase kFallbackCases[] = {
    {"the system caret first",
     true,
     true,
     true,
     true,
     {{120, 210, 121, 226}, CaretSource::kSystemCaret}},
    {"the foreground thread's caret, in its own window",
     false,
     true,
     true,
     true,
     {{430, 340, 431, 356}, CaretSource::kGuiThreadCaret}},
    {"the accessible caret (a browser)",
     false,
     false,
     true,
     true,
     {{700, 500, 702, 520}, CaretSource::kAccessibleCaret}},
    {"the focused control",
     false,
     false,
     false,
     true,
     {{650, 480, 900, 510}, CaretSource::kFocusedControl}},
    {"the mouse pointer last",
     false,
     false,
     false,
     false,
     {{800, 600, 800, 600}, CaretSource::kMousePointer}},
};

TEST_F(CaretLocationTest, TheFirstSourceThatKnowsACaretAnswers) {
  for (const auto& c : kFallbackCases) {
    desktop.caret_window = c.system_caret ? kEdit : 0;
    desktop.other_carets.clear();
    if (c.gui_thread_caret) {
      desktop.other_carets[CaretSource::kGuiThreadCaret] = kGuiThreadCaret;
    }
    if (c.accessible_caret) {
      desktop.other_carets[CaretSource::kAccessibleCaret] = kAccessibleCaret;
    }
    if (c.focused_control) {
      desktop.other_carets[CaretSource::kFocusedControl] = kFocusedControl;
    }
    EXPECT_EQ(Find(), c.expected) << c.name;
  }
}

TEST_F(CaretLocationTest, TheSystemCaretCountsOnlyForTheTargetsThreadWhileAttached) {
  desktop.other_carets[CaretSource::kAccessibleCaret] = kAccessibleCaret;
  // Not attached: this thread has no caret of its own to read.
  EXPECT_EQ(FindCaret(desktop, kEdit).source, CaretSource::kAccessibleCaret);
  // No target (the window in front has no child): nothing to attach to.
  EXPECT_EQ(Find(0).source, CaretSource::kAccessibleCaret);
  EXPECT_EQ(Find(kEdit).source, CaretSource::kSystemCaret);
}

TEST_F(CaretLocationTest, SourcesAreAskedInOrderAndNoFurtherThanTheFirstAnswer) {
  desktop.caret_window = 0;
  desktop.other_carets[CaretSource::kAccessibleCaret] = kAccessibleCaret;
  desktop.log.clear();
  FindCaret(desktop, kEdit);
  const std::vector<std::string> expected = {"ReadCaret 0", "ReadCaret 1", "ReadCaret 2"};
  EXPECT_EQ(desktop.log, expected);
}

// The caret of a program that is not per-monitor aware is in its own scaled units: on a
// 150 % monitor its client point (20, 10) lies 30 x 15 physical pixels into the client area.
TEST_F(CaretLocationTest, AClientCaretIsScaledFromTheWindowsDpiToItsMonitors) {
  desktop.monitors = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 144},
                      {{-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}, 96}};
  struct Case {
    const char* name;
    Point client_origin;
    unsigned window_dpi;
    Rect expected;
  };
  const Case cases[] = {
      {"unaware on 150 %", {100, 200}, 96, {130, 215, 132, 239}},
      {"per-monitor aware on 150 %", {100, 200}, 0, {120, 210, 121, 226}},
      {"system aware at 150 %, on the 100 % monitor", {-1000, 200}, 144, {-987, 207, -986, 217}},
      {"unaware on the 100 % monitor", {-1000, 200}, 96, {-980, 210, -979, 226}},
  };
  for (const auto& c : cases) {
    desktop.windows[kEdit].client_origin = c.client_origin;
    desktop.windows[kEdit].dpi = c.window_dpi;
    const CaretLocation found = Find();
    EXPECT_EQ(found.source, CaretSource::kSystemCaret) << c.name;
    EXPECT_EQ(found.rect, c.expected) << c.name;
  }
}

TEST(ClientRectToPhysical, RoundsEachEdgeAndKeepsNegativeOffsets) {
  EXPECT_EQ(ClientRectToPhysical({-3, -1, 3, 1}, {-500, 50}, 96, 144), (Rect{-505, 48, -495, 52}));
  EXPECT_EQ(ClientRectToPhysical({10, 10, 20, 20}, {0, 0}, 0, 144), (Rect{10, 10, 20, 20}))
      << "an unknown DPI leaves the rectangle unscaled";
}

}  // namespace
}  // namespace talvorine::desktop
