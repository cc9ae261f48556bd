# The shell library that Rigtune's scripts source: failing with a message, waiting with a bound,
# a private X display, and Wine prefixes and sessions for the Windows build. It sets no shell
# option; what it keeps is named RIGTUNE_*.

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

# --- Wine, for the Windows build --------------------------------------------------------------

# The cache of the Windows build (its Qt, the Wine template), outside the clone and kept.
RIGTUNE_WINDOWS_CACHE=${RIGTUNE_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/rigtune-windows}

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
# compiler reports them.
mingw_runtime_dirs() {
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

# wine_template_copy DIR: a copy of the template at DIR.
wine_template_copy() {
    local recipe template
    recipe=$(wine_template_recipe)
    template=$RIGTUNE_WINDOWS_CACHE/wine-template-$(md5sum <<<"$recipe" | cut -c1-8)
    mkdir -p "$RIGTUNE_WINDOWS_CACHE"
    (
        flock 8
        if [ ! -e "$template/.rigtune-ready" ]; then
            rm -rf "$template"
            wine_env
            (
                exec 8>&- 9>&- # the Wine server and its session would keep the locks open
                export WINEPREFIX=$template
                wineboot --init
                wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ \
                    /d 'Liberation Sans' /f
                wineserver -w
            ) </dev/null >"$template.log" 2>&1 ||
                fail "could not make $template: $(cat "$template.log")"
            echo "$recipe" >"$template/.rigtune-ready"
        fi
        cp -a "$template" "$1"
    ) 8>"$template.lock"
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
    local recipe
    recipe="$(wine_template_recipe)${desktop:+; desktop 1280x1024}${dpi:+; $dpi dpi}"
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        export WINEPREFIX=$prefix
        if [ "$(cat "$prefix/.rigtune-ready" 2>/dev/null)" != "$recipe" ]; then
            rm -rf "$prefix"
            wine_template_copy "$prefix"
            (
                exec 9>&-
                if [ -n "$desktop" ]; then
                    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
                    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f
                fi
                [ -z "$dpi" ] || wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
                    /t REG_DWORD /d "$dpi" /f
                wineserver -w
            ) </dev/null >"$prefix.log" 2>&1 ||
                fail "could not set up $prefix: $(cat "$prefix.log")"
            echo "$recipe" >"$prefix/.rigtune-ready"
        fi
        # Exit status 0: a new server was started (2: one is running already).
        if wineserver -p"$linger" </dev/null >/dev/null 2>&1 9>&-; then
            wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
        fi
    ) 9>"$prefix.lock"
}
