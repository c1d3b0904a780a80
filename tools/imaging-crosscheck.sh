#!/bin/bash
# Cross-checks the image library against outside readers and writers
# (giflib, netpbm, ImageMagick, Pillow), by pixels. Fixtures are made here
# from deterministic pictures. A missing tool is a failure, not a skip.
# Usage: imaging-crosscheck.sh PATH/TO/imgconv
set -u
IMGCONV=$1
HERE=$(cd "$(dirname "$0")" && pwd)
PY=/usr/bin/python3
COMPARE="$PY $HERE/imaging-compare.py"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
failures=0
checks=0

# ImageMagick's own program, not a stand-in earlier on PATH.
IM=/usr/bin/convert-im6.q16
[ -x "$IM" ] || IM=/usr/bin/convert
for tool in "$IM" gif2rgb giftopnm gifbuild pamtogif ppmtobmp bmptopnm ppmtopgm pamditherbw \
            pamtotga tgatoppm ppmtopcx pcxtoppm pbmtowbmp wbmptopbm pgmtopbm; do
  command -v "$tool" >/dev/null || { echo "MISSING TOOL: $tool (see tools/packages-imaging.txt)"; exit 1; }
done
$PY -c 'import PIL' 2>/dev/null || { echo "MISSING: python3-pil for $PY"; exit 1; }

# check NAME COMMAND...: runs a command, counts and reports a failure.
check() {
  local name=$1
  shift
  checks=$((checks + 1))
  if ! out=$("$@" 2>&1); then
    failures=$((failures + 1))
    echo "FAIL $name: $out"
  fi
}

# Deterministic sources: a 24-bit picture and its 256- and 2-colour forms.
"$IMGCONV" pattern 61 37 1 ref24.ppm || exit 1
"$IMGCONV" encode ref24.ppm ref8.bmp bmp 8 --ref ref8.ppm || exit 1
"$IMGCONV" encode ref24.ppm ref1.bmp bmp 1 --ref ref1.ppm || exit 1
"$IMGCONV" encode ref24.ppm ref4.bmp bmp 4 --ref ref4.ppm || exit 1

# Our GIF encoders, every compressor and depth, read by giflib, netpbm and Pillow.
for bpp in 1 4 8; do
  for comp in 0 1 2; do
    g=ours-$bpp-$comp.gif
    check "encode $g" "$IMGCONV" encode ref24.ppm $g gif $bpp $comp --ref $g.ppm
    check "gif2rgb $g" sh -c "gif2rgb -1 -o $g.rgb $g && $COMPARE $g.ppm $g.rgb:61x37"
    check "giftopnm $g" sh -c "giftopnm $g > $g.pnm && $COMPARE $g.ppm $g.pnm"
    check "pillow $g" $COMPARE $g.ppm $g
  done
done
# Tiles carry their own tables; gif2rgb paints with one table, so Pillow's
# rendering of the last of the 4 x 3 tiles is the reader here.
check "24-bit tiles" sh -c "'$IMGCONV' encode ref24.ppm tiles.gif gif 24 && $COMPARE ref24.ppm tiles.gif --frame 11"

# Our BMPs and ICOs, read by Pillow, ImageMagick and bmptopnm.
for bpp in 1 4 8 24; do
  b=ours-$bpp.bmp
  check "encode $b" "$IMGCONV" encode ref24.ppm $b bmp $bpp --ref $b.ppm
  check "pillow $b" $COMPARE $b.ppm $b
  check "imagemagick $b" sh -c "'$IM' $b -depth 8 ppm:$b.im.ppm && $COMPARE $b.ppm $b.im.ppm"
  check "bmptopnm $b" sh -c "bmptopnm $b > $b.pnm 2>/dev/null && $COMPARE $b.ppm $b.pnm"
  i=ours-$bpp.ico
  check "encode $i" "$IMGCONV" encode ref24.ppm $i ico $bpp --ref $i.ppm
  check "pillow $i" $COMPARE $i.ppm $i
  check "imagemagick $i" sh -c "'$IM' $i -depth 8 ppm:$i.im.ppm && $COMPARE $i.ppm $i.im.ppm"
