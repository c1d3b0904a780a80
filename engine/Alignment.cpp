// Lining up the relation signs of an equation's lines: which signs a line
// may align on, where they stand after the last measure, and the spacers
// that move them into one column. Needs no device context: it works on the
// widths the last measure left in the tokens.
#include <algorithm>
#include <utility>
#include <vector>

#include "engine/EquationLine.h"
#include "engine/EquationList.h"
#include "options/QVMOptions.h"

namespace {

// Symbol-font codes of the relation signs a line aligns on: congruent, less
// or equal, greater or equal, not equal, identical, approximately equal.
constexpr unsigned char kRelationCodes[] = {64, 163, 179, 185, 186, 187};
// Symbol-font arrows a line aligns on: right, both ways (double), right (double).
constexpr unsigned char kArrowCodes[] = {174, 219, 222};
constexpr unsigned char kThereforeCode = 92;

template <size_t N>
bool OneOf(unsigned char code, const unsigned char (&codes)[N]) {
  return std::find(codes, codes + N, code) != codes + N;
}

// 1 for a relation sign, 0 for an arrow or "therefore", -1 for anything else.
int32_t SignClass(const QVMToken& t) {
  const unsigned char first = t.text.IsEmpty() ? 0 : static_cast<unsigned char>(t.text.GetAt(0));
  switch (t.kind) {
    case TK_EQUAL: case TK_GREATER: case TK_LESS: return 1;
    case TK_SPACEDSYMBOL:
      if (OneOf(first, kRelationCodes)) return 1;
      return OneOf(first, kArrowCodes) ? 0 : -1;
    case TK_SYMBOL: case TK_UNBOLDSYMBOL: return first == kThereforeCode ? 0 : -1;
    default: return -1;
  }
}

bool IsSpaceKind(TokenKind kind) { return kind == TK_SPACE || kind == TK_NOSPACE; }

// Places a row's tokens (their offsetX) from the left only as far as the
// search for signs asks: a long line's signs mostly stand near its start.
class RowPlaces {
 public:
  explicit RowPlaces(const TokenRow& row) : row_(row) {}
  const QVMToken& Placed(int index) {
    for (; placed_ <= index; ++placed_) {
      QVMToken* token = row_.GetAt(placed_);
      token->offsetX = x_;
      x_ += token->extent.width;
    }
    return *row_.GetAt(index);
  }

 private:
  const TokenRow& row_;
  int placed_ = 0;
  int32_t x_ = 0;
};

// The first token after the sign that is not a space, and the room between;
// a sign with nothing after it has no gap.
void FindNext(const TokenRow& row, RowPlaces& places, AlignmentEntry& entry) {
  entry.nextIndex = row.GetSize();
  entry.nextX = entry.x + entry.width;
  for (int i = entry.index + 1; i < row.GetSize(); ++i) {
    if (IsSpaceKind(row.KindAt(i))) continue;
    entry.nextIndex = i;
    entry.nextX = places.Placed(i).offsetX;
    break;
  }
  entry.gapAfter = entry.nextX - (entry.x + entry.width);
}

// Inserts a spacer when it takes room and its place lies inside the row.
void InsertSpacer(TokenRow& row, QVMTokenFactory& factory, int index, int32_t width) {
  if (width <= 0 || index < 0 || index >= row.GetSize()) return;
  row.InsertAt(index, factory.NewSpacer(width));
  row.SetNeedsLayout(true);
}

template <typename Pick>
int32_t Largest(QVEquationList& list, Pick pick) {
  int32_t largest = 0;
  for (auto& engine : list.Engines) largest = std::max(largest, pick(*engine));
  return largest;
}

}  // namespace

// Where the root row's spacers stand and how wide they are, by index.
std::vector<std::pair<int, int32_t>> SpacerLayout(const TokenRow& row) {
  std::vector<std::pair<int, int32_t>> spacers;
  int index = 0;
  for (const QVMToken* token : row) {
    if (token->kind == TK_DELTA) spacers.emplace_back(index, token->stretch);
    ++index;
  }
  return spacers;
}

AlignmentEntry QVMToken::MakeAlignmentEntry(int32_t index) const {
  AlignmentEntry entry;
  const int32_t sign = SignClass(*this);
  if (sign < 0) return entry;
  entry.kind = kind;
  entry.width = extent.width;
  entry.isRelation = sign;
  entry.index = index;
  entry.x = offsetX;
  return entry;
}

