#!/usr/bin/python3
"""Draws Ovelin's toolbar and palette images and its icons.

Writes, under resources/:
  images/*.bmp   24-bit strips, one image per button, background (and so
                 mask colour) 192,192,192, which the bottom-left pixel of
                 every strip keeps;
  images/*.ico   the application and document icons (16, 32, 48 pixels,
                 32-bit with alpha);
  Toolbars.rc    the toolbar resources (type 241) and BITMAP statements,
                 generated from the same tables so that button order and
                 strip width always agree.

Symbols come from the URW Standard Symbols PS font, addressed by their
Symbol-font codes, so a button shows the glyph the equation will draw.
Run with Debian's python3 (python3-pil); the build itself needs only the
committed output.  --preview DIR also writes enlarged PNGs to look at.
"""

import argparse
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(REPO, "resources")
IMAGES = os.path.join(OUT, "images")

FONT_DIRS = {
    "symbol": "/usr/share/fonts/opentype/urw-base35/StandardSymbolsPS.otf",
    "serif": "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf",
    "serif-bold": "/usr/share/fonts/truetype/liberation/LiberationSerif-Bold.ttf",
    "serif-italic": "/usr/share/fonts/truetype/liberation/LiberationSerif-Italic.ttf",
    "sans": "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "sans-bold": "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
}

BACKGROUND = (192, 192, 192)
SCALE = 4  # images are drawn this much larger, then reduced (antialiasing)

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREEK = (0, 0, 150)
SYMBOL = (140, 0, 0)
CALCULUS = (0, 90, 0)
ACCENT = (0, 60, 200)
RED = (200, 0, 0)
GREEN = (0, 140, 0)

_fonts = {}


def font(name, size):
    key = (name, size)
    if key not in _fonts:
        _fonts[key] = ImageFont.truetype(FONT_DIRS[name], size)
    return _fonts[key]


# --- Drawing helpers (coordinates in the enlarged canvas) -------------------

class Canvas:
    """One button image, drawn SCALE times larger than it ends up."""

    def __init__(self, width, height):
        self.w, self.h = width * SCALE, height * SCALE
        self.image = Image.new("RGB", (self.w, self.h), BACKGROUND)
        self.draw = ImageDraw.Draw(self.image)

    def s(self, v):
        """Pixels of the final image to canvas units."""
        return round(v * SCALE)

    def text(self, text, face, size, colour, cx=None, cy=None, fit=0.86):
        """Text centred on (cx, cy) in final pixels (default: the middle),
        shrunk until its ink fits `fit` of the image."""
        cx = self.w / 2 if cx is None else self.s(cx)
        cy = self.h / 2 if cy is None else self.s(cy)
        px = self.s(size)
        while True:
            f = font(face, px)
            x0, y0, x1, y1 = self.draw.textbbox((0, 0), text, font=f)
            if (x1 - x0 <= self.w * fit and y1 - y0 <= self.h * fit) or px < 8:
                break
            px -= 2
        self.draw.text((cx - (x0 + x1) / 2, cy - (y0 + y1) / 2), text,
                       font=f, fill=colour)
        return (cx - (x1 - x0) / 2, cy - (y1 - y0) / 2,
                cx + (x1 - x0) / 2, cy + (y1 - y0) / 2)

    def symbol(self, code, size, colour, **kw):
        """A character of the Symbol font by its code."""
        return self.text(chr(code), "symbol", size, colour, **kw)

    def line(self, points, colour, width=1.0):
        pts = [(self.s(x), self.s(y)) for x, y in points]
        self.draw.line(pts, fill=colour, width=max(1, self.s(width)),
                       joint="curve")

    def rect(self, box, outline=None, fill=None, width=1.0):
        x0, y0, x1, y1 = (self.s(v) for v in box)
        self.draw.rectangle((x0, y0, x1, y1), outline=outline, fill=fill,
                            width=max(1, self.s(width)))

    def polygon(self, points, fill, outline=None):
        self.draw.polygon([(self.s(x), self.s(y)) for x, y in points],
                          fill=fill, outline=outline)

    def ellipse(self, box, outline=None, fill=None, width=1.0):
        self.draw.ellipse(tuple(self.s(v) for v in box), outline=outline,
                          fill=fill, width=max(1, self.s(width)))

    def arc(self, box, start, end, colour, width=1.0):
        self.draw.arc(tuple(self.s(v) for v in box), start, end, fill=colour,
                      width=max(1, self.s(width)))

    def arrow(self, x0, x1, y, colour, left=False, right=True, head=2.2):
        self.line([(x0, y), (x1, y)], colour, 1.0)
        if right:
            self.polygon([(x1 + 0.8, y), (x1 - head, y - head * 0.75),
                          (x1 - head, y + head * 0.75)], colour)
        if left:
            self.polygon([(x0 - 0.8, y), (x0 + head, y - head * 0.75),
                          (x0 + head, y + head * 0.75)], colour)

    def reduced(self):
        return self.image.resize((self.w // SCALE, self.h // SCALE),
                                 Image.LANCZOS)


def glyph(code, size, colour):
    """Button that shows one Symbol-font character."""
    return lambda c: c.symbol(code, size, colour)


def text(t, face, size, colour):
    return lambda c: c.text(t, face, size, colour)


def variable_x(c, cx=None, cy=None, size=15):
    """An italic x, the operand of a construct."""
    return c.text("x", "serif-italic", size, BLACK, cx=cx, cy=cy)


# --- Toolbar 128 (16 x 16) ------------------------------------------------

def page(c, x0=3, y0=1.5, x1=13, y1=14.5, fold=3.5):
    c.polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1),
               (x0, y1)], WHITE, BLACK)
    c.line([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1),
            (x0, y0)], BLACK, 0.8)
    c.line([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)],
           BLACK, 0.8)


