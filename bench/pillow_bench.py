#!/usr/bin/python3
"""Pillow's side of imaging_bench: reads FOLDER/pictures.raw (the standard
palette, the 8-bit equation and noise pictures, the 24-bit picture), times
GIF and BMP saving and the export road, and leaves its GIFs in FOLDER."""
import io
import sys
import time

from PIL import Image

W, H, RUNS = 2000, 1000, 7


def best_ms(work):
    best = float('inf')
    for _ in range(RUNS):
        start = time.perf_counter()
        work()
        best = min(best, (time.perf_counter() - start) * 1000)
    return best


def report(what, ms, size):
    print('  %-44s %9.2f ms %10d bytes' % (what, ms, size))


def save(image, fmt, **options):
    out = io.BytesIO()
    image.save(out, fmt, **options)
    return out.getvalue()


def main():
    folder = sys.argv[1]
    data = open(folder + '/pictures.raw', 'rb').read()
    palette, data = data[:768], data[768:]
    pictures = {}
    for name in ('equation', 'noise'):
        image = Image.frombytes('P', (W, H), data[:W * H])
        image.putpalette(palette)
        pictures[name], data = image, data[W * H:]
    rgb = Image.frombytes('RGB', (W, H), data[:W * H * 3])
    for name, image in pictures.items():
        out = {}
        ms = best_ms(lambda: out.update(gif=save(image, 'GIF', optimize=False, interlace=False)))
        report('Pillow GIF (%s)' % name, ms, len(out['gif']))
        open('%s/%s.gif' % (folder, name), 'wb').write(out['gif'])
        ms = best_ms(lambda: out.update(bmp=save(image, 'BMP')))
        report('Pillow BMP (%s)' % name, ms, len(out['bmp']))
    standard = Image.new('P', (1, 1))
    standard.putpalette(palette)

    def road():
        reduced = rgb.quantize(palette=standard, dither=Image.Dither.NONE)
        return save(reduced, 'GIF', optimize=False, interlace=False)
    out = {}
    ms = best_ms(lambda: out.update(road=road()))
    report('Pillow road (quantize to palette + GIF)', ms, len(out['road']))


main()
