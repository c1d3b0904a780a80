// Grouping of powers, subscripts, roots and the keyword constructs: each
// mark or keyword is replaced by a new token of its kind, with empty text,
// whose child rows hold the bracket groups the earlier passes made.
#include <algorithm>
#include <vector>

#include "engine/ParseRows.h"

namespace {

// Replaces the keyword at i with a new token of its kind that holds the
// group after it (after any spaces, when `skipSpaces`); the spaces stay in
// the row after the new token.
QVMToken* TakeGroupAfter(TokenRow& row, int i, bool skipSpaces, bool hideBrackets,
                         QVMTokenFactory& factory) {
  QVMToken* made = factory.NewToken(row.KindAt(i));
  const int from = skipSpaces ? SkipSpaces(row, i + 1) - 1 : i;
  const TokenSpan group = GroupAfter(row, from);
  if (!group.Empty()) {
    MoveTokens(row, group, made->row1);
    if (hideBrackets) HideGroupBrackets(made->row1);
  }
  factory.Recycle(row.GetAt(i));
  row.SetAt(i, made);
  return made;
}

// Moves the group before the token at i into `to`; returns the token's new
// index.
int TakeGroupBefore(TokenRow& row, int i, TokenRow& to) {
  const TokenSpan group = GroupBefore(row, i);
  if (group.Empty()) return i;
  MoveTokens(row, group, to);
  HideGroupBrackets(to);
  return group.first;
}

// Right to left over a row, descending into the child rows of each token
// before looking at it; `group` handles a token of the kind and returns
// the index from which the scan goes on leftwards.
template <class Group>
void GroupRightToLeft(TokenRow& row, TokenKind kind, Group group, void (TokenRow::*self)(QVMTokenFactory&),
                      QVMTokenFactory& factory) {
  const BracketPairs pairs(row);
  for (int i = row.GetSize() - 1; i >= 0; --i) {
    QVMToken* token = row.GetAt(i);
    ForEachChildRow(*token, [&](TokenRow& child) { (child.*self)(factory); });
    if (token->kind == kind) i = group(row, i);
  }
}

// A "lim" whose first row ends in a plus or minus shows it raised.
void RaiseLimitSign(QVMToken& construct, QVMTokenFactory& factory) {
  TokenRow& row = construct.row1;
  const TokenKind last = row.KindAt(row.GetSize() - 1);
  if (construct.text != "lim" || (last != TK_ADD && last != TK_SUBTRACT)) return;
  QVMToken* power = factory.NewToken(TK_POWER);
  power->row1.AppendOperator(last, factory);
  row.SetAt(row.GetSize() - 1, power);
}

// Removes invisible brackets that lost their partner when the contents of
// a typed bracket were cut at a separator.
void DropUnmatchedInvisible(TokenRow& row) {
  std::vector<int> opens;
  std::vector<int> drop;
  for (int i = 0; i < row.GetSize(); ++i) {
    if (row.KindAt(i) == TK_OPEN) opens.push_back(i);
    if (row.KindAt(i) != TK_CLOSE) continue;
    if (!opens.empty()) opens.pop_back();
    else if (row.TextAt(i).IsEmpty()) drop.push_back(i);
  }
  for (int open : opens)
    if (row.TextAt(open).IsEmpty()) drop.push_back(open);
  std::sort(drop.begin(), drop.end());
  for (auto it = drop.rbegin(); it != drop.rend(); ++it) row.RemoveAt(*it);
}

// The typed brackets after the construct at i are cut at their last separator
// into the construct's two rows; the brackets and the separator are dropped.
void SplitArguments(TokenRow& row, int i, QVMTokenFactory& factory) {
  QVMToken& construct = *row.GetAt(i);
  const int open = i + 1;
  const int match = row.FindMatchingClose(open);
  const int last = match >= 0 ? match - 1 : row.GetSize() - 1;
  int separator = -1;
  for (int k = last; k > open && separator < 0; --k)
    if (row.KindAt(k) == TK_SEPARATOR) separator = k;
  construct.row1.RemoveAll();
  construct.row2.RemoveAll();
  for (int k = open + 1; k <= last; ++k) {
    if (k == separator) continue;
    TokenRow& to = separator >= 0 && k > separator ? construct.row2 : construct.row1;
    to.Append(row.GetAt(k));
  }
  row.RemoveAt(open, (match >= 0 ? match : last) - open + 1);
  DropUnmatchedInvisible(construct.row1);
  DropUnmatchedInvisible(construct.row2);
  RaiseLimitSign(construct, factory);
}

// The bounds of a drawn construct come in a bracket group the user typed
// after it: "int(0,1)", and also "int[0,1]" or "sigma{...}". Bars after it
// ("int|x|") are an absolute value, the operand's content, and stay in the row.
bool IsBoundsGroup(const TokenRow& row, int i) {
  if (row.KindAt(i) != TK_OPEN) return false;
  const CString open = row.TextAt(i);
  return open == "(" || open == "[" || open == "{";
}

}  // namespace

