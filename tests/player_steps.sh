#!/usr/bin/env bash
# The editor used as a player uses it, by key presses on a private X display, with the same steps
# and the same expected outcome for the Linux build and for the Windows build under Wine:
#
#   player_steps.sh linux PROGRAM               the Linux build on the xcb platform
#   player_steps.sh wine RIGTUNE_EXE MARKER_EXE the Windows build's ready-to-run folder under Wine,
#       in a prefix of its own; MARKER_EXE stands in for the program System Info starts
#
# The steps: File > Open of a set-up file (no extension, outside the working folder), its path
# typed into the file dialog, and the values are shown; an edit typed into a box; File > Save as
# to the name offered, the file opened, and to names typed with no extension, another one and
# .str (an existing file): each so named, and no other, must hold exactly data/player.str, replaced
# without a question; File > Save as into a missing folder and File > Open of a missing file,
# each refused with a message, and the editor goes on; Help > About at its size, and its System
# Info; File > Quit.
#
#   player_steps.sh wine-print RIGTUNE_EXE SETUP_FILE
# File > Open of the file, File > Print and File > Quit under Wine, for cups_print.sh: writes the
# message shown, if any, as "message: TEXT" and exits 2 after one, 0 without.
#
# What is seen from outside: window titles and sizes (xdotool), and a box's text copied with
# Ctrl+C (xclip). Each wait is bounded. The program's texts come from RIGTUNE_TEXTS (the build's
# texts.sh). Needs xdotool, xclip and Xvfb; Wine for the second form.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
source "$RIGTUNE_TEXTS"

mode=$1
platform=${mode%-print}
program=$(realpath "$2")
data=$(realpath "$(dirname "$0")/data")
wait_seconds=30

work=$(mktemp -d "/tmp/player steps.XXXXXX") # a blank in every path the steps type
program_pid=
step=start
step_started=$SECONDS

on_fail() {
    echo "--- in the step: $step"
    echo "--- windows on the display:"
    list_windows || true
    echo "--- the clipboard: \"$(xclip -o -selection clipboard 2>/dev/null)\""
    if command -v import >/dev/null; then
        local shot
        shot=$(mktemp /tmp/player-steps-failure.XXXXXX.png)
        import -window root "$shot" && echo "--- the screen: $shot"
    fi
}

cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    stop_display
    rm -rf "$work"
}
trap cleanup EXIT

# --- What differs between the platforms -----------------------------------------------------

# The path as the program's file dialog takes it.
native_path() {
    if [ "$platform" = wine ]; then
        wine_path "$1"
    else
        printf '%s' "$1"
    fi
}

# The file dialogs' titles: Qt's own dialog names its task; Wine's system dialog, as Qt opens it,
# has none.
open_dialog_title=Open
save_dialog_title="Save As"
if [ "$platform" = wine ]; then
    open_dialog_title=
    save_dialog_title=
fi

# Starts the editor in the background, in the work folder.
start_program() {
    if [ "$platform" = wine ]; then
        start_wine
        (cd "$work" && exec wine "$program") >"$work/program.log" 2>&1 &
    else
        (cd "$work" && QT_QPA_PLATFORM=xcb exec "$program") >"$work/program.log" 2>&1 &
    fi
    program_pid=$!
}

# A prefix of its own without Wine's virtual desktop: each window is then a window of the X
# display, with its title and size, as under a Linux desktop. The registry names the marker as
# the system-information program.
start_wine() {
    export WINEPREFIX=$work/wineprefix
    wine_prefix "$WINEPREFIX" --linger 2
    [ -n "$marker" ] || return 0
    mkdir -p "$work/system tools"
    cp "$marker" "$work/system tools/msinfo.exe"
    wine reg add "HKLM\\$SysInfoKey" /v "$SysInfoValue" /t REG_SZ \
        /d "$(native_path "$work/system tools/msinfo.exe")" /f >"$work/wine.log" 2>&1 ||
        fail "could not name the marker in the registry: $(cat "$work/wine.log")"
}

# System Info: under Windows it starts what the registry names; elsewhere it says it cannot.
check_sysinfo() {
    if [ "$platform" = wine ]; then
        await "the program the registry names to run" test -e "$work/system tools/msinfo.exe.ran"
    else
        dismiss_message "$SysInfoUnavailable"
    fi
}

# Save as into a folder that does not exist. Qt's dialog takes the path, and the editor says it
# cannot save there. The system's dialog on Windows refuses the path with a message box of its own
# (untitled, as the dialog), which is answered; then the dialog is cancelled.
refused_save_as() {
    if [ "$platform" = wine ]; then
        type_into_file_dialog "" "$1"
        await "the file dialog's own message" untitled_windows_are 2
        keys_to "" key Return
        await "the file dialog's message to close" untitled_windows_are 1
        keys_to "" key Escape
        await "the file dialog to close" untitled_windows_are 0
    else
        answer_file_dialog "$save_dialog_title" "$1"
        dismiss_message "$(message "$CannotSave" "$1")"
    fi
}
untitled_windows_are() { [ "$(find_windows '' | wc -l)" -eq "$1" ]; }

# --- Seeing and driving the windows -----------------------------------------------------------

list_windows() {
    local window
    for window in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        xprop -id "$window" WM_CLASS 2>/dev/null | grep -qi rigtune || continue
        echo "  \"$(xdotool getwindowname "$window")\" $(xdotool getwindowgeometry "$window" |
            sed -n 's/.*Geometry: //p')"
    done
}

