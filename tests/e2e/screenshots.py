"""Starts talvorine.exe in a working directory, saves a picture of every page of its main
window, closes it and prints where the pictures are. scripts/run.sh uses it on a private
display. Usage: screenshots.py WORKDIR OUT_DIR (with TALVORINE_EXE, E2E_HELPER and E2E_TARGET
set as for the tests)."""

import os
import sys

from talvorine_e2e import Session, take_screenshots


def run(workdir, out_dir):
    os.environ["E2E_WORK_ROOT"] = os.path.dirname(os.path.abspath(workdir))
    with Session(os.path.basename(os.path.abspath(workdir))) as session:
        program = session.start_talvorine()
        session.wait_main_window_visible()
        paths = take_screenshots(session, out_dir)
        session.helper("close")
        program.wait_exit(30)
    for path in paths:
        print(path)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    run(sys.argv[1], sys.argv[2])
