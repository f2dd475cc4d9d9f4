#!/usr/bin/env bash
# Builds Tambrel and starts it, passing on an optional document path.
#   scripts/run.sh [document.txt]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${TAMBREL_BUILD_DIR:-$root/build}

TAMBREL_BUILD_DIR=$build_dir "$root/scripts/build.sh" run
exec "$build_dir/bin/tambrel" "$@"
