#!/bin/bash
# Builds everything (installing what is missing) and runs every test: the
# core and window tests, the end-to-end check under Xvfb, the memory carried
# between two Syncthings, the package check, the core tests again with
# AddressSanitizer and UBSan, the program built for Windows with its zip and
# installer, its core tests and an end-to-end check under Wine, and fuzzing
# (every run under CI, otherwise a short run after the readers changed).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/tools/env.sh"
# One UTF-8 locale for every tool here, whatever the caller's; the
# end-to-end check starts the program without one on purpose.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset LANGUAGE
# One compile per core, however many jobs the build tool would guess.
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
"$here/tools/setup.sh" locales fonts-noto-cjk qt6-translations-l10n xvfb xauth xdotool xclip wmctrl openbox imagemagick x11-utils procps syncthing pkg-config libxlsxwriter-dev libminizip-dev libexpat1-dev \
  lintian dpkg-dev file \
  clang libclang-rt-14-dev llvm \
  g++-mingw-w64-x86-64-posix wine64 googletest nsis

echo "== building in $here/build"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build"
echo "== running the tests"
(cd "$here/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j2)

echo "== core tests with AddressSanitizer and UBSan in $here/build-asan"
cmake -S "$here" -B "$here/build-asan" -G Ninja -DRVM_GUI=OFF -DRVM_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$here/build-asan" --target core_tests
(cd "$here/build-asan" && ctest --output-on-failure --timeout 300 -j2)

if command -v x86_64-w64-mingw32-g++-posix >/dev/null &&
   { command -v wine64 >/dev/null || [[ -x /usr/lib/wine/wine64 ]]; }; then
  echo "== the Windows program (Qt for Windows built once: about 50 minutes) and its tests under Wine in $here/build-win"
  "$here/tests/windows/run.sh" "$here/build-win" "$here/build/artifacts"
fi

echo "== fuzzing"
fuzz=(--if-changed 5)
if [[ -n "${CI:-}" ]]; then fuzz=(25); fi
if [[ -n "${RVM_FUZZ_SECONDS:-}" ]]; then fuzz=("$RVM_FUZZ_SECONDS"); fi
"$here/tests/fuzz/run.sh" "${fuzz[@]}"
