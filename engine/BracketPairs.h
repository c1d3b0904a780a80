// BracketPairs: what a parse pass knows of a row's bracket pairs while it
// edits the row. The passes walk long rows and ask, at every operator, for
// the bracket matching one next to it; in a row of thousands of typed or
// stray brackets ("/)/)/)...", "a/(a/(a/(...") each such walk crosses most
// of the row. The pairs of the row as the pass found it are taken once, by
// a stack; the row then tells its pairs which part of it the pass has
// edited since. The head before the first edit and the tail after the last
// are as they were, and a pair whose walk would stay inside them is
// answered from the table. Opening brackets put before the whole row (the
// constructs of "x)root x)root ...", whose operand reaches back to the
// row's start) leave the head as it was; a walk that leaves the head
// leftwards ends among them, where its count tells. A pair found by a long walk is remembered too:
// while the row only grows, a pair whose brackets still stand as far apart
// as when it was found has had nothing put between them, so it still holds
// ("x^a/x^a/...", where each "/" asks for the far end of the group before).
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

class QVMToken;
class TokenRow;

class BracketPairs {
 public:
  // Answered by neither table: the row walks.
  static constexpr int kUnknown = -2;

  // Watches the edits of `row` until destroyed; its pairs are taken when
  // first asked for (a pass that asks nothing costs nothing), as the row
  // is then. Rows too short to be worth it are left to walk.
  explicit BracketPairs(TokenRow& row);
  ~BracketPairs();
  BracketPairs(const BracketPairs&) = delete;
  BracketPairs& operator=(const BracketPairs&) = delete;

  // As TokenRow::FindMatchingClose and FindMatchingOpen for the opening or
  // closing bracket at `index` of the row as it is (`size` tokens), or
  // kUnknown.
  int MatchingClose(int index, int size) const;
  int MatchingOpen(int index, int size) const;
  // `removed` tokens at `index` were replaced by `inserted` ones.
  void Edited(int index, int removed, int inserted, int sizeAfter);
  // The row found the pair (from, to) by a walk: remembered both ways when
  // the brackets stand far apart.
  void Learn(int from, int to) const;
  // The other bracket of a remembered pair, or kUnknown: a walk jumps over
  // a group it knows.
  int Remembered(int index) const;

 private:
  struct Known;
  void Take() const;
  // The state with the pairs taken; null for a row that walks.
  const Known* Taken() const;

  // A pair found by a walk, by the token that asked; `since` counts the
  // edits that took tokens out of the row, or replaced them.
  struct Found {
    const QVMToken* other;
    int distance;  // signed: from the asking bracket to the other
    int since;
  };
  // What is known of a long row; none for a short one, which walks.
  struct Known {
    bool taken = false;
    std::vector<int> match;   // by index in the row as it was; -1 unmatched
    std::vector<int> excess;  // closing less opening brackets up to each index
    int size = 0;             // the row's size then
    int front = 0;            // tokens put before the row as it was
    bool frontOpens = true;   // all of them opening brackets
    int head = 0;             // tokens [front, front + head) unchanged
    int tail = 0;             // the last tail tokens unchanged
    int removals = 0;
    std::unordered_map<const QVMToken*, Found> found;
  };
  TokenRow* row_ = nullptr;
  std::unique_ptr<Known> known_;
};
