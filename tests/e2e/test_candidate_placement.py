"""End-to-end tests of where the candidate window opens and how large it is: for each kind of
paste target (a classic edit with a system caret, a program that draws its own caret and offers
it to accessibility tools, a focused control without a caret, nothing at all), at 100 % and at
150 % (a Wine prefix with LogPixels 144). Each test logs what it measured."""

import os
import re
import sys

from desktop_road import CANDIDATE_CLASS, Road, expected_position, settings_text
from scaled_prefix import ScaledPrefix
from talvorine_e2e import Session, TalvorineTestCase, environment, main, wait_for

PHRASES = ["ko=こんにちは", "kon=今晩は", "ar=ありがとう"]
CARET_TARGET_TITLE = "Talvorine Caret Target"
SETTINGS_SIZE = (116, 225)


def caret_target_exe():
    return os.path.join(os.path.dirname(environment("E2E_HELPER")), "caret_target.exe")


def scaled(value, dpi):
    """MulDiv(value, dpi, 96)."""
    return (value * dpi + 48) // 96


def log(test, what):
    print(f"MEASURED {test.id()}: {what}", file=sys.stderr)


class PlacementAt96(TalvorineTestCase):
    dpi = 96

    def setUp(self):
        super().setUp()
        self.road = Road(self.session)

    def window_size(self):
        return tuple(scaled(v, self.dpi) for v in SETTINGS_SIZE)

    def opened_rect(self):
        visible, left, top, right, bottom = self.road.candidate_rect()
        self.assertTrue(visible)
        log(self, f"outer {right - left} x {bottom - top} at ({left}, {top})")
        self.assertEqual((right - left, bottom - top), self.window_size(),
                         "the settings size at the display's scale")
        return left, top

    def start_caret_target(self, kind):
        """Starts the program, then a caret target of the kind, brought to the front; the
        target's report."""
        road = self.road
        road.start(PHRASES, with_target=False)
        s = self.session
        s.start(caret_target_exe(), (kind,))
        wait_for(lambda: s.exists("caret-target-report.txt"), 30, "the caret target's report")
        x_id = wait_for(lambda: s.x_window(CARET_TARGET_TITLE), 15, "the caret target window")
        road.bring_to_front(x_id, "TalvorineCaretTarget", CARET_TARGET_TITLE)
        report = {}
        for line in s.read("caret-target-report.txt").decode("utf-8").splitlines():
            key, value = line.split("=", 1)
            report[key] = [int(v) for v in value.split()]
        log(self, f"{kind} target reports {report}")
        return report

    def test_a_classic_edit_opens_it_below_its_caret(self):
        road = self.road
        road.start(PHRASES)
        road.type("abc")
        wait_for(lambda: road.target_text() == "abc", 10, "the typed text in the target")
        caret = road.caret()
        road.open()
        left, top = self.opened_rect()
        log(self, f"caret at {caret}")
        self.assertEqual((left, top), expected_position(caret, self.window_size(),
                                                         road.screen_size(), dpi=self.dpi))

    def test_a_drawn_caret_is_found_through_accessibility(self):
        report = self.start_caret_target("drawn")
        self.road.open()
        left, top = self.opened_rect()
        cx, cy = report["client"]
        x, y, height = report["caret"]
        caret = (cx + x, cy + y)
        self.assertEqual((left, top), expected_position(caret, self.window_size(),
                                                         self.road.screen_size(), height,
                                                         self.dpi))

    def test_a_focused_control_without_a_caret_gets_the_window_below_it(self):
        report = self.start_caret_target("control")
        self.road.open()
        left, top = self.opened_rect()
        c_left, c_top, c_right, c_bottom = report["control"]
        self.assertEqual((left, top), expected_position((c_left, c_top), self.window_size(),
                                                         self.road.screen_size(),
                                                         c_bottom - c_top, self.dpi))

    def test_with_nothing_to_ask_the_window_opens_at_the_mouse_pointer(self):
        self.start_caret_target("bare")
        pointer = tuple(int(v) for v in self.road.probe("move-mouse", 700, 420).split())
        self.road.open()
        left, top = self.opened_rect()
        log(self, f"mouse pointer at {pointer}")
        self.assertEqual((left, top), expected_position(pointer, self.window_size(),
                                                         self.road.screen_size(), 0, self.dpi))


class PlacementAt144(PlacementAt96):
    """The same at 150 %, plus what only a scaled display shows."""
    dpi = 144

    def setUp(self):
        self.prefix = ScaledPrefix(environment("E2E_DPI144_PREFIX"), self.dpi)
        self.addCleanup(self.prefix.close)
        self.session = Session(self.id(), wine=self.prefix.wine)
        self.addCleanup(self.session.close)
        # The prefix's tray window comes up anew with every test's server and now and then keeps
        # the activation from the target.
        self.road = Road(self.session, minimize_tray=True)

    def test_the_phrase_column_takes_the_scaled_width_and_shows_the_phrases(self):
        road = self.road
        road.start(PHRASES)
        road.open()
        self.opened_rect()
        stroke, phrase, client = map(int, road.probe("columns", CANDIDATE_CLASS).split())
        log(self, f"columns {stroke} + {phrase} of a client {client} wide")
        self.assertEqual(stroke, scaled(45, self.dpi))
        # The phrase column takes what the stroke column leaves: at least its design width.
        self.assertGreaterEqual(phrase, scaled(61, self.dpi) - 2)
        self.assertLessEqual(stroke + phrase, client)
        x_id = wait_for(lambda: self.session.x_window("候補"), 10, "the candidate window on X")
        path = self.session.screenshot(
            os.path.join(environment("E2E_SCREENSHOTS"), "candidate-150.png"), x_id)
        log(self, f"screenshot {path}")

    def test_a_save_at_150_percent_writes_the_size_that_was_loaded(self):
        road = self.road
        road.start(PHRASES, settings_text(Select_Width=150, Select_Height=300))
        road.open()
        visible, left, top, right, bottom = road.candidate_rect()
        self.assertEqual((right - left, bottom - top), (225, 450))
        road.press("Escape")
        self.assertTrue(road.wait_hidden())
        program = self.session.programs[-1]
        self.session.helper("close")
        program.wait_exit(30)
        saved = self.session.read("Last.tvs").decode("cp932")
        select = re.search(r"\[Select\]\r\n((?:[^\[].*\r\n)*)", saved).group(1)
        self.assertIn("Width=150\r\n", select)
        self.assertIn("Height=300\r\n", select)


if __name__ == "__main__":
    main()
