#!/usr/bin/env bash
# Runs the whole suite of a Windows build that build.sh made, under the Wine at hand, through
# CTest: every test offscreen, those labelled "display" (the window tests once more, with the
# colours and label widths drawn, and the labels at display scales of 125 to 200 %) with the
# windows platform plugin, and the player's steps and printing through Wine, on a private Xvfb
# display; then the ready-to-run folder on its own, and the installer and the zip
# (test-packages.sh). Each run starts from fresh copies of the cached Wine prefix, and leaves
# neither Xvfb nor a Wine server running. Builds nothing.
#     test-built.sh [BUILD_DIR]     (default RIGTUNE_WINDOWS_BUILD_DIR, or build-windows)
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

build=$(realpath -m "${1:-$RIGTUNE_WINDOWS_BUILD_DIR}")
[ -f "$build/Rigtune/Rigtune.exe" ] || fail "no Windows build in $build: run scripts/windows/build.sh"
export WINEPREFIX=$build/wineprefix
rm -rf "$WINEPREFIX" "$WINEPREFIX"-dpi*

# The prefixes of other screen densities (wine-run.sh) have sessions of their own.
finish() {
    local prefix
    for prefix in "$WINEPREFIX"-dpi*; do
        [ ! -d "$prefix" ] || WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    done
    stop_display
}
trap finish EXIT
start_display

wine=$(WINEDEBUG=-all wine --version)
start=$SECONDS
wine_prefix "$WINEPREFIX" --desktop
keep_wine_desktop_up
ctest --test-dir "$build" --parallel 2 --output-on-failure --timeout 600
echo "Windows suite under $wine: $((SECONDS - start)) s"

# The ready-to-run folder runs on its own: without WINEPATH, the program finds every DLL and each
# plugin that deploy.sh put in the folder's subfolders there, or Qt says where it found them.
log=$build/ready-to-run.log
WINEQT_DEBUG_PLUGINS=1 WINEQT_FORCE_STDERR_LOGGING=1 wine "$build/Rigtune/Rigtune.exe" 2>"$log" &
program=$!
for plugin in $(cd "$build/Rigtune" && find . -mindepth 2 -name '*.dll' -printf '%P\n'); do
    wait_for 30 "$plugin loaded from $build/Rigtune (see $log)" \
        grep -q "Rigtune/$plugin\" loaded library" "$log"
done
kill "$program"
wait "$program" 2>/dev/null || true
echo "$build/Rigtune/Rigtune.exe starts from its own folder under $wine"

# The installer and the zip, on a Wine machine of their own.
scripts/windows/test-packages.sh "$build"