void EquationLine::FindRelation(const QVMOptions& options) {
  leadingEntry = AlignmentEntry{};
  mainEntry = AlignmentEntry{};
  shifts = AlignmentShifts{};
  if (root_.IsEmpty()) return;
  RowPlaces places(root_);
  leadingEntry = places.Placed(0).MakeAlignmentEntry(0);
  for (int i = 1; i < root_.GetSize() && !mainEntry.Exists(); ++i)
    mainEntry = places.Placed(i).MakeAlignmentEntry(i);
  if (leadingEntry.Exists()) FindNext(root_, places, leadingEntry);
  if (!mainEntry.Exists()) return;
  FindNext(root_, places, mainEntry);
  const QVMToken& prev = places.Placed(mainEntry.index - 1);
  mainEntry.prevIndex = mainEntry.index - 1;
  mainEntry.prevEnd = prev.offsetX + prev.extent.width;
  mainEntry.gapBefore = mainEntry.x - mainEntry.prevEnd;
  mainEntry.leftWidth = mainEntry.prevEnd - (leadingEntry.Exists() ? leadingEntry.nextX : 0);
  // Style 0: the spacer goes before the left-hand side, so left-hand sides
  // end flush; otherwise between it and the sign, so they start flush.
  if (options.VerticalAlignStyle.Clamped() == 0)
    mainEntry.spacerIndex = leadingEntry.Exists() ? 1 : 0;
  else
    mainEntry.spacerIndex = mainEntry.index;
}

// The main sign's spacers first (each at or before the last), then the
// leading sign's; spacers that take no room are left out.
void EquationLine::InsertAlignmentSpacers() {
  if (mainEntry.Exists()) {
    InsertSpacer(root_, factory_, mainEntry.index + 1, shifts.gapAfterShift);
    InsertSpacer(root_, factory_, mainEntry.index, shifts.gapBeforeShift);
    InsertSpacer(root_, factory_, mainEntry.spacerIndex, shifts.leftShift);
  }
  const int lead = leadingEntry.Exists() ? 1 : 0;
  if (root_.GetSize() <= lead) return;
  InsertSpacer(root_, factory_, lead, shifts.leadGapShift);
  InsertSpacer(root_, factory_, lead, shifts.leadWidthShift);
}

// Continuation lines: "= c" under "a = b" aligns on the first line's sign.
void QVEquationList::JoinContinuationLines() {
  const EquationLine& first = *Engines[0];
  if (first.leadingEntry.Exists() || !first.mainEntry.Exists()) return;
  bool laterLeading = false;
  for (int i = 1; i < kLineCount; ++i) {
    if (Engines[i]->mainEntry.Exists()) return;
    laterLeading = laterLeading || Engines[i]->leadingEntry.Exists();
  }
  if (!laterLeading) return;
  for (int i = 1; i < kLineCount; ++i) {
    EquationLine& line = *Engines[i];
    if (!line.leadingEntry.Exists()) continue;
    line.mainEntry = line.leadingEntry;
    line.mainEntry.spacerIndex = 0;
    line.mainEntry.gapBefore = 0;
    line.mainEntry.leftWidth = 0;
    line.leadingEntry = AlignmentEntry{};
  }
}

void QVEquationList::ChooseAlignmentColumn() {
  JoinContinuationLines();
  const int32_t lw = Largest(*this, [](EquationLine& l) { return l.leadingEntry.Exists() ? l.leadingEntry.width : 0; });
  const int32_t lg = Largest(*this, [](EquationLine& l) { return l.leadingEntry.Exists() ? l.leadingEntry.gapAfter : 0; });
  const int32_t ml = Largest(*this, [](EquationLine& l) { return l.mainEntry.Exists() ? l.mainEntry.leftWidth : 0; });
  const int32_t ma = Largest(*this, [](EquationLine& l) { return l.mainEntry.Exists() ? l.mainEntry.gapAfter : 0; });
  const int32_t mb = Largest(*this, [](EquationLine& l) { return l.mainEntry.Exists() ? l.mainEntry.gapBefore : 0; });
  for (auto& engine : Engines) {
    const AlignmentEntry& lead = engine->leadingEntry;
    const AlignmentEntry& main = engine->mainEntry;
    AlignmentShifts& s = engine->shifts;
    if (main.Exists() && ma > 0) s.gapAfterShift = ma - main.gapAfter;
    if (main.Exists() && mb > 0) s.gapBeforeShift = mb - main.gapBefore;
    if (lw > 0) {
      s.leadWidthShift = lead.Exists() ? lw - lead.width : lw;
      s.leadGapShift = lead.Exists() ? lg - lead.gapAfter : lg;
    }
    if (main.Exists() && ml > 0) s.leftShift = ml - main.leftWidth;
  }
}

