#!/usr/bin/env bash
# Runs every benchmark program of the native build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
for bench in "$root"/build/linux/bench/*_bench; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" "$@"
done
