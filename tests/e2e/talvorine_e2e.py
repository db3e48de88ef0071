"""Driver library of the end-to-end tests: the real talvorine.exe under Wine on an X display.

Every test gets a Session: its own working directory (the program's fixed file names are
relative to it), the programs it started (killed by their PID at the end, and only those), and
helpers to look at the windows from outside. Every wait polls a condition with a time limit.

The tests run inside scripts/with-wine.sh (DISPLAY, WINEPREFIX and the Wine server are set up
there); CTest passes the paths of the programs in the environment:
  TALVORINE_EXE     the program under test
  E2E_HELPER        programs/e2e_helper.exe, which reads and pokes windows from outside
  E2E_TARGET        programs/e2e_target.exe, a window with a multi-line edit that reports itself
  E2E_WORK_ROOT     where the tests' working directories are made
"""

import json
import os
import re
import shutil
import subprocess
import time
import unittest

# Control ids of the main window, as the program gives them.
PAGE_CONTROL1 = 10
MEMO3 = 431
CK_RECOV_CB = 213
CK_AUTO_KEY = 211
METAKEY = 206
KEY = 208
CK_NW_USE = 301
IPADDR = 303
EDIT1 = 334  # the monitor of the last text received
BUTTON3 = 203  # 語句リストの読込
BUTTON4 = 204  # 語句リストの保存
BUTTON5 = 605  # 追加 (a web word-file location)
INET_WORD_FILES = 602

# The tabs of PageControl1, in order.
TABS = ["送信設定", "環境設定", "ネットワーク連携", "このソフトについて", "使い方", "単語ファイル"]
ABOUT_TAB = 3

VK_LEFT = 0x25
VK_RIGHT = 0x27

RECORD_TITLE = "【Talvorine エラー記録】"
VERSION_LABEL = "Talvorine v1.32\u3000"


def environment(name):
    value = os.environ.get(name)
    if not value:
        raise RuntimeError(
            f"{name} is not set: run the end-to-end tests through CTest inside scripts/with-wine.sh")
    return value


def wait_for(condition, limit, what):
    """Polls condition() until it returns a true value, which is returned; fails after limit s."""
    deadline = time.monotonic() + limit
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {limit} s waiting for {what}")
        time.sleep(0.05)