def draw_new(c):
    page(c)
    c.text("+", "sans-bold", 9, GREEN, cx=8, cy=9.5)


def draw_open(c):
    c.polygon([(1.5, 4), (6, 4), (7.5, 5.5), (13, 5.5), (13, 14), (1.5, 14)],
              (230, 190, 60), BLACK)
    c.polygon([(3.5, 8), (15, 8), (13, 14), (1.5, 14)], (250, 220, 110),
              BLACK)


def draw_save(c):
    c.rect((1.5, 1.5, 14.5, 14.5), outline=BLACK, fill=(40, 80, 170), width=0.8)
    c.rect((4, 1.5, 12, 6.5), fill=WHITE, outline=BLACK, width=0.6)
    c.rect((4.5, 9, 11.5, 14.5), fill=(200, 200, 200), outline=BLACK,
           width=0.6)
    c.rect((9.5, 2.5, 11, 5.5), fill=BLACK)


def draw_cut(c):
    c.text("\u2702", "sans", 15, BLACK, fit=0.95)


def draw_copy(c):
    page(c, 1.5, 1.5, 10, 11, 2.5)
    page(c, 6, 5, 14.5, 14.5, 2.5)


def clipboard(c):
    c.rect((2, 2.5, 13, 15), outline=BLACK, fill=(170, 120, 60), width=0.8)
    c.rect((5, 1.2, 10, 4), outline=BLACK, fill=(150, 150, 150), width=0.6)


def draw_paste(c):
    clipboard(c)
    page(c, 6, 6, 14.5, 14.8, 2.5)


def draw_copy_metafile(c):
    clipboard(c)
    c.rect((4, 5, 11.5, 13.5), outline=BLACK, fill=WHITE, width=0.6)
    c.symbol(229, 9, RED, cx=7.8, cy=9.3)


def draw_bold(c):
    c.text("B", "serif-bold", 15, BLACK)


def draw_italic(c):
    c.text("I", "serif-italic", 15, BLACK)


def draw_underline(c):
    c.text("U", "serif", 14, BLACK, cy=7)
    c.line([(3, 14), (13, 14)], BLACK, 1.2)


