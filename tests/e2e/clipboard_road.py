"""The clipboard around an insertion, seen from outside: clipboard_probe.exe
(programs/clipboard_probe.cpp) puts known contents on the clipboard, lists what it holds and
listens to its updates. Used by test_clipboard.py and by measure_clipboard_latency.py."""

import os
import subprocess

from talvorine_e2e import environment

# The registered formats that keep a clipboard content out of monitors, history and the cloud.
EXCLUDE_MARK = "ExcludeClipboardContentFromMonitorProcessing"
HISTORY_MARK = "CanIncludeInClipboardHistory"
CLOUD_MARK = "CanUploadToCloudClipboard"
MARKS = (EXCLUDE_MARK, HISTORY_MARK, CLOUD_MARK)


def clipboard_probe_exe():
    return os.path.join(os.path.dirname(environment("E2E_HELPER")), "clipboard_probe.exe")


class ClipboardProbe:
    def __init__(self, session):
        self.s = session
        self.exe = clipboard_probe_exe()

    def run(self, *args):
        """The probe's answer, all of its lines."""
        result = subprocess.run([*self.s.wine, self.exe, *[str(a) for a in args]],
                                cwd=self.s.workdir, stdin=subprocess.DEVNULL,
                                capture_output=True, timeout=60)
        return result.stdout.decode("utf-8").splitlines()

    def put(self, content):
        """Puts "text", "image", "big-image" or "empty" on the clipboard."""
        answer = self.run("put", content)
        if answer != ["put"]:
            raise AssertionError(f"clipboard_probe put {content}: {answer}")

    def dump(self):
        """Every format on the clipboard in its order: "NAME SIZE HASH" each."""
        lines = self.run("dump")
        if not lines or lines[-1] != "end":
            raise AssertionError(f"clipboard_probe dump: {lines}")
        return lines[:-1]

    def dump_without_marks(self):
        return [line for line in self.dump() if line.split()[0] not in MARKS]

    def listen(self, stop_file, limit_ms=60000):
        """A listener left running until stop_file exists in the working directory; returned
        once it listens."""
        listener = subprocess.Popen([*self.s.wine, self.exe, "listen", str(limit_ms), stop_file],
                                    cwd=self.s.workdir, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if listener.stdout.readline().decode().strip() != "ready":
            listener.kill()
            raise AssertionError("clipboard_probe listen did not start")
        return listener


def parse_update(line):
    """A listener's line as a dict: text, exclude, history, cloud, formats (a list)."""
    fields = {}
    for part in line.split("|"):
        key, _, value = part.partition("=")
        fields[key] = value
    fields["formats"] = fields.get("formats", "").split(",") if fields.get("formats") else []
    return fields
