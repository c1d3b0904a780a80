// The bracket pairs a pass keeps while it edits a row.
#include "engine/BracketPairs.h"

#include "engine/Token.h"

namespace {
// Shorter rows walk: their walks are short, and making the index is not free.
constexpr int kLeastTokens = 64;
}  // namespace

BracketPairs::BracketPairs(TokenRow& row) {
  if (row.GetSize() < kLeastTokens || row.Tokens().KeepsBrackets()) return;
  row_ = &row;
  row.Tokens().KeepBrackets(true);
}

BracketPairs::~BracketPairs() {
  if (row_ != nullptr) row_->Tokens().KeepBrackets(false);
}
