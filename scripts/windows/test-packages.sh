#!/usr/bin/env bash
# Tests the Windows installer and zip that build.sh makes, under Wine, on a machine of their own (a
# fresh copy of the template Wine prefix, a private Xvfb):
#   - the installer, run silently (/S), puts the ready-to-run folder and its uninstaller, nothing
#     else, into a folder of the 64-bit Program Files, lists the uninstaller where 64-bit Windows
#     lists programs, and makes a Start-menu entry; Rigtune started from where that entry points
#     shows its window;
#   - the uninstaller, run silently, removes the folder, the entry and the listing;
#   - the zip holds the ready-to-run folder, nothing else, and unpacked anywhere it starts Rigtune.
#     test-packages.sh [BUILD_DIR]     (default build-windows)
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

build=$(realpath "${1:-build-windows}")
source "$build/texts.sh"
name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
installer=$build/$name.exe
zip=$build/$name.zip
title=$MainWindowTitle
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Rigtune'
[ -f "$installer" ] || fail "no installer $installer"
[ -f "$zip" ] || fail "no zip $zip"

scratch=$(mktemp -d)
finish() {
    stop_display
    rm -rf "$scratch"
}
trap finish EXIT
export WINEPREFIX=$scratch/wineprefix
start_display
wine_prefix "$WINEPREFIX" --desktop
# Wine ends its desktop with the last program that has a window; one that starts just then never
# shows its own.
wine start /min notepad </dev/null >/dev/null 2>&1

# The files under a folder, one relative path a line.
files_in() { (cd "$1" && find . -type f | sort); }
expected=$(files_in "$build/Rigtune")

# A value of the registry, or nothing when it or its key is missing.
reg_value() {
    { wine reg query "$1" /v "$2" 2>/dev/null || true; } | tr -d '\r' |
        sed -n "s/^ *$2 \+REG_[A-Z_]\+ \+//p" | tr -d '"'
}

window_shown() { xwininfo -name "$title" 2>/dev/null | grep -q IsViewable; }
window_gone() { ! xwininfo -name "$title" >/dev/null 2>&1; }

start=$SECONDS
timeout 300 wine "$installer" /S </dev/null || fail "the installer run with /S exited with $?"

uninstaller=$(reg_value "$uninstall_key" UninstallString)
[ -n "$uninstaller" ] || fail "no UninstallString in $uninstall_key (64-bit view)"
folder=${uninstaller%\\*}
program_files=$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion' ProgramFilesDir)
[ "${folder%\\*}" = "$program_files" ] || fail "installed into $folder, not into $program_files"
unix_folder=$(winepath -u "$folder" 2>/dev/null)
[ -d "$unix_folder" ] || fail "no folder $folder, which the uninstaller's entry names"
installed=$(files_in "$unix_folder")
expected_installed=$(printf '%s\n' "$expected" ./Uninstall.exe | sort)
[ "$installed" = "$expected_installed" ] ||
    fail "$folder does not hold the ready-to-run folder and Uninstall.exe alone:
$(diff <(echo "$expected_installed") <(echo "$installed") || true)"

shortcut=$(find "$WINEPREFIX/drive_c" -ipath '*/Start Menu/Programs/*/Rigtune.lnk' -print -quit)
[ -n "$shortcut" ] || fail "no Start-menu entry Rigtune.lnk"
# The link's target is the one full Windows path in the file.
target=$(tr -c '[:print:]' '\n' <"$shortcut" | grep -x -m1 '[A-Z]:\\.*' || true)
[ "$target" = "$folder\\Rigtune.exe" ] || fail "the Start-menu entry points to $target"
wine "$target" </dev/null >/dev/null 2>&1 &
program=$!
wait_for 60 "window \"$title\" from $target" window_shown
kill "$program"
wait "$program" 2>/dev/null || true
wait_for 60 "end of the window \"$title\" after its program" window_gone
echo "installer: into $folder, Rigtune starts from the Start menu ($((SECONDS - start)) s)"

# The uninstaller copies itself away and returns at once; what it removes goes a moment later.
start=$SECONDS
timeout 60 wine "$uninstaller" /S </dev/null || fail "the uninstaller run with /S exited with $?"
uninstalled() { [ ! -e "$unix_folder" ] && [ ! -e "$shortcut" ]; }
within 60 uninstalled || true
[ ! -e "$unix_folder" ] || fail "the uninstaller left $folder: $(files_in "$unix_folder")"
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu entry $shortcut"
[ -z "$(reg_value "$uninstall_key" UninstallString)" ] || fail "the uninstaller left $uninstall_key"
echo "installer: uninstalled ($((SECONDS - start)) s)"

# Unpacked where a player might, a folder with a space in its name.
start=$SECONDS
unpacked="$scratch/Downloads folder"
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
[ "$(files_in "$unpacked/$name")" = "$expected" ] ||
    fail "the zip's $name/ is not the ready-to-run folder:
$(diff <(echo "$expected") <(files_in "$unpacked/$name") || true)"
wine "$unpacked/$name/Rigtune.exe" </dev/null >/dev/null 2>&1 &
program=$!
wait_for 60 "window \"$title\" from the zip's Rigtune.exe" window_shown
kill "$program"
wait "$program" 2>/dev/null || true
echo "zip: Rigtune starts from the unpacked folder ($((SECONDS - start)) s)"
