// Random lines of the input language through the whole parse, with the
// tree's invariants checked after every line: no opening bracket left,
// every token in at most one row, no null in a row, matrices that fit the
// layout's 20 x 20 tables. OVELIN_FUZZ_LINES sets the number of lines per
// style (the long run: 333334, about a million lines in all).
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <unordered_set>

#include "tests/portable/EngineTestSupport.h"

namespace {

// Characters and words of the input language, with a few bytes it does
// not know.
const char* const kPieces[] = {
    "(",    ")",    "[",    "]",     "{",    "}",     "|",     "#",    "\"",   "'",   ".",
    ",",    ";",    ":",    "^",     "_",    "\\",    "/",     "*",    "+",    "-",   "=",
    "<",    ">",    "o",    "`",     " ",    " ",     "\xA0",  "\xA7", "\xBB", "!",   "\xE9",
    "0",    "1",    "2",    "3.5",   "12",   "a",     "b",     "n",    "r",    "x",   "y",
    "i",    "j",    "k",    "A",     "B",    "C",     "P",     "E",    "F",    "sin", "log",
    "cos",  "sqrt", "sr",   "root",  "int",  "sigma", "lim",   "box",  "@",    "div", "arc",
    "pi",   "th",   "cm",   "-->",   "<--",  "<->",   "|[",    "]|",   "::",   "^^",  "+-",
    " :",   "qf",   "(3)",  "->",    ">=",   "sin-1", "product",
};
constexpr size_t kPieceCount = sizeof(kPieces) / sizeof(kPieces[0]);
constexpr size_t kMaxLineBytes = 200;

std::string RandomLine(std::mt19937& random) {
  const size_t target = random() % (kMaxLineBytes + 1);
  std::string line;
  while (line.size() < target) {
    const std::string piece = kPieces[random() % kPieceCount];
    if (line.size() + piece.size() > kMaxLineBytes) break;
    line += piece;
  }
  return line;
}

// The grid the matrix layout sees: a space after a cell ends a column.
bool MatrixFits(const QVMToken& matrix) {
  int columns = 0;
  int rows = 0;
  bool inColumn = false;
  for (const QVMToken* cell : matrix.row1.tokens) {
    if (cell->kind == TK_SPACE || cell->kind == TK_NOSPACE) {
      inColumn = false;
      continue;
    }
    if (!inColumn) {
      ++columns;
      rows = 0;
      inColumn = true;
    }
    if (++rows > 20 || columns > 20) return false;
  }
  return true;
}

// Returns an empty text when the tree keeps its invariants, else the fault.
std::string CheckRow(const TokenRow& row, std::unordered_set<const QVMToken*>& seen) {
  for (const QVMToken* token : row.tokens) {
    if (token == nullptr) return "null token in a row";
    if (!seen.insert(token).second) return "token in two rows";
    if (token->kind == TK_OPEN) return "opening bracket left";
    if (token->kind == TK_MATRIX && !MatrixFits(*token)) return "matrix beyond 20 x 20";
    std::string fault = CheckRow(token->row1, seen);
    if (fault.empty()) fault = CheckRow(token->row2, seen);
    if (!fault.empty()) return fault;
  }
  return std::string();
}

std::string CheckTree(const EquationLine& line) {
  std::unordered_set<const QVMToken*> seen;
  return CheckRow(line.Root(), seen);
}

long LinesPerStyle() {
  const char* count = std::getenv("OVELIN_FUZZ_LINES");
  if (count == nullptr || *count == '\0') return 5000;
  return std::strtol(count, nullptr, 10);
}

TEST(ParseFuzz, RandomLinesKeepTreeInvariants) {
  const long lines = LinesPerStyle();
  for (int style : {0, 3, 4}) {
    const QVMOptions options(style);
    std::mt19937 random(static_cast<unsigned>(20240611 + style));
    EquationLine line;
    for (long n = 0; n < lines; ++n) {
      const std::string text = RandomLine(random);
      line.SetText(CString(text), options);
      const std::string fault = CheckTree(line);
      ASSERT_TRUE(fault.empty()) << fault << " in style " << style << " for \"" << text << "\"";
    }
  }
}

// The invariants hold for the mended shapes too.
TEST(ParseFuzz, KnownHardLinesKeepTreeInvariants) {
  const char* const lines[] = {
      "),1 ", "int(a,b,c)", "1/(a+b)^2", "a/b^", "x^", "\\", "(x^2,y^2)", "1,2,3,4,5",
      "[F(x)](a,b)", "sigma(i=1,n)", "lim(x->0-)", "|a|/2", "a)/(b", "(/)", "/", ",", "^^^",
      "sqrt", "root", "C", "3root 8", "int(0,1)(2,3)", "box(int(a)(b))",
  };
  for (int style : {0, 3, 4}) {
    const QVMOptions options(style);
    for (const char* text : lines) {
      EquationLine line;
      line.SetText(text, options);
      EXPECT_EQ(CheckTree(line), "") << text << " in style " << style;
    }
  }
}

}  // namespace
