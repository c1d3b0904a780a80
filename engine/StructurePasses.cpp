// The last parse passes: fractions and columns, bracket groups, bars over
// groups, evaluation limits, matrices and mixed numbers. After the second
// bracket grouping no TK_OPEN is left in any row.
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/EquationLine.h"
#include "engine/OptionAccess.h"
#include "engine/ParseRows.h"

namespace {

// The operand groups either side of a binary operator. A side without a
// bracket group of the right direction (a typed closing bracket with no
// opening one, a bracket cut off by a construct) is empty.
TokenSpan RightOperand(const TokenRow& row, int i) {
  const TokenKind next = row.KindAt(i + 1);
  if (next == TK_ERROR && i + 1 >= row.GetSize()) return {};
  if (next == TK_CLOSE) return {};
  return GroupAfter(row, i);
}

TokenSpan LeftOperand(const TokenRow& row, int i) {
  if (i < 1 || row.KindAt(i - 1) == TK_OPEN) return {};
  if (row.KindAt(i - 1) != TK_CLOSE) return {i - 1, i - 1};
  return GroupBefore(row, i);
}

// Groups the operator at i; returns the new token's index.
int GroupOperatorAt(TokenRow& row, int i, TokenKind op, TokenKind made, QVMTokenFactory& factory) {
  const TokenSpan right = RightOperand(row, i);
  const TokenSpan left = LeftOperand(row, i);
  QVMToken* node = factory.NewToken(made);
  node->row1.Reserve(left.Count());
  node->row2.Reserve(right.Count());
  for (int k = left.first; k <= left.last; ++k) node->row1.Append(row.GetAt(k));
  for (int k = right.first; k <= right.last; ++k) node->row2.Append(row.GetAt(k));
  int first = left.Empty() ? i : left.first;
  int last = right.Empty() ? i : right.last;
  // The operator and the construct's own brackets leave the tree: those go
  // with it only when they are the invisible pair made for it.
  QVMToken* gone[] = {row.GetAt(i), nullptr, nullptr};
  if (IsInvisible(row, first - 1, TK_OPEN) && row.FindMatchingClose(first - 1) == last + 1) {
    gone[1] = row.GetAt(--first);
    gone[2] = row.GetAt(++last);
  }
  row.RemoveAt(first, last - first + 1);
  row.InsertAt(first, node);
  for (QVMToken* token : gone)
    if (token != nullptr) factory.Recycle(token);
  if (node->row1.IsEmpty()) node->row1.Append(NewSpace(factory));
  if (node->row2.IsEmpty()) node->row2.Append(NewSpace(factory));
  // The right operand was scanned already; the left one was not.
  node->row1.GroupBinaryOperator(op, made, factory);
  return first;
}

// Collapses out[open..] into one bracket group ("(,)", "(," when unclosed);
// the brackets live on only in its text.
void CloseGroup(std::vector<QVMToken*>& out, size_t open, QVMToken* close, QVMTokenFactory& factory) {
  QVMToken* group = factory.NewToken(TK_BRACKETS);
  CString text = out[open]->text + ",";
  if (close != nullptr) text += close->text;
  group->SetText(text);
  group->row1.Reserve(static_cast<int>(out.size() - open - 1));
  for (size_t k = open + 1; k < out.size(); ++k) group->row1.Append(out[k]);
  if (group->row1.IsEmpty()) group->row1.Append(NewSpace(factory));
  factory.Recycle(out[open]);
  if (close != nullptr) factory.Recycle(close);
  out.resize(open);
  out.push_back(group);
}

// A column of two entries, each a single token: the limits of an
// evaluation bracket. Also found inside a bracket group of its own, as in
// "[F(x)](a,b)".
QVMToken* LimitsColumn(const TokenRow& row, int i) {
  QVMToken* token = i < row.GetSize() ? row.GetAt(i) : nullptr;
  if (token != nullptr && token->kind == TK_BRACKETS && token->row1.GetSize() == 1)
    token = token->row1.GetAt(0);
  if (token == nullptr || token->kind != TK_COLUMN) return nullptr;
  if (token->row1.GetSize() != 1 || token->row2.GetSize() != 1) return nullptr;
  if (token->row2.KindAt(0) == TK_COLUMN) return nullptr;
  return token;
}

// Moves the column's entries, small, into the group's second row.
bool MergeLimits(QVMToken& group, QVMToken& column) {
  QVMToken* first = column.row1.GetAt(0);
  if (first->kind != TK_BRACKETS && first->kind != TK_FRACTION) return false;
  if (!group.row2.IsEmpty()) return false;
  if (first->row1.KindAt(0) == TK_POWER) {
    QVMToken* inner = first->row1.GetAt(0)->row1.IsEmpty() ? nullptr : first->row1.GetAt(0)->row1.GetAt(0);
    if (inner != nullptr && inner->kind == TK_BRACKETS && !inner->row1.IsEmpty()) inner = inner->row1.GetAt(0);
    if (inner != nullptr) first->row1.SetAt(0, inner);
  }
  QVMToken* second = column.row2.GetAt(0);
  ShrinkFractions(*first);
  ShrinkFractions(*second);
  group.row2.Append(second);
  group.row2.Append(first);
  group.needsLayout = true;
  return true;
}

bool IsMatrixRunKind(TokenKind kind) {
  return kind == TK_COLUMN || kind == TK_SPACE || kind == TK_NOSPACE;
}

// Every row of the column chain holds one token, so that the entries are
// all there is to it.
bool IsPlainColumn(const QVMToken* column) {
  while (column != nullptr && column->kind == TK_COLUMN) {
    if (column->row1.GetSize() != 1 || column->row2.GetSize() != 1) return false;
    column = column->row2.GetAt(0);
  }
  return true;
}

// The grid the layout will see: a space after a cell ends a column.
bool FitsMatrixTables(const TokenRow& cells) {
  int columns = 0;
  int rows = 0;
  bool inColumn = false;
  for (const QVMToken* cell : cells) {
    if (IsSpaceKind(cell->kind)) {
      inColumn = false;
      continue;
    }
    if (!inColumn) {
      ++columns;
      rows = 0;
      inColumn = true;
    }
    ++rows;
    if (rows > kMatrixTableSize || columns > kMatrixTableSize) return false;
  }
  return true;
}

// The matrix of a run of columns and spaces, or null when it would not fit
// the layout's tables (those tokens then stay as they are).
QVMToken* BuildMatrix(const TokenRow& row, TokenSpan run, QVMTokenFactory& factory) {
  int rowCount = 0;
  for (int k = run.first; k <= run.last; ++k) {
    if (!IsPlainColumn(row.GetAt(k))) return nullptr;
    rowCount = std::max(rowCount, TokenRow::ColumnDepth(row.GetAt(k)));
  }
  if (rowCount > kMatrixTableSize) return nullptr;
  QVMToken* matrix = factory.NewToken(TK_MATRIX);
  for (int k = run.first; k <= run.last; ++k) {
    const QVMToken* token = row.GetAt(k);
    if (token->kind != TK_COLUMN) {
      matrix->row1.Append(row.GetAt(k));
      continue;
    }
    const int depth = TokenRow::ColumnDepth(token);
    for (int n = 0; n < depth; ++n) matrix->row1.Append(TokenRow::ColumnEntry(token, n));
    for (int n = depth; n < rowCount; ++n) matrix->row1.Append(factory.NewToken(TK_BRACKETS));
  }
  if (!FitsMatrixTables(matrix->row1)) return nullptr;
  return matrix;
}

bool IsWholeNumberText(const CString& text) {
  const double value = EngineNumberFormat(false).ParseNumber(text.GetString());
  return std::fabs(value - std::round(value)) < 1e-8;
}

bool IsMixedNumber(const TokenRow& row, int i) {
  if (!IsNumeralAt(row, i) || row.KindAt(i + 2) != TK_FRACTION) return false;
  if (!IsSpaceKind(row.KindAt(i + 1))) return false;
  const QVMToken* fraction = row.GetAt(i + 2);
  return fraction->row1.IsAllNumeric() && fraction->row2.IsAllNumeric() &&
         IsWholeNumberText(row.TextAt(i));
}

}  // namespace

