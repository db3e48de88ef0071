"""A Wine prefix whose display runs at another scale (LogPixels), made once per build folder
and used by one test at a time: Wine reads the DPI when its server starts, so the prefix has a
server of its own, started by the test's first Wine command and ended with the test."""

import fcntl
import os
import subprocess

from talvorine_e2e import wait_for

READY_MARK = "talvorine-ready"


def _run(prefix, *args, timeout=170):
    env = dict(os.environ, WINEPREFIX=prefix)
    return subprocess.run(list(args), env=env, stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          timeout=timeout).returncode


class ScaledPrefix:
    """The prefix at dpi, locked for this test; wine is the command that runs a program in it.
    close() ends its server and frees it."""

    def __init__(self, path, dpi):
        self.path = path
        self.dpi = dpi
        self.wine = ("env", f"WINEPREFIX={path}", "wine")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        self._lock = open(path + ".lock", "w")
        wait_for(self._try_lock, 170, f"the Wine prefix {path} to be free")
        if not os.path.exists(os.path.join(path, READY_MARK)):
            self._create()
        # Wine's services come up with the first command; with their output sent away here they
        # never hold a test's pipes.
        _run(path, "wine", "cmd", "/c", "exit")

    def _try_lock(self):
        try:
            fcntl.flock(self._lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            return True
        except BlockingIOError:
            return False

    def _create(self):
        if _run(self.path, "wine", "wineboot", "-i") != 0:
            raise AssertionError(f"wineboot -i failed for {self.path}")
        _run(self.path, "wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
             "/t", "REG_DWORD", "/d", str(self.dpi), "/f")
        # The value is read when the server starts: end this one.
        _run(self.path, "wineserver", "-k")
        _run(self.path, "wineserver", "-w")
        with open(os.path.join(self.path, READY_MARK), "w"):
            pass

    def close(self):
        _run(self.path, "wineserver", "-k", timeout=60)
        _run(self.path, "wineserver", "-w", timeout=60)
        fcntl.flock(self._lock, fcntl.LOCK_UN)
        self._lock.close()
