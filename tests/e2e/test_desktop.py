"""End-to-end tests of the stroke lookup on the desktop: the start hotkey opens the candidate
window at the caret of another program, strokes narrow it, a confirmation pastes the phrase
there through the clipboard, and the user's clipboard comes back."""

import datetime
import time

from desktop_road import (CANDIDATE_CLASS, IDOK, REG_KEY, Road, expected_position,
                          settings_text)
from talvorine_e2e import TalvorineTestCase, main, wait_for

PHRASES = [
    "ko=こんにちは",
    "kon=今晩は",
    "ar=ありがとう",
    "hi=今日は【年】年【月】月【日】日",
    "sp=前半 後半",
]
# The web table holds one empty line until its first refresh, so it adds one row.
ALL_ROWS = len(PHRASES) + 1

REGISTER_FAILED = "割り当て失敗"
START_KEY_TAKEN = ("現在の設定キーは、別のアプリケーションにより使用されています。"
                   "別のキーに割り当てなおしてください。")


class CandidateWindow(TalvorineTestCase):
    def setUp(self):
        super().setUp()
        self.road = Road(self.session)

    def test_the_hotkey_opens_below_the_caret_and_enter_pastes_into_the_target(self):
        road = self.road
        road.start(PHRASES)
        road.type("abc")
        wait_for(lambda: road.target_text() == "abc", 10, "the typed text in the target")
        caret = road.caret()
        road.open()
        visible, left, top, right, bottom = road.candidate_rect()
        self.assertEqual((right - left, bottom - top), (116, 225), "the size of the settings")
        self.assertEqual((left, top),
                         expected_position(caret, (116, 225), road.screen_size()),
                         f"40 below the caret at {caret}")
        self.assertEqual(road.rows(), ALL_ROWS)
        road.type("ko")
        wait_for(lambda: road.rows() == 2, 5, "ko and kon to be left")
        road.type("n")
        wait_for(lambda: road.rows() == 1, 5, "kon alone")
        road.press("Return")
        self.assertTrue(road.wait_text("abc今晩は"), road.target_text())
        self.assertFalse(road.candidate_visible())

    def test_date_codes_are_filled_in_and_a_phrase_ends_at_its_space(self):
        road = self.road
        road.start(PHRASES)
        road.open()
        road.type("hi")
        wait_for(lambda: road.rows() == 1, 5, "the date phrase alone")
        road.press("Return")
        today = datetime.date.today()
        self.assertTrue(road.wait_text(f"今日は{today.year}年{today.month}月{today.day}日"),
                        road.target_text())
        road.open()
        road.type("sp")
        wait_for(lambda: road.rows() == 1, 5, "the phrase with a space alone")
        road.press("Return")
        self.assertTrue(road.wait_text("日前半"), road.target_text())
        # A paste arrives whole.
        self.assertNotIn("後半", road.target_text())

    def test_escape_and_a_click_elsewhere_close_without_pasting(self):
        road = self.road
        road.start(PHRASES)
        road.open()
        road.type("ko")
        wait_for(lambda: road.rows() == 2, 5, "the strokes to narrow the list")
        road.press("Escape")
        wait_for(lambda: road.rows() == ALL_ROWS, 5, "Esc to clear the strokes")
        self.assertTrue(road.candidate_visible(), "the first Esc leaves the window open")
        road.press("Escape")
        self.assertTrue(road.wait_hidden(), "the second Esc hides the window")

        road.open()
        shown_at = time.monotonic()
        road.type("ar")
        wait_for(lambda: road.rows() == 1, 5, "one candidate")
        # Timer1 shows the window again 200 ms after every showing, so that a window which lost
        # the activation at once comes back; a click within that time would be undone by it.
        time.sleep(max(0.0, shown_at + 0.3 - time.monotonic()))
        # A click into the target, away from the candidate window.
        _, left, top, right, bottom = road.candidate_rect()
        tx, ty, tw, th = road.s.geometry(road.target_x)
        road.s.click(tx + tw - 30, ty + th - 30)
        self.assertTrue(road.wait_hidden(), "the click hides the window")
        self.assertFalse(road.wait_text("ありがとう", 1000), "nothing is pasted")
        self.assertEqual(road.target_text(), "")

    def test_auto_confirm_pastes_the_moment_one_candidate_is_left(self):
        road = self.road
        road.start(PHRASES, settings_text(Select_AutoResult=1))
        road.open()
        road.type("a")
        self.assertTrue(road.wait_text("ありがとう"), road.target_text())
        self.assertTrue(road.wait_hidden())

    def test_a_window_without_a_caret_still_gets_the_window_on_the_screen(self):
        road = self.road
        road.start(PHRASES)
        # Wine's tray window has no edit control and no caret.
        tray = wait_for(lambda: road.s.x_window("Wine System Tray"), 15, "Wine's system tray")
        road.s.x("xdotool", "windowactivate", "--sync", tray)
        road.open()
        visible, left, top, right, bottom = road.candidate_rect()
        width, height = road.screen_size()
        self.assertTrue(visible)
        self.assertTrue(0 <= left and right <= width and 0 <= top and bottom <= height,
                        (left, top, right, bottom))


