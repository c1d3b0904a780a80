// LexiconTable: a word table of the tokenizer (macros, typing shortcuts,
// over-arrows, keywords, circled digits) mapping a typed word to a token
// kind and, for lists of pairs, to a replacement text.
// Choices of ours: a table grows without limit (user lists never push
// built-in words out); an empty key is stored but never matches, so a
// zero-length match cannot stall the tokenizer.
#pragma once

#include <bitset>
#include <memory>
#include <string_view>
#include <vector>

#include "engine/Token.h"
#include "framework/String.h"

struct LexiconEntry {
  CString key;
  CString replacement;
  TokenKind kind = TK_ERROR;
};

class LexiconTable {
 public:
  void AddList(const CString& list, TokenKind kind, bool pairs, char separator);
  void Assign(const CString& list, TokenKind kind, bool pairs, char separator);
  void Add(const CString& key, const CString& replacement, TokenKind kind);
  void RemoveAll();
  void Sort();

  // The first entry in table order whose key `text` begins with, or null.
  const LexiconEntry* Find(std::string_view text) const;
  // False when no key begins the (non-empty) text, told by its first two
  // bytes: the tokenizer asks at every position of a line.
  bool MayBegin(std::string_view text) const;

  int GetCount() const { return static_cast<int>(entries_.size()); }
  const LexiconEntry& EntryAt(int index) const { return entries_.at(static_cast<size_t>(index)); }

 private:
  int FindEntry(std::string_view text) const;

  // A non-empty key as a look-up first compares it: its entry, its
  // length and its second byte (0 for a key of one byte); most keys are
  // told apart without reading their entry.
  struct Candidate {
    int index;
    int length;
    char second;
  };

  // What look-ups read, made on the first one after a change: the
  // non-empty keys by their first byte, in table order (only those can
  // match a text starting with that byte), and the first bytes of the keys
  // of one byte and the first two bytes of the longer ones.
  struct Lookup {
    std::vector<Candidate> byFirstByte[256];
    std::bitset<256> oneByteKeys;
    std::bitset<256 * 256> pairs;
  };
  const Lookup& Looked() const {
    if (lookup_ == nullptr) Build();
    return *lookup_;
  }
  void Build() const;

  std::vector<LexiconEntry> entries_;
  mutable std::unique_ptr<Lookup> lookup_;  // null while out of date
};

inline bool LexiconTable::MayBegin(std::string_view text) const {
  const Lookup& lookup = Looked();
  const unsigned first = static_cast<unsigned char>(text[0]);
  if (lookup.oneByteKeys[first]) return true;
  return text.size() > 1 && lookup.pairs[first * 256 + static_cast<unsigned char>(text[1])];
}

// The replacement of a pair's value: one character for a whole number from
// 1 to 255, otherwise the value text itself.
CString ConvertPairValue(const CString& value);
