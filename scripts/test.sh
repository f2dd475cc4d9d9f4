#!/usr/bin/env bash
# Builds Tambrel with every test and runs them all.
#   scripts/test.sh
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${TAMBREL_BUILD_DIR:-$root/build-test}

TAMBREL_BUILD_DIR=$build_dir "$root/scripts/build.sh" test
cd "$build_dir"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
