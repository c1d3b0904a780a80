// TokenArray: the tokens of a row, kept in a buffer with two gaps. The
// parse passes walk a row and insert or remove brackets close to where they
// stand, often in the middle of a long row, and often at two places in
// turn: before an operand and after it, where the operand is a group that
// reaches far to the right ("x^a/x^a/..."). Each gap follows one of them,
// so such an edit moves only the tokens between the last edit at that
// place and this one instead of the rest of the row; appending leaves both
// gaps where they are. Reading by index is as cheap as in an array.
// Iterating closes the gaps first (at the end of the row), so iterators are
// plain pointers over consecutive tokens. While its brackets are kept
// (KeepBrackets), the array keeps a BracketIndex of its slots beside them,
// made when a match is first sought far away, and matches brackets
// through it.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "engine/BracketIndex.h"

class QVMToken;

// The slots of a row's buffer, grown as a vector grows. Most rows of a
// parsed line hold one token: a single slot is kept in place, so such a
// row needs no block of its own.
class TokenSlots {
 public:
  TokenSlots() = default;
  ~TokenSlots() { Free(); }
  TokenSlots(const TokenSlots&) = delete;
  TokenSlots& operator=(const TokenSlots&) = delete;

  size_t size() const { return size_; }
  size_t capacity() const { return capacity_; }
  QVMToken** data() { return capacity_ == 1 ? &storage_.one : storage_.many; }
  QVMToken* const* data() const { return capacity_ == 1 ? &storage_.one : storage_.many; }
  QVMToken*& operator[](size_t slot) { return data()[slot]; }
  QVMToken* operator[](size_t slot) const { return data()[slot]; }

  void reserve(size_t count) {
    if (count > capacity_) Reallocate(count);
  }
  void push_back(QVMToken* token) {
    if (size_ == capacity_) Reallocate(2 * capacity_);
    data()[size_++] = token;
  }
  // `count` copies of `token` at the end.
  void Append(size_t count, QVMToken* token);
  // The slots become `count` copies of the ones at `items` (which must lie
  // outside them).
  void Assign(QVMToken* const* items, size_t count);
  // `count` slots; those added hold nothing yet, for the caller to fill.
  void Resize(size_t count);
  // Takes `other`'s block whole; `other` is left empty.
  void Take(TokenSlots& other);
  void Swap(TokenSlots& other) {
    std::swap(storage_, other.storage_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
  }
  void clear() { size_ = 0; }

 private:
  void Reallocate(size_t capacity);
  void Free() {
    if (capacity_ > 1) delete[] storage_.many;
  }

  union Storage {
    QVMToken* one;  // capacity 1
    QVMToken** many;
  };
  Storage storage_{nullptr};
  uint32_t size_ = 0;
  uint32_t capacity_ = 1;
};

class TokenArray {
 public:
  int GetSize() const { return static_cast<int>(Size()); }
  bool IsEmpty() const { return Size() == 0; }
  QVMToken* GetAt(int index) const { return slots_[Slot(index)]; }
  void SetAt(int index, QVMToken* token) {
    const size_t slot = Slot(index);
    slots_[slot] = token;
    if (index_ != nullptr) Restep(slot, slot + 1);
  }
  QVMToken* operator[](int index) const { return GetAt(index); }

  int Add(QVMToken* token);
  // Room for `count` more tokens at the end; growing as appending would,
  // so that reserving again and again stays linear.
  void Reserve(size_t count) {
    if (slots_.size() + count > slots_.capacity())
      slots_.reserve(std::max(slots_.size() + count, 2 * slots_.capacity()));
  }
  // `count` copies of `token` before `index` (an index past the end is the end).
  void InsertAt(int index, QVMToken* token, int count = 1);
  // Up to `count` tokens from `index`; an index out of range removes nothing.
  void RemoveAt(int index, int count = 1);
  void RemoveAll();
  void Copy(const TokenArray& other);
  // The tokens become those of `tokens`, for a row rebuilt in a vector
  // (whose storage is left for the next rebuild).
  void Assign(const std::vector<QVMToken*>& tokens);
  // Exchanges the tokens with `other`, for a long row rebuilt by appending
  // to another array: the row takes its storage whole, and `other` keeps
  // the row's old storage for the next rebuild. Neither keeps brackets.
  void Swap(TokenArray& other);

