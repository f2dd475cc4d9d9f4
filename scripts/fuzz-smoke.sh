#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs each one briefly from a small seed corpus: the document reader, then the text core. A
# crash, a leak or a failed check ends the run and the script with a non-zero status.
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
cmake --build "$build_dir" --target document_read_fuzzer text_core_fuzzer --parallel "$(nproc)"

# The fuzzer writes a scratch file for every input; memory-backed storage keeps that cheap.
if [[ -z ${TMPDIR:-} && -d /dev/shm && -w /dev/shm ]]; then
  export TMPDIR=/dev/shm
fi
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
document="$corpus/document"
text="$corpus/text"
mkdir "$document" "$text"

printf '' >"$document/empty"
printf -- '-RgPw' >"$document/marker"
printf 'plain text\r\n\xd6\xd0\xce\xc4' >"$document/plain"
printf '@a\x08\x0c\t\xd6\xcf\xce\xc3-RgPw' >"$document/scrambled"
printf '\xd6-RgPw' >"$document/lead-before-marker"
printf '\x81\x00\xff\x80\xfe' >"$document/odd-bytes"
printf 'utf-8 \xe4\xb8\xad\xe6\x96\x87\xf0\x9f\x98\x80' >"$document/utf8"
printf '\xef\xbb\xbf\xe4\xb8\xad\xc0\x80\xe4\xb8' >"$document/utf8-bom-broken"
printf '\xff\xfe\x2d\x4e\x3d\xd8\x00\xde\x41' >"$document/utf16le"
printf '\xfe\xff\x4e\x2d\xdc\x00' >"$document/utf16be"

# Sessions for the text core: the first bytes choose the sizes and an opening text, each later
# byte an operation and what it needs (see fuzz/text_core_fuzzer.cpp).
printf '' >"$text/empty"
printf '\x01\x06\x01\x03\x01\x20\x02\x10' >"$text/sizes-only"
printf '\x02\x08\x02\x04\x01\x10\x04\x20\x00\x05abc\x0c\x0d' >"$text/typing"
printf '\x03\x04\x01\x02\x00\x08\x02\x00\x00\x07\x03\x01\x08\x00\x00\x08\x01\x01\x04\x05' >"$text/crlf"
printf '\x01\x04\x00\x01\x01\x04\x01\x00\x00\x09\x00\x00\x09\x01\x00\x0d\x00\x01\x0e\x00\x00\x01' >"$text/surrogates"
printf '\x04\x03\x01\x02\x01\x08\x02\x00\x0a\x00\x01\x02\x20\x0a\x01\x00\x01\x10\x0d\x00\x00\x0b\x10\x00\x10\x07\x00' >"$text/long-lines"

"$build_dir/bin/document_read_fuzzer" -max_total_time="$seconds" -max_len=4096 \
  -print_final_stats=1 "$document"
"$build_dir/bin/text_core_fuzzer" -max_total_time="$seconds" -max_len=2048 \
  -print_final_stats=1 "$text"
