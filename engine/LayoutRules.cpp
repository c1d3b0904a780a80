// Layout numbers that need no device context.
#include "engine/LayoutRules.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "options/LogObjects.h"
#include "options/QVMOptions.h"

namespace {

// Proportions of the radical's hook, in units of the radicand's height.
constexpr double kHookTipX = 0.304158019;
constexpr double kHookTipY = 0.112508647;
// Long division: the dividend starts this far right of the curve.
constexpr double kLongDivisionIndent = 0.1;
// Brackets up to this many times the font size are a single glyph.
constexpr double kShortBracketMeasure = 1.3;
constexpr double kShortBracketDraw = 1.2;
// A bracket taller than this many steps is drawn with this many: beyond it
// the pieces only overlap more, and a runaway height cannot hang drawing.
constexpr int32_t kMaxStretchSteps = 512;

}  // namespace

int32_t Truncate(double value) { return TruncateGdiLength(value); }

namespace {

// A power's box top stands this part of its raise below its measured top.
constexpr double kPowerTopTrim = 0.3;

}  // namespace

void AccumulateToken(ExtentRecord& row, const ExtentRecord& token) {
  row.width += token.width;
  if (token.raised) {
    const int32_t top = Truncate(token.height - kPowerTopTrim * token.raise);
    row.height = row.align + std::max(row.height - row.align, top);
    return;
  }
  const int32_t above = std::max(row.height - row.align, token.height - token.align);
  row.align = std::max(row.align, token.align);
  row.height = above + row.align;
}

// What MeasureTokens makes of a row of one: no paper beside it, the row's
// own raise and adjust zero.
ExtentRecord RowBoxOfOne(const ExtentRecord& token) {
  ExtentRecord row;
  AccumulateToken(row, token);
  row.margin = token.margin;
  return row;
}

// The size shrinks by the ratio per level, each level capped by its maximum.
int32_t LevelFontSize(int32_t baseSize, int32_t nesting, double script,
                      const QVMOptions& options) {
  const int32_t n = std::min(nesting, options.FracLevelMax.Clamped());
  const double level = std::min(script, static_cast<double>(options.PowerLevelMax.Clamped()));
  const int32_t s1 = Truncate((1.0 - n * options.FracLevelRatio.Clamped()) * baseSize);
  const int32_t s = Truncate((1.0 - level * options.PowerLevelRatio.Clamped()) * s1);
  // Deep nesting or a ratio of 1 would ask GDI for a zero or negative
  // height, which it reads as "a default size".
  return std::max(s, 1);
}

bool HasDescender(const CString& text) {
  return text.GetLength() == 1 && CString("gjpqy").Find(text.GetAt(0)) >= 0;
}

bool IsSingleCharacter(const CString& text, char c) {
  return text.GetLength() == 1 && text.GetAt(0) == c;
}

int32_t TabWidthAt(int32_t x, int32_t tabWidth) {
  if (tabWidth <= 0) return 0;  // no modulo by zero
  const int32_t into = x % tabWidth;
  return tabWidth - (into < 0 ? into + tabWidth : into);
}

CSize RadicalSize(int32_t w, int32_t h, int32_t sqrtGap) {
  return CSize(Truncate(kRadicalSlope * h + w + sqrtGap), h + sqrtGap);
}

CSize LongDivisionSize(int32_t w, int32_t h, int32_t fallbackHeight, int32_t sqrtGap) {
  const int32_t height = h != 0 ? h : fallbackHeight;
  return CSize(Truncate(kLongDivisionIndent * height + w + sqrtGap), height + sqrtGap);
}

// The hook is a thin filled quadrilateral-with-notch; the stroke leans up
// from its tip and then runs over the content.
RadicalShape RadicalSign(int32_t x, int32_t y, int32_t w, int32_t h, int32_t sqrtGap) {
  const int32_t g = Truncate(sqrtGap * 0.5);
  const double hd = h;
  RadicalShape shape{};
  shape.hook[0] = CPoint(x, Truncate(y + g + hd / 4));
  shape.hook[1] = CPoint(Truncate(x + hd / 24), Truncate(y + g + 7 * hd / 24));
  shape.hook[2] = CPoint(Truncate(x + 7 * hd / 24), Truncate(y + g + hd / 24));
  shape.hook[3] = CPoint(Truncate(x + kHookTipX * hd), Truncate(y + g + kHookTipY * hd));
  shape.hook[4] = CPoint(Truncate(x + hd / 12), Truncate(y + g + hd / 3));
  const int32_t top = Truncate(y + g + hd);
  shape.stroke[0] = shape.hook[3];
  shape.stroke[1] = CPoint(Truncate(x + kRadicalSlope * hd), top);
  shape.stroke[2] = CPoint(Truncate(x + kRadicalSlope * hd + w), top);
  shape.contentOffset = Truncate(kRadicalSlope * hd);
  return shape;
}

