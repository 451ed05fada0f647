#!/bin/sh
# Builds the BMP load-and-upload fuzzer with clang (libFuzzer, ASan, UBSan) straight from the
# sources it needs, then runs it from the seed corpus for a bounded time.
# Usage: run_fuzz.sh <build-dir> <seconds> [extra libFuzzer options...]
set -eu

if [ $# -lt 2 ]; then
    echo "usage: $0 <build-dir> <seconds> [libFuzzer options...]" >&2
    exit 2
fi
build_dir=$1
seconds=$2
shift 2

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
out="$build_dir/fuzz"
mkdir -p "$out/corpus" "$out/artifacts"

${CLANGXX:-clang++} -std=c++17 -g -O1 -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$source_dir" -I"$source_dir/platform/include" \
    "$here/bmp_upload_fuzz.cpp" \
    "$source_dir"/resources/*.cpp \
    "$source_dir/tests/support/RecordingGL.cpp" \
    -o "$out/bmp_upload_fuzz"

# New inputs go to the corpus in the build tree; the seeds in the source tree stay as they are.
exec "$out/bmp_upload_fuzz" "$out/corpus" "$here/corpus" \
    -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
    -artifact_prefix="$out/artifacts/" -print_final_stats=1 "$@"
