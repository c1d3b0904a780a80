#!/bin/bash
# Runs a fuzz target for SECONDS on seeds made by imgconv (every format,
# depth and GIF compressor) or, for the archive and INI targets, by the
# target itself, plus any files given in OVELIN_FUZZ_CORPUS.
# Usage: fuzz-run.sh TARGET IMGCONV SECONDS
set -eu
target=$1 imgconv=$2 seconds=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seeds=$work/seeds
mkdir -p "$seeds" "$work/corpus"
case $(basename "$target") in
  fuzz_archive | fuzz_ini) OVELIN_FUZZ_WRITE_SEEDS=$seeds "$target" >/dev/null 2>&1 ;;
  *)
    "$imgconv" pattern 23 11 1 "$work/ref.ppm"
    for bpp in 1 4 8 24; do
      "$imgconv" encode "$work/ref.ppm" "$seeds/s$bpp.bmp" bmp $bpp
      "$imgconv" encode "$work/ref.ppm" "$seeds/s$bpp.ico" ico $bpp
      "$imgconv" encode "$work/ref.ppm" "$seeds/s$bpp.pcx" pcx $bpp
      for comp in 0 1 2; do "$imgconv" encode "$work/ref.ppm" "$seeds/s$bpp-$comp.gif" gif $bpp $comp; done
    done
    for bpp in 8 24; do "$imgconv" encode "$work/ref.ppm" "$seeds/s$bpp.tga" tga $bpp; done
    "$imgconv" encode "$work/ref.ppm" "$seeds/alpha.tga" tga 24 --alpha
    "$imgconv" encode "$work/ref.ppm" "$seeds/s1.wbmp" wbmp 1
    "$imgconv" encode "$work/ref.ppm" "$seeds/alpha.ico" ico 24 --alpha
    ;;
esac
[ -n "$(ls -A "$seeds")" ] || { echo "no seeds were made"; exit 1; }
if [ -n "${OVELIN_FUZZ_CORPUS:-}" ]; then cp -r "$OVELIN_FUZZ_CORPUS"/. "$seeds"/; fi
# Crash reproducers go to the work folder's artifacts, printed on failure.
"$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
  -artifact_prefix="$work/" -print_final_stats=1 "$work/corpus" "$seeds" 2>&1 | tail -25
status=${PIPESTATUS[0]}
if [ "$status" -ne 0 ]; then
  for f in "$work"/crash-* "$work"/timeout-* "$work"/oom-* "$work"/leak-*; do
    [ -e "$f" ] && { echo "reproducer $f:"; base64 "$f"; }
  done
fi
exit "$status"
