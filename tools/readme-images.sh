#!/bin/bash
# Draws the README's example pictures with the Windows build's eqprobe (as
# the view draws them, at 96 dpi) and writes them, trimmed and with every
# pixel doubled, as PNG files into docs/images/. Build the Windows tree first.
# Usage: tools/readme-images.sh
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
probe=$repo/build/bin/eqprobe.exe
out=$repo/docs/images
[ -x "$probe" ] || { echo "readme-images: build the Windows tree first ($probe missing)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# name | equation text, one picture each.
while IFS='|' read -r name text; do
  name=${name%% *}
  text=${text# }
  "$repo/tools/wine-run" "$probe" render "$text" "$work/$name.bmp"
  convert "$work/$name.bmp" -trim +repage -bordercolor white -border 6 -scale 200% \
    -strip -define png:exclude-chunks=date,time "$out/$name.png"
done <<'EOF'
quadratic | x=(-b+-sqrt(b^2-4ac))/(2a)
nested-fraction | 1/(1+1/x)
kinetic-energy | E\k=1/2 m v^2
angles | al+be+ga=180o
integral | int(0,1)x^2 dx=1/3
sum | sigma(k=1,n)k=(n(n+1))/2
limit | lim(x->0)(sin x)/x=1
cube-root | 3root8=2
matrix | (1,3 2,4)
v2-over-r | v^2/r
v2-over-r-fixed | (v^2)/r
water | H\2O
water-fixed | H\2 O
x2dx | int x^2dx
x2dx-fixed | int x^2 dx
one-third | 2x+1/3
one-third-fixed | (2x+1)/3
f-of-x-y | f(x,y)
f-of-x-y-fixed | f(x"," y)
EOF
echo "readme-images: $(ls "$out" | wc -l) pictures in $out"
