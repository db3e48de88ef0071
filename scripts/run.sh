#!/usr/bin/env bash
# Starts talvorine.exe under Wine. On a display it runs there until it is closed; without one it
# starts a private display, runs the program briefly, saves a screenshot and closes it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/wine-env.sh"
exe="$root/build/mingw/src/app/win32/talvorine.exe"
# The program keeps its state files in its working directory.
workdir="$root/build/run"
mkdir -p "$workdir"
cd "$workdir"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  wine_env_start
  trap 'wineserver -k 2>/dev/null || true' EXIT
  echo "Talvorine runs on $DISPLAY (working directory $workdir); close its window to end it."
  wine "$exe"
  exit 0
fi

trap wine_env_stop EXIT
wine_env_start --own-display
shots="$root/build/screenshots"
mkdir -p "$shots"
wine "$exe" &
wait_for 30 sh -c 'xdotool search --name "^Talvorine$"'
sleep 1
import -window root "$shots/main.png"
echo "No display: Talvorine ran on a private one; screenshot in $shots/main.png"
