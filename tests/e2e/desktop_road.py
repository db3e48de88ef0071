"""Driving the stroke lookup from outside: the start hotkey, strokes, Enter and what arrives in
the paste target. Used by test_desktop.py and by measure_desktop_latency.py.

desktop_probe.exe (programs/desktop_probe.cpp) looks at windows, carets and the clipboard from
inside Wine; it is built beside e2e_helper.exe.
"""

import os
import re
import subprocess
import time

from talvorine_e2e import environment, wait_for

CANDIDATE_CLASS = "TalvorineTForm2"
CANDIDATE_TITLE = "候補"
TARGET_TITLE = "Talvorine E2E Target"
TARGET_CLASS = "TalvorineE2ETarget"
REG_KEY = 209  # the button キー設定 of the tab 環境設定
IDOK = 1


def probe_exe():
    return os.path.join(os.path.dirname(environment("E2E_HELPER")), "desktop_probe.exe")


def settings_text(**values):
    """A settings file: the start hotkey registered at start-up and the main window left in the
    tray unless told otherwise, plus the given [section] key=value pairs."""
    sections = {"Config": {"AutoKeySet": 1, "AutoMinWindow": 1}}
    for name, value in values.items():
        section, key = name.split("_", 1)
        sections.setdefault(section, {})[key] = value
    lines = []
    for section, keys in sections.items():
        lines.append(f"[{section}]")
        lines.extend(f"{key}={value}" for key, value in keys.items())
    return "\r\n".join(lines) + "\r\n"