def draw_align(c):
    for y, left, right in ((4, 2, 12), (11.5, 4, 14)):
        c.line([(left, y), (6, y)], (90, 90, 90), 1.4)
        c.line([(10.5, y), (right, y)], (90, 90, 90), 1.4)
        c.line([(7, y - 1.2), (9.5, y - 1.2)], RED, 1.0)
        c.line([(7, y + 1.2), (9.5, y + 1.2)], RED, 1.0)
    c.line([(8.25, 1), (8.25, 15)], ACCENT, 0.5)


def draw_preferences(c):
    c.text("\u2699", "sans", 16, (60, 60, 60), fit=0.98)


def draw_reset(c):
    c.text("\u21ba", "sans-bold", 16, ACCENT, fit=0.98)


def draw_keyboard(c):
    c.rect((0.8, 4, 15.2, 13), outline=BLACK, fill=(235, 235, 235), width=0.7)
    for row, y in enumerate((5.5, 8)):
        for k in range(5):
            x = 2.2 + k * 2.5 + row * 0.8
            c.rect((x, y, x + 1.6, y + 1.5), fill=(60, 60, 60))
    c.rect((4.5, 10.5, 11.5, 11.8), fill=(60, 60, 60))


def draw_update_return(c):
    c.text("\u2714", "sans-bold", 15, GREEN, fit=0.95)


def draw_cancel_changes(c):
    c.text("\u2718", "sans-bold", 15, RED, fit=0.95)


def draw_print(c):
    c.rect((4, 1.5, 12, 7), outline=BLACK, fill=WHITE, width=0.6)
    c.rect((1, 6, 15, 12), outline=BLACK, fill=(150, 150, 150), width=0.7)
    c.rect((4, 10, 12, 14.8), outline=BLACK, fill=WHITE, width=0.6)
    c.rect((12.3, 7.5, 13.5, 8.5), fill=GREEN)


def draw_about(c):
    c.ellipse((1.5, 1.5, 14.5, 14.5), outline=ACCENT, fill=WHITE, width=1.0)
    c.text("?", "sans-bold", 11, ACCENT)


MAINFRAME = [
    ("ID_FILE_NEW", draw_new),
    ("ID_FILE_OPEN", draw_open),
    ("ID_FILE_SAVE", draw_save),
    None,
    ("ID_EDIT_CUT", draw_cut),
    ("ID_EDIT_COPY", draw_copy),
    ("ID_EDIT_PASTE", draw_paste),
    None,
    ("ID_COPY_AS_METAFILE", draw_copy_metafile),
    None,
    ("ID_LINE_BOLD", draw_bold),
    ("ID_LINE_ITALIC", draw_italic),
    ("ID_LINE_UNDERLINE", draw_underline),
    ("ID_ALIGN_EQUAL_SIGNS", draw_align),
    None,
    ("ID_EDIT_PREFERENCES", draw_preferences),
    ("ID_RESET_TO_DEFAULT", draw_reset),
    None,
    ("ID_SCREEN_KEYBOARD", draw_keyboard),
    None,
    ("ID_UPDATE_AND_RETURN", draw_update_return),
    ("ID_CANCEL_CHANGES", draw_cancel_changes),
    None,
    ("ID_FILE_PRINT", draw_print),
    ("ID_APP_ABOUT", draw_about),
]


# --- "Shortcuts" bar 142 (24 x 24) ------------------------------------------

def flyout_mark(draw):
    """Adds the small corner triangle that says "opens a palette"."""
    def decorated(c):
        draw(c)
        c.polygon([(23, 17.5), (23, 23), (17.5, 23)], BLACK)
    return decorated


def draw_degree(c):
    c.text("x", "serif-italic", 16, BLACK, cx=9, cy=13)
    c.symbol(176, 14, RED, cx=17, cy=8)


def draw_greek_lower_head(c):
    c.symbol(97, 15, GREEK, cx=7.5, cy=11)
    c.symbol(98, 15, GREEK, cx=16, cy=11)


def draw_greek_upper_head(c):
    c.symbol(68, 14, GREEK, cx=7, cy=11)
    c.symbol(87, 14, GREEK, cx=17, cy=11)