bool PiecesOf(const CString& text, DelimiterPieces& pieces) {
  struct Row {
    const char* text;
    DelimiterPieces pieces;
  };
  // clang-format off
  static const Row kRows[] = {
    {"(",    {232, 231, 231, 230}},
    {"[",    {235, 234, 234, 233}},
    {"[|",   {235, 234, 234, 233}},
    {"{",    {238, 237, 239, 236}},
    {")",    {248, 247, 247, 246}},
    {"]",    {251, 250, 250, 249}},
    {"|]",   {251, 250, 250, 249}},
    {"}",    {254, 253, 239, 252}},
    {"\xF2", {245, 244, 244, 243}},
    {"|",    {239, 239, 239, 239}},
    {"|[",   {239, 239, 239, 239}},
    {"]|",   {239, 239, 239, 239}},
  };
  // clang-format on
  for (const Row& row : kRows) {
    if (text == row.text) {
      pieces = row.pieces;
      return true;
    }
  }
  return false;
}

int BottomPieceForMeasure(const CString& text) {
  if (text == "[|" || text == "|]") return 0;
  DelimiterPieces pieces{};
  return PiecesOf(text, pieces) ? pieces.bottom : 0;
}

// I = max(Ht / T, 2); K = 2 * ceil((I - 2) / 2) + 2.
int32_t StretchSteps(int32_t height, int32_t size) {
  const int32_t ratio = size > 0 ? height / size : 2;  // a zero-height font: the fewest pieces
  const int32_t i = std::max(ratio, 2);
  const int32_t k = 2 * ((i - 2 + 1) / 2) + 2;
  return std::min(k, kMaxStretchSteps);
}

// Bottom, extensions, the middle piece half way, extensions, top.
std::vector<int> StackedPieceCodes(const DelimiterPieces& pieces, int32_t steps) {
  std::vector<int> codes;
  codes.reserve(static_cast<size_t>(steps) + 1);
  codes.push_back(pieces.bottom);
  for (int32_t k = 1; k < steps; ++k)
    codes.push_back(k == steps / 2 ? pieces.middle : pieces.extension);
  codes.push_back(pieces.top);
  return codes;
}

bool IsShortForMeasure(int32_t height, int32_t size) {
  return height <= kShortBracketMeasure * size;
}

bool IsShortForDraw(int32_t height, int32_t size) {
  return kShortBracketDraw * size >= WithoutOvershoot(height);
}

int32_t WithOvershoot(int32_t height) { return static_cast<int32_t>(int64_t{height} * 21 / 20); }
int32_t WithoutOvershoot(int32_t height) { return static_cast<int32_t>(int64_t{height} * 20 / 21); }

// About one point per 5 units of radius per radian, never more than
// kMaxArcSegments in all; without any step only the two ends are joined.
std::vector<CPoint> EllipticArcPoints(int32_t left, int32_t bottom, int32_t right, int32_t top,
                                      double a0, double a1) {
  const int32_t cx = (left + right) / 2, cy = (bottom + top) / 2;
  const int32_t rx = right - cx, ry = top - cy;
  if (a1 < a0) a1 = a0;
  auto at = [&](double t) {
    return CPoint(Truncate(cx + rx * std::cos(t)), Truncate(cy + ry * std::sin(t)));
  };
  std::vector<CPoint> points;
  const double n = std::min(rx / 5.0, 1990.0);
  if (n > 0 && a1 > a0) {
    double step = 1.0 / n;
    if ((a1 - a0) / step > kMaxArcSegments) step = (a1 - a0) / kMaxArcSegments;
    const auto count = static_cast<size_t>((a1 - a0) / step) + 2;
    points.reserve(count);
    for (size_t i = 0; i + 1 < count; ++i) {
      const double t = a0 + static_cast<double>(i) * step;
      if (t >= a1) break;
      points.push_back(at(t));
    }
  } else {
    points.push_back(at(a0));
  }
  points.push_back(at(a1));
  return points;
}

