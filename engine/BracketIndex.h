// BracketIndex: the bracket depths of a row's slots, for matching brackets
// in logarithmic time while the row is edited. The passes ask, at every
// operator of a long row, for the bracket matching one next to it, and in
// rows of thousands of typed or stray brackets ("/)/)/)...",
// "/|^/|^...|||") a walk would cross most of the row each time.
// Each slot of the row's buffer has a step: +1 for an opening bracket, -1
// for a closing one, 0 for any other token and for a free slot of a gap.
// With P(s) the sum of the steps up to slot s, the match of an opening
// bracket at s is the first slot after it where P falls below P(s), and
// the match of a closing bracket at s stands just after the last slot
// before it where P is no more than P(s). The steps are kept as the slots
// change (a byte each, moved as the tokens move); a match close by is
// found by walking them. Slots are taken in blocks, and a tree over the
// blocks holds each block's sum and the lowest P within it, counted from
// its start, so that a far match is found going down the tree. Edits mark
// their blocks; the tree is brought up to date only when a walk first
// needs it, so a run of edits among the same blocks costs one update.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class BracketIndex {
 public:
  static constexpr ptrdiff_t kNone = -1;

  // The steps, one per slot of the buffer; whoever changes them calls
  // Changed for the slots changed (or added at the end).
  std::vector<int8_t>& Steps() { return steps_; }
  void Changed(size_t first, size_t end);
  // After the steps were laid out anew.
  void Relaid() { rebuild_ = true; }

  // The closing bracket matching the opening one at `slot`, or kNone.
  ptrdiff_t CloseOf(size_t slot) const;
  // The opening bracket matching the closing one at `slot`, or kNone.
  ptrdiff_t OpenOf(size_t slot) const;

 private:
  static constexpr size_t kBlock = 64;
  // Slots walked before the tree is asked: a match further away is found
  // more cheaply through the tree, even with its changed blocks to sum.
  static constexpr size_t kWalk = 64;
  size_t Blocks() const { return (steps_.size() + kBlock - 1) / kBlock; }
  void Summarise(size_t block) const;
  void Build() const;
  void Refresh() const;
  int Prefix(size_t slot) const;
  ptrdiff_t CloseFromTree(size_t slot) const;
  ptrdiff_t OpenFromTree(size_t slot) const;

  std::vector<int8_t> steps_;
  // A complete binary tree over the blocks, leaves from leaves_ on: the sum
  // of the steps below each node and the lowest sum of a prefix of them
  // (the empty one included).
  mutable std::vector<int32_t> sum_;
  mutable std::vector<int32_t> low_;
  mutable size_t leaves_ = 0;
  // Blocks changed since the tree was last brought up to date.
  mutable std::vector<size_t> dirty_;
  mutable std::vector<bool> marked_;
  mutable bool rebuild_ = true;
};
