#!/usr/bin/python3
"""Compares two pictures by pixels (RGB). A picture is a file Pillow reads,
or NAME.rgb:WxH for raw RGB triples.
Usage: imaging-compare.py A B [--frame N] [--bits R,G,B]
--frame picks a frame of B; --bits compares only the top bits of each
channel (for 16-bit files, which readers widen in different ways)."""
import argparse
import sys

from PIL import Image


def load(spec, frame=0):
    if '.rgb:' in spec:
        path, size = spec.rsplit(':', 1)
        width, height = (int(v) for v in size.split('x'))
        data = open(path, 'rb').read()
        return (width, height), data[:width * height * 3]
    image = Image.open(spec)
    if frame:
        image.seek(frame)
    image = image.convert('RGB')
    return image.size, image.tobytes()


def quantise(data, bits):
    shifts = [8 - b for b in bits]
    return bytes(v >> shifts[i % 3] for i, v in enumerate(data))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('a')
    parser.add_argument('b')
    parser.add_argument('--frame', type=int, default=0)
    parser.add_argument('--bits')
    args = parser.parse_args()
    size_a, a = load(args.a)
    size_b, b = load(args.b, args.frame)
    if size_a != size_b:
        sys.exit('sizes differ: %s %s' % (size_a, size_b))
    if args.bits:
        bits = [int(v) for v in args.bits.split(',')]
        a, b = quantise(a, bits), quantise(b, bits)
    if a != b:
        first = next(i for i in range(len(a)) if a[i] != b[i]) // 3
        sys.exit('pixels differ (first at pixel %d)' % first)


main()
