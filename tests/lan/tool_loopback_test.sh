#!/usr/bin/env bash
# A text and files of 0, 250, 251 and 100,000 random bytes go from `talvorine-lan send-text` /
# `send-file` to `talvorine-lan listen` over loopback and must arrive byte for byte; a text full
# of terminal controls is printed escaped; --save-dir keeps to its folder and overwrites only
# with --overwrite. Every datagram goes to 127.0.0.1 only.
# Usage: tool_loopback_test.sh PATH-TO-talvorine-lan
set -euo pipefail

tool=$1
work=$(mktemp -d)
listener=""

cleanup() {
  if [ -n "$listener" ]; then
    kill "$listener" 2>/dev/null || true
    wait "$listener" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  echo "--- listener output" >&2
  cat "$work/listen.out" >&2 || true
  cat "$work/listen.err" >&2 || true
  exit 1
}

# Waits until the listener has printed exactly this line.
wait_for_line() {
  local line=$1 seconds=$2
  local deadline=$((SECONDS + seconds))
  until grep -qxF -- "$line" "$work/listen.out"; do
    kill -0 "$listener" 2>/dev/null || fail "the listener ended while waiting for: $line"
    [ "$SECONDS" -lt "$deadline" ] || fail "no line '$line' within ${seconds}s"
    sleep 0.05
  done
}

# True when some socket holds the UDP port (endpoints share ports, so binding tells nothing).
port_taken() {
  local hex
  hex=$(printf '%04X' "$1")
  awk -v port=":$hex" 'NR > 1 && substr($2, length($2) - 4) == port { found = 1 } END { exit !found }' \
    /proc/net/udp
}

# Starts a listener on the first channel of the range whose port is free (another test run on
# this machine may hold one). Sets $channel.
start_listener() {
  local host_name=$1
  shift
  for channel in $(seq 41 50); do
    if port_taken $((5504 + channel)); then
      continue
    fi
    : >"$work/listen.out"
    "$tool" listen --channel "$channel" --save-dir "$work/in" --host-name "$host_name" "$@" \
      >"$work/listen.out" 2>"$work/listen.err" &
    listener=$!
    local deadline=$((SECONDS + 10))
    while [ "$SECONDS" -lt "$deadline" ]; do
      if grep -q "^listening on channel $channel, port $((5504 + channel))\$" "$work/listen.out"; then
        return 0
      fi
      kill -0 "$listener" 2>/dev/null || break
      sleep 0.05
    done
    kill "$listener" 2>/dev/null || true
    wait "$listener" 2>/dev/null || true
    listener=""
  done
  fail "no free channel from 41 to 50"
}

stop_listener() {
  kill "$listener"
  wait "$listener" || fail "the listener did not end cleanly"
  listener=""
}

mkdir -p "$work/in" "$work/out"

# --- a text and four files to a listener with another host name
start_listener receiver
echo "listening on channel $channel"

text='予定変更: 10時から \ 第2会議室'
"$tool" send-text "$text" --channel "$channel" --to 127.0.0.1 --host-name sender >/dev/null
wait_for_line "received text: 予定変更: 10時から \\\\ 第2会議室" 10

for size in 0 250 251 100000; do
  name="file-$size.bin"
  head -c "$size" /dev/urandom >"$work/out/$name"
  "$tool" send-file "$work/out/$name" --channel "$channel" --to 127.0.0.1 --host-name sender \
    >"$work/send.out" || fail "send-file of $size bytes failed"
  grep -qxF "sent file: $work/out/$name" "$work/send.out" || fail "send-file did not report $name"
  wait_for_line "saved file: $work/in/$name" 60
  cmp "$work/out/$name" "$work/in/$name" || fail "$name differs after the crossing"
  echo "file of $size bytes crossed intact"
done
stop_listener

# --- the same host name on both ends: the listener takes the file for its own
start_listener twin
head -c 600 /dev/urandom >"$work/out/twin.bin"
"$tool" send-file "$work/out/twin.bin" --channel "$channel" --to 127.0.0.1 --host-name twin \
  >/dev/null || fail "send-file to a twin failed"
wait_for_line "own file sent" 20
[ ! -e "$work/in/twin.bin" ] || fail "a file with our own host name was saved"
stop_listener
echo "a transfer under our own host name counts as our own"

# Sends a file and waits until the listener reports it saved at the given path.
send_and_wait_saved() {
  local file=$1 saved=$2
  "$tool" send-file "$file" --channel "$channel" --to 127.0.0.1 --host-name sender >/dev/null ||
    fail "send-file of $file failed"
  wait_for_line "saved file: $saved" 20
}

# --- terminal controls from a peer never reach the terminal
start_listener receiver
controls=$'\e]52;c;SGVsbG8=\a\e[2J\e]0;title\a\x7f\tend'
"$tool" send-text "$controls" --channel "$channel" --to 127.0.0.1 --host-name sender >/dev/null
wait_for_line 'received text: \x1b]52;c;SGVsbG8=\x07\x1b[2J\x1b]0;title\x07\x7f\x09end' 10
if LC_ALL=C grep -q $'[\x01-\x09\x0b-\x1f\x7f]' "$work/listen.out"; then
  fail "a control character reached the terminal"
fi
echo "terminal controls are printed escaped"

# --- a name that is taken is never overwritten without --overwrite
mkdir -p "$work/out/second"
printf 'first' >"$work/out/same.txt"
printf 'second' >"$work/out/second/same.txt"
send_and_wait_saved "$work/out/same.txt" "$work/in/same.txt"
send_and_wait_saved "$work/out/second/same.txt" "$work/in/same.txt.1"
[ "$(cat "$work/in/same.txt")" = first ] || fail "a saved file was overwritten"
[ "$(cat "$work/in/same.txt.1")" = second ] || fail "the second file was not saved beside it"
stop_listener
echo "a taken name gets a free one"

# --- with --overwrite a regular file is replaced, but a link out of the folder is not followed
start_listener receiver --overwrite
printf 'third' >"$work/out/same.txt"
send_and_wait_saved "$work/out/same.txt" "$work/in/same.txt"
[ "$(cat "$work/in/same.txt")" = third ] || fail "--overwrite did not replace the file"
printf 'outside' >"$work/outside.txt"
ln -s "$work/outside.txt" "$work/in/link.txt"
printf 'linked' >"$work/out/link.txt"
send_and_wait_saved "$work/out/link.txt" "$work/in/link.txt.1"
[ "$(cat "$work/outside.txt")" = outside ] || fail "a save wrote through a link out of its folder"
stop_listener
echo "--overwrite replaces files and never follows a link"
