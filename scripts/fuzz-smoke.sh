#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs each one briefly from a small seed corpus. A crash, a leak or a failed check ends the run
# and the script with a non-zero status.
#   scripts/fuzz-smoke.sh [seconds per target, default 10]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${TAMBREL_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-10}

"$root/scripts/install-deps.sh" test

CC=clang CXX=clang++ cmake -S "$root" -B "$build_dir" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAMBREL_BUILD_FUZZERS=ON -DTAMBREL_BUILD_TESTS=OFF -DTAMBREL_BUILD_BENCHMARKS=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
  >/dev/null
cmake --build "$build_dir" --target document_read_fuzzer --parallel "$(nproc)"

# The fuzzer writes a scratch file for every input; memory-backed storage keeps that cheap.
if [[ -z ${TMPDIR:-} && -d /dev/shm && -w /dev/shm ]]; then
  export TMPDIR=/dev/shm
fi
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
printf '' >"$corpus/empty"
printf -- '-RgPw' >"$corpus/marker"
printf 'plain text\r\n\xd6\xd0\xce\xc4' >"$corpus/plain"
printf '@a\x08\x0c\t\xd6\xcf\xce\xc3-RgPw' >"$corpus/scrambled"
printf '\xd6-RgPw' >"$corpus/lead-before-marker"
printf '\x81\x00\xff\x80\xfe' >"$corpus/odd-bytes"
printf 'utf-8 \xe4\xb8\xad\xe6\x96\x87\xf0\x9f\x98\x80' >"$corpus/utf8"
printf '\xef\xbb\xbf\xe4\xb8\xad\xc0\x80\xe4\xb8' >"$corpus/utf8-bom-broken"
printf '\xff\xfe\x2d\x4e\x3d\xd8\x00\xde\x41' >"$corpus/utf16le"
printf '\xfe\xff\x4e\x2d\xdc\x00' >"$corpus/utf16be"

"$build_dir/bin/document_read_fuzzer" -max_total_time="$seconds" -max_len=4096 \
  -print_final_stats=1 "$corpus"
