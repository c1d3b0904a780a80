#!/usr/bin/python3
"""Builds the two symbol-encoded fonts Ovelin draws with under Wine.

    make_fonts.py OUTDIR

writes OUTDIR/symbol.otf ("Symbol") and OUTDIR/wingding.ttf ("Wingdings").

Wine's own symbol.ttf and wingding.ttf carry only a handful of glyphs (no
Greek, no bracket/brace/integral pieces, no circled digits), so both are
rebuilt here from fonts Debian ships:

  * Symbol    - URW's Standard Symbols PS (fonts-urw-base35).  The byte code
                of each glyph comes from the Type 1 font's built-in Encoding
                vector (the "dup N /name put" lines); the glyphs come from
                the CFF-flavoured OTF of the same font, converted to
                TrueType outlines.
  * Wingdings - the circled digits of DejaVu Sans (fonts-dejavu-core) at the
                Wingdings codes 0x80..0x89.  DejaVu Sans has no circled zero,
                so if no installed font supplies U+24EA one is assembled from
                the ring of U+2460 and DejaVu's own zero.

Both fonts get a single Windows symbol cmap (platform 3, encoding 0,
format 4) mapping U+F000+code to the glyph, and only the symbol bit set in
OS/2 ulCodePageRange1, which is how GDI recognises SYMBOL_CHARSET fonts.

Run with Debian's /usr/bin/python3: fontTools comes from python3-fonttools
and is not visible to other Python installations on PATH.
"""

import glob
import math
import os
import re
import sys

from fontTools import subset
from fontTools.pens.boundsPen import BoundsPen
from fontTools.pens.recordingPen import DecomposingRecordingPen
from fontTools.pens.transformPen import TransformPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTCollection, TTFont, newTable
from fontTools.ttLib.tables._c_m_a_p import cmap_format_4

URW_OTF = "/usr/share/fonts/opentype/urw-base35/StandardSymbolsPS.otf"
URW_T1 = "/usr/share/fonts/type1/urw-base35/StandardSymbolsPS.t1"
DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FONT_DIRS = ["/usr/share/fonts"]

SYMBOL_CODEPAGE_BIT = 1 << 31
PUA_BASE = 0xF000


def fail(msg):
    sys.stderr.write("make_fonts: %s\n" % msg)
    sys.exit(1)


def read_t1_encoding(path):
    """Returns {code: glyph name} from a Type 1 font's Encoding array."""
    with open(path, "rb") as f:
        data = f.read()
    # The clear-text header precedes the eexec-encrypted part.
    head = data.split(b"eexec", 1)[0]
    enc = {}
    for m in re.finditer(rb"dup\s+(\d+)\s+/([^\s/\[\]{}()<>%]+)\s+put", head):
        enc[int(m.group(1))] = m.group(2).decode("ascii")
    if not enc:
        fail("no encoding found in " + path)
    return enc


def symbol_cmap(mapping):
    """A single (3,0) format 4 subtable for {unicode: glyph name}."""
    t = cmap_format_4(4)
    t.platformID = 3
    t.platEncID = 0
    t.language = 0
    t.cmap = dict(mapping)
    cm = newTable("cmap")
    cm.tableVersion = 0
    cm.tables = [t]
    return cm


def set_names(font, family, full, postscript, version):
    """Replaces the name table with Windows (symbol encoding) and Mac records."""
    name = font["name"]
    copyright_ = name.getDebugName(0) or ""
    name.names = []
    records = {
        0: copyright_,
        1: family,
        2: "Regular",
        3: "Ovelin:%s:%s" % (full, version),
        4: full,
        5: "Version %s" % version,
        6: postscript,
    }
    for nid, text in records.items():
        if not text:
            continue
        # Symbol fonts carry their Windows names under encoding 0.
        name.setName(text, nid, 3, 0, 0x409)
        name.setName(text, nid, 1, 0, 0)


def set_os2_symbol(font, first, last):
    os2 = font["OS/2"]
    if os2.version < 1:
        os2.version = 1
    os2.ulCodePageRange1 = SYMBOL_CODEPAGE_BIT
    os2.ulCodePageRange2 = 0
    os2.usFirstCharIndex = first
    os2.usLastCharIndex = last
    # Non-Unicode font: no Unicode range claims.
    os2.ulUnicodeRange1 = os2.ulUnicodeRange2 = 0
    os2.ulUnicodeRange3 = os2.ulUnicodeRange4 = 0


def cover_all_glyphs(font):
    """GDI clips glyphs to the usWinAscent/usWinDescent box.  URW's values
    (750/250) would cut the tops and tails off the bracket, brace and
    integral pieces, so widen the box to the real glyph extent."""
    head = font["head"]
    top, bottom = head.yMax, head.yMin
    gs = font.getGlyphSet()
    for gname in font.getGlyphOrder():
        pen = BoundsPen(gs)
        gs[gname].draw(pen)
        if pen.bounds:
            bottom = min(bottom, int(math.floor(pen.bounds[1])))
            top = max(top, int(math.ceil(pen.bounds[3])))
    os2 = font["OS/2"]
    os2.usWinAscent = max(os2.usWinAscent, top)
    os2.usWinDescent = max(os2.usWinDescent, -bottom)
    hhea = font["hhea"]
    hhea.ascent = os2.usWinAscent
    hhea.descent = -os2.usWinDescent
    hhea.lineGap = 0


