#!/usr/bin/env bash
# Runs every libFuzzer harness of the fuzz build for the given number of seconds each.
# Usage: scripts/run-fuzzers.sh [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds=${1:-20}
found=0
for fuzzer in "$root"/build/fuzz/fuzz/*_fuzzer; do
  [ -x "$fuzzer" ] || continue
  found=1
  name=$(basename "$fuzzer")
  corpus="$root/build/fuzz/corpus/$name"
  log="$root/build/fuzz/$name.log"
  mkdir -p "$corpus"
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds=("$root/fuzz/corpus/$name")
  # Each harness runs in a scratch working directory: some write the program's fixed files.
  work=$(mktemp -d)
  status=0
  (cd "$work" && "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
     -artifact_prefix="$root/build/fuzz/$name-" "$corpus" "${seeds[@]}") >"$log" 2>&1 || status=$?
  rm -rf "$work"
  runs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}')
  echo "$name: ${runs:-?} runs in ${seconds}s, exit $status"
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log" >&2
    echo "$name failed; the crashing input is in build/fuzz/" >&2
    exit 1
  fi
done
if [ $found -eq 0 ]; then
  echo "no fuzz harnesses built yet"
fi