done
check "encode alpha ico" "$IMGCONV" encode ref24.ppm ours-32.ico ico 24 --alpha --ref ours-32.ppm
check "pillow alpha ico" $COMPARE ours-32.ppm ours-32.ico

# decoded NAME FILE REF [COMPARE OPTIONS]: our decoder on an outside file against a reference.
decoded() {
  local name=$1 file=$2 ref=$3
  shift 3
  check "$name" sh -c "'$IMGCONV' decode '$file' '$file.ours.ppm' && $COMPARE '$ref' '$file.ours.ppm' $*"
}
# imread FILE: ImageMagick's own reading, for files where it changed colours.
imread() { "$IM" "$1" -depth 8 "ppm:$1.im.ppm"; }

# BMPs from ImageMagick, ppmtobmp and Pillow.
"$IM" ref24.ppm BMP3:im3.bmp && decoded "imagemagick BMP3" im3.bmp ref24.ppm
"$IM" ref24.ppm BMP2:im2.bmp && decoded "imagemagick BMP2" im2.bmp ref24.ppm
"$IM" ref24.ppm im5.bmp && decoded "imagemagick V5" im5.bmp ref24.ppm
"$IM" ref8.ppm -type Palette -compress None BMP3:im8.bmp && imread im8.bmp &&
  decoded "imagemagick 8-bit" im8.bmp im8.bmp.im.ppm
"$IM" ref8.ppm -type Palette -compress RLE BMP3:imrle.bmp && imread imrle.bmp &&
  decoded "imagemagick RLE8" imrle.bmp imrle.bmp.im.ppm
check "RLE8 fixture is compressed" $PY -c "import sys; d=open('imrle.bmp','rb').read(); sys.exit(d[30] != 1)"
"$IM" ref24.ppm -alpha on imalpha.bmp && decoded "imagemagick 32-bit bit fields" imalpha.bmp ref24.ppm
"$IM" ref24.ppm -define bmp:subtype=RGB565 im565.bmp && imread im565.bmp &&
  decoded "imagemagick RGB565 bit fields" im565.bmp im565.bmp.im.ppm --bits 5,6,5
"$IM" ref24.ppm -define bmp:subtype=RGB555 im555.bmp && imread im555.bmp &&
  decoded "imagemagick RGB555" im555.bmp im555.bmp.im.ppm --bits 5,5,5
ppmtobmp -windows ref24.ppm > pw.bmp 2>/dev/null && decoded "ppmtobmp windows" pw.bmp ref24.ppm
ppmtobmp -os2 ref24.ppm > po.bmp 2>/dev/null && decoded "ppmtobmp os2" po.bmp ref24.ppm
ppmtobmp -windows ref8.ppm > p8.bmp 2>/dev/null && decoded "ppmtobmp 8-bit" p8.bmp ref8.ppm
ppmtobmp -os2 ref4.ppm > p4.bmp 2>/dev/null && decoded "ppmtobmp os2 4-bit" p4.bmp ref4.ppm
ppmtobmp -windows ref1.ppm > p1.bmp 2>/dev/null && decoded "ppmtobmp 1-bit" p1.bmp ref1.ppm
$PY - <<'PYEOF'
from PIL import Image
rgb = Image.open('ref24.ppm')
rgb.save('pil24.bmp')
Image.open('ref8.ppm').convert('P', palette=Image.ADAPTIVE, colors=256).save('pil8.bmp')
Image.open('ref1.ppm').convert('1', dither=Image.NONE).save('pil1.bmp')
rgb.convert('RGBA').save('pil32.bmp')
PYEOF
decoded "pillow 24-bit bmp" pil24.bmp ref24.ppm
decoded "pillow 8-bit bmp" pil8.bmp pil8.bmp
decoded "pillow 1-bit bmp" pil1.bmp ref1.ppm
decoded "pillow 32-bit bmp" pil32.bmp ref24.ppm

