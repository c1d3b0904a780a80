// The bracket pairs a pass keeps while it edits a row.
#include "engine/BracketPairs.h"

#include <algorithm>

#include "engine/Token.h"

namespace {
// Shorter rows walk: their walks are short, and taking the pairs is not free.
constexpr int kLeastTokens = 64;
}  // namespace

BracketPairs::BracketPairs(TokenRow& row) {
  if (row.GetSize() < kLeastTokens || row.Pairs() != nullptr) return;
  row_ = &row;
  known_ = std::make_unique<Known>();
  row.SetPairs(this);
}

// Bracket matching counts kinds; a stack of opening brackets gives every
// pair of the row in one walk, and leaves -1 where a walk finds none.
void BracketPairs::Take() const {
  Known& k = *known_;
  k.taken = true;
  k.size = row_->GetSize();
  k.match.assign(static_cast<size_t>(k.size), -1);
  k.excess.assign(static_cast<size_t>(k.size), 0);
  std::vector<int> open;
  int i = 0;
  int excess = 0;
  for (const QVMToken* token : *row_) {
    excess += token->kind == TK_CLOSE ? 1 : token->kind == TK_OPEN ? -1 : 0;
    k.excess[static_cast<size_t>(i)] = excess;
    if (token->kind == TK_OPEN) {
      open.push_back(i);
    } else if (token->kind == TK_CLOSE && !open.empty()) {
      k.match[static_cast<size_t>(i)] = open.back();
      k.match[static_cast<size_t>(open.back())] = i;
      open.pop_back();
    }
    ++i;
  }
  k.head = k.tail = k.size;
}

BracketPairs::~BracketPairs() {
  if (row_ != nullptr) row_->SetPairs(nullptr);
}

namespace {

// The match, by index in the row as it is, of a bracket in the head or in
// the tail; -1 when the row as it was had none.
int HeadMatch(const std::vector<int>& match, int front, int index) {
  const int found = match[static_cast<size_t>(index - front)];
  return found < 0 ? -1 : found + front;
}

int TailMatch(const std::vector<int>& match, int shift, int index) {
  const int found = match[static_cast<size_t>(index - shift)];
  return found < 0 ? -1 : found + shift;
}

}  // namespace

const BracketPairs::Known* BracketPairs::Taken() const {
  if (row_ == nullptr) return nullptr;
  if (!known_->taken) Take();
  return known_.get();
}

// A pair inside the head, or an opening bracket of the tail whose walk
// rightwards sees only the tail; otherwise one remembered.
int BracketPairs::MatchingClose(int index, int size) const {
  const Known* k = Taken();
  if (k == nullptr) return kUnknown;
  const bool inHead = index >= k->front && index < k->front + k->head;
  if (inHead) {
    const int match = HeadMatch(k->match, k->front, index);
    if (match >= k->front && match < k->front + k->head) return match;
  } else if (index >= size - k->tail) {
    return TailMatch(k->match, size - k->size, index);
  }
  return Remembered(index);
}

// A closing bracket of the head, whose walk leftwards sees only the head
// and the opening brackets before it, or a pair inside the tail; otherwise
// one remembered.
int BracketPairs::MatchingOpen(int index, int size) const {
  const Known* k = Taken();
  if (k == nullptr) return kUnknown;
  if (index >= k->front && index < k->front + k->head) {
    const int match = HeadMatch(k->match, k->front, index);
    if (match >= 0) return match;
    if (!k->frontOpens) return kUnknown;
    // Unmatched in the row as it was: the walk enters the front still
    // counting this many closing brackets.
    const int excess = k->excess[static_cast<size_t>(index - k->front)];
    return excess <= k->front ? k->front - excess : -1;
  }
  if (index >= size - k->tail) {
    const int match = TailMatch(k->match, size - k->size, index);
    if (match >= size - k->tail) return match;
  }
  return Remembered(index);
}

void BracketPairs::Edited(int index, int removed, int inserted, int sizeAfter) {
  if (row_ == nullptr) return;
  Known& k = *known_;
  if (removed > 0) ++k.removals;
  if (!k.taken) return;  // the pairs will be taken of the row as it is then
  // An edit among the tokens before the head leaves the head as it was.
  if (index + removed <= k.front) {
    k.front += inserted - removed;
    for (int n = 0; n < inserted && k.frontOpens; ++n)
      k.frontOpens = row_->GetAt(index + n)->kind == TK_OPEN;
  } else {
    k.head = std::max(0, std::min(k.head, index - k.front));
  }
  k.tail = std::max(0, std::min(k.tail, sizeAfter - (index + inserted)));
}

// Only walks this long are remembered: shorter ones cost less than a look-up.
void BracketPairs::Learn(int from, int to) const {
  if (row_ == nullptr || (to - from < kLeastTokens && from - to < kLeastTokens)) return;
  Known& k = *known_;
  k.found[row_->GetAt(from)] = {row_->GetAt(to), to - from, k.removals};
  k.found[row_->GetAt(to)] = {row_->GetAt(from), from - to, k.removals};
}

int BracketPairs::Remembered(int index) const {
  if (row_ == nullptr || known_->found.empty()) return kUnknown;
  const Known& k = *known_;
  const auto found = k.found.find(row_->GetAt(index));
  if (found == k.found.end() || found->second.since != k.removals) return kUnknown;
  const int other = index + found->second.distance;
  if (other < 0 || other >= row_->GetSize() || row_->GetAt(other) != found->second.other) return kUnknown;
  return other;
}
