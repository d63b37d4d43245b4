#!/bin/bash
# Builds everything (installing what is missing) and runs every test.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/tools/setup.sh" fonts-noto-cjk xvfb xauth xdotool xclip wmctrl openbox imagemagick x11-utils
echo "== building in $here/build"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build"
echo "== running the tests"
cd "$here/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j2
