#!/usr/bin/env bash
# The editor used as a player uses it, by key presses on a private X display, where the window
# tests cannot reach: the X server's own focus and keyboard and, under Wine, the system's file
# dialog and registry.
#     player_steps.sh linux PROGRAM                the Linux build (xcb)
#     player_steps.sh wine RIGTUNE_EXE MARKER_EXE  the Windows build, in a Wine prefix of its own
# Both: File > Open by the menu's access keys, the path of a set-up file (no extension, outside the
# working folder) typed into the dialog; the first value copied from its box; File > Quit. Under
# Wine, between them: an edit; Save as to the name offered and to names typed with no extension,
# another one and .str (an existing file), each so named, and no other, holding data/player.str;
# Open and Save as of a file picked from the dialog's list, under its own name; Save as into a
# missing folder, which Wine's dialog refuses, and Open of a missing file, which the editor
# refuses; Help > About and System Info, which starts MARKER_EXE, as the registry says. The file
# dialogs carry the system's standard titles.
# Seen from outside: window titles (xdotool) and texts copied with Ctrl+C (xclip); each wait is
# bounded. The program's texts come from RIGTUNE_TEXTS (the build's texts.sh).
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
source "$RIGTUNE_TEXTS"

mode=$1
program=$(realpath "$2")
data=$(realpath "$(dirname "$0")/data")
wait_seconds=30
main_title=$MainWindowTitle

work=$(mktemp -d "/tmp/player steps.XXXXXX") # a blank in every path the steps type
program_pid=
step=start
step_started=$SECONDS

on_fail() {
    echo "--- in the step: $step; the clipboard: \"$(xclip -o -selection clipboard 2>/dev/null)\""
    import -window root "/tmp/player-steps-failure.$$.png" 2>/dev/null &&
        echo "--- the screen: /tmp/player-steps-failure.$$.png"
}