namespace {

// Every set of profile entries made, each once: glyphs are measured once
// per font and memory, so the store grows with the fonts and sizes a
// session uses, not with its tokens. Sets are numbered in the order made;
// a profile reads its set in InkProfile's blocks without the lock (a block
// is filled before the numbers of its sets are handed out).
class ProfileStore {
 public:
  uint32_t Keep(const InkProfile::Entries& entries) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto [at, made] = numbers_.try_emplace(entries, count_ + 1);
    if (!made) return at->second;
    const InkProfile::Place place = InkProfile::PlaceOf(count_);
    if (place.block >= InkProfile::kBlocks) throw std::length_error("too many ink profiles");
    std::unique_ptr<InkProfile::Entries[]>& block = blocks_[place.block];
    if (!block) {
      block = std::make_unique<InkProfile::Entries[]>(InkProfile::kFirstBlock << place.block);
      InkProfile::ReadBlockAt(place.block, block.get());
    }
    block[place.offset] = entries;
    return ++count_;
  }

 private:
  struct Hash {
    size_t operator()(const InkProfile::Entries& e) const {
      uint64_t hash = 0x9E3779B97F4A7C15ull ^ static_cast<uint16_t>(e.top) ^
                      (uint64_t{static_cast<uint16_t>(e.step)} << 16) ^
                      (uint64_t{static_cast<uint16_t>(e.count)} << 32);
      for (const int32_t room : e.room) {
        hash = (hash ^ static_cast<uint32_t>(room)) * 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 32;
      }
      return static_cast<size_t>(hash);
    }
  };
  std::mutex mutex_;
  std::unordered_map<InkProfile::Entries, uint32_t, Hash> numbers_;
  std::array<std::unique_ptr<InkProfile::Entries[]>, InkProfile::kBlocks> blocks_;
  uint32_t count_ = 0;
};

ProfileStore& TheProfileStore() {
  static ProfileStore store;
  return store;
}

}  // namespace

std::array<const InkProfile::Entries*, InkProfile::kBlocks> InkProfile::blocks_{};

void InkProfile::SetRooms(int16_t top, int16_t step, int16_t count,
                          const std::array<int32_t, kEntries>& rooms) {
  Entries entries;
  entries.top = top;
  entries.step = step;
  entries.count = count;
  entries.nearest = *std::min_element(rooms.begin(), rooms.end());
  entries.room = rooms;
  number_ = TheProfileStore().Keep(entries);
}

void InkReach::Add(const InkReach& other, int32_t by) {
  known = true;
  if (other.IsEmpty()) return;
  top = std::max(top, other.top + by);
  bottom = std::min(bottom, other.bottom + by);
}

InkReach ReachFromTo(int32_t bottom, int32_t top) {
  InkReach reach;
  reach.top = top;
  reach.bottom = bottom;
  reach.known = true;
  return reach;
}

InkSide ShapeSide(int32_t room) {
  InkSide side;
  side.room = room;
  side.edge = InkEdge::kShape;
  return side;
}

InkSides CombineInk(const std::vector<InkPart>& parts, int32_t width) {
  InkSides sides;
  sides.left.edge = sides.right.edge = InkEdge::kNone;
  auto take = [](InkSide& side, const InkSide& part, int32_t room) {
    if (part.edge == InkEdge::kNone || (side.edge != InkEdge::kNone && room >= side.room)) return;
    side = ShapeSide(room);
    if (part.edge == InkEdge::kUnknown) side.edge = InkEdge::kUnknown;
  };
  for (const InkPart& part : parts) {
    take(sides.left, part.ink.left, part.x + part.ink.left.room);
    take(sides.right, part.ink.right, width - part.x - part.width + part.ink.right.room);
  }
  return sides;
}

namespace {

// The narrowest paper between two profiled sides at rows that touch (the
// same row, or one above or below: pixels meeting at a corner touch);
// kNoInkRoom when their inks stand at no common height.
int64_t ProfiledGap(const InkSide& left, const InkSide& right) {
  int64_t gap = kNoInkRoom;
  const int leftTop = left.ProfileTop(), leftStep = left.profile.Step();
  const int leftCount = left.profile.Count();
  const int rightTop = right.ProfileTop(), rightStep = right.profile.Step();
  const int rightCount = right.profile.Count();
  for (int i = 0; i < leftCount; ++i) {
    const int32_t l = left.ProfileRoom(i);
    if (l == kNoInkRoom) continue;
    const int lTop = leftTop - i * leftStep, lBottom = lTop - leftStep + 1;
    for (int j = 0; j < rightCount; ++j) {
      const int32_t r = right.ProfileRoom(j);
      const int rTop = rightTop - j * rightStep, rBottom = rTop - rightStep + 1;
      if (r == kNoInkRoom || rBottom > lTop + 1 || lBottom > rTop + 1) continue;
      gap = std::min<int64_t>(gap, int64_t{l} + r);
    }
  }
  return gap;
}

}  // namespace

