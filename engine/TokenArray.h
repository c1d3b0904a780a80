// TokenArray: the tokens of a row, kept in a gap buffer. The parse passes
// walk a row and insert or remove brackets close to where they stand, often
// in the middle of a long row; the gap follows them, so such an edit moves
// only the tokens between the last edit and this one instead of the whole
// rest of the row. Reading by index is as cheap as in an array. Iterating
// closes the gap first (at the end of the row), so iterators are plain
// pointers over consecutive tokens.
#pragma once

#include <cassert>
#include <cstddef>
#include <vector>

class QVMToken;

class TokenArray {
 public:
  int GetSize() const { return static_cast<int>(Size()); }
  bool IsEmpty() const { return Size() == 0; }
  QVMToken* GetAt(int index) const { return slots_[Slot(index)]; }
  void SetAt(int index, QVMToken* token) { slots_[Slot(index)] = token; }
  QVMToken* operator[](int index) const { return GetAt(index); }

  int Add(QVMToken* token);
  // `count` copies of `token` before `index` (an index past the end is the end).
  void InsertAt(int index, QVMToken* token, int count = 1);
  // Up to `count` tokens from `index`; an index out of range removes nothing.
  void RemoveAt(int index, int count = 1);
  void RemoveAll();
  void Copy(const TokenArray& other);

  QVMToken** begin() { return Closed(); }
  QVMToken** end() { return Closed() + Size(); }
  QVMToken* const* begin() const { return Closed(); }
  QVMToken* const* end() const { return Closed() + Size(); }

 private:
  size_t Size() const { return slots_.size() - (gapEnd_ - gapStart_); }
  size_t Slot(int index) const {
    assert(index >= 0 && static_cast<size_t>(index) < Size());
    const size_t i = static_cast<size_t>(index);
    return i < gapStart_ ? i : i + (gapEnd_ - gapStart_);
  }
  // Moves the gap to start before token `index`.
  void MoveGap(size_t index) const;
  // Makes the gap at least `count` slots wide.
  void Widen(size_t count);
  // The tokens with the gap moved behind them.
  QVMToken** Closed() const {
    MoveGap(Size());
    return slots_.data();
  }

  // Moving the gap changes no token's index: reading stays const.
  mutable std::vector<QVMToken*> slots_;
  mutable size_t gapStart_ = 0;
  mutable size_t gapEnd_ = 0;
};
