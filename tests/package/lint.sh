#!/bin/bash
# Builds the .deb from a build tree into a scratch folder and checks it as
# Debian would: any lintian error or warning fails.
# Usage: lint.sh CPACK BUILDDIR
set -uo pipefail
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if ! "$1" --config "$2/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1
fi
deb=("$work"/*.deb)
lintian -EvIL +pedantic --fail-on error,warning "${deb[0]}" >"$work/lintian.log" 2>&1
rc=$?
cat "$work/lintian.log"
if ((rc)) || grep -qE '^[EW]: ' "$work/lintian.log"; then echo "FAIL: lintian"; exit 1; fi
echo "$(basename "${deb[0]}"): lintian clean"
