// Which letters are vectors, and the operands of the over-arrow keywords.
// These passes retype and move tokens; they insert no brackets.
#include "engine/EquationLine.h"
#include "engine/OptionAccess.h"
#include "engine/ParseRows.h"

namespace {

bool IsCapitalLetter(const TokenRow& row, int i) {
  return i >= 0 && i < row.GetSize() && IsCapitalLetter(*row.GetAt(i));
}

// The letter of a variable token, or 0 when it is no lower-case letter.
char LowerCaseLetter(const QVMToken& token) {
  if (token.kind != TK_VARIABLE || token.text.GetLength() != 1) return '\0';
  const char c = token.text.GetAt(0);
  return c >= 'a' && c <= 'z' ? c : '\0';
}

// Best guess: a row that names i, j or k, no x, y or z, and no other letter
// after an equals sign is written in vectors. Each row is judged by itself.
void GuessLowerCaseVectors(TokenRow& row) {
  bool forbidden = false;
  bool unitVectors = false;
  bool seenEqual = false;
  for (QVMToken* token : row) {
    ForEachChildRow(*token, [&](TokenRow& child) { GuessLowerCaseVectors(child); });
    if (token->kind == TK_EQUAL) seenEqual = true;
    if (token->kind != TK_VARIABLE) continue;
    const CString& text = token->text;
    if (text == "x" || text == "y" || text == "z" || text == "Z") forbidden = true;
    if (IsUnitVectorLetter(*token)) unitVectors = true;
    else if (seenEqual) forbidden = true;
  }
  if (!unitVectors || forbidden) return;
  for (QVMToken* token : row) {
    if (LowerCaseLetter(*token) != '\0') token->kind = TK_LCVECTOR;
  }
}

// Selected letters: every lower-case letter whose option is on.
void SelectLowerCaseVectors(TokenRow& row, const QVMOptions& options) {
  for (QVMToken* token : row) {
    ForEachChildRow(*token, [&](TokenRow& child) { SelectLowerCaseVectors(child, options); });
    const char letter = LowerCaseLetter(*token);
    if (letter != '\0' && options.Letters[letter - 'a'].Value) token->kind = TK_LCVECTOR;
  }
}

bool IsArrow(TokenKind kind) { return kind == TK_IVRIGHT || kind == TK_IVLEFT || kind == TK_IVBOTH; }

}  // namespace

// Exactly two capitals side by side ("AB"), no third one next to them.
void EquationLine::DetectCapitalVectors() {
  TokenRow& row = root_;
  if (row.GetSize() < 2) return;
  for (int i = 0; i + 1 < row.GetSize(); ++i) {
    if (!IsCapitalLetter(row, i) || !IsCapitalLetter(row, i + 1)) continue;
    if (IsCapitalLetter(row, i - 1) || IsCapitalLetter(row, i + 2)) continue;
    QVMToken* vector = row.GetAt(i);
    vector->Set(TK_ABVECTOR, vector->text + row.TextAt(i + 1), vector->mark, vector->SecondText());
    row.RemoveAt(i + 1);
  }
}

void TokenRow::DetectLowerCaseVectors(const QVMOptions& options) {
  QVOptionInt mode = options.LowerCase;  // read through the holder's range rule
  switch (mode.GetValue()) {
    case 1: GuessLowerCaseVectors(*this); break;
    case 2: SelectLowerCaseVectors(*this, options); break;
    default: break;
  }
}

// An arrow takes the letter or number after it, or the bracket group after
// it; brackets around the group (other than bars) are no longer drawn.
void TokenRow::AttachArrowOperands() {
  if (GetSize() < 2) return;
  const BracketPairs pairs(*this);
  for (int i = GetSize() - 1; i >= 0; --i) {
    QVMToken* token = GetAt(i);
    if (IsArrow(token->kind)) {
      const TokenKind next = KindAt(i + 1);
      if (next == TK_NUMBER || next == TK_GREEK || next == TK_VARIABLE) {
        token->row1.RemoveAll();
        MoveTokens(*this, {i + 1, i + 1}, token->row1);
      } else if (next == TK_OPEN) {
        const TokenSpan group{i + 1, GroupEnd(*this, i + 1)};
        token->row1.RemoveAll();
        MoveTokens(*this, group, token->row1);
        HideGroupBrackets(token->row1);
      }
    }
    ForEachChildRow(*token, [&](TokenRow& child) { child.AttachArrowOperands(); });
  }
}
