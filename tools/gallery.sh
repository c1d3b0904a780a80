#!/bin/bash
# Renders every case of tests/render/cases.txt with the Windows build of
# eqprobe (under Wine) and puts them on one labelled PNG sheet:
#   build/gallery/sheet.png
# Usage: tools/gallery.sh [CASES]   (build the Windows tree first)
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cases=${1:-$repo/tests/render/cases.txt}
out=$repo/build/gallery
probe=$repo/build/bin/eqprobe.exe
[ -x "$probe" ] || { echo "gallery: build the Windows tree first ($probe missing)" >&2; exit 1; }
rm -rf "$out"
mkdir -p "$out/bmp"
# Wine takes Windows paths; the Z: drive maps the Linux root.
"$repo/tools/wine-run" "$probe" gallery "Z:$cases" "Z:$out/bmp"
# Each picture with its name under it, then all of them in file order.
mkdir -p "$out/png"
n=0
# Nameless lines are further lines of the case above.
grep -av '^[[:space:]]*\(#\|$\)' "$cases" | cut -d'|' -f1 | while read -r name; do
    [ -n "$name" ] || continue
    n=$((n + 1))
    convert "$out/bmp/$name.bmp" -bordercolor '#dddddd' -border 1 \
        \( -background white -fill '#333333' -pointsize 12 label:"$name" \) \
        -gravity center -background white -append "$out/png/$(printf '%03d' $n)_$name.png"
done
montage "$out"/png/*.png -tile 5x -geometry '+10+8' -background white "$out/sheet.png"
echo "gallery: $(ls "$out"/bmp | wc -l) cases on $out/sheet.png"
