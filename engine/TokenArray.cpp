// The two-gap buffer of a row's tokens.
#include "engine/TokenArray.h"

#include <algorithm>
#include <utility>

#include "engine/Token.h"

namespace {

// The items of slots [start, end) of a gap move so that it starts at `to`.
template <class T>
void ShiftItems(T* items, size_t start, size_t end, size_t to) {
  if (to < start)
    std::move_backward(items + to, items + start, items + end);
  else
    std::move(items + end, items + end + (to - start), items + start);
}

int8_t StepOf(const QVMToken* token) {
  return token->kind == TK_OPEN ? 1 : token->kind == TK_CLOSE ? -1 : 0;
}

// The first `size` of `items` spread in place over size + 2 * width slots,
// with a gap of `width` free slots (zero) before item `first` and another
// before item `second`.
template <class T>
void Spread(T* items, size_t size, size_t first, size_t second, size_t width) {
  std::move_backward(items + second, items + size, items + size + 2 * width);
  std::move_backward(items + first, items + second, items + second + width);
  std::fill_n(items + first, width, T{});
  std::fill_n(items + second + width, width, T{});
}

}  // namespace

// ------------------------------------------------------------- TokenSlots

void TokenSlots::Append(size_t count, QVMToken* token) {
  if (size_ + count > capacity_) Reallocate(size_ + std::max<size_t>(size_, count));
  std::fill_n(data() + size_, count, token);
  size_ += static_cast<uint32_t>(count);
}

// A row rebuilt much shorter (brackets grouped into a few tokens) gives
// back its old block rather than keep it for the line's lifetime.
void TokenSlots::Assign(QVMToken* const* items, size_t count) {
  if (count > capacity_ || count < capacity_ / 4) {
    Free();
    size_ = 0;
    capacity_ = 1;
    if (count > 1) Reallocate(count);
  }
  std::copy(items, items + count, data());
  size_ = static_cast<uint32_t>(count);
}

void TokenSlots::Resize(size_t count) {
  if (count > capacity_) Reallocate(count);
  size_ = static_cast<uint32_t>(count);
}

void TokenSlots::Take(TokenSlots& other) {
  Free();
  storage_ = other.storage_;  // the single slot, or the block
  size_ = std::exchange(other.size_, 0);
  capacity_ = std::exchange(other.capacity_, 1);
}

void TokenSlots::Reallocate(size_t capacity) {
  QVMToken** block = new QVMToken*[capacity];
  std::copy(data(), data() + size_, block);
  Free();
  storage_.many = block;
  capacity_ = static_cast<uint32_t>(capacity);
}

// ------------------------------------------------------------- TokenArray

// The index's steps move with the tokens; the gap's slots step by 0.
void TokenArray::Shift(Gap& gap, size_t to) const {
  if (to == gap.start) return;
  const size_t width = gap.Width();
  ShiftItems(slots_.data(), gap.start, gap.end, to);
  if (index_ != nullptr) {
    // Only the slots the tokens left and the ones they came to changed: a
    // short move of a wide gap costs as little as the move.
    std::vector<int8_t>& steps = index_->Steps();
    ShiftItems(steps.data(), gap.start, gap.end, to);
    const size_t moved = to < gap.start ? gap.start - to : to - gap.start;
    const size_t left = std::min<size_t>(gap.start, to);
    const size_t right = std::max<size_t>(gap.end, to + width);
    // The gap's new slots outside its old ones.
    const size_t taken = to < gap.start ? to : std::max<size_t>(to, gap.end);
    const size_t takenEnd = to < gap.start ? std::min<size_t>(to + width, gap.start) : to + width;
    std::fill(steps.begin() + taken, steps.begin() + takenEnd, 0);
    if (moved < width) {
      index_->Changed(left, left + moved);
      index_->Changed(right - moved, right);
    } else {
      index_->Changed(left, right);
    }
  }
  if (to > gap.start + kLongMove) gap.longMove = 1;
  if (to + kLongMove < gap.start) gap.longMove = -1;
  gap.Place(to, width);
}

// The first gap moves among the tokens before the second.
void TokenArray::MoveFirst(size_t index) const {
  assert(index <= SecondAt());
  Shift(first_, index);
}

// The second gap moves among the tokens after the first; index counts
// tokens, so the first gap's slots lie before the slot it goes to.
void TokenArray::MoveSecond(size_t index) const {
  assert(index >= FirstAt());
  Shift(second_, index + first_.Width());
}

void TokenArray::Restep(size_t first, size_t end) const {
  std::vector<int8_t>& steps = index_->Steps();
  const bool shrank = slots_.size() < steps.size();
  steps.resize(slots_.size());
  for (size_t s = first; s < end; ++s) {
    const bool free = (s >= first_.start && s < first_.end) || (s >= second_.start && s < second_.end);
    steps[s] = free ? 0 : StepOf(slots_[s]);
  }
  if (shrank) index_->Relaid();
  else index_->Changed(first, end);
}

const BracketIndex& TokenArray::Index() const {
  if (index_ == nullptr) {
    index_ = std::make_unique<BracketIndex>();
    Restep(0, slots_.size());
  }
  return *index_;
}

void TokenArray::KeepBrackets(bool keep) {
  keep_ = keep;
  if (!keep) index_.reset();
}

