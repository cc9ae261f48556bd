#!/usr/bin/env bash
# Tests the Windows installer and zip that build.sh makes, under Wine, on a machine of their own:
# the installer (/S) puts the ready-to-run folder and its uninstaller alone into the 64-bit Program
# Files, lists itself where Windows lists programs, with its size and DWORD flags, and makes a
# Start-menu entry that starts Rigtune, whose version resource names its maker; run again, and
# then one of a higher version that ships other files, it leaves one of everything and no older
# file; its uninstaller leaves nothing of Rigtune; the zip holds the ready-to-run folder alone and
# starts Rigtune wherever it is unpacked.
#     test-packages.sh [BUILD_DIR]     (default build-windows)
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

build=$(realpath "${1:-build-windows}")
source "$build/texts.sh"
# What the packages were made with, as CPack was told.
cpack_value() { sed -n "s/^set($1 \"\(.*\)\")$/\1/p" "$build/CPackConfig.cmake"; }
name=$(cpack_value CPACK_PACKAGE_FILE_NAME)
version=$(cpack_value CPACK_PACKAGE_VERSION)
listed_as=$(cpack_value CPACK_NSIS_DISPLAY_NAME)
installer=$build/$name.exe
zip=$build/$name.zip
title=$MainWindowTitle
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\'
uninstall_key+=$(cpack_value CPACK_PACKAGE_INSTALL_REGISTRY_KEY)
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

# The files under a folder, one relative path a line; same_files FOLDER FILES WHAT.
files_in() { (cd "$1" && find . -type f | sort); }
same_files() {
    [ "$(files_in "$1")" = "$2" ] || fail "$3:
$(diff <(echo "$2") <(files_in "$1") || true)"
}
expected=$(files_in "$build/Rigtune")

# A value of the registry as "TYPE DATA", or nothing when it or its key is missing; its data alone.
reg_typed_value() {
    { wine reg query "$1" /v "$2" 2>/dev/null || true; } | tr -d '\r' |
        sed -n "s/^ *$2 \+\(REG_[A-Z_]\+\) \+/\1 /p" | tr -d '"'
}
reg_value() { reg_typed_value "$@" | cut -d' ' -f2-; }
# The whole registry, both views, as text.
registry() {
    wine regedit /E "$(wine_path "$scratch/registry.reg")" </dev/null >/dev/null 2>&1
    iconv -f UTF-16 -t UTF-8 "$scratch/registry.reg" | tr -d '\r'
}

window_shown() { xwininfo -name "$title" 2>/dev/null | grep -q IsViewable; }
window_gone() { ! xwininfo -name "$title" >/dev/null 2>&1; }
# Starts the program, which must show its window, and ends it.
shows_window() {
    wine "$1" </dev/null >/dev/null 2>&1 &
    local program=$!
    wait_for 60 "window \"$title\" from $1" window_shown
    kill "$program"
    wait "$program" 2>/dev/null || true
    wait_for 60 "end of the window \"$title\" after its program" window_gone
}

# Runs an installer silently, then checks what it installed: one listing, of version $2, naming a
# folder of the 64-bit Program Files that holds the files $3 and the uninstaller alone, and one
# Start-menu entry, which points to its Rigtune.exe. Sets uninstaller, folder, unix_folder, target
# and shortcut.
install_and_check() {
    timeout 300 wine "$1" /S </dev/null || fail "$1 run with /S exited with $?"
    local listings
    listings=$(registry | grep -c "^\"DisplayName\"=\"$listed_as\"$" || true)
    [ "$listings" = 1 ] || fail "$listings listings of $listed_as among the installed programs"
    [ "$(reg_value "$uninstall_key" DisplayVersion)" = "$2" ] || fail "version $2 is not listed"
    local program_files
    uninstaller=$(reg_value "$uninstall_key" UninstallString)
    [ -n "$uninstaller" ] || fail "no UninstallString in $uninstall_key (64-bit view)"
    folder=${uninstaller%\\*}
    program_files=$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion' ProgramFilesDir)
    [ "${folder%\\*}" = "$program_files" ] || fail "installed into $folder, not into $program_files"
    unix_folder=$(winepath -u "$folder" 2>/dev/null)
    [ -d "$unix_folder" ] || fail "no folder $folder, which the uninstaller's entry names"
    same_files "$unix_folder" "$(printf '%s\n' "$3" ./Uninstall.exe | sort)" \
        "$folder does not hold the installed version's files and Uninstall.exe alone"

    shortcut=$(find "$WINEPREFIX/drive_c" -ipath '*/Start Menu/Programs/*/Rigtune.lnk')
    [ -n "$shortcut" ] || fail "no Start-menu entry Rigtune.lnk"
    [ "$(wc -l <<<"$shortcut")" = 1 ] || fail "more than one Start-menu entry: $shortcut"
    # The link's target is the one full Windows path in the file.
    target=$(tr -c '[:print:]' '\n' <"$shortcut" | grep -x -m1 '[A-Z]:\\.*' || true)
    [ "$target" = "$folder\\Rigtune.exe" ] || fail "the Start-menu entry points to $target"
}