// Right to left, so that inner operators (to the right) are grouped first.
void TokenRow::GroupBinaryOperator(TokenKind op, TokenKind made, QVMTokenFactory& factory) {
  const BracketPairs pairs(*this);
  for (int i = GetSize() - 1; i >= 0; --i) {
    QVMToken* token = GetAt(i);
    if (token->kind == op) {
      i = GroupOperatorAt(*this, i, op, made, factory);
      continue;
    }
    ForEachChildRow(*token, [&](TokenRow& child) { child.GroupBinaryOperator(op, made, factory); });
  }
}

// Innermost pairs first, which a stack of opening brackets gives in one
// walk; opening brackets left at the end take the rest of the row,
// innermost first. A row without opening brackets stays as it is.
void TokenRow::GroupBrackets(QVMTokenFactory& factory) {
  for (QVMToken* token : *this) {
    ForEachChildRow(*token, [&](TokenRow& child) { child.GroupBrackets(factory); });
  }
  GroupOwnBrackets(factory);
}

void TokenRow::GroupOwnBrackets(QVMTokenFactory& factory) {
  if (std::none_of(begin(), end(), [](const QVMToken* token) { return token->kind == TK_OPEN; }))
    return;
  // Sized once: the rows grouped here are mostly short, and each growth
  // step would be an allocation of its own.
  std::vector<QVMToken*> out;
  out.reserve(static_cast<size_t>(GetSize()));
  std::vector<size_t> opens;
  for (QVMToken* token : *this) {
    if (token->kind == TK_OPEN) {
      opens.push_back(out.size());
      out.push_back(token);
    } else if (token->kind == TK_CLOSE && !opens.empty()) {
      CloseGroup(out, opens.back(), token, factory);
      opens.pop_back();
    } else {
      out.push_back(token);
    }
  }
  for (; !opens.empty(); opens.pop_back()) CloseGroup(out, opens.back(), nullptr, factory);
  Assign(out);
}

