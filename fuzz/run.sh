#!/usr/bin/env bash
# Builds the reader's libFuzzer target with clang (AddressSanitizer, UndefinedBehaviorSanitizer)
# in its own build folder and fuzzes for the given number of seconds (default 60). Fails when the
# fuzzer finds an input that crashes or breaks a promise; the input is kept in the build folder's
# artifacts/ and should be added to fuzz/findings/ with the fix.
#     fuzz/run.sh            # one minute, as ./test.sh runs it
#     fuzz/run.sh 3600 -jobs=2 -workers=2    # an hour on both cores
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true

build=build-fuzz # the binaryDir of the preset
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
# Like the engine's other programs, it loads QtCore and no print system.
tests/engine_libraries.sh "$build/fuzz/fuzz_reader"

# New inputs go to a work corpus in the build folder; the seeds in the tree stay as they are.
mkdir -p "$build/corpus" "$build/artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
"$build/fuzz/fuzz_reader" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/" "$@" \
    "$build/corpus" fuzz/corpus fuzz/findings
