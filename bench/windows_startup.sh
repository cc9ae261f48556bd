#!/usr/bin/env bash
# Start-up of the Windows build under Wine beside the Linux build, on one private Xvfb server:
# the time from starting each program to its main window being on screen, timed the same way for
# both (the X window of that title turns viewable), in alternating runs; the median is the figure.
#     bench/windows_startup.sh LINUX_PROGRAM WINDOWS_PROGRAM.exe [ROUNDS]
# The Wine session and its desktop are kept running between runs, as Windows is when a user starts
# a program; the first, cold start (the session starting too) is given apart. Wine here manages no
# virtual desktop, so that each window is an X window as the Linux build's is. The main window's
# title comes from the build's texts.sh, beside the Linux program's folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

linux=$(realpath "$1") windows=$(realpath "$2") rounds=${3:-9}
source "$(dirname "$linux")/../texts.sh"
title=$MainWindowTitle

export WINEPREFIX
WINEPREFIX=$(mktemp -d)/wineprefix
finish() {
    stop_display
    rm -rf "$(dirname "$WINEPREFIX")"
}
trap finish EXIT
start_display
wine_prefix "$WINEPREFIX" --linger 0
wineserver -w

now_ms() { echo $(($(date +%s%N) / 1000000)); }
shown() { xwininfo -name "$1" 2>/dev/null | grep -q IsViewable; }

# Starts a program, waits for its window to be viewable, prints the milliseconds, ends it.
time_to_window() {
    local start pid
    start=$(now_ms)
    "$@" >/dev/null 2>&1 &
    pid=$!
    until shown "$title"; do
        kill -0 "$pid" 2>/dev/null && [ $(($(now_ms) - start)) -le 60000 ] ||
            fail "no window from $*"
        sleep 0.005 # finer than wait_for: this is what is timed
    done
    echo $(($(now_ms) - start))
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    wait_for 60 "end of the window of $*" eval '! shown "$title"'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

run_linux() { QT_QPA_PLATFORM=xcb time_to_window "$linux"; }
run_windows() { time_to_window wine "$windows"; }

cold=$(run_windows)
# From here on the session stays up between runs, and so does its desktop, which Wine otherwise
# ends with the last program that has a window (a program started just then never shows its
# own): Notepad keeps one open, as a Windows desktop always is.
wineserver -w
wineserver -p
wine notepad >/dev/null 2>&1 &
wait_for 60 "Notepad's window" shown "Untitled - Notepad"
run_windows >/dev/null
run_linux >/dev/null
linux_ms=() windows_ms=()
for round in $(seq "$rounds"); do
    if [ $((round % 2)) = 1 ]; then
        linux_ms+=("$(run_linux)") windows_ms+=("$(run_windows)")
    else
        windows_ms+=("$(run_windows)") linux_ms+=("$(run_linux)")
    fi
done
linux_median=$(printf '%s\n' "${linux_ms[@]}" | median)
windows_median=$(printf '%s\n' "${windows_ms[@]}" | median)

echo "Start-up to the main window on screen, median of $rounds alternating runs (Xvfb)"
printf '%-44s %8d ms\n' "Linux build (xcb)" "$linux_median"
printf '%-44s %8d ms   (cold, session starting: %d ms)\n' \
    "Windows build under $(wine --version | cut -d" " -f1) (windows)" "$windows_median" "$cold"
awk -v w="$windows_median" -v l="$linux_median" \
    'BEGIN { printf "%-44s %8.1fx\n", "Windows under Wine / Linux", w / l }'
