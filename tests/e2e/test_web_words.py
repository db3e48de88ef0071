"""End-to-end test of the web word files: the program fetches its locations from an HTTP server
of the test's own on loopback, a silent location holds up only the refresh, and the phrases of
the web table come after the main table's in the candidate window and insert like any other."""

import time

from desktop_road import Road, settings_text
from talvorine_e2e import TalvorineTestCase, main, wait_for
from web_server import SILENT, WordServer

PHRASES = ["ko=こんにちは", "ar=ありがとう"]
WEB_WORDS = "ko=ウェブの挨拶,wa=和文の単語\r\n\"wb=空白　入り\"\r\n".encode("cp932")
WEB_ROWS = 3
# A 404 answer with a body that would make rows if it were taken.
MISSING_BODY = "ko=見えない,zz=見えない".encode("cp932")


class WebWords(TalvorineTestCase):
    def setUp(self):
        super().setUp()
        self.server = WordServer({
            "/words.txt": (200, WEB_WORDS),
            "/missing.txt": (404, MISSING_BODY),
            "/silent.txt": SILENT,
        })
        self.addCleanup(self.server.close)
        self.road = Road(self.session)

    def open_with_strokes(self, strokes, rows):
        """Opens the candidate window, types the strokes and waits for that many rows."""
        self.road.open()
        if strokes:
            self.road.type(strokes)
        wait_for(lambda: self.road.rows() == rows, 5, f"{rows} rows for {strokes!r}")

    def test_a_refresh_brings_the_web_phrases_after_the_main_tables(self):
        road, server = self.road, self.server
        locations = [server.url("/words.txt"), server.url("/missing.txt"),
                     server.url("/silent.txt")]
        values = {"Extend_Total": len(locations), "Extend_ReloadFreq": 1}
        for index, location in enumerate(locations):
            values[f"Extend_File{index:04d}"] = location
        road.start(PHRASES, settings_text(**values))

        # The first refresh comes one period (a minute) after the start-up; the silent location
        # then holds it up until its time-out.
        wait_for(lambda: server.requests_for("/silent.txt"), 90, "the refresh to reach "
                 "the silent location")
        self.assertTrue(server.requests_for("/words.txt"))
        self.assertTrue(server.requests_for("/missing.txt"))

        # Meanwhile the program answers as ever, with the web table as it was: one empty row.
        road.open()
        self.assertEqual(road.rows(), len(PHRASES) + 1)
        road.type("ar")
        wait_for(lambda: road.rows() == 1, 5, "ar alone")
        road.press("Return")
        self.assertTrue(road.wait_text("ありがとう"), road.target_text())
        self.assertIsNone(server.gave_up_at("/silent.txt"), "the silent wait ended too soon")

        # The silent location is given up after its time-out, not the program's whole minute.
        asked_at = server.requests_for("/silent.txt")[0][1]
        gave_up = wait_for(lambda: server.gave_up_at("/silent.txt"), 50,
                           "the program to give up the silent location")
        self.assertLess(gave_up - asked_at, 45)

        # The web table changes in one step at the end of the refresh: the web rows follow
        # the main table's, and the 404's body added nothing.
        def all_rows_there():
            road.open()
            rows = road.rows()
            if rows != len(PHRASES) + WEB_ROWS:
                road.press("Escape")
                road.wait_hidden()
                return False
            return True

        wait_for(all_rows_there, 20, "the web rows in the candidate window")
        road.type("ko")
        wait_for(lambda: road.rows() == 2, 5, "the main table's ko and the web table's ko")
        # The main table's row comes first; the next one down is the web table's.
        road.press("Down")
        road.press("Return")
        self.assertTrue(road.wait_text("ありがとうウェブの挨拶"), road.target_text())

        self.open_with_strokes("wb", 1)
        road.press("Return")
        self.assertTrue(road.wait_text("ありがとうウェブの挨拶空白　入り"), road.target_text())

        # What the server saw of the program's requests.
        for path in ("/words.txt", "/missing.txt", "/silent.txt"):
            headers, _ = server.requests_for(path)[0]
            self.assertEqual(headers.get("user-agent"), ["Talvorine/1.3"], path)
            self.assertEqual(headers.get("accept"), ["text/html, */*"], path)
            self.assertFalse([name for name in headers if name.startswith("proxy-")], path)


if __name__ == "__main__":
    main()
