#!/usr/bin/env bash
# Promotes the reviewed output of golden cases: tests/golden/<case>/actual becomes
# tests/golden/<case>/expected. Without arguments every case that has an actual/ is taken.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cases=("$@")
if [ ${#cases[@]} -eq 0 ]; then
  for d in "$here"/*/actual; do [ -d "$d" ] && cases+=("$(basename "$(dirname "$d")")"); done
fi
for c in "${cases[@]}"; do
  [ -d "$here/$c/actual" ] || { echo "no actual output for $c" >&2; exit 1; }
  rm -rf "$here/$c/expected"
  mv "$here/$c/actual" "$here/$c/expected"
  echo "accepted $c"
done
