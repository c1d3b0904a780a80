// The first parse passes, on the flat row: marks typed after a letter or a
// number, scientific notation, nCr and nPr, and invisible brackets around
// the operand of every power and subscript mark.
#include "controls/NumberText.h"
#include "engine/EquationLine.h"
#include "engine/ParseRows.h"

namespace {

bool IsLowerCaseLetter(const TokenRow& row, int i) {
  return row.KindAt(i) == TK_VARIABLE && IsAllLowerCase(row.GetAt(i)->text.GetString());
}

// The operand of a mark is moved under it; returns where the mark stands now.
int AttachMarkAt(TokenRow& row, int i, QVMTokenFactory& factory) {
  QVMToken* mark = row.GetAt(i);
  const TokenKind before = row.KindAt(i - 1);
  if (before == TK_VARIABLE || before == TK_GREEK) {
    mark->row1.RemoveAll();
    mark->row1.Append(row.GetAt(i - 1));
    row.RemoveAt(i - 1);
    return i - 1;
  }
  const bool point = before == TK_QUOTED && row.TextAt(i - 1) == ".";
  if (mark->text == "_" && (IsNumeralAt(row, i - 1) || point) && IsNumeralAt(row, i + 1)) {
    // A bar over the repeating digits that follow.
    mark->row1.RemoveAll();
    mark->row1.Append(row.GetAt(i + 1));
    row.RemoveAt(i + 1);
  } else if (IsNumeralAt(row, i - 1)) {
    QVMToken* number = row.GetAt(i - 1);
    const CString digits = number->text;
    QVMToken* last = factory.NewToken(TK_NUMBER);
    last->SetText(digits.Right(1));
    number->SetText(digits.Left(digits.GetLength() - 1));
    mark->row1.Append(last);
  } else if (before == TK_MODIFIER) {
    mark->row1.Append(NewSpace(factory));  // a stacked mark stands over a space
  }
  return i;
}

// Power and subscript operands: numbers, units, letters and, after the
// first token, further powers with their exponents.
bool IsScriptRunToken(const QVMToken& token, bool first) {
  switch (token.kind) {
    case TK_NUMBER: return IsNumeral(token);
    case TK_UNIT:
    case TK_GREEK:
    case TK_VARIABLE: return true;
    case TK_POWER: return !first;
    default: return false;
  }
}

}  // namespace

// Right to left; after a mark took the letter before it, the scan goes on
// left of the mark, so the letter before that is not taken again.
void TokenRow::AttachModifiers(QVMTokenFactory& factory) {
  if (GetSize() < 2) return;
  for (int i = GetSize() - 1; i >= 1; --i) {
    int at = i;
    if (KindAt(i) == TK_MODIFIER) at = AttachMarkAt(*this, i, factory);
    QVMToken* token = GetAt(at);
    ForEachChildRow(*token, [&](TokenRow& child) { child.AttachModifiers(factory); });
    i = at;
  }
}

// "3.1E-5" becomes 3.1 * 10 ^ ( - 5 ) with invisible brackets.
void TokenRow::ExpandENotation(QVMTokenFactory& factory) {
  if (GetSize() < 3) return;
  for (int i = GetSize() - 2; i >= 1; --i) {
    QVMToken* e = GetAt(i);
    if (e->kind == TK_VARIABLE && e->text == "E" && IsNumeralAt(*this, i - 1)) {
      int exponent = -1;
      if (IsNumeralAt(*this, i + 1)) exponent = i + 1;
      else if (KindAt(i + 1) == TK_SUBTRACT && IsNumeralAt(*this, i + 2)) exponent = i + 2;
      if (exponent >= 0) {
        InsertBracket(*this, exponent + 1, TK_CLOSE, factory);
        InsertBracket(*this, i + 1, TK_OPEN, factory);
        InsertAt(i + 1, factory.NewToken(TK_POWER));
        GetAt(i + 1)->SetText("^");
        InsertAt(i + 1, factory.NewToken(TK_NUMBER));
        GetAt(i + 1)->SetText("10");
        e->Set(TK_MULTIPLY, "*", kMarkNone, CString());
      }
    }
    ForEachChildRow(*e, [&](TokenRow& child) { child.ExpandENotation(factory); });
  }
}

// A capital C or P between lower-case letters, numbers or brackets.
void TokenRow::DetectCombinations() {
  for (int i = GetSize() - 2; i >= 1; --i) {
    QVMToken* token = GetAt(i);
    const bool letter = token->kind == TK_VARIABLE && (token->text == "C" || token->text == "P");
    const auto after = [this, i] {
      return IsLowerCaseLetter(*this, i + 1) || IsNumeralAt(*this, i + 1) || KindAt(i + 1) == TK_OPEN;
    };
    const auto before = [this, i] {
      return IsLowerCaseLetter(*this, i - 1) || IsNumeralAt(*this, i - 1) || KindAt(i - 1) == TK_CLOSE;
    };
    if (letter && after() && before()) {
      token->kind = token->text == "C" ? TK_COMBINATION : TK_PERMUTATION;
      token->needsLayout = true;
    }
    ForEachChildRow(*token, [&](TokenRow& child) { child.DetectCombinations(); });
  }
}

namespace {

// The operand of the mark at i gets its bracket group.
// A typed bracket becomes invisible; its second text keeps what was typed,
// so that "/" can tell "e^(x)/2" from "e^x/2".
void HideTypedBracket(QVMToken& bracket) {
  bracket.SetSecondText(bracket.text);
  bracket.SetText(CString());
}

void BracketScriptOperand(TokenRow& row, int i, QVMTokenFactory& factory) {
  if (row.KindAt(i + 1) == TK_OPEN) {
    if (!IsDelimiterGroup(row, i + 1)) return;
    HideTypedBracket(*row.GetAt(i + 1));
    const int match = row.FindMatchingClose(i + 1);
    if (match >= 0) HideTypedBracket(*row.GetAt(match));
    return;
  }
  // "a^-1": a minus before the run is the exponent's sign.
  const bool sign = row.KindAt(i + 1) == TK_SUBTRACT && i + 2 < row.GetSize() &&
                    IsScriptRunToken(*row.GetAt(i + 2), true);
  const int end = RunEndRight(row, i + (sign ? 2 : 1), IsScriptRunToken);
  InsertBracket(row, end, TK_CLOSE, factory);
  InsertBracket(row, i + 1, TK_OPEN, factory);
}

}  // namespace

// Every power and subscript mark, the last token of the row included, is
// followed by one bracket group: the typed one or an invisible pair around
// its operand run. Typed brackets become invisible; bars stay drawn around
// the exponent ("x^|a|"). A run takes the
// marks after it, so "x^x^x^..." nests one level per mark: past
// kMaxNestingDepth a mark stays text.
void EquationLine::BracketScriptOperands() {
  TokenRow& row = root_;
  int depth = 0;  // brackets open before token i
  for (int i = 0; i < row.GetSize(); ++i) {
    const TokenKind kind = row.KindAt(i);
    if (kind == TK_POWER || kind == TK_SUBSCRIPT) {
      if (depth >= kMaxNestingDepth) KeepAsText(*row.GetAt(i));
      else BracketScriptOperand(row, i, factory_);
    }
    depth = DepthAfter(depth, row.KindAt(i));
  }
}
