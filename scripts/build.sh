#!/usr/bin/env bash
# Configures and builds Tambrel into build/ (or $TAMBREL_BUILD_DIR).
#   scripts/build.sh run|test|sanitize
# TAMBREL_COMPILER=clang builds with clang instead of g++. Test builds treat every warning as an
# error, so that both compilers keep the tree warning-free. A sanitize build is a test build
# under AddressSanitizer and UndefinedBehaviorSanitizer; its benchmarks are compiled, not run.
set -euo pipefail

purpose=${1:-run}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${TAMBREL_BUILD_DIR:-$root/build}

if [[ $purpose == sanitize ]]; then
  "$root/scripts/install-deps.sh" test
else
  "$root/scripts/install-deps.sh" "$purpose"
fi

options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [[ $purpose == run ]]; then
  options+=(-DTAMBREL_BUILD_TESTS=OFF -DTAMBREL_BUILD_BENCHMARKS=OFF)
elif [[ $purpose == sanitize ]]; then
  options+=(-DTAMBREL_BUILD_TESTS=ON -DTAMBREL_BUILD_BENCHMARKS=ON -DTAMBREL_WARNINGS_AS_ERRORS=ON
            -DTAMBREL_SANITIZE=ON)
else
  options+=(-DTAMBREL_BUILD_TESTS=ON -DTAMBREL_BUILD_BENCHMARKS=ON -DTAMBREL_WARNINGS_AS_ERRORS=ON)
fi
if [[ ${TAMBREL_COMPILER:-gcc} == clang ]]; then
  export CC=clang CXX=clang++
fi

cmake -S "$root" -B "$build_dir" "${options[@]}" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