  // Bracket matching through the index, for an array that keeps its
  // brackets: the match of the opening or closing bracket at `index`, or
  // -1 (as TokenRow::FindMatchingClose and FindMatchingOpen).
  void KeepBrackets(bool keep);
  bool KeepsBrackets() const { return keep_; }
  int MatchingClose(int index) const;
  int MatchingOpen(int index) const;

  QVMToken** begin() { return Closed(); }
  QVMToken** end() { return Closed() + Size(); }
  QVMToken* const* begin() const { return Closed(); }
  QVMToken* const* end() const { return Closed() + Size(); }

 private:
  // A gap: the free slots [start, end) of slots_. Every row keeps two, and
  // a line has hundreds of thousands of rows: they stay small.
  struct Gap {
    uint32_t start = 0;
    uint32_t end = 0;
    int8_t longMove = 0;  // the way its last long move went: -1 left, 1 right
    size_t Width() const { return end - start; }
    void Place(size_t at, size_t width) {
      start = static_cast<uint32_t>(at);
      end = static_cast<uint32_t>(at + width);
    }
  };
  // Moves past this many slots count as long.
  static constexpr size_t kLongMove = 64;

  size_t Size() const { return slots_.size() - first_.Width() - second_.Width(); }
  size_t Slot(int index) const {
    assert(index >= 0 && static_cast<size_t>(index) < Size());
    size_t slot = static_cast<size_t>(index);
    if (slot >= first_.start) slot += first_.Width();
    if (slot >= second_.start) slot += second_.Width();
    return slot;
  }
  // Tokens before each gap.
  size_t FirstAt() const { return first_.start; }
  size_t SecondAt() const { return second_.start - first_.Width(); }
  // A token added at the end goes after the last slot: behind gaps left in
  // the middle, or with no gap at the end.
  bool AppendsAtTail() const { return second_.end < slots_.size() || second_.Width() == 0; }
  void AssignSlots(QVMToken* const* items, size_t count);
  // Moves `gap` to start at slot `to` by shifting the tokens between.
  void Shift(Gap& gap, size_t to) const;
  // Moves a gap to start before token `index`, which must lie on its side
  // of the other gap.
  void MoveFirst(size_t index) const;
  void MoveSecond(size_t index) const;
  // The gap that reaches token `index` more cheaply; false for the first.
  // A pass that edits at two places in turn can leave one gap far away
  // and the other going back and forth between them: a gap asked to go a
  // long way back, against its last long move, leaves it to the other one.
  bool UsesSecond(size_t index) const;
  // Lays the tokens out again with `index` tokens before the first gap and
  // the second behind them, both wide enough for `count` more tokens.
  void Rebuild(size_t index, size_t count);
  // The tokens with both gaps moved behind them.
  QVMToken** Closed() const {
    if (first_.start != Size() || first_.end != second_.start || second_.end != slots_.size())
      CloseGaps();
    return slots_.data();
  }
  void CloseGaps() const;
  // The token at a slot that holds one.
  int IndexOf(size_t slot) const {
    size_t index = slot;
    if (slot >= second_.end) index -= second_.Width();
    if (slot >= first_.end) index -= first_.Width();
    return static_cast<int>(index);
  }
  // The index's steps for slots [first, end) from their tokens (0 in a gap).
  void Restep(size_t first, size_t end) const;
  // The match of the bracket at `index` when it lies within kNearWalk
  // tokens towards `direction` (1 right, -1 left), -1 when the row ends
  // first, otherwise kFar.
  int NearMatch(int index, int direction) const;
  static constexpr int kNearWalk = 128;
  static constexpr int kFar = -2;
  const BracketIndex& Index() const;

  // Moving a gap changes no token's index: reading stays const.
  mutable TokenSlots slots_;
  mutable Gap first_;
  mutable Gap second_;  // never before the first
  bool keep_ = false;
  mutable std::unique_ptr<BracketIndex> index_;  // made when first asked
};
