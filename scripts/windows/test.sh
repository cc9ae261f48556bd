#!/usr/bin/env bash
# Builds Rigtune for Windows (build.sh, with the same settings and arguments) and runs its whole
# suite under Wine through CTest: every test offscreen, those labelled "display" (the window tests
# once more, with the colours and label widths drawn) with the windows platform plugin, and the
# player's steps and printing through Wine, on a private Xvfb display. Each run starts from a fresh copy of the cached Wine prefix, and leaves
# neither Xvfb nor a Wine server running.
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/windows/build.sh "$@"
source scripts/windows/common.sh
rigtune_wine_env

build=$PWD/build-windows
export WINEPREFIX=$build/wineprefix
rm -rf "$WINEPREFIX"

trap rigtune_stop_display EXIT
rigtune_start_display

start=$SECONDS
# The session, and a window that keeps its desktop up: Wine ends the desktop with the last
# program that has a window, and a test starting just then would never show its own.
rigtune_wine_prefix "$WINEPREFIX"
wine start /min notepad </dev/null >/dev/null 2>&1
ctest --test-dir "$build" --parallel 2 --output-on-failure --timeout 600
echo "Windows suite under Wine: $((SECONDS - start)) s"

# The ready-to-run folder runs on its own: without WINEPATH, the program finds every DLL and the
# plugins it needs in the folder, or Qt says where it found them.
log=$build/ready-to-run.log
WINEQT_DEBUG_PLUGINS=1 WINEQT_FORCE_STDERR_LOGGING=1 wine "$build/Rigtune/Rigtune.exe" 2>"$log" &
program=$!
for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll; do
    for _ in $(seq 300); do
        grep -q "Rigtune/$plugin\" loaded library" "$log" && break
        sleep 0.1
    done
    grep -q "Rigtune/$plugin\" loaded library" "$log" ||
        { echo "build-windows/Rigtune/Rigtune.exe did not load $plugin; see $log" >&2; exit 1; }
done
kill "$program"
wait "$program" 2>/dev/null || true
echo "build-windows/Rigtune/Rigtune.exe starts from its own folder"

# The installer and the zip, on a Wine machine of their own.
scripts/windows/test-packages.sh "$build"

# Built once more, later, in another folder and without the tests: the program and both packages
# come out the same bytes.
start=$SECONDS
again=$(mktemp -d)
RIGTUNE_WINDOWS_BUILD_DIR=$again scripts/windows/build.sh "$@" -DBUILD_TESTING=OFF \
    >"$again/build.log" 2>&1 || { cat "$again/build.log"; exit 1; }
for file in Rigtune/Rigtune.exe $(cd "$build" && ls Rigtune-*-win64.*); do
    cmp "$build/$file" "$again/$file" ||
        { echo "Two builds, two $file: see $again (diffoscope shows how)" >&2; exit 1; }
done
rm -rf "$again"
echo "Built twice, the same Rigtune.exe, installer and zip ($((SECONDS - start)) s)"
