#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from what clang-format makes of it with the tree's
# .clang-format, naming the file and the line. Usage: scripts/check-format.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
if ! command -v clang-format >/dev/null; then
  echo "clang-format fehlt (Debian-Paket clang-format)" >&2
  exit 1
fi
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -co --exclude-standard '*.cpp' '*.h')
else
  mapfile -t files < <(find src tests templates bench fuzz -name '*.cpp' -o -name '*.h')
fi
if [ "${#files[@]}" -eq 0 ]; then
  echo "keine C++-Dateien gefunden" >&2
  exit 1
fi
clang-format --dry-run -Werror "${files[@]}"
