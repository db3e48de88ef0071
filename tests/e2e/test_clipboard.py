"""End-to-end tests of the user's clipboard around an insertion: whatever it held comes back
byte for byte after the restore, also after rapid pastes, and neither the phrase put for the
paste nor the restore makes an entry in clipboard history."""

from clipboard_road import EXCLUDE_MARK, HISTORY_MARK, ClipboardProbe, parse_update
from desktop_road import Road, settings_text
from lan_peer import HK_GET_KEYS, HK_SET_KEYS
from talvorine_e2e import TalvorineTestCase, main, wait_for

PHRASES = ["ko=こんにちは"]
PHRASE = "こんにちは"
# What clipboard_probe's "put text" puts there.
USERS_TEXT = "Café crème, naïve façade – Ærøskøbing «déjà vu» 😀👍🏽 ¿Qué tal?"
RESTORE_ON = settings_text(Config_AutoRecovCB=1)


class ClipboardTestCase(TalvorineTestCase):
    def setUp(self):
        super().setUp()
        self.road = Road(self.session)
        self.clipboard = ClipboardProbe(self.session)

    def insert_phrase(self, times):
        """The start hotkey, "ko" and Enter: the phrase arrives in the target for the times-th
        time."""
        road = self.road
        road.open()
        road.type("ko")
        wait_for(lambda: road.rows() == 1, 5, "the phrase alone")
        road.press("Return")
        self.assertTrue(road.wait_text(PHRASE * times), road.target_text())

    def restored_marks_only(self):
        names = [line.split()[0] for line in self.clipboard.dump()]
        return HISTORY_MARK in names and EXCLUDE_MARK not in names

    def wait_clipboard_back(self, before):
        """The phrase was pasted, so the clipboard held it; the restore is the next change."""
        wait_for(lambda: self.clipboard.dump_without_marks() == before, 10,
                 "the user's clipboard to come back")


class UsersClipboard(ClipboardTestCase):
    def test_text_a_picture_with_other_formats_and_nothing_come_back_byte_for_byte(self):
        self.road.start(PHRASES, RESTORE_ON)
        for times, content in enumerate(("text", "image", "empty"), start=1):
            with self.subTest(content=content):
                self.clipboard.put(content)
                before = self.clipboard.dump()
                names = [line.split()[0] for line in before]
                if content == "text":
                    self.assertIn("CF_UNICODETEXT", names)
                elif content == "image":
                    for name in ("CF_DIB", "Talvorine_E2E_Custom", "HTML_Format"):
                        self.assertIn(name, names)
                else:
                    self.assertEqual(before, [])
                self.insert_phrase(times)
                self.wait_clipboard_back(before)
                if content == "empty":
                    self.assertEqual(self.clipboard.dump(), [], "nothing at all, no marks either")

    def test_ten_pastes_100_ms_apart_end_with_the_picture_back_whole(self):
        road = self.road
        road.start([], settings_text(Config_AutoRecovCB=1, Network_UseNetwork=0,
                                     Network_AutoNwKeySet=1))
        # The hand-over hotkey with LAN sharing off only takes the clipboard text for the paste
        # hotkey; one paste shows it has.
        self.assertEqual(road.probe("set-clipboard", "受信文"), "set")
        road.press(HK_SET_KEYS)
        road.press(HK_GET_KEYS)
        self.assertTrue(road.wait_text("受信文"), road.target_text())
        self.assertEqual(road.target_text(), "受信文")
        # That paste's restore comes a quarter second later and would put the text back over a
        # picture put before it. The phrase carries all three marks, the restore no monitor one.
        wait_for(self.restored_marks_only, 10, "the first paste's restore")

        self.clipboard.put("big-image")
        before = self.clipboard.dump()
        self.assertIn("CF_DIB", [line.split()[0] for line in before])
        self.session.x("xdotool", "key", "--delay", "100", *[HK_GET_KEYS] * 10)
        self.assertTrue(road.wait_text("受信文" * 11, 15000), road.target_text())
        self.assertEqual(road.target_text(), "受信文" * 11)
        self.wait_clipboard_back(before)


class ClipboardHistory(ClipboardTestCase):
    def test_the_phrase_and_the_restore_carry_the_exclusion_marks(self):
        self.road.start(PHRASES, RESTORE_ON)
        self.clipboard.put("text")
        before = self.clipboard.dump()
        listener = self.clipboard.listen("stop-listening")
        self.addCleanup(lambda: listener.poll() is None and listener.kill())
        self.insert_phrase(1)
        self.wait_clipboard_back(before)
        self.session.write("stop-listening", b"")
        lines = listener.communicate(timeout=30)[0].decode("utf-8").splitlines()
        self.assertEqual(lines[-1], "end")
        updates = [parse_update(line) for line in lines[:-1]]

        with_phrase = [u for u in updates if u["text"] == PHRASE]
        self.assertTrue(with_phrase, lines)
        for update in with_phrase:
            self.assertEqual((update["exclude"], update["history"], update["cloud"]),
                             ("0", "0", "0"), update)
            self.assertEqual(update["formats"][0], "CF_UNICODETEXT", update)

        # The last update is the restore: the user's text, out of history and the cloud, and
        # seen by monitors like any copy of the user's own.
        restored = updates[-1]
        self.assertEqual(restored["text"], USERS_TEXT, lines)
        self.assertEqual((restored["exclude"], restored["history"], restored["cloud"]),
                         ("-", "0", "0"), restored)
        # Nothing the user did not copy went by without the marks.
        for update in updates:
            if update["text"] not in ("", USERS_TEXT):
                self.assertEqual(update["history"], "0", update)


if __name__ == "__main__":
    main()
