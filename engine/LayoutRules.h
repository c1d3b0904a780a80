// The numbers of the layout rules that need no device context: font sizes
// by level, tab stops, the radical and long-division boxes and shapes, the
// plan of a bracket stacked from Symbol-font pieces, the points of an
// elliptic arc and the grid of a matrix. Layout and drawing (Windows) use
// them; the portable tests check them without GDI.
// Choices of ours: a font size never drops below 1; a tab width of 0 or
// less makes tabs 0 wide; an arc never has more than kMaxArcSegments
// segments; the matrix grid is sized by its cells, not by a fixed table;
// neighbours whose ink would touch get a pixel of paper between them (see
// PaperBetween).
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <vector>

#include "engine/Extent.h"
#include "framework/Geometry.h"
#include "framework/String.h"

class QVMOptions;

// Every length the engine computes from a product is truncated toward zero;
// this also keeps it within GDI's reach.
int32_t Truncate(double value);

// Adds one token's box to its row's: widths add up; a power reaches up
// from the baseline without lowering it.
void AccumulateToken(ExtentRecord& row, const ExtentRecord& token);
// The box of a measured row that holds the one token measured `token`.
ExtentRecord RowBoxOfOne(const ExtentRecord& token);

// How far the long stroke of a radical leans: its horizontal run per unit
// of the radicand's height.
constexpr double kRadicalSlope = 0.46799365;

// Font size after the fraction-nesting and script-level shrinking.
int32_t LevelFontSize(int32_t baseSize, int32_t nesting, double script, const QVMOptions& options);

// Width of a tab at offset x: up to the next multiple of the tab width.
int32_t TabWidthAt(int32_t x, int32_t tabWidth);

// True when the text is exactly one of the letters g, j, p, q, y.
bool HasDescender(const CString& text);
// True when the text is the one character c.
bool IsSingleCharacter(const CString& text, char c);

// Box of a radical around content w x h.
CSize RadicalSize(int32_t w, int32_t h, int32_t sqrtGap);
// Box of a long-division sign around content w x h (fallback when h is 0).
CSize LongDivisionSize(int32_t w, int32_t h, int32_t fallbackHeight, int32_t sqrtGap);

// The radical sign for content w x h drawn at (x, y): the filled hook and
// the stroke from the hook's tip over the content.
struct RadicalShape {
  CPoint hook[5];
  CPoint stroke[3];
  int32_t contentOffset;  // where the content starts, from x
};
RadicalShape RadicalSign(int32_t x, int32_t y, int32_t w, int32_t h, int32_t sqrtGap);

// The Symbol-font pieces of a stretched bracket, bar or integral.
struct DelimiterPieces {
  int bottom, middle, extension, top;
};
// Pieces of a bracket text ("(", "]|", the integral code 242...); false for
// a text that has none ("[|" and "|]" are drawn as lines, but have pieces).
bool PiecesOf(const CString& text, DelimiterPieces& pieces);
// The code measured for a bracket's width when it is stretched; 0 for none.
int BottomPieceForMeasure(const CString& text);

// A stretched bracket is measured 1.05 times the height asked for; the draw
// takes that overshoot off again. Exact, so 2100 gives 2000.
int32_t WithOvershoot(int32_t height);
int32_t WithoutOvershoot(int32_t height);

// The even count K of pieces above the bottom one for a bracket of height
// `height` built from font size `size` (K + 1 pieces are drawn).
int32_t StretchSteps(int32_t height, int32_t size);
// The codes drawn from bottom to top for K steps.
std::vector<int> StackedPieceCodes(const DelimiterPieces& pieces, int32_t steps);
// True when a bracket of measured height Ht is short enough to be one
// glyph at size T, by the measure's test and by the draw's.
bool IsShortForMeasure(int32_t height, int32_t size);
bool IsShortForDraw(int32_t height, int32_t size);

// The points of an elliptic arc in the rectangle (left, bottom, right,
// top) from angle a0 to a1 (radians).
constexpr int kMaxArcSegments = 4096;
std::vector<CPoint> EllipticArcPoints(int32_t left, int32_t bottom, int32_t right, int32_t top,
                                      double a0, double a1);

// What meets one side of a box: nothing (a blank, or nothing drawn), ink
// the layout knows nothing about, a drawn sign or construct, or text.
enum class InkEdge : uint8_t { kNone, kUnknown, kShape, kText };
// The room a row without ink leaves: more than any line is wide.
constexpr int32_t kNoInkRoom = 1 << 28;
// The paper between one side of a glyph's box and its ink, row by row of
// device pixels: entry i covers `step` rows going down from `top - i *
// step` (a row's top above the baseline, in pixels); kNoInkRoom where the
// rows hold no ink.
// A token holds two of these, and a long line measures millions of tokens
// in a few hundred glyph shapes: the entries are held once in a store
// shared by all profiles (each set of entries kept for the life of the
// program), and a profile is their number there, four bytes. The side that
// holds a profile keeps where its entries stand: its room is the nearest
// entry's, moved as the side is.
class InkProfile {
 public:
  static constexpr int kEntries = 16;

  int Top() const { return number_ != 0 ? Kept().top : 0; }
  int Step() const { return number_ != 0 ? Kept().step : 1; }
  int Count() const { return number_ != 0 ? Kept().count : 0; }
  int32_t Nearest() const { return Kept().nearest; }
  // Entry i's room (i below Count()) moved `shift` further from the edge;
  // kNoInkRoom where its rows hold no ink.
  int32_t Room(int i, int32_t shift) const {
    const int32_t room = Kept().room[static_cast<size_t>(i)];
    return room == kNoInkRoom ? kNoInkRoom : room + shift;
  }
  // Takes `count` entries of `step` rows going down from `top`, their
  // rooms (kNoInkRoom for rows without ink).
  void SetRooms(int16_t top, int16_t step, int16_t count,
                const std::array<int32_t, kEntries>& rooms);