def cff_to_truetype(font):
    """Replaces the CFF outlines by quadratic TrueType ones (within one font
    unit).  Wine smooths CFF glyphs without hinting, so Symbol glyphs came
    out grey and blurred beside the TrueType text faces, and stacked pieces
    showed seams; TrueType glyphs are rasterised like the text."""
    from fontTools.pens.cu2quPen import Cu2QuPen

    order = font.getGlyphOrder()
    gs = font.getGlyphSet()
    glyf = newTable("glyf")
    glyf.glyphOrder = order
    glyf.glyphs = {}
    for gname in order:
        pen = TTGlyphPen(None)
        gs[gname].draw(Cu2QuPen(pen, max_err=1.0, reverse_direction=True))
        glyf.glyphs[gname] = pen.glyph()
    font["glyf"] = glyf
    font["loca"] = newTable("loca")
    for tag in ("CFF ", "VORG"):
        if tag in font:
            del font[tag]
    font.sfntVersion = "\x00\x01\x00\x00"
    font["head"].glyphDataFormat = 0
    maxp = font["maxp"]
    maxp.tableVersion = 0x00010000
    for field in ("maxZones", "maxTwilightPoints", "maxStorage", "maxFunctionDefs",
                  "maxInstructionDefs", "maxStackElements", "maxSizeOfInstructions",
                  "maxComponentElements", "maxComponentDepth"):
        setattr(maxp, field, 1 if field == "maxZones" else 0)
    for field in ("maxPoints", "maxContours", "maxCompositePoints", "maxCompositeContours"):
        setattr(maxp, field, 0)  # recalculated when the font is saved
    post = font["post"]
    post.formatType = 2.0
    post.extraNames = []
    post.mapping = {}
    post.glyphOrder = order
    # Grid-fitted and unsmoothed at text sizes, as the Liberation faces ask.
    gasp = newTable("gasp")
    gasp.version = 1
    gasp.gaspRange = {8: 0x0002, 17: 0x0001, 0xFFFF: 0x0003}
    font["gasp"] = gasp


def build_symbol(outdir):
    enc = read_t1_encoding(URW_T1)
    font = TTFont(URW_OTF)
    glyphs = set(font.getGlyphOrder())
    mapping = {}
    for code, gname in sorted(enc.items()):
        if gname == ".notdef":
            continue
        if gname not in glyphs:
            fail("Symbol: glyph %r (code %d) missing from the OTF" % (gname, code))
        mapping[PUA_BASE + code] = gname
    font["cmap"] = symbol_cmap(mapping)
    set_names(font, "Symbol", "Symbol", "Symbol", "2.00")
    cff_to_truetype(font)
    # Like the Windows Symbol font: the whole upper page is claimed.
    set_os2_symbol(font, PUA_BASE + 0x20, PUA_BASE + 0xFF)
    cover_all_glyphs(font)
    out = os.path.join(outdir, "symbol.otf")
    font.save(out)
    return out, len(mapping)


def find_circled_zero():
    """Looks for an installed font with U+24EA; returns (path, index) or None."""
    for d in FONT_DIRS:
        for path in sorted(glob.glob(os.path.join(d, "**", "*"), recursive=True)):
            low = path.lower()
            if not low.endswith((".ttf", ".otf", ".ttc")):
                continue
            try:
                if low.endswith(".ttc"):
                    fonts = TTCollection(path, lazy=True).fonts
                else:
                    fonts = [TTFont(path, lazy=True)]
                for i, f in enumerate(fonts):
                    cm = f.getBestCmap() or {}
                    if 0x24EA in cm and "glyf" in f:
                        return path, i
            except Exception:
                continue
    return None


def glyph_from(font, gname, transform=(1, 0, 0, 1, 0, 0)):
    """Draws a glyph of another font (decomposed) into a new TrueType glyph."""
    gs = font.getGlyphSet()
    rec = DecomposingRecordingPen(gs)
    gs[gname].draw(rec)
    pen = TTGlyphPen(None)
    rec.replay(TransformPen(pen, transform))
    return pen.glyph()


