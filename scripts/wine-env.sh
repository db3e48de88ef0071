#!/usr/bin/env bash
# Sourced by the scripts that run Windows programs under Wine. Sets up, once per build folder,
# a Japanese locale and a Wine prefix, and starts a private X display with a window manager
# when asked to. Call wine_env_start [--own-display]; wine_env_stop undoes what it started.

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
: "${TALVORINE_WINE_DIR:=$repo_root/build/wine}"
export WINEPREFIX="${WINEPREFIX:-$TALVORINE_WINE_DIR/prefix}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

wine_env_pids=()

wait_for() {  # wait_for SECONDS COMMAND...: polls until the command succeeds
  local limit=$1
  shift
  local deadline=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    if [ $SECONDS -ge $deadline ]; then
      echo "timed out waiting for: $*" >&2
      return 1
    fi
    sleep 0.1
  done
}

# Wine takes its ANSI code page from the locale; without a real ja_JP one the dialog fonts show
# empty boxes. The locale is compiled privately, nothing under /etc changes.
wine_env_locale() {
  local dir="$TALVORINE_WINE_DIR/locale"
  if [ ! -d "$dir/ja_JP.UTF-8" ]; then
    mkdir -p "$dir"
    localedef -i ja_JP -f UTF-8 "$dir/ja_JP.UTF-8" 2>/dev/null || [ -d "$dir/ja_JP.UTF-8" ]
  fi
  export LOCPATH="$dir"
  export LANG=ja_JP.UTF-8
  unset LC_ALL
}

wine_env_display() {
  # Numbers from 90 up: the displays of the network-namespace tests pick low numbers themselves,
  # and a display inside a namespace can take over the socket file of one outside it.
  local number
  for number in $(seq 90 150); do
    if [ ! -e "/tmp/.X11-unix/X$number" ] && [ ! -e "/tmp/.X$number-lock" ]; then
      break
    fi
  done
  # -noreset keeps the server up when a readiness probe disconnects just as the window manager
  # connects.
  Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  wine_env_pids+=($!)
  export DISPLAY=":$number"
  wait_for 120 xdpyinfo
  # Without a window manager Wine moves no X focus and keys go nowhere. openbox now and then
  # quits at once on a fresh display; it is started again then.
  local attempt openbox_pid
  for attempt in 1 2 3; do
    openbox >/dev/null 2>&1 &
    openbox_pid=$!
    if wine_env_wait_for_window_manager "$openbox_pid"; then
      wine_env_pids+=("$openbox_pid")
      return 0
    fi
    kill "$openbox_pid" 2>/dev/null || true
    wait "$openbox_pid" 2>/dev/null || true
    echo "openbox did not come up (attempt $attempt)" >&2
  done
  return 1
}

# Polls for up to two minutes until the window manager announces itself; fails at once when
# its process has gone.
wine_env_wait_for_window_manager() {
  local pid=$1
  local deadline=$((SECONDS + 120))
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    if ! kill -0 "$pid" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
      return 1
    fi
    sleep 0.1
  done
}

wine_env_start() {
  wine_env_locale
  if [ "${1:-}" = "--own-display" ] || [ -z "${DISPLAY:-}" ]; then
    wine_env_display
  fi
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (once)..."
    wine wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w
  fi
  # A persistent server saves every test the start-up; starting Wine's services here keeps
  # their output away from the test runner's pipes.
  wineserver -p
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

wine_env_stop() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  local pid
  for pid in "${wine_env_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${wine_env_pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  wine_env_pids=()
}
