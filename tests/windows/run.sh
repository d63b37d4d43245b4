#!/bin/bash
# Builds the core library and its tests as Windows programs (MinGW-w64) and
# runs them under Wine, without a display. The Wine prefix lives in the
# build folder, so only the first run pays for setting it up.
# Usage: tests/windows/run.sh [build folder]; exit status: the tests' result.
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(realpath -m -- "${1:-$here/build-win}")"
wine="$(command -v wine64 || echo /usr/lib/wine/wine64)"
wineserver="$(command -v wineserver || echo /usr/lib/wine/wineserver)"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
  -DRVM_GUI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target core_tests ravolin-memorel-convert

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
trap '"$wineserver" -k 2>/dev/null || true' EXIT
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  echo "== setting up the Wine prefix $WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1
fi
"$wine" "$build/tests/core_tests.exe" --gtest_brief=1
