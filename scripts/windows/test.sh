#!/usr/bin/env bash
# Builds Rigtune for Windows (build.sh, with the same settings and arguments) and runs its whole
# suite under Wine through CTest: every test offscreen, those labelled "display" (the window tests
# once more, with the colours and label widths drawn, and the labels at display scales of 125 to
# 200 %) with the windows platform plugin, and the player's steps and printing through Wine, on a
# private Xvfb display. Each run starts from fresh copies of the cached Wine prefix, and leaves
# neither Xvfb nor a Wine server running.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh
source scripts/deps.sh
rigtune_install_packages "${RIGTUNE_DISPLAY_PACKAGES[@]}" "${RIGTUNE_PRINT_PACKAGES[@]}"
scripts/windows/build.sh "$@"

build=$(realpath -m "$RIGTUNE_WINDOWS_BUILD_DIR")
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

start=$SECONDS
wine_prefix "$WINEPREFIX" --desktop
keep_wine_desktop_up
ctest --test-dir "$build" --parallel 2 --output-on-failure --timeout 600
echo "Windows suite under Wine: $((SECONDS - start)) s"

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
echo "$build/Rigtune/Rigtune.exe starts from its own folder"

# The installer and the zip, on a Wine machine of their own.
scripts/windows/test-packages.sh "$build"

# Built once more, later, from a second checkout whose files carry another time, in another folder
# and without the tests: the program and both packages come out the same bytes.
start=$SECONDS
again=$(mktemp -d)
another_checkout "$PWD" "$again/source"
RIGTUNE_WINDOWS_BUILD_DIR=$again "$again/source/scripts/windows/build.sh" "$@" -DBUILD_TESTING=OFF \
    >"$again/build.log" 2>&1 || fail "the second build: $(cat "$again/build.log")"
for file in Rigtune/Rigtune.exe $(cd "$build" && ls Rigtune-*-win64.*); do
    cmp "$build/$file" "$again/$file" || fail "two builds, two $file: see $again (diffoscope)"
done
rm -rf "$again"
echo "Built twice, the same Rigtune.exe, installer and zip ($((SECONDS - start)) s)"
