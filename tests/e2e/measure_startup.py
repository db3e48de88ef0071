"""Measures the start-up with no phrase table and with a table of a million lines (".\\Last.tvw",
about 31.5 MB: strokes of 1 to 6 characters, phrases of 5 to 20 double-byte characters): the
time from starting talvorine.exe to its main window being visible, and the program's resident
memory once the start-up has settled. Five starts of each, taken in turns, and their medians.
Not a test (it asserts nothing): run it inside the Wine environment after a cross build, for
instance

  TALVORINE_WINE_DIR=$PWD/build/wine scripts/with-wine.sh \\
      python3 tests/e2e/measure_startup.py build/mingw

The time is taken by the measuring side, from just before the program is started to the
arrival of the answer of a probe that was already watching for the window, so it includes
Wine's own start of a process (the main window shows about one second after the start in any
case). The memory is the resident set (VmRSS) of the program's process.
"""

import os
import random
import shutil
import statistics
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

STARTS = 5
TABLE_LINES = 1_000_000
MAIN_CLASS = "TalvorineForm1"
STROKE_CHARACTERS = "abcdefghijklmnopqrstuvwxyz0123456789"


def million_line_table(path):
    """Writes the table once: the same shape as the one files_bench loads."""
    rng = random.Random(20261211)
    # Hiragana of cp932, 0x829F to 0x82F1, two bytes each.
    kana = [bytes((0x82, trail)) for trail in range(0x9F, 0xF2)]
    with open(path, "wb") as file:
        lines = []
        for _ in range(TABLE_LINES):
            stroke = "".join(rng.choice(STROKE_CHARACTERS)
                             for _ in range(rng.randint(1, 6))).encode("ascii")
            phrase = b"".join(rng.choice(kana) for _ in range(rng.randint(5, 20)))
            lines.append(stroke + b"=" + phrase + b"\r\n")
            if len(lines) == 50_000:
                file.write(b"".join(lines))
                lines.clear()
        file.write(b"".join(lines))


def descendants(pid):
    """pid and every process below it."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                parent = int(stat.read().rsplit(")", 1)[1].split()[1])
        except (OSError, IndexError, ValueError):
            continue
        children.setdefault(parent, []).append(int(entry))
    found, todo = [], [pid]
    while todo:
        current = todo.pop()
        found.append(current)
        todo.extend(children.get(current, []))
    return found


def resident_kib(program):
    """The resident set of the Linux process that runs talvorine.exe, in KiB."""
    for pid in descendants(program.pid):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
                if b"talvorine.exe" not in cmdline.read().lower():
                    continue
            with open(f"/proc/{pid}/status") as status:
                for line in status:
                    if line.startswith("VmRSS:"):
                        return int(line.split()[1])
        except OSError:
            continue
    raise SystemExit("the process of talvorine.exe was not found")


def one_start(session, road, table_path):
    """Starts the program in a fresh working directory: (seconds to visible, resident KiB)."""
    if table_path:
        shutil.copyfile(table_path, session.path("Last.tvw"))
    watcher = road.start_probe("wait-visible", MAIN_CLASS, 60000)
    start = time.monotonic()
    program = session.start()
    answer = watcher.stdout.readline().decode().strip()
    elapsed = time.monotonic() - start
    watcher.wait()
    if answer != "visible":
        raise SystemExit("the main window did not show")
    session.wait_startup_settled()
    memory = resident_kib(program)
    session.close()
    return elapsed, memory


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/mingw")
    os.environ.setdefault("TALVORINE_EXE", os.path.join(build, "src/app/win32/talvorine.exe"))
    os.environ.setdefault("E2E_HELPER", os.path.join(build, "tests/e2e/e2e_helper.exe"))
    os.environ.setdefault("E2E_TARGET", os.path.join(build, "tests/e2e/e2e_target.exe"))
    os.environ.setdefault("E2E_WORK_ROOT", os.path.join(build, "e2e-work"))

    from desktop_road import Road
    from talvorine_e2e import Session

    os.makedirs(os.environ["E2E_WORK_ROOT"], exist_ok=True)
    table_path = os.path.join(os.environ["E2E_WORK_ROOT"], "million-lines.tvw")
    if not os.path.exists(table_path) or os.path.getsize(table_path) < 10_000_000:
        million_line_table(table_path)
    table_bytes = os.path.getsize(table_path)

    results = {"no table": [], "million-line table": []}
    for turn in range(STARTS):
        for name, table in (("no table", None), ("million-line table", table_path)):
            with Session(f"measure_startup_{turn}_{name}") as session:
                results[name].append(one_start(session, Road(session), table))

    medians = {}
    for name, values in results.items():
        times = sorted(round(seconds * 1000) for seconds, _ in values)
        memory = sorted(round(kib / 1024, 1) for _, kib in values)
        medians[name] = (statistics.median(times), statistics.median(memory))
        print(f"{name}: start to main window visible median {medians[name][0]:.0f} ms "
              f"(of {times}), resident memory median {medians[name][1]:.1f} MiB (of {memory})")
    extra_ms = medians["million-line table"][0] - medians["no table"][0]
    extra_mib = medians["million-line table"][1] - medians["no table"][1]
    print(f"the table costs {extra_ms:.0f} ms of start-up (goal at most 300 ms) and "
          f"{extra_mib:.1f} MiB of memory, {extra_mib * 1024 * 1024 / table_bytes:.2f}x the "
          f"file's {table_bytes / 1e6:.1f} MB (goal at most 1.5x)")


if __name__ == "__main__":
    main()