int32_t PaperBetween(const InkSide& left, int32_t between, const InkSide& right, int32_t minimum) {
  if (left.edge == InkEdge::kUnknown || right.edge == InkEdge::kUnknown) return 0;
  if (left.edge == InkEdge::kNone || right.edge == InkEdge::kNone) return 0;
  const bool shape = left.edge == InkEdge::kShape || right.edge == InkEdge::kShape;
  const bool symbolGlyph = left.symbol || right.symbol;
  // Italic glyphs lean the same way: one's overhang passes over the other.
  const bool overhang = (left.room < 0 || right.room < 0) && !(left.italic && right.italic);
  if (!shape && !symbolGlyph && !overhang) return 0;
  const bool profiled = left.profile.Count() > 0 && right.profile.Count() > 0;
  const int64_t ink =
      profiled ? ProfiledGap(left, right) : int64_t{left.room} + right.room;
  if (ink >= kNoInkRoom) return 0;  // no ink at the same height
  const int64_t gap = ink + between;
  // Ink is measured in whole pixels turned into logical units: a gap that
  // falls short of the minimum by their rounding is the minimum.
  constexpr int64_t kRounding = 2;
  return gap >= minimum - kRounding ? 0 : static_cast<int32_t>(minimum - gap);
}

std::vector<MatrixPlace> PlaceMatrixItems(const std::vector<MatrixItem>& items) {
  std::vector<MatrixPlace> places(items.size());
  int column = 0, row = 0;
  bool afterCell = false;
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].isSpace) {
      if (afterCell) {
        ++column;
        row = 0;
      }
      afterCell = false;
      continue;
    }
    places[i] = {column, row++};
    afterCell = true;
  }
  return places;
}

namespace {

// Spaces after the first one of a run widen the gap after their column.
std::vector<int32_t> GapCounts(const std::vector<MatrixItem>& items, size_t columns) {
  std::vector<int32_t> gaps(columns, 0);
  int column = -1;
  bool afterCell = false;
  for (const MatrixItem& item : items) {
    if (!item.isSpace) {
      if (!afterCell) ++column;
      afterCell = true;
    } else if (afterCell) {
      afterCell = false;
    } else if (column >= 0) {
      ++gaps[static_cast<size_t>(column)];
    }
  }
  return gaps;
}

}  // namespace

// Rows and columns are as many as the cells need.
MatrixGrid ComputeMatrixGrid(const std::vector<MatrixItem>& items, int32_t hSpacing,
                             int32_t vSpacing) {
  const std::vector<MatrixPlace> places = PlaceMatrixItems(items);
  size_t rows = 0, columns = 0;
  for (const MatrixPlace& p : places) {
    if (p.column < 0) continue;
    rows = std::max(rows, static_cast<size_t>(p.row) + 1);
    columns = std::max(columns, static_cast<size_t>(p.column) + 1);
  }
  MatrixGrid grid;
  std::vector<int32_t> heights(rows, 0);
  grid.rowDepths.assign(rows, 0);
  grid.columnWidths.assign(columns, 0);
  for (size_t i = 0; i < items.size(); ++i) {
    const MatrixPlace& p = places[i];
    if (p.column < 0) continue;
    const auto r = static_cast<size_t>(p.row), c = static_cast<size_t>(p.column);
    heights[r] = std::max(heights[r], items[i].height);
    grid.rowDepths[r] = std::max(grid.rowDepths[r], items[i].align);
    grid.columnWidths[c] = std::max(grid.columnWidths[c], items[i].width);
  }
  for (int32_t d : grid.rowDepths) grid.depth = std::max(grid.depth, d);
  const std::vector<int32_t> gaps = GapCounts(items, columns);
  const double halfSpacing = 0.5 * hSpacing;
  grid.columnOffsets.assign(columns, 0);
  for (size_t c = 0; c < columns; ++c) {
    if (c > 0)
      grid.columnOffsets[c] = grid.columnOffsets[c - 1] + grid.columnWidths[c - 1] + hSpacing +
                              Truncate(halfSpacing * gaps[c - 1]);
    if (c > 0 && grid.columnWidths[c] <= 0) continue;
    grid.width += (c > 0 ? hSpacing : 0) + grid.columnWidths[c] + Truncate(halfSpacing * gaps[c]);
  }
  // Each row after the first carries the spacing above it.
  grid.rowOffsets.assign(rows, 0);
  for (size_t r = rows; r-- > 0;) {
    const int32_t slot = heights[r] + (r > 0 && heights[r] > 0 ? vSpacing : 0);
    grid.height += slot;
    if (r > 0) grid.rowOffsets[r - 1] = grid.rowOffsets[r] + slot;
  }
  return grid;
}