class Program:
    """A Windows program started under Wine in a working directory."""

    def __init__(self, exe, cwd, args=(), wine=("wine",)):
        self.exe = exe
        self.process = subprocess.Popen(
            [*wine, exe, *args], cwd=cwd, stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    @property
    def pid(self):
        return self.process.pid

    def running(self):
        return self.process.poll() is None

    def wait_exit(self, limit):
        wait_for(lambda: not self.running(), limit, f"{os.path.basename(self.exe)} to end")
        return self.process.returncode

    def kill(self):
        if self.running():
            self.process.kill()
            self.process.wait(timeout=10)


class Session:
    """One test's world. Use as a context manager or call close(). wine is the command that
    runs a Windows program (another host's tests run it inside a network namespace)."""

    def __init__(self, name, wine=("wine",)):
        self.wine = list(wine)
        self.exe = environment("TALVORINE_EXE")
        self.helper_exe = environment("E2E_HELPER")
        self.target_exe = environment("E2E_TARGET")
        root = environment("E2E_WORK_ROOT")
        self.workdir = os.path.join(root, re.sub(r"[^A-Za-z0-9_.-]", "_", name))
        shutil.rmtree(self.workdir, ignore_errors=True)
        os.makedirs(self.workdir)
        self.programs = []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        for program in reversed(self.programs):
            program.kill()
        self.programs.clear()

    # ----- files of the working directory -------------------------------------------------

    def path(self, name):
        return os.path.join(self.workdir, name)

    def write(self, name, data):
        """Writes bytes, or text as cp932 (the program's own code page)."""
        if isinstance(data, str):
            data = data.encode("cp932")
        with open(self.path(name), "wb") as file:
            file.write(data)

    def read(self, name):
        with open(self.path(name), "rb") as file:
            return file.read()

    def exists(self, name):
        return os.path.exists(self.path(name))

    # ----- programs ----------------------------------------------------------------------

    def start(self, exe=None, args=()):
        program = Program(exe or self.exe, self.workdir, args, self.wine)
        self.programs.append(program)
        return program

    def start_talvorine(self):
        """Starts the program and waits until its main window exists (hidden at first)."""
        program = self.start()
        wait_for(lambda: self.info()["found"] or not program.running(), 30,
                 "the main window to be created")
        if not program.running():
            raise AssertionError("talvorine.exe ended during start-up")
        return program

    def start_target(self):
        """Starts the paste target and waits for its first report."""
        program = self.start(self.target_exe)
        wait_for(lambda: self.exists("target-report.txt"), 30, "the target's first report")
        return program

    def target_report(self):
        """The target's caret position and text."""
        raw = self.read("target-report.txt").decode("utf-8")
        caret_line, length_line, text = raw.split("\n", 2)
        return int(caret_line.split("=")[1]), text

    def helper(self, *args):
        """Runs the helper; its answer as a dict. Text arguments go as they are (Japanese too)."""
        result = subprocess.run(
            [*self.wine, self.helper_exe, *[str(a) for a in args]], cwd=self.workdir,
            stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        lines = [line for line in result.stdout.decode("utf-8").splitlines() if line.strip()]
        if result.returncode != 0 or not lines:
            raise AssertionError(
                f"e2e_helper {' '.join(map(str, args))} failed ({result.returncode}): "
                f"{result.stderr.decode('utf-8', 'replace')}")
        return json.loads(lines[-1])

    def info(self):
        return self.helper("info")

    def control_text(self, control_id):
        answer = self.helper("text", control_id)
        if not answer["found"]:
            raise AssertionError(f"no control {control_id} in the main window")
        return answer["text"]

    def control_state(self, control_id):
        answer = self.helper("state", control_id)
        if not answer["found"]:
            raise AssertionError(f"no control {control_id} in the main window")
        return answer["value"]

    def record_lines(self):
        """The lines of the error record (Memo3) as they stand."""
        text = self.control_text(MEMO3)
        lines = text.split("\r\n")
        if lines and lines[-1] == "":
            lines.pop()
        return lines

    def record_lines_from_log(self):
        """The lines of ".Talvorine.log" as the last close wrote them."""
        lines = self.read(".Talvorine.log").decode("cp932").split("\r\n")
        if lines and lines[-1] == "":
            lines.pop()
        return lines

    def wait_main_window_visible(self, limit=15):
        return wait_for(lambda: self.info().get("visible"), limit, "the main window to show")

    def wait_startup_settled(self, quiet=0.8, limit=15):
        """Waits until the candidate window has stopped coming and going after the start-up
        (its timers show and hide it then; a menu opened meanwhile would lose the focus)."""
        last = [None, time.monotonic()]

        def settled():
            shown = self.x_window("候補") is not None
            now = time.monotonic()
            if shown != last[0]:
                last[0], last[1] = shown, now
            return now - last[1] >= quiet

        wait_for(settled, limit, "the start-up to settle")

    def select_tab(self, index, control_id=PAGE_CONTROL1):
        """Brings a tab to the front the way the keyboard does, so the tab control sends its
        own change notification inside the program."""
        for _ in range(16):
            current = self.control_state(control_id)
            if current == index:
                return
            self.helper("key", control_id, VK_RIGHT if index > current else VK_LEFT)
            wait_for(lambda: self.control_state(control_id) != current, 10,
                     f"tab {index} of control {control_id}")
        raise AssertionError(f"tab {index} of control {control_id} did not come to the front")

    # ----- the X display -----------------------------------------------------------------

    @staticmethod
    def x(*args, check=True):
        result = subprocess.run(list(args), capture_output=True, timeout=30)
        if check and result.returncode != 0:
            raise AssertionError(f"{args[0]} failed: {result.stderr.decode('utf-8', 'replace')}")
        return result.stdout.decode("utf-8", "replace")

    def x_window(self, name):
        """The X id of the visible window with exactly that title, or None."""
        out = self.x("xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(name)}$",
                     check=False)
        ids = out.split()
        return ids[0] if ids else None

    def geometry(self, x_id):
        """(x, y, width, height) of an X window on the screen."""
        out = self.x("xwininfo", "-id", str(x_id))
        values = {}
        for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
            values[key] = int(re.search(rf"{key}:\s+(-?\d+)", out).group(1))
        return (values["Absolute upper-left X"], values["Absolute upper-left Y"],
                values["Width"], values["Height"])

    def screenshot(self, path, x_id=None):
        """The whole screen, or one window with its frame, as PNG."""
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if x_id is None:
            self.x("import", "-window", "root", path)
            return path
        x0, y0, width, height = self.geometry(x_id)
        self.x("import", "-window", "root", "-crop", f"{width}x{height}+{x0}+{y0}", "+repage",
               path)
        return path

    def root_children(self, program="talvorine.exe"):
        """The viewable top-level X windows of a Windows program (Wine names their X class after
        the exe): {id: (x, y, width, height)}."""
        out = self.x("xwininfo", "-root", "-children")
        windows = {}
        pattern = (r'^\s+(0x[0-9a-f]+) .*?\("' + re.escape(program) +
                   r'" [^)]*\)\s+(\d+)x(\d+)\+(-?\d+)\+(-?\d+)')
        for match in re.finditer(pattern, out, re.MULTILINE):
            x_id = match.group(1)
            stats = self.x("xwininfo", "-id", x_id, check=False)
            if "IsViewable" in stats:
                width, height, x0, y0 = (int(match.group(i)) for i in range(2, 6))
                windows[x_id] = (x0, y0, width, height)
        return windows

    def click(self, x0, y0, button=1):
        # The move is waited for (the program must see the pointer arrive before the click),
        # but only when there is one: --sync would wait in vain for a pointer already there.
        location = self.x("xdotool", "getmouselocation")
        at = re.search(r"x:(-?\d+) y:(-?\d+)", location)
        if not at or (int(at.group(1)), int(at.group(2))) != (x0, y0):
            self.x("xdotool", "mousemove", "--sync", str(x0), str(y0))
        self.x("xdotool", "click", str(button))

    def tray_icon_point(self):
        """The screen point of the program's icon in Wine's system tray, with nothing of ours
        over it."""
        tray = wait_for(lambda: self.x_window("Wine System Tray"), 15, "Wine's system tray")
        x0, y0, width, height = self.geometry(tray)
        # The tray sits at the top left, where windows also open: move any window of ours
        # that covers it out of the way.
        for name in ("Talvorine", "候補"):
            covering = self.x_window(name)
            if covering is None:
                continue
            cx, cy, cw, ch = self.geometry(covering)
            if cx < x0 + width and cy < y0 + height:
                self.x("xdotool", "windowmove", "--sync", covering, str(x0 + width + 40),
                       str(y0 + height + 40))
        # One icon in the tray: it fills the tray's height from the left.
        return x0 + height // 2, y0 + height // 2

    def open_tray_menu(self):
        """Left-clicks the program's icon in Wine's system tray; the menu's X geometry."""
        point = self.tray_icon_point()
        before = set(self.root_children())
        self.click(*point)
        menu = wait_for(lambda: self._new_window(before), 10, "the tray menu")
        return menu

    def _new_window(self, before):
        """A window of the program that was not there before (a menu): its geometry."""
        for x_id, geometry in self.root_children().items():
            if x_id not in before and geometry[2] > 20 and geometry[3] > 20:
                return geometry
        return None

    def choose_tray_menu_item(self, index, items=2):
        """Opens the tray menu and clicks its item by position."""
        self.wait_startup_settled()
        x0, y0, width, height = self.open_tray_menu()
        item_height = height / items
        self.click(x0 + width // 2, int(y0 + item_height * index + item_height / 2))


# The pictures of every page of the main window, by file name: (tab of PageControl1, tab of
# PageControl2 or None).
SCREENSHOT_PAGES = [
    ("1-send-settings.png", 0, None),
    ("2-environment.png", 1, None),
    ("3-network.png", 2, None),
    ("4-about-version.png", 3, 0),
    ("4-about-history.png", 3, 1),
    ("4-about-error-record.png", 3, 2),
    ("5-usage.png", 4, None),
    ("6-word-files.png", 5, None),
]
PAGE_CONTROL2 = 401


def take_screenshots(session, out_dir):
    """With the main window shown, brings every page to the front and saves a picture of the
    window; the paths written."""
    window = wait_for(lambda: session.x_window("Talvorine"), 15, "the main window on X")
    paths = []
    for name, tab, inner_tab in SCREENSHOT_PAGES:
        session.select_tab(tab)
        if inner_tab is not None:
            session.select_tab(inner_tab, PAGE_CONTROL2)
        # Let the page paint; nothing depends on this pause but the picture.
        time.sleep(0.4)
        paths.append(session.screenshot(os.path.join(out_dir, name), window))
    return paths


class TalvorineTestCase(unittest.TestCase):
    """A test case with a fresh Session per test, named after the test."""

    def setUp(self):
        self.session = Session(self.id())
        self.addCleanup(self.session.close)


def main():
    unittest.main(verbosity=2)
