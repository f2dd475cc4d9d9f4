#!/usr/bin/env bash
# Cross-compiles the Qt-free libraries and their tests for 64-bit Windows with mingw-w64 and runs
# every test program under Wine. Installs the cross compiler and Wine first when they are missing;
# they are not part of the ordinary build. Exits non-zero when anything fails to build or a test
# fails. The Qt part of the program is not built: Debian ships no Qt for mingw-w64.
#   scripts/check-windows.sh
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${TAMBREL_WINDOWS_BUILD_DIR:-$root/build-windows}

"$root/scripts/install-deps.sh" windows

cmake -S "$root/tools/windows-check" -B "$build_dir" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" -j "${TAMBREL_JOBS:-2}"

# A Wine prefix of its own, so that the check leaves the user's ~/.wine alone; no Mono or Gecko
# prompts, no debug chatter.
export WINEPREFIX=${WINEPREFIX:-$build_dir/wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

failed=()
cd "$build_dir/tests"
while read -r test; do
  [[ -n $test ]] || continue
  echo "== $test.exe under Wine"
  if ! wine "./$test.exe" --gtest_brief=1 </dev/null; then
    failed+=("$test")
  fi
done <"$build_dir/windows-tests.txt"
wineserver -w || true

if ((${#failed[@]} > 0)); then
  echo "Failed under Wine: ${failed[*]}" >&2
  exit 1
fi
echo "Every Windows test passed under Wine."
