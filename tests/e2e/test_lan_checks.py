"""End-to-end tests of received files and floods: a UDP socket of the test sends to the program
on loopback, chunks left out at will, with and without the file check behind the path of "FE";
floods come from a process of the test at a set rate."""

import os

from lan_flood import Flood, RawSender, file_end, file_start
from lan_peer import EDIT1, IDNO, LOOPBACK, SAVE_CAPTION, switch_lan_on
from talvorine_e2e import main, wait_for
from test_lan import LanTestCase

# How many completed receptions from one source address are asked in any minute.
RECEPTIONS_PER_MINUTE = 6
WHOLE_QUESTION = "raw-peer からファイルが届きました。保存しますか？"
INCOMPLETE_QUESTION = ("raw-peer からファイルが届きましたが、不完全です（{sent} バイト中 {received} "
                       "バイトを受信）。それでも保存しますか？")
PATH = "C:\\資料\\議事録.dat"


class ReceivedFiles(LanTestCase):
    def setUp(self):
        super().setUp()
        self.sender = RawSender(self.channel)
        self.addCleanup(self.sender.close)
        self.data = os.urandom(10_000)  # 40 full chunks and an empty one
        switch_lan_on(self.session, self.channel, LOOPBACK)

    def answer_no_and_check_nothing_is_left(self, before):
        self.answer_box(SAVE_CAPTION, IDNO)
        self.no_temp_file()
        after = set(os.listdir(self.session.workdir)) - {"target-report.txt", "target-report.new"}
        self.assertEqual(after - before, set(), "no file is written")

    def test_a_file_with_a_chunk_left_out_is_asked_as_incomplete_and_no_leaves_nothing(self):
        before = set(os.listdir(self.session.workdir))
        self.sender.send_file("raw-peer", PATH, self.data, left_out={7})
        self.assertEqual(self.box_text(SAVE_CAPTION),
                         INCOMPLETE_QUESTION.format(sent=10_000, received=9_750))
        wait_for(lambda: any(line.startswith("受信ファイル不完全：raw-peer（127.0.0.1）の " + PATH)
                             for line in self.session.record_lines()), 10,
                 "the record line of the incomplete file")
        self.answer_no_and_check_nothing_is_left(before)

    def test_the_same_file_with_every_chunk_is_offered_as_whole(self):
        before = set(os.listdir(self.session.workdir))
        self.sender.send_file("raw-peer", PATH, self.data)
        self.assertEqual(self.box_text(SAVE_CAPTION), WHOLE_QUESTION)
        self.answer_no_and_check_nothing_is_left(before)
        self.assertFalse(any(line.startswith("受信ファイル不完全")
                             for line in self.session.record_lines()))

    def test_a_file_without_the_check_is_offered_as_peers_always_offered_it(self):
        before = set(os.listdir(self.session.workdir))
        # A chunk is missing here too, but nothing tells the program so.
        self.sender.send_file("raw-peer", PATH, self.data, left_out={7}, with_check=False)
        self.assertEqual(self.box_text(SAVE_CAPTION), WHOLE_QUESTION)
        self.answer_no_and_check_nothing_is_left(before)


class Floods(LanTestCase):
    phrases = ["ko=こんにちは"]

    def setUp(self):
        super().setUp()
        self.sender = RawSender(self.channel)
        self.addCleanup(self.sender.close)
        switch_lan_on(self.session, self.channel, LOOPBACK)

    def insert_with_the_hotkey(self, expected):
        road = self.road
        road.focus_target()
        road.open()
        road.type("ko")
        road.press("Return")
        self.assertTrue(road.wait_text(expected, 10000), road.target_text())

    def test_fifty_starts_and_ends_ask_only_a_few_questions_and_hotkeys_still_insert(self):
        s = self.session
        # Each pair under a host name of its own, so that one question is told from the next;
        # they all come from one address.
        for number in range(50):
            path = f"C:\\flood\\{number}.txt"
            self.sender.send(file_start(f"flood{number}", path))
            self.sender.send(file_end(f"flood{number}", path))

        def dropped():
            return sum(line.startswith("受信ファイル破棄：flood") for line in s.record_lines())

        def question():
            text = self.road.probe("box", SAVE_CAPTION)
            return None if text == "none" else text

        asked = []
        while True:
            text = wait_for(lambda: question() or len(asked) + dropped() >= 50, 30,
                            "the next question or the record lines of the dropped ones")
            if text is True:
                break
            asked.append(text)
            self.assertLessEqual(len(asked), RECEPTIONS_PER_MINUTE, asked)
            self.assertTrue(s.helper("press", SAVE_CAPTION, IDNO)["found"])
            wait_for(lambda: question() != text, 10, "the question to close")
        questions = len(asked)
        self.assertEqual(questions, RECEPTIONS_PER_MINUTE)
        self.no_temp_file()

        # The pairs go on; they are dropped, and the stroke lookup serves the writer meanwhile.
        flood = Flood(self.channel, 500, kind="FSFE")
        self.addCleanup(flood.stop)
        self.insert_with_the_hotkey("こんにちは")
        self.assertGreater(flood.stop(), 0)
        self.assertEqual(self.road.probe("box", SAVE_CAPTION), "none")

    def test_a_short_flood_of_hand_overs_leaves_the_program_serving_hotkeys(self):
        """The flood measurement's smoke run (tests/e2e/measure_lan_flood_latency.py gives the
        figures): a few seconds at 20,000 datagrams a second, then a hotkey insertion."""
        s = self.session
        flood = Flood(self.channel, 20_000)
        self.addCleanup(flood.stop)
        wait_for(lambda: s.control_text(EDIT1).startswith("flood "), 15, "the flood in Edit1")
        self.insert_with_the_hotkey("こんにちは")
        sent = flood.stop()
        self.assertGreater(sent, 1_000)
        self.insert_with_the_hotkey("こんにちは" * 2)
        # The record kept its title lines through the flood.
        lines = s.record_lines()
        self.assertEqual(lines[0], "【Talvorine エラー記録】")
        self.assertTrue(lines[1].startswith("Talvorine v"))


if __name__ == "__main__":
    main()