// Root row only: everything is still flat here.
void TokenRow::GroupPowers(QVMTokenFactory& factory) {
  const BracketPairs pairs(*this);
  for (int j = GetSize() - 1; j >= 0; --j)
    if (KindAt(j) == TK_POWER) TakeGroupAfter(*this, j, false, false, factory);
}

void TokenRow::GroupSubscripts(QVMTokenFactory& factory) {
  auto group = [&factory](TokenRow& row, int i) {
    TakeGroupAfter(row, i, false, false, factory);
    return i;
  };
  GroupRightToLeft(*this, TK_SUBSCRIPT, group, &TokenRow::GroupSubscripts, factory);
}

// The radicand is the group after the spaces; its brackets are not drawn.
void TokenRow::GroupSquareRoots(QVMTokenFactory& factory) { GroupPrefixConstruct(TK_SQRT, factory); }

// The radicand goes to the first row, the bracketed index before the
// keyword to the second; the index was not scanned yet, so it is now.
void TokenRow::GroupRoots(QVMTokenFactory& factory) {
  auto group = [&factory](TokenRow& row, int i) {
    QVMToken* root = TakeGroupAfter(row, i, false, true, factory);
    const int at = TakeGroupBefore(row, i, root->row2);
    root->row2.GroupRoots(factory);
    return at;
  };
  GroupRightToLeft(*this, TK_ROOT, group, &TokenRow::GroupRoots, factory);
}

// "int(0,1)", "sigma(i=1,n)", "lim(x->0+)": the typed brackets after a
// drawn construct hold its bounds. The contents were scanned as the scan passed
// them, so they are not split a second time.
void TokenRow::SplitCodeDrawnArguments(QVMTokenFactory& factory) {
  const BracketPairs pairs(*this);
  for (int i = GetSize() - 1; i >= 0; --i) {
    QVMToken* token = GetAt(i);
    ForEachChildRow(*token, [&](TokenRow& child) { child.SplitCodeDrawnArguments(factory); });
    if (token->kind != TK_CODEDRAW2) continue;
    if (IsBoundsGroup(*this, i + 1)) SplitArguments(*this, i, factory);
    if (token->text == "box" && token->row1.IsEmpty()) token->row1.Append(NewSpace(factory));
  }
}

// Square roots and arcs: the group after the keyword (and its spaces),
// its brackets hidden.
void TokenRow::GroupPrefixConstruct(TokenKind kind, QVMTokenFactory& factory) {
  const BracketPairs pairs(*this);
  for (int i = GetSize() - 1; i >= 0; --i) {
    QVMToken* token = GetAt(i);
    ForEachChildRow(*token, [&](TokenRow& child) { child.GroupPrefixConstruct(kind, factory); });
    if (token->kind == kind) TakeGroupAfter(*this, i, true, true, factory);
  }
}

// Long division, nCr and nPr: the group after in the first row, the group
// before in the second; an empty operand shows a space.
void TokenRow::GroupInfixConstruct(TokenKind kind, QVMTokenFactory& factory) {
  const BracketPairs pairs(*this);
  for (int i = GetSize() - 1; i >= 0; --i) {
    QVMToken* token = GetAt(i);
    ForEachChildRow(*token, [&](TokenRow& child) { child.GroupInfixConstruct(kind, factory); });
    if (token->kind != kind) continue;
    QVMToken* made = TakeGroupAfter(*this, i, false, true, factory);
    i = TakeGroupBefore(*this, i, made->row2);
    made->row2.GroupInfixConstruct(kind, factory);
    if (made->row1.GetSize() == 2 && made->row1.KindAt(0) == TK_OPEN &&
        made->row1.KindAt(1) == TK_CLOSE)
      made->row1.InsertAt(1, NewSpace(factory));
    if (made->row2.IsEmpty()) made->row2.Append(NewSpace(factory));
  }
}
