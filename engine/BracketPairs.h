// BracketPairs: a parse pass keeps the bracket pairs of a long row while it
// edits it. The passes walk long rows and ask, at every operator, for the
// bracket matching one next to it; in a row of thousands of typed or stray
// brackets ("/)/)/)...", "a/(a/(a/(...", "/|^/|^...|||") each walk would
// cross most of the row. While kept, the row's tokens answer through a
// BracketIndex (engine/BracketIndex.h), in time logarithmic in the row's
// length whatever the pass inserts or removes; the index is made when a
// match is first sought far away, so a pass that finds its matches close
// by costs nothing more.
#pragma once

class TokenRow;

class BracketPairs {
 public:
  // Rows too short to be worth it walk; a row kept already stays with the
  // pass that kept it.
  explicit BracketPairs(TokenRow& row);
  ~BracketPairs();
  BracketPairs(const BracketPairs&) = delete;
  BracketPairs& operator=(const BracketPairs&) = delete;

 private:
  TokenRow* row_ = nullptr;
};