cleanup() {
    [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
    stop_display
    rm -rf "$work"
}
trap cleanup EXIT

# Starts the editor in the background, in the work folder. Under Wine, in a prefix without Wine's
# virtual desktop: each window is then an X window with its title, as under a Linux desktop.
start_program() {
    if [ "$mode" = linux ]; then
        (cd "$work" && QT_QPA_PLATFORM=xcb exec "$program") >"$work/program.log" 2>&1 &
    else
        export WINEPREFIX=$work/wineprefix
        wine_prefix "$WINEPREFIX" --linger 2
        (cd "$work" && exec wine "$program") >"$work/program.log" 2>&1 &
    fi
    program_pid=$!
}

# The path as the program's file dialog takes it, and the dialogs' titles, as the system (or Qt)
# gives them: the program sets none. Wine's own save dialog is titled "Save", Windows' and Qt's
# "Save As".
native_path() { if [ "$mode" = linux ]; then printf '%s' "$1"; else wine_path "$1"; fi; }
open_dialog_title=Open
save_dialog_title="Save As"
[ "$mode" = linux ] || save_dialog_title=Save

# --- Seeing and driving the windows -----------------------------------------------------------

# windows_of TITLE [yes]: the program's visible windows of exactly this title (its own: Wine keeps
# untitled windows of its own on the display), framed by the window manager, or with "yes" its
# menus and tooltips, which bypass it. find_window: the first framed one.
windows_of() {
    local window
    for window in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        xprop -id "$window" WM_CLASS 2>/dev/null | grep -qi rigtune &&
            xwininfo -id "$window" | grep -q "Override Redirect State: ${2:-no}" && echo "$window"
    done
}
find_window() {
    local windows
    windows=$(windows_of "$1")
    [ -n "$windows" ] && echo "${windows%%$'\n'*}"
}
window_gone() { ! find_window "$1"; }
titled_windows_are() { [ "$(windows_of "$1" | wc -l)" -eq "$2" ]; }
popup_shown() { windows_of '.*' yes | grep -q .; }

# await WHAT COMMAND...: waits for the command to hold, at most wait_seconds, and no longer than
# the program runs.
await() {
    local what=$1
    shift
    wait_for "$wait_seconds" "$what" holds_while_running "$what" "$@"
}
holds_while_running() {
    local what=$1
    shift
    "$@" && return 0
    kill -0 "$program_pid" 2>/dev/null && return 1
    "$@" || fail "the program ended while waiting for $what"
}

# Gives the keyboard to the window with this title, once it is up, and presses the keys.
keys_to() {
    local title=$1 window
    shift
    await "window \"$title\"" find_window "$title"
    window=$(find_window "$title") && xdotool windowfocus --sync "$window" ||
        fail "could not give the keyboard to \"$title\""
    xdotool "$@" || fail "xdotool $* failed"
}

# Picks a menu's command by its access keys, the second once the menu is open.
menu() {
    keys_to "$main_title" key "alt+$1"
    await "the menu" popup_shown
    xdotool key "$2" || fail "xdotool key $2 failed"
}

# Save as wrote the file of this name in the work folder and none whose name begins with it.
no_file_but() {
    ! compgen -G "$work/$1?*" >/dev/null || fail "Save as wrote $(compgen -G "$work/$1?*")"
}

clipboard_has() { xclip -o -selection clipboard 2>/dev/null | grep -qxF -- "$1"; }
message_says() { xclip -o -selection clipboard 2>/dev/null | grep -qF -- "$1"; }

# The text of the box that has the focus in the main window, copied as a player would.
expect_box_text() {
    keys_to "$main_title" key ctrl+a ctrl+c
    await "\"$1\" in the box" clipboard_has "$1"
}

# Types a path over the name in the file dialog with this title and presses Enter. The name is
# selected with Home, Shift+End: Wine's dialog takes Ctrl+A for no selection.
type_into_file_dialog() {
    keys_to "$1" key Home shift+End
    keys_to "$1" type --delay 10 "$(native_path "$2")"
    keys_to "$1" key Return
}
answer_file_dialog() {
    type_into_file_dialog "$@"
    await "the file dialog to close" window_gone "$1"
}
# pick_in_file_dialog TITLE START NAME: once the dialog's name box shows its start name (so it has
# the keyboard), picks a file in the dialog's list by typing the start of its name there, and
# accepts it. From the name box, the list is three steps back in Wine's dialog.
pick_in_file_dialog() {
    keys_to "$1" key Home shift+End ctrl+c
    await "\"$2\" in the name box" clipboard_has "$2"
    keys_to "$1" key shift+Tab shift+Tab shift+Tab
    keys_to "$1" type --delay 10 "$3"
    keys_to "$1" key Return
    await "the file dialog to close" window_gone "$1"
}

# Prints how long the step before took, and names the next one.
begin() {
    echo "  $step: $((SECONDS - step_started)) s"
    step=$1
    step_started=$SECONDS
}

# The program ends by itself within the time, with status 0.
wait_for_exit() {
    local status=0
    timeout "$wait_seconds" tail --pid="$program_pid" -f /dev/null ||
        fail "the program did not end"
    wait "$program_pid" || status=$?
    program_pid=
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
}

# --- The steps --------------------------------------------------------------------------------

# Under Wine: saving through the system's dialog, its refusals and the editor's, System Info.
windows_steps() {
    begin "edit, File > Save as"
    cp "$data/full.str" "$work/saved.str"
    keys_to "$main_title" key ctrl+a
    keys_to "$main_title" type "tilf 3.25"
    menu f s
    keys_to "$save_dialog_title" key Return
    await "data/player.str in my setup" cmp -s "$work/set-ups/my setup" "$data/player.str"
    local name
    for name in plainname dotted.txt saved.str; do
        menu f s
        answer_file_dialog "$save_dialog_title" "$work/$name"
        await "data/player.str in $name" cmp -s "$work/$name" "$data/player.str"
        no_file_but "$name"
    done

    begin "File > Open and Save as of a file picked from the list"
    cp "$data/full.str" "$work/other.str"
    sed 's/tilf 4.5/tilf picked/' "$data/full.str" >"$work/picked.str"
    menu f o
    pick_in_file_dialog "$open_dialog_title" saved.str picked
    expect_box_text "tilf picked"
    keys_to "$main_title" key ctrl+a
    keys_to "$main_title" type "tilf 3.25"
    menu f s
    pick_in_file_dialog "$save_dialog_title" picked.str other
    await "data/player.str in other.str" cmp -s "$work/other.str" "$data/player.str"
    grep -q "tilf picked" "$work/picked.str" || fail "Save as wrote picked.str, not the file picked"
    no_file_but other.str

    begin "File > Save as into a missing folder, File > Open of a missing file"
    menu f s
    type_into_file_dialog "$save_dialog_title" "$work/no such folder/saved.str"
    # Wine's dialog leaves its own message untitled.
    await "the file dialog's own message" titled_windows_are "" 1
    keys_to "" key Return
    await "the file dialog's message to close" titled_windows_are "" 0
    keys_to "$save_dialog_title" key Escape
    await "the file dialog to close" window_gone "$save_dialog_title"
    menu f o
    answer_file_dialog "$open_dialog_title" "$work/no such file"
    local message=${CannotOpen/\%1/"$(native_path "$work/no such file")"} # up to the reason
    keys_to "$ApplicationTitle" key ctrl+c # as Windows copies a message box's text
    await "the message \"${message%%%2*}\"" message_says "${message%%%2*}"
    keys_to "$ApplicationTitle" key Return
    await "the message box to close" window_gone "$ApplicationTitle"
    expect_box_text "tilf 3.25"

    begin "Help > About, System Info"
    mkdir "$work/system tools"
    cp "$marker" "$work/system tools/msinfo.exe"
    wine reg add "HKLM\\$SysInfoKey" /v "$SysInfoValue" /t REG_SZ \
        /d "$(native_path "$work/system tools/msinfo.exe")" /f >"$work/wine.log" 2>&1 ||
        fail "could not name the marker in the registry: $(cat "$work/wine.log")"
    menu h Return # its one command, which has no access key
    keys_to "$AboutCaption" key alt+s
    await "the program the registry names to run" test -e "$work/system tools/msinfo.exe.ran"
    keys_to "$AboutCaption" key Escape
    await "the About box to close" window_gone "$AboutCaption"
}

start_display
started=$SECONDS
marker=
[ "$mode" != wine ] || marker=$(realpath "$3")
setup_file="$work/set-ups/my setup" # no extension, outside the working folder
mkdir "$work/set-ups"
cp "$data/full.str" "$setup_file"
start_program
await "main window" find_window "$main_title"

begin "File > Open"
menu f o
answer_file_dialog "$open_dialog_title" "$setup_file"
expect_box_text "tilf 4.5"
[ "$mode" != wine ] || windows_steps

begin "File > Quit"
menu f q
wait_for_exit
begin done
echo "PASS: the player's steps, $mode, in $((SECONDS - started)) s"
