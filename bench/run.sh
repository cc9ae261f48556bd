#!/usr/bin/env bash
# Builds an optimised tree and runs every benchmark: the file engine, then print rendering and
# start-up under a private Xvfb server (start-up and memory are measured against a bare Qt window),
# and start-up beside the Windows build under Wine when there is one.
#     bench/run.sh                 # as it is reported
#     bench/run.sh --rounds=41     # more start-up rounds; other flags go to Google Benchmark
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
source scripts/deps.sh
rigtune_install_packages "${RIGTUNE_BUILD_PACKAGES[@]}" "${RIGTUNE_DISPLAY_PACKAGES[@]}" \
    "${RIGTUNE_TEST_PACKAGES[@]}"

build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DRIGTUNE_BENCH=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target bench_engine bench_ui rigtune

# The file engine's benchmarks run in short repetitions, taken in random order, so that a figure and
# the floor it is compared with meet the machine's passing states alike.
ui_args=() engine_args=(--benchmark_repetitions=15 --benchmark_enable_random_interleaving=true
    --benchmark_min_time=0.1 --benchmark_report_aggregates_only=true)
for arg in "$@"; do
    case $arg in
    --rounds=*) ui_args+=("$arg") ;;
    *) engine_args+=("$arg") ui_args+=("$arg") ;;
    esac
done

echo "== file engine"
"$build/bench/bench_engine" "${engine_args[@]}"

echo
echo "== windows (Xvfb)"
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
# On a session bus, as on a desktop: without one, Qt's accessibility has each program started try
# to launch a bus, which costs either window a process and a wait of its own at random.
dbus-run-session -- xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
    "$build/bench/bench_ui" "${ui_args[@]}" \
    2> >(grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints >&2)

# Beside the Windows build under Wine, when there is one (scripts/windows/build.sh makes it).
windows=$RIGTUNE_WINDOWS_BUILD_DIR/Rigtune/Rigtune.exe
if [ -e "$windows" ]; then
    echo
    echo "== start-up, the Windows build under Wine beside this one (Xvfb)"
    bench/windows_startup.sh "$build/ui/rigtune" "$windows"
fi
