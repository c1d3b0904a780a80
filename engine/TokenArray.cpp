// The gap buffer of a row's tokens.
#include "engine/TokenArray.h"

#include <algorithm>

void TokenArray::MoveGap(size_t index) const {
  if (index < gapStart_) {
    const size_t count = gapStart_ - index;
    std::move_backward(slots_.begin() + index, slots_.begin() + gapStart_, slots_.begin() + gapEnd_);
    gapStart_ -= count;
    gapEnd_ -= count;
  } else if (index > gapStart_) {
    const size_t count = index - gapStart_;
    std::move(slots_.begin() + gapEnd_, slots_.begin() + gapEnd_ + count, slots_.begin() + gapStart_);
    gapStart_ += count;
    gapEnd_ += count;
  }
}

// Doubling keeps a run of appends or inserts amortised constant.
void TokenArray::Widen(size_t count) {
  if (gapEnd_ - gapStart_ >= count) return;
  const size_t size = Size();
  const size_t after = slots_.size() - gapEnd_;
  // Most rows hold a few tokens: a small slack keeps them small.
  const size_t capacity = size + count + std::max<size_t>(size, 4);
  std::vector<QVMToken*> wider(capacity, nullptr);
  std::copy(slots_.begin(), slots_.begin() + gapStart_, wider.begin());
  std::copy(slots_.begin() + gapEnd_, slots_.end(), wider.end() - after);
  slots_.swap(wider);
  gapEnd_ = capacity - after;
}

int TokenArray::Add(QVMToken* token) {
  InsertAt(GetSize(), token);
  return GetSize() - 1;
}

void TokenArray::InsertAt(int index, QVMToken* token, int count) {
  assert(index >= 0 && count >= 0);
  const size_t at = std::min(static_cast<size_t>(index), Size());
  MoveGap(at);
  Widen(static_cast<size_t>(count));
  std::fill(slots_.begin() + gapStart_, slots_.begin() + gapStart_ + count, token);
  gapStart_ += static_cast<size_t>(count);
}

void TokenArray::RemoveAt(int index, int count) {
  if (index < 0 || count <= 0 || index >= GetSize()) return;
  const size_t removed = std::min(static_cast<size_t>(count), Size() - static_cast<size_t>(index));
  MoveGap(static_cast<size_t>(index));
  gapEnd_ += removed;
}

void TokenArray::RemoveAll() {
  slots_.clear();
  gapStart_ = gapEnd_ = 0;
}

void TokenArray::Copy(const TokenArray& other) {
  slots_.assign(other.begin(), other.end());
  gapStart_ = gapEnd_ = slots_.size();
}
