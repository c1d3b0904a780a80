// LexiconTable: a word table of the tokenizer (macros, typing shortcuts,
// over-arrows, keywords, circled digits) mapping a typed word to a token
// kind and, for lists of pairs, to a replacement text.
// Choices of ours: a table grows without limit (user lists never push
// built-in words out); an empty key is stored but never matches, so a
// zero-length match cannot stall the tokenizer.
#pragma once

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

  // Length - 1 of the first key in table order that `text` begins with, or -1.
  int FindLongestPrefix(std::string_view text) const;
  // The first entry in table order whose key `text` begins with, or null.
  const LexiconEntry* Find(std::string_view text) const;
  // The first entry whose key `text` begins with; `text` is cut to that key.
  // An entry with empty texts and kind 0 when none matches.
  LexiconEntry GetEntry(CString& text) const;

  int GetCount() const { return static_cast<int>(entries_.size()); }
  const LexiconEntry& EntryAt(int index) const { return entries_.at(static_cast<size_t>(index)); }

 private:
  int FindEntry(std::string_view text) const;

  // A non-empty key as a look-up first compares it: its entry, its
  // length and its second byte (0 for a key of one byte).
  struct Candidate {
    int index;
    int length;
    char second;
  };

  std::vector<LexiconEntry> entries_;
  // The non-empty keys by their first byte, in table order: only those can
  // match a text starting with that byte. Built on the first look-up after
  // a change; empty while out of date. The tokenizer looks up every
  // position of a line, and most keys are told apart by their second byte
  // without reading the entry.
  mutable std::vector<std::vector<Candidate>> byFirstByte_;
};

// The replacement of a pair's value: one character for a whole number from
// 1 to 255, otherwise the value text itself.
CString ConvertPairValue(const CString& value);
