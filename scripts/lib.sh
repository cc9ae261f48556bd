# The shell library that Rigtune's scripts source: failing with a message, waiting with a bound, a
# second checkout of the sources, a private X display, and Wine prefixes and sessions for the
# Windows build. It sets no shell option; what it keeps is named RIGTUNE_*.

# --- Failing and waiting ----------------------------------------------------------------------

# fail MESSAGE: the script stops with the message and status 1. A script that defines on_fail has
# it tell what else it knows first (a log, the windows on the screen).
fail() {
    echo "FAIL: $*" >&2
    if declare -F on_fail >/dev/null; then
        on_fail >&2 || true
    fi
    exit 1
}

# within SECONDS COMMAND...: runs the command every tenth of a second until it succeeds, its output
# left out (not its errors: a failure inside it is told); status 1 when it has not within the time.
within() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# wait_for SECONDS WHAT COMMAND...: as within; when the time runs out, a failure naming WHAT.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    within "$seconds" "$@" || fail "waited $seconds s for $what"
}

# --- Checkouts --------------------------------------------------------------------------------

# another_checkout FROM TO: at TO, a second checkout of the files FROM holds (the work tree's, with
# git's record), every one stamped with another time, as a clone made at another moment is.
another_checkout() {
    local from=$1 to=$2
    mkdir -p "$to"
    git -C "$from" ls-files -z --cached --others --exclude-standard |
        (cd "$from" && xargs -0 cp --parents -t "$to")
    cp -a "$from/.git" "$to/.git"
    find "$to" -exec touch -h -d '2001-02-03 04:05:06' {} +
}

# --- A private X display ----------------------------------------------------------------------

# start_display: a private Xvfb of 1280 x 1024 as DISPLAY, its process RIGTUNE_XVFB_PID.
start_display() {
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
    RIGTUNE_XVFB_PID=$!
    within 10 test -s "$display_file" || fail "Xvfb did not start"
    DISPLAY=:$(cat "$display_file")
    export DISPLAY
    rm -f "$display_file"
}

# stop_display: ends the display, and the Wine session of WINEPREFIX with it: a session outlives
# its X server, and its next program then fails.
stop_display() {
    [ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null || true
    if [ -n "${RIGTUNE_XVFB_PID:-}" ]; then
        kill "$RIGTUNE_XVFB_PID" 2>/dev/null || true
        wait "$RIGTUNE_XVFB_PID" 2>/dev/null || true
    fi
}

# --- Made once, under a lock -----------------------------------------------------------------

# make_once DIR RECIPE COMMAND...: DIR as COMMAND DIR makes it, unless it was made already with
# RECIPE (one line, kept in DIR/.rigtune-ready); made anew, from nothing, with another. Several
# processes may ask at once: the first makes it, the others wait for it. COMMAND does not inherit
# the lock, so a server it leaves running (Wine's) does not hold it.
make_once() {
    local dir=$1 recipe=$2
    shift 2
    mkdir -p "$(dirname "$dir")"
    (
        flock 9
        [ "$(cat "$dir/.rigtune-ready" 2>/dev/null)" != "$recipe" ] || exit 0
        rm -rf "$dir"
        "$@" "$dir" 9>&- || exit
        echo "$recipe" >"$dir/.rigtune-ready"
    ) 9>"$dir.lock" || exit
}

# --- Wine, for the Windows build --------------------------------------------------------------

# The cache of the Windows build (its Qt, the Wine template), outside the clone and kept.
RIGTUNE_WINDOWS_CACHE=${RIGTUNE_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/rigtune-windows}
# The Windows build's folder, relative to the clone (CMakePresets.json's binaryDir, its default).
RIGTUNE_WINDOWS_BUILD_DIR=${RIGTUNE_WINDOWS_BUILD_DIR:-build-windows}

# The version of Debian's qt6-base that the Qt for Windows is built from: that of the host's Qt
# tools (moc, rcc and uic run on Linux), which must be the very version of the source.
qt_source_version() {
    dpkg-query -W -f '${Version}' qt6-base-dev-tools
}

# Quiet Wine, which makes no menu entries for what it runs.
wine_env() {
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d}
}

# wine_path PATH: a Linux path as Wine's drive Z: sees it.
wine_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

