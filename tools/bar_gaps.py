#!/usr/bin/python3
"""Blank pixel rows between a fraction's bar and the ink above and below it.

Usage: tools/bar_gaps.py [EQUATION...]   (build the Windows tree first)

Each equation is drawn by eqprobe's gallery at the default size and in a
40-point font; the bar is the longest run of ink along one pixel row. The
rows counted are those under the bar's columns with no pixel darker than
paper, up to the first that has one.
"""
import os
import subprocess
import sys
import tempfile

from PIL import Image

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SIZES = [("96dpi", ""), ("40pt", "Font=-14,0,0,0,400,0,0,0,0,7,48,2,2,0,1411,Arial")]
DEFAULT = ["x/n", "y/n", "g/h", "dy/dx", "(x+y)/2", "p/q", "x_1/2", "(x)/n", "(sigma x)/n",
           "(product x)/n", "x/h", "x/(H)", "1/(sqrt x)", "a/(b^2)", "1/(e^x)", "n/(sigma x)"]


def is_ink(pixel):
    return sum(pixel[:3]) < 3 * 250


def longest_row_run(img):
    best = (0, 0, -1, -1)  # length, y, x0, x1
    w, h = img.size
    px = img.load()
    for y in range(h):
        x = 0
        while x < w:
            if not is_ink(px[x, y]):
                x += 1
                continue
            x0 = x
            while x < w and is_ink(px[x, y]):
                x += 1
            if x - x0 > best[0]:
                best = (x - x0, y, x0, x - 1)
    return best


def gaps(path):
    img = Image.open(path).convert("RGB")
    px = img.load()
    _, y, x0, x1 = longest_row_run(img)
    full = lambda r: all(is_ink(px[x, r]) for x in range(x0, x1 + 1))
    top = y
    while top > 0 and full(top - 1):
        top -= 1
    bottom = y
    while bottom + 1 < img.size[1] and full(bottom + 1):
        bottom += 1
    blank = lambda r: not any(is_ink(px[x, r]) for x in range(x0, x1 + 1))
    above = 0
    while top - above - 1 >= 0 and blank(top - above - 1):
        above += 1
    below = 0
    while bottom + below + 1 < img.size[1] and blank(bottom + below + 1):
        below += 1
    return above, below, bottom - top + 1


def main():
    equations = sys.argv[1:] or DEFAULT
    probe = os.path.join(REPO, "build", "bin", "eqprobe.exe")
    with tempfile.TemporaryDirectory() as tmp:
        with open(os.path.join(tmp, "cases.txt"), "w", encoding="latin-1") as f:
            for i, eq in enumerate(equations):
                for name, settings in SIZES:
                    f.write(f"c{i}_{name} | {settings} | {eq}\n")
        subprocess.run([os.path.join(REPO, "tools", "wine-run"), probe, "gallery",
                        "Z:" + os.path.join(tmp, "cases.txt"), "Z:" + tmp], check=True)
        print(f"{'equation':16}" + "".join(f" | {n + ' above':>11} | {n + ' below':>11}"
                                           for n, _ in SIZES))
        for i, eq in enumerate(equations):
            cells = []
            for name, _ in SIZES:
                above, below, _ = gaps(os.path.join(tmp, f"c{i}_{name}.bmp"))
                cells.append(f" | {above:>11} | {below:>11}")
            print(f"{eq:16}" + "".join(cells))


if __name__ == "__main__":
    main()
