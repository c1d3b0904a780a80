// The block tree of a row's bracket steps.
#include "engine/BracketIndex.h"

#include <algorithm>

void BracketIndex::Summarise(size_t block) const {
  const size_t first = block * kBlock;
  const size_t end = std::min(first + kBlock, steps_.size());
  int32_t sum = 0;
  int32_t low = 0;
  for (size_t s = first; s < end; ++s) {
    sum += steps_[s];
    low = std::min(low, sum);
  }
  sum_[leaves_ + block] = sum;
  low_[leaves_ + block] = low;
}

namespace {

// A node's lowest prefix is its left child's, or the whole left child and
// the right child's lowest prefix after it.
void Combine(std::vector<int32_t>& sum, std::vector<int32_t>& low, size_t n) {
  sum[n] = sum[2 * n] + sum[2 * n + 1];
  low[n] = std::min(low[2 * n], sum[2 * n] + low[2 * n + 1]);
}

}  // namespace

void BracketIndex::Build() const {
  leaves_ = 1;
  while (leaves_ < Blocks()) leaves_ *= 2;
  sum_.assign(2 * leaves_, 0);
  low_.assign(2 * leaves_, 0);
  for (size_t b = 0; b < Blocks(); ++b) Summarise(b);
  for (size_t n = leaves_ - 1; n >= 1; --n) Combine(sum_, low_, n);
  marked_.assign(leaves_, false);
  dirty_.clear();
  rebuild_ = false;
}

// Past the tree's size the whole tree is made again when next needed.
// Otherwise each block is marked once, so bringing the tree up to date
// never costs more than making it.
void BracketIndex::Changed(size_t first, size_t end) {
  if (end <= first || rebuild_) return;
  if (Blocks() > leaves_) {
    rebuild_ = true;
    return;
  }
  for (size_t b = first / kBlock; b <= (end - 1) / kBlock; ++b) {
    if (marked_[b]) continue;
    marked_[b] = true;
    dirty_.push_back(b);
  }
}

void BracketIndex::Refresh() const {
  if (rebuild_) {
    Build();
    return;
  }
  for (size_t b : dirty_) {
    Summarise(b);
    marked_[b] = false;
    for (size_t n = (leaves_ + b) / 2; n >= 1; n /= 2) Combine(sum_, low_, n);
  }
  dirty_.clear();
}

int BracketIndex::Prefix(size_t slot) const {
  const size_t block = slot / kBlock;
  int sum = 0;
  for (size_t s = block * kBlock; s <= slot; ++s) sum += steps_[s];
  for (size_t n = leaves_ + block; n > 1; n /= 2)
    if (n % 2 == 1) sum += sum_[n - 1];
  return sum;
}

ptrdiff_t BracketIndex::CloseOf(size_t slot) const {
  const size_t stop = std::min(steps_.size(), slot + 1 + kWalk);
  int run = 0;
  for (size_t s = slot + 1; s < stop; ++s)
    if ((run += steps_[s]) < 0) return static_cast<ptrdiff_t>(s);
  if (stop == steps_.size()) return kNone;
  Refresh();
  return CloseFromTree(slot);
}

// Before slot 0 P is 0.
ptrdiff_t BracketIndex::OpenOf(size_t slot) const {
  const size_t stop = slot > kWalk ? slot - kWalk : 0;
  int rise = -steps_[slot];  // P(k) - P(slot) for the k looked at
  for (size_t k = slot; k-- > stop;) {
    if (rise <= 0) return static_cast<ptrdiff_t>(k + 1);
    rise -= steps_[k];
  }
  if (stop == 0) return rise <= 0 ? 0 : kNone;
  Refresh();
  return OpenFromTree(slot);
}

// Right from the slot: the rest of its block, then up the tree to the
// first block to the right whose lowest prefix falls below, down into it,
// and along that block.
ptrdiff_t BracketIndex::CloseFromTree(size_t slot) const {
  const int target = Prefix(slot);
  int sum = target;  // P at the last slot looked at
  const size_t block = slot / kBlock;
  const size_t blockEnd = std::min((block + 1) * kBlock, steps_.size());
  for (size_t s = slot + 1; s < blockEnd; ++s)
    if ((sum += steps_[s]) < target) return static_cast<ptrdiff_t>(s);
  size_t n = leaves_ + block;
  for (;;) {
    while (n % 2 == 1) n /= 2;  // a right child: its parent is done too
    if (n == 0) return kNone;
    ++n;
    if (sum + low_[n] < target) break;
    sum += sum_[n];
  }
  while (n < leaves_) {
    n *= 2;
    if (sum + low_[n] >= target) sum += sum_[n++];
  }
  const size_t first = (n - leaves_) * kBlock;
  const size_t end = std::min(first + kBlock, steps_.size());
  for (size_t s = first; s < end; ++s)
    if ((sum += steps_[s]) < target) return static_cast<ptrdiff_t>(s);
  return kNone;
}

// Left from the slot the same way, looking for the last slot k with
// P(k) <= P(slot); the opening bracket is the slot after it. A block's
// lowest prefix counts the P just before it, so the block found may be the
// one after k's.
ptrdiff_t BracketIndex::OpenFromTree(size_t slot) const {
  const int level = Prefix(slot);
  int sum = level - steps_[slot];  // P(k) for the k looked at
  const size_t block = slot / kBlock;
  for (size_t k = slot; k-- > block * kBlock;) {
    if (sum <= level) return static_cast<ptrdiff_t>(k + 1);
    sum -= steps_[k];
  }
  // `sum` is now P at the last slot of the blocks left of here.
  size_t n = leaves_ + block;
  for (;;) {
    while (n > 1 && n % 2 == 0) n /= 2;  // a left child: its parent starts here too
    if (n <= 1) return level >= 0 ? 0 : kNone;
    --n;
    if (sum - sum_[n] + low_[n] <= level) break;
    sum -= sum_[n];
  }
  while (n < leaves_) {
    n = 2 * n + 1;
    if (sum - sum_[n] + low_[n] > level) sum -= sum_[n--];
  }
  const size_t first = (n - leaves_) * kBlock;
  for (size_t k = std::min(first + kBlock, steps_.size()); k-- > first;) {
    if (sum <= level) return static_cast<ptrdiff_t>(k + 1);
    sum -= steps_[k];
  }
  return static_cast<ptrdiff_t>(first);
}
