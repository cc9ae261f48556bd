#!/usr/bin/env bash
# The editor as a native Wayland client (Qt's wayland platform) of a real compositor, a headless
# Weston in a runtime folder of its own: test_form1 there (the main window, the About box modal
# over it, Open and Save as through Qt's dialog), then the editor's window on the screen, kept as
# wayland.png in the working folder.
#     wayland.sh TEST_FORM1 RIGTUNE
set -euo pipefail
test_form1=$1 rigtune=$2

export XDG_RUNTIME_DIR WAYLAND_DISPLAY=wayland-rigtune QT_QPA_PLATFORM=wayland
XDG_RUNTIME_DIR=$(mktemp -d)
weston_pid='' editor_pid=''
finish() {
    local pid
    for pid in $editor_pid $weston_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$XDG_RUNTIME_DIR"
}
trap finish EXIT

# Weston draws nothing headless unless given a renderer, and lets weston-screenshooter take the
# screen only with --debug.
weston --backend=headless-backend.so --use-pixman --debug --socket="$WAYLAND_DISPLAY" \
    --idle-time=0 --log="$XDG_RUNTIME_DIR/weston.log" &
weston_pid=$!
for _ in $(seq 100); do
    [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break
    sleep 0.1
done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || { cat "$XDG_RUNTIME_DIR/weston.log"; exit 1; }

# A headless Weston has no seat to type on, and Qt 6.4's Wayland text input then crashes at the
# first key; a desktop has one. No input method is needed for the keys the test sends.
export QT_IM_MODULE=none
"$test_form1"

# The window is on the screen once the compositor has drawn a frame of it: a frame callback's
# answer after its first buffer.
WAYLAND_DEBUG=client "$rigtune" 2>"$XDG_RUNTIME_DIR/editor.log" &
editor_pid=$!
shown() { sed -n '/attach(wl_buffer/,$p' "$XDG_RUNTIME_DIR/editor.log" | grep -q 'wl_callback@.*done'; }
for _ in $(seq 100); do
    shown && break
    sleep 0.1
done
shown || { echo "the editor showed no window on Weston" >&2; exit 1; }
(cd "$XDG_RUNTIME_DIR" && weston-screenshooter)
mv "$XDG_RUNTIME_DIR"/wayland-screenshot-*.png wayland.png
echo "The editor on Weston: $PWD/wayland.png"
