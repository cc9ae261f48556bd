#!/usr/bin/env bash
# Lays out a ready-to-run folder for a Windows program built with mingw-w64 against Qt:
#     deploy.sh PROGRAM.exe QT_PREFIX OUT_DIR
# OUT_DIR gets the program, the Qt plugins it loads at run time (the windows platform and the
# Windows style; printing is built into Qt6PrintSupport, and the artwork is PNG, which QtGui reads
# itself) and every DLL that these import and the system does not have, followed through their
# imports. The system's DLLs are the ones Wine carries and the API sets (api-ms-win-*, which
# Windows resolves itself); an import found nowhere is an error.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"

exe=$1 qt=$2 out=$3
plugins=(platforms/qwindows.dll styles/qwindowsvistastyle.dll)
mapfile -t runtime_dirs < <(mingw_runtime_dirs)
search=("$qt/bin" "${runtime_dirs[@]}")
system_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows

declare -A copied=()

# The file named (in any case, as Windows names are) in one of the folders, or nothing.
find_in() {
    local name=$1
    shift
    find "$@" -maxdepth 1 -iname "$name" -print -quit 2>/dev/null
}

# The time in a PE file's header: 8 bytes into the COFF header, whose offset is at 0x3c.
pe_time() {
    local header
    header=$(od -An -tu4 -j60 -N4 "$1")
    od -An -tu4 -j$((header + 8)) -N4 "$1" | tr -d ' '
}

# Copies the DLLs that file imports into OUT_DIR, and theirs in turn.
copy_imports() {
    local name found
    while read -r name; do
        [ -n "${copied[${name,,}]:-}" ] && continue
        copied[${name,,}]=1
        case ${name,,} in api-ms-win-* | ext-ms-win-*) continue ;; esac
        found=$(find_in "$name" "${search[@]}")
        if [ -z "$found" ]; then
            [ -n "$(find_in "$name" "$system_dlls")" ] && continue
            fail "deploy.sh: $name, imported by $(basename "$1"), is nowhere to be found"
        fi
        # The mingw runtime comes with its symbols (libstdc++ is 24 MB, 2 MB stripped). strip stamps
        # its output with the time of stripping unless given one; the DLL's own keeps two layouts
        # of the folder the same bytes.
        SOURCE_DATE_EPOCH=$(pe_time "$found") \
            x86_64-w64-mingw32-strip --strip-unneeded -o "$out/$(basename "$found")" "$found"
        copy_imports "$found"
    done < <(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p')
}

rm -rf "$out"
mkdir -p "$out"
cp "$exe" "$out/"
copy_imports "$exe"
for plugin in "${plugins[@]}"; do
    mkdir -p "$out/$(dirname "$plugin")"
    cp "$qt/plugins/$plugin" "$out/$plugin"
    copy_imports "$qt/plugins/$plugin"
done
echo "Ready to run: $out ($(du -sh "$out" | cut -f1), $(find "$out" -type f | wc -l) files)"
