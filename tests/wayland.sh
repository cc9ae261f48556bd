#!/usr/bin/env bash
# test_form1 with Qt's wayland platform on a headless Weston of its own, then the editor's window
# there, kept as wayland.png in the working folder.
#     wayland.sh TEST_FORM1 RIGTUNE
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
export XDG_RUNTIME_DIR WAYLAND_DISPLAY=wayland-rigtune QT_QPA_PLATFORM=wayland
XDG_RUNTIME_DIR=$(mktemp -d)
pids=()
finish() {
    kill "${pids[@]}" 2>/dev/null || true
    wait
    rm -rf "$XDG_RUNTIME_DIR"
}
trap finish EXIT

# A renderer, or headless Weston draws nothing; --debug lets weston-screenshooter take the screen.
weston --backend=headless-backend.so --use-pixman --debug --socket="$WAYLAND_DISPLAY" \
    --idle-time=0 --log="$XDG_RUNTIME_DIR/weston.log" &
pids+=($!)
wait_for 10 "Weston's socket" test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"

# Without a seat, which a headless Weston lacks, Qt 6.4's Wayland text input crashes at the first
# key; the keys the test sends need no input method.
export QT_IM_MODULE=none
"$1"

# On the screen once Weston has drawn a frame of it: a frame callback answered after a buffer.
WAYLAND_DEBUG=client "$2" 2>"$XDG_RUNTIME_DIR/editor.log" &
pids+=($!)
drawn() {
    sed -n '/attach(wl_buffer/,$p' "$XDG_RUNTIME_DIR/editor.log" | grep -q 'wl_callback.*done'
}
wait_for 10 "window of the editor on Weston" drawn
(cd "$XDG_RUNTIME_DIR" && weston-screenshooter)
mv "$XDG_RUNTIME_DIR"/wayland-screenshot-*.png wayland.png
echo "The editor on Weston: $PWD/wayland.png"
