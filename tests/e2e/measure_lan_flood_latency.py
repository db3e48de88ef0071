"""Measures how a datagram flood on the program's LAN port delays the start hotkey: the time
from the hotkey to the candidate window being visible, over a number of presses without a
flood, at 2,000 and at 20,000 hand-over datagrams a second, and right after each flood ends, all
in one run, and prints the medians side by side. Not a test (it asserts nothing; the e2e test
Floods.test_a_short_flood_of_hand_overs_leaves_the_program_serving_hotkeys is its smoke run):
run it inside the Wine environment after a cross build and a native build (for the LAN
settings helpers), for instance

  TALVORINE_WINE_DIR=$PWD/build/wine scripts/with-wine.sh \\
      python3 tests/e2e/measure_lan_flood_latency.py build/mingw

The flood comes from a process of its own on loopback (tests/e2e/lan_flood.py); nothing leaves
the machine. Times are taken by the measuring side, from just before xdotool sends the key to
the probe's answer, so they include xdotool's own start (a few milliseconds).
"""

import os
import statistics
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

PRESSES = 15
RATES = (0, 2_000, 20_000)


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/mingw")
    presses = int(sys.argv[2]) if len(sys.argv) > 2 else PRESSES
    os.environ.setdefault("TALVORINE_EXE", os.path.join(build, "src/app/win32/talvorine.exe"))
    os.environ.setdefault("E2E_HELPER", os.path.join(build, "tests/e2e/e2e_helper.exe"))
    os.environ.setdefault("E2E_TARGET", os.path.join(build, "tests/e2e/e2e_target.exe"))
    os.environ.setdefault("E2E_WORK_ROOT", os.path.join(build, "e2e-work"))

    from desktop_road import CANDIDATE_CLASS, TARGET_TITLE, Road
    from lan_flood import Flood
    from lan_peer import EDIT1, LOOPBACK, free_channel, lan_settings, switch_lan_on
    from talvorine_e2e import Session, wait_for

    with Session("measure_lan_flood_latency") as session:
        channel = free_channel()
        road = Road(session)
        road.start(["ko=こんにちは"], lan_settings(channel))
        switch_lan_on(session, channel, LOOPBACK)

        def press_once():
            """One start-hotkey press: seconds until the window shows; then Escape."""
            watcher = road.start_probe("wait-visible", CANDIDATE_CLASS, 30000)
            start = time.monotonic()
            road.press("ctrl+space")
            answer = watcher.stdout.readline().decode().strip()
            took = time.monotonic() - start
            watcher.wait()
            if answer != "visible":
                raise SystemExit("the window did not show within 30 s")
            road.wait_x_focus("候補")
            road.press("Escape")
            if not road.wait_hidden(30000):
                raise SystemExit("the window did not hide")
            road.wait_x_focus(TARGET_TITLE)
            return took

        results = []
        for rate in RATES:
            flood = None
            if rate:
                flood = Flood(channel, rate)
                wait_for(lambda: session.control_text(EDIT1).startswith("flood "), 30,
                         "the flood to reach Edit1")
            times = [press_once() for _ in range(presses)]
            after = None
            if flood:
                stopped = time.monotonic()
                sent = flood.stop()
                after = press_once()
                after_total = time.monotonic() - stopped
            results.append((rate, times, after, after_total if flood else None,
                            sent if flood else 0))

        baseline = statistics.median(results[0][1])
        for rate, times, after, after_total, sent in results:
            ms = sorted(round(t * 1000) for t in times)
            median = statistics.median(times)
            line = (f"{rate or 'no flood':>8}{'/s' if rate else ''}: hotkey -> candidate window "
                    f"median {median * 1000:.0f} ms ({median / baseline:.2f}x the no-flood "
                    f"median), min {ms[0]}, max {ms[-1]} over {len(ms)}")
            if after is not None:
                line += (f"; {sent} datagrams sent; first press after the flood "
                         f"{after * 1000:.0f} ms ({after_total * 1000:.0f} ms from its end)")
            print(line, flush=True)


if __name__ == "__main__":
    main()