# GIFs from Pillow (interlaced, transparent, commented, animated), gifbuild and pamtogif.
$PY - <<'PYEOF'
from PIL import Image
p = Image.open('ref8.ppm').convert('P', palette=Image.ADAPTIVE, colors=256)
p.save('pil.gif')
p.save('pil-flat.gif', interlace=False)
p.save('pil-trans.gif', transparency=5, comment=b'made by Pillow for the cross-check')
second = Image.open('ref1.ppm').convert('P', palette=Image.ADAPTIVE, colors=256)
p.save('pil-anim.gif', save_all=True, append_images=[second], duration=50, loop=0)
PYEOF
decoded "pillow gif (interlaced)" pil.gif ref8.ppm
decoded "pillow gif flat" pil-flat.gif ref8.ppm
decoded "pillow gif transparent+comment" pil-trans.gif ref8.ppm
decoded "pillow animated frame 0" pil-anim.gif ref8.ppm
check "pillow animated frame 1" sh -c "'$IMGCONV' decode pil-anim.gif anim1.ppm 1 && $COMPARE anim1.ppm pil-anim.gif --frame 1"
gifbuild -d pil.gif > pil.txt 2>/dev/null && gifbuild pil.txt > gb.gif 2>/dev/null && decoded "gifbuild" gb.gif ref8.ppm
pamtogif ref8.ppm > pt.gif 2>/dev/null && decoded "pamtogif" pt.gif ref8.ppm
pamtogif -interlace ref8.ppm > pti.gif 2>/dev/null && decoded "pamtogif interlaced" pti.gif ref8.ppm
pamtogif -nolzw ref8.ppm > ptn.gif 2>/dev/null && decoded "pamtogif -nolzw" ptn.gif ref8.ppm
pamtogif -transparent=rgb:ff/ff/ff -comment="cross-check" ref8.ppm > ptt.gif 2>/dev/null &&
  decoded "pamtogif transparent+comment" ptt.gif ref8.ppm
pamtogif ref1.ppm > pt1.gif 2>/dev/null && decoded "pamtogif 1-bit" pt1.gif ref1.ppm
pamtogif ref4.ppm > pt4.gif 2>/dev/null && decoded "pamtogif 4-bit" pt4.gif ref4.ppm

# ICOs from ImageMagick and Pillow (bitmap entries), against their own reading.
"$IM" ref24.ppm -resize 48x32! imico.ico && imread imico.ico && decoded "imagemagick ico" imico.ico imico.ico.im.ppm
"$IM" ref8.ppm -resize 32x32! -type Palette imico8.ico && imread imico8.ico &&
  decoded "imagemagick palette ico" imico8.ico imico8.ico.im.ppm
$PY -c "
from PIL import Image
Image.open('ref24.ppm').crop((0, 0, 48, 32)).save('pil.ico', sizes=[(48, 32)], bitmap_format='bmp')
Image.open('ref24.ppm').crop((0, 0, 48, 32)).save('pilref.ppm')"
decoded "pillow ico" pil.ico pilref.ppm

# Our TGAs (ImageMagick's reader keeps a bottom-up file's row order as an
# orientation tag: -auto-orient applies it) and PCXs, read by Pillow,
# ImageMagick and netpbm. ImageMagick reads every one-plane 1-bit PCX with
# its colours swapped (netpbm's own too), so Pillow and pcxtoppm judge those.
for kind in 8 24 32; do
  t=ours-$kind.tga
  if [ $kind = 32 ]; then opts="24 --alpha"; else opts=$kind; fi
  check "encode $t" "$IMGCONV" encode ref24.ppm $t tga $opts --ref $t.ppm
  check "pillow $t" $COMPARE $t.ppm $t
  check "imagemagick $t" sh -c "'$IM' $t -auto-orient -depth 8 ppm:$t.im.ppm && $COMPARE $t.ppm $t.im.ppm"
  check "tgatoppm $t" sh -c "tgatoppm $t > $t.pnm 2>/dev/null && $COMPARE $t.ppm $t.pnm"
