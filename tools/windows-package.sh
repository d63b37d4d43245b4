#!/bin/bash
# Builds the Windows program (MinGW-w64, with a Qt built for Windows from
# Debian's source: tools/qt-mingw.sh, once) and from it the zip and the
# installer: BUILD/ravolin-memorel-VERSION-windows.zip and
# BUILD/ravolin-memorel-VERSION-setup.exe; the core tests are built too.
# Usage: tools/windows-package.sh [build folder, default build-win]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m -- "${1:-$here/build-win}")"
source "$here/tools/env.sh"
"$here/tools/setup.sh" g++-mingw-w64-x86-64-posix googletest imagemagick qt6-translations-l10n nsis
qt="$("$here/tools/qt-mingw.sh" | tail -n1)"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRVM_GUI=ON -DRVM_WINDOWS_QT="$qt" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >/dev/null
cmake --build "$build" --target core_tests windows-package