def draw_symbols_head(c):
    c.symbol(163, 14, SYMBOL, cx=7, cy=11)
    c.symbol(165, 14, SYMBOL, cx=17, cy=11)


def circled_digit(c, digit, cx=12, cy=12, r=9, colour=ACCENT):
    c.ellipse((cx - r, cy - r, cx + r, cy + r), outline=colour, fill=WHITE,
              width=1.3)
    c.text(str(digit), "sans-bold", 12, colour, cx=cx, cy=cy + 0.2)


def draw_calculus_head(c):
    c.symbol(242, 18, CALCULUS, cx=7, cy=12)
    c.symbol(229, 14, CALCULUS, cx=16.5, cy=11.5)


def radical(c, x0, x1, ytop, ybottom, colour=BLACK):
    ymid = (ytop + ybottom) / 2 + 2
    c.line([(x0, ymid), (x0 + 1.5, ymid - 0.8), (x0 + 3.5, ybottom),
            (x0 + 6, ytop), (x1, ytop)], colour, 1.1)


def draw_roots_head(c):
    radical(c, 2, 20, 4, 19)
    variable_x(c, cx=14, cy=12, size=14)


def matrix_brackets(c, x0, y0, x1, y1, colour=BLACK):
    c.line([(x0 + 2, y0), (x0, y0), (x0, y1), (x0 + 2, y1)], colour, 1.0)
    c.line([(x1 - 2, y0), (x1, y0), (x1, y1), (x1 - 2, y1)], colour, 1.0)


def draw_arrays_head(c):
    matrix_brackets(c, 2.5, 3.5, 19.5, 19.5)
    for row in range(3):
        for col in range(3):
            x, y = 6.3 + col * 4.7, 7 + row * 5
            c.rect((x - 1, y - 1, x + 1, y + 1), fill=ACCENT)


SHORTCUTS = [
    ("ID_INSERT_DEGREE", draw_degree),
    ("ID_PALETTE_GREEK_LOWER", flyout_mark(draw_greek_lower_head)),
    ("ID_PALETTE_GREEK_UPPER", flyout_mark(draw_greek_upper_head)),
    ("ID_PALETTE_SYMBOLS", flyout_mark(draw_symbols_head)),
    ("ID_PALETTE_EQUATION_NUMBERS", flyout_mark(lambda c: circled_digit(c, 1, 11, 11))),
    ("ID_PALETTE_CALCULUS", flyout_mark(draw_calculus_head)),
    ("ID_PALETTE_ROOTS", flyout_mark(draw_roots_head)),
    ("ID_PALETTE_ARRAYS", flyout_mark(draw_arrays_head)),
]


# --- Narrow palettes (13 x 16): Greek letters and symbols --------------------

GREEK_LOWER = [
    ("ID_GREEK_PI", 112), ("ID_GREEK_THETA", 113), ("ID_GREEK_ALPHA", 97),
    ("ID_GREEK_BETA", 98), ("ID_GREEK_CHI", 99), ("ID_GREEK_DELTA", 100),
    ("ID_GREEK_EPSILON", 101), ("ID_GREEK_PHI", 102), ("ID_GREEK_GAMMA", 103),
    ("ID_GREEK_LAMBDA", 108), ("ID_GREEK_MU", 109), ("ID_GREEK_RHO", 114),
    ("ID_GREEK_SIGMA", 115), ("ID_GREEK_ZETA", 122), ("ID_GREEK_OMEGA", 119),
    ("ID_GREEK_ETA", 104), ("ID_GREEK_IOTA", 105), ("ID_GREEK_KAPPA", 107),
    ("ID_GREEK_NU", 110), ("ID_GREEK_XI", 120), ("ID_GREEK_TAU", 116),
    ("ID_GREEK_UPSILON", 117), ("ID_GREEK_PSI", 121),
]

