#!/usr/bin/env bash
# Starts talvorine.exe under Wine. On a display it runs there until it is closed. Without one it
# starts a private display, runs the program, saves a picture of every page of its main window
# under build/screenshots/, closes it and prints where the pictures are.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/wine-env.sh"
build="${TALVORINE_BUILD_DIR:-$root/build/mingw}"
exe="$build/src/app/win32/talvorine.exe"
# The program keeps its state files in its working directory.
workdir="$root/build/run"
mkdir -p "$workdir"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  wine_env_start
  trap 'wineserver -k 2>/dev/null || true' EXIT
  echo "Talvorine runs on $DISPLAY (working directory $workdir); close its window to end it."
  cd "$workdir"
  wine "$exe"
  exit 0
fi

# The pictures are taken from outside, with the test helper.
cmake --build "$build" --target e2e_helper e2e_target >/dev/null
trap wine_env_stop EXIT
wine_env_start --own-display
shots="$root/build/screenshots"
rm -rf "$shots"
mkdir -p "$shots"
TALVORINE_EXE="$exe" \
  E2E_HELPER="$build/tests/e2e/e2e_helper.exe" \
  E2E_TARGET="$build/tests/e2e/e2e_target.exe" \
  python3 "$root/tests/e2e/screenshots.py" "$root/build/run-screenshots" "$shots"
echo "No display: Talvorine ran on a private one; pictures of its pages are in $shots"
