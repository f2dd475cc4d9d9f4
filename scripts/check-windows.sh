#!/usr/bin/env bash
# Cross-compiles the Qt-free libraries and their tests for 64-bit Windows with mingw-w64, from the
# same CMake files as every other build (without Qt: Debian ships no Qt for mingw-w64), and runs
# every test program under Wine. The Qt layer is compiled against the Linux Qt headers to check its
# Windows branches. Installs the cross compiler and Wine first when they are missing; they are not
# part of the ordinary build. Exits non-zero when anything fails to build or a test fails.
#   scripts/check-windows.sh
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${TAMBREL_WINDOWS_BUILD_DIR:-$root/build-windows}

"$root/scripts/install-deps.sh" windows

cmake -S "$root" -B "$build_dir" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAMBREL_WITH_QT=OFF -DTAMBREL_BUILD_BENCHMARKS=OFF
cmake --build "$build_dir" -j "${TAMBREL_JOBS:-2}"

# A Wine prefix of its own, so that the check leaves the user's ~/.wine alone; no Mono or Gecko
# prompts, no debug chatter.
export WINEPREFIX=${WINEPREFIX:-$build_dir/wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

status=0
(cd "$build_dir" && ctest --output-on-failure </dev/null) || status=$?
wineserver -w || true
if ((status != 0)); then
  echo "Some Windows tests failed under Wine." >&2
  exit "$status"
fi
echo "Every Windows test passed under Wine."