GREEK_UPPER = [
    ("ID_GREEK_UPPER_SIGMA", 83), ("ID_GREEK_UPPER_DELTA", 68),
    ("ID_GREEK_UPPER_OMEGA", 87), ("ID_GREEK_UPPER_GAMMA", 71),
    ("ID_GREEK_UPPER_THETA", 81), ("ID_GREEK_UPPER_PI", 80),
    ("ID_GREEK_UPPER_LAMBDA", 76), ("ID_GREEK_UPPER_XI", 88),
    ("ID_GREEK_UPPER_UPSILON", 85), ("ID_GREEK_UPPER_PHI", 70),
    ("ID_GREEK_UPPER_PSI", 89),
]

SYMBOLS = [
    ("ID_SYMBOL_LESS_EQUAL", 163), ("ID_SYMBOL_GREATER_EQUAL", 179),
    ("ID_SYMBOL_NOT_EQUAL", 185), ("ID_SYMBOL_CONGRUENT", 64),
    ("ID_SYMBOL_APPROX", 187), ("ID_SYMBOL_IDENTICAL", 186),
    ("ID_SYMBOL_PLUS_MINUS", 177), ("ID_SYMBOL_DIVIDE", 184),
    ("ID_SYMBOL_ARROW", 174), ("ID_SYMBOL_IMPLIES", 222),
    ("ID_SYMBOL_INFINITY", 165), ("ID_SYMBOL_TRIANGLE", 68),
    ("ID_SYMBOL_ANGLE", 208), ("ID_SYMBOL_PERPENDICULAR", 94),
    ("ID_SYMBOL_AND", 199), ("ID_SYMBOL_OR", 200),
    ("ID_SYMBOL_ELEMENT", 206), ("ID_SYMBOL_NOT_ELEMENT", 207),
    ("ID_SYMBOL_SUBSET", 204), ("ID_SYMBOL_NOT_SUBSET", 203),
    ("ID_SYMBOL_PROPER_SUBSET", 205), ("ID_SYMBOL_PROPORTIONAL", 181),
    ("ID_SYMBOL_THEREFORE", 92), ("ID_SYMBOL_PARTIAL", 182),
    ("ID_SYMBOL_EXISTS", 36), ("ID_SYMBOL_FOR_ALL", 34),
    ("ID_SYMBOL_NABLA", 209), ("ID_SYMBOL_ANGSTROM", "\u00c5"),
    ("ID_SYMBOL_DOT_PRODUCT", 215),
]


def narrow_button(code, colour):
    if isinstance(code, str):  # a letter of the text font, not of Symbol
        return lambda c: c.text(code, "serif", 13, colour, fit=0.92)
    if code == 215:  # the dot operator is tiny at this size: draw it larger
        return lambda c: c.ellipse((4.5, 6, 8.5, 10), fill=colour)
    return lambda c: c.symbol(code, 13, colour, fit=0.92)


# --- Wide palettes (24 x 24) -------------------------------------------------

def draw_int(c):
    c.symbol(242, 22, CALCULUS, fit=0.92)


def draw_lim(c):
    c.text("lim", "serif", 12, CALCULUS, cy=8)
    c.text("x", "serif-italic", 9, BLACK, cx=5, cy=17.5)
    c.arrow(8.5, 17, 18.5, BLACK, head=2.4)


def draw_sum(c):
    c.symbol(229, 19, CALCULUS, fit=0.9)


def draw_product(c):
    c.symbol(213, 19, CALCULUS, fit=0.9)


def draw_bounds(c):
    c.line([(4.5, 5), (2.5, 5), (2.5, 19), (4.5, 19)], BLACK, 1.0)
    c.line([(13.5, 5), (15.5, 5), (15.5, 19), (13.5, 19)], BLACK, 1.0)
    variable_x(c, cx=9, cy=11.5, size=13)
    c.text("b", "serif-italic", 8, CALCULUS, cx=19.5, cy=5)
    c.text("a", "serif-italic", 8, CALCULUS, cx=19.5, cy=19)


