// The two-gap buffer of a row's tokens.
#include "engine/TokenArray.h"

#include <algorithm>

namespace {

// Moves `gap` to start at slot `to` by shifting the tokens between.
template <class Gap>
void Shift(std::vector<QVMToken*>& slots, Gap& gap, size_t to) {
  if (to < gap.start) {
    const size_t count = gap.start - to;
    std::move_backward(slots.begin() + to, slots.begin() + gap.start, slots.begin() + gap.end);
    gap.start -= count;
    gap.end -= count;
  } else if (to > gap.start) {
    const size_t count = to - gap.start;
    std::move(slots.begin() + gap.end, slots.begin() + gap.end + count, slots.begin() + gap.start);
    gap.start += count;
    gap.end += count;
  }
}

}  // namespace

// The first gap moves among the tokens before the second.
void TokenArray::MoveFirst(size_t index) const {
  assert(index <= SecondAt());
  Shift(slots_, first_, index);
}

// The second gap moves among the tokens after the first; index counts
// tokens, so the first gap's slots lie before the slot it goes to.
void TokenArray::MoveSecond(size_t index) const {
  assert(index >= FirstAt());
  Shift(slots_, second_, index + first_.Width());
}

bool TokenArray::UsesSecond(size_t index) const {
  if (index > SecondAt()) return true;
  if (index < FirstAt()) return false;
  const size_t toFirst = index - FirstAt();
  const size_t toSecond = SecondAt() - index;
  return toSecond < toFirst;
}

// Each gap gets room for a quarter of the row more (a small slack for small
// rows), so that rebuilds stay rare: inserts cost amortised constant time.
void TokenArray::Rebuild(size_t index, size_t count) {
  const size_t second = std::max(index, std::min(SecondAt(), Size()));
  QVMToken* const* tokens = Closed();
  const size_t size = Size();
  const size_t width = count + std::max<size_t>(size / 4, 4);
  std::vector<QVMToken*> laid;
  laid.reserve(size + 2 * width);
  laid.insert(laid.end(), tokens, tokens + index);
  laid.resize(laid.size() + width);
  laid.insert(laid.end(), tokens + index, tokens + second);
  laid.resize(laid.size() + width);
  laid.insert(laid.end(), tokens + second, tokens + size);
  slots_.swap(laid);
  first_ = {index, index + width};
  second_ = {second + width, second + 2 * width};
}

void TokenArray::CloseGaps() const {
  MoveSecond(Size());
  MoveFirst(SecondAt());
}

int TokenArray::Add(QVMToken* token) {
  InsertAt(GetSize(), token);
  return GetSize() - 1;
}

void TokenArray::InsertAt(int index, QVMToken* token, int count) {
  assert(index >= 0 && count >= 0);
  const size_t at = std::min(static_cast<size_t>(index), Size());
  const size_t n = static_cast<size_t>(count);
  // At the end, behind gaps left in the middle or an empty one there:
  // appended after the tail, so a row built by appending grows as a vector.
  if (at == Size() && (second_.end < slots_.size() || second_.Width() == 0)) {
    slots_.insert(slots_.end(), n, token);
    return;
  }
  Gap* gap = nullptr;
  if (UsesSecond(at)) {
    MoveSecond(at);
    gap = &second_;
  } else {
    MoveFirst(at);
    gap = &first_;
  }
  if (gap->Width() < n) {
    Rebuild(at, n);
    gap = &first_;
  }
  std::fill(slots_.begin() + gap->start, slots_.begin() + gap->start + count, token);
  gap->start += n;
}

// A removal widens a gap moved to just after the removed tokens: the
// second when they all lie after the first and it is nearer, else the
// first (the second first moved past them when they reach beyond it).
void TokenArray::RemoveAt(int index, int count) {
  if (index < 0 || count <= 0 || index >= GetSize()) return;
  const size_t at = static_cast<size_t>(index);
  const size_t end = at + std::min(static_cast<size_t>(count), Size() - at);
  if (at >= FirstAt() && UsesSecond(end)) {
    MoveSecond(end);
    second_.start -= end - at;
    return;
  }
  if (end > SecondAt()) MoveSecond(end);
  MoveFirst(end);
  first_.start -= end - at;
}

void TokenArray::RemoveAll() {
  slots_.clear();
  first_ = second_ = Gap{};
}

void TokenArray::Copy(const TokenArray& other) {
  slots_.assign(other.begin(), other.end());
  first_ = second_ = Gap{slots_.size(), slots_.size()};
}
