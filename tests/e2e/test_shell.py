"""End-to-end tests of the program's shell: start-up, the state files, the ways of ending, the
error record and the look of the main window."""

import os
import subprocess
import time

from talvorine_e2e import (ABOUT_TAB, BUTTON3, BUTTON4, BUTTON5, INET_WORD_FILES, CK_RECOV_CB, KEY, METAKEY, MEMO3, RECORD_TITLE,
                           SCREENSHOT_PAGES, VERSION_LABEL, TalvorineTestCase, main,
                           take_screenshots, wait_for)

# A table with Japanese text, an empty row, a row without "=" and a duplicate.
TABLE_BYTES = "aa=あいさつ\r\nbb=番号\r\n\r\ncc\r\naa=あいさつ\r\n".encode("cp932")

SETTINGS_TEXT = ("[Key]\r\nMetaKey=3\r\nKey=5\r\n[Config]\r\nAutoRecovCB=1\r\n"
                 "[Network]\r\nUseNetwork=1\r\n")


def setting_lines(data):
    return data.decode("cp932").split("\r\n")


class FirstStart(TalvorineTestCase):
    def test_main_window_shows_about_a_second_later_with_two_record_lines(self):
        s = self.session
        s.start_talvorine()
        created = time.monotonic()
        self.assertFalse(s.info()["visible"], "the main window starts hidden")
        s.wait_main_window_visible()
        shown_after = time.monotonic() - created
        self.assertGreater(shown_after, 0.5)
        self.assertLess(shown_after, 5)
        info = s.info()
        self.assertEqual(info["title"], "Talvorine")
        self.assertEqual(info["tab"], ABOUT_TAB, "このソフトについて is in front")
        self.assertEqual(s.record_lines(), [RECORD_TITLE, VERSION_LABEL])
        # Start-up reads the state files; it writes none.
        for name in (".\\Last.tvs", "Last.tvs", "Last.tvw", ".Talvorine.log"):
            self.assertFalse(s.exists(name), name)


class StateFiles(TalvorineTestCase):
    def test_settings_and_table_of_the_last_close_come_back(self):
        s = self.session
        s.write("Last.tvs", SETTINGS_TEXT)
        s.write("Last.tvw", TABLE_BYTES)
        program = s.start_talvorine()
        s.wait_main_window_visible()
        self.assertEqual(s.control_state(CK_RECOV_CB), 1)
        self.assertEqual(s.control_state(METAKEY), 3)
        self.assertEqual(s.control_state(KEY), 5)
        s.helper("close")
        program.wait_exit(30)
        self.assertEqual(s.read("Last.tvw"), TABLE_BYTES)
        lines = setting_lines(s.read("Last.tvs"))
        self.assertIn("AutoRecovCB=1", lines)
        self.assertIn("MetaKey=3", lines)
        self.assertIn("Key=5", lines)


class Closing(TalvorineTestCase):
    def prepare(self):
        s = self.session
        s.write("Last.tvs", SETTINGS_TEXT)
        s.write("Last.tvw", TABLE_BYTES)
        program = s.start_talvorine()
        s.wait_main_window_visible()
        return program

    def assert_close_sequence_ran(self, record_before):
        s = self.session
        lines = setting_lines(s.read("Last.tvs"))
        self.assertIn("UseNetwork=0", lines)
        self.assertNotIn("UseNetwork=1", lines)
        self.assertEqual(s.read("Last.tvw"), TABLE_BYTES)
        self.assertEqual(s.read(".Talvorine.log"), record_before.encode("cp932"))

    def test_wm_close_saves_state_with_lan_off_and_writes_the_log(self):
        s = self.session
        program = self.prepare()
        record = s.control_text(MEMO3)
        self.assertEqual(record, f"{RECORD_TITLE}\r\n{VERSION_LABEL}\r\n")
        s.helper("close")
        self.assertEqual(program.wait_exit(30), 0)
        self.assert_close_sequence_ran(record)

    def test_end_session_answers_at_once_and_closes_only_when_real(self):
        s = self.session
        program = self.prepare()
        # A shutdown that was called off: answered, nothing done.
        cancelled = s.helper("endsession", 0)
        self.assertEqual((cancelled["query"], cancelled["end"]), (1, 0))
        self.assertTrue(cancelled["query_answered"] and cancelled["end_answered"])
        self.assertTrue(program.running())
        self.assertFalse(s.exists(".Talvorine.log"))
        record = s.control_text(MEMO3)
        real = s.helper("endsession", 1)
        self.assertEqual((real["query"], real["end"]), (1, 1))
        program.wait_exit(30)
        self.assert_close_sequence_ran(record)

    def test_save_and_quit_from_the_tray_menu_writes_no_log(self):
        s = self.session
        s.write(".Talvorine.log", "前回の記録\r\n")
        program = self.prepare()
        os.remove(s.path("Last.tvw"))
        s.choose_tray_menu_item(1)  # 現状保存して終了(&Q)
        program.wait_exit(30)
        self.assertEqual(s.read("Last.tvw"), TABLE_BYTES)
        # The close sequence did not run: LAN sharing keeps the choice, the old log stays.
        self.assertIn("UseNetwork=1", setting_lines(s.read("Last.tvs")))
        self.assertEqual(s.read(".Talvorine.log"), "前回の記録\r\n".encode("cp932"))


