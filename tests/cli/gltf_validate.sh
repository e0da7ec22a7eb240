#!/bin/sh
# Exports the demo model, its point dump and the every-kind model as .glb and
# .gltf, and the demo without textures, then runs the Khronos glTF validator
# on each: any error or warning fails.
#   sh gltf_validate.sh KESTREL WRITE_EVERY_KIND VALIDATE_JS OUTDIR
set -e
kestrel=$1
write_every_kind=$2
validate=$3
out=$4
rm -rf "$out"
mkdir -p "$out"
"$kestrel" make-sample "$out" >/dev/null
every=$("$write_every_kind" "$out")
for format in glb gltf; do
    "$kestrel" export "$out/kestrel-demo.model" -o "$out/demo.$format" >/dev/null
    "$kestrel" export "$out/kestrel-demo.points" -o "$out/points.$format" >/dev/null
    "$kestrel" export "$every" -o "$out/every-kind.$format" >/dev/null
done
"$kestrel" export "$out/kestrel-demo.model" -o "$out/demo-untextured.glb" --no-textures >/dev/null
node "$validate" "$out"/*.glb "$out"/*.gltf