def draw_derivative_at_point(c):
    c.text("d", "serif-italic", 9, BLACK, cx=6, cy=5.5)
    c.line([(2, 11), (10, 11)], BLACK, 0.9)
    c.text("dx", "serif-italic", 9, BLACK, cx=6, cy=16.5)
    c.line([(13.5, 2.5), (13.5, 21)], BLACK, 1.0)
    c.text("a", "serif-italic", 9, CALCULUS, cx=18, cy=19)


def draw_div(c):
    c.text("div", "serif", 12, CALCULUS)


def draw_sqrt(c):
    radical(c, 2, 21, 4.5, 20)
    variable_x(c, cx=15, cy=13, size=14)


def draw_nth_root(c):
    radical(c, 3, 21, 5, 20)
    c.text("n", "serif-italic", 8, ACCENT, cx=4, cy=6)
    variable_x(c, cx=15.5, cy=13, size=14)


def draw_superscript(c):
    variable_x(c, cx=8, cy=14, size=16)
    c.text("2", "serif", 10, ACCENT, cx=17, cy=6)


def draw_subscript(c):
    variable_x(c, cx=8, cy=10, size=16)
    c.text("2", "serif", 10, ACCENT, cx=17, cy=17)


def over_arrow(left, right):
    def draw(c):
        variable_x(c, cy=15, size=16)
        c.arrow(5, 19, 5, ACCENT, left=left, right=right)
    return draw


def draw_arc(c):
    variable_x(c, cy=15, size=16)
    c.arc((4.5, 3.5, 19.5, 11.5), 180, 360, ACCENT, 1.1)


def draw_box(c):
    c.rect((4, 4, 20, 20), outline=ACCENT, width=1.1)
    variable_x(c, size=14)


# The bar the equation draws: over the selection.
def draw_overbar(c):
    variable_x(c, cy=15, size=16)
    c.line([(5, 5), (19, 5)], ACCENT, 1.2)


def draw_hat(c):
    variable_x(c, cy=15, size=16)
    c.line([(7, 8), (12, 3.5), (17, 8)], ACCENT, 1.2)


def dots(c, xs):
    for x in xs:
        c.ellipse((x - 1.4, 4, x + 1.4, 6.8), fill=ACCENT)


def draw_dot(c):
    variable_x(c, cy=15, size=16)
    dots(c, [12])


def draw_double_dot(c):
    variable_x(c, cy=15, size=16)
    dots(c, [9, 15])


def draw_scientific(c):
    c.text("1", "sans", 11, BLACK, cx=4.5, cy=12)
    c.text("E", "sans-bold", 11, ACCENT, cx=12, cy=12)
    c.text("5", "sans", 11, BLACK, cx=19.5, cy=12)


def draw_matrix(c):
    draw_arrays_head(c)


def draw_vector(c):
    c.line([(9, 2.5), (7, 2.5), (7, 21.5), (9, 21.5)], BLACK, 1.0)
    c.line([(15, 2.5), (17, 2.5), (17, 21.5), (15, 21.5)], BLACK, 1.0)
    for y in (6.5, 12, 17.5):
        c.rect((11, y - 1, 13, y + 1), fill=ACCENT)


def draw_piecewise(c):
    c.text("{", "serif", 20, BLACK, cx=4, cy=12)
    for y in (7, 17):
        c.line([(7.5, y), (13, y)], ACCENT, 1.6)
        c.line([(16, y), (21.5, y)], (90, 90, 90), 1.0)


EQUATION_NUMBERS = [("ID_EQUATION_NUMBER_%d" % d,
                     (lambda d: lambda c: circled_digit(c, d))(d))
                    for d in range(10)]

CALCULUS_PALETTE = [
    ("ID_INSERT_INTEGRAL", draw_int),
    ("ID_INSERT_LIMIT", draw_lim),
    ("ID_INSERT_SUM", draw_sum),
    ("ID_INSERT_PRODUCT", draw_product),
    ("ID_INSERT_BOUNDS", draw_bounds),
    ("ID_INSERT_DERIVATIVE_AT_POINT", draw_derivative_at_point),
    ("ID_INSERT_DIV", draw_div),
]

