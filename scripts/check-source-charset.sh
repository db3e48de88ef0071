#!/usr/bin/env bash
# Every narrow literal is compiled to cp932, so every character of our sources must exist in
# cp932: a character outside it would silently become "?" in the program's text.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
while IFS= read -r -d '' file; do
  if ! iconv -f UTF-8 -t CP932 "$file" >/dev/null 2>&1; then
    echo "not representable in cp932: $file" >&2
    status=1
  fi
done < <(git ls-files -z --cached --others --exclude-standard -- 'src/*' 'tests/*' 'tools/*' 'bench/*' 'fuzz/*' | grep -z -E '\.(cpp|h|rc)$' || true)
exit $status