done
check "32-bit tga keeps its alpha" $PY -c "
from PIL import Image
a = Image.open('ours-32.tga')
assert a.mode == 'RGBA' and a.getpixel((0, 36))[3] == 128 and a.getpixel((1, 36))[3] == 135, (a.mode, a.getpixel((0, 36)))"
for bpp in 1 4 8 24; do
  x=ours-$bpp.pcx
  check "encode $x" "$IMGCONV" encode ref24.ppm $x pcx $bpp --ref $x.ppm
  check "pillow $x" $COMPARE $x.ppm $x
  [ $bpp = 1 ] || check "imagemagick $x" sh -c "'$IM' $x -depth 8 ppm:$x.im.ppm && $COMPARE $x.ppm $x.im.ppm"
  check "pcxtoppm $x" sh -c "pcxtoppm $x > $x.pnm 2>/dev/null && $COMPARE $x.ppm $x.pnm"
done
# WBMP both ways with netpbm.
check "encode wbmp" "$IMGCONV" encode ref24.ppm ours.wbmp wbmp 1 --ref ours.wbmp.ppm
check "wbmptopbm ours.wbmp" sh -c "wbmptopbm ours.wbmp > ours.wbmp.pbm && $COMPARE ours.wbmp.ppm ours.wbmp.pbm"
ppmtopgm ref1.ppm | pgmtopbm -threshold > ref1.pbm 2>/dev/null && pbmtowbmp ref1.pbm > nw.wbmp 2>/dev/null &&
  decoded "pbmtowbmp" nw.wbmp ref1.pbm
# 130 pixels wide: the width takes two bytes of the multi-byte integer.
"$IMGCONV" pattern 130 9 4 wide.ppm && ppmtopgm wide.ppm | pgmtopbm -threshold > wide.pbm 2>/dev/null &&
  pbmtowbmp wide.pbm > nwide.wbmp 2>/dev/null && decoded "pbmtowbmp 130 wide" nwide.wbmp wide.pbm

# TGAs from ImageMagick (top-down; 16-bit compared by the top five bits of
# each channel), pamtotga and Pillow, plain and run-length.
"$IM" ref24.ppm -orient top-left imtd.tga && decoded "imagemagick tga top-down" imtd.tga ref24.ppm
"$IM" ref24.ppm -orient top-left -compress RLE imrle.tga && decoded "imagemagick tga rle" imrle.tga ref24.ppm
"$IM" ref24.ppm -orient top-left -depth 5 im16.tga && imread im16.tga &&
  decoded "imagemagick 16-bit tga" im16.tga im16.tga.im.ppm --bits 5,5,5
