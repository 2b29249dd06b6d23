#!/usr/bin/env bash
# Builds the bit dump with each of the given CMake presets and checks that all of them print the
# same text: the same bits for every worked example and every fixed-seed random call.
# Usage: tools/compare-builds.sh PRESET PRESET...
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$#" -lt 2 ]; then
  echo "usage: $0 PRESET PRESET..." >&2
  exit 2
fi
out=build/same-bits
mkdir -p "$out"
# Writes the dump of build PRESET to standard output, its summary to standard error. The Windows
# build's runs under Wine, as its tests do, and ends its lines with \r\n.
run_dump() {
  if [ "$1" = windows ]; then
    WINEPREFIX="$PWD/build/windows/wine" KORVAN_WINE=/usr/lib/wine/wine64 \
      KORVAN_WINESERVER=/usr/lib/wine/wineserver \
      sh tools/run-under-wine.sh build/windows/bin/korvan_same_bits_dump.exe | tr -d '\r'
    return "${PIPESTATUS[0]}"
  fi
  "build/$1/tests/korvan_same_bits_dump"
}
for preset in "$@"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target korvan_same_bits_dump
  if ! summary=$(run_dump "$preset" 2>&1 >"$out/$preset.txt"); then
    echo "$preset: $summary" >&2
    exit 1
  fi
  echo "$preset: $summary"
done
status=0
for preset in "${@:2}"; do
  if ! cmp -s "$out/$1.txt" "$out/$preset.txt"; then
    echo "$preset differs from $1:" >&2
    diff "$out/$1.txt" "$out/$preset.txt" | head -20 >&2 || true
    status=1
  fi
done
if [ "$status" -eq 0 ]; then
  echo "same bits in every build: $*"
fi
exit "$status"
