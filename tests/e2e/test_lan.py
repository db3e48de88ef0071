"""End-to-end tests of LAN sharing on one machine: the program and talvorine-lan, the Linux peer,
hand texts and files to each other over loopback, driven by real X key events on the LAN
hotkeys, the program's boxes and file dialogs answered from outside."""

import os

from desktop_road import Road
from lan_peer import (CK_NW_USE, EDIT1, HK_FSEND_KEYS, HK_GET_KEYS, HK_SEND_KEY, HK_SET_KEYS, IDNO, IDOK,
                      IDYES, IPADDR, LOOPBACK, LOOPBACK_BROADCAST, RECV_FILE_DIALOG, SAVE_CAPTION,
                      SAVED_CAPTION, SAVED_TEXT, SEND_FILE_DIALOG, SEND_FORM_TITLE, SENT_CAPTION,
                      SENT_TEXT, Listener, RawCapture, free_channel, lan_settings, send_file,
                      bound_udp_ports, send_text, switch_lan_on, windows_path)
from talvorine_e2e import TalvorineTestCase, main, wait_for

# The file-send window's class and the ids of its status label and progress bar.
SEND_FORM_CLASS = "TalvorineTSendForm"
SEND_FORM_LABEL2 = 2
SEND_FORM_PROGRESS_BAR1 = 3
SENDING_CAPTION = "ファイル送信中・・・"

# Texts whose cp932 form has a second byte 0x5C ("ソ", "表", "能") and a full-width colon: a
# conversion that treats the bytes as ASCII or another code page breaks them.
TEXT_IN = "予定表：ソフト機能の説明は１０時から"
TEXT_OUT = "要約筆記：表示ソフトの能力"
TEXT_CUT = "切り取って送るソース表"


class LanTestCase(TalvorineTestCase):
    """The program with the paste target in front, on a channel of its own; LAN sharing off."""

    phrases = []  # the phrase table the program starts with

    def setUp(self):
        super().setUp()
        self.channel = free_channel()
        self.road = Road(self.session)
        self.road.start(self.phrases, lan_settings(self.channel))

    def listener(self, **options):
        listener = Listener(self.channel, self.session.path("peer"), **options)
        self.addCleanup(listener.stop)
        return listener

    def capture(self):
        capture = RawCapture(self.channel)
        self.addCleanup(capture.close)
        return capture

    def box_text(self, caption, limit=20):
        """The text of the program's message box with that caption, once it is up."""
        return wait_for(lambda: (lambda t: t if t != "none" else None)(
            self.road.probe("box", caption)), limit, f"the box {caption!r}")

    def answer_box(self, caption, button):
        """Presses a button of the box; the box must have it (Yes and No for the question)."""
        self.assertTrue(self.session.helper("press", caption, button)["found"],
                        f"the box {caption!r} has no button {button}")
        wait_for(lambda: self.road.probe("box", caption) == "none", 10,
                 f"the box {caption!r} to close")

    def put_into_target(self, text):
        """The text pasted into the target's field, and something else left on the clipboard.
        (xdotool types Japanese unreliably: it remaps keys on the fly and loses some.)"""
        road = self.road
        self.assertEqual(road.probe("set-clipboard", text), "set")
        road.press("ctrl+v")
        self.assertTrue(road.wait_text(text), road.target_text())
        self.assertEqual(road.target_text(), text)
        self.assertEqual(road.probe("set-clipboard", "別の文"), "set")

    def no_temp_file(self):
        wait_for(lambda: not self.session.exists("recv.tmp"), 10, "recv.tmp to be deleted")