ROOTS_PALETTE = [
    ("ID_INSERT_SQRT", draw_sqrt),
    ("ID_INSERT_NTH_ROOT", draw_nth_root),
    ("ID_INSERT_SUPERSCRIPT", draw_superscript),
    ("ID_INSERT_SUBSCRIPT", draw_subscript),
    ("ID_INSERT_ARROW_RIGHT", over_arrow(False, True)),
    ("ID_INSERT_ARROW_LEFT", over_arrow(True, False)),
    ("ID_INSERT_ARROW_BOTH", over_arrow(True, True)),
    ("ID_INSERT_ARC", draw_arc),
    ("ID_INSERT_HAT", draw_hat),
    ("ID_INSERT_DOT", draw_dot),
    ("ID_INSERT_DOUBLE_DOT", draw_double_dot),
    ("ID_INSERT_UNDERBAR", draw_overbar),
    ("ID_INSERT_BOX", draw_box),
    ("ID_INSERT_SCIENTIFIC", draw_scientific),
]

ARRAYS_PALETTE = [
    ("ID_INSERT_MATRIX", draw_matrix),
    ("ID_INSERT_VECTOR", draw_vector),
    ("ID_INSERT_PIECEWISE", draw_piecewise),
]


# Toolbar resource, its bitmap(s), file stem, button size, buttons.
# The first bitmap id is the toolbar's own (what loading the toolbar reads);
# a second one is the true-colour strip the palette code asks for.
TOOLBARS = [
    ("IDR_MAINFRAME", [], "mainframe", (16, 16), MAINFRAME),
    ("IDR_SHORTCUTS", ["IDB_SHORTCUTS"], "shortcuts", (24, 24), SHORTCUTS),
    ("IDR_PALETTE_GREEK_LOWER", ["IDB_PALETTE_GREEK_LOWER"], "greek_lower",
     (13, 16), [(n, narrow_button(k, GREEK)) for n, k in GREEK_LOWER]),
    ("IDR_PALETTE_GREEK_UPPER", ["IDB_PALETTE_GREEK_UPPER"], "greek_upper",
     (13, 16), [(n, narrow_button(k, GREEK)) for n, k in GREEK_UPPER]),
    ("IDR_PALETTE_SYMBOLS", ["IDB_PALETTE_SYMBOLS"], "symbols",
     (13, 16), [(n, narrow_button(k, SYMBOL)) for n, k in SYMBOLS]),
    ("IDR_PALETTE_EQUATION_NUMBERS", ["IDB_PALETTE_EQUATION_NUMBERS"],
     "equation_numbers", (24, 24), EQUATION_NUMBERS),
    ("IDR_PALETTE_CALCULUS", ["IDB_PALETTE_CALCULUS"], "calculus", (24, 24),
     CALCULUS_PALETTE),
    ("IDR_PALETTE_ROOTS", ["IDB_PALETTE_ROOTS"], "roots", (24, 24),
     ROOTS_PALETTE),
    ("IDR_PALETTE_ARRAYS", ["IDB_PALETTE_ARRAYS"], "arrays", (24, 24),
     ARRAYS_PALETTE),
]


# --- Output -----------------------------------------------------------------

def render_strip(size, buttons):
    """All button images of a toolbar side by side (separators excluded)."""
    w, h = size
    drawn = [b for b in buttons if b is not None]
    strip = Image.new("RGB", (w * len(drawn), h), BACKGROUND)
    for i, (_, draw) in enumerate(drawn):
        canvas = Canvas(w, h)
        draw(canvas)
        strip.paste(canvas.reduced(), (i * w, 0))
    # The mask colour is read from the bottom-left pixel: keep it clean.
    strip.putpixel((0, h - 1), BACKGROUND)
    return strip