class ClipboardRestore(TalvorineTestCase):
    def setUp(self):
        super().setUp()
        self.road = Road(self.session)

    def test_the_users_text_comes_back_after_insertions_in_quick_succession(self):
        road = self.road
        road.start(PHRASES, settings_text(Config_AutoRecovCB=1, Select_AutoResult=1))
        self.assertEqual(road.probe("set-clipboard", "利用者の文"), "set")
        road.open()
        road.type("kon")
        self.assertTrue(road.wait_text("今晩は"))
        wait_for(lambda: road.probe("clipboard") == "利用者の文", 5,
                 "the user's text back on the clipboard")

        # Two insertions about 300 ms apart: the second starts while the restore of the first
        # (250 ms after it ends) is still pending. The next hotkey follows Enter at once and
        # waits in the queue until the first insertion is done. The clipboard is watched
        # throughout.
        watcher = road.start_probe("watch-clipboard", 6000)
        road.open()
        road.type("ko")
        wait_for(lambda: road.rows() == 2, 5, "ko and kon")
        first = time.monotonic()
        road.open(confirm_first=True)
        road.type("a")  # the one candidate left confirms by itself
        second = time.monotonic()
        self.assertTrue(road.wait_text("今晩はこんにちはありがとう"), road.target_text())
        seen = watcher.communicate(timeout=30)[0].decode("utf-8").splitlines()
        self.assertEqual(seen[-1], "end")
        # The clipboard is emptied before each text is put on it, and Wine may announce one
        # text twice: what counts is the order of the texts.
        texts = []
        for text in seen[:-1]:
            if text and (not texts or texts[-1] != text):
                texts.append(text)
        # On a loaded machine the second insertion may come after the first one's restore;
        # the user's text is then back in between. Either way no phrase is restored as if it
        # were the user's text, and the user's text is what stays.
        overlapping = ["利用者の文", "こんにちは", "ありがとう", "利用者の文"]
        one_after_the_other = ["利用者の文", "こんにちは", "利用者の文", "ありがとう", "利用者の文"]
        self.assertIn(texts, [overlapping, one_after_the_other],
                      f"the second insertion came {second - first:.3f} s after the first")


class Hotkeys(TalvorineTestCase):
    def test_reg_key_pressed_twice_reports_the_combination_taken(self):
        road = Road(self.session)
        road.start(PHRASES, settings_text(Config_AutoKeySet=0))
        s = self.session
        s.helper("click", REG_KEY)
        # Registered: the hotkey now opens the window, and no box came.
        road.focus_target()
        road.open()
        self.assertEqual(road.probe("box", REGISTER_FAILED), "none")
        road.press("Escape")
        self.assertTrue(road.wait_hidden())

        s.helper("click", REG_KEY)
        box = wait_for(lambda: (lambda t: t if t != "none" else None)(
            road.probe("box", REGISTER_FAILED)), 10, "the failure box")
        self.assertEqual(box, START_KEY_TAKEN)
        s.helper("press", REGISTER_FAILED, IDOK)
        wait_for(lambda: road.probe("box", REGISTER_FAILED) == "none", 10, "the box to close")


if __name__ == "__main__":
    main()