start=$SECONDS
install_and_check "$installer" "$version" "$expected"
shows_window "$target"
echo "installer: into $folder, Rigtune starts from the Start menu ($((SECONDS - start)) s)"

# Windows documents these as DWORDs; the size, in KB, is what "Apps & features" shows.
for flag in NoModify NoRepair; do
    [ "$(reg_typed_value "$uninstall_key" $flag)" = "REG_DWORD 0x1" ] || fail "$flag is no DWORD 1"
done
size=$(reg_typed_value "$uninstall_key" EstimatedSize)
kb=$(find "$unix_folder" -type f -printf '%s\n' | awk '{ sum += $1 } END { print int(sum / 1024) }')
[[ $size == "REG_DWORD 0x"* ]] && (((${size#* } * 100 + kb / 2) / kb == 100)) ||
    fail "EstimatedSize is $size, not the DWORD $kb (KB)"
# The version resource names the maker as the listing does, the copyright as LICENSE does, and says
# what Rigtune is: Task Manager names the process by that description.
resource=$(strings -el "$unix_folder/Rigtune.exe" | sed -n '/^StringFileInfo$/,$p' | paste -sd '|')
[[ $resource == *"|CompanyName|$(reg_value "$uninstall_key" Publisher)|"* &&
    $resource == *"|LegalCopyright|$(grep -m1 '^Copyright' LICENSE)|"* &&
    $resource == *"|FileDescription|Rigtune"[!"|"]* ]] ||
    fail "the version resource lacks the maker, copyright or a description: $resource"

# Over the same version, and over that a higher one that ships other files: the older files go.
start=$SECONDS
install_and_check "$installer" "$version" "$expected"
mkdir "$scratch/newer"
cp "$build/Rigtune/Rigtune.exe" "$scratch/newer/"
echo "shipped by the newer version alone" >"$scratch/newer/newer.txt"
(cd "$build" && cpack -G NSIS -B "$scratch" -D CPACK_PACKAGE_VERSION=99.0.0 \
    -D CPACK_PACKAGE_FILE_NAME=newer -D CPACK_NSIS_COMPRESSOR=zlib \
    -D CPACK_INSTALL_CMAKE_PROJECTS= -D "CPACK_INSTALLED_DIRECTORIES=$scratch/newer;.") \
    >"$scratch/cpack.log" || { cat "$scratch/cpack.log"; fail "no installer of a higher version"; }
install_and_check "$scratch/newer.exe" 99.0.0 "$(files_in "$scratch/newer")"
echo "installer: over itself and under a newer version ($((SECONDS - start)) s)"

# The uninstaller copies itself away and returns at once; what it removes goes a moment later.
start=$SECONDS
timeout 60 wine "$uninstaller" /S </dev/null || fail "the uninstaller run with /S exited with $?"
uninstalled() { [ ! -e "$unix_folder" ] && [ ! -e "$shortcut" ]; }
within 60 uninstalled || true
left=$(find "$WINEPREFIX/drive_c" -ipath '*program*rigtune*')
[ -z "$left" ] || fail "the uninstaller left in Program Files or the Start menu: $left"
left=$(registry | grep -i rigtune || true)
[ -z "$left" ] || fail "the uninstaller left in the registry: $left"
echo "installer: uninstalled ($((SECONDS - start)) s)"

# Unpacked where a player might, a folder with a space in its name.
start=$SECONDS
unpacked="$scratch/Downloads folder"
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
same_files "$unpacked/$name" "$expected" "the zip's $name/ is not the ready-to-run folder"
shows_window "$unpacked/$name/Rigtune.exe"
echo "zip: Rigtune starts from the unpacked folder ($((SECONDS - start)) s)"
