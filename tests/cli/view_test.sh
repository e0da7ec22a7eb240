#!/bin/sh
# `kestrel view` end to end on Xvfb: opens the demo, works it with the mouse and
# the keys through xdotool, saves frames with F12, and compares each with what
# `kestrel render` draws at the same camera: the same code on the same Mesa
# gives the same pixels. Leaves WORKDIR/window.png, a picture of the window.
#   view_test.sh KESTREL WORKDIR
set -e
kestrel=$1 work=$2
# Always on a display of its own: the test takes the pointer and the keyboard.
if [ -z "$VIEW_TEST_ON_XVFB" ]; then
    VIEW_TEST_ON_XVFB=1 exec "$(dirname "$0")/../../scripts/xsession" --own-display --no-wine \
        sh "$0" "$@"
fi
for tool in xdotool import compare; do
    command -v "$tool" >/dev/null ||
        { echo "view_test: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done
rm -rf "$work"
mkdir -p "$work"
cd "$work"
"$kestrel" make-sample demo >/dev/null
model=demo/kestrel-demo.model

# The X and GLX libraries keep what they allocate until the process ends; a
# leak check of a sanitized build would count it.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$kestrel" view "$model" 2>view.log &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT INT TERM
window=""
for _ in $(seq 1 100); do
    window=$(xdotool search --name "^Kestrel Viewer - $model\$" 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    cat view.log >&2
    echo "view_test: no window" >&2
    exit 1
fi
sleep 0.5
# Without a window manager the keys go to the window under the pointer.
xdotool mousemove --window "$window" 320 240
sleep 0.2

# Each step: what the user does, then the render options that draw the frame
# saved after it (the switches stay as the earlier steps left them).
step() {
    shift_done=$1
    shift
    sleep 0.3
    xdotool key F12
    sleep 0.5
    "$kestrel" render "$model" -o "render-$shift_done.png" "$@" >/dev/null
}
# A left drag 40 pixels to the right turns the model 20 degrees; B and A show
# the box and hide the axes.
xdotool mousedown 1
sleep 0.2
xdotool mousemove --window "$window" 360 240
sleep 0.2
xdotool mouseup 1 key b a
step 1 --rotate 0,20 --bbox --no-axes
import -window "$window" window.png
# Home puts the camera back; T hides the textures; two notches of the wheel
# bring the model two units closer.
xdotool key Home t click 4 click 4
step 2 --bbox --no-axes --no-textures --zoom -53
xdotool key q
wait "$pid"
trap - EXIT INT TERM

status=0
for n in 1 2; do
    shot=$(printf 'kestrel-view-%03d.png' "$n")
    if [ ! -f "$shot" ]; then
        echo "view_test: frame $n was not saved" >&2
        cat view.log >&2
        exit 1
    fi
    differ=$(compare -metric AE "$shot" "render-$n.png" null: 2>&1 || true)
    echo "frame $n: $differ pixels differ from kestrel render"
    [ "$differ" = "0" ] || status=1
done
grep -q "saved the frame as kestrel-view-001.png" view.log ||
    { echo "view_test: the saved frame was not announced" >&2; status=1; }
exit $status