class Tray(TalvorineTestCase):
    def test_minimize_hides_to_the_tray_and_v1_brings_the_window_back(self):
        s = self.session
        program = s.start_talvorine()
        s.wait_main_window_visible()
        s.helper("minimize")
        wait_for(lambda: not s.info()["visible"], 15, "the window to go to the tray")
        # A right-click on the icon does nothing: no menu comes within a second and a half.
        point = s.tray_icon_point()
        before = set(s.root_children())
        s.click(*point, button=3)
        with self.assertRaises(AssertionError):
            wait_for(lambda: s._new_window(before), 1.5, "a menu after the right-click")
        self.assertFalse(s.info()["visible"])
        s.choose_tray_menu_item(0)  # 画面を表示(&V)...
        wait_for(lambda: s.info()["visible"], 15, "the window to come back")
        self.assertFalse(s.info()["iconic"])
        self.assertTrue(program.running())


class ErrorRecord(TalvorineTestCase):
    def test_a_failing_button_adds_its_line_and_shows_no_box(self):
        s = self.session
        # A read-only file of that name: the save cannot replace it.
        s.write("readonly.tvw", b"")
        os.chmod(s.path("readonly.tvw"), 0o444)
        program = s.start_talvorine()
        s.wait_main_window_visible()
        s.helper("click", BUTTON4)
        wait_for(lambda: s.helper("file-dialog", "語句リストの保存", "readonly.tvw")["found"], 15,
                 "the save dialog")
        # It asks before overwriting; yes.
        wait_for(lambda: s.helper("press", "語句リストの保存", 6)["found"], 15,
                 "the overwrite question")
        full_path = "Z:" + s.path("readonly.tvw").replace("/", "\\")
        expected = f"エラー：ファイル {full_path} を作成できません"
        lines = wait_for(lambda: (lambda l: l if len(l) == 3 else None)(s.record_lines()), 15,
                         "the error line")
        self.assertEqual(lines[:2], [RECORD_TITLE, VERSION_LABEL])
        self.assertEqual(lines[2].lower(), expected.lower())
        # No box, and the program goes on.
        self.assertTrue(program.running())
        self.assertFalse(s.helper("dialog-text", "Talvorine")["found"])
        self.assertTrue(s.info()["visible"])
        self.assertEqual(s.read("readonly.tvw"), b"")


class FileDialogs(TalvorineTestCase):
    def test_dialogs_open_in_the_working_directory_and_leave_it_as_it_was(self):
        s = self.session
        os.makedirs(s.path("sub"))
        s.write(os.path.join("sub", "list.tvw"), "sub=下の階層\r\n")
        top = "top=作業フォルダ\r\n".encode("cp932")
        s.write("top.tvw", top)
        program = s.start_talvorine()
        s.wait_main_window_visible()
        s.helper("click", BUTTON3)
        wait_for(lambda: s.helper("file-dialog", "語句リストの読込", "sub\\list.tvw")["found"], 15,
                 "the load dialog")
        wait_for(lambda: not s.helper("dialog-text", "語句リストの読込")["found"], 15,
                 "the load dialog to close")
        # The next dialog starts in the working directory again: a bare name is found there.
        s.helper("click", BUTTON3)
        wait_for(lambda: s.helper("file-dialog", "語句リストの読込", "top.tvw")["found"], 15,
                 "the load dialog")
        wait_for(lambda: not s.helper("dialog-text", "語句リストの読込")["found"], 15,
                 "the load dialog to close")
        s.helper("close")
        program.wait_exit(30)
        # The state files went where they always go.
        self.assertEqual(s.read("Last.tvw"), top)
        self.assertTrue(s.exists("Last.tvs"))
        self.assertEqual(sorted(os.listdir(s.path("sub"))), ["list.tvw"])
        self.assertEqual(s.record_lines_from_log(), [RECORD_TITLE, VERSION_LABEL])


class WordFiles(TalvorineTestCase):
    def test_add_asks_for_a_location_and_the_close_saves_it(self):
        s = self.session
        program = s.start_talvorine()
        s.wait_main_window_visible()
        s.helper("click", BUTTON5)
        title = "単語ファイルはどこにありますか？"
        asked = wait_for(lambda: (lambda a: a if a["found"] else None)(
            s.helper("dialog-text", title)), 15, "the question")
        self.assertEqual(asked["texts"], ["単語ファイル登録"])
        s.helper("file-dialog", title, "C:\\単語\\list.tvw")
        wait_for(lambda: s.control_state(INET_WORD_FILES) == 1, 15, "the new location")
        s.helper("close")
        program.wait_exit(30)
        lines = setting_lines(s.read("Last.tvs"))
        self.assertIn("Total=1", lines)
        self.assertIn("File0000=C:\\単語\\list.tvw", lines)


class Screenshots(TalvorineTestCase):
    def test_every_tab_is_shown(self):
        s = self.session
        s.start_talvorine()
        s.wait_main_window_visible()
        out = os.environ.get("E2E_SCREENSHOTS", s.path("screenshots"))
        paths = take_screenshots(s, out)
        self.assertEqual(len(paths), len(SCREENSHOT_PAGES))
        for path in paths:
            colours = int(subprocess.run(["identify", "-format", "%k", path], capture_output=True,
                                         check=True).stdout)
            self.assertGreater(colours, 8, f"{os.path.basename(path)} looks empty")
        # Paging through the tabs leaves the program as it was.
        self.assertEqual(s.record_lines(), [RECORD_TITLE, VERSION_LABEL])


if __name__ == "__main__":
    main()