class HandOverIn(LanTestCase):
    def test_a_text_from_the_peer_shows_in_edit1_is_recorded_and_the_paste_hotkey_inserts_it(self):
        s = self.session
        switch_lan_on(s, self.channel, LOOPBACK)
        send_text(self.channel, TEXT_IN)
        wait_for(lambda: s.control_text(EDIT1) == TEXT_IN, 10, "the text in Edit1")
        # The record's memo catches up a moment after the line is added.
        wait_for(lambda: "CB:" + TEXT_IN in s.record_lines(), 10, "the text's record line")

        self.road.focus_target()
        self.road.press(HK_GET_KEYS)
        self.assertTrue(self.road.wait_text(TEXT_IN), self.road.target_text())
        self.assertEqual(self.road.target_text(), TEXT_IN)

    def test_lan_sharing_follows_the_check_box_off_and_on_again(self):
        s = self.session
        port = 5504 + self.channel
        switch_lan_on(s, self.channel, LOOPBACK)
        send_text(self.channel, "一つ目")
        wait_for(lambda: s.control_text(EDIT1) == "一つ目", 10, "the first text in Edit1")
        s.helper("click", CK_NW_USE)
        wait_for(lambda: s.control_state(CK_NW_USE) == 0, 10, "CkNWUse to be cleared")
        wait_for(lambda: port not in bound_udp_ports(), 10, "Timer2 to close the endpoint")
        # The address typed stays; ticked again, the program listens and hears again.
        self.assertEqual(s.control_text(IPADDR), LOOPBACK)
        s.helper("click", CK_NW_USE)
        wait_for(lambda: port in bound_udp_ports(), 10, "Timer2 to open the endpoint again")
        send_text(self.channel, "二つ目")
        wait_for(lambda: s.control_text(EDIT1) == "二つ目", 10, "the second text in Edit1")
        wait_for(lambda: "CB:二つ目" in s.record_lines(), 10, "the second record line")
        self.assertEqual([line for line in s.record_lines() if line.startswith("CB:")],
                         ["CB:一つ目", "CB:二つ目"])


class HandOverOut(LanTestCase):
    def test_copied_text_and_the_hand_over_hotkey_reach_the_peer_as_cp932(self):
        s, road = self.session, self.road
        switch_lan_on(s, self.channel, LOOPBACK_BROADCAST)
        listener = self.listener()
        capture = self.capture()
        self.put_into_target(TEXT_OUT)
        road.press("ctrl+a", "ctrl+c")
        wait_for(lambda: road.probe("clipboard") == TEXT_OUT, 10, "the copied text")
        road.press(HK_SET_KEYS)

        self.assertEqual(capture.wait_for_kind(b"CB"), b"CB:" + TEXT_OUT.encode("cp932"))
        listener.wait_line("received text: " + TEXT_OUT)
        # The program hears its own broadcast, as every peer does.
        wait_for(lambda: s.control_text(EDIT1) == TEXT_OUT, 10, "the own text in Edit1")
        self.assertEqual(road.target_text(), TEXT_OUT, "a hand-over leaves the field alone")

    def test_cut_and_send_hands_over_the_whole_field_and_leaves_it_empty(self):
        s, road = self.session, self.road
        switch_lan_on(s, self.channel, LOOPBACK_BROADCAST)
        listener = self.listener()
        capture = self.capture()
        self.put_into_target(TEXT_CUT)
        # The caret at the start: the cut must take the whole field, not what follows it.
        road.press("ctrl+Home")
        # The user holds Ctrl while the program types its keys and lets it go afterwards.
        road.s.x("xdotool", "keydown", "ctrl")
        try:
            road.press(HK_SEND_KEY)
            self.assertEqual(capture.wait_for_kind(b"CB"), b"CB:" + TEXT_CUT.encode("cp932"))
        finally:
            road.s.x("xdotool", "keyup", "ctrl")
        listener.wait_line("received text: " + TEXT_CUT)
        wait_for(lambda: road.target_text() == "", 10, "the field to be empty")
        wait_for(lambda: s.control_text(EDIT1) == TEXT_CUT, 10, "the own text in Edit1")