"$IM" ref8.ppm -orient top-left -type Palette imp.tga && imread imp.tga && decoded "imagemagick palette tga" imp.tga imp.tga.im.ppm
pamtotga -norle ref24.ppm > pt.tga 2>/dev/null && decoded "pamtotga" pt.tga ref24.ppm
pamtotga ref24.ppm > ptr.tga 2>/dev/null && decoded "pamtotga rle" ptr.tga ref24.ppm
pamtotga -cmap ref8.ppm > ptc.tga 2>/dev/null && decoded "pamtotga colour-mapped rle" ptc.tga ref8.ppm
ppmtopgm ref24.ppm > grey.pgm && pamtotga -norle grey.pgm > ptg.tga 2>/dev/null && decoded "pamtotga grey" ptg.tga grey.pgm
pamtotga -mono ref1.ppm > ptm.tga 2>/dev/null && decoded "pamtotga mono rle" ptm.tga ref1.ppm
# PCXs from ImageMagick, ppmtopcx and Pillow.
"$IM" ref24.ppm impcx.pcx && decoded "imagemagick pcx" impcx.pcx ref24.ppm
"$IM" ref8.ppm -type Palette impcx8.pcx && imread impcx8.pcx && decoded "imagemagick palette pcx" impcx8.pcx impcx8.pcx.im.ppm
ppmtopcx -24bit ref24.ppm > pp24.pcx 2>/dev/null && decoded "ppmtopcx 24-bit" pp24.pcx ref24.ppm
ppmtopcx -8bit ref8.ppm > pp8.pcx 2>/dev/null && decoded "ppmtopcx 8-bit" pp8.pcx ref8.ppm
ppmtopcx -planes=4 ref4.ppm > pp4.pcx 2>/dev/null && decoded "ppmtopcx 4 planes" pp4.pcx ref4.ppm
ppmtopcx -packed ref4.ppm > pp4p.pcx 2>/dev/null && decoded "ppmtopcx packed 4-bit" pp4p.pcx ref4.ppm
ppmtopcx ref1.pbm > pp1.pcx 2>/dev/null && decoded "ppmtopcx 1-bit" pp1.pcx ref1.pbm
$PY - <<'PYEOF'
from PIL import Image
rgb = Image.open('ref24.ppm')
rgb.save('pil24.tga')
rgb.save('pilrle.tga', compression='tga_rle')
rgb.convert('RGBA').save('pil32.tga')
Image.open('ref8.ppm').convert('P', palette=Image.ADAPTIVE, colors=256).save('pil8.tga')
rgb.convert('L').save('pilgrey.tga')
rgb.save('pil24.pcx')
Image.open('ref8.ppm').convert('P', palette=Image.ADAPTIVE, colors=256).save('pil8.pcx')
Image.open('ref1.ppm').convert('1', dither=Image.NONE).save('pil1.pcx')
PYEOF
decoded "pillow 24-bit tga" pil24.tga ref24.ppm
decoded "pillow rle tga" pilrle.tga ref24.ppm
decoded "pillow 32-bit tga" pil32.tga ref24.ppm
decoded "pillow 8-bit tga" pil8.tga ref8.ppm
decoded "pillow grey tga" pilgrey.tga pilgrey.tga
decoded "pillow 24-bit pcx" pil24.pcx ref24.ppm
decoded "pillow 8-bit pcx" pil8.pcx ref8.ppm
decoded "pillow 1-bit pcx" pil1.pcx ref1.ppm

# Every fixture the outside tools wrote was counted above; anything that did
# not come into being is a failure too.
for f in im3.bmp im2.bmp im5.bmp im8.bmp imrle.bmp imalpha.bmp im565.bmp im555.bmp pw.bmp po.bmp p8.bmp p4.bmp \
         p1.bmp pil24.bmp pil8.bmp pil1.bmp pil32.bmp pil.gif pil-flat.gif pil-trans.gif pil-anim.gif gb.gif \
         pt.gif pti.gif ptn.gif ptt.gif pt1.gif pt4.gif imico.ico imico8.ico pil.ico \
         nw.wbmp nwide.wbmp imtd.tga imrle.tga im16.tga imp.tga pt.tga ptr.tga ptc.tga ptg.tga ptm.tga \
         impcx.pcx impcx8.pcx pp24.pcx pp8.pcx pp4.pcx pp4p.pcx pp1.pcx pil24.tga pilrle.tga pil32.tga \
         pil8.tga pilgrey.tga pil24.pcx pil8.pcx pil1.pcx; do
  [ -s "$f" ] || { failures=$((failures + 1)); echo "FAIL fixture $f was not made"; }
done
# Every fixture, ours and theirs, cut at every length: decodes or fails
# within a second each (and, in the sanitizer build, without a report).
check "truncations" "$IMGCONV" truncations ./*.bmp ./*.gif ./*.ico ./*.tga ./*.pcx ./*.wbmp
echo "imaging cross-check: $checks checks, $failures failures"
[ "$failures" -eq 0 ]