class Road:
    """One session's program, paste target and candidate window."""

    def __init__(self, session, minimize_tray=False):
        """minimize_tray: Wine's tray window may be minimized when it keeps the activation (in
        a prefix of the test's own, where nothing else needs it)."""
        self.s = session
        self.minimize_tray = minimize_tray
        self.probe_path = probe_exe()
        self.target_x = None

    # ----- the probe ---------------------------------------------------------------------

    def probe(self, *args):
        """The probe's answer: its last line (the waiting commands say "ready" first)."""
        result = subprocess.run([*self.s.wine, self.probe_path, *[str(a) for a in args]],
                                cwd=self.s.workdir, stdin=subprocess.DEVNULL,
                                capture_output=True, timeout=60)
        lines = result.stdout.decode("utf-8").splitlines()
        return lines[-1].strip() if lines else ""

    def start_probe(self, *args):
        """A waiting probe left running, returned once it is looking; its next line is the
        answer, to be timed by its arrival."""
        watcher = subprocess.Popen([*self.s.wine, self.probe_path, *[str(a) for a in args]],
                                   cwd=self.s.workdir, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if watcher.stdout.readline().decode().strip() != "ready":
            watcher.kill()
            raise AssertionError(f"desktop_probe {' '.join(map(str, args))} did not start")
        return watcher

    # ----- start ----------------------------------------------------------------------------

    def start(self, phrases, settings=None, with_target=True):
        """Writes the auto-load files, starts the target (unless told otherwise: a test that
        brings its own starts it afterwards) and the program, and waits for the start-up: the
        candidate window is shown once and hidden again."""
        self.s.write("自動読込.tvs", settings if settings is not None else settings_text())
        self.s.write("自動読込.tvw", "".join(line + "\r\n" for line in phrases))
        if with_target:
            self.s.start_target()
        watcher = self.start_probe("wait-visible", CANDIDATE_CLASS, 20000)
        self.s.start_talvorine()
        shown = watcher.stdout.readline().decode().strip()
        watcher.stdout.close()
        watcher.wait()
        if shown != "visible":
            raise AssertionError("the candidate window did not show at start-up")
        if self.probe("wait-hidden", CANDIDATE_CLASS, 5000) != "hidden":
            raise AssertionError("Timer2 did not hide the candidate window after the start-up")
        if with_target:
            self.focus_target()

    def focus_target(self):
        """Brings the target to the front, through the window manager as a click would."""
        self.target_x = wait_for(lambda: self.s.x_window(TARGET_TITLE), 15, "the target window")
        self.bring_to_front(self.target_x, TARGET_CLASS, TARGET_TITLE)

    def bring_to_front(self, x_id, class_name, title):
        """Activates a window through the window manager until Windows and X both have it in
        front. Wine's tray window, shown when the program adds its icon, now and then keeps the
        activation against the window manager's request; the X focus set directly and a click
        into the window, as the user would give, take it then."""
        seen = []
        attempts = [0]

        def in_front():
            attempts[0] += 1
            self.s.x("xdotool", "windowactivate", "--sync", x_id, check=False)
            seen[:] = [self.probe("foreground"), self.x_focus_title()]
            if seen[1] == "Wine System Tray" and self.minimize_tray:
                tray = self.s.x_window("Wine System Tray")
                if tray:
                    self.s.x("xdotool", "windowminimize", "--sync", tray, check=False)
            if seen != [class_name, title] and attempts[0] % 3 == 0:
                self.s.x("xdotool", "windowraise", x_id, check=False)
                self.s.x("xdotool", "windowfocus", "--sync", x_id, check=False)
                x0, y0, width, height = self.s.geometry(x_id)
                self.s.click(x0 + width // 2, y0 + height // 2)
                seen[:] = [self.probe("foreground"), self.x_focus_title()]
            return seen == [class_name, title]

        try:
            wait_for(in_front, 15, f"{title} in front")
        except AssertionError as failure:
            raise AssertionError(f"{failure}; in front: {seen}") from None

    # ----- looking -----------------------------------------------------------------------

    def target_text(self):
        return self.probe("text", TARGET_TITLE)

    def caret(self):
        answer = self.probe("caret", TARGET_TITLE)
        x, y = answer.split()
        return int(x), int(y)

    def candidate_rect(self):
        """(visible, left, top, right, bottom)."""
        state, *edges = self.probe("rect", CANDIDATE_CLASS).split()
        return (state == "visible", *map(int, edges))

    def rows(self):
        return int(self.probe("rows", CANDIDATE_CLASS).split()[0])

    def candidate_visible(self):
        return self.candidate_rect()[0]

    def screen_size(self):
        out = self.s.x("xdpyinfo")
        width, height = re.search(r"dimensions:\s+(\d+)x(\d+)", out).groups()
        return int(width), int(height)

    # ----- acting ------------------------------------------------------------------------

    def press(self, *keys):
        self.s.x("xdotool", "key", *keys)

    def type(self, text):
        self.s.x("xdotool", "type", "--delay", "30", text)

    def open(self, confirm_first=False):
        """The start hotkey; returns once the candidate window is shown and has the keyboard.
        With confirm_first, Enter confirms in the open window first, and the hotkey follows as
        soon as the target has the keyboard again (the hotkey reaches the program only through
        a window that has it)."""
        watcher = self.start_probe("wait-reshown" if confirm_first else "wait-visible",
                                   CANDIDATE_CLASS, 10000)
        if confirm_first:
            self.press("Return")
            self.wait_x_focus(TARGET_TITLE)
        self.press("ctrl+space")
        shown = watcher.stdout.readline().decode().strip()
        watcher.stdout.close()
        watcher.wait()
        if shown != "visible":
            raise AssertionError("the start hotkey did not show the candidate window")
        self.wait_x_focus(CANDIDATE_TITLE)

    def x_focus_title(self):
        focus = self.s.x("xdotool", "getwindowfocus", check=False).strip()
        return self.s.x("xdotool", "getwindowname", focus, check=False).strip() if focus else ""

    def wait_x_focus(self, title):
        """Under Wine with a window manager the X focus follows the Win32 activation some tens
        of milliseconds later, and keys typed in between are lost: every test waits for it
        before it types."""
        deadline = time.monotonic() + 10
        while self.x_focus_title() != title:
            if time.monotonic() >= deadline:
                raise AssertionError(f"the keyboard did not go to {title}")
            time.sleep(0.003)

    def wait_text(self, text, limit_ms=5000):
        return self.probe("wait-text", TARGET_TITLE, text, limit_ms) == "found"

    def wait_hidden(self, limit_ms=5000):
        return self.probe("wait-hidden", CANDIDATE_CLASS, limit_ms) == "hidden"


def expected_position(caret, window_size, screen, caret_height=16, dpi=96):
    """Where the candidate window goes for a caret on a monitor without a taskbar: 40 pixels
    (at 96 DPI) below its top, or above the caret line when there is no room below; kept on
    the screen."""
    x, y = caret
    width, height = window_size
    below = max(y + (40 * dpi + 48) // 96, y + caret_height)
    if below + height <= screen[1]:
        top = max(below, 0)
    elif y - height >= 0:
        top = y - height
    else:
        top = max(screen[1] - height, 0)
    left = max(min(x, screen[0] - width), 0)
    return left, top
