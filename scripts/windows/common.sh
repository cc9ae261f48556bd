# Shared by the Windows scripts (sourced): where the caches live, the Wine set-up, the packages.
#
#   RIGTUNE_WINDOWS_CACHE   cache folder, outside the clone; kept between runs
#                           (default: ${XDG_CACHE_HOME:-~/.cache}/rigtune-windows)

RIGTUNE_WINDOWS_CACHE=${RIGTUNE_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/rigtune-windows}
RIGTUNE_QT_VERSION=6.4.2

# Cross-building needs mingw-w64 and the host Qt tools of the same version as the Windows Qt
# (moc, rcc, uic run on Linux); running the results needs Wine, and the windows plugin a display.
# Wine's own fonts (its Tahoma and Marlett) come with fonts-wine; Liberation 2 stands in for
# Arial, as Wine draws version 1's capital I as nothing at 11 pixels.
# build-qt.sh also needs patch and xz-utils; the start-up benchmark, x11-utils; CPack's installer,
# nsis; the player's steps, xdotool and xclip; printing, which Wine hands to CUPS, a CUPS-PDF queue
# and poppler.
RIGTUNE_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix cmake ninja-build qt6-base-dev
    qt6-base-dev-tools wine wine64 fonts-wine fonts-liberation fonts-liberation2 xvfb
    x11-utils patch xz-utils nsis xdotool xclip cups cups-client cups-daemon
    printer-driver-cups-pdf ghostscript poppler-utils)

# The folders holding the mingw runtime DLLs (libstdc++ and libgcc_s; winpthread), as the
# compiler reports them.
rigtune_mingw_runtime_dirs() {
    local dll
    for dll in libstdc++-6.dll libwinpthread-1.dll; do
        realpath "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll)")"
    done
}

# A Linux path as Wine's drive Z: sees it.
rigtune_wine_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

# Quiet Wine, 64-bit loader directly (the wrapper in /usr/bin warns about a missing wine32).
rigtune_wine_env() {
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d}
}

# The template Wine prefix, made once and kept in the cache: a fresh prefix with Arial replaced
# by Liberation Sans, as a Windows machine has Arial and Wine has not; and a virtual desktop, in
# which Wine frames, places and activates the windows itself as Windows does, rather than leaving
# that to an X window manager (there is none on Xvfb, and activation then takes seconds).
# A prefix made by another recipe, or by another Wine, is made anew.
RIGTUNE_WINE_TEMPLATE=$RIGTUNE_WINDOWS_CACHE/wine-template
rigtune_wine_recipe() {
    echo "$(WINEDEBUG=-all wine --version); Arial=Liberation Sans; desktop 1280x1024"
}
# rigtune_wine_ready PREFIX [DPI]: made by this recipe, for that screen density.
rigtune_wine_ready() {
    [ "$(cat "$1/.rigtune-ready" 2>/dev/null)" = "$(rigtune_wine_recipe)${2:+; $2 dpi}" ]
}
rigtune_wine_template() {
    mkdir -p "$RIGTUNE_WINDOWS_CACHE"
    (
        flock 8
        rigtune_wine_ready "$RIGTUNE_WINE_TEMPLATE" && exit 0
        rm -rf "$RIGTUNE_WINE_TEMPLATE"
        rigtune_wine_env
        export WINEPREFIX=$RIGTUNE_WINE_TEMPLATE
        (
            exec 8>&- # the Wine server and its session would keep the lock open
            wineboot --init
            wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ \
                /d 'Liberation Sans' /f
            wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f
            wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ \
                /d 1280x1024 /f
            wineserver -w
        )
        rigtune_wine_recipe >"$RIGTUNE_WINE_TEMPLATE/.rigtune-ready"
    ) 8>"$RIGTUNE_WINE_TEMPLATE.lock" >&2
}

# A working Wine prefix at $1, copied from the template when missing, and its session running.
# Several test processes may ask at once; the first does the work, the others wait for it.
#
# The session: a Wine server that outlives each program by $2 seconds (default 30), so that the
# next one does not start cold (4-7 s), and the system's own processes (services, the desktop)
# started apart from the caller's output. Started by the first test, they would hold its output
# pipe open until the session ends, and CTest would wait for them.
#
# $3, when given, is the screen's density in dots per inch (Windows' display scale: 120 is 125 %,
# 192 is 200 %), which Wine reads as LogPixels when a program starts; a prefix is made for one
# density and made anew for another.
rigtune_wine_prefix() {
    local prefix=$1 linger=${2:-30} dpi=${3:-}
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if ! rigtune_wine_ready "$prefix" "$dpi"; then
            rigtune_wine_template
            rm -rf "$prefix" "$prefix.tmp"
            cp -a "$RIGTUNE_WINE_TEMPLATE" "$prefix.tmp"
            if [ -n "$dpi" ]; then
                WINEPREFIX=$prefix.tmp wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
                    /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1 9>&-
                WINEPREFIX=$prefix.tmp wineserver -w
                echo "$(rigtune_wine_recipe); $dpi dpi" >"$prefix.tmp/.rigtune-ready"
            fi
            mv "$prefix.tmp" "$prefix"
        fi
        export WINEPREFIX=$prefix
        # Exit status 0: a new server was started (2: one is running already). Neither it nor the
        # session's processes may keep the lock open.
        if wineserver -p"$linger" </dev/null >/dev/null 2>&1 9>&-; then
            wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
        fi
    ) 9>"$prefix.lock"
}

# A private Xvfb, as DISPLAY, its process RIGTUNE_XVFB_PID; fails when it does not start.
# rigtune_stop_display ends it and Wine's server with it (a Wine session outlives its X server, and
# later programs then fail with BadWindow).
rigtune_start_display() {
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
    RIGTUNE_XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$display_file" ] && break
        sleep 0.1
    done
    DISPLAY=:$(cat "$display_file")
    export DISPLAY
    rm -f "$display_file"
    [ "$DISPLAY" != : ] || { echo "Xvfb did not start" >&2; return 1; }
}
rigtune_stop_display() {
    wineserver -k 2>/dev/null || true
    if [ -n "${RIGTUNE_XVFB_PID:-}" ]; then
        kill "$RIGTUNE_XVFB_PID" 2>/dev/null || true
        wait "$RIGTUNE_XVFB_PID" 2>/dev/null || true
    fi
}
