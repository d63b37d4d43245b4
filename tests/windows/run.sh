#!/bin/bash
# Builds the Windows program, its zip and installer and the core tests
# (tools/windows-package.sh: MinGW-w64, with a Qt for Windows built once),
# runs the core tests under Wine without a display, then the program end
# to end under Wine in a private X display (tests/windows/e2e.sh). The
# Wine prefix lives in the build folder, so only the first run pays for
# setting it up.
# Usage: tests/windows/run.sh [build folder] [artifacts folder]; exit status: the tests' result.
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(realpath -m -- "${1:-$here/build-win}")"
art="$(realpath -m -- "${2:-$here/build/artifacts}")"
wine="$(command -v wine64 || echo /usr/lib/wine/wine64)"
wineserver="$(command -v wineserver || echo /usr/lib/wine/wineserver)"

"$here/tools/windows-package.sh" "$build"

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
(
  unset DISPLAY WAYLAND_DISPLAY
  trap '"$wineserver" -k 2>/dev/null || true' EXIT
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    echo "== setting up the Wine prefix $WINEPREFIX"
    "$wine" wineboot --init >/dev/null 2>&1
  fi
  "$wine" "$build/tests/core_tests.exe" --gtest_brief=1
)
echo "== the Windows program end to end under Wine"
timeout 600 "$here/tests/windows/e2e.sh" "$build" "$art"
