#!/bin/sh
# The real viewer end to end, under Wine on the current X display: opens the demo
# model with keystrokes through the menu and the file dialog, holds arrow keys,
# and looks at the screenshots: the model appears, then the picture moves.
#   viewer_e2e.sh VIEWER.exe MAKE_DEMO.exe WORKDIR
set -e
viewer=$1 make_demo=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
for tool in xdotool import identify compare winepath; do
    command -v "$tool" >/dev/null ||
        { echo "viewer_e2e: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"

rm -rf "$work"
mkdir -p "$work/demo"
/usr/lib/wine/wine64 "$make_demo" "$(winepath -w "$work/demo")" >/dev/null
"$root/scripts/viewer-session" "$viewer" "$work/demo/kestrel-demo.model" "$work" --keys

# The middle of the window is the middle of the view.
middle() {
    size=$(identify -format '%w %h' "$1")
    w=${size% *} h=${size#* }
    echo "$1[$((w / 2))x$((h / 2))+$((w / 4))+$((h / 4))]"
}
mean() {
    identify -format '%[fx:mean]' "$(middle "$1")"
}
started=$(mean "$work/started.png")
opened=$(mean "$work/opened.png")
# Pixels that differ by more than a little between the two pictures.
moved=$(compare -metric AE -fuzz 10% "$(middle "$work/opened.png")" \
    "$(middle "$work/moved.png")" null: 2>&1 || true)
size=$(identify -format '%w %h' "$work/opened.png")
area=$(( (${size% *} / 2) * (${size#* } / 2) ))
echo "mean brightness before $started, with the model $opened; $moved of $area pixels moved"

awk -v a="$started" -v b="$opened" -v m="$moved" -v n="$area" 'BEGIN {
    fail = 0
    if (a > 0.02) { print "before opening, the view shows more than the axes"; fail = 1 }
    if (b < 0.06) { print "the model does not show"; fail = 1 }
    if (m < n / 20) { print "the arrow keys did not move the picture"; fail = 1 }
    exit fail
}'
