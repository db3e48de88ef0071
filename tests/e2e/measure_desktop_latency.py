"""Measures the two delays a note-taker feels, over 20 presses each, and prints their medians:
from the start hotkey to the candidate window being visible, and from Enter to the phrase
arriving in the paste target. Not a test (it asserts nothing): run it inside the Wine
environment after a cross build, for instance

  TALVORINE_WINE_DIR=$PWD/build/wine scripts/with-wine.sh \\
      python3 tests/e2e/measure_desktop_latency.py build/mingw

Times are taken by the test side, from just before the key is sent with xdotool to the arrival
of the probe's answer, so they include xdotool's own start (a few milliseconds).
"""

import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

PRESSES = 20


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/mingw")
    os.environ.setdefault("TALVORINE_EXE", os.path.join(build, "src/app/win32/talvorine.exe"))
    os.environ.setdefault("E2E_HELPER", os.path.join(build, "tests/e2e/e2e_helper.exe"))
    os.environ.setdefault("E2E_TARGET", os.path.join(build, "tests/e2e/e2e_target.exe"))
    os.environ.setdefault("E2E_WORK_ROOT", os.path.join(build, "e2e-work"))

    from desktop_road import CANDIDATE_CLASS, CANDIDATE_TITLE, TARGET_TITLE, Road
    from talvorine_e2e import Session

    with Session("measure_desktop_latency") as session:
        road = Road(session)
        road.start(["ko=こんにちは"])
        to_visible = []
        to_text = []
        for press in range(PRESSES):
            watcher = road.start_probe("wait-visible", CANDIDATE_CLASS, 10000)
            start = time.monotonic()
            road.press("ctrl+space")
            answer = watcher.stdout.readline().decode().strip()
            to_visible.append(time.monotonic() - start)
            watcher.wait()
            if answer != "visible":
                raise SystemExit(f"press {press}: the window did not show")
            road.wait_x_focus(CANDIDATE_TITLE)
            road.type("ko")
            expected = "こんにちは" * (press + 1)
            watcher = road.start_probe("wait-text", TARGET_TITLE, expected, 10000)
            start = time.monotonic()
            road.press("Return")
            answer = watcher.stdout.readline().decode().strip()
            to_text.append(time.monotonic() - start)
            watcher.wait()
            if answer != "found":
                raise SystemExit(f"press {press}: the phrase did not arrive")
            road.wait_hidden()
        for name, values in (("hotkey -> candidate window visible", to_visible),
                             ("Enter -> phrase in the target", to_text)):
            ms = sorted(round(v * 1000) for v in values)
            print(f"{name}: median {statistics.median(ms):.0f} ms over {len(ms)} "
                  f"(min {ms[0]}, max {ms[-1]})")


if __name__ == "__main__":
    main()