  struct Entries {
    int16_t top = 0, step = 1, count = 0;
    int32_t nearest = kNoInkRoom;
    std::array<int32_t, kEntries> room{};
    bool operator==(const Entries& other) const = default;
  };

  // The store's blocks, each twice the last and never moved: block b holds
  // kFirstBlock << b sets, from index kFirstBlock * (2^b - 1) on.
  static constexpr size_t kFirstBlock = 256;
  static constexpr size_t kBlocks = 24;
  struct Place {
    size_t block, offset;
  };
  static Place PlaceOf(uint32_t index) {
    const size_t block = static_cast<size_t>(std::bit_width(index / kFirstBlock + 1)) - 1;
    return {block, index - kFirstBlock * ((size_t{1} << block) - 1)};
  }
  // The store hands over each block it makes.
  static void ReadBlockAt(size_t block, const Entries* entries) { blocks_[block] = entries; }

 private:
  static std::array<const Entries*, kBlocks> blocks_;
  // Read for every entry two neighbours' profiles compare: inline.
  const Entries& Kept() const {
    const Place place = PlaceOf(number_ - 1);
    return blocks_[place.block][place.offset];
  }
  uint32_t number_ = 0;  // in the store, from 1; 0: no entries
};
// One side of a box's ink: the paper between the box's edge and the ink
// nearest to it (negative where a glyph overhangs the box); for text that
// paper row by row (a bracket's curl and a letter's bowl stand at other
// heights; an italic tail passes under the glyph before it), whether the
// glyph is italic and whether it comes from a symbol font. Twelve bytes.
struct InkSide {
  int32_t room = 0;  // with a profile: its nearest entry's, as moved
  InkEdge edge = InkEdge::kUnknown;
  bool italic : 1 = false;
  bool symbol : 1 = false;
  int16_t rise = 0;    // pixel rows the profile's ink stands higher
  InkProfile profile;  // no entries: the same room at every height

  // Moves the ink `by` further from the edge (nearer for negative `by`).
  void Widen(int32_t by) { room += by; }
  // The ink stands `rows` pixels higher above the box's baseline.
  void Rise(int rows) { rise = static_cast<int16_t>(rise + rows); }
  // The profile's top row and its entry i's room, as the side stands.
  int ProfileTop() const { return static_cast<int16_t>(profile.Top() + rise); }
  int32_t ProfileRoom(int i) const { return profile.Room(i, room - profile.Nearest()); }
};
// A side met by a sign or construct all the way up.
InkSide ShapeSide(int32_t room);
// How far a box's ink reaches, its highest and lowest point above the
// box's bottom (y upwards); no ink at all where the top is below the bottom.
// Not `known` where the layout knows nothing of it: the box's own top and
// bottom stand for it then.
struct InkReach {
  int32_t top = -kNoInkRoom, bottom = kNoInkRoom;
  bool known = false;

  bool IsEmpty() const { return top < bottom; }
  // Takes in `other` standing `by` higher.
  void Add(const InkReach& other, int32_t by = 0);
};
// Ink that reaches from `bottom` to `top` of a box.
InkReach ReachFromTo(int32_t bottom, int32_t top);
struct InkSides {
  InkSide left, right;
  InkReach reach;
};
// Where a glyph's ink stands, in logical units from its origin: the paper
// between the ink and the origin (left) and the advance (right), nearest
// and row by row; the top and bottom of its ink above the baseline (y
// upwards).
struct GlyphInk {
  int32_t a = kNoInkRoom, c = kNoInkRoom;
  InkProfile left, right;
  int32_t top = 0, bottom = 0;
};
// A part of a construct: its box starts at `x` from the construct's left
// edge and is `width` wide.
struct InkPart {
  int32_t x, width;
  InkSides ink;
};
// The sides of a construct of `width` made of `parts` (parts without ink
// play no part); every side met by ink counts as a drawn sign.
InkSides CombineInk(const std::vector<InkPart>& parts, int32_t width);
// The paper to add between two neighbours so that `minimum` of it stands
// between their inks, `between` apart (the width of blanks between them);
// 0 where it is not wanted. A sign or construct on either side keeps its
// neighbours off; two texts only where either is a glyph of a symbol font
// (they are not spaced for text) or a glyph overhangs its box towards an
// upright one: the letters of a text font are spaced by its design, and
// italic ones lean past each other.
int32_t PaperBetween(const InkSide& left, int32_t between, const InkSide& right, int32_t minimum);

// One cell or gap of a matrix, in the order of the matrix's first row.
struct MatrixItem {
  bool isSpace = false;
  int32_t width = 0, height = 0, align = 0;
};
// Where the cells of a matrix go: per row the height of its bottom above
// the matrix's bottom, per column its width and left edge.
struct MatrixGrid {
  std::vector<int32_t> rowOffsets;
  std::vector<int32_t> columnWidths;
  std::vector<int32_t> columnOffsets;
  std::vector<int32_t> rowDepths;  // baseline of each row above its slot's bottom
  int32_t depth = 0;               // the largest row depth
  int32_t width = 0, height = 0;
};
// Column and row of each item (spaces get column -1): a space after a cell
// ends the column, further spaces widen the same gap.
struct MatrixPlace {
  int column = -1, row = -1;
};
std::vector<MatrixPlace> PlaceMatrixItems(const std::vector<MatrixItem>& items);
MatrixGrid ComputeMatrixGrid(const std::vector<MatrixItem>& items, int32_t hSpacing,
                             int32_t vSpacing);
