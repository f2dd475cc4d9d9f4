#!/usr/bin/env bash
# Builds Tambrel for 64-bit Windows with mingw-w64 from the same CMake files as every other build
# (without Qt, over the program's own Win32 window system) and proves the result under Wine:
#   1. the program tambrel.exe, the installer tambrel-<version>-setup.exe and the portable
#      tambrel-<version>-windows-x64.zip, all in the build folder;
#   2. the program needs no DLL beyond Windows' own, is a GUI program, and carries its icon,
#      Chinese version information and manifest;
#   3. every test program runs under Wine's null graphics driver (no screen needed);
#   4. the real window on a virtual X display: scripts/check-windows-editor.sh;
#   5. the installer, the installed program and the uninstaller: scripts/check-windows-installer.sh.
# Installs what it needs first. Exits non-zero when anything fails to build or a check fails.
# The Wine prefix stays in the build folder, since making one takes some 15 s.
#   scripts/check-windows.sh          (build folder: $TAMBREL_WINDOWS_BUILD_DIR or build-windows/)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${TAMBREL_WINDOWS_BUILD_DIR:-$root/build-windows}
jobs=${TAMBREL_JOBS:-2}

"$root/scripts/install-deps.sh" windows

started=$SECONDS
# Prints how long a step took, so that the cost of this check in CI stays in sight.
step_done() {
  echo "== $1: $((SECONDS - started)) s"
  started=$SECONDS
}

cmake -S "$root" -B "$build_dir" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAMBREL_WITH_QT=OFF -DTAMBREL_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build_dir" --parallel "$jobs"
cmake --build "$build_dir" --parallel "$jobs" --target tambrel_windows_packages
step_done "build"

program=$build_dir/bin/tambrel.exe
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
setup=$build_dir/tambrel-$version-setup.exe
portable=$build_dir/tambrel-$version-windows-x64.zip
[[ -f $program && -f $build_dir/bin/Pf.she ]] || { echo "FAIL: no $program with its skin" >&2; exit 1; }

# Copied to a machine with nothing else installed, the program must start: every DLL it imports
# is part of Windows (mingw's C runtime is msvcrt.dll, which every Windows has). libstdc++,
# libgcc and winpthread are linked in.
system_dlls='^(kernel32|user32|gdi32|comdlg32|comctl32|usp10|imm32|shell32|shlwapi|ole32|oleaut32|advapi32|msvcrt|uxtheme|dwmapi|shcore|version|uuid|ws2_32|bcrypt|ntdll|api-ms-win-[a-z0-9-]+)\.dll$'
headers=$(x86_64-w64-mingw32-objdump -p "$program")
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
foreign=$(grep -viE "$system_dlls" <<<"$imports" || true)
if [[ -n $foreign ]]; then
  echo "FAIL: tambrel.exe needs DLLs that Windows lacks: $foreign" >&2
  exit 1
fi
# -mwindows: no console window opens beside the editor.
grep -q '^Subsystem.*(Windows GUI)' <<<"$headers" ||
  { echo "FAIL: tambrel.exe is not a GUI program" >&2; exit 1; }
python3 "$root/scripts/windows_resources.py" "$program" "$version"
echo "tambrel.exe imports only $(tr '\n' ' ' <<<"$imports")"

# The portable folder holds the program, its skin beside it and the README, nothing else.
listing=$(python3 -m zipfile -l "$portable" | awk 'NR > 1 {print $1}' | sort | tr '\n' ' ')
expected="tambrel-$version/ tambrel-$version/Pf.she tambrel-$version/README.txt tambrel-$version/tambrel.exe "
[[ $listing == "$expected" ]] || { echo "FAIL: $portable holds $listing" >&2; exit 1; }
step_done "static checks"

pids=()
# shellcheck source=scripts/wine-lib.sh
source "$root/scripts/wine-lib.sh"
trap wine_finish EXIT
wine_prefix_setup "$build_dir"
wine_graphics null
step_done "Wine prefix"

status=0
(cd "$build_dir" && ctest --output-on-failure --parallel "$jobs" --timeout 300 </dev/null) ||
  status=$?
step_done "tests under Wine"
((status == 0)) || { echo "FAIL: some Windows tests failed under Wine" >&2; exit "$status"; }
wine_finish
pids=()
trap - EXIT

"$root/scripts/check-windows-editor.sh" "$build_dir"
step_done "editor session"
"$root/scripts/check-windows-installer.sh" "$build_dir"
step_done "installer"

echo "The Windows build passed under Wine:"
echo "  program    $program"
echo "  installer  $setup"
echo "  portable   $portable"
echo "  pictures   $build_dir/windows-screenshots/"