# The folders of the mingw runtime DLLs (libstdc++ and libgcc_s; winpthread), one a line, as the
# compiler reports them; where there is no compiler (a root that only runs the build), as
# RIGTUNE_MINGW_RUNTIME_DIRS says, one a line.
mingw_runtime_dirs() {
    if [ -n "${RIGTUNE_MINGW_RUNTIME_DIRS:-}" ]; then
        echo "$RIGTUNE_MINGW_RUNTIME_DIRS"
        return
    fi
    local dll
    for dll in libstdc++-6.dll libwinpthread-1.dll; do
        realpath "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")")"
    done
}

# The template of every Wine prefix, made once and kept in the cache: a fresh prefix with Arial
# replaced by Liberation Sans, as a Windows machine has Arial and Wine has not. Each Wine version
# has its own.
wine_template_recipe() {
    echo "$(WINEDEBUG=-all wine --version); Arial=Liberation Sans"
}

# make_wine_template DIR: the template at DIR, its log beside it.
make_wine_template() {
    (
        export WINEPREFIX=$1
        wineboot --init
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ \
            /d 'Liberation Sans' /f
        wineserver -w
    ) </dev/null >"$1.log" 2>&1 || fail "could not make $1: $(cat "$1.log")"
}

# wine_template_copy DIR: a copy of the template at DIR.
wine_template_copy() {
    local recipe template
    recipe=$(wine_template_recipe)
    template=$RIGTUNE_WINDOWS_CACHE/wine-template-$(md5sum <<<"$recipe" | cut -c1-8)
    wine_env
    make_once "$template" "$recipe" make_wine_template
    cp -a "$template" "$1"
}

# make_wine_prefix DESKTOP DPI DIR: a prefix at DIR from the template, with a virtual desktop when
# DESKTOP is not empty and a screen of DPI dots per inch when DPI is not; its log beside it.
make_wine_prefix() {
    local desktop=$1 dpi=$2 prefix=$3
    wine_template_copy "$prefix"
    (
        export WINEPREFIX=$prefix
        if [ -n "$desktop" ]; then
            wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
            wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f
        fi
        [ -z "$dpi" ] || wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
            /t REG_DWORD /d "$dpi" /f
        wineserver -w
    ) </dev/null >"$prefix.log" 2>&1 || fail "could not set up $prefix: $(cat "$prefix.log")"
}

# wine_prefix DIR [--desktop] [--dpi N] [--linger SECONDS]: a Wine prefix at DIR, made from the
# template with these settings when it is missing or was made with others, and its session
# running. Several processes may ask for one at once; the first makes it, the others wait.
#   --desktop  a virtual desktop, in which Wine frames, places and activates the windows itself as
#              Windows does, rather than leaving that to an X window manager (there is none on
#              Xvfb, and activation then takes seconds). Without it, each window is an X window
#              with its title and size, as under a Linux desktop.
#   --dpi N    a screen of N dots per inch (Windows' display scale: 120 is 125 %, 192 is 200 %).
#   --linger   how long the Wine server outlives each program (default 30 s), so that the next
#              one does not start cold (4-7 s).
# The session's own processes (services, the desktop) start apart from the caller's output: started
# by a test, they would hold its output open until the session ends, and CTest would wait for them.
wine_prefix() {
    local prefix=$1 desktop= dpi= linger=30
    shift
    while [ $# -gt 0 ]; do
        case $1 in
        --desktop) desktop=1 ;;
        --dpi) dpi=$2 && shift ;;
        --linger) linger=$2 && shift ;;
        *) fail "wine_prefix: unknown option $1" ;;
        esac
        shift
    done
    wine_env
    make_once "$prefix" "$(wine_template_recipe)${desktop:+; desktop 1280x1024}${dpi:+; $dpi dpi}" \
        make_wine_prefix "$desktop" "$dpi"
    # The session is started by one process while the others wait, under the prefix's lock, which
    # the Wine server must not inherit. Exit status 0: a new server was started (2: one is running).
    (
        flock 9
        export WINEPREFIX=$prefix
        if wineserver -p"$linger" </dev/null >/dev/null 2>&1 9>&-; then
            wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
        fi
    ) 9>"$prefix.lock"
}

# keep_wine_desktop_up: a minimised window on the virtual desktop of WINEPREFIX's session. Wine
# ends its desktop with the last program that has a window, and a program starting just then would
# never show its own.
keep_wine_desktop_up() {
    wine start /min notepad </dev/null >/dev/null 2>&1
}
