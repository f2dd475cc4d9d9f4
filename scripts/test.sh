#!/usr/bin/env bash
# Builds Tambrel with every test and runs them all: a short fuzzing smoke run of the document
# reader first, then every CTest suite (unit, GUI on the offscreen platform, the .deb check), then
# the tests once more in a clang build under AddressSanitizer and UndefinedBehaviorSanitizer, and
# last the Windows build under Wine.
#   scripts/test.sh
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${TAMBREL_BUILD_DIR:-$root/build-test}

TAMBREL_BUILD_DIR=$build_dir "$root/scripts/build.sh" test
TAMBREL_FUZZ_BUILD_DIR=${TAMBREL_FUZZ_BUILD_DIR:-$build_dir-fuzz} "$root/scripts/fuzz-smoke.sh" 5
(cd "$build_dir" && ctest --output-on-failure --parallel "$(nproc)" --timeout 600)

# A stray read or write, a leak or undefined behaviour fails a test here even when the answer
# came out right. This tree is also the clang build: both compilers keep the tree warning-free.
# The installed-package and input-method checks need only one build.
TAMBREL_COMPILER=clang TAMBREL_BUILD_DIR=$build_dir-sanitize "$root/scripts/build.sh" sanitize
(cd "$build_dir-sanitize" &&
  ctest --output-on-failure --parallel "$(nproc)" --timeout 600 \
    -E '^(package_installs_and_starts|chinese_input_through_fcitx5)$')

# The Windows program, cross-built with mingw-w64 and proven under Wine: its tests, the real
# window driven on a virtual display, and the installer.
TAMBREL_WINDOWS_BUILD_DIR=${TAMBREL_WINDOWS_BUILD_DIR:-$build_dir-windows} "$root/scripts/check-windows.sh"
