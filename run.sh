#!/bin/bash
# Builds Ravolin Memorel and its converter (installing what is missing)
# and starts the program.
# Usage: ./run.sh [deck.rvm]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/tools/env.sh"
deck=""
if (($#)); then deck="$(realpath -m -- "$*")"; fi
"$here/tools/setup.sh" fonts-noto-cjk qt6-translations-l10n xdg-utils pkg-config libxlsxwriter-dev libminizip-dev libexpat1-dev
echo "== building in $here/build"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build" --target ravolin-memorel ravolin-memorel-convert
echo "== starting"
if [[ -n "$deck" ]]; then exec "$here/build/ravolin-memorel" "$deck"; fi
exec "$here/build/ravolin-memorel"