def make_circled_zero(font):
    """Ring of U+2460 plus DejaVu's zero, scaled and placed like the digits in
    U+2460..U+2468.  Returns (glyph, advance, lsb)."""
    glyf = font["glyf"]
    ring_src = glyf["uni2460"]
    coords, ends, flags = ring_src.getCoordinates(glyf)
    # uni2460 is outer ring, inner ring, then the digit; keep the rings.
    pen = TTGlyphPen(None)
    start = 0
    for ci, end in enumerate(ends[:2]):
        pts = [(coords[i], flags[i] & 1) for i in range(start, end + 1)]
        _draw_tt_contour(pen, pts)
        start = end + 1
    # Placement of "1" inside the ring gives the scale and baseline.
    digit = [coords[i] for i in range(ends[1] + 1, ends[2] + 1)]
    one_box = _bbox(glyf["one"].getCoordinates(glyf)[0])
    dig_box = _bbox(digit)
    scale = (dig_box[3] - dig_box[1]) / float(one_box[3] - one_box[1])
    dy = dig_box[1] - one_box[1] * scale
    ring_box = _bbox(coords[: ends[0] + 1])
    cx = (ring_box[0] + ring_box[2]) / 2.0
    zero_box = _bbox(glyf["zero"].getCoordinates(glyf)[0])
    dx = cx - scale * (zero_box[0] + zero_box[2]) / 2.0
    rec = DecomposingRecordingPen(font.getGlyphSet())
    font.getGlyphSet()["zero"].draw(rec)
    rec.replay(TransformPen(pen, (scale, 0, 0, scale, dx, dy)))
    g = pen.glyph()
    adv = font["hmtx"]["uni2460"][0]
    g.recalcBounds(glyf)
    return g, adv, g.xMin


def _bbox(pts):
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return min(xs), min(ys), max(xs), max(ys)


def _draw_tt_contour(pen, pts):
    """Feeds one quadratic TrueType contour [(pt, on_curve)] to a pen."""
    n = len(pts)
    # Start on an on-curve point (or an implied midpoint).
    first = next((i for i in range(n) if pts[i][1]), None)
    if first is None:
        pen.qCurveTo(*[p for p, _ in pts], None)
        pen.closePath()
        return
    pts = pts[first:] + pts[:first]
    pen.moveTo(pts[0][0])
    offs = []
    for p, on in pts[1:] + [pts[0]]:
        if on:
            if offs:
                pen.qCurveTo(*offs, p)
                offs = []
            else:
                pen.lineTo(p)
        else:
            offs.append(p)
    pen.closePath()


def build_wingdings(outdir):
    font = TTFont(DEJAVU)
    cmap = font.getBestCmap()
    digits = {}
    for i in range(1, 10):
        u = 0x2460 + i - 1
        if u not in cmap:
            fail("Wingdings: U+%04X missing from %s" % (u, DEJAVU))
        digits[0x80 + i] = cmap[u]
    keep = set(digits.values()) | {"space", "uni2460", "one", "zero"}

    opts = subset.Options()
    opts.glyph_names = True
    opts.notdef_outline = True
    opts.name_IDs = ["*"]
    opts.name_languages = ["*"]
    opts.layout_features = []
    opts.drop_tables += ["GSUB", "GPOS", "GDEF", "kern", "FFTM"]
    sub = subset.Subsetter(opts)
    sub.populate(glyphs=sorted(keep))
    sub.subset(font)

    zero_name = None
    found = find_circled_zero()
    if found is not None:
        path, idx = found
        src = TTCollection(path).fonts[idx] if path.lower().endswith(".ttc") else TTFont(path)
        sname = src.getBestCmap()[0x24EA]
        # Scale the foreign glyph to DejaVu's em and to the height of U+2460.
        k = font["head"].unitsPerEm / float(src["head"].unitsPerEm)
        g = glyph_from(src, sname, (k, 0, 0, k, 0, 0))
        adv = int(round(src["hmtx"][sname][0] * k))
        origin = "%s" % os.path.basename(path)
    else:
        g, adv, _ = make_circled_zero(font)
        origin = "assembled"
    zero_name = "uni24EA"
    font["glyf"].glyphs[zero_name] = g
    order = font.getGlyphOrder() + [zero_name]
    font.setGlyphOrder(order)
    font["glyf"].glyphOrder = order
    g.recalcBounds(font["glyf"])
    font["hmtx"][zero_name] = (adv, g.xMin if g.numberOfContours else 0)
    font["maxp"].numGlyphs = len(order)
    digits[0x80] = zero_name

    mapping = {PUA_BASE + 0x20: "space"}
    for code, gname in digits.items():
        mapping[PUA_BASE + code] = gname
    font["cmap"] = symbol_cmap(mapping)
    set_names(font, "Wingdings", "Wingdings", "Wingdings", "2.00")
    font["head"].fontRevision = 2.0
    set_os2_symbol(font, min(mapping), max(mapping))
    if "post" in font:
        font["post"].formatType = 2.0
    font["hhea"].numberOfHMetrics = len(order)
    out = os.path.join(outdir, "wingding.ttf")
    font.save(out)
    return out, origin


def main(argv):
    if len(argv) != 2:
        fail("usage: make_fonts.py OUTDIR")
    outdir = argv[1]
    os.makedirs(outdir, exist_ok=True)
    sym, n = build_symbol(outdir)
    wing, origin = build_wingdings(outdir)
    print("make_fonts: %s (%d codes), %s (circled 0: %s)" % (sym, n, wing, origin))


if __name__ == "__main__":
    main(sys.argv)
