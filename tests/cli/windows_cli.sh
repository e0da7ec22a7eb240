#!/bin/sh
# kestrel.exe under Wine against the Linux kestrel, word for word the same
# commands, run in a folder whose name is not ASCII: the same output bytes,
# the same files and the same exit status; render's picture within one step of
# a colour channel (two OpenGL implementations round differently).
#   windows_cli.sh KESTREL.exe LINUX_KESTREL WORKDIR
set -e
windows=$1 linux=$2 work=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/wine-env"
if [ ! -x "$linux" ]; then
    echo "windows_cli: $linux is missing: build the native-release preset first" >&2
    exit 1
fi

here="$work/Modèle ñandú 模型"
rm -rf "$work"
mkdir -p "$here"
cd "$here"
"$linux" make-sample demo >/dev/null
head -c 20000 demo/kestrel-demo.model >demo/cut.model

failures=0
# One command on both; $1 names the run, the rest are the words.
both() {
    name=$1
    shift
    mkdir -p "w/$name" "l/$name"
    set +e
    (cd "w/$name" && "$wine" "$windows" "$@" >out 2>err)
    echo $? >"w/$name/status"
    (cd "l/$name" && "$linux" "$@" >out 2>err)
    echo $? >"l/$name/status"
    set -e
    if ! diff -r "w/$name" "l/$name" >/dev/null; then
        echo "windows_cli: kestrel $* differs:"
        diff -r "w/$name" "l/$name" | head -n 20
        failures=$((failures + 1))
    fi
}

d=../../demo
both identify identify $d/kestrel-demo.model $d/kestrel-demo- $d/kestrel-demo.points missing
both info-model info $d/kestrel-demo.model
both info-json info --json $d/kestrel-demo-
both info-points info $d/kestrel-demo.points
both check check $d/kestrel-demo.model $d/kestrel-demo- $d/kestrel-demo.points $d/cut.model
both check-json check --json $d/cut.model
both dump-header dump $d/kestrel-demo.model
for block in 2 3 4 5 6 8 10 19 20 21 22 23 24 25 26 27; do
    both "dump-$block" dump $d/kestrel-demo.model --block $block --set 1
done
both textures textures $d/kestrel-demo.model -o pictures --levels
both pack pack $d/kestrel-demo- ../textures/pictures -o new-
both export-glb export $d/kestrel-demo.model -o demo.glb
both export-gltf export $d/kestrel-demo.model -o gltf/demo.gltf
both export-points export $d/kestrel-demo.points -o points.glb
both make-sample make-sample ./sample
both folder-check check $d -j 2
both folder-export export $d -o ./models -j 2
both folder-textures textures $d -o ./pictures
both usage render $d/kestrel-demo.model -o demo.jpg
both refused textures $d/kestrel-demo.points -o nothing

# The picture: no pixel more than one step away in any channel.
mkdir -p w/render l/render
(cd w/render && "$wine" "$windows" render $d/kestrel-demo.model -o demo.png >/dev/null)
(cd l/render && "$linux" render $d/kestrel-demo.model -o demo.png >/dev/null)
# Pictures of a folder, on two threads, each with its own context.
(cd w/render && "$wine" "$windows" render $d -o folder -j 2 >/dev/null)
[ -f w/render/folder/kestrel-demo.png ] && [ -f w/render/folder/cut.png ] ||
    { echo "windows_cli: render of a folder wrote no pictures"; failures=$((failures + 1)); }
far=$(compare -metric AE -fuzz 0.5% w/render/demo.png l/render/demo.png null: 2>&1 || true)
near=$(compare -metric AE w/render/demo.png l/render/demo.png null: 2>&1 || true)
echo "render: $near of 307200 pixels differ, $far by more than one step"
if [ "$far" != 0 ]; then
    failures=$((failures + 1))
fi

if [ "$failures" -ne 0 ]; then
    echo "windows_cli: $failures runs differ" >&2
    exit 1
fi
echo "windows_cli: kestrel.exe and kestrel agree"
