#!/usr/bin/env bash
# Runs every libFuzzer harness of the fuzz build for the given number of seconds each.
# Usage: scripts/run-fuzzers.sh [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds=${1:-20}
# Every harness runs under a memory limit, so that input which makes the program hold far more
# than it read fails the run: the resident set (ASan's quarantine of freed blocks takes up to
# 256 MB of it) and any single allocation, which no input of libFuzzer's lengths may need.
memory_limits=(-rss_limit_mb=1024 -malloc_limit_mb=64)
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
  (cd "$work" && "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 "${memory_limits[@]}" \
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