// "(a)^2": the group and its power are wrapped once more, so that the
// layout raises the power by the group's height.
void EquationLine::BracketPoweredGroups() {
  TokenRow& row = root_;
  for (int k = row.GetSize() - 2; k >= 0; --k) {
    if (row.KindAt(k) != TK_BRACKETS || row.KindAt(k + 1) != TK_POWER) continue;
    InsertBracket(row, k + 2, TK_CLOSE, factory_);
    InsertBracket(row, k, TK_OPEN, factory_);
  }
}

// "(12)_" draws a bar over 12 in place of the brackets.
void TokenRow::AttachBarModifiers() {
  if (GetSize() < 2) return;
  for (int i = GetSize() - 1; i >= 1; --i) {
    if (KindAt(i) != TK_MODIFIER || TextAt(i) != "_" || KindAt(i - 1) != TK_BRACKETS) continue;
    QVMToken* group = GetAt(i - 1);
    // Brackets give way to the bar; bars stay under it.
    if (IsDelimiterText(group->text)) group->SetText(CString());
    group->mark = kMarkUnderscore;
    RemoveAt(i);
  }
}

// "[F(x)](a,b)": the column after a bracket group becomes its limits
// (`limits`: in this row and those its tokens' first rows lead to); adjacent columns
// (with spaces between) become one matrix of at most kMatrixTableSize rows
// and columns (`matrices`). One walk for both, as each alone would go: a
// token's first row first, then the limits after it, then its second row,
// and the row's matrices last (on a long line every walk of the tree costs
// a cache miss per token).
bool TokenRow::GroupColumns(bool limits, bool matrices, QVMTokenFactory& factory) {
  bool merged = false;
  for (int a = 0; a < GetSize(); ++a) {
    QVMToken* token = GetAt(a);
    if (!token->row1.IsEmpty() && token->row1.GroupColumns(limits, matrices, factory)) merged = true;
    if (limits && token->kind == TK_BRACKETS) {
      QVMToken* column = LimitsColumn(*this, a + 1);
      if (column != nullptr && MergeLimits(*token, *column)) {
        RemoveAt(a + 1);
        merged = true;
      }
    }
    if (matrices && !token->row2.IsEmpty()) token->row2.GroupColumns(false, matrices, factory);
  }
  if (matrices) GroupOwnMatrices(factory);
  return merged;
}

void TokenRow::GroupOwnMatrices(QVMTokenFactory& factory) {
  for (int i = 0; i < GetSize(); ++i) {
    if (KindAt(i) != TK_COLUMN) continue;
    int end = i + 1;
    while (IsMatrixRunKind(KindAt(end))) ++end;
    if (end - i <= 1) continue;
    QVMToken* matrix = BuildMatrix(*this, {i, end - 1}, factory);
    if (matrix == nullptr) {
      i = end - 1;
      continue;
    }
    RemoveAt(i, end - i);
    InsertAt(i, matrix);
  }
}

// "2 1/2": a whole number, a space and a numeric fraction.
void TokenRow::FormatMixedNumbers(bool wholeNumbers) {
  if (GetSize() < 3) return;
  bool found = false;
  for (int i = GetSize() - 3; i >= 0; --i) {
    QVMToken* token = GetAt(i);
    ForEachChildRow(*token, [&](TokenRow& child) { child.FormatMixedNumbers(wholeNumbers); });
    if (!IsMixedNumber(*this, i)) continue;
    found = true;
    if (wholeNumbers) token->kind = TK_WHOLENUMBER;
    else ShrinkFractions(*GetAt(i + 2));
    GetAt(i + 1)->Set(TK_ERROR, CString(), kMarkNone, CString());
  }
  if (!found) return;
  for (QVMToken* token : *this) {
    if (wholeNumbers && token->kind == TK_NUMBER) token->kind = TK_WHOLENUMBER;
    if (!wholeNumbers && token->kind == TK_FRACTION) ShrinkFractions(*token);
  }
}
