#include "desktop/window_placement.h"

#include <gtest/gtest.h>

#include <ostream>

namespace talvorine::desktop {

void PrintTo(const Rect& rect, std::ostream* out) {
  *out << "(" << rect.left << ", " << rect.top << ") - (" << rect.right << ", " << rect.bottom
       << ")";
}

namespace {

// A caret 1 pixel wide and 16 high (24 at 150 %) at a point.
Rect CaretAt(int x, int y, int height = 16) {
  return {x, y, x + 1, y + height};
}

const MonitorArea kPrimary{{0, 0, 1024, 768}, {0, 0, 1024, 768}, 96};
// 150 %, taskbar along the bottom (48 pixels).
const MonitorArea kLaptop{{0, 0, 1920, 1080}, {0, 0, 1920, 1032}, 144};
// A projector to the left of the primary monitor, taskbar on its left (62 pixels), top lower.
const MonitorArea kLeftProjector{{-1280, -200, 0, 824}, {-1218, -200, 0, 824}, 96};
// 200 % to the right, taskbar at its top.
const MonitorArea kRight4k{{1920, 0, 5760, 2160}, {1920, 80, 5760, 2160}, 192};

struct PlacementCase {
  const char* name;
  Rect caret;
  MonitorArea monitor;
  Rect expected;
};

const PlacementCase kCases[] = {
    // The window as first made: 40 below the caret's top on a 96-DPI screen.
    {"below the caret", CaretAt(300, 160), kPrimary, {300, 200, 416, 425}},
    {"bottom edge just reached", CaretAt(300, 503), kPrimary, {300, 543, 416, 768}},
    {"no room below: above the line", CaretAt(300, 504), kPrimary, {300, 279, 416, 504}},
    {"right edge reached", CaretAt(1000, 100), kPrimary, {908, 140, 1024, 365}},
    {"left of the screen", CaretAt(-30, 100), kPrimary, {0, 140, 116, 365}},
    {"a caret taller than 40: below its line", {10, 100, 11, 180}, kPrimary, {10, 180, 126, 405}},
    // Scaled: 174 x 338 and 60 below at 150 %.
    {"150 %", CaretAt(450, 240, 24), kLaptop, {450, 300, 624, 638}},
    {"150 %, just above the taskbar: above the line",
     CaretAt(450, 900, 24),
     kLaptop,
     {450, 562, 624, 900}},
    {"150 %, right edge", CaretAt(1900, 240, 24), kLaptop, {1746, 300, 1920, 638}},
    {"projector to the left, negative x",
     CaretAt(-700, -100),
     kLeftProjector,
     {-700, -60, -584, 165}},
    {"projector, over its taskbar on the left",
     CaretAt(-1270, 0),
     kLeftProjector,
     {-1218, 40, -1102, 265}},
    {"projector, at its right edge: stays off the primary monitor",
     CaretAt(-10, 0),
     kLeftProjector,
     {-116, 40, 0, 265}},
    {"projector, at its bottom", CaretAt(-700, 780), kLeftProjector, {-700, 555, -584, 780}},
    {"200 % to the right", CaretAt(2000, 500, 32), kRight4k, {2000, 580, 2232, 1030}},
    {"200 %, at its left edge: stays off the laptop",
     CaretAt(1900, 500, 32),
     kRight4k,
     {1920, 580, 2152, 1030}},
    {"200 %, under its top taskbar", CaretAt(3000, 0, 32), kRight4k, {3000, 80, 3232, 530}},
};

TEST(CandidateWindowRect, StaysWithinTheWorkAreaOfTheCaretsMonitorAtItsScale) {
  for (const auto& c : kCases) {
    EXPECT_EQ(CandidateWindowRect(c.caret, {116, 225}, c.monitor), c.expected) << c.name;
  }
}

TEST(CandidateWindowRect, AWindowLargerThanTheWorkAreaShowsItsTopLeft) {
  EXPECT_EQ(CandidateWindowRect(CaretAt(500, 300), {2000, 1000}, kPrimary),
            (Rect{0, 0, 2000, 1000}));
  EXPECT_EQ(CandidateWindowRect(CaretAt(-500, 300), {2000, 1000}, kLeftProjector),
            (Rect{-1218, -176, 782, 824}));
}

TEST(ScaleToDpi, RoundsAsMulDivAndComesBackWhole) {
  EXPECT_EQ(ScaleToDpi({116, 225}, 144), (Size{174, 338}));
  EXPECT_EQ(ScaleToDpi({116, 225}, 120), (Size{145, 281}));
  EXPECT_EQ(ScaleToDpi({-3, 0}, 144), (Size{-5, 0}));
  for (const unsigned dpi : {96u, 120u, 144u, 168u, 192u, 240u, 288u}) {
    for (int width = 1; width <= 2000; ++width) {
      ASSERT_EQ(ScaleToBaseDpi(ScaleToDpi({width, width}, dpi), dpi), (Size{width, width}))
          << width << " at " << dpi << " DPI";
    }
  }
}

}  // namespace
}  // namespace talvorine::desktop
