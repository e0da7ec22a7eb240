#!/bin/sh
# The real viewer end to end, under Wine on the current X display: opens the demo
# model with keystrokes through the menu and the file dialog and holds arrow
# keys; then starts it with the model on its command line and drags with the
# mouse; and looks at the screenshots: the model appears, then the picture moves.
# Then File > Export as glTF and File > Save Picture through the save dialogs:
# the model is what kestrel.exe (beside the viewer) exports and passes the glTF
# validator, the picture is the view as the screen shows it.
#   viewer_e2e.sh VIEWER.exe MAKE_DEMO.exe WORKDIR VALIDATE_JS
set -e
viewer=$1 make_demo=$2 work=$3 validate=$4
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
for tool in xdotool import identify compare winepath node; do
    command -v "$tool" >/dev/null ||
        { echo "viewer_e2e: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done
. "$root/scripts/wine-env"

rm -rf "$work"
mkdir -p "$work/demo" "$work/mouse" "$work/export"
"$wine" "$make_demo" "$(winepath -w "$work/demo")" >/dev/null
"$root/scripts/viewer-session" "$viewer" "$work/demo/kestrel-demo.model" "$work" --keys
# Started with the model on its command line, then turned with the mouse.
"$root/scripts/viewer-session" "$viewer" "$work/demo/kestrel-demo.model" "$work/mouse" --mouse
"$root/scripts/viewer-session" "$viewer" "$work/demo/kestrel-demo.model" "$work/export" --export

# The middle of the window is the middle of the view.
middle() {
    size=$(identify -format '%w %h' "$1")
    w=${size% *} h=${size#* }
    echo "$1[$((w / 2))x$((h / 2))+$((w / 4))+$((h / 4))]"
}
mean() {
    identify -format '%[fx:mean]' "$(middle "$1")"
}
# Pixels that differ by more than a little between two pictures.
differing() {
    compare -metric AE -fuzz 10% "$(middle "$1")" "$(middle "$2")" null: 2>&1 || true
}
started=$(mean "$work/started.png")
opened=$(mean "$work/opened.png")
moved=$(differing "$work/opened.png" "$work/moved.png")
argument=$(mean "$work/mouse/opened.png")
dragged=$(differing "$work/mouse/opened.png" "$work/mouse/dragged.png")
size=$(identify -format '%w %h' "$work/opened.png")
area=$(( (${size% *} / 2) * (${size#* } / 2) ))
echo "mean brightness before $started, with the model $opened, opened from the command line $argument"
echo "$moved of $area pixels moved by the keys, $dragged by the mouse"

awk -v a="$started" -v b="$opened" -v m="$moved" -v c="$argument" -v d="$dragged" -v n="$area" 'BEGIN {
    fail = 0
    if (a > 0.02) { print "before opening, the view shows more than the axes"; fail = 1 }
    if (b < 0.06) { print "the model does not show"; fail = 1 }
    if (m < n / 20) { print "the arrow keys did not move the picture"; fail = 1 }
    if (c < 0.06) { print "the model named on the command line does not show"; fail = 1 }
    if (d < n / 20) { print "the mouse did not turn the picture"; fail = 1 }
    exit fail
}'

# What the File menu wrote.
(cd "$work/demo" && "$wine" "$(dirname "$viewer")/kestrel.exe" export kestrel-demo.model \
    -o ../export/kestrel.glb >/dev/null)
if ! cmp "$work/export/viewer.glb" "$work/export/kestrel.glb"; then
    echo "the viewer's export is not what kestrel.exe exports"
    exit 1
fi
node "$validate" "$work/export/viewer.glb"
# The picture lies inside the screenshot of the frame, exactly.
found=$(compare -metric AE -fuzz 1% -subimage-search "$work/export/shown.png" \
    "$work/export/picture.png" null: 2>&1 || true)
echo "the saved picture within the screenshot: $found differing pixels"
case "$found" in
    "0 @ "*) ;;
    *) echo "the saved picture is not the view as shown"; exit 1 ;;
esac