namespace {

// A line's spacers as the last measure left them, taken out of its root row
// and given back to the factory: where each stood, and whether the row
// needed layout before.
struct HeldSpacer {
  int index;
  QVMToken* token;
  int32_t width;
  bool neededLayout;
};
struct HeldSpacers {
  std::vector<HeldSpacer> spacers;
  bool rowNeededLayout = false;
};

HeldSpacers TakeOutSpacers(TokenRow& root, QVMTokenFactory& factory) {
  HeldSpacers held;
  held.rowNeededLayout = root.NeedsLayout();
  int index = 0;
  for (QVMToken* token : root) {
    if (token->kind == TK_DELTA)
      held.spacers.push_back({index, token, token->stretch, token->needsLayout});
    ++index;
  }
  for (auto it = held.spacers.rbegin(); it != held.spacers.rend(); ++it) {
    factory.RecycleSpacer(it->token);
    root.RemoveAt(it->index);
  }
  if (!held.spacers.empty()) root.SetNeedsLayout(true);
  return held;
}

// New spacers where the old ones stood, as wide, are the old ones again (the
// factory hands back the spacers given last first), maybe in other places:
// each goes back to its own place with its layout, and the row keeps its
// layout, so that a long line's root row is not measured again at every
// paint. True when the spacers moved.
bool PutBackUnmovedSpacers(TokenRow& root, const HeldSpacers& held) {
  const std::vector<std::pair<int, int32_t>> now = SpacerLayout(root);
  bool same = now.size() == held.spacers.size();
  for (size_t k = 0; same && k < now.size(); ++k)
    same = now[k].first == held.spacers[k].index && now[k].second == held.spacers[k].width;
  if (!same) return true;
  for (const HeldSpacer& spacer : held.spacers) {
    root.SetAt(spacer.index, spacer.token);
    spacer.token->stretch = spacer.width;
    spacer.token->needsLayout = spacer.neededLayout;
  }
  root.SetNeedsLayout(held.rowNeededLayout);
  return false;
}

}  // namespace

// Spacers are rebuilt on every measure: old ones out, signs found, and with
// AlignEquals set, the column chosen and new ones in. A line whose spacers
// moved or changed width is marked in `moved`.
void QVEquationList::AlignRelations(QVMOptions& options, bool (*moved)[kLineCount]) {
  const LineFormatScope scope(options);
  HeldSpacers held[kLineCount];
  for (int i = 0; i < kLineCount; ++i) {
    options.CurrentLineFormat = Formats[i];
    held[i] = TakeOutSpacers(Engines[i]->Root(), Engines[i]->Factory());
    Engines[i]->FindRelation(options);
  }
  if (options.AlignEquals.Value) {
    ChooseAlignmentColumn();
    for (auto& engine : Engines) engine->InsertAlignmentSpacers();
  }
  for (int i = 0; i < kLineCount; ++i) {
    const bool shifted = PutBackUnmovedSpacers(Engines[i]->Root(), held[i]);
    if (moved) (*moved)[i] = shifted;
  }
}

namespace {

// The kinds whose measure reads the token's place in its row: signs spaced
// less at a row's start, and tabs. Groups hand their place on to their
// limits or cells, but those keep their layout here as every subtree does:
// measured again, a group would come out as it was.
bool MeasureReadsPlace(TokenKind kind) {
  switch (kind) {
    case TK_ADD: case TK_EQUAL: case TK_GREATER: case TK_LESS: case TK_SPACEDSYMBOL:
    case TK_RAW: case TK_MULTIPLY: case TK_TAB:
      return true;
    default: return false;
  }
}

}  // namespace

// Only a token's own measure reads its place in the row (a sign at the
// start of a row, a tab): those tokens of the root row are measured again,
// the others and all subtrees keep their layout (a long line's root holds
// thousands of constructs).
void QVEquationList::RelayoutMovedLines(const bool (&moved)[kLineCount], bool everyToken) {
  for (int i = 0; i < kLineCount; ++i) {
    if (!moved[i]) continue;
    TokenRow& root = Engines[i]->Root();
    root.SetNeedsLayout(true);
    for (QVMToken* token : root)
      if (everyToken || MeasureReadsPlace(token->kind)) token->needsLayout = true;
    Engines[i]->SetNeedsRemeasure(true);
  }
}

void QVEquationList::InvalidateLayout() {
  for (auto& engine : Engines) {
    engine->Root().MarkDirty();
    engine->SetNeedsRemeasure(true);
  }
}
