#!/usr/bin/env bash
# Tests the Windows installer and zip that build.sh makes, under Wine, on a machine of their own:
# the installer (/S) puts the ready-to-run folder and its uninstaller alone into the 64-bit Program
# Files, lists itself where Windows lists programs, with its size and DWORD flags, and makes a
# Start-menu entry that starts Rigtune, whose version resource names its maker; run again, and
# then one of a higher version that ships other files, it leaves one of everything and no older
# file; its uninstaller leaves nothing of Rigtune; the zip holds the ready-to-run folder alone and
# starts Rigtune wherever it is unpacked.
#     test-packages.sh [BUILD_DIR]     (default RIGTUNE_WINDOWS_BUILD_DIR, or build-windows)
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

build=$(realpath "${1:-$RIGTUNE_WINDOWS_BUILD_DIR}")
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
keep_wine_desktop_up

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

# The installed Rigtune as its uninstaller's entry names it (64-bit view): the uninstaller, its
# folder, that folder as a Linux path; its Start-menu entries, one a line, and where one points:
# the one full Windows path in the link.
installed_uninstaller() { reg_value "$uninstall_key" UninstallString; }
installed_folder() {
    local uninstaller
    uninstaller=$(installed_uninstaller)
    echo "${uninstaller%\\*}"
}
unix_path() { winepath -u "$1" 2>/dev/null; }
start_menu_entries() { find "$WINEPREFIX/drive_c" -ipath '*/Start Menu/Programs/*/Rigtune.lnk'; }
link_target() { tr -c '[:print:]' '\n' <"$1" | grep -x -m1 '[A-Z]:\\.*' || true; }

# install_and_check INSTALLER VERSION FILES: runs the installer silently, then checks what it
# installed: one listing, of that version, naming a folder of the 64-bit Program Files that holds
# FILES and the uninstaller alone, and one Start-menu entry, which points to its Rigtune.exe.
install_and_check() {
    timeout 300 wine "$1" /S </dev/null || fail "$1 run with /S exited with $?"
    local listings
    listings=$(registry | grep -c "^\"DisplayName\"=\"$listed_as\"$" || true)
    [ "$listings" = 1 ] || fail "$listings listings of $listed_as among the installed programs"
    [ "$(reg_value "$uninstall_key" DisplayVersion)" = "$2" ] || fail "version $2 is not listed"
    [ -n "$(installed_uninstaller)" ] || fail "no UninstallString in $uninstall_key (64-bit view)"
    local folder program_files
    folder=$(installed_folder)
    program_files=$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion' ProgramFilesDir)
    [ "${folder%\\*}" = "$program_files" ] || fail "installed into $folder, not into $program_files"
    [ -d "$(unix_path "$folder")" ] || fail "no folder $folder, which the uninstaller's entry names"
    same_files "$(unix_path "$folder")" "$(printf '%s\n' "$3" ./Uninstall.exe | sort)" \
        "$folder does not hold the installed version's files and Uninstall.exe alone"

    local entries
    entries=$(start_menu_entries)
    [ -n "$entries" ] || fail "no Start-menu entry Rigtune.lnk"
    [ "$(wc -l <<<"$entries")" = 1 ] || fail "more than one Start-menu entry: $entries"
    [ "$(link_target "$entries")" = "$folder\\Rigtune.exe" ] ||
        fail "the Start-menu entry points to $(link_target "$entries")"
}

# The size of the files under a folder in KB, rounded down.
size_kb() {
    local bytes
    bytes=$(find "$1" -type f -printf '%s\n' | awk '{ sum += $1 } END { print sum + 0 }')
    echo $((bytes / 1024))
}

# A string of the version resource of a program: the line after its name among the program's
# UTF-16 strings, after StringFileInfo.
resource_string() {
    strings -el "$1" | sed -n '/^StringFileInfo$/,$p' | grep -x -F -A1 "$2" | sed -n 2p
}

start=$SECONDS
install_and_check "$installer" "$version" "$expected"
folder=$(installed_folder)
unix_folder=$(unix_path "$folder")
shows_window "$(link_target "$(start_menu_entries)")"
echo "installer: into $folder, Rigtune starts from the Start menu ($((SECONDS - start)) s)"

# Windows documents these as DWORDs; the size, in KB, is what "Apps & features" shows. The
# installer counts it its own way, so it may differ from the installed files' total by rounding:
# half a percent either way is allowed.
for flag in NoModify NoRepair; do
    [ "$(reg_typed_value "$uninstall_key" $flag)" = "REG_DWORD 0x1" ] || fail "$flag is no DWORD 1"
done
size=$(reg_typed_value "$uninstall_key" EstimatedSize)
[[ $size == "REG_DWORD 0x"* ]] || fail "EstimatedSize is $size, no DWORD"
listed_kb=$((${size#REG_DWORD }))
installed_kb=$(size_kb "$unix_folder")
slack_kb=$((installed_kb / 200))
((listed_kb >= installed_kb - slack_kb && listed_kb <= installed_kb + slack_kb)) ||
    fail "EstimatedSize is $listed_kb KB, the installed files $installed_kb KB"
# The version resource names the maker as the listing does, the copyright as LICENSE does, and says
# what Rigtune is: Task Manager names the process by that description.
program=$unix_folder/Rigtune.exe
[ "$(resource_string "$program" CompanyName)" = "$(reg_value "$uninstall_key" Publisher)" ] ||
    fail "the version resource's maker is not the listing's: $(resource_string "$program" CompanyName)"
[ "$(resource_string "$program" LegalCopyright)" = "$(grep -m1 '^Copyright' LICENSE)" ] ||
    fail "the version resource's copyright is not LICENSE's"
description=$(resource_string "$program" FileDescription)
[[ $description =~ ^Rigtune\ -\ .+ ]] ||
    fail "the version resource does not say what Rigtune is: \"$description\""

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
unix_folder=$(unix_path "$(installed_folder)")
shortcut=$(start_menu_entries)
timeout 60 wine "$(installed_uninstaller)" /S </dev/null ||
    fail "the uninstaller run with /S exited with $?"
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
