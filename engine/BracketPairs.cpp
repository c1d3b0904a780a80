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
  row.SetPairs(this);
}

// Bracket matching counts kinds; a stack of opening brackets gives every
// pair of the row in one walk, and leaves -1 where a walk finds none.
void BracketPairs::Take() const {
  taken_ = true;
  size_ = row_->GetSize();
  match_.assign(static_cast<size_t>(size_), -1);
  excess_.assign(static_cast<size_t>(size_), 0);
  std::vector<int> open;
  int i = 0;
  int excess = 0;
  for (const QVMToken* token : *row_) {
    excess += token->kind == TK_CLOSE ? 1 : token->kind == TK_OPEN ? -1 : 0;
    excess_[static_cast<size_t>(i)] = excess;
    if (token->kind == TK_OPEN) {
      open.push_back(i);
    } else if (token->kind == TK_CLOSE && !open.empty()) {
      match_[static_cast<size_t>(i)] = open.back();
      match_[static_cast<size_t>(open.back())] = i;
      open.pop_back();
    }
    ++i;
  }
  head_ = tail_ = size_;
}

BracketPairs::~BracketPairs() {
  if (row_ != nullptr) row_->SetPairs(nullptr);
}

// A pair inside the head, or an opening bracket of the tail whose walk
// rightwards sees only the tail; otherwise one remembered.
int BracketPairs::MatchingClose(int index, int size) const {
  if (row_ == nullptr) return kUnknown;
  if (!taken_) Take();
  const int shift = size - size_;
  if (index >= front_ && index < front_ + head_) {
    const int match = match_[static_cast<size_t>(index - front_)];
    if (match >= 0 && match < head_) return match + front_;
  } else if (index >= size - tail_) {
    const int match = match_[static_cast<size_t>(index - shift)];
    return match < 0 ? -1 : match + shift;
  }
  return Remembered(index);
}

// A closing bracket of the head, whose walk leftwards sees only the head
// and the opening brackets before it, or a pair inside the tail; otherwise
// one remembered.
int BracketPairs::MatchingOpen(int index, int size) const {
  if (row_ == nullptr) return kUnknown;
  if (!taken_) Take();
  const int shift = size - size_;
  if (index >= front_ && index < front_ + head_) {
    const int match = match_[static_cast<size_t>(index - front_)];
    if (match >= 0) return match + front_;
    if (!frontOpens_) return kUnknown;
    // Unmatched in the row as it was: the walk enters the front still
    // counting this many closing brackets.
    const int excess = excess_[static_cast<size_t>(index - front_)];
    return excess <= front_ ? front_ - excess : -1;
  }
  if (index >= size - tail_) {
    const int match = match_[static_cast<size_t>(index - shift)];
    if (match >= size_ - tail_) return match + shift;
  }
  return Remembered(index);
}

void BracketPairs::Edited(int index, int removed, int inserted, int sizeAfter) {
  if (removed > 0) ++removals_;
  if (!taken_) return;  // the pairs will be taken of the row as it is then
  // An edit among the tokens before the head leaves the head as it was.
  if (index + removed <= front_) {
    front_ += inserted - removed;
    for (int k = 0; k < inserted && frontOpens_; ++k)
      frontOpens_ = row_->GetAt(index + k)->kind == TK_OPEN;
  } else {
    head_ = std::max(0, std::min(head_, index - front_));
  }
  tail_ = std::max(0, std::min(tail_, sizeAfter - (index + inserted)));
}

// Only walks this long are remembered: shorter ones cost less than a look-up.
void BracketPairs::Learn(int from, int to) const {
  if (row_ == nullptr || (to - from < kLeastTokens && from - to < kLeastTokens)) return;
  found_[row_->GetAt(from)] = {row_->GetAt(to), to - from, removals_};
  found_[row_->GetAt(to)] = {row_->GetAt(from), from - to, removals_};
}

int BracketPairs::Remembered(int index) const {
  if (row_ == nullptr || found_.empty()) return kUnknown;
  const auto found = found_.find(row_->GetAt(index));
  if (found == found_.end() || found->second.since != removals_) return kUnknown;
  const int other = index + found->second.distance;
  if (other < 0 || other >= row_->GetSize() || row_->GetAt(other) != found->second.other) return kUnknown;
  return other;
}