class FilesOut(LanTestCase):
    def test_the_file_send_hotkey_sends_a_chosen_file_that_the_peer_saves_whole(self):
        s, road = self.session, self.road
        data = os.urandom(100_000)
        s.write("送る資料.bin", data)
        received = os.path.join(s.workdir, "peer-in")
        os.makedirs(received)
        switch_lan_on(s, self.channel, LOOPBACK_BROADCAST)
        listener = self.listener(save_dir=received)

        road.press(HK_FSEND_KEYS)
        wait_for(lambda: s.helper("file-dialog", SEND_FILE_DIALOG,
                                  windows_path(s.path("送る資料.bin")))["found"], 15,
                 "the file dialog to take the name")
        # 100 kB at 250 bytes a chunk every 20 ms: the window is up for some seconds.
        wait_for(lambda: s.x_window(SEND_FORM_TITLE), 10, "SendForm to show")
        label2 = s.helper("form-control", SEND_FORM_CLASS, SEND_FORM_LABEL2)
        self.assertEqual(label2["text"], SENDING_CAPTION)
        first = s.helper("form-control", SEND_FORM_CLASS, SEND_FORM_PROGRESS_BAR1)
        self.assertEqual(first["maximum"], len(data), "the bar counts the file's bytes")
        wait_for(lambda: s.helper("form-control", SEND_FORM_CLASS,
                                  SEND_FORM_PROGRESS_BAR1)["position"] > first["position"], 10,
                 "the bar to move on")
        self.assertEqual(self.box_text(SENT_CAPTION, limit=60), SENT_TEXT)
        wait_for(lambda: s.x_window(SEND_FORM_TITLE) is None, 10, "SendForm to hide")
        self.answer_box(SENT_CAPTION, IDOK)

        saved = listener.wait_prefix("saved file: ")
        self.assertEqual(saved, "saved file: " + os.path.join(received, "送る資料.bin"))
        with open(os.path.join(received, "送る資料.bin"), "rb") as file:
            self.assertEqual(file.read(), data)
        # The sender's own transfer leaves no temporary file behind.
        self.no_temp_file()
        self.assertFalse(any(line.startswith("Err:") for line in s.record_lines()))


    def test_closing_the_program_during_a_send_ends_it_at_once_without_the_end(self):
        s, road = self.session, self.road
        program = next(p for p in s.programs if p.exe == s.exe)
        # 400 kB take half a minute to go out.
        s.write("大きい.bin", os.urandom(400_000))
        received = os.path.join(s.workdir, "peer-in")
        os.makedirs(received)
        switch_lan_on(s, self.channel, LOOPBACK_BROADCAST)
        listener = self.listener(save_dir=received)
        capture = self.capture()

        road.press(HK_FSEND_KEYS)
        wait_for(lambda: s.helper("file-dialog", SEND_FILE_DIALOG,
                                  windows_path(s.path("大きい.bin")))["found"], 15,
                 "the file dialog to take the name")
        capture.wait_for_kind(b"FL")
        s.helper("close")
        program.wait_exit(10)

        kinds = [d[:3] for d in capture.poll()]
        self.assertEqual(kinds[0], b"FS:")
        self.assertLess(kinds.count(b"FL:"), 400_000 // 250 + 1)
        self.assertNotIn(b"FE:", kinds, "an unfinished file is never announced as whole")
        self.assertFalse(any(l.startswith("saved file: ") for l in listener.read_lines()))
        # The close sequence ran to its end: LAN sharing saved as off, the log written.
        self.assertIn("UseNetwork=0", s.read("Last.tvs").decode("cp932").splitlines())
        self.assertTrue(s.exists(".Talvorine.log"))


class FilesIn(LanTestCase):
    def receive(self, data):
        """A file sent by the peer; returns once the program asks whether to save it."""
        s = self.session
        outgoing = os.path.join(s.workdir, "peer-out")
        os.makedirs(outgoing, exist_ok=True)
        path = os.path.join(outgoing, "議事録.dat")
        with open(path, "wb") as file:
            file.write(data)
        switch_lan_on(s, self.channel, LOOPBACK)
        send_file(self.channel, path, host_name="peer")
        self.assertEqual(self.box_text(SAVE_CAPTION),
                         "peer からファイルが届きました。保存しますか？")

    def test_yes_and_a_name_save_the_file_whole_and_delete_recv_tmp(self):
        s = self.session
        data = os.urandom(100_000)
        self.receive(data)
        self.answer_box(SAVE_CAPTION, IDYES)
        wait_for(lambda: s.helper("file-dialog", RECV_FILE_DIALOG,
                                  windows_path(s.path("受け取った.dat")))["found"], 15,
                 "the save dialog to take the name")
        self.assertEqual(self.box_text(SAVED_CAPTION), SAVED_TEXT)
        self.answer_box(SAVED_CAPTION, IDOK)
        self.assertEqual(s.read("受け取った.dat"), data)
        self.no_temp_file()

    def test_no_saves_nothing_and_deletes_recv_tmp(self):
        s = self.session
        before = set(os.listdir(s.workdir))
        self.receive(os.urandom(20_000))
        self.answer_box(SAVE_CAPTION, IDNO)
        self.no_temp_file()
        self.assertEqual(self.road.probe("box", SAVED_CAPTION), "none")
        after = set(os.listdir(s.workdir)) - {"peer-out", "target-report.txt",
                                              "target-report.new"}
        self.assertEqual(after - before, set(), "no file is written")


if __name__ == "__main__":
    main()