def toolbar_statement(name, size, buttons):
    """The toolbar as a raw type-241 resource of 16-bit words: version 1,
    image width and height, item count, the items (0 for a separator).
    windres's own TOOLBAR statement writes 32-bit fields and no version,
    which is not the layout toolbar loaders read."""
    items = ["0" if b is None else b[0] for b in buttons]
    lines = ["%s 241  // toolbar" % name, "BEGIN",
             "    1, %d, %d, %d," % (size[0], size[1], len(items))]
    for i, item in enumerate(items):
        lines.append("    %s%s" % (item, "," if i < len(items) - 1 else ""))
    lines.append("END")
    return "\n".join(lines)


def app_icon(size):
    """Blue rounded tile with a white radical over x."""
    big = size * 8
    im = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    d.rounded_rectangle((0, 0, big - 1, big - 1), radius=big // 6,
                        fill=(30, 70, 170, 255))
    w = max(2, big // 14)
    pts = [(0.12, 0.58), (0.22, 0.52), (0.36, 0.84), (0.52, 0.18), (0.9, 0.18)]
    d.line([(x * big, y * big) for x, y in pts], fill=WHITE, width=w,
           joint="curve")
    f = font("serif-italic", int(big * 0.5))
    d.text((big * 0.71, big * 0.53), "x", font=f, fill=(255, 220, 80),
           anchor="mm")
    return im.resize((size, size), Image.LANCZOS)


def document_icon(size):
    """White page with a blue sigma."""
    big = size * 8
    im = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    fold = big * 0.25
    x0, x1 = big * 0.14, big * 0.86
    d.polygon([(x0, 2), (x1 - fold, 2), (x1, fold), (x1, big - 3), (x0, big - 3)],
              fill=WHITE, outline=BLACK, width=max(1, big // 32))
    d.line([(x1 - fold, 2), (x1 - fold, fold), (x1, fold)], fill=BLACK,
           width=max(1, big // 32))
    f = font("symbol", int(big * 0.55))
    d.text((big * 0.5, big * 0.58), chr(229), font=f, fill=(30, 70, 170),
           anchor="mm")
    return im.resize((size, size), Image.LANCZOS)


def write_ico(path, images):
    """ICO with 32-bit DIB entries (alpha), readable by every Windows."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for im in images:
        w, h = im.size
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0,
                             0, 0)
        rows = []
        for y in range(h - 1, -1, -1):
            row = bytearray()
            for x in range(w):
                r, g, b, a = im.getpixel((x, y))
                row += bytes((b, g, r, a))
            rows.append(bytes(row))
        mask_row = ((w + 31) // 32) * 4
        blob = header + b"".join(rows) + bytes(mask_row * h)
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32,
                                   len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)))
        f.write(b"".join(entries))
        f.write(b"".join(blobs))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", help="also write enlarged PNGs here")
    args = parser.parse_args()
    os.makedirs(IMAGES, exist_ok=True)
    rc = ["// Generated by tools/make_toolbar_images.py: edit the script, not this.",
          ""]
    for name, extra_bitmaps, stem, size, buttons in TOOLBARS:
        strip = render_strip(size, buttons)
        strip.save(os.path.join(IMAGES, stem + ".bmp"))
        rc.append(toolbar_statement(name, size, buttons))
        for bitmap in [name] + extra_bitmaps:
            rc.append('%s BITMAP "images/%s.bmp"' % (bitmap, stem))
        rc.append("")
        if args.preview:
            os.makedirs(args.preview, exist_ok=True)
            big = strip.resize((strip.width * 6, strip.height * 6), Image.NEAREST)
            big.save(os.path.join(args.preview, stem + ".png"))
    write_ico(os.path.join(IMAGES, "ovelin.ico"),
              [app_icon(s) for s in (16, 32, 48)])
    write_ico(os.path.join(IMAGES, "document.ico"),
              [document_icon(s) for s in (16, 32, 48)])
    if args.preview:
        for stem, maker in (("ovelin_icon", app_icon), ("document_icon", document_icon)):
            maker(48).resize((192, 192), Image.NEAREST).save(
                os.path.join(args.preview, stem + ".png"))
    with open(os.path.join(OUT, "Toolbars.rc"), "w", newline="\r\n") as f:
        f.write("\n".join(rc))
    return 0


if __name__ == "__main__":
    sys.exit(main())
