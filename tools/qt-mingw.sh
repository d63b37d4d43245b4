#!/bin/bash
# Builds Qt for Windows (MinGW-w64) from Debian's own qtbase source, the
# same version as the host Qt whose moc, rcc and uic the cross build uses,
# with only what the program needs. The result is kept in a cache folder
# outside the checkout, named after the source version and the options, and
# reused when present; the stamp is written last, so an interrupted build
# goes on where it stopped. Prints the Qt prefix on its last line.
# Usage: tools/qt-mingw.sh; RVM_QT_CACHE overrides the cache folder.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/tools/env.sh"
"$here/tools/setup.sh" dpkg-dev g++-mingw-w64-x86-64-posix qt6-base-dev-tools perl >&2

version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
# Debian's tarball has no wintab.h, so no tablet events; OpenGL stays
# (dynamic), the windows platform plugin needs it in 6.4.
options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_testlib=OFF
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_vulkan=OFF -DFEATURE_freetype=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_zstd=OFF -DFEATURE_openssl=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_png=OFF -DFEATURE_system_doubleconversion=OFF
)
compiler="$(x86_64-w64-mingw32-g++-posix -dumpfullversion)"
key="$(printf '%s\n' "$version" "$compiler" "${options[@]}" | sha256sum | cut -c1-12)"
cache="${RVM_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/ravolin-memorel}"
prefix="$cache/qt-${version%%+*}-mingw-$key"
if [[ -f "$prefix/.complete" ]]; then echo "$prefix"; exit 0; fi

work="$cache/qt-work-$key"
mkdir -p "$work"
src="$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)"
if [[ -z "$src" || ! -f "$src/.unpacked" ]]; then
  # apt-get source needs a deb-src line: the same address and suite as the
  # machine's own Debian source.
  if ! apt-get source --print-uris "qt6-base=$version" >/dev/null 2>&1; then
    list=/etc/apt/sources.list.d/ravolin-memorel-src
    line="$(grep -hE '^deb +(\[[^]]*\] +)?https?://[^ ]*debian/? ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | head -n1 || true)"
    if [[ -n "$line" ]]; then
      list+=.list
      echo "deb-src ${line#deb }" >"$list"
    else
      # deb822: the first stanza naming the Debian archive, its suite and
      # key kept (apt refuses one address with two keys).
      list+=.sources
      awk 'BEGIN { RS = ""; FS = "\n" }
           /URIs:[^\n]*\/debian\/?(\n|$)/ && !done {
             for (i = 1; i <= NF; i++) {
               if ($i ~ /^#/) continue
               if ($i ~ /^Types:/) $i = "Types: deb-src"
               else if ($i ~ /^Suites:/) { split($i, s, " "); $i = "Suites: " s[2] }
               print $i }
             done = 1 }' /etc/apt/sources.list.d/*.sources >"$list"
    fi
    echo "== added a deb-src source: $list" >&2
    apt-get update -qq -o DPkg::Lock::Timeout=900 >&2
  fi
  rm -rf "$work"/qt6-base*
  (cd "$work" && apt-get source -qq "qt6-base=$version" >&2)
  src="$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)"
  touch "$src/.unpacked"
fi

echo "== building Qt $version for Windows into $prefix (about 50 minutes on two free cores)" >&2
rm -rf "$prefix"
# Qt's own DLLs use MinGW's runtime DLLs, so its build goes without the
# toolchain's -static.
[[ -f "$work/build/build.ninja" ]] ||
  cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
    -DCMAKE_EXE_LINKER_FLAGS= -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${options[@]}" >"$work/configure.log" 2>&1 || { tail -n 40 "$work/configure.log" >&2; rm -rf "$work/build"; exit 1; }
echo "   (progress in $work/build.log)" >&2
cmake --build "$work/build" --parallel "${RVM_QT_JOBS:-2}" >"$work/build.log" 2>&1 ||
  { tail -n 40 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >/dev/null
rm -rf "$work"
touch "$prefix/.complete"
echo "$prefix"
