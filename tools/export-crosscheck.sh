#!/bin/bash
# Cross-checks the program's picture exports against outside readers: the
# application tests write the EMF, BMP and GIF of one equation under Wine,
# then Pillow and ImageMagick read the BMP and GIF (size, and the GIF equals
# the BMP reduced to the standard palette), and LibreOffice converts the EMF
# to PNG. A missing tool is a failure, not a skip.
# Usage: export-crosscheck.sh PATH/TO/app_tests.exe [FOLDER TO KEEP THE FILES IN]
set -u
EXE=$(realpath "$1")
KEEP=${2:-}
HERE=$(cd "$(dirname "$0")" && pwd)
PY=/usr/bin/python3
IDENTIFY=/usr/bin/identify-im6.q16
[ -x "$IDENTIFY" ] || IDENTIFY=/usr/bin/identify
for tool in "$IDENTIFY" soffice; do
  command -v "$tool" >/dev/null || { echo "MISSING TOOL: $tool (see tools/packages-*.txt)"; exit 1; }
done
$PY -c 'import PIL' 2>/dev/null || { echo "MISSING: python3-pil for $PY"; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
mkdir out

# Wine sees the Linux root as drive Z:.
OVELIN_EXPORT_DIR="Z:$(printf '%s' "$WORK/out" | tr / '\\')" \
  "$HERE/wine-run" "$EXE" --gtest_filter=Pictures.WritesExportsForOutsideReaders >run.log 2>&1 ||
  { cat run.log; echo "FAIL: the exports were not written"; exit 1; }
for f in eq.emf eq.bmp eq.gif eq-reduced.bmp sizes.txt; do
  [ -s "out/$f" ] || { cat run.log; echo "FAIL: out/$f was not written"; exit 1; }
done
read -r width height extentWidth extentHeight <out/sizes.txt
failures=0
fail() { failures=$((failures + 1)); echo "FAIL $*"; }

for f in eq.bmp eq.gif; do
  size=$("$IDENTIFY" -format '%w %h' "out/$f" 2>&1)
  [ "$size" = "$width $height" ] || fail "imagemagick $f: $size, not $width $height"
done

$PY - "$width" "$height" "$extentWidth" "$extentHeight" <<'PYEOF' || failures=$((failures + 1))
import struct, sys
from PIL import Image
width, height, extent_width, extent_height = map(int, sys.argv[1:])
bad = []
bmp, gif, reduced = (Image.open('out/' + n) for n in ('eq.bmp', 'eq.gif', 'eq-reduced.bmp'))
for name, image in (('bmp', bmp), ('gif', gif)):
    if image.size != (width, height):
        bad.append('pillow %s: %s, not %s' % (name, image.size, (width, height)))
if gif.format != 'GIF' or bmp.format != 'BMP':
    bad.append('formats %s %s' % (bmp.format, gif.format))
if list(gif.convert('RGB').getdata()) != list(reduced.convert('RGB').getdata()):
    bad.append('the GIF is not the standard-palette reduction of the BMP')
rgb = bmp.convert('RGB')
if rgb.getpixel((0, 0)) != (255, 255, 255):
    bad.append('BMP corner is %s, not white' % (rgb.getpixel((0, 0)),))
if all(p == (255, 255, 255) for p in rgb.getdata()):
    bad.append('the BMP shows nothing')
emf = open('out/eq.emf', 'rb').read()
frame = struct.unpack_from('<4i', emf, 24)
if emf[40:44] != b' EMF' or frame != (0, 0, extent_width, extent_height):
    bad.append('EMF frame %s, not %s' % (frame, (0, 0, extent_width, extent_height)))
for b in bad:
    print('FAIL', b)
sys.exit(1 if bad else 0)
PYEOF

# LibreOffice converts the EMF; the picture must show something.
if timeout 120 soffice -env:UserInstallation="file://$WORK/profile" --headless \
     --convert-to png --outdir png out/eq.emf >soffice.log 2>&1 && [ -s png/eq.png ]; then
  $PY -c "
import sys
from PIL import Image
rgb = Image.open('png/eq.png').convert('RGB')
sys.exit(0 if any(p != (255, 255, 255) for p in rgb.getdata()) else 1)" ||
    fail "the EMF converted by LibreOffice shows nothing"
else
  cat soffice.log
  fail "LibreOffice did not convert the EMF"
fi

if [ -n "$KEEP" ]; then cp out/* png/* "$KEEP"/ 2>/dev/null; fi
echo "export cross-check: $failures failures (${width}x${height} pixels, extent ${extentWidth}x${extentHeight})"
[ "$failures" -eq 0 ]