# The visible windows of the program with exactly this title: the program's own (Wine keeps
# untitled windows of its own on the display), and not menus or tooltips, which bypass the window
# manager. find_window: the first of them.
find_windows() {
    local window
    for window in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        xprop -id "$window" WM_CLASS 2>/dev/null | grep -qi rigtune || continue
        xwininfo -id "$window" 2>/dev/null | grep -q 'Override Redirect State: no' || continue
        echo "$window"
    done
}
find_window() {
    local windows
    windows=$(find_windows "$1")
    [ -n "$windows" ] && echo "${windows%%$'\n'*}"
}

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

window_gone() { ! find_window "$1"; }

# Gives the keyboard to the window with this title, once it is up, and presses the keys.
keys_to() {
    local title=$1 window
    shift
    await "window \"$title\"" find_window "$title"
    window=$(find_window "$title") && xdotool windowfocus --sync "$window" ||
        fail "could not give the keyboard to \"$title\""
    xdotool "$@" || fail "xdotool $* failed"
}

clipboard_is() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ]; }

# The text of the box that has the focus in the main window, copied as a player would.
expect_box_text() {
    keys_to "$main_title" key ctrl+a ctrl+c
    await "\"$1\" in the box" clipboard_is "$1"
}

# A message box is up: its text is checked where Qt lets it be copied (Windows), then it is
# answered with Enter.
dismiss_message() {
    await "message box" find_window "$ApplicationTitle"
    if [ "$platform" = wine ]; then
        keys_to "$ApplicationTitle" key ctrl+c
        await "the message \"$1\"" message_says "$1"
    fi
    keys_to "$ApplicationTitle" key Return
    await "the message box to close" window_gone "$ApplicationTitle"
}
message_says() { xclip -o -selection clipboard 2>/dev/null | grep -qF -- "$1"; }

# Picks a menu's command by its access keys, the second once the menu is open.
menu() {
    keys_to "$main_title" key "alt+$1"
    await "the menu" popup_shown
    xdotool key "$2" || fail "xdotool key $2 failed"
}
# A menu of the program is open: a window of its own that bypasses the window manager.
popup_shown() {
    local window
    for window in $(xdotool search --onlyvisible --classname rigtune 2>/dev/null); do
        xwininfo -id "$window" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
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

# Prints how long the step before took, and names the next one.
begin() {
    echo "  $step: $((SECONDS - step_started)) s"
    step=$1
    step_started=$SECONDS
}

# --- The steps --------------------------------------------------------------------------------

main_title=$MainWindowTitle

# message TEMPLATE PATH: the start of a file message about the path, up to its reason.
message() {
    local text=${1/\%1/"$(native_path "$2")"}
    printf '%s' "${text%%%2*}"
}

# File > Print, then File > Quit. The File menu opens again once printing is done, unless a
# message box is in the way, which then says what happened.
print_steps() {
    local setup_file
    setup_file=$(realpath "$1")
    begin "File > Open"
    menu f o
    answer_file_dialog "$open_dialog_title" "$setup_file"
    begin "File > Print"
    menu f p
    keys_to "$main_title" key alt+f
    await "the File menu or a message" menu_or_message
    if find_window "$ApplicationTitle" >/dev/null; then
        keys_to "$ApplicationTitle" key ctrl+c
        await "the message's text" message_says "-----"
        # The box's text as Windows copies it: title, text and buttons between lines of dashes.
        echo "message: $(xclip -o -selection clipboard | tr -d '\r' |
            awk '/^-+$/ { n++; next } n == 2')"
        keys_to "$ApplicationTitle" key Return
        menu f q
        wait_for_exit
        exit 2
    fi
    xdotool key q
    wait_for_exit
}
menu_or_message() { popup_shown || find_window "$ApplicationTitle"; }

# The player's steps on a set-up file of the tests.
player_steps() {
    mkdir "$work/set-ups"
    cp "$data/full.str" "$work/set-ups/my setup"
    cp "$data/full.str" "$work/saved.str"

    begin "File > Open"
    menu f o
    answer_file_dialog "$open_dialog_title" "$work/set-ups/my setup"
    expect_box_text "tilf 4.5"

    begin "edit, File > Save as"
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
        ! compgen -G "$work/$name.*" >/dev/null ||
            fail "Save as wrote $(compgen -G "$work/$name.*")"
    done

    begin "File > Save as into a missing folder, File > Open of a missing file"
    menu f s
    refused_save_as "$work/no such folder/saved.str"
    menu f o
    answer_file_dialog "$open_dialog_title" "$work/no such file"
    dismiss_message "$(message "$CannotOpen" "$work/no such file")"
    expect_box_text "tilf 3.25"

    begin "Help > About"
    menu h Return # its one command, which has no access key
    await "About box" find_window "$AboutCaption"
    local size
    size=$(xdotool getwindowgeometry "$(find_window "$AboutCaption")" |
        sed -n 's/.*Geometry: //p')
    [ "$size" = 391x237 ] || fail "the About box is $size, not 391x237"

    begin "System Info"
    keys_to "$AboutCaption" key alt+s
    check_sysinfo
    keys_to "$AboutCaption" key Escape
    await "the About box to close" window_gone "$AboutCaption"

    begin "File > Quit"
    menu f q
    wait_for_exit
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

start_display
started=$SECONDS
marker=
[ "$mode" = wine ] && marker=$(realpath "$3")
start_program
await "main window" find_window "$main_title"
if [ "$mode" = wine-print ]; then
    print_steps "$3"
else
    player_steps
fi
begin done
echo "PASS: the player's steps on $platform in $((SECONDS - started)) s"
