#!/usr/bin/env bash
# Runs a command inside the Wine environment on a private X display, then tears it down.
# Usage: scripts/with-wine.sh COMMAND [ARGS...]
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start --own-display
status=0
"$@" || status=$?
exit $status
