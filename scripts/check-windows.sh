#!/usr/bin/env bash
# Cross-compiles the Qt-free libraries and their tests for 64-bit Windows with mingw-w64 and runs
# every test program under Wine. Installs the cross compiler and Wine first when they are missing;
# they are not part of the ordinary build. Exits non-zero when anything fails to build or a test
# fails. The Qt part of the program is not built: Debian ships no Qt for mingw-w64.
#   scripts/check-windows.sh
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${TAMBREL_WINDOWS_BUILD_DIR:-$root/build-windows}

packages=(cmake g++-mingw-w64-x86-64-posix wine wine64)
missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  sudo=()
  if ((EUID != 0)); then
    sudo=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

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