// Until the index is made, a match close by is found by walking the
// tokens: most rows of everyday text never need the index, and making it
// reads every token of the row.
int TokenArray::MatchingClose(int index) const {
  if (index_ == nullptr) {
    const int nearby = NearMatch(index, 1);
    if (nearby != kFar) return nearby;
  }
  const ptrdiff_t slot = Index().CloseOf(Slot(index));
  return slot < 0 ? -1 : IndexOf(static_cast<size_t>(slot));
}

int TokenArray::MatchingOpen(int index) const {
  if (index_ == nullptr) {
    const int nearby = NearMatch(index, -1);
    if (nearby != kFar) return nearby;
  }
  const ptrdiff_t slot = Index().OpenOf(Slot(index));
  return slot < 0 ? -1 : IndexOf(static_cast<size_t>(slot));
}

int TokenArray::NearMatch(int index, int direction) const {
  const int size = GetSize();
  int depth = 0;
  for (int i = index, walked = 0; i >= 0 && i < size; i += direction, ++walked) {
    if (walked == kNearWalk) return kFar;
    depth += StepOf(GetAt(i)) * direction;
    if (depth == 0) return i;
  }
  return -1;
}

bool TokenArray::UsesSecond(size_t index) const {
  if (index > SecondAt()) return true;
  if (index < FirstAt()) return false;
  const size_t toFirst = index - FirstAt();
  const size_t toSecond = SecondAt() - index;
  if (toSecond < toFirst) return toSecond <= kLongMove || second_.longMove != 1;
  return toFirst > kLongMove && first_.longMove == -1;
}

// Each gap gets room for a quarter of the row more (a small slack for small
// rows), so that rebuilds stay rare: inserts cost amortised constant time.
// The tokens are spread within the row's block, which grows by half when
// they no longer fit: a long row's rebuilds then touch no fresh memory
// most of the time. The index's steps are laid out as the tokens are,
// without reading them.
void TokenArray::Rebuild(size_t index, size_t count) {
  const size_t second = std::max(index, std::min(SecondAt(), Size()));
  Closed();
  const size_t size = Size();
  const size_t width = count + std::max<size_t>(size / 4, 4);
  const size_t total = size + 2 * width;
  slots_.Resize(size);
  if (total > slots_.capacity()) slots_.reserve(std::max(total, slots_.capacity() + slots_.capacity() / 2));
  slots_.Resize(total);
  Spread(slots_.data(), size, index, second, width);
  first_ = second_ = Gap{};
  first_.Place(index, width);
  second_.Place(second + width, width);
  if (index_ != nullptr) {
    std::vector<int8_t>& steps = index_->Steps();
    steps.resize(size);
    steps.resize(total);
    Spread(steps.data(), size, index, second, width);
    index_->Relaid();
  }
}

void TokenArray::CloseGaps() const {
  MoveSecond(Size());
  MoveFirst(SecondAt());
}

int TokenArray::Add(QVMToken* token) {
  if (AppendsAtTail()) {
    slots_.push_back(token);
    if (index_ != nullptr) Restep(slots_.size() - 1, slots_.size());
  } else {
    InsertAt(GetSize(), token);
  }
  return GetSize() - 1;
}

void TokenArray::InsertAt(int index, QVMToken* token, int count) {
  assert(index >= 0 && count >= 0);
  const size_t at = std::min(static_cast<size_t>(index), Size());
  const size_t n = static_cast<size_t>(count);
  // At the end, behind gaps left in the middle or an empty one there:
  // appended after the tail, so a row built by appending grows as a vector.
  if (at == Size() && AppendsAtTail()) {
    slots_.Append(n, token);
    if (index_ != nullptr) Restep(slots_.size() - n, slots_.size());
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
  std::fill_n(slots_.data() + gap->start, n, token);
  gap->start += static_cast<uint32_t>(n);
  if (index_ != nullptr) Restep(gap->start - n, gap->start);
}

// A removal widens a gap moved to just after the removed tokens: the
// second when they all lie after the first and it is nearer, else the
// first (the second first moved past them when they reach beyond it).
void TokenArray::RemoveAt(int index, int count) {
  if (index < 0 || count <= 0 || index >= GetSize()) return;
  const size_t at = static_cast<size_t>(index);
  const size_t end = at + std::min(static_cast<size_t>(count), Size() - at);
  Gap* gap = &first_;
  if (at >= FirstAt() && UsesSecond(end)) {
    MoveSecond(end);
    gap = &second_;
  } else {
    if (end > SecondAt()) MoveSecond(end);
    MoveFirst(end);
  }
  gap->start -= static_cast<uint32_t>(end - at);
  if (index_ != nullptr) Restep(gap->start, gap->start + (end - at));
}

void TokenArray::RemoveAll() {
  slots_.clear();
  first_ = second_ = Gap{};
  if (index_ != nullptr) Restep(0, 0);
}

void TokenArray::Copy(const TokenArray& other) { AssignSlots(other.begin(), other.Size()); }

void TokenArray::Assign(const std::vector<QVMToken*>& tokens) {
  AssignSlots(tokens.data(), tokens.size());
}

// The tokens become `count` ones from `items`, with both gaps empty at the end.
void TokenArray::AssignSlots(QVMToken* const* items, size_t count) {
  slots_.Assign(items, count);
  first_ = second_ = Gap{};
  first_.Place(slots_.size(), 0);
  second_ = first_;
  if (index_ != nullptr) Restep(0, slots_.size());
}

void TokenArray::Swap(TokenArray& other) {
  assert(!keep_ && !other.keep_ && index_ == nullptr && other.index_ == nullptr);
  slots_.Swap(other.slots_);
  std::swap(first_, other.first_);
  std::swap(second_, other.second_);
}
