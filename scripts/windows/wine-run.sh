#!/usr/bin/env bash
# Runs a Windows program of the build under Wine; CTest's emulator for the Windows build.
#     wine-run.sh QT_PREFIX WINE_PREFIX program.exe [arguments...]
# The Qt and mingw DLLs are found in place through WINEPATH, so nothing is copied. Wine hands no
# QT_* variable to a Windows program, so each one goes as WINEQT_*, which Wine passes on without
# its prefix. Qt's messages go to standard error, not to the debugger channel, where a redirected
# run would lose them. RIGTUNE_WINE_DPI=N runs it on a screen of N dots per inch, in a Wine prefix
# of its own beside WINE_PREFIX.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"

qt=$1 prefix=$2${RIGTUNE_WINE_DPI:+-dpi$RIGTUNE_WINE_DPI}
shift 2

wine_prefix "$prefix" --desktop ${RIGTUNE_WINE_DPI:+--dpi "$RIGTUNE_WINE_DPI"}
export WINEPREFIX=$prefix
WINEPATH=$(wine_path "$qt/bin")
mapfile -t runtime_dirs < <(mingw_runtime_dirs)
for dir in "${runtime_dirs[@]}"; do
    WINEPATH+=";$(wine_path "$dir")"
done
export WINEPATH

while IFS= read -r name; do
    export "WINE$name=${!name}"
done < <(compgen -e | grep '^QT_' || true)
export WINEQT_FORCE_STDERR_LOGGING=1
# The offscreen platform reads fonts from one folder only; Liberation is metric-compatible with
# the Windows faces the windows ask for.
: "${WINEQT_QPA_FONTDIR:=$(wine_path /usr/share/fonts/truetype/liberation)}"
export WINEQT_QPA_FONTDIR

# Wine takes the ANSI code page from the locale: Windows-1252 unless a test asks for another.
export LC_ALL=${RIGTUNE_WINE_LOCALE:-C.UTF-8}

[ "${QT_QPA_PLATFORM:-}" != windows ] || [ -n "${DISPLAY:-}" ] ||
    fail "wine-run.sh: the windows platform plugin needs an X display (DISPLAY is not set)"
exec wine "$@"
