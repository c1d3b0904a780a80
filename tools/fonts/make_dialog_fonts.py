#!/usr/bin/python3
"""Builds the copies of Liberation Sans that Ovelin's dialogs and edit boxes use under Wine.

    make_dialog_fonts.py OUTDIR

writes OUTDIR/ovelin-liberation-sans-*.ttf, one per style.

Dialogs ("MS Shell Dlg") and "Arial" both end at Liberation Sans in the
prefix.  Wine 8's text shaping reads before the first glyph when it applies
the font's mark-to-mark positioning ("mkmk") to a line that starts with the
ANSI character 0x98 (small tilde), and the program dies inside the edit
control.  The copies keep every glyph, metric and name of Liberation Sans
and only have the "mkmk" feature emptied: stacked combining marks, which no
ANSI text holds, are all it positions.  Installed in the prefix's Fonts
folder they take the place of the system's files of the same name; a
slightly higher font revision makes sure of that.

Run with Debian's /usr/bin/python3 (python3-fonttools).
"""

import os
import sys

from fontTools.ttLib import TTFont

LIBERATION = "/usr/share/fonts/truetype/liberation2"
STYLES = ["Regular", "Bold", "Italic", "BoldItalic"]
# Added to the font revision so that the copy wins over the system's file.
REVISION_STEP = 0.001


def fail(msg):
    sys.stderr.write("make_dialog_fonts: %s\n" % msg)
    sys.exit(1)


def empty_mark_to_mark(font):
    """Empties every "mkmk" feature of the GPOS table; returns how many."""
    if "GPOS" not in font:
        return 0
    count = 0
    for record in font["GPOS"].table.FeatureList.FeatureRecord:
        if record.FeatureTag == "mkmk":
            record.Feature.LookupListIndex = []
            record.Feature.LookupCount = 0
            count += 1
    return count


def build_dialog_fonts(outdir):
    written = []
    for style in STYLES:
        source = os.path.join(LIBERATION, "LiberationSans-%s.ttf" % style)
        if not os.path.isfile(source):
            fail("missing %s (package fonts-liberation)" % source)
        font = TTFont(source)
        empty_mark_to_mark(font)
        font["head"].fontRevision += REVISION_STEP
        out = os.path.join(outdir, "ovelin-liberation-sans-%s.ttf" % style.lower())
        font.save(out)
        written.append(out)
    return written


def main(argv):
    if len(argv) != 2:
        fail("usage: make_dialog_fonts.py OUTDIR")
    os.makedirs(argv[1], exist_ok=True)
    for path in build_dialog_fonts(argv[1]):
        print("make_dialog_fonts: %s" % path)


if __name__ == "__main__":
    main(sys.argv)
